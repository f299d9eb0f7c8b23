// Warm starts of a mixture's two-phase flashes (library/phase/warmsplit.h):
// along paths through the two-phase region (a separator's cooling, an
// expansion with losses, a hydrocarbon mixture cooled at constant
// pressure) a scope's flashes find the cold road's states with a fraction
// of its evaluations; a start of another feed, at a far pressure or for a
// state of one phase is not taken.
#include "library/phase/warmsplit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/phik.h"
#include "tests/support/fluid.h"

namespace {

// How close a two-phase state found warm is to the cold road's: neither
// road holds its root closer than some 1e-12 of T (the cold one stops at
// 1e-12 of the property, the warm one at 5e-13 of T), and at one T their
// splits agree only as far as each split's fugacities do (to 1e-11), which
// moves a vapour fraction that changes fast with them.  Measured on the
// paths and on a dense grid (25 x 13) of the regions below: T 1.2e-12, q
// 2.0e-11, D 2.9e-11 (natural gas at 3.8 MPa); on the paths each root lies
// within 7e-13 of the temperature of the state whose property was given.
constexpr double kSameT = 3e-12, kSameQ = 5e-11, kSameD = 5e-11;

struct Flash {
    double T = 0, D = 0, q = 0, h = 0, s = 0;
    int ierr = 0;
    unsigned long long evaluations = 0;
};

Flash flash(char letter, double P, double b, const double z[20]) {
    Flash r;
    const unsigned long long before = lib::EOS_EVALUATIONS;
    double Dl = 0, Dv = 0, x[20], y[20], e = 0, cv = 0, cp = 0, w = 0;
    std::string herr;
    if (letter == 'H')
        lib::PHFLSH(P, b, z, r.T, r.D, Dl, Dv, x, y, r.q, e, r.s, cv, cp, w, r.ierr, herr);
    else
        lib::PSFLSH(P, b, z, r.T, r.D, Dl, Dv, x, y, r.q, e, r.h, cv, cp, w, r.ierr, herr);
    r.evaluations = lib::EOS_EVALUATIONS - before;
    return r;
}

// h and s at (T, P) from the (T, p) flash, with its vapour fraction.
struct TpPoint {
    double h = 0, s = 0, q = 0;
    int ierr = 0;
};
TpPoint tp(double T, double P, const double z[20]) {
    TpPoint r;
    double D = 0, Dl = 0, Dv = 0, x[20], y[20], e = 0, cv = 0, cp = 0, w = 0;
    std::string herr;
    lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, r.q, e, r.h, r.s, cv, cp, w, r.ierr, herr);
    return r;
}

struct PathCase {
    const char* label;
    const char* names;
    std::vector<double> z;
    char letter;  // the property given: 'H' or 'S'
    // The states of the path run linearly from (p0, t0) to (p1, t1).
    double p0, p1, t0, t1;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.label; }

std::vector<double> feed(const PathCase& c) {
    std::vector<double> z(20, 0.0);
    std::copy(c.z.begin(), c.z.end(), z.begin());
    return z;
}

class WarmSplitPath : public ::testing::TestWithParam<PathCase> {};

// Each two-phase state found warm is the cold road's (to kSameT, kSameQ,
// kSameD), and within kSameT of the temperature of the state whose
// property was given; every state of one phase is the cold road's to its
// last digit.  The two-phase flashes, with the tests of their phases for a
// third one, need less than a third of the cold road's evaluations (3.5
// times fewer measured along the gas whose carbon dioxide is frozen, whose
// tests try its phases with that component held).
TEST_P(WarmSplitPath, FindsTheStatesOfTheColdRoad) {
    const PathCase& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    const std::vector<double> z = feed(c);
    constexpr int kPoints = 30;
    std::vector<std::pair<double, double>> given;  // (P, b)
    std::vector<double> temperatures;              // of the states given
    for (int k = 0; k <= kPoints; ++k) {
        const double f = static_cast<double>(k) / kPoints;
        const double P = c.p0 + f * (c.p1 - c.p0), T = c.t0 + f * (c.t1 - c.t0);
        const TpPoint t = tp(T, P, z.data());
        ASSERT_LE(t.ierr, 0) << c.label << " at " << T << " K, " << P << " kPa";
        given.emplace_back(P, c.letter == 'H' ? t.h : t.s);
        temperatures.push_back(T);
    }
    std::vector<Flash> cold, warm;
    for (const auto& [P, b] : given) cold.push_back(flash(c.letter, P, b, z.data()));
    {
        const lib::WarmStartScope scope;
        for (const auto& [P, b] : given) warm.push_back(flash(c.letter, P, b, z.data()));
    }
    int split = 0, differ = 0;
    unsigned long long cold_work = 0, warm_work = 0;
    for (std::size_t i = 0; i < given.size(); ++i) {
        const Flash &a = cold[i], &b = warm[i];
        const bool two_phase = a.q > 0.0 && a.q < 1.0;
        bool same = a.ierr == b.ierr && a.ierr <= 0;
        if (two_phase) {
            ++split;
            cold_work += a.evaluations;
            warm_work += b.evaluations;
            const double given_T = temperatures[i];
            same = same && std::fabs(a.T - b.T) <= kSameT * a.T && std::fabs(a.q - b.q) <= kSameQ &&
                   std::fabs(a.D - b.D) <= kSameD * a.D &&
                   std::fabs(b.T - given_T) <= kSameT * given_T;
        } else {
            same = same && a.T == b.T && a.q == b.q && a.D == b.D;
        }
        if (!same) {
            ++differ;
            ADD_FAILURE() << c.label << " point " << i << ": T " << a.T << " " << b.T << " q "
                          << a.q << " " << b.q << " ierr " << a.ierr << " " << b.ierr;
        }
    }
    EXPECT_EQ(differ, 0);
    EXPECT_GE(split, kPoints / 2) << c.label << ": the path lies mostly in the two-phase region";
    EXPECT_LT(warm_work * 3, cold_work) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Paths, WarmSplitPath,
                         ::testing::Values(
                             // A water separator's stream: humid air at 8 bar cooled from its dew
                             // point, at a falling pressure.
                             PathCase{"humid air cooled",
                                      "nitrogen|oxygen|argon|co2|water",
                                      {0.7685, 0.2062, 0.0091, 0.0004, 0.0158},
                                      'H',
                                      802.0,
                                      794.0,
                                      322.0,
                                      285.0},
                             // Wet humid air expanded (given its entropy).
                             PathCase{"humid air expanded",
                                      "nitrogen|oxygen|argon|co2|water",
                                      {0.7685, 0.2062, 0.0091, 0.0004, 0.0158},
                                      'S',
                                      800.0,
                                      400.0,
                                      300.0,
                                      270.0},
                             // A natural gas cooled at 30 bar through its two-phase region.
                             PathCase{"natural gas cooled",
                                      "methane|ethane|propane|butane",
                                      {0.85, 0.08, 0.05, 0.02},
                                      'H',
                                      3000.0,
                                      3000.0,
                                      250.0,
                                      200.0},
                             // Natural Gas Groningen expanded below the freezing floor of its
                             // 0.9 % of carbon dioxide (194.9 K), which its phases dissolve.
                             PathCase{"natural gas with carbon dioxide expanded",
                                      "pentane|butane|propane|ethane|methane|nitrogen|co2",
                                      {0.001, 0.002, 0.004, 0.029, 0.812, 0.143, 0.009},
                                      'S',
                                      2800.0,
                                      1400.0,
                                      200.0,
                                      170.0}),

                         [](const ::testing::TestParamInfo<PathCase>& p) {
                             std::string s = p.param.label;
                             std::replace(s.begin(), s.end(), ' ', '_');
                             return s;
                         });

struct GridCase {
    const char* label;
    const char* names;
    std::vector<double> z;
    double t_lo, t_hi, p_lo, p_hi;  // the grid's corners
};

void PrintTo(const GridCase& c, std::ostream* os) { *os << c.label; }

class WarmSplitGrid : public ::testing::TestWithParam<GridCase> {};

// A grid over a region with two-phase and one-phase states, flashed in a
// scope row by row (a start from the state before: close by along a row,
// far at the start of the next, across phase boundaries on the way) by
// enthalpy and by entropy: every state is the cold road's (to the
// tolerances above where it is two-phase, to the last digit where not).
TEST_P(WarmSplitGrid, EveryStateIsTheColdRoads) {
    const GridCase& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    double z[20] = {};
    std::copy(c.z.begin(), c.z.end(), z);
    constexpr int kT = 9, kP = 5;
    struct Given {
        char letter;
        double P, b;
    };
    std::vector<Given> given;
    int split = 0;
    for (int j = 0; j < kP; ++j)
        for (int i = 0; i < kT; ++i) {
            const double P = c.p_lo * std::pow(c.p_hi / c.p_lo, static_cast<double>(j) / (kP - 1));
            const double T = c.t_lo + (c.t_hi - c.t_lo) * i / (kT - 1);
            const TpPoint t = tp(T, P, z);
            if (t.ierr > 0) continue;
            split += t.q > 0.0 && t.q < 1.0 ? 1 : 0;
            given.push_back({'H', P, t.h});
            given.push_back({'S', P, t.s});
        }
    ASSERT_GE(split, kT * kP / 4) << c.label;
    std::vector<Flash> cold, warm;
    for (const Given& g : given) cold.push_back(flash(g.letter, g.P, g.b, z));
    {
        const lib::WarmStartScope scope;
        for (const Given& g : given) warm.push_back(flash(g.letter, g.P, g.b, z));
    }
    int differ = 0;
    for (std::size_t i = 0; i < given.size(); ++i) {
        const Flash &a = cold[i], &b = warm[i];
        const bool two_phase = a.q > 0.0 && a.q < 1.0;
        const bool same =
            a.ierr == b.ierr &&
            (two_phase ? std::fabs(a.T - b.T) <= kSameT * a.T && std::fabs(a.q - b.q) <= kSameQ &&
                             std::fabs(a.D - b.D) <= kSameD * a.D
                       : std::fabs(a.T - b.T) <= 1e-9 * a.T && a.q == b.q &&
                             std::fabs(a.D - b.D) <= 1e-8 * a.D);
        if (!same) {
            ++differ;
            ADD_FAILURE() << c.label << " " << given[i].letter << " at " << given[i].P << " kPa: T "
                          << a.T << " " << b.T << " q " << a.q << " " << b.q << " ierr " << a.ierr
                          << " " << b.ierr;
        }
    }
    EXPECT_EQ(differ, 0) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Grids, WarmSplitGrid,
                         ::testing::Values(GridCase{"humid air",
                                                    "nitrogen|oxygen|argon|co2|water",
                                                    {0.7685, 0.2062, 0.0091, 0.0004, 0.0158},
                                                    280.0,
                                                    340.0,
                                                    200.0,
                                                    2000.0},
                                           GridCase{"natural gas",
                                                    "methane|ethane|propane|butane",
                                                    {0.85, 0.08, 0.05, 0.02},
                                                    190.0,
                                                    270.0,
                                                    1000.0,
                                                    5000.0},
                                           // Across the freezing floor of the dissolved carbon
                                           // dioxide (194.9 K), down to where it would deposit.
                                           GridCase{
                                               "natural gas with carbon dioxide",
                                               "pentane|butane|propane|ethane|methane|"
                                               "nitrogen|co2",
                                               {0.001, 0.002, 0.004, 0.029, 0.812, 0.143, 0.009},
                                               145.0,
                                               215.0,
                                               300.0,
                                               4000.0},
                                           GridCase{"gas rich in carbon dioxide",
                                                    "methane|co2|ethane|propane",
                                                    {0.75, 0.15, 0.07, 0.03},
                                                    170.0,
                                                    230.0,
                                                    1000.0,
                                                    5000.0}),
                         [](const ::testing::TestParamInfo<GridCase>& p) {
                             std::string s = p.param.label;
                             std::replace(s.begin(), s.end(), ' ', '_');
                             return s;
                         });

struct BandCase {
    const char* label;
    const char* names;
    std::vector<double> z;
    char letter;
    double P, t_hot, t_cold;
};

void PrintTo(const BandCase& c, std::ostream* os) { *os << c.label; }

class WarmSplitThreePhase : public ::testing::TestWithParam<BandCase> {};

// Propane + water, whose propane condenses beside liquid water: the values
// of the isobar's three-phase line lie between the splits above and below
// it, and the cold road refuses them.  A walk down from the vapour beside
// water to the two liquids and back up, flashed in a scope, gets the cold
// road's answer at every step (to the tolerances above where it is
// two-phase, to the last digits where not): neither split continued past
// the line (a supersaturated vapour, a superheated liquid) is a state of
// it.  (80/20 at 237.26 kPa: the vapour went on to 251.07 K, 1.5 K below
// the line, with 99.96 % propane.)
TEST_P(WarmSplitThreePhase, WalksAcrossTheLineAsTheColdRoad) {
    const BandCase& c = GetParam();
    ASSERT_EQ(testsupport::set_up(c.names), "");
    double z[20] = {};
    std::copy(c.z.begin(), c.z.end(), z);
    const TpPoint hot = tp(c.t_hot, c.P, z), cold_end = tp(c.t_cold, c.P, z);
    ASSERT_LE(hot.ierr, 0);
    ASSERT_LE(cold_end.ierr, 0);
    const double b0 = c.letter == 'H' ? hot.h : hot.s,
                 b1 = c.letter == 'H' ? cold_end.h : cold_end.s;
    constexpr int kSteps = 10;
    std::vector<double> given;
    for (int k = 0; k <= kSteps; ++k) given.push_back(b0 + (b1 - b0) * k / kSteps);
    for (int k = kSteps - 1; k >= 0; --k) given.push_back(given[static_cast<std::size_t>(k)]);
    std::vector<Flash> cold, warm;
    for (double b : given) cold.push_back(flash(c.letter, c.P, b, z));
    {
        const lib::WarmStartScope scope;
        for (double b : given) warm.push_back(flash(c.letter, c.P, b, z));
    }
    int refused = 0, split = 0, differ = 0;
    for (std::size_t i = 0; i < given.size(); ++i) {
        const Flash &a = cold[i], &b = warm[i];
        refused += a.ierr > 0 ? 1 : 0;
        const bool two_phase = a.ierr <= 0 && a.q > 0.0 && a.q < 1.0;
        const bool same =
            a.ierr == b.ierr &&
            (a.ierr > 0 ||
             (two_phase ? std::fabs(a.T - b.T) <= kSameT * a.T && std::fabs(a.q - b.q) <= kSameQ
                        : std::fabs(a.T - b.T) <= 1e-9 * a.T && a.q == b.q));
        split += two_phase ? 1 : 0;
        if (!same) {
            ++differ;
            ADD_FAILURE() << c.label << " step " << i << ": T " << a.T << " " << b.T << " q " << a.q
                          << " " << b.q << " ierr " << a.ierr << " " << b.ierr;
        }
    }
    EXPECT_EQ(differ, 0) << c.label;
    EXPECT_GE(refused, 2) << c.label << ": the walk crosses the three-phase line";
    EXPECT_GE(split, 4) << c.label << ": and the splits on both sides of it";
}

INSTANTIATE_TEST_SUITE_P(
    Feeds, WarmSplitThreePhase,
    ::testing::Values(
        BandCase{"propane water 80 20", "propane|water", {0.8, 0.2}, 'S', 237.26, 300.0, 250.0},
        BandCase{"propane water 50 50", "propane|water", {0.5, 0.5}, 'H', 348.0, 300.0, 250.0}),
    [](const ::testing::TestParamInfo<BandCase>& p) {
        std::string s = p.param.label;
        std::replace(s.begin(), s.end(), ' ', '_');
        return s;
    });

// Humid air at 8 bar and 300 K (two-phase) and the kept state of a flash there.
class WarmSplitStart : public ::testing::Test {
protected:
    double z[20] = {0.7685, 0.2062, 0.0091, 0.0004, 0.0158};
    static constexpr double kP = 800.0;
    void SetUp() override { ASSERT_EQ(testsupport::set_up("nitrogen|oxygen|argon|co2|water"), ""); }
    // The state kept after a flash at (T, kP) in the scope.
    lib::warm::Split kept(double T) {
        const TpPoint t = tp(T, kP, z);
        EXPECT_TRUE(t.q > 0.0 && t.q < 1.0);
        flash('H', kP, t.h, z);
        lib::warm::Split s;
        EXPECT_TRUE(lib::warm::recall_split(z, s));
        return s;
    }
};

// A start close by is taken and ends on the state with the given property;
// its evaluations are a fraction of the cold road's.
TEST_F(WarmSplitStart, TakenCloseByWithFewerEvaluations) {
    const TpPoint t = tp(295.0, 798.0, z);
    const Flash cold = flash('H', 798.0, t.h, z);
    const lib::WarmStartScope scope;
    const lib::warm::Split s = kept(300.0);
    lib::warm::Split r;
    const unsigned long long before = lib::EOS_EVALUATIONS;
    ASSERT_TRUE(lib::warm::solve_split('H', 798.0, t.h, z, s, r));
    const unsigned long long warm = lib::EOS_EVALUATIONS - before;
    EXPECT_NEAR(r.T, cold.T, kSameT * cold.T);
    EXPECT_NEAR(r.q, cold.q, kSameQ);
    EXPECT_NEAR(r.h, t.h, 1e-12 * (std::fabs(t.h) + 1.0));
    EXPECT_LT(warm * 2, cold.evaluations);
}

// Stale starts go the cold road: another feed, a far pressure, a state of
// one phase, a root far from the start, and a feed whose last flash found
// one phase.
TEST_F(WarmSplitStart, StaleStartsAreNotTaken) {
    const TpPoint next = tp(299.0, kP, z);
    const Flash cold = flash('H', kP, next.h, z);
    const lib::WarmStartScope scope;
    const lib::warm::Split s = kept(300.0);
    lib::warm::Split r;
    const double other[20] = {0.7680, 0.2062, 0.0091, 0.0004, 0.0163};
    EXPECT_FALSE(lib::warm::recall_split(other, r)) << "another feed";
    const TpPoint far_p = tp(300.0, 2.0 * kP, z);
    EXPECT_FALSE(lib::warm::solve_split('H', 2.0 * kP, far_p.h, z, s, r)) << "far pressure";
    const TpPoint gas = tp(340.0, kP, z);
    EXPECT_FALSE(lib::warm::solve_split('H', kP, gas.h, z, s, r)) << "one phase";
    const TpPoint cold_state = tp(260.0, kP, z);
    EXPECT_FALSE(lib::warm::solve_split('H', kP, cold_state.h, z, s, r)) << "far temperature";
    // The flash of the gas in the scope ends the feed's two-phase starts:
    // the next two-phase flash goes the cold road, with its work.
    flash('H', kP, gas.h, z);
    EXPECT_FALSE(lib::warm::recall_split(z, r));
    const Flash after_gas = flash('H', kP, next.h, z);
    EXPECT_NEAR(after_gas.T, cold.T, kSameT * cold.T);
    EXPECT_GT(after_gas.evaluations * 2, cold.evaluations);
}

// Nothing is kept outside a scope, and a scope's end forgets.
TEST_F(WarmSplitStart, KeptOnlyWithinAScope) {
    lib::warm::Split r;
    flash('H', kP, tp(300.0, kP, z).h, z);
    EXPECT_FALSE(lib::warm::recall_split(z, r));
    {
        const lib::WarmStartScope scope;
        flash('H', kP, tp(300.0, kP, z).h, z);
        EXPECT_TRUE(lib::warm::recall_split(z, r));
    }
    EXPECT_FALSE(lib::warm::recall_split(z, r));
}

}  // namespace
