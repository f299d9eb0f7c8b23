// Visible ranges without a window: automatic steps, the wheel and its
// time rule, dragging, the zoom rectangle and the presets (the fit to the
// processes is checked with a new diagram in the window, GraphRows).
#include "app/core/model/init.h"
#include "app/diagrams/mapping.h"
#include "app/diagrams/new_graph.h"
#include "app/diagrams/zoom.h"
#include "tests/diagrams/diagram_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace app;
using namespace app::diagrams;

// A diagram as the last drawing left it: 1000 x 800 pixels, a plot area of
// 880 x 700 from (80, 40).
diagtest::GraphPtr placed_graph(int type) {
    auto g = diagtest::make_graph(FLUID_WATER, type);
    g->width = 1000, g->height = 800;
    g->left = 80, g->right = 40, g->top = 40, g->bottom = 60;
    return g;
}

void set_x(Graph& g, double start, double end, double full_min, double full_max) {
    g.x_axis.min_pos = start, g.x_axis.max_pos = end;
    g.x_axis.min_value = full_min, g.x_axis.max_value = full_max;
}

double x_range(const Graph& g) { return g.x_axis.max_pos - g.x_axis.min_pos; }
double y_range(const Graph& g) { return g.y_axis.max_pos - g.y_axis.min_pos; }

class ZoomMath : public ::testing::Test {
protected:
    void SetUp() override { diagtest::fresh_fluids(); }
};

TEST_F(ZoomMath, AutomaticSteps) {
    struct Case {
        double range, step, expect;
    };
    // 100/16 = 6.25 and 100/12.5 = 8; a ratio of exactly 10 or 5 stays.
    const Case cases[] = {{100, 1, 16},  {100, 50, 12.5}, {100, 10, 10},
                          {100, 20, 20}, {3e-6, 1, 0},    {7e12, 0.001, 0}};
    for (const Case& c : cases) {
        double s = c.step;
        auto_step(c.range, s);
        EXPECT_GE(c.range / s, 5.0) << c.range << " " << c.step;
        EXPECT_LE(c.range / s, 10.0) << c.range << " " << c.step;
        if (c.range == 100) {
            EXPECT_DOUBLE_EQ(s, c.expect) << c.step;
        }
    }
    // Ranges and steps the loops cannot work on leave the step.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const Case& c : {Case{0, 1, 0}, Case{-5, 1, 0}, Case{100, 0, 0}, Case{100, -2, 0},
                          Case{nan, 1, 0}, Case{inf, 1, 0}, Case{1e300, 1e-300, 0}}) {
        double s = c.step;
        EXPECT_FALSE(auto_step(c.range, s)) << c.range << " " << c.step;
        EXPECT_EQ(s, c.step);
    }

    // auto_axis works on the temperature axis of a T-s diagram and leaves
    // the pressure axis of a p-h diagram alone.
    auto ts = placed_graph(2);
    ts->y_axis.min_pos = 300, ts->y_axis.max_pos = 400, ts->y_axis.step = 1;
    EXPECT_TRUE(auto_axis(*ts));
    EXPECT_EQ(ts->y_axis.step, 16);
    auto ph = placed_graph(3);
    const double p_step = ph->y_axis.step;
    auto_axis(*ph);
    EXPECT_EQ(ph->y_axis.step, p_step);
    const double r = x_range(*ph) / ph->x_axis.step;
    EXPECT_TRUE(r >= 5 && r <= 10) << r;
}

TEST_F(ZoomMath, WheelTimeRule) {
    WheelGate gate;
    EXPECT_TRUE(gate.accept(1000));
    EXPECT_FALSE(gate.accept(1040));  // 0.04 s: ignored, the time kept
    EXPECT_FALSE(gate.accept(1050));  // exactly 0.05 s is not more
    EXPECT_TRUE(gate.accept(1060));   // 0.06 s after the accepted one
    // Time stamps wrap around after 49.7 days.
    WheelGate wrap;
    EXPECT_TRUE(wrap.accept(0xFFFFFFF0u));
    EXPECT_FALSE(wrap.accept(0x10u));
    EXPECT_TRUE(wrap.accept(0x60u));
}

TEST_F(ZoomMath, WheelInAndOut) {
    auto g = placed_graph(2);
    set_x(*g, 0, 10, 0, 10);
    g->y_axis.min_pos = 200, g->y_axis.max_pos = 900;
    const double cx = 80 + 440, cy = 40 + 350;  // the plot's centre
    ASSERT_TRUE(wheel_zoom(*g, WheelDirection::Up, cx, cy));
    // 0.9 of each range about the centre, up to a pixel of rounding.
    EXPECT_NEAR(x_range(*g), 9.0, 10.0 / 880);
    EXPECT_NEAR(y_range(*g), 630.0, 700.0 / 700);
    EXPECT_NEAR(g->x_axis.min_pos + x_range(*g) / 2, 5.0, 10.0 / 880);
    EXPECT_NEAR(g->y_axis.min_pos + y_range(*g) / 2, 550.0, 1.0);

    // Zooming in stops at 1/100000 of the full x range.
    int applied = 1;
    while (wheel_zoom(*g, WheelDirection::Up, cx, cy) && applied < 1000) ++applied;
    EXPECT_LT(applied, 1000);
    EXPECT_LT(x_range(*g), 10.0 / 100000);
    EXPECT_GT(x_range(*g), 0.8 * 10.0 / 100000);
    EXPECT_LT(g->x_axis.min_pos, g->x_axis.max_pos);

    // Wheel down moves every edge out by W/15.5 (57 px) or H/15.5 (45 px).
    set_x(*g, 0, 10, 0, 10);
    g->y_axis.min_pos = 200, g->y_axis.max_pos = 900;
    ASSERT_TRUE(wheel_zoom(*g, WheelDirection::Down, 0, 0));
    EXPECT_NEAR(g->x_axis.min_pos, -57 * 10.0 / 880, 1e-12);
    EXPECT_NEAR(g->x_axis.max_pos, 10 + 57 * 10.0 / 880, 1e-12);
    EXPECT_NEAR(g->y_axis.min_pos, 200 - 45.0, 1e-9);
    EXPECT_NEAR(g->y_axis.max_pos, 900 + 45.0, 1e-9);
    EXPECT_FALSE(wheel_zoom(*g, WheelDirection::Other, cx, cy));
}

TEST_F(ZoomMath, DragMovesFromThreePixels) {
    EXPECT_FALSE(drag_step(100, 100, 102, 98).moves);     // 2 px each way
    EXPECT_FALSE(drag_step(100, 100, 102.9, 100).moves);  // cut towards zero: 2
    const DragStep d = drag_step(100, 100, 97, 100);
    EXPECT_TRUE(d.moves);
    EXPECT_EQ(d.dx, 3);
    EXPECT_EQ(d.dy, 0);

    auto g = placed_graph(2);
    set_x(*g, 0, 8.8, 0, 10);
    g->y_axis.min_pos = 200, g->y_axis.max_pos = 900;
    // The pointer moved 10 px right and 7 px down: the content follows it.
    ASSERT_TRUE(drag_ranges(*g, -10, -7));
    EXPECT_NEAR(g->x_axis.min_pos, -0.1, 1e-12);
    EXPECT_NEAR(g->x_axis.max_pos, 8.7, 1e-12);
    EXPECT_NEAR(g->y_axis.min_pos, 207, 1e-9);
    EXPECT_NEAR(g->y_axis.max_pos, 907, 1e-9);
}

TEST_F(ZoomMath, PressureAxisKeepsAPositiveStart) {
    auto g = placed_graph(3);  // p-h: logarithmic pressure axis
    g->y_axis.min_pos = 1, g->y_axis.max_pos = 1e5;
    ASSERT_TRUE(drag_ranges(*g, 0, -350));  // half the plot height down: half the decades
    EXPECT_NEAR(g->y_axis.min_pos, std::pow(10.0, 2.5), 1e-6);
    EXPECT_NEAR(g->y_axis.max_pos, std::pow(10.0, 7.5), 1e-3);
    for (int i = 0; i < 40; ++i) {
        drag_ranges(*g, 0, 700);
        wheel_zoom(*g, WheelDirection::Down, 500, 400);
        ASSERT_GT(g->y_axis.min_pos, 0);
        ASSERT_LT(g->y_axis.min_pos, g->y_axis.max_pos);
        ASSERT_TRUE(std::isfinite(g->y_axis.max_pos));
    }
    // A drag so far that the end would overflow changes nothing.
    const Axis before = g->y_axis;
    EXPECT_FALSE(drag_ranges(*g, 0, -1000000));
    EXPECT_EQ(g->y_axis.min_pos, before.min_pos);
    EXPECT_EQ(g->y_axis.max_pos, before.max_pos);
}

TEST_F(ZoomMath, RectangleAndPresets) {
    auto g = placed_graph(2);
    set_x(*g, 0, 8.8, -1, 12);
    g->y_axis.min_pos = 200, g->y_axis.max_pos = 900;
    g->y_axis.min_value = 100, g->y_axis.max_value = 2000;
    // Zero width or height, or no number: nothing changes.
    EXPECT_FALSE(zoom_rectangle(*g, 300, 100, 300, 400));
    EXPECT_FALSE(zoom_rectangle(*g, 100, 250, 400, 250.2));
    EXPECT_FALSE(zoom_rectangle(*g, std::nan(""), 1, 2, 3));
    EXPECT_EQ(g->x_axis.max_pos, 8.8);
    EXPECT_EQ(g->y_axis.max_pos, 900);
    // Corners in any order; y from the lower corner to the upper one.
    ASSERT_TRUE(zoom_rectangle(*g, 480, 140, 180, 640));
    EXPECT_NEAR(g->x_axis.min_pos, 1.0, 1e-12);
    EXPECT_NEAR(g->x_axis.max_pos, 4.0, 1e-12);
    EXPECT_NEAR(g->y_axis.min_pos, 300, 1e-9);
    EXPECT_NEAR(g->y_axis.max_pos, 800, 1e-9);

    maxrange(*g);
    EXPECT_EQ(g->x_axis.min_pos, -1);
    EXPECT_EQ(g->y_axis.max_pos, 2000);
    zoomdefault(*g);  // T-s of water: the fluid's s and T defaults
    EXPECT_EQ(g->x_axis.min_pos, fluids[FLUID_WATER]->axis[AX_S].min_pos);
    EXPECT_EQ(g->y_axis.max_pos, fluids[FLUID_WATER]->axis[AX_T].max_pos);

    // The QT diagram's default view is its full range.
    auto qt = placed_graph(QT_GRAPH_TYPE);
    set_qt_axes(*qt, nullptr);
    qt->x_axis.min_pos = 0.2, qt->x_axis.max_pos = 0.3;
    qt->y_axis.min_value = 0, qt->y_axis.max_value = 700;
    qt->y_axis.min_pos = 350, qt->y_axis.max_pos = 400;
    zoomdefault(*qt);
    EXPECT_EQ(qt->x_axis.min_pos, 0);
    EXPECT_EQ(qt->x_axis.max_pos, 1);
    EXPECT_EQ(qt->y_axis.min_pos, 0);
    EXPECT_EQ(qt->y_axis.max_pos, 700);
}

}  // namespace
