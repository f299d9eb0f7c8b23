// The flowsheet page ("Overview"): its toolbar and drawing area, presses,
// the wheel and the zoom, the five Overview toggles, the context buttons,
// and the refresh operations the rest of the window calls.
//
// The sheet is drawn by the one flowsheet drawing (app/diagrams) into a
// picture of the whole zoomed sheet when something on it changed
// (draw_symbol_graph, adjust_graph_size); exposures and scrolling only
// copy from it. While a calculation writes the records that picture is
// shown as it was (a sheet too large for a picture is drawn directly at
// each exposure, and is blank during a calculation).
#include "app/core/views/flowsheet.h"
#include "app/core/model/tools.h"
#include "app/diagrams/flowsheet_draw.h"
#include "app/diagrams/images.h"
#include "app/gui/detail_dialogs.h"
#include "app/gui/diagram_actions.h"
#include "app/gui/diagram_page.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

#include <cmath>
#include <map>

namespace app::gui {

namespace {

// Largest picture kept of a zoomed sheet, in pixels.
constexpr double MAX_PICTURE_PIXELS = 16e6;

constexpr const char* TOOLBAR_ACTIONS[] = {"InsertProcess",         nullptr,
                                           "InsertCompressor",      "InsertPump",
                                           "InsertTurbine",         "InsertHeatExchanger",
                                           "InsertCondenser",       "InsertCombustor",
                                           "InsertCombustoroxy",    "InsertWaterseparator",
                                           "InsertPressureLoss",    "InsertSplitter",
                                           "InsertMixer",           "InsertSplitMix",
                                           "CreateInterfaceAction", nullptr,
                                           "ZoomInSymbol",          "ZoomOutSymbol",
                                           "ZoomResetSymbol"};

struct SheetPage {
    GtkWidget* scroller = nullptr;
    cairo_surface_t* picture = nullptr;
    bool stale = true;  // the records changed since the picture was drawn
};
std::map<const Graph*, SheetPage> pages;

Graph* sheet_of(const Project* project) {
    if (project == nullptr) return nullptr;
    Graph* g = project->graphs[0];
    return g != nullptr && g->kind == GK_FLOWSHEET ? g : nullptr;
}

GtkWidget* area_of(const Graph* sheet) {
    const GraphView* view = view_of(sheet);
    return view != nullptr ? view->drawing_area : nullptr;
}

double zoom_of(const Graph& sheet) { return sheet.symbol_zoom > 0 ? sheet.symbol_zoom : 1.0; }

void drop_picture(SheetPage& page) {
    if (page.picture != nullptr) cairo_surface_destroy(page.picture);
    page.picture = nullptr;
}

void forget_page(GtkWidget*, gpointer graph) {
    auto it = pages.find(static_cast<const Graph*>(graph));
    if (it == pages.end()) return;
    drop_picture(it->second);
    pages.erase(it);
}

// Draws the whole zoomed sheet into the page's picture, unless it shows
// the records as they are; false when the sheet is too large for one.
bool draw_picture(Graph& sheet, SheetPage& page) {
    const double zoom = zoom_of(sheet);
    const int w = static_cast<int>(std::ceil(sheet.sheet_width * zoom));
    const int h = static_cast<int>(std::ceil(sheet.sheet_height * zoom));
    if (w < 1 || h < 1 || w > 32767 || h > 32767 || double(w) * h > MAX_PICTURE_PIXELS) {
        drop_picture(page);
        return false;
    }
    if (page.picture == nullptr || cairo_image_surface_get_width(page.picture) != w ||
        cairo_image_surface_get_height(page.picture) != h) {
        drop_picture(page);
        page.picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
        page.stale = true;
    }
    if (!page.stale) return true;
    cairo_t* cr = cairo_create(page.picture);
    diagrams::draw_flowsheet(sheet, cr, zoom);
    cairo_destroy(cr);
    page.stale = false;
    return true;
}

gboolean expose_symbol_graph(GtkWidget* widget, GdkEventExpose* event, gpointer data) {
    auto* sheet = static_cast<Graph*>(data);
    SheetPage& page = pages[sheet];
    cairo_t* cr = gdk_cairo_create(widget->window);
    gdk_cairo_rectangle(cr, &event->area);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    const bool records_free = !calculation_writing();
    if (records_free && !draw_picture(*sheet, page)) {
        diagrams::draw_flowsheet(*sheet, cr, zoom_of(*sheet));
    } else if (page.picture != nullptr) {
        cairo_set_source_surface(cr, page.picture, 0, 0);
        cairo_paint(cr);
    }
    cairo_destroy(cr);
    return FALSE;
}

// Room kept around the current part when the sheet scrolls to it, in
// cells: its name above it and its values beside it show as well.
constexpr double SHOWN_MARGIN_CELLS = 3.0;

// Scrolls the current project's sheet so that its current part shows; runs
// as an idle, after the new size of the sheet has been allocated (the
// scroll range then holds the part), and only while the sheet is still the
// current project's.
gboolean scroll_to_current_part(gpointer data) {
    const auto* sheet = static_cast<const Graph*>(data);
    Project* project = current_project;
    const auto page = pages.find(sheet);
    if (sheet == nullptr || project == nullptr || sheet_of(project) != sheet ||
        page == pages.end() || page->second.scroller == nullptr)
        return FALSE;
    const int p = project->current_process;
    const int k = project->current_part;
    if (p < 0 || p >= project->az_processes || project->processes[sz(p)] == nullptr) return FALSE;
    const Process& process = *project->processes[sz(p)];
    if (k < 0 || k >= process.az_parts || process.parts[sz(k)] == nullptr) return FALSE;
    const Part& part = *process.parts[sz(k)];
    const double zoom = zoom_of(*sheet);
    const double c = zoom * sheet->cell_size;
    const double margin = SHOWN_MARGIN_CELLS * c;
    const double x = zoom * part_x(*sheet, part);
    const double y = zoom * part_y(*sheet, part);
    auto* scroller = GTK_SCROLLED_WINDOW(page->second.scroller);
    gtk_adjustment_clamp_page(gtk_scrolled_window_get_hadjustment(scroller), x - margin,
                              x + c + margin);
    gtk_adjustment_clamp_page(gtk_scrolled_window_get_vadjustment(scroller), y - margin,
                              y + c + margin);
    return FALSE;
}

// The sheet follows the size of the visible area.
void scroller_allocated(GtkWidget*, GtkAllocation*, gpointer data) {
    auto* sheet = static_cast<Graph*>(data);
    if (sheet->project != nullptr) adjust_graph_size(sheet->project);
}

void popup(const char* path, const GdkEventButton* event) {
    GtkWidget* menu = gtk_ui_manager_get_widget(ui.ui_manager, path);
    if (menu == nullptr) return;
    gtk_menu_popup(GTK_MENU(menu), nullptr, nullptr, nullptr, nullptr, event->button, event->time);
}

void zoom(int direction) {
    Project* project = current_project;
    Graph* sheet = sheet_of(project);
    if (sheet == nullptr || calculation_running()) return;
    const double z = direction == 0 ? 1.0 : zoom_step(sheet->symbol_zoom, direction);
    if (z == sheet->symbol_zoom) return;
    sheet->symbol_zoom = z;
    adjust_graph_size(project);
}

gboolean symbol_scrolling(GtkWidget*, GdkEventScroll* event, gpointer) {
    if (event->direction == GDK_SCROLL_UP) zoom(1);
    if (event->direction == GDK_SCROLL_DOWN) zoom(-1);
    return TRUE;
}

// The Overview toggle's state into its flag; the three result displays
// exclude each other.
void set_sheet_flag(GtkToggleAction* action, int Graph::*flag) {
    Project* project = current_project;
    Graph* sheet = sheet_of(project);
    if (sheet == nullptr) return;
    const bool on = gtk_toggle_action_get_active(action) != 0;
    sheet->*flag = on ? 1 : 0;
    static const std::pair<int Graph::*, const char*> results[] = {
        {&Graph::show_tp, "ui/MenuBar/MenuPreferences/OverviewTpToggleAction"},
        {&Graph::show_cross1, "ui/MenuBar/MenuPreferences/OverviewCross1ToggleAction"},
        {&Graph::show_cross2, "ui/MenuBar/MenuPreferences/OverviewCross2ToggleAction"}};
    bool result_flag = false;
    for (const auto& [f, path] : results) result_flag = result_flag || f == flag;
    if (on && result_flag)
        for (const auto& [f, path] : results) {
            if (f == flag) continue;
            sheet->*f = 0;
            if (GtkAction* other = action_at(path))
                gtk_toggle_action_set_active(GTK_TOGGLE_ACTION(other), FALSE);
        }
    update_part_positions(project);
}

GtkWidget* sheet_toolbar() {
    GtkWidget* toolbar = gtk_toolbar_new();
    gtk_toolbar_set_style(GTK_TOOLBAR(toolbar), GTK_TOOLBAR_ICONS);
    gtk_toolbar_set_icon_size(GTK_TOOLBAR(toolbar), GTK_ICON_SIZE_LARGE_TOOLBAR);
    for (const char* name : TOOLBAR_ACTIONS) {
        GtkToolItem* item = nullptr;
        if (name == nullptr)
            item = gtk_separator_tool_item_new();
        else if (GtkAction* a = gtk_action_group_get_action(ui.action_group, name))
            item = GTK_TOOL_ITEM(gtk_action_create_tool_item(a));
        if (item != nullptr) gtk_toolbar_insert(GTK_TOOLBAR(toolbar), item, -1);
    }
    return toolbar;
}

void measure(const std::string& name, double wrap, int& w, int& h) {
    diagrams::measure_part_name(name, wrap, w, h);
}

}  // namespace

void build_symbol_graph(Project* project) {
    Graph* sheet = sheet_of(project);
    GraphView* view = view_of(sheet);
    if (view == nullptr || view->page_box == nullptr) return;
    sheet->cell_size = 32;
    if (view->drawing_area != nullptr) gtk_widget_destroy(view->drawing_area);
    GtkWidget* area = gtk_drawing_area_new();
    gtk_widget_set_name(area, "flowsheet");
    gtk_widget_add_events(area, GDK_BUTTON_PRESS_MASK | GDK_SCROLL_MASK);
    g_signal_connect(area, "expose-event", G_CALLBACK(expose_symbol_graph), sheet);
    g_signal_connect(area, "button-press-event", G_CALLBACK(symbol_graph_button_press), sheet);
    g_signal_connect(area, "scroll-event", G_CALLBACK(symbol_scrolling), sheet);
    g_signal_connect(area, "destroy", G_CALLBACK(forget_page), sheet);
    GtkWidget* box = gtk_vbox_new(FALSE, 2);
    gtk_box_pack_start(GTK_BOX(box), sheet_toolbar(), FALSE, FALSE, 0);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_add_with_viewport(GTK_SCROLLED_WINDOW(scroller), area);
    // No frame inside the scroller: the visible area is the viewport's.
    gtk_viewport_set_shadow_type(GTK_VIEWPORT(gtk_bin_get_child(GTK_BIN(scroller))),
                                 GTK_SHADOW_NONE);
    gtk_box_pack_start(GTK_BOX(box), scroller, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(view->page_box), box, TRUE, TRUE, 0);
    view->drawing_area = area;
    pages[sheet].scroller = scroller;
    g_signal_connect(scroller, "size-allocate", G_CALLBACK(scroller_allocated), sheet);
    gtk_widget_show_all(box);
    update_part_positions(project);
    update_buttons(project);
}

void update_part_positions(Project* project) {
    Graph* sheet = sheet_of(project);
    if (sheet == nullptr || area_of(sheet) == nullptr || calculation_writing()) return;
    layout_flowsheet(*project, *sheet);
    adjust_graph_size(project);
}

void adjust_graph_size(Project* project) {
    Graph* sheet = sheet_of(project);
    GtkWidget* area = area_of(sheet);
    if (area == nullptr) return;
    const SheetPage& page = pages[sheet];
    double visible_w = 0, visible_h = 0;
    if (page.scroller != nullptr) {
        GtkWidget* viewport = gtk_bin_get_child(GTK_BIN(page.scroller));
        GtkAllocation a;
        gtk_widget_get_allocation(viewport != nullptr ? viewport : page.scroller, &a);
        if (a.width > 1) visible_w = a.width;
        if (a.height > 1) visible_h = a.height;
    }
    const SheetSize size = sheet_size(*sheet, visible_w, visible_h);
    const double zoom = zoom_of(*sheet);
    const int w = static_cast<int>(zoom * size.width);
    const int h = static_cast<int>(zoom * size.height);
    const bool same = sheet->sheet_width == size.width && sheet->sheet_height == size.height;
    sheet->sheet_width = size.width;
    sheet->sheet_height = size.height;
    gint old_w = 0, old_h = 0;
    gtk_widget_get_size_request(area, &old_w, &old_h);
    if (!same || old_w != w || old_h != h) gtk_widget_set_size_request(area, w, h);
    pages[sheet].stale = true;
    gtk_widget_queue_draw(area);
}

void show_current_part_on_sheet(Project* project) {
    Graph* sheet = sheet_of(project);
    if (sheet == nullptr || area_of(sheet) == nullptr) return;
    g_idle_add(scroll_to_current_part, sheet);
}

void draw_symbol_graph(Project* project) {
    Graph* sheet = sheet_of(project);
    GtkWidget* area = area_of(sheet);
    if (area == nullptr) return;
    pages[sheet].stale = true;
    gtk_widget_queue_draw(area);
}

gboolean symbol_graph_button_press(GtkWidget*, GdkEventButton* event, Graph* sheet) {
    Project* project = sheet != nullptr ? sheet->project : nullptr;
    if (project == nullptr || calculation_running()) return FALSE;
    const double zoom = zoom_of(*sheet);
    const double x = event->x / zoom;
    const double y = event->y / zoom;
    const bool single = event->type == GDK_BUTTON_PRESS;
    const bool twice = event->type == GDK_2BUTTON_PRESS;
    const SheetHit hit = hit_part(*project, *sheet, x, y, measure);
    if (hit.process != project->current_process || hit.part != project->current_part ||
        project->current_interface >= 0)
        update_current_process_and_part_and_interface(project, hit.process, hit.part, -1);
    if (hit.part >= 0) {
        Process* process = project->processes[sz(hit.process)];
        if (event->button == 1 && twice) {
            if (hit.part == 0)
                inletdialog(project, process);
            else
                partsdialog(project, hit.process, hit.part);
        } else if (event->button == 3 && single) {
            popup("ui/Popup_on_part_in_graph", event);
        }
        return FALSE;
    }
    const int k = hit_interface(*project, *sheet, x, y);
    if (k >= 0) {
        update_current_process_and_part_and_interface(project, -1, -1, k);
        if (twice) interfacedialog(project, k);
        if (single && event->button == 3) popup("ui/Popup_on_interface_in_graph", event);
        return FALSE;
    }
    if (event->button == 3 && single) popup("ui/Popup_on_nothing_in_graph", event);
    return FALSE;
}

void update_buttons(Project* project) {
    close_stale_detail_dialogs();  // after an edit that took their record away
    if (project != current_project) return;
    const ContextButtons b = project != nullptr ? context_buttons(*project) : ContextButtons{};
    set_action_sensitive("ui/Popup_on_part_in_graph/DeleteAction", b.delete_part);
    set_action_sensitive("ui/Popup_on_part_in_graph/MoveLeftAction", b.move_left);
    set_action_sensitive("ui/Popup_on_part_in_graph/MoveRightAction", b.move_right);
    set_action_sensitive("ui/Popup_on_part_in_graph/CreateInterfaceAction", b.create_interface);
    set_action_sensitive("ui/Popup_on_part_in_graph/ConnectMixerToOutlet", b.connect_to_outlet);
    set_action_sensitive("ui/Popup_on_interface/CreateQtGraphAction", b.create_qt);
}

void update_graphs(Project* project) {
    if (project == nullptr) return;
    for (Graph* g : project->graphs) {
        if (g == nullptr) break;
        if (g->kind == GK_FLOWSHEET)
            update_part_positions(project);
        else if (area_of(g) != nullptr)
            redraw_graph(g);
    }
}

void overview_tp_toggle(GtkToggleAction* a, gpointer) { set_sheet_flag(a, &Graph::show_tp); }
void overview_cross1_toggle(GtkToggleAction* a, gpointer) {
    set_sheet_flag(a, &Graph::show_cross1);
}
void overview_cross2_toggle(GtkToggleAction* a, gpointer) {
    set_sheet_flag(a, &Graph::show_cross2);
}
void overview_name_toggle(GtkToggleAction* a, gpointer) { set_sheet_flag(a, &Graph::show_names); }
void overview_input_toggle(GtkToggleAction* a, gpointer) { set_sheet_flag(a, &Graph::show_inputs); }

void symbol_zoom_in(GtkAction*, gpointer) { zoom(1); }
void symbol_zoom_out(GtkAction*, gpointer) { zoom(-1); }
void symbol_zoom_reset(GtkAction*, gpointer) { zoom(0); }

}  // namespace app::gui
