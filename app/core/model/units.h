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

// Sets the default unit of a quantity; false (nothing changed) when the
// quantity or unit does not exist.
bool set_default_unit(int quantity, int unit);

// display = internal * factor + offset, and back. An unknown unit converts
// with the quantity's first unit (the internal one).
double to_display(int quantity, int unit, double internal);
double to_internal(int quantity, int unit, double display);

// Results of read_value_with_unit.
inline constexpr int RV_OK = 0;
inline constexpr int RV_NO_NUMBER = -1;     // text without a number: value and unit unchanged
inline constexpr int RV_UNKNOWN_UNIT = -2;  // unit name the quantity lacks: current unit kept
inline constexpr int RV_HELD = -3;          // value beyond the bounds: held to the bound

// Parses `text`, a number optionally followed by a unit name, as a value of
// `row`'s quantity. With a unit of the quantity (symbol or alias, ignoring
// case) `unit` becomes that unit; a number alone is read in the current
// `unit`; an unknown unit name keeps the current unit and converts with it.
// The number is converted to the internal unit, held to the quantity's
// bounds and stored in `value`; `out_text` gets the value formatted in the
// unit ("%.5g %s"). "nan", "inf" and numbers beyond the double range are
// not numbers. A current unit that the quantity lacks is replaced by the
// quantity's default unit. Returns RV_OK or, when several apply, the first
// of RV_NO_NUMBER, RV_UNKNOWN_UNIT, RV_HELD.
int read_value_with_unit(const ValueDef& row, std::string_view text, std::string& out_text,
                         double& value, int& unit);

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

// Holds a value (internal unit) to its quantity's bounds: RV_OK, or RV_HELD
// when it was moved to a bound.
int hold_to_bounds(const ValueDef& row, double& value);

// Why an input value (internal unit) of the row makes no physical sense,
// whatever the bounds of its quantity: a temperature at or below absolute
// zero, a pressure, pressure ratio or efficiency that is not positive, a
// negative flow, leakage, loss or difference, a relative pressure loss of
// 1 or more. "" when it is a possible value.
std::string physical_problem(const ValueDef& row, double value);

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
