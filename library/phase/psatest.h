// A pure component's vapour pressure estimated from its critical point and
// acentric factor alone, for the decisions of the mixture flashes (which
// component may condense, below which pressure no dew point lies).
#pragma once

namespace lib::mix {

// ln of the estimated vapour pressure (kPa) of component i (0-based) at T:
// the lowest of Wilson's and Lee and Kesler's estimates and, between the
// triple point and the critical point, the component's own vapour-pressure
// equation (PSATK).  Wilson's straight line in ln P over 1/T lies far
// above the vapour pressure at low reduced temperatures (propane at 95 K
// 13 times, toluene at 181 K 14 times, methyl linoleate at its triple
// point 2e4 times); Lee and Kesler's lies within some 30 % there for most
// fluids, but below it for alcohols and water (methanol at its triple
// point 7 times), and 117 times above it for cyclopropane at 165 K.  Above
// the critical temperature Wilson's line alone, carried on.
double ln_vapour_pressure_estimate(int i, double T);

}  // namespace lib::mix
