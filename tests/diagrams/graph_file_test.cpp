// A diagram of every type saved in a project file and read again keeps
// every axis and setting: the axes' quantities and units (which the file
// does not hold but the type gives), ranges, texts, colours, fonts and
// sizes, the isoline and curve styles.
#include "tests/diagrams/diagram_support.h"

#include "app/core/files/filehandling.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/diagrams/mapping.h"
#include "app/diagrams/new_graph.h"
#include "tests/support/paths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace app;
using diagtest::GraphPtr;

// Every setting of an axis moved away from its default, by a small
// per-axis shift so that the two axes differ.
void change_axis(Axis& a, int shift) {
    a.min_pos += 0.125 * (shift + 1);
    a.max_pos += 0.25 * (shift + 1);
    a.step *= 0.5;
    a.label = "Axis " + std::to_string(shift);
    a.digits = 3 + shift;
    a.tick_length = 7 + shift;
    a.tick_width = 2 + shift;
    a.arrow_size = 9 + shift;
    a.grid_width = 0.75 + shift;
    a.line_width = 1.5 + shift;
    a.line_color = Color{0, 1000, 2000, 3000};
    a.grid_color = Color{0, 4000, 5000, 6000};
    a.tick_color = Color{0, 7000, 8000, 9000};
    a.label_color = Color{0, 10000, 11000, 12000};
    a.tick_label_color = Color{0, 13000, 14000, 15000};
    a.label_font = "Serif Bold 13";
    a.tick_font = "Sans Italic 9";
}

void expect_same_axis(const Axis& a, const Axis& b, const std::string& what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(a.quantity, b.quantity);
    EXPECT_EQ(a.unit_quantity, b.unit_quantity);
    EXPECT_EQ(a.unit, b.unit);
    EXPECT_EQ(a.label, b.label);
    EXPECT_EQ(a.min_pos, b.min_pos);
    EXPECT_EQ(a.max_pos, b.max_pos);
    EXPECT_EQ(a.min_value, b.min_value);
    EXPECT_EQ(a.max_value, b.max_value);
    EXPECT_EQ(a.step, b.step);
    EXPECT_EQ(a.digits, b.digits);
    EXPECT_EQ(a.tick_length, b.tick_length);
    EXPECT_EQ(a.tick_width, b.tick_width);
    EXPECT_EQ(a.arrow_size, b.arrow_size);
    EXPECT_EQ(a.grid_width, b.grid_width);
    EXPECT_EQ(a.line_width, b.line_width);
    EXPECT_EQ(a.line_color, b.line_color);
    EXPECT_EQ(a.grid_color, b.grid_color);
    EXPECT_EQ(a.tick_color, b.tick_color);
    EXPECT_EQ(a.label_color, b.label_color);
    EXPECT_EQ(a.tick_label_color, b.tick_label_color);
    EXPECT_EQ(a.label_font, b.label_font);
    EXPECT_EQ(a.tick_font, b.tick_font);
    EXPECT_EQ(a.format, b.format);
}

class GraphFile : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { diagtest::fresh_fluids(); }
    void TearDown() override {
        for (Project* p : owned) free_project(p);
        current_project = nullptr;
    }
    Project* read(const std::string& text) {
        std::string error;
        Project* p = read_project_text(text, "t.kvr", error, ReadOptions{false});
        EXPECT_NE(p, nullptr) << error;
        if (p != nullptr) owned.push_back(p);
        return p;
    }
    std::vector<Project*> owned;
};

}  // namespace

TEST_P(GraphFile, ReadAgainWithEveryAxisAndSetting) {
    const int type = GetParam();
    std::ifstream in(testsupport::source_dir() + "/examples/coupled_water.kvr");
    std::stringstream text;
    text << in.rdbuf();
    Project* p = read(text.str());
    ASSERT_NE(p, nullptr);
    ASSERT_GT(p->az_interfaces, 0);
    // The diagram as the window makes it, then every setting changed.
    Graph* g = create_graph();
    g->kind = GK_DIAGRAM;
    g->project = p;
    g->type = type;
    g->fluid = p->processes[0]->fluid;
    g->name = "Diagram of type " + std::to_string(type);
    init_iso_settings(*g);
    diagrams::init_axis(*g);
    if (type == 5) {
        g->interface = p->interfaces[0];
        diagrams::set_qt_axes(*g, part_by_id(p, p->interfaces[0]->hot_part_id));
    } else {
        CurveStyle st;
        st.line_width = 2.5;
        st.line_style = 3;
        st.dot_style = 4;
        st.dot_size = 6;
        st.small_dot_style = 2;
        st.small_dot_size = 3;
        st.line_color = Color{0, 100, 200, 300};
        st.dot_color = Color{0, 400, 500, 600};
        st.small_dot_color = Color{0, 700, 800, 900};
        append_curve(*g, p->processes[0], st);
    }
    change_axis(g->x_axis, 0);
    change_axis(g->y_axis, 1);
    for (int f = 0; f < NUM_ISO_FAMILIES; ++f) {
        IsolineStyle& st = g->iso_style[sz(f)];
        st.width = 0.25 + f;
        st.show = f % 2;
        st.unit = 1;
        st.font = "Mono " + std::to_string(8 + f);
        st.color = Color{0, static_cast<unsigned short>(1000 * f), 2, 3};
    }
    ASSERT_GE(append_graph(*p, g), 1);
    const int slot = p->az_graphs - 1;

    Project* back = read(project_text(*p, true, true));
    ASSERT_NE(back, nullptr);
    const Graph* r = nullptr;
    for (const Graph* candidate : back->graphs)
        if (candidate != nullptr && candidate->name == g->name) r = candidate;
    ASSERT_NE(r, nullptr) << "slot " << slot;
    EXPECT_EQ(r->type, type);
    EXPECT_EQ(r->fluid, g->fluid);
    if (type == 5) {
        ASSERT_NE(r->interface, nullptr);
        EXPECT_EQ(r->interface->id, g->interface->id);
    }
    expect_same_axis(g->x_axis, r->x_axis, "x axis");
    expect_same_axis(g->y_axis, r->y_axis, "y axis");
    ASSERT_EQ(r->az_curves, g->az_curves);
    for (int c = 0; c < g->az_curves; ++c) {
        const CurveStyle &a = g->curve_style[sz(c)], &b = r->curve_style[sz(c)];
        EXPECT_EQ(a.line_width, b.line_width);
        EXPECT_EQ(a.line_style, b.line_style);
        EXPECT_EQ(a.dot_style, b.dot_style);
        EXPECT_EQ(a.dot_size, b.dot_size);
        EXPECT_EQ(a.small_dot_style, b.small_dot_style);
        EXPECT_EQ(a.small_dot_size, b.small_dot_size);
        EXPECT_EQ(a.line_color, b.line_color);
        EXPECT_EQ(a.dot_color, b.dot_color);
        EXPECT_EQ(a.small_dot_color, b.small_dot_color);
    }
    for (int f = 0; f < NUM_ISO_FAMILIES; ++f) {
        const IsolineStyle &a = g->iso_style[sz(f)], &b = r->iso_style[sz(f)];
        EXPECT_EQ(a.width, b.width) << f;
        EXPECT_EQ(a.show, b.show) << f;
        EXPECT_EQ(a.unit, b.unit) << f;
        EXPECT_EQ(a.font, b.font) << f;
        EXPECT_EQ(a.color, b.color) << f;
        const std::size_t n = std::min(a.selected.size(), b.selected.size());
        for (std::size_t i = 0; i < n; ++i)
            EXPECT_EQ(a.selected[i], b.selected[i]) << f << ":" << i;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryType, GraphFile, ::testing::Range(0, 6));
