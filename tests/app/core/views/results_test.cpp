// Results an edit leaves out of date: which processes are coupled, and
// which result cells the tree then shows empty.
#include "app/core/views/results.h"

#include "app/core/structure/structure.h"
#include "tests/app/core/cycle_support.h"
#include "tests/support/paths.h"

#include <set>

namespace {

using namespace app;
using cycletest::CycleTest;

class OutOfDate : public CycleTest {
protected:
    Project* open(const char* example) {
        free_project(project);
        project = readinput(testsupport::source_dir() + "/examples/" + example);
        current_project = project;
        return project;
    }
    // The paths of the empty cells, as "0:1:..." texts.
    std::set<std::string> blank_cells() {
        std::set<std::string> out;
        for (const CellText& cell : shown_result_cells(*project))
            if (cell.text.empty()) out.insert(path_text(cell.path));
        return out;
    }
};

struct CouplingCase {
    const char* example;
    int process;
    std::vector<int> coupled;
};

class Coupled : public OutOfDate, public ::testing::WithParamInterface<CouplingCase> {};

TEST_P(Coupled, ReachesEveryProcessThroughInterfaces) {
    const CouplingCase& c = GetParam();
    ASSERT_NE(open(c.example), nullptr);
    EXPECT_EQ(coupled_processes(*project, c.process), c.coupled);
}

INSTANTIATE_TEST_SUITE_P(Examples, Coupled,
                         ::testing::Values(CouplingCase{"steam_rankine.kvr", 0, {0}},
                                           CouplingCase{"coupled_water.kvr", 0, {0, 1}},
                                           CouplingCase{"coupled_water.kvr", 1, {0, 1}},
                                           CouplingCase{"combined_cycle.kvr", 1, {0, 1}},
                                           CouplingCase{"coupled_water.kvr", 2, {}},
                                           CouplingCase{"coupled_water.kvr", -1, {}}));

TEST_F(OutOfDate, ForgottenProcessShowsNoResultTheOtherKeepsItsOwn) {
    ASSERT_NE(open("coupled_water.kvr"), nullptr);
    ASSERT_EQ(calcProject(*project), CS_FINISHED);
    EXPECT_TRUE(blank_cells().empty());
    // Uncoupled, the cold side forgotten: its parts, summary and the
    // totals go blank; the hot side keeps its results.
    ASSERT_TRUE(remove_interface(*project, 0).has_value());
    EXPECT_EQ(forget_results(*project, 1), std::vector<int>{1});
    const std::set<std::string> blank = blank_cells();
    EXPECT_TRUE(blank.count("0:0"));            // a total
    EXPECT_TRUE(blank.count("1:1:1:0:2:1:0"));  // the heater's first outlet result
    EXPECT_TRUE(blank.count("1:1:2:0"));        // the cold side's summary
    EXPECT_FALSE(blank.count("1:0:1:0:2:1:0"));
    EXPECT_FALSE(blank.count("1:0:2:0"));
    EXPECT_EQ(project->processes[1]->parts[0]->state, PS_FINISHED);  // the Inlet
    EXPECT_EQ(project->processes[1]->parts[1]->state, PS_PENDING);
    EXPECT_EQ(project->processes[0]->parts[1]->state, PS_FINISHED);
    EXPECT_NE(project->calc_status, CS_FINISHED);
    // A new calculation shows every result again.
    ASSERT_EQ(calcProject(*project), CS_FINISHED);
    EXPECT_TRUE(blank_cells().empty());
}

TEST_F(OutOfDate, CoupledProcessesAreForgottenTogether) {
    ASSERT_NE(open("coupled_water.kvr"), nullptr);
    ASSERT_EQ(calcProject(*project), CS_FINISHED);
    EXPECT_EQ(forget_results(*project, 0), (std::vector<int>{0, 1}));
    const std::set<std::string> blank = blank_cells();
    EXPECT_TRUE(blank.count("1:0:1:0:2:1:0"));
    EXPECT_TRUE(blank.count("1:1:1:0:2:1:0"));
    EXPECT_TRUE(blank.count("2:0:4:0"));  // the interface's result
    EXPECT_EQ(project->interfaces[0]->status, IS_PENDING);
}

}  // namespace
