// Shared records of transport, surface tension and dielectric models that
// set-up fills: model codes per slot, model limits and binary parameters.
#pragma once

#include <array>

#include "library/setup/common.h"

namespace lib {

struct TrnmodRecord {
    Code eta_mix;     // mixture viscosity code
    Slots<Code> eta;  // viscosity code per slot
    Code tcx_mix;     // mixture thermal-conductivity code
    Slots<Code> tcx;  // thermal-conductivity code per slot
};
extern TrnmodRecord TRNMOD;

// Surface-tension (STNMOD) and dielectric (DEMOD) codes.
struct PropModRecord {
    Code mix;
    Slots<Code> slot;
};
extern PropModRecord STNMOD, DEMOD;

// Critical-enhancement (CREMOD) and collision-integral (OMGMOD) codes, two
// code arrays each ("TK1"/"TK3"/"TK4" in set 0, "TK6" in set 1).
struct AuxModRecord {
    std::array<Slots<Code>, 2> set;
};
extern AuxModRecord CREMOD, OMGMOD;

// Limits of a model per slot: Tmin (K), Tmax (K), Pmax (kPa), Dmax (mol/L).
struct LimitRecord {
    Slots<double> tmin, tmax, pmax, dmax;
};
extern LimitRecord WLMETA, WLMTCX, WLMTRN, WLMSTN;

// Binary transport parameters per ordered component pair (9 numbers).
struct TrnbinRecord {
    std::array<std::array<std::array<double, 9>, kMaxComp + 1>, kMaxComp + 1> p{};
};
extern TrnbinRecord TRNBIN;

}  // namespace lib
