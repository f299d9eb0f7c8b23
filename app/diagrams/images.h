// Diagrams and the flowsheet as PNG images, drawn by the renderer on cairo
// image surfaces: no window and no display connection is needed (batch
// mode uses these too).
#pragma once

#include "app/core/model/records.h"

#include <cairo.h>

#include <string>

namespace app::diagrams {

// Batch images: 1024 x 800 pixels, line factor 1.
inline constexpr int BATCH_IMAGE_WIDTH = 1024;
inline constexpr int BATCH_IMAGE_HEIGHT = 800;

// Draws the flowsheet of a project (its Graph of kind 1) into cr at the
// scale (sheet units to pixels): draw_flowsheet, with or without a
// display. A null drawer refuses flowsheet images.
using SheetDrawer = void (*)(Graph& sheet, cairo_t* cr, double scale);
extern SheetDrawer draw_symbol_graph;

// Keeps a Graph's drawing state (size, font scale, line factor, printing
// flag, screenshot mode) and puts it back when it ends: a drawing into
// another target leaves the diagram on screen as it was.
class DrawingStateScope {
public:
    explicit DrawingStateScope(Graph& graph);
    ~DrawingStateScope();
    DrawingStateScope(const DrawingStateScope&) = delete;
    DrawingStateScope& operator=(const DrawingStateScope&) = delete;

private:
    Graph& graph_;
    double width_, height_, font_scale_;
    int line_factor_, printing_, screenshot_;
};

// Draws a diagram at width x height into a new RGB image and writes it as
// a PNG file (through replace_file_contents: links followed, never half
// written); `wide_lines` draws with the line factor 2 (the image of a
// diagram on screen), else 1. A `batch_mark` (the project file's name) goes
// into the image as batch mode's mark (png_text.h). Returns "" when
// written, else why not.
std::string save_graph_png(Graph& graph, const std::string& path, int width, int height,
                           bool wide_lines, const std::string& batch_mark = "");

// Draws the flowsheet at its sheet size times its zoom and writes it as a
// PNG file (its W and H are not used). Returns "" when written, else why
// not.
std::string save_sheet_png(Graph& sheet, const std::string& path);

// The core's hook of batch mode: every diagram as a 1024 x 800 image marked
// with the project file's name. On failure it prints why and returns false.
bool save_batch_png(Graph& graph, const std::string& path, const std::string& project_file);

// Installs save_batch_png as the core's save_diagram_png.
void install_image_hooks();

}  // namespace app::diagrams
