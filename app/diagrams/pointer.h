// What the pointer finds on a diagram, without any window: the state
// under it (read-out texts of the diagram page), the process curve under
// it (hover test on the screen-point cache), the region a double click
// lands in, and the two overlays drawn over a picture (hover label, zoom
// rectangle).
#pragma once

#include "app/core/model/records.h"

#include <cairo.h>

#include <optional>
#include <string>

namespace app::diagrams {

// Phase text of a quality as the property layer returns it (two of the
// texts end with a blank).
std::string phase_text(double q);

// Text of a value that the read-out could not compute.
inline constexpr const char* NO_VALUE_TEXT = "   ----  ";
// Phase text of a state that the read-out could not compute.
inline constexpr const char* UNDEFINED_PHASE = "undefined";

// The read-out entries, each in the default unit of its quantity (the
// unit the page shows beside it): T ("%8.2f"), p ("%8.3f"), h ("%8.2f"),
// s ("%8.3f"), rho ("%8.2f") and the phase; and why the diagram's fluid
// has no transport values ("" when it has them).
struct ReadoutTexts {
    std::string T, p, h, s, rho, phase;
    std::string transport;
};

// The state at diagram values (x, y) of the Graph's type (h-s: x s, y h;
// p-s: s, p; T-s: s, T; p-h: h, p; p-T: T, p) computed by the property
// library for the diagram's fluid. On failure the phase is "undefined",
// the two given values show in their formats and the other three as
// NO_VALUE_TEXT. Sets the library up for the fluid; counts itself in
// library_busy while it works.
ReadoutTexts readout_at(Graph& graph, double x, double y);

// The read-out at pixel (px, py) of the Graph's last drawing: nothing for
// a QT diagram, while the property library is busy (library_busy > 0),
// for ranges that cannot be mapped, and outside the plot (x and y must lie
// strictly inside the visible ranges).
std::optional<ReadoutTexts> readout_at_pixel(Graph& graph, double px, double py);

// The screen-point cache entry (of the last drawing only) that the pointer
// (px, py) hits, or -1: point j of an entry is hit when |px - x_j| +
// |py - y_j| < 10, or when the segment to the next point is longer than
// 15 pixels (|dx| + |dy|) and the pointer lies strictly inside the box of
// the two points. The first hit counts.
int hover_hit(const Graph& graph, int px, int py);

// Where a double click at diagram values (x, y) lands.
enum class ClickRegion {
    NearYAxis,  // within 5 % of the x range from x start: the y axis's settings
    NearXAxis,  // within 5 % of the y range from y start: the x axis's settings
    Plot,       // inside the plot: the curve under the pointer
    BeyondEnd   // beyond the end of an axis (isoline labels): isoline settings
};
inline constexpr double NEAR_AXIS_FRACTION = 0.05;
// The region of a double click at pixel (px, py) of the last drawing. The
// fractions are taken in the plotted scale (logarithmic on a pressure
// axis), so a pressure axis has the same band as a linear one; the
// margins left of and below the plot (the axes' labels) count as near
// their axis.
ClickRegion click_region(const Graph& graph, double px, double py);

// The hover label of a curve beside the pointer: a light yellow box
// outlined in black at (px + 8, py + 2), the text at (px + 10, py + 4).
void draw_hover_label(cairo_t* cr, const std::string& text, double px, double py,
                      double font_scale);

// Pointer movements smaller than this (|dx| + |dy|) draw no zoom rectangle.
inline constexpr int ZOOM_RECTANGLE_MIN = 4;
// The zoom rectangle between a corner and the pointer: black dashed lines
// (20 on, 10 off), width 2. Nothing when the pointer lies closer than
// ZOOM_RECTANGLE_MIN to the corner. True when drawn.
bool draw_zoom_rectangle(cairo_t* cr, double x0, double y0, double x1, double y1);

}  // namespace app::diagrams
