// Loaders of the transport blocks read from the text store, and the forms
// they feed: counts and groups of the viscosity block, the special rows of
// the conductivity block, collision integrals, crossover terms, and blocks
// that are malformed or larger than the tables.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/idealgas.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "library/transport/crossover.h"
#include "library/transport/etak.h"
#include "library/transport/omega.h"
#include "library/transport/records.h"
#include "library/transport/tc1.h"
#include "library/transport/vs1.h"
#include "tests/library/transport/transport_texts.h"

namespace {

using Loader = void (*)(int, int, const std::string&, int&, std::string&);

constexpr int kScratch = 9;  // component slot the blocks are loaded into

class LoadersTest : public ::testing::Test {
protected:
    void TearDown() override {
        lib::store::restore();
        trtext::setup("nitrogen");
    }
    // Loads `body` with `load` into slot k; returns ierr and the lines read.
    int load(Loader loader, const std::string& body, int k = kScratch, int* lines = nullptr) {
        const int slot = trtext::slot_of("xenon");
        lib::store::override_text(slot, "<<xenon>>\n" + body + "\n!end\n");
        lib::ILINE = 1;
        int ierr = 0;
        loader(slot, k, "cas", ierr, herr);
        if (lines != nullptr) *lines = lib::ILINE - 1;
        return ierr;
    }
    std::string herr;
};

const std::string kLimits = "100.0\n1000.0\n100000.0\n30.0\n";

// Viscosity block: dilute none, initial density none, then `residual`.
std::string vs1(const std::string& residual) { return kLimits + "0\n0\n" + residual + "NUL\n"; }

TEST_F(LoadersTest, ViscosityWithoutDiluteGasOrResidualTerms) {
    int lines = 0;
    ASSERT_EQ(load(lib::SETVS1, vs1("0 0 0 0 0 0\n"), kScratch, &lines), 0) << herr;
    EXPECT_EQ(lines, 8);  // no collision-integral, sigma, eps/k or reducing lines
    EXPECT_EQ(lib::ETA1DG(kScratch, 300), 0.0);
    EXPECT_EQ(lib::ETA1RS(kScratch, 300, 10), 0.0);
    EXPECT_EQ(lib::ETA1B2(kScratch, 300), 0.0);
    // A count line "4 0 0 0 0 0" is read as four dilute-gas terms.
    ASSERT_EQ(
        load(lib::SETVS1, kLimits + "4 0 0 0 0 0\nCI0\n0.3\n100\n1 1\n0.1 0.5\n1 0\n2 1\n3 2\n0\n"
                                    "0 0 0 0 0 0\nNUL\n"),
        0)
        << herr;
    EXPECT_EQ(lib::WNTETA[kScratch][0], 4);
    const double T = 250, tr = T;
    const double eta0 =
        0.1 * std::sqrt(tr) / (0.09 * lib::OMEGAS(2, 2, T / 100)) + 1 + 2 * tr + 3 * tr * tr;
    EXPECT_NEAR(lib::ETA1DG(kScratch, T), eta0, 1e-13 * eta0);
}

TEST_F(LoadersTest, ClosePackedDensityAndExponentialFactor) {
    // ncp = -3: delta0 = c1 / (1 + c2 tau^t2 + c3 tau^t3); one polynomial
    // row delta0^1.
    ASSERT_EQ(load(lib::SETVS1, vs1("-3 1 0 0 0 0\n200 10 2\n2.5 0\n0.4 1\n-0.3 2\n1 0 0 1 0\n")),
              0)
        << herr;
    const double tau = 300.0 / 200.0;
    EXPECT_NEAR(lib::ETA1RS(kScratch, 300, 5), 2 * 2.5 / (1 + 0.4 * tau - 0.3 * tau * tau), 1e-14);
    // The exponential factor uses D/D_red, or D/Dc when D_red is 1 within 0.001.
    lib::CCON.dc[kScratch] = 7.0;
    for (const auto& [dred, scale] : {std::pair{11.1839, 11.1839}, {1.0005, 7.0}}) {
        ASSERT_EQ(
            load(lib::SETVS1, vs1("0 1 0 0 0 0\n100 " + std::to_string(dred) + " 1\n1 0 0 0 2\n")),
            0);
        EXPECT_NEAR(lib::ETA1RS(kScratch, 300, 3), std::exp(-std::pow(3 / scale, 2)), 1e-14);
    }
    // Below 1e-10 mol/L the residual is 0; at 1e-10 it is evaluated.
    EXPECT_EQ(lib::ETA1RS(kScratch, 300, 0.99e-10), 0.0);
    EXPECT_GT(lib::ETA1RS(kScratch, 300, 1e-10), 0.0);
}

TEST_F(LoadersTest, RationalAndExponentialGroups) {
    // 1 + (2 D_r) / (1 + T_r) + exp((0.5 D_r) / (1))
    ASSERT_EQ(load(lib::SETVS1, vs1("0 1 1 2 1 1\n100 10 1\n1 0 0 0 0\n2 0 1 0 0\n1 0 0 0 0\n"
                                    "1 1 0 0 0\n0.5 0 1 0\n1 0 0 0\n")),
              0)
        << herr;
    const double tr = 3.0, dr = 0.4;
    EXPECT_NEAR(lib::ETA1RS(kScratch, 300, 4), 1 + 2 * dr / (1 + tr) + std::exp(0.5 * dr), 1e-14);
}

TEST_F(LoadersTest, MalformedOrOversizedBlocksStoreNothing) {
    ASSERT_EQ(load(lib::SETVS1, vs1("0 2 0 0 0 0\n100 10 1\n1 0 0 0 0\n3 0 1 0 0\n")), 0);
    const auto before = lib::WNTETA[kScratch];
    struct Case {
        Loader loader;
        std::string body, text;
    };
    const Case cases[] = {
        {lib::SETVS1, vs1("0 41 0 0 0 0\n"), "residual term count 41 outside its range"},
        {lib::SETVS1, vs1("0 21 20 0 0 0\n100 10 1\n"), "more than 40 term rows (residual)"},
        {lib::SETVS1, vs1("0 1 0 0 0 0\n100 10 1\n1 0 x 0 0\n"), "expected 5 numbers"},
        {lib::SETVS1, kLimits + "0\n", "expected 1 integer (number of initial-density terms)"},
        {lib::SETVS1, vs1("0 1 0 0 0 0\n100 nan 1\n1 0 0 0 0\n"), "expected 3 numbers"},
        {lib::SETTC1, kLimits + "41 0\n600 1\n", "more than 40 term rows"},
        {lib::SETCI1, kLimits + "41\n", "number of terms 41 outside 0..40"},
        {lib::SETTK3, kLimits + "8 0 0 0\n1 1 1\n1\n1\n1\n1\n1\n1\n1\n1\n", "nine terms"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(load(c.loader, c.body), 102) << c.body;
        EXPECT_NE(herr.find(c.text), std::string::npos) << herr;
        EXPECT_EQ(herr.rfind("[SET", 0), 0u) << herr;
    }
    EXPECT_EQ(lib::WNTETA[kScratch], before);
    // Through the set-up: error 104 naming the model.
    std::string h;
    EXPECT_EQ(
        trtext::setup_text("nitrogen",
                           trtext::with_transport(
                               "nitrogen", trtext::section("#ETA", "VS1", vs1("0 41 0 0 0 0\n"))),
                           &h),
        104);
    EXPECT_EQ(h.rfind("[SETUP error 104] error in setup of (VS1) model for component #  1:  "
                      "[SETVS1 error 102] line ",
                      0),
              0u)
        << h;
    // Without a text.
    int ierr = 0;
    lib::SETVS1(0, 1, "7727-37-9", ierr, h);
    EXPECT_EQ(ierr, 101);
    EXPECT_EQ(h, "[SETVS1 error 101] illegal file specified; n_fluid =    0; CAS no. = 7727-37-9");
    lib::SETTK6(-1, 1, "7727-37-9", ierr, h);
    EXPECT_EQ(ierr, 39);
    EXPECT_EQ(h,
              "[SETUP error 39] block data option for t.c. crit model #6 specified for CAS # "
              "7727-37-9    but not implemented in code.");
}

// Dilute-gas rows of the conductivity block on nitrogen's viscosity and
// ideal-gas heat capacity.
class ConductivityRowsTest : public LoadersTest {
protected:
    void SetUp() override {
        ASSERT_EQ(trtext::setup("nitrogen"), 0);
        int ierr = 0;
        std::string h;
        lib::ETAK0(1, T, eta0, ierr, h);
        cp0 = lib::CP0K(1, T);
        R = lib::GCNST.r;
        M = lib::CCON.wm[1];
    }
    double dilute(const std::string& rows, int n) {
        EXPECT_EQ(load(lib::SETTC1,
                       kLimits + std::to_string(n) + " 0\n600 0.5\n" + rows + "0 0\nNUL\n", 1),
                  0)
            << herr;
        return lib::TCX1DG(1, T);
    }
    const double T = 300;
    double eta0 = 0, cp0 = 0, R = 0, M = 0;
};

TEST_F(ConductivityRowsTest, SpecialRows) {
    EXPECT_NEAR(dilute("0 -96\n", 1), 3.75 * R * eta0 / M * 0.5, 1e-15);
    const double s = 2.0;
    EXPECT_NEAR(dilute("2 0\n0 -96\n", 2), ((cp0 / R - 2.5) * s + 3.75) * R * eta0 / M * 0.5,
                1e-15);
    EXPECT_NEAR(dilute("3 0\n0.5 -97\n", 2), (3 + 0.5 * eta0) * 0.5, 1e-14);
    EXPECT_NEAR(dilute("0.2 -98\n", 1), 0.2 * (cp0 - R) * eta0 * 0.5, 1e-14);
    // -90 is a power (tau = 0.5), -90.5 is skipped, -99.0000005 is -99.
    EXPECT_NEAR(dilute("1e-27 -90\n", 1), 1e-27 * std::pow(0.5, -90.0) * 0.5, 1e-14);
    EXPECT_EQ(dilute("1 0\n7 -90.5\n", 2), 0.5);
    EXPECT_NEAR(dilute("1 0\n0.01 -99.0000005\n", 2), (1 + 0.01 * (cp0 - 2.5 * R)) * 0.5, 1e-14);
    // No numerator terms: no reducing line, the denominator rows still read.
    int lines = 0;
    ASSERT_EQ(load(lib::SETTC1, kLimits + "0 2\n1 0\n1 1\n0 0\nNUL\n", 1, &lines), 0) << herr;
    EXPECT_EQ(lines, 9);
    EXPECT_EQ(lib::TCX1DG(1, T), 0.0);
}

TEST_F(ConductivityRowsTest, BackgroundRows) {
    auto bk = [&](const std::string& rows, int n, double Tk, double D, int den = 0) {
        EXPECT_EQ(load(lib::SETTC1,
                       kLimits + "0 0\n" + std::to_string(n) + " " + std::to_string(den) +
                           "\n200 10 1\n" + rows + "NUL\n",
                       1),
                  0)
            << herr;
        return lib::TCX1BK(1, Tk, D);
    };
    EXPECT_NEAR(bk("2 0 1 0\n", 1, 300, 5), 1.0, 1e-15);
    EXPECT_NEAR(bk("2 0 1 2\n", 1, 300, 5), std::exp(-0.25), 1e-15);
    // The -99 row divides by the critical exponential only below T_red and D_red.
    const double b = std::cbrt(1.0 - 150.0 / 200.0);
    const double e = std::exp(-1.880284 * std::pow(b, 1.062) - 2.8526531 * std::pow(b, 2.5) -
                              3.000648 * std::pow(b, 4.5) - 5.251169 * std::pow(b, 7.5) -
                              13.191869 * std::pow(b, 12.5) - 37.553961 * std::pow(b, 23.5));
    EXPECT_NEAR(bk("1 0 0 0\n0 0 0 -99\n", 2, 150, 5), 1.0 / e, 1e-13);
    EXPECT_EQ(bk("1 0 0 0\n0 0 0 -99\n", 2, 250, 5), 1.0);
    EXPECT_EQ(bk("1 0 0 0\n0 0 0 -99\n", 2, 150, 12), 1.0);
    // At D = 0 the denominator is not used and density rows give 0.
    EXPECT_EQ(bk("3 0 0 0\n1 0 1 0\n5 0 0 0\n", 2, 300, 0, 1), 3.0);
}

TEST_F(LoadersTest, CollisionIntegrals) {
    EXPECT_EQ(lib::OMEGA(kScratch, 300, 100, lib::Code("NUL")), 1.0);
    EXPECT_EQ(lib::OMEGA(kScratch, 300, 0, lib::Code("CI0")), 1.0);
    EXPECT_EQ(lib::OMEGA(kScratch, 300, 100, lib::Code("CI0")), lib::OMEGAS(2, 2, 3.0));
    EXPECT_EQ(lib::OMEGAS(1, 2, 1.7), lib::OMEGAS(2, 2, 1.7));
    EXPECT_NE(lib::OMEGAS(1, 1, 1.7), lib::OMEGAS(2, 2, 1.7));
    // CI1 at T = eps/k: L = 1e-20, so the exponent-0 coefficient counts.
    ASSERT_EQ(load(lib::SETCI1, kLimits + "3\n0.4 0\n5 1\n7 2\n"), 0) << herr;
    EXPECT_NEAR(lib::OMEGA(kScratch, 100, 100, lib::Code("CI1")), std::exp(0.4), 1e-15);
    // A nine-term CI2 uses the powers 3 down to -5 of u = (eps/kT)^(1/3).
    std::string rows;
    double c[9];
    for (int k = 0; k < 9; ++k) {
        c[k] = 0.1 * (k + 1) * (k % 2 == 0 ? 1 : -0.5);
        rows += std::to_string(c[k]) + "\n";
    }
    ASSERT_EQ(load(lib::SETCI2, kLimits + "9\n" + rows), 0) << herr;
    const double u = std::cbrt(245.0 / 400.0);
    double s = 0;
    for (int k = 1; k <= 9; ++k) s += std::stod(std::to_string(c[k - 1])) * std::pow(u, 4 - k);
    EXPECT_NEAR(lib::OMEGA(kScratch, 400, 245, lib::Code("CI2")), 1.0 / s, 1e-14 / std::fabs(s));
}

TEST_F(LoadersTest, CrossoverCutoffDefault) {
    ASSERT_EQ(trtext::setup("r116"), 0);
    ASSERT_EQ(lib::CREMOD.set[lib::kCreEcs][1], lib::Code("TK6"));
    lib::WCFTCKE[1][lib::kXoQdInv][0] = 0.0;
    const double x[20] = {1.0};
    int ierr = 0;
    std::string h;
    lib::TCXM1C(x, 300, 4.5, ierr, h);
    EXPECT_EQ(lib::WCFTCKE[1][lib::kXoQdInv][0], 5e-10);
    // Exactly at the critical point: -60, the value still computed.
    lib::TCXM1C(x, lib::CCON.tc[1], lib::CCON.dc[1], ierr, h);
    EXPECT_EQ(ierr, -60);
    EXPECT_EQ(h,
              "[TCXM1C error-60] pure fluid is exactly at the critical point; thermal "
              "conductivity is infinite");
}

}  // namespace
