// The dense-liquid continuation of the general transport correlations
// (VS1, TC1, and water's IAPWS viscosity form).
//
// Several published viscosity correlations carry a free-volume term or a
// rational group with a pole at a density a little above the liquid they
// were fitted to (their close-packed density), others turn over there
// (a maximum in density); the equations of state reach beyond it, and a
// reference fluid's correlation is asked beyond it by the corresponding-
// states route.  Up to the densest state at which the correlation is sound
// -- finite, positive, below its pole (an elasticity d ln(eta)/d ln(D) of
// at most kMaxElasticity) and below a maximum -- it is used as it stands;
// beyond, the density-dependent part (eta - eta0, or the conductivity's
// background) continues exponentially in
// density from its value and slope at that state (where a correlation
// turns over, with its mean slope over the 5 % of density before), so that
// every density gets a finite value that rises with it.
#pragma once

namespace lib::dense {

enum Property { kViscosity = 0, kConductivity = 1 };

// The elasticity d ln(eta)/d ln(D) beyond which a correlation is continued:
// the well-behaved correlations stay below 42 up to their melting lines.
constexpr double kMaxElasticity = 50.0;

// True when (T, D) lies beyond the densest sound state of the correlation
// of property p of slot k at T; `background` is then the continued
// density-dependent part (eta - eta0 in uPa s, or the conductivity's
// background in W/(m K)).  False (nothing changed) for states the
// correlation answers itself, for slots without a continued model, and
// where no continuation can be formed.
bool continued(Property p, int k, double T, double D, double& background);

// The densest sound state of slot k at T (mol/L; infinite where the
// correlation stays sound up to 1.2 times its density limit).
double limit(Property p, int k, double T);

// Forgets the tables of dense limits (a new set-up).
void forget();

}  // namespace lib::dense
