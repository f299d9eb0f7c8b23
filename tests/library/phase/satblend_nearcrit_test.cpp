// Saturation of refrigerant blends within a few kelvin of their critical
// point (where bubble and dew lines meet, CRTPNT): each point found, at
// equal fugacities, with two distinct phases, and SATP's point at SATT's
// pressure is SATT's point.  A call beyond the line's end fails.
#include <gtest/gtest.h>

#include <cmath>
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
};

class BlendBesideCriticalPoint
    : public mixtest::MixtureSuite<::testing::TestWithParam<BlendPoint>> {};

TEST_P(BlendBesideCriticalPoint, FoundAtEquilibrium) {
    const BlendPoint& c = GetParam();
    ASSERT_TRUE(mixtest::setup(c.m));
    double z[20];
    c.m.fill(z);
    double T = c.at_p ? 0.0 : c.value, P = c.at_p ? c.value : 0.0;
    double Dl = 0, Dv = 0, xl[20] = {}, xv[20] = {};
    int ierr = 0;
    std::string herr;
    if (c.at_p)
        lib::SATP(P, z, c.kph, T, Dl, Dv, xl, xv, ierr, herr);
    else
        lib::SATT(T, z, c.kph, P, Dl, Dv, xl, xv, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_GT(Dl, Dv * 1.01) << "T " << T << " P " << P;
    EXPECT_LT(mixtest::fugacity_mismatch(T, Dl, Dv, xl, xv, z), 1e-9) << "T " << T;
    // Within a few kelvin below the true critical point, at most a little
    // above its pressure (the cricondenbar).
    double Tc = 0, Pc = 0, Dc = 0;
    lib::CRTPNT(z, Tc, Pc, Dc, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_LT(std::fabs(T - Tc), 5.0);
    EXPECT_LT(P, 1.01 * Pc);
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

}  // namespace
