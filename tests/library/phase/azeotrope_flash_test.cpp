// Two-phase states of a blend at and next to its azeotrope, where bubble and
// dew points lie within the last digits of each other: every flash finds
// the state of vapour fraction q again (R134a + R1234yf 44/56, azeotropic
// at 703.28 kPa; the two-phase p-h flash failed for 199 of 241 enthalpies
// there, the quality flash for every q between 0 and 1).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "tests/library/phase/mix_support.h"

namespace {

struct Case {
    double P;  // kPa
    double q;  // molar vapour fraction
};

class AzeotropeFlash : public mixtest::MixtureSuite<::testing::TestWithParam<Case>> {
protected:
    void SetUp() override {
        ASSERT_TRUE(mixtest::setup({"r134a+r1234yf", "r134a|r1234yf", {0.44, 0.56}}));
    }
    const double z[20] = {0.44, 0.56};
};

TEST_P(AzeotropeFlash, EveryFlashFindsTheSplitAgain) {
    const Case c = GetParam();
    double T, D, Dl, Dv, x[20], y[20], e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::PQFLSH(c.P, c.q, z, lib::kMolarQuality, T, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr,
                herr);
    ASSERT_LE(ierr, 0) << herr;
    // (The split on the line between the bubble and the dew point: its
    // fugacities agree to the square of the phases' distance from the
    // feed, 1.1e-9 at q 0.5 on the azeotrope.)
    EXPECT_LE(mixtest::fugacity_mismatch(T, Dl, Dv, x, y, z), 2e-9);
    EXPECT_LE(mixtest::balance_mismatch(c.q, x, y, z), 1e-12);

    double T2, P2, D2, Dl2, Dv2, x2[20], y2[20], q2, e2, h2, s2, cv2, cp2, w2;
    lib::PHFLSH(c.P, h, z, T2, D2, Dl2, Dv2, x2, y2, q2, e2, s2, cv2, cp2, w2, ierr, herr);
    EXPECT_LE(ierr, 0) << "PHFLSH: " << herr;
    EXPECT_NEAR(T2, T, 1e-6) << "PHFLSH";
    EXPECT_NEAR(q2, c.q, 1e-7) << "PHFLSH";
    lib::PSFLSH(c.P, s, z, T2, D2, Dl2, Dv2, x2, y2, q2, e2, h2, cv2, cp2, w2, ierr, herr);
    EXPECT_LE(ierr, 0) << "PSFLSH: " << herr;
    EXPECT_NEAR(T2, T, 1e-6) << "PSFLSH";
    EXPECT_NEAR(q2, c.q, 1e-7) << "PSFLSH";
    lib::TQFLSH(T, c.q, z, lib::kMolarQuality, P2, D2, Dl2, Dv2, x2, y2, e2, h2, s2, cv2, cp2, w2,
                ierr, herr);
    EXPECT_LE(ierr, 0) << "TQFLSH: " << herr;
    EXPECT_NEAR(P2 / c.P, 1.0, 1e-7) << "TQFLSH";
    lib::THFLSH(T, h, z, lib::kLowerRoot, P2, D2, Dl2, Dv2, x2, y2, q2, e2, s2, cv2, cp2, w2, ierr,
                herr);
    EXPECT_LE(ierr, 0) << "THFLSH: " << herr;
    EXPECT_NEAR(P2 / c.P, 1.0, 1e-7) << "THFLSH";
    EXPECT_NEAR(q2, c.q, 1e-7) << "THFLSH";
}

INSTANTIATE_TEST_SUITE_P(R134aR1234yf, AzeotropeFlash,
                         ::testing::Values(Case{702.0, 0.3}, Case{703.0, 0.05}, Case{703.28, 0.05},
                                           Case{703.28, 0.5}, Case{703.28, 0.95}, Case{703.5, 0.5},
                                           Case{704.5, 0.7}));

}  // namespace
