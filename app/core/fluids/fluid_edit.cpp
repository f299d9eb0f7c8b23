// "Modify Fluid" without widgets: the editable components, loading and
// taking over an edit.
#include "app/core/fluids/fluid_edit.h"

#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/program/text_output.h"

#include <algorithm>
#include <cmath>

namespace app {

namespace {

bool water_follows_humidity(const Fluid& f) {
    return f.humidity_type == HT_RH_STANDARD || f.humidity_type == HT_RH_INLET;
}

// The fields an edit changes, to put back when it is refused.
struct Definition {
    std::array<double, MAX_COMPONENTS> x{};
    double T = 0, p = 0, rh = 0, liquid = 0;

    static Definition of(const Fluid& f) {
        return {f.x, f.ref_hum_T, f.ref_hum_p, f.ref_hum_rh, f.ref_hum_liquid};
    }
    void put(Fluid& f) const {
        f.x = x;
        f.x_saved = x;
        f.ref_hum_T = T;
        f.ref_hum_p = p;
        f.ref_hum_rh = rh;
        f.ref_hum_liquid = liquid;
    }
};

}  // namespace

std::vector<int> editable_positions(const Fluid& f) {
    std::vector<int> out;
    const int n = std::clamp(f.az_components, 0, MAX_COMPONENTS);
    for (int c = 0; c < n; ++c)
        if (!(water_follows_humidity(f) && f.comp_index[sz(c)] == FLUID_WATER)) out.push_back(c);
    return out;
}

void load_fluid_edit(const Fluid& f, Composition& comp, ReferenceHumidity& ref) {
    comp = Composition{};
    for (int c : editable_positions(f)) {
        const int id = f.comp_index[sz(c)];
        if (id < 0 || id >= MAX_FLUIDS) continue;
        comp.fluid_ids.push_back(id);
        comp.mole[sz(id)] = f.x[sz(c)];
    }
    mole_to_mass(comp);
    ref = ReferenceHumidity{};
    if (f.humidity_type == HT_RH_STANDARD) {
        ref.T = f.ref_hum_T;
        ref.p = f.ref_hum_p;
        ref.rh = f.ref_hum_rh;
        ref.liquid = f.ref_hum_liquid;
    }
}

void invalidate_fluid(Fluid& f) {
    if (current_fluid == &f) current_fluid = nullptr;
    f.dome_count = 0;
    for (IsoFamily& family : f.iso) {
        std::fill(family.computed.begin(), family.computed.end(), 0);
        for (auto& line : family.lines) line.clear();
        for (auto& line : family.wet) line.clear();
    }
}

std::string apply_fluid_edit(Fluid& f, const Composition& comp, const ReferenceHumidity& ref) {
    const double sum = mole_sum(comp);
    if (!(std::fabs(sum - 1.0) < 1e-8))
        return format_text("The mole fractions of '%s' add up to %.8g %%, not 100 %%.",
                           f.name.c_str(), 100.0 * sum);
    const Definition before = Definition::of(f);
    Definition after = before;
    for (int c : editable_positions(f)) {
        const int id = f.comp_index[sz(c)];
        if (id >= 0 && id < MAX_FLUIDS) after.x[sz(c)] = comp.mole[sz(id)];
    }
    if (f.humidity_type == HT_RH_STANDARD) {
        after.T = ref.T;
        after.p = ref.p;
        after.rh = ref.rh;
        after.liquid = ref.liquid;
    }
    after.put(f);
    invalidate_fluid(f);
    if (init_stoffwerte(&f) == 1) {
        std::array<double, MAX_COMPONENTS> humid{};
        const std::string problem = humid_composition(f, humid);
        if (problem.empty()) return "";
        before.put(f);
        invalidate_fluid(f);
        init_stoffwerte(&f);
        return problem;
    }
    before.put(f);
    invalidate_fluid(f);
    init_stoffwerte(&f);
    return format_text(
        "The fluid '%s' cannot be set up with the new composition; it is kept as "
        "it was.",
        f.name.c_str());
}

}  // namespace app
