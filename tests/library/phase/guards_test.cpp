// Nothing wrong is reported as success: inputs no state has, results the
// caches keep for another input, lines beyond their range, a fluid whose
// set-up failed; every flash gives one state the same quality; and random
// and extreme calls of a dozen fluids pass the checks of the fuzz target.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include "tests/library/phase/flash_support.h"
#include "tests/support/library_calls.h"

namespace {

using namespace flashtest;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const double z[20] = {1.0};

// The error of a call and its message.
struct Outcome {
    int ierr = 0;
    std::string herr;
    double out = 0;  // the result that would be wrong
};

Outcome satt(double T, int kph) {
    Outcome o;
    double Dl, Dv, xl[20], xv[20];
    lib::SATT(T, z, kph, o.out, Dl, Dv, xl, xv, o.ierr, o.herr);
    return o;
}
Outcome satp(double P, int kph) {
    Outcome o;
    double Dl, Dv, xl[20], xv[20];
    lib::SATP(P, z, kph, o.out, Dl, Dv, xl, xv, o.ierr, o.herr);
    return o;
}
Outcome of(const State& s, double out) { return {s.ierr, s.herr, out}; }

TEST(LibraryGuards, NothingWrongIsReportedAsSuccess) {
    const struct {
        const char* fluid;
        const char* call;
        std::function<Outcome()> run;
        int ierr;
        const char* says;
    } cases[] = {
        {"water", "SATT(500 K), then SATT(NaN)",
         [] {
             satt(500.0, 1);
             return satt(kNaN, 1);
         },
         1, "not a number"},
        {"water", "SATP(NaN, sublimation)", [] { return satp(kNaN, 4); }, 4, "not a number"},
        {"water", "SATP(0)", [] { return satp(0.0, 2); }, 4, "zero or negative"},
        {"water", "SATT(3606 K, melting)", [] { return satt(3606.0, 3); }, 1,
         "greater than upper temperature limit of the melting line"},
        {"hydrogen", "SATT(1e12 K, melting)", [] { return satt(1e12, 3); }, 1,
         "upper temperature limit"},
        {"water", "TDFLSH(400 K, -1)", [] { return of(td(400.0, -1.0), td(400.0, -1.0).P); }, 2,
         "density input is zero or negative"},
        {"water", "TDFLSH(-1 K, 10)", [] { return of(td(-1.0, 10.0), 0); }, 1,
         "temperature input is zero or negative"},
        {"water", "TDFLSH(1e30 K, -1e300)", [] { return of(td(1e30, -1e300), 0); }, 2, "density"},
        {"water", "TPFLSH(1e-12 K, 100)", [] { return of(tp(1e-12, 100.0), 0); }, 1,
         "temperature below lower limit"},
        {"water", "TPFLSH(300 K, 0)", [] { return of(tp(300.0, 0.0), 0); }, 4, "pressure input"},
        {"water", "PHFLSH(0, 1000)", [] { return of(ph(0.0, 1000.0), 0); }, 4, "pressure input"},
        {"water", "TSFLSH(-5 K, 10)", [] { return of(ts(-5.0, 10.0), 0); }, 1, "temperature"},
        {"water", "PQFLSH(0.001 kPa, 0.5)", [] { return of(pq(0.001, 0.5), pq(0.001, 0.5).D); }, 2,
         "no liquid"},
        {"nosuchfluid", "CRITP after a failed set-up",
         [] {
             Outcome o;
             double pc, dc;
             lib::CRITP(z, o.out, pc, dc, o.ierr, o.herr);
             return o;
         },
         118, "no fluid is set up: the last set-up failed ([SETUP error 101]"},
        {"nosuchfluid", "TPFLSH after a failed set-up", [] { return of(tp(300.0, 100.0), 0); }, 118,
         "no fluid is set up"},
        {"nosuchfluid", "SATT after a failed set-up", [] { return satt(300.0, 1); }, 118,
         "no fluid is set up"},
        {"water", "SETUP0 with nc = -1",
         [] {
             Outcome o;
             std::string hrf = "DEF";
             lib::SETUP0(-1, "water", "hmx", hrf, o.ierr, o.herr);
             return o;
         },
         91000, "nothing is set up, the previous fluid stays"},
    };
    for (const auto& k : cases) {
        std::string hrf = "DEF";
        int ierr = 0;
        std::string herr;
        lib::SETUP0(1, k.fluid, "hmx", hrf, ierr, herr);
        const Outcome o = k.run();
        EXPECT_EQ(o.ierr, k.ierr) << k.fluid << " " << k.call << ": " << o.herr;
        EXPECT_NE(o.herr.find(k.says), std::string::npos) << k.call << ": " << o.herr;
        EXPECT_TRUE(std::isfinite(o.out)) << k.call;
    }
}

// One state, one quality: the markers of the region from every flash that
// reaches it (compressed water that PHFLSH once gave -2.42 and TPFLSH
// -6.8e-7, vapour that TDFLSH gave 15.9 and TPFLSH 998), and a saturated
// liquid reached through its enthalpy has the quality 0.
TEST(LibraryGuards, EveryFlashGivesAStateTheSameQuality) {
    ASSERT_TRUE(setup("water"));
    const struct {
        double T, P, q;
    } states[] = {
        {322.54, 19400.0, -998.0}, {522.0, 300.0, 998.0},   {374.0, 101.0, 998.0},
        {372.0, 101.0, -998.0},    {700.0, 30000.0, 999.0}, {700.0, 1000.0, 998.0},
        {600.0, 25000.0, -998.0},
    };
    for (const auto& k : states) {
        const State a = tp(k.T, k.P);
        ASSERT_EQ(a.ierr, 0) << a.herr;
        const State from[] = {a, td(k.T, a.D), ph(k.P, a.h), ps(k.P, a.s), ts(k.T, a.s, 2)};
        const char* names[] = {"TP", "TD", "PH", "PS", "TS"};
        for (int i = 0; i < 5; ++i) {
            EXPECT_LE(from[i].ierr, 0) << names[i] << " " << k.T << " " << from[i].herr;
            EXPECT_EQ(from[i].q, k.q) << names[i] << " at " << k.T << " K, " << k.P << " kPa";
        }
    }
    const State sat = pq(10.0, 0.0);
    EXPECT_EQ(ph(10.0, sat.h).q, 0.0);
    EXPECT_EQ(ph(10.0, pq(10.0, 1.0).h).q, 1.0);
}

// Random and extreme inputs (a fixed sequence) through the flashes,
// saturation and property routines of a dozen fluids: the checks of the
// library fuzz target.
TEST(LibraryGuards, RandomAndExtremeCalls) {
    std::mt19937_64 rng(14);
    std::ostringstream bad;
    int calls = 0;
    for (int fl = 0; fl < libcheck::kFluidCount; ++fl) {
        libcheck::FluidScale f;
        ASSERT_TRUE(libcheck::use_fluid(fl, f)) << libcheck::kFluids[fl];
        for (int r = 0; r < libcheck::R_COUNT; ++r) {
            for (int i = 0; i < 30; ++i, ++calls) {
                double ab[2];
                for (int j = 0; j < 2; ++j) {
                    const std::uint64_t bits = rng();
                    const int mode = static_cast<int>(rng() % 8);
                    if (mode < 6)
                        ab[j] = libcheck::physical(libcheck::kInputs[r][j],
                                                   static_cast<double>(bits >> 11) * 0x1.0p-53, f);
                    else if (mode == 6)
                        ab[j] = libcheck::kExtremes[bits % libcheck::kExtremeCount];
                    else
                        std::memcpy(&ab[j], &bits, sizeof(double));
                }
                const int k = static_cast<int>(rng() % 256);
                const auto routine = static_cast<libcheck::Routine>(r);
                const std::string failure = libcheck::check(routine, ab[0], ab[1], k, f, true);
                if (!failure.empty())
                    bad << libcheck::kRoutineNames[r] << " " << libcheck::kFluids[fl] << " ("
                        << ab[0] << ", " << ab[1] << ", k " << k << "): " << failure << "\n";
            }
        }
    }
    EXPECT_EQ(bad.str(), "") << calls << " calls";
}

}  // namespace
