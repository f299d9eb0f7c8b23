// The last calculation of each part within one calculation: the inlet and
// settings it ran on and the results it gave. A turbo machine or heat
// exchanger calculated again on the very same inlet and settings gives the
// same results; they are taken from its last calculation instead of
// repeating its flashes (the sweeps of a combined cycle calculate its steam
// turbines, condenser and stack again after every run of its four
// interfaces, most of the time on the inlet they had).
#pragma once

#include "app/core/model/records.h"

namespace app {

// What a part's model reads: its kind, fluid, settings and inlet states.
struct PartInlet {
    int type = 0;
    const Fluid* fluid = nullptr;
    const Fluid* set_up = nullptr;  // the fluid set up in the library
    int steps = 0, segmentation = 0, water = 0, state = 0;
    std::array<int, NUM_PART_OPTIONS> options{};
    std::array<double, NUM_PART_INPUTS> inputs{};
    std::array<double, MAX_COMPONENTS> x_in{}, x_in2{};
    std::array<double, 6> first{};    // T, p, h, s, rho and q at point 0
    std::array<double, 9> streams{};  // the inlet rows of the outputs
    std::array<double, 4> seeds{};    // init_T, init_heat_flux, init_dT, old_value
    friend bool operator==(const PartInlet&, const PartInlet&) = default;
};

// The part's inlet and settings now.
PartInlet inlet_of(const Part& part);

// While a PartMemoryScope lives (calc_all), the last calculation of each
// part is kept; when it ends, all are forgotten (the next calculation may
// run on edited parts and fluids).
class PartMemoryScope {
public:
    PartMemoryScope();
    ~PartMemoryScope();
    PartMemoryScope(const PartMemoryScope&) = delete;
    PartMemoryScope& operator=(const PartMemoryScope&) = delete;
};

// Puts the results of the part's last calculation back when it ran on the
// same inlet and settings as now and finished (or gave provisional results)
// without a message; true then, with its result in `result`.
bool recall_calculation(Part& part, int& result);

// Keeps the results of the part's calculation that ran on `inlet` and gave
// `result`; `quiet` when it said nothing. Only a quiet, finished or
// provisional calculation of a turbo machine or heat exchanger is kept.
void remember_calculation(const PartInlet& inlet, const Part& part, int result, bool quiet);

// How many part calculations the running (or last) calculation took from
// memory.
int recalled_calculations();

}  // namespace app
