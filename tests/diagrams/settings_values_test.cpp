// What the settings dialogs and "Create new Graph" work on, without a
// window: units of axes, the ranges the axis dialog refuses, isoline
// values and their positions, and full lists of new diagrams.
#include "app/diagrams/settings_values.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
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

// Values convert with factor and offset, a tick step with the factor only.
TEST_F(SettingsValues, AxisUnits) {
    auto g = diagtest::make_graph(FLUID_WATER, 2);  // T-s: y is a temperature
    EXPECT_DOUBLE_EQ(shown_value(g->y_axis, CELSIUS, 300), 300 - 273.15);
    EXPECT_DOUBLE_EQ(base_value(g->y_axis, FAHRENHEIT, 80.33), 300);
    EXPECT_DOUBLE_EQ(shown_step(g->y_axis, FAHRENHEIT, 50), 90);
    EXPECT_DOUBLE_EQ(base_step(g->y_axis, FAHRENHEIT, 90), 50);
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

// A value typed in another unit lands on the position it means; a diagram
// of another fluid gets no new positions (the dialog itself: IsoDialog).
TEST_F(SettingsValues, IsolinePositionsOfADiagram) {
    auto a = diagtest::make_graph(FLUID_WATER, 2);
    auto air = diagtest::make_graph(FLUID_DRY_ISO_AIR, 2);
    Graph* others[] = {air.get()};
    const std::size_t air_marks = air->iso_style[ISO_ISOTHERM].selected.size();
    std::vector<double> t = shown_positions(*a, ISO_ISOTHERM);
    t.push_back(26.85 + 273.15);  // 300 K, one of the positions
    t.push_back(to_internal(Q_TEMPERATURE, FAHRENHEIT, to_display(Q_TEMPERATURE, FAHRENHEIT, 350)));
    EXPECT_EQ(apply_iso_positions(*a, ISO_ISOTHERM, t, others), 0);
    t.push_back(555.5);
    EXPECT_EQ(apply_iso_positions(*a, ISO_ISOTHERM, t, others), 1);
    EXPECT_EQ(find_position(fluids[FLUID_WATER]->iso[ISO_ISOTHERM], 555.5), 17);
    EXPECT_EQ(air->iso_style[ISO_ISOTHERM].selected.size(), air_marks);
}

// Full lists of a project (the contents of new diagrams are checked in the
// window, GraphRows).
TEST_F(SettingsValues, FullListsGiveMessages) {
    Project* project = create_project();
    current_project = project;
    // 52 water processes: 50 curves and a note about the other two.
    for (int i = 0; i < MAX_CURVES + 2; ++i) {
        Process* process = create_process(0);
        process->fluid = fluids[FLUID_WATER];
        ASSERT_GE(append_process(*project, process), 0);
    }
    const NewGraph made = new_property_graph(*project, fluids[FLUID_WATER], 2);
    ASSERT_NE(made.graph, nullptr);
    EXPECT_EQ(made.graph->az_curves, MAX_CURVES);
    EXPECT_NE(made.note.find("2 processes are not drawn"), std::string::npos) << made.note;
    // 49 diagram slots: the 50th diagram is refused, no slot written.
    for (int i = 2; i < MAX_GRAPHS; ++i)
        ASSERT_NE(new_property_graph(*project, fluids[FLUID_WATER], 0).graph, nullptr) << i;
    const NewGraph refused = new_property_graph(*project, fluids[FLUID_WATER], 0);
    EXPECT_EQ(refused.graph, nullptr);
    EXPECT_NE(refused.refusal.find("49 diagrams"), std::string::npos) << refused.refusal;
    EXPECT_EQ(project->az_graphs, MAX_GRAPHS - 1);
    current_project = nullptr;
    free_project(project);
}

}  // namespace
