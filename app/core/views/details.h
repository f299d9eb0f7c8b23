// The part and interface details dialogs without a display: the working
// copies they edit (written back by Apply and OK, taken again by Reset),
// what a write-back changes, the composition rows and the dialog height.
#pragma once

#include "app/core/model/records.h"

#include <array>
#include <string>
#include <vector>

namespace app {

// ---------------------------------------------------------------------------
// Part dialog (details.cpp)
// ---------------------------------------------------------------------------

// What the part dialog edits: a copy of the part's inputs, units, options
// and name. The shown inputs follow the copy's choices as the tree's do
// (entry n belongs to option row n; NO_INPUT for a linked heat
// exchanger's outlet temperature).
struct PartDraft {
    std::array<double, NUM_PART_INPUTS> inputs{};
    std::array<int, NUM_PART_INPUTS> units{};
    std::array<int, NUM_PART_INPUTS> shown_inputs{};
    int az_shown_inputs = 0;
    std::array<int, NUM_PART_OPTIONS> options{};
    std::string name;
};
PartDraft copy_of_part(const Part& part);
// The copy's shown inputs from its choices (the part gives the type).
void refresh_shown_inputs(PartDraft& copy, const Part& part);
// Writes the copy into the part; true when anything differed.
bool write_part_copy(Part& part, const PartDraft& copy);

// Groups of the composition display.
enum CompositionGroup : int { CG_INLET = 0, CG_INLET2, CG_OUTLET, CG_FUEL, CG_OXIDIZER };
// The groups a part shows, in order: "Inlet"; "Inlet 2" for a Mixer;
// "Outlet" for all but the Outlet; "Fuel" for combustors (with a fuel);
// "Oxidizer" for the Oxygen Injection Combustor (with an oxidizer).
std::vector<int> composition_groups(const Part& part);
// The group's title ("Inlet", "Inlet 2", "Outlet", "Fuel", "Oxidizer").
const char* composition_group_title(int group);
// One shown component: its short name (the component fluid's name when it
// has none), the value and its text.
struct CompositionRow {
    std::string label;
    double value = 0.0;
    std::string text;
};
// The components above 0 of a group: "Volume" (mass false) shows the mole
// fractions x, "Mass" x M / sum(x M); "Percent" (fraction false) times 100
// as "%6.3f %%", "Fraction" as "%8.7f".
std::vector<CompositionRow> composition_rows(const Part& part, int group, bool mass, bool fraction);

// Height of the part dialog on a screen of this height: 50 less, rounded
// down to a multiple of 50, at most 950.
int part_dialog_height(int screen_height);

// ---------------------------------------------------------------------------
// Interface dialog (details.cpp)
// ---------------------------------------------------------------------------

struct InterfaceCopy {
    std::array<double, NUM_INTERFACE_INPUTS> inputs{};
    std::array<int, NUM_INTERFACE_INPUTS> units{};
    std::array<int, 10> shown_inputs{};
    int az_shown_inputs = 0;
    std::array<int, NUM_INTERFACE_OPTIONS> options{};
    std::string name;
};
InterfaceCopy copy_of_interface(const Interface& itf);
// Entries 0 and 1 of the shown inputs: the inputs the calculation mode and
// the initialization mode enable.
void refresh_shown_inputs(InterfaceCopy& copy);
// Writes the copy into the interface; true when anything differed.
bool write_interface_copy(Interface& itf, const InterfaceCopy& copy);

}  // namespace app
