// The renderer on image surfaces, checked by pixel probes at positions
// computed from the library's states (no golden images).
#include "app/diagrams/render.h"
#include "app/core/files/filehandling.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/solver/simulator.h"
#include "app/diagrams/isoline_draw.h"
#include "app/diagrams/mapping.h"
#include "app/diagrams/qt.h"
#include "app/diagrams/text.h"
#include "app/diagrams/zoom.h"
#include "tests/diagrams/diagram_support.h"
#include "tests/support/paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <tuple>

namespace {

using namespace app;
using namespace app::diagrams;
using diagtest::Pixel;

struct State {
    double s = 0, h = 0, rho = 0, p = 0;
};

State saturated(double T, double q) {
    Fluid* w = fluids[FLUID_WATER];
    EXPECT_EQ(init_stoffwerte(w), 1);
    State st;
    double TT = T, qq = q;
    EXPECT_EQ(get_all_by_T_and_q(w->x.data(), TT, st.p, st.s, st.h, st.rho, qq), 0);
    return st;
}

State at_T_p(double T, double p) {
    Fluid* w = fluids[FLUID_WATER];
    EXPECT_EQ(init_stoffwerte(w), 1);
    State st;
    st.p = p;
    double TT = T, q = 0;
    EXPECT_EQ(get_all_by_T_and_p(w->x.data(), TT, st.p, st.s, st.h, st.rho, q), 0);
    return st;
}

// The circles of the QT diagram are thin: antialiased black.
bool dark(Pixel p) { return p.r < 130 && p.g < 130 && p.b < 130; }

class Render : public ::testing::Test {
protected:
    void SetUp() override { diagtest::fresh_fluids(); }
    // The steam example read, made current and calculated (null on failure).
    static Project* calculated_steam() {
        Project* p = readinput(testsupport::source_dir() + "/examples/steam_rankine.kvr");
        if (p == nullptr) return nullptr;
        current_project = p;
        EXPECT_EQ(calcProject(*p), CS_FINISHED) << p->calc_log;
        return p;
    }
};

// The dome of water in a T-s diagram (wetness lines hidden): red at both
// saturation states of 300, 400 and 550 K, none halfway between them.
TEST_F(Render, DomeOfWaterInTs) {
    auto g = diagtest::make_graph(FLUID_WATER, 2);
    g->iso_style[ISO_WETNESS].show = 0;
    auto img = diagtest::draw(*g, 1024, 800, "water_ts");
    const Mapping m = mapping_of(*g);
    ASSERT_TRUE(m.usable);
    for (double T : {300.0, 400.0, 550.0}) {
        const double s1 = saturated(T, 0).s, s2 = saturated(T, 1).s;
        EXPECT_TRUE(img->any_near(m.X(s1), m.Y(T), 2, diagtest::red)) << T;
        EXPECT_TRUE(img->any_near(m.X(s2), m.Y(T), 2, diagtest::red)) << T;
        EXPECT_FALSE(img->any_near(m.X((s1 + s2) / 2), m.Y(T), 2, diagtest::red)) << T;
    }
    EXPECT_EQ(cairo_status(img->context()), CAIRO_STATUS_SUCCESS);
}

// A predefined mixture has no dome, no wetness lines and no critical point.
TEST_F(Render, MixtureHasNoRed) {
    auto g = diagtest::make_graph(FLUID_DRY_ISO_AIR, 2);
    auto img = diagtest::draw(*g, 1024, 800, "dry_iso_air_ts");
    EXPECT_FALSE(img->any_in(0, 0, 1023, 799, diagtest::red));
    // ... but its isobars.
    EXPECT_TRUE(img->any_in(0, 0, 1023, 799, diagtest::bluish));
}

// Isobars are drawn where no axis is a pressure: the 100 kPa isobar at
// 500 K shows in T-s, and nothing bluish is at that state in p-h.
TEST_F(Render, IsobarsOnlyWithoutPressureAxis) {
    const State st = at_T_p(500, 100);
    auto ts = diagtest::make_graph(FLUID_WATER, 2);
    auto img = diagtest::draw(*ts, 1024, 800);
    const Mapping m = mapping_of(*ts);
    EXPECT_TRUE(img->any_near(m.X(st.s), m.Y(500), 2, diagtest::bluish));

    auto ph = diagtest::make_graph(FLUID_WATER, 3);
    auto img2 = diagtest::draw(*ph, 1024, 800);
    const Mapping m2 = mapping_of(*ph);
    ASSERT_TRUE(m2.usable);
    EXPECT_FALSE(img2->any_near(m2.X(st.h), m2.Y(100), 2, diagtest::bluish));
}

// The labels of the isobars and density lines above a crowded h-s diagram
// of water stand apart: every run of label-coloured columns in a family's
// row is no wider than its widest label (two labels run together are), and
// two runs stand at least three columns apart.
TEST_F(Render, IsolineLabelsAboveThePlotStandApart) {
    auto g = diagtest::make_graph(FLUID_WATER, 0);
    auto img = diagtest::draw(*g, 760, 520, "water_hs_labels");
    const Mapping m = mapping_of(*g);
    ASSERT_TRUE(m.usable);
    const Fluid& water = *g->fluid;
    for (int family : {ISO_ISOBAR, ISO_ISOCHOR}) {
        const IsolineStyle& st = g->iso_style[family];
        // The style's colour blended with white (antialiased text).
        const double cr = 255 - st.color.red / 257.0, cg = 255 - st.color.green / 257.0,
                     cb = 255 - st.color.blue / 257.0;
        const auto near_colour = [&](Pixel p) {
            const double dr = 255 - p.r, dg = 255 - p.g, db = 255 - p.b;
            const double w = (dr * cr + dg * cg + db * cb) / (cr * cr + cg * cg + cb * cb);
            return w > 0.3 && std::abs(dr - w * cr) < 30 && std::abs(dg - w * cg) < 30 &&
                   std::abs(db - w * cb) < 30;
        };
        int widest = 0, height = 0;
        for (double position : water.iso[family].positions) {
            Layout label(img->context(), position_label(*g, family, position), st.font,
                         g->font_scale);
            widest = std::max(widest, label.width);
            height = label.height;
        }
        const int row = family == ISO_ISOBAR ? 1 : 3;  // isobars, isotherms, density lines
        const int top = static_cast<int>(m.plot_top()) - (height + 1) * row;
        // Runs of columns with label pixels; the gaps between a label's
        // glyphs (up to two columns) do not end a run.
        int run = 0, gap = 0, longest = 0, labelled = 0;
        for (int x = 0; x < 760; ++x) {
            if (img->any_in(x, top + 2, x, top + height - 2, near_colour)) {
                run += run > 0 ? gap + 1 : 1;
                gap = 0;
                ++labelled;
            } else if (run > 0 && ++gap > 2) {
                run = 0;
                gap = 0;
            }
            longest = std::max(longest, run);
        }
        EXPECT_GT(labelled, 2 * widest) << "family " << family << ": too few labels";
        EXPECT_LE(longest, widest + 1) << "family " << family << ": labels run together";
    }
}

// Which family's colour an antialiased text pixel shows (-1: none or
// white): isobars blue, isotherms teal, density lines purple, wetness red.
int family_of_pixel(Pixel p) {
    const int r = p.r, g = p.g, b = p.b;
    if (r > 230 && g > 230 && b > 230) return -1;
    if (b > r + 60 && b > g + 60 && std::abs(r - g) < 40) return ISO_ISOBAR;
    if (g > r + 40 && b > r + 40 && std::abs(g - b) < 40) return ISO_ISOTHERM;
    if (r > g + 40 && b > g + 40 && std::abs(r - b) < 40) return ISO_ISOCHOR;
    if (r > g + 60 && r > b + 60 && std::abs(g - b) < 40) return ISO_WETNESS;
    return -1;
}

// The labels right of the plot, in their columns: along every pixel row
// the labels of two families keep a gap between them, and no label lies
// over another one's. R1234YF's h-s diagram showed "22010" and "2002"
// (isotherms 220 and 200 touching the density labels 10 and 2) and its
// wetness labels 0.9, 0.8 and 0.7 over the density label 10.
TEST_F(Render, RightLabelColumnsStandApart) {
    constexpr int GAP = 3;  // pixels between the ink of two families' labels
    auto g = diagtest::make_graph(fluids.index_of(fluids.find("R1234YF")), 0);
    auto img = diagtest::draw(*g, 1024, 800, "r1234yf_hs_right_labels");
    const Mapping m = mapping_of(*g);
    ASSERT_TRUE(m.usable);
    int labelled_rows = 0;
    for (int y = static_cast<int>(m.plot_top()); y < static_cast<int>(m.plot_bottom()); ++y) {
        // Runs of one family's ink along the row (glyph gaps of up to two
        // columns inside a label).
        int last_family = -1, last_x = -100, families = 0;
        for (int x = static_cast<int>(m.plot_right()) + 2; x < 1024; ++x) {
            const int f = family_of_pixel(img->at(x, y));
            if (f < 0) continue;
            if (last_family >= 0 && f != last_family) {
                EXPECT_GE(x - last_x, GAP) << "row " << y << ": family " << last_family
                                           << " ends at " << last_x << ", " << f << " at " << x;
            }
            if (f != last_family) ++families;
            last_family = f;
            last_x = x;
        }
        labelled_rows += families > 1 ? 1 : 0;
    }
    EXPECT_GT(labelled_rows, 5);  // the columns stand side by side
}

// After Zoom Out a T-s diagram starts at the fluid's lowest temperature,
// where the wetness lines end: their labels stay inside the plot, off the
// tick labels of the entropy axis below it (R134A's 0.9 to 0.1 lay on
// them).
TEST_F(Render, WetnessLabelsStayAboveTheAxisAfterZoomOut) {
    for (const char* name : {"R134A", "Propane", "Water"}) {
        auto g = diagtest::make_graph(fluids.index_of(fluids.find(name)), 2);
        diagtest::draw(*g, 1024, 800);  // the isolines set the full ranges ...
        init_axis(*g);                  // ... which a new diagram takes
        maxrange(*g);
        ASSERT_EQ(g->y_axis.min_pos, g->fluid->Tmin) << name;
        auto img = diagtest::draw(*g, 1024, 800, (std::string("zoomed_out_ts_") + name).c_str());
        const Mapping m = mapping_of(*g);
        ASSERT_TRUE(m.usable);
        const int below = static_cast<int>(m.plot_bottom()) + 2;
        EXPECT_FALSE(img->any_in(0, below, 1023, 799, diagtest::red)) << name;
        // The labels are there, above the axis.
        EXPECT_TRUE(img->any_in(static_cast<int>(m.plot_left()), below - 40,
                                static_cast<int>(m.plot_right()), below - 3, diagtest::red))
            << name;
    }
}

// After Zoom Out helium's dome is a few pixels high at the foot of its
// T-s diagram: the labels at the ends of its wetness lines stand apart
// (they had run together as "0.90.80.70.6...") or are left out.
TEST_F(Render, WetnessEndLabelsStandApart) {
    auto g = diagtest::make_graph(FLUID_HELIUM, 2);
    diagtest::draw(*g, 1024, 800);
    init_axis(*g);
    maxrange(*g);
    auto_axis(*g);  // the full range's own tick steps
    auto img = diagtest::draw(*g, 1024, 800, "helium_ts_zoomed_out");
    const Mapping m = mapping_of(*g);
    ASSERT_TRUE(m.usable);
    const IsolineStyle& st = g->iso_style[ISO_WETNESS];
    Layout label(img->context(), "0.9", st.font, g->font_scale);
    // The row of labels above the lowest temperature, clear of the dome.
    const int y0 = static_cast<int>(m.plot_bottom()) - label.height - 1;
    const int y1 = static_cast<int>(m.plot_bottom()) - 6;
    int run = 0, gap = 0, longest = 0, inked = 0;
    for (int x = static_cast<int>(m.plot_left()); x < static_cast<int>(m.plot_right()); ++x) {
        if (img->any_in(x, y0, x, y1, diagtest::red)) {
            run += run > 0 ? gap + 1 : 1;
            gap = 0;
            ++inked;
        } else if (run > 0 && ++gap > 2) {
            run = gap = 0;
        }
        longest = std::max(longest, run);
    }
    EXPECT_GT(inked, label.width / 2);  // some labels are there
    EXPECT_LE(longest, label.width + 1);
}

// The y tick labels keep clear of the y axis title left of them: the
// margin has room for the widest label, not only for the end value's
// ("-100.00" below "100.00" in carbon dioxide's h-s diagram touched the
// descender of "Enthalpy"'s p).
TEST_F(Render, YTickLabelsKeepClearOfTheTitle) {
    for (const char* name : {"Carbon dioxide", "Methane", "Water"}) {
        auto g = diagtest::make_graph(fluids.index_of(fluids.find(name)), 0);
        auto img = diagtest::draw(*g, 1024, 800);
        const Mapping m = mapping_of(*g);
        ASSERT_TRUE(m.usable);
        Layout title(img->context(), "Entropy [kJ/(kg K)]", g->y_axis.label_font, g->font_scale);
        // The columns just right of the turned title: no ink of a label.
        EXPECT_FALSE(img->any_in(title.height + 1, static_cast<int>(m.plot_top()), title.height + 2,
                                 static_cast<int>(m.plot_bottom()), diagtest::near_black))
            << name;
    }
}

struct CrossingRow {
    const char* fluid;
    int type;
    int family;
    double position;
};

std::ostream& operator<<(std::ostream& os, const CrossingRow& r) {
    return os << r.fluid << " type " << r.type << " family " << r.family << " at " << r.position;
}

// A label where a line leaves the plot is centred on the pixel where the
// drawn line meets the edge, also on a logarithmic pressure axis: there
// ammonia's 300 K isotherm had been given a right label 0.4 bar high (its
// line leaves the p-s diagram at the bottom), and water's isotherm labels
// above its p-h diagram stood up to 5 pixels left of their lines.
class EdgeLabels : public ::testing::TestWithParam<CrossingRow> {};

TEST_P(EdgeLabels, SitWhereTheDrawnLineMeetsTheEdge) {
    constexpr double PIXEL = 1.0;
    diagtest::fresh_fluids();
    const CrossingRow row = GetParam();
    auto g = diagtest::make_graph(fluids.index_of(fluids.find(row.fluid)), row.type);
    diagtest::draw(*g, 1024, 800);
    const Mapping m = mapping_of(*g);
    ASSERT_TRUE(m.usable);
    const IsoFamily& fam = g->fluid->iso[static_cast<std::size_t>(row.family)];
    const std::vector<IsoPoint>& line =
        fam.lines[static_cast<std::size_t>(iso_find(fam, row.position))];
    const int xq = g->x_axis.quantity, yq = g->y_axis.quantity;
    int crossings = 0;
    for (std::size_t k = 1; k < line.size(); ++k) {
        const double x0 = iso_value(line[k - 1], xq), y0 = iso_value(line[k - 1], yq);
        const double x1 = iso_value(line[k], xq), y1 = iso_value(line[k], yq);
        EdgeCrossings c;
        note_crossings(m, x0, y0, x1, y1, c);
        // The drawn segment in pixels, and where it meets each edge.
        const double X0 = m.X(x0), Y0 = m.Y(y0), X1 = m.X(x1), Y1 = m.Y(y1);
        if (c.right) {
            ++crossings;
            const double y = Y0 + (Y1 - Y0) * (m.plot_right() - X0) / (X1 - X0);
            EXPECT_NEAR(m.Y(c.right_y), y, PIXEL) << "segment " << k;
        }
        for (auto [crossed, at, edge] : {std::tuple{c.top, c.top_x, m.plot_top()},
                                         std::tuple{c.bottom, c.bottom_x, m.plot_bottom()}}) {
            if (!crossed) continue;
            ++crossings;
            EXPECT_NEAR(m.X(at), X0 + (X1 - X0) * (edge - Y0) / (Y1 - Y0), PIXEL) << k;
        }
    }
    EXPECT_GT(crossings, 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, EdgeLabels,
                         ::testing::Values(CrossingRow{"Ammonia", 1, ISO_ISOTHERM, 300},
                                           CrossingRow{"Water", 3, ISO_ISOTHERM, 350},
                                           CrossingRow{"Water", 3, ISO_ISOCHOR, 1000},
                                           CrossingRow{"R134A", 3, ISO_ISOTHERM, 400}));

// The calculated steam example: the process curve passes the turbine
// inlet in black.
TEST_F(Render, SteamExampleCurveAtTurbineInlet) {
    Project* p = calculated_steam();
    ASSERT_NE(p, nullptr);
    Graph* ts = p->graphs[1];
    ASSERT_NE(ts, nullptr);
    ASSERT_EQ(ts->type, 2);
    const Part* turbine = p->processes[0]->parts[3];
    ASSERT_EQ(turbine->type, TURBINE);
    auto img = diagtest::draw(*ts, 1024, 800, "steam_rankine_ts");
    const Mapping m = mapping_of(*ts);
    EXPECT_TRUE(img->any_near(m.X(turbine->s[0]), m.Y(turbine->T[0]), 2, diagtest::near_black));
    // One cache entry per drawn part (pump, boiler, turbine, cooler), each
    // ended by -1, and the critical point's beyond them.
    EXPECT_EQ(ts->cache_count, 4);
    ASSERT_EQ(ts->cache.size(), 5u);
    EXPECT_EQ(ts->cache[4].x[1], -2);
    EXPECT_NE(ts->cache[4].text.find("Critical point:\n T crit = 647.096000 K"), std::string::npos);
    current_project = nullptr;
    free_project(p);
}

// Zoomed in, the curves and the critical point stay inside the plot area:
// no curve colour and no red mark in the margins, the legends or the axis
// labels, and no read-out entry for a critical point outside the plot.
TEST_F(Render, ZoomedDiagramDrawsOnlyInsideThePlot) {
    Project* p = calculated_steam();
    ASSERT_NE(p, nullptr);
    Graph* ts = p->graphs[1];
    for (IsolineStyle& st : ts->iso_style) st.show = 0;
    ts->curve_style[0].line_color = Color{0, 0, 0xffff, 0};
    ts->curve_style[0].line_width = 6;
    // Every part's path crosses the edges; the critical point (4.41 kJ/(kg K),
    // 647 K) lies just right of the plot.
    ts->x_axis.min_pos = 3.0;
    ts->x_axis.max_pos = 4.3;
    ts->y_axis.min_pos = 450;
    ts->y_axis.max_pos = 640;
    auto img = diagtest::draw(*ts, 800, 600, "steam_rankine_zoomed");
    const Mapping m = mapping_of(*ts);
    ASSERT_TRUE(m.usable);
    const auto green = [](Pixel px) { return px.g > 150 && px.r < 100 && px.b < 100; };
    const auto red = [](Pixel px) { return px.r > 150 && px.g < 100 && px.b < 100; };
    const int left = static_cast<int>(m.plot_left()) - 1;
    const int right = static_cast<int>(m.plot_right()) + 1;
    const int top = static_cast<int>(m.plot_top()) - 1;
    const int bottom = static_cast<int>(m.plot_bottom()) + 1;
    // The curve is drawn inside ...
    EXPECT_TRUE(img->any_in(left, top, right, bottom, green));
    // ... and nothing of it or of the critical mark around the plot.
    for (const auto& test : {std::function<bool(Pixel)>(green), std::function<bool(Pixel)>(red)}) {
        EXPECT_FALSE(img->any_in(0, 0, 799, top - 1, test));
        EXPECT_FALSE(img->any_in(0, bottom + 1, 799, 599, test));
        EXPECT_FALSE(img->any_in(0, 0, left - 1, 599, test));
        EXPECT_FALSE(img->any_in(right + 1, 0, 799, 599, test));
    }
    for (const ScreenEntry& e : ts->cache) EXPECT_NE(e.x[1], -2);
    current_project = nullptr;
    free_project(p);
}

// A QT diagram of made-up parts: water boiling at 1000 kPa on the cold
// side, a hot stream that comes close to it (pinch) or not.
class QtRender : public Render {
protected:
    void SetUp() override {
        Render::SetUp();
        project.part_table.assign(8, nullptr);
        project.part_table[1] = &hot;
        project.part_table[2] = &cold;
        cold_process.id = 7;
        cold_process.fluid = fluids[FLUID_WATER];
        project.processes[0] = &cold_process;
        project.az_processes = 1;
        itf.hot_part_id = 1, itf.cold_part_id = 2;
        itf.hot_process_id = 7, itf.cold_process_id = 7;
        itf.inputs[II_HEAT_TRANSFER_EFFICIENCY] = 1;
        for (Part* part : {&hot, &cold}) {
            part->state = PS_FINISHED;
            part->steps = N;
            for (int i = 0; i <= N; ++i) part->heat[i] = 100.0 * i;
        }
        double T = 0, p = 1000, s = 0, h = 0, rho = 0, q = 0;
        init_stoffwerte(fluids[FLUID_WATER]);
        get_all_by_p_and_q(fluids[FLUID_WATER]->x.data(), T, p, s, h, rho, q);
        Tsat = T;
        for (int i = 0; i <= N; ++i) {
            cold.p[i] = 1000;
            cold.q[i] = i <= 4 ? -0.5 : i <= 14 ? (i - 4.5) / 10.5 : 1.5;
            cold.T[i] = i <= 4 ? 400 + (Tsat - 400) * i / 5 : i <= 14 ? Tsat : Tsat + 5 * (i - 14);
        }
        graph = diagtest::make_graph(FLUID_WATER, 5);
        graph->project = &project;
        graph->interface = &itf;
        for (int f = 0; f < NUM_ISO_FAMILIES; ++f) graph->iso_style[f].show = 0;
        graph->x_axis.min_pos = 0, graph->x_axis.max_pos = 1, graph->x_axis.step = 0.1;
        graph->x_axis.label = "Relative Transferred Heat";
        graph->y_axis.min_pos = 300, graph->y_axis.step = 50;
    }
    void hot_from(double T0, double dT) {
        for (int i = 0; i <= N; ++i) hot.T[i] = T0 - dT * i;
    }
    static constexpr int N = 20;
    Project project;
    Part hot, cold;
    Process cold_process;
    Interface itf;
    diagtest::GraphPtr graph;
    double Tsat = 0;
};

TEST_F(QtRender, CirclesAndPinch) {
    hot_from(600, 9);  // 460.5 K where the cold stream boils: 7.5 K, below 20 and 100
    auto marks = qt_marks(hot, cold, 1.0, [](double p, double q, double& T) {
        double s = 0, h = 0, rho = 0, pp = p, qq = q;
        return get_all_by_p_and_q(fluids[FLUID_WATER]->x.data(), T, pp, s, h, rho, qq) == 0;
    });
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_TRUE(marks[0].boiling);
    EXPECT_DOUBLE_EQ(marks[0].x, 450.0 / 2000);
    EXPECT_NEAR(marks[0].T, Tsat, 1e-9);
    EXPECT_TRUE(marks[0].pinch);
    EXPECT_NEAR(marks[0].T_hot, 460.5, 1e-9);
    EXPECT_FALSE(marks[1].boiling);
    EXPECT_DOUBLE_EQ(marks[1].x, 1450.0 / 2000);
    EXPECT_FALSE(marks[1].pinch);

    auto img = diagtest::draw(*graph, 1024, 800, "qt_pinch");
    EXPECT_DOUBLE_EQ(graph->y_axis.max_pos, 1.1 * 600);
    const Mapping m = mapping_of(*graph);
    ASSERT_TRUE(m.usable);
    for (const QtMark& mark : marks) {
        const double x = m.X(mark.x), y = m.Y(mark.T);
        EXPECT_TRUE(img->any_near(x, y - 4, 1, dark)) << mark.x;
        EXPECT_TRUE(img->any_near(x, y + 4, 1, dark)) << mark.x;
    }
    const double px = m.X(marks[0].x), py = m.Y(marks[0].T);
    EXPECT_TRUE(img->any_in(static_cast<int>(px) - 10, static_cast<int>(py) + 23,
                            static_cast<int>(px) + 10, static_cast<int>(py) + 25,
                            diagtest::light_grey));
}

TEST_F(QtRender, NoPinchLabelWhenAnEndIsCloser) {
    hot_from(700, 12);  // 514 K at the boiling point: 61 K, but 60 K at the cold inlet
    auto img = diagtest::draw(*graph, 1024, 800, "qt_no_pinch");
    const Mapping m = mapping_of(*graph);
    const double px = m.X(450.0 / 2000), py = m.Y(Tsat);
    EXPECT_TRUE(img->any_near(px, py - 4, 1, dark));
    EXPECT_FALSE(img->any_in(static_cast<int>(px) - 10, static_cast<int>(py) + 15,
                             static_cast<int>(px) + 10, static_cast<int>(py) + 40,
                             diagtest::light_grey));
}

// No heat, equal heat steps, an unfinished side or a busy library: nothing
// drawn from them, and cairo keeps working.
TEST_F(QtRender, NothingFromWhatIsNotThere) {
    hot_from(600, 9);
    for (int i = 0; i <= N; ++i) hot.heat[i] = 0;
    EXPECT_TRUE(qt_marks(hot, cold, 1.0, [](double, double, double& T) {
                    T = 450;
                    return true;
                }).empty());
    for (int i = 0; i <= N; ++i) hot.heat[i] = 100.0 * (i / 2);  // steps of equal heat
    auto marks = qt_marks(hot, cold, 1.0, [](double, double, double& T) {
        T = std::numeric_limits<double>::quiet_NaN();
        return true;
    });
    EXPECT_TRUE(marks.empty());
    marks = qt_marks(hot, cold, 0.0, [](double, double, double& T) {
        T = 453;
        return true;
    });
    for (const QtMark& mark : marks) EXPECT_TRUE(std::isfinite(mark.T_hot));
    auto img = diagtest::draw(*graph, 600, 400);
    EXPECT_EQ(cairo_status(img->context()), CAIRO_STATUS_SUCCESS);

    ++library_busy;
    drawing_deferred = 0;
    for (int i = 0; i <= N; ++i) hot.heat[i] = 100.0 * i;
    auto busy = diagtest::draw(*graph, 600, 400);
    --library_busy;
    EXPECT_EQ(drawing_deferred, 1);

    cold.state = PS_FAILED;
    auto none = diagtest::draw(*graph, 600, 400);
    EXPECT_EQ(cairo_status(none->context()), CAIRO_STATUS_SUCCESS);
}

// Many parts fill the screen-point cache to its 1021 entries and no
// further; states that are not numbers or far away, a font scale of 0 and
// zoom-to-plot leave the drawing working.
TEST_F(Render, CacheLimitAndBadValues) {
    Process proc;
    proc.fluid = fluids[FLUID_WATER];
    std::vector<Part> parts(MAX_PARTS);
    proc.az_parts = MAX_PARTS;
    for (int k = 0; k < MAX_PARTS; ++k) {
        Part& part = parts[k];
        part.type = k == MAX_PARTS - 1 ? OUTLET : HEAT_EXCHANGER;
        part.state = PS_FINISHED;
        part.steps = 1;
        part.s[0] = 1 + k * 0.1, part.T[0] = 300 + k;
        part.s[1] = 1.05 + k * 0.1, part.T[1] = 301 + k;
        proc.parts[k] = &part;
    }
    auto g = diagtest::make_graph(FLUID_WATER, 2);
    for (int c = 0; c < 22; ++c) {  // 22 curves of 50 drawn parts each
        CurveStyle st;
        st.line_style = c % 10;
        st.line_width = 1, st.dot_style = c % 11, st.dot_size = 3;
        append_curve(*g, &proc, st);
    }
    auto img = diagtest::draw(*g, 800, 600);
    EXPECT_EQ(g->cache_count, SCREEN_CACHE_SIZE);
    EXPECT_LE(g->cache.size(), static_cast<std::size_t>(SCREEN_CACHE_SIZE));
    EXPECT_EQ(cairo_status(img->context()), CAIRO_STATUS_SUCCESS);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    parts[3].s[0] = nan, parts[4].T[1] = 1e300, parts[5].s[1] = -1e30;
    g->zoom_to_plot = 1;
    g->font_scale = 0;
    auto bad = std::make_unique<diagtest::Image>(800, 600);
    g->width = 800, g->height = 600;
    draw_graph(*g, bad->context());
    EXPECT_EQ(cairo_status(bad->context()), CAIRO_STATUS_SUCCESS);
    EXPECT_TRUE(std::isfinite(g->x_axis.min_pos) && std::isfinite(g->y_axis.max_pos));
    EXPECT_LE(g->x_axis.min_pos, -1e30);  // widened in one step to the far point
}

}  // namespace
