// Where the ticks of an axis sit: evenly spaced on a linear axis, on the
// 1-2-3-5-7 ladder of the display unit on a logarithmic (pressure) axis.
#pragma once

#include "app/core/model/records.h"

#include <string>
#include <vector>

namespace app::diagrams {

// Most ticks one axis gets; the list stops there.
inline constexpr int MAX_TICKS = 2000;

// The next tick after v on a logarithmic axis whose unit shows v as
// v * factor: the increment in display units is taken from the ladder
// (0.1 below 0.5, 0.2 below 0.7, 0.3 below 1, 1 below 5, 2 below 7, 3
// below 10, and so on by decades; 1e6 from 1e6 on).
double log_tick_next(double v, double factor);

// The tick values (internal unit) of the axis from its visible start to
// its end: v = start, start + step, ... on a linear axis; the ladder on a
// logarithmic one, whose step is not used. Empty for a reversed or
// non-finite range. The list ends when a step no longer advances (a step
// of 0 or below, or one lost in the magnitude of the values) and after
// MAX_TICKS entries.
std::vector<double> axis_ticks(const Axis& axis, bool logarithmic);

// Longest tick label written with fixed decimals.
inline constexpr int MAX_FIXED_TICK_LABEL = 12;

// The text of a tick label of the display value: `digits` decimals (0 to
// 15), or, when that text would be longer than MAX_FIXED_TICK_LABEL
// characters (a value beyond about 1e10), four significant digits in
// exponent form ("1e+308", "-2.5e+12").
std::string tick_label(double value, int digits);

// What a user is told in the plot area of a diagram that cannot be drawn
// because of its axis ranges ("" when it can): an axis whose start is not
// below its end, a range that is not finite, or a logarithmic axis that
// starts at zero or below. The text names the axis, its start and end in
// the unit shown, and where to set them.
std::string range_hint(const Graph& graph);

}  // namespace app::diagrams
