#include "library/models/termsection.h"

#include <array>
#include <string_view>

#include "library/library.h"
#include "library/setup/common.h"
#include "library/setup/textstore.h"

namespace lib {

void load_term_section(const TermSection& sec, const char* routine, int nread, int icomp, int& ierr,
                       std::string& herr) {
    ierr = 0;
    herr.clear();
    auto bad = [&](const std::string& text) { fail(1, routine, text, ierr, herr); };
    double v[2];
    std::string_view line;
    if (!next_numbers(nread, v, 1)) return bad("error reading the lower temperature limit");
    sec.lim.tlow[icomp] = v[0];
    if (!next_numbers(nread, v, 1)) return bad("error reading the upper temperature limit");
    sec.lim.thigh[icomp] = v[0];
    for (int skipped = 0; skipped < 2; ++skipped)  // two lines not used
        if (!next_line(nread, line)) return bad("premature end of the section");
    if (!next_numbers(nread, v, 2)) return bad("error reading the reducing parameters");
    sec.red.tred[icomp] = v[0];
    sec.red.xred[icomp] = v[1];
    std::array<int, 6> counts{};
    if (!next_line(nread, line) || read_ints(line, counts.data(), 6) < sec.ncounts)
        return bad(sec.ncounts == 1 ? "error reading the number of terms"
                                    : "error reading the numbers of terms");
    int n = 0;
    bool negative = false;
    for (int k = 0; k < sec.ncounts; ++k) {
        n += counts[static_cast<std::size_t>(k)];
        negative = negative || counts[static_cast<std::size_t>(k)] < 0;
    }
    if (negative || n > sec.capacity)
        return bad("number of terms" + fmt_int(n, 4) + " exceeds the maximum of" +
                   fmt_int(sec.capacity, 3));
    sec.cnt.n[icomp] = counts;
    for (int j = 0; j < n; ++j) {
        if (!next_numbers(nread, v, 2)) return bad("error reading term" + fmt_int(j + 1, 3));
        sec.a[j] = v[0];
        sec.t[j] = v[1];
    }
}

}  // namespace lib
