// The density flashes of a mixture at given T or P: the saturation road
// (bubble and dew points, the two-phase solver between them), each
// single-phase result checked for stability, and the search along the
// isotherm or isobar through the (T, p) flash where the road cannot place
// the state.
#include "library/phase/tdmix.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/press.h"
#include "library/phase/brent.h"
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
            stable_root_at(T, D, P, z));
}

// Whether the split r at (T, P) of the two-phase solver is the state of
// density D: its phases add up to D, its liquid splits no further, and the
// (T, p) flash finds that state there (whose names of the phases it takes).
bool split_is_state(double T, double P, double D, const double z[20], TpResult& r) {
    return r.q > 0.0 && r.q < 1.0 && of_density(r, D) && !liquid_splits(T, P, r) &&
           tp_flash_has_density(T, P, D, z, r);
}

// Densities of phases that are the same phase (a split found by the vapour
// fraction and the (T, p) flash's at its T and P, which differ in the last
// digits of the free variable).
constexpr double kSamePhase = 1e-6;

bool same_phases(const mix::TpState& st, const TpResult& r) {
    const auto near = [](double a, double b) { return std::fabs(a / b - 1.0) <= kSamePhase; };
    return st.two_phase &&
           ((near(st.Dl, r.Dl) && near(st.Dv, r.Dv)) || (near(st.Dl, r.Dv) && near(st.Dv, r.Dl)));
}

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
    const auto at = [&](double q, double& f) {
        int kerr = 0;
        std::string kmsg;
        flash::QuietMessages quiet;
        if (at_t)
            TQFLSH(a, q, z, kMolarQuality, p, d, s.Dl, s.Dv, s.x, s.y, s.e, s.h, s.s, s.cv, s.cp,
                   s.w, kerr, kmsg);
        else
            PQFLSH(a, q, z, kMolarQuality, t, d, s.Dl, s.Dv, s.x, s.y, s.e, s.h, s.s, s.cv, s.cp,
                   s.w, kerr, kmsg);
        if (kerr > 0 || !(d > 0.0)) return false;
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
        if (mix::on_isotherm(T, target, z, pdew, 1.0 / dvdew - 1.0 / D, 2.0 * pmax, kLowerRoot,
                             st)) {
            P = st.P;
            from_state(st, z, r);
            if (!st.two_phase) r.q = marker(T, P, st.D, Tc, Pc, Dc);
            return;
        }
    }
    if (derr == 0 && berr == 0 && dvdew < D && D < dlbub) {
        int jerr = 0;
        TDFL2(T, D, z, kSaturationGiven, pbub, pdew, dlbub, dvdew, ybub, xdew, P, r.Dl, r.Dv, r.x,
              r.y, r.q, jerr, jmsg);
        // (Not where its liquid splits in two: the liquid's bubble point
        // lies beyond the three-phase line, and the search along the
        // isotherm finds the stable pair.)
        if (jerr <= 0 && split_is_state(T, P, D, z, r)) {
            flash::mix_phases(T, r.q, r.Dl, r.Dv, r.x, r.y, r.e, r.h, r.s, r.cv, r.cp, r.w);
            r.D = D;
            return;
        }
    }
    const double hint = derr == 0 ? pdew : (P > 0.0 ? P : Pc);
    if (!mix::on_isotherm_density(T, D, z, 0.5 * hint, 2.0 * hint, st)) {
        if (derr == 0 && berr == 0 && dvdew < D && D < dlbub &&
            by_quality(true, T, D, z, dlbub, dvdew, r, P))
            return;
        r.q = kQualityFailed;
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

void db_mixture(double D, char letter, double b, const double z[20], double Tc, double Pc,
                double Dc, double t_start, TpResult& r, double& T, double& P, int& ierr,
                std::string& herr) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    TpResult last;
    double plast = 0.0, tlast = 0.0;
    // The property along the isochore rises with the temperature.
    const auto f = [&](double t, double& v) {
        TpResult s;
        double p = 0.0;
        int jerr = 0;
        std::string jmsg;
        td_mixture(t, D, z, Tc, Pc, Dc, s, p, jerr, jmsg);
        if (jerr > 0) return false;
        v = letter == 'S' ? s.s : letter == 'E' ? s.e : s.h;
        v -= b;
        last = s;
        plast = p;
        tlast = t;
        return std::isfinite(v);
    };
    double t = 0.0;
    const double ftol = 1e-12 * (std::fabs(b) + 1.0);
    const auto search = [&](double t0, double step, double lo, bool halfway) {
        double ta = 0, fa = 0, tb = 0, fb = 0, ft = 0;
        return bracket_root(f, t0, step, lo, 1.5 * tmax, ta, fa, tb, fb, halfway) &&
               brent_root(f, ta, fa, tb, fb, ftol, 1e-14, 80, t, &ft) && no_jump(ft, ftol);
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
    // - from the critical temperature in steps of 10 K;
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
    const bool found =
        at_start ||
        (evaluated && search(t_start, (near ? kNearStep : kStartStep) * t_start, t_low, true)) ||
        (t_low < tmax && search(std::max(t_crit, t_low), 10.0, t_low, true)) ||
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
    if (root && mix::single_phase_stable(t_single, D, z)) {
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
