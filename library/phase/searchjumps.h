// The jumps that a search of a mixture's stable states along an isotherm
// or isobar meets (mixflash.cpp): a three-phase line between two kinds of
// split, two dense phases named the other way round, and the states at the
// ends of a bracket the march found.  Used by the searches of a vapour
// fraction, whose bounded number of states the narrowing of a jump spent.
#pragma once

#include <algorithm>
#include <cmath>

#include "library/phase/mixflash.h"

namespace lib::mix::jumps {

// A bracket narrower than `width` (kJumpWidthLnP of ln P, kJumpWidthT relative in T) whose
// states on either side are different splits (phases apart by more than
// kJumpApart in a mole fraction), or a split of a vapour fraction clear
// of 0 and 1 beside a single phase, closes on a jump of the state (a
// three-phase line), where no root lies: Brent's method there only halves
// it down to the last digits.  (Decane + water, 50 %, at 330.7 K and
// q 0.50318: the march up from the dew point at 2.7 kPa met the jump from
// a vapour and liquid to two liquids at 19.1 kPa, and its narrowing spent
// the search's states before the split of two liquids at 106 kPa.)
constexpr double kJumpWidthLnP = 1e-3;
constexpr double kJumpWidthT = 1e-5;
constexpr double kJumpApart = 0.02;

// How far the phases of split b lie from those of split a, matched as
// they are named (or turned the other way round): the largest difference
// of a mole fraction or share of a density.  (The vapour of nearly pure
// ammonia and the liquid of it beside octane's have one composition.)
inline double phases_apart(const TpState& a, const TpState& b, bool turned) {
    const double* bx = turned ? b.y : b.x;
    const double* by = turned ? b.x : b.y;
    const double bl = turned ? b.Dv : b.Dl, bv = turned ? b.Dl : b.Dv;
    const auto share = [](double u, double v) {
        const double m = std::max(std::fabs(u), std::fabs(v));
        return m > 0.0 ? std::fabs(u - v) / m : 0.0;
    };
    double d = std::max(share(a.Dl, bl), share(a.Dv, bv));
    for (int i = 0; i < 20; ++i)
        d = std::max({d, std::fabs(a.x[i] - bx[i]), std::fabs(a.y[i] - by[i])});
    return d;
}

// Whether two splits are the same phases named the other way round (their
// vapour fractions adding up to 1): only a jump of the vapour fraction.
constexpr double kRenamed = 0.01;
inline bool renamed(const TpState& a, const TpState& b) {
    if (!a.two_phase || !b.two_phase || std::fabs(a.q + b.q - 1.0) > kRenamed) return false;
    const double direct = phases_apart(a, b, false), turned = phases_apart(a, b, true);
    return direct > kJumpApart && turned < kRenamed * direct;
}

inline bool states_apart(const TpState& a, const TpState& b, bool quality = false) {
    if (a.two_phase != b.two_phase) {
        const TpState& split = a.two_phase ? a : b;
        return std::min(split.q, 1.0 - split.q) > kJumpApart;
    }
    if (!a.two_phase) return false;
    const double direct = phases_apart(a, b, false), turned = phases_apart(a, b, true);
    return (quality ? direct : std::min(direct, turned)) > kJumpApart;
}

// The function of a search of the vapour fraction (`quality`) as Brent's
// method sees it: once the states of its last evaluations on either side
// of zero lie within `width` and are apart (a jump), it fails without
// evaluating, so that the bracket is given up at once.  `last` is the
// state of f's last evaluation.  (Not for the other targets: along a
// continued metastable split, argon + R22 at 110.7 K, the search of an
// entropy then took the wrong way back and failed.)
template <class F>
struct JumpGuard {
    F& f;
    const TpState& last;
    double width = 0.0;
    // The vapour fraction is sought: two phases named the other way round
    // (two dense phases whose densities cross) are a jump of it too.
    bool quality = false;
    TpState above, below;
    double x_above = 0.0, x_below = 0.0;
    bool has_above = false, has_below = false, at_jump = false;

    bool operator()(double x, double& v) {
        if (at_jump || !f(x, v)) return false;
        if (v > 0.0) {
            above = last;
            x_above = x;
            has_above = true;
        } else {
            below = last;
            x_below = x;
            has_below = true;
        }
        at_jump = quality && has_above && has_below &&
                  ((quality && renamed(above, below)) ||
                   (std::fabs(x_above - x_below) <= width && states_apart(above, below, quality)));
        return true;
    }
};

// Whether two states of a search, each a split, are splits of two kinds
// (a vapour and a liquid, two liquids) and apart: a three-phase line lies
// between them, where the value jumps.
inline bool three_phase_between(const TpState& a, const TpState& b) {
    return a.two_phase && b.two_phase && a.two_liquids != b.two_liquids && states_apart(a, b);
}

// The halvings that place a three-phase line inside a bracket.
constexpr int kJumpHalvings = 40;

// The states of a search's last evaluations, by their abscissa: the states
// at the ends of a bracket the march found.
class RecentStates {
public:
    void keep(double x, const TpState& st) {
        x_[next_] = x;
        st_[next_] = st;
        next_ = (next_ + 1) % kKept;
        n_ = std::min(n_ + 1, kKept);
    }
    const TpState* at(double x) const {
        for (int i = 0; i < n_; ++i)
            if (x_[i] == x) return &st_[i];
        return nullptr;
    }

private:
    static constexpr int kKept = 8;
    double x_[kKept] = {};
    TpState st_[kKept];
    int n_ = 0, next_ = 0;
};

}  // namespace lib::mix::jumps
