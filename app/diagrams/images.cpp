// PNG images of diagrams and of the flowsheet on cairo image surfaces.
#include "app/diagrams/images.h"

#include "app/core/program/kvr.h"
#include "app/diagrams/flowsheet_draw.h"
#include "app/diagrams/png_file.h"
#include "app/diagrams/populated_pages.h"
#include "app/diagrams/render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace app::diagrams {

SheetDrawer draw_symbol_graph = draw_flowsheet;

namespace {

// Largest side of an image in pixels (cairo's own limit).
constexpr int MAX_IMAGE_SIDE = 32767;

std::string write_png(cairo_surface_t* surface, const std::string& path, const std::string& mark) {
    return write_png_file(surface, path, mark);
}

bool size_ok(int width, int height) {
    return width > 0 && height > 0 && width <= MAX_IMAGE_SIDE && height <= MAX_IMAGE_SIDE;
}

// The pixels of a diagram image, kept for the next image of the thread (a
// batch run draws several of the same size, and the pages of a fresh
// surface cost more to have zeroed than the drawing's fill of them); up to
// kKeptPixelBytes, larger images get a surface of their own. Their pages
// are made present at once (populated_pages.h).
constexpr std::size_t kKeptPixelBytes = std::size_t{32} << 20;
PopulatedBytes& kept_pixels() {
    thread_local PopulatedBytes pixels;
    return pixels;
}

// An RGB24 image surface of width x height for a diagram, on the kept
// pixels where they suffice: their values are not set, since a drawing
// fills its whole background first (draw_graph) and its pixels do not
// depend on what lay there.
cairo_surface_t* diagram_surface(int width, int height) {
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
    const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    if (stride <= 0 || bytes > kKeptPixelBytes)
        return cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    PopulatedBytes& pixels = kept_pixels();
    if (pixels.size() < bytes) {
        pixels = PopulatedBytes();
        pixels = PopulatedBytes(bytes);
        if (pixels.get() == nullptr)
            return cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    }
    return cairo_image_surface_create_for_data(pixels.get(), CAIRO_FORMAT_RGB24, width, height,
                                               stride);
}

}  // namespace

DrawingStateScope::DrawingStateScope(Graph& graph)
    : graph_(graph),
      width_(graph.width),
      height_(graph.height),
      font_scale_(graph.font_scale),
      line_factor_(graph.line_factor),
      printing_(graph.printing),
      screenshot_(screenshot) {}

DrawingStateScope::~DrawingStateScope() {
    graph_.width = width_;
    graph_.height = height_;
    graph_.font_scale = font_scale_;
    graph_.line_factor = line_factor_;
    graph_.printing = printing_;
    screenshot = screenshot_;
}

std::string save_graph_png(Graph& graph, const std::string& path, int width, int height,
                           bool wide_lines, const std::string& batch_mark) {
    if (!size_ok(width, height))
        return "the image size " + std::to_string(width) + " x " + std::to_string(height) +
               " is not possible";
    cairo_surface_t* surface = diagram_surface(width, height);
    cairo_t* cr = cairo_create(surface);
    std::string why;
    {
        DrawingStateScope keep(graph);
        graph.width = width;
        graph.height = height;
        graph.font_scale = 1.0;
        graph.printing = 0;
        screenshot = wide_lines ? 1 : 0;
        draw_graph(graph, cr);
    }
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
        why = std::string("the drawing failed: ") + cairo_status_to_string(cairo_status(cr));
    cairo_destroy(cr);
    if (why.empty()) why = write_png(surface, path, batch_mark);
    cairo_surface_destroy(surface);
    return why;
}

std::string save_sheet_png(Graph& sheet, const std::string& path) {
    if (draw_symbol_graph == nullptr) return "the flowsheet cannot be drawn in this version";
    const double zoom = sheet.symbol_zoom > 0 ? sheet.symbol_zoom : 1.0;
    const double w = std::ceil(sheet.sheet_width * zoom), h = std::ceil(sheet.sheet_height * zoom);
    if (!(w >= 1 && h >= 1 && w <= MAX_IMAGE_SIDE && h <= MAX_IMAGE_SIDE))
        return "the flowsheet has no size to draw";
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(w), static_cast<int>(h));
    cairo_t* cr = cairo_create(surface);
    {
        DrawingStateScope keep(sheet);
        screenshot = 1;
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        draw_symbol_graph(sheet, cr, zoom);
    }
    std::string why;
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
        why = std::string("the drawing failed: ") + cairo_status_to_string(cairo_status(cr));
    cairo_destroy(cr);
    if (why.empty()) why = write_png(surface, path, "");
    cairo_surface_destroy(surface);
    return why;
}

bool save_batch_png(Graph& graph, const std::string& path, const std::string& project_file) {
    const std::string why =
        save_graph_png(graph, path, BATCH_IMAGE_WIDTH, BATCH_IMAGE_HEIGHT, false, project_file);
    if (why.empty()) return true;
    std::printf("Diagram '%s' not saved as %s: %s\n", graph.name.c_str(), path.c_str(),
                why.c_str());
    std::fflush(stdout);
    return false;
}

void install_image_hooks() { save_diagram_png = save_batch_png; }

}  // namespace app::diagrams
