#include "tests/support/paths.h"

#include <cstdlib>
#include <filesystem>

namespace testsupport {

std::string source_dir() { return KVR2_SOURCE_DIR; }

std::string shared_dir() {
    namespace fs = std::filesystem;
    if (const char* env = std::getenv("KVR2_SHARED")) {
        if (fs::is_directory(env)) return env;
        return "";
    }
    fs::path p = fs::path(KVR2_SOURCE_DIR) / ".." / "shared";
    std::error_code ec;
    if (fs::is_directory(p / "reference", ec)) return fs::weakly_canonical(p, ec).string();
    return "";
}

}  // namespace testsupport
