#include "library/models/phik.h"

#include <cmath>

#include "library/models/critp.h"
#include "library/models/eos_table.h"
#include "library/models/records.h"
#include "library/setup/records.h"

namespace lib {

unsigned long long EOS_EVALUATIONS = 0;

// Each routine passes the call on, unchanged, to the evaluator that the
// table of eos_table.cpp names for the slot's (or the mixture's) model code.
double PHIK(int icomp, int itau, int idel, double tau, double del) {
    // A zero or non-finite tau (T = 0 or below) or density has no residual
    // part, like a density near zero.
    if (del <= 1.0e-10 || !std::isfinite(del) || !(tau > 0.0) || !std::isfinite(tau)) return 0.0;
    const ComponentEos* eos = component_eos(icomp);
    if (eos == nullptr) return -9.99e99;  // an unknown code
    ++EOS_EVALUATIONS;
    return eos->phi(icomp, itau, idel, tau, del);
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
    const ComponentEos* eos = component_eos(icomp);
    return eos != nullptr && (eos->ready == nullptr || eos->ready(icomp));
}

double PHIX(int itau, int idel, double tau, double del, const double x[20]) {
    if (del <= 1.0e-10) return 0.0;
    const int ic = ISPURE(x);
    if (ic != 0) return PHIK(ic, itau, idel, tau, del);
    // A true mixture: its model's evaluator, 0 without one.
    const MixtureEos* mix = mixture_eos();
    if (mix == nullptr) return 0.0;
    ++EOS_EVALUATIONS;
    return mix->phi(itau, idel, tau, del, x);
}

void REDK(int icomp, double& tred, double& dred) {
    const ComponentEos* eos = component_eos(icomp);
    if (eos == nullptr) {
        tred = 9.99e99;
        dred = 9.99e99;
    } else if (eos->red != nullptr) {
        eos->red(icomp, tred, dred);
    } else {
        double pc = 0.0;  // the critical pressure is not wanted
        eos->crit(icomp, tred, pc, dred);
    }
}

void REDX(const double x[20], double& tred, double& dred) {
    const int ic = ISPURE(x);
    if (ic != 0) {
        REDK(ic, tred, dred);
        return;
    }
    // Without a mixture model the caller's values stay.
    const MixtureEos* mix = mixture_eos();
    if (mix != nullptr) mix->red(x, tred, dred);
}

}  // namespace lib
