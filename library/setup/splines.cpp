#include "library/setup/splines.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "library/phase/records.h"
#include "library/setup/common.h"
#include "library/setup/ludecomp.h"
#include "library/setup/records.h"

namespace lib {

namespace {

// Evaluates the natural cubic spline of n >= 2 knots (xs(i), ys(i), y2s(i),
// i = 0..n-1, xs increasing) at xval inside [xs(0), xs(n-1)], using the cubic of
// the interval that contains xval.
template <class X, class Y, class Y2>
double spline_at(int n, X xs, Y ys, Y2 y2s, double xval) {
    int lo = 0;
    int hi = n - 1;
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (xs(mid) > xval)
            hi = mid;
        else
            lo = mid;
    }
    const double h = xs(hi) - xs(lo);
    if (h == 0.0) return 0.0;
    const double a = xval - xs(hi);
    const double b = xval - xs(lo);
    const double ylo = ys(lo), yhi = ys(hi), y2lo = y2s(lo), y2hi = y2s(hi);
    return (y2lo * h / 6.0 - ylo / h) * a - y2lo * a * a * a / (6.0 * h) +
           y2hi * b * b * b / (6.0 * h) + (yhi / h - y2hi * h / 6.0) * b;
}

}  // namespace

void TRIDIAG(int m, const double diag[], const double upper[], const double lower[],
             const double r[], double u[]) {
    if (m < 1) return;
    std::vector<double> d(diag, diag + m);
    std::vector<double> rr(r, r + m);
    for (int k = 0; k + 1 < m; ++k) {
        const double f =
            d[static_cast<std::size_t>(k)] != 0.0 ? lower[k] / d[static_cast<std::size_t>(k)] : 0.0;
        d[static_cast<std::size_t>(k) + 1] -= f * upper[k];
        rr[static_cast<std::size_t>(k) + 1] -= f * rr[static_cast<std::size_t>(k)];
    }
    for (int k = m - 1; k >= 0; --k) {
        double s = rr[static_cast<std::size_t>(k)];
        if (k + 1 < m) s -= upper[k] * u[k + 1];
        u[k] = d[static_cast<std::size_t>(k)] != 0.0 ? s / d[static_cast<std::size_t>(k)] : 0.0;
    }
}

void CSPLINE(int n, const double x[], const double y[], double y2[]) {
    if (n < 1) {
        if (n == 0) y2[0] = 0.0;
        return;
    }
    y2[0] = 0.0;
    y2[n] = 0.0;
    const int m = n - 1;  // interior knots 1..n-1
    if (m < 1) return;
    std::vector<double> diag(static_cast<std::size_t>(m)), off(static_cast<std::size_t>(m)),
        rhs(static_cast<std::size_t>(m)), sol(static_cast<std::size_t>(m));
    for (int i = 1; i <= m; ++i) {
        const double h0 = x[i] - x[i - 1];
        const double h1 = x[i + 1] - x[i];
        const std::size_t k = static_cast<std::size_t>(i - 1);
        diag[k] = 2.0 * (h0 + h1);
        off[k] = h1;
        rhs[k] = (h0 == 0.0 || h1 == 0.0) ? 0.0
                                          : 6.0 * ((y[i + 1] - y[i]) / h1 - (y[i] - y[i - 1]) / h0);
    }
    TRIDIAG(m, diag.data(), off.data(), off.data(), rhs.data(), sol.data());
    for (int i = 1; i <= m; ++i) y2[i] = sol[static_cast<std::size_t>(i - 1)];
}

void CSPLNVAL(int n, const double x[], const double y[], const double y2[], double xval,
              double& yval, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    yval = 0.0;
    if (n < 3) {
        fail(193, "CSPLNVAL", "a spline needs at least three knots; n =" + fmt_int(n, 6), ierr,
             herr);
        return;
    }
    if (!(xval >= x[0] && xval <= x[n - 1])) {
        fail(192, "CSPLNVAL",
             "x is out of range! xi(1)=" + fmt_g(x[0], 12, 5) + " x=" + fmt_g(xval, 12, 5) +
                 " xi(n) =" + fmt_g(x[n - 1], 12, 5),
             ierr, herr);
        return;
    }
    yval = spline_at(
        n, [x](int i) { return x[i]; }, [y](int i) { return y[i]; }, [y2](int i) { return y2[i]; },
        xval);
}

void SPLNVAL(int ivar, int ideriv, double xval, double& yval, int& ierr, std::string& herr) {
    yval = 300.0;
    const int npts = SATSPL.n;
    if (npts < 2) {
        fail(1, "SPLNVAL", "number of points set to zero", ierr, herr);
        return;
    }
    const auto& tab = SATSPL.value;
    if (ideriv == -1 || ideriv == -2) {
        const double end = ideriv == -1 ? tab[0][0] : tab[static_cast<std::size_t>(npts - 1)][0];
        if (end < 100.0) yval = std::exp(end);
        return;
    }
    if (ivar < 1 || ivar > 25) {
        fail(1, "SPLNVAL", "invalid column number:" + fmt_int(ivar, 6), ierr, herr);
        return;
    }
    const std::size_t col = static_cast<std::size_t>(ivar);
    const bool logcol = ivar <= NCOMP.nc + 3;
    const int n = std::min(npts, kSplinePoints);
    // The spline of the column at ln(v), checked like CSPLNVAL; false on error.
    auto at = [&](double v, double& s) {
        const double x1 = SATSPL.value[0][0], xn = SATSPL.value[static_cast<std::size_t>(n - 1)][0];
        // ln(exp(end)) may miss the end of the table by a rounding error.
        double lv = std::log(v);
        if (lv < x1 && x1 - lv <= 1.0e-12 * std::max(1.0, std::fabs(x1))) lv = x1;
        if (lv > xn && lv - xn <= 1.0e-12 * std::max(1.0, std::fabs(xn))) lv = xn;
        s = 0.0;
        ierr = 0;
        herr.clear();
        if (n < 3) {
            fail(193, "CSPLNVAL", "a spline needs at least three knots; n =" + fmt_int(n, 6), ierr,
                 herr);
            return false;
        }
        if (!(lv >= x1 && lv <= xn)) {
            fail(192, "CSPLNVAL",
                 "x is out of range! xi(1)=" + fmt_g(x1, 12, 5) + " x=" + fmt_g(lv, 12, 5) +
                     " xi(n) =" + fmt_g(xn, 12, 5),
                 ierr, herr);
            return false;
        }
        s = spline_at(
            n, [&](int i) { return SATSPL.value[static_cast<std::size_t>(i)][0]; },
            [&](int i) { return SATSPL.value[static_cast<std::size_t>(i)][col]; },
            [&](int i) { return SATSPL.d2[static_cast<std::size_t>(i)][col]; }, lv);
        return true;
    };
    if (ideriv == 0) {
        if (!(xval > 0.0)) return;
        double s = 0.0;
        if (!at(xval, s)) return;
        yval = (logcol && s < 100.0) ? std::exp(s) : s;
        return;
    }
    // Derivative by a central difference of 0.002 in the spline variable.
    double sp = 0.0, sm = 0.0;
    if (xval - 0.001 > 0.0) {
        if (!at(xval + 0.001, sp) || !at(xval - 0.001, sm)) return;
    } else {
        if (!(xval > 0.0)) return;
        if (!at(xval + 0.002, sp) || !at(xval, sm)) return;
    }
    if (!logcol)
        yval = (sp - sm) / 0.002;
    else if (sp < 100.0 && sm < 100.0)
        yval = (std::exp(sp) - std::exp(sm)) / 0.002;
}

void SPLNROOT(int ivar, int ideriv, double target, double& x, int& ierr, std::string& herr) {
    std::string h;
    int ie = 0;
    double xlo = 300.0, xhi = 300.0;
    SPLNVAL(ivar, -1, 0.0, xlo, ie, h);
    SPLNVAL(ivar, -2, 0.0, xhi, ie, h);
    ierr = 0;
    herr.clear();
    bool failed = false;  // an evaluation reported an error
    auto g = [&](double v) {
        double y = 0.0;
        int e = 0;
        SPLNVAL(ivar, ideriv, v, y, e, herr);
        if (e != 0) failed = true;
        return y - target;
    };
    const double x0 = x;
    double xlast = x0 + 0.1;  // the last point tried
    auto no_root = [&]() {
        fail(1,
             herr.empty() ? errtext("SPLNROOT", 1, "no root found in the range of the splines")
                          : herr,
             ierr, herr);
        x = xhi < xlast ? xhi : xlo;
    };
    if (SATSPL.n < 2) {
        no_root();
        return;
    }
    double a = xlo, b = xhi;
    double ga = g(a), gb = g(b);
    if (ga * gb < 0.0 && gb < ga) {
        std::swap(a, b);
        std::swap(ga, gb);
    }
    failed = false;
    herr.clear();

    // Secant steps, kept inside the range.
    double xp = x0;
    double gp = g(x0);
    double xc = x0 + 0.1;
    for (int pass = 1; pass <= 101; ++pass) {
        failed = false;
        const double gc = g(xc);
        xlast = xc;
        if (!failed && std::fabs(gc) <= 1.0e-7) {
            x = xc;
            ierr = 0;
            herr.clear();
            return;
        }
        if (ga < gc && gc < 0.0) {
            a = xc;
            ga = gc;
        }
        if (0.0 < gc && gc < gb) {
            b = xc;
            gb = gc;
        }
        if (failed || pass == 101 || std::fabs(gp - gc) < 1.0e-20) break;
        double dx = -(xp - xc) * gc / (gp - gc);
        for (int k = 0; k < 3 && !(std::fabs(dx) < std::fabs(xc) / 10.0); ++k) dx /= 10.0;
        double xn = xc + dx / 1000.0;
        constexpr double kDiv[] = {1.0, 2.0, 5.0, 10.0, 25.0, 100.0};
        for (int k = 0; k < 6; ++k) {
            const double t = xc + dx / kDiv[k];
            const bool inside = k < 2 ? (xlo < t && t <= xhi) : (xlo <= t && t <= xhi);
            if (inside) {
                xn = t;
                break;
            }
        }
        xp = xc;
        gp = gc;
        xc = xn;
    }

    // Regula falsi inside a bracket of the root.
    failed = false;
    herr.clear();
    if (ga * gb >= 0.0) {
        const double t = 0.25 * b;
        const double gt = g(t);
        xlast = t;
        if (t <= x0) {
            a = t;
            ga = gt;
        } else {
            b = t;
            gb = gt;
        }
        if (failed || ga * gb >= 0.0) {
            no_root();
            return;
        }
    }
    double xc2 = (a + b) / 2.0;
    for (int pass = 1; pass <= 200; ++pass) {
        failed = false;
        const double gc = g(xc2);
        xlast = xc2;
        if (failed) break;
        if (std::fabs(gc) <= 1.0e-7) {
            x = xc2;
            ierr = 0;
            herr.clear();
            return;
        }
        if (ga < gc && gc < 0.0) {
            a = xc2;
            ga = gc;
            xc2 = b - (xc2 - b) * gb / (gc - gb);
        } else if (0.0 < gc && gc < gb) {
            b = xc2;
            gb = gc;
            xc2 = xc2 - (a - xc2) * gc / (ga - gc);
        } else if (pass == 1) {
            xc2 = 0.89999997615814209 * a + 0.10000000149011612 * b;
        } else if (pass == 2) {
            xc2 = 0.10000000149011612 * a + 0.89999997615814209 * b;
        } else {
            break;
        }
    }
    no_root();
}

void MINEIGEN(int n, const double A[], double v[], double& lambda, int& ierr, std::string& herr) {
    constexpr int ld = 20;
    ierr = 0;
    herr.clear();
    if (n < 1 || n > ld) {
        fail(1, "MINEIGEN", "routine did not converge", ierr, herr);
        return;
    }
    auto idx = [](int i, int j) {
        return static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * ld;
    };
    std::vector<double> b(static_cast<std::size_t>(ld) * ld, 0.0);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) b[idx(i, j)] = A[idx(i, j)] - (i == j ? lambda : 0.0);
    std::vector<double> z(static_cast<std::size_t>(n), 0.0);
    std::vector<double> keep = b;
    LUDECOMP(n, ld, b.data(), z.data(), ierr, herr);
    if (ierr > 0) {
        // A shift that is exactly an eigenvalue leaves B singular: move it by
        // a few units in the last place of the matrix scale and try once more.
        double scale = 0.0;
        for (int i = 0; i < n; ++i) scale = std::max(scale, std::fabs(A[idx(i, i)]));
        const double eps = 1.0e-12 * std::max(scale, 1.0e-300);
        b = keep;
        for (int i = 0; i < n; ++i) b[idx(i, i)] -= eps;
        ierr = 0;
        LUDECOMP(n, ld, b.data(), z.data(), ierr, herr);
    }
    if (ierr != 0) return;
    // A start vector with no zero component, so that it is not orthogonal to
    // the eigenvector sought for a diagonal or block matrix.
    for (int i = 0; i < n; ++i) z[static_cast<std::size_t>(i)] = 1.0 / (1.0 + 0.1 * i);
    bool converged = false;
    for (int pass = 0; pass < 21; ++pass) {
        const double lold = lambda;
        double norm = 0.0;
        for (int i = 0; i < n; ++i)
            norm += z[static_cast<std::size_t>(i)] * z[static_cast<std::size_t>(i)];
        norm = std::sqrt(norm);
        if (!(norm > 0.0) || !std::isfinite(norm)) break;
        for (int i = 0; i < n; ++i) {
            v[i] = z[static_cast<std::size_t>(i)] / norm;
            z[static_cast<std::size_t>(i)] = v[i];
        }
        ierr = -191;
        LUDECOMP(n, ld, b.data(), z.data(), ierr, herr);
        if (ierr != 0) return;
        double num = 0.0, den = 0.0;
        for (int i = 0; i < n; ++i) {
            double az = 0.0;
            for (int j = 0; j < n; ++j) az += A[idx(i, j)] * z[static_cast<std::size_t>(j)];
            num += z[static_cast<std::size_t>(i)] * az;
            den += z[static_cast<std::size_t>(i)] * z[static_cast<std::size_t>(i)];
        }
        if (!(den > 0.0) || !std::isfinite(num / den)) break;
        lambda = num / den;
        if (lold != 0.0) {
            const double d = 1.0 - lambda / lold;
            if (d * d <= 1.0e-12) {
                converged = true;
                break;
            }
        }
    }
    // The last iterate is the best estimate of the vector (the vector of the
    // pass before lags one step behind, which matters when the shift lies
    // close to the eigenvalue).
    double norm = 0.0;
    for (int i = 0; i < n; ++i)
        norm += z[static_cast<std::size_t>(i)] * z[static_cast<std::size_t>(i)];
    norm = std::sqrt(norm);
    if (norm > 0.0 && std::isfinite(norm))
        for (int i = 0; i < n; ++i) v[i] = z[static_cast<std::size_t>(i)] / norm;
    if (v[0] < 0.0)
        for (int i = 0; i < n; ++i) v[i] = -v[i];
    if (!converged) {
        fail(1, "MINEIGEN", "routine did not converge", ierr, herr);
    }
}

}  // namespace lib
