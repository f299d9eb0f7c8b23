// Room app/core/model: the application's model. The records (this file),
// their life cycle (create_delete.h), the start-up tables of part types,
// values and options (init.h), the unit table with the value parser and
// formatter (units.h) and small shared helpers (tools.h). The bottom room of
// the core: it includes only library/library.h and the standard library.
//
// Records of the application half: projects, processes, parts, interfaces,
// diagrams, working fluids, and the rows of the unit, value, option and
// part-type tables; with the global lists and pointers that reach them.
//
// Values are stored in internal units (K, kPa, kW, kg/s, kJ/kg, kJ/(kg K),
// kg/m3, fractions); each value is paired with the index of the unit it is
// shown in, among the units of its quantity in `unitdef` (units.h).
//
// Every record is created by its create_<record> function and released by
// free_<record> (create_delete.h); the default member values below are the
// zeroed state, the constructors set the documented defaults. Widget and
// drawing-surface fields belong to the GUI and are not part of these records.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// ---------------------------------------------------------------------------
// Limits that files or users can see
// ---------------------------------------------------------------------------

inline constexpr int MAX_PROJECTS = 20;    // project_list slots; at most 19 open at once
inline constexpr int MAX_PROCESSES = 150;  // processes of a project
inline constexpr int MAX_INTERFACES = 10;  // interfaces of a project
inline constexpr int MAX_GRAPHS = 50;      // graph slots of a project (slot 0 the flowsheet)
inline constexpr int MAX_PARTS = 52;       // parts of a process (part 0 the Inlet)
inline constexpr int MAX_CURVES = 50;      // process curves of a diagram
inline constexpr int MAX_COMPONENTS = 20;  // components of a fluid (the library's limit)
inline constexpr int MAX_FLUIDS = 241;     // places of `fluids`: 41 built-in + 200 user fluids
inline constexpr int NUM_BUILTIN_FLUIDS = 41;
inline constexpr int MAX_STEPS = 200;  // step arrays hold the points 0..MAX_STEPS
inline constexpr int STEP_POINTS = MAX_STEPS + 1;
inline constexpr int PART_TABLE_START = 10000;  // part-table slots of a new project
inline constexpr int MAX_PART_ID = 1280000;  // ids above this are refused (10000 doubled 7 times)
inline constexpr std::size_t LOG_SIZE = 1000000;  // characters of each project log, with its end
inline constexpr int SCREEN_CACHE_SIZE = 1021;    // screen-point entries of a diagram
inline constexpr int SCREEN_CACHE_POINTS = 202;   // pixel points of one screen-point entry
inline constexpr int DOME_SLOTS = 220;            // slots of each side of the two-phase dome
inline constexpr int DOME_POINTS = 211;           // slots used once the dome is computed
inline constexpr int NUM_ISO_FAMILIES = 4;
inline constexpr std::size_t FLUID_NAME_MAX = 129;        // characters of a fluid name
inline constexpr std::size_t FLUID_COMPONENTS_MAX = 199;  // characters of a component list
inline constexpr std::size_t AXIS_LABEL_MAX = 55;         // characters of an axis label

// Sizes of the value and option tables (rows of init.h).
inline constexpr int NUM_QUANTITIES = 16;
inline constexpr int MAX_UNITS = 10;       // units of one quantity
inline constexpr int MAX_UNIT_NAMES = 10;  // symbol and aliases of one unit
inline constexpr int NUM_PART_TYPES = 16;
inline constexpr int NUM_PART_OPTIONS = 14;
inline constexpr int NUM_PART_INPUTS = 20;
inline constexpr int NUM_PART_OUTPUTS = 52;
inline constexpr int NUM_PROCESS_INPUTS = 5;
inline constexpr int NUM_PROCESS_OUTPUTS = 13;
inline constexpr int NUM_PROJECT_OUTPUTS = 8;
inline constexpr int NUM_INTERFACE_INPUTS = 9;
inline constexpr int NUM_INTERFACE_OUTPUTS = 4;
inline constexpr int NUM_INTERFACE_OPTIONS = 3;
inline constexpr int MAX_CHOICES = 7;  // choices of one option

// ---------------------------------------------------------------------------
// Codes
// ---------------------------------------------------------------------------

// Quantities: the rows of `unitdef`.
enum Quantity : int {
    Q_TEMPERATURE = 0,
    Q_PRESSURE = 1,
    Q_POWER = 2,
    Q_MASSFLOW = 3,
    Q_DENSITY = 4,
    Q_SPECIFIC_ENERGY = 5,
    Q_RELATIVE_VALUE = 6,
    Q_ENTROPY = 7,
    Q_RATIO_GT1 = 8,
    Q_RATIO_LT1 = 9,
    Q_LEAKAGE = 10,
    Q_RELATIVE_CHANGE = 11,
    Q_TEMPERATURE_DIFFERENCE = 12,
    Q_SPECIFIC_HEAT_FLUX_COOLING = 13,
    Q_VOLUME_FLOW = 14,
    Q_SPECIFIC_VOLUME = 15,
};

// Part type codes: the rows of `part_types`. PLACEHOLDER_PART asks
// create_part for a file reader's part (no id, no name).
enum PartTypeCode : int {
    COMPRESSOR = 0,
    PUMP = 1,
    EXPANDER = 2,
    TURBINE = 3,
    COMBUSTOR = 4,
    OXYGEN_INJECTION_COMBUSTOR = 5,
    INTERCOOLER = 6,
    HEAT_EXCHANGER = 7,
    CONDENSER = 8,
    PIPELINE = 9,
    PRESSURE_LOSS_ELEMENT = 10,
    INLET = 11,
    OUTLET = 12,
    MIXER = 13,
    SPLITTER = 14,
    WATER_SEPARATOR = 15,
    PLACEHOLDER_PART = 16,
};

// State of a part.
enum PartState : int {
    PS_PENDING = 0,
    PS_FINISHED = 1,
    PS_PROVISIONAL = 2,
    PS_NEW = 4,
    PS_FAILED = 5,
    PS_INTERFACE_ITERATING = 7,
    PS_SEED_TEMPERATURE = 8,
    PS_SEED_HEAT_FLUX = 9,
    PS_SEED_TEMPERATURE_DIFFERENCE = 10,
};

// Status of an interface.
enum InterfaceStatus : int { IS_PENDING = 0, IS_CONVERGED = 1, IS_FAILED = 5, IS_ITERATING = 7 };

// Calculation status of a project.
enum CalcStatus : int { CS_RUNNING = 0, CS_FINISHED = 1, CS_FAILED = 5, CS_CANCEL = 11 };

// Kind of a Graph.
enum GraphKind : int { GK_FLOWSHEET = 1, GK_DIAGRAM = 2 };

// Humidity kind of a fluid.
enum HumidityType : int {
    HT_DRY = 0,
    HT_WATER_FRACTION = 1,
    HT_RH_STANDARD = 2,
    HT_RH_INLET = 3,
    HT_GENERAL = 4,
};

// Fluid-menu groups (index of FLUID_TYPE_NAMES, init.h).
enum FluidGroup : int {
    FG_PURE = 0,
    FG_INERT = 1,
    FG_ALKANES = 2,
    FG_REFRIGERANTS = 3,
    FG_MIXTURES = 4,
    FG_USER = 5,
};

// Rows of part_input_options (the options of a part).
enum PartOption : int {
    OPT_EXPANSION = 0,
    OPT_COMPRESSION = 1,
    OPT_EFFICIENCY = 2,
    OPT_PRESSURE_LOSS = 3,
    OPT_LEAKAGE = 4,
    OPT_OUTLET_TEMPERATURE = 5,
    OPT_MASS_DISTRIBUTION = 6,
    OPT_CALCULATION_MODE = 7,
    OPT_EFFICIENCY_CALCULATION = 8,
    OPT_FUEL_TEMPERATURE = 9,
    OPT_FUEL_PRESSURE = 10,
    OPT_OXIDIZER_TEMPERATURE = 11,
    OPT_OXIDIZER_PRESSURE = 12,
    OPT_COMBUSTION_EFFICIENCY = 13,
};

// Rows of part_input_values_def (the inputs of a part).
enum PartInput : int {
    PI_OUTLET_PRESSURE = 0,
    PI_PRESSURE_RATIO_OUT_IN = 1,
    PI_PRESSURE_RATIO_IN_OUT = 2,
    PI_PRESSURE_RATIO_OUT_IN_LT1 = 3,
    PI_ISENTROPIC_EFFICIENCY = 4,
    PI_POLYTROPIC_EFFICIENCY = 5,
    PI_SPECIFIC_HEAT_FLUX = 6,
    PI_OUTLET_TEMPERATURE = 7,
    PI_RELATIVE_PRESSURE_LOSS = 8,
    PI_ABSOLUTE_PRESSURE_LOSS = 9,
    PI_ABSOLUTE_LEAKAGE = 10,
    PI_RELATIVE_LEAKAGE = 11,
    PI_RELATIVE_MASS_OUTLET2 = 12,
    PI_ABSOLUTE_MASS_OUTLET2 = 13,
    PI_FIXED_FUEL_MASSFLOW = 14,
    PI_COMBUSTION_EFFICIENCY = 15,
    PI_FUEL_TEMPERATURE = 16,
    PI_FUEL_PRESSURE = 17,
    PI_OXIDIZER_TEMPERATURE = 18,
    PI_OXIDIZER_PRESSURE = 19,
};

// Rows of part_output_values_def (the results of a part). Rows 16-29 are
// the second stream (mixer inlet 2, splitter outlet 2), in the same order
// as rows 0-15 without the humidity pair.
enum PartOutput : int {
    PO_INLET_TEMPERATURE = 0,
    PO_OUTLET_TEMPERATURE = 1,
    PO_INLET_PRESSURE = 2,
    PO_OUTLET_PRESSURE = 3,
    PO_INLET_ENTHALPY = 4,
    PO_OUTLET_ENTHALPY = 5,
    PO_INLET_ENTROPY = 6,
    PO_OUTLET_ENTROPY = 7,
    PO_INLET_DENSITY = 8,
    PO_OUTLET_DENSITY = 9,
    PO_INLET_HUMIDITY = 10,
    PO_OUTLET_HUMIDITY = 11,
    PO_INLET_MASSFLOW = 12,
    PO_OUTLET_MASSFLOW = 13,
    PO_INLET_WETNESS = 14,
    PO_OUTLET_WETNESS = 15,
    PO_2_INLET_TEMPERATURE = 16,
    PO_2_OUTLET_TEMPERATURE = 17,
    PO_2_INLET_PRESSURE = 18,
    PO_2_OUTLET_PRESSURE = 19,
    PO_2_INLET_ENTHALPY = 20,
    PO_2_OUTLET_ENTHALPY = 21,
    PO_2_INLET_ENTROPY = 22,
    PO_2_OUTLET_ENTROPY = 23,
    PO_2_INLET_DENSITY = 24,
    PO_2_OUTLET_DENSITY = 25,
    PO_2_INLET_MASSFLOW = 26,
    PO_2_OUTLET_MASSFLOW = 27,
    PO_2_INLET_WETNESS = 28,
    PO_2_OUTLET_WETNESS = 29,
    PO_LEAKAGE = 30,
    PO_SPECIFIC_HEAT_FLUX = 31,
    PO_HEAT = 32,
    PO_SPECIFIC_HEAD = 33,
    PO_SPECIFIC_WORK = 34,
    PO_ISENTROPIC_ENTHALPY_DIFF = 35,
    PO_POWER = 36,
    PO_ISENTROPIC_EFFICIENCY = 37,
    PO_POLYTROPIC_EFFICIENCY = 38,
    PO_INLET_LIQUID_WATER = 39,
    PO_OUTLET_LIQUID_WATER = 40,
    PO_2_INLET_LIQUID_WATER = 41,
    PO_2_OUTLET_LIQUID_WATER = 42,
    PO_SPECIFIC_CONDENSATION_HEAT = 43,
    PO_CONDENSATION_HEAT = 44,
    PO_THERMAL_POWER = 45,
    PO_LAMBDA = 46,
    PO_FUEL_MASSFLOW = 47,
    PO_OXIDIZER_MASSFLOW = 48,
    PO_LIQUID_WATER_OUT = 49,
    PO_NET_HEATING_VALUE = 50,
    PO_GROSS_HEATING_VALUE = 51,
};

// Rows of process_input_values_def (the inlet values of a process).
enum ProcessInput : int {
    PRI_TEMPERATURE = 0,
    PRI_PRESSURE = 1,
    PRI_MASSFLOW = 2,
    PRI_STANDARD_VOLUME_FLOW = 3,
    PRI_HUMIDITY = 4,
};

// Rows of process_output_values_def (the results of a process).
enum ProcessOutput : int {
    PRO_SPECIFIC_WORK = 0,
    PRO_POWER = 1,
    PRO_POWER_IN = 2,
    PRO_POWER_OUT = 3,
    PRO_SPECIFIC_HEAT_FLUX = 4,
    PRO_HEAT_FLUX = 5,
    PRO_HEAT_IN = 6,
    PRO_HEAT_OUT = 7,
    PRO_SPECIFIC_HEAD = 8,
    PRO_LEAKAGE = 9,
    PRO_THERMAL_POWER = 10,
    PRO_LIQUID_WATER_OUT = 11,
    PRO_EFFICIENCY = 12,
};

// Rows of project_output_values_def (the project totals).
enum ProjectOutput : int {
    TOT_POWER_IN = 0,
    TOT_POWER_OUT = 1,
    TOT_POWER = 2,
    TOT_HEAT_IN = 3,
    TOT_HEAT_OUT = 4,
    TOT_HEAT = 5,
    TOT_THERMAL_POWER = 6,
    TOT_EFFICIENCY = 7,
};

// Rows of interface_input_values_def.
enum InterfaceInput : int {
    II_SPECIFIC_HEAT_FLUX_HOT = 0,
    II_OUTLET_TEMPERATURE_HOT = 1,
    II_OUTLET_TEMPERATURE_COLD = 2,
    II_EFFECTIVENESS = 3,
    II_HEAT_TRANSFER_EFFICIENCY = 4,
    II_MINIMUM_DELTA_TEMPERATURE = 5,
    II_INITIAL_TEMPERATURE_DIFFERENCE = 6,
    II_INITIAL_TEMPERATURE = 7,
    II_INITIAL_HEAT_FLUX = 8,
};

// Rows of interface_output_values_def.
enum InterfaceOutput : int {
    IO_SPECIFIC_HEAT_FLUX_HOT = 0,
    IO_OUTLET_TEMPERATURE_HOT = 1,
    IO_OUTLET_TEMPERATURE_COLD = 2,
    IO_EFFECTIVENESS = 3,
};

// Rows of interface_options.
enum InterfaceOption : int {
    IOPT_CALCULATION_MODE = 0,
    IOPT_INITIALIZATION_MODE = 1,
    IOPT_DOMINANT_SIDE = 2,
};

// Isoline families, in this order everywhere.
enum IsoFamilyCode : int { ISO_ISOBAR = 0, ISO_ISOTHERM = 1, ISO_ISOCHOR = 2, ISO_WETNESS = 3 };

// Axis quantities: which default axis of a Fluid and which IsoPoint field.
enum AxisQuantity : int { AX_S = 0, AX_H = 1, AX_P = 2, AX_T = 3, AX_HEAT_FLOW = 6 };

// ---------------------------------------------------------------------------
// Fields shared by the calculation worker and the window
// ---------------------------------------------------------------------------

// A value that the calculation worker writes while the window's progress
// dialog reads it (or the other way round: the calculation status that
// Cancel sets). Every access is atomic; copies take the value, so records
// holding it stay copyable.
template <class T>
class Shared {
public:
    Shared(T value = T{}) noexcept : value_(value) {}
    Shared(const Shared& other) noexcept : value_(other.load()) {}
    Shared& operator=(const Shared& other) noexcept {
        store(other.load());
        return *this;
    }
    Shared& operator=(T value) noexcept {
        store(value);
        return *this;
    }
    operator T() const noexcept { return load(); }
    T load() const noexcept { return value_.load(std::memory_order_acquire); }
    void store(T value) noexcept { value_.store(value, std::memory_order_release); }
    Shared& operator++() noexcept {
        value_.fetch_add(1, std::memory_order_acq_rel);
        return *this;
    }
    Shared& operator+=(T delta) noexcept {
        value_.fetch_add(delta, std::memory_order_acq_rel);
        return *this;
    }

private:
    std::atomic<T> value_;
};

// ---------------------------------------------------------------------------
// Table rows
// ---------------------------------------------------------------------------

// One unit of a quantity: display = internal * factor + offset.
struct Unit {
    // The symbol first, then aliases the value parser accepts; ends at the
    // first null entry. The empty text "" is a name like any other.
    std::array<const char*, MAX_UNIT_NAMES> names{};
    double offset = 0.0;
    double factor = 0.0;
};

// One row of `unitdef`.
struct UnitQuantity {
    const char* name = nullptr;
    double minimum = 0.0;  // bounds of a value, internal unit
    double maximum = 0.0;
    std::array<Unit, MAX_UNITS> units{};  // ends at the first unit without a symbol
    int default_unit = 0;  // unit of new values; changed by settings and the units dialog
};

// One row of a value table: a named value of a record.
struct ValueDef {
    const char* name;      // at most 51 characters
    int quantity;          // row of unitdef
    double default_value;  // internal unit
};

// One row of an option table.
struct OptionDef {
    const char* title;
    int n_choices;                                 // used entries of the two arrays
    std::array<const char*, MAX_CHOICES> choices;  // null beyond n_choices
    std::array<int, MAX_CHOICES> enables;          // input row each choice enables; -1 none
};

// One row of `part_types`, indexed by the part type code. The three lists
// hold row indices of part_input_options, part_input_values_def and
// part_output_values_def, in display order.
struct PartType {
    const char* name;  // at most 39 characters
    std::span<const int> options;
    std::span<const int> inputs;
    std::span<const int> outputs;
    const char* icon;  // stock icon name, at most 31 characters
};

// ---------------------------------------------------------------------------
// Drawing attributes
// ---------------------------------------------------------------------------

// A colour as the toolkit keeps it: pixel, then 16-bit channels.
struct Color {
    std::uint32_t pixel = 0;
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

// One axis of a diagram, or one default axis of a fluid. Range values are in
// the internal unit of the axis's unit quantity.
struct Axis {
    double max_value = 0.0;   // full-range maximum ("Max Value")
    double min_value = 0.0;   // full-range minimum ("Min Value")
    double min_pos = 0.0;     // first value shown ("Min Pos")
    double max_pos = 0.0;     // last value shown ("Max Pos")
    double step = 0.0;        // tick step ("Step")
    int reserved = 0;         // kept zero
    std::string label;        // "Axis Label", at most AXIS_LABEL_MAX characters
    int quantity = 0;         // AxisQuantity: 0 s, 1 h, 2 p, 3 T, 6 heat flow
    int unit_quantity = 0;    // row of unitdef; Pressure is drawn logarithmically
    int unit = 0;             // unit index ("Used Unit num")
    Color line_color;         // "Line color"
    Color grid_color;         // "Grid color"
    Color tick_color;         // "Tick color"
    Color label_color;        // "Label color"
    Color tick_label_color;   // "Tick label color"
    int digits = 0;           // decimals of the tick labels ("Digits")
    int tick_length = 0;      // pixels ("Tick length")
    int tick_width = 0;       // pixels ("Tick width")
    int arrow_size = 0;       // pixels ("Arrow size")
    double grid_width = 0.0;  // "Grid width"
    double line_width = 0.0;  // "Line width"
    std::string label_font;   // "Label font"
    std::string tick_font;    // "Tick font"
    std::string format;       // tick-label format of the built-in axes ("%5.2f", "%5.1f")
};

// Style of one process curve of a diagram.
struct CurveStyle {
    Color line_color;
    Color dot_color;        // start and end points
    Color small_dot_color;  // step points
    int line_style = 0;     // 0-9
    double line_width = 0.0;
    int dot_style = 0;  // 0-10
    int dot_size = 0;   // pixels
    int small_dot_style = 0;
    int small_dot_size = 0;
};

// Style of one isoline family of a diagram.
struct IsolineStyle {
    Color color;
    double width = 0.0;
    int show = 0;  // family shown
    int unit = 0;  // unit index of the labels, in the family's quantity
    std::string font;
    std::vector<int>
        selected;  // per position of the fluid's list: 1 shown; missing entries read as hidden
};

// One point of an isobar, isotherm or density line (mass units).
struct IsoPoint {
    double s = 0.0;    // kJ/(kg K)
    double h = 0.0;    // kJ/kg
    double p = 0.0;    // kPa
    double T = 0.0;    // K
    double rho = 0.0;  // kg/m3
};

// One point of a wetness line or of the dome.
struct SatPoint {
    double s = 0.0, h = 0.0, p = 0.0, T = 0.0, rho = 0.0;
    double valid = 0.0;  // 1.0 computed, 0.0 not
};

// One side of a fluid's two-phase dome: DOME_SLOTS points, held only from
// the first point written on (most fluids of a run never draw a dome, and
// every fluid record would otherwise carry and clear them). A side never
// written reads as points not computed.
class DomeSide {
public:
    DomeSide() = default;
    DomeSide(const DomeSide& o) : points_(copy_of(o)) {}
    DomeSide& operator=(const DomeSide& o) {
        if (this != &o) points_ = copy_of(o);
        return *this;
    }
    DomeSide(DomeSide&&) noexcept = default;
    DomeSide& operator=(DomeSide&&) noexcept = default;
    ~DomeSide() = default;

    // Point i (< DOME_SLOTS) to write: the side is made, all points zero,
    // at the first.
    SatPoint& operator[](std::size_t i) {
        if (!points_) points_ = std::make_unique<Points>();
        return (*points_)[i];
    }
    // Point i to read; a zero point (not computed) while nothing is held.
    const SatPoint& operator[](std::size_t i) const {
        static const SatPoint none{};
        return points_ ? (*points_)[i] : none;
    }
    static constexpr std::size_t size() { return DOME_SLOTS; }
    // Whether any point was written.
    bool held() const { return points_ != nullptr; }

private:
    using Points = std::array<SatPoint, DOME_SLOTS>;
    static std::unique_ptr<Points> copy_of(const DomeSide& o) {
        return o.points_ ? std::make_unique<Points>(*o.points_) : nullptr;
    }
    std::unique_ptr<Points> points_;
};

// Isoline store of one family of a fluid.
struct IsoFamily {
    // Positions (kPa, K, kg/m3 or liquid fraction), then the end marker: the
    // list ends at its first negative entry.
    std::vector<double> positions;
    std::vector<int> computed;                 // per position: 1 once taken up
    std::vector<std::vector<IsoPoint>> lines;  // per position: isobar, isotherm or density line
    std::vector<std::vector<SatPoint>> wet;    // per position: wetness line (family 3 only)
};

// ---------------------------------------------------------------------------
// Working fluids
// ---------------------------------------------------------------------------

struct Fluid {
    int available = 0;    // 1: offered in menus and as a component
    int second_flag = 0;  // 1 or 2 in built-in records (1 the commonly used ones), 0 in user fluids
    int group = 0;        // FluidGroup of the fluid menu
    int humidity_type = 0;    // HumidityType
    double molar_mass = 0.0;  // kg/kmol, preset in built-in records
    std::array<double, 5>
        fuel{};              // atoms C, H, O, N per molecule, and a fifth number; 0 for non-fuels
    std::string name;        // at most FLUID_NAME_MAX characters
    std::string short_name;  // for composition rows, may be empty
    std::string components;  // library fluid names joined by "|"; mixtures end with "|"
    std::string ref_code;    // "DEF", "NBP" or "OTH"
    double T0 = 0.0;         // reference temperature, K (code "OTH")
    double p0 = 0.0;         // reference pressure, kPa
    double h0 = 0.0;         // reference enthalpy, kJ/kg
    double s0 = 0.0;         // reference entropy, kJ/(kg K)
    double std_T = 0.0;      // standard state of standard volume flows, K
    double std_p = 0.0;      // kPa
    int az_components = 0;   // 1..20
    std::array<double, MAX_COMPONENTS> x{};        // mole fractions
    std::array<double, MAX_COMPONENTS> x_saved{};  // saved mole fractions (humid fluids)
    std::array<int, MAX_COMPONENTS>
        comp_index{};             // per component: its pure fluid's index in `fluids`
    double ref_hum_T = 0.0;       // reference humidity: temperature, K
    double ref_hum_p = 0.0;       // pressure, kPa
    double ref_hum_rh = 0.0;      // relative humidity, fraction
    double ref_hum_liquid = 0.0;  // additional liquid water, fraction
    int water_pos = 0;            // component slot of water
    std::array<double, MAX_COMPONENTS> x_water{};  // 1 at the water slot
    std::string setup_failure;  // why the library cannot hold it ("" until a set-up failed)

    // Written when the library is set up for the fluid.
    double Tc = 0.0, pc = 0.0, Dc = 0.0, hc = 0.0, sc = 0.0;  // K, kPa, kg/m3, kJ/kg, kJ/(kg K)
    IsoPoint crit;                                            // the critical point
    std::array<double, 4> crit_axis{};          // critical values by axis quantity s, h, p, T
    double Ttrp = 0.0, ptrp = 0.0, Dtrp = 0.0;  // triple point: K, kPa, liquid kg/m3
    double Tmin = 0.0, Tmax = 0.0;              // K
    double pmin = 0.0, pmax = 0.0;              // kPa
    double Dmin = 0.0, Dmax = 0.0;              // kg/m3
    double v_std = 0.0;                         // specific volume at the standard state, m3/kg
    std::string transport_note;  // why its own composition has no transport values, or ""

    std::array<Axis, 4> axis;  // default axes s, h, p, T of new diagrams
    int dome_count = 0;        // 0 until computed, then DOME_POINTS
    DomeSide dome_liquid;      // saturated liquid side
    DomeSide dome_vapour;      // saturated vapour side
    std::array<IsoFamily, NUM_ISO_FAMILIES>
        iso;  // isobars, isotherms, density lines, wetness lines
};

// The global list of working fluids: the 41 built-in ones first, then user
// fluids, which are never removed. Records keep their address for the whole
// run (processes, parts and diagrams point to them).
class FluidList {
public:
    // Entry i, or null when there is none.
    Fluid* operator[](int i) const;
    int size() const { return static_cast<int>(items_.size()); }
    // Appends a record; returns it, or null (the record dropped) when all
    // MAX_FLUIDS places are taken.
    Fluid* append(std::unique_ptr<Fluid> fluid);
    // The first fluid whose name equals `name`, ignoring case; null if none.
    Fluid* find(std::string_view name) const;
    // Index of a record in the list, or -1.
    int index_of(const Fluid* fluid) const;
    // Drops the user fluids beyond the first n entries (tests only).
    void truncate(int n);

private:
    std::vector<std::unique_ptr<Fluid>> items_;
};

extern FluidList fluids;
// Number of fluids in `fluids`.
inline int az_fluids() { return fluids.size(); }

// ---------------------------------------------------------------------------
// Project records
// ---------------------------------------------------------------------------

struct Project;

struct Part {
    int type = 0;                         // PartTypeCode
    const PartType* part_type = nullptr;  // row of part_types; null for a reader's placeholder
    std::string icon;                     // stock icon name
    std::string name;                     // "Compressor 1" ...; the Inlet is "Inlet"
    std::string failure_text;             // message of the last failure
    Fluid* fluid = nullptr;               // working fluid, from the predecessor
    Fluid* fuel = nullptr;                // fuel of combustors
    Fluid* oxidizer = nullptr;            // oxidizer of the oxygen injection combustor
    int id = 0;                           // slot in the project's part table; 0 = none
    std::array<int, 2> next_id{};         // successor on outlet 0 and 1; 0 = none
    std::array<int, 2> prev_id{};         // predecessor on inlet 0 and 1; 0 = none
    std::array<int, 2> next_inlet{};      // per outlet: the successor's inlet slot it feeds
    std::array<int, 2> prev_outlet{};     // per inlet: the predecessor's outlet slot feeding it
    // Display words of the flowsheet and tree.
    int grid_col = 0;
    int grid_row = 0;
    int az_shown_inputs = 0;
    std::array<int, NUM_PART_INPUTS> shown_inputs{};
    std::array<int, NUM_PART_OPTIONS> options{};   // choice per row of part_input_options
    std::array<double, NUM_PART_INPUTS> inputs{};  // rows of part_input_values_def
    std::array<int, NUM_PART_INPUTS> input_units{};
    std::array<double, NUM_PART_OUTPUTS> outputs{};  // rows of part_output_values_def
    std::array<int, NUM_PART_OUTPUTS> output_units{};
    // States at the points 0..steps along the part (0 inlet, steps outlet).
    std::array<double, STEP_POINTS> T{};          // K
    std::array<double, STEP_POINTS> p{};          // kPa
    std::array<double, STEP_POINTS> rho{};        // kg/m3
    std::array<double, STEP_POINTS> s{};          // kJ/(kg K)
    std::array<double, STEP_POINTS> h{};          // kJ/kg
    std::array<double, STEP_POINTS> q{};          // quality
    std::array<double, STEP_POINTS> heat{};       // kJ/kg transferred up to the point
    std::array<double, MAX_COMPONENTS> x_in{};    // mole fractions at the inlet
    std::array<double, MAX_COMPONENTS> x_out{};   // at the outlet
    std::array<double, MAX_COMPONENTS> x_in2{};   // at the second inlet
    std::array<double, MAX_COMPONENTS> x_out2{};  // at the second outlet
    int water = 0;                                // 1 when the working fluid holds water
    int steps = 0;                                // points used: 0..steps (at most MAX_STEPS)
    int segmentation = 0;                         // 1 geometric, 0 linear pressure steps
    double eta_used = 0.0;                        // efficiency the turbo-machine model uses
    double pr_used = 0.0;         // outlet over inlet pressure the turbo-machine model uses
    Shared<int> state = 0;        // PartState
    int final_flag = 0;           // heat exchanger results final although provisional
    double old_value = 0.0;       // filled by the pre-2.0 reader only
    Shared<int> segment = 0;      // step the running model works on
    Shared<int> busy = 0;         // 1 while the model runs
    double init_T = 0.0;          // seed from an interface (state 8), K
    double init_heat_flux = 0.0;  // seed (state 9), kJ/kg
    double init_dT = 0.0;         // seed (state 10), K
};

struct Process {
    int id = 0;
    Fluid* fluid = nullptr;                             // working fluid at the inlet
    int az_parts = 0;                                   // used slots of parts
    std::array<Part*, MAX_PARTS> parts{};               // calculation order; parts[0] the Inlet
    std::array<double, NUM_PROCESS_OUTPUTS> outputs{};  // rows of process_output_values_def
    std::array<double, NUM_PROCESS_INPUTS> inputs{};    // rows of process_input_values_def
    std::array<int, NUM_PROCESS_OUTPUTS> output_units{};
    std::array<int, NUM_PROCESS_INPUTS> input_units{};
    std::string name;      // empty until whoever adds the process names it
    Shared<int> done = 0;  // 0 while the process is being calculated
    // The exhaust-gas fluid of a process with combustors (made by the
    // process preparation, not in `fluids`); null when there is none.
    std::unique_ptr<Fluid> exhaust;
};

struct Interface {
    std::string name;  // "Interface %d"
    int id = 0;
    Shared<int> status = 0;  // InterfaceStatus
    int hot_part_id = 0;
    int cold_part_id = 0;
    int hot_process_id = 0;
    int cold_process_id = 0;
    int az_shown_inputs = 0;  // entries of shown_inputs
    std::array<int, NUM_INTERFACE_OPTIONS> options{};
    std::array<double, NUM_INTERFACE_INPUTS> inputs{};
    std::array<int, NUM_INTERFACE_INPUTS> input_units{};
    std::array<double, NUM_INTERFACE_OUTPUTS> outputs{};
    std::array<int, NUM_INTERFACE_OUTPUTS> output_units{};
    std::array<int, 10> shown_inputs{};  // input rows shown in the tree
    // Iteration state of the coupling.
    double last_T_hot = 0.0;  // hot outlet temperature of the previous run, K
    double last_T_cold = 0.0;
    Shared<double> residual = 0.0;
    Shared<double> first_residual = 0.0;
    double last_effectiveness = 0.0;
    double last_heat_flux = 0.0;  // kJ/kg handed to the second side in the previous run
    double older_T_hot = 0.0;     // last_T_hot one run earlier
    double older_T_cold = 0.0;
    Shared<int> step_count = 0;
    // Flowsheet place.
    int grid_row = -1;  // -1 until laid out
    int icon_x = 0;
    int icon_y = 0;
};

// One screen-point entry of a diagram (a drawn part, or the critical point).
struct ScreenEntry {
    int process = 0;
    int part = 0;
    std::array<int, SCREEN_CACHE_POINTS> x{};
    std::array<int, SCREEN_CACHE_POINTS> y{};
    std::string text;  // hover text, at most 500 characters
};

// A diagram page or the flowsheet.
struct Graph {
    Project* project = nullptr;
    std::array<Process*, MAX_CURVES> curves{};  // processes drawn, in curve order
    int kind = 0;                               // GraphKind
    int line_factor = 0;
    int cache_count = 0;    // used entries of cache
    int hover_process = 0;  // -1 none
    int hover_part = 0;     // -1 none
    std::array<CurveStyle, MAX_CURVES> curve_style{};
    std::array<IsolineStyle, NUM_ISO_FAMILIES> iso_style;  // isobars, isotherms, density, wetness
    Color sat_color;                                       // saturation line
    double sat_width = 0.0;
    Fluid* fluid = nullptr;
    int type = 0;  // 0 h-s, 1 p-s, 2 T-s, 3 p-h, 4 p-T, 5 heat-flow-temperature
    int az_curves = 0;
    Axis x_axis;
    Axis y_axis;
    double width = 0.0, height = 0.0;                         // pixels
    double bottom = 0.0, top = 0.0, left = 0.0, right = 0.0;  // margins, pixels
    double font_scale = 0.0;
    int zoom_to_plot = 0;
    int printing = 0;
    std::vector<ScreenEntry> cache;  // grown while drawing, at most SCREEN_CACHE_SIZE entries
    std::string name;
    Interface* interface = nullptr;  // heat-flow-temperature diagram
    // Flowsheet (kind 1).
    int cell_size = 0;
    int n_cols = 0;
    int n_rows = 0;
    std::vector<double> row_pos;  // position of each row in row pitches; grown by the layout
    double sheet_width = 0.0;
    double sheet_height = 0.0;
    double symbol_zoom = 0.0;
    int show_tp = 0;
    int show_cross1 = 0;
    int show_cross2 = 0;
    int show_inputs = 0;
    int show_names = 0;
};

struct Project {
    // Parts by id; its size is the table's capacity. Slot 0 is never used,
    // an empty slot is null. The table only refers: parts belong to their
    // processes.
    std::vector<Part*> part_table;
    std::array<double, NUM_PROJECT_OUTPUTS> totals{};  // rows of project_output_values_def
    std::array<int, NUM_PROJECT_OUTPUTS> total_units{};
    int az_processes = 0;
    int az_interfaces = 0;
    int az_graphs = 0;
    int current_part = 0;       // index within the current process; -1 none
    int current_process = 0;    // -1 none
    int current_interface = 0;  // -1 none
    std::array<Process*, MAX_PROCESSES> processes{};
    std::array<Interface*, MAX_INTERFACES> interfaces{};
    std::array<Graph*, MAX_GRAPHS>
        graphs{};                    // slot 0 the flowsheet; the list ends at its first null
    Graph* current_graph = nullptr;  // graph of the selected diagram page
    std::string filename;            // empty for a new project
    std::string calc_log;            // text of the message view
    std::string status_log;          // text of the calculation dialog
    int status_log_open = 0;         // 1 once a calculation dialog has opened the status log
    std::array<int, NUM_PART_TYPES> name_counters{};  // parts of each type named so far
    int toggle_guard = 0;                             // used by the tree
    int graph_menu_guard = 0;     // 1 while the program sets the isoline toggles
    int changed = 0;              // unsaved changes
    Shared<int> calc_status = 0;  // CalcStatus; Cancel sets CS_CANCEL while the worker runs
};

// ---------------------------------------------------------------------------
// Globals
// ---------------------------------------------------------------------------

// Open projects in the order they were added; the list ends at its first null.
extern std::array<Project*, MAX_PROJECTS> project_list;
// The project being shown, edited, read or calculated; null when none.
extern Project* current_project;
// The fluid the library holds; null when none.
extern Fluid* current_fluid;

}  // namespace app
