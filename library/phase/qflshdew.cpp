// Quality flashes of mixtures: a saturation point at T that is the other
// one found again.
#include "library/phase/qflshdew.h"

#include <cmath>

#include "library/library.h"
#include "library/phase/flashutil.h"

namespace lib {

void refuse_other_saturation(bool bubble, double T, const double z[20], double P, double Dl,
                             double Dv, int& ierr, std::string& herr) {
    constexpr int kNotFound = 128;  // SATT's number of a saturation point not found
    if (ierr > 0 || Dl > Dv) return;
    double p = 0, dl = 0, dv = 0, xo[20], yo[20];
    int oerr = 0;
    std::string omsg;
    {
        flash::QuietMessages quiet;
        SATT(T, z, bubble ? kDewPoint : kBubblePoint, p, dl, dv, xo, yo, oerr, omsg);
    }
    if (oerr > 0 || !(std::fabs(p - P) <= 1e-9 * P)) return;
    ierr = kNotFound;
    herr = errtext("SATT", kNotFound,
                   std::string(bubble ? "the bubble point iteration ended on the dew point (its "
                                        "liquid is the lighter phase); T ="
                                      : "the dew point iteration ended on the bubble point (its "
                                        "vapor is the denser phase); T =") +
                       fmt_g(T, 12, 5) + " K.");
}

}  // namespace lib
