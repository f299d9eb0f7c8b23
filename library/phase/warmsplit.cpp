// Warm starts of a mixture's two-phase flashes at given pressure: the states
// kept per feed, the secant iteration on the temperature from one and the
// test of the state found for stability.
#include "library/phase/warmsplit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/composition_cache.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/mixflash.h"
#include "library/phase/stability.h"
#include "library/phase/warmstart.h"
#include "library/setup/records.h"

namespace lib::warm {
namespace {

// The last two-phase states of a few feeds (the oldest goes first).
// The last split of a few compositions (the oldest goes first); current:
// not followed by a flash of another phase.
struct KeptSplit {
    Split s;
    bool current = false;
};
CompositionCache<KeptSplit> splits;

constexpr int kMaxSplitSteps = 8;  // secant steps before the cold road is taken
// The relative step in T at which the root is held: the property of a split
// scatters by some 1e-13 of T (its fugacities agree to 1e-11).
constexpr double kConverged = 5e-13;
constexpr double kSlopeFloor = 1e-9;  // relative step in T below which no slope is taken
constexpr double kFarPressure = 0.2;  // a start at a pressure this share away is no start
constexpr double kFarStep = 0.1;      // nor one whose root lies this share of T away
constexpr double kSlopeStep = 1e-5;   // relative step in T of a slope not known
constexpr double kEdge = 1e-9;        // a vapour fraction this close to 0 or 1 is no split
// Phases closer than this ratio of densities lie near a critical point,
// where a split's property scatters by more than the last digits of T (its
// vapour fraction moves fast with its fugacities): the cold road decides.
constexpr double kDistinctPhases = 4.0;
// The share of its density within which the stable root of the lighter
// phase's composition is that phase.
constexpr double kSameRoot = 1e-6;
// The least compressibility factor of a lighter phase taken for a gas.
constexpr double kPlainGasZ = 0.5;
// The share of one component in a liquid that a trial from that component
// nearly pure starts beside.
constexpr double kNearlyPureLiquid = 0.99;
// The share of its vapour pressure below which a component's partial
// pressure in a gas starts no liquid of it.
constexpr double kNearCondensing = 0.01;

// Whether the cold road decides the split s of z at (T, P) for a frozen
// component: a trace it carries in both phases (the split of the rest; a
// continued split costs more than its road there), a liquid made mostly of
// frozen components, or one that would deposit from its phases (error 250).
// Below the freezing of a component dissolved in the phases (the 0.9 % of
// carbon dioxide of Natural Gas Groningen below 194.9 K, where its p-flashes
// all went the cold road, 3 ms each in place of 0.6 ms) the split is the
// cold road's where it is none of these.
bool refused_frozen(double T, double P, const double z[20], const Split& s) {
    if (!mix::any_frozen(T, z)) return false;
    if (mix::frozen_trace(T, z).any) return true;
    if (mix::frozen_liquid(T, s.x, s.y, s.Dl, s.Dv, false) >= 0) return true;
    double f[20] = {};
    int jerr = 0;
    std::string jmsg;
    FGCTY2(T, s.Dv, s.y, f, jerr, jmsg);
    return jerr > 0 || mix::freezing_component(T, P, z, f) >= 0;
}

// The split of z at (T, P) continued from the split `from`, its K-values
// moved first where `moved`: along from.dlnk in T, and as 1/P to another
// pressure; false unless its fugacities agree.
bool continued(double T, double P, const double z[20], const Split& from, bool moved, Split& s) {
    s = from;
    if (moved) {  // (continue_split takes K_i = y_i / x_i)
        // At another pressure K falls with it, as an ideal solution's does.
        const double lnp = std::log(from.P / P);
        for (int i = 0; i < kMaxComp; ++i) s.y[i] *= std::exp(from.dlnk[i] * (T - from.T) + lnp);
    }
    bool equilibrium = false;
    int jerr = 0;
    std::string jmsg;
    mix::continue_split(T, P, z, s.Dl, s.Dv, s.x, s.y, s.q, equilibrium, jerr, jmsg,
                        &s.contraction);
    return jerr <= 0 && equilibrium;
}

bool any_slope(const Split& s) {
    for (double d : s.dlnk)
        if (d != 0.0) return true;
    return false;
}

// The split of z at (T, P) continued from the split `from` (its K-values
// moved along its slope and to P; where that fails, not moved),
// with its mixed properties: false unless its fugacities agree with both
// phases present.
bool split_at(double T, double P, const double z[20], const Split& from, Split& out) {
    Split s;
    const bool moved = T != from.T && any_slope(from);
    if (!continued(T, P, z, from, moved, s) && !(moved && continued(T, P, z, from, false, s)))
        return false;
    if (!(s.q > kEdge && s.q < 1.0 - kEdge) || !(s.Dl > kDistinctPhases * s.Dv)) return false;
    if (refused_frozen(T, P, z, s)) return false;
    double cv = 0, cp = 0, w = 0;
    flash::mix_phases(T, s.q, s.Dl, s.Dv, s.x, s.y, s.e, s.h, s.s, cv, cp, w);
    if (!std::isfinite(s.h) || !std::isfinite(s.s)) return false;
    s.T = T;
    s.P = P;
    out = s;
    return true;
}

// Whether the lighter phase of the split s is a plain gas, of two fluid
// components or more: its compressibility factor above kPlainGasZ, none
// of them frozen (the trials from nearly pure components then apply).
bool plain_gas_phase(const Split& s) {
    int present = 0;
    for (int i = 0; i < kMaxComp; ++i) present += s.y[i] > 0.0 ? 1 : 0;
    if (present < 2 || mix::any_frozen(s.T, s.y)) return false;
    double R = 0.0;
    RMIX2(s.y, R);
    return s.P / (s.Dv * R * s.T) > kPlainGasZ;
}

// Whether the liquid of the split s is the only start of those trials
// that could end below the plane: the one component of the gas below its
// critical temperature whose partial pressure reaches kNearCondensing of
// its vapour pressure (ancillary equation; a trace as the 0.04 % of carbon
// dioxide of humid air lies far below its own), and the liquid nearly that
// component (humid air beside its water), so that the one trial would
// start on the liquid and end there.
bool liquid_is_only_start(const Split& s) {
    int close = 0, last = -1;
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i) {
        if (!(s.y[i] > 0.0) || !(s.T < CCON.tc[i + 1])) continue;
        double p = 0.0;
        int ierr = 0;
        std::string herr;
        if (s.T > CCON.ttp[i + 1]) PSATK(i + 1, s.T, p, ierr, herr);
        if (ierr != 0 || !(p > 0.0) || !std::isfinite(p) || s.y[i] * s.P >= kNearCondensing * p) {
            ++close;
            last = i;
        }
    }
    return close == 1 && s.x[last] >= kNearlyPureLiquid;
}

double value(char letter, const Split& s) { return letter == 'S' ? s.s : s.h; }

// next.dlnk: the slope of ln K from the split a to the split next (at one
// pressure, apart in T).
void ln_k_slope(const Split& a, Split& next) {
    for (int i = 0; i < kMaxComp; ++i) {
        const double ka = a.x[i] > 0.0 ? a.y[i] / a.x[i] : 0.0;
        const double kn = next.x[i] > 0.0 ? next.y[i] / next.x[i] : 0.0;
        const double d = ka > 0.0 && kn > 0.0 ? std::log(kn / ka) / (next.T - a.T) : 0.0;
        next.dlnk[i] = std::isfinite(d) ? d : 0.0;
    }
}

}  // namespace

bool recall_split(const double z[20], Split& s) {
    const KeptSplit* kept = splits.peek(z);
    if (kept == nullptr || !kept->current) return false;
    splits.find(z);  // (marked as used)
    s = kept->s;
    return true;
}

void remember_split(const double z[20], const Split& s) {
    if (active()) splits.place(z) = KeptSplit{s, true};
}

void left_two_phase(const double z[20]) {
    if (KeptSplit* kept = splits.peek(z)) kept->current = false;
}

void forget_splits() { splits.clear(); }

bool solve_split(char letter, double P, double b, const double z[20], const Split& start,
                 Split& out) {
    if (!(start.T > 0.0) || !(P > 0.0) || !(std::fabs(P - start.P) <= kFarPressure * start.P))
        return false;
    // The first split where the start's slope of the property reaches b
    // (at the start's temperature where the slope is not known), at the new
    // pressure.
    double slope = letter == 'S' ? start.slope / start.T : start.slope;
    const bool known = slope > 0.0 && std::isfinite(slope);
    double t = known ? start.T - (value(letter, start) - b) / slope : start.T;
    if (!(t > 0.0) || std::fabs(t - start.T) > kFarStep * start.T) return false;
    Split cur;
    if (!split_at(t, P, z, start, cur)) return false;
    // (The start's slope of ln K, at its own pressure, serves until this
    // iteration has two splits of its own.)
    std::copy(std::begin(start.dlnk), std::end(start.dlnk), std::begin(cur.dlnk));
    double f = value(letter, cur) - b;
    // Without a slope, a second split close by gives one.
    if (!known) {
        const double tn = t * (1.0 - kSlopeStep);
        Split near;
        if (!split_at(tn, P, z, cur, near)) return false;
        slope = (f - (value(letter, near) - b)) / (t - tn);
        if (!(slope > 0.0) || !std::isfinite(slope)) return false;
    }
    // Secant steps until the next would lie within the last digits of T.
    for (int k = 0;; ++k) {
        const double step = f / slope;
        if (std::fabs(step) <= kConverged * t) break;
        if (k == kMaxSplitSteps) return false;
        const double tn = t - step;
        if (!(tn > 0.0) || std::fabs(tn - start.T) > kFarStep * start.T) return false;
        Split next;
        if (!split_at(tn, P, z, cur, next)) return false;
        const double fn = value(letter, next) - b;
        // (A secant over a step within the splits' own scatter, some 1e-13
        // of T, says nothing: the slope before stays.)
        if (std::fabs(tn - t) > kSlopeFloor * t) {
            const double s = (fn - f) / (tn - t);
            if (s > 0.0 && std::isfinite(s)) slope = s;
            ln_k_slope(cur, next);
        } else {
            std::copy(std::begin(cur.dlnk), std::end(cur.dlnk), std::begin(next.dlnk));
        }
        t = tn;
        f = fn;
        cur = next;
    }
    cur.slope = letter == 'S' ? slope * t : slope;
    cur.stable_T = start.stable_T > 0.0 ? start.stable_T : start.T;
    cur.stable_P = start.stable_P > 0.0 ? start.stable_P : start.P;
    if (!stable_split(cur)) return false;
    out = cur;
    return true;
}

bool stable_split(Split& s) {
    if (std::fabs(s.T - s.stable_T) <= kSameState * s.T &&
        std::fabs(s.P - s.stable_P) <= kSameState * s.P)
        return true;
    // (The phases share one tangent plane: a phase below it is found from
    // either; the lighter one's test tries the fewer trials.)  A plain gas's
    // third phase is a liquid: the liquid trials from its nearly pure
    // components find it (the propane off the vapour beside water) at half
    // the work of the full test, whose other trials end on the gas itself
    // or on the liquid beside it.
    if (plain_gas_phase(s)) {
        mix::Stability t;
        if (!liquid_is_only_start(s) && mix::second_liquid(s.T, s.P, s.y, s.Dv, t)) return false;
    } else {
        const mix::Stability t = mix::stability(s.T, s.P, s.y);
        if (!t.found || !t.stable || !(std::fabs(t.D - s.Dv) <= kSameRoot * s.Dv)) return false;
    }
    s.stable_T = s.T;
    s.stable_P = s.P;
    return true;
}

}  // namespace lib::warm
