// The density flashes of a mixture at given T or P: the saturation road
// (bubble and dew points, the two-phase solver between them), each
// single-phase result checked for stability, and the search along the
// isotherm or isobar through the (T, p) flash where the road cannot place
// the state.
#include "library/phase/tdmix.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "library/library.h"
#include "library/models/press.h"
#include "library/phase/brent.h"
#include "library/phase/critsingle.h"
#include "library/phase/dbflsh.h"
#include "library/phase/envelope.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/mixflash.h"
#include "library/phase/stability.h"
#include "library/phase/trialroot.h"
#include "library/setup/common.h"

namespace lib {
namespace {

double marker(double T, double P, double D, double Tc, double Pc, double Dc) {
    if (P > Pc && T >= Tc) return kQualitySupercritical;
    return D > Dc && T < Tc ? kQualityLiquid : kQualityVapour;
}

void from_state(const mix::TpState& st, const double z[20], TpResult& r) {
    r.D = st.D;
    r.Dl = st.Dl;
    r.Dv = st.Dv;
    r.q = st.q;
    flash::copy20(st.x, r.x);
    flash::copy20(st.y, r.y);
    if (st.two_phase) {
        flash::mix_phases(st.T, r.q, r.Dl, r.Dv, r.x, r.y, r.e, r.h, r.s, r.cv, r.cp, r.w);
    } else {
        double p = 0, hjt = 0;
        THERM(st.T, st.D, z, p, r.e, r.h, r.s, r.cv, r.cp, r.w, hjt);
    }
}

void single(double T, double D, const double z[20], TpResult& r) {
    double p = 0, hjt = 0;
    r.D = r.Dl = r.Dv = D;
    THERM(T, D, z, p, r.e, r.h, r.s, r.cv, r.cp, r.w, hjt);
    flash::copy20(z, r.x);
    flash::copy20(z, r.y);
}

// Relative difference of densities that are the same.
constexpr double kSameDensity = 1e-9;

// Whether the liquid of the split r at (T, P) splits in two liquids itself.
bool liquid_splits(double T, double P, const TpResult& r) {
    mix::Stability st;
    flash::QuietMessages quiet;
    return mix::second_liquid(T, P, r.x, r.Dl, st);
}

// Whether the phases of split r add up to density D (a split of the
// two-phase solver may end on another state of the isotherm: butane + argon
// at 137.6 K, 24.2 mol/L, on a vapour and liquid of 3.8 mol/L).
bool of_density(const TpResult& r, double D) {
    return std::fabs(flash::mixed_density(r.q, r.Dl, r.Dv) / D - 1.0) <= kSameDensity;
}

// Whether the single phase (T, D) at its pressure P, a root that is not the
// first crossing of P from the gas, is a phase of the equation: not a root
// behind a loop (concave: CO + ethanol at 295.5 K, 6.74 mol/L, 16 MPa), and
// the feed's root of lower Gibbs energy at P, also where the stability test
// is not made (a liquid root at a tenth of the dew pressure: CO + m-xylene
// at 524 K, 5.70 mol/L, 77 kPa, where the gas is the stable root).
bool stable_root_at(double T, double D, double P, const double z[20]) {
    double d2 = 0.0;
    DPDD2(T, D, z, d2);
    if (!(d2 > 0.0)) return false;
    double ds = 0.0;
    bool liquid_like = false;
    flash::QuietMessages quiet;
    return mix::stable_root(T, P, z, ds, liquid_like) && std::fabs(ds / D - 1.0) <= 1e-6;
}

// Whether the (T, p) flash's state at the split's pressure P has the
// density D (the two-phase solver may end on a split that is not the
// stable state there: methyl palmitate + propane at 451.7 K, 3.10 mol/L).
// The split's phases are then named as that flash names them.
bool tp_flash_has_density(double T, double P, double D, const double z[20], TpResult& r) {
    mix::TpState st;
    if (!mix::tp_state(T, P, z, st) || !(std::fabs(st.D / D - 1.0) <= 1e-7)) return false;
    mix::name_phases_as(st, r);
    return true;
}

// Whether the single phase (T, D) at its pressure P is the stable state
// there.  (The test, where made, found D the root of lower Gibbs energy.
// Where it is not made, below the dew pressure or above the critical
// temperature of every component but traces, as in the (T, p) flash's
// window, the first crossing of P from the gas is the stable root; another
// root is checked.)
bool stable_single_phase(double T, double D, double P, const double z[20]) {
    bool tested = false;
    return mix::single_phase_stable_at(T, D, P, z, &tested) &&
           (tested || T >= mix::highest_critical_temperature(z) || mix::first_root(T, P, z, D) ||
            stable_root_at(T, D, P, z)) &&
           !mix::split_near_critical_point(T, D, z);
}

// Whether the split r at (T, P) of the two-phase solver is the state of
// density D: its phases add up to D, its liquid splits no further, and the
// (T, p) flash finds that state there (whose names of the phases it takes).
bool split_is_state(double T, double P, double D, const double z[20], TpResult& r) {
    return r.q > 0.0 && r.q < 1.0 && of_density(r, D) && !liquid_splits(T, P, r) &&
           tp_flash_has_density(T, P, D, z, r);
}

// Whether the state st found along the isotherm at density D is the (T, p)
// flash's state at its pressure: a split continued there (Tracker) was not
// tested, and may be one whose liquid splits in two (the flue gas of 16 %
// water at 254.1 K, 51.03 mol/L, 2.49 GPa; the syngas of 10 % carbon
// dioxide at 195.2 K, 48.16 mol/L: the (T, p) flash finds three phases
// there).  The phases are named as that flash names them.
bool tp_flash_agrees(double T, double D, const double z[20], mix::TpState& st) {
    if (!st.continued) return true;
    mix::TpState tp;
    if (!mix::tp_state(T, st.P, z, tp) || tp.two_phase != st.two_phase ||
        !(std::fabs(tp.D / D - 1.0) <= 1e-7))
        return false;
    mix::name_phases_as(tp, st.Dl, st.Dv, st.x, st.y, st.q);
    return true;
}

// The phases of st named as the (T, p) flash names them where it names
// them (labels_of_tp_flash), and whether it agrees (tp_flash_agrees): both
// from one flash at the state's pressure, which each asked for in turn.
bool named_and_agreed(double T, double D, const double z[20], mix::TpState& st) {
    const bool names = mix::named_by_tp_flash(st);
    if (!names && !st.continued) return true;
    mix::TpState tp;
    const bool found = mix::tp_state(T, st.P, z, tp);
    if (names && found) mix::name_phases_as(tp, st);
    if (!st.continued) return true;
    if (!found || tp.two_phase != st.two_phase || !(std::fabs(tp.D / D - 1.0) <= 1e-7))
        return false;
    mix::name_phases_as(tp, st.Dl, st.Dv, st.x, st.y, st.q);
    return true;
}

// The error of a state from which a component would freeze out (the (T, p)
// flash's).
constexpr int kFrozenOut = 250;

// Densities of phases that are the same phase (a split found by the vapour
// fraction and the (T, p) flash's at its T and P, which differ in the last
// digits of the free variable).
constexpr double kSamePhase = 1e-6;

bool same_phases(const mix::TpState& st, const TpResult& r) {
    const auto near = [](double a, double b) { return std::fabs(a / b - 1.0) <= kSamePhase; };
    return st.two_phase &&
           ((near(st.Dl, r.Dl) && near(st.Dv, r.Dv)) || (near(st.Dl, r.Dv) && near(st.Dv, r.Dl)));
}

// States of the saturation road that TQFLSH or PQFLSH cannot find before
// the search by quality below gives up: inside a three-phase region they
// fail, 5 to 60 ms each, and Brent's method halving toward them took 0.8 s
// to give up (cyclohexane + DMC at 283.61 K, 10.41 mol/L); a blend the
// search is for finds every state it asks for (384 of 384 in a sweep of
// 957 mixtures, none after a failure).
constexpr int kQualityFailures = 1;

// Two phases of a nearly azeotropic blend at T (at_t) or P given as a, of
// density D between the bubble point's liquid dlbub and the dew point's
// vapour dvdew: the free variable of the state lies below its own last
// digits (R512A at 276.77 K: bubble and dew points 2.6e-7 apart in
// pressure, where the split at the pressure found is 7e-6 off in q and
// 8e-8 in D; R503 at 180.63 K, 6e-7 in D), the vapour fraction does not.
// The state of density D among those of TQFLSH or PQFLSH, by Brent's method
// in q between the bubble and the dew point, kept where the (T, p) flash
// at its T and P finds the same two phases.  u is the free variable out.
bool by_quality(bool at_t, double a, double D, const double z[20], double dlbub, double dvdew,
                TpResult& r, double& u) {
    TpResult s;
    double t = 0, p = 0, d = 0;
    int failures = 0;
    const auto at = [&](double q, double& f) {
        if (failures >= kQualityFailures) return false;
        int kerr = 0;
        std::string kmsg;
        flash::QuietMessages quiet;
        if (at_t)
            TQFLSH(a, q, z, kMolarQuality, p, d, s.Dl, s.Dv, s.x, s.y, s.e, s.h, s.s, s.cv, s.cp,
                   s.w, kerr, kmsg);
        else
            PQFLSH(a, q, z, kMolarQuality, t, d, s.Dl, s.Dv, s.x, s.y, s.e, s.h, s.s, s.cv, s.cp,
                   s.w, kerr, kmsg);
        if (kerr > 0 || !(d > 0.0)) {
            ++failures;
            return false;
        }
        s.q = q;
        s.D = d;
        f = D / d - 1.0;  // rises with q
        return std::isfinite(f);
    };
    double q = 0.0, f = 0.0;
    if (!brent_root(at, 0.0, D / dlbub - 1.0, 1.0, D / dvdew - 1.0, 1e-13, 1e-15, 80, q) ||
        !at(q, f) || !(std::fabs(f) <= kSameDensity) || !(q > 0.0 && q < 1.0))
        return false;
    const double T = at_t ? a : t, P = at_t ? p : a;
    mix::TpState st;
    if (!mix::tp_state(T, P, z, st) || !same_phases(st, s)) return false;
    mix::name_phases_as(st, s);
    r = s;
    u = at_t ? P : T;
    return true;
}

// The two-phase state of a wet gas (no bubble point) at T whose density is
// D, by the secant method on ln D against ln P above the dew point (pdew,
// its vapour dvdew): four to eight splits, each continued from the one
// before (Tracker), meet D where the march and Brent's method of the
// general search took 15 to 20 (the flue gas of 16 % water at 300 K,
// 10 mol/L: 17).  The first trial is the feed's own pressure at (T, D),
// `single` (the gas makes up most of the state), the second a Newton step
// with the slope of ln D there, `slope` (a dense gas's ln D is far from
// linear in ln P: the secant through the dew point took 13 trials for
// carbon dioxide + water at 320 K, 12 mol/L); where that pressure lies
// below the dew point, from the dew point as if the density rose as the
// pressure.  Every trial must be two-phase, and ln D rise with ln P
// through them; else false, and the general search decides.
constexpr int kWetTrials = 14;
// ln D of the state found within this times 1 + D (mol/L) of the target:
// the volume within 1e-12 (1 + 1/D), as the general search finds it (the
// continued splits of carbon dioxide + water at 320 K, 12 mol/L, spent
// seven more trials on 1e-12 in ln D).
constexpr double kWetTolerance = 1e-12;
// The longest step of the secant before a point above D is known, in ln P.
constexpr double kWetLongestStep = 5.0;

// One trial of that search: ln P and the residual ln D - ln Dtarget.
struct WetPoint {
    double lnp = 0.0, f = 0.0;
};

// The next trial after `now` with the slope of f there (the secant's from
// the trial before), within the bracket lo < x < hi (hi known or not): the
// root of that line, else the bracket's middle.
double wet_next(double slope, const WetPoint& now, const WetPoint& lo, const WetPoint* hi) {
    double x = slope > 0.0 && std::isfinite(slope) ? now.lnp - now.f / slope : std::nan("");
    if (hi == nullptr)
        return std::isfinite(x) && x > lo.lnp ? std::min(x, lo.lnp + kWetLongestStep)
                                              : lo.lnp + kWetLongestStep;
    if (!(x > lo.lnp && x < hi->lnp)) x = 0.5 * (lo.lnp + hi->lnp);
    return x;
}

bool wet_gas_split(double T, double D, const double z[20], double pdew, double dvdew, double pmax,
                   double single, double slope, mix::TpState& st) {
    const double target = std::log(D);
    mix::Tracker tracker(z);
    WetPoint lo{std::log(pdew), std::log(dvdew) - target}, hi;
    bool above = false;
    WetPoint before = lo, now = lo;
    const bool from_single = single > pdew && slope > 0.0 && std::isfinite(slope);
    double x = from_single ? std::log(single) : lo.lnp - lo.f;
    for (int k = 0; k < kWetTrials; ++k) {
        if (!(x < std::log(2.0 * pmax))) return false;
        mix::TpState s;
        if (!tracker.at(T, std::exp(x), s) || !s.two_phase || !(s.D > 0.0)) return false;
        const WetPoint p{x, std::log(s.D) - target};
        if (!std::isfinite(p.f)) return false;
        if (std::fabs(p.f) <= kWetTolerance * (1.0 + D)) {
            st = s;
            return true;
        }
        // ln D rises with ln P between the points that bracket D.
        if (p.f < 0.0) {
            if (!(p.f > lo.f) || (above && !(p.lnp < hi.lnp))) return false;
            lo = p;
        } else {
            if (!(p.lnp > lo.lnp) || (above && !(p.f < hi.f))) return false;
            hi = p;
            above = true;
        }
        before = now;
        now = p;
        const double secant = (now.f - before.f) / (now.lnp - before.lnp);
        x = wet_next(k == 0 && from_single ? slope : secant, now, lo, above ? &hi : nullptr);
    }
    return false;
}

}  // namespace

void td_mixture(double T, double D, const double z[20], double Tc, double Pc, double Dc,
                TpResult& r, double& P, int& ierr, std::string& herr) {
    // A stable single phase needs no saturation point (a density inside a
    // loop of the equation can give an absurd pressure: only pressures the
    // range check allows are tried, up to twice the equation's limit with
    // its warning, as in TPFLSH: R161 + R1234ze at 455.9 K, 20 MPa).
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    const PressDerivs v = press_slope(T, D, z);
    P = v.p;
    const double dpdd = v.d1;
    int lerr = 0;
    std::string lmsg;
    {
        flash::QuietMessages quiet;
        LIMITX("EOS", T, D, P, z, tmin, tmax, dmax, pmax, lerr, lmsg);
    }
    if (P > 0.0 && lerr <= 0 && dpdd > 0.0 && stable_single_phase(T, D, P, z)) {
        single(T, D, z, r);
        r.q = marker(T, P, D, Tc, Pc, Dc);
        return;
    }
    // Where the (T, p) flash refuses the feed at its own pressure at (T, D)
    // because a component would freeze out, so does every search below,
    // each trial refused alike (the flue gas of 16 % water at 200 to 225 K:
    // 10 to 130 ms for the dew point and the searches along the isotherm).
    std::string frozen_reason;
    if (P > 0.0 && mix::tp_flash_refuses_frozen(T, P, z, frozen_reason)) {
        r.q = kQualityFailed;
        fail(kFrozenOut, "TDFLSH", frozen_reason, ierr, herr);
        return;
    }
    double pdew = 0, dldew = 0, dvdew = 0, xdew[20], ydew[20];
    double pbub = 0, dlbub = 0, dvbub = 0, xbub[20], ybub[20];
    int derr = 0, berr = 0;
    std::string jmsg;
    {
        flash::QuietMessages quiet;
        if (mix::no_dew_point(T, z))
            derr = 1;
        else
            SATT(T, z, kDewPoint, pdew, dldew, dvdew, xdew, ydew, derr, jmsg);
        double tb = T;
        if (!mix::quick_bubble(true, z, tb, pbub, dlbub, dvbub, xbub, ybub)) berr = 1;
    }
    mix::TpState st;
    if (derr == 0 && berr > 0 && D > dvdew) {
        // No bubble point (a wet gas): up the isotherm from the dew point.
        const mix::Target target{'D', 1.0 / D, kMolarQuality};
        if ((wet_gas_split(T, D, z, pdew, dvdew, pmax, v.p, v.p / (D * dpdd), st) &&
             named_and_agreed(T, D, z, st)) ||
            (mix::on_isotherm(T, target, z, pdew, 1.0 / dvdew - 1.0 / D, 2.0 * pmax, kLowerRoot,
                              st) &&
             tp_flash_agrees(T, D, z, st))) {
            P = st.P;
            from_state(st, z, r);
            if (!st.two_phase) r.q = marker(T, P, st.D, Tc, Pc, Dc);
            return;
        }
    }
    // Whether the split of the saturation road has a liquid that splits in
    // two liquids itself: a three-phase line lies close by, and the search
    // by quality, for nearly azeotropic blends, is not made (it found 1254
    // states in a sweep of 957 mixtures, none of them there; inside a
    // three-phase region TQFLSH fails slowly, 60 ms for cyclohexane + DMC
    // at 283.83 K, 10.41 mol/L).
    bool liquid_split = false;
    if (derr == 0 && berr == 0 && dvdew < D && D < dlbub) {
        int jerr = 0;
        TDFL2(T, D, z, kSaturationGiven, pbub, pdew, dlbub, dvdew, ybub, xdew, P, r.Dl, r.Dv, r.x,
              r.y, r.q, jerr, jmsg);
        // (Not where its liquid splits in two: the liquid's bubble point
        // lies beyond the three-phase line, and the search along the
        // isotherm finds the stable pair.)
        const bool split = jerr <= 0 && r.q > 0.0 && r.q < 1.0 && of_density(r, D);
        liquid_split = split && liquid_splits(T, P, r);
        if (split && !liquid_split && tp_flash_has_density(T, P, D, z, r)) {
            flash::mix_phases(T, r.q, r.Dl, r.Dv, r.x, r.y, r.e, r.h, r.s, r.cv, r.cp, r.w);
            r.D = D;
            return;
        }
    }
    const double hint = derr == 0 ? pdew : (P > 0.0 ? P : Pc);
    // (Inside a three-phase region no search by quality is made either:
    // TQFLSH fails there, 17 to 31 ms for cyclohexane + DMC at 10.41 mol/L
    // between 276 and 283.4 K.)
    bool three_phase = false;
    if (!mix::on_isotherm_density(T, D, z, 0.5 * hint, 2.0 * hint, st, &three_phase) ||
        !tp_flash_agrees(T, D, z, st)) {
        if (derr == 0 && berr == 0 && dvdew < D && D < dlbub && !liquid_split && !three_phase &&
            by_quality(true, T, D, z, dlbub, dvdew, r, P))
            return;
        r.q = kQualityFailed;
        // Where the (T, p) flash refuses the feed at its own pressure at
        // (T, D) because a component would freeze out, that is the reason
        // (carbon dioxide + water 96/4 at 220 K, 27.27 mol/L: its bubble
        // point at 581 kPa, whose 4 % of water freezes).
        std::string reason;
        if (v.p > 0.0 && mix::tp_flash_refuses_frozen(T, v.p, z, reason)) {
            P = v.p;
            fail(kFrozenOut, "TDFLSH", reason, ierr, herr);
            return;
        }
        fail(226, "TDFLSH",
             "iteration did not converge for the mixture along the isotherm T =" + fmt_g(T, 12, 5) +
                 " K at D =" + fmt_g(D, 12, 5) + " mol/L",
             ierr, herr);
        return;
    }
    P = st.P;
    from_state(st, z, r);
    if (!st.two_phase) r.q = marker(T, P, st.D, Tc, Pc, Dc);
}

namespace {

// A temperature on the isochore of the search below, with the state the
// flash at (T, D) placed there (ok) or not.
struct IsochorePoint {
    double t = 0.0;
    bool ok = false;
    TpResult r;
    double p = 0.0;
};

// Trials of the secant below, and its steps back halfway toward the good
// point after a trial the flash at (T, D) cannot place (as many as the
// march of bracket_root takes).
constexpr int kSecantSteps = 12;
constexpr int kSecantBacks = 6;
// After a trial that failed, the next falls short of the secant's root by
// this part of the way: a secant's root next to the region of failures lay
// in it again and again (R431A at 15.43 mol/L: from 159.4998 to 159.5598
// K, five failures, with the state at 159.56 K, some 1e-4 K above it).
constexpr double kShort = 0.1;

// The root of the rising f beyond the good point x1 (value v1) away from
// x2 (v2, the same sign), next to a temperature xfail where f could not be
// evaluated: by the secant through the last two good points, a trial that
// fails taken halfway back toward x1.  A bracket a, b (f(a) = fa <= 0 <= fb
// = f(b)) or a == b on a point where |f| <= ftol; false where the secant
// points beyond xfail (the root, if any, lies beyond the band f fails in).
template <class F>
bool secant_toward(F f, double x1, double v1, double x2, double v2, double xfail, double ftol,
                   double& a, double& fa, double& b, double& fb) {
    bool cautious = false;
    for (int k = 0; k < kSecantSteps; ++k) {
        const double slope = (v1 - v2) / (x1 - x2);
        if (!(slope > 0.0) || !std::isfinite(slope)) return false;
        if ((x1 - v1 / slope - xfail) * (x1 - xfail) <= 0.0) return false;  // the root lies beyond
        double xn = x1 - (cautious ? 1.0 - kShort : 1.0) * v1 / slope;
        cautious = false;
        double vn = 0.0;
        int backs = 0;
        while (!f(xn, vn)) {
            cautious = true;
            if (++backs > kSecantBacks) return false;
            xfail = xn;
            xn = 0.5 * (xn + x1);
        }
        if (std::fabs(vn) <= ftol) {
            a = b = xn;
            fa = fb = vn;
            return true;
        }
        if ((vn > 0.0) != (v1 > 0.0)) {
            a = vn < 0.0 ? xn : x1;
            fa = vn < 0.0 ? vn : v1;
            b = vn < 0.0 ? x1 : xn;
            fb = vn < 0.0 ? v1 : vn;
            return true;
        }
        x2 = x1;
        v2 = v1;
        x1 = xn;
        v1 = vn;
    }
    return false;
}

// The step from the good point x1 to kReach times the distance to where the
// secant through it and x2 meets zero, 0 where there is no such secant: a
// march whose steps grow regardless crossed the root by a long way, into
// temperatures the flash at (T, D) takes long to refuse (c4f10 + dme at
// 1.3e-5 mol/L: from 149.5 K, 0.5 K above the state, to 129.6 K, 0.2 s).
// Across a phase boundary (one point single phase, the other two-phase)
// the secant misjudges the slope, only kHalfReach of the way: r152a +
// ammonia at 24.58 mol/L, from the liquid at 231.2 K and two liquids at
// 203.6 K, put the state at 200.06 K, inside the three-phase region below
// 200.49 K; it lies at 200.495 K.
constexpr double kReach = 1.2;
constexpr double kHalfReach = 0.5;

double secant_reach(double x1, double v1, double x2, double v2, bool same_kind) {
    if (x1 == x2) return 0.0;
    const double slope = (v1 - v2) / (x1 - x2);
    if (!(slope > 0.0) || !std::isfinite(slope)) return 0.0;
    return -(same_kind ? kReach : kHalfReach) * v1 / slope;
}

// The march of bracket_root from x0 (f rising; halfway as there), its step
// no longer than secant_reach's, where a step that f cannot be evaluated
// at, next to two good points, goes on by the secant through them: along
// an isochore the flash at (T, D) may place no state in a band next to the
// root, and halving the step from there took six failures, 0.15 to 1.4 s
// each, to give up (two liquids of cyclohexane + DMC at 10.41 mol/L,
// 284.47 K, 5e-4 K above the three-phase line, approached from 291.8 K in
// a step to 277.6 K).  Where the secant finds none, or with a single good
// point, the step is halved as there (and the march may step across the
// band).  split(x) tells a two-phase point.  a == b where a point met the
// value within ftol.
// The guide of that march.
template <class G>
struct IsochoreGuide {
    G split;
    double ftol;
    double secant_from = std::nan("");  // the good point the secant last left

    double limit(double good, double vg, double behind, double vb, double xn) const {
        const double reach = secant_reach(good, vg, behind, vb, split(good) == split(behind));
        return reach != 0.0 && std::fabs(reach) < std::fabs(xn - good) ? good + reach : xn;
    }
    template <class F>
    bool on_failure(F& f, double good, double vg, double behind, double vb, double xn, double& a,
                    double& fa, double& b, double& fb) {
        if (secant_from == good || behind == good) return false;
        secant_from = good;
        return secant_toward(f, good, vg, behind, vb, xn, ftol, a, fa, b, fb);
    }
};

template <class F, class G>
bool bracket_isochore(F f, G split, double x0, double step, double lo, double hi, bool halfway,
                      double ftol, double& a, double& fa, double& b, double& fb) {
    return bracket_root(f, x0, step, lo, hi, a, fa, b, fb, halfway, IsochoreGuide<G>{split, ftol});
}

// Temperatures of the isochore the flash at (T, D) may fail at before the
// searches give up: inside a three-phase region each failure takes 0.1 to
// 0.3 s, and the searches, each exploring anew, took 2 to 20 s to refuse
// (cyclohexane + DMC at 10.41 mol/L, h 10 to 6000 J/mol below that of the
// two liquids at 284.47 K; now 2 to 4 s).  The searches for the 348
// slowest states of a sweep of 957 mixtures met at most 19 failures on
// their way, 11 of them slower than 1 ms.
constexpr int kIsochoreFailures = 24;

}  // namespace

void db_mixture(double D, char letter, double b, const double z[20], double Tc, double Pc,
                double Dc, double t_start, TpResult& r, double& T, double& P, int& ierr,
                std::string& herr) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    TpResult last;
    double plast = 0.0, tlast = 0.0;
    // The states met, each placed once: the searches below meet many again
    // (cyclohexane + DMC at 10.41 mol/L: 150 trials at 60 temperatures).
    std::vector<IsochorePoint> met;
    int failures = 0;
    // The property along the isochore rises with the temperature.
    const auto f = [&](double t, double& v) {
        auto known =
            std::find_if(met.begin(), met.end(), [t](const IsochorePoint& m) { return m.t == t; });
        if (known == met.end() && failures >= kIsochoreFailures) return false;
        if (known == met.end()) {
            IsochorePoint m;
            m.t = t;
            int jerr = 0;
            std::string jmsg;
            td_mixture(t, D, z, Tc, Pc, Dc, m.r, m.p, jerr, jmsg);
            m.ok = jerr <= 0;
            if (!m.ok) ++failures;
            known = met.insert(met.end(), m);
        }
        if (!known->ok) return false;
        const TpResult& s = known->r;
        v = letter == 'S' ? s.s : letter == 'E' ? s.e : s.h;
        v -= b;
        last = s;
        plast = known->p;
        tlast = t;
        return std::isfinite(v);
    };
    // Whether the state met at t is two-phase.
    const auto two_phase_at = [&](double t) {
        const auto known =
            std::find_if(met.begin(), met.end(), [t](const IsochorePoint& m) { return m.t == t; });
        return known != met.end() && known->ok && known->r.q > 0.0 && known->r.q < 1.0;
    };
    double t = 0.0;
    const double ftol = 1e-12 * (std::fabs(b) + 1.0);
    const auto search = [&](double t0, double step, double lo, bool halfway) {
        double ta = 0, fa = 0, tb = 0, fb = 0, ft = 0;
        if (!bracket_isochore(f, two_phase_at, t0, step, lo, 1.5 * tmax, halfway, ftol, ta, fa, tb,
                              fb))
            return false;
        if (ta == tb) {
            t = ta;
            return true;
        }
        return brent_root(f, ta, fa, tb, fb, ftol, 1e-14, 80, t, &ft) && no_jump(ft, ftol);
    };
    // The searches, in turn, until one finds the state:
    // - from the single-phase root t_start where the flash at (T, D) places
    //   a state there (the state itself where it is single phase, and then
    //   no search; near it otherwise), in steps of a few per cent, or of a
    //   part in a million where the property there is the given one but
    //   for the last digits (ethanol + r22 at 19.2 mol/L, 164 K: 1.9e-12 of
    //   h off).  From the critical temperature a liquid isochore runs into
    //   pressures the flash at (T, D) refuses (r32 + r125 at 18.07 mol/L:
    //   130 MPa at 250 K, the state at 177.5 K);
    // - from the critical temperature in steps of 10 K (or from where the
    //   isochore's pressure is the range's limit, below);
    //   both not below where a component freezes (co2 + helium, with its
    //   critical temperature estimated at 138.9 K, where co2 is solid), and
    //   no step farther than halfway to that limit (propylene + r23: the
    //   flash at (T, D) takes seconds to fail between 106 and 114 K);
    // - over the whole range in steps that grow unchecked, from t_start
    //   where the flash at (T, D) failed there, then from the critical
    //   temperature: where that flash places no state in a band next to the
    //   root, these may still step across it (r152a + ammonia at
    //   24.6 mol/L: none between 180 and 200.4 K, the state at 200.495 K;
    //   r32 + sf6 at 15.8 mol/L: none between 214 and 228.5 K, the state at
    //   228.555 K).
    constexpr double kStartStep = 0.02;   // of the start temperature
    constexpr double kNearStep = 1e-6;    // of the start temperature
    constexpr double kNearValue = 1e-10;  // of the value: a start this close is near
    const double t_low = std::max(tmin, mix::freezing_floor(z));
    const double t_crit = std::clamp(Tc, tmin, tmax);
    double v0 = 0.0;
    const bool evaluated = t_start >= t_low && t_start <= 1.5 * tmax && f(t_start, v0);
    const bool at_start = evaluated && std::fabs(v0) <= ftol;
    if (at_start) t = t_start;
    const bool near = evaluated && std::fabs(v0) <= kNearValue * (std::fabs(b) + 1.0);
    // Where the flash at (T, D) refuses the critical temperature, a dense
    // isochore's pressure there lies beyond the equation's range (R403B at
    // 16.12 mol/L: 445 MPa at 351 K, two liquids at 130.45 K): down from
    // where the single-phase pressure is the range's limit, as from Tc.
    const auto from_range_limit = [&]() {
        double v = 0.0, tp = 0.0, pp = 0.0;
        int perr = 0;
        std::string pmsg;
        if (!(t_low < tmax) || f(std::max(t_crit, t_low), v)) return false;
        DBFL1(D, pmax, z, "DP", tp, pp, perr, pmsg);
        return perr <= 0 && tp > t_low && tp < t_crit && search(tp, 10.0, t_low, true);
    };
    const bool found =
        at_start ||
        (evaluated && search(t_start, (near ? kNearStep : kStartStep) * t_start, t_low, true)) ||
        (t_low < tmax && search(std::max(t_crit, t_low), 10.0, t_low, true)) ||
        from_range_limit() ||
        (!evaluated && t_start >= tmin && t_start <= 1.5 * tmax &&
         search(t_start, kStartStep * t_start, tmin, false)) ||
        search(t_crit, 10.0, tmin, false);
    if (!found) {
        r.q = kQualityFailed;
        fail(248, std::string("D") + letter + "FLSH",
             "iteration did not converge for the mixture along the isochore", ierr, herr);
        return;
    }
    if (tlast != t) {
        double v = 0.0;
        if (!f(t, v)) {
            r.q = kQualityFailed;
            fail(248, std::string("D") + letter + "FLSH",
                 "iteration did not converge for the mixture along the isochore", ierr, herr);
            return;
        }
    }
    r = last;
    T = t;
    P = plast;
}

void pd_mixture(double P, double D, const double z[20], double Tc, double Pc, double Dc,
                TpResult& r, double& T, int& ierr, std::string& herr) {
    // A stable single phase needs no saturation point, as at given T (a
    // bubble or dew point sought far above the mixture's two-phase region
    // is slow to fail: butane + water at 62.96 MPa, 614.7 K, 14.7 s).
    double t_single = 0.0, p_single = 0.0;
    int serr = 0;
    std::string smsg;
    PDFL1(P, D, z, t_single, serr, smsg);
    const bool root = serr <= 0 && t_single > 0.0;
    if (root) PRESS(t_single, D, z, p_single);
    if (root && p_single > 0.0 && stable_single_phase(t_single, D, p_single, z)) {
        T = t_single;
        single(T, D, z, r);
        r.q = marker(T, P, D, Tc, Pc, Dc);
        return;
    }
    double tdew = 0, dldew = 0, dvdew = 0, xdew[20], ydew[20];
    double tbub = 0, dlbub = 0, dvbub = 0, xbub[20], ybub[20];
    int derr = 0, berr = 0;
    std::string jmsg;
    {
        flash::QuietMessages quiet;
        SATP(P, z, kDewPoint, tdew, dldew, dvdew, xdew, ydew, derr, jmsg);
        SATP(P, z, kBubblePoint, tbub, dlbub, dvbub, xbub, ybub, berr, jmsg);
    }
    if (derr == 0 && berr == 0 && dvdew < D && D < dlbub) {
        int jerr = 0;
        PDFL2(P, D, z, kSaturationGiven, tbub, tdew, dlbub, dvdew, ybub, xdew, T, r.Dl, r.Dv, r.x,
              r.y, r.q, jerr, jmsg);
        // (Checked as in td_mixture: the solver may end on a split of
        // another density, r32 + R218 at 25.3 kPa, 13.76 mol/L, at 189.474
        // K instead of 189.428 K, whose phases add up to 0.025 mol/L.)
        if (jerr <= 0 && split_is_state(T, P, D, z, r)) {
            flash::mix_phases(T, r.q, r.Dl, r.Dv, r.x, r.y, r.e, r.h, r.s, r.cv, r.cp, r.w);
            r.D = D;
            return;
        }
    }
    if (root && mix::single_phase_kept(t_single, D, z)) {
        T = t_single;
        single(T, D, z, r);
        r.q = marker(T, P, D, Tc, Pc, Dc);
        return;
    }
    mix::TpState st;
    double t1 = berr == 0 ? tbub : 0.5 * Tc, t2 = derr == 0 ? tdew : 1.5 * Tc;
    // (From where no component beyond a trace is frozen: the furnace gas of
    // 4 % water at 1 atm, without a bubble point, searched from 193 K, where
    // its water is ice, and failed.)
    const double floor = mix::freezing_floor(z);
    if (t1 < floor) {
        t1 = floor;
        t2 = std::max(t2, t1 + 10.0);
    }
    if (!mix::on_isobar(P, 'D', D, z, t1, t2, st)) {
        if (derr == 0 && berr == 0 && dvdew < D && D < dlbub &&
            by_quality(false, P, D, z, dlbub, dvdew, r, T))
            return;
        r.q = kQualityFailed;
        fail(226, "PDFLSH", "iteration did not converge for the mixture along the isobar", ierr,
             herr);
        return;
    }
    T = st.T;
    from_state(st, z, r);
    if (!st.two_phase) r.q = marker(T, P, st.D, Tc, Pc, Dc);
}

}  // namespace lib
