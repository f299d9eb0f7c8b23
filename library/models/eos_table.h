// The evaluator table of the equations of state, beside SETFLD's loader
// table (library/setup/setfld_table.cpp): one row per model code.  PHIK,
// REDK, PHIX, REDX, CRITP and the readiness test of the property routines
// find the evaluator of a component slot or of the mixture model here
// instead of comparing codes themselves.
//
// How to add an equation of state:
//  - a pure-fluid equation (MBWR, Peng-Robinson, QUI ...): write its loader
//    and add one row to kLoaderRows in library/setup/setfld_table.cpp, then
//    add one ComponentEos row to kComponentRows in eos_table.cpp with its
//    residual Helmholtz derivative (PHIK's arguments), its reducing values
//    (or nullptr when they are the equation's critical temperature and
//    density), its critical point and, when it needs more than its own
//    section (as ECS needs its reference fluid), a readiness test;
//  - a mixture model (HMX, AGA ...): add one MixtureEos row to kMixtureRows
//    with PHIX's, REDX's and CRITP's routines for a composition.
// The commented rows in eos_table.cpp show the ones still to come.
#pragma once

#include <string>
#include <string_view>

namespace lib {

// A pure-fluid equation of state, serving the slot codes in EOSMOD.eos.
struct ComponentEos {
    // The slot code served: two characters serve every code starting with
    // them ("FE" serves FEQ, FE1, FEK ...), three characters that code only
    // ("ECS", "PR " with its blank).
    std::string_view code;
    // tau^itau delta^idel d^(itau+idel) alphar / dtau^itau ddelta^idel.
    double (*phi)(int icomp, int itau, int idel, double tau, double del) = nullptr;
    // Reducing temperature (K) and density (mol/L); nullptr: the critical
    // temperature and density of `crit`.
    void (*red)(int icomp, double& tred, double& dred) = nullptr;
    // The critical point of the equation: K, kPa, mol/L.
    void (*crit)(int icomp, double& tc, double& pc, double& dc) = nullptr;
    // False while the slot cannot be evaluated yet; nullptr: always ready.
    bool (*ready)(int icomp) = nullptr;
};

// A mixture model, serving the mixture code EOSMOD.mix (three characters).
struct MixtureEos {
    std::string_view code;
    double (*phi)(int itau, int idel, double tau, double del, const double x[20]) = nullptr;
    void (*red)(const double x[20], double& tred, double& dred) = nullptr;
    // The (estimated) critical point of composition x, with its status.
    void (*crit)(const double x[20], double& tc, double& pc, double& dc, int& ierr,
                 std::string& herr) = nullptr;
};

// The row serving the equation-of-state code of component slot icomp, or
// nullptr when none does (an unknown or not yet built model).
const ComponentEos* component_eos(int icomp);
// The row serving the current mixture model code, or nullptr.
const MixtureEos* mixture_eos();

}  // namespace lib
