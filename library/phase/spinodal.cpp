// Liquid and vapour spinodals: Newton iteration on dP/dD = 0 with a
// regula-falsi fallback on a bracket, and the tabulated splines that give the
// iteration its start value.
#include "library/phase/spinodal.h"

#include <cmath>
#include <vector>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/phase/records.h"
#include "library/phase/tprho.h"
#include "library/setup/records.h"

namespace lib {
namespace {

double slope(double T, double D, const double x[20]) {
    double d1 = 0;
    DPDD(T, D, x, d1);
    return d1;
}

// Start density from the spline of one side, when T lies inside it.
bool spline_start(bool liquid, double T, double& D) {
    const int n = liquid ? AUXFLGS.nliq : AUXFLGS.nvap;
    if (n < 3) return false;
    const auto& t = liquid ? CSPNDL.tl : CSPNDL.tv;
    const auto& d = liquid ? CSPNDL.dl : CSPNDL.dv;
    const auto& d2 = liquid ? CSPNDL.d2l : CSPNDL.d2v;
    if (!(T >= t[0] && T <= t[static_cast<std::size_t>(n - 1)])) return false;
    double val = 0;
    int jerr = 0;
    std::string jmsg;
    CSPLNVAL(n, t.data(), d.data(), d2.data(), T, val, jerr, jmsg);
    if (jerr != 0 || !(val > 0.0)) return false;
    D = val;
    return true;
}

// The spinodal on one side: true on success with D the spinodal density.
bool spinodal(bool liquid, double T, const double x[20], double Dc, double& D) {
    // The side of a density: beyond the critical density toward its phase.
    const auto outside = [&](double d) { return liquid ? d < Dc : (d > Dc || d <= 0.0); };
    double tol = 1e-8;
    double dold = D, fold = 0, dnew = D;
    bool newton_done = false;
    for (int step = 1; step <= 31; ++step) {
        if (step == 10 || step == 15) tol *= 100.0;
        double f = 0, fp = 0;
        DPDD(T, D, x, f);
        DPDD2(T, D, x, fp);
        if (!std::isfinite(f) || !std::isfinite(fp)) break;
        dold = D;
        fold = f;
        dnew = D;
        if (std::fabs(fp) > 1e-20) dnew = D - f / fp;
        if (step == 31 || outside(dnew) || !std::isfinite(dnew)) {
            newton_done = true;
            break;
        }
        if (std::fabs(f) <= tol) {
            D = dnew;
            return true;
        }
        D = dnew;
    }
    // Bracket: the last two Newton densities if they straddle the spinodal on
    // the right side, else a fresh one grown from the critical density.
    double da = dold, fa = fold, db = dnew, fb = 0;
    bool fresh =
        !newton_done || !std::isfinite(dnew) || outside(dnew) || (!liquid && outside(dold));
    if (!fresh) {
        fb = slope(T, db, x);
        fresh = !std::isfinite(fb) || fa * fb >= 0.0;
    }
    if (fresh) {
        da = Dc;
        db = Dc;
        fa = slope(T, da, x);
        fb = fa;
        bool found = false;
        for (int k = 0; k < 100; ++k) {
            if (liquid) {
                db *= 1.02;
                fb = slope(T, db, x);
            } else {
                da /= 1.02;
                fa = slope(T, da, x);
            }
            if (fa * fb <= 0.0) {
                found = true;
                break;
            }
        }
        if (!found) return false;
    }
    // Regula falsi.  An end kept twice in a row has its value halved, so that
    // a strongly curved slope cannot freeze one end and stall the search; a
    // bracket shrunk to rounding has found the sign change as well.
    int kept = 0;
    for (int n = 1; n <= 101; ++n) {
        double d = da;
        if (std::fabs(fb - fa) > 1e-20) d = da - (db - da) * fa / (fb - fa);
        const double f = slope(T, d, x);
        if (!std::isfinite(f)) return false;
        D = d;
        if (n == 101) break;
        if (std::fabs(f) <= 1e-8) return true;
        if (fa * f < 0.0) {
            db = d;
            fb = f;
            if (kept < 0) fa /= 2.0;
            kept = kept < 0 ? kept - 1 : -1;
        } else {
            da = d;
            fa = f;
            if (kept > 0) fb /= 2.0;
            kept = kept > 0 ? kept + 1 : 1;
        }
        if (std::fabs(db - da) <= 1e-13 * std::fabs(d)) return true;
    }
    return false;
}

void spinodal_routine(bool liquid, double T, const double x[20], double& D, int& ierr,
                      std::string& herr) {
    const char* name = liquid ? "LIQSPNDL" : "VAPSPNDL";
    ierr = 0;
    herr.clear();
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(x, Tc, Pc, Dc, jerr, jmsg);
    const int ic = ISPURE(x);
    if (ic > 0 && T > Tc + 1e-8) {
        fail(121, name,
             "temperature input to spinodal routine is greater than critical "
             "temperature; T =" +
                 fmt_g(T, 12, 5) + " K, Tcrit =" + fmt_g(Tc, 12, 5) + " K.",
             ierr, herr);
        return;
    }
    if (D <= 0.0 && !spline_start(liquid, T, D)) D = liquid ? CCON.dtp[ic > 0 ? ic : 1] : 0.1;
    if (spinodal(liquid, T, x, Dc, D)) return;
    fail(124, name, "iteration for spinodals did not converge; T =" + fmt_g(T, 12, 5) + " K.", ierr,
         herr);
    D = Dc;
}

// One spinodal over a list of temperatures, appending the converged points.
void sweep(bool liquid, const std::vector<double>& temps, const double z[20], double& D,
           std::vector<double>& t, std::vector<double>& d, int& ierr, std::string& herr) {
    for (double T : temps) {
        if (t.size() >= static_cast<std::size_t>(kSpinodalPoints)) return;
        spinodal_routine(liquid, T, z, D, ierr, herr);
        if (ierr == 0) {
            t.push_back(T);
            d.push_back(D);
        }
    }
}

// Fits the spline and stores it; the record changes only here, after success.
void store_spline(bool liquid, const std::vector<double>& t, const std::vector<double>& d) {
    const int n = static_cast<int>(t.size());
    std::vector<double> d2(t.size(), 0.0);
    CSPLINE(n - 1, t.data(), d.data(), d2.data());
    auto& tt = liquid ? CSPNDL.tl : CSPNDL.tv;
    auto& dd = liquid ? CSPNDL.dl : CSPNDL.dv;
    auto& dd2 = liquid ? CSPNDL.d2l : CSPNDL.d2v;
    for (std::size_t i = 0; i < t.size(); ++i) {
        tt[i] = t[i];
        dd[i] = d[i];
        dd2[i] = d2[i];
    }
    (liquid ? AUXFLGS.nliq : AUXFLGS.nvap) = n;
}

void set_spinodal(bool liquid, int icomp, int& ierr, std::string& herr) {
    const char* name = liquid ? "SETLSPNDL" : "SETVSPNDL";
    ierr = 0;
    herr.clear();
    if (icomp < 1 || icomp > NCOMP.nc) {
        fail(1, name, std::string(name) + " can handle pure fluids only", ierr, herr);
        return;
    }
    double z[20] = {};
    z[icomp - 1] = 1.0;
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    INFO(icomp, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    int jerr = 0;
    std::string jmsg;
    CRITP(z, tc, pc, dc, jerr, jmsg);

    std::vector<double> t, d;
    t.reserve(kSpinodalPoints);
    d.reserve(kSpinodalPoints);
    double D = 0.0;
    double T0 = ttp;
    if (liquid) {
        const double p0 = pc * std::pow(10.0, -2.333333 * (1.0 + acf) * (tc / ttp - 1.0));
        TPRHO(ttp, p0, z, kLiquid, kNoStartValue, D, jerr, jmsg);
    } else {
        RMIX(z);
        D = CCON.ptp[icomp] / (GCNST.r * ttp);
        if (D > 200.0) D = 1e-10;
        // Low sweep below the triple point, stored in increasing temperature.
        std::vector<double> temps;
        for (int k = 0; k < 10; ++k) temps.push_back(ttp + k * (0.75 * ttp - ttp) / 9.0);
        std::vector<double> lt, ld;
        sweep(false, temps, z, D, lt, ld, ierr, herr);
        t.assign(lt.rbegin(), lt.rend());
        d.assign(ld.rbegin(), ld.rend());
        T0 = (t.empty() ? ttp : t.back()) + ttp / 36.0;
    }
    const int nmain = liquid ? 990 : 980;
    const double dT = 0.85 * (tc - T0) / (nmain - 1);
    std::vector<double> temps;
    for (int k = 0; k < nmain; ++k) temps.push_back(T0 + k * dT);
    sweep(liquid, temps, z, D, t, d, ierr, herr);
    temps.clear();
    const double Tn = T0 + nmain * dT;
    for (int j = 0; j < 10; ++j) temps.push_back(Tn + j * (tc - Tn) / 9.0);
    sweep(liquid, temps, z, D, t, d, ierr, herr);

    if (t.size() < 5) {
        fail(2, name,
             std::string("Less then 5 points converged in ") + (liquid ? "LIQSPNDL" : "VAPSPNDL"),
             ierr, herr);
        return;
    }
    store_spline(liquid, t, d);
}

}  // namespace

void LIQSPNDL(double T, const double x[20], double& D, int& ierr, std::string& herr) {
    spinodal_routine(true, T, x, D, ierr, herr);
}

void VAPSPNDL(double T, const double x[20], double& D, int& ierr, std::string& herr) {
    spinodal_routine(false, T, x, D, ierr, herr);
}

void SETLSPNDL(int icomp, int& ierr, std::string& herr) { set_spinodal(true, icomp, ierr, herr); }

void SETVSPNDL(int icomp, int& ierr, std::string& herr) { set_spinodal(false, icomp, ierr, herr); }

}  // namespace lib
