#include "library/models/idealgas.h"

#include <cmath>

#include "library/models/cpp.h"
#include "library/models/critp.h"
#include "library/models/eos_table.h"
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

// While a component of a mixture is evaluated, the gas constant is its own:
// its ideal-gas part is then in the reduced form of its equation.
class OwnGasConstant {
public:
    explicit OwnGasConstant(int i) : saved_(GCNST.r) {
        if (CCON.rgas[i] > 0.0) GCNST.r = CCON.rgas[i];
    }
    ~OwnGasConstant() { GCNST.r = saved_; }
    OwnGasConstant(const OwnGasConstant&) = delete;
    OwnGasConstant& operator=(const OwnGasConstant&) = delete;

private:
    double saved_;
};

// In a mixture each component's ideal-gas part follows the multi-fluid
// model's definition alpha0_oi(tau_i = Tc_i/T, delta_i = D/Dc_i), with the
// component's critical temperature and density.  Where the component's own
// equation is reduced by other values, that is its pure ideal-gas part at
// the temperature and density these two return.
// (The critical point is the one the component's equation gives.)
void critical_point(int i, double& tc, double& dc) {
    double pc = 0.0;
    tc = CCON.tc[i];
    dc = CCON.dc[i];
    if (const ComponentEos* e = component_eos(i); e != nullptr && e->crit != nullptr)
        e->crit(i, tc, pc, dc);
}
// Under AGA8 the ideal-gas parts are the equation's own functions of T.
struct MixtureState {
    double T, D;
};
MixtureState mixture_state(int i, double T, double D) {
    if (EOSMOD.mix.is("AGA")) return {T, D};
    double tc = 0, dc = 0;
    critical_point(i, tc, dc);
    return {tc > 0.0 && ZRED.tred[i] > 0.0 ? T * ZRED.tred[i] / tc : T,
            dc > 0.0 && ZRED.dred[i] > 0.0 ? D * ZRED.dred[i] / dc : D};
}
double mixture_t(int i, double T) { return mixture_state(i, T, 0.0).T; }

// Mixture sums of the components' values at their mixture temperatures, each
// with the component's own gas constant; f(i, T) is the value of component
// i at temperature T.
template <class F>
double mole_sum(double T, const double x[20], F f) {
    const int ic = ISPURE(x);
    if (ic != 0) return f(ic, T);
    double s = 0.0;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
        if (x[i - 1] == 0.0) continue;
        OwnGasConstant own(i);
        s += x[i - 1] * f(i, mixture_t(i, T));
    }
    return s;
}

// The gas constant of a mixture less the fraction-weighted sum of its
// components' own (0 for a pure fluid): cp0 - R of a mixture is the sum of
// its components' cp0 - R_i.
double gas_constant_excess(const double x[20]) {
    if (ISPURE(x) != 0) return 0.0;
    const double saved = GCNST.r;
    RMIX(x);
    double r = GCNST.r;
    GCNST.r = saved;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) r -= x[i - 1] * CCON.rgas[i];
    return r;
}

}  // namespace

double CP0(double T, const double x[20]) {
    return mole_sum(T, x, [](int i, double t) { return cp0_slot(i, t); }) + gas_constant_excess(x);
}

double CPI(double T, const double x[20]) {
    return mole_sum(T, x, [](int i, double t) { return kind(i) == kCp ? CPICPP(i, t) : 0.0; });
}

double CPT(double T, const double x[20]) {
    return mole_sum(T, x, [](int i, double t) { return kind(i) == kCp ? CPTCPP(i, t) : 0.0; });
}

// A mixture's reduced ideal-gas Helmholtz energy: the components' own
// reduced parts weighted by x_i R_i/R (so that every component keeps its gas
// constant in J/mol), at their mixture temperatures and densities, with the
// density term ln D carried by the mixture's gas constant, plus the ideal
// mixing term:
//   alpha0 = sum x_i [(R_i/R)(alpha0_i - ln D) + ln D + ln x_i].
// (The form GERG-2008 publishes, where R*/R scales only the temperature
// part; the ideal-gas pressure is then D R T, the pressure the residual part
// is added to, and P, s and A agree with one another.)
double PHI0(int itau, int idel, double T, double D, const double x[20]) {
    const int ic = ISPURE(x);
    if (ic != 0) return phi0_slot(ic, itau, idel, T, D);
    const double R = GCNST.r;
    // delta^idel d^idel ln D / d delta^idel.
    const double density_term[4] = {D > 0.0 ? std::log(D) : 0.0, 1.0, -1.0, 2.0};
    double s = 0.0;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
        const double xi = x[i - 1];
        if (!(xi > 1.0e-10 && xi <= 1.0000000001)) continue;
        const double ri = CCON.rgas[i] > 0.0 ? CCON.rgas[i] : R;
        OwnGasConstant own(i);
        const MixtureState m = mixture_state(i, T, D);
        s += xi * (ri / R) * phi0_slot(i, itau, idel, m.T, m.D);
        if (itau == 0 && idel <= 3) s += xi * (1.0 - ri / R) * density_term[idel];
        if (itau == 0 && idel == 0) s += xi * std::log(xi);
    }
    return s;
}

double CP0K(int icomp, double T) { return cp0_slot(icomp, T); }

double PHI0XK(int icomp, int itau, int idel, double T, double D) {
    OwnGasConstant own(icomp);
    const MixtureState m = mixture_state(icomp, T, D);
    return phi0_slot(icomp, itau, idel, m.T, m.D);
}

double PHI0K(int icomp, int itau, int idel, double T, double D) {
    return phi0_slot(icomp, itau, idel, T, D);
}

}  // namespace lib
