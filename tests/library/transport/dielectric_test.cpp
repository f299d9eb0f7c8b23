// Dielectric constant: the data set's values of every "#DE" form, water
// against the IAPWS R8-97 verification table (at its densities), the vacuum
// value, the mixture rule and the reports.
#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "library/transport/records.h"
#include "tests/library/transport/transport_texts.h"
#include "tests/support/paths.h"

namespace {

constexpr double kMarker = -9999990.0;
const double kPure[20] = {1.0};

struct Eps {
    double de = 0.0;
    int ierr = 0;
    std::string herr;
};

Eps dielec(double T, double D, const double* x = kPure) {
    Eps e;
    lib::DIELEC(T, D, x, e.de, e.ierr, e.herr);
    return e;
}

std::string data(const char* file) {
    return testsupport::shared_dir() + "/fluid-data/extra/dielectric/" + file;
}

TEST(Dielectric, DataSetValuesAndWaterVerificationTable) {
    KVR2_REQUIRE_SHARED();
    int n = 0;
    for (const auto& r : trtext::table(data("computed_values.tsv"), '\t', 5)) {
        if (!r[1].starts_with("DE")) continue;  // name, form, T, rho, epsilon
        ASSERT_EQ(trtext::setup(r[0]), 0) << r[0];
        std::string code, cite;
        lib::GETMOD(1, "DE ", code, cite);
        EXPECT_EQ(code, r[1]) << r[0];
        const Eps e = dielec(std::stod(r[2]), std::stod(r[3]));
        ASSERT_EQ(e.ierr, 0) << r[0] << ": " << e.herr;
        EXPECT_NEAR(e.de / std::stod(r[4]), 1.0, 1e-12) << r[0] << " " << r[2];
        EXPECT_EQ(dielec(std::stod(r[2]), 0.0).de, 1.0) << r[0];
        ++n;
    }
    EXPECT_EQ(n, 75);
    // name, kind, T, p, rho, value (5 decimals), digits, the data's evaluation
    ASSERT_EQ(trtext::setup("water"), 0);
    n = 0;
    for (const auto& r : trtext::table(data("check_values.tsv"), '\t', 8)) {
        if (r[0] != "water" || r[1].find("R8-97") == std::string::npos) continue;
        const Eps e = dielec(std::stod(r[2]), std::stod(r[4]));
        ASSERT_EQ(e.ierr, 0) << e.herr;
        EXPECT_NEAR(e.de, std::stod(r[5]), 5e-6) << r[2] << " K, " << r[3] << " kPa";
        EXPECT_NEAR(e.de / std::stod(r[7]), 1.0, 1e-6) << r[2] << " K, " << r[3] << " kPa";
        ++n;
    }
    EXPECT_EQ(n, 10);
    const Eps cold = dielec(220.0, 55.0);  // the g-factor's last term needs T > 228 K
    EXPECT_EQ(cold.ierr, 45);
    EXPECT_EQ(cold.de, kMarker);
}

// "DE1" and "DE3" blocks with zero coefficients on nitrogen give 1.
TEST(Dielectric, ZeroCoefficientsGiveTheVacuumValue) {
    for (const char* code : {"DE1", "DE3"}) {
        const std::string text = trtext::with_transport("nitrogen", "");
        const std::size_t at = text.find("\n#STN");
        const std::string block = trtext::section(
            "#DE", code,
            "60.0\n1000.0\n0.0\n0.0\n273.16 1000.0 1.0\n1 1 0 0 0 0\n0 0 1 0\n0 1 1 0\n");
        ASSERT_EQ(trtext::setup_text("nitrogen", text.substr(0, at) + block + text.substr(at)), 0);
        EXPECT_EQ(dielec(300.0, 20.0).de, 1.0) << code;
    }
    lib::store::restore();
}

TEST(Dielectric, MixturesAndReports) {
    ASSERT_EQ(trtext::setup("nitrogen|nitrogen", 2), -117);
    const double x[20] = {0.3, 0.7};
    EXPECT_NEAR(dielec(100.0, 25.0, x).de / dielec(100.0, 25.0).de, 1.0, 1e-12);
    EXPECT_EQ(dielec(100.0, 0.0, x).de, 1.0);
    ASSERT_EQ(trtext::setup("nitrogen|co", 2), 0);  // co has no dielectric section
    Eps e = dielec(300.0, 1.0, x);
    EXPECT_EQ(e.herr,
              "[DE error 99] unknown dielectric constant model:  (NUL); the fluid text has no "
              "dielectric-constant correlation");
    EXPECT_EQ(e.de, kMarker);
    lib::DEMOD.slot[1] = lib::Code("DE9");
    e = dielec(300.0, 1.0, kPure);
    EXPECT_EQ(e.herr, "[DE error 99] unknown dielectric constant model:  (DE9)");
    EXPECT_EQ(e.de, kMarker);
}

}  // namespace
