// Texts of the diagrams: pango layouts on any cairo context, measured and
// drawn at the drawing's font scale, plus the colour and line helpers the
// drawing files share.
#pragma once

#include "app/core/model/records.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <string>

namespace app::diagrams {

// Size of a font description that names none ("sans medium"): one size
// for screen, images and print (the toolkit's and pango's defaults differ).
inline constexpr int DEFAULT_FONT_SIZE = 10;
// Resolution of every layout, so that texts have the same pixel size on a
// window, an image and a page.
inline constexpr double TEXT_DPI = 96.0;

// A text laid out in a font for a cairo context; width and height are its
// pixel size times the scale, truncated. Layouts are kept (a few hundred
// per thread) and shared by later ones of the same text and font on a
// context with the same font options and matrix (translation aside).
class Layout {
public:
    Layout(cairo_t* cr, const std::string& text, const std::string& font, double scale);
    ~Layout();
    Layout(const Layout&) = delete;
    Layout& operator=(const Layout&) = delete;
    int width = 0;
    int height = 0;
    PangoLayout* layout() const { return layout_; }
    double scale() const { return scale_; }

private:
    PangoLayout* layout_ = nullptr;
    double scale_ = 1.0;
};

// Lets the kept layouts go (the next ones are made anew).
void forget_layouts();

// Draws the layout with its top left corner at (x, y), scaled by its
// scale; nothing when the scale is not a positive finite number or a
// coordinate is not finite.
void show_scaled_layout_at(cairo_t* cr, const Layout& layout, double x, double y);

// A font description with an explicit size (DEFAULT_FONT_SIZE when the
// text names none). The caller frees it.
PangoFontDescription* font_with_size(const std::string& font);

// Colour helpers: a record colour (16-bit channels) as the source.
void set_color(cairo_t* cr, const Color& color);

// A line width for cairo: the width when it is a positive finite number,
// else nothing is changed (cairo would stop drawing on a negative one).
void set_line_width(cairo_t* cr, double width);

// Pixel coordinates handed to cairo are held within this magnitude: its
// fixed-point numbers wrap beyond a few million.
inline constexpr double MAX_PIXEL = 1e5;
double clamp_pixel(double v);

}  // namespace app::diagrams
