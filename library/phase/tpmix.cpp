// The (T, p) flash of a mixture: the tangent-plane test tells a single
// phase (the density root of lower Gibbs energy) from an unstable feed,
// which TPFL2 splits starting from the trial phase of the test.
#include "library/phase/tpmix.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "library/library.h"
#include "library/models/phiderv.h"
#include "library/phase/binarypair.h"
#include "library/phase/criticaltrial.h"
#include "library/phase/critsingle.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/liquidpair.h"
#include "library/phase/middlephase.h"
#include "library/phase/mixflash.h"
#include "library/phase/splitnewton.h"
#include "library/phase/stability.h"
#include "library/phase/tpcritsplit.h"
#include "library/phase/tpflsh.h"
#include "library/phase/tpsplitstart.h"
#include "library/phase/trialroot.h"
#include "library/setup/records.h"

namespace lib {
namespace {

using flash::cut;
using mix::saturation_start;
using mix::split_between_saturation_points;
using mix::split_found;

int components() { return std::min(NCOMP.nc, kMaxComp); }

void single_phase(double T, double P, const double z[20], double Tc, double Pc, double D,
                  bool liquid_like, TpResult& r) {
    r.D = r.Dl = r.Dv = D;
    double p = 0, hjt = 0;
    THERM(T, D, z, p, r.e, r.h, r.s, r.cv, r.cp, r.w, hjt);
    if (P > Pc && T >= Tc)
        r.q = kQualitySupercritical;
    else if (liquid_like && T < Tc)
        r.q = kQualityLiquid;
    else
        r.q = kQualityVapour;
    flash::copy20(z, r.x);
    flash::copy20(z, r.y);
}

// Splits from starts further apart than the trial phase's: its K-values
// raised to the powers 2, 3 and 5.  Close to a critical point the trial
// phase is nearly the incipient one, which with the feed makes a start the
// split iterations do not leave (co2+nitrogen at 11 MPa, 266-271 K).
bool wider_split(double T, double P, const double z[20], const double K[20], TpResult& r, int& jerr,
                 std::string& jmsg) {
    for (double power : {2.0, 3.0, 5.0}) {
        double Km[20] = {}, x[20], y[20];
        for (int i = 0; i < components(); ++i)
            if (K[i] > 0.0) Km[i] = std::pow(K[i], power);
        double q = rachford_rice(z, Km, x, y);
        if (!(q > 0.0 && q < 1.0)) continue;
        double Dl = 0.0, Dv = 0.0;
        int kerr = 0;
        std::string kmsg;
        TPFL2(T, P, z, Dl, Dv, x, y, q, kerr, kmsg);
        if (!split_found(T, z, kerr, q, Dl, Dv, x, y)) continue;
        r.Dl = Dl;
        r.Dv = Dv;
        r.q = q;
        flash::copy20(x, r.x);
        flash::copy20(y, r.y);
        jerr = kerr;
        jmsg = kmsg;
        return true;
    }
    return false;
}

// Start values of the split from the trial phase: the incipient vapour
// of a liquid feed, the incipient liquid of a vapour feed.
void trial_k(const double z[20], const mix::Stability& st, double K[20]) {
    for (int i = 0; i < components(); ++i) {
        if (!(z[i] > 0.0) || !(st.w[i] > 0.0)) continue;
        K[i] = st.K[i] > 0.0 ? st.K[i] : st.vapour_trial ? st.w[i] / z[i] : z[i] / st.w[i];
        // (A trial run to a fraction of 1e-270 has fugacity coefficients
        // of no meaning: the substitution corrects a held K-value.)
        K[i] = std::clamp(K[i], 1e-20, 1e20);
    }
}

// Whether phase c of density D lies above its pseudo-critical density (its
// components' critical molar volumes, mole-fraction weighted).
bool dense_phase(const double c[20], double D) {
    double v = 0.0;
    for (int i = 0; i < components(); ++i)
        if (c[i] > 0.0 && CCON.dc[i + 1] > 0.0) v += c[i] / CCON.dc[i + 1];
    return v > 0.0 && D * v > 1.0;
}

// A split made as two liquids of which a phase lies below its pseudo-critical
// density: vapour and liquid, the denser the liquid (R403A at 357.97 K,
// 4.44 MPa, close to its critical point: phases of 4.7 and 6.5 mol/L, taken
// for two liquids, were split again as such).
TpResult gas_labelled(TpResult r) {
    if (dense_phase(r.x, r.Dl) && dense_phase(r.y, r.Dv)) return r;
    if (r.Dl < r.Dv) flash::swap_phases(r);
    r.two_liquids = false;
    return r;
}

// The largest |ln K| below which a trial lies so close to the feed that the
// split from its K-values may fall back onto the feed: the split then
// starts from those K-values raised to the power that makes it 1.
constexpr double kNearFeed = 0.5;

// Two liquids where the split from the trial failed: a liquid trial off a
// liquid feed that the test did not mark as a second liquid, split as two
// liquids from its K-values (R403B at 180 K, 80.7 kPa: a liquid of 21 %
// propane and 46 % R218 beside one of 78 % R22, where the vapour of the
// trial's K-values has no split); then, from a trial close to the feed
// (R403B at 184.4 K, 1.2 MPa: a distance of -4e-8 and K-values within
// 1.8 % of 1), from its K-values stretched to a largest |ln K| of 1.  Into
// sub where one ends on an equilibrium; r: the start of the split.
bool split_as_liquids(double T, double P, const double z[20], const mix::Stability& st,
                      const double K[20], const TpResult& r, TpResult& sub) {
    const bool liquid_trial = st.liquid_like && !st.vapour_trial && !st.two_liquids;
    if (!st.two_liquids && !liquid_trial) return false;
    TpResult ll = r;
    ll.two_liquids = true;
    ll.Dl = ll.Dv = st.D;
    double Kl[20];
    flash::copy20(K, Kl);
    if (liquid_trial) {
        TpResult n = ll;
        if (split_by_substitution(T, P, z, Kl, n)) {
            sub = gas_labelled(n);
            return true;
        }
    }
    double widest = 0.0;
    for (int i = 0; i < components(); ++i)
        if (z[i] > 0.0 && K[i] > 0.0) widest = std::max(widest, std::fabs(std::log(K[i])));
    if (!(widest > 0.0 && widest < kNearFeed)) return false;
    for (int i = 0; i < components(); ++i) Kl[i] = K[i] > 0.0 ? std::pow(K[i], 1.0 / widest) : K[i];
    if (split_by_substitution(T, P, z, Kl, ll)) {
        sub = gas_labelled(ll);
        return true;
    }
    // Close to the liquids' critical solution point the substitution stops
    // short of the split (R405A at 177.4 K, 81 kPa, 0.1 K below it): Newton's
    // method of TPFL2 from its last pass.
    if (!(ll.q > 0.0 && ll.q < 1.0 && ll.Dl > 0.0 && ll.Dv > 0.0)) return false;
    int kerr = 0;
    std::string kmsg;
    TPFL2(T, P, z, ll.Dl, ll.Dv, ll.x, ll.y, ll.q, kerr, kmsg);
    if (!split_found(T, z, kerr, ll.q, ll.Dl, ll.Dv, ll.x, ll.y)) return false;
    ll.exact = false;
    sub = gas_labelled(ll);
    return true;
}

// The split of an unstable feed from each start in turn until one gives an
// equilibrium; false (with the error of the earlier starts) when none does.
bool split(double T, double P, const double z[20], const mix::Stability& st, TpResult& r, int& jerr,
           std::string& jmsg, bool from_saturation = true) {
    double K[20] = {};
    trial_k(z, st, K);
    double beta = rachford_rice(z, K, r.x, r.y);
    if (!(beta > 0.0 && beta < 1.0)) {
        // The trial phase alone: a little of it beside the feed.
        beta = st.vapour_trial ? 0.01 : 0.99;
        flash::copy20(st.vapour_trial ? z : st.w, r.x);
        flash::copy20(st.vapour_trial ? st.w : z, r.y);
    }
    r.q = beta;
    r.two_liquids = st.two_liquids;
    r.Dl = st.liquid_like ? st.D : 0.0;
    r.Dv = st.liquid_like && !st.two_liquids ? 0.0 : st.D;
    jerr = 0;
    jmsg.clear();
    // Successive substitution first (not of a frozen trace, which the split
    // routine carries); where it does not end on the equilibrium, Newton's
    // method of TPFL2 from where it got to.
    TpResult sub = r;
    double Ks[20];
    flash::copy20(K, Ks);
    if (!mix::frozen_trace(T, z).any) {
        if (split_by_substitution(T, P, z, Ks, sub) || split_as_liquids(T, P, z, st, K, r, sub)) {
            r = sub;
            return true;
        }
        if (sub.q > 0.0 && sub.q < 1.0 && sub.Dl > 0.0 && sub.Dv > 0.0) r = sub;
        // Without Newton's method to go on from there: once more from the
        // phases between the dew and the bubble point at T (ammonia + water
        // 90/10 at 280 K, 100-210 kPa, from numerical fugacities: the
        // trial's K-values left no split).
        TpResult sat = r;
        if (!composition_derivatives_exist(z) && saturation_start(T, P, z, sat)) {
            for (int i = 0; i < 20; ++i)
                Ks[i] = sat.x[i] > 0.0 && sat.y[i] > 0.0 ? sat.y[i] / sat.x[i] : K[i];
            if (split_by_substitution(T, P, z, Ks, sat)) {
                r = sat;
                return true;
            }
        }
    }
    r.exact = false;  // the roads below end at their own tolerances
    TPFL2(T, P, z, r.Dl, r.Dv, r.x, r.y, r.q, jerr, jmsg);
    if (jerr <= 0 && !split_found(T, z, jerr, r.q, r.Dl, r.Dv, r.x, r.y)) {
        // A split onto one of its phases is no split of an unstable feed.
        const bool on_feed = !(r.q > 1e-9 && r.q < 1.0 - 1e-9);
        jerr = 219;
        jmsg = on_feed ? errtext("TPFLSH", 219,
                                 "outer iteration loop for composition in 2-phase state did not "
                                 "converge:  vapor fraction outside 0..1")
                       : unequal_fugacities(T, P);
    }
    if (jerr > 0 && from_saturation && saturation_start(T, P, z, r)) {
        // Once more from phases between the feed and the incipient phases of
        // the dew and bubble points at T.
        TPFL2(T, P, z, r.Dl, r.Dv, r.x, r.y, r.q, jerr, jmsg);
        if (jerr <= 0 && !split_found(T, z, jerr, r.q, r.Dl, r.Dv, r.x, r.y)) {
            jerr = 219;
            jmsg = unequal_fugacities(T, P);
        }
    }
    if (jerr > 0) wider_split(T, P, z, K, r, jerr, jmsg);
    return jerr <= 0;
}

// The last resort: the split at a pressure 1 or 2 % away, carried over to
// P by TPFL2.  Within a few per cent of the co2+nitrogen critical pressure
// (274 K, 11.8 MPa) no start at P itself ends on an equilibrium, while the
// split at 11.7 MPa leads straight to it.  Two liquids change little with
// the pressure, and their starts may fail over a wider band (R403B at
// 180 K: at 39.6 to 40.8 MPa, the split of 36 MPa leads to that of 40 MPa).
void neighbour_split(double T, double P, const double z[20], TpResult& r, int& jerr,
                     std::string& jmsg) {
    for (double f : {0.99, 1.01, 0.98, 1.02, 0.9, 1.1}) {
        const mix::Stability st = mix::stability(T, f * P, z);
        TpResult n;
        int kerr = 0;
        std::string kmsg;
        if (!st.found || st.stable || !split(T, f * P, z, st, n, kerr, kmsg, false)) continue;
        TPFL2(T, P, z, n.Dl, n.Dv, n.x, n.y, n.q, kerr, kmsg);
        n.exact = false;
        if (!split_found(T, z, kerr, n.q, n.Dl, n.Dv, n.x, n.y)) continue;
        r = n;
        jerr = kerr;
        jmsg = kmsg;
        return;
    }
}

// The last resort where every other start has failed: rounds of
// successive substitution from the trial's K-values, each going on from the
// last, until the phases are an equilibrium.  Close to the dew line of a
// 20-component gas the substitution converges, but more slowly than a
// single round waits for (its helium, held in the liquid at 4e-16, sets the
// pace: a factor 0.4 a pass), and Newton's method does not.
bool patient_split(double T, double P, const double z[20], const mix::Stability& st, TpResult& r) {
    if (mix::frozen_trace(T, z).any) return false;
    double K[20] = {};
    trial_k(z, st, K);
    TpResult n;
    n.Dl = st.liquid_like ? st.D : 0.0;
    n.Dv = st.liquid_like ? 0.0 : st.D;
    for (int round = 0; round < 10; ++round) {
        const bool converged = split_by_substitution(T, P, z, K, n);
        if (!(n.q > 0.0 && n.q < 1.0 && n.Dl > 0.0 && n.Dv > 0.0)) return false;
        if (converged || split_found(T, z, 0, n.q, n.Dl, n.Dv, n.x, n.y)) {
            r = n;
            return true;
        }
    }
    return false;
}

// The largest frozen component of z at T (0-based) that is not carried as
// a trace; -1 where there is none.
int frozen_present(double T, const double z[20]) {
    const mix::FrozenTrace trace = mix::frozen_trace(T, z);
    int first = -1;
    for (int i = 0; i < components(); ++i) {
        if (!(z[i] > 0.0) || !mix::frozen(i, T) || (trace.any && trace.held[i])) continue;
        if (first < 0 || z[i] > z[first]) first = i;
    }
    return first;
}

// A state from which a frozen component would deposit as a solid is
// refused (error 250): the fugacities of the phase (T, D, c), equal in both
// phases of a split, against the sublimation pressures.
void refuse_frozen(double T, double P, double D, const double c[20], const double z[20],
                   TpResult& r, int& ierr, std::string& herr) {
    // (No fugacities where no component of z is frozen at T.)
    if (!mix::any_frozen(T, z)) return;
    double f[20] = {};
    int jerr = 0;
    std::string jmsg;
    FGCTY2(T, D, c, f, jerr, jmsg);
    const int i = jerr <= 0 ? mix::freezing_component(T, P, z, f) : -1;
    if (i < 0) return;
    r.q = kQualityFailed;
    fail(250, "TPFLSH", mix::freezes_out(i, T), ierr, herr);
}

// Where a frozen component (more than a trace) is present and no fluid
// state is found, its freezing out (error 250): true when refused.
bool refuse_frozen_out(double T, const double z[20], double Dc, TpResult& r, int& ierr,
                       std::string& herr) {
    const int i = frozen_present(T, z);
    if (i < 0) return false;
    r.D = Dc;
    r.q = kQualityFailed;
    fail(250, "TPFLSH", mix::freezes_out(i, T), ierr, herr);
    return true;
}

// Whether the feed carries a frozen trace and the rest of it is stable at
// (T, P): the phase equilibrium is the rest's, the trace held in each phase
// at the feed's fractions, so the feed is one phase.  The test of the feed
// itself, with the trace held in its trial phases, may find the feed
// unstable just above the rest's bubble point, where no split of the rest
// exists (Dry ISO Air at 80 K from its bubble point, 114.284 kPa, up to
// 3e-5 above it: error 219; at 75 K up to 10 % above it: error 250, its
// argon taken for freezing out).
bool rest_stable(double T, double P, const double z[20]) {
    const mix::FrozenTrace trace = mix::frozen_trace(T, z);
    if (!trace.any) return false;
    const mix::Stability rest = mix::stability(T, P, trace.rest);
    return rest.found && rest.stable && !rest.in_loop;
}

// The mole-fraction average of the components' critical temperatures.
double pseudo_critical_t(const double x[20]) {
    double t = 0.0;
    for (int i = 0; i < components(); ++i) t += x[i] * CCON.tc[i + 1];
    return t;
}

// Where the split from the test's trial fails for a liquid feed (a shallow
// trial close to a three-phase line, cyclopropane + R134a at 221.6 K,
// 60-150 kPa): the split from the liquid trial of nearly pure starts.
bool split_from_pure_start(double T, double P, const double z[20], const mix::Stability& st,
                           TpResult& r, int& jerr, std::string& jmsg) {
    // (Not with a frozen component, whose phase the test takes for no
    // fluid: the splits found there end on nearly pure phases.)
    mix::Stability pure;
    if (!st.liquid_like || mix::any_frozen(T, z) || !mix::second_liquid(T, P, z, st.D, pure))
        return false;
    TpResult n;
    int kerr = 0;
    std::string kmsg;
    if (!split(T, P, z, pure, n, kerr, kmsg, false)) return false;
    // A phase above its pseudo-critical temperature is a gas (helium with
    // isopentane at 115 K, 20 MPa: denser than the liquid, which the two
    // liquids would be told by): the split is of vapour and liquid.
    const bool gas_y = T > pseudo_critical_t(n.y), gas_x = T > pseudo_critical_t(n.x);
    if (gas_x != gas_y) {
        if (gas_x) flash::swap_phases(n);
        n.two_liquids = false;
    }
    r = n;
    jerr = kerr;
    jmsg = kmsg;
    return true;
}

// The message of a binary feed for which neither a split from the trial
// nor the grid of its Gibbs energy gives a stable state (R23 with
// isopentane below R23's triple point: no liquid of half R23 has a root,
// and the R23-rich liquid keeps a higher fugacity of R23 than any other).
std::string no_stable_state(double T, double P) {
    return split_not_converged(T, P, "no stable phase or pair of phases found");
}

// A binary feed found stable from its Gibbs energy over the compositions
// (the tangent-plane test took another root of it): its own phase.
void feed_phase_stable(double T, double P, const double z[20], double Tc, double Pc,
                       const FeedPhase& feed, TpResult& r, int& ierr, std::string& herr) {
    r = TpResult{};
    single_phase(T, P, z, Tc, Pc, feed.D, feed.liquid_like, r);
    refuse_frozen(T, P, r.D, z, z, r, ierr, herr);
}

// The message of a split whose liquid splits in two where no pair of
// lower Gibbs energy is found.
std::string three_phases(double T, double P) {
    char state[96];
    std::snprintf(state, sizeof state, " at %.6g K, %.6g kPa", T, P);
    return std::string(
               "outer iteration loop for composition in 2-phase state did not converge:  "
               "the liquid splits in two (three phases)") +
           state;
}

}  // namespace

double rachford_rice(const double z[20], const double K[20], double x[20], double y[20]) {
    const auto g = [&](double b) {
        double s = 0.0;
        for (int i = 0; i < components(); ++i)
            if (z[i] > 0.0) s += z[i] * (K[i] - 1.0) / (1.0 + b * (K[i] - 1.0));
        return s;
    };
    double lo = 0.0, hi = 1.0, beta = 0.5;
    const double g0 = g(0.0), g1 = g(1.0);
    if (g0 <= 0.0) {
        beta = 0.0;
    } else if (g1 >= 0.0) {
        beta = 1.0;
    } else {
        for (int it = 0; it < 100 && hi - lo > 1e-14; ++it) {
            beta = 0.5 * (lo + hi);
            (g(beta) > 0.0 ? lo : hi) = beta;
        }
    }
    double sx = 0.0, sy = 0.0;
    for (int i = 0; i < 20; ++i) {
        x[i] = y[i] = 0.0;
        if (i >= components() || !(z[i] > 0.0)) continue;
        x[i] = z[i] / (1.0 + beta * (K[i] - 1.0));
        y[i] = K[i] * x[i];
        sx += x[i];
        sy += y[i];
    }
    for (int i = 0; i < components(); ++i) {
        if (sx > 0.0) x[i] /= sx;
        if (sy > 0.0) y[i] /= sy;
    }
    return beta;
}

namespace {

// Two liquids split by Newton's method from the substitution's last pass
// in r: true (r the split) where it ends on an equilibrium of two phases
// apart; r is left as it was otherwise.
bool liquids_by_newton(double T, double P, const double z[20], TpResult& r) {
    TpResult n = r;
    if (mix::refine_split(T, P, z, n, 0.0) > mix::kSplitAgreed) return false;
    if (!(n.q > 0.0 && n.q < 1.0) || std::fabs(n.Dl - n.Dv) < 1e-6 * n.Dl) return false;
    if (!split_is_equilibrium(T, z, n.q, n.Dl, n.Dv, n.x, n.y)) return false;
    n.exact = true;
    r = n;
    return true;
}

}  // namespace

// The most passes of a substitution without Newton's method after it, and
// how many it may go on without halving its best change (a start that leads
// nowhere, a state that is no longer two-phase: its passes cost as much as
// a hundred density roots each).
constexpr int kLongestSubstitution = 400;
constexpr int kPassesWithoutProgress = 30;

// Successive substitution from the K-values K: the vapour fraction by
// Rachford and Rice, the phases' densities and fugacities, new K-values.
// True when it converges to an equilibrium with both phases (then in r);
// where it converges slowly (close to a critical point) it stops with its
// last phases in r, a start for Newton's method.  From the trial's
// K-values it also converges where that method does not from them
// (hydrogen with water at 10 kPa: 4e-14 of hydrogen in the liquid).
bool split_by_substitution(double T, double P, const double z[20], double K[20], TpResult& r,
                           bool warm) {
    // Without composition derivatives (a mixing rule that has none) no
    // Newton's method follows: the substitution goes on until it converges.
    const bool newton = composition_derivatives_exist(z);
    // The change of ln K in a pass below which Newton's method goes on.
    constexpr double kHandOver = 1e-5;
    // The change below which one more pass may end the substitution.
    constexpr double kOnePassLeft = 1e-9;
    r.exact = false;
    double last = 0.0, Kprev[20] = {}, relax = 1.0, best = 1e300;
    int best_pass = 0;
    bool newton_tried = false, departing = true;
    for (int pass = 0; pass < (newton && !r.two_liquids ? 40 : kLongestSubstitution); ++pass) {
        double x[20], y[20];
        double q = rachford_rice(z, K, x, y);
        // A step that carried the feed out of the split: shorter ones, in
        // ln K (ammonia + water at 300 K, 139 kPa, from numerical
        // fugacities: the first step from the trial's K-values overshot the
        // liquid past the feed).
        for (int halving = 0; pass > 0 && !(q > 0.0 && q < 1.0) && halving < 8; ++halving) {
            for (int i = 0; i < components(); ++i)
                if (z[i] > 0.0) K[i] = std::sqrt(K[i] * Kprev[i]);
            q = rachford_rice(z, K, x, y);
        }
        if (!(q > 0.0 && q < 1.0)) return false;
        double Dl = r.Dl, Dv = r.Dv, fl[20] = {}, fv[20] = {};
        int jerr = 0;
        std::string jmsg;
        // Once the phases change little from pass to pass (or from the
        // split close by, or by the last digits after its first pass),
        // their densities follow from the last by Newton's steps.
        const bool settled =
            (pass >= 2 && last < 0.1) || (warm && pass == 0) || (pass == 1 && last < kHandOver);
        if (!settled || !mix::near_root(T, P, x, r.Dl, Dl) || !mix::near_root(T, P, y, r.Dv, Dv)) {
            Dl = r.Dl;
            Dv = r.Dv;
            flash::QuietMessages quiet;
            TPRHO(T, P, x, kLiquid, Dl > 0.0 ? kStartValue : kNoStartValue, Dl, jerr, jmsg);
            if (jerr <= 0)
                TPRHO(T, P, y, r.two_liquids ? kLiquid : kVapour,
                      Dv > 0.0 ? kStartValue : kNoStartValue, Dv, jerr, jmsg);
        }
        if (jerr > 0 || !(Dl > 0.0 && Dv > 0.0) || std::fabs(Dl - Dv) < 1e-6 * Dl ||
            !flash::dilute_fugacities(T, Dl, x, z, fl) ||
            !flash::dilute_fugacities(T, Dv, y, z, fv))
            return false;
        double change = 0.0;
        for (int i = 0; i < components(); ++i) {
            if (!(z[i] > 0.0)) continue;
            if (!(fl[i] > 0.0 && fv[i] > 0.0)) return false;
            change = std::max(change, std::fabs(std::log(fl[i] / fv[i])));
        }
        // Where the substitution swings ever wider (a liquid whose
        // fugacities change faster than its composition: ammonia + water
        // from numerical fugacities),
        // shorter steps in ln K.
        if (!newton && pass > 0 && change > last && change > 1e-8)
            relax = std::max(0.5 * relax, 1.0 / 64.0);
        for (int i = 0; i < components(); ++i) {
            if (!(z[i] > 0.0)) continue;
            Kprev[i] = K[i];
            K[i] *= std::pow(fl[i] / fv[i], relax);
        }
        r.q = q;
        r.Dl = Dl;
        r.Dv = Dv;
        flash::copy20(x, r.x);
        flash::copy20(y, r.y);
        // (Numerical fugacities carry about 1e-10 of rounding.)
        if (change < (newton ? 1e-11 : 1e-9))
            return split_is_equilibrium(T, z, q, Dl, Dv, x, y, fl, fv);
        // Close to the solution Newton's method takes the last digits in two
        // or three steps where the substitution would take ten or more.
        // Where the passes converge fast, two more passes take them at less
        // than Newton's cost (humid air continued along a separator: from
        // 1.5e-7 to 1.7e-10 and 2e-13, each pass cutting the change a
        // thousandfold): with the last pass's ratio of changes, and on the
        // first pass (a split continued from one close by) within
        // kOnePassLeft of them.
        // (A split continued from one close by converges as fast as that
        // one did: its ratio stands in on the first pass.)
        const double ratio = pass > 0 ? change / last : warm ? r.contraction : 0.0;
        if (pass > 0) r.contraction = ratio;
        const bool fast = ratio > 0.0 && ratio < 1e-2 && change * ratio * ratio < 1e-11;
        const bool passes_end = fast || (pass == 0 && change < kOnePassLeft);
        if (newton && change < kHandOver && !passes_end &&
            mix::refine_split(T, P, z, r, 0.0) <= mix::kSplitAgreed) {
            r.exact = true;
            return split_is_equilibrium(T, z, r.q, r.Dl, r.Dv, r.x, r.y);
        }
        // Slow convergence: Newton's method goes on from here (not for two
        // liquids, whose second phase it takes for a vapour).
        const bool slow = pass >= 3 && change > 0.3 * last;
        if (newton && !r.two_liquids && slow) return false;
        // Two liquids close to their critical solution point: the
        // substitution cuts the change by some 2 % a pass, Newton's method
        // of the split ends it from the first passes (propane + R32, 50/50,
        // at 246.4 K, 600 kPa: some thousand passes, or five steps).
        if (newton && slow && !newton_tried) {
            newton_tried = true;
            if (liquids_by_newton(T, P, z, r)) return true;
        }
        // From a start close to the feed (a liquid trial of a tiny distance)
        // the phases first move apart, the change growing pass by pass, before
        // they converge: progress is counted from the largest change of that
        // departure (R403A at 144.6 K, 88.9 kPa: 46 passes apart, 14 to the
        // split of two liquids).
        departing = departing && change > last;
        if (change < 0.5 * best || departing) {
            best = change;
            best_pass = pass;
        } else if (pass - best_pass > kPassesWithoutProgress) {
            return false;
        }
        last = change;
    }
    return false;
}

namespace {

// The state of a split found stable: the densities of the phases at (T, P)
// from the split's, and the last digits of the split (up to 1e-7 off in the
// fugacities close to a dew line) by Newton's method, unless it ended the
// split; its properties.
void finish_split(double T, double P, const double z[20], double Dc, TpResult& r, int& ierr,
                  std::string& herr) {
    int kerr = 0;
    std::string kmsg;
    if (!r.exact) {
        flash::QuietMessages quiet;
        TPRHO(T, P, r.x, kLiquid, kStartValue, r.Dl, kerr, kmsg);
        if (kerr <= 0)
            TPRHO(T, P, r.y, r.two_liquids ? kLiquid : kVapour, kStartValue, r.Dv, kerr, kmsg);
    }
    if (kerr <= 0 && (!within_densities(r.x, r.Dl) || !within_densities(r.y, r.Dv))) {
        // A phase beyond its equations' densities is none; where a frozen
        // component is present, it is that component's freezing out.
        const int i = frozen_present(T, z);
        r.D = Dc;
        r.q = kQualityFailed;
        if (i >= 0)
            fail(250, "TPFLSH", mix::freezes_out(i, T), ierr, herr);
        else
            fail(219, unequal_fugacities(T, P), ierr, herr);
        return;
    }
    if (kerr > 0) {
        r.D = Dc;
        r.q = kQualityFailed;
        fail(kerr, "TPFLSH", "(mix, 2-phase):  " + cut(kmsg, 200), ierr, herr, kNoNumber);
        return;
    }
    if (const int i = mix::frozen_liquid(T, r.x, r.y, r.Dl, r.Dv, r.two_liquids); i >= 0) {
        r.D = Dc;
        r.q = kQualityFailed;
        fail(250, "TPFLSH", mix::freezes_out(i, T), ierr, herr);
        return;
    }
    if (!r.exact) mix::refine_split(T, P, z, r);
    // Of two liquids from a trial's liquid roots either may have been taken
    // for the trial's: the denser is the liquid.  So too of a vapour and a
    // liquid close to their critical point, where the trial of the feed's
    // other kind may be the denser phase (oxygen + argon, half and half, at
    // 151.7746 K, 4.921 MPa: the trial's phase of 14.59 mol/L off a feed
    // of 14.0; propane + R32, 10 % propane, at 344.23 K, 5.434 MPa: the
    // phase of 6.17 mol/L beside one of 9.56 was named the liquid).
    if (r.Dl < r.Dv) flash::swap_phases(r);
    flash::mix_phases(T, r.q, r.Dl, r.Dv, r.x, r.y, r.e, r.h, r.s, r.cv, r.cp, r.w);
    r.D = flash::mixed_density(r.q, r.Dl, r.Dv);
    refuse_frozen(T, P, r.Dv, r.y, z, r, ierr, herr);
}

// A binary feed whose root the tangent-plane test found stable lies behind a
// loop of the equation (no phase): its stable phase or pair from its Gibbs
// energy over the compositions, else no answer.
void behind_loop(double T, double P, const double z[20], double Tc, double Pc, double Dc, double D,
                 const SplitFrom& from, TpResult& r, int& ierr, std::string& herr) {
    TpResult pair;
    FeedPhase feed;
    const BinaryPair found = stable_binary_pair(T, P, z, pair, from, &feed);
    if (found == BinaryPair::kSinglePhase)
        return feed_phase_stable(T, P, z, Tc, Pc, feed, r, ierr, herr);
    if (found == BinaryPair::kFound) {
        r = pair;
        return finish_split(T, P, z, Dc, r, ierr, herr);
    }
    char text[160];
    std::snprintf(text, sizeof text,
                  "no stable phase found:  the root of %.6g mol/L lies behind a loop of the "
                  "equation at %.6g K, %.6g kPa",
                  D, T, P);
    r.D = Dc;
    r.q = kQualityFailed;
    fail(219, "TPFLSH", text, ierr, herr);
}

}  // namespace

void tp_mixture(double T, double P, const double z[20], double Tc, double Pc, double Dc,
                TpResult& r, int& ierr, std::string& herr) {
    mix::Stability st = mix::stability(T, P, z);
    if (!st.found) {
        r.q = kQualityFailed;
        fail(215, "TPFLSH",
             "supercritical or vapor density iteration did not converge:  density root not found",
             ierr, herr);
        return;
    }
    const SplitFrom from = [&](const mix::Stability& s, TpResult& n) {
        int kerr = 0;
        std::string kmsg;
        return split(T, P, z, s, n, kerr, kmsg, false);
    };
    // Close to the critical point a feed found stable may split after all:
    // the split from a trial phase a little off the feed, where it has one.
    if (st.stable && mix::near_critical_point(T, P, Tc, Pc)) {
        mix::Stability off = st;
        TpResult n;
        if (mix::critical_trial(T, P, z, off) && from(off, n)) st = off;
    }
    TpResult near;
    const bool near_split = st.stable && !st.in_loop &&
                            mix::within_critical_neighbourhood(T, P, Tc, Pc) &&
                            split_between_saturation_points(T, P, z, st.D, near);
    if (st.stable && !near_split) {
        // A feed whose only root lies in a loop of the equation has no phase
        // of its own there, whatever the test found from that root: a frozen
        // component freezes out (carbon dioxide + nitrogen, half and half, at
        // 192.25 K, 3.162 MPa, as at 190 K), else the binary's stable pair,
        // else no answer.
        if (st.in_loop) {
            if (refuse_frozen_out(T, z, Dc, r, ierr, herr)) return;
            return behind_loop(T, P, z, Tc, Pc, Dc, st.D, from, r, ierr, herr);
        }
        // (A gas root only: a liquid root is the densest, and proving that
        // costs a density solution.)
        if (!st.liquid_like && root_behind_loop(T, P, z, st.D))
            return behind_loop(T, P, z, Tc, Pc, Dc, st.D, from, r, ierr, herr);
        single_phase(T, P, z, Tc, Pc, st.D, st.liquid_like, r);
        return refuse_frozen(T, P, r.D, z, z, r, ierr, herr);
    }

    int jerr = 0;
    std::string jmsg;
    if (near_split) {
        r = near;
    } else if (!split(T, P, z, st, r, jerr, jmsg) &&
               !split_from_pure_start(T, P, z, st, r, jerr, jmsg)) {
        if (rest_stable(T, P, z)) {
            single_phase(T, P, z, Tc, Pc, st.D, st.liquid_like, r);
            return refuse_frozen(T, P, r.D, z, z, r, ierr, herr);
        }
        // Where a frozen component (more than a trace) is present, a split
        // that fails is its freezing out (at 108 K the 15 % of water in a
        // flue gas): no neighbouring pressure would give a fluid state.
        if (refuse_frozen_out(T, z, Dc, r, ierr, herr)) return;
        // Rounds of substitution from the trial first, then the split at a
        // neighbouring pressure (over the grids the rounds found 10 splits of
        // 13 at some 2,000 evaluations each, the neighbours 1 of 14 at
        // 57,000).
        if (patient_split(T, P, z, st, r)) {
            jerr = 0;
            jmsg.clear();
        } else {
            neighbour_split(T, P, z, r, jerr, jmsg);
        }
        // No split from the trial: a binary's stable pair from its Gibbs
        // energy over the compositions, or its feed's own phase.
        TpResult pair;
        FeedPhase feed;
        const BinaryPair found =
            jerr > 0 ? stable_binary_pair(T, P, z, pair, from, &feed) : BinaryPair::kNotFound;
        if (found == BinaryPair::kSinglePhase)
            return feed_phase_stable(T, P, z, Tc, Pc, feed, r, ierr, herr);
        if (found == BinaryPair::kFound) {
            r = pair;
            jerr = 0;
            jmsg.clear();
        } else if (jerr > 0 && binary_grid_applies(T, z)) {
            // (The message names the state the grid found no answer for.)
            jerr = 219;
            jmsg = found == BinaryPair::kThreePhase ? errtext("TPFLSH", 219, three_phases(T, P))
                                                    : no_stable_state(T, P);
        }
    }
    if (jerr > 0) {
        r.D = Dc;
        r.q = kQualityFailed;
        fail(jerr, jmsg, ierr, herr);
        return;
    }
    // A liquid of the split that splits in two itself: the pair of lower
    // Gibbs energy, else no answer (three phases, or close to them).
    LiquidPair pair = prefer_two_liquids(T, P, r, from);
    if (pair != LiquidPair::kUnresolved) pair = prefer_vapour(T, P, r, from);
    // Neither pair stable: a binary has a stable pair off its three-phase
    // line (a mixture of more components may have three phases), or its
    // feed's own phase is stable.
    if (pair == LiquidPair::kUnresolved) {
        FeedPhase feed;
        const BinaryPair found = stable_binary_pair(T, P, z, r, from, &feed);
        if (found == BinaryPair::kSinglePhase)
            return feed_phase_stable(T, P, z, Tc, Pc, feed, r, ierr, herr);
        if (found == BinaryPair::kFound) pair = LiquidPair::kTwoLiquids;
    }
    if (pair == LiquidPair::kUnresolved) {
        r.D = Dc;
        r.q = kQualityFailed;
        fail(219, "TPFLSH", three_phases(T, P), ierr, herr);
        return;
    }
    // A phase between the two below their plane: the pair it makes, where
    // lower.
    prefer_middle_phase(T, P, z, r, from);
    finish_split(T, P, z, Dc, r, ierr, herr);
}

}  // namespace lib
