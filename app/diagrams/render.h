// The one renderer of the property diagrams: it draws a diagram into any
// cairo context (a window's off-screen surface, an image, a printed page)
// with cairo and pango only. The Graph holds the size W x H of the
// drawing, its margins, font scale, line factor and printing flag; the
// caller sets W, H, the font scale and the printing flag, the drawing sets
// the rest.
//
// The drawing reads the project's records and may call the property
// library (isolines, the QT diagram's phase markers): a caller must not
// draw while a calculation works on the project. While the library is
// busy (library_busy > 0) the drawing makes no library call; it then sets
// `drawing_deferred`, and the caller draws again once the library is free.
#pragma once

#include "app/core/model/records.h"
#include "app/diagrams/mapping.h"

#include <cairo.h>

namespace app::diagrams {

// 1 while a PNG image of a diagram is drawn: the line factor is then 2.
extern int screenshot;
// Set when a drawing left something out because the property library was
// busy; whoever draws clears it before and reads it after.
extern int drawing_deferred;

// One full drawing of a diagram into cr (0, 0)-(W, H): background, title,
// margins, axes, then the process curves and isolines (types 0-4) or the
// heat-flow-temperature picture (type 5). Repeated (a few times at most)
// while the zoom-to-plot widening moves an axis. Nothing for a null cr.
void draw_graph(Graph& graph, cairo_t* cr);

// The line factor and the four margins of the Graph from its fonts and
// flags, and the corner mark.
void calc_graph_border_size(Graph& graph, cairo_t* cr);

// The line factor: 2 for an image, round(W / 1000) for a page wider than
// 2000 units, else 1.
int line_factor_for(const Graph& graph);

// The frame: axis titles, grid, ticks and tick labels, axis lines and
// arrow heads.
void draw_axis(Graph& graph, cairo_t* cr);

// True for a part that the process curves show: finished, and neither a
// splitter nor the outlet.
bool drawn_part(const Part& part);

// Process curves (types 0-4) with their markers; fills the screen-point
// cache.
void draw_processes(Graph& graph, cairo_t* cr);

// One marker of the point styles 0 (none) to 10 centred on (x, y), stroked
// in the current colour and line width.
void draw_dot(cairo_t* cr, int style, double size, double x, double y);

// Isobars, isotherms, density and wetness lines with labels and legends,
// the critical point and the two-phase dome (types 0-4). Computes the
// fluid's pending isolines first.
void draw_isolines(Graph& graph, cairo_t* cr);

// The heat-flow-temperature picture of the Graph's interface (type 5).
void draw_qt(Graph& graph, cairo_t* cr);

}  // namespace app::diagrams
