// The multi-fluid mixture model (HMX): reduced residual Helmholtz energy of
// a mixture as the fraction-weighted sum of its components' residual parts
// at the mixture's reduced state plus a departure function per binary pair,
// the reducing functions with their composition derivatives, and an
// estimate of the critical point.
#pragma once

#include <string>

#include "library/models/fracderiv.h"
#include "library/models/hmxrecords.h"

namespace lib {

// tau^itau delta^idel d^(itau+idel) alphar / dtau^itau ddelta^idel of the
// current mixture at composition x.
double PHIHMX(int itau, int idel, double tau, double del, const double x[20]);
// The departure contribution of pair (i, j), i < j (1e20 for a pair whose
// model number is out of range).
double PHIMIX(int i, int j, int itau, int idel, double tau, double del, const double x[20]);
// F_ij alphar_ij of pair (i, j): the weighted departure function without
// its fraction factor x_i x_j (0 for "TR1", whose function is not
// bilinear in the fractions, and for pairs without one).
double hmx_pair_term(int i, int j, int itau, int idel, double tau, double del);
// Adds the derivatives of the ammonia + water ("TR1") departure function by
// the ammonia fraction, at constant tau and delta, to f: ax, axd, axt and
// (with second) axx of the ammonia entry.  The function depends on that
// fraction alone, so the water entries take nothing.
void tr1_fraction_derivatives(double tau, double del, const double x[20], bool second,
                              FractionDerivatives& f);
// Reducing temperature (K) and density (mol/L) of composition x.
void REDHMX(const double x[20], double& tred, double& dred);
// ix = 0: Tred and Dred; 1: dTred/dx_i and dVred/dx_i (Vred = 1/Dred);
// 2: the second derivatives by x_i; 11: the mixed derivatives by x_i, x_j
// (fractions taken as independent).  Errors 190 (unknown rule, ix = 0) and
// 191 (no derivatives for the rule, ix > 0; both outputs 0).
void RDXHMX(int ix, int i, int j, const double x[20], double& tred, double& dred, int& ierr,
            std::string& herr);
// Estimated critical temperature (K), pressure (kPa) and density (mol/L).
void CRTHMX(const double x[20], double& tc, double& pc, double& dc, int& ierr, std::string& herr);
// Forgets the critical-point estimates CRTHMX keeps for recent compositions
// (a new set-up, new mixing parameters).
void forget_critical_estimates();

// Gradient and Hessian of Tred and Vred = 1/Dred by the mole fractions
// (taken as independent) of the components present (x_i > 0); entries of
// absent components are 0.  False (with error 191 in ierr/herr) when a
// present pair has a rule without composition derivatives.
struct ReducingDerivatives {
    double tr = 0, vr = 0;
    std::array<double, kMaxComp> dt{}, dv{};
    std::array<std::array<double, kMaxComp>, kMaxComp> dtt{}, dvv{};
};
bool reducing_derivatives(const double x[20], ReducingDerivatives& r, int& ierr, std::string& herr);
// Whether reducing_derivatives answers for x (no message formed): false for
// a present pair whose rule has none, and in the Peng-Robinson mode.
bool reducing_derivatives_exist(const double x[20]);

// The model's own bookkeeping, called by the set-up and by SETKTV: forget the
// cached terms of one model number (or of all), and derive the per-pair
// constants of the reducing functions and the list of pairs with a departure
// function after the pair records changed.
void hmx_forget_model(int number);
void hmx_forget_all();
void hmx_prepare();

}  // namespace lib
