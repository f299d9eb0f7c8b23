// Mixture saturation beyond the reference table: the critical point of the
// mixture on its traced phase boundary, a mixture of one component, the
// collapse of the successive substitution onto the feed, the refusals of
// the vapour-fraction solver, the start estimates, and a blend through the
// mixture model against its pseudo-pure equation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "library/library.h"
#include "library/phase/mixest.h"
#include "library/phase/records.h"
#include "library/phase/satgv.h"
#include "library/setup/records.h"
#include "library/setup/splines.h"
#include "tests/library/phase/flash_support.h"
#include "tests/library/phase/mix_support.h"
#include "tests/support/fluid.h"

namespace {

class MixtureSaturation : public ::testing::Test {
protected:
    void TearDown() override { ASSERT_TRUE(flashtest::setup("nitrogen")); }
    static void setup2(const char* names, double a, double b, double z[20]) {
        ASSERT_EQ(testsupport::set_up(names), "");
        for (int i = 0; i < 20; ++i) z[i] = 0.0;
        z[0] = a;
        z[1] = b;
    }
};

// The critical point of the mixture lies on the boundary that SATSPLN
// traces, where the incipient phase has the feed's composition, and the
// dew and bubble branches join there.
TEST_F(MixtureSaturation, CriticalPointLiesOnTheTracedBoundary) {
    for (const char* names : {"methane|ethane", "co2|nitrogen"}) {
        double z[20];
        setup2(names, 0.7, 0.3, z);
        double T = 0, P = 0, D = 0, tc = 0, pc = 0, dc = 0;
        int ierr = 0;
        std::string herr;
        lib::CRITP(z, tc, pc, dc, ierr, herr);
        T = tc;
        P = pc;
        D = dc;
        lib::CRTPNT(z, T, P, D, ierr, herr);
        ASSERT_EQ(ierr, 0) << names << ": " << herr;
        lib::SATSPLN(z, ierr, herr);
        ASSERT_EQ(ierr, 0) << names << ": " << herr;
        ASSERT_EQ(lib::SATSPL.built, 1);
        EXPECT_GE(lib::SATSPL.n, 20);
        EXPECT_EQ(lib::MAXTP.crit_flag, 0) << names;
        EXPECT_NEAR(lib::MAXTP.crit_t, T, 0.5) << names;
        EXPECT_NEAR(lib::MAXTP.crit_p, P, 0.01 * P) << names;
        // Along the boundary through the critical density the incipient
        // fraction of the first component crosses the feed's.
        double below = 0, above = 0;
        lib::SPLNVAL(1, 0, 0.9 * D, below, ierr, herr);
        lib::SPLNVAL(1, 0, 1.1 * D, above, ierr, herr);
        EXPECT_LT((below - z[0]) * (above - z[0]), 0.0) << names;
        // The maximum temperature of the boundary lies at or above it.
        EXPECT_GE(lib::MAXTP.tmax_t, T - 0.5) << names;
        // A bubble point at 0.95 Tc starts from the splines and agrees with
        // the one computed without them.
        double p1 = 0, dl = 0, dv = 0, xl[20], xv[20];
        lib::SATT(0.95 * T, z, lib::kBubblePoint, p1, dl, dv, xl, xv, ierr, herr);
        EXPECT_EQ(ierr, 0) << names << ": " << herr;
        EXPECT_EQ(mixtest::fugacity_mismatch(0.95 * T, dl, dv, xl, xv, z) <= 1e-9, true);
    }
}

TEST_F(MixtureSaturation, PureFluidTakesItsOwnCriticalPointAndNoSplines) {
    ASSERT_TRUE(flashtest::setup("propane"));
    const double x[20] = {1.0};
    double T = 0, P = 0, D = 0, tc = 0, pc = 0, dc = 0;
    int ierr = 0;
    std::string herr;
    lib::CRTPNT(x, T, P, D, ierr, herr);
    lib::CRITP(x, tc, pc, dc, ierr, herr);
    EXPECT_EQ(T, tc);
    EXPECT_EQ(P, pc);
    EXPECT_EQ(D, dc);
    lib::SATSPLN(x, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(lib::SATSPL.built, 0);
}

// A mixture all of one component is that fluid.
TEST_F(MixtureSaturation, OneFractionOneGivesThePureFluid) {
    ASSERT_TRUE(flashtest::setup("ethane"));
    const double pure[20] = {1.0};
    double p0 = 0, dl0 = 0, dv0 = 0, l[20], v[20], t0 = 0;
    int ierr = 0;
    std::string herr;
    lib::SATT(250.0, pure, lib::kBubblePoint, p0, dl0, dv0, l, v, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    lib::SATP(1000.0, pure, lib::kDewPoint, t0, dl0, dv0, l, v, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    double z[20];
    setup2("methane|ethane", 0.0, 1.0, z);
    double p = 0, dl = 0, dv = 0, t = 0;
    lib::SATT(250.0, z, lib::kBubblePoint, p, dl, dv, l, v, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(p, p0, 1e-10 * p0);
    lib::SATP(1000.0, z, lib::kDewPoint, t, dl, dv, l, v, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(t, t0, 1e-9 * t0);
}

// No saturation state above the mixture's boundary: an error with the
// critical point as the state, never a state of two equal phases.
TEST_F(MixtureSaturation, NoBoundaryIsAnErrorWithTheCriticalPoint) {
    double z[20];
    setup2("nitrogen|oxygen", 0.79, 0.21, z);
    double tc = 0, pc = 0, dc = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(z, tc, pc, dc, ierr, herr);
    for (int kph : {lib::kBubblePoint, lib::kDewPoint}) {
        double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
        lib::SATT(180.0, z, kph, P, Dl, Dv, xl, xv, ierr, herr);
        EXPECT_TRUE(ierr == 128 || ierr == 121) << ierr << " " << herr;
        EXPECT_EQ(herr.rfind("[SATT error 12", 0), 0u) << herr;
        EXPECT_EQ(P, pc);
        EXPECT_EQ(Dl, dc);
        EXPECT_EQ(Dv, dc);
    }
}

TEST_F(MixtureSaturation, VapourFractionSolverRefusesBadInput) {
    double z[20];
    setup2("methane|ethane", 0.7, 0.3, z);
    struct Case {
        double vf, sum, dl;
        int ierr;
        const char* text;
    };
    const Case cases[] = {
        {1.0000001, 1.0, 20.0, 80, "[SATGV error 80] vf greater than 1 or less than 0"},
        {1.0, 0.99999, 20.0, 81, "[SATGV error 81] Sum of feed composition not equal to 1.0"},
        {1.0, 1.0, 0.0, 82, "[SATGV error 82] Input density less than or equal to 0.0"},
        {0.5, 1.0, 20.0, 81, "SATGV not set up for vf>0 and vf<1 with ityp=6"},
    };
    for (const Case& c : cases) {
        double feed[20] = {0.7 * c.sum, 0.3 * c.sum};
        double T = 180, P = 1000, Dl = c.dl, Dv = 0.5, xl[20] = {0.2, 0.8}, xv[20] = {0.7, 0.3};
        int ierr = 0;
        std::string herr;
        lib::SATGV(T, P, feed, c.vf, 5.0, lib::kPressureForm, lib::kGivenDensity, 0, Dl, Dv, xl, xv,
                   ierr, herr);
        EXPECT_EQ(ierr, c.ierr) << c.text;
        EXPECT_EQ(herr, c.text);
        EXPECT_EQ(xl[0], 0.2);  // the compositions passed in come back
    }
    // Equal phase compositions are the trivial solution.
    double T = 180, P = 1000, Dl = 20, Dv = 0.5, xl[20] = {0.7, 0.3}, xv[20] = {0.7, 0.3};
    int ierr = 0;
    std::string herr;
    lib::SATGV(T, P, z, 1.0, 0.0, lib::kPressureForm, lib::kGivenTemperature, 0, Dl, Dv, xl, xv,
               ierr, herr);
    EXPECT_EQ(ierr, 74) << herr;
}

// A single component's bubble pressure of the estimate is its own
// generalised vapour pressure, its incipient vapour that component.
TEST_F(MixtureSaturation, EstimateOfASingleComponent) {
    double z[20];
    setup2("methane|ethane", 0.0, 1.0, z);
    double T = 250.0, P = 0, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    lib::SATEST(1, T, P, z, xl, xv, ierr, herr);
    const double p2 =
        lib::CCON.pc[2] * std::exp(static_cast<double>(5.373f) * (1.0 + lib::CCON.acf[2]) *
                                   (1.0 - lib::CCON.tc[2] / T));
    EXPECT_NEAR(P, p2, 1e-12 * p2);
    EXPECT_EQ(xv[1], 1.0);
    double res = -7.0, y[20] = {};
    lib::PTEST(1, -1.0, 100.0, 1.0, z, xl, xl, xl, res, y, ierr, herr);
    EXPECT_EQ(res, -7.0);  // T <= 0 leaves the result alone
}

// A humid gas: air with 1 % water, whose dew point lies far below the
// critical region with water nearly alone in the liquid.
TEST_F(MixtureSaturation, HumidAirDewPointAndSplit) {
    ASSERT_EQ(testsupport::set_up("nitrogen|oxygen|argon|water"), "");
    int ierr = 0;
    std::string herr;
    const double z[20] = {0.7812 * 0.99, 0.2096 * 0.99, 0.0092 * 0.99, 0.01};
    double P = 0, T = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    lib::SATT(300.0, z, lib::kDewPoint, P, Dl, Dv, xl, xv, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    // Water's vapour pressure (3.54 kPa) over its fraction, a little raised.
    EXPECT_GT(P, 354.0);
    EXPECT_LT(P, 365.0);
    EXPECT_GT(xl[3], 0.999);
    EXPECT_LE(mixtest::fugacity_mismatch(300.0, Dl, Dv, xl, xv, z), 1e-9);
    lib::SATP(P, z, lib::kDewPoint, T, Dl, Dv, xl, xv, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(T, 300.0, 1e-6);
    double D, x[20], y[20], q, e, h, s, cv, cp, w;
    lib::TPFLSH(300.0, 1000.0, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_GT(q, 0.99);
    EXPECT_LT(q, 1.0);
    EXPECT_LE(mixtest::fugacity_mismatch(300.0, Dl, Dv, x, y, z), 1e-9);
    EXPECT_LE(mixtest::balance_mismatch(q, x, y, z), 1e-12);
    double T2, q2;
    lib::PHFLSH(1000.0, h, z, T2, D, Dl, Dv, x, y, q2, e, s, cv, cp, w, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(T2, 300.0, 1e-6);
    EXPECT_NEAR(q2, q, 1e-7);
}

// R-410A: the blend (r32 + r125, 50/50 by mass) through the mixture model
// and through its pseudo-pure equation, fitted to the mixture model.
TEST_F(MixtureSaturation, BlendThroughMixtureModelAndPseudoPureEquation) {
    // The bubble pressure and liquid density and the dew-point vapour
    // density at T (warnings allowed on the pseudo-pure equation only).
    struct Point {
        double P = 0, Dl = 0, Dv = 0;
    };
    auto line = [](const double* z, double T, bool warnings) {
        Point pt;
        double p = 0, dl = 0, dv = 0, xl[20], xv[20];
        int ierr = 0, worst = 0;
        std::string herr;
        lib::SATT(T, z, lib::kBubblePoint, pt.P, pt.Dl, dv, xl, xv, ierr, herr);
        worst = std::max(worst, warnings ? std::max(ierr, 0) : std::abs(ierr));
        lib::SATT(T, z, lib::kDewPoint, p, dl, pt.Dv, xl, xv, ierr, herr);
        worst = std::max(worst, warnings ? std::max(ierr, 0) : std::abs(ierr));
        EXPECT_EQ(worst, 0) << T << ": " << herr;
        return pt;
    };
    const double temps[3] = {240.0, 280.0, 320.0};
    Point ppf[3];
    {
        flashtest::PseudoPure blend("r410a");
        ASSERT_TRUE(blend.ok());
        const double x[20] = {1.0};
        for (int k = 0; k < 3; ++k) ppf[k] = line(x, temps[k], true);
    }
    double z[20];
    const double m32 = 52.024, m125 = 120.02;
    const double n32 = 0.5 / m32, n125 = 0.5 / m125;
    setup2("r32|r125", n32 / (n32 + n125), n125 / (n32 + n125), z);
    for (int k = 0; k < 3; ++k) {
        const Point mix = line(z, temps[k], false);
        EXPECT_NEAR(mix.P, ppf[k].P, 0.005 * ppf[k].P) << temps[k];
        EXPECT_NEAR(mix.Dl, ppf[k].Dl, 0.005 * ppf[k].Dl) << temps[k];
        EXPECT_NEAR(mix.Dv, ppf[k].Dv, 0.01 * ppf[k].Dv) << temps[k];
    }
}

}  // namespace

// SATP of binaries 50/50 over pressures up to close to their critical
// points: a bubble point has the feed as its denser phase and a dew point
// its incipient liquid, the dew point lies above the bubble point, the
// fugacities agree, and SATT at a bubble point's temperature gives its
// pressure back.
// Close to the critical point the dew point's Newton's method once ended on
// the bubble point with the phases turned over (carbon dioxide + R227ea at
// 5.36 MPa), on vapour roots of a feed that is a liquid there (nonane +
// o-xylene at 2.55 MPa, 105 K below its bubble point) and on two liquids
// (acetone + R113 at 3.69 MPa, R124 + RC318 at 2.62 MPa).
// The bubble point's liquid density and the dew point's vapour density give
// their temperature back through SATD, to the digits (the secant stopped at
// 1e-7 of the density: 1e-7 of T, with the phase of the given density not
// the saturated one; a fifth of the dew points, thin vapours far below the
// critical point, were refused: a proposal where the dew point fails was
// followed by steps of 0.1 % in T until the passes ran out).
TEST_F(MixtureSaturation, SaturationAtDensityGivesTheTemperatureBack) {
    for (const char* names : {"methane|ethane", "propane|butane", "r32|r134a", "co2|r1234yf"}) {
        double z[20];
        setup2(names, 0.5, 0.5, z);
        for (double T : {150.0, 190.0, 230.0, 270.0})
            for (int kind : {lib::kBubblePoint, lib::kDewPoint}) {
                double p = 0, Dl = 0, Dv = 0, x[20], y[20], T2 = 0, P2 = 0, dl = 0, dv = 0;
                int ierr = 0, kr = 0;
                std::string herr;
                lib::SATT(T, z, kind, p, Dl, Dv, x, y, ierr, herr);
                if (ierr > 0) continue;
                const double D = kind == lib::kBubblePoint ? Dl : Dv;
                lib::SATD(D, z, 0, kr, T2, P2, dl, dv, x, y, ierr, herr);
                EXPECT_LE(ierr, 0) << names << " " << T << " " << kind << " " << herr;
                EXPECT_EQ(kr, kind) << names << " " << T;
                EXPECT_NEAR(T2 / T, 1.0, 1e-9) << names << " " << T << " " << kind;
                EXPECT_NEAR(P2 / p, 1.0, 1e-8) << names << " " << T << " " << kind;
            }
    }
}

TEST(MixtureSaturationAtP, BubbleAndDewPointsAreWhatTheySay) {
    struct Pair {
        const char* names;
        double T;  // K, of the bubble pressures: 0.6 to 1.02 of it
    };
    int points = 0;
    for (const Pair& c : {Pair{"co2|r227ea", 342.0}, Pair{"cyclopen|d4", 536.9},
                          Pair{"acetone|r113", 482.695}, Pair{"methane|ethane", 240.0},
                          Pair{"r1234yf|r134a", 366.7}, Pair{"nonane|oxylene", 598.735},
                          Pair{"r124|rc318", 375.427}, Pair{"propane|r227ea", 355.557}}) {
        ASSERT_EQ(testsupport::set_up(c.names), "");
        const double z[20] = {0.5, 0.5};
        double Pb = 0, Dl = 0, Dv = 0, x[20], y[20];
        int ierr = 0;
        std::string herr;
        lib::SATT(c.T, z, lib::kBubblePoint, Pb, Dl, Dv, x, y, ierr, herr);
        ASSERT_LE(ierr, 0) << c.names << ": " << herr;
        for (double f : {0.6, 0.8, 0.95, 1.0, 1.02}) {
            const double P = f * Pb;
            SCOPED_TRACE(std::string(c.names) + " at " + std::to_string(P) + " kPa");
            double T[2] = {0, 0};
            for (int kph : {lib::kBubblePoint, lib::kDewPoint}) {
                lib::SATP(P, z, kph, T[kph - 1], Dl, Dv, x, y, ierr, herr);
                // (At the bubble pressure of T the bubble point exists.)
                if (ierr > 0) {
                    EXPECT_FALSE(f == 1.0 && kph == lib::kBubblePoint) << herr;
                    continue;
                }
                ++points;
                EXPECT_GT(Dl, Dv) << "kph " << kph << " T " << T[kph - 1];
                double fl[20] = {}, fv[20] = {};
                lib::FGCTY(T[kph - 1], Dl, x, fl);
                lib::FGCTY(T[kph - 1], Dv, y, fv);
                // (Within a few per cent of the critical pressure the
                // iterations end some 1e-7 off: acetone + R113 at 2.9-3.5
                // MPa, and so does SATT's pressure at that temperature.)
                for (int i = 0; i < 2; ++i) EXPECT_NEAR(std::log(fl[i] / fv[i]), 0.0, 2e-6);
                // (A dew point above the critical temperature has a second
                // one at a higher pressure, which SATT may name; above the
                // bubble pressure of T the critical point lies close.)
                if (kph == lib::kDewPoint || f > 1.0) continue;
                double P2 = 0;
                lib::SATT(T[0], z, kph, P2, Dl, Dv, x, y, ierr, herr);
                ASSERT_LE(ierr, 0) << herr;
                EXPECT_NEAR(P2 / P, 1.0, 2e-6);
            }
            if (T[0] > 0.0 && T[1] > 0.0) {
                EXPECT_GE(T[1], T[0] - 1e-9 * T[0]);
            }
        }
    }
    EXPECT_GE(points, 30);
}

// A mixture's SATP that finds no point fails with 148 and hands out finite
// values inside the equation's range (it once gave its road's last iterate:
// 0.029 K for carbon dioxide + helium at 8.8 MPa, 348,000 K elsewhere).
TEST(MixtureSaturationAtP, FailureHandsOutNoGarbage) {
    ASSERT_EQ(testsupport::set_up("co2|helium"), "");
    const double z[20] = {0.5, 0.5};
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    lib::LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    for (int kph : {lib::kBubblePoint, lib::kDewPoint}) {
        double T = 0, Dl = 0, Dv = 0, x[20], y[20];
        int ierr = 0;
        std::string herr;
        lib::SATP(8831.529109559895, z, kph, T, Dl, Dv, x, y, ierr, herr);
        ASSERT_EQ(ierr, 148) << herr;
        EXPECT_TRUE(T >= 0.5 * tmin && T <= 2.0 * tmax) << T;
        EXPECT_TRUE(std::isfinite(Dl) && Dl > 0.0 && std::isfinite(Dv) && Dv > 0.0);
    }
}
