// Small helpers shared by the flash routines: message pieces, the phase
// compositions of a result, the property named by a pair letter and a guard
// that keeps the message print switch off for the length of an inner call.
#pragma once

#include <cmath>
#include <initializer_list>
#include <string>

#include "library/library.h"
#include "library/setup/common.h"
#include "library/setup/records.h"

namespace lib::flash {

// The first n characters of a message, without trailing blanks.
inline std::string cut(const std::string& s, std::size_t n) {
    return std::string(trim_right(s).substr(0, n));
}

// An integer in a field of w columns as the bracket of a message shows it
// after its label word (one blank of the field becomes the separator).
inline std::string num(int value, int w) {
    std::string s = fmt_int(value, w);
    if (!s.empty() && s[0] == ' ') s.erase(0, 1);
    return s;
}

// "[<routine> error N] text" with N in a field of w columns.
inline std::string err(const std::string& routine, int ierr, int w, const std::string& text) {
    return errtext(routine, ierr < 0 ? "warning" : "error", num(ierr, w), text);
}

// Phase compositions before a flash: the unit vector of a pure component,
// else the overall composition.
inline void start_compositions(int icomp, const double z[20], double x[20], double y[20]) {
    for (int i = 0; i < 20; ++i) {
        const double v = icomp > 0 ? (i == icomp - 1 ? 1.0 : 0.0) : z[i];
        x[i] = v;
        y[i] = v;
    }
}

inline void copy20(const double a[20], double b[20]) {
    for (int i = 0; i < 20; ++i) b[i] = a[i];
}

// True when component k has an equation of this kind (neither blank nor "QVB").
inline bool has_equation(const KindModRecord& r, int k) {
    const Code c = r.slot[k];
    return !c.empty_code() && !c.is("QVB") && !c.is("   ");
}

// 1 when component icomp is handled as one component but has distinct
// bubble and dew lines.
inline bool pseudo_pure(int icomp) {
    return icomp > 0 && icomp <= kMaxComp && FLAGS2.pseudo_pure[static_cast<std::size_t>(icomp)] == 1;
}

// The property named by a pair letter at (T, D): 'H' enthalpy, 'S' entropy,
// 'E' internal energy (J/mol, J/(mol K)).
inline double prop(char letter, double T, double D, const double z[20]) {
    double v = 0.0;
    if (letter == 'S') ENTRO(T, D, z, v);
    else if (letter == 'E') ENERGY(T, D, z, v);
    else ENTHAL(T, D, z, v);
    return v;
}

// The two-phase marker of cv, cp and w.
inline void two_phase_markers(double& cv, double& cp, double& w, double marker = kMarker8) {
    cv = marker;
    cp = marker;
    w = marker;
}

// True (with error 1 and its message) when an input is not a finite number:
// no iteration starts from one.
inline bool not_a_number(const std::string& routine, std::initializer_list<double> inputs, int& ierr,
                         std::string& herr) {
    for (double v : inputs) {
        if (std::isfinite(v)) continue;
        ierr = 1;
        herr = errtext(routine, 1, "input value is not a number");
        ERRMSG(ierr, herr);
        return true;
    }
    return false;
}

// Keeps ERRMSG quiet while it lives; the previous switch comes back on every
// way out of the scope.
class QuietMessages {
public:
    QuietMessages() : saved_(PRNTERR) { PRNTERR = 0; }
    ~QuietMessages() { PRNTERR = saved_; }
    QuietMessages(const QuietMessages&) = delete;
    QuietMessages& operator=(const QuietMessages&) = delete;

private:
    int saved_;
};

}  // namespace lib::flash
