// Fluid-specific thermal-conductivity correlations ("TC0"): the block names
// the correlation by a code (HCMOD) and supplies limits, reducing values and
// groups of term rows; TCX0HC returns the correlation without the critical
// enhancement that the block's pointer adds.
#pragma once

#include <string>

namespace lib {

void SETTC0(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
// W/(m K); error 39 for an unknown code.
double TCX0HC(int icomp, double T, double D, int& ierr, std::string& herr);

double TCXETY(int icomp, double T, double D);
double TCXR23(int icomp, double T, double D);
double TCXD2O(int icomp, double T, double D);
double TCXH2O(int icomp, double T, double D);
double TCXHE(int icomp, double T, double D);
double TCXH2(int icomp, double T, double D);  // tc0h2.cpp

}  // namespace lib
