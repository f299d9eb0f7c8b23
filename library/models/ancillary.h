// Ancillary equations of the saturation boundary: vapour pressure (PS),
// liquid pressure of a blend (PL), saturated-liquid (DL) and saturated-vapour
// (DV) density as functions of temperature, with their inverses.
#pragma once

#include "library/library.h"

namespace lib {

// Loaders of one "#PS", "#PL", "#DL" or "#DV" section body of text slot
// nread into component slot icomp (ILINE on the first body line).
void SETPS(int nread, int icomp, int& ierr, std::string& herr);
void SETPL(int nread, int icomp, int& ierr, std::string& herr);
void SETDL(int nread, int icomp, int& ierr, std::string& herr);
void SETDV(int nread, int icomp, int& ierr, std::string& herr);

// Temperature at which the ancillary of the given kind (0 PS, 1 DL, 2 DV,
// 4 PL) for composition x takes the value y (kPa or mol/L).
void SOLVEA(int kind, double y, const double x[20], double& T, int& ierr, std::string& herr);

}  // namespace lib
