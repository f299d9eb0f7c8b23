// Density roots of the trial phases of the tangent-plane test.  Each trial
// changes its composition from step to step, and each step needs the
// trial's root at (T, P): the density solver without a start value spends
// some twenty evaluations and its checks on each, Newton's steps from the
// last root or the feed's three to five.
#include "library/phase/trialroot.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/pr.h"
#include "library/models/press.h"
#include "library/phase/dens.h"
#include "library/phase/flashutil.h"
#include "library/phase/psatest.h"
#include "library/phase/tprho.h"
#include "library/setup/records.h"

namespace lib::mix {

bool near_root(double T, double P, const double w[20], double D0, double& D) {
    double d = D0;
    for (int k = 0; k < 8; ++k) {
        const PressDerivs v = press_slope(T, d, w);
        if (!(v.d1 > 0.0) || !std::isfinite(v.p)) return false;
        const double step = (P - v.p) / v.d1;
        d += step;
        if (!(d > 0.0) || !(std::fabs(d / D0 - 1.0) < 0.1)) return false;
        if (std::fabs(step) <= 1e-10 * d) {
            D = d;
            return true;
        }
    }
    return false;
}

bool sided_root(double T, double P, const double w[20], double D0, bool liquid, double& D,
                double floor, const PressDerivs* at_start) {
    const bool from_above = floor > 0.0;
    constexpr int kSteps = 30;
    constexpr double kMaxModulus = 1e10;  // kPa
    double d = D0;
    for (int k = 0; k < kSteps; ++k) {
        const PressDerivs v = k == 0 && at_start != nullptr ? *at_start : press_slope(T, d, w);
        if (!(v.d1 > 0.0) || !std::isfinite(v.p)) return false;
        // (A bulk modulus D dP/dD beyond 1e10 kPa is no fluid's: a density
        // beyond the co-volume of a cubic equation.)
        if (d * v.d1 > kMaxModulus) return false;
        const double step = (P - v.p) / v.d1;
        // Down onto a liquid root, up onto a gas root (but for rounding);
        // the first step from the other side at most doubles the density.
        const bool back = liquid ? step > 0.0 : step < 0.0;
        if ((k > 0 || from_above) && back && std::fabs(step) > 1e-12 * d) return false;
        if (step > d) return false;
        // (Newton's method converges quadratically: after a step below
        // 1e-7 the density is off by some 1e-14.)
        if (std::fabs(step) <= 1e-7 * d && std::fabs(v.p - P) <= 1e-3 * std::max(P, 1.0)) {
            D = d + step;
            return D > 0.0;
        }
        d += step;
        if (!(d > floor)) return false;
    }
    return false;
}

namespace {

// The march of vapour_root; `at_ideal` (where given) holds the pressure and
// slope at the ideal gas's density, its first state.
bool march(double T, double P, const double w[20], double& D, const PressDerivs* at_ideal) {
    // A march of the pressure in steps of 30 % in density from the ideal
    // gas's density where the pressure there is below P (no gas crosses P
    // below it with its pressure rising), else from a quarter of it; it
    // reaches 30 steps beyond that, and the root is solved inside the
    // bracket.  Where the pressure turns back before it reaches P, there is
    // no vapour (the density solver spent some 120 pressures on failing
    // there).
    const double quarter = 0.25 * P / (8.314 * T);
    const double top = quarter * std::pow(1.3, 30) * (1.0 + 1e-9);
    // (The pressures with their slopes: the steps onto the root start from
    // the ends of the bracket without evaluating them again.)
    double d = 4.0 * quarter;
    PressDerivs v0 = at_ideal != nullptr && d == P / (8.314 * T) ? *at_ideal : press_slope(T, d, w);
    if (!(v0.p < P) || !(v0.p > 0.0)) {
        d = quarter;
        v0 = press_slope(T, d, w);
    }
    if (!(v0.p < P) || !(v0.p > 0.0)) return false;
    for (int k = 0; k < 30; ++k) {
        const double dn = 1.3 * d;
        if (dn > top) return false;
        const PressDerivs v = press_slope(T, dn, w);
        const double p = v.p;
        if (!std::isfinite(p) || !(p > v0.p)) return false;
        if (p >= P) {
            // Newton's steps from below stay below the root on the rising
            // concave branch of a gas and end on it in three or four
            // evaluations; those from above where the isotherm is convex
            // there (past its inflection, above the critical pressure: air
            // at 120 K, 10 MPa); the bracketing solver (some ten) where
            // both leave the bracket.
            double root = 0.0;
            if ((sided_root(T, P, w, d, false, root, 0.0, &v0) && root >= d && root <= dn) ||
                (sided_root(T, P, w, dn, true, root, 0.0, &v) && root >= d && root <= dn)) {
                D = root;
                return true;
            }
            int jerr = 0;
            std::string jmsg;
            TPRHOB(T, P, d, dn, w, root, jerr, jmsg);
            if (jerr != 0 || !(root > 0.0)) return false;
            D = root;
            return true;
        }
        d = dn;
        v0 = v;
    }
    return false;
}

}  // namespace

bool vapour_root(double T, double P, const double w[20], double& D) {
    return march(T, P, w, D, nullptr);
}

bool first_root(double T, double P, const double w[20], double D) {
    double last = 0.0;
    for (int k = 1; k < 8; ++k) {
        double p = 0.0;
        PRESS(T, D * k / 8.0, w, p);
        if (!(p < P) || p < last) return false;
        last = p;
    }
    return true;
}

bool first_crossing_below(double T, double P, const double w[20], double D, double& root) {
    constexpr int kCrossingScan = 32;
    double below = 0.0;
    for (int k = 1; k < kCrossingScan; ++k) {
        const double d = D * k / kCrossingScan;
        double p = 0.0;
        PRESS(T, d, w, p);
        if (!std::isfinite(p)) return false;
        if (p < P) {
            below = d;
            continue;
        }
        int jerr = 0;
        std::string jmsg;
        double r = 0.0;
        TPRHOB(T, P, below, d, w, r, jerr, jmsg);
        if (jerr != 0 || !(r > 0.0) || !first_root(T, P, w, r)) return false;
        root = r;
        return true;
    }
    return false;
}

bool no_dense_root(double T, double P, const double w[20], double Dc, double Dv) {
    constexpr int kSteps = 6;
    double d = 2.0 * Dc;
    if (!(Dv > 0.0) || !(d > 1.5 * Dv)) return false;
    PressDerivs v = press_slope(T, d, w);
    if (!std::isfinite(v.p) || !(v.d1 > 0.0) || !(v.p > P)) return false;
    double before = 0.0, slope_before = 0.0;  // the step's last point and its slope
    for (int k = 0; k < kSteps; ++k) {
        // Newton's step: the tangent at d, below a convex isotherm, reaches
        // P at `next`; every density between lies above P on the tangent.
        const double next = d - (v.p - P) / v.d1;
        double e = next;
        if (k > 0) {
            // The minimum the last two slopes put ahead (the slope linear in
            // the density): below P, a liquid root follows, which the
            // density solver is to find.
            const double curvature = (slope_before - v.d1) / (before - d);
            const double at = d - v.d1 / curvature;
            if (!(curvature > 0.0) || v.p - 0.5 * v.d1 * (d - at) <= P) return false;
            // A point beyond it rather than the tangent's, which may lie
            // past a loop of the isotherm.
            e = std::max(next, 2.0 * at - d);
        }
        // (Down onto the gas root: one rising branch, no proof here.)
        if (!(e > 1.5 * Dv)) return false;
        const PressDerivs n = press_slope(T, e, w);
        if (!std::isfinite(n.p) || !(n.p > P) || !(n.d1 < v.d1)) return false;
        // Past the minimum, between e and d: there the isotherm lies above
        // its tangent at d, which lies above P.
        if (!(n.d1 > 0.0)) return true;
        before = d;
        slope_before = v.d1;
        d = e;
        v = n;
    }
    return false;
}

namespace {

// The root of a compressed fluid above its critical pressure: Newton's
// steps of ln P in ln D from the densest state of its equations, on a dense
// isotherm nearly straight in those (three or four steps; the density
// solver starts at twice the critical density and takes steps of at most
// 11 % in density: at 200 K, 1 GPa the roots of dry air's trials took it 90
// evaluations, these 37).  False where a step meets a falling isotherm or
// leaves kSpan of the last density.
bool dense_root(double T, double P, const double w[20], double& D) {
    constexpr int kSteps = 12;
    constexpr double kSpan = 0.5;  // largest |ln| of one step
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", w, tmin, tmax, dmax, pmax);
    if (!(dmax > 0.0)) return false;
    double d = dmax;
    for (int k = 0; k < kSteps; ++k) {
        const PressDerivs v = press_slope(T, d, w);
        if (!std::isfinite(v.p) || !(v.p > 0.0) || !(v.d1 > 0.0)) return false;
        const double step = -std::log(v.p / P) * v.p / (d * v.d1);
        if (!(std::fabs(step) < kSpan)) return false;
        // (Quadratic convergence: after a step below 1e-7 the density is off
        // by some 1e-14.)
        if (std::fabs(step) <= 1e-7) {
            D = d * std::exp(step);
            return true;
        }
        d *= std::exp(step);
    }
    return false;
}

// The ideal solution's bubble pressure of w at T on its components'
// estimated vapour pressures.
double ideal_bubble_pressure(double T, const double w[20]) {
    double p = 0.0;
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i)
        if (w[i] > 0.0) p += w[i] * std::exp(ln_vapour_pressure_estimate(i, T));
    return p;
}

// Whether a composition w below its critical point (Tc, Pc, Dc), whose
// liquid would lie below its estimated bubble pressure at (T, P), has a gas
// root and no liquid root beyond it (no_dense_root): a liquid too far
// superheated to exist.  The density solver spends some hundred pressures
// on failing to find it (the start of nearly pure methane that the search
// for a second liquid tries in the liquid of the 3-component gas split at
// 180 K, 1.5 MPa: 504 evaluations of 2,316 in the whole flash).
bool no_liquid_root(double T, double P, const double w[20], double Tc, double Pc, double Dc) {
    if (!(T < Tc) || !(P < Pc) || !(Dc > 0.0) || !(ideal_bubble_pressure(T, w) > P)) return false;
    double dv = 0.0;
    return gas_root(T, P, w, 0.0, dv) && no_dense_root(T, P, w, Dc, dv);
}

// The gas root that the density solver takes for a liquid of composition w
// above its critical temperature at a low pressure, by Newton's steps from
// `from` (the ideal gas's density where 0) or the march; false where the
// solver would not take the gas side or no gas root is found.
bool gas_side_root(double T, double P, const double w[20], double from, double& D) {
    int jerr = 0;
    std::string jmsg;
    double Tc = 0, Pc = 0, Dc = 0;
    CRITP(w, Tc, Pc, Dc, jerr, jmsg);
    return jerr <= 0 && Tc > 0.0 && Pc > 0.0 && tprho_side(T, P, Tc, Pc) < 0 &&
           gas_root(T, P, w, from, D);
}

// The density solver's root of kind kph without a start value, checked to
// give P.  Where the solver would take the gas's iteration for a liquid
// root (above the critical temperature at a low pressure), the gas root
// by Newton's steps from the ideal gas (or the march): the same first
// crossing of P, in half the evaluations (then `gas_side` is set).
bool solver_root(double T, double P, const double w[20], int kph, double& D,
                 bool* gas_side = nullptr) {
    int jerr = 0;
    std::string jmsg;
    if (kph == kLiquid) {
        double Tc = 0, Pc = 0, Dc = 0;
        CRITP(w, Tc, Pc, Dc, jerr, jmsg);
        if (jerr <= 0 && Tc > 0.0 && Pc > 0.0 && tprho_side(T, P, Tc, Pc) < 0 &&
            gas_root(T, P, w, 0.0, D)) {
            if (gas_side != nullptr) *gas_side = true;
            return true;
        }
        if (jerr <= 0 && no_liquid_root(T, P, w, Tc, Pc, Dc)) return false;
        int pr = -1;
        PREOS(pr);
        if (jerr <= 0 && P > Pc && pr != 1 && dense_root(T, P, w, D)) return true;
        jerr = 0;
    }
    double d = 0.0;
    TPRHO(T, P, w, kph, kNoStartValue, d, jerr, jmsg);
    if (jerr > 0 || !(d > 0.0)) return false;
    if (!gives_pressure(T, P, d, w)) return false;
    D = d;
    return true;
}

// The largest change of the density from a start of Newton's steps onto a
// liquid root; the start above a root of another composition, and the
// largest change from there.
constexpr double kLiquidWindow = 0.15;
constexpr double kAboveRoot = 1.1;
constexpr double kWindowFromAbove = 0.5;

// The ancillary estimate of a liquid's density is made only where every
// component lies this far below its critical temperature (closer to it the
// saturated liquid's density changes fast with T and its ancillary equation
// is least sure).
constexpr double kAncillaryBelowTc = 0.9;

// A liquid root below this share of the ideal solution's density is tested
// for lying on the liquid's branch (a compressed liquid lies within a few
// per cent of that density; a root in a loop of the equation far below).
constexpr double kLoopShare = 0.8;

// A root within this share of a densest root it was started from.
constexpr double kSameBranch = 0.02;

// Where that density is not estimated (a component close to or above its
// critical temperature: methane at 200 K), a root below this many times the
// pseudo-critical density is tested (the loop roots of the gas above lie at
// 0.8 and 1.6 times it, its liquid at 2.6 times).
constexpr double kLoopCritical = 2.0;

// The mole-fraction average of the components' critical volumes, as a
// density.
double pseudo_critical_density(const double w[20]) {
    double v = 0.0;
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i)
        if (w[i] > 0.0 && CCON.dc[i + 1] > 0.0) v += w[i] / CCON.dc[i + 1];
    return v > 0.0 ? 1.0 / v : 0.0;
}

// The density of the ideal solution of the components' saturated liquids
// at T (their ancillary equations; volumes added by mole fraction), else 0.
// A compressed liquid's density lies within a few per cent of it, inside
// the window of Newton's steps.
double ancillary_liquid_density(double T, const double w[20]) {
    double v = 0.0;
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i) {
        if (!(w[i] > 0.0)) continue;
        if (!(T < kAncillaryBelowTc * CCON.tc[i + 1])) return 0.0;
        double d = 0.0;
        int ierr = 0;
        std::string herr;
        DLSATK(i + 1, T, d, ierr, herr);
        if (ierr > 0 || !(d > 0.0) || !std::isfinite(d)) return 0.0;
        v += w[i] / d;
    }
    return v > 0.0 ? 1.0 / v : 0.0;
}

// A liquid root: Newton's steps from `from`, else from above `other` (a
// liquid root of another composition: only where the isotherm lies above P
// at the start, so that the steps come down onto the densest root below
// it, not onto one in a loop of the equation), else from the ancillary
// estimate of its density, else the density solver.  (The first roots of
// the liquid trial of the 3-component gas at 150 K, 4 MPa, 15.6 and 21.9
// mol/L, took the density solver 76 and 96 evaluations, Newton's steps from
// the estimate 24 and 48.)
// With `gas_from` (the last root, where the density solver took it on the
// gas side: a trial's liquid above its critical temperature at a low
// pressure) and no estimate of a liquid's density, the solver's gas side
// from that root first: Newton's steps from a gas root, which end on a
// liquid root only where they meet it at once, cost two evaluations each
// time and the solver's own start from the ideal gas two or three more.
bool liquid_root(double T, double P, const double w[20], double from, double other, double& D,
                 bool& densest, bool from_densest, double gas_from, bool& gas_side) {
    gas_side = false;
    // A root well below the ideal solution's density may lie in a loop of
    // the equation, where Newton's steps from a start inside it end (the
    // vapour trial of methane, ethane and propane 40/30/30 at 200 K, 6.49
    // MPa: 5.67 mol/L for a liquid of 17.98, its tangent-plane distance
    // -0.39 where it is +0.03, and the compressed liquid failed with 218):
    // it must be the densest root.
    const double estimate = ancillary_liquid_density(T, w);
    const double tested_below =
        estimate > 0.0 ? kLoopShare * estimate : kLoopCritical * pseudo_critical_density(w);
    // (Newton's steps from the densest root of a composition close by stay
    // on its branch: the roots of a trial's iterations are tested once.)
    const auto on_branch = [&](double start) {
        densest = (from_densest && start == from && std::fabs(D / start - 1.0) < kSameBranch) ||
                  !(D < tested_below) || densest_root(T, P, D, w);
        return densest;
    };
    const auto by_newton = [&](double start, bool from_above) {
        const double floor = from_above ? (1.0 - kWindowFromAbove) * start : 0.0;
        return start > 0.0 && sided_root(T, P, w, start, true, D, floor) &&
               std::fabs(D / start - 1.0) < (from_above ? kWindowFromAbove : kLiquidWindow) &&
               on_branch(start);
    };
    densest = false;
    if (gas_from > 0.0 && !(estimate > 0.0) && gas_side_root(T, P, w, gas_from, D)) {
        gas_side = true;
        return true;
    }
    if (by_newton(from, false) || (!(from > 0.0) && by_newton(kAboveRoot * other, true)) ||
        by_newton(estimate, false))
        return true;
    densest = false;
    return solver_root(T, P, w, kLiquid, D, &gas_side);
}

}  // namespace

bool gas_root(double T, double P, const double w[20], double from, double& D) {
    // (From the ideal gas's density Newton's steps and the march start at
    // the same state: its pressure and slope are formed once.)
    const double ideal = P / (8.314 * T);
    if (from > 0.0 && from != ideal)
        return sided_root(T, P, w, from, false, D) || vapour_root(T, P, w, D);
    const PressDerivs v = press_slope(T, ideal, w);
    return sided_root(T, P, w, ideal, false, D, 0.0, &v) || march(T, P, w, D, &v);
}

namespace {

// The squared distance of the logarithms of two compositions' fractions,
// each weighted with the larger fraction (a trace that grows a hundredfold
// leaves the density as it was).
double composition_change(const double a[20], const double b[20]) {
    double change = 0.0;
    for (int i = 0; i < kMaxComp; ++i) {
        if (!(a[i] > 0.0) || !(b[i] > 0.0)) continue;
        const double r = std::log(a[i] / b[i]);
        change += std::max(a[i], b[i]) * r * r;
    }
    return change;
}

}  // namespace

bool root_of(double T, double P, const double w[20], int kph, const FeedRoots& feed, Root& last) {
    constexpr double kClose = 0.5;
    // (Starts from above whose composition lay further were seldom close
    // enough: 4 of 6 measured failed.)
    constexpr double kFar = 20.0;
    flash::QuietMessages quiet;
    const bool liquid = kph == kLiquid;
    // (A major fraction within some 50 % of the last root's.)
    const bool close = last.D > 0.0 && composition_change(w, last.w) < kClose;
    const double own = last.D > 0.0 && last.liquid == liquid ? last.D : 0.0;
    double other = close && last.liquid != liquid ? last.D : 0.0;
    // (Without a liquid root of the trial close by, the feed's where the
    // composition lies close to the feed's.)
    const bool near_feed =
        feed.liquid > 0.0 && feed.z != nullptr && composition_change(w, feed.z) < kClose;
    double own_liquid = close ? own : 0.0;
    if (liquid && !(own_liquid > 0.0) && near_feed) own_liquid = feed.liquid;
    if (!liquid && !(other > 0.0) && near_feed) other = feed.liquid;
    // (The trial's last root of either kind, else the feed's liquid root
    // where it may be taken: a start from above, unless the composition
    // lies far from that root's.)
    double any_liquid = 0.0;
    if (last.D > 0.0 && composition_change(w, last.w) < kFar)
        any_liquid = last.D;
    else if (!(last.D > 0.0) && feed.liquid > 0.0 && feed.z != nullptr &&
             composition_change(w, feed.z) < kFar)
        any_liquid = feed.liquid;
    double d = 0.0;
    bool found_liquid = liquid, densest = false, gas_side = false;
    // (The last root, where the solver took it on the gas side for a
    // composition close by.)
    const double gas_from = close && last.liquid && last.gas_side ? last.D : 0.0;
    if (liquid) {
        if (!liquid_root(T, P, w, own_liquid, any_liquid, d, densest,
                         own_liquid == last.D && last.densest, gas_from, gas_side)) {
            found_liquid = false;
            gas_side = false;
            if (!solver_root(T, P, w, kVapour, d)) return false;
        }
    } else if (!gas_root(T, P, w, own > 0.0 ? own : feed.vapour, d)) {
        found_liquid = true;
        if (!liquid_root(T, P, w, other, any_liquid, d, densest, other == last.D && last.densest,
                         0.0, gas_side))
            return false;
    }
    last.D = d;
    last.liquid = found_liquid;
    last.densest = found_liquid && densest;
    last.gas_side = found_liquid && gas_side;
    flash::copy20(w, last.w);
    return true;
}

}  // namespace lib::mix
