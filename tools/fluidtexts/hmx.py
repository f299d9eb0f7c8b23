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


def expressible(f):
    """True for the departure forms the text can hold: ordinary terms
    n tau^t delta^d exp(-delta^l) and Gaussian-bell terms in delta."""
    return f["type"] in ("Exponential", "GERG-2008") and len(f["n"]) <= 15


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
    if f["type"] == "GERG-2008":
        npow = f["Npower"]
        ordinary = [(n[k], f["t"][k], f["d"][k], 0) for k in range(npow)]
        bell = [(n[k], f["t"][k], f["d"][k], f["eta"][k], f["epsilon"][k], f["beta"][k],
                 f["gamma"][k]) for k in range(npow, len(n))]
    else:
        ordinary = [(n[k], f["t"][k], f["d"][k], f["l"][k]) for k in range(len(n))]
        bell = []
    lines.append("%d 4 0 %d 7 0 0 0".ljust(54) % (len(ordinary), len(bell)) +
                 " !terms: ordinary (n t d l), Gaussian-bell (n t d eta eps beta gamma)")
    for n_, t, d, l in ordinary:
        lines.append(term_line([n_, float(t), int(d), int(l)]))
    for n_, t, d, eta, eps, beta, gam in bell:
        lines.append(term_line([n_, float(t), int(d), float(eta), float(eps), float(beta),
                                float(gam)]))
    return lines


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
                    # the publication's departure function has a Gaussian in
                    # tau: take the pair of GERG-2008 (its own consistent set)
                    bT, gT, bV, gV = g["betaT"], g["gammaT"], g["betaV"], g["gammaV"]
                    if swap:
                        bT, bV = 1.0 / bT, 1.0 / bV
                    comment = ["%s/%s: GERG-2008 parameters, %s; the departure function of "
                               "%s (Gaussian in tau) cannot be written here."
                               % (n1, n2, _short(ds, "Kunz-JCED-2012"), _short(ds, p["BibTeX"]))]
                    records.append((c1, c2, comment, "KW0",
                                    [bT, gT, bV, gV, 0.0, 0.0]))
                    seen.add(frozenset((c1, c2)))
                    continue
                comment.append("Reducing parameters only: the departure function of the "
                               "publication (Gaussian in tau) cannot be written here.")
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

    used = sorted({r[3] for r in records})
    lines = ["HMX               !mixture model", "2                 !version number", "",
             "!Binary mixing parameters and departure functions, written by the fluid-text",
             "!converter (tools/fluidtexts) from public coefficient data.",
             "!Record: columns 1-26 the CAS numbers of the pair, 27-29 the model code, then",
             "!beta_T, gamma_T, beta_v, gamma_v, F and a sixth value (not used).", "",
             "#BNC              !binary mixing coefficients", "BNC"]
    lines += info_lines(["Reducing functions of the multi-fluid mixture model: "
                         "T_r = sum x_i^2 T_ci + sum 2 x_i x_j beta_T gamma_T (x_i + x_j)/"
                         "(beta_T^2 x_i + x_j) sqrt(T_ci T_cj), the same form for 1/rho_r with "
                         "beta_v, gamma_v and (1/8)(rho_ci^(-1/3) + rho_cj^(-1/3))^3; "
                         "the departure function of the model code weighted by F."])
    lines.append("!end of info section")
    for c1, c2, comment, code, values in records:
        lines += info_lines(comment)
        lines.append(pair_record(c1, c2, code, values))
        lines.append("!")
    lines.append("")
    for f in ds.departures:
        if expressible(f) and codes[f["Name"]] in used:
            lines += [""] + mxm_section(ds, f, codes[f["Name"]])
    if "KW0" in used and "KW0" not in {codes[f["Name"]] for f in ds.departures if expressible(f)}:
        raise ValueError("no KW0 section")
    lines += ["", "@END"]
    report["hmx_pairs"] = len(records)
    report["hmx_left_out"] = left_out
    return lines
