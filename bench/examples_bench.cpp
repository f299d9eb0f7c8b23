// Every example project calculated in-process as batch mode does it (read,
// calculated, its results and diagram images written, in a scratch folder
// under the build directory), one benchmark per file, with the time per
// example; after each, the share of that time per routine from a sampling
// profile (SIGPROF): inclusive, the routine and what it calls, and self.
// Beside them, the whole program on each file as a user runs it
// (`kvr2 -b FILE`: start-up, the process of the file, its calculation), its
// processor time (user and system) per run.
//
// Run: build/kvr2_bench --benchmark_filter=Example
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/core/model/init.h"
#include "app/core/program/kvr.h"
#include "app/core/program/text_output.h"
#include "app/diagrams/images.h"
#include "bench/quiet.h"
#include "bench/sampling.h"

namespace {

namespace fs = std::filesystem;

// The program's start-up of batch mode, once.
void start_up() {
    static bool done = false;
    if (done) return;
    app::initstuff();
    app::init_stoffe();
    app::diagrams::install_image_hooks();
    app::batchmode = 1;
    done = true;
}

using Quiet = benchsupport::QuietStdout;

void BM_Example(benchmark::State& state, const std::string& name) {
    start_up();
    const fs::path dir = fs::path(KVR2_BINARY_DIR) / "bench-examples" / name;
    fs::create_directories(dir);
    const fs::path file = dir / (name + ".kvr");
    fs::copy_file(fs::path(KVR2_SOURCE_DIR) / "examples" / (name + ".kvr"), file,
                  fs::copy_options::overwrite_existing);
    benchsupport::SamplingProfile profile;
    int failed = 0;
    profile.start();
    for (auto _ : state) {
        const Quiet quiet;
        failed += app::batch({file.string()}, false);
    }
    profile.stop();
    if (failed != 0) state.SkipWithError("the calculation failed");
    std::printf("%s: share per routine\n%s", name.c_str(), profile.report(24, 0.03).c_str());
}

// Processor time of the waited-for children so far, seconds.
double children_seconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    const auto sec = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec);
    };
    return sec(u.ru_utime) + sec(u.ru_stime);
}

// Runs `kvr2 -b file` in dir with its output discarded; false when it
// could not be run or failed.
bool run_program(const fs::path& dir, const std::string& file) {
    const std::string program = (fs::path(KVR2_BINARY_DIR) / "kvr2").string();
    const std::string flag = "-b";
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(flag.c_str()),
                    const_cast<char*>(file.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const fs::path was = fs::current_path();
    fs::current_path(dir);
    pid_t pid = 0;
    const int r = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    fs::current_path(was);
    posix_spawn_file_actions_destroy(&actions);
    if (r != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The whole program on one example: processor time per run of `kvr2 -b`.
void BM_ExampleProcess(benchmark::State& state, const std::string& name) {
    const fs::path dir = fs::path(KVR2_BINARY_DIR) / "bench-examples" / (name + "-process");
    fs::create_directories(dir);
    const std::string file = name + ".kvr";
    fs::copy_file(fs::path(KVR2_SOURCE_DIR) / "examples" / file, dir / file,
                  fs::copy_options::overwrite_existing);
    bool ok = true;
    for (auto _ : state) {
        const double before = children_seconds();
        ok = run_program(dir, file) && ok;
        state.SetIterationTime(children_seconds() - before);
    }
    if (!ok) state.SkipWithError("kvr2 -b failed");
}

// One benchmark per example file, in process and as the whole program.
const bool registered = [] {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(fs::path(KVR2_SOURCE_DIR) / "examples"))
        if (e.path().extension() == ".kvr") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    for (const std::string& n : names)
        benchmark::RegisterBenchmark(("BM_Example/" + n).c_str(), BM_Example, n)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(12)  // one run (the profile printed once), some 1000 samples
            ->MeasureProcessCPUTime()
            ->UseRealTime();
    for (const std::string& n : names)
        benchmark::RegisterBenchmark(("BM_ExampleProcess/" + n).c_str(), BM_ExampleProcess, n)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->Iterations(1)
            ->ReportAggregatesOnly(true)
            ->UseManualTime();
    return true;
}();

}  // namespace
