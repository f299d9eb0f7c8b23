// Saturation at given temperature: result cache, melting and sublimation
// lines, limit and critical-point checks, and the pure-fluid road (pressure
// iteration on equal Gibbs energies, with a spinodal-bracketed fallback).
#include "library/phase/satt.h"

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
#include "library/phase/sattp.h"
#include "library/phase/spinodal.h"
#include "library/phase/tprho.h"
#include "library/setup/records.h"
#include "library/setup/setup.h"

namespace lib {
namespace {

using flash::cut;

std::string no_convergence(double T) {
    return errtext(
        "SATT", 124,
        "iteration for saturation state did not converge; T =" + fmt_g(T, 12, 5) + " K.");
}

double gibbs(double T, double D, const double z[20]) {
    double a = 0, g = 0;
    AG(T, D, z, a, g);
    return g;
}

// State of the pure-fluid road shared by its steps.
struct Road {
    double T = 0, Tc = 0, Pc = 0, Dc = 0;
    double dmax = 0;  // upper density limit of the equation
    int icomp = 0;
    const double* z = nullptr;
    double P = 0, Dl = 0, Dv = 0;
    double dle = 0, dve = 0;  // estimated saturated densities
    int ierr = 0;
    std::string herr;
};

// Whether a saturated density from an ancillary equation can be a start: a
// liquid denser than the critical point and not beyond the triple-point (or
// maximum) density, a vapour below the critical density.
bool plausible_density(const Road& r, int phase, double D) {
    if (!std::isfinite(D) || !(D > 0.0)) return false;
    if (phase == 2) return D < r.Dc;
    const double dtp = CCON.dtp[r.icomp];
    const double cap = dtp > 0.0 ? 1.05 * dtp : r.dmax;
    return D > r.Dc && !(cap > 0.0 && D > cap);
}

// Whether a saturation pressure from an ancillary equation can be a start.
// The saturation pressure rises with temperature, so above the triple point
// it is not below the triple-point pressure of the equation (a factor of ten
// leaves room for rounded stored values); an equation extrapolated far below
// its range gives values many orders of magnitude lower.
bool plausible_pressure(const Road& r) {
    if (!std::isfinite(r.P) || !(r.P > 0.0) || !(r.P < r.Pc)) return false;
    const double ptp = CCON.ptp[r.icomp];
    return !(r.T >= CCON.ttp[r.icomp] && ptp > 0.0 && r.P < 0.1 * ptp);
}

// Start values from the component's ancillary equations (the generalised
// estimates where it has none, where they fail, or where a density is
// implausible).  Returns the start-value flag for TPRHO.
int ancillary_start(Road& r, int kph) {
    const int icomp = r.icomp;
    const double T = r.T;
    int flag = 0;
    r.Dl = r.dle;
    r.Dv = r.dve;
    int jerr = 0;
    std::string jmsg;
    double v = 0;
    if (flash::has_equation(PSMOD, icomp)) {
        PSATK(icomp, T, v, jerr, jmsg);
        if (v > 0.0) r.P = v;
    }
    if (flash::has_equation(PLMOD, icomp) && kph == kBubblePoint) {
        PLSATK(icomp, T, v, jerr, jmsg);
        if (v > 0.0) r.P = v;
    }
    if (flash::has_equation(DLMOD, icomp)) {
        DLSATK(icomp, T, v, jerr, jmsg);
        if (jerr <= 0 && plausible_density(r, 1, v)) {
            r.Dl = v;
            flag = 1;
        }
    }
    if (flash::has_equation(DVMOD, icomp)) {
        DVSATK(icomp, T, v, jerr, jmsg);
        if (jerr <= 0 && plausible_density(r, 2, v)) {
            r.Dv = v;
            flag = 1;
        }
    }
    return flag;
}

// Start values from the equation of state alone: the liquid root near the
// triple-point density, and the pressure at which the vapour's Gibbs energy
// meets the liquid's, by successive substitution P <- P exp((gl - gv)/RT)
// (exact in one step for an ideal-gas vapour over an incompressible liquid).
// Serves below the range of the ancillary equations; false where the liquid
// has no root at low pressure or the substitution leaves the dome.
bool equation_start(Road& r) {
    const double T = r.T;
    const double RT = GCNST.r * T;
    const double ptp = CCON.ptp[r.icomp];
    double P = ptp > 1e-10 ? ptp : 1e-10;
    double Dl = CCON.dtp[r.icomp] > r.Dc ? CCON.dtp[r.icomp] : 3.0 * r.Dc;
    double Dv = P / RT;
    int jerr = 0;
    std::string jmsg;
    TPRHO(T, P, r.z, kLiquid, kStartValue, Dl, jerr, jmsg);
    if (jerr != 0 || !(Dl > r.Dc)) return false;
    for (int pass = 1; pass <= 30; ++pass) {
        TPRHO(T, P, r.z, kVapour, kStartValue, Dv, jerr, jmsg);
        if (jerr != 0 || !(Dv > 0.0) || !(Dv < r.Dc)) return false;
        const double step = (gibbs(T, Dl, r.z) - gibbs(T, Dv, r.z)) / RT;
        if (!std::isfinite(step) || step > 700.0) return false;
        P *= std::exp(step);
        if (!(P > 0.0) || !(P < r.Pc)) return false;
        Dv *= std::exp(step);
        TPRHO(T, P, r.z, kLiquid, kStartValue, Dl, jerr, jmsg);
        if (jerr != 0 || !(Dl > r.Dc)) return false;
        if (std::fabs(step) < 1e-7) break;
    }
    TPRHO(T, P, r.z, kVapour, kStartValue, Dv, jerr, jmsg);
    if (jerr != 0 || !(Dv > 0.0) || !(Dv < r.Dc)) return false;
    r.P = P;
    r.Dl = Dl;
    r.Dv = Dv;
    return true;
}

// Pressure iteration on equal Gibbs energies from the start in r.  True on
// success.
bool pressure_iteration(Road& r, int flag) {
    const double T = r.T;
    int jerr = 0;
    std::string jmsg;
    double dp_old = 1e6;
    for (int pass = 1; pass <= 25; ++pass) {
        TPRHO(T, r.P, r.z, kLiquid, flag, r.Dl, jerr, jmsg);
        if (jerr != 0 || r.Dl <= 0.0) {
            flag = 0;
            r.P *= 1.005;
            continue;
        }
        TPRHO(T, r.P, r.z, kVapour, flag, r.Dv, jerr, jmsg);
        if (jerr != 0 || r.Dv <= 0.0) {
            r.P *= 0.95;
            continue;
        }
        flag = 1;
        const double gl = gibbs(T, r.Dl, r.z);
        const double gv = gibbs(T, r.Dv, r.z);
        if (std::fabs(r.Dl - r.Dv) < 1e-8 ||
            (std::fabs(1.0 / r.Dl - 1.0 / r.Dv) < 0.1 && T < r.Tc - 1.0)) {
            fail(124, "SATT", "density roots equal", r.ierr, r.herr);
            return false;
        }
        const double dp = (gl - gv) / (1.0 / r.Dl - 1.0 / r.Dv);
        if (std::fabs(dp / r.P) < 1e-6 || std::fabs((dp - dp_old) / dp_old) < 1e-11) {
            r.P -= dp;
            TPRHO(T, r.P, r.z, kVapour, kStartValue, r.Dv, jerr, jmsg);
            if (jerr != 0 || r.P > r.Pc || r.Dv > r.Dc) {
                fail(123, "SATT",
                     "vapor density iteration in saturation routine did not "
                     "converge for pressure iteration" +
                         fmt_int(pass, 3) + "; " + cut(jmsg, 147),
                     r.ierr, r.herr);
                return false;
            }
            TPRHO(T, r.P, r.z, kLiquid, kStartValue, r.Dl, jerr, jmsg);
            // The pressure of the converged liquid (of the vapour at low
            // pressure, where the liquid's pressure is ill-conditioned).
            if (r.P <= 1.0)
                PRESS(T, r.Dv, r.z, r.P);
            else
                PRESS(T, r.Dl, r.z, r.P);
            if (jerr == 0 && r.P <= r.Pc && r.Dl >= r.Dc) {
                r.ierr = 0;
                r.herr.clear();
                return true;
            }
            r.ierr = 122;
            r.herr = errtext("SATT", 122,
                             "liquid density iteration in saturation routine did not converge "
                             "for pressure iteration" +
                                 fmt_int(pass, 3) + "; " + cut(jmsg, 146));
            return false;
        }
        double s = dp;
        for (int k = 0; k < 10 && std::fabs(s) > 0.4 * r.P; ++k) s /= 2.0;
        r.P -= s;
        if (r.P > 1e5) break;
        dp_old = dp;
    }
    fail(124, no_convergence(T), r.ierr, r.herr);
    if (T > 0.999975 * r.Tc) {
        r.P = r.Pc;
        r.Dl = r.Dc;
        r.Dv = r.Dc;
    }
    return false;
}

// Newton's method on both densities at once from the start in r (see
// saturation_at_t); it reaches the state of the pressure iteration in a
// fraction of its evaluations.  True when it converged to a state that the
// pressure iteration would accept: both roots stable and on their sides of
// the critical point, distinct, and the pressure below Pc.
bool newton_road(Road& r) {
    double P = 0, Dl = r.Dl, Dv = r.Dv;
    if (!saturation_at_t(r.T, r.z, r.Dc, P, Dl, Dv)) return false;
    if (!(P <= r.Pc) || !(Dl >= r.Dc) || !(Dv <= r.Dc)) return false;
    if (std::fabs(Dl - Dv) < 1e-8 || (std::fabs(1.0 / Dl - 1.0 / Dv) < 0.1 && r.T < r.Tc - 1.0))
        return false;
    if (!tprho_accepts(r.T, Dl, r.z, r.Tc, r.Dc) || !tprho_accepts(r.T, Dv, r.z, r.Tc, r.Dc))
        return false;
    r.P = P;
    r.Dl = Dl;
    r.Dv = Dv;
    r.ierr = 0;
    r.herr.clear();
    return true;
}

void critical_state(Road& r) {
    r.P = r.Pc;
    r.Dl = r.Dc;
    r.Dv = r.Dc;
}

// Equal Gibbs energies between densities bracketed by the spinodals.
void bracketed(Road& r) {
    const double T = r.T;
    int jerr = 0;
    std::string jmsg;
    double dls = r.dle, dvs = r.dve;
    LIQSPNDL(T, r.z, dls, jerr, jmsg);
    VAPSPNDL(T, r.z, dvs, jerr, jmsg);
    if (jerr != 0) {
        fail(124, no_convergence(T), r.ierr, r.herr);
        critical_state(r);
        return;
    }
    double pls = 0, pvs = 0;
    PRESS(T, dls, r.z, pls);
    PRESS(T, dvs, r.z, pvs);
    double dl_hi = 0, dv_lo = 0;
    TPRHOB(T, pvs, dls, 2.0 * dls, r.z, dl_hi, jerr, jmsg);
    if (pls > 0.0) TPRHOB(T, pls, 0.0, dvs, r.z, dv_lo, jerr, jmsg);
    double P = 0.5 * (pls + pvs);
    if (P < 0.0) P = 0.5 * pvs;
    for (int pass = 1; pass <= 20; ++pass) {
        TPRHOB(T, P, dv_lo, dvs, r.z, r.Dv, jerr, jmsg);
        if (jerr != 0) {
            P *= 1.001;
            continue;
        }
        TPRHOB(T, P, dls, dl_hi, r.z, r.Dl, jerr, jmsg);
        if (jerr != 0) {
            P *= 0.999;
            continue;
        }
        const double dp = (gibbs(T, r.Dl, r.z) - gibbs(T, r.Dv, r.z)) / (1.0 / r.Dl - 1.0 / r.Dv);
        double pn = P - dp;
        if (pn < 0.0) pn = 0.5 * P;
        if (100.0 * std::fabs(dp / pn) < 1e-6) {
            // Densities of the final pressure, so that the state is consistent.
            double d = 0;
            TPRHOB(T, pn, dv_lo, dvs, r.z, d, jerr, jmsg);
            if (jerr == 0) r.Dv = d;
            TPRHOB(T, pn, dls, dl_hi, r.z, d, jerr, jmsg);
            if (jerr == 0) r.Dl = d;
            r.P = pn;
            r.ierr = 0;
            r.herr.clear();
            return;
        }
        P = pn;
    }
    fail(124, no_convergence(T), r.ierr, r.herr);
    critical_state(r);
}

// A solid line that gives no pressure and no error of its own: the fluid has
// no such line, and there is no state to return.
void no_line(const char* kind, double T, int& ierr, std::string& herr) {
    fail(1, "SATT",
         std::string("no ") + kind + " line for this fluid; T =" + fmt_g(T, 12, 5) + " K", ierr,
         herr, 4);
}

// Sublimation state below the lower temperature limit, or on request.
void sublimation(double T, const double x[20], double& P, double& Dv, int& ierr,
                 std::string& herr) {
    SUBLT(T, x, P, ierr, herr);
    if (!(P > 0.0)) {
        if (ierr <= 0) no_line("sublimation", T, ierr, herr);
        return;
    }
    Dv = P / (GCNST.r * T);
    if (!std::isfinite(Dv)) {
        // A temperature so low that the vapour density is not a number.
        P = Dv = 0.0;
        fail(1, "SATT",
             "temperature below the range of the sublimation line; T =" + fmt_g(T, 12, 5) + " K",
             ierr, herr);
        return;
    }
    if (Dv < 1e10) sat::line_density(T, P, x, 2, Dv, ierr, herr);
}

// SATT's road for a mixture, whose answers (found or not) a flash keeps
// while it lives (satmemo.h): not those of a start given, nor those asked
// for inside another road (its guards may refuse them).
void remembered_mixture(double T, const double x[20], int kph, const MixtureSaturation& m,
                        double& P, double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                        std::string& herr) {
    const mix::SatQuestion question{mix::satt_kind(kph), T, x};
    mix::SatAnswer a;
    if (!m.guess && mix::recall(question, a)) {
        P = a.P;
        a.give(Dl, Dv, xl, xv, ierr, herr);
        return;
    }
    const bool outermost = mixture_roads_under_way() == 0;
    satt_mixture(T, x, kph, m, P, Dl, Dv, xl, xv, ierr, herr);
    // (A slower road's point next to the critical point is refined by
    // Newton's method: library/phase/satrefine.h.)
    if (ierr <= 0 && (kph == kBubblePoint || kph == kDewPoint)) {
        double t = T;
        const double p0 = P;
        if (mix::refine_saturation(kph == kBubblePoint ? kBubbleAtT : kDewAtT, x, t, P, Dl, Dv, xl,
                                   xv) &&
            P != p0) {
            ierr = 0;
            herr.clear();
        }
    }
    if (m.guess || !outermost) return;
    a.set(T, P, Dl, Dv, xl, xv);
    a.ierr = ierr;
    a.herr = herr;
    mix::keep(question, a);
}

}  // namespace

void SATT(double T, const double x[20], int kph, double& P, double& Dl, double& Dv, double xl[20],
          double xv[20], int& ierr, std::string& herr) {
    const int icomp = ISPURE(x);
    if (no_fluid_set_up("SATT", ierr, herr)) {
        P = Dl = Dv = 0.0;
        return;
    }
    if (!std::isfinite(T) || T == 0.0) {
        P = Dl = Dv = 0.0;
        flash::start_compositions(icomp, x, xl, xv);
        fail(1, "SATT",
             std::isfinite(T) ? "temperature input to saturation routine is zero"
                              : "temperature input to saturation routine is not a number",
             ierr, herr);
        return;
    }
    if (FSHSAV.tst == 1 && sat::cache_matches(TSTSAV, TSTSAV.t, T, x, kph, icomp)) {
        P = TSTSAV.p;
        sat::cache_load(TSTSAV, Dl, Dv, xl, xv);
        ierr = 0;
        herr.clear();
        // (A point kept from inside a flash or road is checked here.)
        if (icomp == 0 && (kph == kBubblePoint || kph == kDewPoint))
            refuse_frozen_point("SATT", T, P, x, {Dl, Dv, xl, xv}, ierr, herr);
        return;
    }
    ierr = 0;
    herr.clear();
    const bool guess = T < 0.0;
    T = std::fabs(T);
    if (!guess) {
        P = 0.0;
        Dl = 0.0;
        Dv = 0.0;
    }
    // A mixture's start compositions of the guess mode are kept.
    if (!guess || icomp > 0) flash::start_compositions(icomp, x, xl, xv);
    if (!std::isfinite(T) || !std::isfinite(P)) {
        fail(1, "SATT", "temperature input to saturation routine is not a number", ierr, herr);
        return;
    }
    RMIX(x);

    const auto finish = [&]() {
        if (ierr != 0) return;
        sat::cache_store(TSTSAV, T, P, Dl, Dv, x, xl, xv, kph, icomp);
        FSHSAV.tst = 1;
    };

    if (kph == kMeltingLine) {
        MELTT(T, x, P, ierr, herr);
        Dl = CCON.dtp[1];
        if (!(P > 1e-15) && ierr <= 0) {
            no_line("melting", T, ierr, herr);
            return;
        }
        if (P > 1e-15 && !sat::line_density(T, P, x, 1, Dl, ierr, herr)) return;
        return finish();
    }
    if (kph == kSublimationLine) {
        sublimation(T, x, P, Dv, ierr, herr);
        return finish();
    }

    // A pure fluid's saturation line from its expansions where they reach,
    // and above them from the road shared with SATP.
    if (icomp > 0 && (kph == kBubblePoint || kph == kDewPoint)) {
        if (satcheb::at_t(icomp, T, P, Dl, Dv)) return finish();
        const satcrit::Verdict v = satcrit::at_t(icomp, T, P, Dl, Dv);
        if (v == satcrit::Verdict::kSolved) return finish();
        if (v == satcrit::Verdict::kNoState) {
            // Between the equation's own critical temperature and the
            // stated one.
            P = CCON.pc[icomp];
            Dl = Dv = CCON.dc[icomp];
            fail(124, no_convergence(T), ierr, herr);
            return;
        }
    }

    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int lerr = 0;
    std::string lmsg;
    LIMITX("EOS", T, 0.0, 0.0, x, tmin, tmax, dmax, pmax, lerr, lmsg);
    if (lerr == 1 && T < tmin && icomp > 0) {
        sublimation(T, x, P, Dv, ierr, herr);
        // Without a sublimation line the temperature is simply out of range.
        if (!(P > 0.0) && ierr == 1) fail(1, "SATT", cut(lmsg, 238), ierr, herr, 4);
        return finish();
    }
    if (lerr > 0 || lerr == -16) {
        fail(std::abs(lerr), "SATT", cut(lmsg, 238), ierr, herr, 4);
        return;
    }

    Road r;
    r.T = T;
    int jerr = 0;
    std::string jmsg;
    CRITP(x, r.Tc, r.Pc, r.Dc, jerr, jmsg);
    if (jerr > 0) {
        P = Dl = Dv = 0.0;
        for (int i = 0; i < 20; ++i) xl[i] = xv[i] = x[i];
        fail(120, "SATT", cut(jmsg, 237), ierr, herr);
        return;
    }
    if (icomp > 0 && T > r.Tc - 1e-8) {
        P = r.Pc;
        Dl = Dv = r.Dc;
        for (int i = 0; i < 20; ++i) xl[i] = xv[i] = x[i];
        if (T <= r.Tc + 1e-8) return;
        fail(121, "SATT",
             "temperature input to saturation routine is greater than critical "
             "temperature; T =" +
                 fmt_g(T, 12, 5) + " K, Tcrit =" + fmt_g(r.Tc, 12, 5) + " K.",
             ierr, herr);
        return;
    }
    double omega = 0.0;
    if (icomp > 0) {
        omega = CCON.acf[icomp];
    } else {
        for (int i = 1; i <= NCOMP.nc; ++i) omega += x[i - 1] * CCON.acf[i];
    }
    r.P = guess ? P : r.Pc * std::pow(10.0, -2.333333 * (1.0 + omega) * (r.Tc / T - 1.0));
    const double y = (omega + 1.5) * std::cbrt(std::fabs(1.0 - T / r.Tc));
    r.dle = r.Dc * (1.0 + 1.113614 * y + 0.0804 * y * y);
    r.dve = r.Dc * (1.0 - 1.078683 * y + 0.05014057 * y * y);
    if (r.dve < 0.0) r.dve = 1e-6;
    if (icomp == 0 && (kph == kBubblePoint || kph == kDewPoint) &&
        mix::no_saturation_at_temperature(T, x)) {
        // Above the top of the mixture's traced boundary (its
        // cricondentherm): no bubble or dew point, which the roads would
        // spend up to half a second to find none of.
        P = r.Pc;
        Dl = Dv = r.Dc;
        flash::copy20(x, xl);
        flash::copy20(x, xv);
        fail(128, "SATT",
             "iteration for saturation state did not converge; T =" + fmt_g(T, 12, 5) + " K.", ierr,
             herr);
        return;
    }
    if (icomp == 0) {
        const MixtureSaturation m{r.Tc, r.Pc, r.Dc, dmax, guess};
        remembered_mixture(T, x, kph, m, P, Dl, Dv, xl, xv, ierr, herr);
        refuse_frozen_point("SATT", T, P, x, {Dl, Dv, xl, xv}, ierr, herr);
        return finish();
    }

    double z[20];
    flash::start_compositions(icomp, x, xl, xv);
    for (int i = 0; i < 20; ++i) z[i] = xl[i];
    r.z = z;
    const bool pseudo_pure = FLAGS2.pseudo_pure[static_cast<std::size_t>(icomp)] == 1;
    r.icomp = icomp;
    r.dmax = dmax;
    bool solved = false;
    bool from_equation = false;
    if (pseudo_pure) {
        // A blend handled as one component: the pressure of its ancillary
        // equations and the density of the phase asked for.
        const int flag = ancillary_start(r, kph);
        if (kph == kDewPoint) {
            TPRHO(T, r.P, r.z, kVapour, flag, r.Dv, r.ierr, r.herr);
            r.Dl = r.Dv;
        } else {
            TPRHO(T, r.P, r.z, kLiquid, flag, r.Dl, r.ierr, r.herr);
            r.Dv = r.Dl;
        }
        solved = true;
    } else if (T <= 0.99 * r.Tc) {
        int flag = ancillary_start(r, kph);
        // Ancillary equations far outside their range can miss the
        // saturation pressure by orders of magnitude, beyond the reach of the
        // pressure iteration: the equation of state gives the start instead.
        const bool plausible = plausible_pressure(r);
        if (flag == 1 && plausible && newton_road(r)) {
            solved = true;
        } else {
            if (!plausible && equation_start(r)) {
                flag = 1;
                from_equation = true;
            }
            solved = pressure_iteration(r, flag);
        }
    }
    if (!solved && r.dle > 0.0 && r.dve > 0.0) bracketed(r);
    if (r.ierr != 0 && !pseudo_pure && T <= 0.99 * r.Tc && !from_equation) {
        // Both roads failed from the ancillary start: once more from the
        // equation's own start, keeping the failure if that fails too.
        Road retry = r;
        retry.ierr = 0;
        retry.herr.clear();
        if (equation_start(retry) && pressure_iteration(retry, 1)) r = retry;
    }
    P = r.P;
    Dl = r.Dl;
    Dv = r.Dv;
    ierr = r.ierr;
    herr = r.herr;
    // At low pressure P is already the vapour's own pressure P(T, Dv), which
    // the ideal-gas value R Dv T would miss by the factor Z.
    finish();
}

}  // namespace lib
