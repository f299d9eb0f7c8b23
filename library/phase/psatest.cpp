#include "library/phase/psatest.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/setup/records.h"

namespace lib::mix {

double ln_vapour_pressure_estimate(int i, double T) {
    const double tc = CCON.tc[i + 1], pc = CCON.pc[i + 1], w = CCON.acf[i + 1];
    const double wilson = std::log(pc) + 5.373 * (1.0 + w) * (1.0 - tc / T);
    const double tr = T / tc;
    if (!(tr < 1.0)) return wilson;
    const double tr6 = std::pow(tr, 6);
    const double f0 = 5.92714 - 6.09648 / tr - 1.28862 * std::log(tr) + 0.169347 * tr6;
    const double f1 = 15.2518 - 15.6875 / tr - 13.4721 * std::log(tr) + 0.43577 * tr6;
    double estimate = std::min(wilson, std::log(pc) + f0 + w * f1);
    // The component's own vapour-pressure equation, where it has one and T
    // lies on its line.
    if (T >= CCON.ttp[i + 1]) {
        double p = 0.0;
        int ierr = 0;
        std::string herr;
        const flash::QuietMessages quiet;
        PSATK(i + 1, T, p, ierr, herr);
        if (ierr == 0 && p > 0.0 && std::isfinite(p)) estimate = std::min(estimate, std::log(p));
    }
    return estimate;
}

}  // namespace lib::mix
