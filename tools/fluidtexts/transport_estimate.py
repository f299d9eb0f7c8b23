"""Corresponding-states estimates of transport properties for fluids the
coefficient data give no (or only a viscosity) correlation for: a "#TRN
ECS" block on a reference fluid of the fluid's kind (nitrogen, propane or
r134a), with shape functions 1 and the default internal-energy factor.

sigma and eps/k: those of the fluid's own viscosity entry where it has
one; otherwise scaled from the reference fluid's by the critical ratios,
sigma = sigma_ref (Dc_ref/Dc)^(1/3) and eps/k = (eps/k)_ref Tc/Tc_ref (what
the corresponding-states model computes for its flag 0, written here as
values so that a mixture, whose reference fluid is nitrogen, uses the same
ones).  The data set's own estimate, sigma = 0.809/Dred^(1/3) nm and
eps/k = Tred/1.2593, is the other rule (LJ_RULE); tests judge both on
fluids that have correlations of their own (argon on nitrogen, nonane on
propane)."""

import transport

# "ratios" (the critical ratios to the reference fluid) or "dataset"
# (0.809/Dred^(1/3), Tred/1.2593).
LJ_RULE = "ratios"

# Fluids written as if the data gave no transport correlation (the
# converter's --transport-estimate option): the estimate can then be
# compared with the fluid's own correlations.
AS_ESTIMATE = set()

ESTIMATE_NOTE = (
    "The coefficient data give no correlation for the %s of this fluid: %s a "
    "corresponding-states estimate on %s (shape functions 1, default internal-energy factor, "
    "sigma and eps/k %s), not a correlation of measured data. The same estimate written for "
    "argon (on nitrogen) and nonane (on propane) deviates from their own correlations by up "
    "to 10 %% in the gas and, in the liquid, up to 25 %% in viscosity and 40 %% in thermal "
    "conductivity (the project's README lists the deviations).")


def _reference_lj(ds, ref):
    """sigma (nm), eps/k (K), Tc (K), Dc (mol/L) of a reference fluid."""
    v = ds.pure(ref)["TRANSPORT"]["viscosity"]
    sigma, epsk = v["sigma_eta"] * 1e9, v["epsilon_over_k"]
    return sigma, epsk, ds.number(ref, "Tc_K"), ds.number(ref, "Dc_mol_L")


def lennard_jones(ds, v, eos, consts, ref, rule=None):
    """(sigma nm, eps/k K, how they were found) of an estimate."""
    s, e, estimated = transport.lj_of(v or {}, eos)
    if not estimated:
        return s, e, "of its viscosity correlation"
    if (rule or LJ_RULE) == "dataset":
        return s, e, "estimated from the reducing point (0.809/Dred^(1/3) nm, Tred/1.2593)"
    sr, er, tcr, dcr = _reference_lj(ds, ref)
    return (sr * (dcr / consts["Dc"]) ** (1.0 / 3.0), er * consts["Tc"] / tcr,
            "scaled from %s's by the critical ratios" % ref)


def block(ds, name, v, eos, consts, lim, family, eta_own, report):
    """The lines of the "#TRN ECS" estimate and its "#AUX TK6" block;
    eta_own: the fluid's viscosity is its own correlation (conductivity
    only is estimated)."""
    ref = transport.kind_reference(name, family)
    sigma, epsk, how = lennard_jones(ds, v if eta_own else None, eos, consts, ref)
    if eta_own:
        note = ESTIMATE_NOTE % ("thermal conductivity", "the conductivity is", ref, how)
        note += " The viscosity is the fluid's own correlation above."
    else:
        note = ESTIMATE_NOTE % ("viscosity or thermal conductivity",
                                "both properties are", ref, how)
    report.setdefault("transport_estimates", {})[name] = (ref, "conductivity" if eta_own
                                                          else "both")
    para = [note, "Extended corresponding states on %s: the fluid's state is mapped onto the "
                  "conformal state of the reference fluid; dilute gas by kinetic theory." % ref]
    lim, limit_note = transport.ecs_limits(ds, name, ref, lim, consts["Tc"])
    para += [limit_note] if limit_note else []
    out = [""] + transport.opening("#", "TRN", "ECS", "extended corresponding states model",
                                   para)
    one = [(1.0, 0.0, 0.0)]
    out += transport.ecs_body(lim, ref, transport.REFERENCE_CODES[ref], sigma, epsk, [], one, one,
                              "TK6")
    out += [""] + transport.opening("#", "AUX", "TK6", "crossover enhancement of the ECS model",
                                    ["Critical enhancement of the corresponding-states model: "
                                     "the simplified crossover model with its generalized "
                                     "values."])
    out += transport.crossover_body(lim, [0.63, 1.239, 1.03, 0.0, 0.0, 1.94e-10, 0.0496, 5e-10,
                                          1.5 * eos["Tred"]], consts["Tc"], consts["Dc"])
    return out
