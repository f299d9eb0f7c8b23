// Room app/core/files: everything read from or written to a file. Project
// files (reader, pre-2.0 reader, diagram blocks, writer), fluid blocks and
// fluid-definition files, the settings key file, the theme file and the safe
// replacement of a file's contents. It includes the model, the fluids, the
// structure checks, the solver (the reader prepares each process it reads)
// and the program's folders and messages.
//
// Project files (.kvr), fluid-definition blocks (.kvq) and the settings key
// file.
//
// A project file is text: a first line whose first quoted field holds the
// version, then blocks opened by a "#START" line and closed by "#END"
// (fluids first, then processes with their inlet and parts, interfaces and
// diagrams). Numbers are written and read in the "C" format whatever the
// user's locale, and with as many digits as it takes to read back the very
// same double. Values with a unit are written in their display unit.
//
// The reader checks what it reads; a file it cannot take whole gives no
// project and a message that names the line.
#pragma once

#include "app/core/model/records.h"

#include <memory>
#include <string>
#include <string_view>

struct _GKeyFile;  // GLib's key file

namespace app {

// What write_input puts into a file; both 1 at start, Save As keeps the
// user's last choice, batch mode writes results without graphs.
extern int include_graphs;
extern int include_results;

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

// Where a user finds the names of the working fluids, for messages about a
// name that is not one.
inline constexpr const char* FLUID_NAMES_HINT =
    "the working fluids are the 41 built-in ones listed in README.md (section \"Working "
    "fluids\"), spelled in full, and those of the file's fluid blocks";

// Words of the result lines written with results: the project's
// "Calculation Status" line after the version line and each part's
// "Part State" line (a failed part also has a "Failure" line with its
// message). Readers that do not know them pass them over.
inline constexpr const char* STATE_FINISHED = "finished";
inline constexpr const char* STATE_FAILED = "failed";
inline constexpr const char* STATE_PROVISIONAL = "provisional";
inline constexpr const char* STATE_NOT_CALCULATED = "not calculated";

// Part lines of what a part read from a file older than 2.0 may carry
// beyond a new part's; written only for such parts, passed over by readers
// that do not know them. A part's segmentation: 0 linear, 1 geometric
// pressure steps.
inline constexpr const char* STEPS_KEY = "Number of Steps";
inline constexpr const char* SEGMENTATION_KEY = "Step Segmentation";
inline constexpr const char* SEGMENTATION_LINEAR = "linear";
inline constexpr const char* SEGMENTATION_GEOMETRIC = "geometric";
inline constexpr const char* LENGTH_FACTOR_KEY = "Length Factor";
inline constexpr int SEGMENTS_LINEAR = 0;
inline constexpr int SEGMENTS_GEOMETRIC = 1;

// Line of the display unit of a result that a file holds no value of: a
// project total (before the blocks), a process summary (in its process
// block), an interface result written without results. Written only for a
// unit other than the quantity's default, so that other files stay as they
// were: `Output Unit "Power" = "MW"`.
inline constexpr const char* OUTPUT_UNIT_KEY = "Output Unit";

// Isoline positions a "Positions" line holds at most (readers take no more
// from one line); a diagram that shows more has several such lines.
inline constexpr int ISO_POSITIONS_PER_LINE = 99;

// The version written into new files.
inline constexpr const char* KVR_FILE_VERSION = "2.0.8";

// The text of a project file for the project, honouring the two switches.
std::string project_text(const Project& project, bool graphs, bool results);

// The first input value of the project outside its bounds (bounds.h), as
// "process 'P', part 'X': Isentropic Efficiency = 1.5 -: ..." ; "" when
// every input is one the reader takes.
std::string input_out_of_bounds(const Project& project);

// Writes the project to its file name with include_graphs and
// include_results, through a temporary file beside it that is renamed over
// it (replace_file_contents). Returns 0, or -1 (with a message naming the
// file and the reason; the old file unchanged) when the file cannot be
// written or holds an input the reader would refuse.
int write_input(const Project& project);

// One fluid block ("#START Fluid Definition" ... "#END Fluid definition").
void write_fluid(std::string& out, const Fluid& fluid);
// A fluid-definition file: its header line and the fluid's block.
std::string fluid_file_text(const Fluid& fluid);

// Bodies of the axis and isoline sub-blocks of a diagram (without their
// "#START" and "#END" lines).
void write_axis(std::string& out, const Axis& axis);
void write_iso_info(std::string& out, const IsolineStyle& style, const IsoFamily& positions);

// A number as the shortest text that reads back as the same double, in the
// "C" format ("0.1", "293.15", "1e-07").
std::string number_text(double value);

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

struct ReadOptions {
    // Set the library up: complete file fluids with it, prepare each process
    // and sum results read with the file. Off for a syntax-only read.
    bool use_library = true;
};

// Reads a project file into a new project, which becomes current_project
// (it is not put into project_list: that is the caller's task). Returns
// null when the file cannot be opened or is refused; the reason has then
// been reported (showmessage), and current_project is what it was before.
Project* readinput(const std::string& path);

// The same on a file's text. `error` gets the reason of a refusal ("line
// 12: ..."), empty on success. Fluid blocks read stay in `fluids` even when
// the project is refused.
Project* read_project_text(std::string_view text, const std::string& filename, std::string& error,
                           const ReadOptions& options = {});

// Reads a project file of the format older than 2.0 (one process, one
// value per line; the variants are described in project_reader_old.cpp)
// into a new project, as read_project_text does: null with `error` ("line
// 5: ...") when a line does not hold what its place asks for. A file that
// ends early keeps the defaults from there on, with a warning naming the
// line.
Project* readinput_old(std::string_view text, const std::string& filename, std::string& error,
                       const ReadOptions& options = {});

// Brings a process of an older file up to date: a new Inlet first and a new
// Outlet last (parts of current_project), every part linked to the next
// through slot 0 in list order and given the process's fluid. False
// (nothing changed) when the process has no room for the two parts.
bool update_process(Process& process);
// update_process on every process of the project; false when one has no
// room.
bool update_project(Project& project);

// Reads one fluid block from the text, starting at its "#START Fluid
// Definition" line or at the line after it. Returns the new record (not yet
// in `fluids`), or null: with `error` empty when a fluid of that name is
// already known (it is then to be used), else with the reason. `warning`
// gets a note when the known fluid of that name has another definition.
// With `use_library` the library is set up for the record (it becomes
// current_fluid): a caller that drops the record clears current_fluid.
std::unique_ptr<Fluid> read_fluid(std::string_view block, std::string& error, std::string& warning,
                                  const ReadOptions& options = {});

// Completes a user fluid whose name, humidity type, components and
// fractions and reference humidity are set: isoline positions, standard
// state, the "User defined fluids" group, reference code "OTH", the
// library's component list, water position, default axes, then the library
// set-up (with `use_library`). Returns 1, or 0 when the set-up fails (the
// fluid is then not available: no list or menu offers it).
int new_fluid_init(Fluid& fluid, int quiet, bool use_library = true);

// Called by new_fluid_init (quiet 0) so that a menu can offer the fluid;
// null when nobody listens.
extern void (*on_user_fluid_added)(Fluid& fluid);

// ---------------------------------------------------------------------------
// Settings key file
// ---------------------------------------------------------------------------

// Folder of the last Open or Save As; the user's home folder at start.
extern std::string currentdir;
// Composition display of the part dialog: mole (0) or mass (1), percent
// (0) or fraction (1).
extern int part_dialog_mole_or_mass;
extern int part_dialog_percent_or_fraction;

// The settings file's name.
inline constexpr const char* SETTINGS_FILE_NAME = ".kvr_settings.ini";
// Settings files above this size are not read (one takes a few kB).
inline constexpr std::size_t MAX_SETTINGS_SIZE = 1u << 20;
// Longest folder kept as "Current Dir" (the system's longest path).
inline constexpr std::size_t MAX_FOLDER_LENGTH = 4095;

// Path of the window's settings file: "kvr2/.kvr_settings.ini" in the
// user's configuration folder ($XDG_CONFIG_HOME, else ~/.config). A file
// beside the program is never read or written.
std::string settings_path();

// Reads the settings file (missing or malformed keys keep their values).
// Only the window calls it: batch mode runs on the built-in defaults.
void load_default_settings();
// The same on a settings file's text (the fuzz target's entry).
void load_settings_text(std::string_view text);
// Writes the settings file anew; returns false when it cannot be written.
bool save_default_settings();

// Why a folder is not taken as "Current Dir" from the settings: longer
// than MAX_FOLDER_LENGTH, not UTF-8, control characters, not absolute, no
// folder there. "" when it is taken.
std::string folder_problem(std::string_view folder);

// The settings key file as read at start (null before
// load_default_settings): the window reads its page setup and print
// settings groups from it.
::_GKeyFile* settings_key_file_handle();
// Called by save_default_settings before the key file is written, so that
// the window can put its page setup and print settings into it; null when
// nobody listens.
extern void (*on_settings_save)(::_GKeyFile* key_file);

}  // namespace app
