// Speed of THERM and PHIK for four fluids at a liquid and a gas state.  Each
// iteration moves to another state of a cycle of 256 (no cache hits); the
// "Repeat" cases ask for the same state again (cache hits); the "Isotherm"
// case moves the density alone, as the saturation solvers do between their
// two phases at one temperature.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "tests/support/fluid.h"

namespace {

struct Case {
    const char* fluid;
    double T, D;  // K, mol/L
};

const Case kCases[] = {
    {"water", 300.0, 55.3},   {"water", 600.0, 0.2},   {"nitrogen", 80.0, 28.5},
    {"nitrogen", 300.0, 0.4}, {"r134a", 280.0, 12.5},  {"r134a", 350.0, 0.5},
    {"propane", 250.0, 12.5}, {"propane", 350.0, 0.4},
};

std::vector<std::pair<double, double>> states(const Case& c) {
    std::vector<std::pair<double, double>> s;
    for (int i = 0; i < 256; ++i)
        s.emplace_back(c.T * (1.0 + 1e-4 * i), c.D * (1.0 + 1e-4 * (i % 7)));
    return s;
}

void BM_Therm(benchmark::State& st) {
    const Case& c = kCases[st.range(0)];
    if (!testsupport::set_up(c.fluid).empty()) {
        st.SkipWithError("set-up failed");
        return;
    }
    st.SetLabel(std::string(c.fluid) + (c.D > 5 ? " liquid" : " gas"));
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

void BM_ThermRepeat(benchmark::State& st) {
    const Case& c = kCases[st.range(0)];
    if (!testsupport::set_up(c.fluid).empty()) {
        st.SkipWithError("set-up failed");
        return;
    }
    st.SetLabel(std::string(c.fluid) + (c.D > 5 ? " liquid" : " gas"));
    const double x[20] = {1.0};
    double P, e, h, sv, cv, cp, w, hjt;
    for (auto _ : st) {
        lib::THERM(c.T, c.D, x, P, e, h, sv, cv, cp, w, hjt);
        benchmark::DoNotOptimize(w);
    }
}

// The six residual derivatives that THERM asks for, at a new state each time.
void BM_Phik(benchmark::State& st) {
    const Case& c = kCases[st.range(0)];
    if (!testsupport::set_up(c.fluid).empty()) {
        st.SkipWithError("set-up failed");
        return;
    }
    st.SetLabel(std::string(c.fluid) + (c.D > 5 ? " liquid" : " gas"));
    const auto s = states(c);
    const double tr = lib::ZRED.tred[1], dr = lib::ZRED.dred[1];
    std::size_t i = 0;
    for (auto _ : st) {
        const auto& [T, D] = s[i++ & 255];
        const double tau = tr / T, del = D / dr;
        double sum = lib::PHIK(1, 0, 0, tau, del) + lib::PHIK(1, 0, 1, tau, del) +
                     lib::PHIK(1, 1, 0, tau, del) + lib::PHIK(1, 1, 1, tau, del) +
                     lib::PHIK(1, 0, 2, tau, del) + lib::PHIK(1, 2, 0, tau, del);
        benchmark::DoNotOptimize(sum);
    }
}

// The same six derivatives along the isotherm of the case.
void BM_PhikIsotherm(benchmark::State& st) {
    const Case& c = kCases[st.range(0)];
    if (!testsupport::set_up(c.fluid).empty()) {
        st.SkipWithError("set-up failed");
        return;
    }
    st.SetLabel(std::string(c.fluid) + (c.D > 5 ? " liquid" : " gas"));
    const auto s = states(c);
    const double tr = lib::ZRED.tred[1], dr = lib::ZRED.dred[1];
    const double tau = tr / c.T;
    std::size_t i = 0;
    for (auto _ : st) {
        const double del = s[i & 255].second / dr * (1.0 + 1e-5 * static_cast<double>(i & 255));
        ++i;
        double sum = lib::PHIK(1, 0, 0, tau, del) + lib::PHIK(1, 0, 1, tau, del) +
                     lib::PHIK(1, 1, 0, tau, del) + lib::PHIK(1, 1, 1, tau, del) +
                     lib::PHIK(1, 0, 2, tau, del) + lib::PHIK(1, 2, 0, tau, del);
        benchmark::DoNotOptimize(sum);
    }
}

BENCHMARK(BM_Therm)->DenseRange(0, 7);
BENCHMARK(BM_ThermRepeat)->DenseRange(0, 7);
BENCHMARK(BM_Phik)->DenseRange(0, 7);
BENCHMARK(BM_PhikIsotherm)->DenseRange(0, 7);

}  // namespace
