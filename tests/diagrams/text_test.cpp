// Texts of the diagrams: a layout kept from an earlier drawing draws the
// very pixels of a new one, on a context of the same kind; on a context
// with other font options or another scale, a text is laid out for that
// context, not taken from one before.
#include "app/diagrams/text.h"
#include "tests/diagrams/diagram_support.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using diagtest::differing_pixels;
using diagtest::Image;

const std::vector<std::string> kTexts = {"Isobar [kPa]",        "0.05",   "700",
                                         "Entropy [kJ/(kg K)]", "8888.8", "Water"};
const std::vector<std::string> kFonts = {"sans medium 8", "sans medium 12", "serif 10",
                                         "sans medium"};

// The context's kind: font options and a matrix set before the texts.
struct Kind {
    const char* name;
    cairo_antialias_t antialias;
    cairo_hint_style_t hinting;
    double scale;
};

// Every text in every font, measured and drawn on a new image of the
// kind; the sizes measured are appended to `sizes`.
std::unique_ptr<Image> texts(const Kind& kind, std::vector<int>& sizes) {
    auto image = std::make_unique<Image>(400, 300);
    cairo_t* cr = image->context();
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, kind.antialias);
    cairo_font_options_set_hint_style(options, kind.hinting);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_scale(cr, kind.scale, kind.scale);
    cairo_set_source_rgb(cr, 0, 0, 0);
    double x = 3, y = 2;
    for (const std::string& font : kFonts)
        for (const std::string& text : kTexts) {
            app::diagrams::Layout layout(cr, text, font, 1.0);
            sizes.push_back(layout.width);
            sizes.push_back(layout.height);
            app::diagrams::show_scaled_layout_at(cr, layout, x, y);
            y += 11;
            if (y > 180) x += 130, y = 2;
        }
    return image;
}

const Kind kKinds[] = {{"default", CAIRO_ANTIALIAS_DEFAULT, CAIRO_HINT_STYLE_DEFAULT, 1.0},
                       {"no antialias", CAIRO_ANTIALIAS_NONE, CAIRO_HINT_STYLE_DEFAULT, 1.0},
                       {"full hinting", CAIRO_ANTIALIAS_GRAY, CAIRO_HINT_STYLE_FULL, 1.0},
                       {"scaled", CAIRO_ANTIALIAS_DEFAULT, CAIRO_HINT_STYLE_DEFAULT, 1.5}};

// Each kind drawn first with nothing kept, then after the other kinds
// (with their layouts kept): the same sizes, the same pixels.
TEST(DiagramText, KeptLayoutsDrawAsNewOnes) {
    for (const Kind& kind : kKinds) {
        app::diagrams::forget_layouts();
        std::vector<int> cold_sizes;
        const auto cold = texts(kind, cold_sizes);
        app::diagrams::forget_layouts();
        std::vector<int> scratch;
        for (const Kind& other : kKinds)
            if (&other != &kind) (void)texts(other, scratch);
        std::vector<int> warm_sizes;
        const auto warm = texts(kind, warm_sizes);
        EXPECT_EQ(warm_sizes, cold_sizes) << kind.name;
        EXPECT_EQ(differing_pixels(cold->surface(), warm->surface()), 0) << kind.name;
    }
}

// The kinds differ from one another at all (else the test above could
// not tell a layout taken from the wrong kind).
TEST(DiagramText, KindsDrawDifferently) {
    std::vector<std::unique_ptr<Image>> images;
    for (const Kind& kind : kKinds) {
        app::diagrams::forget_layouts();
        std::vector<int> sizes;
        images.push_back(texts(kind, sizes));
    }
    for (std::size_t a = 0; a < images.size(); ++a)
        for (std::size_t b = a + 1; b < images.size(); ++b)
            EXPECT_GT(differing_pixels(images[a]->surface(), images[b]->surface()), 0)
                << kKinds[a].name << " / " << kKinds[b].name;
}

}  // namespace
