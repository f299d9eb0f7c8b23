// The two-phase region of a pure fluid's equation of state beyond its stated
// critical point, where the equation's own critical point lies higher (r13:
// stated 301.88 K, 3879 kPa; its equation's 303.05 K, 3973.1 kPa).  The
// saturation routines end at the stated point; the equation's isotherms and
// isobars between the two still cross a two-phase region, where the (T, p)
// flash's stable root jumps from the liquid to the vapour and a single-phase
// state of the equation has dP/dD < 0 and a negative cp.  The flashes place
// their states against the equation's saturated phases here.
#pragma once

namespace lib::eqdome {

// The equation's saturated phases at T (or P), and where a value lies
// against them: side -1 below the liquid's, +1 above the vapour's, 0
// between (then q is the vapour fraction that has it: molar for h, e and s,
// by volume for the density).
struct Split {
    double T = 0, P = 0, Dl = 0, Dv = 0, q = 0;
    double bl = 0, bv = 0;  // the property of the liquid and of the vapour
    int side = 0;
};

// by names the property: 'D' (density, mol/L), 'H', 'E' or 'S'.  True where
// z is a pure fluid (not a pseudo-pure one) whose equation has a saturation
// state at T above its stated critical temperature (at_t), or at P from 0.9
// of its critical pressure on (at_p), up to its own critical point.
bool at_t(const double z[20], double T, char by, double value, Split& out);
bool at_p(const double z[20], double P, char by, double value, Split& out);

// The two-phase state of a split between its phases (side 0): the phases
// mixed at its vapour fraction, cv, cp and w the two-phase marker.
void take(const double z[20], const Split& sp, double& T, double& P, double& D, double& Dl,
          double& Dv, double& q, double& e, double& h, double& s, double& cv, double& cp,
          double& w);

}  // namespace lib::eqdome
