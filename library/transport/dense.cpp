// Dense limits of general transport correlations and their continuation
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
#include "library/models/phik.h"
#include "library/setup/limits.h"
#include "library/setup/records.h"
#include "library/transport/etak.h"
#include "library/transport/records.h"
#include "library/transport/tcxk.h"

namespace lib::dense {

namespace {

constexpr int kNodes = 64;              // temperatures at which the limit is found
constexpr double kLowest = 0.15;        // the lowest node, times Tc
constexpr double kStep = 0.01;          // relative density step of a march
constexpr double kReach = 1.2;          // marches end at this times the density limit
constexpr double kDerivative = 1e-6;    // relative step of a local derivative
constexpr double kMaxExponent = 600.0;  // of the continuation, to stay finite
constexpr double kSecant = 0.05;        // relative density span of its mean slope
constexpr double kBracket = 0.02;       // of the interpolated limit, searched exactly
constexpr double kNone = std::numeric_limits<double>::infinity();
constexpr double kUnknown = -1.0;  // a node not found yet

struct Nodes {
    bool ready = false;
    double tlow = 0.0, thigh = 0.0;
    std::array<double, kNodes> limit{};
};
std::array<Slots<Nodes>, 2> nodes;  // per property

// The general correlations (VS1, TC1) and the IAPWS viscosity form of water
// and heavy water (VS0 "H2O"); the other fluid-specific forms are left as
// published.
bool continued_model(Property p, int k) {
    if (k < kMinSlot || k > kMaxSlot || !(CCON.dc[k] > 0.0)) return false;
    if (p == kConductivity) return TRNMOD.tcx[k].is("TC1");
    return TRNMOD.eta[k].is("VS1") || (TRNMOD.eta[k].is("VS0") && HCMOD.eta[k].is("H2O"));
}

// The dilute part and the density-dependent part of the correlation itself
// (viscosity: eta0 and eta0 B D + eta_r; conductivity: the dilute and the
// background terms), false where a part fails.
bool parts(Property p, int k, double T, double D, double& dilute, double& background) {
    int ierr = 0;
    std::string herr;
    if (p == kConductivity) {
        TCXK0(k, T, dilute, ierr, herr);
        if (ierr > 0) return false;
        conductivity_background(k, T, D, background, ierr, herr);
        return ierr <= 0;
    }
    double B = 0.0, etar = 0.0;
    ETAK0(k, T, dilute, ierr, herr);
    if (ierr > 0) return false;
    ETAK1(k, T, B, ierr, herr);
    if (ierr > 0) return false;
    ETAKR(k, T, D, etar, ierr, herr);
    background = dilute * B * D + etar;
    return ierr <= 0;
}

// Their sum, false where there is none or it is not positive and finite.
bool value(Property p, int k, double T, double D, double& v) {
    double dilute = 0.0, background = 0.0;
    if (!parts(p, k, T, D, dilute, background)) return false;
    v = dilute + background;
    return std::isfinite(v) && v > 0.0;
}

// The local elasticity d ln(eta)/d ln(D) at D, NaN where there is no
// value.
double elasticity(Property p, int k, double T, double D) {
    double e1 = 0.0, e2 = 0.0;
    if (!value(p, k, T, D, e1) || !value(p, k, T, D * (1.0 + kDerivative), e2)) return NAN;
    return std::log(e2 / e1) / std::log1p(kDerivative);
}

double reach(int k) {
    const double dmax = WLMETA.dmax[k] > 0.0 ? WLMETA.dmax[k] : 5.0 * CCON.dc[k];
    return kReach * dmax;
}

// Where the march of the liquid starts: from the triple point on (a
// component's own slot: from the lowest temperature its equation of state
// answers, supercooled water's 251.165 K), above the liquid's spinodal (the
// highest density at which the slot's equation of state is not
// mechanically stable, up to its density limit), since between gas and
// liquid no state exists; below, where an equation is extrapolated and its
// spinodals mean little (a reference fluid's conformal states), the
// critical density.
double liquid_start(int k, double T) {
    const double dc = CCON.dc[k];
    const double lowest = k >= 1 ? std::min(CCON.ttp[k], eos_lowest_temperature(k)) : CCON.ttp[k];
    if (!(T >= lowest)) return dc;
    double tred = 0.0, dred = 0.0;
    REDK(k, tred, dred);
    if (!(tred > 0.0) || !(dred > 0.0)) return dc;
    const double top = WLMETA.dmax[k] > 0.0 ? WLMETA.dmax[k] : 5.0 * dc;
    double start = dc;
    for (double D = dc; D < top; D *= 1.0 + kStep) {
        // (dP/dD)_T / (R T) = 1 + 2 delta a_delta + delta^2 a_deltadelta
        const double tau = tred / T, del = D / dred;
        if (!(1.0 + 2.0 * PHIK(k, 0, 1, tau, del) + PHIK(k, 0, 2, tau, del) > 0.0))
            start = D * (1.0 + kStep);
    }
    return start;
}

// The densest sound state at T from the liquid's start up to the reach.
// A correlation stops being sound at a pole (of a free-volume term or a
// rational group: the elasticity passes the limit) or where it turns over
// (a maximum in density).  The first pole ends the liquid: what a
// correlation does beyond it means nothing.  A maximum is the end in the
// liquid beyond a correlation's range, but may also lie between gas and
// liquid, where no state exists (there, at low temperatures, the initial-
// density term makes a correlation fall, even negative), or before water's
// minimum at low temperatures: of the maxima the one with the largest
// viscosity.  kNone where the correlation is sound at the reach and higher
// there than at every maximum.
double march(Property p, int k, double T) {
    const double to = reach(k);
    double D = liquid_start(k, T), best = kNone, best_eta = -1.0;
    double e = elasticity(p, k, T, D);
    while (D < to) {
        const double next = D * (1.0 + kStep);
        const double e_next = elasticity(p, k, T, next);
        const bool ends = e <= kMaxElasticity && !(e_next <= kMaxElasticity);
        const bool turns = e > 0.0 && e <= kMaxElasticity && e_next <= 0.0;
        if (ends || turns) {
            // The end within the step: where it stops being sound, or the
            // maximum.
            double lo = D, hi = next;
            for (int i = 0; i < 30 && hi - lo > 1e-9 * lo; ++i) {
                const double mid = 0.5 * (lo + hi), em = elasticity(p, k, T, mid);
                (ends ? em <= kMaxElasticity : em > 0.0) ? lo = mid : hi = mid;
            }
            if (ends && elasticity(p, k, T, lo) > 0.5 * kMaxElasticity) return lo;  // a pole
            double e_end = 0.0;
            if (value(p, k, T, lo, e_end) && e_end > best_eta) {
                best = lo;
                best_eta = e_end;
            }
        }
        e = e_next;
        D = next;
    }
    double e_top = 0.0;
    if (e <= kMaxElasticity && value(p, k, T, D, e_top) && e_top > best_eta) return kNone;
    return best;
}

double node(Property p, int k, int i) {
    Nodes& n = nodes[static_cast<std::size_t>(p)][k];
    if (!n.ready) {
        n.ready = true;
        n.tlow = kLowest * CCON.tc[k];
        n.thigh = std::max(WLMETA.tmax[k], 1.5 * CCON.tc[k]);
        n.limit.fill(kUnknown);
    }
    double& l = n.limit[static_cast<std::size_t>(i)];
    if (l == kUnknown) l = march(p, k, n.tlow + (n.thigh - n.tlow) * i / (kNodes - 1));
    return l;
}

}  // namespace

double limit(Property p, int k, double T) {
    if (!continued_model(p, k)) return kNone;
    node(p, k, 0);  // the range of the nodes
    const Nodes& n = nodes[static_cast<std::size_t>(p)][k];
    const double x = std::clamp((T - n.tlow) / (n.thigh - n.tlow), 0.0, 1.0) * (kNodes - 1);
    const int i = std::min(static_cast<int>(x), kNodes - 2);
    const double a = node(p, k, i), b = node(p, k, i + 1), w = x - i;
    if (a == kNone && b == kNone) return kNone;
    if (a == kNone || b == kNone) return march(p, k, T);  // a limit appears between the nodes
    // Interpolated, then found exactly within kBracket of it: rising below
    // the limit, at a pole or past a maximum above it.
    const double q = a + w * (b - a);
    auto rising = [&](double D) {
        const double e = elasticity(p, k, T, D);
        return e > 0.0 && e <= kMaxElasticity;
    };
    double lo = q * (1.0 - kBracket), hi = q * (1.0 + kBracket);
    if (!rising(lo) || rising(hi)) return march(p, k, T);
    for (int it = 0; it < 30 && hi - lo > 1e-9 * lo; ++it) {
        const double mid = 0.5 * (lo + hi);
        (rising(mid) ? lo : hi) = mid;
    }
    return lo;
}

namespace {

// Below this density at T no state needs the exact limit.
double quick_limit(Property p, int k, double T) {
    node(p, k, 0);
    const Nodes& n = nodes[static_cast<std::size_t>(p)][k];
    const double x = std::clamp((T - n.tlow) / (n.thigh - n.tlow), 0.0, 1.0) * (kNodes - 1);
    const int i = std::min(static_cast<int>(x), kNodes - 2);
    return (1.0 - kBracket) * std::min(node(p, k, i), node(p, k, i + 1));
}

}  // namespace

bool continued(Property p, int k, double T, double D, double& background) {
    if (!continued_model(p, k) || !(D > CCON.dc[k])) return false;
    if (!(D > quick_limit(p, k, T))) return false;
    const double ds = limit(p, k, T);
    if (!(D > ds)) return false;
    // The slope in ln(background): the local one at the limit, or where a
    // correlation turns over there, the mean over the last kSecant of
    // density before it.
    const double dd = ds * (1.0 - kDerivative), dm = ds / (1.0 + kSecant);
    double dilute = 0.0, bs = 0.0, bd = 0.0, bm = 0.0;
    if (!parts(p, k, T, ds, dilute, bs) || !parts(p, k, T, dd, dilute, bd) ||
        !parts(p, k, T, dm, dilute, bm))
        return false;
    if (!(bs > 0.0) || !(bd > 0.0) || !(bm > 0.0)) return false;
    const double slope = std::max(std::log(bs / bd) / (ds - dd), std::log(bs / bm) / (ds - dm));
    if (!(slope > 0.0) || !std::isfinite(slope)) return false;
    background = bs * std::exp(std::min(slope * (D - ds), kMaxExponent));
    return true;
}

void forget() {
    for (auto& slots : nodes)
        for (Nodes& n : slots.v) n.ready = false;
}

}  // namespace lib::dense
