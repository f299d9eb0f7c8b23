// What the solver's messages say: the texts of the parts and interfaces
// word for word with their reasons after them, adjustments of a finished
// calculation as warnings, no prefix on a line of its own.
#include "tests/app/core/cycle_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace app;
using cycletest::contains;
using cycletest::CycleTest;

class SolverMessages : public CycleTest {};

TEST_F(SolverMessages, TextsWithTheirReasonsAndLevels) {
    const struct {
        const char* file;
        int status;
        std::vector<std::string> lines;  // whole lines of the status log, in order
    } cases[] = {
        {"interface_hot_outlet_above_inlet.kvr",
         CS_FINISHED,
         {"WARNING: Interface \"Interface 1\": T out hot side greater than T out hot side. "
          "Temperature has been adjusted.",
          "The outlet temperature asked for on the hot side, 400 K, is above its inlet "
          "temperature, 360 K: the hot side leaves at its inlet temperature and exchanges no "
          "heat.",
          "WARNING: Interface \"Interface 1\": T out cold side less than T out cold side. "
          "Temperature has been adjusted.",
          "The cold side then takes no heat and leaves at its inlet temperature.",
          "Calculation finished."}},
        {"interface_cold_outlet_below_inlet.kvr",
         CS_FINISHED,
         {"WARNING: Interface \"Interface 1\": T out cold side less than T out cold side. "
          "Temperature has been adjusted.",
          "The outlet temperature asked for on the cold side, 280 K, is below its inlet "
          "temperature, 290 K: the cold side leaves at its inlet temperature and exchanges no "
          "heat.",
          "Calculation finished."}},
        // The combustor's text opens with a line break: it comes before the
        // prefix.
        {"combustor_outlet_too_hot.kvr",
         CS_FAILED,
         {"", "ERROR: Failure calculating combustor \"Combustor 1\".",
          "Temperature 2500.000000 K is higher then maximum value 1993.687709 K",
          "ERROR: Calculation failed."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Project& p = read_file(c.file, "tests/app/core/solver/cases");
        p.status_log_open = 1;
        EXPECT_EQ(calcProject(p), c.status);
        std::string expected;
        for (const std::string& line : c.lines) expected += line + "\n";
        EXPECT_EQ(p.status_log, expected);
        // No prefix alone on a line, no error in a finished calculation.
        EXPECT_FALSE(contains(p.status_log, "ERROR: \n"));
        if (c.status == CS_FINISHED) {
            EXPECT_FALSE(contains(p.status_log, "ERROR"));
        }
    }
}

}  // namespace
