// The three-phase line an isotherm's stable density or an isobar's
// enthalpy or entropy jumps across: the pressure or temperature where two
// splits have the same Gibbs energy, and the stable states beside it.
#include "library/phase/threephase.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/searchjumps.h"
#include "library/phase/tpflsh.h"
#include "library/phase/tpmix.h"

namespace lib::mix {
namespace {

// The split st continued to (T, P), in place: false where it does not
// converge on two distinct phases, both present.
bool continued_to(double T, double P, const double z[20], TpState& st) {
    bool equilibrium = false;
    int jerr = 0;
    std::string jmsg;
    continue_split(T, P, z, st.Dl, st.Dv, st.x, st.y, st.q, equilibrium, jerr, jmsg);
    if (jerr > 0 || !equilibrium || !(st.q > 1e-9 && st.q < 1.0 - 1e-9) ||
        !(std::fabs(st.Dl - st.Dv) > 1e-6 * st.Dl))
        return false;
    double cv = 0, cp = 0, w = 0;
    flash::mix_phases(T, st.q, st.Dl, st.Dv, st.x, st.y, st.e, st.h, st.s, cv, cp, w);
    st.T = T;
    st.P = P;
    st.D = flash::mixed_density(st.q, st.Dl, st.Dv);
    return std::isfinite(st.D) && st.D > 0.0 && std::isfinite(st.h) && std::isfinite(st.s);
}

// Newton's steps in ln p on the difference of the Gibbs energies of two
// splits, and the step that counts as converged.
constexpr int kThreePhaseSteps = 20;
constexpr double kThreePhaseStep = 1e-12;

// The pressure at T where the splits a and b of feed z (continued from
// their states) have the same Gibbs energy: the three-phase line between
// them.  d(G_a - G_b)/d ln p = p (V_a - V_b) for splits in equilibrium.
bool three_phase_pressure(double T, const double z[20], TpState& a, TpState& b, double& p3) {
    double lnp = std::log(a.P);
    for (int k = 0; k < kThreePhaseSteps; ++k) {
        const double p = std::exp(lnp);
        if (!continued_to(T, p, z, a) || !continued_to(T, p, z, b)) return false;
        const double dg = (a.h - T * a.s) - (b.h - T * b.s);
        const double dv = 1.0 / a.D - 1.0 / b.D;
        const double step = std::clamp(-dg / (p * dv), -0.5, 0.5);
        if (!std::isfinite(step)) return false;
        lnp += step;
        if (std::fabs(step) <= kThreePhaseStep) {
            p3 = std::exp(lnp);
            return true;
        }
    }
    return false;
}

// Along an isobar: the longest step of a split's continuation, and the
// largest of Newton's steps, as a share of T; the bracket of the line
// halved down to this share before Newton's method starts, in at most so
// many halvings.
constexpr double kContinuationStep = 0.01;
constexpr double kLargestTStep = 0.02;
constexpr double kNarrowBracket = 0.01;
constexpr int kHalvings = 8;
// A phase's density changed by more than this in ln D in one step of the
// continuation has fallen onto another root (a gas carried below its
// spinodal onto a liquid's).
constexpr double kLeastFall = 0.2;

// The split st continued along the isobar to T in steps of at most
// kContinuationStep (a metastable split carried far in one step may fall
// onto the other: carbon dioxide + water 50/50 at 6 MPa, its two liquids
// continued from 255 K and its gas and water from 307 K met at 281 K).
bool continued_along(double T, double P, const double z[20], TpState& st) {
    // (Each step's phases beside those before: no fall onto another root.)
    const auto step_to = [&](double t) {
        const double dl = st.Dl, dv = st.Dv;
        return continued_to(t, P, z, st) && std::fabs(std::log(st.Dl / dl)) < kLeastFall &&
               std::fabs(std::log(st.Dv / dv)) < kLeastFall;
    };
    while (std::fabs(T - st.T) > kContinuationStep * st.T)
        if (!step_to(st.T * (1.0 + (T > st.T ? kContinuationStep : -kContinuationStep))))
            return false;
    return step_to(T);
}

// The difference in Gibbs energy of the splits a and b, both at the same
// temperature: false where they have fallen onto one split.
bool gibbs_difference(const TpState& a, const TpState& b, double& dg) {
    if (!jumps::states_apart(a, b)) return false;
    dg = (a.h - a.T * a.s) - (b.h - b.T * b.s);
    return std::isfinite(dg);
}

// The bracket (a.T, b.T) of the three-phase line halved once: the half
// whose end has the split of the lower Gibbs energy at the middle, or
// where only one split continues to the middle (the other's metastable
// part ends short of it), the half on that one's side.
bool halved(double P, const double z[20], TpState& a, TpState& b) {
    const double tm = 0.5 * (a.T + b.T);
    TpState am = a, bm = b;
    const bool a_on = continued_along(tm, P, z, am), b_on = continued_along(tm, P, z, bm);
    double dg = 0.0;
    if (a_on && b_on && !gibbs_difference(am, bm, dg)) return false;
    if (a_on && (!b_on || dg < 0.0))
        a = am;
    else if (b_on)
        b = bm;
    else
        return false;
    return true;
}

// Newton's method from T on the difference in Gibbs energy of the splits a
// and b (continued in place): d(G_a - G_b)/dT = -(S_a - S_b) for splits in
// equilibrium.
bool newton_on_gibbs(double T, double P, const double z[20], TpState& a, TpState& b, double& t3) {
    for (int k = 0; k < kThreePhaseSteps; ++k) {
        double dg = 0.0;
        if (!continued_along(T, P, z, a) || !continued_along(T, P, z, b) ||
            !gibbs_difference(a, b, dg))
            return false;
        const double step = std::clamp(dg / ((a.s - b.s) * T), -kLargestTStep, kLargestTStep);
        if (!std::isfinite(step)) return false;
        T *= 1.0 + step;
        if (std::fabs(step) <= kThreePhaseStep) {
            t3 = T;
            return true;
        }
    }
    return false;
}

// The temperature at P where the splits a (stable below, at a.T) and b
// (stable above, at b.T) of feed z have the same Gibbs energy: the
// three-phase line between them.  Their bracket is halved down to
// kNarrowBracket, then Newton's method solves it from the middle, else
// from either end (a metastable split may not reach the middle: propane +
// water 80/20 at 4 MPa, the gas and water of 365.244 K not 1 K below).
bool three_phase_temperature(double P, const double z[20], TpState& a, TpState& b, double& t3) {
    for (int k = 0; k < kHalvings && b.T - a.T > kNarrowBracket * a.T; ++k)
        if (!halved(P, z, a, b)) return false;
    for (const double T : {0.5 * (a.T + b.T), b.T, a.T}) {
        TpState at = a, bt = b;
        if (newton_on_gibbs(T, P, z, at, bt, t3)) {
            a = at;
            b = bt;
            return true;
        }
    }
    return false;
}

// Whether the stable state st is the split s (the same pair of phases).
bool same_split(const TpState& st, const TpState& s) {
    constexpr double kSamePhase = 1e-3;
    const auto near = [](double u, double v) { return std::fabs(u / v - 1.0) <= kSamePhase; };
    return st.two_phase &&
           ((near(st.Dl, s.Dl) && near(st.Dv, s.Dv)) || (near(st.Dl, s.Dv) && near(st.Dv, s.Dl)));
}

// The pressures beside the three-phase line at which the stable states are
// checked, relative to its pressure found, each tried in turn while the
// flash there still takes the split of the other side or fails: the (T, p)
// flash takes its own line a little away from where the Gibbs energies
// meet (cyclohexane + DMC at 280 K: its jump at 6.8314404 kPa, the line at
// 6.8314387 kPa; at 277.6 K, more than 1e-5 apart), and fails within 0.3 %
// of the line of R403B at 167.15 K, 1.8916 kPa (at 160 K, 0.9046 kPa,
// from 0.3 % below to 1 % above it).
constexpr double kBesideLine[] = {1e-5, 1e-4, 1e-3, 1e-2, 3e-2};
// The least distance in ln D of either side of the jump from D: ten times
// what a search takes for a root (no_jump), where a state at the line
// itself would be found.
constexpr double kGapMargin = 1e-8;

// Steps in ln p from a single phase beside a jump to the split next to it.
constexpr double kSideStep = 0.05;
constexpr int kSideSteps = 12;

// The split st of a jump's side, or where st is a single phase the first
// stable split from it towards the other side (dir: up the isotherm from
// below D, +1, or down from above, -1), whose density stays on st's side
// of D: the search continued the two liquids beyond the three-phase line
// down to the dew point (cyclohexane + DMC at 284.2 K, 10.41 mol/L: a jump
// from the vapour at 6.30 kPa, the line at 8.47 kPa).
bool split_beside(double T, double D, const double z[20], double dir, StateMemo& memo,
                  TpState& st) {
    for (int k = 1; k <= kSideSteps && !st.two_phase; ++k) {
        TpState next;
        if (!memo.at(T, st.P * std::exp(dir * kSideStep), z, next) || (next.D < D) != (dir > 0.0))
            return false;
        st = next;
    }
    return st.two_phase;
}

// The least distance of a value beside the band from b, relative to |b| + 1:
// ten times what the search along the isobar takes for a root, where a
// state at the line itself would be found.
constexpr double kValueMargin = 1e-7;

}  // namespace

// Whether the density D of feed z at T lies inside a three-phase region:
// the jump of a search along the isotherm between a vapour and a liquid
// and two liquids (either continued across the three-phase line) is that
// line, whose pressure is where the two splits have the same Gibbs energy;
// the stable states just below and above it are those splits, and each
// split, continued across the narrow band between, stays on its side of D.
// Then the stable density, rising with the pressure, passes D in a jump
// and no state of the isotherm has it (cyclohexane + DMC at 280 K,
// 10.41 mol/L: the vapour and liquid of 0.0063 mol/L and the two liquids
// of 10.476 mol/L at 6.8314 kPa; the second pass's search closed on that
// jump in 66 ms).
bool inside_three_phase(double T, double D, const double z[20], const DensityJump& jump,
                        StateMemo& memo) {
    TpState lo3 = jump.lo, hi3 = jump.hi;
    if (!jump.found || !split_beside(T, D, z, 1.0, memo, lo3) ||
        !split_beside(T, D, z, -1.0, memo, hi3) || lo3.two_liquids == hi3.two_liquids)
        return false;
    double p3 = 0.0;
    if (!three_phase_pressure(T, z, lo3, hi3, p3)) return false;
    for (const double beside : kBesideLine) {
        const double p_below = p3 * (1.0 - beside), p_above = p3 * (1.0 + beside);
        // Each split at both edges of the band: across it (lo at its upper
        // edge, hi at its lower) on its side of D.
        TpState lo_below = lo3, lo_above = lo3, hi_below = hi3, hi_above = hi3;
        if (!continued_to(T, p_below, z, lo_below) || !continued_to(T, p_above, z, lo_above) ||
            !continued_to(T, p_below, z, hi_below) || !continued_to(T, p_above, z, hi_above) ||
            !(std::log(lo_above.D / D) < -kGapMargin) || !(std::log(hi_below.D / D) > kGapMargin))
            return false;
        TpState below, above;
        // (Where the flash fails, beside a line it cannot settle, farther.)
        if (!memo.at(T, p_below, z, below) || !memo.at(T, p_above, z, above)) continue;
        const bool below_lo = same_split(below, lo_below) && std::log(below.D / D) < -kGapMargin;
        const bool above_hi = same_split(above, hi_above) && std::log(above.D / D) > kGapMargin;
        if (below_lo && above_hi) return true;
        // (Still the other side's split: farther from the line.)
        if (!(below_lo || same_split(below, hi_below)) ||
            !(above_hi || same_split(above, lo_above)))
            return false;
    }
    return false;
}

bool inside_three_phase_band(double P, char letter, double b, const double z[20], const TpState& lo,
                             const TpState& hi, StateMemo& memo) {
    if ((letter != 'H' && letter != 'S') || !lo.two_phase || !hi.two_phase ||
        !jumps::states_apart(lo, hi))
        return false;
    TpState lo3 = lo, hi3 = hi;
    double t3 = 0.0;
    if (!three_phase_temperature(P, z, lo3, hi3, t3)) return false;
    const double margin = kValueMargin * (std::fabs(b) + 1.0);
    const auto under = [&](const TpState& st) {
        return (letter == 'S' ? st.s : st.h) < b - margin;
    };
    const auto over = [&](const TpState& st) { return (letter == 'S' ? st.s : st.h) > b + margin; };
    if (!under(lo3) || !over(hi3)) return false;
    for (const double beside : kBesideLine) {
        const double t_below = t3 * (1.0 - beside), t_above = t3 * (1.0 + beside);
        // Each split at both edges of the band: across it (lo at its upper
        // edge, hi at its lower) on its side of b.
        TpState lo_below = lo3, lo_above = lo3, hi_below = hi3, hi_above = hi3;
        if (!continued_to(t_below, P, z, lo_below) || !continued_to(t_above, P, z, lo_above) ||
            !continued_to(t_below, P, z, hi_below) || !continued_to(t_above, P, z, hi_above) ||
            !under(lo_above) || !over(hi_below))
            return false;
        TpState below, above;
        // (Where the flash fails, beside a line it cannot settle, farther.)
        if (!memo.at(t_below, P, z, below) || !memo.at(t_above, P, z, above)) continue;
        const bool below_lo = same_split(below, lo_below) && under(below);
        const bool above_hi = same_split(above, hi_above) && over(above);
        if (below_lo && above_hi) return true;
        // (Still the other side's split: farther from the line.)
        if (!(below_lo || same_split(below, hi_below)) ||
            !(above_hi || same_split(above, lo_above)))
            return false;
    }
    return false;
}

}  // namespace lib::mix
