// The global fluid list and the 41 built-in working fluids.
#include "app/core/model/init.h"

#include "app/core/model/tools.h"

namespace app {

FluidList fluids;

namespace {

// One component of a built-in fluid: library name, mole fraction, and the
// index in `fluids` of its pure fluid.
struct Comp {
    const char* name;
    double x;
    int index;
};

struct Builtin {
    const char* name;
    int group;
    int humidity;
    const char* ref;  // reference-state code
    double T0, p0;    // reference state of "OTH", K and kPa
    double std_T;     // standard temperature, K
    double M;         // kg/kmol
    int second_flag;
    std::array<double, 5> fuel;  // C, H, O, N, fifth
    int ncomp;
    std::array<Comp, MAX_COMPONENTS> comps;
};

// Range, tick step of one default axis.
struct AxisRange {
    double start, end, step;
};

constexpr std::array<double, 5> NOFUEL{0, 0, 0, 0, 0};
constexpr double P_STD = 101.325;

// Components used by several records.
constexpr Comp O2{"oxygen", 0.20942, 11}, N2{"nitrogen", 0.78086, 12}, AR{"argon", 0.00934, 16},
    CO2{"co2", 0.00038, 7}, H2O{"water", 0.0, 4};

constexpr Builtin pure(const char* name, const char* comp, int self, int group, const char* ref,
                       double M, int second_flag, std::array<double, 5> fuel = NOFUEL,
                       double T0 = 0, double p0 = 0, double std_T = 273.15) {
    Builtin b{name, group, HT_DRY, ref, T0, p0, std_T, M, second_flag, fuel, 1, {}};
    b.comps[0] = Comp{comp, 1.0, self};
    return b;
}

constexpr Builtin mix(const char* name, int humidity, double T0, double M,
                      std::initializer_list<Comp> comps) {
    Builtin b{name, FG_MIXTURES, humidity, "OTH", T0, P_STD, 273.15, M, 1, NOFUEL, 0, {}};
    for (const Comp& c : comps) b.comps[static_cast<std::size_t>(b.ncomp++)] = c;
    return b;
}

constexpr Builtin BUILTIN[NUM_BUILTIN_FLUIDS] = {
    pure("Air", "air", 0, FG_PURE, "NBP", 28.96546, 1),
    mix("Dry ISO Air", HT_DRY, 293.15, 28.96546, {O2, N2, AR, CO2}),
    mix("Humid ISO Air", HT_RH_STANDARD, 293.15, 28.96546, {O2, N2, AR, CO2, H2O}),
    mix("Humid Air (Relative Humidity)", HT_RH_INLET, 293.15, 28.96546, {O2, N2, AR, CO2, H2O}),
    pure("Water", "water", 4, FG_PURE, "DEF", 18.015268, 1, NOFUEL, 0, 0, 293.15),
    pure("Steam", "water", 4, FG_PURE, "DEF", 18.015268, 1, NOFUEL, 0, 0, 293.15),
    pure("Carbon monoxide", "co", 6, FG_PURE, "OTH", 28.0101, 2, {1, 0, 1, 0, 0}, 298.15, P_STD),
    pure("Carbon dioxide", "co2", 7, FG_PURE, "OTH", 44.0098, 1, NOFUEL, 298.15, P_STD),
    pure("Hydrogen", "hydrogen", 8, FG_PURE, "DEF", 2.01588, 2, {0, 2, 0, 0, 0}),
    pure("Para-Hydrogen", "parahyd", 9, FG_PURE, "DEF", 2.01588, 2, {0, 2, 0, 0, 0}),
    pure("Ortho-Hydrogen", "orthohyd", 10, FG_PURE, "DEF", 2.01588, 2, {0, 2, 0, 0, 0}),
    pure("Oxygen", "oxygen", 11, FG_PURE, "DEF", 31.9988, 1),
    pure("Nitrogen", "nitrogen", 12, FG_PURE, "NBP", 28.01348, 1),
    pure("Ammonia", "ammonia", 13, FG_PURE, "DEF", 17.03026, 2, {0, 3, 0, 1, 0}),
    pure("Helium", "helium", 14, FG_INERT, "DEF", 4.002602, 2),
    pure("Neon", "neon", 15, FG_INERT, "DEF", 20.179, 2),
    pure("Argon", "argon", 16, FG_INERT, "DEF", 39.948, 1),
    pure("Krypton", "krypton", 17, FG_INERT, "DEF", 83.798, 2),
    pure("Xenon", "xenon", 18, FG_INERT, "DEF", 131.293, 2),
    pure("Methane", "methane", 19, FG_ALKANES, "DEF", 16.0428, 1, {1, 4, 0, 0, 0}),
    pure("Ethane", "ethane", 20, FG_ALKANES, "DEF", 30.06904, 1, {2, 6, 0, 0, 0}),
    pure("Propane", "propane", 21, FG_ALKANES, "DEF", 44.09562, 1, {3, 8, 0, 0, 0}),
    pure("Butane", "butane", 22, FG_ALKANES, "DEF", 58.1222, 1, {4, 10, 0, 0, 0}),
    pure("Isobutane", "isobutane", 23, FG_ALKANES, "DEF", 58.1222, 1, {4, 10, 0, 0, 0}),
    pure("Pentane", "pentane", 24, FG_ALKANES, "DEF", 72.14878, 1, {5, 12, 0, 0, 0}),
    pure("Hexane", "hexane", 25, FG_ALKANES, "DEF", 86.17536, 1, {6, 14, 0, 0, 0}),
    pure("Cyclopropane", "cyclopro", 26, FG_ALKANES, "DEF", 42.081, 2, {3, 6, 0, 0, 0}),
    pure("Cyclopentane", "cyclopen", 27, FG_ALKANES, "DEF", 70.1329, 2, {5, 10, 0, 0, 0}),
    pure("Cyclohexane", "cyclohex", 28, FG_ALKANES, "DEF", 84.15948, 2, {6, 12, 0, 0, 0}),
    pure("Toluene", "toluene", 29, FG_ALKANES, "DEF", 92.13842, 2, {7, 8, 0, 0, 0}),
    pure("R11", "r11", 30, FG_REFRIGERANTS, "DEF", 137.368, 2),
    pure("R12", "r12", 31, FG_REFRIGERANTS, "DEF", 120.913, 2),
    pure("R123", "r123", 32, FG_REFRIGERANTS, "DEF", 152.931, 2),
    pure("R1234YF", "r1234yf", 33, FG_REFRIGERANTS, "DEF", 114.0415928, 2),
    pure("R134A", "r134a", 34, FG_REFRIGERANTS, "DEF", 102.032, 2),
    pure("R245CA", "r245ca", 35, FG_REFRIGERANTS, "DEF", 134.04882, 2),
    pure("R245FA", "r245fa", 36, FG_REFRIGERANTS, "DEF", 134.04794, 2),
    mix("Natural Gas Groningen", HT_DRY, 288.15, 18.665547,
        {{"pentane", 0.001, 24},
         {"butane", 0.002, 22},
         {"propane", 0.004, 21},
         {"ethane", 0.029, 20},
         {"methane", 0.812, 19},
         {"nitrogen", 0.143, 12},
         {"co2", 0.009, 7}}),
    mix("Natural Gas Uniongas", HT_DRY, 288.15, 16.84061,
        {{"co2", 0.007, 7},
         {"oxygen", 0.0002, 11},
         {"nitrogen", 0.013, 12},
         {"pentane", 0.0002, 24},
         {"isobutane", 0.0003, 23},
         {"butane", 0.0003, 22},
         {"propane", 0.002, 21},
         {"ethane", 0.025, 20},
         {"methane", 0.952, 19}}),
    mix("Furnace Gas", HT_RH_INLET, 293.15, 28.96546,
        {{"co", 0.21, 6}, {"co2", 0.21, 7}, {"hydrogen", 0.04, 8}, {"nitrogen", 0.54, 12}, H2O}),
    pure("Hexamethyldisiloxane", "mm", 40, FG_REFRIGERANTS, "DEF", 162.37752, 2),
};

// Default axes s, h, p, T of each built-in fluid: start, end, tick step in
// kJ/(kg K), kJ/kg, kPa and K.
constexpr AxisRange AXES[NUM_BUILTIN_FLUIDS][4] = {
    {{0, 4, 1}, {0, 600, 100}, {10, 50000, 0.5}, {50, 400, 50}},              // 0
    {{0, 4, 1}, {0, 600, 100}, {10, 50000, 0.5}, {50, 400, 50}},              // 1
    {{0, 4, 1}, {0, 600, 100}, {10, 50000, 0.5}, {50, 400, 50}},              // 2
    {{0, 4, 1}, {0, 600, 100}, {10, 50000, 0.5}, {50, 400, 50}},              // 3
    {{0, 10, 1}, {0, 4000, 500}, {1, 50000, 0.5}, {250, 750, 50}},            // 4
    {{0, 10, 1}, {0, 4000, 500}, {1, 50000, 0.5}, {250, 750, 50}},            // 5
    {{0, 3, 0.5}, {0, 300, 50}, {1000, 50000, 0.5}, {50, 250, 50}},           // 6
    {{-2, 0.25, 0.25}, {-300, 100, 50}, {1000, 50000, 0.5}, {200, 400, 50}},  // 7
    {{0, 40, 5}, {0, 2000, 1000}, {10, 50000, 0.5}, {0, 200, 50}},            // 8
    {{0, 40, 5}, {0, 2000, 1000}, {10, 50000, 0.5}, {0, 200, 50}},            // 9
    {{0, 40, 5}, {0, 2000, 1000}, {10, 50000, 0.5}, {0, 200, 50}},            // 10
    {{2, 6, 1}, {-200, 300, 100}, {10, 50000, 0.5}, {0, 400, 50}},            // 11
    {{0, 4, 1}, {0, 600, 100}, {10, 50000, 0.5}, {50, 400, 50}},              // 12
    {{2, 8, 1}, {500, 2000, 250}, {10, 50000, 0.5}, {200, 500, 100}},         // 13
    {{0, 10, 1}, {-10, 100, 10}, {10, 50000, 0.5}, {0, 25, 5}},               // 14
    {{0, 4, 0.5}, {0, 150, 25}, {50, 20000, 0.5}, {0, 100, 25}},              // 15
    {{1.5, 3.5, 0.25}, {-100, 150, 50}, {10, 50000, 0.5}, {50, 250, 100}},    // 16
    {{0, 0.8, 0.1}, {0, 150, 25}, {50, 20000, 0.5}, {0, 400, 50}},            // 17
    {{0, 0.8, 0.1}, {0, 150, 25}, {50, 20000, 0.5}, {0, 400, 50}},            // 18
    {{0, 6, 0.5}, {-100, 800, 100}, {10, 50000, 0.5}, {80, 260, 20}},         // 19
    {{0, 6, 0.5}, {0, 1000, 100}, {10, 50000, 0.5}, {80, 260, 20}},           // 20
    {{0, 6, 0.5}, {0, 1000, 100}, {10, 50000, 0.5}, {80, 460, 40}},           // 21
    {{0, 3.5, 0.5}, {0, 1000, 100}, {10, 50000, 0.5}, {200, 550, 100}},       // 22
    {{0, 3, 0.5}, {0, 800, 100}, {10, 50000, 0.5}, {100, 500, 100}},          // 23
    {{-1, 2, 0.5}, {-300, 800, 100}, {10, 50000, 0.5}, {150, 550, 100}},      // 24
    {{0, 2, 0.5}, {0, 800, 100}, {10, 50000, 0.5}, {200, 600, 100}},          // 25
    {{0, 3, 0.5}, {0, 800, 100}, {10, 50000, 0.5}, {100, 500, 100}},          // 26
    {{0, 3, 0.5}, {0, 800, 100}, {10, 50000, 0.5}, {100, 500, 100}},          // 27
    {{0, 3, 0.5}, {0, 800, 100}, {10, 50000, 0.5}, {100, 500, 100}},          // 28
    {{-1, 2, 0.5}, {0, 800, 100}, {10, 50000, 0.5}, {200, 700, 100}},         // 29
    {{0.5, 2, 0.5}, {100, 600, 100}, {10, 50000, 0.5}, {150, 600, 100}},      // 30
    {{0.5, 2, 0.5}, {100, 500, 100}, {10, 50000, 0.5}, {100, 500, 100}},      // 31
    {{1, 2, 0.5}, {200, 600, 100}, {10, 50000, 0.5}, {150, 600, 100}},        // 32
    {{0, 1, 0.25}, {0, 300, 100}, {10, 50000, 0.5}, {200, 400, 100}},         // 33
    {{0.5, 2, 0.5}, {100, 500, 100}, {10, 50000, 0.5}, {100, 500, 100}},      // 34
    {{0.5, 2, 0.5}, {100, 600, 100}, {10, 50000, 0.5}, {150, 500, 100}},      // 35
    {{0.5, 2, 0.5}, {100, 600, 100}, {10, 50000, 0.5}, {150, 450, 100}},      // 36
    {{0, 4, 1}, {0, 600, 100}, {10, 50000, 0.5}, {50, 400, 50}},              // 37
    {{0, 4, 1}, {0, 600, 100}, {10, 50000, 0.5}, {50, 400, 50}},              // 38
    {{0, 4, 1}, {0, 600, 100}, {10, 50000, 0.5}, {50, 400, 50}},              // 39
    {{0.5, 2, 0.5}, {100, 600, 100}, {10, 50000, 0.5}, {150, 450, 100}},      // 40
};

// Fields common to the four default axes s, h, p, T.
struct AxisKind {
    const char* label;
    int unit_quantity;
    const char* format;
    int unit;
    double max_value;
};
constexpr AxisKind AXIS_KINDS[4] = {
    {"Entropy", Q_ENTROPY, "%5.2f", 0, 0.0},
    {"Enthalpy", Q_SPECIFIC_ENERGY, "%5.1f", 0, 0.0},
    {"Pressure", Q_PRESSURE, "%5.1f", 3, 2.0},
    {"Temperature", Q_TEMPERATURE, "%5.1f", 0, 0.0},
};

// Fills a new (default) record with built-in fluid `index`.
void fill_builtin(Fluid& f, int index) {
    const Builtin& b = BUILTIN[index];
    f.available = 1;
    f.second_flag = b.second_flag;
    f.group = b.group;
    f.humidity_type = b.humidity;
    f.molar_mass = b.M;
    f.fuel = b.fuel;
    f.name = b.name;
    f.ref_code = b.ref;
    f.T0 = b.T0;
    f.p0 = b.p0;
    f.std_T = b.std_T;
    f.std_p = P_STD;
    f.az_components = b.ncomp;
    for (int i = 0; i < b.ncomp; ++i) {
        const Comp& c = b.comps[static_cast<std::size_t>(i)];
        f.components += c.name;
        if (b.ncomp > 1) f.components += '|';
        f.x[static_cast<std::size_t>(i)] = c.x;
        f.comp_index[static_cast<std::size_t>(i)] = c.index;
        if (c.index == FLUID_WATER) {
            f.water_pos = i;
            f.x_water[static_cast<std::size_t>(i)] = 1.0;
        }
    }
    f.x_saved = f.x;
    if (b.humidity == HT_RH_STANDARD) {  // Humid ISO Air: the ISO reference state
        f.ref_hum_T = ISO_HUMIDITY_T;
        f.ref_hum_p = ISO_HUMIDITY_P;
        f.ref_hum_rh = ISO_HUMIDITY_RH;
    }
    for (int k = 0; k < 4; ++k) {
        Axis& a = f.axis[static_cast<std::size_t>(k)];
        const AxisRange& r = AXES[index][k];
        const AxisKind& kind = AXIS_KINDS[k];
        a.min_pos = r.start;
        a.max_pos = r.end;
        a.step = r.step;
        a.label = kind.label;
        a.quantity = k;
        a.unit_quantity = kind.unit_quantity;
        a.format = kind.format;
        a.unit = kind.unit;
        a.max_value = kind.max_value;
        a.min_value = 0.0;
    }
    init_iso_positions(f);
    for (Axis& a : f.axis) set_axis_defaults(a);
}

}  // namespace

Fluid* FluidList::operator[](int i) const {
    if (i < 0 || i >= size()) return nullptr;
    return items_[static_cast<std::size_t>(i)].get();
}

Fluid* FluidList::append(std::unique_ptr<Fluid> fluid) {
    if (!fluid || size() >= MAX_FLUIDS) return nullptr;
    items_.push_back(std::move(fluid));
    return items_.back().get();
}

Fluid* FluidList::find(std::string_view name) const {
    for (const auto& f : items_)
        if (equal_nocase(f->name, name)) return f.get();
    return nullptr;
}

int FluidList::index_of(const Fluid* fluid) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == fluid) return static_cast<int>(i);
    return -1;
}

void FluidList::truncate(int n) {
    if (n >= 0 && n < size()) items_.resize(static_cast<std::size_t>(n));
}

void init_stoffe() {
    for (int i = 0; i < NUM_BUILTIN_FLUIDS; ++i) {
        if (Fluid* existing = fluids[i]) {
            *existing = Fluid{};  // rebuilt in place: pointers to it stay valid
            fill_builtin(*existing, i);
        } else {
            auto f = std::make_unique<Fluid>();
            fill_builtin(*f, i);
            fluids.append(std::move(f));
        }
    }
}

}  // namespace app
