// EXCESS, FPV and RIEM: excess properties of a mixture against its pure
// components at the same temperature and pressure, the supercompressibility
// factor of natural-gas metering, and the thermodynamic curvature scalar.
#include <cmath>
#include <string>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/idealgas.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"

namespace lib {

namespace {

constexpr double kTmetering = 288.705555555556;  // K, 60 F
constexpr double kPmetering = 101.55977492837;   // kPa, 14.73 psia
constexpr double kTwoAvogadro = 1.20442734e24;

// The outputs of EXCESS.
struct ExcessValues {
    double D = 0, v = 0, e = 0, h = 0, s = 0, a = 0, g = 0;
};

// The Helmholtz and Gibbs energies of a flash result: of the one phase, or
// of the two phases mixed like e, h and s.
void energies(double T, double D, const double z[20], double Dl, double Dv, const double x[20],
              const double y[20], double q, double& a, double& g) {
    AG(T, D, z, a, g);
    if (!(q > 0.0 && q < 1.0)) return;
    double al = 0, gl = 0, av = 0, gv = 0;
    AG(T, Dl, x, al, gl);
    AG(T, Dv, y, av, gv);
    a = (1.0 - q) * al + q * av;
    g = (1.0 - q) * gl + q * gv;
}

// The state of composition z at (T, P): its density, e, h, s, a and g.
bool state_at(double T, double P, const double z[20], int kph, double D0, bool start, double& D,
              double& e, double& h, double& s, double& a, double& g, int& ierr, std::string& herr) {
    double Dl = 0, Dv = 0, x[20], y[20], q = 0, cv = 0, cp = 0, w = 0;
    if (kph == 0) {
        TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        if (ierr <= 0) energies(T, D, z, Dl, Dv, x, y, q, a, g);
        return ierr <= 0;
    }
    D = D0;
    TPRHO(T, P, z, kph, start ? 1 : 0, D, ierr, herr);
    if (ierr > 0) {
        D = 2.0 * D0;
        TPRHO(T, P, z, kph, 1, D, ierr, herr);
    }
    if (ierr > 0) {
        TPFLSH(T, P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        if (ierr <= 0) energies(T, D, z, Dl, Dv, x, y, q, a, g);
        return ierr <= 0;
    }
    double P1, hjt;
    THERM(T, D, z, P1, e, h, s, cv, cp, w, hjt);
    AG(T, D, z, a, g);
    return true;
}

}  // namespace

void EXCESS(double T, double P, const double x[20], int kph, double& D, double& vE, double& eE,
            double& hE, double& sE, double& aE, double& gE, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const double D0 = std::fabs(D);
    const bool start = D < 0.0;
    ExcessValues out;
    vE = eE = hE = sE = aE = gE = 0.0;
    if (ISPURE(x) != 0) {
        D = 0.0;
        return;
    }
    double e = 0, h = 0, s = 0;
    if (!state_at(T, P, x, kph, D0, start, out.D, e, h, s, out.a, out.g, ierr, herr)) return;
    out.v = out.D > 0.0 ? 1.0 / out.D : 0.0;
    out.e = e;
    out.h = h;
    out.s = s;
    {
        double tc, pc, dc;
        int jerr = 0;
        std::string jmsg;
        CRITP(x, tc, pc, dc, jerr, jmsg);
        if (jerr != 0) {
            ierr = jerr;
            herr = jmsg;
        }
    }
    for (int i = 1; i <= NCOMP.nc && i <= kMaxComp; ++i) {
        const double xi = x[i - 1];
        // A component absent from the mixture adds nothing (no x ln x of 0).
        if (!(xi > 0.0)) continue;
        double u[20] = {};
        u[i - 1] = 1.0;
        double Di = 0, ei = 0, hi = 0, si = 0, ai = 0, gi = 0;
        int jerr = 0;
        std::string jmsg;
        if (!state_at(T, P, u, 0, 0.0, false, Di, ei, hi, si, ai, gi, jerr, jmsg)) {
            ierr = jerr;
            herr = jmsg;
            RMIX(x);
            return;
        }
        double Ri = 0;
        RMIX2(u, Ri);
        const double RTi = Ri * T;
        if (Di > 0.0) out.v -= xi / Di;
        out.e -= xi * ei;
        out.h -= xi * hi;
        out.s -= xi * (si - Ri * std::log(xi));
        out.a -= xi * (ai + RTi * std::log(xi));
        out.g -= xi * (gi + RTi * std::log(xi));
    }
    RMIX(x);
    D = out.D;
    vE = out.v;
    eE = out.e;
    hE = out.h;
    sE = out.s;
    aE = out.a;
    gE = out.g;
}

double FPV(double T, double D, double P, const double x[20]) {
    if (!(T > 0.0)) return 0.0;
    double Dref = 0;
    int ierr = 0;
    std::string herr;
    TPRHO(kTmetering, kPmetering, x, 2, 0, Dref, ierr, herr);
    RMIX(x);
    const double R = GCNST.r;
    if (ierr > 0 || !(Dref > 0.0)) return 0.0;
    const double zref = kPmetering / (Dref * R * kTmetering);
    if (P <= 0.0) return std::sqrt(kPmetering / (kTmetering * Dref * R));
    if (!(D > 0.0)) return 0.0;
    const double z = P / (D * R * T);
    return z > 0.0 ? std::sqrt(zref / z) : 0.0;
}

double RIEM(double T, double D, const double x[20]) {
    if (D < 1.0e-8 || !(T > 0.0)) return 0.0;
    int ic = 0;
    double tred = 0, dred = 0;
    if (!reducing_point(x, ic, tred, dred)) return 0.0;
    RMIX(x);
    const double tau = tred / T, d = D / dred;
    auto phi = [&](int it, int id) {
        const double r = ic != 0 ? PHIK(ic, it, id, tau, d) : PHIX(it, id, tau, d, x);
        return (PHI0(it, id, T, D, x) * (it * id == 0 ? 1.0 : 0.0) + r) /
               (std::pow(tau, it) * std::pow(d, id));
    };
    const double A1 = phi(0, 1), A2 = phi(0, 2), A3 = phi(0, 3);
    const double C2 = phi(2, 0), C3 = phi(3, 0);
    const double B11 = phi(1, 1), B12 = phi(1, 2), B21 = phi(2, 1);
    const double d2 = d * d, d3 = d2 * d;
    const double X = B12 * B12 * C2 * d3 + C3 * d3 * A2 * B12 + 4 * d2 * C2 * B11 * B12 +
                     2 * d2 * C3 * B11 * A2 + 4 * d * C2 * B11 * B11 + 4 * d * C3 * A1 * B11 -
                     2 * C2 * C2 * A1 - 4 * d * A1 * C2 * B21 - 2 * d2 * A1 * B21 * B21 -
                     4 * d * C2 * C2 * A2 - 5 * d2 * C2 * B21 * A2 - d3 * A2 * B21 * B21 +
                     2 * d2 * C3 * A1 * B12 - d2 * C2 * C2 * A3 - d3 * C2 * B21 * A3;
    const double den = std::pow(d * A2 + 2 * A1, 2) * kTwoAvogadro * d2 * dred * C2 * C2;
    const double r = den != 0.0 ? X / den : 0.0;
    return std::isfinite(r) ? r : 0.0;
}

}  // namespace lib
