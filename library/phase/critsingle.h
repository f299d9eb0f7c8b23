// The single phase a flash keeps next to a mixture's critical point.
#pragma once

namespace lib::mix {

// Whether the single phase (T, D) of feed z is the state a flash may return:
// the stability test keeps it; next to the mixture's critical point, where
// the test cannot tell a split whose Gibbs energy lies below the feed's by
// rounding only, the (T, p) flash at its pressure (which runs the test
// itself) keeps it (every flash gives the state the (T, p) flash gives).
bool single_phase_kept(double T, double D, const double z[20]);
// Whether the (T, p) flash splits feed z at the pressure of the single
// phase (T, D) next to the critical point (false elsewhere): a road with a
// stability test of its own asks this in addition.
bool split_near_critical_point(double T, double D, const double z[20]);
// Whether (T, P) lies in that neighbourhood of the model's critical point
// (Tc, Pc), which holds the equation's.
bool within_critical_neighbourhood(double T, double P, double Tc, double Pc);

}  // namespace lib::mix
