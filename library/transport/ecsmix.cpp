// The corresponding-states transport route of a mixture: the mixture and
// each component mapped onto reference fluids, pair rules for the
// background terms, kinetic theory for the dilute gas.
#include <algorithm>
#include <array>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/idealgas.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/transport/crossover.h"
#include "library/transport/ecsmap.h"
#include "library/transport/etak.h"
#include "library/transport/etamix.h"
#include "library/transport/records.h"
#include "library/transport/tcxk.h"
#include "library/transport/trnecs.h"

namespace lib {

namespace {

constexpr int kRef = 0;  // the mixture's reference fluid

using Vec = std::array<double, kMaxComp>;

// Per-component conformal ratios and the mixture's.
struct MixMap {
    EcsMap mix;
    Vec f{}, h{};
    double tc = 0.0, dc = 0.0;
};

void no_mixture_model(const std::string& why, int& ierr, std::string& herr) {
    fail(56, "TRNECS", "transport properties of mixtures need the mixture model: " + why, ierr,
         herr);
}

void near_zero(int& ierr, std::string& herr) {
    fail(-59, "TRNECS",
         "2-D Newton-Raphson method for conformal temperature and density did not converge "
         "for component" +
             fmt_int(0, 3),
         ierr, herr, kNumberAbsolute);
}

double bin(int i, int j, int which) {
    return TRNBIN.p[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]
                   [static_cast<std::size_t>(which)];
}

bool within_10_percent(double v, double start) { return std::fabs(v / start - 1.0) <= 0.1; }

// (dp/dT) at constant density over rho R below which a component's
// conformal state loses its weight to the start ratios, as the square of the
// ratio; none at or below 0.  A state of a component's equation where the
// pressure falls as the temperature rises is no state of a fluid: far below
// its triple point the equation folds back there, and the solved state
// leapt between such branches (r22 in R414B's liquid at 101.325 kPa: its
// conformal state near 91.8 K moved from 19.23 to 20.38 mol/L between 95.8
// and 96.0 K, and the viscosity fell by 29 %).  Gases lie near 1, liquids
// far above it.
constexpr double kThermalPressureFloor = 0.5;

double thermal_pressure_weight(int i, double T0, double D0) {
    double tred = 0.0, dred = 0.0;
    REDK(i, tred, dred);
    const double tau = tred / T0, del = D0 / dred;
    const double beta = 1.0 + PHIK(i, 0, 1, tau, del) - PHIK(i, 1, 1, tau, del);
    if (!(beta < kThermalPressureFloor)) return 1.0;
    if (!(beta > 0.0)) return 0.0;
    const double r = beta / kThermalPressureFloor;
    return r * r;
}

// Compressibility factor at and below which a component's conformal state
// is solved, and the share of its critical density at which the start
// density solves it; the solved ratios gain their weight linearly over
// kSolveBand beyond each (to Z = 0.35 and 0.9 of the critical density),
// where a switch made the values step (R472B's gas at 30 MPa: r32's ratio f
// by 3.5 % and the conductivity by 0.19 % between 483.0 and 483.2 K, where
// the mixture's density fell below its critical one).
constexpr double kSolveZ = 0.3;
constexpr double kSolveBand[2] = {0.05, 0.1};

double solve_weight(double Z, double start_over_critical) {
    const double by_z = (kSolveZ + kSolveBand[0] - Z) / kSolveBand[0];
    const double by_d = (start_over_critical - (1.0 - kSolveBand[1])) / kSolveBand[1];
    return std::clamp(std::max(by_z, by_d), 0.0, 1.0);
}

// Ratios of one component: f and h, and the start ratios they leave.
struct Ratios {
    double f = 1.0, h = 1.0, f_start = 1.0, h_start = 1.0;
    // f and h moved towards the start ratios, keeping the share w of their own.
    void keep_share(double w) {
        f = std::pow(f_start, 1.0 - w) * std::pow(f, w);
        h = std::pow(h_start, 1.0 - w) * std::pow(h, w);
    }
};

// Component i's conformal state from the start (T0, D0): CONFTD, else by
// steps from the start (R411A at 372.67 K, 6.19 mol/L, next to its critical
// point: r152a's conformal state).  jerr -58 when neither converged.
void solve_component(int i, double alphar, double Z, double& T0, double& D0, int& jerr,
                     std::string& jtext) {
    double T1 = T0, D1 = D0;
    CONFTD(i, alphar, Z, T0, D0, jerr, jtext);
    if (jerr != -58 || !conformal_by_steps(i, alphar, Z, T1, D1)) return;
    T0 = T1;
    D0 = D1;
    jerr = 0;
    jtext.clear();
}

// Step 3 for component i: its ratios; a -58 that stands goes to ierr/herr.
Ratios component_ratio(int i, double T, double D, double alphar, double Z, const MixMap& mm,
                       int& ierr, std::string& herr) {
    Ratios r;
    r.f = r.f_start = mm.mix.f * CCON.tc[i] / mm.tc;
    r.h = r.h_start = mm.mix.h * mm.dc / CCON.dc[i];
    const double t_start = T * CCON.tc[i] / mm.tc;
    double T0 = t_start, D0 = D * CCON.dc[i] / mm.dc;
    const double ws = solve_weight(Z, D0 / CCON.dc[i]);
    if (!(ws > 0.0)) return r;
    int jerr = 0;
    std::string jtext;
    solve_component(i, alphar, Z, T0, D0, jerr, jtext);
    r.f = mm.mix.f * T0 / T;
    r.h = mm.mix.h * D / D0;
    r.keep_share(thermal_pressure_weight(i, T0, D0));  // also a failed solve's last iterate
    bool keep = jerr == -58 && (!within_10_percent(r.f, r.f_start) ||
                                !within_10_percent(r.h, r.h_start) || t_start < 1.0);
    // Where the solved ratios have only part of the weight a failed solve
    // leaves the start ratios, without a warning.  Above the mixture's
    // critical temperature a solve that failed far from the start gives no
    // ratios to blend from: the start ratios (helium with 1e-3 of hexane at
    // 202.86 K, 34.74 mol/L: hexane's last iterate at 3.8e9 K gave 11894
    // W/(m K) instead of helium's 0.18).
    const bool blend_to_1000 = Z > kSolveZ && T > mm.tc;
    if (keep && (ws < 1.0 || blend_to_1000)) {
        r.keep_share(0.0);
        keep = false;
    }
    if (blend_to_1000) {
        // Towards the start ratios, reached at 1000 K.
        const double w = mm.tc >= 1000.0 ? 1.0 : std::min(1.0, (T - mm.tc) / (1000.0 - mm.tc));
        r.f += w * (r.f_start - r.f);
        r.h += w * (r.h_start - r.h);
    }
    if (keep) {
        // The start ratios stand, with the warning (a conformal state
        // not found beside them carried no digits: r23 + toluene's
        // liquid at 180 K, 10.56 mol/L, with 9e-5 of r23 stepped by
        // 2e-5 between densities 2e-8 apart, then failed).
        r.keep_share(0.0);
        ierr = jerr;
        herr = jtext;
    }
    r.keep_share(ws);
    return r;
}

// Step 3: component conformal ratios.  A -58 of a component stands in
// ierr/herr, with its start ratios.
void component_ratios(double T, double D, const double x[20], double alphar, double Z, MixMap& mm,
                      int& ierr, std::string& herr) {
    for (int i = 1; i <= NCOMP.nc; ++i) {
        if (!(x[i - 1] > 0.0)) continue;
        const auto u = static_cast<std::size_t>(i - 1);
        const Ratios r = component_ratio(i, T, D, alphar, Z, mm, ierr, herr);
        mm.f[u] = r.f;
        mm.h[u] = r.h;
    }
}

// Pair sums S = sum_ij x_i x_j sqrt(f_ij M_ij^s) h_ij^(4/3), s = +1 (viscosity)
// or -1 (conductivity), with the pair parameters at kk and kk + 1.
double pair_sum(const double x[20], const MixMap& mm, const Vec& M, int kk, double s) {
    double sum = 0.0;
    for (int i = 1; i <= NCOMP.nc; ++i) {
        if (!(x[i - 1] > 0.0)) continue;
        for (int j = 1; j <= NCOMP.nc; ++j) {
            if (!(x[j - 1] > 0.0)) continue;
            const auto ui = static_cast<std::size_t>(i - 1), uj = static_cast<std::size_t>(j - 1);
            const double k = i == j ? 0.0 : bin(i, j, kk), l = i == j ? 0.0 : bin(i, j, kk + 1);
            const double fij = (1.0 - k) * std::sqrt(mm.f[ui] * mm.f[uj]);
            const double a = std::cbrt(mm.h[ui]) + std::cbrt(mm.h[uj]);
            const double hij = i == j ? mm.h[ui] : (1.0 - l) * a * a * a / 8.0;
            const double mij = i == j ? M[ui] : 2.0 * M[ui] * M[uj] / (M[ui] + M[uj]);
            sum +=
                x[i - 1] * x[j - 1] * std::sqrt(fij * std::pow(mij, s)) * std::pow(hij, 4.0 / 3.0);
        }
    }
    return sum;
}

// Steps 5-9: the viscosity.  Returns false with -59 or an error.
bool mixture_viscosity(double T, double D, const double x[20], const MixMap& mm, double& eta,
                       int& ierr, std::string& herr) {
    int jerr = 0;
    std::string jtext;
    double eta_ref = 0.0;
    ETAKB(kRef, mm.mix.T0, mm.mix.D0, eta_ref, jerr, jtext);
    if (jerr > 0) {
        ierr = jerr;
        herr = jtext;
        return false;
    }
    // Without a background term (the dilute gas) the viscosity is the
    // dilute-gas value: no effective masses are formed.
    const bool background = std::fabs(eta_ref) >= 1e-20;
    eta_ref = std::max(eta_ref, 1e-6);
    const double Mref = CCON.wm[kRef];
    Vec Meff{};
    for (int i = 1; i <= NCOMP.nc && background; ++i) {
        if (!(x[i - 1] > 0.0)) continue;
        const auto u = static_cast<std::size_t>(i - 1);
        double Ti = T * mm.f[u] / mm.mix.f, Di = D * mm.mix.h / mm.h[u];
        double eta_i = 0.0;
        if (!TRNMOD.eta[i].starts("EC")) {
            double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
            int lerr = 0;
            std::string ltext;
            LIMITK("ETA", i, Ti, Di, 0.0, tmin, tmax, dmax, pmax, lerr, ltext);
            Ti = std::max(Ti, tmin);
            Di = std::min(Di, dmax);
            ETAKB(i, Ti, Di, eta_i, jerr, jtext);
        } else {
            eta_i = ETABKP(i, Ti, Di, jerr, jtext);
        }
        if (jerr > 0) {
            ierr = jerr;
            herr = jtext;
            return false;
        }
        eta_i = std::max(eta_i, 1e-12);
        const double r = eta_i / eta_ref * std::pow(mm.h[u], 2.0 / 3.0) / std::sqrt(mm.f[u]);
        Meff[u] = Mref * r * r;
    }
    const double eta0 = ETAMIX(T, x, jerr, jtext);
    if (jerr > 0 || std::fabs(eta0) < 1e-20) {
        near_zero(ierr, herr);
        return false;
    }
    eta = eta0;
    if (background)
        eta += eta_ref * pair_sum(x, mm, Meff, kBinEtaK, 1.0) /
               (mm.mix.h * mm.mix.h * std::sqrt(Mref));
    return true;
}

// Kinetic theory's dilute-gas conductivity of component i: the
// translational part and the internal-energy part.
double kinetic_dilute(int i, double T) {
    const double R = GCNST.r, M = CCON.wm[i], eta0 = ETA0DG(i, T);
    return 0.015 * R * eta0 / (4.0 * M) + FINT(i, T) * eta0 / M * (CP0K(i, T) - 2.5 * R);
}

// The dilute-gas conductivity of component i by its own correlation; below
// the correlation's lower temperature (a component of a mixture far below
// its own triple point) kinetic theory's value, scaled to meet the
// correlation there.  A fitted dilute-gas term has no meaning far below its
// range: carbon dioxide's denominator polynomial in 1/T has a pole near
// 73 K (0.28 W/(m K) at 74 K, which raised dry air's conductivity with 380
// ppm of it by 1.7 %, and no value below).
void component_dilute(int i, double T, double& lam0, int& ierr, std::string& herr) {
    double tmin = 0.0, tmax = 0.0, dmax = 0.0, pmax = 0.0;
    int lerr = 0;
    std::string ltext;
    LIMITK("TCX", i, T, 0.0, 0.0, tmin, tmax, dmax, pmax, lerr, ltext);
    if (!(T < tmin)) return TCXK0(i, T, lam0, ierr, herr);
    double at_edge = 0.0;
    TCXK0(i, tmin, at_edge, ierr, herr);
    const double at_t = kinetic_dilute(i, T), at_tmin = kinetic_dilute(i, tmin);
    if (ierr <= 0 && at_edge > 0.0 && at_t > 0.0 && at_tmin > 0.0) {
        lam0 = at_edge * at_t / at_tmin;
        return;
    }
    // Without kinetic theory's value (no Lennard-Jones parameters) the
    // correlation's own.
    TCXK0(i, T, lam0, ierr, herr);
}

// Step 10: the conductivity without the enhancement (TCBKMX).
bool TCBKMX(double T, double D, const double x[20], const MixMap& mm, double& tcx, int& ierr,
            std::string& herr) {
    int jerr = 0;
    std::string jtext;
    double lam_ref = 0.0;
    TCXKB(kRef, T / mm.mix.f, D * mm.mix.h, lam_ref, jerr, jtext);
    if (jerr > 0) {
        ierr = jerr;
        herr = jtext;
        return false;
    }
    lam_ref = std::max(lam_ref, 1e-16);
    const double Mref = CCON.wm[kRef];
    Vec Mlam{}, lam0{}, eta0{}, M{};
    for (int i = 1; i <= NCOMP.nc; ++i) {
        if (!(x[i - 1] > 0.0)) continue;
        const auto u = static_cast<std::size_t>(i - 1);
        const double Ti = T * mm.f[u] / mm.mix.f, Di = D * mm.mix.h / mm.h[u];
        M[u] = CCON.wm[i];
        eta0[u] = ETA0DG(i, T);
        double bk = 0.0;
        if (!TRNMOD.tcx[i].starts("EC")) {
            component_dilute(i, T, lam0[u], jerr, jtext);
            if (jerr <= 0) TCXKB(i, Ti, Di, bk, jerr, jtext);
        } else {
            lam0[u] = kinetic_dilute(i, T);
            double etabk = 0.0;
            PTRNEC(i, Ti, Di, etabk, bk, jerr, jtext);
        }
        if (jerr > 0) {
            ierr = jerr;
            herr = jtext;
            return false;
        }
        bk = std::max(bk, 1e-16);
        const double r = lam_ref / bk * std::sqrt(mm.f[u]) / std::pow(mm.h[u], 2.0 / 3.0);
        Mlam[u] = Mref * r * r;
    }
    const double S = pair_sum(x, mm, Mlam, kBinTcxK, -1.0);
    double dilute = 0.0;
    for (int i = 1; i <= NCOMP.nc; ++i) {
        if (!(x[i - 1] > 0.0)) continue;
        const auto ui = static_cast<std::size_t>(i - 1);
        double den = 0.0;
        for (int j = 1; j <= NCOMP.nc; ++j) {
            if (!(x[j - 1] > 0.0)) continue;
            const auto uj = static_cast<std::size_t>(j - 1);
            double phi = 1.0;
            if (i != j) {
                const double a =
                    1.0 + std::sqrt(eta0[ui] / eta0[uj]) * std::pow(M[ui] / M[uj], 0.25);
                phi = (1.0 - bin(i, j, kBinDilA)) * a * a / std::sqrt(8.0 * (1.0 + M[ui] / M[uj]));
            }
            den += x[j - 1] * phi;
        }
        dilute += x[i - 1] * lam0[ui] / den;
    }
    tcx = std::sqrt(Mref) / (mm.mix.h * mm.mix.h) * S * lam_ref + dilute;
    return std::isfinite(tcx);
}

// Step 11: the crossover enhancement of the mixture, blended with a nearly
// pure component's own enhancement.
double mixture_enhancement(double T, double D, const double x[20], double eta, int& cerr,
                           std::string& ctext) {
    CRTENH.v[3] = eta;
    double lc = TCXM1C(x, T, D, cerr, ctext);
    for (int i = 1; i <= NCOMP.nc; ++i) {
        const double xi = x[i - 1];
        const Code& code = CREMOD.set[kCreTcx][i];
        if (!(xi > 0.99) || code.is("TK3") || code.is("NUL") || code.is("TK6")) continue;
        double lci = 0.0;
        int jerr = 0;
        std::string jtext;
        TCXKC(i, T, D, lci, jerr, jtext);
        if (jerr > 0) continue;
        lc = 100.0 * lc + 100.0 * xi * (lci - lc) - 99.0 * lci;
    }
    return lc;
}

}  // namespace

void trnecs_mixture(double T, double D, const double x[20], double& eta, double& tcx, int& ierr,
                    std::string& herr) {
    eta = tcx = kMarker9;
    MixMap mm;
    double pc = 0.0;
    int jerr = 0;
    std::string jtext;
    CRITP(x, mm.tc, pc, mm.dc, jerr, jtext);
    if (jerr > 0) return no_mixture_model(jtext, ierr, herr);
    int ic = 0;
    double tred = 0.0, dred = 0.0;
    if (!reducing_point(x, ic, tred, dred))
        return no_mixture_model("no reducing point of the mixture", ierr, herr);
    if (!reference_ready(kRef)) return no_mixture_model("no reference fluid loaded", ierr, herr);
    const double alphar = PHIX(0, 0, tred / T, D / dred, x);
    const double Z = 1.0 + PHIX(0, 1, tred / T, D / dred, x);
    // A conformal state not found (-58) is a warning beside the values, as
    // for a pure fluid; it is reported unless something worse is.
    map_onto(kRef, T, D, alphar, Z, mm.tc, mm.dc, mm.mix, ierr, herr);
    if (ierr > 0) return;
    component_ratios(T, D, x, alphar, Z, mm, ierr, herr);
    const int warning = ierr;
    const std::string warning_text = herr;
    ierr = 0;
    herr.clear();
    for (int i = 1; i <= NCOMP.nc; ++i)
        if (x[i - 1] > 0.0)
            estimate_lj(i, kRef, mm.f[static_cast<std::size_t>(i - 1)],
                        mm.h[static_cast<std::size_t>(i - 1)]);
    double e = 0.0, background = 0.0;
    if (!mixture_viscosity(T, D, x, mm, e, ierr, herr)) return;
    eta = e;
    if (!TCBKMX(T, D, x, mm, background, ierr, herr)) return;
    int cerr = 0;
    std::string ctext;
    const double lc = mixture_enhancement(T, D, x, eta, cerr, ctext);
    if (cerr == -60) {
        ierr = cerr;
        herr = ctext;
        return;
    }
    tcx = background + std::min(lc, background);
    if (warning != 0) {
        ierr = warning;
        herr = warning_text;
    }
}

}  // namespace lib
