// The bounds of a property along the limits of the equation, kept per
// property letter.
#pragma once

namespace lib {

// Bounds of the property along the limits of the equation.
struct Bounds {
    double tmin = 0, tmax = 0;
    double bmin = 0, bmax = 0;
    double bcrit = 0;  // the property at the critical point
    double hgas = 0;   // the enthalpy of the ideal gas at the critical temperature
    bool ok = false;
};

// Liquid density at (T, 100 kPa), or 0 when there is no liquid root.
double liquid_at_100kpa(double T, const double z[20]);

// The bounds of the property `letter` ('H', 'S', 'E') of composition z
// (icomp its pure component, else 0) between tmin and tmax up to pmax, with
// the property at the critical point (Tc, Pc, Dc) and the ideal gas's
// enthalpy at Tc; ok false where no liquid or gas root places them.  Kept
// and found again while the fluid, its limits, equations and reference
// state stay the same.
Bounds cached_bounds(char letter, int icomp, const double z[20], double tmin, double tmax,
                     double pmax, double Tc, double Pc, double Dc);

}  // namespace lib
