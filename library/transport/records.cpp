#include "library/transport/records.h"

namespace lib {

TrnmodRecord TRNMOD;
PropModRecord STNMOD, DEMOD;
AuxModRecord CREMOD, OMGMOD;
LimitRecord WLMETA, WLMTCX, WLMTRN, WLMSTN;
TrnbinRecord TRNBIN;

}  // namespace lib
