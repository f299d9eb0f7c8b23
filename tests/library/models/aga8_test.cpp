// The AGA8 equation: its published check value for the 21-component gas,
// the mixture model "AGA" reached through the library for a gas of the
// built-in fluids, the ideal-gas heat capacities it brings, what SETAGA
// saves and UNSETAGA restores, and the components it maps or refuses.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/aga8.h"
#include "library/models/idealgas.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "tests/support/fluid.h"
#include "tests/support/paths.h"

namespace {

// The test gas of the AGA8 reference program, in the 2017 edition's order.
constexpr double kGas21[21] = {0.77824, 0.02,    0.06,    0.08,    0.03,    0.0015,  0.003,
                               0.0005,  0.00165, 0.00215, 0.00088, 0.00024, 0.00015, 0.00009,
                               0.004,   0.005,   0.002,   0.0001,  0.0025,  0.007,   0.001};

TEST(Aga8Equation, CheckValueOfTheTwentyOneComponentGas) {
    const double T = 400.0, D = 12.80792403648801;
    const double Z = 1.0 + lib::aga8_phi(0, 1, T, D, kGas21);
    EXPECT_NEAR(Z, 1.173801364147328, 1e-12);
    EXPECT_NEAR(Z * D * 8.31451 * T, 50000.0, 1e-7);
    // The reduced derivatives against central differences in T and D.
    const double h = 1e-5;
    auto a = [&](double t, double d) { return lib::aga8_phi(0, 0, t, d, kGas21); };
    const double tau_dt = -T * (a(T * (1 + h), D) - a(T * (1 - h), D)) / (2 * h * T);
    EXPECT_NEAR(lib::aga8_phi(1, 0, T, D, kGas21), tau_dt, 1e-8);
    const double del_dd = (a(T, D * (1 + h)) - a(T, D * (1 - h))) / (2 * h);
    EXPECT_NEAR(lib::aga8_phi(0, 1, T, D, kGas21), del_dd, 1e-8);
    auto d1 = [&](double d) { return lib::aga8_phi(0, 1, T, d, kGas21); };
    EXPECT_NEAR(lib::aga8_phi(0, 2, T, D, kGas21),
                (d1(D * (1 + h)) - d1(D * (1 - h))) / (2 * h) - d1(D), 1e-8);
    auto t1 = [&](double t) { return lib::aga8_phi(1, 0, t, D, kGas21); };
    EXPECT_NEAR(lib::aga8_phi(2, 0, T, D, kGas21),
                -(t1(T * (1 + h)) - t1(T * (1 - h))) / (2 * h) - t1(T), 1e-8);
    EXPECT_NEAR(lib::aga8_phi(1, 1, T, D, kGas21),
                (lib::aga8_phi(1, 0, T, D * (1 + h), kGas21) -
                 lib::aga8_phi(1, 0, T, D * (1 - h), kGas21)) /
                    (2 * h),
                1e-8);
}

class Aga8Model : public ::testing::Test {
protected:
    void TearDown() override { lib::UNSETAGA(); }
};

TEST_F(Aga8Model, NaturalGasThroughTheLibrary) {
    KVR2_REQUIRE_SHARED();
    // Twenty of the components (a composition holds 20); the AGA8
    // composition of the library's gas is the same with argon at 0.
    ASSERT_EQ(testsupport::set_up(
                  "methane|nitrogen|co2|ethane|propane|isobutane|butane|ipentane|pentane|hexane|"
                  "heptane|octane|nonane|decane|hydrogen|oxygen|co|water|h2s|helium"),
              "");
    const double hmx_wm = lib::WMOL(kGas21);
    int ierr = 0;
    std::string herr;
    lib::SETAGA(ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::EOSMOD.mix, lib::Code("AGA"));
    double x[20], y[21] = {};
    double sum = 0.0;
    for (int i = 0; i < 20; ++i) sum += kGas21[i];
    for (int i = 0; i < 20; ++i) y[i] = x[i] = kGas21[i] / sum;
    const double T = 350.0, D = 6.0;
    double P = 0;
    lib::PRESS(T, D, x, P);
    EXPECT_NEAR(P, D * 8.31451 * T * (1.0 + lib::aga8_phi(0, 1, T, D, y)), 1e-9 * P);
    // Ideal-gas heat capacities of the equation (its SOURCE values at 300 K)
    // and its molar masses.
    EXPECT_NEAR(lib::CP0K(1, 300.0), 35.777, 5e-4);
    EXPECT_NEAR(lib::CP0K(2, 300.0), 29.125, 5e-4);
    EXPECT_EQ(lib::CCON.wm[1], 16.043);
    // A second SETAGA keeps what the first saved; UNSETAGA restores it.
    lib::SETAGA(ierr, herr);
    lib::UNSETAGA();
    EXPECT_EQ(lib::EOSMOD.mix, lib::Code("HMX"));
    EXPECT_EQ(lib::WMOL(kGas21), hmx_wm);
    EXPECT_NE(lib::CCON.wm[1], 16.043);
}

TEST_F(Aga8Model, ComponentsTakenAsOthersAndRefused) {
    KVR2_REQUIRE_SHARED();
    ASSERT_EQ(testsupport::set_up("co2|benzene|toluene"), "");
    int ierr = 0;
    std::string herr;
    lib::SETAGA(ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;  // benzene as hexane, toluene as heptane
    EXPECT_EQ(lib::INTMCF.aga[2], 10);
    EXPECT_EQ(lib::INTMCF.aga[3], 11);
    // A composition summing to 0 leaves the parameters as they were.
    const double x[20] = {0.9, 0.05, 0.05};
    lib::SETAG(x);
    const double K = lib::VAR.K;
    const double zero[20] = {};
    lib::SETAG(zero);
    EXPECT_EQ(lib::VAR.K, K);
    lib::UNSETAGA();
    ASSERT_EQ(testsupport::set_up("methane|n2o"), "");
    lib::SETAGA(ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[SETAGA error 1] Not all requested fluids are available in AGA8, 10024-97-2");
    EXPECT_EQ(lib::EOSMOD.mix, lib::Code("HMX"));
}

}  // namespace
