// One trial phase of the tangent-plane stability test, and the ln phi_i,
// K-values and liquid roots the test's starts share.
#include "library/phase/trialphase.h"

#include <cmath>
#include <limits>
#include <string>

#include "library/library.h"
#include "library/models/hmxrecords.h"
#include "library/models/phiderv.h"
#include "library/models/records.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/tpflsh.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

// The ln phi_i below are taken at the pressure P of the test, from the
// fugacities of the state (T, D, w): at a root of P both pressures are the
// same; off it by the roundoff of the root, the state's own pressure would
// move every ln phi_i by the change of ln P, which for a liquid at a low
// pressure is its bulk modulus over P times that of ln D (isopentane +
// water, 10/90, at 282 K and 10 kPa: 2e5 times, a distance of -8e-10 from
// a trial 1e-4 away from the stable feed); the fugacities move by some
// twenty times it.

// ln phi_i from the numerical fugacities, where a mixing rule has no
// composition derivatives.
bool numerical_ln_phi(double T, double P, double D, const double w[20], const Present& o,
                      double lnphi[20]) {
    double f[20] = {};
    FGCTY(T, D, w, f);
    for (int a = 0; a < o.m; ++a) {
        const int i = o.c[a];
        if (!(f[i] > 0.0) || f[i] == kMarker7) return false;
        lnphi[i] = std::log(f[i] / (w[i] * P));
    }
    return true;
}

// Whether two compositions are the same but for the rounding of their
// normalisation (a few units in the last place of each fraction).
bool same_but_rounding(const double a[20], const double b[20]) {
    constexpr double kUlps = 8.0 * std::numeric_limits<double>::epsilon();
    for (int i = 0; i < kMaxComp; ++i)
        if (std::fabs(a[i] - b[i]) > kUlps * std::fabs(b[i])) return false;
    return true;
}

// A rise of the distance in one step beyond this is a climb (far above the
// distances of rounding and of the gas constants' step next to a pure
// component, 1e-5), and the most halvings of the steps of one trial.
constexpr double kClimb = 1e-3;
constexpr int kHalvings = 8;
// A step of a trial shorter than this (largest |ln| of the ratio of its
// fractions) ends it where its distance lies far above its squared
// gradient.
constexpr double kShortStep = 0.1;
// The substitution steps after a Newton step that climbed.
constexpr int kSubstitutionsAfterClimb = 3;
// A first step from a start this far from any stationary point (its
// squared gradient) that lands on the feed is halved.
constexpr double kFarFromStationary = 0.1;
// The largest change of a held component's ln phi over the distance in
// composition (the root of `trivial`) of a trial next to the feed.
constexpr double kHeldNoise = 10.0;
// A trial's root within this share of the feed's own density is of the
// feed's phase.
constexpr double kSameRoot = 0.2;
// A trial drawn into the feed from further out than the rule of the
// twentyfold fall reaches: its squared distance in composition (`trivial`)
// below kDrawnNear and cut by kDrawnCut or more in one step, its distance
// positive and cut as much.  Such a trial goes on to end on the feed (the
// 3-component gas at 150 K, 4 MPa: two more steps of each trial from
// trivial 0.14 and 0.2 on; the 10-component gas at 320 K, 5 MPa, one more
// from 0.1).  Over grids of air, natural gases, humid air, a flue gas and
// carbon dioxide + water (0.5-2 times Tc, 0.02-2 times Pc) no verdict
// changed up to kDrawnNear 30; with a component frozen at T, up to 0.5
// only (humid air and the flue gas below water's triple point: a trial
// that passed by the feed went on to a frozen phase below the plane), so
// the rule is not applied there.
constexpr double kDrawnNear = 1.0;
constexpr double kDrawnCut = 0.1;

// Whether a component of w (its present ones) is frozen at T.
bool frozen_present(double T, const Present& o) {
    for (int a = 0; a < o.m; ++a)
        if (frozen(o.c[a], T)) return true;
    return false;
}

}  // namespace

bool ln_phi(double T, double P, double D, const double w[20], const Present& o, double lnphi[20],
            double M[20][20], bool second) {
    double dadn[20], dnadn[20];
    int jerr = 0;
    std::string jmsg;
    if (!composition_derivatives_exist(w)) return !second && numerical_ln_phi(T, P, D, w, o, lnphi);
    PHIDERV(second ? 2 : 1, T, D, w, dadn, dnadn, jerr, jmsg);
    if (jerr != 0) return !second && numerical_ln_phi(T, P, D, w, o, lnphi);
    // (PHIDERV set the gas constant of w.)
    const double ln_z = std::log(P / (D * GCNST.r * T));
    if (!std::isfinite(ln_z)) return false;
    const PhidrRecord& r = PHIDR;
    for (int a = 0; a < o.m; ++a) {
        const int i = o.c[a];
        lnphi[i] = dnadn[i] - ln_z;
        if (!second) continue;
        for (int b = 0; b < o.m; ++b) M[a][b] = r.ndlnphi_dn[i][o.c[b]];
    }
    return true;
}

bool implied_k(const double z[20], const double d[20], const Present& o, const double lnphi[20],
               bool vapour, double K[20]) {
    for (int a = 0; a < o.m; ++a) {
        const int i = o.c[a];
        const double feed = d[i] - std::log(z[i]);
        K[i] = std::exp(vapour ? feed - lnphi[i] : lnphi[i] - feed);
    }
    return true;
}

// (Water's equation, extrapolated to 197 K, has a root of 225 mol/L whose
// Gibbs energy lies far below any phase's.)
bool fluid_liquid(double T, const double w[20], const Root& r) {
    if (!r.liquid) return false;
    double share = 0.0;
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i)
        if (w[i] > 0.0 && frozen(i, T)) share += w[i];
    return share <= 0.5 && within_densities(w, r.D);
}

bool trial(double T, double P, const double z[20], const double d[20], const Present& o,
           const FeedRoots& feed, bool vapour, double w[20], double& tm, double K[20],
           const bool* held, bool liquid_root, bool* liquid_lower, const KnownStart* known,
           bool* no_gas) {
    double Y[20] = {}, D = 0.0, lnphi[20] = {}, M[20][20] = {};
    const auto free = [&](int i) { return held == nullptr || !held[i]; };
    double held_share = 0.0;
    for (int a = 0; a < o.m; ++a) {
        Y[o.c[a]] = free(o.c[a]) ? w[o.c[a]] : z[o.c[a]];
        if (!free(o.c[a])) held_share += z[o.c[a]];
    }
    const int kph = vapour ? kVapour : kLiquid;
    // The last root of the trial (of its own kind, or the liquid's that
    // stood in for its vapour), and the last liquid root that stood in for
    // a vapour root that was no first crossing: the starts of the next.
    Root kind, stand;
    // Only the first root of the trial may start from the feed's liquid
    // root; the later ones, and the liquid roots that stand in for its
    // vapour, are those of the trial's own roots or the density solver's.
    // (Close to the feed a trial's distance is of the size of its roots'
    // last digits: the vapour trial of isopentane + water at 282 K, 10 kPa
    // tried with its liquid roots, each from the feed's, led back to the
    // feed at a distance of -8e-10.)
    FeedRoots later = feed;
    later.z = nullptr;
    double Dchecked = 0.0, last_trivial = 1e300;
    // The last step's Y and distance: a step that raises the distance is
    // halved (in ln Y) at most kHalvings times.
    double Ylast[20] = {}, tm_last = 1e300, g2_last = 0.0;
    int halvings = 0;
    // ln phi_i of the last point taken; whether the last step was Newton's,
    // and the substitution steps still to take before Newton's again.
    double lnphi_last[20] = {};
    // Whether the rule of a trial drawn into the feed from further out
    // applies: not to a binary, whose trials' ends the test keeps for its
    // trials from halfway, nor where components are held or frozen.
    const bool drawn_rule = o.m != 2 && held == nullptr && !frozen_present(T, o);
    bool stepped_newton = false;
    int substitutions = 0;
    bool first = false, analytic = true;
    // A trial below the plane whose root lies beyond its equations'
    // densities is no phase of them: AGA8's liquid-like roots of nearly pure
    // hexane (15.3 mol/L at 290 K, its limit 9.4) lie 4e8 below the plane of
    // a natural gas at 5 MPa, whose split then never converged.
    const auto below_plane = [&] {
        return within_densities(w, D) && implied_k(z, d, o, lnphi, vapour, K);
    };
    // At a stop of a vapour trial on a positive distance: whether the
    // liquid root of its composition has the lower Gibbs energy (the caller
    // then tries the trial with its liquid roots).
    const auto note_liquid_lower = [&] {
        if (liquid_lower == nullptr || !vapour || kind.liquid || !first || held != nullptr) return;
        double tpc = 0.0;
        for (int a = 0; a < o.m; ++a) tpc += w[o.c[a]] * CCON.tc[o.c[a] + 1];
        if (!(T < tpc) || !root_of(T, P, w, kLiquid, later, stand) || !fluid_liquid(T, w, stand))
            return;
        double a = 0.0, gv = 0.0, gl = 0.0;
        GIBBS(T, D, w, a, gv);
        GIBBS(T, stand.D, w, a, gl);
        *liquid_lower = gl < gv;
    };
    for (int it = 1; it <= 40; ++it) {
        double sum = 0.0;
        for (int a = 0; a < o.m; ++a) sum += Y[o.c[a]];
        if (!(sum > 0.0) || !std::isfinite(sum)) return false;
        for (int a = 0; a < o.m; ++a) w[o.c[a]] = Y[o.c[a]] / sum;
        // (The start's root and ln phi_i, where its composition is that of
        // the known start: the same calls would give the same digits.  The
        // normalisation may have moved its fractions by their last digits:
        // the start's own are taken.)
        const bool from_known = it == 1 && known != nullptr && same_but_rounding(w, known->root.w);
        if (from_known) {
            flash::copy20(known->root.w, w);
            kind = known->root;
        } else if (!root_of(T, P, w, kph, it == 1 ? feed : later, kind))
            return false;
        D = kind.D;
        // (A vapour root within 2 % of the last one that was checked as a
        // first crossing is one too, as is one within 2 % of the feed's
        // vapour root, which stable_root checked.)
        const auto near = [&](double checked) { return std::fabs(D / checked - 1.0) < 0.02; };
        if (vapour && !kind.liquid && feed.vapour > 0.0 && near(feed.vapour)) {
            first = true;
        } else if (vapour && !kind.liquid && !(first && near(Dchecked))) {
            first = first_root(T, P, w, D);
            Dchecked = D;
        }
        const bool stand_in = vapour && !kind.liquid && (!first || liquid_root);
        if (stand_in) {
            // No vapour of this composition (or, asked for, its liquid):
            // the liquid root stands for it.
            if (!root_of(T, P, w, kLiquid, later, stand)) return false;
            if (liquid_root && !fluid_liquid(T, w, stand)) return false;
            D = stand.D;
        }
        if (no_gas != nullptr) *no_gas = vapour && (kind.liquid || stand_in);
        // (Without composition derivatives, successive substitution only.)
        // (After a Newton step that climbed, a few substitution steps.)
        bool newton = analytic && it > 3 && held == nullptr && substitutions == 0;
        if (from_known && D == known->root.D) {
            for (int a = 0; a < o.m; ++a) lnphi[o.c[a]] = known->lnphi[o.c[a]];
        } else if (!ln_phi(T, P, D, w, o, lnphi, M, newton)) {
            if (!newton || !ln_phi(T, P, D, w, o, lnphi, M, false)) return false;
            newton = analytic = false;
        }
        double F[20] = {}, g2 = 0.0, trivial = 0.0;
        tm = 1.0;
        for (int a = 0; a < o.m; ++a) {
            const int i = o.c[a];
            F[a] = free(i) ? std::log(Y[i]) + lnphi[i] - d[i] : 0.0;
            tm += Y[i] * (F[a] - 1.0);
            g2 += Y[i] * F[a] * F[a];
            const double r = std::log(w[i] / z[i]);
            if (free(i)) trivial += r * r;
        }
        // A step that climbed (far from ideal mixtures: the trial of nearly
        // pure methanol in hydrogen chloride at 288 K, 57 kPa went from 0.49
        // to a stationary point at 1.15, past the liquid of -1.0 between).
        if (tm > tm_last + kClimb && halvings < kHalvings) {
            ++halvings;
            // A Newton step that climbed: the substitution step from the
            // last point instead.  Where the distance is far from convex
            // the halved steps led back to that point and Newton's climbed
            // again (hexane + water, 90 % water, at 531 K, 9.7 MPa: back
            // and forth at +0.046 from a gas of nearly pure hexane, its
            // liquid of 38 % hexane below the plane).
            if (stepped_newton) {
                stepped_newton = false;
                substitutions = kSubstitutionsAfterClimb;
                for (int a = 0; a < o.m; ++a) {
                    const int i = o.c[a];
                    if (free(i)) Y[i] = std::exp(d[i] - lnphi_last[i]);
                }
                continue;
            }
            for (int a = 0; a < o.m; ++a) {
                const int i = o.c[a];
                if (free(i)) Y[i] = std::sqrt(Y[i] * Ylast[i]);
            }
            continue;
        }
        const double tm_before = tm_last;
        tm_last = tm;
        const double g2_start = g2_last;
        g2_last = g2;
        for (int a = 0; a < o.m; ++a) lnphi_last[o.c[a]] = lnphi[o.c[a]];
        double Ystart[20] = {};
        for (int a = 0; a < o.m; ++a) {
            Ystart[o.c[a]] = Ylast[o.c[a]];
            Ylast[o.c[a]] = Y[o.c[a]];
        }
        // The trial has become the feed: close to it with a positive
        // distance, on it, or drawn into it (the distance to the feed falls
        // twentyfold in one step: the feed is a stable point and the trial
        // well inside its reach).  Close to it in composition only, with a
        // root of another density, it has not: the incipient liquid of a
        // vapour a little inside its dew line (meta-xylene + nonane, 90/10,
        // at 475.6 K: 0.9 % of nonane apart, 6.2 mol/L beside 0.12, at a
        // distance of -6e-7, where a step on the way lay at +2e-6).
        const bool feed_root = !(feed.stable > 0.0) || std::fabs(D / feed.stable - 1.0) < kSameRoot;
        // With components held the distance leaves out their terms, which
        // change with the trial's composition to first order: some share
        // of theirs times the distance in composition (the 0.04 % of
        // carbon dioxide held in air at 100 K, 328 MPa: -9.6e-9 at a
        // trial 4e-7 from the feed, where the feed is stable).
        const double held_noise = kHeldNoise * held_share * std::sqrt(trivial);
        const bool on_feed =
            trivial < 1e-8 ||
            (feed_root && trivial < 1e-4 && (tm > 1e-6 || (held != nullptr && tm > -held_noise)));
        // Unless the first step of a gas's liquid trial leapt there from a
        // start far from any stationary point: half the step (hydrogen
        // chloride + methanol, 90/10: at 480 K, 10.6 MPa from Wilson's
        // liquid of 41 % hydrogen chloride, at +0.32, onto the feed, past
        // the liquid of 61 % at -0.035; at 448.36 K, 5 MPa from 67 % right
        // onto it, past the liquid of 46 % at -0.059).
        const bool gas_feed = !(feed.liquid > 0.0 && feed.stable == feed.liquid);
        const bool leapt = !vapour && gas_feed && it == 2 && g2_start > kFarFromStationary;
        if (drawn_rule && !leapt && feed_root && it > 1 && tm > 0.0 && trivial < kDrawnNear &&
            trivial < kDrawnCut * last_trivial && tm < kDrawnCut * tm_before)
            return false;
        if (on_feed ||
            (feed_root && it > 1 && trivial < 1e-2 && tm > 0.0 && trivial < 0.05 * last_trivial)) {
            // (The half step is no climb from the feed's distance.)
            if (!leapt) return false;
            tm_last = 1e300;
            for (int a = 0; a < o.m; ++a) {
                const int i = o.c[a];
                if (free(i)) Y[i] = Ylast[i] = std::sqrt(Y[i] * Ystart[i]);
            }
            continue;
        }
        last_trivial = trivial;
        if (tm < -1e-10 && it > 1) return below_plane();
        // A stationary point: of positive distance (some way above zero no
        // further digits are needed) or negative.
        if (g2 < 1e-20 || (g2 < 1e-10 && tm > 1e-3) || (g2 < 1e-6 && tm > 1e-2)) {
            if (tm < -1e-10) return below_plane();
            note_liquid_lower();
            return false;
        }
        // Close to a stationary point far above zero: the distance falls by
        // about half the squared gradient on the way there, and stays
        // positive (a liquid trial of a 3-component gas at 250 K, 2 MPa
        // spent six more steps on tm 0.5234 from 0.5280).  Not at the
        // start itself, which may lie far from any stationary point
        // (Wilson's liquid of hydrogen chloride + methanol at 298.6 K,
        // 13 kPa, nearly pure methanol at 0.32 with a squared gradient of
        // 0.029, where the liquid of 16 % hydrogen chloride lies below the
        // plane; 1-butene + acetone, 10 % 1-butene, at 136 K: a second
        // liquid 220 J/mol lower).  Nor, for a liquid trial of a liquid,
        // right after a long step, which shows the trial still on its way
        // (the liquid trial from nearly pure R14 beside toluene at 298.9 K,
        // 12.9 MPa: from 99 % to 96 % R14, its toluene fourfold, at 0.085
        // with a squared gradient of 0.008, on its way to a liquid of 50 %
        // R14 below the plane).
        double step = 0.0, sum_start = 0.0;
        for (int a = 0; a < o.m; ++a) sum_start += Ystart[o.c[a]];
        for (int a = 0; a < o.m; ++a) {
            const int i = o.c[a];
            if (free(i) && Ystart[i] > 0.0)
                step = std::max(step, std::fabs(std::log(Y[i] / Ystart[i] * sum_start / sum)));
        }
        const bool liquid_of_liquid = !vapour && feed.liquid > 0.0 && feed.stable == feed.liquid;
        if (it > 1 && tm > 1e-2 && tm > 10.0 * g2 && (!liquid_of_liquid || step < kShortStep)) {
            note_liquid_lower();
            return false;
        }
        stepped_newton = newton;
        if (!newton) {
            if (substitutions > 0) --substitutions;
            for (int a = 0; a < o.m; ++a) {
                const int i = o.c[a];
                if (free(i)) Y[i] = std::exp(d[i] - lnphi[i]);
            }
            continue;
        }
        // Newton's step in alpha = 2 sqrt(Y).
        const int n = o.m;
        double H[400] = {}, g[20] = {};
        for (int a = 0; a < n; ++a) {
            const double ya = Y[o.c[a]];
            g[a] = -std::sqrt(ya) * F[a];
            for (int b = 0; b < n; ++b) {
                const double yb = Y[o.c[b]];
                H[a + b * n] =
                    std::sqrt(ya * yb) * M[a][b] / sum + (a == b ? 1.0 + 0.5 * F[a] : 0.0);
            }
        }
        int jerr = 0;
        std::string jmsg;
        LUDECOMP(n, n, H, g, jerr, jmsg);
        if (jerr != 0) return false;
        for (int a = 0; a < n; ++a) {
            const int i = o.c[a];
            double alpha = 2.0 * std::sqrt(Y[i]) + g[a];
            if (!(alpha > 0.0)) alpha = std::sqrt(Y[i]);  // halfway to zero
            Y[i] = 0.25 * alpha * alpha;
        }
    }
    return tm < -1e-10 && below_plane();
}

}  // namespace lib::mix
