// General flash at given pressure with enthalpy, entropy or energy: the
// property is checked against bounds along the limits of the equation, the
// dew and bubble points at the pressure place it, and the single-phase state
// is solved by the single-phase solver, the two-phase state by the lever rule
// (pure fluids) or the two-phase solver (mixtures).
#include "library/phase/pbflsh.h"

#include <algorithm>
#include <cmath>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/models/phik.h"
#include "library/models/records.h"
#include "library/phase/eqdome.h"
#include "library/phase/flashutil.h"
#include "library/phase/pbbounds.h"
#include "library/phase/pbmix.h"
#include "library/phase/pbnewton.h"
#include "library/phase/ptanc.h"
#include "library/phase/satcheb.h"
#include "library/phase/satmemo.h"
#include "library/phase/satp.h"
#include "library/phase/satt.h"
#include "library/phase/tbflsh.h"
#include "library/phase/tprho.h"
#include "library/phase/warmsplit.h"
#include "library/phase/warmstart.h"

namespace lib {
namespace {

constexpr int kMaxFallSteps = 2000;  // 1 K steps along the 100 kPa liquid
// Evaluations of the equation after which a failed single-phase search is
// not started again from another temperature.
constexpr unsigned long long kRestartBudget = 300;
// A value this close (relative, the single-phase solver's own tolerance) to
// a saturated phase's where the single phase is not found is that phase.
constexpr double kOnTheLine = 1e-7;
// Within this share of the critical temperature a saturated phase's value
// is known only to a few 1e-6 of it: the saturation temperature at P to its
// last digits, where the phases' densities change without bound.  (R22 at
// 4989.996 kPa, 1e-7 below Tc: the dew points of the quality flash and of
// the pressure's saturation 2e-12 K apart, their enthalpies 0.19 J/mol.)
constexpr double kNearCritical = 1e-4;
// There a single phase's root this close (relative) to the saturation
// temperature, where its solver does not converge, is the saturated phase.
constexpr double kRootAtSaturation = 1e-7;

// One call of PBFLSH: its inputs, its results bound to the caller's
// arguments, and what the steps find on the way.
class PressureFlash {
public:
    PressureFlash(double P, double b, const double z[20], const std::string& ab_in, double& T,
                  double& D, double& Dl, double& Dv, double x[20], double y[20], double& q,
                  double& e, double& h, double& s, double& cv, double& cp, double& w, int& ierr,
                  std::string& herr)
        : P(P),
          b(b),
          z(z),
          ab(ab_in.size() >= 2 ? ab_in.substr(0, 2) : std::string("PH")),
          letter(ab[1]),
          T(T),
          D(D),
          Dl(Dl),
          Dv(Dv),
          x(x),
          y(y),
          q(q),
          e(e),
          h(h),
          s(s),
          cv(cv),
          cp(cp),
          w(w),
          ierr(ierr),
          herr(herr) {}

    // The property is placed against its bounds along the limits of the
    // equation, then against the dew and bubble points at the pressure.
    void run() {
        if (!start() || !critical_point() || !bounds() || !in_range()) return;
        if (warm_single_phase() || warm_two_phase()) return;
        if (icomp == 0) return mixture();
        if (single_phase_without_saturation()) return supercritical();
        if (!dew_point()) return;
        // Below the lowest temperature of the equation only solid phases
        // coexist with the vapour.
        if (below_liquid && b < bdew && (icomp > 0 || (letter == 'H' && !(dvdew > 0.0))))
            return solid();
        // Below the triple-point pressure no saturated state exists: a value
        // at the triple point's dew value (a thin gas's enthalpy hardly
        // depends on its pressure) is the vapour at P.
        if (below_liquid && icomp > 0 && P < CCON.ptp[icomp]) {
            q = kQualityVapour;
            return single(2, tdew, dvdew);
        }
        // A value on the saturation line to within 1e-9 of the latent change
        // is a saturated state (quality 0 or 1), not a single phase.
        // (Well above the dew value the latent change need not be known.)
        q = kQualityVapour;
        if (b > bdew + 1e-6 * (std::fabs(bdew) + std::fabs(b)))
            return single_or_saturated(2, tdew, dvdew, bdew, kBeyondTheBand);
        band = 1e-9 * std::fabs(bdew - saturated_liquid());
        if (b > bdew + band) return single_or_saturated(2, tdew, dvdew, bdew);
        if (!bubble_point()) return;
        if (b < bbub - band) return single_or_saturated(1, tbub, dlbub, bbub);
        two_phase();
    }

    // Next to the critical point the latent change is so small that a
    // saturated state's value, formed from the phases of another road (the
    // quality flashes'), lies beyond the band by its rounding; the single
    // phase's root then lies at the saturation temperature itself, where
    // the solver does not converge (the saturated vapours of 40 fluids 1e-7
    // below Tc failed with 248: acetone's at 508.0995 K).  A value within
    // kOnTheLine of the saturated one is that saturated state; so is one
    // whose root the solver was left at the saturation temperature with,
    // next to the critical point (benzene's vapour 1e-7 below Tc, 4906.285
    // kPa: 247 at 562.0196353 K, its dew point at 562.0196349 K).
    // (Beyond 1e-6 of the saturated value only the second holds.)
    static constexpr bool kBeyondTheBand = true;
    void single_or_saturated(int kph, double t0, double d0, double bsat, bool beyond = false) {
        single(kph, t0, d0);
        if (ierr <= 0 || icomp == 0 || ppf) return;
        const bool on_line =
            !beyond && std::fabs(b - bsat) <= kOnTheLine * (std::fabs(b) + GCNST.r * t0);
        const bool root_on_line =
            t0 >= (1.0 - kNearCritical) * Tc && std::fabs(T - t0) <= kRootAtSaturation * t0;
        if (!on_line && !root_on_line) return;
        ierr = 0;
        herr.clear();
        if (kph == 2 && !bubble_point()) return;
        q = kph == 2 ? 1.0 : 0.0;
        two_phase();
    }

    // Keeps a single-phase result as the start of the next flash of the
    // composition (while a warm-start scope is open).
    void keep_for_warm_start() const {
        if (!warm::active()) return;
        keep_split_for_warm_start();
        if (ierr > 0 || (q >= 0.0 && q <= 1.0) || !(T > 0.0) || !(D > 0.0))
            return warm::left_single_phase(z);
        warm::State st{T, D, P, cp, warm_jac.P_D, stable_T, stable_P, true, false, 0.0, 0.0, {}};
        if (warm_found) {
            st.warm = true;
            st.h = h;
            st.s = s;
            st.jac = warm_jac;
        } else {  // tested by the cold road
            st.stable_T = T;
            st.stable_P = P;
            DPDD(T, D, z, st.dpdd);
        }
        warm::remember(z, st);
    }

private:
    // Keeps a mixture's two-phase result as the start of the next flash of
    // its feed; any other result ends the feed's two-phase warm starts.
    void keep_split_for_warm_start() const {
        const bool split = ierr <= 0 && icomp == 0 && !ppf && q > 0.0 && q < 1.0 && T > 0.0 &&
                           Dl > 0.0 && Dv > 0.0;
        if (!split) return warm::left_two_phase(z);
        warm::Split st;
        st.T = T;
        st.P = P;
        st.q = q;
        st.Dl = Dl;
        st.Dv = Dv;
        flash::copy20(x, st.x);
        flash::copy20(y, st.y);
        st.slope = warm_split_slope;
        flash::copy20(warm_split_dlnk, st.dlnk);
        st.contraction = warm_split_contraction;
        st.stable_T = warm_split_stable_T;
        st.stable_P = warm_split_stable_P;
        st.e = e;
        st.h = h;
        st.s = s;
        warm::remember_split(z, st);
    }

    const double P, b;
    const double* z;
    const std::string ab;
    const char letter;
    double& T;
    double& D;
    double& Dl;
    double& Dv;
    double* x;
    double* y;
    double& q;
    double& e;
    double& h;
    double& s;
    double& cv;
    double& cp;
    double& w;
    int& ierr;
    std::string& herr;

    int icomp = 0;
    bool ppf = false;
    double Tc = 0, Pc = 0, Dc = 0;
    int jerr = 0;
    std::string jmsg;
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int lerr = 0;
    std::string lmsg;
    Bounds bd;
    double tdew = 0, dldew = 0, dvdew = 0, xdew[20] = {}, ydew[20] = {};
    double tbub = 0, dlbub = 0, dvbub = 0, xbub[20] = {}, ybub[20] = {};
    flash::PhaseProps vap{}, liq{};
    bool liq_ready = false;         // liq holds the saturated liquid's properties
    double vap_t = -1, vap_d = -1;  // the state vap was evaluated at
    double bdew = 0, bbub = 0;
    double band = 0;  // the width of the saturation line in the property
    // The equation's saturated phase, where the single phase's root lies at
    // its temperature and is not found (equation_saturation).
    eqdome::Split saturated_fallback;
    bool below_liquid = false;
    // A state found from a warm start, and where its stability was last
    // established (a mixture).
    bool warm_found = false;
    FlashJacobian warm_jac;             // of the last Newton step to a warm state
    double warm_split_slope = 0;        // dh/dT along the isobar at a warm two-phase state
    double warm_split_dlnk[20] = {};    // and d ln K / dT
    double warm_split_contraction = 0;  // and how fast its substitution converged
    // and where its stability was established (0: the cold road's state)
    double warm_split_stable_T = 0, warm_split_stable_P = 0;
    double stable_T = 0, stable_P = 0;

    // The failure state: the marker 999 in q and error n with its message.
    void give_up(int n, const std::string& message) {
        q = kQualityFailed;
        fail(n, message, ierr, herr);
    }
    std::string msg(int n, const std::string& text) const {
        return flash::err(ab + "FLSH", n, 4, text);
    }
    void properties() {
        double hjt = 0.0, pscr = 0.0;
        Dl = Dv = D;
        THERM(T, D, z, pscr, e, h, s, cv, cp, w, hjt);
    }
    // The range check of the result.
    void finish() {
        int rerr = 0;
        std::string rmsg;
        flash::found_state_limits(T, D, P, z, tmin, tmax, dmax, pmax, rerr, rmsg);
        flash::range_error(ab + "FLSH", rerr, rmsg, 4, ierr, herr);
    }
    // A saturation temperature that meets a limit only to the solver's last
    // digits is not below it.
    static bool below(double t, double limit) { return t < limit * (1.0 - 1e-9); }

    // Outputs cleared, phase compositions started, inputs tested.
    bool start() {
        ierr = 0;
        herr.clear();
        T = D = Dl = Dv = e = h = s = cv = cp = w = 0.0;
        q = kQualityFailed;
        icomp = ISPURE(z);
        flash::start_compositions(icomp, z, x, y);
        ppf = flash::pseudo_pure(icomp);
        return !flash::not_a_number(ab + "FLSH", {P, b}, ierr, herr) &&
               !flash::not_positive(ab + "FLSH", {{'P', P}}, ierr, herr);
    }

    bool critical_point() {
        const bool crit = flash::critical_point(z, Tc, Pc, Dc, ab + "FLSH", 240, 234, ierr, herr);
        T = Tc;
        if (!crit) q = kQualityFailed;
        return crit;
    }

    // The bounds of the property (kept for the fluid), widened below the
    // lowest liquid temperature while the 100 kPa liquid's property keeps
    // falling.
    bool bounds() {
        LIMITX("EOS", -1.0, 0.0, P, z, tmin, tmax, dmax, pmax, lerr, lmsg);
        bd = cached_bounds(letter, icomp, z, tmin, tmax, pmax, Tc, Pc, Dc);
        if (!bd.ok) {
            give_up(249,
                    msg(249,
                        "Input value is outside limits; no liquid state of the equation at 100 kPa "
                        "below the critical temperature"));
            return false;
        }
        tmin = bd.tmin;
        if (b < bd.bmin) {
            // Follow the 100 kPa liquid up while the property keeps falling.
            const double tstart = tmin;
            double t = tmin, last = bd.bmin;
            for (int n = 0; n < kMaxFallSteps && t < Tc; ++n) {
                const double d = liquid_at_100kpa(t + 1.0, z);
                if (!(d > 0.0)) break;
                const double next = flash::prop(letter, t + 1.0, d, z);
                if (next >= last) {
                    if (t > tstart + 1.1) bd.bmin = last - 2.0 * (next - last);
                    break;
                }
                last = next;
                bd.bmin = next;
                t += 1.0;
            }
        }
        return true;
    }

    // The range check of the pressure, and of the property against its
    // bounds when the pressure is within the limits.
    bool in_range() {
        if (lerr < -1) {
            herr = flash::range_text(ab + "FLSH", lerr, lmsg, 4);
            ERRMSG(lerr, herr);
            herr.clear();
        } else if (lerr <= 1) {
            // (A value met by the bound to its last digits is within it: the
            // bound is the property of a state at the equation's limits.)
            const double slack = 1e-9 * (std::fabs(bd.bmin) + std::fabs(bd.bmax) + 1.0);
            // The entropy bound is that of the gas at 1e-6 mol/L: a thinner
            // gas, at a lower pressure, has more (R ln of the ratio).
            double bmax = bd.bmax;
            if (letter == 'S' && P < 1e-6 * 9.0 * 1.5 * bd.tmax) {  // (R < 9 J/(mol K))
                RMIX(z);
                const double pbound = 1e-6 * GCNST.r * 1.5 * bd.tmax;
                if (P < pbound) bmax += GCNST.r * std::log(pbound / P);
            }
            // (A mixture's lower bound is that of its feed as one liquid;
            // its split into phases reaches lower: hydrogen with liquid
            // water lies 6 kJ/mol below the feed's liquid at 100 kPa.)
            const bool below = icomp > 0 && b < bd.bmin - slack;
            if (below || b > bmax + slack) {
                give_up(249, msg(249, "Input value is outside limits; " + std::string(1, letter) +
                                          " =" + fmt_g(b, 12, 5) + ", min,max =" +
                                          fmt_g(bd.bmin, 12, 5) + fmt_g(bmax, 12, 5)));
                return false;
            }
        } else {
            give_up(lerr, flash::range_text(ab + "FLSH", lerr, lmsg, 4));
            return false;
        }
        return true;
    }

    // The single-phase state from the last state of the composition, while a
    // warm-start scope is open (library/phase/warmstart.h): taken only where
    // the cold road takes the single phase too, else false.
    bool warm_single_phase() {
        warm::State st;
        if (!warm::active() || (letter != 'H' && letter != 'S') || !warm::recall(z, st) ||
            !st.single)
            return false;
        const int kph = st.D > Dc ? kLiquid : kVapour;
        double t = 0, d = 0;
        FlashJacobian jac;
        if (!warm::solve(letter, P, b, z, st, t, d, jac)) return false;
        // Not near the critical point (the stable one of two roots), not
        // beyond the limits of the equation (the cold road reports them).
        if (std::fabs(t / Tc - 1.0) < 0.02 && std::fabs(P / Pc - 1.0) < 0.2) return false;
        if (!(t >= tmin && t <= tmax && d <= dmax && P <= pmax)) return false;
        if (icomp > 0 ? !pure_single_phase(t, d, kph)
                      : !warm::stable_mixture(t, P, d, z, st, stable_T, stable_P))
            return false;
        warm_found = true;
        warm_jac = jac;
        T = t;
        D = d;
        properties();
        if (icomp > 0)
            q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
        else
            mixture_quality();
        finish();
        return true;
    }

    // A mixture's two-phase state from the last two-phase state of its feed,
    // while a warm-start scope is open (library/phase/warmsplit.h): taken
    // away from the critical point and within the limits, else false.
    bool warm_two_phase() {
        warm::Split st, r;
        if (!warm::active() || icomp != 0 || ppf || (letter != 'H' && letter != 'S') ||
            !warm::recall_split(z, st) || !warm::solve_split(letter, P, b, z, st, r))
            return false;
        if (std::fabs(r.T / Tc - 1.0) < 0.02 && std::fabs(P / Pc - 1.0) < 0.2) return false;
        if (!(r.T >= tmin && r.T <= tmax && P <= pmax)) return false;
        warm_split_slope = r.slope;
        flash::copy20(r.dlnk, warm_split_dlnk);
        warm_split_contraction = r.contraction;
        warm_split_stable_T = r.stable_T;
        warm_split_stable_P = r.stable_P;
        T = r.T;
        q = r.q;
        Dl = r.Dl;
        Dv = r.Dv;
        flash::copy20(r.x, x);
        flash::copy20(r.y, y);
        e = r.e;
        h = r.h;
        s = r.s;
        flash::two_phase_markers(cv, cp, w);
        D = flash::mixed_density(q, Dl, Dv);
        finish();
        return true;
    }

    // A pure fluid's root (t, d) of phase kph is its single-phase state:
    // above the critical pressure, or clearly on its side of the saturation
    // line.
    bool pure_single_phase(double t, double d, int kph) const {
        if (P >= Pc) return true;
        if (ppf || !(P > CCON.ptp[icomp])) return false;
        double ts = 0, dl = 0, dv = 0;
        if (!satcheb::at_p(icomp, P, ts, dl, dv) || below(ts, tmin)) return false;
        // (A superheated vapour is thinner than the saturated one at P, a
        // subcooled liquid denser than the saturated liquid.)
        const double margin = 1e-7 * ts;
        return kph == kVapour ? t > ts + margin && d < dv : t < ts - margin && d > dl;
    }

    // The single-phase state of phase kph, solved from the start (t0, d0).
    void single(int kph, double t0, double d0) {
        // A vapour below the triple-point pressure starts at the triple-point
        // temperature: its dew point lies on the sublimation line, below the
        // equation's range, where the density solver finds no root to go on.
        if (kph == 2 && icomp > 0 && t0 < CCON.ttp[icomp] && d0 > 0.0) {
            d0 *= t0 / CCON.ttp[icomp];
            t0 = CCON.ttp[icomp];
        }
        T = t0;
        D = d0;
        double pp = 0;
        int serr = 0;
        std::string smsg;
        ABFL1(P, b, z, kph, ab, 0.0, 0.0, T, pp, D, serr, smsg);
        if (serr <= 0 && kph == 1 && inside_the_dome()) {
            // The isobar followed down from the bubble point met a root of
            // the equation between its saturated densities (ethane's loops
            // below 240 K give the value there too): the liquid is searched
            // again from the triple point up.
            T = std::max(tmin, CCON.ttp[icomp]);
            D = CCON.dtp[icomp];
            ABFL1(P, b, z, kph, ab, 0.0, 0.0, T, pp, D, serr, smsg);
            if (serr <= 0 && inside_the_dome())
                return give_up(248, msg(248,
                                        "single-phase iteration did not converge; the "
                                        "root lies between the saturated densities"));
        }
        if (serr > 0) return give_up(serr, smsg);
        properties();
        q = ppf ? flash::single_phase_quality(T, P, D, Tc, Pc, Dc)
                : flash::side_quality(kph == 1, T, P, D, Tc, Pc, Dc);
        finish();
    }

    // Whether a pure fluid's liquid root (T, D) is thinner than the
    // saturated liquid at T: a compressed liquid is denser.
    bool inside_the_dome() const {
        if (icomp == 0 || ppf) return false;
        double ps = 0, dl = 0, dv = 0;
        return satcheb::at_t(icomp, T, ps, dl, dv) && P > ps && D < dl * (1.0 - 1e-9);
    }

    // A state below the lowest temperature of the liquid.
    void solid() {
        give_up(250, msg(250, "; input state is solid or two-phase solid-vapor"));
        // The bracket is followed directly by the semicolon.
        const std::size_t k = herr.find("] ;");
        if (k != std::string::npos) herr.erase(k + 1, 1);
    }

    // Above the critical pressure, and hot states below it.
    bool single_phase_without_saturation() {
        // (A pure fluid's liquid and vapour exist down to its triple-point
        // pressure, far below 1e-12 kPa for some: r124's at 76 K, 2.8e-13
        // kPa; a mixture's road there is the single-phase one.)
        if (P >= Pc || (P < 1e-12 && (icomp == 0 || !(P > CCON.ptp[icomp])))) return true;
        if (letter == 'H') return b > bd.hgas;
        if (letter == 'S' && b > bd.bcrit) {
            // Not above the saturated vapour's entropy at P (the saturation
            // expansions give it without iterating), not above the entropy
            // at Tc either: the vapour root there need not be found.
            if (saturated_vapour_from_expansions() && b <= vap.s) return false;
            // The vapour root on the critical isotherm (the vapour iteration
            // is asked for: at exactly Tc the density solver would start
            // dense).  Its entropy exceeds the critical point's, so that an
            // entropy up to that one needs no test.
            double dv = 0;
            TPRHO(Tc, P, z, -2, kNoStartValue, dv, jerr, jmsg);
            return jerr <= 0 && dv > 0.0 && b > flash::prop('S', Tc, dv, z);
        }
        return false;
    }

    // The isobars close to the critical one, as a share of the critical
    // pressure, on which Newton's method in (T, D) may find what the
    // iteration in T did not.
    static constexpr double kNearCriticalIsobar = 1e-3;

    // On the critical isobar the density solver fails where dP/dD vanishes,
    // and where it does not, the iteration in T ends on the last digits of T
    // with the value up to 3e-6 of itself off (cp grows without bound: argon
    // at 4863 kPa, h = -171.306 J/mol came back as -171.3062): Newton's
    // method in T and D needs no density solve and meets the value.
    void critical_isobar(int& serr) {
        double t = serr > 0 ? Tc : T, d = serr > 0 ? Dc : D, v = 0;
        if (serr <= 0) {
            v = flash::prop(letter, T, D, z);
            if (std::fabs(v - b) <= 1e-10 * std::fabs(b) + 1e-10) return;
        }
        if (!pb_newton(P, letter, b, z, t, d)) return;
        T = t;
        D = d;
        serr = 0;
    }

    // Single phase without saturation, from three starts in turn.
    void supercritical() {
        double t0 = Tc + 10.0;
        double hc = 0, ec = 0;
        ENTHAL(Tc, Dc, z, hc);
        ENERGY(Tc, Dc, z, ec);
        if ((letter == 'H' && b < 0.5 * hc) || (letter == 'E' && b < 0.5 * ec)) t0 = 0.8 * Tc;
        int serr = 0;
        std::string smsg;
        const unsigned long long before = EOS_EVALUATIONS;
        for (double start : {t0, 1.2 * Tc, Tc}) {
            T = start;
            D = 2.0 * Dc;
            double pp = 0;
            ABFL1(P, b, z, 2, ab, 0.0, 0.0, T, pp, D, serr, smsg);
            // A range error places the root beyond a limit, another start
            // finds it there too; a search that spent many evaluations
            // (density solves failing on the way) went where the others go.
            if (serr < 100 || EOS_EVALUATIONS - before > kRestartBudget) break;
        }
        if (serr > 0 && equation_saturation()) return;
        if (icomp > 0 && std::fabs(P / Pc - 1.0) < kNearCriticalIsobar) critical_isobar(serr);
        if (serr > 0 && saturated_fallback.T > 0.0) {
            ierr = 0;
            herr.clear();
            double pp = P;
            eqdome::take(z, saturated_fallback, T, pp, D, Dl, Dv, q, e, h, s, cv, cp, w);
            finish();
            return;
        }
        if (serr > 0) {
            give_up(serr, smsg);
            return;
        }
        properties();
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
        finish();
    }

    // Up to the equation's own critical pressure, where it lies above the
    // stated one, the isobar crosses the equation's two-phase region, where
    // the (T, p) flash's stable root jumps from the liquid to the vapour: a
    // value between the phases there is their mixture (r13 at 3886.8 kPa,
    // 0.2 % above its stated critical pressure: h from 26,222 to 28,279 J/mol
    // failed with 248), a value beyond them the single phase of its side.
    bool equation_saturation() {
        eqdome::Split sp;
        if (!eqdome::at_p(z, P, letter, b, sp)) return false;
        T = sp.T;
        if (sp.side != 0) {
            D = sp.side < 0 ? sp.Dl : sp.Dv;
            double pp = 0;
            int serr = 0;
            std::string smsg;
            ABFL1(P, b, z, sp.side < 0 ? 1 : 2, ab, 0.0, 0.0, T, pp, D, serr, smsg);
            if (serr <= 0) {
                ierr = 0;
                herr.clear();
                properties();
                q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
                finish();
                return true;
            }
            // A root the solver was left at the saturation temperature with
            // is the saturated phase, where nothing else finds the state (as
            // in single_or_saturated: benzene's vapour 1e-7 below its
            // equation's critical temperature, at 4906.285 kPa, above its
            // stated critical pressure).
            if (std::fabs(T - sp.T) <= kRootAtSaturation * sp.T) {
                saturated_fallback = sp;
                saturated_fallback.q = sp.side < 0 ? 0.0 : 1.0;
                saturated_fallback.side = 0;
            }
            return false;
        }
        ierr = 0;
        herr.clear();
        double pp = P;
        eqdome::take(z, sp, T, pp, D, Dl, Dv, q, e, h, s, cv, cp, w);
        finish();
        return true;
    }

    // The saturated vapour at P from the saturation expansions of a pure
    // fluid (kept for dew_point); false where they do not reach.
    bool saturated_vapour_from_expansions() {
        if (icomp == 0 || ppf || !(P >= CCON.ptp[icomp])) return false;
        double t = 0, dl = 0, dv = 0;
        if (!satcheb::at_p(icomp, P, t, dl, dv)) return false;
        if (!phases_from_expansions(t)) vap = flash::phase_props(t, dv, z);
        vap_t = t;
        vap_d = dv;
        return true;
    }

    // A pure fluid's saturated phases at T from the expansions of their
    // properties (the liquid kept for the lever rule); false where these do
    // not answer.
    bool phases_from_expansions(double t) {
        satcheb::Phases ph;
        if (icomp == 0 || ppf || !satcheb::phases_at_t(icomp, t, ph)) return false;
        vap = {ph.ev, ph.hv, ph.sv};
        liq = {ph.el, ph.hl, ph.sl};
        liq_ready = true;
        return true;
    }

    // The dew point (below the triple-point pressure of a pure fluid the
    // triple point's stands in: only vapour lies above its value) and the
    // saturated vapour's properties; without one, the liquid from the bubble
    // point.  False when the flash has ended.
    bool dew_point() {
        SATP(P, z, kDewPoint, tdew, dldew, dvdew, xdew, ydew, jerr, jmsg);
        bool below_triple = false;
        if (jerr == 2) {
            const double tlow = icomp > 0 ? std::max(tmin, CCON.ttp[icomp]) : tmin;
            double pt = 0;
            SATT(tlow, z, kDewPoint, pt, dldew, dvdew, xdew, ydew, jerr, jmsg);
            tdew = tlow;
            below_triple = icomp > 0;
        }
        if (jerr > 0) {
            liquid_without_dew_point();
            return false;
        }
        below_liquid =
            below_triple || below(tdew, tmin) || (icomp > 0 && below(tdew, CCON.ttp[icomp]));
        // The saturated phases' properties (kept for the two-phase mixing of
        // a pure fluid).  At the triple point the equation itself answers: a
        // thin gas's value below it lies closer to the saturated vapour's
        // than the rounding of the expansions.
        if (!(vap_t == tdew && vap_d == dvdew) && (below_liquid || !phases_from_expansions(tdew)))
            vap = flash::phase_props(tdew, dvdew, z);
        bdew = vap.of(letter);
        return true;
    }

    // No dew point: a state below the bubble point's property is liquid; a
    // fluid whose stated critical pressure lies above its equation's own has
    // no saturation state between the two, and the state is single phase.
    // (Close to the critical pressure the single-phase solver takes the
    // stable root of either side: where the equation does have a saturation
    // state that was not found, a value between its phases has no
    // single-phase state and fails there; no state is made up.)
    void liquid_without_dew_point() {
        int berr = 0;
        std::string bmsg;
        SATP(P, z, kBubblePoint, tbub, dlbub, dvbub, xbub, ybub, berr, bmsg);
        if (berr > 0 || b >= flash::prop(letter, tbub, dlbub, z)) {
            if (P >= 0.9 * Pc) return supercritical();
            give_up(242, msg(242, flash::dew_failed(jmsg, 192)));
            return;
        }
        T = tbub;
        D = dlbub;
        double pp = 0;
        ABFL1(P, b, z, 1, ab, 0.0, 0.0, T, pp, D, berr, bmsg);
        if (berr > 0) {
            give_up(242, msg(242, flash::dew_failed(bmsg, 192)));
            return;
        }
        properties();
        q = flash::single_phase_quality(T, P, D, Tc, Pc, Dc);
        finish();
    }

    // The property of the saturated liquid at the dew point's temperature: a
    // pure fluid's properties there are those of its bubble point, kept for
    // the lever rule.
    double saturated_liquid() {
        if (ppf) return flash::prop(letter, tdew, dldew, z);
        if (!liq_ready) liq = flash::phase_props(tdew, dldew, z);
        liq_ready = true;
        return liq.of(letter);
    }

    // The bubble point (a pure fluid's is its dew point's) and the saturated
    // liquid's properties, with the quality of the lever rule.
    bool bubble_point() {
        if (icomp == 0 || ppf) {
            SATP(P, z, kBubblePoint, tbub, dlbub, dvbub, xbub, ybub, jerr, jmsg);
            if (jerr > 0) {
                if (P <= 0.9 * Pc) {
                    give_up(241, msg(241, flash::bubble_failed(jmsg, 188)));
                    return false;
                }
                tbub = Tc;
                dlbub = Dc;
            }
        } else {
            tbub = tdew;
            dlbub = dldew;
            flash::copy20(ydew, ybub);
        }
        if (!liq_ready) liq = flash::phase_props(tbub, dlbub, z);
        bbub = liq.of(letter);
        q = std::fabs(bdew - bbub) > 1e-20 ? std::clamp((b - bbub) / (bdew - bbub), 0.0, 1.0) : 0.0;
        // On a saturation line the quality is exactly that of the line.
        if (b >= bdew - band) q = 1.0;
        if (b <= bbub + band) q = 0.0;
        return true;
    }

    // A mixture: its own road (library/phase/pbmix.h), told whether the
    // value lies where no saturation is looked for.
    void mixture() {
        const bool single_phase = single_phase_without_saturation();
        pb_mixture({P, b, z, ab, Tc, Pc, Dc, tmin, tmax, dmax, pmax, single_phase},
                   {T, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr});
    }

    // The quality marker of a mixture's single-phase state.
    void mixture_quality() { q = mixture_quality_marker(T, P, D, Tc, Pc, Dc); }

    // The two phases of a pure fluid (a mixture's are its road's).
    void two_phase() {
        if (below(q * tdew + (1.0 - q) * tbub, tmin)) return solid();
        T = tdew;
        Dl = dlbub;
        Dv = dvdew;
        if (ppf) {
            // The quality follows from b at each trial temperature, so
            // that the state found has the given property.
            T = q * tdew + (1.0 - q) * tbub;
            PTANC(T, P, q, b, letter, Dl, Dv, jerr, jmsg);
            if (jerr > 0) return give_up(jerr, jmsg);
        }
        // A pure fluid's phases are the saturated ones already evaluated.
        if (ppf)
            flash::mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w);
        else
            flash::mix_phases(q, liq, vap, e, h, s, cv, cp, w);
        D = flash::mixed_density(q, Dl, Dv);
        finish();
    }
};

}  // namespace

void PBFLSH(double P, double b, const double z[20], const std::string& ab_in, double& T, double& D,
            double& Dl, double& Dv, double x[20], double y[20], double& q, double& e, double& h,
            double& s, double& cv, double& cp, double& w, int& ierr, std::string& herr) {
    const mix::FlashMemo memo;  // saturation points asked for again
    PressureFlash flash(P, b, z, ab_in, T, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    flash.run();
    flash.keep_for_warm_start();
}

}  // namespace lib
