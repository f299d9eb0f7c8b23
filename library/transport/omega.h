// Reduced collision integrals of the dilute-gas transport models: the
// selected model of a component ("CI0", "CI1", "CI2", "NUL") and the fixed
// Lennard-Jones fits, with the loaders of the "CI1" and "CI2" blocks.
#pragma once

#include <string>

#include "library/setup/common.h"

namespace lib {

// Omega of slot icomp at T for the collision energy epsk (K) by the model
// `code`: "CI1", "CI2", "CI0" (the Lennard-Jones (2,2) fit; 1 when epsk is 0),
// anything else 1.
double OMEGA(int icomp, double T, double epsk, const Code& code);
// exp(sum b_k (ln T*)^e_k) of the slot's "CI1" terms; 1 without terms.
double OMEGA1(int icomp, double T, double epsk);
// 1 / sum c_k u^(4-k), u = (epsk/T)^(1/3), of the slot's "CI2" terms.
double OMEGA2(int icomp, double T, double epsk);
// Lennard-Jones Omega(l,s)* at T*: the (1,1) fit for l = s = 1, else (2,2).
double OMEGAS(int l, int s, double tstar);

void SETCI1(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);
void SETCI2(int nread, int k, const std::string& hcas, int& ierr, std::string& herr);

}  // namespace lib
