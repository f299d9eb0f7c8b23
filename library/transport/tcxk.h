// Thermal conductivity of one component slot by its own model: dilute-gas,
// background and critical-enhancement parts, chosen by the slot's
// conductivity code (TRNMOD) and enhancement pointer (CREMOD set 0).
#pragma once

#include <string>

namespace lib {

// dilute + background + enhancement, W/(m K).
void TCXK(int icomp, double T, double D, double& tcx, int& ierr, std::string& herr);
void TCXK0(int icomp, double T, double& tcx0, int& ierr, std::string& herr);
void TCXKB(int icomp, double T, double D, double& tcxb, int& ierr, std::string& herr);
void TCXKC(int icomp, double T, double D, double& tcxc, int& ierr, std::string& herr);

// The background term as the slot's model gives it, without the dense-
// liquid continuation that TCXKB applies (dense.h).
void conductivity_background(int icomp, double T, double D, double& tcxb, int& ierr,
                             std::string& herr);

}  // namespace lib
