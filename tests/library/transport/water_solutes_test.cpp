// Water with trace solutes that the pair parameters do not cover (the
// condensate of humid air or flue gas): water's own viscosity and
// conductivity, reached as the solutes vanish; with more solutes than a
// trace, and more than 5 % of water, the mixture stays refused.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "library/library.h"
#include "tests/support/fluid.h"

namespace {

constexpr const char* kWetAir = "nitrogen|oxygen|argon|water";

struct Values {
    double eta = 0, tcx = 0;
    int ierr = 0;
    std::string herr;
};

Values trnprp(double T, double D, const double x[20]) {
    Values v;
    lib::TRNPRP(T, D, x, v.eta, v.tcx, v.ierr, v.herr);
    return v;
}

// Water's reference values (uPa s, mW/(m K)) at (T, D) of liquid and gas.
struct WaterRow {
    double T, D, eta, tcx;
};

void PrintTo(const WaterRow& r, std::ostream* os) { *os << r.T << " K, " << r.D << " mol/L"; }

class DiluteLimit : public ::testing::TestWithParam<WaterRow> {};

// 1e-4 of dissolved nitrogen, oxygen and argon: water's values.
TEST_P(DiluteLimit, WaterWithTraceSolutesHasWatersValues) {
    const WaterRow r = GetParam();
    ASSERT_EQ(testsupport::set_up(kWetAir), "");
    const double x[20] = {7e-5, 2.5e-5, 5e-6, 1.0 - 1e-4};
    const Values v = trnprp(r.T, r.D, x);
    ASSERT_EQ(v.ierr, 0) << v.herr;
    EXPECT_NEAR(v.eta / r.eta, 1.0, 1e-9);
    EXPECT_NEAR(v.tcx * 1e3 / r.tcx, 1.0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    ReferenceRows, DiluteLimit,
    ::testing::Values(WaterRow{284.378, 55.5986, 1257.62106177316, 584.076094121538},
                      WaterRow{385.341, 52.86969, 251.087620430108, 684.761298556805},
                      WaterRow{460.128, 50.97744, 159.536753801861, 714.924928935442},
                      WaterRow{497.522, 46.43741, 119.855335476969, 643.672575103915},
                      WaterRow{582.386, 39.83613, 86.8739837157839, 557.597574178659},
                      WaterRow{460.128, 0.1592033, 15.4740111887071, 33.8111461638449},
                      WaterRow{679.451, 21.67904, 47.723268898022, 342.618884399584},
                      WaterRow{970.644, 0.2751776, 36.5649765316965, 93.4762253820806}));

// The liquid of humid air split at 300 K and 600 kPa (3 % water): nearly
// pure water, with water's values at its temperature and density.
TEST(WaterSolutes, CondensateOfHumidAirHasValues) {
    ASSERT_EQ(testsupport::set_up(kWetAir), "");
    const double z[20] = {0.7578, 0.2033, 0.0089, 0.03};
    const double T = 300.0;
    double D, Dl, Dv, xl[20], xv[20], q, u, h, s, cv, cp, c;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(T, 600.0, z, D, Dl, Dv, xl, xv, q, u, h, s, cv, cp, c, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    ASSERT_GT(q, 0.0);
    ASSERT_LT(q, 1.0);
    ASSERT_GT(xl[3], 0.9999);
    const Values liquid = trnprp(T, Dl, xl);
    ASSERT_EQ(liquid.ierr, 0) << liquid.herr;
    const Values vapour = trnprp(T, Dv, xv);
    EXPECT_EQ(vapour.ierr, 0) << vapour.herr;
    EXPECT_GT(vapour.eta, 0.0);
    const double water[20] = {0.0, 0.0, 0.0, 1.0};
    const Values pure = trnprp(T, Dl, water);
    ASSERT_EQ(pure.ierr, 0) << pure.herr;
    EXPECT_EQ(liquid.eta, pure.eta);
    EXPECT_EQ(liquid.tcx, pure.tcx);
    EXPECT_NEAR(liquid.eta, 853.7, 0.1);  // uPa s
    EXPECT_NEAR(liquid.tcx, 0.6097, 1e-4);
}

// Below water's triple point (ice, and beyond the range of water's
// viscosity) water with trace solutes stays refused.
TEST(WaterSolutes, BelowWatersTriplePointRefused) {
    ASSERT_EQ(testsupport::set_up(kWetAir), "");
    const double x[20] = {7e-5, 2.5e-5, 5e-6, 1.0 - 1e-4};
    for (const double T : {273.0, 260.0, 250.0}) {
        const Values v = trnprp(T, 55.3, x);
        EXPECT_EQ(v.ierr, 50) << T;
    }
    EXPECT_EQ(trnprp(273.16, 55.5, x).ierr, 0);
}

// Water's share against the outcome: its own values up to 1 % of solutes,
// refused beyond them (without pair parameters).
struct Share {
    double water;
    bool computed;
};

void PrintTo(const Share& s, std::ostream* os) { *os << "water " << s.water; }

class SoluteShare : public ::testing::TestWithParam<Share> {};

TEST_P(SoluteShare, WatersValuesOrRefusal) {
    const Share sh = GetParam();
    ASSERT_EQ(testsupport::set_up(kWetAir), "");
    const double rest = 1.0 - sh.water;
    const double x[20] = {0.78 * rest, 0.21 * rest, 0.01 * rest, sh.water};
    const double T = 320.0, D = 55.0;
    const Values v = trnprp(T, D, x);
    if (!sh.computed) {
        EXPECT_EQ(v.ierr, 50);
        EXPECT_EQ(v.herr,
                  "[TRNPRP error 50] transport equations are not available for mixtures with "
                  "water at molar concentrations greater than 5%");
        return;
    }
    ASSERT_EQ(v.ierr, 0) << v.herr;
    const double water[20] = {0.0, 0.0, 0.0, 1.0};
    const Values pure = trnprp(T, D, water);
    EXPECT_EQ(v.eta, pure.eta);
    EXPECT_EQ(v.tcx, pure.tcx);
}

INSTANTIATE_TEST_SUITE_P(Shares, SoluteShare,
                         ::testing::Values(Share{1.0 - 1e-8, true}, Share{0.999, true},
                                           Share{0.99, true}, Share{0.985, false},
                                           Share{0.5, false}, Share{0.06, false}));

}  // namespace
