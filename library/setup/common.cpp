#include "library/setup/common.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lib {

std::string errtext(std::string_view routine, std::string_view kind, std::string_view number,
                    std::string_view text) {
    std::string s = "[";
    s += routine;
    s += ' ';
    s += kind;
    if (!number.empty()) {
        s += ' ';
        s += number;
    }
    s += "] ";
    s += text;
    return s;
}

std::string errtext(std::string_view routine, int ierr, std::string_view text, int number) {
    const std::string_view kind = ierr < 0 ? "warning" : "error";
    if (number == kNoNumber) return errtext(routine, kind, "", text);
    if (number == kNumberAbsolute)
        return errtext(routine, kind, std::to_string(std::abs(ierr)), text);
    if (number == kNumberAsGiven) return errtext(routine, kind, std::to_string(ierr), text);
    // Right-aligned in `number` columns; one blank of the field is the
    // separator errtext puts after the label word.
    std::string n = fmt_int(ierr, number);
    if (!n.empty() && n[0] == ' ') n.erase(0, 1);
    return errtext(routine, kind, n, text);
}

std::string fixed_width(std::string_view s, std::size_t n) {
    std::string r(s.substr(0, n));
    r.resize(n, ' ');
    return r;
}

std::string_view trim_right(std::string_view s) {
    // The fixed-width fields end in long runs of blanks: eight characters at
    // a time while all of them are blanks or NULs (the only bytes without a
    // bit outside 0x20).
    constexpr std::uint64_t kNotBlank = ~UINT64_C(0x2020202020202020);
    std::size_t n = s.size();
    while (n >= sizeof(std::uint64_t)) {
        std::uint64_t w = 0;
        std::memcpy(&w, s.data() + n - sizeof w, sizeof w);
        if ((w & kNotBlank) != 0) break;
        n -= sizeof w;
    }
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0')) --n;
    return s.substr(0, n);
}

std::string fmt_int(int value, int w) {
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
    return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

std::string fmt_f(double value, int w, int d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%*.*f", w, d, value);
    std::string s = buf;
    if (static_cast<int>(s.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
    return s;
}

// Fortran Gw.d: fixed notation with d significant digits followed by four
// blanks when 0.1 <= |x| < 10^d, else the exponent form 0.ddddE+xx.
std::string fmt_g(double value, int w, int d) {
    const double a = std::fabs(value);
    if (std::isfinite(value) &&
        (a == 0.0 || (a >= 0.1 - 0.5 * std::pow(10.0, -d - 1) && a < std::pow(10.0, d) - 0.5))) {
        int k = 0;  // digits before the decimal point
        if (a != 0.0) {
            // Round to d significant digits first so that 99999.7 moves up a decade.
            char tmp[64];
            std::snprintf(tmp, sizeof tmp, "%.*e", d - 1, a);
            double r = std::atof(tmp);
            k = r < 1.0 ? 0 : static_cast<int>(std::floor(std::log10(r))) + 1;
        } else {
            k = 1;
        }
        int decimals = d - k;
        if (decimals < 0) decimals = 0;
        return fmt_f(value, w - 4, decimals) + "    ";
    }
    if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(w), '*');
    // Exponent form with a leading "0.".
    int e = static_cast<int>(std::floor(std::log10(a))) + 1;
    double m = a / std::pow(10.0, e);
    char mant[64];
    std::snprintf(mant, sizeof mant, "%.*f", d, m);
    if (mant[0] == '1') {  // rounding reached 1.000: shift a decade
        e += 1;
        std::snprintf(mant, sizeof mant, "%.*f", d, m / 10.0);
    }
    char ex[16];
    std::snprintf(ex, sizeof ex, "E%c%02d", e < 0 ? '-' : '+', std::abs(e) % 1000);
    std::string s = std::string(value < 0 ? "-" : "") + mant + ex;
    if (static_cast<int>(s.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
    return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

}  // namespace lib
