// Heating values and the combustion species' enthalpies; excess properties,
// the supercompressibility factor and the curvature scalar of mixtures.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "tests/support/fluid.h"

namespace {

int setup(int, const std::string& names) { return testsupport::set_up(names).empty() ? 0 : 1; }

constexpr double kT0 = 298.15;

TEST(HeatTest, SpeciesEnthalpies) {
    // The heat of vaporisation of water at 25 C.
    EXPECT_NEAR(lib::ENTHHC(1, kT0, -1) - lib::ENTHHC(0, kT0, -1), 44000.0, 100.0);
    EXPECT_EQ(lib::ENTHHC(0, 700.0, 300.0), 0.0);
    EXPECT_EQ(lib::ENTHHC(6, 400.0, 300.0), 0.0);
    // An ideal gas: h(T1) - h(T2) ~ cp (T1 - T2), and the shared gas constant
    // is left as it was.
    lib::GCNST.r = 8.0;
    EXPECT_NEAR(lib::ENTHHC(4, 310.0, 300.0), 3.5 * 8.31451 * 10.0, 0.5);
    EXPECT_NEAR(lib::ENTHHC(3, 310.0, 300.0) + lib::ENTHHC(3, 300.0, 310.0), 0.0, 1e-9);
    EXPECT_EQ(lib::GCNST.r, 8.0);
}

TEST(HeatTest, FormulasAndStoredValues) {
    ASSERT_EQ(setup(4, "methane|ethane|butane|argon"), 0);
    double hg = 0, hn = 0;
    int ierr = 0;
    std::string herr;
    const double me[20] = {1.0};
    lib::HEAT(kT0, 0.0, me, hg, hn, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(hg, 1000.0 * lib::HTCM[1], 1e-6);
    const double latent = lib::ENTHHC(1, kT0, -1) - lib::ENTHHC(0, kT0, -1);
    EXPECT_NEAR(hn, hg - 2.0 * latent, 1e-6);  // CH4: H 4
    const double bu[20] = {0.0, 0.0, 1.0};     // "{C4H10}"
    lib::HEAT(kT0, 0.0, bu, hg, hn, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(hg - hn, 5.0 * latent, 1e-6);
    const double ar[20] = {0.0, 0.0, 0.0, 1.0};
    lib::HEAT(kT0, 0.0, ar, hg, hn, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(hg, 0.0, 1e-9);
    // A natural gas: the fraction-weighted sum at 25 C.
    const double gas[20] = {0.9, 0.06, 0.03, 0.01};
    lib::HEAT(kT0, 0.0, gas, hg, hn, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(hg, 1000.0 * (0.9 * lib::HTCM[1] + 0.06 * lib::HTCM[2] + 0.03 * lib::HTCM[3]),
                1e-6);
    // At another temperature: finite, and below the value at 25 C for a
    // hotter fuel (the products carry away more sensible heat).
    double hg2 = 0;
    lib::HEAT(400.0, 0.0, gas, hg2, hn, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_TRUE(std::isfinite(hg2) && std::isfinite(hn));
    // A formula that names carbon twice.
    lib::CNAM80.formula[2] = lib::fixed_width("CH3CH3                !chemical formula", 255);
    const double et[20] = {0.0, 1.0};
    lib::HEAT(kT0, 0.0, et, hg, hn, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(std::string(herr.c_str()), "[HEAT error 1] Error in chemical formula");
    EXPECT_EQ(hg, 0.0);
    // A component without a stored value fails only when it takes part.
    lib::CNAM80.formula[2] = lib::fixed_width("C2H6                  !chemical formula", 255);
    lib::HTCM[2] = -1.0;
    lib::HEAT(kT0, 0.0, me, hg, hn, ierr, herr);
    EXPECT_EQ(ierr, 0);
    lib::HEAT(kT0, 0.0, et, hg, hn, ierr, herr);
    EXPECT_EQ(ierr, 2);
    EXPECT_EQ(std::string(herr.c_str()),
              "[HEAT error 2] Heating values are not available for all species in the mixture");
    setup(1, "nitrogen");
}

TEST(ExcessTest, IdentitiesAndAbsentComponents) {
    ASSERT_EQ(setup(3, "methane|ethane|propane"), 0);
    const double T = 250.0, P = 5000.0;
    const double x[20] = {0.6, 0.4, 0.0};
    double D = 0, v, e, h, s, a, g;
    int ierr = 0;
    std::string herr;
    lib::EXCESS(T, P, x, 0, D, v, e, h, s, a, g, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    for (double q : {D, v, e, h, s, a, g}) EXPECT_TRUE(std::isfinite(q));
    EXPECT_NEAR(g, h - T * s, 1e-8 * std::max(1.0, std::fabs(h)));
    EXPECT_NEAR(a, e - T * s, 1e-8 * std::max(1.0, std::fabs(e)));
    // The same mixture without the absent component.
    ASSERT_EQ(setup(2, "methane|ethane"), 0);
    double D2 = 0, v2, e2, h2, s2, a2, g2;
    lib::EXCESS(T, P, x, 0, D2, v2, e2, h2, s2, a2, g2, ierr, herr);
    EXPECT_NEAR(h2, h, 1e-9 * std::fabs(h));
    EXPECT_NEAR(s2, s, 1e-9 * std::fabs(s));
    // A pure composition has no excess.
    const double pure[20] = {1.0};
    lib::EXCESS(T, P, pure, 0, D2, v2, e2, h2, s2, a2, g2, ierr, herr);
    EXPECT_EQ(h2, 0.0);
    EXPECT_EQ(g2, 0.0);
}

TEST(ExcessTest, SupercompressibilityAndCurvature) {
    ASSERT_EQ(setup(2, "methane|ethane"), 0);
    const double x[20] = {0.9, 0.1};
    // At the metering base state itself Fpv is 1.
    const double Tb = 288.705555555556, Pb = 101.55977492837;
    double Db = 0;
    int ierr = 0;
    std::string herr;
    lib::TPRHO(Tb, Pb, x, 2, 0, Db, ierr, herr);
    EXPECT_NEAR(lib::FPV(Tb, Db, Pb, x), 1.0, 1e-12);
    double P = 0;
    lib::PRESS(300.0, 5.0, x, P);
    EXPECT_GT(lib::FPV(300.0, 5.0, P, x), 1.0);  // Z below 1 at 5 mol/L
    EXPECT_EQ(lib::RIEM(300.0, 1e-9, x), 0.0);
    EXPECT_TRUE(std::isfinite(lib::RIEM(300.0, 5.0, x)));
    // A pure composition gives the pure fluid's curvature.
    const double me[20] = {1.0};
    const double r = lib::RIEM(300.0, 5.0, me);
    ASSERT_EQ(setup(1, "methane"), 0);
    EXPECT_EQ(lib::RIEM(300.0, 5.0, me), r);
}

}  // namespace
