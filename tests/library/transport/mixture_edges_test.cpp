// Mixtures along isobars through TPFLSH where a component's own
// corresponding-states mapping stops finding a conformal state: the
// component keeps its background terms by the critical ratios, so that the
// mixture's viscosity and conductivity have no step there (R472B's gas lost
// r32's background: -0.6 % viscosity and -2.2 % conductivity within 0.2 K
// at 5 MPa and 620 K, -1.9 % and -2.9 % at 20 MPa and 804.8 K; then the
// solved ratios' weight ended within 0.2 K: 0.35 % conductivity at 620 K,
// 0.3 % at 8 MPa and 652.6 K; 0.19 % at 30 MPa and 483.2 K, where r32's
// ratios switched to the solved ones with the density).  Where a
// component's conformal state leaves its equation's fluid states (R414B's
// liquid at 96 K: r22's far below its triple point) the start ratios take
// over, without the 29 % step of the viscosity there.  Below a
// component's own temperature range its dilute-gas conductivity comes from
// kinetic theory, scaled to meet its correlation at the range's end, so
// that a trace of it changes the mixture by no more than a trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/setup/records.h"
#include "library/transport/ecsmap.h"
#include "tests/library/transport/step_check.h"
#include "tests/support/fluid.h"

namespace {

// R472B (carbon dioxide, r32, r134a; 58/10/32 by mass).
constexpr const char* kR472B = "co2|r32|r134a";
constexpr double kR472BMoles[20] = {0.7226317144392492, 0.10539856016761652, 0.17196972539313415};

// R414B (r22, r124, isobutane, r142b).
constexpr const char* kR414B = "r22|r124|isobutane|r142b";
constexpr double kR414BMoles[20] = {0.58743911052603, 0.29030851296569, 0.0262178745861124,
                                    0.0960345019221677};

struct Window {
    const char* fluids;
    const double* x;
    double p;  // kPa
    double T;  // K, the lower state of the former step to T + kStep
};

void PrintTo(const Window& w, std::ostream* os) {
    *os << w.fluids << " " << w.p << " kPa " << w.T << " K";
}

constexpr double kStep = 0.2;
constexpr int kSide = 4;
// A step may be this many times the larger of its two neighbours...
constexpr double kNeighbourFactor = 5.0;
// ... or this small relative change.
constexpr double kFlat = 1e-3;

class MixtureEdge : public ::testing::TestWithParam<Window> {};

TEST_P(MixtureEdge, ViscosityAndConductivityHaveNoStep) {
    const Window w = GetParam();
    ASSERT_EQ(testsupport::set_up(w.fluids), "");
    std::vector<transtest::Sample> line(2 * kSide + 2);
    for (std::size_t k = 0; k < line.size(); ++k) {
        const double T = w.T + kStep * (static_cast<double>(k) - kSide);
        double D, Dl, Dv, xl[20], xv[20], q, u, h, s, cv, cp, c;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, w.p, w.x, D, Dl, Dv, xl, xv, q, u, h, s, cv, cp, c, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        ASSERT_FALSE(q > 0.0 && q < 1.0) << T;
        lib::TRNPRP(T, D, w.x, line[k].eta, line[k].tcx, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        ASSERT_GT(line[k].eta, 0.0) << T;
        ASSERT_GT(line[k].tcx, 0.0) << T;
    }
    const double first = w.T - kStep * kSide;
    EXPECT_EQ(transtest::standing_steps(line, first, kStep, {kNeighbourFactor, kFlat}), "")
        << w.fluids << " at " << w.p << " kPa";
}

INSTANTIATE_TEST_SUITE_P(ComponentMappingEnds, MixtureEdge,
                         ::testing::Values(Window{kR472B, kR472BMoles, 5000.0, 620.0},
                                           Window{kR472B, kR472BMoles, 5000.0, 651.6},
                                           Window{kR472B, kR472BMoles, 8000.0, 652.4},
                                           Window{kR472B, kR472BMoles, 20000.0, 804.6},
                                           Window{kR472B, kR472BMoles, 30000.0, 483.0},
                                           Window{kR414B, kR414BMoles, 101.325, 96.4}));

// The lowest liquid states of R414B (its lower limit is 95.461 K), where
// r22's solve failed or found a state of its equation that is no fluid's:
// relative steps along the isobar change smoothly (they went +32 %, -30 %
// at 1 MPa from 95.6 K).
class LowestLiquid : public ::testing::TestWithParam<double> {};

TEST_P(LowestLiquid, StepsChangeSmoothly) {
    const double p = GetParam();
    ASSERT_EQ(testsupport::set_up(kR414B), "");
    std::vector<transtest::Sample> line(4);
    for (std::size_t k = 0; k < line.size(); ++k) {
        const double T = 95.6 + kStep * static_cast<double>(k);
        double D, Dl, Dv, xl[20], xv[20], q, u, h, s, cv, cp, c;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, p, kR414BMoles, D, Dl, Dv, xl, xv, q, u, h, s, cv, cp, c, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        ASSERT_LT(q, 0.0) << T;
        lib::TRNPRP(T, D, kR414BMoles, line[k].eta, line[k].tcx, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
    }
    for (std::size_t k = 2; k < line.size(); ++k) {
        const double eta_before = line[k - 1].eta / line[k - 2].eta;
        const double eta_now = line[k].eta / line[k - 1].eta;
        EXPECT_NEAR(eta_now, eta_before, 5e-3) << p << " kPa, step " << k;
        const double tcx_before = line[k - 1].tcx / line[k - 2].tcx;
        EXPECT_NEAR(line[k].tcx / line[k - 1].tcx, tcx_before, 5e-3) << p << " kPa, step " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(R414B, LowestLiquid, ::testing::Values(101.325, 1000.0, 5000.0));

// A component's background terms at states of its own where no conformal
// state is found: the warning, and the values of the critical ratios, which
// meet those of the neighbouring state that still has one.
struct Unmapped {
    double T0, D0;  // K, mol/L: a state whose conformal state is found
    double T1, D1;  // the neighbour without one
    double tol;     // relative difference allowed
};

void PrintTo(const Unmapped& u, std::ostream* os) {
    *os << "r32 at " << u.T1 << " K, " << u.D1 << " mol/L";
}

class ComponentBackground : public ::testing::TestWithParam<Unmapped> {};

TEST_P(ComponentBackground, KeepsTheCriticalRatiosWithoutAConformalState) {
    const Unmapped u = GetParam();
    ASSERT_EQ(testsupport::set_up(kR472B), "");
    constexpr int kR32 = 2;
    double eta0 = 0, tcx0 = 0, eta1 = 0, tcx1 = 0;
    int ierr = 0;
    std::string herr;
    lib::PTRNEC(kR32, u.T0, u.D0, eta0, tcx0, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    lib::PTRNEC(kR32, u.T1, u.D1, eta1, tcx1, ierr, herr);
    EXPECT_EQ(ierr, -58) << herr;
    EXPECT_NEAR(eta1 / eta0, 1.0, u.tol);
    EXPECT_NEAR(tcx1 / tcx0, 1.0, u.tol);
    int jerr = 0;
    EXPECT_NEAR(lib::ETABKP(kR32, u.T1, u.D1, jerr, herr), eta1, 1e-15);
    EXPECT_EQ(jerr, -58);
}

// The first at the fold of r32's conformal equations onto propane, where
// the solved ratios still had a little weight on the found side.
INSTANTIATE_TEST_SUITE_P(R32InR472B, ComponentBackground,
                         ::testing::Values(Unmapped{678.47, 0.91184, 678.69, 0.91152, 1e-2},
                                           Unmapped{713.27, 0.86278, 713.05, 0.86307, 2e-3},
                                           Unmapped{880.48, 2.6803, 880.70, 2.6795, 2e-3}));

// Dry air with and without 380 ppm of carbon dioxide, 50-150 K below the
// lower end of its conductivity correlation (whose dilute-gas term has a
// pole near 73 K: no value below it, +1.7 % at 74 K).
struct TraceState {
    double p;  // kPa
    double T;  // K
};

void PrintTo(const TraceState& s, std::ostream* os) { *os << s.p << " kPa " << s.T << " K"; }

class TraceBelowItsRange : public ::testing::TestWithParam<TraceState> {};

TEST_P(TraceBelowItsRange, ChangesTheConductivityByATrace) {
    const TraceState s = GetParam();
    ASSERT_EQ(testsupport::set_up("nitrogen|argon|oxygen|co2"), "");
    const double with[20] = {0.78086, 0.00934, 0.20942, 0.00038};
    double without[20] = {0.78086, 0.00934, 0.20942};
    for (int i = 0; i < 3; ++i) without[i] /= 1.0 - with[3];
    double D, Dl, Dv, xl[20], xv[20], q, u, h, e, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(s.T, s.p, with, D, Dl, Dv, xl, xv, q, u, h, e, cv, cp, w, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    ASSERT_FALSE(q > 0.0 && q < 1.0);
    double eta1 = 0, tcx1 = 0, eta0 = 0, tcx0 = 0;
    lib::TRNPRP(s.T, D, with, eta1, tcx1, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    lib::TRNPRP(s.T, D, without, eta0, tcx0, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(tcx1 / tcx0, 1.0, 5e-4);
    EXPECT_NEAR(eta1 / eta0, 1.0, 2e-3);
}

INSTANTIATE_TEST_SUITE_P(CarbonDioxideInAir, TraceBelowItsRange,
                         ::testing::Values(TraceState{20.0, 61.6}, TraceState{100.0, 64.0},
                                           TraceState{2000.0, 68.0}, TraceState{20.0, 74.0},
                                           TraceState{20.0, 78.0}, TraceState{100.0, 74.0}));

// Components without kinetic theory's values (no Lennard-Jones parameters:
// water, r23) keep their correlations' own dilute-gas terms below their
// ranges: both phases of these splits have values.
struct Split {
    const char* fluids;
    std::array<double, 5> x;
    double p, T;  // kPa, K
};

void PrintTo(const Split& s, std::ostream* os) {
    *os << s.fluids << " " << s.p << " kPa " << s.T << " K";
}

class SplitBelowARange : public ::testing::TestWithParam<Split> {};

TEST_P(SplitBelowARange, BothPhasesHaveValues) {
    const Split s = GetParam();
    ASSERT_EQ(testsupport::set_up(s.fluids), "");
    double z[20] = {};
    std::copy(s.x.begin(), s.x.end(), z);
    double D, Dl, Dv, xl[20], xv[20], q, u, h, e, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(s.T, s.p, z, D, Dl, Dv, xl, xv, q, u, h, e, cv, cp, w, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    ASSERT_TRUE(q > 0.0 && q < 1.0) << q;
    double eta = 0, tcx = 0;
    lib::TRNPRP(s.T, Dv, xv, eta, tcx, ierr, herr);
    EXPECT_LE(ierr, 0) << herr;
    EXPECT_GT(tcx, 0.0);
    if (xl[4] < 0.05) {  // water-rich: water's values, none below its range
        lib::TRNPRP(s.T, Dl, xl, eta, tcx, ierr, herr);
        EXPECT_LE(ierr, 0) << herr;
        EXPECT_GT(tcx, 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    NoLennardJones, SplitBelowARange,
    ::testing::Values(Split{"r23|r13", {0.49970034990839, 0.50029965009161}, 20.0, 106.4},
                      Split{"oxygen|nitrogen|argon|co2|water",
                            {0.2073258, 0.7730514, 0.0092466, 0.0003762, 0.01},
                            20.0,
                            246.0}));

}  // namespace
