// Pressure and its derivatives with respect to density and temperature at
// given (T, D, x) (declared in library/library.h).
#pragma once

#include "library/library.h"
