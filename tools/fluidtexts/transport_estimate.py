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
propane).

The thermal conductivity of the heavier molecules on propane (acentric
factor at least CHUNG_OMEGA, dipole moment at most CHUNG_DIPOLE debye) is
instead the estimation method of Chung, Ajlan, Lee and Starling (1988), a
"#TCX TC5" block from the critical temperature and volume, the acentric
factor and the dipole moment: the corresponding-states estimate with
shape functions 1 puts the liquid's conductivity of the long alkanes 36 to
49 % low (octane to dodecane, against their own correlations), so low that
near the critical point the rising dilute-gas part outweighs the falling
liquid part and the saturated liquid's conductivity rises with
temperature; Chung's method is within 6 to 22 % of heptane, octane,
nonane, decane and dodecane and falls along their saturated liquids.  For
strongly polar molecules its dipole term gives gas conductivities several
times too high (ammonia, R1234yf), hence the dipole bound."""

import math

import transport

# "ratios" (the critical ratios to the reference fluid) or "dataset"
# (0.809/Dred^(1/3), Tred/1.2593).
LJ_RULE = "ratios"

CHUNG_OMEGA = 0.31
CHUNG_DIPOLE = 1.0

CHUNG_NOTE = (
    "The coefficient data give no correlation for the thermal conductivity of this fluid: it is "
    "the estimation method of Chung, Ajlan, Lee and Starling (Ind. Eng. Chem. Res. 27 (1988) "
    "671-679) from Tc = %s K, Vc = %.6g cm3/mol, the acentric factor %.4g and the dipole moment "
    "%s (sigma = 0.809 Vc^(1/3), eps/k = Tc/1.2593), not a correlation of measured data. "
    "Written for heptane, octane, nonane, decane and dodecane, the method lies within 6 to 22 "
    "%% of their own correlations (the corresponding-states estimate: 29 to 49 %% low in the "
    "liquid).")


def cutoff_length(Dc):
    """The crossover's cutoff length 1/qD (m) of an estimate, scaled with
    the molecule's size: 0.1 nm times the cube root of the critical volume
    in cm3/mol.  The 35 correlations of the data with a simplified crossover
    term put 1/qD between 0.06 and 0.17 times that root (median 0.099): 0.4
    nm for nitrogen, 0.72 nm for propane, 1.04 nm for nonane.  The earlier
    fixed 0.5 nm made the enhancement of the large molecules several times
    too strong (their saturated liquid's conductivity rose from 0.85 Tc)."""
    return float("%.4g" % (1e-10 * (1000.0 / Dc) ** (1.0 / 3.0)))


def chung_conductivity(name, consts, lim, family):
    """The "#TCX TC5" section of an estimated conductivity by Chung's
    method, or [] where the fluid is not one it is used for."""
    ref = transport.kind_reference(name, family)
    dip = consts.get("dipole") or 0.0
    if ref != "propane" or consts["omega"] < CHUNG_OMEGA or dip > CHUNG_DIPOLE:
        return []
    Tc, vc = consts["Tc"], 1000.0 / consts["Dc"]
    sigma = float("%.12g" % (0.0809 * vc ** (1.0 / 3.0)))
    epsk = float("%.12g" % (Tc / 1.2593))
    mur = float("%.12g" % (131.3 * dip / math.sqrt(vc * Tc)))
    omega = consts["omega"]
    said = ("%s D" % transport.num(dip)) if consts.get("dipole") is not None else "(none known, 0)"
    para = [CHUNG_NOTE % (transport.num(Tc), vc, omega, said),
            "Critical enhancement by the corresponding-states block's crossover terms (TK6)."]
    out = [""] + transport.opening("#", "TCX", "TC5", "Chung estimation method", para)
    out += transport.limit_lines(lim)
    out += [transport.value_line([sigma], "sigma [nm] (0.809 Vc^(1/3))"),
            transport.value_line([epsk], "epsilon/k [K] (Tc/1.2593)"),
            transport.value_line([omega, mur, 0.0],
                                 "acentric factor, reduced dipole moment, association", 60),
            transport.value_line([1], "number of further parameter rows"),
            transport.value_line([sigma, epsk, omega, mur, 0.0],
                                 "sigma, eps/k, acentric factor, reduced dipole, association", 60),
            transport.value_line(["TK6"], "critical-enhancement model")]
    return out


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
    chung = [] if eta_own else chung_conductivity(name, consts, lim, family)
    if chung:
        note = note.replace("viscosity or thermal conductivity", "viscosity").replace(
            "both properties are", "the viscosity is")
        note += " The thermal conductivity is the estimate of Chung's method above."
    report.setdefault("transport_estimates", {})[name] = (
        ref, "conductivity" if eta_own else "viscosity, conductivity by Chung" if chung
        else "both")
    para = [note, "Extended corresponding states on %s: the fluid's state is mapped onto the "
                  "conformal state of the reference fluid; dilute gas by kinetic theory." % ref]
    lim, limit_note = transport.ecs_limits(ds, name, ref, lim, consts["Tc"])
    para += [limit_note] if limit_note else []
    out = chung + [""] + transport.opening("#", "TRN", "ECS",
                                           "extended corresponding states model", para)
    one = [(1.0, 0.0, 0.0)]
    out += transport.ecs_body(lim, ref, transport.REFERENCE_CODES[ref], sigma, epsk, [], one, one,
                              "TK6")
    qd_inv = cutoff_length(consts["Dc"])
    out += [""] + transport.opening("#", "AUX", "TK6", "crossover enhancement of the ECS model",
                                    ["Critical enhancement of the corresponding-states model: "
                                     "the simplified crossover model with its generalized "
                                     "values and the cutoff length 1/qD = %.4g nm, 0.1 nm "
                                     "(Vc/(cm3/mol))^(1/3) (the median ratio of the 35 "
                                     "correlations of the data with a crossover term)."
                                     % (qd_inv * 1e9)])
    out += transport.crossover_body(lim, [0.63, 1.239, 1.03, 0.0, 0.0, 1.94e-10, 0.0496, qd_inv,
                                          1.5 * eos["Tred"]], consts["Tc"], consts["Dc"])
    return out
