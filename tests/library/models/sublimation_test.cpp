// The published sublimation lines of water (IAPWS 2011) and carbon dioxide
// (Span and Wagner 1996) in their texts, and the saturation routines below
// the triple point on them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "tests/support/fluid.h"

namespace {

const double kX[20] = {1.0};

TEST(SublimationLines, PublishedValuesAndTheRoutinesOnThem) {
    struct Case {
        const char* fluid;
        double T, P, tol;  // a published point and its relative tolerance
    };
    // Water: the release's check value at 230 K and the triple point; CO2:
    // the normal sublimation temperature.
    for (const Case& c :
         {Case{"water", 230.0, 8.94735e-3, 6e-6}, Case{"water", 273.16, 0.611657, 4e-6},
          Case{"co2", 194.686, 101.325, 1e-4}}) {
        ASSERT_EQ(testsupport::set_up(c.fluid), "");
        int ierr = 0;
        std::string herr;
        double P = 0, T = 0;
        lib::SUBLT(c.T, kX, P, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        EXPECT_NEAR(P, c.P, c.tol * c.P) << c.fluid;
        lib::SUBLP(P, kX, T, ierr, herr);
        EXPECT_NEAR(T, c.T, 1e-7) << c.fluid;
        if (c.T >= 273.0) continue;
        // The saturation routines on the sublimation line.
        double Ps = 0, Dl = 0, Dv = 0, xl[20], xv[20];
        lib::SATT(c.T, kX, 4, Ps, Dl, Dv, xl, xv, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        EXPECT_NEAR(Ps, P, 1e-12 * P);
        int kr = 0;
        double Td = 0, Pd = 0, Dld = 0, Dvd = 0;
        lib::SATD(Dv, kX, 0, kr, Td, Pd, Dld, Dvd, xl, xv, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        EXPECT_EQ(kr, 4);
        EXPECT_NEAR(Td, c.T, 1e-6) << c.fluid;
    }
}

}  // namespace
