// The program: start-up, the command line, batch mode.
//
//   kvr2 -h | --help     the usage text
//   kvr2 -b FILE...      calculates each project file, writes FILE.out and
//                        FILE.<diagram>.png (never reading the settings)
//   kvr2 [FILE]...       the main window with the files opened (the only
//                        branch that starts the toolkit)
#include "app/core/files/filehandling.h"
#include "app/core/model/init.h"
#include "app/core/program/kvr.h"
#include "app/core/program/text_output.h"
#include "app/diagrams/images.h"
#include "app/gui/gui.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    using namespace app;

    // English texts; numbers are read and written in the "C" format
    // whatever the user's locale.
    setenv("lang", "en", 1);
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");

    set_folders(argc > 0 ? argv[0] : nullptr);
    const CommandLine cl = parse_command_line(argc, argv);
    // Only the window reads the user's settings: batch mode calculates a
    // file the same way whatever the window's preferences are.
    if (cl.action == CommandLine::WINDOW) load_default_settings();
    initstuff();
    // (Batch mode sets the built-in fluids up itself, before each file.)
    if (cl.action != CommandLine::BATCH) init_stoffe();
    diagrams::install_image_hooks();  // diagram images of batch mode, without a display

    switch (cl.action) {
        case CommandLine::HELP: printHelp(); return 0;
        case CommandLine::USAGE_ERROR: print_usage_error(cl.error); return 2;
        case CommandLine::BATCH: batchmode = 1; return batch(cl.files);
        case CommandLine::WINDOW: break;
    }

    batchmode = 0;
    return gui::run_window(argc, argv, cl.files);
}
