// Saturation of refrigerant blends within a few kelvin of their critical
// point (where bubble and dew lines meet, CRTPNT): each point found, at
// equal fugacities, with two distinct phases, and SATP's point at SATT's
// pressure is SATT's point.  A call beyond the line's end fails.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "library/library.h"
#include "tests/library/phase/mix_support.h"

namespace {

const mixtest::Mixture kR404A{
    "R404A", "r125|r134a|r143a", {0.357816784026318, 0.0382639950410712, 0.603919220932611}};
const mixtest::Mixture kR407A{
    "R407A", "r32|r125|r134a", {0.346419854360797, 0.300315552114308, 0.353264593524896}};
const mixtest::Mixture kR407C{
    "R407C", "r32|r125|r134a", {0.381109419953993, 0.179558888662016, 0.439331691383991}};
const mixtest::Mixture kR410A{"R410A", "r32|r125", {0.697614699375863, 0.302385300624138}};
const mixtest::Mixture kR507A{"R507A", "r125|r143a", {0.411839711774438, 0.588160288225562}};

// A point asked for: SATT at T (at_p false) or SATP at P (at_p true).
struct BlendPoint {
    const char* label;
    mixtest::Mixture m;
    int kph;
    bool at_p;
    double value;  // K or kPa
};

void PrintTo(const BlendPoint& r, std::ostream* os) { *os << r.label; }

// The point asked for, with the mixture set up and its composition in z.
struct Found {
    double T = 0, P = 0, Dl = 0, Dv = 0, xl[20] = {}, xv[20] = {};
    int ierr = 0;
    std::string herr;
};

Found find_point(const BlendPoint& c, double z[20]) {
    Found f;
    c.m.fill(z);
    (c.at_p ? f.P : f.T) = c.value;
    if (c.at_p)
        lib::SATP(f.P, z, c.kph, f.T, f.Dl, f.Dv, f.xl, f.xv, f.ierr, f.herr);
    else
        lib::SATT(f.T, z, c.kph, f.P, f.Dl, f.Dv, f.xl, f.xv, f.ierr, f.herr);
    return f;
}

// Checks a point found: two distinct phases at equal fugacities, within
// `within` K of the critical point (CRTPNT), whose pressure goes to Pc.
void expect_beside_critical_point(const Found& f, const double z[20], double within, double& Pc) {
    EXPECT_GT(f.Dl, f.Dv * 1.01) << "T " << f.T << " P " << f.P;
    EXPECT_LT(mixtest::fugacity_mismatch(f.T, f.Dl, f.Dv, f.xl, f.xv, z), 1e-9) << "T " << f.T;
    double Tc = 0, Dc = 0;
    int ierr = 0;
    std::string herr;
    lib::CRTPNT(z, Tc, Pc, Dc, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_LT(std::fabs(f.T - Tc), within);
}

// Each failed (error 128 or 148) before Newton's method was marched along
// the line: from the start estimates it fell onto the trivial solution.
const BlendPoint kPoints[] = {
    {"R404ABubble344K", kR404A, lib::kBubblePoint, false, 344.0},
    {"R404ABubble345p2K", kR404A, lib::kBubblePoint, false, 345.2},
    {"R407ABubble355K", kR407A, lib::kBubblePoint, false, 355.0},
    // (The liquid 0.02 K below the true critical point lies below the
    // estimated critical density, where the density solver's dense
    // iteration does not go.)
    {"R410ABubble344p474K", kR410A, lib::kBubblePoint, false, 344.474},
    {"R507ABubble3690kPa", kR507A, lib::kBubblePoint, true, 3690.0},
    {"R407CDew4630kPa", kR407C, lib::kDewPoint, true, 4630.0},
    // (Newton's method from the estimates ended on the bubble point, the
    // liquid the lighter phase, and on the trivial solution.)
    {"R407CDew359p1953K", kR407C, lib::kDewPoint, false, 359.1953},
    {"R407CDew359p21K", kR407C, lib::kDewPoint, false, 359.21},
};

class BlendBesideCriticalPoint
    : public mixtest::MixtureSuite<::testing::TestWithParam<BlendPoint>> {};

TEST_P(BlendBesideCriticalPoint, FoundAtEquilibrium) {
    const BlendPoint& c = GetParam();
    ASSERT_TRUE(mixtest::setup(c.m));
    double z[20];
    const Found f = find_point(c, z);
    ASSERT_EQ(f.ierr, 0) << f.herr;
    const double T = f.T, P = f.P;
    // Within a few kelvin below the true critical point, at most a little
    // above its pressure (the cricondenbar).
    double Pc = 0;
    expect_beside_critical_point(f, z, 5.0, Pc);
    EXPECT_LT(P, 1.01 * Pc);
    int ierr = 0;
    std::string herr;
    // The other routine's point at this one's T or P is this point.
    double T2 = 0, P2 = 0, Dl2 = 0, Dv2 = 0, xl2[20] = {}, xv2[20] = {};
    if (c.at_p) {
        lib::SATT(T, z, c.kph, P2, Dl2, Dv2, xl2, xv2, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        EXPECT_NEAR(P2, P, 1e-6 * P);
    } else {
        lib::SATP(P, z, c.kph, T2, Dl2, Dv2, xl2, xv2, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        EXPECT_NEAR(T2, T, 1e-6);
    }
}

INSTANTIATE_TEST_SUITE_P(Blends, BlendBesideCriticalPoint, ::testing::ValuesIn(kPoints),
                         [](const ::testing::TestParamInfo<BlendPoint>& p) {
                             return std::string(p.param.label);
                         });

// Points beyond the end of the line (above the true critical point; the
// estimate of CRITP lies higher): the call fails, with the mixture's
// critical point (CRITP) in its outputs as every failed saturation call
// of a mixture leaves it.
const BlendPoint kAbsent[] = {
    {"R410ABubble350K", kR410A, lib::kBubblePoint, false, 350.0},
    {"R404ABubble346K", kR404A, lib::kBubblePoint, false, 346.0},
    {"R410ABubble5500kPa", kR410A, lib::kBubblePoint, true, 5500.0},
};

class BlendBeyondCriticalPoint
    : public mixtest::MixtureSuite<::testing::TestWithParam<BlendPoint>> {};

TEST_P(BlendBeyondCriticalPoint, FailsWithTheCriticalPoint) {
    const BlendPoint& c = GetParam();
    ASSERT_TRUE(mixtest::setup(c.m));
    double z[20];
    c.m.fill(z);
    double out = -1.0, Dl = -1.0, Dv = -1.0, xl[20] = {}, xv[20] = {};
    int ierr = 0;
    std::string herr;
    if (c.at_p)
        lib::SATP(c.value, z, c.kph, out, Dl, Dv, xl, xv, ierr, herr);
    else
        lib::SATT(c.value, z, c.kph, out, Dl, Dv, xl, xv, ierr, herr);
    ASSERT_GT(ierr, 0);
    double Tc = 0, Pc = 0, Dc = 0;
    int ierr_c = 0;
    std::string herr_c;
    lib::CRITP(z, Tc, Pc, Dc, ierr_c, herr_c);
    ASSERT_EQ(ierr_c, 0) << herr_c;
    EXPECT_EQ(out, c.at_p ? Tc : Pc);
    EXPECT_EQ(Dl, Dc);
    EXPECT_EQ(Dv, Dc);
}

INSTANTIATE_TEST_SUITE_P(Blends, BlendBeyondCriticalPoint, ::testing::ValuesIn(kAbsent),
                         [](const ::testing::TestParamInfo<BlendPoint>& p) {
                             return std::string(p.param.label);
                         });

// Points where SATT gave the other line's point: beyond the critical point
// a bubble point whose "liquid" was the lighter phase (R470A at 352.88 K:
// 2.90 beside 8.33 mol/L, the dew point of 4.37 MPa), or a dew point that
// was the bubble point (the vapour 6.55 beside 4.49 mol/L for R412A at
// 379.61 K).  Each call now fails or gives its own line's point, the
// liquid the denser phase; SATP's dew point of R447A at 5597 kPa (357.2 K),
// lost when its search met such a point, is found.
const mixtest::Mixture kR412A{
    "R412A", "r22|r218|r142b", {0.746189416536491, 0.0245117299030133, 0.229298853560496}};
const mixtest::Mixture kR447A{
    "R447A", "r32|r125|r1234ze", {0.824059115538506, 0.0183849541922025, 0.157555930269292}};
const mixtest::Mixture kR447B{
    "R447B", "r32|r125|r1234ze", {0.825081759432181, 0.04207490198826286, 0.13284333857955619}};
const mixtest::Mixture kR470A{"R470A",
                              "co2|r32|r125|r134a|r1234ze|r227ea",
                              {0.19185003423691535, 0.2759030213457569, 0.13366145628899193,
                               0.0579259168273861, 0.32576219157948405, 0.01489737972146575}};
const mixtest::Mixture kR472A{
    "R472A", "co2|r32|r134a", {0.7899549307451733, 0.11621979992882527, 0.09382526932600141}};
const mixtest::Mixture kR472B{
    "R472B", "co2|r32|r134a", {0.7226317144392492, 0.10539856016761652, 0.17196972539313415}};

const BlendPoint kOtherLine[] = {
    {"R470ABubble352p88K", kR470A, lib::kBubblePoint, false, 352.883641},
    {"R412ADew379p61K", kR412A, lib::kDewPoint, false, 379.611317},
    {"R447ADew356p12K", kR447A, lib::kDewPoint, false, 356.11831},
    {"R447BDew352p96K", kR447B, lib::kDewPoint, false, 352.96034},
    {"R472ADew312p68K", kR472A, lib::kDewPoint, false, 312.679523},
    {"R472BDew319p38K", kR472B, lib::kDewPoint, false, 319.378192},
    {"R447ADew5597kPa", kR447A, lib::kDewPoint, true, 5597.004335},
};

class BlendOtherLine : public mixtest::MixtureSuite<::testing::TestWithParam<BlendPoint>> {};

TEST_P(BlendOtherLine, NeverGivesTheOtherLinesPoint) {
    const BlendPoint& c = GetParam();
    ASSERT_TRUE(mixtest::setup(c.m));
    double z[20];
    const Found f = find_point(c, z);
    if (c.at_p) {
        ASSERT_EQ(f.ierr, 0) << f.herr;
    }
    if (f.ierr > 0) return;
    EXPECT_GT(f.Dl, f.Dv * 1.01) << "T " << f.T << " P " << f.P;
    EXPECT_LT(mixtest::fugacity_mismatch(f.T, f.Dl, f.Dv, f.xl, f.xv, z), 1e-9) << "T " << f.T;
}

INSTANTIATE_TEST_SUITE_P(Blends, BlendOtherLine, ::testing::ValuesIn(kOtherLine),
                         [](const ::testing::TestParamInfo<BlendPoint>& p) {
                             return std::string(p.param.label);
                         });

// Dew points at given pressure between the top of the dew line in
// temperature (its cricondentherm) and the critical point, where the line
// turns back: no temperature has them as SATT's point (SATT gives the
// line's lower point there), and they failed with 148.  Each lies within
// 0.1 K of the critical point, at equal fugacities, the temperature falling
// again towards it.
const mixtest::Mixture kR422D{
    "R422D", "r125|r134a|isobutane", {0.596291711495645, 0.339399053279791, 0.064309235224564}};

const BlendPoint kBeyondTop[] = {
    {"R407CDew4630kPa", kR407C, lib::kDewPoint, true, 4630.026},
    {"R407CDew4636p98kPa", kR407C, lib::kDewPoint, true, 4636.9849},
    // (0.6 kPa below the critical point at 4639.30 kPa.)
    {"R407CDew4638p7kPa", kR407C, lib::kDewPoint, true, 4638.7},
    {"R422DDew3794p95kPa", kR422D, lib::kDewPoint, true, 3794.9508},
    {"R422DDew3798kPa", kR422D, lib::kDewPoint, true, 3798.0},
};

class BlendDewLineBeyondItsTop
    : public mixtest::MixtureSuite<::testing::TestWithParam<BlendPoint>> {};

TEST_P(BlendDewLineBeyondItsTop, FoundAtGivenPressure) {
    const BlendPoint& c = GetParam();
    ASSERT_TRUE(mixtest::setup(c.m));
    double z[20];
    const Found f = find_point(c, z);
    ASSERT_EQ(f.ierr, 0) << f.herr;
    double Pc = 0;
    expect_beside_critical_point(f, z, 0.1, Pc);
    // A little less pressure: a little more temperature, or a little less
    // where the line has turned back.
    BlendPoint lower = c;
    lower.value = c.value - 1.0;
    const Found g = find_point(lower, z);
    ASSERT_EQ(g.ierr, 0) << g.herr;
    EXPECT_LT(std::fabs(g.T - f.T), 0.02);
}

INSTANTIATE_TEST_SUITE_P(Blends, BlendDewLineBeyondItsTop, ::testing::ValuesIn(kBeyondTop),
                         [](const ::testing::TestParamInfo<BlendPoint>& p) {
                             return std::string(p.param.label);
                         });

// Dew points closer still to the critical point (R407C's at 4639.30 kPa):
// both phases lie below the estimated critical density (CRITP's 5.82
// mol/L), where no dew point is taken.  SATP refuses them with error 148
// naming the pressure and the critical point in its outputs; it never
// gives the trivial solution (the feed twice) or another line's point.
class BlendDewLineAtItsEnd : public mixtest::MixtureSuite<::testing::Test> {};

TEST_F(BlendDewLineAtItsEnd, RefusedNamingThePressure) {
    ASSERT_TRUE(mixtest::setup(kR407C));
    double z[20];
    kR407C.fill(z);
    double Tc = 0, Pc = 0, Dc = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(z, Tc, Pc, Dc, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    for (const double P : {4639.0, 4639.2, 4639.3}) {
        double T = 0, Dl = 0, Dv = 0, xl[20] = {}, xv[20] = {};
        lib::SATP(P, z, lib::kDewPoint, T, Dl, Dv, xl, xv, ierr, herr);
        if (ierr == 0) {
            // A point found is a true one.
            EXPECT_GT(Dl, Dv * 1.01) << P;
            EXPECT_LT(mixtest::fugacity_mismatch(T, Dl, Dv, xl, xv, z), 1e-9) << P;
            continue;
        }
        EXPECT_EQ(ierr, 148) << P;
        char named[40];
        std::snprintf(named, sizeof named, "P = %7.4f MPa", P / 1000.0);
        EXPECT_NE(herr.find(named), std::string::npos) << herr;
        EXPECT_EQ(T, Tc);
        EXPECT_EQ(Dl, Dc);
        EXPECT_EQ(Dv, Dc);
    }
}

}  // namespace
