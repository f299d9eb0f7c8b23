// Part types, value and option tables, and the unit lists built at start-up.
#include "app/core/model/init.h"

#include "app/core/model/tools.h"
#include "app/core/model/units.h"

#include <utility>

namespace app {

namespace {

struct Choice {
    const char* text;
    int enables;
};

constexpr OptionDef opt(const char* title, std::initializer_list<Choice> choices) {
    OptionDef r{title, 0, {}, {}};
    for (const Choice& c : choices) {
        r.choices[r.n_choices] = c.text;
        r.enables[r.n_choices] = c.enables;
        ++r.n_choices;
    }
    for (int i = r.n_choices; i < MAX_CHOICES; ++i) r.enables[i] = -1;
    return r;
}

// Lists of the part types: option rows, input rows, output rows.
constexpr int opt_compress[] = {1, 2, 4, 8};
constexpr int opt_expand[] = {0, 2, 4, 8};
constexpr int opt_combustor[] = {7, 3, 13, 9, 10, 8};
constexpr int opt_oic[] = {7, 3, 13, 9, 10, 11, 12, 8};
constexpr int opt_heat[] = {5, 3, 4, 8};
constexpr int opt_condenser[] = {3, 4, 8};
constexpr int opt_loss[] = {3, 4};
constexpr int opt_splitter[] = {6};
constexpr int opt_separator[] = {8};

constexpr int in_compress[] = {0, 1, 4, 5, 10, 11};
constexpr int in_expand[] = {0, 2, 3, 4, 5, 10, 11};
constexpr int in_combustor[] = {14, 7, 8, 9, 16, 17, 15};
constexpr int in_oic[] = {14, 7, 8, 9, 16, 17, 18, 19, 15};
constexpr int in_heat[] = {8, 9, 6, 7, 10, 11};
constexpr int in_loss[] = {8, 9, 10, 11};
constexpr int in_splitter[] = {12, 13};

#define KVR_BASE_OUT 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15
constexpr int out_compressor[] = {KVR_BASE_OUT, 37, 38, 30, 33, 34, 35, 36, 43, 44};
constexpr int out_pump[] = {KVR_BASE_OUT, 37, 38, 30, 33, 34, 35, 36};
constexpr int out_turbine[] = {KVR_BASE_OUT, 37, 38, 30, 33, 34, 35, 36, 43, 44, 49};
constexpr int out_combustor[] = {KVR_BASE_OUT, 45, 46, 47, 50, 51};
constexpr int out_oic[] = {KVR_BASE_OUT, 45, 47, 48, 50, 51};
constexpr int out_heat[] = {KVR_BASE_OUT, 30, 31, 32};
constexpr int out_condenser[] = {KVR_BASE_OUT, 30, 31, 32, 36};
constexpr int out_pipeline[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 30, 14, 15};
constexpr int out_loss[] = {KVR_BASE_OUT, 30};
constexpr int out_outlet[] = {0, 2, 4, 6, 8, 12, 14};
constexpr int out_mixer[] = {KVR_BASE_OUT, 16, 18, 20, 22, 24, 26, 28};
constexpr int out_splitter[] = {KVR_BASE_OUT, 17, 19, 21, 23, 25, 27, 29};
constexpr int out_separator[] = {KVR_BASE_OUT, 31, 32, 43, 44, 49};
#undef KVR_BASE_OUT

using L = std::span<const int>;

}  // namespace

constexpr std::array<PartType, NUM_PART_TYPES> part_types = {{
    {"Compressor", L(opt_compress), L(in_compress), L(out_compressor), "My_compressor"},
    {"Pump", L(opt_compress), L(in_compress), L(out_pump), "My_pump"},
    {"Expander", L(opt_expand), L(in_expand), L(out_pump), "My_turbine"},
    {"Turbine", L(opt_expand), L(in_expand), L(out_turbine), "My_turbine"},
    {"Combustor", L(opt_combustor), L(in_combustor), L(out_combustor), "My_combustor"},
    {"Oxygen Injection Combustor", L(opt_oic), L(in_oic), L(out_oic), "My_combustor"},
    {"Intercooler", L(opt_heat), L(in_heat), L(out_heat), "My_heatexchanger"},
    {"Heat Exchanger", L(opt_heat), L(in_heat), L(out_heat), "My_heatexchanger"},
    {"Condenser", L(opt_condenser), L(in_loss), L(out_condenser), "My_condenser"},
    {"Pipeline", L(opt_loss), L(), L(out_pipeline), "My_compressor"},
    {"Pressure Loss Element", L(opt_loss), L(in_loss), L(out_loss), "My_pressureloss"},
    {"Inlet", L(), L(), L(), "My_inlet"},
    {"Outlet", L(), L(), L(out_outlet), "My_outlet"},
    {"Mixer", L(), L(), L(out_mixer), "My_mixer"},
    {"Splitter", L(opt_splitter), L(in_splitter), L(out_splitter), "My_splitter"},
    {"Water Separator", L(opt_separator), L(), L(out_separator), "My_waterseparator"},
}};

constexpr std::array<ValueDef, NUM_PART_INPUTS> part_input_values_def = {{
    {"Outlet Pressure", Q_PRESSURE, 101.325},
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
    {"Oxidizer Pressure", Q_PRESSURE, 100},
}};

constexpr std::array<ValueDef, NUM_PART_OUTPUTS> part_output_values_def = {{
    {"Inlet Temperature", Q_TEMPERATURE, 0},
    {"Outlet Temperature", Q_TEMPERATURE, 0},
    {"Inlet Pressure", Q_PRESSURE, 0},
    {"Outlet Pressure", Q_PRESSURE, 0},
    {"Inlet Enthalpy h", Q_SPECIFIC_ENERGY, 0},
    {"Outlet Enthalpy h", Q_SPECIFIC_ENERGY, 0},
    {"Inlet Entropy s", Q_ENTROPY, 0},
    {"Outlet Entropy s", Q_ENTROPY, 0},
    {"Inlet Density", Q_DENSITY, 0},
    {"Outlet Density", Q_DENSITY, 0},
    {"Inlet Humidity", Q_RELATIVE_VALUE, 0},
    {"Outlet Humidity", Q_RELATIVE_VALUE, 0},
    {"Inlet Massflow", Q_MASSFLOW, 0},
    {"Outlet Massflow", Q_MASSFLOW, 0},
    {"Inlet Wetness", Q_RELATIVE_VALUE, 0},
    {"Outlet Wetness", Q_RELATIVE_VALUE, 0},
    {"2_Inlet Temperature", Q_TEMPERATURE, 0},
    {"2_Outlet Temperature", Q_TEMPERATURE, 0},
    {"2_Inlet Pressure", Q_PRESSURE, 0},
    {"2_Outlet Pressure", Q_PRESSURE, 0},
    {"2_Inlet Enthalpy h", Q_SPECIFIC_ENERGY, 0},
    {"2_Outlet Enthalpy h", Q_SPECIFIC_ENERGY, 0},
    {"2_Inlet Entropy s", Q_ENTROPY, 0},
    {"2_Outlet Entropy s", Q_ENTROPY, 0},
    {"2_Inlet Density", Q_DENSITY, 0},
    {"2_Outlet Density", Q_DENSITY, 0},
    {"2_Inlet Massflow", Q_MASSFLOW, 0},
    {"2_Outlet Massflow", Q_MASSFLOW, 0},
    {"2_Inlet Wetness", Q_RELATIVE_VALUE, 0},
    {"2_Outlet Wetness", Q_RELATIVE_VALUE, 0},
    {"Leakage", Q_MASSFLOW, 0},
    {"Specific Heat Flux", Q_SPECIFIC_ENERGY, 0},
    {"Heat", Q_POWER, 0},
    {"Specific Head", Q_SPECIFIC_ENERGY, 0},
    {"Specific Work", Q_SPECIFIC_ENERGY, 0},
    {"Isentropic Enthalpy Diff.", Q_SPECIFIC_ENERGY, 0},
    {"Power", Q_POWER, 0},
    {"Isentropic Efficiency", Q_RELATIVE_VALUE, 0},
    {"Polytropic Efficiency", Q_RELATIVE_VALUE, 0},
    {"Inlet Liquid Water Part", Q_RELATIVE_VALUE, 0},
    {"Outlet Liquid Water Part", Q_RELATIVE_VALUE, 0},
    {"2_Inlet Liquid Water Part", Q_RELATIVE_VALUE, 0},
    {"2_Outlet Liquid Water Part", Q_RELATIVE_VALUE, 0},
    {"Specific Condensation Heat", Q_SPECIFIC_ENERGY, 0},
    {"Condensation Heat", Q_POWER, 0},
    {"Thermal Power", Q_POWER, 0},
    {"Lambda", Q_RATIO_GT1, 0},
    {"Fuel Massflow", Q_MASSFLOW, 0},
    {"Oxidizer Massflow", Q_MASSFLOW, 0},
    {"Liquid Water Out", Q_MASSFLOW, 0},
    {"Net Heating Value", Q_SPECIFIC_ENERGY, 0},
    {"Gross Heating Value", Q_SPECIFIC_ENERGY, 0},
}};

constexpr std::array<ValueDef, NUM_PROCESS_INPUTS> process_input_values_def = {{
    {"Temperature", Q_TEMPERATURE, 288.15},
    {"Pressure", Q_PRESSURE, 101.325},
    {"Massflow", Q_MASSFLOW, 100},
    {"Standard Volume Flow (Dry)", Q_VOLUME_FLOW, 0},
    {"Humidity", Q_RELATIVE_VALUE, 0},
}};

constexpr std::array<ValueDef, NUM_PROCESS_OUTPUTS> process_output_values_def = {{
    {"Specific Work", Q_SPECIFIC_ENERGY, 0},
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
    {"Process Efficiency", Q_RELATIVE_VALUE, 0},
}};

constexpr std::array<ValueDef, NUM_PROJECT_OUTPUTS> project_output_values_def = {{
    {"Power In", Q_POWER, 0},
    {"Power Out", Q_POWER, 0},
    {"Power", Q_POWER, 0},
    {"Heat In", Q_POWER, 0},
    {"Heat Out", Q_POWER, 0},
    {"Heat", Q_POWER, 0},
    {"Thermal Power", Q_POWER, 0},
    {"Efficiency", Q_RELATIVE_VALUE, 0},
}};

// "Minimum Delta Temperature" is a difference of temperatures: it has the
// Temperature Difference quantity, so that 10 K shows as 10 °C or 18 °F.
constexpr std::array<ValueDef, NUM_INTERFACE_INPUTS> interface_input_values_def = {{
    {"Specific Heat Flux Hot Side", Q_SPECIFIC_HEAT_FLUX_COOLING, -100},
    {"Outlet Temperature Hot Side", Q_TEMPERATURE, 293.15},
    {"Outlet Temperature Cold Side", Q_TEMPERATURE, 293.15},
    {"Heat Exchanger Effectiveness", Q_RELATIVE_VALUE, 1},
    {"Heat Transfer Efficiency", Q_RELATIVE_VALUE, 1},
    {"Minimum Delta Temperature", Q_TEMPERATURE_DIFFERENCE, 10},
    {"Initial Temperature Difference", Q_TEMPERATURE_DIFFERENCE, 0},
    {"Initial Temperature", Q_TEMPERATURE, 293.15},
    {"Initial Heat Flux", Q_SPECIFIC_ENERGY, 100},
}};

constexpr std::array<ValueDef, NUM_INTERFACE_OUTPUTS> interface_output_values_def = {{
    {"Specific Heat Flux Hot Side", Q_SPECIFIC_ENERGY, 100},
    {"Outlet Temperature Hot Side", Q_TEMPERATURE, 293.15},
    {"Outlet Temperature Cold Side", Q_TEMPERATURE, 293.15},
    {"Heat Exchanger Effectiveness", Q_RELATIVE_VALUE, 1},
}};

constexpr std::array<OptionDef, NUM_PART_OPTIONS> part_input_options = {{
    opt("Expansion",
        {{"Ratio Inlet to Outlet", 2}, {"Fixed outlet", 0}, {"Ratio outlet to inlet", 3}}),
    opt("Compression ", {{"Ratio Outlet to Inlet", 1}, {"Fixed outlet", 0}}),
    opt("Efficiency", {{"Isentropic", 4}, {"Polytropic", 5}}),
    opt("Pressure Loss", {{"Absolute", 9}, {"Relative", 8}}),
    opt("Leakage", {{"Absolute", 10}, {"Relative", 11}}),
    opt("Outlet Temperature", {{"Fixed", 7}, {"Specific Heat Flux", 6}}),
    opt("Mass distribution", {{"Relative", 12}, {"Fixed Massflow", 13}}),
    opt("Calculation mode", {{"Fixed Massflow", 14}, {"Fixed Outlet Temperature", 7}}),
    opt("Efficiency calculation",
        {{"Do not use", -1}, {"Use for Process", -1}, {"Use for Process and Full Project", -1}}),
    opt("Fuel Temperature", {{"Fixed", 16}}),
    opt("Fuel Pressure", {{"Fixed", 17}}),
    opt("Oxidizer Temperature", {{"Fixed", 18}}),
    opt("Oxidizer Pressure", {{"Fixed", 19}}),
    opt("Combustion Efficiency", {{"Fixed", 15}}),
}};

constexpr std::array<OptionDef, NUM_INTERFACE_OPTIONS> interface_options = {{
    opt("Calculation mode", {{"Specific Heat Flux Hot Side", 0},
                             {"Outlet Temperature Hot Side", 1},
                             {"Outlet Temperature Cold Side", 2},
                             {"Heat Exchanger Effectiveness", 3}}),
    opt("Initialization mode", {{"Temperature Difference Hot Side", 6},
                                {"Temperature Difference Cold Side", 6},
                                {"Temperature Hot Side", 7},
                                {"Temperature Cold Side", 7},
                                {"Heat Flux", 8}}),
    opt("Dominant side",
        {{"Determined by Heat Capacity", -1}, {"Fixed Cold Side", -1}, {"Fixed Hot Side", -1}}),
}};

constexpr std::array<const char*, 6> FLUID_TYPE_NAMES = {
    "Pure Fluids",  "Inert Gases",        "Alkanes",
    "Refrigerants", "Predefined Mixture", "User defined fluids"};

std::array<std::vector<std::string>, NUM_QUANTITIES> unit_lists;

const PartType* part_type_of(int type) {
    if (type < 0 || type >= NUM_PART_TYPES) return nullptr;
    return &part_types[static_cast<std::size_t>(type)];
}

int find_value_def(std::span<const ValueDef> table, std::string_view name) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (equal_nocase(table[i].name, name)) return static_cast<int>(i);
    return -1;
}

int find_option(std::span<const OptionDef> table, std::string_view title) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (equal_nocase(table[i].title, title)) return static_cast<int>(i);
    return -1;
}

int find_choice(const OptionDef& option, std::string_view text) {
    for (int i = 0; i < option.n_choices; ++i)
        if (equal_nocase(option.choices[static_cast<std::size_t>(i)], text)) return i;
    return -1;
}

int find_part_type(std::string_view name) {
    for (int i = 0; i < NUM_PART_TYPES; ++i)
        if (equal_nocase(part_types[static_cast<std::size_t>(i)].name, name)) return i;
    return -1;
}

void initstuff() {
    for (int qn = 0; qn < NUM_QUANTITIES; ++qn) {
        std::vector<std::string> list;
        for (int i = 0; i < unit_count(qn); ++i) list.emplace_back(unit_symbol(qn, i));
        unit_lists[static_cast<std::size_t>(qn)] = std::move(list);
    }
}

}  // namespace app
