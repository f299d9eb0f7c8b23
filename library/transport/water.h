// The critical parts of water's transport correlations (IAPWS 2008 viscosity
// and IAPWS 2011 conductivity): the correlation length, the viscosity's
// critical factor and the conductivity's critical enhancement.  Each takes
// the slot that holds water (a component, or a reference fluid), never slot 1
// by assumption.
#pragma once

namespace lib {

// Correlation length xi (m) of the water slot icomp at (T, D).
double XI_FUN(double T, double D, int icomp);
// The viscosity's critical factor exp(0.068 Y(xi)).
double ETA_C2(double xi);
// The conductivity's critical enhancement (W/(m K)) of the water slot icomp
// with cutoff qD (1/m).
double TCCR_2010(int icomp, double T, double D, double qD);

}  // namespace lib
