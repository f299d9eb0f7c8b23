// Dense limits of general viscosity correlations and their continuation
// beyond them (see dense.h).  The limit of a slot is found by a march in
// density at a few temperatures (nodes), each the first time a state near
// it asks, and interpolated between them.
#include "library/transport/dense.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "library/library.h"
#include "library/setup/records.h"
#include "library/transport/etak.h"
#include "library/transport/records.h"

namespace lib::dense {

namespace {

constexpr int kNodes = 64;              // temperatures at which the limit is found
constexpr double kLowest = 0.15;        // the lowest node, times Tc
constexpr double kStep = 0.01;          // relative density step of a march
constexpr double kReach = 1.2;          // marches end at this times the density limit
constexpr double kDerivative = 1e-6;    // relative step of a local derivative
constexpr double kMaxExponent = 600.0;  // of the continuation, to stay finite
constexpr double kSecant = 0.05;        // relative density span of its mean slope
constexpr double kNone = std::numeric_limits<double>::infinity();
constexpr double kUnknown = -1.0;  // a node not found yet

struct Nodes {
    bool ready = false;
    double tlow = 0.0, thigh = 0.0;
    std::array<double, kNodes> limit{};
};
Slots<Nodes> nodes;

bool general(int k) {
    return k >= kMinSlot && k <= kMaxSlot && TRNMOD.eta[k].is("VS1") && CCON.dc[k] > 0.0;
}

// The correlation itself: eta0 (1 + B D) + eta_r, false where a part fails
// or the value is not positive and finite.
bool value(int k, double T, double D, double& eta) {
    double eta0 = 0.0, B = 0.0, etar = 0.0;
    int ierr = 0;
    std::string herr;
    ETAK0(k, T, eta0, ierr, herr);
    if (ierr > 0) return false;
    ETAK1(k, T, B, ierr, herr);
    if (ierr > 0) return false;
    ETAKR(k, T, D, etar, ierr, herr);
    if (ierr > 0) return false;
    eta = eta0 * (1.0 + B * D) + etar;
    return std::isfinite(eta) && eta > 0.0;
}

// The local elasticity d ln(eta)/d ln(D) at D, NaN where there is no
// value.
double elasticity(int k, double T, double D) {
    double e1 = 0.0, e2 = 0.0;
    if (!value(k, T, D, e1) || !value(k, T, D * (1.0 + kDerivative), e2)) return NAN;
    return std::log(e2 / e1) / std::log1p(kDerivative);
}

// Sound at D: a value that rises with density, by an elasticity of at most
// kMaxElasticity.
bool sound(int k, double T, double D) {
    const double e = elasticity(k, T, D);
    return e > 0.0 && e <= kMaxElasticity;
}

double reach(int k) {
    const double dmax = WLMETA.dmax[k] > 0.0 ? WLMETA.dmax[k] : 5.0 * CCON.dc[k];
    return kReach * dmax;
}

// The densest sound state at T from the critical density up to the reach.
// A stretch of sound densities ends at a pole (of a free-volume term or a
// rational group: the elasticity passes the limit) or where the
// correlation turns over (the elasticity falls to 0).  The first pole
// ends the liquid: what a correlation does beyond it means nothing.
// Turning over happens in the liquid beyond a correlation's range, but also
// between gas and liquid, where no state exists (there, at low
// temperatures, the initial-density term makes a correlation fall, even
// negative): of those ends the one with the largest viscosity, the
// liquid's.  kNone where the correlation is sound at the reach and higher
// there than at every such end.
double march(int k, double T) {
    const double to = reach(k);
    double D = CCON.dc[k], best = kNone, best_eta = -1.0;
    bool was_sound = sound(k, T, D);
    while (D < to) {
        const double next = D * (1.0 + kStep);
        const bool now_sound = sound(k, T, next);
        if (was_sound && !now_sound) {
            double lo = D, hi = next;
            for (int i = 0; i < 30 && hi - lo > 1e-9 * lo; ++i) {
                const double mid = 0.5 * (lo + hi);
                (sound(k, T, mid) ? lo : hi) = mid;
            }
            if (elasticity(k, T, lo) > 0.5 * kMaxElasticity) return lo;  // a pole
            double e_end = 0.0;
            if (value(k, T, lo, e_end) && e_end > best_eta) {
                best = lo;
                best_eta = e_end;
            }
        }
        was_sound = now_sound;
        D = next;
    }
    double e_top = 0.0;
    if (was_sound && value(k, T, D, e_top) && e_top > best_eta) return kNone;
    return best;
}

double node(int k, int i) {
    Nodes& n = nodes[k];
    if (!n.ready) {
        n.ready = true;
        n.tlow = kLowest * CCON.tc[k];
        n.thigh = std::max(WLMETA.tmax[k], 1.5 * CCON.tc[k]);
        n.limit.fill(kUnknown);
    }
    double& l = n.limit[static_cast<std::size_t>(i)];
    if (l == kUnknown) l = march(k, n.tlow + (n.thigh - n.tlow) * i / (kNodes - 1));
    return l;
}

}  // namespace

double limit(int k, double T) {
    if (!general(k)) return kNone;
    node(k, 0);  // the range of the nodes
    const Nodes& n = nodes[k];
    const double x = std::clamp((T - n.tlow) / (n.thigh - n.tlow), 0.0, 1.0) * (kNodes - 1);
    const int i = std::min(static_cast<int>(x), kNodes - 2);
    const double a = node(k, i), b = node(k, i + 1), w = x - i;
    if (a == kNone) return b == kNone ? kNone : b;
    if (b == kNone) return a;
    return a + w * (b - a);
}

bool continued(int k, double T, double D, double& background) {
    if (!general(k) || !(D > CCON.dc[k])) return false;
    const double ds = limit(k, T);
    if (!(D > ds)) return false;
    // The slope in ln(eta - eta0): the local one at the limit, or where a
    // correlation turns over there, the mean over the last kSecant of
    // density before it.
    double eta_s = 0.0, eta_d = 0.0, eta_m = 0.0, eta0 = 0.0;
    int ierr = 0;
    std::string herr;
    ETAK0(k, T, eta0, ierr, herr);
    const double dd = ds * (1.0 - kDerivative), dm = ds / (1.0 + kSecant);
    if (ierr > 0 || !value(k, T, ds, eta_s) || !value(k, T, dd, eta_d) ||
        !value(k, T, dm, eta_m))
        return false;
    const double bs = eta_s - eta0, bd = eta_d - eta0, bm = eta_m - eta0;
    if (!(bs > 0.0) || !(bd > 0.0) || !(bm > 0.0)) return false;
    const double slope = std::max(std::log(bs / bd) / (ds - dd), std::log(bs / bm) / (ds - dm));
    if (!(slope > 0.0)) return false;
    background = bs * std::exp(std::min(slope * (D - ds), kMaxExponent));
    return true;
}

void forget() {
    for (Nodes& n : nodes.v) n.ready = false;
}

}  // namespace lib::dense
