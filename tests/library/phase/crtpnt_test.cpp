// The critical point of a mixture depends on its composition alone: the
// point of the call before, handed on as the start, no longer leads to
// another point; a failure leaves no values that could pass for a point.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "library/library.h"
#include "tests/library/phase/flash_support.h"
#include "tests/support/fluid.h"

namespace {

struct Mixture {
    const char* names;
    std::vector<double> z;
};

struct Point {
    int ierr = 0;
    double T = 0, P = 0, D = 0;
    std::string herr;
};

// CRTPNT for the mixture, just set up, from the start (T, P, D).
Point critical_point(const Mixture& m, double T, double P, double D) {
    Point r{0, T, P, D, ""};
    EXPECT_EQ(testsupport::set_up(m.names), "");
    double z[20] = {};
    for (std::size_t i = 0; i < m.z.size(); ++i) z[i] = m.z[i];
    lib::CRTPNT(z, r.T, r.P, r.D, r.ierr, r.herr);
    return r;
}

Point alone(const Mixture& m) { return critical_point(m, 0, 0, 0); }

// A call after another mixture whose point is handed on as the start.
Point after(const Mixture& before, const Mixture& m) {
    const Point p = alone(before);
    return critical_point(m, p.T, p.P, p.D);
}

const char* const kNoConvergence = "No convergence. Provide better p, t guess values";

struct Sequence {
    Mixture before, mixture;
    double Tc;         // K, the point alone (0: none)
    double pc;         // kPa
    const char* once;  // what the call after gave
};

void PrintTo(const Sequence& s, std::ostream* os) {
    *os << s.mixture.names << " after " << s.before.names;
}

class CriticalPointSequence : public ::testing::TestWithParam<Sequence> {
protected:
    void TearDown() override { ASSERT_TRUE(flashtest::setup("nitrogen")); }
};

TEST_P(CriticalPointSequence, GivesThePointOfTheMixtureAlone) {
    const Sequence& s = GetParam();
    const Point a = alone(s.mixture);
    const Point b = after(s.before, s.mixture);
    EXPECT_EQ(b.ierr, a.ierr) << s.once;
    EXPECT_EQ(b.T, a.T) << s.once;
    EXPECT_EQ(b.P, a.P) << s.once;
    EXPECT_EQ(b.D, a.D) << s.once;
    if (s.Tc > 0) {
        ASSERT_EQ(a.ierr, 0) << a.herr;
        EXPECT_NEAR(a.T, s.Tc, 0.01);
        EXPECT_NEAR(a.P, s.pc, 0.1);
    } else {
        EXPECT_EQ(a.ierr, 1);
        EXPECT_EQ(b.herr, kNoConvergence);
    }
}

const Mixture kWaterNitrogen{"water|nitrogen", {0.5, 0.5}};
const Mixture kWaterCo2{"water|co2", {0.02, 0.98}};
const Mixture kHumidAir{"nitrogen|oxygen|water", {0.7818, 0.2079, 0.0103}};

INSTANTIATE_TEST_SUITE_P(
    PointsOnceFoundAfterAnotherMixture, CriticalPointSequence,
    ::testing::Values(
        Sequence{kWaterNitrogen, kHumidAir, 135.646, 4247.9, "686.80 K, 4,574 MPa"},
        Sequence{kWaterCo2, {"co2|nitrogen", {0.5, 0.5}}, 234.749, 17968.6, "170.3 K, 360 MPa"},
        Sequence{kWaterCo2, {"water|ethane", {0.1, 0.9}}, 335.589, 7072.0, "308.9 K, 2.82 MPa"},
        Sequence{kHumidAir, {"water|decane", {0.5, 0.5}}, 622.232, 9490.3, "172.7 K, 218 MPa"},
        Sequence{kWaterCo2,
                 {"water|helium", {0.1, 0.9}},
                 0,
                 0,
                 "315.6 K, 148 MPa, where water and helium are two phases"}));

class CriticalPoint : public ::testing::Test {
protected:
    void TearDown() override { ASSERT_TRUE(flashtest::setup("nitrogen")); }
};

// A failure returns zeros, not the start (the previous call's point).
TEST_F(CriticalPoint, FailureLeavesNoPoint) {
    const Mixture methane_hexane{"methane|hexane", {0.9, 0.1}};
    for (const Point& r : {after({"methane|ethane", {0.7, 0.3}}, methane_hexane),
                           critical_point(methane_hexane, 300.0, 5000.0, 10.0),
                           critical_point({"water|co2", {0.5, 0.5}}, 640.0, 30000.0, 18.0)}) {
        EXPECT_EQ(r.ierr, 1);
        EXPECT_EQ(r.herr, kNoConvergence);
        EXPECT_EQ(r.T, 0.0);
        EXPECT_EQ(r.P, 0.0);
        EXPECT_EQ(r.D, 0.0);
    }
}

// Starting at the point itself, or at the estimate of the mixture model,
// gives the point to the last digit.
TEST_F(CriticalPoint, StartValuesDoNotMoveThePoint) {
    const Mixture m{"co2|nitrogen", {0.5, 0.5}};
    const Point a = alone(m);
    ASSERT_EQ(a.ierr, 0) << a.herr;
    const Point b = critical_point(m, a.T, a.P, a.D);
    EXPECT_EQ(b.T, a.T);
    EXPECT_EQ(b.P, a.P);
    EXPECT_EQ(b.D, a.D);
    double z[20] = {0.5, 0.5}, tc = 0, pc = 0, dc = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(z, tc, pc, dc, ierr, herr);
    const Point c = critical_point(m, tc, pc, dc);
    EXPECT_EQ(c.T, a.T);
    EXPECT_EQ(c.P, a.P);
    EXPECT_EQ(c.D, a.D);
}

}  // namespace
