// Fluids whose equation's own critical point lies above the stated one keep a
// two-phase region beyond the stated point (r13: 301.88 K, 3879 kPa stated,
// 303.05 K, 3973.1 kPa its equation's).  Two-phase states there, found at
// given pressure and enthalpy, come back from every other flash of a state;
// once the (h, s), (T, D), (P, D), (T, h) and (T, s) flashes gave a single
// phase inside that region instead, with dP/dD < 0 and a negative cp.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/library/phase/flash_support.h"

namespace {

using namespace flashtest;

struct Case {
    const char* fluid;
    double share;  // of the stated critical pressure
};

const Case kCases[] = {{"r13", 0.995},     {"r13", 1.002},      {"r40", 1.017},
                       {"heptane", 1.002}, {"re347mcc", 0.995}, {"ammonia", 1.002}};

class EquationsOwnTwoPhaseRegion : public ::testing::TestWithParam<Case> {};

TEST_P(EquationsOwnTwoPhaseRegion, EveryFlashGivesTheStatesBack) {
    const Case& c = GetParam();
    ASSERT_TRUE(setup(c.fluid));
    double wmm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wmm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    const double P = c.share * pc;
    const State cold = tp(0.95 * tc, P), hot = tp(1.08 * tc, P);
    int splits = 0;
    for (int i = 0; i <= 100; ++i) {
        const State st = ph(P, cold.h + (hot.h - cold.h) * i / 100);
        ASSERT_EQ(st.ierr, 0) << c.fluid << " " << st.herr;
        if (!(st.q > 0.0 && st.q < 1.0)) continue;
        ++splits;
        const State back[] = {hs(st.h, st.s), td(st.T, st.D), pd(P, st.D), ts(st.T, st.s)};
        for (const State& r : back) {
            ASSERT_EQ(r.ierr, 0) << c.fluid << " T " << st.T << " " << r.herr;
            EXPECT_NEAR(r.T / st.T, 1.0, 1e-9) << c.fluid << " T " << st.T;
            EXPECT_NEAR(r.P / P, 1.0, 1e-7) << c.fluid << " T " << st.T;
            EXPECT_NEAR(r.q, st.q, 1e-6) << c.fluid << " T " << st.T;
        }
    }
    EXPECT_GT(splits, 0) << c.fluid;
}

INSTANTIATE_TEST_SUITE_P(Fluids, EquationsOwnTwoPhaseRegion, ::testing::ValuesIn(kCases));

// Every single-phase state of the density flash across r13's region beyond
// the stated critical temperature is mechanically stable with cp > 0.
TEST(EquationsOwnTwoPhaseRegion, DensityFlashGivesNoUnstableSinglePhase) {
    ASSERT_TRUE(setup("r13"));
    const double z[20] = {1.0};
    int splits = 0;
    for (double T : {301.9, 302.5, 303.0})
        for (int j = 0; j <= 40; ++j) {
            const State r = td(T, 4.0 + 3.0 * j / 40);
            ASSERT_EQ(r.ierr, 0) << r.herr;
            if (r.q > 0.0 && r.q < 1.0) {
                ++splits;
                continue;
            }
            double dpdd = 0;
            lib::DPDD(T, r.D, z, dpdd);
            EXPECT_GT(dpdd, 0.0) << T << " K, " << r.D << " mol/L";
            EXPECT_GT(r.cp, 0.0) << T << " K, " << r.D << " mol/L";
        }
    EXPECT_GT(splits, 0);
}

}  // namespace
