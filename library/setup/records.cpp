#include "library/setup/records.h"

namespace lib {

NcompRecord NCOMP;
EosmodRecord EOSMOD;
KindModRecord PSMOD, PLMOD, DLMOD, DVMOD, MELTMOD, SUBLMOD;
ResetmRecord RESETM;
SetsavRecord SETSAV;
ModsavRecord MODSAV;
Flags2Record FLAGS2;
FlagsRecord FLAGS;
std::string FLDPTH(255, ' ');
RefstRecord REFST;
HcharRecord HCHAR;
int PRNTERR = 0;
Slots<std::string> CNAM60;
Slots<std::string> CNAM;
Slots<std::string> CCAS;
Cnam80Record CNAM80;
CconRecord CCON;
RefPointRecord CREFDF;
Slots<double> VERS;
FamlRecord FAML;
Slots<double> HTCM;
Slots<std::array<std::string, kCiteKinds>> CITE;
ConunRecord CONUN;
CrefRecord CREF;
IrfsavRecord IRFSAV;
RefsavRecord REFSAV;

}  // namespace lib
