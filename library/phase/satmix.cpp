// The mixture points of SATT and SATP: the Raoult roads (satmixroad.h) for
// the feed, or for its rest beside a frozen trace; the dew point from a
// split and SATT's line where those fail; the refusals of a point whose
// liquid splits or whose component freezes out.
#include "library/phase/satmix.h"

#include <string>

#include "library/library.h"
#include "library/phase/flashutil.h"
#include "library/phase/frozen.h"
#include "library/phase/satdew.h"
#include "library/phase/satmemo.h"
#include "library/phase/satmixroad.h"
#include "library/phase/satmixtrace.h"
#include "library/phase/satpinv.h"
#include "library/phase/stability.h"
#include "library/setup/records.h"

namespace lib {
namespace {

// The saturation point of a feed x carrying a frozen trace, from the rest's
// point (T, P, xl, xv) of kph: each phase with the trace at the feed's
// fractions, the rest then settled at equal fugacities beside it at T
// (`at_temperature`, the pressure moving) or at P.  Where that fails, the
// rest's point as it is, with densities at (T, P).
void carry_trace(const mix::FrozenTrace& t, const double x[20], int kph, bool at_temperature,
                 double& T, double& P, double& Dl, double& Dv, double xl[20], double xv[20]) {
    mix::add_trace(t, x, xl);
    mix::add_trace(t, x, xv);
    if (mix::settle_point_beside_trace(t, x, kph, at_temperature, T, P, Dl, Dv, xl, xv)) return;
    flash::QuietMessages quiet;
    int jerr = 0;
    std::string jmsg;
    TPRHO(T, P, xl, kLiquid, Dl > 0.0 ? kStartValue : kNoStartValue, Dl, jerr, jmsg);
    TPRHO(T, P, xv, kVapour, Dv > 0.0 ? kStartValue : kNoStartValue, Dv, jerr, jmsg);
}

int roads_under_way = 0;

// Counts a road while it lives.
class RoadUnderWay {
public:
    RoadUnderWay() { ++roads_under_way; }
    ~RoadUnderWay() { --roads_under_way; }
    RoadUnderWay(const RoadUnderWay&) = delete;
    RoadUnderWay& operator=(const RoadUnderWay&) = delete;
};

}  // namespace

int mixture_roads_under_way() { return roads_under_way; }

namespace {

// The share of the estimated critical pressure above which no point at P is
// sought on SATT's line: that line ends below P there, and SATT's failures
// beyond its end cost up to 0.3 s each (butane + water 50/50 at 251.8 MPa,
// 44 times it: 1.2 s for no dew point).  The points the line gave in a sweep
// of 818 binaries and the predefined mixtures lay at most 2.03 times it
// (carbon dioxide + Novec 649's bubble point at 6.155 MPa); above 4 times
// it the line gave none in 67 tries, 3 s in all.
constexpr double kFarAboveCritical = 4.0;

void satt_point(double T, const double x[20], int kph, const MixtureSaturation& m, double& P,
                double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                std::string& herr) {
    const RoadUnderWay road;
    const mix::FrozenTrace trace = mix::frozen_trace(T, x);
    if (!trace.any) {
        pressure_road(T, x, kph, m, P, Dl, Dv, xl, xv, ierr, herr);
        double t = T;
        if (ierr > 0 && kph == kDewPoint && dew_from_split(true, x, t, P, Dl, Dv, xl, xv)) {
            ierr = 0;
            herr.clear();
        }
        return;
    }
    mix::remove_trace(trace, xl);
    mix::remove_trace(trace, xv);
    pressure_road(T, trace.rest, kph, m, P, Dl, Dv, xl, xv, ierr, herr);
    double t = T;
    if (ierr <= 0) carry_trace(trace, x, kph, true, t, P, Dl, Dv, xl, xv);
}

void satp_point(double P, const double x[20], int kph, const MixtureSaturation& m, double& T,
                double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                std::string& herr) {
    const RoadUnderWay road;
    // The point of the feed without its smallest components first where they
    // would be frozen at it: carried as a trace (the full feed's road spent
    // 17-300 ms failing on the carbon dioxide of dry air at 1 atm).
    const mix::FrozenTrace trace = mix::possible_trace(x);
    if (trace.any) {
        double t = T, dl = Dl, dv = Dv, l[20], v[20];
        flash::copy20(xl, l);
        flash::copy20(xv, v);
        mix::remove_trace(trace, l);
        mix::remove_trace(trace, v);
        int jerr = 0;
        std::string jmsg;
        {
            flash::QuietMessages quiet;
            temperature_road(P, trace.rest, kph, m, t, dl, dv, l, v, jerr, jmsg);
        }
        if (jerr <= 0 && mix::same_trace(trace, mix::frozen_trace(t, x))) {
            T = t;
            double p = P;
            carry_trace(trace, x, kph, false, T, p, dl, dv, l, v);
            Dl = dl;
            Dv = dv;
            flash::copy20(l, xl);
            flash::copy20(v, xv);
            ierr = jerr;
            herr = jmsg;
            return;
        }
    }
    temperature_road(P, x, kph, m, T, Dl, Dv, xl, xv, ierr, herr);
    double p = P;
    if (ierr > 0 && kph == kDewPoint && dew_from_split(false, x, T, p, Dl, Dv, xl, xv)) {
        ierr = 0;
        herr.clear();
    }
    // (Close to the critical point: on SATT's line.)
    const bool far_above = m.Pc > 0.0 && P > kFarAboveCritical * m.Pc;
    if (ierr > 0 && !far_above && satp_by_satt(P, x, kph, m.Tc, T, Dl, Dv, xl, xv)) {
        ierr = 0;
        herr.clear();
    }
}

}  // namespace

// A saturation point whose liquid splits in two (the feed at a bubble
// point, the incipient liquid at a dew point) lies where two liquids are
// stable: no boundary of one liquid and a vapour (methane + pentane 50/50
// at 770 kPa had a bubble point at 145.25 K, where the liquid splits into
// 83 and 36 % methane).  Refused naming the state.  (A
// second liquid closer than kSplitLiquidDistance to the plane is no such
// split: the point's densities are known to about 1e-7, a liquid's ln phi
// to some 1e-5; cyclopropane with 5.7e-6 of xenon at its dew point of
// 198.6 K, 10 kPa: -7.9e-6 for the liquid itself.)
constexpr double kSplitLiquidDistance = -1e-4;

void refuse_split_liquid(int n, const char* routine, double T, double P, double Dl,
                         const double xl[20], int& ierr, std::string& herr) {
    if (ierr > 0 || !(Dl > 0.0)) return;
    mix::Stability st;
    {
        flash::QuietMessages quiet;
        if (!mix::second_liquid(T, P, xl, Dl, st) || !(st.tm < kSplitLiquidDistance)) return;
    }
    fail(n, routine,
         "the liquid splits in two liquids at the saturation point (three phases); T =" +
             fmt_g(T, 12, 5) + " K, P =" + fmt_g(P / 1000.0, 12, 5) + " MPa.",
         ierr, herr);
}

namespace {

// The (T, p) flash's error of a state from which a component freezes out.
constexpr int kFrozenOut = 250;

// Open checks of refuse_frozen_point (the check's own (T, p) flash asks
// SATT again, whose point is not checked in turn) and FrozenPointsKept
// scopes.
int frozen_checks = 0;

}  // namespace

FrozenPointsKept::FrozenPointsKept() { ++frozen_checks; }
FrozenPointsKept::~FrozenPointsKept() { --frozen_checks; }

void refuse_frozen_point(const char* routine, double T, double P, const double x[20], int& ierr,
                         std::string& herr) {
    // (Not inside a flash, which looks for its states beside such a point
    // itself and checks what it finds; nor a point another road asks for on
    // its way, whose own point is checked: carbon dioxide + water 96/4 at
    // 1 kPa lost its dew point to the refusal of one of SATT's points on
    // SATP's way.)
    if (ierr > 0 || !(P > 0.0) || frozen_checks > 0 || roads_under_way > 0 ||
        mix::flash_under_way())
        return;
    std::string reason;
    bool refused = false;
    {
        const FrozenPointsKept checking;
        refused = mix::tp_flash_refuses_frozen(T, P, x, reason);
    }
    if (refused) fail(kFrozenOut, routine, reason, ierr, herr);
}

void satt_mixture(double T, const double x[20], int kph, const MixtureSaturation& m, double& P,
                  double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                  std::string& herr) {
    satt_point(T, x, kph, m, P, Dl, Dv, xl, xv, ierr, herr);
    // (Not inside a flash: the flashes look for their states beside such a
    // point themselves.)
    if (!mix::flash_under_way()) refuse_split_liquid(128, "SATT", T, P, Dl, xl, ierr, herr);
}

void satp_mixture(double P, const double x[20], int kph, const MixtureSaturation& m, double& T,
                  double& Dl, double& Dv, double xl[20], double xv[20], int& ierr,
                  std::string& herr) {
    satp_point(P, x, kph, m, T, Dl, Dv, xl, xv, ierr, herr);
    if (!mix::flash_under_way()) refuse_split_liquid(148, "SATP", T, P, Dl, xl, ierr, herr);
}

}  // namespace lib
