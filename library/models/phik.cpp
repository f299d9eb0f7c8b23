#include "library/models/phik.h"

#include <cmath>

#include "library/models/critp.h"
#include "library/models/ecs.h"
#include "library/models/feq.h"
#include "library/models/records.h"
#include "library/setup/records.h"

namespace lib {

// Slot codes are compared in the order "FE" (two characters), "QUI", "BWR",
// "ECS", "PR ".  The Helmholtz-explicit and the corresponding-states
// equations are built so far; the others join here with their evaluators
// (PHIQUI, PHIBWR, PHIPR), and until then their codes answer like an unknown
// code.
double PHIK(int icomp, int itau, int idel, double tau, double del) {
    // A zero or non-finite tau (T = 0 or below) or density has no residual
    // part, like a density near zero.
    if (del <= 1.0e-10 || !std::isfinite(del) || !(tau > 0.0) || !std::isfinite(tau)) return 0.0;
    const Code& c = EOSMOD.eos[icomp];
    if (c.starts("FE")) return PHIFEQ(icomp, itau, idel, tau, del);
    if (c.is("ECS")) return PHIECS(icomp, itau, idel, tau, del);
    return -9.99e99;
}

bool reducing_point(const double x[20], int& ic, double& tred, double& dred) {
    ic = ISPURE(x);
    tred = 0.0;
    dred = 0.0;
    if (ic != 0) {
        tred = ZRED.tred[ic];
        dred = ZRED.dred[ic];
    } else {
        REDX(x, tred, dred);
    }
    return tred > 0.0 && dred > 0.0 && std::isfinite(tred) && std::isfinite(dred);
}

bool residual_model_ready(int icomp) {
    const Code& c = EOSMOD.eos[icomp];
    if (c.starts("FE")) return true;
    // A corresponding-states component needs its reference fluid's equation
    // in slot -icomp.
    return c.is("ECS") && icomp >= 1 && icomp <= kMaxComp && EOSMOD.eos[-icomp].starts("FE");
}

double PHIX(int itau, int idel, double tau, double del, const double x[20]) {
    if (del <= 1.0e-10) return 0.0;
    const int ic = ISPURE(x);
    if (ic != 0) return PHIK(ic, itau, idel, tau, del);
    // A true mixture: the mixture code "HMX" reaches PHIHMX, "AGA" PHIAGA and
    // "PR " PHIPRX once those models are built; until then (and for any other
    // code) the residual part of a mixture is 0.
    return 0.0;
}

void REDK(int icomp, double& tred, double& dred) {
    const Code& c = EOSMOD.eos[icomp];
    if (c.starts("FE")) {
        REDFEQ(icomp, tred, dred);
        return;
    }
    if (c.is("ECS")) {
        double pc = 0.0;
        CRTECS(icomp, tred, pc, dred);
        return;
    }
    tred = 9.99e99;
    dred = 9.99e99;
}

void REDX(const double x[20], double& tred, double& dred) {
    const int ic = ISPURE(x);
    if (ic != 0) {
        REDK(ic, tred, dred);
        return;
    }
    // "HMX" and "AGA" take REDHMX, "PR " REDPR once the mixture models are
    // built; until then the caller's values stay.
}

}  // namespace lib
