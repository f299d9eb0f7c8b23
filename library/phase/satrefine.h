// Newton's refinement of a mixture's saturation point found by a slower
// road: the successive substitution of the Raoult road stops once the
// incipient composition moves by less than 1e-6, which next to a critical
// point leaves the phases' fugacities 1e-6 apart and the point 1e-4 K off.
#pragma once

namespace lib::mix {

// The largest |ln(f_liquid / f_vapour)| over the components present in z of
// the phases (T, Dl, xl) and (T, Dv, xv); infinity where the fugacities
// cannot be formed.
double fugacity_mismatch(double T, double Dl, double Dv, const double xl[20], const double xv[20],
                         const double z[20]);

// Newton's method of SATTP (question k: kBubbleAtT .. kDewAtP) for feed z
// from the state given, without the fall-back roads of SATTP; true with its
// point (a liquid denser than the vapour) in the arguments, else false with
// the arguments unchanged.
bool saturation_newton_from(int k, const double z[20], double& T, double& P, double& Dl, double& Dv,
                            double xl[20], double xv[20]);
// The same from SATTP's start estimates at the given T (k kBubbleAtT,
// kDewAtT) or P.
bool saturation_newton_estimated(int k, const double z[20], double& T, double& P, double& Dl,
                                 double& Dv, double xl[20], double xv[20]);

// A saturation point of feed z whose phases are not at equal fugacities
// (to kEqualFugacity) refined by Newton's method from itself; the refined
// point is taken where it lies within kRefineReach of the given one in its
// free variable (T for k kBubbleAtP, kDewAtP; P otherwise) and is closer
// to equilibrium.  True where the point (now) meets the tolerance.
bool refine_saturation(int k, const double z[20], double& T, double& P, double& Dl, double& Dv,
                       double xl[20], double xv[20]);

}  // namespace lib::mix
