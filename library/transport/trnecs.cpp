// TRNECS for a pure fluid, the mapping onto a reference fluid, and the
// component background terms of the mixture route.
#include "library/transport/trnecs.h"

#include <algorithm>
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
#include "library/transport/models.h"
#include "library/transport/records.h"
#include "library/transport/tcxk.h"

namespace lib {

namespace {

bool within_10_percent(double v, double start) { return std::fabs(v / start - 1.0) <= 0.1; }

void no_model(int& ierr, std::string& herr) {
    fail(55, "TRNECS",
         "no corresponding-states transport model: the fluid has no ECS block or its "
         "reference fluid is not loaded",
         ierr, herr);
}

// No values beyond the block's limits: an error (c1cc6 at 175.54 K, 10.3986
// mol/L, 421.7 MPa, above its maximum density, once gave -1 and the markers).
void out_of_bounds(int& ierr, std::string& herr) {
    fail(1, "TRNECS", "one or more inputs are out of bounds", ierr, herr);
}

// Residual Helmholtz energy and Z of composition x at (T, D).
bool residual_state(double T, double D, const double x[20], double& alphar, double& Z) {
    int ic = 0;
    double tred = 0.0, dred = 0.0;
    if (!reducing_point(x, ic, tred, dred)) return false;
    const double tau = tred / T, del = D / dred;
    alphar = PHIX(0, 0, tau, del, x);
    Z = 1.0 + PHIX(0, 1, tau, del, x);
    return std::isfinite(alphar) && std::isfinite(Z);
}

// |alphar| + |Z - 1| below which a state is mapped by the critical ratios
// and above which by its solved conformal state (blended between): in the
// gas the conformal equations lose their condition (alphar and Z - 1 both
// tend to B D) and Newton's method often fails there (dee's saturated
// vapour at 364 K onto propane: f 2.46 or -58 between neighbours, against
// 1.26 by the critical ratios).
constexpr double kDiluteResiduals[2] = {0.02, 0.2};

// Below this ratio of the conformal equations' relative condition (see
// fold_margin) to |alphar| + |Z - 1| (at most 1) the solved ratios lose their
// weight, as the square of the ratio: in the gas the condition falls in
// proportion to the residuals (0.03-0.07 of them in the vapours of r218 onto
// propane), but at a fold of the equations it reaches 0 and beyond it no
// conformal state exists; the critical ratios then stand, and the solved ones
// must have no weight where they end (r218 at 101.325 kPa: 11.6378 uPa s at
// 278.3 K, 11.6018 at 278.4 K, a step of 8 times its neighbours').
constexpr double kFoldMargin = 0.01;

// Share of the reach of the reference's models (conformal_temperature_share)
// beyond which the solved ratios lose their weight, as the square of the
// remaining share: a conformal state beyond the reach is no state of the
// reference (r14's gas at 7.5 MPa onto nitrogen: 850 K at 560 K, beyond
// the reach, 4400 K, at 571.4 K, where the viscosity stepped by 2.9 %).
constexpr double kReachRamp = 0.7;

// Ratios of solved to critical ratios (f or h) between which a solved
// state of a gas loses its weight, and beyond which it has none.  Where the
// conformal equations lose their condition a solve finds states far from
// the critical ratios on a branch that ends at a fold within a fraction of a
// kelvin; its weight fell to 0 there at once (r32 in R472B's gas at 5 MPa
// and 678 K onto propane: 199 K and 0.018 mol/L against 713 K and 0.56
// mol/L by the critical ratios; the conductivity stepped by 0.35 % at 620
// K).  The loss is whole up to w = 0.5 (w the solved state's share by
// the residuals) and none at w = 1: liquids keep their solved states.
constexpr double kGasDeviation[2] = {2.0, 4.0};

double gas_plausibility(double f_ratio, double h_ratio, double w) {
    const double dev = std::max(std::fabs(std::log(f_ratio)), std::fabs(std::log(h_ratio)));
    const double lo = std::log(kGasDeviation[0]), hi = std::log(kGasDeviation[1]);
    if (!(dev > lo)) return 1.0;
    const double r = dev < hi ? (hi - dev) / (hi - lo) : 0.0;
    return 1.0 - (1.0 - r * r) * std::min(1.0, 2.0 * (1.0 - w));
}

// Steps of the homotopy below, Newton passes per step and the tolerance of
// the residuals (alphar and Z - 1 of the reference).
constexpr int kHomotopySteps = 16;
constexpr int kNewtonPasses = 30;
constexpr double kConformalTolerance = 1e-11;

// Newton's method on (tau, delta) of slot ref for the residual values
// (alphar, Z - 1), from (tau, del); no test of the reference's stability:
// the conformal state of a supercritical state may lie in the reference's
// two-phase region (r114 at 419.25 K, 2.670 mol/L onto r134a at 368.6 K,
// 3.43 mol/L).
bool conformal_newton(int ref, double alphar, double zm1, double& tau, double& del) {
    for (int pass = 0; pass < kNewtonPasses; ++pass) {
        const double p00 = PHIK(ref, 0, 0, tau, del), p01 = PHIK(ref, 0, 1, tau, del);
        const double f1 = alphar - p00, f2 = zm1 - p01;
        if (std::fabs(f1) + std::fabs(f2) < kConformalTolerance) return true;
        const double p02 = PHIK(ref, 0, 2, tau, del), p10 = PHIK(ref, 1, 0, tau, del);
        const double p11 = PHIK(ref, 1, 1, tau, del);
        const double j11 = p10 / tau, j12 = p01 / del, j21 = p11 / tau, j22 = (p02 + p01) / del;
        const double det = j11 * j22 - j12 * j21;
        if (!(std::fabs(det) > 0.0) || !std::isfinite(det)) return false;
        double dtau = (j22 * f1 - j12 * f2) / det, ddel = (j11 * f2 - j21 * f1) / det;
        const double cap_t = 0.1 * tau, cap_d = 0.1 * del;
        if (std::fabs(dtau) > cap_t) dtau = std::copysign(cap_t, dtau);
        if (std::fabs(ddel) > cap_d) ddel = std::copysign(cap_d, ddel);
        tau += dtau;
        del += ddel;
        if (!(tau > 0.0 && del > 0.0) || !std::isfinite(tau) || !std::isfinite(del)) return false;
    }
    return false;
}

// The determinant of the conformal equations' Jacobian in (ln tau, ln
// delta) of slot ref at (T0, D0) over the sum of the magnitudes of its two
// products: 1 in a liquid, 0 at a fold.
double fold_margin(int ref, double T0, double D0) {
    double tred = 0.0, dred = 0.0;
    REDK(ref, tred, dred);
    const double tau = tred / T0, del = D0 / dred;
    const double p01 = PHIK(ref, 0, 1, tau, del), p02 = PHIK(ref, 0, 2, tau, del);
    const double p10 = PHIK(ref, 1, 0, tau, del), p11 = PHIK(ref, 1, 1, tau, del);
    const double a = p10 * (p02 + p01), b = p01 * p11;
    const double scale = std::fabs(a) + std::fabs(b);
    if (!(scale > 0.0) || !std::isfinite(scale)) return 0.0;
    return std::fabs(a - b) / scale;
}

// Background scaling factors of viscosity and conductivity.
double eta_factor(const EcsMap& m, double M, double Mref) {
    return std::sqrt(m.f * M / Mref) * std::pow(m.h, -2.0 / 3.0);
}
double tcx_factor(const EcsMap& m, double M, double Mref) {
    return std::sqrt(m.f * Mref / M) * std::pow(m.h, -2.0 / 3.0);
}

// TRNECS for the component i that x stands for, against slot ref.
void trnecs_pure(int i, int ref, double T, double D, const double x[20], double& eta, double& tcx,
                 int& ierr, std::string& herr) {
    if (!ecs_block_loaded(i) || !reference_ready(ref)) return no_model(ierr, herr);
    if (T < WLMTRN.tmin[i] || T > 1.5 * WLMTRN.tmax[i] || D > WLMTRN.dmax[i])
        return out_of_bounds(ierr, herr);
    double tc = 0.0, pc = 0.0, dc = 0.0, alphar = 0.0, Z = 1.0;
    int jerr = 0;
    std::string jtext;
    CRITP(x, tc, pc, dc, jerr, jtext);
    if (!residual_state(T, D, x, alphar, Z)) return no_model(ierr, herr);
    EcsMap m;
    int merr = 0;
    std::string mtext;
    map_onto(ref, T, D, alphar, Z, tc, dc, m, merr, mtext);
    if (merr != 0) {
        // Without a conformal state the critical ratios map the state (as
        // they do every dilute one); the warning stays.
        m.f = m.f_start;
        m.h = m.h_start;
        m.T0 = T / m.f;
        m.D0 = D * m.h;
    }
    estimate_lj(i, ref, m.f, m.h);

    const double M = CCON.wm[i], Mref = CCON.wm[ref];
    const double Tr = T / tc, Dr = D / dc;
    // Viscosity.
    const double eta0 = ETA0DG(i, T);
    double eta_ref = 0.0;
    int eerr = 0;
    std::string etext;
    ETAKB(ref, m.T0, m.D0 * PSI(i, Tr, Dr), eta_ref, eerr, etext);
    // A reference correlation without a value at the conformal state (far
    // beyond its close-packed density, say) gives no viscosity: taking its
    // background as 0 would hand out the dilute gas for a liquid.
    if (eerr <= 0 && !(eta_ref > -1000.0))
        fail(48, "TRNECS",
             "invalid region for viscosity of reference fluid: no value at the conformal state",
             eerr, etext);
    eta = eerr > 0 ? kMarker9 : eta0 + eta_ref * eta_factor(m, M, Mref);
    // Conductivity: translational and internal-energy dilute parts and the
    // reference's background.
    const double R = GCNST.r;
    double tcx_ref = 0.0;
    int terr = 0;
    std::string ttext;
    TCXKB(ref, m.T0, m.D0 * CHI(i, Tr, Dr), tcx_ref, terr, ttext);
    const double lambda = 0.015 * R * eta0 / (4.0 * M) +
                          FINT(i, T) * eta0 / M * (CP0K(i, T) - 2.5 * R) +
                          tcx_ref * tcx_factor(m, M, Mref);
    tcx = terr > 0 ? kMarker9 : lambda;
    // Critical enhancement, at most the value without it.
    int cerr = 0;
    std::string ctext;
    if (terr <= 0) {
        CRTENH.v[3] = eta;
        double lc = TCXM1C(x, T, D, cerr, ctext);
        if (cerr == -60) {
            tcx = kMarker9;
        } else {
            tcx = lambda + std::min(lc, lambda);
        }
    }
    // Reports, the most serious last.
    if (eerr != 0) {
        ierr = eerr;
        herr = etext;
    }
    if (cerr != 0 && ierr == 0) {
        ierr = cerr;
        herr = ctext;
    }
    if (terr > 0) {
        ierr = terr;
        herr = ttext;
    }
    if (merr != 0 && ierr <= 0) {
        ierr = merr;
        herr = mtext;
    }
}

}  // namespace

// The conformal state by steps from the start (T0, D0), whose own residual
// values are the first target, to (alphar, Z): where CONFTD from the
// critical ratios does not converge (r114 near 420.6 K, 3.3932 mol/L: -58,
// the critical ratios instead and the conductivity doubled between
// neighbours).  False when a step fails.
bool conformal_by_steps(int ref, double alphar, double Z, double& T0, double& D0) {
    double tred = 0.0, dred = 0.0;
    REDK(ref, tred, dred);
    if (!(tred > 0.0 && dred > 0.0 && T0 > 0.0 && D0 > 0.0)) return false;
    double tau = tred / T0, del = D0 / dred;
    const double a0 = PHIK(ref, 0, 0, tau, del), z0 = PHIK(ref, 0, 1, tau, del);
    if (!std::isfinite(a0) || !std::isfinite(z0)) return false;
    for (int k = 1; k <= kHomotopySteps; ++k) {
        const double s = static_cast<double>(k) / kHomotopySteps;
        if (!conformal_newton(ref, a0 + s * (alphar - a0), z0 + s * (Z - 1.0 - z0), tau, del))
            return false;
    }
    T0 = tred / tau;
    D0 = del * dred;
    return conformal_temperature_ok(ref, T0);
}

bool reference_ready(int ref) {
    if (ref < kMinSlot || ref > kMaxSlot || !residual_model_ready(ref)) return false;
    const ViscosityModel* v = viscosity_model(TRNMOD.eta[ref]);
    const ConductivityModel* c = conductivity_model(TRNMOD.tcx[ref]);
    return v != nullptr && v->built && c != nullptr && c->built;
}

void map_onto(int ref, double T, double D, double alphar, double Z, double tc, double dc, EcsMap& m,
              int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const double tc_ref = CCON.tc[ref], dc_ref = CCON.dc[ref];
    m.T0 = T * tc_ref / tc;
    m.D0 = D * dc_ref / dc;
    m.f_start = tc / tc_ref;
    m.h_start = dc_ref / dc;
    const double t0_start = m.T0;
    m.f = m.f_start;
    m.h = m.h_start;
    // The conformal state is solved wherever it has weight: with the
    // critical ratios in gas states and the solved state in dense ones by a
    // switch the values stepped where the one gave way to the other (d6 at
    // 673 K: 15.34 uPa s at 0.31515 mol/L, 17.19 at 0.31530).
    // In the gas the critical ratios, blended into the solved ratios as
    // |alphar| + |Z - 1| rises through kDiluteResiduals.
    const double residuals = std::fabs(alphar) + std::fabs(Z - 1.0);
    if (!(residuals > kDiluteResiduals[0])) return;
    m.solved = true;
    double T0 = m.T0, D0 = m.D0;
    CONFTD(ref, alphar, Z, T0, D0, ierr, herr);
    if (ierr == -58) {
        double T1 = m.T0, D1 = m.D0;
        if (conformal_by_steps(ref, alphar, Z, T1, D1)) {
            T0 = T1;
            D0 = D1;
            ierr = 0;
            herr.clear();
        }
    }
    const bool converged = ierr == 0;
    const double w = std::min(
        1.0, (residuals - kDiluteResiduals[0]) / (kDiluteResiduals[1] - kDiluteResiduals[0]));
    // The warning is judged on the ratios before they fade (below).
    if (ierr == -58 && t0_start >= 1.0 &&
        within_10_percent(std::pow(m.f_start, 1.0 - w) * std::pow(T / T0, w), m.f_start) &&
        within_10_percent(std::pow(m.h_start, 1.0 - w) * std::pow(D0 / D, w), m.h_start)) {
        ierr = 0;
        herr.clear();
    }
    // The last iterate of a solve that failed is no conformal state (r14 at
    // 2.25 MPa, 587.8 K: 8e8 K): the critical ratios.
    double fade = 0.0;
    if (converged) {
        fade = 1.0;
        const double r = fold_margin(ref, T0, D0) / (kFoldMargin * std::min(residuals, 1.0));
        if (r < 1.0) fade *= r * r;
    }
    const double share = conformal_temperature_share(ref, T0);
    if (share > kReachRamp) {
        const double q = std::max(0.0, (1.0 - share) / (1.0 - kReachRamp));
        fade *= q * q;
    }
    if (converged) fade *= gas_plausibility(T / T0 / m.f_start, D0 / D / m.h_start, w);
    m.f = std::pow(m.f_start, 1.0 - w * fade) * std::pow(T / T0, w * fade);
    m.h = std::pow(m.h_start, 1.0 - w * fade) * std::pow(D0 / D, w * fade);
    m.T0 = T / m.f;
    m.D0 = D * m.h;
}

void reference_lj(int ref, double& sigma, double& epsk) {
    sigma = WLJETA[ref][0];
    epsk = WLJETA[ref][1];
    if ((sigma == 0.0 || epsk == 0.0) && ecs_block_loaded(ref)) {
        sigma = ECSTRN.sigma[ref];
        epsk = ECSTRN.epsk[ref];
    }
}

void estimate_lj(int i, int ref, double f, double h) {
    const int flag = ECSTRN.ljflag[i];
    if (flag == 1) return;
    double sigma = 0.0, epsk = 0.0;
    reference_lj(ref, sigma, epsk);
    if (flag == 0) {
        ECSTRN.epsk[i] = epsk * CCON.tc[i] / CCON.tc[ref];
        ECSTRN.sigma[i] = sigma * std::cbrt(CCON.dc[ref] / CCON.dc[i]);
    } else if (flag == 2) {
        ECSTRN.epsk[i] = epsk * f;
        ECSTRN.sigma[i] = sigma * std::cbrt(h);
    }
}

void PTRNEC(int i, double T, double D, double& etabk, double& tcxbk, int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    etabk = tcxbk = 0.0;
    const int ref = transport_reference(i);
    if (!ecs_block_loaded(i) || !reference_ready(ref)) return no_model(ierr, herr);
    double x[20] = {};
    x[i - 1] = 1.0;
    double alphar = 0.0, Z = 1.0;
    if (!residual_state(T, D, x, alphar, Z)) return no_model(ierr, herr);
    EcsMap m;
    // Without a conformal state (-58) map_onto leaves the critical ratios,
    // which map the state as they map every dilute one; the warning stays.
    // Returning no background there dropped the component from the
    // mixture's pair sums (r32 in R472B's gas at 620 K and 5 MPa: the
    // conductivity fell by 2 % within 0.2 K).
    map_onto(ref, T, D, alphar, Z, CCON.tc[i], CCON.dc[i], m, ierr, herr);
    if (ierr > 0) return;
    const double M = CCON.wm[i], Mref = CCON.wm[ref];
    const double Tr = T / CCON.tc[i], Dr = D / CCON.dc[i];
    double eta_ref = 0.0, tcx_ref = 0.0;
    int jerr = 0;
    std::string jtext;
    ETAKB(ref, m.T0, m.D0 * PSI(i, Tr, Dr), eta_ref, jerr, jtext);
    if (jerr > 0) {
        ierr = jerr;
        herr = jtext;
        return;
    }
    TCXKB(ref, m.T0, m.D0 * CHI(i, Tr, Dr), tcx_ref, jerr, jtext);
    if (jerr > 0) {
        ierr = jerr;
        herr = jtext;
        return;
    }
    etabk = eta_ref * eta_factor(m, M, Mref);
    tcxbk = tcx_ref * tcx_factor(m, M, Mref);
}

double ETABKP(int i, double T, double D, int& ierr, std::string& herr) {
    double etabk = 0.0, tcxbk = 0.0;
    PTRNEC(i, T, D, etabk, tcxbk, ierr, herr);
    return etabk;
}

void TRNECS(double T, double D, const double x[20], double& eta, double& tcx, int& ierr,
            std::string& herr) {
    ierr = 0;
    herr.clear();
    eta = tcx = kMarker9;
    if (!(T > 0.0) || !(D >= 0.0) || !std::isfinite(T) || !std::isfinite(D))
        return out_of_bounds(ierr, herr);
    RMIX(x);
    const int i = ISPURE(x);
    if (i == 0) return trnecs_mixture(T, D, x, eta, tcx, ierr, herr);
    trnecs_pure(i, transport_reference(i), T, D, x, eta, tcx, ierr, herr);
}

}  // namespace lib
