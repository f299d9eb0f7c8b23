// The fluid editor without a display: mole and mass views, the reference
// humidity, the wizard's page flow, building user fluids, fluid-definition
// files, and the property table's text.
#include "app/core/files/filehandling.h"
#include "app/core/files/fluid_files.h"
#include "app/core/fluids/composition.h"
#include "app/core/fluids/fluid_edit.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/fluids/fluid_wizard.h"
#include "app/core/fluids/property_table.h"
#include "app/core/model/init.h"
#include "app/core/model/tools.h"
#include "app/core/model/units.h"
#include "library/library.h"
#include "tests/support/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace app;

constexpr int N2 = 12, O2 = 11, CH4 = 19, CO2 = 7, NH3 = 13, AR = 16, H2 = 8, C3H8 = 21, C5H12 = 24,
              TOLUENE = 29;

std::string golden(const std::string& name) {
    std::ifstream in(testsupport::source_dir() + "/tests/app/core/files/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class FluidEditor : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();
        current_fluid = nullptr;
        start_wizard(w);
    }
    void TearDown() override {
        current_fluid = nullptr;
        fluids.truncate(NUM_BUILTIN_FLUIDS);
        set_default_unit(Q_TEMPERATURE, 0);
    }
    // A wizard run of the given kind with these components and mole
    // fractions up to the confirmation page.
    void define(const std::string& name, int kind, int humidity,
                std::vector<std::pair<int, double>> comps) {
        set_wizard_name(w, name);
        w.kind = kind;
        w.humidity_choice = humidity;
        int page = nextpage(w, WP_NAME);
        if (page == WP_HUMIDITY) page = nextpage(w, WP_HUMIDITY);
        for (auto [id, x] : comps) {
            move_fluid(w, MOVE_TO_SELECTED, id);
            w.composition.mole[sz(id)] = x;
        }
        std::reverse(w.selected.begin(), w.selected.end());  // in the order given
        ASSERT_EQ(nextpage(w, WP_COMPONENTS), WP_COMPOSITION);
    }
    Fluid* build_and_register(std::string& message) {
        std::unique_ptr<Fluid> f = build_fluid(w, message);
        return f ? fluids.append(std::move(f)) : nullptr;
    }
    WizardState w;
};

// ---------------------------------------------------------------------------
// Mole and mass views, reference humidity
// ---------------------------------------------------------------------------

TEST_F(FluidEditor, MoleAndMassViewsFollowEachOther) {
    Composition c;
    c.fluid_ids = {N2, CH4};
    set_mole_fraction(c, N2, 0.5);
    set_mole_fraction(c, CH4, 0.5);
    EXPECT_NEAR(100 * c.mass[N2], 63.5857, 5e-5);
    EXPECT_NEAR(100 * c.mass[CH4], 36.4143, 5e-5);
    EXPECT_TRUE(composition_complete(c));
    // Back from the mass view gives the mole fractions again.
    set_mass_fraction(c, N2, c.mass[N2]);
    EXPECT_NEAR(c.mole[N2], 0.5, 1e-14);

    set_mole_fraction(c, N2, 0.4999999);  // 99.99999 %
    EXPECT_FALSE(composition_complete(c));

    Composition zero;
    zero.fluid_ids = {N2, CH4};
    normalize_mole(zero);
    normalize_mass(zero);
    EXPECT_EQ(zero.mole[N2], 0.0);
    EXPECT_EQ(zero.mass[CH4], 0.0);
    EXPECT_FALSE(composition_complete(zero));

    Composition fill;
    fill.fluid_ids = {N2, O2, AR};
    set_mole_fraction(fill, N2, 0.3);
    set_mole_fraction(fill, O2, 0.5);
    increase_mole_to_100(fill, AR);
    EXPECT_NEAR(fill.mole[AR], 0.2, 1e-15);
    set_mole_fraction(fill, AR, 0.0);
    increase_mole_to_100(fill, O2);  // the last of 30 % and 50 %
    EXPECT_NEAR(100 * fill.mole[O2], 70.0, 1e-12);
    EXPECT_TRUE(composition_complete(fill));
    set_mass_fraction(fill, N2, 1.5);  // held to 1: "^" never goes below 0
    increase_mass_to_100(fill, O2);
    EXPECT_EQ(fill.mass[O2], 0.0);
    normalize_mass(fill);
    EXPECT_TRUE(composition_complete(fill));
}

TEST_F(FluidEditor, ReferenceHumidityRangesAndLiquidWater) {
    ReferenceHumidity r;
    set_reference_value(r, REF_LIQUID, 0.1);
    EXPECT_EQ(r.liquid, 0.0);  // only at 100 %
    set_reference_value(r, REF_RH, to_internal(Q_RELATIVE_VALUE, 1, 100.0));
    EXPECT_TRUE(liquid_water_allowed(r.rh));
    set_reference_value(r, REF_LIQUID, 0.1);
    EXPECT_EQ(r.liquid, 0.1);
    set_reference_value(r, REF_RH, to_internal(Q_RELATIVE_VALUE, 1, 99.0));
    EXPECT_FALSE(liquid_water_allowed(r.rh));
    EXPECT_EQ(r.liquid, 0.0);
    EXPECT_EQ(reference_range(REF_LIQUID, r).hi, 0.0);

    // 288.15 K shows 15 °C; the range reaches below it, to water's triple point.
    EXPECT_NEAR(to_display(Q_TEMPERATURE, 1, ReferenceHumidity{}.T), 15.0, 1e-12);
    const ValueRange t = reference_range_shown(REF_T, 1, r);
    EXPECT_NEAR(t.lo, 0.01, 1e-9);
    EXPECT_NEAR(t.hi, 373.946, 1e-9);
    set_reference_value(r, REF_T, 280.0);
    EXPECT_EQ(r.T, 280.0);
    EXPECT_EQ(reference_range_shown(REF_RH, 1, r).hi, 100.0);
    EXPECT_GT(reference_range(REF_P, r).lo, 0.0);
}

// ---------------------------------------------------------------------------
// Page flow and names
// ---------------------------------------------------------------------------

TEST_F(FluidEditor, PageFlow) {
    auto has = [](const std::vector<int>& l, int id) {
        return std::find(l.begin(), l.end(), id) != l.end();
    };
    EXPECT_EQ(w.available.size(), 19u);
    EXPECT_FALSE(has(w.available, FLUID_WATER));

    w.kind = KIND_DRY;
    EXPECT_EQ(nextpage(w, WP_NAME), WP_COMPONENTS);
    w.kind = KIND_NONE;
    EXPECT_EQ(nextpage(w, WP_NAME), WP_NAME);

    // Humid, total water fraction: water selected and not movable; back
    // and dry removes it.
    w.kind = KIND_HUMID;
    EXPECT_EQ(nextpage(w, WP_NAME), WP_HUMIDITY);
    w.humidity_choice = HUM_WATER_FRACTION;
    EXPECT_EQ(nextpage(w, WP_HUMIDITY), WP_COMPONENTS);
    EXPECT_EQ(w.humidity_type, HT_WATER_FRACTION);
    EXPECT_EQ(w.selected, std::vector<int>{FLUID_WATER});
    EXPECT_TRUE(w.complete[WP_COMPONENTS]);
    EXPECT_FALSE(move_fluid(w, MOVE_TO_AVAILABLE, FLUID_WATER));
    w.kind = KIND_DRY;
    EXPECT_EQ(nextpage(w, WP_NAME), WP_COMPONENTS);
    EXPECT_FALSE(has(w.selected, FLUID_WATER) || has(w.available, FLUID_WATER));
    EXPECT_FALSE(w.complete[WP_COMPONENTS]);

    // General: water offered among the available fluids, once.
    w.kind = KIND_GENERAL;
    nextpage(w, WP_NAME);
    nextpage(w, WP_NAME);
    EXPECT_EQ(w.available.front(), FLUID_WATER);
    EXPECT_EQ(std::count(w.available.begin(), w.available.end(), FLUID_WATER), 1);
    EXPECT_EQ(w.humidity_type, HT_GENERAL);

    // Inlet values skip the reference page, standard values visit it.
    w.kind = KIND_HUMID;
    nextpage(w, WP_NAME);
    w.humidity_choice = HUM_RH_INLET;
    nextpage(w, WP_HUMIDITY);
    EXPECT_EQ(nextpage(w, WP_COMPOSITION), WP_CONFIRM);
    w.humidity_choice = HUM_RH_STANDARD;
    nextpage(w, WP_HUMIDITY);
    EXPECT_EQ(nextpage(w, WP_COMPOSITION), WP_REFERENCE);
    EXPECT_EQ(nextpage(w, WP_REFERENCE), WP_CONFIRM);
    w.built = false;
    EXPECT_EQ(nextpage(w, WP_CONFIRM), WP_FAILED);
    w.built = true;
    EXPECT_EQ(nextpage(w, WP_CONFIRM), WP_FINISHED);

    // The components keep the fractions typed before a list change; the
    // mass view follows the new set.
    EXPECT_TRUE(move_fluid(w, MOVE_TO_SELECTED, N2));
    EXPECT_TRUE(move_fluid(w, MOVE_TO_SELECTED, CH4));
    EXPECT_FALSE(move_fluid(w, MOVE_TO_SELECTED, CH4));
    w.composition.mole[N2] = 0.5;
    w.composition.mole[CH4] = 0.5;
    nextpage(w, WP_COMPONENTS);
    EXPECT_EQ(w.composition.fluid_ids, (std::vector<int>{CH4, N2}));
    EXPECT_TRUE(w.complete[WP_COMPOSITION]);
    move_fluid(w, MOVE_TO_AVAILABLE, CH4);
    nextpage(w, WP_COMPONENTS);
    EXPECT_NEAR(w.composition.mass[N2], 1.0, 1e-15);
    EXPECT_FALSE(w.complete[WP_COMPOSITION]);
}

TEST_F(FluidEditor, NameCheck) {
    EXPECT_EQ(check_name("Nitrogen").warning, "Name in use already");
    EXPECT_FALSE(check_name("Nitrogen").complete);
    EXPECT_EQ(check_name("nitrogen").warning, "Name in use already");  // files ignore case
    EXPECT_EQ(check_name("").warning, "");
    EXPECT_FALSE(check_name("").complete);
    EXPECT_TRUE(check_name("Nitrogen 2").complete);
    EXPECT_FALSE(check_name("a \"b\"").complete);
    EXPECT_FALSE(check_name(" lead").complete);
    EXPECT_FALSE(check_name(std::string(130, 'x')).complete);
}

// ---------------------------------------------------------------------------
// Building, copying, editing
// ---------------------------------------------------------------------------

TEST_F(FluidEditor, BuildHumidMixtureAtInletValues) {
    define("My humid air", KIND_HUMID, HUM_RH_INLET, {{N2, 0.79}, {O2, 0.21}});
    std::string message;
    Fluid* f = build_and_register(message);
    ASSERT_NE(f, nullptr) << message;
    EXPECT_EQ(f->az_components, 3);
    EXPECT_EQ(f->comp_index[2], FLUID_WATER);
    EXPECT_EQ(f->x[2], 0.0);
    EXPECT_EQ(f->water_pos, 2);
    EXPECT_EQ(f->components, "nitrogen|oxygen|water|");
    EXPECT_EQ(f->group, FG_USER);
    EXPECT_EQ(f->humidity_type, HT_RH_INLET);
    EXPECT_EQ(f->ref_code, "OTH");
    EXPECT_EQ(f->available, 1);
    EXPECT_GT(f->Tc, 0.0);

    // A mixture the library refuses: no record, nothing current.
    start_wizard(w);
    define("Refused", KIND_GENERAL, HUM_RH_STANDARD, {{NH3, 0.3}, {FLUID_WATER, 0.3}, {N2, 0.4}});
    const int before = az_fluids();
    EXPECT_EQ(build_fluid(w, message), nullptr);
    EXPECT_NE(message, "");
    EXPECT_EQ(current_fluid, nullptr);
    EXPECT_EQ(az_fluids(), before);
}

// A refused mixture says why: the library's reason and the pair it has no
// data for, not only that some combinations are not supported.
TEST_F(FluidEditor, RefusedMixtureNamesItsComponents) {
    struct Case {
        int a, b;
        const char* pair;
    };
    for (const Case& c :
         {Case{CH4, TOLUENE, "Methane and Toluene"}, Case{NH3, N2, "Ammonia and Nitrogen"}}) {
        start_wizard(w);
        define("Refused pair", KIND_DRY, 0, {{c.a, 0.5}, {c.b, 0.5}});
        std::string message;
        EXPECT_EQ(build_fluid(w, message), nullptr);
        EXPECT_NE(message.find("some combinations of fluids are not supported"), std::string::npos);
        EXPECT_NE(message.find("[SETUP error 117]"), std::string::npos) << message;
        EXPECT_NE(message.find(c.pair), std::string::npos) << message;
        EXPECT_EQ(current_fluid, nullptr);
    }
}

TEST_F(FluidEditor, CopyIntoWizardAndEdit) {
    copy_into_wizard(w, *fluids[FLUID_DRY_ISO_AIR]);
    EXPECT_EQ(w.new_name, "Dry ISO Air copy");
    EXPECT_TRUE(w.complete[WP_NAME]);
    EXPECT_EQ(w.kind, KIND_DRY);
    EXPECT_EQ(w.selected, (std::vector<int>{O2, N2, AR, CO2}));
    EXPECT_EQ(w.available.size(), 15u);
    EXPECT_TRUE(composition_complete(w.composition));
    // Through the pages the copy keeps its fractions.
    nextpage(w, WP_NAME);
    nextpage(w, WP_COMPONENTS);
    EXPECT_NEAR(w.composition.mole[N2], 0.78086, 1e-15);
    EXPECT_EQ(check_name("Humid ISO Air copy").complete, true);
    start_wizard(w);
    copy_into_wizard(w, *fluids[2]);  // Humid ISO Air: water follows the humidity
    EXPECT_EQ(w.kind, KIND_HUMID);
    EXPECT_EQ(nextpage(w, WP_NAME), WP_HUMIDITY);
    nextpage(w, WP_HUMIDITY);
    nextpage(w, WP_COMPONENTS);
    EXPECT_EQ(w.composition.fluid_ids.size(), 4u);

    // Editing: an incomplete composition is refused and changes nothing;
    // a complete one is taken over and set up anew.
    start_wizard(w);
    define("Edit me", KIND_DRY, 0, {{N2, 0.5}, {CH4, 0.5}});
    std::string message;
    Fluid* f = build_and_register(message);
    ASSERT_NE(f, nullptr) << message;
    const double Tc = f->Tc;
    Composition c;
    ReferenceHumidity r;
    load_fluid_edit(*f, c, r);
    set_mole_fraction(c, N2, 0.8);
    EXPECT_NE(apply_fluid_edit(*f, c, r), "");
    EXPECT_EQ(f->x[1], 0.5);
    set_mole_fraction(c, CH4, 0.2);
    f->dome_count = 7;
    EXPECT_EQ(apply_fluid_edit(*f, c, r), "");
    EXPECT_EQ(f->x[0], 0.8);
    EXPECT_EQ(f->dome_count, 0);
    EXPECT_LT(f->Tc, Tc);  // more nitrogen: a lower critical temperature
    EXPECT_EQ(current_fluid, f);
}

// ---------------------------------------------------------------------------
// Fluid-definition files
// ---------------------------------------------------------------------------

TEST_F(FluidEditor, DefinitionFilesWriteAndReadBack) {
    define("Test humid air", KIND_HUMID, HUM_RH_STANDARD, {{N2, 0.79}, {O2, 0.21}});
    w.reference = {293.15, 101.325, 0.5, 0.0};
    std::string message;
    Fluid* type2 = build_and_register(message);
    ASSERT_NE(type2, nullptr) << message;
    start_wizard(w);
    define("Test inlet air", KIND_HUMID, HUM_RH_INLET, {{N2, 1 - 1e-9}, {O2, 1e-9}});
    Fluid* type3 = build_and_register(message);
    ASSERT_NE(type3, nullptr) << message;
    const std::string text2 = fluid_file_text(*type2);
    const std::string text3 = fluid_file_text(*type3);
    EXPECT_EQ(text2, golden("fluid_type2.kvq"));
    EXPECT_EQ(text3, golden("fluid_type3.kvq"));

    // Read back under a free name: the same definition, 1e-9 kept.
    for (const std::string& text : {text2, text3}) {
        std::string copy = text;
        copy.replace(copy.find("Test "), 5, "Read ");
        std::string error;
        std::unique_ptr<Fluid> back = import_fluid_text(copy, error);
        ASSERT_NE(back, nullptr) << error;
        const Fluid& orig = text == text2 ? *type2 : *type3;
        EXPECT_EQ(back->humidity_type, orig.humidity_type);
        EXPECT_EQ(back->az_components, orig.az_components);
        EXPECT_EQ(back->x, orig.x);
        EXPECT_EQ(back->comp_index, orig.comp_index);
        EXPECT_EQ(back->components, orig.components);
        EXPECT_EQ(back->ref_hum_T, orig.ref_hum_T);
        EXPECT_EQ(back->ref_hum_rh, orig.ref_hum_rh);
    }

    EXPECT_EQ(kvq_file_name("air2"), "air2.kvq");
    EXPECT_EQ(kvq_file_name("x.kvq"), "x.kvq");
    EXPECT_EQ(kvq_proposed_name("Test humid air"), "Test humid air.kvq");
    EXPECT_EQ(kvq_proposed_name("N2/O2 50/50"), "N2-O2 50-50.kvq");
    const std::string dir = std::filesystem::temp_directory_path() / "kvr2-fluid-files";
    std::filesystem::create_directories(dir);
    std::string error;
    EXPECT_TRUE(save_fluid_file(dir + "/air2.kvq", *type2, error)) << error;
    EXPECT_FALSE(save_fluid_file(dir + "/missing/air2.kvq", *type2, error));
    EXPECT_NE(error.find("missing/air2.kvq"), std::string::npos) << error;
    std::filesystem::remove_all(dir);
}

TEST_F(FluidEditor, ImportRefusalsSayWhy) {
    auto file = [](const std::string& name, const std::string& count, const std::string& comps) {
        return "Fluid Definition File Version = 1.0\n\n#START Fluid Definition\n Fluid name = \"" +
               name + "\"\n Az parts = \"" + count + "\"\n Fluid humidity type = \"0\"\n" + comps +
               "#END Fluid definition\n";
    };
    const std::string two =
        " Component \"nitrogen\" mol_proz \"0.5\" \n Component \"METHANE\" mol_proz \"0.5\" \n";
    const struct {
        std::string text;
        std::string says;
    } cases[] = {
        {file("A", "0", ""), "number of components must be 1 to 20"},
        {file("A", "21", two), "number of components must be 1 to 20"},
        {file("A", "2", " Component \"Unobtainium\" mol_proz \"1\" \n"), "unknown component"},
        {file("A", "3", two), "declares 3 components but lists 2"},
        {file("dry iso AIR", "2", two), "exists already"},
        {"no block here\n", "no fluid definition"},
        {file("Refused", "3",
              two.substr(0, two.find('\n') + 1) + " Component \"Ammonia\" mol_proz \"0.3\" \n"
                                                  " Component \"Water\" mol_proz \"0.2\" \n"),
         "cannot be set up"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(import_fluid_text(c.text, error), nullptr) << c.says;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_EQ(current_fluid, nullptr) << c.says;
    }
    std::string error;
    // A project's reader keeps the refused fluid, unavailable and not held
    // by the library, so that its next use fails instead of finding it set up.
    std::string warning;
    const std::string refused = cases[std::size(cases) - 1].text;
    std::unique_ptr<Fluid> kept =
        read_fluid(refused.substr(refused.find("#START")), error, warning);
    ASSERT_NE(kept, nullptr) << error;
    EXPECT_EQ(kept->available, 0);
    EXPECT_EQ(current_fluid, nullptr);
    EXPECT_EQ(init_stoffwerte(kept.get()), 0);
    current_fluid = nullptr;
    EXPECT_NE(import_fluid_text(file("Case blind", "2", two), error), nullptr) << error;
    EXPECT_EQ(import_fluid_file("/nonexistent/x.kvq", error), nullptr);
    EXPECT_NE(error.find("/nonexistent/x.kvq"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Property table
// ---------------------------------------------------------------------------

std::string table_text(Fluid& fluid, const TableGrid& grid, TableResult* result = nullptr) {
    std::string text;
    std::atomic<bool> stop{false};
    TableResult r = write_property_table(
        fluid, grid, [&](const std::string& s) { text += s; }, stop, nullptr);
    if (result != nullptr) *result = r;
    return text;
}

TEST_F(FluidEditor, NitrogenTableOnTheDefaultGrid) {
    const std::string text = table_text(*fluids[N2], TableGrid{});
    EXPECT_EQ(text, golden("nitrogen_table.txt"));
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) EXPECT_EQ(line.size(), 283u) << line;
}

TEST_F(FluidEditor, TableEdges) {
    Fluid& n2 = *fluids[N2];
    // Outside the limits: p and T, then "undefined".
    TableGrid below{100, 100, 100, 50, 50, 10};
    TableResult r;
    const std::string text = table_text(n2, below, &r);
    EXPECT_EQ(r.rows, 1);
    EXPECT_NE(text.find("|         1.00   |        50.00   |    undefined   |"), std::string::npos);
    EXPECT_NE(text.find("| " + pad_to_chars("undefined: T below T min", 42) + "|\n"),
              std::string::npos)
        << text;

    // T_max < T_min: separator and header only.
    TableGrid none{100, 1000, 100, 400, 300, 10};
    EXPECT_EQ(table_text(n2, none), table_separator() + table_header());

    // °C: the "T" cell is 14 characters wide (15 bytes).
    set_default_unit(Q_TEMPERATURE, 1);
    const std::string header = table_header();
    EXPECT_NE(header.find("| T [°C]         |"), std::string::npos);
    EXPECT_EQ(table_separator().size(), 284u);

    // The grid counts min + i step exactly.
    EXPECT_EQ(grid_count(100, 10000, 100), 100);
    EXPECT_EQ(grid_count(0.1, 0.3, 0.1), 2);  // 0.1 + 2 * 0.1 > 0.3 in binary
    EXPECT_EQ(grid_count(1, 0, 1), 0);
    EXPECT_EQ(grid_count(0, 1, 0), 1);  // no step: the first value alone
    EXPECT_EQ(grid_count(0, 1, -1), 0);
    EXPECT_EQ(grid_count(0, 1e300, 1e-300), 1000000000000000);
    // Tiny steps on both axes: the row total stays a count, not an overflow.
    std::atomic<bool> stop{false};
    std::int64_t total = 0;
    const TableResult huge = write_property_table(
        n2, TableGrid{100, 1e6, 1e-7, 300, 2000, 1e-4}, [](const std::string&) {}, stop,
        [&](std::int64_t, std::int64_t all) {
            total = all;
            stop = true;
        });
    EXPECT_EQ(huge.rows, 1);
    EXPECT_EQ(total, INT64_MAX);

    EXPECT_EQ(state_text(-998), "subcooled (compressed) liquid");
    EXPECT_EQ(state_text(0.005), "saturated liquid ");
    EXPECT_EQ(state_text(0.995), "saturated vapor ");
    EXPECT_EQ(state_text(998), "superheated vapor");
    EXPECT_EQ(state_text(999), "supercritical state");
    EXPECT_EQ(state_text(0.5), "two-phase area");
    EXPECT_EQ(state_text(1.5), "superheated vapor ");
}

// A mixture's rows say what they mean and agree with the flashes: the
// critical point of the composition above the freezing limit (50 % carbon
// dioxide in nitrogen showed 216.1 K below a "triple point" of 216.6 K and
// 212 bar), and air, whose freezing limit is argon's triple point, is a
// liquid below it: the note does not say that the mixture freezes there.
TEST_F(FluidEditor, MixtureInformationAgreesWithItsStates) {
    define("Info co2 nitrogen", KIND_DRY, 0, {{CO2, 0.5}, {N2, 0.5}});
    std::string message;
    Fluid* f = build_and_register(message);
    ASSERT_NE(f, nullptr) << message;
    FluidInfo info;
    ASSERT_EQ(prepare_table(*f, info), "");
    EXPECT_EQ(info.critical_title, "Critical Point (mixture):");
    EXPECT_EQ(info.triple_title, "Freezing Limit (mixture):");
    EXPECT_GT(std::stod(info.texts[INFO_TC]), std::stod(info.texts[INFO_TTRP]));
    EXPECT_EQ(info.texts[INFO_PTRP], "-");
    EXPECT_NE(info.note.find("(co2)"), std::string::npos) << info.note;

    w = WizardState{};
    start_wizard(w);
    define("Info air", KIND_DRY, 0, {{N2, 0.78}, {O2, 0.21}, {AR, 0.01}});
    Fluid* air = build_and_register(message);
    ASSERT_NE(air, nullptr) << message;
    ASSERT_EQ(prepare_table(*air, info), "");
    const double t_freeze = std::stod(info.texts[INFO_TTRP]);
    EXPECT_NEAR(t_freeze, 83.8, 0.01);  // argon
    EXPECT_EQ(info.note.find("below which it freezes"), std::string::npos) << info.note;
    EXPECT_NE(info.note.find("can freeze out"), std::string::npos) << info.note;
    double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, wv;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(t_freeze - 5.0, 101.325, info.x.data(), D, Dl, Dv, x, y, q, e, h, s, cv, cp, wv,
                ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_GT(D, 30.0);  // mol/L: liquid air
}

// Every row keeps the columns of the separator, also with numbers wider
// than their cells: the kinematic viscosity of air at 1 mbar and 1218.7 K
// (172718.6 mm^2/s) and the isentropic exponent of liquid propane-pentane
// at 1 mbar and 124.3 K (about 2.55e7).
TEST_F(FluidEditor, WideNumbersKeepTheColumns) {
    define("Wide air", KIND_DRY, 0, {{N2, 0.79}, {O2, 0.21}});
    std::string message;
    Fluid* air = build_and_register(message);
    ASSERT_NE(air, nullptr) << message;
    start_wizard(w);
    define("Wide c3 c5", KIND_DRY, 0, {{C3H8, 0.5}, {C5H12, 0.5}});
    Fluid* liquid = build_and_register(message);
    ASSERT_NE(liquid, nullptr) << message;
    const std::string separator = table_separator();
    const auto bars_in_line = [&](const std::string& row) {
        ASSERT_EQ(row.size(), separator.size()) << row;
        for (std::size_t k = 0; k < row.size(); ++k)
            EXPECT_EQ(row[k] == '|', separator[k] == '+') << k << "\n" << row;
    };
    FluidInfo info;
    ASSERT_EQ(prepare_table(*air, info), "");
    const std::string hot = table_row(*air, info, 1218.7, 0.1);
    bars_in_line(hot);
    EXPECT_NE(hot.find("| 1727"), std::string::npos) << hot;
    ASSERT_EQ(prepare_table(*liquid, info), "");
    const std::string cold = table_row(*liquid, info, 124.343, 0.1);
    bars_in_line(cold);
    EXPECT_NE(cold.find("subcooled (compressed) liquid"), std::string::npos) << cold;
    // Too wide even without decimals: exponent form, in the cell.
    ASSERT_EQ(prepare_table(*fluids[N2], info), "");
    const int unit = unitdef[Q_PRESSURE].default_unit;
    set_default_unit(Q_PRESSURE, 0);  // Pa: the maximum pressure has 10 digits
    bars_in_line(table_row(*fluids[N2], info, 1000.0, fluids[N2]->pmax, 9, 2));
    set_default_unit(Q_PRESSURE, unit);
}

// A row without values says why after "undefined": beyond a limit of the
// fluid, above the melting line, a component that freezes out.
TEST_F(FluidEditor, FailedRowsNameTheReason) {
    define("Reason co2 n2", KIND_DRY, 0, {{CO2, 0.5}, {N2, 0.5}});
    std::string message;
    Fluid* f = build_and_register(message);
    ASSERT_NE(f, nullptr) << message;
    FluidInfo info;
    ASSERT_EQ(prepare_table(*f, info), "");
    const auto state = [&](double T, double p) {
        const std::string row = table_row(*f, info, T, p);
        const std::size_t k = row.rfind("| ");
        std::string cell = row.substr(k + 2, 42);
        return cell.substr(0, cell.find_last_not_of(' ') + 1);
    };
    EXPECT_EQ(state(f->Tmin - 1, 1000), "undefined: T below T min");
    EXPECT_EQ(state(f->Tmax + 1, 1000), "undefined: T above T max");
    EXPECT_EQ(state(300, f->pmax * 1.01), "undefined: p above p max");
    EXPECT_EQ(state(130, 10), "undefined: co2 freezes out");
    EXPECT_EQ(state(f->Tmin + 0.5, 1e6), "undefined: above the melting line");
    EXPECT_EQ(state(300, 1000), "superheated vapor");
}

// A mixture's one-phase rows are named by the critical point shown above
// them: 50 % carbon dioxide in nitrogen has its critical point at 234.7 K
// and 179.7 bar, so the gas at 400 K and 100 bar is no supercritical state
// and the liquid at 220 K and 300 bar is compressed, not supercritical.
TEST_F(FluidEditor, MixtureStatesFollowTheCriticalPointShown) {
    define("States co2 n2", KIND_DRY, 0, {{CO2, 0.5}, {N2, 0.5}});
    std::string message;
    Fluid* f = build_and_register(message);
    ASSERT_NE(f, nullptr) << message;
    FluidInfo info;
    ASSERT_EQ(prepare_table(*f, info), "");
    ASSERT_NEAR(info.Tc, 234.7, 0.1);
    ASSERT_NEAR(info.pc, 17969, 5);
    const auto state = [&](double T, double p) {
        const std::string row = table_row(*f, info, T, p);
        const std::size_t k = row.rfind("| ");
        std::string cell = row.substr(k + 2, 42);
        return cell.substr(0, cell.find_last_not_of(' ') + 1);
    };
    struct Case {
        double T, p;
        const char* state;
    };
    for (const Case& c :
         {Case{400, 10000, "superheated vapor"}, Case{220, 30000, "subcooled (compressed) liquid"},
          Case{400, 30000, "supercritical state"}, Case{300, 100, "superheated vapor"},
          Case{240, 5000, "two-phase area"}})
        EXPECT_EQ(state(c.T, c.p), c.state) << c.T << " K, " << c.p << " kPa";
    // Without a critical point of its own (none shown) a mixture keeps the
    // library's names.
    info.Tc = info.pc = info.Dc = 0;
    EXPECT_EQ(state(400, 10000), "supercritical state");
}

// A critical point is shown only where the composition is one fluid phase:
// the library places one for 2 % water in carbon dioxide at 307.9 K and
// 77.0 bar, where the flash splits off liquid water (vapour fraction 0.982),
// and for 3 % water in methane at 199.9 K, where water freezes out.
TEST_F(FluidEditor, CriticalPointOnlyWhereTheMixtureIsOnePhase) {
    struct Case {
        const char* name;
        int gas;
        double water;
    };
    for (const Case& c : {Case{"Crit wet co2", CO2, 0.02}, Case{"Crit wet methane", CH4, 0.03}}) {
        start_wizard(w);
        define(c.name, KIND_GENERAL, 0, {{FLUID_WATER, c.water}, {c.gas, 1 - c.water}});
        std::string message;
        Fluid* f = build_and_register(message);
        ASSERT_NE(f, nullptr) << message;
        FluidInfo info;
        ASSERT_EQ(prepare_table(*f, info), "");
        EXPECT_EQ(info.texts[INFO_TC], "-") << c.name;
        EXPECT_EQ(info.texts[INFO_PC], "-") << c.name;
        EXPECT_EQ(info.Tc, 0.0) << c.name;
        EXPECT_NE(info.note.find("it is not one fluid phase"), std::string::npos) << info.note;
    }
    // Where the flash finds one phase the point stays.
    start_wizard(w);
    define("Crit h2 co2", KIND_DRY, 0, {{H2, 1.0 / 3}, {CO2, 2.0 / 3}});
    std::string message;
    Fluid* f = build_and_register(message);
    ASSERT_NE(f, nullptr) << message;
    FluidInfo info;
    ASSERT_EQ(prepare_table(*f, info), "");
    EXPECT_NEAR(info.Tc, 296.1, 0.1);
    EXPECT_EQ(info.note.find("not one fluid phase"), std::string::npos) << info.note;
    // A flash that does not converge at the point keeps it: Dry ISO Air's
    // critical point, 133.0 K and 38.7 bar.
    ASSERT_EQ(prepare_table(*fluids[1], info), "");
    EXPECT_NEAR(info.Tc, 132.99, 0.01);
    EXPECT_NEAR(info.pc, 3870.5, 0.5);
}

TEST_F(FluidEditor, HumidTableCarriesTheReferenceWater) {
    define("Table humid air", KIND_HUMID, HUM_RH_STANDARD, {{N2, 0.79}, {O2, 0.21}});
    w.reference = {293.15, 101.325, 0.5, 0.0};
    std::string message;
    Fluid* f = build_and_register(message);
    ASSERT_NE(f, nullptr) << message;
    FluidInfo info;
    ASSERT_EQ(prepare_table(*f, info), "");
    // p_sat of water at 20 °C is 2.3392 kPa (IAPWS-95).
    const double xw = 0.5 * 2.3392 / 101.325;
    EXPECT_NEAR(info.x[2], xw, 2e-6);
    EXPECT_NEAR(info.x[0], 0.79 * (1 - info.x[2]), 1e-15);
    EXPECT_EQ(f->x[2], 0.0);  // the record keeps its dry definition
    // Where its water condenses (10 bar, 280 K) the row has no heat
    // capacities, speed of sound or isentropic exponent, and no marker
    // shows through as a number.
    const std::string wet = table_text(*f, TableGrid{1000, 1000, 100, 280, 280, 10});
    EXPECT_NE(wet.find("two-phase area"), std::string::npos) << wet;
    EXPECT_EQ(wet.find("-99"), std::string::npos) << wet;
    EXPECT_EQ(wet.find("-3465"), std::string::npos) << wet;
    std::size_t undefined = 0;
    for (std::size_t k = wet.find("undefined"); k != std::string::npos;
         k = wet.find("undefined", k + 1))
        ++undefined;
    EXPECT_GE(undefined, 4u) << wet;
    // More water than the mixture: refused with the reason, no rows.
    f->ref_hum_p = 1.0;
    f->ref_hum_rh = 1.0;
    TableResult r;
    table_text(*f, TableGrid{}, &r);
    EXPECT_EQ(r.rows, 0);
    EXPECT_NE(r.error.find("more than the whole mixture"), std::string::npos) << r.error;
}

}  // namespace
