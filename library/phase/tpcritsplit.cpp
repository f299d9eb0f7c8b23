// The split next to a mixture's critical point (see tpcritsplit.h).
#include "library/phase/tpcritsplit.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/liquidpair.h"
#include "library/phase/splitmarch.h"
#include "library/phase/tpflsh.h"
#include "library/phase/tpsplitstart.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

int components() { return std::min(NCOMP.nc, kMaxComp); }

// The split where every trial fell back onto the feed next to its critical
// point: Newton's method from phases between the dew and bubble points at T
// (R404A at its critical temperature, 3734.82 kPa, between the dew point
// at 3734.59 and the bubble point at 3734.96 kPa: the test found no trial,
// and the split at q 0.75 lies 1.1e-10 R T below the feed).  Taken only as
// an equilibrium of two distinct phases whose Gibbs energy lies below the
// feed's (of density D) by more than rounding.
constexpr double kSplitBelowFeed = 1e-12;
// The largest relative difference of the phases' fugacities of a converged
// split (split_is_equilibrium also takes the looser ends of the
// substitution).
constexpr double kConvergedFugacities = 1e-9;

bool converged_split(double T, const TpResult& n) {
    double fl[20] = {}, fv[20] = {};
    int jerr = 0;
    std::string jmsg;
    FGCTY2(T, n.Dl, n.x, fl, jerr, jmsg);
    if (jerr <= 0) FGCTY2(T, n.Dv, n.y, fv, jerr, jmsg);
    if (jerr > 0) return false;
    for (int i = 0; i < components(); ++i) {
        if (!(n.x[i] > 0.0) && !(n.y[i] > 0.0)) continue;
        const double big = std::max(std::fabs(fl[i]), std::fabs(fv[i]));
        if (!(std::fabs(fl[i] - fv[i]) <= kConvergedFugacities * big)) return false;
    }
    return true;
}

// A split of two distinct phases at equal fugacities (converged_split).
bool distinct_converged(double T, const double z[20], int jerr, const TpResult& n) {
    return split_found(T, z, jerr, n.q, n.Dl, n.Dv, n.x, n.y) &&
           std::fabs(n.Dl - n.Dv) >= 1e-6 * std::max(n.Dl, n.Dv) && converged_split(T, n);
}

// TPFL2's split at (T, P) from the start between the saturation points.
// `started` tells whether P lies between the saturation points (the start
// was made).
bool split_from_saturation_start(double T, double P, const double z[20], TpResult& n,
                                 bool* started = nullptr) {
    {
        flash::QuietMessages quiet;
        if (!saturation_start(T, P, z, n, true)) return false;
    }
    if (started != nullptr) *started = true;
    int jerr = 0;
    std::string jmsg;
    TPFL2(T, P, z, n.Dl, n.Dv, n.x, n.y, n.q, jerr, jmsg);
    return distinct_converged(T, z, jerr, n);
}

// Whether TPFL2's last phases n, where it did not converge, promise a split:
// both present and distinct, their Gibbs energy below the feed's g_feed.
bool promising(double T, const TpResult& n, double g_feed) {
    double g = 0.0;
    return n.q > 0.0 && n.q < 1.0 && std::fabs(n.Dl - n.Dv) >= 1e-6 * std::max(n.Dl, n.Dv) &&
           split_gibbs(T, n, g) && g < g_feed;
}

// Where TPFL2 does not converge at P (R404A at its critical temperature,
// 3734.87 kPa, three quarters of the way from its dew point at 3734.59 to
// its bubble point at 3734.96 kPa: the split at q 0.62 lies 9.5e-12 R T
// below the feed), the split TPFL2 finds nearer the dew point, carried to
// P by Newton's method.
constexpr double kNearerDewPoint[] = {0.5, 0.25};

bool split_from_dew_side(double T, double P, const double z[20], TpResult& n) {
    double pd = 0, dl = 0, dv = 0, xl[20], xv[20];
    int jerr = 0;
    std::string jmsg;
    {
        flash::QuietMessages quiet;
        SATT(T, z, kDewPoint, pd, dl, dv, xl, xv, jerr, jmsg);
    }
    if (jerr > 0 || !(pd > 0.0 && pd < P)) return false;
    for (const double share : kNearerDewPoint) {
        const double ps = pd + share * (P - pd);
        TpResult m;
        if (split_from_saturation_start(T, ps, z, m) && split_marched_to(T, ps, P, z, m) &&
            converged_split(T, m)) {
            n = m;
            return true;
        }
    }
    return false;
}

}  // namespace

bool split_between_saturation_points(double T, double P, const double z[20], double D,
                                     TpResult& r) {
    TpResult feed;
    feed.Dl = feed.Dv = D;
    flash::copy20(z, feed.x);
    flash::copy20(z, feed.y);
    double g_feed = 0.0;
    if (!split_gibbs(T, feed, g_feed)) return false;
    TpResult n;
    bool started = false;
    if (!split_from_saturation_start(T, P, z, n, &started) &&
        !(started && promising(T, n, g_feed) && split_from_dew_side(T, P, z, n)))
        return false;
    double g_split = 0.0;
    if (!split_gibbs(T, n, g_split) || !(g_split < g_feed - kSplitBelowFeed)) return false;
    n.exact = false;
    r = n;
    return true;
}

}  // namespace lib::mix
