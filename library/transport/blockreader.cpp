#include "library/transport/blockreader.h"

#include <cmath>

#include "library/library.h"
#include "library/setup/textstore.h"

namespace lib {

namespace {

constexpr int kBadBlock = 102;

}  // namespace

bool BlockReader::next(std::string_view& line, std::string_view what) {
    if (ierr_ != 0) return false;
    const int at = ILINE;
    if (next_line(nread_, line)) return true;
    return fail("the text ends before line " + std::to_string(at) + " (" + std::string(what) + ")");
}

bool BlockReader::numbers(double* v, int n, std::string_view what) {
    std::string_view line;
    if (!next(line, what)) return false;
    const int got = read_numbers(line, v, n);
    bool finite = got == n;
    for (int i = 0; finite && i < n; ++i) finite = std::isfinite(v[i]);
    if (finite) return true;
    return fail("line " + std::to_string(ILINE - 1) + ": expected " + std::to_string(n) +
                (n == 1 ? " number (" : " numbers (") + std::string(what) + ")");
}

bool BlockReader::ints(int* v, int n, std::string_view what) {
    std::string_view line;
    if (!next(line, what)) return false;
    if (read_ints(line, v, n) == n) return true;
    return fail("line " + std::to_string(ILINE - 1) + ": expected " + std::to_string(n) +
                (n == 1 ? " integer (" : " integers (") + std::string(what) + ")");
}

bool BlockReader::count(int& v, int lo, int hi, std::string_view what) {
    if (!ints(&v, 1, what)) return false;
    if (v >= lo && v <= hi) return true;
    return fail("line " + std::to_string(ILINE - 1) + ": " + std::string(what) + " " +
                std::to_string(v) + " outside " + std::to_string(lo) + ".." + std::to_string(hi));
}

bool BlockReader::code(Code& c, std::string_view what) {
    std::string_view line;
    if (!next(line, what)) return false;
    c = Code(line.substr(0, 3));
    return true;
}

bool BlockReader::fail(std::string_view text) {
    if (ierr_ == 0) {
        ierr_ = kBadBlock;
        // Every message names the line of the block it refers to.
        std::string t(text);
        if (!t.starts_with("line ") && !t.starts_with("the text ends"))
            t = "line " + std::to_string(ILINE - 1) + ": " + t;
        herr_ = errtext(routine_, kBadBlock, t);
    }
    return false;
}

void BlockReader::result(int& ierr, std::string& herr) const {
    ierr = 0;
    herr.clear();
    if (ierr_ != 0) lib::fail(ierr_, herr_, ierr, herr);
}

void illegal_text(std::string_view routine, int nread, const std::string& hcas, int& ierr,
                  std::string& herr) {
    fail(101, routine,
         "illegal file specified; n_fluid = " + fmt_int(nread, 4) +
             "; CAS no. = " + fixed_width(hcas, 12),
         ierr, herr);
}

}  // namespace lib
