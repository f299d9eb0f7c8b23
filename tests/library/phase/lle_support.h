// Helpers of the two-liquid flash tests: numbers as messages show them, and
// the fixture of a binary state given by (T, p).
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "library/library.h"
#include "tests/support/fluid.h"

namespace lletest {

// v with the five digits a message shows.
inline std::string number(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.5g", v);
    return buf;
}

// Whether message herr names the value v (a number in it within the five
// digits a message shows).
inline bool names_value(const std::string& herr, double v) {
    for (std::size_t i = 0; i < herr.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(herr[i]))) continue;
        char* end = nullptr;
        const double n = std::strtod(herr.c_str() + i, &end);
        if (std::fabs(n - v) <= 1e-4 * std::fabs(v)) return true;
        i = static_cast<std::size_t>(end - herr.c_str());
    }
    return false;
}

// A binary state of the whole-region grids: the first component's mole
// fraction, K, kPa.
struct GridState {
    const char* names;
    double z1, T, P;
};

// The name of a parametrised case of state S: its component names, then
// its index.
template <class S>
std::string state_name(const ::testing::TestParamInfo<S>& info) {
    std::string n = info.param.names;
    for (char& ch : n)
        if (ch == '|') ch = '_';
    return n + "_" + std::to_string(info.index);
}

// A binary state of a parameter S (names, z1, T, P) and TPFLSH's result
// there.
template <class S>
class BinaryState : public ::testing::TestWithParam<S> {
protected:
    void SetUp() override {
        const S& c = this->GetParam();
        ASSERT_EQ(testsupport::set_up(c.names), "");
        z[0] = c.z1;
        z[1] = 1.0 - z[0];
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(c.T, c.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
    }

    // A flash's answer: the state (value `got` of the unknown, vapour
    // fraction q2) or, unless it must be found, a failure naming the given
    // value.
    void check(const char* flash, int ierr, const std::string& herr, double got, double want,
               double q2, double given, bool must_find = false) const {
        const S& c = this->GetParam();
        SCOPED_TRACE(std::string(flash) + " of " + c.names + " at T=" + number(c.T) +
                     " K, p=" + number(c.P) + " kPa");
        if (ierr > 0) {
            EXPECT_FALSE(must_find) << herr;
            EXPECT_TRUE(names_value(herr, given)) << herr;
            return;
        }
        EXPECT_NEAR(got / want, 1.0, 1e-6) << herr;
        EXPECT_NEAR(q2, q, 1e-6) << herr;
    }

    // The state TQFLSH or PQFLSH finds from (T or P, q), THFLSH or TSFLSH
    // (lower root) from (T, h or s) of the (T, p) flash's result.
    struct Found {
        double T = 0, P = 0, D = 0, Dl = 0, Dv = 0, x[20] = {}, y[20] = {}, q = 0, h = 0;
        int ierr = 0;
        std::string herr;
    };
    Found flash_back(const std::string& flash) const {
        const S& c = this->GetParam();
        Found f;
        f.T = c.T;
        f.P = c.P;
        f.q = q;
        double e2 = 0, s2 = 0, cv2 = 0, cp2 = 0, w2 = 0;
        if (flash == "TQ")
            lib::TQFLSH(c.T, q, z, lib::kMolarQuality, f.P, f.D, f.Dl, f.Dv, f.x, f.y, e2, f.h, s2,
                        cv2, cp2, w2, f.ierr, f.herr);
        else if (flash == "PQ")
            lib::PQFLSH(c.P, q, z, lib::kMolarQuality, f.T, f.D, f.Dl, f.Dv, f.x, f.y, e2, f.h, s2,
                        cv2, cp2, w2, f.ierr, f.herr);
        else if (flash == "TH")
            lib::THFLSH(c.T, h, z, lib::kLowerRoot, f.P, f.D, f.Dl, f.Dv, f.x, f.y, f.q, e2, s2,
                        cv2, cp2, w2, f.ierr, f.herr);
        else
            lib::TSFLSH(c.T, s, z, lib::kLowerRoot, f.P, f.D, f.Dl, f.Dv, f.x, f.y, f.q, e2, f.h,
                        cv2, cp2, w2, f.ierr, f.herr);
        if (flash == "TH") f.h = h;
        return f;
    }

    double z[20] = {};
    double D = 0, Dl = 0, Dv = 0, x[20] = {}, y[20] = {}, q = 0, e = 0, h = 0, s = 0;
    double cv = 0, cp = 0, w = 0;
};

}  // namespace lletest
