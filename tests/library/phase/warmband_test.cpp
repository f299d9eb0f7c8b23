// The gases a warm-started flash of a blend takes as clearly above its dew
// point (library/phase/warmband.h): every one of them the tangent-plane
// test finds stable at that very root, gases well above the dew point are
// shown, and no state inside the boundary or liquid is.
#include "library/phase/warmband.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
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

}  // namespace
