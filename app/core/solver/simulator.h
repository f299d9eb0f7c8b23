// Room app/core/solver: the cycle solver and the part models. The sweeps
// and results (this file, simulator.cpp), process preparation, the turbo
// machines, heat exchangers, combustors, mixer and splitter, water separator
// and the interface coupling. It includes the model, the working fluids'
// access layer (app/core/fluids), the message output (program/text_output.h)
// and, for process preparation, the fluid completion of files/filehandling.h.
//
// The cycle solver: process preparation, the sweeps over every part of every
// process, the part dispatch, and the process and project results.
//
// calcProject runs on the calculation worker (or the main thread in batch
// mode) and works on the project's records and on the property library; its
// texts go through status_message and print_message to current_project,
// which must be the project being calculated.
#pragma once

#include "app/core/model/records.h"

#include <atomic>
#include <string>
#include <vector>

namespace app {

// Settled items found so far in this calculation (parts finished by the
// solver, interfaces with their two heat exchangers).
extern int az_converged;
// 1 once the sweeps of a calculation have begun (read by the progress
// dialog while the worker runs).
extern std::atomic<int> show_progress;
// Set by the part models when they warn about the phase region.
extern int phase_warning;
// 1 once a calculation has ended (set by end_calculation, after its last
// message).
extern std::atomic<int> stop_watching;
// Users of the property library besides the GUI thread's own short calls:
// the calculation worker and the isoline computation each count themselves
// in while they run. A calculation is not started while it is above 0.
extern std::atomic<int> library_busy;
// Called before each part's model runs (null: nothing); tests slow the
// calculation down with it.
extern void (*before_part_hook)(const Part& part);
// Retries of an interface after undefined hot-side inlet values; 0 at the
// start of each calculation.
extern int interface_hot_retries;
// Largest number of sweeps of one calculation (5000).
extern int sweep_limit;

// The coupling of two heat exchangers by an interface: 1 converged, 2 or 7
// to be run again in a later sweep, 5 failed. calc_interface; tests may put
// another in (null: a project with interfaces fails with a message).
using InterfaceCalculation = int (*)(Project& project, Interface& interface);
extern InterfaceCalculation interface_calculation;

// Clears phase_warning, runs calc_all, stores its result as the project's
// calculation status, reports the end (end_calculation) and returns it.
int calcProject(Project& project);

// Whether Cancel has been pressed for the calculation that runs (its
// project's calculation status is CS_CANCEL). The part models look at it
// between their steps and passes and end through cancel_part; the solver
// then stops and reports the calculation cancelled.
bool calculation_cancelled();
// Ends a part's model on a cancel: a failure text saying so; PS_FAILED.
int cancel_part(Part& part);

// Prepares every process, seeds the interfaces and sweeps until every part
// and interface is settled, then adds up the results. 1 when the
// calculation ended normally; 5 when it failed, was cancelled (calculation
// status 11), or did not settle within sweep_limit sweeps (the parts and
// interfaces still unsettled are named at level 2).
int calc_all(Project& project);

// "Calculation failed." (result 5, level 2), "Calculation cancelled."
// (result 5 after a cancel, level 1) or "Calculation finished." (level 0),
// two line breaks, and stop_watching set.
void end_calculation(int result, bool cancelled = false);

// Puts the Inlet of a process into its inlet state: the parts' working
// fluid (an exhaust-gas fluid of the process when its combustors add
// components), the humid composition (the Inlet's copy), the inlet state.
// 1, or 5 with a level-2 message that names the reason (none when `report`
// is false).
int prepareProcess(Process& process, bool report = true);

// Position of `index` among the first `count` entries of `list`; appended
// (count grows) when it is not there.
int addfluid(std::vector<int>& list, int& count, int index);
// Component slot of water in the fluid, or -1 when it holds none.
int water_slot(const Fluid& fluid);
// Whether a built-in component record burns (a fuel composition number
// above 0).
bool combustible(const Fluid& component);

// Runs one part's model on its inlet state, with the fluid set up in the
// library. 1 finished, 2 provisional, 5 failed.
int calc_part(Part& part);

// Hands the predecessor's outlet state (or its second outlet, for a part on
// a splitter's second outlet) to the part's inlet.
void init_part_from_predecessor(Part& part, const Part& predecessor);

// Marks a part failed with the text shown for it; returns PS_FAILED.
int fail_part(Part& part, std::string text);

// Makes the part pass its inlet state through unchanged (the outlet
// pressure stays as the model left it).
void ignore_part(Part& part);

// Copies the ends of the step arrays into the part's outputs and computes
// its leakage.
void set_result_values(Part& part);

// The process outputs from its parts' results (after the sweeps).
void finalizeProcess(Process& process);
void add_results(Process& process, Part& part);
// Process efficiencies and the project totals.
void calc_overall_efficiency(Project& project);

}  // namespace app
