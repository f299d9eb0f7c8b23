// Small fluid texts in the store's grammar for the set-up tests, and
// recording loaders that stand in for the models' own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/setup/setfld.h"
#include "library/setup/textstore.h"

namespace synth {

// Text slot of a built-in name (0 when unknown).
inline int slot_of(std::string_view name) {
    for (int k = 1; k <= lib::kTextCount; ++k)
        if (lib::store::name(k) == name) return k;
    return 0;
}

// One section: marker line, model line, two literature lines, the closing
// line and the body.
inline std::string section(const std::string& marker, const std::string& code,
                           const std::string& body = "1.0 2.0\n") {
    return "\n" + marker + "\n" + code + "  description of " + code + "\n?literature\n?more\n" +
           "!end of info section\n" + body;
}

// Smallest bodies of the transport blocks: limits, no terms, no enhancement.
inline const std::string kVs1Body = "100.0\n1000.0\n100000.0\n30.0\n0\n0\n0 0 0 0 0 0\nNUL\n";
inline const std::string kTc1Body = "100.0\n1000.0\n100000.0\n30.0\n0 0\n0 0\nNUL\n";
inline const std::string kEcsBody =
    "100.0\n1000.0\n100000.0\n30.0\nFEQ r134a\nVS1\nTC1\n1\n0.5\n200.0\n0\n"
    "0 0 0\n0 0 0\nNUL\n";

inline const std::string kSt1Body = "60.0\n126.0\n0.0\n0.0\n1\n126.0\n0.03 1.25\n";
inline const std::string kDe3Body =
    "60.0\n1000.0\n0.0\n0.0\n273.16 1000.0 0.0\n1 0 0 0 0 0\n4.4 0 1 0\n";

inline const std::string kTk3Body =
    "100.0\n1000.0\n100000.0\n30.0\n9 0 0 0\n126.192 11.1839 1.0\n0.63\n1.2415\n1.01\n0.0\n"
    "0.0\n1.7e-10\n0.055\n4e-10\n252.384\n";

// A fluid text: the header (with reference code, tags, version) and the
// sections, closed by "@END" unless `end` is false.
inline std::string fluid_text(const std::string& key, const std::string& sections,
                              const std::string& refcode = "NBP", bool tags = true,
                              bool end = true) {
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
    if (tags) {
        t += "1066         !UN Number                 :UN\n";
        t += "A1           !safety group              :sa\n";
        t += "other        !family                    :fa\n";
        t += "5.5          !heating value             :he\n";
        t += "no tag on this line\n";
    }
    t += "\n! revision notes\n";
    t += sections;
    if (end) t += "@END\nc\n#EOS\nFEQ  behind the end\n";
    return t;
}

// The usual text of a plain fluid: FEQ equation, CPP ideal gas, PS ancillary.
inline std::string plain_fluid(const std::string& key) {
    return fluid_text(key, section("#EOS", "FEQ") + section("#AUX", "CPP") + section("#PS", "PS5"));
}

// A mixture-parameter text whose one pair record matches every pair of the
// synthetic fluids (they share one CAS number), with a departure function
// of no terms.
inline std::string mixture_text() {
    return "<<hmx>>\nHMX  test mixture parameters\n2\n\n#BNC\nBNC\n?record format\n!\n"
           "?the synthetic fluids\n"
           "1234-56-7/1234-56-7       KW0 1.0 1.0 1.0 1.0 0.0 0.0\n!\n\n"
           "#MXM\nKW0  no departure\n?literature\n!end of info section\n"
           "BetaT    GammaT   BetaV    GammaV   Fij      not used\n"
           " 1.0 1.0 1.0 1.0 0.0 0.0\n0 4 0 0 7 0 0 0\n\n@END\n";
}

// Calls of the recording loaders: "KIND:nread:icomp".
struct Calls {
    std::vector<std::string> log;
    std::string fail_kind;  // loader that returns ierr = 1
};
inline Calls& calls() {
    static Calls c;
    return c;
}

inline void record(const std::string& what, int nread, int icomp, int& ierr, std::string& herr) {
    calls().log.push_back(what + ":" + std::to_string(nread) + ":" + std::to_string(icomp));
    std::string_view ln;
    if (nread > 0 && nread != 999) lib::next_line(nread, ln);  // reads its one body line
    ierr = calls().fail_kind == what ? 1 : 0;
    herr = ierr != 0 ? "[SET" + what + " error 1] bad coefficients" : "";
}
inline void feq(int n, int i, const std::string&, int& e, std::string& h) {
    record("FEQ", n, i, e, h);
}
inline void bwr(int n, int i, const std::string&, int& e, std::string& h) {
    record("BWR", n, i, e, h);
}
inline void cpp(int n, int i, const std::string&, int& e, std::string& h) {
    record("CPP", n, i, e, h);
}
inline void ph0(int n, int i, const std::string&, int& e, std::string& h) {
    record("PH0", n, i, e, h);
}
inline void ecs(int n, int i, const std::string&, std::string& ref, lib::Code& refeos, int& e,
                std::string& h) {
    record("ECS", n, i, e, h);
    ref = "r134a";
    refeos = lib::Code("FEQ");
}
inline void ps(int n, int i, int& e, std::string& h) { record("PS", n, i, e, h); }
inline void mlt(int n, int i, int& e, std::string& h) { record("MLT", n, i, e, h); }
inline void pr(int n, int i, int& e, std::string& h) { record("PR", n, i, e, h); }

inline const lib::LoaderRow kRows[] = {
    {"EOS", "FE", feq},
    {"EOS", "BW", bwr},
    {"EOS", "EC", nullptr, ecs},
    {"EOS", "PR", nullptr, nullptr, pr},
    {"AUX", "CP", cpp},
    {"AUX", "PH", ph0},
    {"PS ", "*", nullptr, nullptr, ps},
    {"MLT", "*", nullptr, nullptr, mlt},
};

}  // namespace synth
