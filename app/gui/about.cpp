// About and the user manual.
#include "app/core/program/manual.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

#include <gio/gio.h>

#include <filesystem>

namespace app::gui {
namespace {

ManualFailure failure_of(const GError* error) {
    if (error != nullptr && error->domain == G_IO_ERROR) {
        if (error->code == G_IO_ERROR_PERMISSION_DENIED) return MF_ACCESS_DENIED;
        if (error->code == G_IO_ERROR_NOT_SUPPORTED) return MF_NO_ASSOCIATION;
    }
    return MF_OTHER;
}

}  // namespace

void on_about_activate(GtkAction*, gpointer) {
    gtk_show_about_dialog(
        ui.mainwindow != nullptr ? GTK_WINDOW(ui.mainwindow) : nullptr, "program-name", "KVR",
        "logo", ui.logo, "title", "About KVR", "version", "2.14", "comments",
        "Kavrel: design and evaluation of thermodynamic cycles on a fluid-property library of its "
        "own.",
        nullptr);
}

void show_manual(GtkAction*, gpointer) {
    const std::string path = manual_path();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        show_error(manual_error_text(MF_OTHER, path));
        return;
    }
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    GError* error = nullptr;
    const gboolean ok =
        uri != nullptr &&
        gtk_show_uri(ui.mainwindow != nullptr ? gtk_widget_get_screen(ui.mainwindow) : nullptr, uri,
                     GDK_CURRENT_TIME, &error);
    g_free(uri);
    if (!ok) show_error(manual_error_text(failure_of(error), path));
    if (error != nullptr) g_error_free(error);
}

}  // namespace app::gui
