// Empirical critical enhancements of the thermal conductivity: "TK1" (ratio
// of power series times an exponential series), "TK4" (a classical form),
// and the fluid-specific forms of ammonia ("NH3") and methane ("CH4").  The
// enhancement of the "TC2" form ("TK2") is in tc2.cpp.
#pragma once

#include <string>

namespace lib {

void SETTK1(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
void SETTK4(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);

double TCX1CR(int icomp, double T, double D);
double TCX4CR(int icomp, double T, double D);
double TCCNH3(int icomp, double T, double D);
double TCCCH4(int icomp, double T, double D);

}  // namespace lib
