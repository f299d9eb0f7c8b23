// Property diagrams: the isolines of water, of Dry ISO Air, of a heat pump's
// blend and of a user's flue gas from nothing (every default line and the
// dome), one full drawing of a water T-s diagram into a 1024 x 800 image,
// that image written as a PNG file (as batch mode writes it, marked), and
// the pointer read-out of each diagram type (one motion event) over a grid
// of the plot.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "app/core/files/fluid_files.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/diagrams/isolines.h"
#include "app/diagrams/mapping.h"
#include "app/diagrams/png_file.h"
#include "app/diagrams/pointer.h"
#include "app/diagrams/render.h"
#include "library/models/phik.h"

namespace {

using namespace app;

Fluid* fresh(int index) {
    static bool tables = false;
    if (!tables) {
        initstuff();
        init_stoffe();
        tables = true;
    }
    Fluid* w = fluids[index];
    init_iso_positions(*w);  // every line pending again
    w->dome_count = 0;
    return w;
}

Fluid* fresh_water() { return fresh(FLUID_WATER); }

// Points of the isobars, isotherms and density lines of a fluid: beside the
// property calls, a check that a faster computation found the same lines.
long line_points(const Fluid& f) {
    long points = 0;
    for (int family = 0; family < NUM_ISO_FAMILIES; ++family)
        for (const auto& line : f.iso[static_cast<std::size_t>(family)].lines)
            points += static_cast<long>(line.size());
    return points;
}

// The counters of an isoline benchmark: the property calls and the equation
// evaluations of one round, the line points, and the evaluations per point
// (where the time goes: Dry ISO Air's isolines spend most of theirs in the
// tangent-plane tests of the (T, p) flashes below 140 K and in the
// saturation searches of the 5 MPa isobar above the cricondenbar).
void count_isolines(benchmark::State& state, const Fluid& f, long calls,
                    unsigned long long evaluations, long rounds) {
    const long points = line_points(f);
    const double per_round =
        rounds > 0 ? static_cast<double>(evaluations) / static_cast<double>(rounds) : 0.0;
    state.counters["property_calls"] = static_cast<double>(calls);
    state.counters["line_points"] = static_cast<double>(points);
    state.counters["eos_evaluations"] = per_round;
    state.counters["eos_per_point"] = points > 0 ? per_round / static_cast<double>(points) : 0.0;
}

// Times calc_isolines on f, with reset() before each round (untimed):
// the fluid's lines and whatever the round should find anew.
void time_isolines(benchmark::State& state, Fluid* f, const std::function<void()>& reset) {
    if (f == nullptr || init_stoffwerte(f) == 0) {
        state.SkipWithError("set-up failed");
        return;
    }
    long calls = 0, rounds = 0;
    unsigned long long evaluations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        reset();
        const unsigned long long e0 = lib::EOS_EVALUATIONS;
        state.ResumeTiming();
        calls = diagrams::calc_isolines(*f);
        evaluations += lib::EOS_EVALUATIONS - e0;
        ++rounds;
        benchmark::DoNotOptimize(f->dome_count);
    }
    count_isolines(state, *f, calls, evaluations, rounds);
}

void BM_CalcIsolinesWater(benchmark::State& state) {
    time_isolines(state, fresh_water(), [] { fresh_water(); });
}

// The same for a mixture: the default isolines and the dome of Dry ISO Air,
// as a user first opens them (the fluid set up anew before each round, so
// that nothing the library keeps per composition is known yet).
void BM_CalcIsolinesDryAir(benchmark::State& state) {
    Fluid* air = fresh(FLUID_DRY_ISO_AIR);
    time_isolines(state, air, [air] {
        fresh(FLUID_DRY_ISO_AIR);
        init_stoffwerte(air);
    });
}

// One family of Dry ISO Air's lines alone (state.range(0): isobars,
// isotherms, density lines; the others marked done), to tell where the
// time of the whole goes.
void only_family(Fluid& f, int family) {
    for (int k = 0; k < NUM_ISO_FAMILIES; ++k) {
        if (k == family) continue;
        IsoFamily& fam = f.iso[static_cast<std::size_t>(k)];
        fam.computed.assign(static_cast<std::size_t>(iso_count(fam)), 1);
        fam.lines.resize(fam.computed.size());
        fam.wet.resize(fam.computed.size());
    }
}

void BM_CalcIsolinesDryAirFamily(benchmark::State& state) {
    const int family = static_cast<int>(state.range(0));
    Fluid* air = fresh(FLUID_DRY_ISO_AIR);
    time_isolines(state, air, [air, family] {
        fresh(FLUID_DRY_ISO_AIR);
        only_family(*air, family);
        init_stoffwerte(air);
    });
}

// Propane/isobutane 50/50 as a user defines it: its lines run through the
// two-phase region below its critical temperature (389.6 K).
Fluid* fresh_blend() {
    static Fluid* blend = nullptr;
    if (blend == nullptr) {
        fresh(FLUID_WATER);
        std::string error;
        std::unique_ptr<Fluid> made = import_fluid_text(
            "Fluid Definition File Version = 1.0\n\n#START Fluid Definition\n"
            " Fluid name = \"Blend\"\n Az parts = \"2\"\n Fluid humidity type = \"4\"\n"
            " Component \"Propane\" mol_proz \"0.5\" \n"
            " Component \"Isobutane\" mol_proz \"0.5\" \n#END Fluid definition\n",
            error);
        if (made == nullptr) return nullptr;
        blend = fluids.append(std::move(made));
    }
    init_iso_positions(*blend);
    return blend;
}

void BM_CalcIsolinesBlend(benchmark::State& state) {
    Fluid* blend = fresh_blend();
    time_isolines(state, blend, [blend] {
        fresh_blend();
        init_stoffwerte(blend);
    });
}

// A flue gas as a user defines it (nitrogen, carbon dioxide, water, oxygen,
// argon 72/9/16/2/1): its isotherms and density lines cross the dew line of
// its water up to some 400 K, and its dense gas at 540-620 K and 20-40
// mol/L lies above the dew points of its water.
Fluid* fresh_flue_gas() {
    static Fluid* flue = nullptr;
    if (flue == nullptr) {
        fresh(FLUID_WATER);
        std::string error;
        std::unique_ptr<Fluid> made = import_fluid_text(
            "Fluid Definition File Version = 1.0\n\n#START Fluid Definition\n"
            " Fluid name = \"Flue gas\"\n Az parts = \"5\"\n Fluid humidity type = \"0\"\n"
            " Component \"Nitrogen\" mol_proz \"0.72\" \n"
            " Component \"Carbon dioxide\" mol_proz \"0.09\" \n"
            " Component \"Water\" mol_proz \"0.16\" \n"
            " Component \"Oxygen\" mol_proz \"0.02\" \n"
            " Component \"Argon\" mol_proz \"0.01\" \n#END Fluid definition\n",
            error);
        if (made == nullptr) return nullptr;
        flue = fluids.append(std::move(made));
    }
    init_iso_positions(*flue);
    flue->dome_count = 0;
    return flue;
}

void BM_CalcIsolinesFlueGas(benchmark::State& state) {
    Fluid* flue = fresh_flue_gas();
    time_isolines(state, flue, [flue] {
        fresh_flue_gas();
        init_stoffwerte(flue);
    });
}

// A fresh water T-s diagram of 1024 x 800 pixels with its isolines.
Graph* water_ts_graph() {
    Fluid* water = fresh_water();
    Graph* g = create_graph();
    g->kind = GK_DIAGRAM;
    g->fluid = water;
    g->type = 2;
    init_iso_settings(*g);
    diagrams::init_axis(*g);
    g->width = 1024;
    g->height = 800;
    diagrams::calc_isolines(*water);
    return g;
}

void BM_RedrawWaterTs(benchmark::State& state) {
    Graph* g = water_ts_graph();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1024, 800);
    cairo_t* cr = cairo_create(surface);
    for (auto _ : state) {
        diagrams::draw_graph(*g, cr);
        cairo_surface_flush(surface);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    free_graph(g);
}

// The drawn water T-s diagram written as a marked PNG file (rows made,
// deflated, chunked, the file replaced) again and again.
void BM_WritePngWaterTs(benchmark::State& state) {
    Graph* g = water_ts_graph();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1024, 800);
    cairo_t* cr = cairo_create(surface);
    diagrams::draw_graph(*g, cr);
    const std::string path = "/tmp/kvr2_bench_diagram.png";
    for (auto _ : state) {
        const std::string why = diagrams::write_png_file(surface, path, "bench.kvr");
        if (!why.empty()) {
            state.SkipWithError(why.c_str());
            break;
        }
    }
    std::remove(path.c_str());
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    free_graph(g);
}

// The read-out at 64 pixels spread over the plot of a water diagram of type
// state.range(0), in turn.
void BM_ReadoutWater(benchmark::State& state) {
    Fluid* water = fresh_water();
    Graph* g = create_graph();
    g->kind = GK_DIAGRAM;
    g->fluid = water;
    g->type = static_cast<int>(state.range(0));
    init_iso_settings(*g);
    diagrams::init_axis(*g);
    g->width = 1024, g->height = 800;
    g->left = 80, g->right = 40, g->top = 40, g->bottom = 60;
    int i = 0;
    for (auto _ : state) {
        const double px = 81 + 900.0 * (i % 8) / 8, py = 41 + 690.0 * ((i / 8) % 8) / 8;
        benchmark::DoNotOptimize(diagrams::readout_at_pixel(*g, px, py));
        ++i;
    }
    free_graph(g);
}

BENCHMARK(BM_CalcIsolinesWater)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalcIsolinesDryAir)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalcIsolinesBlend)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalcIsolinesFlueGas)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CalcIsolinesDryAirFamily)
    ->Arg(ISO_ISOBAR)
    ->Arg(ISO_ISOTHERM)
    ->Arg(ISO_ISOCHOR)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadoutWater)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedrawWaterTs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WritePngWaterTs)->Unit(benchmark::kMillisecond);

}  // namespace
