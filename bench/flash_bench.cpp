// Flashes at given (T, p), (p, h) and (p, s) of pure fluids: compressed
// liquid, vapour, supercritical and two-phase states.  Every benchmark cycles
// through 64 different states, so that no saturation result is reused from
// one call to the next.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "tests/support/fluid.h"

namespace {

struct State {
    double T = 0, P = 0, h = 0, s = 0;
};

enum class Region { Liquid, Vapour, Supercritical, TwoPhase };

// 64 states of the region, spread over temperature (and pressure).
std::vector<State> states(Region region) {
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    double z[20] = {1.0}, D, Dl, Dv, x[20], y[20], q, e, cv, cp, w, P, Dl2, Dv2, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    std::vector<State> out;
    for (int i = 0; i < 64; ++i) {
        const double f = (i + 0.5) / 64.0;
        State st;
        if (region == Region::Supercritical) {
            st.T = tc * (1.05 + 0.9 * f);
            st.P = pc * (1.1 + 2.0 * ((i * 7) % 64) / 64.0);
        } else if (region == Region::TwoPhase) {
            st.T = ttp + (0.1 + 0.85 * f) * (tc - ttp);
            const double quality = 0.05 + 0.9 * ((i * 11) % 64) / 64.0;
            lib::TQFLSH(st.T, quality, z, 1, st.P, D, Dl, Dv, x, y, e, st.h, st.s, cv, cp, w, ierr,
                        herr);
            if (ierr == 0) out.push_back(st);
            continue;
        } else {
            st.T = ttp + (region == Region::Liquid ? 0.05 + 0.8 * f : 0.3 + 0.65 * f) * (tc - ttp);
            lib::SATT(st.T, z, 1, P, Dl2, Dv2, xl, xv, ierr, herr);
            if (ierr != 0) continue;
            st.P = region == Region::Liquid ? P + (0.02 + 0.5 * ((i * 5) % 64) / 64.0) * pc
                                            : P * (0.2 + 0.7 * ((i * 13) % 64) / 64.0);
        }
        lib::TPFLSH(st.T, st.P, z, D, Dl, Dv, x, y, q, e, st.h, st.s, cv, cp, w, ierr, herr);
        if (ierr == 0) out.push_back(st);
    }
    return out;
}

enum class Pair { TP, PH, PS };

void BM_Flash(benchmark::State& state, const char* fluid, Pair pair, Region region) {
    if (!testsupport::set_up(fluid).empty()) {
        state.SkipWithError("set-up failed");
        return;
    }
    const std::vector<State> st = states(region);
    if (st.empty()) {
        state.SkipWithError("no states");
        return;
    }
    double z[20] = {1.0}, T, D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
    int ierr = 0, failures = 0;
    std::string herr;
    std::size_t i = 0;
    for (auto _ : state) {
        const State& a = st[i++ % st.size()];
        if (pair == Pair::TP)
            lib::TPFLSH(a.T, a.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        else if (pair == Pair::PH)
            lib::PHFLSH(a.P, a.h, z, T, D, Dl, Dv, x, y, q, e, s, cv, cp, w, ierr, herr);
        else
            lib::PSFLSH(a.P, a.s, z, T, D, Dl, Dv, x, y, q, e, h, cv, cp, w, ierr, herr);
        if (ierr > 0) ++failures;
        benchmark::DoNotOptimize(D);
    }
    if (failures > 0) state.SkipWithError("a flash failed");
}

#define KVR2_FLASH_BENCH(fluid)                                                           \
    BENCHMARK_CAPTURE(BM_Flash, fluid##_TP_liquid, #fluid, Pair::TP, Region::Liquid);     \
    BENCHMARK_CAPTURE(BM_Flash, fluid##_TP_vapour, #fluid, Pair::TP, Region::Vapour);     \
    BENCHMARK_CAPTURE(BM_Flash, fluid##_TP_supercritical, #fluid, Pair::TP,               \
                      Region::Supercritical);                                             \
    BENCHMARK_CAPTURE(BM_Flash, fluid##_PH_liquid, #fluid, Pair::PH, Region::Liquid);     \
    BENCHMARK_CAPTURE(BM_Flash, fluid##_PH_vapour, #fluid, Pair::PH, Region::Vapour);     \
    BENCHMARK_CAPTURE(BM_Flash, fluid##_PH_supercritical, #fluid, Pair::PH,               \
                      Region::Supercritical);                                             \
    BENCHMARK_CAPTURE(BM_Flash, fluid##_PH_twophase, #fluid, Pair::PH, Region::TwoPhase); \
    BENCHMARK_CAPTURE(BM_Flash, fluid##_PS_liquid, #fluid, Pair::PS, Region::Liquid);     \
    BENCHMARK_CAPTURE(BM_Flash, fluid##_PS_vapour, #fluid, Pair::PS, Region::Vapour);     \
    BENCHMARK_CAPTURE(BM_Flash, fluid##_PS_supercritical, #fluid, Pair::PS,               \
                      Region::Supercritical);                                             \
    BENCHMARK_CAPTURE(BM_Flash, fluid##_PS_twophase, #fluid, Pair::PS, Region::TwoPhase)

KVR2_FLASH_BENCH(water);
KVR2_FLASH_BENCH(nitrogen);
KVR2_FLASH_BENCH(r134a);
KVR2_FLASH_BENCH(propane);
KVR2_FLASH_BENCH(co2);

}  // namespace
