// ERRMSG: tidies a library message and prints it when the print switch says so.
#include <cstdio>
#include <string>
#include <utility>

#include "library/library.h"
#include "library/setup/common.h"
#include "library/setup/records.h"

namespace lib {

namespace {

constexpr std::size_t kWidth = 255;  // messages are handled at their full width

// Removes the character at position i; the end is refilled with a blank.
void remove_at(std::string& s, std::size_t i) {
    s.erase(i, 1);
    s.push_back(' ');
}

// First of the blank runs before a unit that the number fields leave: the
// first "   K", else the first "   MPa", and so on.  (Found from the unit
// back: a message padded with blanks offers a start of the three blanks at
// nearly every place, the unit few.)
std::size_t find_unit_gap(const std::string& s) {
    constexpr std::size_t kGap = 3;
    for (const char* unit : {"K", "MPa", "mol", "J/mol"}) {
        for (std::size_t i = s.find(unit, kGap); i != std::string::npos; i = s.find(unit, i + 1))
            if (s.compare(i - kGap, kGap, "   ") == 0) return i - kGap;
    }
    return std::string::npos;
}

}  // namespace

void ERRMSG(int ierr, std::string& herr) {
    const char eom = HCHAR.eom;
    // The message at its full width: text, end-of-message character, blanks.
    std::string s = herr.substr(0, kWidth);
    if (s.size() < kWidth) s.push_back(eom);
    s.resize(kWidth, ' ');

    // Blank runs before units shrink by two per pass; "=0" becomes "= 0".
    int edits = 0;
    for (;;) {
        std::size_t i = find_unit_gap(s);
        if (i != std::string::npos) {
            remove_at(s, i + 2);
            remove_at(s, i + 1);
            if (++edits < 10) continue;
        }
        std::size_t j = s.find("=0");
        if (j == std::string::npos) break;
        s.insert(j + 1, 1, ' ');
        s.resize(kWidth);
        if (++edits >= 10) break;
    }
    // A separator left at the end of a list of items is dropped.
    std::size_t k = s.find(";   ");
    if (k != std::string::npos) remove_at(s, k);
    k = s.find(std::string("; ") + eom);
    if (k != std::string::npos) remove_at(s, k);
    k = s.find(std::string(";  ") + eom);
    if (k != std::string::npos) remove_at(s, k);

    if (ierr != 0 && PRNTERR != 0 && (ierr > 0 || PRNTERR < 0)) {
        std::size_t last = s.find_last_not_of(std::string(" ") + eom);
        std::size_t len = last == std::string::npos ? 1 : last + 1;
        std::string line = " " + s.substr(0, len) + " (ierr=" + fmt_int(ierr, 4) + ")";
        if (line.size() > kWidth) line.resize(kWidth);
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }

    // Back to the text without padding: up to the end-of-message character.
    std::size_t end = s.find(eom);
    if (end != std::string::npos) s.resize(end);
    herr = std::string(trim_right(s));
}

void fail(int n, std::string_view routine, std::string_view text, int& ierr, std::string& herr,
          int number) {
    fail(n, errtext(routine, n, text, number), ierr, herr);
}

void fail(int n, std::string message, int& ierr, std::string& herr) {
    ierr = n;
    herr = std::move(message);
    ERRMSG(ierr, herr);
}

}  // namespace lib
