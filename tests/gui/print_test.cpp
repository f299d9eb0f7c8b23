// Output of a diagram page: export to PDF through the print operation,
// "Save to png", and the off-screen picture and its backup when the window
// grows.
#include "gui_support.h"
#include "user_path.h"

#include "app/diagrams/render.h"
#include "app/gui/diagram_page.h"
#include "app/gui/handlers.h"

#include <cairo.h>

#include <cmath>
#include <filesystem>
#include <fstream>

using namespace app;
using namespace app::gui;
using namespace guitest;
namespace fs = std::filesystem;

namespace {

// A pixel of a surface of any kind (copied into an image first).
struct Rgb {
    int r, g, b;
};
Rgb pixel(cairo_surface_t* surface, int x, int y) {
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(img);
    cairo_set_source_surface(cr, surface, -x, -y);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(img);
    const auto* d = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(img));
    const Rgb p{static_cast<int>((*d >> 16) & 0xff), static_cast<int>((*d >> 8) & 0xff),
                static_cast<int>(*d & 0xff)};
    cairo_surface_destroy(img);
    return p;
}

std::string head_of(const std::string& path, std::size_t n) {
    std::ifstream in(path, std::ios::binary);
    std::string s(n, '\0');
    in.read(s.data(), static_cast<std::streamsize>(n));
    s.resize(static_cast<std::size_t>(in.gcount()));
    return s;
}

class Print : public GuiTest {
protected:
    // A copy of the steam example with its T-s diagram's page shown and
    // drawn.
    Graph* open_diagram() {
        const std::string path = scratch_dir() + "/steam.kvr";
        fs::copy_file(example("steam_rankine.kvr"), path, fs::copy_options::overwrite_existing);
        Project* p = open_project_file(path);
        if (p == nullptr) return nullptr;
        Graph* g = p->graphs[1];
        GtkNotebook* book = GTK_NOTEBOOK(view_of(p)->graph_book);
        gtk_notebook_set_current_page(book, gtk_notebook_page_num(book, view_of(g)->page_box));
        run_until([g] { return graph_picture(g) != nullptr && graph_backup(g) != nullptr; });
        return g;
    }
};

}  // namespace

TEST_F(Print, ExportToPdfKeepsTheDiagramOnScreen) {
    Graph* g = open_diagram();
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(current_project->current_graph, g);
    screenshot("diagram_page");
    const double W = g->width, H = g->height;
    cairo_surface_t* picture = graph_picture(g);
    ASSERT_GT(W, 500);

    const std::string pdf = scratch_dir() + "/ts.pdf";
    fs::remove(pdf);
    ASSERT_TRUE(print_current_graph(GTK_PRINT_OPERATION_ACTION_EXPORT, pdf));
    EXPECT_EQ(head_of(pdf, 4), "%PDF");
    EXPECT_GT(fs::file_size(pdf), 10000u);
    EXPECT_EQ(g->width, W);
    EXPECT_EQ(g->height, H);
    EXPECT_EQ(g->font_scale, 1.0);
    EXPECT_EQ(g->printing, 0);
    EXPECT_EQ(graph_picture(g), picture);
    EXPECT_EQ(diagrams::screenshot, 0);
    EXPECT_TRUE(messages().empty());

    // An export that cannot be written is reported.
    EXPECT_FALSE(print_current_graph(GTK_PRINT_OPERATION_ACTION_EXPORT,
                                     scratch_dir() + "/no/such/folder/ts.pdf"));
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find("cannot be printed"), std::string::npos) << shown[0].text;
    EXPECT_EQ(g->width, W);
}

TEST_F(Print, SaveToPngAtTheSizeOnScreen) {
    Graph* g = open_diagram();
    ASSERT_NE(g, nullptr);
    const std::string dir = scratch_dir() + "/png";
    fs::remove_all(dir);
    fs::create_directories(dir + "/taken.png");
    answer_choosers({dir + "/shot", dir + "/a.png.old", dir + "/taken"});
    choose("ui/MenuBar/MenuGraphics/SavePngAction");
    ASSERT_EQ(chooser_requests.size(), 1u);
    EXPECT_EQ(chooser_requests[0].title, "Save to png");
    EXPECT_EQ(chooser_requests[0].filter, "*.png");
    ASSERT_TRUE(fs::exists(dir + "/shot.png"));
    cairo_surface_t* img = cairo_image_surface_create_from_png((dir + "/shot.png").c_str());
    EXPECT_EQ(cairo_image_surface_get_width(img), view_of(g)->drawing_area->allocation.width);
    EXPECT_EQ(cairo_image_surface_get_height(img), view_of(g)->drawing_area->allocation.height);
    cairo_surface_destroy(img);

    choose("ui/MenuBar/MenuGraphics/SavePngAction");  // a name holding ".png" is kept
    EXPECT_EQ(head_of(dir + "/a.png.old", 4), "\x89PNG");
    EXPECT_FALSE(fs::exists(dir + "/a.png.old.png"));
    EXPECT_TRUE(messages().empty());

    choose("ui/MenuBar/MenuGraphics/SavePngAction");  // "taken.png" is a folder
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find("taken.png' cannot be saved"), std::string::npos) << shown[0].text;
    EXPECT_EQ(g->font_scale, 1.0);
    EXPECT_EQ(diagrams::screenshot, 0);
}

// Print from the toolbar: the toolkit's print dialog comes up over the
// window with its printers and settings; Cancel prints nothing and keeps
// the diagram as it was.
TEST_F(Print, PrintDialogComesUpOverTheWindow) {
    Graph* g = open_diagram();
    ASSERT_NE(g, nullptr);
    const double W = g->width;
    bool seen = false;
    when([] { return shown_window("Print") != nullptr; },
         [&] {
             GtkWidget* dialog = shown_window("Print");
             seen = dialog != nullptr;
             EXPECT_TRUE(user_sees(dialog, {}, 400, 300));
             screenshot("print_dialog", dialog);
             if (dialog != nullptr) close_window(dialog);
         });
    choose("ui/ToolBar/PrintGraphAction");
    EXPECT_TRUE(seen);
    EXPECT_EQ(shown_window("Print"), nullptr);
    EXPECT_EQ(g->width, W);
    EXPECT_EQ(g->printing, 0);
    EXPECT_TRUE(messages().empty());
}

// "Create Screenshot" through the toolkit's own chooser: the folder and a
// name typed, Save clicked; the picture is written there with ".png".
TEST_F(Print, SaveToPngThroughTheChooser) {
    Graph* g = open_diagram();
    ASSERT_NE(g, nullptr);
    const std::string dir = scratch_dir() + "/chosen";
    fs::remove_all(dir);
    fs::create_directories(dir);
    meet_real_dialogs(true);
    bool seen = false;
    when([] { return shown_window("Save to png") != nullptr; },
         [&] {
             GtkWidget* chooser = shown_window("Save to png");
             seen = true;
             EXPECT_TRUE(user_sees(chooser, {}, 500, 300));
             gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), dir.c_str());
             run_until(
                 [&] {
                     gchar* now = gtk_file_chooser_get_current_folder(GTK_FILE_CHOOSER(chooser));
                     const bool there = now != nullptr && dir == now;
                     g_free(now);
                     return there;
                 },
                 5);
             gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(chooser), "ts");
             screenshot("png_chooser", chooser);
             click(gtk_dialog_get_widget_for_response(GTK_DIALOG(chooser), GTK_RESPONSE_ACCEPT));
         });
    choose("ui/MenuBar/MenuGraphics/SavePngAction");
    meet_real_dialogs(false);
    EXPECT_TRUE(seen);
    EXPECT_EQ(head_of(dir + "/ts.png", 4), "\x89PNG");
    EXPECT_TRUE(messages().empty());
}

// After the diagram grows, the backup is made again at the new size:
// restoring it covers what was drawn over the picture beyond the old size.
TEST_F(Print, BackupFollowsTheSize) {
    Graph* g = open_diagram();
    ASSERT_NE(g, nullptr);
    // The divider beside the tree makes the diagram wider (room to shrink
    // it in), narrower, then wider again.
    GtkPaned* divider = GTK_PANED(view_of(current_project)->page);
    const int first = static_cast<int>(g->width);
    gtk_paned_set_position(divider, gtk_paned_get_position(divider) - 400);
    ASSERT_TRUE(run_until([&] { return g->width > first + 100; }, 10)) << first << " " << g->width;
    const int wide = static_cast<int>(g->width);
    gtk_paned_set_position(divider, gtk_paned_get_position(divider) + 400);
    ASSERT_TRUE(run_until([&] { return g->width < wide - 100; }, 10)) << wide << " " << g->width;
    const int old_w = static_cast<int>(g->width), old_h = static_cast<int>(g->height);
    gtk_paned_set_position(divider, gtk_paned_get_position(divider) - 400);
    ASSERT_TRUE(run_until([&] { return g->width > old_w + 100; }, 10));
    ASSERT_TRUE(run_until([&] { return graph_backup(g) != nullptr; }, 10));
    pump();

    // A rubber band beyond the old size, then the backup over it.
    cairo_t* cr = cairo_create(graph_picture(g));
    cairo_set_source_rgb(cr, 0, 0, 0);
    const int x = old_w + 50, y = old_h / 2;
    cairo_rectangle(cr, x - 5, y - 5, 10, 10);
    cairo_fill(cr);
    cairo_destroy(cr);
    const Rgb drawn = pixel(graph_picture(g), x, y);
    EXPECT_EQ(drawn.r + drawn.g + drawn.b, 0);
    restore_backup(g);
    const Rgb restored = pixel(graph_picture(g), x, y);
    EXPECT_GT(restored.r + restored.g + restored.b, 0);
    screenshot("diagram_grown");
}
