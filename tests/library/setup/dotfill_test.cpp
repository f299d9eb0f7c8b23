// Filling ratio of a container: refused for the built-in fluids; with the
// permission set, r134a (Tc above 65 C) against its published saturated
// liquid densities at 50 and 60 C and its vapour pressure at 65 C.
#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "library/setup/records.h"
#include "tests/support/fluid.h"

namespace {

TEST(Dotfill, BuiltInFluidsAreNotPermitted) {
    ASSERT_EQ(testsupport::set_up("r134a"), "");
    int ierr = 0;
    std::string herr;
    const double x[20] = {1.0};
    double ptest = 5000.0, fill = 3.0;
    lib::DOTFILL(x, ptest, fill, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "User defined calculations not permitted for this fluid");
    EXPECT_EQ(ptest, 0.0);
    EXPECT_EQ(fill, 0.0);

    lib::CONUN.permit[1] = 1;
    ptest = 5000.0;
    lib::DOTFILL(x, ptest, fill, ierr, herr);
    lib::CONUN.permit[1] = 0;
    EXPECT_EQ(ierr, 0) << herr;
    // 0.95 x 1102.3 kg/m3 at 50 C is below 1052.9 kg/m3 at 60 C.
    EXPECT_NEAR(fill, 0.95 * 1102.3 / 999.10262, 2e-3);
    EXPECT_NEAR(ptest, 1889.1, 2.0);  // the vapour pressure at 65 C, kPa
}

}  // namespace
