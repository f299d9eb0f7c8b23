#include "library/phase/failstate.h"

#include <algorithm>

#include "library/models/critp.h"
#include "library/phase/flashutil.h"

namespace lib::flash {

namespace {
int depth = 0;  // calls of the flashes and saturation routines under way
}  // namespace

FailedOutputs::FailedOutputs(const int& ierr, const double z[20],
                             std::initializer_list<double*> values, double x[20], double y[20],
                             double* q)
    : ierr_(ierr), z_(z), x_(x), y_(y), q_(q), outermost_(depth == 0) {
    count_ = std::min(values.size(), kMaxValues);
    std::copy_n(values.begin(), count_, values_.begin());
    ++depth;
}

FailedOutputs::~FailedOutputs() {
    --depth;
    if (!outermost_ || ierr_ <= 0) return;
    for (std::size_t i = 0; i < count_; ++i) *values_[i] = 0.0;
    if (q_ != nullptr) *q_ = kQualityFailed;
    start_compositions(ISPURE(z_), z_, x_, y_);
}

}  // namespace lib::flash
