// The entry of the window's module (kvr2-window.so): the window branch of
// the program, which alone loads the toolkit.
#include "app/core/program/modules.h"
#include "app/diagrams/images.h"
#include "app/gui/gui.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) int kvr2_run_window(
    int argc, char** argv, const std::vector<std::string>& files) {
    app::diagrams::install_image_hooks();
    return app::gui::run_window(argc, argv, files);
}

static_assert(std::is_same_v<decltype(&kvr2_run_window), app::WindowEntry>);
