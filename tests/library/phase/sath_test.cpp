// Saturation states of given enthalpy, energy and entropy, and the flashes
// at given (h, s) and (e, s): roots at known saturated states, both vapour
// roots about the enthalpy maximum, the error numbers and texts, and round
// trips over single-phase and two-phase grids.
#include "library/phase/sath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/setup/records.h"
#include "tests/library/phase/sat_support.h"
#include "tests/support/fluid.h"
#include "tests/support/paths.h"

namespace {

const double kX[20] = {1.0};

struct Sat {
    double P = 0, Dl = 0, Dv = 0, hl = 0, hv = 0, el = 0, ev = 0, sl = 0, sv = 0;
};

Sat sat(double T) {
    const sattest::Sat b = sattest::bubble_at(T);
    Sat r{b.P, b.Dl, b.Dv};
    lib::ENTHAL(T, r.Dl, kX, r.hl);
    lib::ENTHAL(T, r.Dv, kX, r.hv);
    lib::ENERGY(T, r.Dl, kX, r.el);
    lib::ENERGY(T, r.Dv, kX, r.ev);
    lib::ENTRO(T, r.Dl, kX, r.sl);
    lib::ENTRO(T, r.Dv, kX, r.sv);
    return r;
}

// The roots of one call as (kind, T) pairs.
struct Roots {
    int n = 0, ierr = 0;
    int k[3] = {};
    double T[3] = {};
    std::string herr;
    bool has(int kind, double t, double tol) const {
        for (int i = 0; i < n; ++i)
            if (k[i] == kind && std::fabs(T[i] - t) <= tol) return true;
        return false;
    }
};

Roots sath(double h, int kph, bool energy = false) {
    Roots r;
    double P1, D1, P2, D2;
    (energy ? lib::SATE : lib::SATH)(h, kX, kph, r.n, r.k[0], r.T[0], P1, D1, r.k[1], r.T[1], P2,
                                     D2, r.ierr, r.herr);
    return r;
}

Roots sats(double s, int kph) {
    Roots r;
    double P1, D1, P2, D2, P3, D3;
    lib::SATS(s, kX, kph, r.n, r.k[0], r.T[0], P1, D1, r.k[1], r.T[1], P2, D2, r.k[2], r.T[2], P3,
              D3, r.ierr, r.herr);
    return r;
}

// Water at 300, 450 and 600 K and at the temperatures of the reference
// table: every property of both phases has a root at that temperature.
TEST(SatH, WaterRootsAtSaturatedStates) {
    ASSERT_EQ(testsupport::set_up("water"), "");
    std::vector<double> temps{300.0, 450.0, 600.0};
    if (!testsupport::shared_dir().empty()) {
        std::ifstream in(testsupport::shared_dir() + "/reference/sat.csv");
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("water,", 0) == 0) temps.push_back(std::stod(line.substr(6)));
    }
    for (double T : temps) {
        const Sat s = sat(T);
        for (const auto& [r, kind, what] : {std::tuple{sath(s.hl, 0), 1, "h liquid"},
                                            {sath(s.hv, 0), 2, "h vapour"},
                                            {sath(s.el, 0, true), 1, "e liquid"},
                                            {sath(s.ev, 0, true), 2, "e vapour"},
                                            {sats(s.sl, 0), 1, "s liquid"},
                                            {sats(s.sv, 0), 2, "s vapour"}}) {
            EXPECT_EQ(r.ierr, 0) << T << " " << what << " " << r.herr;
            EXPECT_TRUE(r.has(kind, T, 1e-6))
                << T << " K " << what << ": " << r.n << " roots, " << r.T[0] << " " << r.T[1];
        }
    }
}

// Between the vapour enthalpy at the lower limit and the maximum there are
// two vapour roots, one on each side of the maximum.
TEST(SatH, TwoVapourRootsAboutTheMaximum) {
    for (const char* fluid : {"water", "co2", "nitrogen"}) {
        ASSERT_EQ(testsupport::set_up(fluid), "");
        double hmax = 0, tpeak = 0;
        int ierr = 0;
        std::string herr;
        lib::EHMAXX(kX, 0, hmax, tpeak, ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        const double tlow = std::max(lib::CCON.ttp[1], 273.16 * (std::string(fluid) == "water"));
        const Sat low = sat(tlow + 0.5 * (tpeak - tlow)), top = sat(tpeak);
        EXPECT_NEAR(top.hv, hmax, 1e-6 * std::fabs(hmax));
        const double h = low.hv;
        const Roots r = sath(h, 0);
        ASSERT_EQ(r.ierr, 0) << r.herr;
        ASSERT_EQ(r.n, 2) << fluid;
        EXPECT_EQ(r.k[0], 2);
        EXPECT_EQ(r.k[1], 2);
        EXPECT_GT(r.T[0], tpeak);
        EXPECT_NEAR(r.T[1], tlow + 0.5 * (tpeak - tlow), 1e-6) << fluid;
        // The enthalpy just above the maximum: ierr 4 for the vapour, not
        // rejected on the melting line.
        const Roots above = sath(hmax + 1.0, 2);
        EXPECT_EQ(above.ierr, 4);
        EXPECT_EQ(above.herr.substr(0, 52), "[SATH error  4] enthalpy greater than maximum value;");
        const Roots e_above = sath(top.ev + 1e3, 2, true);
        EXPECT_EQ(e_above.ierr, 4);
        EXPECT_EQ(e_above.herr.substr(0, 50), "[SATE error  4] energy greater than maximum value;");
        EXPECT_NE(e_above.herr.find(" e ="), std::string::npos) << e_above.herr;
        EXPECT_EQ(lib::FLAGS2.energy_switch, 0);
    }
    ASSERT_EQ(testsupport::set_up("water"), "");
    EXPECT_NE(sath(60000.0, 3).ierr, 4);
}

TEST(SatH, RangeErrors) {
    ASSERT_EQ(testsupport::set_up("nitrogen"), "");
    const Sat low = sat(lib::CCON.ttp[1]);
    const Roots below = sath(low.hl - 100.0, 0);
    EXPECT_EQ(below.ierr, 2);
    EXPECT_EQ(below.n, 0);
    EXPECT_EQ(below.herr.substr(0, 50), "[SATH error  2] enthalpy below triple-point value;");
    const Roots sbelow = sats(low.sl - 1.0, 0);
    EXPECT_EQ(sbelow.ierr, 2);
    EXPECT_EQ(sbelow.herr.substr(0, 46), "[SATS error  2] entropy below minimum entropy;");
    // An entropy above the liquid's critical value has vapour roots only.
    const Sat mid = sat(100.0);
    const Roots liquid_only = sats(mid.sv, 1);
    EXPECT_EQ(liquid_only.ierr, 1);
    EXPECT_EQ(liquid_only.n, 0);
    EXPECT_EQ(liquid_only.herr.substr(0, 53),
              "[SATS error  1] no roots found for specified phase; s");
    const Roots sabove = sats(mid.sv + 200.0, 0);
    EXPECT_EQ(sabove.ierr, 4);
}

// Round trips of (h, s) and (e, s) over single-phase (T, p) grids and
// two-phase (T, q) grids; failures are counted.
TEST(HsFlash, RoundTrips) {
    for (const char* fluid : {"water", "co2", "nitrogen", "r134a"}) {
        ASSERT_EQ(testsupport::set_up(fluid), "");
        double Tc = 0, Pc = 0, Dc = 0;
        int ierr = 0;
        std::string herr;
        lib::CRITP(kX, Tc, Pc, Dc, ierr, herr);
        const double ttp = std::max(lib::CCON.ttp[1], 273.16 * (std::string(fluid) == "water"));
        int failures = 0, checked = 0;
        auto check = [&](double h, double e, double s, double T0, double q0, bool two) {
            for (bool energy : {false, true}) {
                double T, P, D, Dl, Dv, x[20], y[20], q, other, cv, cp, w;
                (energy ? lib::ESFLSH : lib::HSFLSH)(energy ? e : h, s, kX, T, P, D, Dl, Dv, x, y,
                                                     q, other, cv, cp, w, ierr, herr);
                ++checked;
                const bool ok = ierr == 0 && std::fabs(T - T0) <= 1e-6 &&
                                (!two || std::fabs(q - q0) <= 1e-7) &&
                                std::fabs(other - (energy ? h : e)) <= 1e-6 * std::fabs(h) + 1e-3;
                if (!ok) {
                    ++failures;
                    if (failures < 8)
                        ADD_FAILURE()
                            << fluid << (energy ? " e-s" : " h-s") << " T0 " << T0 << " q0 " << q0
                            << ": T " << T << " q " << q << " ierr " << ierr << " " << herr;
                }
            }
        };
        for (int i = 0; i < 12; ++i) {
            const double T = ttp + (2.0 * Tc - ttp) * (i + 0.5) / 12.0;
            for (double p : {0.01 * Pc, 0.3 * Pc, 1.5 * Pc, 5.0 * Pc}) {
                double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
                lib::TPFLSH(T, p, kX, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
                if (ierr != 0) continue;
                check(h, e, s, T, q, false);
            }
        }
        for (int i = 0; i < 10; ++i) {
            const double T = ttp + (0.98 * Tc - ttp) * (i + 0.5) / 10.0;
            const Sat st = sat(T);
            for (double q : {0.0, 0.05, 0.5, 0.95, 1.0}) {
                check(st.hl + q * (st.hv - st.hl), st.el + q * (st.ev - st.el),
                      st.sl + q * (st.sv - st.sl), T, q, true);
            }
        }
        EXPECT_EQ(failures, 0) << fluid << " of " << checked;
        EXPECT_EQ(lib::FLAGS2.energy_switch, 0);
    }
}

// Liquids close to their triple points at twice the vapour pressure, from
// their (e, s): the liquid's temperature, inside the equation's range.  An
// extrapolated equation may have a second state of the same e and s far
// beyond it (fluorine at 71.89 K, 33 kPa and at 127.86 K, 512 MPa).
TEST(HsFlash, LiquidsNextToTheTriplePointStayInRange) {
    const struct {
        const char* fluid;
        double T;
    } cases[] = {{"fluorine", 71.890024}, {"fluorine", 54.4811}, {"r21", 143.8},
                 {"propane", 86.525},     {"water", 274.16},     {"ethanol", 160.0}};
    for (const auto& c : cases) {
        ASSERT_EQ(testsupport::set_up(c.fluid), "");
        const Sat st = sat(c.T);
        double D = 0;
        int ierr = 0;
        std::string herr;
        lib::TPRHO(c.T, 2.0 * st.P, kX, lib::kLiquid, lib::kNoStartValue, D, ierr, herr);
        ASSERT_EQ(ierr, 0) << c.fluid << " " << herr;
        double e = 0, s = 0;
        lib::ENERGY(c.T, D, kX, e);
        lib::ENTRO(c.T, D, kX, s);
        double T, P, D2, Dl, Dv, x[20], y[20], q, h, cv, cp, w;
        lib::ESFLSH(e, s, kX, T, P, D2, Dl, Dv, x, y, q, h, cv, cp, w, ierr, herr);
        EXPECT_LE(ierr, 0) << c.fluid << " " << c.T << " K: " << herr;
        EXPECT_NEAR(T / c.T, 1.0, 1e-6) << c.fluid << " " << c.T << " K";
    }
}

}  // namespace
