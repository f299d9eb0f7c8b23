// A dew point that the other roads of SATT and SATP did not find, from the
// split of the feed just inside the two-phase region.
#pragma once

namespace lib {

// The dew point of feed x at T (at_t, P the estimate's start) or at P (T
// the start): found by Newton's method from the (T, p) flash's split next
// to the vapour, else bracketed between them; false where none is found.
bool dew_from_split(bool at_t, const double x[20], double& T, double& P, double& Dl, double& Dv,
                    double xl[20], double xv[20]);

}  // namespace lib
