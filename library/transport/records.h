// Shared records of transport, surface tension and dielectric models that
// set-up fills: model codes per slot, model limits, binary parameters, and
// the coefficient stores of the viscosity, thermal-conductivity,
// critical-enhancement, collision-integral and corresponding-states models.
#pragma once

#include <array>
#include <string>

#include "library/setup/common.h"

namespace lib {

struct TrnmodRecord {
    Code eta_mix;     // mixture viscosity code
    Slots<Code> eta;  // viscosity code per slot
    Code tcx_mix;     // mixture thermal-conductivity code
    Slots<Code> tcx;  // thermal-conductivity code per slot
};
extern TrnmodRecord TRNMOD;

// Surface-tension (STNMOD) and dielectric (DEMOD) codes.
struct PropModRecord {
    Code mix;
    Slots<Code> slot;
};
extern PropModRecord STNMOD, DEMOD;

// Critical-enhancement (CREMOD) and collision-integral (OMGMOD) codes per
// slot, in sets.  CREMOD: set 0 the conductivity block's enhancement
// pointer ("TK1", "TK2", "TK3", "TK4", "NH3", "CH4", "NUL"), set 1 the
// corresponding-states block's ("TK6"), set 2 the viscosity block's.
// OMGMOD: set 0 the viscosity block's collision-integral pointer, set 1 the
// conductivity block's.
struct AuxModRecord {
    std::array<Slots<Code>, 3> set;
};
extern AuxModRecord CREMOD, OMGMOD;
enum AuxSet { kCreTcx = 0, kCreEcs = 1, kCreEta = 2, kOmgEta = 0, kOmgTcx = 1 };

// Limits of a model per slot: Tmin (K), Tmax (K), Pmax (kPa), Dmax (mol/L).
struct LimitRecord {
    Slots<double> tmin, tmax, pmax, dmax;
    void store(int k, const std::array<double, 4>& lim) {
        tmin[k] = lim[0];
        tmax[k] = lim[1];
        pmax[k] = lim[2];
        dmax[k] = lim[3];
    }
};
extern LimitRecord WLMETA, WLMTCX, WLMTRN, WLMSTN, WLMTCK;

// Binary transport parameters per ordered component pair: the nine numbers
// of a pair's "TRN" line, in this order.
enum TrnbinIndex {
    kBinEtaK = 0,  // k_ij of the corresponding-states viscosity (energy, f)
    kBinEtaL,      // l_ij of the viscosity (size, h)
    kBinTcxK,      // k_ij of the conductivity
    kBinTcxL,      // l_ij of the conductivity
    kBinDilK,      // k'_ij, dilute-gas collision energy
    kBinDilL,      // l'_ij, dilute-gas collision size
    kBinDilA,      // a_ij of the dilute-gas conductivity
    kBinDilC1,     // c1_ij of the dilute-gas viscosity correction
    kBinDilC2,     // c2_ij
    kBinCount
};
struct TrnbinRecord {
    std::array<std::array<std::array<double, kBinCount>, kMaxComp + 1>, kMaxComp + 1> p{};
};
extern TrnbinRecord TRNBIN;

// ---------------------------------------------------------------------------
// Coefficient stores, one entry per slot -30..20.
// ---------------------------------------------------------------------------
constexpr int kTermRows = 40;  // rows of a term table

using Rows4 = std::array<std::array<double, 4>, kTermRows>;
using Rows5 = std::array<std::array<double, 5>, kTermRows>;

// Viscosity: counts (VS1: 1 dilute, 2 initial density, 3 close-packed
// (signed), 4 polynomial, 5 rational numerator, 6 rational denominator,
// 7 exponential numerator, 8 exponential denominator, 9-13 friction
// theory), reducing values (1 T and 2 eta of the dilute part, 3 T and 4
// B-scale of the initial density, 5 T, 6 D, 7 eta of the residual), term
// rows (coefficient and up to three exponents), an integer per row, and
// the Lennard-Jones sigma (nm) and epsilon/k (K).
extern Slots<std::array<int, 13>> WNTETA;
extern Slots<std::array<double, 7>> WRDETA;
extern Slots<Rows4> WCFETA;
extern Slots<std::array<int, kTermRows>> WIFETA;
extern Slots<std::array<double, 2>> WLJETA;

// Thermal conductivity: counts (TC1: 1 dilute numerator, 2 dilute
// denominator, 3 background numerator, 4 background denominator), reducing
// values (1 T and 2 lambda of the dilute part, 3 T, 4 D and 5 lambda of the
// background), term rows, an integer per row.
extern Slots<std::array<int, 4>> WNTTCX;
extern Slots<std::array<double, 5>> WRDTCX;
extern Slots<Rows4> WCFTCX;
extern Slots<std::array<int, kTermRows>> WIFTCX;

// Critical enhancement: limits (WLMTCK above), counts, reducing values (1 T,
// 2 D, 3 P, 4 lambda, 5 T and 6 D of an exponential part), term rows
// (columns A..E), integer columns, and the terms of a "TK6" block.  Crossover
// rows 1..9: nu, gamma, R0, two unused, xi0 (m), Gamma0, qD^-1 (m), T_ref (K).
extern Slots<std::array<int, 4>> WNTTCK;
extern Slots<std::array<double, 6>> WRDTCK;
extern Slots<Rows5> WCFTCK;
extern Slots<std::array<std::array<int, 6>, kTermRows>> WIFTCK;
extern Slots<Rows5> WCFTCKE;
enum CrossoverRow {
    kXoNu = 0,
    kXoGamma = 1,
    kXoR0 = 2,
    kXoXi0 = 5,
    kXoGamma0 = 6,
    kXoQdInv = 7,
    kXoTref = 8,
    kXoRows = 9
};

// Collision integrals: "CI1" terms (coefficient, integer exponent of
// ln T*) and "CI2" terms (coefficients of powers 3, 2, 1, ... of
// (eps/kT)^(1/3)); a count of 0 means no model.
struct CollisionRecord {
    Slots<int> n;
    Slots<std::array<double, kTermRows>> c;
    Slots<std::array<int, kTermRows>> e;
};
extern CollisionRecord WCFCI1, WCFCI2;

// Extended corresponding states transport: Lennard-Jones flag (0 estimate
// from the reference by critical ratios, 1 the values given, 2 estimate from
// the conformal ratios), sigma (nm), eps/k (K), f_int terms (coefficient,
// power of T), and the shape functions psi (viscosity) and chi
// (conductivity): n_poly polynomial rows then n_alt alternative rows of
// (coefficient, power of Tr, power of Dr).  The enhancement code of the
// block is CREMOD set 1.
struct ShapeTerms {
    Slots<int> npoly, nalt;
    Slots<std::array<std::array<double, 3>, kTermRows>> rows;
};
struct EcsTransportRecord {
    Slots<int> loaded;           // 1: a block was loaded into the slot by this set-up
    Slots<std::string> refname;  // the reference fluid the block names
    Slots<int> ljflag;
    Slots<double> sigma, epsk;
    Slots<int> nfint;
    Slots<std::array<std::array<double, 2>, kTermRows>> fint;
    ShapeTerms psi, chi;
};
extern EcsTransportRecord ECSTRN;

// Values handed to the crossover enhancement: element 3 holds the viscosity
// (uPa s) the corresponding-states route computed for the state.
struct CrtenhRecord {
    std::array<double, 4> v{};
};
extern CrtenhRecord CRTENH;

// Results reused within one TRNPRP call: the viscosity of a slot at (T, D)
// (the conductivity's critical terms need it again) and water's correlation
// length.  Valid only while `active`, which TRNPRP sets for its own call.
struct TrnCallRecord {
    bool active = false;
    bool eta_valid = false;
    int eta_slot = 0;
    double eta_T = 0.0, eta_D = 0.0, eta = 0.0;
    bool xi_valid = false;
    int xi_slot = 0;
    double xi_T = 0.0, xi_D = 0.0, xi = 0.0;
};
extern TrnCallRecord TRNCALL;

// Fluid-specific correlations: the pointer of a viscosity block "VS0" and
// the code of a conductivity block "TC0" per slot (HCMOD).
struct HcmodRecord {
    Slots<Code> eta, tcx;
};
extern HcmodRecord HCMOD;

// "VS3": counts (dilute numerator, dilute denominator, background numerator,
// background denominator) and reducing values (T, eta of the dilute part;
// T, D, eta of the background).
extern Slots<std::array<int, 4>> WN3ETA;
extern Slots<std::array<double, 5>> WR3ETA;

// Chung method ("VS5" in CHUNGPV, "TC5" in CHUNGPK): omega, reduced dipole
// moment, sigma (nm), eps/k (K), association factor, and up to 10 rows of
// (sigma, eps/k, omega, mu_r, kappa).
constexpr int kChungRows = 10;
struct ChungRecord {
    Slots<double> omega, mur, sigma, epsk, kappa;
    Slots<int> rows;
    Slots<std::array<std::array<double, 5>, kChungRows>> row;
};
extern ChungRecord CHUNGPV, CHUNGPK;

// Friction-theory coefficients ("VS4"): eight lines a, b, c, A, B, C, D, E of
// five values k0..k4 per slot.
enum FrictionLine { kFta = 0, kFtb, kFtc, kFtA, kFtB, kFtC, kFtD, kFtE, kFtLines };
extern Slots<std::array<std::array<double, 5>, kFtLines>> TRNFT;

// Surface tension "ST1" per slot (limits in WLMSTN): number of terms, the
// critical temperature of the fit (K; the Tc of its 1 - T/Tc, which need not
// be the equation of state's) and the terms (sigma0 N/m, exponent of
// 1 - T/Tc).
constexpr int kStnTerms = 10;
struct StnRecord {
    Slots<int> n;
    Slots<double> tc;
    Slots<std::array<std::array<double, 2>, kStnTerms>> term;
};
extern StnRecord WCFSTN;

// Dielectric constant per slot: limits (K), reducing T (K), D (mol/L) and
// p (MPa), the six term counts (the first three select lines: groups 1, 2
// and 3) and the terms (c, t, d, p), group after group.
constexpr int kDeTerms = 15;
struct DielecRecord {
    Slots<double> tmin, tmax, tred, dred, pred;
    Slots<std::array<int, 6>> n;
    Slots<std::array<std::array<double, 4>, kDeTerms>> term;
};
extern DielecRecord WCFDE;

}  // namespace lib
