// GERG-2008 mode (GERG04 with flag 1): the components' GERG-2008 equations
// ("FEK" sections with their "PHK" ideal-gas parts) and the GERG-2008 pair
// parameters ("GE" records) reproduce the equation for a 20-component gas;
// the mode ends with the next set-up on the default models.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/hmxrecords.h"
#include "library/setup/records.h"
#include "tests/support/fluid.h"
#include "tests/support/paths.h"

namespace {

// The 21-component test gas of the GERG-2008 reference program without
// argon (a composition holds 20 fractions), renormalised; the values are
// those of tools/fluidtexts/gerg_check.py (an evaluation of the data set's
// GERG-2008 tables independent of the library, which reproduces the
// published values of the full gas to their last digit):
//   python3 tools/fluidtexts/gerg_check.py --data ../shared/fluid-data --drop argon
constexpr const char* kNames =
    "methane|nitrogen|co2|ethane|propane|isobutane|butane|ipentane|pentane|hexane|heptane|"
    "octane|nonane|decane|hydrogen|oxygen|co|water|h2s|helium";
constexpr double kGas[20] = {0.77824, 0.02,    0.06,    0.08,    0.03,    0.0015,  0.003,
                             0.0005,  0.00165, 0.00215, 0.00088, 0.00024, 0.00015, 0.00009,
                             0.004,   0.005,   0.002,   0.0001,  0.0025,  0.007};

struct Expected {
    double rho = 12.798242743485362, Z = 1.1746946606357853, dpdrho = 7003.547863353912,
           dpdT = 236.06564402900204, u = -2747.158895654482, h = 1159.6274501078142,
           s = -38.63251110162173, cv = 39.055144529995985, cp = 58.48666465302391,
           w = 714.8658438518878, g = 16612.631890756507, M = 20.523319821421417;
};

class GergModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        double sum = 0.0;
        for (double v : kGas) sum += v;
        for (int i = 0; i < 20; ++i) x[i] = kGas[i] / sum;
    }
    void TearDown() override {
        testsupport::set_up("nitrogen");  // back to the default models
    }
    // Set-up in GERG-2008 mode without reference offsets (the equations'
    // own: ideal gas h = s = 0 at 298.15 K and 101.325 kPa).
    void gerg_setup() {
        int ierr = 0;
        std::string herr, hrf = "NA";
        lib::GERG04(20, 1, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        lib::SETUP0(20, kNames, "hmx", hrf, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
    }
    double x[20] = {};
};

TEST_F(GergModeTest, TwentyComponentGasEqualsTheEquation) {
    KVR2_REQUIRE_SHARED();
    gerg_setup();
    const Expected e;
    double D = 0;
    int ierr = 0;
    std::string herr;
    lib::TPRHO(400.0, 50000.0, x, 2, 0, D, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(D, e.rho, 1e-10 * e.rho);
    double P, u, h, s, cv, cp, w, Z, hjt, A, G, xk, beta, dpdd, d2, dpdt, dddt, dddp, a, b, c, q;
    lib::THERM2(400.0, e.rho, x, P, u, h, s, cv, cp, w, Z, hjt, A, G, xk, beta, dpdd, d2, dpdt,
                dddt, dddp, a, b, c, q);
    struct {
        const char* name;
        double got, want;
    } rows[] = {{"p", P, 50000.0},       {"Z", Z, e.Z},    {"dp/drho", dpdd, e.dpdrho},
                {"dp/dT", dpdt, e.dpdT}, {"u", u, e.u},    {"h", h, e.h},
                {"s", s, e.s},           {"cv", cv, e.cv}, {"cp", cp, e.cp},
                {"w", w, e.w},           {"g", G, e.g},    {"M", lib::WMOL(x), e.M}};
    for (const auto& r : rows) EXPECT_NEAR(r.got, r.want, 1e-10 * std::fabs(r.want)) << r.name;
}

TEST_F(GergModeTest, ModeTakesTheGergRecordsAndEndsWithTheNextSetup) {
    KVR2_REQUIRE_SHARED();
    gerg_setup();
    // co2 + water: a later source in the default record, GERG-2008's in GE.
    EXPECT_EQ(lib::MIXMOD.code(3, 18), lib::Code("KW0"));
    EXPECT_EQ(lib::CFXHMX.p(3, 18)[4], 0.0);
    EXPECT_EQ(lib::CFXHMX.p(3, 18)[0], 0.997372205);
    double R = 0;
    lib::RMIX2(x, R);
    EXPECT_NEAR(R, 8.314472, 1e-14);
    // The next set-up on the default models reads the default records.
    ASSERT_EQ(testsupport::set_up(kNames), "");
    EXPECT_EQ(lib::FLAGS2.gerg04, 0);
    EXPECT_EQ(lib::MIXMOD.code(3, 18), lib::Code("KWA"));
    EXPECT_EQ(lib::CFXHMX.p(3, 18)[0], 1.030538);
}

}  // namespace
