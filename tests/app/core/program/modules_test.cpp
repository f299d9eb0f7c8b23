// The renderer and the window as modules beside the program file: which
// runs load which libraries, and what a run says when a module is missing.
#include "app/core/program/modules.h"
#include "app/core/program/kvr.h"
#include "tests/support/paths.h"
#include "tests/support/shell.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace app;
namespace fs = std::filesystem;

const fs::path BUILD = KVR2_BINARY_DIR;

// A scratch folder of its own per test, removed afterwards.
class Scratch {
public:
    explicit Scratch(const std::string& name)
        : dir_(fs::temp_directory_path() /
               ("kvr2_modules_" + name + "_" + std::to_string(getpid()))) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    const fs::path& dir() const { return dir_; }
    void add_example(const std::string& name) const {
        fs::copy_file(fs::path(testsupport::source_dir()) / "examples" / name, dir_ / name);
    }

private:
    fs::path dir_;
};

// The program `program` with the arguments in `cwd`, without a display,
// with the loader naming every file it loads (on standard error, captured).
testsupport::Outcome run_traced(const fs::path& program, const std::string& args,
                                const fs::path& cwd) {
    return testsupport::shell(
        "env -u DISPLAY -u WAYLAND_DISPLAY LD_DEBUG=files '" + program.string() + "' " + args, cwd);
}

bool loads(const std::string& trace, const std::string& library) {
    return trace.find("file=" + library) != std::string::npos;
}

struct LoadCase {
    const char* what;
    const char* example;  // copied into the scratch folder, or null
    const char* args;
    int status;
    bool renderer;  // kvr2-diagrams.so with cairo and pango
    bool window;    // kvr2-window.so with GTK
};

const LoadCase LOAD_CASES[] = {
    {"usage", nullptr, "-h", 0, false, false},
    {"usage_error", nullptr, "--version", 2, false, false},
    {"batch_without_diagrams", "helium_brayton.kvr", "-b helium_brayton.kvr", 0, false, false},
    {"batch_with_diagrams", "steam_rankine.kvr", "-b steam_rankine.kvr", 0, true, false},
    {"window_without_display", nullptr, "", 1, true, true},
};

class ModuleLoads : public ::testing::TestWithParam<LoadCase> {};

// Batch mode and the usage text start without the toolkit; batch mode
// loads the renderer only for a project with diagrams; the window branch
// loads both modules (and without a display says so).
TEST_P(ModuleLoads, OnlyWhatTheRunNeeds) {
    const LoadCase& k = GetParam();
    Scratch scratch(k.what);
    if (k.example != nullptr) scratch.add_example(k.example);
    const testsupport::Outcome r = run_traced(BUILD / "kvr2", k.args, scratch.dir());
    ASSERT_EQ(r.status, k.status) << r.out;
    EXPECT_EQ(loads(r.out, "libgtk-x11-2.0"), k.window);
    EXPECT_EQ(loads(r.out, "libgdk-x11-2.0"), k.window);
    EXPECT_EQ(loads(r.out, "libX11"), k.window || k.renderer);  // cairo's own dependency
    EXPECT_EQ(loads(r.out, "libcairo"), k.renderer);
    EXPECT_EQ(loads(r.out, "libpango-1.0"), k.renderer);
    EXPECT_EQ(r.out.find(DIAGRAMS_MODULE) != std::string::npos, k.renderer);
    EXPECT_EQ(r.out.find(WINDOW_MODULE) != std::string::npos, k.window);
    EXPECT_EQ(r.out.find("kvr2: cannot open the display") != std::string::npos, k.window);
}

INSTANTIATE_TEST_SUITE_P(Program, ModuleLoads, ::testing::ValuesIn(LOAD_CASES),
                         [](const auto& param) { return std::string(param.param.what); });

// The program file copied alone: a project without diagrams is calculated
// as before; one with diagrams has its results written and fails, naming
// each image and the module; the window does not start and says why.
TEST(ModuleLoads, ProgramFileAlone) {
    Scratch scratch("alone");
    fs::create_directories(scratch.dir() / "bin");
    fs::copy_file(BUILD / "kvr2", scratch.dir() / "bin" / "kvr2");
    scratch.add_example("helium_brayton.kvr");
    scratch.add_example("steam_rankine.kvr");
    const fs::path program = scratch.dir() / "bin" / "kvr2";

    testsupport::Outcome r =
        testsupport::shell("'" + program.string() + "' -b helium_brayton.kvr", scratch.dir());
    EXPECT_EQ(r.status, 0) << r.out;

    r = testsupport::shell("'" + program.string() + "' -b steam_rankine.kvr", scratch.dir());
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(fs::exists(scratch.dir() / "steam_rankine.kvr.out"));
    EXPECT_NE(r.out.find("Diagram 'T-s Diagram Water' not saved as "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("the renderer cannot be loaded: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(DIAGRAMS_MODULE), std::string::npos) << r.out;

    r = testsupport::shell("'" + program.string() + "'", scratch.dir());
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("kvr2: the window cannot be started: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(WINDOW_MODULE), std::string::npos) << r.out;
}

// In process: a module that is not there, or a folder that is not known,
// gives no entry and says why.
TEST(ModuleEntry, MissingModuleOrFolder) {
    const std::string home = app_home_dir;
    Scratch scratch("entry");
    std::string why;

    app_home_dir = scratch.dir().string();
    EXPECT_EQ(module_entry(WINDOW_MODULE, WINDOW_ENTRY, why), nullptr);
    EXPECT_NE(why.find(WINDOW_MODULE), std::string::npos) << why;

    app_home_dir.clear();
    why.clear();
    EXPECT_EQ(module_entry(DIAGRAMS_MODULE, DIAGRAMS_ENTRY, why), nullptr);
    EXPECT_NE(why.find("is not known"), std::string::npos) << why;

    app_home_dir = home;
}

}  // namespace
