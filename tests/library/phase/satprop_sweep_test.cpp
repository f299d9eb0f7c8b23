// Saturation at given enthalpy, energy, entropy and density over every
// built-in pure fluid: at 20 temperatures from the triple point (the lower
// limit of the equation, when higher) to 0.999 Tc, the saturated liquid's
// and vapour's own h, e and s give their temperature back among the roots of
// SATH, SATE and SATS, within 1e-7 K, and their densities through SATD a
// saturation state of that density to 1e-11 (water's and heavy water's
// liquids have two), at their temperature to 1e-9 of it where it is the only
// one.  Each fluid prints its failures by property;
// KVR2_SATPROP_TEMPERATURES sets a denser sweep.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/phase/sath.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "tests/support/fluid.h"

namespace {

const double kX[20] = {1.0};

int temperatures() {
    const char* v = std::getenv("KVR2_SATPROP_TEMPERATURES");
    return v != nullptr && std::atoi(v) > 1 ? std::atoi(v) : 20;
}

// The roots of one call.
struct Roots {
    int n = 0, ierr = 0;
    int k[3] = {};
    double T[3] = {};
    std::string herr;
};

enum Prop { kH, kE, kS };
const char* const kNames[] = {"h", "e", "s"};

Roots roots(Prop p, double v) {
    Roots r;
    double P[3], D[3];
    if (p == kS)
        lib::SATS(v, kX, 0, r.n, r.k[0], r.T[0], P[0], D[0], r.k[1], r.T[1], P[1], D[1], r.k[2],
                  r.T[2], P[2], D[2], r.ierr, r.herr);
    else
        (p == kH ? lib::SATH : lib::SATE)(v, kX, 0, r.n, r.k[0], r.T[0], P[0], D[0], r.k[1], r.T[1],
                                          P[1], D[1], r.ierr, r.herr);
    return r;
}

// Whether SATD gives a saturation state whose phase of the kind (1 liquid,
// 2 vapour) has the density D: at T, or where D is the density of two
// saturated liquids, at the other temperature.
bool saturation_at_density(double T, double D, int kind, std::string& why) {
    int kr = 0, ierr = 0;
    double T2 = 0, P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    std::string herr;
    lib::SATD(D, kX, 0, kr, T2, P, Dl, Dv, xl, xv, ierr, herr);
    char buf[300];
    std::snprintf(buf, sizeof buf, "SATD(%.12g): kr %d T %.12g ierr %d %s", D, kr, T2, ierr,
                  herr.c_str());
    why = buf;
    if (ierr > 0 || kr != kind) return false;
    if (std::fabs(T2 - T) <= 1e-9 * T) return true;
    double P2 = 0, dl = 0, dv = 0;
    lib::SATT(T2, kX, kind, P2, dl, dv, xl, xv, ierr, herr);
    return kind == 1 && ierr <= 0 && std::fabs(dl / D - 1.0) <= 1e-11;
}

double value(Prop p, double T, double D) {
    double v = 0;
    if (p == kH)
        lib::ENTHAL(T, D, kX, v);
    else if (p == kE)
        lib::ENERGY(T, D, kX, v);
    else
        lib::ENTRO(T, D, kX, v);
    return v;
}

class EverySaturatedState : public ::testing::TestWithParam<std::string> {};

TEST_P(EverySaturatedState, GivesItsTemperatureBack) {
    ASSERT_EQ(testsupport::set_up(GetParam()), "");
    double Tc = 0, Pc = 0, Dc = 0, tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(kX, Tc, Pc, Dc, ierr, herr);
    lib::LIMITS("EOS", kX, tmin, tmax, dmax, pmax);
    double tlow = std::max(tmin, lib::CCON.ttp[1]);
    if (GetParam() == "water") tlow = 273.16;
    const int n = temperatures();
    int failures[3] = {}, density_failures = 0, states = 0, missing = 0;
    std::string first;
    for (int i = 0; i < n; ++i) {
        const double T = tlow + (0.999 * Tc - tlow) * i / (n - 1);
        double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
        lib::SATT(T, kX, lib::kBubblePoint, P, Dl, Dv, xl, xv, ierr, herr);
        if (ierr <= 0) lib::SATT(T, kX, lib::kDewPoint, P, xl[0], Dv, xl, xv, ierr, herr);
        if (ierr > 0) {
            ++missing;
            std::printf("%s: no saturation state at %.9g K: %s\n", GetParam().c_str(), T,
                        herr.c_str());
            continue;
        }
        ++states;
        for (int kind : {1, 2}) {
            std::string why;
            if (saturation_at_density(T, kind == 1 ? Dl : Dv, kind, why)) continue;
            ++density_failures;
            if (first.empty())
                first = GetParam() + " at " + std::to_string(T) + " K: " + why + "\n";
        }
        for (Prop p : {kH, kE, kS})
            for (int kind : {1, 2}) {
                const double v = value(p, T, kind == 1 ? Dl : Dv);
                const Roots r = roots(p, v);
                bool found = false;
                for (int k = 0; k < r.n; ++k)
                    found = found || (r.k[k] == kind && std::fabs(r.T[k] - T) <= 1e-7);
                if (found) continue;
                ++failures[p];
                if (first.empty() || std::getenv("KVR2_SATPROP_ALL") != nullptr) {
                    char buf[400];
                    std::snprintf(
                        buf, sizeof buf,
                        "%s: %s of the %s at %.9g K (%.12g): %d roots %d %.10g %d %.10g %d %.10g, "
                        "ierr %d %s",
                        GetParam().c_str(), kNames[p], kind == 1 ? "liquid" : "vapour", T, v, r.n,
                        r.k[0], r.T[0], r.k[1], r.T[1], r.k[2], r.T[2], r.ierr, r.herr.c_str());
                    first += std::string(buf) + "\n";
                }
            }
    }
    std::printf("%-10s %3d states; failures h %d, e %d, s %d, D %d\n", GetParam().c_str(), states,
                failures[kH], failures[kE], failures[kS], density_failures);
    // SATT finds no state at 0.999 Tc for five fluids (three
    // corresponding-states estimates and two blends); it is not counted.
    EXPECT_LE(missing, 1);
    EXPECT_GT(states, n / 2);
    EXPECT_EQ(failures[kH] + failures[kE] + failures[kS] + density_failures, 0) << first;
}

std::vector<std::string> every_fluid() {
    std::vector<std::string> names;
    for (int slot = 1; slot < lib::kTextCount; ++slot) {
        const std::string name(lib::store::name(slot));
        // The mixture-parameter text is no fluid.
        if (name != "hmx") names.push_back(name);
    }
    return names;
}

INSTANTIATE_TEST_SUITE_P(EveryFluid, EverySaturatedState, ::testing::ValuesIn(every_fluid()),
                         [](const ::testing::TestParamInfo<std::string>& p) { return p.param; });

}  // namespace
