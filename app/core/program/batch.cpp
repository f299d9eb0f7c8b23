// The command line and batch mode: which mode a command line asks for, and
// the calculation of project files without a window.
#include "app/core/files/filehandling.h"
#include "app/core/files/png_text.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/program/kvr.h"
#include "app/core/program/text_output.h"
#include "app/core/solver/simulator.h"
#include "app/core/structure/structure.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace app {

namespace {

// Bytes of an image read to find batch mode's mark (it follows the header).
constexpr std::size_t BATCH_IMAGE_HEAD = 4096;

bool is_help(const std::string& arg) { return arg == "-h" || arg == "--help"; }

// An option is a word that starts with '-' and is more than that ("-" alone
// is a file name).
bool is_option(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

// Why batch mode must not write its image of `project_file` at `path`: a
// file is there that is not batch mode's image of this project (the
// user's own, or another project's). "" when the path is free or holds
// such an image.
std::string image_refusal(const std::string& path, const std::string& project_file) {
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(path, ec);
    if (ec || !std::filesystem::exists(status)) return "";
    std::ifstream in(path, std::ios::binary);
    std::string head(BATCH_IMAGE_HEAD, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::optional<std::string> mark = png_text(head, BATCH_IMAGE_KEYWORD);
    if (mark && *mark == project_file) return "";
    return "a file of that name is there that batch mode did not write for this project; it is "
           "left as it is";
}

// Every diagram of the project as a PNG image beside the project file,
// named after the project file and the diagram ("plant.kvr.T-s.png").
// False when an image was not written (the hook or this function has said
// why).
bool save_pngs(Project& project, const std::string& file) {
    bool all = true;
    const std::filesystem::path source(file);
    const std::filesystem::path dir = source.parent_path();
    const std::string project_file = source.filename().string();
    std::vector<std::string> used;
    for (int g = 1; g < MAX_GRAPHS; ++g) {
        Graph* graph = project.graphs[static_cast<std::size_t>(g)];
        if (graph == nullptr || graph->kind != GK_DIAGRAM) continue;
        std::string base = safe_file_name(graph->name);
        std::string name = base;
        for (int k = 2; std::find(used.begin(), used.end(), name) != used.end(); ++k)
            name = base + "_" + std::to_string(k);
        used.push_back(name);
        const std::string path = (dir / (project_file + "." + name + ".png")).string();
        if (std::string why = image_refusal(path, project_file); !why.empty()) {
            std::printf("Diagram '%s' not saved as %s: %s.\n", graph->name.c_str(), path.c_str(),
                        why.c_str());
            std::fflush(stdout);
            all = false;
            continue;
        }
        if (!save_diagram_png(*graph, path, project_file)) all = false;
    }
    return all;
}

// Why a file cannot be read as a project, or "" when it can be opened.
std::string open_problem(const std::string& path) {
    std::FILE* probe = std::fopen(path.c_str(), "rb");
    if (probe == nullptr) return std::strerror(errno);
    struct stat st {};
    const bool directory = fstat(fileno(probe), &st) == 0 && S_ISDIR(st.st_mode);
    std::fclose(probe);
    return directory ? "it is a directory" : "";
}

// A file as the system knows it: the same file under two names (a link,
// "./a.kvr" and "a.kvr") has one identity.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identity_of(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}

// What the run of one file left behind that the next must not see: the
// fluids its fluid blocks added, the isoline positions its diagrams added
// to the built-in fluids, the fluid the library holds and the id counters.
struct FreshStart {
    int process_id = new_process_id;
    int interface_id = new_interface_id;
    int interface_names = interface_name_counter;

    void restore() const {
        fluids.truncate(NUM_BUILTIN_FLUIDS);
        current_fluid = nullptr;
        init_stoffe();
        new_process_id = process_id;
        new_interface_id = interface_id;
        interface_name_counter = interface_names;
    }
};

// One file: read, calculated, written. "" when all went well, else what
// failed.
std::string batch_file(const std::string& file) {
    if (std::string why = open_problem(file); !why.empty()) {
        std::printf("batch | not allowed to open '%s': %s\n", file.c_str(), why.c_str());
        std::fflush(stdout);
        return "cannot be opened: " + why;
    }
    Project* project = readinput(file);
    if (project == nullptr) return "not read";

    std::string failure;
    const std::string why = check_calculability_of(project).why;
    if (why.empty()) {
        if (calcProject(*project) != CS_FINISHED) failure = "calculation failed";
    } else {
        status_message(ML_ERROR, "Project '%s' cannot be calculated: %s.\n", file.c_str(),
                       why.c_str());
        project->calc_status = CS_FAILED;
        failure = "cannot be calculated: " + why;
    }

    project->filename = file + ".out";
    std::printf("Writing results to file %s\n", project->filename.c_str());
    std::fflush(stdout);
    include_graphs = 0;
    include_results = 1;
    if (write_input(*project) != 0 && failure.empty()) failure = "results not written";
    if (save_diagram_png != nullptr && !save_pngs(*project, file) && failure.empty())
        failure = "diagram images not written";
    free_project(project);
    return failure;
}

// What this process holds: `touched`, it may hold what a file (or the
// caller) left behind, and needs a fresh start before the next file;
// `calculated`, it calculated a file itself.
struct ProcessState {
    bool touched = true;  // before the first file it is not known
    bool calculated = false;
};

// One file calculated in this process, after a fresh start when needed.
std::string batch_file_here(const std::string& file, const FreshStart& fresh, ProcessState& state) {
    if (state.touched) fresh.restore();
    state.touched = true;
    state.calculated = true;
    return batch_file(file);
}

// One file in a process of its own (a copy of this one, which has
// calculated nothing): what the library keeps from one calculation for the
// next (saturation expansions built on the way, warm starts, the counts that
// decide when to build them) reaches no other file, and each is calculated
// as if it were the only one (a copy of humid_air_compressor.kvr calculated
// after another differed in the last digits of 103 lines).  A file whose
// calculation ends the process (a crash) fails alone.  The copy makes the
// fresh start itself: this process then never sets up, writes or frees the
// built-in fluids.  Without a process the file is calculated here, as
// batch_file_here does.
std::string batch_file_alone(const std::string& file, const FreshStart& fresh,
                             ProcessState& state) {
    std::fflush(stdout);
    std::fflush(stderr);
    int fds[2];
    if (pipe(fds) != 0) return batch_file_here(file, fresh, state);
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return batch_file_here(file, fresh, state);
    }
    if (pid == 0) {
        close(fds[0]);
        ProcessState copy = state;
        const std::string failure = batch_file_here(file, fresh, copy);
        std::fflush(stdout);
        std::fflush(stderr);
        for (std::size_t done = 0; done < failure.size();) {
            const ssize_t n = write(fds[1], failure.data() + done, failure.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        close(fds[1]);
        _exit(0);
    }
    close(fds[1]);
    std::string failure;
    char buf[512];
    for (;;) {
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        failure.append(buf, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return failure;
    std::printf("batch | the calculation of '%s' ended abnormally\n", file.c_str());
    std::fflush(stdout);
    return "the calculation ended abnormally";
}

}  // namespace

CommandLine parse_command_line(int argc, const char* const* argv) {
    CommandLine cl;
    bool options_end = false;
    bool decided = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i] != nullptr ? argv[i] : "";
        if (!options_end && arg == "--") {
            options_end = true;
            continue;
        }
        if (options_end || !is_option(arg)) {
            cl.files.push_back(arg);
            continue;
        }
        if (!decided) {
            decided = true;
            if (is_help(arg)) {
                cl.action = CommandLine::HELP;
                return cl;  // the first option decides
            }
            if (arg == "-b") {
                cl.action = CommandLine::BATCH;
                continue;
            }
        } else if (arg == "-b") {
            if (cl.action == CommandLine::BATCH) continue;
        } else if (is_help(arg) && cl.action == CommandLine::BATCH) {
            cl.action = CommandLine::USAGE_ERROR;
            cl.error = "'" + arg + "' cannot follow -b: batch mode takes project files";
            return cl;
        }
        cl.action = CommandLine::USAGE_ERROR;
        cl.error = "unknown option '" + arg + "'";
        return cl;
    }
    if (cl.action == CommandLine::BATCH && cl.files.empty()) {
        cl.action = CommandLine::USAGE_ERROR;
        cl.error = "-b needs at least one project file";
    }
    return cl;
}

void print_usage_error(const std::string& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "kvr2: %s\n", error.c_str());
    std::fflush(stderr);
    printHelp();
    std::fflush(stdout);
}

int batch(const std::vector<std::string>& files, bool own_processes) {
    std::puts("Running in batch mode");
    std::fflush(stdout);
    const FreshStart fresh;
    // A file calculated in a process of its own leaves nothing here; when
    // one was calculated here, a fresh start follows the last.
    ProcessState state;
    std::vector<std::string> failed;
    std::vector<std::pair<FileIdentity, std::string>> done;
    for (const std::string& file : files) {
        if (const std::optional<FileIdentity> id = identity_of(file)) {
            auto same = std::find_if(done.begin(), done.end(),
                                     [&](const auto& d) { return d.first == *id; });
            if (same != done.end()) {
                std::printf("File '%s' is the file '%s' given before; it is calculated once.\n",
                            file.c_str(), same->second.c_str());
                continue;
            }
            done.emplace_back(*id, file);
        }
        std::string failure = own_processes ? batch_file_alone(file, fresh, state)
                                            : batch_file_here(file, fresh, state);
        if (!failure.empty()) failed.push_back(file + " (" + failure + ")");
    }
    if (state.calculated) fresh.restore();
    if (!failed.empty() && files.size() > 1) {
        std::printf("Batch mode: %zu of %zu files failed:\n", failed.size(), files.size());
        for (const std::string& f : failed) std::printf("  %s\n", f.c_str());
    }
    std::fflush(stdout);
    return failed.empty() ? 0 : 1;
}

}  // namespace app
