// Brent's bracketed root search: inverse quadratic interpolation and the
// secant, guarded by bisection, for a function whose evaluation may fail.
#pragma once

#include <algorithm>
#include <cmath>
#include <utility>

namespace lib {

// The root of f between a and b (f(a) = fa and f(b) = fb of opposite signs):
// stops when |f| <= ftol or the bracket is narrower than rtol |x|.  f(x, v)
// returns false where it cannot be evaluated; the trial then moves halfway
// back toward the best point, at most six times in a row.  False without
// convergence in maxit evaluations.  With `froot` it receives f(root):
// where f jumps across zero (from one phase to another) the bracket closes
// on the jump with |f| far from zero, which is no root.
template <class F>
bool brent_root(F f, double a, double fa, double b, double fb, double ftol, double rtol, int maxit,
                double& root, double* froot = nullptr) {
    if ((fa > 0.0) == (fb > 0.0) && fa != 0.0 && fb != 0.0) return false;
    if (std::fabs(fa) < std::fabs(fb)) {
        std::swap(a, b);
        std::swap(fa, fb);
    }
    double c = a, fc = fa, d = b - a, e = d;
    for (int it = 0; it < maxit; ++it) {
        if ((fb > 0.0) == (fc > 0.0)) {
            c = a;
            fc = fa;
            d = e = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double tol = rtol * std::fabs(b) + 1e-300;
        const double m = 0.5 * (c - b);
        if (std::fabs(fb) <= ftol || std::fabs(m) <= tol) {
            root = b;
            if (froot != nullptr) *froot = fb;
            return true;
        }
        double step = m;
        if (std::fabs(e) >= tol && std::fabs(fa) > std::fabs(fb)) {
            const double s = fb / fa;
            double p = 0, q = 0;
            if (a == c) {
                p = 2.0 * m * s;
                q = 1.0 - s;
            } else {
                const double u = fa / fc, w = fb / fc;
                p = s * (2.0 * m * u * (u - w) - (b - a) * (w - 1.0));
                q = (u - 1.0) * (w - 1.0) * (s - 1.0);
            }
            if (p > 0.0)
                q = -q;
            else
                p = -p;
            if (2.0 * p < std::fmin(3.0 * m * q - std::fabs(tol * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
                step = d;
            } else {
                d = e = m;
            }
        } else {
            d = e = m;
        }
        a = b;
        fa = fb;
        double xn = b + (std::fabs(step) > tol ? step : std::copysign(tol, m));
        double v = 0.0;
        int tries = 0;
        while (!f(xn, v)) {
            if (++tries > 6) return false;
            xn = 0.5 * (xn + b);
        }
        b = xn;
        fb = v;
    }
    return false;
}

// Whether f(root) from brent_root is a root's value and not a jump's:
// within 1e4 times the tolerance of the search.
inline bool no_jump(double froot, double ftol) { return std::fabs(froot) <= 1e4 * ftol; }

// A march without a guide: each step as it comes, no second chance where
// f cannot be evaluated.
struct NoGuide {
    double limit(double /*good*/, double /*vg*/, double /*behind*/, double /*vb*/,
                 double xn) const {
        return xn;
    }
    template <class F>
    bool on_failure(F& /*f*/, double /*good*/, double /*vg*/, double /*behind*/, double /*vb*/,
                    double /*xn*/, double& /*a*/, double& /*fa*/, double& /*b*/, double& /*fb*/) {
        return false;
    }
};

// Brackets a root of the rising function f (f(x, v) false where it cannot
// be evaluated) from x0 within [lo, hi]: a, b with f(a) = fa <= 0 <= fb =
// f(b).  With `halfway` no step goes more than halfway to the limit ahead
// while that half is longer than the first step (where f is slow to
// evaluate near the limit, only a root close to it takes the search there).
// A guide may shorten each step (`limit`, from the last two points good,
// behind) and try its own way on where f cannot be evaluated (`on_failure`,
// true with the bracket found) before the step is halved.
template <class F, class Guide = NoGuide>
bool bracket_root(F f, double x0, double step, double lo, double hi, double& a, double& fa,
                  double& b, double& fb, bool halfway = false, Guide guide = {}) {
    double v0 = 0.0;
    int tries = 0;
    while (!f(x0, v0)) {
        if (++tries > 8) return false;
        x0 = tries % 2 ? x0 + step * tries : x0 - step * tries;
        x0 = std::clamp(x0, lo, hi);
    }
    const double dir = v0 > 0.0 ? -1.0 : 1.0;
    double good = x0, vg = v0, behind = x0, vb = v0;
    const double first = step;
    for (int k = 0; k < 60; ++k) {
        double xn = std::clamp(good + dir * step, lo, hi);
        const double half = 0.5 * ((dir > 0 ? hi : lo) - good);
        if (halfway && std::fabs(half) > first && std::fabs(xn - good) > std::fabs(half))
            xn = good + half;
        xn = guide.limit(good, vg, behind, vb, xn);
        double vn = 0.0;
        int back = 0;
        while (!f(xn, vn)) {
            if (guide.on_failure(f, good, vg, behind, vb, xn, a, fa, b, fb)) return true;
            if (++back > 5) return false;
            xn = 0.5 * (xn + good);
        }
        if ((vn > 0.0) != (vg > 0.0) || vn == 0.0) {
            a = dir > 0 ? good : xn;
            fa = dir > 0 ? vg : vn;
            b = dir > 0 ? xn : good;
            fb = dir > 0 ? vn : vg;
            return true;
        }
        if (xn == good) return false;  // at a limit without a change of sign
        behind = good;
        vb = vg;
        good = xn;
        vg = vn;
        step *= 1.6;
    }
    return false;
}

}  // namespace lib
