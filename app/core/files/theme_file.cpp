// The theme file: its text, its place, the themes on offer.
#include "app/core/files/theme_file.h"

#include "app/core/files/file_replace.h"
#include "app/core/program/kvr.h"

#include <glib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace app {

std::string theme_file_text(const std::string& theme, const std::string& font) {
    std::string text = "gtk-theme-name = \"" + theme + "\"\n";
    if (font.empty()) return text;
    text += "style \"user-font\"\n";
    text += "{\n";
    text += "\tfont_name=\"" + font + "\"\n";
    text += "}\n";
    text += "widget_class \"*\" style \"user-font\"\n";
    return text;
}

std::string theme_file_path() {
    // XDG_CONFIG_HOME is looked at on every call (GLib keeps its first answer).
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path dir = (xdg != nullptr && *xdg != '\0') ? xdg : g_get_user_config_dir();
    return (dir / "kvr2" / "gtkrc").string();
}

std::vector<std::string> theme_folders(const std::string& system_folder) {
    std::vector<std::string> folders;
    std::filesystem::path home = app_home_dir.empty() ? "." : app_home_dir;
    folders.push_back((home / ".." / "share" / "themes").string());
    if (!system_folder.empty()) folders.push_back(system_folder);
    const char* user = std::getenv("HOME");
    if (user != nullptr && *user != '\0')
        folders.push_back((std::filesystem::path(user) / ".themes").string());
    return folders;
}

std::vector<std::string> list_themes(const std::vector<std::string>& folders) {
    std::vector<std::string> names;
    for (const std::string& folder : folders) {
        std::error_code ec;
        std::filesystem::directory_iterator it(folder, ec);
        if (ec) continue;
        for (const auto& entry : it) {
            if (!entry.is_directory(ec)) continue;
            if (!std::filesystem::is_regular_file(entry.path() / "gtk-2.0" / "gtkrc", ec)) continue;
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

bool write_theme_file(const std::string& path, const std::string& theme, const std::string& font,
                      std::string& reason) {
    std::error_code ec;
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    return replace_file_contents(path, theme_file_text(theme, font), reason);
}

}  // namespace app
