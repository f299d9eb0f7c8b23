// Frozen components of a mixture: the trace carried along, and the test of
// a deposit against the sublimation line.
#include "library/phase/frozen.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

int components() { return std::min(NCOMP.nc, kMaxComp); }

// The sublimation pressure of component i at T (kPa): its sublimation line;
// else, below the triple point, the liquid's vapour pressure carried down
// from the triple point on Clausius-Clapeyron's line through it and a point
// 2 % above, lowered by the heat of fusion taken as R T_tp (an entropy of
// fusion of R, below every fluid's: methane's is 1.25 R, water's 2.6 R,
// ethane's 3.8 R): the ideal solubility of the solid.  A deposit found
// with it is one.  Above the triple point the vapour pressure; 0 where none
// is known.
double solid_pressure(int i, double T) {
    double p = 0.0;
    int jerr = 0;
    std::string jmsg;
    SUBLK(i + 1, T, p, jerr, jmsg);
    if (jerr == 0 && p > 0.0) return p;
    const double ttp = CCON.ttp[i + 1];
    if (!(T < ttp)) {
        PSATK(i + 1, T, p, jerr, jmsg);
        return jerr == 0 && p > 0.0 ? p : 0.0;
    }
    double p1 = 0.0, p2 = 0.0;
    const double t2 = 1.02 * ttp;
    PSATK(i + 1, ttp, p1, jerr, jmsg);
    if (jerr != 0 || !(p1 > 0.0)) return 0.0;
    PSATK(i + 1, t2, p2, jerr, jmsg);
    if (jerr != 0 || !(p2 > p1)) return 0.0;
    const double slope = std::log(p2 / p1) / (1.0 / ttp - 1.0 / t2);  // -d ln p / d(1/T)
    const double liquid = p1 * std::exp(-slope * (1.0 / T - 1.0 / ttp));
    return liquid * std::exp(-(ttp / T - 1.0));
}

// The trace of the components marked in t.held: `any` when they are at
// most kFrozenTrace together and at least two others remain.
void complete(FrozenTrace& t, const double z[20]) {
    int others = 0;
    t.share = 0.0;
    for (int i = 0; i < components(); ++i) {
        if (!(z[i] > 0.0)) continue;
        if (t.held[i])
            t.share += z[i];
        else
            ++others;
    }
    t.any = t.share > 0.0 && t.share <= kFrozenTrace && others >= 2;
    if (!t.any) return;
    for (int i = 0; i < components(); ++i) t.rest[i] = t.held[i] ? 0.0 : z[i] / (1.0 - t.share);
}

}  // namespace

bool frozen(int i, double T) {
    const double ttp = CCON.ttp[i + 1];
    return ttp > 0.0 && T < kFrozenShare * ttp;
}

FrozenTrace frozen_trace(double T, const double z[20]) {
    // The frozen components from the smallest up to kFrozenTrace together
    // (the 0.04 % of carbon dioxide in air at 75 K, not its 0.9 % of argon,
    // frozen too but dissolved in the liquid air).
    FrozenTrace t;
    double sum = 0.0;
    for (;;) {
        int k = -1;
        for (int i = 0; i < components(); ++i)
            if (z[i] > 0.0 && !t.held[i] && frozen(i, T) && (k < 0 || z[i] < z[k])) k = i;
        if (k < 0 || sum + z[k] > kFrozenTrace) break;
        t.held[k] = true;
        sum += z[k];
    }
    complete(t, z);
    return t;
}

FrozenTrace possible_trace(const double z[20]) {
    FrozenTrace t;
    double sum = 0.0;
    for (;;) {
        int k = -1;
        for (int i = 0; i < components(); ++i)
            if (z[i] > 0.0 && !t.held[i] && CCON.ttp[i + 1] > 0.0 && (k < 0 || z[i] < z[k])) k = i;
        if (k < 0 || sum + z[k] > kFrozenTrace) break;
        t.held[k] = true;
        sum += z[k];
    }
    complete(t, z);
    return t;
}

int floor_component(const double z[20]) {
    const FrozenTrace trace = possible_trace(z);
    int k = -1;
    for (int i = 0; i < components(); ++i)
        if (z[i] > 0.0 && !trace.held[i] && (k < 0 || CCON.ttp[i + 1] > CCON.ttp[k + 1])) k = i;
    return k;
}

double freezing_floor(const double z[20]) {
    const int k = floor_component(z);
    return k < 0 ? 0.0 : std::max(0.0, kFrozenShare * CCON.ttp[k + 1]);
}

bool same_trace(const FrozenTrace& a, const FrozenTrace& b) {
    for (int i = 0; i < 20; ++i)
        if (a.held[i] != b.held[i]) return false;
    return a.any == b.any;
}

void remove_trace(const FrozenTrace& t, double c[20]) {
    double sum = 0.0;
    for (int i = 0; i < components(); ++i) {
        if (t.held[i]) c[i] = 0.0;
        sum += c[i];
    }
    if (sum > 0.0)
        for (int i = 0; i < components(); ++i) c[i] /= sum;
}

void add_trace(const FrozenTrace& t, const double z[20], double c[20]) {
    for (int i = 0; i < components(); ++i) c[i] = t.held[i] ? z[i] : c[i] * (1.0 - t.share);
}

int freezing_component(double T, double P, const double z[20], const double f[20]) {
    const FrozenTrace trace = frozen_trace(T, z);
    for (int i = 0; i < components(); ++i) {
        if (!(z[i] > 0.0) || !frozen(i, T) || (trace.any && trace.held[i])) continue;
        const double psub = solid_pressure(i, T);
        if (!(psub > 0.0)) continue;
        const double v = CCON.dtp[i + 1] > 0.0 ? 1.0 / CCON.dtp[i + 1] : 0.0;  // L/mol
        const double fsolid = psub * std::exp(v * std::max(P - psub, 0.0) / (CCON.rgas[i + 1] * T));
        if (f[i] > fsolid) return i;
    }
    return -1;
}

int frozen_liquid(double T, const double x[20], const double y[20], double Dl, double Dv,
                  bool two_liquids) {
    constexpr double kDensePair = 0.1;  // the lower density's share of the higher
    const bool dense_pair = two_liquids || std::min(Dl, Dv) > kDensePair * std::max(Dl, Dv);
    for (const double* c : {x, dense_pair ? y : nullptr}) {
        if (c == nullptr) continue;
        double share = 0.0;
        int most = -1;
        for (int i = 0; i < components(); ++i) {
            if (!(c[i] > 0.0) || !frozen(i, T)) continue;
            share += c[i];
            if (most < 0 || c[i] > c[most]) most = i;
        }
        if (share > 0.5) return most;
    }
    return -1;
}

bool frozen_beyond_trace(double T, const double z[20]) {
    const FrozenTrace trace = frozen_trace(T, z);
    for (int i = 0; i < components(); ++i)
        if (z[i] > 0.0 && frozen(i, T) && !(trace.any && trace.held[i])) return true;
    return false;
}

std::string freezes_out(int i, double T) {
    return "input state is solid or two-phase solid-vapor: " +
           std::string(trim_right(CNAM[i + 1])) +
           " would freeze out of the mixture at T =" + fmt_g(T, 12, 5) + " K (more than " +
           std::to_string(std::lround(100.0 * (1.0 - kFrozenShare))) +
           " % below its triple point, where its equation describes no liquid); the equations "
           "describe no solid";
}

namespace {

// The (T, p) flash on an isobar at T: its error and message, and the
// property of letter ('H', 'S', 'E') of its state.
struct OnIsobar {
    int ierr = 0;
    double b = 0;
    std::string herr;
};
OnIsobar tp_at(double T, double P, char letter, const double z[20]) {
    OnIsobar r;
    double d = 0, dl = 0, dv = 0, x[20], y[20], q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    TPFLSH(T, P, z, d, dl, dv, x, y, q, e, h, s, cv, cp, w, r.ierr, r.herr);
    r.b = letter == 'H' ? h : letter == 'S' ? s : e;
    return r;
}

// The (T, p) flash's message without its bracket.
std::string without_number(const std::string& herr) {
    const std::size_t k = herr.find("] ");
    return k == std::string::npos ? herr : herr.substr(k + 2);
}

}  // namespace

bool tp_flash_refuses_frozen(double T, double P, const double z[20], std::string& reason) {
    constexpr int kFrozen = 250;  // the (T, p) flash's error of a frozen state
    if (!frozen_beyond_trace(T, z)) return false;
    OnIsobar r;
    {
        flash::QuietMessages quiet;
        r = tp_at(T, P, 'H', z);
    }
    if (r.ierr != kFrozen) return false;
    reason = without_number(r.herr);
    return true;
}

namespace {
int no_reason = 0;     // open NoFreezingReason scopes
long reason_asks = 0;  // calls of below_lowest_fluid inside them
}  // namespace

NoFreezingReason::NoFreezingReason() : asks_before_(reason_asks) { ++no_reason; }
NoFreezingReason::~NoFreezingReason() { --no_reason; }
bool NoFreezingReason::asked() const { return reason_asks != asks_before_; }

bool below_lowest_fluid(double P, char letter, double b, const double z[20], double floor,
                        double tmin, std::string& reason, double* lowest_fluid) {
    if (lowest_fluid != nullptr) *lowest_fluid = 0.0;
    if (no_reason > 0) {
        ++reason_asks;
        return false;
    }
    constexpr int kFrozen = 250;          // the (T, p) flash's error of a frozen state
    constexpr double kBelowFloor = 1e-6;  // a share of the floor
    constexpr int kLooks = 8;             // temperatures looked at below the floor
    constexpr int kHalvings = 30;         // the bracket then 1e-9 of the floor
    if (floor_component(z) < 0) return false;
    const OnIsobar at_floor = tp_at(floor, P, letter, z);
    if (at_floor.ierr > 0 || !(b < at_floor.b)) return false;
    double fluid = floor, frozen = floor * (1.0 - kBelowFloor);
    OnIsobar below = tp_at(frozen, P, letter, z);
    if (below.ierr != kFrozen) {
        // A frozen state below: the first of a few temperatures from the
        // equations' lowest up that the flash refuses as frozen (at the
        // lowest itself it may name the melting line instead).
        for (int k = 0; k < kLooks && below.ierr != kFrozen; ++k) {
            frozen = tmin + (floor - tmin) * k / kLooks;
            below = tp_at(frozen, P, letter, z);
            // (No state frozen down to the equations' lowest temperature:
            // the fluid reaches there.)
            if (k == 0 && below.ierr <= 0 && lowest_fluid != nullptr && !(b < below.b))
                *lowest_fluid = tmin;
        }
        if (below.ierr != kFrozen) return false;
        if (lowest_fluid != nullptr) *lowest_fluid = 0.0;
        OnIsobar lowest = at_floor;
        for (int k = 0; k < kHalvings; ++k) {
            const double mid = 0.5 * (fluid + frozen);
            OnIsobar m = tp_at(mid, P, letter, z);
            if (m.ierr == kFrozen) {
                frozen = mid;
                below = std::move(m);
            } else if (m.ierr <= 0) {
                fluid = mid;
                lowest = std::move(m);
            } else {
                return false;
            }
        }
        if (!(b < lowest.b)) {
            if (lowest_fluid != nullptr) *lowest_fluid = fluid;
            return false;
        }
    }
    reason = without_number(below.herr);
    return true;
}

}  // namespace lib::mix
