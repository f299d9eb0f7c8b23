// Component loading: header constants, section selection through the loader
// table, and the error messages of a load.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "library/setup/records.h"
#include "library/setup/setfld.h"
#include "library/setup/textstore.h"
#include "library/transport/records.h"

namespace {

using lib::Code;

constexpr int kNitrogen = 64;  // text slots of the store
constexpr int kOxygen = 69;
constexpr int kWater = 121;

// A small fluid text in the store's grammar; `sections` follow the header.
std::string fluid_text(const std::string& key, const std::string& sections,
                       const std::string& refcode = "NBP") {
    std::string t = "<<" + key + ">>\n";
    t += key + "            !short name\n";
    t += "1234-56-7    !CAS number\n";
    t += "test fluid " + key + "\n";
    t += "X2           !formula\n";
    t += "syn          !synonym\n";
    t += "28.0134      !molecular weight [g/mol]\n";
    t += "63.151       !triple point temperature [K]\n";
    t += "77.355       !normal boiling point [K]\n";
    t += "126.192      !critical temperature [K]\n";
    t += "3395.8       !critical pressure [kPa]\n";
    t += "11.1839      !critical density [mol/L]\n";
    t += "0.0372       !acentric factor\n";
    t += "0.0          !dipole moment [Debye]\n";
    t += refcode + "          !default reference state\n";
    if (refcode.starts_with("OT")) t += "300.0 1.0 100.0 2.0 !reference point\n";
    t += "10.0         !version number\n";
    t += "1066         !UN Number                 :UN\n";
    t += "other        !family                    :fa\n";
    t += "5.5          !heating value             :he\n";
    t += "\n";
    t += "! comment line\n";
    t += sections;
    t += "@END\n";
    return t;
}

std::string section(const std::string& marker, const std::string& code, const std::string& body) {
    return "\n" + marker + "\n" + code + "  description of " + code + "\n?literature\n?more\n" +
           "!end of info section\n" + body;
}

// Loaders that record their calls and read one body line.
struct Calls {
    std::vector<std::string> log;
    int fail = 0;  // ierr returned by the next failing loader kind
    std::string fail_kind;
};
Calls g_calls;

void record(const std::string& what, int nread, int icomp, int& ierr, std::string& herr) {
    g_calls.log.push_back(what + ":" + std::to_string(nread) + ":" + std::to_string(icomp));
    std::string_view ln;
    if (nread > 0 && nread != 999) lib::next_line(nread, ln);
    ierr = g_calls.fail_kind == what ? g_calls.fail : 0;
    herr = ierr ? "[" + what + " error 1] bad coefficients" : "";
}
void feq(int n, int i, const std::string&, int& e, std::string& h) { record("FEQ", n, i, e, h); }
void cpp(int n, int i, const std::string&, int& e, std::string& h) { record("CPP", n, i, e, h); }
void ps(int n, int i, int& e, std::string& h) { record("PS", n, i, e, h); }
void pr(int n, int i, int& e, std::string& h) { record("PR", n, i, e, h); }

const lib::LoaderRow kRows[] = {
    {"EOS", "FE", feq}, {"AUX", "CP", cpp}, {"PS ", "*", nullptr, nullptr, ps},
    {"EOS", "PR", nullptr, nullptr, pr}};

class SetfldTest : public ::testing::Test {
protected:
    void SetUp() override {
        lib::set_extra_loader_rows(kRows);
        g_calls = Calls{};
        names.fill(std::string(255, ' '));
        lib::NCOMP.nc = 1;
        lib::EOSMOD.mix = Code("QVB");
        lib::EOSMOD.eos.fill(Code("QVB"));
        lib::EOSMOD.cp0.fill(Code("QVB"));
        lib::PSMOD.slot.fill(Code("QVB"));
        lib::TRNMOD.eta.fill(Code("QVB"));
        lib::TRNMOD.tcx.fill(Code("QVB"));
    }
    void TearDown() override {
        lib::set_extra_loader_rows({});
        lib::store::restore();
    }
    void load(int i, const std::string& name) {
        names[i] = lib::fixed_width(name, 255);
        ierr = 0;
        lib::SETFLD(i, names, ierr, herr);
    }
    lib::Slots<std::string> names;
    int ierr = 0;
    std::string herr;
};

const std::string kBody = "1.0 2.0\n";

TEST_F(SetfldTest, ReadsHeaderAndLoadsDefaultSections) {
    lib::store::override_text(
        kNitrogen,
        fluid_text("nitrogen", section("#EOS", "FEQ", kBody) + section("@EOS", "FE1", kBody) +
                                   section("#AUX", "CPP", kBody) + section("#PS", "PS5", kBody) +
                                   section("@PS", "PS6", kBody)));
    load(1, "nitrogen");
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_EQ(lib::CNAM[1], "nitrogen    ");
    EXPECT_EQ(lib::CCAS[1], "1234-56-7   ");
    EXPECT_DOUBLE_EQ(lib::CCON.tc[1], 126.192);
    EXPECT_DOUBLE_EQ(lib::CCON.wm[1], 28.0134);
    EXPECT_DOUBLE_EQ(lib::CCON.dip[1], 0.0);
    EXPECT_DOUBLE_EQ(lib::VERS[1], 10.0);
    EXPECT_DOUBLE_EQ(lib::HTCM[1], 5.5);
    EXPECT_EQ(lib::trim_right(lib::FAML.un[1]), "1066");
    EXPECT_EQ(lib::REFST.slot[1], Code("NBP"));
    EXPECT_EQ(lib::EOSMOD.eos[1], Code("FEQ"));
    EXPECT_EQ(lib::EOSMOD.mix, Code("FEQ"));
    EXPECT_EQ(lib::EOSMOD.cp0[1], Code("CPP"));
    EXPECT_EQ(lib::PSMOD.slot[1], Code("PS5"));
    EXPECT_EQ(lib::CITE[1][lib::kCiteEos], "FEQ  description of FEQ");
    const std::vector<std::string> want = {"FEQ:64:1", "CPP:64:1", "PS:64:1", "PR:999:1"};
    EXPECT_EQ(g_calls.log, want);
    EXPECT_EQ(lib::ILINE, 1);
}

}  // namespace
