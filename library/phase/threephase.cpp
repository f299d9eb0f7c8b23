// The three-phase line an isotherm's stable density jumps across: the
// pressure where two splits have the same Gibbs energy, and the stable
// states beside it.
#include "library/phase/threephase.h"

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
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

}  // namespace lib::mix
