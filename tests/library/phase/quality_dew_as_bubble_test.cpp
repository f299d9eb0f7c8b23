// TQFLSH of a binary close to its critical point, where the dew point
// iteration at T ends on the bubble point (the vapour the denser phase):
// the split of the vapour fraction asked for lies on the isotherm below
// that pressure, and must be found there, a state that the (T, p) flash
// has, its phases in equilibrium (it ended as one phase: error 219).  Its
// saturated vapour is refused, not given as the bubble point (nor a
// saturated liquid that is the dew point).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "tests/library/phase/mix_support.h"
#include "tests/support/fluid.h"

namespace {

struct State {
    const char* names;
    double z1, T, q;
};

const State kStates[] = {
    {"r134a|propane", 0.9, 363.989, 0.5},    {"r134a|propane", 0.9, 363.99, 0.5},
    {"r134a|propane", 0.9, 363.990905, 0.5}, {"r134a|propane", 0.9, 363.992, 0.5},
    {"r134a|propane", 0.9, 363.99, 0.2},     {"r134a|propane", 0.9, 363.99, 0.8},
};

class DewAsBubble : public ::testing::TestWithParam<State> {
protected:
    void TearDown() override { mixtest::setup_nitrogen(); }
};

TEST_P(DewAsBubble, QualityFlashFindsTheSplitOfTheTpFlash) {
    const State& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const double z[20] = {c.z1, 1.0 - c.z1};
    double P = 0, D = 0, Dl = 0, Dv = 0, x[20] = {}, y[20] = {}, e = 0, h = 0, s = 0, cv = 0,
           cp = 0, w = 0;
    int ierr = 0;
    std::string herr;
    lib::TQFLSH(c.T, c.q, z, 1, P, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_GT(Dl, 1.5 * Dv);
    EXPECT_LE(mixtest::fugacity_mismatch(c.T, Dl, Dv, x, y, z), 1e-9);
    EXPECT_LE(mixtest::balance_mismatch(c.q, x, y, z), 1e-9);
    double D2 = 0, Dl2 = 0, Dv2 = 0, x2[20] = {}, y2[20] = {}, q2 = 0, e2 = 0, h2 = 0, s2 = 0,
           cv2 = 0, cp2 = 0, w2 = 0;
    lib::TPFLSH(c.T, P, z, D2, Dl2, Dv2, x2, y2, q2, e2, h2, s2, cv2, cp2, w2, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(q2, c.q, 1e-6) << "at P=" << P << " kPa";
    EXPECT_NEAR(h2, h, 1e-7 * (std::fabs(h2) + 8.314 * c.T));
}

std::string state_name(const ::testing::TestParamInfo<State>& info) {
    return "case" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Binaries, DewAsBubble, ::testing::ValuesIn(kStates), state_name);

// The saturated vapour there is no state (its dew point is not found): not
// the bubble point given as the saturated vapour, denser than its liquid,
// some 20-70 kPa above the dew point.  Nor a saturated liquid that is the
// dew point, lighter than its vapour (methane + ethane close to their
// critical line).
const State kSaturatedVapours[] = {
    {"r134a|propane", 0.9, 363.990905, 1.0},    {"r152a|isobutane", 0.3, 391.836936, 1.0},
    {"propane|isobutane", 0.7, 385.24802, 1.0}, {"methane|ethane", 0.5, 250.48624, 0.0},
    {"methane|ethane", 0.3, 273.574981, 0.0},
};

using DewAsBubbleVapour = DewAsBubble;

TEST_P(DewAsBubbleVapour, IsRefusedNotGivenAsTheOtherPoint) {
    const State& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const double z[20] = {c.z1, 1.0 - c.z1};
    double P = 0, D = 0, Dl = 0, Dv = 0, x[20] = {}, y[20] = {}, e = 0, h = 0, s = 0, cv = 0,
           cp = 0, w = 0;
    int ierr = 0;
    std::string herr;
    lib::TQFLSH(c.T, c.q, z, 1, P, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
    if (ierr <= 0) {
        EXPECT_GT(Dl, Dv) << "P=" << P << " kPa";
        return;
    }
    EXPECT_EQ(ierr, 128) << herr;
}

INSTANTIATE_TEST_SUITE_P(Binaries, DewAsBubbleVapour, ::testing::ValuesIn(kSaturatedVapours),
                         state_name);

}  // namespace
