// Axes: tick positions (the logarithmic ladder, even steps), the grid,
// ranges that cannot be mapped, the mapping and its inverse, and the
// zoom-to-plot widening.
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/diagrams/axis_ticks.h"
#include "app/diagrams/mapping.h"
#include "app/diagrams/render.h"
#include "tests/diagrams/diagram_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace app;
using namespace app::diagrams;
using diagtest::Pixel;

constexpr int KPA = 1, BAR = 3;

Axis pressure_axis(double start, double end, int unit) {
    Axis a;
    a.unit_quantity = Q_PRESSURE;
    a.unit = unit;
    a.min_pos = start;
    a.max_pos = end;
    a.step = 0.5;  // not used by the ladder
    return a;
}

TEST(Axis, LogarithmicLadder) {
    EXPECT_EQ(axis_ticks(pressure_axis(1, 1000, KPA), true),
              (std::vector<double>{1, 2, 3, 4, 5, 7, 10, 20, 30, 40, 50, 70, 100, 200, 300, 400,
                                   500, 700, 1000}));
    const std::vector<double> offset = axis_ticks(pressure_axis(1.5, 11, KPA), true);
    EXPECT_EQ(offset, (std::vector<double>{1.5, 2.5, 3.5, 4.5, 5.5, 7.5, 10.5}));
    // Below 0.5 the ticks step by 0.1 and land on the ladder's values.
    EXPECT_EQ(axis_ticks(pressure_axis(0.1, 1, KPA), true),
              (std::vector<double>{0.1, 0.2, 0.3, 0.4, 0.5, 0.7, 1}));
    // The ladder is that of the display unit: 100 kPa is 1 bar.
    const std::vector<double> bar = axis_ticks(pressure_axis(100, 1000.001, BAR), true);
    ASSERT_EQ(bar.size(), 7u);
    const double expect_bar[] = {100, 200, 300, 400, 500, 700, 1000};
    for (std::size_t i = 0; i < bar.size(); ++i) EXPECT_NEAR(bar[i], expect_bar[i], 1e-9);
}

// Tick labels never lie on one another: water's p-s diagram in bar runs
// from 0.01 to 500 bar, where the ladder's ticks crowd towards each
// decade's end (3.01, 4.01 and 5.01 bar were drawn into one smear). Each
// run of inked rows in the label column is no taller than one label.
TEST(Axis, TickLabelsKeepClearOfEachOther) {
    diagtest::fresh_fluids();
    const int pressure_unit = unitdef[Q_PRESSURE].default_unit;
    set_default_unit(Q_PRESSURE, BAR);
    for (int type : {1, 3, 4}) {  // p-s, p-h, p-T
        auto g = diagtest::make_graph(FLUID_WATER, type);
        for (IsolineStyle& style : g->iso_style) style.show = 0;  // the frame alone
        auto image = diagtest::draw(*g, 860, 400);
        const Mapping m = mapping_of(*g);
        const Axis& a = g->y_axis;
        const int label_right = static_cast<int>(m.plot_left() - a.tick_length - 3);
        const int one = diagtest::label_ink_height(a.tick_font, g->font_scale);
        ASSERT_GT(one, 3);
        const std::vector<int> runs = diagtest::ink_runs(
            image->surface(), label_right - 20, label_right, static_cast<int>(m.plot_top()) - 10,
            static_cast<int>(m.plot_bottom()) + 10);
        EXPECT_GE(runs.size(), 8u) << type;  // the decades keep their labels
        for (int run : runs) EXPECT_LE(run, one) << type;
        // The ticks and the grid stay: the ladder is unchanged.
        EXPECT_EQ(axis_ticks(a, true).front(), a.min_pos);
    }
    set_default_unit(Q_PRESSURE, pressure_unit);
}

TEST(Axis, TickListsEnd) {
    Axis a;
    a.unit_quantity = Q_ENTROPY;
    a.min_pos = 0;
    a.max_pos = 1;
    a.step = 0.1;
    EXPECT_EQ(axis_ticks(a, false).size(), 11u);  // 1.0 counts although 10 * 0.1 > 1
    a.step = 0;
    EXPECT_EQ(axis_ticks(a, false), std::vector<double>{0});
    a.step = -1;
    EXPECT_EQ(axis_ticks(a, false), std::vector<double>{0});
    a.min_pos = 1e20, a.max_pos = 1e20 + 1e6, a.step = 1;  // a step lost in the range
    EXPECT_EQ(axis_ticks(a, false).size(), 1u);
    a.min_pos = 0, a.max_pos = 1e9, a.step = 1;
    EXPECT_EQ(axis_ticks(a, false).size(), static_cast<std::size_t>(MAX_TICKS));
    a.min_pos = 2, a.max_pos = 1;
    EXPECT_TRUE(axis_ticks(a, false).empty());
    a.min_pos = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(axis_ticks(a, false).empty());
    // A logarithmic axis at values where the increment is lost.
    EXPECT_EQ(axis_ticks(pressure_axis(1e25, 2e25, KPA), true).size(), 1u);
}

// Grid lines at every tick but the first: with white axis lines over a
// white background only the grid shows.
TEST(Axis, NoGridAtTheFirstTick) {
    diagtest::fresh_fluids();
    auto g = diagtest::make_graph(FLUID_WATER, 2);
    for (int f = 0; f < NUM_ISO_FAMILIES; ++f) g->iso_style[f].show = 0;
    for (Axis* a : {&g->x_axis, &g->y_axis}) {
        a->line_color = Color{0, 0xffff, 0xffff, 0xffff};
        a->tick_color = a->line_color;
    }
    auto img = diagtest::draw(*g, 800, 600);
    const Mapping m = mapping_of(*g);
    ASSERT_TRUE(m.usable);
    auto grey = [](Pixel p) { return p.r < 250 && p.r > 150 && p.r == p.g && p.g == p.b; };
    const double xs = g->x_axis.min_pos, ys = g->y_axis.min_pos;
    // Probes between the grid lines of the other axis.
    const double mid_y = m.Y(ys + 2.5 * g->y_axis.step);
    const double mid_x = m.X(xs + 2.5 * g->x_axis.step);
    EXPECT_FALSE(img->any_near(m.X(xs), mid_y, 1, grey));
    EXPECT_TRUE(img->any_near(m.X(xs + g->x_axis.step), mid_y, 1, grey));
    EXPECT_FALSE(img->any_near(mid_x, m.Y(ys), 1, grey));
    EXPECT_TRUE(img->any_near(mid_x, m.Y(ys + g->y_axis.step), 1, grey));
}

// Ranges that cannot be mapped draw the frame (the axis lines) and nothing
// that needs the mapping, and leave cairo working.
TEST(Axis, UnmappableRangesDrawTheFrame) {
    diagtest::fresh_fluids();
    struct Case {
        int type;
        double xs, xe, ys, ye;
    };
    const Case cases[] = {
        {2, 1, 1, 250, 750},      // zero x range
        {2, 0, 10, 750, 250},     // reversed y range
        {3, 0, 4000, 0, 50000},   // logarithmic axis from 0
        {3, 0, 4000, -5, 50000},  // ... from below 0
        {2, 0, std::numeric_limits<double>::infinity(), 250, 750},
    };
    for (const Case& c : cases) {
        auto g = diagtest::make_graph(FLUID_WATER, c.type);
        g->x_axis.min_pos = c.xs, g->x_axis.max_pos = c.xe;
        g->y_axis.min_pos = c.ys, g->y_axis.max_pos = c.ye;
        auto img = diagtest::draw(*g, 600, 400);
        EXPECT_EQ(cairo_status(img->context()), CAIRO_STATUS_SUCCESS) << c.type << " " << c.xs;
        const Mapping m = mapping_of(*g);
        EXPECT_FALSE(m.usable);
        EXPECT_TRUE(img->any_near(m.plot_left(), (m.plot_top() + m.plot_bottom()) / 2, 1,
                                  [](Pixel p) { return p.r < 140 && p.g < 140 && p.b < 140; }));
        EXPECT_EQ(g->cache_count, 0);
        // ... and say why in the plot area, in dark red.
        EXPECT_FALSE(range_hint(*g).empty()) << c.type << " " << c.xs;
        EXPECT_TRUE(
            img->any_in(static_cast<int>(m.plot_left()) + 5, static_cast<int>(m.plot_top()) + 5,
                        static_cast<int>(m.plot_right()) - 5, static_cast<int>(m.plot_bottom()) - 5,
                        [](Pixel p) { return p.r > 100 && p.g < 60 && p.b < 60; }))
            << c.type << " " << c.xs;
    }
}

TEST(Axis, RangeHintNamesTheAxisAndItsValues) {
    diagtest::fresh_fluids();
    auto g = diagtest::make_graph(FLUID_WATER, 2);
    EXPECT_EQ(range_hint(*g), "");
    g->y_axis.min_pos = g->y_axis.max_pos = 500;
    const std::string hint = range_hint(*g);
    EXPECT_EQ(hint.find("The x axis"), std::string::npos) << hint;
    EXPECT_NE(hint.find("The y axis starts and ends at " +
                        tick_label(to_display(Q_TEMPERATURE, g->y_axis.unit, 500), 6)),
              std::string::npos)
        << hint;
    EXPECT_NE(hint.find("Configure Axes"), std::string::npos) << hint;
    g->x_axis.min_pos = 9;
    g->x_axis.max_pos = 1;
    EXPECT_NE(range_hint(*g).find("The x axis starts at"), std::string::npos);
}

// Tick labels keep their decimals up to a dozen characters and switch to
// exponent form beyond: a range of +-1e308 gives short labels.
TEST(Axis, TickLabelsStayShort) {
    struct Case {
        double value;
        int digits;
        const char* text;
    };
    const Case cases[] = {
        {250, 1, "250.0"},           {-23.15, 4, "-23.1500"},      {0, 2, "0.00"},
        {123456789, 0, "123456789"}, {1e308, 1, "1e+308"},         {-1e308, 0, "-1e+308"},
        {2.5e12, 1, "2.5e+12"},      {12345678.9, 4, "1.235e+07"}, {0.5, 20, "0.5"},
    };
    for (const Case& c : cases) EXPECT_EQ(tick_label(c.value, c.digits), c.text) << c.value;
    // Every tick of a +-1e308 axis.
    Axis a;
    a.unit_quantity = Q_TEMPERATURE;
    a.min_pos = -1e308;
    a.max_pos = 1e308;
    a.step = 2e307;
    a.digits = 2;
    int n = 0;
    for (double v : axis_ticks(a, false)) {
        EXPECT_LE(tick_label(v, a.digits).size(), 12u) << v;
        ++n;
    }
    EXPECT_GE(n, 5);
}

TEST(Axis, MappingAndInverseAgree) {
    Graph g;
    g.width = 1024, g.height = 800, g.left = 60, g.right = 30, g.top = 40, g.bottom = 50;
    g.x_axis.min_pos = -2, g.x_axis.max_pos = 10, g.x_axis.unit_quantity = Q_ENTROPY;
    for (int quantity : {Q_TEMPERATURE, Q_PRESSURE}) {
        g.y_axis.unit_quantity = quantity;
        g.y_axis.min_pos = quantity == Q_PRESSURE ? 0.5 : 250;
        g.y_axis.max_pos = quantity == Q_PRESSURE ? 50000 : 750;
        const Mapping m = mapping_of(g);
        ASSERT_TRUE(m.usable);
        EXPECT_DOUBLE_EQ(m.X(-2), 60);
        EXPECT_DOUBLE_EQ(m.X(10), 1024 - 30);
        EXPECT_NEAR(m.Y(g.y_axis.min_pos), 800 - 50, 1e-9);
        EXPECT_NEAR(m.Y(g.y_axis.max_pos), 40, 1e-9);
        for (double t = 0; t <= 1; t += 0.125) {
            const double x = -2 + 12 * t;
            const double y = quantity == Q_PRESSURE ? 0.5 * std::pow(1e5, t) : 250 + 500 * t;
            EXPECT_NEAR(m.value_x(m.X(x)), x, 1e-12 * 12);
            EXPECT_NEAR(m.value_y(m.Y(y)), y, 1e-12 * std::fabs(y) + 1e-12);
        }
        if (quantity == Q_PRESSURE) {
            // Equal ratios, equal distances; nothing at p <= 0.
            EXPECT_NEAR(m.Y(1) - m.Y(10), m.Y(100) - m.Y(1000), 1e-9);
            EXPECT_TRUE(std::isnan(m.Y(0)));
        }
    }
}

// Zoom-to-plot widens each bound in one step, by whole tick steps (the
// lower pressure bound by whole decades), and ignores what is not a point.
TEST(Axis, ZoomToPlotWidensOnceAndEnds) {
    Graph g;
    g.type = 3;
    g.zoom_to_plot = 1;
    g.x_axis.min_pos = 0, g.x_axis.max_pos = 4000, g.x_axis.step = 500;
    g.y_axis.unit_quantity = Q_PRESSURE;
    g.y_axis.min_pos = 100, g.y_axis.max_pos = 10000, g.y_axis.step = 1000;
    redraw = 0;
    widen_to_point(g, 5200, 0.0123);
    EXPECT_EQ(g.x_axis.max_pos, 5500);
    EXPECT_NEAR(g.y_axis.min_pos, 0.01, 1e-15);  // 100 / 10^4
    EXPECT_EQ(redraw, 1);
    widen_to_point(g, -1700, 34567);
    EXPECT_EQ(g.x_axis.min_pos, -2000);
    EXPECT_EQ(g.y_axis.max_pos, 35000);

    // Points that are no points and steps that cannot advance move nothing;
    // a far point is reached at once.
    const Graph before = g;
    redraw = 0;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double v : {nan, std::numeric_limits<double>::infinity(), 1e100, -1e300}) {
        widen_to_point(g, v, 100);
        widen_to_point(g, 100, v);
    }
    EXPECT_EQ(redraw, 0);
    EXPECT_EQ(g.x_axis.max_pos, before.x_axis.max_pos);
    g.x_axis.step = 0;
    widen_to_point(g, 1e6, 100);
    EXPECT_EQ(g.x_axis.max_pos, before.x_axis.max_pos);
    g.x_axis.step = 1;
    widen_to_point(g, 1e90, 100);
    EXPECT_GE(g.x_axis.max_pos, 1e90);
    EXPECT_TRUE(std::isfinite(g.x_axis.max_pos));
    g.x_axis.max_pos = 1e20, g.x_axis.step = 1;  // a step lost in the magnitude
    widen_to_point(g, 1e20 + 1e5, 100);
    EXPECT_GE(g.x_axis.max_pos, 1e20 + 1e5);
    // A pressure at or below 0 never reaches the logarithmic start.
    const double start = g.y_axis.min_pos;
    widen_to_point(g, 100, 0);
    widen_to_point(g, 100, -5);
    EXPECT_EQ(g.y_axis.min_pos, start);
    redraw = 0;
}

// The axes of a new diagram come from its fluid's defaults, in the
// default units.
TEST(Axis, NewDiagramAxes) {
    diagtest::fresh_fluids();
    const int types[][3] = {
        {0, AX_S, AX_H}, {1, AX_S, AX_P}, {2, AX_S, AX_T}, {3, AX_H, AX_P}, {4, AX_T, AX_P}};
    for (const auto& t : types) {
        auto g = diagtest::make_graph(FLUID_WATER, t[0]);
        EXPECT_EQ(g->x_axis.quantity, t[1]);
        EXPECT_EQ(g->y_axis.quantity, t[2]);
        EXPECT_EQ(g->x_axis.min_pos, fluids[FLUID_WATER]->axis[t[1]].min_pos);
        EXPECT_EQ(g->y_axis.unit, unitdef[g->y_axis.unit_quantity].default_unit);
    }
    auto qt = diagtest::make_graph(FLUID_WATER, 5);
    EXPECT_EQ(qt->x_axis.unit_quantity, Q_RELATIVE_VALUE);
    EXPECT_EQ(qt->x_axis.unit, 0);
    EXPECT_EQ(qt->x_axis.tick_font, "sans medium 8");
    EXPECT_EQ(qt->y_axis.quantity, AX_T);
}

}  // namespace
