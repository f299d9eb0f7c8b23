// Viscosity of one component slot by its own model: the dilute-gas part, the
// initial-density coefficient and the residual part, chosen by the slot's
// viscosity code (TRNMOD).
#pragma once

#include <string>

namespace lib {

// eta0 (1 + B D) + eta_r, uPa s.
void ETAK(int icomp, double T, double D, double& eta, int& ierr, std::string& herr);
// The density-dependent part eta0 B D + eta_r (corresponding-states route).
void ETAKB(int icomp, double T, double D, double& eta, int& ierr, std::string& herr);
void ETAK0(int icomp, double T, double& eta0, int& ierr, std::string& herr);
void ETAK1(int icomp, double T, double& B, int& ierr, std::string& herr);
void ETAKR(int icomp, double T, double D, double& etar, int& ierr, std::string& herr);

}  // namespace lib
