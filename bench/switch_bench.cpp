// The passage from one fluid to another, as the cycle solver makes it between
// the processes of a combined cycle (some 70 times in one calculation): the
// set-up of water, one flash at given (p, h), the set-up of a flue gas, one
// flash of it, per iteration.  The first flash after a set-up finds the
// bounds of its property kept from the fluid's set-ups before.
#include <benchmark/benchmark.h>

#include <string>

#include "library/library.h"
#include "tests/support/fluid.h"

namespace {

constexpr const char* kFlueGas = "nitrogen|oxygen|argon|co2|water";
constexpr double kFlueFractions[20] = {0.75, 0.12, 0.009, 0.04, 0.081};

// A flash at (p, h) of the fluid set up, at the given state's enthalpy.
double flash_at(const double z[20], double T, double P) {
    double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    double T2 = 0;
    lib::PHFLSH(P, h, z, T2, D, Dl, Dv, x, y, q, e, s, cv, cp, w, ierr, herr);
    return ierr == 0 ? T2 : 0.0;
}

void BM_SwitchWaterFlueGas(benchmark::State& state) {
    const double water[20] = {1.0};
    for (auto _ : state) {
        if (!testsupport::set_up("water").empty()) {
            state.SkipWithError("water not set up");
            return;
        }
        benchmark::DoNotOptimize(flash_at(water, 600.0, 5000.0));
        if (!testsupport::set_up(kFlueGas).empty()) {
            state.SkipWithError("flue gas not set up");
            return;
        }
        benchmark::DoNotOptimize(flash_at(kFlueFractions, 700.0, 105.0));
    }
}
BENCHMARK(BM_SwitchWaterFlueGas)->Unit(benchmark::kMillisecond);

}  // namespace
