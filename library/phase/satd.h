// Saturation state at given density (public in library/library.h).
#pragma once

#include "library/library.h"
