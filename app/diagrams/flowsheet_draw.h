// The flowsheet's drawing: the whole sheet of a project (interface
// connections, process captions, the lines between parts with their
// arrowheads, the part symbols, result and input values, the selection,
// part names and interface symbols) into any cairo context, from the
// layout of app/core/flowsheet.h. The window, PNG images and printing use
// this one drawing; it needs no display.
//
// The drawing reads the project's records: a caller must not draw while a
// calculation works on the project.
#pragma once

#include "app/core/model/records.h"

#include <cairo.h>

#include <string>

namespace app::diagrams {

// Colours of the sheet: results, inputs, names, the selection frame.
struct SheetColour {
    double r, g, b;
};
inline constexpr SheetColour RESULT_COLOUR{0.0, 0.55, 0.55};
inline constexpr SheetColour INPUT_COLOUR{0.55, 0.0, 0.55};
inline constexpr SheetColour NAME_COLOUR{0.55, 0.0, 0.0};
inline constexpr SheetColour SELECTION_COLOUR{0.0, 0.5, 1.0};

// Draws the flowsheet Graph of its project into cr at the scale (unzoomed
// sheet pixels to cr units): white sheet, then everything on it. Parts
// wholly outside cr's clip are left out. Nothing for a null cr, a Graph
// without a project, or a scale that is not a positive finite number.
void draw_flowsheet(Graph& sheet, cairo_t* cr, double scale);

// Size in pixels of a part name laid out as the drawing lays it out
// ("sans medium 9", wrapped at `wrap_width` pixels), before it is turned.
void measure_part_name(const std::string& name, double wrap_width, int& width, int& height);

}  // namespace app::diagrams
