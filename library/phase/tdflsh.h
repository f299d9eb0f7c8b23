// Flashes at given temperature and density and at given pressure and
// density: the public routines are declared in library/library.h.
#pragma once

#include "library/library.h"
