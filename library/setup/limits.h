// Range checks: the limits of a model kind for a composition or component,
// and tests of states against them (declared in library/library.h).
#pragma once

#include "library/library.h"

namespace lib {

// How far below LIMITS' lowest temperature LIMITX accepts a mixture x at a
// pressure above 1e-10 kPa (K): 25 where two components' critical
// temperatures lie more than 50 K apart (5 where its reducing temperature
// lies below 200 K), else 0.
double mixture_temperature_allowance(const double x[20]);

// The lowest temperature down to which a flash searches a mixture's states
// along a line (K): LIMITS' lowest temperature tmin less the allowance, as
// LIMITX takes them, but no lower than `floor` (below which a component
// beyond a trace freezes); a pure fluid's is tmin.
double lowest_mixture_search(const double x[20], double tmin, double floor);

// The lowest temperature at which the equation of state of component slot
// k answers (K): its own limit, for water the lowest temperature of its
// melting curves (supercooled liquid down to 251.165 K).
double eos_lowest_temperature(int k);

}  // namespace lib
