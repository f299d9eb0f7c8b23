// Newton's method in (T, D) at given pressure (see pbnewton.h).
#include "library/phase/pbnewton.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/setup/records.h"

namespace lib {
namespace {

// Passes of the iteration, and its end: steps below this share of T and D.
constexpr int kPasses = 60;
constexpr double kStepEnd = 1e-12;
// The largest step: a tenth of T, half of D.
constexpr double kMaxTStep = 0.1;
constexpr double kMaxDStep = 0.5;

// Whether (T, D) of a pure fluid below its critical temperature lies inside
// the two-phase region.
bool inside_dome(double T, double D, const double z[20]) {
    const int ic = ISPURE(z);
    if (ic <= 0 || !(T < CCON.tc[ic])) return false;
    double P = 0, Dl = 0, Dv = 0, x[20], y[20];
    int ierr = 0;
    std::string herr;
    SATT(T, z, 1, P, Dl, Dv, x, y, ierr, herr);
    return ierr <= 0 && D < Dl * (1.0 - 1e-9) && D > Dv * (1.0 + 1e-9);
}

}  // namespace

bool pb_newton(double P, char letter, double b, const double z[20], double& T, double& D) {
    double t = T, d = D;
    bool done = false;
    for (int pass = 0; pass < kPasses && !done; ++pass) {
        double p = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0, hjt = 0, dpdt = 0, dpdd = 0;
        THERM(t, d, z, p, e, h, s, cv, cp, w, hjt);
        DPDT(t, d, z, dpdt);
        DPDD(t, d, z, dpdd);
        // The value's derivatives in T (constant D) and D (constant T).
        double v = h, vT = cv + dpdt / d, vD = (d * dpdd - t * dpdt) / (d * d);
        if (letter == 'S') {
            v = s;
            vT = cv / t;
            vD = -dpdt / (d * d);
        } else if (letter == 'E') {
            v = e;
            vT = cv;
            vD = (p - t * dpdt) / (d * d);
        }
        const double r1 = p - P, r2 = v - b;
        const double det = dpdt * vD - dpdd * vT;
        if (!(std::fabs(det) > 0.0) || !std::isfinite(det)) return false;
        double dT = -(r1 * vD - dpdd * r2) / det;
        double dD = -(dpdt * r2 - vT * r1) / det;
        const double k = std::min({1.0, kMaxTStep * t / std::max(std::fabs(dT), 1e-300),
                                   kMaxDStep * d / std::max(std::fabs(dD), 1e-300)});
        t += k * dT;
        d += k * dD;
        if (!(t > 0.0 && d > 0.0) || !std::isfinite(t) || !std::isfinite(d)) return false;
        done = k == 1.0 && std::fabs(dT) <= kStepEnd * t && std::fabs(dD) <= kStepEnd * d;
    }
    double dpdd = 0;
    DPDD(t, d, z, dpdd);
    if (!done || dpdd < 0.0 || inside_dome(t, d, z)) return false;
    T = t;
    D = d;
    return true;
}

}  // namespace lib
