// Surface tension: the reference table's saturation rows, water's IAPWS 2014
// values, the reports, and the mixture rules.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/transport/records.h"
#include "library/transport/stn.h"
#include "tests/library/transport/transport_texts.h"
#include "tests/support/paths.h"

namespace {

constexpr double kMarker = -9999990.0;
const double kPure[20] = {1.0};

struct Sigma {
    double sigma = 0.0, Dl = 0.0;
    int ierr = 0;
    std::string herr;
};

Sigma surft(double T, const double* x = kPure) {
    Sigma s;
    lib::SURFT(T, x, s.Dl, s.sigma, s.ierr, s.herr);
    return s;
}

// Every fluid's fit with its own critical temperature, also where it differs
// from the equation's (K: co2 304.128 and 304.1282, cyclohex 553.64 and
// 553.6, d5 619.15 and 618.3, methanol 513.38 and 512.5, neon 44.4918 and
// 44.4, r404a 345.18 and 345.27, r507a 343.76 and 343.765): SURFT and
// SURTEN to 1e-9 of the table, 0 where the table holds a fit below zero.
TEST(SurfaceTension, ReferenceTableSaturationRows) {
    KVR2_REQUIRE_SHARED();
    int n = 0;
    std::string current;
    double tc_fit = 0;
    for (const auto& r : trtext::table(testsupport::shared_dir() + "/reference/transport.csv")) {
        if (r[1] != "sat" || r[6].empty() || r[0] == "water") continue;  // water: IAPWS below
        if (r[0] != current) {
            ASSERT_EQ(trtext::setup(current = r[0]), 0) << current;
            double tmin, dmax, pmax;
            lib::LIMITS("STN", kPure, tmin, tc_fit, dmax, pmax);
            EXPECT_EQ(lib::WCFSTN.tc[1], tc_fit) << current;  // the texts' limit is the fit's Tc
        }
        const double T = std::stod(r[2]), expected = std::stod(r[6]) * 1e-3;
        const Sigma s = surft(T);
        ASSERT_EQ(s.ierr, 0) << current << " " << T << ": " << s.herr;
        EXPECT_GT(s.Dl, 0.0);
        // The table's negative fit values (so2 at 422.03 K) are 0 here.
        if (expected < 0.0)
            EXPECT_EQ(s.sigma, 0.0) << current << " " << T;
        else
            EXPECT_NEAR(s.sigma / expected, 1.0, 1e-9) << current << " " << T;
        Sigma t;
        lib::SURTEN(T, s.Dl, 0.0, kPure, kPure, t.sigma, t.ierr, t.herr);
        EXPECT_EQ(t.ierr, 0) << current << " " << T << ": " << t.herr;
        EXPECT_EQ(t.sigma, s.sigma) << current << " " << T;
        ++n;
    }
    EXPECT_GT(n, 170);
}

// Between a fit's critical temperature and a higher one of the equation the
// fit's value at its critical point, zero; above the equation's, the refusal.
TEST(SurfaceTension, BetweenTheFitsAndTheEquationsCriticalTemperature) {
    struct Case {
        const char* fluid;
        double T_below, T_between, T_above;  // K
    };
    const Case cases[] = {{"r404a", 345.17, 345.22, 345.3}, {"r507a", 343.755, 343.762, 343.8}};
    for (const Case& c : cases) {
        ASSERT_EQ(trtext::setup(c.fluid), 0) << c.fluid;
        Sigma s;
        lib::STN(c.T_below, 0, 0, kPure, kPure, s.sigma, s.ierr, s.herr);
        EXPECT_EQ(s.ierr, 0) << s.herr;
        EXPECT_GT(s.sigma, 0.0) << c.fluid;
        EXPECT_LT(s.sigma, 1e-6) << c.fluid;
        lib::STN(c.T_between, 0, 0, kPure, kPure, s.sigma, s.ierr, s.herr);
        EXPECT_EQ(s.ierr, 0) << s.herr;
        EXPECT_EQ(s.sigma, 0.0) << c.fluid;
        lib::STN(c.T_above, 0, 0, kPure, kPure, s.sigma, s.ierr, s.herr);
        EXPECT_EQ(s.ierr, 121) << c.fluid;
        EXPECT_EQ(s.sigma, kMarker) << c.fluid;
    }
}

TEST(SurfaceTension, WaterIapws2014AndTheCriticalPoint) {
    ASSERT_EQ(trtext::setup("water"), 0);
    for (auto [T, sigma] : {std::pair{273.16, 75.646}, {298.15, 71.972}, {373.15, 58.912}})
        EXPECT_NEAR(surft(T).sigma * 1e3 / sigma, 1.0, 1e-5) << T;
    Sigma s;
    lib::STN(647.096, 0, 0, kPure, kPure, s.sigma, s.ierr, s.herr);
    EXPECT_EQ(s.ierr, 0) << s.herr;
    EXPECT_EQ(s.sigma, 0.0);
    lib::STN(650.0, 0, 0, kPure, kPure, s.sigma, s.ierr, s.herr);
    EXPECT_EQ(s.herr,
              "[STN error 121] temperature input to surface tension routine is greater than "
              "critical temperature; T =  650.00 K, Tcrit =  647.10 K.");
    EXPECT_EQ(s.sigma, kMarker);
}

TEST(SurfaceTension, EveryReportComesWithoutANumber) {
    ASSERT_EQ(trtext::setup("nitrogen"), 0);
    const std::pair<double, std::string> cases[] = {
        {60.0, "[SURFT error 1] t<tmin"},
        {126.5, "[SURFT error 121] [SATT error 121] temperature input to saturation"},
        {200.0, "[SURFT error 1] one or more inputs are out of range:  temperature > 1.5"},
        {100.0, "[STN error 99] unknown surface tension model: ST9"}};
    for (const auto& [T, text] : cases) {
        if (T == 100.0) lib::STNMOD.slot[1] = lib::Code("ST9");
        const Sigma s = surft(T);
        EXPECT_EQ(s.herr.substr(0, text.size()), text);
        EXPECT_GT(s.ierr, 0);
        EXPECT_EQ(s.sigma, kMarker);
        EXPECT_EQ(s.Dl, 0.0);
    }
    ASSERT_EQ(trtext::setup("c4f10"), 0);  // no surface-tension section
    EXPECT_EQ(surft(250.0).herr,
              "[STN error 99] unknown surface tension model: NUL; the fluid text has no "
              "surface-tension correlation");
}

// Equal components: each rule gives the pure value scaled by the mixture's
// estimated critical pressure Pc' (its critical temperature is exact):
// Pc'^(2/3), and for "STX", whose cross terms carry Pc' once more, Pc'^(4/3).
TEST(SurfaceTension, MixtureRulesOfEqualComponents) {
    ASSERT_EQ(trtext::setup("nitrogen|nitrogen", 2), -117);
    const double x[20] = {0.5, 0.5};
    double tc = 0, pc = 0, dc = 0, pure = 0, sigma = 0, P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    int ierr = 0, jerr = 0;
    std::string herr;
    lib::CRITP(x, tc, pc, dc, ierr, herr);
    lib::STN(100.0, 0, 0, kPure, kPure, pure, ierr, herr);
    for (auto [rule, power] :
         {std::pair{"STM", 2.0 / 3.0}, {"STH", 2.0 / 3.0}, {"STX", 4.0 / 3.0}}) {
        lib::STNMOD.mix = lib::Code(rule);
        lib::SURTEN(100.0, 24.6, 0.3, x, x, sigma, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        EXPECT_NEAR(sigma / pure, std::pow(pc / 3395.8, power), 1e-12) << rule;
    }
    // Without phase densities: the bubble point, or its error and no number.
    lib::SATT(100.0, x, lib::kBubblePoint, P, Dl, Dv, xl, xv, jerr, herr);
    lib::SURTEN(100.0, 0.0, 0.0, x, x, sigma, ierr, herr);
    EXPECT_EQ(ierr > 0, jerr > 0);
    EXPECT_EQ(sigma == kMarker, jerr > 0);
    // Nitrogen and argon at their bubble point: between the pure values.
    ASSERT_EQ(trtext::setup("nitrogen|argon", 2), 0);
    for (const char* rule : {"STM", "STH", "STX"}) {
        lib::STNMOD.mix = lib::Code(rule);
        const Sigma s = surft(100.0, x);
        EXPECT_EQ(s.ierr, 0) << rule << ": " << s.herr;
        EXPECT_GT(s.sigma, pure);
        EXPECT_LT(s.sigma, 9.48e-3);  // argon's
    }
}

// A mixture whose component fit is below zero at the mixture's 1 - T/Tc
// (so2 with 1 % of co2 above 417 K): the same error, never the marker
// without a report.
TEST(SurfaceTension, MixtureWithAComponentFitBelowZero) {
    ASSERT_LE(trtext::setup("so2|co2", 2), 0);
    const double x[20] = {0.99, 0.01};
    const Sigma below = surft(415.0, x);
    EXPECT_EQ(below.ierr, 0) << below.herr;
    EXPECT_GT(below.sigma, 0.0);
    for (double T : {420.0, 424.0}) {
        const Sigma s = surft(T, x);
        EXPECT_EQ(s.ierr, 45) << T << " " << s.herr;
        EXPECT_EQ(s.sigma, kMarker) << T;
    }
}

}  // namespace
