// A mixture's saturation point at given pressure from those at given
// temperature, where the roads at given pressure fail close to the
// critical point.
#pragma once

namespace lib {

// The bubble (kph kBubblePoint) or dew point of feed x at pressure P, from
// SATT's point at 0.95 of the estimated critical temperature Tc: where that
// point lies below P, marched to along the line at given pressure; where
// above, the temperature at which SATT's point has pressure P, bracketed in
// steps down the line and narrowed by Brent's method.  False where neither
// reaches a point.
bool satp_by_satt(double P, const double x[20], int kph, double Tc, double& T, double& Dl,
                  double& Dv, double xl[20], double xv[20]);

}  // namespace lib
