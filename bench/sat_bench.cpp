// Saturation at given temperature and at given pressure, with a cold result
// cache: every call asks for another state.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "tests/support/fluid.h"

namespace {

// 64 temperatures between 1.05 Ttp and 0.97 Tc.
std::vector<double> temperatures() {
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    std::vector<double> t;
    for (int i = 0; i < 64; ++i) t.push_back(1.05 * ttp + i * (0.97 * tc - 1.05 * ttp) / 63.0);
    return t;
}

// 16 temperatures between 0.991 Tc and 0.9995 Tc, where the saturation
// state is found between the spinodals.
std::vector<double> near_critical() {
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    std::vector<double> t;
    for (int i = 0; i < 16; ++i) t.push_back(tc * (0.991 + i * 0.0085 / 15.0));
    return t;
}

void BM_SATT(benchmark::State& state, const char* fluid, bool critical = false) {
    if (!testsupport::set_up(fluid).empty()) {
        state.SkipWithError("set-up failed");
        return;
    }
    const std::vector<double> t = critical ? near_critical() : temperatures();
    double x[20] = {1.0}, P, Dl, Dv, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    std::size_t i = 0;
    for (auto _ : state) {
        lib::SATT(t[i++ % t.size()], x, 1, P, Dl, Dv, xl, xv, ierr, herr);
        benchmark::DoNotOptimize(P);
    }
}

void BM_SATP(benchmark::State& state, const char* fluid) {
    if (!testsupport::set_up(fluid).empty()) {
        state.SkipWithError("set-up failed");
        return;
    }
    std::vector<double> p;
    double x[20] = {1.0}, T, P, Dl, Dv, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    for (double t : temperatures()) {
        lib::SATT(t, x, 1, P, Dl, Dv, xl, xv, ierr, herr);
        if (ierr == 0 && P > 1e-6) p.push_back(P);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        lib::SATP(p[i++ % p.size()], x, 1, T, Dl, Dv, xl, xv, ierr, herr);
        benchmark::DoNotOptimize(T);
    }
}

BENCHMARK_CAPTURE(BM_SATT, water, "water");
BENCHMARK_CAPTURE(BM_SATT, r134a, "r134a");
BENCHMARK_CAPTURE(BM_SATT, nitrogen, "nitrogen");
BENCHMARK_CAPTURE(BM_SATT, propane, "propane");
BENCHMARK_CAPTURE(BM_SATT, co2, "co2");
BENCHMARK_CAPTURE(BM_SATT, water_near_critical, "water", true);
BENCHMARK_CAPTURE(BM_SATT, nitrogen_near_critical, "nitrogen", true);
BENCHMARK_CAPTURE(BM_SATP, water, "water");
BENCHMARK_CAPTURE(BM_SATP, r134a, "r134a");
BENCHMARK_CAPTURE(BM_SATP, nitrogen, "nitrogen");
BENCHMARK_CAPTURE(BM_SATP, propane, "propane");
BENCHMARK_CAPTURE(BM_SATP, co2, "co2");

}  // namespace
