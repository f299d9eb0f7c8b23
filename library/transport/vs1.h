// The general viscosity correlation "VS1": a dilute-gas term on a collision
// integral plus empirical terms, an initial-density (second viscosity
// virial) coefficient and a residual of polynomial, rational and exponential
// groups with an optional close-packed density; and "VS6", which has no
// implementation.
#pragma once

#include <string>

namespace lib {

void SETVS1(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
void SETVS6(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);

double ETA1DG(int icomp, double T);            // dilute-gas viscosity, uPa s
double ETA1B2(int icomp, double T);            // initial-density coefficient, L/mol
double ETA1RS(int icomp, double T, double D);  // residual viscosity, uPa s

}  // namespace lib
