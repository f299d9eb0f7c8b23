#include "library/phase/satcrit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "library/library.h"
#include "library/models/phik.h"
#include "library/phase/records.h"
#include "library/phase/satcheb.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "tests/library/phase/sat_support.h"

namespace {

using sattest::rel;
using sattest::Sat;
using sattest::satp;
using sattest::satt;

// The top of the saturation line: the equation's own critical temperature,
// or 1e-8 K below the stated one (SATT's critical point) where that is lower.
double line_end(const lib::satcheb::Tail& tl) {
    double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
    lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
    return std::min(tl.te, tc - 1e-8);
}

// Every built-in pure fluid between the top of its expansions and 1e-9 Te
// below the top of its line (up to the stated critical pressure): SATT finds each state in a few
// evaluations of the equation, and SATP at its pressure returns the temperature and the very state
// that SATT gives there.
TEST(Satcrit, EveryFluidUpToTheTopOfItsLine) {
    std::ostringstream bad, report;
    unsigned long long satt_evals = 0, satp_evals = 0, satp_worst = 0;
    int calls = 0;
    for (int slot = 1; slot < lib::kTextCount; ++slot) {
        const std::string name(lib::store::name(slot));
        ASSERT_TRUE(sattest::setup(name));
        const lib::satcheb::Tail* tl = lib::satcheb::tail(1);
        if (tl == nullptr) {
            bad << name << ": no line above the expansions\n";
            continue;
        }
        const double top = line_end(*tl), t0 = tl->t[0];
        double worst_t = 0;
        for (int k = 0; k < 12; ++k) {
            // From just above the expansions to 1e-9 Te below the top.
            const double gap = 0.9 * (top - t0) * std::pow(1e-9 * tl->te / (top - t0), k / 11.0);
            const double T = top - gap;
            unsigned long long before = lib::EOS_EVALUATIONS;
            const Sat a = satt(T);
            satt_evals += lib::EOS_EVALUATIONS - before;
            if (a.ierr != 0 || !(a.Dl > a.Dv)) {
                bad << name << " SATT " << T << ": " << a.herr << "\n";
                continue;
            }
            // (Above the stated critical pressure SATP has no state.)
            if (a.P > lib::CCON.pc[1]) continue;
            before = lib::EOS_EVALUATIONS;
            const Sat b = satp(a.P, 2);
            const unsigned long long n = lib::EOS_EVALUATIONS - before;
            satp_evals += n;
            satp_worst = std::max(satp_worst, n);
            ++calls;
            if (b.ierr != 0) {
                bad << name << " SATP " << a.P << " (T " << T << "): " << b.herr << "\n";
                continue;
            }
            // Close to the top the pressure is met to its rounding, some 1e-11.
            worst_t = std::max(worst_t, rel(b.T, T));
            lib::FSHSAV.tst = 0;  // (SATT's cache would answer within 1e-9 K of T)
            const Sat c = satt(b.T);
            if (!(c.Dl == b.Dl && c.Dv == b.Dv) || rel(c.P, a.P) > 1e-10)
                bad << name << " SATP " << a.P << " gives T " << b.T << " Dl " << b.Dl << " Dv "
                    << b.Dv << ", SATT there " << c.P << " " << c.Dl << " " << c.Dv << "\n";
        }
        if (worst_t > 1e-10) bad << name << ": SATP misses T by " << worst_t << "\n";
        char line[160];
        std::snprintf(line, sizeof line, "%-10s Te/Tc-1 %+.1e, %d states above the expansions\n",
                      name.c_str(), tl->te / lib::CCON.tc[1] - 1.0, tl->n);
        report << line;
    }
    EXPECT_EQ(bad.str(), "") << report.str();
    ASSERT_GT(calls, 0);
    // (Measured: 10 and 60 on average, at most some 600.)
    EXPECT_LT(satt_evals / calls, 30u);
    EXPECT_LT(satp_evals / calls, 200u);
    EXPECT_LT(satp_worst, 1500u);
}

// Air's equation and r407c's put their own critical point below the stated
// one: between the two there is no saturation state, and both routines say
// so at once (they searched with some 1e5 evaluations of the equation).
TEST(Satcrit, NoStateBetweenTheEquationsCriticalPointAndTheStatedOne) {
    for (const char* name : {"air", "r407c"}) {
        ASSERT_TRUE(sattest::setup(name));
        const lib::satcheb::Tail* tl = lib::satcheb::tail(1);
        ASSERT_NE(tl, nullptr);
        const double tc = lib::CCON.tc[1], pc = lib::CCON.pc[1];
        ASSERT_LT(tl->te, tc * (1.0 - 1e-3)) << name;
        for (double f : {1e-6, 0.5, 0.99}) {
            const double T = tl->te + f * (tc - 1e-8 - tl->te);
            unsigned long long before = lib::EOS_EVALUATIONS;
            const Sat a = satt(T);
            EXPECT_EQ(a.ierr, 124) << name << " " << T;
            EXPECT_LT(lib::EOS_EVALUATIONS - before, 20u) << name << " " << T;
            const double P = tl->pe + f * (pc * (1.0 - 1e-8) - tl->pe);
            before = lib::EOS_EVALUATIONS;
            const Sat b = satp(P);
            EXPECT_EQ(b.ierr, 144) << name << " " << P;
            EXPECT_LT(lib::EOS_EVALUATIONS - before, 20u) << name << " " << P;
        }
        // Just below the equation's own critical point the state is found.
        const Sat c = satp(tl->pe * (1.0 - 1e-9));
        EXPECT_EQ(c.ierr, 0) << name << ": " << c.herr;
        EXPECT_GT(c.Dl, c.Dv);
        EXPECT_LT(c.T, tl->te);
    }
}

// The evaluator of the equation keeps its last state while the temperature
// moves by less than 1e-12; the densities close to the critical point follow
// the temperature many times over.  The state at T is the same whatever was
// evaluated before (a pressure flash and a saturation call at its
// temperature then find the same phases).
TEST(Satcrit, StateDoesNotDependOnWhatWasEvaluatedBefore) {
    for (const char* name : {"propane", "r410a", "air"}) {
        ASSERT_TRUE(sattest::setup(name));
        const lib::satcheb::Tail* tl = lib::satcheb::tail(1);
        ASSERT_NE(tl, nullptr);
        for (double g : {1e-6, 1e-7, 3e-8}) {
            const double T = tl->te * (1.0 - g);
            // The state at T evaluated afresh, and again after the evaluator
            // has been left at T (1 + 3e-13).  (SATT's result cache is
            // switched off in between.)
            lib::FSHSAV.tst = 0;
            (void)lib::PHIK(1, 0, 0, 2.0, 1.0);
            const Sat a = satt(T);
            lib::FSHSAV.tst = 0;
            (void)lib::PHIK(1, 0, 0, 2.0, 1.0);
            (void)satt(T * (1.0 + 3e-13));
            lib::FSHSAV.tst = 0;
            const Sat b = satt(T);
            ASSERT_EQ(a.ierr, 0) << name << " " << T << ": " << a.herr;
            EXPECT_EQ(a.P, b.P) << name << " " << T;
            EXPECT_EQ(a.Dl, b.Dl) << name << " " << T;
            EXPECT_EQ(a.Dv, b.Dv) << name << " " << T;
        }
    }
}

}  // namespace
