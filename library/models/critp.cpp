#include "library/models/critp.h"

#include <cmath>

#include "library/models/eos_table.h"
#include "library/models/records.h"
#include "library/models/therm.h"
#include "library/phase/records.h"
#include "library/setup/records.h"
#include "library/setup/setup.h"

namespace lib {

int ISPURE(const double x[20]) {
    const int nc = NCOMP.nc;
    if (nc == 1) return 1;
    if (NCOMP.ic >= 1) return NCOMP.ic;
    for (int i = 1; i <= nc && i <= kMaxComp; ++i)
        if (std::fabs(x[i - 1] - 1.0) < 1e-12) return i;
    return 0;
}

void RMIX(const double x[20]) {
    const int ic = ISPURE(x);
    double r = 0.0;
    if (ic != 0) {
        r = CCON.rgas[ic];
    } else if (NCOMP.nc < 1) {
        r = 8.314472;
    } else if (FLAGS2.gerg04 == 1 || EOSMOD.mix.is("AGA")) {
        // GERG-2008 and AGA8 are defined with one gas constant shared by
        // their components (8.314472 and 8.31451 J/(mol K)).
        for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) r += x[i - 1] * CCON.rgas[i];
    } else {
        r = kRmixture;
    }
    if (r < 1e-10) r = 8.314472;
    GCNST.r = r;
}

void RMIX2(const double x[20], double& rgas) {
    RMIX(x);
    rgas = GCNST.r;
}

void CRITP(const double x[20], double& tc, double& pc, double& dc, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    if (no_fluid_set_up("CRITP", ierr, herr)) {
        tc = pc = dc = 0.0;
        return;
    }
    const int ic = ISPURE(x);
    if (ic != 0) {
        tc = CCON.tc[ic];
        pc = CCON.pc[ic];
        dc = CCON.dc[ic];
    } else if (const MixtureEos* mix = mixture_eos(); mix != nullptr && mix->crit != nullptr) {
        mix->crit(x, tc, pc, dc, ierr, herr);
    } else {
        // Without a mixture model a mixture has no critical point.
        tc = pc = dc = 0.0;
        ierr = 1;
        herr = errtext("CRITP", 1, "critical point of a mixture not available: no mixture model");
    }
    if (!(tc > 0.0)) tc = 100.0;
    if (!(pc >= 0.0)) pc = 0.0;
    if (!(dc >= 0.0)) dc = 0.0;
}

namespace {

void extreme_point(const char* routine, const char* what, bool tmax, const double x[20], double& t,
                   double& p, double& d, int& ierr, std::string& herr) {
    t = 300.0;
    p = 0.0;
    d = 0.0;
    ierr = 1;
    herr = errtext(routine, "error", "", what);
    const int ic = ISPURE(x);
    if (ic != 0) {
        CRITP(x, t, p, d, ierr, herr);
        return;
    }
    const int flag = tmax ? MAXTP.tmax_flag : MAXTP.pmax_flag;
    bool same = SATSPL.built != 0 && flag == 0;
    for (int i = 0; same && i < NCOMP.nc && i < kMaxComp; ++i)
        same = std::fabs(x[i] - SATSPL.z[static_cast<std::size_t>(i)]) <= 1e-6;
    if (same) {
        t = tmax ? MAXTP.tmax_t : MAXTP.pmax_t;
        p = tmax ? MAXTP.tmax_p : MAXTP.pmax_p;
        d = tmax ? MAXTP.tmax_d : MAXTP.pmax_d;
    }
    if (d > static_cast<double>(0.01f)) {
        ierr = 0;
        herr.clear();
    }
}

}  // namespace

void MAXT(const double x[20], double& t, double& p, double& d, int& ierr, std::string& herr) {
    extreme_point("MAXT", "Maximum temperature not known", true, x, t, p, d, ierr, herr);
}

void MAXP(const double x[20], double& t, double& p, double& d, int& ierr, std::string& herr) {
    extreme_point("MAXP", "Maximum pressure not known", false, x, t, p, d, ierr, herr);
}

void THERM3(double T, double D, const double x[20], double& xkappa, double& beta, double& xisenk,
            double& xkt, double& betas, double& bs, double& xkkt, double& thrott, double& pint,
            double& spht) {
    // (THERM2's values without the second derivatives of P, which are not used here.)
    double P, e, h, s, cv, cp, w, Z, hjt, A, G, dPdD, dPdT, dDdT, dDdP;
    therm2_first_order(T, D, x, P, e, h, s, cv, cp, w, Z, hjt, A, G, xkappa, beta, dPdD, dPdT, dDdT,
                       dDdP);
    const double wm = WMOL(x);
    const double R = GCNST.r;
    if (P > 0.0)
        xisenk = w * w * D * wm / (1000.0 * P);
    else if (T > 0.0)
        xisenk = w * w * wm / (1000.0 * R * T);
    else
        xisenk = 0.0;
    xkt = P > 0.0 ? D / P * dPdD : 1.0;
    betas = (D > 0.0 && w > 0.0 && wm > 0.0) ? 1000.0 / (D * w * w * wm) : kMarker9;
    bs = xisenk * P;
    xkkt = xkt * P;
    thrott = -hjt * cp;
    pint = T * dPdT - P;
    spht = std::fabs(dPdT) > 1e-20 ? cp * D * dPdD / dPdT : cp * T;
    for (double* v : {&xisenk, &xkt, &betas, &bs, &xkkt, &thrott, &pint, &spht})
        if (!std::isfinite(*v)) *v = 0.0;
}

}  // namespace lib
