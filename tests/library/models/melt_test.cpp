// Melting and sublimation lines: water's ice curves against the published
// check values of the IAPWS 2011 release, the line forms and their errors,
// mixtures and the inversions.
#include "library/models/melt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "tests/support/fluid.h"
#include "tests/support/records.h"

namespace {

constexpr int kText = 1;

std::string num(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::string body(double tred, double pred, int np, int nd, int nl, const std::string& terms) {
    return "<<x>>\n10.0\n1000.0\n0.0\n0.0\n" + num(tred) + " " + num(pred) + "\n" +
           std::to_string(np) + " " + std::to_string(nd) + " " + std::to_string(nl) + " 0 0 0\n" +
           terms;
}

class MeltTest : public ::testing::Test {
protected:
    void SetUp() override {
        lib::NCOMP.nc = 1;
        lib::NCOMP.ic = 0;
        lib::CCON.ttp[1] = 273.16;
        lib::CCON.ptp[1] = 0.611657;
        lib::MELTMOD.slot[1] = lib::Code("MLW");
        lib::WLMMELT.thigh[1] = 715.0;  // water's melting line ends there
        // Water's sublimation line: ln(P/Pt) = (Tt/T) sum a (T/Tt)^b.
        load(lib::SETSBL, lib::SUBLMOD, 1, "SB3",
             body(273.16, 0.611657, 3, 0, 0,
                  "-21.2144006 0.00333333333\n27.3203819 1.20666667\n-6.10598130 1.70333333\n"));
    }
    void TearDown() override { lib::store::restore(); }
    testsupport::SavedRecords<lib::NcompRecord, lib::CconRecord, lib::KindModRecord,
                              lib::KindModRecord, lib::MeltSegmentRecord, lib::AncLimRecord>
        saved{lib::NCOMP, lib::CCON, lib::MELTMOD, lib::SUBLMOD, lib::WSGMELT, lib::WLMMELT};
    void load(void (*f)(int, int, int&, std::string&), lib::KindModRecord& mod, int k,
              const std::string& code, const std::string& text) {
        lib::store::override_text(kText, text);
        lib::ILINE = 1;
        int jerr = -5;
        std::string jmsg = "stale";
        f(kText, k, jerr, jmsg);
        ASSERT_EQ(jerr, 0) << jmsg;
        mod.slot[k] = lib::Code(code);
    }
    int ierr = 0;
    std::string herr;
    const double x1[20] = {1.0};
};

TEST_F(MeltTest, WaterCurvesAgainstPublishedValues) {
    double hi = 0, ih = 0;
    lib::MLTH2O(260.0, hi, ih);
    EXPECT_NEAR(ih / 138268.0, 1.0, 5e-6);
    lib::MLTH2O(254.0, hi, ih);
    EXPECT_NEAR(hi / 268685.0, 1.0, 5e-6);
    lib::MLTH2O(265.0, hi, ih);
    EXPECT_NEAR(hi / 479640.0, 1.0, 5e-6);
    lib::MLTH2O(320.0, hi, ih);
    EXPECT_NEAR(hi / 1356760.0, 1.0, 5e-6);
    EXPECT_EQ(ih, 0.0);
    lib::MLTH2O(550.0, hi, ih);
    EXPECT_NEAR(hi / 6308710.0, 1.0, 5e-6);
    // Both lines at the ice Ih-III-liquid triple point (251.165 K).
    lib::MLTH2O(251.165, hi, ih);
    EXPECT_NEAR(ih / hi, 1.0, 1e-3);
    lib::MLTH2O(250.0, hi, ih);
    EXPECT_EQ(hi, 0.0);
    EXPECT_EQ(ih, 0.0);
    double p = 0;
    lib::SUBLK(1, 230.0, p, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(p / 8.94735e-3, 1.0, 5e-6);
}

TEST_F(MeltTest, WaterMeltingPressureAndItsInversion) {
    double p = 0, hi = 0, ih = 0, t = 0;
    lib::MELTK(1, 260.0, p, ierr, herr);  // the ice V curve, not ice Ih
    EXPECT_EQ(ierr, 0);
    lib::MLTH2O(260.0, hi, ih);
    EXPECT_EQ(p, hi);
    EXPECT_GT(p, 350100.0);
    lib::MELTK(1, 251.0, p, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(p, 0.0);
    EXPECT_EQ(herr,
              "[MELTK error 1] temperature less than lower temperature limit; T =  251.00 K, Tlow "
              "=  251.16 K.");

    lib::MELTP(100000.0, x1, t, ierr, herr);  // on the ice Ih branch
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_GT(t, 251.165);
    EXPECT_LT(t, 273.16);
    lib::MLTH2O(t, hi, ih);
    EXPECT_NEAR(ih / 100000.0, 1.0, 1e-9);
    lib::MELTP(300000.0, x1, t, ierr, herr);  // on the ice III curve
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_GE(t, 251.165);
    EXPECT_LT(t, 256.164);
    lib::MLTH2O(t, hi, ih);
    EXPECT_NEAR(hi / 300000.0, 1.0, 1e-9);
    lib::MELTP(0.5, x1, t, ierr, herr);
    EXPECT_EQ(ierr, 2);
    EXPECT_EQ(t, 273.16);
}

TEST_F(MeltTest, LineFormsAndTheirErrors) {
    lib::CCON.ttp[1] = 60.0;
    // ML1: P = Pred (a1 + a2 Tr^t2), Simon-like; lower limit is Ttp, not 10 K.
    load(lib::SETMLT, lib::MELTMOD, 1, "ML1",
         body(60.0, 1.0, 2, 0, 0, "-2000.0 0.0\n2000.0 1.8\n"));
    double p = 0;
    lib::MELTK(1, 59.99, p, ierr, herr);
    EXPECT_EQ(ierr, 1);
    lib::MELTK(1, 90.0, p, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(p, -2000.0 + 2000.0 * std::pow(1.5, 1.8), 1e-9);
    // ML2: P = Pred exp(S) with a difference term (Tr - 1)^t.
    load(lib::SETMLT, lib::MELTMOD, 1, "ML2", body(60.0, 0.5, 0, 1, 0, "3.0 1.0\n"));
    lib::MELTK(1, 90.0, p, ierr, herr);
    EXPECT_NEAR(p, 0.5 * std::exp(1.5), 1e-12);
    lib::MELTMOD.slot[1] = lib::Code("MLX");  // any other "ML" code: P = S
    lib::MELTK(1, 90.0, p, ierr, herr);
    EXPECT_NEAR(p, 1.5, 1e-12);
    lib::MELTMOD.slot[1] = lib::Code("QVB");
    lib::MELTK(1, 90.0, p, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(p, 0.0);
    double t = 0;
    lib::MELTP(1000.0, x1, t, ierr, herr);  // no line: the triple point, no error
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(t, 60.0);
    lib::MELTMOD.slot[1] = lib::Code("XX1");
    lib::MELTK(1, 90.0, p, ierr, herr);
    EXPECT_EQ(ierr, 105);
    EXPECT_EQ(herr, "[MELTK error 105] unknown melting line model:  (XX1)");

    // The two branches of the parahydrogen form meet at 22 K.
    load(lib::SETMLT, lib::MELTMOD, 1, "MLP",
         body(1.0, 1.0, 4, 0, 0, "-10.0 0.0\n2.0 1.5\n-20.0 0.0\n3.0 2.0\n"));
    lib::CCON.ttp[1] = 13.8;
    lib::MELTK(1, 22.0, p, ierr, herr);
    EXPECT_NEAR(p, -20.0 + 3.0 * 22.0 * 22.0, 1e-9);
    lib::MELTK(1, 23.0, p, ierr, herr);
    EXPECT_NEAR(p, -10.0 + 2.0 * std::pow(23.0, 1.5), 1e-9);

    std::string nine;
    for (int i = 0; i < 9; ++i) nine += "1.0 1.0\n";
    lib::store::override_text(kText, body(1.0, 1.0, 5, 4, 0, nine));
    lib::ILINE = 1;
    lib::SETMLT(kText, 1, ierr, herr);
    EXPECT_GT(ierr, 0);
}

// A line published in segments: each segment holds from its own lower
// temperature on, with its own reducing values; the inversion finds the
// segment whose pressures hold P, and at a step of the line between two
// segments gives the temperature of the step.
TEST_F(MeltTest, SegmentsEachInTheirOwnRange) {
    lib::CCON.ttp[1] = 60.0;
    lib::CCON.ptp[1] = 1.0;
    // 60-80 K: P = 1000 Tr^2 - 999 at Tr = T/60; from 80 K (a step up from
    // 778 to 2000 kPa): P = 2000 (1 + 3 (T/80 - 1)); from 100 K (a step up
    // from 3500 to 9000 kPa): P = 9000 T/100.
    const std::string text =
        "<<x>>\n60.0\n120.0\n0.0\n0.0\n60.0 1.0\n2 0 0 2 0 0\n"
        "-999.0 0.0\n1000.0 2.0\n"
        "80.0 80.0 2000.0 1 1 0\n1.0 0.0\n3.0 1.0\n"
        "100.0 100.0 9000.0 1 0 0\n1.0 1.0\n";
    load(lib::SETMLT, lib::MELTMOD, 1, "ML1", text);
    ASSERT_EQ(lib::WSGMELT.count[1], 2);
    const auto line = [&](double T) {
        double p = 0;
        lib::MELTK(1, T, p, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        return p;
    };
    EXPECT_NEAR(line(70.0), 1000.0 * (70.0 / 60.0) * (70.0 / 60.0) - 999.0, 1e-9);
    EXPECT_NEAR(line(80.0), 2000.0, 1e-9);
    EXPECT_NEAR(line(90.0), 2000.0 * (1.0 + 3.0 * (90.0 / 80.0 - 1.0)), 1e-9);
    EXPECT_NEAR(line(99.999), 2000.0 * (1.0 + 3.0 * (99.999 / 80.0 - 1.0)), 1e-9);
    EXPECT_NEAR(line(110.0), 9900.0, 1e-9);
    for (double T : {61.0, 75.0, 85.0, 99.5, 100.5, 119.0}) {
        double t = 0;
        lib::MELTP(line(T), x1, t, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        EXPECT_NEAR(t, T, 1e-8) << T;
    }
    for (double p : {1000.0, 2000.0, 3500.0, 5000.0, 9000.0}) {  // the steps
        double t = 0;
        lib::MELTP(p, x1, t, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        EXPECT_NEAR(t, p <= 2000.0 ? 80.0 : 100.0, 1e-9) << p;
    }

    // A line published only from above the triple point holds from there.
    load(lib::SETMLT, lib::MELTMOD, 1, "ML1",
         "<<x>>\n65.0\n120.0\n0.0\n0.0\n60.0 1.0\n2 0 0 0 0 0\n-999.0 0.0\n1000.0 2.0\n");
    EXPECT_EQ(lib::WSGMELT.count[1], 0);
    double p = 0;
    lib::MELTK(1, 64.0, p, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr.substr(herr.size() - 12), "=  65.000 K.");
    EXPECT_NEAR(line(65.0), 1000.0 * (65.0 / 60.0) * (65.0 / 60.0) - 999.0, 1e-9);
    double t = 0;
    lib::MELTP(line(70.0), x1, t, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(t, 70.0, 1e-8);

    // Segments out of order, too many of them or of their terms are refused.
    for (const char* bad :
         {"2 0 0 1 0 0\n-999.0 0.0\n1000.0 2.0\n55.0 80.0 2000.0 1 0 0\n1.0 0.0\n",
          "2 0 0 4 0 0\n-999.0 0.0\n1000.0 2.0\n",
          "2 0 0 1 0 0\n-999.0 0.0\n1000.0 2.0\n80.0 80.0 2000.0 4 3 0\n",
          "2 0 0 1 0 0\n-999.0 0.0\n1000.0 2.0\n80.0 80.0 2000.0\n"}) {
        lib::store::override_text(kText,
                                  std::string("<<x>>\n60.0\n120.0\n0.0\n0.0\n60.0 1.0\n") + bad);
        lib::ILINE = 1;
        lib::SETMLT(kText, 1, ierr, herr);
        EXPECT_EQ(ierr, 1) << bad;
        EXPECT_EQ(lib::WSGMELT.count[1], 0) << bad;
    }
}

// The built-in lines published in segments: above 110.369 K ethylene's
// second segment holds (at 152.054 K 180.2 MPa, where the first would give
// 424.7 MPa), so that a state between the two is solid; propylene's second
// segment from 129 K.
TEST(MeltTexts, SegmentedLinesOfTheBuiltInFluids) {
    struct Case {
        const char* fluid;
        double T, P;  // a point of the second segment
    };
    for (const Case& c :
         {Case{"ethylene", 152.05419313882709, 180204.70}, Case{"propylen", 140.0, 928994.18}}) {
        SCOPED_TRACE(c.fluid);
        ASSERT_EQ(testsupport::set_up(c.fluid), "");
        const double x[20] = {1.0};
        int ierr = 0;
        std::string herr;
        double p = 0, t = 0;
        lib::MELTT(c.T, x, p, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        EXPECT_NEAR(p / c.P, 1.0, 1e-7);
        lib::MELTP(p, x, t, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        EXPECT_NEAR(t, c.T, 1e-7);
    }
    ASSERT_EQ(testsupport::set_up("ethylene"), "");
    const double x[20] = {1.0};
    double D, Dl, Dv, xl[20], xv[20], q, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(152.05419313882709, 245358.73024783729, x, D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w,
                ierr, herr);
    EXPECT_EQ(ierr, 16) << herr;  // above the melting pressure
    lib::TPFLSH(152.05419313882709, 170000.0, x, D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr,
                herr);
    EXPECT_EQ(ierr, 0) << herr;
}

TEST_F(MeltTest, SublimationLine) {
    double p = 0;
    lib::SUBLK(1, 273.16, p, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(p, 0.611657, 1e-8);
    lib::SUBLK(1, 273.16 + 1e-9, p, ierr, herr);
    EXPECT_EQ(ierr, 15);
    EXPECT_EQ(p, 0.0);
    EXPECT_EQ(
        herr.rfind("[SUBLK error 15] temperature greater than triple point temperature; T =", 0),
        0u);
    lib::SUBLK(1, 0.0, p, ierr, herr);
    EXPECT_EQ(ierr, 15);
    EXPECT_EQ(herr.rfind("[SUBLK error 15] temperature less than zero; T =", 0), 0u);
    // A large exponent gives the pressure it stands for, not the sum.
    load(lib::SETSBL, lib::SUBLMOD, 1, "SB2", body(273.16, 1e-100, 1, 0, 0, "250.0 0.0\n"));
    lib::SUBLK(1, 200.0, p, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(p / (1e-100 * std::exp(250.0)), 1.0, 1e-12);
    load(lib::SETSBL, lib::SUBLMOD, 1, "SB2", body(273.16, 1.0, 1, 0, 0, "800.0 0.0\n"));
    lib::SUBLK(1, 200.0, p, ierr, herr);
    EXPECT_GT(ierr, 0);
    EXPECT_EQ(p, 0.0);
    lib::SUBLMOD.slot[1] = lib::Code("ZZ9");
    lib::SUBLK(1, 200.0, p, ierr, herr);
    EXPECT_EQ(ierr, 105);
    EXPECT_EQ(herr, "[SUBLK error 105] unknown sublimation line model:  (ZZ9)");
}

TEST_F(MeltTest, SublimationInversion) {
    double t = 0;
    lib::SUBLP(8.94735e-3, x1, t, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(t, 230.0, 1e-4);
    lib::SUBLP(1.0, x1, t, ierr, herr);
    EXPECT_EQ(ierr, 2);
    EXPECT_EQ(t, 273.16);
    // Pressures far below any absolute tolerance are met to their own digits.
    for (double p : {1e-9, 1e-15}) {
        lib::SUBLP(p, x1, t, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        double back = 0;
        lib::SUBLK(1, t, back, ierr, herr);
        EXPECT_NEAR(back / p, 1.0, 1e-9) << p;
    }
    lib::SUBLMOD.slot[1] = lib::Code("QVB");  // no line: no pressure is ever reached
    lib::SUBLP(0.1, x1, t, ierr, herr);
    EXPECT_EQ(ierr, 124);
    EXPECT_EQ(t, -9999990.0);
    EXPECT_EQ(herr, "[SOLVEM error 124] maximum number of iterations exceeded");
}

TEST_F(MeltTest, Mixtures) {
    lib::NCOMP.nc = 2;
    lib::CCON.ttp[1] = 60.0;
    lib::CCON.ptp[1] = 10.0;
    lib::CCON.ttp[2] = 90.0;
    lib::CCON.ptp[2] = 20.0;
    load(lib::SETMLT, lib::MELTMOD, 1, "ML1", body(60.0, 10.0, 2, 0, 0, "0.0 0.0\n1.0 2.0\n"));
    load(lib::SETMLT, lib::MELTMOD, 2, "ML1", body(90.0, 20.0, 2, 0, 0, "0.0 0.0\n1.0 3.0\n"));
    const double x[20] = {0.5, 0.5};
    // Mean triple point 75 K; at 90 K the components sit at Tr = 1.2.
    double p = 0;
    lib::MELTT(90.0, x, p, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(p, std::sqrt(200.0) * std::exp(0.5 * std::log(1.44) + 0.5 * std::log(1.728)), 1e-9);
    double t = 0;
    lib::MELTP(p, x, t, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(t, 90.0, 1e-7);
    lib::CCON.ptp[2] = 0.0;  // a component without a triple-point pressure
    lib::MELTT(90.0, x, p, ierr, herr);
    EXPECT_EQ(p, 0.0);
    lib::SUBLP(0.0, x, t, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(t, 300.0);
}

// The mixture sums over the components keep the failure of a component
// present in the mixture, whichever components follow it, and pass over
// the lines of absent components.
TEST_F(MeltTest, MixtureSumsKeepTheFailureOfAPresentComponent) {
    lib::NCOMP.nc = 3;
    for (int k = 1; k <= 3; ++k) {
        lib::CCON.ttp[k] = 60.0 + 10.0 * k;
        lib::CCON.ptp[k] = 10.0 * k;
        load(lib::SETMLT, lib::MELTMOD, k, "ML1",
             body(lib::CCON.ttp[k], lib::CCON.ptp[k], 2, 0, 0, "0.0 0.0\n1.0 2.0\n"));
        load(lib::SETSBL, lib::SUBLMOD, k, "SB2",
             body(lib::CCON.ttp[k], lib::CCON.ptp[k], 1, 0, 0, "-10.0 -1.0\n"));
    }
    const double both[20] = {0.5, 0.5, 0.0};
    double p = 0;
    lib::MELTT(100.0, both, p, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_GT(p, 0.0);
    lib::SUBLT(50.0, both, p, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_GT(p, 0.0);

    // Component 1 fails, component 2 after it succeeds.
    lib::MELTMOD.slot[1] = lib::Code("ZZ9");
    lib::SUBLMOD.slot[1] = lib::Code("ZZ9");
    lib::MELTT(100.0, both, p, ierr, herr);
    EXPECT_EQ(ierr, 105);
    EXPECT_EQ(herr, "[MELTK error 105] unknown melting line model:  (ZZ9)");
    EXPECT_EQ(p, 0.0);
    lib::SUBLT(50.0, both, p, ierr, herr);
    EXPECT_EQ(ierr, 105);
    EXPECT_EQ(herr, "[SUBLK error 105] unknown sublimation line model:  (ZZ9)");

    // Only the absent component 3 fails: the mixture's lines are those of
    // components 1 and 2.
    lib::MELTMOD.slot[1] = lib::Code("ML1");
    lib::SUBLMOD.slot[1] = lib::Code("SB2");
    lib::MELTMOD.slot[3] = lib::Code("ZZ9");
    lib::SUBLMOD.slot[3] = lib::Code("ZZ9");
    double q = 0;
    lib::MELTT(100.0, both, q, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    lib::NCOMP.nc = 2;
    lib::MELTT(100.0, both, p, ierr, herr);
    EXPECT_EQ(q, p);
    lib::NCOMP.nc = 3;
    lib::SUBLT(50.0, both, q, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    lib::NCOMP.nc = 2;
    lib::SUBLT(50.0, both, p, ierr, herr);
    EXPECT_EQ(q, p);
}

// The range checks take the melting pressure without MELTT's messages: the
// same pressure, and no error exactly where MELTT reports none, along the
// temperatures of water (its line ends at 715 K), of a mixture whose scaled
// temperatures leave the lines of its components, and below the lines.
TEST(MeltingPressure, AsMelttWithoutMessages) {
    struct Case {
        const char* names;
        double x[20];
    };
    const Case cases[] = {{"water", {1.0}},
                          {"nitrogen|oxygen|argon|co2|water", {0.74, 0.14, 0.009, 0.0755, 0.0355}},
                          {"methane|ethane|propane", {0.9, 0.07, 0.03}}};
    int points = 0, differ = 0, errors = 0;
    for (const Case& c : cases) {
        ASSERT_EQ(testsupport::set_up(c.names), "");
        for (double T = 20.0; T < 1500.0; T *= 1.07) {
            double p1 = 0, p2 = 0;
            int ierr = 0;
            std::string herr;
            lib::MELTT(T, c.x, p1, ierr, herr);
            const bool ok = lib::melting_pressure(T, c.x, p2);
            differ += (ok == (ierr == 0) && p1 == p2) ? 0 : 1;
            errors += ierr != 0 ? 1 : 0;
            ++points;
        }
    }
    EXPECT_EQ(differ, 0) << "of " << points << " temperatures";
    EXPECT_GT(errors, 10);  // the grid reaches beyond the lines
}

}  // namespace
