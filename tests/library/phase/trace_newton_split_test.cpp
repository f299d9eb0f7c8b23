// Dry ISO Air split beside its frozen carbon dioxide by Newton's method:
// just below the feed's own bubble point, where the rest of the feed
// (oxygen, nitrogen, argon) is a stable liquid and has no split to start
// from, and next to the critical point, where the trace moves the split far
// from the rest's.  Each split holds the trace at the feed's fraction in both
// phases, the rest at equal fugacities, the phases distinct and adding up
// to the feed; the vapour fraction's flash finds the pressure again.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/frozen.h"
#include "library/phase/tpflsh.h"
#include "library/phase/tracenewton.h"
#include "tests/library/phase/mix_support.h"

namespace {

struct State {
    double T, P;  // K, kPa
    double q;     // vapour fraction of the split
};

// The first rows lie between the rest's bubble point and the feed's (the
// flash took them for liquid); the last next to the critical point.
const State kStates[] = {
    {127.0, 3004, 0.0004443829926},
    {129.1, 3300, 0.007338283667},
    {131.1, 3600, 0.01503748247},
    {132.25, 3750, 0.6068448152},
    {132.25, 3754, 0.5575373434},
    {132.45, 3764, 0.0},  // only the checks of a split: its q is not pinned
};

const mixtest::Mixture kIsoAir{
    "Dry ISO Air", "oxygen|nitrogen|argon|co2", {0.20942, 0.78086, 0.00934, 0.00038}};

class AirSplitByNewton : public mixtest::MixtureSuite<::testing::TestWithParam<State>> {};

TEST_P(AirSplitByNewton, SplitBesideTheTrace) {
    const State c = GetParam();
    ASSERT_TRUE(mixtest::setup(kIsoAir));
    double z[20] = {};
    kIsoAir.fill(z);
    double D, Dl = 0, Dv = 0, x[20] = {}, y[20] = {}, q = 0, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    ASSERT_TRUE(q > 0.0 && q < 1.0) << q;
    if (c.q > 0.0) {
        EXPECT_NEAR(q, c.q, 1e-8);
    }
    mixtest::expect_rest_at_equilibrium(c.T, c.P, z, 3, Dl, Dv, x, y);
    EXPECT_LT(mixtest::balance_mismatch(q, x, y, z), 1e-12);
    EXPECT_GT(std::fabs(Dl - Dv), 1e-3 * Dl);
    EXPECT_TRUE(lib::split_is_equilibrium(c.T, z, q, Dl, Dv, x, y));
    double P2 = 0, D2, dl, dv, x2[20], y2[20], e2, h2, s2;
    lib::TQFLSH(c.T, q, z, lib::kMolarQuality, P2, D2, dl, dv, x2, y2, e2, h2, s2, cv, cp, w, ierr,
                herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(P2, c.P, 1e-6 * c.P);
}

std::string state_name(const ::testing::TestParamInfo<State>& info) {
    return std::to_string(static_cast<int>(info.param.T * 100)) + "cK_" +
           std::to_string(static_cast<int>(info.param.P)) + "kPa";
}

INSTANTIATE_TEST_SUITE_P(States, AirSplitByNewton, ::testing::ValuesIn(kStates), state_name);

// Newton's method itself: from the split of the rest without the trace
// (the trace then added), its split beside the trace; at a given vapour
// fraction, the pressure of that split.  A start with both phases the feed
// is no split.
class TraceNewton : public mixtest::MixtureSuite<> {};

TEST_F(TraceNewton, FromTheRestsSplitAndAtGivenVapourFraction) {
    ASSERT_TRUE(mixtest::setup(kIsoAir));
    double z[20] = {};
    kIsoAir.fill(z);
    const double T = 125.0, P = 2668.0;
    const lib::mix::FrozenTrace t = lib::mix::frozen_trace(T, z);
    ASSERT_TRUE(t.any);
    double D, Dl = 0, Dv = 0, x[20] = {}, y[20] = {}, q = 0, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(T, P, t.rest, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    ASSERT_TRUE(q > 0.0 && q < 1.0);
    lib::mix::add_trace(t, z, x);
    lib::mix::add_trace(t, z, y);
    ASSERT_TRUE(lib::mix::newton_beside_trace(T, P, z, t, Dl, Dv, x, y, q));
    EXPECT_TRUE(lib::split_is_equilibrium(T, z, q, Dl, Dv, x, y));
    double P2 = 0.99 * P, dl = Dl, dv = Dv, x2[20], y2[20];
    for (int i = 0; i < 20; ++i) {
        x2[i] = x[i];
        y2[i] = y[i];
    }
    ASSERT_TRUE(lib::mix::newton_beside_trace_at_q(T, q, z, t, P2, dl, dv, x2, y2));
    EXPECT_NEAR(P2, P, 1e-9 * P);
    double feed[20] = {}, Df = 0, Dg = 0, qf = 0.5;
    for (int i = 0; i < 20; ++i) feed[i] = z[i];
    double xf[20], yf[20];
    for (int i = 0; i < 20; ++i) xf[i] = yf[i] = z[i];
    EXPECT_FALSE(lib::mix::newton_beside_trace(T, P, feed, t, Df, Dg, xf, yf, qf));
    EXPECT_EQ(qf, 0.5);  // left as it came
}

}  // namespace
