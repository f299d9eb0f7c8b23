// Dry ISO Air below the triple point of its carbon dioxide, split in two
// phases: the 0.038 % of carbon dioxide is carried in both at the feed's
// fraction, and oxygen, nitrogen and argon are at equal fugacities in the
// phases as they are, trace and all, each phase at the pressure asked.  (The
// split of the air without the trace, the trace then added, left them 1e-4
// to 3.7e-4 apart.)  The pressure flashes and the vapour fraction's find
// each state again.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/tpflsh.h"
#include "tests/library/phase/mix_support.h"

namespace {

struct State {
    double T, P;  // K, kPa
};

const State kStates[] = {{80, 100},   {86, 200},   {98, 500},   {107, 1000},
                         {113, 1400}, {113, 1450}, {119, 2000}, {131, 3500}};

const mixtest::Mixture kIsoAir{
    "Dry ISO Air", "oxygen|nitrogen|argon|co2", {0.20942, 0.78086, 0.00934, 0.00038}};

// Fills a stretch of the stack below the caller with a value that no
// composition holds: arrays a flash leaves unset there then show it.
[[gnu::noinline]] void scribble_stack() {
    volatile double junk[4096];
    for (double& d : const_cast<double(&)[4096]>(junk)) d = 3.0;
}

class AirBesideItsTrace : public mixtest::MixtureSuite<::testing::TestWithParam<State>> {};

TEST_P(AirBesideItsTrace, RestIsAtEquilibrium) {
    const State c = GetParam();
    ASSERT_TRUE(mixtest::setup(kIsoAir));
    double z[20] = {};
    kIsoAir.fill(z);
    double D, Dl = 0, Dv = 0, x[20] = {}, y[20] = {}, q = 0, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    scribble_stack();
    lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    ASSERT_TRUE(q > 0.0 && q < 1.0) << q;
    mixtest::expect_rest_at_equilibrium(c.T, c.P, z, 3, Dl, Dv, x, y);
    // The feed's balance over every slot: none beyond the mixture's filled.
    EXPECT_LT(mixtest::balance_mismatch(q, x, y, z), 1e-12);
    for (int i = kIsoAir.nc(); i < 20; ++i) EXPECT_EQ(x[i] + y[i], 0.0) << i;
    EXPECT_TRUE(lib::split_is_equilibrium(c.T, z, q, Dl, Dv, x, y));
    // The round trips through the pressure flashes.
    double T2 = 0, D2, dl, dv, x2[20], y2[20], q2 = 0, e2, h2, s2;
    lib::PHFLSH(c.P, h, z, T2, D2, dl, dv, x2, y2, q2, e2, s2, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(T2, c.T, 1e-7 * c.T);
    EXPECT_NEAR(q2, q, 1e-7);
    lib::PSFLSH(c.P, s, z, T2, D2, dl, dv, x2, y2, q2, e2, h2, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(T2, c.T, 1e-7 * c.T);
    EXPECT_NEAR(q2, q, 1e-7);
    // (The vapour fraction's flash took a split whose carbon dioxide is
    // shared out as a fluid's, 0.3 % off in pressure.)
    double P2 = 0;
    lib::TQFLSH(c.T, q, z, lib::kMolarQuality, P2, D2, dl, dv, x2, y2, e2, h2, s2, cv, cp, w, ierr,
                herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(P2, c.P, 1e-7 * c.P);
    EXPECT_DOUBLE_EQ(x2[3], z[3]);
}

std::string state_name(const ::testing::TestParamInfo<State>& info) {
    return std::to_string(static_cast<int>(info.param.T)) + "K_" +
           std::to_string(static_cast<int>(info.param.P)) + "kPa";
}

INSTANTIATE_TEST_SUITE_P(States, AirBesideItsTrace, ::testing::ValuesIn(kStates), state_name);

}  // namespace
