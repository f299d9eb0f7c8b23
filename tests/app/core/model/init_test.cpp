#include "app/core/model/init.h"

#include "app/core/model/units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace {

using namespace app;

// Names are file keys: whole, case-blind, within the 52 characters a file
// line gives them; unused choice slots are empty.
template <std::size_t N>
void expect_sound_names(const std::array<ValueDef, N>& table, const char* what) {
    for (const ValueDef& row : table) EXPECT_LT(std::strlen(row.name), 52u) << what;
}
template <std::size_t N>
void expect_sound_options(const std::array<OptionDef, N>& table) {
    for (const OptionDef& od : table) {
        ASSERT_LE(od.n_choices, MAX_CHOICES) << od.title;
        for (int c = 0; c < od.n_choices; ++c) EXPECT_NE(od.choices[c], nullptr) << od.title;
        for (int c = od.n_choices; c < MAX_CHOICES; ++c) {
            EXPECT_EQ(od.choices[c], nullptr) << od.title;
            EXPECT_EQ(od.enables[c], -1) << od.title;
        }
    }
}

TEST(PartTypes, LookupByNameAndIndex) {
    for (int i = 0; i < NUM_PART_TYPES; ++i) {
        EXPECT_EQ(find_part_type(part_types[i].name), i);
        EXPECT_EQ(part_type_of(i), &part_types[i]);
    }
    EXPECT_EQ(find_part_type("heat exchanger"), HEAT_EXCHANGER);
    EXPECT_EQ(find_part_type("Heat"), -1);
    EXPECT_EQ(part_type_of(16), nullptr);
    EXPECT_EQ(part_type_of(-1), nullptr);
}

// Every input an offered option enables is offered by the type (except the
// pipeline, which has no inputs), and options enabling no input come last.
TEST(PartTypes, OptionsAndInputsAgree) {
    for (int t = 0; t < NUM_PART_TYPES; ++t) {
        const PartType& pt = part_types[t];
        bool seen_inert = false;
        for (int o : pt.options) {
            ASSERT_GE(o, 0);
            ASSERT_LT(o, NUM_PART_OPTIONS);
            const OptionDef& od = part_input_options[o];
            bool inert = std::all_of(od.enables.begin(), od.enables.begin() + od.n_choices,
                                     [](int e) { return e < 0; });
            if (inert) seen_inert = true;
            EXPECT_FALSE(seen_inert && !inert) << pt.name;
            if (t == PIPELINE) continue;
            for (int c = 0; c < od.n_choices; ++c) {
                int e = od.enables[c];
                if (e >= 0) {
                    EXPECT_NE(std::find(pt.inputs.begin(), pt.inputs.end(), e), pt.inputs.end())
                        << pt.name << " option " << od.title << " choice " << c;
                }
            }
        }
        for (int i : pt.inputs) EXPECT_LT(i, NUM_PART_INPUTS);
        for (int i : pt.outputs) EXPECT_LT(i, NUM_PART_OUTPUTS);
    }
}

TEST(ValueTables, LookupsDefaultsAndTheSharedName) {
    // "Pressure Ratio Out/In" twice: lookups find row 1, case-blind, whole
    // names only.
    EXPECT_EQ(find_value_def(part_input_values_def, "pressure ratio out/in"), 1);
    EXPECT_EQ(find_value_def(part_input_values_def, "Pressure Ratio"), -1);
    EXPECT_EQ(find_value_def(part_input_values_def, "Pressure Ratio Out/In "), -1);
    EXPECT_EQ(find_value_def(part_output_values_def, "Power"), 36);
    EXPECT_EQ(find_value_def(part_output_values_def, "2_Outlet Liquid Water Part"), 42);
    EXPECT_EQ(find_value_def(process_output_values_def, "Power"), 1);
    EXPECT_EQ(find_value_def(project_output_values_def, "Power"), 2);
    EXPECT_EQ(format_value(10, interface_input_values_def[5], 1), "10 °C");

    // Defaults lie within their quantity's bounds.
    for (const auto& row : part_input_values_def) {
        EXPECT_GE(row.default_value, unitdef[row.quantity].minimum) << row.name;
        EXPECT_LE(row.default_value, unitdef[row.quantity].maximum) << row.name;
    }
    for (const auto& row : interface_input_values_def) {
        EXPECT_GE(row.default_value, unitdef[row.quantity].minimum) << row.name;
        EXPECT_LE(row.default_value, unitdef[row.quantity].maximum) << row.name;
    }
    expect_sound_names(part_input_values_def, "part inputs");
    expect_sound_names(part_output_values_def, "part outputs");
    expect_sound_names(process_input_values_def, "process inputs");
    expect_sound_names(process_output_values_def, "process outputs");
    expect_sound_names(project_output_values_def, "project outputs");
    expect_sound_names(interface_input_values_def, "interface inputs");
    expect_sound_names(interface_output_values_def, "interface outputs");
}

TEST(OptionTables, LookupsAndEmptySlots) {
    expect_sound_options(part_input_options);
    expect_sound_options(interface_options);
    // The trailing blank belongs to the title; without it nothing matches.
    EXPECT_EQ(find_option(part_input_options, "Compression "), OPT_COMPRESSION);
    EXPECT_EQ(find_option(part_input_options, "Compression"), -1);
    EXPECT_EQ(find_choice(part_input_options[OPT_EFFICIENCY], "polytropic"), 1);
    EXPECT_EQ(find_choice(interface_options[2], "fixed hot side"), 2);
    EXPECT_EQ(find_option(interface_options, "Dominant side"), IOPT_DOMINANT_SIDE);
}

}  // namespace
