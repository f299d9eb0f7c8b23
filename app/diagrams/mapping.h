// Diagram geometry without any drawing: the plot area, the mapping of
// diagram values to pixels and back (the y axis logarithmic when it shows a
// pressure), a part's step as diagram coordinates, the widening of the axes
// in zoom-to-plot mode, and the axes of a new diagram.
#pragma once

#include "app/core/model/records.h"

namespace app::diagrams {

// 1 when the zoom-to-plot widening moved an axis during a drawing: the
// drawing is then run again with the new ranges.
extern int redraw;

// True when an axis is drawn logarithmically (its unit quantity is Pressure).
bool is_log_axis(const Axis& axis);

// The plot area of a Graph (x from left to width - right, y from top to
// height - bottom, in pixels) and its mapping of the visible ranges.
struct Mapping {
    double width = 0, height = 0;
    double left = 0, right = 0, top = 0, bottom = 0;
    double xs = 0, xe = 0, ys = 0, ye = 0;  // visible ranges, internal units
    bool log_y = false;
    // False when the ranges cannot be mapped: not finite, empty or
    // reversed, a logarithmic axis from a value not above zero, or no room
    // for the plot. Only the frame is drawn then.
    bool usable = false;

    double X(double v) const;
    double Y(double v) const;
    // The inverse: the diagram value at a pixel.
    double value_x(double px) const;
    double value_y(double py) const;
    // Pixel edges of the plot area.
    double plot_left() const { return left; }
    double plot_right() const { return width - right; }
    double plot_top() const { return top; }
    double plot_bottom() const { return height - bottom; }
    // True when the value lies strictly inside the visible range.
    bool inside_x(double v) const { return v > xs && v < xe; }
    bool inside_y(double v) const { return v > ys && v < ye; }
};

// The mapping of a Graph as it is now (size, margins, axes).
Mapping mapping_of(const Graph& graph);

// The diagram coordinates (x, y) of step i of a part by diagram type (s-h,
// s-p, s-T, h-p, T-p; (0, 0) for other types), and in zoom-to-plot mode
// the axes widened to hold them.
void getxy(Graph& graph, const Part& part, int i, double& x, double& y);

// Zoom-to-plot widening for one point: each bound that the point lies
// beyond moves out by whole tick steps at once (the lower bound of a
// logarithmic axis by whole decades) until the point lies inside. Points
// that are not finite or beyond 1e99, and axes without a positive step,
// move nothing. Sets `redraw` when a bound moved.
void widen_to_point(Graph& graph, double x, double y);

// The x and y axis of a new diagram from its fluid's default axes (by
// diagram type), each in the default unit of its quantity. The
// heat-flow-temperature diagram gets a relative-value x axis with the
// default look.
void init_axis(Graph& graph);

}  // namespace app::diagrams
