// The dilute-gas parts of ethylene's viscosity and conductivity of Holland,
// Eaton and Hanley (1983).
//
// Their series in T^(1/3) (nine terms each) turn over below the gas data they
// were fitted to: the viscosity falls from 4.2 uPa s at 130 K to 0.78 at the
// triple point, 103.989 K (an elasticity d ln(eta0)/d ln(T) of 10 there,
// against about 1 for any gas), and the conductivity has a minimum at 112 K
// and rises below it.  Below the temperature at which a series' ratio to the
// kinetic theory of a Lennard-Jones gas is largest (where its slope meets the
// theory's: 158.6 K for the viscosity, 146.7 K for the conductivity) each
// follows that theory, sqrt(T) / Omega(2,2)*(T/(eps/k)), from its value
// there, with eps/k = Tc/1.2593 = 224.21 K (Chung's estimate, also the
// fluid's corresponding-states block's).  Above, the series stand as
// published, and so do the paper's dilute check values (180 K and up).
//
// The correlations' density terms were fitted to the liquid on top of the
// series: the liquid's totals keep them (the paper's check values at 110,
// 130 and 140 K), the gas gets the theory, by a weight exp(-(rho/(rhoc/2))^2)
// of the difference.  Below the junctions no fluid state lies between the
// saturated vapour (rho < 0.007 rhoc) and the liquid (rho > 2.7 rhoc), so
// both are exact to 2e-4 of the difference.
#pragma once

namespace lib::ethylene {

// Dilute-gas viscosity, uP (0.1 uPa s).
double dilute_viscosity(double T);
// Dilute-gas thermal conductivity, mW/(m K).
double dilute_conductivity(double T);
// The first terms of the correlations at density rho (g/cm3): the series
// in the liquid, the dilute gas in the gas.
double viscosity_first_term(double T, double rho);
double conductivity_first_term(double T, double rho);
// The series as published, for the tests.
double viscosity_series(double T);
double conductivity_series(double T);
// The temperatures below which the kinetic theory answers, K.
double viscosity_junction();
double conductivity_junction();

}  // namespace lib::ethylene
