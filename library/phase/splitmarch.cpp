// A split at given temperature carried along the pressure by Newton's
// method.
#include "library/phase/splitmarch.h"

#include <algorithm>
#include <cmath>

#include "library/phase/splitnewton.h"

namespace lib::mix {
namespace {

// The march: its first step a quarter of the way, a step that converged
// followed by one kGrow times as long, one that failed retried kShrink
// times as long; it ends after kMaxSolves Newton runs, or where the step
// falls below kSmallestStep of the way.
constexpr double kFirstStep = 0.25;
constexpr double kGrow = 1.5;
constexpr double kShrink = 0.3;
constexpr int kMaxSolves = 30;
constexpr double kSmallestStep = 1e-4;
// A split whose vapour fraction moved by more than this from the one
// before fell onto another branch (or towards the trivial solution).
constexpr double kLargestQMove = 0.25;
// Phases closer than this (relative density) are one.
constexpr double kDistinct = 1e-6;

// The split at P from the split c (at another pressure): Newton's method
// to its end, both phases present and distinct, not far from c.
bool next_split(double T, double P, const double z[20], const TpResult& c, TpResult& n) {
    n = c;
    n.exact = false;
    if (!(refine_split(T, P, z, n, 0.0) <= kSplitAgreed)) return false;
    if (!(n.q > 0.0 && n.q < 1.0) || !(n.Dl > 0.0 && n.Dv > 0.0)) return false;
    if (std::fabs(n.Dl - n.Dv) < kDistinct * std::max(n.Dl, n.Dv)) return false;
    return std::fabs(n.q - c.q) < kLargestQMove;
}

}  // namespace

bool split_marched_to(double T, double r_P, double P, const double z[20], TpResult& r) {
    if (!(P > 0.0) || !(r_P > 0.0) || r_P == P) return false;
    TpResult c = r;
    double v = r_P;
    const double way = P - r_P;
    double h = kFirstStep * way;
    for (int solves = 0; solves < kMaxSolves; ++solves) {
        const bool last = std::fabs(h) >= std::fabs(P - v);
        const double next = last ? P : v + h;
        TpResult n;
        if (next_split(T, next, z, c, n)) {
            c = n;
            v = next;
            if (last) {
                r = c;
                return true;
            }
            h *= kGrow;
            continue;
        }
        h = (last ? P - v : h) * kShrink;
        if (std::fabs(h) < kSmallestStep * std::fabs(way)) return false;
    }
    return false;
}

}  // namespace lib::mix
