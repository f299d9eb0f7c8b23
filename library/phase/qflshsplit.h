// The split a quality flash ends on, checked against the vapour fraction
// asked for.
#pragma once

#include <string>

namespace lib::mix {

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

}  // namespace lib::mix
