// Set-up of a working fluid in the property library (init_stoffwerte), in
// its named steps. A combustor switches between its fuel and the exhaust
// gas on every calculation, so the steps stay cheap for mixtures: their
// critical and triple-point states come from the equation of state
// directly. A fluid set up again with the same inputs (the combustor's and
// an interface's switches, the parts of a process) takes the values of
// steps 6-8 and 10 it had: only the library's set-up and step 9 run again.
#include "app/core/fluids/fluid_properties.h"
#include "app/core/fluids/transport_values.h"
#include "app/core/model/init.h"
#include "app/core/program/text_output.h"
#include "library/library.h"

#include <cmath>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace app {

namespace {

double wmol(const double* c) { return lib::WMOL(c); }

bool fail_setup() {
    current_fluid = nullptr;
    return false;
}

// The library's set-up error code for the components; 0 when they set up.
int setup_error(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& n : names) list += n + "|";
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(static_cast<int>(names.size()), list, "hmx", hrf, ierr, herr);
    return ierr;
}

// The components of a mixture that cannot be set up together: the first
// pair that fails as a binary mixture; else the components without which
// the rest sets up (a pair model that holds for binary mixtures only).
// Display names joined by " and "; "" when none is found.
std::string unsupported_components(const Fluid& f) {
    std::vector<std::string> names;
    for (std::size_t start = 0; start < f.components.size();) {
        std::size_t bar = f.components.find('|', start);
        if (bar == std::string::npos) bar = f.components.size();
        if (bar > start) names.push_back(f.components.substr(start, bar - start));
        start = bar + 1;
    }
    const std::size_t n = names.size();
    if (n < 2 || n != static_cast<std::size_t>(f.az_components)) return "";
    auto shown = [&f](std::size_t k) {
        const Fluid* comp = fluids[f.comp_index[k]];
        return comp != nullptr ? comp->name : std::string();
    };
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            if (setup_error({names[i], names[j]}) != 0) return shown(i) + " and " + shown(j);
    std::string culprits;
    for (std::size_t k = 0; k < n && n > 2; ++k) {
        std::vector<std::string> rest = names;
        rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(k));
        if (setup_error(rest) == 0) culprits += (culprits.empty() ? "" : " and ") + shown(k);
    }
    return culprits;
}

// The reason of a failed set-up: the library's text and, for a mixture,
// the components that cannot be set up together. Leaves the library
// without a fluid.
std::string setup_reason(const Fluid& f, const std::string& herr) {
    std::string reason = herr;
    if (!reason.empty() && reason.back() != '.') reason += '.';
    if (f.az_components > 1) {
        const std::string which = unsupported_components(f);
        if (!which.empty())
            reason += " The components that cannot be set up together: " + which + ".";
    }
    return reason;
}

// Steps 3-5: the library's set-up and the reference state. A failure is
// reported once per fluid record, with its reason.
bool library_setup(Fluid& f) {
    int ierr = 0;
    std::string herr;
    std::string hrf = f.ref_code == "OTH" ? std::string("DEF") : f.ref_code;
    if (!f.setup_failure.empty()) return fail_setup();  // said already
    lib::SETUP0(f.az_components, f.components, "hmx", hrf, ierr, herr);
    if (ierr != 0) {
        f.setup_failure = setup_reason(f, herr);
        print_message("Error initializing fluid %s. %s\n", f.name.c_str(), f.setup_failure.c_str());
        if (ierr == 117) print_message("Fluid combination in this mixture is not supported\n");
        return fail_setup();
    }
    if (f.ref_code != "OTH") return true;
    const double* c = f.x.data();
    const double M = wmol(c);
    std::string code = "OTH";
    const int ixflag = fluids.index_of(&f) == FLUID_HELIUM ? 2 : 1;
    lib::SETREF(code, ixflag, c, f.h0 * M, f.s0 * M, f.T0, f.p0, ierr, herr);
    if (ierr != 0) {
        print_message("Error setting fluid reference point\n");
        return fail_setup();
    }
    return true;
}

// Step 6: the critical point. The state there comes from the equation of
// state at (Tc, Dc); a pure fluid's through the (T, D) flash, a mixture's
// directly (the flash would search the estimated critical point of a
// mixture for a two-phase split). Should the flash fail, the critical
// pressure stays the one of the critical-point routine.
bool critical_point(Fluid& f) {
    const double* c = f.x.data();
    double Tc = 0, pc = 0, Dc = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(c, Tc, pc, Dc, ierr, herr);
    if (ierr > 0 || !(Tc > 0) || !(pc > 0)) {
        // Without its critical point no state of the fluid can be placed.
        print_message("Error initializing fluid %s.\n", f.name.c_str());
        print_message("%s\n", herr.c_str());
        return fail_setup();
    }
    f.Tc = Tc;
    f.pc = pc;
    f.Dc = Dc * wmol(c);
    double T = f.Tc, p = 0, s = 0, h = 0, rho = f.Dc, q = 0;
    const bool mixture = f.az_components > 1;
    if (!mixture && get_all_by_T_and_rho(c, T, p, s, h, rho, q) == 0 && std::isfinite(p) && p > 0) {
        f.pc = p;
    } else {
        double pe = 0;
        therm_wrapper(c, T, pe, s, h, rho);
        if (mixture && std::isfinite(pe) && pe > 0) f.pc = pe;
    }
    f.hc = h;
    f.sc = s;
    return true;
}

// Step 7: the triple point (liquid side) of the first component; left at
// zero when saturation fails there.
void triple_point(Fluid& f) {
    const double* c = f.x.data();
    double wmm = 0, ttrp = 0, tnbp = 0, tc = 0, pc1 = 0, dc = 0, zc = 0, acf = 0, dip = 0, rgas = 0;
    lib::INFO(1, wmm, ttrp, tnbp, tc, pc1, dc, zc, acf, dip, rgas);
    f.Ttrp = ttrp;
    f.ptrp = 0;
    f.Dtrp = 0;
    double p = 0, Dl = 0, Dv = 0, xl[MAX_COMPONENTS] = {}, xv[MAX_COMPONENTS] = {};
    int ierr = 0;
    std::string herr;
    lib::SATT(ttrp, c, lib::kBubblePoint, p, Dl, Dv, xl, xv, ierr, herr);
    if (ierr == 0 && Dl > 0) {
        double T = ttrp, pt = 0, s = 0, h = 0, rho = Dl * wmol(c), q = 0;
        f.Dtrp = rho;
        // A mixture's bubble-point liquid is one phase: its pressure comes
        // from the equation of state (the (T, D) flash would search it for a
        // split).
        if (f.az_components > 1)
            therm_wrapper(c, T, pt, s, h, rho);
        else if (get_all_by_T_and_rho(c, T, pt, s, h, rho, q) != 0)
            pt = 0;
        if (std::isfinite(pt)) f.ptrp = pt;
    }
}

// Step 8: the limits of the equation of state; the test result itself is
// not needed.
void limits(Fluid& f) {
    const double* c = f.x.data();
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int ierr = 0;
    std::string herr;
    lib::LIMITX("EOS", 300.0, 0.0, 0.0, c, tmin, tmax, dmax, pmax, ierr, herr);
    f.Tmin = tmin;
    f.Tmax = tmax;
    f.Dmax = dmax * wmol(c);
    f.pmax = pmax;
    f.pmin = 0.1;
    f.Dmin = 0.1;
}

// Step 9: pure water, when the fluid holds it.
void water(Fluid& f) {
    for (int i = 0; i < MAX_COMPONENTS; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const bool w = i < f.az_components && f.comp_index[k] == FLUID_WATER;
        f.x_water[k] = w ? 1.0 : 0.0;
        if (w) f.water_pos = i;
    }
}

// Step 10: the specific volume at the standard state; 0 when that state
// fails.
void standard_state(Fluid& f) {
    double T = f.std_T, p = f.std_p, s = 0, h = 0, rho = 0, q = 0;
    const int r = get_all_by_T_and_p(f.x.data(), T, p, s, h, rho, q);
    f.v_std = (r == 0 && std::isfinite(rho) && rho > 0) ? 1.0 / rho : 0.0;
}

// What steps 6-8 and 10 found for a fluid record, with the inputs they came from.
struct Derived {
    // Inputs: everything of the record that the steps read, and the
    // version of the library's fluid texts.
    long texts = -1;
    std::string components, ref_code;
    double T0 = 0, p0 = 0, h0 = 0, s0 = 0, std_T = 0, std_p = 0;
    int az_components = 0;
    std::array<double, MAX_COMPONENTS> x{};
    std::array<int, MAX_COMPONENTS> comp_index{};
    // Results.
    double Tc = 0, pc = 0, Dc = 0, hc = 0, sc = 0;
    double Ttrp = 0, ptrp = 0, Dtrp = 0;
    double Tmin = 0, Tmax = 0, pmin = 0, pmax = 0, Dmin = 0, Dmax = 0;
    double v_std = 0;
    std::string transport_note;

    bool same_inputs(const Fluid& f) const {
        return texts == lib::fluid_text_version() && components == f.components &&
               ref_code == f.ref_code && T0 == f.T0 && p0 == f.p0 && h0 == f.h0 && s0 == f.s0 &&
               std_T == f.std_T && std_p == f.std_p && az_components == f.az_components &&
               x == f.x && comp_index == f.comp_index;
    }
    void keep(const Fluid& f) {
        texts = lib::fluid_text_version();
        components = f.components, ref_code = f.ref_code;
        T0 = f.T0, p0 = f.p0, h0 = f.h0, s0 = f.s0, std_T = f.std_T, std_p = f.std_p;
        az_components = f.az_components, x = f.x, comp_index = f.comp_index;
        Tc = f.Tc, pc = f.pc, Dc = f.Dc, hc = f.hc, sc = f.sc;
        Ttrp = f.Ttrp, ptrp = f.ptrp, Dtrp = f.Dtrp;
        Tmin = f.Tmin, Tmax = f.Tmax, pmin = f.pmin, pmax = f.pmax, Dmin = f.Dmin, Dmax = f.Dmax;
        v_std = f.v_std;
        transport_note = f.transport_note;
    }
    void give(Fluid& f) const {
        f.Tc = Tc, f.pc = pc, f.Dc = Dc, f.hc = hc, f.sc = sc;
        f.Ttrp = Ttrp, f.ptrp = ptrp, f.Dtrp = Dtrp;
        f.Tmin = Tmin, f.Tmax = Tmax, f.pmin = pmin, f.pmax = pmax, f.Dmin = Dmin, f.Dmax = Dmax;
        f.v_std = v_std;
        f.transport_note = transport_note;
    }
};

constexpr std::size_t kKeptRecords = 256;

// Per fluid record, what its last complete set-up found.  A record freed
// and another made at its address is told apart by its inputs.
std::unordered_map<const Fluid*, Derived>& derived_values() {
    static std::unordered_map<const Fluid*, Derived> kept;
    return kept;
}

// Steps 6-10.
bool derive(Fluid& f) {
    if (!critical_point(f)) return false;
    triple_point(f);
    limits(f);
    water(f);
    standard_state(f);
    f.transport_note = transport_unavailable_reason(f, f.x.data());
    return true;
}

}  // namespace

int init_stoffwerte(Fluid* fluid) {
    if (fluid != nullptr && fluid == current_fluid) return 1;
    if (fluid == nullptr) return 0;
    Fluid& f = *fluid;
    current_fluid = fluid;  // the getters below read its limits through it
    if (!library_setup(f)) return 0;
    auto& kept = derived_values();
    const auto known = kept.find(fluid);
    if (known != kept.end() && known->second.same_inputs(f)) {
        known->second.give(f);
        water(f);
    } else {
        if (!derive(f)) return 0;
        // Records made for a moment (a dialog's working copy) come and go:
        // the table stays small.
        if (kept.size() >= kKeptRecords) kept.clear();
        kept[fluid].keep(f);
    }
    f.crit = IsoPoint{f.sc, f.hc, f.pc, f.Tc, f.Dc};
    f.crit_axis = {f.sc, f.hc, f.pc, f.Tc};
    return 1;
}

}  // namespace app
