// Internals of the project-file reader: lines of any length, fields split
// at double quotes, numbers in the "C" format, the reader's refusals, and
// the readers of fluid and diagram blocks that project files share with
// other files.
#pragma once

#include "app/core/files/filehandling.h"
#include "app/core/model/records.h"
#include "app/core/model/tools.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace app::filescan {

// The lines of a text, one after the other, without their line ends
// ("\n" or "\r\n"; in a text without any "\n", "\r" alone, as old Mac
// editors end lines: such a file was read as one line, an empty project).
class Lines {
public:
    explicit Lines(std::string_view text)
        : text_(text), end_(text.find('\n') == std::string_view::npos ? '\r' : '\n') {}
    // The next line; false at the end of the text.
    bool next(std::string_view& line);
    // Number (from 1) of the line last returned.
    int number() const { return number_; }

private:
    std::string_view text_;
    char end_;  // the character that ends a line
    std::size_t pos_ = 0;
    int number_ = 0;
};

// The text without the byte-order mark that some editors put before UTF-8
// text: a file older than 2.0 is told by the characters at fixed places of
// its first line, which the mark moved (such files were refused).
inline std::string_view without_byte_order_mark(std::string_view text) {
    constexpr std::string_view mark = "\xEF\xBB\xBF";
    return text.substr(0, mark.size()) == mark ? text.substr(mark.size()) : text;
}

// Pieces of a line split at every double quote: piece 0 before the first
// quote, odd pieces quoted. At most MAX_TOKENS pieces; the last one keeps
// the rest of the line.
inline constexpr std::size_t MAX_TOKENS = 256;
std::vector<std::string_view> split(std::string_view line);

// Piece i, or "" when the line has fewer pieces.
inline std::string_view token(const std::vector<std::string_view>& t, std::size_t i) {
    return i < t.size() ? t[i] : std::string_view();
}

inline bool contains(std::string_view text, std::string_view key) {
    return text.find(key) != std::string_view::npos;
}

// Without leading and trailing blanks and tabs.
std::string_view trim(std::string_view text);

// The text of a line before its first double quote: the block keywords
// count only there, so that a name may hold "#END" or "#START".
inline std::string_view key_text(std::string_view line) { return line.substr(0, line.find('"')); }
inline bool is_end_line(std::string_view line) { return contains(key_text(line), "#END"); }
inline bool is_start_line(std::string_view line) { return contains(key_text(line), "#START"); }

// The lines of one block, up to its "#END" line. A block that holds no
// sub-blocks is given its name (`what`): a "#START" line within it means
// that its own end line is missing, and is refused.
class Block {
public:
    explicit Block(Lines& lines, const char* what = nullptr)
        : lines_(lines), what_(what), start_(lines.number()) {}
    // The next line of the block; false at its "#END" line and at the end of
    // the text. Throws ReadError at a "#START" line of a block with a name.
    bool next(std::string_view& line);
    // True once the block's "#END" line has been read.
    bool closed() const { return closed_; }

private:
    Lines& lines_;
    const char* what_;
    int start_;
    bool closed_ = false;
};

// The refusal of a "#START" line inside the `what` block that starts at
// line `start`: that block has no end line.
[[noreturn]] void fail_missing_end(const Lines& lines, const char* what, int start);

// A cursor over a text that reads like scanf: blanks in a pattern match any
// run of blanks (also none), other characters match themselves, numbers
// skip leading blanks.
class Scanner {
public:
    explicit Scanner(std::string_view text) : s_(text) {}
    void blanks();
    // Matches a pattern of literal characters and blanks.
    bool literal(std::string_view pattern);
    // An integer that fits an int.
    bool integer(int& value);
    // A finite number ("nan", "inf" and values beyond the double range are
    // not numbers).
    bool number(double& value);
    bool at_end() const { return i_ >= s_.size(); }
    std::string_view rest() const { return s_.substr(i_); }

private:
    std::string_view s_;
    std::size_t i_ = 0;
};

// The whole text, without surrounding blanks, as an int or a finite number.
bool parse_int(std::string_view text, int& value);
bool parse_number(std::string_view text, double& value);

// ---------------------------------------------------------------------------
// Reading blocks
// ---------------------------------------------------------------------------

// A refusal: the line (from 1) and the reason.
struct ReadError {
    int line;
    std::string text;
};

// Throws a ReadError for the line last read, or for the line numbered.
[[noreturn]] void fail(const Lines& lines, const std::string& text);
[[noreturn]] void fail(int line, const std::string& text);

// The text in single quotes, for messages.
std::string quoted(std::string_view text);

// A working fluid by its whole name, ignoring case and surrounding blanks.
// Throws a ReadError for the line when no fluid has that name;
// the message says where the valid names are. `what` names the field in the
// message ("working fluid").
Fluid* find_fluid_exact(int line, std::string_view name, const char* what);

// Reads an input value with its unit into `value` and `unit`. A number
// without a unit is in the quantity's built-in default unit (K, bar, kg/s
// ...), never in the unit the window's settings prefer. Text without a
// number, a unit that the row's quantity lacks and a value outside the
// row's input bounds (bounds.h) are refused: ReadError for the line, with
// the reason.
void read_input_value(int line, const ValueDef& row, std::string_view text, double& value,
                      int& unit, std::vector<std::string>& warnings);

// A result with its unit, not held to any bounds. Text without a number
// and a unit that the quantity lacks are refused (ReadError).
void read_result(int line, std::string_view name, std::string_view text, int quantity,
                 double& value, int& unit);
// Three channels "r g b", each held to 0..65535; false (unchanged) otherwise.
bool read_color(std::string_view text, Color& color);
// A whole number or a number held to [lo, hi]; unchanged when the text is none.
void read_int_clamped(std::string_view text, int& field, int lo, int hi);
void read_double_clamped(std::string_view text, double& field, double lo, double hi);

// Reads a fluid block up to its "#END" line. Returns the new fluid,
// completed (new_fluid_init) but not yet in `fluids`; or null when a fluid of
// that name is known, with `warning` set when its definition differs.
// Throws ReadError.
std::unique_ptr<Fluid> read_fluid_block(Lines& lines, const ReadOptions& options,
                                        std::string& warning);

// Reads a diagram block up to its "#END" line into the project's next
// diagram slot. Throws ReadError.
void read_graph_block(Lines& lines, Project& project);

}  // namespace app::filescan
