// Residual Helmholtz dispatch: the derivatives of the reduced residual
// Helmholtz energy of one component slot (PHIK) or of a composition (PHIX),
// and the reducing values to form tau = Tred/T and delta = D/Dred with.
#pragma once

namespace lib {

// Evaluations of an equation of state: the calls of PHIK and PHIX that
// reached a model's evaluator since the program started (tests and
// benchmarks count the work of an iteration with it).
extern unsigned long long EOS_EVALUATIONS;

// tau^itau delta^idel d^(itau+idel) alphar / dtau^itau ddelta^idel.
double PHIK(int icomp, int itau, int idel, double tau, double del);
double PHIX(int itau, int idel, double tau, double del, const double x[20]);
void REDK(int icomp, double& tred, double& dred);
// Leaves tred and dred untouched when no mixture model answers for x.
void REDX(const double x[20], double& tred, double& dred);
// True when PHIK reaches an evaluator for the slot's equation-of-state code.
bool residual_model_ready(int icomp);
// The component slot of composition x (0 for a mixture) and its reducing
// temperature and density: the slot's ZRED values, or REDX of the mixture.
// False when they are not positive and finite.
bool reducing_point(const double x[20], int& ic, double& tred, double& dred);

}  // namespace lib
