// A liquid beside a gas that splits off a dense liquid of a component above
// its critical temperature: isobutane + ethylene + argon at 148-173 K and
// 3.5-7 MPa, where argon (critical at 150.7 K) forms a liquid of some 80 %
// argon below the plane of the hydrocarbons' liquid.  No nearly pure start
// of a liquid trial reaches it; the (T, p) flash returned the split of gas
// and hydrocarbon liquid as the state, 10 J/mol above two liquids there.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/stability.h"
#include "tests/library/phase/mix_support.h"

namespace {

const mixtest::Mixture kArgonBlend{
    "isobutane, ethylene, argon", "isobutane|ethylene|argon", {0.2782, 0.2346, 0.4872}};

struct State {
    double T, P;  // K, kPa
};

class DenseSecondLiquid : public mixtest::MixtureSuite<::testing::TestWithParam<State>> {};

// Either no state (three phases, named), or a split whose phases are both
// stable.
TEST_P(DenseSecondLiquid, SplitHasNoUnstablePhase) {
    const State c = GetParam();
    ASSERT_TRUE(mixtest::setup(kArgonBlend));
    double z[20] = {};
    kArgonBlend.fill(z);
    double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    if (ierr > 0) {
        EXPECT_EQ(ierr, 219);
        EXPECT_NE(herr.find("three phases"), std::string::npos) << herr;
        return;
    }
    ASSERT_TRUE(q > 0.0 && q < 1.0) << q;
    for (const double* phase : {x, y}) {
        const lib::mix::Stability st = lib::mix::stability(c.T, c.P, phase);
        EXPECT_TRUE(st.stable || st.tm > -1e-7) << st.tm;
    }
}

const State kStates[] = {{157.9504719, 4833.6229},
                         {148.4553664, 3515.362089},
                         {160.8266469, 4833.622873},
                         {173.1979274, 7030.724179}};

std::string state_name(const ::testing::TestParamInfo<State>& info) {
    return "T" + std::to_string(static_cast<int>(info.param.T)) + "_P" +
           std::to_string(static_cast<int>(info.param.P));
}

INSTANTIATE_TEST_SUITE_P(States, DenseSecondLiquid, ::testing::ValuesIn(kStates), state_name);

// The quality flash at 4.17 MPa finds two splits of q 0.434: the (T, p)
// flash's own at 136.08 K, and two liquids at 155.4 K below the gas's
// plane, which it must not return.
TEST(DenseSecondLiquidQuality, PressureFlashReturnsTheStableSplit) {
    ASSERT_TRUE(mixtest::setup(kArgonBlend));
    double z[20] = {};
    kArgonBlend.fill(z);
    const double T0 = 136.08408584924268, P = 4174.4924812121162;
    double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(T0, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    ASSERT_TRUE(q > 0.0 && q < 1.0) << q;
    double T = 0;
    lib::PQFLSH(P, q, z, lib::kMolarQuality, T, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(T, T0, 1e-6 * T0);
}

}  // namespace
