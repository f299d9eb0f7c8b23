// The transport model tables: a row per model code with its loader and its
// evaluators.  Set-up (STFLD2) finds a section's loader here; the sums of
// ETAK and TCXK find the evaluators.  A row that is not built ("VS6", "TC6")
// has null evaluators, which report "call to unimplemented model".
#pragma once

#include <string>
#include <string_view>

#include "library/setup/common.h"
#include "library/transport/loaders.h"

namespace lib {

// Evaluators report through ierr/herr (the fluid-specific ones do); every
// part is given T and D (a dilute part ignores D).
using ModelPart = double (*)(int icomp, double T, double D, int& ierr, std::string& herr);
using TcxPart = ModelPart;

struct ViscosityModel {
    std::string_view code;
    TransportLoader load;
    ModelPart dilute;    // eta0, uPa s
    ModelPart initial;   // B, L/mol (null: 0)
    ModelPart residual;  // eta_r, uPa s
    bool built;
};

struct ConductivityModel {
    std::string_view code;
    TransportLoader load;
    TcxPart dilute;      // W/(m K) (D not used)
    TcxPart background;  // W/(m K)
    bool built;
};

// Critical-enhancement pointers: the loader of the "#AUX" block (null: the
// model has no block) and the enhancement evaluator.
struct EnhancementModel {
    std::string_view code;
    TransportLoader load;
    TcxPart evaluate;
    bool built;
};

// Auxiliary blocks of the collision integrals ("CI1", "CI2").
struct CollisionModel {
    std::string_view code;
    TransportLoader load;
};

// The row of a code (exact three-character match), or null.
const ViscosityModel* viscosity_model(const Code& code);
const ConductivityModel* conductivity_model(const Code& code);
const EnhancementModel* enhancement_model(const Code& code);
const CollisionModel* collision_model(const Code& code);

}  // namespace lib
