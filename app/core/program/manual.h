// The user manual: its place beside the program and the messages shown when
// it cannot be opened (manual.cpp).
#pragma once

#include <string>

namespace app {

enum ManualFailure : int {
    MF_NO_MEMORY = 0,
    MF_PATH_NOT_FOUND = 1,
    MF_ACCESS_DENIED = 2,
    MF_INVALID_APPLICATION = 3,
    MF_NO_ASSOCIATION = 4,
    MF_OTHER = 5,
};
// The manual: app_home_dir/../kvr2-manual.pdf.
std::string manual_path();
// The message shown when the manual cannot be opened.
std::string manual_error_text(ManualFailure failure, const std::string& path);

}  // namespace app
