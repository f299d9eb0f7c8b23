// Pango layouts on cairo contexts at the drawing's font scale; colours and
// line widths for cairo.
#include "app/diagrams/text.h"

#include <algorithm>
#include <cmath>

namespace app::diagrams {

PangoFontDescription* font_with_size(const std::string& font) {
    PangoFontDescription* desc = pango_font_description_from_string(font.c_str());
    if (pango_font_description_get_size(desc) <= 0)
        pango_font_description_set_size(desc, DEFAULT_FONT_SIZE * PANGO_SCALE);
    return desc;
}

Layout::Layout(cairo_t* cr, const std::string& text, const std::string& font, double scale)
    : scale_(scale) {
    layout_ = pango_cairo_create_layout(cr);
    pango_cairo_context_set_resolution(pango_layout_get_context(layout_), TEXT_DPI);
    pango_layout_context_changed(layout_);
    PangoFontDescription* desc = font_with_size(font);
    pango_layout_set_font_description(layout_, desc);
    pango_font_description_free(desc);
    pango_layout_set_text(layout_, text.c_str(), -1);
    int w = 0, h = 0;
    pango_layout_get_pixel_size(layout_, &w, &h);
    if (std::isfinite(scale) && scale > 0) {
        width = static_cast<int>(w * scale);
        height = static_cast<int>(h * scale);
    }
}

Layout::~Layout() {
    if (layout_ != nullptr) g_object_unref(layout_);
}

void show_scaled_layout_at(cairo_t* cr, const Layout& layout, double x, double y) {
    const double s = layout.scale();
    if (!std::isfinite(s) || !(s > 0) || !std::isfinite(x) || !std::isfinite(y)) return;
    cairo_save(cr);
    cairo_translate(cr, clamp_pixel(x), clamp_pixel(y));
    cairo_scale(cr, s, s);
    cairo_move_to(cr, 0, 0);
    pango_cairo_show_layout(cr, layout.layout());
    cairo_restore(cr);
}

void set_color(cairo_t* cr, const Color& color) {
    cairo_set_source_rgb(cr, color.red / 65535.0, color.green / 65535.0, color.blue / 65535.0);
}

void set_line_width(cairo_t* cr, double width) {
    if (std::isfinite(width) && width >= 0) cairo_set_line_width(cr, width);
}

double clamp_pixel(double v) { return std::clamp(v, -MAX_PIXEL, MAX_PIXEL); }

}  // namespace app::diagrams
