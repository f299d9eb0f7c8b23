// Mole and mass fractions of the fluid editor, the reference humidity, and
// the humid composition of a fluid with relative humidity at standard values.
#include "app/core/fluids/composition.h"

#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "app/core/program/text_output.h"
#include "library/library.h"

#include <algorithm>
#include <cmath>

namespace app {

namespace {

// Water's triple-point and critical temperature, K: the range in which it
// has a saturation pressure.
constexpr double T_WATER_TRIPLE = 273.16;
constexpr double T_WATER_CRITICAL = 647.096;
// Lowest reference pressure, kPa (the fluids' lowest pressure).
constexpr double P_REF_MIN = 0.1;
constexpr double HUGE_VALUE = 1e99;

double molar_mass_of(int fluid) {
    const Fluid* f = fluids[fluid];
    return f != nullptr ? f->molar_mass : 0.0;
}

bool valid_index(int fluid) { return fluid >= 0 && fluid < MAX_FLUIDS; }

double sum_of(const Composition& c, const std::array<double, MAX_FLUIDS>& v) {
    double s = 0.0;
    for (int id : c.fluid_ids)
        if (valid_index(id)) s += v[sz(id)];
    return s;
}

// to[i] = from[i] * weight(i) / sum of from[j] * weight(j).
template <class Weight>
void convert(const Composition& c, const std::array<double, MAX_FLUIDS>& from,
             std::array<double, MAX_FLUIDS>& to, Weight weight) {
    double total = 0.0;
    for (int id : c.fluid_ids)
        if (valid_index(id)) total += from[sz(id)] * weight(id);
    for (int id : c.fluid_ids) {
        if (!valid_index(id)) continue;
        const double v = from[sz(id)] * weight(id);
        to[sz(id)] = total > 0.0 && std::isfinite(total) ? v / total : 0.0;
    }
}

double fraction(double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; }

void normalize(const Composition& c, std::array<double, MAX_FLUIDS>& v) {
    const double s = sum_of(c, v);
    if (s == 0.0) return;
    for (int id : c.fluid_ids)
        if (valid_index(id)) v[sz(id)] /= s;
}

void fill_up(const Composition& c, std::array<double, MAX_FLUIDS>& v, int fluid) {
    if (!valid_index(fluid)) return;
    double others = 0.0;
    for (int id : c.fluid_ids)
        if (valid_index(id) && id != fluid) others += v[sz(id)];
    v[sz(fluid)] = fraction(1.0 - others);
}

}  // namespace

double mole_sum(const Composition& c) { return sum_of(c, c.mole); }
double mass_sum(const Composition& c) { return sum_of(c, c.mass); }

bool composition_complete(const Composition& c) {
    return std::fabs(mole_sum(c) - 1.0) < 1e-8 && std::fabs(mass_sum(c) - 1.0) < 1e-8;
}

void mole_to_mass(Composition& c) { convert(c, c.mole, c.mass, molar_mass_of); }

void mass_to_mole(Composition& c) {
    convert(c, c.mass, c.mole, [](int id) {
        const double M = molar_mass_of(id);
        return M > 0.0 ? 1.0 / M : 0.0;
    });
}

void set_mole_fraction(Composition& c, int fluid, double x) {
    if (!valid_index(fluid)) return;
    c.mole[sz(fluid)] = fraction(x);
    mole_to_mass(c);
}

void set_mass_fraction(Composition& c, int fluid, double w) {
    if (!valid_index(fluid)) return;
    c.mass[sz(fluid)] = fraction(w);
    mass_to_mole(c);
}

void normalize_mole(Composition& c) {
    normalize(c, c.mole);
    mole_to_mass(c);
}

void normalize_mass(Composition& c) {
    normalize(c, c.mass);
    mass_to_mole(c);
}

void increase_mole_to_100(Composition& c, int fluid) {
    fill_up(c, c.mole, fluid);
    mole_to_mass(c);
}

void increase_mass_to_100(Composition& c, int fluid) {
    fill_up(c, c.mass, fluid);
    mass_to_mole(c);
}

int component_position(const Composition& c, int fluid) {
    for (std::size_t i = 0; i < c.fluid_ids.size(); ++i)
        if (c.fluid_ids[i] == fluid) return static_cast<int>(i);
    return -1;
}

// ---------------------------------------------------------------------------
// Reference humidity
// ---------------------------------------------------------------------------

const std::array<ReferenceRowDef, NUM_REF_ROWS> reference_rows = {{
    {"Reference Temperature", Q_TEMPERATURE},
    {"Reference Pressure", Q_PRESSURE},
    {"Relative humidity at reference point", Q_RELATIVE_VALUE},
    {"Additional liquid water ( for humidity = 100% )", Q_RELATIVE_VALUE},
}};

bool liquid_water_allowed(double rh) { return std::fabs(rh - 1.0) < 1e-12; }

ValueRange reference_range(int row, const ReferenceHumidity& ref) {
    switch (row) {
        case REF_T: return {T_WATER_TRIPLE, T_WATER_CRITICAL};
        case REF_P: return {P_REF_MIN, HUGE_VALUE};
        case REF_RH: return {0.0, 1.0};
        case REF_LIQUID: return {0.0, liquid_water_allowed(ref.rh) ? 1.0 : 0.0};
        default: return {};
    }
}

ValueRange reference_range_shown(int row, int unit, const ReferenceHumidity& ref) {
    if (row < 0 || row >= NUM_REF_ROWS) return {};
    const ValueRange r = reference_range(row, ref);
    const int q = reference_rows[sz(row)].quantity;
    double a = to_display(q, unit, r.lo);
    double b = r.hi >= HUGE_VALUE ? HUGE_VALUE : to_display(q, unit, r.hi);
    if (b < a) std::swap(a, b);
    return {a, b};
}

double reference_value(const ReferenceHumidity& ref, int row) {
    switch (row) {
        case REF_T: return ref.T;
        case REF_P: return ref.p;
        case REF_RH: return ref.rh;
        case REF_LIQUID: return ref.liquid;
        default: return 0.0;
    }
}

void set_reference_value(ReferenceHumidity& ref, int row, double value) {
    if (!std::isfinite(value)) return;
    const ValueRange r = reference_range(row, ref);
    value = std::clamp(value, r.lo, r.hi);
    switch (row) {
        case REF_T: ref.T = value; break;
        case REF_P: ref.p = value; break;
        case REF_RH:
            ref.rh = value;
            if (!liquid_water_allowed(value)) ref.liquid = 0.0;
            break;
        case REF_LIQUID: ref.liquid = value; break;
        default: break;
    }
}

// ---------------------------------------------------------------------------
// Humid composition
// ---------------------------------------------------------------------------

std::string humid_composition(const Fluid& f, std::array<double, MAX_COMPONENTS>& x) {
    x = f.x;
    if (f.humidity_type != HT_RH_STANDARD) return "";
    const int n = std::clamp(f.az_components, 0, MAX_COMPONENTS);
    const int wp = f.water_pos;
    if (wp < 0 || wp >= n || f.comp_index[sz(wp)] != FLUID_WATER)
        return format_text("The fluid '%s' has no water component for its humidity.",
                           f.name.c_str());
    if (!(f.ref_hum_p > 0.0))
        return format_text("The reference pressure of the humidity of '%s' is not positive.",
                           f.name.c_str());
    double ps = 0, Dl = 0, Dv = 0, xl[MAX_COMPONENTS] = {}, xv[MAX_COMPONENTS] = {};
    int ierr = 0;
    std::string herr;
    lib::SATT(f.ref_hum_T, f.x_water.data(), lib::kDewPoint, ps, Dl, Dv, xl, xv, ierr, herr);
    if (ierr > 0 || !std::isfinite(ps) || !(ps > 0.0))
        return format_text(
            "Water has no saturation pressure at the reference temperature %g K of '%s': %s",
            f.ref_hum_T, f.name.c_str(), herr.c_str());
    const double xw = f.ref_hum_rh * ps / f.ref_hum_p + f.ref_hum_liquid;
    if (!(xw <= 1.0))
        return format_text(
            "The humidity of '%s' gives a water fraction of %g, more than the whole mixture "
            "(saturation pressure %g kPa at %g K, reference pressure %g kPa).",
            f.name.c_str(), xw, ps, f.ref_hum_T, f.ref_hum_p);
    for (int i = 0; i < n; ++i) x[sz(i)] = i == wp ? xw : f.x[sz(i)] * (1.0 - xw);
    return "";
}

}  // namespace app
