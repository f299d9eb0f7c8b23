// Mixtures with a component far below its triple point, and mixtures of a
// light gas with a heavy liquid: the carbon dioxide of Dry ISO Air at 80 K
// is carried along (the (T, p) results continuous through the dew point of
// the air, which SATP finds); humid air whose water would freeze is refused
// with the reason; hydrogen with water and helium with hexane split, and
// every flash finds their states again.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/phik.h"
#include "tests/library/phase/mix_support.h"

namespace {

class FrozenAndAsymmetric : public ::testing::Test {
protected:
    void TearDown() override { mixtest::setup_nitrogen(); }
    void set_up(const mixtest::Mixture& m) {
        ASSERT_TRUE(mixtest::setup(m));
        m.fill(z);
    }
    double z[20] = {};
};

struct Tp {
    double q = 0, h = 0, s = 0, D = 0;
    int ierr = 0;
    std::string herr;
};

Tp tp(double T, double P, const double z[20]) {
    Tp r;
    double Dl, Dv, x[20], y[20], e, cv, cp, w;
    lib::TPFLSH(T, P, z, r.D, Dl, Dv, x, y, r.q, e, r.h, r.s, cv, cp, w, r.ierr, r.herr);
    return r;
}

const mixtest::Mixture kIsoAir{
    "Dry ISO Air", "oxygen|nitrogen|argon|co2", {0.20942, 0.78086, 0.00934, 0.00038}};

// Across the two-phase region of the air at 1 atm in steps of 0.02 K the
// enthalpy rises steadily (at most 4400 J/(mol K) next to the bubble point:
// 90 J/mol a step; the liquid switched from air to almost pure carbon
// dioxide at 80.05 K, a jump of 2545 J/mol); the dew point of the air is
// SATP's.
TEST_F(FrozenAndAsymmetric, TraceOfCarbonDioxideInAirIsCarriedAlong) {
    set_up(kIsoAir);
    double Tdew = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    lib::SATP(101.325, z, lib::kDewPoint, Tdew, Dl, Dv, xl, xv, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(Tdew, 81.75, 0.05);
    EXPECT_NEAR(xl[3], z[3], 1e-12);  // the trace in the incipient liquid
    Tp last = tp(79.0, 101.325, z);
    ASSERT_LE(last.ierr, 0) << last.herr;
    double worst = 0.0;
    for (double T = 79.02; T < 83.0; T += 0.02) {
        const Tp now = tp(T, 101.325, z);
        ASSERT_LE(now.ierr, 0) << T << ": " << now.herr;
        worst = std::max(worst, (now.h - last.h) / 0.02);
        const bool two = now.q > 0.0 && now.q < 1.0;
        EXPECT_EQ(two, T < Tdew) << T;
        last = now;
    }
    EXPECT_GT(worst, 0.0);
    EXPECT_LT(worst, 10000.0);  // J/(mol K): 200 J/mol in a step
    // A two-phase state is found again by the pressure flash.
    const Tp at = tp(80.5, 101.325, z);
    double T2 = 0, D2, x2[20], y2[20], q2 = 0, e2, s2, cv, cp, w;
    lib::PHFLSH(101.325, at.h, z, T2, D2, Dl, Dv, x2, y2, q2, e2, s2, cv, cp, w, ierr, herr);
    EXPECT_LE(ierr, 0) << herr;
    EXPECT_NEAR(T2, 80.5, 1e-6);
    EXPECT_NEAR(q2, at.q, 1e-6);
}

// Water 4 % in air below 90 % of its triple point (245.8 K) would freeze
// out: refused with error 250 naming it; above, it condenses as liquid.
TEST_F(FrozenAndAsymmetric, HumidAirWhoseWaterWouldFreezeIsRefused) {
    set_up({"humid air", "nitrogen|oxygen|argon|water", {0.75, 0.2012, 0.0088, 0.04}});
    for (double T : {200.0, 230.0, 245.0}) {
        const Tp r = tp(T, 100.0, z);
        EXPECT_EQ(r.ierr, 250) << T;
        EXPECT_NE(r.herr.find("water"), std::string::npos) << r.herr;
        EXPECT_NE(r.herr.find("would freeze out"), std::string::npos) << r.herr;
    }
    const Tp r = tp(250.0, 100.0, z);
    EXPECT_LE(r.ierr, 0) << r.herr;
    EXPECT_GT(r.q, 0.95);
    EXPECT_LT(r.q, 0.97);
    // The pressure flash of that state does not go below it.
    double T2 = 0, D2, Dl, Dv, x2[20], y2[20], q2 = 0, e2, s2, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::PHFLSH(100.0, r.h, z, T2, D2, Dl, Dv, x2, y2, q2, e2, s2, cv, cp, w, ierr, herr);
    EXPECT_LE(ierr, 0) << herr;
    EXPECT_NEAR(T2, 250.0, 1e-6);
}

// The bubble point of liquid air holding 1 % of water, far below water's
// triple point, is no state: the quality flashes at q 0 refuse it as the
// saturation routines do (they returned it, 62.55 kPa at 75 K).  A dew point
// above the frost point is found by all alike.
TEST_F(FrozenAndAsymmetric, SaturationPointWhoseWaterWouldFreezeIsRefused) {
    set_up({"humid air",
            "oxygen|nitrogen|argon|co2|water",
            {0.2073, 0.7730, 0.00925, 0.00038, 0.01007}});
    for (const double T : {75.0, 100.0, 290.0}) {
        const double q = T < 200.0 ? 0.0 : 1.0;
        double Ps = 0, Dl, Dv, x[20], y[20];
        int ierr_sat = 0;
        std::string herr_sat;
        lib::SATT(T, z, q == 0.0 ? lib::kBubblePoint : lib::kDewPoint, Ps, Dl, Dv, x, y, ierr_sat,
                  herr_sat);
        double P = 0, T2 = 0, D, e, h, s, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TQFLSH(T, q, z, lib::kMolarQuality, P, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr,
                    herr);
        EXPECT_EQ(ierr > 0, ierr_sat > 0) << T << " " << herr << " / " << herr_sat;
        lib::PQFLSH(Ps, q, z, lib::kMolarQuality, T2, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr,
                    herr);
        EXPECT_EQ(ierr > 0, ierr_sat > 0) << T << " " << herr;
        if (T < 200.0) {
            EXPECT_EQ(ierr, 250) << T;
            EXPECT_NE(herr.find("water would freeze out"), std::string::npos) << herr;
        } else {
            EXPECT_NEAR(T2, T, 1e-6 * T);
        }
    }
}

// The flashes at given pressure refuse an enthalpy or entropy below that of
// the fluid at the freezing of its water with that reason, as the (T, p)
// flash does (humid air of 0.14 % water at 36.2 kPa: "iteration did not
// converge" before).
TEST_F(FrozenAndAsymmetric, PressureFlashesBelowTheFrostPointSayWhy) {
    set_up({"humid air",
            "nitrogen|oxygen|argon|co2|water",
            {0.77980622782278131, 0.20909821630793257, 0.0092798050652821082,
             0.00040346978544704789, 0.0014122810185575199}});
    const double P = 36.17227381;
    const Tp r = tp(246.0, P, z);
    ASSERT_LE(r.ierr, 0) << r.herr;
    for (const double below : {1.0, 5.0, 20.0}) {
        double T2 = 0, D2, Dl, Dv, x2[20], y2[20], q2 = 0, e2, other, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::PHFLSH(P, r.h - 30.0 * below, z, T2, D2, Dl, Dv, x2, y2, q2, e2, other, cv, cp, w,
                    ierr, herr);
        EXPECT_EQ(ierr, 250) << below << ": " << herr;
        EXPECT_NE(herr.find("water would freeze out"), std::string::npos) << herr;
        lib::PSFLSH(P, r.s - 0.12 * below, z, T2, D2, Dl, Dv, x2, y2, q2, e2, other, cv, cp, w,
                    ierr, herr);
        EXPECT_EQ(ierr, 250) << below << ": " << herr;
        EXPECT_NE(herr.find("water would freeze out"), std::string::npos) << herr;
    }
}

// Natural Gas Groningen carries its 0.9 % of carbon dioxide down to
// 149.9 K at 96.3 kPa, far below the freezing floor of the search: an
// enthalpy of 150.5 K is found, one below 149.9 K refused with the flash's
// reason.
TEST_F(FrozenAndAsymmetric, PressureFlashBelowTheLowestFluidStateSaysWhy) {
    set_up({"Groningen",
            "pentane|butane|propane|ethane|methane|nitrogen|co2",
            {0.001, 0.002, 0.004, 0.029, 0.812, 0.143, 0.009}});
    const double P = 96.325;
    const Tp at = tp(150.5, P, z), cold = tp(150.0, P, z);
    ASSERT_LE(at.ierr, 0) << at.herr;
    ASSERT_LE(cold.ierr, 0) << cold.herr;
    double T2 = 0, D2, Dl, Dv, x2[20], y2[20], q2 = 0, e2, s2, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::PHFLSH(P, at.h, z, T2, D2, Dl, Dv, x2, y2, q2, e2, s2, cv, cp, w, ierr, herr);
    EXPECT_LE(ierr, 0) << herr;
    EXPECT_NEAR(T2, 150.5, 1e-6);
    lib::PHFLSH(P, cold.h - 20.0, z, T2, D2, Dl, Dv, x2, y2, q2, e2, s2, cv, cp, w, ierr, herr);
    EXPECT_EQ(ierr, 250) << herr;
    EXPECT_NE(herr.find("[PHFLSH error 250]"), std::string::npos) << herr;
    EXPECT_NE(herr.find("co2 would freeze out"), std::string::npos) << herr;
}

// Below that floor the gas may keep its carbon dioxide (its frost point
// for it lies lower still) and split off a trace of liquid: the flashes at
// given pressure find those states of the (T, p) flash again, searching
// the isobar between the lowest fluid state and the floor (they failed
// with 248 from the search that starts at the floor).
TEST_F(FrozenAndAsymmetric, PressureFlashesFindTheFluidBelowTheFreezingFloor) {
    set_up(
        {"Natural Gas Groningen",
         "methane|nitrogen|co2|ethane|propane|isobutane|butane|ipentane|pentane|hexane",
         {0.81299, 0.14339, 0.0089, 0.02848, 0.00372, 0.0005, 0.00052, 0.00012, 0.00011, 0.00017}});
    double sum = 0.0;  // (the given fractions, normalised)
    for (double v : z) sum += v;
    for (double& v : z) v /= sum;
    const double states[][2] = {{130.0, 3.0}, {142.5, 30.0}};  // K, kPa
    for (const auto& st : states) {
        const double T = st[0], P = st[1];
        const Tp at = tp(T, P, z);
        ASSERT_EQ(at.ierr, 0) << at.herr;
        ASSERT_GT(at.q, 0.99);  // a gas beside a trace of liquid
        ASSERT_LT(at.q, 1.0);
        double T2 = 0, D2 = 0, Dl, Dv, x2[20], y2[20], q2 = 0, e2, h2 = 0, s2 = 0, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::PHFLSH(P, at.h, z, T2, D2, Dl, Dv, x2, y2, q2, e2, s2, cv, cp, w, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        EXPECT_NEAR(T2, T, 1e-6 * T) << P << " kPa";
        EXPECT_NEAR(q2, at.q, 1e-7);
        EXPECT_NEAR(s2, at.s, 1e-6);
        lib::PSFLSH(P, at.s, z, T2, D2, Dl, Dv, x2, y2, q2, e2, h2, cv, cp, w, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        EXPECT_NEAR(T2, T, 1e-6 * T) << P << " kPa";
        EXPECT_NEAR(h2, at.h, 1e-4);
    }
}

// Natural Gas Groningen at 90-110 K, 2.2 MPa, whose 0.9 % of carbon dioxide
// freezes out: refused with the reason, after a few splits that find no
// vapour root (their successive substitution had repeated the same failing
// root pass after pass: 250,000 evaluations at 90 K).
TEST_F(FrozenAndAsymmetric, NaturalGasWhoseCarbonDioxideWouldFreezeIsRefused) {
    set_up({"Groningen gas",
            "pentane|butane|propane|ethane|methane|nitrogen|co2",
            {0.001, 0.002, 0.004, 0.029, 0.812, 0.143, 0.009}});
    for (double T : {90.0, 100.0, 110.0}) {
        const unsigned long long e0 = lib::EOS_EVALUATIONS;
        const Tp r = tp(T, 2222.68, z);
        EXPECT_EQ(r.ierr, 250) << T;
        EXPECT_NE(r.herr.find("co2 would freeze out"), std::string::npos) << r.herr;
        EXPECT_LT(lib::EOS_EVALUATIONS - e0, 100000u) << T;
    }
    const Tp r = tp(150.0, 2222.68, z);
    EXPECT_LE(r.ierr, 0) << r.herr;
}

// A light gas with a heavy liquid (the dew point far above the critical
// temperature of the mixture, the liquid nearly the heavy component alone):
// the split, the dew point, and every flash back to the state.
struct Asymmetric {
    mixtest::Mixture m;
    double T, P, pdew;  // K, kPa; the dew pressure at T
};

const std::vector<Asymmetric>& asymmetric() {
    static const std::vector<Asymmetric> a = {
        {{"hydrogen + water", "hydrogen|water", {0.5, 0.5}}, 300, 1000, 7.065},
        {{"helium + hexane", "helium|hexane", {0.5, 0.5}}, 300, 1000, 43.27},
    };
    return a;
}

TEST_F(FrozenAndAsymmetric, LightGasWithHeavyLiquid) {
    for (const Asymmetric& a : asymmetric()) {
        SCOPED_TRACE(a.m.label);
        set_up(a.m);
        double pd = 0, Dl = 0, Dv = 0, xl[20], xv[20];
        int ierr = 0;
        std::string herr;
        lib::SATT(a.T, z, lib::kDewPoint, pd, Dl, Dv, xl, xv, ierr, herr);
        EXPECT_EQ(ierr, 0) << herr;
        EXPECT_NEAR(pd, a.pdew, 1e-3 * a.pdew);
        double D, x[20], y[20], q = 0, e, h, s, cv, cp, w;
        lib::TPFLSH(a.T, a.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        ASSERT_GT(q, 0.5);
        ASSERT_LT(q, 0.52);
        EXPECT_LT(mixtest::fugacity_mismatch(a.T, Dl, Dv, x, y, z), 1e-9);
        double T2 = 0, P2 = 0, D2, Dl2, Dv2, x2[20], y2[20], q2 = 0, e2, h2, s2;
        lib::TSFLSH(a.T, s, z, 1, P2, D2, Dl2, Dv2, x2, y2, q2, e2, h2, cv, cp, w, ierr, herr);
        EXPECT_NEAR(P2, a.P, 1e-6 * a.P) << herr;
        lib::THFLSH(a.T, h, z, 1, P2, D2, Dl2, Dv2, x2, y2, q2, e2, s2, cv, cp, w, ierr, herr);
        EXPECT_NEAR(P2, a.P, 1e-6 * a.P) << herr;
        lib::PHFLSH(a.P, h, z, T2, D2, Dl2, Dv2, x2, y2, q2, e2, s2, cv, cp, w, ierr, herr);
        EXPECT_NEAR(T2, a.T, 1e-6) << herr;
        lib::PSFLSH(a.P, s, z, T2, D2, Dl2, Dv2, x2, y2, q2, e2, h2, cv, cp, w, ierr, herr);
        EXPECT_NEAR(T2, a.T, 1e-6) << herr;
        lib::HSFLSH(h, s, z, T2, P2, D2, Dl2, Dv2, x2, y2, q2, e2, cv, cp, w, ierr, herr);
        EXPECT_NEAR(T2, a.T, 1e-6) << herr;
        lib::TQFLSH(a.T, q, z, 1, P2, D2, Dl2, Dv2, x2, y2, e2, h2, s2, cv, cp, w, ierr, herr);
        EXPECT_NEAR(P2, a.P, 1e-6 * a.P) << herr;
        lib::PQFLSH(a.P, q, z, 1, T2, D2, Dl2, Dv2, x2, y2, e2, h2, s2, cv, cp, w, ierr, herr);
        EXPECT_NEAR(T2, a.T, 1e-6) << herr;
        lib::TDFLSH(a.T, D, z, P2, Dl2, Dv2, x2, y2, q2, e2, h2, s2, cv, cp, w, ierr, herr);
        EXPECT_NEAR(P2, a.P, 1e-6 * a.P) << herr;
    }
}

// Components far below their triple points that have no sublimation line:
// the state is refused where their fugacity lies above the solid's (the
// liquid's vapour pressure carried below the triple point, lowered by the
// least heat of fusion) or where they make up most of a liquid of the
// split, a fluid state beside it is not.
struct FrozenCase {
    mixtest::Mixture m;
    double T, P;          // K, kPa
    const char* freezes;  // the component named, or nullptr for a fluid state
};

TEST_F(FrozenAndAsymmetric, ComponentsWithoutSublimationLineFreezeOut) {
    const std::vector<FrozenCase> cases = {
        {{"nitrogen + ethane", "nitrogen|ethane", {0.9, 0.1}}, 80, 4, "ethane"},
        {{"nitrogen + ethane", "nitrogen|ethane", {0.9, 0.1}}, 75, 4, "ethane"},
        {{"nitrogen + ethane", "nitrogen|ethane", {0.9, 0.1}}, 80, 1e-5, nullptr},
        {{"methane + ethane", "methane|ethane", {0.9, 0.1}}, 80, 1, "methane"},
        {{"methane + ethane", "methane|ethane", {0.9, 0.1}}, 82, 1, nullptr},
        {{"methane + ethane", "methane|ethane", {0.9, 0.1}}, 100, 100, nullptr},
        {{"ammonia + water", "ammonia|water", {0.3, 0.7}}, 230, 100, nullptr},
        {{"isobutane + water", "isobutane|water", {0.5, 0.5}}, 196.675, 10, "water"},
        // A liquid of a split made mostly of them, beside a gas or a liquid
        // (found once the fugacities of a trace in a pure liquid agreed):
        {{"cyclopropane + propane", "cyclopro|propane", {0.5, 0.5}}, 128.216, 87.731, "cyclopro"},
        {{"carbon monoxide + ethanol", "co|ethanol", {0.5, 0.5}}, 120.84, 87.731, "ethanol"},
        {{"nonane + oxygen", "nonane|oxygen", {0.5, 0.5}}, 158.184, 87.731, "nonane"},
        {{"r21 + r22", "r21|r22", {0.5, 0.5}}, 119.952, 87.731, "r21"},
    };
    for (const FrozenCase& c : cases) {
        SCOPED_TRACE(c.m.label + " at " + std::to_string(c.T) + " K, " + std::to_string(c.P) +
                     " kPa");
        set_up(c.m);
        const Tp r = tp(c.T, c.P, z);
        if (c.freezes == nullptr) {
            EXPECT_LE(r.ierr, 0) << r.herr;
            EXPECT_GT(r.D, 0.0);
            continue;
        }
        EXPECT_EQ(r.ierr, 250) << r.herr;
        EXPECT_NE(r.herr.find(std::string(c.freezes) + " would freeze out"), std::string::npos)
            << r.herr;
    }
}

// A state from which a component would freeze out is refused by every
// flash, as the (T, p) flash refuses it (error 250, the component named):
// HSFLSH had taken the split it continued along its lines for the state.
// The rows: the h and s of carbon dioxide + water 96/4 at its bubble point
// at 220 K (a split at 226.96 K, 7.57 MPa, with 4 % of water), and of
// Natural Gas Groningen's two phases at 88.0 K and 123.8 K, whose 0.9 % of
// carbon dioxide freezes.
struct FrozenHs {
    const char* label;
    mixtest::Mixture m;
    double h, s;  // J/mol, J/(mol K); h 0: the bubble point at T = s
    const char* component;
};

const mixtest::Mixture kCo2Water{"co2+water", "co2|water", {0.96, 0.04}};
const mixtest::Mixture kGroningen{"Groningen",
                                  "pentane|butane|propane|ethane|methane|nitrogen|co2",
                                  {0.001, 0.002, 0.004, 0.029, 0.812, 0.143, 0.009}};

const FrozenHs kFrozenHs[] = {
    {"Co2WaterBubbleAt220K", kCo2Water, 0.0, 220.0, "water"},
    {"GroningenAt88K", kGroningen, 6378.712025, 137.8185323, "co2"},
    {"GroningenAt124K", kGroningen, 8104.40018, 129.6375369, "co2"},
};

class FrozenStateOfHs : public ::testing::TestWithParam<FrozenHs> {
protected:
    void TearDown() override { mixtest::setup_nitrogen(); }
};

TEST_P(FrozenStateOfHs, IsRefusedAsByTheTpFlash) {
    const FrozenHs& c = GetParam();
    ASSERT_TRUE(mixtest::setup(c.m));
    double z[20];
    c.m.fill(z);
    double h = c.h, s = c.s;
    int ierr = 0;
    std::string herr;
    double T = 0, P = 0, D = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e, cv, cp, w;
    if (c.h == 0.0) {
        const double Tb = c.s;
        // (SATT refuses it as the (T, p) flash does, keeping the point.)
        lib::SATT(Tb, z, lib::kBubblePoint, P, Dl, Dv, x, y, ierr, herr);
        ASSERT_EQ(ierr, 250) << herr;
        double p = 0, hjt = 0;
        lib::THERM(Tb, Dl, z, p, e, h, s, cv, cp, w, hjt);
        // The (T, p) flash refuses the bubble point itself.
        EXPECT_EQ(tp(Tb, P, z).ierr, 250);
    }
    lib::HSFLSH(h, s, z, T, P, D, Dl, Dv, x, y, q, e, cv, cp, w, ierr, herr);
    EXPECT_EQ(ierr, 250) << herr;
    EXPECT_NE(herr.find(std::string(c.component) + " would freeze out"), std::string::npos) << herr;
    EXPECT_EQ(q, 999.0);
    // The (T, p) flash at the state's T and P says the same.
    EXPECT_EQ(tp(T, P, z).ierr, 250) << T << " K, " << P << " kPa";
}

std::string frozen_hs_name(const ::testing::TestParamInfo<FrozenHs>& p) { return p.param.label; }

INSTANTIATE_TEST_SUITE_P(States, FrozenStateOfHs, ::testing::ValuesIn(kFrozenHs), frozen_hs_name);

// Next to those, where the (T, p) flash accepts a state (the flue gas of
// 16 % water at 250 K, 0.6 kPa, a trace of liquid water beside the gas;
// 247.8 K at its h and s from 240.57 K, where its water freezes), HSFLSH
// and TDFLSH give it back.
TEST_F(FrozenAndAsymmetric, FlueGasAboveTheFrostOfItsWaterIsFound) {
    set_up({"flue gas", "nitrogen|co2|water|oxygen|argon", {0.72, 0.09, 0.16, 0.02, 0.01}});
    const Tp at = tp(250.0, 0.6, z);
    ASSERT_EQ(at.ierr, 0) << at.herr;
    ASSERT_GT(at.q, 0.99);
    ASSERT_LT(at.q, 1.0);
    int ierr = 0;
    std::string herr;
    double T = 0, P = 0, D = 0, Dl, Dv, x[20], y[20], q = 0, e = 0, h = 0, s = 0, cv, cp, w;
    lib::HSFLSH(at.h, at.s, z, T, P, D, Dl, Dv, x, y, q, e, cv, cp, w, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(T, 250.0, 1e-6);
    EXPECT_NEAR(P, 0.6, 1e-8);
    EXPECT_NEAR(q, at.q, 1e-8);
    lib::TDFLSH(250.0, at.D, z, P, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(P, 0.6, 1e-8);
    EXPECT_NEAR(h, at.h, 1e-6);
    // The refused gas at 240.57 K has the h and s of a state the (T, p)
    // flash accepts, warmer: that one is HSFLSH's answer.
    const Tp cold = tp(240.57, 0.6, z);
    ASSERT_EQ(cold.ierr, 250) << cold.herr;
    lib::HSFLSH(cold.h, cold.s, z, T, P, D, Dl, Dv, x, y, q, e, cv, cp, w, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(T, 249.76, 0.01);
    EXPECT_EQ(tp(T, P, z).ierr, 0);
}

// The saturation routines' points where the (T, p) flash refuses the
// feed's state because a component would freeze out of it are refused the
// same way (error 250, the flash's reason), the point's values kept; the
// points it accepts stay (the trace of carbon dioxide in air at 80 K, the
// mixtures above the freezing of their carbon dioxide).
struct SaturationPoint {
    const char* label;
    mixtest::Mixture m;
    bool at_t;     // SATT at `value` K, else SATP at `value` kPa
    double value;  // K or kPa
    int kph;
    const char* freezing;  // the component named, nullptr: accepted
};

const mixtest::Mixture kAir015{
    "air + 0.15 % co2", "nitrogen|argon|oxygen|co2", {0.7797, 0.0093, 0.2095, 0.0015}};
const mixtest::Mixture kCo2N2{"co2 + nitrogen", "co2|nitrogen", {0.3, 0.7}};
const mixtest::Mixture kHighCo2{"natural gas, 7.6 % co2",
                                "methane|nitrogen|co2|ethane|propane|isobutane|butane",
                                {0.81212, 0.05702, 0.07585, 0.04303, 0.00895, 0.00151, 0.00152}};

const SaturationPoint kSaturationPoints[] = {
    {"AirBubbleAt80K", kAir015, true, 80.0, lib::kBubblePoint, "co2"},
    {"AirDewAt1MPa", kAir015, false, 1000.0, lib::kDewPoint, "co2"},
    {"Co2WaterBubbleAt200K", kCo2Water, true, 200.0, lib::kBubblePoint, "water"},
    {"Co2NitrogenDewAt150K", kCo2N2, true, 150.0, lib::kDewPoint, "co2"},
    {"NaturalGasBubbleAt100kPa", kHighCo2, false, 100.0, lib::kBubblePoint, "co2"},
    {"IsoAirBubbleAt80K", kIsoAir, true, 80.0, lib::kBubblePoint, nullptr},
    {"Co2NitrogenDewAt200K", kCo2N2, true, 200.0, lib::kDewPoint, nullptr},
    {"NaturalGasBubbleAt200K", kHighCo2, true, 200.0, lib::kBubblePoint, nullptr},
};

class FrozenSaturationPoint : public ::testing::TestWithParam<SaturationPoint> {
protected:
    void TearDown() override { mixtest::setup_nitrogen(); }
};

TEST_P(FrozenSaturationPoint, IsRefusedAsByTheTpFlash) {
    const SaturationPoint& c = GetParam();
    ASSERT_TRUE(mixtest::setup(c.m));
    double z[20];
    c.m.fill(z);
    double T = c.value, P = c.value, Dl = 0, Dv = 0, x[20], y[20];
    int ierr = 0;
    std::string herr;
    // Twice: the second answer is the point kept from the first call.
    for (int call = 0; call < 2; ++call) {
        if (c.at_t)
            lib::SATT(T, z, c.kph, P, Dl, Dv, x, y, ierr, herr);
        else
            lib::SATP(P, z, c.kph, T, Dl, Dv, x, y, ierr, herr);
        const Tp at = tp(T, P, z);
        if (c.freezing == nullptr) {
            EXPECT_EQ(ierr, 0) << herr;
            EXPECT_NE(at.ierr, 250) << at.herr;
            continue;
        }
        EXPECT_EQ(ierr, 250) << herr;
        EXPECT_NE(herr.find(std::string(c.freezing) + " would freeze out"), std::string::npos)
            << herr;
        // The point stays, and the (T, p) flash refuses its state.
        EXPECT_GT(P, 0.0);
        EXPECT_GT(Dl, Dv);
        EXPECT_EQ(at.ierr, 250) << T << " K, " << P << " kPa";
    }
}

std::string saturation_point_name(const ::testing::TestParamInfo<SaturationPoint>& p) {
    return p.param.label;
}

INSTANTIATE_TEST_SUITE_P(States, FrozenSaturationPoint, ::testing::ValuesIn(kSaturationPoints),
                         saturation_point_name);

}  // namespace
