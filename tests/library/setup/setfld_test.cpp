// Component loading: header constants, section selection through the loader
// table, and the messages of a failed load.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "library/setup/records.h"
#include "library/setup/setfld.h"
#include "library/setup/textstore.h"
#include "library/transport/records.h"
#include "tests/library/setup/synthetic_texts.h"

namespace {

using lib::Code;
using synth::calls;
using synth::fluid_text;
using synth::section;
using Log = std::vector<std::string>;

class SetfldTest : public ::testing::Test {
protected:
    void SetUp() override {
        lib::set_extra_loader_rows(synth::kRows, true);
        calls() = synth::Calls{};
        names.fill(std::string(255, ' '));
        names.fill(lib::fixed_width("NUL", 255));
        lib::NCOMP.nc = 1;
        lib::EOSMOD.mix = Code("QVB");
        lib::EOSMOD.eos.fill(Code("QVB"));
        lib::EOSMOD.cp0.fill(Code("QVB"));
        lib::PSMOD.slot.fill(Code("QVB"));
        lib::MELTMOD.slot.fill(Code("QVB"));
        lib::TRNMOD.eta.fill(Code("QVB"));
        lib::TRNMOD.tcx.fill(Code("QVB"));
        for (auto& c : lib::CITE.v) c.fill("NUL");
    }
    void TearDown() override {
        lib::set_extra_loader_rows({});
        lib::store::restore();
        calls() = synth::Calls{};  // no failing loader for the next test
    }
    void put(const std::string& name, const std::string& text) {
        lib::store::override_text(synth::slot_of(name), text);
    }
    void load(int i, const std::string& name) {
        names[i] = lib::fixed_width(name, 255);
        ierr = 0;
        herr = "stale";
        lib::SETFLD(i, names, ierr, herr);
    }
    lib::Slots<std::string> names;
    int ierr = 0;
    std::string herr;
};

TEST_F(SetfldTest, HeaderAndDefaultSectionsOfAPlainFluid) {
    const int n2 = synth::slot_of("nitrogen");
    put("nitrogen", fluid_text("nitrogen", section("#EOS", "FEQ") + section("@EOS", "FE1") +
                                               section("@EOS", "FEK") + section("#AUX", "CPP") +
                                               section("#AUX", "PHK") + section("#PS", "PS5") +
                                               section("@MLT", "ML1")));
    load(1, "nitrogen");
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::CNAM60[1], lib::fixed_width("nitrogen", 60));
    EXPECT_EQ(lib::CNAM[1], "nitrogen    ");
    EXPECT_EQ(lib::CCAS[1], "1234-56-7   ");
    EXPECT_EQ(lib::trim_right(lib::CNAM80.full[1]), "test fluid nitrogen");
    const double header[][2] = {
        {lib::CCON.wm[1], 28.0134}, {lib::CCON.ttp[1], 63.151}, {lib::CCON.tnbp[1], 77.355},
        {lib::CCON.tc[1], 126.192}, {lib::CCON.pc[1], 3395.8},  {lib::CCON.dc[1], 11.1839},
        {lib::CCON.acf[1], 0.0372}, {lib::VERS[1], 10.0},       {lib::HTCM[1], 5.5}};
    for (std::size_t i = 0; i < std::size(header); ++i)
        EXPECT_DOUBLE_EQ(header[i][0], header[i][1]) << "header value " << i;
    EXPECT_EQ(lib::trim_right(lib::FAML.un[1]), "1066");
    EXPECT_EQ(lib::trim_right(lib::FAML.family[1]), "other");
    EXPECT_EQ(lib::REFST.slot[1], Code("NBP"));
    // Only the "#" sections are taken; nothing behind "@END" is read.
    EXPECT_EQ(calls().log,
              (Log{"FEQ:" + std::to_string(n2) + ":1", "CPP:" + std::to_string(n2) + ":1",
                   "PS:" + std::to_string(n2) + ":1", "PR:999:1"}));
    EXPECT_EQ(lib::EOSMOD.eos[1], Code("FEQ"));
    EXPECT_EQ(lib::EOSMOD.mix, Code("FEQ"));
    EXPECT_EQ(lib::EOSMOD.cp0[1], Code("CPP"));
    EXPECT_EQ(lib::PSMOD.slot[1], Code("PS5"));
    EXPECT_EQ(lib::PSMOD.last, Code("PS5"));
    EXPECT_EQ(lib::MELTMOD.slot[1], Code("QVB"));
    EXPECT_EQ(lib::CITE[1][lib::kCiteEos], "FEQ  description of FEQ");
    EXPECT_EQ(lib::CITE[1][lib::kCiteCp0], "CPP  description of CPP");
    EXPECT_EQ(lib::CITE[1][lib::kCitePs], "PS5  description of PS5");
    EXPECT_EQ(lib::CITE[1][lib::kCiteMlt], "NUL");
    EXPECT_EQ(lib::ILINE, 1);
}

TEST_F(SetfldTest, SelectedAlternativesAndFallbacks) {
    put("water", fluid_text("water", section("#EOS", "FEQ") + section("@EOS", "FEK") +
                                         section("@EOS", "PRT") + section("#AUX", "CPP") +
                                         section("@AUX", "PHK") + section("#PS", "PS5") +
                                         section("#PS", "PS6")));
    const std::string w = std::to_string(synth::slot_of("water"));
    // A selected "@" equation and ideal gas are loaded instead of the defaults;
    // the Peng-Robinson section gives its parameters only (negated slot).
    lib::EOSMOD.eos[1] = Code("FEK");
    lib::EOSMOD.cp0[1] = Code("PHK");
    load(1, "water");
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_EQ(calls().log, (Log{"FEQ:" + w + ":1", "PR:-" + w + ":1", "PH0:" + w + ":1",
                                "PS:" + w + ":1", "PS:" + w + ":1"}));
    EXPECT_EQ(lib::CITE[1][lib::kCiteEos], "FEK  description of FEK");
    EXPECT_EQ(lib::PSMOD.slot[1], Code("PS6"));  // a second "#PS" replaces the first

    // A text without the "FEK" section is loaded again with its "FEQ" equation.
    put("water", fluid_text("water", section("#EOS", "FEQ") + section("#AUX", "CPP")));
    calls() = synth::Calls{};
    lib::EOSMOD.eos[1] = Code("FEK");
    lib::EOSMOD.cp0[1] = Code("QVB");
    load(1, "water");
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::EOSMOD.eos[1], Code("FEQ"));
    EXPECT_EQ(calls().log,
              (Log{"CPP:" + w + ":1", "FEQ:" + w + ":1", "CPP:" + w + ":1", "PR:999:1"}));
}

TEST_F(SetfldTest, EcsEquationNamesItsReferenceFluid) {
    put("r23", fluid_text("r23", section("#EOS", "ECS") + section("#AUX", "CPP")));
    lib::NCOMP.nc = 2;
    lib::EOSMOD.mix = Code("HMX");
    names[1] = lib::fixed_width("fluids/r23", 255);  // a directory in front of the name
    load(2, "r23");
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::EOSMOD.eos[2], Code("ECS"));
    EXPECT_EQ(lib::EOSMOD.mix, Code("HMX"));
    EXPECT_EQ(lib::trim_right(names[-2]), "r134a");
    EXPECT_EQ(lib::EOSMOD.eos[-2], Code("FEQ"));
}

TEST_F(SetfldTest, SectionsWithoutALoaderArePassedOver) {
    const lib::LoaderRow only_ps[] = {{"PS ", "*", nullptr, nullptr, synth::ps}};
    lib::set_extra_loader_rows(only_ps, true);
    put("argon", fluid_text("argon", section("#EOS", "FEQ") + section("#AUX", "CPP") +
                                         section("#PS", "PS5")));
    load(1, "argon");
    // No equation of state could be loaded.
    EXPECT_EQ(ierr, 105);
    EXPECT_EQ(lib::EOSMOD.cp0[1], Code("QVB"));
    EXPECT_EQ(calls().log.size(), 1u);
    const lib::LoaderRow only_feq[] = {{"EOS", "FE", synth::feq}};
    lib::set_extra_loader_rows(only_feq, true);
    calls() = synth::Calls{};
    lib::PSMOD.slot[1] = Code("QVB");
    lib::CITE[1].fill("NUL");
    load(1, "argon");
    // Without their loaders the ideal gas and the ancillary stay undecided.
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(lib::PSMOD.slot[1], Code("QVB"));
    EXPECT_EQ(lib::EOSMOD.cp0[1], Code("QVB"));
    EXPECT_EQ(lib::CITE[1][lib::kCitePs], "NUL");
}

TEST_F(SetfldTest, MessagesOfAFailedLoad) {
    load(1, "nosuchfluid");
    EXPECT_EQ(ierr, 101);
    EXPECT_EQ(herr,
              "[SETUP error 101] error in opening file for component #  1; filename = "
              "(nosuchfluid).");

    put("argon",
        fluid_text("argon", section("#EOS", "FEQ") + section("#AUX", "CPP"), "NBP", true, false));
    load(1, "argon");
    EXPECT_EQ(ierr, 102);
    EXPECT_EQ(herr, "[SETUP error 102] error in file or premature end of file for component #  1.");
    EXPECT_EQ(lib::ILINE, 1);

    put("argon", fluid_text("argon", section("#EOS", "XYZ") + section("#EOS", "FEQ") +
                                         section("#AUX", "CPP")));
    lib::EOSMOD.eos[1] = Code("FEQ");
    load(1, "argon");
    EXPECT_EQ(ierr, -103);
    EXPECT_EQ(herr,
              "[SETUP warning -103] unknown model (XYZ) encountered in file for component #  1.");
    EXPECT_EQ(lib::CITE[1][lib::kCiteEos], "FEQ  description of FEQ");  // loading went on

    lib::EOSMOD.eos[1] = Code("BWR");
    put("argon", fluid_text("argon", section("#EOS", "FEQ") + section("#AUX", "CPP")));
    load(1, "argon");
    EXPECT_EQ(ierr, 105);
    EXPECT_EQ(herr,
              "[SETUP error 105] selected equation of state not found for component #  1:  argon");

    // A failing equation-of-state loader: 104 with the slot's code; the scan goes on.
    lib::EOSMOD.eos[1] = Code("QVB");
    calls().fail_kind = "FEQ";
    put("argon", fluid_text("argon", section("#EOS", "FEQ") + section("#AUX", "CPP") +
                                         section("#PS", "PS5")));
    load(1, "argon");
    EXPECT_EQ(ierr, 104);
    EXPECT_EQ(herr,
              "[SETUP error 104] Error in setup of (FEQ) model for component #  1:  [SETFEQ "
              "error 1] bad coefficients");
    EXPECT_EQ(lib::PSMOD.slot[1], Code("PS5"));

    // A failing ancillary loader reports its section's code.
    calls().fail_kind = "PS";
    lib::EOSMOD.eos[-3] = Code("FEQ");  // reference slots get their code from who named them
    load(-3, "argon");
    EXPECT_EQ(ierr, 104);
    EXPECT_EQ(herr,
              "[SETUP error 104] Error in setup of (PS5) model for component # -3:  [SETPS "
              "error 1] bad coefficients");
}

TEST_F(SetfldTest, FixedReferenceFluidNeedsItsIdealGas) {
    put("propane", fluid_text("propane", section("#AUX", "PH0")));
    lib::EOSMOD.cp0[-21] = Code("PH0");
    load(-21, "propane");
    EXPECT_EQ(ierr, 0) << herr;  // the selected ideal gas was found
    lib::EOSMOD.cp0[-21] = Code("QVB");
    load(-21, "propane");
    EXPECT_EQ(ierr, 106);
    EXPECT_EQ(herr,
              "[SETUP error 106] ideal gas heat capacity equation not found for component #-21.");
}

TEST_F(SetfldTest, TextWithoutTagsAndWithOtherReferencePoint) {
    put("air", fluid_text("air", section("#EOS", "FEQ") + section("#AUX", "CPP"), "OTH", false));
    lib::HTCM[1] = 7.0;
    lib::FAML.un[1] = "stale";
    load(1, "air");
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_DOUBLE_EQ(lib::HTCM[1], -1.0);
    EXPECT_EQ(lib::FAML.un[1], std::string(255, ' '));
    EXPECT_EQ(lib::REFST.slot[1], Code("OTH"));
    EXPECT_DOUBLE_EQ(lib::CREFDF.t[1], 300.0);
    EXPECT_DOUBLE_EQ(lib::CREFDF.p[1], 1.0);
    EXPECT_DOUBLE_EQ(lib::CREFDF.h[1], 100.0);
    EXPECT_DOUBLE_EQ(lib::CREFDF.s[1], 2.0);
}

TEST_F(SetfldTest, LoaderTableLookup) {
    lib::set_extra_loader_rows({});
    // Rows are found by keyword and the leading part of the code; the table
    // ends without a catch-all.
    for (const lib::LoaderRow& r : lib::loader_rows()) {
        EXPECT_EQ(r.kind.size(), 3u);
        EXPECT_EQ((r.eos != nullptr) + (r.ecs != nullptr) + (r.anc != nullptr), 1);
        EXPECT_EQ(lib::find_loader(r.kind, Code(r.code == "*" ? "XX" : r.code)) != nullptr, true);
    }
    EXPECT_EQ(lib::find_loader("EOS", Code("ZZZ")), nullptr);
    lib::set_extra_loader_rows(synth::kRows);
    EXPECT_EQ(lib::find_loader("EOS", Code("FE1"))->eos, synth::feq);
    EXPECT_EQ(lib::find_loader("PS ", Code("PS6"))->anc, synth::ps);
    EXPECT_EQ(lib::find_loader("ZZZ", Code("DL1")), nullptr);
}

}  // namespace
