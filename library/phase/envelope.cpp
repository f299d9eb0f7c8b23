// The cricondentherm cache: a few recent compositions with their call
// counts and, once traced, the highest temperature of their boundary.  The
// trace runs through SATSPLN's, a slice in each call; the caller's splines
// (and characteristic points) are restored after each slice, so that the
// start values of the saturation routines stay the ones the caller set up.
#include "library/phase/envelope.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>

#include "library/library.h"
#include "library/models/hmx.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/psatest.h"
#include "library/phase/records.h"
#include "library/phase/satspln.h"
#include "library/phase/warmband.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

enum class Trace { pending, traced, failed };

struct Entry {
    std::array<double, kMaxComp> z{};
    int nc = 0;
    Code model;
    int calls = 0;
    unsigned long long used = 0;  // the tick of the last call (the oldest goes first)
    Trace state = Trace::pending;
    double tmax = 0.0;
    double pmax = 0.0;                    // the cricondenbar, 0 where the trace does not give it
    std::unique_ptr<SlicedTrace> tracer;  // the trace under way
    int slices = 0;                       // the calls it has had
};

constexpr int kEntries = 8;
std::array<Entry, kEntries> entries;
unsigned long long tick = 0;
bool tracing = false;  // the trace's own flashes are not counted

bool same(const Entry& e, const double z[20]) {
    if (e.calls == 0 || e.nc != NCOMP.nc || !(e.model == EOSMOD.mix)) return false;
    for (int i = 0; i < kMaxComp; ++i)
        if (e.z[static_cast<std::size_t>(i)] != z[i]) return false;
    return true;
}

Entry& entry_for(const double z[20]) {
    for (Entry& e : entries)
        if (same(e, z)) return e;
    Entry& e = *std::min_element(entries.begin(), entries.end(),
                                 [](const Entry& a, const Entry& b) { return a.used < b.used; });
    e = Entry{};
    for (int i = 0; i < kMaxComp; ++i) e.z[static_cast<std::size_t>(i)] = z[i];
    e.nc = NCOMP.nc;
    e.model = EOSMOD.mix;
    return e;
}

// One slice of the trace of z's boundary, the caller's splines kept.
void trace(Entry& e, const double z[20]) {
    const auto splines = std::make_unique<SatsplRecord>(SATSPL);
    const MaxtpRecord points = MAXTP;
    if (!e.tracer) e.tracer = std::make_unique<SlicedTrace>(z);
    int ierr = 0;
    std::string herr;
    double tmax = 0.0;
    bool ended = false;
    tracing = true;
    {
        flash::QuietMessages quiet;
        ended = e.tracer->resume(kTraceSlice, ierr, herr);
        if (!ended && ++e.slices >= kTraceSlices) {
            e.tracer->give_up(ierr, herr);
            ended = true;
        }
    }
    tracing = false;
    if (ended) {
        const bool whole = ierr == 0 && traced_tmax(tmax);
        e.state = whole ? Trace::traced : Trace::failed;
        e.tmax = tmax;
        double pmax = 0.0;
        e.pmax = whole && traced_pmax(pmax) ? pmax : 0.0;
        e.tracer.reset();
    }
    SATSPL = *splines;
    MAXTP = points;
}

int uncounted = 0;  // open UncountedCalls

// Whether the boundary of the rest of z answers for z where its smallest
// components, a trace (library/phase/frozen.h), are frozen at every
// temperature of the rest's boundary: the trials hold them at the feed's
// fractions there (above_rest_envelope), and z's own trace runs along the
// dew line of the frozen component and never ends whole (the 0.04 % of
// carbon dioxide in Dry ISO Air, frozen below 195 K, beside the boundary of
// its air up to 133 K: 200,000 evaluations).  The rest's boundary is traced
// first, a slice in each call, where the trace is frozen at the rest's
// estimated critical temperature (the lowest its cricondentherm can be).
enum class Rest { pending, answers, no };

Rest rest_boundary(const double z[20]) {
    const FrozenTrace t = possible_trace(z);
    if (!t.any) return Rest::no;
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    CRITP(t.rest, Tc, Pc, Dc, jerr, jmsg);
    if (jerr > 0 || !(Tc > 0.0) || !same_trace(frozen_trace(Tc, z), t)) return Rest::no;
    Entry& r = entry_for(t.rest);
    r.used = ++tick;
    ++r.calls;
    if (r.state == Trace::pending) trace(r, t.rest);
    if (r.state == Trace::pending) return Rest::pending;
    if (r.state == Trace::failed) return Rest::no;
    return same_trace(frozen_trace(1.01 * r.tmax, z), t) ? Rest::answers : Rest::no;
}

// One more call for z's boundary: from the kTraceAfter-th on a slice of its
// trace, or of the rest's that answers for it.
void count_call(Entry& e, const double z[20]) {
    ++e.calls;
    if (e.state != Trace::pending || e.calls < kTraceAfter) return;
    switch (rest_boundary(z)) {
        case Rest::answers: e.state = Trace::failed; break;  // (not traced)
        case Rest::pending: break;
        case Rest::no: trace(e, z); break;
    }
}

}  // namespace

UncountedCalls::UncountedCalls() { ++uncounted; }
UncountedCalls::~UncountedCalls() { --uncounted; }

bool above_envelope(double T, const double z[20]) {
    if (tracing) return false;
    double top = 0.0;  // (uncounted: a traced boundary's answer alone)
    if (uncounted > 0) return cricondentherm(z, top) && T > 1.01 * top;
    Entry& e = entry_for(z);
    e.used = ++tick;
    count_call(e, z);
    return e.state == Trace::traced && T > 1.01 * e.tmax;
}

namespace {

// The dew pressure of the ideal solution of the condensable components of
// z at T (below 1.05 times their critical temperature) on their estimated
// vapour pressures; 0 where none is condensable.
double ideal_dew_pressure(double T, const double z[20]) {
    double sum = 0.0;  // sum of z_i / Psat_i over the condensable components
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i) {
        const double tc = CCON.tc[i + 1], pc = CCON.pc[i + 1];
        if (!(z[i] > 0.0) || !(T < 1.05 * tc) || !(pc > 0.0)) continue;
        sum += z[i] / std::exp(ln_vapour_pressure_estimate(i, T));
    }
    return sum > 0.0 ? 1.0 / sum : 0.0;
}

// A pressure above every pressure of the equations: a rest without a
// condensable component has no dew point at all.
constexpr double kAboveEveryPressure = 1e300;

// Whether every frozen component of z at T is held as a trace (then the
// phases are those of the rest, each holding the trace at the feed's
// fractions).
bool trace_held(const FrozenTrace& trace, double T, const double z[20]) {
    if (!trace.any) return false;
    for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i)
        if (z[i] > 0.0 && frozen(i, T) && !trace.held[i]) return false;
    return true;
}

}  // namespace

bool no_dew_point(double T, const double z[20]) {
    double tmax = 0.0;
    if (cricondentherm(z, tmax) && T > 1.01 * tmax) return true;
    double tmin = 0, tlim = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tlim, dmax, pmax);
    const double p = ideal_dew_pressure(T, z);
    return !(p > 0.0) || (pmax > 0.0 && p > 10.0 * pmax);
}

double below_dew_pressure(double T, const double z[20]) {
    // AGA8's dense roots of nearly pure heavier components condense far
    // below the ideal solution's dew pressure (its propane at 250 K splits
    // off a 5 % propane gas at 55 kPa): no pressure is known to lie below.
    if (EOSMOD.mix.is("AGA")) return 0.0;
    // A frozen trace held in both phases condenses with the rest: its own
    // dew pressure on its vapour pressure carried below the triple point
    // (the 0.04 % of carbon dioxide in air at 175 K: 150 MPa) would bring
    // the dense gas into the window where the rest has no dew point.
    const FrozenTrace trace = frozen_trace(T, z);
    if (trace_held(trace, T, z)) {
        const double p = ideal_dew_pressure(T, trace.rest);
        return p > 0.0 ? 0.1 * p : kAboveEveryPressure;
    }
    return 0.1 * ideal_dew_pressure(T, z);
}

// The share of the estimated critical temperature up to which a mixture's
// two phases are looked for.
constexpr double kWindowShare = 1.5;
// Two dense phases beyond the heaviest component's critical temperature:
// looked for above this multiple of its critical pressure, up to this
// share of its critical temperature, or up to kLightGasShare of it where a
// light gas (of a critical temperature below kLightGas times the heaviest
// one's: hydrogen, helium, neon) is present.  (Hydrogen + water 1:1 splits
// into a gas and a water-rich dense phase up to 1030 K at 1 GPa and 1110 K
// at 1.5 GPa, its pressure limit: 1.72 times water's critical temperature;
// at 1.5 times the flash had taken one phase beyond 970 K, where the
// tangent-plane distance of the water-rich phase was -0.04 to -0.2.)
constexpr double kDensePressure = 2.0;
constexpr double kDenseShare = 1.25;
constexpr double kLightGasShare = 1.8;
constexpr double kLightGas = 0.1;
constexpr double kDenseTrace = 1e-3;

namespace {

// outside_two_phase_window with the share `light_share` of the heaviest
// component's critical temperature for the dense phases of a light gas.
bool outside_window_with(double T, double P, const double z[20], double Tc, double light_share) {
    double tcmax = 0.0, tcmin = 1e300, pcheavy = 0.0, zheavy = 0.0;
    for (int i = 0; i < NCOMP.nc && i < kMaxComp; ++i) {
        if (!(z[i] > 0.0)) continue;
        tcmin = std::min(tcmin, CCON.tc[i + 1]);
        if (CCON.tc[i + 1] > tcmax) {
            tcmax = CCON.tc[i + 1];
            pcheavy = CCON.pc[i + 1];
            zheavy = z[i];
        }
    }
    if (T < std::max(kWindowShare * Tc, 1.05 * tcmax) && below_dew_pressure(T, z) <= P)
        return false;
    // Beyond the critical temperature of its heaviest component a mixture
    // can still split into two dense phases at pressures far above that
    // component's critical pressure: up to 1.2 times that temperature
    // (decane with argon or oxygen at 27.6 MPa, ammonia with octane), with
    // hydrogen or helium up to 1.5 times and more (decane with hydrogen at
    // 650 K, 7.6 MPa; at 864 K, 113 MPa).
    // (Not where that component is a trace: the 0.04 % of carbon dioxide
    // in air dissolves in it.)
    const double share = tcmin < kLightGas * tcmax ? light_share : kDenseShare;
    return !(zheavy > kDenseTrace && T < share * tcmax && P > kDensePressure * pcheavy);
}

}  // namespace

bool outside_two_phase_window(double T, double P, const double z[20], double Tc) {
    return outside_window_with(T, P, z, Tc, kLightGasShare);
}

bool in_light_gas_band(double T, double P, const double z[20], double Tc) {
    return !outside_window_with(T, P, z, Tc, kLightGasShare) &&
           outside_window_with(T, P, z, Tc, kWindowShare);
}

namespace {

// The margin beyond the traced top of a boundary within which its points
// are still sought.
constexpr double kTopMargin = 1.01;

// The traced entry that answers for z: its own, or its rest's where the
// rest's boundary answers for it (rest_boundary); nullptr where none is
// traced yet.  Counts no call.
const Entry* traced_for(const double z[20]) {
    for (const Entry& e : entries)
        if (same(e, z)) {
            if (e.state == Trace::traced) return &e;
            break;
        }
    const FrozenTrace t = possible_trace(z);
    if (!t.any) return nullptr;
    for (const Entry& r : entries)
        if (same(r, t.rest) && r.state == Trace::traced &&
            same_trace(frozen_trace(kTopMargin * r.tmax, z), t))
            return &r;
    return nullptr;
}

}  // namespace

bool no_saturation_at_temperature(double T, const double z[20]) {
    const Entry* e = traced_for(z);
    return e != nullptr && T > kTopMargin * e->tmax;
}

bool no_saturation_at_pressure(double P, const double z[20]) {
    const Entry* e = traced_for(z);
    return e != nullptr && e->pmax > 0.0 && P > kTopMargin * e->pmax;
}

bool cricondentherm(const double z[20], double& tmax) {
    for (const Entry& e : entries)
        if (same(e, z) && e.state == Trace::traced) {
            tmax = e.tmax;
            return true;
        }
    return false;
}

void forget_envelopes() {
    entries = {};
    tick = 0;
    forget_critical_estimates();  // kept per composition like the envelopes
    warm::forget_boundary();      // the warm starts' saturation points, likewise
}

}  // namespace lib::mix
