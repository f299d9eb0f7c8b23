// Set-up of pure fluids and mixtures: name splitting, the slots loaded, the
// set-up cache and the messages of SETUP0 and SETUP.
#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/setup.h"
#include "library/setup/textstore.h"
#include "library/setup/ucase.h"
#include "library/transport/records.h"
#include "tests/library/setup/synthetic_texts.h"

namespace {

using lib::Code;
using synth::calls;
using synth::fluid_text;
using synth::plain_fluid;
using synth::section;

class SetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        lib::set_extra_loader_rows(synth::kRows, true);
        calls() = synth::Calls{};
        for (const char* f : {"nitrogen", "oxygen", "propane", "c12", "r134a", "water", "argon"})
            lib::store::override_text(synth::slot_of(f), plain_fluid(f));
        lib::store::override_text(synth::slot_of("hmx"), synth::mixture_text());
        lib::RESETM.defaults_pending = 1;  // no model choice left over from another test
        lib::REFST.mix = Code("NUL");      // nothing set up here yet
    }
    void TearDown() override {
        lib::set_extra_loader_rows({});
        lib::store::restore();
    }
    void setup(int nc, const std::string& names, std::string hrf = "DEF",
               const std::string& hfmix = "hmx") {
        herr = "stale";
        ierr = 12345;
        lib::SETUP0(nc, names, hfmix, hrf, ierr, herr);
        hrf_out = hrf;
    }
    int ierr = 0;
    std::string herr, hrf_out;
};

std::string cnam(int k) { return std::string(lib::trim_right(lib::CNAM[k])); }

TEST_F(SetupTest, MixtureLoadsComponentsAndFixedReferenceFluids) {
    setup(2, "nitrogen|oxygen");
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::NCOMP.nc, 2);
    EXPECT_EQ(cnam(1), "nitrogen");
    EXPECT_EQ(cnam(2), "oxygen");
    EXPECT_EQ(cnam(0), "nitrogen");
    EXPECT_EQ(cnam(-21), "propane");
    EXPECT_EQ(cnam(-22), "c12");
    EXPECT_EQ(cnam(-23), "r134a");
    EXPECT_EQ(cnam(-1), "not_defined");  // no reference fluid named
    EXPECT_EQ(lib::trim_right(lib::setup_names()[-1]), "NUL");
    for (int k : {1, 2, 0, -21, -22, -23}) {
        EXPECT_EQ(lib::EOSMOD.eos[k], Code("FEQ")) << k;
        EXPECT_EQ(lib::CITE[k][lib::kCiteEos], "FEQ  description of FEQ") << k;
    }
    EXPECT_EQ(lib::CITE[-1][lib::kCiteEos], "NUL");
    EXPECT_EQ(lib::EOSMOD.mix, Code("HMX"));
    EXPECT_EQ(lib::TRNMOD.eta_mix, Code("ECS"));
    EXPECT_EQ(lib::STNMOD.mix, Code("STH"));
    EXPECT_EQ(lib::DEMOD.mix, Code("DEM"));
    EXPECT_DOUBLE_EQ(lib::GCNST.r, 8.314472);
    EXPECT_EQ(lib::HCHAR.tab, '\t');
    EXPECT_EQ(lib::HCHAR.eom, '\0');

    // A pure fluid keeps its own equation's code as the mixture model code.
    setup(1, "water");
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::EOSMOD.mix, Code("FEQ"));
    EXPECT_EQ(cnam(1), "water");
    EXPECT_EQ(lib::trim_right(lib::setup_names()[0]), "NUL");  // slot 0 holds nothing
}

TEST_F(SetupTest, FixedReferenceFluidsTakeTheComponentsDirectory) {
    for (const char* f : {"nitrogen", "oxygen", "propane", "c12", "r134a"})
        lib::store::override_text(synth::slot_of(f), plain_fluid(std::string("lib/") + f));
    setup(2, "lib/oxygen|lib/nitrogen");
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::trim_right(lib::setup_names()[0]), "lib/nitrogen");
    EXPECT_EQ(lib::trim_right(lib::setup_names()[-23]), "lib/r134a");
    EXPECT_EQ(cnam(-22), "lib/c12");
}

TEST_F(SetupTest, NameListErrors) {
    const std::string msg = "[SETUP0 error 1] not enough fluid names on input line";
    setup(2, "nitrogen");
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, msg);
    setup(2, "nitrogen|");
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, msg);
    setup(3, "nitrogen|oxygen");
    EXPECT_EQ(ierr, 1);
    setup(2, "nitrogen|oxygen|");  // a trailing bar after the last name is fine
    EXPECT_EQ(ierr, 0) << herr;

    setup(1, "oxygen|");
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_EQ(cnam(1), "oxygen");
    EXPECT_EQ(lib::NCOMP.nc, 1);

    const std::string bounds = "[SETUP error 113] number of components out of bounds";
    setup(21, "nitrogen|oxygen");
    EXPECT_EQ(ierr, 113);
    EXPECT_EQ(herr, bounds);
    setup(0, "nitrogen");
    EXPECT_EQ(ierr, 113);
    EXPECT_EQ(herr, bounds);
    setup(-1, "nitrogen");
    EXPECT_EQ(ierr, 91000);
    // Returned at once, with a message that says what was (not) done.
    EXPECT_EQ(herr,
              "[SETUP error 91000] number of components is -1: nothing is set up, the previous "
              "fluid stays");
}

TEST_F(SetupTest, OtherReferenceStateBecomesDefault) {
    for (const char* code : {"OTH", "OT0"}) {
        setup(1, "nitrogen", code);
        EXPECT_EQ(ierr, -105) << code;
        EXPECT_EQ(herr,
                  "[SETUP warning -105] must use routine SETREF for (OTH) reference state "
                  "choice; will use default (DEF) choice");
        EXPECT_EQ(hrf_out, "DEF");
    }
}

TEST_F(SetupTest, RepeatedSetupReadsNoText) {
    setup(2, "nitrogen|oxygen");
    ASSERT_EQ(ierr, 0) << herr;
    const long before = lib::store::lines_read();
    setup(2, "nitrogen|oxygen");
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(herr, "");
    EXPECT_EQ(lib::store::lines_read(), before);

    // Anything else asked for reloads: other names, another mixture text,
    // another reference state.
    setup(2, "oxygen|nitrogen");
    EXPECT_GT(lib::store::lines_read(), before);
    long now = lib::store::lines_read();
    setup(2, "oxygen|nitrogen", "DEF", "other");
    EXPECT_GT(lib::store::lines_read(), now);
    now = lib::store::lines_read();
    setup(2, "oxygen|nitrogen", "NBP", "other");
    EXPECT_GT(lib::store::lines_read(), now);
}

TEST_F(SetupTest, FailedSetupIsNeverTakenFromTheCache) {
    setup(1, "argon");
    ASSERT_EQ(ierr, 0) << herr;
    // The same fluid now fails late in its load, after its equation was loaded.
    calls().fail_kind = "PS";
    setup(1, "nitrogen");
    EXPECT_EQ(ierr, 104);
    calls().fail_kind.clear();
    lib::store::override_text(synth::slot_of("nitrogen"), plain_fluid("nitrogen"));
    long before = lib::store::lines_read();
    calls().fail_kind = "PS";
    setup(1, "nitrogen");
    EXPECT_EQ(ierr, 104) << "a failed set-up must be repeated, not taken from the cache";
    EXPECT_GT(lib::store::lines_read(), before);
    calls().fail_kind.clear();
    setup(1, "nitrogen");
    EXPECT_EQ(ierr, 0) << herr;
    before = lib::store::lines_read();
    setup(1, "nitrogen");
    EXPECT_EQ(lib::store::lines_read(), before);

    // A missing text fails with 101 and stops the set-up.
    setup(2, "nitrogen|nosuchfluid");
    EXPECT_EQ(ierr, 101);
    EXPECT_EQ(herr,
              "[SETUP error 101] error in opening file for component #  2; filename = "
              "(nosuchfluid).");
    before = lib::store::lines_read();
    setup(2, "nitrogen|nosuchfluid");
    EXPECT_EQ(ierr, 101);
    EXPECT_GT(lib::store::lines_read(), before);
}

TEST_F(SetupTest, ModelsChosenBeforeTheSetup) {
    lib::Names20 codes;
    codes.fill("QVB");
    std::string h;
    int e = 0;
    // A component count other than the one given to SETMOD.
    lib::SETMOD(2, "EOS", "HMX", codes, e, h);
    ASSERT_EQ(e, 0);
    setup(1, "nitrogen");
    EXPECT_EQ(ierr, 114);
    EXPECT_EQ(herr, "[SETUP error 114] number of components does not match value sent to SETMOD");

    // An unknown mixture model falls back to HMX with a warning.
    lib::SETMOD(2, "EOS", "XYZ", codes, e, h);
    setup(2, "nitrogen|oxygen");
    EXPECT_EQ(ierr, -105);
    EXPECT_EQ(herr,
              "[SETUP warning -105] unknown mixture model specified, the HMX model will be used");
    EXPECT_EQ(lib::EOSMOD.mix, Code("HMX"));

    // A chosen alternative equation is used; the set-up after it reloads with defaults.
    codes[0] = "FEK";
    lib::store::override_text(
        synth::slot_of("nitrogen"),
        fluid_text("nitrogen",
                   section("#EOS", "FEQ") + section("@EOS", "FEK") + section("#AUX", "CPP")));
    lib::SETMOD(1, "EOS", "", codes, e, h);
    setup(1, "nitrogen");
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::CITE[1][lib::kCiteEos], "FEK  description of FEK");
    EXPECT_EQ(lib::EOSMOD.mix, Code("FEQ"));
    setup(1, "nitrogen");
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::CITE[1][lib::kCiteEos], "FEQ  description of FEQ");
}

TEST_F(SetupTest, PseudoPureFlag) {
    const int air = synth::slot_of("air");
    lib::store::override_text(air, plain_fluid("air.ppf"));
    setup(2, "air.ppf|oxygen");
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::FLAGS2.pseudo_pure[1], 1);
    EXPECT_EQ(lib::FLAGS2.pseudo_pure[2], 0);
    setup(1, "oxygen");
    EXPECT_EQ(lib::FLAGS2.pseudo_pure[1], 0);
}

TEST(Ucase, UpperCasesTheFirstNCharacters) {
    EXPECT_EQ(lib::UCASE("air.ppf", 255), lib::fixed_width("AIR.PPF", 255));
    EXPECT_EQ(lib::UCASE("abc-xyz", 3), lib::fixed_width("ABC-xyz", 255));
    EXPECT_EQ(lib::UCASE("abc", 0), lib::fixed_width("abc", 255));
    EXPECT_EQ(lib::UCASE(std::string(300, 'q'), 255), std::string(255, 'Q'));
}

}  // namespace

// The same with the built-in texts and the models' own loaders.
class SetupBuiltinTexts : public ::testing::Test {
protected:
    void SetUp() override {
        lib::RESETM.defaults_pending = 1;
        lib::REFST.mix = Code("NUL");
    }
    int ierr = 0;
    std::string herr;
};

TEST_F(SetupBuiltinTexts, NitrogenOxygenMixture) {
    std::string hrf = "DEF";
    lib::SETUP0(2, "nitrogen|oxygen", "hmx", hrf, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    // Critical temperatures of the fluids in slots 1, 2, 0, -21, -22, -23.
    const std::pair<int, double> tc[] = {{1, 126.192},  {2, 154.581}, {0, 126.192},
                                         {-21, 369.89}, {-22, 658.1}, {-23, 374.21}};
    for (const auto& [slot, t] : tc) EXPECT_NEAR(lib::CCON.tc[slot], t, 0.5) << slot;
    EXPECT_EQ(lib::trim_right(lib::setup_names()[-22]), "c12");
    EXPECT_EQ(lib::EOSMOD.mix, Code("HMX"));
    EXPECT_EQ(lib::NCOMP.nc, 2);

    // The same set-up again, with its reference state recorded by the first
    // one, reads no line of any text.
    EXPECT_EQ(lib::REFST.mix, Code("DEF"));
    const long before = lib::store::lines_read();
    lib::SETUP0(2, "nitrogen|oxygen", "hmx", hrf, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::store::lines_read() - before, 0);
    // So does a pure fluid's.
    lib::SETUP0(1, "water", "hmx", hrf, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    const long again = lib::store::lines_read();
    lib::SETUP0(1, "water", "hmx", hrf, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::store::lines_read() - again, 0);
}

TEST_F(SetupBuiltinTexts, PureFluidsAndNameErrors) {
    std::string hrf = "DEF";
    lib::SETUP0(1, "water|", "hmx", hrf, ierr, herr);
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(lib::CCON.tc[1], 647.096, 1e-9);
    EXPECT_EQ(lib::EOSMOD.mix, Code("FEQ"));
    EXPECT_EQ(lib::EOSMOD.eos[1], Code("FEQ"));

    lib::SETUP0(2, "nitrogen|", "hmx", hrf, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[SETUP0 error 1] not enough fluid names on input line");
    lib::SETUP0(1, "NITROGEN", "hmx", hrf, ierr, herr);  // names are case-sensitive
    EXPECT_EQ(ierr, 101);
    EXPECT_EQ(herr,
              "[SETUP error 101] error in opening file for component #  1; filename = "
              "(NITROGEN).");
    hrf = "OTH";
    lib::SETUP0(1, "nitrogen", "hmx", hrf, ierr, herr);
    EXPECT_EQ(hrf, "DEF");
    EXPECT_EQ(ierr, -105);
}
