#include "library/phase/psatest.h"

#include <algorithm>
#include <cmath>

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
    return std::min(wilson, std::log(pc) + f0 + w * f1);
}

}  // namespace lib::mix
