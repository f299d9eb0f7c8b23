// Fugacities of the components at (T, D, x) and what is built on them:
// FGCTY2 (analytic, through PHIDERV), FGCTY (numerical), FUGCOF, CHEMPOT and
// ACTVY.
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/idealgas.h"
#include "library/models/phiderv.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"

namespace lib {

namespace {

constexpr double kNoDensity = 1.0e-40;    // below it no fugacity is formed
constexpr double kExponentLimit = 100.0;  // mixture fugacities: |exponent| below it
constexpr double kPureExponentLimit = 500.0;

// A state at which fugacities are formed: finite T > 0 and D >= 1e-40.
bool usable(double T, double D) {
    return T > 0.0 && std::isfinite(T) && D >= kNoDensity && std::isfinite(D);
}

void zero(double v[20]) {
    for (int i = 0; i < kMaxComp; ++i) v[i] = 0.0;
}

// The pure fluid ic at (T, D): D R T exp(alpha + delta alpha_delta).
void pure_fugacity(int ic, double T, double D, double f[20]) {
    const double DRT = D * GCNST.r * T;
    const double tau = ZRED.tred[ic] / T, del = D / ZRED.dred[ic];
    const double s = PHIK(ic, 0, 0, tau, del) + PHIK(ic, 0, 1, tau, del);
    f[ic - 1] = std::fabs(s) < kPureExponentLimit ? DRT * std::exp(s) : 1.0e100;
}

// alpha at (T, D) for composition y with its own reducing values.
double alpha_at(double T, double D, const double y[20]) {
    double tred = 0, dred = 0;
    REDX(y, tred, dred);
    if (!(tred > 0.0) || !(dred > 0.0)) return 0.0;
    return PHIX(0, 0, tred / T, D / dred, y);
}

// ((1 + dx) alpha(x+) - (1 - dx) alpha(x-))/(2 dx): one mole of x with dx
// moles of component i added and taken away, in the same volume.
double central(double T, double D, const double x[20], int nc, int i, double dx) {
    double xp[20] = {}, xm[20] = {};
    for (int k = 0; k < nc; ++k) {
        xp[k] = (x[k] + (k == i ? dx : 0.0)) / (1.0 + dx);
        xm[k] = (x[k] - (k == i ? dx : 0.0)) / (1.0 - dx);
    }
    const double ap = alpha_at(T, D * (1.0 + dx), xp), am = alpha_at(T, D * (1.0 - dx), xm);
    return ((1.0 + dx) * ap - (1.0 - dx) * am) / (2.0 * dx);
}

// d(n alpha)/d n_i from one side: h and 2h moles of i added to one mole
// (taken away when h < 0) in the same volume, second-order differences.
// Central differences would take away more of a trace than there is (or add
// more to a component of nearly all than one mole holds); with steps of the
// trace's own size they drown in rounding (argon at 1.7e-12 in liquid
// octane: its fugacity a factor 90 low, the octane's 3 % high).
double one_sided(double T, double D, const double x[20], int nc, int i, double h) {
    const auto n_alpha = [&](double dn) {
        double xp[20] = {};
        for (int k = 0; k < nc; ++k) xp[k] = (x[k] + (k == i ? dn : 0.0)) / (1.0 + dn);
        return (1.0 + dn) * alpha_at(T, D * (1.0 + dn), xp);
    };
    return (-3.0 * n_alpha(0.0) + 4.0 * n_alpha(h) - n_alpha(2.0 * h)) / (2.0 * h);
}

// The step of the differences of a component's fugacity, and how close to
// 0 or 1 a fraction is taken from one side.
constexpr double kFugacityStep = 1.0e-4;

// While a component of the set-up stands alone (NCOMP.ic), restored after.
class SelectedComponent {
public:
    explicit SelectedComponent(int ic) : saved_(NCOMP.ic) { NCOMP.ic = ic; }
    ~SelectedComponent() { NCOMP.ic = saved_; }
    SelectedComponent(const SelectedComponent&) = delete;
    SelectedComponent& operator=(const SelectedComponent&) = delete;

private:
    int saved_;
};

}  // namespace

void FGCTY(double T, double D, const double x[20], double f[20]) {
    zero(f);
    if (!usable(T, D)) return;
    RMIX(x);
    const int ic = ISPURE(x);
    if (ic != 0) return pure_fugacity(ic, T, D, f);
    const double DRT = D * GCNST.r * T;
    const int nc = std::min(NCOMP.nc, kMaxComp);
    for (int i = 0; i < nc; ++i) {
        const double xi = x[i];
        if (!(xi > 0.0)) continue;
        // d(n alpha)/d n_i by differences with the step and half of it,
        // extrapolated (the error of the step alone reaches 2e-7 in dense
        // liquids): central ones, from one side for a trace.
        // (moles added to a trace, taken from a component of nearly all).
        double d = 0.0;
        if (xi < kFugacityStep || xi > 1.0 - kFugacityStep) {
            const double h = xi < kFugacityStep ? kFugacityStep : -kFugacityStep;
            d = (4.0 * one_sided(T, D, x, nc, i, h / 2.0) - one_sided(T, D, x, nc, i, h)) / 3.0;
        } else {
            const double dx = kFugacityStep;
            d = (4.0 * central(T, D, x, nc, i, dx / 2.0) - central(T, D, x, nc, i, dx)) / 3.0;
        }
        f[i] = std::fabs(d) < kExponentLimit ? xi * DRT * std::exp(d) : kMarker7;
    }
    RMIX(x);
}

void FGCTY2(double T, double D, const double x[20], double f[20], int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    zero(f);
    const int ic = ISPURE(x);
    RMIX(x);
    if (!usable(T, D)) return;
    if (ic == 0 && composition_derivatives_exist(x)) {
        double dadn[20], dnadn[20];
        int jerr = 0;
        std::string jmsg;
        PHIDERV(1, T, D, x, dadn, dnadn, jerr, jmsg);
        RMIX(x);
        if (jerr == 0) {
            const double DRT = D * GCNST.r * T;
            for (int i = 0; i < NCOMP.nc && i < kMaxComp; ++i)
                f[i] = std::fabs(dnadn[i]) < kExponentLimit ? x[i] * DRT * std::exp(dnadn[i])
                                                            : kMarker7;
            return;
        }
    }
    FGCTY(T, D, x, f);
}

void FUGCOF(double T, double D, const double x[20], double phi[20], int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    zero(phi);
    if (!usable(T, D)) return;
    double f[20];
    FGCTY2(T, D, x, f, ierr, herr);
    double P = 0.0;
    PRESS(T, D, x, P);
    if (!(P > 0.0)) return;
    const int ic = ISPURE(x);
    if (ic != 0) {
        phi[ic - 1] = f[ic - 1] / P;
        return;
    }
    for (int i = 0; i < NCOMP.nc && i < kMaxComp; ++i)
        if (x[i] > 0.0 && f[i] != kMarker7) phi[i] = f[i] / (P * x[i]);
}

void CHEMPOT(double T, double D, const double x[20], double u[20], int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    zero(u);
    if (!usable(T, D)) return;
    const int ic = ISPURE(x);
    if (ic != 0) {
        double A = 0, G = 0;
        AG(T, D, x, A, G);
        u[ic - 1] = G;
        return;
    }
    double dadn[20], dnadn[20];
    PHIDERV(1, T, D, x, dadn, dnadn, ierr, herr);
    if (ierr != 0) return;
    RMIX(x);
    const double R = GCNST.r;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
        const double xi = x[i - 1];
        if (!(xi > 0.0)) continue;
        // The component's ideal-gas Helmholtz energy as it enters the
        // mixture (its own gas constant for the temperature part, the
        // mixture's for the density term, as in PHI0), the ideal mixing
        // term, the residual part, and the reference offsets.
        const double ri = CCON.rgas[i] > 0.0 ? CCON.rgas[i] : R;
        const double a0 = ri * T * PHI0XK(i, 0, 0, T, D) + (R - ri) * T * std::log(D);
        u[i - 1] = a0 + R * T * (1.0 + std::log(xi) + dnadn[i - 1]) - CREF.h0[i] + T * CREF.s0[i];
    }
}

void ACTVY(double T, double D, const double x[20], double act[20], double gamma[20], int& ierr,
           std::string& herr) {
    ierr = 0;
    herr.clear();
    zero(act);
    zero(gamma);
    if (!usable(T, D) || ISPURE(x) != 0) return;
    double f[20];
    FGCTY2(T, D, x, f, ierr, herr);
    double P = 0.0;
    PRESS(T, D, x, P);
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
        if (!(x[i - 1] > 0.0)) continue;
        SelectedComponent pure(i);
        double e[20] = {};
        e[i - 1] = 1.0;
        RMIX(e);
        double Di = 0, Dl = 0, Dv = 0, xl[20], xv[20], q, ee, h, s, cv, cp, w;
        int jerr = 0;
        std::string jmsg;
        TPFLSH(T, P, e, Di, Dl, Dv, xl, xv, q, ee, h, s, cv, cp, w, jerr, jmsg);
        if (jerr > 0) {
            ierr = jerr;
            herr = jmsg;
            continue;
        }
        double f0[20];
        FGCTY2(T, Di, e, f0, jerr, jmsg);
        if (f0[i - 1] > 0.0 && f[i - 1] != kMarker7) {
            act[i - 1] = f[i - 1] / f0[i - 1];
            gamma[i - 1] = act[i - 1] / x[i - 1];
        }
    }
    RMIX(x);
}

}  // namespace lib
