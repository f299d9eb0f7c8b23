// PDFLSH and TDFLSH of pure fluids a degree above the triple point, where
// the saturation pressure is tiny (down to 1e-14 kPa) or where a blend's
// stated triple-point pressure lies above its equation's: the liquid at
// twice the saturation pressure, the vapour at half of it and two phases
// at q = 0.3 give back their temperature (and, but for the liquid, whose
// pressure the density barely fixes, their pressure) and vapour fraction.
// They once failed (the liquid's pressure not converging to 1e-6 of itself,
// a positive density below 1e-14 mol/L refused, air's two phases taken for
// vapour) or gave a vapour for two phases.  Also two phases at the triple
// point itself, and densities far above the critical temperature where the
// equation is no fluid.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "tests/library/phase/flash_support.h"

namespace {

using namespace flashtest;

struct Case {
    const char* fluid;
    double T;
};

const Case kCases[] = {{"methanol", 176.61}, {"propane", 86.525}, {"r22", 116.73},
                       {"ethanol", 160.0},   {"mlinolea", 239.1}, {"mlinolen", 219.65},
                       {"r124", 76.0},       {"md3m", 193.0},     {"moleate", 254.47},
                       {"air", 60.75},       {"r407c", 201.0}};

bool two(double q) { return q > 0.0 && q < 1.0; }

class DensityFlashNearTriplePoint : public ::testing::TestWithParam<Case> {};

TEST_P(DensityFlashNearTriplePoint, GivesTheStatesBack) {
    const Case& c = GetParam();
    ASSERT_TRUE(setup(c.fluid));
    const State wet = tq(c.T, 0.3);
    ASSERT_EQ(wet.ierr, 0) << wet.herr;
    const State liquid = tp(c.T, 2.0 * wet.P), vapour = tp(c.T, 0.5 * wet.P);
    ASSERT_EQ(liquid.ierr, 0) << liquid.herr;
    ASSERT_EQ(vapour.ierr, 0) << vapour.herr;
    std::ostringstream bad;
    for (const State* a : {&liquid, &vapour, &wet}) {
        const bool is_two = a == &wet;
        const State p = pd(a->P, a->D);
        if (p.ierr > 0 || !(std::fabs(p.T / c.T - 1.0) <= 1e-9) ||
            (is_two ? !(std::fabs(p.q - 0.3) <= 1e-9) : two(p.q)))
            bad << "PDFLSH at " << a->P << " kPa, " << a->D << " mol/L: ierr " << p.ierr << " T "
                << p.T << " q " << p.q << " " << p.herr << "\n";
        if (a == &liquid) continue;
        const State t = td(c.T, a->D);
        if (t.ierr > 0 || !(std::fabs(t.P / a->P - 1.0) <= 1e-7) ||
            (is_two ? !(std::fabs(t.q - 0.3) <= 1e-9) : two(t.q)))
            bad << "TDFLSH at " << a->D << " mol/L: ierr " << t.ierr << " P " << t.P << " (" << a->P
                << ") q " << t.q << " " << t.herr << "\n";
    }
    EXPECT_EQ(bad.str(), "");
}

std::string fluid_name(const ::testing::TestParamInfo<Case>& p) { return p.param.fluid; }

INSTANTIATE_TEST_SUITE_P(Fluids, DensityFlashNearTriplePoint, ::testing::ValuesIn(kCases),
                         fluid_name);

// Two phases at the triple point itself, whose pressure is the lowest
// saturation pressure to its last digits: PDFLSH gives back the triple
// point and the vapour fraction (it took them for a vapour far below the
// temperature range, or failed in the vapour's iteration).
TEST(DensityFlashAtTriplePoint, TwoPhasesComeBack) {
    std::ostringstream bad;
    for (const char* fluid : {"r236ea", "ammonia", "1butene", "air", "toluene", "r32"}) {
        ASSERT_TRUE(setup(fluid));
        const Constants k = constants();
        const State wet = tq(k.ttp, 0.3);
        ASSERT_EQ(wet.ierr, 0) << fluid << " " << wet.herr;
        const State p = pd(wet.P, wet.D);
        if (p.ierr > 0 || !(std::fabs(p.T / k.ttp - 1.0) <= 1e-9) ||
            !(std::fabs(p.q - 0.3) <= 1e-9))
            bad << fluid << ": ierr " << p.ierr << " T " << p.T << " q " << p.q << " " << p.herr
                << "\n";
    }
    EXPECT_EQ(bad.str(), "");
}

// Far above the critical temperature a density where the equation has
// dP/dD < 0 is no fluid state; it is refused, naming the state: nitrogen
// trifluoride at 450 K rises to 169 MPa at 21.4 mol/L and falls to
// 41.8 MPa at its density limit, 26.4 mol/L.  The densities below the
// isotherm's maximum stay (within the pressure limit, 50 MPa).
TEST(DensityFlashBeyondCritical, UnstableDensityIsRefused) {
    ASSERT_TRUE(setup("nf3"));
    const State bad = td(450.0, 26.4);
    EXPECT_EQ(bad.ierr, 214);
    EXPECT_EQ(bad.herr.rfind("[TDFLSH error 214] no stable single-phase state: the equation at "
                             "T =  450.00 K, rho =  26.400 mol/L has dP/dD or cv <= 0",
                             0),
              0u)
        << bad.herr;
    EXPECT_EQ(bad.P, 0.0);
    EXPECT_EQ(bad.w, 0.0);
    const State good = td(450.0, 8.0);
    ASSERT_EQ(good.ierr, 0) << good.herr;
    EXPECT_GT(good.P, 10000.0);
    EXPECT_LT(good.P, 50000.0);
    EXPECT_GT(good.w, 0.0);
}

}  // namespace
