// Two-phase temperature of a pseudo-pure blend and the critical-flow factor.
#include <gtest/gtest.h>

#include <cmath>

#include "library/phase/ptanc.h"
#include "tests/library/phase/flash_support.h"
#include "tests/support/properties.h"

namespace {

using namespace flashtest;

TEST(PseudoPureTemperature, QualityWeightedPressureMeetsTheGivenOne) {
    PseudoPure blend("r404a");
    ASSERT_TRUE(blend.ok());
    Pure c;
    for (double q : {0.0, 0.4, 1.0}) {
        double T = 250.0, qq = q, Dl = 0, Dv = 0;
        int ierr = 0;
        std::string herr;
        lib::PTANC(T, 300.0, qq, 0.0, 'Q', Dl, Dv, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        double pb = 0, pd = 0, dl = 0, dv = 0, xl[20], xv[20];
        lib::SATT(T, c.z, 1, pb, dl, dv, xl, xv, ierr, herr);
        lib::SATT(T, c.z, 2, pd, dl, dv, xl, xv, ierr, herr);
        EXPECT_NEAR(q * pd + (1.0 - q) * pb, 300.0, 1e-4) << q;
        EXPECT_GT(Dl, Dv);
    }
    // Without a temperature at which the blend has two phases the status
    // says so.
    double T = 400.0, q = 0.5, Dl = 0, Dv = 0;
    int ierr = 0;
    std::string herr;
    lib::PTANC(T, 300.0, q, 0.0, 'Q', Dl, Dv, ierr, herr);
    EXPECT_GT(ierr, 0);
    EXPECT_EQ(herr.rfind("[PTANC error", 0), 0u) << herr;
}

TEST(CriticalFlowFactor, NitrogenNozzleAndItsLimits) {
    ASSERT_TRUE(setup("nitrogen"));
    Pure c;
    double Cs = 1, Ts = 1, Ds = 1, Ps = 1, ws = 1;
    int ierr = 7;
    std::string herr;
    lib::CSTAR(300.0, 0.0, 0.0, c.z, Cs, Ts, Ds, Ps, ws, ierr, herr);
    EXPECT_EQ(Cs, 0.0);
    EXPECT_EQ(Ts, 0.0);
    EXPECT_EQ(ierr, 0);
    // Close to an ideal diatomic gas: C* = 0.6847, T*/T0 = 2/(gamma + 1).
    lib::CSTAR(300.0, 1000.0, 0.0, c.z, Cs, Ts, Ds, Ps, ws, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(Cs, 0.6847, 0.005);
    EXPECT_NEAR(Ts / 300.0, 2.0 / 2.4, 0.005);
    EXPECT_NEAR(Ps / 1000.0, 0.528, 0.005);
    EXPECT_NEAR(testsupport::therm(Ts, Ds, c.z).w, ws, 1e-9 * ws);
}

}  // namespace
