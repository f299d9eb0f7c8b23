// Saturation state at given temperature (SATT): declared with the
// library's public routines.
#pragma once

#include "library/library.h"
