#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "tests/app/core/file_support.h"
#include "tests/support/paths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

using namespace app;

class Fluids : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();
        fluids.truncate(NUM_BUILTIN_FLUIDS);
    }
    void TearDown() override { fluids.truncate(NUM_BUILTIN_FLUIDS); }
};

TEST_F(Fluids, FortyOneInTheirOrder) {
    const char* names[] = {"Air",
                           "Dry ISO Air",
                           "Humid ISO Air",
                           "Humid Air (Relative Humidity)",
                           "Water",
                           "Steam",
                           "Carbon monoxide",
                           "Carbon dioxide",
                           "Hydrogen",
                           "Para-Hydrogen",
                           "Ortho-Hydrogen",
                           "Oxygen",
                           "Nitrogen",
                           "Ammonia",
                           "Helium",
                           "Neon",
                           "Argon",
                           "Krypton",
                           "Xenon",
                           "Methane",
                           "Ethane",
                           "Propane",
                           "Butane",
                           "Isobutane",
                           "Pentane",
                           "Hexane",
                           "Cyclopropane",
                           "Cyclopentane",
                           "Cyclohexane",
                           "Toluene",
                           "R11",
                           "R12",
                           "R123",
                           "R1234YF",
                           "R134A",
                           "R245CA",
                           "R245FA",
                           "Natural Gas Groningen",
                           "Natural Gas Uniongas",
                           "Furnace Gas",
                           "Hexamethyldisiloxane"};
    ASSERT_EQ(az_fluids(), 41);
    for (int i = 0; i < 41; ++i) {
        ASSERT_NE(fluids[i], nullptr);
        EXPECT_EQ(fluids[i]->name, names[i]);
        EXPECT_EQ(fluids[i]->available, 1);
        EXPECT_EQ(fluids.index_of(fluids[i]), i);
    }
    EXPECT_EQ(fluids[41], nullptr);
    EXPECT_EQ(fluids[-1], nullptr);
    EXPECT_EQ(fluids.find("dry iso air"), fluids[1]);
    EXPECT_EQ(fluids.find("ISO Air"), nullptr);
    EXPECT_EQ(fluids[FLUID_WATER]->name, "Water");
    EXPECT_EQ(fluids[FLUID_OXYGEN]->name, "Oxygen");
    EXPECT_EQ(fluids[FLUID_HELIUM]->name, "Helium");
    EXPECT_EQ(fluids[FLUID_METHANE]->name, "Methane");
}

TEST_F(Fluids, ComponentListsAndCompositions) {
    EXPECT_EQ(fluids[0]->components, "air");
    EXPECT_EQ(fluids[1]->components, "oxygen|nitrogen|argon|co2|");
    EXPECT_EQ(fluids[2]->components, "oxygen|nitrogen|argon|co2|water|");
    EXPECT_EQ(fluids[9]->components, "parahyd");
    EXPECT_EQ(fluids[28]->components, "cyclohex");
    EXPECT_EQ(fluids[33]->components, "r1234yf");
    EXPECT_EQ(fluids[37]->components, "pentane|butane|propane|ethane|methane|nitrogen|co2|");
    EXPECT_EQ(fluids[38]->components,
              "co2|oxygen|nitrogen|pentane|isobutane|butane|propane|ethane|methane|");
    EXPECT_EQ(fluids[39]->components, "co|co2|hydrogen|nitrogen|water|");
    EXPECT_EQ(fluids[40]->components, "mm");
    EXPECT_DOUBLE_EQ(fluids[38]->x[1], 0.0002);
    EXPECT_DOUBLE_EQ(fluids[37]->x[4], 0.812);

    for (int i = 0; i < 41; ++i) {
        const Fluid& f = *fluids[i];
        ASSERT_GE(f.az_components, 1);
        ASSERT_LE(f.az_components, MAX_COMPONENTS);
        double sum = 0;
        std::string joined;
        for (int c = 0; c < f.az_components; ++c) {
            sum += f.x[c];
            // Each component names a built-in pure fluid of the same library name.
            const Fluid* pure = fluids[f.comp_index[c]];
            ASSERT_NE(pure, nullptr) << f.name;
            EXPECT_EQ(pure->az_components, 1) << f.name;
            joined += pure->components;
            if (f.az_components > 1) joined += "|";
        }
        EXPECT_NEAR(sum, 1.0, 1e-12) << f.name;
        EXPECT_EQ(joined, f.components) << f.name;
        for (int c = f.az_components; c < MAX_COMPONENTS; ++c) EXPECT_EQ(f.x[c], 0.0);
    }
}

// The preset molar masses of the mixtures agree with their compositions
// (the furnace gas carries the value of air).
TEST_F(Fluids, MixtureMolarMassesFollowTheComposition) {
    for (int i : {1, 2, 3, 37, 38}) {
        const Fluid& f = *fluids[i];
        double m = 0;
        for (int c = 0; c < f.az_components; ++c) m += f.x[c] * fluids[f.comp_index[c]]->molar_mass;
        EXPECT_NEAR(m, f.molar_mass, 2e-4 * f.molar_mass) << f.name;
    }
    EXPECT_DOUBLE_EQ(fluids[39]->molar_mass, 28.96546);
    EXPECT_DOUBLE_EQ(fluids[4]->molar_mass, 18.015268);
    EXPECT_DOUBLE_EQ(fluids[33]->molar_mass, 114.0415928);
}

// The preset molar masses of the pure fluids agree with the published
// fluid data (column M_g_mol of names.tsv).
TEST_F(Fluids, PureMolarMassesAgreeWithTheFluidData) {
    KVR2_REQUIRE_SHARED();
    std::ifstream in(testsupport::shared_dir() + "/fluid-data/names.tsv");
    ASSERT_TRUE(in) << "names.tsv";
    std::string line;
    std::getline(in, line);  // header: name, source_fluid, CAS, M_g_mol, ...
    std::map<std::string, double> molar;
    while (std::getline(in, line)) {
        std::stringstream ss(line);
        std::string name, source, cas, m;
        std::getline(ss, name, '\t');
        std::getline(ss, source, '\t');
        std::getline(ss, cas, '\t');
        std::getline(ss, m, '\t');
        if (!m.empty()) molar[name] = std::stod(m);
    }
    int compared = 0;
    for (int i = 0; i < 41; ++i) {
        const Fluid& f = *fluids[i];
        if (f.az_components != 1 || !molar.count(f.components)) continue;
        EXPECT_NEAR(f.molar_mass, molar[f.components], 5e-5 * f.molar_mass) << f.name;
        ++compared;
    }
    EXPECT_GE(compared, 30);
}

TEST_F(Fluids, ReferenceAndStandardStates) {
    for (int i = 0; i < 41; ++i) {
        const Fluid& f = *fluids[i];
        std::string expect = "DEF";
        double T0 = 0;
        if (i == 0 || i == 12) expect = "NBP";
        if (i == 1 || i == 2 || i == 3 || i == 39) expect = "OTH", T0 = 293.15;
        if (i == 6 || i == 7) expect = "OTH", T0 = 298.15;
        if (i == 37 || i == 38) expect = "OTH", T0 = 288.15;
        EXPECT_EQ(f.ref_code, expect) << f.name;
        if (expect == "OTH") {
            EXPECT_DOUBLE_EQ(f.T0, T0) << f.name;
            EXPECT_DOUBLE_EQ(f.p0, 101.325) << f.name;
            EXPECT_DOUBLE_EQ(f.h0, 0.0);
            EXPECT_DOUBLE_EQ(f.s0, 0.0);
        }
        EXPECT_DOUBLE_EQ(f.std_T, (i == 4 || i == 5) ? 293.15 : 273.15) << f.name;
        EXPECT_DOUBLE_EQ(f.std_p, 101.325);
    }
    // Water and steam: two records of the same component.
    EXPECT_EQ(fluids[4]->components, fluids[5]->components);
    EXPECT_NE(fluids[4], fluids[5]);
}

TEST_F(Fluids, GroupsHumidityAndFlags) {
    const int groups[41] = {0, 4, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2,
                            2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 3};
    for (int i = 0; i < 41; ++i) EXPECT_EQ(fluids[i]->group, groups[i]) << i;
    EXPECT_STREQ(FLUID_TYPE_NAMES[FG_MIXTURES], "Predefined Mixture");
    EXPECT_STREQ(FLUID_TYPE_NAMES[FG_USER], "User defined fluids");

    for (int i = 0; i < 41; ++i) {
        int hum = (i == 2) ? HT_RH_STANDARD : (i == 3 || i == 39) ? HT_RH_INLET : HT_DRY;
        EXPECT_EQ(fluids[i]->humidity_type, hum) << i;
    }
    // Humid fluids carry water last, with fraction 0, at the water slot.
    for (int i : {2, 3, 39}) {
        const Fluid& f = *fluids[i];
        int last = f.az_components - 1;
        EXPECT_EQ(f.comp_index[last], FLUID_WATER);
        EXPECT_EQ(f.x[last], 0.0);
        EXPECT_EQ(f.water_pos, last);
    }
    for (int i = 0; i < 41; ++i) {
        bool common = i == 0 || i == 7 || i == 12 || i == 11 || i == 4 || i == 5 || i == 16 ||
                      (i >= 19 && i <= 25) || i == 1 || i == 2 || i == 3 || i == 37 || i == 38 ||
                      i == 39;
        EXPECT_EQ(fluids[i]->second_flag, common ? 1 : 2) << fluids[i]->name;
    }
}

TEST_F(Fluids, FuelNumbers) {
    auto fuel = [](int i) { return fluids[i]->fuel; };
    EXPECT_EQ(fuel(6), (std::array<double, 5>{1, 0, 1, 0, 0}));
    EXPECT_EQ(fuel(8), (std::array<double, 5>{0, 2, 0, 0, 0}));
    EXPECT_EQ(fuel(10), (std::array<double, 5>{0, 2, 0, 0, 0}));
    EXPECT_EQ(fuel(13), (std::array<double, 5>{0, 3, 0, 1, 0}));
    EXPECT_EQ(fuel(19), (std::array<double, 5>{1, 4, 0, 0, 0}));
    EXPECT_EQ(fuel(23), (std::array<double, 5>{4, 10, 0, 0, 0}));
    EXPECT_EQ(fuel(25), (std::array<double, 5>{6, 14, 0, 0, 0}));
    EXPECT_EQ(fuel(26), (std::array<double, 5>{3, 6, 0, 0, 0}));
    EXPECT_EQ(fuel(29), (std::array<double, 5>{7, 8, 0, 0, 0}));
    for (int i : {0, 1, 4, 7, 11, 12, 14, 30, 37, 38, 39, 40})
        EXPECT_EQ(fuel(i), (std::array<double, 5>{})) << i;
}

TEST_F(Fluids, DefaultAxes) {
    const Fluid& co2 = *fluids[7];
    EXPECT_DOUBLE_EQ(co2.axis[AX_S].min_pos, -2);
    EXPECT_DOUBLE_EQ(co2.axis[AX_S].max_pos, 0.25);
    EXPECT_DOUBLE_EQ(co2.axis[AX_S].step, 0.25);
    EXPECT_DOUBLE_EQ(co2.axis[AX_H].min_pos, -300);
    EXPECT_DOUBLE_EQ(co2.axis[AX_P].min_pos, 1000);
    const Fluid& water = *fluids[4];
    EXPECT_DOUBLE_EQ(water.axis[AX_H].max_pos, 4000);
    EXPECT_DOUBLE_EQ(water.axis[AX_H].step, 500);
    EXPECT_DOUBLE_EQ(water.axis[AX_P].min_pos, 1);
    EXPECT_DOUBLE_EQ(fluids[21]->axis[AX_T].max_pos, 460);
    EXPECT_DOUBLE_EQ(fluids[21]->axis[AX_T].step, 40);
    EXPECT_DOUBLE_EQ(fluids[16]->axis[AX_S].min_pos, 1.5);
    EXPECT_DOUBLE_EQ(fluids[15]->axis[AX_P].max_pos, 20000);
    EXPECT_DOUBLE_EQ(fluids[40]->axis[AX_T].max_pos, 450);

    const char* labels[] = {"Entropy", "Enthalpy", "Pressure", "Temperature"};
    const int quantities[] = {Q_ENTROPY, Q_SPECIFIC_ENERGY, Q_PRESSURE, Q_TEMPERATURE};
    for (int i = 0; i < 41; ++i) {
        for (int k = 0; k < 4; ++k) {
            const Axis& a = fluids[i]->axis[k];
            EXPECT_EQ(a.label, labels[k]);
            EXPECT_EQ(a.quantity, k);
            EXPECT_EQ(a.unit_quantity, quantities[k]);
            EXPECT_EQ(a.unit, k == AX_P ? 3 : 0);
            EXPECT_DOUBLE_EQ(a.max_value, k == AX_P ? 2.0 : 0.0);
            EXPECT_DOUBLE_EQ(a.min_value, 0.0);
            EXPECT_EQ(a.format, k == AX_S ? "%5.2f" : "%5.1f");
            EXPECT_LT(a.min_pos, a.max_pos) << fluids[i]->name << " axis " << k;
            EXPECT_GT(a.step, 0.0);
            // Drawing attributes.
            EXPECT_EQ(a.grid_color, (Color{0, 0xCCCC, 0xCCCC, 0xCCCC}));
            EXPECT_EQ(a.line_color, Color{});
            EXPECT_EQ(a.tick_label_color, Color{});
            EXPECT_EQ(a.digits, 2);
            EXPECT_EQ(a.tick_length, 5);
            EXPECT_EQ(a.tick_width, 1);
            EXPECT_EQ(a.arrow_size, 10);
            EXPECT_DOUBLE_EQ(a.line_width, 1.0);
            EXPECT_DOUBLE_EQ(a.grid_width, 1.0);
            EXPECT_EQ(a.label_font, "sans medium 12");
            EXPECT_EQ(a.tick_font, "sans medium 8");
        }
    }
}

TEST_F(Fluids, IsolinePositionsAndDiagramMarks) {
    const Fluid& f = *fluids[0];
    const int counts[] = {13, 17, 14, 9};
    for (int fam = 0; fam < 4; ++fam) {
        EXPECT_EQ(iso_count(f.iso[fam]), counts[fam]);
        EXPECT_EQ(iso_default_count(fam), counts[fam]);
        EXPECT_EQ(f.iso[fam].positions.back(), -1.0);
        EXPECT_EQ(f.iso[fam].computed.size(), static_cast<size_t>(counts[fam]));
        EXPECT_EQ(f.iso[fam].lines.size(), static_cast<size_t>(counts[fam]));
    }
    EXPECT_DOUBLE_EQ(f.iso[ISO_ISOBAR].positions[0], 5);
    EXPECT_DOUBLE_EQ(f.iso[ISO_ISOBAR].positions[12], 50000);
    EXPECT_DOUBLE_EQ(f.iso[ISO_ISOTHERM].positions[0], 30);  // kelvin as it stands
    EXPECT_DOUBLE_EQ(f.iso[ISO_ISOTHERM].positions[16], 700);
    EXPECT_DOUBLE_EQ(f.iso[ISO_ISOCHOR].positions[12], 750);
    EXPECT_DOUBLE_EQ(f.iso[ISO_WETNESS].positions[8], 0.9);

    // A new diagram of a fresh fluid shows every position.
    Graph* g = create_graph();
    g->fluid = fluids[0];
    init_iso_settings(*g);
    for (int fam = 0; fam < 4; ++fam) {
        ASSERT_EQ(g->iso_style[fam].selected.size(), static_cast<size_t>(counts[fam]));
        for (int s : g->iso_style[fam].selected) EXPECT_EQ(s, 1);
    }
    // A position added to the fluid (by a file) exists but starts hidden.
    int k = iso_add_position(fluids[0]->iso[ISO_ISOBAR], 3000);
    EXPECT_EQ(k, 13);
    EXPECT_EQ(iso_find(fluids[0]->iso[ISO_ISOBAR], 3000), 13);
    EXPECT_EQ(iso_find(fluids[0]->iso[ISO_ISOBAR], 3001), -1);
    EXPECT_EQ(fluids[0]->iso[ISO_ISOBAR].positions.back(), -1.0);
    EXPECT_EQ(fluids[0]->iso[ISO_ISOBAR].lines.size(), 14u);
    init_iso_settings(*g);
    ASSERT_EQ(g->iso_style[ISO_ISOBAR].selected.size(), 14u);
    EXPECT_EQ(g->iso_style[ISO_ISOBAR].selected[12], 1);
    EXPECT_EQ(g->iso_style[ISO_ISOBAR].selected[13], 0);
    // A diagram without a fluid gets no marks.
    g->fluid = nullptr;
    init_iso_settings(*g);
    EXPECT_TRUE(g->iso_style[ISO_ISOBAR].selected.empty());
    free_graph(g);
}

TEST_F(Fluids, RebuildKeepsAddressesAndUserFluids) {
    Fluid* water = fluids[4];
    water->name = "changed";
    auto user = std::make_unique<Fluid>();
    user->name = "My Mix";
    Fluid* mine = fluids.append(std::move(user));
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(az_fluids(), 42);
    init_stoffe();
    EXPECT_EQ(fluids[4], water);
    EXPECT_EQ(water->name, "Water");
    EXPECT_EQ(az_fluids(), 42);
    EXPECT_EQ(fluids.find("my mix"), mine);
}

TEST_F(Fluids, ListHoldsAtMost241) {
    while (az_fluids() < MAX_FLUIDS) {
        auto f = std::make_unique<Fluid>();
        f->name = "User " + std::to_string(az_fluids());
        ASSERT_NE(fluids.append(std::move(f)), nullptr);
    }
    EXPECT_EQ(fluids.append(std::make_unique<Fluid>()), nullptr);
    EXPECT_EQ(az_fluids(), 241);
    EXPECT_EQ(fluids.append(nullptr), nullptr);
}

}  // namespace

namespace {

// The README's list of working fluids, where a refused fluid name sends the
// user, names every built-in fluid as a file must spell it.
TEST(FluidNames, ReadmeListsEveryBuiltInFluid) {
    initstuff();
    init_stoffe();
    std::string readme = filetest::slurp(testsupport::source_dir() + "/README.md");
    const std::size_t at = readme.find("## Working fluids");
    ASSERT_NE(at, std::string::npos);
    std::string list = readme.substr(at);
    for (char& c : list)
        if (c == '\n') c = ' ';
    for (int i = 0; i < NUM_BUILTIN_FLUIDS; ++i) {
        const std::string& name = fluids[i]->name;
        EXPECT_TRUE(list.find(" " + name + ",") != std::string::npos ||
                    list.find(" " + name + ".") != std::string::npos)
            << name;
    }
}

}  // namespace
