// The density flashes of a mixture (TDFLSH at given T, PDFLSH at given P).
#pragma once

#include <string>

#include "library/phase/tpmix.h"

namespace lib {

// The state of mixture z at (T, D): P and the phases; error 226 when even
// the search along the isotherm fails (250 where the (T, p) flash refuses
// the feed at its own pressure at (T, D) as frozen).
void td_mixture(double T, double D, const double z[20], double Tc, double Pc, double Dc,
                TpResult& r, double& P, int& ierr, std::string& herr);
// The state of mixture z at (P, D): T and the phases.
void pd_mixture(double P, double D, const double z[20], double Tc, double Pc, double Dc,
                TpResult& r, double& T, int& ierr, std::string& herr);

// The state of mixture z at density D with enthalpy, entropy or energy b
// (letter 'H', 'S', 'E'): T, P and the phases, searched from t_start (0:
// from the critical temperature Tc alone).
void db_mixture(double D, char letter, double b, const double z[20], double Tc, double Pc,
                double Dc, double t_start, TpResult& r, double& T, double& P, int& ierr,
                std::string& herr);

}  // namespace lib
