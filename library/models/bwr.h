// The 32-term modified Benedict-Webb-Rubin equation of state (model code
// "BWR"): loading of a BWR section, the pressure-explicit evaluators in
// physical units and the reduced residual Helmholtz derivatives.
#pragma once

#include <array>
#include <string>

#include "library/setup/common.h"

namespace lib {

// WCFBWR: 42 values per slot (index k - 1 for the k of the equation's
// record): b1..b32 (bar, L, mol, K), Pc (bar), Dc (mol/L), Tc (K), the
// equation's gas constant (L bar/(mol K)), triple-point pressure (kPa) and
// density (mol/L), lower temperature limit (K), gamma of the exponential
// (mol/L), upper temperature limit (K), upper pressure limit (kPa).
constexpr int kBwrValues = 42;
struct WcfbwrRecord {
    Slots<std::array<double, kBwrValues>> k;
};
extern WcfbwrRecord WCFBWR;

// Reads the BWR section at the shared line pointer of text slot nread into
// component slot icomp.  nread <= 0: ierr 1 (no built-in coefficient sets).
// The consistency checks of the section are warnings passed to ERRMSG only:
// the loader then returns ierr 0.
void SETBWR(int nread, int icomp, const std::string& hcas, int& ierr, std::string& herr);

// Physical-unit evaluators (T in K, D in mol/L): pressure (kPa), its density
// derivatives (kPa L/mol, kPa L^2/mol^2), its temperature derivative (kPa/K),
// the residual Helmholtz energy (J/mol) and its temperature derivatives.
double PBWR(int icomp, double T, double D);
double DPDBWR(int icomp, double T, double D);
double D2PBWR(int icomp, double T, double D);
double DPTBWR(int icomp, double T, double D);
double ABWR(int icomp, double T, double D);
double DABWR(int icomp, double T, double D);
double D2ABWR(int icomp, double T, double D);

// tau^itau delta^idel d^(itau+idel) alphar / dtau^itau ddelta^idel with
// alphar = Ar / (R T), R the equation's own gas constant; every order up to
// the third and (2,2) are exact, any other order returns 0.
double PHIBWR(int icomp, int itau, int idel, double tau, double del);
// Critical point of the slot's equation: Tc (K), Pc (kPa), Dc (mol/L).
void CRTBWR(int icomp, double& tc, double& pc, double& dc);

}  // namespace lib
