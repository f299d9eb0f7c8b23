// The solver's entry points that the file code refers to, for fuzz targets,
// which are built without the property library: reading without the
// library calls only the result summing, which here leaves the records as
// they were read.
#include "app/core/fluid_properties.h"
#include "app/core/simulator.h"

namespace app {

int prepareProcess(Process&) { return 1; }
void finalizeProcess(Process&) {}
void set_result_values(Part&) {}
void calc_overall_efficiency(Project&) {}
int calcProject(Project&) { return 5; }
int init_stoffwerte(Fluid*) { return 0; }

}  // namespace app
