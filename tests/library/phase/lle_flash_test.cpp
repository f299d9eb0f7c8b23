// States of two liquids from TPFLSH found again by the flashes with one of
// T or P and h, s or D given: each returns the state (T or P within 1e-6
// relative, the vapour fraction within 1e-6) or fails with a message that
// names its inputs.  No other state may be reported as a success.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "library/library.h"
#include "tests/library/phase/lle_support.h"
#include "tests/support/fluid.h"

namespace {

struct TwoLiquids {
    const char* names;
    double z1, T, P;  // first component's mole fraction, K, kPa
    bool found;       // every flash finds it (else a failure may name it)
    // TSFLSH is checked (pentane + hydrogen sulfide: the (T, p) flash
    // misses the two liquids at the 7.8 MPa of the compressed liquid of
    // the same entropy, which TSFLSH then takes as stable).
    bool entropy;
};

// Binaries whose liquid splits in two: the partly miscible fluorocarbon
// and hydrocarbon pairs, and hydrogen sulfide with pentane.
const TwoLiquids kStates[] = {{"ethane|r116", 0.5, 176.562, 87.731, true, true},
                              {"ethane|r116", 0.5, 176.562, 259.853, true, true},
                              {"pentane|h2s", 0.5, 191.454, 29.619, true, false},
                              {"pentane|h2s", 0.5, 191.454, 259.853, true, false},
                              {"c4f10|dme", 0.5, 275.551, 769.667, true, true},
                              {"r14|r23", 0.5, 152.828, 259.853, true, true},
                              {"cyclopro|r134a", 0.5, 221.627, 259.853, false, true}};

class TwoLiquidFlash : public lletest::BinaryState<TwoLiquids> {
protected:
    void SetUp() override {
        lletest::BinaryState<TwoLiquids>::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_GT(q, 0.0);
        ASSERT_LT(q, 1.0);
        // Both phases are liquids (a vapour there is a hundred times thinner).
        ASSERT_GT(std::min(Dl, Dv), 0.3 * std::max(Dl, Dv));
    }

    void check(const char* flash, int ierr, const std::string& herr, double got, double want,
               double q2, double given) const {
        lletest::BinaryState<TwoLiquids>::check(flash, ierr, herr, got, want, q2, given,
                                                GetParam().found);
    }
};

TEST_P(TwoLiquidFlash, PressureFlashesReturnTheState) {
    const TwoLiquids& c = GetParam();
    double T2 = 0, D2 = 0, dl = 0, dv = 0, x2[20], y2[20], q2 = 0, e2 = 0, h2 = 0, s2 = 0;
    int ierr = 0;
    std::string herr;
    lib::PHFLSH(c.P, h, z, T2, D2, dl, dv, x2, y2, q2, e2, s2, cv, cp, w, ierr, herr);
    check("PHFLSH", ierr, herr, T2, c.T, q2, h);
    lib::PSFLSH(c.P, s, z, T2, D2, dl, dv, x2, y2, q2, e2, h2, cv, cp, w, ierr, herr);
    check("PSFLSH", ierr, herr, T2, c.T, q2, s);
}

TEST_P(TwoLiquidFlash, TemperatureFlashesReturnTheState) {
    const TwoLiquids& c = GetParam();
    double P2 = 0, D2 = 0, dl = 0, dv = 0, x2[20], y2[20], q2 = 0, e2 = 0, h2 = 0, s2 = 0;
    int ierr = 0;
    std::string herr;
    for (int kr : {lib::kLowerRoot, lib::kHigherRoot}) {
        lib::THFLSH(c.T, h, z, kr, P2, D2, dl, dv, x2, y2, q2, e2, s2, cv, cp, w, ierr, herr);
        check(kr == lib::kLowerRoot ? "THFLSH (lower root)" : "THFLSH (higher root)", ierr, herr,
              P2, c.P, q2, h);
    }
    if (c.entropy) {
        lib::TSFLSH(c.T, s, z, lib::kLowerRoot, P2, D2, dl, dv, x2, y2, q2, e2, h2, cv, cp, w, ierr,
                    herr);
        check("TSFLSH", ierr, herr, P2, c.P, q2, s);
    }
    lib::TDFLSH(c.T, D, z, P2, dl, dv, x2, y2, q2, e2, h2, s2, cv, cp, w, ierr, herr);
    check("TDFLSH", ierr, herr, P2, c.P, q2, D);
}

std::string state_name(const ::testing::TestParamInfo<TwoLiquids>& info) {
    std::string n = info.param.names;
    for (char& c : n)
        if (c == '|') c = '_';
    return n + "_" + std::to_string(static_cast<int>(std::lround(info.param.P))) + "kPa";
}

INSTANTIATE_TEST_SUITE_P(States, TwoLiquidFlash, ::testing::ValuesIn(kStates), state_name);

}  // namespace
