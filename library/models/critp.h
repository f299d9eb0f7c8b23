// Pure-fluid test, gas constant of a composition, critical point and the
// extreme points of a mixture's phase boundary (public ones in library.h).
#pragma once

#include "library/library.h"

namespace lib {

// The component that x stands for (1..nc), 0 for a mixture.
int ISPURE(const double x[20]);
// The gas constant of a true mixture, J/(mol K): the molar gas constant
// (CODATA 2018).  Each component's equation keeps its own gas constant in
// its reduced form; a mixture's properties are its reduced derivatives times
// this value.
constexpr double kRmixture = 8.314462618;

// Stores the gas constant of x in GCNST: the component's own for a pure
// fluid, kRmixture for a mixture (the fraction-weighted sum of the
// components' own in GERG-2008 mode and under AGA8).
void RMIX(const double x[20]);

}  // namespace lib
