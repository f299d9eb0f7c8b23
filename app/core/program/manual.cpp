// The user manual's place and the messages when it cannot be opened.
#include "app/core/program/manual.h"

#include "app/core/program/kvr.h"
#include "app/core/program/text_output.h"

#include <glib.h>

namespace app {

std::string manual_path() {
    const char* home = app_home_dir.empty() ? "." : app_home_dir.c_str();
    gchar* path = g_build_filename(home, "..", "kvr2-manual.pdf", nullptr);
    std::string out = path;
    g_free(path);
    return out;
}

std::string manual_error_text(ManualFailure failure, const std::string& path) {
    switch (failure) {
        case MF_NO_MEMORY: return "Not enough memory available to launch the application";
        case MF_PATH_NOT_FOUND:
            return format_text("The path to file '%s' not found!", path.c_str());
        case MF_ACCESS_DENIED:
            return format_text("Access to file %s denied by operating system", path.c_str());
        case MF_INVALID_APPLICATION: return "The called application is invalid or damaged!";
        case MF_NO_ASSOCIATION:
            return "This file type is not assigned to any application on your computer.";
        default: return format_text("The file '%s' cannot be opened!", path.c_str());
    }
}

}  // namespace app
