// Quality flashes of mixtures: a saturation point at T that is the other
// one found again.
#pragma once

#include <string>

namespace lib {

// A mixture's saturation point at T (pressure P, densities Dl of the
// liquid, Dv of the vapour) whose liquid is the lighter phase and whose
// pressure is that of the other kind's point is that point found again:
// a dew point that is the bubble point (close to the critical point:
// R152a + isobutane, 30 % R152a, at 391.84 K, both at 3.9875 MPa, the
// vapour of 4.57 mol/L beside an incipient phase of 3.97, where the split
// of q 0.5 lies at 3.967 MPa), or a bubble point that is the dew point
// (methane + ethane, half and half, at 250.49 K, both at 3.015 MPa, a
// "liquid" of 1.98 mol/L beside an incipient phase of 14.8).  It is
// refused (error 128 in ierr, herr), not given as the saturated phase.
// `bubble` says which kind was asked for; nothing changes where ierr is
// set already.
void refuse_other_saturation(bool bubble, double T, const double z[20], double P, double Dl,
                             double Dv, int& ierr, std::string& herr);

}  // namespace lib
