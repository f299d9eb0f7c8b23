// The (h, s) flash of water and nitrogen over 64 single-phase states
// (liquid, vapour and supercritical, 0.4 Tc to 2 Tc) and 64 two-phase states
// (triple point to 0.9 Tc, qualities 0.05 to 0.95), cycling so that no
// saturation result is reused; and PHIBWR against PHIFEQ for the same fluid
// (all six derivatives THERM uses, at a new state each call).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/phik.h"

namespace {

bool setup(const std::string& fluid, const std::string& eos = "") {
    int ierr = 0;
    std::string herr, hrf = "DEF";
    if (!eos.empty()) {
        lib::Names20 codes;
        codes[0] = eos;
        lib::SETMOD(1, "EOS", "HMX", codes, ierr, herr);
    }
    lib::SETUP0(1, fluid, "hmx", hrf, ierr, herr);
    return ierr == 0;
}

struct HS {
    double h = 0, s = 0;
};

std::vector<HS> states(bool two_phase) {
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    if (ttp < 273.16 && tc > 600.0) ttp = 273.16;  // water
    double z[20] = {1.0}, P, D, Dl, Dv, x[20], y[20], q, e, cv, cp, w;
    int ierr = 0;
    std::string herr;
    std::vector<HS> out;
    for (int i = 0; i < 64; ++i) {
        const double f = (i + 0.5) / 64.0, g = ((i * 37) % 64 + 0.5) / 64.0;
        HS st;
        if (two_phase) {
            const double T = ttp + f * (0.9 * tc - ttp);
            lib::TQFLSH(T, 0.05 + 0.9 * g, z, 1, P, D, Dl, Dv, x, y, e, st.h, st.s, cv, cp, w, ierr,
                        herr);
        } else {
            const double T = (0.4 + 1.6 * f) * tc;
            lib::TPFLSH(std::max(T, ttp + 1.0), pc * (0.01 + 2.0 * g), z, D, Dl, Dv, x, y, q, e,
                        st.h, st.s, cv, cp, w, ierr, herr);
        }
        if (ierr == 0) out.push_back(st);
    }
    return out;
}

void BM_Hsflsh(benchmark::State& state, const char* fluid, bool two_phase) {
    if (!setup(fluid)) {
        state.SkipWithError("set-up failed");
        return;
    }
    const std::vector<HS> st = states(two_phase);
    double z[20] = {1.0}, T, P, D, Dl, Dv, x[20], y[20], q, e, cv, cp, w;
    int ierr = 0, failures = 0;
    std::string herr;
    std::size_t i = 0;
    for (auto _ : state) {
        const HS& a = st[i++ % st.size()];
        lib::HSFLSH(a.h, a.s, z, T, P, D, Dl, Dv, x, y, q, e, cv, cp, w, ierr, herr);
        if (ierr > 0) ++failures;
        benchmark::DoNotOptimize(T);
    }
    if (failures > 0) state.SkipWithError("a flash failed");
}

BENCHMARK_CAPTURE(BM_Hsflsh, water_single_phase, "water", false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Hsflsh, water_two_phase, "water", true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Hsflsh, nitrogen_single_phase, "nitrogen", false)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Hsflsh, nitrogen_two_phase, "nitrogen", true)->Unit(benchmark::kMicrosecond);

// Six reduced derivatives at a new (tau, delta) each call, liquid to gas.
void BM_ResidualModel(benchmark::State& state, const char* fluid, const char* eos) {
    if (!setup(fluid, eos)) {
        state.SkipWithError("set-up failed");
        return;
    }
    double sum = 0.0;
    int i = 0;
    for (auto _ : state) {
        const double tau = 0.6 + 0.6 * ((i * 7) % 64) / 64.0;
        const double del = 0.01 + 2.5 * ((i * 13) % 64) / 64.0;
        ++i;
        sum += lib::PHIK(1, 0, 0, tau, del) + lib::PHIK(1, 0, 1, tau, del) +
               lib::PHIK(1, 1, 0, tau, del) + lib::PHIK(1, 1, 1, tau, del) +
               lib::PHIK(1, 0, 2, tau, del) + lib::PHIK(1, 2, 0, tau, del);
        benchmark::DoNotOptimize(sum);
    }
}

BENCHMARK_CAPTURE(BM_ResidualModel, nitrogen_FEQ, "nitrogen", "FEQ");
BENCHMARK_CAPTURE(BM_ResidualModel, nitrogen_BWR, "nitrogen", "BWR");
BENCHMARK_CAPTURE(BM_ResidualModel, r134a_FEQ, "r134a", "FEQ");
BENCHMARK_CAPTURE(BM_ResidualModel, r134a_BWR, "r134a", "BWR");
BENCHMARK_CAPTURE(BM_ResidualModel, propane_FEQ, "propane", "FEQ");
BENCHMARK_CAPTURE(BM_ResidualModel, propane_BWR, "propane", "BWR");

}  // namespace
