// Fuzz target of the project-file reader: any text is read without a crash,
// a leak or undefined behaviour; what the reader takes, the writer writes
// in a form the reader takes again.
#include "app/core/files/filehandling.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace app;
    static bool ready = [] {
        initstuff();
        init_stoffe();
        return true;
    }();
    (void)ready;

    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const ReadOptions syntax_only{false};
    Project* project = read_project_text(text, "fuzz.kvr", error, syntax_only);
    if (project != nullptr) {
        std::string written = project_text(*project, true, true);
        free_project(project);
        Project* again = read_project_text(written, "fuzz.kvr", error, syntax_only);
        if (again == nullptr) {
            std::fprintf(stderr, "written file refused: %s\n%s\n", error.c_str(), written.c_str());
            std::abort();
        }
        free_project(again);
    }
    current_project = nullptr;
    // Fluids and isoline positions that the input added go again.
    fluids.truncate(NUM_BUILTIN_FLUIDS);
    init_stoffe();
    return 0;
}
