// The equilibrium of the rest of a feed beside a frozen trace carried in
// both phases.  The trace components sit in each phase at their feed
// fractions, so the balance of the feed holds for them whatever the vapour
// fraction; their own fugacities are not matched (in reality they would
// deposit as a solid: no fluid phase is in equilibrium with them).  The
// others, present in both phases with the trace, must be at equal
// fugacities there: the trace changes their fugacities by some 1e-4 (the
// 0.04 % of carbon dioxide in air), so the split of the rest without it is
// only a start.  Newton's method (tracenewton.h) goes on from it: next to
// the critical point the trace moves the split far (Dry ISO Air at
// 132.25 K, 3750 kPa: from a vapour fraction of 0.51 to 0.61).  Successive
// substitution on the rest's equilibrium ratios, the dominant eigenvalue's
// extrapolation speeding it, is the second road (next to a dew line, where
// the liquid's amounts are the feed's less the vapour's to their last
// digits, Newton's method on the vapour's amounts may stop short: Natural
// Gas Groningen at 130 K, 3 kPa, a liquid of 0.24 %).
#include "library/phase/tpfl2trace.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/tracenewton.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

int components() { return std::min(NCOMP.nc, kMaxComp); }

constexpr int kPasses = 200;          // substitutions at most
constexpr double kSettled = 1e-12;    // largest |ln(fl / fv)| of the rest
constexpr int kExtrapolateEvery = 5;  // passes between extrapolations
// Phases closer than this (relative density, and fraction of each
// component) are the feed twice.
constexpr double kDistinctDensity = 1e-6;
constexpr double kDistinctFraction = 1e-7;

// The rest of the split: its components, its feed (normalised without the
// trace) and the logarithms of their equilibrium ratios y / x.
struct Rest {
    bool in[20] = {};
    double z[20] = {};
    double lnK[20] = {};
};

// The vapour fraction at which the rest of ratios K adds up on both sides
// (Rachford and Rice): false where it lies outside (0, 1).
bool vapour_fraction(const Rest& r, double& q) {
    const auto g = [&](double v) {
        double s = 0.0;
        for (int i = 0; i < components(); ++i) {
            if (!r.in[i]) continue;
            const double k1 = std::exp(r.lnK[i]) - 1.0;
            s += r.z[i] * k1 / (1.0 + v * k1);
        }
        return s;
    };
    double lo = 0.0, hi = 1.0;
    if (!(g(lo) > 0.0) || !(g(hi) < 0.0)) return false;
    for (int k = 0; k < 200 && hi - lo > 1e-15; ++k) {
        const double mid = 0.5 * (lo + hi);
        (g(mid) > 0.0 ? lo : hi) = mid;
    }
    q = 0.5 * (lo + hi);
    return q > 0.0 && q < 1.0;
}

// The phases of the rest at vapour fraction q, each with the trace at the
// feed's fractions.
void phases(const Rest& r, const FrozenTrace& t, const double z[20], double q, double x[20],
            double y[20]) {
    for (int i = 0; i < components(); ++i) {
        if (t.held[i]) {
            x[i] = y[i] = z[i];
        } else if (r.in[i]) {
            const double K = std::exp(r.lnK[i]);
            const double xr = r.z[i] / (1.0 + q * (K - 1.0));
            x[i] = (1.0 - t.share) * xr;
            y[i] = (1.0 - t.share) * K * xr;
        } else {
            x[i] = y[i] = 0.0;
        }
    }
}

// The densities of the phases at (T, P) and the logarithms of the rest's
// fugacity ratios there; false where a density or a fugacity is missing.
bool fugacity_gaps(double T, double P, const Rest& r, const double x[20], const double y[20],
                   double& Dl, double& Dv, double gap[20]) {
    flash::QuietMessages quiet;
    int jerr = 0;
    std::string jmsg;
    TPRHO(T, P, x, kLiquid, Dl > 0.0 ? kStartValue : kNoStartValue, Dl, jerr, jmsg);
    if (jerr > 0 || !(Dl > 0.0)) return false;
    TPRHO(T, P, y, kVapour, Dv > 0.0 ? kStartValue : kNoStartValue, Dv, jerr, jmsg);
    if (jerr > 0 || !(Dv > 0.0)) return false;
    double fl[20] = {}, fv[20] = {};
    FGCTY2(T, Dl, x, fl, jerr, jmsg);
    if (jerr > 0) return false;
    FGCTY2(T, Dv, y, fv, jerr, jmsg);
    if (jerr > 0) return false;
    for (int i = 0; i < components(); ++i) {
        gap[i] = 0.0;
        if (!r.in[i]) continue;
        if (!(fl[i] > 0.0 && fv[i] > 0.0)) return false;
        gap[i] = std::log(fl[i] / fv[i]);
        if (!std::isfinite(gap[i])) return false;
    }
    return true;
}

double largest(const Rest& r, const double gap[20]) {
    double m = 0.0;
    for (int i = 0; i < components(); ++i)
        if (r.in[i]) m = std::max(m, std::fabs(gap[i]));
    return m;
}

// The rest of the split x, y: false where a component of it is missing in
// a phase.
bool rest_of(const FrozenTrace& t, const double z[20], const double x[20], const double y[20],
             Rest& r) {
    for (int i = 0; i < components(); ++i) {
        if (t.held[i] || !(z[i] > 0.0)) continue;
        if (!(x[i] > 0.0 && y[i] > 0.0)) return false;
        r.in[i] = true;
        r.z[i] = t.rest[i];
        r.lnK[i] = std::log(y[i] / x[i]);
    }
    return true;
}

// Successive substitution from the split given.
bool substitute_beside_trace(double T, double P, const double z[20], const FrozenTrace& t,
                             double& Dl, double& Dv, double x[20], double y[20], double& q) {
    Rest r;
    if (!t.any || !rest_of(t, z, x, y, r)) return false;
    double dl = Dl, dv = Dv, qq = q, l[20] = {}, v[20] = {}, gap[20] = {}, last = 0.0;
    for (int pass = 0; pass < kPasses; ++pass) {
        if (!vapour_fraction(r, qq)) return false;
        phases(r, t, z, qq, l, v);
        if (!fugacity_gaps(T, P, r, l, v, dl, dv, gap)) return false;
        const double now = largest(r, gap);
        if (now < kSettled) {
            Dl = dl;
            Dv = dv;
            q = qq;
            flash::copy20(l, x);
            flash::copy20(v, y);
            return true;
        }
        // A contraction of ratio lambda: its sum of steps is 1 / (1 - lambda).
        double stretch = 1.0;
        const double lambda = last > 0.0 ? now / last : 0.0;
        if (pass % kExtrapolateEvery == kExtrapolateEvery - 1 && lambda > 0.0 && lambda < 0.95)
            stretch = 1.0 / (1.0 - lambda);
        for (int i = 0; i < components(); ++i)
            if (r.in[i]) r.lnK[i] += stretch * gap[i];
        last = now;
    }
    return false;
}

// Whether phases l of density Dl and v of Dv are two (next to the critical
// point the substitution may run onto the feed twice).
bool distinct(double Dl, double Dv, const double l[20], const double v[20]) {
    if (std::fabs(Dl - Dv) > kDistinctDensity * std::max(Dl, Dv)) return true;
    for (int i = 0; i < components(); ++i)
        if (std::fabs(l[i] - v[i]) > kDistinctFraction) return true;
    return false;
}

}  // namespace

bool settle_beside_trace(double T, double P, const double z[20], const FrozenTrace& t, double& Dl,
                         double& Dv, double x[20], double y[20], double& q) {
    if (!t.any) return false;
    if (newton_beside_trace(T, P, z, t, Dl, Dv, x, y, q)) return true;
    double dl = Dl, dv = Dv, qq = q, l[20], v[20];
    flash::copy20(x, l);
    flash::copy20(y, v);
    if (!substitute_beside_trace(T, P, z, t, dl, dv, l, v, qq) || !distinct(dl, dv, l, v))
        return false;
    Dl = dl;
    Dv = dv;
    q = qq;
    flash::copy20(l, x);
    flash::copy20(v, y);
    return true;
}

}  // namespace lib::mix
