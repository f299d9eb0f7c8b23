// Hover test on the screen-point cache, the regions of double clicks, and
// the overlays drawn over a diagram's picture.
#include "app/diagrams/mapping.h"
#include "app/diagrams/pointer.h"
#include "app/diagrams/text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace app::diagrams {

namespace {

// A point is hit closer than this (|dx| + |dy|), pixels.
constexpr int HIT_DISTANCE = 10;
// Segments longer than this (|dx| + |dy|) are also hit inside their box.
constexpr int LONG_SEGMENT = 15;

// Hover label: offsets of the box and the text from the pointer, the
// padding around the text, the fill colour.
constexpr double LABEL_BOX_DX = 8, LABEL_BOX_DY = 2;
constexpr double LABEL_TEXT_DX = 10, LABEL_TEXT_DY = 4;
constexpr double LABEL_PADDING = 4;
constexpr double LABEL_FILL[3] = {1, 1, 0.7};
constexpr const char* LABEL_FONT = "sans medium 10";

// Zoom rectangle: dash pattern and width.
constexpr double ZOOM_DASH[2] = {20, 10};
constexpr double ZOOM_LINE_WIDTH = 2;

bool strictly_between(int v, int a, int b) { return v > std::min(a, b) && v < std::max(a, b); }

bool entry_hit(const ScreenEntry& e, int px, int py) {
    for (std::size_t j = 0; j < e.x.size() && e.x[j] >= 0; ++j) {
        if (std::abs(py - e.y[j]) + std::abs(px - e.x[j]) < HIT_DISTANCE) return true;
        if (j + 1 >= e.x.size() || e.x[j + 1] <= 0) continue;
        const int dx = e.x[j + 1] - e.x[j], dy = e.y[j + 1] - e.y[j];
        if (std::abs(dx) + std::abs(dy) > LONG_SEGMENT &&
            strictly_between(px, e.x[j], e.x[j + 1]) && strictly_between(py, e.y[j], e.y[j + 1]))
            return true;
    }
    return false;
}

}  // namespace

int hover_hit(const Graph& graph, int px, int py) {
    // The cache holds the entries of the last drawing only.
    const std::size_t n = std::min(graph.cache.size(), static_cast<std::size_t>(SCREEN_CACHE_SIZE));
    for (std::size_t i = 0; i < n; ++i)
        if (entry_hit(graph.cache[i], px, py)) return static_cast<int>(i);
    return -1;
}

ClickRegion click_region(const Graph& graph, double px, double py) {
    const Mapping m = mapping_of(graph);
    if (!m.usable) return ClickRegion::NearYAxis;  // the axis settings can repair the ranges
    const double w = m.plot_right() - m.plot_left(), h = m.plot_bottom() - m.plot_top();
    const double rx = std::fabs(px - m.plot_left()) / w;
    const double ry = std::fabs(m.plot_bottom() - py) / h;
    // The margins beside the axes (tick labels, titles) count as near.
    if (rx < NEAR_AXIS_FRACTION || px < m.plot_left()) return ClickRegion::NearYAxis;
    if (ry < NEAR_AXIS_FRACTION || py > m.plot_bottom()) return ClickRegion::NearXAxis;
    if (px <= m.plot_right() && py >= m.plot_top()) return ClickRegion::Plot;
    return ClickRegion::BeyondEnd;
}

void draw_hover_label(cairo_t* cr, const std::string& text, double px, double py,
                      double font_scale) {
    if (cr == nullptr || !std::isfinite(px) || !std::isfinite(py)) return;
    const double scale = std::isfinite(font_scale) && font_scale > 0 ? font_scale : 1.0;
    const Layout layout(cr, text, LABEL_FONT, scale);
    cairo_save(cr);
    cairo_rectangle(cr, clamp_pixel(px + LABEL_BOX_DX), clamp_pixel(py + LABEL_BOX_DY),
                    layout.width + LABEL_PADDING, layout.height + LABEL_PADDING);
    cairo_set_source_rgb(cr, LABEL_FILL[0], LABEL_FILL[1], LABEL_FILL[2]);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    show_scaled_layout_at(cr, layout, clamp_pixel(px + LABEL_TEXT_DX),
                          clamp_pixel(py + LABEL_TEXT_DY));
    cairo_restore(cr);
}

bool draw_zoom_rectangle(cairo_t* cr, double x0, double y0, double x1, double y1) {
    if (cr == nullptr || !std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) ||
        !std::isfinite(y1))
        return false;
    if (std::fabs(x1 - x0) + std::fabs(y1 - y0) < ZOOM_RECTANGLE_MIN) return false;
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, ZOOM_LINE_WIDTH);
    cairo_set_dash(cr, ZOOM_DASH, 2, 0);
    const double l = clamp_pixel(x0), t = clamp_pixel(y0), r = clamp_pixel(x1), b = clamp_pixel(y1);
    cairo_move_to(cr, l, t);
    cairo_line_to(cr, r, t);
    cairo_line_to(cr, r, b);
    cairo_line_to(cr, l, b);
    cairo_close_path(cr);
    cairo_stroke(cr);
    cairo_restore(cr);
    return true;
}

}  // namespace app::diagrams
