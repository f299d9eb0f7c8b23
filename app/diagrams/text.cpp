// Pango layouts on cairo contexts at the drawing's font scale; colours and
// line widths for cairo.
#include "app/diagrams/text.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace app::diagrams {

PangoFontDescription* font_with_size(const std::string& font) {
    PangoFontDescription* desc = pango_font_description_from_string(font.c_str());
    if (pango_font_description_get_size(desc) <= 0)
        pango_font_description_set_size(desc, DEFAULT_FONT_SIZE * PANGO_SCALE);
    return desc;
}

namespace {

// Layouts made before, for a text in a font on a context of the same
// kind: the same font options of the target surface and of the context,
// and the same matrix but for its translation (what pango takes from a
// cairo context). A batch run's diagrams share most of their labels.
struct KeptLayout {
    std::string text, font;
    cairo_font_options_t* options = nullptr;
    cairo_matrix_t matrix{};
    PangoLayout* layout = nullptr;
};

// Kept layouts at most; then all are let go.
constexpr std::size_t kKeptLayouts = 512;

class LayoutStore {
public:
    ~LayoutStore() { clear(); }
    PangoLayout* find(const std::string& text, const std::string& font,
                      const cairo_font_options_t* options, const cairo_matrix_t& m) const {
        for (const KeptLayout& k : kept_)
            if (k.text == text && k.font == font && same_linear_part(k.matrix, m) &&
                cairo_font_options_equal(k.options, options))
                return k.layout;
        return nullptr;
    }
    void keep(const std::string& text, const std::string& font, const cairo_font_options_t* options,
              const cairo_matrix_t& m, PangoLayout* layout) {
        if (kept_.size() >= kKeptLayouts) clear();
        g_object_ref(layout);
        kept_.push_back({text, font, cairo_font_options_copy(options), m, layout});
    }
    void clear() {
        for (KeptLayout& k : kept_) {
            cairo_font_options_destroy(k.options);
            g_object_unref(k.layout);
        }
        kept_.clear();
    }

private:
    static bool same_linear_part(const cairo_matrix_t& a, const cairo_matrix_t& b) {
        return a.xx == b.xx && a.xy == b.xy && a.yx == b.yx && a.yy == b.yy;
    }
    std::vector<KeptLayout> kept_;
};

LayoutStore& layout_store() {
    thread_local LayoutStore store;
    return store;
}

// The font options a layout made for cr would take: the target
// surface's, merged with the context's own.
cairo_font_options_t* options_of(cairo_t* cr) {
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_surface_get_font_options(cairo_get_target(cr), options);
    cairo_font_options_t* own = cairo_font_options_create();
    cairo_get_font_options(cr, own);
    cairo_font_options_merge(options, own);
    cairo_font_options_destroy(own);
    return options;
}

PangoLayout* new_layout(cairo_t* cr, const std::string& text, const std::string& font) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    pango_cairo_context_set_resolution(pango_layout_get_context(layout), TEXT_DPI);
    pango_layout_context_changed(layout);
    PangoFontDescription* desc = font_with_size(font);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);
    pango_layout_set_text(layout, text.c_str(), -1);
    return layout;
}

}  // namespace

void forget_layouts() { layout_store().clear(); }

Layout::Layout(cairo_t* cr, const std::string& text, const std::string& font, double scale)
    : scale_(scale) {
    cairo_font_options_t* options = options_of(cr);
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    LayoutStore& store = layout_store();
    if (PangoLayout* kept = store.find(text, font, options, m); kept != nullptr) {
        layout_ = static_cast<PangoLayout*>(g_object_ref(kept));
    } else {
        layout_ = new_layout(cr, text, font);
        store.keep(text, font, options, m, layout_);
    }
    cairo_font_options_destroy(options);
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
