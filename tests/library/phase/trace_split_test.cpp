// Splits whose liquid holds a component below what the library tells from
// a pure fluid (helium or hydrogen dissolved in a hydrocarbon liquid at
// 1e-23..1e-12): the liquid is a pure fluid to the equations, with its own
// gas constant, and the trace's fugacity is formed at 1e-10 in the
// mixture's terms.  The split the (T, p) flash returns is an equilibrium by
// its own check (before, the fugacities of the trace differed by 1.1e-6
// and every further start of the split was tried, 200 times the work).
#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "library/phase/tpflsh.h"
#include "tests/library/phase/lle_support.h"
#include "tests/support/fluid.h"

namespace {

struct State {
    const char* names;
    double z1, T, P;  // first component's mole fraction, K, kPa
};

const State kStates[] = {
    {"butane|helium", 0.1, 137.593, 10.0},   {"butane|helium", 0.1, 150.0, 10.0},
    {"pentane|helium", 0.1, 150.0, 10.0},    {"pentane|helium", 0.1, 200.0, 100.0},
    {"nonane|hydrogen", 0.1, 224.094, 10.0},
};

class TraceInALiquid : public ::testing::TestWithParam<State> {};

TEST_P(TraceInALiquid, SplitIsAnEquilibrium) {
    const State& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    double z[20] = {c.z1, 1.0 - c.z1};
    double D, Dl = 0, Dv = 0, x[20], y[20], q = 0, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    ASSERT_TRUE(q > 0.0 && q < 1.0) << q;
    EXPECT_LT(x[1], 1e-11);  // below the library's purity
    EXPECT_TRUE(lib::split_is_equilibrium(c.T, z, q, Dl, Dv, x, y));
}

INSTANTIATE_TEST_SUITE_P(States, TraceInALiquid, ::testing::ValuesIn(kStates),
                         lletest::state_name<State>);

}  // namespace
