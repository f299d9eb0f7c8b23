// Extended corresponding states transport: viscosity and thermal
// conductivity of a fluid or mixture from a reference fluid's correlations
// at the conformal state of equal residual Helmholtz energy and
// compressibility factor, with shape functions and kinetic-theory dilute-gas
// terms.
#pragma once

#include <string>

#include "library/setup/common.h"

namespace lib {

// Viscosity (uPa s) and conductivity (W/(m K)) of composition x at (T, D).
// Markers -9999990 for what was not computed; warnings -1 (outside the
// model's limits), -48, -58, -59; error 55 without a corresponding-states
// block or reference fluid; error 56 for a mixture without its mixture
// model.
void TRNECS(double T, double D, const double x[20], double& eta, double& tcx, int& ierr,
            std::string& herr);

// Conformal state of slot `icomp`'s equation of state with residual
// Helmholtz energy `alphar` and compressibility `Z`; T0, D0 start values in,
// results out; warning -58 when it is not found.
void CONFTD(int icomp, double alphar, double Z, double& T0, double& D0, int& ierr,
            std::string& herr);

// Shape functions of the viscosity (PSI) and conductivity (CHI) at the
// fluid's reduced T and D, and the internal-energy factor FINT.
double PSI(int icomp, double Tr, double Dr);
double CHI(int icomp, double Tr, double Dr);
double FINT(int icomp, double T);
// Kinetic-theory dilute-gas viscosity of the slot's Lennard-Jones values
// (its corresponding-states block's), uPa s.
double ETA0DG(int icomp, double T);

// The slot of component i's corresponding-states reference fluid: 0 for a
// single fluid; in a mixture -i, or the fixed reference slot of the fluid
// its block names when -i holds another one.
int transport_reference(int i);

// True when slot k has a corresponding-states block loaded.
bool ecs_block_loaded(int k);

}  // namespace lib
