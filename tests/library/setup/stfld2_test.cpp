// Transport, surface-tension and dielectric sections: default codes, which
// section a component selects, unknown models, and GETMOD.
#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "library/setup/records.h"
#include "library/setup/stfld2.h"
#include "library/setup/textstore.h"
#include "library/transport/records.h"
#include "tests/library/setup/synthetic_texts.h"

namespace {

using lib::Code;
using synth::fluid_text;
using synth::section;

class Stfld2Test : public ::testing::Test {
protected:
    void SetUp() override {
        lib::set_extra_loader_rows(synth::kRows, true);
        lib::RESETM.defaults_pending = 1;
    }
    void TearDown() override {
        lib::set_extra_loader_rows({});
        lib::store::restore();
    }
    // Sets up `name` alone from a text with the given transport sections.
    void setup_with(const std::string& name, const std::string& sections) {
        lib::store::override_text(
            synth::slot_of(name),
            fluid_text(name, section("#EOS", "FEQ") + section("#AUX", "CPP") + sections));
        std::string hrf = "DEF";
        lib::RESETM.no_cache = 1;  // the text changed under the same name
        lib::SETUP0(1, name, "hmx", hrf, ierr, herr);
    }
    int ierr = 0;
    std::string herr;
};

TEST_F(Stfld2Test, FirstDefaultSectionsDecideTheCodes) {
    setup_with("argon", section("#ETA", "VS1", synth::kVs1Body) + section("@ETA", "VS2") +
                            section("#TCX", "TC1", synth::kTc1Body) +
                            section("#STN", "ST1", synth::kSt1Body) +
                            section("#DE", "DE3", synth::kDe3Body));
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::TRNMOD.eta[1], Code("VS1"));
    EXPECT_EQ(lib::TRNMOD.eta_mix, Code("VS1"));
    EXPECT_EQ(lib::TRNMOD.tcx[1], Code("TC1"));
    EXPECT_EQ(lib::TRNMOD.tcx_mix, Code("TC1"));
    EXPECT_EQ(lib::STNMOD.slot[1], Code("ST1"));
    EXPECT_EQ(lib::STNMOD.mix, Code("ST1"));
    EXPECT_EQ(lib::DEMOD.slot[1], Code("DE3"));
    EXPECT_EQ(lib::CITE[1][lib::kCiteEta], "VS1  description of VS1");
    EXPECT_EQ(lib::CITE[1][lib::kCiteTcx], "TC1  description of TC1");
    EXPECT_EQ(lib::CITE[1][lib::kCiteStn], "ST1  description of ST1");
    EXPECT_EQ(lib::CITE[1][lib::kCiteDe], "DE3  description of DE3");
}

TEST_F(Stfld2Test, AlternativeTransportSectionIsTheFallback) {
    // The viscosity asked for is missing: the "@TRN" model becomes its code.
    lib::Names20 codes;
    codes.fill("QVB");
    codes[0] = "VS4";
    std::string h;
    int e = 0;
    lib::SETMOD(1, "ETA", "", codes, e, h);
    setup_with("argon", section("#ETA", "VS1", synth::kVs1Body) +
                            section("#TCX", "TC1", synth::kTc1Body) +
                            section("@TRN", "ECS", synth::kEcsBody));
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::TRNMOD.eta[1], Code("ECS"));
    EXPECT_EQ(lib::TRNMOD.tcx[1], Code("TC1"));
    EXPECT_EQ(lib::CITE[1][lib::kCiteEta], "NUL");
}

TEST_F(Stfld2Test, DefaultTransportModel) {
    setup_with("argon", section("#TRN", "ECS", synth::kEcsBody) + section("@ETA", "VS1"));
    ASSERT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::TRNMOD.eta[1], Code("ECS"));
    EXPECT_EQ(lib::TRNMOD.tcx[1], Code("ECS"));
    EXPECT_EQ(lib::TRNMOD.eta_mix, Code("ECS"));
    EXPECT_EQ(lib::CITE[1][lib::kCiteEta], "ECS  description of ECS");
    EXPECT_EQ(lib::CITE[1][lib::kCiteTcx], "ECS  description of ECS");
}

TEST_F(Stfld2Test, UnknownAndEmptyModels) {
    setup_with("argon", section("#ETA", "NUL") + section("#TCX", "TC1", synth::kTc1Body));
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::CITE[1][lib::kCiteEta], "NUL");
    setup_with("argon", section("#TCX", "TC4"));
    EXPECT_EQ(ierr, -103);
    EXPECT_EQ(herr,
              "[SETUP warning -103] unknown model (TC4) encountered in file for component #  1.");
    setup_with("argon", section("#TRN", "XYZ"));
    EXPECT_EQ(ierr, -103);
    EXPECT_EQ(herr,
              "[SETUP warning -103] unknown model (XYZ) encountered in file for component #  1.");
}

TEST_F(Stfld2Test, CriticalEnhancementOnlyWhenNamed) {
    lib::Slots<std::string> names;
    names.fill(lib::fixed_width("NUL", 255));
    Code heta("   "), htcx("   ");
    int ieta = 0, itcx = 0, e = 0;
    std::string ref, h;
    Code refeos("   ");
    lib::CITE[3][lib::kCiteTcxAux] = "NUL";
    lib::CREMOD.set[0][3] = Code("NUL");
    lib::STFLD2(1, 3, "cas", "  enhancement", Code("AUX"), '#', Code("TK3"), heta, htcx, ieta, itcx,
                names, ref, refeos, e, h);
    EXPECT_EQ(lib::CITE[3][lib::kCiteTcxAux], "NUL");
    lib::CREMOD.set[0][3] = Code("TK3");
    lib::store::override_text(1, "<<1butene>>\n" + synth::kTk3Body);
    lib::ILINE = 1;
    lib::STFLD2(1, 3, "cas", "  enhancement", Code("AUX"), '#', Code("TK3"), heta, htcx, ieta, itcx,
                names, ref, refeos, e, h);
    EXPECT_EQ(e, 0);
    EXPECT_EQ(lib::CITE[3][lib::kCiteTcxAux], "TK3  enhancement");
    EXPECT_EQ(ieta + itcx, 0);
}

TEST_F(Stfld2Test, Getmod) {
    setup_with("argon", section("#TCX", "TC1", synth::kTc1Body) + section("#PS", "PS5"));
    ASSERT_EQ(ierr, 0) << herr;
    std::string code, cite;
    lib::GETMOD(1, "TCX", code, cite);
    EXPECT_EQ(code, "TC1");
    EXPECT_EQ(cite, "TC1  description of TC1");
    lib::GETMOD(1, "ps ", code, cite);
    EXPECT_EQ(code, "PS5");
    lib::GETMOD(1, "eos", code, cite);
    EXPECT_EQ(code, "FEQ");
    cite = "my own text";
    lib::GETMOD(1, "PL ", code, cite);
    EXPECT_EQ(cite, "my own text");
    EXPECT_EQ(code, "my ");
    lib::GETMOD(1, "MLT", code, cite);
    EXPECT_EQ(code, "NUL");
}

}  // namespace
