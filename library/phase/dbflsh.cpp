// Flashes at given density: the saturation state of that density decides
// between the single-phase solver (Newton's method on temperature along the
// isochore) and the two-phase solver (the temperature at which the two-phase
// state of the given property has that overall density).
#include "library/phase/dbflsh.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/phase/abfl1.h"
#include "library/phase/abfl2.h"
#include "library/phase/flashutil.h"
#include "library/phase/satcheb.h"
#include "library/phase/tdmix.h"
#include "library/setup/records.h"

namespace lib {

using flash::cut;

// A liquid's pressure where the saturation pressure is tiny is a small
// difference of terms of the size of D R T (methanol at 176.61 K, 28.2
// mol/L: 4.4e-4 kPa from terms of 41 MPa), known only to some 1e-12 of D R T
// (4e-5 of itself): it is taken as converged within this part of D R T once
// Newton's step has reached the last digits of the temperature (below
// kTemperatureDigits of it).
constexpr double kPressureRounding = 1e-11;
constexpr double kTemperatureDigits = 1e-11;

// Newton's method on T along the isochore D from the start t0.
void dbfl1_from(double t0, double D, double b, const double z[20], const std::string& ab_in,
                double& T, double& P, int& ierr, std::string& herr, bool any_root) {
    const std::string ab = ab_in.size() >= 2 ? ab_in.substr(0, 2) : std::string("DP");
    const char c = ab[1];
    P = b;
    ierr = 0;
    herr.clear();
    RMIX(z);
    if (c == 'P' && b < 1e-14) {
        T = D > 0.0 ? b / (D * GCNST.r) : 0.0;
        return;
    }
    double Tc = 0, Pc = 0, Dc = 0;
    if (!flash::critical_point(z, Tc, Pc, Dc, "TPRHO", 200, 236, ierr, herr)) return;
    T = Tc;
    if (c == 'P' && b > 100.0 * Pc) T = 2.0 * Tc;
    if (t0 > 0.0 && std::isfinite(t0)) T = t0;
    for (int pass = 0; pass < 30; ++pass) {
        double value = 0.0, deriv = 0.0;
        if (c == 'P') {
            PRESS(T, D, z, value);
            DPDT(T, D, z, deriv);
        } else {
            double cv = 0, cp = 0;
            CVCP(T, D, z, cv, cp);
            if (c == 'H') {
                double dpdt = 0;
                ENTHAL(T, D, z, value);
                DPDT(T, D, z, dpdt);
                deriv = cv + (D > 0.0 ? dpdt / D : 0.0);
            } else if (c == 'E') {
                ENERGY(T, D, z, value);
                deriv = cv;
            } else {
                ENTRO(T, D, z, value);
                deriv = cv / T;
            }
        }
        const double f = b - value;
        // Newton's step; for entropy in ln T (s grows with cv ln T along the
        // isochore, so that a step from far away does not overshoot).  No
        // step leaves the factor 2 around the present temperature.
        double tn = T;
        if (std::fabs(deriv) > 0.0)
            tn = c == 'S' ? T * std::exp(std::clamp(f / (deriv * T), -0.7, 0.7)) : T + f / deriv;
        if (!(tn > 0.0) || !std::isfinite(tn)) tn = Tc / 2.0;
        tn = std::clamp(tn, 0.5 * T, 2.0 * T);
        // A pressure converges relative to itself, however small; the
        // caloric values on a scale of at least 1.
        const double scale = c == 'P' ? std::fabs(b) : std::max(std::fabs(b), 1.0);
        const bool rounding = c == 'P' && std::fabs(tn - T) <= kTemperatureDigits * T &&
                              std::fabs(f) <= kPressureRounding * D * GCNST.r * T;
        if (std::fabs(f) / scale < 1e-6 || rounding) {
            // The last Newton step is taken as well: it costs nothing and
            // brings the result to full precision.
            if (std::fabs(tn - T) < 0.01 * T) T = tn;
            PRESS(T, D, z, P);
            if (any_root || flash::stable(T, D, z)) return;
            fail(203, ab + "FL1", flash::unstable_root(T, D), ierr, herr);
            T = 0.0;
            return;
        }
        T = tn;
    }
    std::string fr;
    for (int i = 0; i < std::clamp(NCOMP.nc, 1, 5); ++i) fr += fmt_f(z[i], 8, 5);
    std::string m =
        errtext(ab + "FL1", 203,
                "iteration has not converged for rho =" + fmt_g(D, 12, 5) +
                    " mol/L, T (last guess) = " + fmt_g(T, 12, 5) + " K, x (mol frac) =" + fr);
    if (m.size() > 254) m.resize(254);
    fail(203, std::move(m), ierr, herr);
    T = 0.0;
}

namespace {

// A density this close (relative) to a saturated one is on the saturation
// line: a liquid at twice its saturation pressure of 2e-11 kPa differs from
// the saturated liquid in the sixteenth digit (methyl linoleate at 239.1 K).
constexpr double kSaturatedEdge = 1e-8;

// Whether density D at temperature T of a pure fluid lies between its
// saturated vapour and liquid densities (of a blend: the dew point's vapour
// and the bubble point's liquid), clear of both; false where that is not
// known.
bool inside_two_phase(double T, double D, const double z[20], double Tc) {
    if (!(T > 0.0 && T < Tc)) return false;
    double p = 0, dl = 0, dv = 0, xl[20], xv[20];
    int jerr = 0;
    std::string jmsg;
    SATT(T, z, kBubblePoint, p, dl, dv, xl, xv, jerr, jmsg);
    if (jerr > 0) return false;
    if (flash::pseudo_pure(ISPURE(z))) {
        double dl2 = 0;
        SATT(T, z, kDewPoint, p, dl2, dv, xl, xv, jerr, jmsg);
        if (jerr > 0) return false;
    }
    return dv * (1.0 + kSaturatedEdge) < D && D < dl * (1.0 - kSaturatedEdge);
}

// The two-phase state of a pure fluid, with its quality strictly inside 0..1.
void two_phase_state(double D, double b, const double z[20], const std::string& ab, double& T,
                     double& P, double& Dl, double& Dv, double x[20], double y[20], double& q,
                     int& ierr, std::string& herr) {
    DBFL2(D, b, z, 0, ab, T, P, Dl, Dv, x, y, q, ierr, herr);
    if (ierr <= 0 && (q >= 1.0 || q <= 0.0)) {
        ierr = 248;
        herr = "two-phase quality outside 0..1";
    }
}

// A liquid of a pure fluid at a temperature below the saturation
// temperature of its density, where the two-phase solver finds no state:
// water below 277 K, whose saturated liquid expands toward the triple point
// (55.503 mol/L at 274.16 K and 101.325 kPa; the saturated liquid has that
// density at 274.77 and 278.86 K, two-phase between), and a liquid at its
// saturated density to the last digits (propane at 86.525 K, twice its
// saturation pressure of 2.6e-7 kPa).  Newton's method along the isochore
// from the saturation temperature tsat of the density, then from the lowest
// temperature of the fluid (from far below, r124's liquid isochore at
// 13.2 mol/L leads to no root); a root is kept when stable and outside the
// two-phase region.
void single_below_saturation(double D, double b, const double z[20], const std::string& ab,
                             double Tc, double tsat, double tmin, double& T, double& P, int& ierr,
                             std::string& herr, bool& two) {
    const double tlow = std::max(tmin, CCON.ttp[ISPURE(z)]);
    for (double t0 : {tsat, tlow}) {
        if (!(t0 > 0.0)) continue;
        double t = 0, p = 0;
        int jerr = 0;
        std::string jmsg;
        dbfl1_from(t0, D, b, z, ab, t, p, jerr, jmsg);
        if (jerr > 0 || !(t > 0.0) || inside_two_phase(t, D, z, Tc)) continue;
        T = t;
        P = p;
        ierr = 0;
        herr.clear();
        two = false;
        return;
    }
}

}  // namespace

void DBFL1(double D, double b, const double z[20], const std::string& ab, double& T, double& P,
           int& ierr, std::string& herr) {
    dbfl1_from(0.0, D, b, z, ab, T, P, ierr, herr);
}

void DBFL2(double D, double b, const double z[20], int kq, const std::string& ab_in, double& T,
           double& P, double& Dl, double& Dv, double x[20], double y[20], double& q, int& ierr,
           std::string& herr) {
    const std::string ab = ab_in.size() >= 2 ? ab_in.substr(0, 2) : std::string("DH");
    const int icomp = ISPURE(z);
    flash::start_compositions(icomp, z, x, y);
    ierr = 0;
    herr.clear();
    q = kQualityFailed;
    if (flash::not_a_number(ab + "FLSH", {D, b}, ierr, herr)) return;
    if (flash::not_positive(ab + "FLSH", {{'D', D}}, ierr, herr)) return;
    const int nmax = icomp == 0 ? 20 : 50;
    const std::string code = std::string("T") + ab[1];

    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int jerr = 0;
    std::string jmsg;
    LIMITX("EOS", 300.0, 0.0, 0.0, z, tmin, tmax, dmax, pmax, jerr, jmsg);
    // Two phases of a pure fluid coexist from its triple point up.
    if (icomp > 0 && CCON.ttp[icomp] > tmin) tmin = CCON.ttp[icomp];
    int kr = 0;
    double tsat = 0, psat = 0, dls = 0, dvs = 0, xl[20], xv[20];
    SATD(D, z, 1, kr, tsat, psat, dls, dvs, xl, xv, jerr, jmsg);
    if (jerr > 0) {
        double Tc = 0, Pc = 0, Dc = 0;
        CRITP(z, Tc, Pc, Dc, jerr, jmsg);
        tsat = Tc;
    }

    // One two-phase state at temperature t.
    double tb = 0, td = 0, pb = 0, pd = 0, dlb = 0, dvd = 0, yb[20], xd[20];
    auto two_phase = [&](double t) {
        double tt = t;
        ABFL2(t, b, z, kq, 0, code, tb, td, pb, pd, dlb, dvd, yb, xd, tt, P, Dl, Dv, x, y, q, ierr,
              herr);
        T = t;
    };
    auto residual = [&]() {
        if (Dl > 0.0 && Dv > 0.0) return D - flash::mixed_density(q, Dl, Dv);
        return D;
    };
    auto named = [&]() {
        // The message names the density pair.
        if (herr.size() > 1 && herr[0] == '[') herr[1] = 'D';
    };

    // A saturation point that cannot be found lies close to the critical
    // point, where the saturation solver fails (r410a above 0.9995 Tc, air
    // above 0.995 Tc): the temperature is too high, as when the property lies
    // below the liquid's (error 227).
    const auto too_high = [&]() { return ierr == 227 || ierr == 223 || ierr == 224; };
    const auto outside = [&]() { return too_high() || ierr == 228; };

    double lo = tmin, hi = tsat;
    double t1 = tmin + (tsat - tmin) / 3.0, t2 = tmin + 2.0 * (tsat - tmin) / 3.0;
    int tries = 0;
    for (;;) {
        two_phase(t1);
        if (!outside()) break;
        if (++tries >= nmax) {
            named();
            return;
        }
        if (too_high()) {
            t1 = 0.5 * (t1 + tmin);
        } else {
            t2 = 0.5 * (t2 + tsat);
            t1 = 0.5 * (t1 + t2);
        }
    }
    if (ierr > 0) {
        named();
        return;
    }
    double f1 = residual();
    double f2 = f1;
    for (int k = 2; k <= nmax; ++k) {
        two_phase(t2);
        if (outside()) {
            t2 = 0.5 * (t2 + t1);
            continue;
        }
        if (ierr > 0) {
            named();
            return;
        }
        f2 = residual();
        if (std::fabs(f2) < 1e-9 * D) return;
        if (f2 < 0.0)
            hi = t2;
        else
            lo = t2;
        double tn =
            std::fabs(f2 - f1) > 1e-12 ? t2 - (t2 - t1) * f2 / (f2 - f1) : t2 + 0.5 * (t2 - t1);
        if (tn > tsat) {
            tn = hi - tsat != 0.0 ? 0.5 * (hi + tsat) : tn;
            if (std::fabs(tsat - hi) < 0.001) tn = 0.5 * (lo + hi);
        } else if (tn < tmin) {
            tn = 0.5 * (lo + tmin);
            if (std::fabs(lo - tmin) < 0.001) tn = 0.5 * (lo + hi);
        }
        // (Not a step out of the bracket: 1butene at 88.8 K, 4.3e-12 mol/L,
        // q = 0.3, went 0.1 % beyond it for fifty steps.)
        if (tn > hi || tn < lo || !std::isfinite(tn)) tn = 0.5 * (lo + hi);
        if (k >= 8 && k % 2 == 0) tn = 0.5 * (lo + hi);
        t1 = t2;
        f1 = f2;
        t2 = tn;
    }
    T = t2;
    q = kQualityFailed;
    fail(248, ab + "FLSH",
         "two-phase iteration did not converge; T =" + fmt_g(T, 12, 5) +
             " K, D residual =" + fmt_g(f2, 12, 5) + " mol/L",
         ierr, herr);
}

namespace {
// A pure fluid's density above its triple-point liquid's (helium, whose
// liquid at the lambda line takes its own road, aside).
bool denser_than_triple_liquid(int icomp, double D, bool helium) {
    return icomp > 0 && !helium && !flash::pseudo_pure(icomp) && CCON.ttp[icomp] > 0.0 &&
           CCON.dtp[icomp] > 0.0 && D > CCON.dtp[icomp];
}
}  // namespace

void DBFLSH(double D, double b, const double z[20], const std::string& ab_in, double& T, double& P,
            double& Dl, double& Dv, double x[20], double y[20], double& q, double& e, double& h,
            double& s, double& cv, double& cp, double& w, int& ierr, std::string& herr) {
    const std::string ab = ab_in.size() >= 2 ? ab_in.substr(0, 2) : std::string("DH");
    const std::string head = ab + "FLSH";
    const char letter = ab[1];
    ierr = 0;
    herr.clear();
    T = P = Dl = Dv = e = h = s = cv = cp = w = 0.0;
    q = kQualityFailed;
    const int icomp = ISPURE(z);
    flash::start_compositions(icomp, z, x, y);
    if (flash::not_a_number(head, {D, b}, ierr, herr)) return;
    if (flash::not_positive(head, {{'D', D}}, ierr, herr)) return;

    double Tc = 0, Pc = 0, Dc = 0;
    if (!flash::critical_point(z, Tc, Pc, Dc, head, 210, 235, ierr, herr)) return;
    T = Tc;
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int lerr = 0;
    std::string lmsg;
    LIMITX("EOS", Tc, D, 0.0, z, tmin, tmax, dmax, pmax, lerr, lmsg);
    if (lerr < 0) {
        // Shown (when messages are printed) but not kept: the range check of
        // the result reports what still holds.
        herr = flash::range_text(head, lerr, lmsg, 3);
        ERRMSG(lerr, herr);
        herr.clear();
    } else if (flash::range_error(head, lerr, lmsg, 3, ierr, herr)) {
        return;
    }

    int jerr = 0;
    std::string jmsg;
    if (icomp == 0 && (letter == 'H' || letter == 'S' || letter == 'E')) {
        // A mixture: the state along the isochore, searched in temperature
        // from the root of the single-phase equation there.
        double t0 = 0.0, p0 = 0.0;
        int jerr0 = 0;
        std::string jmsg0;
        dbfl1_from(0.0, D, b, z, ab, t0, p0, jerr0, jmsg0, true);
        TpResult r;
        db_mixture(D, letter, b, z, Tc, Pc, Dc, jerr0 > 0 ? 0.0 : t0, r, T, P, ierr, herr);
        if (ierr > 0) return;
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
        int rerr = 0;
        std::string rmsg;
        flash::found_state_limits(T, D, P, z, tmin, tmax, dmax, pmax, rerr, rmsg);
        flash::range_error(head, rerr, rmsg, 3, ierr, herr);
        return;
    }
    int kr = 0;
    double dls = 0, dvs = 0;
    SATD(D, z, 0, kr, T, P, dls, dvs, x, y, jerr, jmsg);
    flash::start_compositions(icomp, z, x, y);

    const bool helium = icomp > 0 && Tc > 5.0 && Tc < 6.0 && D > 36.5;
    double bsat = 0.0;
    std::string smsg;
    int serr = 0;
    bool two = false;
    if (!helium && jerr <= 0) {
        bsat = flash::prop(letter, T, D, z);
        two = b < bsat;
    }
    if (!two && jerr <= 0 && T > 0.0) {
        // The state lies on the isochore above its saturation temperature:
        // Newton's method starts there rather than at the critical
        // temperature, far from a liquid state.
        dbfl1_from(T, D, b, z, ab, T, P, serr, smsg);
    } else if (!two) {
        // No saturation state of the density: a liquid denser than the
        // triple point's lies on its isochore above the triple-point
        // temperature, where Newton's method starts first (fluorine's
        // liquid of 44.96 mol/L at 57.05 K and 20 MPa: from the critical
        // temperature the entropy's search failed, and the two-phase road
        // after it with 248).
        const bool dense = denser_than_triple_liquid(icomp, D, helium);
        if (dense) dbfl1_from(CCON.ttp[icomp], D, b, z, ab, T, P, serr, smsg);
        if (!dense || serr > 0) {
            serr = 0;
            smsg.clear();
            T = Tc;
            double dd = 0;
            ABFL1(D, b, z, 0, ab, 0.0, 0.0, T, P, dd, serr, smsg);
            // Without a saturation temperature of the density (close to the
            // critical density, where the saturation solver fails), a root that
            // is not stable, or a metastable one inside the two-phase region, is
            // no single-phase state (r410a at 0.98 Tc: unstable root at 333.0 K;
            // r1216 at 360.64 K, q = 0.3: metastable root at 359.39 K).
            if (!helium && (serr > 0 || inside_two_phase(T, D, z, Tc))) {
                two = true;
                two_phase_state(D, b, z, ab, T, P, Dl, Dv, x, y, q, serr, smsg);
            }
        }
    } else {
        const double tsat = T;
        two_phase_state(D, b, z, ab, T, P, Dl, Dv, x, y, q, serr, smsg);
        if (serr > 0) single_below_saturation(D, b, z, ab, Tc, tsat, tmin, T, P, serr, smsg, two);
    }
    if (serr > 0) {
        fail(248, head, "iteration did not converge:  " + cut(smsg, 183), ierr, herr);
        q = kQualityFailed;
        return;
    }

    if (two) {
        // The pressure of the two-phase state is the saturation pressure the
        // two-phase solver found (the liquid root's own pressure is badly
        // conditioned far below the critical point).
        flash::mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w);
    } else {
        double hjt = 0, ps = 0, dl = 0, dv = 0;
        THERM(T, D, z, P, e, h, s, cv, cp, w, hjt);
        if (icomp > 0 && !flash::pseudo_pure(icomp) && T < Tc && D > Dc &&
            satcheb::at_t(icomp, flash::at_triple_point(icomp, T), ps, dl, dv))
            P = flash::liquid_pressure(P, D, ps, dl);
        Dl = Dv = D;
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
    }
    flash::found_state_limits(T, D, P, z, tmin, tmax, dmax, pmax, lerr, lmsg);
    flash::range_error(head, lerr, lmsg, 3, ierr, herr);
}

// Wrappers of the density pairs.
namespace {
void dflsh(const char* code, double D, double b, const double z[20], double& T, double& P,
           double& Dl, double& Dv, double x[20], double y[20], double& q, double& e, double& h,
           double& s, double& cv, double& cp, double& w, int& ierr, std::string& herr) {
    DBFLSH(D, b, z, code, T, P, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
}
}  // namespace

void DHFLSH(double D, double h, const double z[20], double& T, double& P, double& Dl, double& Dv,
            double x[20], double y[20], double& q, double& e, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr) {
    double hs = 0;
    dflsh("DH", D, h, z, T, P, Dl, Dv, x, y, q, e, hs, s, cv, cp, w, ierr, herr);
}

void DSFLSH(double D, double s, const double z[20], double& T, double& P, double& Dl, double& Dv,
            double x[20], double y[20], double& q, double& e, double& h, double& cv, double& cp,
            double& w, int& ierr, std::string& herr) {
    double ss = 0;
    dflsh("DS", D, s, z, T, P, Dl, Dv, x, y, q, e, h, ss, cv, cp, w, ierr, herr);
}

void DEFLSH(double D, double e, const double z[20], double& T, double& P, double& Dl, double& Dv,
            double x[20], double y[20], double& q, double& h, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr) {
    double es = 0;
    dflsh("DE", D, e, z, T, P, Dl, Dv, x, y, q, es, h, s, cv, cp, w, ierr, herr);
}

void DHFL1(double D, double h, const double z[20], double& T, int& ierr, std::string& herr) {
    double p = 0, d = 0;
    ABFL1(D, h, z, 0, "DH", 0.0, 0.0, T, p, d, ierr, herr);
}

void DSFL1(double D, double s, const double z[20], double& T, int& ierr, std::string& herr) {
    double p = 0, d = 0;
    ABFL1(D, s, z, 0, "DS", 0.0, 0.0, T, p, d, ierr, herr);
}

void DEFL1(double D, double e, const double z[20], double& T, int& ierr, std::string& herr) {
    double p = 0, d = 0;
    ABFL1(D, e, z, 0, "DE", 0.0, 0.0, T, p, d, ierr, herr);
}

void DHFL2(double D, double h, const double z[20], double& T, double& P, double& Dl, double& Dv,
           double x[20], double y[20], double& q, int& ierr, std::string& herr) {
    DBFL2(D, h, z, 0, "DH", T, P, Dl, Dv, x, y, q, ierr, herr);
}

void DSFL2(double D, double s, const double z[20], double& T, double& P, double& Dl, double& Dv,
           double x[20], double y[20], double& q, int& ierr, std::string& herr) {
    DBFL2(D, s, z, 0, "DS", T, P, Dl, Dv, x, y, q, ierr, herr);
}

void DEFL2(double D, double e, const double z[20], double& T, double& P, double& Dl, double& Dv,
           double x[20], double y[20], double& q, int& ierr, std::string& herr) {
    DBFL2(D, e, z, 0, "DE", T, P, Dl, Dv, x, y, q, ierr, herr);
}

}  // namespace lib
