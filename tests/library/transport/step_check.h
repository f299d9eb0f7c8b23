// Viscosity and thermal conductivity along a line of evenly spaced
// temperatures: the steps that stand out from their neighbours.
#pragma once

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace transtest {

struct Sample {
    double eta = 0, tcx = 0;
};

// A step may be `neighbour_factor` times the larger of its two neighbours,
// or a relative change below `flat`.
struct StepRule {
    double neighbour_factor;
    double flat;
};

// One line for each step beyond the rule ("viscosity at 620.2 K: step ...,
// neighbours ..."), at the lower temperature of the step; empty where none.
inline std::string standing_steps(const std::vector<Sample>& line, double t_first, double dT,
                                  StepRule rule) {
    std::ostringstream out;
    for (const bool conductivity : {false, true}) {
        std::vector<double> steps;
        for (std::size_t k = 1; k < line.size(); ++k) {
            const double a = conductivity ? line[k - 1].tcx : line[k - 1].eta;
            const double b = conductivity ? line[k].tcx : line[k].eta;
            steps.push_back(std::fabs(b / a - 1.0));
        }
        for (std::size_t k = 1; k + 1 < steps.size(); ++k) {
            const double nb = std::max(steps[k - 1], steps[k + 1]);
            if (steps[k] < rule.flat || steps[k] <= rule.neighbour_factor * nb) continue;
            out << (conductivity ? "conductivity" : "viscosity") << " at "
                << t_first + dT * static_cast<double>(k) << " K: step " << steps[k]
                << ", neighbours " << steps[k - 1] << ", " << steps[k + 1] << "\n";
        }
    }
    return out.str();
}

}  // namespace transtest
