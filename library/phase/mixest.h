// Start estimates of mixture saturation and of the two-phase split: a
// K-value model of ideal mixing on generalised vapour pressures (PTEST,
// SATEST, SAT0EST) and Raoult's law (SATTEST, SATPEST).  They read only each
// component's critical temperature, critical pressure and acentric factor.
#pragma once

#include <string>

namespace lib {

// Modes of PTEST.
constexpr int kBubblePressure = 1;    // res = sum z p
constexpr int kDewPressure = 2;       // res = 1 / sum z / p
constexpr int kBubbleResidual = 3;    // res = 1 - P / sum z p
constexpr int kFractionResidual = 4;  // res = 1 - sum z / (q K + 1 - q)
constexpr int kIncipientVapour = 5;   // y = z K (normalised)
constexpr int kPhaseLiquid = 6;       // y = z / (q K + 1 - q) (normalised)

// The K-value model at T, P (vapour fraction q) for feed z, with the
// components' critical temperatures, pressures and acentric factors (slots
// 1..nc in elements 0..nc-1).  T <= 0 leaves res and y untouched.
void PTEST(int mode, double T, double P, double q, const double z[20], const double Tc[20],
           const double Pc[20], const double acf[20], double& res, double y[20], int& ierr,
           std::string& herr);
// Estimate of a bubble (k 1, 3) or dew point (k 2, 4) at given T (k 1, 2: P
// out) or P (k 3, 4: T out), with the incipient composition in xv (bubble)
// or xl (dew); the other phase is the feed.  Error 1 (no text) when the
// pressure is not positive for a temperature estimate or Newton's method
// does not converge.
void SATEST(int k, double& T, double& P, const double x[20], double xl[20], double xv[20],
            int& ierr, std::string& herr);
// Phase compositions of the split at given T and P; outside the estimated
// two-phase region xl = x and xv = x / 2.  Error 1 when the vapour-fraction
// iteration fails.
void SAT0EST(double T, double P, const double x[20], double xl[20], double xv[20], int& ierr,
             std::string& herr);
// Raoult's law at given T: pressure and incipient composition y of the
// bubble (kph 1) or dew point.
void SATTEST(double T, const double x[20], int kph, double& P, double y[20], int& ierr,
             std::string& herr);
// Raoult's law at given P: temperature and incipient composition; warning
// -144 when its iteration does not converge.
void SATPEST(double P, const double x[20], int kph, double& T, double y[20], int& ierr,
             std::string& herr);

}  // namespace lib
