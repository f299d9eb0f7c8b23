// Line and token scanning for the project-file reader.
#include "app/core/filehandling_scan.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace app::filescan {

bool Lines::next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end + 1;
    ++number_;
    return true;
}

std::vector<std::string_view> split(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (out.size() + 1 < MAX_TOKENS) {
        std::size_t q = line.find('"', start);
        if (q == std::string_view::npos) break;
        out.push_back(line.substr(start, q - start));
        start = q + 1;
    }
    out.push_back(line.substr(std::min(start, line.size())));
    return out;
}

bool equal_nocase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char ca = a[i], cb = b[i];
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<char>(cb - 'A' + 'a');
        if (ca != cb) return false;
    }
    return true;
}

namespace {
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
}  // namespace

std::string_view trim(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

void Scanner::blanks() {
    while (i_ < s_.size() && is_blank(s_[i_])) ++i_;
}

bool Scanner::literal(std::string_view pattern) {
    for (char c : pattern) {
        if (c == ' ') {
            blanks();
            continue;
        }
        if (i_ >= s_.size() || s_[i_] != c) return false;
        ++i_;
    }
    return true;
}

bool Scanner::integer(int& value) {
    blanks();
    std::size_t i = i_;
    if (i < s_.size() && s_[i] == '+') ++i;
    int v = 0;
    auto [end, ec] = std::from_chars(s_.data() + i, s_.data() + s_.size(), v);
    if (ec != std::errc()) return false;
    value = v;
    i_ = static_cast<std::size_t>(end - s_.data());
    return true;
}

bool Scanner::number(double& value) {
    blanks();
    std::size_t i = i_;
    if (i + 1 < s_.size() && s_[i] == '+' && s_[i + 1] != '-') ++i;
    double v = 0.0;
    auto [end, ec] = std::from_chars(s_.data() + i, s_.data() + s_.size(), v);
    if (ec != std::errc() || !std::isfinite(v)) return false;
    value = v;
    i_ = static_cast<std::size_t>(end - s_.data());
    return true;
}

bool parse_int(std::string_view text, int& value) {
    Scanner sc(text);
    int v = 0;
    if (!sc.integer(v)) return false;
    sc.blanks();
    if (!sc.at_end()) return false;
    value = v;
    return true;
}

bool parse_number(std::string_view text, double& value) {
    Scanner sc(text);
    double v = 0.0;
    if (!sc.number(v)) return false;
    sc.blanks();
    if (!sc.at_end()) return false;
    value = v;
    return true;
}

}  // namespace app::filescan
