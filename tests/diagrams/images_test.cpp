// PNG images of diagrams: each image holds the very pixels of its diagram
// drawn on a new surface, whatever images of other sizes and diagrams the
// program wrote before it (their pixels are kept for the next image).
#include "app/diagrams/images.h"
#include "app/core/model/init.h"
#include "tests/diagrams/diagram_support.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

using diagtest::differing_pixels;

namespace fs = std::filesystem;
using namespace app;

struct Shot {
    int type;  // diagram type (1 T-s, 2 h-s, 3 p-h, ...)
    int width, height;
};

TEST(DiagramImages, EachAsDrawnOnANewSurface) {
    diagtest::fresh_fluids();
    const fs::path dir = fs::path(KVR2_BINARY_DIR) / "diagram-images";
    fs::create_directories(dir);
    // Larger, smaller, wider, the first again and one larger than all: every
    // image after the first is drawn on pixels kept from one before it (not
    // cleared: the drawing fills its background first), the last on new ones.
    const Shot shots[] = {{1, 1024, 800}, {3, 600, 400}, {2, 1200, 300},
                          {1, 1024, 800}, {3, 333, 777}, {2, 1300, 900}};
    int k = 0;
    for (const Shot& s : shots) {
        auto graph = diagtest::make_graph(FLUID_WATER, s.type);
        const fs::path png = dir / ("image" + std::to_string(k++) + ".png");
        ASSERT_EQ(diagrams::save_graph_png(*graph, png.string(), s.width, s.height, false, ""), "");
        cairo_surface_t* read = cairo_image_surface_create_from_png(png.c_str());
        ASSERT_EQ(cairo_surface_status(read), CAIRO_STATUS_SUCCESS);
        const auto fresh = diagtest::draw(*graph, s.width, s.height);
        cairo_surface_flush(fresh->surface());
        EXPECT_EQ(differing_pixels(read, fresh->surface()), 0)
            << "type " << s.type << " at " << s.width << " x " << s.height;
        cairo_surface_destroy(read);
    }
}

}  // namespace
