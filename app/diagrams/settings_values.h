// The values behind the diagram settings dialogs, without any window: axis
// ranges and steps in a unit of the user's choice and the checks they must
// pass, and the isoline lists of a diagram (which positions of its fluid
// it shows, in which unit) with the matching of typed values.
#pragma once

#include "app/core/model/records.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace app::diagrams {

// ---------------------------------------------------------------------------
// Axes
// ---------------------------------------------------------------------------

// A value of the axis's quantity in one of its units (factor x v + offset)
// and back; a tick step converts with the factor only.
double shown_value(const Axis& axis, int unit, double base);
double base_value(const Axis& axis, int unit, double shown);
double shown_step(const Axis& axis, int unit, double step);
double base_step(const Axis& axis, int unit, double shown);

// Most tick steps a linear axis may span in the settings dialog.
inline constexpr double MAX_DIALOG_TICKS = 500;

// Why an axis range (base unit) cannot be drawn, in words for the user
// ("X" or "Y" names the axis; values are shown in `unit`), or "" when it
// can: start not below end, a tick step not above zero, a logarithmic
// axis starting at or below zero, numbers that are not finite, or more
// than MAX_DIALOG_TICKS steps on a linear axis.
std::string axis_range_refusal(const Axis& axis, const char* name, int unit, double start,
                               double end, double step);

// ---------------------------------------------------------------------------
// Isolines
// ---------------------------------------------------------------------------

// Per family (isobar, isotherm, density line, wetness line): the quantity
// its values show in and its page of the settings dialog.
inline constexpr std::array<int, NUM_ISO_FAMILIES> ISO_QUANTITY = {Q_PRESSURE, Q_TEMPERATURE,
                                                                   Q_DENSITY, Q_RELATIVE_VALUE};
inline constexpr std::array<const char*, NUM_ISO_FAMILIES> ISO_PAGE_NAMES = {
    "Isobar", "Isotherm", "Density Lines", "Wetness"};

// The positions (base unit) of the fluid's list of the family that the
// diagram shows, in position order.
std::vector<double> shown_positions(const Graph& graph, int family);

// Why a value (base unit) cannot be an isoline position of the family, in
// words for the user (shown in `unit`), or "": it must be a finite number
// above zero, a wetness below 1 as well.
std::string iso_value_refusal(int family, int unit, double base);

// Positions equal to a value within this relative difference are the
// same line (a value typed in another unit lands a rounding off).
inline constexpr double SAME_POSITION = 1e-12;

// The index of the fluid's position of the family equal to `base`, or -1.
int find_position(const IsoFamily& family, double base);

// Makes the diagram show exactly the positions `bases` of the family
// (values already checked): each found in the fluid's list is selected,
// each new one is appended to the fluid's list (to be computed) and
// selected. The other diagrams of the fluid get the new positions as
// hidden. Returns the number of positions appended.
int apply_iso_positions(Graph& graph, int family, const std::vector<double>& bases,
                        std::span<Graph* const> others);

}  // namespace app::diagrams
