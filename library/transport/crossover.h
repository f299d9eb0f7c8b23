// Critical enhancement of the thermal conductivity by the simplified
// crossover model: "TK3" with the terms of a component's conductivity block,
// and TCXM1C for pointer "TK6" and for the corresponding-states route of
// pure fluids and mixtures, with its default terms.
#pragma once

#include <string>

namespace lib {

void SETTK3(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
void SETTK6(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);

// Enhancement of slot icomp by its "TK3" terms, W/(m K).
double TCX3CR(int icomp, double T, double D);
// The same; no_viscosity tells that the enhancement was needed but the
// slot has no viscosity (by its own model or the corresponding-states
// route), so that 0 was returned without being the enhancement.
double tcx3cr_checked(int icomp, double T, double D, bool& no_viscosity);
// Enhancement of composition x, W/(m K); warning -60 exactly at a pure
// fluid's critical point (the value is still computed).
double TCXM1C(const double x[20], double T, double D, int& ierr, std::string& herr);

}  // namespace lib
