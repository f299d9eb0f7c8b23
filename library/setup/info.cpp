#include "library/setup/info.h"

#include <cmath>

#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/setup/records.h"

namespace lib {

namespace {

bool in_range(int icomp) { return std::abs(icomp) <= NCOMP.nc && icomp >= kMinSlot; }

std::string cut(const std::string& s, std::size_t n) {
    return std::string(trim_right(std::string_view(s).substr(0, std::min(n, s.size()))));
}

}  // namespace

void INFO(int icomp, double& wmm, double& ttrp, double& tnbpt, double& tc, double& pc, double& dc,
          double& zc, double& acf, double& dip, double& rgas) {
    if (in_range(icomp)) {
        wmm = CCON.wm[icomp];
        ttrp = CCON.ttp[icomp];
        tnbpt = CCON.tnbp[icomp];
        tc = CCON.tc[icomp];
        pc = CCON.pc[icomp];
        dc = CCON.dc[icomp];
        zc = CCON.zc[icomp];
        acf = CCON.acf[icomp];
        dip = CCON.dip[icomp];
    } else {
        wmm = ttrp = tnbpt = tc = pc = dc = zc = acf = dip = 0.0;
    }
    rgas = GCNST.r;
}

void NAME(int icomp, std::string& hnam, std::string& hn80, std::string& hcas) {
    if (in_range(icomp)) {
        hnam = cut(CNAM[icomp], 12);
        hn80 = cut(CNAM80.full[icomp], 80);
        hcas = cut(CCAS[icomp], 12);
    } else {
        hnam = hn80 = hcas = "not defined";
    }
}

double WMOL(const double x[20]) {
    const int ic = ISPURE(x);
    if (ic != 0) return CCON.wm[ic];
    double w = 0.0;
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) w += x[i - 1] * CCON.wm[i];
    return w;
}

void XMASS(const double xmol[20], double xkg[20], double& wmix) {
    const int nc = std::min(NCOMP.nc, kMaxComp);
    const int ic = ISPURE(xmol);
    if (ic != 0) {
        wmix = CCON.wm[ic];
        for (int i = 1; i <= nc; ++i) xkg[i - 1] = i == ic ? 1.0 : 0.0;
        return;
    }
    wmix = 0.0;
    if (nc < 1) return;
    for (int i = 1; i <= nc; ++i) {
        xkg[i - 1] = xmol[i - 1] * CCON.wm[i];
        wmix += xkg[i - 1];
    }
    if (std::fabs(wmix) > 1e-10)
        for (int i = 0; i < nc; ++i) xkg[i] /= wmix;
}

void XMOLE(const double xkg[20], double xmol[20], double& wmix) {
    const int nc = std::min(NCOMP.nc, kMaxComp);
    const int ic = ISPURE(xkg);
    if (ic != 0) {
        wmix = CCON.wm[ic];
        for (int i = 1; i <= nc; ++i) xmol[i - 1] = i == ic ? 1.0 : 0.0;
        return;
    }
    wmix = 0.0;
    if (nc < 1) return;
    double s = 0.0;
    for (int i = 1; i <= nc; ++i) {
        xmol[i - 1] = CCON.wm[i] != 0.0 ? xkg[i - 1] / CCON.wm[i] : 0.0;
        s += xmol[i - 1];
    }
    if (std::fabs(s) > 1e-10)
        for (int i = 0; i < nc; ++i) xmol[i] /= s;
    for (int i = 1; i <= nc; ++i) wmix += xmol[i - 1] * CCON.wm[i];
}

void QMASS(double qmol, const double xl[20], const double xv[20], double& qkg, double xlkg[20],
           double xvkg[20], double& wliq, double& wvap, int& ierr, std::string& herr) {
    XMASS(xl, xlkg, wliq);
    XMASS(xv, xvkg, wvap);
    if (qmol >= -1e-8 && qmol <= 1.00000001) {
        ierr = 0;
        herr.clear();
        const double den = (1.0 - qmol) * wliq + qmol * wvap;
        qkg = den != 0.0 ? qmol * wvap / den : qmol;
        return;
    }
    fail(-19, "QMASS", "input quality out of range", ierr, herr, kNumberAbsolute);
    qkg = qmol;
}

void QMOLE(double qkg, const double xlkg[20], const double xvkg[20], double& qmol, double xl[20],
           double xv[20], double& wliq, double& wvap, int& ierr, std::string& herr) {
    XMOLE(xlkg, xl, wliq);
    XMOLE(xvkg, xv, wvap);
    if (qkg >= -1e-8 && qkg <= 1.00000001) {
        ierr = 0;
        herr.clear();
        if (wliq != 0.0 && wvap != 0.0) {
            const double den = (1.0 - qkg) / wliq + qkg / wvap;
            qmol = den != 0.0 ? (qkg / wvap) / den : qkg;
        } else {
            qmol = qkg;
        }
        return;
    }
    fail(-19, "QMOLE", "input quality out of range", ierr, herr, kNumberAbsolute);
    qmol = qkg;
}

}  // namespace lib
