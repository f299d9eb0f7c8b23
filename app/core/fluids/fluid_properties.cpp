// Set-up of a working fluid in the property library, and the property access
// layer in mass units.
#include "app/core/fluids/fluid_properties.h"

#include "app/core/model/init.h"
#include "app/core/program/text_output.h"
#include "library/library.h"

#include <cmath>
#include <string>

namespace app {

std::array<double, MAX_COMPONENTS> x{};
std::array<double, MAX_COMPONENTS> y{};
std::string last_flash_message;

namespace {

// Molar mass of a composition, g/mol.
double wmol(const double* c) { return lib::WMOL(c); }

bool finite(double v) { return std::isfinite(v); }

// The results of a flash that a getter does not hand back (molar density,
// phase densities, energy, heat capacities, speed of sound) and its status.
struct Flash {
    double D = 0, Dl = 0, Dv = 0, e = 0, cv = 0, cp = 0, w = 0;
    int ierr = 0;
    std::string herr;

    // The getter's molar results in mass units: each of s and h given from
    // per mole to per kg, rho given from the molar density D. Returns the
    // flash's error number.
    int in_mass_units(const double* c, double* s, double* h, double* rho) const {
        const double M = wmol(c);
        if (s != nullptr) *s /= M;
        if (h != nullptr) *h /= M;
        if (rho != nullptr) *rho = D * M;
        if (ierr > 0) last_flash_message = herr.substr(0, herr.find_last_not_of(" \0") + 1);
        return ierr;
    }
};

// The flash at (p, s) in molar units: its temperature and its molar density
// (mol/L), both 0 when the flash fails.
struct PsState {
    double T = 0, D = 0;
};
PsState psflsh(const double* c, double p, double s_molar) {
    double T = 0, D = 0, Dl = 0, Dv = 0, q = 0, e = 0, h = 0, cv = 0, cp = 0, w = 0;
    int ierr = 0;
    std::string herr;
    lib::PSFLSH(p, s_molar, c, T, D, Dl, Dv, x.data(), y.data(), q, e, h, cv, cp, w, ierr, herr);
    if (ierr > 0) return {};
    return {T, D};
}

double psflsh_T(const double* c, double p, double s_molar) { return psflsh(c, p, s_molar).T; }
double psflsh_D(const double* c, double p, double s_molar) { return psflsh(c, p, s_molar).D; }

}  // namespace

// ---------------------------------------------------------------------------
// State getters
// ---------------------------------------------------------------------------

int get_all_by_T_and_p(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q) {
    const Fluid* f = current_fluid;
    if (f == nullptr) return -1;
    if (T > f->Tmax || T < f->Tmin || p > f->pmax) return -1;
    Flash r;
    // A mixture's phases are for its (T, p) flash to find: a wet gas
    // condenses far above the critical temperature of the mixture.  A pure
    // fluid is one phase above its critical temperature or pressure.
    const bool above = T > f->Tc || p > f->pc;
    if (!above || f->az_components > 1) {
        lib::TPFLSH(T, p, c, r.D, r.Dl, r.Dv, x.data(), y.data(), q, r.e, h, s, r.cv, r.cp, r.w,
                    r.ierr, r.herr);
        // One phase above the critical temperature or pressure carries the
        // supercritical marker, as a pure fluid's there.
        if (above && r.ierr <= 0 && !(q >= 0 && q <= 1)) q = lib::kQualitySupercritical;
        return r.in_mass_units(c, &s, &h, &rho);
    }
    q = lib::kQualitySupercritical;
    // Above the melting line the fluid is solid, where the equation of
    // state still has a root (water at 256 K and 35 MPa was given the
    // properties of a liquid, which no other flash gave back).
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    lib::LIMITX("EOS", T, 0.0, p, c, tmin, tmax, dmax, pmax, r.ierr, r.herr);
    if (r.ierr > 0) return r.in_mass_units(c, nullptr, nullptr, nullptr);
    lib::TPRHO(T, p, c, lib::kVapour, lib::kNoStartValue, r.D, r.ierr, r.herr);
    rho = r.D;
    if (r.ierr != 0) return r.in_mass_units(c, nullptr, nullptr, nullptr);
    double hjt = 0;
    lib::THERM(T, r.D, c, p, r.e, h, s, r.cv, r.cp, r.w, hjt);
    return r.in_mass_units(c, &s, &h, &rho);
}

int get_all_by_T_and_rho(const double* c, double& T, double& p, double& s, double& h, double& rho,
                         double& q) {
    Flash r;
    r.D = rho / wmol(c);
    const bool above = current_fluid != nullptr && T > current_fluid->Tc;
    if (above && current_fluid->az_components <= 1) {
        double hjt = 0;
        lib::THERM(T, r.D, c, p, r.e, h, s, r.cv, r.cp, r.w, hjt);
        return r.in_mass_units(c, &s, &h, nullptr);
    }
    // A mixture's phases again for its flash to find; one phase above the
    // critical temperature keeps the quality it had, as a pure fluid's.
    const double q_before = q;
    lib::TDFLSH(T, r.D, c, p, r.Dl, r.Dv, x.data(), y.data(), q, r.e, h, s, r.cv, r.cp, r.w, r.ierr,
                r.herr);
    if (above && r.ierr <= 0 && !(q >= 0 && q <= 1)) q = q_before;
    return r.in_mass_units(c, &s, &h, nullptr);
}

int get_all_by_p_and_rho(const double* c, double& T, double& p, double& s, double& h, double& rho,
                         double& q) {
    Flash r;
    r.D = rho / wmol(c);
    lib::PDFLSH(p, r.D, c, T, r.Dl, r.Dv, x.data(), y.data(), q, r.e, h, s, r.cv, r.cp, r.w, r.ierr,
                r.herr);
    return r.in_mass_units(c, &s, &h, nullptr);
}

int get_all_by_p_and_s(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q) {
    Flash r;
    lib::PSFLSH(p, s * wmol(c), c, T, r.D, r.Dl, r.Dv, x.data(), y.data(), q, r.e, h, r.cv, r.cp,
                r.w, r.ierr, r.herr);
    return r.in_mass_units(c, nullptr, &h, &rho);
}

int get_all_by_p_and_h(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q, double q_hint) {
    Flash r;
    const double hm = h * wmol(c);
    lib::PHFLSH(p, hm, c, T, r.D, r.Dl, r.Dv, x.data(), y.data(), q, r.e, s, r.cv, r.cp, r.w,
                r.ierr, r.herr);
    r.in_mass_units(c, &s, nullptr, &rho);
    if (r.ierr != 242) return r.ierr;

    // The dew-point search failed: take the single-phase solution on the
    // side of the neighbouring state.
    int kph = 0;
    if (q_hint >= 1)
        kph = lib::kVapour;
    else if (q_hint <= 0)
        kph = lib::kLiquid;
    else
        return PH_NO_RECOVERY;
    lib::PHFL1(p, hm, c, kph, T, r.D, r.ierr, r.herr);
    if (r.ierr != 0) return PH_RECOVERY_FAILED;
    double hloc = 0, hjt = 0;
    lib::THERM(T, r.D, c, p, r.e, hloc, s, r.cv, r.cp, r.w, hjt);
    r.in_mass_units(c, &s, nullptr, &rho);
    return kph == lib::kVapour ? PH_VAPOUR_ASSUMED : PH_LIQUID_ASSUMED;
}

int get_all_by_h_and_s(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q) {
    Flash r;
    const double M = wmol(c);
    lib::HSFLSH(h * M, s * M, c, T, p, r.D, r.Dl, r.Dv, x.data(), y.data(), q, r.e, r.cv, r.cp, r.w,
                r.ierr, r.herr);
    return r.in_mass_units(c, nullptr, nullptr, &rho);
}

int get_all_by_T_and_s(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q) {
    // The lower-density root where two states share T and s.
    const int kr = lib::kLowerRoot;
    Flash r;
    lib::TSFLSH(T, s * wmol(c), c, kr, p, r.D, r.Dl, r.Dv, x.data(), y.data(), q, r.e, h, r.cv,
                r.cp, r.w, r.ierr, r.herr);
    return r.in_mass_units(c, nullptr, &h, &rho);
}

int get_all_by_s_and_rho(const double* c, double& T, double& p, double& s, double& h, double& rho,
                         double& q) {
    Flash r;
    const double M0 = wmol(c);
    lib::DSFLSH(rho / M0, s * M0, c, T, p, r.Dl, r.Dv, x.data(), y.data(), q, r.e, h, r.cv, r.cp,
                r.w, r.ierr, r.herr);
    return r.in_mass_units(c, nullptr, &h, nullptr);
}

int get_all_by_p_and_q(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q) {
    Flash r;
    lib::PQFLSH(p, q, c, lib::kMolarQuality, T, r.D, r.Dl, r.Dv, x.data(), y.data(), r.e, h, s,
                r.cv, r.cp, r.w, r.ierr, r.herr);
    return r.in_mass_units(c, &s, &h, &rho);
}

int get_all_by_T_and_q(const double* c, double& T, double& p, double& s, double& h, double& rho,
                       double& q) {
    Flash r;
    lib::TQFLSH(T, q, c, lib::kMassQuality, p, r.D, r.Dl, r.Dv, x.data(), y.data(), r.e, h, s, r.cv,
                r.cp, r.w, r.ierr, r.herr);
    return r.in_mass_units(c, &s, &h, &rho);
}

int get_all_by_rho_and_q(const double* c, double& T, double& p, double& s, double& h, double& rho,
                         double& q) {
    Flash r;
    r.D = rho / wmol(c);
    lib::DQFL2(r.D, q, c, lib::kMolarQuality, T, p, r.Dl, r.Dv, x.data(), y.data(), r.ierr, r.herr);
    if (r.ierr != 0) return r.ierr;
    double qt = 0;
    lib::TDFLSH(T, r.D, c, p, r.Dl, r.Dv, x.data(), y.data(), qt, r.e, h, s, r.cv, r.cp, r.w,
                r.ierr, r.herr);
    return r.in_mass_units(c, &s, &h, nullptr);
}

namespace {

// The state at the pressure and one saturated density of a boundary point;
// writes s, h, q and (for the boundary by T) T; rho = D in kg/m3.
int boundary_state(const double* c, double& T, double p, double D, double& s, double& h,
                   double& rho, double& q) {
    Flash r;
    r.D = D;
    lib::PDFLSH(p, D, c, T, r.Dl, r.Dv, x.data(), y.data(), q, r.e, h, s, r.cv, r.cp, r.w, r.ierr,
                r.herr);
    return r.in_mass_units(c, &s, &h, &rho);
}

int boundary_by_T(const double* c, int kph, double& T, double& p, double& s, double& h, double& rho,
                  double& q) {
    double Dl = 0, Dv = 0;
    int ierr = 0;
    std::string herr;
    lib::SATT(T, c, kph, p, Dl, Dv, x.data(), y.data(), ierr, herr);
    double Tout = T;  // the flash's temperature is not asked for
    return boundary_state(c, Tout, p, kph == lib::kBubblePoint ? Dl : Dv, s, h, rho, q);
}

int boundary_by_p(const double* c, bool liquid, double& T, double& p, double& s, double& h,
                  double& rho, double& q) {
    double Dl = 0, Dv = 0;
    int ierr = 0;
    std::string herr;
    lib::SATP(p, c, lib::kDewPoint, T, Dl, Dv, x.data(), y.data(), ierr, herr);
    return boundary_state(c, T, p, liquid ? Dl : Dv, s, h, rho, q);
}

}  // namespace

int get_boundary_by_rho(const double* c, double& T, double& p, double& s, double& h, double& rho,
                        double& q) {
    const double D = rho / wmol(c);
    double Dl = 0, Dv = 0;
    int kr = 0, ierr = 0;
    std::string herr;
    lib::SATD(D, c, 1, kr, T, p, Dl, Dv, x.data(), y.data(), ierr, herr);
    return boundary_state(c, T, p, D, s, h, rho, q);
}

int get_left_boundary_by_T(const double* c, double& T, double& p, double& s, double& h, double& rho,
                           double& q) {
    return boundary_by_T(c, 1, T, p, s, h, rho, q);
}

int get_right_boundary_by_T(const double* c, double& T, double& p, double& s, double& h,
                            double& rho, double& q) {
    return boundary_by_T(c, 2, T, p, s, h, rho, q);
}

int get_left_boundary_by_p(const double* c, double& T, double& p, double& s, double& h, double& rho,
                           double& q) {
    return boundary_by_p(c, true, T, p, s, h, rho, q);
}

int get_right_boundary_by_p(const double* c, double& T, double& p, double& s, double& h,
                            double& rho, double& q) {
    return boundary_by_p(c, false, T, p, s, h, rho, q);
}

void therm_wrapper(const double* c, double& T, double& p, double& s, double& h, double& rho) {
    double e = 0, cv = 0, cp = 0, w = 0, hjt = 0;
    lib::THERM(T, rho / wmol(c), c, p, e, h, s, cv, cp, w, hjt);
    const double M = wmol(c);
    s /= M;
    h /= M;
}

int get_all_all_by_T_and_p(const double* c, double& T, double& p, double& s, double& h, double& rho,
                           double& cp, double& cv, double& w, double& e, double& kappa, double& Z,
                           double& q) {
    double R = 0;
    lib::RMIX2(c, R);
    R /= wmol(c);
    double D = 0, Dl = 0, Dv = 0;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(T, p, c, D, Dl, Dv, x.data(), y.data(), q, e, h, s, cv, cp, w, ierr, herr);
    const double M = wmol(c);
    s /= M;
    h /= M;
    e /= M;
    cv /= M;
    cp /= M;
    rho = D * M;
    const double prt = rho * R * T;
    Z = prt != 0 ? p / prt : 0.0;
    kappa = p != 0 ? rho * w * w / (1000.0 * p) : 0.0;
    return ierr;
}

int get_cp_by_T_and_rho(const double* c, double& T, double& rho, double& cp) {
    double p = 0, Dl = 0, Dv = 0, q = 0, e = 0, h = 0, s = 0, cv = 0, w = 0;
    int ierr = 0;
    std::string herr;
    lib::TDFLSH(T, rho / wmol(c), c, p, Dl, Dv, x.data(), y.data(), q, e, h, s, cv, cp, w, ierr,
                herr);
    cp /= wmol(c);
    return ierr;
}

double get_Z(const double* c, double p, double rho, double T) {
    double R = 0;
    lib::RMIX2(c, R);
    R /= wmol(c);
    const double prt = rho * R * T;
    return prt != 0 && finite(prt) ? p / prt : 0.0;
}

namespace {

// Relative difference between the given pressure and the equation of
// state's at (T, rho) above which the state is taken for a two-phase one:
// its overall density is then no single phase's.  (A gas carrying some
// 1e-4 of its moles as liquid lies at this line, and its volume exponent
// changes there from the gas's own to that of the phases in equilibrium:
// humid air of 2.5 % water expanded 3:1 from 323.44 K and 300 kPa keeps
// about that much condensed at each wet step; kv went from 1.40 to 1.23
// at the one step whose liquid was 1.005e-4 of the moles, not 0.98e-4,
// and the expander's head moved by 1.3e-4 of itself.  The turbo machines'
// search for a polytropic efficiency meets such jumps, turbo.cpp.)
constexpr double SPLIT_PRESSURE_MISMATCH = 1e-4;

// The isentropic volume exponent (rho / p) (dp/drho) at constant s of the
// phases in equilibrium, by a backward difference in pressure along the
// isentrope through (p, s) from D1, the density there; 0 when the flashes
// fail.
double equilibrium_kv(const double* c, double p, double s, double D1) {
    const double sm = s * wmol(c);
    if (!(D1 > 0) || !finite(D1)) return 0.0;
    for (double dp = 1e-4 * p; dp < 0.1 * p; dp *= 10) {
        const double D2 = psflsh_D(c, p - dp, sm);
        if (!(D2 > 0) || !finite(D2) || D2 == D1) continue;
        const double k = std::log(p / (p - dp)) / std::log(D1 / D2);
        if (finite(k) && k > 0) return k;
    }
    return 0.0;
}

// get_kv, the density of the flash at (p, s) made by `flash_at_p` where
// it is needed.
template <class FlashAtP>
double kv_of(const double* c, double p, double rho, double s, double T, FlashAtP flash_at_p) {
    double xkappa = 0, beta = 0, xisenk = 0, xkt = 0, betas = 0, bs = 0, xkkt = 0, thrott = 0,
           pint = 0, spht = 0;
    const double D = rho / wmol(c);
    lib::THERM3(T, D, c, xkappa, beta, xisenk, xkt, betas, bs, xkkt, thrott, pint, spht);
    // At the overall density of a two-phase state the equation of state
    // describes no phase (its pressure there is not the state's): the
    // exponent is then that of the phases in equilibrium.
    double P = 0;
    lib::PRESS(T, D, c, P);
    if (p > 0 && !(std::fabs(P - p) <= SPLIT_PRESSURE_MISMATCH * p)) {
        const double k = equilibrium_kv(c, p, s, flash_at_p());
        if (k > 0) return k;
    }
    return xisenk;
}

// get_kT from T1, the temperature of the flash at (p, s).
double kT_of(const double* c, double p, double s, double T1) {
    const double sm = s * wmol(c);
    double kT = 1.0;
    if (!(T1 > 0) || !finite(T1)) return kT;
    // The step grows tenfold until the exponent is plausible; it stops while
    // the lowered pressure is still positive, keeping the last finite value.
    for (double dp = 1e-5; dp < p; dp *= 10) {
        const double T2 = psflsh_T(c, p - dp, sm);
        if (!(T2 > 0)) continue;  // no state at that pressure
        const double g = (T1 - T2) / dp;
        const double k = 1.0 / (1.0 - (p / T1) * g);
        if (!finite(k)) continue;
        kT = k;
        if (g >= 0 && k >= 0 && k <= 2) break;
    }
    return kT;
}

}  // namespace

double get_kv(const double* c, double p, double rho, double s, double T) {
    return kv_of(c, p, rho, s, T, [&] { return psflsh_D(c, p, s * wmol(c)); });
}

double get_kT(const double* c, double p, double /*rho*/, double s, double /*T*/) {
    return kT_of(c, p, s, psflsh_T(c, p, s * wmol(c)));
}

IsentropeExponents get_isentrope_exponents(const double* c, double p, double rho, double s,
                                           double T) {
    const PsState at_p = psflsh(c, p, s * wmol(c));
    IsentropeExponents k;
    // (The volume exponent first: the equation's values at (T, rho) are
    // still at hand from the flash at (p, s), which found that very state.)
    k.kv = kv_of(c, p, rho, s, T, [&] { return at_p.D; });
    k.kT = kT_of(c, p, s, at_p.T);
    return k;
}

namespace {

// Water load of the humid part of a flow: kg water per kg dry fluid, for
// relative humidity phi at (T, p); 0 unless the fluid's humidity is given
// at inlet values.
double water_load(const Fluid& f, double T, double p, double phi) {
    if (f.humidity_type != HT_RH_INLET || phi == 0 || !(T < T_WATER_LIMIT) || !(p > 0)) return 0;
    double ps = 0, Dl = 0, Dv = 0, xl[MAX_COMPONENTS] = {}, xv[MAX_COMPONENTS] = {};
    int ierr = 0;
    std::string herr;
    lib::SATT(T, f.x_water.data(), lib::kDewPoint, ps, Dl, Dv, xl, xv, ierr, herr);
    if (ierr > 0) return 0;
    return (phi * ps / p) * (M_WATER / lib::WMOL(f.x.data()));
}

}  // namespace

double get_stdv_from_massflow(double massflow, Fluid* fluid, double T, double p, double phi) {
    if (init_stoffwerte(fluid) == 0) return 0;
    const double X = water_load(*fluid, T, p, phi);
    return massflow / (1 + X) * fluid->v_std * 3600.0;
}

double get_massflow_from_stdv(double stdv, Fluid* fluid, double T, double p, double phi) {
    if (init_stoffwerte(fluid) == 0 || !(fluid->v_std > 0)) return 0;
    double m = stdv / fluid->v_std / 3600.0;
    if (phi > 0) m *= 1 + water_load(*fluid, T, p, phi);
    return m;
}

}  // namespace app
