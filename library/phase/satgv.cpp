// SATGV: Newton's method on ln K, ln T and ln P (pressure formulation: the
// densities from the density solver) or ln K, ln T, ln Dl and ln Dv
// (density formulation), with analytic derivatives from the composition
// derivatives of the mixture model; LGPHI its fugacity routine; GETXY the
// phase compositions from K-values.
#include "library/phase/satgv.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "library/library.h"
#include "library/models/hmxrecords.h"
#include "library/models/phiderv.h"
#include "library/models/records.h"
#include "library/phase/flashutil.h"
#include "library/phase/satspln.h"
#include "library/phase/sattp.h"
#include "library/setup/records.h"

namespace lib {

GvcomRecord GVCOM;
GvtempRecord GVTEMP;

namespace {

int components() { return std::min(NCOMP.nc, kMaxComp); }

// A number in the Fortran field Ew.d ("0.1235E+04").
std::string fmt_e(double v, int w, int d) {
    if (!std::isfinite(v)) return std::string(static_cast<std::size_t>(w), '*');
    int ex = 0;
    long long digits = 0;
    const double scale = std::pow(10.0, d);
    if (v != 0.0) {
        ex = static_cast<int>(std::floor(std::log10(std::fabs(v)))) + 1;
        digits = std::llround(std::fabs(v) / std::pow(10.0, ex) * scale);
        if (digits >= static_cast<long long>(scale)) {
            ++ex;
            digits = std::llround(std::fabs(v) / std::pow(10.0, ex) * scale);
        }
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s0.%0*lldE%+03d", v < 0.0 ? "-" : "", d, digits, ex);
    std::string s = buf;
    if (static_cast<int>(s.size()) < w)
        s = std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
    return s;
}

// Everything SATGV reads of one phase after its fugacity call.
struct Phase {
    int cls = 2;  // phase class: 1 liquid-like, 2 vapour-like
    double D = 0, P = 0;
    double lnf[20] = {};
    double dPdT = 0, dPdD = 0, dDdT = 0, cp = 0, cv = 0, s = 0;
    // By present components (positions of the order): the mole-number
    // derivatives of the fugacity logarithms in the formulation's variables.
    double M[20][20] = {};
    double dT[20] = {};    // d lnf / dT (constant P or constant D)
    double dP[20] = {};    // d lnf / dP at constant T (pressure formulation), 1/kPa
    double dlnD[20] = {};  // d lnf / d ln D at constant T (density formulation)
    double MP[20] = {};    // n dP/dn_j at constant T and D, kPa (density formulation)
};

// The fugacity routine: the density (mode 2) or the pressure (mode 3), the
// fugacity logarithms ln(phi P / 1 MPa) and the derivatives.  False with
// the error of the density or derivative call.
bool phase_at(int mode, int& kph, double T, double& D, double& P, const double x[20],
              const mix::Present& order, Phase* ph, double lnf[20], double& dPdT, double& dPdD,
              double& dDdT, double& cp, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    double Tc = 0, Pc = 0, Dc = 0;
    CRITP(x, Tc, Pc, Dc, ierr, herr);
    ierr = 0;
    herr.clear();
    if (mode == 3) {
        PRESS(T, D, x, P);
    } else {
        flash::QuietMessages quiet;
        if (kph == 1 || kph == 2) {
            double d = D;
            TPRHO(T, P, x, kph, d > 0.0 ? kStartValue : kNoStartValue, d, ierr, herr);
            if (ierr > 0) {
                d = 0.0;
                TPRHO(T, P, x, 3 - kph, kNoStartValue, d, ierr, herr);
            }
            if (ierr > 0) return false;
            D = d;
        } else {
            double dl = 0, dv = 0, gl = 1e36, gv = 1e36, a = 0;
            int el = 0, ev = 0;
            std::string ml, mv;
            TPRHO(T, P, x, kLiquid, kNoStartValue, dl, el, ml);
            if (el <= 0) GIBBS(T, dl, x, a, gl);
            TPRHO(T, P, x, kVapour, kNoStartValue, dv, ev, mv);
            if (ev <= 0) GIBBS(T, dv, x, a, gv);
            if (el > 0 && ev > 0) {
                ierr = el;
                herr = ml;
                return false;
            }
            D = gl < gv ? dl : dv;
        }
        ierr = 0;
        herr.clear();
    }
    if (D == 0.0) D = 1e-20;
    if (D < 0.0) D = Dc + 1e-20;
    double p = 0, e = 0, h = 0, s = 0, cv = 0, w = 0, Z = 0, hjt = 0, A = 0, G = 0, xk = 0, b = 0,
           d2PdD2 = 0, dDdP = 0, d2PdT2 = 0, d2PdTD = 0, s3 = 0, s4 = 0;
    THERM2(T, D, x, p, e, h, s, cv, cp, w, Z, hjt, A, G, xk, b, dPdD, d2PdD2, dPdT, dDdT, dDdP,
           d2PdT2, d2PdTD, s3, s4);
    double dadn[20], dnadn[20];
    PHIDERV(2, T, D, x, dadn, dnadn, ierr, herr);
    if (ierr != 0) {
        if (ierr < 0) ierr = 1;
        if (herr.empty()) herr = errtext("LGPHI", ierr, "fugacity derivatives not available");
        return false;
    }
    const double lndrt = std::log(D * GCNST.r * T / 1000.0);
    for (int i = 0; i < 20; ++i) lnf[i] = 0.0;
    for (int q = 0; q < order.m; ++q) {
        const int i = order.c[q];
        lnf[i] = lndrt + dnadn[i];
    }
    // Phase class from the curvature of the isotherm.
    if (dPdT != 0.0 && dPdD != 0.0) {
        const double pi = 2.0 - D * (d2PdTD / dPdT - d2PdD2 / dPdD);
        kph = pi > 1.0 ? 1 : 2;
    } else {
        kph = 2;
    }
    if (D > 2.0 * Dc) kph = 1;
    if (ph == nullptr) return true;
    const PhidrRecord& r = PHIDR;
    ph->cls = kph;
    ph->D = D;
    ph->P = mode == 3 ? P : p;
    for (int i = 0; i < 20; ++i) ph->lnf[i] = lnf[i];
    ph->dPdT = dPdT;
    ph->dPdD = dPdD;
    ph->dDdT = dDdT;
    ph->cp = cp;
    ph->cv = cv;
    ph->s = s;
    for (int a = 0; a < order.m; ++a) {
        const int i = order.c[a];
        ph->dT[a] = mode == 3 ? r.dlnf_dt[i] : r.dlnphi_dt[i];
        ph->dP[a] = r.dlnphi_dp[i];
        ph->dlnD[a] = -r.dlnf_dv[i] / D;
        ph->MP[a] = r.ndp_dn[i] - D * dPdD;
        for (int b2 = 0; b2 < order.m; ++b2) {
            const int j = order.c[b2];
            ph->M[a][b2] =
                mode == 3 ? r.d2nadn2[i][j] + (r.dlnf_dv[i] + D) / D : r.ndlnphi_dn[i][j];
        }
    }
    return true;
}

// One call of SATGV.
class VapourFraction {
public:
    VapourFraction(double& T, double& P, const double z[20], double vf, double spec, int kform,
                   int ityp, int kguess, double& Dl, double& Dv, double xl[20], double xv[20],
                   int& ierr, std::string& herr)
        : T(T),
          P(P),
          z(z),
          vf(vf),
          spec(spec),
          kform(kform),
          ityp(ityp),
          kguess(kguess),
          Dl(Dl),
          Dv(Dv),
          xl(xl),
          xv(xv),
          ierr(ierr),
          herr(herr) {}

    void run() {
        ierr = 0;
        herr.clear();
        flash::copy20(xl, xl0);
        flash::copy20(xv, xv0);
        density_form = kform == kDensityForm;
        if (kguess != 0) spline_start_at_fraction(vf, ityp, spec, T, P, Dl, Dv, xl, xv);
        if (!checks()) return;
        order = mix::present(z);
        m = order.m;
        if (m < 1) return error(81, "[SATGV error 81] Sum of feed composition not equal to 1.0");
        selectors();
        if (!iterate()) return;
        finish();
    }

private:
    double& T;
    double& P;
    const double* z;
    const double vf, spec;
    const int kform, ityp, kguess;
    double& Dl;
    double& Dv;
    double* xl;
    double* xv;
    int& ierr;
    std::string& herr;

    double xl0[20] = {}, xv0[20] = {};
    bool density_form = false;
    mix::Present order;
    int m = 0, len = 0;
    double Dc = 0;
    double v[24] = {};  // ln K (present), ln T, ln P or ln Dl, ln Dv
    double target = 0;  // the given value in the form the residual compares
    Phase liq, vap;
    double F[24] = {};

    // Error n: the incoming compositions come back.
    void error(int n, const std::string& text) {
        flash::copy20(xl0, xl);
        flash::copy20(xv0, xv);
        fail(n, text, ierr, herr);
    }
    std::string head(int n) const { return "[SATGV error " + fmt_int(n, 2) + "] "; }

    bool checks() {
        if (!(vf >= 0.0 && vf <= 1.0)) {
            error(80, "[SATGV error 80] vf greater than 1 or less than 0");
            return false;
        }
        double sum = 0.0;
        for (int i = 0; i < components(); ++i) sum += z[i];
        if (!(std::fabs(sum - 1.0) <= 1e-8)) {
            error(81, "[SATGV error 81] Sum of feed composition not equal to 1.0");
            return false;
        }
        if (!(Dl > 0.0) || !(Dv > 0.0)) {
            error(82, "[SATGV error 82] Input density less than or equal to 0.0");
            return false;
        }
        if (ityp == kGivenDensity && vf > 0.0 && vf < 1.0) {
            error(81, "SATGV not set up for vf>0 and vf<1 with ityp=6");
            return false;
        }
        return true;
    }

    void selectors() {
        double Tc = 0, Pc = 0;
        int jerr = 0;
        std::string jmsg;
        CRITP(z, Tc, Pc, Dc, jerr, jmsg);
        const double dm = (1.0 - vf) * Dl + vf * Dv;
        if (Dl > 2.0 * Dc || Dv < 0.1) GVCOM.liquid = 1;
        if (Dv > 2.0 * Dc || Dl < 0.1) GVCOM.vapour = 1;
        if (dm > 2.0 * Dc) GVCOM.mixture = 1;
        if (dm < Dc / 5.0) GVCOM.mixture = 2;
        if (Dl < Dc / 5.0) GVCOM.liquid = 2;
        if (Dv < Dc / 5.0) GVCOM.vapour = 2;
        for (int a = 0; a < m; ++a) {
            const int i = order.c[a];
            v[a] = (xv[i] > 0.0 && xl[i] > 0.0) ? std::log(xv[i] / xl[i]) : 1.0;
        }
        v[m] = std::log(T);
        if (density_form) {
            v[m + 1] = std::log(Dl);
            v[m + 2] = std::log(Dv);
            len = m + 3;
        } else {
            v[m + 1] = std::log(P);
            len = m + 2;
        }
        switch (ityp) {
            case kGivenPressure: target = P; break;
            case kGivenTemperature: target = T; break;
            case kGivenEntropy: target = spec; break;
            case kGivenDensity: target = spec; break;
            default: target = 0.0; break;
        }
    }

    // Phase compositions from the iteration vector.
    void compositions(double x[20], double y[20], double K[20]) const {
        double lnK[20] = {};
        for (int i = 0; i < 20; ++i) lnK[i] = 0.0;
        for (int a = 0; a < m; ++a) lnK[order.c[a]] = v[a];
        GETXY(z, vf, lnK, K, x, y);
    }

    bool bounds() {
        for (int a = 0; a < m; ++a) {
            if (std::fabs(v[a]) > 100.0) {
                error(72, head(72) + "ln(" + std::to_string(order.c[a] + 1) +
                              ") value too high: " + fmt_e(v[a], 11, 4));
                return false;
            }
        }
        const double t = std::exp(v[m]);
        const double p = density_form ? P : std::exp(v[m + 1]);
        if (t > 2000.0 || t < 2.0 || (!density_form && p > 500000.0) || !std::isfinite(t)) {
            error(73, head(73) + "Pressure or Temperature outside bounds.  Pressure = " +
                          fmt_e(p / 1000.0, 11, 4) + " Temperature = " + fmt_e(t, 11, 4));
            return false;
        }
        if (density_form && (std::exp(v[m + 1]) > 100.0 || std::exp(v[m + 2]) > 100.0)) {
            const double d = std::max(std::exp(v[m + 1]), std::exp(v[m + 2]));
            error(77, head(77) + "Density outside bounds.  Density = " + fmt_e(d, 11, 4) +
                          " Temperature = " + fmt_e(t, 11, 4));
            return false;
        }
        return true;
    }

    // Both phases at the iterate; false when the liquid's call fails.
    bool evaluate(double x[20], double y[20], double K[20]) {
        compositions(x, y, K);
        T = std::exp(v[m]);
        const int mode = density_form ? 3 : 2;
        double dl = density_form ? std::exp(v[m + 1]) : Dl;
        double dv = density_form ? std::exp(v[m + 2]) : Dv;
        double pl = density_form ? 0.0 : std::exp(v[m + 1]);
        double pv = pl;
        double lnf[20], a = 0, b = 0, c = 0, d = 0;
        int jerr = 0;
        std::string jmsg;
        int kl = GVCOM.liquid;
        if (!phase_at(mode, kl, T, dl, pl, x, order, &liq, lnf, a, b, c, d, jerr, jmsg)) {
            fail(jerr, jmsg, ierr, herr);
            return false;
        }
        GVCOM.liquid = kl;
        int kv = GVCOM.vapour;
        if (phase_at(mode, kv, T, dv, pv, y, order, &vap, lnf, a, b, c, d, jerr, jmsg))
            GVCOM.vapour = kv;
        else
            vap_failed = true;
        Dl = dl;
        Dv = dv;
        if (!density_form) P = pl;
        return true;
    }
    bool vap_failed = false;

    // The mean entropy of the phases at (T, P) and its derivatives by ln K
    // at constant T and P (by differences; the composition enters the phase
    // densities through the pressure).
    double mean_entropy() const { return (1.0 - vf) * liq.s + vf * vap.s; }

    void entropy_composition_columns(double J[], const double K[20]) {
        const double scale = std::max(std::fabs(target), 8.314462618);
        for (int a = 0; a < m; ++a) {
            double v2[24];
            std::copy(v, v + len, v2);
            const double h = 1e-6;
            v2[a] += h;
            double lnK[20] = {}, K2[20], x2[20], y2[20];
            for (int c = 0; c < m; ++c) lnK[order.c[c]] = v2[c];
            GETXY(z, vf, lnK, K2, x2, y2);
            double s2 = 0.0;
            for (int ph = 0; ph < 2; ++ph) {
                const Phase& p = ph == 0 ? liq : vap;
                const double w = ph == 0 ? 1.0 - vf : vf;
                if (w == 0.0) continue;
                double d = p.D, s = 0.0;
                if (!density_form) {
                    int jerr = 0;
                    std::string jmsg;
                    TPRHO(T, P, ph == 0 ? x2 : y2, ph == 0 ? kLiquid : kVapour, kStartValue, d,
                          jerr, jmsg);
                }
                ENTRO(T, d, ph == 0 ? x2 : y2, s);
                s2 += w * s;
            }
            J[len - 1 + a * len] = (s2 - mean_entropy()) / h / scale;
        }
        (void)K;
    }

    void residuals_and_jacobian(const double K[20], double J[]) {
        const auto at = [&](int row, int col) -> double& { return J[row + col * len]; };
        for (int i = 0; i < len * len; ++i) J[i] = 0.0;
        double w[20] = {};
        double rr = 0.0;
        for (int a = 0; a < m; ++a) {
            const int i = order.c[a];
            const double den = vf * K[i] + 1.0 - vf;
            w[a] = K[i] * z[i] / (den * den);
            rr += z[i] * (K[i] - 1.0) / den;
        }
        for (int k = 0; k < m; ++k) {
            const int i = order.c[k];
            F[k] = v[k] + vap.lnf[i] - liq.lnf[i];
            for (int a = 0; a < m; ++a)
                at(k, a) =
                    (k == a ? 1.0 : 0.0) + ((1.0 - vf) * vap.M[k][a] + vf * liq.M[k][a]) * w[a];
            at(k, m) = T * (vap.dT[k] - liq.dT[k]);
            if (density_form) {
                at(k, m + 1) = -liq.dlnD[k];
                at(k, m + 2) = vap.dlnD[k];
            } else {
                at(k, m + 1) = P * (vap.dP[k] - liq.dP[k]);
            }
        }
        F[m] = rr;
        for (int a = 0; a < m; ++a) at(m, a) = w[a];
        int row = m + 1;
        if (density_form) {
            F[row] = (liq.P - vap.P) / 1000.0;
            for (int a = 0; a < m; ++a)
                at(row, a) = (liq.MP[a] * (-vf * w[a]) - vap.MP[a] * (1.0 - vf) * w[a]) / 1000.0;
            at(row, m) = T * (liq.dPdT - vap.dPdT) / 1000.0;
            at(row, m + 1) = liq.D * liq.dPdD / 1000.0;
            at(row, m + 2) = -vap.D * vap.dPdD / 1000.0;
            ++row;
        }
        specification(row, w, K, J);
    }

    void specification(int row, const double w[20], const double K[20], double J[]) {
        const auto at = [&](int r, int col) -> double& { return J[r + col * len]; };
        const double fl = 1.0 - vf, fv = vf;
        switch (ityp) {
            case kGivenPressure:
                if (density_form) {
                    const double pm = fl * liq.P + fv * vap.P;
                    F[row] = (pm - target) / target;
                    for (int a = 0; a < m; ++a)
                        at(row, a) =
                            (fl * liq.MP[a] * (-vf * w[a]) + fv * vap.MP[a] * (1.0 - vf) * w[a]) /
                            target;
                    at(row, m) = T * (fl * liq.dPdT + fv * vap.dPdT) / target;
                    at(row, m + 1) = fl * liq.D * liq.dPdD / target;
                    at(row, m + 2) = fv * vap.D * vap.dPdD / target;
                } else {
                    F[row] = v[m + 1] - std::log(target);
                    at(row, m + 1) = 1.0;
                }
                return;
            case kGivenTemperature:
                F[row] = v[m] - std::log(target);
                at(row, m) = 1.0;
                return;
            case kGivenEntropy: {
                const double scale = std::max(std::fabs(target), 8.314462618);
                F[row] = (mean_entropy() - target) / scale;
                if (density_form) {
                    at(row, m) = (fl * liq.cv + fv * vap.cv) / scale;
                    at(row, m + 1) = -fl * liq.dPdT / liq.D / scale;
                    at(row, m + 2) = -fv * vap.dPdT / vap.D / scale;
                } else {
                    at(row, m) = (fl * liq.cp + fv * vap.cp) / scale;
                    double sp = 0.0;
                    if (fl > 0.0 && liq.D > 0.0) sp += fl * liq.dDdT / (liq.D * liq.D);
                    if (fv > 0.0 && vap.D > 0.0) sp += fv * vap.dDdT / (vap.D * vap.D);
                    at(row, m + 1) = P * sp / scale;
                }
                if (vf > 0.0 && vf < 1.0) entropy_composition_columns(J, K);
                return;
            }
            case kGivenDensity: {
                const Phase& p = vf >= 1.0 ? vap : liq;
                F[row] = std::log(p.D) - std::log(target);
                if (density_form) {
                    at(row, vf >= 1.0 ? m + 2 : m + 1) = 1.0;
                } else {
                    at(row, m) = T * p.dDdT / p.D;
                    at(row, m + 1) = P / (p.dPdD * p.D);
                }
                return;
            }
            default:
                F[row] = 0.0;
                at(row, m) = 1.0;
                return;
        }
    }

    bool iterate() {
        double x[20], y[20], K[20];
        double measure = 1.0;
        GVTEMP.iterations = 0;
        for (int it = 1; it <= 20; ++it) {
            GVTEMP.iterations = it;
            if (!bounds()) return false;
            if (!evaluate(x, y, K)) return false;
            if (vap_failed) {
                error(1, "[SATGV error  1] vapor phase fugacities could not be computed");
                return false;
            }
            double J[24 * 24];
            residuals_and_jacobian(K, J);
            bool trivial = true;
            for (int a = 0; a < m; ++a) trivial = trivial && std::fabs(v[a]) <= 1e-6;
            if (trivial) {
                std::string t = head(74) + "Trivial solution.  ln(ki) = ";
                for (int a = 0; a < m; ++a) t += fmt_e(v[a], 9, 2) + " ";
                error(74, t);
                return false;
            }
            if (it > 1 && measure <= 1e-12) return true;
            double dv[24];
            for (int i = 0; i < len; ++i) dv[i] = -F[i];
            int jerr = 0;
            std::string jmsg;
            LUDECOMP(len, len, J, dv, jerr, jmsg);
            if (jerr != 0) {
                error(jerr, jmsg);
                return false;
            }
            double old[24];
            std::copy(v, v + len, old);
            measure = 0.0;
            for (int i = 0; i < len; ++i) {
                v[i] += dv[i];
                measure += dv[i] * dv[i];
            }
            measure /= len;
            if (!std::isfinite(measure)) {
                error(71, not_converged(it, measure));
                return false;
            }
            if (density_form) damp(old, dv);
            if (measure <= 1e-12 && it > 1) {
                // One more evaluation gives the phases at the final vector.
                if (!bounds() || !evaluate(x, y, K)) return false;
                residuals_and_jacobian(K, J);
                return true;
            }
        }
        error(71, not_converged(20, measure));
        return false;
    }

    std::string not_converged(int it, double measure) const {
        return head(71) + "Routine did not converge in " + fmt_int(it, 2) +
               " iterations.  Sum = " + fmt_e(measure, 11, 4);
    }

    // The density formulation keeps the pressure within a factor 100 and
    // the temperature within 10 % of the previous iterate.
    void damp(const double old[], double dv[]) {
        const double pold = (1.0 - vf) * liq.P + vf * vap.P;
        for (int k = 0; k < 10; ++k) {
            const double t = std::exp(v[m]);
            double pl = 0, pv = 0;
            double lnK[20] = {}, K2[20], x2[20], y2[20];
            for (int c = 0; c < m; ++c) lnK[order.c[c]] = v[c];
            GETXY(z, vf, lnK, K2, x2, y2);
            PRESS(t, std::exp(v[m + 1]), x2, pl);
            PRESS(t, std::exp(v[m + 2]), y2, pv);
            const double pm = (1.0 - vf) * pl + vf * pv;
            const double rp = pold != 0.0 ? pm / pold : 1.0;
            const double rt = t / std::exp(old[m]);
            if (rp >= 0.01 && rp <= 100.0 && rt >= 0.9 && rt <= 1.1) return;
            for (int i = 0; i < len; ++i) {
                dv[i] = static_cast<double>(static_cast<float>(0.5 * dv[i]));
                v[i] = old[i] + dv[i];
            }
        }
    }

    void finish() {
        if (ityp != kGivenTemperature) T = std::exp(v[m]);
        double K[20];
        double lnK[20] = {};
        for (int a = 0; a < m; ++a) lnK[order.c[a]] = v[a];
        GETXY(z, vf, lnK, K, xl, xv);
        if (density_form) {
            Dl = std::exp(v[m + 1]);
            Dv = std::exp(v[m + 2]);
            if (ityp != kGivenPressure) {
                double pl = 0, pv = 0;
                PRESS(T, Dl, xl, pl);
                PRESS(T, Dv, xv, pv);
                P = (1.0 - vf) * pl + vf * pv;
            }
        } else {
            if (ityp != kGivenPressure) P = std::exp(v[m + 1]);
            for (int ph = 0; ph < 2; ++ph) {
                int sel = ph == 0 ? GVCOM.liquid : GVCOM.vapour;
                if (sel != 1 && sel != 2) sel = ph == 0 ? 1 : 2;
                double& d = ph == 0 ? Dl : Dv;
                double dd = d;
                int jerr = 0;
                std::string jmsg;
                flash::QuietMessages quiet;
                TPRHO(T, P, ph == 0 ? xl : xv, sel, kStartValue, dd, jerr, jmsg);
                if (jerr > 0) {
                    dd = 0.0;
                    TPRHO(T, P, ph == 0 ? xl : xv, 3 - sel, kNoStartValue, dd, jerr, jmsg);
                }
                if (jerr <= 0 && dd > 0.0) d = dd;
            }
        }
        bool small = true;
        for (int i = 0; i <= m; ++i) small = small && std::fabs(F[i]) <= 1e-5;
        if (!small) {
            std::string t = head(75) + "Converged in " + fmt_int(GVTEMP.iterations, 2) +
                            " iterations.  But F < acceptable. ";
            for (int i = 0; i <= m; ++i) t += fmt_e(F[i], 9, 2) + " ";
            error(75, t);
            return;
        }
        if (GVCOM.liquid == 2 && GVCOM.vapour == 2)
            error(76, "[SATGV error 76] False roots. ixphase=iyphase=2");
    }
};

}  // namespace

void GETXY(const double z[20], double vf, const double lnK[20], double K[20], double x[20],
           double y[20]) {
    double sx = 0.0, sy = 0.0;
    for (int i = 0; i < 20; ++i) {
        K[i] = std::exp(lnK[i]);
        const double den = vf * K[i] + 1.0 - vf;
        x[i] = (std::fabs(den) > 1e-10 && den < 1e10) ? z[i] / den : z[i];
        y[i] = K[i] * x[i];
        sx += x[i];
        sy += y[i];
    }
    for (int i = 0; i < 20; ++i) {
        if (std::fabs(sx) > 1e-10) x[i] /= sx;
        if (std::fabs(sy) > 1e-10) y[i] /= sy;
    }
}

void LGPHI(int mode, int& kph, double T, double& D, double& P, const double x[20], double lnf[20],
           double& dPdT, double& dPdD, double& dDdT, double& cp, int& ierr, std::string& herr) {
    const mix::Present order = mix::present(x);
    if (mode == 1) {
        // Fugacity coefficients; the density as for mode 2.
        double scratch[20];
        if (!phase_at(2, kph, T, D, P, x, order, nullptr, scratch, dPdT, dPdD, dDdT, cp, ierr,
                      herr))
            return;
        double phi[20] = {};
        FUGCOF(T, D, x, phi, ierr, herr);
        for (int i = 0; i < 20; ++i) lnf[i] = phi[i] > 0.0 ? std::log(phi[i]) : 0.0;
        return;
    }
    phase_at(mode, kph, T, D, P, x, order, nullptr, lnf, dPdT, dPdD, dDdT, cp, ierr, herr);
}

void SATGV(double& T, double& P, const double z[20], double vf, double spec, int kform, int ityp,
           int kguess, double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
           std::string& herr) {
    VapourFraction(T, P, z, vf, spec, kform, ityp, kguess, Dl, Dv, xl, xv, ierr, herr).run();
}

}  // namespace lib
