// "Configure Iso Lines": which isobars, isotherms, density and wetness
// lines the current diagram shows, in a unit of the user's choice, and how
// they look. The lines belong to the diagram's fluid; values the fluid has
// not got yet are added to it and computed at once (app/diagrams
// settings_values.h and isolines.h).
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/diagrams/isolines.h"
#include "app/diagrams/settings_values.h"
#include "app/gui/diagram_actions.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/widgets.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace app::gui {

namespace {

// Columns of a family's list: the value in the base unit and its text in
// the selected unit. A row added and not filled in yet holds NOT_FILLED
// (sorted last, shown empty, dropped when the list is applied).
enum IsoColumn : int { ISO_BASE = 0, ISO_TEXT = 1, ISO_COLUMNS = 2 };

constexpr double NOT_FILLED = std::numeric_limits<double>::infinity();

// The line width spinner holds a stored width as it is (the default is
// 0.5): two decimals, from a hundredth of a pixel.
constexpr double ISO_WIDTH_MIN = 0.01;
constexpr double ISO_WIDTH_MAX = 10;
constexpr double ISO_WIDTH_STEP = 0.1;
constexpr int ISO_WIDTH_DIGITS = 2;

struct FamilyPage {
    int family = 0;
    int unit = 0;  // selected in the dialog
    GtkListStore* store = nullptr;
    GtkWidget* view = nullptr;
    GtkWidget* unit_combo = nullptr;
    GtkWidget* color = nullptr;
    GtkWidget* width = nullptr;
    GtkWidget* font = nullptr;
};

int quantity_of(const FamilyPage& p) { return diagrams::ISO_QUANTITY[sz(p.family)]; }

std::string text_of(const FamilyPage& p, double base) {
    if (!std::isfinite(base)) return "";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", to_display(quantity_of(p), p.unit, base));
    return buf;
}

void set_row(FamilyPage& p, GtkTreeIter* it, double base) {
    gtk_list_store_set(p.store, it, ISO_BASE, base, ISO_TEXT, text_of(p, base).c_str(), -1);
}

// A number and nothing else (blanks around it allowed); nothing for other
// texts.
bool parse_number(const char* text, double& value) {
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || errno == ERANGE) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return false;
    value = v;
    return true;
}

void isovalchanged(GtkCellRendererText*, gchar* path, gchar* text, gpointer data) {
    auto* p = static_cast<FamilyPage*>(data);
    GtkTreeIter it;
    if (!gtk_tree_model_get_iter_from_string(GTK_TREE_MODEL(p->store), &it, path)) return;
    const std::string page = diagrams::ISO_PAGE_NAMES[sz(p->family)];
    if (std::string(text).find_first_not_of(" \t") == std::string::npos) return;  // left empty
    double shown = 0;
    if (!parse_number(text, shown)) {
        show_error(page + ": \"" + text + "\" is not a number.");
        return;
    }
    const double base = to_internal(quantity_of(*p), p->unit, shown);
    const std::string why = diagrams::iso_value_refusal(p->family, p->unit, base);
    if (!why.empty()) {
        show_error(why);
        return;
    }
    set_row(*p, &it, base);
}

void addone(GtkButton*, gpointer data) {
    auto* p = static_cast<FamilyPage*>(data);
    GtkTreeIter it;
    gtk_list_store_append(p->store, &it);
    set_row(*p, &it, NOT_FILLED);
    GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(p->store), &it);
    gtk_widget_grab_focus(p->view);
    gtk_tree_view_set_cursor(GTK_TREE_VIEW(p->view), path,
                             gtk_tree_view_get_column(GTK_TREE_VIEW(p->view), 0), TRUE);
    gtk_tree_path_free(path);
}

void removeone(GtkButton*, gpointer data) {
    auto* p = static_cast<FamilyPage*>(data);
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(p->view));
    GtkTreeIter it;
    if (gtk_tree_selection_get_selected(selection, nullptr, &it))
        gtk_list_store_remove(p->store, &it);
}

// Unit change: the rows keep their values and show them in the new unit.
void select_iso_unit(GtkComboBox* combo, gpointer data) {
    auto* p = static_cast<FamilyPage*>(data);
    const int unit = gtk_combo_box_get_active(combo);
    if (unit < 0 || unit == p->unit) return;
    p->unit = unit;
    GtkTreeModel* model = GTK_TREE_MODEL(p->store);
    GtkTreeIter it;
    for (bool ok = gtk_tree_model_get_iter_first(model, &it); ok;
         ok = gtk_tree_model_iter_next(model, &it)) {
        double base = 0;
        gtk_tree_model_get(model, &it, ISO_BASE, &base, -1);
        set_row(*p, &it, base);
    }
}

std::vector<double> rows_of(const FamilyPage& p) {
    std::vector<double> out;
    GtkTreeModel* model = GTK_TREE_MODEL(p.store);
    GtkTreeIter it;
    for (bool ok = gtk_tree_model_get_iter_first(model, &it); ok;
         ok = gtk_tree_model_iter_next(model, &it)) {
        double base = 0;
        gtk_tree_model_get(model, &it, ISO_BASE, &base, -1);
        if (base != NOT_FILLED) out.push_back(base);  // rows never filled in are dropped
    }
    return out;
}

GtkWidget* list_of(FamilyPage& p, const Graph& graph) {
    p.store = gtk_list_store_new(ISO_COLUMNS, G_TYPE_DOUBLE, G_TYPE_STRING);
    for (double base : diagrams::shown_positions(graph, p.family)) {
        GtkTreeIter it;
        gtk_list_store_append(p.store, &it);
        set_row(p, &it, base);
    }
    gtk_tree_sortable_set_sort_column_id(GTK_TREE_SORTABLE(p.store), ISO_BASE, GTK_SORT_ASCENDING);
    p.view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(p.store));
    g_object_unref(p.store);  // the view holds it
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(p.view), FALSE);
    GtkCellRenderer* cell = gtk_cell_renderer_text_new();
    g_object_set(cell, "editable", TRUE, nullptr);
    g_signal_connect(cell, "edited", G_CALLBACK(isovalchanged), &p);
    gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(p.view), -1, "", cell, "text",
                                                ISO_TEXT, nullptr);
    const std::string name = "iso_list_" + std::to_string(p.family);
    gtk_widget_set_name(p.view, name.c_str());
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                   GTK_POLICY_AUTOMATIC);
    gtk_widget_set_size_request(scrolled, 60, 400);
    gtk_container_add(GTK_CONTAINER(scrolled), p.view);
    return scrolled;
}

GtkWidget* family_page(FamilyPage& p, const Graph& graph) {
    const IsolineStyle& st = graph.iso_style[sz(p.family)];
    const int q = quantity_of(p);
    p.unit = valid_unit(q, st.unit) ? st.unit : 0;
    GdkColor c{st.color.pixel, st.color.red, st.color.green, st.color.blue};
    p.color = gtk_color_button_new_with_color(&c);
    p.width = my_spinner(ISO_WIDTH_MIN, ISO_WIDTH_MAX, ISO_WIDTH_STEP, ISO_WIDTH_DIGITS, st.width,
                         nullptr, nullptr);
    p.font = gtk_font_button_new_with_font(st.font.empty() ? "sans medium 8" : st.font.c_str());
    p.unit_combo = gtk_combo_box_new_text();
    for (int u = 0; u < unit_count(q); ++u)
        gtk_combo_box_append_text(GTK_COMBO_BOX(p.unit_combo), unit_symbol(q, u));
    gtk_combo_box_set_active(GTK_COMBO_BOX(p.unit_combo), p.unit);
    g_signal_connect(p.unit_combo, "changed", G_CALLBACK(select_iso_unit), &p);
    const std::string suffix = std::to_string(p.family);
    gtk_widget_set_name(p.unit_combo, ("iso_unit_" + suffix).c_str());
    gtk_widget_set_name(p.width, ("iso_width_" + suffix).c_str());

    GtkWidget* table = gtk_table_new(4, 2, FALSE);
    const auto fill = static_cast<GtkAttachOptions>(GTK_FILL);
    const std::pair<const char*, GtkWidget*> rows[] = {{"Line Color :", p.color},
                                                       {"Line With :", p.width},
                                                       {"Font :", p.font},
                                                       {"Unit :", p.unit_combo}};
    guint r = 0;
    for (const auto& [label, widget] : rows) {
        gtk_table_attach(GTK_TABLE(table), my_label(label), 0, 1, r, r + 1, fill, fill, 4, 2);
        gtk_table_attach(GTK_TABLE(table), widget, 1, 2, r, r + 1, fill, fill, 4, 2);
        ++r;
    }
    GtkWidget* add = gtk_button_new_from_stock(GTK_STOCK_ADD);
    GtkWidget* remove = gtk_button_new_from_stock(GTK_STOCK_REMOVE);
    gtk_widget_set_name(add, ("iso_add_" + suffix).c_str());
    gtk_widget_set_name(remove, ("iso_remove_" + suffix).c_str());
    g_signal_connect(add, "clicked", G_CALLBACK(addone), &p);
    g_signal_connect(remove, "clicked", G_CALLBACK(removeone), &p);
    GtkWidget* buttons = gtk_hbox_new(TRUE, 2);
    gtk_box_pack_start(GTK_BOX(buttons), add, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(buttons), remove, TRUE, TRUE, 0);

    GtkWidget* left = gtk_vbox_new(FALSE, 2);
    gtk_box_pack_start(GTK_BOX(left), list_of(p, graph), TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(left), buttons, FALSE, FALSE, 0);
    GtkWidget* page = gtk_hbox_new(FALSE, 6);
    gtk_box_pack_start(GTK_BOX(page), left, FALSE, FALSE, 4);
    gtk_box_pack_start(GTK_BOX(page), table, FALSE, FALSE, 4);
    return page;
}

// Every diagram of the open projects (the others of the fluid get new
// positions as hidden).
std::vector<Graph*> all_diagrams() {
    std::vector<Graph*> out;
    for (Project* p : project_list) {
        if (p == nullptr) break;
        for (int g = 1; g < MAX_GRAPHS && p->graphs[sz(g)] != nullptr; ++g)
            out.push_back(p->graphs[sz(g)]);
    }
    return out;
}

void readout_isovalues(Graph& graph, std::array<FamilyPage, NUM_ISO_FAMILIES>& pages) {
    const std::vector<Graph*> others = all_diagrams();
    int added = 0;
    for (FamilyPage& p : pages) {
        graph.iso_style[sz(p.family)].unit = p.unit;
        added += diagrams::apply_iso_positions(graph, p.family, rows_of(p), others);
    }
    if (added > 0 && graph.fluid != nullptr)
        diagrams::calc_isolines(*graph.fluid, diagrams::isoline_progress);
}

void read_out_properties(Graph& graph, const std::array<FamilyPage, NUM_ISO_FAMILIES>& pages) {
    for (const FamilyPage& p : pages) {
        IsolineStyle& st = graph.iso_style[sz(p.family)];
        GdkColor c;
        gtk_color_button_get_color(GTK_COLOR_BUTTON(p.color), &c);
        st.color = Color{c.pixel, c.red, c.green, c.blue};
        st.width = gtk_spin_button_get_value(GTK_SPIN_BUTTON(p.width));
        st.font = gtk_font_button_get_font_name(GTK_FONT_BUTTON(p.font));
    }
}

}  // namespace

void isoline_settings_dialog() {
    Graph* graph = current_diagram();
    if (graph == nullptr || graph->fluid == nullptr) return;
    GtkWidget* dialog = gtk_dialog_new_with_buttons(
        "Configure Iso Lines", GTK_WINDOW(ui.mainwindow),
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
        GTK_STOCK_OK, GTK_RESPONSE_OK, GTK_STOCK_APPLY, GTK_RESPONSE_APPLY, GTK_STOCK_CANCEL,
        GTK_RESPONSE_CANCEL, nullptr);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER_ON_PARENT);
    std::array<FamilyPage, NUM_ISO_FAMILIES> pages;
    GtkWidget* book = gtk_notebook_new();
    for (int f = 0; f < NUM_ISO_FAMILIES; ++f) {
        pages[sz(f)].family = f;
        gtk_notebook_append_page(GTK_NOTEBOOK(book), family_page(pages[sz(f)], *graph),
                                 gtk_label_new(diagrams::ISO_PAGE_NAMES[sz(f)]));
    }
    gtk_box_pack_start(GTK_BOX(GTK_DIALOG(dialog)->vbox), book, TRUE, TRUE, 0);
    gtk_widget_show_all(book);
    for (;;) {
        const int response = run_dialog(GTK_DIALOG(dialog));
        if (response == GTK_RESPONSE_OK || response == GTK_RESPONSE_APPLY) {
            readout_isovalues(*graph, pages);
            read_out_properties(*graph, pages);
            diagram_changed(graph);
            if (response == GTK_RESPONSE_OK) break;
        } else if (response == GTK_RESPONSE_CANCEL || response == GTK_RESPONSE_DELETE_EVENT ||
                   response == GTK_RESPONSE_NONE) {
            break;
        }
    }
    gtk_widget_destroy(dialog);
}

}  // namespace app::gui
