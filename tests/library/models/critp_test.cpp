// Pure-fluid test, gas constant of a composition and the extreme points of a
// traced phase boundary.
#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/records.h"
#include "library/phase/records.h"
#include "library/setup/records.h"

namespace {

class CritpTest : public ::testing::Test {
protected:
    void SetUp() override {
        lib::NCOMP.nc = 2;
        lib::NCOMP.ic = 0;
        lib::CCON.rgas[1] = 8.314472;
        lib::CCON.rgas[2] = 8.31451;
        lib::CCON.tc[1] = 126.192;
        lib::CCON.pc[1] = 3395.8;
        lib::CCON.dc[1] = 11.1839;
        lib::SATSPL.built = 0;
        lib::MAXTP = lib::MaxtpRecord{};
    }
    void TearDown() override {
        lib::NCOMP.nc = 0;
        lib::NCOMP.ic = 0;
        lib::SATSPL.built = 0;
        lib::MAXTP = lib::MaxtpRecord{};
    }
};

TEST_F(CritpTest, PureComponentTest) {
    const double mix[20] = {0.5, 0.5};
    const double almost[20] = {1.0 - 1e-13, 1e-13};
    const double not_quite[20] = {1.0 - 2e-12, 2e-12};
    const double second[20] = {0.0, 1.0};
    EXPECT_EQ(lib::ISPURE(mix), 0);
    EXPECT_EQ(lib::ISPURE(almost), 1);
    EXPECT_EQ(lib::ISPURE(not_quite), 0);
    EXPECT_EQ(lib::ISPURE(second), 2);
    lib::NCOMP.ic = 2;  // a selected component wins over x
    EXPECT_EQ(lib::ISPURE(mix), 2);
    lib::NCOMP.ic = 0;
    lib::NCOMP.nc = 1;
    const double zero[20] = {};
    EXPECT_EQ(lib::ISPURE(zero), 1);
}

TEST_F(CritpTest, GasConstantOfAComposition) {
    // A mixture takes the molar gas constant; GERG-2008 mode the weighted
    // sum of its components' (all equal there).
    const double mix[20] = {0.25, 0.75};
    double r = 0;
    lib::RMIX2(mix, r);
    EXPECT_DOUBLE_EQ(r, lib::kRmixture);
    EXPECT_DOUBLE_EQ(lib::GCNST.r, r);
    lib::FLAGS2.gerg04 = 1;
    lib::RMIX2(mix, r);
    lib::FLAGS2.gerg04 = 0;
    EXPECT_DOUBLE_EQ(r, 0.25 * 8.314472 + 0.75 * 8.31451);
    const double zero[20] = {};
    lib::RMIX2(zero, r);
    EXPECT_DOUBLE_EQ(r, lib::kRmixture);
    const double pure2[20] = {0.0, 1.0};
    lib::RMIX2(pure2, r);
    EXPECT_DOUBLE_EQ(r, 8.31451);
}

TEST_F(CritpTest, ExtremePointsOfTheTracedBoundary) {
    const double x[20] = {0.4, 0.6};
    double t, p, d;
    int ierr = 0;
    std::string herr;
    lib::MAXT(x, t, p, d, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[MAXT error] Maximum temperature not known");
    EXPECT_EQ(t, 300.0);
    lib::SATSPL.built = 1;
    lib::SATSPL.z[0] = 0.4 + 1e-6;
    lib::SATSPL.z[1] = 0.6;
    lib::MAXTP.tmax_flag = 0;
    lib::MAXTP.tmax_t = 210.0;
    lib::MAXTP.tmax_p = 5000.0;
    lib::MAXTP.tmax_d = 8.0;
    lib::MAXT(x, t, p, d, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(t, 210.0);
    lib::SATSPL.z[0] = 0.4 + 2e-6;
    lib::MAXT(x, t, p, d, ierr, herr);
    EXPECT_EQ(ierr, 1);
    lib::MAXP(x, t, p, d, ierr, herr);
    EXPECT_EQ(herr, "[MAXP error] Maximum pressure not known");
    // A pure fluid's extreme points are its critical point.
    const double pure[20] = {1.0, 0.0};
    lib::MAXP(pure, t, p, d, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(t, 126.192);
}

}  // namespace
