// Presses in the project tree: the commands a selection enables, the menu
// a row opens, and what becomes current.
#include "app/core/structure/tree_rules.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/structure/structure.h"

#include <algorithm>

namespace app {

namespace {

// Heat exchangers among rows: linked to an interface or free.
struct HeatExchangerCount {
    int linked = 0;
    int free = 0;
    void add(const Project& project, const TreePath& path) {
        const RowRef row = resolve_row(project, path);
        if (row.kind != RowKind::PART) return;
        const Part* part = part_of(project, row);
        if (part == nullptr || part->type != HEAT_EXCHANGER) return;
        ++(linked_heat_exchanger(*part) ? linked : free);
    }
};

bool is_heat_exchanger_row(const Project& project, const TreePath& path) {
    const RowRef row = resolve_row(project, path);
    const Part* part = row.kind == RowKind::PART ? part_of(project, row) : nullptr;
    return part != nullptr && part->type == HEAT_EXCHANGER;
}

TreeMenu ui_popup(const char* path, bool beside = false) {
    return {TreeMenu::UI_POPUP, path, -1, beside};
}

TreeMenu unit_menu(const ValueDef* def) {
    if (def == nullptr) return {};
    return {TreeMenu::UNIT_MENU, "", def->quantity, false};
}

}  // namespace

SelectionRules selection_rules(const Project& project, const std::vector<TreePath>& selected,
                               const TreePath& clicked, bool single_right) {
    SelectionRules rules;
    rules.selected = static_cast<int>(selected.size());
    HeatExchangerCount hx;
    for (const TreePath& path : selected) hx.add(project, path);
    if (clicked.empty()) {
        rules.delete_enabled = hx.linked == 0;
        return rules;
    }
    const bool clicked_selected =
        std::find(selected.begin(), selected.end(), clicked) != selected.end();
    if (!clicked_selected) hx.add(project, clicked);
    const bool clicked_hx = is_heat_exchanger_row(project, clicked);
    const RowRef row = resolve_row(project, clicked);
    const Part* clicked_part = row.kind == RowKind::PART ? part_of(project, row) : nullptr;
    if (rules.selected == 1 && !clicked_selected && clicked_hx &&
        !linked_heat_exchanger(*clicked_part) && hx.free == 2 && single_right) {
        rules.add_clicked = true;
        rules.selected = 2;
    }
    rules.delete_enabled = hx.linked == 0 || (rules.selected == 1 && !clicked_hx);
    if (rules.selected >= 2) {
        std::vector<TreePath> now = selected;
        if (rules.add_clicked) now.push_back(clicked);
        rules.create_interface = now.size() == 2 && hx.free >= 2 && hx.linked == 0 &&
                                 std::all_of(now.begin(), now.end(), [&](const TreePath& p) {
                                     return is_heat_exchanger_row(project, p);
                                 });
        return rules;
    }
    if (clicked_part != nullptr) {
        const Process& process = *project.processes[sz(row.process)];
        rules.move_up = can_move_part(project, process, row.part, -1);
        rules.move_down = can_move_part(project, process, row.part, 1);
    }
    return rules;
}

TreeMenu right_click_menu(const Project& project, const RowRef& row) {
    switch (row.kind) {
        case RowKind::TOTAL:
        case RowKind::INLET_VALUE:
        case RowKind::INPUT:
        case RowKind::RESULT:
        case RowKind::SUMMARY_VALUE:
        case RowKind::PARAMETER:
        case RowKind::INTERFACE_RESULT: return unit_menu(row_value_def(project, row));
        case RowKind::PROCESSES: return ui_popup("ui/Popup_on_process_short");
        case RowKind::PROCESS: return ui_popup("ui/Popup_on_process");
        case RowKind::FLUID: return {TreeMenu::FLUID_MENU, "", -1, false};
        case RowKind::PARTS: return ui_popup("ui/Popup_on_part_short");
        case RowKind::PART: return ui_popup("ui/Popup_on_part");
        case RowKind::OPTION: {
            const int o = option_of_row(*part_of(project, row), row.index);
            if (o < 0) return {};
            return {TreeMenu::OPTION_MENU, "", o, false};
        }
        case RowKind::INTERFACES: return ui_popup("ui/Popup_expand_only", true);
        case RowKind::INTERFACE: return ui_popup("ui/Popup_on_interface");
        case RowKind::HOT_SIDE:
        case RowKind::COLD_SIDE: return ui_popup("ui/Popup_on_interface_part");
        case RowKind::CALCULATION_MODE: return {TreeMenu::CALCULATION_MODE_MENU, "", -1, true};
        case RowKind::GRAPHS:
            if (project.az_processes <= 0) return {};
            return ui_popup("ui/Popup_on_graphs");
        case RowKind::GRAPH: return ui_popup("ui/Popup_on_graph");
        default: return {};
    }
}

TreeMenu left_click_menu(const Project& project, const RowRef& row) {
    switch (row.kind) {
        case RowKind::FLUID: return {TreeMenu::FLUID_MENU, "", -1, false};
        case RowKind::CALCULATION_MODE: return {TreeMenu::CALCULATION_MODE_MENU, "", -1, true};
        case RowKind::OPTION: {
            const int o = option_of_row(*part_of(project, row), row.index);
            if (o < 0) return {};
            return {TreeMenu::OPTION_MENU, "", o, true};
        }
        default: return {};
    }
}

bool make_row_current(Project& project, const RowRef& row) {
    const int before_process = project.current_process;
    const int before_part = project.current_part;
    const int before_interface = project.current_interface;
    if (row.interface >= 0) {
        project.current_process = -1;
        project.current_part = -1;
        project.current_interface = row.interface;
    } else if (row.process >= 0) {
        if (row.part >= 0 && row.kind != RowKind::PROCESS)
            project.current_part = row.part;
        else if (row.process != project.current_process)
            project.current_part = -1;  // a part index of another process means nothing here
        project.current_process = row.process;
        project.current_interface = -1;
    } else {
        project.current_process = -1;
    }
    return before_process != project.current_process || before_part != project.current_part ||
           before_interface != project.current_interface;
}

}  // namespace app
