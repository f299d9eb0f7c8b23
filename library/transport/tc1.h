// The general thermal-conductivity correlation "TC1": a dilute-gas part that
// is a ratio of power series in reduced temperature (with special rows built
// from the dilute-gas viscosity and the ideal-gas heat capacity) and a
// background part that is a ratio of double power series in reduced
// temperature and density with optional exponential factors.
#pragma once

#include <string>

namespace lib {

void SETTC1(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);

double TCX1DG(int icomp, double T);  // dilute-gas conductivity, W/(m K)
// The same; no_viscosity tells that a row needed the dilute-gas viscosity
// and the slot has no model for it (the value is then not the correlation's).
double tcx1dg_checked(int icomp, double T, bool& no_viscosity);
double TCX1BK(int icomp, double T, double D);  // background conductivity, W/(m K)

}  // namespace lib
