// The stable state of a mixture along an isobar or an isotherm: the check
// of a single-phase result and the search that every mixture flash falls
// back on when its saturation road cannot place the state (a phase boundary
// of two branches, a saturation point that does not exist).
#pragma once

#include <string>
#include <vector>

namespace lib::mix {

// The stable state of feed z at (T, P): one phase or two, with the mixed
// density, energy, enthalpy and entropy.
struct TpState {
    double T = 0, P = 0, D = 0, Dl = 0, Dv = 0, q = 0, e = 0, h = 0, s = 0;
    double x[20] = {}, y[20] = {};
    bool two_phase = false;
    // Both phases are liquids (then the denser one is the liquid).
    bool two_liquids = false;
    // A split continued from the state before (Tracker), not tested.
    bool continued = false;
};
bool tp_state(double T, double P, const double z[20], TpState& st);

// Whether the (T, p) flash's state of feed z at (T, P) has the value b of
// the property `letter` ('H', 'S' or 'E') to 1e-7 of it: a split found
// between a bubble and a dew point, or continued from one, may be one whose
// liquid splits again.  With `at` the (T, p) flash's state is given out.
bool tp_value_is(double T, double P, const double z[20], char letter, double b,
                 TpState* at = nullptr);

// A split found along a path carries the labels it started with; two
// dense phases are labelled by the (T, p) flash, whose split at the state's
// (T, P) may name the same two phases the other way round: then the
// labels (and the vapour fraction) are turned over to match it.
void labels_of_tp_flash(const double z[20], TpState& st);
// Whether labels_of_tp_flash asks the (T, p) flash for the names of st's
// phases (two dense phases, or a liquid lighter than its vapour).
bool named_by_tp_flash(const TpState& st);

// The split (Dl, Dv, x, y, q) turned over where it is the (T, p) flash's
// split tp with the names of its phases the other way round (two liquids,
// or two dense phases the flash names by its trials): every flash names
// the phases of a state as the (T, p) flash does.
void name_phases_as(const TpState& tp, double& Dl, double& Dv, double x[20], double y[20],
                    double& q);
template <class Split>
void name_phases_as(const TpState& tp, Split& s) {
    name_phases_as(tp, s.Dl, s.Dv, s.x, s.y, s.q);
}

// Whether the split st of feed z is plainly the (T, p) flash's state at its (T, P):
// inside the flash's two-phase window, neither phase a trace (close to a
// bubble or dew point the flash's own test may keep the feed whole), and
// the phases passing the tangent-plane test (no trial phase below them but
// the other phase by rounding).  False says nothing.
bool phases_stable(const TpState& st, const double z[20]);

// The bubble point of mixture z at T (at_t) or at P by Newton's method
// alone: a quick answer where one exists, a quick failure where none does
// (a wet gas far above its critical point, whose other roads spend 10-40 ms
// before they give up).  T or P, Dl, Dv, xl (the feed) and xv out.
bool quick_bubble(bool at_t, const double z[20], double& T, double& P, double& Dl, double& Dv,
                  double xl[20], double xv[20]);

// The split of feed z at (T, P) continued from a split nearby (Dl, Dv, x,
// y, q in, the new split out): successive substitution from its K-values
// first (far from a critical point a few passes; it also converges close
// to a dew line, where Newton's method may not), then Newton's method of
// TPFL2 (split_trial, whose equilibrium flag and error it returns).
// contraction (when given): in, how fast the substitution converged for
// the split continued from (0: not known); out, how fast it did here.
void continue_split(double T, double P, const double z[20], double& Dl, double& Dv, double x[20],
                    double y[20], double& q, bool& equilibrium, int& ierr, std::string& herr,
                    double* contraction = nullptr);

// The states of the (T, p) flash that one search has found, each (T, P)
// flashed once: a search that tries again (Brent's method after the march,
// the second pass of a search along an isotherm) takes them from here.
class StateMemo {
public:
    bool at(double T, double P, const double z[20], TpState& st);

private:
    struct Entry {
        double T, P;
        bool ok;
        TpState st;
    };
    std::vector<Entry> entries_;
};

// The stable states of feed z along a path (the evaluations of a search):
// at each (T, P) the split of the state before is continued first, and a
// split whose fugacities agree (an equilibrium with both phases present) is
// taken without the tangent-plane test; otherwise tp_state decides.  With
// max_fresh > 0 at most that many states are found by tp_state (a search
// of bounded cost); later ones fail.  Without `continue_splits` every state
// is tp_state's (a split continued across a three-phase line is no stable
// state there).
class Tracker {
public:
    explicit Tracker(const double z[20], int max_fresh = 0, bool continue_splits = true)
        : z_(z), max_fresh_(max_fresh), continue_splits_(continue_splits) {}
    bool at(double T, double P, TpState& st);
    // Its fresh states taken from (and kept in) `memo`.
    void use(StateMemo* memo) { memo_ = memo; }

private:
    const double* z_;
    StateMemo* memo_ = nullptr;
    TpState last_;
    bool split_ = false;
    int max_fresh_ = 0, fresh_ = 0;
    bool continue_splits_ = true;
};

// Whether the single-phase state (T, D) of z is the stable state at its own
// pressure (no split of lower Gibbs energy, and D the root of lower Gibbs
// energy). Outside the (T, p) flash's two-phase window no test is made;
// `tested` (if given) says whether one was.
bool single_phase_stable(double T, double D, const double z[20], bool* tested = nullptr);
// The same where the pressure P at (T, D) is known.
bool single_phase_stable_at(double T, double D, double P, const double z[20],
                            bool* tested = nullptr);

// The stable state at pressure P whose property (letter 'H', 'S', 'E' or 'D')
// equals b, searched in temperature between tlo and thi (widened to the
// limits of the equation where the property does not change sign there).
// `three_phase` (when given) tells a failure where an enthalpy or entropy b
// lies inside the band of a three-phase line of the isobar: no state at
// all has that value.
bool on_isobar(double P, char letter, double b, const double z[20], double tlo, double thi,
               TpState& st, bool* three_phase = nullptr);

// What a search along an isotherm or isobar meets: a property (letter 'H', 'S',
// 'E') or the vapour fraction ('Q'; kq kMassQuality by mass, else molar).
struct Target {
    char letter = 'H';
    double b = 0;
    int kq = 1;
};

// The stable state at temperature T that meets the target, searched in
// pressure between plo and phi: with kr kHigherRoot the root of the highest
// pressure (marching down from phi), else that of the lowest (marching up
// from plo, whose value f0 = property - b the caller may know: pass NaN
// otherwise).  Where the property turns on the way without reaching b, the
// turn is searched for a crossing.  False when no state meets it.  With
// max_fresh > 0 the search gives up after that many states of tp_state
// (see Tracker; continue_splits is passed to it).
bool on_isotherm(double T, const Target& t, const double z[20], double plo, double f0, double phi,
                 int kr, TpState& st, int max_fresh = 0, bool continue_splits = true);

// The stable state at pressure P that meets the target, marching down in
// temperature from thi (where the value exceeds b by f0, when known: NaN
// otherwise) towards tlo: the crossing nearest to thi (a dew point).
// (max_fresh and continue_splits are passed to the Tracker.)
bool on_isobar_down(double P, const Target& t, const double z[20], double thi, double f0,
                    double tlo, TpState& st, int max_fresh = 0, bool continue_splits = true);

// The stable state at temperature T whose density equals D (the pressure
// searched between plo and phi, widened as needed).  `three_phase` (when
// given) tells a failure where D lies inside a three-phase region of the
// isotherm: no state at all has that density.
bool on_isotherm_density(double T, double D, const double z[20], double plo, double phi,
                         TpState& st, bool* three_phase = nullptr);

}  // namespace lib::mix
