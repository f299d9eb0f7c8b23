// One call of TBFLSH, the general flash at given temperature: its inputs,
// its results bound to the caller's arguments, what its steps find on the
// way, and the steps (tbflsh.cpp; the mixture roads in tbmix.cpp).
#pragma once

#include <string>

#include "library/phase/eqdome.h"
#include "library/phase/mixflash.h"
#include "library/phase/tbmix.h"

namespace lib::tbcall {

// The most states of the (T, p) flash a search for two liquids along the
// isotherm evaluates (those continued from a split nearby cost little);
// where it finds none the value is refused (up to 2 s without a bound, 0.2 s with it).
// Butane + R245fa 1:1 at 246.8 K has two liquids from 80 kPa up, whose
// enthalpy lies below the single phase's least: the search down from the
// pressure limit needs 12 to reach them; a refusal there costs 15 ms, 2 ms
// more than with 8.
constexpr int kSplitSearchStates = 12;
// The most states of the (T, p) flash a search along the isotherm that
// continues no split evaluates, after one that does found no state (some
// 20 for a two-phase region and a three-phase line on the way: 6 ms with
// ammonia + propylene at 200.5 K).
constexpr int kOwnStates = 24;
// The search of a gas without a bubble point at T (a wet gas) from its dew
// point tests its continued split as well: the test costs a tenth and more
// of those calls (humid air and flue gas at 300 K), and of the binary
// grid's states three of that road ended on another split without it
// (methane + heptane, nitrogen + propane, pentane + oxygen).
constexpr bool kCheckWetGasSplits = true;

constexpr double kDmin = 1e-4;  // lowest density searched at given T, mol/L
// A value this far (relative) below the least of its isotherm is its
// rounding (see at_minimum).
constexpr double kAtMinimum = 1e-10;
// The share of the saturated liquid's density by which the isotherm is
// followed into the compressed liquid to see whether the value rises there.
constexpr double kRiseStep = 1e-6;
// A density whose pressure lies this share below the pressure limit is
// short of it.
constexpr double kShortOfLimit = 1e-6;
// A root this far (relative) past an end of its bracket lies outside it
// (the solver stops within some 1e-10 of a root at an end).
constexpr double kBracketSlack = 1e-9;

// Below a gas root thinner than kDmin (acetone at 179.5 K and 1.3e-3 kPa:
// 9e-7 mol/L) the search's lowest density lies at this share of it (the
// value there lies clear of the root's).
constexpr double kBelowDilute = 0.5;

// A state of a density lower by this share is another root.
constexpr double kOtherRoot = 1e-6;
// Two splits whose phase densities (mol/L) and mole fractions agree to
// this are the same.
constexpr double kSamePhases = 1e-6;
// Vapour fractions of one split that agree to this are the same (the
// (T, p) flash's of the narrow band of R512A at 276.8 K moves 3e-7 with
// a pressure change in the last digits).
constexpr double kSameQuality = 1e-5;

class TemperatureFlash {
public:
    TemperatureFlash(double T, double b, const double z[20], int kr, const std::string& ab_in,
                     double& P, double& D, double& Dl, double& Dv, double x[20], double y[20],
                     double& q, double& e, double& h, double& s, double& cv, double& cp, double& w,
                     int& ierr, std::string& herr)
        : T(T),
          b(b),
          z(z),
          kr(kr),
          ab(ab_in.size() >= 2 ? ab_in.substr(0, 2) : std::string("TH")),
          head(ab + "FLSH"),
          letter(ab[1]),
          lname(1, letter),
          P(P),
          D(D),
          Dl(Dl),
          Dv(Dv),
          x(x),
          y(y),
          q(q),
          e(e),
          h(h),
          s(s),
          cv(cv),
          cp(cp),
          w(w),
          ierr(ierr),
          herr(herr) {}

    void run();

    void keep_for_warm_start() const;

private:
    const double T, b;
    const double* z;
    const int kr;
    const std::string ab, head;
    const char letter;
    const std::string lname;
    double& P;
    double& D;
    double& Dl;
    double& Dv;
    double* x;
    double* y;
    double& q;
    double& e;
    double& h;
    double& s;
    double& cv;
    double& cp;
    double& w;
    int& ierr;
    std::string& herr;

    int icomp = 0;
    bool ppf = false;
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int lerr = 0;
    std::string lmsg;
    double pdew = 0, dldew = 0, dvdew = 0, xdew[20] = {}, ydew[20] = {};
    bool subcritical = false;
    double dlow = kDmin, b_lo = 0;
    // The gas root below kDmin (0: none), dlow then below it.
    double dilute = 0.0;
    double bv = 0, dpmax = 0, bpmax = 0;
    double pbub = 0, dlbub = 0, dvbub = 0, xbub[20] = {}, ybub[20] = {};
    double bl = 0, dext = 0, bext = 0;
    // A state found from a warm start, and where its stability was last
    // established (a mixture).
    bool warm_found = false;
    double stable_T = 0, stable_P = 0;
    // Whether the feed's liquid splits in two below a dense single phase
    // (tested once per call).
    bool liquids_tested = false, liquids_split = false;
    // The density of a single phase of the value found not stable (0: none).
    double unstable_D = 0.0;

    bool start();
    bool critical_point();
    void outside(int n, const std::string& text);
    std::string min_text(double bmin) const;
    void vapour_or_dense_liquid();
    bool dense_liquid_reaches();
    bool reaches_limit() const;
    bool liquid_beyond_split(const eqdome::Split& sp);
    void denser_root();
    bool compressed_liquid_above();

    bool fluid_beyond_minimum() const;
    void two_roots();
    bool warm_gas();

    bool pure_vapour(double d, double p) const;

    void single(double lo, double hi);
    bool root_in_bracket(double lo, double hi);
    bool dew_point();
    void set_floor(double d);

    // The derivative of the property with the density along the isotherm.
    double slope(double d) const { return isotherm_slope(letter, T, d, z); }

    bool in_range();

    double density_at_pmax(int kph) const;

    void supercritical(bool split_below = false, double plo = 0.0);
    void mixture();

    bool frozen_below_bubble() const;
    bool below_dew_among_splits();

    // The single-phase search's error where its root is no stable state
    // (two-phase or solid region).
    static constexpr int kNoStableRoot = 248;

    void stable_state_instead(double plo);

    bool thinner_split_found() const;

    bool thinner_root() const;

    bool thinner_split_below();

    bool split_below_has_less(double pb) const;

    void vapour_below_dew();
    bool split_is_stable();
    bool azeotropic_state();
    bool quality_of_value(const mix::TpState& tp);
    void stable_single(double lo, double hi);
    bool two_liquids_possible();

    // The feed's dew pressure at T where it is found below P, else the
    // pressure of the lowest density searched.
    double dew_pressure() { return mix::dew_pressure_below(T, z, P, kDmin); }

    void lower_split(double plo);
    void along_isotherm(double plo, double f0, int max_fresh = 0, bool check = true);
    bool two_liquids_below(double plo, double f0);
    bool on_isotherm(double plo, double f0, int root, int max_fresh = 0, bool check = true);
    bool on_own_states(double plo, double f0);

    // The highest pressure searched along the isotherm: the equation's
    // limit, or where that does not reach the critical pressure the range
    // check's hard limit (twice the limit), so that the critical region
    // stays inside the search.
    double pressure_limit() const { return pmax > Pc ? pmax : 2.0 * pmax; }

    // The search of the isotherm between plo and phi (mix::on_isotherm).  A
    // root on a continued split is kept where the (T, p) flash at its
    // pressure has its value (plainly where both its phases pass the
    // tangent-plane test, a fiftieth of the flash's cost with octane +
    // water at 452 K); else the split was carried across a
    // three-phase line (ammonia + R13 at 199 K: two liquids carried from
    // 169 kPa down to 35 kPa, where a vapour and a liquid are stable), and
    // the search goes on from the flash's state there, beyond it in the
    // direction of the search first, a bounded number of times.
    bool search(double plo, double f0, double phi, int root, int max_fresh, mix::TpState& st,
                bool check = true) const {
        return mix::search_isotherm(T, {letter, b, kMolarQuality}, z, plo, f0, phi, root, max_fresh,
                                    st, check);
    }

    void take(const mix::TpState& st);
    bool bubble_point();
    bool above_minimum();
    bool at_minimum();
    void two_phase();
};

}  // namespace lib::tbcall
