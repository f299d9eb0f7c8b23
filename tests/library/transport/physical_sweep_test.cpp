// Physical sweeps over every built-in fluid: along the saturated liquid from
// the triple point to 0.95 Tc the viscosity and the thermal conductivity
// fall, and along isotherms of the liquid, from the saturated liquid to the
// equation's pressure limit (or the melting line where the text has one),
// both rise with density.  Every state gives two finite, positive values.
// Violations are counted per fluid and printed; any one fails the fluid,
// except those of the table below: what measured liquids do (water's
// anomalies, the quantum liquids) and what a published correlation the
// texts keep does, each bounded to where it happens.
//
// KVR2_TRANSPORT_SWEEP=N takes N points along each line (24 by default) and
// prints the counts of every fluid, not only those that fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/setup/textstore.h"
#include "tests/library/transport/transport_texts.h"

namespace {

const double kPure[20] = {1.0};
constexpr int kIsotherms = 8;

int points() {
    const char* v = std::getenv("KVR2_TRANSPORT_SWEEP");
    return v != nullptr ? std::clamp(std::atoi(v), 4, 2000) : 24;
}

enum Check { kSatEta, kSatTcx, kIsoEta, kIsoTcx };
const char* const kCheckText[] = {
    "viscosity rises along the saturated liquid", "conductivity rises along the saturated liquid",
    "viscosity falls along an isotherm", "conductivity falls along an isotherm"};

// A violation that is no fault: within [tlow, thigh] (K) and by at most
// `step` relative between neighbouring points.
struct Allowed {
    const char* fluid;
    Check check;
    double tlow, thigh, step;
    const char* reason;
};
const Allowed kAllowed[] = {
    {"water", kSatTcx, 0, 1e4, 1.0,
     "the conductivity of liquid water rises with temperature up to 410 K (IAPWS 2011)"},
    {"water", kIsoEta, 0, 305, 1.0,
     "below 305 K the viscosity of liquid water falls with pressure at first (IAPWS 2008)"},
    {"d2o", kSatTcx, 0, 1e4, 1.0, "as water's (IAPWS 2007 for heavy water)"},
    {"d2o", kIsoEta, 0, 315, 1.0, "as water's (IAPWS 2007 for heavy water)"},
    {"hydrogen", kSatTcx, 0, 23, 1.0,
     "the conductivity of liquid hydrogen rises with temperature up to 21 K (the quantum liquid; "
     "the data's correlation)"},
    {"parahyd", kSatTcx, 0, 23, 1.0, "as hydrogen's"},
    {"helium", kSatTcx, 0, 1e4, 1.0,
     "the conductivity of liquid helium I rises with temperature (Hands and Arp 1981)"},
    {"helium", kSatEta, 0, 2.6, 1.0,
     "the viscosity of liquid helium I has a maximum at 2.5 K, near the lambda line (Arp et "
     "al. 1998)"},
    {"ethylene", kIsoEta, 0, 195, 1.0,
     "the published correlation (Holland et al. 1983) falls with pressure below 190 K; its "
     "check values at 110 to 140 K are kept"},
    {"c3cc6", kSatTcx, 570, 605, 0.003,
     "an estimate: its crossover term outweighs the falling background from 0.93 Tc"},
    {"cyclohex", kSatTcx, 515, 530, 0.002, "an estimate, as c3cc6's"},
    {"ihexane", kIsoTcx, 0, 125, 1e-4,
     "an estimate at 780 MPa, beyond the melting line: where the reference fluid's conductivity "
     "is continued in density, its conformal temperature moves along the isotherm"},
    {"r124", kSatTcx, 0, 95, 0.005,
     "the data's corresponding-states conductivity below 90 K, on propane below its triple "
     "point"},
};

const Allowed* allowed(const std::string& fluid, Check check, double T, double step) {
    for (const Allowed& a : kAllowed)
        if (fluid == a.fluid && check == a.check && T >= a.tlow && T <= a.thigh && step <= a.step)
            return &a;
    return nullptr;
}

struct Counts {
    int states = 0, refused = 0;
    int broken[4] = {};   // violations by check
    int excused[4] = {};  // of them allowed by the table
    std::string first;    // the first violation, for the message

    int violations() const {
        int n = refused;
        for (int i = 0; i < 4; ++i) n += broken[i] - excused[i];
        return n;
    }
    void note(const std::string& what) {
        if (first.empty()) first = what;
    }
};

struct Value {
    double eta = 0, tcx = 0;
    bool ok = false;
};

std::string at(double T, double D) {
    char s[80];
    std::snprintf(s, sizeof s, "%.4f K, %.6g mol/L", T, D);
    return s;
}

Value transport(double T, double D, Counts& c) {
    ++c.states;
    const trtext::Result r = trtext::trnprp(T, D);
    Value v{
        r.eta, r.tcx,
        r.ierr <= 0 && std::isfinite(r.eta) && std::isfinite(r.tcx) && r.eta > 0.0 && r.tcx > 0.0};
    if (!v.ok) {
        ++c.refused;
        c.note("no value at " + at(T, D) + ": " + r.herr);
    }
    return v;
}

// Counts a violation of `check` (the new value `now` against `last`, which
// should be larger for kSat*, smaller for kIso*).
void compare(const std::string& fluid, Check check, double last, double now, double T, double D,
             Counts& c) {
    const bool falls = check == kSatEta || check == kSatTcx;
    if (falls ? now < last : now > last) return;
    ++c.broken[check];
    if (allowed(fluid, check, T, std::fabs(now / last - 1.0)) != nullptr) {
        ++c.excused[check];
        return;
    }
    c.note(std::string(kCheckText[check]) + " at " + at(T, D));
}

double saturated_liquid(double T) {
    double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    lib::SATT(T, kPure, lib::kBubblePoint, P, Dl, Dv, xl, xv, ierr, herr);
    return ierr > 0 ? 0.0 : Dl;
}

// The densest liquid at T: at the equation's pressure limit or the melting
// pressure, whichever is lower, and never beyond the equation's density limit.
double compressed_liquid(double T, double pmax, double dmax) {
    double pmelt = 0, D = 0;
    int ierr = 0;
    std::string herr;
    lib::MELTT(T, kPure, pmelt, ierr, herr);
    const double P = ierr == 0 && pmelt > 0.0 ? std::min(pmax, pmelt) : pmax;
    lib::TPRHO(T, P, kPure, lib::kLiquid, 0, D, ierr, herr);
    return ierr > 0 || D > dmax ? dmax : D;
}

// The fluid of the sweep set up, and the temperatures it covers: from the
// triple point (or the equation's lowest) to 0.95 Tc; pmax and dmax the
// equation's limits.
struct SweepRange {
    double tlow = 0, thigh = 0, pmax = 0, dmax = 0;
};
void set_up_sweep(const std::string& name, SweepRange& r) {
    ASSERT_EQ(trtext::setup(name), 0) << name;
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    double tmin = 0, tmax = 0;
    lib::LIMITS("EOS", kPure, tmin, tmax, r.dmax, r.pmax);
    r.tlow = std::max(tmin, ttp);
    r.thigh = 0.95 * tc;
}

class Sweep : public ::testing::TestWithParam<std::string> {};

TEST_P(Sweep, SaturatedLiquidAndLiquidIsotherms) {
    const std::string& name = GetParam();
    SweepRange range;
    ASSERT_NO_FATAL_FAILURE(set_up_sweep(name, range));
    const double tlow = range.tlow, thigh = range.thigh, pmax = range.pmax, dmax = range.dmax;
    const int n = points();
    Counts c;

    Value last;
    for (int i = 0; i <= n; ++i) {
        const double T = tlow + (thigh - tlow) * i / n;
        const double Dl = saturated_liquid(T);
        ASSERT_GT(Dl, 0.0) << name << " SATT at " << T;
        const Value v = transport(T, Dl, c);
        if (v.ok && last.ok) {
            compare(name, kSatEta, last.eta, v.eta, T, Dl, c);
            compare(name, kSatTcx, last.tcx, v.tcx, T, Dl, c);
        }
        last = v;
    }
    for (int k = 0; k < kIsotherms; ++k) {
        const double T = tlow + (thigh - tlow) * k / (kIsotherms - 1);
        const double Dl = saturated_liquid(T), Dtop = compressed_liquid(T, pmax, dmax);
        if (!(Dtop > Dl * (1.0 + 1e-9))) continue;  // at the triple point, say
        last = Value{};
        for (int j = 0; j <= n; ++j) {
            const double D = Dl + (Dtop - Dl) * j / n;
            const Value v = transport(T, D, c);
            if (v.ok && last.ok) {
                compare(name, kIsoEta, last.eta, v.eta, T, D, c);
                compare(name, kIsoTcx, last.tcx, v.tcx, T, D, c);
            }
            last = v;
        }
    }
    const int excused = c.excused[0] + c.excused[1] + c.excused[2] + c.excused[3];
    if (c.violations() > 0 || excused > 0 || std::getenv("KVR2_TRANSPORT_SWEEP") != nullptr)
        std::printf(
            "%-9s %5d states: refused %d; saturated liquid rises eta %d tcx %d; "
            "isotherms fall eta %d tcx %d (%d of them allowed)%s%s\n",
            name.c_str(), c.states, c.refused, c.broken[kSatEta], c.broken[kSatTcx],
            c.broken[kIsoEta], c.broken[kIsoTcx], excused,
            c.first.empty() ? "" : "; first: ", c.first.c_str());
    EXPECT_EQ(c.violations(), 0) << name << ": " << c.first;
}

// The saturated vapour and a thin gas (at a thousandth of the vapour
// pressure) from the triple point to 0.95 Tc: every state gives two finite,
// positive values.  (R1234yf's dilute-gas conductivity, a polynomial with a
// negative constant fitted far above, fell below zero under 129 K: its gas
// from the triple point, 121.6 K, was refused with error 45.)
TEST_P(Sweep, VapourAndThinGasFromTheTriplePoint) {
    const std::string& name = GetParam();
    SweepRange range;
    ASSERT_NO_FATAL_FAILURE(set_up_sweep(name, range));
    const double tlow = range.tlow, thigh = range.thigh;
    const int n = points();
    Counts c;
    for (int i = 0; i <= n; ++i) {
        const double T = tlow + (thigh - tlow) * i / n;
        double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
        int ierr = 0;
        std::string herr;
        lib::SATT(T, kPure, lib::kDewPoint, P, Dl, Dv, xl, xv, ierr, herr);
        ASSERT_LE(ierr, 0) << name << " SATT at " << T << ": " << herr;
        transport(T, Dv, c);
        transport(T, 1e-3 * Dv, c);
    }
    EXPECT_EQ(c.refused, 0) << name << ": " << c.first;
}

// R1234yf's dilute-gas conductivity below its polynomial's sound range
// (from 128.8 K down) continues it as a power of T: positive, rising with
// the temperature, and without a step where it takes over.
TEST(DiluteGasConductivity, ContinuedBelowTheSoundRange) {
    ASSERT_EQ(trtext::setup("r1234yf"), 0);
    double last = 0.0;
    int falls = 0, steps = 0;
    for (int i = 0; i <= 400; ++i) {
        const double T = 121.6 + 0.05 * i;
        const trtext::Result r = trtext::trnprp(T, 1e-7);
        ASSERT_LE(r.ierr, 0) << T << ": " << r.herr;
        ASSERT_GT(r.tcx, 0.0) << T;
        falls += r.tcx < last ? 1 : 0;
        steps += last > 0.0 && r.tcx / last > 1.01 ? 1 : 0;
        last = r.tcx;
    }
    EXPECT_EQ(falls, 0);
    EXPECT_EQ(steps, 0);
}

std::vector<std::string> every_fluid() {
    std::vector<std::string> names;
    for (int slot = 1; slot < lib::kTextCount; ++slot) names.emplace_back(lib::store::name(slot));
    return names;
}

INSTANTIATE_TEST_SUITE_P(EveryFluid, Sweep, ::testing::ValuesIn(every_fluid()),
                         [](const ::testing::TestParamInfo<std::string>& p) { return p.param; });

}  // namespace
