// Saturation state at given pressure (SATP): declared with the
// library's public routines.
#pragma once

#include "library/library.h"
