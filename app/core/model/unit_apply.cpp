// "Apply to all values": one quantity's unit switched everywhere.
#include "app/core/model/units.h"

#include "app/core/model/init.h"

#include <span>

namespace app {
namespace {

// Every value of `rows` whose quantity is q gets the unit.
template <std::size_t N, std::size_t M>
void switch_units(const std::array<ValueDef, N>& rows, std::array<int, M>& units, int q, int unit) {
    static_assert(M >= N);
    for (std::size_t i = 0; i < N; ++i)
        if (rows[i].quantity == q) units[i] = unit;
}

// The isoline family labelled in the quantity, or -1.
int iso_family_of(int quantity) {
    switch (quantity) {
        case Q_PRESSURE: return ISO_ISOBAR;
        case Q_TEMPERATURE: return ISO_ISOTHERM;
        case Q_DENSITY: return ISO_ISOCHOR;
        case Q_RELATIVE_VALUE: return ISO_WETNESS;
        default: return -1;
    }
}

void switch_project(Project& project, int q, int unit) {
    switch_units(project_output_values_def, project.total_units, q, unit);
    for (Process* process : project.processes) {
        if (process == nullptr) continue;
        switch_units(process_input_values_def, process->input_units, q, unit);
        switch_units(process_output_values_def, process->output_units, q, unit);
        for (int k = 0; k < process->az_parts; ++k) {
            Part* part = process->parts[static_cast<std::size_t>(k)];
            if (part == nullptr) continue;
            switch_units(part_input_values_def, part->input_units, q, unit);
            switch_units(part_output_values_def, part->output_units, q, unit);
        }
    }
    for (Interface* itf : project.interfaces) {
        if (itf == nullptr) continue;
        switch_units(interface_input_values_def, itf->input_units, q, unit);
        switch_units(interface_output_values_def, itf->output_units, q, unit);
    }
    const int family = iso_family_of(q);
    for (int g = 1; g < MAX_GRAPHS; ++g) {
        Graph* graph = project.graphs[static_cast<std::size_t>(g)];
        if (graph == nullptr) break;
        if (graph->x_axis.unit_quantity == q) graph->x_axis.unit = unit;
        if (graph->y_axis.unit_quantity == q) graph->y_axis.unit = unit;
        if (family >= 0) graph->iso_style[static_cast<std::size_t>(family)].unit = unit;
    }
}

}  // namespace

bool apply_unit_to_all(int quantity, int unit) {
    if (!valid_unit(quantity, unit)) return false;
    set_default_unit(quantity, unit);
    for (Project* project : project_list) {
        if (project == nullptr) break;
        switch_project(*project, quantity, unit);
    }
    return true;
}

}  // namespace app
