// Projects as the window shows them: tab texts, file names and the list of
// open projects.
#include "app/core/views/window_logic.h"

#include <glib.h>

#include <filesystem>
#include <system_error>

namespace app {

std::string display_basename(const std::string& filename) {
    gchar* name = g_filename_display_basename(filename.c_str());
    std::string out = name != nullptr ? name : "";
    g_free(name);
    return out;
}

std::string tab_text(const std::string& filename, bool changed) {
    std::string text = display_basename(filename);
    std::size_t at = text.find(".kvr");
    if (at != std::string::npos) text.resize(at);
    if (changed) text += " *";
    return text;
}

std::string save_as_file_name(const std::string& chosen) {
    if (chosen.find(".kvr") != std::string::npos) return chosen;
    return chosen + ".kvr";
}

std::string new_project_file_name(int counter, const std::string& folder) {
    std::string name = "NewProject" + std::to_string(counter) + ".kvr";
    if (folder.empty()) return name;
    return (std::filesystem::path(folder) / name).string();
}

int open_project_count() {
    int n = 0;
    while (n < MAX_PROJECTS && project_list[static_cast<std::size_t>(n)] != nullptr) ++n;
    return n;
}

bool room_for_project() { return open_project_count() < MAX_PROJECTS - 1; }

Project* find_open_project(const std::string& filename) {
    for (Project* p : project_list) {
        if (p == nullptr) break;
        if (p->filename == filename) return p;
    }
    std::error_code ec;
    for (Project* p : project_list) {
        if (p == nullptr) break;
        if (std::filesystem::equivalent(p->filename, filename, ec) && !ec) return p;
    }
    return nullptr;
}

}  // namespace app
