// A third phase between the two phases of a split, and the pair of lower
// Gibbs energy it makes with one of them.
#include "library/phase/middlephase.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/stability.h"
#include "library/phase/trialphase.h"
#include "library/setup/records.h"

namespace lib {
namespace {

int components() { return std::min(NCOMP.nc, kMaxComp); }

// Where the trials start, as the share of the way from the split's liquid
// to its other phase: next to that phase, where the valley of a phase
// close to its critical point with it lies (argon + R22, half and half, at
// 155.03 K, 5.4 MPa: a liquid of 97 % argon beside the vapour of 99.7 %,
// reached from 0.8 of the way on; pentane + R116: from 0.67 and 0.9; from
// halfway its trial ended on the ridge between, at +0.018).
constexpr double kStarts[] = {0.9, 2.0 / 3.0};

// Where those find nothing, the line between the phases is scanned for a
// composition below their plane, from which a trial then runs: a deep
// valley far from both phases (methyl palmitate + propane, 80 % ester, at
// 437.7 K, 7.88 MPa: a split of nearly pure propane, 4.1 mol/L, beside the
// ester's liquid, where a dense phase of 27 % ester, 5.8 mol/L, lies
// 190 J/mol below their plane a quarter of the way across, and its pair
// with the ester's liquid 51 J/mol lower than the split; the starts above
// lie 200 and 270 J/mol above the plane; at 380 K, 4.58 MPa, 70 % ester,
// the valley lies at 13 % ester, a sixth of the way, and halfway no start
// lies below the plane).  A start below the plane proves the split
// unstable, so only then is a trial made.  (The three starts cost some
// 8 % of a two-phase flash: a root and ln phi each.)
constexpr double kScan[] = {1.0 / 6.0, 1.0 / 3.0, 0.5};

// The distance below which a trial's phase is a third phase (a trial that
// ends on a phase of the split stops within 1e-9 of zero).
constexpr double kBelowPlane = -1e-7;

// The distance of a start's liquid above which no trial is made from it:
// the valleys of the phases found lie within some 0.01 of the plane (the
// starts of pentane + R116 at +0.0015 and +0.0075, of argon + R22 at
// +0.0034), where four fifths of the starts of other splits lie higher
// (over the grids of binaries and predefined mixtures), each trial costing
// some 400 evaluations of the equation.
constexpr double kNearPlane = 0.05;

// Largest |ln| of the ratio of two compositions of one phase.
constexpr double kSamePhase = 1e-3;

// Differences of G / (R T) below this are rounding (the same split).
constexpr double kGibbsRounding = 1e-10;

// Whether compositions a and b are of different phases.
bool apart(const double a[20], const double b[20]) {
    for (int i = 0; i < components(); ++i) {
        if (!(a[i] > 0.0) && !(b[i] > 0.0)) continue;
        if (!(a[i] > 0.0 && b[i] > 0.0) || std::fabs(std::log(a[i] / b[i])) > kSamePhase)
            return true;
    }
    return false;
}

// The tangent plane of the split's liquid: its present components and
// d_i = ln x_i + ln phi_i (one for every start).
struct Plane {
    mix::Present o;
    double d[20] = {};
};
bool liquid_plane(double T, double P, const TpResult& r, Plane& p) {
    p.o = mix::present(r.x);
    double lnphi[20] = {}, M[20][20];
    if (p.o.m < 2 || !mix::ln_phi(T, P, r.Dl, r.x, p.o, lnphi, M, false)) return false;
    for (int a = 0; a < p.o.m; ++a) p.d[p.o.c[a]] = std::log(r.x[p.o.c[a]]) + lnphi[p.o.c[a]];
    return true;
}

// The start of a trial the share t of the way between the phases of r (in
// w) and its distance from the plane of the liquid, from its liquid root
// (found from the split's liquid density): false where that is not found.
bool middle_start(double T, double P, const TpResult& r, const Plane& plane, double t, double w[20],
                  double& tm) {
    const mix::Present& o = plane.o;
    const double* d = plane.d;
    double M[20][20], sum = 0.0;
    for (int i = 0; i < 20; ++i) {
        w[i] = r.x[i] > 0.0 ? (1.0 - t) * r.x[i] + t * r.y[i] : 0.0;
        sum += w[i];
    }
    if (!(sum > 0.0)) return false;
    for (int i = 0; i < 20; ++i) w[i] /= sum;
    double Dw = r.Dl, lnphi_w[20] = {};
    int jerr = 0;
    std::string jmsg;
    TPRHO(T, P, w, kLiquid, kStartValue, Dw, jerr, jmsg);
    if (jerr > 0 || !mix::ln_phi(T, P, Dw, w, o, lnphi_w, M, false)) return false;
    tm = 0.0;
    for (int a = 0; a < o.m; ++a) {
        const int i = o.c[a];
        if (w[i] > 0.0) tm += w[i] * (std::log(w[i]) + lnphi_w[i] - d[i]);
    }
    return std::isfinite(tm);
}

// The trial of a liquid from the share t of the way between the phases of
// r, tested against the plane of its liquid, where its start lies below
// `nearer` (far above the plane no trial from it): true when it ends below
// the plane on a composition (in w) apart from both phases.
bool middle_trial(double T, double P, const TpResult& r, const Plane& plane, double t,
                  double nearer, double w[20]) {
    double tm = 0.0;
    if (!middle_start(T, P, r, plane, t, w, tm) || !(tm < nearer)) return false;
    const mix::Present& o = plane.o;
    const double* d = plane.d;
    mix::FeedRoots feed;
    feed.liquid = r.Dl;
    feed.stable = r.Dl;
    double K[20] = {};
    return mix::trial(T, P, r.x, d, o, feed, false, w, tm, K) && tm < kBelowPlane &&
           apart(w, r.x) && apart(w, r.y);
}

// The split of feed z into the phase w and the phase c (density Dc, a
// liquid where `liquid`), started from their K-values: false where the
// feed does not lie between them or no equilibrium of two phases is found.
bool pair_with(double T, double P, const double z[20], const double w[20], const double c[20],
               double Dc, bool liquid, const SplitFrom& split_from, TpResult& n) {
    mix::Stability st;
    double Dw = 0.0;
    if (!mix::stable_root(T, P, w, Dw, st.liquid_like)) return false;
    for (int i = 0; i < components(); ++i) st.K[i] = w[i] > 0.0 && c[i] > 0.0 ? w[i] / c[i] : 0.0;
    double x[20], y[20];
    const double beta = rachford_rice(z, st.K, x, y);
    if (!(beta > 0.0 && beta < 1.0)) return false;
    st.found = true;
    st.stable = false;
    st.two_liquids = st.liquid_like && liquid;
    st.vapour_trial = !st.liquid_like;
    st.liquid_like = true;
    st.D = Dc;
    flash::copy20(w, st.w);
    return split_from(st, n) && n.q > 0.0 && n.q < 1.0;
}

}  // namespace

bool prefer_middle_phase(double T, double P, const double z[20], TpResult& r,
                         const SplitFrom& split_from) {
    double g_r = 0.0;
    if (!mix::liquids_modelled() || !(r.q > 0.0 && r.q < 1.0) || !(r.Dl > 0.0) || !(r.Dv > 0.0) ||
        mix::any_frozen(T, r.x) || mix::any_frozen(T, r.y) || !split_gibbs(T, r, g_r))
        return false;
    Plane plane;
    {
        flash::QuietMessages quiet;
        if (!liquid_plane(T, P, r, plane)) return false;
    }
    constexpr int kStartCount = sizeof kStarts / sizeof kStarts[0];
    constexpr int kScanCount = sizeof kScan / sizeof kScan[0];
    for (int k = 0; k < kStartCount + kScanCount; ++k) {
        const bool scan = k >= kStartCount;
        const double t = scan ? kScan[k - kStartCount] : kStarts[k];
        double w[20] = {};
        bool below = false;
        {
            flash::QuietMessages quiet;
            below = middle_trial(T, P, r, plane, t, scan ? kBelowPlane : kNearPlane, w);
        }
        if (!below) continue;
        // The phase beside either phase of r: the pair of lowest Gibbs energy.
        TpResult best;
        double g_best = g_r - kGibbsRounding;
        bool lower = false;
        for (int side = 0; side < 2; ++side) {
            TpResult n;
            double g = 0.0;
            const bool found = side == 0
                                   ? pair_with(T, P, z, w, r.x, r.Dl, true, split_from, n)
                                   : pair_with(T, P, z, w, r.y, r.Dv, r.two_liquids, split_from, n);
            if (found && split_gibbs(T, n, g) && g < g_best) {
                best = n;
                g_best = g;
                lower = true;
            }
        }
        if (lower) {
            r = best;
            return true;
        }
    }
    return false;
}

}  // namespace lib
