// Line and token scanning for the project-file reader: lines of any length,
// fields split at double quotes, and numbers in the "C" format.
#pragma once

#include <string_view>
#include <vector>

namespace app::filescan {

// The lines of a text, one after the other, without their line ends.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}
    // The next line; false at the end of the text.
    bool next(std::string_view& line);
    // Number (from 1) of the line last returned.
    int number() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

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

bool equal_nocase(std::string_view a, std::string_view b);

// Without leading and trailing blanks and tabs.
std::string_view trim(std::string_view text);

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

}  // namespace app::filescan
