// Density of one phase at given temperature and pressure (TPRHO): declared with the
// library's public routines.
#pragma once

#include "library/library.h"
