// The bounds of every input value, one table for all who take a value: the
// project tree, the dialogs, the file reader and the writer. A value
// outside them is refused with the reason, and the value it would have
// replaced is kept; nothing is moved to a bound.
#pragma once

#include "app/core/model/records.h"

#include <string>

namespace app {

// The inputs of a row allowed, in its quantity's internal unit: from
// `lower` to `upper`, each bound itself allowed unless it is open.
struct InputBounds {
    double lower = 0.0;
    double upper = 0.0;
    bool lower_open = false;
    bool upper_open = false;
    const char* below = "";  // why a value below is refused
    const char* above = "";  // why a value above is refused
};

// The bounds of an input value of the row (process, part or interface
// inputs): its quantity's range narrowed by what makes physical sense for
// that value (a temperature above absolute zero, an efficiency above 0, a
// relative pressure loss below 1 ...).
InputBounds input_bounds(const ValueDef& row);

// Why the value (internal unit) is no input of the row: the reason, such as
// "a temperature must be above absolute zero"; "" when it is one.
std::string bounds_problem(const ValueDef& row, double value);

}  // namespace app
