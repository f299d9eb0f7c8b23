// Quality flashes at given temperature, pressure or density: saturation
// reference states, the two-phase mixing, the markers and the errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include "tests/library/phase/flash_support.h"
#include "tests/library/phase/mix_support.h"
#include "tests/support/fluid.h"

namespace {

using namespace flashtest;

// Water at 450 K has a saturation pressure of 932.203564 kPa.
TEST(QualityFlash, WaterAtItsSaturationPressure) {
    ASSERT_TRUE(setup("water"));
    const State a = pq(932.203564, 0.5);
    EXPECT_EQ(a.ierr, 0) << a.herr;
    EXPECT_NEAR(a.T, 450.0, 1e-5);
    EXPECT_EQ(a.cv, -9999920.0);
    EXPECT_EQ(a.cp, -9999920.0);
    EXPECT_EQ(a.w, -9999920.0);
    EXPECT_NEAR(1.0 / a.D, 0.5 / a.Dl + 0.5 / a.Dv, 1e-12 / a.D);
    const State b = tq(450.0, 0.5);
    EXPECT_NEAR(b.P, 932.203564, 1e-5);
    EXPECT_NEAR(b.h, a.h, 1e-6);
    EXPECT_NEAR(b.s, a.s, 1e-9);
}

// The saturation reference table: states at q = 0 and q = 1 are the saturated
// phases with their own heat capacities, and mixtures lie on the lever rule.
TEST(QualityFlash, SaturationReferenceStates) {
    KVR2_REQUIRE_SHARED();
    const auto rows = read_csv(reference("sat.csv"));
    ASSERT_FALSE(rows.empty());
    std::ostringstream bad;
    for_each_row(rows, [&](const Row& r) {
        const std::string name = r.at("name");
        const double T = num(r, "T"), p = num(r, "p");
        const State l = tq(T, 0.0), v = tq(T, 1.0), m = tq(T, 0.25);
        const bool ok = l.ierr == 0 && v.ierr == 0 && m.ierr == 0 && rel(l.P, p) < 1e-7 &&
                        rel(l.D, num(r, "Dl")) < 1e-7 && rel(v.D, num(r, "Dv")) < 1e-7 &&
                        l.cp > 0.0 && v.cp > 0.0 && m.cp == -9999920.0 &&
                        std::fabs(m.h - (0.75 * l.h + 0.25 * v.h)) < 1e-8 * std::fabs(v.h) + 1e-8;
        if (!ok)
            bad << name << " " << T << ": " << l.ierr << " " << v.ierr << " " << m.ierr << " P "
                << l.P << " (" << p << ") Dl " << l.D << " Dv " << v.D << " " << l.herr << v.herr
                << "\n";
        if (p > 1e-3) {
            const State back = pq(p, 0.75);
            if (back.ierr != 0 || std::fabs(back.T - T) > 1e-6 * T)
                bad << name << " PQ " << p << ": T " << back.T << " (" << T << ") " << back.herr
                    << "\n";
        }
    });
    EXPECT_EQ(bad.str(), "");
}

TEST(QualityFlash, InputsOutsideTheTwoPhaseRegion) {
    ASSERT_TRUE(setup("nitrogen"));
    const Constants k = constants();
    const State hot = tq(k.tc, 0.5);
    EXPECT_EQ(hot.ierr, 271);
    EXPECT_EQ(hot.herr.rfind("[TQFLSH error 271] temperature input to temperature-quality flash is "
                             "greater than critical temperature",
                             0),
              0u)
        << hot.herr;
    const State high = pq(1.01 * k.pc, 0.5);
    EXPECT_EQ(high.ierr, 291);
    EXPECT_EQ(high.T, k.tc);
    EXPECT_EQ(tq(100.0, 1.5).ierr, 275);
    EXPECT_EQ(pq(500.0, -0.5).ierr, 295);
    // Within 1e-8 of the ends the saturated phases are returned.
    const State l = tq(100.0, -1e-9);
    EXPECT_EQ(l.ierr, 0);
    EXPECT_EQ(l.D, l.Dl);
    EXPECT_GT(l.cv, 0.0);
}

// Beyond the stated critical point, up to the equation's own (r13: 301.88 K,
// 3879 kPa stated, 303.05 K, 3973.1 kPa its equation's), the quality
// flashes give the states of the equation's saturation line that the
// enthalpy flashes give there: from the pressure at the stated critical
// temperature (3871.5 kPa) PQFLSH failed with 144, above the stated
// pressure with 291, and TQFLSH above the stated temperature with 271.
// At and above the equation's own point they still fail.
struct BeyondStated {
    const char* fluid;
    double P, T;  // a pressure and a temperature inside the band
};

const BeyondStated kBeyond[] = {{"r13", 3875.0, 302.0},
                                {"r13", 3950.0, 302.9},
                                {"heptane", 2740.0, 540.5},
                                {"ammonia", 11350.0, 405.45}};

class QualityBeyondStatedCritical : public ::testing::TestWithParam<BeyondStated> {};

TEST_P(QualityBeyondStatedCritical, StatesOfTheEnthalpyFlashes) {
    const BeyondStated& c = GetParam();
    ASSERT_TRUE(setup(c.fluid));
    for (double q : {0.0, 0.5, 1.0}) {
        const State a = pq(c.P, q);
        ASSERT_EQ(a.ierr, 0) << c.fluid << " q " << q << " " << a.herr;
        const State b = ph(c.P, a.h);
        ASSERT_EQ(b.ierr, 0) << b.herr;
        EXPECT_NEAR(b.T / a.T, 1.0, 1e-7) << c.fluid << " q " << q;
        EXPECT_NEAR(b.D / a.D, 1.0, 1e-5) << c.fluid << " q " << q;
        const State t = tq(c.T, q);
        ASSERT_EQ(t.ierr, 0) << c.fluid << " q " << q << " " << t.herr;
        const State u = ph(t.P, t.h);
        ASSERT_EQ(u.ierr, 0) << u.herr;
        EXPECT_NEAR(u.T / c.T, 1.0, 1e-7) << c.fluid << " q " << q;
        if (q == 0.5) {
            EXPECT_NEAR(b.q, 0.5, 1e-6) << c.fluid;
            EXPECT_EQ(a.cp, -9999920.0);
        } else {
            EXPECT_GT(a.cv, 0.0);
            EXPECT_EQ(a.D, q == 0.0 ? a.Dl : a.Dv);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fluids, QualityBeyondStatedCritical, ::testing::ValuesIn(kBeyond));

TEST(QualityBeyondStatedCritical, NoneAboveTheEquationsOwnPoint) {
    ASSERT_TRUE(setup("r13"));
    EXPECT_EQ(pq(3980.0, 0.5).ierr, 291);
    EXPECT_EQ(tq(303.2, 0.5).ierr, 271);
}

// A blend handled as one component: the two-phase temperature at given
// pressure lies between its bubble and dew temperatures, and every quality
// flash finds the same state.
TEST(QualityFlash, PseudoPureBlend) {
    PseudoPure blend("r404a");
    ASSERT_TRUE(blend.ok());
    const State a = pq(300.0, 0.3);
    ASSERT_EQ(a.ierr, 0) << a.herr;
    const State bub = pq(300.0, 0.0), dew = pq(300.0, 1.0);
    EXPECT_GT(a.T, bub.T);
    EXPECT_LT(a.T, dew.T);
    const State b = tq(a.T, 0.3);
    EXPECT_NEAR(b.P, 300.0, 1e-6);
    EXPECT_NEAR(b.D, a.D, 1e-9 * a.D);
    const State c = ph(300.0, a.h);
    EXPECT_NEAR(c.T, a.T, 1e-6);
    EXPECT_NEAR(c.q, 0.3, 1e-7);
    const State d = ps(300.0, a.s);
    EXPECT_NEAR(d.T, a.T, 1e-6);
    EXPECT_NEAR(d.q, 0.3, 1e-7);
}

TEST(QualityFlash, DensityForm) {
    ASSERT_TRUE(setup("propane"));
    const State a = tq(300.0, 0.4);
    ASSERT_EQ(a.ierr, 0);
    Pure c;
    double T = 0, P = 0, Dl = 0, Dv = 0, x[20], y[20];
    int ierr = 0;
    std::string herr;
    lib::DQFL2(a.D, 0.4, c.z, 1, T, P, Dl, Dv, x, y, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(T, 300.0, 1e-6);
    EXPECT_NEAR(P, a.P, 1e-6 * a.P);
}

// Binaries whose phases are nearly pure components over most of the
// two-phase band (q changes little with p there), across decades of
// pressure: each split of the (T, p) flash comes back from its vapour
// fraction at T with the same pressure and phases, or TQFLSH says it found
// none; it never names another pressure as success (the phases swapped, or
// the bubble pressure with the feed as vapour).
class QualityRoundTrip : public ::testing::TestWithParam<mixtest::BinaryAt> {};

TEST_P(QualityRoundTrip, SplitsComeBackFromTheirVapourFraction) {
    const mixtest::BinaryAt& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const double z[20] = {0.5, 0.5};
    const mixtest::BubbleDew b = mixtest::bubble_and_dew(c.T, z);
    ASSERT_EQ(b.error, "");
    const double Pb = b.Pb, Pd = b.Pd;
    double Dl, Dv, x[20], y[20];
    int ierr = 0;
    std::string herr;
    int splits = 0, failed = 0;
    for (int k = 1; k < 12; ++k) {
        const double P = Pd * std::pow(Pb / Pd, k / 12.0);
        double D, q, e, h, s, cv, cp, w;
        lib::TPFLSH(c.T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << P << " kPa: " << herr;
        if (!(q > 0.0 && q < 1.0)) continue;
        ++splits;
        double P2, D2, Dl2, Dv2, x2[20], y2[20];
        lib::TQFLSH(c.T, q, z, lib::kMolarQuality, P2, D2, Dl2, Dv2, x2, y2, e, h, s, cv, cp, w,
                    ierr, herr);
        if (ierr > 0) {
            ++failed;
            continue;
        }
        EXPECT_NEAR(P2, P, 1e-6 * P) << "q " << q;
        EXPECT_NEAR(x2[0], x[0], 1e-6) << P << " kPa";
        EXPECT_NEAR(y2[0], y[0], 1e-6) << P << " kPa";
        EXPECT_GT(Dl2, Dv2) << P << " kPa";
    }
    EXPECT_GE(splits, 8);
    EXPECT_LE(failed, 2) << "of " << splits << " splits";
}

// A vapour fraction that lies on a three-phase line (or whose split the
// (T, p) flash finds frozen) has no two-phase state: the quality flashes
// name the state and fail, never return a split of higher Gibbs energy
// than the (T, p) flash's state at its pressure, nor phases that do not
// add up to the feed.
struct NoSplit {
    const char* names;
    double z1;
    char flash;  // 'T': TQFLSH at `at` K, 'P': PQFLSH at `at` kPa
    double at, q;
    int ierr;  // the error expected (0: any error, or a balanced split)
};
const NoSplit kNoSplits[] = {
    // A liquid of 88 % carbon dioxide at 3.78 MPa, 633 J/mol above water
    // and a liquid of carbon dioxide.
    {"co2|water", 0.9, 'T', 278.623, 0.2, 219},
    {"co2|water", 0.9, 'T', 278.623, 0.5, 219},
    // A vapour of half water at 227 kPa, supersaturated with it.
    {"hexane|water", 0.9, 'T', 345.318, 0.2, 219},
    {"hexane|water", 0.9, 'P', 226.988, 0.2, 219},
    // A liquid of 93 % water at 227 K.
    {"co2|water", 0.9, 'P', 769.667, 0.5, 0},
    // Phases whose balance gave q 0.891.
    {"pentane|r23", 0.1, 'P', 10.0, 0.8, 0},
    // A split at 1.5 GPa, beyond the equations' density limit.
    {"hexane|water", 0.1, 'T', 375.787, 0.02, 2},
    // Carbon dioxide above its melting pressure at 134 K.
    {"nitrogen|co2", 0.5, 'P', 769.667, 0.5, 16},
    // A liquid of 93 % octafluorocyclobutane at 167.8 K, 65 K below its
    // triple point, 179 J/mol below the (T, p) flash's one liquid.
    {"rc318|butane", 0.5, 'P', 6752.34, 0.5, 250},
    // Two dense phases of q 0.02, whose names the (T, p) flash once turned
    // over (its liquid the lighter, q 0.98): the split found must be the
    // (T, p) flash's, of q 0.02, its denser phase the liquid.
    {"propane|r32", 0.1, 'T', 344.23, 0.02, 0},
    // Once the two-phase solver's trivial end (two phases that are one):
    // without the bubble point of Newton's method whose vapour was a
    // liquid, the split of q 0.5 at 285.37 K.
    {"co2|hydrogen", 0.9, 'P', 6752.34, 0.5, 0}};

class NoTwoPhaseState : public ::testing::TestWithParam<NoSplit> {};

TEST_P(NoTwoPhaseState, QualityFlashesNameIt) {
    const NoSplit& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const double z[20] = {c.z1, 1.0 - c.z1};
    double T = c.at, P = c.at, D, Dl, Dv, x[20], y[20], e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    if (c.flash == 'T')
        lib::TQFLSH(T, c.q, z, lib::kMolarQuality, P, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr,
                    herr);
    else
        lib::PQFLSH(P, c.q, z, lib::kMolarQuality, T, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr,
                    herr);
    if (c.ierr != 0) {
        EXPECT_EQ(ierr, c.ierr) << herr;
    }
    if (c.ierr == 219) {
        EXPECT_NE(herr.find("vapor fraction q ="), std::string::npos) << herr;
    }
    if (ierr > 0) return;
    EXPECT_LT(mixtest::balance_mismatch(c.q, x, y, z), 1e-7);
    double D2, Dl2, Dv2, x2[20], y2[20], q2, e2, h2, s2;
    lib::TPFLSH(T, P, z, D2, Dl2, Dv2, x2, y2, q2, e2, h2, s2, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(q2, c.q, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(States, NoTwoPhaseState, ::testing::ValuesIn(kNoSplits));

// Octane + water 50/50 at 420.9 K: the split of q 0.8 first found lies
// above the (T, p) flash's state at its pressure; the stable one is found
// along the isotherm at 498 kPa.
TEST(QualityFlash, StableSplitAtAnotherPressure) {
    ASSERT_EQ(testsupport::set_up("octane|water"), "");
    const double z[20] = {0.5, 0.5}, T = 420.868;
    double P, D, Dl, Dv, x[20], y[20], e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TQFLSH(T, 0.8, z, lib::kMolarQuality, P, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(P, 498.24, 0.01);
    double q2 = 0, h2 = 0;
    lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q2, e, h2, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    EXPECT_NEAR(q2, 0.8, 1e-6);
    EXPECT_NEAR(h2, h, 1e-6 * std::fabs(h));
}

INSTANTIATE_TEST_SUITE_P(Binaries, QualityRoundTrip,
                         ::testing::Values(mixtest::BinaryAt{"ethane|octane", 323.38},
                                           mixtest::BinaryAt{"butane|mpalmita", 446.26},
                                           mixtest::BinaryAt{"propane|co", 180.9},
                                           mixtest::BinaryAt{"methane|ethane", 175.4},
                                           // Close to the critical point:
                                           // bubble and dew points 0.3 %
                                           // apart, Newton's method alone
                                           // finds no bubble point.
                                           mixtest::BinaryAt{"ebenzene|octane", 586.264},
                                           mixtest::BinaryAt{"propylen|r115", 346.00045},
                                           mixtest::BinaryAt{"acetone|r113", 482.695}),
                         mixtest::binary_name);

}  // namespace

// A flue gas at 150 kPa: its water condenses below 321 K (q 0.88 once all
// of it has) and then freezes; no state of q 0.5 lies down the isobar, and
// PQFLSH says so (it once passed on SATP's failure to find a bubble point).
TEST(QualityFlash, VapourFractionAFlueGasCannotReach) {
    ASSERT_EQ(testsupport::set_up("nitrogen|oxygen|argon|co2|water"), "");
    const double z[20] = {0.7, 0.09, 0.01, 0.08, 0.12};
    double T, D, Dl, Dv, x[20], y[20], e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::PQFLSH(150.0, 0.5, z, lib::kMolarQuality, T, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr,
                herr);
    EXPECT_EQ(ierr, 295) << herr;
    EXPECT_NE(herr.find("no two-phase state of vapor fraction"), std::string::npos) << herr;
    lib::PQFLSH(150.0, 0.95, z, lib::kMolarQuality, T, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr,
                herr);
    EXPECT_LE(ierr, 0) << herr;
    EXPECT_NEAR(T, 320.845, 0.01);
}

// Helium with a heavier gas: two phases far above the critical temperature
// CRITP estimates, at pressures above the heavier's melting pressure there.
// PQFLSH gives each split back from its vapour fraction (it once refused
// the pressure as above the melting pressure at 0.8 of that estimate).
TEST(QualityFlash, HeliumMixturesAboveTheirEstimatedCriticalPoint) {
    struct Case {
        const char* names;
        double T, P;
    };
    for (const Case& c : {Case{"co2|helium", 255.256895, 8831.529109559895},
                          Case{"co|helium", 126.217, 11006.731643782803},
                          Case{"helium|argon", 129.5659875, 10510.356978504426}}) {
        SCOPED_TRACE(c.names);
        ASSERT_EQ(testsupport::set_up(c.names), "");
        const double z[20] = {0.5, 0.5};
        double D, Dl, Dv, x[20], y[20], q = 0, e, h, s, cv, cp, w, T2 = 0;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        ASSERT_TRUE(q > 0.0 && q < 1.0) << q;
        lib::PQFLSH(c.P, q, z, lib::kMolarQuality, T2, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr,
                    herr);
        ASSERT_LE(ierr, 0) << herr;
        EXPECT_NEAR(T2 / c.T, 1.0, 1e-6);
    }
}
