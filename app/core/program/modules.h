// The program's two shared modules, beside the program file: the renderer
// (kvr2-diagrams.so, cairo and pango) and the main window (kvr2-window.so,
// GTK 2). The program file holds the core and the library and exports their
// symbols to the modules; each module is loaded only when a run first needs
// it, so that batch mode and the usage text start without the toolkit's
// libraries (and batch mode without cairo and pango while it writes no
// image).
#pragma once

#include <string>
#include <vector>

#include "app/core/model/records.h"

namespace app {

// File names of the modules and the names of their entries. The renderer's
// entry installs its hooks in the core (save_diagram_png); the window's
// entry is the window branch of the program (as gui::run_window).
inline constexpr const char* DIAGRAMS_MODULE = "kvr2-diagrams.so";
inline constexpr const char* DIAGRAMS_ENTRY = "kvr2_install_image_hooks";
inline constexpr const char* WINDOW_MODULE = "kvr2-window.so";
inline constexpr const char* WINDOW_ENTRY = "kvr2_run_window";
using DiagramsEntry = void (*)();
using WindowEntry = int (*)(int argc, char** argv, const std::vector<std::string>& files);

// The address of the entry `symbol` of the module `file` in the program's
// folder (app_home_dir), the module loaded if it is not yet; null, with
// `why` set, when the folder is unknown or the module cannot be loaded or
// has no such entry.
void* module_entry(const char* file, const char* symbol, std::string& why);

// The batch hook save_diagram_png until the renderer is loaded: loads it
// (its entry installs its own hook) and saves the image with that. When
// the renderer cannot be loaded it says why on standard output and returns
// false, as the renderer's hook does for an image it cannot write.
bool save_diagram_png_on_demand(Graph& graph, const std::string& path,
                                const std::string& project_file);

// The window branch of the program through the window module: its exit
// status, or 1 with a message on standard error when the module cannot be
// loaded.
int run_window_module(int argc, char** argv, const std::vector<std::string>& files);

}  // namespace app
