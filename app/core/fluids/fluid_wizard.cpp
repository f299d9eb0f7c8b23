// The fluid-definition wizard as data: page flow, name check, list moves,
// copying a mixture, the summary, and building the user fluid.
#include "app/core/fluids/fluid_wizard.h"

#include "app/core/files/filehandling.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/program/text_output.h"

#include <algorithm>

namespace app {

namespace {

// The fluids offered as components, in list order.
constexpr int COMPONENT_FLUIDS[] = {6,  7,  8,  11, 12, 13, 14, 15, 16, 17,
                                    18, 19, 20, 21, 22, 23, 24, 25, 29};

bool holds(const std::vector<int>& list, int fluid) {
    return std::find(list.begin(), list.end(), fluid) != list.end();
}

bool remove_from(std::vector<int>& list, int fluid) {
    auto at = std::find(list.begin(), list.end(), fluid);
    if (at == list.end()) return false;
    list.erase(at);
    return true;
}

void prepend(std::vector<int>& list, int fluid) { list.insert(list.begin(), fluid); }

void remove_water(WizardState& s) {
    remove_from(s.available, FLUID_WATER);
    remove_from(s.selected, FLUID_WATER);
}

bool water_locked(const WizardState& s) {
    return s.kind == KIND_HUMID && s.humidity_choice == HUM_WATER_FRACTION;
}

int humidity_type_of(int choice) {
    switch (choice) {
        case HUM_WATER_FRACTION: return HT_WATER_FRACTION;
        case HUM_RH_STANDARD: return HT_RH_STANDARD;
        default: return HT_RH_INLET;
    }
}

std::vector<int> fluids_of_groups(std::initializer_list<int> groups) {
    std::vector<int> out;
    for (int i = 0; i < az_fluids(); ++i) {
        const Fluid* f = fluids[i];
        if (f != nullptr && f->available != 0 &&
            std::find(groups.begin(), groups.end(), f->group) != groups.end())
            out.push_back(i);
    }
    return out;
}

// Why a name cannot be a fluid's name in the files ("" when it can).
std::string name_problem(const std::string& name) {
    if (name.size() > FLUID_NAME_MAX)
        return "Name longer than " + std::to_string(FLUID_NAME_MAX) + " characters";
    for (char c : name)
        if (c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return "Name must not hold double quotes or control characters";
    if (name.front() == ' ' || name.back() == ' ') return "Name must not begin or end with a blank";
    if (name.find("#END") != std::string::npos || name.find("#START") != std::string::npos)
        return "Name must not hold \"#START\" or \"#END\"";
    return "";
}

}  // namespace

std::vector<int> wizard_component_fluids() {
    std::vector<int> out;
    for (int i : COMPONENT_FLUIDS) {
        const Fluid* f = fluids[i];
        if (f != nullptr && f->available != 0) out.push_back(i);
    }
    return out;
}

void start_wizard(WizardState& s) {
    s = WizardState{};
    s.available = wizard_component_fluids();
    for (int p : {WP_HUMIDITY, WP_REFERENCE, WP_CONFIRM, WP_FINISHED, WP_FAILED})
        s.complete[sz(p)] = true;
}

NameCheck check_name(const std::string& name) {
    NameCheck r;
    if (name.empty()) return r;
    for (int i = 0; i < az_fluids(); ++i) {
        const Fluid* f = fluids[i];
        // Fluids are found by name ignoring case (files, projects): a name
        // that differs from another only in case would be taken for it.
        if (f != nullptr && equal_nocase(f->name, name)) {
            r.warning = "Name in use already";
            return r;
        }
    }
    r.warning = name_problem(name);
    r.complete = r.warning.empty();
    return r;
}

void set_wizard_name(WizardState& s, const std::string& name) {
    s.new_name = name;
    s.complete[WP_NAME] = check_name(name).complete;
}

bool move_fluid(WizardState& s, int direction, int fluid) {
    if (direction != MOVE_TO_SELECTED && direction != MOVE_TO_AVAILABLE) return false;
    if (fluid == FLUID_WATER && water_locked(s)) return false;
    std::vector<int>& source = direction == MOVE_TO_SELECTED ? s.available : s.selected;
    std::vector<int>& target = direction == MOVE_TO_SELECTED ? s.selected : s.available;
    if (!remove_from(source, fluid)) return false;
    prepend(target, fluid);
    s.complete[WP_COMPONENTS] = !s.selected.empty();
    return true;
}

int next_page_of(const WizardState& s, int page) {
    switch (page) {
        case WP_NAME:
            switch (s.kind) {
                case KIND_DRY:
                case KIND_GENERAL: return WP_COMPONENTS;
                case KIND_HUMID: return WP_HUMIDITY;
                default: return WP_NAME;
            }
        case WP_HUMIDITY: return WP_COMPONENTS;
        case WP_COMPONENTS: return WP_COMPOSITION;
        case WP_COMPOSITION: return s.humidity_type == HT_RH_STANDARD ? WP_REFERENCE : WP_CONFIRM;
        case WP_REFERENCE: return WP_CONFIRM;
        case WP_CONFIRM: return s.built ? WP_FINISHED : WP_FAILED;
        default: return WP_NAME;
    }
}

void take_selected_components(WizardState& s) {
    s.composition.fluid_ids = s.selected;
    if (s.composition.fluid_ids.size() > sz(MAX_COMPONENTS))
        s.composition.fluid_ids.resize(sz(MAX_COMPONENTS));
    // The mole view is what the user typed; the mass view follows the new
    // component set.
    mole_to_mass(s.composition);
    s.complete[WP_COMPOSITION] = composition_complete(s.composition);
}

int nextpage(WizardState& s, int page) {
    switch (page) {
        case WP_NAME:
            if (s.kind == KIND_DRY) {
                s.fluid_type = 0;
                s.humidity_type = HT_DRY;
                remove_water(s);
                s.complete[WP_COMPONENTS] = !s.selected.empty();
            } else if (s.kind == KIND_GENERAL) {
                s.humidity_type = HT_GENERAL;
                s.fluid_type = 1;
                if (!holds(s.available, FLUID_WATER) && !holds(s.selected, FLUID_WATER))
                    prepend(s.available, FLUID_WATER);
            } else if (s.kind == KIND_HUMID) {
                s.fluid_type = 1;
            }
            break;
        case WP_HUMIDITY:
            remove_water(s);
            if (s.humidity_choice == HUM_WATER_FRACTION) prepend(s.selected, FLUID_WATER);
            s.humidity_type = humidity_type_of(s.humidity_choice);
            s.complete[WP_COMPONENTS] = !s.selected.empty();
            break;
        case WP_COMPONENTS: take_selected_components(s); break;
        default: break;
    }
    return next_page_of(s, page);
}

void copy_into_wizard(WizardState& s, const Fluid& f) {
    set_wizard_name(s, f.name + " copy");
    const int ht = f.humidity_type;
    s.kind = ht == HT_DRY ? KIND_DRY : ht == HT_GENERAL ? KIND_GENERAL : KIND_HUMID;
    if (ht == HT_WATER_FRACTION) s.humidity_choice = HUM_WATER_FRACTION;
    if (ht == HT_RH_STANDARD) s.humidity_choice = HUM_RH_STANDARD;
    if (ht == HT_RH_INLET) s.humidity_choice = HUM_RH_INLET;
    s.humidity_type = ht;
    s.fluid_type = ht == HT_DRY ? 0 : 1;

    // The copy replaces the selection.
    for (int id : std::vector<int>(s.selected))
        if (id != FLUID_WATER) prepend(s.available, id);
    s.selected.clear();
    s.composition = Composition{};
    const int n = std::clamp(f.az_components, 0, MAX_COMPONENTS);
    for (int c = 0; c < n; ++c) {
        const int id = f.comp_index[sz(c)];
        if (id < 0 || id >= MAX_FLUIDS) continue;
        s.composition.fluid_ids.push_back(id);
        s.composition.mole[sz(id)] = f.x[sz(c)];
        remove_from(s.available, id);
        s.selected.push_back(id);
    }
    mole_to_mass(s.composition);
    if (ht == HT_RH_STANDARD) {
        s.reference = ReferenceHumidity{};
        for (int row = 0; row < NUM_REF_ROWS; ++row) {
            const double v[] = {f.ref_hum_T, f.ref_hum_p, f.ref_hum_rh, f.ref_hum_liquid};
            set_reference_value(s.reference, row, v[row]);
        }
    }
    for (int p = WP_COMPONENTS; p <= WP_FINISHED; ++p) s.complete[sz(p)] = true;
}

std::vector<int> copyable_fluids() { return fluids_of_groups({FG_MIXTURES, FG_USER}); }
std::vector<int> user_fluids() { return fluids_of_groups({FG_USER}); }

std::unique_ptr<Fluid> build_fluid(const WizardState& s, std::string& message) {
    message.clear();
    auto f = std::make_unique<Fluid>();
    f->name = s.new_name;
    f->ref_code = "OTH";
    f->group = FG_USER;
    f->humidity_type = s.humidity_type;
    const bool add_water = (s.humidity_type == HT_RH_STANDARD || s.humidity_type == HT_RH_INLET) &&
                           !holds(s.composition.fluid_ids, FLUID_WATER);
    const int n = static_cast<int>(s.composition.fluid_ids.size());
    if (n < 1 || n + (add_water ? 1 : 0) > MAX_COMPONENTS) {
        message = format_text("A fluid has 1 to %d components, water included.", MAX_COMPONENTS);
        return nullptr;
    }
    for (int c = 0; c < n; ++c) {
        const int id = s.composition.fluid_ids[sz(c)];
        f->comp_index[sz(c)] = id;
        f->x[sz(c)] = s.composition.mole[sz(id)];
    }
    f->az_components = n;
    if (add_water) {
        f->comp_index[sz(n)] = FLUID_WATER;
        f->x[sz(n)] = 0.0;
        f->water_pos = n;
        f->az_components = n + 1;
    }
    if (s.humidity_type == HT_RH_STANDARD) {
        f->ref_hum_T = s.reference.T;
        f->ref_hum_p = s.reference.p;
        f->ref_hum_rh = s.reference.rh;
        f->ref_hum_liquid = s.reference.liquid;
    }
    f->T0 = 283.15;
    f->p0 = 101.325;
    f->h0 = 0.0;
    f->s0 = 0.0;
    if (new_fluid_init(*f, 1) == 0) {
        if (current_fluid == f.get()) current_fluid = nullptr;
        // With the library's reason and the components it cannot pair (1 %
        // toluene in methane was refused without a word of why).
        message = format_text(
            "The fluid '%s' cannot be set up: some combinations of fluids are not supported.%s%s",
            f->name.c_str(), f->setup_failure.empty() ? "" : " ", f->setup_failure.c_str());
        return nullptr;
    }
    std::array<double, MAX_COMPONENTS> humid{};
    message = humid_composition(*f, humid);
    if (!message.empty()) {
        if (current_fluid == f.get()) current_fluid = nullptr;
        return nullptr;
    }
    return f;
}

std::vector<std::pair<std::string, std::string>> summary_head(const WizardState& s) {
    std::vector<std::pair<std::string, std::string>> rows;
    rows.emplace_back("<b>Fluid name:</b>", s.new_name);
    rows.emplace_back("<b>Fluid type:</b>", s.fluid_type == 0 ? "Dry Fluid" : "Humid Fluid");
    if (s.fluid_type == 1) {
        static const char* const TEXTS[] = {"No Humidity", "Fixed Water Fraction",
                                            "Relative Humidity at Standard Values",
                                            "Relative Humidity at Inlet Values", "General Fluid"};
        const int h = std::clamp(s.humidity_type, 0, 4);
        rows.emplace_back("<b>Humidity definition:</b>", TEXTS[h]);
    }
    return rows;
}

std::vector<SummaryRow> summary_components(const WizardState& s) {
    std::vector<SummaryRow> rows;
    for (int id : s.composition.fluid_ids) {
        const Fluid* f = fluids[id];
        if (f == nullptr) continue;
        rows.push_back(
            {f->name, 100.0 * s.composition.mole[sz(id)], 100.0 * s.composition.mass[sz(id)]});
    }
    return rows;
}

std::vector<std::pair<std::string, std::string>> summary_reference(
    const WizardState& s, const std::array<int, NUM_REF_ROWS>& units) {
    std::vector<std::pair<std::string, std::string>> rows;
    if (s.humidity_type != HT_RH_STANDARD) return rows;
    static const char* const LABELS[NUM_REF_ROWS] = {
        "<b>T ref humidity:</b>", "<b>p ref humidity:</b>", "<b>Relative humidity:</b>",
        "<b>Liquid water:</b>"};
    for (int row = 0; row < NUM_REF_ROWS; ++row) {
        const int q = reference_rows[sz(row)].quantity;
        const int unit = units[sz(row)];
        rows.emplace_back(
            LABELS[row],
            format_text("%.6g %s", to_display(q, unit, reference_value(s.reference, row)),
                        unit_symbol(q, valid_unit(q, unit) ? unit : 0)));
    }
    return rows;
}

}  // namespace app
