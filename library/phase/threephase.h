// Whether a density of a mixture lies inside a three-phase region along an
// isotherm, or an enthalpy or entropy along an isobar: where the stable
// state jumps across it between a vapour and a liquid and two liquids.
#pragma once

#include "library/phase/mixflash.h"

namespace lib::mix {

// Where Brent's method closed on a jump of ln D across the target density: the
// states on both sides of it (lo below the target density, hi above).
struct DensityJump {
    bool found = false;
    TpState lo, hi;
};

// Whether the density D of feed z at T lies inside a three-phase region:
// the jump of a search along the isotherm between a vapour and a liquid
// and two liquids (either continued across the three-phase line) is that
// line, whose pressure is where the two splits have the same Gibbs energy;
// the stable states just below and above it are those splits, and each
// split, continued across the narrow band between, stays on its side of D.
// Then the stable density, rising with the pressure, passes D in a jump
// and no state of the isotherm has it (cyclohexane + DMC at 280 K,
// 10.41 mol/L: the vapour and liquid of 0.0063 mol/L and the two liquids
// of 10.476 mol/L at 6.8314 kPa; the second pass's search closed on that
// jump in 66 ms).
bool inside_three_phase(double T, double D, const double z[20], const DensityJump& jump,
                        StateMemo& memo);

// Whether the value b of the enthalpy or entropy (letter 'H' or 'S') of feed
// z at P lies inside the band of a three-phase line: lo and hi are the
// stable states at the ends of a bracket of b along the isobar (lo below
// b, hi above it), two different splits (a vapour and a liquid, two
// liquids: the (T, p) flash's names of them need not tell, next to a
// component's critical point); the line is where they have the same Gibbs
// energy; the stable states just below and above it are those splits, and
// each split, continued across the narrow band between, stays on its side
// of b.  Then the stable value, rising with the temperature, passes b in a
// jump and no state of the isobar has it (carbon dioxide + water 90/10 at 4 MPa:
// the two liquids below 278.558 K, 8.49 kJ/mol, and the gas and water
// above it, 16.92 kJ/mol; the search closed on that jump in 0.3 s).
bool inside_three_phase_band(double P, char letter, double b, const double z[20], const TpState& lo,
                             const TpState& hi, StateMemo& memo);

}  // namespace lib::mix
