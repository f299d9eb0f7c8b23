// Speed of the mixture model: THERM at a new (T, D) for air (3 components,
// no departure function), a 3-component natural gas (methane, ethane,
// nitrogen: two departure functions), the 20-component natural gas and the
// same under AGA8; PHIX with every derivative THERM2 asks for; FGCTY2 and
// PHIDERV to second order, also for the 3-component gas in the
// Peng-Robinson mode and under AGA8 (their own composition derivatives).
// Each iteration moves to another state of a cycle of 256, so no cache
// answers.  Targets: THERM of a 3-component gas at most 2 us; the cost
// grows with the pairs that have a departure function, not with nc^2
// exponentials; PHIDERV to second order of the 3-component gas at most
// 10 us in every model.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/phiderv.h"
#include "library/models/phik.h"
#include "library/models/pr.h"

namespace {

enum class Model { hmx, aga8, peng_robinson };

struct Gas {
    const char* label;
    const char* names;
    std::vector<double> x;
    Model model;
    double T, D;
};

const Gas kGases[] = {
    {"air (3)", "nitrogen|oxygen|argon", {0.7812, 0.2096, 0.0092}, Model::hmx, 300.0, 4.0},
    {"natural gas (3)", "methane|ethane|nitrogen", {0.9, 0.06, 0.04}, Model::hmx, 280.0, 3.0},
    {"natural gas (20)",
     "methane|nitrogen|co2|ethane|propane|isobutane|butane|ipentane|pentane|hexane|heptane|"
     "octane|nonane|decane|hydrogen|oxygen|co|water|h2s|helium",
     {0.77824, 0.02,    0.06,    0.08,    0.03,  0.0015, 0.003, 0.0005, 0.00165, 0.00215,
      0.00088, 0.00024, 0.00015, 0.00009, 0.004, 0.005,  0.002, 0.0001, 0.0025,  0.008},
     Model::hmx,
     400.0,
     10.0},
    {"natural gas (20), AGA8",
     "methane|nitrogen|co2|ethane|propane|isobutane|butane|ipentane|pentane|hexane|heptane|"
     "octane|nonane|decane|hydrogen|oxygen|co|water|h2s|helium",
     {0.77824, 0.02,    0.06,    0.08,    0.03,  0.0015, 0.003, 0.0005, 0.00165, 0.00215,
      0.00088, 0.00024, 0.00015, 0.00009, 0.004, 0.005,  0.002, 0.0001, 0.0025,  0.008},
     Model::aga8,
     400.0,
     10.0},
    {"natural gas (3), AGA8",
     "methane|ethane|nitrogen",
     {0.9, 0.06, 0.04},
     Model::aga8,
     280.0,
     3.0},
    {"natural gas (3), Peng-Robinson",
     "methane|ethane|nitrogen",
     {0.9, 0.06, 0.04},
     Model::peng_robinson,
     280.0,
     3.0},
};

bool setup(const Gas& g, double x[20]) {
    int ierr = 0, off = 0;
    std::string herr, hrf = "DEF";
    lib::UNSETAGA();
    lib::PREOS(off);
    lib::SETUP0(static_cast<int>(g.x.size()), g.names, "hmx", hrf, ierr, herr);
    if (ierr > 0) return false;
    if (g.model == Model::aga8) {
        lib::SETAGA(ierr, herr);
        if (ierr != 0) return false;
    } else if (g.model == Model::peng_robinson) {
        int on = 1;
        lib::PREOS(on);
    }
    for (int i = 0; i < 20; ++i)
        x[i] = i < static_cast<int>(g.x.size()) ? g.x[static_cast<std::size_t>(i)] : 0.0;
    return true;
}

std::vector<std::pair<double, double>> states(const Gas& g) {
    std::vector<std::pair<double, double>> s;
    for (int i = 0; i < 256; ++i)
        s.emplace_back(g.T * (1.0 + 1e-4 * i), g.D * (1.0 + 1e-4 * (i % 7)));
    return s;
}

void BM_MixtureTherm(benchmark::State& st) {
    const Gas& g = kGases[st.range(0)];
    double x[20];
    if (!setup(g, x)) return st.SkipWithError("set-up failed");
    st.SetLabel(g.label);
    const auto s = states(g);
    double P, e, h, sv, cv, cp, w, hjt;
    std::size_t i = 0;
    for (auto _ : st) {
        const auto& [T, D] = s[i++ & 255];
        lib::THERM(T, D, x, P, e, h, sv, cv, cp, w, hjt);
        benchmark::DoNotOptimize(w);
    }
}

// The residual derivatives of THERM2 (ten orders) at a new state each time.
void BM_MixturePhix(benchmark::State& st) {
    const Gas& g = kGases[st.range(0)];
    double x[20];
    if (!setup(g, x)) return st.SkipWithError("set-up failed");
    st.SetLabel(g.label);
    double tred = 0, dred = 0;
    lib::REDX(x, tred, dred);
    const auto s = states(g);
    constexpr int kOrders[][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 2},
                                  {2, 0}, {1, 2}, {2, 1}, {0, 3}, {3, 0}};
    std::size_t i = 0;
    for (auto _ : st) {
        const auto& [T, D] = s[i++ & 255];
        double sum = 0.0;
        for (const auto& o : kOrders) sum += lib::PHIX(o[0], o[1], tred / T, D / dred, x);
        benchmark::DoNotOptimize(sum);
    }
}

void BM_Fgcty2(benchmark::State& st) {
    const Gas& g = kGases[st.range(0)];
    double x[20];
    if (!setup(g, x)) return st.SkipWithError("set-up failed");
    st.SetLabel(g.label);
    const auto s = states(g);
    double f[20];
    int ierr = 0;
    std::string herr;
    std::size_t i = 0;
    for (auto _ : st) {
        const auto& [T, D] = s[i++ & 255];
        lib::FGCTY2(T, D, x, f, ierr, herr);
        benchmark::DoNotOptimize(f[0]);
    }
}

void BM_Phiderv2(benchmark::State& st) {
    const Gas& g = kGases[st.range(0)];
    double x[20];
    if (!setup(g, x)) return st.SkipWithError("set-up failed");
    st.SetLabel(g.label);
    const auto s = states(g);
    double dadn[20], dnadn[20];
    int ierr = 0;
    std::string herr;
    std::size_t i = 0;
    for (auto _ : st) {
        const auto& [T, D] = s[i++ & 255];
        lib::PHIDERV(2, T, D, x, dadn, dnadn, ierr, herr);
        benchmark::DoNotOptimize(dnadn[0]);
    }
}

// A full set-up of the 20-component gas (every pair searched in the text).
void BM_MixtureSetup(benchmark::State& st) {
    const Gas& g = kGases[2];
    for (auto _ : st) {
        int ierr = 0;
        std::string herr, hrf = "DEF";
        lib::SETUP0(1, "nitrogen", "hmx", hrf, ierr, herr);
        lib::SETUP0(static_cast<int>(g.x.size()), g.names, "hmx", hrf, ierr, herr);
        benchmark::DoNotOptimize(ierr);
    }
}

BENCHMARK(BM_MixtureTherm)->DenseRange(0, 3);
BENCHMARK(BM_MixturePhix)->DenseRange(0, 3);
BENCHMARK(BM_Fgcty2)->DenseRange(0, 5);
BENCHMARK(BM_Phiderv2)->DenseRange(0, 5);
BENCHMARK(BM_MixtureSetup)->Unit(benchmark::kMillisecond);

}  // namespace
