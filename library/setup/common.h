// Basic types shared by every part of the property library: component slots,
// three-character model codes and the "[ROUTINE error N] text" message form.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace lib {

// Component slots run from -30 to 20: 1..nc are the components, negative
// slots hold reference fluids, slot 0 the transport reference fluid (pure
// fluid) or nitrogen (mixtures).
constexpr int kMinSlot = -30;
constexpr int kMaxSlot = 20;
constexpr int kSlotCount = kMaxSlot - kMinSlot + 1;  // 51
constexpr int kMaxComp = 20;                         // components of a mixture

// One value per component slot, indexed by the slot number itself.
template <class T>
struct Slots {
    // Trivial types start at zero; others use their own default constructor
    // (value-initialising nested arrays of strings crashes some compilers).
    std::array<T, kSlotCount> v = zeroed();
    static constexpr std::array<T, kSlotCount> zeroed() {
        if constexpr (std::is_trivially_default_constructible_v<T>) {
            return std::array<T, kSlotCount>{};
        } else {
            std::array<T, kSlotCount> a;
            return a;
        }
    }
    T& operator[](int k) { return v[static_cast<std::size_t>(k - kMinSlot)]; }
    const T& operator[](int k) const { return v[static_cast<std::size_t>(k - kMinSlot)]; }
    void fill(const T& value) { v.fill(value); }
};

// A model code: exactly three characters, blank-padded.  Comparisons with a
// shorter literal pad it with blanks ("PR" matches only "PR "); `starts`
// compares the leading characters only ("FE" matches "FEQ", "FE1", "FEK").
struct Code {
    std::array<char, 3> c{};  // a fresh code holds three NUL characters

    Code() = default;
    Code(std::string_view s) {  // NOLINT(google-explicit-constructor): codes come as literals
        for (std::size_t i = 0; i < 3; ++i) c[i] = i < s.size() ? s[i] : ' ';
    }
    Code(const char* s) : Code(std::string_view(s)) {}         // NOLINT
    Code(const std::string& s) : Code(std::string_view(s)) {}  // NOLINT

    std::string str() const { return std::string(c.data(), 3); }
    // Three characters compared in place: the set-up compares codes at every
    // section of every fluid text, and the library call the array's
    // comparison made took a fiftieth of a combined cycle's calculation.
    bool operator==(const Code& o) const {
        return c[0] == o.c[0] && c[1] == o.c[1] && c[2] == o.c[2];
    }
    bool is(std::string_view s) const { return *this == Code(s); }
    bool starts(std::string_view s) const {
        for (std::size_t i = 0; i < s.size() && i < 3; ++i)
            if (c[i] != s[i]) return false;
        return true;
    }
    bool empty_code() const { return c[0] == '\0'; }
};

// How the number N of a message shows in its bracket: as given (the
// default), not at all ("[SETFEQ error] ..."), as its absolute value
// ("[QMASS warning 19]" for -19), or (any width w > 0) right-aligned in the
// w columns after the label word, at least one blank apart
// ("[SATT error   1]" for w = 4).
constexpr int kNumberAsGiven = 0;
constexpr int kNoNumber = -1;
constexpr int kNumberAbsolute = -2;

// Builds "[ROUTINE error N] text" (ierr > 0) or "[ROUTINE warning N] text"
// (ierr < 0), N shown as `number` says.
std::string errtext(std::string_view routine, int ierr, std::string_view text,
                    int number = kNumberAsGiven);
// Same with an explicit label word and number text, for the few messages whose
// label deviates (e.g. "[SETFEQ error] ..." has no number: pass "").
std::string errtext(std::string_view routine, std::string_view kind, std::string_view number,
                    std::string_view text);

// The one way the library reports an error (n > 0) or a warning (n < 0):
// sets ierr = n and herr = "[ROUTINE error N] text" (N shown as `number`
// says) and passes it through ERRMSG, which tidies it and prints it when the
// print switch asks for it.  Routines that return more (a marker in q, a
// last guess) set those themselves.
void fail(int n, std::string_view routine, std::string_view text, int& ierr, std::string& herr,
          int number = kNumberAsGiven);
// The same for a message formed elsewhere: one passed on unchanged from a
// routine called, or one edited after it was formed.
void fail(int n, std::string message, int& ierr, std::string& herr);

// Blank-pads or cuts a text to exactly n characters (fixed-width fields).
std::string fixed_width(std::string_view s, std::size_t n);
// The text without trailing blanks.
std::string_view trim_right(std::string_view s);
// Fortran-like number fields used in messages: integer right-aligned in w
// columns; "g" general format of width w with d significant digits; "f"
// fixed format of width w with d decimals.
std::string fmt_int(int value, int w);
std::string fmt_g(double value, int w, int d);
std::string fmt_f(double value, int w, int d);

}  // namespace lib
