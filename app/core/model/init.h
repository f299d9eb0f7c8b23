// Start-up tables: part types, value and option tables, unit lists, the
// built-in working fluids, and the axis and isoline defaults.
#pragma once

#include "app/core/model/records.h"

#include <array>
#include <string>
#include <vector>

namespace app {

// ---------------------------------------------------------------------------
// Constant tables (rows addressed by index everywhere; files name them by text)
// ---------------------------------------------------------------------------

extern const std::array<PartType, NUM_PART_TYPES> part_types;
extern const std::array<ValueDef, NUM_PART_INPUTS> part_input_values_def;
extern const std::array<ValueDef, NUM_PART_OUTPUTS> part_output_values_def;
extern const std::array<ValueDef, NUM_PROCESS_INPUTS> process_input_values_def;
extern const std::array<ValueDef, NUM_PROCESS_OUTPUTS> process_output_values_def;
extern const std::array<ValueDef, NUM_PROJECT_OUTPUTS> project_output_values_def;
extern const std::array<ValueDef, NUM_INTERFACE_INPUTS> interface_input_values_def;
extern const std::array<ValueDef, NUM_INTERFACE_OUTPUTS> interface_output_values_def;
extern const std::array<OptionDef, NUM_PART_OPTIONS> part_input_options;
extern const std::array<OptionDef, NUM_INTERFACE_OPTIONS> interface_options;

// Names of the fluid-menu groups, indexed by FluidGroup.
extern const std::array<const char*, 6> FLUID_TYPE_NAMES;

// The unit symbols of each quantity, in unit order: the choices of the unit
// selectors. Built by initstuff.
extern std::array<std::vector<std::string>, NUM_QUANTITIES> unit_lists;

// The row of part_types for a type code, or null for another code.
const PartType* part_type_of(int type);

// Index of the first row whose name equals `name` (ignoring case), or -1.
// "Pressure Ratio Out/In" therefore finds part input row 1, never row 3.
int find_value_def(std::span<const ValueDef> table, std::string_view name);
// Index of the first option whose title equals `title` (ignoring case), or -1.
int find_option(std::span<const OptionDef> table, std::string_view title);
// Index of the choice of `option` equal to `text` (ignoring case), or -1.
int find_choice(const OptionDef& option, std::string_view text);
// Code of the part type named `name` (ignoring case), or -1.
int find_part_type(std::string_view name);

// Builds the start-up tables (the unit lists); run once before init_stoffe.
void initstuff();

// ---------------------------------------------------------------------------
// Built-in working fluids
// ---------------------------------------------------------------------------

// Puts the 41 built-in working fluids into `fluids` in their fixed order,
// with their default axes and isoline positions. Run again, it rewrites the
// 41 records in place (their addresses stay) and keeps any user fluids.
void init_stoffe();

// Fluid indices the rest of the program relies on.
inline constexpr int FLUID_AIR = 0;
inline constexpr int FLUID_DRY_ISO_AIR = 1;
inline constexpr int FLUID_HUMID_ISO_AIR = 2;
inline constexpr int FLUID_WATER = 4;
inline constexpr int FLUID_STEAM = 5;
inline constexpr int FLUID_CO2 = 7;
inline constexpr int FLUID_OXYGEN = 11;
inline constexpr int FLUID_NITROGEN = 12;
inline constexpr int FLUID_HELIUM = 14;
inline constexpr int FLUID_METHANE = 19;

// The fuel composition numbers of a fluid record (Fluid::fuel): atoms of
// carbon, hydrogen, oxygen and nitrogen per molecule, and a fifth number.
enum FuelNumber : int { FUEL_C = 0, FUEL_H = 1, FUEL_O = 2, FUEL_N = 3, FUEL_FIFTH = 4 };

// The reference state of user fluids read from files (and of exhaust gases
// of fluids without reference values of their own).
inline constexpr double USER_FLUID_T0 = 283.15;   // K
inline constexpr double USER_FLUID_P0 = 101.325;  // kPa

// The ISO reference state of humid air (ISO 2314): the reference humidity
// of a fluid humid "at standard values" whose record states none.
inline constexpr double ISO_HUMIDITY_T = 288.15;   // K
inline constexpr double ISO_HUMIDITY_P = 101.325;  // kPa
inline constexpr double ISO_HUMIDITY_RH = 0.6;     // relative humidity

// ---------------------------------------------------------------------------
// Axis and isoline defaults
// ---------------------------------------------------------------------------

// The built-in isoline positions, each ended by the marker -1.
extern const std::array<double, 14> isobar_pos_default;
extern const std::array<double, 18> isotherm_pos_default;
extern const std::array<double, 15> isochor_pos_default;
extern const std::array<double, 10> wetness_pos_default;

// Number of built-in positions of a family (13, 17, 14, 9).
int iso_default_count(int family);

// Sets an axis's drawing attributes (colours, widths, sizes, digits, fonts);
// leaves its range, label, quantity and unit alone.
void set_axis_defaults(Axis& axis);

// Gives a fluid its four position lists as copies of the built-in tables
// and empty per-position results.
void init_iso_positions(Fluid& fluid);

// Gives a diagram one shown mark per position of its fluid's lists, the
// first n of each family shown (n the length of the built-in table). A
// diagram without a fluid gets no marks.
void init_iso_settings(Graph& graph);

// Number of positions of a family's list (up to its first negative entry).
int iso_count(const IsoFamily& family);

// Index of `value` in a family's list, or -1.
int iso_find(const IsoFamily& family, double value);

// Appends a position before the end marker, with an empty result entry;
// returns its index.
int iso_add_position(IsoFamily& family, double value);

}  // namespace app
