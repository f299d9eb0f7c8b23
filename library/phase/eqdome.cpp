// The equation's own two-phase region beyond the stated critical point (see
// eqdome.h): its saturation line from the close-to-critical road, and the
// value placed against the phases' values.
#include "library/phase/eqdome.h"

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/satcrit.h"
#include "library/setup/records.h"

namespace lib::eqdome {
namespace {

// The lowest pressure, as a share of the critical pressure, at which the
// saturation routines may end short of the equation's own line (their line
// ends at the stated critical temperature: re347mcc's equation reaches
// 438.63 K and 2469.5 kPa, its stated point is 437.6 K, 2480 kPa).
constexpr double kLowestPressure = 0.9;

int pure(const double z[20]) {
    const int ic = ISPURE(z);
    return ic > 0 && !flash::pseudo_pure(ic) ? ic : 0;
}

// The value against the phases at out.T.
void place(const double z[20], char by, double value, Split& out) {
    if (by == 'D') {
        out.bl = out.Dl;
        out.bv = out.Dv;
        out.side = value >= out.Dl ? -1 : value <= out.Dv ? 1 : 0;
        if (out.side == 0) out.q = flash::volume_quality(value, out.Dl, out.Dv, 0.5);
        return;
    }
    out.bl = flash::prop(by, out.T, out.Dl, z);
    out.bv = flash::prop(by, out.T, out.Dv, z);
    out.side = value <= out.bl ? -1 : value >= out.bv ? 1 : 0;
    if (out.side == 0) out.q = (value - out.bl) / (out.bv - out.bl);
}

}  // namespace

bool at_t(const double z[20], double T, char by, double value, Split& out) {
    const int ic = pure(z);
    // (At the stated critical temperature itself the saturation routines give
    // the stated critical point: the state at (Tc, Dc) stays the equation's
    // own there, as the fluid's critical point.)
    if (ic == 0 || !(T > CCON.tc[ic])) return false;
    Split s;
    s.T = T;
    if (satcrit::equation_at_t(ic, T, s.P, s.Dl, s.Dv) != satcrit::Verdict::kSolved) return false;
    place(z, by, value, s);
    out = s;
    return true;
}

bool at_p(const double z[20], double P, char by, double value, Split& out) {
    const int ic = pure(z);
    if (ic == 0 || !(P >= kLowestPressure * CCON.pc[ic])) return false;
    Split s;
    s.P = P;
    if (satcrit::equation_at_p(ic, P, s.T, s.Dl, s.Dv) != satcrit::Verdict::kSolved) return false;
    place(z, by, value, s);
    out = s;
    return true;
}

void take(const double z[20], const Split& sp, double& T, double& P, double& D, double& Dl,
          double& Dv, double& q, double& e, double& h, double& s, double& cv, double& cp,
          double& w) {
    T = sp.T;
    P = sp.P;
    Dl = sp.Dl;
    Dv = sp.Dv;
    q = sp.q;
    flash::mix_phases(T, q, Dl, Dv, z, z, e, h, s, cv, cp, w);
    D = flash::mixed_density(q, Dl, Dv);
}

}  // namespace lib::eqdome
