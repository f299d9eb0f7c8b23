// Bracketed density solver, mechanical-equilibrium densities, inflection
// density of an isotherm and the critical point of the equation of state.
#include "library/phase/dens.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/phik.h"
#include "library/models/press.h"
#include "library/models/records.h"
#include "library/setup/common.h"
#include "library/setup/records.h"

namespace lib {
namespace {

// Newton step on p(D) - P corrected with the second derivative; the step is
// halved instead when the residual or the slope vanishes.
double halley_step(const PressDerivs& v, double P, double s) {
    if (std::fabs(v.p - P) <= 1e-10 || std::fabs(v.d1) <= 1e-10) return s / 2.0;
    return 1.0 / (v.d2 / (2.0 * v.d1) - v.d1 / (v.p - P));
}

// The residual derivatives of one phase of a pure fluid that the saturation
// solvers need: r(i, j) = tau^i delta^j d^(i+j) alphar / dtau^i ddelta^j.
struct PhaseTerms {
    double r00 = 0, r01 = 0, r02 = 0, r10 = 0, r11 = 0;
    double K = 0;  // (dP/dD) / RT
};

struct PureRoute {
    int ic = 0;
    double tred = 0, dred = 0, R = 0;
};

// The component and reducing values of a pure fluid whose equation answers
// directly; false for a mixture or a model without a residual evaluator.
bool pure_route(const double z[20], PureRoute& rt) {
    RMIX(z);
    rt.R = GCNST.r;
    if (!reducing_point(z, rt.ic, rt.tred, rt.dred)) return false;
    return rt.ic != 0 && residual_model_ready(rt.ic);
}

bool phase_terms(const PureRoute& rt, double tau, double D, bool with_tau, PhaseTerms& ph) {
    const double del = D / rt.dred;
    ph.r00 = PHIK(rt.ic, 0, 0, tau, del);
    ph.r01 = PHIK(rt.ic, 0, 1, tau, del);
    ph.r02 = PHIK(rt.ic, 0, 2, tau, del);
    if (with_tau) {
        ph.r10 = PHIK(rt.ic, 1, 0, tau, del);
        ph.r11 = PHIK(rt.ic, 1, 1, tau, del);
    }
    ph.K = 1.0 + 2.0 * ph.r01 + ph.r02;
    return std::isfinite(ph.r00) && std::isfinite(ph.K) && std::isfinite(ph.r10) &&
           std::isfinite(ph.r11) && ph.K > 0.0;
}

// Largest fraction (at most 1) of the steps that keeps each density within
// its share of itself and on its side of Dc.
double step_fraction(double Dl, double dl, double Dv, double dv, double Dc) {
    double f = 1.0;
    if (std::fabs(dl) > 0.2 * Dl) f = std::min(f, 0.2 * Dl / std::fabs(dl));
    if (std::fabs(dv) > 0.5 * Dv) f = std::min(f, 0.5 * Dv / std::fabs(dv));
    if (Dl + f * dl <= Dc) f = std::min(f, 0.5 * (Dl - Dc) / -dl);
    if (Dv + f * dv >= Dc) f = std::min(f, 0.5 * (Dc - Dv) / dv);
    return f;
}

constexpr double kSatStep = 1e-10;  // relative step of the last Newton pass
// The same where the steps end at the rounding: smaller, so that the
// pressure of the result (first order in the last step) is exact.
constexpr double kNoiseStep = 1e-13;

}  // namespace

bool saturation_at_t(double T, const double z[20], double Dc, double& P, double& Dl, double& Dv) {
    PureRoute rt;
    if (!(T > 0.0) || !pure_route(z, rt)) return false;
    if (!(Dl > Dc && Dv > 0.0 && Dv < Dc)) return false;
    const double RT = rt.R * T, tau = rt.tred / T;
    for (int it = 1; it <= 20; ++it) {
        PhaseTerms l, v;
        if (!phase_terms(rt, tau, Dl, false, l) || !phase_terms(rt, tau, Dv, false, v))
            return false;
        // Pressure difference over RT and Gibbs-energy difference over RT;
        // the Jacobian in (Dl, Dv) is [Kl, -Kv; Kl/Dl, -Kv/Dv].
        const double zl = Dl * (1.0 + l.r01), zv = Dv * (1.0 + v.r01);
        const double f1 = zl - zv;
        const double f2 = (l.r00 + l.r01) - (v.r00 + v.r01) + std::log(Dl / Dv);
        const double b = (f1 / Dl - f2) / (1.0 / Dl - 1.0 / Dv);
        const double dl = (b - f1) / l.K, dv = b / v.K;
        if (!std::isfinite(dl) || !std::isfinite(dv)) return false;
        const double f = step_fraction(Dl, dl, Dv, dv, Dc);
        const bool last =
            f == 1.0 && std::fabs(dl) < kSatStep * Dl && std::fabs(dv) < kSatStep * Dv;
        // The pressures at the new densities, to first order (their error is
        // of the order of the square of the last step).
        const double pl = RT * (zl + l.K * f * dl), pv = RT * (zv + v.K * f * dv);
        Dl += f * dl;
        Dv += f * dv;
        if (last) {
            // The vapour's pressure: the liquid's is ill conditioned far
            // below the critical point (its compressibility factor is a
            // small difference).
            (void)pl;
            P = pv;
            return P > 0.0;
        }
    }
    return false;
}

bool saturation_to_noise(double T, const double z[20], double Dc, double& P, double& Dl, double& Dv,
                         double* noise) {
    PureRoute rt;
    if (!(T > 0.0) || !pure_route(z, rt)) return false;
    if (!(Dl > Dc && Dv > 0.0 && Dv < Dc)) return false;
    constexpr double kRounding = 1e-15;  // of a sum of terms of the residual Helmholtz energy
    const double RT = rt.R * T, tau = rt.tred / T;
    for (int it = 1; it <= 30; ++it) {
        PhaseTerms l, v;
        if (!phase_terms(rt, tau, Dl, false, l) || !phase_terms(rt, tau, Dv, false, v))
            return false;
        const double zl = Dl * (1.0 + l.r01), zv = Dv * (1.0 + v.r01);
        const double f1 = zl - zv;
        const double f2 = (l.r00 + l.r01) - (v.r00 + v.r01) + std::log(Dl / Dv);
        const double w = 1.0 / Dl - 1.0 / Dv;
        const double b = (f1 / Dl - f2) / w;
        const double dl = (b - f1) / l.K, dv = b / v.K;
        if (!std::isfinite(dl) || !std::isfinite(dv)) return false;
        // The rounding of the two residuals, and the steps it alone would
        // cause.
        const double n1 = kRounding * (Dl + Dv + std::fabs(Dl * l.r01) + std::fabs(Dv * v.r01));
        const double n2 = kRounding * (std::fabs(l.r00) + std::fabs(l.r01) + std::fabs(v.r00) +
                                       std::fabs(v.r01) + std::fabs(std::log(Dl / Dv)));
        const double nb = (n1 / Dl + n2) / std::fabs(w);
        const double nl = (nb + n1) / l.K, nv = nb / v.K;
        const double f = step_fraction(Dl, dl, Dv, dv, Dc);
        const bool last = f == 1.0 && std::fabs(dl) <= std::max(kNoiseStep * Dl, 4.0 * nl) &&
                          std::fabs(dv) <= std::max(kNoiseStep * Dv, 4.0 * nv);
        const double pv = RT * (zv + v.K * f * dv);
        Dl += f * dl;
        Dv += f * dv;
        if (last) {
            P = pv;
            if (noise != nullptr) *noise = std::max(nl, nv) / (Dl - Dv);
            return P > 0.0 && Dl > Dc && Dv < Dc;
        }
    }
    return false;
}

bool saturation_at_p(double P, const double z[20], double Tc, double Dc, double& T, double& Dl,
                     double& Dv) {
    PureRoute rt;
    if (!(P > 0.0) || !pure_route(z, rt)) return false;
    if (!(T > 0.0 && T < Tc && Dl > Dc && Dv > 0.0 && Dv < Dc)) return false;
    const double R = rt.R;
    for (int it = 1; it <= 25; ++it) {
        const double RT = R * T, tau = rt.tred / T;
        PhaseTerms l, v;
        if (!phase_terms(rt, tau, Dl, true, l) || !phase_terms(rt, tau, Dv, true, v)) return false;
        // Residuals: the two pressures less P, and the Gibbs-energy
        // difference over RT.  The temperature step follows from eliminating
        // the density steps; its coefficient is (hv - hl)/(R T^2).
        const double e1 = RT * Dl * (1.0 + l.r01) - P;
        const double e2 = RT * Dv * (1.0 + v.r01) - P;
        const double e3 = (l.r00 + l.r01) - (v.r00 + v.r01) + std::log(Dl / Dv);
        const double c = ((v.r10 + v.r01) - (l.r10 + l.r01)) / T;
        if (!(c > 0.0)) return false;
        const double dT = (-e3 + e1 / (RT * Dl) - e2 / (RT * Dv)) / c;
        const double ql = 1.0 + l.r01 - l.r11, qv = 1.0 + v.r01 - v.r11;
        const double dl = (-e1 - Dl * R * ql * dT) / (RT * l.K);
        const double dv = (-e2 - Dv * R * qv * dT) / (RT * v.K);
        if (!std::isfinite(dT) || !std::isfinite(dl) || !std::isfinite(dv)) return false;
        double f = step_fraction(Dl, dl, Dv, dv, Dc);
        if (std::fabs(dT) > 0.02 * T) f = std::min(f, 0.02 * T / std::fabs(dT));
        if (T + f * dT >= Tc) f = std::min(f, 0.5 * (Tc - T) / dT);
        const bool last = f == 1.0 && std::fabs(dT) < kSatStep * T &&
                          std::fabs(dl) < kSatStep * Dl && std::fabs(dv) < kSatStep * Dv;
        T += f * dT;
        Dl += f * dl;
        Dv += f * dv;
        if (last) return true;
    }
    return false;
}

void TPRHOB(double T, double P, double D1, double D2, const double x[20], double& D, int& ierr,
            std::string& herr) {
    ierr = 0;
    herr.clear();
    const double lo = std::min(D1, D2);
    const double hi = std::max(D1, D2);
    D = 0.5 * (lo + hi);
    double tol = 1e-9;
    for (int k = 1; k <= 24; ++k) {
        if (k == 10 || k == 15) tol *= 100.0;
        double p = 0, dp = 0;
        PRESS(T, D, x, p);
        DPDD(T, D, x, dp);
        if (!std::isfinite(p) || !std::isfinite(dp)) break;
        double dn = D;
        if (std::fabs(dp) > 1e-20) dn = D + (P - p) / dp;
        if (dn < lo) dn = 0.5 * (lo + D);
        if (dn > hi) dn = 0.5 * (hi + D);
        const bool done = std::fabs(p - P) < tol;
        D = dn;
        if (done) return;
    }
    ierr = 1;
}

namespace {

// Below this density the curvature of an isotherm is that of its second
// virial coefficient (press_derivs), the same at every lower density.
constexpr double kVirialDensity = 1.0e-8;

// Whether no further try of concave_vapour at a lower density than Dv can
// stop it: below kVirialDensity the isotherm keeps its positive curvature
// there, and the pressure, falling with the density, stays far below the
// critical one.
bool convex_down_to_zero(const PressDerivs& v, double Dv, double Pc) {
    return Dv <= kVirialDensity && v.d2 > 0.0 && std::fabs(v.p) <= 0.75 * Pc;
}

// The vapour density of a DLDV pass from Dv: lowered by 5 % a try (halved
// where the isotherm is steep far above the critical pressure) until the
// isotherm is concave there, 100 tries at most; its P and derivatives.  A
// gas far above its critical temperature (a wet gas's nitrogen at 580 K)
// is convex down to zero density: the tries left once that is certain only
// lower the density, without the state at each (6,000 evaluations of the
// equation in each DLDV of its dew-point search).
PressDerivs concave_vapour(double T, double& Dv, const double xv[20], double Pc) {
    PressDerivs v = press_derivs(T, Dv, xv);
    for (int tries = 0; tries < 100; ++tries) {
        if (std::fabs(v.d1) > 100000.0 && std::fabs(v.p) > 1.5 * Pc) {
            Dv /= 2.0;
            v = press_derivs(T, Dv, xv);
            continue;
        }
        if (v.d2 <= 0.0 && v.d1 >= 0.0) break;
        if (convex_down_to_zero(v, Dv, Pc)) {
            for (; tries < 100; ++tries) Dv *= 0.95;
            return press_derivs(T, Dv, xv);
        }
        Dv *= 0.95;
        v = press_derivs(T, Dv, xv);
    }
    return v;
}

}  // namespace

void DLDV(double T, double& P, double& Dl, double& Dv, const double xl[20], const double xv[20],
          int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(xl, Tc, Pc, Dc, jerr, jmsg);
    Dl = 1.1 * Dc;
    Dv = Dc;
    double s = 1.0;
    for (int pass = 1;; ++pass) {
        PressDerivs l = press_derivs(T, Dl, xl);
        for (int tries = 0; tries < 100; ++tries) {
            if (std::fabs(Dl) > 1e6 || !l.finite()) {
                ierr = 1;
                return;
            }
            if (l.d2 < 0.0 || l.d1 < 0.0 || l.p < 0.0) {
                Dl *= 1.05;
            } else if (l.d1 > 10000.0 && std::fabs(l.p) > 1.5 * Pc && Dl - Dc < 5.0) {
                Dl *= 1.5;
            } else {
                break;
            }
            l = press_derivs(T, Dl, xl);
        }
        PressDerivs v = concave_vapour(T, Dv, xv, Pc);
        if (pass == 1) {
            Dv *= 0.95;
            v = press_derivs(T, Dv, xv);
        }
        if (!l.finite() || !v.finite()) {
            ierr = 1;
            return;
        }
        P = 0.5 * (l.p + v.p);
        s = halley_step(v, P, s);
        while (std::fabs(s / Dv) > 0.5) s /= 10.0;
        Dv += s;
        s = halley_step(l, P, s);
        while (std::fabs(s / Dl) > 1.0) s /= 10.0;
        Dl += s;
        if (std::fabs(l.p - v.p) <= 1e-6) return;
        // Fifty passes without equal pressures are a failure, not a result.
        if (pass >= 50) {
            ierr = 1;
            return;
        }
    }
}

double CRTDEN(const double x[20], double T, double& D) {
    constexpr double h = 1e-4;
    for (int n = 1; n <= 31; ++n) {
        double f = 0;
        DPDD2(T, D, x, f);
        if (!std::isfinite(f)) return 0.0;
        if (std::fabs(f) < 1e-12) return D;
        if (n == 31) break;
        double fp = 0, fm = 0;
        DPDD2(T, D + h, x, fp);
        DPDD2(T, D - h, x, fm);
        const double f1 = (fp - fm) / 0.0002;
        const double f2 = (fm + fp - 2.0 * f) / 1e-8;
        const double dn = D + 1.0 / (f2 / (2.0 * f1) - f1 / f);
        if (!std::isfinite(dn) || dn <= 0.0) {
            D = std::isfinite(dn) ? dn : D;
            return 0.0;
        }
        // The second derivative cannot be driven below its rounding noise: a
        // step that no longer moves the density ends the search as well.
        const bool settled = std::fabs(dn - D) <= 1e-10 * D;
        D = dn;
        if (settled) return D;
    }
    return 0.0;
}

void FNCRPT(const double x[20], double& D, double& P, double& T, int& ierr, std::string& herr) {
    double Pc = 0;
    CRITP(x, T, Pc, D, ierr, herr);
    if (ierr > 0) return;
    const auto no_convergence = [&]() {
        fail(1, "FNCRPT",
             "iteration for critical point did not converge; T =" + fmt_g(T, 12, 5) + " K.", ierr,
             herr);
    };
    double T1 = T + 0.1;
    double d = D;
    D = CRTDEN(x, T1, d);
    if (D <= 0.0) return no_convergence();
    double g1 = 0;
    DPDD(T1, D, x, g1);
    g1 /= 1000.0;
    for (int pass = 1; pass <= 21; ++pass) {
        d = D;
        const double dn = CRTDEN(x, T, d);
        if (dn <= 0.0) return no_convergence();
        D = dn;
        double g = 0;
        DPDD(T, D, x, g);
        g /= 1000.0;
        if (pass == 21) break;
        if (std::fabs(g) < 1e-10) {
            double p = 0;
            PRESS(T, D, x, p);
            if (!(p > 0.0)) break;  // no equation behind the zero slope
            P = p;
            ierr = 0;
            herr.clear();
            return;
        }
        if (g == g1) break;
        const double tn = T - (T1 - T) * g / (g1 - g);
        T1 = T;
        g1 = g;
        if (!(tn > 0.0)) break;
        T = tn;
    }
    no_convergence();
}

}  // namespace lib
