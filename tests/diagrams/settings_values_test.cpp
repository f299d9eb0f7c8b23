// What the settings dialogs and "Create new Graph" work on, without a
// window: units of axes, the ranges the axis dialog refuses, isoline
// values and their positions, and the contents of new diagrams.
#include "app/diagrams/settings_values.h"
#include "app/core/create_delete.h"
#include "app/core/init.h"
#include "app/core/units.h"
#include "app/diagrams/isolines.h"
#include "app/diagrams/new_graph.h"
#include "tests/diagrams/diagram_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace app;
using namespace app::diagrams;

constexpr int KELVIN = 0, CELSIUS = 1, FAHRENHEIT = 2, PERCENT = 1;

class SettingsValues : public ::testing::Test {
protected:
    void SetUp() override {
        diagtest::fresh_fluids();
        set_default_unit(Q_TEMPERATURE, KELVIN);
    }
};

TEST_F(SettingsValues, AxisUnitsBothWays) {
    auto g = diagtest::make_graph(FLUID_WATER, 2);  // T-s: y is a temperature
    const Axis& y = g->y_axis;
    for (double v : {273.15, 300.0, 647.096, 1e-3}) {
        const double c = shown_value(y, CELSIUS, v);
        EXPECT_DOUBLE_EQ(c, v - 273.15);
        // Within the rounding of the offset (the dialogs keep the exact value
        // while it is not edited).
        EXPECT_NEAR(base_value(y, CELSIUS, c), v, 1e-13 * 460);
        EXPECT_NEAR(base_value(y, FAHRENHEIT, shown_value(y, FAHRENHEIT, v)), v, 1e-13 * 460);
    }
    // A step converts with the factor only.
    EXPECT_DOUBLE_EQ(shown_step(y, CELSIUS, 50), 50);
    EXPECT_DOUBLE_EQ(shown_step(y, FAHRENHEIT, 50), 90);
    EXPECT_DOUBLE_EQ(base_step(y, FAHRENHEIT, 90), 50);
}

TEST_F(SettingsValues, AxisRangesRefused) {
    auto ts = diagtest::make_graph(FLUID_WATER, 2);
    auto ph = diagtest::make_graph(FLUID_WATER, 3);  // y: logarithmic pressure
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const Axis* axis;
        double start, end, step;
        const char* words;  // part of the message; null: accepted
    };
    const Case cases[] = {
        {&ts->y_axis, 300, 800, 50, nullptr},
        {&ts->y_axis, 800, 300, 50, "must start below its end"},
        {&ts->y_axis, 300, 300, 50, "must start below its end"},
        {&ts->y_axis, 300, 800, 0, "tick step above zero"},
        {&ts->y_axis, 300, 800, -1, "tick step above zero"},
        {&ts->y_axis, -1e99, 1e99, 0.001, "at most 500"},
        {&ts->y_axis, 0, 500, 1, nullptr},  // exactly 500 steps
        {&ts->y_axis, nan, 800, 50, "needs numbers"},
        {&ph->y_axis, 0, 1000, 1, "logarithmic"},
        {&ph->y_axis, -5, 1000, 1, "logarithmic"},
        {&ph->y_axis, 1, 1e5, 0.001, nullptr},  // the step is not used by the ladder
    };
    for (const Case& c : cases) {
        const std::string why = axis_range_refusal(*c.axis, "Y", 0, c.start, c.end, c.step);
        if (c.words == nullptr) {
            EXPECT_EQ(why, "") << c.start << " " << c.end << " " << c.step;
        } else {
            EXPECT_NE(why.find(c.words), std::string::npos) << why;
            EXPECT_EQ(why.rfind("The Y axis", 0), 0u) << why;
        }
    }
    // The message shows the values in the unit of the dialog.
    EXPECT_NE(axis_range_refusal(ts->y_axis, "Y", CELSIUS, 800, 300, 50).find("526.85 °C"),
              std::string::npos);
}

TEST_F(SettingsValues, IsolineValuesRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        int family, unit;
        double base;
        bool ok;
    };
    const Case cases[] = {
        {ISO_ISOBAR, 1, 500, true},
        {ISO_ISOTHERM, CELSIUS, 300, true},
        {ISO_ISOTHERM, KELVIN, nan, false},
        {ISO_ISOTHERM, KELVIN, -5, false},
        {ISO_ISOCHOR, 0, 0, false},
        {ISO_WETNESS, PERCENT, 0.5, true},
        {ISO_WETNESS, PERCENT, 1.2, false},
        {ISO_WETNESS, 0, 1.0, false},
        {ISO_ISOBAR, 1, std::numeric_limits<double>::infinity(), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(iso_value_refusal(c.family, c.unit, c.base).empty(), c.ok) << c.base;
    EXPECT_EQ(iso_value_refusal(ISO_WETNESS, PERCENT, 1.2),
              "Wetness: 120 % is not a possible line; a wetness lies between 0 % and 100 %.");
}

TEST_F(SettingsValues, IsolinePositionsOfADiagram) {
    auto a = diagtest::make_graph(FLUID_WATER, 2);
    auto b = diagtest::make_graph(FLUID_WATER, 3);
    auto air = diagtest::make_graph(FLUID_DRY_ISO_AIR, 2);
    Fluid& water = *fluids[FLUID_WATER];
    calc_isolines(water);
    ASSERT_EQ(pending_isolines(water), 0);
    const IsoFamily& isobars = water.iso[ISO_ISOBAR];
    const std::vector<double> positions_before = isobars.positions;
    Graph* others[] = {b.get(), air.get()};

    // An isobar the fluid has but this diagram hides comes back: nothing new.
    a->iso_style[ISO_ISOBAR].selected[4] = 0;  // 100 kPa
    std::vector<double> shown = shown_positions(*a, ISO_ISOBAR);
    ASSERT_EQ(shown.size(), 12u);
    shown.push_back(100);
    EXPECT_EQ(apply_iso_positions(*a, ISO_ISOBAR, shown, others), 0);
    EXPECT_EQ(a->iso_style[ISO_ISOBAR].selected[4], 1);
    EXPECT_EQ(isobars.positions, positions_before);
    EXPECT_EQ(pending_isolines(water), 0);

    // A new isotherm is one new line; the other diagram of water gets it
    // hidden, the air diagram nothing.
    const std::size_t air_marks = air->iso_style[ISO_ISOTHERM].selected.size();
    std::vector<double> t = shown_positions(*a, ISO_ISOTHERM);
    t.push_back(555.5);
    EXPECT_EQ(apply_iso_positions(*a, ISO_ISOTHERM, t, others), 1);
    EXPECT_EQ(pending_isolines(water), 1);
    const int at = find_position(water.iso[ISO_ISOTHERM], 555.5);
    ASSERT_EQ(at, 17);
    EXPECT_EQ(a->iso_style[ISO_ISOTHERM].selected[17], 1);
    ASSERT_EQ(b->iso_style[ISO_ISOTHERM].selected.size(), 18u);
    EXPECT_EQ(b->iso_style[ISO_ISOTHERM].selected[17], 0);
    EXPECT_EQ(air->iso_style[ISO_ISOTHERM].selected.size(), air_marks);
    // The same temperature typed in °C lands on the same position.
    t.push_back(to_internal(Q_TEMPERATURE, CELSIUS, to_display(Q_TEMPERATURE, CELSIUS, 555.5)));
    t.push_back(26.85 + 273.15);
    EXPECT_EQ(apply_iso_positions(*a, ISO_ISOTHERM, t, others), 0);

    // No rows: the family is hidden here, the positions stay.
    EXPECT_EQ(apply_iso_positions(*a, ISO_WETNESS, {}, others), 0);
    EXPECT_TRUE(shown_positions(*a, ISO_WETNESS).empty());
    EXPECT_EQ(iso_count(water.iso[ISO_WETNESS]), 9);
    EXPECT_EQ(shown_positions(*b, ISO_WETNESS).size(), 9u);
}

// A project in code: two water processes, one with a combustor, one of air.
class NewGraphs : public SettingsValues {
protected:
    void SetUp() override {
        SettingsValues::SetUp();
        project = create_project();
        current_project = project;
        for (int i = 0; i < 3; ++i) {
            Process* process = create_process(0);
            process->fluid = fluids[i < 2 ? FLUID_WATER : FLUID_DRY_ISO_AIR];
            process->name = "Process " + std::to_string(i + 1);
            append_process(*project, process);
        }
        Process& second = *project->processes[1];
        insert_part(second, 1, create_part(COMBUSTOR));
    }
    void TearDown() override {
        current_project = nullptr;
        free_project(project);
    }
    Project* project = nullptr;
};

TEST_F(NewGraphs, FluidsCurvesAndNames) {
    const std::vector<Fluid*> offered = project_fluids(*project);
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0], fluids[FLUID_WATER]);
    EXPECT_EQ(offered[1], fluids[FLUID_DRY_ISO_AIR]);

    NewGraph ts = new_property_graph(*project, fluids[FLUID_WATER], DEFAULT_GRAPH_TYPE);
    ASSERT_NE(ts.graph, nullptr);
    EXPECT_EQ(ts.graph->name, "T-s Diagram " + fluids[FLUID_WATER]->name);
    EXPECT_EQ(project->graphs[1], ts.graph);
    EXPECT_EQ(ts.graph->project, project);
    ASSERT_EQ(ts.graph->az_curves, 2);
    EXPECT_EQ(ts.graph->curve_style[0].line_style, 0);
    EXPECT_EQ(ts.graph->curve_style[1].line_style, COMPOSITION_CHANGE_LINE_STYLE);
    EXPECT_EQ(ts.graph->curve_style[0].line_width, 3.0);
    EXPECT_EQ(ts.graph->curve_style[0].dot_style, 1);
    EXPECT_EQ(ts.graph->curve_style[0].dot_size, 4);
    EXPECT_EQ(pending_isolines(*fluids[FLUID_WATER]), 0);  // computed on the way
    EXPECT_GT(ts.graph->y_axis.max_value, ts.graph->y_axis.min_value);

    NewGraph pt = new_property_graph(*project, fluids[FLUID_WATER], PT_GRAPH_TYPE);
    ASSERT_NE(pt.graph, nullptr);
    EXPECT_EQ(pt.graph->az_curves, 3);  // every process, whatever its fluid
    EXPECT_EQ(pt.graph->name, "p-T Diagram " + fluids[FLUID_WATER]->name);
}

TEST_F(NewGraphs, FullListsGiveMessages) {
    // 49 diagram slots: the 50th diagram is refused, no slot written.
    for (int i = 1; i < MAX_GRAPHS; ++i)
        ASSERT_NE(new_property_graph(*project, fluids[FLUID_WATER], 0).graph, nullptr) << i;
    NewGraph refused = new_property_graph(*project, fluids[FLUID_WATER], 0);
    EXPECT_EQ(refused.graph, nullptr);
    EXPECT_NE(refused.refusal.find("49 diagrams"), std::string::npos) << refused.refusal;
    EXPECT_EQ(project->az_graphs, MAX_GRAPHS - 1);

    // 52 water processes: 50 curves and a note about the other two.
    Project* many = create_project();
    current_project = many;
    for (int i = 0; i < MAX_CURVES + 2; ++i) {
        Process* process = create_process(0);
        process->fluid = fluids[FLUID_WATER];
        ASSERT_GE(append_process(*many, process), 0);
    }
    NewGraph made = new_property_graph(*many, fluids[FLUID_WATER], 2);
    ASSERT_NE(made.graph, nullptr);
    EXPECT_EQ(made.graph->az_curves, MAX_CURVES);
    EXPECT_NE(made.note.find("2 processes are not drawn"), std::string::npos) << made.note;
    current_project = project;
    free_project(many);
}

TEST_F(NewGraphs, QtDiagramOfAConvergedInterface) {
    Interface* itf = create_interface();
    append_interface(*project, itf);
    Part* hot = project->processes[2]->parts[0];
    hot->T[0] = 700, hot->T[1] = 650;
    itf->hot_part_id = hot->id;
    EXPECT_EQ(new_qt_graph(*project, *itf).graph, nullptr);  // not converged
    EXPECT_EQ(project->graphs[1], nullptr);
    itf->status = IS_CONVERGED;
    NewGraph qt = new_qt_graph(*project, *itf);
    ASSERT_NE(qt.graph, nullptr);
    const Graph& g = *qt.graph;
    EXPECT_EQ(g.name, "QT-diagram " + itf->name);
    EXPECT_EQ(g.type, QT_GRAPH_TYPE);
    EXPECT_EQ(g.interface, itf);
    EXPECT_EQ(g.fluid, fluids[FLUID_WATER]);
    for (const IsolineStyle& st : g.iso_style) EXPECT_EQ(st.show, 0);
    EXPECT_DOUBLE_EQ(g.y_axis.max_value, 770);
    EXPECT_DOUBLE_EQ(g.y_axis.max_pos, 770);
    EXPECT_EQ(g.y_axis.min_pos, 0);
    EXPECT_EQ(g.y_axis.step, 100);
    EXPECT_EQ(g.x_axis.min_pos, 0);
    EXPECT_EQ(g.x_axis.max_value, 1);
    EXPECT_EQ(g.x_axis.step, 0.1);
    EXPECT_EQ(g.x_axis.label, "Relative Transferred Heat");
    set_default_unit(Q_TEMPERATURE, CELSIUS);
    NewGraph celsius = new_qt_graph(*project, *itf);
    ASSERT_NE(celsius.graph, nullptr);
    EXPECT_EQ(celsius.graph->y_axis.min_pos, 0.15);
    EXPECT_EQ(celsius.graph->y_axis.min_value, 0.15);
}

}  // namespace
