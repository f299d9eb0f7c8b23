// The gas root of a value of enthalpy, entropy or energy along an isotherm
// below a low density, where the gas is nearly ideal.
#pragma once

namespace lib {

// The derivative of the property named by letter ('H', 'S', 'E') with the
// density along the isotherm T at density d.
double isotherm_slope(char letter, double T, double d, const double z[20]);

// The density root (< d) of the value b of the property named by letter at
// T, where the value at d lies below b and rises towards lower densities,
// or above b and falls towards them (an enthalpy above its inversion
// temperature); false where it does neither or b lies beyond the ideal
// gas's value (the enthalpy and energy tend to a limit).
bool dilute_root(char letter, double T, double b, const double z[20], double d, double& root);

}  // namespace lib
