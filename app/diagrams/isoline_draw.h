// What the isoline drawing files share: which families a diagram draws,
// the value of a point for an axis, and the labels at the plot edges.
#pragma once

#include "app/core/model/records.h"
#include "app/diagrams/mapping.h"

#include <cairo.h>

#include <string>
#include <utility>
#include <vector>

namespace app::diagrams {

// The value of an isoline point for an axis quantity (0 s, 1 h, 2 p, 3 T);
// NaN for another quantity.
double iso_value(const IsoPoint& p, int quantity);
double sat_value(const SatPoint& p, int quantity);

// True when the diagram draws the family: shown, and (isobars, isotherms)
// no axis shows the family's own quantity; wetness lines only for the
// pure-fluid groups and not in a p-T diagram.
bool family_drawn(const Graph& graph, int family);

// True when position i of the family is selected in the diagram (a
// position without a selection flag is hidden).
bool position_selected(const Graph& graph, int family, int i);

// True for fluids whose diagrams show wetness lines, critical point and
// dome (the groups Pure Fluids, Inert Gases, Alkanes, Refrigerants).
bool has_two_phase_picture(const Fluid& fluid);

// The label text "%g" of a position in the family's unit.
std::string position_label(const Graph& graph, int family, double position);

// Where a line leaves the plot area: the last crossing of the upper, the
// right and the lower edge (x of a crossing of a horizontal edge, y of the
// right edge), in diagram values.
struct EdgeCrossings {
    bool top = false, right = false, bottom = false;
    double top_x = 0, right_y = 0, bottom_x = 0;
};
// Notes the crossings of the segment (x0, y0)-(x1, y1) in diagram values,
// taken on the segment as drawn (in log p on a pressure axis); a later
// crossing of the same edge replaces an earlier one.
void note_crossings(const Mapping& m, double x0, double y0, double x1, double y1, EdgeCrossings& c);

// Stretches of an edge taken by labels already drawn (x along the lower
// edge, y along a right column): a label that would overlap one of them is
// left out.
using TakenStretches = std::vector<std::pair<double, double>>;
// True when [from, to] overlaps none of the taken stretches.
bool stretch_free(const TakenStretches& taken, double from, double to);

// The wetness lines, critical point and dome (isoline_saturation.cpp);
// `right_column` is the x of the wetness lines' right labels, a column
// they share with the density lines' labels, whose stretches are in
// `right_taken` (the wetness labels add theirs).
void draw_wetness_lines(Graph& graph, cairo_t* cr, const Mapping& m, double right_column,
                        TakenStretches& right_taken);
void draw_critical_point(Graph& graph, cairo_t* cr, const Mapping& m);
void draw_dome(Graph& graph, cairo_t* cr, const Mapping& m);

// Clips to the plot area of the mapping.
void clip_to_plot(cairo_t* cr, const Mapping& m);

}  // namespace app::diagrams
