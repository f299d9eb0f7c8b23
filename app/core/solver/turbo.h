// Turbo machines: Compressor, Pump, Expander and Turbine.
//
// The model follows a polytropic change of state step by step between the
// inlet pressure and the outlet pressure (the pressure ratio in use of the
// part), with real-gas exponents from the property library, and takes the
// water that condenses from a humid working fluid out of the stream. It uses
// the part's efficiency in use, which calc_part sets (for Expander and
// Turbine the reciprocal of the efficiency input). Each returns 1 finished
// or 5 failed, with the failure text stored in the part.
#pragma once

#include "app/core/model/records.h"

namespace app {

// By the option "Efficiency": isentropic or polytropic; a pressure ratio of
// exactly 1 passes the inlet state through.
int calcTurbo(Part& part);
// The stepwise model with the efficiency in use as the polytropic efficiency.
int calcTurbo_polytropic(Part& part);
// Finds the polytropic efficiency that gives the isentropic efficiency in
// use, by repeated runs of the polytropic model.
int calcTurbo_isentropic(Part& part);

// Whether the inlet temperature found again from the inlet's pressure and
// enthalpy, T_found, is the one known (from the part before), T_known: the
// model goes on only then. Always when no temperature is known.
bool turbo_inlet_agrees(double T_found, double T_known);

}  // namespace app
