// The isolines of a fluid: isobars, isotherms, density lines and, for
// fluids of one component, wetness lines and the two-phase dome, computed
// once per position and kept in the Fluid for every diagram that shows it.
// No window here: progress goes to a callback, which may let a window
// handle its events.
#pragma once

#include "app/core/model/records.h"

#include <functional>
#include <string>
#include <vector>

namespace app::diagrams {

// Progress of a computation. step() comes before each line with the
// fraction of lines started before it; an empty text keeps the last one.
class IsolineProgress {
public:
    virtual ~IsolineProgress() = default;
    virtual void begin() {}
    virtual void step(double fraction, const std::string& text) {
        (void)fraction;
        (void)text;
    }
    virtual void end() {}
};

// The progress reporter that drawings use (the window's; null: none).
extern IsolineProgress* isoline_progress;

// Computes the pending lines of the fluid (positions whose computed flag
// is clear) and, the first time, the dome; then sets the full ranges of the
// fluid's default axes. Returns the number of property calls made.
//
// Returns at once (computing nothing) when nothing is pending, when the
// property library is busy (library_busy > 0: a calculation runs, or this
// routine is running and the progress callback led back here), or when
// the library cannot be set up for the fluid. While it works it counts
// itself in library_busy and sets the fluid up again after each progress
// call.
long calc_isolines(Fluid& fluid, IsolineProgress* progress = nullptr);

// True while calc_isolines runs.
bool isolines_running();

// Number of lines calc_isolines would compute now.
int pending_isolines(const Fluid& fluid);

// For a fluid with relative humidity at standard values: saves the
// composition and replaces it by one that carries the humid share of water.
void relative_humidity_to_mol_proz(Fluid& fluid);
// Copies the saved composition back.
void mol_proz_restore(Fluid& fluid);

// The composition a fluid's lines are computed and read for, for the time
// of the object's life: a fluid with relative humidity at standard values
// carries its humid share of water (relative_humidity_to_mol_proz) and the
// limits of the equations for that composition, as its processes carry
// the water; both are given back at the end. Other fluids are left as they
// are. (With the dry composition the pointer on Humid ISO Air's 0.05 bar
// isobar read 0.043 bar, on its 250 K isotherm 253.57 K in the h-s
// diagram.)
class LineComposition {
public:
    explicit LineComposition(Fluid& fluid);
    ~LineComposition();
    LineComposition(const LineComposition&) = delete;
    LineComposition& operator=(const LineComposition&) = delete;

private:
    Fluid& fluid_;
    bool humid_;
    double Tmin_ = 0, Tmax_ = 0, pmax_ = 0, Dmax_ = 0;  // the fluid's own limits
};

// Order of sorted insertion: -1 when a is denser than b, else 1.
int sort_by_rho(const IsoPoint& a, const IsoPoint& b);

// The refinement walk of one line (isoline_walk.cpp).
struct WalkSettings {
    int step_var = 0;   // IsoPoint field the midpoint is taken in: 2 p, 3 T
    int shape_var = 0;  // field whose slope against s decides: 1 h, 2 p, 3 T
    double step_limit = 0;
    double slope_limit = 0;
    int liquid = -1;  // index of the saturated-liquid point L in the list, -1 none
    int vapour = -1;  // index of the saturated-vapour point V, -1 none
    // A mixture's line bends at its dew and bubble points, which are no
    // points of it, and all along the stretch where a component condenses:
    // segments far apart in pressure, and segments of a line stepped in
    // temperature wider than twice the step limit, are looked at for bends
    // however short a part of the line they are.
    bool mixture = false;
};
// Computes the point of the line at a value of its step variable; false
// when the call fails or the point does not count.
using MidpointFn = std::function<bool(double value, IsoPoint& point)>;
void refine_line(std::vector<IsoPoint>& line, const WalkSettings& settings,
                 const MidpointFn& midpoint);

// Largest number of points of one line; the walk stops adding there.
inline constexpr std::size_t MAX_LINE_POINTS = 20000;
// Jumps of one walk from the saturated liquid to the saturated vapour.
inline constexpr int MAX_WALK_JUMPS = 10;

}  // namespace app::diagrams
