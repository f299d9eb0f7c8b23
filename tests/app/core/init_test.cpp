#include "app/core/init.h"

#include "app/core/units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using namespace app;

std::vector<int> v(std::span<const int> s) { return {s.begin(), s.end()}; }

std::vector<int> base_outputs() { return {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15}; }

std::vector<int> cat(std::vector<int> a, std::initializer_list<int> b) {
    a.insert(a.end(), b);
    return a;
}

TEST(PartTypes, NamesIconsAndCodes) {
    const char* names[] = {"Compressor", "Pump", "Expander", "Turbine", "Combustor",
                           "Oxygen Injection Combustor", "Intercooler", "Heat Exchanger",
                           "Condenser", "Pipeline", "Pressure Loss Element", "Inlet", "Outlet",
                           "Mixer", "Splitter", "Water Separator"};
    const char* icons[] = {"My_compressor", "My_pump", "My_turbine", "My_turbine",
                           "My_combustor", "My_combustor", "My_heatexchanger",
                           "My_heatexchanger", "My_condenser", "My_compressor",
                           "My_pressureloss", "My_inlet", "My_outlet", "My_mixer",
                           "My_splitter", "My_waterseparator"};
    for (int i = 0; i < NUM_PART_TYPES; ++i) {
        EXPECT_STREQ(part_types[i].name, names[i]);
        EXPECT_STREQ(part_types[i].icon, icons[i]);
        EXPECT_EQ(find_part_type(names[i]), i);
        EXPECT_EQ(part_type_of(i), &part_types[i]);
    }
    EXPECT_EQ(find_part_type("heat exchanger"), HEAT_EXCHANGER);
    EXPECT_EQ(find_part_type("Heat"), -1);
    EXPECT_EQ(part_type_of(16), nullptr);
    EXPECT_EQ(part_type_of(-1), nullptr);
}

TEST(PartTypes, ListsInDisplayOrder) {
    EXPECT_EQ(v(part_types[COMPRESSOR].options), (std::vector<int>{1, 2, 4, 8}));
    EXPECT_EQ(v(part_types[COMPRESSOR].inputs), (std::vector<int>{0, 1, 4, 5, 10, 11}));
    EXPECT_EQ(v(part_types[COMPRESSOR].outputs),
              cat(base_outputs(), {37, 38, 30, 33, 34, 35, 36, 43, 44}));
    EXPECT_EQ(v(part_types[PUMP].outputs), cat(base_outputs(), {37, 38, 30, 33, 34, 35, 36}));
    EXPECT_EQ(v(part_types[EXPANDER].options), (std::vector<int>{0, 2, 4, 8}));
    EXPECT_EQ(v(part_types[EXPANDER].inputs), (std::vector<int>{0, 2, 3, 4, 5, 10, 11}));
    EXPECT_EQ(v(part_types[TURBINE].outputs),
              cat(base_outputs(), {37, 38, 30, 33, 34, 35, 36, 43, 44, 49}));
    EXPECT_EQ(v(part_types[COMBUSTOR].options), (std::vector<int>{7, 3, 13, 9, 10, 8}));
    EXPECT_EQ(v(part_types[COMBUSTOR].inputs), (std::vector<int>{14, 7, 8, 9, 16, 17, 15}));
    EXPECT_EQ(v(part_types[COMBUSTOR].outputs), cat(base_outputs(), {45, 46, 47, 50, 51}));
    EXPECT_EQ(v(part_types[OXYGEN_INJECTION_COMBUSTOR].options),
              (std::vector<int>{7, 3, 13, 9, 10, 11, 12, 8}));
    EXPECT_EQ(v(part_types[OXYGEN_INJECTION_COMBUSTOR].inputs),
              (std::vector<int>{14, 7, 8, 9, 16, 17, 18, 19, 15}));
    EXPECT_EQ(v(part_types[OXYGEN_INJECTION_COMBUSTOR].outputs),
              cat(base_outputs(), {45, 47, 48, 50, 51}));
    for (int t : {INTERCOOLER, HEAT_EXCHANGER}) {
        EXPECT_EQ(v(part_types[t].options), (std::vector<int>{5, 3, 4, 8}));
        EXPECT_EQ(v(part_types[t].inputs), (std::vector<int>{8, 9, 6, 7, 10, 11}));
        EXPECT_EQ(v(part_types[t].outputs), cat(base_outputs(), {30, 31, 32}));
    }
    EXPECT_EQ(v(part_types[CONDENSER].outputs), cat(base_outputs(), {30, 31, 32, 36}));
    // The pipeline offers two options but no inputs, and shows Leakage
    // before the wetness rows.
    EXPECT_EQ(v(part_types[PIPELINE].options), (std::vector<int>{3, 4}));
    EXPECT_TRUE(part_types[PIPELINE].inputs.empty());
    EXPECT_EQ(v(part_types[PIPELINE].outputs),
              (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 30, 14, 15}));
    EXPECT_EQ(v(part_types[PRESSURE_LOSS_ELEMENT].inputs), (std::vector<int>{8, 9, 10, 11}));
    EXPECT_TRUE(part_types[INLET].options.empty());
    EXPECT_TRUE(part_types[INLET].inputs.empty());
    EXPECT_TRUE(part_types[INLET].outputs.empty());
    EXPECT_EQ(v(part_types[OUTLET].outputs), (std::vector<int>{0, 2, 4, 6, 8, 12, 14}));
    EXPECT_TRUE(part_types[MIXER].options.empty());
    EXPECT_TRUE(part_types[MIXER].inputs.empty());
    EXPECT_EQ(v(part_types[MIXER].outputs), cat(base_outputs(), {16, 18, 20, 22, 24, 26, 28}));
    EXPECT_EQ(v(part_types[SPLITTER].options), (std::vector<int>{6}));
    EXPECT_EQ(v(part_types[SPLITTER].inputs), (std::vector<int>{12, 13}));
    EXPECT_EQ(v(part_types[SPLITTER].outputs), cat(base_outputs(), {17, 19, 21, 23, 25, 27, 29}));
    EXPECT_EQ(v(part_types[WATER_SEPARATOR].options), (std::vector<int>{8}));
    EXPECT_EQ(v(part_types[WATER_SEPARATOR].outputs), cat(base_outputs(), {31, 32, 43, 44, 49}));
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

TEST(ValueTables, NamesQuantitiesAndDefaults) {
    EXPECT_STREQ(part_input_values_def[0].name, "Outlet Pressure");
    EXPECT_DOUBLE_EQ(part_input_values_def[0].default_value, 101.325);
    EXPECT_STREQ(part_input_values_def[19].name, "Oxidizer Pressure");
    EXPECT_DOUBLE_EQ(part_input_values_def[19].default_value, 100);
    EXPECT_EQ(part_input_values_def[11].quantity, Q_RELATIVE_CHANGE);
    EXPECT_EQ(part_input_values_def[13].quantity, Q_LEAKAGE);
    EXPECT_DOUBLE_EQ(part_input_values_def[13].default_value, 10);
    // "Pressure Ratio Out/In" twice: lookups find row 1.
    EXPECT_STREQ(part_input_values_def[1].name, "Pressure Ratio Out/In");
    EXPECT_STREQ(part_input_values_def[3].name, "Pressure Ratio Out/In");
    EXPECT_EQ(part_input_values_def[1].quantity, Q_RATIO_GT1);
    EXPECT_EQ(part_input_values_def[3].quantity, Q_RATIO_LT1);
    EXPECT_DOUBLE_EQ(part_input_values_def[3].default_value, 0.5);
    EXPECT_EQ(find_value_def(part_input_values_def, "pressure ratio out/in"), 1);
    EXPECT_EQ(find_value_def(part_input_values_def, "Pressure Ratio"), -1);

    EXPECT_STREQ(part_output_values_def[16].name, "2_Inlet Temperature");
    EXPECT_STREQ(part_output_values_def[29].name, "2_Outlet Wetness");
    EXPECT_STREQ(part_output_values_def[35].name, "Isentropic Enthalpy Diff.");
    EXPECT_STREQ(part_output_values_def[42].name, "2_Outlet Liquid Water Part");
    EXPECT_STREQ(part_output_values_def[51].name, "Gross Heating Value");
    EXPECT_EQ(part_output_values_def[30].quantity, Q_MASSFLOW);
    EXPECT_EQ(part_output_values_def[46].quantity, Q_RATIO_GT1);
    EXPECT_EQ(find_value_def(part_output_values_def, "Power"), 36);

    EXPECT_STREQ(process_input_values_def[3].name, "Standard Volume Flow (Dry)");
    EXPECT_EQ(process_input_values_def[3].quantity, Q_VOLUME_FLOW);
    EXPECT_DOUBLE_EQ(process_input_values_def[0].default_value, 288.15);
    EXPECT_DOUBLE_EQ(process_input_values_def[2].default_value, 100);
    EXPECT_STREQ(process_output_values_def[12].name, "Process Efficiency");
    EXPECT_STREQ(project_output_values_def[7].name, "Efficiency");
    EXPECT_EQ(project_output_values_def[6].quantity, Q_POWER);

    // "Specific Heat Flux Hot Side": a cooling flux as input, an energy as output.
    EXPECT_EQ(interface_input_values_def[0].quantity, Q_SPECIFIC_HEAT_FLUX_COOLING);
    EXPECT_DOUBLE_EQ(interface_input_values_def[0].default_value, -100);
    EXPECT_EQ(interface_output_values_def[0].quantity, Q_SPECIFIC_ENERGY);
    EXPECT_DOUBLE_EQ(interface_output_values_def[0].default_value, 100);
    // The minimum temperature difference is a difference, not a temperature.
    EXPECT_STREQ(interface_input_values_def[5].name, "Minimum Delta Temperature");
    EXPECT_EQ(interface_input_values_def[5].quantity, Q_TEMPERATURE_DIFFERENCE);
    EXPECT_DOUBLE_EQ(interface_input_values_def[5].default_value, 10);
    EXPECT_EQ(format_value(10, interface_input_values_def[5], 1), "10 °C");
    EXPECT_EQ(interface_input_values_def[6].quantity, Q_TEMPERATURE_DIFFERENCE);
    EXPECT_STREQ(interface_input_values_def[8].name, "Initial Heat Flux");

    // Defaults lie within their quantity's bounds.
    for (const auto& row : part_input_values_def) {
        EXPECT_GE(row.default_value, unitdef[row.quantity].minimum) << row.name;
        EXPECT_LE(row.default_value, unitdef[row.quantity].maximum) << row.name;
    }
    for (const auto& row : interface_input_values_def) {
        EXPECT_GE(row.default_value, unitdef[row.quantity].minimum) << row.name;
        EXPECT_LE(row.default_value, unitdef[row.quantity].maximum) << row.name;
    }
}

TEST(OptionTables, TitlesChoicesAndEnabledInputs) {
    const char* titles[] = {"Expansion", "Compression ", "Efficiency", "Pressure Loss", "Leakage",
                            "Outlet Temperature", "Mass distribution", "Calculation mode",
                            "Efficiency calculation", "Fuel Temperature", "Fuel Pressure",
                            "Oxidizer Temperature", "Oxidizer Pressure",
                            "Combustion Efficiency"};
    const int counts[] = {3, 2, 2, 2, 2, 2, 2, 2, 3, 1, 1, 1, 1, 1};
    for (int i = 0; i < NUM_PART_OPTIONS; ++i) {
        EXPECT_STREQ(part_input_options[i].title, titles[i]);
        EXPECT_EQ(part_input_options[i].n_choices, counts[i]) << titles[i];
        for (int c = counts[i]; c < MAX_CHOICES; ++c) {
            EXPECT_EQ(part_input_options[i].choices[c], nullptr);
            EXPECT_EQ(part_input_options[i].enables[c], -1);
        }
    }
    // The trailing blank belongs to the title; without it nothing matches.
    EXPECT_EQ(find_option(part_input_options, "Compression "), OPT_COMPRESSION);
    EXPECT_EQ(find_option(part_input_options, "Compression"), -1);

    const OptionDef& expansion = part_input_options[OPT_EXPANSION];
    EXPECT_STREQ(expansion.choices[0], "Ratio Inlet to Outlet");
    EXPECT_EQ(expansion.enables[0], PI_PRESSURE_RATIO_IN_OUT);
    EXPECT_EQ(expansion.enables[1], PI_OUTLET_PRESSURE);
    EXPECT_STREQ(expansion.choices[2], "Ratio outlet to inlet");
    EXPECT_EQ(expansion.enables[2], PI_PRESSURE_RATIO_OUT_IN_LT1);
    EXPECT_EQ(part_input_options[OPT_COMPRESSION].enables[0], PI_PRESSURE_RATIO_OUT_IN);
    EXPECT_EQ(find_choice(part_input_options[OPT_EFFICIENCY], "polytropic"), 1);
    EXPECT_EQ(part_input_options[OPT_EFFICIENCY].enables[1], PI_POLYTROPIC_EFFICIENCY);
    EXPECT_EQ(part_input_options[OPT_PRESSURE_LOSS].enables[0], PI_ABSOLUTE_PRESSURE_LOSS);
    EXPECT_EQ(part_input_options[OPT_OUTLET_TEMPERATURE].enables[1], PI_SPECIFIC_HEAT_FLUX);
    EXPECT_EQ(part_input_options[OPT_CALCULATION_MODE].enables[1], PI_OUTLET_TEMPERATURE);
    EXPECT_STREQ(part_input_options[OPT_EFFICIENCY_CALCULATION].choices[2],
                 "Use for Process and Full Project");
    EXPECT_EQ(part_input_options[OPT_COMBUSTION_EFFICIENCY].enables[0], PI_COMBUSTION_EFFICIENCY);

    EXPECT_STREQ(interface_options[0].title, "Calculation mode");
    EXPECT_EQ(interface_options[0].n_choices, 4);
    EXPECT_EQ(interface_options[1].n_choices, 5);
    EXPECT_EQ(interface_options[1].enables[1], II_INITIAL_TEMPERATURE_DIFFERENCE);
    EXPECT_EQ(interface_options[1].enables[3], II_INITIAL_TEMPERATURE);
    EXPECT_EQ(interface_options[1].enables[4], II_INITIAL_HEAT_FLUX);
    EXPECT_EQ(find_choice(interface_options[2], "fixed hot side"), 2);
    EXPECT_EQ(interface_options[2].enables[2], -1);
    EXPECT_EQ(find_option(interface_options, "Dominant side"), IOPT_DOMINANT_SIDE);
}

}  // namespace
