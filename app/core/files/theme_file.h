// The GTK theme file of the theme dialog: its text, its place, the themes on
// offer (theme_file.cpp).
#pragma once

#include <string>
#include <vector>

namespace app {

// The theme file's text for a theme and a font: one line without a font,
// six lines (a style for every widget) with one.
std::string theme_file_text(const std::string& theme, const std::string& font);
// The theme file: "kvr2/gtkrc" in the user's configuration folder.
std::string theme_file_path();
// Folders searched for themes: the program's ../share/themes, the given
// system folder, and ~/.themes.
std::vector<std::string> theme_folders(const std::string& system_folder);
// Names of the themes in the folders: sub-folders holding a regular file
// gtk-2.0/gtkrc; sorted byte-wise, each name once.
std::vector<std::string> list_themes(const std::vector<std::string>& folders);
// Writes the theme file; false with the reason when it cannot be written.
bool write_theme_file(const std::string& path, const std::string& theme, const std::string& font,
                      std::string& reason);

}  // namespace app
