// The property table as text: a fluid's properties over a grid of
// pressures and temperatures in fixed-width columns, and the fluid's
// molar mass, gas constant, critical point, triple point and limits above
// it. The window (app/fluids) shows what these functions write; it passes
// the sink that takes the text, the stop flag and the progress report.
#pragma once

#include "app/core/model/records.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace app {

// The grid, K and kPa: kept for the whole run of the program and shared by
// every opening of the window.
struct TableGrid {
    double p_min = 100.0;
    double p_max = 10000.0;
    double p_step = 100.0;
    double T_min = 350.0;
    double T_max = 450.0;
    double T_step = 100.0;
};
extern TableGrid table_grid;

// The texts of the fluid information, in this order.
enum InfoField : int {
    INFO_MOLAR_MASS = 0,
    INFO_GAS_CONSTANT,
    INFO_TC,
    INFO_PC,
    INFO_DC,
    INFO_TTRP,
    INFO_PTRP,
    INFO_DTRP,
    INFO_TMIN,
    INFO_TMAX,
    INFO_PMIN,
    INFO_PMAX,
    NUM_INFO_FIELDS
};

struct FluidInfo {
    std::array<std::string, NUM_INFO_FIELDS> texts;
    // The titles of the critical-point and triple-point rows, and what they
    // mean for a mixture (empty for a pure fluid).  A mixture's critical
    // point is that of its composition, where its bubble and dew lines meet
    // (none shown where they do not meet); a mixture has no triple point:
    // the row shows the highest triple-point temperature of its components,
    // below which that one can freeze out where the mixture holds more of it
    // than it dissolves (the flashes refuse such a state).
    std::string critical_title = "Critical Point:";
    std::string triple_title = "Tripple Point:";
    std::string note;
    // The composition of the table: the fluid's own, or for relative
    // humidity at standard values the one with the humid share of water.
    std::array<double, MAX_COMPONENTS> x{};
    // A mixture's critical point as shown (K, kPa, kg/m3; 0 when none is
    // shown): its one-phase rows are named by it.
    double Tc = 0.0, pc = 0.0, Dc = 0.0;
};

// Sets the library up for the fluid and fills the information texts and the
// table's composition. Returns "" or why no table can be made (the set-up
// fails, water has no saturation pressure at the reference temperature, the
// humidity asks for more water than the whole mixture).
std::string prepare_table(Fluid& fluid, FluidInfo& info);

// Number of grid values min, min + step, ... up to max (1 for a step of 0:
// min alone; 0 for a negative step, or max < min).
std::int64_t grid_count(double min, double max, double step);

// The separator line ("+", 14 cells of 16 "-" and "+", 43 "-" and "+", a
// line end: 283 characters before it).
std::string table_separator();
// The three header lines in the default units, then the separator.
std::string table_header();
// The state text of a quality (the phase of a row).
std::string state_text(double q);
// A text padded with blanks to `width` characters (not bytes).
std::string pad_to_chars(const std::string& text, std::size_t width);

// Decimals of the grid values min, min + step, ... (as shown) that tell
// every row from the next: at least 2, at most 9.
int grid_decimals(double min, double step);

// One row at (T, p), K and kPa, for the fluid the library holds, with the
// composition of the information (prepare_table); pressure and temperature
// shown with the decimals given.
std::string table_row(const Fluid& fluid, const FluidInfo& info, double T, double p,
                      int p_decimals = 2, int T_decimals = 2);

// Receivers of the text and of progress (rows done, rows in all).
using TableSink = std::function<void(const std::string& text)>;
using TableProgress = std::function<void(std::int64_t done, std::int64_t total)>;

struct TableResult {
    std::int64_t rows = 0;  // rows written
    bool stopped = false;   // the stop flag ended it
    std::string error;      // why it ended early or never began ("" when it did not)
};

// The whole table: separator and header, then per temperature the rows of
// every pressure and a separator. The text goes to the sink one row at a
// time. The stop flag is read before each temperature's first row and after
// each row; the fluid is set up again before each row (the progress call
// may have let other code use the library).
TableResult write_property_table(Fluid& fluid, const TableGrid& grid, const TableSink& sink,
                                 const std::atomic<bool>& stop, const TableProgress& progress);

}  // namespace app
