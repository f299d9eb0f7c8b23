// Shared records of the equations of state and property routines.  Each model
// adds its coefficient and cache records here.
#pragma once

#include "library/setup/common.h"

namespace lib {

// Gas constant of the current composition, J/(mol K).
struct GcnstRecord {
    double r = 8.314472;
};
extern GcnstRecord GCNST;

// Reducing values of each slot's equation of state.
struct ZredRecord {
    Slots<double> tred;  // K
    Slots<double> dred;  // mol/L
};
extern ZredRecord ZRED;

// Limits of each slot's equation of state.
struct EoslimRecord {
    Slots<double> tmin, tmax, pmax, dmax;  // K, K, kPa, mol/L
};
extern EoslimRecord EOSLIM;

}  // namespace lib
