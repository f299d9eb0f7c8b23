// Physical sweeps over every built-in fluid: along the saturated liquid from
// the triple point to 0.95 Tc the viscosity and the thermal conductivity
// fall (water's conductivity may rise), and along isotherms of the liquid,
// from the saturated liquid to the equation's pressure limit, both rise with
// density (up to the melting line where the text has one).  Every state
// gives two finite, positive values.  Violations are
// counted per fluid and printed; any one fails the fluid.
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

struct Counts {
    int states = 0, refused = 0;
    int sat_eta = 0, sat_tcx = 0;  // rises along the saturated liquid
    int iso_eta = 0, iso_tcx = 0;  // falls along an isotherm of the liquid
    std::string first;             // the first violation, for the message

    int violations() const { return refused + sat_eta + sat_tcx + iso_eta + iso_tcx; }
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

class Sweep : public ::testing::TestWithParam<std::string> {};

TEST_P(Sweep, SaturatedLiquidAndLiquidIsotherms) {
    const std::string& name = GetParam();
    ASSERT_EQ(trtext::setup(name), 0) << name;
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    double tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    lib::LIMITS("EOS", kPure, tmin, tmax, dmax, pmax);
    const double tlow = std::max(tmin, ttp), thigh = 0.95 * tc;
    const int n = points();
    const bool water = name == "water";
    Counts c;

    Value last;
    for (int i = 0; i <= n; ++i) {
        const double T = tlow + (thigh - tlow) * i / n;
        const double Dl = saturated_liquid(T);
        ASSERT_GT(Dl, 0.0) << name << " SATT at " << T;
        const Value v = transport(T, Dl, c);
        if (v.ok && last.ok) {
            if (!(v.eta < last.eta)) ++c.sat_eta, c.note("viscosity rises at " + at(T, Dl));
            if (!water && !(v.tcx < last.tcx))
                ++c.sat_tcx, c.note("conductivity rises at " + at(T, Dl));
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
                if (!(v.eta > last.eta)) ++c.iso_eta, c.note("viscosity falls at " + at(T, D));
                if (!(v.tcx > last.tcx)) ++c.iso_tcx, c.note("conductivity falls at " + at(T, D));
            }
            last = v;
        }
    }
    if (c.violations() > 0 || std::getenv("KVR2_TRANSPORT_SWEEP") != nullptr)
        std::printf(
            "%-9s %5d states: refused %d; saturated liquid rises eta %d tcx %d; "
            "isotherms fall eta %d tcx %d%s%s\n",
            name.c_str(), c.states, c.refused, c.sat_eta, c.sat_tcx, c.iso_eta, c.iso_tcx,
            c.first.empty() ? "" : "; first: ", c.first.c_str());
    EXPECT_EQ(c.violations(), 0) << name << ": " << c.first;
}

std::vector<std::string> every_fluid() {
    std::vector<std::string> names;
    for (int slot = 1; slot < lib::kTextCount; ++slot) names.emplace_back(lib::store::name(slot));
    return names;
}

INSTANTIATE_TEST_SUITE_P(EveryFluid, Sweep, ::testing::ValuesIn(every_fluid()),
                         [](const ::testing::TestParamInfo<std::string>& p) { return p.param; });

}  // namespace
