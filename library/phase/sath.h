// Saturation states of given enthalpy, internal energy or entropy, and the
// extremes of those properties along the saturation boundary.
#pragma once

#include <string>

namespace lib {

// The saturation states whose phase enthalpy (energy) equals h (e): nroot
// roots, each with its kind k (1 liquid, 2 vapour, 3 melting, 4
// sublimation), T, P and the density of that phase.  kph 0 all roots, else
// the kind wanted.  Errors 2, 4, 8 (out of range), 160 (no critical point),
// 161/162 (one/both roots not converged: such a root has T = P = D = 0).
void SATH(double h, const double x[20], int kph, int& nroot, int& k1, double& T1, double& P1,
          double& D1, int& k2, double& T2, double& P2, double& D2, int& ierr, std::string& herr);
void SATE(double e, const double x[20], int kph, int& nroot, int& k1, double& T1, double& P1,
          double& D1, int& k2, double& T2, double& P2, double& D2, int& ierr, std::string& herr);
// Up to three saturation states of given entropy.  Errors as SATH, and 1
// when no root of the phase asked for exists.
void SATS(double s, const double x[20], int kph, int& nroot, int& k1, double& T1, double& P1,
          double& D1, int& k2, double& T2, double& P2, double& D2, int& k3, double& T3, double& P3,
          double& D3, int& ierr, std::string& herr);
// Largest saturated-vapour enthalpy (mode 1: energy) and its temperature.
void EHMAXX(const double x[20], int mode, double& vmax, double& Tvmax, int& ierr,
            std::string& herr);
// Extremes of the saturated-vapour entropy: the one nearest the critical
// point (s1, T1), the one nearest the lower limit (s2, T2) and the melting
// side's (s3, T3); a temperature of -1 means none.
void SMAXX(const double x[20], double& s1, double& T1, double& s2, double& T2, double& s3,
           double& T3, int& ierr, std::string& herr);

}  // namespace lib
