// Room app/core/fluids: the working fluids. The 41 built-in fluids and
// their axis defaults, the set-up in the property library, the property
// access layer (this file), transport values, compositions, the fluid
// editor's and wizard's logic and the property table's text. It includes
// the model, the library through library/library.h, the message output and
// (the wizard) the fluid completion of files/filehandling.h.
//
// The working fluid set up in the property library, and the property access
// layer in mass units.
//
// The library works in K, kPa, mol/L, J/mol and J/(mol K); the application
// in K, kPa, kg/m3, kJ/kg and kJ/(kg K). Every getter here takes its state
// inputs in mass units, converts them with the molar mass of the composition
// (WMOL), calls one flash or property routine of the library and converts
// the results back. init_stoffwerte must have set the fluid up first.
//
// State getters share one argument order: (composition, T, p, s, h, rho, q);
// the two named in the function's name are inputs, the others outputs. They
// return 0 on success, the library's error number (> 0 error, < 0 warning),
// -1 for a state beyond the fluid's limits (get_all_by_T_and_p), or one of
// the codes PH_* of get_all_by_p_and_h. The outputs are converted even after
// a failed call: a caller looks at the result before it uses them.
//
// Every flash call leaves the liquid and vapour compositions it found in the
// globals x and y.
#pragma once

#include "app/core/model/records.h"

#include <array>
#include <string>

namespace app {

// Liquid and vapour compositions of the latest flash of this layer.
extern std::array<double, MAX_COMPONENTS> x;
extern std::array<double, MAX_COMPONENTS> y;

// The library's message of the latest getter of this layer that failed
// with an error (not cleared by later successes).
extern std::string last_flash_message;

// Molar mass of water, g/mol.
inline constexpr double M_WATER = 18.01528;
// Water condensation is looked for only below this temperature, K.
inline constexpr double T_WATER_LIMIT = 647.0;
// Triple point of water, K: vapour pressures over liquid from here on, over
// ice below.
inline constexpr double T_WATER_TRIPLE = 273.16;

// Sets the library up for a fluid (components, reference state) and fills
// the fluid's critical point, triple point, limits, pure-water composition
// and specific volume at its standard state. Returns 1 when the library
// holds the fluid (at once when it is current_fluid already), 0 on failure
// or for a null fluid; after a failure no fluid is current.
int init_stoffwerte(Fluid* fluid);

// Results of get_all_by_p_and_h after its single-phase recovery.
inline constexpr int PH_VAPOUR_ASSUMED = 24201;   // found as single-phase vapour
inline constexpr int PH_LIQUID_ASSUMED = 24202;   // found as single-phase liquid
inline constexpr int PH_NO_RECOVERY = 24203;      // two-phase search failed, hint inside 0..1
inline constexpr int PH_RECOVERY_FAILED = 24204;  // the single-phase solution failed too

int get_all_by_T_and_p(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q);
int get_all_by_T_and_rho(const double* c, double& T, double& p, double& s, double& h, double& rho,
                         double& q);
int get_all_by_p_and_rho(const double* c, double& T, double& p, double& s, double& h, double& rho,
                         double& q);
int get_all_by_p_and_s(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q);
// q_hint: the quality of a neighbouring known state; it chooses the phase
// of the single-phase solution when the two-phase search of the flash fails.
int get_all_by_p_and_h(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q, double q_hint);
// T, p, rho and q of the state with enthalpy h and entropy s.
int get_all_by_h_and_s(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q);
int get_all_by_T_and_s(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q);
int get_all_by_s_and_rho(const double* c, double& T, double& p, double& s, double& h, double& rho,
                         double& q);
// q is a molar quality here ...
int get_all_by_p_and_q(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q);
// ... and a mass quality here.
int get_all_by_T_and_q(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q);

// T and p of the two-phase state of overall density rho and molar quality q;
// then s and h at (T, rho).
int get_all_by_rho_and_q(const double* c, double& T, double& p, double& s, double& h, double& rho,
                         double& q);

// The saturation state one of whose phase densities is rho.
int get_boundary_by_rho(const double* c, double& T, double& p, double& s, double& h, double& rho,
                        double& q);
// Saturation boundaries: the bubble (left) and dew (right) side.
int get_left_boundary_by_T(const double* c, double& T, double& p, double& s, double& h, double& rho,
                           double& q);
int get_right_boundary_by_T(const double* c, double& T, double& p, double& s, double& h,
                            double& rho, double& q);
int get_left_boundary_by_p(const double* c, double& T, double& p, double& s, double& h, double& rho,
                           double& q);
int get_right_boundary_by_p(const double* c, double& T, double& p, double& s, double& h,
                            double& rho, double& q);

// p, s and h at (T, rho) from the equation of state alone; no status.
void therm_wrapper(const double* c, double& T, double& p, double& s, double& h, double& rho);

// All properties at (T, p): s, h, rho, cp, cv (kJ/(kg K)), speed of sound w
// (m/s), internal energy e (kJ/kg), isentropic exponent kappa from the speed
// of sound, compressibility factor Z, quality q. No limit test.
int get_all_all_by_T_and_p(const double* c, double& T, double& p, double& s, double& h, double& rho,
                           double& cp, double& cv, double& w, double& e, double& kappa, double& Z,
                           double& q);

// cp (kJ/(kg K)) at (T, rho).
int get_cp_by_T_and_rho(const double* c, double& T, double& rho, double& cp);

// Compressibility factor p / (rho R T).
double get_Z(const double* c, double p, double rho, double T);
// Isentropic expansion coefficient at (T, rho); of the phases in equilibrium
// (along the isentrope through (p, s)) for a two-phase state.
double get_kv(const double* c, double p, double rho, double s, double T);
// Isentropic temperature exponent kT, (kT - 1) / kT = (p / T) (dT/dp) at
// constant s, by a backward difference in pressure.
double get_kT(const double* c, double p, double rho, double s, double T);
// Both exponents at once, each as its function gives it: the flash at (p,
// s) that both begin with is made once (a stepwise turbo-machine asks for
// both at each pass).
struct IsentropeExponents {
    double kT = 1.0, kv = 0.0;
};
IsentropeExponents get_isentrope_exponents(const double* c, double p, double rho, double s,
                                           double T);

// Standard volume flow (m3/h) of the dry part of a mass flow (kg/s) of the
// fluid at inlet temperature T, pressure p and relative humidity phi, and
// back.
double get_stdv_from_massflow(double massflow, Fluid* fluid, double T, double p, double phi);
double get_massflow_from_stdv(double stdv, Fluid* fluid, double T, double p, double phi);

}  // namespace app
