// The free variable of a mixture's two-phase state at given T or P: Brent's
// bracketed root search (inverse interpolation guarded by bisection) on the
// residual of the given property, each trial value split at (T, p) by TPFL2
// from the phases of the trial before.  A trial split may stop short of the
// equilibrium close to a critical point; the split at the root may not.
#include "library/phase/abfl2mix.h"

#include <cmath>

#include "library/library.h"
#include "library/phase/brent.h"
#include "library/phase/flashutil.h"
#include "library/phase/mixflash.h"
#include "library/phase/tpflsh.h"

namespace lib {
namespace {

// The phases of the last successful split: the start of the next one.
struct Split {
    double Dl = 0, Dv = 0, q = 0;
    double x[20] = {}, y[20] = {};
    bool equilibrium = true;
};

double mass_quality(double q, const double xl[20], const double xv[20]) {
    double qkg = 0, xlkg[20], xvkg[20], wl = 0, wv = 0;
    int jerr = 0;
    std::string jmsg;
    QMASS(q, xl, xv, qkg, xlkg, xvkg, wl, wv, jerr, jmsg);
    return qkg;
}

}  // namespace

double split_residual(const SplitTarget& t, double T, double q, double Dl, double Dv,
                      const double x[20], const double y[20]) {
    switch (t.letter) {
        case 'D': return t.b * (1.0 / t.b - (q / Dv + (1.0 - q) / Dl));
        case 'Q': return t.kq == kMassQuality ? t.b - mass_quality(q, x, y) : t.b - q;
        default: {
            const double pl = flash::prop(t.letter, T, Dl, x);
            const double pv = flash::prop(t.letter, T, Dv, y);
            return (t.b - (1.0 - q) * pl - q * pv) / t.scale;
        }
    }
}

bool split_on_free_variable(const SplitTarget& t, const double z[20], double vb, double fb,
                            double vd, double fd, double& T, double& P, double& Dl, double& Dv,
                            double x[20], double y[20], double& q, int& ierr, std::string& herr) {
    double& free = t.at_t ? P : T;
    Split last;
    last.Dl = Dl;
    last.Dv = Dv;
    last.q = q;
    flash::copy20(x, last.x);
    flash::copy20(y, last.y);
    std::string why;
    int failures = 0;
    // The residual at v from the split there; false when the split fails.
    const auto eval = [&](double v, double& r) {
        free = v;
        Split s = last;
        int jerr = 0;
        std::string jmsg;
        mix::continue_split(T, P, z, s.Dl, s.Dv, s.x, s.y, s.q, s.equilibrium, jerr, jmsg);
        if (jerr > 0 || !(s.q >= -1e-9 && s.q <= 1.0 + 1e-9)) {
            why = jerr > 0 ? jmsg : "vapour fraction outside 0..1";
            ++failures;
            return false;
        }
        r = split_residual(t, T, s.q, s.Dl, s.Dv, s.x, s.y);
        if (!std::isfinite(r)) return false;
        last = s;
        return true;
    };

    // The bracket: the bubble and dew ends, narrowed by the start value.
    double a = vb, fa = fb, b = vd, fbv = fd;
    const double v0 = free;
    double r0 = 0.0;
    if (v0 > std::fmin(vb, vd) && v0 < std::fmax(vb, vd) && eval(v0, r0)) {
        if ((r0 < 0.0) == (fa < 0.0)) {
            a = v0;
            fa = r0;
        } else {
            b = v0;
            fbv = r0;
        }
    }
    double root = 0.0;
    if (!brent_root(eval, a, fa, b, fbv, 1e-13, 1e-14, 100, root)) {
        ierr = failures > 6 ? 225 : 226;
        herr =
            ierr == 225
                ? "TPFL2 did not converge in two-phase iteration:  " + flash::cut(why, 150)
                : "2-phase iteration did not converge, X, delta =" + fmt_g(free / 1000.0, 12, 5) +
                      fmt_g(0.0, 12, 5);
        return false;
    }
    // The split at the root is the result (evaluated again when the last
    // split was at another value).
    double r = 0.0;
    if (free != root && !eval(root, r)) {
        ierr = 225;
        herr = "TPFL2 did not converge in two-phase iteration:  " + flash::cut(why, 150);
        return false;
    }
    if (!last.equilibrium) {
        ierr = 225;
        herr = "TPFL2 did not converge in two-phase iteration:  " +
               flash::cut(unequal_fugacities(T, P), 200);
        return false;
    }
    Dl = last.Dl;
    Dv = last.Dv;
    q = last.q;
    flash::copy20(last.x, x);
    flash::copy20(last.y, y);
    return true;
}

}  // namespace lib
