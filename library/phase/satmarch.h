// A mixture's saturation point close to its critical point reached along
// its own line.  There Newton's method of SATTP from the start estimates
// falls onto the trivial solution (both phases the feed): R404A's bubble
// point at 344 K, 1.3 K below its true critical point, ended on two phases
// of 8.46 and 8.44 mol/L at 5.4 MPa, where the point has 6.41 and 3.62 mol/L
// at 3.64 MPa.  From a point of the same line farther from the critical
// point, each next point started from the ones before converges.
#pragma once

namespace lib::mix {

// Whether a saturation point (liquid Dl, xl beside vapour Dv, xv) is no
// point of the line asked for: its liquid is not the denser phase by mass
// (the other line's point), or it is the trivial solution.
bool not_this_line(double Dl, double Dv, const double xl[20], const double xv[20]);

// The saturation point of feed z (k kBubbleAtT .. kDewAtP of SATTP) at the
// temperature (k kBubbleAtT, kDewAtT) or pressure (kBubbleAtP, kDewAtP)
// `target`, marched to from a point of the line found below it by Newton's
// method from the start estimates.  True with the point (two distinct
// phases, the liquid the denser) in the arguments; false with them
// unchanged where no point of the line below leads to it (beyond the end of
// the line: a bubble point above the true critical temperature).
bool saturation_by_march(int k, const double z[20], double target, double& T, double& P, double& Dl,
                         double& Dv, double xl[20], double xv[20]);

// The same march from a given point (T, P, Dl, Dv, xl, xv) of the line to
// `target`; the point is overwritten with the one found (true) or left
// unchanged (false).  (SATT's points up to the top of a dew line carry on at
// given pressure beyond it, where the line turns back in temperature.)
bool saturation_march_from(int k, const double z[20], double target, double& T, double& P,
                           double& Dl, double& Dv, double xl[20], double xv[20]);

}  // namespace lib::mix
