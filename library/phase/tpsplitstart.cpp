// The start of a split from the saturation points and the test of a split
// found (see tpsplitstart.h).
#include "library/phase/tpsplitstart.h"

#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/mixflash.h"
#include "library/phase/tpflsh.h"

namespace lib::mix {

// The start of the split from the dew and bubble points at T, at the
// vapour fraction where P lies between their pressures; false when either
// point is not found or P lies outside.  With `full_bubble` a bubble point
// that Newton's method misses (next to the critical point) is searched
// for by SATT.
bool saturation_start(double T, double P, const double z[20], TpResult& r, bool full_bubble) {
    double pd = 0, pb = 0, dld = 0, dvd = 0, dlb = 0, dvb = 0, xd[20], yd[20], xb[20], yb[20];
    int e1 = 0, e2 = 0;
    std::string m;
    {
        // (The bubble point by Newton's method alone: where it does not
        // exist, the other roads spend many milliseconds before they fail.
        // It comes first: where it does not exist or lies below P, no dew
        // point is searched for; SATT's search for that of helium + ethane
        // 90/10 at 92 K costs 20 ms.)
        flash::QuietMessages quiet;
        double tb = T;
        if (!mix::quick_bubble(true, z, tb, pb, dlb, dvb, xb, yb)) e2 = 1;
        if (e2 != 0 && full_bubble) SATT(T, z, kBubblePoint, pb, dlb, dvb, xb, yb, e2, m);
        if (e2 == 0 && P < pb) SATT(T, z, kDewPoint, pd, dld, dvd, xd, yd, e1, m);
    }
    if (e1 != 0 || e2 != 0 || !(pb > pd) || !(P > pd && P < pb)) return false;
    const double q0 = 1.0 - (P - pd) / (pb - pd);
    double sx = 0.0, sy = 0.0;
    for (int i = 0; i < 20; ++i) {
        r.x[i] = z[i] * (1.0 - q0) + xd[i] * q0;
        r.y[i] = z[i] * q0 + yb[i] * (1.0 - q0);
        sx += r.x[i];
        sy += r.y[i];
    }
    for (int i = 0; i < 20; ++i) {
        r.x[i] /= sx;
        r.y[i] /= sy;
    }
    r.Dl = dlb;
    r.Dv = dvd;
    r.q = q0;
    return true;
}

// A split of an unstable feed: not onto one of its phases, and with equal
// fugacities.  Close to a critical point the successive substitution of
// TPFL2 stops at its loosened tolerance while the fugacities still differ
// by 1e-4..1e-2 (co2+nitrogen at 272-274 K, 11.5-12 MPa; the 10-component
// gas at 222.79 K, 8.03 MPa): such a result is no equilibrium, its q lies
// far from its neighbours', and the next start is tried instead.
bool split_found(double T, const double z[20], int jerr, double q, double Dl, double Dv,
                 const double x[20], const double y[20]) {
    return jerr <= 0 && q > 1e-9 && q < 1.0 - 1e-9 && split_is_equilibrium(T, z, q, Dl, Dv, x, y);
}

}  // namespace lib::mix
