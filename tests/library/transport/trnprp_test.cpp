// TRNPRP at its entry (the published values of nitrogen and carbon dioxide
// are among the fluid-specific checks): the errors and warnings of missing models, unknown codes,
// range checks with the corresponding-states fallback, and the critical point.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/setup/records.h"
#include "library/transport/etak.h"
#include "library/transport/records.h"
#include "library/transport/tcxk.h"
#include "library/transport/trnecs.h"
#include "tests/library/transport/transport_texts.h"

namespace {

using lib::Code;

constexpr double kNoModel = -9999910.0;
constexpr double kNotComputed = -9999990.0;

using trtext::Result;
using trtext::trnprp;

std::string replace_first(std::string s, const std::string& from, const std::string& to) {
    const auto at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
}

// Nitrogen's transport sections, each limit line replaceable.
struct NitrogenSections {
    std::string tcx = trtext::section_of("nitrogen", "#TCX", "TC1");
    std::string tk3 = trtext::section_of("nitrogen", "#AUX", "TK3");
    std::string eta = trtext::section_of("nitrogen", "#ETA", "VS1");
    std::string ci1 = trtext::section_of("nitrogen", "#AUX", "CI1");
    std::string trn = trtext::section_of("nitrogen", "@TRN", "ECS");
    std::string all() const { return tcx + tk3 + eta + ci1 + trn; }
};

const std::string kTmax = "2000.0                               !upper temperature limit [K]";
const std::string kDmax = "51.077                               !maximum density [mol/L]";

class TrnprpTest : public ::testing::Test {
protected:
    void TearDown() override {
        lib::store::restore();
        trtext::setup("nitrogen");
    }
};

TEST_F(TrnprpTest, NoModelAtAll) {
    const std::string text40 =
        "[TRNPRP error 40] transport equations are not available for one or more of the fluids";
    ASSERT_EQ(trtext::setup_text("1butene", trtext::with_transport("1butene", "")), 0);
    Result r = trnprp(300, 1);
    EXPECT_EQ(r.ierr, 40);
    EXPECT_EQ(r.herr, text40);
    EXPECT_EQ(r.eta, kNotComputed);
    EXPECT_EQ(r.tcx, kNotComputed);
    // Both codes "NUL".
    ASSERT_EQ(
        trtext::setup_text(
            "nitrogen", trtext::with_transport("nitrogen", trtext::section("#ETA", "NUL", "") +
                                                               trtext::section("#TCX", "NUL", ""))),
        0);
    r = trnprp(300, 1);
    EXPECT_EQ(r.ierr, 40);
    EXPECT_EQ(r.herr, text40);
}

TEST_F(TrnprpTest, ConductivityOnly) {
    // Propane's dilute conductivity needs no viscosity; without its crossover
    // term the conductivity is the correlation's at any state.
    ASSERT_EQ(trtext::setup("propane"), 0);
    const Result full = trnprp(600, 2);  // above the crossover's T_ref
    const std::string tcx = replace_first(trtext::section_of("propane", "#TCX", "TC1"),
                                          "TK3                                  !critical",
                                          "NUL                                  !critical");
    ASSERT_EQ(trtext::setup_text("propane", trtext::with_transport("propane", tcx)), 0);
    Result r = trnprp(600, 2);
    EXPECT_EQ(r.ierr, 0) << r.herr;
    EXPECT_EQ(r.eta, kNoModel);
    EXPECT_EQ(r.tcx, full.tcx);
    // Nitrogen's dilute conductivity and crossover term need the viscosity.
    NitrogenSections s;
    ASSERT_EQ(trtext::setup_text("nitrogen", trtext::with_transport("nitrogen", s.tcx + s.tk3)), 0);
    r = trnprp(300, 5);
    EXPECT_EQ(r.ierr, 39);
    EXPECT_EQ(r.herr,
              "[TCXK0 error 39] the dilute-gas conductivity needs the dilute-gas "
              "viscosity, which has no model here");
    EXPECT_EQ(r.eta, kNoModel);
    EXPECT_EQ(r.tcx, kNotComputed);
}

TEST_F(TrnprpTest, ViscosityOutOfRangeConductivityComputed) {
    NitrogenSections s;
    const std::string eta = replace_first(s.eta, kTmax, "500.0  !upper temperature limit [K]");
    ASSERT_EQ(trtext::setup_text("nitrogen",
                                 trtext::with_transport("nitrogen", s.tcx + s.tk3 + eta + s.ci1)),
              0);
    const Result r = trnprp(800, 1);
    EXPECT_EQ(r.ierr, -41);
    EXPECT_EQ(r.herr.rfind("[TRNPRP warning -41] one or more inputs to the viscosity correlation "
                           "are out of range; results may be in error; ",
                           0),
              0u)
        << r.herr;
    EXPECT_EQ(r.eta, kNotComputed);
    double tcx = 0;
    int jerr = 0;
    std::string jtext;
    lib::TCXK(1, 800, 1, tcx, jerr, jtext);
    EXPECT_EQ(r.tcx, tcx);
}

TEST_F(TrnprpTest, ExactlyCritical) {
    ASSERT_EQ(trtext::setup("nitrogen"), 0);
    const Result r = trnprp(lib::CCON.tc[1], lib::CCON.dc[1]);
    EXPECT_EQ(r.ierr, 51);
    EXPECT_EQ(r.herr, "[TRNPRP warning  51] pure fluid property is infinite at exactly Tc, rhoc");
    EXPECT_EQ(r.tcx, kNotComputed);
    EXPECT_GT(r.eta, 10.0);
}

TEST_F(TrnprpTest, UnimplementedAndUnknownCodes) {
    struct Case {
        const char* eta;
        const char* tcx;
        const char* enhancement;
        int ierr;
        const char* herr;
    };
    const Case cases[] = {
        {"VS6", "TC1", "TK3", 49, "[ETAKR error 49] call to unimplemented model (VS6)"},
        {"VSX", "TC1", "TK3", 49, "[ETAKR error 49] unknown viscosity model specified"},
        {"VS1", "TC6", "TK3", 39, "[TCXKB error 39] call to unimplemented model (TC6)"},
        {"VS1", "TCX", "TK3", 39, "[TCXKB error 39] unknown thermal conductivity model specified"},
        {"VS1", "TC1", "TKZ", 39,
         "[TCXKC error 39] unknown thermal conductivity critical enhancement model specified: TKZ"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(trtext::setup("nitrogen"), 0);
        lib::TRNMOD.eta[1] = Code(c.eta);
        lib::TRNMOD.tcx[1] = Code(c.tcx);
        lib::CREMOD.set[lib::kCreTcx][1] = Code(c.enhancement);
        const Result r = trnprp(300, 5);
        EXPECT_EQ(c.ierr == 49 ? r.eta : r.tcx, kNotComputed);
        Result k;
        if (c.ierr == 49)
            lib::ETAK(1, 300, 5, k.eta, k.ierr, k.herr);
        else
            k = r;
        EXPECT_EQ(k.ierr, c.ierr) << c.eta << c.tcx << c.enhancement;
        EXPECT_EQ(k.herr, c.herr);
    }
    // A viscosity block of the unimplemented model fails the set-up.
    std::string h;
    EXPECT_EQ(
        trtext::setup_text(
            "nitrogen", trtext::with_transport("nitrogen", trtext::section("#ETA", "VS6", "")), &h),
        104);
    EXPECT_EQ(
        h,
        "[SETUP error 104] error in setup of (VS6) model for component #  1:  [SETUP error 49] "
        "viscosity model #6 specified in fluid file but not implemented in code.");
}

// Outside both correlations' ranges the corresponding-states model answers:
// -52 (density only), -53 (otherwise); without a block an error and markers.
TEST_F(TrnprpTest, CorrespondingStatesFallback) {
    NitrogenSections s;
    const std::string d30 = "30.0  !maximum density [mol/L]";
    const std::string tcx = replace_first(s.tcx, kDmax, d30);
    const std::string eta = replace_first(s.eta, kDmax, d30);
    ASSERT_EQ(trtext::setup_text("nitrogen", trtext::with_transport(
                                                 "nitrogen", tcx + s.tk3 + eta + s.ci1 + s.trn)),
              0);
    Result r = trnprp(300, 35);
    EXPECT_EQ(r.ierr, -52) << r.herr;
    EXPECT_EQ(r.herr.rfind("[TRNPRP warning -52] the density input", 0), 0u) << r.herr;
    // Nitrogen mapped onto itself: its own sums at the state.
    double etab = 0;
    int jerr = 0;
    std::string jtext;
    lib::ETAKB(0, 300, 35, etab, jerr, jtext);
    EXPECT_NEAR(r.eta, lib::ETA0DG(1, 300) + etab, 1e-9 * r.eta);
    EXPECT_GT(r.tcx, 0.1);

    const std::string eta_t = replace_first(eta, kTmax, "200.0  !upper temperature limit [K]");
    ASSERT_EQ(trtext::setup_text("nitrogen", trtext::with_transport(
                                                 "nitrogen", tcx + s.tk3 + eta_t + s.ci1 + s.trn)),
              0);
    r = trnprp(350, 35);
    EXPECT_EQ(r.ierr, -53) << r.herr;
    EXPECT_GT(r.eta, 0.0);
    EXPECT_GT(r.tcx, 0.0);

    // No corresponding-states block: an error with both markers.
    ASSERT_EQ(trtext::setup_text("nitrogen",
                                 trtext::with_transport("nitrogen", tcx + s.tk3 + eta + s.ci1)),
              0);
    r = trnprp(300, 35);
    EXPECT_EQ(r.ierr, 55);
    EXPECT_NE(r.herr.find("[TRNECS error 55]"), std::string::npos) << r.herr;
    EXPECT_EQ(r.eta, kNotComputed);
    EXPECT_EQ(r.tcx, kNotComputed);
}

TEST_F(TrnprpTest, InvalidInputs) {
    ASSERT_EQ(trtext::setup("nitrogen"), 0);
    for (const auto& [T, D] : {std::pair{NAN, 1.0}, {300.0, NAN}, {-5.0, 1.0}, {300.0, -1.0}}) {
        const Result r = trnprp(T, D);
        EXPECT_GT(r.ierr, 0);
        EXPECT_EQ(r.eta, kNotComputed);
        EXPECT_EQ(r.tcx, kNotComputed);
    }
}

// Beyond the corresponding-states block's limits (liquids at the equation's
// maximum density, where that block gives the values): an error with both
// markers, never a warning sign with them.
TEST_F(TrnprpTest, BeyondTheCorrespondingStatesLimitsIsAnError) {
    struct Case {
        const char* fluid;
        double T, D;  // K, mol/L
    };
    const Case cases[] = {{"c1cc6", 175.54, 10.39862608},     {"c1cc6", 175.55, 10.39856519},
                          {"c3cc6", 193.55, 7.742602321},     {"c3cc6", 193.56, 7.742562389},
                          {"nf3", 66.36, 26.48180695},        {"nf3", 66.37, 26.48137072},
                          {"orthohyd", 14.018, 84.6024071},   {"orthohyd", 112.6162, 91.03579306},
                          {"orthohyd", 211.2144, 87.1981783}, {"propylen", 87.953, 21.72937875},
                          {"propylen", 87.963, 21.72925187},  {"r1216", 124.09, 12.66971222},
                          {"r1216", 124.1, 12.66952673},      {"hydrogen", 13.967, 88.00879704},
                          {"parahyd", 13.8133, 89.91284914},  {"methanol", 175.62, 33.39323751}};
    for (const Case& c : cases) {
        ASSERT_EQ(trtext::setup(c.fluid), 0) << c.fluid;
        const Result r = trnprp(c.T, c.D);
        EXPECT_GT(r.ierr, 0) << c.fluid << " " << c.T << ": " << r.herr;
        EXPECT_NE(r.herr.find("[TRNECS error 1] one or more inputs are out of bounds"),
                  std::string::npos)
            << r.herr;
        EXPECT_EQ(r.eta, kNotComputed) << c.fluid << " " << c.T;
        EXPECT_EQ(r.tcx, kNotComputed) << c.fluid << " " << c.T;
    }
}

// A mixture state beyond twice the equation's upper pressure (the vapour of a
// water + CO bubble point at 240 K and 8.6 GPa) is refused with the limit
// check's text; the same composition at an ordinary density is computed.
TEST_F(TrnprpTest, MixtureBeyondTheHardPressureLimitIsAnError) {
    ASSERT_LE(trtext::setup("water|co", 2), 0);
    const double y[20] = {0.006248660529, 0.9937513395};
    const Result beyond = trnprp(240.02412, 53.897486, y);
    EXPECT_EQ(beyond.ierr, 1) << beyond.herr;
    EXPECT_NE(beyond.herr.find("pressure > 2 x upper limit"), std::string::npos) << beyond.herr;
    EXPECT_EQ(beyond.eta, kNotComputed);
    EXPECT_EQ(beyond.tcx, kNotComputed);
    const Result gas = trnprp(300.0, 1.0, y);
    EXPECT_LE(gas.ierr, 0) << gas.herr;
    EXPECT_GT(gas.eta, 10.0);
    EXPECT_LT(gas.eta, 30.0);
    EXPECT_GT(gas.tcx, 0.01);
    EXPECT_LT(gas.tcx, 0.05);
}

}  // namespace
