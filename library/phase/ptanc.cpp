// Two-phase temperature of a pseudo-pure fluid (a secant on the temperature
// at which the quality-weighted bubble and dew pressures equal the given
// pressure) and the critical-flow factor of a nozzle (a secant along the
// isentrope for the throat state whose flow speed equals the speed of sound).
#include "library/phase/ptanc.h"

#include <cmath>

#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/phase/flashutil.h"
#include "library/phase/satt.h"
#include "library/phase/tflsh.h"

namespace lib {

void PTANC(double& T, double P, double& q, double b, char code, double& Dl, double& Dv, int& ierr,
           std::string& herr) {
    ierr = 0;
    herr.clear();
    const double x[20] = {1.0};
    double tp = 1.001 * T, pp = 1.01 * P;
    double xl[20], xv[20];
    for (int count = 20; count > 0; --count) {
        double pbub = 0, pdew = 0, dscratch = 0;
        int jerr = 0;
        std::string jmsg;
        SATT(T, x, kBubblePoint, pbub, Dl, dscratch, xl, xv, jerr, jmsg);
        if (jerr > 0) {
            fail(223, "PTANC", flash::bubble_failed(jmsg), ierr, herr);
            return;
        }
        SATT(T, x, kDewPoint, pdew, dscratch, Dv, xl, xv, jerr, jmsg);
        if (jerr > 0) {
            fail(224, "PTANC", flash::dew_failed(jmsg), ierr, herr);
            return;
        }
        if (code == 'D') {
            if (std::fabs(1.0 / Dv - 1.0 / Dl) > 0.0 && b > 0.0)
                q = (1.0 / b - 1.0 / Dl) / (1.0 / Dv - 1.0 / Dl);
        } else if (code == 'H' || code == 'S' || code == 'E') {
            const double vl = flash::phase_props(T, Dl, x).of(code);
            const double vv = flash::phase_props(T, Dv, x).of(code);
            if (std::fabs(vv - vl) > 0.0) q = (b - vl) / (vv - vl);
        }
        const double pc = q * pdew + (1.0 - q) * pbub;
        const double d = std::fabs(pp - pc);
        double tnew = T;
        if (d > 1e-20) tnew = T + (P - pc) * (tp - T) / (pp - pc);
        if (d <= 1e-5) return;
        if (!std::isfinite(tnew) || tnew <= 0.0) break;
        tp = T;
        pp = pc;
        T = tnew;
    }
    fail(226, "PTANC",
         "2-phase temperature iteration did not converge; T =" + fmt_g(T, 12, 5) + " K.", ierr,
         herr);
}

void CSTAR(double T, double P, double v, const double x[20], double& Cs, double& Ts, double& Ds,
           double& Ps, double& ws, int& ierr, std::string& herr) {
    Cs = Ts = Ds = Ps = ws = 0.0;
    ierr = 0;
    herr.clear();
    if (flash::not_a_number("CSTAR", {T, P, v}, ierr, herr)) return;
    if (P <= 0.0) return;
    const double wm = WMOL(x);
    double Tc = 0, Pc = 0, Dc = 0;
    CRITP(x, Tc, Pc, Dc, ierr, herr);
    if (ierr > 0) return;

    double Dl, Dv, xl[20], xv[20], q, e, h0, s0, cv, cp;
    TPFLSH(T, P, x, Ds, Dl, Dv, xl, xv, q, e, h0, s0, cv, cp, ws, ierr, herr);
    if (ierr > 0) return;
    ierr = 0;
    herr.clear();
    // Residuals are scaled by the stagnation enthalpy, or by 1 J/mol where it
    // lies closer to zero.
    const double scale = std::fabs(h0) > 1.0 ? std::fabs(h0) : 1.0;

    double step = -1.0, tp = 0.0, fp = 0.0;
    Ts = T;
    for (int n = 1; n <= 20; ++n) {
        Ts += step;
        double lo = 0.0, hi = Dc;
        if (Ts > Tc) {
            hi = 4.0 * Dc;
        } else if (Ds < Dc) {
            if (Ts < 0.95 * Tc) hi = 0.5 * Dc;
        } else {
            lo = Ts < 0.95 * Tc ? 2.0 * Dc : Dc;
            hi = 4.0 * Dc;
        }
        double h = 0.0;
        q = kQualityVapour;
        TSFL1(Ts, s0, x, lo, hi, Ds, ierr, herr);
        if (ierr < 1) {
            double s = 0, hjt = 0;
            THERM(Ts, Ds, x, Ps, e, h, s, cv, cp, ws, hjt);
        } else {
            double Dl2, Dv2, x2[20], y2[20];
            TSFLSH(Ts, s0, x, kLowerRoot, Ps, Ds, Dl2, Dv2, x2, y2, q, e, h, cv, cp, ws, ierr,
                   herr);
            if (ierr > 0) return;
        }
        ierr = 0;
        herr.clear();
        if ((q > 0.0 && q < 1.0) || ws <= 0.0 || Ps <= 0.0) {
            fail(201, "CSTAR", "final state may be 2-phase", ierr, herr);
            return;
        }
        const double f = ((ws * ws - v * v) * 0.5 * wm / 1000.0 + h - h0) / scale;
        if (std::fabs(f) < 1e-8) {
            RMIX(x);
            Cs = ws * Ds * std::sqrt(T * GCNST.r * wm / 1000.0) / P;
            return;
        }
        if (n > 1) {
            const double df = fp - f;
            if (!(std::fabs(df) > 1e-300) || !std::isfinite(df)) break;
            step = -f * (tp - Ts) / df;
            if (!std::isfinite(step)) break;
        }
        tp = Ts;
        fp = f;
    }
    fail(200, "CSTAR", "iteration failed to converge", ierr, herr);
}

}  // namespace lib
