// The volume-translated Peng-Robinson equation: constants per component,
// the residual Helmholtz derivatives of one component or of a composition
// (mole-fraction mixing rules with k_ij), the Peng-Robinson mode of the
// library, the density roots of the cubic and the k_ij estimates.
#pragma once

#include <array>
#include <string>

#include "library/setup/common.h"

namespace lib {

// WCFPR: per slot the critical pressure (kPa), critical density (mol/L),
// critical temperature (K), molar mass (g/mol), gas constant (J/(mol K)) and
// acentric factor of the equation.
struct WcfprRecord {
    Slots<double> pc, dc, tc, wm, r, acf;
};
extern WcfprRecord WCFPR;
// CONPR: per component 0..20 up to 20 parameters (the first: the volume
// translation c, L/mol) and 1 when the fluid text gave them.
struct ConprRecord {
    std::array<std::array<double, 20>, kMaxComp + 1> p{};
    std::array<int, kMaxComp + 1> given{};
};
extern ConprRecord CONPR;
// PRHSAV: the mixture code and the per-slot codes the Peng-Robinson mode
// replaced (blank: nothing saved).
struct PrhsavRecord {
    Code mix{"   "};
    std::array<Code, kMaxComp + 1> slot{};
};
extern PrhsavRecord PRHSAV;

// Loads the "PRT" section of text slot nread (the slot's equation), its
// parameters only (nread < 0), or copies the component's critical constants
// (nread = 999).  ierr is always 0.
void SETPR(int nread, int icomp, int& ierr, std::string& herr);
// The volume translation of a component whose text gave none.
void SETPRCO(int icomp);
double PHIPR(int icomp, int itau, int idel, double tau, double del);
// itau kCompositionDerivatives: the derivatives of the mixture by the mole
// fractions at the state of (tau, delta) go to PHIDR (entries ax, axd, axt
// and axx) and the result is -1 (0: the state is beyond the equation).
constexpr int kCompositionDerivatives = -2;
double PHIPRX(int itau, int idel, double tau, double del, const double x[20]);
void REDPR(const double x[20], double& tred, double& dred);
void CRTPR(int icomp, double& tc, double& pc, double& dc);
void CRTPRX(const double x[20], double& tc, double& pc, double& dc);

// iflag -1: query (1 while the mixture code is "PR "); 1 or 2: switch the
// mode on; any other value: off, restoring the codes the first switch saved.
void PREOS(int& iflag);
// Densities of the smaller (D1, liquid-like) and larger (D2) compressibility
// root of the cubic at T, P.
void TPRHOPR(double T, double P, const double x[20], double& D1, double& D2);
// Estimate of k_ij of the pair (i, j) from chemical families; ierr -117 when
// the pair has no group entry (k_ij = 0).
void ESTPR(int i, int j, int k, int& ierr, std::string& herr);

}  // namespace lib
