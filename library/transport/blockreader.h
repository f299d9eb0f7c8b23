// Reading the body of a transport section from the text store: one item per
// line, the leading values of each line taken (a "!" comment and further
// values ignored), three-character pointers as the first three characters
// of their line.  Every number must be present and finite and every count
// must fit its table; the first failure is kept as the loader's error
// (ierr 102, "[ROUTINE error 102] ..." naming the line and the item).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "library/setup/common.h"

namespace lib {

class BlockReader {
public:
    BlockReader(int nread, std::string_view routine) : nread_(nread), routine_(routine) {}

    // n numbers from the next line.
    bool numbers(double* v, int n, std::string_view what);
    bool number(double& v, std::string_view what) { return numbers(&v, 1, what); }
    // n integers from the next line.
    bool ints(int* v, int n, std::string_view what);
    // One integer within [lo, hi].
    bool count(int& v, int lo, int hi, std::string_view what);
    // A three-character code: the first three characters of the next line.
    bool code(Code& c, std::string_view what);
    // The four limits of a model, one per line: Tmin, Tmax, Pmax, Dmax.
    std::array<double, 4> limits() {
        std::array<double, 4> lim{};
        for (double& v : lim) number(v, "limit");
        return lim;
    }
    // The next line as it stands.
    bool line(std::string_view& out, std::string_view what) { return next(out, what); }
    // Records a failure of the block's own rules (a count too large ...).
    bool fail(std::string_view text);

    bool ok() const { return ierr_ == 0; }
    // The loader's result: 0 and a blank message, or the first failure.
    void result(int& ierr, std::string& herr) const;

private:
    bool next(std::string_view& line, std::string_view what);

    int nread_;
    std::string_view routine_;
    int ierr_ = 0;
    std::string herr_;
};

// The message of a loader called without a fluid text (nread < 1):
// "[ROUTINE error 101] illegal file specified; n_fluid = nnnn; CAS no. = ...".
void illegal_text(std::string_view routine, int nread, const std::string& hcas, int& ierr,
                  std::string& herr);

}  // namespace lib
