// Surface tension: the reference table's saturation rows, water's IAPWS 2014
// values, the reports of SURFT, STN and SURTEN, and the mixture rules.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/setup/records.h"
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

// Fluids whose text evaluates the fit with the equation's critical
// temperature, which differs from the one the fit was made with: the
// measured deviation (rounded up) is the bound.
const std::map<std::string, double> kTcDiffers = {
    {"co2", 4.1e-5},       // Tc 304.1282 K, the fit's 304.128 K
    {"cyclohex", 4.5e-3},  // 553.6 K, 553.64 K
    {"d5", 8.5e-2},        // 618.3 K, 619.15 K
    {"methanol", 0.103},   // 512.5 K, 513.38 K
    {"neon", 0.123},       // 44.4 K, 44.4918 K
    {"r404a", 1.7e-2},     // 345.27 K, 345.18 K
    {"r507a", 9.0e-4},     // 343.765 K, 343.76 K
};

TEST(SurfaceTension, ReferenceTableSaturationRows) {
    KVR2_REQUIRE_SHARED();
    std::ifstream in(testsupport::shared_dir() + "/reference/transport.csv");
    std::map<std::string, std::vector<std::pair<double, double>>> rows;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream ss(line);
        std::string cell;
        while (std::getline(ss, cell, ',')) f.push_back(cell);
        f.resize(7);
        if (f[1] == "sat" && !f[6].empty())
            rows[f[0]].push_back({std::stod(f[2]), std::stod(f[6]) * 1e-3});
    }
    ASSERT_GT(rows.size(), 30u);
    for (const auto& [name, states] : rows) {
        if (name == "water") continue;  // IAPWS 2014 below
        ASSERT_EQ(trtext::setup(name), 0) << name;
        const auto it = kTcDiffers.find(name);
        const double bound = it == kTcDiffers.end() ? 1e-9 : it->second;
        double tmin = 0, tc_fit = 0, dmax = 0, pmax = 0;
        lib::LIMITS("STN", kPure, tmin, tc_fit, dmax, pmax);
        for (const auto& [T, expected] : states) {
            const Sigma s = surft(T);
            ASSERT_EQ(s.ierr, 0) << name << " " << T << ": " << s.herr;
            EXPECT_GT(s.Dl, 0.0);
            EXPECT_NEAR(s.sigma / expected, 1.0, bound) << name << " " << T;
            // At the fit's own critical temperature the terms are exact.
            double exact = 0.0;
            int ierr = 0;
            std::string herr;
            lib::STNK(1, 1.0 - T / tc_fit, exact, ierr, herr);
            EXPECT_NEAR(exact / expected, 1.0, 1e-9) << name << " " << T;
        }
    }
}

TEST(SurfaceTension, WaterIapws2014AndTheCriticalPoint) {
    ASSERT_EQ(trtext::setup("water"), 0);
    for (auto [T, sigma] : {std::pair{273.16, 75.646}, {298.15, 71.972}, {373.15, 58.912}}) {
        const Sigma s = surft(T);
        ASSERT_EQ(s.ierr, 0) << s.herr;
        EXPECT_NEAR(s.sigma * 1e3 / sigma, 1.0, 1e-5) << T;
    }
    const double y[20] = {1.0};
    double sigma = 1.0;
    int ierr = 0;
    std::string herr;
    lib::STN(647.096, 0, 0, kPure, y, sigma, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_EQ(sigma, 0.0);
    lib::STN(650.0, 0, 0, kPure, y, sigma, ierr, herr);
    EXPECT_EQ(ierr, 121);
    EXPECT_EQ(herr,
              "[STN error 121] temperature input to surface tension routine is greater than "
              "critical temperature; T =  650.00 K, Tcrit =  647.10 K.");
    EXPECT_EQ(sigma, kMarker);
}

TEST(SurfaceTension, EveryReportComesWithoutANumber) {
    ASSERT_EQ(trtext::setup("nitrogen"), 0);
    const struct {
        double T;
        int ierr;
        const char* herr;
    } cases[] = {
        {60.0, 1, "[SURFT error 1] t<tmin"},
        {126.5, 121, "[SURFT error 121] [SATT error 121] temperature input to saturation"},
        {200.0, 1, "[SURFT error 1] one or more inputs are out of range:  temperature > 1.5"},
    };
    for (const auto& c : cases) {
        const Sigma s = surft(c.T);
        EXPECT_EQ(s.ierr, c.ierr) << c.T;
        EXPECT_EQ(s.herr.substr(0, std::string(c.herr).size()), c.herr) << s.herr;
        EXPECT_EQ(s.sigma, kMarker);
        EXPECT_EQ(s.Dl, 0.0);
    }
    // An unknown code, and a fluid text without a surface-tension section.
    lib::STNMOD.slot[1] = lib::Code("ST9");
    Sigma s = surft(100.0);
    EXPECT_EQ(s.ierr, 99);
    EXPECT_EQ(s.herr, "[STN error 99] unknown surface tension model: ST9");
    EXPECT_EQ(s.sigma, kMarker);
    ASSERT_EQ(trtext::setup("c4f10"), 0);
    s = surft(250.0);
    EXPECT_EQ(s.ierr, 99);
    EXPECT_EQ(s.herr,
              "[STN error 99] unknown surface tension model: NUL; the fluid text has no "
              "surface-tension correlation");
    EXPECT_EQ(s.sigma, kMarker);
}

// Equal components: each rule gives the pure value scaled by the mixture's
// estimated critical pressure Pc' (Pc'^(2/3); "STX" Pc'^(4/3), its cross
// terms carry Pc' once more), since its critical temperature is exact.
TEST(SurfaceTension, MixtureRulesOfEqualComponents) {
    ASSERT_EQ(trtext::setup("nitrogen|nitrogen", 2), -117);
    const double x[20] = {0.5, 0.5};
    double tc = 0, pc = 0, dc = 0, pure = 0, sigma = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(x, tc, pc, dc, ierr, herr);
    lib::STN(100.0, 0, 0, kPure, kPure, pure, ierr, herr);
    const double ratio = pc / 3395.8;
    for (auto [rule, power] :
         {std::pair{"STM", 2.0 / 3.0}, {"STH", 2.0 / 3.0}, {"STX", 4.0 / 3.0}}) {
        lib::STNMOD.mix = lib::Code(rule);
        lib::SURTEN(100.0, 24.6, 0.3, x, x, sigma, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        EXPECT_NEAR(sigma / pure, std::pow(ratio, power), 1e-12) << rule;
    }
    // Without phase densities a mixture takes its bubble point: SATT's
    // error, or a value.
    double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    int jerr = 0;
    lib::SATT(100.0, x, lib::kBubblePoint, P, Dl, Dv, xl, xv, jerr, herr);
    lib::SURTEN(100.0, 0.0, 0.0, x, x, sigma, ierr, herr);
    if (jerr > 0) {
        EXPECT_EQ(ierr, jerr);
        EXPECT_EQ(sigma, kMarker);
    } else {
        EXPECT_LE(ierr, 0) << herr;
        EXPECT_GT(sigma, 0.0);
    }
}

}  // namespace
