// Derivatives of the AGA8 residual Helmholtz energy by the mole fractions
// of the current components, analytic to second order.
//
// The mixture parameters of the equation are polynomials in the fractions
// (taken here as independent, without the normalisation PHIAGA applies,
// which changes no derivative PHIDERV forms from them):
//   K^5 = (sum x_i K_i^(5/2))^2 + sum_ij x_i x_j kij,  U^5 likewise,
//   G = sum x_i G_i + 1/2 sum_ij x_i x_j gij,  Q = sum x_i Q_i,
//   F = sum over AGA8 components m of (sum of x_i mapped onto m)^2 F_m,
//   B_n = sum_ij x_i x_j bij_n,  C*_n = a_n U^u_n [G] [Q^2] [F],
// and with l = ln(K^3 D) the residual energy is
//   alphar = sum_n T^-u_n (B_n D - [n in 13..18] C*_n e^l)
//          + sum_(n >= 13) C*_n T^-u_n exp(b_n l - c_n e^(k_n l)).
#include <array>
#include <cmath>

#include "library/models/aga8.h"
#include "library/models/fracderiv.h"
#include "library/setup/records.h"

namespace lib {

namespace {

constexpr int kLinearOnly = 12;  // terms 1..12 hold B_n alone

using Vec = FractionDerivatives::Vec;
using Mat = FractionDerivatives::Mat;

// A function of the fractions with its gradient and Hessian.
struct Fn {
    double v = 0.0;
    Vec g{};
    Mat H{};
};

// The components present (x > 0), as indices 0..nc-1.
struct Present {
    int n = 0;
    std::array<int, kMaxComp> i{};
};

// s^T x + x^T M x over the components present (M symmetric).
Fn quadratic(const Present& c, const double x[20], const Vec& s, const Mat& M) {
    Fn f;
    for (int p = 0; p < c.n; ++p) {
        const auto i = static_cast<std::size_t>(c.i[p]);
        double mx = 0.0;
        for (int q = 0; q < c.n; ++q) {
            const auto j = static_cast<std::size_t>(c.i[q]);
            mx += M[i][j] * x[j];
            f.H[i][j] = 2.0 * M[i][j];
        }
        f.v += x[i] * (s[i] + mx);
        f.g[i] = s[i] + 2.0 * mx;
    }
    return f;
}

// (s^T x)^2 + x^T M x.
Fn square_plus(const Present& c, const double x[20], const Vec& s, const Mat& M) {
    Fn f = quadratic(c, x, Vec{}, M);
    double S = 0.0;
    for (int p = 0; p < c.n; ++p) S += s[static_cast<std::size_t>(c.i[p])] * x[c.i[p]];
    f.v += S * S;
    for (int p = 0; p < c.n; ++p) {
        const auto i = static_cast<std::size_t>(c.i[p]);
        f.g[i] += 2.0 * S * s[i];
        for (int q = 0; q < c.n; ++q) {
            const auto j = static_cast<std::size_t>(c.i[q]);
            f.H[i][j] += 2.0 * s[i] * s[j];
        }
    }
    return f;
}

// f^e (f > 0).
Fn power(const Present& c, const Fn& f, double e) {
    Fn r;
    r.v = std::pow(f.v, e);
    const double d1 = e * r.v / f.v, d2 = e * (e - 1.0) * r.v / (f.v * f.v);
    for (int p = 0; p < c.n; ++p) {
        const auto i = static_cast<std::size_t>(c.i[p]);
        r.g[i] = d1 * f.g[i];
        for (int q = 0; q < c.n; ++q) {
            const auto j = static_cast<std::size_t>(c.i[q]);
            r.H[i][j] = d2 * f.g[i] * f.g[j] + d1 * f.H[i][j];
        }
    }
    return r;
}

Fn product(const Present& c, const Fn& a, const Fn& b) {
    Fn r;
    r.v = a.v * b.v;
    for (int p = 0; p < c.n; ++p) {
        const auto i = static_cast<std::size_t>(c.i[p]);
        r.g[i] = a.g[i] * b.v + a.v * b.g[i];
        for (int q = 0; q < c.n; ++q) {
            const auto j = static_cast<std::size_t>(c.i[q]);
            r.H[i][j] = a.H[i][j] * b.v + a.g[i] * b.g[j] + b.g[i] * a.g[j] + a.v * b.H[i][j];
        }
    }
    return r;
}

// The parameters of the equation as functions of the fractions.
struct Parameters {
    Fn k5, u5, G, Q2, F;
    std::array<Fn, kAga8Virial> B;
};

Parameters parameters(const Present& c, const double x[20]) {
    Vec sk{}, su{}, sg{}, sq{};
    Mat mk{}, mu{}, mg{}, mf{};
    std::array<Mat, kAga8Virial> mb{};
    for (int p = 0; p < c.n; ++p) {
        const auto i = static_cast<std::size_t>(c.i[p]);
        const int m = INTMCF.aga[i + 1] - 1;
        const Aga8Component& a = kAga8Comp[static_cast<std::size_t>(m)];
        sk[i] = std::pow(a.K, 2.5);
        su[i] = std::pow(a.E, 2.5);
        sg[i] = a.G;
        sq[i] = a.Q;
        for (int q = 0; q < c.n; ++q) {
            const auto j = static_cast<std::size_t>(c.i[q]);
            const auto mi = static_cast<std::size_t>(m);
            const auto mj = static_cast<std::size_t>(INTMCF.aga[j + 1] - 1);
            mk[i][j] = INTMCF.kij[mi][mj];
            mu[i][j] = INTMCF.uij[mi][mj];
            mg[i][j] = 0.5 * INTMCF.gij[mi][mj];
            mf[i][j] = mi == mj ? a.F : 0.0;
            for (int n = 0; n < kAga8Virial; ++n)
                mb[static_cast<std::size_t>(n)][i][j] =
                    INTMCF.bij[static_cast<std::size_t>(n)][mi][mj];
        }
    }
    Parameters r;
    r.k5 = square_plus(c, x, sk, mk);
    r.u5 = square_plus(c, x, su, mu);
    r.G = quadratic(c, x, sg, mg);
    const Fn Q = quadratic(c, x, sq, Mat{});
    r.Q2 = product(c, Q, Q);
    r.F = quadratic(c, x, Vec{}, mf);
    for (int n = 0; n < kAga8Virial; ++n)
        r.B[static_cast<std::size_t>(n)] = quadratic(c, x, Vec{}, mb[static_cast<std::size_t>(n)]);
    return r;
}

// C*_n = a_n U^u_n [G] [Q^2] [F] of term n.
Fn coefficient(const Present& c, const Parameters& p, const Aga8Term& t) {
    Fn r = power(c, p.u5, t.u / 5.0);
    if (t.g == 1.0) r = product(c, r, p.G);
    if (t.q == 1.0) r = product(c, r, p.Q2);
    if (t.f == 1.0) r = product(c, r, p.F);
    r.v *= t.a;
    for (int q = 0; q < c.n; ++q) {
        const auto i = static_cast<std::size_t>(c.i[q]);
        r.g[i] *= t.a;
        for (int s = 0; s < c.n; ++s) r.H[i][static_cast<std::size_t>(c.i[s])] *= t.a;
    }
    return r;
}

// The density factor w of a term T^-u C w: its value, its derivatives by
// l (at constant D) and its derivatives D d/dD at constant x of w and of wl.
struct DensityFactor {
    double w, wl, wll, wd, wld;
};

void add_term(const Present& c, const Fn& C, const Fn& l, const DensityFactor& df, double Tu,
              double u, bool second, FractionDerivatives& f) {
    for (int p = 0; p < c.n; ++p) {
        const auto i = static_cast<std::size_t>(c.i[p]);
        const double g = Tu * (C.g[i] * df.w + C.v * df.wl * l.g[i]);
        f.ax[i] += g;
        f.axt[i] += u * g;
        f.axd[i] += Tu * (C.g[i] * df.wd + C.v * df.wld * l.g[i]);
        if (!second) continue;
        for (int q = 0; q < c.n; ++q) {
            const auto j = static_cast<std::size_t>(c.i[q]);
            f.axx[i][j] += Tu * (C.H[i][j] * df.w + (C.g[i] * l.g[j] + C.g[j] * l.g[i]) * df.wl +
                                 C.v * (df.wll * l.g[i] * l.g[j] + df.wl * l.H[i][j]));
        }
    }
}

}  // namespace

bool aga8_fraction_derivatives(double T, double D, const double x[20], bool second,
                               FractionDerivatives& f) {
    f = FractionDerivatives{};
    if (!(T > 0.0) || !(D > 0.0) || !std::isfinite(T) || !std::isfinite(D)) return false;
    Present c;
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i) {
        if (!(x[i] > 0.0)) continue;
        if (INTMCF.aga[static_cast<std::size_t>(i + 1)] < 1) return false;
        c.i[static_cast<std::size_t>(c.n++)] = i;
    }
    if (c.n == 0) return false;
    const Parameters p = parameters(c, x);
    if (!(p.k5.v > 0.0) || !(p.u5.v > 0.0)) return false;
    // l = ln(K^3 D) = (3/5) ln K^5 + ln D: its gradient and Hessian.
    Fn l;
    l.v = 0.6 * std::log(p.k5.v) + std::log(D);
    for (int q = 0; q < c.n; ++q) {
        const auto i = static_cast<std::size_t>(c.i[q]);
        l.g[i] = 0.6 * p.k5.g[i] / p.k5.v;
        for (int s = 0; s < c.n; ++s) {
            const auto j = static_cast<std::size_t>(c.i[s]);
            l.H[i][j] = 0.6 * (p.k5.H[i][j] / p.k5.v - p.k5.g[i] * p.k5.g[j] / (p.k5.v * p.k5.v));
        }
    }
    const double rho = std::exp(l.v), lnT = std::log(T);
    for (int n = 0; n < kAga8Terms; ++n) {
        const Aga8Term& t = kAga8Term[static_cast<std::size_t>(n)];
        const double Tu = std::exp(-t.u * lnT);
        // B_n D does not depend on K.
        if (n < kAga8Virial)
            add_term(c, p.B[static_cast<std::size_t>(n)], l, {D, 0.0, 0.0, D, 0.0}, Tu, t.u, second,
                     f);
        if (n < kLinearOnly) continue;
        const Fn C = coefficient(c, p, t);
        if (n < kAga8Virial) add_term(c, C, l, {-rho, -rho, -rho, -rho, -rho}, Tu, t.u, second, f);
        const double E = t.k > 0.0 ? t.c * std::exp(t.k * l.v) : 0.0;
        const double w = std::exp(t.b * l.v - E), s = t.b - t.k * E;
        const double wll = w * (s * s - t.k * t.k * E);
        add_term(c, C, l, {w, w * s, wll, w * s, wll}, Tu, t.u, second, f);
    }
    return true;
}

}  // namespace lib
