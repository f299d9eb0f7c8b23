// The unit table: 16 quantities with their bounds, units and default units,
// conversion between internal and display values, the value parser and the
// value formatter.
#pragma once

#include "app/core/model/records.h"

#include <array>
#include <string>
#include <string_view>

namespace app {

// The 16 quantities, indexed by Quantity. The default units change at run
// time (settings file, units dialog); everything else is fixed.
extern std::array<UnitQuantity, NUM_QUANTITIES> unitdef;

// The unit that some texts of the solver and part models use whatever the
// defaults are: Temperature K, Pressure bar, Power MW, others their first unit.
extern const std::array<int, NUM_QUANTITIES> selected_unit;

// Number of units of a quantity (0 for an unknown quantity).
int unit_count(int quantity);

// True when `unit` is a unit index of `quantity`.
bool valid_unit(int quantity, int unit);

// The symbol of a unit; "" for an unknown quantity or unit.
const char* unit_symbol(int quantity, int unit);

// The unit of `quantity` whose symbol or alias equals `name`, ignoring
// case; -1 when there is none.
int find_unit(int quantity, std::string_view name);

// The default unit a quantity has before any settings change it (K, bar,
// kg/s, ...); 0 for an unknown quantity.
int builtin_default_unit(int quantity);

// Sets the default unit of a quantity; false (nothing changed) when the
// quantity or unit does not exist.
bool set_default_unit(int quantity, int unit);

// display = internal * factor + offset, and back. An unknown unit converts
// with the quantity's first unit (the internal one).
double to_display(int quantity, int unit, double internal);
double to_internal(int quantity, int unit, double display);

// Results of read_value_with_unit.
inline constexpr int RV_OK = 0;
inline constexpr int RV_NO_NUMBER = -1;      // text without a number: value and unit unchanged
inline constexpr int RV_UNKNOWN_UNIT = -2;   // unit name the quantity lacks: current unit kept
inline constexpr int RV_OUT_OF_BOUNDS = -3;  // outside the input bounds: value and unit unchanged

// Parses `text`, a number optionally followed by a unit name, as an input
// value of `row`. With a unit of the quantity (symbol or alias, ignoring
// case) `unit` becomes that unit; a number alone is read in the current
// `unit`; an unknown unit name keeps the current unit and converts with it.
// The number is converted to the internal unit and stored in `value`
// unless it lies outside the row's input bounds (bounds.h): then value and
// unit stay as they were and `refusal`, when given, gets the reason.
// `out_text` gets the value kept formatted in its unit ("%.5g %s"). "nan",
// "inf" and numbers beyond the double range are not numbers. A current
// unit that the quantity lacks is replaced by the quantity's default unit.
// Returns RV_OK, RV_NO_NUMBER, RV_UNKNOWN_UNIT or RV_OUT_OF_BOUNDS.
int read_value_with_unit(const ValueDef& row, std::string_view text, std::string& out_text,
                         double& value, int& unit, std::string* refusal = nullptr);

// The value (internal unit) in the unit, formatted "%.5g %s" with the unit's
// symbol. An unknown unit formats in the quantity's first unit.
std::string format_value(double value, const ValueDef& row, int unit);

// The first step of read_value_with_unit: the number of `text` converted to
// the internal unit into `value`, and `unit` as read_value_with_unit sets
// it, without holding the value to any bounds. `unit_name`, when given,
// gets the unit name of the text ("" for a number alone). Returns RV_OK,
// RV_NO_NUMBER (value unchanged) or RV_UNKNOWN_UNIT (converted with the
// current unit).
int parse_value_with_unit(const ValueDef& row, std::string_view text, double& value, int& unit,
                          std::string_view* unit_name = nullptr);

// The unit symbols of a quantity, separated by ", " ("K, °C, °F").
std::string unit_list(int quantity);

// The same with the format "%4.4g\n%s".
std::string format_value_cross(double value, const ValueDef& row, int unit);

// "Apply to all values" (unit_apply.cpp).
// Makes `unit` the default unit of the quantity and switches every value of
// that quantity in every open project to it: process, part and interface
// inputs and outputs, project totals, the diagrams' axes and the isoline
// labels of the matching family. False (nothing changed) for an unknown
// quantity or unit.
bool apply_unit_to_all(int quantity, int unit);

}  // namespace app
