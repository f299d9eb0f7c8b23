// Newton's method for the last digits of a split at given T and P.  The
// unknowns are the logarithms of the smaller phase's fractions and its
// amount As (per mole of feed); the larger phase holds z - As xs.  Close to
// a dew line the liquid holds 1e-7 of the feed and a light trace (helium)
// 1e-16 of the liquid: Newton's method on the fractions of both phases
// with the lever rule as equations (SATTP) loses the digits of y - z there
// and stops at 1e-8 in the fugacities, and the amounts in the small phase
// as unknowns give a Jacobian of terms 1/As that cancel to its last digits.
// The logarithms keep every digit of the traces, and no term grows as the
// small phase vanishes.
#include "library/phase/splitnewton.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/hmxrecords.h"
#include "library/models/phiderv.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/sattp.h"
#include "library/phase/stability.h"
#include "library/phase/trialroot.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

constexpr double kAgreed = 1e-11;    // ln f agreeing this well: left as it is
constexpr double kTarget = 1e-13;    // the aim of the iteration
constexpr double kMaxLogStep = 2.0;  // largest change of one ln xs_i in a step
constexpr int kMaxIterations = 8;

// One phase of the split: composition, density, ln f_i and, with
// `second`, n dln(phi_i)/dn_j at constant T and P (present components).
struct Phase {
    double x[20] = {}, D = 0.0, lnf[20] = {}, M[20][20] = {};
};

bool evaluate(double T, const Present& o, Phase& ph, bool second) {
    double dadn[20], dnadn[20];
    int jerr = 0;
    std::string jmsg;
    PHIDERV(second ? 2 : 1, T, ph.D, ph.x, dadn, dnadn, jerr, jmsg);
    if (jerr != 0) return false;
    const double lndrt = std::log(ph.D * GCNST.r * T);
    for (int a = 0; a < o.m; ++a) {
        const int i = o.c[a];
        ph.lnf[i] = std::log(ph.x[i]) + lndrt + dnadn[i];
        if (!std::isfinite(ph.lnf[i])) return false;
        if (!second) continue;
        for (int b = 0; b < o.m; ++b) ph.M[a][b] = PHIDR.ndlnphi_dn[i][o.c[b]];
    }
    return true;
}

// The density solver stops on its step size, with the pressure some 1e-9
// off P: a vapour's ln f is off by as much.  Newton's steps on P(D) take
// it to the last digits (false where dP/dD is not positive or the density
// moves by more than 1e-6).
bool exact_density(double T, double P, Phase& ph) {
    const double D0 = ph.D;
    for (int k = 0; k < 3; ++k) {
        double p = 0.0, dpdd = 0.0;
        PRESS(T, ph.D, ph.x, p);
        if (std::fabs(p - P) <= 1e-15 * P) break;
        DPDD(T, ph.D, ph.x, dpdd);
        if (!(dpdd > 0.0) || !std::isfinite(p)) return false;
        ph.D += (P - p) / dpdd;
    }
    return std::fabs(ph.D / D0 - 1.0) < 1e-6;
}

// The density of a phase at (T, P) from its last density.
bool density(double T, double P, int kph, Phase& ph) {
    flash::QuietMessages quiet;
    int jerr = 0;
    std::string jmsg;
    double d = ph.D;
    if (near_root(T, P, ph.x, ph.D, d)) {
        ph.D = d;
        return true;
    }
    d = ph.D;
    TPRHO(T, P, ph.x, kph, kStartValue, d, jerr, jmsg);
    if (jerr > 0 || !(d > 0.0)) return false;
    ph.D = d;
    return exact_density(T, P, ph);
}

// The largest |ln f_i(small) - ln f_i(large)|.
double residual(const Present& o, const Phase& s, const Phase& l, double g[20]) {
    double worst = 0.0;
    for (int a = 0; a < o.m; ++a) {
        const int i = o.c[a];
        g[a] = s.lnf[i] - l.lnf[i];
        worst = std::max(worst, std::fabs(g[a]));
    }
    return worst;
}

// The phases from the small phase's composition xs (normalised here) and
// its amount As; false where a component would leave the large phase.
bool phases(const Present& o, const double z[20], double xs[20], double As, Phase& s, Phase& l) {
    if (!(As > 0.0 && As < 1.0)) return false;
    double sum = 0.0;
    for (int k = 0; k < o.m; ++k) sum += xs[o.c[k]];
    for (int k = 0; k < o.m; ++k) {
        const int i = o.c[k];
        xs[i] /= sum;
        s.x[i] = xs[i];
        l.x[i] = (z[i] - As * xs[i]) / (1.0 - As);
        if (!(l.x[i] > 0.0)) return false;
    }
    return true;
}

// The Jacobian of g_i = ln f_i(small) - ln f_i(large) and of the sum of the
// small phase's fractions, by ln xs_j (columns 0..m-1) and by As (column
// m); with Ms, Ml = n dln(phi_i)/dn_j of the phases (constant T, P) and the
// large phase b = z - As xs of amount 1 - As.
void jacobian(const Present& o, double As, const Phase& s, const Phase& l, double J[]) {
    const int m = o.m, n = m + 1;
    const double B = 1.0 - As;
    const auto at = [&](int row, int col) -> double& { return J[row + col * n]; };
    for (int p = 0; p < m; ++p) {
        const int i = o.c[p];
        // d ln f_i(large) / d b_k.
        double dl[20];
        for (int k = 0; k < m; ++k) dl[k] = ((p == k ? 1.0 / l.x[i] : 0.0) - 1.0 + l.M[p][k]) / B;
        double col_as = 0.0;
        for (int k = 0; k < m; ++k) col_as += dl[k] * s.x[o.c[k]];
        at(p, m) = col_as;  // -d ln f_i(large)/dAs, with db_k/dAs = -xs_k
        for (int q = 0; q < m; ++q) {
            const double xj = s.x[o.c[q]];
            // Small phase: d ln f_i / d ln xs_j with xs_j taken as amounts.
            double v = (p == q ? 1.0 : 0.0) - xj + s.M[p][q] * xj;
            // Large phase: db_k / d ln xs_j = -As xs_j (delta_kj - xs_k).
            double w = dl[q];
            for (int k = 0; k < m; ++k) w -= dl[k] * s.x[o.c[k]];
            v += As * xj * w;
            at(p, q) = v;
        }
    }
    for (int q = 0; q < m; ++q) at(m, q) = s.x[o.c[q]];
    at(m, m) = 0.0;
}

}  // namespace

double refine_split(double T, double P, const double z[20], TpResult& r, double agreed) {
    constexpr double kNone = 1.0;
    if (!(r.q > 0.0 && r.q < 1.0) || !(r.Dl > 0.0 && r.Dv > 0.0)) return kNone;
    if (frozen_trace(T, z).any) return kNone;
    const Present o = present(z);
    if (o.m < 2) return kNone;
    // The smaller phase carries the unknowns.
    const bool liquid_small = r.q > 0.5;
    Phase s, l;
    flash::copy20(liquid_small ? r.x : r.y, s.x);
    flash::copy20(liquid_small ? r.y : r.x, l.x);
    s.D = liquid_small ? r.Dl : r.Dv;
    l.D = liquid_small ? r.Dv : r.Dl;
    // (Two liquids: both densities are liquid roots.)
    const int ks = liquid_small || r.two_liquids ? kLiquid : kVapour;
    const int kl = liquid_small && !r.two_liquids ? kVapour : kLiquid;
    double g[21] = {};
    if (!density(T, P, ks, s) || !density(T, P, kl, l)) return kNone;
    if (!evaluate(T, o, s, false) || !evaluate(T, o, l, false)) return kNone;
    const double start = residual(o, s, l, g);
    if (start <= agreed) return start;

    // The large phase from the feed's balance (the split's roads leave it
    // off by up to 1e-7 of the small phase's amount).
    double As = liquid_small ? 1.0 - r.q : r.q;
    {
        double xs[20];
        flash::copy20(s.x, xs);
        if (!phases(o, z, xs, As, s, l) || !density(T, P, ks, s) || !density(T, P, kl, l))
            return start;
    }
    Phase bs = s, bl = l;
    double best = start, bestA = As;
    const int m = o.m, n = m + 1;
    // The Jacobian is formed anew only where its last step did not cut the
    // residual a hundredfold (close to the solution a step from the old one
    // does as well, and its second derivatives cost most of an iteration).
    if (!evaluate(T, o, s, false) || !evaluate(T, o, l, false)) return start;
    double worst = residual(o, s, l, g), Jkeep[441] = {};
    bool have_j = false;
    for (int it = 0; it < kMaxIterations && best > kTarget; ++it) {
        const bool fresh = !have_j;
        if (fresh) {
            if (!evaluate(T, o, s, true) || !evaluate(T, o, l, true)) break;
            jacobian(o, As, s, l, Jkeep);
            have_j = true;
        }
        double J[441], du[21] = {};
        std::copy(Jkeep, Jkeep + n * n, J);
        for (int p = 0; p < m; ++p) du[p] = -g[p];
        du[m] = 0.0;  // the fractions sum to one
        int jerr = 0;
        std::string jmsg;
        LUDECOMP(n, n, J, du, jerr, jmsg);
        if (jerr != 0) break;
        double big = 0.0;
        for (int p = 0; p < m; ++p) big = std::max(big, std::fabs(du[p]));
        if (!std::isfinite(big) || !std::isfinite(du[m])) break;
        const double f = big > kMaxLogStep ? kMaxLogStep / big : 1.0;
        double xs[20] = {};
        for (int p = 0; p < m; ++p) xs[o.c[p]] = s.x[o.c[p]] * std::exp(f * du[p]);
        const double nA = As + f * du[m];
        const Phase ps = s, pl = l;
        bool ok = phases(o, z, xs, nA, s, l) && density(T, P, ks, s) && density(T, P, kl, l) &&
                  evaluate(T, o, s, false) && evaluate(T, o, l, false);
        const double now = ok ? residual(o, s, l, g) : 0.0;
        if (!ok || !(now < worst)) {
            // Back to the last state: with a fresh Jacobian there is no
            // better step.
            s = ps;
            l = pl;
            if (fresh) break;
            have_j = false;
            worst = residual(o, s, l, g);
            continue;
        }
        if (!(now < 1e-2 * worst)) have_j = false;
        worst = now;
        As = nA;
        if (now < best) {
            best = now;
            bestA = nA;
            bs = s;
            bl = l;
        }
    }
    if (!(best < start)) return start;
    flash::copy20(liquid_small ? bs.x : bl.x, r.x);
    flash::copy20(liquid_small ? bl.x : bs.x, r.y);
    r.Dl = liquid_small ? bs.D : bl.D;
    r.Dv = liquid_small ? bl.D : bs.D;
    r.q = liquid_small ? 1.0 - bestA : bestA;
    return best;
}

}  // namespace lib::mix
