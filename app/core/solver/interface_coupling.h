// Interfaces: two heat exchangers of two processes coupled so that the heat
// leaving the hot side's part enters the cold side's part. The solver runs
// calc_interface once per sweep for every interface not yet converged.
#pragma once

#include "app/core/model/records.h"

namespace app {

// Runs of the hot side that may meet undefined inlet values while its
// predecessor is not finished, before the interface gives up.
inline constexpr int INTERFACE_HOT_RETRIES = 10;
// Runs after which an interface that has not settled is taken as converged
// (with a warning naming it).
inline constexpr int INTERFACE_MAX_RUNS = 100;

// One run: both heat exchangers recalculated from their inlets, one side
// fixed by the calculation mode and the other given the matching heat
// flux, then kept apart by the minimum temperature difference. 1 converged
// (both parts finished), 7 still iterating, 2 to be tried again later
// (nothing changed), 5 failed (reported).
int calc_interface(Project& project, Interface& itf);

// Whether the interface settled before in the running calculation and was
// opened again because the inlets of its heat exchangers moved after (the
// solver's sweeps): its messages were given when it first settled.
bool interface_reopened(const Interface& itf);

}  // namespace app
