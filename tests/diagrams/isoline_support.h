// Helpers of the isoline tests: a state flashed back from its (p, h), one
// line of a fluid computed alone, and working fluids by name (built-in,
// library fluids, user mixtures of given components).
#pragma once

#include "app/core/model/records.h"

#include <string>
#include <vector>

namespace isotest {

using namespace app;

// Relative difference of a from b.
double rel(double a, double b);

// A point flashed back from its (p, h): T and rho (and the quality, when
// given) within 1e-6 relative; the text says what differs. The quality
// found goes to q_found. Two phases of a mixture found a hair from its
// bubble point (q below 1e-6), or at a few pascals where the vapour is a
// millionth as dense as the liquid, are placed to 1e-4 in their overall
// density: the least vapour changes it (the blend's bubble point at 200 K
// came back with q = 8.5e-10 and a density 1.5e-6 lower, its 2 kg/m3 line
// at 108.5 K and 0.12 Pa with q = 3.3e-6, 2.8e-6 higher).
std::string flash_back(Fluid& f, double p, double h, double T, double rho, double q = -1,
                       double* q_found = nullptr);

// One line of a fluid computed alone: every other position marked done.
const std::vector<IsoPoint>& only_line(Fluid& f, int family, double position);

// The line of a fluid at a position, added to its family when it is none
// of the defaults.
const std::vector<IsoPoint>& line_at(Fluid& f, int family, double position);

// A working fluid by name; a library fluid that is no built-in one (such
// as "r32") as a pure fluid of the Pure Fluids group, its defaults those of
// nitrogen, appended after the built-in fluids; components with their mole
// fractions ("Hydrogen 0.5, Water 0.5") as a user mixture of the general
// kind, as a fluid-definition file defines it.
Fluid* fluid_named(const char* name);

// A flue gas of 16 % water.
inline constexpr const char* FLUE_GAS =
    "Nitrogen 0.72, Carbon dioxide 0.09, Water 0.16, Oxygen 0.02, Argon 0.01";

}  // namespace isotest
