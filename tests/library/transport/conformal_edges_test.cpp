// Continuity of the corresponding-states viscosity and conductivity of
// gases along isobars where the conformal state stops being found: at a
// fold of the conformal equations (vapours of refrigerants and ethers), and
// where it runs beyond the reach of the reference's models (r14 onto
// nitrogen).  These steps were 6-230 times the neighbouring ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "library/library.h"
#include "tests/library/transport/step_check.h"
#include "tests/library/transport/transport_texts.h"

namespace {

struct Edge {
    const char* fluid;
    double p;  // kPa
    double T;  // K, the lower state of the former step to T + kStep
};

constexpr double kStep = 0.1;
// Steps on each side of the edge looked at.
constexpr int kSide = 4;
// A step may be this many times the larger of its two neighbours...
constexpr double kNeighbourFactor = 4.0;
// ... or this small relative change.
constexpr double kFlat = 1e-6;

void PrintTo(const Edge& e, std::ostream* os) {
    *os << e.fluid << " " << e.p << " kPa " << e.T << " K";
}

class ConformalEdge : public ::testing::TestWithParam<Edge> {};

TEST_P(ConformalEdge, ViscosityAndConductivityHaveNoStep) {
    const Edge e = GetParam();
    ASSERT_EQ(trtext::setup(e.fluid), 0);
    const double x[20] = {1.0};
    std::vector<transtest::Sample> line(2 * kSide + 2);
    for (std::size_t k = 0; k < line.size(); ++k) {
        const double T = e.T + kStep * (static_cast<double>(k) - kSide);
        double D, Dl, Dv, xl[20], xv[20], q, u, h, s, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, e.p, x, D, Dl, Dv, xl, xv, q, u, h, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        const trtext::Result r = trtext::trnprp(T, D);
        ASSERT_LE(r.ierr, 0) << r.herr;
        ASSERT_GT(r.eta, 0.0) << T;
        ASSERT_GT(r.tcx, 0.0) << T;
        line[k] = {r.eta, r.tcx};
    }
    const double first = e.T - kStep * kSide;
    EXPECT_EQ(transtest::standing_steps(line, first, kStep, {kNeighbourFactor, kFlat}), "")
        << e.fluid << " at " << e.p << " kPa";
}

INSTANTIATE_TEST_SUITE_P(Vapours, ConformalEdge,
                         ::testing::Values(
                             // Folds of the conformal equations.
                             Edge{"r218", 101.325, 278.3}, Edge{"r218", 264.0, 275.2},
                             Edge{"rc318", 277.75, 295.3}, Edge{"rc318", 138.875, 295.7},
                             Edge{"propyne", 562.6, 316.65}, Edge{"dee", 364.662, 367.17},
                             Edge{"r141b", 421.2, 364.63}, Edge{"r142b", 202.75, 304.77},
                             // Beyond the reach of nitrogen's models.
                             Edge{"r14", 7500.0, 571.3}, Edge{"r14", 11250.0, 598.69},
                             Edge{"r14", 2250.0, 587.79}, Edge{"r14", 3937.5, 547.19}));

}  // namespace
