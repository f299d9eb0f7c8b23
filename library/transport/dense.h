// The dense-liquid continuation of a general viscosity correlation (VS1).
//
// Several published correlations carry a free-volume term or a rational
// group with a pole at a density a little above the liquid they were
// fitted to (their close-packed density); the equations of state reach
// beyond it, and a reference fluid's correlation is asked beyond it by the
// corresponding-states route.  Up to the densest state at which the
// correlation is sound -- finite, positive, and rising with density by no
// more than kMaxElasticity in d ln(eta)/d ln(D) -- it is used as it stands;
// beyond, the density-dependent part eta - eta0 continues exponentially in
// density from its value and slope at that state (where a correlation
// turns over, with its mean slope over the 5 % of density before), so that
// every density gets a finite value that rises with it.
#pragma once

namespace lib::dense {

// The elasticity d ln(eta)/d ln(D) beyond which a correlation is continued:
// the well-behaved correlations stay below 42 up to their melting lines.
constexpr double kMaxElasticity = 50.0;

// True when (T, D) lies beyond the densest sound state of the viscosity
// correlation of slot k at T; `background` is then the continued
// density-dependent part (eta - eta0, uPa s).  False (nothing changed) for
// states the correlation answers itself, for slots without a general
// correlation, and where no continuation can be formed.
bool continued(int k, double T, double D, double& background);

// The densest sound state of slot k at T (mol/L; infinite where the
// correlation stays sound up to 1.2 times its density limit).
double limit(int k, double T);

// Forgets the tables of dense limits (a new set-up).
void forget();

}  // namespace lib::dense
