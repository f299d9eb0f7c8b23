// Warm starts of a mixture's two-phase flashes (library/phase/warmsplit.h):
// the path of a water separator, humid air at 8 bar cooled from its dew
// point to 285 K in 100 PHFLSH calls, without a scope (Arg 0, every flash
// the cold road) and inside one (Arg 1).  Time per flash; the counter "eos"
// is the number of equation-of-state evaluations per flash.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "library/library.h"
#include "library/models/phik.h"

namespace {

constexpr int kPoints = 100;
const double kHumidAir[20] = {0.7685, 0.2062, 0.0091, 0.0004, 0.0158};

// (P, h) of the path's states, from the (T, p) flash.
std::vector<std::pair<double, double>> separator_path() {
    std::vector<std::pair<double, double>> path;
    for (int k = 0; k < kPoints; ++k) {
        const double f = static_cast<double>(k) / (kPoints - 1);
        const double T = 322.0 - 37.0 * f, P = 802.0 - 8.0 * f;
        double D = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0,
               w = 0;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(T, P, kHumidAir, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        path.emplace_back(P, h);
    }
    return path;
}

void BM_SeparatorPath(benchmark::State& state) {
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(5, "nitrogen|oxygen|argon|co2|water", "hmx", hrf, ierr, herr);
    if (ierr > 0) {
        state.SkipWithError("set-up failed");
        return;
    }
    const auto path = separator_path();
    const bool warm = state.range(0) != 0;
    unsigned long long evaluations = 0;
    for (auto _ : state) {
        const unsigned long long before = lib::EOS_EVALUATIONS;
        auto scope = warm ? std::make_unique<lib::WarmStartScope>() : nullptr;
        for (const auto& [P, h] : path) {
            double T = 0, D = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e = 0, s = 0, cv = 0, cp = 0,
                   w = 0;
            lib::PHFLSH(P, h, kHumidAir, T, D, Dl, Dv, x, y, q, e, s, cv, cp, w, ierr, herr);
            benchmark::DoNotOptimize(T);
        }
        evaluations += lib::EOS_EVALUATIONS - before;
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
    state.counters["eos"] = benchmark::Counter(static_cast<double>(evaluations) / kPoints,
                                               benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SeparatorPath)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
