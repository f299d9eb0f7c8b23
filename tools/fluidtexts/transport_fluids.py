"""Transport blocks of the fluid-specific correlations (the parts the data
set marks "hardcoded", from extra/transport), friction theory, the Chung
method, and the fluids whose correlation fits no block form (a
corresponding-states estimate instead).

Each handler returns a Block: the section's code, description, information
paragraphs, body lines and the auxiliary sections that follow it."""

import math

from textfmt import term_line, value_line

M_WATER = 18.015268  # g/mol, the IAPWS molar mass


def _extra(ds, fname):
    import transport
    return transport._extra(ds, fname)


class Block:
    def __init__(self, code, description, paragraphs, body, aux=None):
        self.code, self.description = code, description
        self.paragraphs, self.body, self.aux = paragraphs, body, aux or []


def _limits(lim):
    return [value_line([lim["Tmin"]], "lower temperature limit [K]"),
            value_line([lim["Tmax"]], "upper temperature limit [K]"),
            value_line([lim["pmax"]], "upper pressure limit [kPa]"),
            value_line([lim["Dmax"]], "maximum density [mol/L]")]


def _vs0(lim, pointer, counts, red, rows, enhancement, dilute=None):
    """A "VS0" body: counts 1..8, the residual reducing line and rows of four
    reals and an integer; `dilute` = (omega, sigma, epsk, (T_red, eta_red),
    rows) for count 1."""
    out = _limits(lim)
    out.append(value_line([pointer], "pointer to the fluid-specific correlation"))
    out.append(value_line(counts, "term counts", 40))
    if counts[0]:
        omega, sigma, epsk, dred, drows = dilute
        out += [value_line([omega], "collision-integral model"),
                value_line([sigma], "Lennard-Jones sigma [nm]"),
                value_line([epsk], "Lennard-Jones epsilon/k [K]"),
                value_line(list(dred), "reducing T [K] and eta [uPa s]", 40)]
        out += [term_line([c, float(t)]) for c, t in drows]
    if sum(counts[1:]):
        out.append(value_line(list(red), "reducing T [K], D [mol/L], eta [uPa s]", 60))
        out += [term_line([float(c), float(a), float(b), float(d), int(i)])
                for c, a, b, d, i in rows]
    out.append(value_line([enhancement], "critical-enhancement model"))
    return out


def _tc0(lim, code, groups, red, rows, enhancement):
    out = _limits(lim)
    out.append(value_line([code], "code of the fluid-specific correlation"))
    out.append(value_line(list(groups), "term counts of groups 1 to 4", 40))
    if sum(groups):
        out.append(value_line(list(red), "reducing T [K], D [mol/L], lambda [W/(m K)]", 60))
        out += [term_line([float(c), float(a), float(b), float(d), int(i)])
                for c, a, b, d, i in rows]
    out.append(value_line([enhancement], "critical-enhancement model"))
    return out


def crossover_section(lim, terms, Tc, Dc, note):
    import transport
    return ("TK3", "simplified crossover critical enhancement", [note],
            transport.crossover_body(lim, terms, Tc, Dc))


# ---------------------------------------------------------------------------
# Water and heavy water (IAPWS)
# ---------------------------------------------------------------------------

def water_viscosity(ds, lim, eos, cite):
    c = _extra(ds, "water_viscosity_IAPWS2008.json")
    rows = [(h, i, 0, 0, 0) for i, h in enumerate(c["H0"])]
    rows += [(h, i, j, 0, 0) for i, j, h in c["Hij"]]
    body = _vs0(lim, "H2O", [0, 0, len(c["H0"]), len(c["Hij"]), 0, 0, 0, 0],
                (c["Tstar_K"], c["rhostar_kg_m3"] / M_WATER, 100.0), rows, "I08")
    return Block("VS0", "IAPWS 2008 viscosity of water",
                 ["IAPWS Formulation 2008 for the viscosity of ordinary water substance, with its "
                  "critical factor (I08); mu = mu0 mu1 mu2 in uPa s."] + cite("Huber-JPCRD-2009"),
                 body)


def water_conductivity(ds, lim, eos, cite, Tc, Dc):
    c = _extra(ds, "water_conductivity_IAPWS2011.json")
    rows = [(l, k, 0, 0, 0) for k, l in enumerate(c["L0"])]
    rows += [(l, i, j, 0, 0) for i, j, l in c["Lij"] if l != 0.0]
    body = _tc0(lim, "H2O", (len(c["L0"]), 0, len(rows) - len(c["L0"]), 0),
                (c["Tstar_K"], c["rhostar_kg_m3"] / M_WATER, c["lambdastar_W_mK"]), rows, "TK3")
    tk3 = crossover_section(
        lim, [c["nu"], c["gamma"], 1.0, 0.0, 0.0, c["xi0_nm"] * 1e-9, c["Gamma0"],
              c["qD_inverse_nm"] * 1e-9, 1.5 * c["Tstar_K"]], Tc, Dc,
        "Critical enhancement of the IAPWS 2011 conductivity; only the cutoff 1/qD = 0.4 nm and "
        "the reference temperature 970.644 K are used by water's own enhancement term.")
    return Block("TC0", "IAPWS 2011 thermal conductivity of water",
                 ["IAPWS Formulation 2011 for the thermal conductivity of ordinary water "
                  "substance; lambda = lambda* (L0 L1 + L2), L2 from the enhancement block."]
                 + cite("Huber-JPCRD-2012"), body, [tk3])


def heavy_water_viscosity(ds, lim, eos, cite):
    c = _extra(ds, "heavywater_viscosity_IAPWS2007.json")
    rows = [(a, i, 0, 0, 0) for i, a in enumerate(c["A"])]
    rows += [(b, i, j, 0, 0) for i, j, b in c["Bij"]]
    body = _vs0(lim, "H2O", [0, 0, len(c["A"]), len(c["Bij"]), 0, 0, 0, 0],
                (c["Tstar_K"], c["rhostar_kg_m3"] / eos["M"], c["etastar_Pa_s"] * 1e6), rows,
                "NUL")
    return Block("VS0", "IAPWS 2007 viscosity of heavy water",
                 ["IAPWS R4-84(2007) viscosity of heavy water substance (no critical term)."]
                 + cite("IAPWS-D2O-2007-Transport"), body)


def heavy_water_conductivity(ds, lim, eos, cite):
    c = _extra(ds, "heavywater_conductivity_IAPWS2007.json")
    rows = [(a, i, 0, 0, 0) for i, a in enumerate(c["A"])]
    rows += [(b, j + 1, 0, 0, 0) for j, b in enumerate(c["B"])]
    rows += [(v, 0, 0, 0, 0) for v in (c["Be"], c["B0"], c["C1"], c["C2"], c["CT1"], c["CT2"],
                                        c["CR1"], c["CR2"], c["CR3"], c["rho_r1"], c["D1"])]
    body = _tc0(lim, "D2O", (len(c["A"]), 0, len(c["B"]), 11),
                (c["Tstar_K"], c["rhostar_kg_m3"] / eos["M"], c["lambdastar_W_mK"]), rows, "NUL")
    return Block("TC0", "IAPWS 2007 thermal conductivity of heavy water",
                 ["IAPWS R4-84(2007) thermal conductivity of heavy water substance."]
                 + cite("IAPWS-D2O-2007-Transport"), body)


# ---------------------------------------------------------------------------
# R23, helium, methane conductivity, r123's enhancement
# ---------------------------------------------------------------------------

def r23_viscosity(ds, lim, eos, cite):
    c = _extra(ds, "R23_viscosity_Shan2000.json")
    dilute = ("CI1", c["sigma_nm"], c["eps_over_k_K"], (1.0, 1.0),
              [(c["eta0_constant"] * math.sqrt(c["M_g_mol"]), 0.5)])
    rows = [(v, 0, 0, 0, 0) for v in (c["rhoL_mol_L"], c["C1"], c["C2"], c["DeltaG_J_mol"],
                                      c["deta_max_uPa_s"])]
    body = _vs0(lim, "R23", [1, 5, 0, 0, 0, 0, 0, 0], (c["Tc_K"], c["rhoc_mol_L"], 1.0), rows,
                "NUL", dilute)
    ci = ("CI1", "collision integral", ["Reduced collision integral exp(sum a_i (ln T*)^i)."],
          _limits(lim) + [value_line([len(c["omega_a"])], "number of terms")]
          + [term_line([a, i]) for i, a in enumerate(c["omega_a"])])
    return Block("VS0", "viscosity of R23 of Shan et al. (2000)",
                 ["Viscosity of Shan, Penoncello and Jacobsen (2000): dilute gas and a liquid "
                  "term weighted by ((rhoL - rho)/rhoL)^C1, with a critical term."]
                 + cite("Shan-ASHRAE-2000"), body, [ci])


def r23_conductivity(ds, lim, eos, cite):
    c = _extra(ds, "R23_conductivity_Shan2000.json")
    rows = [(v, 0, 0, 0, 0) for v in (c["rhoL_mol_L"], c["B1_mW_mK"], c["B2_mW_mK2"], c["C1"],
                                      c["C2"], c["DeltaG_J_mol"], c["dlam_max_mW_mK"])]
    body = _tc0(lim, "R23", (7, 0, 0, 0), (c["Tc_K"], c["rhoc_mol_L"], 1.0), rows, "NUL")
    return Block("TC0", "thermal conductivity of R23 of Shan et al. (2000)",
                 ["Thermal conductivity of Shan, Penoncello and Jacobsen (2000)."]
                 + cite("Shan-ASHRAE-2000"), body)


def helium_conductivity(ds, lim, eos, cite):
    c = _extra(ds, "helium_conductivity_Hands1981.json")
    l0 = c["lam0"]
    g1 = [(l0["a"], l0["b"], 0, 0, 0)] + [(ci, -(i + 1), 0, 0, 0) for i, ci in enumerate(l0["C"])]
    r = c["rho_log_ref_kg_m3"]
    cc = c["c"]
    # (c1 + c2 T + c3 T^1/3 + c4 T^2/3) rho + (c5 + c6 T^1/3 + c7 T^2/3) rho^3
    # + (c8 + c9 T^1/3 + c10 T^2/3 + c11/T) rho^2 ln(rho/68), rho = 68 delta,
    # powers of T^(1/3) in the second column
    g3 = [(cc[0] * r, 0, 1, 0, 0), (cc[1] * r, 3, 1, 0, 0), (cc[2] * r, 1, 1, 0, 0),
          (cc[3] * r, 2, 1, 0, 0), (cc[4] * r ** 3, 0, 3, 0, 0), (cc[5] * r ** 3, 1, 3, 0, 0),
          (cc[6] * r ** 3, 2, 3, 0, 0), (cc[7] * r ** 2, 0, 2, 1, 0),
          (cc[8] * r ** 2, 1, 2, 1, 0), (cc[9] * r ** 2, 2, 2, 1, 0),
          (cc[10] * r ** 2, -3, 2, 1, 0)]
    body = _tc0(lim, "HE", (len(g1), 0, len(g3), 0), (1.0, r / eos["M"], 1.0), g1 + g3, "NUL")
    return Block("TC0", "thermal conductivity of helium of Hands and Arp (1981)",
                 ["Thermal conductivity of Hands and Arp (1981) with its critical term between "
                  "3.5 and 12 K (its prefactor carries the factor 3.726229668 that reproduces the "
                  "paper's near-critical table)."] + cite("Hands-CRYO-1981"), body)


def methane_conductivity(ds, lim, eos, cite):
    """Friend et al. (1989) in the TC1 form: the dilute-gas viscosity of the
    correlation is a power series in T*, so eta0 [3.75 - f_int (2.5 - cp0/R)]
    = eta0 f_int (cp0/R - 2.5) + 3.75 eta0 is written as the rows of eta0
    f_int, a -99 row with c = 1/R (multiplying them by 1 + (cp0 - 2.5 R)/R),
    and the rows of eta0 (3.75 - f_int)."""
    import transport
    c = _extra(ds, "methane_conductivity_Friend1989.json")
    F = transport.Fraction
    eta0 = {}
    for i, ci in enumerate(c["omega_C"]):  # 10.50 sqrt(T*) sum C_i T*^((i-1)/3 - 1)
        e = F(i, 3) - F(1, 2)
        eta0[e] = eta0.get(e, 0.0) + c["eta0_factor"] * ci
    a, b = c["lam0"]["fint"]

    def times(poly, terms):
        out = {}
        for e, v in poly.items():
            for (k, t) in terms:
                out[e + t] = out.get(e + t, 0.0) + v * k
        return out
    first = times(eta0, [(a, F(0)), (b, F(-1))])
    second = times(eta0, [(3.75 - a, F(0)), (-b, F(-1))])
    x = transport.Tc1()
    x.dil_red = (c["eps_over_k_K"], c["lam0"]["factor"] * 1e-3)
    x.num = [(v, float(e)) for e, v in sorted(first.items())]
    x.num.append((1.0 / eos["R_lib"], -99.0))
    x.num += [(v, float(e)) for e, v in sorted(second.items())]
    res = c["lam_res"]
    x.bk_red = (c["Tc_K"], c["rhoc_mol_L"], res["factor"] * 1e-3)
    x.bnum = [(c["lam_res"]["j7"], 0.0, 2.0, 0.0), (0.0, 0.0, 0.0, -99.0)]
    x.bnum += [(j, -s, r, 0.0) for j, r, s in zip(res["j"], res["r"], res["s"])]
    x.enhancement = "CH4"
    para = ["Thermal conductivity of Friend, Ely and Ingham (1989). Dilute gas 0.51828 eta0 "
            "[3.75 - f_int (2.5 - cp0/R)] with the correlation's own dilute-gas viscosity (a "
            "series in T* = T/174 K), f_int = 1.458850 - 0.4377162/T*; residual with j7 "
            "delta^2/delta_s (the -99 row divides by the saturated-vapour density ratio); "
            "critical enhancement CH4 with the viscosity of the text."] + cite("Friend-JPCRD-1989")
    return Block("TC1", "thermal conductivity of methane of Friend et al. (1989)", para,
                 x.body(lim))


def r123_enhancement(ds, lim, eos):
    c = _extra(ds, "R123_conductivity_critical_Laesecke1996.json")
    tred, dred = -c["Tc_K"], c["rhoc_kg_m3"] / eos["M"]
    body = _limits(lim) + [
        value_line([1, 0, 2, 0], "terms: polynomial numerator, denominator, exponential"),
        value_line([tred, dred, c["a13_W_mK"]], "reducing T [K] (negative: Tc/T), D, lambda", 60),
        term_line([1.0, 0.0, 0.0, 0.0, 0.0, 0]),
        value_line([tred, dred], "reducing T and D of the exponential part", 40),
        term_line([c["a14"], -1.0, 4, 0.0, 0, 0]),
        term_line([c["a15"], 0.0, 0, -1.0, 2, 0])]
    return ("TK1", "critical enhancement of Laesecke et al. (1996)",
            ["Critical term of Laesecke, Perkins and Howley (1996): a13 exp(a14 (tau - 1)^4 + "
             "a15 (delta - 1)^2), tau = Tc/T, delta = rho/(550 kg/m3)."], body)


# ---------------------------------------------------------------------------
# Correlations with the library's own constants (pointer only)
# ---------------------------------------------------------------------------

POINTER_ONLY = {
    "methanol": ("MEO", "viscosity of methanol of Xiang et al. (2006)", "Xiang-JPCRD-2006",
                 "Viscosity of Xiang, Laesecke and Huber (2006); the correlation's constants "
                 "are those of the model MEO (its Tr takes Tc = 512.6 K)."),
    "hydrogen": ("H2A", "viscosity of hydrogen of Muzny et al. (2013)", "Muzny-JCED-2013",
                 "Viscosity of normal hydrogen: dilute gas and initial density of the data, "
                 "higher-order term of Muzny, Huber and Kazakov (2013, erratum 2022), in the model "
                 "H2A (constants in single precision)."),
    "parahyd": ("H2A", "viscosity of hydrogen of Muzny et al. (2013)", "Muzny-JCED-2013",
                "Viscosity of normal hydrogen applied to para-hydrogen (model H2A), as the "
                "coefficient data do."),
    "helium": ("HE", "viscosity of helium of Arp et al. (1998)", "Arp-TN1334-1998",
               "Viscosity of Arp, McCarty and Friend (1998) (model HE); between 100 and 110 K "
               "the high-temperature form is blended in linearly."),
    "ethylene": ("ETY", "viscosity of ethylene of Holland et al. (1983)", None,
                 "Viscosity of Holland, Eaton and Hanley (1983) (model ETY)."),
    "neon": ("NEO", "viscosity of neon of Rabinovich et al. (1988)", None,
             "Viscosity of Rabinovich et al. (1988) (model NEO)."),
    "d2": ("D2", "viscosity of deuterium", None,
           "Viscosity of deuterium scaled from the hydrogen form (model D2)."),
}

HOLLAND = ("P. M. Holland, B. E. Eaton and H. J. M. Hanley (1983): A Correlation of the "
           "Viscosity and Thermal Conductivity Data of Gaseous and Liquid Ethylene. J. Phys. "
           "Chem. Ref. Data 12(4), 917-932. doi:10.1063/1.555701")


def pointer_viscosity(name, lim, cite):
    code, desc, key, text = POINTER_ONLY[name]
    para = [text] + (cite(key) if key else [HOLLAND] if name == "ethylene" else [])
    return Block("VS0", desc, para, _vs0(lim, code, [0] * 8, None, [], "NUL"))


def ethylene_conductivity(lim, Tc, Dc, Tred):
    import transport
    body = _tc0(lim, "ETY", (0, 0, 0, 0), None, [], "TK3")
    tk3 = crossover_section(lim, transport.crossover_terms({}, Tred), Tc, Dc,
                            "Critical enhancement by the simplified crossover model with its "
                            "generalized values.")
    return Block("TC0", "thermal conductivity of ethylene of Holland et al. (1983)",
                 ["Thermal conductivity of Holland, Eaton and Hanley (1983) (model ETY), with the "
                  "crossover enhancement in place of the paper's own critical term.", HOLLAND],
                 body, [tk3])


# ---------------------------------------------------------------------------
# Friction theory and the Chung method
# ---------------------------------------------------------------------------

def _milli(v):
    """A friction coefficient in mPa s/bar^n (the data's Pa s/bar^n times 1000),
    to twelve digits."""
    return float("%.12g" % (1e3 * v))


FRICTION_LINES = (("Aa", 1, "a"), ("Ar", 1, "b"), ("Ai", 1, "c"), ("Aaa", 3, "A"),
                  ("Adrdr", 3, "B"), ("Aii", 3, "C"))


def friction_viscosity(ds, name, v, lim, eos, Tc, cite, lj_of):
    """VS4 from a friction-theory entry, or None when the form does not fit
    (p_r^2 terms, other powers of Tc/T, a reducing temperature other than Tc)."""
    import transport
    h = v["higher_order"]
    if "Arr" in h or abs(h["T_reduce"] - Tc) > 1e-9 * Tc:
        return None
    c1, c2 = h.get("c1", 1), h.get("c2", 1)
    lines = []
    for key, power, _ in FRICTION_LINES:
        A = h.get(key, [0.0, 0.0, 0.0])
        N = h.get({"Aa": "Na", "Ar": "Nr", "Aaa": "Naa", "Adrdr": "Nrr", "Aii": "Nii"}.get(key),
                  power)
        if N != power and any(A):
            return None
        # A0 + A1 (e^tau - c1) + A2 (e^tau^2 - c2) with the library's psi = e^x - 1
        k0 = A[0] + A[1] * (1 - c1) + A[2] * (1 - c2)
        lines.append([_milli(k0), _milli(A[1]), _milli(A[2]), 0.0, 0.0])
    D = [0.0] * 5
    E = [0.0] * 5
    if "Arrr" in h:
        A = h["Arrr"]
        D = [0.0, _milli(A[1]), _milli(A[2]), 0.0, float(h["Nrrr"])]
        if A[0] != 0.0 or name == "methane":
            return None
    if "Aaaa" in h:
        A = h["Aaaa"]
        E = [_milli(A[0] + A[1] * (1 - c1) + A[2] * (1 - c2)), _milli(A[1]), _milli(A[2]), 0.0,
             float(h["Naaa"])]
    sigma, epsk, _ = lj_of(v)
    dil = v["dilute"]
    out = _limits(lim) + [value_line([len(dil["a"]) + 1, 0, 0, 0, 0, 0],
                                     "dilute-gas terms, special terms", 40),
                          value_line(["NUL"], "collision-integral model"),
                          value_line([sigma], "Lennard-Jones sigma [nm]"),
                          value_line([epsk], "Lennard-Jones epsilon/k [K]"),
                          value_line([dil.get("T_reducing", 1.0), 1e6],
                                     "reducing T [K] and eta [uPa s]", 40),
                          term_line([0.0, 0.5])]
    out += [term_line([a, float(t)]) for a, t in zip(dil["a"], dil["t"])]
    out.append(value_line([0], "number of initial-density terms"))
    for l, (_, _, what) in zip(lines, FRICTION_LINES):
        out.append(value_line(l, "friction coefficients " + what, 60))
    out.append(value_line(D, "friction coefficients D (p_r^3)", 60))
    out.append(value_line(E, "friction coefficients E (p_a^3)", 60))
    out.append(value_line(["NUL"], "critical-enhancement model"))
    del transport
    return Block("VS4", "friction-theory viscosity model",
                 ["Friction theory of Quinones-Cisneros et al.: dilute gas plus friction terms in "
                  "the repulsive and attractive pressures of the equation of state "
                  "(coefficients in mPa s/bar^n)."] + cite(v.get("BibTeX")), out)


def chung_viscosity(v, lim, eos, cite):
    Tc, rhoc = v["T_critical"], v["rhomolar_critical"] / 1000.0
    vc = 1000.0 / rhoc  # cm^3/mol
    sigma = 0.0809 * vc ** (1.0 / 3.0)
    epsk = Tc / 1.2593
    mur = 131.3 * v["dipole_moment_D"] / math.sqrt(vc * Tc)
    out = _limits(lim) + [value_line([1], "number of dilute-gas terms"),
                          value_line(["CI0"], "collision-integral model (not used)"),
                          value_line([sigma], "sigma [nm] (0.809 Vc^(1/3))"),
                          value_line([epsk], "epsilon/k [K] (Tc/1.2593)"),
                          value_line([1.0, 1.0], "reducing T [K] and eta [uPa s]", 40),
                          term_line([1.0, 0.5]),
                          value_line([0], "number of initial-density terms"),
                          value_line([v["acentric"], mur, v.get("kappa", 0.0)],
                                     "acentric factor, reduced dipole moment, association", 60),
                          value_line([0], "number of further parameter rows"),
                          value_line(["NUL"], "critical-enhancement model")]
    return Block("VS5", "Chung estimation method",
                 ["Estimation method of Chung, Ajlan, Lee and Starling (1988) from Tc = %g K, "
                  "Vc = %.6g cm3/mol, the acentric factor and the dipole moment %g D; an estimate, "
                  "not a fitted correlation." % (Tc, vc, v["dipole_moment_D"])], out)


# ---------------------------------------------------------------------------
# Which fluid takes which handler
# ---------------------------------------------------------------------------

# Correlations that fit no block: a corresponding-states estimate instead.
ESTIMATE = {
    "h2s": "friction theory with a p_r^2 term and the first power of Tc/T in kappa_aa",
    "pentane": "the data's friction-theory coefficients (two of them unpublished corrections "
               "of the publication) put the liquid 20 % below handbook values (0.180 against "
               "0.224 mPa s at 25 C, 0.232 against 0.289 mPa s at 0 C) and make the saturated "
               "liquid's viscosity fall towards the triple point below 180 K; the estimate "
               "lies within 3 % of those values",
}

XYLENES = {"mxylene": ("mxylene_viscosity_Cao2016.json", "Cao et al. (2016)",
                       "Cao-JPCRD-2016-mxylene"),
           "oxylene": ("oxylene_viscosity_Cao2016.json", "Cao et al. (2016)",
                       "Cao-JPCRD-2016-oxylene"),
           "pxylene": ("pxylene_viscosity_Balogun2015.json", "Balogun et al. (2015)",
                       "Balogun-JPCRD-2015-pxylene")}


def xylene_viscosity(ds, name, lim, eos, cite, lj_of):
    """The xylenes' reference correlations as a VS1 block: the fitted dilute
    gas, the initial-density term eta1(T) rho and the higher-order terms as
    residual polynomial rows in T/Tc and rho/rhoc of the correlation."""
    import transport
    fname, who, key = XYLENES[name]
    c = _extra(ds, fname)
    x = transport.Vs1()
    sigma, _, _ = lj_of({})
    d = c["dilute"]
    transport.fitted_dilute(x, c["dilute_prefactor"], d["A0"], d["B0"], d["C0"], eos, sigma, who)
    Tc, Dc = c["Tc_K"], c["rhoc_mol_L"]
    x.res_red = (Tc, Dc, 1.0)
    i = c["initial"]  # (A1 + B1/T + C1/T^2) rho uPa s, rho in mol/L
    x.poly += [(i["A1"] * Dc, 0.0, 1.0, 0.0, 0), (i["B1"] / Tc * Dc, -1.0, 1.0, 0.0, 0),
               (i["C1"] / Tc ** 2 * Dc, -2.0, 1.0, 0.0, 0)]
    two3 = 2.0 / 3.0
    if name == "pxylene":
        # rho_r^(2/3) [sum s1 rho_r^d + Tr^(-1/2) sum s2 rho_r^d]
        x.poly += [(a, 0.0, d + two3, 0.0, 0) for d, a in c["s1"]]
        x.poly += [(a, -0.5, d + two3, 0.0, 0) for d, a in c["s2"]]
        form = ("rho_r^(2/3) [sum a_i rho_r^d_i + Tr^(-1/2) sum b_i rho_r^e_i]")
    else:
        D, E, n, k = c["D"], c["E"], c["n"], c["k"]
        # rho_r^(2/3) Tr^(1/2) {(D0 + E0 Tr^-k0) rho_r^n0 + D1 rho_r^n1 + E2 rho_r^n2 / Tr^k2
        #                       + (D3 rho_r + E3 Tr) rho_r^n3 + D4 rho_r^n4}
        rows = [(D[0], 0.5, n[0]), (E[0], 0.5 - k[0], n[0]), (D[1], 0.5, n[1]),
                (E[2], 0.5 - k[2], n[2]), (D[3], 0.5, n[3] + 1.0), (E[3], 1.5, n[3]),
                (D[4], 0.5, n[4])]
        x.poly += [(a, t, d + two3, 0.0, 0) for a, t, d in rows if a != 0.0]
        form = ("rho_r^(2/3) Tr^(1/2) {(D0 + E0 Tr^-k0) rho_r^n0 + D1 rho_r^n1 + E2 rho_r^n2/"
                "Tr^k2 + (D3 rho_r + E3 Tr) rho_r^n3 + D4 rho_r^n4}")
    x.notes.append("Initial density (%g %+g/T %+g/T^2) rho uPa s (rho in mol/L) and the "
                   "higher-order term %s (Tr = T/%g K, rho_r = rho/(%g mol/L)), as residual "
                   "terms." % (i["A1"], i["B1"], i["C1"], form, Tc, Dc))
    lines = transport.limit_lines(lim)
    block = transport._vs1_block(x, {"BibTeX": key}, None, cite, lim)
    del lines
    block.description = "viscosity of %s of %s" % (name, who)
    return block


def specific(ds, name, v, k, lim, eos, consts, cite, lj_of):
    """(viscosity block, conductivity block) of the fluid-specific handlers:
    a Block, "ECS" for a corresponding-states estimate of the viscosity, or
    None where the general forms apply."""
    Tc, Dc = consts["Tc"], consts["Dc"]
    eta = tcx = None
    if name == "water":
        eta, tcx = water_viscosity(ds, lim, eos, cite), water_conductivity(ds, lim, eos, cite, Tc, Dc)
    elif name == "d2o":
        eta, tcx = heavy_water_viscosity(ds, lim, eos, cite), heavy_water_conductivity(
            ds, lim, eos, cite)
    elif name == "r23":
        eta, tcx = r23_viscosity(ds, lim, eos, cite), r23_conductivity(ds, lim, eos, cite)
    elif name == "methane":
        eta = friction_viscosity(ds, name, v, lim, eos, Tc, cite, lj_of)
        tcx = methane_conductivity(ds, lim, eos, cite)
    elif name == "sf6":
        eta = friction_viscosity(ds, name, v, lim, eos, Tc, cite, lj_of)
    elif name in ("cyclopen", "ipentane"):
        eta = chung_viscosity(v, lim, eos, cite)
    elif name in XYLENES:
        eta = xylene_viscosity(ds, name, lim, eos, cite, lj_of)
    elif name in POINTER_ONLY:
        eta = pointer_viscosity(name, lim, cite)
        if name == "helium":
            tcx = helium_conductivity(ds, lim, eos, cite)
        elif name == "ethylene":
            tcx = ethylene_conductivity(lim, Tc, Dc, eos["Tred"])
    if name in ESTIMATE:
        eta = "ECS"
    return eta, tcx
