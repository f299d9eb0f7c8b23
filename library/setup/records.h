// Shared records of library set-up: the current fluid's components, their
// constants, model codes, the set-up cache, reference states and messages.
// The library is one global state and not re-entrant.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "library/setup/common.h"

namespace lib {

// Number of components and the component treated as pure (0 = mixture).
struct NcompRecord {
    int nc = 0;
    int ic = 0;
    int spare1 = 0;
    int spare2 = 0;
};
extern NcompRecord NCOMP;

// Model codes of the equation of state and the ideal gas.
struct EosmodRecord {
    Code reserved;    // "QVB", set by SETMOD; compared by the set-up cache
    Code mix;         // mixture model ("HMX", "AGA", "PR "; a pure fluid's own code)
    Slots<Code> eos;  // equation-of-state code per slot
    Slots<Code> cp0;  // ideal-gas code per slot
    EosmodRecord() {
        eos.fill(Code("QVB"));
        cp0.fill(Code("QVB"));
    }
};
extern EosmodRecord EOSMOD;

// Code of the last section of one kind that was loaded, then one per slot
// (ancillary equations, melting and sublimation lines).
struct KindModRecord {
    Code last;
    Slots<Code> slot;
};
extern KindModRecord PSMOD, PLMOD, DLMOD, DVMOD, MELTMOD, SUBLMOD;

// Set-up state switches.
struct ResetmRecord {
    int defaults_pending = 1;  // next SETUP resets all codes through SETMOD
    int no_cache = 0;          // next SETUP must reload
    int first_call = 1;        // until the first SETUP initialised the saved state
    int nc_setmod = 0;         // nc given to the last SETMOD
};
extern ResetmRecord RESETM;

// Names of the last set-up.
struct SetsavRecord {
    Slots<std::string> name;  // component names (slots 1..nc used)
    std::string mixtext;      // name of the last mixture-parameter text ("x" while loading)
};
extern SetsavRecord SETSAV;

// Model codes of the last successful set-up.
struct ModsavRecord {
    Code reserved, mix;
    std::array<Code, kMaxComp> eos;
    Code eta_mix;
    std::array<Code, kMaxComp> eta;
    Code tcx_mix;
    std::array<Code, kMaxComp> tcx;
    Code stn_mix;
    std::array<Code, kMaxComp> stn;
    Code de_mix;
    std::array<Code, kMaxComp> de;
};
extern ModsavRecord MODSAV;

// Integer flags of set-up and saturation.
struct Flags2Record {
    int ammonia_water = 0;                        // position of ammonia in ammonia-water, else 0
    int water_index = 0;                          // position of water in the mixture, else 0
    std::array<int, kMaxComp + 1> pseudo_pure{};  // element i = 1: component i is pseudo-pure
    Slots<int> fex;                               // 1: an "FEX" equation section was met
    int energy_switch = 0;                        // energy instead of enthalpy (saturation)
    int gerg04 = 0;                               // GERG04 flag
    int sat_status = 0;     // 1 while SATTP runs its fallback (SATT, SATP, TPFLSH skip SATTP)
    int spline_status = 0;  // 1 while SATSPLN traces the boundary (SATTP never falls back)
    int alcohols = 0;       // alcohols flag
};
extern Flags2Record FLAGS2;

// Marker values of results that were not computed: -9999910 .. -9999990.
struct FlagsRecord {
    std::array<double, 9> x{-9999910.0, -9999920.0, -9999930.0, -9999940.0, -9999950.0,
                            -9999960.0, -9999970.0, -9999980.0, -9999990.0};
};
extern FlagsRecord FLAGS;
constexpr double kMarker1 = -9999910.0;
constexpr double kMarker2 = -9999920.0;
constexpr double kMarker6 = -9999960.0;
constexpr double kMarker7 = -9999970.0;
constexpr double kMarker8 = -9999980.0;
constexpr double kMarker9 = -9999990.0;

extern std::string FLDPTH;  // fluid directory of SETPATH (read by nobody)

// Reference-state codes: the mixture's (of the last successful SETREF), then
// each slot's default from its fluid text.
struct RefstRecord {
    Code mix;
    Slots<Code> slot;
};
extern RefstRecord REFST;

// Tab and end-of-message characters.
struct HcharRecord {
    char tab = '\t';
    char eom = '\0';
};
extern HcharRecord HCHAR;

extern int PRNTERR;  // print switch of ERRMSG: 0 none, > 0 errors, < 0 errors and warnings

// Names read from the fluid texts.
extern Slots<std::string> CNAM60;  // short name (60)
extern Slots<std::string> CNAM;    // short name (first 12 characters)
extern Slots<std::string> CCAS;    // CAS number (12)
struct Cnam80Record {
    Slots<std::string> full, formula, synonym;
};
extern Cnam80Record CNAM80;

// Fixed constants per slot.
struct CconRecord {
    Slots<double> tc;       // 0 critical temperature, K
    Slots<double> pc;       // 1 critical pressure, kPa
    Slots<double> dc;       // 2 critical density, mol/L
    Slots<double> zc;       // 3 critical compressibility factor
    Slots<double> ttp;      // 4 triple-point temperature, K
    Slots<double> ptp;      // 5 triple-point pressure, kPa
    Slots<double> dtp;      // 6 triple-point liquid density, mol/L
    Slots<double> spare7;   // 7
    Slots<double> tnbp;     // 8 normal boiling point, K
    Slots<double> spare9;   // 9
    Slots<double> spare10;  // 10
    Slots<double> wm;       // 11 molar mass, g/mol
    Slots<double> acf;      // 12 acentric factor
    Slots<double> dip;      // 13 dipole moment, debye
    Slots<double> rgas;     // 14 gas constant of the component, J/(mol K)
};
extern CconRecord CCON;

// Default reference point of a slot whose default code begins "OT".
struct RefPointRecord {
    Slots<double> t, p, h, s;
};
extern RefPointRecord CREFDF;

extern Slots<double> VERS;  // version of the fluid text
struct FamlRecord {
    Slots<std::string> family;  // "!fa"
    Slots<std::string> un;      // "!UN"
};
extern FamlRecord FAML;
extern Slots<double> HTCM;  // heating value, kJ/mol; -1 when absent

// Model line of each loaded kind: 0 EOS, 1 ideal gas, 2 viscosity,
// 3 viscosity auxiliary, 4 thermal conductivity, 5 critical enhancement,
// 6 surface tension, 7 dielectric, 8 melting, 9 sublimation, 10 PS, 11 PL,
// 12 DL, 13 DV.  Each entry: the code (3 characters) followed by the
// description of the section's model line without its trailing blanks
// ("NUL" while nothing of that kind is loaded).
enum CiteKind {
    kCiteEos = 0,
    kCiteCp0,
    kCiteEta,
    kCiteEtaAux,
    kCiteTcx,
    kCiteTcxAux,
    kCiteStn,
    kCiteDe,
    kCiteMlt,
    kCiteSbl,
    kCitePs,
    kCitePl,
    kCiteDl,
    kCiteDv,
    kCiteKinds
};
extern Slots<std::array<std::string, kCiteKinds>> CITE;

// Data of an ideal-gas section whose code begins "UN" (no built-in text has
// one): four numbers, a permission integer, a count n and n numbers per slot.
struct ConunRecord {
    Slots<std::array<double, 4>> head;
    Slots<int> permit;
    Slots<int> count;
    Slots<std::vector<double>> values;
};
extern ConunRecord CONUN;

// Reference states: offsets subtracted by the property routines.
struct CrefRecord {
    Slots<double> tref;  // K
    Slots<double> dref;  // mol/L
    Slots<double> h0;    // J/mol
    Slots<double> s0;    // J/(mol K)
};
extern CrefRecord CREF;

struct IrfsavRecord {
    int ixflag = 0;  // ixflag of the last SETREF
    int done = 0;    // 1 once a call has completed
};
extern IrfsavRecord IRFSAV;

struct RefsavRecord {
    std::array<double, kMaxComp> x0{};
    double h0 = 0, s0 = 0, t0 = 0, p0 = 0;
};
extern RefsavRecord REFSAV;

}  // namespace lib
