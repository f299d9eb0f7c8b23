// Temporary switches of the saturation routines and flashes: the mixture
// model code (the roads work on the model in use, AGA8 included, and never
// change it) and the print switch (inner calls whose failure is handled are
// kept quiet) are as they were after every exit, successful or failed, on
// every road.
#include "library/phase/satsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "library/setup/records.h"
#include "tests/library/phase/flash_support.h"
#include "tests/support/fluid.h"

namespace {

using namespace flashtest;

class Switches : public ::testing::Test {
protected:
    void TearDown() override {
        lib::PRNTERR = 0;
        testsupport::set_up("nitrogen");
    }
    // Sets both switches, runs the call with the messages it prints caught,
    // and checks that both switches are as they were.  Returns the printed
    // lines.
    template <class Call>
    std::string run(const std::string& what, Call call) {
        lib::PRNTERR = 1;
        lib::EOSMOD.mix = lib::Code("AGA");
        ::testing::internal::CaptureStdout();
        call();
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(lib::PRNTERR, 1) << what;
        EXPECT_TRUE(lib::EOSMOD.mix.is("AGA")) << what << ": " << lib::EOSMOD.mix.str();
        return out;
    }
    double P = 0, T = 0, Dl = 0, Dv = 0, xl[20] = {}, xv[20] = {};
    int ierr = 0, kr = 0;
    std::string herr;
    const double x[20] = {1.0};
};

TEST_F(Switches, RestoredAfterTheSaturationRoutines) {
    ASSERT_TRUE(setup("water"));
    // Success, and the refusals before any switch is set.
    run("SATT", [&] { lib::SATT(400.0, x, 1, P, Dl, Dv, xl, xv, ierr, herr); });
    EXPECT_EQ(ierr, 0);
    run("SATT above Tc", [&] { lib::SATT(700.0, x, 1, P, Dl, Dv, xl, xv, ierr, herr); });
    EXPECT_EQ(ierr, 121);
    run("SATP above Pc", [&] { lib::SATP(1e5, x, 1, T, Dl, Dv, xl, xv, ierr, herr); });
    EXPECT_EQ(ierr, 141);
    run("SATD", [&] { lib::SATD(5.0, x, 0, kr, T, P, Dl, Dv, xl, xv, ierr, herr); });
    EXPECT_EQ(ierr, 0);
    run("SATD at zero density",
        [&] { lib::SATD(0.0, x, 0, kr, T, P, Dl, Dv, xl, xv, ierr, herr); });
    EXPECT_GT(ierr, 0);
    const sattest::Sat sat = sattest::bubble_at(400.0);
    run("MAXWELL", [&] {
        Dl = 0.98 * sat.Dl;
        Dv = 1.02 * sat.Dv;
        lib::MAXWELL(1, 400.0, P, Dl, Dv, ierr, herr);
    });
    EXPECT_EQ(ierr, 0);
    run("MAXWELL above Tc", [&] {
        Dl = 20.0;
        Dv = 5.0;
        lib::MAXWELL(1, 700.0, P, Dl, Dv, ierr, herr);
    });
    EXPECT_EQ(ierr, 1);

    // Failures inside the iterations, after the switches are set: the stated
    // critical point is raised above the equation's, so that no saturation
    // state exists between the two.
    RaisedCriticalPoint raised(1000.0, 40000.0);
    std::string out =
        run("SATT failing", [&] { lib::SATT(700.0, x, 2, P, Dl, Dv, xl, xv, ierr, herr); });
    EXPECT_EQ(ierr, 124);
    EXPECT_NE(out.find("[SATT error 124]"), std::string::npos) << out;
    run("SATP failing", [&] { lib::SATP(30000.0, x, 2, T, Dl, Dv, xl, xv, ierr, herr); });
    EXPECT_EQ(ierr, 144);
    run("SATD failing", [&] { lib::SATD(5.0, x, 0, kr, T, P, Dl, Dv, xl, xv, ierr, herr); });
    EXPECT_EQ(ierr, 161);
    run("SATD failing, first method skipped",
        [&] { lib::SATD(5.0, x, -1, kr, T, P, Dl, Dv, xl, xv, ierr, herr); });
    EXPECT_EQ(ierr, 161);
    // The flashes keep their inner dew point quiet: the (T, p) flash prints
    // only its own failure.
    State r;
    out = run("TPFLSH failing", [&] { r = tp(700.0, 20000.0); });
    EXPECT_EQ(r.ierr, 212);
    EXPECT_EQ(out.rfind(" [TPFLSH error 212]", 0), 0u) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    out = run("TDFLSH failing", [&] { r = td(700.0, 5.0); });
    EXPECT_EQ(r.ierr, 222);
    EXPECT_NE(out.find(" [TDFLSH error 222]"), std::string::npos) << out;
}

TEST_F(Switches, RestoredAfterTheMixtureRoads) {
    ASSERT_EQ(testsupport::set_up("nitrogen|oxygen"), "");
    lib::SETAGA(ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    const double z[20] = {0.79, 0.21};
    run("SATT", [&] { lib::SATT(80.0, z, 1, P, Dl, Dv, xl, xv, ierr, herr); });
    EXPECT_EQ(ierr, 0) << herr;
    run("SATP", [&] { lib::SATP(500.0, z, 2, T, Dl, Dv, xl, xv, ierr, herr); });
    EXPECT_EQ(ierr, 0) << herr;
    run("SATT failing", [&] { lib::SATT(200.0, z, 2, P, Dl, Dv, xl, xv, ierr, herr); });
    EXPECT_GT(ierr, 0);
    run("SATP failing", [&] { lib::SATP(20000.0, z, 1, T, Dl, Dv, xl, xv, ierr, herr); });
    EXPECT_GT(ierr, 0);
    run("SATD", [&] { lib::SATD(0.5, z, 0, kr, T, P, Dl, Dv, xl, xv, ierr, herr); });
    // The switches of the mixture solvers are clear after every road.
    EXPECT_EQ(lib::FLAGS2.sat_status, 0);
    EXPECT_EQ(lib::FLAGS2.spline_status, 0);
    lib::UNSETAGA();
}

}  // namespace
