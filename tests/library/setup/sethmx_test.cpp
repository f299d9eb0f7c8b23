// Set-up of the mixture model from the built-in mixture-parameter text: the
// records of a pair in both orders, estimated pairs and those that cannot
// be estimated, ammonia + water, pairs beyond the components, the errors of
// a missing or foreign text, and the model's evaluation where the set-up
// decides it (pure compositions, absent components, the departure cache).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/hmx.h"
#include "library/models/hmxrecords.h"
#include "library/models/phik.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "tests/support/properties.h"

namespace {

using lib::Code;
using testsupport::Props;
using testsupport::therm;

int setup(int nc, const std::string& names, std::string* msg = nullptr,
          const std::string& hfmix = "hmx") {
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(nc, names, hfmix, hrf, ierr, herr);
    if (msg != nullptr) *msg = herr;
    return ierr;
}

void expect_same(const Props& a, const Props& b, double tol, const char* what) {
    const double av[] = {a.P, a.e, a.h, a.s, a.cv, a.cp, a.w, a.hjt};
    const double bv[] = {b.P, b.e, b.h, b.s, b.cv, b.cp, b.w, b.hjt};
    for (int k = 0; k < 8; ++k)
        EXPECT_NEAR(av[k], bv[k], tol * std::max(1.0, std::fabs(bv[k]))) << what << " output " << k;
}

TEST(SethmxTest, PairRecordInBothOrders) {
    ASSERT_EQ(setup(2, "methane|nitrogen"), 0);
    EXPECT_EQ(lib::MIXMOD.code(1, 2), Code("KW3"));
    EXPECT_EQ(lib::MIXMOD.code(2, 1), Code("KW3"));
    for (auto [i, j] : {std::pair{1, 2}, std::pair{2, 1}}) {
        EXPECT_EQ(lib::CFXHMX.p(i, j)[0], 0.99809883);
        EXPECT_EQ(lib::CFXHMX.p(i, j)[2], 0.998721377);
        EXPECT_EQ(lib::CF2HMX.c(i, j)[0], 1.0);
    }
    const double x[20] = {0.7, 0.3};
    double t1, d1;
    lib::REDX(x, t1, d1);
    const Props a = therm(180.0, 12.0, x);

    ASSERT_EQ(setup(2, "nitrogen|methane"), 0);
    EXPECT_EQ(lib::CFXHMX.p(1, 2)[0], 1.0);
    EXPECT_EQ(lib::CF2HMX.c(1, 2)[0], 0.99809883);
    EXPECT_EQ(lib::CF2HMX.c(1, 2)[2], 0.998721377);
    const double y[20] = {0.3, 0.7};
    double t2, d2;
    lib::REDX(y, t2, d2);
    EXPECT_NEAR(t2, t1, 1e-13 * t1);
    EXPECT_NEAR(d2, d1, 1e-13 * d1);
    expect_same(therm(180.0, 12.0, y), a, 1e-12, "nitrogen|methane");
}

TEST(SethmxTest, PureCompositionsAndAbsentComponents) {
    const double T = 250.0, D = 10.0;
    ASSERT_EQ(setup(1, "ethane"), 0);
    const double one[20] = {1.0};
    const Props pure = therm(T, D, one);
    ASSERT_EQ(setup(3, "methane|ethane|propane"), 0);
    const double x[20] = {0.0, 1.0, 0.0};
    expect_same(therm(T, D, x), pure, 0.0, "ethane in a mixture");
    // A component at zero changes nothing.
    const double z3[20] = {0.6, 0.4, 0.0};
    const Props with_zero = therm(T, D, z3);
    ASSERT_EQ(setup(2, "methane|ethane"), 0);
    const double z2[20] = {0.6, 0.4};
    expect_same(therm(T, D, z2), with_zero, 1e-14, "absent propane");
}

TEST(SethmxTest, AmmoniaWaterTakesItsModel) {
    ASSERT_EQ(setup(2, "ammonia|water"), 0);
    EXPECT_EQ(lib::MIXMOD.code(1, 2), Code("TR1"));
    EXPECT_EQ(lib::FLAGS2.ammonia_water, 1);
    const double x[20] = {0.3, 0.7};
    const Props a = therm(400.0, 40.0, x);
    ASSERT_EQ(setup(2, "water|ammonia"), 0);
    EXPECT_EQ(lib::FLAGS2.ammonia_water, 2);
    const double y[20] = {0.7, 0.3};
    expect_same(therm(400.0, 40.0, y), a, 1e-12, "water|ammonia");
    // Its fugacities (the analytic route): finite and positive.
    double f[20];
    int ierr = 0;
    std::string herr;
    lib::FGCTY2(400.0, 40.0, y, f, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_GT(f[0], 0.0);
    EXPECT_GT(f[1], 0.0);
    std::string msg;
    EXPECT_EQ(setup(3, "ammonia|water|methane", &msg), 107) << msg;
}

TEST(SethmxTest, EstimatedPairsAndPairsThatCannotBeEstimated) {
    std::string msg;
    EXPECT_EQ(setup(2, "r245ca|cyclopro", &msg), -117) << msg;
    EXPECT_EQ(msg,
              "[SETUP warning -117] No mixture data are available for one or more binary pairs in "
              "the specified mixture. The mixing parameters have been estimated.");
    EXPECT_EQ(lib::MIXMOD.code(1, 2), Code("KW0"));
    EXPECT_EQ(lib::MXINFO.source[1], "estimated by ESTBNC");
    EXPECT_EQ(lib::CFXHMX.p(1, 2)[4], 0.0);
    // Water with a fluid the text has no record for: refused, and a repeat
    // of the set-up loads again (a failed one is never cached).
    EXPECT_EQ(setup(2, "water|r245ca", &msg), 117) << msg;
    EXPECT_EQ(lib::SETSAV.mixtext, "x");
    const long before = lib::store::lines_read();
    EXPECT_EQ(setup(2, "water|r245ca"), 117);
    EXPECT_GT(lib::store::lines_read(), before);
}

TEST(SethmxTest, PairsBeyondTheComponentsAreCleared) {
    ASSERT_EQ(setup(3, "methane|ethane|propane"), 0);
    EXPECT_EQ(lib::MIXMOD.code(1, 3), Code("KW2"));
    ASSERT_EQ(setup(2, "methane|ethane"), 0);
    EXPECT_EQ(lib::MIXMOD.code(1, 3), Code("   "));
    EXPECT_EQ(lib::CFXHMX.p(1, 3)[0], 0.0);
}

TEST(SethmxTest, MissingOrForeignMixtureText) {
    std::string msg;
    EXPECT_EQ(setup(2, "methane|ethane", &msg, "nosuchtext"), 111);
    EXPECT_EQ(msg, "[SETHMX error] Error in opening mixture file");
    // A text of another model: its first line is not "HMX".
    lib::store::override_text(127, "<<hmx>>\nXYZ  another model\n2\n@END\n");
    EXPECT_EQ(setup(2, "methane|ethane", &msg), 1);
    EXPECT_EQ(msg, "[SETHMX error] Mixture file does not match model");
    lib::store::restore();
}

TEST(SethmxTest, UnknownRuleIsReportedAndSkipped) {
    ASSERT_EQ(setup(3, "methane|ethane|propane"), 0);
    const double x[20] = {0.5, 0.3, 0.2};
    double t0, d0;
    lib::REDX(x, t0, d0);
    lib::MIXMOD.code(1, 2) = lib::MIXMOD.code(2, 1) = Code("XY1");
    lib::hmx_prepare();
    double t, d;
    int ierr = 0;
    std::string herr;
    lib::RDXHMX(0, 0, 0, x, t, d, ierr, herr);
    EXPECT_EQ(ierr, 190);
    EXPECT_EQ(herr, "[RDXHMX error 190] Mixing rule not found for   1,  2");
    EXPECT_NE(t, t0);  // the other pairs still counted
    EXPECT_GT(t, 0.0);
    // No composition derivatives for such a pair: 191, outputs 0.
    double dt = -1, dv = -1;
    lib::RDXHMX(1, 1, 0, x, dt, dv, ierr, herr);
    EXPECT_EQ(ierr, 191);
    EXPECT_EQ(dt, 0.0);
    EXPECT_EQ(dv, 0.0);
    setup(1, "methane");
}

TEST(SethmxTest, DepartureModelsKeepTheirOwnCache) {
    // co2 + water (KWA), water + nitrogen (KWB), co2 + argon (KWC): models
    // whose numbers by code would collide with the "LM" codes.
    ASSERT_EQ(setup(4, "co2|water|nitrogen|argon"), 0);
    const double x[20] = {0.6, 0.1, 0.2, 0.1};
    const double tau = 1.3, del = 0.8;
    double mixed[3];
    for (int k = 0; k < 3; ++k) {
        // Alternate the pairs at one state and the next.
        mixed[0] = lib::PHIMIX(1, 2, 0, 1, tau, del, x);
        mixed[1] = lib::PHIMIX(2, 3, 0, 1, tau + 0.01, del, x);
        mixed[2] = lib::PHIMIX(1, 4, 0, 1, tau, del + 0.01, x);
    }
    const double states[3][2] = {{tau, del}, {tau + 0.01, del}, {tau, del + 0.01}};
    const int pairs[3][2] = {{1, 2}, {2, 3}, {1, 4}};
    for (int k = 0; k < 3; ++k) {
        lib::hmx_forget_all();
        EXPECT_EQ(lib::PHIMIX(pairs[k][0], pairs[k][1], 0, 1, states[k][0], states[k][1], x),
                  mixed[k]);
        EXPECT_NE(mixed[k], 0.0);
    }
    setup(1, "methane");
}

TEST(SethmxTest, VirialCoefficientsAndRangeOfAMixture) {
    ASSERT_EQ(setup(2, "methane|ethane"), 0);
    const double x[20] = {0.7, 0.3};
    // B is the low-density limit of (Z - 1)/D.
    const double T = 300.0, D = 1e-5;
    double B = 0, P = 0, R = 0;
    lib::VIRB(T, x, B);
    lib::PRESS(T, D, x, P);
    lib::RMIX2(x, R);
    EXPECT_NEAR((P / (D * R * T) - 1.0) / D, B, 1e-6 * std::fabs(B));
    double b12 = 0, b11 = 0, b22 = 0;
    lib::B12(T, x, b12);
    const double e1[20] = {1.0}, e2[20] = {0.0, 1.0};
    lib::VIRB(T, e1, b11);
    lib::VIRB(T, e2, b22);
    EXPECT_NEAR(0.49 * b11 + 0.42 * b12 + 0.09 * b22, B, 1e-12);
    // Critical temperatures more than 50 K apart: 25 K below the lower
    // limit is still accepted.
    double tmin, tmax, dmax, pmax;
    int ierr = 0;
    std::string herr;
    lib::LIMITX("EOS", -1.0, 1.0, 100.0, x, tmin, tmax, dmax, pmax, ierr, herr);
    EXPECT_GT(tmin, 0.0);
    lib::LIMITX("EOS", tmin - 20.0, 1.0, 100.0, x, tmin, tmax, dmax, pmax, ierr, herr);
    EXPECT_EQ(ierr & 1, 0) << herr;
    lib::LIMITX("EOS", tmin - 30.0, 1.0, 100.0, x, tmin, tmax, dmax, pmax, ierr, herr);
    EXPECT_EQ(ierr & 1, 1) << herr;
}

TEST(SethmxTest, CriticalPointEstimates) {
    ASSERT_EQ(setup(2, "methane|ethane"), 0);
    const double x[20] = {0.7, 0.3};
    double tc, pc, dc;
    int ierr = 0;
    std::string herr;
    lib::CRITP(x, tc, pc, dc, ierr, herr);
    // No critical lines in the text: the reducing point and its pressure.
    double tr, dr, p;
    lib::REDX(x, tr, dr);
    lib::PRESS(tr, dr, x, p);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(tc, tr);
    EXPECT_EQ(dc, dr);
    EXPECT_EQ(pc, p);
    // An estimated pair has linear critical lines with a warning.
    ASSERT_EQ(setup(2, "r245ca|cyclopro"), -117);
    lib::CRITP(x, tc, pc, dc, ierr, herr);
    EXPECT_EQ(ierr, -131);
    EXPECT_NEAR(tc, 0.7 * lib::CCON.tc[1] + 0.3 * lib::CCON.tc[2], 1e-9);
    // One present component of several: error 1 with 300 K.
    ASSERT_EQ(setup(3, "methane|ethane|propane"), 0);
    const double only[20] = {0.5, 0.0, 0.0};
    lib::CRITP(only, tc, pc, dc, ierr, herr);
    EXPECT_GT(tc, 0.0);
}

}  // namespace
