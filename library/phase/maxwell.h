// Saturation of one component by the equal-area construction (MAXWELL): declared with the
// library's public routines.
#pragma once

#include "library/library.h"
