// Cut, Copy and Paste of parts: what a copy of a part holds and how a paste
// inserts it. The copy is of the part's settings only: a pasted part is a
// new part with a name of its own, linked where the Insert commands would
// link it.
#pragma once

#include "app/core/model/records.h"
#include "app/core/structure/structure.h"

#include <array>
#include <optional>
#include <string>

namespace app {

// The settings of a copied part: its type, every option and input with the
// unit it is shown in, the units of its results, fuel and oxidizer, steps
// and their spacing, and a pipeline's length factor. No name, links,
// results or state.
struct PartCopy {
    int type = 0;
    std::string name;  // of the part copied, for the user's messages
    std::array<int, NUM_PART_OPTIONS> options{};
    std::array<double, NUM_PART_INPUTS> inputs{};
    std::array<int, NUM_PART_INPUTS> input_units{};
    std::array<int, NUM_PART_OUTPUTS> output_units{};
    Fluid* fuel = nullptr;
    Fluid* oxidizer = nullptr;
    int steps = 0;
    int segmentation = 0;
    // A pipeline's length factor (Part::old_value): without it a pasted
    // pipeline of an old project would pass its stream through unchanged.
    double old_value = 0.0;
};

// Why part `part` (list index) of process `process` cannot be copied, or
// "" when it can: the Inlet and the Outlets, splitters and mixers belong to
// the structure of their process, not to its single parts.
std::string copy_refusal(const Project& project, int process, int part);

// A copy of the part's settings, or nothing with the reason in `refusal`.
std::optional<PartCopy> copy_part(const Project& project, int process, int part,
                                  std::string& refusal);

// Inserts a new part made from the copy after the current part of the
// current process, as the Insert command of its type does (and refusing as
// it does). The copy of a heat exchanger that an interface drove comes as a
// free heat exchanger.
StructureResult paste_part(Project& project, const PartCopy& copy,
                           const StructureChoosers& choosers);

}  // namespace app
