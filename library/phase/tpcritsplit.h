// The (T, p) flash's split next to a mixture's critical point where every
// trial of the tangent-plane test fell back onto the feed.
#pragma once

#include "library/phase/tpmix.h"

namespace lib::mix {

// The split of feed z (of density D) at (T, P) from phases between the dew
// and bubble points at T: true with it in r where it is an equilibrium of
// two distinct phases whose Gibbs energy lies below the feed's.
bool split_between_saturation_points(double T, double P, const double z[20], double D, TpResult& r);

}  // namespace lib::mix
