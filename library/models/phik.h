// Residual Helmholtz dispatch: the derivatives of the reduced residual
// Helmholtz energy of one component slot (PHIK) or of a composition (PHIX),
// and the reducing values to form tau = Tred/T and delta = D/Dred with.
#pragma once

namespace lib {

// tau^itau delta^idel d^(itau+idel) alphar / dtau^itau ddelta^idel.
double PHIK(int icomp, int itau, int idel, double tau, double del);
double PHIX(int itau, int idel, double tau, double del, const double x[20]);
void REDK(int icomp, double& tred, double& dred);
// Leaves tred and dred untouched when no mixture model answers for x.
void REDX(const double x[20], double& tred, double& dred);
// True when PHIK reaches an evaluator for the slot's equation-of-state code.
bool residual_model_ready(int icomp);

}  // namespace lib
