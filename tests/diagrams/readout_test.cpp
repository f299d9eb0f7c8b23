// The pointer on a diagram without a window: phase texts, the read-out
// with the real property library, the hover test on the screen-point
// cache and the regions of double clicks.
#include "app/core/files/filehandling.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/solver/simulator.h"
#include "app/diagrams/isolines.h"
#include "app/diagrams/mapping.h"
#include "app/diagrams/pointer.h"
#include "app/diagrams/render.h"
#include "tests/diagrams/diagram_support.h"
#include "tests/support/paths.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace app;
using namespace app::diagrams;

class Readout : public ::testing::Test {
protected:
    void SetUp() override {
        diagtest::fresh_fluids();
        set_default_unit(Q_TEMPERATURE, 0);
        set_default_unit(Q_PRESSURE, 1);
    }
};

TEST_F(Readout, PhaseTexts) {
    struct Case {
        double q;
        const char* text;
    };
    const Case cases[] = {
        {0.25, "two-phase area, 75.00 wetness"},
        {998, "superheated vapor"},
        {1.5, "superheated vapor "},
        {999, "supercritical state"},
        {-998, "subcooled (compressed) liquid"},
        {-0.001, "subcooled (compressed) liquid"},
        {0.005, "saturated liquid "},
        {0.995, "saturated vapor"},
        {0.9, "two-phase area, 10.00 wetness"},
    };
    for (const Case& c : cases) EXPECT_EQ(phase_text(c.q), c.text) << c.q;
}

// The state of water at 500 K and 101.325 kPa read from each diagram type
// at its own two values: the same texts everywhere (h-s through the
// library's (h, s) flash).
TEST_F(Readout, SameStateFromEveryDiagramType) {
    Fluid* water = fluids[FLUID_WATER];
    ASSERT_EQ(init_stoffwerte(water), 1);
    double T = 500, p = 101.325, s = 0, h = 0, rho = 0, q = 0;
    ASSERT_EQ(get_all_by_T_and_p(water->x.data(), T, p, s, h, rho, q), 0);
    const double given[5][2] = {{s, h}, {s, p}, {s, T}, {h, p}, {T, p}};
    for (int type = 0; type < 5; ++type) {
        auto g = diagtest::make_graph(FLUID_WATER, type);
        const ReadoutTexts r = readout_at(*g, given[type][0], given[type][1]);
        EXPECT_EQ(r.T, "  500.00") << type;
        EXPECT_EQ(r.p, " 101.325") << type;
        EXPECT_DOUBLE_EQ(std::atof(r.h.c_str()), std::round(h * 100) / 100) << type;
        EXPECT_DOUBLE_EQ(std::atof(r.s.c_str()), std::round(s * 1000) / 1000) << type;
        EXPECT_DOUBLE_EQ(std::atof(r.rho.c_str()), std::round(rho * 100) / 100) << type;
        EXPECT_EQ(r.phase, "superheated vapor") << type;
    }
}

// Above the critical pressure a state below the critical temperature is a
// compressed liquid from every diagram type, above it a supercritical one.
TEST_F(Readout, CompressedLiquidAboveTheCriticalPressure) {
    Fluid* water = fluids[FLUID_WATER];
    ASSERT_EQ(init_stoffwerte(water), 1);
    for (const auto& [T0, phase] : {std::pair{404.0, "subcooled (compressed) liquid"},
                                    std::pair{700.0, "supercritical state"}}) {
        double T = T0, p = 31400, s = 0, h = 0, rho = 0, q = 0;
        ASSERT_EQ(get_all_by_T_and_p(water->x.data(), T, p, s, h, rho, q), 0);
        const double given[5][2] = {{s, h}, {s, p}, {s, T}, {h, p}, {T, p}};
        for (int type = 0; type < 5; ++type) {
            auto g = diagtest::make_graph(FLUID_WATER, type);
            EXPECT_EQ(readout_at(*g, given[type][0], given[type][1]).phase, phase)
                << T0 << " K, type " << type;
        }
    }
}

// Humid ISO Air's lines are drawn for its humid composition (water at the
// reference humidity): the pointer on a state of a line reads that line's
// values in every diagram type, and the fluid keeps its dry fractions.
TEST_F(Readout, HumidFluidReadsTheStatesOfItsLines) {
    Fluid* humid = fluids[2];
    ASSERT_EQ(humid->name, "Humid ISO Air");
    ASSERT_EQ(init_stoffwerte(humid), 1);
    const auto dry = humid->x;
    relative_humidity_to_mol_proz(*humid);
    ASSERT_GT(humid->x[static_cast<std::size_t>(humid->water_pos)], 0.01);
    struct Case {
        double T, p;  // K, kPa: a point of the 250 K isotherm, of the 5 kPa isobar
        const char *T_text, *p_text;
    };
    const Case cases[] = {{250, 30.5, "  250.00", "  30.500"}, {742.9, 5, "  742.90", "   5.000"}};
    std::vector<std::array<double, 5>> states;
    for (const Case& c : cases) {
        double T = c.T, p = c.p, s = 0, h = 0, rho = 0, q = 0;
        ASSERT_EQ(get_all_by_T_and_p(humid->x.data(), T, p, s, h, rho, q), 0);
        states.push_back({s, h, p, T, rho});
    }
    mol_proz_restore(*humid);
    for (std::size_t k = 0; k < states.size(); ++k) {
        const auto [s, h, p, T, rho] = states[k];
        const double given[4][2] = {{s, h}, {s, p}, {s, T}, {h, p}};
        for (int type = 0; type < 4; ++type) {
            auto g = diagtest::make_graph(2, type);
            const ReadoutTexts r = readout_at(*g, given[type][0], given[type][1]);
            EXPECT_EQ(r.T, cases[k].T_text) << k << " type " << type;
            EXPECT_EQ(r.p, cases[k].p_text) << k << " type " << type;
        }
    }
    EXPECT_EQ(humid->x, dry);
}

// Every entry is in the default unit of its quantity, the unit the page
// shows beside it: with MJ/kg and lb/ft3 chosen, h and rho of water at
// 500 K and 101.325 kPa read in those units, not in kJ/kg and kg/m3.
TEST_F(Readout, ValuesInTheDefaultUnits) {
    Fluid* water = fluids[FLUID_WATER];
    ASSERT_EQ(init_stoffwerte(water), 1);
    double T = 500, p = 101.325, s = 0, h = 0, rho = 0, q = 0;
    ASSERT_EQ(get_all_by_T_and_p(water->x.data(), T, p, s, h, rho, q), 0);
    const int mj = find_unit(Q_SPECIFIC_ENERGY, "MJ/kg");
    const int lb = find_unit(Q_DENSITY, "lb/ft3");
    const int celsius = find_unit(Q_TEMPERATURE, "°C");
    const int bar = find_unit(Q_PRESSURE, "bar");
    ASSERT_GT(mj, 0);
    ASSERT_GT(lb, 0);
    const int before[4] = {unitdef[Q_SPECIFIC_ENERGY].default_unit, unitdef[Q_DENSITY].default_unit,
                           unitdef[Q_TEMPERATURE].default_unit, unitdef[Q_PRESSURE].default_unit};
    set_default_unit(Q_SPECIFIC_ENERGY, mj);
    set_default_unit(Q_DENSITY, lb);
    set_default_unit(Q_TEMPERATURE, celsius);
    set_default_unit(Q_PRESSURE, bar);
    auto shown = [](const char* fmt, double v) {
        char buf[64];
        std::snprintf(buf, sizeof buf, fmt, v);
        return std::string(buf);
    };
    for (int type = 0; type < 5; ++type) {
        const double given[5][2] = {{s, h}, {s, p}, {s, T}, {h, p}, {T, p}};
        auto g = diagtest::make_graph(FLUID_WATER, type);
        const ReadoutTexts r = readout_at(*g, given[type][0], given[type][1]);
        EXPECT_EQ(r.T, "  226.85") << type;
        EXPECT_EQ(r.p, "   1.013") << type;
        EXPECT_EQ(r.h, shown("%8.2f", to_display(Q_SPECIFIC_ENERGY, mj, h))) << type;
        EXPECT_EQ(r.rho, shown("%8.2f", to_display(Q_DENSITY, lb, rho))) << type;
        EXPECT_EQ(r.s, shown("%8.3f", s)) << type;
    }
    EXPECT_EQ(shown("%8.2f", to_display(Q_SPECIFIC_ENERGY, mj, h)), "    2.93");
    set_default_unit(Q_SPECIFIC_ENERGY, before[0]);
    set_default_unit(Q_DENSITY, before[1]);
    set_default_unit(Q_TEMPERATURE, before[2]);
    set_default_unit(Q_PRESSURE, before[3]);
}

// A fluid without transport values says why under the read-out; others
// leave the line empty.
TEST_F(Readout, FluidWithoutTransportValuesSaysWhy) {
    Fluid flue = *fluids[2];                 // Humid ISO Air's components, 12 % water
    flue.humidity_type = HT_WATER_FRACTION;  // the water fraction as given
    for (int i = 0; i < 4; ++i) flue.x[static_cast<std::size_t>(i)] *= 0.88;
    flue.x[static_cast<std::size_t>(flue.water_pos)] = 0.12;
    auto g = diagtest::make_graph(FLUID_WATER, 4);
    EXPECT_EQ(readout_at(*g, 500, 100).transport, "");
    g->fluid = &flue;
    const ReadoutTexts r = readout_at(*g, 500, 100);
    EXPECT_NE(r.phase, "undefined");
    EXPECT_NE(r.transport.find("12.0 % water"), std::string::npos) << r.transport;
    g->fluid = nullptr;
}

TEST_F(Readout, FailureShowsTheGivenValues) {
    auto ph = diagtest::make_graph(FLUID_WATER, 3);
    const ReadoutTexts r = readout_at(*ph, -50000, 100);  // far below any state of water
    EXPECT_EQ(r.phase, "undefined");
    EXPECT_EQ(r.p, " 100.000");
    EXPECT_EQ(r.h, "-50000.00");
    EXPECT_EQ(r.T, "   ----  ");
    EXPECT_EQ(r.s, "   ----  ");
    EXPECT_EQ(r.rho, "   ----  ");
    EXPECT_EQ(library_busy.load(), 0);
}

// In a p-h diagram of water, the pixel of the state at 500 K and
// 101.325 kPa reads T within what one pixel is worth there.
TEST_F(Readout, PixelOfAKnownState) {
    Fluid* water = fluids[FLUID_WATER];
    ASSERT_EQ(init_stoffwerte(water), 1);
    double T = 500, p = 101.325, s = 0, h = 0, rho = 0, q = 0;
    ASSERT_EQ(get_all_by_T_and_p(water->x.data(), T, p, s, h, rho, q), 0);
    auto g = diagtest::make_graph(FLUID_WATER, 3);
    diagtest::draw(*g, 1024, 800);
    const Mapping m = mapping_of(*g);
    const double px = std::round(m.X(h)), py = std::round(m.Y(p));
    auto at = [&](double x, double y) {
        auto r = readout_at_pixel(*g, x, y);
        EXPECT_TRUE(r.has_value());
        return r ? std::atof(r->T.c_str()) : 0.0;
    };
    const double here = at(px, py);
    const double pixel_worth =
        std::fabs(at(px + 1, py) - here) + std::fabs(at(px, py + 1) - here) + 0.01;
    EXPECT_NEAR(here, 500, pixel_worth);
    EXPECT_LT(pixel_worth, 5);

    // Nothing outside the plot, while the library is busy, or on a QT diagram.
    EXPECT_FALSE(readout_at_pixel(*g, m.plot_left() - 3, py).has_value());
    EXPECT_FALSE(readout_at_pixel(*g, px, m.plot_top() - 1).has_value());
    ++library_busy;
    EXPECT_FALSE(readout_at_pixel(*g, px, py).has_value());
    --library_busy;
    g->type = 5;
    EXPECT_FALSE(readout_at_pixel(*g, px, py).has_value());
}

TEST_F(Readout, ClickRegions) {
    auto g = diagtest::make_graph(FLUID_WATER, 3);  // a logarithmic y axis
    g->width = 1000, g->height = 800;
    g->left = 100, g->right = 100, g->top = 100, g->bottom = 100;  // 800 x 600 plot
    struct Case {
        double px, py;
        ClickRegion region;
    };
    const Case cases[] = {
        {139, 697, ClickRegion::NearYAxis},  // within 5 % of x start, near the x axis too
        {60, 400, ClickRegion::NearYAxis},   // on the y axis's labels, left of it
        {500, 760, ClickRegion::NearXAxis},  // on the x axis's labels, below it
        {500, 680, ClickRegion::NearXAxis},  // within 5 % (30 px) of the lower edge
        {500, 669, ClickRegion::Plot},      {899, 101, ClickRegion::Plot},
        {950, 400, ClickRegion::BeyondEnd},  // right of the x axis's end
        {500, 60, ClickRegion::BeyondEnd},   // above the y axis's end
    };
    for (const Case& c : cases)
        EXPECT_EQ(click_region(*g, c.px, c.py), c.region) << c.px << ", " << c.py;
}

TEST_F(Readout, HoverHitsTheLastDrawingOnly) {
    Graph g;
    ScreenEntry a;
    a.x[0] = 100, a.y[0] = 100;
    a.x[1] = 140, a.y[1] = 130;  // a long segment: its box counts too
    a.x[2] = -1;
    ScreenEntry b;
    b.x[0] = 300, b.y[0] = 300;
    b.x[1] = -2;  // the critical point's entry
    g.cache = {a, b};
    g.cache_count = 1;
    EXPECT_EQ(hover_hit(g, 95, 104), 0);    // 9 px away
    EXPECT_EQ(hover_hit(g, 95, 105), -1);   // 10 px
    EXPECT_EQ(hover_hit(g, 120, 110), 0);   // inside the box of the segment
    EXPECT_EQ(hover_hit(g, 120, 130), -1);  // on the box's edge
    EXPECT_EQ(hover_hit(g, 302, 297), 1);
    EXPECT_EQ(hover_hit(g, 200, 200), -1);

    // A calculated diagram: the turbine inlet is hit; after a redraw
    // without the curve the same place hits nothing.
    Project* p = readinput(testsupport::source_dir() + "/examples/steam_rankine.kvr");
    ASSERT_NE(p, nullptr);
    current_project = p;
    ASSERT_EQ(calcProject(*p), CS_FINISHED) << p->calc_log;
    Graph* ts = p->graphs[1];
    diagtest::draw(*ts, 1024, 800);
    const Part* turbine = p->processes[0]->parts[3];
    const Mapping m = mapping_of(*ts);
    const int mid = turbine->steps / 2;
    const int tx = static_cast<int>(std::lround(m.X(turbine->s[mid])));
    const int ty = static_cast<int>(std::lround(m.Y(turbine->T[mid])));
    const int hit = hover_hit(*ts, tx + 2, ty - 2);
    ASSERT_GE(hit, 0);
    EXPECT_EQ(ts->cache[static_cast<std::size_t>(hit)].part, 3);
    ts->az_curves = 0;
    diagtest::draw(*ts, 1024, 800);
    EXPECT_EQ(hover_hit(*ts, tx + 2, ty - 2), -1);
    current_project = nullptr;
    free_project(p);
}

}  // namespace
