#include "library/models/records.h"

namespace lib {

GcnstRecord GCNST;
ZredRecord ZRED;
EoslimRecord EOSLIM;

}  // namespace lib
