// The split a quality flash ends on, checked against the vapour fraction
// asked for.
#pragma once

#include <string>

#include "library/phase/satmix.h"

namespace lib::mix {

// The (T, p) flash's errors of a state outside the range (the sums of the
// range checks' flags, 1 to 31), and of a frozen one.
constexpr int kLastRangeError = 31;
constexpr int kFrozenState = 250;

// Molar from mass vapour fraction with the phase compositions.
double molar_quality(double q, const double x[20], const double y[20]);

// Whether two phases are one: densities and each fraction within 1e-6.
bool phases_are_one(double Dl, double Dv, const double x[20], const double y[20]);

// A quality flash's answer that is no split of the vapour fraction asked
// for is refused (219): phases that do not add up to the feed at that
// fraction (two dense phases found as a split of it, which the (T, p)
// flash names the other way round: ammonia + octane at 251 K and q 0.2,
// phases of vapour fraction 0.8 at 811 MPa; propane + R32 at 344 K and
// q 0.02: 0.98), or two phases that are one (the two-phase solver's
// trivial end: carbon dioxide + hydrogen, 90/10, at 6.75 MPa, 291 K for
// every q).
void refuse_no_split_of(const char* routine, bool t_given, double T, double P, double q, int kq,
                        const double z[20], double Dl, double Dv, const double x[20],
                        const double y[20], int& ierr, std::string& herr);

// A mixture's split of vapour fraction q at (T, P) whose Gibbs energy lies
// above the (T, p) flash's state there is no stable state: a third phase
// appears at its pressure, or the split is one of two liquids carried past
// the three-phase line (carbon dioxide + water, 90 % CO2, at 278.6 K and
// q 0.2: a liquid of 88 % CO2 at 3.78 MPa, 633 J/mol above water and a
// vapour of CO2; hexane + water, 90 % hexane, at 345 K and q 0.2: a vapour
// of half water at 227 kPa, supersaturated with it).  Such a split fails
// with 219, naming the state; one that the (T, p) flash finds frozen or
// outside the range of the equations fails with its error (carbon dioxide
// + water at 770 kPa: a liquid of 93 % water at 227 K, 250; at 10 kPa, a
// split at 155 K, far below carbon dioxide's triple point, 1; hexane +
// water, 10 % hexane, at 376 K and q 0.02: a split at 1.5 GPa, 2).  True
// when the split is refused as unstable (219).
bool refuse_unstable_split(const char* routine, double T, double P, const double z[20], double q,
                           double Dl, double Dv, double h, double s, int& ierr, std::string& herr);

// A mixture's bubble or dew point (q 0 or 1) is refused where its feed
// would freeze, as SATT and SATP refuse it (Humid ISO Air at 75 K: a bubble
// point at 62.55 kPa with 1 % of water held in liquid air, which the (T, p)
// flash there refuses).  Checked once the flash's own saturation memory is
// closed: not for a flash that asks on its way, which checks its states.
// `phases`: the point's liquid and vapour.
void refuse_frozen_saturation(const char* routine, double T, double P, double q, const double z[20],
                              const SaturatedPhases& phases, int& ierr, std::string& herr);

}  // namespace lib::mix
