// Small helpers: the means of the solver and the part models, and the
// comparison of table names.
#pragma once

#include <cstddef>
#include <string_view>

namespace app {

// An index of the records' tables (int throughout the application) as the
// size type of the standard containers that hold them.
inline std::size_t sz(int i) { return static_cast<std::size_t>(i); }

// Arithmetic mean (a + b) / 2.
double aveArith(double a, double b);

// Logarithmic mean (a - b) / (ln a - ln b) of two positive values, to full
// precision also for nearly equal values; two equal values give that value
// (never 0/0). A value that is not positive has no logarithm: the arithmetic
// mean is returned then.
double aveLog(double a, double b);

// True when the two texts are equal but for the case of the letters A to Z
// (names of tables, units and fluids are compared so, and in full).
bool equal_nocase(std::string_view a, std::string_view b);

}  // namespace app
