// The unit table and the value parser and formatter.
#include "app/core/model/units.h"

#include "app/core/model/bounds.h"
#include "app/core/model/tools.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace app {

namespace {

constexpr double DMAX = std::numeric_limits<double>::max();

// One unit: factor, offset, then the symbol and its aliases.
constexpr Unit u(double factor, double offset, const char* symbol, const char* a1 = nullptr,
                 const char* a2 = nullptr, const char* a3 = nullptr) {
    Unit r;
    r.names[0] = symbol;
    r.names[1] = a1;
    r.names[2] = a2;
    r.names[3] = a3;
    r.offset = offset;
    r.factor = factor;
    return r;
}

constexpr UnitQuantity q(const char* name, double minimum, double maximum, int default_unit,
                         std::initializer_list<Unit> units) {
    UnitQuantity r;
    r.name = name;
    r.minimum = minimum;
    r.maximum = maximum;
    int i = 0;
    for (const Unit& x : units) r.units[i++] = x;
    r.default_unit = default_unit;
    return r;
}

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool valid_quantity(int quantity) { return quantity >= 0 && quantity < NUM_QUANTITIES; }

const Unit& unit_or_first(int quantity, int unit) {
    const UnitQuantity& uq = unitdef[quantity];
    return valid_unit(quantity, unit) ? uq.units[unit] : uq.units[0];
}

std::string format_with(const char* fmt, double value, const ValueDef& row, int unit) {
    if (!valid_quantity(row.quantity)) return std::string();
    int used = valid_unit(row.quantity, unit) ? unit : 0;
    const Unit& un = unitdef[row.quantity].units[used];
    // A value near the double range may overflow in a unit with a large factor.
    double shown = std::clamp(value * un.factor + un.offset, -DMAX, DMAX);
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, shown, un.names[0]);
    return buf;
}

}  // namespace

constinit std::array<UnitQuantity, NUM_QUANTITIES> unitdef = {
    q("Temperature", 0, DMAX, 0,
      {u(1, 0, "K", "kelvin"), u(1, -273.15, "°C", "degc", "celsius"),
       u(1.8, -459.67, "°F", "degf", "fahrenheit")}),
    q("Pressure", 0, DMAX, 3,
      {u(1000, 0, "Pa", "Pascal"), u(1, 0, "kPa", "kiloPascal", "kiloPa"),
       u(10, 0, "mbar", "millibar"), u(0.01, 0, "bar", "bars"),
       u(0.001, 0, "MPa", "megapa", "megapascal"), u(0.1450377, 0, "psi"), u(20.88543, 0, "psf")}),
    q("Power", -DMAX, DMAX, 1,
      {u(1000, 0, "W", "watt"), u(1, 0, "kW", "kWatt", "kiloW", "kiloWatt"),
       u(0.001, 0, "MW", "MWatt", "MegaW", "MegaWatt"), u(859.84524, 0, "kcal/h"),
       u(0.9478171194, 0, "BTU/s", "btus"), u(3412.14163, 0, "BTU/h", "btuh"),
       u(1.3410220896, 0, "hp")}),
    q("Massflow", 0, DMAX, 0,
      {u(1, 0, "kg/s", ""), u(3.6, 0, "t/h"), u(2.20462234, 0, "lb/s"),
       u(132.2773404, 0, "lb/min")}),
    q("Density", 0, DMAX, 0,
      {u(1, 0, "kg/m3"), u(3.6127292e-05, 0, "lb/in3"), u(0.06242796058, 0, "lb/ft3")}),
    q("Specific Energy", -DMAX, DMAX, 0,
      {u(1, 0, "kJ/kg"), u(0.001, 0, "MJ/kg"), u(238.8459, 0, "kcal/kg")}),
    q("Relative Value", 0, 1, 0, {u(1, 0, "-"), u(100, 0, "%")}),
    q("Entropy", -DMAX, DMAX, 0, {u(1, 0, "kJ/kg.K", "kJ/kgK")}),
    q("Ratio GT 1", 1, DMAX, 0, {u(1, 0, "-")}),
    q("Ratio LT 1", 0, 1, 0, {u(1, 0, "-"), u(100, 0, "%")}),
    q("Leakage", -DMAX, DMAX, 0,
      {u(1, 0, "kg/s", ""), u(3.6, 0, "t/h"), u(2.204621, 0, "lb/s"), u(132.2773404, 0, "lb/min")}),
    q("Relative Change", -DMAX, 1, 0, {u(1, 0, "-"), u(100, 0, "%")}),
    q("Temperature Difference", 0, DMAX, 0,
      {u(1, 0, "K", "kelvin"), u(1, 0, "°C", "degc"), u(1.8, 0, "°F", "degf", "fahrenheit")}),
    q("Specific Heat Flux (Cooling)", -DMAX, 0, 0, {u(1, 0, "kJ/kg")}),
    q("Volume Flow", -DMAX, DMAX, 0, {u(1, 0, "Nm^3/h")}),
    q("Specific Volume", 0, DMAX, 0,
      {u(1, 0, "m3/kg"), u(27679.904710267, 0, "in3/lb"), u(16.018463373, 0, "ft3/lb")}),
};

namespace {
// The default units of the table as built, before settings change them.
const std::array<int, NUM_QUANTITIES> builtin_defaults = [] {
    std::array<int, NUM_QUANTITIES> d{};
    for (std::size_t q = 0; q < d.size(); ++q) d[q] = unitdef[q].default_unit;
    return d;
}();
}  // namespace

int builtin_default_unit(int quantity) {
    return valid_quantity(quantity) ? builtin_defaults[static_cast<std::size_t>(quantity)] : 0;
}

const std::array<int, NUM_QUANTITIES> selected_unit = {0, 3, 2, 0, 0, 0, 0, 0,
                                                       0, 0, 0, 0, 0, 0, 0, 0};

int unit_count(int quantity) {
    if (!valid_quantity(quantity)) return 0;
    int n = 0;
    while (n < MAX_UNITS && unitdef[quantity].units[n].names[0] != nullptr) ++n;
    return n;
}

bool valid_unit(int quantity, int unit) { return unit >= 0 && unit < unit_count(quantity); }

const char* unit_symbol(int quantity, int unit) {
    return valid_unit(quantity, unit) ? unitdef[quantity].units[unit].names[0] : "";
}

int find_unit(int quantity, std::string_view name) {
    int n = unit_count(quantity);
    for (int i = 0; i < n; ++i) {
        for (const char* alias : unitdef[quantity].units[i].names) {
            if (alias == nullptr) break;
            if (equal_nocase(alias, name)) return i;
        }
    }
    return -1;
}

bool set_default_unit(int quantity, int unit) {
    if (!valid_unit(quantity, unit)) return false;
    unitdef[quantity].default_unit = unit;
    return true;
}

double to_display(int quantity, int unit, double internal) {
    if (!valid_quantity(quantity)) return internal;
    const Unit& un = unit_or_first(quantity, unit);
    return internal * un.factor + un.offset;
}

double to_internal(int quantity, int unit, double display) {
    if (!valid_quantity(quantity)) return display;
    const Unit& un = unit_or_first(quantity, unit);
    return (display - un.offset) / un.factor;
}

int parse_value_with_unit(const ValueDef& row, std::string_view text, double& value, int& unit,
                          std::string_view* unit_name) {
    const int qn = row.quantity;
    if (unit_name != nullptr) *unit_name = std::string_view();
    if (!valid_quantity(qn)) return RV_NO_NUMBER;
    if (!valid_unit(qn, unit)) unit = unitdef[qn].default_unit;

    // The number: leading blanks, an optional sign, decimal digits with an
    // optional exponent. Special values are not numbers.
    std::size_t i = 0;
    while (i < text.size() && is_space(text[i])) ++i;
    if (i + 1 < text.size() && text[i] == '+' && text[i + 1] != '-') ++i;
    double number = 0.0;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    auto [end, ec] = std::from_chars(first, last, number, std::chars_format::general);
    if (ec != std::errc() || !std::isfinite(number)) return RV_NO_NUMBER;  // "inf", "nan", 1e999

    // The unit name: the rest of the first line, without surrounding blanks.
    std::string_view rest(end, static_cast<std::size_t>(last - end));
    std::size_t b = 0;
    while (b < rest.size() && is_space(rest[b]) && rest[b] != '\n') ++b;
    rest.remove_prefix(b);
    std::size_t nl = rest.find('\n');
    if (nl != std::string_view::npos) rest = rest.substr(0, nl);
    while (!rest.empty() && is_space(rest.back())) rest.remove_suffix(1);

    int status = RV_OK;
    if (!rest.empty()) {
        if (unit_name != nullptr) *unit_name = rest;
        int found = find_unit(qn, rest);
        if (found >= 0)
            unit = found;
        else
            status = RV_UNKNOWN_UNIT;
    }
    value = to_internal(qn, unit, number);
    return status;
}

int read_value_with_unit(const ValueDef& row, std::string_view text, std::string& out_text,
                         double& value, int& unit, std::string* refusal) {
    double internal = 0.0;
    int read_unit = unit;
    int status = parse_value_with_unit(row, text, internal, read_unit);
    if (status == RV_NO_NUMBER) {
        if (valid_quantity(row.quantity)) out_text = format_value(value, row, unit);
        return RV_NO_NUMBER;
    }
    if (std::string why = bounds_problem(row, internal); !why.empty()) {
        if (refusal != nullptr) *refusal = why;
        if (!valid_unit(row.quantity, unit)) unit = unitdef[row.quantity].default_unit;
        out_text = format_value(value, row, unit);
        return RV_OUT_OF_BOUNDS;
    }
    value = internal;
    unit = read_unit;
    out_text = format_value(value, row, unit);
    return status;
}

std::string unit_list(int quantity) {
    std::string out;
    for (int i = 0; i < unit_count(quantity); ++i) {
        if (i > 0) out += ", ";
        out += unit_symbol(quantity, i);
    }
    return out;
}

std::string format_value(double value, const ValueDef& row, int unit) {
    return format_with("%.5g %s", value, row, unit);
}

std::string format_value_cross(double value, const ValueDef& row, int unit) {
    return format_with("%4.4g\n%s", value, row, unit);
}

}  // namespace app
