// THFLSH and TSFLSH (lower root) at the enthalpy or entropy of a (T, p)
// state of a binary end on the (T, p) flash's own state at the pressure
// they return, or fail: never on another state of that value.  The states
// are from the whole-region grid of the binary pairs, where the flashes
// ended on another state: a single phase outside the (T, p) flash's window
// that is not its root there, a vapour below a dew point that is not the
// lowest on the isotherm (supersaturated), a split carried by the search
// across a three-phase line.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "tests/library/phase/lle_support.h"
#include "tests/support/fluid.h"

namespace {

struct State {
    char letter;  // 'H' THFLSH, 'S' TSFLSH
    const char* names;
    double z1, T, P;
};

// Given back: the flash ends on the (T, p) flash's state.
const State kGivenBack[] = {
    // A single phase outside the (T, p) flash's window, not its root there.
    {'H', "acetone|c2butene", 0.5, 413.9426049, 2279.704562},
    {'H', "cos|methane", 0.5, 259.2362933, 6752.339687},
    {'H', "r227ea|r32", 0.5, 321.87317, 6752.339687},
    {'H', "hydrogen|argon", 0.1, 121.5979794, 2279.704562},
    {'S', "ethanol|oxylene", 0.1, 546.8857899, 2279.704562},
    {'S', "methanol|mxylene", 0.1, 535.2817636, 2279.704562},
    {'S', "d2|nitrogen", 0.1, 106.3595589, 2279.704562},
    // A vapour below a dew point that is not the lowest on the isotherm.
    {'H', "c12|ethane", 0.1, 547.5791485, 6752.339687},
    {'H', "hexane|xenon", 0.1, 385.8722568, 6752.339687},
    {'S', "heptane|oxygen", 0.1, 186.201, 10.0},
    {'S', "octane|argon", 0.1, 220.6974, 87.73066621},
    {'S', "c12|n2o", 0.1, 545.4871862, 6752.339687},
    {'S', "decane|water", 0.1, 546.6815078, 20000.0},
    // A split continued across a three-phase line by the search.
    {'H', "ammonia|r1234yf", 0.1, 217.0587653, 20000.0},
    {'H', "butane|r227ea", 0.1, 168.0573631, 6752.339687},
    {'H', "ethanol|toluene", 0.1, 257.9265648, 20000.0},
    {'H', "heptane|water", 0.5, 444.3044064, 2279.704562},
    {'H', "r32|r115", 0.1, 177.0414, 20000.0},
    {'S', "cyclopro|xenon", 0.1, 224.82313, 769.6669794}};

// Refused or given back: no stable state of the value is found within the
// search (1-butene + C4F10: the value's liquids lie above the pressure
// searched).  The last six: gases without a bubble point at T, whose
// search from the dew point ended on a continued split that is not the
// (T, p) flash's state.
const State kRefusedOrGivenBack[] = {{'H', "1butene|c4f10", 0.1, 172.2698846, 20000.0},
                                     {'H', "ammonia|r13", 0.1, 199.4049, 87.73066621},
                                     {'S', "pentane|water", 0.5, 301.9500181, 10.0},
                                     {'H', "c12|methanol", 0.5, 469.4103241, 20000.0},
                                     {'H', "ethane|water", 0.5, 278.6232, 20000.0},
                                     {'H', "methane|h2s", 0.5, 201.7888323, 20000.0},
                                     {'H', "methane|heptane", 0.5, 186.201, 20000.0},
                                     {'H', "nitrogen|propane", 0.5, 114.2036847, 2279.704562},
                                     {'H', "pentane|oxygen", 0.5, 146.3394, 6752.339687}};

struct Result {
    int ierr = 0;
    std::string herr;
    double P = 0, q = 0, D = 0;
};

// The (T, p) flash's state at P: its value of the property, vapour
// fraction and density.
double tp_value(const State& c, double P, const double z[20], double& q, double& D, int& ierr) {
    double Dl = 0, Dv = 0, x[20], y[20], e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    std::string herr;
    lib::TPFLSH(c.T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    return c.letter == 'S' ? s : h;
}

// The flash of the state's letter at (T, b), lower root.
Result t_flash(const State& c, double b, const double z[20]) {
    Result r;
    double Dl = 0, Dv = 0, x[20], y[20], e = 0, other = 0, cv = 0, cp = 0, w = 0;
    if (c.letter == 'S')
        lib::TSFLSH(c.T, b, z, 1, r.P, r.D, Dl, Dv, x, y, r.q, e, other, cv, cp, w, r.ierr, r.herr);
    else
        lib::THFLSH(c.T, b, z, 1, r.P, r.D, Dl, Dv, x, y, r.q, e, other, cv, cp, w, r.ierr, r.herr);
    return r;
}

bool two_phase(double q) { return q > 0.0 && q < 1.0; }

// The flash's answer r is the (T, p) flash's state at r.P with value b.
void expect_tp_state(const State& c, const double z[20], double b, const Result& r) {
    double q = 0, D = 0;
    int ierr = 0;
    const double v = tp_value(c, r.P, z, q, D, ierr);
    ASSERT_LE(ierr, 0);
    EXPECT_NEAR(v, b, 1e-7 * (std::fabs(b) + 1.0)) << "P " << r.P;
    ASSERT_EQ(two_phase(q), two_phase(r.q)) << q << " " << r.q;
    if (two_phase(q))
        EXPECT_NEAR(r.q, q, 1e-6);
    else
        EXPECT_NEAR(r.D / D, 1.0, 1e-6);
}

class TbRoundTrip : public ::testing::TestWithParam<State> {
protected:
    double z[20] = {};
    double b = 0;
    void SetUp() override {
        const State& c = GetParam();
        ASSERT_EQ(testsupport::set_up(c.names), "");
        z[0] = c.z1;
        z[1] = 1.0 - c.z1;
        double q = 0, D = 0;
        int ierr = 0;
        b = tp_value(c, c.P, z, q, D, ierr);
        ASSERT_LE(ierr, 0);
    }
};

TEST_P(TbRoundTrip, FlashGivesTheStateOfItsPressure) {
    const Result r = t_flash(GetParam(), b, z);
    ASSERT_LE(r.ierr, 0) << r.herr;
    expect_tp_state(GetParam(), z, b, r);
}

INSTANTIATE_TEST_SUITE_P(States, TbRoundTrip, ::testing::ValuesIn(kGivenBack),
                         lletest::state_name<State>);

class TbRoundTripOrRefusal : public TbRoundTrip {};

TEST_P(TbRoundTripOrRefusal, FlashFailsOrGivesTheStateOfItsPressure) {
    const Result r = t_flash(GetParam(), b, z);
    if (r.ierr > 0) {
        EXPECT_NE(r.herr.find("no stable state"), std::string::npos) << r.herr;
        return;
    }
    expect_tp_state(GetParam(), z, b, r);
}

INSTANTIATE_TEST_SUITE_P(States, TbRoundTripOrRefusal, ::testing::ValuesIn(kRefusedOrGivenBack),
                         lletest::state_name<State>);

}  // namespace
