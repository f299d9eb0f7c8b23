// The program: start-up, the command line, batch mode.
//
//   kvr2 -h | --help     the usage text
//   kvr2 -b FILE...      calculates each project file, writes FILE.out
//   kvr2 [FILE]...       the main window with the files opened
#include "app/core/create_delete.h"
#include "app/core/filehandling.h"
#include "app/core/init.h"
#include "app/core/kvr.h"
#include "app/core/simulator.h"
#include "app/core/text_output.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace app {
namespace {

// Calculability as the toolbar sees it: a project needs a process, and no
// mixer may wait for its second inlet.
bool calculable(const Project& project, std::string& why) {
    if (project.az_processes <= 0) {
        why = "the project holds no process";
        return false;
    }
    for (int i = 0; i < project.az_processes; ++i) {
        const Process* process = project.processes[static_cast<std::size_t>(i)];
        for (int k = 0; k < process->az_parts; ++k) {
            const Part* part = process->parts[static_cast<std::size_t>(k)];
            if (part->type == MIXER && part->prev_id[1] <= 0) {
                why = "the second inlet of mixer '" + part->name + "' is not connected";
                return false;
            }
        }
    }
    return true;
}

// Every diagram of the project as a PNG image beside the project file,
// named after the diagram.
void save_pngs(Project& project, const std::string& file) {
    std::filesystem::path dir = std::filesystem::path(file).parent_path();
    std::vector<std::string> used;
    for (int g = 1; g < MAX_GRAPHS; ++g) {
        Graph* graph = project.graphs[static_cast<std::size_t>(g)];
        if (graph == nullptr || graph->kind != GK_DIAGRAM) continue;
        std::string base = safe_file_name(graph->name);
        std::string name = base;
        for (int k = 2; std::find(used.begin(), used.end(), name) != used.end(); ++k)
            name = base + "_" + std::to_string(k);
        used.push_back(name);
        std::string path = (dir / (name + ".png")).string();
        if (!save_diagram_png(*graph, path))
            std::printf("Could not save diagram '%s' as %s\n", graph->name.c_str(), path.c_str());
    }
}

// Batch mode over the arguments (argv[0] is the program): calculates each
// project file, writes FILE.out beside it and reports on standard output.
// Returns the exit status: 0 when every file was read, calculated and
// written, 1 otherwise.
int batch(int argc, char** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-b") {
            std::puts("Running in batch mode");
            std::fflush(stdout);
            continue;
        }
        std::FILE* probe = std::fopen(arg.c_str(), "rb");
        if (probe == nullptr || std::filesystem::is_directory(arg)) {
            if (probe != nullptr) std::fclose(probe);
            std::printf("batch | not allowed to open '%s'\n", arg.c_str());
            std::fflush(stdout);
            status = 1;
            continue;
        }
        std::fclose(probe);

        Project* project = readinput(arg);
        if (project == nullptr) {
            status = 1;
            continue;
        }
        std::string why;
        int result = CS_FAILED;
        if (calculable(*project, why)) {
            result = calcProject(*project);
        } else {
            status_message(ML_ERROR, "Project '%s' cannot be calculated: %s.\n", arg.c_str(),
                           why.c_str());
        }
        if (result != CS_FINISHED) status = 1;

        project->filename = arg + ".out";
        std::printf("Writing results to file %s\n", project->filename.c_str());
        std::fflush(stdout);
        include_graphs = 0;
        include_results = 1;
        if (write_input(*project) != 0) status = 1;
        if (save_diagram_png != nullptr) save_pngs(*project, arg);
        free_project(project);
    }
    std::fflush(stdout);
    return status;
}

}  // namespace
}  // namespace app

int main(int argc, char** argv) {
    using namespace app;

    // English texts; numbers are read and written in the "C" format
    // whatever the user's locale.
    setenv("lang", "en", 1);
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");

    set_folders(argc > 0 ? argv[0] : nullptr);
    load_default_settings();
    initstuff();
    init_stoffe();

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            printHelp();
            return 0;
        }
        if (arg == "-b") {
            batchmode = 1;
            init_stoffe();
            return batch(argc, argv);
        }
    }

    batchmode = 0;
    std::fputs(
        "kvr2: the main window is not built yet; run kvr2 -b FILE... to calculate "
        "project files.\n",
        stderr);
    return 1;
}
