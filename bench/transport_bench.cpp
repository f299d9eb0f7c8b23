// Speed of TRNPRP per family of models, in the gas, the liquid and near
// the critical point: nitrogen and propane (VS1/TC1 correlations), r116 and
// r22 (corresponding states on r134a with the data's shape functions), r113
// (a corresponding-states estimate), water (IAPWS, VS0/TC0 with critical
// terms), methane (friction theory VS4), cyclopentane (Chung VS5), helium
// (VS0/TC0 of its own) and a natural gas (the mixture route).  Each
// iteration moves to another state of a cycle of 256, so no cache of the
// equation of state is hit; the counter "eos" is the number of new states
// the equations of state were evaluated at per call (all slots).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/common.h"
#include "tests/support/fluid.h"

namespace {

struct Case {
    const char* fluid;
    const char* region;
    double T, D;  // K, mol/L
};

const Case kCases[] = {
    {"nitrogen", "gas", 300.0, 0.4},
    {"nitrogen", "liquid", 90.0, 27.0},
    {"nitrogen", "near-critical", 128.0, 10.0},
    {"r116", "gas", 300.0, 0.3},
    {"r116", "liquid", 220.0, 11.0},
    {"r116", "near-critical", 296.0, 4.6},
    {"water", "gas", 500.0, 0.1},
    {"water", "liquid", 300.0, 55.0},
    {"water", "near-critical", 650.0, 17.0},
    {"propane", "gas", 300.0, 0.05},
    {"propane", "liquid", 200.0, 13.5},
    {"r22", "gas", 300.0, 0.05},
    {"r22", "liquid", 200.0, 17.0},
    {"r113", "gas", 400.0, 0.05},
    {"r113", "liquid", 300.0, 8.3},
    {"methane", "gas", 300.0, 0.4},
    {"methane", "liquid", 120.0, 25.0},
    {"cyclopen", "gas", 400.0, 0.05},
    {"cyclopen", "liquid", 300.0, 11.0},
    {"helium", "gas", 300.0, 0.4},
    {"helium", "liquid", 4.0, 30.0},
    {"methane|ethane|propane|nitrogen", "gas", 300.0, 0.4},
    {"methane|ethane|propane|nitrogen", "liquid", 150.0, 20.0},
};

unsigned refreshes() {
    unsigned n = 0;
    for (int k = lib::kMinSlot; k <= lib::kMaxSlot; ++k) n += lib::FEQSAV.gen[k];
    return n;
}

void BM_Trnprp(benchmark::State& st) {
    const Case& c = kCases[st.range(0)];
    if (!testsupport::set_up(c.fluid).empty()) {
        st.SkipWithError("set-up failed");
        return;
    }
    st.SetLabel(std::string(c.fluid) + " " + c.region);
    std::vector<std::pair<double, double>> s;
    for (int i = 0; i < 256; ++i)
        s.emplace_back(c.T * (1.0 + 1e-4 * i), c.D * (1.0 + 1e-4 * (i % 7)));
    const std::string f = c.fluid;
    const double x[20] = {f.find('|') == std::string::npos ? 1.0 : 0.85, 0.08, 0.04, 0.03};
    double eta = 0, tcx = 0;
    int ierr = 0;
    std::string herr;
    std::size_t i = 0;
    const unsigned before = refreshes();
    for (auto _ : st) {
        const auto& [T, D] = s[i++ & 255];
        lib::TRNPRP(T, D, x, eta, tcx, ierr, herr);
        benchmark::DoNotOptimize(tcx);
    }
    st.counters["eos"] = benchmark::Counter(static_cast<double>(refreshes() - before),
                                            benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Trnprp)->DenseRange(0, 22);

}  // namespace
