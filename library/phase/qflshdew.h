// Quality flashes of mixtures: a dew point at T that is the bubble point
// found again.
#pragma once

#include <string>

namespace lib {

// A mixture's dew point at T (pressure P, densities Dl, Dv) whose vapour is
// the denser phase and whose pressure is the bubble point's is the bubble
// point found again, no dew point (close to the critical point: R152a +
// isobutane, 30 % R152a, at 391.84 K, both at 3.9875 MPa, the vapour of
// 4.57 mol/L beside an incipient phase of 3.97, where the split of q 0.5
// lies at 3.967 MPa): refused (error 128 in ierr, herr), not given as the
// saturated vapour.  Nothing changes where ierr is set already.
void refuse_dew_as_bubble(double T, const double z[20], double P, double Dl, double Dv, int& ierr,
                          std::string& herr);

}  // namespace lib
