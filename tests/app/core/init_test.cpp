#include "app/core/init.h"

#include "app/core/units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
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
    const char* names[] = {"Compressor",
                           "Pump",
                           "Expander",
                           "Turbine",
                           "Combustor",
                           "Oxygen Injection Combustor",
                           "Intercooler",
                           "Heat Exchanger",
                           "Condenser",
                           "Pipeline",
                           "Pressure Loss Element",
                           "Inlet",
                           "Outlet",
                           "Mixer",
                           "Splitter",
                           "Water Separator"};
    const char* icons[] = {
        "My_compressor", "My_pump",       "My_turbine",       "My_turbine",
        "My_combustor",  "My_combustor",  "My_heatexchanger", "My_heatexchanger",
        "My_condenser",  "My_compressor", "My_pressureloss",  "My_inlet",
        "My_outlet",     "My_mixer",      "My_splitter",      "My_waterseparator"};
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

// One row of a value table as the program must hold it: files find rows by
// these names, letter for letter.
struct Row {
    const char* name;
    int quantity;
    double default_value;
};

template <std::size_t N>
void expect_rows(const std::array<ValueDef, N>& table, const std::vector<Row>& rows,
                 const char* what) {
    SCOPED_TRACE(what);
    ASSERT_EQ(table.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_STREQ(table[i].name, rows[i].name) << "row " << i;
        EXPECT_EQ(table[i].quantity, rows[i].quantity) << rows[i].name;
        EXPECT_EQ(table[i].default_value, rows[i].default_value) << rows[i].name;
        EXPECT_LT(std::strlen(table[i].name), 52u) << rows[i].name;
    }
}

TEST(ValueTables, EveryRowOfThePartTables) {
    expect_rows(part_input_values_def,
                {{"Outlet Pressure", Q_PRESSURE, 101.325},
                 {"Pressure Ratio Out/In", Q_RATIO_GT1, 2},
                 {"Pressure Ratio In/Out", Q_RATIO_GT1, 2},
                 {"Pressure Ratio Out/In", Q_RATIO_LT1, 0.5},
                 {"Isentropic Efficiency", Q_RELATIVE_VALUE, 1},
                 {"Polytropic Efficiency", Q_RELATIVE_VALUE, 1},
                 {"Specific Heat Flux", Q_SPECIFIC_ENERGY, 100},
                 {"Outlet Temperature", Q_TEMPERATURE, 293.15},
                 {"Relative Pressure Loss", Q_RELATIVE_VALUE, 0},
                 {"Absolute Pressure Loss", Q_PRESSURE, 0},
                 {"Absolute Leakage", Q_LEAKAGE, 0},
                 {"Relative Leakage", Q_RELATIVE_CHANGE, 0},
                 {"Relative Mass Outlet 2", Q_RELATIVE_CHANGE, 0.5},
                 {"Absolute Mass Outlet 2", Q_LEAKAGE, 10},
                 {"Fixed Fuel Massflow", Q_MASSFLOW, 1},
                 {"Combustion Efficiency", Q_RELATIVE_VALUE, 1},
                 {"Fuel Temperature", Q_TEMPERATURE, 293.15},
                 {"Fuel Pressure", Q_PRESSURE, 100},
                 {"Oxidizer Temperature", Q_TEMPERATURE, 293.15},
                 {"Oxidizer Pressure", Q_PRESSURE, 100}},
                "part inputs");

    // Results: every default is zero.
    const std::vector<std::pair<const char*, int>> outputs = {
        {"Inlet Temperature", Q_TEMPERATURE},
        {"Outlet Temperature", Q_TEMPERATURE},
        {"Inlet Pressure", Q_PRESSURE},
        {"Outlet Pressure", Q_PRESSURE},
        {"Inlet Enthalpy h", Q_SPECIFIC_ENERGY},
        {"Outlet Enthalpy h", Q_SPECIFIC_ENERGY},
        {"Inlet Entropy s", Q_ENTROPY},
        {"Outlet Entropy s", Q_ENTROPY},
        {"Inlet Density", Q_DENSITY},
        {"Outlet Density", Q_DENSITY},
        {"Inlet Humidity", Q_RELATIVE_VALUE},
        {"Outlet Humidity", Q_RELATIVE_VALUE},
        {"Inlet Massflow", Q_MASSFLOW},
        {"Outlet Massflow", Q_MASSFLOW},
        {"Inlet Wetness", Q_RELATIVE_VALUE},
        {"Outlet Wetness", Q_RELATIVE_VALUE},
        {"2_Inlet Temperature", Q_TEMPERATURE},
        {"2_Outlet Temperature", Q_TEMPERATURE},
        {"2_Inlet Pressure", Q_PRESSURE},
        {"2_Outlet Pressure", Q_PRESSURE},
        {"2_Inlet Enthalpy h", Q_SPECIFIC_ENERGY},
        {"2_Outlet Enthalpy h", Q_SPECIFIC_ENERGY},
        {"2_Inlet Entropy s", Q_ENTROPY},
        {"2_Outlet Entropy s", Q_ENTROPY},
        {"2_Inlet Density", Q_DENSITY},
        {"2_Outlet Density", Q_DENSITY},
        {"2_Inlet Massflow", Q_MASSFLOW},
        {"2_Outlet Massflow", Q_MASSFLOW},
        {"2_Inlet Wetness", Q_RELATIVE_VALUE},
        {"2_Outlet Wetness", Q_RELATIVE_VALUE},
        {"Leakage", Q_MASSFLOW},
        {"Specific Heat Flux", Q_SPECIFIC_ENERGY},
        {"Heat", Q_POWER},
        {"Specific Head", Q_SPECIFIC_ENERGY},
        {"Specific Work", Q_SPECIFIC_ENERGY},
        {"Isentropic Enthalpy Diff.", Q_SPECIFIC_ENERGY},
        {"Power", Q_POWER},
        {"Isentropic Efficiency", Q_RELATIVE_VALUE},
        {"Polytropic Efficiency", Q_RELATIVE_VALUE},
        {"Inlet Liquid Water Part", Q_RELATIVE_VALUE},
        {"Outlet Liquid Water Part", Q_RELATIVE_VALUE},
        {"2_Inlet Liquid Water Part", Q_RELATIVE_VALUE},
        {"2_Outlet Liquid Water Part", Q_RELATIVE_VALUE},
        {"Specific Condensation Heat", Q_SPECIFIC_ENERGY},
        {"Condensation Heat", Q_POWER},
        {"Thermal Power", Q_POWER},
        {"Lambda", Q_RATIO_GT1},
        {"Fuel Massflow", Q_MASSFLOW},
        {"Oxidizer Massflow", Q_MASSFLOW},
        {"Liquid Water Out", Q_MASSFLOW},
        {"Net Heating Value", Q_SPECIFIC_ENERGY},
        {"Gross Heating Value", Q_SPECIFIC_ENERGY}};
    std::vector<Row> rows;
    for (const auto& [name, quantity] : outputs) rows.push_back({name, quantity, 0.0});
    expect_rows(part_output_values_def, rows, "part outputs");
}

TEST(ValueTables, EveryRowOfTheProcessProjectAndInterfaceTables) {
    expect_rows(process_input_values_def,
                {{"Temperature", Q_TEMPERATURE, 288.15},
                 {"Pressure", Q_PRESSURE, 101.325},
                 {"Massflow", Q_MASSFLOW, 100},
                 {"Standard Volume Flow (Dry)", Q_VOLUME_FLOW, 0},
                 {"Humidity", Q_RELATIVE_VALUE, 0}},
                "process inputs");
    expect_rows(process_output_values_def,
                {{"Specific Work", Q_SPECIFIC_ENERGY, 0},
                 {"Power", Q_POWER, 0},
                 {"Power In", Q_POWER, 0},
                 {"Power Out", Q_POWER, 0},
                 {"Specific Heat Flux", Q_SPECIFIC_ENERGY, 0},
                 {"Heat Flux", Q_POWER, 0},
                 {"Heat In", Q_POWER, 0},
                 {"Heat Out", Q_POWER, 0},
                 {"Specific Head", Q_SPECIFIC_ENERGY, 0},
                 {"Leakage", Q_MASSFLOW, 0},
                 {"Thermal Power", Q_POWER, 0},
                 {"Liquid Water Out", Q_MASSFLOW, 0},
                 {"Process Efficiency", Q_RELATIVE_VALUE, 0}},
                "process outputs");
    expect_rows(project_output_values_def,
                {{"Power In", Q_POWER, 0},
                 {"Power Out", Q_POWER, 0},
                 {"Power", Q_POWER, 0},
                 {"Heat In", Q_POWER, 0},
                 {"Heat Out", Q_POWER, 0},
                 {"Heat", Q_POWER, 0},
                 {"Thermal Power", Q_POWER, 0},
                 {"Efficiency", Q_RELATIVE_VALUE, 0}},
                "project outputs");
    // "Specific Heat Flux Hot Side" is a cooling flux as input and an energy
    // as output; "Minimum Delta Temperature" is a temperature difference, so
    // that its 10 K never shows as -263.15 degrees C.
    expect_rows(interface_input_values_def,
                {{"Specific Heat Flux Hot Side", Q_SPECIFIC_HEAT_FLUX_COOLING, -100},
                 {"Outlet Temperature Hot Side", Q_TEMPERATURE, 293.15},
                 {"Outlet Temperature Cold Side", Q_TEMPERATURE, 293.15},
                 {"Heat Exchanger Effectiveness", Q_RELATIVE_VALUE, 1},
                 {"Heat Transfer Efficiency", Q_RELATIVE_VALUE, 1},
                 {"Minimum Delta Temperature", Q_TEMPERATURE_DIFFERENCE, 10},
                 {"Initial Temperature Difference", Q_TEMPERATURE_DIFFERENCE, 0},
                 {"Initial Temperature", Q_TEMPERATURE, 293.15},
                 {"Initial Heat Flux", Q_SPECIFIC_ENERGY, 100}},
                "interface inputs");
    expect_rows(interface_output_values_def,
                {{"Specific Heat Flux Hot Side", Q_SPECIFIC_ENERGY, 100},
                 {"Outlet Temperature Hot Side", Q_TEMPERATURE, 293.15},
                 {"Outlet Temperature Cold Side", Q_TEMPERATURE, 293.15},
                 {"Heat Exchanger Effectiveness", Q_RELATIVE_VALUE, 1}},
                "interface outputs");
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
}

TEST(OptionTables, TitlesChoicesAndEnabledInputs) {
    const char* titles[] = {"Expansion",
                            "Compression ",
                            "Efficiency",
                            "Pressure Loss",
                            "Leakage",
                            "Outlet Temperature",
                            "Mass distribution",
                            "Calculation mode",
                            "Efficiency calculation",
                            "Fuel Temperature",
                            "Fuel Pressure",
                            "Oxidizer Temperature",
                            "Oxidizer Pressure",
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
