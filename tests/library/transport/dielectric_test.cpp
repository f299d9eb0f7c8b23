// Dielectric constant: the data set's computed values of every "#DE" form,
// water against the IAPWS R8-97 verification table (at its densities), the vacuum value, the
// mixture rule and the reports.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

std::vector<std::vector<std::string>> tsv(const std::string& file) {
    std::ifstream in(testsupport::shared_dir() + "/fluid-data/extra/dielectric/" + file);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream ss(line);
        std::string cell;
        while (std::getline(ss, cell, '\t')) f.push_back(cell);
        rows.push_back(f);
    }
    return rows;
}

TEST(Dielectric, DataSetValuesOfEveryForm) {
    KVR2_REQUIRE_SHARED();
    const auto rows = tsv("computed_values.tsv");  // name, form, T, rho, epsilon
    ASSERT_GT(rows.size(), 70u);
    for (const auto& r : rows) {
        if (!r[1].starts_with("DE")) continue;  // forms no "#DE" block holds
        ASSERT_EQ(trtext::setup(r[0]), 0) << r[0];
        std::string code, cite;
        lib::GETMOD(1, "DE ", code, cite);
        EXPECT_EQ(code, r[1]) << r[0];
        const Eps e = dielec(std::stod(r[2]), std::stod(r[3]));
        ASSERT_EQ(e.ierr, 0) << r[0] << ": " << e.herr;
        EXPECT_NEAR(e.de / std::stod(r[4]), 1.0, 1e-12) << r[0] << " " << r[2];
        EXPECT_EQ(dielec(std::stod(r[2]), 0.0).de, 1.0) << r[0];
    }
}

TEST(Dielectric, WaterVerificationTable) {
    KVR2_REQUIRE_SHARED();
    ASSERT_EQ(trtext::setup("water"), 0);
    int n = 0;
    for (const auto& r :
         tsv("check_values.tsv")) {  // name, kind, T, p, rho, value, digits, computed
        if (r[0] != "water" || r[1].find("R8-97") == std::string::npos) continue;
        const double T = std::stod(r[2]), D = std::stod(r[4]);
        const Eps eps = dielec(T, D);
        ASSERT_EQ(eps.ierr, 0) << eps.herr;
        // The release's five decimals, and the data's own evaluation (9 digits).
        EXPECT_NEAR(eps.de, std::stod(r[5]), 5e-6) << T << " K, " << r[3] << " kPa";
        EXPECT_NEAR(eps.de / std::stod(r[7]), 1.0, 1e-6) << T << " K, " << r[3] << " kPa";
        ++n;
    }
    EXPECT_EQ(n, 10);
    // The g-factor's last term needs T > 228 K.
    const Eps cold = dielec(220.0, 55.0);
    EXPECT_EQ(cold.ierr, 45);
    EXPECT_EQ(cold.de, kMarker);
}

// "DE1" and "DE3" blocks on nitrogen: zero coefficients give the vacuum value.
TEST(Dielectric, ZeroCoefficientsAndZeroDensity) {
    for (const char* code : {"DE1", "DE3"}) {
        const std::string block = trtext::section(
            "#DE", code,
            "60.0\n1000.0\n0.0\n0.0\n273.16 1000.0 1.0\n1 1 0 0 0 0\n0 0 1 0\n0 1 1 0\n");
        const std::string text = trtext::with_transport("nitrogen", "");
        const std::size_t at = text.find("\n#STN");
        ASSERT_EQ(trtext::setup_text("nitrogen", text.substr(0, at) + block + text.substr(at)), 0);
        EXPECT_EQ(dielec(300.0, 20.0).de, 1.0) << code;
        EXPECT_EQ(dielec(300.0, 0.0).de, 1.0) << code;
    }
    lib::store::restore();
}

TEST(Dielectric, MixturesAndReports) {
    ASSERT_EQ(trtext::setup("nitrogen|nitrogen", 2), -117);
    const double x[20] = {0.3, 0.7};
    const Eps pure = dielec(100.0, 25.0), mix = dielec(100.0, 25.0, x);
    ASSERT_EQ(mix.ierr, 0) << mix.herr;
    EXPECT_NEAR(mix.de / pure.de, 1.0, 1e-12);
    EXPECT_EQ(dielec(100.0, 0.0, x).de, 1.0);
    // A component without a model: its error and the marker, never 0.
    ASSERT_EQ(trtext::setup("nitrogen|co", 2), 0);
    Eps e = dielec(300.0, 1.0, x);
    EXPECT_EQ(e.ierr, 99);
    EXPECT_EQ(e.herr,
              "[DE error 99] unknown dielectric constant model:  (NUL); the fluid text has no "
              "dielectric-constant correlation");
    EXPECT_EQ(e.de, kMarker);
    lib::DEMOD.slot[1] = lib::Code("DE9");
    e = dielec(300.0, 1.0, kPure);
    EXPECT_EQ(e.ierr, 99);
    EXPECT_EQ(e.herr, "[DE error 99] unknown dielectric constant model:  (DE9)");
    EXPECT_EQ(e.de, kMarker);
}

}  // namespace
