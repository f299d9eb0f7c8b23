// The check values published with the correlations the texts take from the
// coefficient data and its supplement (extra/transport: the xylenes,
// cyclohexane, toluene, benzene, hexane, heptane, ethane, methane, helium,
// ethylene, R123): TRNPRP at each published state within half a unit of the
// last printed digit.  A few rows that no evaluation of the published form
// reproduces to its digits (listed in the supplement) are compared at the
// deviation found there.  States beyond the equation of state's range
// (ethylene at 680 K) are left out, and so are values without their
// critical term.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "tests/library/transport/transport_texts.h"

namespace {

struct Check {
    const char* fluid;
    double T, rho;
    bool molar;        // rho in mol/L, else kg/m3
    double value;      // uPa s or mW/(m K)
    double tolerance;  // absolute, in the same unit
    bool eta;
};

const Check kChecks[] = {
    {"mxylene", 300, 0, true, 6.637, 0.0005, true},
    {"mxylene", 300, 0.04, true, 6.564, 0.0005, true},
    {"mxylene", 300, 8.0849, true, 569.68, 0.005, true},
    {"mxylene", 300, 8.9421, true, 1898.841, 0.0005, true},
    {"mxylene", 400, 0, true, 8.616, 0.0005, true},
    {"mxylene", 400, 0.04, true, 8.585, 0.0005, true},
    {"mxylene", 400, 7.2282, true, 238.785, 0.0005, true},
    {"mxylene", 400, 8.4734, true, 718.95, 0.005, true},
    {"mxylene", 600, 0, true, 12.841, 0.0005, true},
    {"mxylene", 600, 0.04, true, 12.936, 0.0005, true},
    {"mxylene", 600, 7.6591, true, 299.164, 0.0005, true},
    {"oxylene", 300, 0, true, 6.67, 0.005, true},
    {"oxylene", 300, 0.04, true, 6.598, 0.0005, true},
    {"oxylene", 300, 8.2369, true, 738.286, 0.0005, true},
    {"oxylene", 300, 8.7845, true, 1645.436, 0.0005, true},
    {"oxylene", 400, 0, true, 8.658, 0.0005, true},
    {"oxylene", 400, 0.04, true, 8.634, 0.0005, true},
    {"oxylene", 400, 7.406, true, 279.954, 0.0005, true},
    {"oxylene", 400, 8.2291, true, 595.652, 0.0005, true},
    {"oxylene", 600, 0, true, 12.904, 0.0005, true},
    {"oxylene", 600, 0.04, true, 13.018, 0.0005, true},
    {"oxylene", 600, 7.2408, true, 253.53, 0.005, true},
    {"pxylene", 300, 0, true, 6.604, 0.0005, true},
    {"pxylene", 300, 0.049, true, 6.405, 0.0005, true},
    {"pxylene", 300, 8.0548, true, 593.272, 0.0005, true},
    {"pxylene", 300, 8.6309, true, 1266.337, 0.0005, true},
    {"pxylene", 400, 0, true, 8.573, 0.0005, true},
    {"pxylene", 400, 7.1995, true, 239.202, 0.0005, true},
    {"pxylene", 400, 8.0735, true, 484.512, 0.0005, true},
    {"pxylene", 600, 0, true, 12.777, 0.0005, true},
    {"pxylene", 600, 7.0985, true, 209.151, 0.0005, true},
    {"cyclohex", 300, 0, true, 7.058, 0.0005, true},
    {"cyclohex", 300, 0.043, true, 6.977, 0.0005, true},
    {"cyclohex", 300, 9.1756, true, 863.66, 0.005, true},
    {"cyclohex", 300, 9.9508, true, 2850.18, 0.005, true},
    {"cyclohex", 500, 0, true, 11.189, 0.0005, true},
    {"cyclohex", 500, 6.0213, true, 94.842, 0.0005, true},
    {"cyclohex", 500, 8.5915, true, 380.04, 0.005, true},
    {"cyclohex", 700, 0, true, 15.093, 0.0005, true},
    {"cyclohex", 700, 7.4765, true, 176.749, 0.0005, true},
    {"toluene", 300, 0, false, 7.023, 0.0005, true},
    {"toluene", 400, 0, false, 9.243, 0.0005, true},
    {"toluene", 550, 0, false, 12.607, 0.0005, true},
    {"toluene", 300, 865, false, 566.78, 0.005, true},
    {"toluene", 400, 770, false, 232.75, 0.005, true},
    {"toluene", 550, 550, false, 80.267, 0.0005, true},
    {"benzene", 300, 0, false, 7.625, 0.0005, true},
    {"benzene", 400, 0, false, 10.102, 0.0005, true},
    {"benzene", 550, 0, false, 13.79, 0.005, true},
    {"benzene", 400, 760, false, 211.74, 0.005, true},
    {"benzene", 550, 500, false, 60.511, 0.0005, true},
    {"hexane", 250, 0, false, 5.2584, 5e-05, true},
    {"hexane", 400, 0, false, 8.4149, 5e-05, true},
    {"hexane", 550, 0, false, 11.442, 0.0005, true},
    {"hexane", 250, 700, false, 528.2, 0.05, true},
    {"hexane", 400, 600, false, 177.62, 0.005, true},
    {"hexane", 550, 500, false, 95.002, 0.0005, true},
    {"heptane", 250, 0, false, 4.9717, 5e-05, true},
    {"heptane", 400, 0, false, 7.8361, 5e-05, true},
    {"heptane", 550, 0, false, 10.7394, 5e-05, true},
    {"heptane", 250, 720, false, 725.61, 0.005, true},
    {"heptane", 400, 600, false, 175.94, 0.005, true},
    {"heptane", 550, 500, false, 95.102, 0.0005, true},
    {"ethane", 100, 0, true, 3.32, 0.005, true},
    {"ethane", 200, 0, true, 6.35, 0.005, true},
    {"ethane", 300, 0, true, 9.39, 0.005, true},
    {"ethane", 400, 0, true, 12.19, 0.005, true},
    {"ethane", 500, 0, true, 14.76, 0.005, true},
    {"ethane", 100, 21.32609974007828, true, 878.69, 0.005, true},
    {"ethane", 170, 19.924439175363116, true, 301.71, 0.005, true},
    {"ethane", 260, 14.656494616518021, true, 74.61, 0.005, true},
    {"ethane", 330, 0.1874240503808935, true, 10.37, 0.005, true},
    {"ethane", 380, 0.32795987638981144, true, 11.88, 0.005, true},
    {"ethane", 420, 11.406004144809566, true, 46.86, 0.005, true},
    {"ethane", 480, 0.0250935371024785, true, 14.28, 0.005, true},
    {"ethane", 500, 11.211028498512224, true, 48.34, 0.005, true},
    {"methane", 100, 27.365521024156855, true, 199.8, 0.05, false},
    {"methane", 150, 22.862937898151856, true, 136.5, 0.05, false},
    {"methane", 200, 1.3967364029340366, true, 24.5, 0.05, false},
    {"methane", 250, 19.797993348938437, true, 114.8, 0.05, false},
    {"methane", 300, 0.0401588088681769, true, 34.4, 0.05, false},
    {"methane", 350, 0.3467630385480461, true, 42.3, 0.05, false},
    {"methane", 400, 12.68467580604053, true, 88.7, 0.05, false},
    {"methane", 120, 25.56, true, 172.2, 0.05, false},
    {"methane", 160, 20.96, true, 115.0, 0.05, false},
    {"helium", 3.6, 139.06674385795716, false, 3.745, 0.0005, true},
    {"helium", 50, 1.72545218567303, false, 6.376, 0.0005, true},
    {"helium", 400, 0.21650688425820663, false, 24.29, 0.005, true},
    {"helium", 800, 0.06016752953663248, false, 308.5, 0.05, false},
    {"helium", 300, 0.16039708233183617, false, 156.0, 0.5, false},
    {"helium", 20, 2.4081502117124747, false, 26.200000000000003, 0.05, false},
    {"helium", 8, 6.344275719443257, false, 14.5, 0.05, false},
    {"helium", 4, 164.94223459692898, false, 25.5, 0.05, false},
    {"helium", 8, 132.1205623303113, false, 30.700000000000003, 0.05, false},
    {"helium", 20, 47.03583115596294, false, 32.7, 0.05, false},
    {"helium", 4, 207.8741422674693, false, 38.4, 0.05, false},
    {"helium", 8, 196.31390508356057, false, 57.5, 0.05, false},
    {"helium", 20, 147.20880839843062, false, 58.7, 0.05, false},
    {"helium", 4, 129.85879174643946, false, 18.599999999999998, 0.05, false},
    {"helium", 4, 134.1181870283076, false, 19.3, 0.05, false},
    {"ethylene", 180, 0, false, 6.36, 0.005, true},
    {"ethylene", 250, 0, false, 8.66, 0.005, true},
    {"ethylene", 400, 0, false, 13.569999999999999, 0.005, true},
    {"ethylene", 500, 0, false, 16.48, 0.005, true},
    {"ethylene", 110, 646.7284424681857, false, 566.05, 0.005, true},
    {"ethylene", 140, 608.5612758360943, false, 276.98, 0.005, true},
    {"ethylene", 200, 528.2620632259261, false, 122.37, 0.005, true},
    {"ethylene", 300, 1.1308601696526395, false, 10.379999999999999, 0.005, true},
    {"ethylene", 130, 626.5787013150766, false, 327.85, 0.005, true},
    {"ethylene", 300, 471.79622862556124, false, 75.9, 0.005, true},
    {"ethylene", 500, 0.6753406331973579, false, 16.509999999999998, 0.005, true},
    {"ethylene", 500, 296.9612369279777, false, 39.410000000000004, 0.005, true},
    {"ethylene", 180, 0, false, 10.0, 0.05, false},
    {"ethylene", 250, 0, false, 14.9, 0.05, false},
    {"ethylene", 400, 0, false, 34.6, 0.05, false},
    {"ethylene", 500, 0, false, 49.9, 0.05, false},
    {"r123", 430, 996.35, false, 45.62, 0.005, false},
    {"r123", 430, 166.9, false, 21.03, 0.005, false},
    {"r123", 180, 1739.0, false, 110.9, 0.05, false},
    {"r123", 180, 0.002876, false, 2.471, 0.0005, false},
    {"r123", 200, 1694.4, false, 105.6, 0.05, false},
    {"r123", 200, 0.02296, false, 3.608, 0.0005, false},
    {"r123", 250, 1581.1, false, 90.83, 0.005, false},
    {"r123", 250, 0.7469, false, 6.435, 0.0005, false},
    {"r123", 300, 1459.1, false, 75.9, 0.05, false},
    {"r123", 300, 6.259, false, 9.291, 0.0005, false},
    {"r123", 350, 1320.8, false, 63.34, 0.005, false},
    {"r123", 400, 1146.8, false, 52.41, 0.005, false},
    // Not reproduced to the printed digits by the published form either
    // (the supplement's deviations, rounded up).
    {"benzene", 300, 875, false, 608.52, 608.52 * 2e-5, true},
    {"methane", 92, 28.04, true, 209.7, 209.7 * 2e-3, false},
    {"ethylene", 200, 521.10305, false, 120.49, 120.49 * 5e-4, true},
    // Dilute conductivities that take cp0 from the ideal-gas part of the
    // text's equation of state, not from the correlation's own equation
    // (ethane: Friend et al. 1991; methane: Friend et al. 1989).
    {"ethane", 100, 0, true, 3.46, 3.46 * 0.0015, false},
    {"ethane", 200, 0, true, 10.49, 10.49 * 0.0015, false},
    {"ethane", 300, 0, true, 21.13, 21.13 * 0.0015, false},
    {"ethane", 400, 0, true, 35.95, 35.95 * 0.0015, false},
    {"ethane", 500, 0, true, 53.78, 53.78 * 0.0015, false},
    {"methane", 100, 0.0, true, 9.83, 9.83 * 0.0015, false},
    {"methane", 400, 0.0, true, 49.96, 49.96 * 0.0015, false},
};

TEST(PublishedCheckValues, EveryRowWithinItsDigits) {
    std::string current;
    int compared = 0;
    for (const Check& c : kChecks) {
        if (c.fluid != current) {
            ASSERT_EQ(trtext::setup(c.fluid), 0) << c.fluid;
            current = c.fluid;
        }
        const double D = c.molar ? c.rho : c.rho / lib::CCON.wm[1];
        const trtext::Result r = trtext::trnprp(c.T, D);
        EXPECT_LE(r.ierr, 0) << c.fluid << " " << r.herr;
        const double got = c.eta ? r.eta : r.tcx * 1e3;
        EXPECT_NEAR(got, c.value, c.tolerance)
            << c.fluid << (c.eta ? " viscosity" : " conductivity") << " at " << c.T << " K, "
            << c.rho << (c.molar ? " mol/L" : " kg/m3");
        ++compared;
    }
    EXPECT_GT(compared, 100);
}

}  // namespace
