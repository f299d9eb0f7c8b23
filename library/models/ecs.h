// Extended corresponding states: a component without an equation of state of
// its own takes the reduced residual Helmholtz energy of a reference fluid,
// held in slot -i, at a conformal state.  The shape factors f and h map the
// component's temperature and density onto the reference fluid's:
//   tau0 = (T0c / T) f(T, D),   delta0 = D h(T, D) / D0c.
#pragma once

#include <string>

#include "library/setup/common.h"

namespace lib {

// Reads the equation section at the shared line pointer of text slot nread
// into component icomp (1..20) and returns the name of the reference fluid's
// text (its whole line) and that fluid's equation-of-state code.
// ierr 101: no text; 102: a line missing or unreadable; 103: a sum with a
// negative count or more than 4 terms; 104: a critical constant not
// positive; 105: icomp is not a component slot; 106: the reference fluid is
// named with the BWR equation, which the library does not have.
void SETECS(int nread, int icomp, const std::string& hcasno, std::string& hrefnm, Code& hrefmd,
            int& ierr, std::string& herr);

// Shape factor f (FJ) or h (HJ) of component icomp at T (K) and D (mol/L)
// with its derivatives dS/dT, d2S/dT2, dS/dD, d2S/dD2 and the cross
// derivative (always 0: the temperature and density sums are added).  All
// outputs are 0 when T <= 0 or the critical constants of the component or
// of its reference fluid are not positive.
void FJ(int icomp, double T, double D, double& f, double& fT, double& fTT, double& fD, double& fDD,
        double& fTD);
void HJ(int icomp, double T, double D, double& h, double& hT, double& hTT, double& hD, double& hDD,
        double& hTD);

// tau^itau delta^idel d^(itau+idel) alphar / dtau^itau ddelta^idel of
// component icomp, tau = Tc/T, delta = D/Dc with the component's critical
// constants.  Defined for every pair with itau + idel <= 3; (2,2) and
// higher orders return 0.  A conformal state that is not positive, or a
// result that cannot be formed, gives 0; a reference fluid whose equation
// is not a Helmholtz-explicit one gives -9.99e99 for (0,0) and 0 otherwise.
double PHIECS(int icomp, int itau, int idel, double tau, double del);

// The component's critical constants (its reducing values).
void CRTECS(int icomp, double& tc, double& pc, double& dc);

}  // namespace lib
