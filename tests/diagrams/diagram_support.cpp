#include "tests/diagrams/diagram_support.h"

#include "app/core/model/init.h"
#include "app/diagrams/mapping.h"
#include "app/diagrams/render.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

namespace diagtest {

void fresh_fluids() {
    initstuff();
    init_stoffe();
    current_fluid = nullptr;
}

GraphPtr make_graph(int fluid, int type) {
    GraphPtr g(create_graph());
    g->kind = GK_DIAGRAM;
    g->fluid = fluids[fluid];
    g->type = type;
    init_iso_settings(*g);
    diagrams::init_axis(*g);
    return g;
}

bool red(Pixel p) { return p.r > 200 && p.g < 90 && p.b < 90; }
bool bluish(Pixel p) { return p.b > 150 && p.b - p.r > 80 && p.b - p.g > 80; }
bool near_black(Pixel p) { return p.r < 60 && p.g < 60 && p.b < 60; }
bool light_grey(Pixel p) {
    return std::abs(p.r - 230) <= 3 && std::abs(p.g - 230) <= 3 && std::abs(p.b - 230) <= 3;
}

Image::Image(int width, int height)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
      cr_(cairo_create(surface_)) {}

Image::~Image() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

Pixel Image::at(int x, int y) const {
    cairo_surface_flush(surface_);
    const int w = cairo_image_surface_get_width(surface_);
    const int h = cairo_image_surface_get_height(surface_);
    if (x < 0 || y < 0 || x >= w || y >= h) return {255, 255, 255};
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    std::uint32_t v = 0;
    std::copy_n(data + y * stride + 4 * x, 4, reinterpret_cast<unsigned char*>(&v));
    return {static_cast<int>((v >> 16) & 0xff), static_cast<int>((v >> 8) & 0xff),
            static_cast<int>(v & 0xff)};
}

bool Image::any_near(double x, double y, int r, const std::function<bool(Pixel)>& test) const {
    const int cx = static_cast<int>(std::lround(x)), cy = static_cast<int>(std::lround(y));
    return any_in(cx - r, cy - r, cx + r, cy + r, test);
}

bool Image::any_in(int x0, int y0, int x1, int y1, const std::function<bool(Pixel)>& test) const {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (test(at(x, y))) return true;
    return false;
}

std::unique_ptr<Image> draw(Graph& graph, int width, int height, const char* name) {
    auto image = std::make_unique<Image>(width, height);
    graph.width = width;
    graph.height = height;
    graph.font_scale = 1.0;
    diagrams::screenshot = 0;
    diagrams::draw_graph(graph, image->context());
    if (name != nullptr) {
        const std::filesystem::path dir = std::filesystem::path(KVR2_BINARY_DIR) / "render";
        std::filesystem::create_directories(dir);
        cairo_surface_write_to_png(image->surface(), (dir / (std::string(name) + ".png")).c_str());
    }
    return image;
}

}  // namespace diagtest
