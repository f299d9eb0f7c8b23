// Older viscosity and conductivity forms: "VS2" (collision-integral dilute
// gas, logarithmic initial density, exponential residual), "VS3" (rational
// dilute and background functions), "TC2" with its enhancement "TK2", "TC3",
// and the reserved code "TC6".
#pragma once

#include <string>

namespace lib {

void SETVS2(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
void SETVS3(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
void SETTC2(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
void SETTC3(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
void SETTC6(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);

double ETA2DG(int icomp, double T);
double ETA2RS(int icomp, double T, double D);
double ETA3DG(int icomp, double T);
double ETA3RS(int icomp, double T, double D);
double TCX2DG(int icomp, double T);
double TCX2BK(int icomp, double T, double D);
double TCX2CR(int icomp, double T, double D);
double TCX3DG(int icomp, double T);
double TCX3BK(int icomp, double T, double D);

}  // namespace lib
