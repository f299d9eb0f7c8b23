// Helpers of the saturation tests: setting a fluid up and reading the
// reference tables.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/phase/satcheb.h"
#include "tests/support/paths.h"
#include "tests/support/table.h"

namespace sattest {

// Sets up one built-in fluid with its default reference state.
inline ::testing::AssertionResult setup(const std::string& name, std::string hrf = "DEF") {
    int ierr = 0;
    std::string herr;
    lib::SETUP0(1, name, "hmx", hrf, ierr, herr);
    if (ierr != 0) return ::testing::AssertionFailure() << name << ": ierr " << ierr << " " << herr;
    // The saturation expansions are built now, not within the first call a
    // test counts the work of.
    double tlow = 0, thigh = 0;
    lib::satcheb::range(1, tlow, thigh);
    return ::testing::AssertionSuccess();
}

// Switches the saturation expansions off for the length of a scope (tests
// of the iteration behind them).
class Iterating {
public:
    Iterating() { lib::satcheb::set_enabled(false); }
    ~Iterating() { lib::satcheb::set_enabled(true); }
    Iterating(const Iterating&) = delete;
    Iterating& operator=(const Iterating&) = delete;
};

// The composition of a pure fluid.
struct Pure {
    double x[20] = {1.0};
};

inline double rel(double a, double b) { return std::fabs(a - b) / std::fabs(b); }

// A saturation state of the pure fluid set up, at T (SATT) or at P (SATP).
struct Sat {
    double T = 0, P = 0, Dl = 0, Dv = 0;
    double xl[20] = {}, xv[20] = {};
    int ierr = -1;
    std::string herr;
};

inline Sat satt(double T, int kph = 1) {
    Pure w;
    Sat s;
    s.T = T;
    lib::SATT(T, w.x, kph, s.P, s.Dl, s.Dv, s.xl, s.xv, s.ierr, s.herr);
    return s;
}

inline Sat satp(double P, int kph = 1) {
    Pure w;
    Sat s;
    s.P = P;
    lib::SATP(P, w.x, kph, s.T, s.Dl, s.Dv, s.xl, s.xv, s.ierr, s.herr);
    return s;
}

// From the bubble point; a failure is a test failure.
inline Sat bubble_at(double T) {
    const Sat s = satt(T);
    EXPECT_EQ(s.ierr, 0) << s.herr;
    return s;
}

using testsupport::num;
using testsupport::read_csv;
using testsupport::Row;

inline std::string reference(const std::string& file) {
    return testsupport::shared_dir() + "/reference/" + file;
}

}  // namespace sattest
