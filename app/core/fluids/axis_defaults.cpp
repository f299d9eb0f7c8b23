// Default look of axes, and the isoline positions of fluids and diagrams.
#include "app/core/model/init.h"

#include <algorithm>

namespace app {

constexpr std::array<double, 14> isobar_pos_default = {5,    10,   20,   50,    100,   200,   500,
                                                       1000, 2000, 5000, 10000, 20000, 50000, -1};
constexpr std::array<double, 18> isotherm_pos_default = {
    30, 50, 75, 100, 125, 150, 175, 200, 220, 250, 300, 350, 400, 450, 500, 600, 700, -1};
constexpr std::array<double, 15> isochor_pos_default = {0.1, 0.2, 0.5, 1,   2,   5,    10, 20,
                                                        50,  100, 200, 500, 750, 1000, -1};
constexpr std::array<double, 10> wetness_pos_default = {0.1, 0.2, 0.3, 0.4, 0.5,
                                                        0.6, 0.7, 0.8, 0.9, -1};

namespace {

std::span<const double> default_table(int family) {
    switch (family) {
        case ISO_ISOBAR: return isobar_pos_default;
        case ISO_ISOTHERM: return isotherm_pos_default;
        case ISO_ISOCHOR: return isochor_pos_default;
        default: return wetness_pos_default;
    }
}

// Copies a built-in table up to the value that stops it, which becomes the
// end marker: isobars and isotherms stop at the first value not above zero,
// density and wetness lines at the first negative value.
std::vector<double> copy_positions(int family, std::span<const double> table) {
    std::vector<double> out;
    bool stop_at_zero = family == ISO_ISOBAR || family == ISO_ISOTHERM;
    for (double v : table) {
        if (stop_at_zero ? v <= 0.0 : v < 0.0) {
            out.push_back(v);
            return out;
        }
        out.push_back(v);
    }
    out.push_back(-1.0);
    return out;
}

}  // namespace

int iso_default_count(int family) {
    if (family < 0 || family >= NUM_ISO_FAMILIES) return 0;
    int n = 0;
    for (double v : default_table(family)) {
        if (v < 0.0) break;
        ++n;
    }
    return n;
}

void set_axis_defaults(Axis& axis) {
    const Color black{0, 0, 0, 0};
    const Color grey{0, 0xCCCC, 0xCCCC, 0xCCCC};
    axis.line_color = black;
    axis.grid_color = grey;
    axis.tick_color = black;
    axis.label_color = black;
    axis.tick_label_color = black;
    axis.line_width = 1.0;
    axis.grid_width = 1.0;
    axis.tick_width = 1;
    axis.arrow_size = 10;
    axis.tick_length = 5;
    axis.digits = 2;
    axis.label_font = "sans medium 12";
    axis.tick_font = "sans medium 8";
}

int iso_count(const IsoFamily& family) {
    int n = 0;
    for (double v : family.positions) {
        if (v < 0.0) break;
        ++n;
    }
    return n;
}

int iso_find(const IsoFamily& family, double value) {
    int n = iso_count(family);
    for (int i = 0; i < n; ++i)
        if (family.positions[static_cast<std::size_t>(i)] == value) return i;
    return -1;
}

int iso_add_position(IsoFamily& family, double value) {
    int n = iso_count(family);
    family.positions.resize(static_cast<std::size_t>(n));
    family.positions.push_back(value);
    family.positions.push_back(-1.0);
    // Per-position results follow the positions.
    family.computed.resize(static_cast<std::size_t>(n + 1), 0);
    family.lines.resize(static_cast<std::size_t>(n + 1));
    family.wet.resize(static_cast<std::size_t>(n + 1));
    family.computed[static_cast<std::size_t>(n)] = 0;
    family.lines[static_cast<std::size_t>(n)].clear();
    family.wet[static_cast<std::size_t>(n)].clear();
    return n;
}

void init_iso_positions(Fluid& fluid) {
    for (int f = 0; f < NUM_ISO_FAMILIES; ++f) {
        IsoFamily& fam = fluid.iso[static_cast<std::size_t>(f)];
        fam.positions = copy_positions(f, default_table(f));
        std::size_t n = static_cast<std::size_t>(iso_count(fam));
        fam.computed.assign(n, 0);
        fam.lines.assign(n, {});
        fam.wet.assign(n, {});
    }
}

void init_iso_settings(Graph& graph) {
    for (int f = 0; f < NUM_ISO_FAMILIES; ++f) {
        std::vector<int>& marks = graph.iso_style[static_cast<std::size_t>(f)].selected;
        if (graph.fluid == nullptr) {
            marks.clear();
            continue;
        }
        int n = iso_count(graph.fluid->iso[static_cast<std::size_t>(f)]);
        marks.assign(static_cast<std::size_t>(n), 0);
        int shown = std::min(n, iso_default_count(f));
        for (int i = 0; i < shown; ++i) marks[static_cast<std::size_t>(i)] = 1;
    }
}

}  // namespace app
