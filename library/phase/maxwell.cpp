// Equal-area (common tangent) construction on the Helmholtz energy over molar
// volume: Psat = (a_l - a_v)/(v_v - v_l), with both volumes iterated until the
// pressures of the two phases meet it.
#include "library/phase/maxwell.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/phase/spinodal.h"
#include "library/setup/records.h"

namespace lib {
namespace {

// Pressure, Helmholtz energy and dP/dv at one molar volume.
struct Point {
    double p = 0, a = 0, s = 0;
    bool finite() const { return std::isfinite(p) && std::isfinite(a) && std::isfinite(s); }
};

Point at_volume(double T, double v, const double z[20]) {
    Point pt;
    const double D = 1.0 / v;
    double g = 0, d1 = 0;
    PRESS(T, D, z, pt.p);
    DPDD(T, D, z, d1);
    AG(T, D, z, pt.a, g);
    pt.s = -d1 * D * D;
    return pt;
}

}  // namespace

void MAXWELL(int icomp, double T, double& P, double& Dl, double& Dv, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const auto fail = [&]() {
        P = Dl = Dv = -1.0;
        ierr = 1;
        herr = errtext("MAXWELL", "error", "", "no convergence");
    };
    if (icomp < 1 || icomp > NCOMP.nc || !(Dl > 0.0) || !(Dv > 0.0) || !(T > 0.0)) return fail();
    // No two phases coexist at or above the critical temperature, where the
    // volume limits at the critical volume would otherwise let two nearly
    // equal densities pass the pressure test.
    if (!(T < CCON.tc[icomp])) return fail();
    double z[20] = {};
    z[icomp - 1] = 1.0;
    RMIX(z);
    const double R = GCNST.r;
    const double tlow = std::max(EOSLIM.tmin[icomp], CCON.ttp[icomp]);
    const double theta = (T - tlow) / (ZRED.tred[icomp] - tlow);
    const double vc = 1.0 / ZRED.dred[icomp];
    double vlmin = 0.95 / CCON.dtp[icomp];
    double vvmax = 1.2 * R * CCON.ttp[icomp] / CCON.ptp[icomp];
    const double vl0 = 1.0 / Dl;
    const double vv0 = 1.0 / Dv;
    if (vl0 < vlmin) vlmin = 0.95 * vl0;
    if (vv0 > vvmax) vvmax = 1.05 * vv0;

    double vl = vl0, vv = vv0;
    double dspl = -1.0, dspv = -1.0;
    bool asked_liquid = false, asked_vapour = false;
    int vapour_tries = 0;
    int jerr = 0;
    std::string jmsg;
    for (int pass = 1; pass <= 51; ++pass) {
        Point l = at_volume(T, vl, z);
        Point v = at_volume(T, vv, z);
        for (int k = 0; l.s > 0.0; ++k) {
            if (k == 10) return fail();
            if (!asked_liquid) {
                asked_liquid = true;
                double d = -1.0;
                LIQSPNDL(T, z, d, jerr, jmsg);
                if (jerr == 0) dspl = d;
            }
            vl = dspl > 0.0 ? 0.995 / dspl : 0.5 * (vl + vlmin);
            l = at_volume(T, vl, z);
        }
        if (v.s > 0.0 && !asked_vapour) {
            asked_vapour = true;
            double d = -1.0;
            VAPSPNDL(T, z, d, jerr, jmsg);
            if (jerr == 0) dspv = d;
        }
        while (v.s > 0.0) {
            if (++vapour_tries > 20) return fail();
            if (dspv > 0.0) {
                vv = 1.005 / dspv;
            } else if (vapour_tries > 10) {
                vv = vv0;
            } else {
                vv = theta <= 0.9 ? 1.2 * vv : std::min(1.005 * vv, vv0);
            }
            v = at_volume(T, vv, z);
        }
        if (!l.finite() || !v.finite()) return fail();
        if (std::fabs(vv - vl) < 1e-12 || pass == 51) return fail();
        const double psat = (l.a - v.a) / (vv - vl);
        const double dp = l.p - v.p;
        if (std::fabs(dp) / std::fabs(v.p) < 1e-4) {
            P = psat;
            Dl = 1.0 / vl;
            Dv = 1.0 / vv;
            return;
        }
        const double A = 0.5 * l.s * (l.s - v.s);
        const double B = (vl - vv) * v.s;
        const double C = (dp - B) * l.s;
        const double d = 0.25 * C * C / (A * A) - (0.5 * dp * dp + (psat - l.p) * B) / A;
        double r = std::sqrt(std::fabs(d));
        if ((l.s - v.s) / v.s < 0.0) r = -r;
        const double dvl = r - 0.5 * C / A;
        if (!std::isfinite(dvl)) return fail();
        vl += dvl;
        vv += (dvl * l.s + dp) / v.s;
        if (!std::isfinite(vv)) return fail();
        if (vl > vc) vl = 0.9999 * vc;
        if (vl < vlmin) vl = vlmin;
        if (vv < vc) vv = 1.0001 * vc;
        if (vv >= vvmax) vv = vvmax;
        if (theta < 0.9 && vl > 1.2 * vl0) vl = 0.5 * (vlmin + vl0);
    }
    fail();
}

}  // namespace lib
