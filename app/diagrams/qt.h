// The heat-flow-temperature (QT) diagram of an interface: both streams
// over the relative transferred heat, and where the cold stream starts to
// boil or becomes superheated vapour, with the pinch point.
#pragma once

#include "app/core/model/records.h"

#include <functional>
#include <vector>

namespace app::diagrams {

// A phase change of the cold stream.
struct QtMark {
    bool boiling = true;  // true: starts to boil; false: becomes superheated vapour
    double x = 0;         // relative transferred heat, 0..1
    double T = 0;         // saturation temperature there, K
    bool pinch = false;   // a boiling point closer to the hot stream than both ends
    double T_hot = 0;     // the hot stream's temperature there, K (pinch only)
};

// The saturation temperature at pressure p and quality q (0 or 1); false
// when it cannot be computed.
using SaturationFn = std::function<bool(double p, double q, double& T)>;

// The marks of the cold stream, found between its steps 1 and 2 onward: a
// step pair whose quality passes 0 (boiling) or 1 (superheating). The
// saturation temperature comes from `saturation` at the pair's mean
// pressure; a mark without one, or with a value that is not finite, is
// left out. Nothing when either stream transfers no heat. `efficiency` is
// the interface's heat transfer efficiency (1 when not a positive number).
std::vector<QtMark> qt_marks(const Part& hot, const Part& cold, double efficiency,
                             const SaturationFn& saturation);

// The hot and cold part of the Graph's interface when both are finished;
// false otherwise.
bool qt_parts(const Graph& graph, const Part*& hot, const Part*& cold);

}  // namespace app::diagrams
