// Ideal-gas Helmholtz model: alpha0(tau, delta) as a sum of logarithmic,
// power, Planck-Einstein and hyperbolic terms in the reduced variables of
// the slot's equation of state.
#pragma once

#include <string>

namespace lib {

// Reads the section body at the shared line pointer of text slot nread into
// component slot icomp.  ierr 1: no text; 2: more than 10 terms; 3: a line
// missing or unreadable.
void SETPH0(int nread, int icomp, const std::string& hcasno, int& ierr, std::string& herr);
// tau^itau delta^idel d^(itau+idel) alpha0 / dtau^itau ddelta^idel at (T, D).
double PH0PH0(int icomp, int itau, int idel, double T, double D);

}  // namespace lib
