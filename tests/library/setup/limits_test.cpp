// Range checks on the built-in fluids: the limits of each kind, the flags
// and their signs, the message items, water below its triple point, the
// melting line, compositions and the ammonia-water freezing line.
#include "library/setup/limits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/transport/records.h"
#include "tests/support/fluid.h"

namespace {

const double kX[20] = {1.0};

class LimitsTest : public ::testing::Test {
protected:
    // LIMITX on the current fluid; keeps the limits and the message.
    int check(const std::string& kind, double T, double D, double P, const double* x = kX) {
        int ierr = 0;
        lib::LIMITX(kind, T, D, P, x, tmin, tmax, dmax, pmax, ierr, herr);
        return ierr;
    }
    bool says(const std::string& text) const { return herr.find(text) != std::string::npos; }
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    std::string herr;
};

TEST_F(LimitsTest, PureFluidTemperatureDensityAndPressure) {
    ASSERT_EQ(testsupport::set_up("nitrogen"), "");
    EXPECT_EQ(check("EOS", 300.0, 10.0, 2000.0), 0);
    EXPECT_TRUE(herr.empty());
    EXPECT_EQ(tmin, lib::EOSLIM.tmin[1]);
    EXPECT_EQ(tmax, lib::EOSLIM.tmax[1]);
    EXPECT_EQ(pmax, lib::EOSLIM.pmax[1]);
    EXPECT_EQ(dmax, lib::EOSLIM.dmax[1]);
    EXPECT_NEAR(tmin, 63.151, 1e-9);

    EXPECT_EQ(check("EOS", 1.2 * tmax, 1.0, 100.0), -1);
    EXPECT_TRUE(says("one or more inputs are out of range:  temperature above upper limit, T = "))
        << herr;
    EXPECT_EQ(check("EOS", 1.6 * tmax, 1.0, 100.0), 1);
    EXPECT_TRUE(says(" temperature > 1.5 x upper limit, T = ")) << herr;
    // The soft pressure flag is counted into the hard sum.
    EXPECT_EQ(check("eos", 1000.0, 1.1 * dmax, 1.5 * pmax), 6);
    EXPECT_TRUE(says(" density > upper limit, D =")) << herr;
    EXPECT_TRUE(says(" pressure above upper limit, P =")) << herr;
    EXPECT_EQ(check("EOS", 1000.0, 1.0, 2.5 * pmax), 4);
    EXPECT_TRUE(says(" pressure > 2 x upper limit, P =")) << herr;
    EXPECT_EQ(check("EOS", 300.0, -1.0, 100.0), 2);
    EXPECT_EQ(herr, "one or more inputs are out of range:   density < 0, D = -1.0000 mol/L");
    EXPECT_EQ(check("EOS", 300.0, 1.0, -1.0), 4);
    EXPECT_TRUE(says(" pressure < 0, P =")) << herr;

    // Only the limits: no temperature test.
    EXPECT_EQ(check("EOS", -1.0, 0.0, 0.0), 0);
    EXPECT_EQ(tmax, lib::EOSLIM.tmax[1]);
    double a, b, c, d;
    lib::LIMITS("EOS", kX, a, b, c, d);
    EXPECT_EQ(a, tmin);
    lib::LIMITS("TRP", kX, a, b, c, d);
    EXPECT_EQ(c, lib::CCON.dtp[1]);  // the triple-point liquid density bounds the density
}

TEST_F(LimitsTest, BelowTheLowerLimitAndOtherKinds) {
    ASSERT_EQ(testsupport::set_up("nitrogen"), "");
    // No sublimation line: below Tmin only a vanishing pressure is accepted.
    EXPECT_EQ(check("EOS", 50.0, 1.0, 100.0), 1);
    EXPECT_TRUE(says(" temperature below lower limit, T =")) << herr;
    EXPECT_EQ(check("EOS", 50.0, 1.0e-12, 1.0e-11), -16);  // accepted, but below the triple point
    EXPECT_TRUE(says(" temperature less than triple point, T=")) << herr;
    // Surface tension only warns below its lower limit and has no density
    // or pressure limit.
    lib::WLMSTN.tmin[1] = 70.0;
    lib::WLMSTN.tmax[1] = 120.0;
    EXPECT_EQ(check("STN", 65.0, 1.0e5, 100.0), -1);
    EXPECT_EQ(dmax, 9.99e99);
    EXPECT_EQ(pmax, 9.99e99);
    lib::WLMETA.tmin[1] = 100.0;
    lib::WLMETA.tmax[1] = 1000.0;
    lib::WLMETA.pmax[1] = 5.0e5;
    lib::WLMETA.dmax[1] = 30.0;
    lib::WLMTRN.tmin[1] = 150.0;
    check("ETA", 300.0, 1.0, 100.0);
    EXPECT_EQ(tmin, 100.0);
    lib::TRNMOD.eta[1] = lib::Code("ECS");  // the transport model's own limits
    check("ETA", 300.0, 1.0, 100.0);
    EXPECT_EQ(tmin, 150.0);
    lib::TRNMOD.eta[1] = lib::Code("QVB");
}

TEST_F(LimitsTest, MeltingLine) {
    ASSERT_EQ(testsupport::set_up("nitrogen"), "");
    double pm = 0;
    int ierr = 0;
    std::string m;
    lib::MELTT(100.0, kX, pm, ierr, m);
    ASSERT_GT(pm, 0.0);
    EXPECT_EQ(check("EOS", 100.0, 30.0, 0.999 * pm), 0);
    EXPECT_EQ(check("EOS", 100.0, 30.0, 1.01 * pm), 16);
    EXPECT_TRUE(says(" pressure > melting pressure, P =")) << herr;
    // One component: the melting line only above the triple-point density.
    ASSERT_LT(lib::CCON.dtp[1], 32.0);
    lib::LIMITK("EOS", 1, 100.0, 32.0, 1.01 * pm, tmin, tmax, dmax, pmax, ierr, herr);
    EXPECT_EQ(ierr, 16);
    lib::LIMITK("EOS", 1, 100.0, 5.0, 1.01 * pm, tmin, tmax, dmax, pmax, ierr, herr);
    EXPECT_EQ(ierr, 0);
}

TEST_F(LimitsTest, WaterBelowItsTriplePoint) {
    ASSERT_EQ(testsupport::set_up("water"), "");
    double a, b, c, d;
    lib::LIMITS("EOS", kX, a, b, c, d);
    EXPECT_EQ(a, 251.165);
    double phigh = 0, pih = 0;
    lib::MLTH2O(260.0, phigh, pih);
    // Between the ice Ih and the ice V melting pressures the liquid is
    // possible: only the soft triple-point flag.
    EXPECT_EQ(check("EOS", 260.0, 55.0, 0.5 * (pih + phigh)), -16);
    EXPECT_TRUE(says(" temperature less than triple point, T=")) << herr;
    EXPECT_EQ(check("EOS", 260.0, 55.0, 101.325), 16);
    EXPECT_EQ(herr, "one or more inputs are out of range:  inputs are within the solid phase");
    EXPECT_EQ(check("EOS", 250.0, 55.0, 101.325), 1);
    // One component: the band without the 0.9999 allowance, and no lowered Tmin.
    int ierr = 0;
    lib::LIMITK("EOS", 1, 274.0, 55.0, 101.325, tmin, tmax, dmax, pmax, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(tmin, 273.16);
    lib::LIMITK("EOS", 1, 0.0, 55.0, 101.325, tmin, tmax, dmax, pmax, ierr, herr);
    EXPECT_EQ(ierr, 0);  // T = 0: not tested
}

TEST_F(LimitsTest, PressureAboveTheLimitIsHardForParahydrogenOnly) {
    ASSERT_EQ(testsupport::set_up("parahyd"), "");
    int ierr = 0;
    lib::LIMITK("EOS", 1, 300.0, 1.0, 1.5 * lib::EOSLIM.pmax[1], tmin, tmax, dmax, pmax, ierr,
                herr);
    EXPECT_EQ(ierr, 4);
    EXPECT_EQ(check("EOS", 300.0, 1.0, 1.5 * lib::EOSLIM.pmax[1]), -4);
    ASSERT_EQ(testsupport::set_up("nitrogen"), "");
    lib::LIMITK("EOS", 1, 300.0, 1.0, 1.5 * lib::EOSLIM.pmax[1], tmin, tmax, dmax, pmax, ierr,
                herr);
    EXPECT_EQ(ierr, -4);
    EXPECT_TRUE(says(" pressure above upper limit, P =")) << herr;
}

TEST_F(LimitsTest, Compositions) {
    ASSERT_EQ(testsupport::set_up("nitrogen|oxygen"), "");
    const double x[20] = {0.5, 0.4999};
    EXPECT_EQ(check("EOS", -1.0, 0.0, 0.0, x), 8);
    EXPECT_TRUE(
        says(" composition(s) out of range, Xsum = 0.9999000000 mol frac, X(i) = 0.5000000000 "
             "0.4999000000"))
        << herr;
    const double neg[20] = {1.2, -0.2};
    EXPECT_EQ(check("EOS", -1.0, 0.0, 0.0, neg), 8);
    const double ok[20] = {0.79, 0.21};
    EXPECT_EQ(check("EOS", -1.0, 0.0, 0.0, ok), 0);
}

// Components without temperature limits of their own: a mixture of them gets
// 100 K and 300 K, and ordinary states pass.
TEST_F(LimitsTest, MixtureOfComponentsWithoutTemperatureLimits) {
    ASSERT_EQ(testsupport::set_up("nitrogen|oxygen"), "");
    struct Restore {
        double lo1 = lib::EOSLIM.tmin[1], hi1 = lib::EOSLIM.tmax[1];
        double lo2 = lib::EOSLIM.tmin[2], hi2 = lib::EOSLIM.tmax[2];
        ~Restore() {
            lib::EOSLIM.tmin[1] = lo1;
            lib::EOSLIM.tmax[1] = hi1;
            lib::EOSLIM.tmin[2] = lo2;
            lib::EOSLIM.tmax[2] = hi2;
            lib::RESETM.no_cache = 1;  // records changed behind the set-up
        }
    } restore;
    const double x[20] = {0.79, 0.21};
    lib::EOSLIM.tmin[1] = lib::EOSLIM.tmax[1] = 0.0;
    lib::EOSLIM.tmin[2] = lib::EOSLIM.tmax[2] = -1.0;
    double a, b, c, d;
    lib::LIMITS("EOS", x, a, b, c, d);
    EXPECT_EQ(a, 100.0);
    EXPECT_EQ(b, 300.0);
    EXPECT_EQ(check("EOS", 250.0, 0.0, 500.0, x), 0) << herr;
    EXPECT_EQ(check("EOS", 400.0, 0.0, 500.0, x), -1) << herr;
    EXPECT_TRUE(says(" temperature above upper limit, T =")) << herr;
    EXPECT_EQ(check("EOS", 90.0, 0.0, 500.0, x), 1) << herr;
    EXPECT_TRUE(says(" temperature below lower limit, T =")) << herr;
}

TEST_F(LimitsTest, AmmoniaWaterFreezingLine) {
    ASSERT_EQ(testsupport::set_up("ammonia|water"), "");
    ASSERT_EQ(lib::FLAGS2.ammonia_water, 1);
    const double x[20] = {0.5, 0.5};
    double a, b, c, d;
    lib::LIMITS("EOS", x, a, b, c, d);
    EXPECT_NEAR(a, 193.549, 1e-12);
    const double y[20] = {0.1, 0.9};
    lib::LIMITS("EOS", y, a, b, c, d);
    EXPECT_NEAR(a, 273.16 * (1 - 0.03439823 - 0.013274271 - 274.973e-7), 1e-9);
}

}  // namespace
