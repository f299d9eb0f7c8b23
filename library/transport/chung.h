// The Chung estimation method for viscosity ("VS5") and thermal conductivity
// ("TC5"), driven by sigma, eps/k, the acentric factor, the reduced dipole
// moment and the association factor.
#pragma once

#include <string>

namespace lib {

void SETVS5(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
void SETTC5(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
double ETA5DG(int icomp, double T);
double ETA5RS(int icomp, double T, double D);
double TCX5DG(int icomp, double T);
double TCX5BK(int icomp, double T, double D);

}  // namespace lib
