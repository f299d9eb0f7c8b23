// Decisions of the main window that need no display: whether a project can
// be calculated, tab texts and file names, the progress figures of the
// calculation dialog, the theme file, the manual's messages, and switching
// every value of a quantity to another unit. The window (app/gui) shows
// what these functions decide; tests call them without a display.
#pragma once

#include "app/core/model/records.h"

#include <string>
#include <vector>

namespace app {

// ---------------------------------------------------------------------------
// Projects and their tabs (project_tabs.cpp)
// ---------------------------------------------------------------------------

// What a project allows (structure_links.cpp, beside the other structure
// checks; batch mode asks it too): Calculate needs at least one process and no mixer
// waiting for its second inlet; Create Graph needs at least one process.
// `why` names what stops Calculate ("" when nothing does).
struct Calculability {
    bool calculate = false;
    bool create_graph = false;
    std::string why;
};
// For no project, nothing is allowed.
Calculability check_calculability_of(const Project* project);

// The file name's base name as the user sees it (valid UTF-8).
std::string display_basename(const std::string& filename);
// The tab text of a project file: its display base name cut at the first
// ".kvr" (letter case counts), with " *" after it when changed.
std::string tab_text(const std::string& filename, bool changed);
// The file name Save As uses for the name the user chose: ".kvr" appended
// unless the name already contains ".kvr".
std::string save_as_file_name(const std::string& chosen);
// "NewProject%d.kvr" in the folder (the bare name when the folder is "").
std::string new_project_file_name(int counter, const std::string& folder);
// Number of open projects in project_list.
int open_project_count();
// True while another project can be opened (at most MAX_PROJECTS - 1).
bool room_for_project();
// The open project of this file (the same name, or another name for the
// same file), or null.
Project* find_open_project(const std::string& filename);

// ---------------------------------------------------------------------------
// Calculation progress (progress.cpp)
// ---------------------------------------------------------------------------

// Fraction 0..1 of a process that the progress bar shows: 1 when done;
// else the finished parts between Inlet and Outlet plus the running part's
// share of its steps, over the number of those parts.
double process_progress(const Process& process);
// The bar's text for a fraction: "%d %%" with the rounded percentage.
std::string progress_text(double fraction);
// The status line of an interface in the calculation dialog.
std::string interface_status_text(const Interface& interface);

// ---------------------------------------------------------------------------
// Theme file (theme_file.cpp)
// ---------------------------------------------------------------------------

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

// ---------------------------------------------------------------------------
// The user manual (manual.cpp)
// ---------------------------------------------------------------------------

enum ManualFailure : int {
    MF_NO_MEMORY = 0,
    MF_PATH_NOT_FOUND = 1,
    MF_ACCESS_DENIED = 2,
    MF_INVALID_APPLICATION = 3,
    MF_NO_ASSOCIATION = 4,
    MF_OTHER = 5,
};
// The manual: app_home_dir/../kvr2-manual.pdf.
std::string manual_path();
// The message shown when the manual cannot be opened.
std::string manual_error_text(ManualFailure failure, const std::string& path);

// ---------------------------------------------------------------------------
// Units (unit_apply.cpp)
// ---------------------------------------------------------------------------

// Makes `unit` the default unit of the quantity and switches every value of
// that quantity in every open project to it: process, part and interface
// inputs and outputs, project totals, the diagrams' axes and the isoline
// labels of the matching family. False (nothing changed) for an unknown
// quantity or unit.
bool apply_unit_to_all(int quantity, int unit);

}  // namespace app
