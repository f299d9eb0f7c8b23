// Helpers shared by the saturation routines: the one-entry result caches, the
// temporary switch of the mixture model, the ancillary-equation test and the
// density on a solid line.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/records.h"
#include "library/setup/records.h"

namespace lib::sat {

// Whether a cached entry answers a call at `value` for x and kph; `cached` is
// the entry's T (SATT) or P (SATP).
inline bool cache_matches(const SatCache& c, double cached, double value, const double x[20],
                          int kph, int icomp) {
    // Written so that an input that is not a number never matches; below 1
    // (a pressure of a fraction of a kPa) the match is relative.
    if (!(std::fabs(value - cached) < 1e-9 * std::min(1.0, std::fabs(cached))) || kph != c.kph ||
        icomp != c.icomp)
        return false;
    if (icomp == 0) {
        for (int i = 0; i < NCOMP.nc && i < kMaxComp; ++i)
            if (!(std::fabs(x[i] - c.z[static_cast<std::size_t>(i)]) < 1e-9)) return false;
    }
    return true;
}

// Stores a successful result in a cache entry.
inline void cache_store(SatCache& c, double T, double P, double Dl, double Dv, const double x[20],
                        const double xl[20], const double xv[20], int kph, int icomp) {
    c.t = T;
    c.p = P;
    c.dl = Dl;
    c.dv = Dv;
    if (icomp > 0 && icomp <= kMaxComp) {
        std::copy_n(flash::kZeroVector.begin(), kMaxComp, c.z.begin());
        c.z[static_cast<std::size_t>(icomp - 1)] = 1.0;
    } else {
        for (std::size_t i = 0; i < kMaxComp; ++i) c.z[i] = icomp > 0 ? 0.0 : x[i];
    }
    std::copy_n(xl, kMaxComp, c.xl.begin());
    std::copy_n(xv, kMaxComp, c.xv.begin());
    c.kph = kph;
    c.icomp = icomp;
}

// Returns a cached result.
inline void cache_load(const SatCache& c, double& Dl, double& Dv, double xl[20], double xv[20]) {
    Dl = c.dl;
    Dv = c.dv;
    for (std::size_t i = 0; i < kMaxComp; ++i) {
        xl[i] = c.xl[i];
        xv[i] = c.xv[i];
    }
}

// The density of one phase (1 liquid, 2 vapour) at a state on a melting or
// sublimation line, started from D.  A density that fails is an error, never
// a result: its number and message replace ierr and herr, and false returns.
inline bool line_density(double T, double P, const double x[20], int phase, double& D, int& ierr,
                         std::string& herr) {
    int jerr = 0;
    std::string jmsg;
    TPRHO(T, P, x, phase, kStartValue, D, jerr, jmsg);
    if (jerr == 0) return true;
    ierr = jerr;
    herr = jmsg;
    return false;
}

}  // namespace lib::sat
