// Diagrams in the window: "Create new Graph" and the QT diagram, hiding,
// showing and deleting diagram rows, and the settings dialogs (axes,
// curves, isolines) on the calculated steam example.
#include "gui_support.h"
#include "tree_support.h"

#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/solver/simulator.h"
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

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
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
    // A second water process with a water separator and one of air, made
    // in code (not calculated).
    void add_processes(Project* p) {
        Process* loop = create_process(0);
        loop->fluid = fluids[FLUID_WATER];
        loop->name = "Separator loop";
        insert_part(*loop, 1, create_part(WATER_SEPARATOR));
        append_process(*p, loop);
        build_process_in_tree(p, loop);
        Process* air = create_process(0);
        air->name = "Air loop";
        append_process(*p, air);
        build_process_in_tree(p, air);
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
    create_new_graph(nullptr, nullptr);
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
    create_new_graph(nullptr, nullptr);
    ASSERT_NE(p->graphs[5], nullptr);
    EXPECT_EQ(p->graphs[5]->az_curves, 3);
    // Cancel makes nothing.
    create_new_graph(nullptr, nullptr);
    EXPECT_EQ(p->graphs[6], nullptr);

    // Hide and Show Graph: the same settings.
    const std::array<double, 3> x_before = range_of(ts->x_axis);
    remove_graph_tab(nullptr, nullptr, ts);
    EXPECT_EQ(view_of(ts), nullptr);
    last_press_path = {3, 3};
    show_graph(nullptr, nullptr);
    pump();
    ASSERT_NE(view_of(ts), nullptr);
    EXPECT_EQ(range_of(ts->x_axis), x_before);

    // Deleting the first diagram: the others move up a row.
    const std::string second = p->graphs[2]->name, third = p->graphs[3]->name;
    delete_graph(p, 1);
    pump();
    EXPECT_EQ(cell(p, {3, 0}, COL_NAME), second);
    EXPECT_EQ(cell(p, {3, 1}, COL_NAME), third);
    EXPECT_EQ(p->graphs[3], ts);
    EXPECT_EQ(cell(p, {3, 4}, COL_NAME), "<no row>");
}

TEST_F(GraphRows, QtDiagramOfAConvergedInterface) {
    Project* p = open_steam();
    ASSERT_NE(p, nullptr);
    Interface* itf = create_interface();
    const Part* turbine = p->processes[0]->parts[3];
    itf->hot_part_id = turbine->id;
    itf->cold_part_id = p->processes[0]->parts[1]->id;
    itf->hot_process_id = itf->cold_process_id = p->processes[0]->id;
    p->current_interface = append_interface(*p, itf);
    create_qt_graph(nullptr, nullptr);  // the interface has not converged
    EXPECT_EQ(p->graphs[4], nullptr);
    itf->status = IS_CONVERGED;
    create_qt_graph(nullptr, nullptr);
    Graph* qt = p->graphs[4];
    ASSERT_NE(qt, nullptr);
    pump();
    EXPECT_EQ(qt->name, "QT-diagram " + itf->name);
    EXPECT_EQ(cell(p, {3, 3}, COL_ICON), "My_diagramqt");
    EXPECT_DOUBLE_EQ(qt->y_axis.max_pos, 1.1 * std::max(turbine->T[0], turbine->T[1]));
    EXPECT_EQ(qt->y_axis.min_pos, 0);
    EXPECT_EQ(range_of(qt->x_axis), (std::array<double, 3>{0, 1, 0.1}));
    EXPECT_EQ(qt->x_axis.label, "Relative Transferred Heat");

    // Its axis dialog has no x range; the x range stays.
    answer_dialogs({[&](GtkDialog* d) {
        EXPECT_EQ(find_widget(GTK_WIDGET(d), "x_start"), nullptr);
        EXPECT_EQ(find_widget(GTK_WIDGET(d), "x_end"), nullptr);
        EXPECT_NE(find_widget(GTK_WIDGET(d), "y_start"), nullptr);
        set_spin(d, "x_step", 0.2);
        return GTK_RESPONSE_OK;
    }});
    configure_axis_x_or_y(0);
    EXPECT_EQ(range_of(qt->x_axis), (std::array<double, 3>{0, 1, 0.2}));

    set_default_unit(Q_TEMPERATURE, 1);  // °C
    create_qt_graph(nullptr, nullptr);
    ASSERT_NE(p->graphs[5], nullptr);
    EXPECT_EQ(p->graphs[5]->y_axis.min_pos, 0.15);
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
    configure_axis_x_or_y(1);
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
    configure_axis_x_or_y(0);
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
    const diagrams::NewGraph made = diagrams::new_property_graph(*p, fluids[FLUID_WATER], 2);
    ASSERT_NE(made.graph, nullptr);
    Graph* g = made.graph;
    add_graph_tab(p, g);
    create_plot_graph(p, g);
    show(g);
    const CurveStyle first = g->curve_style[0];
    answer_dialogs({[&](GtkDialog* d) {
        screenshot("curve_dialog");
        const std::vector<GtkWidget*> toggles = children(widget(d, "curve_list"));
        EXPECT_EQ(toggles.size(), 2u);
        EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(toggles[1])), "Process  1:Separator loop");
        EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(toggles[0])));
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(toggles[1]), TRUE);
        set_spin(d, "line_width", 7);
        set_combo(d, "line_style", 3);
        return GTK_RESPONSE_OK;
    }});
    curve_settings_callback(nullptr, nullptr);
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
    curve_settings_callback(nullptr, nullptr);
    EXPECT_EQ(listed, 0u);
    g->az_curves = 2;
}

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
    start_zooming_callback(nullptr, nullptr);
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
    start_zooming_callback(nullptr, nullptr);
    send(ts, GDK_BUTTON_PRESS, ex, ey);
    EXPECT_TRUE(drag_running());
    EXPECT_TRUE(zoom_rectangle_running());
    remove_graph_tab(nullptr, nullptr, ts);
    EXPECT_FALSE(drag_running());
    EXPECT_FALSE(zoom_rectangle_running());
    EXPECT_FALSE(zoom_waiting_for_corner());
    last_press_path = {3, 0};
    show_graph(nullptr, nullptr);
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
    select_units(nullptr, nullptr);
    UnitsDialog* d = units_dialog();
    ASSERT_NE(d, nullptr);
    gtk_combo_box_set_active(GTK_COMBO_BOX(d->box[Q_SPECIFIC_ENERGY]), mj);
    gtk_combo_box_set_active(GTK_COMBO_BOX(d->box[Q_DENSITY]), lb);
    gtk_dialog_response(GTK_DIALOG(d->dialog), GTK_RESPONSE_OK);
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
void type_into_new_row(GtkDialog* d, int family, const char* typed) {
    gtk_button_clicked(GTK_BUTTON(find_widget(GTK_WIDGET(d), "iso_add_" + std::to_string(family))));
    GtkTreeView* view = iso_list(d, family);
    const int n = gtk_tree_model_iter_n_children(gtk_tree_view_get_model(view), nullptr);
    GList* cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(gtk_tree_view_get_column(view, 0)));
    const std::string path = std::to_string(n - 1);  // a new row sorts last
    g_signal_emit_by_name(cells->data, "edited", path.c_str(), typed);
    g_list_free(cells);
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
    isoline_settings_dialog();
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
            gtk_button_clicked(GTK_BUTTON(find_widget(GTK_WIDGET(d), "iso_remove_3")));
        }
        return GTK_RESPONSE_OK;
    }});
    const std::size_t isotherms = water.iso[ISO_ISOTHERM].positions.size();
    isoline_settings_dialog();
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
    GtkAction* isobars_toggle = action_at("ui/MenuBar/MenuGraphics/ShowIsoPressureAction");
    ASSERT_NE(isobars_toggle, nullptr);
    gtk_toggle_action_set_active(GTK_TOGGLE_ACTION(isobars_toggle), shown == 0);
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
