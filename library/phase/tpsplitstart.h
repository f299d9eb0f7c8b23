// Two pieces of the (T, p) flash of a mixture that its roads share: the
// start of a split from the saturation points at T, and the test of a
// split found.
#pragma once

#include "library/phase/tpmix.h"

namespace lib::mix {

// The start of the split from the dew and bubble points at T, at the
// vapour fraction where P lies between their pressures; false when either
// point is not found or P lies outside.  With `full_bubble` a bubble point
// that Newton's method misses (next to the critical point) is searched
// for by SATT.
bool saturation_start(double T, double P, const double z[20], TpResult& r,
                      bool full_bubble = false);

// A split of an unstable feed: not onto one of its phases, and with equal
// fugacities (TPFL2's result jerr, q, Dl, Dv, x, y).
bool split_found(double T, const double z[20], int jerr, double q, double Dl, double Dv,
                 const double x[20], const double y[20]);

}  // namespace lib::mix
