// The figures of the calculation dialog, from the fields the worker writes
// (progress.cpp).
#pragma once

#include "app/core/model/records.h"

#include <string>

namespace app {

// Fraction 0..1 of a process that the progress bar shows: 1 when done;
// else the finished parts between Inlet and Outlet plus the running part's
// share of its steps, over the number of those parts.
double process_progress(const Process& process);
// The bar's text for a fraction: "%d %%" with the rounded percentage.
std::string progress_text(double fraction);
// The status line of an interface in the calculation dialog.
std::string interface_status_text(const Interface& interface);

}  // namespace app
