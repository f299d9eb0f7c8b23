// A mixture's saturation point close to its critical point, reached along
// its line from a point farther from it.
#include "library/phase/satmarch.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/satrefine.h"
#include "library/phase/sattp.h"

namespace lib::mix {
namespace {

// Where the first point is sought: these shares of the target below it, the
// nearest first (R404A's bubble point at 344 K: Newton's method from the
// estimates finds the point at 340 K, not at 343 K).
constexpr double kFirstShares[] = {0.01, 0.03, 0.08, 0.2};
// The march: its first step a quarter of the way, a step that converged
// followed by one kGrow times as long, one that failed retried kShrink
// times as long; it ends after kMaxSolves Newton runs, or where the step
// falls below kSmallestStep of the target.
constexpr double kFirstStep = 0.25;
constexpr double kGrow = 1.5;
constexpr double kShrink = 0.3;
constexpr int kMaxSolves = 40;
constexpr double kSmallestStep = 1e-9;
// A step that failed and shrank below this share of the way still to go
// creeps up to the end of the line, which lies before the target (R448A's
// dew line ends at 4605.15 kPa: from there 40 Newton runs crept on towards
// 4700 kPa, 100 ms for no point).
constexpr double kCreep = 1e-3;
// A point whose densities moved by more than this factor from the point
// before lies on another line (or is the trivial solution).
constexpr double kLargestMove = 1.5;
// Phases closer than this (relative density) are one.
constexpr double kDistinct = 1e-6;

// A point's liquid is its denser phase by mass (by moles a liquid of
// larger molecules may be the lighter: propane + CO 50/50 at 180.9 K, 20.9
// MPa, 17.34 mol/L beside a CO-rich vapour of 17.79): where the incipient
// phase is the denser beside a bubble point's feed, or the lighter beside a
// dew point's, the point found is the other line's (R407C at 359.1953 K: a
// "dew point" of 4639.8 kPa, the liquid 5.38 beside the feed's 5.88 mol/L,
// is the bubble point; the dew point lies at 4597 kPa).  Phases whose densities
// differ by less than kTrivialDensity (relative) and compositions by less
// than kTrivialGap (summed) are the trivial solution, both nearly the feed
// (R407C at 359.21 K, 0.08 K below its critical point: 5.7972 beside
// 5.7967 mol/L, compositions 1e-5 apart, at 4638.2 kPa, where the dew
// point lies at 4599 kPa, 3.0 % of the composition apart; an azeotrope's
// phases differ in density as a pure fluid's).
constexpr double kTrivialDensity = 1e-2;
constexpr double kTrivialGap = 1e-3;

// One point of the line: the free variable v (T or P) and the state.
struct LinePoint {
    double v = 0.0, T = 0.0, P = 0.0, Dl = 0.0, Dv = 0.0, xl[20] = {}, xv[20] = {};
};

bool at_t(int k) { return k == kBubbleAtT || k == kDewAtT; }

// Whether the point has two distinct phases, the liquid the denser.
bool two_phases(const LinePoint& p) {
    return p.Dv > 0.0 && p.Dl > p.Dv * (1.0 + kDistinct) && std::isfinite(p.T) &&
           std::isfinite(p.P) && p.P > 0.0;
}

// Newton's method from the estimates at v (no fall-back road).
bool first_point(int k, const double z[20], double v, LinePoint& p) {
    p = LinePoint{};
    p.v = v;
    (at_t(k) ? p.T : p.P) = v;
    return saturation_newton_estimated(k, z, p.T, p.P, p.Dl, p.Dv, p.xl, p.xv) && two_phases(p);
}

// The start at v: the last point c, carried on along the secant from the
// point b before it where there is one.
LinePoint start_at(int k, const double z[20], const LinePoint& b, const LinePoint& c, bool have_b,
                   double v) {
    LinePoint s = c;
    s.v = v;
    (at_t(k) ? s.T : s.P) = v;
    if (!have_b || b.v == c.v) return s;
    const double r = (v - c.v) / (c.v - b.v);
    const auto on = [r](double yb, double yc) { return yc + r * (yc - yb); };
    if (at_t(k)) {
        s.P = c.P * std::exp(r * std::log(c.P / b.P));
    } else {
        s.T = on(b.T, c.T);
    }
    s.Dl = c.Dl * std::exp(r * std::log(c.Dl / b.Dl));
    s.Dv = c.Dv * std::exp(r * std::log(c.Dv / b.Dv));
    // The incipient phase's composition along the secant, kept inside (0, 1).
    const bool bubble = k == kBubbleAtT || k == kBubbleAtP;
    double* inc = bubble ? s.xv : s.xl;
    const double* ib = bubble ? b.xv : b.xl;
    const double* ic = bubble ? c.xv : c.xl;
    double sum = 0.0;
    for (int i = 0; i < 20; ++i) {
        if (!(z[i] > 0.0)) continue;
        inc[i] = std::clamp(on(ib[i], ic[i]), 0.5 * ic[i], std::min(1.0, 2.0 * ic[i]));
        sum += inc[i];
    }
    for (int i = 0; i < 20; ++i) inc[i] = z[i] > 0.0 ? inc[i] / sum : 0.0;
    return s;
}

// The point at v from start s; false where Newton's method fails or ends
// off the line of c.
bool next_point(int k, const double z[20], const LinePoint& c, LinePoint& s) {
    if (!saturation_newton_from(k, z, s.T, s.P, s.Dl, s.Dv, s.xl, s.xv)) return false;
    if (!two_phases(s) || not_this_line(s.Dl, s.Dv, s.xl, s.xv)) return false;
    const auto moved = [](double a, double b) { return std::max(a / b, b / a); };
    return moved(s.Dl, c.Dl) < kLargestMove && moved(s.Dv, c.Dv) < kLargestMove;
}

// The march from c to the target.
bool march(int k, const double z[20], double target, LinePoint c, LinePoint& found) {
    LinePoint b;
    bool have_b = false;
    double h = kFirstStep * (target - c.v);
    for (int solves = 0; solves < kMaxSolves; ++solves) {
        const bool last = std::fabs(h) >= std::fabs(target - c.v);
        const double v = last ? target : c.v + h;
        LinePoint s = start_at(k, z, b, c, have_b, v);
        if (next_point(k, z, c, s)) {
            if (last) {
                found = s;
                return true;
            }
            b = c;
            c = s;
            have_b = true;
            h *= kGrow;
            continue;
        }
        h = (last ? target - c.v : h) * kShrink;
        if (std::fabs(h) < kSmallestStep * std::fabs(target)) return false;
        if (std::fabs(h) < kCreep * std::fabs(target - c.v)) return false;
    }
    return false;
}

// The march from `first` to the target; the point found in the arguments.
bool march_to(int k, const double z[20], double target, const LinePoint& first, double& T,
              double& P, double& Dl, double& Dv, double xl[20], double xv[20]) {
    LinePoint found;
    if (!march(k, z, target, first, found)) return false;
    T = found.T;
    P = found.P;
    Dl = found.Dl;
    Dv = found.Dv;
    flash::copy20(found.xl, xl);
    flash::copy20(found.xv, xv);
    return true;
}

}  // namespace

bool not_this_line(double Dl, double Dv, const double xl[20], const double xv[20]) {
    double gap = 0.0;
    for (int i = 0; i < 20; ++i) gap += std::fabs(xl[i] - xv[i]);
    const bool trivial = std::fabs(Dl / Dv - 1.0) < kTrivialDensity && gap < kTrivialGap;
    return !(Dl * WMOL(xl) > Dv * WMOL(xv)) || trivial;
}

bool saturation_by_march(int k, const double z[20], double target, double& T, double& P, double& Dl,
                         double& Dv, double xl[20], double xv[20]) {
    if (!(target > 0.0) || k < kBubbleAtT || k > kDewAtP) return false;
    LinePoint first;
    bool have_first = false;
    for (const double share : kFirstShares) {
        if (first_point(k, z, target * (1.0 - share), first)) {
            have_first = true;
            break;
        }
    }
    return have_first && march_to(k, z, target, first, T, P, Dl, Dv, xl, xv);
}

bool saturation_march_from(int k, const double z[20], double target, double& T, double& P,
                           double& Dl, double& Dv, double xl[20], double xv[20]) {
    if (!(target > 0.0) || k < kBubbleAtT || k > kDewAtP) return false;
    LinePoint first;
    first.v = at_t(k) ? T : P;
    first.T = T;
    first.P = P;
    first.Dl = Dl;
    first.Dv = Dv;
    flash::copy20(xl, first.xl);
    flash::copy20(xv, first.xv);
    return two_phases(first) && march_to(k, z, target, first, T, P, Dl, Dv, xl, xv);
}

}  // namespace lib::mix
