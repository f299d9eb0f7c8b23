// The saturation point of the rest of a feed beside a frozen trace carried
// in both phases at the feed's fractions.  The trace changes the rest's
// fugacities by some 1e-4 (the 0.04 % of carbon dioxide in air), so the
// rest's point without it is only a start: at each temperature or pressure
// successive substitution finds the incipient phase whose rest is at equal
// fugacities with the feed's; its fractions then add up to S, and a secant
// on ln S moves the pressure (or the temperature) until S is one.  Where
// that fails, next to the critical point, Newton's method (tracenewton.h)
// goes on from the rest's point.
#include "library/phase/satmixtrace.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/tracenewton.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

int components() { return std::min(NCOMP.nc, kMaxComp); }

constexpr int kSubstitutions = 100;   // passes on the incipient phase at most
constexpr int kSecantSteps = 40;      // moves of the pressure or temperature at most
constexpr double kSettled = 1e-13;    // largest change of a fraction
constexpr double kSumsToOne = 1e-12;  // |ln S| at the end (its round-off some 1e-13)
constexpr double kFirstStep = 1e-5;   // the secant's first move, a share of T or P
// Phases closer than this (relative density, and fraction of each
// component of the rest) are the feed twice: the trivial solution.
constexpr double kDistinctDensity = 1e-6;
constexpr double kDistinctFraction = 1e-7;

// The point as it is being settled.
struct Point {
    const FrozenTrace& t;
    const double* feed;
    bool bubble;
    double T, P, Dl = 0, Dv = 0;
    double l[20] = {}, v[20] = {};
    double* incipient() { return bubble ? v : l; }
};

// The density of phase c (kph kLiquid or kVapour) at (T, P) from D.
bool density(double T, double P, const double c[20], int kph, double& D) {
    int jerr = 0;
    std::string jmsg;
    TPRHO(T, P, c, kph, D > 0.0 ? kStartValue : kNoStartValue, D, jerr, jmsg);
    return jerr <= 0 && D > 0.0;
}

// One substitution: the incipient rest from the fugacity coefficients of
// the phases at (T, P), its fractions adding up to s before it is scaled to
// the rest's share; `moved` is the largest change of a fraction.
bool substitute(Point& p, double& s, double& moved) {
    if (!density(p.T, p.P, p.l, kLiquid, p.Dl) || !density(p.T, p.P, p.v, kVapour, p.Dv))
        return false;
    double fl[20] = {}, fv[20] = {};
    int jerr = 0;
    std::string jmsg;
    FGCTY2(p.T, p.Dl, p.l, fl, jerr, jmsg);
    if (jerr > 0) return false;
    FGCTY2(p.T, p.Dv, p.v, fv, jerr, jmsg);
    if (jerr > 0) return false;
    const double* f_feed = p.bubble ? fl : fv;
    const double* f_inc = p.bubble ? fv : fl;
    double* inc = p.incipient();
    double next[20] = {};
    s = 0.0;
    for (int i = 0; i < components(); ++i) {
        if (p.t.held[i] || !(p.feed[i] > 0.0)) continue;
        if (!(f_feed[i] > 0.0 && f_inc[i] > 0.0 && inc[i] > 0.0)) return false;
        next[i] = inc[i] * f_feed[i] / f_inc[i];
        s += next[i];
    }
    s /= 1.0 - p.t.share;
    if (!(s > 0.0) || !std::isfinite(s)) return false;
    moved = 0.0;
    for (int i = 0; i < components(); ++i) {
        if (p.t.held[i] || !(p.feed[i] > 0.0)) continue;
        next[i] /= s;
        moved = std::max(moved, std::fabs(next[i] - inc[i]));
        inc[i] = next[i];
    }
    return true;
}

// ln S at the point's temperature and pressure, its incipient phase
// settled there.
bool log_sum(Point& p, double& lns) {
    double s = 1.0, moved = 1.0;
    for (int k = 0; k < kSubstitutions; ++k) {
        if (!substitute(p, s, moved)) return false;
        if (moved < kSettled) {
            lns = std::log(s);
            return std::isfinite(lns);
        }
    }
    return false;
}

// Whether the settled phases are the feed twice (next to the critical
// point the substitution may run onto it: Dry ISO Air's bubble point at
// 132.5 K, whose incipient vapour became the liquid, 13.954 mol/L both).
bool trivial(const Point& p) {
    if (std::fabs(p.Dl - p.Dv) > kDistinctDensity * std::max(p.Dl, p.Dv)) return false;
    for (int i = 0; i < components(); ++i)
        if (std::fabs(p.l[i] - p.v[i]) > kDistinctFraction) return false;
    return true;
}

// The point settled by substitution and the secant on ln S.
bool settle_by_substitution(const FrozenTrace& t, const double x[20], int kph, bool at_temperature,
                            double& T, double& P, double& Dl, double& Dv, double xl[20],
                            double xv[20]) {
    flash::QuietMessages quiet;
    Point p{t, x, kph == kBubblePoint, T, P, Dl, Dv};
    for (int i = 0; i < components(); ++i) {
        p.l[i] = xl[i];
        p.v[i] = xv[i];
    }
    double& u = at_temperature ? p.P : p.T;  // the value that moves
    double u0 = u, g0 = 0.0;
    if (!log_sum(p, g0)) return false;
    double u1 = u0 * (1.0 + kFirstStep);
    if (std::fabs(g0) <= kSumsToOne) u1 = u0;
    for (int k = 0; k < kSecantSteps && u1 != u0; ++k) {
        u = u1;
        double g1 = 0.0;
        if (!log_sum(p, g1)) return false;
        if (std::fabs(g1) <= kSumsToOne) break;
        if (g1 == g0) return false;
        const double next = u1 - g1 * (u1 - u0) / (g1 - g0);
        if (!(next > 0.0) || std::fabs(next / u1 - 1.0) > 0.1) return false;
        u0 = u1;
        g0 = g1;
        u1 = next;
    }
    u = u1;
    // The phases settled at the last value: their densities there.
    double s = 1.0, moved = 0.0;
    if (!substitute(p, s, moved) || !(std::fabs(std::log(s)) <= kSumsToOne)) return false;
    if (!density(p.T, p.P, p.l, kLiquid, p.Dl) || !density(p.T, p.P, p.v, kVapour, p.Dv) ||
        trivial(p))
        return false;
    T = p.T;
    P = p.P;
    Dl = p.Dl;
    Dv = p.Dv;
    flash::copy20(p.l, xl);
    flash::copy20(p.v, xv);
    return true;
}

}  // namespace

bool settle_point_beside_trace(const FrozenTrace& t, const double x[20], int kph,
                               bool at_temperature, double& T, double& P, double& Dl, double& Dv,
                               double xl[20], double xv[20]) {
    if (!t.any || (kph != kBubblePoint && kph != kDewPoint)) return false;
    if (settle_by_substitution(t, x, kph, at_temperature, T, P, Dl, Dv, xl, xv)) return true;
    // Next to the critical point the substitution runs onto the feed twice
    // or stops short (Dry ISO Air's bubble point at 132.0 K, which lies at
    // 3738.58 kPa, 1.1 kPa above the rest's own): Newton's method on the
    // incipient phase and the pressure (or temperature) from the rest's
    // point.
    return newton_point_beside_trace(t, x, kph == kBubblePoint, at_temperature, T, P, Dl, Dv, xl,
                                     xv);
}

}  // namespace lib::mix
