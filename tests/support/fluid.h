// The one set-up helper of the tests and the benchmarks: a built-in fluid or
// mixture with its default reference state, optionally with another
// equation of state for every component.
#pragma once

#include <string>

#include "library/library.h"

namespace testsupport {

// Sets up `names` (one built-in fluid, or several joined by "|"); `eos`, when
// given ("BWR", "FEQ", ...), is the equation-of-state code of every
// component and `mix` the mixture model.  Returns "" or the error's text.
inline std::string set_up(const std::string& names, const std::string& eos = "",
                          const std::string& mix = "HMX") {
    int nc = 1;
    for (char c : names) nc += c == '|' ? 1 : 0;
    int ierr = 0;
    std::string herr, hrf = "DEF";
    if (!eos.empty()) {
        lib::Names20 codes;
        for (int i = 0; i < nc; ++i) codes[static_cast<std::size_t>(i)] = eos;
        lib::SETMOD(nc, "EOS", mix, codes, ierr, herr);
        if (ierr != 0) return "SETMOD: " + herr;
    }
    lib::SETUP0(nc, names, "hmx", hrf, ierr, herr);
    return ierr > 0 ? names + ": " + herr : std::string();
}

}  // namespace testsupport
