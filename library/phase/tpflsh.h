// Flash at given temperature and pressure, and its two-phase split.
#pragma once

#include <string>

#include "library/library.h"

namespace lib {

// Two-phase split at given T and P of a mixture: liquid and vapour densities
// and compositions (start values in, results out) and the vapour fraction q.
void TPFL2(double T, double P, const double z[20], double& Dl, double& Dv, double x[20],
           double y[20], double& q, int& ierr, std::string& herr);

// TPFL2 for a search that takes a split as a trial value: a split that is
// no equilibrium (see below) comes back with ierr 0 and equilibrium false.
void split_trial(double T, double P, const double z[20], double& Dl, double& Dv, double x[20],
                 double y[20], double& q, bool& equilibrium, int& ierr, std::string& herr);

// Whether a phase of composition c and density D lies inside its
// equations' densities, up to kBeyondLimit times their limit (water's
// equation extrapolated to 197 K has a root of 225 mol/L, three times its
// limit, of an enthalpy of -9.5e7 J/mol; compressed liquid butane at
// 138 K, 20 MPa lies just above its equation's limit).
constexpr double kBeyondLimit = 1.5;
bool within_densities(const double c[20], double D);

// Whether a split of feed z at T is an equilibrium: the fugacities of each
// component of z in the two phases (at their own densities) agree within
// 1e-7 relative, and the phases add up to the feed within 1e-7.  Close to a
// critical point the successive substitution stops at a loosened tolerance
// with fugacities 1e-4..1e-2 apart and the balance off by up to 7e-4; a
// converged split agrees to 1e-9 or better.  fl and fv, where given, are the
// fugacities of the phases at those densities (flash::dilute_fugacities),
// computed already.
bool split_is_equilibrium(double T, const double z[20], double q, double Dl, double Dv,
                          const double x[20], const double y[20], const double* fl = nullptr,
                          const double* fv = nullptr);

// The message (error 219) of a split at (T, P) that is no equilibrium.
std::string unequal_fugacities(double T, double P);
// TPFLSH's message 219 of a split that did not converge at (T, P), for the
// reason given.
std::string split_not_converged(double T, double P, const std::string& why);

}  // namespace lib
