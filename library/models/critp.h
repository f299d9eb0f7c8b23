// Pure-fluid test, gas constant of a composition, critical point and the
// extreme points of a mixture's phase boundary (public ones in library.h).
#pragma once

#include "library/library.h"

namespace lib {

// The component that x stands for (1..nc), 0 for a mixture.
int ISPURE(const double x[20]);
// Stores the gas constant of x in GCNST.
void RMIX(const double x[20]);

}  // namespace lib
