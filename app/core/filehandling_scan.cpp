// Line and token scanning for the project-file reader, and the small
// readers its blocks share.
#include "app/core/filehandling_scan.h"

#include "app/core/units.h"

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

void fail(const Lines& lines, const std::string& text) { throw ReadError{lines.number(), text}; }

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

Fluid* find_fluid_loose(std::string_view name) {
    if (name.empty()) return nullptr;
    if (Fluid* f = fluids.find(name)) return f;
    for (int i = 0; i < fluids.size(); ++i)
        if (contains(fluids[i]->name, name)) return fluids[i];
    return nullptr;
}

void read_result(std::string_view text, int quantity, double& value, int& unit) {
    Scanner sc(text);
    double number = 0.0;
    if (!sc.number(number)) return;
    if (!valid_unit(quantity, unit))
        unit = unitdef[static_cast<std::size_t>(quantity)].default_unit;
    std::string_view name = trim(sc.rest());
    if (!name.empty()) {
        int found = find_unit(quantity, name);
        if (found >= 0) unit = found;
    }
    double internal = to_internal(quantity, unit, number);
    if (std::isfinite(internal)) value = internal;
}

bool read_color(std::string_view text, Color& color) {
    Scanner sc(text);
    int r = 0, g = 0, b = 0;
    if (!sc.integer(r) || !sc.integer(g) || !sc.integer(b)) return false;
    auto ch = [](int v) { return static_cast<std::uint16_t>(std::clamp(v, 0, 65535)); };
    color.red = ch(r);
    color.green = ch(g);
    color.blue = ch(b);
    return true;
}

void read_int_clamped(std::string_view text, int& field, int lo, int hi) {
    int v = 0;
    if (parse_int(text, v)) field = std::clamp(v, lo, hi);
}

void read_double_clamped(std::string_view text, double& field, double lo, double hi) {
    double v = 0.0;
    if (parse_number(text, v)) field = std::clamp(v, lo, hi);
}

}  // namespace app::filescan
