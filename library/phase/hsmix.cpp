// Newton's method on (T, ln P) for a mixture's state of given enthalpy (or
// energy) and entropy.  Each iterate is the stable state at (T, P), found
// by the (T, p) flash with the split of the iterate before continued, so
// that the road is the same inside and outside the two-phase region; the
// derivatives are differences of neighbouring states, and a step that does
// not bring the residuals down is halved.
#include "library/phase/hsmix.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/records.h"

namespace lib::mix {
namespace {

struct Residual {
    double rb = 0, rs = 0;
    // Both residuals made dimensionless (by R T and R).
    double norm(double T) const {
        const double R = GCNST.r;
        return std::hypot(rb / (R * T), rs / R);
    }
};

Residual residual(const TpState& st, double b, double s, bool energy) {
    return {(energy ? st.e : st.h) - b, st.s - s};
}

constexpr int kPasses = 40;
constexpr double kStep = 1e-6;  // relative step of the differences

}  // namespace

bool hs_state(double b, double s, const double z[20], bool energy, double t0, double p0,
              TpState& st) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    Tracker tracker(z);
    double T = t0, lnp = std::log(p0);
    TpState cur;
    if (!(T > 0.0) || !std::isfinite(lnp) || !tracker.at(T, p0, cur)) return false;
    Residual r = residual(cur, b, s, energy);
    const double btol = 1e-11 * (std::fabs(b) + GCNST.r * T), stol = 1e-11 * (std::fabs(s) + 1.0);
    for (int pass = 0; pass < kPasses; ++pass) {
        if (std::fabs(r.rb) <= btol && std::fabs(r.rs) <= stol) {
            st = cur;
            labels_of_tp_flash(z, st);
            return true;
        }
        // The derivatives by T and by ln P: differences of neighbouring
        // states (the same phases, continued from the current split).
        const double dt = kStep * T, dl = kStep;
        TpState at_t, at_p;
        if (!tracker.at(T + dt, std::exp(lnp), at_t) || !tracker.at(T, std::exp(lnp + dl), at_p))
            return false;
        const Residual rt = residual(at_t, b, s, energy), rp = residual(at_p, b, s, energy);
        const double a11 = (rt.rb - r.rb) / dt, a12 = (rp.rb - r.rb) / dl;
        const double a21 = (rt.rs - r.rs) / dt, a22 = (rp.rs - r.rs) / dl;
        const double det = a11 * a22 - a12 * a21;
        if (!(std::fabs(det) > 0.0) || !std::isfinite(det)) return false;
        double sT = -(r.rb * a22 - a12 * r.rs) / det;
        double sl = -(a11 * r.rs - a21 * r.rb) / det;
        // Within a tenth of T and a factor two of P.
        const double k = std::min({1.0, 0.1 * T / std::max(std::fabs(sT), 1e-300),
                                   0.7 / std::max(std::fabs(sl), 1e-300)});
        sT *= k;
        sl *= k;
        // Halve the step until the residuals fall (a kink of the surface at
        // a phase boundary can make a full step overshoot).
        bool moved = false;
        for (int half = 0; half < 8 && !moved; ++half, sT *= 0.5, sl *= 0.5) {
            const double tn = std::clamp(T + sT, 0.5 * tmin, 1.5 * tmax);
            const double ln = std::min(lnp + sl, std::log(2.0 * pmax));
            TpState next;
            if (!tracker.at(tn, std::exp(ln), next)) continue;
            const Residual rn = residual(next, b, s, energy);
            if (rn.norm(tn) < r.norm(T) || (half == 7 && std::isfinite(rn.norm(tn)))) {
                T = tn;
                lnp = ln;
                cur = next;
                r = rn;
                moved = true;
            }
        }
        if (!moved) return false;
    }
    return false;
}

}  // namespace lib::mix
