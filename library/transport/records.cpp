#include "library/transport/records.h"

namespace lib {

TrnmodRecord TRNMOD;
PropModRecord STNMOD, DEMOD;
AuxModRecord CREMOD, OMGMOD;
LimitRecord WLMETA, WLMTCX, WLMTRN, WLMSTN, WLMTCK;
TrnbinRecord TRNBIN;

Slots<std::array<int, 13>> WNTETA;
Slots<std::array<double, 7>> WRDETA;
Slots<Rows4> WCFETA;
Slots<std::array<int, kTermRows>> WIFETA;
Slots<std::array<double, 2>> WLJETA;

Slots<std::array<int, 4>> WNTTCX;
Slots<std::array<double, 5>> WRDTCX;
Slots<Rows4> WCFTCX;
Slots<std::array<int, kTermRows>> WIFTCX;

Slots<std::array<int, 4>> WNTTCK;
Slots<std::array<double, 6>> WRDTCK;
Slots<Rows5> WCFTCK;
Slots<std::array<std::array<int, 6>, kTermRows>> WIFTCK;
Slots<Rows5> WCFTCKE;

CollisionRecord WCFCI1, WCFCI2;
EcsTransportRecord ECSTRN;
CrtenhRecord CRTENH;

HcmodRecord HCMOD;
TrnCallRecord TRNCALL;
Slots<std::array<int, 4>> WN3ETA;
Slots<std::array<double, 5>> WR3ETA;
ChungRecord CHUNGPV, CHUNGPK;
Slots<std::array<std::array<double, 5>, kFtLines>> TRNFT;
StnRecord WCFSTN;
DielecRecord WCFDE;

}  // namespace lib
