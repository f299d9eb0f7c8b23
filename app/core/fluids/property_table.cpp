// The property table's text: information, separators, header, rows.
#include "app/core/fluids/property_table.h"

#include "app/core/fluids/composition.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/fluids/transport_values.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/program/text_output.h"
#include "library/library.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace app {

TableGrid table_grid;

namespace {

constexpr std::size_t NUM_VALUE_CELLS = 14;
constexpr std::size_t CELL_WIDTH = 14;
constexpr std::size_t STATE_WIDTH = 41;
constexpr double GAS_CONSTANT = 8.3144621;  // kJ/(kmol K)
// More grid values than anyone can wait for; keeps the counts finite.
constexpr double MAX_GRID_VALUES = 1e15;
const char* const UNDEFINED = "undefined";

const char* const HEADER[3][NUM_VALUE_CELLS + 1] = {
    {"Pressure", "Temperature", "Density", "Internal", "Enthalpy", "Entropy", "Isobaric",
     "Isochoric", "Speed of", "Real Gas", "Isentropic", "Dynamic", "Kinematic", "Thermal", "State"},
    {"", "", "", "Energy", "", "", "Heat Capacity", "Heat Capacity", "Sound", "Factor", "Exponent",
     "Viscosity", "Viscosity", "Conductivity", ""},
    {"", "", "rho [kg/m^3]", "u [kJ/kg]", "h [kJ/kg]", "s [kJ/(kg K)]", "cp [kJ/(kg K)]",
     "cv [kJ/(kg K)]", "a [m/s]", "Z [-]", "gamma [-]", "eta [uPa s]", "nue [mm^2 / s]",
     "k [W/(m K)]", ""},
};

int default_unit(int quantity) { return unitdef[sz(quantity)].default_unit; }
const char* default_symbol(int quantity) { return unit_symbol(quantity, default_unit(quantity)); }
double shown(int quantity, double value) {
    return to_display(quantity, default_unit(quantity), value);
}

// Room of a number in its cell: its 10 columns and two of the three blanks
// before them, so that a wider number keeps its last digit in line with the
// column's.
constexpr std::size_t NUMBER_ROOM = 12;

// A cell of a value with the given decimals ("|   %10.5f   " for one that
// fits in 10 characters). A wider one takes the blanks before it, and what
// is still too wide loses decimals, then goes into exponent form: the
// kinematic viscosity of air at 1 mbar and 1218.7 K, 172718.93965 mm^2/s,
// and the isentropic exponent of liquid propane-pentane at 1 mbar and 124 K,
// 25523193.461, pushed every later column of their rows to the right.
std::string number_cell(int decimals, double value) {
    std::string number = format_text("%.*f", decimals, value);
    while (number.size() > NUMBER_ROOM && decimals > 0)
        number = format_text("%.*f", --decimals, value);
    if (number.size() > NUMBER_ROOM) number = format_text("%.5e", value);
    return format_text("| %*s   ", static_cast<int>(NUMBER_ROOM), number.c_str());
}
std::string undefined_cell() { return format_text("|   %10s   ", UNDEFINED); }

std::size_t utf8_length(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

bool outside_limits(const Fluid& f, double T, double p) {
    return !(T >= f.Tmin && T <= f.Tmax && p >= f.pmin && p <= f.pmax);
}

// Which of the fluid's limits the state lies beyond.
std::string limit_reason(const Fluid& f, double T, double p) {
    if (!(T >= f.Tmin)) return "T below T min";
    if (!(T <= f.Tmax)) return "T above T max";
    if (!(p >= f.pmin)) return "p below p min";
    return "p above p max";
}

// Why the flash at (T, p) gives no state, in a few words for the state
// cell; the flash is asked again for its message (a failed row is rare).
// Of 58,700 rows of 37 user mixtures 5,100 failed inside the limits, every
// one said only "undefined": 50 % carbon dioxide in nitrogen at 122 K, where
// carbon dioxide freezes out, read as an unknown failure.
std::string flash_reason(const double* x, double T, double p) {
    double D = 0, Dl = 0, Dv = 0, xl[MAX_COMPONENTS] = {}, xv[MAX_COMPONENTS] = {}, q = 0, e = 0,
           h = 0, s = 0, cv = 0, cp = 0, w = 0;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(T, p, x, D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr, herr);
    if (ierr <= 0) return "no finite value";
    constexpr std::string_view FREEZES = " would freeze out";
    if (const std::size_t k = herr.find(FREEZES); k != std::string::npos) {
        const std::size_t start = herr.rfind(' ', k - 1);
        const std::size_t from = start == std::string::npos ? 0 : start + 1;
        return herr.substr(from, k - from) + " freezes out";
    }
    if (herr.find("melting pressure") != std::string::npos) return "above the melting line";
    if (herr.find("density above") != std::string::npos) return "density above the limit";
    if (herr.find("out of range") != std::string::npos) return "outside the equation's range";
    return format_text("TPFLSH error %d", ierr);
}

std::string header_line(const std::array<std::string, NUM_VALUE_CELLS + 1>& cells) {
    std::string out = "| " + pad_to_chars(cells[0], CELL_WIDTH) + " |";
    for (std::size_t c = 1; c < NUM_VALUE_CELLS; ++c)
        out += " " + pad_to_chars(cells[c], CELL_WIDTH) + " |";
    out += " " + pad_to_chars(cells[NUM_VALUE_CELLS], STATE_WIDTH) + " |\n";
    return out;
}

std::string info_value(int quantity, double value) {
    return format_text("%g %s", shown(quantity, value), default_symbol(quantity));
}

const char* const NONE = "-";

// Phases of a split at a mixture's critical point whose densities differ by
// more than this share of the critical density are two distinct phases, not
// the one phase a critical point has on both sides.
constexpr double DISTINCT_PHASES = 0.2;
// The (T, p) flash's refusal of a state where a component would freeze out.
constexpr int FLASH_SOLID = 250;

// Whether the critical point the library gives for the composition x
// (K, kPa, mol/L) can be one of the fluid: inside its limits, not refused
// by the (T, p) flash as solid, not split by it into distinct phases. The
// library also gives points where the composition is no one phase: 2 %
// water in carbon dioxide at 307.9 K and 77.0 bar, where water drops out
// (vapour fraction 0.982), and 3 % water in methane at 199.9 K and
// 55.1 bar, where water freezes out. A flash that does not converge there
// says nothing against the point (Dry ISO Air at 133.0 K and 38.7 bar:
// error 219).
bool critical_point_is_fluid(const Fluid& fluid, const double* x, double Tc, double pc, double Dc) {
    if (Tc < fluid.Tmin || Tc > fluid.Tmax || pc > fluid.pmax) return false;
    double D = 0, Dl = 0, Dv = 0, xl[MAX_COMPONENTS] = {}, xv[MAX_COMPONENTS] = {}, q = 0, e = 0,
           h = 0, s = 0, cv = 0, cp = 0, w = 0;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(Tc, pc, x, D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr, herr);
    if (ierr == FLASH_SOLID) return false;
    if (ierr > 0) return true;
    return !(q > 0 && q < 1) || std::fabs(Dl - Dv) <= DISTINCT_PHASES * Dc;
}

// A mixture's critical point and freezing limit in place of a pure fluid's
// (the critical-point routine's estimate and the first component's triple
// point say nothing about the mixture: 50 % carbon dioxide in nitrogen
// showed a critical temperature of 216.1 K below a "triple point" of
// 216.6 K and 212 bar).
void mixture_info(const Fluid& fluid, FluidInfo& info) {
    auto& t = info.texts;
    const double* x = info.x.data();
    info.critical_title = "Critical Point (mixture):";
    info.triple_title = "Freezing Limit (mixture):";
    double Tc = 0, pc = 0, Dc = 0;
    int ierr = 0;
    std::string herr;
    lib::CRTPNT(x, Tc, pc, Dc, ierr, herr);
    const bool given = ierr <= 0 && Tc > 0 && pc > 0 && Dc > 0;
    const bool found = given && critical_point_is_fluid(fluid, x, Tc, pc, Dc);
    t[INFO_TC] = found ? info_value(Q_TEMPERATURE, Tc) : NONE;
    t[INFO_PC] = found ? info_value(Q_PRESSURE, pc) : NONE;
    t[INFO_DC] = found ? info_value(Q_DENSITY, Dc * lib::WMOL(x)) : NONE;
    if (found) {
        info.Tc = Tc;
        info.pc = pc;
        info.Dc = Dc * lib::WMOL(x);
    }
    // The component that freezes first.
    double ttrp = 0;
    std::string name;
    for (int i = 0; i < fluid.az_components && i < MAX_COMPONENTS; ++i) {
        if (!(x[sz(i)] > 0)) continue;
        double wmm = 0, tt = 0, tnbp = 0, tc = 0, pc1 = 0, dc = 0, zc = 0, acf = 0, dip = 0,
               rgas = 0;
        lib::INFO(i + 1, wmm, tt, tnbp, tc, pc1, dc, zc, acf, dip, rgas);
        if (tt > ttrp) {
            ttrp = tt;
            std::string hnam, hn80, hcas;
            lib::NAME(i + 1, hnam, hn80, hcas);
            name = hnam.substr(0, hnam.find_last_not_of(' ') + 1);
        }
    }
    t[INFO_TTRP] = ttrp > 0 ? info_value(Q_TEMPERATURE, ttrp) : NONE;
    t[INFO_PTRP] = NONE;
    t[INFO_DTRP] = NONE;
    info.note =
        "Mixture: the critical point is that of this composition, where its bubble and "
        "dew lines meet" +
        std::string(found   ? ""
                    : given ? " (none: where the equations place one, at " +
                                  info_value(Q_TEMPERATURE, Tc) + " and " +
                                  info_value(Q_PRESSURE, pc) + ", it is not one fluid phase)"
                            : " (they do not meet: none)") +
        "; a mixture has no triple point: the freezing limit is the highest "
        "triple-point temperature of its components" +
        (name.empty() ? std::string() : " (" + name + ")") +
        ". Below it that component can freeze out where the mixture holds more of it "
        "than it dissolves; the equations describe no solid, and a state where it would "
        "is refused.";
}

// What the humidity of a humid fluid means for the information and the
// table: a fluid whose water content is given at each process's inlet
// (a water fraction or a relative humidity there) is shown as defined,
// without that water, for the table cannot know it; one with a reference
// humidity holds the water of that reference. "Humid Air (Relative
// Humidity)" showed the molar mass of dry air, 28.97 kg/kmol, and dry
// air's densities under its name without a word of it.
std::string humidity_note(const Fluid& fluid, const FluidInfo& info) {
    const int wp = fluid.water_pos;
    const double water =
        wp >= 0 && wp < std::min(fluid.az_components, MAX_COMPONENTS) ? info.x[sz(wp)] : 0.0;
    const std::string held = format_text("%.4g %% water (mole fraction)", 100.0 * water);
    switch (fluid.humidity_type) {
        case HT_WATER_FRACTION:
        case HT_RH_INLET:
            return "Humidity: this fluid takes its water from each process's inlet (" +
                   std::string(fluid.humidity_type == HT_RH_INLET ? "relative humidity"
                                                                  : "water fraction") +
                   " there); these values and the table are of the fluid as defined, " + held +
                   ", without that water.";
        case HT_RH_STANDARD:
            return format_text(
                       "Humidity: these values and the table hold the water of the reference "
                       "humidity, %g %% relative humidity at %s and %s: ",
                       100.0 * fluid.ref_hum_rh, info_value(Q_TEMPERATURE, fluid.ref_hum_T).c_str(),
                       info_value(Q_PRESSURE, fluid.ref_hum_p).c_str()) +
                   held + ".";
        default: return "";
    }
}

// A mixture's one-phase state named by the critical point the information
// shows, by the library's rule for a pure fluid: the library's own markers
// follow its estimate of a mixture's critical point (50 % carbon dioxide in
// nitrogen: 216.1 K and 58.5 bar, against the 234.7 K and 179.7 bar shown),
// which named the gas at 400 K and 100 bar "supercritical" and the liquid
// at 220 K and 300 bar too; 1,737 of 58,700 rows of 37 user mixtures
// contradicted the critical point above them. Other qualities, and rows of
// a fluid without such a point, stay as they are.
double one_phase_marker(const FluidInfo& info, double q, double T, double p, double rho) {
    const bool marker =
        q == lib::kQualityLiquid || q == lib::kQualityVapour || q == lib::kQualitySupercritical;
    if (!marker || !(info.Tc > 0 && info.pc > 0 && info.Dc > 0)) return q;
    if (p > info.pc) return T >= info.Tc ? lib::kQualitySupercritical : lib::kQualityLiquid;
    if (T >= info.Tc) return lib::kQualityVapour;
    return rho > info.Dc ? lib::kQualityLiquid : lib::kQualityVapour;
}

}  // namespace

std::string pad_to_chars(const std::string& text, std::size_t width) {
    const std::size_t n = utf8_length(text);
    return n >= width ? text : text + std::string(width - n, ' ');
}

std::int64_t grid_count(double min, double max, double step) {
    if (!(step >= 0.0) || !std::isfinite(min) || !std::isfinite(max) || !std::isfinite(step) ||
        max < min)
        return 0;
    if (step == 0.0) return 1;  // no stepping: the first value alone
    const double estimate = std::floor((max - min) / step);
    if (!(estimate < MAX_GRID_VALUES)) return static_cast<std::int64_t>(MAX_GRID_VALUES);
    // The loops test min + i * step <= max: count exactly those i.
    auto n = static_cast<std::int64_t>(estimate) + 1;
    while (min + static_cast<double>(n) * step <= max) ++n;
    while (n > 0 && min + static_cast<double>(n - 1) * step > max) --n;
    return n;
}

std::string table_separator() {
    std::string out = "+";
    for (std::size_t c = 0; c < NUM_VALUE_CELLS; ++c) out += std::string(16, '-') + "+";
    out += std::string(43, '-') + "+\n";
    return out;
}

std::string table_header() {
    std::string out;
    for (int line = 0; line < 3; ++line) {
        std::array<std::string, NUM_VALUE_CELLS + 1> cells;
        for (std::size_t c = 0; c < cells.size(); ++c) cells[c] = HEADER[line][c];
        if (line == 2) {
            cells[0] = format_text("p [%s]", default_symbol(Q_PRESSURE));
            cells[1] = format_text("T [%s]", default_symbol(Q_TEMPERATURE));
        }
        out += header_line(cells);
    }
    return out + table_separator();
}

std::string state_text(double q) {
    if (q < 0) return "subcooled (compressed) liquid";
    if (std::fabs(q) < 0.01) return "saturated liquid ";
    if (std::fabs(q - 1) < 0.01) return "saturated vapor ";
    if (q == lib::kQualityVapour) return "superheated vapor";
    if (q == lib::kQualitySupercritical) return "supercritical state";
    if (q <= 1) return "two-phase area";
    return "superheated vapor ";
}

int grid_decimals(double min, double step) {
    constexpr int FEWEST = 2, MOST = 9;
    int d = FEWEST;
    // The step and the first value written with d decimals must be exact
    // to a thousandth of the step's last digit.
    auto exact = [](double v, int decimals) {
        const double scaled = std::fabs(v) * std::pow(10.0, decimals);
        return std::fabs(scaled - std::round(scaled)) <= 1e-3 || !std::isfinite(scaled);
    };
    while (d < MOST && !(exact(step, d) && exact(min, d))) ++d;
    return d;
}

std::string table_row(const Fluid& fluid, const FluidInfo& info, double T, double p, int p_decimals,
                      int T_decimals) {
    const double* x = info.x.data();
    std::string out = number_cell(p_decimals, shown(Q_PRESSURE, p));
    out += number_cell(T_decimals, shown(Q_TEMPERATURE, T));
    double s = 0, h = 0, rho = 0, cp = 0, cv = 0, w = 0, e = 0, kappa = 0, Z = 0, q = 0;
    const bool inside = !outside_limits(fluid, T, p);
    bool ok = inside;
    if (ok) {
        double Tc = T, pc = p;
        ok = get_all_all_by_T_and_p(x, Tc, pc, s, h, rho, cp, cv, w, e, kappa, Z, q) <= 0;
        for (double v : {s, h, rho, cp, cv, w, e, kappa, Z, q}) ok = ok && std::isfinite(v);
    }
    if (ok) {
        // A two-phase state has no heat capacities, speed of sound or
        // isentropic exponent of its own: the flash marks them (humid air
        // at 280 K showed cp = -346559.40712 and a gamma of 1.24e9).
        const bool two_phase = q > 0 && q < 1;
        q = one_phase_marker(info, q, T, p, rho);
        const auto phase_cell = [&](int decimals, double v) {
            return two_phase ? undefined_cell() : number_cell(decimals, v);
        };
        out += number_cell(5, rho);
        for (double v : {e, h, s}) out += number_cell(3, v);
        for (double v : {cp, cv, w}) out += phase_cell(5, v);
        out += number_cell(5, Z);
        out += phase_cell(3, kappa);
        double eta = 0, nu = 0, lambda = 0;
        get_trnsp_by_T_and_p(x, T, p, eta, nu, lambda);
        for (double v : {eta, nu, lambda})
            out += is_transport_value(v) && std::isfinite(v) ? number_cell(5, v) : undefined_cell();
    } else {
        for (int c = 0; c < 12; ++c) out += undefined_cell();
    }
    // A failed row says why after "undefined", within the cell.
    const std::string state = ok ? state_text(q)
                                 : std::string(UNDEFINED) + ": " +
                                       (inside ? flash_reason(x, T, p) : limit_reason(fluid, T, p));
    out += "| " + pad_to_chars(state.substr(0, STATE_WIDTH), STATE_WIDTH + 1) + "|\n";
    return out;
}

std::string prepare_table(Fluid& fluid, FluidInfo& info) {
    info = FluidInfo{};
    if (init_stoffwerte(&fluid) == 0)
        return format_text("The fluid '%s' cannot be set up.", fluid.name.c_str());
    const std::string problem = humid_composition(fluid, info.x);
    if (!problem.empty()) return problem;
    const double M = lib::WMOL(info.x.data());
    if (!(M > 0.0) || !std::isfinite(M))
        return format_text("The fluid '%s' has no molar mass.", fluid.name.c_str());
    auto& t = info.texts;
    t[INFO_MOLAR_MASS] = format_text("%f kg/kmol", M);
    t[INFO_GAS_CONSTANT] = format_text("%f kJ/(kg K)", GAS_CONSTANT / M);
    t[INFO_TC] = info_value(Q_TEMPERATURE, fluid.Tc);
    t[INFO_PC] = info_value(Q_PRESSURE, fluid.pc);
    t[INFO_DC] = info_value(Q_DENSITY, fluid.Dc);
    t[INFO_TTRP] = info_value(Q_TEMPERATURE, fluid.Ttrp);
    t[INFO_PTRP] = info_value(Q_PRESSURE, fluid.ptrp);
    t[INFO_DTRP] = info_value(Q_DENSITY, fluid.Dtrp);
    t[INFO_TMIN] = info_value(Q_TEMPERATURE, fluid.Tmin);
    t[INFO_TMAX] = info_value(Q_TEMPERATURE, fluid.Tmax);
    t[INFO_PMIN] = info_value(Q_PRESSURE, fluid.pmin);
    t[INFO_PMAX] = info_value(Q_PRESSURE, fluid.pmax);
    if (fluid.az_components > 1) mixture_info(fluid, info);
    if (const std::string humid = humidity_note(fluid, info); !humid.empty())
        info.note += (info.note.empty() ? "" : " ") + humid;
    return "";
}

TableResult write_property_table(Fluid& fluid, const TableGrid& g, const TableSink& sink,
                                 const std::atomic<bool>& stop, const TableProgress& progress) {
    TableResult r;
    FluidInfo info;
    r.error = prepare_table(fluid, info);
    if (!r.error.empty()) return r;
    sink(table_separator() + table_header());
    // A mixture without transport values says why, in a line of the table's
    // width, once.
    const std::string note = transport_unavailable_reason(fluid, info.x.data());
    if (!note.empty()) sink("| " + pad_to_chars(note, 280) + "|\n" + table_separator());
    const std::int64_t nT = grid_count(g.T_min, g.T_max, g.T_step);
    const std::int64_t np = grid_count(g.p_min, g.p_max, g.p_step);
    // Both counts may be huge (a tiny step): the product is held to what
    // an int64 holds; the progress only needs the fraction.
    const std::int64_t total = np > 0 && nT > INT64_MAX / np ? INT64_MAX : nT * np;
    // Steps in the units shown: a step of 0.0001 bar shows four decimals.
    const int p_dec = grid_decimals(shown(Q_PRESSURE, g.p_min),
                                    shown(Q_PRESSURE, g.p_step) - shown(Q_PRESSURE, 0.0));
    const int T_dec = grid_decimals(shown(Q_TEMPERATURE, g.T_min),
                                    shown(Q_TEMPERATURE, g.T_step) - shown(Q_TEMPERATURE, 0.0));
    for (std::int64_t i = 0; i < nT; ++i) {
        if (stop.load()) {
            r.stopped = true;
            return r;
        }
        const double T = g.T_min + static_cast<double>(i) * g.T_step;
        for (std::int64_t j = 0; j < np; ++j) {
            const double p = g.p_min + static_cast<double>(j) * g.p_step;
            if (init_stoffwerte(&fluid) == 0) {
                r.error = format_text("The fluid '%s' cannot be set up.", fluid.name.c_str());
                return r;
            }
            sink(table_row(fluid, info, T, p, p_dec, T_dec));
            ++r.rows;
            if (progress) progress(r.rows, total);
            if (stop.load()) {
                r.stopped = true;
                return r;
            }
        }
        if (g.p_min <= g.p_max) sink(table_separator());
    }
    return r;
}

}  // namespace app
