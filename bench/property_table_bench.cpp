// Speed of the property table's text alone (no window): 1,000 states, 10
// temperatures (300 to 750 K) by 100 pressures (100 to 10,000 kPa), for
// nitrogen and for a user air mixture of nitrogen, oxygen and argon. Each
// iteration writes the whole table, as Apply does.
#include <benchmark/benchmark.h>

#include <atomic>
#include <string>

#include "app/core/fluids/fluid_wizard.h"
#include "app/core/fluids/property_table.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"

namespace {

app::Fluid* user_air() {
    static std::unique_ptr<app::Fluid> air;
    if (!air) {
        app::WizardState s;
        app::start_wizard(s);
        app::set_wizard_name(s, "Bench air");
        s.selected = {12, 11, 16};
        s.composition.mole[12] = 0.78;
        s.composition.mole[11] = 0.21;
        s.composition.mole[16] = 0.01;
        app::nextpage(s, app::WP_COMPONENTS);
        std::string message;
        air = app::build_fluid(s, message);
    }
    return air.get();
}

void BM_PropertyTable(benchmark::State& st) {
    static bool ready = false;
    if (!ready) {
        app::initstuff();
        app::init_stoffe();
        ready = true;
    }
    app::Fluid* f = st.range(0) == 0 ? app::fluids[12] : user_air();
    if (f == nullptr) {
        st.SkipWithError("no fluid");
        return;
    }
    st.SetLabel(st.range(0) == 0 ? "nitrogen, 1000 states" : "user air, 1000 states");
    const app::TableGrid grid{100, 10000, 100, 300, 750, 50};
    std::atomic<bool> stop{false};
    std::size_t bytes = 0;
    for (auto _ : st) {
        app::current_fluid = nullptr;
        std::string text;
        const app::TableResult r = app::write_property_table(
            *f, grid, [&](const std::string& s) { text += s; }, stop, nullptr);
        if (r.rows != 1000) st.SkipWithError("not 1000 rows");
        bytes += text.size();
        benchmark::DoNotOptimize(text.data());
    }
    st.counters["rows/s"] = benchmark::Counter(1000.0 * static_cast<double>(st.iterations()),
                                               benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PropertyTable)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
