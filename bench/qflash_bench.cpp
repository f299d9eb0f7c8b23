// The slowest quality flashes of a region sweep (TPFLSH on a grid around
// each mixture's critical point, then TQFLSH and PQFLSH back at the vapour
// fraction found): every call should stay below 50 ms, some 50-100 k
// equation-of-state evaluations for 3-10 components.  The counter "eos" is
// the number of evaluations per call, "ierr" the error of the last call
// (the refusal of the R403B state is part of the case).
//  - a natural gas at 5.63 MPa, 1.2 times its critical pressure, q 0.9966:
//    three quarters of the call go to SATP's search for a bubble point that
//    does not exist there (some 565 k evaluations before it gives up);
//  - R403B at 175.65 K, among two liquids of q 0.2754 that barely change
//    with the pressure: the split of q found first is refused as unstable
//    and the isotherm searched again, each state a (T, p) flash of 14.5 k
//    evaluations, most of them narrowing one pressure to its last digits;
//  - a gas rich in nitrogen at 199 K, q 0.9197: the march up from the dew
//    point.
#include <benchmark/benchmark.h>

#include <string>

#include "library/library.h"
#include "library/models/phik.h"

namespace {

struct Mix {
    const char* names;
    int nc;
    double x[20];
};
const Mix kTypicalGas = {
    "methane|nitrogen|co2|ethane|propane|isobutane|butane|ipentane|pentane|hexane",
    10,
    {0.95123, 0.00089, 0.02555, 0.01835, 0.00238, 0.0004, 0.00016, 0.00014, 0.00011, 0.00079}};
const Mix kR403B = {
    "propane|r22|r218", 3, {0.117083478399255, 0.668734422027154, 0.214182099573591}};
const Mix kHighN2 = {"methane|nitrogen|co2|ethane|propane|isobutane|butane",
                     7,
                     {0.81441, 0.13465, 0.00985, 0.033, 0.00605, 0.001, 0.00104}};

bool setup(const Mix& m) {
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(m.nc, m.names, "hmx", hrf, ierr, herr);
    return ierr <= 0;
}

enum class Given { Temperature, Pressure };

// The quality flash at the given T or P and molar vapour fraction q.
void quality_flash(benchmark::State& st, const Mix& m, Given given, double a, double q) {
    if (!setup(m)) return st.SkipWithError("set-up failed");
    double z[20] = {}, T = 0, P = 0, D, Dl, Dv, x[20], y[20], e, h, s, cv, cp, w;
    for (int i = 0; i < m.nc; ++i) z[i] = m.x[i];
    int ierr = 0;
    std::string herr;
    const unsigned long long e0 = lib::EOS_EVALUATIONS;
    for (auto _ : st) {
        if (given == Given::Temperature)
            lib::TQFLSH(a, q, z, 1, P, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
        else
            lib::PQFLSH(a, q, z, 1, T, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
        benchmark::DoNotOptimize(D);
    }
    st.counters["eos"] = benchmark::Counter(static_cast<double>(lib::EOS_EVALUATIONS - e0),
                                            benchmark::Counter::kAvgIterations);
    st.counters["ierr"] = ierr;
}

void BM_PQFLSH_NaturalGasAboveCriticalPressure(benchmark::State& st) {
    quality_flash(st, kTypicalGas, Given::Pressure, 5629.931281, 0.9966051732);
}
void BM_TQFLSH_R403BTwoLiquids(benchmark::State& st) {
    quality_flash(st, kR403B, Given::Temperature, 175.6491475, 0.2754298159);
}
void BM_TQFLSH_HighNitrogenGas(benchmark::State& st) {
    quality_flash(st, kHighN2, Given::Temperature, 198.9578135, 0.919729843);
}

BENCHMARK(BM_PQFLSH_NaturalGasAboveCriticalPressure)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TQFLSH_R403BTwoLiquids)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TQFLSH_HighNitrogenGas)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
