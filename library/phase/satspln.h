// The traced phase boundary of a mixture (SATSPLN) and the start values the
// saturation solvers take from it.
#pragma once

#include <memory>
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
class BoundaryTrace;

// The trace of SATSPLN spread over several calls, for a caller that must
// not wait for all of it (the cricondentherm cache inside the flashes):
// each resume() spends about `slice` equation-of-state evaluations at most
// (the point under way is finished).  Between calls the splines of the
// caller may be set; the caller keeps them (each call sets SATSPL and MAXTP
// for the trace).
class SlicedTrace {
public:
    explicit SlicedTrace(const double x[20]);
    ~SlicedTrace();
    SlicedTrace(const SlicedTrace&) = delete;
    SlicedTrace& operator=(const SlicedTrace&) = delete;
    // True once the trace has ended: whole (the splines set, ierr 0) or
    // failed (ierr > 0, as SATSPLN's); false while it goes on.
    bool resume(unsigned long long slice, int& ierr, std::string& herr);
    // Ends an unfinished trace without splines (error 2).
    void give_up(int& ierr, std::string& herr);

private:
    std::unique_ptr<BoundaryTrace> t;
};

// Whether the splines are set for composition x.
bool splines_for(const double x[20]);
// The highest temperature of the traced boundary (the cricondentherm), when
// the trace is whole: from dew points through the critical point to bubble
// points, the temperature falling again at its end, without gaps (no two
// points more than 1 % apart in T).  False otherwise.
bool traced_tmax(double& tmax);
// The highest pressure of a whole traced boundary (its cricondenbar), when
// the splines locate it, no two points near it lie more than 5 % apart in
// P and both ends lie well below it.  False otherwise.
bool traced_pmax(double& pmax);

}  // namespace lib
