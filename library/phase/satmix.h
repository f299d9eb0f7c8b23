// The mixture roads of SATT and SATP: Newton's method of SATTP first, then
// a start from Raoult's law followed by successive substitution on the
// incipient composition and a secant iteration on the pressure (SATT) or
// the temperature (SATP).
#pragma once

#include <string>

namespace lib {

// What SATT and SATP know of the mixture when its road begins.
struct MixtureSaturation {
    double Tc = 0, Pc = 0, Dc = 0;  // estimated critical point of the feed
    double dmax = 0;                // upper density limit of the equation
    bool guess = false;             // SATT: P, Dl, Dv, xl, xv hold start values
};

// SATT's road for a mixture at T (kph 1 bubble, 2 dew point).
void satt_mixture(double T, const double x[20], int kph, const MixtureSaturation& m, double& P,
                  double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                  std::string& herr);
// SATP's road for a mixture at P.
void satp_mixture(double P, const double x[20], int kph, const MixtureSaturation& m, double& T,
                  double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                  std::string& herr);

// Error n of `routine` where the liquid xl (density Dl) of a saturation
// point at (T, P) splits in two liquids: the point of one liquid lies where
// two are stable (three phases).  SATT and SATP apply it where the caller
// asks (not inside a flash), TQFLSH and PQFLSH at q = 0 and 1.
void refuse_split_liquid(int n, const char* routine, double T, double P, double Dl,
                         const double xl[20], int& ierr, std::string& herr);

// Error 250 of `routine` (with the (T, p) flash's message) where that flash
// refuses the state of mixture x at its saturation point (T, P) because a
// component would freeze out of it: one rule says where a component
// freezes out.  (Air with 0.15 % of carbon dioxide had a bubble point at
// 80 K, 114 kPa, whose carbon dioxide, beyond the trace the liquid air may
// carry, the flash finds depositing; carbon dioxide + water 96/4 one at
// 200 K, 228 kPa, 17 K below the triple point of its carbon dioxide.)  The
// point's values stay.  SATT and SATP apply it to their answers (those
// kept from the call before too) where no flash, other road or
// FrozenPointsKept scope is under way; it costs nothing where no component
// beyond a trace is frozen at T.  Where the point's own phases, in
// equilibrium, show plainly that nothing deposits (each frozen component's
// fugacity in both below its solid's by kClearOfSolid, and neither liquid
// made mostly of frozen components: the rules by which that flash refuses
// the phases it finds), the flash is not asked: at the boundary its
// tangent-plane test meets a distance of zero (Dry ISO Air's bubble point
// at 5 kPa, 59.54 K: 55,000 evaluations of the equation, 640 at 59.5 K).
struct SaturatedPhases {
    double Dl = 0, Dv = 0;       // densities of the liquid and the vapour
    const double* xl = nullptr;  // their compositions
    const double* xv = nullptr;
};
void refuse_frozen_point(const char* routine, double T, double P, const double x[20],
                         const SaturatedPhases& phases, int& ierr, std::string& herr);

// The share of a frozen component's solid fugacity below which a phase
// plainly deposits nothing (the flash itself decides closer to it).
constexpr double kClearOfSolid = 0.99;

// While one lives, SATT and SATP of a mixture keep the points whose state
// the (T, p) flash refuses as frozen instead of refusing them (error 250):
// for the routines that trace the saturation line down to the lowest
// temperature of the equations (SATH, SATS, SATD), whose search for a state
// above the freezing needs the line's ends (nitrogen + co2 90/10 has no
// bubble point at its lowest temperature, 69.3 K, that the flash takes).
class FrozenPointsKept {
public:
    FrozenPointsKept();
    ~FrozenPointsKept();
    FrozenPointsKept(const FrozenPointsKept&) = delete;
    FrozenPointsKept& operator=(const FrozenPointsKept&) = delete;
};

// How many roads of SATT and SATP for a mixture are under way: a point
// asked for by a road's own searches may be refused by its guards against
// recursion, and such a refusal is no answer to remember.
int mixture_roads_under_way();

}  // namespace lib
