// The flowsheet's layout: columns and rows of the parts from their links,
// the overlap removal, the interface rows, the row positions and the size
// of the sheet.
#include "app/core/model/create_delete.h"
#include "app/core/model/tools.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/tree_model.h"
#include "app/core/views/flowsheet.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace app {

namespace {

// Step of the first interface row below a part row, and of every further
// interface row.
constexpr double FIRST_INTERFACE_STEP = 0.6;
constexpr double NEXT_INTERFACE_STEP = 0.3;
// Sheet margins: columns beyond the last one, rows beyond the last one
// (short and tall rows), and pixels below.
constexpr double EXTRA_COLUMNS = 3.0;
constexpr double EXTRA_ROWS_TALL = 7.0;
constexpr double EXTRA_ROWS_SHORT = 5.0;
constexpr double EXTRA_PIXELS = 9.0;

double position_of(const Graph& sheet, int row) {
    const auto n = static_cast<int>(sheet.row_pos.size());
    if (row < 0 || n == 0) return row;
    if (row < n) return sheet.row_pos[sz(row)];
    return sheet.row_pos.back() + (row - n + 1);
}

// Makes row r exist; new rows lie one pitch apart.
void ensure_row(Graph& sheet, int r) {
    while (static_cast<int>(sheet.row_pos.size()) <= r) {
        const double next = sheet.row_pos.empty() ? 0.0 : sheet.row_pos.back() + 1.0;
        sheet.row_pos.push_back(next);
    }
}

// Row r becomes a new row d below row r - 1; the rows from r on move one
// row down with their spacing.
void open_row(Graph& sheet, int r, double d) {
    ensure_row(sheet, std::max(r, sheet.n_rows) + 1);
    for (auto j = sheet.row_pos.size() - 1; j > sz(r); --j)
        sheet.row_pos[j] = sheet.row_pos[j - 1] + d;
    sheet.row_pos[sz(r)] = sheet.row_pos[sz(r - 1)] + d;
}

// Makes the rows up to `row` part of the sheet, one pitch apart.
void grow_rows_to(Graph& sheet, int row) {
    ensure_row(sheet, row);
    for (int r = sheet.n_rows + 1; r <= row; ++r)
        if (r > 0) sheet.row_pos[sz(r)] = sheet.row_pos[sz(r - 1)] + 1.0;
    sheet.n_rows = std::max(sheet.n_rows, row);
}

// Columns and rows from the links: two passes in calculation order.
void place_parts(const Project& project, const Process& process, int r0) {
    for (int i = 0; i < process.az_parts; ++i) {
        process.parts[sz(i)]->grid_col = 0;
        process.parts[sz(i)]->grid_row = r0;
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < process.az_parts; ++i) {
            Part& part = *process.parts[sz(i)];
            if (part.type == INLET) {
                part.grid_col = 0;
                part.grid_row = r0;
            } else if (const Part* pred = part_of_process(project, process, part.prev_id[0])) {
                const int outlet = std::clamp(part.prev_outlet[0], 0, 1);
                part.grid_col = std::max(part.grid_col, pred->grid_col + 1);
                part.grid_row = std::max(part.grid_row, pred->grid_row + outlet);
            }
            if (part.next_inlet[0] == 1)
                if (Part* next = part_of_process(project, process, part.next_id[0]))
                    next->grid_col = std::max(next->grid_col, part.grid_col + 1);
        }
    }
}

std::uint64_t cell_key(int col, int row) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(col)) << 32) |
           static_cast<std::uint32_t>(row);
}

// The splitters on the chain of main predecessors of a part (itself first).
std::vector<const Part*> splitters_above(const Project& project, const Process& process,
                                         const Part* part) {
    std::vector<const Part*> out;
    for (int steps = 0; part != nullptr && steps <= process.az_parts; ++steps) {
        if (part->type == SPLITTER) out.push_back(part);
        part = part_of_process(project, process, part->prev_id[0]);
    }
    return out;
}

// One attempt: places the parts on an empty grid. Returns the first part
// whose cell is taken, with the part that took it.
std::pair<Part*, const Part*> first_overlap(const Project& project, const Process& process) {
    std::unordered_map<std::uint64_t, int> grid;
    for (int i = 0; i < process.az_parts; ++i) {
        Part& part = *process.parts[sz(i)];
        const auto [at, fresh] = grid.emplace(cell_key(part.grid_col, part.grid_row), part.id);
        if (!fresh && at->second != part.id)
            return {&part, part_of_process(project, process, at->second)};
        if (part.type == SPLITTER)
            grid.emplace(cell_key(part.grid_col, part.grid_row + 1), part.id);
        const Part* next = part_of_process(project, process, part.next_id[0]);
        if (next != nullptr && next->type == MIXER)
            for (int c = part.grid_col + 1; c < next->grid_col; ++c)
                grid.emplace(cell_key(c, part.grid_row), part.id);
    }
    return {nullptr, nullptr};
}

// Overlaps are removed by pushing down the second branch of the nearest
// splitter the two parts have in common.
void remove_overlaps(Project& project, const Process& process) {
    for (int attempt = 0; attempt < OVERLAP_ATTEMPTS; ++attempt) {
        const auto [p, q] = first_overlap(project, process);
        if (p == nullptr || q == nullptr) return;
        const std::vector<const Part*> mine = splitters_above(project, process, p);
        const std::vector<const Part*> theirs = splitters_above(project, process, q);
        const Part* common = nullptr;
        for (const Part* s : mine)
            if (std::find(theirs.begin(), theirs.end(), s) != theirs.end()) {
                common = s;
                break;
            }
        Part* branch =
            common != nullptr ? part_of_process(project, process, common->next_id[1]) : nullptr;
        if (branch == nullptr) return;  // nothing would move in a later attempt either
        pushdown(project, process, *branch);
    }
}

// Interfaces with both sides in this process: a row below the upper heat
// exchanger, 0.6 pitch down, each further one 0.3 below the one before.
void rows_of_inner_interfaces(Project& project, Graph& sheet, const Process& process) {
    double d = FIRST_INTERFACE_STEP;
    int k = 0;
    for (int i = 0; i < process.az_parts; ++i) {
        const Part& part = *process.parts[sz(i)];
        if (!linked_heat_exchanger(part)) continue;
        for (int n = 0; n < project.az_interfaces; ++n) {
            Interface& itf = *project.interfaces[sz(n)];
            if ((itf.hot_part_id != part.id && itf.cold_part_id != part.id) || itf.grid_row >= 0 ||
                itf.hot_process_id != itf.cold_process_id || itf.hot_process_id != process.id)
                continue;
            const Part* hot = part_of_process(project, process, itf.hot_part_id);
            const Part* cold = part_of_process(project, process, itf.cold_part_id);
            if (hot == nullptr || cold == nullptr) continue;
            ++k;
            const Part* upper = hot->grid_row < cold->grid_row ? hot : cold;
            const int r = k + upper->grid_row;
            open_row(sheet, r, d);
            sheet.n_rows = std::max(sheet.n_rows + 1, r);
            itf.grid_row = r;
            for (int j = 0; j < process.az_parts; ++j)
                if (process.parts[sz(j)]->grid_row >= r) ++process.parts[sz(j)]->grid_row;
            d = NEXT_INTERFACE_STEP;
        }
    }
}

// Interfaces to other processes: a row after this process's rows (the
// first of the two processes in project order).
void rows_of_outer_interfaces(Project& project, Graph& sheet, const Process& process) {
    double d = FIRST_INTERFACE_STEP;
    for (int i = 0; i < process.az_parts; ++i) {
        const Part& part = *process.parts[sz(i)];
        if (!linked_heat_exchanger(part)) continue;
        for (int n = 0; n < project.az_interfaces; ++n) {
            Interface& itf = *project.interfaces[sz(n)];
            if ((itf.hot_part_id != part.id && itf.cold_part_id != part.id) || itf.grid_row >= 0 ||
                itf.hot_process_id == itf.cold_process_id)
                continue;
            const int r = ++sheet.n_rows;
            ensure_row(sheet, r);
            itf.grid_row = r;
            if (r > 2 && sheet.row_pos[sz(r - 1)] - sheet.row_pos[sz(r - 2)] < 1.0)
                d = NEXT_INTERFACE_STEP;
            sheet.row_pos[sz(r)] = sheet.row_pos[sz(r - 1)] + d;
            d = NEXT_INTERFACE_STEP;
        }
    }
}

void lay_out_process(Project& project, Graph& sheet, const Process& process) {
    const int r0 = ++sheet.n_rows;
    ensure_row(sheet, r0);
    if (r0 > 0) sheet.row_pos[sz(r0)] = sheet.row_pos[sz(r0 - 1)] + 1.0;
    place_parts(project, process, r0);
    remove_overlaps(project, process);
    for (int i = 0; i < process.az_parts; ++i) {
        const Part& part = *process.parts[sz(i)];
        if (part.grid_row > sheet.n_rows) grow_rows_to(sheet, part.grid_row);
        sheet.n_cols = std::max(sheet.n_cols, part.grid_col);
    }
    rows_of_inner_interfaces(project, sheet, process);
    rows_of_outer_interfaces(project, sheet, process);
}

void place_interface_symbols(const Project& project, const Graph& sheet) {
    const double c = sheet.cell_size;
    for (int n = 0; n < project.az_interfaces; ++n) {
        Interface& itf = *project.interfaces[sz(n)];
        const InterfaceEnds ends = interface_ends(project, itf);
        if (ends.first == nullptr || itf.grid_row < 0) continue;
        itf.icon_x = static_cast<int>(
            (part_x(sheet, *ends.first) + part_x(sheet, *ends.second) + c / 2) / 2);
        itf.icon_y = static_cast<int>(row_y(sheet, itf.grid_row));
    }
}

}  // namespace

Part* part_of_process(const Project& project, const Process& process, int id) {
    if (id <= 0) return nullptr;
    Part* part = part_by_id(&project, id);
    return part != nullptr && part_index_in(process, id) >= 0 ? part : nullptr;
}

bool tall_rows(const Graph& sheet) {
    return sheet.show_names != 0 || sheet.show_cross1 != 0 || sheet.show_cross2 != 0;
}

double column_pitch(const Graph& sheet) {
    // Input values under the symbols ("P out: 10000 kPa") need a column
    // and a half more to stand apart from their neighbours'.
    return 2.0 + sheet.show_tp + 1.5 * sheet.show_cross1 + 1.5 * sheet.show_cross2 +
           (sheet.show_inputs != 0 ? 1.5 : 0.0);
}

double row_pitch(const Graph& sheet) { return tall_rows(sheet) ? 5.0 : 3.0; }
double row_offset(const Graph& sheet) { return tall_rows(sheet) ? 2.7 : 0.7; }

double row_y(const Graph& sheet, int row) {
    return (position_of(sheet, row) * row_pitch(sheet) + row_offset(sheet)) * sheet.cell_size;
}

double part_x(const Graph& sheet, const Part& part) {
    return (column_pitch(sheet) * part.grid_col + 0.5) * sheet.cell_size;
}

double part_y(const Graph& sheet, const Part& part) { return row_y(sheet, part.grid_row); }

InterfaceEnds interface_ends(const Project& project, const Interface& itf) {
    const int hp = get_process_num_by_id(&project, itf.hot_process_id);
    const int cp = get_process_num_by_id(&project, itf.cold_process_id);
    if (hp < 0 || cp < 0) return {};
    const Part* hot = part_of_process(project, *project.processes[sz(hp)], itf.hot_part_id);
    const Part* cold = part_of_process(project, *project.processes[sz(cp)], itf.cold_part_id);
    if (hot == nullptr || cold == nullptr) return {};
    if (cp < hp || cold->grid_row < hot->grid_row) return {cold, hot};
    return {hot, cold};
}

void pushdown(Project& project, const Process& process, Part& part) {
    int budget = process.az_parts;
    // Each step moves one part; the budget bounds every walk, however
    // damaged the links.
    std::function<void(Part&)> push = [&](Part& start) {
        Part* x = &start;
        while (x != nullptr && budget-- > 0) {
            ++x->grid_row;
            if (x->type == OUTLET) return;
            if (x->next_inlet[0] == 0)
                if (Part* next = part_of_process(project, process, x->next_id[0])) push(*next);
            if (x->type != SPLITTER) return;
            x = part_of_process(project, process, x->next_id[1]);
            if (x != nullptr && x->type == MIXER) return;
        }
    };
    push(part);
}

void layout_flowsheet(Project& project, Graph& sheet) {
    sheet.n_rows = -1;
    sheet.n_cols = 0;
    sheet.row_pos.resize(sz(INITIAL_ROWS));
    for (int i = 0; i < INITIAL_ROWS; ++i) sheet.row_pos[sz(i)] = i;
    for (int n = 0; n < project.az_interfaces; ++n) project.interfaces[sz(n)]->grid_row = -1;
    for (int p = 0; p < project.az_processes; ++p)
        lay_out_process(project, sheet, *project.processes[sz(p)]);
    place_interface_symbols(project, sheet);
}

SheetSize sheet_size(const Graph& sheet, double visible_width, double visible_height) {
    const auto c = static_cast<float>(sheet.cell_size);
    const auto rows = static_cast<float>(std::max(sheet.n_rows, 0));
    const auto extra = static_cast<float>(tall_rows(sheet) ? EXTRA_ROWS_TALL : EXTRA_ROWS_SHORT);
    float width = (static_cast<float>(column_pitch(sheet)) * static_cast<float>(sheet.n_cols) +
                   static_cast<float>(EXTRA_COLUMNS)) *
                  c;
    float height = (rows * static_cast<float>(row_pitch(sheet)) + extra) * c +
                   static_cast<float>(EXTRA_PIXELS);
    const double zoom = sheet.symbol_zoom > 0 ? sheet.symbol_zoom : 1.0;
    if (zoom * width < visible_width) width = static_cast<float>(visible_width / zoom);
    if (zoom * height < visible_height) height = static_cast<float>(visible_height / zoom);
    return {width, height};
}

}  // namespace app
