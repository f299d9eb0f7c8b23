// Saturation at given density: the boundary point (saturated liquid or
// vapour, melting or sublimation line) one of whose phase densities equals the
// given density.  A pure fluid is first tried by a secant on the temperature
// at which the other-phase root has equal Gibbs energy; everything else, and
// whatever that leaves unconverged, goes to a bracketed secant on
// ln(D / Dsat(T)) along the boundary.
#include "library/phase/satd.h"

#include <algorithm>
#include <cmath>

#include "library/models/critp.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/records.h"
#include "library/phase/satcheb.h"
#include "library/phase/satcrit.h"
#include "library/phase/satend.h"
#include "library/phase/satsupport.h"
#include "library/phase/satt.h"
#include "library/phase/tprho.h"
#include "library/setup/records.h"
#include "library/setup/setup.h"

namespace lib {
namespace {

using flash::cut;

constexpr double kWaterDmax = 55.504316185;    // largest saturated-liquid density of water, mol/L
constexpr double kWaterTlow = 251.1650000001;  // lower end of the high-pressure ice curves, K

// The first method's state is found where its residual f (an estimate of
// the step in T, K) is within kGibbsFound; below kGibbsLoose it is kept and
// the secant goes on while f keeps falling (butane's vapour at 147.1 K:
// found 3e-7 K off, the pressure 2e-9 off).
constexpr double kGibbsLoose = 1e-6;
constexpr double kGibbsFound = 1e-11;
// The second method's state is found where |ln(D / Dsat)| is within
// kDensityFound; below kDensityLoose it is kept and the secant goes on at
// most kPolishPasses more passes while the residual falls (water's liquid
// at 300 K came back 2.2e-5 K off, its pressure 1.3e-6 off, with Dl = D not
// the saturated liquid's density at that temperature).
constexpr double kDensityLoose = 1e-7;
constexpr double kDensityFound = 1e-14;
constexpr int kPolishPasses = 6;
// Passes of the second method's secant (close to the critical point, where
// the saturated densities change as the root of Tc - T, it takes some 40:
// air's liquid of 11.657 mol/L, 1e-4 below its equation's Tc, failed after
// 20 with error 161).
constexpr int kSecantPasses = 60;
// The share by which the first method's density may differ from the
// saturation line's at its temperature.
constexpr double kOnTheLine = 1e-6;
// A mixture's second method starts no lower than this factor times the
// temperature below which a component of it freezes.
constexpr double kAboveFreezing = 1.02;
// The bisections of the road next to the critical point, and the width
// (relative, in u = sqrt(te - T)) at which they stop: far below the
// digits of T.  SATT gives the stated critical point within kCriticalBand
// (K) of its temperature.
constexpr int kBisections = 80;
constexpr int kScan = 48;  // steps of the scan in u
constexpr double kClosed = 1e-12;
constexpr double kCriticalBand = 1e-8;
constexpr double kInsideTheRoad = 1.0 - 1e-9;
// The density met by the state found there (relative): the road gives the
// densities to their rounding, some 1e-7 at 1e-7 Tc from the critical point.
constexpr double kMetDensity = 1e-7;

// The other-phase root within this share of D is the root at D itself
// (next to the critical point the vapour root of a liquid's pressure can be
// the liquid's: hydrogen's liquid at 0.999 Tc came back at 33.128 K, not
// 33.112 K, with both densities D and ierr 0).
constexpr double kTrivialShare = 1e-6;

// A density within this share of the triple-point liquid's is that density
// (the saturated liquid at the triple point lay above the stored density and
// was refused as denser: r22 by 2.5e-14, r507a, whose stored value is not
// its equation's, by 2.1e-8).
constexpr double kTripleShare = 1e-6;

// Triple-point vapour density of a pure component (computed on first need).
double& triple_vapour_density(int ic) { return CCON.spare7[ic]; }

bool is_water(int ic) { return ic > 0 && trim_right(CCAS[ic]) == "7732-18-5"; }

struct Out {
    int& kr;
    double& T;
    double& P;
    double& Dl;
    double& Dv;
    double* xl;
    double* xv;
    int& ierr;
    std::string& herr;
};

// The best state of an iteration so far (smallest |f|).
struct Best {
    bool kept = false;
    double f = 0.0, T = 0.0, P = 0.0, Dl = 0.0, Dv = 0.0, xl[20] = {}, xv[20] = {};

    // Keeps the state of o with residual f when it is the best; false when
    // it is not.
    bool keep(double fnew, const Out& o) {
        if (kept && !(std::fabs(fnew) < std::fabs(f))) return false;
        kept = true;
        f = fnew;
        T = o.T;
        P = o.P;
        Dl = o.Dl;
        Dv = o.Dv;
        std::copy(o.xl, o.xl + 20, xl);
        std::copy(o.xv, o.xv + 20, xv);
        return true;
    }
    void restore(Out& o) const {
        o.T = T;
        o.P = P;
        o.Dl = Dl;
        o.Dv = Dv;
        std::copy(xl, xl + 20, o.xl);
        std::copy(xv, xv + 20, o.xv);
    }
};

// The first method: a secant on T for equal Gibbs energies of the root at D
// and the other-phase root at the same pressure.  True when converged.
bool gibbs_secant(double D, const double x[20], double Tc, double Dc, Out& o) {
    const int kr = o.kr;
    if (FXPNT.x[0] < 1e-8) {
        double p = 0, dl = 0, dv = 0, xl[20], xv[20];
        int jerr = 0;
        std::string jmsg;
        SATT(0.72 * Tc, x, kBubblePoint, p, dl, dv, xl, xv, jerr, jmsg);
        if (jerr > 0) return false;
        FXPNT.x[0] = dl;
        FXPNT.x[1] = dv;
    }
    const double dl72 = FXPNT.x[0], dv72 = FXPNT.x[1];
    double T = Tc;
    if (kr == kSaturatedLiquid) {
        if (std::fabs(dl72 - Dc) < 1e-12) return false;
        const double y = D / Dc + (D - Dc) * (1.2 - dl72 / Dc) / (dl72 - Dc) - 1.0;
        const double base = 9.272 * std::log(1.0 + y) - 5.195 * y;
        if (!(y > -1.0)) return false;
        T = Tc * (1.0 - std::pow(std::max(base, 0.0), 2.9673590504451037));
    } else {
        double t = Tc;
        if (dv72 > 0.0) {
            const double L = std::log(dv72 / Dc), M = std::log(D / Dc);
            const double V = (L + 3.5) * std::pow(M / L, 1.3) - M;
            t = V > -1.0 ? 0.5 * std::log(V + 1.0) - 0.026 * std::sqrt(std::max(V, 0.0)) : 0.0;
        }
        if (t < 0.0) t = 0.0;
        T = Tc / (std::pow(t, 2.7027027027027026) + 1.0);
    }
    if (!(T > 0.0) || !std::isfinite(T)) return false;

    double tprev = T + 1e-5, fprev = 0.0, slope = 0.001, f = 0.0;
    Best best;
    for (int pass = 0; pass < 20; ++pass) {
        double P = 0.0;
        PRESS(T, D, x, P);
        if (P < 0.0 || !std::isfinite(P)) return false;
        double other = 0.0;
        int jerr = 0;
        std::string jmsg;
        {
            flash::QuietMessages quiet;
            TPRHO(T, P, x, 3 - kr, kNoStartValue, other, jerr, jmsg);
        }
        if (jerr > 0) return false;
        if (std::fabs(other - D) > kTrivialShare * D) {
            const double dl = kr == kSaturatedLiquid ? D : other,
                         dv = kr == kSaturatedLiquid ? other : D;
            double a = 0, gl = 0, gv = 0, sl = 0, sv = 0;
            GIBBS(T, dl, x, a, gl);
            GIBBS(T, dv, x, a, gv);
            ENTRO(T, dl, x, sl);
            ENTRO(T, dv, x, sv);
            if (std::fabs(sl - sv) > 1e-11) f = (gl - gv) / (sl - sv);
            if (std::fabs(f - fprev) > 1e-11) slope = (T - tprev) / (f - fprev);
            if (std::fabs(f) <= kGibbsLoose) {
                o.T = T;
                o.P = P;
                o.Dl = dl;
                o.Dv = dv;
                if (!best.keep(f, o) || std::fabs(f) <= kGibbsFound) {
                    best.restore(o);
                    return true;
                }
            }
            double tn = T - f * slope;
            if (!(tn > 0.0) || !std::isfinite(tn)) tn = 0.95 * T;
            tprev = T;
            fprev = f;
            T = tn;
        } else {
            T /= 1.00001;
        }
    }
    if (best.kept) best.restore(o);
    return best.kept;
}

// Boundary density at T for the root kind kr (second method); false when the
// boundary could not be evaluated.
bool boundary_density(int kr, double T, double D, const double x[20], int ic, double dsplit,
                      double& dsat, Out& o) {
    int jerr = 0;
    std::string jmsg;
    if (kr == kMeltingLine) {
        double pm = 0.0;
        if (is_water(ic)) {
            double phigh = 0, pih = 0;
            MLTH2O(T, phigh, pih);
            pm = (D < dsplit && pih > 0.0) ? pih : phigh;
        } else {
            MELTT(T, x, pm, jerr, jmsg);
        }
        if (!(pm > 0.0)) return false;
        double d = ic > 0 ? CCON.dtp[ic] : D;
        TPRHO(T, pm, x, kLiquid, kStartValue, d, jerr, jmsg);
        if (jerr > 0 || !(d > 0.0)) return false;
        dsat = d;
        o.P = pm;
        o.Dl = d;
        o.Dv = d;
        return true;
    }
    const int kph = kr == kSaturatedLiquid   ? kBubblePoint
                    : kr == kSaturatedVapour ? kDewPoint
                                             : kSublimationLine;
    double p = 0, dl = 0, dv = 0;
    SATT(T, x, kph, p, dl, dv, o.xl, o.xv, jerr, jmsg);
    if (jerr != 0) return false;
    dsat = kr == kSaturatedLiquid ? dl : dv;
    if (!(dsat > 0.0)) return false;
    o.P = p;
    o.Dl = dl;
    o.Dv = dv;
    return true;
}

// One call of SATD: its inputs, its results bound to the caller's arguments,
// and what the steps find on the way.
class SaturationAtDensity {
public:
    SaturationAtDensity(double D, const double x[20], int kph, int& kr, double& T, double& P,
                        double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                        std::string& herr)
        : D(D),
          x(x),
          kph(kph),
          kr(kr),
          T(T),
          P(P),
          Dl(Dl),
          Dv(Dv),
          xl(xl),
          xv(xv),
          ierr(ierr),
          herr(herr),
          o{kr, T, P, Dl, Dv, xl, xv, ierr, herr} {}

    // The boundary that D lies on is chosen from the critical and
    // triple-point densities; Newton's method on equal Gibbs energies comes
    // first, a secant on ln(D / Dsat(T)) second.
    void run() {
        if (!start() || !in_range() || !critical_point()) return;
        if (std::fabs(D - Dc) < 0.001 && ic > 0) {
            kr = kSaturatedLiquid;
            return;
        }
        triple_point_densities();
        water = is_water(ic);
        if (water &&
            ((D < dtpl && (kph == -1 || kph == 3)) || (D > kWaterDmax && (kph == -1 || kph == 1))))
            return failure();
        choose_boundary();
        if (first_method() || second_method() || near_critical()) return;
        const int chosen = kr;
        if (ic > 0 && !water && other_boundary() && (first_method() || second_method())) return;
        kr = chosen;
        failure();
    }

private:
    const double D;
    const double* x;
    const int kph;
    int& kr;
    double& T;
    double& P;
    double& Dl;
    double& Dv;
    double* xl;
    double* xv;
    int& ierr;
    std::string& herr;
    Out o;

    int ic = 0;
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    double ttp = 0, dtpl = 0, dtpv = 0;
    bool water = false;

    bool start() {
        T = 0.0;
        P = Dl = Dv = 0.0;
        kr = kSaturatedLiquid;
        ierr = 0;
        herr.clear();
        ic = ISPURE(x);
        flash::start_compositions(ic, x, xl, xv);
        return !no_fluid_set_up("SATD", ierr, herr) &&
               !flash::not_a_number("SATD", {D}, ierr, herr) &&
               !flash::not_positive("SATD", {{'D', D}}, ierr, herr);
    }

    bool in_range() {
        double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
        int lerr = 0;
        std::string lmsg;
        LIMITX("EOS", 300.0, D, 100.0, x, tmin, tmax, dmax, pmax, lerr, lmsg);
        if (!(lerr > 7 || D > dmax || !(D > 0.0))) return true;
        if (lerr <= 0 || lmsg.empty())
            lmsg = "density input must be positive and below the limit of the equation; D =" +
                   fmt_g(D, 12, 5) + " mol/L";
        fail(lerr > 0 ? lerr : 2, "SATD", cut(lmsg, 235), ierr, herr, 3);
        return false;
    }

    // The critical point: a mixture's where its lines meet (satend.h), which
    // chooses the line of D and starts the secant along it; the estimate
    // of CRITP chose the liquid line for R410A's vapour of 6.5 mol/L and
    // started the secant 9.2 K above the lines' end.
    bool critical_point() {
        const bool crit = flash::critical_point(x, Tc, Pc, Dc, "SATD", 160, 237, ierr, herr);
        if (crit && ic == 0 && NCOMP.nc > 1) mix::line_end(x, Tc, Pc, Dc);
        T = Tc;
        P = Pc;
        Dl = Dv = Dc;
        return crit;
    }

    void failure() {
        T = Tc;
        P = Pc;
        Dl = Dv = Dc;
        fail(161, "SATD",
             "iteration for saturation state given density did not converge for D =" +
                 fmt_g(D, 12, 5) + " mol/L",
             ierr, herr);
    }

    // The triple-point liquid density and the triple-point vapour density
    // (found once and kept in the component's record).
    void triple_point_densities() {
        ttp = ic > 0 ? CCON.ttp[ic] : 0.0;
        dtpl = ic > 0 ? CCON.dtp[ic] : 0.0;
        if (ic > 0 && triple_vapour_density(ic) < 1e-15) {
            double p = 0, dl = 0, dv = 0, xl2[20], xv2[20];
            SATT(ttp, x, kDewPoint, p, dl, dv, xl2, xv2, jerr, jmsg);
            if (jerr <= 0 && dv > 0.0)
                triple_vapour_density(ic) = dv;
            else if (ttp < 10.0)
                triple_vapour_density(ic) = 1e-10;
        }
        dtpv = ic > 0 ? triple_vapour_density(ic) : 0.0;
    }

    bool above_triple() const { return D > dtpl * (1.0 + kTripleShare); }

    // The boundary tried where the one chosen by the density has no state
    // of it (false where there is none): a liquid denser than at the triple
    // point need not lie on the melting line (heavy water's saturated liquid
    // is denser from its triple point, 276.97 K and 55.15 mol/L, to 300 K,
    // as water's is), and next to the critical point the saturated liquid
    // can be thinner than the stated critical density, or the vapour denser
    // (re245fa2's liquid at 0.999 Tc: 3.406 mol/L, Dc 3.436 mol/L).
    bool other_boundary() {
        if (kr == kMeltingLine || kr == kSaturatedVapour)
            kr = kSaturatedLiquid;
        else if (kr == kSaturatedLiquid)
            kr = kSaturatedVapour;
        else
            return false;
        return true;
    }

    void choose_boundary() {
        if (ic > 0 && D < dtpv)
            kr = kSublimationLine;
        else if (D < Dc)
            kr = kSaturatedVapour;
        else if (water && D < kWaterDmax && kph != 3)
            kr = kSaturatedLiquid;
        else
            kr = (ic > 0 && std::fabs(dtpl) > 1e-20 && above_triple()) ? kMeltingLine
                                                                       : kSaturatedLiquid;
    }

    // Equal Gibbs energies on the saturated liquid or vapour line of a pure
    // fluid, and the refusal of a density beyond a triple point without a
    // solid line.  True when the call has its result.
    bool first_method() {
        const bool ppf = flash::pseudo_pure(ic);
        if (!(ic > 0 && (kr == kSaturatedLiquid || kr == kSaturatedVapour) && kph != -1 && !ppf))
            return false;
        if (gibbs_secant(D, x, Tc, Dc, o) && on_the_line()) {
            ierr = 0;
            herr.clear();
            return true;
        }
        const bool no_melt = !flash::has_equation(MELTMOD, ic);
        const bool no_subl = !flash::has_equation(SUBLMOD, ic);
        if (!((no_melt && above_triple() && dtpl > 0.0) || (no_subl && D < dtpv))) return false;
        const bool above = no_melt && above_triple() && dtpl > 0.0;
        fail(2, "SATD",
             std::string(above ? "density above" : "density below") +
                 " triple-point density          ; D =" + fmt_g(D, 12, 5) +
                 " mol/L; Dtp =" + fmt_g(above ? dtpl : dtpv, 12, 5) + " mol/L",
             ierr, herr, 3);
        T = Tc;
        P = Pc;
        Dl = Dv = Dc;
        return true;
    }

    // The first method's state is the saturation line's at its temperature:
    // next to the critical point equal Gibbs energies also join two roots
    // of one side (methane's liquid of 10.1702 mol/L, 1e-7 below Tc, came
    // back as a "vapour" beside a liquid of 10.1734 mol/L, both denser than
    // the critical point, with ierr 0).
    bool on_the_line() const {
        // (The line begins at the triple point: R23's liquid of 25.68 mol/L,
        // denser than at its triple point, came back at 86.75 K and 82 MPa,
        // beside a "vapour" of 25.6793 mol/L.)
        if (ic > 0 && T < CCON.ttp[ic] * (1.0 - kOnTheLine)) return false;
        double p = 0, dl = 0, dv = 0;
        if (!satcheb::at_t(ic, T, p, dl, dv) &&
            satcrit::at_t(ic, T, p, dl, dv) != satcrit::Verdict::kSolved)
            return true;
        const double dsat = kr == kSaturatedLiquid ? dl : dv;
        return std::fabs(dsat / D - 1.0) <= kOnTheLine;
    }

    // Bisection of a bracket [ua, ub] of the residual of the road of
    // satcrit (near_critical); true with T where the state there meets D.
    template <class Residual>
    bool closed_on_d(double ua, double fa, double ub, const Residual& residual, bool liquid,
                     const satcheb::Tail* tl, double top) {
        double lo = ua, hi = ub, flo = fa;
        for (int k = 0; k < kBisections && hi - lo > kClosed * hi; ++k) {
            const double mid = 0.5 * (lo + hi);
            double f = 0;
            if (!residual(mid, f)) return false;
            if ((f > 0.0) == (flo > 0.0)) {
                lo = mid;
                flo = f;
            } else {
                hi = mid;
            }
        }
        T = std::fmin(tl->te - lo * lo, top);
        double p = 0, dl = 0, dv = 0;
        if (satcrit::at_t(ic, T, p, dl, dv) != satcrit::Verdict::kSolved ||
            !(std::fabs((liquid ? dl : dv) / D - 1.0) <= kMetDensity))
            return false;
        P = p;
        Dl = dl;
        Dv = dv;
        return true;
    }

    // A pure fluid's saturated phase of density D next to the critical
    // point, where the secant below meets a saturated density that changes
    // without bound with T (48 fluids' saturated phases 1e-7 below Tc
    // failed with 161: ethane's of 6.8762 and 6.8376 mol/L at 305.32197
    // K): bisection in u = sqrt(te - T) on the line of satcrit, whose
    // densities move as a power of u, between the top of the expansions
    // and the equation's critical point.  False outside that stretch.
    bool near_critical() {
        const satcheb::Tail* tl = ic > 0 ? satcheb::tail(ic) : nullptr;
        if (tl == nullptr || flash::pseudo_pure(ic)) return false;
        double p = 0, dl = 0, dv = 0;
        // (The top of the road: the stated critical temperature less the
        // band where SATT gives the critical point, or the equation's own.)
        const double top = std::fmin(tl->te, CCON.tc[ic] - kCriticalBand);
        if (!(top > tl->t[0])) return false;
        const bool liquid = D >= tl->de;
        const auto residual = [&](double u, double& f) {
            const double t = tl->te - u * u;
            if (satcrit::at_t(ic, std::fmin(t, top), p, dl, dv) != satcrit::Verdict::kSolved)
                return false;
            f = (liquid ? dl : dv) - D;
            return std::isfinite(f);
        };
        // (The road begins just above the top of the expansions.)
        const double u0 = std::sqrt(tl->te - top),
                     u1 = std::sqrt(tl->te - tl->t[0]) * kInsideTheRoad;
        // The brackets of a geometric scan in u, each closed by bisection
        // and taken where its state meets D: the road's densities jump
        // where its Newton-solved states give way to its power law, and a
        // bracket may close on the jump (nf3's liquid of 7.93505 mol/L, 1e-7
        // below Tc, lies beside one).
        double ua = u0, fa = 0;
        if (!residual(ua, fa)) return false;
        bool met = false;
        for (int i = 1; i <= kScan && !met; ++i) {
            const double ub = u0 * std::pow(u1 / u0, static_cast<double>(i) / kScan);
            double fb = 0;
            if (!residual(ub, fb)) return false;
            if ((fa > 0.0) != (fb > 0.0)) met = closed_on_d(ua, fa, ub, residual, liquid, tl, top);
            ua = ub;
            fa = fb;
        }
        if (!met) return false;
        (liquid ? Dl : Dv) = D;
        kr = liquid ? kSaturatedLiquid : kSaturatedVapour;
        flash::start_compositions(ic, x, xl, xv);
        ierr = 0;
        herr.clear();
        return true;
    }

    // Second method: bracketed secant on ln(D / Dsat(T)); false when it
    // did not converge.
    bool second_method() {
        double tprev = Tc, fprev = std::log(D / Dc), Tn = 0.85 * Tc;
        double dsplit = Dc;
        secant_start(tprev, fprev, Tn, dsplit);

        // The first point opens the bracket on the side of its residual.  A
        // mixture's boundary is not bounded by its critical point (carbon
        // dioxide + nitrogen, Tc 216.1 K: bubble points up to 20 MPa at
        // 221.6 K; a wet gas's dew line goes far above it), nor its start
        // below where a component freezes (water + nitrogen at 0.75 Tc:
        // 231 K).
        const bool has_first_pos = fprev >= 0.0, seeded = ic > 0;
        bool has_neg = seeded && !has_first_pos, has_pos = seeded && has_first_pos;
        if (ic == 0) Tn = std::max(Tn, kAboveFreezing * mix::freezing_floor(x));
        double neg_t = has_neg ? tprev : 0.0, pos_t = has_pos ? tprev : 0.0;
        bool below_triple_used = false;

        T = Tn;
        Best best;
        int polish = 0;
        bool evaluated = false;
        for (int pass = 0; pass < kSecantPasses; ++pass) {
            ierr = 0;
            double dsat = 0.0;
            if (!boundary_density(kr, T, D, x, ic, dsplit, dsat, o)) {
                if (best.kept) return found(best);
                // Halfway back to the last temperature evaluated: the
                // boundary may end short of the critical point (c1cc6's
                // saturation solver above 571.6 K, Tc 572.1 K; its liquid of
                // 0.999 Tc was never reached by steps of 0.1 %).
                T = evaluated ? 0.5 * (T + tprev) : 0.999 * T;
                continue;
            }
            evaluated = true;
            const double f = std::log(D / dsat);
            if (std::fabs(f) < kDensityLoose &&
                (!best.keep(f, o) || std::fabs(f) < kDensityFound || ++polish > kPolishPasses))
                return found(best);
            if (f < 0.0) {
                neg_t = T;
                has_neg = true;
            } else {
                pos_t = T;
                has_pos = true;
            }
            double tn = T;
            if (std::fabs(f - fprev) > 1e-20)
                tn = T - (T - tprev) * f / (f - fprev);
            else if (has_neg && has_pos)
                tn = 0.5 * (neg_t + pos_t);
            const double blo = std::min(neg_t, pos_t), bhi = std::max(neg_t, pos_t);
            if (has_neg && has_pos && (tn < blo || tn > bhi || !std::isfinite(tn))) {
                tn = 0.5 * (blo + bhi);
            } else if (ic > 0 && !water && tn < ttp && !below_triple_used) {
                tn = ttp;
                below_triple_used = true;
            } else if (!(tn > 0.0) || !std::isfinite(tn)) {
                tn = 0.5 * T;
            }
            tprev = T;
            fprev = f;
            T = tn;
        }
        if (best.kept) return found(best);
        return false;
    }

    // The best state of the second method, its density D (true).
    bool found(const Best& best) {
        best.restore(o);
        ierr = 0;
        herr.clear();
        if (kr == kSaturatedLiquid || kr == kMeltingLine)
            Dl = D;
        else
            Dv = D;
        return true;
    }

    // The secant's first point (tprev, fprev), its first temperature Tn and
    // the density that splits liquid from vapour on the chosen boundary.
    void secant_start(double& tprev, double& fprev, double& Tn, double& dsplit) {
        if (kr == kSaturatedLiquid) {
            if (water && kph == -1 && D >= dtpl) {
                tprev = ttp;
                fprev = std::log(dtpl / Dc);
                Tn = 275.0;
            }
        } else if (kr == kSaturatedVapour) {
            Tn = 0.75 * Tc;
            if (NCOMP.nc > 1 && ic == 0) {
                double p = 0, dl = 0, dv = 0, xl2[20], xv2[20];
                SATT(Tc, x, kDewPoint, p, dl, dv, xl2, xv2, jerr, jmsg);
                if (jerr <= 0 && dv > 0.0) fprev = std::log(D / dv);
            }
        } else if (kr == kMeltingLine) {
            double t0 = water ? kWaterTlow : ttp;
            double pm = 0.0;
            if (water) {
                double pih = 0;
                MLTH2O(t0, pm, pih);
            } else {
                MELTT(t0, x, pm, jerr, jmsg);
            }
            double d = dtpl;
            if (pm > 0.0) TPRHO(t0, pm, x, kLiquid, kStartValue, d, jerr, jmsg);
            if (!(d > 0.0)) d = dtpl > 0.0 ? dtpl : Dc;
            tprev = t0;
            fprev = std::log(D / d);
            dsplit = d;
            Tn = water ? 273.16 : 0.85 * Tc;
        } else {
            tprev = ttp;
            fprev = dtpv > 0.0 ? std::log(D / dtpv) : 0.0;
            Tn = 0.95 * ttp;
        }
    }
};

}  // namespace

void SATD(double D, const double x[20], int kph, int& kr, double& T, double& P, double& Dl,
          double& Dv, double xl[20], double xv[20], int& ierr, std::string& herr) {
    SaturationAtDensity(D, x, kph, kr, T, P, Dl, Dv, xl, xv, ierr, herr).run();
}

}  // namespace lib
