// What a flash or saturation routine hands back when it fails: the same
// outputs whichever road gave up, none of them left from a search that
// stopped half-way (a pressure, densities or compositions of an
// intermediate state), none of them NaN or infinite.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>

namespace lib::flash {

// Held by a flash or saturation routine for the whole of its call: when the
// caller's own call (not one a routine of the library makes on its way,
// which reads what it needs itself) ends with ierr > 0, every computed
// number (temperature or pressure found, densities, energies, heat
// capacities, speed of sound) becomes 0, the quality kQualityFailed and
// both phase compositions the feed's (a pure fluid's unit vector, as
// before a search).  Warnings (ierr < 0) and successes are left as they
// are.  `q` may be null (the quality flashes and saturation routines give
// no quality).
class FailedOutputs {
public:
    FailedOutputs(const int& ierr, const double z[20], std::initializer_list<double*> values,
                  double x[20], double y[20], double* q = nullptr);
    ~FailedOutputs();
    FailedOutputs(const FailedOutputs&) = delete;
    FailedOutputs& operator=(const FailedOutputs&) = delete;

private:
    static constexpr std::size_t kMaxValues = 12;
    const int& ierr_;
    const double* z_;
    std::array<double*, kMaxValues> values_{};
    std::size_t count_ = 0;
    double* x_;
    double* y_;
    double* q_;
    bool outermost_;
};

}  // namespace lib::flash
