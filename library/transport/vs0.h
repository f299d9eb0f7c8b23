// Fluid-specific viscosity correlations ("VS0"): the block names the
// correlation by a pointer (HCMOD) and may supply limits, reducing values and
// coefficients; ETA0HC returns the correlation's total viscosity.
#pragma once

#include <string>

namespace lib {

void SETVS0(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
// Total viscosity (uPa s) by the slot's pointer; error 49 for an unknown one.
double ETA0HC(int icomp, double T, double D, int& ierr, std::string& herr);

double ETAH2O(int icomp, double T, double D);  // water form (water, heavy water)
double ETAR23(int icomp, double T, double D);
double ETASF6(int icomp, double T, double D);
double ETAETY(int icomp, double T, double D);
double ETANEO(int icomp, double T, double D);
double ETAMEO(int icomp, double T, double D);
double ETAHE(int icomp, double T, double D);
// Hydrogen forms (vs0h2.cpp).
double ETAH2(int icomp, double T, double D);
double ETAD2(int icomp, double T, double D);
double ETAH2QLX(int icomp, double T, double D);
double DILV(int icomp, double T);
double EXVDIL(double D, double T);
double EXCESV(int icomp, double D, double T);
double DELV(int icomp, double D1, double T1, double D2, double T2);

}  // namespace lib
