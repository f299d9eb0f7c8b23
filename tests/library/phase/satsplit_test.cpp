// Saturation points of binaries whose liquid splits in two: the point of
// one liquid and a vapour lies inside the region of two liquids (three
// phases are stable there) and is refused naming the state (by SATP, SATT,
// and TQFLSH and PQFLSH at q = 0 and 1), while the points beside it, whose
// liquid is stable, are answered.  From the
// whole-region check of SATP against TPFLSH next to each point.
#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "tests/library/phase/lle_support.h"
#include "tests/support/fluid.h"

namespace {

struct Point {
    const char* names;
    double z1, P;  // kPa
    int kph;       // kBubblePoint or kDewPoint
    bool refused;
};

// Methane + pentane and butane + R134a split into two liquids below their
// bubble points.  The dew points of the first two, octane + water's real
// dew point at 316.9 K (its incipient liquid nearly pure octane; once
// SATP's iteration ended 40 K lower, on a homogeneous liquid of 48 %
// octane that splits) and a bubble point of a nearly ideal pair are
// answered.
const Point kPoints[] = {
    {"methane|pentane", 0.5, 769.667, lib::kBubblePoint, true},
    {"butane|r134a", 0.5, 10.0, lib::kBubblePoint, true},
    {"octane|water", 0.5, 10.0, lib::kBubblePoint, true},
    {"octane|water", 0.5, 10.0, lib::kDewPoint, false},
    {"methane|pentane", 0.5, 769.667, lib::kDewPoint, false},
    {"butane|r134a", 0.5, 10.0, lib::kDewPoint, false},
    {"propane|butane", 0.5, 769.667, lib::kBubblePoint, false},
};

class SplitLiquid : public ::testing::TestWithParam<Point> {};

TEST_P(SplitLiquid, SaturationPointOfOneLiquidOnlyWhereItIsStable) {
    const Point& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const double z[20] = {c.z1, 1.0 - c.z1};
    double T = 0, Dl = 0, Dv = 0, xl[20] = {}, xv[20] = {};
    int ierr = 0;
    std::string herr;
    lib::SATP(c.P, z, c.kph, T, Dl, Dv, xl, xv, ierr, herr);
    if (!c.refused) {
        EXPECT_EQ(ierr, 0) << herr;
        return;
    }
    EXPECT_EQ(ierr, 148) << herr;
    EXPECT_NE(herr.find("splits in two liquids"), std::string::npos) << herr;
    EXPECT_TRUE(lletest::names_value(herr, T)) << herr;
    // SATT at that temperature refuses the same point, and so do TQFLSH and
    // PQFLSH at its quality.
    double P = 0;
    lib::SATT(T, z, c.kph, P, Dl, Dv, xl, xv, ierr, herr);
    EXPECT_EQ(ierr, 128) << herr;
    const double q = c.kph == lib::kBubblePoint ? 0.0 : 1.0;
    double D = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    lib::TQFLSH(T, q, z, 1, P, D, Dl, Dv, xl, xv, e, h, s, cv, cp, w, ierr, herr);
    EXPECT_EQ(ierr, 128) << herr;
    lib::PQFLSH(c.P, q, z, 1, T, D, Dl, Dv, xl, xv, e, h, s, cv, cp, w, ierr, herr);
    EXPECT_EQ(ierr, 148) << herr;
}

std::string point_name(const ::testing::TestParamInfo<Point>& info) {
    std::string n =
        std::string(info.param.names) + (info.param.kph == lib::kBubblePoint ? "_bubble" : "_dew");
    for (char& ch : n)
        if (ch == '|') ch = '_';
    return n + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Binaries, SplitLiquid, ::testing::ValuesIn(kPoints), point_name);

}  // namespace
