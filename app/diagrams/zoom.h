// The visible ranges of a diagram's axes, changed without any window: the
// presets (full range, default view, fit to the processes, automatic tick
// steps), the zoom rectangle, dragging and the mouse wheel. Pixels are
// those of the Graph's last drawing (size and margins); the y axis maps
// logarithmically when it shows a pressure.
//
// Every change keeps an axis drawable: a result whose start is not below
// its end, that is not finite, or that starts at or below zero on a
// logarithmic axis is not taken (the function returns false and the axis
// stays as it was).
#pragma once

#include "app/core/model/records.h"

#include <cstdint>

namespace app::diagrams {

// Both axes from their full-range minimum to maximum.
void maxrange(Graph& graph);

// Diagram types 0 to 4: each axis takes start and end from the fluid's
// default axis of the same quantity; the QT diagram (type 5) as maxrange.
void zoomdefault(Graph& graph);

// Widens the axes (whole tick steps, whole decades for the start of a
// logarithmic axis) until every step point of every drawn part of the
// diagram's curves lies inside: what a drawing in zoom-to-plot mode does.
// True when an axis moved.
bool fit_axes_to_processes(Graph& graph);

// The automatic tick step of a range R: doubled while R / step > 10, then
// halved while R / step < 5. False (step unchanged) when R or the step is
// not a finite number above zero.
bool auto_step(double range, double& step);
// auto_step for each axis that does not show a pressure (those keep their
// steps). True when a step changed.
bool auto_axis(Graph& graph);

// The zoom rectangle between two pixel corners (any order): x from the
// left to the right corner, y from the lower to the upper one. Ignored
// (false) when the rectangle has no width or no height.
bool zoom_rectangle(Graph& graph, double x1, double y1, double x2, double y2);

// Smallest pointer movement of a drag that moves the diagram, pixels.
inline constexpr int DRAG_THRESHOLD = 3;

// A drag step from the last pointer position (old) to the new one: the
// differences old - new, each cut to a whole number towards zero; moves
// when either is at least DRAG_THRESHOLD in size.
struct DragStep {
    int dx = 0;
    int dy = 0;
    bool moves = false;
};
DragStep drag_step(double old_x, double old_y, double x, double y);

// Shifts the visible ranges by (dx, dy) pixels so that the content
// follows the pointer. False when nothing moved.
bool drag_ranges(Graph& graph, int dx, int dy);

// Wheel events closer than this to the last accepted one are ignored, ms.
inline constexpr std::uint32_t WHEEL_INTERVAL_MS = 50;

// The time rule of the wheel on the events' time stamps (ms, wrapping).
class WheelGate {
public:
    // True (and the time kept) when no event was accepted yet or more than
    // WHEEL_INTERVAL_MS passed since the last accepted one.
    bool accept(std::uint32_t time_ms);

private:
    bool any_ = false;
    std::uint32_t last_ = 0;
};

enum class WheelDirection { Up, Down, Other };

// Fraction of its distance to the pointer that an edge keeps on wheel up.
inline constexpr double WHEEL_IN_FACTOR = 0.9;
// Wheel down moves each edge out by (plot size) / WHEEL_OUT_DIVISOR.
inline constexpr double WHEEL_OUT_DIVISOR = 15.5;
// Wheel up stops at this fraction of the full x range.
inline constexpr double WHEEL_SMALLEST_RANGE = 1.0 / 100000.0;

// Wheel up zooms in about the pointer (px, py), wheel down out about the
// plot's centre. False when nothing changed.
bool wheel_zoom(Graph& graph, WheelDirection direction, double px, double py);

}  // namespace app::diagrams
