// Melting (solid-liquid) and sublimation (solid-vapour) lines: pressure at
// given temperature and, by inversion, temperature at given pressure.
#pragma once

#include "library/library.h"

namespace lib {

// Loaders of one "#MLT" or "#SBL" section body of text slot nread into
// component slot icomp (ILINE on the first body line).
void SETMLT(int nread, int icomp, int& ierr, std::string& herr);
void SETSBL(int nread, int icomp, int& ierr, std::string& herr);

// Temperature at which the melting (kind 1) or sublimation (kind 2) line of
// composition x reaches the pressure P.
void SOLVEM(int kind, double P, const double x[20], double& T, int& ierr, std::string& herr);

// The upper temperature limit of the melting line of slot icomp, K, or 0
// when the slot has no melting line or its line states none.
double melting_line_tmax(int icomp);

// MELTT's melting pressure without its messages: false where MELTT reports
// an error (the range checks ask at every flash and need no text).
bool melting_pressure(double T, const double x[20], double& P);

// Melting pressure of the two-branch (parahydrogen) form of slot icomp, kPa.
void MLTPH2(int icomp, double T, double& P);

}  // namespace lib
