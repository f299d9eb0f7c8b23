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
#include "library/phase/abfl2mix.h"
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
        if (!at_t && std::fabs(Tbub - Tdew) < 1e-9 * Tbub) {
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
        // A mixture's state is on its bubble or dew point only when the
        // property is that point's to the last digits: the root search
        // takes every state inside.
        if (icomp == 0) tol = 1e-13;
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

    // Mixture: the root of the property's residual on the free variable
    // between the bubble and the dew point, split at each trial value,
    // started from phases between the feed and the incipient ones at the
    // lever-rule quality.
    void mixture() {
        const double q0 = std::clamp(q, 0.02, 0.98);
        for (int i = 0; i < 20; ++i) {
            x[i] = q0 * xdew[i] + (1.0 - q0) * z[i];
            y[i] = (1.0 - q0) * ybub[i] + q0 * z[i];
        }
        normalise(x);
        normalise(y);
        (at_t ? P : T) = (1.0 - q0) * vb + q0 * vd;
        Dl = Dlbub;
        Dv = Dvdew;
        q = q0;
        if ((fb > 0.0) == (fd > 0.0)) return give_up(228, "input is outside saturation bounds");
        const SplitTarget t{at_t, letter, kq, b, scale};
        int jerr = 0;
        std::string jmsg;
        if (!split_on_free_variable(t, z, vb, fb, vd, fd, T, P, Dl, Dv, x, y, q, jerr, jmsg))
            give_up(jerr, jmsg);
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
