// Room app/core/views: what the window shows, decided without a display.
// Projects and their tabs (this file), the flowsheet's layout and hits
// (flowsheet.h), the working copies of the details dialogs (details.h) and
// the results an edit of the structure leaves out of date (results.h).
// It includes the model and the structure; the window (app/gui, app/fluids)
// and the renderer (app/diagrams) include it, never the other way round.
//
// Decisions of the main window that need no display: tab texts and file
// names of the open projects, which projects are open. The window (app/gui)
// shows what these functions decide; tests call them without a display.
#pragma once

#include "app/core/model/records.h"

#include <string>
#include <vector>

namespace app {

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

}  // namespace app
