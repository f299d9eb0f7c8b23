// Speed of the corresponding-states equation: THERM and single derivatives of
// propylene (an estimate on propane) beside propane's own equation, at a
// liquid and a gas state.  Each iteration moves to another state of a cycle
// of 256, so no cache is hit.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "tests/support/fluid.h"

namespace {

struct Case {
    const char* fluid;
    double T, D;  // K, mol/L
};

const Case kCases[] = {
    {"propylen", 250.0, 13.0},
    {"propylen", 350.0, 0.4},
    {"propane", 250.0, 12.5},
    {"propane", 350.0, 0.4},
};

std::vector<std::pair<double, double>> states(const Case& c) {
    std::vector<std::pair<double, double>> s;
    for (int i = 0; i < 256; ++i)
        s.emplace_back(c.T * (1.0 + 1e-4 * i), c.D * (1.0 + 1e-4 * (i % 7)));
    return s;
}

void label(benchmark::State& st, const Case& c) {
    st.SetLabel(std::string(c.fluid) + " (" + lib::EOSMOD.eos[1].str() +
                (c.D > 5 ? ") liquid" : ") gas"));
}

void BM_EcsTherm(benchmark::State& st) {
    const Case& c = kCases[st.range(0)];
    if (!testsupport::set_up(c.fluid).empty()) {
        st.SkipWithError("set-up failed");
        return;
    }
    label(st, c);
    const auto s = states(c);
    const double x[20] = {1.0};
    double P, e, h, sv, cv, cp, w, hjt;
    std::size_t i = 0;
    for (auto _ : st) {
        const auto& [T, D] = s[i++ & 255];
        lib::THERM(T, D, x, P, e, h, sv, cv, cp, w, hjt);
        benchmark::DoNotOptimize(w);
    }
}
BENCHMARK(BM_EcsTherm)->DenseRange(0, 3);

// One first density derivative per state, as a density iteration asks.
void BM_EcsPhi01(benchmark::State& st) {
    const Case& c = kCases[st.range(0)];
    if (!testsupport::set_up(c.fluid).empty()) {
        st.SkipWithError("set-up failed");
        return;
    }
    label(st, c);
    const auto s = states(c);
    const double tred = lib::ZRED.tred[1], dred = lib::ZRED.dred[1];
    std::size_t i = 0;
    for (auto _ : st) {
        const auto& [T, D] = s[i++ & 255];
        benchmark::DoNotOptimize(lib::PHIK(1, 0, 1, tred / T, D / dred));
    }
}
BENCHMARK(BM_EcsPhi01)->DenseRange(0, 3);

}  // namespace
