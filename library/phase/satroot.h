// The root search shared by the saturation routines at given enthalpy,
// energy or entropy: a property of one phase along the saturation boundary,
// with its exact temperature derivative, and a bracketed Newton-secant
// search for the temperature at which it takes a given value.
#pragma once

namespace lib::satroot {

// Which property: enthalpy, internal energy or entropy.
enum class Prop { kH, kE, kS };

// One point of the boundary of kind k (1 liquid, 2 vapour, 3 melting, 4
// sublimation) at T: the pressure, the density of the phase, the property
// and its derivative along the boundary.  ok false when the boundary could
// not be evaluated there.
struct Point {
    bool ok = false;
    double T = 0, P = 0, D = 0, v = 0, dv = 0;
};
Point boundary(int kind, double T, Prop prop, const double x[20]);

// The temperature of the boundary of kind k where the property equals
// target.  (T0, f0) is a known point (f = property - target) and Tb, if > 0,
// a point on the other side; Tstart the first trial; [Tlo, Thi] the
// temperatures allowed; tol the tolerance of f.  Returns the root point, or
// one with ok false after `passes` passes.
Point search(int kind, Prop prop, double target, const double x[20], double T0, double f0,
             double Tb, double Tstart, double Tlo, double Thi, double tol, int passes = 40);

// The highest temperature below Tc at which the boundary of kind k answers:
// Tc (1 - 1e-6), then ever farther below Tc (the saturation routines may
// give no state within a hair of a critical point).  ok false when none
// answers down to 0.8 Tc.
Point highest(int kind, Prop prop, const double x[20], double Tc);
// The lowest temperature from tmin up, in steps of 5 K below Tc, at which
// it answers.
Point lowest(int kind, Prop prop, const double x[20], double tmin, double Tc);

// The extremum of the property along the boundary of kind k between a and
// b (a < b, where it rises at a and falls at b for a maximum, the reverse
// for a minimum): by the zero of the exact slope where the boundary has one
// (pure fluids), else by golden-section search on the values.
Point extremum(int kind, Prop prop, const double x[20], const Point& a, const Point& b,
               bool maximum);

// The states at the lower limit: the saturated liquid at tmin (density Dl)
// and the first saturated vapour of the feed composition (Tv, Dv): a pure
// fluid's at tmin, a mixture's or a blend's dew point from tmin up in steps
// of 5 K.  False when either cannot be found.
bool lower_states(const double x[20], double tmin, double Tc, double& Dl, double& Tv, double& Dv);

// Where the saturation lines of x end.  They meet at a critical point:
// for a pure fluid that of its equation itself where it is found below the
// stated one (a corresponding-states estimate's lies up to 1.5 K below it),
// else the stated one passed in; true.  Where the equation's own lies above
// the stated one (methanol, r40 ...) the saturation routines give no state
// above the stated one, and the lines end there apart: false, Tc unchanged.
bool boundary_end(const double x[20], double& Tc, double& Pc, double& Dc);

// The end of the line of kind k (1 liquid, 2 vapour): the critical point
// (Tc, Dc) where the lines meet, else the line's highest state below Tc.
Point line_end(int kind, Prop prop, const double x[20], bool meet, double Tc, double Dc);

// The words of FXPNT that SATH, SATE, SATS, EHMAXX and SMAXX fill belong to
// one composition (and selected component): a call for another one clears
// them first.
void own_words(const double x[20]);

}  // namespace lib::satroot
