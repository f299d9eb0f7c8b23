// The flash of a mixture at given pressure with enthalpy, entropy or energy:
// PBFLSH's road for a feed of several components.
#pragma once

#include <string>

namespace lib {

// What PBFLSH has established when it takes the road of a mixture.
struct PbMixtureCall {
    double P, b;
    const double* z;
    std::string ab;                 // "PH", "PS" or "PE"
    double Tc, Pc, Dc;              // the critical point (estimated)
    double tmin, tmax, dmax, pmax;  // the limits of the equations at P
    // The value lies where no saturation is looked for first (above the
    // critical pressure, or above the gas's value at Tc).
    bool single_phase;
};

// PBFLSH's outputs, bound to the caller's arguments.
struct PbOutputs {
    double& T;
    double& D;
    double& Dl;
    double& Dv;
    double* x;
    double* y;
    double& q;
    double& e;
    double& h;
    double& s;
    double& cv;
    double& cp;
    double& w;
    int& ierr;
    std::string& herr;
};

// The state of the mixture at (P, b): a single phase of the hot or
// compressed fluid, else placed by the dew and bubble points at P (each
// state checked for stability), else searched along the isobar through the
// (T, p) flash.  Errors as PBFLSH's (248 where the search fails, 250 where
// the value lies below the lowest fluid state of the isobar).
void pb_mixture(const PbMixtureCall& call, const PbOutputs& out);

// The quality marker of a mixture's single phase at (T, P, D): beyond the
// critical point, liquid or vapour.
double mixture_quality_marker(double T, double P, double D, double Tc, double Pc, double Dc);

}  // namespace lib
