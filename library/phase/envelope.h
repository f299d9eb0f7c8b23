// The highest temperature of a mixture's phase boundary (its cricondentherm),
// traced once for each composition that is flashed often: above it no
// vapour-liquid split of that composition exists, and the tangent-plane
// test is not needed.
#pragma once

namespace lib::mix {

// Whether T lies clearly above the cricondentherm of feed z (1 % margin).
// Counts the calls for z; the boundary is traced on the kTraceAfter-th
// call for the same composition and model, and kept (false while it is
// not traced, or when the trace is not whole).
bool above_envelope(double T, const double z[20]);

// The cricondentherm kept for z (no call counted): false while none is.
bool cricondentherm(const double z[20], double& tmax);

// Forgets every traced cricondentherm: called when the fluid or its
// mixing parameters change.
void forget_envelopes();

// The number of calls for one composition before its boundary is traced.
constexpr int kTraceAfter = 24;

}  // namespace lib::mix
