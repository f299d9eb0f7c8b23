#include "library/transport/tc1.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "library/models/idealgas.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/transport/blockreader.h"
#include "library/transport/etak.h"
#include "library/transport/records.h"

namespace lib {

namespace {

enum Count { kDilNum = 0, kDilDen, kBkNum, kBkDen };
enum Red { kTdil = 0, kLamDil, kTbk, kDbk, kLamBk };

// Special exponents of the dilute-gas numerator rows and the background rows.
enum Special { kNone, kIntFactor, kCp0Eta, kEta, kTranslational, kCritExp, kSkipped };

Special special(double e, bool background) {
    if (e >= -90.0) return kNone;
    auto near = [e](double v) { return std::fabs(e - v) <= 1e-6; };
    if (near(-99.0)) return background ? kCritExp : kIntFactor;
    if (background) return kSkipped;
    if (near(-98.0)) return kCp0Eta;
    if (near(-97.0)) return kEta;
    if (near(-96.0)) return kTranslational;
    return kSkipped;
}

struct Tc1Block {
    std::array<double, 4> lim{};
    std::array<int, 4> n{};
    std::array<double, 5> red{};
    Rows4 rows{};
    Code enhancement{"NUL"};
};

bool read_rows(BlockReader& rd, Tc1Block& b, int& used, int n, int values, const char* what) {
    if (used + n > kTermRows) return rd.fail(std::string("more than 40 term rows (") + what + ")");
    for (int i = 0; i < n; ++i) {
        double v[4] = {0, 0, 0, 0};
        if (!rd.numbers(v, values, what)) return false;
        for (int j = 0; j < 4; ++j)
            b.rows[static_cast<std::size_t>(used)][static_cast<std::size_t>(j)] = v[j];
        ++used;
    }
    return true;
}

double power(double x, double e) { return e == 0.0 ? 1.0 : std::pow(x, e); }

// The largest elasticity d ln(lambda0) / d ln(T) of a sound dilute-gas
// polynomial: the correlations stay below 5.7 down to their equations'
// lower limits (R123's at 166 K), while those fitted with a negative
// constant fall to zero below their data (R1234yf's at 129 K, above its
// triple point, 121.6 K; R152a's elasticity reaches 148 at 154.6 K).
constexpr double kSoundElasticity = 8.0;

// A dilute-gas sum of plain powers of tau (no viscosity or heat-capacity
// rows), over a sum of plain powers: its value and elasticity at tau.
struct PlainDilute {
    const std::array<int, 4>& n;
    const Rows4& rows;

    bool plain() const {
        for (int k = 0; k < n[kDilNum] + n[kDilDen]; ++k)
            if (special(rows[static_cast<std::size_t>(k)][1], false) != kNone) return false;
        return n[kDilNum] > 0;
    }
    // The sum over rows [from, to) and tau times its derivative.
    void sum(int from, int to, double tau, double& v, double& tdv) const {
        v = to > from ? 0.0 : 1.0;
        tdv = 0.0;
        for (int k = from; k < to; ++k) {
            const auto& row = rows[static_cast<std::size_t>(k)];
            const double t = row[0] * power(tau, row[1]);
            v += t;
            tdv += row[1] * t;
        }
    }
    double value(double tau, double& elasticity) const {
        double num = 0, tnum = 0, den = 0, tden = 0;
        sum(0, n[kDilNum], tau, num, tnum);
        sum(n[kDilNum], n[kDilNum] + n[kDilDen], tau, den, tden);
        elasticity = tnum / num - tden / den;
        return num / den;
    }
    bool sound(double tau) const {
        double el = 0.0;
        const double v = value(tau, el);
        return v > 0.0 && std::isfinite(v) && el <= kSoundElasticity;
    }
};

// Below the lowest sound point tau_s of a plain dilute-gas polynomial
// (where its elasticity reaches kSoundElasticity, or where it falls to zero
// and below), the value continues as a power of tau with that elasticity:
// continuous in value and slope, positive down to zero.  False, with v
// unchanged, where the polynomial is sound at tau or no sound point lies
// between tau and tau_c, the critical temperature's (1 where the block
// reduces by it; R152a's reduces by 1 K, and its polynomial falls to zero at
// 153.5 K, inside its range, which a search up to tau = 1 never saw).
bool continued_below_sound(const PlainDilute& p, double tau, double tau_c, double& v) {
    const double top = std::max({1.0, tau, tau_c});
    if (p.sound(tau) || !p.sound(top)) return false;
    double lo = tau, hi = top;
    for (int i = 0; i < 100 && hi - lo > 1e-14 * hi; ++i) {
        const double mid = 0.5 * (lo + hi);
        (p.sound(mid) ? hi : lo) = mid;
    }
    double el = 0.0;
    const double vs = p.value(hi, el);
    v = vs * std::pow(tau / hi, el);
    return true;
}

// The factor exp(...) that a -99 background row divides by, with
// b = (1 - T/T_red)^(1/3).
double critical_exponential(double b) {
    return std::exp(-1.880284 * std::pow(b, 1.062) - 2.8526531 * std::pow(b, 2.5) -
                    3.000648 * std::pow(b, 4.5) - 5.251169 * std::pow(b, 7.5) -
                    13.191869 * std::pow(b, 12.5) - 37.553961 * std::pow(b, 23.5));
}

}  // namespace

void SETTC1(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text("SETTC1", nread, hcas, ierr, herr);
    BlockReader rd(nread, "SETTC1");
    Tc1Block b;
    for (int i = 0; i < 4; ++i)
        rd.number(b.lim[static_cast<std::size_t>(i)], i == 0   ? "lower temperature limit"
                                                      : i == 1 ? "upper temperature limit"
                                                      : i == 2 ? "upper pressure limit"
                                                               : "maximum density");
    int used = 0;
    if (rd.ints(&b.n[kDilNum], 2, "dilute-gas term counts")) {
        if (b.n[kDilNum] < 0 || b.n[kDilDen] < 0) rd.fail("negative dilute-gas term count");
    }
    if (rd.ok() && b.n[kDilNum] > 0) {
        double v[2];
        if (rd.numbers(v, 2, "reducing temperature and conductivity of the dilute part")) {
            b.red[kTdil] = v[0];
            b.red[kLamDil] = v[1];
        }
        read_rows(rd, b, used, b.n[kDilNum], 2, "dilute-gas numerator term");
    }
    if (rd.ok()) read_rows(rd, b, used, b.n[kDilDen], 2, "dilute-gas denominator term");
    if (rd.ok() && rd.ints(&b.n[kBkNum], 2, "background term counts")) {
        if (b.n[kBkNum] < 0 || b.n[kBkDen] < 0) rd.fail("negative background term count");
    }
    if (rd.ok() && b.n[kBkNum] + b.n[kBkDen] > 0) {
        double v[3];
        if (rd.numbers(v, 3, "reducing temperature, density and conductivity of the background")) {
            b.red[kTbk] = v[0];
            b.red[kDbk] = v[1];
            b.red[kLamBk] = v[2];
        }
        if (rd.ok()) read_rows(rd, b, used, b.n[kBkNum], 4, "background numerator term");
        if (rd.ok()) read_rows(rd, b, used, b.n[kBkDen], 4, "background denominator term");
    }
    rd.code(b.enhancement, "critical-enhancement model");
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMTCX.store(k, b.lim);
    WNTTCX[k] = b.n;
    WRDTCX[k] = b.red;
    WCFTCX[k] = b.rows;
    CREMOD.set[kCreTcx][k] = b.enhancement;
}

double TCX1DG(int icomp, double T) {
    bool no_viscosity = false;
    return tcx1dg_checked(icomp, T, no_viscosity);
}

double tcx1dg_checked(int icomp, double T, bool& no_viscosity) {
    no_viscosity = false;
    const auto& n = WNTTCX[icomp];
    const auto& red = WRDTCX[icomp];
    const auto& rows = WCFTCX[icomp];
    const double tau = n[kDilNum] + n[kDilDen] > 0 ? T / red[kTdil] : 1.0;
    const double R = GCNST.r;
    // The viscosity and heat capacity are evaluated only when a row asks.
    double eta0 = 0.0, cp0 = 0.0;
    bool have_eta = false, have_cp = false;
    auto eta = [&] {
        if (!have_eta) {
            int jerr = 0;
            std::string jtext;
            ETAK0(icomp, T, eta0, jerr, jtext);
            have_eta = true;
            if (jerr > 0) no_viscosity = true;
        }
        return eta0;
    };
    auto cp = [&] {
        if (!have_cp) {
            cp0 = CP0K(icomp, T);
            have_cp = true;
        }
        return cp0;
    };
    const PlainDilute plain{n, rows};
    const double tau_c = n[kDilNum] + n[kDilDen] > 0 ? CCON.tc[icomp] / red[kTdil] : 1.0;
    if (double v = 0.0; plain.plain() && continued_below_sound(plain, tau, tau_c, v))
        return v * red[kLamDil];
    double s = 0.0;
    for (int k = 0; k < n[kDilNum]; ++k) {
        const auto& row = rows[static_cast<std::size_t>(k)];
        switch (special(row[1], false)) {
            case kNone: s += row[0] * power(tau, row[1]); break;
            case kIntFactor: s *= 1.0 + row[0] * (cp() - 2.5 * R); break;
            case kCp0Eta: s += row[0] * (cp() - R) * eta(); break;
            case kEta: s += row[0] * eta(); break;
            case kTranslational:
                s = ((cp() / R - 2.5) * s + 3.75) * R * eta() / CCON.wm[icomp];
                break;
            default: break;
        }
    }
    if (n[kDilDen] >= 1) {
        double q = 0.0;
        for (int k = n[kDilNum]; k < n[kDilNum] + n[kDilDen]; ++k) {
            const auto& row = rows[static_cast<std::size_t>(k)];
            q += row[0] * power(tau, row[1]);
        }
        s /= q;
    }
    return s * red[kLamDil];
}

double TCX1BK(int icomp, double T, double D) {
    const auto& n = WNTTCX[icomp];
    const auto& red = WRDTCX[icomp];
    const auto& rows = WCFTCX[icomp];
    double tau = 1.0, del = 1.0;
    if (n[kBkNum] + n[kBkDen] > 0) {
        tau = T / red[kTbk];
        del = D / red[kDbk];
    }
    const int first = n[kDilNum] + n[kDilDen];
    double s = 0.0;
    for (int k = first; k < first + n[kBkNum]; ++k) {
        const auto& row = rows[static_cast<std::size_t>(k)];
        const double l = row[3];
        switch (special(l, true)) {
            case kNone: {
                double t = row[0] * power(tau, row[1]) * power(del, row[2]);
                if (std::fabs(l) > 1e-20) t *= std::exp(-std::pow(del, l));
                s += t;
                break;
            }
            case kCritExp:
                if (T < red[kTbk] && D < red[kDbk])
                    s /= critical_exponential(std::cbrt(1.0 - T / red[kTbk]));
                break;
            default: break;
        }
    }
    if (n[kBkDen] > 0 && del > 0.0) {
        double q = 0.0;
        for (int k = first + n[kBkNum]; k < first + n[kBkNum] + n[kBkDen]; ++k) {
            const auto& row = rows[static_cast<std::size_t>(k)];
            q += row[0] * power(tau, row[1]) * power(del, row[2]);
        }
        if (std::fabs(q) > 1e-20) s /= q;
    }
    return s * red[kLamBk];
}

}  // namespace lib
