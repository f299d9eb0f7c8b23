#include "app/core/files/file_replace.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A file the user may not write is refused, as writing it in place would
// be, and stays as it was: batch mode replaced a read-only "plant.kvr.out"
// in a folder the user could write, since the rename needs only the
// folder's permission.
TEST(FileReplace, FilesTheUserMayNotWriteAreLeftAlone) {
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write every file";
    const fs::path dir = fs::temp_directory_path() / ("kvr2_replace_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path target = dir / "plant.kvr.out";
    std::ofstream(target) << "good results";
    ::chmod(target.c_str(), 0444);

    std::string reason;
    EXPECT_FALSE(app::replace_file_contents(target.string(), "new text", reason));
    EXPECT_EQ(reason, "Permission denied");
    EXPECT_EQ(slurp(target), "good results");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++entries;
    EXPECT_EQ(entries, 1);  // no temporary left behind

    // Writable again, it is replaced.
    ::chmod(target.c_str(), 0644);
    EXPECT_TRUE(app::replace_file_contents(target.string(), "new text", reason)) << reason;
    EXPECT_EQ(slurp(target), "new text");
    fs::remove_all(dir);
}

}  // namespace
