// Ideal-gas part of the properties: dispatch to the heat-capacity ("CP..")
// or Helmholtz ("PH..") model of each component, mole-fraction sums and the
// ideal mixing term.
#pragma once

namespace lib {

double CP0(double T, const double x[20]);  // cp0, J/(mol K)
double CPI(double T, const double x[20]);  // int cp0 dT, J/mol
double CPT(double T, const double x[20]);  // int cp0/T dT, J/(mol K)
double PHI0(int itau, int idel, double T, double D, const double x[20]);
double CP0K(int icomp, double T);
double PHI0K(int icomp, int itau, int idel, double T, double D);
// Component icomp's reduced ideal-gas part as it enters a mixture: with its
// own gas constant, at the state reduced by its critical point (times
// R_icomp T it is the component's molar ideal-gas Helmholtz energy there).
double PHI0XK(int icomp, int itau, int idel, double T, double D);

}  // namespace lib
