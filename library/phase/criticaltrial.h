// Trial phases of a feed close to its critical point.  There the phases of
// a split differ from the feed by some 1e-3 in their fractions and lie
// some 1e-6 below its tangent plane (G / (R T)), and the trials of the
// tangent-plane test, started from Wilson's K-values, come back onto the
// feed: the test finds it stable, and the (T, p) flash jumps from the
// liquid to the vapour across a narrow two-phase window (oxygen + argon,
// half and half, at its critical pressure, 4.921 MPa: two phases from
// 151.7728 to 151.7783 K, a single phase taken between 151.7744 and
// 151.7749 K, a jump of 194 J/mol in the enthalpy).
#pragma once

#include "library/phase/stability.h"

namespace lib::mix {

// Whether (T, P) lies close enough to the feed's critical point (Tc, Pc)
// for the trials below.
bool near_critical_point(double T, double P, double Tc, double Pc);

// For a feed z at (T, P) found stable (s): trials from compositions a little
// off the feed on either side along the direction of its components'
// volatilities; where one ends below the plane, s becomes the test of an
// unstable feed with that trial phase (true).
bool critical_trial(double T, double P, const double z[20], Stability& s);

}  // namespace lib::mix
