// A component below its triple point that is more than a trace of the feed
// (its liquid dissolved in the rest) leaves the search for a second liquid
// as it is: the liquid rich in another component is found beside it, and
// the split runs on without a gap as the temperature rises to its end.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "tests/library/phase/mix_support.h"

namespace {

struct Sweep {
    mixtest::Mixture m;
    double P;                 // kPa
    double T_from, T_to, dT;  // K: every state two-phase
};

std::ostream& operator<<(std::ostream& os, const Sweep& s) { return os << s.m.label; }

class FrozenBesideSplit : public mixtest::MixtureSuite<::testing::TestWithParam<Sweep>> {};

// R466A (R32, R125, CF3I): R125's triple point is 172.5 K, so below 155.3 K
// it counts as frozen; its 7.7 % stays dissolved in the liquid, beside
// which a second liquid of some 82 % CF3I exists up to 155.6 K at 100 kPa.
// The split was lost from 151.7 to 155.3 K (a single liquid 2 J/mol above).
TEST_P(FrozenBesideSplit, SecondLiquidFoundWithoutGap) {
    const Sweep& s = GetParam();
    ASSERT_TRUE(mixtest::setup(s.m));
    double z[20];
    s.m.fill(z);
    double q_before = 1.0;
    for (double T = s.T_from; T <= s.T_to + 1e-9; T += s.dT) {
        double D, Dl, Dv, x[20], y[20], q, e, h, S, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, s.P, z, D, Dl, Dv, x, y, q, e, h, S, cv, cp, w, ierr, herr);
        ASSERT_EQ(ierr, 0) << T << " K: " << herr;
        ASSERT_GT(q, 0.0) << T << " K: no split";
        EXPECT_LT(q, q_before) << T << " K: the second liquid should shrink as T rises";
        EXPECT_GT(Dv, 10.0) << T << " K: both phases are liquids";
        EXPECT_LT(mixtest::fugacity_mismatch(T, Dl, Dv, x, y, z), 1e-9) << T << " K";
        q_before = q;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Liquids, FrozenBesideSplit,
    ::testing::Values(Sweep{{"R466A 100 kPa",
                             "r32|r125|cf3i",
                             {0.7599966543926266, 0.07731406239414569, 0.16268928321322768}},
                            100.0,
                            150.0,
                            155.5,
                            0.25},
                      Sweep{{"R466A 1000 kPa",
                             "r32|r125|cf3i",
                             {0.7599966543926266, 0.07731406239414569, 0.16268928321322768}},
                            1000.0,
                            150.0,
                            155.0,
                            0.25}));

}  // namespace
