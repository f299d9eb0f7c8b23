// Working copies of the details dialogs, the composition rows and the
// part dialog's height.
#include "app/core/views/details.h"

#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/structure/tree_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace app {

namespace {

constexpr int DIALOG_HEIGHT_STEP = 50;
constexpr int DIALOG_HEIGHT_MAX = 950;

std::string printed(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// The mole fractions and the fluid whose components they are.
struct Stream {
    const double* x = nullptr;
    const Fluid* fluid = nullptr;
};

Stream stream_of(const Part& part, int group) {
    switch (group) {
        case CG_INLET: return {part.x_in.data(), part.fluid};
        case CG_INLET2: return {part.x_in2.data(), part.fluid};
        case CG_OUTLET: return {part.x_out.data(), part.fluid};
        case CG_FUEL:
            return part.fuel != nullptr ? Stream{part.fuel->x.data(), part.fuel} : Stream{};
        case CG_OXIDIZER:
            return part.oxidizer != nullptr ? Stream{part.oxidizer->x.data(), part.oxidizer}
                                            : Stream{};
        default: return {};
    }
}

const Fluid* component(const Fluid& fluid, int c) {
    const Fluid* f = fluids[fluid.comp_index[sz(c)]];
    return f != nullptr ? f : &fluid;
}

}  // namespace

PartDraft copy_of_part(const Part& part) {
    PartDraft copy;
    copy.inputs = part.inputs;
    copy.units = part.input_units;
    copy.options = part.options;
    copy.name = part.name;
    refresh_shown_inputs(copy, part);
    return copy;
}

void refresh_shown_inputs(PartDraft& copy, const Part& part) {
    Part probe;
    probe.type = part.type;
    probe.part_type = part.part_type;
    probe.options = copy.options;
    compute_shown_inputs(probe);
    copy.shown_inputs = probe.shown_inputs;
    copy.az_shown_inputs = probe.az_shown_inputs;
}

bool write_part_copy(Part& part, const PartDraft& copy) {
    // The shown inputs follow from the choices: they make no change of
    // their own.
    const bool renamed = !copy.name.empty() && part.name != copy.name;
    const bool changed = part.inputs != copy.inputs || part.input_units != copy.units ||
                         part.options != copy.options || renamed;
    part.inputs = copy.inputs;
    part.input_units = copy.units;
    part.options = copy.options;
    part.shown_inputs = copy.shown_inputs;
    part.az_shown_inputs = copy.az_shown_inputs;
    if (renamed) part.name = copy.name;
    return changed;
}

std::vector<int> composition_groups(const Part& part) {
    std::vector<int> groups{CG_INLET};
    if (part.type == MIXER) groups.push_back(CG_INLET2);
    if (part.type != OUTLET) groups.push_back(CG_OUTLET);
    if ((part.type == COMBUSTOR || part.type == OXYGEN_INJECTION_COMBUSTOR) && part.fuel != nullptr)
        groups.push_back(CG_FUEL);
    if (part.type == OXYGEN_INJECTION_COMBUSTOR && part.oxidizer != nullptr)
        groups.push_back(CG_OXIDIZER);
    return groups;
}

const char* composition_group_title(int group) {
    static constexpr const char* titles[] = {"Inlet", "Inlet 2", "Outlet", "Fuel", "Oxidizer"};
    return group >= 0 && group <= CG_OXIDIZER ? titles[group] : "";
}

std::vector<CompositionRow> composition_rows(const Part& part, int group, bool mass,
                                             bool fraction) {
    std::vector<CompositionRow> rows;
    const std::vector<int> shown = composition_groups(part);
    if (std::find(shown.begin(), shown.end(), group) == shown.end()) return rows;
    const Stream s = stream_of(part, group);
    if (s.x == nullptr || s.fluid == nullptr) return rows;
    const int n = std::clamp(s.fluid->az_components, 0, MAX_COMPONENTS);
    double mass_sum = 0.0;
    for (int c = 0; c < n; ++c)
        if (s.x[c] > 0) mass_sum += s.x[c] * component(*s.fluid, c)->molar_mass;
    const double factor = fraction ? 1.0 : 100.0;
    for (int c = 0; c < n; ++c) {
        if (!(s.x[c] > 0)) continue;
        const Fluid* f = component(*s.fluid, c);
        CompositionRow row;
        row.label = f->short_name.empty() ? f->name : f->short_name;
        const double share =
            mass ? (mass_sum > 0 ? s.x[c] * f->molar_mass / mass_sum : 0.0) : s.x[c];
        row.value = share * factor;
        row.text =
            std::isfinite(row.value) ? printed(fraction ? "%8.7f" : "%6.3f %%", row.value) : " - ";
        rows.push_back(std::move(row));
    }
    return rows;
}

int part_dialog_height(int screen_height) {
    const int h = (screen_height - DIALOG_HEIGHT_STEP) / DIALOG_HEIGHT_STEP * DIALOG_HEIGHT_STEP;
    return std::clamp(h, DIALOG_HEIGHT_STEP, DIALOG_HEIGHT_MAX);
}

InterfaceCopy copy_of_interface(const Interface& itf) {
    InterfaceCopy copy;
    copy.inputs = itf.inputs;
    copy.units = itf.input_units;
    copy.shown_inputs = itf.shown_inputs;
    copy.az_shown_inputs = itf.az_shown_inputs;
    copy.options = itf.options;
    copy.name = itf.name;
    refresh_shown_inputs(copy);
    return copy;
}

void refresh_shown_inputs(InterfaceCopy& copy) {
    for (int n = IOPT_CALCULATION_MODE; n <= IOPT_INITIALIZATION_MODE; ++n) {
        const OptionDef& option = interface_options[sz(n)];
        const int choice = copy.options[sz(n)];
        if (choice >= 0 && choice < option.n_choices)
            copy.shown_inputs[sz(n)] = option.enables[sz(choice)];
    }
    copy.az_shown_inputs = std::max(copy.az_shown_inputs, 2);
}

bool write_interface_copy(Interface& itf, const InterfaceCopy& copy) {
    const bool renamed = !copy.name.empty() && itf.name != copy.name;
    const bool changed = itf.inputs != copy.inputs || itf.input_units != copy.units ||
                         itf.options != copy.options || renamed;
    itf.inputs = copy.inputs;
    itf.input_units = copy.units;
    itf.options = copy.options;
    itf.shown_inputs = copy.shown_inputs;
    itf.az_shown_inputs = copy.az_shown_inputs;
    if (renamed) itf.name = copy.name;
    return changed;
}

}  // namespace app
