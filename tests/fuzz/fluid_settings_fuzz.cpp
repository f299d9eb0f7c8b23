// Fuzz target of the fluid-definition (.kvq) reader and the settings reader:
// any text is read without a crash, a leak or undefined behaviour. A fluid
// the import takes is written and imported again to the same definition;
// a settings file leaves a "Current Dir" that a file chooser can show.
#include "app/core/files/filehandling.h"
#include "app/core/files/fluid_files.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace app;

// The import, with the library's set-up of what it reads.
void fluid_file(std::string_view text) {
    std::string error, warning;
    std::unique_ptr<Fluid> fluid = import_fluid_text(text, error, &warning);
    current_fluid = nullptr;
    if (!fluid) {
        if (error.empty()) {
            std::fprintf(stderr, "refused without a reason\n");
            std::abort();
        }
        return;
    }
    // Written and read again: the same components and fractions.
    const std::string written = fluid_file_text(*fluid);
    const std::string name = fluid->name;
    std::unique_ptr<Fluid> again = import_fluid_text(written, error);
    current_fluid = nullptr;
    if (!again || again->az_components != fluid->az_components) {
        std::fprintf(stderr, "written fluid refused: %s\n%s\n", error.c_str(), written.c_str());
        std::abort();
    }
    for (int c = 0; c < fluid->az_components; ++c) {
        const auto k = static_cast<std::size_t>(c);
        if (again->comp_index[k] != fluid->comp_index[k] || again->x[k] != fluid->x[k]) {
            std::fprintf(stderr, "fluid %s changed on writing\n", name.c_str());
            std::abort();
        }
    }
}

void settings_file(std::string_view text) {
    std::array<int, NUM_QUANTITIES> units{};
    for (std::size_t q = 0; q < units.size(); ++q) units[q] = unitdef[q].default_unit;
    load_settings_text(text);
    if (currentdir.size() > MAX_FOLDER_LENGTH ||
        (!currentdir.empty() && currentdir.front() != '/')) {
        std::fprintf(stderr, "Current Dir taken: %.80s\n", currentdir.c_str());
        std::abort();
    }
    for (int q = 0; q < NUM_QUANTITIES; ++q) {
        if (!valid_unit(q, unitdef[static_cast<std::size_t>(q)].default_unit)) std::abort();
        set_default_unit(q, units[static_cast<std::size_t>(q)]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool ready = [] {
        initstuff();
        init_stoffe();
        return true;
    }();
    (void)ready;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    fluid_file(text);
    settings_file(text);
    return 0;
}
