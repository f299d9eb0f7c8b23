// Saturation states of given entropy (SATS) and the extremes of the
// saturated-vapour entropy (SMAXX).
//
// The liquid entropy rises monotonically to its critical value; the vapour
// entropy may have a maximum and a minimum between the lower limit and the
// critical point.  The vapour curve is cut at its extremes into monotonic
// pieces, and each piece that spans the given entropy holds one root, found
// by the bracketed search of satroot.  Roots are reported liquid first, then
// the vapour roots from the critical point downwards.
#include <algorithm>
#include <cmath>
#include <vector>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/phase/flashutil.h"
#include "library/phase/records.h"
#include "library/phase/sath.h"
#include "library/phase/satroot.h"
#include "library/setup/records.h"

namespace lib {

namespace {

using satroot::Prop;

double& word(int w) { return FXPNT.x[static_cast<std::size_t>(w)]; }
// FXPNT words (0-based): the extremum nearest Tc (T 10, s 11), the liquid and
// vapour entropies at the lower limit (12, 13), the extremum nearest the
// lower limit (s 14, T 16), the melting side's (s 15, T 17).
constexpr int kT1 = 10, kS1 = 11, kSl = 12, kSv = 13, kS2 = 14, kS3 = 15, kT2 = 16, kT3 = 17;

std::string g(double v) { return fmt_g(v, 12, 5); }

double lower_limit(const double x[20], int ic) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", x, tmin, tmax, dmax, pmax);
    if (ic > 0) tmin = std::max(tmin, CCON.ttp[ic]);
    return tmin;
}

// The extremes of the vapour entropy between tmin and Tc, from the lowest
// temperature up: zeros of its slope along the boundary, located on a grid
// and refined by bisection with secant steps.
std::vector<satroot::Point> vapour_extremes(const double x[20], double tmin, double Tc) {
    std::vector<satroot::Point> out;
    constexpr int kGrid = 40;
    satroot::Point prev;
    for (int i = 0; i <= kGrid; ++i) {
        const double T = tmin + (Tc * (1.0 - 1e-6) - tmin) * i / kGrid;
        const satroot::Point pt = satroot::boundary(2, T, Prop::kS, x);
        if (!pt.ok || !std::isfinite(pt.dv)) continue;
        if (prev.ok && (prev.dv > 0.0) != (pt.dv > 0.0)) {
            double a = prev.T, b = pt.T, fa = prev.dv, fb = pt.dv;
            satroot::Point best = pt;
            for (int k = 0; k < 80 && b - a > 1e-10 * b; ++k) {
                double t = a - fa * (b - a) / (fb - fa);
                if (!(t > a && t < b) || k % 3 == 2) t = 0.5 * (a + b);
                const satroot::Point q = satroot::boundary(2, t, Prop::kS, x);
                if (!q.ok || !std::isfinite(q.dv)) break;
                best = q;
                if ((q.dv > 0.0) == (fa > 0.0)) {
                    a = t;
                    fa = q.dv;
                } else {
                    b = t;
                    fb = q.dv;
                }
            }
            out.push_back(best);
        }
        prev = pt;
    }
    return out;
}

struct Root {
    int k = 0;
    double T = 0, P = 0, D = 0;
};

}  // namespace

void SMAXX(const double x[20], double& s1, double& T1, double& s2, double& T2, double& s3,
           double& T3, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    double Tc = 0, Pc = 0, Dc = 0;
    if (!flash::critical_point(x, Tc, Pc, Dc, "SMAXX", 160, 235, ierr, herr)) return;
    const double tmin = lower_limit(x, ISPURE(x));
    double sc = 0;
    ENTRO(Tc, Dc, x, sc);
    if (word(kSv) == 0.0) {
        double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
        int jerr = 0;
        std::string jmsg;
        SATT(tmin, x, 1, P, Dl, Dv, xl, xv, jerr, jmsg);
        if (jerr > 0) {
            fail(161, "SMAXX", "saturation state at the lower temperature limit not found", ierr,
                 herr);
            return;
        }
        ENTRO(tmin, Dl, x, word(kSl));
        ENTRO(tmin, Dv, x, word(kSv));
    }
    T1 = T2 = T3 = -1.0;
    s1 = word(kSv);
    s2 = std::min(sc, word(kSv));
    s3 = word(kSl);
    const auto ext = vapour_extremes(x, tmin, Tc);
    if (!ext.empty()) {
        T1 = ext.back().T;
        s1 = ext.back().v;
        T2 = ext.front().T;
        s2 = ext.front().v;
    }
    // No melting-side extremum is searched: the liquid entropy along the
    // melting line rises with temperature for the built-in fluids.
    word(kT1) = T1;
    word(kS1) = s1;
    word(kT2) = T2;
    word(kS2) = s2;
    word(kT3) = T3;
    word(kS3) = s3;
}

void SATS(double s, const double x[20], int kph, int& nroot, int& k1, double& T1, double& P1,
          double& D1, int& k2, double& T2, double& P2, double& D2, int& k3, double& T3, double& P3,
          double& D3, int& ierr, std::string& herr) {
    nroot = k1 = k2 = k3 = 0;
    T1 = P1 = D1 = T2 = P2 = D2 = T3 = P3 = D3 = 0.0;
    ierr = 0;
    herr.clear();
    const int ic = ISPURE(x);
    double Tc = 0, Pc = 0, Dc = 0;
    if (!flash::critical_point(x, Tc, Pc, Dc, "SATS", 160, 235, ierr, herr)) return;
    if (!std::isfinite(s)) {
        fail(1, "SATS", "input value is not a number", ierr, herr);
        return;
    }
    const double tmin = lower_limit(x, ic);
    if (word(kT1) == 0.0) {
        double a, b, c, d, e, f;
        SMAXX(x, a, b, c, d, e, f, ierr, herr);
        if (ierr > 0) return;
    }
    double sc = 0;
    ENTRO(Tc, Dc, x, sc);
    const double sl0 = word(kSl), sv0 = word(kSv);
    std::vector<double> cuts{tmin};
    if (word(kT2) > 0.0) cuts.push_back(word(kT2));
    if (word(kT1) > 0.0 && word(kT1) != word(kT2)) cuts.push_back(word(kT1));
    cuts.push_back(Tc);
    double smax = std::max(sc, sv0);
    if (word(kT1) > 0.0) smax = std::max(smax, word(kS1));

    const int kind_asked = kph;
    if (kph == 4 && s < sv0) {
        fail(8, "SATS",
             "entropy less than triple point entropy; s =" + g(s) + " J/mol-K, smin =" + g(sv0) +
                 " J/mol-K",
             ierr, herr, 3);
        return;
    }
    if (s < sl0) {
        fail(2, "SATS",
             "entropy below minimum entropy; s =" + g(s) + " J/mol-K, smin =" + g(sl0) + " J/mol-K",
             ierr, herr, 3);
        return;
    }
    if ((kph == 0 || kph == 1 || kph == 2) && s > smax) {
        fail(4, "SATS",
             "entropy greater than maximum entropy; s =" + g(s) + " J/mol-K, smax =" + g(smax) +
                 " J/mol-K",
             ierr, herr, 3);
        return;
    }

    const double tol = 1e-10 * std::max(1.0, std::fabs(s));
    std::vector<Root> roots;
    int failed = 0;
    std::string kept;
    auto solve = [&](int kind, double a, double b) {
        const satroot::Point pa = satroot::boundary(kind, a, Prop::kS, x);
        const satroot::Point pb = satroot::boundary(kind, b, Prop::kS, x);
        const double fa = kind == 1 && a == Tc ? sc - s : pa.v - s;
        const double fb = b == Tc ? sc - s : pb.v - s;
        if (!(pa.ok || a == Tc) || !(pb.ok || b == Tc)) return;
        if (std::fabs(fa) < tol) return roots.push_back({kind, a, pa.P, pa.D});
        if ((fa > 0.0) == (fb > 0.0)) return;
        const satroot::Point pt = satroot::search(kind, Prop::kS, s, x, a, fa, b, 0.5 * (a + b),
                                                  std::min(a, b), std::max(a, b), tol);
        if (!pt.ok) {
            ++failed;
            kept = "iteration for saturation state given entropy did not converge for s =" + g(s) +
                   " J/mol-K; root = " + std::to_string(roots.size() + failed);
        }
        roots.push_back({kind, pt.ok ? pt.T : 0.0, pt.ok ? pt.P : 0.0, pt.ok ? pt.D : 0.0});
    };
    if (kph == 0 || kph == 1) solve(1, tmin, Tc);
    if (kph == 0 || kph == 2) {
        // The vapour pieces from the critical point down.
        for (std::size_t i = cuts.size() - 1; i >= 1; --i) {
            const double hi = cuts[i] == Tc ? Tc * (1.0 - 1e-9) : cuts[i];
            solve(2, cuts[i - 1], hi);
        }
    }
    if (kph == 3 || kph == 4) {
        const double lo = kph == 3 ? tmin : 0.5 * tmin;
        const double hi = kph == 3 ? 2.0 * Tc : tmin;
        solve(kph, hi, lo);
    }
    for (const Root& r : roots) {
        if (nroot == 3) break;
        ++nroot;
        (nroot == 1 ? k1 : nroot == 2 ? k2 : k3) = r.k;
        (nroot == 1 ? T1 : nroot == 2 ? T2 : T3) = r.T;
        (nroot == 1 ? P1 : nroot == 2 ? P2 : P3) = r.P;
        (nroot == 1 ? D1 : nroot == 2 ? D2 : D3) = r.D;
    }
    if (failed >= 2) {
        fail(162, "SATS",
             "iteration for saturation state given entropy did not converge for two of the "
             "roots; s =" +
                 g(s) + " J/mol-K",
             ierr, herr);
    } else if (failed == 1) {
        fail(161, "SATS", kept, ierr, herr);
    } else if (nroot == 0) {
        fail(1, "SATS", "no roots found for specified phase; s =" + g(s) + " J/mol-K", ierr, herr,
             3);
    }
    (void)kind_asked;
}

}  // namespace lib
