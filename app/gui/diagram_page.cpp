// The page of a property diagram: a vertical toolbar of the diagram
// actions, the drawing area over an off-screen picture and its backup,
// and the read-out frame "Properties at mouse pointer".
#include "app/gui/diagram_page.h"

#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/solver/simulator.h"
#include "app/diagrams/isolines.h"
#include "app/diagrams/render.h"
#include "app/gui/calculate.h"
#include "app/gui/diagram_actions.h"
#include "app/gui/gui.h"
#include "app/gui/widgets.h"

#include <array>
#include <cmath>
#include <map>

namespace app::gui {
namespace {

// Checks of a drawing left for later while the library is busy, ms.
constexpr guint DEFERRED_CHECK_MS = 200;

// What a diagram's page holds beside the records.
struct DiagramPage {
    GtkWidget* area = nullptr;
    cairo_surface_t* picture = nullptr;  // off-screen copy of the drawing area
    cairo_surface_t* backup = nullptr;   // the last complete drawing
    std::array<GtkWidget*, 5> values{};  // T, s, rho, p, h
    std::array<GtkWidget*, 5> units{};
    GtkWidget* phase = nullptr;
    GtkWidget* title = nullptr;  // the read-out's title (and why no transport values)
    std::string transport;       // why the fluid has no transport values, or ""
    guint deferred = 0;          // timeout of a drawing left for later
};

constexpr const char* READOUT_TITLE = "Properties at mouse pointer";
// The quantities of the read-out's entries, in the order of `values`.
constexpr std::array<int, 5> READOUT_QUANTITIES = {Q_TEMPERATURE, Q_ENTROPY, Q_DENSITY, Q_PRESSURE,
                                                   Q_SPECIFIC_ENERGY};
constexpr int TITLE_CHARS = 88;  // width of the read-out's title, characters
std::map<const Graph*, DiagramPage> pages;

const char* default_symbol(int quantity) {
    return unit_symbol(quantity, unitdef[sz(quantity)].default_unit);
}

DiagramPage* page_of(const Graph* graph) {
    auto it = pages.find(graph);
    return it != pages.end() ? &it->second : nullptr;
}

void release(cairo_surface_t*& surface) {
    if (surface != nullptr) cairo_surface_destroy(surface);
    surface = nullptr;
}

// True while the calculation worker writes the project's records.
bool worker_running() { return calculation_running() && !calc_worker_joined(); }

gboolean retry_deferred(gpointer data) {
    auto* graph = static_cast<Graph*>(data);
    DiagramPage* page = page_of(graph);
    if (page == nullptr) return FALSE;
    if (library_busy.load() > 0 || worker_running()) return TRUE;
    page->deferred = 0;
    redraw_graph(graph);
    return FALSE;
}

void defer(Graph* graph, DiagramPage& page) {
    if (page.deferred == 0) page.deferred = g_timeout_add(DEFERRED_CHECK_MS, retry_deferred, graph);
}

// Copies the complete drawing into the backup, made at the picture's size
// when there is none.
void copy_to_backup(const Graph* graph, DiagramPage& page) {
    const int w = static_cast<int>(std::lround(graph->width));
    const int h = static_cast<int>(std::lround(graph->height));
    if (page.backup == nullptr)
        page.backup = cairo_surface_create_similar(page.picture, CAIRO_CONTENT_COLOR_ALPHA, w, h);
    cairo_t* cr = cairo_create(page.backup);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    cairo_set_source_surface(cr, page.picture, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
}

gboolean configure_graph(GtkWidget* widget, GdkEventConfigure*, gpointer data) {
    auto* graph = static_cast<Graph*>(data);
    DiagramPage* page = page_of(graph);
    if (page == nullptr || widget->window == nullptr) return TRUE;
    release(page->picture);
    release(page->backup);  // made again at the new size by the next drawing
    graph->width = widget->allocation.width;
    graph->height = widget->allocation.height;
    page->picture = gdk_window_create_similar_surface(
        widget->window, CAIRO_CONTENT_COLOR, widget->allocation.width, widget->allocation.height);
    cairo_t* cr = cairo_create(page->picture);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
    redraw_graph(graph);
    return TRUE;
}

gboolean expose_graph(GtkWidget* widget, GdkEventExpose* event, gpointer data) {
    const DiagramPage* page = page_of(static_cast<Graph*>(data));
    if (page == nullptr || page->picture == nullptr) return FALSE;
    cairo_t* cr = gdk_cairo_create(widget->window);
    gdk_cairo_region(cr, event->region);
    cairo_clip(cr);
    cairo_set_source_surface(cr, page->picture, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    return FALSE;
}

void page_destroyed(GtkWidget*, gpointer data) {
    forget_pointer_state(static_cast<Graph*>(data));
    auto it = pages.find(static_cast<Graph*>(data));
    if (it == pages.end()) return;
    if (it->second.deferred != 0) g_source_remove(it->second.deferred);
    release(it->second.picture);
    release(it->second.backup);
    pages.erase(it);
}

GtkWidget* build_toolbar(const Graph* graph) {
    static const char* const STATE_ITEMS[] = {
        "ui/GraphDummy/ZoomInAction",
        "ui/GraphPopupMenu/ZoomOutAction",
        "ui/GraphPopupMenu/ZoomDefaultAction",
        "ui/GraphPopupMenu/ZoomToPlotAction",
        nullptr,
        "ui/GraphPopupMenu/ConfigAxisAction",
        "ui/GraphPopupMenu/ConfigAxisAutoAction",
        "ui/GraphPopupMenu/ConfigIsolinesAction",
        "ui/GraphPopupMenu/ConfigProcessAction",
        nullptr,
        "ui/GraphPopupMenu/ShowIsoPressureAction",
        "ui/GraphPopupMenu/ShowIsoTemperatureAction",
        "ui/GraphPopupMenu/ShowIsoDensityAction",
        "ui/GraphPopupMenu/ShowIsoWetnessAction",
    };
    static const char* const QT_ITEMS[] = {
        "ui/GraphDummy/ZoomInAction",         "ui/GraphPopupMenu/ZoomDefaultAction",    nullptr,
        "ui/GraphPopupMenu/ConfigAxisAction", "ui/GraphPopupMenu/ConfigAxisAutoAction",
    };
    GtkWidget* toolbar = gtk_toolbar_new();
    gtk_toolbar_set_orientation(GTK_TOOLBAR(toolbar), GTK_ORIENTATION_VERTICAL);
    gtk_toolbar_set_style(GTK_TOOLBAR(toolbar), GTK_TOOLBAR_ICONS);
    gtk_toolbar_set_icon_size(GTK_TOOLBAR(toolbar), GTK_ICON_SIZE_LARGE_TOOLBAR);
    const bool qt = graph->type == 5;
    const std::size_t n = qt ? std::size(QT_ITEMS) : std::size(STATE_ITEMS);
    for (std::size_t i = 0; i < n; ++i) {
        const char* path = qt ? QT_ITEMS[i] : STATE_ITEMS[i];
        GtkToolItem* item = nullptr;
        if (path == nullptr) {
            item = gtk_separator_tool_item_new();
        } else if (GtkAction* action = action_at(path)) {
            item = GTK_TOOL_ITEM(gtk_action_create_tool_item(action));
        }
        if (item != nullptr) gtk_toolbar_insert(GTK_TOOLBAR(toolbar), item, -1);
    }
    return toolbar;
}

// "Properties at mouse pointer": two rows of label, value and unit, and
// the phase.
GtkWidget* build_readout(DiagramPage& page) {
    struct Cell {
        const char* label;
        int row, col;
    };
    static constexpr Cell CELLS[5] = {{"Temperature T", 0, 0},
                                      {"Entropy s", 0, 4},
                                      {"Density Rho", 0, 8},
                                      {"Pressure p", 1, 0},
                                      {"Enthalpy h", 1, 4}};
    const auto fill = static_cast<GtkAttachOptions>(GTK_FILL);
    GtkWidget* frame = my_frame(READOUT_TITLE);
    // Its title also says why the fluid has no transport values; a long
    // text ends in "..." (whole in the tooltip), so the page keeps its size.
    page.title = gtk_frame_get_label_widget(GTK_FRAME(frame));
    gtk_label_set_ellipsize(GTK_LABEL(page.title), PANGO_ELLIPSIZE_END);
    GtkWidget* table = gtk_table_new(2, 11, FALSE);
    auto attach = [&](GtkWidget* w, guint col, guint row, guint span = 1, guint xpad = 4,
                      guint ypad = 2) {
        gtk_table_attach(GTK_TABLE(table), w, col, col + span, row, row + 1, fill, fill, xpad,
                         ypad);
    };
    for (std::size_t i = 0; i < std::size(CELLS); ++i) {
        const Cell& c = CELLS[i];
        const auto col = static_cast<guint>(c.col), row = static_cast<guint>(c.row);
        attach(my_label(c.label), col, row);
        page.values[i] = my_display_entry(6, "%8.5f", 0.0);
        attach(page.values[i], col + 1, row);
        page.units[i] = my_label(default_symbol(READOUT_QUANTITIES[i]));
        gtk_label_set_use_markup(GTK_LABEL(page.units[i]), FALSE);
        attach(page.units[i], col + 2, row);
        if (c.col < 8) attach(gtk_vseparator_new(), col + 3, row);
    }
    page.phase = my_entry();
    gtk_entry_set_width_chars(GTK_ENTRY(page.phase), 32);
    gtk_entry_set_text(GTK_ENTRY(page.phase), "- 0");
    attach(page.phase, 8, 1, 3, 1, 0);
    gtk_container_add(GTK_CONTAINER(frame), table);
    // The title takes about the table's width, no more.
    gtk_label_set_width_chars(GTK_LABEL(page.title), TITLE_CHARS);
    return frame;
}

// The isoline progress window: modal, at the pointer, above the others.
class IsolineWindow : public diagrams::IsolineProgress {
public:
    void begin() override {
        window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_title(GTK_WINDOW(window_), "Calculating Isolines");
        if (ui.mainwindow != nullptr)
            gtk_window_set_transient_for(GTK_WINDOW(window_), GTK_WINDOW(ui.mainwindow));
        gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
        gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_MOUSE);
        gtk_window_set_keep_above(GTK_WINDOW(window_), TRUE);
        gtk_window_set_deletable(GTK_WINDOW(window_), FALSE);
        gtk_widget_set_size_request(window_, 300, 60);
        GtkWidget* box = gtk_vbox_new(FALSE, 0);
        gtk_box_pack_start(GTK_BOX(box), gtk_label_new("Calculating Isolines"), TRUE, TRUE, 0);
        bar_ = gtk_progress_bar_new();
        gtk_box_pack_start(GTK_BOX(box), bar_, TRUE, TRUE, 0);
        text_ = my_entry();
        gtk_entry_set_text(GTK_ENTRY(text_), std::string(46, '-').c_str());
        gtk_box_pack_start(GTK_BOX(box), text_, TRUE, TRUE, 0);
        gtk_container_add(GTK_CONTAINER(window_), box);
        gtk_widget_show_all(window_);
        gtk_widget_set_size_request(window_, 400, 60);
        pump();
    }
    void step(double fraction, const std::string& text) override {
        if (window_ == nullptr) return;
        gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(bar_), std::clamp(fraction, 0.0, 1.0));
        if (!text.empty()) gtk_entry_set_text(GTK_ENTRY(text_), text.c_str());
        pump();
    }
    void end() override {
        if (window_ != nullptr) gtk_widget_destroy(window_);
        window_ = bar_ = text_ = nullptr;
    }

private:
    GtkWidget* window_ = nullptr;
    GtkWidget* bar_ = nullptr;
    GtkWidget* text_ = nullptr;
    static void pump() {
        while (gtk_events_pending()) gtk_main_iteration();
    }
};
IsolineWindow isoline_window;

}  // namespace

void install_isoline_window() { diagrams::isoline_progress = &isoline_window; }

void create_plot_graph(Project* project, Graph* graph) {
    GraphView* view = view_of(graph);
    if (project == nullptr || graph == nullptr || view == nullptr || view->page_box == nullptr)
        return;
    project->current_graph = graph;
    DiagramPage& page = pages[graph];
    GtkWidget* row = gtk_hbox_new(FALSE, 0);
    gtk_box_pack_start(GTK_BOX(view->page_box), row, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(row), build_toolbar(graph), FALSE, FALSE, 0);

    GtkWidget* area = gtk_drawing_area_new();
    page.area = area;
    view->drawing_area = area;
    gtk_box_pack_start(GTK_BOX(row), area, TRUE, TRUE, 0);
    gtk_widget_show_all(view->page_box);
    gtk_widget_add_events(area, GDK_POINTER_MOTION_MASK | GDK_POINTER_MOTION_HINT_MASK |
                                    GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                    GDK_SCROLL_MASK);
    g_signal_connect(area, "expose_event", G_CALLBACK(expose_graph), graph);
    g_signal_connect(area, "configure_event", G_CALLBACK(configure_graph), graph);
    g_signal_connect(area, "destroy", G_CALLBACK(page_destroyed), graph);
    connect_pointer_handlers(area, graph);
    gtk_widget_set_has_tooltip(area, TRUE);

    if (graph->type >= 0 && graph->type <= 4) {
        gtk_box_pack_end(GTK_BOX(view->page_box), build_readout(page), FALSE, FALSE, 0);
        gtk_widget_show_all(view->page_box);
    }
}

void show_diagram_pages(Project* project) {
    if (project == nullptr) return;
    for (int g = 1; g < MAX_GRAPHS; ++g) {
        Graph* graph = project->graphs[sz(g)];
        if (graph == nullptr) break;
        if (graph->kind != GK_DIAGRAM || (view_of(graph) != nullptr && view_of(graph)->page_box))
            continue;
        add_graph_tab(project, graph);
        create_plot_graph(project, graph);
    }
    const ProjectView* pview = view_of(project);
    if (pview != nullptr && pview->graph_book != nullptr)
        gtk_notebook_set_current_page(GTK_NOTEBOOK(pview->graph_book), 0);
}

void redraw_graph(Graph* graph) {
    DiagramPage* page = page_of(graph);
    if (page == nullptr || page->picture == nullptr) return;
    if (worker_running()) return;  // the calculation's end redraws every diagram
    cairo_surface_t* target = cairo_surface_reference(page->picture);
    cairo_t* cr = cairo_create(target);
    diagrams::drawing_deferred = 0;
    diagrams::draw_graph(*graph, cr);
    cairo_destroy(cr);
    const bool deferred = diagrams::drawing_deferred != 0;
    // The progress window of the isolines lets events through: the page may
    // have been resized (and drawn anew) or closed meanwhile.
    page = page_of(graph);
    if (page != nullptr && page->picture == target) {
        pointer_picture_redrawn(graph);
        copy_to_backup(graph, *page);
        gtk_widget_queue_draw_area(page->area, 0, 0, static_cast<int>(std::lround(graph->width)),
                                   static_cast<int>(std::lround(graph->height)));
        if (deferred) defer(graph, *page);
    }
    cairo_surface_destroy(target);
}

void restore_backup(Graph* graph) {
    DiagramPage* page = page_of(graph);
    if (page == nullptr || page->picture == nullptr || page->backup == nullptr) return;
    cairo_t* cr = cairo_create(page->picture);
    cairo_set_source_surface(cr, page->backup, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    gtk_widget_queue_draw_area(page->area, 0, 0, static_cast<int>(std::lround(graph->width)),
                               static_cast<int>(std::lround(graph->height)));
}

void set_readout(const Graph* graph, const std::string& T, const std::string& p,
                 const std::string& h, const std::string& s, const std::string& rho,
                 const std::string& phase, const std::string& transport) {
    DiagramPage* page = page_of(graph);
    if (page == nullptr || page->phase == nullptr) return;
    if (page->title != nullptr && transport != page->transport) {
        page->transport = transport;
        const std::string title =
            transport.empty() ? READOUT_TITLE : std::string(READOUT_TITLE) + " - " + transport;
        gtk_label_set_text(GTK_LABEL(page->title), title.c_str());
        gtk_widget_set_tooltip_text(page->title, transport.empty() ? nullptr : title.c_str());
    }
    // Entries in the order of the frame: T, s, rho, p, h.
    const std::string* texts[5] = {&T, &s, &rho, &p, &h};
    for (std::size_t i = 0; i < page->values.size(); ++i)
        gtk_entry_set_text(GTK_ENTRY(page->values[i]), texts[i]->c_str());
    gtk_entry_set_text(GTK_ENTRY(page->phase), phase.c_str());
    // The texts are in the default units, which may have changed since the
    // page was built.
    for (std::size_t i = 0; i < page->units.size(); ++i)
        gtk_label_set_text(GTK_LABEL(page->units[i]), default_symbol(READOUT_QUANTITIES[i]));
}

void relabel_readout(const Graph* graph) {
    DiagramPage* page = page_of(graph);
    if (page == nullptr || page->phase == nullptr) return;
    for (std::size_t i = 0; i < page->units.size(); ++i) {
        const char* symbol = default_symbol(READOUT_QUANTITIES[i]);
        GtkLabel* label = GTK_LABEL(page->units[i]);
        if (std::string(gtk_label_get_text(label)) == symbol) continue;
        gtk_label_set_text(label, symbol);
        // Its number was in the unit before: none is shown until the
        // pointer moves again.
        gtk_entry_set_text(GTK_ENTRY(page->values[i]), "");
    }
}

std::string readout_unit(const Graph* graph, int entry) {
    const DiagramPage* page = page_of(graph);
    if (page == nullptr || page->phase == nullptr || entry < 0 ||
        entry >= static_cast<int>(page->units.size()))
        return "";
    return gtk_label_get_text(GTK_LABEL(page->units[static_cast<std::size_t>(entry)]));
}

std::string readout_text(const Graph* graph, int entry) {
    const DiagramPage* page = page_of(graph);
    if (page == nullptr || page->phase == nullptr || entry < 0 || entry > 6) return "";
    if (entry == 6) {
        // The title's text after "Properties at mouse pointer - ".
        const std::string t =
            page->title != nullptr ? gtk_label_get_text(GTK_LABEL(page->title)) : "";
        const std::size_t n = std::string(READOUT_TITLE).size() + 3;
        return t.size() > n ? t.substr(n) : "";
    }
    GtkWidget* w = entry < 5 ? page->values[static_cast<std::size_t>(entry)] : page->phase;
    return gtk_entry_get_text(GTK_ENTRY(w));
}

cairo_surface_t* graph_picture(const Graph* graph) {
    const DiagramPage* page = page_of(graph);
    return page != nullptr ? page->picture : nullptr;
}

cairo_surface_t* graph_backup(const Graph* graph) {
    const DiagramPage* page = page_of(graph);
    return page != nullptr ? page->backup : nullptr;
}

}  // namespace app::gui
