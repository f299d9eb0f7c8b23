// Newton's method for the last digits of a split (refine_split) and the
// Newton density from a nearby root (near_root), on splits of TPFLSH across
// mixtures: a split whose fugacities agree is left bit for bit; a split
// moved off its equilibrium (phase fractions and vapour fraction) comes
// back to it with fugacities equal to 1e-12; near_root finds the phase's
// own density from 5 % away and refuses a start beyond its reach.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/phase/splitnewton.h"
#include "library/phase/stability.h"
#include "library/phase/tpmix.h"
#include "tests/library/phase/mix_support.h"

namespace {

struct Case {
    mixtest::Mixture m;
    double T, P;
};

const std::vector<Case>& cases() {
    static const std::vector<Case> c = {
        {mixtest::mixtures()[0], 90, 260},    // air
        {mixtest::mixtures()[1], 180, 1500},  // 3-component gas
        {mixtest::mixtures()[2], 250, 8000},  // co2+nitrogen
        {mixtest::mixtures()[4], 220, 3000},  // 10-component gas
        {mixtest::mixtures()[4], 285, 3000},  // close to its dew line
        {{"humid air", "nitrogen|oxygen|argon|water", {0.7578, 0.2033, 0.0089, 0.03}}, 300, 600},
    };
    return c;
}

class SplitNewton : public mixtest::MixtureSuite<::testing::TestWithParam<int>> {
protected:
    // The split of TPFLSH at the case's state.
    lib::TpResult split(const Case& c, double z[20]) {
        EXPECT_TRUE(mixtest::setup(c.m));
        c.m.fill(z);
        lib::TpResult r;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(c.T, c.P, z, r.D, r.Dl, r.Dv, r.x, r.y, r.q, r.e, r.h, r.s, r.cv, r.cp, r.w,
                    ierr, herr);
        EXPECT_LE(ierr, 0) << herr;
        EXPECT_TRUE(r.q > 0.0 && r.q < 1.0) << c.m.label << " q " << r.q;
        return r;
    }
};

TEST_P(SplitNewton, AgreedSplitIsLeftAsItIs) {
    const Case& c = cases()[static_cast<std::size_t>(GetParam())];
    double z[20];
    const lib::TpResult r = split(c, z);
    lib::TpResult again = r;
    EXPECT_LE(lib::mix::refine_split(c.T, c.P, z, again), lib::mix::kSplitAgreed);
    EXPECT_EQ(std::memcmp(&again, &r, sizeof r), 0) << c.m.label;
}

TEST_P(SplitNewton, MovedSplitComesBackToItsEquilibrium) {
    const Case& c = cases()[static_cast<std::size_t>(GetParam())];
    double z[20];
    const lib::TpResult r = split(c, z);
    const int nc = c.m.nc();
    for (double shift : {1e-6, 1e-4}) {
        // The small phase's fractions and the vapour fraction moved off.
        lib::TpResult moved = r;
        double* small = r.q > 0.5 ? moved.x : moved.y;
        double sum = 0.0;
        for (int i = 0; i < nc; ++i) {
            small[i] *= 1.0 + shift * ((i % 3) - 1.0);
            sum += small[i];
        }
        for (int i = 0; i < nc; ++i) small[i] /= sum;
        moved.q += (r.q > 0.5 ? -shift : shift) * std::min(r.q, 1.0 - r.q);
        const double left = lib::mix::refine_split(c.T, c.P, z, moved);
        EXPECT_LE(left, 1e-12) << c.m.label << " shift " << shift;
        EXPECT_LE(mixtest::fugacity_mismatch(c.T, moved.Dl, moved.Dv, moved.x, moved.y, z), 1e-12)
            << c.m.label << " shift " << shift;
        EXPECT_LE(mixtest::balance_mismatch(moved.q, moved.x, moved.y, z), 1e-14) << c.m.label;
        EXPECT_NEAR(moved.q, r.q, 1e-9 * std::min(r.q, 1.0 - r.q)) << c.m.label;
        for (int i = 0; i < nc; ++i) {
            EXPECT_NEAR(moved.x[i], r.x[i], 1e-8 * r.x[i]) << c.m.label << " x" << i;
            EXPECT_NEAR(moved.y[i], r.y[i], 1e-8 * r.y[i]) << c.m.label << " y" << i;
        }
    }
}

TEST_P(SplitNewton, NearRootIsThePhasesOwnDensity) {
    const Case& c = cases()[static_cast<std::size_t>(GetParam())];
    double z[20];
    const lib::TpResult r = split(c, z);
    for (const auto& [D, comp] : {std::pair{r.Dl, r.x}, std::pair{r.Dv, r.y}}) {
        double d = 0.0;
        ASSERT_TRUE(lib::mix::near_root(c.T, c.P, comp, 1.05 * D, d)) << c.m.label;
        EXPECT_NEAR(d, D, 1e-9 * D) << c.m.label;
        // The pressure to its last digits: within what a density 1e-13 off
        // makes (a liquid's pressure follows its density 1e4 times over).
        double p = 0.0, dpdd = 0.0;
        lib::PRESS(c.T, d, comp, p);
        lib::DPDD(c.T, d, comp, dpdd);
        EXPECT_NEAR(p, c.P, 1e-12 * c.P + 1e-13 * d * dpdd) << c.m.label;
        EXPECT_FALSE(lib::mix::near_root(c.T, c.P, comp, 1.5 * D, d)) << c.m.label;
    }
}

INSTANTIATE_TEST_SUITE_P(Mixtures, SplitNewton, ::testing::Range(0, 6));

}  // namespace
