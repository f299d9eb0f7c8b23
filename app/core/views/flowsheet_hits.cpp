// Presses on the flowsheet: what a point hits, which context commands the
// current element enables, and the zoom steps.
#include "app/core/model/create_delete.h"
#include "app/core/model/tools.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/tree_model.h"
#include "app/core/views/flowsheet.h"

#include <algorithm>
#include <cmath>

namespace app {

namespace {

// Wrap width of a part name for hit tests, in cells (slightly wider than
// the drawing's, so that a press on the last letter counts).
constexpr double NAME_HIT_WRAP = 2.82;
// Gap between a turned name and the top of its symbol, pixels.
constexpr double NAME_GAP = 5.0;

bool inside(double v, double low, double high) { return low < v && v < high; }

bool hits(const Graph& sheet, const Part& part, double x, double y, const NameMeasure& measure) {
    const double c = sheet.cell_size;
    const double px = part_x(sheet, part);
    const double py = part_y(sheet, part);
    if (inside(x, px, px + c) && inside(y, py, py + c)) return true;
    if (sheet.show_names == 0 || !measure) return false;
    int w = 0;
    int h = 0;
    measure(part.name, NAME_HIT_WRAP * c, w, h);
    const double left = px + (c - h) / 2;
    return inside(x, left, left + h) && inside(y, py - NAME_GAP - w, py - NAME_GAP);
}

bool one_of(int type, std::initializer_list<int> types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

const Part* neighbour(const Project& project, int id) {
    return id > 0 ? part_by_id(&project, id) : nullptr;
}

int free_heat_exchanger_count(const Project& project) {
    int count = 0;
    for (int p = 0; p < project.az_processes; ++p) {
        const Process& process = *project.processes[sz(p)];
        for (int i = 0; i < process.az_parts; ++i) {
            const Part& part = *process.parts[sz(i)];
            if (part.type == HEAT_EXCHANGER && !linked_heat_exchanger(part)) ++count;
        }
    }
    return count;
}

void part_buttons(const Project& project, ContextButtons& b) {
    if (project.current_process < 0 || project.current_process >= project.az_processes) return;
    const Process& process = *project.processes[sz(project.current_process)];
    const int index = project.current_part;
    if (index < 0 || index >= process.az_parts) return;
    const Part& part = *process.parts[sz(index)];
    b.delete_part = !one_of(part.type, {INLET, OUTLET}) &&
                    delete_part_refusal(project, project.current_process, part.id).empty();
    b.connect_to_outlet = part.type == MIXER && part.prev_id[1] < 1;
    const Part* before = neighbour(project, part.prev_id[0]);
    const Part* after = neighbour(project, part.next_id[0]);
    b.move_left = !one_of(part.type, {INLET, MIXER, SPLITTER}) && before != nullptr &&
                  !one_of(before->type, {INLET, MIXER, SPLITTER}) &&
                  can_move_part(project, process, index, -1);
    b.move_right = !one_of(part.type, {INLET, OUTLET, MIXER, SPLITTER}) && after != nullptr &&
                   !one_of(after->type, {OUTLET, MIXER, SPLITTER}) &&
                   can_move_part(project, process, index, 1);
}

}  // namespace

SheetHit hit_part(const Project& project, const Graph& sheet, double x, double y,
                  const NameMeasure& measure) {
    SheetHit hit;
    for (int p = 0; p < project.az_processes; ++p) {
        const Process& process = *project.processes[sz(p)];
        for (int i = 0; i < process.az_parts; ++i)
            if (hits(sheet, *process.parts[sz(i)], x, y, measure)) {
                hit = {p, i};
                break;
            }
    }
    return hit;
}

int hit_interface(const Project& project, const Graph& sheet, double x, double y) {
    const double c = sheet.cell_size;
    for (int n = 0; n < project.az_interfaces; ++n) {
        const Interface& itf = *project.interfaces[sz(n)];
        if (itf.grid_row < 0) continue;  // not on the sheet
        if (inside(x, itf.icon_x, itf.icon_x + c) && inside(y, itf.icon_y, itf.icon_y + c))
            return n;
    }
    return -1;
}

ContextButtons context_buttons(const Project& project) {
    ContextButtons b;
    part_buttons(project, b);
    if (project.current_interface >= 0 && project.current_interface < project.az_interfaces) {
        b.delete_part = true;
        b.create_qt = project.interfaces[sz(project.current_interface)]->status == IS_CONVERGED;
    }
    b.create_interface = free_heat_exchanger_count(project) > 1;
    return b;
}

double zoom_step(double zoom, int direction) {
    long tenths = std::isfinite(zoom) ? std::lround(zoom * 10) : 10;
    tenths = std::clamp<long>(tenths, ZOOM_MIN_TENTHS, ZOOM_MAX_TENTHS);
    if (direction > 0 && tenths < ZOOM_MAX_TENTHS) ++tenths;
    if (direction < 0 && tenths > ZOOM_MIN_TENTHS) --tenths;
    return static_cast<double>(tenths) / 10.0;
}

}  // namespace app
