// Isolines of mixtures with the real library: lines through the two-phase
// region below the critical temperature (the glide of a blend, air's
// liquid), each point flashed back from its (p, h), lines broken where the
// library has no states (components would freeze out), density lines
// ending at the highest pressure, and a line computed alone the same as
// among the others.
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/diagrams/isolines.h"
#include "app/diagrams/mapping.h"
#include "tests/diagrams/diagram_support.h"
#include "tests/diagrams/isoline_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace app;
using namespace app::diagrams;
using namespace isotest;

// A mixture's density line ends where its pressure passes the highest
// pressure of the equations (1.16 GPa), as its isobars do: Natural Gas
// Groningen's line of 650 kg/m3 passes it near 400 K; that of 750 kg/m3 lies
// at 1.8 GPa at 249 K, where each of its states had been searched for in
// seconds.
TEST(MixtureIsolines, DensityLineEndsAtTheHighestPressure) {
    diagtest::fresh_fluids();
    Fluid* gas = fluids.find("Natural Gas Groningen");
    ASSERT_NE(gas, nullptr);
    init_stoffwerte(gas);
    for (IsoFamily& fam : gas->iso) {
        fam.computed.assign(static_cast<std::size_t>(iso_count(fam)), 1);
        fam.lines.resize(fam.computed.size());
        fam.wet.resize(fam.computed.size());
    }
    const int line = iso_add_position(gas->iso[ISO_ISOCHOR], 650.0);
    calc_isolines(*gas);
    const auto& points = gas->iso[ISO_ISOCHOR].lines[static_cast<std::size_t>(line)];
    EXPECT_FALSE(points.empty());
    double hottest = 0.0;
    for (const IsoPoint& pt : points) {
        EXPECT_LE(pt.p, gas->pmax) << pt.T;
        hottest = std::max(hottest, pt.T);
    }
    EXPECT_GT(hottest, 300.0);  // (its last point below it)
    EXPECT_LT(hottest, 400.0);
}

struct BrokenRow {
    const char* components;
    double T;                // K
    double p_below;          // kPa: the states the library has lie below
    std::size_t min_points;  // of the line kept
};

std::ostream& operator<<(std::ostream& os, const BrokenRow& r) {
    return os << r.components << " at " << r.T;
}

// Isotherms on which the library has no states between high pressures and
// the gas or the bubble point (CO2, pentane or hexane would freeze out):
// the line is the part below the gap, no straight segment from 1 GPa down
// to 0.1 kPa, every segment across a pressure ratio of 2 or more a stretch
// of states.
class BrokenIsotherms : public ::testing::TestWithParam<BrokenRow> {
protected:
    void TearDown() override { fluids.truncate(NUM_BUILTIN_FLUIDS); }
};

TEST_P(BrokenIsotherms, KeepThePartBelowTheGap) {
    diagtest::fresh_fluids();
    const BrokenRow row = GetParam();
    Fluid* f = fluid_named(row.components);
    ASSERT_NE(f, nullptr);
    const std::vector<IsoPoint> line = only_line(*f, ISO_ISOTHERM, row.T);
    ASSERT_GE(line.size(), row.min_points);
    EXPECT_LT(line.front().p, row.p_below);
    for (std::size_t k = 1; k < line.size(); ++k) {
        EXPECT_LT(line[k].p, line[k - 1].p);
        if (line[k - 1].p < 2 * line[k].p) continue;
        double T = row.T, p = std::sqrt(line[k - 1].p * line[k].p), s = 0, h = 0, rho = 0, q = 0;
        EXPECT_EQ(get_all_by_T_and_p(f->x.data(), T, p, s, h, rho, q), 0) << "at " << p << " kPa";
    }
}

constexpr const char* GAS_WITH_HEAVY_ENDS =
    "Methane 0.83, Ethane 0.07, Propane 0.03, Butane 0.015, Isobutane 0.01, Pentane 0.01, "
    "Hexane 0.005, Nitrogen 0.015, Carbon dioxide 0.015";

INSTANTIATE_TEST_SUITE_P(
    Freezing, BrokenIsotherms,
    ::testing::Values(
        BrokenRow{"Carbon monoxide 0.4, Hydrogen 0.45, Carbon dioxide 0.1, Methane 0.05", 175, 1000,
                  10},
        BrokenRow{"Nitrogen 0.83, Carbon dioxide 0.12, Oxygen 0.04, Argon 0.01", 175, 200, 10},
        BrokenRow{GAS_WITH_HEAVY_ENDS, 125, 1100, 1},
        BrokenRow{GAS_WITH_HEAVY_ENDS, 150, 1100, 1}));

struct GapRow {
    const char* fluid;
    int family;  // an isobar or a density line
    double position;
    double T_above;  // K: the states the library has lie above
};

std::ostream& operator<<(std::ostream& os, const GapRow& r) {
    return os << r.fluid << " family " << r.family << " at " << r.position;
}

// Mixture isobars from Tmin on which the library has no
// states between a cold liquid and the gas (water or heavy ends would
// freeze out): the line is the part above the gap, every segment across
// 10 K or more a stretch of states. (Humid ISO Air's 10 kPa isobar ran
// straight from a liquid at 63 K to its gas at 251 K.)
class IsolinesAboveGap : public ::testing::TestWithParam<GapRow> {
protected:
    void TearDown() override { fluids.truncate(NUM_BUILTIN_FLUIDS); }
};

TEST_P(IsolinesAboveGap, KeepThePartAboveTheGap) {
    diagtest::fresh_fluids();
    const GapRow row = GetParam();
    Fluid* f = fluid_named(row.fluid);
    ASSERT_NE(f, nullptr);
    const std::vector<IsoPoint> line = line_at(*f, row.family, row.position);
    ASSERT_GE(line.size(), 10u);
    EXPECT_GT(line.front().T, row.T_above);
    for (std::size_t k = 1; k < line.size(); ++k) {
        EXPECT_GT(line[k].T, line[k - 1].T);
        if (line[k].T - line[k - 1].T < 10) continue;
        double T = (line[k].T + line[k - 1].T) / 2, p = row.position, rho = row.position;
        double s = 0, h = 0, q = 0;
        const int r = row.family == ISO_ISOBAR
                          ? get_all_by_T_and_p(f->x.data(), T, p, s, h, rho, q)
                          : get_all_by_T_and_rho(f->x.data(), T, p, s, h, rho, q);
        EXPECT_EQ(r, 0) << "at " << T << " K";
    }
}

INSTANTIATE_TEST_SUITE_P(Freezing, IsolinesAboveGap,
                         ::testing::Values(GapRow{"Humid ISO Air", ISO_ISOBAR, 10, 200},
                                           GapRow{"Humid ISO Air", ISO_ISOBAR, 100, 200},
                                           GapRow{FLUE_GAS, ISO_ISOBAR, 100, 200}));

struct EndsRow {
    const char* fluid;
    int family;  // an isobar or a density line
    double position;
    double T_cold_below;  // K: the line's first point lies below
    double T_warm_above;  // K: its last point lies above
};

std::ostream& operator<<(std::ostream& os, const EndsRow& r) {
    return os << r.fluid << " family " << r.family << " at " << r.position;
}

// A flue gas of 7 % water.
constexpr const char* WET_FLUE_GAS =
    "Nitrogen 0.755, Oxygen 0.125, Argon 0.009, Carbon dioxide 0.04, Water 0.071";

// Mixture lines stepped in temperature run as far as the library has
// states on them: 0.5 K beyond either end it has none. The coldest
// samples of a wet gas are refused (its water would freeze), and its lines
// began at the first retry the library took (the flue gas's 1 bar isobar
// at 300 K, its density lines at 280 K, Humid ISO Air's at 259 K and its
// 50 bar isobar at 304 K, all with states down to 246 K); Humid ISO Air's
// lines ended at 1146 K and 1787 K, their highest samples beyond the
// limits of its humid composition (1944 K). The record keeps its own
// composition and limits.
class MixtureLineEnds : public ::testing::TestWithParam<EndsRow> {
protected:
    void TearDown() override { fluids.truncate(NUM_BUILTIN_FLUIDS); }
};

TEST_P(MixtureLineEnds, ReachTheLastStatesOfTheLibrary) {
    diagtest::fresh_fluids();
    const EndsRow row = GetParam();
    Fluid* f = fluid_named(row.fluid);
    ASSERT_NE(f, nullptr);
    init_stoffwerte(f);
    const auto x = f->x;
    const double Tmax = f->Tmax;
    const std::vector<IsoPoint> line = line_at(*f, row.family, row.position);
    EXPECT_EQ(f->x, x);
    EXPECT_EQ(f->Tmax, Tmax);
    ASSERT_GE(line.size(), 10u);
    EXPECT_LT(line.front().T, row.T_cold_below);
    EXPECT_GT(line.back().T, row.T_warm_above);
    LineComposition composition(*f);
    for (const double T : {line.front().T - 0.5, line.back().T + 0.5}) {
        double t = T, p = row.position, rho = row.position, s = 0, h = 0, q = 0;
        const int r = row.family == ISO_ISOBAR
                          ? get_all_by_T_and_p(f->x.data(), t, p, s, h, rho, q)
                          : get_all_by_T_and_rho(f->x.data(), t, p, s, h, rho, q);
        EXPECT_NE(r, 0) << "at " << T << " K";
    }
}

INSTANTIATE_TEST_SUITE_P(WetGases, MixtureLineEnds,
                         ::testing::Values(EndsRow{WET_FLUE_GAS, ISO_ISOBAR, 100, 247, 1700},
                                           EndsRow{WET_FLUE_GAS, ISO_ISOBAR, 5, 247, 1700},
                                           EndsRow{WET_FLUE_GAS, ISO_ISOCHOR, 1, 247, 1700},
                                           EndsRow{"Humid ISO Air", ISO_ISOBAR, 100, 247, 1900},
                                           EndsRow{"Humid ISO Air", ISO_ISOBAR, 5000, 247, 1900},
                                           EndsRow{"Humid ISO Air", ISO_ISOCHOR, 1, 247, 1900},
                                           EndsRow{"Natural Gas Groningen", ISO_ISOBAR, 10, 140,
                                                   600}));

// How far the drawn segments of a family's computed lines stray from the
// states at their middle temperatures, in pixels of a 1024 x 800 diagram
// of the type with the given axes (unchanged where min equals max), and the
// number of segments looked at (those below T_top).
struct Stray {
    double worst = 0;
    int segments = 0;
};
Stray stray_of(Fluid& f, int family, int type, double x0, double x1, double y0, double y1,
               double T_top) {
    auto g = diagtest::make_graph(fluids.index_of(&f), type);
    if (x0 < x1) g->x_axis.min_pos = x0, g->x_axis.max_pos = x1;
    if (y0 < y1) g->y_axis.min_pos = y0, g->y_axis.max_pos = y1;
    diagtest::draw(*g, 1024, 800);
    const Mapping m = mapping_of(*g);
    EXPECT_TRUE(m.usable);
    const int xq = g->x_axis.quantity, yq = g->y_axis.quantity;
    const auto value = [](const IsoPoint& pt, int q) {
        return q == 0 ? pt.s : q == 1 ? pt.h : pt.T;
    };
    Stray out;
    const IsoFamily& fam = f.iso[static_cast<std::size_t>(family)];
    for (std::size_t i = 0; i < fam.lines.size(); ++i) {
        const double v = fam.positions[i];
        for (std::size_t k = 1; k < fam.lines[i].size(); ++k) {
            const IsoPoint &a = fam.lines[i][k - 1], &b = fam.lines[i][k];
            if (a.T > T_top) break;
            double T = (a.T + b.T) / 2, p = v, s = 0, h = 0, rho = v, q = 0;
            const int r = family == ISO_ISOBAR
                              ? get_all_by_T_and_p(f.x.data(), T, p, s, h, rho, q)
                              : get_all_by_T_and_rho(f.x.data(), T, p, s, h, rho, q);
            EXPECT_EQ(r, 0) << T;
            const IsoPoint mid{s, h, p, T, rho};
            const double ax = m.X(value(a, xq)), ay = m.Y(value(a, yq));
            const double bx = m.X(value(b, xq)), by = m.Y(value(b, yq));
            const double mx = m.X(value(mid, xq)), my = m.Y(value(mid, yq));
            const double length = std::hypot(bx - ax, by - ay);
            if (!(length > 1)) continue;
            const double t = std::clamp(
                ((mx - ax) * (bx - ax) + (my - ay) * (by - ay)) / (length * length), 0., 1.);
            out.worst =
                std::max(out.worst, std::hypot(ax + t * (bx - ax) - mx, ay + t * (by - ay) - my));
            ++out.segments;
        }
    }
    return out;
}

// Computes only the positions of a family from `from` to `to`.
void only_positions(Fluid& f, int family, double from, double to) {
    init_stoffwerte(&f);
    for (IsoFamily& fam : f.iso) fam.computed.assign(static_cast<std::size_t>(iso_count(fam)), 1);
    IsoFamily& fam = f.iso[static_cast<std::size_t>(family)];
    for (std::size_t i = 0; i < fam.positions.size(); ++i)
        if (fam.positions[i] >= from && fam.positions[i] <= to) fam.computed[i] = 0;
    calc_isolines(f);
}

// What a user sees of a wet gas's density lines where its water condenses:
// in a T-s diagram of 200 K to 350 K, each drawn segment runs within 2
// pixels of the state at its middle temperature. The segments between
// 248 K and 280 K strayed up to 6.8 pixels (their midpoints lay on the
// chords in the line's own proportions, 246 K to 1752 K).
TEST(MixtureIsolines, WetDensityLinesFollowTheirBends) {
    diagtest::fresh_fluids();
    Fluid* f = fluid_named(WET_FLUE_GAS);
    ASSERT_NE(f, nullptr);
    only_positions(*f, ISO_ISOCHOR, 0.1, 5);  // the lines that condense water there
    const Stray stray = stray_of(*f, ISO_ISOCHOR, 2, -1, 2, 200, 350, 350);
    EXPECT_LT(stray.worst, 2);
    EXPECT_GT(stray.segments, 40);
    fluids.truncate(NUM_BUILTIN_FLUIDS);
}

// A natural gas's isobars in its h-s diagram as it opens: within 4 pixels
// of their states (they bend in h where T-s shows them straight: from
// 416 K to 545 K they kept one segment 4.5 pixels off).
TEST(MixtureIsolines, IsobarsFollowTheirBendsInHs) {
    diagtest::fresh_fluids();
    Fluid* f = fluids.find("Natural Gas Groningen");
    ASSERT_NE(f, nullptr);
    only_positions(*f, ISO_ISOBAR, 5, 1000);
    const Stray stray = stray_of(*f, ISO_ISOBAR, 0, 0, 0, 0, 0, 700);
    EXPECT_LT(stray.worst, 4);
    EXPECT_GT(stray.segments, 100);
}

// Dry ISO Air's isotherms as a diagram first computes them, all together,
// and each computed alone afterwards: the same states (a state taken again
// from one line's earlier flashes comes from that line only). Below the
// critical temperature the line runs through the bubble point, flashed at
// (T, q = 0).
TEST(MixtureIsolines, IsothermAloneIsTheSameAsAmongTheOthers) {
    diagtest::fresh_fluids();
    Fluid* air = fluids[FLUID_DRY_ISO_AIR];
    calc_isolines(*air);
    const std::vector<std::vector<IsoPoint>> together = air->iso[ISO_ISOTHERM].lines;
    for (const double T : {75.0, 125.0, 200.0, 300.0}) {
        const int i = iso_find(air->iso[ISO_ISOTHERM], T);
        ASSERT_GE(i, 0);
        const std::vector<IsoPoint>& first = together[static_cast<std::size_t>(i)];
        const std::vector<IsoPoint> alone = only_line(*air, ISO_ISOTHERM, T);
        ASSERT_EQ(alone.size(), first.size()) << T;
        ASSERT_GE(alone.size(), 10u) << T;
        for (std::size_t k = 0; k < alone.size(); ++k) {
            EXPECT_EQ(alone[k].p, first[k].p) << T << " K, point " << k;
            EXPECT_LE(rel(alone[k].rho, first[k].rho), 1e-9) << T << " K, point " << k;
            EXPECT_LE(rel(alone[k].h, first[k].h), 1e-9) << T << " K, point " << k;
        }
        if (!(T < air->Tc)) continue;
        double t = T, p = 0, s = 0, h = 0, rho = 0, q = 0;
        ASSERT_EQ(get_all_by_T_and_q(air->x.data(), t, p, s, h, rho, q), 0) << T;
        EXPECT_TRUE(std::any_of(alone.begin(), alone.end(), [&](const IsoPoint& pt) {
            return rel(pt.p, p) <= 1e-9 && rel(pt.rho, rho) <= 1e-9;
        })) << T;
    }
}

struct GlideRow {
    const char* fluid;
    double T;  // K, an isotherm below the critical temperature
    double p;  // kPa, an isobar that crosses the two-phase region
};

std::ostream& operator<<(std::ostream& os, const GlideRow& r) {
    return os << r.fluid << " at " << r.T << " K and " << r.p << " kPa";
}

// A mixture's isotherm below its critical temperature runs from the
// compressed liquid through its bubble point, states of both phases, its
// dew point and the vapour towards pmin; its isobar from low temperatures
// through its bubble point, the glide and its dew point to the gas. (The
// isotherm ended at the bubble point, the isobar began above the critical
// temperature: a heat pump's blend showed no isotherm below it in its p-h
// diagram, no isobar below 390 K in its T-s diagram.)
class MixtureGlide : public ::testing::TestWithParam<GlideRow> {
protected:
    void TearDown() override { fluids.truncate(NUM_BUILTIN_FLUIDS); }
};

TEST_P(MixtureGlide, LinesRunThroughTheTwoPhaseRegion) {
    diagtest::fresh_fluids();
    const GlideRow row = GetParam();
    Fluid* f = fluid_named(row.fluid);
    ASSERT_NE(f, nullptr);
    ASSERT_GT(f->az_components, 1);
    const std::vector<IsoPoint> isotherm = line_at(*f, ISO_ISOTHERM, row.T);
    ASSERT_LT(row.T, f->Tc);
    double T = row.T, p_bubble = 0, p_dew = 0, s = 0, h = 0, rho = 0, q = 0;
    ASSERT_EQ(get_all_by_T_and_q(f->x.data(), T, p_bubble, s, h, rho, q), 0);
    q = 1;
    ASSERT_EQ(get_all_by_T_and_q(f->x.data(), T, p_dew, s, h, rho, q), 0);
    ASSERT_GT(p_bubble, p_dew);
    const auto at_p = [&](double p) {
        return std::count_if(isotherm.begin(), isotherm.end(),
                             [&](const IsoPoint& pt) { return rel(pt.p, p) < 1e-9; });
    };
    const auto p_between = [&](double lo, double hi) {
        return std::count_if(isotherm.begin(), isotherm.end(),
                             [&](const IsoPoint& pt) { return pt.p > lo && pt.p < hi; });
    };
    EXPECT_EQ(at_p(p_bubble), 1);
    EXPECT_EQ(at_p(p_dew), 1);
    EXPECT_GE(p_between(p_bubble, f->pmax), 3);  // the compressed liquid
    EXPECT_GE(p_between(p_dew, p_bubble), 2);    // the glide
    EXPECT_LT(isotherm.back().p, p_dew / 10);    // the vapour
    for (std::size_t k = 1; k < isotherm.size(); ++k) EXPECT_LT(isotherm[k].p, isotherm[k - 1].p);

    const std::vector<IsoPoint> isobar = line_at(*f, ISO_ISOBAR, row.p);
    double T_bubble = 0, T_dew = 0, p = row.p;
    q = 0;
    ASSERT_EQ(get_all_by_p_and_q(f->x.data(), T_bubble, p, s, h, rho, q), 0);
    q = 1;
    ASSERT_EQ(get_all_by_p_and_q(f->x.data(), T_dew, p, s, h, rho, q), 0);
    ASSERT_LT(T_bubble, T_dew);
    const auto at_T = [&](double t) {
        return std::count_if(isobar.begin(), isobar.end(),
                             [&](const IsoPoint& pt) { return rel(pt.T, t) < 1e-9; });
    };
    const auto glide = std::count_if(isobar.begin(), isobar.end(), [&](const IsoPoint& pt) {
        return pt.T > T_bubble && pt.T < T_dew;
    });
    EXPECT_EQ(at_T(T_bubble), 1);
    EXPECT_EQ(at_T(T_dew), 1);
    EXPECT_GE(glide, 3);
    EXPECT_LT(isobar.front().T, T_bubble);
    EXPECT_GT(isobar.back().T, T_dew);
    for (std::size_t k = 1; k < isobar.size(); ++k) {
        EXPECT_GT(isobar[k].T, isobar[k - 1].T) << k;
        EXPECT_GT(isobar[k].s, isobar[k - 1].s) << k;
    }
}

constexpr const char* HEAT_PUMP_BLEND = "Propane 0.5, Isobutane 0.5";
// A natural gas without carbon dioxide and pentane, which freeze out of the
// cold liquid of Natural Gas Groningen.
constexpr const char* LEAN_NATURAL_GAS =
    "Methane 0.88, Ethane 0.06, Propane 0.025, Butane 0.01, Nitrogen 0.025";

INSTANTIATE_TEST_SUITE_P(Mixtures, MixtureGlide,
                         ::testing::Values(GlideRow{HEAT_PUMP_BLEND, 300, 500},
                                           GlideRow{HEAT_PUMP_BLEND, 250, 100},
                                           GlideRow{"Dry ISO Air", 100, 100},
                                           GlideRow{"Dry ISO Air", 125, 1000}));

struct FamilyRow {
    const char* fluid;
    int family;
};

std::ostream& operator<<(std::ostream& os, const FamilyRow& r) {
    return os << r.fluid << " family " << r.family;
}

// Every point of a mixture's lines at their default positions, flashed
// back from its own (p, h), gives its T and rho: the compressed liquid,
// the states of both phases and the gas.
class MixtureLinesFlashBack : public ::testing::TestWithParam<FamilyRow> {
protected:
    void TearDown() override { fluids.truncate(NUM_BUILTIN_FLUIDS); }
};

TEST_P(MixtureLinesFlashBack, EveryPointFlashesBack) {
    diagtest::fresh_fluids();
    const FamilyRow row = GetParam();
    Fluid* f = fluid_named(row.fluid);
    ASSERT_NE(f, nullptr);
    init_stoffwerte(f);
    for (int family = 0; family < NUM_ISO_FAMILIES; ++family) {
        IsoFamily& fam = f->iso[family];
        fam.computed.assign(static_cast<std::size_t>(iso_count(fam)), family == row.family ? 0 : 1);
    }
    calc_isolines(*f);
    int points = 0, two_phase = 0;
    std::vector<std::string> bad;
    for (const auto& line : f->iso[row.family].lines)
        for (const IsoPoint& pt : line) {
            ++points;
            double q = -1;
            std::string why = flash_back(*f, pt.p, pt.h, pt.T, pt.rho, -1, &q);
            two_phase += q > 0 && q < 1 ? 1 : 0;
            if (!why.empty()) bad.push_back(why);
        }
    EXPECT_GT(points, 50);
    // (Density lines start above the critical temperature.)
    if (row.family != ISO_ISOCHOR) {
        EXPECT_GT(two_phase, 0);
    }
    EXPECT_TRUE(bad.empty()) << bad.size() << " of " << points << ", first: " << bad[0];
}

INSTANTIATE_TEST_SUITE_P(
    Mixtures, MixtureLinesFlashBack,
    ::testing::Values(FamilyRow{HEAT_PUMP_BLEND, ISO_ISOBAR},
                      FamilyRow{HEAT_PUMP_BLEND, ISO_ISOTHERM},
                      FamilyRow{HEAT_PUMP_BLEND, ISO_ISOCHOR}, FamilyRow{"Dry ISO Air", ISO_ISOBAR},
                      FamilyRow{"Dry ISO Air", ISO_ISOTHERM}, FamilyRow{"Dry ISO Air", ISO_ISOCHOR},
                      // (The flue gas's isotherms: 1,600 points flashed back in
                      // 25 s; its 250 K isotherm is checked as drawn.)
                      FamilyRow{FLUE_GAS, ISO_ISOBAR}, FamilyRow{LEAN_NATURAL_GAS, ISO_ISOBAR},
                      FamilyRow{LEAN_NATURAL_GAS, ISO_ISOTHERM}));

}  // namespace
