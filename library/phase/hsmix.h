// The state of a mixture at given enthalpy (or internal energy) and
// entropy, among its stable states: one phase or two.
#pragma once

#include "library/phase/mixflash.h"

namespace lib::mix {

// The stable state of feed z whose enthalpy (energy: internal energy) is b
// and whose entropy is s, by Newton's method on (T, ln P) from (t0, p0),
// each iterate the stable state there (the (T, p) flash, its splits
// continued).  False when it does not converge; `last` (if given) receives
// the last iterate either way.
// With `continue_splits` false every iterate is the (T, p) flash's own.
bool hs_state(double b, double s, const double z[20], bool energy, double t0, double p0,
              TpState& st, TpState* last = nullptr, bool continue_splits = true);

// The same state found along the line of constant b: there the entropy
// falls as the pressure rises (ds = -v dP / T at constant enthalpy), so
// the flash at given pressure and b, bracketed in ln P from p0 and narrowed
// by regula falsi, meets s at one pressure; Newton's method above then
// takes the last digits from there.  For the states where that method
// alone does not converge: a start far outside the range of a component
// (helium + butane, whose critical point lies at 17 K), or a road through
// the compressed liquid, where h and s are nearly dependent (dh = T ds +
// v dP) and the steps crawl.  False when no such state is found.
bool hs_along_isenthalp(double b, double s, const double z[20], bool energy, double p0,
                        TpState& st);

// The same state found along the line of constant entropy: at each
// pressure the temperature of entropy s (which rises with T at constant P,
// through either phase boundary), and between pressures the enthalpy
// (energy) bracketed in ln P and narrowed by regula falsi.  For the states
// whose enthalpy (energy) and entropy hardly depend on the pressure apart
// from the temperature (two liquids at a few kPa, where de = T ds - P dv
// and dv is a liquid's): Newton's method on (T, ln P) takes nearly
// singular steps there, and the flash at given pressure costs tens of
// milliseconds a call.  Each flash here continues the split before
// (Tracker); the state taken is checked by a fresh (T, p) flash.  t0 and
// p0 start it.  False when no such state is found.
bool hs_along_isentrope(double b, double s, const double z[20], bool energy, double t0, double p0,
                        TpState& st);

// The two-phase state of b and s within the band of an azeotrope
// (flash::kAzeotropeBand), where the (T, p) flash cannot tell the vapour
// fraction and the roads above, which rest on it, do not converge: as for a
// pure fluid, the pressure at which the vapour fractions of b and of s
// between the bubble and the dew point agree, by the secant method in ln P
// from p0; the phases there on the line between those points
// (flash::azeotropic_split).  False where that pressure lies outside such a
// band, or the state found does not meet b and s.
bool hs_in_azeotrope_band(double b, double s, const double z[20], bool energy, double p0,
                          TpState& st);

}  // namespace lib::mix
