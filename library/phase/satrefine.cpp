// Newton's refinement of a mixture's saturation point found by a slower road.
#include "library/phase/satrefine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/sattp.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

// The phases of a saturation point are at equilibrium when the logarithms
// of their fugacities agree to this (Newton's method of SATTP ends below
// 1e-12; the bubble point of propane + butane 70/30 at 3893.73 kPa from the
// Raoult road was 8.98e-7 off, 1.9e-4 K above the true one, and the flash
// at its enthalpy found a two-phase state 1.5e-4 K below it).
constexpr double kEqualFugacity = 1e-10;

// The largest relative move of the free variable the refinement may make:
// far more than a road's last digits, far less than the distance to any
// other saturation point of the feed.
constexpr double kRefineReach = 1e-3;

// A saturation point worked on apart from the caller's values, which take
// it over only when it is accepted.
struct SatPoint {
    double T = 0.0, P = 0.0, Dl = 0.0, Dv = 0.0, xl[20] = {}, xv[20] = {};

    SatPoint(double t, double p, double dl, double dv, const double l[20], const double v[20])
        : T(t), P(p), Dl(dl), Dv(dv) {
        flash::copy20(l, xl);
        flash::copy20(v, xv);
    }
    void store(double& t, double& p, double& dl, double& dv, double l[20], double v[20]) const {
        t = T;
        p = P;
        dl = Dl;
        dv = Dv;
        flash::copy20(xl, l);
        flash::copy20(xv, v);
    }
};

}  // namespace

double fugacity_mismatch(double T, double Dl, double Dv, const double xl[20], const double xv[20],
                         const double z[20]) {
    double fl[20] = {}, fv[20] = {};
    int jerr = 0;
    std::string jmsg;
    FGCTY2(T, Dl, xl, fl, jerr, jmsg);
    if (jerr > 0) return std::numeric_limits<double>::infinity();
    FGCTY2(T, Dv, xv, fv, jerr, jmsg);
    if (jerr > 0) return std::numeric_limits<double>::infinity();
    double worst = 0.0;
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i) {
        if (!(z[i] > 0.0)) continue;
        if (!(fl[i] > 0.0) || !(fv[i] > 0.0)) return std::numeric_limits<double>::infinity();
        worst = std::max(worst, std::fabs(std::log(fl[i] / fv[i])));
    }
    return std::isfinite(worst) ? worst : std::numeric_limits<double>::infinity();
}

namespace {

// Newton's method of SATTP from its estimates (start 0) or the state given
// (start 1).
bool saturation_newton(int k, int start, const double z[20], double& T, double& P, double& Dl,
                       double& Dv, double xl[20], double xv[20]) {
    SatPoint n(T, P, Dl, Dv, xl, xv);
    double D = 0.0, q = 0.0;
    int jerr = 0;
    std::string jmsg;
    {
        // (A failure of its own comes back here, not to the general roads.)
        flash::QuietMessages quiet;
        SwitchGuard own_failure(FLAGS2.spline_status, 1);
        SATTP(n.T, n.P, z, k, start, D, n.Dl, n.Dv, n.xl, n.xv, q, jerr, jmsg);
    }
    if (jerr != 0 || !(n.Dl > n.Dv) || !(n.Dv > 0.0) || !std::isfinite(n.T) || !std::isfinite(n.P))
        return false;
    n.store(T, P, Dl, Dv, xl, xv);
    return true;
}

}  // namespace

bool saturation_newton_from(int k, const double z[20], double& T, double& P, double& Dl, double& Dv,
                            double xl[20], double xv[20]) {
    return saturation_newton(k, 1, z, T, P, Dl, Dv, xl, xv);
}

bool saturation_newton_estimated(int k, const double z[20], double& T, double& P, double& Dl,
                                 double& Dv, double xl[20], double xv[20]) {
    return saturation_newton(k, 0, z, T, P, Dl, Dv, xl, xv);
}

bool refine_saturation(int k, const double z[20], double& T, double& P, double& Dl, double& Dv,
                       double xl[20], double xv[20]) {
    const double before = fugacity_mismatch(T, Dl, Dv, xl, xv, z);
    if (before <= kEqualFugacity) return true;
    // (A point whose frozen trace the road carried at the feed's fraction is
    // no equilibrium of the whole feed: dry air's carbon dioxide at 70 K.)
    if (possible_trace(z).any) return false;
    const bool at_p = k == kBubbleAtP || k == kDewAtP;
    SatPoint n(T, P, Dl, Dv, xl, xv);
    if (!saturation_newton_from(k, z, n.T, n.P, n.Dl, n.Dv, n.xl, n.xv)) return false;
    const double moved = at_p ? std::fabs(n.T / T - 1.0) : std::fabs(n.P / P - 1.0);
    const double after = fugacity_mismatch(n.T, n.Dl, n.Dv, n.xl, n.xv, z);
    if (!(moved <= kRefineReach) || !(after < before)) return false;
    n.store(T, P, Dl, Dv, xl, xv);
    return after <= kEqualFugacity;
}

}  // namespace lib::mix
