// The built-in text store: 127 fluid texts compiled into the library, read line
// by line through one shared line pointer.  Line 0 of a text is its key line
// "<<name>>"; lines keep their numbers and are at most 300 characters wide
// (longer lines are cut; a line is never blank-padded in memory).
#pragma once

#include <string>
#include <string_view>

namespace lib {

constexpr int kTextCount = 127;      // used slots 1..127 (127 = "hmx")
constexpr int kTextMaxLines = 4811;  // line numbers 0..4810
constexpr int kTextLineWidth = 300;

// The shared line pointer: the number of the next line to read.
extern int ILINE;

namespace store {

// Name of text slot 1..127 in slot order ("1butene" ... "hmx").
std::string_view name(int slot);
// Line n of text slot (1..127); empty for lines past the end of the text.
std::string_view line(int slot, int n);
// Number of lines held by the slot (key line included).
int line_count(int slot);

// Test support: replace the text of a slot by `text` (lines separated by
// '\n', the key line included) until `restore()`; counts every line read
// through `next_line` so that tests can verify that nothing was read.
// Either call makes the next set-up read its texts again.
void override_text(int slot, std::string text);
void restore();
long lines_read();

}  // namespace store

// Reads line (slot, ILINE) into `out` and advances ILINE by one.  Returns false
// (and leaves ILINE) when the line lies past the end of the text or past line
// 4810: the readers turn that into their "premature end of file" error.
bool next_line(int slot, std::string_view& out);

// Reads on from ILINE as next_line does up to the first line that opens a
// section ('#' or '@' as its first character), which it hands out in `out`
// with ILINE after it; false, with ILINE at the end, when no such line
// follows before the end of the text.
bool next_section_line(int slot, std::string_view& out);

// Free-format read of up to n numbers from the start of a line: values are
// separated by blanks, tabs or commas; "d"/"D" may stand for the exponent
// letter; reading stops at the first field that is not a number (a "!"
// comment).  Returns how many numbers were read.
int read_numbers(std::string_view line, double* v, int n);
// Same for integers; a field written as a real ("1.000") is rounded.
int read_ints(std::string_view line, int* v, int n);
// The next line read as n numbers; false when the line is missing or holds
// fewer than n numbers.
bool next_numbers(int slot, double* v, int n);

}  // namespace lib
