// Binary states whose split and the other pair of phases tried are both
// unstable (a liquid splits again, or a liquid of two splits off a vapour),
// or where no split from the stability test's trial ends on an
// equilibrium: TPFLSH returns the stable pair there, off the three-phase
// line.  Each
// answer is checked by its definition: equal fugacities, the phases adding
// up to the feed, and no phase of any composition below the pair's tangent
// plane (a scan of both density roots over the compositions).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "library/library.h"
#include "tests/library/phase/lle_support.h"
#include "tests/support/fluid.h"

namespace {

using State = lletest::GridState;

// From the whole-region grids of the binary pairs: two liquids, a liquid
// of nearly one component (helium in propane below 1e-12), vapour and
// liquid with a trace in the vapour, and ethanol + R113, whose equation
// has a root behind a loop below the liquid of 88 % ethanol.
const State kStates[] = {{"ethane|co", 0.1, 92.175, 259.853},
                         {"hexane|h2s", 0.5, 192.73, 29.619},
                         {"mpalmita|propane", 0.5, 540.674, 6752.34},
                         {"propane|helium", 0.5, 138.828, 769.667},
                         {"cyclopro|xenon", 0.1, 154.944, 87.731},
                         {"cyclopro|xenon", 0.1, 224.823, 769.667},
                         {"ethanol|r113", 0.1, 241.669, 29.619},
                         {"ethanol|r23", 0.1, 237.034, 769.667},
                         {"acetone|pentane", 0.5, 171.36, 10.0},
                         {"co2|mstearat", 0.5, 311.84, 2279.705},
                         {"octane|h2s", 0.1, 207.715, 87.731},
                         // No split from the stability test's trial at all.
                         {"propane|r14", 0.1, 85.958, 769.667},
                         {"r116|r23", 0.5, 166.176, 29.619},
                         {"butane|mpalmita", 0.1, 329.905, 20000.0},
                         {"dmc|hexane", 0.5, 282.601, 259.853},
                         {"r152a|ammonia", 0.5, 179.855, 10.0}};

// A phase of the binary: its first component's fraction, density and
// ln f (NaN for a component of a fraction the fugacities leave out).
struct Phase {
    double w1 = 0, D = 0, lnf[2] = {};
};

bool phase_of(double T, double w1, double D, Phase& ph) {
    const double w[20] = {w1, 1.0 - w1};
    double f[20] = {};
    int ierr = 0;
    std::string herr;
    lib::FGCTY2(T, D, w, f, ierr, herr);
    if (ierr > 0) return false;
    ph.w1 = w1;
    ph.D = D;
    for (int c = 0; c < 2; ++c)
        ph.lnf[c] = f[c] > 0.0 ? std::log(f[c]) : std::numeric_limits<double>::quiet_NaN();
    return true;
}

// Whether root D of composition w at (T, P) is a phase: P rising, as the
// first crossing of P from the dilute gas or as the densest root.
bool is_phase(double T, double P, const double w[20], double D) {
    double p = 0, slope = 0;
    lib::PRESS(T, D, w, p);
    lib::DPDD(T, D, w, slope);
    if (!(std::fabs(p - P) <= 1e-7 * P) || !(slope > 0.0)) return false;
    double last = 0.0;
    bool first = true;
    for (int k = 1; k < 8 && first; ++k) {
        lib::PRESS(T, D * k / 8.0, w, p);
        first = p < P && p >= last;
        last = p;
    }
    if (first) return true;
    double dense = 0.0;
    int ierr = 0;
    std::string herr;
    lib::TPRHO(T, P, w, -lib::kLiquid, lib::kNoStartValue, dense, ierr, herr);
    return ierr <= 0 && std::fabs(dense / D - 1.0) <= 1e-7;
}

// The lowest distance below the tangent plane lnf over both roots of the
// compositions of a logit grid, leaving out the pair's own phases.
double lowest_distance(double T, double P, const double lnf[2], const Phase& x, const Phase& y) {
    double lowest = std::numeric_limits<double>::infinity();
    for (double s = -27.0; s <= 27.0; s += 0.25) {
        const double w[20] = {1.0 / (1.0 + std::exp(-s)), 1.0 / (1.0 + std::exp(s))};
        for (int kind : {-lib::kLiquid, -lib::kVapour}) {
            double D = 0.0;
            int ierr = 0;
            std::string herr;
            lib::TPRHO(T, P, w, kind, lib::kNoStartValue, D, ierr, herr);
            Phase ph;
            if (ierr > 0 || !(D > 0.0) || !is_phase(T, P, w, D) || !phase_of(T, w[0], D, ph))
                continue;
            bool own = false;
            for (const Phase* o : {&x, &y})
                own = own || (std::fabs(w[0] - o->w1) < 1e-7 && std::fabs(D / o->D - 1.0) < 1e-3);
            if (own) continue;
            double tm = 0.0;
            for (int c = 0; c < 2; ++c)
                if (std::isfinite(ph.lnf[c])) tm += w[c] * (ph.lnf[c] - lnf[c]);
            lowest = std::min(lowest, tm);
        }
    }
    return lowest;
}

class BinaryPair : public ::testing::TestWithParam<State> {};

TEST_P(BinaryPair, TpFlashGivesTheStablePair) {
    const State& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const double z[20] = {c.z1, 1.0 - c.z1};
    double D = 0, Dl = 0, Dv = 0, x[20] = {}, y[20] = {}, q = 0, e = 0, h = 0, s = 0;
    double cv = 0, cp = 0, w = 0;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    ASSERT_GT(q, 0.0);
    ASSERT_LT(q, 1.0);
    EXPECT_NEAR((1.0 - q) * x[0] + q * y[0], c.z1, 1e-9);
    // Both phases are phases (no root behind a loop of the equation).
    EXPECT_TRUE(is_phase(c.T, c.P, x, Dl)) << "liquid at " << Dl << " mol/L";
    EXPECT_TRUE(is_phase(c.T, c.P, y, Dv)) << "other phase at " << Dv << " mol/L";
    Phase px, py;
    ASSERT_TRUE(phase_of(c.T, x[0], Dl, px) && phase_of(c.T, y[0], Dv, py));
    // Equal fugacities (a component of a phase formed as pure has none).
    double lnf[2] = {};
    for (int i = 0; i < 2; ++i) {
        if (std::isfinite(px.lnf[i]) && std::isfinite(py.lnf[i])) {
            EXPECT_NEAR(px.lnf[i] - py.lnf[i], 0.0, 1e-8) << "component " << i + 1;
        }
        lnf[i] = std::isfinite(px.lnf[i]) ? px.lnf[i] : py.lnf[i];
        ASSERT_TRUE(std::isfinite(lnf[i]));
    }
    // Stable: nothing below the pair's tangent plane.
    EXPECT_GE(lowest_distance(c.T, c.P, lnf, px, py), -1e-8);
}

INSTANTIATE_TEST_SUITE_P(States, BinaryPair, ::testing::ValuesIn(kStates),
                         lletest::state_name<State>);

}  // namespace
