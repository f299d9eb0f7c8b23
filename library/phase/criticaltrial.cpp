// Trial phases of a feed close to its critical point, started a little off
// the feed.
#include "library/phase/criticaltrial.h"

#include <algorithm>
#include <cmath>

#include "library/phase/flashutil.h"
#include "library/phase/trialphase.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

// The band around the critical point (relative in T and in P) where the
// trials are made: the windows the test misses lie within 1e-5 of Tc.
constexpr double kBandT = 1e-3;
constexpr double kBandP = 2e-2;

// The largest change of ln w_i of the starts: close to the feed's
// incipient phases (3e-3 apart in the fractions of oxygen + argon) and
// past them.
constexpr double kSteps[] = {1e-2, 1e-3};

// The distance below which a trial phase is taken (the trials that end on
// the feed stop within 1e-10 of it).
constexpr double kBelowPlane = -1e-10;

// Wilson's estimate of ln K_i at T without its pressure term (a direction
// in composition only: the pressure term is the same for every component).
double wilson_direction(int i, double T) {
    constexpr double kWilson = 5.373;
    return std::log(CCON.pc[i + 1]) +
           kWilson * (1.0 + CCON.acf[i + 1]) * (1.0 - CCON.tc[i + 1] / T);
}

}  // namespace

bool near_critical_point(double T, double P, double Tc, double Pc) {
    return Tc > 0.0 && Pc > 0.0 && std::fabs(T / Tc - 1.0) < kBandT &&
           std::fabs(P / Pc - 1.0) < kBandP;
}

bool critical_trial(double T, double P, const double z[20], Stability& s) {
    if (!s.found || !s.stable || s.in_loop) return false;
    const Present o = present(z);
    if (o.m < 2) return false;
    double lnphi[20] = {}, M[20][20];
    if (!ln_phi(T, P, s.D, z, o, lnphi, M, false)) return false;
    double d[20] = {}, dir[20] = {}, mean = 0.0, widest = 0.0;
    for (int a = 0; a < o.m; ++a) {
        const int i = o.c[a];
        d[i] = std::log(z[i]) + lnphi[i];
        dir[i] = wilson_direction(i, T);
        mean += z[i] * dir[i];
    }
    for (int a = 0; a < o.m; ++a) {
        dir[o.c[a]] -= mean;
        widest = std::max(widest, std::fabs(dir[o.c[a]]));
    }
    if (!(widest > 0.0)) return false;
    FeedRoots feed;
    feed.z = z;
    feed.stable = s.D;
    (s.liquid_like ? feed.liquid : feed.vapour) = s.D;
    for (double step : kSteps) {
        for (double sign : {1.0, -1.0}) {
            double w[20] = {}, sum = 0.0, tm = 0.0, K[20] = {};
            for (int a = 0; a < o.m; ++a) {
                const int i = o.c[a];
                sum += w[i] = z[i] * std::exp(sign * step * dir[i] / widest);
            }
            for (int a = 0; a < o.m; ++a) w[o.c[a]] /= sum;
            const bool vapour = !s.liquid_like;
            if (!trial(T, P, z, d, o, feed, vapour, w, tm, K) || !(tm < kBelowPlane)) continue;
            s.take_trial(vapour, tm, w, K);
            return true;
        }
    }
    return false;
}

}  // namespace lib::mix
