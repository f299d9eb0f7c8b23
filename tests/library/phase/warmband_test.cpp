// The gases a warm-started flash of a blend takes as clearly above its dew
// point (library/phase/warmband.h): every one of them the tangent-plane
// test finds stable at that very root, gases well above the dew point are
// shown, and no state inside the boundary or liquid is.
#include "library/phase/warmband.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "library/library.h"
#include "library/phase/stability.h"
#include "tests/support/fluid.h"

namespace {

struct Blend {
    const char* label;
    const char* names;
    std::vector<double> z;
};

void PrintTo(const Blend& b, std::ostream* os) { *os << b.label; }

class WarmBand : public ::testing::TestWithParam<Blend> {};

// The root of phase kph at (T, P), 0 where the density solver finds none.
double root(double T, double P, const double z[20], int kph) {
    double D = 0.0;
    int ierr = 0;
    std::string herr;
    lib::TPRHO(T, P, z, kph, lib::kNoStartValue, D, ierr, herr);
    return ierr == 0 ? D : 0.0;
}

TEST_P(WarmBand, ShowsOnlyStatesTheStabilityTestFindsStable) {
    const Blend& b = GetParam();
    ASSERT_EQ(testsupport::set_up(b.names), "");
    double z[20] = {};
    for (std::size_t i = 0; i < b.z.size(); ++i) z[i] = b.z[i];
    double Tc = 0, Pc = 0, Dc = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(z, Tc, Pc, Dc, ierr, herr);
    ASSERT_EQ(ierr, 0);
    int shown = 0, far_shown = 0, far = 0;
    for (double share : {0.05, 0.2, 0.4, 0.6}) {
        const double P = share * Pc;
        double Tb = 0, Td = 0, Dl = 0, Dv = 0, x[20], y[20];
        lib::SATP(P, z, lib::kBubblePoint, Tb, Dl, Dv, x, y, ierr, herr);
        ASSERT_EQ(ierr, 0) << P;
        lib::SATP(P, z, lib::kDewPoint, Td, Dl, Dv, x, y, ierr, herr);
        ASSERT_EQ(ierr, 0) << P;
        // From 30 K below the bubble point to 30 K above the dew point,
        // each root of the isotherm (a liquid's beside its gas's).
        for (double T = Tb - 30.0; T <= Td + 30.0; T += 0.25) {
            for (int kph : {lib::kLiquid, lib::kVapour}) {
                const double D = root(T, P, z, kph);
                if (!(D > 0.0) || !lib::warm::clear_of_boundary(T, P, D, z)) continue;
                ++shown;
                const lib::mix::Stability st = lib::mix::stability(T, P, z);
                EXPECT_TRUE(st.found && st.stable && std::fabs(st.D - D) <= 1e-6 * D)
                    << b.label << " T " << T << " P " << P << " D " << D;
                // (The density solver's liquid root of a gas is its gas root.)
                EXPECT_TRUE(T > Td && D < Dc) << b.label << " T " << T << " P " << P;
            }
            // A gas 15 K and more above the dew point is shown (the dew
            // point a tenth higher in pressure lies up to 9 K higher).
            if (T > Td + 15.0) {
                ++far;
                const double D = root(T, P, z, lib::kVapour);
                if (D > 0.0 && lib::warm::clear_of_boundary(T, P, D, z)) ++far_shown;
            }
        }
    }
    EXPECT_GT(shown, 0) << b.label;
    EXPECT_EQ(far_shown, far) << b.label;
}

INSTANTIATE_TEST_SUITE_P(
    Blends, WarmBand,
    ::testing::Values(Blend{"propane_isobutane", "propane|isobutane", {0.5, 0.5}},
                      Blend{"R407C", "r32|r125|r134a", {0.23, 0.25, 0.52}},
                      Blend{"R410A", "r32|r125", {0.6976, 0.3024}}),
    [](const ::testing::TestParamInfo<Blend>& p) { return std::string(p.param.label); });

// The blends R407A to R407E of one set-up, one after the other, expanded
// at 15 % of their critical pressure from a gas 30 K above the dew point
// into the two-phase region, each warm-started state against the state
// the flash finds without warm starts: the same number of phases and the
// same temperature.  The dew points kept for a blend are its own: R407E,
// after four others had filled the places of the kept compositions, was
// shown a gas at 288.862 K by a dew point of R407A (288.118 K at 812
// kPa), where it has begun to condense (q 0.99954 at 288.952 K).
struct Expanded {
    double T = 0, q = 0;
    int ierr = 0;
    bool two_phase() const { return q > 0.0 && q < 1.0; }
};

Expanded expanded(double P, double s, const double z[20]) {
    Expanded e;
    double D = 0, Dl = 0, Dv = 0, x[20] = {}, y[20] = {}, u = 0, h = 0, cv = 0, cp = 0, w = 0;
    std::string herr;
    lib::PSFLSH(P, s, z, e.T, D, Dl, Dv, x, y, e.q, u, h, cv, cp, w, e.ierr, herr);
    return e;
}

// The entropy of z at (T, P).
double entropy(double T, double P, const double z[20]) {
    double D = 0, Dl = 0, Dv = 0, x[20] = {}, y[20] = {}, q = 0, u = 0, h = 0, s = 0, cv = 0,
           cp = 0, w = 0;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, u, h, s, cv, cp, w, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    return s;
}

TEST(WarmBandHistory, EachBlendOfASetUpIsShownByItsOwnDewPoints) {
    ASSERT_EQ(testsupport::set_up("r32|r125|r134a"), "");
    lib::warm::forget_boundary();
    const std::vector<std::pair<const char*, std::vector<double>>> blends = {
        {"R407A", {0.346419854360797, 0.300315552114308, 0.353264593524896}},
        {"R407B", {0.197865007175653, 0.600360468492644, 0.201774524331703}},
        {"R407C", {0.381109419953993, 0.179558888662016, 0.439331691383991}},
        {"R407D", {0.262268077791873, 0.113681680758968, 0.624050241449159}},
        {"R407E", {0.402611526984881, 0.104708637358978, 0.492679835656141}}};
    constexpr int kSteps = 60;
    for (const auto& [label, fractions] : blends) {
        double z[20] = {};
        std::copy(fractions.begin(), fractions.end(), z);
        double Tc = 0, Pc = 0, Dc = 0, Tb = 0, Td = 0, Dl = 0, Dv = 0, x[20], y[20];
        int ierr = 0;
        std::string herr;
        lib::CRITP(z, Tc, Pc, Dc, ierr, herr);
        const double P = 0.15 * Pc;
        lib::SATP(P, z, lib::kBubblePoint, Tb, Dl, Dv, x, y, ierr, herr);
        ASSERT_EQ(ierr, 0) << label;
        lib::SATP(P, z, lib::kDewPoint, Td, Dl, Dv, x, y, ierr, herr);
        ASSERT_EQ(ierr, 0) << label;
        const double s_gas = entropy(Td + 30.0, P, z), s_liquid = entropy(Tb - 30.0, P, z);
        // Without warm starts, through the dew point and two steps beyond.
        std::vector<double> path;
        std::vector<Expanded> cold;
        for (int i = 0, beyond = 0; i <= kSteps && beyond < 3; ++i) {
            path.push_back(s_gas + (s_liquid - s_gas) * i / kSteps);
            cold.push_back(expanded(P, path.back(), z));
            if (cold.back().two_phase()) ++beyond;
        }
        const lib::WarmStartScope scope;
        for (std::size_t i = 0; i < path.size(); ++i) {
            const Expanded warm = expanded(P, path[i], z);
            ASSERT_EQ(warm.ierr, 0) << label << " step " << i;
            EXPECT_EQ(warm.two_phase(), cold[i].two_phase()) << label << " step " << i;
            EXPECT_NEAR(warm.T, cold[i].T, 1e-9 * cold[i].T) << label << " step " << i;
        }
    }
}

// A mixture with two dew lines: propane + water 80/20 at 5 % of its
// critical pressure, whose propane-rich liquid's dew point lies far below
// its water's.  Expanded from a gas at 420 K to 280 K, the warm-started
// states between them (water condensing) were shown gases by the lower dew
// point; each is the state found without warm starts.
TEST(WarmBandSecondDewLine, ExpansionCondensesTheWater) {
    ASSERT_EQ(testsupport::set_up("propane|water"), "");
    lib::warm::forget_boundary();
    const double z[20] = {0.8, 0.2};
    double Tc = 0, Pc = 0, Dc = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(z, Tc, Pc, Dc, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    const double P = 0.05 * Pc;
    const double s_gas = entropy(420.0, P, z), s_cold = entropy(280.0, P, z);
    constexpr int kSteps = 30;
    std::vector<Expanded> cold;
    for (int i = 0; i <= kSteps; ++i)
        cold.push_back(expanded(P, s_gas + (s_cold - s_gas) * i / kSteps, z));
    const lib::WarmStartScope scope;
    for (int i = 0; i <= kSteps; ++i) {
        const Expanded warm = expanded(P, s_gas + (s_cold - s_gas) * i / kSteps, z);
        const auto k = static_cast<std::size_t>(i);
        ASSERT_EQ(warm.ierr, cold[k].ierr) << "step " << i;
        EXPECT_EQ(warm.two_phase(), cold[k].two_phase()) << "step " << i << " T " << warm.T;
        EXPECT_NEAR(warm.T, cold[k].T, 1e-9 * cold[k].T) << "step " << i;
    }
}

}  // namespace
