// A water-like test equation (normal, exponential and Gaussian terms of the
// published water equation, one exponential term with gamma != 1) with the
// water ideal-gas part, loaded into component slot 1 as a pure fluid.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "library/library.h"
#include "library/models/feq.h"
#include "library/models/ph0.h"
#include "library/models/records.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"

namespace presstest {

inline const char* kEos =
    "<<synthetic>>\n250.0\n1273.0\n1000000.0\n73.96\nPH0\n18.015268\n273.16\n0.611655\n55.49696\n"
    "373.1243\n0.3443\n647.096  22064.0  17.873727995\n647.096  17.873727995\n8.314371357587\n"
    "10 5 3 12 0 0\n"
    "0.12533547935523d-1  -0.5   1  0  1.0\n"
    "0.78957634722828d1    0.875 1  0  1.0\n"
    "-0.87803203303561d1   1.0   1  0  1.0\n"
    "0.31802509345418      0.5   2  0  1.0\n"
    "-0.26145533859358     0.75  3  0  1.0\n"
    "0.22509767230e0       1.0   1  1  1.0\n"
    "-0.66065069e-1        4.0   1  1  1.3\n"
    "0.2e-1                2.0   1  2  0.7\n"
    "0.17e-2               8.0   4  2  1.0\n"
    "-0.44e-3             14.0   6  3  1.0\n"
    "-31.306260323435   0.0  3  2  2  -20.0  -150.0  1.21  1.0  0  0  0\n"
    "31.546140237781    1.0  3  2  2  -20.0  -150.0  1.21  1.0  0  0  0\n"
    "-2521.3154341695   4.0  3  2  2  -20.0  -250.0  1.25  1.0  0  0  0\n";
inline const char* kIdeal =
    "<<synthetic>>\n20.0\n5000.0\n0.0\n0.0\n1 2 5 0 0 0 0 0\n"
    "3.00632 1.0\n-8.32044648201 0.0\n6.6832105268 1.0\n"
    "0.012436 -1.28728967\n0.97315 -3.53734222\n1.27950 -7.74073708\n0.96956 -9.24437796\n"
    "0.24873 -27.5075105\n";

class Synthetic : public ::testing::Test {
protected:
    void SetUp() override {
        lib::NCOMP.nc = 1;
        lib::NCOMP.ic = 0;
        lib::EOSMOD.mix = lib::Code("FEQ");
        lib::EOSMOD.eos[1] = lib::Code("FEQ");
        lib::CREF.h0[1] = lib::CREF.s0[1] = 0.0;
        int ierr = 0;
        std::string herr;
        lib::store::override_text(1, kEos);
        lib::ILINE = 1;
        lib::SETFEQ(1, 1, "", ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        lib::store::override_text(1, kIdeal);
        lib::ILINE = 1;
        lib::SETPH0(1, 1, "", ierr, herr);
        ASSERT_EQ(ierr, 0) << herr;
        lib::store::restore();
    }
    void TearDown() override { lib::NCOMP.nc = 0; }
};

}  // namespace presstest
