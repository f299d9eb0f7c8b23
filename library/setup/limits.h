// Range checks: the limits of a model kind for a composition or component,
// and tests of states against them (declared in library/library.h).
#pragma once

#include "library/library.h"
