// Start estimates of mixture saturation and of the two-phase split, from
// the components' critical constants and acentric factors only.
#include "library/phase/mixest.h"

#include <cmath>

#include "library/library.h"
#include "library/setup/common.h"
#include "library/setup/records.h"

namespace lib {
namespace {

// The slope of the generalised vapour-pressure estimate and the factor of
// the temperature estimate, both held in single precision.
const double kSlope = static_cast<double>(5.373f);
const double kThreeSevenths = static_cast<double>(3.0f / 7.0f);
constexpr double kClampLow = 1e-6;
constexpr double kClampHigh = 0.999999;

int components() { return NCOMP.nc < kMaxComp ? NCOMP.nc : kMaxComp; }

// The components' critical constants in elements 0..nc-1.
struct Constants {
    double tc[20] = {}, pc[20] = {}, acf[20] = {};
    Constants() {
        for (int i = 0; i < components(); ++i) {
            tc[i] = CCON.tc[i + 1];
            pc[i] = CCON.pc[i + 1];
            acf[i] = CCON.acf[i + 1];
        }
    }
};

// A composition with every present fraction held inside [1e-6, 0.999999],
// then normalised.
void clamp_and_normalise(const double z[20], double y[20]) {
    double sum = 0.0;
    for (int i = 0; i < components(); ++i) {
        if (z[i] > 0.0) y[i] = std::fmin(std::fmax(y[i], kClampLow), kClampHigh);
        sum += y[i];
    }
    if (sum > 0.0)
        for (int i = 0; i < components(); ++i) y[i] /= sum;
}

// The start temperature at pressure P (corresponding states, each
// component's estimated saturation temperature weighted by its fraction).
double start_temperature(double P, const double x[20], const Constants& c) {
    double t0 = 0.0, tw = 0.0;
    for (int i = 0; i < components(); ++i) {
        if (!(x[i] > 0.0)) continue;
        tw += x[i] * c.tc[i];
        const double den = 1.0 - kThreeSevenths * std::log10(P / c.pc[i]) / (1.0 + c.acf[i]);
        t0 += x[i] * c.tc[i] / den;
    }
    // Far above the critical pressures the estimate has no meaning.
    return std::isfinite(t0) && t0 > 0.0 ? t0 : tw;
}

// The residual of the estimate at T for SATEST's k (3 bubble, 4 dew).
double residual(int k, double T, double P, const double x[20], const Constants& c) {
    double f = 0.0, y[20] = {};
    int jerr = 0;
    std::string jmsg;
    PTEST(k == 3 ? kBubbleResidual : kFractionResidual, T, P, 1.0, x, c.tc, c.pc, c.acf, f, y, jerr,
          jmsg);
    return f;
}

// Narrows [lo, hi] holding a sign change of f by `halvings` halvings and
// returns the midpoint of the last piece.
template <class F>
double narrow(F f, double lo, double hi, int halvings) {
    double flo = f(lo);
    for (int n = 0; n < halvings; ++n) {
        const double mid = 0.5 * (lo + hi);
        const double fm = f(mid);
        if (flo * fm <= 0.0) {
            hi = mid;
        } else {
            lo = mid;
            flo = fm;
        }
    }
    return 0.5 * (lo + hi);
}

// Whether a relative change (in percent) is above one percent.
bool changed(double before, double after) {
    if (before == 0.0) return after != 0.0 && std::fabs(after) > 1e-300;
    return 100.0 * std::fabs((before - after) / before) > 1.0;
}

// Saturation pressures of Raoult's law at T.
void raoult_pressures(double T, const Constants& c, double ps[20]) {
    for (int i = 0; i < components(); ++i) {
        const double ex = -2.333333 * (c.tc[i] / T - 1.0) * (1.0 + c.acf[i]);
        if (std::fabs(ex) < 50.0 || ps[i] <= 0.0) ps[i] = c.pc[i] * std::pow(10.0, ex);
    }
}

// The incipient composition of Raoult's law from the saturation pressures.
void raoult_incipient(const double x[20], int kph, const double ps[20], double& P, double y[20]) {
    double s = 0.0;
    for (int i = 0; i < 20; ++i) y[i] = 0.0;
    if (kph == kBubblePoint) {
        for (int i = 0; i < components(); ++i) s += x[i] * ps[i];
        P = s;
        for (int i = 0; i < components(); ++i)
            if (s > 0.0) y[i] = x[i] * ps[i] / s;
        return;
    }
    for (int i = 0; i < components(); ++i)
        if (x[i] > 0.0 && ps[i] > 0.0) s += x[i] / ps[i];
    P = 0.0;
    for (int i = 0; i < components(); ++i) {
        if (!(x[i] > 0.0 && ps[i] > 0.0 && s > 0.0)) continue;
        y[i] = x[i] / ps[i] / s;
        P += y[i] * ps[i];
    }
}

}  // namespace

void PTEST(int mode, double T, double P, double q, const double z[20], const double Tc[20],
           const double Pc[20], const double acf[20], double& res, double y[20], int& ierr,
           std::string& herr) {
    ierr = 0;
    herr.clear();
    if (!(T > 0.0)) return;
    const int nc = components();
    double p[20] = {};
    for (int i = 0; i < nc; ++i)
        p[i] = Pc[i] * std::exp(kSlope * (1.0 + acf[i]) * (1.0 - Tc[i] / T));
    double s = 0.0;
    switch (mode) {
        case kBubblePressure:
            for (int i = 0; i < nc; ++i) s += z[i] * p[i];
            res = s;
            return;
        case kDewPressure:
            for (int i = 0; i < nc; ++i)
                if (z[i] > 0.0) s += z[i] / p[i];
            res = s > 0.0 ? 1.0 / s : 0.0;
            return;
        case kBubbleResidual:
            for (int i = 0; i < nc; ++i) s += z[i] * p[i];
            res = s > 0.0 ? 1.0 - P / s : -1e300;
            return;
        case kFractionResidual:
            for (int i = 0; i < nc; ++i) {
                const double den = q * p[i] / P + 1.0 - q;
                if (den > 0.0 && z[i] > 0.0) s += z[i] / den;
            }
            res = 1.0 - s;
            return;
        case kIncipientVapour:
            for (int i = 0; i < 20; ++i) y[i] = i < nc ? z[i] * p[i] / P : 0.0;
            clamp_and_normalise(z, y);
            return;
        case kPhaseLiquid:
            for (int i = 0; i < 20; ++i) {
                y[i] = 0.0;
                if (i >= nc || !(z[i] > 0.0)) continue;
                const double den = q * p[i] / P + 1.0 - q;
                y[i] = den > 0.0 ? z[i] / den : kClampHigh;
            }
            clamp_and_normalise(z, y);
            return;
        default: return;
    }
}

void SATEST(int k, double& T, double& P, const double x[20], double xl[20], double xv[20],
            int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const Constants c;
    for (int i = 0; i < 20; ++i) xl[i] = xv[i] = x[i];
    double f = 0.0;
    if (k == 3 || k == 4 || T == 0.0) {
        if (!(P > 0.0)) {
            ierr = 1;
            return;
        }
        if (k == 3 || k == 4 || T == 0.0) T = start_temperature(P, x, c);
    }
    if (k == 1 || k == 2) {
        PTEST(k == 1 ? kBubblePressure : kDewPressure, T, P, 1.0, x, c.tc, c.pc, c.acf, P, xv, ierr,
              herr);
        if (k == 1)
            PTEST(kIncipientVapour, T, P, 1.0, x, c.tc, c.pc, c.acf, f, xv, ierr, herr);
        else
            PTEST(kPhaseLiquid, T, P, 1.0, x, c.tc, c.pc, c.acf, f, xl, ierr, herr);
        return;
    }
    if (k != 3 && k != 4) return;

    // A bracket of the root about the start, narrowed to a start for Newton.
    const auto g = [&](double t) { return residual(k, t, P, x, c); };
    const double t0 = T;
    const double f0 = g(t0);
    for (int step = 7; step >= 1; --step) {
        const double a = 0.1 * step;
        if (g(a * t0) * f0 < 0.0) {
            T = narrow(g, a * t0, t0, 2);
            break;
        }
        if (g(t0 / a) * f0 < 0.0) {
            T = narrow(g, t0, t0 / a, k == 4 ? 2 : 1);
            break;
        }
    }

    // Newton's method on u = 1/T for the logarithm of the sum the residual
    // compares with one (ln(S/P) for the bubble point, ln(P S') for the
    // dew point, S = sum z p, S' = sum z/p): both are nearly straight in
    // 1/T, where the residual itself is exponential.
    for (int pass = 1;; ++pass) {
        if (pass > 100) {
            ierr = 1;
            break;
        }
        double s = 0.0, ds = 0.0;
        for (int i = 0; i < components(); ++i) {
            if (!(x[i] > 0.0)) continue;
            const double ci = kSlope * (1.0 + c.acf[i]) * c.tc[i];
            const double pi = c.pc[i] * std::exp(kSlope * (1.0 + c.acf[i]) * (1.0 - c.tc[i] / T));
            const double term = k == 3 ? x[i] * pi : x[i] / pi;
            s += term;
            ds += k == 3 ? -term * ci : term * ci;  // d/du
        }
        if (!(s > 0.0) || !std::isfinite(s) || !std::isfinite(ds) || ds == 0.0) {
            ierr = 1;
            break;
        }
        const double gres = k == 3 ? std::log(s / P) : std::log(P * s);
        const double u = 1.0 / T;
        double un = u - gres / (ds / s);
        if (!(un > 0.0) || !std::isfinite(un)) un = 0.5 * u;
        T = 1.0 / un;
        if (std::fabs(gres) < 1e-10) break;
    }
    f = g(T);
    // The compositions at the last temperature (also after a failure: the
    // estimate is then only a poorer start).
    const int kerr = ierr;
    if (k == 3)
        PTEST(kIncipientVapour, T, P, 1.0, x, c.tc, c.pc, c.acf, f, xv, ierr, herr);
    else
        PTEST(kPhaseLiquid, T, P, 1.0, x, c.tc, c.pc, c.acf, f, xl, ierr, herr);
    ierr = kerr;
}

void SAT0EST(double T, double P, const double x[20], double xl[20], double xv[20], int& ierr,
             std::string& herr) {
    ierr = 0;
    herr.clear();
    const Constants c;
    double pb = 0, pd = 0, tb = 0, td = 0, l[20], v[20];
    SATEST(1, T, pb, x, l, v, ierr, herr);
    SATEST(2, T, pd, x, l, v, ierr, herr);
    SATEST(3, tb, P, x, l, v, ierr, herr);
    SATEST(4, td, P, x, l, v, ierr, herr);
    ierr = 0;
    herr.clear();
    if ((T - tb) * (T - td) > 0.0 || (P - pd) * (P - pb) > 0.0) {
        for (int i = 0; i < 20; ++i) {
            xl[i] = static_cast<double>(static_cast<float>(x[i]));
            xv[i] = static_cast<double>(static_cast<float>(0.5 * x[i]));
        }
        return;
    }
    double y[20] = {};
    const auto g = [&](double beta) {
        double f = 0.0;
        int jerr = 0;
        std::string jmsg;
        PTEST(kFractionResidual, T, P, beta, x, c.tc, c.pc, c.acf, f, y, jerr, jmsg);
        return f;
    };
    double beta = 0.5;
    const double fm = g(0.5), flo = g(1e-9), fhi = g(1.0);
    if (flo * fm < 0.0)
        beta = narrow(g, 1e-9, 0.5, 2);
    else if (fm * fhi < 0.0)
        beta = narrow(g, 0.5, 1.0, 2);
    double f = g(beta);
    bool going = true;
    for (int pass = 1; going; ++pass) {
        if (pass > 100) {
            ierr = 1;
            return;
        }
        double dfdb = 0.0;
        for (int i = 0; i < components(); ++i) {
            if (!(x[i] > 0.0)) continue;
            const double K =
                c.pc[i] * std::exp(kSlope * (1.0 + c.acf[i]) * (1.0 - c.tc[i] / T)) / P;
            const double den = 1.0 + beta * (K - 1.0);
            dfdb += x[i] * (K - 1.0) / (den * den);
        }
        const double bold = beta;
        if (dfdb != 0.0) beta -= f / dfdb;
        if (!std::isfinite(beta) || beta > 1e20) {
            ierr = 1;
            return;
        }
        if (beta > 1.0) beta = 0.5 * (bold + 1.0);
        if (beta <= 0.0) beta = 0.5 * bold;
        f = g(beta);
        going = std::fabs(f) > 1e-5 || changed(bold, beta);
    }
    double fs = 0.0;
    int jerr = 0;
    std::string jmsg;
    PTEST(kPhaseLiquid, T, P, beta, x, c.tc, c.pc, c.acf, fs, xl, jerr, jmsg);
    for (int i = 0; i < 20; ++i) xv[i] = (x[i] - xl[i] * (1.0 - beta)) / beta;
    // A component nearly absent from the vapour can come out slightly below
    // zero by cancellation: the estimate keeps it small and positive.
    double sum = 0.0;
    for (int i = 0; i < components(); ++i) {
        if (x[i] > 0.0 && xv[i] < kClampLow) xv[i] = kClampLow;
        sum += xv[i];
    }
    if (sum > 0.0)
        for (int i = 0; i < components(); ++i) xv[i] /= sum;
}

void SATTEST(double T, const double x[20], int kph, double& P, double y[20], int& ierr,
             std::string& herr) {
    ierr = 0;
    herr.clear();
    const Constants c;
    double ps[20] = {};
    raoult_pressures(T, c, ps);
    raoult_incipient(x, kph, ps, P, y);
}

void SATPEST(double P, const double x[20], int kph, double& T, double y[20], int& ierr,
             std::string& herr) {
    ierr = 0;
    herr.clear();
    const Constants c;
    double omega = 0.0;
    for (int i = 0; i < components(); ++i) omega += x[i] * c.acf[i];
    double t0 = 0.0;
    for (int i = 0; i < components(); ++i) {
        if (!(x[i] > 0.0)) continue;
        t0 += x[i] * c.tc[i] / (1.0 - 0.428571 * std::log10(P / c.pc[i]) / (1.0 + c.acf[i]));
    }
    if (!(t0 > 0.0) || !std::isfinite(t0)) {
        t0 = 0.0;
        for (int i = 0; i < components(); ++i) t0 += x[i] * c.tc[i];
    }
    const bool bubble = kph == kBubblePoint;
    const double tol = bubble ? 1e-6 : 1e-3;
    double ps[20] = {};
    // The residual at t, and S of the first step.
    const auto evaluate = [&](double t, double& s) {
        raoult_pressures(t, c, ps);
        s = 0.0;
        for (int i = 0; i < components(); ++i) {
            if (!(x[i] > 0.0)) continue;
            s += bubble ? x[i] * ps[i] : x[i] * P / ps[i];
        }
        return bubble ? 1.0 - P / s : 1.0 - s;
    };
    double T1 = t0, s = 0.0;
    double r1 = evaluate(T1, s);
    double T2 = 0, r2 = 0, T3 = 0, r3 = 0;  // earlier points
    int npts = 1;
    double tlo = 0, rlo = 0, thi = 0, rhi = 0;
    bool have_lo = false, have_hi = false;
    double last_step = 0.0;
    bool converged = std::fabs(r1) < tol;
    for (int pass = 1; pass <= 100 && !converged; ++pass) {
        // The bracket of the root seen so far (both residuals rise with T).
        if (r1 < 0.0 && (!have_lo || T1 > tlo)) {
            tlo = T1;
            rlo = r1;
            have_lo = true;
        }
        if (r1 > 0.0 && (!have_hi || T1 < thi)) {
            thi = T1;
            rhi = r1;
            have_hi = true;
        }
        double tn = 0.0;
        if (npts == 1) {
            const double l = std::log10(bubble ? s / P : s) / (1.0 + omega);
            tn = bubble ? T1 * (1.0 - 0.42857 * l) : T1 / (1.0 - 0.42857 * l);
        } else if (npts == 2 || std::fabs(r1 - r2) <= 1e-10 || std::fabs(r2 - r3) <= 1e-10 ||
                   std::fabs(r1 - r3) <= 1e-10) {
            tn = std::fabs(r1 - r2) > 1e-10 ? T1 - r1 * (T1 - T2) / (r1 - r2) : 0.5 * (T1 + T2);
        } else {
            // Inverse quadratic interpolation through the last three points.
            tn = T1 * r2 * r3 / ((r1 - r2) * (r1 - r3)) + T2 * r1 * r3 / ((r2 - r1) * (r2 - r3)) +
                 T3 * r1 * r2 / ((r3 - r1) * (r3 - r2));
        }
        if (have_lo && have_hi) {
            const double a = std::fmin(tlo, thi), b = std::fmax(tlo, thi);
            if (!(tn > a && tn < b)) tn = tlo - rlo * (thi - tlo) / (rhi - rlo);
            if (pass >= (bubble ? 33 : 34) && pass % 2 == 1) tn = 0.5 * (tlo + thi);
        }
        if (!(tn > 0.0) || !std::isfinite(tn)) tn = 0.5 * T1;
        last_step = tn - T1;
        T3 = T2, r3 = r2;
        T2 = T1, r2 = r1;
        T1 = tn;
        r1 = evaluate(T1, s);
        ++npts;
        converged = std::fabs(r1) < tol;
    }
    T = T1;
    if (!converged) {
        if (!(std::fabs(r1) < 0.01) && std::fabs(last_step) >= 1.0) T = t0;
        raoult_pressures(T, c, ps);
        fail(-144,
             errtext("SATP", "advisory", "-144",
                     "Raoult's law iteration (to generate mixture initial guess) has not "
                     "converged."),
             ierr, herr);
    }
    double pdummy = 0.0;
    raoult_incipient(x, kph, ps, pdummy, y);
}

}  // namespace lib
