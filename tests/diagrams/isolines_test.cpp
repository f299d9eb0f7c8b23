// The isoline computation with the real library: what lines a fluid gets,
// the order of an isobar's points, every point checked by flashing it back
// from its own (p, h), and the guards around the computation.
#include "app/diagrams/isolines.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/solver/simulator.h"
#include "app/diagrams/isoline_draw.h"
#include "app/diagrams/mapping.h"
#include "tests/diagrams/diagram_support.h"
#include "tests/diagrams/isoline_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace app;
using namespace app::diagrams;
using namespace isotest;

class Isolines : public ::testing::Test {
protected:
    void SetUp() override {
        diagtest::fresh_fluids();
        water = fluids[FLUID_WATER];
        calls = calc_isolines(*water);
    }
    Fluid* water = nullptr;
    long calls = 0;
};

TEST_F(Isolines, WaterGetsEveryFamilyAndItsDome) {
    EXPECT_GT(calls, 0);
    const std::size_t counts[] = {13, 17, 14, 9};
    for (int f = 0; f < NUM_ISO_FAMILIES; ++f) {
        const IsoFamily& fam = water->iso[f];
        EXPECT_EQ(static_cast<std::size_t>(iso_count(fam)), counts[f]) << f;
        for (int i = 0; i < iso_count(fam); ++i) EXPECT_EQ(fam.computed[i], 1) << f << " " << i;
    }
    // Isotherms below the fluid's lower limit have no points, the others do.
    for (int i = 0; i < iso_count(water->iso[ISO_ISOTHERM]); ++i) {
        const double T = water->iso[ISO_ISOTHERM].positions[i];
        EXPECT_EQ(water->iso[ISO_ISOTHERM].lines[i].empty(), T < water->Tmin) << T;
    }
    for (const auto& line : water->iso[ISO_ISOBAR].lines) EXPECT_GE(line.size(), 5u);
    for (const auto& line : water->iso[ISO_WETNESS].wet) EXPECT_EQ(line.size(), 101u);

    EXPECT_EQ(water->dome_count, DOME_POINTS);
    int valid = 0;
    for (int j = 0; j < DOME_POINTS; ++j) {
        const double r = (DOME_POINTS - j) / double(DOME_POINTS);
        const double T = water->Tc - (water->Tc - water->Tmin) * r * r;
        for (const SatPoint* sp : {&water->dome_liquid[j], &water->dome_vapour[j]}) {
            if (sp->valid != 1.0) continue;
            ++valid;
            EXPECT_NEAR(sp->T, T, 1e-9 * T) << j;
            EXPECT_LT(sp->p, water->pc);
        }
    }
    EXPECT_GT(valid, 2 * 190);  // below the triple point water has no saturation states
    // The full ranges of the default axes.
    EXPECT_EQ(water->axis[AX_P].min_value, 2.0);
    EXPECT_EQ(water->axis[AX_P].max_value, water->pmax);
    EXPECT_EQ(water->axis[AX_T].min_value, water->Tmin);
    EXPECT_LT(water->axis[AX_S].min_value, 0.5);
    EXPECT_GT(water->axis[AX_H].max_value, 4000);
}

// The 1000 kPa isobar runs from high to low density, the saturated liquid
// directly before the saturated vapour.
TEST_F(Isolines, IsobarRunsThroughTheSaturationStates) {
    const int i = iso_find(water->iso[ISO_ISOBAR], 1000);
    ASSERT_GE(i, 0);
    const std::vector<IsoPoint>& line = water->iso[ISO_ISOBAR].lines[i];
    double T = 0, p = 1000, s = 0, h = 0, rhoL = 0, rhoV = 0, q = 0;
    ASSERT_EQ(get_all_by_p_and_q(water->x.data(), T, p, s, h, rhoL, q), 0);
    q = 1;
    ASSERT_EQ(get_all_by_p_and_q(water->x.data(), T, p, s, h, rhoV, q), 0);
    int at_L = -1;
    for (std::size_t k = 0; k < line.size(); ++k) {
        EXPECT_NEAR(line[k].p, 1000, 1e-9);
        if (k > 0) {
            EXPECT_LE(line[k].rho, line[k - 1].rho) << k;
        }
        if (rel(line[k].rho, rhoL) < 1e-12) at_L = static_cast<int>(k);
    }
    ASSERT_GE(at_L, 1);
    ASSERT_LT(at_L + 1, static_cast<int>(line.size()));
    EXPECT_LT(rel(line[at_L + 1].rho, rhoV), 1e-12);
    EXPECT_GT(line.size(), 10u);  // refined on both sides
}

// Every point of every line, flashed back from its own (p, h), gives its
// T and rho; so do the points of the w = 0.3 line, with quality 0.7.
TEST_F(Isolines, EveryPointFlashesBack) {
    int points = 0;
    std::vector<std::string> bad;
    for (int f : {ISO_ISOBAR, ISO_ISOTHERM, ISO_ISOCHOR})
        for (const auto& line : water->iso[f].lines)
            for (const IsoPoint& pt : line) {
                ++points;
                for (double v : {pt.s, pt.h, pt.p, pt.T, pt.rho}) ASSERT_TRUE(std::isfinite(v));
                std::string why = flash_back(*water, pt.p, pt.h, pt.T, pt.rho);
                if (!why.empty()) bad.push_back(why);
            }
    const int i = iso_find(water->iso[ISO_WETNESS], 0.3);
    ASSERT_GE(i, 0);
    int wet = 0;
    for (const SatPoint& sp : water->iso[ISO_WETNESS].wet[i]) {
        if (sp.valid != 1.0) continue;
        ++wet;
        std::string why = flash_back(*water, sp.p, sp.h, sp.T, sp.rho, 0.7);
        if (!why.empty()) bad.push_back("w=0.3 " + why);
    }
    EXPECT_GT(points, 500);
    EXPECT_GT(wet, 80);
    EXPECT_TRUE(bad.empty()) << bad.size() << " of " << points + wet << ", first: " << bad[0];
}

TEST_F(Isolines, HeliumAndMixtures) {
    Fluid* helium = fluids[FLUID_HELIUM];
    calc_isolines(*helium);
    for (const auto& line : helium->iso[ISO_WETNESS].wet) EXPECT_EQ(line.size(), 11u);
    EXPECT_EQ(helium->dome_count, DOME_POINTS);

    Fluid* air = fluids[FLUID_DRY_ISO_AIR];
    ASSERT_GT(air->az_components, 1);
    calc_isolines(*air);
    EXPECT_EQ(air->dome_count, 0);
    for (int c : air->iso[ISO_WETNESS].computed) EXPECT_EQ(c, 0);
    for (const auto& line : air->iso[ISO_WETNESS].wet) EXPECT_TRUE(line.empty());
    int lines = 0;
    for (const auto& line : air->iso[ISO_ISOBAR].lines) lines += line.empty() ? 0 : 1;
    EXPECT_GT(lines, 5);
    // Below its critical temperature too (132.5 K) each isotherm has points
    // (75 K and 100 K from the compressed liquid to the vapour).
    for (int i = 0; i < iso_count(air->iso[ISO_ISOTHERM]); ++i) {
        const double T = air->iso[ISO_ISOTHERM].positions[static_cast<std::size_t>(i)];
        if (!(T > air->Tmin && T < air->Tc)) continue;
        EXPECT_GE(air->iso[ISO_ISOTHERM].lines[static_cast<std::size_t>(i)].size(), 10u) << T;
    }
    // Every isobar runs up to the fluid's highest temperature (they ended
    // near 1,180 K of 1,993.7 K: the top sample rounded above Tmax).
    for (const auto& line : air->iso[ISO_ISOBAR].lines) {
        if (line.empty()) continue;
        double top = 0;
        for (const IsoPoint& pt : line) top = std::max(top, pt.T);
        EXPECT_DOUBLE_EQ(top, air->Tmax) << "isobar at " << line.front().p << " kPa";
    }
}

// Positions beyond the limits, or that are no positions at all, get their
// flag and no points; a new position is computed alone.
TEST_F(Isolines, PositionsBeyondTheLimits) {
    IsoFamily& bars = water->iso[ISO_ISOBAR];
    const int above = iso_add_position(bars, 2 * water->pmax);
    const int odd = iso_add_position(bars, std::numeric_limits<double>::infinity());
    const int wet = iso_add_position(water->iso[ISO_WETNESS], 1.5);
    const int hot = iso_add_position(water->iso[ISO_ISOTHERM], 2 * water->Tmax);
    const int dense = iso_add_position(water->iso[ISO_ISOCHOR], 2 * water->Dmax);
    const int fresh = iso_add_position(water->iso[ISO_ISOTHERM], 420);
    EXPECT_EQ(pending_isolines(*water), 6);
    const long more = calc_isolines(*water);
    EXPECT_GT(more, 0);
    EXPECT_LT(more, calls / 5);
    EXPECT_TRUE(bars.lines[above].empty());
    EXPECT_TRUE(bars.lines[odd].empty());
    for (const SatPoint& sp : water->iso[ISO_WETNESS].wet[wet]) EXPECT_EQ(sp.valid, 0.0);
    EXPECT_TRUE(water->iso[ISO_ISOTHERM].lines[hot].empty());
    EXPECT_TRUE(water->iso[ISO_ISOCHOR].lines[dense].empty());
    EXPECT_GE(water->iso[ISO_ISOTHERM].lines[fresh].size(), 10u);  // liquid, L, V, vapour
    EXPECT_EQ(pending_isolines(*water), 0);
}

class CountingProgress : public IsolineProgress {
public:
    int begins = 0, steps = 0, ends = 0;
    std::vector<std::string> texts;
    Fluid* other = nullptr;
    long nested_calls = -1;
    void begin() override { ++begins; }
    void step(double fraction, const std::string& text) override {
        EXPECT_GE(fraction, 0.0);
        EXPECT_LT(fraction, 1.0);
        ++steps;
        texts.push_back(text);
        if (other != nullptr) {
            // What a handler run while events are let through might do.
            init_stoffwerte(other);
            nested_calls = calc_isolines(*other);
        }
    }
    void end() override { ++ends; }
};

// Nothing pending: back at once, no progress, library_busy as it was. A
// busy library (a calculation runs) computes nothing either.
TEST_F(Isolines, NothingPendingOrBusyReturnsAtOnce) {
    CountingProgress progress;
    const int busy = library_busy.load();
    EXPECT_EQ(calc_isolines(*water, &progress), 0);
    EXPECT_EQ(progress.begins + progress.steps + progress.ends, 0);
    EXPECT_EQ(library_busy.load(), busy);

    Fluid* co2 = fluids[7];
    ++library_busy;
    EXPECT_EQ(calc_isolines(*co2, &progress), 0);
    --library_busy;
    EXPECT_EQ(progress.steps, 0);
    EXPECT_EQ(co2->iso[ISO_ISOBAR].computed[0], 0);
}

// Progress comes once per line with its text; a progress call that sets
// another fluid up and asks for its isolines changes no line of this one
// (the nested call computes nothing, the fluid is set up again).
TEST_F(Isolines, ProgressAskingForAnotherFluidChangesNoLine) {
    const Fluid reference = *water;
    diagtest::fresh_fluids();
    water = fluids[FLUID_WATER];
    CountingProgress progress;
    progress.other = fluids[FLUID_DRY_ISO_AIR];
    calc_isolines(*water, &progress);
    EXPECT_EQ(progress.begins, 1);
    EXPECT_EQ(progress.ends, 1);
    EXPECT_EQ(progress.steps, 13 + 17 + 14 + 9);
    EXPECT_EQ(progress.texts[0], "Calculating isobar number 0, p = 0.050000 bar");
    EXPECT_EQ(progress.texts.back(), "");  // wetness lines keep the text
    EXPECT_EQ(progress.nested_calls, 0);
    EXPECT_EQ(fluids[FLUID_DRY_ISO_AIR]->iso[ISO_ISOBAR].computed[0], 0);
    for (int f = 0; f < NUM_ISO_FAMILIES; ++f) {
        const IsoFamily& a = water->iso[f];
        const IsoFamily& b = reference.iso[f];
        ASSERT_EQ(a.lines.size(), b.lines.size());
        for (std::size_t i = 0; i < a.lines.size(); ++i) {
            ASSERT_EQ(a.lines[i].size(), b.lines[i].size()) << f << " " << i;
            for (std::size_t k = 0; k < a.lines[i].size(); ++k) {
                EXPECT_EQ(a.lines[i][k].T, b.lines[i][k].T);
                EXPECT_EQ(a.lines[i][k].rho, b.lines[i][k].rho);
            }
        }
        for (std::size_t i = 0; i < a.wet.size(); ++i)
            for (std::size_t k = 0; k < a.wet[i].size(); ++k)
                EXPECT_EQ(a.wet[i][k].s, b.wet[i][k].s);
    }
    EXPECT_EQ(library_busy.load(), 0);
}

struct LineRow {
    const char* fluid;
    int family;
    double position;
};

std::ostream& operator<<(std::ostream& os, const LineRow& r) {
    return os << r.fluid << " family " << r.family << " at " << r.position;
}

// Lines whose first point needed retries: a retry that ran past the next
// point made the line double back (ethane's 750 kg/m3 line at 217 K,
// 186 K, 220 K; Humid ISO Air's isobars at 259 K, then 248 K). Along an
// isobar and a density line T and s rise, along an isotherm p falls and s
// rises.
class IsolinesOneWay : public ::testing::TestWithParam<LineRow> {};

TEST_P(IsolinesOneWay, LineNeverDoublesBack) {
    diagtest::fresh_fluids();
    const LineRow row = GetParam();
    Fluid* f = fluids.find(row.fluid);
    ASSERT_NE(f, nullptr);
    const std::vector<IsoPoint>& line = only_line(*f, row.family, row.position);
    ASSERT_GE(line.size(), 3u);
    for (std::size_t k = 1; k < line.size(); ++k) {
        const IsoPoint &a = line[k - 1], &b = line[k];
        if (row.family == ISO_ISOTHERM)
            EXPECT_LT(b.p, a.p) << k;
        else
            EXPECT_GT(b.T, a.T) << k;
        EXPECT_GT(b.s, a.s) << k << " T " << a.T << " -> " << b.T;
    }
}

INSTANTIATE_TEST_SUITE_P(Retried, IsolinesOneWay,
                         ::testing::Values(LineRow{"Ethane", ISO_ISOCHOR, 750},
                                           LineRow{"Oxygen", ISO_ISOCHOR, 750},
                                           LineRow{"Humid ISO Air", ISO_ISOBAR, 10},
                                           LineRow{"Hydrogen", ISO_ISOTHERM, 50}));

struct ChordRow {
    const char* fluid;
    int type;
    int family;
    double position;
    // The diagram's axes span the line (a user mixture has the default
    // axes of nitrogen), else the fluid's default axes.
    bool whole_line = false;
};

std::ostream& operator<<(std::ostream& os, const ChordRow& r) {
    return os << r.fluid << " type " << r.type << " family " << r.family << " at " << r.position;
}

// What a user sees of a line: each drawn segment of it, at 1024 x 800, runs
// within a few pixels of the state halfway along it. Hydrogen's 50 K
// isotherm had only its 114 MPa and 0.1 kPa points (a chord 160 pixels off
// its line across the h-s diagram), oxygen's 750 kg/m3 line two points 98
// pixels off; R134A's 400 K isotherm ran straight from 4.0 MPa to 0.1 kPa
// (49 pixels off in the p-h diagram: its midpoints were refused for an
// enthalpy above that at the highest temperature and pressure; so were
// those of R245CA's 0.5 MPa isobar, 64 pixels off in its T-s diagram);
// butane's and R12's 5 MPa isobars bend both ways above the critical
// point and had kept one straight segment there (36 and 45 pixels off);
// R32's 0.2 kg/m3 line kept one across its dew point (35 pixels off).
// Isotherms of mixtures with water bend where the water condenses, at low
// pressure: hydrogen with water 1:1 ran straight from 42 kPa to 0.1 kPa at
// 300 K (32 pixels off in h-s), a flue gas from 12.9 kPa to 0.1 kPa at
// 250 K (13 pixels off), and methane with 30 % pentane at 350 K from
// 1.67 MPa to 0.83 MPa across its dew point (12 pixels off in p-s).
class IsolinesAsDrawn : public ::testing::TestWithParam<ChordRow> {
protected:
    void TearDown() override { fluids.truncate(NUM_BUILTIN_FLUIDS); }
};

TEST_P(IsolinesAsDrawn, SegmentsFollowTheLine) {
    constexpr double LONG_SEGMENT = 30;  // pixels: shorter ones cannot stray far
    constexpr double OFF_LINE = 6;       // pixels
    diagtest::fresh_fluids();
    const ChordRow row = GetParam();
    Fluid* f = fluid_named(row.fluid);
    ASSERT_NE(f, nullptr);
    const std::vector<IsoPoint>& line = line_at(*f, row.family, row.position);
    auto g = diagtest::make_graph(fluids.index_of(f), row.type);
    const int xq = g->x_axis.quantity, yq = g->y_axis.quantity;
    if (row.whole_line) {
        const auto [x0, x1] = std::minmax_element(line.begin(), line.end(), [&](auto& a, auto& b) {
            return iso_value(a, xq) < iso_value(b, xq);
        });
        const auto [y0, y1] = std::minmax_element(line.begin(), line.end(), [&](auto& a, auto& b) {
            return iso_value(a, yq) < iso_value(b, yq);
        });
        g->x_axis.min_pos = iso_value(*x0, xq), g->x_axis.max_pos = iso_value(*x1, xq);
        g->y_axis.min_pos = iso_value(*y0, yq), g->y_axis.max_pos = iso_value(*y1, yq);
    }
    diagtest::draw(*g, 1024, 800);
    const Mapping m = mapping_of(*g);
    ASSERT_TRUE(m.usable);
    const auto pixel = [&](const IsoPoint& p) {
        return std::pair{m.X(iso_value(p, xq)), m.Y(iso_value(p, yq))};
    };
    // Long segments counted where the user sees them: a mixture's isobar
    // runs from 56 K to 1,994 K, far beyond Dry ISO Air's T-s diagram.
    const auto seen = [&](double x, double y) {
        return x >= m.plot_left() && x <= m.plot_right() && y >= m.plot_top() &&
               y <= m.plot_bottom();
    };
    int long_segments = 0;
    for (std::size_t k = 1; k < line.size(); ++k) {
        const IsoPoint &a = line[k - 1], &b = line[k];
        const auto [ax, ay] = pixel(a);
        const auto [bx, by] = pixel(b);
        const double length = std::hypot(bx - ax, by - ay);
        if (!(length > LONG_SEGMENT)) continue;
        if (seen(ax, ay) || seen(bx, by)) ++long_segments;
        double T = row.family == ISO_ISOTHERM ? row.position : (a.T + b.T) / 2;
        double p = row.family == ISO_ISOTHERM ? (a.p + b.p) / 2 : row.position;
        double rho = row.position, s = 0, h = 0, q = 0;
        const int r = row.family == ISO_ISOCHOR
                          ? get_all_by_T_and_rho(f->x.data(), T, p, s, h, rho, q)
                          : get_all_by_T_and_p(f->x.data(), T, p, s, h, rho, q);
        if (r != 0) continue;
        const auto [mx, my] = pixel(IsoPoint{s, h, p, T, rho});
        const double t =
            std::clamp(((mx - ax) * (bx - ax) + (my - ay) * (by - ay)) / (length * length), 0., 1.);
        EXPECT_LT(std::hypot(ax + t * (bx - ax) - mx, ay + t * (by - ay) - my), OFF_LINE)
            << "segment " << k << " of " << line.size() << ": T " << a.T << ".." << b.T << " p "
            << a.p << ".." << b.p;
    }
    EXPECT_LT(long_segments, 20);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, IsolinesAsDrawn,
    ::testing::Values(ChordRow{"Hydrogen", 0, ISO_ISOTHERM, 50},
                      ChordRow{"Oxygen", 2, ISO_ISOCHOR, 750},
                      ChordRow{"R134A", 3, ISO_ISOTHERM, 400},
                      ChordRow{"R245CA", 2, ISO_ISOBAR, 500},
                      ChordRow{"Butane", 2, ISO_ISOBAR, 5000}, ChordRow{"R12", 2, ISO_ISOBAR, 5000},
                      ChordRow{"r32", 2, ISO_ISOCHOR, 0.2},
                      ChordRow{"Hydrogen 0.5, Water 0.5", 1, ISO_ISOTHERM, 300},
                      ChordRow{FLUE_GAS, 0, ISO_ISOTHERM, 250},
                      ChordRow{"Methane 0.7, Pentane 0.3", 1, ISO_ISOTHERM, 350}));

// Mixture lines below the critical temperature, through the two-phase
// region: the blend's and Dry ISO Air's isotherms in p-h and h-s, their
// isobars in T-s and h-s, a density line; the flue gas's isobar where its
// water condenses; a natural gas's isotherm and isobar.
INSTANTIATE_TEST_SUITE_P(
    TwoPhase, IsolinesAsDrawn,
    ::testing::Values(ChordRow{"Propane 0.5, Isobutane 0.5", 3, ISO_ISOTHERM, 300, true},
                      ChordRow{"Propane 0.5, Isobutane 0.5", 0, ISO_ISOTHERM, 250, true},
                      ChordRow{"Propane 0.5, Isobutane 0.5", 2, ISO_ISOBAR, 500, true},
                      ChordRow{"Propane 0.5, Isobutane 0.5", 0, ISO_ISOBAR, 1000, true},
                      ChordRow{"Propane 0.5, Isobutane 0.5", 2, ISO_ISOCHOR, 100, true},
                      ChordRow{"Dry ISO Air", 3, ISO_ISOTHERM, 100, true},
                      ChordRow{"Dry ISO Air", 2, ISO_ISOBAR, 100},
                      ChordRow{"Dry ISO Air", 2, ISO_ISOBAR, 1000, true},
                      ChordRow{FLUE_GAS, 2, ISO_ISOBAR, 100, true},
                      ChordRow{"Natural Gas Groningen", 3, ISO_ISOTHERM, 175, true},
                      ChordRow{"Natural Gas Groningen", 2, ISO_ISOBAR, 1000, true}));

// The walk refines where the line bends, never splits the two-phase
// stretch between L and V, and ends however the saturation points lie.
TEST(IsolineWalk, RefinesBendsOnlyAndEnds) {
    // s(T): straight on the liquid side, bent on the vapour side.
    auto point = [](double T, bool vapour) {
        IsoPoint p;
        p.T = T;
        p.s = vapour ? 6 + (T - 400) * (T - 400) / 10000 : T / 100;
        p.rho = vapour ? 1000 / T : 1000 - T;
        return p;
    };
    std::vector<IsoPoint> line = {point(300, false), point(350, false), point(400, false),
                                  point(400, true),  point(600, true),  point(900, true)};
    std::vector<double> asked;
    auto mid = [&](double T, IsoPoint& p) {
        asked.push_back(T);
        p = point(T, T > 400);
        return true;
    };
    WalkSettings w;
    w.step_var = 3, w.shape_var = 3, w.step_limit = 1, w.slope_limit = 0.1;
    w.liquid = 2, w.vapour = 3;
    refine_line(line, w, mid);
    EXPECT_GT(line.size(), 6u);
    for (double T : asked) EXPECT_GT(T, 400) << "a point between L and V or on the straight part";
    for (std::size_t k = 1; k < line.size(); ++k) EXPECT_GE(line[k].T, line[k - 1].T);

    // V before L: the walk jumps back at most ten times, then stops.
    std::vector<IsoPoint> odd = line;
    w.liquid = 4, w.vapour = 1;
    refine_line(odd, w, mid);
    EXPECT_LE(odd.size(), MAX_LINE_POINTS);
}

// A line of two points is refined like any other (its midpoint opens the
// window of three); the saturated pair alone stays as it is.
TEST(IsolineWalk, TwoPointsAreRefinedWhereTheLineBends) {
    auto point = [](double p) {
        IsoPoint pt;
        pt.p = p;
        pt.s = -std::log(p);
        return pt;
    };
    std::vector<IsoPoint> line = {point(100000), point(0.1)};
    int asked = 0;
    auto mid = [&](double p, IsoPoint& pt) {
        ++asked;
        pt = point(p);
        return true;
    };
    WalkSettings w;
    w.step_var = 2, w.shape_var = 2, w.step_limit = 10, w.slope_limit = 0.1;
    refine_line(line, w, mid);
    EXPECT_GT(line.size(), 10u);
    for (std::size_t k = 1; k < line.size(); ++k) EXPECT_LT(line[k].p, line[k - 1].p);

    std::vector<IsoPoint> pair = {point(2000), point(1000)};
    w.liquid = 0, w.vapour = 1;
    asked = 0;
    refine_line(pair, w, mid);
    EXPECT_EQ(pair.size(), 2u);
    EXPECT_EQ(asked, 0);
}

// An isotherm that bends at low pressure, where its h stops changing (a
// dew point at 1 kPa, below the step limit): the stretch from 12.9 kPa to
// 0.1 kPa is split in pressure ratios until a point lies near the bend; an
// isotherm without the bend (a gas) gets no point there.
TEST(IsolineWalk, BendAtLowPressureIsFound) {
    auto point = [](double p, bool bend) {
        IsoPoint pt;
        pt.p = p, pt.T = 250;
        pt.s = -std::log(p);
        pt.h = bend && p > 1 ? -50 * std::log(p) : 0;
        return pt;
    };
    for (const bool bend : {true, false}) {
        std::vector<IsoPoint> line;
        for (double p : {100000.0, 30000.0, 10000.0, 12.9, 0.1}) line.push_back(point(p, bend));
        std::vector<double> asked;
        auto mid = [&](double p, IsoPoint& pt) {
            asked.push_back(p);
            pt = point(p, bend);
            return true;
        };
        WalkSettings w;
        w.step_var = 2, w.shape_var = 2, w.step_limit = 10, w.slope_limit = 0.1;
        refine_line(line, w, mid);
        const bool near_bend = std::any_of(line.begin(), line.end(), [](const IsoPoint& pt) {
            return pt.p > 1 / 1.25 && pt.p < 1.25;
        });
        EXPECT_EQ(near_bend, bend);
        for (std::size_t k = 1; k < line.size(); ++k) EXPECT_LT(line[k].p, line[k - 1].p);
        const auto kept_low = std::count_if(
            line.begin(), line.end(), [](const IsoPoint& pt) { return pt.p > 0.1 && pt.p < 12.9; });
        EXPECT_EQ(kept_low > 0, bend) << kept_low;
        EXPECT_FALSE(asked.empty());
    }
}

TEST(IsolineWalk, SortByDensity) {
    IsoPoint dense, thin;
    dense.rho = 900, thin.rho = 1;
    EXPECT_EQ(sort_by_rho(dense, thin), -1);
    EXPECT_EQ(sort_by_rho(thin, dense), 1);
    EXPECT_EQ(sort_by_rho(thin, thin), 1);
}

}  // namespace
