// Compositions of user fluids as the fluid editor shows them: every
// component in mole and in mass fractions at once, the two sums, and the
// buttons that normalise or fill up a view; the four reference values that
// define the humidity of a fluid with relative humidity at standard values.
//
// No widgets here: the editor's spinners show what these functions compute.
#pragma once

#include "app/core/model/records.h"

#include <array>
#include <string>
#include <vector>

namespace app {

// ---------------------------------------------------------------------------
// Mole and mass fractions (composition.cpp)
// ---------------------------------------------------------------------------

// The chosen components and their fractions. The fractions are kept by the
// fluid's index in `fluids`, not by the component's position, so that a
// fraction stays with its fluid when the component list changes.
struct Composition {
    std::vector<int> fluid_ids;             // the components, as indexes into `fluids`
    std::array<double, MAX_FLUIDS> mole{};  // mole fractions 0..1, by fluid index
    std::array<double, MAX_FLUIDS> mass{};  // mass fractions 0..1, by fluid index
};

// Sums of the two views over the components.
double mole_sum(const Composition& c);
double mass_sum(const Composition& c);

// Both views add up to 1 within 1e-8 (strictly).
bool composition_complete(const Composition& c);

// Recomputes one view from the other through the components' molar masses:
// w_i = x_i M_i / sum x_j M_j and x_i = (w_i / M_i) / sum (w_j / M_j). All
// zero when the other view is all zero.
void mole_to_mass(Composition& c);
void mass_to_mole(Composition& c);

// A fraction typed into one view (held to 0..1); the other view follows.
void set_mole_fraction(Composition& c, int fluid, double x);
void set_mass_fraction(Composition& c, int fluid, double w);

// Divides one view by its sum (nothing when the sum is 0); the other view
// follows.
void normalize_mole(Composition& c);
void normalize_mass(Composition& c);

// Gives one component what the others leave to 1 in one view (never below
// 0); the other view follows.
void increase_mole_to_100(Composition& c, int fluid);
void increase_mass_to_100(Composition& c, int fluid);

// Position of a fluid among the components, or -1.
int component_position(const Composition& c, int fluid);

// ---------------------------------------------------------------------------
// Reference humidity (composition.cpp)
// ---------------------------------------------------------------------------

// The humidity of a fluid of humidity type HT_RH_STANDARD: relative
// humidity at a reference temperature and pressure, and liquid water added
// at saturation. K, kPa and fractions.
struct ReferenceHumidity {
    double T = 288.15;
    double p = 100.0;
    double rh = 0.6;
    double liquid = 0.0;
};

// Rows of the reference table.
enum ReferenceRow : int { REF_T = 0, REF_P = 1, REF_RH = 2, REF_LIQUID = 3, NUM_REF_ROWS = 4 };

struct ReferenceRowDef {
    const char* label;
    int quantity;  // row of unitdef
};
extern const std::array<ReferenceRowDef, NUM_REF_ROWS> reference_rows;

// Bounds of a reference value, K, kPa or fraction: temperatures where water
// has a saturation pressure (triple to critical point), a positive pressure,
// fractions 0..1 (liquid water only at a relative humidity of 1).
struct ValueRange {
    double lo = 0.0;
    double hi = 0.0;
};
ValueRange reference_range(int row, const ReferenceHumidity& ref);

// The value of a row, and a new value held to the row's range.
double reference_value(const ReferenceHumidity& ref, int row);
void set_reference_value(ReferenceHumidity& ref, int row, double value);

// Liquid water may be added only at a relative humidity of 100 %.
bool liquid_water_allowed(double rh);

// The range of a row in a display unit (lower end first).
ValueRange reference_range_shown(int row, int unit, const ReferenceHumidity& ref);

// ---------------------------------------------------------------------------
// The humid composition of a fluid with relative humidity at standard values
// ---------------------------------------------------------------------------

// The fluid's composition with the humid share of water: the water fraction
// RH * p_sat(T_ref) / p_ref + liquid water, every other fraction scaled by
// (1 - water fraction). p_sat comes from the library, which must hold the
// fluid. Other humidity types: the fluid's own fractions. Returns "" or the
// reason why no such composition exists (no saturation pressure at T_ref,
// more water than the whole mixture).
std::string humid_composition(const Fluid& fluid, std::array<double, MAX_COMPONENTS>& x);

}  // namespace app
