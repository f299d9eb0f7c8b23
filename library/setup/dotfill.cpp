// DOTFILL: filling ratio of a container, the fluid's mass density over that
// of water at 65 C (999.10262 kg/m3), for fluids whose text permits it.
#include <algorithm>
#include <string>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/setup/records.h"

namespace lib {

void DOTFILL(const double x[20], double& ptest, double& fill, int& ierr, std::string& herr) {
    constexpr double kT65 = 338.15;         // 65 C, K
    constexpr double kWater65 = 999.10262;  // kg/m3
    ierr = 0;
    herr.clear();
    fill = 0.0;
    if (CONUN.permit[1] != 1) {
        ptest = 0.0;
        fail(1, "User defined calculations not permitted for this fluid", ierr, herr);
        return;
    }
    const int ic = ISPURE(x);
    double tc = 0.0, m = 0.0;
    if (ic != 0) {
        tc = CCON.tc[ic];
        m = CCON.wm[ic];
    } else {
        double pc = 0.0, dc = 0.0;
        int je = 0;
        std::string jm;
        CRITP(x, tc, pc, dc, je, jm);
        m = WMOL(x);
    }
    double xl[20], xv[20];
    double psat = 0.0, dl = 0.0, dv = 0.0;
    SATT(kT65, x, kBubblePoint, psat, dl, dv, xl, xv, ierr, herr);
    if (ierr > 0) return;  // no bubble point at 65 C: nothing to compare with
    if (tc > kT65) {
        double p = 0.0, dl50 = 0.0, dl60 = 0.0;
        SATT(323.15, x, kBubblePoint, p, dl50, dv, xl, xv, ierr, herr);
        if (ierr <= 0) SATT(333.15, x, kBubblePoint, p, dl60, dv, xl, xv, ierr, herr);
        if (ierr > 0) return;
        fill = std::min(0.95 * dl50, dl60) * m / kWater65;
        ptest = psat;
    } else {
        double d = 0.0, q, e, h, s, cv, cp, w;
        TPFLSH(kT65, ptest, x, d, dl, dv, xl, xv, q, e, h, s, cv, cp, w, ierr, herr);
        if (ierr > 0) return;
        fill = m * d / kWater65;
    }
    ierr = 0;
    herr.clear();
    if (CONUN.count[1] > 0 && ic != 0 && static_cast<int>(CONUN.values[ic].size()) >= ic)
        fill *= CONUN.values[ic][static_cast<std::size_t>(ic - 1)];
    if (ptest < psat) {
        ptest = psat;
        fill = -999.0;
        fail(-1, "Test pressure must exceed saturation pressure at 65 C", ierr, herr);
    }
}

}  // namespace lib
