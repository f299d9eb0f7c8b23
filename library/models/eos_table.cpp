// The evaluator table of the equations of state (see eos_table.h for how to
// add a row).
#include "library/models/eos_table.h"

#include "library/models/aga8.h"
#include "library/models/bwr.h"
#include "library/models/ecs.h"
#include "library/models/feq.h"
#include "library/models/hmx.h"
#include "library/models/pr.h"
#include "library/models/qui.h"
#include "library/models/records.h"
#include "library/setup/records.h"

namespace lib {

namespace {

// A corresponding-states slot needs its reference fluid's equation (a
// Helmholtz-explicit or BWR one) in slot -icomp.
bool ecs_ready(int icomp) {
    return icomp >= 1 && icomp <= kMaxComp &&
           (EOSMOD.eos[-icomp].starts("FE") || EOSMOD.eos[-icomp].is("BWR"));
}

// A Peng-Robinson slot keeps the reducing values of the equation it replaced.
void pr_reducing(int icomp, double& tred, double& dred) {
    tred = ZRED.tred[icomp];
    dred = ZRED.dred[icomp];
}

constexpr ComponentEos kComponentRows[] = {
    {"FE", PHIFEQ, REDFEQ, CRTFEQ},     {"QUI", PHIQUI, REDQUI, CRTQUI},
    {"BWR", PHIBWR, nullptr, CRTBWR},   {"ECS", PHIECS, nullptr, CRTECS, ecs_ready},
    {"PR ", PHIPR, pr_reducing, CRTPR},
};

// Mixture codes still to come; until a row exists, a mixture's residual
// part is 0 and its critical point an error of CRITP.
constexpr MixtureEos kMixtureRows[] = {
    {"HMX", PHIHMX, REDHMX, CRTHMX},
    {"AGA", PHIAGA, REDHMX, CRTHMX},
    {"PR ", PHIPRX, REDPR, CRTHMX},
    {"", nullptr, nullptr, nullptr},  // end of the table: serves no code
};

}  // namespace

const ComponentEos* component_eos(int icomp) {
    const Code& c = EOSMOD.eos[icomp];
    for (const ComponentEos& row : kComponentRows)
        if (c.starts(row.code)) return &row;
    return nullptr;
}

const MixtureEos* mixture_eos() {
    for (const MixtureEos& row : kMixtureRows)
        if (row.phi != nullptr && EOSMOD.mix.starts(row.code)) return &row;
    return nullptr;
}

}  // namespace lib
