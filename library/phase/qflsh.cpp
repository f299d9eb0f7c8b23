// Quality flashes: the saturated or two-phase state from a vapour fraction
// and the temperature, the pressure or the overall density.
#include "library/phase/qflsh.h"

#include <algorithm>
#include <cmath>

#include "library/models/critp.h"
#include "library/phase/abfl2.h"
#include "library/phase/dbflsh.h"
#include "library/phase/envelope.h"
#include "library/phase/eqdome.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/mixest.h"
#include "library/phase/mixflash.h"
#include "library/phase/ptanc.h"
#include "library/phase/qflshsplit.h"
#include "library/phase/satcheb.h"
#include "library/phase/satgv.h"
#include "library/phase/satmemo.h"
#include "library/phase/satmix.h"
#include "library/phase/satp.h"
#include "library/phase/satt.h"
#include "library/phase/tbmix.h"
#include "library/phase/tpflsh.h"
#include "library/phase/tprho.h"
#include "library/setup/limits.h"
#include "library/setup/records.h"

namespace lib {
namespace {

using mix::molar_quality;
using mix::phases_are_one;
using mix::refuse_no_split_of;

// A state of vapour fraction q at given pressure lies between the bubble
// and the dew point: one further below the bubble point than this share of
// its temperature is a split of two liquids.
constexpr double kBelowBubble = 1e-6;

using flash::cut;

// Phase properties of a two-phase state at T and their mix at molar quality q.
void mix_phases(double T, double q, double Dl, double Dv, const double x[20], const double y[20],
                double& D, double& e, double& h, double& s, double& cv, double& cp, double& w) {
    flash::mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w, kMarker2);
    D = flash::mixed_density(q, Dl, Dv);
}

// The same for a pure fluid (not a blend): its saturated phases' properties
// from the expansions where they answer, as the pressure flashes take them
// (they agree with the equation's to some 1e-14).
void mix_pure_phases(int icomp, bool ppf, double T, double q, double Dl, double Dv,
                     const double x[20], const double y[20], double& D, double& e, double& h,
                     double& s, double& cv, double& cp, double& w) {
    satcheb::Phases ph;
    if (icomp > 0 && !ppf && satcheb::phases_at_t(icomp, T, ph)) {
        flash::mix_phases(q, {ph.el, ph.hl, ph.sl}, {ph.ev, ph.hv, ph.sv}, e, h, s, cv, cp, w,
                          kMarker2);
        D = flash::mixed_density(q, Dl, Dv);
        return;
    }
    mix_phases(T, q, Dl, Dv, x, y, D, e, h, s, cv, cp, w);
}

bool same_as_one(double q) { return std::fabs(1.0 - q) <= 1e-8; }
bool same_as_zero(double q) { return std::fabs(q) <= 1e-8; }

// True for a pure fluid, or a mixture all of one component.
bool single_component(int icomp, const double z[20]) {
    bool pure = icomp > 0;
    for (int i = 0; i < NCOMP.nc && i < 20 && !pure; ++i) pure = std::fabs(z[i] - 1.0) <= 1e-8;
    return pure;
}

// Error n of a quality outside 0..1.
void quality_out_of_range(const char* routine, int n, double q, int& ierr, std::string& herr) {
    fail(n, routine,
         "input quality is out of range; q =" + fmt_g(q, 12, 5) +
             "; quality must be between 0 and 1 ",
         ierr, herr);
}

// The error of a saturation point that failed (its ierr stands), named by
// what it was for.
void saturation_failed(const char* routine, const char* what, const std::string& m, int& ierr,
                       std::string& herr) {
    fail(ierr, routine, std::string(what) + ":  " + cut(m, 200), ierr, herr, kNoNumber);
}

// Beyond the stated critical point, up to the equation's own where that lies
// higher, the state of vapour fraction q on the equation's saturation line
// at T (t_given) or P: the state the enthalpy and entropy flashes find
// there (eqdome.h).  The saturation routines end at the stated point: r13
// between 3871.5 kPa, the pressure at its stated 301.88 K, and the
// equation's 3973.1 kPa, PQFLSH failed with 144 ("did not converge") and
// 291 where PHFLSH gave the two-phase states.  False (nothing set) for a
// mixture, a blend, a quality outside 0..1, and outside that line.
bool equation_saturation_state(bool t_given, double given, double q, const double z[20], double& T,
                               double& P, double& D, double& Dl, double& Dv, double x[20],
                               double y[20], double& e, double& h, double& s, double& cv,
                               double& cp, double& w) {
    if (q < -1e-8 || q > 1.0 + 1e-8) return false;
    eqdome::Split sp;
    if (!(t_given ? eqdome::at_t(z, given, 'D', 0.0, sp) : eqdome::at_p(z, given, 'D', 0.0, sp)))
        return false;
    flash::copy20(z, x);
    flash::copy20(z, y);
    T = sp.T;
    P = sp.P;
    Dl = sp.Dl;
    Dv = sp.Dv;
    if (same_as_zero(q) || same_as_one(q)) {
        D = same_as_zero(q) ? Dl : Dv;
        double pscr = 0, hjt = 0;
        THERM(T, D, z, pscr, e, h, s, cv, cp, w, hjt);
        return true;
    }
    mix_phases(T, q, Dl, Dv, x, y, D, e, h, s, cv, cp, w);
    return true;
}

// The two phases of a mixture at molar vapour fraction q with T (t_given)
// or P given, by Newton's method on ln K, ln T and ln P from the start in T,
// P, Dl, Dv, x, y; false (nothing changed) when it does not converge to a
// distinct pair of phases in equilibrium with the feed.  (Just below the
// critical pressure of co2+nitrogen, 11.15 MPa and q 0.588, it converged to
// 42 K with phases that do not add up to the feed.)
bool split_at_fraction(bool t_given, double q, const double z[20], double& T, double& P, double& Dl,
                       double& Dv, double x[20], double y[20]) {
    double t = T, p = P, dl = Dl, dv = Dv, l[20], v[20];
    flash::copy20(x, l);
    flash::copy20(y, v);
    double sl = 0.0, sv = 0.0;
    for (int i = 0; i < 20; ++i) {
        sl += l[i];
        sv += v[i];
    }
    for (int i = 0; i < 20; ++i) {
        l[i] /= sl;
        v[i] /= sv;
    }
    int jerr = 0;
    std::string jmsg;
    {
        flash::QuietMessages quiet;
        SATGV(t, p, z, q, 0.0, kPressureForm, t_given ? kGivenTemperature : kGivenPressure, 0, dl,
              dv, l, v, jerr, jmsg);
    }
    if (jerr != 0 || !(dl > 0.0) || !(dv > 0.0) || std::fabs(dl - dv) < 1e-6 * dl) return false;
    // A liquid lighter than its vapour: the iteration ended on the phases
    // swapped, the state of vapour fraction 1 - q (ethane+octane 50/50 at
    // 323.38 K and q 0.50066: the pressure of q 0.49934).
    if (dl < dv) return false;
    if (!split_is_equilibrium(t, z, q, dl, dv, l, v)) return false;
    T = t;
    P = p;
    Dl = dl;
    Dv = dv;
    flash::copy20(l, x);
    flash::copy20(v, y);
    return true;
}

// The two-phase iteration ended on no equilibrium of vapour fraction q
// (with `where` the given T or P).
void no_equilibrium(const char* routine, double q, const std::string& where, int& ierr,
                    std::string& herr) {
    fail(225, routine,
         "TPFL2 did not converge in two-phase iteration:  no equilibrium of vapor fraction q =" +
             fmt_g(q, 12, 5) + " found at " + where,
         ierr, herr);
}

// The outputs of a quality flash from a two-phase state found along the
// isotherm or isobar (its T and P are the caller's to take).
void two_phase_state(double T, const mix::TpState& st, double& D, double& Dl, double& Dv,
                     double x[20], double y[20], double& e, double& h, double& s, double& cv,
                     double& cp, double& w, int& ierr, std::string& herr) {
    Dl = st.Dl;
    Dv = st.Dv;
    flash::copy20(st.x, x);
    flash::copy20(st.y, y);
    mix_phases(T, st.q, Dl, Dv, x, y, D, e, h, s, cv, cp, w);
    ierr = 0;
    herr.clear();
}

// In place of a refused split, the stable state of vapour fraction q
// searched along the isotherm (isobar) through the (T, p) flash's own
// states, from below every dew point up (from the upper temperature limit
// down): another pressure may hold one (octane + water 50/50 at 420.9 K
// and q 0.8: at 501 kPa, where the split first found lay higher).
// False where none is found within kSearchStates states of the (T, p)
// flash (the search for carbon dioxide + water, 90 % CO2, at 278.6 K and
// q 0.2, which has none, took 107 ms unbounded, 28 ms so).  The search of a
// wet gas's isotherm up from its dew point is bounded so too (the
// 10-component gas at 240 K once narrowed the edge of a split at 400 MPa
// for 7 s; over 10,353 round trips through TQFLSH none needed more).
constexpr int kSearchStates = 50;
// The same search up from a dew point: the vapour fraction of a light gas
// over a heavy liquid falls slowly with the pressure, and 30 states reach
// the splits of the binary grid's states there (isobutane + argon at
// 129.1 K and q 0.49996: 1,027 kPa, 30 states from the dew point at
// 1.5e-3 kPa); a search that finds none (carbon dioxide + water, 90 % CO2,
// at 250 K and q 0.5: the splits' fraction stays near 0.9 up to the
// pressure limit) costs some 40 ms.
constexpr int kDewSearchStates = 30;
// Whether the (T, p) flash's state at this share of the dew pressure pdew
// is a single phase: the dew point is the lowest at T.
constexpr double kBelowDew = 0.5;
bool gas_below(double T, double pdew, const double z[20]) {
    mix::TpState tp;
    flash::QuietMessages quiet;
    return mix::tp_state(T, kBelowDew * pdew, z, tp) && !tp.two_phase;
}

bool quality_search(bool t_given, double T, double P, double q, int kq, const double z[20],
                    mix::TpState& st, int states) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    const mix::Target target{'Q', q, kq == kMassQuality ? kMassQuality : kMolarQuality};
    if (t_given) {
        double pdew = 0, Dl = 0, Dv = 0, x[20], y[20];
        int jerr = 0;
        std::string jmsg;
        {
            flash::QuietMessages quiet;
            SATT(T, z, kDewPoint, pdew, Dl, Dv, x, y, jerr, jmsg);
        }
        const bool dew = jerr <= 0 && pdew > 0.0;
        // A dew point inside the splits of the (T, p) flash is that of a
        // vapour beside a liquid that splits again, above a three-phase line:
        // the vapour and liquid lie below it (pentane + water at 291.7 K: a
        // dew point at 423 kPa among two liquids, the vapour and water of
        // q 0.52 at 51 kPa), and the march down from it finds them.
        // (Else the splits of two liquids above it: octane + water 1:1 at
        // 301 K, a dew point at 32.4 kPa among two liquids of q 0.4999963,
        // the split of q 0.49999615 at 519 kPa.)
        const bool among_splits = dew && mix::dew_point_among_splits(T, pdew, z);
        if (among_splits &&
            mix::on_isotherm(T, target, z, mix::below_dew_pressure(T, z), std::nan(""), pdew,
                             kHigherRoot, st, kSearchStates, false) &&
            st.two_phase)
            return true;
        // Else up from the dew point at T first, where SATT finds one: from
        // below it the march crosses decades of gas, where the vapour
        // fraction does not change, with short steps (methane + isopentane
        // at 134.1 K, dew point at 6e-5 kPa: 50 states did not reach the
        // split of q 0.48 at 178 kPa).
        if (dew && !among_splits) {
            if (mix::on_isotherm(T, target, z, pdew, 1.0 - q, 2.0 * pmax, kLowerRoot, st,
                                 kDewSearchStates, false) &&
                st.two_phase)
                return true;
            // (Below a dew point with gas beneath it the march from below
            // would only cross that gas to the same states.)
            if (gas_below(T, pdew, z)) return false;
        }
        return mix::on_isotherm(T, target, z, mix::below_dew_pressure(T, z), std::nan(""),
                                2.0 * pmax, kLowerRoot, st, states, false) &&
               st.two_phase;
    }
    // Down from the dew point at P first, where SATP finds one: from the
    // upper limit the steps through the gas spent the states (the
    // 10-component gas at 4 MPa, from 654 K: 50 states before 331 K).
    double tdew = 0, Dl = 0, Dv = 0, x[20], y[20];
    int jerr = 0;
    std::string jmsg;
    {
        flash::QuietMessages quiet;
        SATP(P, z, kDewPoint, tdew, Dl, Dv, x, y, jerr, jmsg);
    }
    if (jerr <= 0 && tdew > tmin &&
        mix::on_isobar_down(P, target, z, tdew, std::nan(""), tmin, st, kSearchStates, false) &&
        st.two_phase)
        return true;
    return mix::on_isobar_down(P, target, z, tmax, std::nan(""), tmin, st, states, false) &&
           st.two_phase;
}

// Whether the split st of feed z lies inside the range of the equations as
// the (T, p) flash judges it (its T and P for the feed, its mixed density):
// the searches reach twice the pressure limit, where that flash refuses the
// state (hexane + water, 10 % hexane, at 375.8 K and q 0.02: a split at
// 1.55 GPa, beyond the density limit).  Its phases' own compositions are
// not judged: the flash's split of butane + R245fa, 20 % butane, at
// 154.7 K and 80 kPa has a liquid of 98.6 % R245fa, below that fluid's
// triple point, and the state was refused where the (T, p) flash gives it.
bool split_in_range(const mix::TpState& st, const double z[20]) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int lerr = 0;
    std::string lmsg;
    flash::found_state_limits(st.T, 0.0, st.P, z, tmin, tmax, dmax, pmax, lerr, lmsg);
    return lerr <= 0 && st.D <= dmax;
}

// The stable state of vapour fraction q along the isotherm (isobar), inside
// the range of the equations.
bool stable_state_of_quality(bool t_given, double T, double P, double q, int kq, const double z[20],
                             mix::TpState& st, int states = kSearchStates) {
    return quality_search(t_given, T, P, q, kq, z, st, states) && split_in_range(st, z);
}

namespace {

// LIMITX's number for a pressure above the melting pressure (or a
// temperature below the triple point).
constexpr int kMeltingFlag = 16;

// The bubble point of z at T by the saturation routine, above the dew
// pressure pdew: false where it finds none (or only the liquid's split).
bool saturation_bubble(double T, const double z[20], double pdew, double& pbub, double& dlbub,
                       double& dvbub, double xs[20], double ybub[20]) {
    int jerr = 0;
    std::string jmsg;
    flash::QuietMessages quiet;
    SATT(T, z, kBubblePoint, pbub, dlbub, dvbub, xs, ybub, jerr, jmsg);
    return jerr <= 0 && pbub > pdew && dlbub > dvbub;
}

// Where the dew point at P did not converge but the bubble point did, the
// split of the vapour fraction asked for by `along` (the march down the
// isobar) from a gas above the bubble point tbub: next to the critical
// point the band between them is narrow (R422D at 3790.6 kPa, 0.998 of its
// critical pressure: bubble point 351.08 K, dew point near 351.28 K, where
// SATP failed with 148; the split of q 0.94 at 351.2645 K was not found).
// The gas is looked for in steps doubling from 1e-4 of tbub (the march
// down from a gas 1e-3 above stepped over that band), and the march tried
// from the first few gases found (the (T, p) flash may keep the feed whole
// inside the band, next to the critical point).
template <class Along>
bool down_from_gas_above(double P, double tbub, const double z[20], const Along& along) {
    constexpr double kFirstStep = 1e-4, kLastStep = 0.06;
    constexpr int kGasStarts = 3;
    if (!(tbub > 0.0)) return false;
    flash::QuietMessages quiet;
    int starts = 0;
    for (double share = kFirstStep; share <= kLastStep && starts < kGasStarts; share *= 2.0) {
        const double t = tbub * (1.0 + share);
        mix::TpState g;
        if (!mix::tp_state(t, P, z, g)) return false;
        if (g.two_phase) continue;
        ++starts;
        if (along(t, std::nan(""))) return true;
    }
    return false;
}

}  // namespace

void tq_flash(double T, double q, const double z[20], int kq, double& P, double& D, double& Dl,
              double& Dv, double x[20], double y[20], double& e, double& h, double& s, double& cv,
              double& cp, double& w, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    P = D = Dl = Dv = e = h = s = cv = cp = w = 0.0;
    const int icomp = ISPURE(z);
    flash::start_compositions(icomp, z, x, y);
    const bool ppf = flash::pseudo_pure(icomp);
    if (flash::not_a_number("TQFLSH", {T, q}, ierr, herr)) return;
    if (flash::not_positive("TQFLSH", {{'T', T}}, ierr, herr)) return;

    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    std::string jmsg;
    LIMITX("EOS", T, 0.0, 0.0, z, tmin, tmax, dmax, pmax, ierr, jmsg);
    if (ierr > 0) {
        fail(ierr, "TQFLSH", flash::range_cut(ierr, jmsg, 3), ierr, herr, 3);
        return;
    }
    ierr = 0;
    double Tc = 0, Pc = 0, Dc = 0;
    if (!flash::critical_point(z, Tc, Pc, Dc, "TQFLSH", 270, 235, ierr, herr)) return;
    // A mixture's dew points reach far above its critical temperature (a
    // wet gas): whether it has two phases at T is for the saturation
    // points to say.
    if ((T >= Tc && (NCOMP.nc == 1 || icomp > 0)) || (icomp == 0 && mix::no_dew_point(T, z))) {
        if (equation_saturation_state(true, T, q, z, T, P, D, Dl, Dv, x, y, e, h, s, cv, cp, w))
            return;
        fail(271, "TQFLSH",
             "temperature input to temperature-quality flash is greater than critical "
             "temperature; T =" +
                 fmt_g(T, 12, 5) + " K, Tcrit =" + fmt_g(Tc, 12, 5) + " K.",
             ierr, herr);
        return;
    }
    auto sat_failed = [&](const char* what, const std::string& m) {
        saturation_failed("TQFLSH", what, m, ierr, herr);
    };
    double hjt = 0, pscr = 0, dscr = 0, xs[20], ys[20];

    if (same_as_zero(q) || same_as_one(q)) {
        const bool liquid = same_as_zero(q);
        SATT(T, z, liquid ? kBubblePoint : kDewPoint, P, Dl, Dv, x, y, ierr, jmsg);
        if (icomp == 0 && !ppf) refuse_split_liquid(128, "SATT", T, P, Dl, x, ierr, jmsg);
        if (ierr > 0) return sat_failed(liquid ? "(sat liquid)" : "(sat vapor)", jmsg);
        if (ppf) {
            // The other line of a blend: its own density of the other phase.
            double p2 = 0;
            SATT(T, z, liquid ? kDewPoint : kBubblePoint, p2, liquid ? dscr : Dl,
                 liquid ? Dv : dscr, xs, ys, ierr, jmsg);
            if (ierr > 0) return sat_failed(liquid ? "(sat liquid)" : "(sat vapor)", jmsg);
            flash::copy20(xs, x);
            flash::copy20(ys, y);
        }
        D = liquid ? Dl : Dv;
        // The saturation pressure stands: the liquid root's own pressure is
        // badly conditioned far below the critical point.
        THERM(T, D, liquid ? x : y, pscr, e, h, s, cv, cp, w, hjt);
        ierr = 0;
        return;
    }
    if (q < 0.0 || q > 1.0) return quality_out_of_range("TQFLSH", 275, q, ierr, herr);

    if (single_component(icomp, z)) {
        double pbub = 0, pdew = 0;
        SATT(T, z, kBubblePoint, pbub, Dl, Dv, x, ys, ierr, jmsg);
        if (ierr > 0) return sat_failed("(2-phase)", jmsg);
        pdew = pbub;
        if (ppf) {
            SATT(T, z, kDewPoint, pdew, dscr, Dv, xs, y, ierr, jmsg);
            if (ierr > 0) return sat_failed("(2-phase)", jmsg);
        } else {
            flash::copy20(ys, y);
        }
        mix_pure_phases(icomp, ppf, T, q, Dl, Dv, x, y, D, e, h, s, cv, cp, w);
        P = q * pdew + (1.0 - q) * pbub;
        ierr = 0;
        return;
    }

    // Mixture.
    double pbub = 0, pdew = 0, dlbub = 0, dvbub = 0, dldew = 0, dvdew = 0, ybub[20], xdew[20];
    double tb = T;
    const int berr = mix::quick_bubble(true, z, tb, pbub, dlbub, dvbub, xs, ybub) ? 0 : 1;
    SATT(T, z, kDewPoint, pdew, dldew, dvdew, xdew, ys, ierr, jmsg);
    const mix::Target target{'Q', q, kq == kMolarQuality ? kMolarQuality : kMassQuality};
    mix::TpState st;
    if (ierr > 0) {
        // Neither a dew nor a bubble point found at T: the state of vapour
        // fraction q along the isotherm, up from a pressure below every dew
        // point.
        const std::string dew_failure = jmsg;
        const int dew_error = ierr;
        if (berr > 0 &&
            mix::on_isotherm(T, target, z, mix::below_dew_pressure(T, z), std::nan(""), 2.0 * pmax,
                             kLowerRoot, st) &&
            st.two_phase) {
            P = st.P;
            return two_phase_state(T, st, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
        }
        // A bubble point but no dew point found: down from the bubble point
        // (hydrogen chloride + methanol at 429.8 K, whose dew iteration
        // fails: the split of q 0.011 at 2.86 MPa, 86 kPa below the bubble
        // point).
        if (berr <= 0 && pbub > 0.0 &&
            mix::on_isotherm(T, target, z, mix::below_dew_pressure(T, z), std::nan(""), pbub,
                             kHigherRoot, st, kSearchStates, false) &&
            st.two_phase) {
            P = st.P;
            return two_phase_state(T, st, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
        }
        ierr = dew_error;
        return sat_failed("(2-phase)", dew_failure);
    }
    if (berr > 0) {
        // No bubble point at T (a wet gas): the state of vapour fraction q
        // along the isotherm, up from the dew point.
        // (Where the splits continued from the dew point lose the way, the
        // (T, p) flash's own states: nitrogen + pentane at 236.3 K, the
        // split of q 0.46 at 5.05 MPa.)
        if ((mix::on_isotherm(T, target, z, pdew, 1.0 - q, 2.0 * pmax, kLowerRoot, st,
                              kSearchStates) &&
             st.two_phase) ||
            stable_state_of_quality(true, T, P, q, kq, z, st)) {
            P = st.P;
            return two_phase_state(T, st, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
        }
        // Or one that Newton's method alone did not find: close to the
        // critical point (ethylbenzene + octane at 586.3 K, bubble and dew
        // points 0.3 % apart), the saturation routine's.
        if (!saturation_bubble(T, z, pdew, pbub, dlbub, dvbub, xs, ybub)) {
            ierr = 0;
            herr.clear();
            return fail(275, "TQFLSH",
                        "no two-phase state of vapor fraction q =" + fmt_g(q, 12, 5) +
                            " found at T =" + fmt_g(T, 12, 5) +
                            " K between its dew point and the pressure limit (no bubble point)",
                        ierr, herr);
        }
    }
    for (int i = 0; i < 20; ++i) {
        x[i] = q * xdew[i] + (1.0 - q) * z[i];
        y[i] = (1.0 - q) * ybub[i] + q * z[i];
    }
    // The start pressure between the bubble and the dew point, linear in q;
    // where they lie decades apart also the geometric mean (propane+co
    // 50/50 at 180.9 K: 11 kPa and 20.9 MPa, the split of q 0.497 at
    // 477 kPa, which the linear start misses).
    const double starts[2] = {q * pdew + (1.0 - q) * pbub,
                              std::exp(q * std::log(pdew) + (1.0 - q) * std::log(pbub))};
    for (int k = 0; k < (pbub > 10.0 * pdew ? 2 : 1); ++k) {
        P = starts[k];
        Dl = dlbub;
        Dv = dvdew;
        if (kq == kMolarQuality && split_at_fraction(true, q, z, T, P, Dl, Dv, x, y)) {
            mix_phases(T, q, Dl, Dv, x, y, D, e, h, s, cv, cp, w);
            ierr = 0;
            herr.clear();
            return;
        }
    }
    P = starts[0];
    Dl = dlbub;
    Dv = dvdew;
    const int kq2 = kq == kMolarQuality ? kMolarQuality : kMassQuality;
    TQFL2(T, q, z, kq2, kSaturationComputed, pbub, pdew, dlbub, dvdew, ybub, xdew, P, Dl, Dv, x, y,
          ierr, herr);
    if (ierr > 0) return;
    TPRHO(T, P, x, kLiquid, kStartValue, Dl, ierr, jmsg);
    if (ierr <= 0) TPRHO(T, P, y, kVapour, kStartValue, Dv, ierr, jmsg);
    if (ierr > 0) return sat_failed("(2-phase)", jmsg);
    const double qm = kq == kMolarQuality ? q : molar_quality(q, x, y);
    // What the iteration ended on must be the feed's split at q (propane+co
    // 50/50 at 180.9 K and q 0.497: it ended on the bubble pressure,
    // 20.9 MPa, with the feed as its vapour; the split lies at 477 kPa).
    if (!(Dl > Dv) || phases_are_one(Dl, Dv, x, y) || !split_is_equilibrium(T, z, qm, Dl, Dv, x, y))
        return no_equilibrium("TQFLSH", q, "T =" + fmt_g(T, 12, 5) + " K", ierr, herr);
    mix_phases(T, qm, Dl, Dv, x, y, D, e, h, s, cv, cp, w);
    ierr = 0;
    herr.clear();
}

void pq_flash(double P, double q, const double z[20], int kq, double& T, double& D, double& Dl,
              double& Dv, double x[20], double y[20], double& e, double& h, double& s, double& cv,
              double& cp, double& w, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    T = D = Dl = Dv = e = h = s = cv = cp = w = 0.0;
    const int icomp = ISPURE(z);
    flash::start_compositions(icomp, z, x, y);
    const bool ppf = flash::pseudo_pure(icomp);
    if (flash::not_a_number("PQFLSH", {P, q}, ierr, herr)) return;
    if (flash::not_positive("PQFLSH", {{'P', P}}, ierr, herr)) return;

    double Tc = 0, Pc = 0, Dc = 0;
    if (!flash::critical_point(z, Tc, Pc, Dc, "PQFLSH", 290, 235, ierr, herr)) {
        T = 300.0;
        return;
    }
    int jerr = 0;
    std::string jmsg;
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITX("EOS", 0.8 * Tc, 0.0, P, z, tmin, tmax, dmax, pmax, jerr, jmsg);
    // (A mixture's two phases may lie far above its estimated critical
    // temperature, and above the melting there: carbon dioxide + helium at
    // 8.8 MPa, two phases at 255 K, the estimate 139 K, where the carbon
    // dioxide would melt at 6.3 MPa.  The search refuses frozen states.)
    if (jerr > 0 && !(icomp == 0 && jerr == kMeltingFlag)) {
        T = 0.8 * Tc;
        fail(jerr, "PQFLSH", flash::range_cut(jerr, jmsg, 3), ierr, herr, 3);
        return;
    }
    // A mixture's phase boundary reaches beyond its critical pressure.
    if (P >= Pc && (NCOMP.nc == 1 || icomp > 0)) {
        if (equation_saturation_state(false, P, q, z, T, P, D, Dl, Dv, x, y, e, h, s, cv, cp, w))
            return;
        T = Tc;
        fail(291, "PQFLSH",
             "pressure input to pressure-quality flash is greater than critical "
             "pressure; P =" +
                 fmt_g(P / 1000.0, 12, 5) + " MPa, Pcrit =" + fmt_g(Pc / 1000.0, 12, 5) + " MPa.",
             ierr, herr);
        return;
    }
    auto sat_failed = [&](const char* what, const std::string& m) {
        // (Between the pressure of the stated critical temperature and the
        // stated critical pressure the saturation routines have no state.)
        const int found = ierr;
        double p = P;
        if (equation_saturation_state(false, P, q, z, T, p, D, Dl, Dv, x, y, e, h, s, cv, cp, w)) {
            ierr = 0;
            herr.clear();
            return;
        }
        ierr = found;
        saturation_failed("PQFLSH", what, m, ierr, herr);
    };
    double hjt = 0, pscr = 0, xs[20], ys[20];

    // Below the triple-point pressure the saturation is the sublimation: a
    // vapour over the solid, with no liquid.
    auto no_liquid = [&]() {
        fail(2, "PQFLSH",
             "pressure below the triple-point pressure, where no liquid coexists with the "
             "vapor; P =" +
                 fmt_g(P / 1000.0, 12, 5) + " MPa.",
             ierr, herr);
    };
    if (!ppf && (same_as_zero(q) || same_as_one(q))) {
        const bool liquid = same_as_zero(q);
        SATP(P, z, liquid ? kBubblePoint : kDewPoint, T, Dl, Dv, x, y, ierr, jmsg);
        if (icomp == 0) refuse_split_liquid(148, "SATP", T, P, Dl, x, ierr, jmsg);
        if (ierr > 0) return sat_failed(liquid ? "(sat liquid)" : "(sat vapor)", jmsg);
        if (liquid && !(Dl > 0.0)) return no_liquid();
        D = liquid ? Dl : Dv;
        THERM(T, D, liquid ? x : y, pscr, e, h, s, cv, cp, w, hjt);
        ierr = 0;
        return;
    }
    if (q < -1e-8 || q > 1.0 + 1e-8) return quality_out_of_range("PQFLSH", 295, q, ierr, herr);

    if (single_component(icomp, z)) {
        SATP(P, z, kBubblePoint, T, Dl, Dv, x, y, ierr, jmsg);
        if (ierr > 0) return sat_failed("(2-phase)", jmsg);
        if (!(Dl > 0.0)) return no_liquid();
        double qq = q;
        if (ppf) {
            const double tbub = T;
            double tdew = 0, dscr = 0;
            SATP(P, z, kDewPoint, tdew, dscr, Dv, xs, ys, ierr, jmsg);
            if (ierr > 0) return sat_failed("(2-phase)", jmsg);
            T = q * tdew + (1.0 - q) * tbub;
            PTANC(T, P, qq, 0.0, 'Q', Dl, Dv, ierr, jmsg);
            if (ierr > 0) return sat_failed("(2-phase)", jmsg);
        }
        mix_pure_phases(icomp, ppf, T, q, Dl, Dv, x, y, D, e, h, s, cv, cp, w);
        ierr = 0;
        return;
    }

    // Mixture: Newton's method at the vapour fraction from the bubble and
    // dew points (from the estimates where one of them does not exist).
    double tbub = 0, tdew = 0, dlbub = 0, dvbub = 0, dldew = 0, dvdew = 0, ybub[20], xdew[20];
    int berr = 0, derr = 0;
    std::string bmsg, dmsg;
    double pb = P;
    // (Down to the range check's lowest state: carbon dioxide + water 10/90
    // at 5 MPa has a split the (T, p) flash gives at 250 K, 6.8 K below
    // tmin; the search stopped there and failed with 295.  Not bounded by
    // the freezing floor: a state below it is refused as frozen, 250.)
    const double lowest = lowest_mixture_search(z, tmin, 0.0);
    const bool quick = mix::quick_bubble(false, z, tbub, pb, dlbub, dvbub, xs, ybub);
    SATP(P, z, kDewPoint, tdew, dldew, dvdew, xdew, ys, derr, dmsg);
    // The state of vapour fraction q along the isobar, down from thi (where
    // the value exceeds q by f0, when known).
    // With `below_bubble` a state below SATP's bubble point (where it finds
    // one) is none of vapour and liquid.
    bool bubble_asked = false;
    const auto below_bubble_point = [&](double t) {
        if (!bubble_asked) SATP(P, z, kBubblePoint, tbub, dlbub, dvbub, xs, ybub, berr, bmsg);
        bubble_asked = true;
        return berr <= 0 && t < tbub * (1.0 - kBelowBubble);
    };
    const auto along_isobar = [&](double thi, double f0, bool below_bubble = false) {
        mix::TpState st;
        const mix::Target target{'Q', q, kq == kMassQuality ? kMassQuality : kMolarQuality};
        if (!(q > 0.0 && q < 1.0 && mix::on_isobar_down(P, target, z, thi, f0, lowest, st) &&
              st.two_phase) ||
            (below_bubble && below_bubble_point(st.T)))
            return false;
        T = st.T;
        two_phase_state(T, st, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
        return true;
    };
    // No bubble point at P (a wet gas): down from the dew point, unless it
    // lies among the (T, p) flash's splits and bounds no vapour (the vapour
    // fraction there is no 1; see below).  Where SATP finds a bubble point
    // after all (R500 at 4123.6 kPa, next to its critical point: 374.19 K,
    // the dew point 0.02 K higher), a state below it is refused: down the
    // isobar the search passed that band and took two liquids at 155 K.
    // Where SATP finds a bubble point after all (next to the critical
    // point, R500 at 4123.6 kPa: 374.19 K, the dew point 0.02 K higher),
    // the state lies between the two; down the isobar the search passed
    // that band and took two liquids at 155 K for vapour and liquid.
    const bool marched = !quick && derr <= 0;
    const bool dew_among_splits = marched && mix::dew_point_among_splits(tdew, P, z);
    if (marched && !dew_among_splits && along_isobar(tdew, 1.0 - q, true)) return;
    if (!quick && !bubble_asked) SATP(P, z, kBubblePoint, tbub, dlbub, dvbub, xs, ybub, berr, bmsg);
    if (kq != kMassQuality) {
        if (berr > 0 || derr > 0) {
            // The estimates of the missing ends.
            double tb = 0, td = 0, l[20], v[20];
            int kerr = 0;
            std::string kmsg;
            if (berr > 0) {
                SATEST(3, tb, P, z, l, v, kerr, kmsg);
                tbub = tb;
                flash::copy20(v, ybub);
                dlbub = 0.0;
            }
            if (derr > 0) {
                SATEST(4, td, P, z, l, v, kerr, kmsg);
                tdew = td;
                flash::copy20(l, xdew);
                dvdew = 0.0;
            }
        }
        T = q * tdew + (1.0 - q) * tbub;
        for (int i = 0; i < 20; ++i) {
            x[i] = q * xdew[i] + (1.0 - q) * z[i];
            y[i] = (1.0 - q) * ybub[i] + q * z[i];
        }
        Dl = dlbub > 0.0 ? dlbub : 0.0;
        Dv = dvdew > 0.0 ? dvdew : 0.0;
        if (Dl <= 0.0 || Dv <= 0.0) {
            flash::QuietMessages quiet;
            int kerr = 0;
            std::string kmsg;
            if (Dl <= 0.0) TPRHO(T, P, x, kLiquid, kNoStartValue, Dl, kerr, kmsg);
            if (Dv <= 0.0) TPRHO(T, P, y, kVapour, kNoStartValue, Dv, kerr, kmsg);
        }
        double t = T;
        if (Dl > 0.0 && Dv > 0.0 && split_at_fraction(false, q, z, t, P, Dl, Dv, x, y)) {
            T = t;
            mix_phases(T, q, Dl, Dv, x, y, D, e, h, s, cv, cp, w);
            ierr = 0;
            herr.clear();
            return;
        }
        // (In the band of an azeotrope, the split on the line between the
        // bubble and the dew point, from the start above.)
        if (berr <= 0 && derr <= 0 && q > 0.0 && q < 1.0 && flash::azeotropic(tbub, tdew) &&
            flash::azeotropic_split(q, T, P, z, ybub, xdew, Dl, Dv, x, y)) {
            mix_phases(T, q, Dl, Dv, x, y, D, e, h, s, cv, cp, w);
            ierr = 0;
            herr.clear();
            return;
        }
        flash::start_compositions(icomp, z, x, y);
    }
    // Neither a bubble nor a dew point at P (helium + hexane 50/50 above
    // 3.5 MPa, whose boundary lies beyond the reach of both searches): down
    // from the upper temperature limit of the equation.
    if (!quick && derr > 0 && along_isobar(tmax, std::nan(""))) return;
    // A dew point among the splits: the isobar from the upper temperature
    // limit, where the start between the estimates found nothing (hexane +
    // water 1:1 at 9.15 MPa: a dew point at 494.5 K among a vapour and
    // liquid of q 0.496, the march from it narrowed that jump and failed;
    // splits of q 0.4999984 lie at 505.9 K and 263 K).
    if (dew_among_splits && along_isobar(tmax, std::nan(""))) return;
    if (marched && berr > 0 && q > 0.0 && q < 1.0) {
        // Down from the dew point no state of that vapour fraction, no
        // bubble point, and none from the estimates: none exists (a flue
        // gas at q 0.5, whose water condenses and then freezes; SATP's
        // failure to find a bubble point said nothing of that).
        ierr = 0;
        herr.clear();
        return fail(295, "PQFLSH",
                    "no two-phase state of vapor fraction q =" + fmt_g(q, 12, 5) +
                        " found at P =" + fmt_g(P / 1000.0, 12, 5) +
                        " MPa between its dew point and the lower temperature limit (no bubble "
                        "point)",
                    ierr, herr);
    }
    if (berr > 0) return sat_failed("(2-phase)", (ierr = berr, bmsg));
    if (derr > 0 && down_from_gas_above(P, tbub, z, along_isobar)) return;
    if (derr > 0) return sat_failed("(2-phase)", (ierr = derr, dmsg));
    PQFL2(P, q, z, kq, kSaturationGiven, tbub, tdew, dlbub, dvdew, ybub, xdew, T, Dl, Dv, x, y,
          ierr, herr);
    if (ierr > 0) return;
    const double qm = kq == kMassQuality ? molar_quality(q, x, y) : q;
    // (Pentane + R23, 10 % pentane, at 10 kPa and q 0.8: the iteration
    // ended on phases whose balance gives q 0.891.)
    if (!(Dl > Dv) || phases_are_one(Dl, Dv, x, y) || !split_is_equilibrium(T, z, qm, Dl, Dv, x, y))
        return no_equilibrium("PQFLSH", q, "P =" + fmt_g(P / 1000.0, 12, 5) + " MPa", ierr, herr);
    mix_phases(T, qm, Dl, Dv, x, y, D, e, h, s, cv, cp, w);
    ierr = 0;
    herr.clear();
}

// The two-phase solver's errors where it did not converge (TQFL2, PQFL2
// and the check of the split they ended on).
constexpr int kNotConverged = 225;
constexpr int kNotConvergedIteration = 226;
// The saturation routines' errors where their iteration did not converge
// (SATT at given T, SATP at given P).
constexpr int kSattNotConverged = 128;
constexpr int kSatpNotConverged = 148;

// Whether a mixture's split of vapour fraction q between 0 and 1 was not
// found by Newton's method and the two-phase solver (error `found`): the
// state may still lie on the isotherm or isobar, beyond where they start
// from the bubble and dew points (methane + isopentane at 134.1 K, q 0.48:
// a vapour of methane beside liquid isopentane at 178 kPa, the solver
// ending at 497 kPa on phases that do not add up to the feed; argon + R22
// at 131.7 K, propane + carbon monoxide at 101.9 K alike).
bool unsolved_split(int found, double q, const double z[20]) {
    const int icomp = ISPURE(z);
    const bool saturation = found == kSattNotConverged || found == kSatpNotConverged;
    return (found == kNotConverged || found == kNotConvergedIteration || saturation) &&
           icomp == 0 && !flash::pseudo_pure(icomp) && q > 0.0 && q < 1.0;
}

// The states the search for an unsolved split may take: the march from the
// upper temperature limit crosses a bubble line, a liquid and the edge of
// two liquids before their vapour fraction falls to the value (dodecane +
// methanol, 80 % dodecane, at 6.45 MPa, where SATP's dew point did not
// converge: the split of q 0.802 at 296.2 K is the 170th state).  It runs
// only where the routines before it failed, which cost more (1.7 s there).
// The isobar's search for a refused split takes as many (pentane + R116,
// 20 % pentane, at 2.88 MPa: the split of q 0.177 at 197.7 K).  Along an
// isotherm the search stays bounded by kSearchStates.
constexpr int kUnsolvedSearchStates = 250;

// A quality flash's answer kept where it is the stable state; where the
// (T, p) flash refuses it, the stable state of its vapour fraction found
// along the isotherm (t_given) or isobar, else the refusal.
void stable_answer(const char* routine, bool t_given, double& T, double& P, double q, int kq,
                   const double z[20], double& D, double& Dl, double& Dv, double x[20],
                   double y[20], double& e, double& h, double& s, double& cv, double& cp, double& w,
                   int& ierr, std::string& herr) {
    mix::TpState st;
    const int found = ierr;
    if (!mix::refuse_unstable_split(routine, T, P, z, q, Dl, Dv, h, s, ierr, herr)) {
        // A split whose state the (T, p) flash refuses as frozen or out of
        // range, where a state of that vapour fraction exists elsewhere
        // (the 10-component gas at 4 MPa and q 0.657: Newton's method from
        // between the bubble and the dew point ended on a split at 82 K,
        // where its carbon dioxide freezes; the state lies at 200 K).
        const bool refused =
            ierr == mix::kFrozenState || (ierr > 0 && ierr <= mix::kLastRangeError);
        const bool unsolved = unsolved_split(found, q, z);
        if (((found <= 0 && refused) || unsolved) &&
            stable_state_of_quality(t_given, T, P, q, kq, z, st,
                                    unsolved ? kUnsolvedSearchStates : kSearchStates)) {
            T = st.T;
            P = st.P;
            return two_phase_state(T, st, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
        }
        // (A liquid made mostly of frozen components is none, whatever its
        // Gibbs energy: octafluorocyclobutane, 93 % of a liquid beside one
        // of butane at 167.8 K, 65 K below its triple point.)
        const int i = ierr > 0 || !(q > 0.0 && q < 1.0) || ISPURE(z) != 0
                          ? -1
                          : mix::frozen_liquid(T, x, y, Dl, Dv, false);
        if (i >= 0) fail(mix::kFrozenState, routine, mix::freezes_out(i, T), ierr, herr);
        return;
    }
    if (!stable_state_of_quality(t_given, T, P, q, kq, z, st,
                                 t_given ? kSearchStates : kUnsolvedSearchStates))
        return;
    T = st.T;
    P = st.P;
    two_phase_state(T, st, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
}

}  // namespace

void TQFLSH(double T, double q, const double z[20], int kq, double& P, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& e, double& h, double& s, double& cv,
            double& cp, double& w, int& ierr, std::string& herr) {
    {
        const mix::FlashMemo memo;  // saturation points asked for again
        tq_flash(T, q, z, kq, P, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
        stable_answer("TQFLSH", true, T, P, q, kq, z, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr,
                      herr);
        refuse_no_split_of("TQFLSH", true, T, P, q, kq, z, Dl, Dv, x, y, ierr, herr);
    }
    mix::refuse_frozen_saturation("TQFLSH", T, P, q, z, {Dl, Dv, x, y}, ierr, herr);
}

void PQFLSH(double P, double q, const double z[20], int kq, double& T, double& D, double& Dl,
            double& Dv, double x[20], double y[20], double& e, double& h, double& s, double& cv,
            double& cp, double& w, int& ierr, std::string& herr) {
    {
        const mix::FlashMemo memo;  // saturation points asked for again
        pq_flash(P, q, z, kq, T, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
        stable_answer("PQFLSH", false, T, P, q, kq, z, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr,
                      herr);
        refuse_no_split_of("PQFLSH", false, T, P, q, kq, z, Dl, Dv, x, y, ierr, herr);
    }
    mix::refuse_frozen_saturation("PQFLSH", T, P, q, z, {Dl, Dv, x, y}, ierr, herr);
}

void TQFL2(double T, double q, const double z[20], int kq, int ksat, double& Pbub, double& Pdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& P, double& Dl,
           double& Dv, double x[20], double y[20], int& ierr, std::string& herr) {
    double tbub = 0, tdew = 0, t = 0, qs = 0;
    ABFL2(T, q, z, kq, ksat, "TQ", tbub, tdew, Pbub, Pdew, Dlbub, Dvdew, ybub, xdew, t, P, Dl, Dv,
          x, y, qs, ierr, herr);
}

void PQFL2(double P, double q, const double z[20], int kq, int ksat, double& Tbub, double& Tdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& T, double& Dl,
           double& Dv, double x[20], double y[20], int& ierr, std::string& herr) {
    double pbub = 0, pdew = 0, p = 0, qs = 0;
    ABFL2(P, q, z, kq, ksat, "PQ", Tbub, Tdew, pbub, pdew, Dlbub, Dvdew, ybub, xdew, T, p, Dl, Dv,
          x, y, qs, ierr, herr);
}

void DQFL2(double D, double q, const double z[20], int kq, double& T, double& P, double& Dl,
           double& Dv, double x[20], double y[20], int& ierr, std::string& herr) {
    double qs = 0;
    DBFL2(D, q, z, kq, "DQ", T, P, Dl, Dv, x, y, qs, ierr, herr);
}

}  // namespace lib
