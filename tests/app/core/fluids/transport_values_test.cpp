// get_trnsp_by_T_and_p: every built-in working fluid, refused and two-phase
// mixture states, and the library's values at the flash density.
#include "app/core/fluids/transport_values.h"

#include "app/core/fluids/fluid_properties.h"
#include "app/core/fluids/property_table.h"
#include "app/core/model/init.h"
#include "app/core/structure/tree_model.h"
#include "library/library.h"
#include "tests/support/paths.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace app;

class TransportValues : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();
        current_fluid = nullptr;
    }
    void TearDown() override { current_fluid = nullptr; }

    struct Got {
        int result = 0;
        double v[3] = {};  // eta, nu, lambda
    };
    static Got at(const double* c, double T, double p) {
        Got g;
        g.result = get_trnsp_by_T_and_p(c, T, p, g.v[0], g.v[1], g.v[2]);
        return g;
    }
    static bool none(const Got& g) {
        return !is_transport_value(g.v[0]) && !is_transport_value(g.v[1]) &&
               !is_transport_value(g.v[2]);
    }
};

TEST_F(TransportValues, EveryWorkingFluidAt300KAnd100kPa) {
    for (int i = 0; i < NUM_BUILTIN_FLUIDS; ++i) {
        Fluid* f = fluids[static_cast<std::size_t>(i)];
        ASSERT_EQ(init_stoffwerte(f), 1) << f->name;
        const Got g = at(f->x.data(), 300.0, 100.0);
        EXPECT_EQ(g.result, 0) << f->name << ": " << last_transport_message;
        for (double v : g.v) EXPECT_TRUE(is_transport_value(v) && v > 0.0) << f->name;
    }
}

TEST_F(TransportValues, MixturesWithoutTransportValues) {
    Fluid* f = fluids[2];  // Humid ISO Air, water last
    ASSERT_EQ(init_stoffwerte(f), 1);
    auto humid = [&](double w) {
        std::vector<double> x(20, 0.0);
        for (int i = 0; i < 4; ++i) x[static_cast<std::size_t>(i)] = f->x[std::size_t(i)] * (1 - w);
        x[static_cast<std::size_t>(f->water_pos)] = w;
        return x;
    };
    Got g = at(humid(0.06).data(), 350.0, 100.0);
    EXPECT_EQ(g.result, 50);
    EXPECT_EQ(last_transport_message,
              "[TRNPRP error 50] transport equations are not available for mixtures with water at "
              "molar concentrations greater than 5%");
    EXPECT_TRUE(none(g));
    // 4 % water at 290 K and 100 kPa lies inside the envelope (the water's
    // saturation pressure is 1.9 kPa).
    const auto x4 = humid(0.04);
    double D, Dl, Dv, xl[20], xv[20], q = 0, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(290.0, 100.0, x4.data(), D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr, herr);
    if (ierr > 0 || !(q > 0.0 && q < 1.0))
        GTEST_SKIP() << "the mixture flash reports no two-phase state yet (q = " << q << ")";
    g = at(x4.data(), 290.0, 100.0);
    EXPECT_EQ(g.result, TRANSPORT_TWO_PHASE);
    EXPECT_TRUE(none(g));
}

// Water at the reference table's states; nitrogen (not in the table) in
// liquid, gas, near-critical and supercritical states.
TEST_F(TransportValues, EqualTheLibraryAtTheFlashDensity) {
    KVR2_REQUIRE_SHARED();
    std::vector<std::pair<double, double>> water;  // T K, D mol/L
    std::ifstream in(testsupport::shared_dir() + "/reference/transport.csv");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("water,single,", 0) != 0) continue;
        const std::size_t comma = line.find(',', 13);
        water.emplace_back(std::stod(line.substr(13)), std::stod(line.substr(comma + 1)));
    }
    ASSERT_EQ(water.size(), 12u);
    const std::vector<std::pair<double, double>> nitrogen = {
        {80.0, 29.0}, {100.0, 0.5}, {126.2, 11.2}, {300.0, 0.04}, {300.0, 4.0}, {1000.0, 6.0}};
    constexpr int kNitrogen = 12;  // index of the built-in record
    for (const auto& [index, states] : {std::pair{FLUID_WATER, water}, {kNitrogen, nitrogen}}) {
        Fluid* f = fluids[static_cast<std::size_t>(index)];
        ASSERT_EQ(init_stoffwerte(f), 1);
        const double* c = f->x.data();
        for (const auto& [T, D] : states) {
            double p = 0, Dflash, Dl, Dv, xl[20], xv[20], q, e, h, s, cv, cp, w, eta, tcx;
            int ierr = 0;
            std::string herr;
            lib::PRESS(T, D, c, p);
            const Got g = at(c, T, p);
            ASSERT_LE(g.result, 0) << f->name << " " << T << ": " << last_transport_message;
            lib::TPFLSH(T, p, c, Dflash, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr, herr);
            lib::TRNPRP(T, Dflash, c, eta, tcx, ierr, herr);
            EXPECT_EQ(g.v[0], eta) << f->name << " " << T;
            EXPECT_EQ(g.v[2], tcx) << f->name << " " << T;
            EXPECT_NEAR(g.v[1] * Dflash * lib::WMOL(c) / eta, 1.0, 1e-12) << f->name << " " << T;
        }
    }
}

// A flue gas: Humid ISO Air's components with a fixed share of water.
Fluid flue_gas(double water) {
    Fluid f = *fluids[2];
    f.name = "Flue gas";
    f.humidity_type = HT_GENERAL;
    for (int i = 0; i < 4; ++i) f.x[static_cast<std::size_t>(i)] *= 1.0 - water;
    f.x[static_cast<std::size_t>(f.water_pos)] = water;
    return f;
}

// Why a mixture has no transport values, said where the user meets it: the
// tree's fluid row and the property table (the diagrams' read-out in the
// diagram tests).
TEST_F(TransportValues, MixturesSayWhyTheyHaveNone) {
    Fluid flue = flue_gas(0.12);
    ASSERT_EQ(init_stoffwerte(&flue), 1);
    const std::string why = transport_unavailable_reason(flue, flue.x.data());
    EXPECT_EQ(why,
              "No viscosity or thermal conductivity for this mixture: it holds 12.0 % water (mole "
              "fraction); without transport parameters for its pairs, which the mixture data "
              "lack, the property library computes none above 5 %.");
    EXPECT_EQ(flue.transport_note, why);
    Fluid damp = flue_gas(0.03);
    ASSERT_EQ(init_stoffwerte(&damp), 1);
    EXPECT_EQ(damp.transport_note, "");
    ASSERT_EQ(init_stoffwerte(fluids[FLUID_WATER]), 1);
    EXPECT_EQ(fluids[FLUID_WATER]->transport_note, "");

    Process process;
    process.fluid = &flue;
    EXPECT_EQ(inlet_rows(process).front().value, "Flue gas - " + why);
    process.fluid = &damp;
    EXPECT_EQ(inlet_rows(process).front().value, "Flue gas");

    // The table: one line of its width under the header, cells "undefined".
    std::string text;
    std::atomic<bool> stop{false};
    const TableResult r = write_property_table(
        flue, TableGrid{100, 100, 100, 500, 500, 100}, [&](const std::string& t) { text += t; },
        stop, nullptr);
    ASSERT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.rows, 1);
    EXPECT_NE(text.find("| " + why), std::string::npos);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) EXPECT_EQ(line.size(), 283u) << line;
    text.clear();
    write_property_table(
        damp, TableGrid{100, 100, 100, 500, 500, 100}, [&](const std::string& t) { text += t; },
        stop, nullptr);
    EXPECT_EQ(text.find("No viscosity"), std::string::npos);
}

}  // namespace
