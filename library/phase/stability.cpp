// The tangent-plane stability test (successive substitution from Wilson's
// K-values, then Newton's method in alpha_i = 2 sqrt(Y_i) with the
// composition derivatives of the fugacity coefficients).
#include "library/phase/stability.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/envelope.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/psatest.h"
#include "library/phase/sattp.h"
#include "library/phase/trialphase.h"
#include "library/phase/trialroot.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

// A liquid whose fugacities add up to more than this share of P gets a
// vapour trial from the ideal gas of its fugacities.
constexpr double kNearBubble = 0.9;

// Whether every frozen component of z at T is held as a trace and T lies
// above the traced cricondentherm of the rest (Dry ISO Air between its air's
// cricondentherm and 90 % of its carbon dioxide's triple point, where the
// trials hold the 0.04 % of carbon dioxide at the feed's fraction).
bool above_rest_envelope(double T, const double z[20]) {
    const FrozenTrace trace = frozen_trace(T, z);
    if (!trace.any) return false;
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i)
        if (z[i] > 0.0 && frozen(i, T) && !trace.held[i]) return false;
    return above_envelope(T, trace.rest);
}

// The mole-fraction average of the components' critical temperatures.
double pseudo_critical(const double z[20], const Present& o) {
    double t = 0.0;
    for (int a = 0; a < o.m; ++a) t += z[o.c[a]] * CCON.tc[o.c[a] + 1];
    return t;
}

// The most starts of liquid trials from nearly pure components, and the
// share of the other components in such a start (of their fractions in
// the feed).
constexpr int kPureStarts = 3;
constexpr double kPureStartShare = 1e-2;
// The least fraction of the other components in such a start, where the
// feed is no pure component: within kPureShare of a pure component the
// equations take its own gas constant, not the mixture's, and ln phi moves
// by 1.2e-5 (a start of water with 3.5e-13 of hydrogen lay that far below
// the plane of its liquid with 3.5e-11).
constexpr double kPureShare = 1e-12;
constexpr double kStartTrace = 1e-10;
// Starts farther from the feed's tangent plane than this are not tried: a
// second liquid lies close to its nearly pure component (measured: the
// starts that found the second liquid of 44 two-liquid states lie below
// 0.073, octane + water's at -1.4; a start from a component of an ideal
// liquid lies at about -ln of its fraction).
constexpr double kPureStartDistance = 1.0;
// A start this far below the feed's tangent plane is a trial phase of its
// own (far beyond the rounding of the distance and the step of the gas
// constants next to a pure component, 1.2e-5).
constexpr double kStartBelowPlane = -1e-3;

// The component (0-based) of which w is purer than the start from it
// (kPureStartShare of the others' fractions in z), else -1.
int nearly_pure(const double w[20], const double z[20], const Present& o) {
    for (int a = 0; a < o.m; ++a) {
        const int i = o.c[a];
        if (w[i] > 1.0 - kPureStartShare * (1.0 - z[i])) return i;
    }
    return -1;
}

// The least rise of ln f of component i's pure liquid from its estimated
// vapour pressure (ln of it over P: lnp) to P: its volume is no less than
// at the densest state of its equation.  Far above the vapour pressure the
// pure liquid's fugacity lies far above it (dry air at 200 K, 1 GPa: the
// starts of nitrogen, oxygen and carbon dioxide, estimated at -16.9, -13.1
// and -12.8 by the vapour pressure alone, lie at +0.23, +1.44 and +4.64;
// with the rise at -5.5, +0.64 and +3.7).
double compression_estimate(int i, double T, double P, double lnp) {
    const double rise = P * -std::expm1(lnp);
    const double dmax = EOSLIM.dmax[i + 1];
    if (!(rise > 0.0) || !(dmax > 0.0)) return 0.0;
    return rise / (dmax * CCON.rgas[i + 1] * T);
}

// A liquid start nearly pure in component i (0-based) well below that
// component's critical temperature: its saturated liquid's density from the
// ancillary equation as the last root of composition s, from which the
// liquid root follows by Newton's steps (the density solver's own search
// from the start's estimated critical point cost twice as much).
constexpr double kAncillaryBelowTc = 0.9;
void ancillary_liquid(double T, int i, const double s[20], Root& r) {
    if (!(T < kAncillaryBelowTc * CCON.tc[i + 1])) return;
    double d = 0.0;
    int ierr = 0;
    std::string herr;
    DLSATK(i + 1, T, d, ierr, herr);
    if (ierr > 0 || !(d > 0.0) || !std::isfinite(d)) return;
    r.D = d;
    r.liquid = true;
    flash::copy20(s, r.w);
}

// Which trials start from nearly pure components.
enum class PureStarts {
    kEveryLiquid,   // liquid trials from every component below its Tc (a liquid feed)
    kCloseLiquids,  // liquid trials from the components estimated close
    kCloseGases,    // vapour trials of a liquid (every supercritical component)
};

// The starts of the liquid trials from nearly pure components that one test
// made, with their first roots.  A vapour start of the same composition
// whose gas root is that root (its first crossing of P) starts from the same
// state: the dense gas of a supercritical component above its critical
// pressure, whose only root both kinds find (nearly pure methane beside the
// liquid of the 10-component gas at 200 K, 10 MPa: the same trial, step for
// step, once more for 1,600 evaluations).
struct StartsTried {
    int n = 0;
    double w[kPureStarts][20] = {};
    double D[kPureStarts] = {};

    void note(const double s[20], double D0) {
        if (n >= kPureStarts) return;
        flash::copy20(s, w[n]);
        D[n++] = D0;
    }
    // Whether the start s was tried with a root that is also its gas root.
    bool as_gas(double T, double P, const double s[20]) const {
        for (int k = 0; k < n; ++k) {
            bool same = true;
            for (int i = 0; i < kMaxComp && same; ++i) same = w[k][i] == s[i];
            if (same && first_root(T, P, s, D[k])) return true;
        }
        return false;
    }
};

// Trials from nearly pure components, for a feed that the trials from
// Wilson's K-values left stable.  Those start between the feed and the
// phase of the other kind, and at a high pressure say little of a component
// far above its critical temperature: they are drawn into the feed where the
// other phase lies beyond it (octane + water, ammonia + hexane: a trace of
// the one in the other; 10 % of helium in liquid carbon dioxide at 266 K,
// 30 MPa, whose gas of 94 % helium the vapour trial of 82 % carbon dioxide
// missed; water condensing from pentane at 323 K, 162 kPa).  The starts
// are tried in the order of their own distance, the lowest (the component
// least like the feed) first.  True when one ends on a negative distance
// (then in w, tm, K).
// With `skip` (0-based, else -1) that component's start is left out: the
// trial of its kind from Wilson's K-values ended purer in it than that
// start (on a stationary point of positive distance, where the start would
// end too: the water of humid air beside its dew point).  With `tried` the
// liquid starts are noted there, and the vapour starts of the same state
// left out.
bool pure_trial(double T, double P, const double z[20], const double d[20], const Present& o,
                const FeedRoots& feed, PureStarts kind, double w[20], double& tm, double K[20],
                int skip = -1, StartsTried* tried = nullptr) {
    const bool vapour = kind == PureStarts::kCloseGases;
    // The candidates, none frozen.  Liquid trials: their pure liquid's
    // distance estimated from their vapour pressure; of a liquid feed
    // every component below its critical temperature, of other feeds those
    // estimated closer than kPureStartDistance, above their critical
    // temperature too (the dense phase of propane beside helium at
    // propane's, 10.5 MPa; 3 % of propane in methane at 300 K, 5 MPa,
    // estimated at 2.4, is far from condensing).  Vapour trials: those
    // whose own gas exists at P: every supercritical one, and those below
    // their vapour pressure whose pure gas, taken as ideal, is estimated
    // closer than kPureStartDistance.  At most kPureStarts of them: the
    // roots of ten starts of a 10-component gas cost more than its whole
    // test.
    // (Supercritical vapour starts are estimated far too high at a high
    // pressure, where a dense gas is no ideal gas: hexane beside water at
    // 526 K, 10.5 MPa at 1.19 for a start at 0.025.)
    int cand[20] = {}, nc = 0;
    double guess[20] = {};
    for (int a = 0; a < o.m; ++a) {
        const int i = o.c[a];
        const bool super = !(T < CCON.tc[i + 1]);
        // ln(Psat/P), Psat estimated.
        const double lnp = ln_vapour_pressure_estimate(i, T) - std::log(P);
        if (i == skip || frozen(i, T) || (vapour && !super && !(lnp > 0.0))) continue;
        // (Above its critical pressure a supercritical component's dense
        // phase is a liquid beside another: hexane at 538 K, 20 MPa beside
        // the liquid water that dissolves 15 % of it.)
        if (kind == PureStarts::kEveryLiquid && super && !(P > CCON.pc[i + 1])) continue;
        guess[a] = vapour ? -d[i] : lnp - d[i];
        if (kind == PureStarts::kEveryLiquid || (vapour && super) ||
            guess[a] + compression_estimate(i, T, P, lnp) < kPureStartDistance)
            cand[nc++] = a;
    }
    std::sort(cand, cand + nc, [&](int a, int b) { return guess[a] < guess[b]; });
    nc = std::min(nc, kPureStarts);
    double start[20][20] = {}, distance[20] = {};
    KnownStart known[kPureStarts];
    // (Their roots are the density solver's, not Newton's steps from the
    // feed's: a start close to the feed ends on it.)
    FeedRoots apart = feed;
    apart.z = nullptr;
    int order[20] = {}, n = 0;
    // (The starts of a feed that is no pure component are none either.)
    double zmax = 0.0;
    for (int a = 0; a < o.m; ++a) zmax = std::max(zmax, z[o.c[a]]);
    const double floor = 1.0 - zmax < kPureShare ? 0.0 : kStartTrace;
    for (int k = 0; k < nc; ++k) {
        const int a = cand[k];
        double* s = start[n];
        for (int b = 0; b < o.m; ++b) s[o.c[b]] = std::max(kPureStartShare * z[o.c[b]], floor);
        s[o.c[a]] = 1.0;
        double sum = 0.0;
        for (int b = 0; b < o.m; ++b) sum += s[o.c[b]];
        for (int b = 0; b < o.m; ++b) s[o.c[b]] /= sum;
        // Its distance from the feed's tangent plane (no start where its
        // root is not found).
        if (vapour && tried != nullptr && tried->as_gas(T, P, s)) continue;
        known[n] = KnownStart{};
        Root& r = known[n].root;
        if (!vapour) ancillary_liquid(T, o.c[a], s, r);
        double* lnphi = known[n].lnphi;
        double M[20][20];
        if (!root_of(T, P, s, vapour ? kVapour : kLiquid, apart, r) ||
            (!vapour && !fluid_liquid(T, s, r)) || !ln_phi(T, P, r.D, s, o, lnphi, M, false))
            continue;
        double dist = 0.0;
        for (int b = 0; b < o.m; ++b) {
            const int i = o.c[b];
            dist += s[i] * (std::log(s[i]) + lnphi[i] - d[i]);
        }
        distance[n] = dist;
        order[n] = n;
        ++n;
    }
    std::sort(order, order + n, [&](int a, int b) { return distance[a] < distance[b]; });
    for (int k = 0; k < std::min(n, kPureStarts) && distance[order[k]] < kPureStartDistance; ++k) {
        flash::copy20(start[order[k]], w);
        const int j = order[k];
        if (!vapour && tried != nullptr) tried->note(start[j], known[j].root.D);
        if (trial(T, P, z, d, o, feed, vapour, w, tm, K, nullptr, false, nullptr, &known[j]))
            return true;
        // A start below the tangent plane is a trial phase itself, where
        // the iteration from it climbed away (hydrogen chloride +
        // methanol, far from ideal: the start of nearly pure methanol
        // at -0.52, its trial's end at +0.99).
        if (distance[j] < kStartBelowPlane) {
            flash::copy20(start[j], w);
            tm = distance[j];
            return implied_k(z, d, o, known[j].lnphi, vapour, K);
        }
    }
    return false;
}

// K-values of a vapour trial whose phase is a liquid: the trial's phase as
// the liquid of the split.
void turn_over(const Present& o, double K[20]) {
    for (int a = 0; a < o.m; ++a) K[o.c[a]] = 1.0 / K[o.c[a]];
}

// Wilson's K-values.
void wilson_k(double T, double P, const Present& o, double K[20]) {
    for (int a = 0; a < o.m; ++a) {
        const int i = o.c[a];
        K[i] = CCON.pc[i + 1] / P *
               std::exp(5.373 * (1.0 + CCON.acf[i + 1]) * (1.0 - CCON.tc[i + 1] / T));
    }
}

// The ideal gas of the fugacities exp(d_i) (in P) in w; returns their sum.
double fugacity_sum(const double d[20], const Present& o, double w[20]) {
    double sum = 0.0;
    for (int a = 0; a < o.m; ++a) sum += w[o.c[a]] = std::exp(d[o.c[a]]);
    return sum;
}

// The ends of a binary's trials on stationary points above the plane, away
// from the feed (each fraction more than kAwayFromFeed apart), at most
// kTrialEnds: the starts of the trials from halfway.
constexpr int kTrialEnds = 3;
constexpr double kAwayFromFeed = 0.05;
struct TrialEnds {
    TrialEnds(const double z[20], const Present& o) : z(z), o(o) {}
    void note(bool kind, const double end[20], double tm) {
        if (o.m != 2 || n >= kTrialEnds || !(tm > 0.0)) return;
        for (int a = 0; a < o.m; ++a)
            if (!(std::fabs(end[o.c[a]] - z[o.c[a]]) > kAwayFromFeed)) return;
        flash::copy20(end, w[n]);
        vapour[n++] = kind;
    }
    const double* z;
    const Present& o;
    int n = 0;
    double w[kTrialEnds][20] = {};
    bool vapour[kTrialEnds] = {};
};

}  // namespace

Stability stability(double T, double P, const double z[20]) {
    Stability s;
    FeedRoots feed;
    s.found = stable_root(T, P, z, s.D, s.liquid_like, &feed);
    s.in_loop = feed.in_loop;
    feed.z = z;
    feed.stable = s.D;
    // Above the cricondentherm of z no trial phase splits off; nor, with a
    // frozen trace held in both phases, above that of the rest.
    if (!s.found || above_envelope(T, z) || above_rest_envelope(T, z)) return s;
    const Present o = present(z);
    double lnphi[20] = {}, M[20][20];
    if (!ln_phi(T, P, s.D, z, o, lnphi, M, false)) {
        s.found = false;
        return s;
    }
    double d[20] = {};
    for (int a = 0; a < o.m; ++a) d[o.c[a]] = std::log(z[o.c[a]]) + lnphi[o.c[a]];
    double K[20] = {};
    wilson_k(T, P, o, K);
    // The trial of the feed's other kind first: a vapour's liquid, a
    // liquid's vapour.  A frozen trace is held at the feed's fractions; a
    // trial phase made mostly of frozen components is no fluid phase, and
    // the trials are made again with those components held.
    const FrozenTrace trace = frozen_trace(T, z);
    bool held[20] = {};
    for (int a = 0; a < o.m; ++a) held[o.c[a]] = frozen(o.c[a], T);
    const bool order[2] = {s.liquid_like, !s.liquid_like};
    // A trial ending on a negative distance makes the feed unstable, unless
    // it is a condensed phase made mostly of frozen components.  A gas of
    // them off a feed made mostly of fluid ones is a fluid phase (carbon
    // dioxide + R32 at 180 K, 10 kPa: a vapour of 56 % carbon dioxide off
    // the liquid, far from its sublimation); whether it deposits a solid is
    // the flash's to check.  (Off a feed of frozen components the other
    // phase would be a frozen liquid: methane + ethane at 80 K.)
    const auto frozen_share = [&](const double* c) {
        double share = 0.0;
        for (int a = 0; a < o.m; ++a)
            if (held[o.c[a]]) share += c[o.c[a]];
        return share;
    };
    const bool fluid_feed = frozen_share(z) <= 0.5;
    const auto found = [&](bool vapour, const double w[20], double tm, const double Kt[20]) {
        double share = frozen_share(w);
        double Dw = 0.0;
        bool dense = true;
        if (share > 0.5 && vapour && fluid_feed && stable_root(T, P, w, Dw, dense) && !dense)
            share = 0.0;
        if (share > 0.5) {
            s.frozen_phase = true;
            return false;
        }
        s.take_trial(vapour, tm, w, Kt);
        return true;
    };
    const auto wilson = [&](bool vapour, double w[20]) {
        for (int a = 0; a < o.m; ++a) {
            const int i = o.c[a];
            w[i] = vapour ? z[i] * K[i] : z[i] / K[i];
        }
    };
    bool liquid_lower = false, no_gas = false;
    TrialEnds ends(z, o);
    // The component in which each kind's trial ended nearly pure (-1: none).
    int pure_end[2] = {-1, -1};
    for (int pass = trace.any ? 1 : 0; pass < 2; ++pass) {
        if (pass == 1 && !s.frozen_phase && !trace.any) break;
        for (bool vapour : order) {
            double w[20] = {}, tm = 0.0, Kt[20] = {};
            wilson(vapour, w);
            if (trial(T, P, z, d, o, feed, vapour, w, tm, Kt, pass == 1 ? held : nullptr, false,
                      &liquid_lower, nullptr, vapour ? &no_gas : nullptr)) {
                // A vapour trial that ended on a composition without a gas
                // root (its liquid root stood in) found a liquid: the split
                // takes it as one (pentane + water, 90/10, at 320 K and
                // 1 MPa: the pentane-rich liquid beside liquid water, whose
                // split as vapour and liquid found no vapour root).
                const bool liquid = vapour && no_gas;
                if (liquid) turn_over(o, Kt);
                if (found(vapour && !liquid, w, tm, Kt)) {
                    if (liquid) s.two_liquids = s.liquid_like;
                    return s;
                }
            }
            pure_end[vapour ? 1 : 0] = nearly_pure(w, z, o);
            if (pass == 0) ends.note(vapour, w, tm);
        }
    }
    // A liquid whose fugacities add up to nearly P or more lies close to or
    // below its bubble point as its own fugacity coefficients estimate it
    // (an ideal gas over it; a real gas's coefficients lie a little below
    // 1).  Where Wilson's vapour trial ended without a vapour root, a
    // vapour trial from the ideal gas of those fugacities (far from ideal
    // liquids: benzene + methanol, 10 % methanol, at 317.8 K and 43.3 kPa,
    // whose vapour of 31 % methanol Wilson put at 14 %, a composition whose
    // isotherm turns back at 39.6 kPa).
    if (s.liquid_like && !trace.any && no_gas) {
        double w[20] = {}, tm = 0.0, Kt[20] = {};
        if (fugacity_sum(d, o, w) > kNearBubble && trial(T, P, z, d, o, feed, true, w, tm, Kt) &&
            found(true, w, tm, Kt))
            return s;
    }
    // The vapour trial once more with the liquid roots of its compositions
    // where those had the lower Gibbs energy (ethylene with 6e-8 of ethanol
    // at 146 K, 260 kPa has a vapour root close to its spinodal, whose
    // distance of 0.93 hid the two liquids of an ethanol + ethylene feed).
    // Its phase is a liquid: the split takes it as such (its K-values
    // turned over).
    if (liquid_lower) {
        double w[20] = {}, tm = 0.0, Kt[20] = {};
        wilson(true, w);
        if (trial(T, P, z, d, o, feed, true, w, tm, Kt, nullptr, true)) {
            turn_over(o, Kt);
            if (found(false, w, tm, Kt)) {
                s.two_liquids = s.liquid_like;
                return s;
            }
        }
    }
    // The liquid trials start from the components that are not frozen; a
    // frozen trace would drift into them (air with 380 ppm of carbon dioxide
    // at 117.6 K, 1.9 MPa), a frozen component beyond a trace stays in the
    // feed (R466A at 153 K: its 7.7 % of R125, 17 K below R125's triple
    // point, and the second liquid rich in CF3I beside it).
    if (s.frozen_phase || frozen_trace(T, z).any || !liquids_modelled()) return s;
    double w[20] = {}, tm = 0.0, Kt[20] = {};
    StartsTried tried;
    // Liquid trials from nearly pure components: of a liquid feed below
    // its pseudo-critical temperature every start (a second liquid), else
    // the components estimated close to condensing.  A liquid feed's
    // trial is a second liquid below that temperature.
    const bool all_liquids = s.liquid_like && T < pseudo_critical(z, o);
    if (pure_trial(T, P, z, d, o, feed,
                   all_liquids ? PureStarts::kEveryLiquid : PureStarts::kCloseLiquids, w, tm, Kt,
                   all_liquids ? -1 : pure_end[0], &tried)) {
        if (found(false, w, tm, Kt)) {
            s.two_liquids = all_liquids;
            return s;
        }
    } else {
        ends.note(false, w, tm);
    }
    // A liquid feed: vapour trials from its components whose gas exists.
    if (s.liquid_like) {
        if (pure_trial(T, P, z, d, o, feed, PureStarts::kCloseGases, w, tm, Kt, pure_end[1],
                       &tried)) {
            if (found(true, w, tm, Kt)) return s;
        } else {
            ends.note(true, w, tm);
        }
    }
    // A binary whose trials ended on stationary points above the plane, away
    // from the feed: a trial of that kind from halfway between, where a
    // phase below the plane may lie beyond the stationary point's basin (R14
    // + toluene, 10 % R14, at 298.9 K, 11 MPa: the liquid trial from nearly
    // pure R14 ends at 95 % R14, +0.045; the liquid of 50 % lies below).
    for (int k = 0; k < ends.n && s.stable; ++k) {
        double mid[20] = {}, sum = 0.0;
        for (int a = 0; a < o.m; ++a) sum += mid[o.c[a]] = z[o.c[a]] + ends.w[k][o.c[a]];
        for (int a = 0; a < o.m; ++a) mid[o.c[a]] /= sum;
        if (trial(T, P, z, d, o, feed, ends.vapour[k], mid, tm, Kt) &&
            found(ends.vapour[k], mid, tm, Kt))
            return s;
    }
    return s;
}

// The distance below which a liquid trial of a phase of a split is a
// second liquid (those that end on a phase of the split stop within 1e-9
// of zero; 1.7e-8 measured).
constexpr double kSecondLiquidDistance = -1e-7;

// Whether a component of z is frozen at T (the liquid trials from nearly
// pure components are not made: a frozen trace drifts into the trial, air
// with 380 ppm of carbon dioxide at 117.6 K, 1.9 MPa).
bool any_frozen(double T, const double z[20]) {
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i)
        if (z[i] > 0.0 && frozen(i, T)) return true;
    return false;
}

bool liquids_modelled() { return !EOSMOD.mix.is("AGA"); }

namespace {

// A phase x of density D of a split, as a feed of its own: its present
// components, d_i = ln x_i + ln phi_i and its root; false where x has a
// frozen component or fewer than two, or its ln phi fail.
struct PhaseFeed {
    Present o;
    double d[20] = {};
    FeedRoots feed;
};
bool phase_feed(double T, double P, const double x[20], double D, PhaseFeed& p) {
    if (any_frozen(T, x)) return false;
    p.o = present(x);
    double lnphi[20] = {}, M[20][20];
    if (p.o.m < 2 || !ln_phi(T, P, D, x, p.o, lnphi, M, false)) return false;
    for (int a = 0; a < p.o.m; ++a) p.d[p.o.c[a]] = std::log(x[p.o.c[a]]) + lnphi[p.o.c[a]];
    p.feed.liquid = D;
    p.feed.stable = D;
    return true;
}

// s as the test of the liquid feed of density D that found the trial phase
// of distance tm (already in s.w, s.K).
void unstable_liquid(double D, double tm, bool vapour_trial, Stability& s) {
    s.found = true;
    s.stable = false;
    s.D = D;
    s.liquid_like = true;
    s.tm = tm;
    s.vapour_trial = vapour_trial;
    s.two_liquids = !vapour_trial;
}

}  // namespace

bool second_liquid(double T, double P, const double x[20], double Dl, Stability& s) {
    s = Stability{};
    PhaseFeed p;
    if (!liquids_modelled() || !phase_feed(T, P, x, Dl, p)) return false;
    double tm = 0.0;
    // (A trial that ends on x itself or on the other phase of its split
    // has a distance of rounding size: no second liquid.)
    if (!pure_trial(T, P, x, p.d, p.o, p.feed, PureStarts::kEveryLiquid, s.w, tm, s.K) ||
        !(tm < kSecondLiquidDistance))
        return false;
    unstable_liquid(Dl, tm, false, s);
    return true;
}

bool wilson_second_liquid(double T, double P, const double x[20], double Dl, Stability& s) {
    s = Stability{};
    PhaseFeed p;
    if (!liquids_modelled() || !phase_feed(T, P, x, Dl, p)) return false;
    double K[20] = {};
    wilson_k(T, P, p.o, K);
    for (int a = 0; a < p.o.m; ++a) s.w[p.o.c[a]] = x[p.o.c[a]] * K[p.o.c[a]];
    // Wilson's vapour trial, taken only where it ends on a composition
    // without a gas root (its liquid root stood in): a liquid.
    double tm = 0.0;
    bool no_gas = false;
    if (!trial(T, P, x, p.d, p.o, p.feed, true, s.w, tm, s.K, nullptr, false, nullptr, nullptr,
               &no_gas) ||
        !no_gas || !(tm < kSecondLiquidDistance))
        return false;
    turn_over(p.o, s.K);
    unstable_liquid(Dl, tm, false, s);
    return true;
}

bool splits_off_vapour(double T, double P, const double x[20], double D, Stability& s) {
    s = Stability{};
    PhaseFeed p;
    if (!phase_feed(T, P, x, D, p)) return false;
    double K[20] = {};
    wilson_k(T, P, p.o, K);
    for (int start = 0; start < 2; ++start) {
        if (start == 0) {
            for (int a = 0; a < p.o.m; ++a) s.w[p.o.c[a]] = x[p.o.c[a]] * K[p.o.c[a]];
        } else {
            fugacity_sum(p.d, p.o, s.w);
        }
        // (A trial that ends on x or on the other phase of its split has a
        // distance of rounding size.)
        double tm = 0.0;
        if (trial(T, P, x, p.d, p.o, p.feed, true, s.w, tm, s.K) && tm < kSecondLiquidDistance) {
            unstable_liquid(D, tm, true, s);
            return true;
        }
    }
    return false;
}

}  // namespace lib::mix
