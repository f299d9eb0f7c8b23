// The advisories of the mixture saturation roads name the composition
// change at which the composition loop stopped: a natural gas just above
// its critical temperature stops several loops short of convergence.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "library/library.h"
#include "library/setup/records.h"
#include "tests/support/fluid.h"

namespace {

TEST(SaturationAdvisories, NameTheRealCompositionChange) {
    ASSERT_EQ(testsupport::set_up("methane|ethane|propane"), "");
    const double x[20] = {0.85, 0.1, 0.05};
    lib::PRNTERR = -1;  // warnings printed too
    ::testing::internal::CaptureStdout();
    for (double T = 214.0; T < 236.0; T += 2.0) {
        double P = 0, Dl = 0, Dv = 0, xl[20], xv[20];
        int ierr = 0;
        std::string herr;
        lib::SATT(T, x, lib::kBubblePoint, P, Dl, Dv, xl, xv, ierr, herr);
    }
    const std::string out = ::testing::internal::GetCapturedStdout();
    lib::PRNTERR = 0;
    std::istringstream lines(out);
    int advisories = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("advisory -127") == std::string::npos) continue;
        ++advisories;
        const std::size_t at = line.find("deltaX =");
        ASSERT_NE(at, std::string::npos) << line;
        EXPECT_GT(std::stod(line.substr(at + 8)), 0.0) << line;
    }
    EXPECT_GT(advisories, 0) << "the premise: loops that stop short";
}

}  // namespace
