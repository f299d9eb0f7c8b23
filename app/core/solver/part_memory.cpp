// The last calculation of each part within one calculation.
#include "app/core/solver/part_memory.h"

#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/tools.h"
#include "app/core/solver/turbo.h"

#include <unordered_map>

namespace app {

namespace {

// The results a part's calculation leaves in its record.
struct PartResults {
    int result = PS_FAILED;
    int final_flag = 0, segment = 0;
    double eta_used = 0, pr_used = 0;
    std::string failure_text;
    std::array<int, NUM_PART_OPTIONS> options{};
    std::array<double, NUM_PART_INPUTS> inputs{};
    std::array<double, NUM_PART_OUTPUTS> outputs{};
    std::array<double, STEP_POINTS> T{}, p{}, rho{}, s{}, h{}, q{}, heat{};
    std::array<double, MAX_COMPONENTS> x_out{}, x_out2{};
};

// The fields a calculation leaves in the part's record, copied between the
// record and the results kept (both name them alike).
template <typename To, typename From>
void copy_results(To& to, const From& from) {
    to.final_flag = from.final_flag;
    to.segment = from.segment;
    to.eta_used = from.eta_used;
    to.pr_used = from.pr_used;
    to.failure_text = from.failure_text;
    to.options = from.options;
    to.inputs = from.inputs;
    to.outputs = from.outputs;
    to.T = from.T;
    to.p = from.p;
    to.rho = from.rho;
    to.s = from.s;
    to.h = from.h;
    to.q = from.q;
    to.heat = from.heat;
    to.x_out = from.x_out;
    to.x_out2 = from.x_out2;
}

struct Calculation {
    PartInlet inlet;
    PartResults results;
};

int scopes = 0;
int recalled = 0;
std::unordered_map<const Part*, Calculation> memory;

// The models whose results follow from PartInlet alone (a combustor also
// reads its fuel's state, a mixer its second stream's composition).
bool kept_kind(int type) {
    switch (type) {
        case COMPRESSOR:
        case PUMP:
        case EXPANDER:
        case TURBINE:
        case INTERCOOLER:
        case HEAT_EXCHANGER:
        case CONDENSER:
        case PIPELINE:
        case PRESSURE_LOSS_ELEMENT: return true;
        default: return false;
    }
}

// The rows of the outputs that hold inlet values a model reads.
constexpr std::array<int, 9> kStreamRows = {
    PO_INLET_MASSFLOW,   PO_INLET_LIQUID_WATER, PO_2_INLET_TEMPERATURE,
    PO_2_INLET_PRESSURE, PO_2_INLET_ENTHALPY,   PO_2_INLET_ENTROPY,
    PO_2_INLET_DENSITY,  PO_2_INLET_MASSFLOW,   PO_2_INLET_LIQUID_WATER};

bool turbo(int type) { return type >= COMPRESSOR && type <= TURBINE; }

// Whether a part on `now` would give the results of the calculation kept.
// A turbo machine that changes the pressure finds its inlet state again
// from the inlet's pressure and enthalpy (and goes on when the temperature
// it finds is the one handed over): the rest of the state handed over does
// not count. (The low-pressure turbine of a combined cycle was handed its
// inlet again at 813.14999999999986 K instead of 813.14999999999975 K, the
// same pressure and enthalpy, and ran its efficiency search of 12 runs
// again to the same digits.)
bool same_inlet(const Calculation& kept, const PartInlet& now) {
    const PartInlet& was = kept.inlet;
    if (!turbo(now.type) || kept.results.pr_used == 1.0) return was == now;
    PartInlet same_state = now;
    same_state.first = was.first;
    return was == same_state && now.first[1] == was.first[1] && now.first[2] == was.first[2] &&
           turbo_inlet_agrees(kept.results.T[0], now.first[0]);
}

}  // namespace

PartInlet inlet_of(const Part& part) {
    PartInlet in;
    in.type = part.type;
    in.fluid = part.fluid;
    in.set_up = current_fluid;
    in.steps = part.steps;
    in.segmentation = part.segmentation;
    in.water = part.water;
    in.state = part.state;
    in.options = part.options;
    in.inputs = part.inputs;
    in.x_in = part.x_in;
    in.x_in2 = part.x_in2;
    in.first = {part.T[0], part.p[0], part.h[0], part.s[0], part.rho[0], part.q[0]};
    for (std::size_t k = 0; k < kStreamRows.size(); ++k)
        in.streams[k] = part.outputs[sz(kStreamRows[k])];
    in.seeds = {part.init_T, part.init_heat_flux, part.init_dT, part.old_value};
    return in;
}

PartMemoryScope::PartMemoryScope() {
    if (scopes++ == 0) recalled = 0;
}

PartMemoryScope::~PartMemoryScope() {
    if (--scopes == 0) memory.clear();
}

bool recall_calculation(Part& part, int& result) {
    if (scopes == 0 || !kept_kind(part.type)) return false;
    const auto it = memory.find(&part);
    if (it == memory.end() || !same_inlet(it->second, inlet_of(part))) return false;
    const PartResults& r = it->second.results;
    copy_results(part, r);
    part.busy = 0;
    result = r.result;
    ++recalled;
    return true;
}

void remember_calculation(const PartInlet& inlet, const Part& part, int result, bool quiet) {
    if (scopes == 0 || !kept_kind(part.type)) return;
    if (!quiet || (result != PS_FINISHED && result != PS_PROVISIONAL)) {
        memory.erase(&part);
        return;
    }
    Calculation& c = memory[&part];
    c.inlet = inlet;
    PartResults& r = c.results;
    r.result = result;
    copy_results(r, part);
}

int recalled_calculations() { return recalled; }

}  // namespace app
