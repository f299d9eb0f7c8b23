// Fluid blocks: reading one into a new user fluid, and completing a user
// fluid for use.
#include "app/core/files/filehandling.h"

#include "app/core/files/filehandling_scan.h"
#include "app/core/fluids/composition.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"

#include <glib.h>

#include <algorithm>
#include <cmath>

namespace app {

using namespace filescan;

void (*on_user_fluid_added)(Fluid& fluid) = nullptr;

namespace {

// Mole fractions whose sum is further from 1 than this are refused; those
// further than SUM_EXACT (more than the rounding of the written digits)
// are scaled to add up to 1, with a warning.
constexpr double SUM_REFUSED = 1e-3;
constexpr double SUM_EXACT = 1e-9;

// The fluid block reader, shared by project files and fluid-definition
// files. Reads up to the block's "#END" line.
class FluidBlockReader {
public:
    FluidBlockReader(Lines& lines, const ReadOptions& options) : lines_(lines), options_(options) {}

    // The new fluid, or null when one of that name is known (warning set
    // when its definition differs). Throws ReadError.
    std::unique_ptr<Fluid> read(std::string& warning) {
        auto fluid = std::make_unique<Fluid>();
        fluid->available = 1;
        int declared = -1;
        int n = 0;
        bool have_name = false;
        int start_line = lines_.number() + 1;
        std::string_view line;
        Block block(lines_, "fluid");
        while (block.next(line)) {
            auto t = split(line);
            std::string_view key = t[0];
            if (contains(key, "Fluid name")) {
                if (have_name) fail("the fluid block has a second name line");
                if (t.size() > 3)
                    fail("the fluid name holds a double quote, which a file cannot keep in a name");
                std::string_view name = trim(token(t, 1));
                if (name.empty()) fail("the fluid has no name");
                if (std::string why = name_problem(name); !why.empty())
                    fail("the fluid name " + why);
                if (name.size() > FLUID_NAME_MAX)
                    fail("the fluid name is longer than " + std::to_string(FLUID_NAME_MAX) +
                         " characters");
                fluid->name = std::string(name);
                have_name = true;
            } else if (contains(key, "Az parts")) {
                if (!parse_int(token(t, 1), declared) || declared < 1 || declared > MAX_COMPONENTS)
                    fail("the number of components must be 1 to " + std::to_string(MAX_COMPONENTS));
            } else if (contains(key, "Fluid humidity type")) {
                int type = 0;
                if (!parse_int(token(t, 1), type) || type < HT_DRY || type > HT_GENERAL)
                    fail("humidity type " + quoted(token(t, 1)) + " is not 0 to 4");
                fluid->humidity_type = type;
            } else if (contains(key, "Component")) {
                if (n >= MAX_COMPONENTS)
                    fail("more than " + std::to_string(MAX_COMPONENTS) + " components");
                std::string_view name = token(t, 1);
                Fluid* comp = fluids.find(name);
                if (comp == nullptr) fail("unknown component " + quoted(name));
                if (comp->az_components != 1)
                    fail("component " + quoted(name) + " is a mixture, not a pure fluid");
                int index = fluids.index_of(comp);
                for (int c = 0; c < n; ++c)
                    if (fluid->comp_index[sz(c)] == index)
                        fail("component " + quoted(name) + " is listed twice");
                double x = 0.0;
                if (!parse_number(token(t, 3), x) || x < 0.0 || x > 1.0)
                    fail("the mole fraction of " + quoted(name) + " is not a number from 0 to 1");
                fluid->comp_index[sz(n)] = index;
                fluid->x[sz(n)] = x;
                ++n;
            } else if (contains(key, "Relative Humidity")) {
                read_reference_humidity(t, *fluid);
            }
        }
        if (!block.closed()) fail("the fluid block has no end");
        int end_line = lines_.number();
        auto fail_block = [&](const std::string& text) -> void {
            throw ReadError{start_line, text + " (fluid block of lines " +
                                            std::to_string(start_line) + " to " +
                                            std::to_string(end_line) + ")"};
        };
        if (!have_name) fail_block("the fluid has no name");
        if (declared < 0) fail_block("the fluid block does not give its number of components");
        if (declared != n)
            fail_block("the fluid block declares " + std::to_string(declared) +
                       " components but lists " + std::to_string(n));
        fluid->az_components = n;
        double sum = 0.0;
        bool has_water = false;
        for (int c = 0; c < n; ++c) {
            sum += fluid->x[sz(c)];
            if (fluid->comp_index[sz(c)] == FLUID_WATER) has_water = true;
        }
        if (std::fabs(sum - 1.0) > SUM_REFUSED)
            fail_block("the mole fractions of fluid " + quoted(fluid->name) + " add up to " +
                       number_text(sum) + ", not 1");
        if (std::fabs(sum - 1.0) > SUM_EXACT) {
            for (int c = 0; c < n; ++c) fluid->x[sz(c)] /= sum;
            add_warning(warning, "The mole fractions of fluid '" + fluid->name +
                                     "' defined in line " + std::to_string(start_line) +
                                     " add up to " + number_text(sum) +
                                     "; they are scaled to add up to 1.");
        }
        if (!has_water &&
            (fluid->humidity_type == HT_WATER_FRACTION || fluid->humidity_type == HT_RH_STANDARD ||
             fluid->humidity_type == HT_RH_INLET))
            fail_block("the humid fluid " + quoted(fluid->name) + " has no water component");

        if (Fluid* known = fluids.find(fluid->name)) {
            if (!same_definition(*known, *fluid))
                add_warning(warning, "The fluid '" + fluid->name + "' defined in line " +
                                         std::to_string(start_line) +
                                         " differs from the fluid of that name already known; the "
                                         "known definition is used.");
            return nullptr;
        }
        fluid->ref_code = "OTH";
        fluid->T0 = 283.15;
        fluid->p0 = 101.325;
        fluid->h0 = 0.0;
        fluid->s0 = 0.0;
        new_fluid_init(*fluid, 0, options_.use_library);
        if (options_.use_library && fluid->available != 0 &&
            fluid->humidity_type == HT_RH_STANDARD && fluid->ref_hum_T > 0 &&
            fluid->ref_hum_p > 0) {
            std::array<double, MAX_COMPONENTS> humid{};
            if (std::string why = humid_composition(*fluid, humid); !why.empty()) {
                if (current_fluid == fluid.get()) current_fluid = nullptr;
                fail_block(why);
            }
        }
        return fluid;
    }

private:
    [[noreturn]] void fail(const std::string& text) { throw ReadError{lines_.number(), text}; }

    static void add_warning(std::string& warning, const std::string& text) {
        if (!warning.empty()) warning += '\n';
        warning += text;
    }

    // Why a name cannot be a fluid's name: not UTF-8 text, or control
    // characters (a zero byte, a tab ...). "" when it can.
    static std::string name_problem(std::string_view name) {
        for (char c : name)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
                return "holds a control character";
        if (g_utf8_validate(name.data(), static_cast<gssize>(name.size()), nullptr) == FALSE)
            return "is not valid UTF-8 text";
        return "";
    }

    // The reference humidity line: four numbers, each within the range the
    // fluid editor offers (water's saturation range for the temperature, a
    // positive pressure, fractions 0..1, liquid water only at 100 %).
    void read_reference_humidity(const std::vector<std::string_view>& t, Fluid& fluid) {
        static constexpr const char* WHAT[NUM_REF_ROWS] = {
            "reference temperature", "reference pressure", "relative humidity",
            "additional liquid water"};
        static constexpr const char* UNIT[NUM_REF_ROWS] = {" K", " kPa", "", ""};
        double v[NUM_REF_ROWS] = {};
        for (int k = 0; k < NUM_REF_ROWS; ++k)
            if (!parse_number(token(t, sz(2 * k + 1)), v[k]))
                fail("the reference humidity needs four numbers");
        ReferenceHumidity ref{v[REF_T], v[REF_P], v[REF_RH], v[REF_LIQUID]};
        // A temperature and pressure of 0 are a record's "no reference
        // humidity of its own": the ISO state is taken.
        const bool none = v[REF_T] == 0.0 && v[REF_P] == 0.0;
        for (int k = 0; k < NUM_REF_ROWS; ++k) {
            if (none && (k == REF_T || k == REF_P)) continue;
            const ValueRange r = reference_range(k, ref);
            if (v[k] >= r.lo && v[k] <= r.hi) continue;
            std::string range = number_text(r.lo) + " to " + number_text(r.hi) + UNIT[k];
            if (k == REF_T) range += " (where water has a saturation pressure)";
            if (k == REF_LIQUID && r.hi == 0.0) range = "0 (liquid water only at a humidity of 1)";
            fail(std::string("the ") + WHAT[k] + " " + number_text(v[k]) + UNIT[k] + " is not " +
                 range);
        }
        fluid.ref_hum_T = v[REF_T];
        fluid.ref_hum_p = v[REF_P];
        fluid.ref_hum_rh = v[REF_RH];
        fluid.ref_hum_liquid = v[REF_LIQUID];
    }

    static bool same_definition(const Fluid& a, const Fluid& b) {
        if (a.az_components != b.az_components || a.humidity_type != b.humidity_type) return false;
        for (int c = 0; c < a.az_components && c < MAX_COMPONENTS; ++c) {
            if (a.comp_index[sz(c)] != b.comp_index[sz(c)]) return false;
            if (std::fabs(a.x[sz(c)] - b.x[sz(c)]) > 1e-6) return false;
        }
        if (a.humidity_type == HT_RH_STANDARD) {
            if (std::fabs(a.ref_hum_T - b.ref_hum_T) > 1e-6 ||
                std::fabs(a.ref_hum_p - b.ref_hum_p) > 1e-6 ||
                std::fabs(a.ref_hum_rh - b.ref_hum_rh) > 1e-6 ||
                std::fabs(a.ref_hum_liquid - b.ref_hum_liquid) > 1e-6)
                return false;
        }
        return true;
    }

    Lines& lines_;
    const ReadOptions& options_;
};

}  // namespace

namespace filescan {

std::unique_ptr<Fluid> read_fluid_block(Lines& lines, const ReadOptions& options,
                                        std::string& warning) {
    FluidBlockReader reader(lines, options);
    return reader.read(warning);
}

}  // namespace filescan

int new_fluid_init(Fluid& fluid, int quiet, bool use_library) {
    init_iso_positions(fluid);
    fluid.available = 1;
    fluid.setup_failure.clear();  // a new definition: set up anew
    fluid.std_T = 273.15;
    fluid.std_p = 101.325;
    fluid.group = FG_USER;
    fluid.ref_code = "OTH";
    fluid.components.clear();
    fluid.x_water.fill(0.0);
    fluid.water_pos = 0;
    int n = std::clamp(fluid.az_components, 0, MAX_COMPONENTS);
    for (int c = 0; c < n; ++c) {
        int index = fluid.comp_index[sz(c)];
        if (const Fluid* comp = fluids[index]) {
            std::string_view name = comp->components;
            while (!name.empty() && name.back() == '|') name.remove_suffix(1);
            fluid.components += name;
        }
        fluid.components += '|';
        if (index == FLUID_WATER) {
            fluid.water_pos = c;
            fluid.x_water[sz(c)] = 1.0;
        }
    }
    fluid.x_saved = fluid.x;
    if (const Fluid* first = fluids[0]) fluid.axis = first->axis;
    for (Axis& a : fluid.axis) set_axis_defaults(a);
    if (use_library && init_stoffwerte(&fluid) == 0) {
        fluid.available = 0;  // a fluid the library cannot hold is offered nowhere
        // The library holds no fluid now: the next set-up of this one must
        // try again (and fail again) instead of finding it current.
        if (current_fluid == &fluid) current_fluid = nullptr;
        return 0;
    }
    if (quiet == 0 && on_user_fluid_added != nullptr) on_user_fluid_added(fluid);
    return 1;
}

std::unique_ptr<Fluid> read_fluid(std::string_view block, std::string& error, std::string& warning,
                                  const ReadOptions& options) {
    error.clear();
    warning.clear();
    Lines lines(block);
    // The block's own "#START" line, when it is there (after a file's header
    // lines, which hold no field), opens it.
    Lines peek(block);
    std::string_view line;
    while (peek.next(line) && line.find('"') == std::string_view::npos) {
        if (!is_start_line(line)) continue;
        while (lines.number() < peek.number()) lines.next(line);
        break;
    }
    try {
        return read_fluid_block(lines, options, warning);
    } catch (const ReadError& e) {
        error = "line " + std::to_string(e.line) + ": " + e.text;
        return nullptr;
    }
}

}  // namespace app
