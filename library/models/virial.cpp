#include "library/models/virial.h"

#include <cmath>

#include "library/models/critp.h"
#include "library/models/idealgas.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"

namespace lib {

namespace {

// tau and the density factor of the low-density evaluations: tau = Tred/T
// and delta = D0/Dred with the component's or the mixture's reducing
// values (a BWR fluid included: PHIK reaches its derivatives).
struct Low {
    int ic = 0;
    double tau = 0, dred = 0;
    const double* x = nullptr;
    double r(int itau, int idel, double d0) const {
        const double del = d0 / dred;
        const double v = ic != 0 ? PHIK(ic, itau, idel, tau, del) : PHIX(itau, idel, tau, del, x);
        return std::isfinite(v) ? v : 0.0;
    }
};

bool low(double T, const double x[20], Low& lo) {
    if (!(T > 0.0)) return false;
    RMIX(x);
    lo.x = x;
    double tred = 0.0, dred = 0.0;
    if (!reducing_point(x, lo.ic, tred, dred)) return false;
    lo.tau = tred / T;
    lo.dred = dred;
    return true;
}

inline double finite_or_zero(double v) { return std::isfinite(v) ? v : 0.0; }

// gamma0 = cp0/(cp0 - R) of the ideal gas at T; 0 when undefined.
double gamma0(double T, const double x[20]) {
    const double cp0 = CP0(T, x);
    RMIX(x);
    const double d = cp0 - GCNST.r;
    return d != 0.0 ? cp0 / d : 0.0;
}

// A coefficient taken from the Helmholtz energy at a small density d0 is off
// by the next coefficient times d0 (and so on), and at low temperatures the
// higher coefficients grow by orders of magnitude: water at 251.165 K gave C
// = -233.8 for -25.88 (L/mol)^2 at 1e-6 mol/L, butene at 87.8 K -30.5 for
// 0.135, methanol at 175.6 K B = -203.97 for -200.03 L/mol at 1e-8 mol/L.
// Each coefficient is therefore taken at d0, 2 d0 and 3 d0 and the errors
// linear and quadratic in the density extrapolated away.
template <typename F>
double at_zero_density(double d0, F value) {
    return 3.0 * value(d0) - 3.0 * value(2.0 * d0) + value(3.0 * d0);
}

}  // namespace

void VIRB(double T, const double x[20], double& B) {
    B = 0.0;
    Low lo;
    if (!low(T, x, lo)) return;
    B = finite_or_zero(at_zero_density(1.0e-8, [&](double d0) { return lo.r(0, 1, d0) / d0; }));
}

void DBDT(double T, const double x[20], double& dB) {
    dB = 0.0;
    Low lo;
    if (!low(T, x, lo)) return;
    dB = finite_or_zero(
        at_zero_density(1.0e-8, [&](double d0) { return -lo.r(1, 1, d0) / (d0 * T); }));
}

void DBDT2(double T, const double x[20], double& d2B) {
    d2B = 0.0;
    Low lo;
    if (!low(T, x, lo)) return;
    d2B = finite_or_zero(at_zero_density(
        1.0e-8, [&](double d0) { return (2.0 * lo.r(1, 1, d0) + lo.r(2, 1, d0)) / (d0 * T * T); }));
}

void VIRC(double T, const double x[20], double& C) {
    C = 0.0;
    Low lo;
    if (!low(T, x, lo)) return;
    C = finite_or_zero(
        at_zero_density(1.0e-6, [&](double d0) { return lo.r(0, 2, d0) / (d0 * d0); }));
}

// The temperature derivatives of C come from mixed derivatives of the
// Helmholtz energy, which leave out terms whose value falls below 1e-20: at
// 1e-8 mol/L that can drop delta^2 terms with coefficients up to some 1e-2,
// which carry C.  They are taken at delta = 1e-6 and 2e-6 instead (where only
// terms below 1e-8 could be left out), and the error linear in the density
// is extrapolated away.
constexpr double kCDelta = 1.0e-6;

double c_derivative(const Low& lo, int itau) {
    auto at = [&](double d0) {
        const double r = itau == 1 ? -lo.r(1, 2, d0) : 2.0 * lo.r(1, 2, d0) + lo.r(2, 2, d0);
        return r / (d0 * d0);
    };
    const double d0 = kCDelta * lo.dred;
    return 2.0 * at(d0) - at(2.0 * d0);
}

void DCDT(double T, const double x[20], double& dC) {
    dC = 0.0;
    Low lo;
    if (!low(T, x, lo)) return;
    dC = finite_or_zero(c_derivative(lo, 1) / T);
}

void DCDT2(double T, const double x[20], double& d2C) {
    d2C = 0.0;
    Low lo;
    if (!low(T, x, lo)) return;
    d2C = finite_or_zero(c_derivative(lo, 2) / (T * T));
}

void VIRD(double T, const double x[20], double& D) {
    D = 0.0;
    Low lo;
    if (!low(T, x, lo)) return;
    D = finite_or_zero(
        at_zero_density(1.0e-4, [&](double d0) { return lo.r(0, 3, d0) / (d0 * d0 * d0); }));
}

void VIRBA(double T, const double x[20], double& betaa) {
    betaa = 0.0;
    if (!(T > 0.0)) return;
    double b, db, d2b;
    VIRB(T, x, b);
    DBDT(T, x, db);
    DBDT2(T, x, d2b);
    const double g = gamma0(T, x);
    if (g == 0.0) return;
    betaa = finite_or_zero(2.0 * b + 2.0 * (g - 1.0) * T * db +
                           ((g - 1.0) * (g - 1.0) / g) * T * T * d2b);
}

void VIRCA(double T, const double x[20], double& gammaa) {
    gammaa = 0.0;
    if (!(T > 0.0)) return;
    double b, db, d2b, c, dc, d2c;
    VIRB(T, x, b);
    DBDT(T, x, db);
    DBDT2(T, x, d2b);
    VIRC(T, x, c);
    DCDT(T, x, dc);
    DCDT2(T, x, d2c);
    const double g = gamma0(T, x);
    if (g == 0.0) return;
    const double e = (g - 1.0) * T * T * d2b + (2.0 * g - 1.0) * T * db + b;
    gammaa = finite_or_zero(((g - 1.0) * (g - 1.0) / 2.0 * T * T * d2c + (g * g - 1.0) * T * dc +
                             (2.0 * g + 1.0) * c + (g - 1.0) * e * e) /
                            g);
}

void B12(double T, const double x[20], double& b) {
    b = 0.0;
    if (!(T > 0.0) || NCOMP.nc != 2 || !(x[0] > 0.0) || !(x[1] > 0.0)) return;
    double e1[20] = {1.0}, e2[20] = {0.0, 1.0};
    double bx, b1, b2;
    VIRB(T, x, bx);
    VIRB(T, e1, b1);
    VIRB(T, e2, b2);
    RMIX(x);
    b = finite_or_zero((bx - x[0] * x[0] * b1 - x[1] * x[1] * b2) / (2.0 * x[0] * x[1]));
}

void VIRBCD(double T, const double x[20], double& B, double& C, double& D) {
    B = C = D = 0.0;
    if (!(T > 0.0)) return;
    RMIX(x);
    const int ic = ISPURE(x);
    if (ic == 0 || !EOSMOD.eos[ic].starts("FE")) return;
    const double dred = ZRED.dred[ic];
    const double tau = ZRED.tred[ic] / T;
    if (!(dred > 0.0) || !(tau > 0.0)) return;
    const WntfeqCounts& k = WNTFEQ.k[ic];
    const int nn = std::min(k.nterm, kFeqTerms);
    const int nk = std::min(k.ncrit, std::min(kFeqCrit, kFeqTerms - nn));
    // Coefficients c[j] of delta^j (j = 1..3) in the expansion of alphar
    // about delta = 0; B Dred = c1, C Dred^2 = 2 c2, VIRD Dred^3 = 6 c3.
    double c[4] = {0.0, 0.0, 0.0, 0.0};
    // Adds v delta^d (1 + a1 delta + a2 delta^2 + ...) truncated at delta^3.
    auto add = [&](double v, int d, double a1, double a2) {
        if (d >= 1 && d <= 3) c[d] += v;
        if (d + 1 >= 1 && d + 1 <= 3) c[d + 1] += v * a1;
        if (d + 2 >= 1 && d + 2 <= 3) c[d + 2] += v * a2;
    };
    const auto& f = WCFFEQ;
    for (int j = 0; j < nn; ++j) {
        const std::size_t u = static_cast<std::size_t>(j);
        const double v = f.n[ic][u] * std::pow(tau, f.t[ic][u]);
        const int d = f.d[ic][u];
        const int l = f.l[ic][u];
        const double g = f.g[ic][u];
        // exp(-g delta^l) = 1 - g delta^l + g^2 delta^(2l)/2 - ...
        double a1 = 0.0, a2 = 0.0;
        if (l == 1) {
            a1 = -g;
            a2 = g * g / 2.0;
        } else if (l == 2) {
            a2 = -g;
        }
        add(v, d, a1, a2);
    }
    for (int j = 0; j < nk; ++j) {
        const std::size_t u = static_cast<std::size_t>(nn + j);
        const auto& cc = WCFFQ2.c[ic][static_cast<std::size_t>(j)];  // c6..c12
        if (std::fabs(cc[4]) >= 1.0e-12) continue;  // a non-analytic term: no series
        const double c6 = cc[0], c7 = cc[1], gc = cc[2], eps = cc[3];
        const double m = f.m[ic][static_cast<std::size_t>(j)];
        const int l = f.l[ic][u];
        const double tt = tau - gc;
        const double tpart = m == 2.0 ? c7 * tt * tt : c7 * std::pow(tt, m);
        // exp(c6 (delta - eps)^l) about delta = 0: with h(delta) its exponent,
        // exp(h0) (1 + h1 delta + (h2/2 + h1^2/2) delta^2 + ...).
        const double me = -eps;
        auto pw = [](double b, int e) { return e < 0 ? 0.0 : std::pow(b, e); };
        const double h0 = c6 * pw(me, l);
        const double h1 = l >= 1 ? c6 * l * pw(me, l - 1) : 0.0;
        const double h2 = l >= 2 ? c6 * l * (l - 1) * pw(me, l - 2) : 0.0;
        const double v = f.n[ic][u] * std::pow(tau, f.t[ic][u]) * std::exp(h0 + tpart);
        add(v, f.d[ic][u], h1, h2 / 2.0 + h1 * h1 / 2.0);
    }
    B = finite_or_zero(c[1] / dred);
    C = finite_or_zero(2.0 * c[2] / (dred * dred));
    D = finite_or_zero(6.0 * c[3] / (dred * dred * dred));
}

}  // namespace lib
