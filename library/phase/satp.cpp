// Saturation at given pressure: result cache, melting and sublimation lines,
// limit and critical-point checks, and the pure-fluid road (Newton iteration
// on the temperature for equal Gibbs energies, with a secant search on the
// saturation pressure as fallback).
#include "library/phase/satp.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/phase/dens.h"
#include "library/phase/envelope.h"
#include "library/phase/flashutil.h"
#include "library/phase/records.h"
#include "library/phase/satcheb.h"
#include "library/phase/satcrit.h"
#include "library/phase/satmemo.h"
#include "library/phase/satmix.h"
#include "library/phase/satrefine.h"
#include "library/phase/satsupport.h"
#include "library/phase/satt.h"
#include "library/phase/sattp.h"
#include "library/phase/tprho.h"
#include "library/setup/records.h"
#include "library/setup/setup.h"

namespace lib {
namespace {

using flash::cut;

// The error of LIMITX whose only item is a pressure above the melting
// pressure.
constexpr int kMeltingItem = 16;

std::string mpa(double p) { return fmt_g(p / 1000.0, 12, 5); }

struct Phase {
    double g = 0, s = 0;
};

Phase phase_at(double T, double D, const double z[20]) {
    Phase ph;
    double a = 0;
    AG(T, D, z, a, ph.g);
    ENTRO(T, D, z, ph.s);
    return ph;
}

// Temperature iteration at fixed pressure.  True on success; on failure the
// error of the last attempt is left in ierr/herr.
bool temperature_iteration(double P, const double z[20], double Tc, double Dc, int flag, double& T,
                           double& Dl, double& Dv, int& ierr, std::string& herr) {
    double c = 1.0002;
    int jerr = 0;
    std::string jmsg;
    for (int pass = 1; pass <= 100; ++pass) {
        TPRHO(T, P, z, kLiquid, flag, Dl, jerr, jmsg);
        if (jerr != 0 || Dl < Dc) {
            T /= c;
            c = (c - 1.0) / 1.2 + 1.0;
            continue;
        }
        TPRHO(T, P, z, kVapour, flag, Dv, jerr, jmsg);
        if (jerr != 0 || Dv > Dc) {
            T *= 1.001;
            if (T > Tc) T = (T / 1.001) * 1.00005;
            if (Dv > Dc) Dv = Dc / 2.0;
            continue;
        }
        flag = 1;
        const Phase l = phase_at(T, Dl, z);
        const Phase v = phase_at(T, Dv, z);
        double dT = (l.g - v.g) / (l.s - v.s);
        if (!std::isfinite(dT)) break;
        if (std::fabs(dT) >= 1e-6) {
            // Steps are held to half the temperature either way, so that the
            // temperature stays positive.
            for (int k = 0; k < 100 && std::fabs(dT) > T / 2.0; ++k) dT /= 4.0;
            T += dT;
            continue;
        }
        T += dT;
        TPRHO(T, P, z, kLiquid, kStartValue, Dl, jerr, jmsg);
        if (jerr != 0 || T > Tc || Dl < Dc) {
            fail(142, "SATP",
                 "liquid density iteration in saturation routine did not converge for "
                 "temperature iteration" +
                     fmt_int(pass, 3) + "; " + cut(jmsg, 142),
                 ierr, herr);
            return false;
        }
        TPRHO(T, P, z, kVapour, kStartValue, Dv, jerr, jmsg);
        if (jerr != 0 || T > Tc || Dv > Dc) {
            fail(143, "SATP",
                 "vapor density iteration in saturation routine did not converge for "
                 "temperature iteration" +
                     fmt_int(pass, 3) + "; " + cut(jmsg, 143),
                 ierr, herr);
            return false;
        }
        ierr = 0;
        herr.clear();
        return true;
    }
    return false;
}

// Newton's method on T, Dl and Dv at once from the start values (see
// saturation_at_p), in a fraction of the evaluations of the temperature
// iteration.  True for a state that iteration would accept: below Tc, both
// roots stable and on their sides of the critical point; the arguments are
// left untouched otherwise.
bool newton_state(double P, const double z[20], double Tc, double Dc, double& T, double& Dl,
                  double& Dv) {
    double t = T, dl = Dl, dv = Dv;
    if (!saturation_at_p(P, z, Tc, Dc, t, dl, dv)) return false;
    if (!(t <= Tc) || !(dl >= Dc) || !(dv <= Dc)) return false;
    if (!tprho_accepts(t, dl, z, Tc, Dc) || !tprho_accepts(t, dv, z, Tc, Dc)) return false;
    T = t;
    Dl = dl;
    Dv = dv;
    return true;
}

// The temperature at which the vapour-pressure ancillary of the component
// gives P: secant steps on ln P over 1/T from the estimate T, the first one
// with the slope of the generalised vapour-pressure equation.  Accurate
// enough as a start (the solver converges from it), not as a result.
bool ancillary_temperature(int icomp, double P, double Tc, double omega, double& T) {
    const double lnp = std::log(P);
    int jerr = 0;
    std::string jmsg;
    const auto f = [&](double t) {
        double p = 0;
        PSATK(icomp, t, p, jerr, jmsg);
        return p > 0.0 && std::isfinite(p) ? std::log(p) - lnp : std::nan("");
    };
    double u0 = 1.0 / T, f0 = f(T);
    if (!std::isfinite(f0)) return false;
    double u1 = u0 + f0 / (2.333333 * std::log(10.0) * (1.0 + omega) * Tc);
    for (int pass = 0; pass < 10; ++pass) {
        if (!(u1 > 1.0 / Tc)) u1 = 0.5 * (u0 + 1.0 / Tc);
        const double f1 = f(1.0 / u1);
        if (!std::isfinite(f1)) return false;
        if (std::fabs(f1) < 1e-9) {
            T = 1.0 / u1;
            return true;
        }
        if (f1 == f0) return false;
        const double u2 = u1 - f1 * (u1 - u0) / (f1 - f0);
        u0 = u1;
        f0 = f1;
        u1 = u2;
    }
    return false;
}

// Secant search on the saturation pressure of SATT, from just below Tc.
bool secant_search(double P, const double x[20], int kph, double Tc, double& T, double& Dl,
                   double& Dv, double xl[20], double xv[20], int& ierr, std::string& herr) {
    double T1 = 0.999 * Tc;
    double P1 = 0;
    SATT(T1, x, kph, P1, Dl, Dv, xl, xv, ierr, herr);
    double T2 = 0.9995 * Tc;
    for (int round = 1; round <= 20; ++round) {
        double P2 = 0;
        SATT(T2, x, kph, P2, Dl, Dv, xl, xv, ierr, herr);
        T = T2;
        if (std::fabs(P2 - P) < 1e-6 && ierr == 0) return true;
        if (std::fabs(P2 - P1) < 1e-12) return false;
        double tn = T1 - (T2 - T1) * (P1 - P) / (P2 - P1);
        if (tn > Tc) tn = T1 < T2 ? 0.5 * (T2 + Tc) : 0.5 * (T1 + Tc);
        if (!(tn > 0.0)) tn = 0.5 * std::min(T1, T2);
        T1 = T2;
        P1 = P2;
        T2 = tn;
    }
    return false;
}

// Saturation state of SATT at T; true when it found one.
struct SatState {
    double T = 0, P = 0, Dl = 0, Dv = 0;
};

bool satt_at(double T, const double x[20], int kph, SatState& s) {
    double xl[20], xv[20];
    int jerr = 0;
    std::string jmsg;
    s.T = T;
    SATT(T, x, kph, s.P, s.Dl, s.Dv, xl, xv, jerr, jmsg);
    return jerr == 0 && s.P > 0.0 && s.Dl > s.Dv;
}

// Last resort after the temperature iteration and the secant search: a start
// temperature too far above the equation's saturation line (the liquid root
// is missing there, and the iteration lowers T by at most about 0.1 %), or a
// stored critical temperature above the equation's own, where the secant
// search begins.  Regula falsi (Illinois) on ln P over 1/T between the lowest
// temperature and the highest one below Tc at which SATT finds a state, then
// the temperature iteration from the state found.
bool bracketed_search(double P, const double x[20], const double z[20], int kph, double Tc,
                      double Dc, double& T, double& Dl, double& Dv, int& ierr, std::string& herr) {
    const int icomp = ISPURE(x);
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", x, tmin, tmax, dmax, pmax);
    SatState lo, hi, m;
    if (!satt_at(std::max(CCON.ttp[icomp], tmin), x, kph, lo) || lo.P > P) return false;
    // Down from Tc to the first state found, then up again by bisection
    // towards the failing temperature while its pressure stays below P.
    bool found = false;
    double t_fail = Tc;
    for (double gap = 1e-4; gap < 0.5 && !found; gap *= 2.0) {
        found = satt_at((1.0 - gap) * Tc, x, kph, hi);
        if (!found) t_fail = (1.0 - gap) * Tc;
    }
    if (!found || hi.T <= lo.T) return false;
    for (int k = 0; k < 40 && hi.P < P && t_fail - hi.T > 1e-7 * Tc; ++k) {
        SatState mid;
        if (satt_at(0.5 * (hi.T + t_fail), x, kph, mid))
            hi = mid;
        else
            t_fail = mid.T;
    }
    if (hi.P < P) return false;
    const double lnp = std::log(P);
    double fa = std::log(lo.P) - lnp, fb = std::log(hi.P) - lnp;
    double ua = 1.0 / lo.T, ub = 1.0 / hi.T;
    m = std::fabs(fa) < std::fabs(fb) ? lo : hi;
    int side = 0;
    for (int pass = 0; pass < 100 && std::fabs(std::log(m.P) - lnp) > 1e-12; ++pass) {
        const double u = fb != fa ? ub - fb * (ub - ua) / (fb - fa) : 0.5 * (ua + ub);
        if (!satt_at(1.0 / u, x, kph, m)) return false;
        const double f = std::log(m.P) - lnp;
        if ((f < 0.0) == (fa < 0.0)) {
            ua = u;
            fa = f;
            if (side == -1) fb /= 2.0;
            side = -1;
        } else {
            ub = u;
            fb = f;
            if (side == 1) fa /= 2.0;
            side = 1;
        }
        if (std::fabs(ub - ua) < 1e-15 * std::fabs(ub)) break;
    }
    if (std::fabs(std::log(m.P) - lnp) > 1e-9) return false;
    T = m.T;
    Dl = m.Dl;
    Dv = m.Dv;
    if (temperature_iteration(P, z, Tc, Dc, 1, T, Dl, Dv, ierr, herr)) return true;
    // The state of SATT, whose pressure already matches.
    T = m.T;
    Dl = m.Dl;
    Dv = m.Dv;
    ierr = 0;
    herr.clear();
    return true;
}

// Whether P is at least the saturation pressure of the equation at its lowest
// temperature (the triple point, or the lower limit when that is higher), on
// the line kph (a pseudo-pure blend's dew line lies below its bubble line).
bool above_lowest_saturation(double P, const double x[20], int kph) {
    const int icomp = ISPURE(x);
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", x, tmin, tmax, dmax, pmax);
    const double t0 = std::max(CCON.ttp[icomp], tmin);
    double p0 = 0, dl = 0, dv = 0, xl[20], xv[20];
    int jerr = 0;
    std::string jmsg;
    SATT(t0, x, kph == kDewPoint ? kDewPoint : kBubblePoint, p0, dl, dv, xl, xv, jerr, jmsg);
    // Met to the last digits of the saturation solver counts as met: its
    // pressures at one temperature agree to some 1e-10 (benzene at its
    // triple point: 4.7837725780481 kPa from the expansions, 4.7837725786688
    // solved; after the solved one was kept, the first no longer counted as
    // reaching it).
    return jerr == 0 && P >= p0 * (1.0 - 1e-9);
}

// One call of SATP: its inputs, its results bound to the caller's arguments,
// and what the steps find on the way.
class SaturationAtPressure {
public:
    SaturationAtPressure(double P, const double x[20], int kph, double& T, double& Dl, double& Dv,
                         double xl[20], double xv[20], int& ierr, std::string& herr)
        : P(P), x(x), kph(kph), T(T), Dl(Dl), Dv(Dv), xl(xl), xv(xv), ierr(ierr), herr(herr) {
        // (Copied from the zero vector: a string instruction costs more.)
        std::copy_n(flash::kZeroVector.begin(), 20, z);
    }

    void run() {
        icomp = ISPURE(x);
        ierr = 0;
        herr.clear();
        if (no_fluid_set_up("SATP", ierr, herr)) {
            T = Dl = Dv = 0.0;
            return;
        }
        if (!(P > 0.0) || !std::isfinite(P)) {
            T = 300.0;
            Dl = Dv = 0.0;
            flash::start_compositions(icomp, x, xl, xv);
            fail(4, "SATP",
                 std::isfinite(P)
                     ? "pressure input to saturation routine is zero or negative; P =" +
                           fmt_g(P / 1000.0, 12, 5) + " MPa."
                     : std::string("pressure input to saturation routine is not a number"),
                 ierr, herr);
            return;
        }
        if (cached()) {
            // (A point kept from inside a flash or road is checked here,
            // and refined: the fall-back of Newton's method keeps its
            // points unrefined.)
            if (icomp == 0 && (kph == kBubblePoint || kph == kDewPoint)) {
                if (refined()) finish();
                refuse_frozen_point("SATP", T, P, x, {Dl, Dv, xl, xv}, ierr, herr);
            }
            return;
        }
        start();
        if (kph == kMeltingLine) return melting_line();
        if (kph == kSublimationLine) return sublimation_line();
        if (from_expansions()) return finish();
        if (!critical_point() || !in_range()) return;
        if (icomp > 0 && !(P >= CCON.ptp[icomp] && P > 0.0) && !below_triple_point()) return;
        if (icomp > 0 && near_critical()) return;
        if (icomp > 0 && P / Pc >= 0.99999999) return critical_pressure();
        if (icomp == 0) return mixture();
        estimate();
        if (from_ancillaries()) return finish();
        ancillary_starts();
        if (pseudo_pure) return pseudo_pure_line();
        if (solve()) finish();
    }

private:
    const double P;
    const double* x;
    const int kph;
    double& T;
    double& Dl;
    double& Dv;
    double* xl;
    double* xv;
    int& ierr;
    std::string& herr;

    int icomp = 0;
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    double z[20];  // zeros until the start of the iteration
    double omega = 0;
    int flag = 0;  // 1: Dl and Dv hold start values
    bool pseudo_pure = false, bubble_line = false;

    bool cached() {
        if (!(FSHSAV.pst == 1 && P > 1e-7 &&
              sat::cache_matches(PSTSAV, PSTSAV.p, P, x, kph, icomp)))
            return false;
        T = PSTSAV.t;
        sat::cache_load(PSTSAV, Dl, Dv, xl, xv);
        return true;
    }
    void start() {
        T = 300.0;
        Dl = 0.0;
        Dv = 0.0;
        flash::start_compositions(icomp, x, xl, xv);
        RMIX(x);
    }
    // A result is kept for the next call at the same pressure.
    void finish() {
        if (ierr != 0) return;
        sat::cache_store(PSTSAV, T, P, Dl, Dv, x, xl, xv, kph, icomp);
        FSHSAV.pst = 1;
    }
    // The density of one phase on a solid line; its failure is the result.
    void line_density(int phase, double& D) { sat::line_density(T, P, x, phase, D, ierr, herr); }
    // A line that gives no temperature and no error of its own does not exist.
    void no_line(const char* kind) {
        fail(2, "SATP", std::string("no ") + kind + " line for this fluid; P =" + mpa(P) + " MPa.",
             ierr, herr);
    }

    void melting_line() {
        MELTP(P, x, T, ierr, herr);
        Dl = CCON.dtp[1];
        if (!(T > 0.0) && ierr <= 0) no_line("melting");
        if (T > 0.0) line_density(1, Dl);
        finish();
    }
    void sublimation_line() {
        SUBLP(P, x, T, ierr, herr);
        if (!(T > 0.0) && ierr <= 0) no_line("sublimation");
        if (T > 0.0) {
            Dv = P / (GCNST.r * T);
            if (Dv < 1e10) line_density(2, Dv);
        }
        finish();
    }

    // A pure fluid's saturation line from its expansions where they reach
    // (never below the triple-point pressure: see below_triple_point).
    bool from_expansions() {
        if (icomp == 0 || (kph != kBubblePoint && kph != kDewPoint) || !(P >= CCON.ptp[icomp]) ||
            !(P < CCON.pc[icomp]))
            return false;
        return satcheb::at_p(icomp, P, T, Dl, Dv);
    }

    // Above the top of the expansions: the road shared with SATT, which
    // also knows where the equation has no saturation state.  (It comes
    // before the critical point that answers within 1e-8 of Pc: an
    // equation's own critical point can lie a little lower in T, isobutane's
    // by 7 mK, with its pressure within that band.)
    bool near_critical() {
        switch (satcrit::at_p(icomp, P, T, Dl, Dv)) {
            case satcrit::Verdict::kSolved: finish(); return true;
            case satcrit::Verdict::kNoState:
                if (P / Pc >= 0.99999999) return false;
                no_convergence();
                return true;
            case satcrit::Verdict::kNotHere: break;
        }
        return false;
    }

    bool critical_point() {
        CRITP(x, Tc, Pc, Dc, jerr, jmsg);
        if (jerr <= 0) return true;
        fail(140, "SATP", cut(jmsg, 237), ierr, herr);
        return false;
    }
    bool in_range() {
        double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
        int lerr = 0;
        std::string lmsg;
        LIMITX("EOS", 0.8 * Tc, 0.0, P, x, tmin, tmax, dmax, pmax, lerr, lmsg);
        if (lerr <= 1) return true;
        // A mixture's saturation temperature is not known yet: 0.8 Tc of its
        // critical point may lie far below a wet gas's dew point, where its
        // melting pressure says nothing (helium with 10 % butane: 13.5 K and
        // 0.49 MPa, for a dew point of some 265 K at 0.77 MPa).
        if (icomp == 0 && lerr == kMeltingItem) return true;
        T = 0.8 * Tc;
        fail(lerr, "SATP", cut(lmsg, 238), ierr, herr, 4);
        return false;
    }

    // Below the triple point: the sublimation line, when the fluid has one.
    // True when the pressure is to be solved as usual after all.
    bool below_triple_point() {
        if (P > 0.0) SUBLP(P, x, T, ierr, herr);
        const bool at_triple = !(T > 0.0) || T >= CCON.ttp[icomp] * (1.0 - 1e-9);
        if (P > 0.0 && at_triple && above_lowest_saturation(P, x, kph)) {
            // The stored triple-point pressure is a rounded saturation
            // pressure: a pressure the equation itself reaches at its lowest
            // temperature is solved as usual (also where the sublimation line
            // meets it there).
            ierr = 0;
            herr.clear();
            return true;
        }
        if (!(P > 0.0) || !(T > 0.0)) {
            T = CCON.ttp[icomp];
            fail(2, "SATP",
                 "pressure less than triple point pressure; P =" + mpa(P) +
                     " MPa, Ptp =" + mpa(CCON.ptp[icomp]) + " MPa.",
                 ierr, herr);
            return false;
        }
        Dv = P / (GCNST.r * T);
        if (Dv < 1e10) line_density(2, Dv);
        finish();
        return false;
    }

    // At (or within rounding of) the critical pressure the critical point;
    // above it an error.
    void critical_pressure() {
        T = Tc;
        Dl = Dv = Dc;
        if (P / Pc <= 1.000001) return;
        fail(141, "SATP",
             "pressure input to saturation routine is greater than critical pressure; "
             "P =" +
                 mpa(P) + " MPa, Pcrit =" + mpa(Pc) + " MPa.",
             ierr, herr);
    }

    // The start: a corresponding-states estimate of T (and near the critical
    // point of both densities).
    void estimate() {
        for (int i = 0; i < 20; ++i) z[i] = xl[i];
        omega = CCON.acf[icomp];
        const double pr = P / Pc;
        T = Tc / (1.0 - 0.428571 * std::log10(pr) / (1.0 + omega));
        if (pr > 0.98) {
            const double zz = (1.6 - omega) * (1.0 - pr);
            T = Tc * (1.0 - 0.103947 * zz - 0.04108265 * zz * zz);
            const double y = (omega + 3.0) * std::cbrt(1.0 - pr);
            Dv = Dc * (1.0 - 0.290039 * y - 0.007120197 * y * y);
            Dl = Dc * (1.0 + 0.298544 * y + 0.01870808 * y * y);
            flag = 1;
        }
        pseudo_pure = FLAGS2.pseudo_pure[static_cast<std::size_t>(icomp)] == 1;
        bubble_line = flash::has_equation(PLMOD, icomp) && kph == kBubblePoint;
    }

    // The Newton solver needs a start only: the vapour-pressure ancillary
    // inverted by a few secant steps from the estimate, with the density
    // ancillaries there.  True when Newton's method converged from it.
    bool from_ancillaries() {
        if (pseudo_pure || bubble_line || !flash::has_equation(PSMOD, icomp) ||
            !flash::has_equation(DLMOD, icomp) || !flash::has_equation(DVMOD, icomp))
            return false;
        double t = T, dl = 0, dv = 0;
        if (!ancillary_temperature(icomp, P, Tc, omega, t)) return false;
        DLSATK(icomp, t, dl, jerr, jmsg);
        const int lerr = jerr;
        DVSATK(icomp, t, dv, jerr, jmsg);
        if (!(lerr <= 0 && jerr <= 0 && dl > 0.0 && dv > 0.0 &&
              newton_state(P, z, Tc, Dc, t, dl, dv)))
            return false;
        T = t;
        Dl = dl;
        Dv = dv;
        ierr = 0;
        herr.clear();
        return true;
    }

    // Where that fails, the start is taken from each ancillary in turn.
    void ancillary_starts() {
        double v = 0;
        if (flash::has_equation(PSMOD, icomp)) {
            TSATP(P, z, v, jerr, jmsg);
            if (v > 0.0) T = v;
        }
        if (bubble_line) {
            TSATPL(P, z, v, jerr, jmsg);
            if (v > 0.0) T = v;
        }
        if (flash::has_equation(DLMOD, icomp)) {
            DLSATK(icomp, T, v, jerr, jmsg);
            if (jerr <= 0 && v > 0.0) {
                Dl = v;
                flag = 1;
            }
        }
        if (flash::has_equation(DVMOD, icomp)) {
            DVSATK(icomp, T, v, jerr, jmsg);
            if (jerr <= 0 && v > 0.0) {
                Dv = v;
                flag = 1;
            }
        }
    }

    // The mixture road; a result is cached like a pure fluid's, a failure
    // kept while a flash lives (satmemo.h): a road that does not converge
    // costs up to seconds, and the flashes ask again from their fall-backs
    // (dodecane + methanol, 80 % dodecane, at 6.45 MPa: 1.6 s for no dew
    // point, asked twice by PQFLSH).
    void mixture() {
        if (above_boundary()) return;
        const mix::SatQuestion question{mix::satp_failure_kind(kph), P, x};
        if (recalled_failure(question)) return;
        const bool outermost = mixture_roads_under_way() == 0;
        double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
        LIMITS("EOS", x, tmin, tmax, dmax, pmax);
        const MixtureSaturation m{Tc, Pc, Dc, dmax, false};
        satp_mixture(P, x, kph, m, T, Dl, Dv, xl, xv, ierr, herr);
        if (ierr <= 0 && (kph == kBubblePoint || kph == kDewPoint)) refined();
        refuse_frozen_point("SATP", T, P, x, {Dl, Dv, xl, xv}, ierr, herr);
        // A failed road's last temperature may lie far outside the range
        // (0.38 K, 348,000 K): the estimated critical point is handed out
        // with the error instead, as a pure fluid's above its critical
        // pressure.
        if (ierr > 0 && !(T >= 0.5 * tmin && T <= 2.0 * tmax)) {
            T = Tc;
            Dl = Dv = Dc;
        }
        if (ierr > 0 && outermost && (kph == kBubblePoint || kph == kDewPoint)) {
            mix::SatAnswer a;
            a.set(T, P, Dl, Dv, xl, xv);
            a.ierr = ierr;
            a.herr = herr;
            mix::keep(question, a);
        }
        finish();
    }

    // Above the top of the mixture's traced boundary (its cricondenbar) no
    // bubble or dew point exists, and the roads would spend up to 160,000
    // evaluations of the equation each to find none (Dry ISO Air at 5
    // MPa): their error at once, with the estimated critical point.
    bool above_boundary() {
        if ((kph != kBubblePoint && kph != kDewPoint) || !mix::no_saturation_at_pressure(P, x))
            return false;
        T = Tc;
        Dl = Dv = Dc;
        flash::copy20(x, xl);
        flash::copy20(x, xv);
        fail(148, "SATP", "iteration for saturation state did not converge; P =" + mpa(P) + " MPa.",
             ierr, herr);
        return true;
    }

    // A failure of the mixture road kept for the question: its outputs and
    // error given again.
    bool recalled_failure(const mix::SatQuestion& question) {
        mix::SatAnswer a;
        if (!mix::recall(question, a)) return false;
        T = a.T;
        a.give(Dl, Dv, xl, xv, ierr, herr);
        return true;
    }

    // A mixture's point refined by Newton's method where a slower road left
    // its phases off equilibrium (library/phase/satrefine.h); its warnings
    // go where it meets the tolerance.  True where the point changed.
    bool refined() {
        const double t0 = T;
        double p = P;
        const bool equal = mix::refine_saturation(kph == kBubblePoint ? kBubbleAtP : kDewAtP, x, T,
                                                  p, Dl, Dv, xl, xv);
        if (T == t0) return false;
        if (equal) {
            ierr = 0;
            herr.clear();
        }
        return true;
    }

    // A blend's bubble or dew line: the one phase's density at the
    // ancillaries' temperature.
    void pseudo_pure_line() {
        if (kph == kDewPoint) {
            TPRHO(T, P, z, kVapour, flag, Dv, ierr, herr);
            Dl = Dv;
        } else {
            TPRHO(T, P, z, kLiquid, flag, Dl, ierr, herr);
            Dv = Dl;
        }
        finish();
    }

    // Newton's method from the start, else the temperature iteration, else
    // the secant and bracketed searches along SATT.  False on failure.
    bool solve() {
        // Above the equation's own critical pressure (which may lie below
        // the stated one) there is no saturation state to search for (the
        // searches below spent some 1e5 evaluations of the equation to find
        // none).
        double tce = 0, pce = 0, dce = 0;
        if (satcheb::own_critical_point(icomp, tce, pce, dce) && P > pce * (1.0 + 1e-7))
            return no_convergence();
        if (flag == 1 && newton_state(P, z, Tc, Dc, T, Dl, Dv)) {
            ierr = 0;
            herr.clear();
            return true;
        }
        if (temperature_iteration(P, z, Tc, Dc, flag, T, Dl, Dv, ierr, herr)) return true;
        if (P > 0.9999 * Pc) {
            T = Tc;
            Dl = Dv = Dc;
        }
        if (secant_search(P, x, kph, Tc, T, Dl, Dv, xl, xv, ierr, herr) ||
            bracketed_search(P, x, z, kph, Tc, Dc, T, Dl, Dv, ierr, herr))
            return true;
        return no_convergence();
    }
    bool no_convergence() {
        fail(144, "SATP", "iteration for saturation state did not converge; P =" + mpa(P) + " MPa.",
             ierr, herr);
        if (P > 0.9999 * Pc) {
            T = Tc;
            Dl = Dv = Dc;
        }
        return false;
    }
};

}  // namespace

void SATP(double P, const double x[20], int kph, double& T, double& Dl, double& Dv, double xl[20],
          double xv[20], int& ierr, std::string& herr) {
    SaturationAtPressure(P, x, kph, T, Dl, Dv, xl, xv, ierr, herr).run();
}

}  // namespace lib
