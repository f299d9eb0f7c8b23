// Heat capacities along the saturation line of one component (CSATK, DPTSATK, CV2PK): declared with
// the library's public routines.
#pragma once

#include "library/library.h"
