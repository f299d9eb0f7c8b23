// Newton's method on (T, ln P) for a mixture's state of given enthalpy (or
// energy) and entropy.  Each iterate is the stable state at (T, P), found
// by the (T, p) flash with the split of the iterate before continued, so
// that the road is the same inside and outside the two-phase region; the
// derivatives are differences of neighbouring states, and a step that does
// not bring the residuals down is halved.
#include "library/phase/hsmix.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "library/library.h"
#include "library/models/records.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/pbflsh.h"

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
// Steps taken though they did not bring the residuals down, in a row,
// after which the iteration is given up (it crawls along a near-singular
// direction: through a compressed liquid, where dh = T ds + v dP).
constexpr int kForcedInARow = 3;
constexpr double kStep = 1e-6;  // relative step of the differences

}  // namespace

bool hs_state(double b, double s, const double z[20], bool energy, double t0, double p0,
              TpState& st, TpState* last, bool continue_splits) {
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    LIMITS("EOS", z, tmin, tmax, dmax, pmax);
    Tracker tracker(z, 0, continue_splits);
    double T = t0, lnp = std::log(p0);
    TpState cur;
    // (The last iterate handed out however the iteration ends.)
    struct Keep {
        TpState* out;
        const TpState& cur;
        ~Keep() {
            if (out != nullptr) *out = cur;
        }
    } keep{last, cur};
    if (!(T > 0.0) || !std::isfinite(lnp) || !tracker.at(T, p0, cur)) return false;
    Residual r = residual(cur, b, s, energy);
    const double btol = 1e-11 * (std::fabs(b) + GCNST.r * T), stol = 1e-11 * (std::fabs(s) + 1.0);
    int forced = 0;
    for (int pass = 0; pass < kPasses && forced < kForcedInARow; ++pass) {
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
            const bool lower = rn.norm(tn) < r.norm(T);
            if (lower || (half == 7 && std::isfinite(rn.norm(tn)))) {
                forced = lower ? 0 : forced + 1;
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

namespace {

// The most flashes at given pressure of one search along the isenthalp.
constexpr int kIsobarFlashes = 40;
// The steps in ln P tried from the last state found, where the flash finds
// no state one step ahead (in units of that step): further on, to step
// over a three-phase stretch of a binary (ammonia + pentane at 7,646
// J/mol from 100 kPa to 1.6 MPa: two liquids below 274 K at 486 kPa, a
// vapour and a liquid above 276 K, the enthalpy between is three phases'),
// then closer.
constexpr double kFurther[] = {2.0, 4.0, 8.0, 0.5, 0.25, 0.125};
// The last bracket in ln P (far below what the entropy's digits resolve).
constexpr double kNarrowest = 1e-13;
// The residuals (relative) within which the line's state is taken where
// Newton's method does not end it (the (T, p) flash at the temperature the
// flash at given pressure returned meets that flash's entropy to 1.4e-9
// there).
constexpr double kLineAgreed = 1e-8;

// Whether the state st meets b and s to kLineAgreed.
bool line_agreed(const TpState& st, double b, double s, bool energy) {
    const Residual r = residual(st, b, s, energy);
    return std::fabs(r.rb) <= kLineAgreed * (std::fabs(b) + GCNST.r * st.T) &&
           std::fabs(r.rs) <= kLineAgreed * (std::fabs(s) + 1.0);
}

// A state along the line: ln P, the entropy less the one sought, T.
struct Point {
    double lnp = 0, f = 0, T = 0;
};

// The states of feed z whose enthalpy (energy) is b, by the flash at given
// pressure; at() is false where that flash finds none or the calls are
// used up.
class Isenthalp {
public:
    Isenthalp(double b, double s, const double z[20], bool energy)
        : b_(b), s_(s), z_(z), energy_(energy) {}
    // (frozen: whether the flash found no fluid state up from the freezing
    // floor of the isobar, b lying below them.)
    bool at(double lnp, Point& p, bool* frozen = nullptr) {
        if (++calls_ > kIsobarFlashes) return false;
        double D = 0, Dl = 0, Dv = 0, x[20], y[20], q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0,
               w = 0, T = 0;
        int ierr = 0;
        std::string herr;
        flash::QuietMessages quiet;
        const NoFreezingReason no_reason;  // (any failure is one here)
        PBFLSH(std::exp(lnp), b_, z_, energy_ ? "PE" : "PH", T, D, Dl, Dv, x, y, q, e, h, s, cv, cp,
               w, ierr, herr);
        if (frozen != nullptr) *frozen = ierr > 0 && no_reason.asked();
        if (ierr > 0 || !std::isfinite(s) || !(T > 0.0) || !std::isfinite(T)) return false;
        p = {lnp, s - s_, T};
        return true;
    }
    bool spent() const { return calls_ >= kIsobarFlashes; }

    // The whole state of the flash at ln P (the line's own, not counted
    // against the calls); false where it finds none.
    bool state(double lnp, TpState& st) const {
        TpState r;
        r.P = std::exp(lnp);
        int ierr = 0;
        std::string herr;
        double cv = 0, cp = 0, w = 0;
        flash::QuietMessages quiet;
        const NoFreezingReason no_reason;
        PBFLSH(r.P, b_, z_, energy_ ? "PE" : "PH", r.T, r.D, r.Dl, r.Dv, r.x, r.y, r.q, r.e, r.h,
               r.s, cv, cp, w, ierr, herr);
        if (ierr > 0 || !std::isfinite(r.T + r.D + r.e + r.h + r.s) || !(r.T > 0.0)) return false;
        r.two_phase = r.q > 0.0 && r.q < 1.0;
        st = r;
        return true;
    }

private:
    double b_, s_;
    const double* z_;
    bool energy_;
    int calls_ = 0;
};

// A first state: at p0, else a decade or more below or above it (below
// first: the flash at a lower pressure is mostly the cheaper).  Not where b
// lies below every fluid state of the isobar p0 up from its freezing floor:
// the decades then found no state in a sweep of eight mixtures (syngas,
// flue gas, Natural Gas Groningen, carbon dioxide + water, 3,600 states),
// and each flash there took 13 to 70 ms to fail (Groningen at h = -9979.5
// J/mol, s = 39.934 J/(mol K): 0.17 s for the eight).
bool first_state(Isenthalp& line, double p0, Point& a) {
    const double l0 = std::log(p0);
    if (!std::isfinite(l0)) return false;
    bool frozen = false;
    if (line.at(l0, a, &frozen)) return true;
    if (frozen) return false;
    for (int k = 1; k <= 4; ++k)
        for (const double sign : {-1.0, 1.0})
            if (line.at(l0 + sign * k * std::log(10.0), a)) return true;
    return false;
}

// The next state one step from a, else one of the steps kFurther.
bool next_state(Isenthalp& line, const Point& a, double step, Point& n) {
    if (line.at(a.lnp + step, n)) return true;
    for (const double k : kFurther)
        if (line.at(a.lnp + k * step, n)) return true;
    return false;
}

// A bracket [a, c] of the entropy sought: up in P where the entropy is too
// high, down where too low, each step twice the last.
bool bracket(Isenthalp& line, Point& a, Point& c) {
    double step = a.f > 0.0 ? 1.0 : -1.0;
    while (!line.spent()) {
        Point n;
        if (!next_state(line, a, step, n)) return false;
        if (n.f * a.f <= 0.0) {
            c = n;
            return true;
        }
        step = 2.0 * (n.lnp - a.lnp);
        a = n;
    }
    return false;
}

// The Illinois rule of regula falsi: the new point n replaces the end of
// its sign; the value kept at the other end is halved where the same end
// is replaced twice running.
template <class Pt>
void illinois(const Pt& n, Pt& a, double& fa, Pt& c, double& fc, int& side) {
    if (n.f * a.f > 0.0) {
        a = n;
        fa = n.f;
        if (side == -1) fc *= 0.5;
        side = -1;
    } else {
        c = n;
        fc = n.f;
        if (side == 1) fa *= 0.5;
        side = 1;
    }
}

// Regula falsi (the Illinois variant) in ln P inside [a, c]; where the
// flash finds no state at the secant's point, points between it and
// either end (the end of the lower residual first).  The state of the
// least residual is returned.
Point narrow(Isenthalp& line, Point a, Point c, double stol) {
    Point best = std::fabs(a.f) < std::fabs(c.f) ? a : c;
    double fa = a.f, fc = c.f;  // (scaled by the Illinois rule)
    int side = 0;
    while (std::fabs(best.f) > stol && std::fabs(c.lnp - a.lnp) > kNarrowest && !line.spent()) {
        const double m = (a.lnp * fc - c.lnp * fa) / (fc - fa);
        Point n;
        bool found = line.at(m, n);
        // (Towards either end: the root may lie on the far side of a
        // three-phase stretch, next to it: ammonia + butane at 10 kPa,
        // where PHFLSH finds no state from 11 to 40 kPa.)
        const double near = std::fabs(a.f) < std::fabs(c.f) ? a.lnp : c.lnp;
        const double far = near == a.lnp ? c.lnp : a.lnp;
        for (int k = 0; k < 6 && !found && !line.spent(); ++k) {
            const double share = k < 2 ? 0.5 : k < 4 ? 0.75 : 0.25;
            found = line.at(m + share * ((k % 2 == 0 ? near : far) - m), n);
        }
        if (!found) break;
        if (std::fabs(n.f) < std::fabs(best.f)) best = n;
        illinois(n, a, fa, c, fc, side);
    }
    return best;
}

// The two-phase state of vapour fraction q at T (TQFLSH), false where
// there is none.
bool quality_state(double T, double q, const double z[20], TpState& st) {
    double P = 0, D = 0, Dl = 0, Dv = 0, x[20], y[20], e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    int ierr = 0;
    std::string herr;
    flash::QuietMessages quiet;
    TQFLSH(T, q, z, kMolarQuality, P, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr, herr);
    if (ierr > 0 || !(P > 0.0) || !std::isfinite(h + s)) return false;
    st = TpState{};
    st.T = T;
    st.P = P;
    st.D = D;
    st.Dl = Dl;
    st.Dv = Dv;
    st.q = q;
    st.e = e;
    st.h = h;
    st.s = s;
    flash::copy20(x, st.x);
    flash::copy20(y, st.y);
    st.two_phase = true;
    return true;
}

// Newton's method on (T, q) among the two-phase states of the quality
// flash at given temperature, from the split `from`: true (the state in
// st) where b and s are met.
bool hs_by_quality(double b, double s, const double z[20], bool energy, const TpState& from,
                   TpState& st) {
    constexpr int kSteps = 12;
    constexpr double kQualityStep = 1e-7;
    double T = from.T, q = from.q;
    TpState cur;
    if (!quality_state(T, q, z, cur)) return false;
    Residual r = residual(cur, b, s, energy);
    const double btol = 1e-11 * (std::fabs(b) + GCNST.r * T), stol = 1e-11 * (std::fabs(s) + 1.0);
    for (int it = 0; it < kSteps; ++it) {
        if (std::fabs(r.rb) <= btol && std::fabs(r.rs) <= stol) {
            st = cur;
            return true;
        }
        const double dt = kStep * T, dq = q < 0.5 ? kQualityStep : -kQualityStep;
        TpState at_t, at_q;
        if (!quality_state(T + dt, q, z, at_t) || !quality_state(T, q + dq, z, at_q)) return false;
        const Residual rt = residual(at_t, b, s, energy), rq = residual(at_q, b, s, energy);
        const double a11 = (rt.rb - r.rb) / dt, a12 = (rq.rb - r.rb) / dq;
        const double a21 = (rt.rs - r.rs) / dt, a22 = (rq.rs - r.rs) / dq;
        const double det = a11 * a22 - a12 * a21;
        if (!(std::fabs(det) > 0.0) || !std::isfinite(det)) return false;
        double sT = -(r.rb * a22 - a12 * r.rs) / det;
        double sq = -(a11 * r.rs - a21 * r.rb) / det;
        // Within a hundredth of T and inside 0..1 in q, halved until the
        // residuals fall.
        const double k = std::min(1.0, 0.01 * T / std::max(std::fabs(sT), 1e-300));
        sT *= k;
        sq *= k;
        bool moved = false;
        for (int half = 0; half < 8 && !moved; ++half, sT *= 0.5, sq *= 0.5) {
            const double qn = q + sq;
            TpState next;
            if (!(qn > 0.0 && qn < 1.0) || !quality_state(T + sT, qn, z, next)) continue;
            const Residual rn = residual(next, b, s, energy);
            if (!(rn.norm(T + sT) < r.norm(T))) continue;
            T += sT;
            q = qn;
            cur = next;
            r = rn;
            moved = true;
        }
        if (!moved) return false;
    }
    return false;
}

}  // namespace

bool hs_along_isenthalp(double b, double s, const double z[20], bool energy, double p0,
                        TpState& st) {
    Isenthalp line(b, s, z, energy);
    Point a, c;
    if (!first_state(line, p0, a)) return false;
    if (a.f != 0.0 && !bracket(line, a, c)) return false;
    const Point best = a.f == 0.0 ? a : narrow(line, a, c, 1e-11 * (std::fabs(s) + 1.0));
    if (hs_state(b, s, z, energy, best.T, std::exp(best.lnp), st)) return true;
    // Two phases of a nearly azeotropic mixture (R410A at 233 K, 174.8 kPa,
    // q 0.39: its bubble and dew points 0.37 % apart; R507A's 3e-5 apart):
    // their enthalpy and entropy move mostly with the vapour fraction, and
    // Newton's method on (T, ln P) stalls on its nearly singular steps.  In
    // (T, q) the same state is found from the line's; else the line's state
    // where it meets both values.
    TpState at;
    if (!tp_state(best.T, std::exp(best.lnp), z, at)) return false;
    if (at.two_phase && !at.two_liquids && hs_by_quality(b, s, z, energy, at, st)) return true;
    if (line_agreed(at, b, s, energy)) {
        st = at;
        labels_of_tp_flash(z, st);
        return true;
    }
    // Two phases within the band of an azeotrope (flash::kAzeotropeBand:
    // R134a + R1234yf 44/56 within 1 kPa of 703.28 kPa), whose vapour
    // fraction the (T, p) flash cannot tell: the state of the flash at
    // given pressure (its azeotropic split) where it meets both values.
    TpState line_state;
    if (!line.state(best.lnp, line_state) || !line_agreed(line_state, b, s, energy)) return false;
    st = line_state;
    return true;
}

namespace {

// The most (T, p) flashes of one search along the isentrope (each continues
// the split before: a fraction of a millisecond).
constexpr int kIsentropeFlashes = 400;
// Newton steps for the temperature of the entropy at one pressure.
constexpr int kTemperatureSteps = 30;
// Steps of the bracket in ln P (the first of kFirstStep, each twice the
// last) and of its narrowing.
constexpr int kBracketSteps = 14;
constexpr double kFirstStep = 0.25;
constexpr int kNarrowSteps = 60;
// The steps tried (in units of the step) where the isentrope finds no state
// one step on: further, over a three-phase stretch (r236fa + isobutane at
// 56 kPa), then shorter, short of one (R428A: the entropy jumps at 0.47
// kPa, 154.96 K, from the liquid into two phases; the state at 5.03 kPa).
constexpr double kOtherSteps[] = {2.0, 4.0, 8.0, 0.5, 0.25};
// The width of a bracket in T (relative) within which the entropy sought is
// not met: it jumps there.
constexpr double kJump = 1e-9;
// A Newton step in T (relative) below which the temperature is settled.
constexpr double kSettled = 1e-12;
// The entropy's residual (relative) at which a settled temperature is
// taken: the flash's noise next to a bubble point (R408A at 125.9 kPa,
// 233.4877 K, 5 % vapour: 2.7e-8 and -2.4e-9 J/(mol K) a few ulps of T
// apart, the entropy rising 300 J/(mol K) per kelvin there); the state
// taken is checked at the end to kLineAgreed.
constexpr double kEntropyNoise = kLineAgreed;
// Retries, each halfway back to the temperature before, where the flash
// finds no state (R428A at 0.47 kPa: none at 146.83 K from the liquid at
// 144.25 K).
constexpr int kRetries = 3;
// The residual of b aimed at, as a share of the one accepted: where the
// pressure hardly moves b (two liquids at a few kPa) the last digits of b
// still place it (butane + r152a at 220.64 K, 31.2 kPa: the pressure to
// 8e-4 at the accepted residual, to 1e-4 at a hundredth of it).
constexpr double kAim = 0.01;
// The bracket in ln P within which the pressure is placed once b meets the
// residual accepted (R403B at 39.28 kPa: b's noise there is 1e-6 J/mol,
// the aim 4e-10, and eight more flashes met it by chance).
constexpr double kPlaced = 1e-9;

// A bracket [lo, hi] of a rising function, with its values at the ends once
// met; the value kept at the end not moved twice running is halved (the
// Illinois rule).
struct Bracket {
    double lo = 0, hi = 0, flo = 0, fhi = 0;
    int moved = 0;  // -1: lo moved last, +1: hi
    void add(double t, double f) {
        if (f > 0.0) {
            if (moved == 1) flo *= 0.5;
            hi = t;
            fhi = f;
            moved = 1;
        } else {
            if (moved == -1) fhi *= 0.5;
            lo = t;
            flo = f;
            moved = -1;
        }
    }
    bool inside(double t) const { return t > lo && t < hi; }
    // Regula falsi between the ends once both are met, else the middle.
    double falsi() const {
        return flo < 0.0 && fhi > 0.0 ? (lo * fhi - hi * flo) / (fhi - flo) : 0.5 * (lo + hi);
    }
    bool closed() const { return !(hi - lo > kJump * hi); }
};

// The states of feed z whose entropy is s, one at each pressure.
class Isentrope {
public:
    Isentrope(double b, double s, const double z[20], bool energy)
        : b_(b), s_(s), energy_(energy), tracker_(z) {
        double tmax = 0, dmax = 0;
        LIMITS("EOS", z, tmin_, tmax, dmax, pmax_);
        tlo_ = 0.5 * tmin_;
        thi_ = 1.5 * tmax;
        stol_ = 1e-11 * (std::fabs(s) + 1.0);
        noise_ = kEntropyNoise * (std::fabs(s) + 1.0);
    }
    // The state at ln P whose entropy is s, from temperature T (out: its
    // temperature): Newton's method on T inside a bracket (the entropy
    // rises with T at constant P), the slope the chord from the iterate
    // before where the residual fell by half since, else a difference;
    // a step that leaves the bracket is regula falsi's (the slope of a
    // liquid's entropy overshoots the bubble point, where that of the two
    // phases is tenfold).  p.f is b's residual.
    bool at(double lnp, double& T, Point& p, TpState& st) {
        const double P = std::exp(lnp);
        if (!(lnp <= std::log(2.0 * pmax_)) || !(P > 0.0)) return false;
        Bracket br{tlo_, thi_};
        double tp = 0.0, fp = 0.0;
        int retries = 0;
        T = std::clamp(T, tlo_, thi_);
        for (int it = 0; it < kTemperatureSteps; ++it) {
            TpState cur;
            if (!flash(T, P, cur)) {
                if (it == 0 || spent() || ++retries > kRetries) return false;
                T = 0.5 * (T + tp);
                continue;
            }
            const double f = cur.s - s_;
            if (std::fabs(f) <= stol_) return take(lnp, cur, T, p, st);
            br.add(T, f);
            double slope = 0.0;
            if (it > 0 && T != tp && std::fabs(f) < 0.5 * std::fabs(fp)) {
                slope = (f - fp) / (T - tp);
            } else {
                const double dt = kStep * T;
                TpState nb;
                if (!flash(T + dt, P, nb)) return false;
                slope = (nb.s - cur.s) / dt;
            }
            tp = T;
            fp = f;
            // Within a tenth of T, and inside the bracket.
            double next = slope > 0.0 ? T - f / slope : br.falsi();
            next = std::clamp(next, 0.9 * T, 1.1 * T);
            if (!br.inside(next)) next = br.falsi();
            const bool settled = br.closed() || std::fabs(next - T) <= kSettled * T;
            if (settled && std::fabs(f) <= noise_) return take(lnp, cur, T, p, st);
            // A bracket this narrow with the residual still large is a jump
            // of the entropy: a three-phase temperature at this pressure
            // (r236fa + isobutane at 56 kPa, 241.9658 K: 54 J/(mol K)).
            if (br.closed()) return false;
            T = next;
        }
        return false;
    }
    double btol(double T) const { return 1e-11 * (std::fabs(b_) + GCNST.r * T); }

private:
    bool take(double lnp, const TpState& cur, double& T, Point& p, TpState& st) const {
        T = cur.T;
        st = cur;
        p = {lnp, (energy_ ? cur.e : cur.h) - b_, cur.T};
        return true;
    }
    bool spent() const { return calls_ >= kIsentropeFlashes; }
    bool flash(double T, double P, TpState& st) {
        return ++calls_ <= kIsentropeFlashes && tracker_.at(T, P, st);
    }
    double b_, s_;
    bool energy_;
    Tracker tracker_;
    double tmin_ = 0, pmax_ = 0, tlo_ = 0, thi_ = 0, stol_ = 0, noise_ = 0;
    int calls_ = 0;
};

// The temperature at x (ln P) from the line through the states a and c with
// 1/T linear in ln P, as along a saturation line; a's temperature where
// that is no temperature.
double temperature_at(double x, const Point& a, const Point& c) {
    if (!(a.lnp != c.lnp)) return a.T;
    const double inv = 1.0 / a.T + (x - a.lnp) * (1.0 / c.T - 1.0 / a.T) / (c.lnp - a.lnp);
    return inv > 0.0 && std::isfinite(inv) ? 1.0 / inv : a.T;
}

// A bracket [a, c] of b along the isentrope from a: up in P where b is too
// low (at constant entropy de = -P dv and dh = v dP: b rises with the
// pressure), down where too high, each step twice the last.  The start
// temperature of each step is carried on from the two states before where
// both are two phases (the two-phase band of a nearly azeotropic blend is
// narrow, and from a start on its wrong side the steps crawl towards it:
// R452B at 5.2 kPa).  False where no bracket is found.
bool bracket(Isentrope& line, Point& a, TpState& sa, Point& c, TpState& sc) {
    double step = a.f < 0.0 ? kFirstStep : -kFirstStep;
    if (std::fabs(a.f) <= line.btol(a.T)) {
        c = a;
        sc = sa;
        return true;
    }
    Point before;
    bool two_before = false;
    for (int k = 0; k < kBracketSteps; ++k, step *= 2.0) {
        bool found = false;
        for (int m = -1; m < static_cast<int>(std::size(kOtherSteps)) && !found; ++m) {
            const double x = a.lnp + (m < 0 ? 1.0 : kOtherSteps[m]) * step;
            double t = a.T;
            if (two_before && sa.two_phase)
                t = std::clamp(temperature_at(x, a, before), 0.8 * a.T, 1.25 * a.T);
            found = line.at(x, t, c, sc);
        }
        if (!found) return false;
        if (c.f * a.f <= 0.0) return true;
        before = a;
        two_before = sa.two_phase;
        a = c;
        sa = sc;
    }
    return false;
}

}  // namespace

bool hs_along_isentrope(double b, double s, const double z[20], bool energy, double t0, double p0,
                        TpState& st) {
    Isentrope line(b, s, z, energy);
    double T = t0;
    Point a, c;
    TpState sa, sc;
    if (!(p0 > 0.0) || !line.at(std::log(p0), T, a, sa) || !bracket(line, a, sa, c, sc))
        return false;
    // Regula falsi (Illinois) in ln P, the start temperatures from the
    // ends' (1/T linear in ln P).
    Point best = std::fabs(c.f) < std::fabs(a.f) ? c : a;
    TpState sbest = std::fabs(c.f) < std::fabs(a.f) ? sc : sa;
    double fa = a.f, fc = c.f;
    int side = 0;
    for (int k = 0;
         k < kNarrowSteps && std::fabs(best.f) > kAim * line.btol(best.T) &&
         std::fabs(c.lnp - a.lnp) > kNarrowest &&
         !(std::fabs(best.f) <= line.btol(best.T) && std::fabs(c.lnp - a.lnp) <= kPlaced);
         ++k) {
        const double m = (a.lnp * fc - c.lnp * fa) / (fc - fa);
        Point n;
        TpState sn;
        // Where it finds none (a three-phase stretch inside the bracket),
        // points between m and the end of lower residual.
        const double near = std::fabs(a.f) < std::fabs(c.f) ? a.lnp : c.lnp;
        double t = temperature_at(m, a, c);
        bool found = line.at(m, t, n, sn);
        for (const double share : {0.5, 0.75, 0.9}) {
            if (found) break;
            const double x = m + share * (near - m);
            t = temperature_at(x, a, c);
            found = line.at(x, t, n, sn);
        }
        if (!found) return false;
        if (std::fabs(n.f) < std::fabs(best.f)) {
            best = n;
            sbest = sn;
        }
        illinois(n, a, fa, c, fc, side);
    }
    if (!(std::fabs(best.f) <= line.btol(best.T))) return false;
    // The last digits by Newton's method on (T, ln P) from there, else on
    // (T, q) among two phases, as along the isenthalp (R503 at 180.6 K:
    // the line's state alone met T to 1e-8, P to 9e-8).  Not for two
    // liquids, whose steps there are nearly singular.
    const bool liquids = sbest.two_liquids;
    if (!liquids && hs_state(b, s, z, energy, sbest.T, sbest.P, st)) return true;
    // The state the (T, p) flash finds there (a split continued past where
    // another is stable is no answer).
    TpState fresh;
    if (!tp_state(sbest.T, sbest.P, z, fresh)) return false;
    if (!liquids && fresh.two_phase && !fresh.two_liquids &&
        hs_by_quality(b, s, z, energy, fresh, st))
        return true;
    if (!line_agreed(fresh, b, s, energy)) return false;
    st = sbest;
    labels_of_tp_flash(z, st);
    return true;
}

}  // namespace lib::mix
