// The QUI equation of state: loading of a QUI section and the reduced
// residual Helmholtz energy with its derivatives.
#pragma once

#include <array>
#include <string>

#include "library/setup/common.h"

namespace lib {

constexpr int kQuiTerms = 56;
// WNTQUI: the five group counts of each slot; WCFQUI: 180 values per slot
// (index k - 1): N_j (1..56), t_j (57..112), d_j (113..168, kept, unused),
// reducing density and temperature, critical pressure, density and
// temperature, molar mass, gas constant, triple-point pressure and density,
// lower and upper temperature limit, upper pressure limit.
struct WntquiRecord {
    Slots<std::array<int, 5>> c;
};
extern WntquiRecord WNTQUI;
struct WcfquiRecord {
    Slots<std::array<double, 180>> k;
};
extern WcfquiRecord WCFQUI;

// Reads the QUI section at the shared line pointer of text slot nread into
// slot icomp.  ierr 1: no text or no CAS number; 2: more than 56 terms.
void SETQUI(int nread, int icomp, const std::string& hcas, int& ierr, std::string& herr);
// tau^itau delta^idel d^(itau+idel) alphar/dtau^itau ddelta^idel for itau,
// idel 0..3 (all exact); 0 for del <= 1e-10, tau <= 0 or other orders.
double PHIQUI(int icomp, int itau, int idel, double tau, double del);
void REDQUI(int icomp, double& tred, double& dred);
void CRTQUI(int icomp, double& tc, double& pc, double& dc);

}  // namespace lib
