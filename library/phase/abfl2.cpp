// Two-phase solver at given temperature or pressure: the lever rule between
// the saturated phases for a pure fluid, and for a mixture an iteration on
// the free variable (pressure at given temperature, temperature at given
// pressure) around the isothermal-isobaric split, bracketed by the bubble and
// dew points.
#include "library/phase/abfl2.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/phase/flashutil.h"
#include "library/phase/ptanc.h"
#include "library/phase/satp.h"
#include "library/phase/satt.h"
#include "library/phase/tpflsh.h"

namespace lib {
namespace {

using flash::cut;

// One saturation point at the fixed input: its free variable u (pressure at
// given T, temperature at given P), the phase densities and compositions.
struct Sat {
    double u = 0, Dl = 0, Dv = 0;
    double xl[20] = {}, xv[20] = {};
};

void saturation(bool at_t, double a, const double comp[20], int kph, Sat& s, int& jerr,
                std::string& jmsg) {
    if (at_t)
        SATT(a, comp, kph, s.u, s.Dl, s.Dv, s.xl, s.xv, jerr, jmsg);
    else
        SATP(a, comp, kph, s.u, s.Dl, s.Dv, s.xl, s.xv, jerr, jmsg);
}

double mass_quality(double q, const double xl[20], const double xv[20]) {
    double qkg = 0, xlkg[20], xvkg[20], wl = 0, wv = 0;
    int jerr = 0;
    std::string jmsg;
    QMASS(q, xl, xv, qkg, xlkg, xvkg, wl, wv, jerr, jmsg);
    return qkg;
}

void normalise(double v[20]) {
    double sum = 0.0;
    for (int i = 0; i < 20; ++i) sum += v[i];
    if (sum > 0.0)
        for (int i = 0; i < 20; ++i) v[i] /= sum;
}

// Best point seen on one side of the root.
struct Best {
    double v = 0, r = 1e20;
    bool seen = false;
};

// One call of ABFL2: its inputs, its results bound to the caller's
// arguments, and what the steps find on the way.
class TwoPhaseFlash {
public:
    TwoPhaseFlash(double a, double b, const double z[20], int kq, int ksat, const std::string& ab,
                  double& Tbub, double& Tdew, double& Pbub, double& Pdew, double& Dlbub,
                  double& Dvdew, double ybub[20], double xdew[20], double& T, double& P, double& Dl,
                  double& Dv, double x[20], double y[20], double& q, int& ierr, std::string& herr)
        : a(a),
          b(b),
          z(z),
          kq(kq),
          ksat(ksat),
          code(ab.size() >= 2 ? ab.substr(0, 2) : std::string("TH")),
          at_t(code[0] == 'T'),
          letter(code[1]),
          Tbub(Tbub),
          Tdew(Tdew),
          Pbub(Pbub),
          Pdew(Pdew),
          Dlbub(Dlbub),
          Dvdew(Dvdew),
          ybub(ybub),
          xdew(xdew),
          T(T),
          P(P),
          Dl(Dl),
          Dv(Dv),
          x(x),
          y(y),
          q(q),
          ierr(ierr),
          herr(herr) {}

    // The saturation bracket of the feed, the lever rule between its ends,
    // then (for a mixture) the split iterated on the free variable.
    void run() {
        if (!start() || !saturation_points()) return;
        bracket();
        if (!residuals()) return;
        if (icomp == 0 && ksat != kSaturationGiven && at_saturation_end()) return;
        if (!start_values()) return;
        if (icomp > 0) return pure();
        if (!at_t && std::fabs(Tbub - Tdew) < 0.001) {
            T = q * Tdew + (1.0 - q) * Tbub;
            return;
        }
        mixture();
    }

private:
    const double a, b;
    const double* z;
    const int kq, ksat;
    const std::string code;
    const bool at_t;
    const char letter;
    double& Tbub;
    double& Tdew;
    double& Pbub;
    double& Pdew;
    double& Dlbub;
    double& Dvdew;
    double* ybub;
    double* xdew;
    double& T;
    double& P;
    double& Dl;
    double& Dv;
    double* x;
    double* y;
    double& q;
    int& ierr;
    std::string& herr;

    int icomp = 0;
    Sat bub, dew;
    double lo = 0, hi = 0, vb = 0, vd = 0, tol = 0;
    double fb = 0, fd = 0, bl = 0, bv = 0, scale = 1.0;

    // The failure state: the marker 999 in q and error n of the flash.
    void give_up(int n, const std::string& text) {
        q = kQualityFailed;
        fail(n, code + "FLSH", text, ierr, herr);
    }

    bool start() {
        ierr = 0;
        herr.clear();
        icomp = ISPURE(z);
        flash::start_compositions(icomp, z, x, y);
        if (flash::not_a_number(code + "FLSH", {a, b}, ierr, herr)) {
            q = kQualityFailed;
            return false;
        }
        if (at_t)
            T = a;
        else
            P = a;
        return true;
    }

    // Bubble and dew points of the feed, unless given.
    bool saturation_points() {
        if (ksat == kSaturationGiven) return true;
        int jerr = 0;
        std::string jmsg;
        saturation(at_t, a, z, 1, bub, jerr, jmsg);
        if (jerr > 0) {
            give_up(223, "bubble point calculation did not converge (2-phase initial guess):  " +
                             cut(jmsg, 164));
            return false;
        }
        saturation(at_t, a, z, 2, dew, jerr, jmsg);
        if (jerr > 0) {
            give_up(224, "dew point calculation did not converge (2-phase initial guess):  " +
                             cut(jmsg, 167));
            return false;
        }
        Dlbub = bub.Dl;
        Dvdew = dew.Dv;
        flash::copy20(bub.xv, ybub);
        flash::copy20(dew.xl, xdew);
        if (at_t) {
            Pbub = bub.u;
            Pdew = dew.u;
        } else {
            Tbub = bub.u;
            Tdew = dew.u;
        }
        return true;
    }

    // The free variable's range between the bubble and dew points, and the
    // tolerance of the residual (finer where the two points are close).
    void bracket() {
        if (at_t) Tbub = Tdew = T;
        vb = at_t ? Pbub : Tbub;
        vd = at_t ? Pdew : Tdew;
        lo = std::min(vb, vd);
        hi = std::max(vb, vd);
        double ratio = 0.0;
        if (at_t && Pdew > 0.0) ratio = Pbub / Pdew - 1.0;
        if (!at_t && Tbub > 0.0) ratio = Tdew / Tbub - 1.0;
        tol = std::fabs(ratio) < 1e-8 ? 0.0005 : std::clamp(1e-7 / std::fabs(ratio), 5e-8, 0.0005);
    }

    // Residuals at the two ends of the saturation bracket; false when the
    // input lies outside it.
    bool residuals() {
        if (letter == 'D') {
            if (!(b > 0.0) || !(Dlbub > 0.0) || !(Dvdew > 0.0)) {
                give_up(228, "input is outside saturation bounds");
                return false;
            }
            fb = b * (1.0 / b - 1.0 / Dlbub);
            fd = b * (1.0 / b - 1.0 / Dvdew);
        } else if (letter == 'H' || letter == 'S' || letter == 'E') {
            bl = flash::prop(letter, Tbub, Dlbub, z);
            bv = flash::prop(letter, Tdew, Dvdew, z);
            if (!(bl <= b && b <= bv)) {
                give_up(b < bl && b <= bv ? 227 : 228, "input is outside saturation bounds");
                return false;
            }
            scale = bl - bv;
            if (std::fabs(scale) < 1.0) scale = 1.0;
            fb = (b - bl) / scale;
            fd = (b - bv) / scale;
        } else if (kq == kMassQuality) {
            fb = b - mass_quality(0.0, z, ybub);
            fd = b - mass_quality(1.0, xdew, z);
        } else {
            fb = b;
            fd = b - 1.0;
        }
        return true;
    }

    // A mixture's state on its bubble or dew point; true when it is one.
    bool at_saturation_end() {
        if (std::fabs(fb) < tol) {
            (at_t ? P : T) = vb;
            Dl = Dlbub;
            Dv = bub.Dv;
            flash::copy20(bub.xl, x);
            flash::copy20(ybub, y);
            q = 0.0;
            return true;
        }
        if (std::fabs(fd) < tol) {
            (at_t ? P : T) = vd;
            Dl = dew.Dl;
            Dv = Dvdew;
            flash::copy20(xdew, x);
            flash::copy20(dew.xv, y);
            q = 1.0;
            return true;
        }
        return false;
    }

    // Start values: the lever rule between the saturated phases.
    bool start_values() {
        if (letter == 'D')
            q = (1.0 / b - 1.0 / Dlbub) / (1.0 / Dvdew - 1.0 / Dlbub);
        else if (letter == 'Q')
            q = b;
        else
            q = (b - bl) / (bv - bl);
        if (!std::isfinite(q)) {
            give_up(226, "2-phase iteration did not converge, X, delta =" + fmt_g(0.0, 12, 5) +
                             fmt_g(0.0, 12, 5));
            return false;
        }
        Dl = Dlbub;
        Dv = Dvdew;
        if (at_t)
            P = Pbub;
        else
            T = Tbub;
        return true;
    }

    // A pure fluid has its state from the lever rule; a blend's pressure or
    // temperature follows from the quality.
    void pure() {
        if (!flash::pseudo_pure(icomp)) return;
        if (at_t) {
            // The temperature is given: the pressure follows from the quality.
            P = q * Pdew + (1.0 - q) * Pbub;
            return;
        }
        T = q * Tdew + (1.0 - q) * Tbub;
        const char pcode = letter == 'Q' ? 'Q' : letter;
        PTANC(T, P, q, b, pcode, Dl, Dv, ierr, herr);
        if (ierr > 0) q = kQualityFailed;
    }

    // Mixture: iterate on the free variable around the split at given T and
    // P, from phases between the feed and the incipient ones.
    void mixture() {
        double& free = at_t ? P : T;
        double q1 = q, x1[20], y1[20], dl1 = Dl, dv1 = Dv, v1 = 0.0;
        for (int pass = 1; pass <= 30; ++pass) {
            if (q > 1.0) q = 0.95;
            if (q < 0.0) q = 0.05;
            for (int i = 0; i < 20; ++i) {
                x[i] = q * xdew[i] + (1.0 - q) * z[i];
                y[i] = (1.0 - q) * ybub[i] + q * z[i];
            }
            normalise(x);
            normalise(y);
            Sat sx, sy;
            int jerr = 0;
            std::string jmsg;
            saturation(at_t, a, x, 1, sx, jerr, jmsg);
            if (jerr > 0) {
                give_up(223,
                        "bubble point calculation did not converge within 2-phase iteration:  " +
                            cut(jmsg, 164));
                return;
            }
            saturation(at_t, a, y, 2, sy, jerr, jmsg);
            if (jerr > 0) {
                give_up(224, "dew point calculation did not converge within 2-phase iteration:  " +
                                 cut(jmsg, 167));
                return;
            }
            Dl = 1.0 / (q / sy.Dl + (1.0 - q) / sx.Dl);
            Dv = 1.0 / (q / sy.Dv + (1.0 - q) / sx.Dv);
            double v = q * sy.u + (1.0 - q) * sx.u;
            if (pass == 1) {
                q1 = q;
                flash::copy20(x, x1);
                flash::copy20(y, y1);
                dl1 = Dl;
                dv1 = Dv;
                v1 = v;
            }
            if (letter == 'D' && pass <= 5 && Dv > b) {
                q *= 20.0;
                continue;
            }
            double vp = 0.0;
            const Split split = split_iteration(free, v, vp);
            if (split == Split::converged) return;
            if (split == Split::not_converged) {
                if (!at_t) T = v;
                give_up(226, "2-phase iteration did not converge, X, delta =" +
                                 fmt_g(v / 1000.0, 12, 5) + fmt_g(v - vp, 12, 5));
                return;
            }
            if (pass >= 25) {
                // The split keeps failing: the start values from the dew and
                // bubble points are returned, but never as a converged state.
                flash::copy20(x1, x);
                flash::copy20(y1, y);
                Dl = dl1;
                Dv = dv1;
                q = q1;
                free = v1;
                fail(225, code + "FLSH",
                     "TPFL2 did not converge in two-phase iteration; returning initial "
                     "guesses based on dew and bubble points",
                     ierr, herr);
                return;
            }
            q += q < 0.5 ? 0.02 : -0.02;
        }
        give_up(225, "TPFL2 did not converge in two-phase iteration");
    }

    enum class Split { converged, not_converged, failed };

    // The secant on the free variable v (from its last value vp) with the
    // split at each value.
    Split split_iteration(double& free, double& v, double& vp) {
        double rp = 0.0, itol = tol;
        Best neg, pos;
        int jerr = 0;
        std::string jmsg;
        for (int j = 2; j <= 30; ++j) {
            if (j == 7 || j == 10 || j == 15) itol *= 10.0;
            free = v;
            TPFL2(T, P, z, Dl, Dv, x, y, q, jerr, jmsg);
            if (jerr > 0) return Split::failed;
            double r = 0.0;
            if (letter == 'D') {
                r = b * (1.0 / b - (q / Dv + (1.0 - q) / Dl));
            } else if (letter == 'Q') {
                r = kq == kMassQuality ? b - mass_quality(q, x, y) : b - q;
            } else {
                const double pl = flash::prop(letter, T, Dl, x);
                const double pv = flash::prop(letter, T, Dv, y);
                r = (b - (1.0 - q) * pl - q * pv) / scale;
            }
            if (std::fabs(r) < itol) return Split::converged;
            Best& side = r < 0.0 ? neg : pos;
            if (std::fabs(r) < std::fabs(side.r)) side = {v, r, true};

            double vn = 0.0;
            if (j == 2) {
                const double span = hi - lo > 0.0 ? hi - lo : std::fabs(v) * 0.01;
                vn = v < 0.5 * (lo + hi) ? v + 0.01 * span : v - 0.01 * span;
            } else if (std::fabs(r - rp) > 1e-300) {
                vn = v - r * (v - vp) / (r - rp);
            } else {
                vn = v + 0.5 * (v - vp);
            }
            if (neg.seen && pos.seen && std::fabs(neg.v - pos.v) > 0.01) {
                const double lower = std::min(neg.v, pos.v), upper = std::max(neg.v, pos.v);
                if (vn < 0.8 * lower || vn > 1.2 * upper || !std::isfinite(vn))
                    vn = neg.v - neg.r * (pos.v - neg.v) / (pos.r - neg.r);
            }
            if (vn > hi || vn < lo || !std::isfinite(vn)) {
                const double end = vn > hi ? hi : lo;
                double nearest = v;
                if (neg.seen) nearest = neg.v;
                if (pos.seen && (!neg.seen || std::fabs(pos.v - end) < std::fabs(nearest - end)))
                    nearest = pos.v;
                vn = 0.5 * (end + nearest);
                if (neg.seen && pos.seen && std::fabs(nearest - end) < 0.001)
                    vn = 0.5 * (neg.v + pos.v);
            }
            const double limit = 0.25 * std::fabs(v);
            vn = std::clamp(vn, v - limit, v + limit);
            vp = v;
            rp = r;
            v = vn;
        }
        return Split::not_converged;
    }
};

}  // namespace

void ABFL2(double a, double b, const double z[20], int kq, int ksat, const std::string& ab,
           double& Tbub, double& Tdew, double& Pbub, double& Pdew, double& Dlbub, double& Dvdew,
           double ybub[20], double xdew[20], double& T, double& P, double& Dl, double& Dv,
           double x[20], double y[20], double& q, int& ierr, std::string& herr) {
    TwoPhaseFlash(a, b, z, kq, ksat, ab, Tbub, Tdew, Pbub, Pdew, Dlbub, Dvdew, ybub, xdew, T, P, Dl,
                  Dv, x, y, q, ierr, herr)
        .run();
}

}  // namespace lib
