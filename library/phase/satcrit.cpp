// The saturation road close to the critical point (see satcrit.h): start
// values from the power law of the tail states, Newton's method to the
// equation's rounding at given temperature, and secant steps (bisection
// where they leave the bracket) on the pressure of that road at given
// pressure.
#include "library/phase/satcrit.h"

#include <cmath>
#include <limits>

#include "library/library.h"
#include "library/models/phik.h"
#include "library/phase/dens.h"
#include "library/phase/satcheb.h"
#include "library/setup/records.h"

namespace lib::satcrit {
namespace {

using satcheb::Tail;

// SATT gives the stated critical point within this distance of its
// temperature.
constexpr double kCriticalBand = 1e-8;
constexpr double kBeyondLast = 0.125;     // of u at the last tail state
constexpr double kElsewhere = 2.0;        // a reduced temperature far from the road's
constexpr double kPressureNoise = 1e-10;  // of the road's pressure, relative
// The pressure met at given pressure (the temperature is then within some
// 1e-14 of its own), or the temperature bracket closed to the same share.
constexpr double kPressureTolerance = 1e-13;

// Start values at u = sqrt(te - T): Dl - de and de - Dv follow the power law
// through the two tail states on either side of u (below the last one, the
// law of the last two; with one state, the square root).
void start(const Tail& tl, double u, double& Dl, double& Dv) {
    if (tl.n < 2) {
        const double r = std::sqrt(u / tl.u[0]);
        Dl = tl.de + tl.dl[0] * r;
        Dv = tl.de - tl.dv[0] * r;
        return;
    }
    int b = 1;
    while (b < tl.n - 1 && tl.u[b] > u) ++b;
    const int a = b - 1;
    const double span = std::log(tl.u[a] / tl.u[b]);
    const double bl = std::log(tl.dl[a] / tl.dl[b]) / span;
    const double bv = std::log(tl.dv[a] / tl.dv[b]) / span;
    Dl = tl.de + tl.dl[b] * std::pow(u / tl.u[b], bl);
    Dv = tl.de - tl.dv[b] * std::pow(u / tl.u[b], bv);
}

// The state at T (between the top of the expansions and te); false where
// Newton's method fails above the last tail state.
bool solve(const Tail& tl, int icomp, double T, double& P, double& Dl, double& Dv) {
    double z[20] = {};
    z[icomp - 1] = 1.0;
    // The evaluator of the equation keeps the terms of its last state while
    // tau moves by less than 1e-12, and the densities here follow T many
    // times over: one evaluation far away first, so that the state at T is
    // evaluated at T itself, whatever was evaluated before.
    (void)PHIK(icomp, 0, 0, kElsewhere, 1.0);
    const double u = std::sqrt(tl.te - T);
    start(tl, u, Dl, Dv);
    // Far closer to the critical point than the last state the equation
    // resolves to 1e-3, the power law is as good as the equation's own
    // digits (Newton's method would wander within their rounding).
    const double ulast = tl.u[tl.n - 1];
    if (!(u < kBeyondLast * ulast)) {
        const double dl0 = Dl, dv0 = Dv;
        if (saturation_to_noise(T, z, tl.de, P, Dl, Dv)) return true;
        if (!(u < ulast)) return false;
        Dl = dl0;
        Dv = dv0;
    }
    PRESS(T, Dv, z, P);
    return P > 0.0 && std::isfinite(P);
}

// The highest temperature of the road: the stated critical temperature
// less the band where SATT gives the critical point, or the equation's own
// where that lies lower.
double road_top(const Tail& tl, int icomp) {
    return std::fmin(tl.te, CCON.tc[icomp] - kCriticalBand);
}

// The state at T on the road up to temperature top.
Verdict at_t_below(int icomp, double T, double top, double& P, double& Dl, double& Dv) {
    const Tail* tl = satcheb::tail(icomp);
    if (tl == nullptr || !(T > tl->t[0]) || !(T <= top)) return Verdict::kNotHere;
    if (!(T < tl->te)) return Verdict::kNoState;
    double p = 0, dl = 0, dv = 0;
    if (!solve(*tl, icomp, T, p, dl, dv)) return Verdict::kNotHere;
    P = p;
    Dl = dl;
    Dv = dv;
    return Verdict::kSolved;
}

}  // namespace

Verdict at_t(int icomp, double T, double& P, double& Dl, double& Dv) {
    return at_t_below(icomp, T, CCON.tc[icomp] - kCriticalBand, P, Dl, Dv);
}

namespace {

// The state at pressure P on the road up to temperature top (at most te).
Verdict at_p_below(int icomp, double P, double top, double& T, double& Dl, double& Dv) {
    const Tail* tl = satcheb::tail(icomp);
    if (tl == nullptr || !(P > tl->p[0])) return Verdict::kNotHere;
    if (!(P < tl->pe)) return Verdict::kNoState;
    // The bracket: the tail states on either side of P, or the last one and
    // the top of the road.
    int k = 0;
    while (k + 1 < tl->n && tl->p[k + 1] < P) ++k;
    double ta = tl->t[k], fa = tl->p[k] - P;
    double tb = std::fmin(top, tl->te), pb = 0, dl = 0, dv = 0;
    if (k + 1 < tl->n && tl->t[k + 1] <= tb) {
        tb = tl->t[k + 1];
        pb = tl->p[k + 1];
    } else if (tb < tl->te) {
        if (!solve(*tl, icomp, tb, pb, dl, dv)) return Verdict::kNotHere;
    } else {
        pb = tl->pe;
    }
    double fb = pb - P;
    // Above the pressure at the top of the road (the equation's own
    // critical point lies above the stated one) the line has no state.
    if (!(fb >= 0.0)) return Verdict::kNoState;
    // Secant steps on P(T) - P (nearly linear here) through the last two
    // points, bisection where they leave the bracket.
    double t0 = ta, f0 = fa, t1 = tb, f1 = fb;
    double t = 0, p = 0;
    for (int pass = 0; pass < 60; ++pass) {
        t = f1 != f0 ? t1 - f1 * (t1 - t0) / (f1 - f0) : 0.5 * (ta + tb);
        if (!(t > ta && t < tb)) t = 0.5 * (ta + tb);
        if (!solve(*tl, icomp, t, p, dl, dv)) return Verdict::kNotHere;
        const double f = p - P;
        if (std::fabs(f) <= kPressureTolerance * P || tb - ta <= kPressureTolerance * tb) break;
        (f < 0.0 ? ta : tb) = t;
        t0 = t1;
        f0 = f1;
        t1 = t;
        f1 = f;
    }
    // The pressure of the road follows its densities, which the equation
    // determines only to their rounding here: it moves by up to some 1e-11
    // from one temperature to the next.  A bracket that closed farther from
    // P holds no state.
    if (!(std::fabs(p - P) <= kPressureNoise * P)) return Verdict::kNotHere;
    T = t;
    Dl = dl;
    Dv = dv;
    return Verdict::kSolved;
}

}  // namespace

Verdict at_p(int icomp, double P, double& T, double& Dl, double& Dv) {
    const Tail* tl = satcheb::tail(icomp);
    if (tl == nullptr) return Verdict::kNotHere;
    return at_p_below(icomp, P, road_top(*tl, icomp), T, Dl, Dv);
}

Verdict equation_at_t(int icomp, double T, double& P, double& Dl, double& Dv) {
    return at_t_below(icomp, T, std::numeric_limits<double>::infinity(), P, Dl, Dv);
}

Verdict equation_at_p(int icomp, double P, double& T, double& Dl, double& Dv) {
    const Tail* tl = satcheb::tail(icomp);
    if (tl == nullptr) return Verdict::kNotHere;
    // Below the road the expansions answer, also beyond the stated critical
    // pressure where the equation's line runs above it (r40's end at 416.26
    // K, 6685.8 kPa; its stated point is 416.3 K, 6671.7 kPa).
    if (!(P > tl->p[0]))
        return satcheb::at_p(icomp, P, T, Dl, Dv) ? Verdict::kSolved : Verdict::kNotHere;
    return at_p_below(icomp, P, tl->te, T, Dl, Dv);
}

}  // namespace lib::satcrit
