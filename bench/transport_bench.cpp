// Speed of TRNPRP: nitrogen (its own correlations), r116 (corresponding
// states on r134a) and water (IAPWS correlations with their critical terms)
// in the gas, the liquid and near the critical point.  Each
// iteration moves to another state of a cycle of 256, so no cache of the
// equation of state is hit; the counter "eos" is the number of new states
// the equations of state were evaluated at per call (all slots).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/common.h"

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
};

unsigned refreshes() {
    unsigned n = 0;
    for (int k = lib::kMinSlot; k <= lib::kMaxSlot; ++k) n += lib::FEQSAV.gen[k];
    return n;
}

void BM_Trnprp(benchmark::State& st) {
    const Case& c = kCases[st.range(0)];
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(1, c.fluid, "hmx", hrf, ierr, herr);
    if (ierr > 0) {
        st.SkipWithError("set-up failed");
        return;
    }
    st.SetLabel(std::string(c.fluid) + " " + c.region);
    std::vector<std::pair<double, double>> s;
    for (int i = 0; i < 256; ++i)
        s.emplace_back(c.T * (1.0 + 1e-4 * i), c.D * (1.0 + 1e-4 * (i % 7)));
    const double x[20] = {1.0};
    double eta = 0, tcx = 0;
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
BENCHMARK(BM_Trnprp)->DenseRange(0, 8);

}  // namespace
