// Helmholtz-explicit equation of state: loading of an equation section and
// evaluation of the reduced residual Helmholtz energy and its derivatives.
#pragma once

#include <string>

namespace lib {

// Reads the equation section at the shared line pointer of text slot nread
// into component slot icomp.  ierr 1: no text; 2: more terms than the tables
// hold; 3: a line missing or unreadable.
void SETFEQ(int nread, int icomp, const std::string& hcas, int& ierr, std::string& herr);
// Builds the slot's lists of distinct tau exponents, delta exponents and
// (l, gamma) pairs.
void SETEXP(int icomp);
// tau^itau delta^idel d^(itau+idel) alphar / dtau^itau ddelta^idel of slot
// icomp; defined for (0,0) (0,1) (0,2) (0,3) (1,0) (2,0) (3,0) (1,1) (1,2)
// (2,1) (2,2); every other combination returns 0.
double PHIFEQ(int icomp, int itau, int idel, double tau, double del);
void REDFEQ(int icomp, double& tred, double& dred);
void CRTFEQ(int icomp, double& tc, double& pc, double& dc);

}  // namespace lib
