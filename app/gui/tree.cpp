// The project tree: its store and view filled from the tree rows of the
// application core, and the row-by-row updates that the editing commands
// make afterwards (results, inlet rows, part rows, new subtrees).
#include "app/core/model/tools.h"
#include "app/core/structure/tree_model.h"
#include "app/core/views/results.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/tree_shared.h"

namespace app::gui {

namespace {

constexpr const char* RESULT_COLOUR = "darkcyan";

const char* or_null(const std::string& s) { return s.empty() ? nullptr : s.c_str(); }

// Before the first view: lines between rows, no gaps, a larger expander.
void parse_tree_style() {
    static bool parsed = false;
    if (parsed) return;
    parsed = true;
    gtk_rc_parse_string(
        "style \"kvr2-tree\" {\n"
        "  GtkTreeView::tree-line-pattern = \"II\"\n"
        "  GtkTreeView::grid-line-pattern = \"II\"\n"
        "  GtkTreeView::vertical-separator = 0\n"
        "  GtkTreeView::horizontal-separator = 0\n"
        "  GtkTreeView::tree-line-width = 2\n"
        "  GtkTreeView::grid-line-width = 1\n"
        "  GtkTreeView::expander-size = 14\n"
        "}\n"
        "class \"GtkTreeView\" style \"kvr2-tree\"\n");
}

// Writes a row's columns (not its children).
void put_columns(GtkTreeStore* store, GtkTreeIter* it, const TreeRow& row) {
    gtk_tree_store_set(store, it, COL_ICON, or_null(row.icon), COL_NAME, row.name.c_str(),
                       COL_NAME_EDITABLE, FALSE, COL_VALUE, row.value.c_str(), COL_VALUE_EDITABLE,
                       row.editable ? TRUE : FALSE, COL_VALUE_VISIBLE,
                       row.value_visible ? TRUE : FALSE, COL_VALUE_BACKGROUND, nullptr,
                       COL_VALUE_FONT, nullptr, COL_VALUE_FOREGROUND, or_null(row.value_colour),
                       COL_NAME_BACKGROUND, nullptr, COL_NAME_FONT, or_null(row.name_font),
                       COL_NAME_FOREGROUND, or_null(row.name_colour), -1);
}

void put(GtkTreeStore* store, GtkTreeIter* it, const TreeRow& row) {
    put_columns(store, it, row);
    for (const TreeRow& child : row.children) {
        GtkTreeIter c;
        gtk_tree_store_append(store, &c, it);
        put(store, &c, child);
    }
}

void insert_row(GtkTreeStore* store, GtkTreeIter* parent, int position, const TreeRow& row) {
    GtkTreeIter it;
    gtk_tree_store_insert(store, &it, parent, position);
    put(store, &it, row);
}

bool iter_at(GtkTreeStore* store, const TreePath& path, GtkTreeIter* it) {
    if (store == nullptr || path.empty()) return false;
    GtkTreePath* p = gtk_path_of(path);
    const bool found = gtk_tree_model_get_iter(GTK_TREE_MODEL(store), it, p) != 0;
    gtk_tree_path_free(p);
    return found;
}

// Replaces the children of the row at `path` with `rows`.
void replace_children(GtkTreeStore* store, const TreePath& path, const std::vector<TreeRow>& rows) {
    GtkTreeIter parent;
    if (!iter_at(store, path, &parent)) return;
    GtkTreeIter child;
    while (gtk_tree_model_iter_children(GTK_TREE_MODEL(store), &child, &parent))
        gtk_tree_store_remove(store, &child);
    for (const TreeRow& row : rows) insert_row(store, &parent, -1, row);
}

// Expands the row with its ancestors (with all descendants when `all`).
void expand(GtkTreeView* view, const TreePath& path, bool all = false) {
    if (view == nullptr || path.empty()) return;
    GtkTreePath* p = gtk_path_of(path);
    gtk_tree_view_expand_to_path(view, p);
    if (all) gtk_tree_view_expand_row(view, p, TRUE);
    gtk_tree_path_free(p);
}

void write_results(GtkTreeStore* store, const Project& project) {
    for (const CellText& cell : shown_result_cells(project)) {
        GtkTreeIter it;
        if (iter_at(store, cell.path, &it))
            gtk_tree_store_set(store, &it, COL_VALUE, cell.text.c_str(), COL_VALUE_FOREGROUND,
                               RESULT_COLOUR, -1);
    }
}

// Rewrites the value texts of the rows that are not results, walking the
// rows built from the records beside the store's.
void write_inputs(GtkTreeStore* store, GtkTreeIter* it, const TreeRow& row) {
    if (row.value_visible && row.value_colour != RESULT_COLOUR)
        gtk_tree_store_set(store, it, COL_VALUE, row.value.c_str(), -1);
    GtkTreeIter child;
    if (!gtk_tree_model_iter_children(GTK_TREE_MODEL(store), &child, it)) return;
    for (const TreeRow& c : row.children) {
        write_inputs(store, &child, c);
        if (!gtk_tree_model_iter_next(GTK_TREE_MODEL(store), &child)) break;
    }
}

GtkTreeViewColumn* name_column() {
    GtkTreeViewColumn* column = gtk_tree_view_column_new();
    gtk_tree_view_column_set_title(column, "Name");
    GtkCellRenderer* icon = gtk_cell_renderer_pixbuf_new();
    g_object_set(icon, "xpad", 0, "ypad", 0, nullptr);
    gtk_tree_view_column_pack_start(column, icon, FALSE);
    gtk_tree_view_column_add_attribute(column, icon, "stock-id", COL_ICON);
    GtkCellRenderer* text = gtk_cell_renderer_text_new();
    g_object_set(text, "xpad", 1, "ypad", 0, nullptr);
    gtk_tree_view_column_pack_start(column, text, TRUE);
    gtk_tree_view_column_set_attributes(
        column, text, "text", COL_NAME, "editable", COL_NAME_EDITABLE, "background",
        COL_NAME_BACKGROUND, "font", COL_NAME_FONT, "foreground", COL_NAME_FOREGROUND, nullptr);
    gtk_tree_view_column_set_spacing(column, 0);
    return column;
}

GtkTreeViewColumn* value_column(GtkCellRenderer* text) {
    GtkTreeViewColumn* column = gtk_tree_view_column_new();
    gtk_tree_view_column_set_title(column, "Value");
    g_object_set(text, "xpad", 4, "ypad", 0, nullptr);
    gtk_tree_view_column_pack_start(column, text, TRUE);
    gtk_tree_view_column_set_attributes(column, text, "text", COL_VALUE, "editable",
                                        COL_VALUE_EDITABLE, "visible", COL_VALUE_VISIBLE,
                                        "background", COL_VALUE_BACKGROUND, "font", COL_VALUE_FONT,
                                        "foreground", COL_VALUE_FOREGROUND, nullptr);
    gtk_tree_view_column_set_expand(column, TRUE);
    return column;
}

int process_index(const Project& project, const Process* process) {
    for (int p = 0; p < project.az_processes; ++p)
        if (project.processes[sz(p)] == process) return p;
    return -1;
}

}  // namespace

GtkTreePath* gtk_path_of(const TreePath& path) {
    GtkTreePath* p = gtk_tree_path_new();
    for (int i : path) gtk_tree_path_append_index(p, i);
    return p;
}

TreePath tree_path_of(GtkTreePath* path) {
    TreePath out;
    if (path == nullptr) return out;
    const int depth = gtk_tree_path_get_depth(path);
    const gint* indices = gtk_tree_path_get_indices(path);
    for (int i = 0; i < depth; ++i) out.push_back(indices[i]);
    return out;
}

std::vector<TreePath> selected_paths(GtkTreeView* view) {
    std::vector<TreePath> out;
    if (view == nullptr) return out;
    GList* rows = gtk_tree_selection_get_selected_rows(gtk_tree_view_get_selection(view), nullptr);
    for (GList* l = rows; l != nullptr; l = l->next) {
        out.push_back(tree_path_of(static_cast<GtkTreePath*>(l->data)));
        gtk_tree_path_free(static_cast<GtkTreePath*>(l->data));
    }
    g_list_free(rows);
    return out;
}

void set_tree_value(Project* project, const TreePath& path, const std::string& text) {
    GtkTreeStore* store = tree_store_of(project);
    GtkTreeIter it;
    if (iter_at(store, path, &it)) gtk_tree_store_set(store, &it, COL_VALUE, text.c_str(), -1);
}

void mark_changed(Project* project) {
    if (project == nullptr) return;
    project->changed = 1;
    update_tab_label(project);
    update_save_action();
    refresh_detail_dialogs(project);
}

GtkTreeStore* tree_store_of(const Project* project) {
    GtkTreeView* view = tree_view_of(project);
    return view != nullptr ? GTK_TREE_STORE(gtk_tree_view_get_model(view)) : nullptr;
}

GtkTreeView* tree_view_of(const Project* project) {
    const ProjectView* view = view_of(project);
    return view != nullptr && view->tree_view != nullptr ? GTK_TREE_VIEW(view->tree_view) : nullptr;
}

GtkWidget* build_tree(Project* project) {
    current_project = project;
    parse_tree_style();
    GtkTreeStore* store = gtk_tree_store_new(
        N_TREE_COLUMNS, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_BOOLEAN, G_TYPE_STRING, G_TYPE_BOOLEAN,
        G_TYPE_BOOLEAN, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING,
        G_TYPE_STRING);
    GtkWidget* widget = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
    g_object_unref(store);
    GtkTreeView* view = GTK_TREE_VIEW(widget);
    gtk_tree_view_set_headers_visible(view, FALSE);
    gtk_tree_view_append_column(view, name_column());
    GtkCellRenderer* value = gtk_cell_renderer_text_new();
    gtk_tree_view_append_column(view, value_column(value));
    g_object_set_data(G_OBJECT(widget), "value-renderer", value);
    gtk_tree_selection_set_mode(gtk_tree_view_get_selection(view), GTK_SELECTION_MULTIPLE);
    gtk_tree_view_set_rubber_banding(view, TRUE);
    gtk_tree_view_set_enable_tree_lines(view, TRUE);
    gtk_tree_view_set_enable_search(view, FALSE);
    gtk_tree_view_set_hover_expand(view, FALSE);
    gtk_tree_view_set_rules_hint(view, FALSE);
    gtk_tree_view_set_grid_lines(view, GTK_TREE_VIEW_GRID_LINES_NONE);

    for (const TreeRow& row : project_tree(*project)) insert_row(store, nullptr, -1, row);
    for (int p = 0; p < project->az_processes; ++p) expand(view, {1, p, 1});
    if (project->az_interfaces > 0) expand(view, {2});
    expand(view, {3}, true);
    if (project->az_processes > 0)
        set_action_sensitive("ui/MenuBar/MenuGraphics/CreateGraphAction", true);
    g_signal_connect(value, "edited", G_CALLBACK(value_changed), project);
    g_signal_connect(widget, "button-press-event", G_CALLBACK(treeview_onButtonPressed), project);
    g_signal_connect(widget, "key-press-event", G_CALLBACK(treeview_onKeyPressed), project);
    gtk_widget_show_all(widget);
    write_results(store, *project);
    return widget;
}

void show_results_in_tree(Project* project) {
    if (project == nullptr) return;
    write_results(tree_store_of(project), *project);
    refresh_detail_dialogs(project);
}

void forget_results_in_window(Project* project, int process) {
    if (project == nullptr) return;
    if (forget_results(*project, process).empty()) return;
    write_results(tree_store_of(project), *project);
    refresh_detail_dialogs(project);
}

void forget_interface_results_in_window(Project* project, int index) {
    if (project == nullptr || index < 0 || index >= project->az_interfaces) return;
    const Interface& itf = *project->interfaces[sz(index)];
    for (int id : {itf.hot_part_id, itf.cold_part_id})
        forget_results_in_window(project, get_process_num_of_part_by_part_id(project, id));
}

void refresh_tree_values(Project* project) {
    GtkTreeStore* store = tree_store_of(project);
    if (store == nullptr) return;
    const std::vector<TreeRow> rows = project_tree(*project);
    GtkTreeIter it;
    if (!gtk_tree_model_get_iter_first(GTK_TREE_MODEL(store), &it)) return;
    for (const TreeRow& row : rows) {
        write_inputs(store, &it, row);
        if (!gtk_tree_model_iter_next(GTK_TREE_MODEL(store), &it)) break;
    }
    write_results(store, *project);
    refresh_detail_dialogs(project);
}

void build_process_in_tree(Project* project, Process* process) {
    GtkTreeStore* store = tree_store_of(project);
    const int p = project != nullptr ? process_index(*project, process) : -1;
    GtkTreeIter parent;
    if (p < 0 || !iter_at(store, {1}, &parent)) return;
    insert_row(store, &parent, p, process_tree(*project, *process));
    expand(tree_view_of(project), {1, p, 1});
    expand(tree_view_of(project), {1, p, 0});
}

void update_inlet_in_tree(Project* project, const Process* process) {
    const int p = project != nullptr ? process_index(*project, process) : -1;
    if (p < 0) return;
    GtkTreeStore* store = tree_store_of(project);
    const std::vector<TreeRow> rows = inlet_rows(*process);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        GtkTreeIter it;
        if (iter_at(store, {1, p, 0, static_cast<int>(k)}, &it))
            gtk_tree_store_set(store, &it, COL_VALUE, rows[k].value.c_str(), -1);
    }
}

void update_part_in_tree(Project* project, int process, int part) {
    if (project == nullptr || process < 0 || process >= project->az_processes) return;
    Process& proc = *project->processes[sz(process)];
    if (part < 1 || part >= proc.az_parts || proc.parts[sz(part)]->type == OUTLET) return;
    Part& record = *proc.parts[sz(part)];
    compute_shown_inputs(record);
    GtkTreeStore* store = tree_store_of(project);
    const TreePath row{1, process, 1, part - 1};
    GtkTreeIter it;
    if (!iter_at(store, row, &it)) return;
    gtk_tree_store_set(store, &it, COL_ICON, record.icon.c_str(), COL_NAME, record.name.c_str(),
                       -1);
    replace_children(store, {1, process, 1, part - 1, 0}, part_option_rows(record));
    replace_children(store, {1, process, 1, part - 1, 1}, part_input_rows(record));
}

void build_interface_in_tree(Project* project, Interface* interface) {
    if (project == nullptr || interface == nullptr) return;
    GtkTreeStore* store = tree_store_of(project);
    GtkTreeIter parent;
    if (!iter_at(store, {2}, &parent)) return;
    insert_row(store, &parent, -1, interface_tree(*project, *interface));
    constexpr int DETERMINED_BY_INTERFACE = 2;
    const struct {
        int id;
        const char* icon;
    } sides[] = {{interface->hot_part_id, "My_heatsource"},
                 {interface->cold_part_id, "My_heatsink"}};
    for (const auto& side : sides) {
        const int p = get_process_num_of_part_by_part_id(project, side.id);
        const int i = get_part_num_by_part_id(project, side.id);
        if (p < 0 || i < 1) continue;
        Part& part = *project->processes[sz(p)]->parts[sz(i)];
        part.options[OPT_OUTLET_TEMPERATURE] = DETERMINED_BY_INTERFACE;
        part.icon = side.icon;
        update_part_in_tree(project, p, i);
    }
    update_graphs(project);
}

void update_interface_in_tree(Project* project, int index) {
    if (project == nullptr || index < 0 || index >= project->az_interfaces) return;
    GtkTreeStore* store = tree_store_of(project);
    const TreeRow row = interface_tree(*project, *project->interfaces[sz(index)]);
    GtkTreeIter it;
    if (!iter_at(store, {2, index}, &it)) return;
    gtk_tree_store_set(store, &it, COL_NAME, row.name.c_str(), -1);
    for (int side = 0; side < 2; ++side)
        if (iter_at(store, {2, index, side}, &it))
            gtk_tree_store_set(store, &it, COL_VALUE, row.children[sz(side)].value.c_str(), -1);
    replace_children(store, {2, index, 2}, row.children[2].children);
    replace_children(store, {2, index, 3}, row.children[3].children);
}

void build_graph_in_tree(Project* project, Graph* graph) {
    GtkTreeStore* store = tree_store_of(project);
    GtkTreeIter parent;
    if (graph == nullptr || !iter_at(store, {3}, &parent)) return;
    insert_row(store, &parent, -1, graph_row(*graph));
    expand(tree_view_of(project), {3});
}

namespace {

void edit_parts_list(Project* project, const StructureResult& result) {
    GtkTreeStore* store = tree_store_of(project);
    const int p = result.process;
    if (store == nullptr || p < 0) return;
    GtkTreeIter parts;
    if (!iter_at(store, {1, p, 1}, &parts)) return;
    for (const PartListEdit& edit : result.edits) {
        if (!edit.shown) continue;
        const int row = edit.index - 1;
        GtkTreeIter it;
        GtkTreeIter next;
        switch (edit.kind) {
            case PartListEdit::INSERTED:
                insert_row(store, &parts, row, part_tree(*edit.part));
                break;
            case PartListEdit::REMOVED:
                if (iter_at(store, {1, p, 1, row}, &it)) gtk_tree_store_remove(store, &it);
                break;
            case PartListEdit::SWAPPED:
                if (iter_at(store, {1, p, 1, row}, &it) &&
                    iter_at(store, {1, p, 1, row + 1}, &next))
                    gtk_tree_store_swap(store, &it, &next);
                break;
        }
    }
    expand(tree_view_of(project), {1, p, 1});
}

}  // namespace

void apply_part_edits(Project* project, const StructureResult& result) {
    edit_parts_list(project, result);
    // A part inserted, gone or moved: the old results of the flow are no
    // longer its results.
    if (result.changed) forget_results_in_window(project, result.process);
}

void open_tree_to_new_current_part(Project* project, int process, int part, int interface) {
    GtkTreeView* view = tree_view_of(project);
    if (view == nullptr) return;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(view);
    gtk_tree_selection_unselect_all(selection);
    TreePath target;
    bool open_row = true;  // the row itself is expanded too (not a part row)
    if (process < 0) {
        if (interface < 0 || interface >= project->az_interfaces) return;
        expand(view, {2});
        target = {2, interface};
    } else if (process < project->az_processes) {
        const Process& proc = *project->processes[sz(process)];
        if (part > 0 && part < proc.az_parts && proc.parts[sz(part)]->type != OUTLET) {
            expand(view, {1, process, 1});
            target = {1, process, 1, part - 1};
            open_row = false;
        } else if (part == 0) {
            target = {1, process, 0};
        }
    }
    if (target.empty()) return;
    TreePath parent = target;
    parent.pop_back();
    expand(view, parent);
    GtkTreePath* p = gtk_path_of(target);
    if (open_row) gtk_tree_view_expand_row(view, p, FALSE);
    gtk_tree_view_scroll_to_cell(view, p, nullptr, TRUE, 0.5F, 0.5F);
    gtk_tree_selection_select_path(selection, p);
    gtk_tree_path_free(p);
}

}  // namespace app::gui
