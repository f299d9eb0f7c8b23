// Flashes at given temperature and density, and at given pressure and
// density: a single-phase shortcut where no saturation is possible, the
// bubble and dew points to place the density, the lever rule for pure fluids
// and the two-phase solvers for mixtures.
#include "library/phase/tdflsh.h"

#include <algorithm>
#include <cmath>

#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/phase/abfl2.h"
#include "library/phase/dbflsh.h"
#include "library/phase/eqdome.h"
#include "library/phase/flashutil.h"
#include "library/phase/ptanc.h"
#include "library/phase/satmemo.h"
#include "library/phase/satp.h"
#include "library/phase/satt.h"
#include "library/phase/tdmix.h"
#include "library/setup/records.h"

namespace lib {

using flash::mix_phases;
using flash::volume_quality;

void TDFL2(double T, double D, const double z[20], int ksat, double& Pbub, double& Pdew,
           double& Dlbub, double& Dvdew, double ybub[20], double xdew[20], double& P, double& Dl,
           double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr) {
    double tbub = 0, tdew = 0, t = 0;
    ABFL2(T, D, z, 1, ksat, "TD", tbub, tdew, Pbub, Pdew, Dlbub, Dvdew, ybub, xdew, t, P, Dl, Dv, x,
          y, q, ierr, herr);
}

// The results of a mixture's flash into the caller's arguments.
static void take(const TpResult& r, double& Dl, double& Dv, double x[20], double y[20], double& q,
                 double& e, double& h, double& s, double& cv, double& cp, double& w) {
    Dl = r.Dl;
    Dv = r.Dv;
    q = r.q;
    e = r.e;
    h = r.h;
    s = r.s;
    cv = r.cv;
    cp = r.cp;
    w = r.w;
    flash::copy20(r.x, x);
    flash::copy20(r.y, y);
}

// The share of the lowest saturation pressure within which a pressure is
// at it (the rounding of a saturation pressure computed elsewhere).
constexpr double kTripleBand = 1e-12;

// The lowest pressure of fluid icomp's saturation: its triple-point
// pressure, or its equation's saturation pressure at the triple point where
// that is lower (air: 5.26 kPa stated, 4.12 kPa by its equation at 59.75 K,
// so that two phases at 60.75 K and 5.11 kPa were taken for vapour; R407C
// 19.2 kPa stated, 15.0 kPa at 200 K).
static double lowest_saturation_pressure(int icomp, const double z[20]) {
    const double ptp = CCON.ptp[icomp];
    double p = 0, dl = 0, dv = 0, xl[20], xv[20];
    int jerr = 0;
    std::string jmsg;
    flash::QuietMessages quiet;
    SATT(CCON.ttp[icomp], z, kDewPoint, p, dl, dv, xl, xv, jerr, jmsg);
    return jerr <= 0 && p > 0.0 ? std::min(ptp, p) : ptp;
}

namespace {

// Above the critical temperature (and outside the equation's own two-phase
// region beyond it) every fluid state has dP/dD > 0 and cv > 0; a density
// where the equation has not is far beyond the states it was fitted to,
// reached along the isotherm only through pressures above its range, and
// is refused (214).  Nitrogen trifluoride's equation at 450 K rises to
// 169 MPa at 21.4 mol/L and falls to 41.8 MPa at 26.4 mol/L, its density
// limit: dP/dD = -56,037 kPa L/mol and w = 0 there came back with ierr 0.
bool unstable_beyond_critical(double T, double D, const double z[20], double cv, int& ierr,
                              std::string& herr) {
    double dpdd = 0;
    DPDD(T, D, z, dpdd);
    if (dpdd > 0.0 && cv > 0.0) return false;
    fail(214, "TDFLSH",
         "no stable single-phase state: the equation at T =" + fmt_g(T, 12, 5) + " K, rho =" +
             fmt_g(D, 12, 5) + " mol/L has dP/dD or cv <= 0 (beyond the states it was fitted to)",
         ierr, herr);
    return true;
}

}  // namespace

void TDFLSH(double T, double D, const double z[20], double& P, double& Dl, double& Dv, double x[20],
            double y[20], double& q, double& e, double& h, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr) {
    const mix::FlashMemo memo;  // saturation points asked for again
    ierr = 0;
    herr.clear();
    P = Dl = Dv = e = h = s = cv = cp = w = 0.0;
    q = kQualityFailed;
    const int icomp = ISPURE(z);
    flash::start_compositions(icomp, z, x, y);
    const bool ppf = flash::pseudo_pure(icomp);
    if (flash::not_a_number("TDFLSH", {T, D}, ierr, herr)) return;
    if (flash::not_positive("TDFLSH", {{'T', T}, {'D', D}}, ierr, herr)) return;
    double hjt = 0;
    auto single = [&]() {
        Dl = Dv = D;
        THERM(T, D, z, P, e, h, s, cv, cp, w, hjt);
    };
    RMIX(z);
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int lerr = 0;
    std::string lmsg;
    LIMITX("EOS", T, D, 0.0, z, tmin, tmax, dmax, pmax, lerr, lmsg);
    if (flash::range_error("TDFLSH", lerr, lmsg, 3, ierr, herr)) return;
    // (Not for a pure fluid, whose saturated vapour may be thinner still:
    // R124 at 76 K, 2.2e-16 mol/L, so that 7.4e-16 mol/L is two phases.)
    if (D < 1e-14 && (icomp == 0 || ppf)) {
        single();
        P = GCNST.r * D * T;
        q = kQualityVapour;
        return;
    }
    // The range check of the result.
    auto finish = [&]() {
        flash::found_state_limits(T, D, P, z, tmin, tmax, dmax, pmax, lerr, lmsg);
        if (flash::range_error("TDFLSH", lerr, lmsg, 3, ierr, herr)) q = kQualityFailed;
    };

    double Tc = 0, Pc = 0, Dc = 0;
    if (!flash::critical_point(z, Tc, Pc, Dc, "TDFLSH", 220, 235, ierr, herr)) return;
    int jerr = 0;
    std::string jmsg;
    if (icomp == 0) {
        TpResult r;
        td_mixture(T, D, z, Tc, Pc, Dc, r, P, ierr, herr);
        take(r, Dl, Dv, x, y, q, e, h, s, cv, cp, w);
        if (ierr <= 0) finish();
        return;
    }
    // (A temperature a few rounding digits below the triple point, as a
    // saturation solver at the triple-point pressure gives it, is on it.)
    if (icomp > 0 && T < CCON.ttp[icomp] * (1.0 - 1e-12)) {
        single();
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
        return finish();
    }
    // (A pure fluid's saturation state is cheap: below 1e-10 mol/L it still
    // decides, where the triple-point vapour is thinner than that.)
    // Between the stated critical temperature and the equation's own higher
    // one, a density between the equation's phases is their mixture (r13 at
    // 302.5 K, 5.6 mol/L: the single phase there has dP/dD < 0 and cp =
    // -7,121 J/(mol K)).
    if (eqdome::Split sp; T >= Tc && eqdome::at_t(z, T, 'D', D, sp) && sp.side == 0) {
        eqdome::take(z, sp, T, P, D, Dl, Dv, q, e, h, s, cv, cp, w);
        return finish();
    }
    if (T >= Tc || (D < 1e-10 && (icomp == 0 || ppf))) {
        single();
        if (T > Tc && unstable_beyond_critical(T, D, z, cv, ierr, herr)) {
            P = Dl = Dv = e = h = s = cv = cp = w = 0.0;
            return;
        }
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
        return finish();
    }

    double pdew = 0, dldew = 0, dvdew = 0, xdew[20], ydew[20];
    SATT(T, z, kDewPoint, pdew, dldew, dvdew, xdew, ydew, jerr, jmsg);
    if (jerr > 0 && Tc - T < 5.0) {
        // Close to the critical point a dew point that cannot be found is
        // taken at the critical point itself: every density is single phase.
        single();
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
        return finish();
    }
    if (jerr > 0) {
        fail(222, "TDFLSH", flash::dew_failed(jmsg), ierr, herr);
        return;
    }
    double pbub = pdew, dlbub = dldew, dvbub = dvdew, xbub[20], ybub[20];
    flash::copy20(ydew, ybub);
    flash::copy20(xdew, xbub);
    if (icomp == 0 || ppf) {
        SATT(T, z, kBubblePoint, pbub, dlbub, dvbub, xbub, ybub, jerr, jmsg);
        if (jerr > 0) {
            fail(221, "TDFLSH", flash::bubble_failed(jmsg), ierr, herr);
            return;
        }
    }

    if (D <= dvdew || D >= dlbub) {
        single();
        // A liquid's pressure is at least the saturation pressure, and that
        // of the saturated liquid (to the last digits of its density): where
        // the saturation pressure is tiny, the equation gives a liquid's
        // pressure only to some 1e-9 kPa, and less, or more at the saturated
        // density itself, is rounding.
        if (icomp > 0 && !ppf && D >= dlbub && (P < pbub || D <= dlbub * (1.0 + 1e-12))) P = pbub;
        q = ppf ? flash::single_phase_quality(T, P, D, Tc, Pc, Dc)
                : flash::side_quality(D >= dlbub, T, P, D, Tc, Pc, Dc);
        return finish();
    }
    if (icomp == 0) {
        TDFL2(T, D, z, kSaturationGiven, pbub, pdew, dlbub, dvdew, ybub, xdew, P, Dl, Dv, x, y, q,
              jerr, jmsg);
        if (jerr > 0) {
            ierr = jerr;
            herr = jmsg;
            q = kQualityFailed;
            return;
        }
    } else {
        q = volume_quality(D, dlbub, dvdew, 0.5);
        P = (1.0 - q) * pbub + q * pdew;
        Dl = dlbub;
        Dv = dvdew;
    }
    mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w);
    finish();
}

void PDFLSH(double P, double D, const double z[20], double& T, double& Dl, double& Dv, double x[20],
            double y[20], double& q, double& e, double& h, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr) {
    const mix::FlashMemo memo;  // saturation points asked for again
    ierr = 0;
    herr.clear();
    T = Dl = Dv = e = h = s = cv = cp = w = 0.0;
    q = kQualityFailed;
    const int icomp = ISPURE(z);
    flash::start_compositions(icomp, z, x, y);
    const bool ppf = flash::pseudo_pure(icomp);
    if (flash::not_a_number("PDFLSH", {P, D}, ierr, herr)) return;
    RMIX(z);
    // (A pure fluid's state of a tiny density may be two phases, R124 at
    // 1.4e-13 kPa and 7.4e-16 mol/L: it takes the saturation road.)
    const bool vanishing = D < 1e-14 && (icomp == 0 || ppf || !(D > 0.0));
    if (!vanishing && flash::not_positive("PDFLSH", {{'P', P}}, ierr, herr)) return;
    if (vanishing) {
        // No temperature belongs to a vanishing density.
        fail(216, "PDFLSH",
             "density input is zero or negative; D =" + fmt_g(D, 12, 5) +
                 " mol/L, P =" + fmt_g(P / 1000.0, 12, 5) + " MPa.",
             ierr, herr);
        return;
    }
    if (P < 1e-14) {
        // A vanishing pressure: the ideal gas, at a temperature the
        // equation covers.
        T = P / (D * GCNST.r);
        double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
        int lerr = 0;
        std::string lmsg;
        LIMITX("EOS", T, D, P, z, tmin, tmax, dmax, pmax, lerr, lmsg);
        if (flash::range_error("PDFLSH", lerr, lmsg, 3, ierr, herr)) {
            T = 0.0;
            return;
        }
        if (!flash::stable(T, D, z)) {
            fail(214, "PDFLSH", flash::unstable_root(T, D), ierr, herr);
            T = 0.0;
            return;
        }
        double pscr = 0, hjt = 0;
        Dl = Dv = D;
        THERM(T, D, z, pscr, e, h, s, cv, cp, w, hjt);
        q = kQualityVapour;
        return;
    }
    double Tc = 0, Pc = 0, Dc = 0;
    if (!flash::critical_point(z, Tc, Pc, Dc, "PDFLSH", 210, 235, ierr, herr)) return;
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int lerr = 0;
    std::string lmsg;
    LIMITX("EOS", -1.0, D, P, z, tmin, tmax, dmax, pmax, lerr, lmsg);
    if (flash::range_error("PDFLSH", lerr, lmsg, 3, ierr, herr)) return;
    int jerr = 0;
    std::string jmsg;
    double hjt = 0, pscr = 0;
    // The failure state: the marker 999 in q and error n of PDFLSH.
    auto give_up = [&](int n, const std::string& text) {
        q = kQualityFailed;
        fail(n, "PDFLSH", text, ierr, herr);
    };
    auto single = [&]() {
        Dl = Dv = D;
        THERM(T, D, z, pscr, e, h, s, cv, cp, w, hjt);
    };
    auto finish = [&]() {
        flash::found_state_limits(T, D, P, z, tmin, tmax, dmax, pmax, lerr, lmsg);
        flash::range_error("PDFLSH", lerr, lmsg, 3, ierr, herr);
    };
    // The single-phase temperature on the isobar; false, with error n and
    // the text of the phase, when its iteration does not converge.
    if (icomp == 0) {
        TpResult r;
        pd_mixture(P, D, z, Tc, Pc, Dc, r, T, ierr, herr);
        take(r, Dl, Dv, x, y, q, e, h, s, cv, cp, w);
        if (ierr <= 0) finish();
        return;
    }
    // The single-phase temperature on the isochore from the critical
    // temperature, else from each of the starts given (a root found from
    // none is error n).  A liquid lies between the lowest temperature and
    // its bubble point's, where the equation's isochore rises: from the
    // critical temperature an isochore may pass its maximum and end on a
    // root where dP/dD < 0 (nitrogen trifluoride's at 26.3 mol/L rises to
    // 397 MPa at 205 K and falls to 0.01 kPa at 479 K: error 213 for its
    // liquid from 66 to 106 K, 215 above its critical pressure).
    const double tlow = std::max(tmin, CCON.ttp[icomp]);
    auto isobar = [&](int n, std::string (*failed)(const std::string&),
                      std::initializer_list<double> starts) {
        PDFL1(P, D, z, T, jerr, jmsg);
        for (double t0 : starts) {
            if (jerr <= 0 || !(t0 > 0.0)) break;
            double pp = 0;
            std::string smsg;
            dbfl1_from(t0, D, P, z, "DP", T, pp, jerr, smsg);
        }
        if (jerr <= 0) return true;
        T = 0.0;
        give_up(n, failed(jmsg));
        return false;
    };

    eqdome::Split sp;
    if (P >= Pc && eqdome::at_p(z, P, 'D', D, sp) && sp.side == 0) {
        eqdome::take(z, sp, T, P, D, Dl, Dv, q, e, h, s, cv, cp, w);
        return finish();
    }
    if (P >= Pc) {
        const double dense = D > Dc ? tlow : 0.0;
        if (!isobar(215, flash::supercritical_failed, {dense})) return;
        single();
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
        return finish();
    }

    double tdew = 0, dldew = D, dvdew = D, xdew[20], ydew[20];
    flash::copy20(x, xdew);
    flash::copy20(y, ydew);
    bool dew_ok = true;
    std::string dew_msg;
    const double plow =
        icomp == 0 || ppf || P > CCON.ptp[icomp] ? 0.0 : lowest_saturation_pressure(icomp, z);
    // (At the lowest saturation pressure itself, to its last digits, the
    // state may be two phases at the triple point: R236ea at 170 K, 0.023647
    // kPa and q 0.3 was taken for a vapour at 51 K, out of range.)
    const bool at_triple = plow > 0.0 && !(P > plow) && P >= plow * (1.0 - kTripleBand);
    if (icomp == 0 || ppf || P > CCON.ptp[icomp] || P > plow || at_triple) {
        flash::QuietMessages quiet;
        SATP(P, z, kDewPoint, tdew, dldew, dvdew, xdew, ydew, jerr, dew_msg);
        if (jerr > 0 && at_triple) {
            // No saturation state there after all: the vapour below it.
            jerr = 0;
            tdew = 0.0;
            dldew = dvdew = D;
        } else if (jerr > 0) {
            // A fluid whose stated critical pressure lies above its
            // equation's own has no saturation state between the two: the
            // equation's pressure at the stated point, or its own critical
            // point's where that is lower (air: 3668.9 kPa at 131.86 K, the
            // stated point 3786 kPa, where the equation gives 3785.3 kPa:
            // error 212 from 3669 kPa up).
            double pce = 0.0, own_D = 0.0, own_P = 0.0, own_T = 0.0;
            PRESS(Tc, Dc, z, pce);
            int cerr = 0;
            std::string cmsg;
            FNCRPT(z, own_D, own_P, own_T, cerr, cmsg);
            if (cerr <= 0 && own_P > 0.0) pce = std::min(pce, own_P);
            if (eqdome::at_p(z, P, 'D', D, sp) && sp.side == 0) {
                eqdome::take(z, sp, T, P, D, Dl, Dv, q, e, h, s, cv, cp, w);
                return finish();
            }
            if (icomp > 0 && P >= 0.9 * Pc && P >= pce) {
                if (!isobar(215, flash::supercritical_failed, {})) return;
                single();
                q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
                return finish();
            }
            if (icomp > 0) {
                give_up(212, flash::dew_failed(dew_msg));
                return;
            }
            dew_ok = false;
        }
    }
    // (Within 1e-12 mol/L of the saturated vapour, or a part in 1e10 of a
    // vapour thinner than 0.01 mol/L: R124 at 1.4e-13 kPa, 2.2e-16 mol/L.)
    if (D <= dvdew + std::min(1e-12, 1e-10 * dvdew)) {
        if (!isobar(214, flash::vapour_failed, {})) return;
        single();
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
        return finish();
    }

    double tbub = tdew, dlbub = dldew, dvbub = dvdew, xbub[20], ybub[20];
    flash::copy20(xdew, xbub);
    flash::copy20(ydew, ybub);
    if (icomp == 0 || ppf) {
        SATP(P, z, kBubblePoint, tbub, dlbub, dvbub, xbub, ybub, jerr, jmsg);
        if (jerr > 0) {
            give_up(211, flash::bubble_failed(jmsg));
            return;
        }
    }
    if (D > dlbub) {
        // (At 1.6 MPa nitrogen trifluoride's bubble point lies at 200.8 K,
        // past its isochore's maximum: the lowest temperature starts it.)
        if (!isobar(213, flash::liquid_failed, {tbub, tlow})) return;
        single();
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
        return finish();
    }

    if (icomp == 0) {
        if (!dew_ok) {
            give_up(212, flash::dew_failed(dew_msg));
            return;
        }
        PDFL2(P, D, z, kSaturationGiven, tbub, tdew, dlbub, dvdew, ybub, xdew, T, Dl, Dv, x, y, q,
              jerr, jmsg);
        if (jerr > 0) {
            ierr = jerr;
            herr = jmsg;
            q = kQualityFailed;
            return;
        }
    } else {
        Dl = dlbub;
        Dv = dvdew;
        q = volume_quality(D, Dl, Dv, 0.5);
        T = q * tdew + (1.0 - q) * tbub;
        if (ppf) {
            PTANC(T, P, q, D, 'D', Dl, Dv, jerr, jmsg);
            if (jerr > 0) {
                ierr = jerr;
                herr = jmsg;
                q = kQualityFailed;
                return;
            }
        }
    }
    mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w);
    finish();
}

}  // namespace lib
