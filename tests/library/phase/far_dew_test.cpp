// Dew points of wet gases far above their estimated critical pressure (the
// water of a flue gas condensing from the dense gas at 550-650 K, 0.1-1
// GPa): SATT finds each where the (T, p) flash brackets it, with equal
// fugacities, the pressure of both phases, and the flash two-phase just
// above it and a gas just below; where no dew point exists it still fails
// with its error 128.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/sattp.h"
#include "library/setup/records.h"
#include "tests/library/phase/mix_support.h"

namespace {

struct Gas {
    const char* names;
    double z[20];
};
const Gas kFlueLean = {"nitrogen|oxygen|argon|co2|water", {0.755, 0.125, 0.009, 0.04, 0.071}};
const Gas kFlueRich = {"nitrogen|oxygen|argon|co2|water", {0.7, 0.09, 0.01, 0.08, 0.12}};

void set_up(const Gas& g) {
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(5, g.names, "hmx", hrf, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
}

struct DewCase {
    const Gas* gas;
    double T, P;  // the dew point as the bisection between the flashes found it
};

class FarDew : public ::testing::TestWithParam<DewCase> {};

TEST_P(FarDew, FoundWhereTheFlashBracketsIt) {
    const DewCase c = GetParam();
    set_up(*c.gas);
    const double* z = c.gas->z;
    double P = 0, Dl = 0, Dv = 0, x[20], y[20];
    int ierr = 0;
    std::string herr;
    lib::SATT(c.T, z, lib::kDewPoint, P, Dl, Dv, x, y, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(P, c.P, 1e-9 * c.P);
    EXPECT_GT(Dl, Dv);
    EXPECT_LT(mixtest::fugacity_mismatch(c.T, Dl, Dv, x, y, z), 1e-9);
    double Pl = 0, Pv = 0;
    lib::PRESS(c.T, Dl, x, Pl);
    lib::PRESS(c.T, Dv, y, Pv);
    EXPECT_NEAR(Pl, P, 1e-8 * P);
    EXPECT_NEAR(Pv, P, 1e-8 * P);
    for (const double f : {1.001, 0.999}) {
        double D, dl, dv, xx[20], yy[20], q, e, h, s, cv, cp, w;
        lib::TPFLSH(c.T, f * P, z, D, dl, dv, xx, yy, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        EXPECT_EQ(q > 0.0 && q<1.0, f> 1.0) << "p = " << f * P << " kPa, q = " << q;
    }
}

INSTANTIATE_TEST_SUITE_P(WetGases, FarDew,
                         ::testing::Values(DewCase{&kFlueLean, 550.0, 287902.07825013483},
                                           DewCase{&kFlueLean, 600.0, 747480.45959459338},
                                           DewCase{&kFlueRich, 550.0, 125745.56599087646},
                                           DewCase{&kFlueRich, 600.0, 407695.46185374126},
                                           DewCase{&kFlueRich, 650.0, 908684.68645272637}));

struct NoDewCase {
    const Gas* gas;
    double T;
};

class FarNoDew : public ::testing::TestWithParam<NoDewCase> {};

TEST_P(FarNoDew, RefusedWithItsError) {
    const NoDewCase c = GetParam();
    set_up(*c.gas);
    double P = 0, Dl = 0, Dv = 0, x[20], y[20];
    int ierr = 0;
    std::string herr;
    lib::SATT(c.T, c.gas->z, lib::kDewPoint, P, Dl, Dv, x, y, ierr, herr);
    EXPECT_EQ(ierr, 128) << herr;
    EXPECT_TRUE(std::isfinite(P) && std::isfinite(Dl) && std::isfinite(Dv));
}

INSTANTIATE_TEST_SUITE_P(WetGases, FarNoDew,
                         ::testing::Values(NoDewCase{&kFlueLean, 650.0},
                                           NoDewCase{&kFlueLean, 700.0},
                                           NoDewCase{&kFlueLean, 800.0},
                                           NoDewCase{&kFlueRich, 700.0},
                                           NoDewCase{&kFlueRich, 750.0}));

// Newton's method of the boundary refuses a point far beyond the estimated
// critical pressure unless its caller has bracketed it, and then finds it.
TEST(FarDewNewton, SoughtOnlyWhereBracketed) {
    set_up(kFlueLean);
    const double* z = kFlueLean.z;
    double P = 0, Dl = 0, Dv = 0, x[20], y[20];
    int ierr = 0;
    std::string herr;
    lib::SATT(550.0, z, lib::kDewPoint, P, Dl, Dv, x, y, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_TRUE(lib::mix::far_beyond_critical(550.0, P, z));
    const auto newton = [&](double& p) {
        double t = 550.0, D = 0, dl = Dl, dv = Dv, q = 1.0, l[20], v[20];
        for (int i = 0; i < 20; ++i) {
            l[i] = x[i];
            v[i] = z[i];
        }
        p = 1.01 * P;
        int jerr = 0;
        std::string jmsg;
        const lib::mix::SwitchGuard own_failure(lib::FLAGS2.spline_status, 1);
        lib::SATTP(t, p, z, lib::kDewAtT, 1, D, dl, dv, l, v, q, jerr, jmsg);
        return jerr;
    };
    double p = 0;
    EXPECT_NE(newton(p), 0);
    {
        const lib::mix::PointBracketed bracketed;
        ASSERT_EQ(newton(p), 0);
    }
    EXPECT_NEAR(p, P, 1e-10 * P);
}

}  // namespace
