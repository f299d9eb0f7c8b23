// The current graph on paper, in a PDF file or as a PNG image: the
// renderer draws into the print context or an image for one drawing, and
// the diagram on screen stays as it was.
#include "app/core/files/filehandling.h"
#include "app/core/program/kvr.h"
#include "app/diagrams/images.h"
#include "app/diagrams/render.h"
#include "app/gui/diagram_page.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

#include <glib/gstdio.h>
#include <sys/stat.h>

#include <cmath>

namespace app::gui {
namespace {

Graph* current_graph() {
    return current_project != nullptr ? current_project->current_graph : nullptr;
}

void begin_print(GtkPrintOperation* operation, GtkPrintContext*, gpointer) {
    gtk_print_operation_set_n_pages(operation, 1);
}

// The flowsheet on the page: the sheet's size times its zoom fitted to the
// page width, or to its height when that is the tighter.
void draw_sheet_page(Graph& sheet, cairo_t* cr, double W, double H) {
    if (diagrams::draw_symbol_graph == nullptr) return;
    const double zoom = sheet.symbol_zoom > 0 ? sheet.symbol_zoom : 1.0;
    const double w = std::round(sheet.sheet_width * zoom),
                 h = std::round(sheet.sheet_height * zoom);
    if (!(w > 0) || !(h > 0)) return;
    double scale = W / w;
    if (H < scale * h) scale = H / h;
    diagrams::draw_symbol_graph(sheet, cr, scale * zoom);
}

void draw_page(GtkPrintOperation*, GtkPrintContext* context, gint, gpointer) {
    Graph* graph = current_graph();
    if (graph == nullptr) return;
    cairo_t* cr = gtk_print_context_get_cairo_context(context);
    const double W = gtk_print_context_get_width(context);
    const double H = gtk_print_context_get_height(context);
    diagrams::DrawingStateScope keep(*graph);
    graph->printing = 1;
    if (graph->kind == GK_FLOWSHEET) {
        draw_sheet_page(*graph, cr, W, H);
        return;
    }
    const double old_w = std::round(graph->width);
    graph->font_scale = W / (old_w > 0 ? old_w : diagrams::BATCH_IMAGE_WIDTH);
    graph->width = W;
    graph->height = H;
    diagrams::draw_graph(*graph, cr);
}

void keep_print_settings(GtkPrintOperation* operation) {
    if (print_settings != nullptr) g_object_unref(print_settings);
    print_settings =
        GTK_PRINT_SETTINGS(g_object_ref(gtk_print_operation_get_print_settings(operation)));
    if (!save_default_settings())
        show_error("The settings file '" + settings_path() + "' cannot be written.");
}

// True when the file exists and holds something.
bool written(const std::string& path) {
    GStatBuf st;
    return g_stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
}

}  // namespace

std::string png_file_name(const std::string& chosen_name) {
    if (chosen_name.find(".png") != std::string::npos) return chosen_name;
    return chosen_name + ".png";
}

bool print_current_graph(GtkPrintOperationAction action, const std::string& export_file) {
    const Graph* graph = current_graph();
    if (graph == nullptr || calculation_running()) return false;
    if (graph->kind == GK_FLOWSHEET && diagrams::draw_symbol_graph == nullptr) {
        show_error("The flowsheet cannot be printed in this version.");
        return false;
    }
    GtkPrintOperation* operation = gtk_print_operation_new();
    if (page_setup != nullptr) gtk_print_operation_set_default_page_setup(operation, page_setup);
    if (print_settings != nullptr)
        gtk_print_operation_set_print_settings(operation, print_settings);
    g_signal_connect(operation, "begin_print", G_CALLBACK(begin_print), nullptr);
    g_signal_connect(operation, "draw_page", G_CALLBACK(draw_page), nullptr);
    if (!export_file.empty()) {
        gtk_print_operation_set_export_filename(operation, export_file.c_str());
        action = GTK_PRINT_OPERATION_ACTION_EXPORT;
    }
    GError* error = nullptr;
    const GtkPrintOperationResult result =
        gtk_print_operation_run(operation, action, nullptr, &error);
    bool ok = result != GTK_PRINT_OPERATION_RESULT_ERROR;
    std::string why = error != nullptr ? error->message : "unknown error";
    if (error != nullptr) g_error_free(error);
    if (ok && !export_file.empty() && !written(export_file)) {
        ok = false;  // the toolkit does not report every failed export
        why = "the file was not written";
    }
    if (!ok) {
        const std::string where = export_file.empty() ? "" : " to '" + export_file + "'";
        show_error("The graph cannot be printed" + where + ": " + why + ".");
    } else if (result == GTK_PRINT_OPERATION_RESULT_APPLY &&
               action != GTK_PRINT_OPERATION_ACTION_EXPORT) {
        keep_print_settings(operation);
    }
    g_object_unref(operation);
    return ok;
}

bool save_current_graph_png(const std::string& chosen_name) {
    Graph* graph = current_graph();
    if (graph == nullptr || calculation_running()) return false;
    const std::string path = png_file_name(chosen_name);
    std::string why;
    if (graph->kind == GK_FLOWSHEET) {
        why = diagrams::save_sheet_png(*graph, path);
    } else {
        int w = static_cast<int>(std::lround(graph->width));
        int h = static_cast<int>(std::lround(graph->height));
        if (w <= 0 || h <= 0) w = diagrams::BATCH_IMAGE_WIDTH, h = diagrams::BATCH_IMAGE_HEIGHT;
        why = diagrams::save_graph_png(*graph, path, w, h, true);
    }
    if (why.empty()) return true;
    show_error("The image '" + path + "' cannot be saved: " + why + ".");
    return false;
}

void do_print(GtkAction*, gpointer) {
    print_current_graph(GTK_PRINT_OPERATION_ACTION_PRINT_DIALOG);
}

void do_png(GtkAction*, gpointer) {
    if (current_graph() == nullptr || calculation_running()) return;
    ChooserRequest request;
    request.kind = ChooserKind::Save;
    request.title = "Save to png";
    request.folder = graphics_dir;
    request.filter = "*.png";
    std::optional<ChooserAnswer> answer = choose_file(request);
    if (answer) save_current_graph_png(answer->path);
}

}  // namespace app::gui
