// The flowsheet page: presses select, open dialogs and pop up menus; the
// zoom steps of the buttons and the wheel; the Overview toggles.
#include "tree_support.h"
#include "user_path.h"

#include "app/core/model/tools.h"
#include "app/core/views/flowsheet.h"
#include "app/gui/handlers.h"

using namespace app;
using namespace app::gui;
using namespace guitest;

namespace {

class Flowsheet : public GuiTest {
protected:
    Project* open_helium() {
        Project* p = open_project_file(example("helium_brayton.kvr"));
        EXPECT_NE(p, nullptr);
        pump();
        return p;
    }
};

GtkWidget* area_of(Project* p) { return view_of(p->graphs[0])->drawing_area; }

// A press on the part's symbol.
void press_symbol(Project* p, const Part& part, guint button,
                  GdkEventType type = GDK_BUTTON_PRESS) {
    const Graph& sheet = *p->graphs[0];
    press_sheet(p, part_x(sheet, part) + 16, part_y(sheet, part) + 16, button, type);
}

void wheel(Project* p, GdkScrollDirection direction) {
    GdkEventScroll event{};
    event.type = GDK_SCROLL;
    event.window = area_of(p)->window;
    event.send_event = TRUE;
    event.direction = direction;
    gtk_widget_event(area_of(p), reinterpret_cast<GdkEvent*>(&event));
    pump();
}

// Whether the window shows the selection frame on the part's left edge
// (a pop-up menu that was over the part may take a moment to leave the
// screen: the pixel is looked at a few times).
bool framed(Project* p, const Part& part) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        pump();
        gdk_flush();
        const Graph& sheet = *p->graphs[0];
        const int x = static_cast<int>(part_x(sheet, part) * sheet.symbol_zoom);
        const int y = static_cast<int>((part_y(sheet, part) + 16) * sheet.symbol_zoom);
        GdkPixbuf* pixel =
            gdk_pixbuf_get_from_drawable(nullptr, area_of(p)->window, nullptr, x, y, 0, 0, 1, 1);
        if (pixel == nullptr) return false;
        const guchar* rgb = gdk_pixbuf_get_pixels(pixel);
        const bool frame = rgb[0] < 10 && rgb[1] > 120 && rgb[1] < 136 && rgb[2] > 245;
        g_object_unref(pixel);
        if (frame) return true;
        g_usleep(30000);
    }
    return false;
}

// Whether the part lies whole in the part of the sheet its scroller shows.
bool in_view(Project* p, const Part& part) {
    const Graph& sheet = *p->graphs[0];
    GtkWidget* viewport = gtk_widget_get_parent(area_of(p));
    auto* scroller = GTK_SCROLLED_WINDOW(gtk_widget_get_parent(viewport));
    const double zoom = sheet.symbol_zoom;
    const double c = sheet.cell_size * zoom;
    const auto inside = [c](GtkAdjustment* a, double at) {
        const double from = gtk_adjustment_get_value(a);
        return at >= from && at + c <= from + gtk_adjustment_get_page_size(a);
    };
    return inside(gtk_scrolled_window_get_hadjustment(scroller), part_x(sheet, part) * zoom) &&
           inside(gtk_scrolled_window_get_vadjustment(scroller), part_y(sheet, part) * zoom);
}

bool menu_shown(const char* path) {
    GtkWidget* menu = gtk_ui_manager_get_widget(ui.ui_manager, path);
    const bool shown = menu != nullptr && gtk_widget_get_mapped(menu);
    if (shown) gtk_menu_popdown(GTK_MENU(menu));
    pump();
    return shown;
}

bool toggled(const char* name) {
    const std::string path = std::string("ui/MenuBar/MenuPreferences/") + name;
    return gtk_toggle_action_get_active(GTK_TOGGLE_ACTION(action_at(path.c_str()))) != 0;
}

// The check item of the Preferences menu clicked when it is not as wanted.
void toggle(const char* name, bool on) {
    if (toggled(name) != on) choose(std::string("ui/MenuBar/MenuPreferences/") + name);
}

}  // namespace

TEST_F(Flowsheet, PressesSelectOpenDialogsAndPopUpMenus) {
    Project* p = open_helium();
    const Process& process = *p->processes[0];
    const Part& comp = *process.parts[1];
    press_symbol(p, comp, 1);
    EXPECT_EQ(p->current_process, 0);
    EXPECT_EQ(p->current_part, 1);
    EXPECT_EQ(selected_paths(tree_view_of(p)), (std::vector<TreePath>{{1, 0, 1, 0}}));
    EXPECT_TRUE(framed(p, comp));
    // The frame follows a part chosen in the tree with button 3.
    press(p, {1, 0, 1, 1}, 3);
    shown_menus();
    EXPECT_EQ(p->current_part, 2);
    EXPECT_TRUE(framed(p, *process.parts[2]));
    EXPECT_FALSE(framed(p, comp));
    // Double clicks: the inlet dialog on the Inlet, the part dialog elsewhere.
    press_symbol(p, *process.parts[0], 1);
    press_symbol(p, *process.parts[0], 1, GDK_2BUTTON_PRESS);
    EXPECT_NE(shown_window("Inlet details of process Helium Brayton Cycle"), nullptr);
    press_symbol(p, comp, 1, GDK_2BUTTON_PRESS);
    GtkWidget* dialog = shown_window("Part details for part 1 of process Helium Brayton Cycle");
    EXPECT_NE(dialog, nullptr);
    if (dialog != nullptr) close_window(dialog);
    if (GtkWidget* d = shown_window("Inlet details of process Helium Brayton Cycle"))
        close_window(d);
    // Button 3: on a part, and on empty space, which also clears the selection.
    press_symbol(p, comp, 3);
    EXPECT_TRUE(menu_shown("ui/Popup_on_part_in_graph"));
    press_sheet(p, 5, p->graphs[0]->sheet_height - 5, 3);
    EXPECT_TRUE(menu_shown("ui/Popup_on_nothing_in_graph"));
    EXPECT_EQ(p->current_part, -1);
    EXPECT_FALSE(action_sensitive("ui/Popup_on_part_in_graph/DeleteAction"));
    // "T,p,h,m" switches the two other result displays off; wider columns.
    const double x_before = part_x(*p->graphs[0], comp);
    toggle("OverviewCross1ToggleAction", true);
    EXPECT_FALSE(toggled("OverviewTpToggleAction"));
    EXPECT_FALSE(toggled("OverviewCross2ToggleAction"));
    EXPECT_EQ(p->graphs[0]->show_tp, 0);
    EXPECT_EQ(p->graphs[0]->show_cross1, 1);
    EXPECT_GT(part_x(*p->graphs[0], comp), x_before);
    toggle("OverviewCross2ToggleAction", true);
    EXPECT_FALSE(toggled("OverviewCross1ToggleAction"));
    screenshot("flowsheet_cross2");
    toggle("OverviewTpToggleAction", true);
    EXPECT_TRUE(messages().empty());
}

TEST_F(Flowsheet, ZoomCountsWholeTenths) {
    Project* p = open_helium();
    Graph& sheet = *p->graphs[0];
    const std::string menu = "ui/Popup_on_nothing_in_graph/";
    for (int i = 0; i < 5; ++i) choose(menu + "ZoomOutSymbol");
    EXPECT_EQ(sheet.symbol_zoom, 0.5);
    choose(menu + "ZoomOutSymbol");
    EXPECT_EQ(sheet.symbol_zoom, 0.5);
    choose(menu + "ZoomResetSymbol");
    EXPECT_EQ(sheet.symbol_zoom, 1.0);
    for (int i = 0; i < 10; ++i) choose("ui/Popup_on_part_in_graph/ZoomInSymbol");
    EXPECT_EQ(sheet.symbol_zoom, 2.0);
    choose(menu + "ZoomInSymbol");
    EXPECT_EQ(sheet.symbol_zoom, 2.0);
    pump();
    gint w = 0, h = 0;
    gtk_widget_get_size_request(area_of(p), &w, &h);
    EXPECT_EQ(w, static_cast<int>(2.0 * sheet.sheet_width));
    // The wheel obeys the same limits.
    wheel(p, GDK_SCROLL_UP);
    EXPECT_EQ(sheet.symbol_zoom, 2.0);
    for (int i = 0; i < 16; ++i) wheel(p, GDK_SCROLL_DOWN);
    EXPECT_EQ(sheet.symbol_zoom, 0.5);
    // A press at a zoomed sheet still finds the part.
    press_symbol(p, *p->processes[0]->parts[1], 1);
    EXPECT_EQ(p->current_part, 1);
    // Without a project nothing moves, and nothing fails (no sheet offers
    // the zoom any more: the handlers' own guard).
    ASSERT_TRUE(close_project(p, false));
    pump();
    symbol_zoom_in(nullptr, nullptr);
    symbol_zoom_reset(nullptr, nullptr);
    toggle("OverviewCross2ToggleAction", true);
    toggle("OverviewTpToggleAction", true);
    EXPECT_EQ(current_project, nullptr);
}

TEST_F(Flowsheet, AnInsertedPartIsScrolledIntoView) {
    Project* p = open_helium();
    const Process& process = *p->processes[0];
    press_symbol(p, *process.parts[1], 1);
    // Parts inserted one after another run off the right edge of the view:
    // each new one is shown, framed, as the tree shows it.
    for (int i = 0; i < 12; ++i) {
        choose("ui/Popup_on_part_in_graph/InsertCompressor");
        const Part& part = *process.parts[sz(p->current_part)];
        EXPECT_TRUE(in_view(p, part)) << part.name;
        EXPECT_TRUE(framed(p, part)) << part.name;
    }
    GtkWidget* viewport = gtk_widget_get_parent(area_of(p));
    GtkAdjustment* across =
        gtk_scrolled_window_get_hadjustment(GTK_SCROLLED_WINDOW(gtk_widget_get_parent(viewport)));
    EXPECT_GT(gtk_adjustment_get_upper(across), gtk_adjustment_get_page_size(across))
        << "the sheet fits the view: nothing had to be scrolled";
    EXPECT_GT(gtk_adjustment_get_value(across), 0.0);
    screenshot("flowsheet_inserted_part_in_view");
    // A part chosen in the tree is scrolled back into view.
    ASSERT_FALSE(in_view(p, *process.parts[1]));
    press(p, {1, 0, 1, 0}, 1);
    EXPECT_EQ(p->current_part, 1);
    EXPECT_TRUE(in_view(p, *process.parts[1]));
    EXPECT_TRUE(framed(p, *process.parts[1]));
}
