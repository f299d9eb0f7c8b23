// Line and token scanning for the project-file reader, and the small
// readers its blocks share.
#include "app/core/files/filehandling_scan.h"

#include "app/core/model/bounds.h"
#include "app/core/model/units.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace app::filescan {

bool Lines::next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find(end_, pos_);
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

void fail_missing_end(const Lines& lines, const char* what, int start) {
    fail(lines, std::string("the ") + what + " block of line " + std::to_string(start) +
                    " has no end line (#END) before this line");
}

bool Block::next(std::string_view& line) {
    if (!lines_.next(line)) return false;
    closed_ = is_end_line(line);
    if (!closed_ && what_ != nullptr && is_start_line(line))
        fail_missing_end(lines_, what_, start_);
    return !closed_;
}
void fail(int line, const std::string& text) { throw ReadError{line, text}; }

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

Fluid* find_fluid_exact(int line, std::string_view name, const char* what) {
    std::string_view bare = trim(name);
    Fluid* fluid = bare.empty() ? nullptr : fluids.find(bare);
    if (fluid == nullptr)
        fail(line, std::string(bare.empty() ? "no " : "unknown ") + what +
                       (bare.empty() ? "" : " " + quoted(name)) + "; " + FLUID_NAMES_HINT);
    return fluid;
}

namespace {

std::string quantity_name(int quantity) {
    return quantity >= 0 && quantity < NUM_QUANTITIES
               ? unitdef[static_cast<std::size_t>(quantity)].name
               : "value";
}

// Refuses a parse result that is not a number with a unit of the quantity.
void check_parsed(int line, int status, std::string_view name, std::string_view text, int quantity,
                  std::string_view unit_name) {
    const std::string field = std::string(name) + " = " + quoted(text);
    const std::string units = " (" + unit_list(quantity) + ")";
    if (status == RV_NO_NUMBER)
        fail(line,
             field + " is not a number followed by a unit of " + quantity_name(quantity) + units);
    if (status == RV_UNKNOWN_UNIT)
        fail(line, field + ": " + quoted(unit_name) + " is not a unit of " +
                       quantity_name(quantity) + units);
}

}  // namespace

void read_input_value(int line, const ValueDef& row, std::string_view text, double& value,
                      int& unit, std::vector<std::string>& /*warnings*/) {
    double v = 0.0;
    // A number alone is in the quantity's own unit, whatever the settings.
    int u = builtin_default_unit(row.quantity);
    std::string_view unit_name;
    check_parsed(line, parse_value_with_unit(row, text, v, u, &unit_name), row.name, text,
                 row.quantity, unit_name);
    if (std::string why = bounds_problem(row, v); !why.empty())
        fail(line, std::string(row.name) + " = " + quoted(text) + ": " + why);
    value = v;
    unit = u;
}

void read_result(int line, std::string_view name, std::string_view text, int quantity,
                 double& value, int& unit) {
    const ValueDef row{"", quantity, 0.0};
    double v = 0.0;
    int u = unit;
    std::string_view unit_name;
    check_parsed(line, parse_value_with_unit(row, text, v, u, &unit_name), name, text, quantity,
                 unit_name);
    if (!std::isfinite(v)) fail(line, std::string(name) + " = " + quoted(text) + " is too large");
    value = v;
    unit = u;
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
