#include "library/phase/records.h"

namespace lib {

FshsavRecord FSHSAV;
SatCache TSTSAV, PSTSAV;
FxpntRecord FXPNT;
SatsplRecord SATSPL;
MaxtpRecord MAXTP;

}  // namespace lib
