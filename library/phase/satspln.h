// The traced phase boundary of a mixture (SATSPLN) and the start values the
// saturation solvers take from it.
#pragma once

#include <string>

namespace lib {

// Start values of SATTP from the splines of composition x (kph as SATTP's,
// 1..4 or negative).  False, with nothing changed, when no splines of x
// exist or the root lies on the wrong side of the boundary.
bool spline_start(int kph, const double x[20], double& T, double& P, double& Dl, double& Dv,
                  double xl[20], double xv[20]);
// Start values of SATGV at vapour fraction vf (0 or 1) with the property of
// ityp given (as T, P, spec); nothing changes without splines.
void spline_start_at_fraction(double vf, int ityp, double spec, double& T, double& P, double& Dl,
                              double& Dv, double xl[20], double xv[20]);
// SATSPLN within a budget of equation-of-state evaluations: a trace that
// would spend more ends without splines (error 2), for a caller that must
// not wait for it (the cricondentherm cache inside a flash).
void trace_within(const double x[20], unsigned long long budget, int& ierr, std::string& herr);

// Whether the splines are set for composition x.
bool splines_for(const double x[20]);
// The highest temperature of the traced boundary (the cricondentherm), when
// the trace is whole: from dew points through the critical point to bubble
// points, the temperature falling again at its end, without gaps (no two
// points more than 1 % apart in T).  False otherwise.
bool traced_tmax(double& tmax);

}  // namespace lib
