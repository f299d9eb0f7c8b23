// Helpers of the diagram tests: fresh fluids, diagram Graphs built in
// code, drawings on image surfaces and pixel probes.
#pragma once

#include "app/core/model/create_delete.h"
#include "app/core/model/records.h"
#include "app/diagrams/text.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

// Heights of the runs of pixel rows y0..y1 that hold ink (a dark pixel,
// as text is drawn in black) in the columns x0..x1 of an RGB24 surface.
inline std::vector<int> ink_runs(cairo_surface_t* s, int x0, int x1, int y0, int y1) {
    cairo_surface_flush(s);
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    std::vector<int> runs;
    int run = 0;
    for (int y = std::max(y0, 0); y <= std::min(y1, h - 1); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
        bool ink = false;
        for (int x = std::max(x0, 0); x <= std::min(x1, w - 1) && !ink; ++x) {
            const std::uint32_t c = row[x];
            ink = ((c >> 16) & 0xff) < 60 && ((c >> 8) & 0xff) < 60 && (c & 0xff) < 60;
        }
        if (ink) {
            ++run;
        } else if (run > 0) {
            runs.push_back(run);
            run = 0;
        }
    }
    if (run > 0) runs.push_back(run);
    return runs;
}

// Rows of ink of one line of digits in the font: what a tick label, drawn
// alone, covers.
inline int label_ink_height(const std::string& font, double scale) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 200, 60);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    {
        app::diagrams::Layout digits(cr, "-0123456789.", font, scale);
        app::diagrams::show_scaled_layout_at(cr, digits, 4, 4);
    }
    const std::vector<int> runs = ink_runs(s, 0, 199, 0, 59);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return runs.empty() ? 0 : *std::max_element(runs.begin(), runs.end());
}

}  // namespace diagtest
