// The flash at given pressure of a mixture (PBFLSH's road for a feed of
// several components): its dew and bubble points at P place the value, each
// state found is checked for stability, and what these cannot place is
// searched along the isobar through the (T, p) flash.
#include "library/phase/pbmix.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "library/library.h"
#include "library/phase/abfl1.h"
#include "library/phase/abfl2.h"
#include "library/phase/brent.h"
#include "library/phase/critsingle.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/mixflash.h"
#include "library/phase/satp.h"
#include "library/phase/satrefine.h"
#include "library/phase/sattp.h"
#include "library/setup/limits.h"
#include "library/setup/records.h"

namespace lib {
namespace {

// The share of the upper temperature limit beyond which the range check
// refuses a state (its "temperature > 1.5 x upper limit").
constexpr double kHardTemperatureLimit = 1.5;

// The mixture road of one call of PBFLSH: its inputs, its results bound to
// the caller's arguments, and what the steps find on the way.
class MixturePressureFlash {
public:
    MixturePressureFlash(const PbMixtureCall& c, const PbOutputs& o)
        : P(c.P),
          b(c.b),
          z(c.z),
          ab(c.ab),
          letter(ab[1]),
          Tc(c.Tc),
          Pc(c.Pc),
          Dc(c.Dc),
          tmin(c.tmin),
          tmax(c.tmax),
          dmax(c.dmax),
          pmax(c.pmax),
          single_phase(c.single_phase),
          T(o.T),
          D(o.D),
          Dl(o.Dl),
          Dv(o.Dv),
          x(o.x),
          y(o.y),
          q(o.q),
          e(o.e),
          h(o.h),
          s(o.s),
          cv(o.cv),
          cp(o.cp),
          w(o.w),
          ierr(o.ierr),
          herr(o.herr) {}

    void run() { mixture(); }

private:
    const double P, b;
    const double* z;
    const std::string ab;
    const char letter;
    const double Tc, Pc, Dc;
    double tmin, tmax, dmax, pmax;  // (the range check may move them)
    const bool single_phase;
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

    int jerr = 0;
    std::string jmsg;
    double tdew = 0, dldew = 0, dvdew = 0, xdew[20] = {}, ydew[20] = {};
    double tbub = 0, dlbub = 0, dvbub = 0, xbub[20] = {}, ybub[20] = {};
    double bdew = 0, bbub = 0;
    bool mix_dew = false;  // the dew point at P was found

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
    // The lowest temperature of the searches down the isobar: the range
    // check's, which takes a mixture's states a little below its lower
    // limit (carbon dioxide + water 10/90 at 2 MPa: 255 K, 1.8 K below it,
    // a split the (T, p) flash gives; the search stopped at the limit and
    // failed with 248), but none below the freezing floor.
    double lowest_search(double floor) const { return lowest_mixture_search(z, tmin, floor); }
    // The quality marker of a single-phase state.
    void mixture_quality() { q = mixture_quality_marker(T, P, D, Tc, Pc, Dc); }

    // A mixture: the single-phase state of a hot or compressed fluid, else
    // the state placed by the dew and bubble points at P, each single-phase
    // result checked for stability; what these cannot place is searched
    // along the isobar through the (T, p) flash.
    void mixture() {
        if (single_phase && mixture_single(2, Tc + 10.0, 0.0)) return;
        ierr = 0;
        herr.clear();
        int derr = 0, berr = 0;
        std::string dmsg, bmsg;
        {
            flash::QuietMessages quiet;
            SATP(P, z, kDewPoint, tdew, dldew, dvdew, xdew, ydew, derr, dmsg);
            // (A bubble point by Newton's method alone: where it fails, the
            // search down the isobar from the dew point follows.)
            double pb = P;
            if (!mix::quick_bubble(false, z, tbub, pb, dlbub, dvbub, xbub, ybub) &&
                !(derr == 0 && bubble_from_dew())) {
                berr = 1;
                tbub = 0.0;
            }
        }
        mix_dew = derr == 0;
        if (mix_dew) bdew = flash::prop(letter, tdew, dvdew, z);
        if (berr == 0) bbub = flash::prop(letter, tbub, dlbub, z);
        if (derr == 0 && berr == 0 && bbub <= b && b <= bdew) {
            q = std::fabs(bdew - bbub) > 1e-20 ? (b - bbub) / (bdew - bbub) : 0.5;
            two_phase();
            if (ierr <= 0 && split_is_stable()) return;
            ierr = 0;
            herr.clear();
            if (flash::azeotropic(tbub, tdew) && azeotropic_state()) return;
        } else if (derr == 0 && b > bdew) {
            if (mixture_single(2, tdew, dvdew)) return;
        } else if (berr == 0 && b < bbub) {
            if (mixture_single(1, tbub, dlbub)) return;
        }
        mixture_on_isobar();
        if (ierr > 0 && derr == 0 && berr == 0 && bbub <= b && b <= bdew &&
            tdew - tbub <= kNarrowBand * tdew && by_quality()) {
            ierr = 0;
            herr.clear();
        }
    }

    // The bubble point by Newton's method from the dew point's phases (the
    // feed as the liquid, the incipient vapour mirrored from the dew
    // point's incipient liquid), where it fails from its own estimates: next
    // to the critical point of a narrow blend, where the two points lie
    // close (R134a + R1234yf 44/56 at 3505.4 kPa, 0.012 K apart: the
    // estimates led it astray, and the search along the isobar, which has
    // the latent heat within that band, missed the bubble point's
    // enthalpy).
    bool bubble_from_dew() {
        double t = tdew, p = P, dl = dldew, dv = dvdew, l[20] = {}, v[20] = {}, sum = 0.0;
        for (int i = 0; i < 20; ++i) {
            l[i] = z[i];
            v[i] = z[i] > 0.0 ? std::max(2.0 * z[i] - xdew[i], 1e-3 * z[i]) : 0.0;
            sum += v[i];
        }
        for (double& c : v) c /= sum;
        if (!mix::saturation_newton_from(kBubbleAtP, z, t, p, dl, dv, l, v) || !(t <= tdew))
            return false;
        tbub = t;
        dlbub = dl;
        dvbub = dv;
        flash::copy20(l, xbub);
        flash::copy20(v, ybub);
        return true;
    }

    // The widest band between bubble and dew point (share of the dew point's
    // temperature) in which the state of b is looked for among PQFLSH's:
    // the roads in T miss only the states of far narrower bands; in a wide
    // one a state they miss lies in a jump of b (three phases: R509A at
    // 18.3 kPa, the isobar's enthalpy jumps at 195.68 K from q 0.84 to
    // 0.28), where each PQFLSH of the search failed after some 100 (T, p)
    // flashes (HSFLSH, whose search visits such isobars, took 6.8 s).
    static constexpr double kNarrowBand = 1e-4;

    // Two phases of a nearly azeotropic blend (R512A at 300 kPa, 276.77 K:
    // bubble and dew points 2.6e-7 apart in pressure, 8e-6 K apart at P):
    // the temperature of the value b lies below the digits of the roads in
    // T, the vapour fraction does not.  The state of value b among those
    // of PQFLSH at P, by Brent's method in q between the bubble and the dew
    // point.
    bool by_quality() {
        double t = 0, d = 0, dl = 0, dv = 0, l[20], v[20], ee = 0, hh = 0, ss = 0, c1 = 0, c2 = 0,
               ww = 0;
        int kerr = 0;
        std::string kmsg;
        const auto at = [&](double qq, double& r) {
            flash::QuietMessages quiet;
            PQFLSH(P, qq, z, kMolarQuality, t, d, dl, dv, l, v, ee, hh, ss, c1, c2, ww, kerr, kmsg);
            if (kerr > 0) return false;
            r = (letter == 'S' ? ss : letter == 'E' ? ee : hh) - b;
            return std::isfinite(r);
        };
        double root = 0, r = 0;
        if (!brent_root(at, 0.0, bbub - b, 1.0, bdew - b, 1e-12 * (std::fabs(b) + 1.0), 1e-15, 80,
                        root) ||
            !at(root, r) || !(std::fabs(r) <= 1e-9 * (std::fabs(b) + 1.0)))
            return false;
        T = t;
        D = d;
        Dl = dl;
        Dv = dv;
        q = root;
        e = ee;
        h = hh;
        s = ss;
        cv = c1;
        cp = c2;
        w = ww;
        flash::copy20(l, x);
        flash::copy20(v, y);
        finish();
        return true;
    }

    // Whether the (T, p) flash's state at the temperature of the split found
    // has its value of the property: between a bubble and a dew point that
    // are no stable states the two-phase solver ends on a split whose liquid
    // splits again (hexane + water, 10 % hexane, at 10 kPa: a vapour and a
    // liquid at 239.7 K with the enthalpy of the stable vapour and water at
    // 278.6 K); the search along the isobar then finds the stable one.
    // Its phases are then named as that flash names them.
    bool split_is_stable() {
        mix::TpState tp;
        if (!mix::tp_value_is(T, P, z, letter, b, &tp)) return false;
        mix::name_phases_as(tp, Dl, Dv, x, y, q);
        value_by_lever();
        return true;
    }

    // The vapour fraction of the split's phases that gives b, where the
    // two-phase solver's differs from it by more than 1e-9: in a band of
    // 7.6e-7 in pressure (R134a + R152a 50/50 at 174.85 K) its last digits
    // of T leave q 9e-6 off (h by 0.24 J/mol).
    void value_by_lever() {
        const double bl = flash::prop(letter, T, Dl, x), bv = flash::prop(letter, T, Dv, y);
        if (!(std::fabs(bv - bl) > 0.0)) return;
        const double qb = (b - bl) / (bv - bl);
        if (!(qb > 0.0 && qb < 1.0) || !(std::fabs(qb - q) > 1e-9)) return;
        q = qb;
        flash::mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w);
        D = flash::mixed_density(q, Dl, Dv);
    }
    bool stable_at(double t) const { return mix::tp_value_is(t, P, z, letter, b); }

    // The single-phase state of phase kph from (t0, d0), kept only when it is
    // the stable state.
    bool mixture_single(int kph, double t0, double d0) {
        T = t0;
        D = d0 > 0.0 ? d0 : 2.0 * Dc;
        double pp = 0;
        int serr = 0;
        std::string smsg;
        ABFL1(P, b, z, kph, ab, 0.0, 0.0, T, pp, D, serr, smsg);
        // A state beyond the hard limit of the temperatures (b rises with T
        // along the isobar, and the gas there is still short of it) is
        // refused with the range check's message, as a pure fluid's: the
        // search along the isobar stops at that limit and said it did not
        // converge (Natural Gas Groningen at 2033.52 kPa, 172.9 J/(mol K):
        // 1201.6 K, Tmax 675.03 K).
        if (serr > 0 && T > kHardTemperatureLimit * tmax) {
            give_up(serr, smsg);
            return true;
        }
        if (serr > 0) return false;
        // (Where the stability test finds a phase that the (T, p) flash
        // does not take, the flash's state stands when it is this one: a
        // gas of 2 % co2 in nitrogen at 1.67 kPa, 127.23 K, just above its
        // co2's frost point, failed with 248, the test's trial being a
        // liquid co2 below its triple point.)
        mix::TpState tp;
        if (!mix::single_phase_kept(T, D, z) &&
            !(mix::tp_value_is(T, P, z, letter, b, &tp) && !tp.two_phase &&
              std::fabs(tp.D / D - 1.0) < 1e-7))
            return false;
        properties();
        mixture_quality();
        finish();
        return true;
    }

    // Where b lies below the lowest fluid state of the isobar, the (T, p)
    // flash's reason (a component freezes out), not a search that did not
    // converge.
    bool frozen_below(double floor, double& lowest_fluid) {
        std::string reason;
        if (!mix::below_lowest_fluid(P, letter, b, z, floor, tmin, reason, &lowest_fluid))
            return false;
        give_up(250, msg(250, reason));
        return true;
    }

    // The state of b on the isobar below the freezing floor, where the (T, p)
    // flash finds fluids down to tlo: a gas whose frozen component stays
    // below its frost point (Natural Gas Groningen at 3 kPa, 130 K, q 0.998,
    // 65 K below the floor set by its 0.9 % of carbon dioxide, failed with
    // 248 from the search that starts at the floor).
    bool below_floor(double tlo, double floor, mix::TpState& st) {
        return mix::on_isobar(P, letter, b, z, tlo, floor, st) &&
               !(st.two_phase && !stable_at(st.T));
    }

    // Down the isobar from a gas whose value lies above b (its temperature
    // from thi up, in steps of a quarter): the crossing nearest to it.  The
    // dew point SATP finds for a wet gas with heavy ends may be a lower one
    // than the first (methane to hexane with 0.5 % water at 2000 kPa: the
    // hydrocarbons' at 271.6 K, the water's at 316.7 K), and a value above
    // it was taken for the gas, which is no stable state there.
    bool down_from_gas(const mix::Target& target, double thi, double tlo, mix::TpState& st) {
        for (double t = std::max(thi, Tc); t <= tmax; t *= 1.25) {
            mix::TpState g;
            if (!mix::tp_state(t, P, z, g) || g.two_phase) continue;
            if (!(flash::prop(letter, t, g.D, z) > b)) continue;
            return mix::on_isobar_down(P, target, z, t, std::numeric_limits<double>::quiet_NaN(),
                                       tlo, st) &&
                   (!st.two_phase || stable_at(st.T));
        }
        return false;
    }

    void mixture_on_isobar() {
        mix::TpState st;
        // Down from the dew point where it was found (a wet gas has no
        // bubble point, and below the freezing of its water no state),
        // else between the bubble and dew points where they were found.
        // Without either (the dew point of a heavy component in helium at a
        // few MPa is not found, and the critical point estimated lies near
        // helium's), from the highest triple point of the components up to
        // the mole-fraction average of their critical temperatures.
        // (A dew-point iteration that failed leaves its last temperature.)
        const double dew = mix_dew ? tdew : 0.0;
        double t1 = tbub > 0.0 ? tbub : tmin, t2 = dew > t1 ? dew : std::max(Tc, t1 + 10.0);
        if (!(tbub > 0.0) && !(dew > 0.0)) {
            double ttp = 0.0, kay = 0.0;
            for (int i = 0; i < std::min(NCOMP.nc, kMaxComp); ++i) {
                if (!(z[i] > 0.0)) continue;
                ttp = std::max(ttp, CCON.ttp[i + 1]);
                kay += z[i] * CCON.tc[i + 1];
            }
            t1 = std::max(t1, ttp);
            t2 = std::max({t2, kay, t1 + 10.0});
        }
        // The search starts where no component beyond a trace is frozen (the
        // (T, p) flash refuses most states below; hexane + water 50/50 at
        // 10 kPa has a dew point of 242.9 K from the iteration, below the
        // freezing of its water).
        const double floor = mix::freezing_floor(z);
        if (t1 < floor) {
            t1 = floor;
            t2 = std::max(t2, t1 + 10.0);
        }
        const mix::Target target{letter, b, kMolarQuality};
        // (A split continued down from the dew point past a temperature
        // where a third phase appears is no stable state: hexane + water,
        // 10 % hexane, at 10 kPa kept its vapour down to 239.7 K, where its
        // enthalpy was that of the two liquids at 278.6 K.)
        // (Nor from a dew point where a component is frozen: pentane + water
        // 50/50 at 10 kPa has one at 210 K, its pentane condensing from a
        // vapour whose water condensed above 300 K; the (T, p) flash spent
        // 20 ms on refusing each state there.)  Nor down past that floor:
        // ammonia + propylene 50/50 at 36 kPa went on from its dew point at
        // 213 K to 160 K, its ammonia frozen at every state (0.3 s).
        const bool from_dew =
            mix_dew && b < bdew && !(tdew < floor) &&
            mix::on_isobar_down(P, target, z, tdew, bdew - b, lowest_search(floor), st) &&
            (!st.two_phase || stable_at(st.T));
        // (Where b lies inside the band of a three-phase line, no state has
        // it: no other search is made.)
        bool band = false;
        if (!from_dew && !mix::on_isobar(P, letter, b, z, t1, t2, st, &band) &&
            (band || !down_from_gas(target, t2, lowest_search(floor), st))) {
            double lowest_fluid = 0.0;
            if (!band && t1 == floor && frozen_below(floor, lowest_fluid)) return;
            if (band || !(lowest_fluid > 0.0 && below_floor(lowest_fluid, floor, st))) {
                give_up(248,
                        msg(248, "iteration did not converge for the mixture along the isobar"));
                return;
            }
        }
        T = st.T;
        D = st.D;
        Dl = st.Dl;
        Dv = st.Dv;
        q = st.q;
        flash::copy20(st.x, x);
        flash::copy20(st.y, y);
        if (st.two_phase) {
            flash::mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w);
        } else {
            double hjt = 0, pscr = 0;
            THERM(T, D, z, pscr, e, h, s, cv, cp, w, hjt);
        }
        finish();
    }

    // The split of value b in the band of an azeotrope (flash::azeotropic):
    // on the line between the bubble and the dew point, its vapour fraction
    // by the lever rule on its phases, kept where its liquid is stable (the
    // (T, p) flash cannot tell the vapour fraction where the phases differ
    // no more than that).
    bool azeotropic_state() {
        T = tbub + q * (tdew - tbub);
        Dl = dlbub;
        Dv = dvdew;
        if (!flash::azeotropic_split(q, T, P, z, ybub, xdew, Dl, Dv, x, y) ||
            !mix::single_phase_stable(T, Dl, x))
            return false;
        flash::mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w);
        D = flash::mixed_density(q, Dl, Dv);
        value_by_lever();
        finish();
        return true;
    }

    // The split between the bubble and dew points by the two-phase solver,
    // at the quality of the lever rule between them.
    void two_phase() {
        double pbx = 0, pdx = 0, pp = 0;
        ABFL2(P, b, z, 1, 1, ab, tbub, tdew, pbx, pdx, dlbub, dvdew, ybub, xdew, T, pp, Dl, Dv, x,
              y, q, jerr, jmsg);
        if (jerr > 0) return give_up(jerr, jmsg);
        flash::mix_phases(T, q, Dl, Dv, x, y, e, h, s, cv, cp, w);
        D = flash::mixed_density(q, Dl, Dv);
        finish();
    }
};

}  // namespace

double mixture_quality_marker(double T, double P, double D, double Tc, double Pc, double Dc) {
    if (P > Pc && T >= Tc) return kQualitySupercritical;
    return D > Dc && T < Tc ? kQualityLiquid : kQualityVapour;
}

void pb_mixture(const PbMixtureCall& call, const PbOutputs& out) {
    MixturePressureFlash flash(call, out);
    flash.run();
}

}  // namespace lib
