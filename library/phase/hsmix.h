// The state of a mixture at given enthalpy (or internal energy) and
// entropy, among its stable states: one phase or two.
#pragma once

#include "library/phase/mixflash.h"

namespace lib::mix {

// The stable state of feed z whose enthalpy (energy: internal energy) is b
// and whose entropy is s, by Newton's method on (T, ln P) from (t0, p0),
// each iterate the stable state there (the (T, p) flash, its splits
// continued).  False when it does not converge.
bool hs_state(double b, double s, const double z[20], bool energy, double t0, double p0,
              TpState& st);

}  // namespace lib::mix
