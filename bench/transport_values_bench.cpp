// Speed of get_trnsp_by_T_and_p for air as a mixture of its four components
// (the corresponding-states mixture route) and for water, and of its two
// parts: the T-p flash alone and TRNPRP alone at the flash's density.  The
// state moves on each iteration through a cycle of 256, so no cache of the
// equation of state is hit; the counter "eos" is the number of evaluations
// of an equation of state (a component's or the mixture's) per call.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/core/fluids/fluid_properties.h"
#include "app/core/fluids/transport_values.h"
#include "app/core/model/init.h"
#include "library/library.h"
#include "library/models/phik.h"

namespace {

struct Case {
    int fluid;  // index of the built-in working fluid
    const char* label;
    double T, p;  // K, kPa
};

const Case kCases[] = {{1, "dry air 300 K 100 kPa", 300.0, 100.0},
                       {1, "dry air 400 K 5 MPa", 400.0, 5000.0},
                       {app::FLUID_WATER, "water liquid 300 K 1 MPa", 300.0, 1000.0},
                       {app::FLUID_WATER, "water steam 500 K 1 MPa", 500.0, 1000.0}};

enum Part { kWhole = 0, kFlash = 1, kTransport = 2 };
const char* kPartName[] = {"get_trnsp_by_T_and_p", "TPFLSH", "TRNPRP"};

void BM_TransportValues(benchmark::State& st) {
    const Case& c = kCases[st.range(0)];
    const auto part = static_cast<Part>(st.range(1));
    static bool ready = false;
    if (!ready) {
        app::initstuff();
        app::init_stoffe();
        ready = true;
    }
    app::current_fluid = nullptr;
    app::Fluid* f = app::fluids[static_cast<std::size_t>(c.fluid)];
    if (app::init_stoffwerte(f) != 1) {
        st.SkipWithError("set-up failed");
        return;
    }
    st.SetLabel(std::string(c.label) + ": " + kPartName[part]);
    const double* x = f->x.data();
    struct State {
        double T, p, D;
    };
    std::vector<State> s;
    for (int i = 0; i < 256; ++i) {
        State v{c.T * (1.0 + 1e-4 * i), c.p * (1.0 + 1e-4 * (i % 7)), 0.0};
        double Dl, Dv, xl[20], xv[20], q, e, h, sm, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(v.T, v.p, x, v.D, Dl, Dv, xl, xv, q, e, h, sm, cv, cp, w, ierr, herr);
        s.push_back(v);
    }
    std::size_t i = 0;
    const unsigned long long before = lib::EOS_EVALUATIONS;
    for (auto _ : st) {
        const State& v = s[i++ & 255];
        double a = 0, b = 0, d = 0, Dl, Dv, xl[20], xv[20], q, e, h, sm, cv, cp, w;
        int ierr = 0;
        std::string herr;
        if (part == kWhole)
            app::get_trnsp_by_T_and_p(x, v.T, v.p, a, b, d);
        else if (part == kFlash)
            lib::TPFLSH(v.T, v.p, x, a, Dl, Dv, xl, xv, q, e, h, sm, cv, cp, w, ierr, herr);
        else
            lib::TRNPRP(v.T, v.D, x, a, d, ierr, herr);
        benchmark::DoNotOptimize(a);
    }
    st.counters["eos"] = benchmark::Counter(static_cast<double>(lib::EOS_EVALUATIONS - before),
                                            benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TransportValues)->ArgsProduct({{0, 1, 2, 3}, {kWhole, kFlash, kTransport}});

}  // namespace
