// The isoline computation with the real library: what lines a fluid gets,
// the order of an isobar's points, every point checked by flashing it back
// from its own (p, h), and the guards around the computation.
#include "app/diagrams/isolines.h"
#include "app/core/files/fluid_files.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/solver/simulator.h"
#include "app/diagrams/isoline_draw.h"
#include "app/diagrams/mapping.h"
#include "tests/diagrams/diagram_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace app;
using namespace app::diagrams;

double rel(double a, double b) { return std::fabs(a - b) / std::max(std::fabs(b), 1e-300); }

// A point flashed back from its (p, h): T and rho (and the quality, when
// given) within 1e-6 relative; the text says what differs. The quality
// found goes to q_found. Two phases of a mixture found a hair from its
// bubble point (q below 1e-6), or at a few pascals where the vapour is a
// millionth as dense as the liquid, are placed to 1e-4 in their overall
// density: the least vapour changes it (the blend's bubble point at 200 K
// came back with q = 8.5e-10 and a density 1.5e-6 lower, its 2 kg/m3 line
// at 108.5 K and 0.12 Pa with q = 3.3e-6, 2.8e-6 higher).
std::string flash_back(Fluid& f, double p, double h, double T, double rho, double q = -1,
                       double* q_found = nullptr) {
    double T2 = 0, s2 = 0, rho2 = 0, q2 = 0, pp = p, hh = h;
    const int r = get_all_by_p_and_h(f.x.data(), T2, pp, s2, hh, rho2, q2, 0.5);
    if (q_found != nullptr) *q_found = q2;
    char buf[300];
    if (r > 0 && r != PH_VAPOUR_ASSUMED && r != PH_LIQUID_ASSUMED) {  // warnings count
        std::snprintf(buf, sizeof buf, "p=%.9g h=%.9g (T %.9g): flash %d", p, h, T, r);
        return buf;
    }
    const bool sensitive = f.az_components > 1 && q2 > 0 && q2 < 1 && (p < 1 || q2 < 1e-6);
    const double rho_tolerance = sensitive ? 1e-4 : 1e-6;
    if (rel(T2, T) > 1e-6 || rel(rho2, rho) > rho_tolerance ||
        (q >= 0 && std::fabs(q2 - q) > 1e-6)) {
        std::snprintf(buf, sizeof buf, "p=%.9g h=%.9g: T %.9g/%.9g rho %.9g/%.9g q %.9g", p, h, T2,
                      T, rho2, rho, q2);
        return buf;
    }
    return "";
}

class Isolines : public ::testing::Test {
protected:
    void SetUp() override {
        diagtest::fresh_fluids();
        water = fluids[FLUID_WATER];
        calls = calc_isolines(*water);
    }
    Fluid* water = nullptr;
    long calls = 0;
};

TEST_F(Isolines, WaterGetsEveryFamilyAndItsDome) {
    EXPECT_GT(calls, 0);
    const std::size_t counts[] = {13, 17, 14, 9};
    for (int f = 0; f < NUM_ISO_FAMILIES; ++f) {
        const IsoFamily& fam = water->iso[f];
        EXPECT_EQ(static_cast<std::size_t>(iso_count(fam)), counts[f]) << f;
        for (int i = 0; i < iso_count(fam); ++i) EXPECT_EQ(fam.computed[i], 1) << f << " " << i;
    }
    // Isotherms below the fluid's lower limit have no points, the others do.
    for (int i = 0; i < iso_count(water->iso[ISO_ISOTHERM]); ++i) {
        const double T = water->iso[ISO_ISOTHERM].positions[i];
        EXPECT_EQ(water->iso[ISO_ISOTHERM].lines[i].empty(), T < water->Tmin) << T;
    }
    for (const auto& line : water->iso[ISO_ISOBAR].lines) EXPECT_GE(line.size(), 5u);
    for (const auto& line : water->iso[ISO_WETNESS].wet) EXPECT_EQ(line.size(), 101u);

    EXPECT_EQ(water->dome_count, DOME_POINTS);
    int valid = 0;
    for (int j = 0; j < DOME_POINTS; ++j) {
        const double r = (DOME_POINTS - j) / double(DOME_POINTS);
        const double T = water->Tc - (water->Tc - water->Tmin) * r * r;
        for (const SatPoint* sp : {&water->dome_liquid[j], &water->dome_vapour[j]}) {
            if (sp->valid != 1.0) continue;
            ++valid;
            EXPECT_NEAR(sp->T, T, 1e-9 * T) << j;
            EXPECT_LT(sp->p, water->pc);
        }
    }
    EXPECT_GT(valid, 2 * 190);  // below the triple point water has no saturation states
    // The full ranges of the default axes.
    EXPECT_EQ(water->axis[AX_P].min_value, 2.0);
    EXPECT_EQ(water->axis[AX_P].max_value, water->pmax);
    EXPECT_EQ(water->axis[AX_T].min_value, water->Tmin);
    EXPECT_LT(water->axis[AX_S].min_value, 0.5);
    EXPECT_GT(water->axis[AX_H].max_value, 4000);
}

// The 1000 kPa isobar runs from high to low density, the saturated liquid
// directly before the saturated vapour.
TEST_F(Isolines, IsobarRunsThroughTheSaturationStates) {
    const int i = iso_find(water->iso[ISO_ISOBAR], 1000);
    ASSERT_GE(i, 0);
    const std::vector<IsoPoint>& line = water->iso[ISO_ISOBAR].lines[i];
    double T = 0, p = 1000, s = 0, h = 0, rhoL = 0, rhoV = 0, q = 0;
    ASSERT_EQ(get_all_by_p_and_q(water->x.data(), T, p, s, h, rhoL, q), 0);
    q = 1;
    ASSERT_EQ(get_all_by_p_and_q(water->x.data(), T, p, s, h, rhoV, q), 0);
    int at_L = -1;
    for (std::size_t k = 0; k < line.size(); ++k) {
        EXPECT_NEAR(line[k].p, 1000, 1e-9);
        if (k > 0) {
            EXPECT_LE(line[k].rho, line[k - 1].rho) << k;
        }
        if (rel(line[k].rho, rhoL) < 1e-12) at_L = static_cast<int>(k);
    }
    ASSERT_GE(at_L, 1);
    ASSERT_LT(at_L + 1, static_cast<int>(line.size()));
    EXPECT_LT(rel(line[at_L + 1].rho, rhoV), 1e-12);
    EXPECT_GT(line.size(), 10u);  // refined on both sides
}

// Every point of every line, flashed back from its own (p, h), gives its
// T and rho; so do the points of the w = 0.3 line, with quality 0.7.
TEST_F(Isolines, EveryPointFlashesBack) {
    int points = 0;
    std::vector<std::string> bad;
    for (int f : {ISO_ISOBAR, ISO_ISOTHERM, ISO_ISOCHOR})
        for (const auto& line : water->iso[f].lines)
            for (const IsoPoint& pt : line) {
                ++points;
                for (double v : {pt.s, pt.h, pt.p, pt.T, pt.rho}) ASSERT_TRUE(std::isfinite(v));
                std::string why = flash_back(*water, pt.p, pt.h, pt.T, pt.rho);
                if (!why.empty()) bad.push_back(why);
            }
    const int i = iso_find(water->iso[ISO_WETNESS], 0.3);
    ASSERT_GE(i, 0);
    int wet = 0;
    for (const SatPoint& sp : water->iso[ISO_WETNESS].wet[i]) {
        if (sp.valid != 1.0) continue;
        ++wet;
        std::string why = flash_back(*water, sp.p, sp.h, sp.T, sp.rho, 0.7);
        if (!why.empty()) bad.push_back("w=0.3 " + why);
    }
    EXPECT_GT(points, 500);
    EXPECT_GT(wet, 80);
    EXPECT_TRUE(bad.empty()) << bad.size() << " of " << points + wet << ", first: " << bad[0];
}

TEST_F(Isolines, HeliumAndMixtures) {
    Fluid* helium = fluids[FLUID_HELIUM];
    calc_isolines(*helium);
    for (const auto& line : helium->iso[ISO_WETNESS].wet) EXPECT_EQ(line.size(), 11u);
    EXPECT_EQ(helium->dome_count, DOME_POINTS);

    Fluid* air = fluids[FLUID_DRY_ISO_AIR];
    ASSERT_GT(air->az_components, 1);
    calc_isolines(*air);
    EXPECT_EQ(air->dome_count, 0);
    for (int c : air->iso[ISO_WETNESS].computed) EXPECT_EQ(c, 0);
    for (const auto& line : air->iso[ISO_WETNESS].wet) EXPECT_TRUE(line.empty());
    int lines = 0;
    for (const auto& line : air->iso[ISO_ISOBAR].lines) lines += line.empty() ? 0 : 1;
    EXPECT_GT(lines, 5);
    // Below its critical temperature too (132.5 K) each isotherm has points
    // (75 K and 100 K from the compressed liquid to the vapour).
    for (int i = 0; i < iso_count(air->iso[ISO_ISOTHERM]); ++i) {
        const double T = air->iso[ISO_ISOTHERM].positions[static_cast<std::size_t>(i)];
        if (!(T > air->Tmin && T < air->Tc)) continue;
        EXPECT_GE(air->iso[ISO_ISOTHERM].lines[static_cast<std::size_t>(i)].size(), 10u) << T;
    }
    // Every isobar runs up to the fluid's highest temperature (they ended
    // near 1,180 K of 1,993.7 K: the top sample rounded above Tmax).
    for (const auto& line : air->iso[ISO_ISOBAR].lines) {
        if (line.empty()) continue;
        double top = 0;
        for (const IsoPoint& pt : line) top = std::max(top, pt.T);
        EXPECT_DOUBLE_EQ(top, air->Tmax) << "isobar at " << line.front().p << " kPa";
    }
}

// Positions beyond the limits, or that are no positions at all, get their
// flag and no points; a new position is computed alone.
TEST_F(Isolines, PositionsBeyondTheLimits) {
    IsoFamily& bars = water->iso[ISO_ISOBAR];
    const int above = iso_add_position(bars, 2 * water->pmax);
    const int odd = iso_add_position(bars, std::numeric_limits<double>::infinity());
    const int wet = iso_add_position(water->iso[ISO_WETNESS], 1.5);
    const int hot = iso_add_position(water->iso[ISO_ISOTHERM], 2 * water->Tmax);
    const int dense = iso_add_position(water->iso[ISO_ISOCHOR], 2 * water->Dmax);
    const int fresh = iso_add_position(water->iso[ISO_ISOTHERM], 420);
    EXPECT_EQ(pending_isolines(*water), 6);
    const long more = calc_isolines(*water);
    EXPECT_GT(more, 0);
    EXPECT_LT(more, calls / 5);
    EXPECT_TRUE(bars.lines[above].empty());
    EXPECT_TRUE(bars.lines[odd].empty());
    for (const SatPoint& sp : water->iso[ISO_WETNESS].wet[wet]) EXPECT_EQ(sp.valid, 0.0);
    EXPECT_TRUE(water->iso[ISO_ISOTHERM].lines[hot].empty());
    EXPECT_TRUE(water->iso[ISO_ISOCHOR].lines[dense].empty());
    EXPECT_GE(water->iso[ISO_ISOTHERM].lines[fresh].size(), 10u);  // liquid, L, V, vapour
    EXPECT_EQ(pending_isolines(*water), 0);
}

// A mixture's density line ends where its pressure passes the highest
// pressure of the equations (1.16 GPa), as its isobars do: Natural Gas
// Groningen's line of 650 kg/m3 passes it near 400 K; that of 750 kg/m3 lies
// at 1.8 GPa at 249 K, where each of its states had been searched for in
// seconds.
TEST(MixtureIsolines, DensityLineEndsAtTheHighestPressure) {
    diagtest::fresh_fluids();
    Fluid* gas = fluids.find("Natural Gas Groningen");
    ASSERT_NE(gas, nullptr);
    init_stoffwerte(gas);
    for (IsoFamily& fam : gas->iso) {
        fam.computed.assign(static_cast<std::size_t>(iso_count(fam)), 1);
        fam.lines.resize(fam.computed.size());
        fam.wet.resize(fam.computed.size());
    }
    const int line = iso_add_position(gas->iso[ISO_ISOCHOR], 650.0);
    calc_isolines(*gas);
    const auto& points = gas->iso[ISO_ISOCHOR].lines[static_cast<std::size_t>(line)];
    EXPECT_FALSE(points.empty());
    double hottest = 0.0;
    for (const IsoPoint& pt : points) {
        EXPECT_LE(pt.p, gas->pmax) << pt.T;
        hottest = std::max(hottest, pt.T);
    }
    EXPECT_GT(hottest, 300.0);  // (its last point below it)
    EXPECT_LT(hottest, 400.0);
}

class CountingProgress : public IsolineProgress {
public:
    int begins = 0, steps = 0, ends = 0;
    std::vector<std::string> texts;
    Fluid* other = nullptr;
    long nested_calls = -1;
    void begin() override { ++begins; }
    void step(double fraction, const std::string& text) override {
        EXPECT_GE(fraction, 0.0);
        EXPECT_LT(fraction, 1.0);
        ++steps;
        texts.push_back(text);
        if (other != nullptr) {
            // What a handler run while events are let through might do.
            init_stoffwerte(other);
            nested_calls = calc_isolines(*other);
        }
    }
    void end() override { ++ends; }
};

// Nothing pending: back at once, no progress, library_busy as it was. A
// busy library (a calculation runs) computes nothing either.
TEST_F(Isolines, NothingPendingOrBusyReturnsAtOnce) {
    CountingProgress progress;
    const int busy = library_busy.load();
    EXPECT_EQ(calc_isolines(*water, &progress), 0);
    EXPECT_EQ(progress.begins + progress.steps + progress.ends, 0);
    EXPECT_EQ(library_busy.load(), busy);

    Fluid* co2 = fluids[7];
    ++library_busy;
    EXPECT_EQ(calc_isolines(*co2, &progress), 0);
    --library_busy;
    EXPECT_EQ(progress.steps, 0);
    EXPECT_EQ(co2->iso[ISO_ISOBAR].computed[0], 0);
}

// Progress comes once per line with its text; a progress call that sets
// another fluid up and asks for its isolines changes no line of this one
// (the nested call computes nothing, the fluid is set up again).
TEST_F(Isolines, ProgressAskingForAnotherFluidChangesNoLine) {
    const Fluid reference = *water;
    diagtest::fresh_fluids();
    water = fluids[FLUID_WATER];
    CountingProgress progress;
    progress.other = fluids[FLUID_DRY_ISO_AIR];
    calc_isolines(*water, &progress);
    EXPECT_EQ(progress.begins, 1);
    EXPECT_EQ(progress.ends, 1);
    EXPECT_EQ(progress.steps, 13 + 17 + 14 + 9);
    EXPECT_EQ(progress.texts[0], "Calculating isobar number 0, p = 0.050000 bar");
    EXPECT_EQ(progress.texts.back(), "");  // wetness lines keep the text
    EXPECT_EQ(progress.nested_calls, 0);
    EXPECT_EQ(fluids[FLUID_DRY_ISO_AIR]->iso[ISO_ISOBAR].computed[0], 0);
    for (int f = 0; f < NUM_ISO_FAMILIES; ++f) {
        const IsoFamily& a = water->iso[f];
        const IsoFamily& b = reference.iso[f];
        ASSERT_EQ(a.lines.size(), b.lines.size());
        for (std::size_t i = 0; i < a.lines.size(); ++i) {
            ASSERT_EQ(a.lines[i].size(), b.lines[i].size()) << f << " " << i;
            for (std::size_t k = 0; k < a.lines[i].size(); ++k) {
                EXPECT_EQ(a.lines[i][k].T, b.lines[i][k].T);
                EXPECT_EQ(a.lines[i][k].rho, b.lines[i][k].rho);
            }
        }
        for (std::size_t i = 0; i < a.wet.size(); ++i)
            for (std::size_t k = 0; k < a.wet[i].size(); ++k)
                EXPECT_EQ(a.wet[i][k].s, b.wet[i][k].s);
    }
    EXPECT_EQ(library_busy.load(), 0);
}

// One line of a fluid computed alone: every other position marked done.
const std::vector<IsoPoint>& only_line(Fluid& f, int family, double position) {
    init_stoffwerte(&f);
    for (IsoFamily& fam : f.iso) fam.computed.assign(static_cast<std::size_t>(iso_count(fam)), 1);
    const int i = iso_find(f.iso[family], position);
    EXPECT_GE(i, 0);
    f.iso[family].computed[static_cast<std::size_t>(i)] = 0;
    calc_isolines(f);
    return f.iso[family].lines[static_cast<std::size_t>(i)];
}

// The line of a fluid at a position, added to its family when it is none
// of the defaults.
const std::vector<IsoPoint>& line_at(Fluid& f, int family, double position) {
    if (iso_find(f.iso[family], position) < 0) iso_add_position(f.iso[family], position);
    return only_line(f, family, position);
}

struct LineRow {
    const char* fluid;
    int family;
    double position;
};

std::ostream& operator<<(std::ostream& os, const LineRow& r) {
    return os << r.fluid << " family " << r.family << " at " << r.position;
}

// Lines whose first point needed retries: a retry that ran past the next
// point made the line double back (ethane's 750 kg/m3 line at 217 K,
// 186 K, 220 K; Humid ISO Air's isobars at 259 K, then 248 K). Along an
// isobar and a density line T and s rise, along an isotherm p falls and s
// rises.
class IsolinesOneWay : public ::testing::TestWithParam<LineRow> {};

TEST_P(IsolinesOneWay, LineNeverDoublesBack) {
    diagtest::fresh_fluids();
    const LineRow row = GetParam();
    Fluid* f = fluids.find(row.fluid);
    ASSERT_NE(f, nullptr);
    const std::vector<IsoPoint>& line = only_line(*f, row.family, row.position);
    ASSERT_GE(line.size(), 3u);
    for (std::size_t k = 1; k < line.size(); ++k) {
        const IsoPoint &a = line[k - 1], &b = line[k];
        if (row.family == ISO_ISOTHERM)
            EXPECT_LT(b.p, a.p) << k;
        else
            EXPECT_GT(b.T, a.T) << k;
        EXPECT_GT(b.s, a.s) << k << " T " << a.T << " -> " << b.T;
    }
}

INSTANTIATE_TEST_SUITE_P(Retried, IsolinesOneWay,
                         ::testing::Values(LineRow{"Ethane", ISO_ISOCHOR, 750},
                                           LineRow{"Oxygen", ISO_ISOCHOR, 750},
                                           LineRow{"Humid ISO Air", ISO_ISOBAR, 10},
                                           LineRow{"Hydrogen", ISO_ISOTHERM, 50}));

// A user mixture of the given components ("Hydrogen 0.5, Water 0.5"), of
// the general kind, as a fluid-definition file defines it.
Fluid* user_mixture(const std::string& components) {
    std::istringstream in(components);
    std::string item, lines;
    int count = 0;
    while (std::getline(in, item, ',')) {
        const std::size_t cut = item.find_last_of(' ');
        const std::size_t start = item.find_first_not_of(' ');
        lines += " Component \"" + item.substr(start, cut - start) + "\" mol_proz \"" +
                 item.substr(cut + 1) + "\" \n";
        ++count;
    }
    const std::string text =
        "Fluid Definition File Version = 1.0\n\n#START Fluid Definition\n Fluid name = \"Test "
        "mixture\"\n Az parts = \"" +
        std::to_string(count) + "\"\n Fluid humidity type = \"4\"\n" + lines +
        "#END Fluid definition\n";
    std::string error;
    std::unique_ptr<Fluid> f = import_fluid_text(text, error);
    EXPECT_NE(f, nullptr) << error;
    return f ? fluids.append(std::move(f)) : nullptr;
}

// A working fluid by name; a library fluid that is no built-in one (such
// as "r32") as a pure fluid of the Pure Fluids group, its defaults those of
// nitrogen, appended after the built-in fluids; components with their mole
// fractions as a user mixture.
Fluid* fluid_named(const char* name) {
    if (Fluid* f = fluids.find(name)) return f;
    fluids.truncate(NUM_BUILTIN_FLUIDS);
    if (std::string(name).find(',') != std::string::npos) return user_mixture(name);
    auto f = std::make_unique<Fluid>(*fluids[FLUID_NITROGEN]);
    f->name = f->components = name;
    f->ref_code = "DEF";
    f->comp_index[0] = -1;
    f->dome_count = 0;
    init_iso_positions(*f);
    return fluids.append(std::move(f));
}

struct ChordRow {
    const char* fluid;
    int type;
    int family;
    double position;
    // The diagram's axes span the line (a user mixture has the default
    // axes of nitrogen), else the fluid's default axes.
    bool whole_line = false;
};

std::ostream& operator<<(std::ostream& os, const ChordRow& r) {
    return os << r.fluid << " type " << r.type << " family " << r.family << " at " << r.position;
}

// What a user sees of a line: each drawn segment of it, at 1024 x 800, runs
// within a few pixels of the state halfway along it. Hydrogen's 50 K
// isotherm had only its 114 MPa and 0.1 kPa points (a chord 160 pixels off
// its line across the h-s diagram), oxygen's 750 kg/m3 line two points 98
// pixels off; R134A's 400 K isotherm ran straight from 4.0 MPa to 0.1 kPa
// (49 pixels off in the p-h diagram: its midpoints were refused for an
// enthalpy above that at the highest temperature and pressure; so were
// those of R245CA's 0.5 MPa isobar, 64 pixels off in its T-s diagram);
// butane's and R12's 5 MPa isobars bend both ways above the critical
// point and had kept one straight segment there (36 and 45 pixels off);
// R32's 0.2 kg/m3 line kept one across its dew point (35 pixels off).
// Isotherms of mixtures with water bend where the water condenses, at low
// pressure: hydrogen with water 1:1 ran straight from 42 kPa to 0.1 kPa at
// 300 K (32 pixels off in h-s), a flue gas from 12.9 kPa to 0.1 kPa at
// 250 K (13 pixels off), and methane with 30 % pentane at 350 K from
// 1.67 MPa to 0.83 MPa across its dew point (12 pixels off in p-s).
constexpr const char* FLUE_GAS =
    "Nitrogen 0.72, Carbon dioxide 0.09, Water 0.16, Oxygen 0.02, Argon 0.01";

class IsolinesAsDrawn : public ::testing::TestWithParam<ChordRow> {
protected:
    void TearDown() override { fluids.truncate(NUM_BUILTIN_FLUIDS); }
};

TEST_P(IsolinesAsDrawn, SegmentsFollowTheLine) {
    constexpr double LONG_SEGMENT = 30;  // pixels: shorter ones cannot stray far
    constexpr double OFF_LINE = 6;       // pixels
    diagtest::fresh_fluids();
    const ChordRow row = GetParam();
    Fluid* f = fluid_named(row.fluid);
    ASSERT_NE(f, nullptr);
    const std::vector<IsoPoint>& line = line_at(*f, row.family, row.position);
    auto g = diagtest::make_graph(fluids.index_of(f), row.type);
    const int xq = g->x_axis.quantity, yq = g->y_axis.quantity;
    if (row.whole_line) {
        const auto [x0, x1] = std::minmax_element(line.begin(), line.end(), [&](auto& a, auto& b) {
            return iso_value(a, xq) < iso_value(b, xq);
        });
        const auto [y0, y1] = std::minmax_element(line.begin(), line.end(), [&](auto& a, auto& b) {
            return iso_value(a, yq) < iso_value(b, yq);
        });
        g->x_axis.min_pos = iso_value(*x0, xq), g->x_axis.max_pos = iso_value(*x1, xq);
        g->y_axis.min_pos = iso_value(*y0, yq), g->y_axis.max_pos = iso_value(*y1, yq);
    }
    diagtest::draw(*g, 1024, 800);
    const Mapping m = mapping_of(*g);
    ASSERT_TRUE(m.usable);
    const auto pixel = [&](const IsoPoint& p) {
        return std::pair{m.X(iso_value(p, xq)), m.Y(iso_value(p, yq))};
    };
    // Long segments counted where the user sees them: a mixture's isobar
    // runs from 56 K to 1,994 K, far beyond Dry ISO Air's T-s diagram.
    const auto seen = [&](double x, double y) {
        return x >= m.plot_left() && x <= m.plot_right() && y >= m.plot_top() &&
               y <= m.plot_bottom();
    };
    int long_segments = 0;
    for (std::size_t k = 1; k < line.size(); ++k) {
        const IsoPoint &a = line[k - 1], &b = line[k];
        const auto [ax, ay] = pixel(a);
        const auto [bx, by] = pixel(b);
        const double length = std::hypot(bx - ax, by - ay);
        if (!(length > LONG_SEGMENT)) continue;
        if (seen(ax, ay) || seen(bx, by)) ++long_segments;
        double T = row.family == ISO_ISOTHERM ? row.position : (a.T + b.T) / 2;
        double p = row.family == ISO_ISOTHERM ? (a.p + b.p) / 2 : row.position;
        double rho = row.position, s = 0, h = 0, q = 0;
        const int r = row.family == ISO_ISOCHOR
                          ? get_all_by_T_and_rho(f->x.data(), T, p, s, h, rho, q)
                          : get_all_by_T_and_p(f->x.data(), T, p, s, h, rho, q);
        if (r != 0) continue;
        const auto [mx, my] = pixel(IsoPoint{s, h, p, T, rho});
        const double t =
            std::clamp(((mx - ax) * (bx - ax) + (my - ay) * (by - ay)) / (length * length), 0., 1.);
        EXPECT_LT(std::hypot(ax + t * (bx - ax) - mx, ay + t * (by - ay) - my), OFF_LINE)
            << "segment " << k << " of " << line.size() << ": T " << a.T << ".." << b.T << " p "
            << a.p << ".." << b.p;
    }
    EXPECT_LT(long_segments, 20);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, IsolinesAsDrawn,
    ::testing::Values(ChordRow{"Hydrogen", 0, ISO_ISOTHERM, 50},
                      ChordRow{"Oxygen", 2, ISO_ISOCHOR, 750},
                      ChordRow{"R134A", 3, ISO_ISOTHERM, 400},
                      ChordRow{"R245CA", 2, ISO_ISOBAR, 500},
                      ChordRow{"Butane", 2, ISO_ISOBAR, 5000}, ChordRow{"R12", 2, ISO_ISOBAR, 5000},
                      ChordRow{"r32", 2, ISO_ISOCHOR, 0.2},
                      ChordRow{"Hydrogen 0.5, Water 0.5", 1, ISO_ISOTHERM, 300},
                      ChordRow{FLUE_GAS, 0, ISO_ISOTHERM, 250},
                      ChordRow{"Methane 0.7, Pentane 0.3", 1, ISO_ISOTHERM, 350}));

// Mixture lines below the critical temperature, through the two-phase
// region: the blend's and Dry ISO Air's isotherms in p-h and h-s, their
// isobars in T-s and h-s, a density line; the flue gas's isobar where its
// water condenses; a natural gas's isotherm and isobar.
INSTANTIATE_TEST_SUITE_P(
    TwoPhase, IsolinesAsDrawn,
    ::testing::Values(ChordRow{"Propane 0.5, Isobutane 0.5", 3, ISO_ISOTHERM, 300, true},
                      ChordRow{"Propane 0.5, Isobutane 0.5", 0, ISO_ISOTHERM, 250, true},
                      ChordRow{"Propane 0.5, Isobutane 0.5", 2, ISO_ISOBAR, 500, true},
                      ChordRow{"Propane 0.5, Isobutane 0.5", 0, ISO_ISOBAR, 1000, true},
                      ChordRow{"Propane 0.5, Isobutane 0.5", 2, ISO_ISOCHOR, 100, true},
                      ChordRow{"Dry ISO Air", 3, ISO_ISOTHERM, 100, true},
                      ChordRow{"Dry ISO Air", 2, ISO_ISOBAR, 100},
                      ChordRow{"Dry ISO Air", 2, ISO_ISOBAR, 1000, true},
                      ChordRow{FLUE_GAS, 2, ISO_ISOBAR, 100, true},
                      ChordRow{"Natural Gas Groningen", 3, ISO_ISOTHERM, 175, true},
                      ChordRow{"Natural Gas Groningen", 2, ISO_ISOBAR, 1000, true}));

struct BrokenRow {
    const char* components;
    double T;                // K
    double p_below;          // kPa: the states the library has lie below
    std::size_t min_points;  // of the line kept
};

std::ostream& operator<<(std::ostream& os, const BrokenRow& r) {
    return os << r.components << " at " << r.T;
}

// Isotherms on which the library has no states between high pressures and
// the gas or the bubble point (CO2, pentane or hexane would freeze out):
// the line is the part below the gap, no straight segment from 1 GPa down
// to 0.1 kPa, every segment across a pressure ratio of 2 or more a stretch
// of states.
class BrokenIsotherms : public ::testing::TestWithParam<BrokenRow> {
protected:
    void TearDown() override { fluids.truncate(NUM_BUILTIN_FLUIDS); }
};

TEST_P(BrokenIsotherms, KeepThePartBelowTheGap) {
    diagtest::fresh_fluids();
    const BrokenRow row = GetParam();
    Fluid* f = fluid_named(row.components);
    ASSERT_NE(f, nullptr);
    const std::vector<IsoPoint> line = only_line(*f, ISO_ISOTHERM, row.T);
    ASSERT_GE(line.size(), row.min_points);
    EXPECT_LT(line.front().p, row.p_below);
    for (std::size_t k = 1; k < line.size(); ++k) {
        EXPECT_LT(line[k].p, line[k - 1].p);
        if (line[k - 1].p < 2 * line[k].p) continue;
        double T = row.T, p = std::sqrt(line[k - 1].p * line[k].p), s = 0, h = 0, rho = 0, q = 0;
        EXPECT_EQ(get_all_by_T_and_p(f->x.data(), T, p, s, h, rho, q), 0) << "at " << p << " kPa";
    }
}

constexpr const char* GAS_WITH_HEAVY_ENDS =
    "Methane 0.83, Ethane 0.07, Propane 0.03, Butane 0.015, Isobutane 0.01, Pentane 0.01, "
    "Hexane 0.005, Nitrogen 0.015, Carbon dioxide 0.015";

INSTANTIATE_TEST_SUITE_P(
    Freezing, BrokenIsotherms,
    ::testing::Values(
        BrokenRow{"Carbon monoxide 0.4, Hydrogen 0.45, Carbon dioxide 0.1, Methane 0.05", 175, 1000,
                  10},
        BrokenRow{"Nitrogen 0.83, Carbon dioxide 0.12, Oxygen 0.04, Argon 0.01", 175, 200, 10},
        BrokenRow{GAS_WITH_HEAVY_ENDS, 125, 1100, 1},
        BrokenRow{GAS_WITH_HEAVY_ENDS, 150, 1100, 1}));

struct GapRow {
    const char* fluid;
    int family;  // an isobar or a density line
    double position;
    double T_above;  // K: the states the library has lie above
};

std::ostream& operator<<(std::ostream& os, const GapRow& r) {
    return os << r.fluid << " family " << r.family << " at " << r.position;
}

// Mixture isobars and density lines from Tmin on which the library has no
// states between a cold liquid and the gas (water or heavy ends would
// freeze out): the line is the part above the gap, every segment across
// 10 K or more a stretch of states. (Humid ISO Air's 10 kPa isobar ran
// straight from a liquid at 63 K to its gas at 251 K.)
class IsolinesAboveGap : public ::testing::TestWithParam<GapRow> {
protected:
    void TearDown() override { fluids.truncate(NUM_BUILTIN_FLUIDS); }
};

TEST_P(IsolinesAboveGap, KeepThePartAboveTheGap) {
    diagtest::fresh_fluids();
    const GapRow row = GetParam();
    Fluid* f = fluid_named(row.fluid);
    ASSERT_NE(f, nullptr);
    const std::vector<IsoPoint> line = line_at(*f, row.family, row.position);
    ASSERT_GE(line.size(), 10u);
    EXPECT_GT(line.front().T, row.T_above);
    for (std::size_t k = 1; k < line.size(); ++k) {
        EXPECT_GT(line[k].T, line[k - 1].T);
        if (line[k].T - line[k - 1].T < 10) continue;
        double T = (line[k].T + line[k - 1].T) / 2, p = row.position, rho = row.position;
        double s = 0, h = 0, q = 0;
        const int r = row.family == ISO_ISOBAR
                          ? get_all_by_T_and_p(f->x.data(), T, p, s, h, rho, q)
                          : get_all_by_T_and_rho(f->x.data(), T, p, s, h, rho, q);
        EXPECT_EQ(r, 0) << "at " << T << " K";
    }
}

INSTANTIATE_TEST_SUITE_P(Freezing, IsolinesAboveGap,
                         ::testing::Values(GapRow{"Humid ISO Air", ISO_ISOBAR, 10, 200},
                                           GapRow{"Humid ISO Air", ISO_ISOBAR, 100, 200},
                                           GapRow{FLUE_GAS, ISO_ISOBAR, 100, 200}));

// Dry ISO Air's isotherms as a diagram first computes them, all together,
// and each computed alone afterwards: the same states (a state taken again
// from one line's earlier flashes comes from that line only). Below the
// critical temperature the line runs through the bubble point, flashed at
// (T, q = 0).
TEST(MixtureIsolines, IsothermAloneIsTheSameAsAmongTheOthers) {
    diagtest::fresh_fluids();
    Fluid* air = fluids[FLUID_DRY_ISO_AIR];
    calc_isolines(*air);
    const std::vector<std::vector<IsoPoint>> together = air->iso[ISO_ISOTHERM].lines;
    for (const double T : {75.0, 125.0, 200.0, 300.0}) {
        const int i = iso_find(air->iso[ISO_ISOTHERM], T);
        ASSERT_GE(i, 0);
        const std::vector<IsoPoint>& first = together[static_cast<std::size_t>(i)];
        const std::vector<IsoPoint> alone = only_line(*air, ISO_ISOTHERM, T);
        ASSERT_EQ(alone.size(), first.size()) << T;
        ASSERT_GE(alone.size(), 10u) << T;
        for (std::size_t k = 0; k < alone.size(); ++k) {
            EXPECT_EQ(alone[k].p, first[k].p) << T << " K, point " << k;
            EXPECT_LE(rel(alone[k].rho, first[k].rho), 1e-9) << T << " K, point " << k;
            EXPECT_LE(rel(alone[k].h, first[k].h), 1e-9) << T << " K, point " << k;
        }
        if (!(T < air->Tc)) continue;
        double t = T, p = 0, s = 0, h = 0, rho = 0, q = 0;
        ASSERT_EQ(get_all_by_T_and_q(air->x.data(), t, p, s, h, rho, q), 0) << T;
        EXPECT_TRUE(std::any_of(alone.begin(), alone.end(), [&](const IsoPoint& pt) {
            return rel(pt.p, p) <= 1e-9 && rel(pt.rho, rho) <= 1e-9;
        })) << T;
    }
}

struct GlideRow {
    const char* fluid;
    double T;  // K, an isotherm below the critical temperature
    double p;  // kPa, an isobar that crosses the two-phase region
};

std::ostream& operator<<(std::ostream& os, const GlideRow& r) {
    return os << r.fluid << " at " << r.T << " K and " << r.p << " kPa";
}

// A mixture's isotherm below its critical temperature runs from the
// compressed liquid through its bubble point, states of both phases, its
// dew point and the vapour towards pmin; its isobar from low temperatures
// through its bubble point, the glide and its dew point to the gas. (The
// isotherm ended at the bubble point, the isobar began above the critical
// temperature: a heat pump's blend showed no isotherm below it in its p-h
// diagram, no isobar below 390 K in its T-s diagram.)
class MixtureGlide : public ::testing::TestWithParam<GlideRow> {
protected:
    void TearDown() override { fluids.truncate(NUM_BUILTIN_FLUIDS); }
};

TEST_P(MixtureGlide, LinesRunThroughTheTwoPhaseRegion) {
    diagtest::fresh_fluids();
    const GlideRow row = GetParam();
    Fluid* f = fluid_named(row.fluid);
    ASSERT_NE(f, nullptr);
    ASSERT_GT(f->az_components, 1);
    const std::vector<IsoPoint> isotherm = line_at(*f, ISO_ISOTHERM, row.T);
    ASSERT_LT(row.T, f->Tc);
    double T = row.T, p_bubble = 0, p_dew = 0, s = 0, h = 0, rho = 0, q = 0;
    ASSERT_EQ(get_all_by_T_and_q(f->x.data(), T, p_bubble, s, h, rho, q), 0);
    q = 1;
    ASSERT_EQ(get_all_by_T_and_q(f->x.data(), T, p_dew, s, h, rho, q), 0);
    ASSERT_GT(p_bubble, p_dew);
    const auto at_p = [&](double p) {
        return std::count_if(isotherm.begin(), isotherm.end(),
                             [&](const IsoPoint& pt) { return rel(pt.p, p) < 1e-9; });
    };
    const auto p_between = [&](double lo, double hi) {
        return std::count_if(isotherm.begin(), isotherm.end(),
                             [&](const IsoPoint& pt) { return pt.p > lo && pt.p < hi; });
    };
    EXPECT_EQ(at_p(p_bubble), 1);
    EXPECT_EQ(at_p(p_dew), 1);
    EXPECT_GE(p_between(p_bubble, f->pmax), 3);  // the compressed liquid
    EXPECT_GE(p_between(p_dew, p_bubble), 2);    // the glide
    EXPECT_LT(isotherm.back().p, p_dew / 10);    // the vapour
    for (std::size_t k = 1; k < isotherm.size(); ++k) EXPECT_LT(isotherm[k].p, isotherm[k - 1].p);

    const std::vector<IsoPoint> isobar = line_at(*f, ISO_ISOBAR, row.p);
    double T_bubble = 0, T_dew = 0, p = row.p;
    q = 0;
    ASSERT_EQ(get_all_by_p_and_q(f->x.data(), T_bubble, p, s, h, rho, q), 0);
    q = 1;
    ASSERT_EQ(get_all_by_p_and_q(f->x.data(), T_dew, p, s, h, rho, q), 0);
    ASSERT_LT(T_bubble, T_dew);
    const auto at_T = [&](double t) {
        return std::count_if(isobar.begin(), isobar.end(),
                             [&](const IsoPoint& pt) { return rel(pt.T, t) < 1e-9; });
    };
    const auto glide = std::count_if(isobar.begin(), isobar.end(), [&](const IsoPoint& pt) {
        return pt.T > T_bubble && pt.T < T_dew;
    });
    EXPECT_EQ(at_T(T_bubble), 1);
    EXPECT_EQ(at_T(T_dew), 1);
    EXPECT_GE(glide, 3);
    EXPECT_LT(isobar.front().T, T_bubble);
    EXPECT_GT(isobar.back().T, T_dew);
    for (std::size_t k = 1; k < isobar.size(); ++k) {
        EXPECT_GT(isobar[k].T, isobar[k - 1].T) << k;
        EXPECT_GT(isobar[k].s, isobar[k - 1].s) << k;
    }
}

constexpr const char* HEAT_PUMP_BLEND = "Propane 0.5, Isobutane 0.5";
// A natural gas without carbon dioxide and pentane, which freeze out of the
// cold liquid of Natural Gas Groningen.
constexpr const char* LEAN_NATURAL_GAS =
    "Methane 0.88, Ethane 0.06, Propane 0.025, Butane 0.01, Nitrogen 0.025";

INSTANTIATE_TEST_SUITE_P(Mixtures, MixtureGlide,
                         ::testing::Values(GlideRow{HEAT_PUMP_BLEND, 300, 500},
                                           GlideRow{HEAT_PUMP_BLEND, 250, 100},
                                           GlideRow{"Dry ISO Air", 100, 100},
                                           GlideRow{"Dry ISO Air", 125, 1000}));

struct FamilyRow {
    const char* fluid;
    int family;
};

std::ostream& operator<<(std::ostream& os, const FamilyRow& r) {
    return os << r.fluid << " family " << r.family;
}

// Every point of a mixture's lines at their default positions, flashed
// back from its own (p, h), gives its T and rho: the compressed liquid,
// the states of both phases and the gas.
class MixtureLinesFlashBack : public ::testing::TestWithParam<FamilyRow> {
protected:
    void TearDown() override { fluids.truncate(NUM_BUILTIN_FLUIDS); }
};

TEST_P(MixtureLinesFlashBack, EveryPointFlashesBack) {
    diagtest::fresh_fluids();
    const FamilyRow row = GetParam();
    Fluid* f = fluid_named(row.fluid);
    ASSERT_NE(f, nullptr);
    init_stoffwerte(f);
    for (int family = 0; family < NUM_ISO_FAMILIES; ++family) {
        IsoFamily& fam = f->iso[family];
        fam.computed.assign(static_cast<std::size_t>(iso_count(fam)), family == row.family ? 0 : 1);
    }
    calc_isolines(*f);
    int points = 0, two_phase = 0;
    std::vector<std::string> bad;
    for (const auto& line : f->iso[row.family].lines)
        for (const IsoPoint& pt : line) {
            ++points;
            double q = -1;
            std::string why = flash_back(*f, pt.p, pt.h, pt.T, pt.rho, -1, &q);
            two_phase += q > 0 && q < 1 ? 1 : 0;
            if (!why.empty()) bad.push_back(why);
        }
    EXPECT_GT(points, 50);
    EXPECT_GT(two_phase, 0);
    EXPECT_TRUE(bad.empty()) << bad.size() << " of " << points << ", first: " << bad[0];
}

INSTANTIATE_TEST_SUITE_P(
    Mixtures, MixtureLinesFlashBack,
    ::testing::Values(FamilyRow{HEAT_PUMP_BLEND, ISO_ISOBAR},
                      FamilyRow{HEAT_PUMP_BLEND, ISO_ISOTHERM},
                      FamilyRow{HEAT_PUMP_BLEND, ISO_ISOCHOR}, FamilyRow{"Dry ISO Air", ISO_ISOBAR},
                      FamilyRow{"Dry ISO Air", ISO_ISOTHERM}, FamilyRow{"Dry ISO Air", ISO_ISOCHOR},
                      // (The flue gas's isotherms: 1,600 points flashed back in
                      // 25 s; its 250 K isotherm is drawn below.)
                      FamilyRow{FLUE_GAS, ISO_ISOBAR}, FamilyRow{LEAN_NATURAL_GAS, ISO_ISOBAR},
                      FamilyRow{LEAN_NATURAL_GAS, ISO_ISOTHERM}));

// The walk refines where the line bends, never splits the two-phase
// stretch between L and V, and ends however the saturation points lie.
TEST(IsolineWalk, RefinesBendsOnlyAndEnds) {
    // s(T): straight on the liquid side, bent on the vapour side.
    auto point = [](double T, bool vapour) {
        IsoPoint p;
        p.T = T;
        p.s = vapour ? 6 + (T - 400) * (T - 400) / 10000 : T / 100;
        p.rho = vapour ? 1000 / T : 1000 - T;
        return p;
    };
    std::vector<IsoPoint> line = {point(300, false), point(350, false), point(400, false),
                                  point(400, true),  point(600, true),  point(900, true)};
    std::vector<double> asked;
    auto mid = [&](double T, IsoPoint& p) {
        asked.push_back(T);
        p = point(T, T > 400);
        return true;
    };
    WalkSettings w;
    w.step_var = 3, w.shape_var = 3, w.step_limit = 1, w.slope_limit = 0.1;
    w.liquid = 2, w.vapour = 3;
    refine_line(line, w, mid);
    EXPECT_GT(line.size(), 6u);
    for (double T : asked) EXPECT_GT(T, 400) << "a point between L and V or on the straight part";
    for (std::size_t k = 1; k < line.size(); ++k) EXPECT_GE(line[k].T, line[k - 1].T);

    // V before L: the walk jumps back at most ten times, then stops.
    std::vector<IsoPoint> odd = line;
    w.liquid = 4, w.vapour = 1;
    refine_line(odd, w, mid);
    EXPECT_LE(odd.size(), MAX_LINE_POINTS);
}

// A line of two points is refined like any other (its midpoint opens the
// window of three); the saturated pair alone stays as it is.
TEST(IsolineWalk, TwoPointsAreRefinedWhereTheLineBends) {
    auto point = [](double p) {
        IsoPoint pt;
        pt.p = p;
        pt.s = -std::log(p);
        return pt;
    };
    std::vector<IsoPoint> line = {point(100000), point(0.1)};
    int asked = 0;
    auto mid = [&](double p, IsoPoint& pt) {
        ++asked;
        pt = point(p);
        return true;
    };
    WalkSettings w;
    w.step_var = 2, w.shape_var = 2, w.step_limit = 10, w.slope_limit = 0.1;
    refine_line(line, w, mid);
    EXPECT_GT(line.size(), 10u);
    for (std::size_t k = 1; k < line.size(); ++k) EXPECT_LT(line[k].p, line[k - 1].p);

    std::vector<IsoPoint> pair = {point(2000), point(1000)};
    w.liquid = 0, w.vapour = 1;
    asked = 0;
    refine_line(pair, w, mid);
    EXPECT_EQ(pair.size(), 2u);
    EXPECT_EQ(asked, 0);
}

// An isotherm that bends at low pressure, where its h stops changing (a
// dew point at 1 kPa, below the step limit): the stretch from 12.9 kPa to
// 0.1 kPa is split in pressure ratios until a point lies near the bend; an
// isotherm without the bend (a gas) gets no point there.
TEST(IsolineWalk, BendAtLowPressureIsFound) {
    auto point = [](double p, bool bend) {
        IsoPoint pt;
        pt.p = p, pt.T = 250;
        pt.s = -std::log(p);
        pt.h = bend && p > 1 ? -50 * std::log(p) : 0;
        return pt;
    };
    for (const bool bend : {true, false}) {
        std::vector<IsoPoint> line;
        for (double p : {100000.0, 30000.0, 10000.0, 12.9, 0.1}) line.push_back(point(p, bend));
        std::vector<double> asked;
        auto mid = [&](double p, IsoPoint& pt) {
            asked.push_back(p);
            pt = point(p, bend);
            return true;
        };
        WalkSettings w;
        w.step_var = 2, w.shape_var = 2, w.step_limit = 10, w.slope_limit = 0.1;
        refine_line(line, w, mid);
        const bool near_bend = std::any_of(line.begin(), line.end(), [](const IsoPoint& pt) {
            return pt.p > 1 / 1.25 && pt.p < 1.25;
        });
        EXPECT_EQ(near_bend, bend);
        for (std::size_t k = 1; k < line.size(); ++k) EXPECT_LT(line[k].p, line[k - 1].p);
        const auto kept_low = std::count_if(
            line.begin(), line.end(), [](const IsoPoint& pt) { return pt.p > 0.1 && pt.p < 12.9; });
        EXPECT_EQ(kept_low > 0, bend) << kept_low;
        EXPECT_FALSE(asked.empty());
    }
}

TEST(IsolineWalk, SortByDensity) {
    IsoPoint dense, thin;
    dense.rho = 900, thin.rho = 1;
    EXPECT_EQ(sort_by_rho(dense, thin), -1);
    EXPECT_EQ(sort_by_rho(thin, dense), 1);
    EXPECT_EQ(sort_by_rho(thin, thin), 1);
}

}  // namespace
