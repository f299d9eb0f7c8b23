#include "library/models/idealgas.h"

#include <cmath>

#include "library/models/cpp.h"
#include "library/models/critp.h"
#include "library/models/ph0.h"
#include "library/models/records.h"
#include "library/setup/records.h"

namespace lib {

namespace {

enum Kind { kCp, kPh, kNone };

Kind kind(int ic) {
    const Code& c = EOSMOD.cp0[ic];
    if (c.starts("CP")) return kCp;
    if (c.starts("PH")) return kPh;
    return kNone;
}

double cp0_slot(int ic, double T) {
    switch (kind(ic)) {
        case kCp: return CP0CPP(ic, T);
        case kPh: return GCNST.r * (1.0 - PH0PH0(ic, 2, 0, T, 0.0));
        default: return 0.0;
    }
}

double phi0_slot(int ic, int itau, int idel, double T, double D) {
    switch (kind(ic)) {
        case kCp: return PH0CPP(ic, itau, idel, T, D);
        case kPh: return PH0PH0(ic, itau, idel, T, D);
        default: return 0.0;
    }
}

template <class F>
double mole_sum(const double x[20], F f) {
    const int ic = ISPURE(x);
    if (ic != 0) return f(ic);
    double s = 0.0;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) s += x[i - 1] * f(i);
    return s;
}

}  // namespace

double CP0(double T, const double x[20]) {
    return mole_sum(x, [T](int i) { return cp0_slot(i, T); });
}

double CPI(double T, const double x[20]) {
    return mole_sum(x, [T](int i) { return kind(i) == kCp ? CPICPP(i, T) : 0.0; });
}

double CPT(double T, const double x[20]) {
    return mole_sum(x, [T](int i) { return kind(i) == kCp ? CPTCPP(i, T) : 0.0; });
}

double PHI0(int itau, int idel, double T, double D, const double x[20]) {
    const int ic = ISPURE(x);
    if (ic != 0) return phi0_slot(ic, itau, idel, T, D);
    double s = 0.0;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
        const double xi = x[i - 1];
        if (!(xi > 1.0e-10 && xi <= 1.0000000001)) continue;
        s += xi * phi0_slot(i, itau, idel, T, D);
        if (itau == 0 && idel == 0) s += xi * std::log(xi);
    }
    return s;
}

double CP0K(int icomp, double T) { return cp0_slot(icomp, T); }

double PHI0K(int icomp, int itau, int idel, double T, double D) {
    return phi0_slot(icomp, itau, idel, T, D);
}

}  // namespace lib
