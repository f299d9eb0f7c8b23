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

}  // namespace lib::satroot
