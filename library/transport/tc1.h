// The general thermal-conductivity correlation "TC1": a dilute-gas part that
// is a ratio of power series in reduced temperature (with special rows built
// from the dilute-gas viscosity and the ideal-gas heat capacity) and a
// background part that is a ratio of double power series in reduced
// temperature and density with optional exponential factors.
#pragma once

#include <string>

namespace lib {

void SETTC1(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);

double TCX1DG(int icomp, double T);            // dilute-gas conductivity, W/(m K)
double TCX1BK(int icomp, double T, double D);  // background conductivity, W/(m K)

}  // namespace lib
