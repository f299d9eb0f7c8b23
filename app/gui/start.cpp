// The window branch of the program: the toolkit, the main window, the
// files of the command line and the main loop. Batch mode and the usage
// text never come here, so they touch neither GTK nor GDK.
#include "app/core/files/filehandling.h"
#include "app/core/files/theme_file.h"
#include "app/core/model/create_delete.h"
#include "app/core/program/kvr.h"
#include "app/gui/diagram_page.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"

#include <clocale>
#include <cstdio>
#include <filesystem>

namespace app::gui {
namespace {

constexpr const char* PRINT_SETTINGS_GROUP = "Printer Settings";
constexpr const char* PAGE_SETUP_GROUP = "Page Setup";

void load_print_settings() {
    GKeyFile* kf = settings_key_file_handle();
    if (kf == nullptr) return;
    if (g_key_file_has_group(kf, PRINT_SETTINGS_GROUP))
        print_settings = gtk_print_settings_new_from_key_file(kf, PRINT_SETTINGS_GROUP, nullptr);
    if (g_key_file_has_group(kf, PAGE_SETUP_GROUP))
        page_setup = gtk_page_setup_new_from_key_file(kf, PAGE_SETUP_GROUP, nullptr);
}

void store_print_settings(GKeyFile* kf) {
    if (print_settings != nullptr)
        gtk_print_settings_to_key_file(print_settings, kf, PRINT_SETTINGS_GROUP);
    if (page_setup != nullptr) gtk_page_setup_to_key_file(page_setup, kf, PAGE_SETUP_GROUP);
}

void message_box(const std::string& text, bool error) {
    show_message({error ? MessageKind::Error : MessageKind::Info, text});
}

void on_freed() { deactivate_graph_menu(); }

}  // namespace

bool init_toolkit(int* argc, char*** argv) {
    gtkrc_fn = theme_file_path();
    gtkrc_dir = std::filesystem::path(gtkrc_fn).parent_path().string();
    gtk_rc_add_default_file(gtkrc_fn.c_str());
    gtk_disable_setlocale();  // the locale stays as start-up set it
    if (!gtk_init_check(argc, argv)) return false;
    std::setlocale(LC_NUMERIC, "C");  // numbers in the "C" format whatever the toolkit did
    load_print_settings();
    on_settings_save = store_print_settings;
    install_message_posters();
    message_box_hook = message_box;
    on_project_freed = on_freed;
    on_user_fluid_added = add_fluid_to_popup;
    install_isoline_window();
    return true;
}

int run_window(int argc, char** argv, const std::vector<std::string>& files) {
    if (!init_toolkit(&argc, &argv)) {
        std::fputs(
            "kvr2: cannot open the display; run kvr2 -b FILE... to calculate project "
            "files without a window.\n",
            stderr);
        return 1;
    }
    create_mainwindow();
    for (const std::string& file : files) {
        Project* project = open_project_file(file);
        if (project != nullptr) current_project = project;
    }
    if (!ui.quit_requested) gtk_main();
    return 0;
}

}  // namespace app::gui
