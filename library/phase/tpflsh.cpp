// Flash at given temperature and pressure: the region is chosen from cheap
// pressure estimates first, then from the dew and bubble points; every
// density comes from the density solver.
#include "library/phase/tpflsh.h"

#include <algorithm>
#include <cmath>

#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/phase/envelope.h"
#include "library/phase/flashutil.h"
#include "library/phase/satcheb.h"
#include "library/phase/satmix.h"
#include "library/phase/satt.h"
#include "library/phase/tpmix.h"
#include "library/phase/tprho.h"
#include "library/setup/records.h"

namespace lib {
namespace {

using flash::cut;
using flash::err;

// The largest factor by which the vapour-pressure equation of a pure fluid
// overestimates the saturation pressure of its equation of state between the
// triple and the critical point (1 when it never does), with a margin for
// the temperatures between the samples.  Where the vapour-pressure equation
// runs high, a window drawn from it alone would take subcooled liquid for
// vapour.  Found once for each fluid and kept while the fluid's critical
// point and its vapour-pressure equation stay the same.
struct ExcessCache {
    int icomp = -1;
    double tc = 0, pc = 0, tag = 0, factor = 1.0;
};
ExcessCache excess_cache;

double ancillary_excess(int icomp, const double z[20], double Tc) {
    double tag = 0.0;
    int jerr = 0;
    std::string jmsg;
    PSATT(0.8 * Tc, z, tag, jerr, jmsg);
    ExcessCache& c = excess_cache;
    if (c.icomp == icomp && c.tc == Tc && c.pc == CCON.pc[icomp] && c.tag == tag) return c.factor;
    c = ExcessCache{icomp, Tc, CCON.pc[icomp], tag, 1.0};
    const double ttp = CCON.ttp[icomp];
    constexpr int kSamples = 24;
    double worst = 1.0;
    for (int i = 0; i <= kSamples; ++i) {
        const double u = static_cast<double>(i) / kSamples;
        const double T = ttp + (0.98 * Tc - ttp) * u * u;
        double ps = 0, pe = 0, dl = 0, dv = 0, xl[20], xv[20];
        PSATT(T, z, ps, jerr, jmsg);
        if (jerr != 0 || !(ps > 0.0)) continue;
        {
            flash::QuietMessages quiet;
            SATT(T, z, kDewPoint, pe, dl, dv, xl, xv, jerr, jmsg);
        }
        if (jerr != 0 || !(pe > 0.0)) continue;
        worst = std::max(worst, ps / pe);
    }
    // Between the samples the ratio may run a little higher.
    if (worst > 1.0) c.factor = worst * 1.1;
    return c.factor;
}

// Lower pressure bound of the two-phase region, estimated from the reduced
// temperature (and the vapour-pressure ancillary of a pure fluid).
double lower_pressure(double T, double Tc, double Pc, int icomp, const double z[20]) {
    double plow = 0.0;
    if (T <= Tc) plow = Pc * std::exp(13.85 * T / Tc - 14.073);
    if (T <= 0.7 * Tc) plow /= 10.0;
    if (T <= 0.6 * Tc) plow /= 100.0;
    if (T <= 0.5 * Tc) plow /= 100.0;
    if (T <= 0.4 * Tc) plow /= 100.0;
    if (icomp == 0 || T > Tc) {
        plow /= 10.0;
        if (NCOMP.nc > 1) plow /= 100.0;
    }
    if (icomp > 0 && T <= Tc && flash::has_equation(PSMOD, icomp)) {
        double ps = 0.0;
        int jerr = 0;
        std::string jmsg;
        PSATT(T, z, ps, jerr, jmsg);
        if (jerr == 0 && ps > 0.0) plow = 0.95 * ps / ancillary_excess(icomp, z, Tc);
    }
    return plow;
}

// One call of TPFLSH: its inputs, its results bound to the caller's
// arguments, and what the steps find on the way.
class TpFlash {
public:
    TpFlash(double T, double P, const double z[20], double& D, double& Dl, double& Dv, double x[20],
            double y[20], double& q, double& e, double& h, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr)
        : T(T),
          P(P),
          z(z),
          D(D),
          Dl(Dl),
          Dv(Dv),
          x(x),
          y(y),
          q(q),
          e(e),
          h(h),
          s(s),
          cv(cv),
          cp(cp),
          w(w),
          ierr(ierr),
          herr(herr) {}

    // The region is placed from cheap estimates first, then from the dew
    // and bubble points.
    void run() {
        if (!start() || !in_range() || !critical_point()) return;
        const bool outside_two_phase = outside_window();
        if (icomp > 0 && T < CCON.ttp[icomp]) return below_triple_point();
        if (outside_two_phase) return outside();
        if (icomp == 0 && mix::in_light_gas_band(T, P, z, Tc)) return light_gas_band();
        if (icomp == 0) return mixture();
        if (!dew_point()) return;
        if (P < pdew) return vapour();
        // Liquid of a pure fluid: the saturated liquid is the dew point's.
        if (icomp > 0 && !ppf) return liquid(dldew, false);
        if (!bubble_point()) return;
        if (P >= pbub) return liquid(dlbub, true);  // compressed liquid
        two_phase();
    }

private:
    const double T, P;
    const double* z;
    double& D;
    double& Dl;
    double& Dv;
    double* x;
    double* y;
    double& q;
    double& e;
    double& h;
    double& s;
    double& cv;
    double& cp;
    double& w;
    int& ierr;
    std::string& herr;

    int icomp = 0;
    bool ppf = false;
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int lerr = 0;
    std::string lmsg;
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    double pdew = 0, dldew = 0, dvdew = 0, xdew[20] = {}, zdew[20] = {};
    bool dew_ok = true;
    bool dew_standin = false;  // no dew point found close to Tc: the critical point stands in
    std::string dew_msg;
    double pbub = 0, dlbub = 0, dvbub = 0, zbub[20] = {}, ybub[20] = {};

    // The failure state: the marker 999 in q and error n of TPFLSH.
    void give_up(int n, std::string_view text, int number = kNumberAsGiven) {
        q = kQualityFailed;
        fail(n, "TPFLSH", text, ierr, herr, number);
    }
    // Single-phase properties at (T, D) of the overall composition.
    void single() {
        double p = 0.0, hjt = 0.0;
        Dl = D;
        Dv = D;
        THERM(T, D, z, p, e, h, s, cv, cp, w, hjt);
    }

    // Outputs cleared, phase compositions started, inputs tested.
    bool start() {
        ierr = 0;
        herr.clear();
        q = kQualityFailed;
        D = Dl = Dv = e = h = s = cv = cp = w = 0.0;
        icomp = ISPURE(z);
        flash::start_compositions(icomp, z, x, y);
        ppf = flash::pseudo_pure(icomp);
        if (flash::not_a_number("TPFLSH", {T, P}, ierr, herr)) return false;
        if (flash::not_positive("TPFLSH", {{'T', T}, {'P', P}}, ierr, herr)) return false;
        RMIX(z);
        if (P < 1e-14 && T > 0.0) {
            D = P / (GCNST.r * T);
            single();
        }
        return true;
    }

    // The range check of the inputs; a soft violation is reported by finish.
    bool in_range() {
        LIMITX("EOS", T, 0.0, P, z, tmin, tmax, dmax, pmax, lerr, lmsg);
        if (lerr <= 0) return true;
        D = Dl = Dv = 0.0;
        if (T > 0.0) single();
        give_up(lerr, flash::range_cut(lerr, lmsg, 3), 3);
        return false;
    }

    bool critical_point() {
        if (flash::critical_point(z, Tc, Pc, Dc, "TPFLSH", 210, 235, ierr, herr)) return true;
        q = kQualityFailed;
        return false;
    }

    // The end of every successful road: the soft limit found at entry and the
    // density limit of the equation.
    void finish() {
        // A single-phase root that is not stable is no state (its dP/dD > 0
        // is the density solver's test; cv comes from the properties).
        if (!(q >= 0.0 && q <= 1.0) && !(cv > 0.0)) {
            const double Dbad = D;
            D = Dl = Dv = e = h = s = cv = cp = w = 0.0;
            return give_up(215, flash::unstable_root(T, Dbad));
        }
        if (lerr < 0) flash::range_error("TPFLSH", lerr, lmsg, 3, ierr, herr);
        if (D > dmax) above_density_limit();
    }

    void above_density_limit() {
        q = kQualityFailed;
        // The bracket is followed directly by the semicolon.
        std::string m = err("TPFLSH", 2, 3,
                            "; input T,p correspond to a density above the limit of the EOS; T =" +
                                fmt_g(T, 12, 5) + " K, p =" + fmt_g(P / 1000.0, 12, 5) + " MPa.");
        const std::size_t k = m.find("] ;");
        if (k != std::string::npos) m.erase(k + 1, 1);
        fail(2, std::move(m), ierr, herr);
    }

    // Whether a pure fluid's isotherm stays below P up to the density limit
    // and rises there: its root lies beyond the limit (nitrogen trifluoride
    // at 66.36 K reaches 7.9 MPa at 26.4 mol/L; from 34 MPa on the density
    // solver found no root and the failure was 215, "did not converge").
    bool root_beyond_density_limit() const {
        if (icomp <= 0 || !(dmax > 0.0)) return false;
        double plim = 0.0, dpdd = 0.0;
        PRESS(T, dmax, z, plim);
        DPDD(T, dmax, z, dpdd);
        return plim < P && dpdd > 0.0;
    }

    // Below the triple point a pure fluid is vapour up to its triple-point
    // pressure (the sublimation pressure lies lower still).  Above it the
    // equation can only describe the liquid that the range check let through
    // (water under pressure, between its ice Ih and high-pressure ice
    // melting lines).
    void below_triple_point() {
        const bool dense = P > CCON.ptp[icomp] && CCON.ptp[icomp] > 0.0;
        if (dense) {
            D = CCON.dtp[icomp];
            TPRHO(T, P, z, kLiquid, D > 0.0 ? kStartValue : kNoStartValue, D, jerr, jmsg);
            if (jerr > 0) TPRHO(T, P, z, kLiquid, kNoStartValue, D, jerr, jmsg);
            if (jerr > 0) return give_up(213, flash::liquid_failed(jmsg));
        } else {
            D = P / (GCNST.r * T);
            TPRHO(T, P, z, kVapour, kStartValue, D, jerr, jmsg);
            if (jerr > 0) return give_up(214, flash::vapour_failed(jmsg));
        }
        single();
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
        finish();
    }

    // Whether (T, P) lies outside the window where two phases can exist,
    // drawn from the reduced temperature and the vapour-pressure equation.
    bool outside_window() const {
        const double f = icomp == 0 ? 1.5 : 1.0;
        // A pure fluid's saturation pressure comes from its expansions as
        // cheaply as from the vapour-pressure equation, and exactly: far
        // below the range the equation was fitted in, that one can run high
        // or low by any factor (methyl linolenate at 230 to 260 K and 1e-9
        // kPa: a liquid taken for vapour).  Where the expansions do not
        // reach, the saturation state is solved (close to the critical
        // point, and where a vapour too thin for the equation's terms ends
        // them).
        if (icomp > 0 && !ppf && satcheb::enabled()) return !(T < Tc && P <= Pc);
        const double plow = lower_pressure(T, Tc, Pc, icomp, z);
        // A mixture's phase boundary reaches far beyond its estimated
        // critical point: up to its most volatile component's critical
        // temperature (the dew point of a little water in air), and to
        // pressures many times the critical one (carbon dioxide with
        // nitrogen).  Below its lowest pressure: a tenth of the dew pressure
        // of the ideal solution (the estimate from the critical point alone
        // misses the dew points of trace heavy components: hexane in a
        // natural gas at 190 K, 0.79 kPa).
        if (icomp == 0) return mix::outside_two_phase_window(T, P, z, Tc);
        return !(T < f * Tc && plow <= P && P <= f * Pc);
    }

    void outside() {
        const int kph = (T < Tc && P > Pc) ? kLiquid : kVapour;
        stable_density(T, P, z, kph, kNoStartValue, D, jerr, jmsg);
        if (jerr > 0) {
            // A mixture is not retried at another temperature: the state asked
            // for is the one that failed.
            D = Dl = Dv = 0.0;
            if (root_beyond_density_limit()) return above_density_limit();
            give_up(215, "supercritical or vapor density iteration did not converge:  " +
                             cut(jmsg, 175));
            return;
        }
        single();
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
        finish();
    }

    // The root of one side by the density solver's own start, kept when it
    // is found (the error of the first try stays otherwise).
    void forced(int kph) {
        double d = 0.0;
        int ferr = 0;
        std::string fmsg;
        TPRHO(T, P, z, kph, kNoStartValue, d, ferr, fmsg);
        if (ferr > 0) return;
        D = d;
        jerr = 0;
        jmsg.clear();
    }

    // The dew point, quietly; near the critical point the critical point
    // stands in for it, and a mixture goes on without one.
    bool dew_point() {
        {
            flash::QuietMessages quiet;
            SATT(T, z, kDewPoint, pdew, dldew, dvdew, xdew, zdew, jerr, jmsg);
        }
        if (jerr > 0) {
            if (Tc - T >= 5.0) {
                if (icomp > 0) {
                    D = Dl = Dv = 0.0;
                    give_up(212, flash::dew_failed(jmsg));
                    return false;
                }
                dew_ok = false;
                pdew = 0.0;
            } else {
                pdew = Pc;
                dldew = dvdew = Dc;
                dew_standin = true;
            }
        }
        dew_msg = jmsg;
        return true;
    }

    void vapour() {
        D = P * dvdew / pdew;
        TPRHO(T, P, z, kVapour, kStartValue, D, jerr, jmsg);
        // (Above the stated critical pressure the density solver looks for
        // the dense root, and the equation's own may lie higher: a root
        // denser than the saturated vapour is not the vapour's.)
        if (jerr > 0 || D > dvdew * (1.0 + 1e-6)) forced(-kVapour);
        if (jerr > 0 && dew_standin) forced(-kLiquid);  // (the only root)
        if (jerr > 0) return give_up(214, flash::vapour_failed(jmsg));
        single();
        q = ppf || dew_standin ? flash::single_phase_quality(T, P, D, Tc, Pc, Dc)
                               : flash::side_quality(false, T, P, D, Tc, Pc, Dc);
        finish();
    }

    // Liquid from the saturated liquid density dsat; with a bubble point
    // apart from the dew point, a density between the two is no liquid.
    void liquid(double dsat, bool apart) {
        D = dsat;
        TPRHO(T, P, z, kLiquid, kStartValue, D, jerr, jmsg);
        if (jerr > 0 || D < dsat * (1.0 - 1e-6)) forced(-kLiquid);
        if (jerr > 0 && dew_standin) forced(-kVapour);  // (the only root)
        if (jerr > 0 || (apart && dvdew < D && D < dsat)) {
            if (jerr <= 0) jmsg.clear();
            return give_up(213, flash::liquid_failed(jmsg));
        }
        single();
        q = ppf || dew_standin ? flash::single_phase_quality(T, P, D, Tc, Pc, Dc)
                               : flash::side_quality(true, T, P, D, Tc, Pc, Dc);
        finish();
    }

    // The bubble point of a mixture or a pseudo-pure fluid.
    bool bubble_point() {
        SATT(T, z, kBubblePoint, pbub, dlbub, dvbub, zbub, ybub, jerr, jmsg);
        if (jerr > 0) {
            if (Tc - T >= 5.0) {
                D = Dl = Dv = 0.0;
                give_up(211, flash::bubble_failed(jmsg));
                return false;
            }
            pbub = Pc;
            dlbub = Dc;
        }
        return true;
    }

    void two_phase() {
        if (!dew_ok) {
            D = Dl = Dv = 0.0;
            return give_up(212, flash::dew_failed(dew_msg));
        }
        double q0 = 1.0 - (P - pdew) / (pbub - pdew);
        if (std::fabs(1.0 - pbub / pdew) < 1e-6 && !ppf) q0 = 0.5;
        Dl = dlbub;
        Dv = dvdew;
        q = q0;
        if (icomp == 0 && !split_mixture(q0)) return;
        flash::mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w);
        D = flash::mixed_density(q, Dl, Dv);
        finish();
    }

    // A mixture: the tangent-plane test places the state, and an unstable
    // feed is split starting from the trial phase found.
    void mixture() {
        TpResult r;
        tp_mixture(T, P, z, Tc, Pc, Dc, r, ierr, herr);
        D = r.D;
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
        if (ierr > 0) {
            q = kQualityFailed;
            return;
        }
        finish();
    }

    // Beyond 1.5 times the heaviest component's critical temperature, a light
    // gas's mixture: its split where the tangent-plane test finds one (the
    // gas and dense water of hydrogen + water 1:1 at 1 GPa up to 1030 K),
    // else the single phase as outside the window, with the compositions
    // of the start.
    void light_gas_band() {
        double x0[20], y0[20];
        flash::copy20(x, x0);
        flash::copy20(y, y0);
        mixture();
        if (ierr <= 0 && q > 0.0 && q < 1.0) return;
        ierr = 0;
        herr.clear();
        flash::copy20(x0, x);
        flash::copy20(y0, y);
        q = kQualityFailed;
        outside();
    }

    // The phases of a mixture from the two-phase solver, started between the
    // feed and the incipient phases.
    bool split_mixture(double q0) {
        double sx = 0.0, sy = 0.0;
        for (int i = 0; i < 20; ++i) {
            x[i] = z[i] * (1.0 - q0) + xdew[i] * q0;
            y[i] = z[i] * q0 + ybub[i] * (1.0 - q0);
            sx += x[i];
            sy += y[i];
        }
        for (int i = 0; i < 20; ++i) {
            if (sx > 0.0) x[i] /= sx;
            if (sy > 0.0) y[i] /= sy;
        }
        TPFL2(T, P, z, Dl, Dv, x, y, q, jerr, jmsg);
        if (jerr > 0) {
            D = Dc;
            q = kQualityFailed;
            fail(jerr, jmsg, ierr, herr);
            return false;
        }
        int kerr = 0;
        std::string kmsg;
        TPRHO(T, P, x, kLiquid, kStartValue, Dl, kerr, kmsg);
        if (kerr <= 0) TPRHO(T, P, y, kVapour, kStartValue, Dv, kerr, kmsg);
        if (kerr > 0) {
            D = Dc;
            give_up(kerr, "(mix, 2-phase):  " + cut(kmsg, 200), kNoNumber);
            return false;
        }
        return true;
    }
};

}  // namespace

void TPFLSH(double T, double P, const double z[20], double& D, double& Dl, double& Dv, double x[20],
            double y[20], double& q, double& e, double& h, double& s, double& cv, double& cp,
            double& w, int& ierr, std::string& herr) {
    // (The saturation points the flash asks for are its own starts and
    // bounds: it decides on a frozen state itself.)
    const FrozenPointsKept own_points;
    TpFlash(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr).run();
}

}  // namespace lib
