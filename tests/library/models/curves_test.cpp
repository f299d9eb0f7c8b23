// Characteristic curves of nitrogen and CO2 against their definitions: Z = 1,
// (dZ/dD)_T = 0 with the Boyle temperature (B = 0) at its low-density end, a
// zero Joule-Thomson coefficient and T (dP/dT)_D = P; and the errors.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/records.h"
#include "tests/support/fluid.h"
#include "tests/support/properties.h"

namespace {

const double kX[20] = {1.0};

double z_of(double T, double D) {
    double P = 0, R = 0;
    lib::PRESS(T, D, kX, P);
    lib::RMIX2(kX, R);
    return P / (D * R * T);
}

TEST(CharacteristicCurves, AgreeWithTheirDefinitions) {
    for (const char* fluid : {"nitrogen", "co2"}) {
        ASSERT_EQ(testsupport::set_up(fluid), "");
        int ierr = 0;
        std::string herr;
        const double dc = lib::ZRED.dred[1];
        for (double D : {0.5 * dc, 0.8 * dc, 1.0 * dc}) {
            double t = 0;
            lib::IDCRV(D, kX, t, ierr, herr);
            ASSERT_EQ(ierr, 0) << herr;
            EXPECT_NEAR(z_of(t, D), 1.0, 1e-10) << fluid << " ideal " << D;

            t = 0;
            lib::BLCRV(D, kX, t, ierr, herr);
            ASSERT_EQ(ierr, 0) << herr;
            const double h = 1e-4 * D;
            EXPECT_NEAR((z_of(t, D + h) - z_of(t, D - h)) / (2 * h), 0.0, 1e-8) << fluid;

            t = 0;
            lib::JTCRV(D, kX, t, ierr, herr);
            ASSERT_EQ(ierr, 0) << herr;
            EXPECT_NEAR(testsupport::therm(t, D, kX).hjt, 0.0, 1e-10)
                << fluid << " Joule-Thomson " << D;

            t = 0;
            lib::JICRV(D, kX, t, ierr, herr);
            ASSERT_EQ(ierr, 0) << herr;
            double dpdt = 0, P = 0;
            lib::PRESS(t, D, kX, P);
            lib::DPDT(t, D, kX, dpdt);
            EXPECT_NEAR(t * dpdt - P, 0.0, 1e-8 * P) << fluid << " Joule " << D;
        }
        // The Boyle curve's low-density end is the Boyle temperature.
        double t = 0, B = 1;
        lib::BLCRV(1e-8, kX, t, ierr, herr);
        ASSERT_EQ(ierr, 0);
        lib::VIRB(t, kX, B);
        EXPECT_NEAR(B, 0.0, 1e-9) << fluid;
    }
    // Errors: a non-positive density, a mixture, no convergence (never t = 0
    // with ierr 0).
    double t = 300.0;
    int ierr = 0;
    std::string herr;
    lib::BLCRV(0.0, kX, t, ierr, herr);
    EXPECT_EQ(ierr, 2);
    EXPECT_EQ(t, 0.0);
    lib::JICRV(1e6, kX, t, ierr, herr);
    EXPECT_GT(ierr, 0);
    EXPECT_EQ(t, 0.0);
}

}  // namespace
