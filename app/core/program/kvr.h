// Room app/core/program: the program around the core. Start-up (this
// file), batch mode, message output (text_output.h, used by every room),
// the calculation dialog's progress figures and the manual's place. The
// program's entry, app/main.cpp, sits above the core and the window.
//
// Start-up: the program's folders, the usage text, the two message
// functions of the application, and what batch mode needs of the diagrams.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/core/model/records.h"

namespace app {

// Folders set at start-up (set_folders).
extern std::string app_home_dir;     // folder of the program file
extern std::string app_example_dir;  // app_home_dir/../examples
extern std::string user_home_dir;    // the user's home folder
extern std::string input_dir;        // file dialogs' start; a copy of user_home_dir
extern std::string graphics_dir;     // folder of saved images; a copy of user_home_dir
extern std::string tmp_dir;          // the system's temporary folder
extern std::string gtkrc_dir;        // app_home_dir/../etc/gtk-2.0
extern std::string gtkrc_fn;         // gtkrc_dir/gtkrc

// Sets the folder globals from the program's real path and the
// environment. app_home_dir (and the folders below it) stay empty when the
// program's file cannot be found; the working directory is never taken for
// it.
void set_folders(const char* argv0);

// The folder of the running program's file, symbolic links resolved: from
// the system's record of the running program, else from `argv0` (a path,
// or a bare name looked up along the absolute folders of PATH). Empty when
// none is found. Never throws.
std::string program_folder(const char* argv0);

// Prints the usage text to standard output.
void printHelp();

// What a command line asks for. The first option decides: "-h" or "--help"
// the usage text, "-b" batch mode over the files; without an option the
// window opens the files. "--" ends the options. Batch mode without a file,
// "-h" after "-b" and an unknown option are usage errors.
struct CommandLine {
    enum Action { WINDOW, HELP, BATCH, USAGE_ERROR };
    Action action = WINDOW;
    std::vector<std::string> files;  // the other words, in order
    std::string error;               // USAGE_ERROR: what is wrong
};
CommandLine parse_command_line(int argc, const char* const* argv);

// "kvr2: " and the error on standard error, then the usage text.
void print_usage_error(const std::string& error);

// Batch mode: calculates each project file as if it were the only one,
// writes FILE.out beside it and reports on standard output, naming the
// files that failed when there are several. Returns the exit status: 0 when
// every file was read, calculated and written, 1 otherwise.  Each file is
// calculated in a process of its own; `own_processes` false calculates
// them in this one (the benchmarks, which time and profile the calculation).
int batch(const std::vector<std::string>& files, bool own_processes = true);

// A message for the user: a line on standard output in batch mode;
// otherwise shown by message_box_hook when the window is built, else
// written to standard error. showerror then ends the program with status -1
// (255).
void showmessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void showerror(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Shows a message in the window; set by the main window, null before.
extern void (*message_box_hook)(const std::string& text, bool error);

// A diagram's name made safe as a file name: no folder separators, control
// characters or leading dots; "diagram" for an empty name.
std::string safe_file_name(std::string_view name);

// Saves one diagram as a PNG image (1024 x 800) at the path, marked as
// batch mode's image of the project file named `project_file` (see
// png_text.h); set by the diagram code, null before. On failure it says why
// on standard output and returns false. Batch mode calls it for every
// diagram of a project, with a safe name beside the project file, and fails
// the file when one is not written.
extern bool (*save_diagram_png)(Graph& graph, const std::string& path,
                                const std::string& project_file);

}  // namespace app
