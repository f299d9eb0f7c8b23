// Quality flashes: the public routines are declared in library/library.h.
#pragma once

#include "library/library.h"
