// Where a fluid's own correlation ends inside the range of its equation of
// state, the fluid's corresponding-states block answers, scaled by the
// ratio of the two at the edge of the correlation's range, so that the value
// does not jump there.
//
// Two kinds of edge: a temperature limit of the correlation's block (r152a's
// viscosity below 240 K), and the published upper pressure of a correlation
// whose block repeats the equation's wider limit (the hydrogen correlations:
// viscosity to 200 MPa, conductivity to 100 MPa, against the equation's 2
// GPa, where their density polynomials grow without bound: 1.96e8 uPa s and
// 57 W/(m K) at 300 K).  The edge state of (T, D) at pressure P is the state
// at (T, edge pressure) of the same phase, or beyond a temperature edge the
// gas at (edge temperature, P) and the saturated liquid at the edge
// temperature (r152a's correlation rises steeply with pressure at 240 K, to
// 9.4 times the corresponding-states value at 58 MPa, a factor that a
// liquid at the same pressure would carry to the triple point: 1.3e5 uPa s
// at 160 K; with the saturated liquid's, 0.925, the saturation line is
// continuous and the compressed liquid at 240 K keeps a step).
#pragma once

namespace lib::handover {

enum Property { kViscosity = 0, kConductivity = 1 };

// The published upper pressure (kPa) of slot k's correlation of property p
// where it lies below its block's limit; infinity elsewhere.
double published_pmax(Property p, int k);

// The ratio correlation / corresponding-states value at the edge state of
// (T, D) of slot k, composition x (its unit vector) for the edge temperature Te (T itself for a
// pressure edge) and edge pressure Pe (0: the pressure of (T, D)).  False (factor 1) where the edge
// state or either value cannot be formed.
bool edge_factor(Property p, int k, const double x[20], double T, double D, double Te, double Pe,
                 double& factor);

// The corresponding-states value of property p of slot k at (T, D) times
// the edge factor; false where the block gives no value.
bool scaled_ecs(Property p, int k, const double x[20], double T, double D, double Te, double Pe,
                double& value);

}  // namespace lib::handover
