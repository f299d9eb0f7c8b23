// Small numerical helpers of the solver and the part models.
#pragma once

namespace app {

// Arithmetic mean (a + b) / 2.
double aveArith(double a, double b);

// Logarithmic mean (a - b) / (ln a - ln b) of two positive values, to full
// precision also for nearly equal values; two equal values give that value
// (never 0/0). A value that is not positive has no logarithm: the arithmetic
// mean is returned then.
double aveLog(double a, double b);

}  // namespace app
