// Small numerical routines of the library: sign-keeping cube root, vertex of
// a parabola, Newton interpolation, real roots of a cubic, interpolating
// polynomial, and the golden-section search along density.
#pragma once

#include "library/library.h"
