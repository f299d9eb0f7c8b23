// The figures of the calculation dialog, from the fields the worker writes.
#include "app/core/program/progress.h"

#include "app/core/program/text_output.h"

#include <algorithm>
#include <cmath>

namespace app {

double process_progress(const Process& process) {
    if (process.done != 0) return 1.0;
    const int n = process.az_parts;
    if (n < 3) return 0.0;
    double finished = 0.0;
    double running = 0.0;
    for (int k = 1; k <= n - 2; ++k) {
        const Part* part = process.parts[static_cast<std::size_t>(k)];
        if (part == nullptr) continue;
        if (part->state == PS_FINISHED) {
            finished += 1.0;
        } else if (part->busy != 0) {
            const int steps = part->steps > 0 ? part->steps : MAX_STEPS;
            running = std::clamp(static_cast<double>(part->segment) / steps, 0.0, 1.0);
        }
    }
    return std::clamp((running + finished) / (n - 2), 0.0, 1.0);
}

std::string progress_text(double fraction) {
    return format_text("%d %%",
                       static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * 100)));
}

std::string interface_status_text(const Interface& interface) {
    const int steps = interface.step_count;
    switch (interface.status.load()) {
        case IS_PENDING: return "pending ...";
        case 2: return "provisional ...";
        case IS_FAILED: return "FAILED TO CONVERGE!";
        case IS_ITERATING: {
            const double first = interface.first_residual;
            const double residual = interface.residual;
            const double r = first != 0.0 ? residual / first : residual;
            return format_text("iterating %d/100, current residual = %12.8f", steps, r);
        }
        case IS_CONVERGED:
            if (steps < 100) return format_text("Converged after %d steps.", steps);
            return format_text("Unconverged but finished after %d steps.", steps);
        default: return "unkown status";
    }
}

}  // namespace app
