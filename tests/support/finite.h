// Collects the outputs that are not finite, with where they came from, for
// the tests that sweep routines over extreme and illegal inputs.
#pragma once

#include <cmath>
#include <initializer_list>
#include <sstream>
#include <string>

namespace testsupport {

class Finite {
public:
    void check(const std::string& where, std::initializer_list<double> values) {
        int k = 0;
        for (double v : values) {
            ++k;
            ++count_;
            if (!std::isfinite(v)) bad_ << where << " output " << k << " = " << v << "\n";
        }
    }
    void array(const std::string& where, const double* v, int n) {
        for (int k = 0; k < n; ++k) check(where + "[" + std::to_string(k) + "]", {v[k]});
    }
    std::string failures() const { return bad_.str(); }
    long count() const { return count_; }

private:
    std::ostringstream bad_;
    long count_ = 0;
};

}  // namespace testsupport
