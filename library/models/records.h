// Shared records of the equations of state and property routines.  Each model
// adds its coefficient and cache records here.
#pragma once

#include <array>

#include "library/setup/common.h"

namespace lib {

// Gas constant of the current composition, J/(mol K).
struct GcnstRecord {
    double r = 8.314472;
};
extern GcnstRecord GCNST;

// Reducing values of each slot's equation of state.
struct ZredRecord {
    Slots<double> tred;  // K
    Slots<double> dred;  // mol/L
};
extern ZredRecord ZRED;

// Limits of each slot's equation of state.
struct EoslimRecord {
    Slots<double> tmin, tmax, pmax, dmax;  // K, K, kPa, mol/L
};
extern EoslimRecord EOSLIM;

// ---------------------------------------------------------------------------
// Helmholtz-explicit equation of state (FEQ): coefficients and caches
// ---------------------------------------------------------------------------

constexpr int kFeqTerms = 56;  // normal plus critical terms of one slot
constexpr int kFeqCrit = 20;   // critical terms of one slot
constexpr int kFeqResults = 16;

template <class T, int N>
using SlotArr = Slots<std::array<T, N>>;

// The equation itself.  Per term: normal terms first, then critical terms.
struct WcffeqRecord {
    SlotArr<double, kFeqTerms> n;      // coefficient
    SlotArr<double, kFeqTerms> t;      // exponent of tau
    SlotArr<int, kFeqTerms> d;         // exponent of delta
    SlotArr<double, kFeqTerms> g;      // gamma of a normal term (0 for critical terms)
    SlotArr<double, kFeqTerms> gdist;  // gamma of the distinct (l, gamma) pairs
    SlotArr<int, kFeqTerms> l;         // exponent of delta (normal) or of (delta - eps) (critical)
    SlotArr<double, kFeqCrit> m;       // exponent of (tau - gamma_c) or of (1 - tau)
    SlotArr<double, kFeqTerms> tdist;  // distinct tau exponents
    SlotArr<int, kFeqTerms> ddist;     // distinct delta exponents
    SlotArr<int, kFeqTerms> ldist;     // l of the distinct (l, gamma) pairs
    Slots<double> dred, tred;          // reducing density (mol/L) and temperature (K)
    Slots<double> pc, dc, tc;          // critical point as the section gives it
    Slots<double> wm;                  // molar mass, g/mol
    Slots<double> r;                   // gas constant of the equation, J/(mol K)
    Slots<double> ptp, dtp;            // triple-point pressure (kPa) and density (mol/L)
    Slots<double> tmin, tmax, pmax;    // limits (K, K, kPa)
};
extern WcffeqRecord WCFFEQ;

// Columns 6..12 of each critical term.
struct Wcffq2Record {
    Slots<std::array<std::array<double, 7>, kFeqCrit>> c;
};
extern Wcffq2Record WCFFQ2;

// Term counts of each slot.
struct WntfeqCounts {
    int nterm = 0;   // normal terms
    int ncol = 0;    // columns per normal term (5: gamma given)
    int ntau = 0;    // distinct tau exponents
    int ndel = 0;    // distinct delta exponents
    int nlg = 0;     // distinct (l, gamma) pairs
    int ncrit = 0;   // critical terms
    int ccol = 0;    // columns per critical term
    int nspare = 0;  // spare terms (counted, never read)
    int scol = 0;    // columns per spare term
};
struct WntfeqRecord {
    Slots<WntfeqCounts> k;
};
extern WntfeqRecord WNTFEQ;

// Position of each term in the three distinct-exponent lists.
struct WlffeqRecord {
    SlotArr<int, kFeqTerms> it, id, ilg;
};
extern WlffeqRecord WLFFEQ;

// Evaluation cache: term values and per-exponent quantities at the stored
// state, and the sixteen results (position itau + 4*idel).  `gen` counts the
// refreshes of a slot so that the working lists of TERMS can tell whether
// they belong to the current state.
struct FeqsavRecord {
    SlotArr<double, kFeqTerms> v;
    Slots<double> del, tau;
    SlotArr<double, kFeqTerms> tlog;  // t_j ln(tau)
    SlotArr<double, kFeqTerms> dlog;  // d_j ln(delta)
    SlotArr<double, kFeqTerms> gdl;   // gamma_j delta^l_j
    SlotArr<double, kFeqResults> res;
    Slots<unsigned> gen;
    // The state before the stored one, with the results found at it: solvers
    // that go back and forth between two states (the phases of a split, a
    // trial phase beside the feed) find them again without a refresh.  A
    // stored state cleared to tau 0 clears it at the next refresh.
    Slots<double> prev_del, prev_tau;
    SlotArr<double, kFeqResults> prev_res;
};
extern FeqsavRecord FEQSAV;

// Validity of the stored results: '1' valid, '0' not.
struct Feqsv2Record {
    Slots<std::array<char, kFeqResults>> valid, prev_valid;
};
extern Feqsv2Record FEQSV2;

// 1 when the slot has no non-analytic critical term, 0 when it has one.
struct Feqsv3Record {
    Slots<int> analytic;
};
extern Feqsv3Record FEQSV3;

// Per critical term, refreshed with the term values:
// [0] delta - eps (delta - 1), [1] tau - gamma_c (tau - 1), [2] tau part of
// the exponent, [3] delta part, [4] c7 (tau - gamma_c)^(m-1),
// [5] c6 (delta - eps)^(l-1), [6] Delta^b, [7] d/ddelta Delta^b,
// [8] d/dtau, [9] d2/dtau ddelta, [10] d2/dtau2, [11] d2/ddelta2.
struct CrtsavRecord {
    Slots<std::array<std::array<double, 12>, kFeqCrit>> c;
};
extern CrtsavRecord CRTSAV;

// Working lists of per-term derivatives of each slot, with their sums:
// 0 delta d/ddelta, 1 tau d/dtau, 2 delta^2 d2/ddelta2, 3 tau^2 d2/dtau2,
// 4 delta^3 d3/ddelta3.  gen names the refresh of the slot they belong to
// (a mixture asks for one order of all its components in turn, then for
// the next: lists shared by the slots were formed again for each).
struct TermsRecord {
    SlotArr<std::array<double, kFeqTerms>, 5> list;
    SlotArr<double, 5> sum;
    SlotArr<unsigned, 5> gen;
};
extern TermsRecord TERMS;

// ---------------------------------------------------------------------------
// Ideal-gas heat-capacity model (CPP)
// ---------------------------------------------------------------------------

constexpr int kCppTerms = 20;

struct WlmcppRecord {
    Slots<double> tmin, tmax, pmax, dmax;
};
extern WlmcppRecord WLMCPP;

struct WrdcppRecord {
    Slots<double> tr;  // reducing temperature, K
    Slots<double> cr;  // reducing heat capacity, J/(mol K)
};
extern WrdcppRecord WRDCPP;

// Counts: power, Planck-Einstein, cosh, sinh and three further counts.
struct WntcppRecord {
    Slots<std::array<int, 7>> n;
};
extern WntcppRecord WNTCPP;

// Five fields per term; power and Planck-Einstein terms use the first two.
struct WcpcppRecord {
    Slots<std::array<std::array<double, 5>, kCppTerms>> c;
};
extern WcpcppRecord WCPCPP;

// Cache: cp0, its two integrals and the temperature they belong to (0: empty);
// the reference-temperature parts of the integrals and the reference
// temperature they belong to (0: not formed).
struct CppsavRecord {
    Slots<double> cp0, h0, s0, t;
    Slots<double> href, sref, tref;
};
extern CppsavRecord CPPSAV;

// ---------------------------------------------------------------------------
// Ideal-gas Helmholtz model (PH0)
// ---------------------------------------------------------------------------

constexpr int kPh0Terms = 10;

struct Wlmph0Record {
    Slots<double> tmin, tmax, pmax, dmax;
};
extern Wlmph0Record WLMPH0;

// Counts: logarithmic, power, Planck-Einstein, cosh, sinh and three further.
struct Wntph0Record {
    Slots<std::array<int, 8>> n;
};
extern Wntph0Record WNTPH0;

// Coefficient a and parameter t of each term.
struct Wcfph0Record {
    Slots<std::array<std::array<double, 2>, kPh0Terms>> c;
};
extern Wcfph0Record WCFPH0;

// Cache of alpha0, phi0(1,0) and phi0(2,0) (index 0..2) with the temperature
// and density each was computed at.
struct Ph0savRecord {
    Slots<std::array<double, 3>> val, t, d;
};
extern Ph0savRecord PH0SAV;

// ---------------------------------------------------------------------------
// Ancillary equations of the saturation boundary (PS vapour pressure, PL
// liquid pressure, DL saturated-liquid and DV saturated-vapour density) and
// melting (MELT) and sublimation (SUBL) lines, per slot
// ---------------------------------------------------------------------------

constexpr int kAncTerms = 15;   // terms of one ancillary equation
constexpr int kSolidTerms = 8;  // terms of one melting or sublimation line

// Lower and upper temperature limit of the equation, K.
struct AncLimRecord {
    Slots<double> tlow, thigh;
};
extern AncLimRecord WLMPS, WLMPL, WLMDL, WLMDV, WLMMELT, WLMSUBL;

// Reducing temperature (K) and reducing value (kPa or mol/L).
struct AncRedRecord {
    Slots<double> tred, xred;
};
extern AncRedRecord WRDPS, WRDPL, WRDDL, WRDDV, WRDMELT, WRDSUBL;

// Six term counts: an ancillary uses the first (number of terms); a melting
// or sublimation line the first three (power, difference and logarithmic
// terms, stored in this order).
struct AncCountRecord {
    Slots<std::array<int, 6>> n;
};
extern AncCountRecord WNTPS, WNTPL, WNTDL, WNTDV, WNTMELT, WNTSUBL;

// Coefficient a[k] and exponent t[k] of each term.
template <int N>
struct TermCoefRecord {
    Slots<std::array<double, N>> a, t;
};
extern TermCoefRecord<kAncTerms> WCFPS, WCFPL, WCFDL, WCFDV;
extern TermCoefRecord<kSolidTerms> WCFMELT, WCFSUBL;

// Further segments of a melting line published in pieces (the fourth count of
// the section announces them): the first segment is the one of WRDMELT and
// WNTMELT; each further one holds from its lower temperature on, with its own
// reducing values and term counts, its terms following those of the segment
// before it in WCFMELT.
constexpr int kMeltSegments = 3;  // further segments of one melting line
struct MeltSegmentRecord {
    Slots<int> count;
    Slots<std::array<double, kMeltSegments>> tlow, tred, pred;  // K, K, kPa
    Slots<std::array<std::array<int, 3>, kMeltSegments>> n;     // power, difference, log terms
};
extern MeltSegmentRecord WSGMELT;

// ---------------------------------------------------------------------------
// Extended corresponding states (ECS): shape-factor coefficients and term
// counts of components 1..20 (element icomp - 1; reference and fixed slots
// have none)
// ---------------------------------------------------------------------------

constexpr int kEcsTerms = 4;  // terms of one shape-factor sum

struct CfecsComp {
    // Coefficient and exponent of each term: temperature sums of f and h,
    // then density sums of f and h.
    std::array<double, kEcsTerms> tfa{}, tfe{}, tha{}, the{}, dfa{}, dfe{}, dha{}, dhe{};
    double acf = 0.0;   // acentric factor of the component in the correlation
    double acf0 = 0.0;  // acentric factor of the reference fluid in the correlation
    double zc0 = 0.0;   // critical compressibility factor of the reference fluid
    double tmin = 0.0, tmax = 0.0, pmax = 0.0, dmax = 0.0;  // K, K, kPa, mol/L
};
struct CfecsRecord {
    std::array<CfecsComp, kMaxComp> c;
    CfecsComp& operator[](int icomp) { return c[static_cast<std::size_t>(icomp - 1)]; }
    const CfecsComp& operator[](int icomp) const { return c[static_cast<std::size_t>(icomp - 1)]; }
};
extern CfecsRecord CFECS;

// Number of terms of each sum: temperature terms of f and h, density terms
// of f and h (each 0..kEcsTerms).
struct IcfecsCounts {
    int ntf = 0, nth = 0, ndf = 0, ndh = 0;
};
struct IcfecsRecord {
    std::array<IcfecsCounts, kMaxComp> n;
    IcfecsCounts& operator[](int icomp) { return n[static_cast<std::size_t>(icomp - 1)]; }
    const IcfecsCounts& operator[](int icomp) const {
        return n[static_cast<std::size_t>(icomp - 1)];
    }
};
extern IcfecsRecord ICFECS;

}  // namespace lib
