// Mixture state at a given vapour fraction (SATGV) with its fugacity
// routine (LGPHI) and the phase compositions from K-values (GETXY).
#pragma once

#include <string>

namespace lib {

// Given property of SATGV (ityp).
constexpr int kGivenPressure = 0;
constexpr int kGivenTemperature = 1;
constexpr int kGivenEntropy = 5;
constexpr int kGivenDensity = 6;
// Formulations of SATGV (kform).
constexpr int kPressureForm = 1;
constexpr int kDensityForm = 2;

// Root selectors kept between calls of SATGV: liquid, vapour, mixture
// (0 the more stable root, 1 liquid-like, 2 vapour-like).
struct GvcomRecord {
    int liquid = 0, vapour = 0, mixture = 0;
};
extern GvcomRecord GVCOM;
// Iteration counter of the current SATGV call.
struct GvtempRecord {
    int iterations = 0;
};
extern GvtempRecord GVTEMP;

// The two phases of feed z at molar vapour fraction vf with one more given
// property (ityp: pressure, temperature, entropy spec or density spec);
// T, P, Dl, Dv, xl, xv: start values in, results out.  Errors 71-77, 80-82,
// 99; on an error xl and xv are those passed in.
void SATGV(double& T, double& P, const double z[20], double vf, double spec, int kform, int ityp,
           int kguess, double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
           std::string& herr);

// Fugacity data of one phase: mode 1 ln phi_i (FUGCOF), 2 at T and P and 3
// at T and D (P out) ln(phi_i P / 1 MPa) from the composition derivatives;
// kph in the root wanted (1 liquid, 2 vapour, 0 the more stable), out the
// phase class (1 liquid-like, 2 vapour-like).
void LGPHI(int mode, int& kph, double T, double& D, double& P, const double x[20], double lnf[20],
           double& dPdT, double& dPdD, double& dDdT, double& cp, int& ierr, std::string& herr);

// Liquid x and vapour y of feed z at vapour fraction vf from ln K.
void GETXY(const double z[20], double vf, const double lnK[20], double K[20], double x[20],
           double y[20]);

}  // namespace lib
