#include "library/transport/water.h"

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/transport/etak.h"
#include "library/transport/records.h"

namespace lib {

namespace {

constexpr double kMw = 18.015268;       // g/mol
constexpr double kRhoStar = 322.0;      // kg/m^3
constexpr double kTrefWater = 970.644;  // 1.5 T*, K
constexpr double kPi = 3.141592653589793;

// chi = (1/D) / (dP/dD / 1000) of slot icomp.
double chi(int icomp, double T, double D) {
    double dpdd = 0.0;
    DPDDK(icomp, T, D, dpdd);
    return dpdd > 0.0 ? (1.0 / D) / (dpdd / 1000.0) : 0.0;
}

double correlation_length(double T, double D, int icomp);

}  // namespace

double XI_FUN(double T, double D, int icomp) {
    if (!(D > 0.0)) return 0.0;
    TrnCallRecord& c = TRNCALL;
    if (c.active && c.xi_valid && c.xi_slot == icomp && c.xi_T == T && c.xi_D == D) return c.xi;
    const double xi = correlation_length(T, D, icomp);
    if (c.active) {
        c.xi_valid = true;
        c.xi_slot = icomp;
        c.xi_T = T;
        c.xi_D = D;
        c.xi = xi;
    }
    return xi;
}

namespace {

double correlation_length(double T, double D, int icomp) {
    const double tr = T > kTrefWater ? T : kTrefWater;
    const double rb = kMw * D / kRhoStar;
    const double delta = rb * rb * 22.064 * (chi(icomp, T, D) - chi(icomp, tr, D) * tr / T);
    if (!(delta > 0.0)) return 0.0;
    return 1.3e-10 * std::pow(delta / 0.06, 0.5084745762711864);
}

}  // namespace

double ETA_C2(double xi) {
    if (!(xi > 0.0)) return 1.0;
    const double qd = xi * 909090909.0909091, qc = xi * 526315789.4736842;
    double Y = 0.0;
    if (xi > 3.734351887e-10) {
        const double psi = std::acos(1.0 / std::sqrt(1.0 + qd * qd));
        const double w = std::sqrt(std::fabs((qc - 1.0) / (qc + 1.0))) * std::tan(psi / 2.0);
        const double L = qc > 1.0 ? std::log((1.0 + w) / (1.0 - w)) : 2.0 * std::atan(std::fabs(w));
        Y = std::sin(3.0 * psi) / 12.0 - std::sin(2.0 * psi) / (xi * 2105263157.8947368) +
            (1.0 / (qc * qc)) * (1.0 - 1.25 * qc * qc) * std::sin(psi) -
            (1.0 / (qc * qc * qc)) *
                ((1.0 - 1.5 * qc * qc) * psi - std::pow(std::fabs(qc * qc - 1.0), 1.5) * L);
    } else {
        Y = std::pow(qd, 5) * qc / 5.0 * (qc * qc + 1.0 - qc - qd * qd * 1.5178571428571428);
    }
    return std::exp(0.068 * Y);
}

double TCCR_2010(int icomp, double T, double D, double qD) {
    if (D < 1e-6) return 0.0;
    const double xi = XI_FUN(T, D, icomp);
    if (!(xi > 0.0)) return 0.0;
    double cv = 0.0, cp = 0.0;
    CVCPK(icomp, T, D, cv, cp);
    if (!(cp > 0.0) || !(cv > 0.0)) return 0.0;
    const double cpb = cp / kMw / 0.46151805;
    const double rb = kMw * D / kRhoStar;
    const double kappa = cp / cv;
    const double y = qD * xi;
    double Z = 0.0;
    if (xi > 1.5e-12) {
        Z = 2.0 / (kPi * y) *
            ((1.0 - 1.0 / kappa) * std::atan(y) + y / kappa -
             (1.0 - std::exp(-1.0 / (1.0 / y + y * y / (3.0 * rb * rb)))));
    } else {
        Z = 2.0 / kPi *
            (y / 2.0 + y * y * (1.0 / (3.0 * kappa) - 0.5) +
             y * y * y * (1.0 / (3.0 * rb * rb) + 1.0 / 24.0) -
             std::pow(y, 4) * (0.2 / kappa + 1.0 / (3.0 * rb * rb) - 0.025) +
             std::pow(y, 5) * (1.0 / (6.0 * rb * rb) + 1.0 / 270.0));
    }
    double eta = 0.0;
    int ierr = 0;
    std::string herr;
    ETAK(icomp, T, D, eta, ierr, herr);
    if (ierr > 0 || !(eta > 0.0)) return 0.0;
    return rb * cpb * 177.8514 * (T / 647.096) / eta * Z * 0.001;
}

}  // namespace lib
