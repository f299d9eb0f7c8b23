// The mixture roads of SATT and SATP: Newton's method of SATTP first, then
// a start from Raoult's law followed by successive substitution on the
// incipient composition and a secant iteration on the pressure (SATT) or
// the temperature (SATP).
#pragma once

#include <string>

namespace lib {

// What SATT and SATP know of the mixture when its road begins.
struct MixtureSaturation {
    double Tc = 0, Pc = 0, Dc = 0;  // estimated critical point of the feed
    double dmax = 0;                // upper density limit of the equation
    bool guess = false;             // SATT: P, Dl, Dv, xl, xv hold start values
};

// SATT's road for a mixture at T (kph 1 bubble, 2 dew point).
void satt_mixture(double T, const double x[20], int kph, const MixtureSaturation& m, double& P,
                  double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                  std::string& herr);
// SATP's road for a mixture at P.
void satp_mixture(double P, const double x[20], int kph, const MixtureSaturation& m, double& T,
                  double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                  std::string& herr);

// Error n of `routine` where the liquid xl (density Dl) of a saturation
// point at (T, P) splits in two liquids: the point of one liquid lies where
// two are stable (three phases).  SATT and SATP apply it where the caller
// asks (not inside a flash), TQFLSH and PQFLSH at q = 0 and 1.
void refuse_split_liquid(int n, const char* routine, double T, double P, double Dl,
                         const double xl[20], int& ierr, std::string& herr);

// How many roads of SATT and SATP for a mixture are under way: a point
// asked for by a road's own searches may be refused by its guards against
// recursion, and such a refusal is no answer to remember.
int mixture_roads_under_way();

}  // namespace lib
