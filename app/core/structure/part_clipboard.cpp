// Copy and Paste of parts (Cut is a copy followed by the Delete command).
#include "app/core/structure/part_clipboard.h"

#include "app/core/model/tools.h"
#include "app/core/structure/interfaces.h"
#include "app/core/structure/tree_model.h"

namespace app {

namespace {

// The "Outlet Temperature" choice of a free heat exchanger made new.
constexpr int FREE_OUTLET_TEMPERATURE = 0;

const Part* part_at(const Project& project, int process, int part) {
    if (process < 0 || process >= project.az_processes) return nullptr;
    const Process* p = project.processes[sz(process)];
    if (p == nullptr || part < 0 || part >= p->az_parts) return nullptr;
    return p->parts[sz(part)];
}

bool structural(int type) {
    return type == INLET || type == OUTLET || type == SPLITTER || type == MIXER;
}

// The copy's settings given to the part just inserted.
void take_settings(Part& part, const PartCopy& copy) {
    part.options = copy.options;
    part.inputs = copy.inputs;
    part.input_units = copy.input_units;
    part.output_units = copy.output_units;
    if (copy.fuel != nullptr) part.fuel = copy.fuel;
    if (copy.oxidizer != nullptr) part.oxidizer = copy.oxidizer;
    part.steps = copy.steps;
    part.segmentation = copy.segmentation;
    part.old_value = copy.old_value;
    if (part.type == HEAT_EXCHANGER &&
        part.options[OPT_OUTLET_TEMPERATURE] == DETERMINED_BY_INTERFACE)
        part.options[OPT_OUTLET_TEMPERATURE] = FREE_OUTLET_TEMPERATURE;
    compute_shown_inputs(part);
}

}  // namespace

std::string copy_refusal(const Project& project, int process, int part) {
    const Part* p = part_at(project, process, part);
    if (p == nullptr) return "Select the part to copy in the tree or on the flowsheet.";
    if (structural(p->type))
        return "\"" + p->name +
               "\" belongs to the structure of its process and cannot be copied: copy single "
               "parts such as compressors, turbines or heat exchangers.";
    return "";
}

std::optional<PartCopy> copy_part(const Project& project, int process, int part,
                                  std::string& refusal) {
    refusal = copy_refusal(project, process, part);
    if (!refusal.empty()) return std::nullopt;
    const Part& p = *part_at(project, process, part);
    PartCopy copy;
    copy.type = p.type;
    copy.name = p.name;
    copy.options = p.options;
    copy.inputs = p.inputs;
    copy.input_units = p.input_units;
    copy.output_units = p.output_units;
    copy.fuel = p.fuel;
    copy.oxidizer = p.oxidizer;
    copy.steps = p.steps;
    copy.segmentation = p.segmentation;
    copy.old_value = p.old_value;
    return copy;
}

StructureResult paste_part(Project& project, const PartCopy& copy,
                           const StructureChoosers& choosers) {
    StructureResult r = insert_new_part(project, copy.type, choosers);
    for (const PartListEdit& edit : r.edits)
        if (edit.kind == PartListEdit::INSERTED && edit.part != nullptr &&
            edit.part->type == copy.type)
            take_settings(*edit.part, copy);
    return r;
}

}  // namespace app
