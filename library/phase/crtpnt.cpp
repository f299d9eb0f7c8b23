// CRTPNT: the true critical point of a mixture by Newton's method in
// temperature and density on the criterion of the Helmholtz energy at
// constant T and V: the smallest eigenvalue of its scaled Hessian in the
// amounts and the cubic form along the eigenvector both vanish.  (This
// replaces a Newton iteration in temperature and pressure on the fugacity
// form of the criterion; a singular step ends the attempt from that start
// like any other failure, so there is no "dp, dt -> infinity" error: every
// failure is "No convergence. Provide better p, t guess values".)
//
// The result depends on the composition alone wherever the mixture model's
// estimate leads to a point: that start is tried first, and the values
// passed in only after it failed.  Passed in first, they made the answer
// depend on the call before, the previous point handed on as the start:
// 78.18 % nitrogen, 20.79 % oxygen and 1.03 % water gave 135.65 K and
// 4.248 MPa alone but 686.80 K and 4,574 MPa after 50 % water in nitrogen;
// 50 % carbon dioxide in nitrogen 170.3 K and 360 MPa after 2 % water in
// carbon dioxide instead of 234.7 K and 18.0 MPa.  A Newton run from far
// away ends on other roots of the two conditions, where the composition is
// not one phase, so a point reached from the values passed in is taken
// only where the (T, p) flash finds one fluid phase (10 % water in helium,
// no point alone, gave 315.6 K and 148 MPa, where it splits into water and
// helium).  A failure leaves T, P and D at zero, never the values passed
// in.
#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/hmxrecords.h"
#include "library/models/phiderv.h"
#include "library/models/records.h"
#include "library/phase/sattp.h"
#include "library/setup/records.h"

namespace lib {
namespace {

// Smallest eigenvalue of the symmetric n x n matrix a (row-major, 20
// columns) and its unit eigenvector, by Jacobi rotations.
double smallest_eigen(int n, double a[20][20], double u[20]) {
    double v[20][20] = {};
    for (int i = 0; i < n; ++i) v[i][i] = 1.0;
    for (int sweep = 0; sweep < 60; ++sweep) {
        double off = 0.0;
        for (int p = 0; p < n; ++p)
            for (int q = p + 1; q < n; ++q) off += a[p][q] * a[p][q];
        if (off < 1e-30) break;
        for (int p = 0; p < n; ++p) {
            for (int q = p + 1; q < n; ++q) {
                if (std::fabs(a[p][q]) < 1e-300) continue;
                const double theta = (a[q][q] - a[p][p]) / (2.0 * a[p][q]);
                const double t =
                    std::copysign(1.0, theta) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c;
                for (int k = 0; k < n; ++k) {
                    const double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (int k = 0; k < n; ++k) {
                    const double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (int k = 0; k < n; ++k) {
                    const double vkp = v[k][p], vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
        }
    }
    int best = 0;
    for (int i = 1; i < n; ++i)
        if (a[i][i] < a[best][best]) best = i;
    for (int i = 0; i < n; ++i) u[i] = v[i][best];
    if (u[0] < 0.0)
        for (int i = 0; i < n; ++i) u[i] = -u[i];
    return a[best][best];
}

// The two conditions of a critical point at (T, D): the smallest
// eigenvalue L of Q_ij = delta_ij + sqrt(x_i x_j) n d2(n alpha)/dn_i dn_j (the
// scaled Hessian of the Helmholtz energy at constant T and V) and the cubic
// form C along its eigenvector, d2/ds2 of sum_i dn_i ln f_i(n + s dn) at
// constant T and V.
bool conditions(double T, double D, const double x[20], const mix::Present& o, double& L,
                double& C) {
    double dadn[20], dnadn[20];
    int jerr = 0;
    std::string jmsg;
    PHIDERV(2, T, D, x, dadn, dnadn, jerr, jmsg);
    if (jerr != 0) return false;
    double Q[20][20] = {};
    for (int a = 0; a < o.m; ++a)
        for (int b = 0; b < o.m; ++b) {
            const int i = o.c[a], j = o.c[b];
            const double mij = a <= b ? PHIDR.d2nadn2[i][j] : PHIDR.d2nadn2[j][i];
            Q[a][b] = std::sqrt(x[i] * x[j]) * mij + (a == b ? 1.0 : 0.0);
        }
    double u[20] = {};
    L = smallest_eigen(o.m, Q, u);
    double dn[20] = {};
    for (int a = 0; a < o.m; ++a) dn[o.c[a]] = std::sqrt(x[o.c[a]]) * u[a];
    const auto g = [&](double s, double& v) {
        double n[20] = {}, sum = 0.0;
        for (int a = 0; a < o.m; ++a) {
            const int i = o.c[a];
            n[i] = x[i] + s * dn[i];
            if (!(n[i] > 0.0)) return false;
            sum += n[i];
        }
        double xs[20] = {};
        for (int a = 0; a < o.m; ++a) xs[o.c[a]] = n[o.c[a]] / sum;
        const double Ds = D * sum;
        int kerr = 0;
        std::string kmsg;
        PHIDERV(1, T, Ds, xs, dadn, dnadn, kerr, kmsg);
        if (kerr != 0) return false;
        v = 0.0;
        for (int a = 0; a < o.m; ++a) {
            const int i = o.c[a];
            v += dn[i] * (std::log(xs[i] * Ds * GCNST.r * T) + dnadn[i]);
        }
        return true;
    };
    constexpr double eps = 1e-3;
    double gp = 0, g0 = 0, gm = 0;
    if (!g(eps, gp) || !g(0.0, g0) || !g(-eps, gm)) return false;
    C = (gp - 2.0 * g0 + gm) / (eps * eps);
    return std::isfinite(L) && std::isfinite(C);
}

// Newton's method in (T, D) on the two conditions from the start (t, d);
// true with the point in (t, d) when both vanish.
bool newton_from(double& t, double& d, const double x[20], const mix::Present& o) {
    if (!(t > 0.0) || !(d > 0.0)) return false;
    for (int it = 0; it < 60; ++it) {
        double L = 0, C = 0, Lt = 0, Ct = 0, Ld = 0, Cd = 0;
        const double ht = 1e-5 * t, hd = 1e-5 * d;
        if (!conditions(t, d, x, o, L, C) || !conditions(t + ht, d, x, o, Lt, Ct) ||
            !conditions(t, d + hd, x, o, Ld, Cd))
            return false;
        if (std::fabs(L) < 1e-10 && std::fabs(C) < 1e-8) return true;
        const double a = (Lt - L) / ht, b = (Ld - L) / hd, c = (Ct - C) / ht, e = (Cd - C) / hd;
        const double det = a * e - b * c;
        if (!(std::fabs(det) > 1e-300)) return false;
        double dt = -(L * e - b * C) / det, dd = -(a * C - c * L) / det;
        const double f = std::max({1.0, std::fabs(dt) / (0.05 * t), std::fabs(dd) / (0.2 * d)});
        dt /= f;
        dd /= f;
        t += dt;
        d += dd;
        if (!(t > 0.0) || !(d > 0.0) || t > 2000.0) return false;
        if (std::fabs(dt) < 1e-10 * t && std::fabs(dd) < 1e-10 * d) return true;
    }
    return false;
}

// Phases of a (T, P) split whose densities differ by more than this share
// of the critical density are two distinct phases, not the one phase a
// critical point has on both sides (the property table's rule).
constexpr double kDistinctPhases = 0.2;

// Whether x is one fluid phase at (T, P), as a critical point is: the flash
// accepts the state (within the limits, no solid) and does not split it into
// distinct phases.
bool one_fluid_phase(double T, double P, double Dc, const double x[20]) {
    double D = 0, Dl = 0, Dv = 0, xl[20] = {}, xv[20] = {}, q = 0, e = 0, h = 0, s = 0, cv = 0,
           cp = 0, w = 0;
    int kerr = 0;
    std::string kmsg;
    TPFLSH(T, P, x, D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, kerr, kmsg);
    if (kerr != 0) return false;
    return !(q > 0.0 && q < 1.0) || std::fabs(Dl - Dv) <= kDistinctPhases * Dc;
}

}  // namespace

void CRTPNT(const double x[20], double& T, double& P, double& D, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    if (ISPURE(x) != 0) {
        CRITP(x, T, P, D, ierr, herr);
        if (ierr > 0) T = P = D = 0.0;
        return;
    }
    const mix::Present o = mix::present(x);
    RMIX(x);
    double Te = 0, Pe = 0, De = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(x, Te, Pe, De, jerr, jmsg);
    // The estimate of the mixture model first: its point is the
    // composition's alone, whatever the caller passed in.
    double t = Te, d = De;
    bool found = newton_from(t, d, x, o);
    double p = 0;
    if (found) PRESS(t, d, x, p);
    // Then the values passed in, if they differ; their point only where it
    // is one fluid phase.
    if (!found && (T != Te || D != De)) {
        t = T;
        d = D;
        found = newton_from(t, d, x, o);
        if (found) PRESS(t, d, x, p);
        found = found && one_fluid_phase(t, p, d, x);
    }
    if (found) {
        T = t;
        P = p;
        D = d;
        return;
    }
    T = P = D = 0.0;
    ierr = 1;
    herr = "No convergence. Provide better p, t guess values";
}

}  // namespace lib
