// Where tests find the source tree and the shared reference data.
#pragma once

#include <string>

namespace testsupport {

// The project's source directory.
std::string source_dir();
// The shared data directory (fluid data and reference values) beside the
// project, or "" when it is absent: tests that need it skip.
std::string shared_dir();

}  // namespace testsupport

// Skips the current test when the shared data directory is absent.
#define KVR2_REQUIRE_SHARED()                                                  \
    do {                                                                       \
        if (testsupport::shared_dir().empty()) GTEST_SKIP() << "no ../shared"; \
    } while (0)
