// The program's artwork: stock icons and part pictures registered at
// start-up, the logo, the start page's button pictures. Everything is
// drawn with cairo; no picture file is read.
#include "app/diagrams/artwork_draw.h"
#include "app/gui/action_tables.h"
#include "app/gui/artwork_tools.h"
#include "app/gui/gui.h"

#include <cstdint>

namespace app::gui {

// Stock icons: name, part-picture slot (32 x 32, -1 none), size of the
// registered picture.
const StockIconRow stock_icons[] = {
    {"My_interface", 16, 64},
    {"My_Calculate", -1, 64},
    {"My_compressor", 0, 64},
    {"My_combustor", 4, 64},
    {"My_combustoroxy", 5, 64},
    {"My_waterseparator", 15, 64},
    {"My_turbine", 3, 64},
    {"My_pump", 1, 64},
    {"My_condenser", 8, 64},
    {"My_heatexchanger", 7, 64},
    {"My_pressureloss", 10, 64},
    {"My_split_mix", -1, 64},
    {"My_mixer", 13, 64},
    {"My_splitter", 14, 64},
    {"My_result", -1, 64},
    {"My_listselect", -1, 64},
    {"My_edit", -1, 64},
    {"My_heatsource", 17, 64},
    {"My_heatsink", 18, 64},
    {"My_inlet", 11, 64},
    {"My_outlet", 12, 64},
    {"My_zoomreset", -1, 64},
    {"My_zoom", -1, 64},
    {"My_zoom2process", -1, 64},
    {"My_configiso", -1, 64},
    {"My_configaxes", -1, 64},
    {"My_configprocess", -1, 64},
    {"My_diagram", -1, 64},
    {"My_diagramqt", -1, 64},
    {"My_zoomdefault", -1, 64},
    {"My_showisodensity", -1, 64},
    {"My_showisopressure", -1, 64},
    {"My_showisotemperature", -1, 64},
    {"My_showisowetness", -1, 64},
    {"My_configaxesauto", -1, 64},
    {"My_manual_book", -1, 128},
};
const int N_STOCK_ICONS = G_N_ELEMENTS(stock_icons);

namespace {

// A picture from a cairo image surface (premultiplied ARGB) as a pixbuf
// (straight RGBA).
GdkPixbuf* to_pixbuf(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* src = cairo_image_surface_get_data(surface);
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, w, h);
    unsigned char* dst = gdk_pixbuf_get_pixels(pixbuf);
    const int dst_stride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(src + y * stride);
        unsigned char* out = dst + y * dst_stride;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = row[x];
            const unsigned a = p >> 24;
            auto channel = [&](unsigned shift) -> unsigned char {
                const unsigned c = (p >> shift) & 0xff;
                return static_cast<unsigned char>(a == 0 ? 0 : (c * 255 + a / 2) / a);
            };
            out[4 * x + 0] = channel(16);
            out[4 * x + 1] = channel(8);
            out[4 * x + 2] = channel(0);
            out[4 * x + 3] = static_cast<unsigned char>(a);
        }
    }
    return pixbuf;
}

template <class Paint>
GdkPixbuf* render(int width, int height, Paint paint) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    const bool ok = paint(cr);
    cairo_destroy(cr);
    GdkPixbuf* pixbuf = ok ? to_pixbuf(surface) : nullptr;
    cairo_surface_destroy(surface);
    return pixbuf;
}

void paint_cycle(cairo_t* cr) {
    using namespace art;
    axes(cr);
    dome(cr, INK, 0.035);
    cairo_move_to(cr, 0.3, 0.72);
    cairo_line_to(cr, 0.32, 0.42);
    cairo_line_to(cr, 0.52, 0.3);
    cairo_line_to(cr, 0.78, 0.16);
    cairo_line_to(cr, 0.8, 0.72);
    cairo_close_path(cr);
    stroke(cr, HOT, 0.04);
    for (auto [x, y] : {std::pair{0.3, 0.72}, {0.32, 0.42}, {0.78, 0.16}, {0.8, 0.72}}) {
        circle(cr, x, y, 0.035);
        fill_stroke(cr, PAPER, 0.02);
    }
}

}  // namespace

GdkPixbuf* draw_icon(const std::string& stock_name, int size) {
    return render(size, size, [&](cairo_t* cr) {
        cairo_scale(cr, size, size);
        return art::paint_part(cr, stock_name) || art::paint_tool(cr, stock_name);
    });
}

GdkPixbuf* draw_logo(int width, int height) {
    return render(width, height, [&](cairo_t* cr) {
        using namespace art;
        cairo_save(cr);
        cairo_scale(cr, height, height);
        rounded_rect(cr, 0.04, 0.04, 0.92, 0.92, 0.12);
        fill_stroke(cr, {0.93, 0.95, 0.98}, 0.02);
        cairo_translate(cr, 0.1, 0.08);
        cairo_scale(cr, 0.8, 0.8);
        paint_cycle(cr);
        cairo_restore(cr);
        const double x = height * 1.12;
        cairo_select_font_face(cr, "Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, height * 0.42);
        set(cr, STEEL);
        cairo_move_to(cr, x, height * 0.56);
        cairo_show_text(cr, "Kavrel");
        cairo_select_font_face(cr, "Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, height * 0.13);
        set(cr, INK);
        cairo_move_to(cr, x + 2, height * 0.78);
        cairo_show_text(cr, "KVR 2 \xe2\x80\x94 thermodynamic cycles");
        return true;
    });
}

GdkPixbuf* draw_start_button(const std::string& which, int size) {
    return render(size, size, [&](cairo_t* cr) {
        using namespace art;
        cairo_scale(cr, size, size);
        if (which == "new") {
            cairo_move_to(cr, 0.22, 0.08);
            cairo_line_to(cr, 0.62, 0.08);
            cairo_line_to(cr, 0.8, 0.26);
            cairo_line_to(cr, 0.8, 0.92);
            cairo_line_to(cr, 0.22, 0.92);
            cairo_close_path(cr);
            fill_stroke(cr, PAPER, 0.03);
            circle(cr, 0.72, 0.74, 0.18);
            fill_stroke(cr, GREEN, 0.03);
            line(cr, 0.62, 0.74, 0.82, 0.74);
            line(cr, 0.72, 0.64, 0.72, 0.84);
            stroke(cr, PAPER, 0.05);
        } else if (which == "open") {
            cairo_move_to(cr, 0.08, 0.22);
            cairo_line_to(cr, 0.36, 0.22);
            cairo_line_to(cr, 0.44, 0.3);
            cairo_line_to(cr, 0.88, 0.3);
            cairo_line_to(cr, 0.88, 0.84);
            cairo_line_to(cr, 0.08, 0.84);
            cairo_close_path(cr);
            fill_stroke(cr, FLAME, 0.03);
            cairo_move_to(cr, 0.16, 0.42);
            cairo_line_to(cr, 0.96, 0.42);
            cairo_line_to(cr, 0.88, 0.84);
            cairo_line_to(cr, 0.08, 0.84);
            cairo_close_path(cr);
            fill_stroke(cr, {1.0, 0.82, 0.4}, 0.03);
        } else if (which == "examples") {
            rounded_rect(cr, 0.06, 0.06, 0.88, 0.88, 0.08);
            fill_stroke(cr, PAPER, 0.03);
            cairo_translate(cr, 0.1, 0.1);
            cairo_scale(cr, 0.8, 0.8);
            paint_cycle(cr);
        } else if (which == "manual") {
            return art::paint_tool(cr, "My_manual_book");
        } else {
            return false;
        }
        return true;
    });
}

void create_icons() {
    GtkIconFactory* factory = gtk_icon_factory_new();
    gtk_icon_factory_add_default(factory);
    for (const StockIconRow& row : stock_icons) {
        GdkPixbuf* picture = draw_icon(row.name, row.size);
        if (picture == nullptr) continue;
        GtkIconSource* source = gtk_icon_source_new();
        gtk_icon_source_set_pixbuf(source, picture);
        GtkIconSet* set = gtk_icon_set_new();
        gtk_icon_set_add_source(set, source);
        gtk_icon_factory_add(factory, row.name, set);
        gtk_icon_set_unref(set);
        gtk_icon_source_free(source);
        g_object_unref(picture);
        if (row.part_slot >= 0) {
            GdkPixbuf*& slot = ui.part_icons[static_cast<std::size_t>(row.part_slot)];
            if (slot != nullptr) g_object_unref(slot);
            slot = draw_icon(row.name, 32);
        }
    }
    g_object_unref(factory);
    if (ui.logo == nullptr) ui.logo = draw_logo(560, 140);
}

}  // namespace app::gui
