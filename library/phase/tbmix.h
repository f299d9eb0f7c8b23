// The searches of a mixture's flash at given temperature (TBFLSH's road for
// a feed of several components) that need none of its state: splits below a
// pressure, two liquids below a dense single phase, the stable state of a
// value along the isotherm.
#pragma once

#include "library/phase/mixflash.h"

namespace lib::mix {

// Whether a split of the (T, p) flash below the pressure pb has less of
// the property `letter` than b (its value need not fall monotonically from
// the dew point's to the bubble point's).
bool split_below_has_less(double T, char letter, double b, const double z[20], double pb);

// Whether the feed's liquid of density D at (T, P) splits in two at a lower
// pressure: a liquid of one component with traces of the others lies below
// the tangent plane of the feed's liquid there (a sufficient test, far
// cheaper than the full one).  Dc: the feed's critical density.
bool liquid_splits_below(double T, const double z[20], double P, double D, double Dc);

// The feed's dew pressure at T where it is found below P, else the pressure
// of the gas at the density d_floor (mol/L).
double dew_pressure_below(double T, const double z[20], double P, double d_floor);

// Whether the (T, p) flash's state at a dew pressure pdew found at T is a
// split clearly short of that dew point: the dew point of a vapour beside a
// liquid that splits again, above a three-phase line, which bounds no
// stable vapour (the vapour and liquid of the feed lie below the line).
bool dew_point_among_splits(double T, double pdew, const double z[20]);

// The stable state of the target along the isotherm between plo and phi
// (on_isotherm, with its root, max_fresh and f0).  With `check`, a root on
// a continued split is kept where the (T, p) flash at its pressure has its
// value; else the search goes on from that flash's state beyond it, a
// bounded number of times.
bool search_isotherm(double T, const Target& target, const double z[20], double plo, double f0,
                     double phi, int root, int max_fresh, TpState& st, bool check);

}  // namespace lib::mix
