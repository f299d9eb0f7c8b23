// Derivatives of a mixture model's reduced residual Helmholtz energy by the
// mole fractions, the fractions taken as independent variables, for the
// models written directly in temperature and density (Peng-Robinson and
// AGA8): PHIDERV combines them with the derivatives in tau and delta by the
// same chain rule as the multi-fluid model's, its reducing functions then
// being constants of the composition.
#pragma once

#include <array>

#include "library/setup/common.h"

namespace lib {

struct FractionDerivatives {
    using Vec = std::array<double, kMaxComp>;
    using Mat = std::array<Vec, kMaxComp>;
    Vec ax{};   // d alphar / d x_i at constant T and D
    Vec axd{};  // D d(ax_i)/dD at constant T and x
    Vec axt{};  // tau d(ax_i)/dtau = -T d(ax_i)/dT at constant D and x
    Mat axx{};  // d2 alphar / d x_i d x_j at constant T and D (symmetric)
};

// The Peng-Robinson mixture (mixing rules with k_ij, the volume translation
// included) at T (K) and D (mol/L); entries of components with x_i <= 0 are
// 0.  False for a state outside the equation's reach (no positive co-volume,
// a density at or beyond 1/(b - c)).
bool pr_fraction_derivatives(double T, double D, const double x[20], bool second,
                             FractionDerivatives& f);

// The AGA8 mixture after SETAGA.  False when a component present has no
// AGA8 component or the state is not positive.
bool aga8_fraction_derivatives(double T, double D, const double x[20], bool second,
                               FractionDerivatives& f);

}  // namespace lib
