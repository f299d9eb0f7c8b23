// Batch mode writes every diagram of a project as a 1024 x 800 PNG image
// beside it, with no display at all (or one that cannot be reached), and
// fails the file when an image cannot be written.
#include "tests/support/paths.h"
#include "tests/support/shell.h"

#include <cairo.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

using testsupport::Outcome;
using testsupport::shell;

// The program with the environment changes and arguments.
Outcome run(const std::string& env, const std::string& args, const fs::path& cwd) {
    return shell("env " + env + " '" + std::string(KVR2_BINARY_DIR) + "/kvr2' " + args, cwd);
}

// Batch mode's image of a diagram of steam_rankine.kvr.
std::string image(const char* diagram) {
    return std::string("steam_rankine.kvr.") + diagram + ".png";
}

const char* const DIAGRAMS[] = {"T-s Diagram Water", "h-s Diagram Water", "p-h Diagram Water"};

class BatchImages : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::path(KVR2_BINARY_DIR) / "batch-images" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy_file(fs::path(testsupport::source_dir()) / "examples" / "steam_rankine.kvr",
                      dir / "steam_rankine.kvr");
    }
    fs::path dir;
};

TEST_F(BatchImages, WithoutAnyDisplay) {
    for (const char* env : {"-u DISPLAY -u WAYLAND_DISPLAY", "-u WAYLAND_DISPLAY DISPLAY=:987"}) {
        for (const char* name : DIAGRAMS) fs::remove(dir / image(name));
        const Outcome r = run(env, "-b steam_rankine.kvr", dir);
        EXPECT_EQ(r.status, 0) << env << "\n" << r.out;
        for (const char* name : DIAGRAMS) {
            const fs::path png = dir / image(name);
            ASSERT_TRUE(fs::exists(png)) << env << " " << png;
            cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
            EXPECT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
            EXPECT_EQ(cairo_image_surface_get_width(s), 1024);
            EXPECT_EQ(cairo_image_surface_get_height(s), 800);
            cairo_surface_destroy(s);
        }
    }
}

// An image whose path is a folder is reported, and the run fails.
TEST_F(BatchImages, UnwritableImageFailsTheRun) {
    fs::create_directory(dir / image("T-s Diagram Water"));
    const Outcome r = run("-u DISPLAY", "-b steam_rankine.kvr", dir);
    EXPECT_NE(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Diagram 'T-s Diagram Water' not saved as"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("it is left as it is"), std::string::npos) << r.out;
    EXPECT_TRUE(fs::exists(dir / image("h-s Diagram Water")));  // the others are written
    EXPECT_TRUE(fs::exists(dir / "steam_rankine.kvr.out"));
}

}  // namespace
