// Fluid-specific and older transport models: published check values, the
// scaled hydrogen and helium-3 forms, blends between regimes, empirical
// enhancements, friction theory in the two-phase region, the Chung
// conductivity and water in a mixture slot.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/transport/chung.h"
#include "library/transport/enhancement.h"
#include "library/transport/etak.h"
#include "library/transport/records.h"
#include "library/transport/tcxk.h"
#include "library/transport/vs0.h"
#include "library/transport/vs4.h"
#include "tests/library/transport/transport_texts.h"

namespace {

using lib::Code;

using trtext::Result;
using trtext::trnprp;

class SpecificTest : public ::testing::Test {
protected:
    void TearDown() override {
        lib::store::restore();
        trtext::setup("nitrogen");
    }
};

// (T K, rho kg/m3) -> viscosity uPa s or conductivity mW/(m K).
struct Check {
    const char* fluid;
    double T, rho, value, tol;
    bool eta;
};
const Check kChecks[] = {
    // Water, IAPWS 2008 viscosity and 2011 conductivity.
    {"water", 298.15, 998, 889.735100, 1e-6, true},
    {"water", 298.15, 1200, 1437.649467, 1e-6, true},
    {"water", 373.15, 1000, 307.883622, 1e-6, true},
    {"water", 433.15, 1, 14.538324, 1e-6, true},
    {"water", 433.15, 1000, 217.685358, 1e-6, true},
    {"water", 873.15, 1, 32.619287, 1e-6, true},
    {"water", 873.15, 100, 35.802262, 1e-6, true},
    {"water", 873.15, 600, 77.430195, 1e-6, true},
    {"water", 1173.15, 1, 44.217245, 1e-6, true},
    {"water", 1173.15, 100, 47.640433, 1e-6, true},
    {"water", 1173.15, 400, 64.154608, 1e-6, true},
    {"water", 647.35, 122, 25.520677, 1e-5, true},
    {"water", 647.35, 222, 31.337589, 1e-5, true},
    {"water", 647.35, 272, 36.228143, 1e-5, true},
    {"water", 647.35, 322, 42.961579, 1e-5, true},
    {"water", 647.35, 372, 45.688204, 1e-5, true},
    {"water", 647.35, 422, 49.436256, 1e-5, true},
    {"water", 298.15, 1e-9, 18.4341883, 1e-6, false},
    {"water", 298.15, 998, 607.712868, 1e-6, false},
    {"water", 298.15, 1200, 799.038144, 1e-6, false},
    {"water", 873.15, 1e-9, 79.1034659, 1e-6, false},
    {"water", 647.35, 1, 51.9298924, 2e-4, false},
    {"water", 647.35, 122, 130.922885, 2e-4, false},
    {"water", 647.35, 222, 367.787459, 2e-4, false},
    {"water", 647.35, 272, 757.959776, 2e-4, false},
    {"water", 647.35, 322, 1443.75556, 2e-4, false},
    {"water", 647.35, 372, 650.319402, 2e-4, false},
    {"water", 647.35, 422, 448.883487, 2e-4, false},
    {"water", 647.35, 750, 600.961346, 2e-4, false},
    // Heavy water (IAPWS 2007), eta/55.2651 at (T/643.847, rho/358).
    {"d2o", 0.5 * 643.847, 3.07 * 358, 12.0604912273 * 55.2651, 1e-5, true},
    {"d2o", 0.9 * 643.847, 2.16 * 358, 1.6561616211 * 55.2651, 1e-5, true},
    {"d2o", 1.2 * 643.847, 0.8 * 358, 0.7651099154 * 55.2651, 1e-5, true},
    // R23 (Shan et al. 2000), densities as mol/L times M (70.014).
    {"r23", 180, 21.097 * 70.014, 353.88, 1e-4, true},
    {"r23", 420, 7.564 * 70.014, 39.459, 1e-4, true},
    {"r23", 370, 0.03262 * 70.014, 18.213, 1e-4, true},
    {"r23", 180, 21.097 * 70.014, 143.19, 2e-4, false},
    {"r23", 420, 7.564 * 70.014, 50.19, 2e-4, false},
    {"r23", 370, 0.03262 * 70.014, 17.455, 2e-4, false},
    // Nitrogen (Lemmon and Jacobsen 2004), densities as mol/L times M.
    {"nitrogen", 100, 1e-14 * 28.01348, 6.90349, 1e-5, true},
    {"nitrogen", 300, 1e-14 * 28.01348, 17.8771, 1e-5, true},
    {"nitrogen", 100, 25 * 28.01348, 79.7418, 1e-5, true},
    {"nitrogen", 200, 10 * 28.01348, 21.0810, 1e-5, true},
    {"nitrogen", 300, 5 * 28.01348, 20.7430, 1e-5, true},
    {"nitrogen", 126.195, 11.18 * 28.01348, 18.2978, 1e-5, true},
    {"nitrogen", 100, 1e-14 * 28.01348, 9.27749, 1e-5, false},
    {"nitrogen", 300, 1e-14 * 28.01348, 25.9361, 1e-5, false},
    {"nitrogen", 100, 25 * 28.01348, 103.834, 1e-5, false},
    {"nitrogen", 200, 10 * 28.01348, 36.0099, 1e-5, false},
    {"nitrogen", 300, 5 * 28.01348, 32.7694, 1e-5, false},
    {"nitrogen", 126.195, 11.18 * 28.01348, 675.800, 1e-3, false},
    // Carbon dioxide: Huber et al. (2016) conductivity; Laesecke and Muzny
    // (2017) viscosity (its dilute gas a fitted block), within half a unit
    // of the last printed digit (the rows at 100 K and 10000 K lie beyond
    // the equation's range).
    {"co2", 250, 2.2722e-8 * 44.0098, 12.99, 0.005 / 12.99, false},
    {"co2", 250, 0.045444 * 44.0098, 13.05, 0.005 / 13.05, false},
    {"co2", 250, 24.0401 * 44.0098, 140.00, 0.005 / 140.0, false},
    {"co2", 310, 9.08888 * 44.0098, 73.04, 0.005 / 73.04, false},
    {"co2", 2000, 1e-9, 66.079, 0.0005 / 66.079, true},
    {"co2", 220, 3, 11.104, 0.0005 / 11.104, true},
    {"co2", 225, 1150, 222.18, 0.005 / 222.18, true},
    {"co2", 300, 65, 15.563, 0.0005 / 15.563, true},
    {"co2", 300, 1400, 505.94, 0.005 / 505.94, true},
    {"co2", 700, 100, 33.112, 0.0005 / 33.112, true},
    {"co2", 700, 1200, 229.80, 0.005 / 229.80, true},
    // Methanol (Xiang et al. 2006), hydrogen (Muzny et al. 2013), SF6.
    {"methanol", 300, 0.12955, 9.696, 1e-3, true},
    {"methanol", 300, 788.41, 542.2, 1e-3, true},
    {"methanol", 630, 0.061183, 20.81, 1e-3, true},
    {"hydrogen", 35, 100, 54.7889, 1e-3, true},
    {"sf6", 300, 1e-9, 15.2887, 1e-4, true},
    {"sf6", 300, 5.92, 15.3043, 1e-4, true},
    {"sf6", 300, 1345.1, 117.417, 1e-4, true},
    {"sf6", 400, 1e-9, 19.6796, 1e-4, true},
    {"sf6", 400, 278.47, 24.4272, 1e-4, true},
    {"sf6", 400, 1123.8, 84.7835, 1e-4, true},
};

TEST_F(SpecificTest, PublishedValues) {
    std::string current;
    for (const Check& c : kChecks) {
        if (c.fluid != current) {
            ASSERT_EQ(trtext::setup(c.fluid), 0) << c.fluid;
            current = c.fluid;
        }
        // Densities in kg/m3, those given in mol/L times the molar mass they
        // were given with.
        const double M = current == "r23"        ? 70.014
                         : current == "nitrogen" ? 28.01348
                         : current == "co2"      ? 44.0098
                                                 : lib::CCON.wm[1];
        const Result r = trnprp(c.T, c.rho / M);
        EXPECT_EQ(r.ierr, 0) << c.fluid << " " << r.herr;
        const double got = c.eta ? r.eta : r.tcx * 1e3;
        EXPECT_NEAR(got / c.value, 1.0, c.tol) << c.fluid << " T = " << c.T << " rho = " << c.rho;
    }
}

TEST_F(SpecificTest, ScaledHydrogenAndHeliumForms) {
    ASSERT_EQ(trtext::setup("hydrogen"), 0);
    int ierr = 0;
    std::string herr;
    for (const auto& [T, D] : {std::pair{20.0, 35.0}, {100.0, 10.0}, {300.0, 0.1}}) {
        const double h2a = lib::ETA0HC(1, T, D, ierr, herr);
        lib::HCMOD.eta[1] = Code("T2");
        EXPECT_EQ(lib::ETA0HC(1, T, D, ierr, herr), h2a * 1.7320508075688772);
        lib::HCMOD.eta[1] = Code("H2A");
    }
    ASSERT_EQ(trtext::setup("helium"), 0);
    for (const auto& [T, D] : {std::pair{4.0, 30.0}, {105.0, 1.0}, {400.0, 0.1}}) {
        const double he = lib::ETA0HC(1, T, D, ierr, herr);
        lib::HCMOD.eta[1] = Code("HE3");
        EXPECT_EQ(lib::ETA0HC(1, T, D, ierr, herr), he * 0.8660254037844386);
        lib::HCMOD.eta[1] = Code("HE");
    }
    lib::HCMOD.eta[1] = Code("XYZ");
    lib::ETA0HC(1, 300, 1, ierr, herr);
    EXPECT_EQ(ierr, 49);
    EXPECT_EQ(herr, "[ETA0HC error 49] unknown viscosity model specified");
}

// Helium between 100 and 110 K: the high-temperature form enters linearly,
// half of it at 105 K (dilute gas: the density factor is 1).
TEST_F(SpecificTest, HeliumViscosityBlend) {
    ASSERT_EQ(trtext::setup("helium"), 0);
    const double T = 105.0, L = std::log(T);
    const double eta0 = std::exp(1.00347841 - 0.135311743 / L + 1.20654649 * L -
                                 0.149564551 * L * L + 0.0125208416 * L * L * L);
    const double etah =
        196.0 * std::pow(T, 0.71938) * std::exp(12.451 / T - 295.67 / (T * T) - 4.1249);
    EXPECT_NEAR(lib::ETAHE(1, T, 0.0), (eta0 + etah) / 20.0, 1e-13);
    EXPECT_NEAR(lib::ETAHE(1, 100.0, 0.0), lib::ETAHE(1, 100.0 + 1e-9, 0.0), 1e-9);
    EXPECT_NEAR(lib::ETAHE(1, 110.0 - 1e-9, 0.0), lib::ETAHE(1, 110.0, 0.0), 1e-9);
}

TEST_F(SpecificTest, WaterAtItsReducingPoint) {
    ASSERT_EQ(trtext::setup("water"), 0);
    const Result r = trnprp(647.096, 322.0 / 18.015268);
    EXPECT_EQ(r.ierr, 0) << r.herr;
    EXPECT_TRUE(std::isfinite(r.eta) && r.eta > 0.0);
    EXPECT_TRUE(std::isfinite(r.tcx) && r.tcx > 0.0);
}

// Water as the second component keeps its own correlations and enhancement.
TEST_F(SpecificTest, WaterInAMixtureSlot) {
    ASSERT_EQ(trtext::setup("water"), 0);
    const Result pure = trnprp(647.35, 300.0 / 18.015268);
    ASSERT_EQ(trtext::setup("nitrogen|water", 2), 0);
    const double x[20] = {0.0, 1.0};
    const Result r = trnprp(647.35, 300.0 / 18.015268, x);
    EXPECT_EQ(r.eta, pure.eta);
    EXPECT_EQ(r.tcx, pure.tcx);
    // Water above 5 % without pair parameters has no transport model; below
    // it the mixture is computed.
    const double wet[20] = {0.94, 0.06};
    Result m = trnprp(350, 0.04, wet);
    EXPECT_EQ(m.ierr, 50);
    EXPECT_EQ(m.herr,
              "[TRNPRP error 50] transport equations are not available for mixtures with water at "
              "molar concentrations greater than 5%");
    const double damp[20] = {0.96, 0.04};
    m = trnprp(350, 0.04, damp);
    EXPECT_LE(m.ierr, 0) << m.herr;
    EXPECT_GT(m.eta, 0.0);
    EXPECT_GT(m.tcx, 0.0);
}

// "TK1" with a negative reducing temperature (tau = 456.831/T) and an
// exponential sum beyond -500.
TEST_F(SpecificTest, EmpiricalEnhancementTk1) {
    ASSERT_EQ(trtext::setup("r123"), 0);
    ASSERT_EQ(lib::CREMOD.set[lib::kCreTcx][1], Code("TK1"));
    const double T = 430.0, D = 3.0, tau = 456.831 / T, del = D / (550.0 / lib::CCON.wm[1]);
    EXPECT_NEAR(
        lib::TCX1CR(1, T, D),
        0.00486742 * std::exp(-100.0 * std::pow(tau - 1.0, 4) - 7.08535 * (del - 1) * (del - 1)),
        1e-15);
    auto with_sum = [&](double g) {
        const int slot = trtext::slot_of("xenon");
        lib::store::override_text(slot,
                                  "<<xenon>>\n100\n1000\n1e5\n30\n1 0 1 0\n-456.831 3 2.0\n"
                                  "1 0 0 0 0 0\n-456.831 3\n" +
                                      std::to_string(g) + " 0 0 0 0 0\n");
        lib::ILINE = 1;
        int ierr = 0;
        std::string herr;
        lib::SETTK1(slot, 1, "cas", ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        return lib::TCX1CR(1, T, D);
    };
    EXPECT_EQ(with_sum(-501.0), 0.0);
    EXPECT_EQ(with_sum(-499.0), 2.0 * std::exp(-499.0));
}

// Friction theory: linear in D inside the dome; the selected component is
// the same after every call.
TEST_F(SpecificTest, FrictionTheoryInTheDome) {
    ASSERT_EQ(trtext::setup("methane"), 0);
    const double T = 150.0, x[20] = {1.0};
    double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    lib::SATT(T, x, lib::kBubblePoint, P, Dl, Dv, xl, xv, ierr, herr);
    ASSERT_EQ(ierr, 0);
    auto at = [&](double f) { return lib::ETA4RS(1, T, Dv + f * (Dl - Dv)); };
    EXPECT_NEAR(at(0.5) - at(0.25), at(0.75) - at(0.5), 1e-9 * std::fabs(at(0.5)));
    ASSERT_EQ(trtext::setup("methane|ethane", 2), 0);
    for (int selected : {0, 2}) {
        lib::PUREFLD(selected);
        lib::ETA4RS(1, T, 0.5 * (Dl + Dv));
        EXPECT_EQ(lib::NCOMP.ic, selected);
    }
    lib::PUREFLD(0);
}

// The Chung conductivity keeps the shared gas constant, its background does
// not depend on an earlier dilute-gas call, and without parameter rows it
// uses the block's own values.
TEST_F(SpecificTest, ChungConductivity) {
    const std::string tc5 =
        trtext::section("#TCX", "TC5", "63\n2000\n2.2e6\n51\n0.3656\n98.94\n0.0372 0 0\n0\nNUL\n");
    ASSERT_EQ(trtext::setup_text(
                  "nitrogen", trtext::with_transport(
                                  "nitrogen", tc5 + trtext::section_of("nitrogen", "#ETA", "VS1") +
                                                  trtext::section_of("nitrogen", "#AUX", "CI1"))),
              0);
    const double R = lib::GCNST.r;
    const double bk = lib::TCX5BK(1, 250.0, 10.0);
    lib::TCX5DG(1, 400.0);
    EXPECT_EQ(lib::TCX5BK(1, 250.0, 10.0), bk);
    EXPECT_EQ(lib::GCNST.r, R);
    const Result r = trnprp(250.0, 10.0);
    EXPECT_EQ(r.ierr, 0) << r.herr;
    EXPECT_TRUE(std::isfinite(r.tcx) && r.tcx > 0.0);
    EXPECT_EQ(lib::GCNST.r, R);
}

// The older forms, which no built-in text uses, on nitrogen's equation:
// their blocks load through the set-up, their special values hold, and
// TRNPRP gives finite values with them.
TEST_F(SpecificTest, OlderForms) {
    const std::string lim = "63\n2000\n2.2e6\n51\n";
    const std::string vs2 = trtext::section(
        "#ETA", "VS2",
        lim +
            "CI0\n0.3656\n98.94\n0.1413\n0.5\n0.002\n0.01\n1.5\n300\n-10\n400\n1.2\n-30\n"
            "0.5\n100\n2000\n11.18\n");
    const std::string vs3 =
        trtext::section("#ETA", "VS3", lim + "1 0\n100 2\n3 1\n1 1\n100 10 1\n2 0 1 0\n1 0 0 0\n");
    const std::string tc2 = trtext::section(
        "#TCX", "TC2",
        lim +
            "CI0\n0.3656\n98.94\n0.1413\n1.3\n-0.2\n0.001\n0.01\n0\n0.0001\n0\n0\n0.01\n0\nTK2\n"
            "40\n5\n0.5\n1\n1.5e-10\n1.380658e-23\n0.002\n0.01\n1.5\n300\n-10\n400\n1.2\n-30\n0.5\n"
            "100\n2000\n");
    const std::string tc3 = trtext::section(
        "#TCX", "TC3",
        lim +
            "0.3656\n98.94\n1e-3\n0.5\n1\n0.1\n0.01\n0\n0\n0\n0\n0\n0\n0.001\n0.01\n1.5\n300\n"
            "-10\n400\n1.2\n-30\n0.5\n100\n2000\n11.18\n1\n0.5\nNUL\n");
    const std::string tk4 = trtext::section("#AUX", "TK4",
                                            lim +
                                                "6 0 0 0\n126.192 3395.8 11.18 1.0\n1\n"
                                                "1.380658e-23\n0.6\n40\n5\n1.5e-10\n");
    std::string tc1 = trtext::section_of("nitrogen", "#TCX", "TC1");
    tc1.replace(tc1.find("TK3                                  !critical"), 3, "TK4");
    const double T = 150.0, D = 15.0;
    struct Case {
        std::string sections;
        const char* eta;
        const char* tcx;
    };
    const Case cases[] = {
        {vs2 + tc2, "VS2", "TC2"}, {vs3 + tc3, "VS3", "TC3"}, {vs3 + tc1 + tk4, "VS3", "TC1"}};
    for (const Case& c : cases) {
        std::string h;
        ASSERT_EQ(
            trtext::setup_text("nitrogen", trtext::with_transport("nitrogen", c.sections), &h), 0)
            << h;
        EXPECT_EQ(lib::TRNMOD.eta[1], Code(c.eta));
        EXPECT_EQ(lib::TRNMOD.tcx[1], Code(c.tcx));
        const Result r = trnprp(T, D);
        EXPECT_EQ(r.ierr, 0) << r.herr;
        EXPECT_TRUE(std::isfinite(r.eta) && r.eta > 0.0) << c.eta;
        EXPECT_TRUE(std::isfinite(r.tcx) && r.tcx > 0.0) << c.tcx;
        double v = 1.0;
        int ierr = 0;
        std::string herr;
        lib::ETAKR(1, T, 0.0, v, ierr, herr);
        EXPECT_EQ(v, 0.0) << c.eta << ": no residual at D = 0";
        lib::TCXKB(1, T, 0.0, v, ierr, herr);
        EXPECT_EQ(v, 0.0) << c.tcx << ": no background at D = 0";
        lib::TCXKC(1, T, 0.99e-6, v, ierr, herr);
        EXPECT_EQ(v, 0.0) << c.tcx << ": no enhancement below 1e-6 mol/L";
    }
    // VS3 as written: eta0 = 3 (T/100) * 2, eta_r = 2 (D/10) / 1 * 1.
    double eta0 = 0, etar = 0;
    int ierr = 0;
    std::string herr;
    lib::ETAK0(1, T, eta0, ierr, herr);
    lib::ETAKR(1, T, D, etar, ierr, herr);
    EXPECT_DOUBLE_EQ(eta0, 3.0 * T / 100.0 * 2.0);
    EXPECT_DOUBLE_EQ(etar, 2.0 * D / 10.0);
}

}  // namespace
