// Changing a user fluid after it was built ("Modify Fluid"): which
// components the user edits, loading them into the editor's composition,
// and taking the edit over with everything computed for the old
// composition dropped.
#pragma once

#include "app/core/fluids/composition.h"
#include "app/core/model/records.h"

#include <string>
#include <vector>

namespace app {

// Component positions the editor lets the user change: every one, except
// water for humidity types HT_RH_STANDARD and HT_RH_INLET (its fraction
// follows the humidity).
std::vector<int> editable_positions(const Fluid& fluid);

// The editor's composition (the editable components, their mole fractions
// and the mass view) and reference humidity for the fluid.
void load_fluid_edit(const Fluid& fluid, Composition& composition, ReferenceHumidity& reference);

// Takes an edit over: the editable components' fractions (water of types
// 2 and 3 keeps its own), the reference humidity of type 2, then the
// library is set up for the new composition (critical point, limits) and
// the fluid's computed isolines and dome are dropped. Returns "" or why the
// edit was refused (fractions that do not add up to 1, a set-up that
// fails): the fluid is then as it was.
std::string apply_fluid_edit(Fluid& fluid, const Composition& composition,
                             const ReferenceHumidity& reference);

// Drops what was computed for a fluid's composition: its isolines and dome,
// and the library's set-up when it holds this fluid.
void invalidate_fluid(Fluid& fluid);

}  // namespace app
