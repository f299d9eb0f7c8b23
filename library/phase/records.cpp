#include "library/phase/records.h"

#include "library/phase/envelope.h"
#include "library/phase/satcheb.h"
#include "library/phase/warmstart.h"

namespace lib {

FshsavRecord FSHSAV;
SatCache TSTSAV, PSTSAV;
FxpntRecord FXPNT;
SatsplRecord SATSPL;
MaxtpRecord MAXTP;
CspndlRecord CSPNDL;
AuxflgsRecord AUXFLGS;

void clear_phase_caches() {
    FSHSAV = FshsavRecord{};
    TSTSAV = SatCache{};
    PSTSAV = SatCache{};
    FXPNT = FxpntRecord{};
    AUXFLGS = AuxflgsRecord{};
    SATSPL.n = 0;
    SATSPL.built = 0;
    MAXTP = MaxtpRecord{};
    satcheb::forget_slots();
    mix::forget_envelopes();
    warm::forget();
}

}  // namespace lib
