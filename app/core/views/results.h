// Results that an edit of the structure leaves out of date, without a
// display: which processes they belong to, the records set back to "not
// calculated", and which result cells of the tree show a current result.
#pragma once

#include "app/core/model/records.h"
#include "app/core/structure/tree_model.h"

#include <vector>

namespace app {

// The processes whose results depend on process `process_index`: itself
// and every process coupled with it through interfaces, directly or by way
// of others (in index order; empty for an index out of range).
std::vector<int> coupled_processes(const Project& project, int process_index);

// After a part of process `process_index` went: the parts of that process
// and of the processes coupled with it are set back to not calculated
// (the Inlet keeps its state), their processes to not done, the interfaces
// between them to pending, and the project's calculation to not calculated,
// so that no picture, dialog or file shows an old result as current.
// Returns the processes set back.
std::vector<int> forget_results(Project& project, int process_index);

// Whether the part holds results of the last calculation (finished,
// provisional or in an interface's iteration).
bool part_calculated(const Part& part);

// The result cells of the tree as the user sees them: every cell of
// result_cells, with an empty text where there is no current result: a
// part not calculated, the summary of a process none of whose parts is,
// an interface neither of whose sides is, and the project's totals unless
// a calculation ended since the last forget_results and gave a result.
std::vector<CellText> shown_result_cells(const Project& project);

}  // namespace app
