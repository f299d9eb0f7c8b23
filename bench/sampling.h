// A sampling profile of code run in-process: while a SamplingProfile records,
// the process's CPU time is sampled (SIGPROF) with the call stack of each
// sample; its report gives each routine's share of the samples, inclusive
// (the routine or what it calls) and self (the innermost routine: time in
// the C library counts for its caller), for the routines of the library and
// the application, named from the program's own symbol table (local
// routines included; inlined ones count for their caller).
#pragma once

#include <string>
#include <vector>

namespace benchsupport {

struct Share {
    std::string routine;
    double inclusive = 0, self = 0;  // fractions of the samples
};

class SamplingProfile {
public:
    // interval_us: CPU time between samples (at least a scheduler tick).
    explicit SamplingProfile(int interval_us = 250);
    ~SamplingProfile();
    SamplingProfile(const SamplingProfile&) = delete;
    SamplingProfile& operator=(const SamplingProfile&) = delete;

    void start();  // records until stop()
    void stop();
    int samples() const;
    // The `top` routines of the largest inclusive share (routines below
    // `least` of the samples left out).
    std::vector<Share> shares(int top = 15, double least = 0.02) const;
    // The shares as lines of text.
    std::string report(int top = 15, double least = 0.02) const;
};

}  // namespace benchsupport
