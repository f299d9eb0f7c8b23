// The program: start-up, the command line, batch mode.
//
//   kvr2 -h | --help     the usage text
//   kvr2 -b FILE...      calculates each project file, writes FILE.out and
//                        FILE.<diagram>.png (never reading the settings)
//   kvr2 [FILE]...       the main window with the files opened (the only
//                        branch that starts the toolkit)
//
// The renderer and the window are modules beside the program file
// (app/core/program/modules.h): batch mode loads the renderer at its first
// diagram image, the window branch loads the window; the usage text needs
// neither.
#include "app/core/files/filehandling.h"
#include "app/core/model/init.h"
#include "app/core/program/kvr.h"
#include "app/core/program/modules.h"
#include "app/core/program/text_output.h"

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
    switch (cl.action) {
        case CommandLine::HELP: printHelp(); return 0;
        case CommandLine::USAGE_ERROR: print_usage_error(cl.error); return 2;
        case CommandLine::BATCH:
            // Batch mode sets the built-in fluids up itself, before each
            // file, and reads no settings.
            initstuff();
            save_diagram_png = save_diagram_png_on_demand;
            batchmode = 1;
            return batch(cl.files);
        case CommandLine::WINDOW: break;
    }

    // Only the window reads the user's settings.
    load_default_settings();
    initstuff();
    init_stoffe();
    batchmode = 0;
    return run_window_module(argc, argv, cl.files);
}
