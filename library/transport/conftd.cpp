// CONFTD: the conformal state of a slot's equation of state by a
// two-dimensional Newton iteration on tau and delta.
#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/transport/ecsmap.h"
#include "library/transport/records.h"
#include "library/transport/trnecs.h"

namespace lib {

namespace {

constexpr int kPasses = 201;
// A conformal temperature beyond this multiple of the reference's limits is
// no state of its models.
constexpr double kConformalTemperatureFactor = 2.2;

void not_converged(int icomp, int& ierr, std::string& herr) {
    fail(-58, "TRNECS",
         "2-D Newton-Raphson method for conformal temperature and density did not converge "
         "for component" +
             fmt_int(icomp, 3),
         ierr, herr, kNumberAbsolute);
}

double limited(double step, double value) {
    const double cap = 0.2 * std::fabs(value);
    return std::fabs(step) > cap ? std::copysign(cap, step) : step;
}

// Upper temperature of the slot's transport models, for the check of the
// result: its corresponding-states block's, or its equation's when that is
// larger (a reference fluid need not carry a block of its own).
double upper_temperature(int icomp) {
    double t = ecs_block_loaded(icomp) ? WLMTRN.tmax[icomp] : 0.0;
    return std::max(t, EOSLIM.tmax[icomp]);
}

}  // namespace

double conformal_temperature_share(int icomp, double T0) {
    return T0 / (kConformalTemperatureFactor * upper_temperature(icomp));
}

bool conformal_temperature_ok(int icomp, double T0) {
    return conformal_temperature_share(icomp, T0) <= 1.0;
}

void CONFTD(int icomp, double alphar, double Z, double& T0, double& D0, int& ierr,
            std::string& herr) {
    ierr = 0;
    herr.clear();
    double tred = 0.0, dred = 0.0;
    REDK(icomp, tred, dred);
    if (!(tred > 0.0 && dred > 0.0 && T0 > 0.0 && D0 > 0.0) || !std::isfinite(alphar) ||
        !std::isfinite(Z))
        return not_converged(icomp, ierr, herr);
    double tau = tred / T0, del = D0 / dred;
    const double dc_ref = CCON.dc[icomp];
    bool converged = false;
    for (int pass = 0; pass < kPasses && !converged; ++pass) {
        const double p00 = PHIK(icomp, 0, 0, tau, del);
        const double p01 = PHIK(icomp, 0, 1, tau, del);
        const double p02 = PHIK(icomp, 0, 2, tau, del);
        if (1.0 + 2.0 * p01 + p02 < 0.0) {
            if (del * dred > dc_ref)
                del *= 1.04;
            else
                tau *= 0.96;
            continue;
        }
        const double f1 = alphar - p00, f2 = (Z - 1.0) - p01;
        if (std::fabs(f1) + std::fabs(f2) < 1e-7) {
            converged = true;
            break;
        }
        const double p10 = PHIK(icomp, 1, 0, tau, del);
        const double p11 = PHIK(icomp, 1, 1, tau, del);
        const double j11 = p10 / tau, j12 = p01 / del, j21 = p11 / tau, j22 = (p02 + p01) / del;
        const double det = j11 * j22 - j12 * j21;
        double dtau = 0.05 * tau, ddel = -0.05 * del;
        if (std::fabs(det) >= 1e-16) {
            dtau = (j22 * f1 - j12 * f2) / det;
            ddel = (j11 * f2 - j21 * f1) / det;
        }
        dtau = limited(dtau, tau);
        ddel = limited(ddel, del);
        tau += dtau;
        del += ddel;
        if (!std::isfinite(tau) || !std::isfinite(del)) break;
        if (std::fabs(dtau) + std::fabs(ddel) < 1e-12) converged = true;
    }
    // The last iterate is returned even without convergence: the caller
    // judges how far it moved from the start.
    if (!(tau > 0.0 && del > 0.0 && std::isfinite(tau) && std::isfinite(del)))
        return not_converged(icomp, ierr, herr);
    T0 = tred / tau;
    D0 = del * dred;
    if (!converged || !conformal_temperature_ok(icomp, T0)) not_converged(icomp, ierr, herr);
}

}  // namespace lib
