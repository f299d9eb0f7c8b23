// The AGA8 detail-characterization equation for natural gases (mixture
// model code "AGA"): SETAGA switches it on for the current components,
// UNSETAGA off, SETAG forms the composition's parameters and PHIAGA
// evaluates the residual Helmholtz energy (SETAGA and UNSETAGA are declared
// in library/library.h).
#pragma once

#include <array>
#include <string>

#include "library/setup/common.h"

namespace lib {

constexpr int kAga8Components = 21;
constexpr int kAga8Terms = 58;
constexpr int kAga8Virial = 18;  // terms of the second virial coefficient
constexpr int kAga8Pairs = 61;   // pairs with a binary parameter other than 1

struct Aga8Component {
    const char* cas;
    double M, E, K, G, Q, F, S, W;
    double B, C, D, Ecosh, Fcosh, Gsinh, H, I, J;  // ideal-gas heat capacity
};
struct Aga8Term {
    double a, b, c, k, u, g, q, f, s, w;
};
struct Aga8Pair {
    int i, j;  // 1..21, i < j
    double E, U, K, G;
};
extern const std::array<Aga8Component, kAga8Components> kAga8Comp;
extern const std::array<Aga8Term, kAga8Terms> kAga8Term;
extern const std::array<Aga8Pair, kAga8Pairs> kAga8Pair;

// Pair quantities over all AGA8 components, and each current component's
// AGA8 component (0 = none), formed by SETAGA.
struct IntmcfRecord {
    std::array<int, kMaxComp + 1> aga{};
    // a_n E_ij^u_n (K_i K_j)^(3/2) B*_nij of the second-virial terms.
    std::array<std::array<std::array<double, kAga8Components>, kAga8Components>, kAga8Virial> bij{};
    // (K_ij^5 - 1)(K_i K_j)^(5/2), (U_ij^5 - 1)(E_i E_j)^(5/2), (G_ij - 1)(G_i + G_j).
    std::array<std::array<double, kAga8Components>, kAga8Components> kij{}, uij{}, gij{};
};
extern IntmcfRecord INTMCF;

// The composition's parameters formed by SETAG: K, U, G, Q, F, the
// second-virial sums of the 18 terms and the coefficients C*_n of the
// series terms without their temperature factor T^-u_n.
struct VarRecord {
    double K = 0, U = 0, G = 0, Q = 0, F = 0;
    std::array<double, kAga8Virial> b{};
    std::array<double, kAga8Terms> c{};
    std::array<double, kAga8Components> y{};  // the AGA8 composition they belong to
};
extern VarRecord VAR;

// What SETAGA replaced, restored by UNSETAGA.
struct AgasvRecord {
    Code mix;            // AGASV1: the mixture model code
    double gcnst = 0.0;  // AGASV3: the gas constant
    struct Comp {        // AGASV2: per component
        double rgas = 0, wm = 0;
        double tmin = 0, tmax = 0, pmax = 0, dmax = 0;  // WLMCPP
        double tr = 0, cr = 0;                          // WRDCPP
        std::array<int, 7> counts{};                    // WNTCPP
        std::array<std::array<double, 5>, 5> terms{};   // first five WCPCPP terms
        double tref = 0, dref = 0, h0 = 0, s0 = 0;      // CREF
        Code cp0;                                       // ideal-gas model code
    };
    std::array<Comp, kMaxComp + 1> comp{};
};
extern AgasvRecord AGASV;

void SETAG(const double x[20]);
double PHIAGA(int itau, int idel, double tau, double del, const double x[20]);

// The AGA8 equation for an AGA8 composition y (21 mole fractions summing
// to 1) at T (K) and D (mol/L): the residual Helmholtz energy / RT and its
// reduced derivatives T^itau ... as PHIAGA returns them (tau^itau
// delta^idel d^(itau+idel) alphar / dtau^itau ddelta^idel).
double aga8_phi(int itau, int idel, double T, double D, const double y[kAga8Components]);

}  // namespace lib
