// What a new diagram holds before it is first drawn: a property diagram of
// one working fluid with the processes of that fluid as curves, or the
// heat-flow-temperature (QT) diagram of a converged interface.
#pragma once

#include "app/core/model/records.h"
#include "app/diagrams/isolines.h"

#include <array>
#include <string>
#include <vector>

namespace app::diagrams {

// The plot types of a property diagram, by type number.
inline constexpr std::array<const char*, 5> GRAPH_TYPE_NAMES = {
    "h-s Diagram", "p-s Diagram", "T-s Diagram", "p-h Diagram", "p-T Diagram"};
inline constexpr int DEFAULT_GRAPH_TYPE = 2;  // T-s
inline constexpr int PT_GRAPH_TYPE = 4;       // shows every process
inline constexpr int QT_GRAPH_TYPE = 5;

// Line style of a process whose composition changes on its way (solid,
// dashed where the composition differs from the inlet's).
inline constexpr int COMPOSITION_CHANGE_LINE_STYLE = 9;

// The working fluids of the project's processes in process order, each
// once.
std::vector<Fluid*> project_fluids(const Project& project);

// The default curve style; line style 9 for a process that holds a
// combustor, an oxygen injection combustor or a water separator.
CurveStyle curve_style_for(const Process& process);

// A new diagram, or why none was made; `note` tells what was left out of a
// diagram that was made (empty when nothing).
struct NewGraph {
    Graph* graph = nullptr;
    std::string refusal;
    std::string note;
};

// A property diagram of `fluid` of plot type 0-4 appended to the project's
// diagram slots: named "<type> <fluid>", every process of the fluid (every
// process for p-T) as a curve, the isoline settings, the fluid's isolines
// computed (with the progress reporter), the axes from the fluid's
// defaults. Refused when every slot is taken or the arguments are bad.
NewGraph new_property_graph(Project& project, Fluid* fluid, int type,
                            IsolineProgress* progress = nullptr);

// The QT diagram of a converged interface: "QT-diagram <interface>", the
// first process's fluid, no isolines, the axes of set_qt_axes. Refused for
// an interface that has not converged, a project without processes, or
// when every slot is taken.
NewGraph new_qt_graph(Project& project, Interface& interface);

// The axes of a QT diagram: y up to 1.1 times the larger of the hot side's
// first two step temperatures (full range and end), from 0 (0.15 when
// temperatures show in the second unit by default), step 100; x from 0 to
// 1 (full range and shown), step 0.1, "Relative Transferred Heat". The y
// range stays when the hot side has no usable temperatures.
void set_qt_axes(Graph& graph, const Part* hot);

}  // namespace app::diagrams
