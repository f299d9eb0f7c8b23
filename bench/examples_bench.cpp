// Every example project calculated in-process as batch mode does it (read,
// calculated, its results and diagram images written, in a scratch folder
// under the build directory), one benchmark per file, with the time per
// example; after each, the share of that time per routine from a sampling
// profile (SIGPROF): inclusive, the routine and what it calls, and self.
//
// Run: build/kvr2_bench --benchmark_filter=Example
#include <benchmark/benchmark.h>
#include <fcntl.h>
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

// One benchmark per example file.
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
    return true;
}();

}  // namespace
