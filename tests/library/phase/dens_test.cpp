#include "library/phase/dens.h"

#include <gtest/gtest.h>

#include "library/library.h"
#include "tests/library/phase/sat_support.h"

namespace {

using sattest::num;
using sattest::Pure;
using sattest::rel;

double pressure(double T, double D) {
    Pure w;
    double p = 0;
    lib::PRESS(T, D, w.x, p);
    return p;
}

TEST(Dens, BracketedDensity) {
    ASSERT_TRUE(sattest::setup("water"));
    Pure w;
    const double T = 500.0, P = 5000.0;
    double D = 0;
    int ierr = -1;
    std::string herr = "x";
    // Liquid bracket in either order.
    for (const auto& [a, b] : {std::pair{40.0, 60.0}, std::pair{60.0, 40.0}}) {
        lib::TPRHOB(T, P, a, b, w.x, D, ierr, herr);
        ASSERT_EQ(ierr, 0);
        EXPECT_TRUE(herr.empty());
        EXPECT_LT(rel(pressure(T, D), P), 1e-10);
        EXPECT_GT(D, 40.0);
        EXPECT_LT(D, 60.0);
    }
    // A bracket without the root: the search stays inside and gives up.
    lib::TPRHOB(T, P, 50.0, 51.0, w.x, D, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_GE(D, 50.0);
    EXPECT_LE(D, 51.0);
}

TEST(Dens, EqualPressureDensities) {
    ASSERT_TRUE(sattest::setup("r134a"));
    Pure w;
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    const double T = 0.9 * tc;
    double P = 0, Dl = 0, Dv = 0;
    int ierr = -1;
    std::string herr;
    lib::DLDV(T, P, Dl, Dv, w.x, w.x, ierr, herr);
    ASSERT_EQ(ierr, 0);
    EXPECT_GT(Dl, dc);
    EXPECT_LT(Dv, dc);
    EXPECT_LT(std::fabs(pressure(T, Dl) - pressure(T, Dv)), 1e-3);
    EXPECT_NEAR(P, pressure(T, Dv), 1e-3);
}

// The critical point of the equation itself against the independent
// table's values (Tc_num, pc_num, Dc_num).
TEST(Dens, CriticalPointOfTheEquation) {
    KVR2_REQUIRE_SHARED();
    const auto rows = sattest::read_csv(sattest::reference("constants.csv"));
    int checked = 0;
    for (const char* fluid : {"r134a", "nitrogen", "ethylene", "hexane"}) {
        for (const auto& r : rows) {
            if (r.at("name") != fluid || r.at("Tc_num").empty()) continue;
            ASSERT_TRUE(sattest::setup(fluid));
            Pure w;
            double T = 0, P = 0, D = 0;
            int ierr = -1;
            std::string herr;
            lib::FNCRPT(w.x, D, P, T, ierr, herr);
            ASSERT_EQ(ierr, 0) << fluid << ": " << herr;
            EXPECT_LT(rel(T, num(r, "Tc_num")), 1e-8) << fluid;
            EXPECT_LT(rel(P, num(r, "pc_num")), 1e-6) << fluid;
            EXPECT_LT(rel(D, num(r, "Dc_num")), 1e-4) << fluid;
            double d2 = 0;
            lib::DPDD2(T, D, w.x, d2);
            double dd = D;
            EXPECT_LT(rel(lib::CRTDEN(w.x, T, dd), D), 1e-6);
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

// Water's equation has no inflection point near its critical point (its
// non-analytic terms): the search reports that instead of a false point.
TEST(Dens, NoInflectionPointIsAnError) {
    ASSERT_TRUE(sattest::setup("water"));
    Pure w;
    double D = 17.8737;
    EXPECT_EQ(lib::CRTDEN(w.x, 647.196, D), 0.0);
    double T = 0, P = -5.0;
    int ierr = 0;
    std::string herr;
    lib::FNCRPT(w.x, D, P, T, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr.rfind("[FNCRPT error 1] iteration for critical point did not converge", 0), 0u)
        << herr;
    EXPECT_EQ(P, -5.0);
}

}  // namespace
