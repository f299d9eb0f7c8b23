#include "library/phase/spinodal.h"

#include <gtest/gtest.h>

#include "library/library.h"
#include "library/phase/records.h"
#include "tests/library/phase/sat_support.h"

namespace {

using sattest::Pure;

struct Spin {
    double D = -1.0;
    int ierr = -1;
    std::string herr;
};

Spin liquid(double T, double start = -1.0) {
    Pure w;
    Spin s;
    s.D = start;
    lib::LIQSPNDL(T, w.x, s.D, s.ierr, s.herr);
    return s;
}

Spin vapour(double T, double start = -1.0) {
    Pure w;
    Spin s;
    s.D = start;
    lib::VAPSPNDL(T, w.x, s.D, s.ierr, s.herr);
    return s;
}

double slope(double T, double D) {
    Pure w;
    double d1 = 0;
    lib::DPDD(T, D, w.x, d1);
    return d1;
}

double crit_density() {
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    return dc;
}

// A spinodal is a zero of dP/dD with stable states on its outer side.
void expect_spinodal(double T, double D, bool liquid_side) {
    const double h = 1e-4 * D;
    EXPECT_LT(std::fabs(slope(T, D)), 1e-6) << T;
    if (liquid_side) {
        EXPECT_GT(slope(T, D + h), 0.0) << T;
        EXPECT_LT(slope(T, D - h), 0.0) << T;
    } else {
        EXPECT_GT(slope(T, D - h), 0.0) << T;
        EXPECT_LT(slope(T, D + h), 0.0) << T;
    }
}

TEST(Spinodal, WaterBothSidesWithAndWithoutSplines) {
    ASSERT_TRUE(sattest::setup("water"));
    const double dc = crit_density();
    EXPECT_EQ(lib::AUXFLGS.nliq, 0);
    for (double T : {300.0, 450.0, 600.0, 640.0}) {
        const Spin l = liquid(T);
        ASSERT_EQ(l.ierr, 0) << T << ": " << l.herr;
        EXPECT_GT(l.D, dc);
        expect_spinodal(T, l.D, true);
        const Spin v = vapour(T);
        ASSERT_EQ(v.ierr, 0) << T << ": " << v.herr;
        EXPECT_LT(v.D, dc);
        expect_spinodal(T, v.D, false);
    }

    int ierr = -1;
    std::string herr;
    lib::SETLSPNDL(1, ierr, herr);
    ASSERT_EQ(lib::AUXFLGS.nliq > 5, true) << herr;
    lib::SETVSPNDL(1, ierr, herr);
    ASSERT_EQ(lib::AUXFLGS.nvap > 5, true) << herr;
    for (int i = 1; i < lib::AUXFLGS.nliq; ++i)
        ASSERT_GT(lib::CSPNDL.tl[static_cast<std::size_t>(i)],
                  lib::CSPNDL.tl[static_cast<std::size_t>(i - 1)]);
    for (int i = 1; i < lib::AUXFLGS.nvap; ++i)
        ASSERT_GT(lib::CSPNDL.tv[static_cast<std::size_t>(i)],
                  lib::CSPNDL.tv[static_cast<std::size_t>(i - 1)]);
    // The spline start leads to the same spinodals.
    for (double T : {450.0, 600.0}) {
        const Spin l = liquid(T);
        ASSERT_EQ(l.ierr, 0) << l.herr;
        expect_spinodal(T, l.D, true);
        const Spin v = vapour(T);
        ASSERT_EQ(v.ierr, 0) << v.herr;
        expect_spinodal(T, v.D, false);
    }

    // A failed set-up leaves the spline as it was.
    const int n = lib::AUXFLGS.nliq;
    const double d5 = lib::CSPNDL.dl[5];
    lib::SETLSPNDL(0, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[SETLSPNDL error 1] SETLSPNDL can handle pure fluids only");
    lib::SETVSPNDL(2, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[SETVSPNDL error 1] SETVSPNDL can handle pure fluids only");
    EXPECT_EQ(lib::AUXFLGS.nliq, n);
    EXPECT_EQ(lib::CSPNDL.dl[5], d5);

    // Another fluid starts without splines.
    ASSERT_TRUE(sattest::setup("nitrogen"));
    EXPECT_EQ(lib::AUXFLGS.nliq, 0);
    EXPECT_EQ(lib::AUXFLGS.nvap, 0);
}

TEST(Spinodal, CriticalTemperatureLimit) {
    ASSERT_TRUE(sattest::setup("nitrogen"));
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    Spin s = liquid(tc + 1e-6);
    EXPECT_EQ(s.ierr, 121);
    EXPECT_EQ(s.herr.rfind("[LIQSPNDL error 121] temperature input to spinodal routine is "
                           "greater than critical temperature; T =",
                           0),
              0u)
        << s.herr;
    s = vapour(tc + 1e-6);
    EXPECT_EQ(s.ierr, 121);
    EXPECT_EQ(s.herr.rfind("[VAPSPNDL error 121]", 0), 0u);
    // Exactly Tc is not refused.
    s = liquid(tc);
    EXPECT_NE(s.ierr, 121);
    // With no spline the vapour side starts at 0.1 mol/L and still converges.
    s = vapour(0.8 * tc);
    EXPECT_EQ(s.ierr, 0) << s.herr;
    EXPECT_LT(s.D, dc);
}

}  // namespace
