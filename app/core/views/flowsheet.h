// The flowsheet ("Overview") without a display: where every part and
// interface of a project goes on the sheet (the layout), how big the sheet
// is, what a press at a point hits, which context commands the selection
// enables, and the zoom steps. The window (app/gui) and the drawing
// (app/diagrams) use these; tests call them without a display.
//
// Geometry, in units of the sheet's cell_size c: the column pitch is
// 2 + show_tp + 1.5 show_cross1 + 1.5 show_cross2; a part in column k has
// its left edge at (pitch k + 0.5) c; the row pitch is 5 with a row offset
// of 2.7 when names or a result cross are shown (room above the symbols),
// else 3 and 0.7; a part or interface in row r has its top edge at
// (row_pos[r] pitch + offset) c.
#pragma once

#include "app/core/model/records.h"

#include <functional>
#include <string>

namespace app {

// ---------------------------------------------------------------------------
// Geometry (flowsheet_layout.cpp)
// ---------------------------------------------------------------------------

// True when the rows leave room above the symbols: names or a result cross.
bool tall_rows(const Graph& sheet);
double column_pitch(const Graph& sheet);
double row_pitch(const Graph& sheet);
double row_offset(const Graph& sheet);
// Top edge of row r in unzoomed pixels (rows beyond the row positions
// continue one pitch apart).
double row_y(const Graph& sheet, int row);
// Left and top edge of a part in unzoomed pixels.
double part_x(const Graph& sheet, const Part& part);
double part_y(const Graph& sheet, const Part& part);

// ---------------------------------------------------------------------------
// Layout (flowsheet_layout.cpp)
// ---------------------------------------------------------------------------

// Rows of a new layout's row positions; the layout grows them as it needs.
inline constexpr int INITIAL_ROWS = 100;
// Attempts of the overlap removal of one process.
inline constexpr int OVERLAP_ATTEMPTS = 20;

// Columns and rows of every part, the row of every interface, the row
// positions, n_cols and n_rows, from the links alone (nothing of an
// earlier layout is kept), and the place of every interface symbol
// (icon_x, icon_y: between its two heat exchangers, in its row). The size
// is sheet_size's.
void layout_flowsheet(Project& project, Graph& sheet);

// Moves the part one row down with everything that hangs after it: its
// successor on inlet 0 (recursively) and a splitter's second branch up to
// a mixer. Every walk ends after as many steps as the process has parts.
void pushdown(Project& project, const Process& process, Part& part);

// The part with this id when it belongs to the process, else null (links
// that lead out of their process are not followed).
Part* part_of_process(const Project& project, const Process& process, int id);

// The two heat exchangers of an interface in drawing order: the hot side
// first, unless the cold side's process comes first in the project or the
// cold side lies in a row above. Null when a side is not found.
struct InterfaceEnds {
    const Part* first = nullptr;
    const Part* second = nullptr;
};
InterfaceEnds interface_ends(const Project& project, const Interface& itf);

// Size of the sheet in unzoomed pixels (single precision, as the window
// uses it), at least the visible area: visible width and height are the
// drawing area's allocation in zoomed pixels (0 for none).
struct SheetSize {
    double width = 0.0;
    double height = 0.0;
};
SheetSize sheet_size(const Graph& sheet, double visible_width, double visible_height);

// ---------------------------------------------------------------------------
// Presses (flowsheet_hits.cpp)
// ---------------------------------------------------------------------------

// Size in pixels of a part name laid out as the drawing lays it out
// (wrapped at `wrap_width` pixels), before it is turned upright.
using NameMeasure =
    std::function<void(const std::string& text, double wrap_width, int& width, int& height)>;

// The part under (x, y), unzoomed sheet pixels: the symbol, or its upright
// name when names are shown (measured by `measure`; no name is hit without
// one). A hit in a later process wins. -1 and -1 when none.
struct SheetHit {
    int process = -1;
    int part = -1;
};
SheetHit hit_part(const Project& project, const Graph& sheet, double x, double y,
                  const NameMeasure& measure);
// Index of the first interface whose symbol holds (x, y), or -1.
int hit_interface(const Project& project, const Graph& sheet, double x, double y);

// The context commands the current element enables.
struct ContextButtons {
    bool delete_part = false;  // Delete (a part, or the current interface)
    bool connect_to_outlet = false;
    bool move_left = false;
    bool move_right = false;
    bool create_interface = false;
    bool create_qt = false;
};
ContextButtons context_buttons(const Project& project);

// ---------------------------------------------------------------------------
// Zoom (flowsheet_hits.cpp)
// ---------------------------------------------------------------------------

// The sheet's zoom counts whole tenths from 0.5 to 2.0.
inline constexpr int ZOOM_MIN_TENTHS = 5;
inline constexpr int ZOOM_MAX_TENTHS = 20;
// The zoom after one step in (+1) or out (-1); unchanged at a limit.
double zoom_step(double zoom, int direction);

}  // namespace app
