// The feed's own root at (T, P): where the density solver finds neither a
// vapour nor a liquid root, a root from a scan of the isotherm is a phase
// only on the vapour's or the liquid's branch; a root in a loop of the
// equation between them (carbon dioxide + nitrogen below carbon dioxide's
// triple point, whose equation swings by 1e8 kPa there) is never given as
// a single phase.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "tests/library/phase/mix_support.h"

namespace {

// Whether the pressure rises along the isotherm of composition x from the
// dilute gas up to D, or from D up to the equation's densest state.
bool on_a_branch(double T, double D, const double x[20]) {
    bool vapour = true, liquid = true;
    double last = 0.0;
    for (int k = 1; k < 400 && vapour; ++k) {
        double p = 0.0;
        lib::PRESS(T, D * k / 400.0, x, p);
        vapour = p > last;
        last = p;
    }
    double tmin, tmax, dmax, pmax;
    lib::LIMITS("EOS", x, tmin, tmax, dmax, pmax);
    lib::PRESS(T, D, x, last);
    for (int k = 1; k <= 400 && liquid && dmax > D; ++k) {
        double p = 0.0;
        lib::PRESS(T, D + (dmax - D) * k / 400.0, x, p);
        liquid = p > last;
        last = p;
    }
    return vapour || liquid;
}

struct Flash {
    double D = 0, Dl = 0, Dv = 0, x[20] = {}, y[20] = {}, q = 0, e = 0, h = 0, s = 0, cv = 0,
           cp = 0, w = 0;
    int ierr = -1;
    std::string herr;
};

Flash tpflsh(double T, double P, const double z[20]) {
    Flash f;
    lib::TPFLSH(T, P, z, f.D, f.Dl, f.Dv, f.x, f.y, f.q, f.e, f.h, f.s, f.cv, f.cp, f.w, f.ierr,
                f.herr);
    return f;
}

// A state the flash gives is a fluid's: its phases' roots on their
// branches, and a single phase's properties of a fluid.
void expect_fluid_state(double T, double P, const double z[20], const Flash& f) {
    const std::string at = std::to_string(T) + " K, " + std::to_string(P) + " kPa";
    const bool two = f.q > 0.0 && f.q < 1.0;
    if (two) {
        EXPECT_TRUE(on_a_branch(T, f.Dl, f.x)) << at << ": liquid " << f.Dl;
        EXPECT_TRUE(on_a_branch(T, f.Dv, f.y)) << at << ": vapour " << f.Dv;
    } else {
        EXPECT_TRUE(on_a_branch(T, f.D, z)) << at << ": " << f.D;
        EXPECT_GT(f.cp, 0.0) << at;
        EXPECT_LT(f.cp, 1e4) << at;
        EXPECT_LT(f.w, 5000.0) << at;
    }
    EXPECT_LT(std::fabs(f.h), 1e5) << at;
}

class FeedRootInLoop : public mixtest::MixtureSuite<> {
protected:
    void SetUp() override {
        ASSERT_TRUE(mixtest::setup(mixtest::Mixture{"co2+nitrogen", "co2|nitrogen", {0.5, 0.5}}));
    }
};

// Half carbon dioxide, half nitrogen at 3.162 MPa from 190 to 196 K: carbon
// dioxide freezes out (error 250) as far as 10 % below its triple point,
// above that the gas and liquid split; the enthalpy of the states found
// runs on smoothly (the flash gave single phases of h -9.2e6 J/mol, cp
// 1.9e6 J/(mol K) and w 15,800 m/s from 192.25 to 194 K).
TEST_F(FeedRootInLoop, FreezesOutOrSplitsAcross190To196K) {
    const double z[20] = {0.5, 0.5};
    constexpr double P = 3162.0;
    double h_last = 0.0, t_last = 0.0;
    int refused = 0, split = 0;
    for (double T = 190.0; T <= 196.0 + 1e-9; T += 0.25) {
        const Flash f = tpflsh(T, P, z);
        if (f.ierr > 0) {
            EXPECT_EQ(f.ierr, 250) << T << " K: " << f.herr;
            EXPECT_NE(f.herr.find("co2 would freeze out"), std::string::npos) << f.herr;
            EXPECT_LT(T, 195.0);
            ++refused;
            continue;
        }
        expect_fluid_state(T, P, z, f);
        EXPECT_GT(f.q, 0.0) << T << " K";
        EXPECT_LT(f.q, 1.0) << T << " K";
        ++split;
        // (Some 100 J/mol per kelvin along the split.)
        if (t_last > 0.0) {
            EXPECT_LT(std::fabs(f.h - h_last) / (T - t_last), 1000.0) << T << " K";
        }
        h_last = f.h;
        t_last = T;
    }
    EXPECT_GT(refused, 0);
    EXPECT_GE(split, 4);
}

// States of the band where the flash gave a root in a loop as a liquid:
// x(carbon dioxide), T (K), P (kPa).
struct LoopState {
    double x, T, P;
};
constexpr LoopState kLoopStates[] = {
    {0.40, 177.5, 2800.0}, {0.40, 180.0, 3000.0},  {0.40, 180.0, 3300.0}, {0.45, 185.0, 3000.0},
    {0.45, 187.5, 3600.0}, {0.50, 192.25, 3162.0}, {0.50, 192.5, 3000.0}, {0.50, 194.0, 3162.0},
};

TEST_F(FeedRootInLoop, NoSinglePhaseFromALoop) {
    for (const LoopState& s : kLoopStates) {
        const double z[20] = {s.x, 1.0 - s.x};
        const Flash f = tpflsh(s.T, s.P, z);
        if (f.ierr > 0) {
            EXPECT_EQ(f.ierr, 250) << s.T << " K, " << s.P << " kPa: " << f.herr;
            continue;
        }
        expect_fluid_state(s.T, s.P, z, f);
    }
}

// Splits below a heavy component's triple point whose methane-rich phase
// the vapour iteration took from a loop of the equation (hexane + methane,
// 10 % of it, at 165 K, 2.5 MPa: 10.03 mol/L where the vapour turns back at
// 3.9 mol/L): x(heavy), T (K), P (kPa).
struct HeavyState {
    const char* names;
    double x, T, P;
};
constexpr HeavyState kHeavyStates[] = {
    {"hexane|methane", 0.10, 165.0, 2500.0},
    {"hexane|methane", 0.10, 170.0, 3000.0},
    {"heptane|methane", 0.05, 175.0, 3300.0},
    {"heptane|methane", 0.10, 170.0, 2500.0},
};

class SplitPhaseRoots : public mixtest::MixtureSuite<> {};

TEST_F(SplitPhaseRoots, BothPhasesOnTheirBranches) {
    for (const HeavyState& s : kHeavyStates) {
        ASSERT_TRUE(mixtest::setup(mixtest::Mixture{s.names, s.names, {s.x, 1.0 - s.x}}));
        const double z[20] = {s.x, 1.0 - s.x};
        const Flash f = tpflsh(s.T, s.P, z);
        if (f.ierr > 0) continue;
        expect_fluid_state(s.T, s.P, z, f);
    }
}

}  // namespace
