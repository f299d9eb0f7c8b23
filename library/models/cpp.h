// Ideal-gas heat-capacity model: cp0(T) as a sum of power, Planck-Einstein
// and hyperbolic terms, its two temperature integrals and the reduced
// ideal-gas Helmholtz energy formed from them.
#pragma once

#include <string>

namespace lib {

// Reads the section body at the shared line pointer of text slot nread into
// component slot icomp.  ierr 1: no text; 2: more than 20 terms; 3: a line
// missing or unreadable.
void SETCPP(int nread, int icomp, const std::string& hcasno, int& ierr, std::string& herr);
double CP0CPP(int icomp, double T);  // cp0, J/(mol K)
double CPICPP(int icomp, double T);  // integral of cp0 dT from the reference temperature, J/mol
double CPTCPP(int icomp,
              double T);  // integral of cp0/T dT from the reference temperature, J/(mol K)
// tau^itau delta^idel d^(itau+idel) alpha0 / dtau^itau ddelta^idel.
double PH0CPP(int icomp, int itau, int idel, double T, double D);

// Reference point that the integrals start from: the slot's reference state,
// or 298.15 K and 1 mol/L while none has been fixed for the slot.
double cpp_tref(int icomp);
double cpp_dref(int icomp);

}  // namespace lib
