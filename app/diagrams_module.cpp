// The entry of the renderer's module (kvr2-diagrams.so): the program loads
// it when batch mode writes its first diagram image.
#include "app/core/program/modules.h"
#include "app/diagrams/images.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) void kvr2_install_image_hooks() {
    app::diagrams::install_image_hooks();
}

static_assert(std::is_same_v<decltype(&kvr2_install_image_hooks), app::DiagramsEntry>);
