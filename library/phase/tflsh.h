// Flashes at given temperature: the public routines are declared in
// library/library.h; they hand a pair code to the general solvers.
#pragma once

#include "library/library.h"
