// No NaN or infinity leaves a mixture routine: extreme and illegal
// temperatures, densities and compositions through the property routines,
// the fugacities and composition derivatives, the virial coefficients, the
// critical-point estimate, the range check and the derived quantities, for
// mixtures of every rule of the mixture model (departure functions with
// Gaussian bells, the HFC functions, ammonia + water, an estimated pair,
// AGA8).  Every output must be finite, or the routine must report an error.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/hmxrecords.h"
#include "library/models/phiderv.h"
#include "tests/support/finite.h"
#include "tests/support/fluid.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Mixture {
    const char* names;
    std::vector<double> x;
    bool aga;
};
const Mixture kMixtures[] = {
    {"methane|ethane|propane|nitrogen|co2", {0.8, 0.07, 0.03, 0.06, 0.04}, false},
    {"methane|ethane|propane|nitrogen|co2", {0.8, 0.07, 0.03, 0.06, 0.04}, true},
    {"r32|r125|r134a", {0.23, 0.25, 0.52}, false},
    {"co2|water", {0.9, 0.1}, false},
    {"ammonia|water", {0.4, 0.6}, false},
    {"r245ca|cyclopro", {0.5, 0.5}, false},
};

using testsupport::Finite;

void at_state(double T, double D, const double x[20], const std::string& at, Finite& f) {
    double P, e, h, s, cv, cp, w, hjt;
    lib::THERM(T, D, x, P, e, h, s, cv, cp, w, hjt);
    f.check("THERM" + at, {P, e, h, s, cv, cp, w, hjt});
    double Z, A, G, kap, bet, pd, pdd, pt, dt, dp, ptt, ptd, sp3, sp4;
    lib::THERM2(T, D, x, P, e, h, s, cv, cp, w, Z, hjt, A, G, kap, bet, pd, pdd, pt, dt, dp, ptt,
                ptd, sp3, sp4);
    f.check("THERM2" + at,
            {P, e, h, s, cv, cp, w, Z, hjt, A, G, kap, bet, pd, pdd, pt, dt, dp, ptt, ptd});
    double B = 0, C = 0, b12 = 0;
    lib::VIRB(T, x, B);
    lib::VIRC(T, x, C);
    lib::B12(T, x, b12);
    f.check("VIRB VIRC B12" + at, {B, C, b12});
    int ierr = 0;
    std::string herr;
    double v[20];
    lib::FGCTY2(T, D, x, v, ierr, herr);
    f.array("FGCTY2" + at, v, 20);
    lib::FGCTY(T, D, x, v);
    f.array("FGCTY" + at, v, 20);
    lib::FUGCOF(T, D, x, v, ierr, herr);
    f.array("FUGCOF" + at, v, 20);
    lib::CHEMPOT(T, D, x, v, ierr, herr);
    if (ierr <= 0) f.array("CHEMPOT" + at, v, 20);
    double dadn[20], dnadn[20];
    lib::PHIDERV(2, T, D, x, dadn, dnadn, ierr, herr);
    if (ierr <= 0) {
        f.array("PHIDERV dnadn" + at, dnadn, 20);
        f.array("PHIDR ln(x phi)" + at, lib::PHIDR.lnxphi.data(), 20);
        f.array("PHIDR dlnphi/dT" + at, lib::PHIDR.dlnphi_dt.data(), 20);
        f.array("PHIDR dlnphi/dP" + at, lib::PHIDR.dlnphi_dp.data(), 20);
        for (int i = 0; i < 20; ++i)
            f.array("PHIDR n dlnphi/dn" + at,
                    lib::PHIDR.ndlnphi_dn[static_cast<std::size_t>(i)].data(), 20);
    }
    f.check("RIEM FPV" + at, {lib::RIEM(T, D, x), lib::FPV(T, D, P, x)});
    double tmin, tmax, dmax, pmax;
    lib::LIMITX("EOS", T, D, P, x, tmin, tmax, dmax, pmax, ierr, herr);
    f.check("LIMITX" + at, {tmin, tmax, dmax, pmax});
    double tc, pc, dc;
    lib::CRITP(x, tc, pc, dc, ierr, herr);
    f.check("CRITP" + at, {tc, pc, dc});
}

TEST(MixtureFiniteOutputs, ExtremeAndIllegalStatesAndCompositions) {
    Finite f;
    for (const Mixture& m : kMixtures) {
        ASSERT_EQ(testsupport::set_up(m.names), "");
        const int nc = static_cast<int>(m.x.size());
        int ierr = 0;
        std::string herr;
        if (m.aga) {
            lib::SETAGA(ierr, herr);
            ASSERT_EQ(ierr, 0) << herr;
        }
        double x[20] = {};
        for (int i = 0; i < nc; ++i) x[i] = m.x[static_cast<std::size_t>(i)];
        // Compositions: the mixture, one almost pure, one with a component at
        // 1e-300, one not summing to 1, all zero.
        std::vector<std::vector<double>> xs = {std::vector<double>(x, x + 20)};
        std::vector<double> y(20, 0.0), z(20, 0.0), u(20, 0.0), zero(20, 0.0);
        y[0] = 1.0 - 1e-11;
        y[1] = 1e-11;
        for (int i = 0; i < nc; ++i) z[static_cast<std::size_t>(i)] = x[i];
        z[1] = 1e-300;
        z[0] = x[0] + x[1] - 1e-300;
        for (int i = 0; i < nc; ++i) u[static_cast<std::size_t>(i)] = 0.5 * x[i];
        for (const auto& c : {y, z, u, zero}) xs.push_back(c);
        double tc = 0, pc = 0, dc = 0;
        lib::CRITP(x, tc, pc, dc, ierr, herr);
        const std::vector<double> temps = {1e-3, 0.3 * tc, tc, 3.0 * tc, 0.0, -5.0, kInf};
        const std::vector<double> dens = {0.0, 1e-300, 1e-10, dc, 3.0 * dc, 100.0, -1.0, kInf};
        for (const auto& c : xs)
            for (double T : temps)
                for (double D : dens) {
                    std::ostringstream at;
                    at << " " << m.names << (m.aga ? " (AGA8)" : "") << " x1=" << c[0] << " T=" << T
                       << " D=" << D;
                    at_state(T, D, c.data(), at.str(), f);
                }
        double hg = 0, hn = 0;
        lib::HEAT(300.0, 1.0, x, hg, hn, ierr, herr);
        f.check(std::string("HEAT ") + m.names, {hg, hn});
        if (m.aga) lib::UNSETAGA();
    }
    EXPECT_EQ(f.failures(), "");
    EXPECT_GT(f.count(), 100000);
}

}  // namespace
