// Dilute-gas viscosity of a mixture by first-order kinetic theory.
#pragma once

#include <string>

namespace lib {

// uPa s; error 59 (and 0) when the kinetic-theory matrix is singular or a
// pair has no collision energy.
double ETAMIX(double T, const double x[20], int& ierr, std::string& herr);

// Lennard-Jones sigma (nm) and eps/k (K) of slot i: its corresponding-states
// block's when loaded, else its viscosity block's.
void lj_of(int i, double& sigma, double& epsk);

}  // namespace lib
