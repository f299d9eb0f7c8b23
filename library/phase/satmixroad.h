// The Raoult roads of SATT and SATP for a mixture, where Newton's method
// (SATTP) from the estimates fails: a start from Raoult's law followed by
// successive substitution on the incipient composition and a secant
// iteration on the pressure (SATT) or the temperature (SATP).
#pragma once

#include <string>

#include "library/phase/satmix.h"

namespace lib {

// SATT's road: the pressure P at T of the point of kph of feed x.
void pressure_road(double T, const double x[20], int kph, const MixtureSaturation& m, double& P,
                   double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                   std::string& herr);
// SATP's road: the temperature T at P.
void temperature_road(double P, const double x[20], int kph, const MixtureSaturation& m, double& T,
                      double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                      std::string& herr);

}  // namespace lib
