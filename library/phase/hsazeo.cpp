// The HS flash of a mixture within the band of an azeotrope (see hsmix.h).
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/hsmix.h"
#include "library/phase/satp.h"

namespace lib::mix {
namespace {

constexpr int kSecantSteps = 16;
// The road is not taken where the bubble and dew points at the start lie
// farther apart than this share of the dew point's temperature: no band of
// an azeotrope lies near (R407C's points lie 2 % apart).
constexpr double kNearlyAzeotropic = 1e-4;
// The largest secant step in ln P.
constexpr double kLargestStep = 0.5;
// The first secant step in ln P, and the last one taken as converged.
constexpr double kFirstStep = 1e-3;
constexpr double kConverged = 1e-13;
// The residuals (relative) within which the state found is taken.
constexpr double kMet = 1e-9;

// The bubble and dew points of the feed at P: their temperatures, the
// incipient phases, and the values of the saturated feed.
struct Ends {
    double P = 0, tb = 0, td = 0, dlb = 0, dvd = 0;
    double ybub[20] = {}, xdew[20] = {};
    flash::PhaseProps liquid, vapour;
};

bool ends_at(double P, const double z[20], Ends& e) {
    double dv = 0, dl = 0, x[20], y[20];
    int ierr = 0;
    std::string herr;
    flash::QuietMessages quiet;
    e.P = P;
    SATP(P, z, kBubblePoint, e.tb, e.dlb, dv, x, e.ybub, ierr, herr);
    if (ierr > 0) return false;
    SATP(P, z, kDewPoint, e.td, dl, e.dvd, e.xdew, y, ierr, herr);
    if (ierr > 0 || !(e.dlb > e.dvd)) return false;
    e.liquid = flash::phase_props(e.tb, e.dlb, z);
    e.vapour = flash::phase_props(e.td, e.dvd, z);
    return true;
}

// The vapour fraction of value v of the property named by letter between
// the two ends.
double fraction(const Ends& e, char letter, double v) {
    const double l = e.liquid.of(letter), g = e.vapour.of(letter);
    return (v - l) / (g - l);
}

}  // namespace

bool hs_in_azeotrope_band(double b, double s, const double z[20], bool energy, double p0,
                          TpState& st) {
    const char letter = energy ? 'E' : 'H';
    // The difference of the two vapour fractions at ln P.
    Ends e;
    const auto residual = [&](double lnp, double& f) {
        if (!ends_at(std::exp(lnp), z, e)) return false;
        f = fraction(e, 'S', s) - fraction(e, letter, b);
        return std::isfinite(f);
    };
    if (!(p0 > 0.0) || !std::isfinite(p0)) return false;
    double l0 = std::log(p0), l1 = l0 + kFirstStep, f0 = 0, f1 = 0;
    if (!residual(l0, f0) || !(std::fabs(e.td - e.tb) <= kNearlyAzeotropic * e.td) ||
        !residual(l1, f1))
        return false;
    for (int k = 0; k < kSecantSteps && std::fabs(l1 - l0) > kConverged; ++k) {
        if (!(f1 != f0)) return false;
        double step = -f1 * (l1 - l0) / (f1 - f0);
        if (std::fabs(step) > kLargestStep) step = std::copysign(kLargestStep, step);
        const double l2 = l1 + step;
        l0 = l1;
        f0 = f1;
        l1 = l2;
        if (!residual(l1, f1)) return false;
    }
    // (e holds the ends at l1.)
    if (!(std::fabs(l1 - l0) <= kConverged) || !flash::azeotropic(e.tb, e.td)) return false;
    const double q = fraction(e, letter, b);
    if (!(q >= 0.0 && q <= 1.0)) return false;
    TpState r;
    r.P = e.P;
    r.T = e.tb + q * (e.td - e.tb);
    r.Dl = e.dlb;
    r.Dv = e.dvd;
    if (!flash::azeotropic_split(q, r.T, r.P, z, e.ybub, e.xdew, r.Dl, r.Dv, r.x, r.y))
        return false;
    flash::PhaseProps l = flash::phase_props(r.T, r.Dl, r.x);
    flash::PhaseProps v = flash::phase_props(r.T, r.Dv, r.y);
    // The vapour fraction of b on the phases themselves (they differ from
    // the saturated feed in their last digits), and the phases split again
    // at it.
    r.q = std::fabs(v.of(letter) - l.of(letter)) > 0.0
              ? (b - l.of(letter)) / (v.of(letter) - l.of(letter))
              : q;
    if (!(r.q >= 0.0 && r.q <= 1.0) ||
        !flash::azeotropic_split(r.q, r.T, r.P, z, e.ybub, e.xdew, r.Dl, r.Dv, r.x, r.y))
        return false;
    l = flash::phase_props(r.T, r.Dl, r.x);
    v = flash::phase_props(r.T, r.Dv, r.y);
    double cv = 0, cp = 0, w = 0;
    flash::mix_phases(r.q, l, v, r.e, r.h, r.s, cv, cp, w);
    r.D = flash::mixed_density(r.q, r.Dl, r.Dv);
    r.two_phase = true;
    const double rb = (energy ? r.e : r.h) - b, rs = r.s - s;
    if (!(std::fabs(rb) <= kMet * (std::fabs(b) + GCNST.r * r.T)) ||
        !(std::fabs(rs) <= kMet * (std::fabs(s) + GCNST.r)))
        return false;
    st = r;
    return true;
}

}  // namespace lib::mix
