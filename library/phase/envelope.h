// The highest temperature of a mixture's phase boundary (its cricondentherm),
// traced once for each composition that is flashed often: above it no
// vapour-liquid split of that composition exists, and the tangent-plane
// test is not needed.
#pragma once

namespace lib::mix {

// Whether T lies clearly above the cricondentherm of feed z (1 % margin).
// Counts the calls for z; the boundary is traced from the kTraceAfter-th
// call for the same composition and model on, a slice in each call, and
// kept (false while it is not traced, or when the trace is not whole).
// Where a trace of z (library/phase/frozen.h) is frozen at every
// temperature of the rest's boundary, the rest's boundary is traced in its
// place and z's is not (it answers for z through the stability test's
// frozen trace).
bool above_envelope(double T, const double z[20]);

// While one lives, calls of above_envelope are answered from a traced
// boundary only and not counted toward a trace: the stability tests of the
// warm starts (library/phase/warmstart.h) are made only for states close to
// condensation, below the top of the boundary, where a trace spares none.
class UncountedCalls {
public:
    UncountedCalls();
    ~UncountedCalls();
    UncountedCalls(const UncountedCalls&) = delete;
    UncountedCalls& operator=(const UncountedCalls&) = delete;
};

// The cricondentherm kept for z (no call counted): false while none is.
bool cricondentherm(const double z[20], double& tmax);

// Whether feed z has neither a bubble nor a dew point at T, or at P: above
// the top of its traced boundary (cricondentherm, cricondenbar) by 1 %, or
// of its rest's where that answers for it (a frozen trace held in both
// phases).  False while neither is traced.  Counts no call.
bool no_saturation_at_temperature(double T, const double z[20]);
bool no_saturation_at_pressure(double P, const double z[20]);

// Whether feed z has no dew point at T: above its traced cricondentherm,
// or no component is condensable there (each above 1.05 times its critical
// temperature, or the pressure of the ideal solution of those below it,
// on their generalised vapour pressures, more than ten times the pressure
// limit of the equation): a hot gas (the exhaust of a gas turbine at 700
// K, dry air at 288 K with its carbon dioxide) needs no dew-point search.
// Counts no call.
bool no_dew_point(double T, const double z[20]);

// A pressure below every dew point of feed z at T: a tenth of the dew
// pressure of the ideal solution of its condensable components on their
// generalised vapour pressures (which run high far below the critical
// point: hexane at 190 K by a factor 3); 0 where none is condensable.
// With a frozen trace held in both phases (library/phase/frozen.h) that of
// the rest, whose phases they are; above every pressure where the rest has
// no condensable component.
double below_dew_pressure(double T, const double z[20]);

// Whether (T, P) lies outside the window where mixture z, of (estimated)
// critical temperature Tc, can have two phases: T at or above both 1.5 Tc
// and 1.05 times the highest critical temperature of its components, or P
// below every dew point (below_dew_pressure).  The one rule of the (T, p)
// flash and of the stability check of a single phase the other flashes find.
bool outside_two_phase_window(double T, double P, const double z[20], double Tc);

// Whether (T, P) lies inside that window only by the dense phases of a
// light gas with a heavy component beyond 1.5 times the heavy one's
// critical temperature (hydrogen + water at 1 GPa, 980-1030 K): there the
// (T, p) flash keeps a single phase as it finds it outside the window.
bool in_light_gas_band(double T, double P, const double z[20], double Tc);

// Forgets every traced cricondentherm (and the critical-point estimates of
// CRTHMX): called when the fluid or its mixing parameters change.
void forget_envelopes();

// The number of calls for one composition before its boundary is traced.
constexpr int kTraceAfter = 24;
// The evaluations the trace may spend inside one flash, and the calls it
// may take: air's whole boundary takes 45k evaluations (one call), the
// 10-component gas's 122k (three calls); a slice of a wet gas's, whose
// evaluations cost the most, some 15-25 ms.  A boundary that has not ended
// after that many calls (a wet gas's dew line of water, which rises
// without end) stays untraced.
constexpr unsigned long long kTraceSlice = 60000;
constexpr int kTraceSlices = 10;

}  // namespace lib::mix
