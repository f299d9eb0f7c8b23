// Drawing helpers of the program's artwork, shared by the renderer (the
// flowsheet's part symbols) and the window (icons). Every picture is drawn
// by cairo into a unit square (0..1 in x and y); the caller scales.
#pragma once

#include <cairo.h>

#include <string>

namespace app::art {

struct Rgb {
    double r, g, b;
};

inline constexpr Rgb INK{0.15, 0.17, 0.22};
inline constexpr Rgb STEEL{0.36, 0.55, 0.78};
inline constexpr Rgb STEEL_LIGHT{0.72, 0.83, 0.94};
inline constexpr Rgb GREEN{0.35, 0.66, 0.38};
inline constexpr Rgb GREEN_LIGHT{0.75, 0.9, 0.74};
inline constexpr Rgb HOT{0.88, 0.3, 0.18};
inline constexpr Rgb FLAME{0.98, 0.68, 0.16};
inline constexpr Rgb COLD{0.2, 0.45, 0.9};
inline constexpr Rgb PAPER{0.98, 0.98, 0.95};
inline constexpr Rgb GREY{0.6, 0.62, 0.66};
inline constexpr Rgb PURPLE{0.6, 0.2, 0.6};
inline constexpr Rgb TEAL{0.0, 0.6, 0.6};

void set(cairo_t* cr, Rgb c, double alpha = 1.0);
// Fills the current path with `fill` and strokes it with INK.
void fill_stroke(cairo_t* cr, Rgb fill, double width = 0.045);
void stroke(cairo_t* cr, Rgb c, double width = 0.045);
void line(cairo_t* cr, double x0, double y0, double x1, double y1);
void circle(cairo_t* cr, double x, double y, double r);
void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r);
// An arrow from (x0, y0) to (x1, y1) with a filled head.
void arrow(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb c, double width = 0.05);
// Text centred at (x, y), height about `size`.
void text(cairo_t* cr, const char* s, double x, double y, double size, Rgb c, bool bold = true);
// A pair of axes in the square's lower left.
void axes(cairo_t* cr);
// A magnifying glass; `sign` '+', '-', '=' or 0 inside.
void magnifier(cairo_t* cr, char sign);
// A small gear at (x, y).
void gear(cairo_t* cr, double x, double y, double r);
// The two-phase dome of a property diagram.
void dome(cairo_t* cr, Rgb c, double width = 0.045);

// The part symbols (artwork_parts.cpp); false for an unknown name. The
// window's tool icons are app/gui/artwork_tools.h.
bool paint_part(cairo_t* cr, const std::string& name);

}  // namespace app::art
