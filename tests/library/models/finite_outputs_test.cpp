// No NaN or infinity ever leaves a property routine: a sweep over extreme
// but legal and over illegal temperatures and densities (from 1e-3 K to ten
// times the upper limit, from zero to three times the density limit, and
// negative values) for fluids of every kind of equation: a Helmholtz
// equation with non-analytic terms (water, CO2), plain ones (nitrogen,
// r134a), a quantum fluid (helium) and a corresponding-states estimate
// (nf3).  The properties at (T, D) must be finite. (The solvers meet such
// inputs in the library guards' test and the library fuzz target.)
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/idealgas.h"
#include "library/models/phik.h"
#include "tests/support/finite.h"
#include "tests/support/fluid.h"

namespace {

const double kX[20] = {1.0};
constexpr double kInf = std::numeric_limits<double>::infinity();

// Collects the names of outputs that are not finite at one input.
using testsupport::Finite;

bool setup(const std::string& name) { return testsupport::set_up(name).empty(); }

// Every routine of the (T, D) road at one input.
void properties(double T, double D, const std::string& at, Finite& f) {
    double P, e, h, s, cv, cp, w, hjt;
    lib::THERM(T, D, kX, P, e, h, s, cv, cp, w, hjt);
    f.check("THERM" + at, {P, e, h, s, cv, cp, w, hjt});
    double Z, A, G, kap, bet, pd, pdd, pt, dt, dp, ptt, ptd, sp3, sp4;
    lib::THERM2(T, D, kX, P, e, h, s, cv, cp, w, Z, hjt, A, G, kap, bet, pd, pdd, pt, dt, dp, ptt,
                ptd, sp3, sp4);
    f.check("THERM2" + at, {P,   e,   h,  s,   cv, cp, w,  Z,   hjt, A,   G,
                            kap, bet, pd, pdd, pt, dt, dp, ptt, ptd, sp3, sp4});
    double xisenk, xkt, betas, bs, xkkt, thrott, pint, spht;
    lib::THERM3(T, D, kX, kap, bet, xisenk, xkt, betas, bs, xkkt, thrott, pint, spht);
    f.check("THERM3" + at, {kap, bet, xisenk, xkt, betas, bs, xkkt, thrott, pint, spht});
    lib::THERM0(T, D, kX, P, e, h, s, cv, cp, w, A, G);
    f.check("THERM0" + at, {P, e, h, s, cv, cp, w, A, G});
    lib::ENTHAL(T, D, kX, h);
    lib::ENTRO(T, D, kX, s);
    lib::CVCP(T, D, kX, cv, cp);
    lib::GIBBS(T, D, kX, A, G);
    f.check("ENTHAL ENTRO CVCP GIBBS" + at, {h, s, cv, cp, A, G});
    lib::PRESS(T, D, kX, P);
    lib::DPDD(T, D, kX, pd);
    lib::DPDT(T, D, kX, pt);
    f.check("PRESS DPDD DPDT" + at, {P, pd, pt});
    double d[15];
    lib::DERVPVT(T, D, kX, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], d[10], d[11],
                 d[12], d[13], d[14]);
    f.check("DERVPVT" + at, {d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], d[10],
                             d[11], d[12], d[13], d[14]});
    lib::DHD1(T, D, kX, d[0], d[1], d[2], d[3], d[4], d[5]);
    f.check("DHD1" + at, {d[0], d[1], d[2], d[3], d[4], d[5]});
    double B = 0;
    lib::VIRB(T, kX, B);
    f.check("VIRB" + at, {B});
    // The reduced Helmholtz energy and its defined derivatives, at every
    // finite input (T = 0 gives an infinite tau).
    if (!std::isfinite(T) || !std::isfinite(D)) return;
    double tred = 0, dred = 0;
    lib::REDK(1, tred, dred);
    const double tau = tred / T, del = D / dred;
    for (int it = 0; it <= 3; ++it)
        for (int id = 0; id <= 3; ++id) {
            if (it + id > 3 && !(it == 2 && id == 2)) continue;
            const std::string o = "(" + std::to_string(it) + "," + std::to_string(id) + ")";
            f.check("PHIK" + o + at, {lib::PHIK(1, it, id, tau, del)});
            if (it == 0 || id == 0) f.check("PHI0" + o + at, {lib::PHI0(it, id, T, D, kX)});
        }
}

TEST(FiniteOutputs, ExtremeAndIllegalInputsOfEveryKindOfEquation) {
    Finite f;
    for (const char* fluid : {"water", "co2", "nitrogen", "helium", "r134a", "nf3"}) {
        ASSERT_TRUE(setup(fluid)) << fluid;
        double tmin, tmax, dmax, pmax;
        lib::LIMITS("EOS", kX, tmin, tmax, dmax, pmax);
        double wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas;
        lib::INFO(1, wm, ttp, tnbp, tc, pc, dc, zc, acf, dip, rgas);
        const std::vector<double> temps = {1e-3,        0.5 * ttp, ttp,  tc,  tmax,
                                           10.0 * tmax, 0.0,       -5.0, kInf};
        const std::vector<double> dens = {0.0, 1e-300, 1e-10, dc, dmax, 3.0 * dmax, -1.0, kInf};
        for (double T : temps)
            for (double D : dens) {
                std::ostringstream at;
                at << " " << fluid << " T=" << T << " D=" << D;
                properties(T, D, at.str(), f);
            }
    }
    EXPECT_EQ(f.failures(), "");
    EXPECT_GT(f.count(), 10000);
}

}  // namespace
