// CRTPNT: the true critical point of a mixture by Newton's method in
// temperature and pressure on the stability criterion of the tangent plane
// at constant T and P: the smallest eigenvalue of the matrix
// B_ij = delta_ij + sqrt(x_i x_j) n dln(phi_i)/dn_j and the cubic form along
// its eigenvector both vanish.
#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/hmxrecords.h"
#include "library/phase/satgv.h"
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

// The fugacity data CRTPNT reads at (T, P) for composition x: ln(phi P),
// the T and P derivatives of ln phi and, at the base point, the stability
// matrix.
struct Sample {
    double lnf[20] = {}, dt[20] = {}, dp[20] = {};
    double D = 0;
};

bool sample(double T, double P, const double x[20], const mix::Present& o, double& D, Sample& s,
            double B[20][20], int& ierr, std::string& herr) {
    int kph = 1;
    double dPdT = 0, dPdD = 0, dDdT = 0, cp = 0;
    LGPHI(2, kph, T, D, P, x, s.lnf, dPdT, dPdD, dDdT, cp, ierr, herr);
    if (ierr != 0) return false;
    s.D = D;
    const PhidrRecord& r = PHIDR;
    for (int a = 0; a < o.m; ++a) {
        const int i = o.c[a];
        s.dt[i] = r.dlnphi_dt[i];
        s.dp[i] = r.dlnphi_dp[i];
    }
    if (B == nullptr) return true;
    for (int a = 0; a < o.m; ++a) {
        const int i = o.c[a];
        for (int b = 0; b < o.m; ++b) {
            const int j = o.c[b];
            // Mirrored from the upper triangle.
            const double mij = a <= b ? r.ndlnphi_dn[i][j] : r.ndlnphi_dn[j][i];
            B[a][b] = std::sqrt(x[i]) * std::sqrt(x[j]) * mij + (a == b ? 1.0 : 0.0);
        }
    }
    return true;
}

}  // namespace

void CRTPNT(const double x[20], double& T, double& P, double& D, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    if (ISPURE(x) != 0) {
        CRITP(x, T, P, D, ierr, herr);
        return;
    }
    const mix::Present o = mix::present(x);
    double eps = 1e-4;
    for (int attempt = 1; attempt <= 4; ++attempt) {
        if (attempt > 1) {
            int jerr = 0;
            std::string jmsg;
            CRITP(x, T, P, D, jerr, jmsg);
            eps *= 10.0;
        }
        P = std::fabs(P);
        double tol = 1e-8, L = 9999.0, C = 9999.0;
        for (int it = 1; it <= 20; ++it) {
            Sample base;
            double B[20][20] = {};
            if (!sample(T, P, x, o, D, base, B, ierr, herr)) return;
            if (it > 1 && std::fabs(L) + std::fabs(C) < tol) return;
            double u[20] = {};
            const double lambda = smallest_eigen(o.m, B, u);
            if (it == 10) tol *= 100.0;
            double G[2] = {}, A[2] = {}, Bp[2] = {};
            for (int k = 0; k < 2; ++k) {
                const double s = k == 0 ? -eps : eps;
                double n[20] = {}, sum = 0.0;
                for (int a = 0; a < o.m; ++a) {
                    const int i = o.c[a];
                    n[i] = std::fabs(x[i] + s * std::sqrt(x[i]) * u[a]);
                    sum += n[i];
                }
                double trial[20] = {};
                for (int i = 0; i < 20; ++i) trial[i] = std::fabs(sum) > 1e-10 ? n[i] / sum : x[i];
                Sample t;
                double Dt = D;
                if (!sample(T, P, trial, o, Dt, t, nullptr, ierr, herr)) return;
                for (int a = 0; a < o.m; ++a) {
                    const int i = o.c[a];
                    const double g = std::log(n[i] / x[i]) + t.lnf[i] - base.lnf[i];
                    const double w = std::sqrt(x[i]) * u[a];
                    G[k] += w * g;
                    A[k] += (base.dt[i] - t.dt[i]) * w;
                    Bp[k] += (base.dp[i] - t.dp[i]) * w;
                }
            }
            const double a = (Bp[1] - Bp[0]) / (4.0 * eps);
            const double b = (A[1] - A[0]) / (4.0 * eps);
            const double c = (Bp[1] + Bp[0]) / (6.0 * eps * eps);
            const double d = (A[1] + A[0]) / (6.0 * eps * eps);
            const double det = a * d - b * c;
            if (std::fabs(det) < 1e-20) {
                ierr = 1;
                herr = "dp, dt -> infinity. Provide better p, t guess values";
                return;
            }
            L = lambda / 2.0;
            C = (G[1] + G[0]) / (6.0 * eps * eps);
            double dT = (c * L - a * C) / det;
            double dP = (b * C - d * L) / det;
            for (int k = 0; k < 25 && (std::fabs(dT) > 2.0 || std::fabs(dP) > 1000.0); ++k) {
                dT /= 10.0;
                dP /= 2.0;
            }
            T -= dT;
            P -= dP;
            if (!(P > 0.0) || !(T > 0.0) || P > 100000.0 || T > 1000.0 || !std::isfinite(T + P))
                break;
        }
    }
    ierr = 1;
    herr = "No convergence. Provide better p, t guess values";
}

}  // namespace lib
