// Helpers of the diagram tests: fresh fluids, diagram Graphs built in
// code, drawings on image surfaces and pixel probes.
#pragma once

#include "app/core/model/create_delete.h"
#include "app/core/model/records.h"

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <memory>

namespace diagtest {

using namespace app;

// The tables and the built-in fluids as at start-up (no isolines yet).
void fresh_fluids();

struct GraphDeleter {
    void operator()(Graph* g) const { free_graph(g); }
};
using GraphPtr = std::unique_ptr<Graph, GraphDeleter>;

// A property diagram of a built-in fluid: its isoline settings and the
// axes of the type from the fluid's defaults.
GraphPtr make_graph(int fluid, int type);

struct Pixel {
    int r = 0, g = 0, b = 0;
};
bool red(Pixel p);
bool bluish(Pixel p);
bool near_black(Pixel p);
bool light_grey(Pixel p);

// A drawing on an RGB image surface.
class Image {
public:
    Image(int width, int height);
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    cairo_surface_t* surface() const { return surface_; }
    cairo_t* context() const { return cr_; }
    Pixel at(int x, int y) const;
    // True when a pixel of the (2 r + 1)^2 square around (x, y) passes.
    bool any_near(double x, double y, int r, const std::function<bool(Pixel)>& test) const;
    // True when a pixel of the rectangle passes.
    bool any_in(int x0, int y0, int x1, int y1, const std::function<bool(Pixel)>& test) const;

private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Draws the diagram at width x height (line factor 1) into a new image;
// with a name, the image is also kept as build/render/NAME.png to be
// looked at.
std::unique_ptr<Image> draw(Graph& graph, int width, int height, const char* name = nullptr);

// Pixels (RGB only) that differ between two RGB24 surfaces of one size.
inline int differing_pixels(cairo_surface_t* a, cairo_surface_t* b) {
    const int w = cairo_image_surface_get_width(a), h = cairo_image_surface_get_height(a);
    if (cairo_image_surface_get_width(b) != w || cairo_image_surface_get_height(b) != h)
        return w * h;
    int n = 0;
    for (int y = 0; y < h; ++y) {
        const auto* pa = reinterpret_cast<const std::uint32_t*>(
            cairo_image_surface_get_data(a) + y * cairo_image_surface_get_stride(a));
        const auto* pb = reinterpret_cast<const std::uint32_t*>(
            cairo_image_surface_get_data(b) + y * cairo_image_surface_get_stride(b));
        for (int x = 0; x < w; ++x) n += (pa[x] & 0xffffffu) != (pb[x] & 0xffffffu) ? 1 : 0;
    }
    return n;
}

}  // namespace diagtest
