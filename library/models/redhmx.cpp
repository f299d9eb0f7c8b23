// REDHMX and RDXHMX: the reducing temperature and density of a mixture and
// their composition derivatives; hmx_prepare derives the per-pair constants.
#include <array>
#include <cmath>
#include <string>
#include <tuple>

#include "library/library.h"
#include "library/models/hmx.h"
#include "library/models/hmxprep.h"
#include "library/models/records.h"
#include "library/setup/records.h"

namespace lib {

HmxPrepared HMXPREP;

namespace {

constexpr double kDefaultTred = 100.0;  // K, when the sums vanish
constexpr double kDefaultDred = 10.0;   // mol/L

PairRule rule_of(const Code& c) {
    if (c.is("TR1")) return PairRule::kTR1;
    if (c.is("LIN")) return PairRule::kLIN;
    if (c.starts("KW")) return PairRule::kKW;
    if (c.starts("LJ")) return PairRule::kLJ;
    if (c.starts("LM")) return PairRule::kLM;
    return PairRule::kUnknown;
}

bool mixture_code_pr() { return EOSMOD.mix.is("PR"); }

// Position of the ammonia fraction in a "TR1" pair: x_j when ammonia is the
// second component of the mixture, else x_i.
double ammonia_fraction(const HmxPairConst& q, const double x[20]) {
    return FLAGS2.ammonia_water == 2 ? x[q.j - 1] : x[q.i - 1];
}

// Error 190 for a pair whose rule no reducing function knows: reported for
// each such pair, the first one kept in ierr/herr.
void rule_not_found(const HmxPairConst& q, int& ierr, std::string& herr) {
    int jerr = 0;
    std::string jmsg;
    fail(190, "RDXHMX", "Mixing rule not found for " + fmt_int(q.i, 3) + "," + fmt_int(q.j, 3),
         jerr, jmsg);
    if (ierr == 0) {
        ierr = jerr;
        herr = jmsg;
    }
}

// h = u v (u + v)/(b u + c v) and its derivatives by u and v.
struct PairFunction {
    double h = 0, hu = 0, hv = 0, huu = 0, hvv = 0, huv = 0;
};
PairFunction pair_function(double u, double v, double b, double c) {
    PairFunction f;
    const double dn = b * u + c * v;
    if (!(dn > 0.0)) return f;
    const double N = u * v * (u + v), Nu = 2.0 * u * v + v * v, Nv = u * u + 2.0 * u * v;
    const double Nuu = 2.0 * v, Nvv = 2.0 * u, Nuv = 2.0 * (u + v);
    const double i1 = 1.0 / dn, i2 = i1 * i1, i3 = i2 * i1;
    f.h = N * i1;
    f.hu = Nu * i1 - N * b * i2;
    f.hv = Nv * i1 - N * c * i2;
    f.huu = Nuu * i1 - 2.0 * Nu * b * i2 + 2.0 * N * b * b * i3;
    f.hvv = Nvv * i1 - 2.0 * Nv * c * i2 + 2.0 * N * c * c * i3;
    f.huv = Nuv * i1 - (Nu * c + Nv * b) * i2 + 2.0 * N * b * c * i3;
    return f;
}

// Index (0-based) of the ammonia fraction in a "TR1" pair.
std::size_t ammonia_index(const HmxPairConst& q) {
    return static_cast<std::size_t>(FLAGS2.ammonia_water == 2 ? q.j - 1 : q.i - 1);
}

// Adds k s xa (1 - xa^e), the "TR1" part of one reducing function, with its
// derivatives by xa to Y, dY and dYY.
void add_tr1_reducing(double k, double e, double s, double xa, std::size_t a, double& Y,
                      std::array<double, kMaxComp>& dY,
                      std::array<std::array<double, kMaxComp>, kMaxComp>& dYY) {
    const double w = std::pow(xa, e);
    Y += k * s * xa * (1.0 - w);
    dY[a] += k * s * (1.0 - (1.0 + e) * w);
    dYY[a][a] -= k * s * (1.0 + e) * e * std::pow(xa, e - 1.0);
}

void derivative_not_available(int& ierr, std::string& herr) {
    fail(191, "RDXHMX", "Derivative not available", ierr, herr);
}

}  // namespace

void hmx_prepare() {
    HmxPrepared& P = HMXPREP;
    const unsigned long long generation = P.generation + 1;
    P = HmxPrepared{};
    P.generation = generation;
    const int nc = std::min(NCOMP.nc, kMaxComp);
    P.nc = nc;
    for (int i = 1; i <= nc; ++i) {
        P.tc[static_cast<std::size_t>(i)] = ZRED.tred[i];
        P.vc[static_cast<std::size_t>(i)] = ZRED.dred[i] > 0.0 ? 1.0 / ZRED.dred[i] : 0.0;
    }
    for (int i = 1; i < nc; ++i) {
        for (int j = i + 1; j <= nc; ++j) {
            HmxPairConst& q = P.pair[static_cast<std::size_t>(P.npair++)];
            q.i = i;
            q.j = j;
            q.rule = rule_of(MIXMOD.code(i, j));
            q.p = CFXHMX.p(i, j);
            const double ti = ZRED.tred[i], tj = ZRED.tred[j];
            const double ri = ZRED.dred[i], rj = ZRED.dred[j];
            q.st = ti + tj;
            q.sv = 1.0 / ri + 1.0 / rj;
            if (q.rule == PairRule::kKW) {
                const auto& c2 = CF2HMX.c(i, j);
                const double vcij = std::pow(1.0 / std::cbrt(ri) + 1.0 / std::cbrt(rj), 3) / 8.0;
                q.at = 2.0 * q.p[0] * c2[0] * q.p[1] * std::sqrt(ti * tj);
                q.bt = q.p[0] * q.p[0];
                q.ct = c2[0] * c2[0];
                q.av = 2.0 * q.p[2] * c2[2] * q.p[3] * vcij;
                q.bv = q.p[2] * q.p[2];
                q.cv = c2[2] * c2[2];
            }
            const Code& code = MIXMOD.code(i, j);
            const bool weighted = (code.starts("KW") && q.p[4] != 0.0) ||
                                  ((code.starts("LJ") || code.starts("LM")) && q.p[2] != 0.0);
            if ((weighted && CFIHMX.model(i, j) > 0) || code.is("TR1"))
                P.dep[static_cast<std::size_t>(P.ndep++)] = HmxDeparture{
                    i, j, CFIHMX.model(i, j), code.starts("KW") ? q.p[4] : q.p[2], code.is("TR1")};
        }
    }
}

void REDHMX(const double x[20], double& tred, double& dred) {
    // The property routines ask for one composition many times in a row.
    HmxPrepared& P = HMXPREP;
    bool same = P.cached && !mixture_code_pr();
    for (int i = 0; same && i < P.nc; ++i) same = x[i] == P.x[static_cast<std::size_t>(i)];
    if (same) {
        tred = P.tred;
        dred = P.dred;
        return;
    }
    int ierr = 0;
    std::string herr;
    RDXHMX(0, 0, 0, x, tred, dred, ierr, herr);
    // A composition with an unknown rule is reported at every call.
    P.cached = ierr == 0;
    for (int i = 0; i < P.nc; ++i) P.x[static_cast<std::size_t>(i)] = x[i];
    P.tred = tred;
    P.dred = dred;
}

void RDXHMX(int ix, int i, int j, const double x[20], double& tred, double& dred, int& ierr,
            std::string& herr) {
    ierr = 0;
    herr.clear();
    const HmxPrepared& P = HMXPREP;
    if (ix != 0) {
        ReducingDerivatives r;
        if (!reducing_derivatives(x, r, ierr, herr)) {
            tred = dred = 0.0;  // defined, whatever the caller passed
            return;
        }
        if (i < 1 || i > P.nc || (ix == 11 && (j < 1 || j > P.nc))) {
            tred = dred = 0.0;
            return;
        }
        const auto a = static_cast<std::size_t>(i - 1);
        const auto b = static_cast<std::size_t>(ix == 11 ? j - 1 : i - 1);
        if (ix == 1) {
            tred = r.dt[a];
            dred = r.dv[a];
        } else {
            tred = r.dtt[a][b];
            dred = r.dvv[a][b];
        }
        return;
    }
    double ts = 0.0, vs = 0.0;
    for (int k = 1; k <= P.nc; ++k) {
        const double xk = x[k - 1];
        if (!(xk > 0.0)) continue;
        ts += xk * P.tc[static_cast<std::size_t>(k)];
        vs += xk * P.vc[static_cast<std::size_t>(k)];
    }
    const bool pr = mixture_code_pr();
    for (int n = 0; n < P.npair; ++n) {
        const HmxPairConst& q = P.pair[static_cast<std::size_t>(n)];
        const double xi = x[q.i - 1], xj = x[q.j - 1];
        if (!(xi > 0.0) || !(xj > 0.0)) continue;
        const double xx = xi * xj;
        const auto& p = q.p;
        switch (pr && q.rule != PairRule::kLIN && q.rule != PairRule::kLM ? PairRule::kUnknown
                                                                          : q.rule) {
            case PairRule::kKW: {
                const double dt = q.bt * xi + q.ct * xj, dv = q.bv * xi + q.cv * xj;
                if (dt > 0.0) ts += q.at * xx * (xi + xj) / dt;
                if (dv > 0.0) vs += q.av * xx * (xi + xj) / dv;
                ts -= xx * q.st;
                vs -= xx * q.sv;
                break;
            }
            case PairRule::kLJ:
                ts += p[0] * std::pow(xi, p[3]) * std::pow(xj, p[4]);
                vs += p[1] * xx;
                break;
            case PairRule::kTR1: {
                const double xa = ammonia_fraction(q, x);
                ts += p[0] * xa * (1.0 - std::pow(xa, p[2])) * q.st - xx * q.st;
                vs += p[1] * xa * (1.0 - std::pow(xa, p[3])) * q.sv - xx * q.sv;
                break;
            }
            case PairRule::kLIN:
                ts += (p[0] - 1.0) * xx * q.st;
                vs += (p[1] - 1.0) * xx * q.sv;
                break;
            case PairRule::kLM:
                ts += (p[0] - 1.0) * std::pow(xi, p[3]) * std::pow(xj, p[4]) * q.st;
                vs += (p[1] - 1.0) * xx * q.sv;
                break;
            case PairRule::kUnknown: rule_not_found(q, ierr, herr); break;
        }
    }
    if (P.nc >= 1 && std::fabs(ts) > 5.0e-13 && std::fabs(vs) > 5.0e-13 && std::isfinite(ts) &&
        std::isfinite(vs)) {
        tred = ts;
        dred = 1.0 / vs;
    } else {
        tred = kDefaultTred;
        dred = kDefaultDred;
    }
}

bool reducing_derivatives_exist(const double x[20]) {
    if (mixture_code_pr()) return false;
    const HmxPrepared& P = HMXPREP;
    for (int n = 0; n < P.npair; ++n) {
        const HmxPairConst& q = P.pair[static_cast<std::size_t>(n)];
        if (x[q.i - 1] > 0.0 && x[q.j - 1] > 0.0 && q.rule != PairRule::kKW &&
            q.rule != PairRule::kTR1)
            return false;
    }
    return true;
}

bool reducing_derivatives(const double x[20], ReducingDerivatives& r, int& ierr,
                          std::string& herr) {
    r = ReducingDerivatives{};
    const HmxPrepared& P = HMXPREP;
    if (mixture_code_pr()) {
        derivative_not_available(ierr, herr);
        return false;
    }
    for (int k = 1; k <= P.nc; ++k) {
        const double xk = x[k - 1];
        if (!(xk > 0.0)) continue;
        const auto a = static_cast<std::size_t>(k - 1);
        const double tk = P.tc[static_cast<std::size_t>(k)], vk = P.vc[static_cast<std::size_t>(k)];
        r.tr += xk * xk * tk;
        r.vr += xk * xk * vk;
        r.dt[a] = 2.0 * xk * tk;
        r.dv[a] = 2.0 * xk * vk;
        r.dtt[a][a] = 2.0 * tk;
        r.dvv[a][a] = 2.0 * vk;
    }
    for (int n = 0; n < P.npair; ++n) {
        const HmxPairConst& q = P.pair[static_cast<std::size_t>(n)];
        const double u = x[q.i - 1], v = x[q.j - 1];
        if (!(u > 0.0) || !(v > 0.0)) continue;
        if (q.rule == PairRule::kTR1) {
            // The sum of x_k^2 Tc_k above stands for RDXHMX's linear sum less
            // x_i x_j st, so the pair adds its own part alone.
            const double xa = ammonia_fraction(q, x);
            const std::size_t ia = ammonia_index(q);
            add_tr1_reducing(q.p[0], q.p[2], q.st, xa, ia, r.tr, r.dt, r.dtt);
            add_tr1_reducing(q.p[1], q.p[3], q.sv, xa, ia, r.vr, r.dv, r.dvv);
            continue;
        }
        if (q.rule != PairRule::kKW) {
            derivative_not_available(ierr, herr);
            return false;
        }
        const auto a = static_cast<std::size_t>(q.i - 1), b = static_cast<std::size_t>(q.j - 1);
        for (auto [c, bb, cc, Y, dY, dYY] : {std::tuple{q.at, q.bt, q.ct, &r.tr, &r.dt, &r.dtt},
                                             std::tuple{q.av, q.bv, q.cv, &r.vr, &r.dv, &r.dvv}}) {
            const PairFunction f = pair_function(u, v, bb, cc);
            *Y += c * f.h;
            (*dY)[a] += c * f.hu;
            (*dY)[b] += c * f.hv;
            (*dYY)[a][a] += c * f.huu;
            (*dYY)[b][b] += c * f.hvv;
            (*dYY)[a][b] += c * f.huv;
            (*dYY)[b][a] += c * f.huv;
        }
    }
    return true;
}

}  // namespace lib
