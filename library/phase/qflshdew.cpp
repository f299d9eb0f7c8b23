// Quality flashes of mixtures: a dew point at T that is the bubble point
// found again.
#include "library/phase/qflshdew.h"

#include <cmath>

#include "library/library.h"
#include "library/phase/flashutil.h"

namespace lib {

void refuse_dew_as_bubble(double T, const double z[20], double P, double Dl, double Dv, int& ierr,
                          std::string& herr) {
    constexpr int kNoDewPoint = 128;  // SATT's number of a saturation point not found
    if (ierr > 0 || Dl > Dv) return;
    double pbub = 0, dl = 0, dv = 0, xb[20], yb[20];
    int berr = 0;
    std::string bmsg;
    {
        flash::QuietMessages quiet;
        SATT(T, z, kBubblePoint, pbub, dl, dv, xb, yb, berr, bmsg);
    }
    if (berr > 0 || !(std::fabs(pbub - P) <= 1e-9 * P)) return;
    ierr = kNoDewPoint;
    herr = errtext("SATT", kNoDewPoint,
                   "the dew point iteration ended on the bubble point (its vapor is the denser "
                   "phase); T =" +
                       fmt_g(T, 12, 5) + " K.");
}

}  // namespace lib
