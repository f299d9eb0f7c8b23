// The (T, p) flash of a mixture inside the window where two phases can
// exist: the tangent-plane test decides; an unstable feed is split by TPFL2
// from the trial phase found.
#pragma once

#include <string>

namespace lib {

// The results of one (T, p) flash.
struct TpResult {
    double D = 0, Dl = 0, Dv = 0, q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    double x[20] = {}, y[20] = {};
    // A split whose densities give P and whose fugacities agree to their
    // last digits (Newton's method of refine_split ended it).
    bool exact = false;
    // Both phases are liquids (a trial's liquid root split off): the
    // second phase's density is its liquid root too.
    bool two_liquids = false;
    // The ratio of the changes of the last two substitution passes (how
    // fast they converge), 0 where not known; given in, that of a split
    // close by.
    double contraction = 0;
};

// The state of mixture z at (T, P), given its (estimated) critical point.
// ierr 213, 214, 215 (a density failed), or TPFL2's error; q 999 then.
void tp_mixture(double T, double P, const double z[20], double Tc, double Pc, double Dc,
                TpResult& r, int& ierr, std::string& herr);

// The split of feed z at (T, P) by successive substitution from the
// K-values K (vapour over liquid fraction; updated): true when it ends on
// an equilibrium with both phases (in r); where it converges slowly it
// stops with its last phases in r (a start for Newton's method), and false.
// With `warm` the phases of r (their densities) are those of a split close
// by, whose K-values K are: its first densities follow from those by
// Newton's steps; where r.contraction gives how fast that split's passes
// converged, a first pass whose change two more such passes take below the
// tolerance goes on by passes.
bool split_by_substitution(double T, double P, const double z[20], double K[20], TpResult& r,
                           bool warm = false);

// The vapour fraction of feed z with K-values K (Rachford-Rice), held
// inside [0, 1], with the phase compositions.
double rachford_rice(const double z[20], const double K[20], double x[20], double y[20]);

}  // namespace lib
