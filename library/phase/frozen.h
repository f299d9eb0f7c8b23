// Components of a mixture below their triple point.  A component colder
// than kFrozenShare of its triple-point temperature is a solid in reality,
// and its equation describes no liquid there (water's has no liquid root
// below about 230 K): a phase made mostly of such components is no fluid
// phase.  Where they are a trace of the feed (kFrozenTrace together, the
// 0.04 % of carbon dioxide in air), they are carried along: the phase
// equilibrium is that of the rest of the feed, and each phase holds the
// trace at the feed's fractions (in reality they would deposit, a
// difference of about their fraction times their sublimation enthalpy).
// More than a trace, a state from which they would deposit (their fugacity
// above their sublimation pressure) is refused.
#pragma once

#include <string>

namespace lib::mix {

constexpr double kFrozenShare = 0.9;
constexpr double kFrozenTrace = 1e-3;

// Whether component i (0-based) is frozen at T.
bool frozen(int i, double T);

// The frozen trace of feed z at T: its frozen components from the smallest
// up to kFrozenTrace of the feed together.
struct FrozenTrace {
    bool any = false;
    bool held[20] = {};
    double share = 0;      // their fraction together
    double rest[20] = {};  // the feed without them, normalised
};
FrozenTrace frozen_trace(double T, const double z[20]);

// The trace the feed would carry wherever its smallest components are
// frozen: those up to kFrozenTrace together (for a saturation point whose
// temperature is not known beforehand).
FrozenTrace possible_trace(const double z[20]);

// The highest temperature at which a component of z beyond the trace it
// may carry is frozen: below it the (T, p) flash refuses most states (0
// where no component has a triple point).
double freezing_floor(const double z[20]);
// The component (0-based) whose freezing sets that floor, -1 for none.
int floor_component(const double z[20]);

// Whether two traces hold the same components.
bool same_trace(const FrozenTrace& a, const FrozenTrace& b);

// A phase composition of the rest without the trace (in place,
// normalised), and with it again: each trace component at its feed
// fraction.
void remove_trace(const FrozenTrace& t, double c[20]);
void add_trace(const FrozenTrace& t, const double z[20], double c[20]);

// The frozen component of z (0-based), not carried as a trace, that would
// deposit as a solid from a state at (T, P) whose component fugacities are
// f (kPa): its fugacity above the solid's (its sublimation
// pressure, raised by the solid's volume, taken as the triple-point
// liquid's, times P - Psub over R T).  -1 when none would.
int freezing_component(double T, double P, const double z[20], const double f[20]);

// The frozen component (0-based) of most of a liquid of a split (x of
// density Dl; y of Dv where it is a liquid too, or the denser of a dense
// pair), where frozen components make up more than half of it, else -1:
// such a liquid is no fluid phase (the rule of the tangent-plane test's
// trials), but the solid those components form (liquid ethanol 40 K below
// its triple point beside carbon monoxide's gas; cyclopropane's equation,
// extrapolated 17 K below its triple point, gives a liquid of -140 kJ/mol
// there; r21 at 17 mol/L beside the liquid of r22).
int frozen_liquid(double T, const double x[20], const double y[20], double Dl, double Dv,
                  bool two_liquids);

// The message of a state refused because component i would freeze out.
std::string freezes_out(int i, double T);

// Whether a component of z beyond the trace it may carry at T is frozen
// there: only then may the (T, p) flash refuse a state at T as frozen.
bool frozen_beyond_trace(double T, const double z[20]);

// Whether the (T, p) flash refuses the state of z at (T, P) because a
// component would freeze out of it (error 250); then `reason` holds its
// message without the number.  Every other flash checks the state it found
// with it, so that one rule says where a component freezes out (carbon
// dioxide + water 96/4: HSFLSH ended on two phases at 226.96 K, 7.57 MPa,
// whose 4 % of water the (T, p) flash finds freezing out).  False at once
// where no component beyond a trace is frozen at T.
bool tp_flash_refuses_frozen(double T, double P, const double z[20], std::string& reason);

// Whether the property `letter` ('H', 'S' or 'E') of value b lies below its
// value at the lowest temperature of the isobar P where the (T, p) flash
// finds a fluid of z, below which it refuses every state as frozen (error
// 250); then `reason` holds the flash's message without its number.  That
// temperature is the freezing floor `floor` where the flash refuses the
// states just below it (humid air of 0.14 % water at 36.2 kPa, below the
// frost point of its water), else it is bisected between the floor and
// `tmin`, the lowest temperature of the equations (Natural Gas Groningen at
// 96.3 kPa carries its 0.9 % of carbon dioxide down to 149.9 K).
// Where b lies instead between the value at that lowest temperature and
// the floor's, `lowest_fluid` (if given) receives that temperature (else
// 0): the state of b is a fluid below the floor (Natural Gas Groningen at
// 3 kPa, 130 K: its 0.9 % of carbon dioxide stays in the gas, whose dew
// point for it lies below).
bool below_lowest_fluid(double P, char letter, double b, const double z[20], double floor,
                        double tmin, std::string& reason, double* lowest_fluid = nullptr);

// While one lives, below_lowest_fluid says false at once (the flash at
// given pressure then fails with its error 248 instead of 250): for a
// search that only asks whether that flash finds a state, whose failures
// there cost 15-40 ms each for the bisection of the reason (HSFLSH of
// Natural Gas Groningen at h = -9979.5 J/mol, s = 39.934 J/(mol K): nine
// flashes along the isenthalp, each below the lowest fluid state of its
// isobar, 0.23 s of the 0.27 s it took to fail).
class NoFreezingReason {
public:
    NoFreezingReason();
    ~NoFreezingReason();
    NoFreezingReason(const NoFreezingReason&) = delete;
    NoFreezingReason& operator=(const NoFreezingReason&) = delete;
    // Whether below_lowest_fluid was asked while it lived: the flash at
    // given pressure found no fluid state up from the freezing floor.
    bool asked() const;

private:
    long asks_before_;
};

}  // namespace lib::mix
