// Diagrams in the window: "Create new Graph" and the QT diagram, hiding,
// showing and deleting diagram rows, and the settings dialogs (axes,
// curves, isolines) on the calculated steam example.
#include "gui_support.h"
#include "tree_support.h"
#include "user_path.h"

#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/solver/simulator.h"
#include "app/core/views/flowsheet.h"
#include "app/diagrams/images.h"
#include "app/diagrams/isolines.h"
#include "app/diagrams/mapping.h"
#include "app/diagrams/new_graph.h"
#include "app/diagrams/render.h"
#include "app/diagrams/settings_values.h"
#include "app/diagrams/text.h"
#include "app/gui/diagram_actions.h"
#include "app/gui/diagram_page.h"
#include "app/gui/handlers.h"
#include "app/gui/select_units.h"
#include "tests/diagrams/diagram_support.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace app;
using namespace app::gui;
using namespace guitest;

// Counts what the isoline computation reports.
struct CountingProgress : diagrams::IsolineProgress {
    int begins = 0, steps = 0;
    void begin() override { ++begins; }
    void step(double, const std::string&) override { ++steps; }
};

class Diagrams : public GuiTest {
protected:
    // The steam example, calculated, with its three diagrams.
    Project* open_steam() { return open_calculated("steam_rankine.kvr"); }
    // A second water process with a water separator and one of air, added
    // as a user adds them (not calculated).
    void add_processes(Project* p) {
        show_graph_page(p->graphs[0]);
        answer_dialogs({new_process_answer("Separator loop", "Water")});
        choose("ui/Popup_on_nothing_in_graph/InsertProcess");
        ASSERT_EQ(p->az_processes, 2);
        press(p, {1, 1, 1}, 3);  // its "Parts" row
        choose("ui/Popup_on_part_short/InsertWaterseparator");
        ASSERT_EQ(p->processes[1]->parts[1]->type, WATER_SEPARATOR);
        answer_dialogs({new_process_answer("Air loop", "Air")});
        choose("ui/Popup_on_nothing_in_graph/InsertProcess");
        ASSERT_EQ(p->az_processes, 3);
        dialog_titles.clear();
    }
    void show(Graph* g) {
        show_graph_page(g);
        ASSERT_EQ(g->project->current_graph, g);
    }
    static GtkWidget* widget(GtkDialog* d, const char* name) {
        GtkWidget* w = find_widget(GTK_WIDGET(d), name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static void set_spin(GtkDialog* d, const char* name, double v) {
        gtk_spin_button_set_value(GTK_SPIN_BUTTON(widget(d, name)), v);
    }
    static std::string text(GtkDialog* d, const char* name) {
        return gtk_entry_get_text(GTK_ENTRY(widget(d, name)));
    }
    static void set_combo(GtkDialog* d, const char* name, int i) {
        gtk_combo_box_set_active(GTK_COMBO_BOX(widget(d, name)), i);
    }
    static int rows(GtkWidget* combo) {
        return gtk_tree_model_iter_n_children(gtk_combo_box_get_model(GTK_COMBO_BOX(combo)),
                                              nullptr);
    }
    static std::vector<GtkWidget*> children(GtkWidget* box) {
        GList* list = gtk_container_get_children(GTK_CONTAINER(box));
        std::vector<GtkWidget*> out;
        for (GList* l = list; l != nullptr; l = l->next) out.push_back(GTK_WIDGET(l->data));
        g_list_free(list);
        return out;
    }
};

// A synthetic button or motion event at (x, y) of a diagram's drawing area.
void send(Graph* g, GdkEventType type, double x, double y) {
    GtkWidget* area = view_of(g)->drawing_area;
    GdkEvent* e = gdk_event_new(type);
    e->any.window = GDK_WINDOW(g_object_ref(area->window));
    e->any.send_event = TRUE;
    if (type == GDK_MOTION_NOTIFY) {
        e->motion.x = x, e->motion.y = y;
        e->motion.device = gdk_device_get_core_pointer();
    } else {
        e->button.x = x, e->button.y = y, e->button.button = 1;
        e->button.device = gdk_device_get_core_pointer();
    }
    gtk_widget_event(area, e);
    gdk_event_free(e);
}

// The close button on the tab of the diagram's page, pressed.
void hide_page(Graph* g) {
    const GraphView* view = view_of(g);
    ASSERT_TRUE(view != nullptr && view->page_box != nullptr);
    GtkNotebook* book = GTK_NOTEBOOK(view_of(g->project)->graph_book);
    GtkWidget* tab = gtk_notebook_get_tab_label(book, view->page_box);
    GList* list = gtk_container_get_children(GTK_CONTAINER(tab));
    GtkWidget* button = g_list_length(list) == 2 ? GTK_WIDGET(g_list_nth_data(list, 1)) : nullptr;
    g_list_free(list);
    ASSERT_NE(button, nullptr) << "no close button on the tab";
    press_widget(button);
}

// A double click on the diagram's row under "Graphs": its page again.
void show_again(Project* p, int row) { press(p, {3, row}, 1, GDK_2BUTTON_PRESS); }

// The axis dialog of the current diagram: the x axis's page from the
// menu, the y axis's by a double click beside the y axis.
void open_axis_dialog(Graph* g, int page) {
    if (page == 0) {
        choose("ui/MenuBar/MenuGraphics/ConfigAxisAction");
        return;
    }
    const diagrams::Mapping m = diagrams::mapping_of(*g);
    const double w = m.plot_right() - m.plot_left(), h = m.plot_bottom() - m.plot_top();
    send(g, GDK_2BUTTON_PRESS, m.plot_left() + 0.03 * w, m.plot_bottom() - 0.02 * h);
    pump();
}

// Start, end and step of an axis.
std::array<double, 3> range_of(const Axis& a) { return {a.min_pos, a.max_pos, a.step}; }

using GraphRows = Diagrams;
using AxisDialog = Diagrams;
using CurveDialog = Diagrams;
using IsoDialog = Diagrams;

TEST_F(GraphRows, CreateHideShowDelete) {
    Project* p = open_steam();
    ASSERT_NE(p, nullptr);
    add_processes(p);
    const std::string water = fluids[FLUID_WATER]->name;
    answer_dialogs({[&](GtkDialog* d) {
        GtkWidget* fluid = widget(d, "graph_fluid");
        GtkWidget* type = widget(d, "graph_type");
        EXPECT_EQ(rows(fluid), 2);  // water once, then air
        EXPECT_EQ(gtk_combo_box_get_active_text(GTK_COMBO_BOX(fluid)), water);
        EXPECT_EQ(rows(type), 5);
        EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(type)), 2);
        return GTK_RESPONSE_OK;
    }});
    choose("ui/MenuBar/MenuGraphics/CreateGraphAction");
    Graph* ts = p->graphs[4];
    ASSERT_NE(ts, nullptr);
    EXPECT_EQ(ts->name, "T-s Diagram " + water);
    ASSERT_EQ(ts->az_curves, 2);  // the steam cycle and the separator loop
    EXPECT_EQ(ts->curve_style[1].line_style, 9);
    EXPECT_EQ(cell(p, {3, 3}, COL_NAME), ts->name);
    EXPECT_EQ(cell(p, {3, 3}, COL_ICON), "My_diagram");
    EXPECT_EQ(p->changed, 1);

    // aftercreategraph (idle): every finished part inside, 5 to 10 steps.
    pump();
    screenshot("new_graph");
    const Process& steam = *p->processes[0];
    for (int k = 1; k < steam.az_parts - 1; ++k) {
        const Part& part = *steam.parts[sz(k)];
        for (int i = 0; i <= part.steps; ++i) {
            double x = 0, y = 0;
            diagrams::getxy(*ts, part, i, x, y);
            EXPECT_TRUE(x >= ts->x_axis.min_pos && x <= ts->x_axis.max_pos) << k << ":" << i;
            EXPECT_TRUE(y >= ts->y_axis.min_pos && y <= ts->y_axis.max_pos) << k << ":" << i;
        }
    }
    for (const Axis* a : {&ts->x_axis, &ts->y_axis}) {
        const double r = (a->max_pos - a->min_pos) / a->step;
        EXPECT_TRUE(r >= 5 && r <= 10) << r;
    }

    // p-T: every process.
    answer_dialogs({[&](GtkDialog* d) {
        set_combo(d, "graph_type", 4);
        return GTK_RESPONSE_OK;
    }});
    choose("ui/ToolBar/CreateGraphAction");
    ASSERT_NE(p->graphs[5], nullptr);
    EXPECT_EQ(p->graphs[5]->az_curves, 3);
    // Cancel makes nothing.
    press(p, {3}, 3);
    choose("ui/Popup_on_graphs/CreateGraphAction");
    EXPECT_EQ(p->graphs[6], nullptr);

    // Hide and Show Graph: the same settings.
    const std::array<double, 3> x_before = range_of(ts->x_axis);
    hide_page(ts);
    EXPECT_EQ(view_of(ts), nullptr);
    show_again(p, 3);
    ASSERT_NE(view_of(ts), nullptr);
    EXPECT_EQ(range_of(ts->x_axis), x_before);

    // Deleting the first diagram: the others move up a row.
    const std::string second = p->graphs[2]->name, third = p->graphs[3]->name;
    press(p, {3, 0}, 3);
    choose("ui/Popup_on_graph/DeleteAction");
    EXPECT_EQ(cell(p, {3, 0}, COL_NAME), second);
    EXPECT_EQ(cell(p, {3, 1}, COL_NAME), third);
    EXPECT_EQ(p->graphs[3], ts);
    EXPECT_EQ(cell(p, {3, 4}, COL_NAME), "<no row>");
}

TEST_F(GraphRows, QtDiagramOfAConvergedInterface) {
    Project* p = open_project_file(example("coupled_water.kvr"));
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->az_interfaces, 1);
    pump();
    // Not converged yet: no QT diagram offered.
    press_interface(p, 0);
    EXPECT_FALSE(action_sensitive("ui/Popup_on_interface_in_graph/CreateQtGraphAction"));
    EXPECT_FALSE(widget_sensitive("ui/ToolBar/CreateQtGraphAction"));
    EXPECT_EQ(calcProject(*p), CS_FINISHED);
    pump();
    update_graphs(p);
    const Interface& itf = *p->interfaces[0];
    ASSERT_EQ(itf.status, IS_CONVERGED);
    press_interface(p, 0);
    choose("ui/Popup_on_interface_in_graph/CreateQtGraphAction");
    Graph* qt = p->graphs[1];
    ASSERT_NE(qt, nullptr);
    pump();
    const Process& hot_process = *p->processes[sz(get_process_num_by_id(p, itf.hot_process_id))];
    const Part* hot = part_of_process(*p, hot_process, itf.hot_part_id);
    ASSERT_NE(hot, nullptr);
    EXPECT_EQ(qt->name, "QT-diagram " + itf.name);
    EXPECT_EQ(cell(p, {3, 0}, COL_ICON), "My_diagramqt");
    EXPECT_DOUBLE_EQ(qt->y_axis.max_pos, 1.1 * std::max(hot->T[0], hot->T[1]));
    EXPECT_EQ(qt->y_axis.min_pos, 0);
    EXPECT_EQ(range_of(qt->x_axis), (std::array<double, 3>{0, 1, 0.1}));
    EXPECT_EQ(qt->x_axis.label, "Relative Transferred Heat");
    screenshot("qt_diagram");

    // Its axis dialog has no x range; the x range stays.
    answer_dialogs({[&](GtkDialog* d) {
        EXPECT_EQ(find_widget(GTK_WIDGET(d), "x_start"), nullptr);
        EXPECT_EQ(find_widget(GTK_WIDGET(d), "x_end"), nullptr);
        EXPECT_NE(find_widget(GTK_WIDGET(d), "y_start"), nullptr);
        set_spin(d, "x_step", 0.2);
        return GTK_RESPONSE_OK;
    }});
    open_axis_dialog(qt, 0);
    EXPECT_EQ(dialog_titles, (std::vector<std::string>{"Axis Properties"}));
    EXPECT_EQ(range_of(qt->x_axis), (std::array<double, 3>{0, 1, 0.2}));

    set_default_unit(Q_TEMPERATURE, 1);  // °C
    show_graph_page(p->graphs[0]);       // the flowsheet's tab
    press_interface(p, 0);
    choose("ui/ToolBar/CreateQtGraphAction");
    ASSERT_NE(p->graphs[2], nullptr);
    EXPECT_EQ(p->graphs[2]->y_axis.min_pos, 0.15);
    set_default_unit(Q_TEMPERATURE, 0);
}

TEST_F(AxisDialog, UnitsApplyCancelAndRefusals) {
    Project* p = open_steam();
    ASSERT_NE(p, nullptr);
    Graph* ts = p->graphs[1];
    show(ts);
    const Axis y0 = ts->y_axis;
    std::string start_k, end_k, step_k;
    answer_dialogs({
        [&](GtkDialog* d) {
            start_k = text(d, "y_start"), end_k = text(d, "y_end"), step_k = text(d, "y_step");
            set_combo(d, "y_unit", 1);  // °C
            EXPECT_NE(text(d, "y_start"), start_k);
            set_combo(d, "y_unit", 0);  // K again
            EXPECT_EQ(text(d, "y_start"), start_k);
            EXPECT_EQ(text(d, "y_end"), end_k);
            EXPECT_EQ(text(d, "y_step"), step_k);
            return GTK_RESPONSE_APPLY;
        },
        [&](GtkDialog* d) {
            set_spin(d, "y_start", 350);
            return GTK_RESPONSE_APPLY;
        },
        [](GtkDialog*) { return GTK_RESPONSE_CANCEL; },
    });
    open_axis_dialog(ts, 1);
    // Applied, kept after Cancel; the others exact after K -> °C -> K.
    EXPECT_EQ(range_of(ts->y_axis), (std::array<double, 3>{350, y0.max_pos, y0.step}));
    EXPECT_TRUE(messages().empty());

    // Ranges that cannot be drawn are refused; the dialog stays open.
    const std::array<double, 3> x0 = range_of(ts->x_axis);
    answer_dialogs({
        [&](GtkDialog* d) {
            set_spin(d, "y_start", y0.max_pos + 10);
            return GTK_RESPONSE_OK;
        },
        [&](GtkDialog* d) {
            set_spin(d, "y_start", 350);
            set_spin(d, "x_start", -1e99);
            set_spin(d, "x_end", 1e99);
            set_spin(d, "x_step", 0.001);
            return GTK_RESPONSE_APPLY;
        },
        [](GtkDialog*) { return GTK_RESPONSE_CANCEL; },
    });
    open_axis_dialog(ts, 0);
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NE(shown[0].text.find("The Y axis must start below its end"), std::string::npos);
    EXPECT_NE(shown[1].text.find("The X axis from"), std::string::npos) << shown[1].text;
    EXPECT_EQ(range_of(ts->x_axis), x0);
    EXPECT_EQ(ts->y_axis.min_pos, 350);
}

TEST_F(CurveDialog, OnlyTheChosenCurveChanges) {
    Project* p = open_steam();
    ASSERT_NE(p, nullptr);
    add_processes(p);
    answer_dialogs({[](GtkDialog*) { return GTK_RESPONSE_OK; }});  // T-s of water
    choose("ui/MenuBar/MenuGraphics/CreateGraphAction");
    Graph* g = p->graphs[4];
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->fluid, fluids[FLUID_WATER]);
    show(g);
    const CurveStyle first = g->curve_style[0];
    answer_dialogs({[&](GtkDialog* d) {
        screenshot("curve_dialog");
        const std::vector<GtkWidget*> toggles = children(widget(d, "curve_list"));
        EXPECT_EQ(toggles.size(), 2u);
        EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(toggles[1])), "Process  1:Separator loop");
        EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(toggles[0])));
        click(toggles[1]);
        EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(toggles[1])));
        set_spin(d, "line_width", 7);
        set_combo(d, "line_style", 3);
        return GTK_RESPONSE_OK;
    }});
    choose("ui/MenuBar/MenuGraphics/ConfigProcessAction");
    EXPECT_EQ(g->curve_style[1].line_width, 7);
    EXPECT_EQ(g->curve_style[1].line_style, 3);
    EXPECT_EQ(g->curve_style[0].line_width, first.line_width);
    EXPECT_EQ(g->curve_style[0].line_style, first.line_style);

    // No curves: an empty list.
    g->az_curves = 0;
    std::size_t listed = 1;
    answer_dialogs({[&](GtkDialog* d) {
        listed = children(widget(d, "curve_list")).size();
        return GTK_RESPONSE_OK;
    }});
    choose("ui/GraphPopupMenu/ConfigProcessAction");
    EXPECT_EQ(listed, 0u);
    g->az_curves = 2;
}

TEST_F(Diagrams, PointerClicksTimersAndReadout) {
    Project* p = open_steam();
    ASSERT_NE(p, nullptr);
    Graph* ts = p->graphs[1];
    show(ts);
    ASSERT_FALSE(ts->cache.empty());
    const diagrams::Mapping m = diagrams::mapping_of(*ts);
    const Part& turbine = *p->processes[0]->parts[3];
    const int mid = turbine.steps / 2;
    const double tx = std::round(m.X(turbine.s[mid])), ty = std::round(m.Y(turbine.T[mid]));
    const double ex = m.plot_left() + 0.3 * (m.plot_right() - m.plot_left());  // off the curves
    const double ey = m.plot_top() + 0.2 * (m.plot_bottom() - m.plot_top());

    // The read-out follows the pointer.
    send(ts, GDK_MOTION_NOTIFY, tx, ty);
    const std::string T = readout_text(ts, 0);
    EXPECT_NEAR(std::atof(T.c_str()), turbine.T[mid], 3) << T;
    EXPECT_EQ(readout_text(ts, 6), "");
    // A mixture without transport values says why under the read-out.
    Fluid* steam = ts->fluid;
    Fluid flue = *fluids[2];  // Humid ISO Air's components, 12 % water
    for (int i = 0; i < 4; ++i) flue.x[static_cast<std::size_t>(i)] *= 0.88;
    flue.x[static_cast<std::size_t>(flue.water_pos)] = 0.12;
    ts->fluid = &flue;
    send(ts, GDK_MOTION_NOTIFY, ex, ey);
    EXPECT_NE(readout_text(ts, 6).find("12.0 % water"), std::string::npos);
    screenshot("readout_without_transport");
    ts->fluid = steam;
    current_fluid = nullptr;
    send(ts, GDK_MOTION_NOTIFY, tx, ty);
    EXPECT_EQ(readout_text(ts, 6), "");

    // A click on the curve selects the part; on empty area it drags until
    // the release, or until the page goes.
    send(ts, GDK_BUTTON_PRESS, tx, ty);
    EXPECT_EQ(p->current_process, 0);
    EXPECT_EQ(p->current_part, 3);
    EXPECT_FALSE(drag_running());
    send(ts, GDK_BUTTON_PRESS, ex, ey);
    EXPECT_TRUE(drag_running());
    send(ts, GDK_BUTTON_RELEASE, ex, ey);
    EXPECT_FALSE(drag_running());
    // Zoom mode: the rectangle follows the pointer; the second click zooms.
    choose("ui/MenuBar/MenuGraphics/ZoomStartAction");
    send(ts, GDK_BUTTON_PRESS, ex, ey);  // the first corner
    EXPECT_TRUE(zoom_rectangle_running());
    gint ox = 0, oy = 0;
    gdk_window_get_origin(view_of(ts)->drawing_area->window, &ox, &oy);
    gdk_display_warp_pointer(gdk_display_get_default(), gdk_screen_get_default(),
                             ox + static_cast<int>(ex) + 200, oy + static_cast<int>(ey) + 150);
    run_until([] { return false; }, 0.1);
    screenshot("zoom_rectangle");
    const double x_end = m.value_x(std::round(ex + 200));  // whole pixels
    send(ts, GDK_BUTTON_PRESS, ex + 200, ey + 150);
    EXPECT_FALSE(zoom_rectangle_running());
    EXPECT_NEAR(ts->x_axis.max_pos, x_end, 1e-9);
    // A drag and a new rectangle stop when their page goes.
    send(ts, GDK_BUTTON_PRESS, ex, ey);
    choose("ui/GraphPopupMenu/ZoomStartAction");
    send(ts, GDK_BUTTON_PRESS, ex, ey);
    EXPECT_TRUE(drag_running());
    EXPECT_TRUE(zoom_rectangle_running());
    hide_page(ts);
    EXPECT_FALSE(drag_running());
    EXPECT_FALSE(zoom_rectangle_running());
    EXPECT_FALSE(zoom_waiting_for_corner());
    show_again(p, 0);
    show(ts);

    // Double clicks: the y axis's page even near the x axis, the x axis's
    // page, the curve under the pointer, the isolines beyond an axis end,
    // nothing on empty plot area.
    std::vector<int> axis_pages;
    auto axis_page = [&](GtkDialog* d) {
        axis_pages.push_back(gtk_notebook_get_current_page(GTK_NOTEBOOK(widget(d, "axis_pages"))));
        return GTK_RESPONSE_CANCEL;
    };
    answer_dialogs({axis_page, axis_page});
    const double w = m.plot_right() - m.plot_left(), h = m.plot_bottom() - m.plot_top();
    send(ts, GDK_2BUTTON_PRESS, m.plot_left() + 0.03 * w, m.plot_bottom() - 0.02 * h);
    send(ts, GDK_2BUTTON_PRESS, ex, m.plot_bottom() - 0.03 * h);
    EXPECT_EQ(axis_pages, (std::vector<int>{1, 0}));
    dialog_titles.clear();
    send(ts, GDK_2BUTTON_PRESS, tx, ty);
    send(ts, GDK_2BUTTON_PRESS, ex, ey);
    send(ts, GDK_2BUTTON_PRESS, m.plot_right() + 10, ey);
    EXPECT_EQ(dialog_titles, (std::vector<std::string>{"Curve Properties", "Configure Iso Lines"}));
}

// Pixels of the plot area of a diagram's page, as its picture stands, that
// are coloured (neither white, grey nor black): isolines and the dome.
int coloured_plot_pixels(const Graph* g) {
    cairo_surface_t* picture = graph_picture(g);
    if (picture == nullptr) return 0;
    const int w = static_cast<int>(std::lround(g->width));
    const int h = static_cast<int>(std::lround(g->height));
    cairo_surface_t* seen = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(seen);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(seen);
    const diagrams::Mapping m = diagrams::mapping_of(*g);
    const unsigned char* data = cairo_image_surface_get_data(seen);
    const int stride = cairo_image_surface_get_stride(seen);
    int count = 0;
    for (int y = static_cast<int>(m.plot_top()) + 1; y < static_cast<int>(m.plot_bottom()); ++y)
        for (int x = static_cast<int>(m.plot_left()) + 1; x < static_cast<int>(m.plot_right());
             ++x) {
            std::uint32_t px = 0;
            std::memcpy(&px, data + y * stride + x * 4, sizeof px);
            const int r = static_cast<int>((px >> 16) & 0xFF),
                      gr = static_cast<int>((px >> 8) & 0xFF), b = static_cast<int>(px & 0xFF);
            if (std::max({r, gr, b}) - std::min({r, gr, b}) > 60) ++count;
        }
    cairo_surface_destroy(seen);
    return count;
}

// Every page of a file opened in the window gets its isolines. Opening
// draws the first page, which computes the fluid's lines; its progress
// window lets the other pages be drawn meanwhile, and they were left
// without isolines, dome or wetness lines (h-s and p-h of the steam
// example, until a calculation drew them again).
TEST_F(Diagrams, EveryPageOfAnOpenedFileGetsItsIsolines) {
    Fluid& water = *fluids[FLUID_WATER];
    for (IsoFamily& fam : water.iso) std::fill(fam.computed.begin(), fam.computed.end(), 0);
    water.dome_count = 0;  // nothing computed yet, as when the program starts
    answer_choosers({example("steam_rankine.kvr")});
    choose("ui/MenuBar/MenuFile/OpenAction");
    Project* p = project_list[0];
    ASSERT_NE(p, nullptr);
    for (int k = 1; k <= 3; ++k) {
        Graph* g = p->graphs[sz(k)];
        ASSERT_NE(g, nullptr);
        show(g);
        EXPECT_TRUE(run_until([g] { return coloured_plot_pixels(g) > 1000; }, 20))
            << g->name << ": " << coloured_plot_pixels(g) << " coloured pixels";
        screenshot("opened_page_" + std::to_string(k));
    }
    EXPECT_EQ(diagrams::pending_isolines(water), 0);
}

// The pressure labels of a diagram in the window can be read: the
// ladder's ticks crowd towards each decade's end (3.01, 4.01 and 5.01 bar
// of the steam example's p-h diagram were drawn into one smear), and a
// label that would touch the one below it is left out. Each run of inked
// rows in the label column of the picture on screen is one label high.
TEST_F(Diagrams, PressureTickLabelsStayLegible) {
    Project* p = open_steam();
    ASSERT_NE(p, nullptr);
    Graph* ph = p->graphs[3];
    ASSERT_EQ(ph->type, 3);
    show(ph);
    pump();
    screenshot("pressure_tick_labels");
    cairo_surface_t* picture = graph_picture(ph);
    ASSERT_NE(picture, nullptr);
    const int w = static_cast<int>(std::lround(ph->width));
    const int h = static_cast<int>(std::lround(ph->height));
    cairo_surface_t* seen = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(seen);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    const diagrams::Mapping m = diagrams::mapping_of(*ph);
    const Axis& a = ph->y_axis;
    const int label_right = static_cast<int>(m.plot_left() - a.tick_length - 3);
    const int one = diagtest::label_ink_height(a.tick_font, ph->font_scale);
    const std::vector<int> runs =
        diagtest::ink_runs(seen, label_right - 20, label_right, static_cast<int>(m.plot_top()),
                           static_cast<int>(m.plot_bottom()) + 10);
    cairo_surface_destroy(seen);
    EXPECT_GE(runs.size(), 8u);
    for (int run : runs) EXPECT_LE(run, one);
}

// The read-out's numbers are in the units shown beside them. After Select
// Units chose MJ/kg and lb/ft3, the labels say so, the entries whose unit
// changed are emptied, and the next read-out writes h and rho in them (the
// labels once said MJ/kg over a number in kJ/kg).
TEST_F(Diagrams, ReadoutUnitsFollowSelectUnits) {
    Project* p = open_steam();
    ASSERT_NE(p, nullptr);
    Graph* ts = p->graphs[1];
    show(ts);
    const diagrams::Mapping m = diagrams::mapping_of(*ts);
    const Part& turbine = *p->processes[0]->parts[3];
    const int mid = turbine.steps / 2;
    const double tx = std::round(m.X(turbine.s[mid])), ty = std::round(m.Y(turbine.T[mid]));
    send(ts, GDK_MOTION_NOTIFY, tx, ty);
    EXPECT_EQ(readout_unit(ts, 4), "kJ/kg");
    EXPECT_EQ(readout_unit(ts, 2), "kg/m3");
    const double h_kj = std::atof(readout_text(ts, 4).c_str());
    const double rho_kg = std::atof(readout_text(ts, 2).c_str());
    const std::string T = readout_text(ts, 0);
    EXPECT_NEAR(h_kj, turbine.h[mid], 20);

    const int mj = find_unit(Q_SPECIFIC_ENERGY, "MJ/kg");
    const int lb = find_unit(Q_DENSITY, "lb/ft3");
    ASSERT_GT(mj, 0);
    ASSERT_GT(lb, 0);
    const int energy_unit = unitdef[Q_SPECIFIC_ENERGY].default_unit;
    const int density_unit = unitdef[Q_DENSITY].default_unit;
    choose("ui/MenuBar/MenuPreferences/DefaultUnitsAction");
    UnitsDialog* d = units_dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(user_sees_named(d->dialog));
    gtk_combo_box_set_active(GTK_COMBO_BOX(d->box[Q_SPECIFIC_ENERGY]), mj);
    gtk_combo_box_set_active(GTK_COMBO_BOX(d->box[Q_DENSITY]), lb);
    click(gtk_dialog_get_widget_for_response(GTK_DIALOG(d->dialog), GTK_RESPONSE_OK));
    pump();
    EXPECT_EQ(readout_unit(ts, 4), "MJ/kg");
    EXPECT_EQ(readout_unit(ts, 2), "lb/ft3");
    EXPECT_EQ(readout_text(ts, 4), "");
    EXPECT_EQ(readout_text(ts, 2), "");
    EXPECT_EQ(readout_text(ts, 0), T);  // its unit stayed

    send(ts, GDK_MOTION_NOTIFY, tx, ty);
    pump();
    screenshot("readout_in_chosen_units");
    EXPECT_NEAR(std::atof(readout_text(ts, 4).c_str()), h_kj / 1000, 0.006);
    EXPECT_NEAR(std::atof(readout_text(ts, 2).c_str()), rho_kg * 0.06242796058, 0.006);
    EXPECT_EQ(readout_unit(ts, 4), "MJ/kg");
    EXPECT_EQ(readout_unit(ts, 2), "lb/ft3");
    set_default_unit(Q_SPECIFIC_ENERGY, energy_unit);
    set_default_unit(Q_DENSITY, density_unit);
}

// The rows of a family's list, the edits typed into them.
GtkTreeView* iso_list(GtkDialog* d, int family) {
    return GTK_TREE_VIEW(find_widget(GTK_WIDGET(d), "iso_list_" + std::to_string(family)));
}
std::vector<std::string> iso_texts(GtkDialog* d, int family) {
    std::vector<std::string> out;
    GtkTreeModel* m = gtk_tree_view_get_model(iso_list(d, family));
    GtkTreeIter it;
    for (bool ok = gtk_tree_model_get_iter_first(m, &it); ok;
         ok = gtk_tree_model_iter_next(m, &it)) {
        gchar* t = nullptr;
        gtk_tree_model_get(m, &it, 1, &t, -1);
        out.emplace_back(t != nullptr ? t : "");
        g_free(t);
    }
    return out;
}
// The family's page brought up (a click on its tab), then its "Add" button
// and the text typed into the new row, with Enter.
void type_into_new_row(GtkDialog* d, int family, const char* typed) {
    GtkWidget* add = find_widget(GTK_WIDGET(d), "iso_add_" + std::to_string(family));
    ASSERT_NE(add, nullptr);
    GtkWidget* page = add;
    GtkWidget* up = gtk_widget_get_parent(page);
    while (up != nullptr && !GTK_IS_NOTEBOOK(up)) {
        page = up;
        up = gtk_widget_get_parent(page);
    }
    if (up != nullptr)
        gtk_notebook_set_current_page(GTK_NOTEBOOK(up),
                                      gtk_notebook_page_num(GTK_NOTEBOOK(up), page));
    pump();
    click(add);
    pump();
    GtkWidget* field = gtk_window_get_focus(GTK_WINDOW(d));
    ASSERT_TRUE(field != nullptr && GTK_IS_ENTRY(field)) << "no new row opened for typing";
    gtk_entry_set_text(GTK_ENTRY(field), typed);
    gtk_widget_activate(field);
    pump();
}

TEST_F(IsoDialog, ListsUnitsRefusalsAndToggles) {
    Project* p = open_steam();
    ASSERT_NE(p, nullptr);
    Graph* ts = p->graphs[1];
    Graph* hs = p->graphs[2];
    show(ts);
    Fluid& water = *fluids[FLUID_WATER];
    ASSERT_EQ(diagrams::pending_isolines(water), 0);
    CountingProgress counter;
    diagrams::IsolineProgress* window = diagrams::isoline_progress;
    diagrams::isoline_progress = &counter;

    // An isobar the fluid has and this diagram hides comes back without
    // any computation; a new isotherm computes exactly one line.
    ts->iso_style[ISO_ISOBAR].selected[4] = 0;  // 100 kPa
    const std::size_t isobars = water.iso[ISO_ISOBAR].positions.size();
    answer_dialogs({[&](GtkDialog* d) {
        screenshot("iso_dialog");
        set_combo(d, "iso_unit_0", 1);  // kPa
        type_into_new_row(d, ISO_ISOBAR, "100");
        set_combo(d, "iso_unit_1", 0);  // K
        const std::vector<std::string> kelvin = iso_texts(d, ISO_ISOTHERM);
        set_combo(d, "iso_unit_1", 1);  // °C
        EXPECT_NE(iso_texts(d, ISO_ISOTHERM), kelvin);
        set_combo(d, "iso_unit_1", 0);
        EXPECT_EQ(iso_texts(d, ISO_ISOTHERM), kelvin);
        type_into_new_row(d, ISO_ISOTHERM, "555.5");
        return GTK_RESPONSE_OK;
    }});
    choose("ui/MenuBar/MenuGraphics/ConfigIsolinesAction");
    EXPECT_EQ(ts->iso_style[ISO_ISOBAR].selected[4], 1);
    EXPECT_EQ(water.iso[ISO_ISOBAR].positions.size(), isobars);
    EXPECT_EQ(counter.begins, 1);
    EXPECT_EQ(counter.steps, 1);  // the new isotherm only
    EXPECT_EQ(diagrams::pending_isolines(water), 0);
    const int at = diagrams::find_position(water.iso[ISO_ISOTHERM], 555.5);
    ASSERT_GE(at, 0);
    EXPECT_EQ(ts->iso_style[ISO_ISOTHERM].selected[sz(at)], 1);
    EXPECT_EQ(hs->iso_style[ISO_ISOTHERM].selected.size(), sz(at) + 1);  // there, hidden
    EXPECT_EQ(hs->iso_style[ISO_ISOTHERM].selected[sz(at)], 0);
    EXPECT_TRUE(messages().empty());

    // Values that are no lines are refused; removing every wetness row
    // hides the family here only.
    answer_dialogs({[&](GtkDialog* d) {
        const std::vector<std::string> before = iso_texts(d, ISO_ISOTHERM);
        for (const char* bad : {"nan", "-5", "0", "warm"}) type_into_new_row(d, ISO_ISOTHERM, bad);
        set_combo(d, "iso_unit_3", 1);  // %
        type_into_new_row(d, ISO_WETNESS, "120");
        std::vector<std::string> after = iso_texts(d, ISO_ISOTHERM);
        EXPECT_EQ(after.size(), before.size() + 4);
        EXPECT_EQ(after.back(), "");
        GtkTreeView* wet = iso_list(d, ISO_WETNESS);
        GtkTreeModel* m = gtk_tree_view_get_model(wet);
        GtkTreeIter it;
        while (gtk_tree_model_get_iter_first(m, &it)) {
            gtk_tree_selection_select_iter(gtk_tree_view_get_selection(wet), &it);
            click(find_widget(GTK_WIDGET(d), "iso_remove_3"));
        }
        return GTK_RESPONSE_OK;
    }});
    const std::size_t isotherms = water.iso[ISO_ISOTHERM].positions.size();
    choose("ui/MenuBar/MenuGraphics/ConfigIsolinesAction");
    const auto refused = messages();
    ASSERT_EQ(refused.size(), 5u);
    EXPECT_NE(refused[0].text.find("Isotherm"), std::string::npos);
    EXPECT_EQ(refused[3].text, "Isotherm: \"warm\" is not a number.");
    EXPECT_NE(refused[4].text.find("120 %"), std::string::npos);
    EXPECT_EQ(water.iso[ISO_ISOTHERM].positions.size(), isotherms);
    EXPECT_TRUE(diagrams::shown_positions(*ts, ISO_WETNESS).empty());
    EXPECT_EQ(iso_count(water.iso[ISO_WETNESS]), 9);
    EXPECT_EQ(diagrams::shown_positions(*hs, ISO_WETNESS).size(), 9u);
    diagrams::isoline_progress = window;

    // A menu toggle flips its family; switching pages flips none.
    const int shown = ts->iso_style[ISO_ISOBAR].show;
    choose("ui/GraphPopupMenu/ShowIsoPressureAction");
    EXPECT_EQ(ts->iso_style[ISO_ISOBAR].show, shown == 0 ? 1 : 0);
    auto shows = [](const Graph* g) {
        std::vector<int> out;
        for (const IsolineStyle& st : g->iso_style) out.push_back(st.show);
        return out;
    };
    const std::vector<int> ts_shows = shows(ts), hs_shows = shows(hs);
    show(hs);
    show(ts);
    EXPECT_EQ(shows(ts), ts_shows);
    EXPECT_EQ(shows(hs), hs_shows);
}

// The window's drawing of a diagram as it stands (size, fonts, line
// factor), on an image surface.
cairo_surface_t* drawn_on_image(Graph& g, int w, int h) {
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(image);
    diagrams::draw_graph(g, cr);
    cairo_destroy(cr);
    cairo_surface_flush(image);
    return image;
}

// A diagram's image as batch mode writes it, at the size of its page,
// holds the very pixels of the window's drawing of it (on an image
// surface: the X server's own rendering of the page smooths edges its own
// way), for each diagram of the steam example, and again after the others
// were drawn and written: texts kept from the page's drawing and buffers
// kept from one image to the next change nothing.
TEST_F(Diagrams, BatchImageHoldsTheWindowsDrawing) {
    Project* p = open_steam();
    ASSERT_NE(p, nullptr);
    const std::string dir = std::string(KVR2_BINARY_DIR) + "/screens";
    int diagrams_seen = 0;
    for (int round = 0; round < 2; ++round)
        for (int k = 1; k < p->az_graphs && p->graphs[static_cast<std::size_t>(k)] != nullptr;
             ++k) {
            Graph* g = p->graphs[static_cast<std::size_t>(k)];
            if (g->kind != GK_DIAGRAM) continue;
            ++diagrams_seen;
            show(g);
            pump();
            ASSERT_NE(graph_picture(g), nullptr) << g->name;
            const int w = static_cast<int>(std::lround(g->width));
            const int h = static_cast<int>(std::lround(g->height));
            ASSERT_GT(w, 100) << g->name;
            ASSERT_GT(h, 100) << g->name;
            // Written after the page's drawing (its texts kept), compared
            // with a drawing made with no text kept.
            const std::string path = dir + "/batch_image_" + std::to_string(k) + ".png";
            ASSERT_EQ(diagrams::save_graph_png(*g, path, w, h, false, p->filename), "");
            diagrams::forget_layouts();
            cairo_surface_t* drawn = drawn_on_image(*g, w, h);
            cairo_surface_t* written = cairo_image_surface_create_from_png(path.c_str());
            ASSERT_EQ(cairo_surface_status(written), CAIRO_STATUS_SUCCESS) << path;
            EXPECT_EQ(diagtest::differing_pixels(drawn, written), 0)
                << g->name << " at " << w << " x " << h;
            cairo_surface_destroy(written);
            cairo_surface_destroy(drawn);
        }
    EXPECT_EQ(diagrams_seen, 6);
}

}  // namespace
