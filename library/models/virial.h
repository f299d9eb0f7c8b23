// Virial coefficients and their temperature derivatives (declared in
// library/library.h).
#pragma once

#include "library/library.h"
