// Reading of the body of a section made of temperature limits, reducing
// values, term counts and (coefficient, exponent) terms: the ancillary
// equations and the melting and sublimation lines share this layout.
#pragma once

#include <string>

#include "library/models/records.h"

namespace lib {

// Where one component's section body goes: its limits, reducing values and
// counts in slot icomp, and its terms in a and t (room for `capacity`).
struct TermSection {
    AncLimRecord& lim;
    AncRedRecord& red;
    AncCountRecord& cnt;
    double* a;
    double* t;
    int capacity;
    int ncounts;  // term counts on the count line whose sum is the number of terms
};

// Reads the body of text slot nread (ILINE on its first line) into slot
// icomp.  ierr 1 with the reason, through ERRMSG, for a line that cannot be
// read or more terms than there is room for; `routine` labels the message.
void load_term_section(const TermSection& sec, const char* routine, int nread, int icomp, int& ierr,
                       std::string& herr);

}  // namespace lib
