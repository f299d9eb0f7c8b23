// Warm starts of the single-phase flashes at given pressure: the scope, the
// states kept per composition, the secant iteration from one, and the test
// of a gas far from condensation.
#include "library/phase/warmstart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/setup/records.h"

namespace lib {

namespace warm {
namespace {

int scopes = 0;  // open WarmStartScopes

// The last states of a few compositions (the oldest goes first).
struct Entry {
    std::array<double, kMaxComp> z{};
    int nc = 0;
    State s;
    unsigned long long used = 0;  // 0: empty
};
constexpr int kEntries = 4;
std::array<Entry, kEntries> entries;
unsigned long long tick = 0;

bool same(const Entry& e, const double z[20]) {
    if (e.used == 0 || e.nc != NCOMP.nc) return false;
    for (int i = 0; i < kMaxComp; ++i)
        if (e.z[static_cast<std::size_t>(i)] != z[i]) return false;
    return true;
}

constexpr int kMaxSteps = 12;         // secant steps before the cold road is taken
constexpr double kConverged = 1e-13;  // relative step in T at which the root is held
constexpr double kFarStep = 0.2;      // a step beyond this share of T is no warm start
constexpr double kPlainSum = 0.1;     // the ideal dew-point sum of a plain gas

}  // namespace

bool active() { return scopes > 0; }

bool recall(const double z[20], State& s) {
    for (Entry& e : entries) {
        if (!same(e, z)) continue;
        e.used = ++tick;
        s = e.s;
        return true;
    }
    return false;
}

void remember(const double z[20], const State& s) {
    if (!active()) return;
    Entry* e = nullptr;
    for (Entry& c : entries)
        if (same(c, z)) e = &c;
    if (e == nullptr) {
        e = &*std::min_element(entries.begin(), entries.end(),
                               [](const Entry& a, const Entry& b) { return a.used < b.used; });
        for (int i = 0; i < kMaxComp; ++i) e->z[static_cast<std::size_t>(i)] = z[i];
        e->nc = NCOMP.nc;
    }
    e->s = s;
    e->used = ++tick;
}

void forget() {
    entries = {};
    tick = 0;
}

bool solve(char letter, double P, double b, const double z[20], int kph, const State& start,
           double& T, double& D) {
    // The residual at t, the density solved from d (kept for the next t).
    const auto residual = [&](double t, double& d, double& f) {
        int jerr = 0;
        std::string jmsg;
        TPRHO(t, P, z, kph, kStartValue, d, jerr, jmsg);
        if (jerr > 0 || !(d > 0.0) || !std::isfinite(d)) return false;
        f = flash::prop(letter, t, d, z) - b;
        return std::isfinite(f);
    };
    double t0 = start.T, d0 = start.D, f0 = 0.0;
    if (!(t0 > 0.0) || !(d0 > 0.0) || !residual(t0, d0, f0)) return false;
    // d prop / dT along the isobar: cp, or cp / T for the entropy.
    double slope = letter == 'S' ? start.cp / t0 : start.cp;
    if (!(slope > 0.0) || !std::isfinite(slope)) return false;
    double t1 = t0 - f0 / slope, d1 = d0;
    for (int k = 0; k < kMaxSteps; ++k) {
        if (!(t1 > 0.0) || std::fabs(t1 - start.T) > kFarStep * start.T) return false;
        double f1 = 0.0;
        if (!residual(t1, d1, f1)) return false;
        if (f1 == 0.0) {
            T = t1;
            D = d1;
            return true;
        }
        if (t1 != t0 && f1 != f0) {
            const double s = (f1 - f0) / (t1 - t0);
            if (s > 0.0 && std::isfinite(s)) slope = s;
        }
        const double t2 = t1 - f1 / slope;
        if (std::fabs(t2 - t1) <= kConverged * t1) {
            // The last step, taken where it lowers the residual.
            double d2 = d1, f2 = 0.0;
            const bool better = residual(t2, d2, f2) && std::fabs(f2) <= std::fabs(f1);
            T = better ? t2 : t1;
            D = better ? d2 : d1;
            return true;
        }
        t0 = t1;
        f0 = f1;
        d0 = d1;
        t1 = t2;
    }
    return false;
}

bool plainly_gas(double T, double P, const double z[20]) {
    const int nc = std::min(NCOMP.nc, kMaxComp);
    double pc_max = 0.0;
    for (int i = 1; i <= nc; ++i)
        if (z[i - 1] > 0.0) pc_max = std::max(pc_max, CCON.pc[i]);
    if (!(P < pc_max)) return false;
    double sum = 0.0;
    for (int i = 1; i <= nc; ++i) {
        if (!(z[i - 1] > 0.0)) continue;
        double p = 0.0;
        if (T < CCON.tc[i]) {
            if (!(T > CCON.ttp[i])) return false;
            int ierr = 0;
            std::string herr;
            PSATK(i, T, p, ierr, herr);
            if (ierr != 0) return false;
        } else {
            p = CCON.pc[i] * std::exp(5.373 * (1.0 + CCON.acf[i]) * (1.0 - CCON.tc[i] / T));
        }
        if (!(p > 0.0) || !std::isfinite(p)) return false;
        sum += z[i - 1] * P / p;
    }
    return sum < kPlainSum;
}

}  // namespace warm

WarmStartScope::WarmStartScope() {
    if (warm::scopes++ == 0) warm::forget();
}

WarmStartScope::~WarmStartScope() {
    if (--warm::scopes == 0) warm::forget();
}

}  // namespace lib
