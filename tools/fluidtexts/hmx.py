"""The mixture-parameter text "hmx": one record per binary pair (reducing
parameters and departure weight under a model code) and one "#MXM" section
per departure function."""

import math

from textfmt import citation, info_lines, num, term_line

# Model codes of the departure functions.  The GERG-2008 functions and the
# HFC functions keep their usual codes; the others get letters in the order
# of the data set.  A code names the "#MXM" section whose terms the pair uses.
KNOWN_CODES = {
    "GeneralizedAlkane": "KW0", "Methane-Ethane": "KW1", "Methane-Propane": "KW2",
    "Methane-Nitrogen": "KW3", "Methane-CarbonDioxide": "KW4", "Nitrogen-CarbonDioxide": "KW5",
    "Nitrogen-Ethane": "KW6", "Methane-Hydrogen": "KW7", "R32-R125": "KWR",
    "R32-R134a": "KWS", "GeneralizedHFC": "KWT",
}
FREE_LETTERS = "ABCDEFGHIJKLMNOPQ"


def _cite(ds, keys):
    out = []
    for k in [k.strip() for k in (keys or "").split(",") if k.strip()]:
        ref = ds.references.get(k)
        if ref is not None and ref.get("authors", "").strip():
            out.append(citation(ref))
    return out


def _short(ds, keys):
    """Authors (year), journal volume, pages: one line per pair."""
    from fluid import authors_year
    out = []
    for k in [k.strip() for k in (keys or "").split(",") if k.strip()]:
        ref = ds.references.get(k)
        if ref is None or not ref.get("authors", "").strip():
            continue
        s = authors_year(ds, k)
        j = " ".join(x for x in (ref.get("published_in", "").strip(),
                                 ref.get("volume", "").strip()) if x and x != "(omitted)")
        if j:
            s += ", " + j
        if ref.get("pages", "").strip():
            s += ", " + ref["pages"].strip()
        out.append(s)
    return "; ".join(out)


# The sixth integer of a model's counts line: the form of its Gaussian-bell
# terms, exp(-eta (delta - eps)^2 - beta (delta - gamma)) (0) or Gaussian in
# tau as well, exp(-eta (delta - eps)^2 - beta (tau - gamma)^2) (1).
BELL_IN_DELTA, BELL_IN_TAU = 0, 1


def expressible(f):
    """True for the departure forms the text can hold: ordinary terms
    n tau^t delta^d exp(-delta^l) and Gaussian-bell terms in delta, or
    Gaussian in tau and delta."""
    return (f["type"] in ("Exponential", "GERG-2008", "Gaussian+Exponential")
            and len(f["n"]) <= 15)


def function_codes(ds):
    codes, letters = {}, iter(FREE_LETTERS)
    for f in ds.departures:
        if not expressible(f):
            continue
        codes[f["Name"]] = KNOWN_CODES.get(f["Name"]) or "KW" + next(letters)
    return codes


def mxm_section(ds, f, code):
    lines = ["#MXM              !mixture model specification",
             code + "  departure function " + f["Name"]]
    lines += info_lines(_cite(ds, f.get("BibTeX")) or ["(no citation)"])
    lines.append("!end of info section")
    names = ["BetaT", "GammaT", "BetaV", "GammaV", "Fij", "not used"]
    lines.append(" ".join(n.ljust(8) for n in names) + " !parameter names")
    lines.append(" 1.0 1.0 1.0 1.0 0.0 0.0".ljust(54) + " !ideal-solution values")
    n = f["n"]
    form = BELL_IN_DELTA
    if f["type"] == "Gaussian+Exponential":
        npow = f["Npower"]
        ordinary = [(n[k], f["t"][k], f["d"][k], f["l"][k]) for k in range(npow)]
        bell = [(n[k], f["t"][k], f["d"][k], f["eta"][k], f["epsilon"][k], f["beta"][k],
                 f["gamma"][k]) for k in range(npow, len(n))]
        form = BELL_IN_TAU
    elif f["type"] == "GERG-2008":
        npow = f["Npower"]
        ordinary = [(n[k], f["t"][k], f["d"][k], 0) for k in range(npow)]
        bell = [(n[k], f["t"][k], f["d"][k], f["eta"][k], f["epsilon"][k], f["beta"][k],
                 f["gamma"][k]) for k in range(npow, len(n))]
    else:
        ordinary = [(n[k], f["t"][k], f["d"][k], f["l"][k]) for k in range(len(n))]
        bell = []
    what = " !terms: ordinary (n t d l), Gaussian-bell (n t d eta eps beta gamma)"
    if form == BELL_IN_TAU:
        what += ", bell in tau: exp(-eta (delta-eps)^2 - beta (tau-gamma)^2)"
    counts = "%d 4 0 %d 7 %d 0 0" % (len(ordinary), len(bell), form)
    lines.append(counts + " " * 37 + what)  # the layout the texts have always had
    for n_, t, d, l in ordinary:
        lines.append(term_line([n_, float(t), int(d), int(l)]))
    for n_, t, d, eta, eps, beta, gam in bell:
        lines.append(term_line([n_, float(t), int(d), float(eta), float(eps), float(beta),
                                float(gam)]))
    return lines


# The ammonia + water model of Tillner-Roth and Friend (1998), as IAPWS
# adopted it (Guideline on the IAPWS Formulation 2001 for the Thermodynamic
# Properties of Ammonia-Water Mixtures): reducing functions with K_t, K_v,
# alpha, beta and the departure function x (1 - x^gamma) times 14 terms
# n tau^t delta^d exp(-delta^l) (no exponential where l = 0), terms 7-13
# further times x and term 14 times x^2 (x the ammonia fraction).  The data
# set has no ammonia + water pair; these are the published values.
TR1_CITATION = ("R. Tillner-Roth and D. G. Friend (1998): A Helmholtz Free Energy Formulation of "
                "the Thermodynamic Properties of the Mixture {Water + Ammonia}. J. Phys. Chem. "
                "Ref. Data 27(1), 63-96.")
TR1_PARAMETERS = [0.9648407, 1.2395117, 1.125455, 0.8978069, 0.5248379, 0.0]
TR1_TERMS = [  # n, t, d, l
    (-1.855822e-2, 1.5, 4, 0), (5.258010e-2, 0.5, 5, 1), (3.552874e-10, 6.5, 15, 1),
    (5.451379e-6, 1.75, 12, 1), (-5.998546e-13, 15.0, 12, 1), (-3.687808e-6, 6.0, 15, 2),
    (0.2586192, -1.0, 4, 1), (-1.368072e-8, 4.0, 15, 1), (1.226146e-2, 3.5, 4, 1),
    (-7.181443e-2, 0.0, 5, 1), (9.970849e-2, -1.0, 6, 2), (1.0584e-3, 8.0, 10, 2),
    (0.1963687, 7.5, 6, 2), (-0.7777897, 4.0, 2, 2),
]
AMMONIA, WATER = "7664-41-7", "7732-18-5"


def tr1_record():
    comment = ["ammonia/water: " + TR1_CITATION,
               "K_t, K_v, alpha, beta, gamma of the ammonia + water model (code TR1)."]
    return (AMMONIA, WATER, comment, "TR1", list(TR1_PARAMETERS))


def fixed_sections():
    """The models that no data-set function gives: the ammonia + water
    function, the linear reducing rule and the trivial model of identical
    components."""
    tr1 = ["#MXM              !mixture model specification",
           "TR1  ammonia + water model"] + info_lines([TR1_CITATION])
    tr1 += ["!end of info section",
            " ".join(n.ljust(8) for n in ["Kt", "Kv", "alpha", "beta", "gamma", "not used"]) +
            " !parameter names",
            " 1.0 1.0 1.0 1.0 0.0 0.0".ljust(54) + " !ideal-solution values",
            "%d 4 0 0 0 0 0 0".ljust(54) % len(TR1_TERMS) + " !terms: ordinary (n t d l)"]
    tr1 += [term_line([n, float(t), int(d), int(l)]) for n, t, d, l in TR1_TERMS]
    lin = ["#MXM              !mixture model specification",
           "LIN  linear reducing functions T_r = sum x_i T_ci + (K_t - 1) x_i x_j (T_ci + T_cj), "
           "the same for 1/rho_r with K_v",
           "?No departure function.", "!end of info section",
           " ".join(n.ljust(8) for n in ["Kt", "Kv", "not used", "not used", "not used",
                                         "not used"]) + " !parameter names",
           " 1.0 1.0 0.0 0.0 0.0 0.0".ljust(54) + " !ideal-solution values",
           "0 4 0 0 0 0 0 0".ljust(54) + " !terms"]
    same = ["@MXM              !mixture model specification",
            "i=j  identical components", "?No mixing parameters.", "!end of info section",
            " ".join("not used" for _ in range(6)) + " !parameter names",
            " 0.0 0.0 0.0 0.0 0.0 0.0".ljust(54) + " !ideal-solution values",
            "0 4 0 0 0 0 0 0".ljust(54) + " !terms"]
    return [""] + tr1 + [""] + lin + [""] + same


def gerg_records(ds, records, codes_of_gerg):
    """"GE" records: the GERG-2008 parameters of each pair whose record above
    holds other values (a later source, or digits that differ once the pair
    is turned round).  Each is placed just before the pair's record, so that
    the GERG-2008 mode stops at it and the default search goes on to the
    record.  Returns {frozenset of CAS numbers: record}."""
    by_pair = {frozenset((r[0], r[1])): r for r in records}
    out = {}
    for g in ds.gerg["binary_parameters"]:
        key = frozenset((g["CAS1"], g["CAS2"]))
        rec = by_pair.get(key)
        if rec is None:
            continue
        code = codes_of_gerg.get(g["departure_function"], "KW0") if g["F"] != 0 else "KW0"
        values = [g["betaT"], g["gammaT"], g["betaV"], g["gammaV"], g["F"], 0.0]
        same_order = rec[0] == g["CAS1"]
        if same_order and rec[3] == code and rec[4] == values:
            continue
        comment = ["%s/%s: GERG-2008 parameters, %s (used in GERG-2008 mode)."
                   % (g["name1"], g["name2"], _short(ds, "Kunz-JCED-2012"))]
        out[key] = (g["CAS1"], g["CAS2"], comment, "GE" + code[2], values)
    return out


def pair_record(cas1, cas2, code, values):
    head = (cas1 + "/" + cas2).ljust(26)
    if len(head) > 26:
        raise ValueError("CAS numbers too long: " + head)
    return head + code + " " + " ".join(num(v) for v in values)


def build(ds, cas_of, zred, report):
    """cas_of: CAS number per fluid name as written in the texts; zred:
    (T_red, D_red) of each fluid's default equation."""
    codes = function_codes(ds)
    by_name = {f["Name"]: f for f in ds.departures}
    gerg_pairs = {(p["CAS1"], p["CAS2"]): p for p in ds.gerg["binary_parameters"]}
    left_out, records, seen = [], [], set()

    def gerg_of(c1, c2):
        if (c1, c2) in gerg_pairs:
            return gerg_pairs[(c1, c2)], False
        if (c2, c1) in gerg_pairs:
            return gerg_pairs[(c2, c1)], True
        return None, False

    for p in ds.pairs:
        n1, n2 = p["name1"], p["name2"]
        if n1 not in cas_of or n2 not in cas_of:
            continue
        c1, c2 = cas_of[n1], cas_of[n2]
        comment = ["%s/%s: %s" % (n1, n2, _short(ds, p.get("BibTeX")))]
        fname = p.get("function")
        F = p["F"]
        code = "KW0"
        if fname and F != 0.0:
            f = by_name[fname]
            if expressible(f):
                code = codes[fname]
            else:
                left_out.append((n1, n2, fname))
                g, swap = gerg_of(c1, c2)
                if g is not None:
                    # the publication's departure function has a form the text
                    # does not hold: take the pair of GERG-2008 (its own consistent set)
                    bT, gT, bV, gV = g["betaT"], g["gammaT"], g["betaV"], g["gammaV"]
                    if swap:
                        bT, bV = 1.0 / bT, 1.0 / bV
                    comment = ["%s/%s: GERG-2008 parameters, %s; the departure function of "
                               "%s (a form the text does not hold) cannot be written here."
                               % (n1, n2, _short(ds, "Kunz-JCED-2012"), _short(ds, p["BibTeX"]))]
                    records.append((c1, c2, comment, "KW0",
                                    [bT, gT, bV, gV, 0.0, 0.0]))
                    seen.add(frozenset((c1, c2)))
                    continue
                comment.append("Reducing parameters only: the departure function of the "
                               "publication (a form the text does not hold) cannot be written here.")
                F = 0.0
        if "xi" in p:
            # linear reducing functions T_r = sum x T_c + x1 x2 xi (and v with
            # zeta) written exactly in the beta/gamma form with beta = 1
            T1, D1 = zred[n1]
            T2, D2 = zred[n2]
            v1, v2 = 1.0 / D1, 1.0 / D2
            zeta = p["zeta"] * 1000.0  # m^3/mol -> L/mol
            gT = (T1 + T2 + p["xi"]) / (2.0 * math.sqrt(T1 * T2))
            gV = (v1 + v2 + zeta) / (0.25 * (v1 ** (1.0 / 3.0) + v2 ** (1.0 / 3.0)) ** 3)
            values = [1.0, gT, 1.0, gV, F, 0.0]
            comment.append("Linear reducing functions (xi = %s K, zeta = %s m^3/mol) written "
                           "with beta = 1." % (num(p["xi"]), num(p["zeta"])))
        else:
            values = [p["betaT"], p["gammaT"], p["betaV"], p["gammaV"], F, 0.0]
        records.append((c1, c2, comment, code, values))
        seen.add(frozenset((c1, c2)))

    # GERG-2008 pairs the data set lacks
    names_by_cas = {v: k for k, v in cas_of.items()}
    gerg_codes = {d["name"]: d["model_code"] for d in ds.gerg["departure_functions"]}
    for g in ds.gerg["binary_parameters"]:
        c1, c2 = g["CAS1"], g["CAS2"]
        if frozenset((c1, c2)) in seen or c1 not in names_by_cas or c2 not in names_by_cas:
            continue
        code = gerg_codes.get(g["departure_function"], "KW0") if g["F"] != 0 else "KW0"
        records.append((c1, c2, ["%s/%s: GERG-2008, %s" % (g["name1"], g["name2"],
                                                             _short(ds, "Kunz-JCED-2012"))], code,
                        [g["betaT"], g["gammaT"], g["betaV"], g["gammaV"], g["F"], 0.0]))
        seen.add(frozenset((c1, c2)))
        report.setdefault("notes", []).append("hmx: pair %s/%s from GERG-2008"
                                              % (g["name1"], g["name2"]))

    names_by_cas_all = {v: k for k, v in cas_of.items()}
    if AMMONIA in names_by_cas_all and WATER in names_by_cas_all and \
            frozenset((AMMONIA, WATER)) not in seen:
        records.append(tr1_record())
        seen.add(frozenset((AMMONIA, WATER)))
    ge = gerg_records(ds, records, gerg_codes)
    report["hmx_gerg_records"] = len(ge)

    used = sorted({r[3] for r in records})
    lines = ["HMX               !mixture model", "2                 !version number", "",
             "!Binary mixing parameters and departure functions, written by the fluid-text",
             "!converter (tools/fluidtexts) from public coefficient data.",
             "!Record: columns 1-26 the CAS numbers of the pair, 27-29 the model code, then",
             "!beta_T, gamma_T, beta_v, gamma_v, F and a sixth value (not used).",
             "!A \"GE\" record just before a pair's record holds the pair's GERG-2008",
             "!parameters, read in GERG-2008 mode only.", "",
             "#BNC              !binary mixing coefficients", "BNC"]
    lines += info_lines(["Reducing functions of the multi-fluid mixture model: "
                         "T_r = sum x_i^2 T_ci + sum 2 x_i x_j beta_T gamma_T (x_i + x_j)/"
                         "(beta_T^2 x_i + x_j) sqrt(T_ci T_cj), the same form for 1/rho_r with "
                         "beta_v, gamma_v and (1/8)(rho_ci^(-1/3) + rho_cj^(-1/3))^3; "
                         "the departure function of the model code weighted by F."])
    lines.append("!end of info section")
    for c1, c2, comment, code, values in records:
        g = ge.get(frozenset((c1, c2)))
        if g is not None:
            lines += info_lines(g[2])
            lines.append(pair_record(g[0], g[1], g[3], g[4]))
            lines.append("!")
        lines += info_lines(comment)
        lines.append(pair_record(c1, c2, code, values))
        lines.append("!")
    lines.append("")
    for f in ds.departures:
        if expressible(f) and codes[f["Name"]] in used:
            lines += [""] + mxm_section(ds, f, codes[f["Name"]])
    if "KW0" in used and "KW0" not in {codes[f["Name"]] for f in ds.departures if expressible(f)}:
        raise ValueError("no KW0 section")
    lines += fixed_sections()
    lines += ["", "@END"]
    report["hmx_pairs"] = len(records)
    report["hmx_left_out"] = left_out
    return lines
