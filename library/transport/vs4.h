// Friction-theory viscosity ("VS4"): a dilute-gas term plus friction terms in
// the repulsive and attractive pressures of the fluid's equation of state;
// hydrogen and para-hydrogen with a hard-sphere repulsive pressure.
#pragma once

#include <string>

namespace lib {

void SETVS4(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
double ETA4DG(int icomp, double T);            // uPa s
double ETA4RS(int icomp, double T, double D);  // uPa s

}  // namespace lib
