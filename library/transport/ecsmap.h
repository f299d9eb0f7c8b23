// Pieces of the corresponding-states transport route shared by the pure
// fluid and the mixture: the mapping of a state onto a reference fluid, the
// Lennard-Jones estimates and the background terms of a component against
// its own reference fluid.
#pragma once

#include <string>

namespace lib {

// Conformal ratios of a state: f = T/T0, h = D0/D, with the conformal state
// (T0, D0) of the reference slot and the critical-ratio start values.
struct EcsMap {
    double T0 = 0.0, D0 = 0.0, f = 1.0, h = 1.0, f_start = 1.0, h_start = 1.0;
    bool solved = false;  // the conformal solver ran
};

// Maps a state (T, D; residual Helmholtz energy alphar and compressibility
// Z; critical Tc, Dc of the fluid or mixture) onto slot `ref`: the critical
// ratios in the dilute gas, blended into the solved conformal ratios as
// |alphar| + |Z - 1| rises; the solved ratios lose their weight towards a
// fold of the conformal equations and towards the end of the reach of the
// reference's models, so that nothing steps where the solution ends, and a
// solve that fails leaves the critical ratios; its -58 stands only when f
// or h (blended, before fading) moved more than 10 % from their start
// values or the start temperature is below 1.
void map_onto(int ref, double T, double D, double alphar, double Z, double tc, double dc, EcsMap& m,
              int& ierr, std::string& herr);

// The conformal state of slot ref with the residual values (alphar, Z), by
// steps from the start (T0, D0) (where CONFTD does not converge); false
// when a step fails.
bool conformal_by_steps(int ref, double alphar, double Z, double& T0, double& D0);

// Whether a conformal temperature T0 (K) of slot icomp is within reach of
// its models (at most 2.2 times their upper temperature).
bool conformal_temperature_ok(int icomp, double T0);
// T0 as a share of that reach (1 at its end).
double conformal_temperature_share(int icomp, double T0);

// The reference slot's Lennard-Jones sigma (nm) and eps/k (K).
void reference_lj(int ref, double& sigma, double& epsk);
// Lennard-Jones values of slot i by its flag (0 critical ratios against
// ref, 2 conformal ratios f, h, 1 its own), stored in the slot.
void estimate_lj(int i, int ref, double f, double h);

// True when slot `ref` can serve as a reference fluid: an equation of state
// and viscosity and conductivity models of its own.
bool reference_ready(int ref);

// Background viscosity and conductivity of component i at (T, D) by its
// own corresponding-states mapping against slot -i (PTRNEC).
void PTRNEC(int i, double T, double D, double& etabk, double& tcxbk, int& ierr, std::string& herr);
double ETABKP(int i, double T, double D, int& ierr, std::string& herr);

// The corresponding-states route of a mixture (x holds more than one
// component).
void trnecs_mixture(double T, double D, const double x[20], double& eta, double& tcx, int& ierr,
                    std::string& herr);

}  // namespace lib
