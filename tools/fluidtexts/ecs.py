"""Corresponding-states estimates: fluids without a usable equation of state
get an "ECS" equation on a built-in reference fluid, with generalized shape
factors, their own critical constants and acentric factor, and an ideal-gas
heat capacity from the data set's extra tables."""

import math
import re

import anc
import ancfit
import fluid
import header
import residual
import satstate
import sections
import surface
import transport
import verify
from textfmt import info_lines

# Reference fluid of each estimate: the built-in fluid closest in kind and,
# among those, in acentric factor.
REFERENCE = {
    "c1cc6": "toluene", "c3cc6": "toluene", "ioctane": "ihexane", "nf3": "r14",
    "r1216": "r1234yf", "re245cb2": "r245ca", "re245fa2": "r245ca", "re347mcc": "r365mfc",
    "propylen": "propane",
}

# Generalized shape factors of Huber and Ely (1994): theta = 1 + (w - w0)(a1 +
# a2 ln Tr), phi = [1 + (w - w0)(b1 + b2 ln Tr)] Zc0/Zc.
SHAPE_F = [(0.05203, 0.0), (-0.7498, 0.0)]
SHAPE_H = [(0.1436, 0.0), (-0.2822, 0.0)]
SHAPE_CITATION = ("M.L. Huber and J.F. Ely (1994): A predictive extended corresponding "
                  "states model for pure and mixed refrigerants including an equation of state "
                  "for R134a. Int. J. Refrigeration 17, 18-31.")
R_ECS = 8.314472
R_FIT = 8.314462618  # gas constant of the cp0 fits of the data set's extra tables


def _source_text(src):
    """The compilation a constant was taken from, as a short citation."""
    if not src:
        return ""
    if "ChemSep" in src:
        return "pure-component databank of Kooijman and Taylor"
    if "CCCBDB" in src:
        return "CCCBDB list of experimental dipole moments"
    m = re.search(r"\(([^()]*)\)", src)
    return m.group(1) if m else src


def constants(ds, name):
    """Header constants of an estimate."""
    if name in ds.missing:
        q = ds.missing[name]

        def v(k):
            x = q.get(k, {}).get("value", "")
            return float(x) if x not in ("", None) else None
        c = {"cas": q["full_name"]["CAS"], "full_name": q["full_name"]["value"],
             "formula": q["formula"]["value"], "M": v("molar_mass"), "Tc": v("Tc"),
             "pc": v("pc"), "Dc": v("Dc"), "omega": v("acentric"), "Ttp": v("Ttriple"),
             "Tnbp": v("NBP"), "dipole": v("dipole"),
             "sources": {k: _source_text(q.get(k, {}).get("source", "")) for k in
                         ("Tc", "pc", "Dc", "acentric", "Ttriple", "NBP", "dipole")}}
        return c
    row = ds.row[name]
    d = ds.pure(name)
    dip = ds.dipole[name]["dipole_debye"]
    return {"cas": row["CAS"], "full_name": d["INFO"].get("NAME", name),
            "formula": header.formula(name, d["INFO"].get("FORMULA")),
            "M": float(row["M_g_mol"]), "Tc": float(row["Tc_K"]), "pc": float(row["pc_kPa"]),
            "Dc": float(row["Dc_mol_L"]), "omega": float(row["acentric"]),
            "Ttp": float(row["Ttriple_K"]), "Tnbp": float(row["NBP_K"]),
            "dipole": float(dip) if dip else None, "sources": {}}


def reference_constants(ref_text):
    """Critical constants, limits and acentric factor of the reference fluid
    from its written text (the values its loader stores)."""
    sec = verify.sections(ref_text)
    body = sec[("#EOS", "FEQ")]
    n = [verify._nums(body[k]) for k in range(14)]
    Tc, pc, Dc = n[11][:3]
    R = n[13][0]
    return {"Tmin": n[0][0], "Tmax": n[1][0], "pmax": n[2][0], "Dmax": n[3][0],
            "omega": n[10][0], "Tc": Tc, "pc": pc, "Dc": Dc, "Zc": pc / (R * Tc * Dc),
            "sections": sec}


def cp0_terms(ds, name):
    """Recommended cp0 row of the extra table: power and Planck-Einstein
    terms of cp0/R."""
    r = ds.cp0_missing[name]
    power, pe = [], []
    text = r["coefficients"]
    pw, _, pes = text.partition("|")
    for item in pw.replace("power:", "").split(";"):
        if item.strip():
            c, t = item.split()
            power.append((float(c), float(t)))
    for item in pes.replace("PE:", "").split(";"):
        if item.strip():
            v, th = item.split()
            pe.append((float(v), float(th)))
    if r["scale"] != "R":
        raise ValueError("cp0 row of %s not in units of R" % name)
    return {"power": power, "pe": pe, "cosh": [], "sinh": []}, r


class Conformal:
    """Saturation states of a corresponding-states estimate, from those of
    its reference fluid's written equation.  With shape factors f(T), h(T)
    (no density terms) the estimate's residual Helmholtz energy at (T, D) is
    the reference's at T0 = T/f, D0 = D h: its compressibility factor is the
    reference's there and its Gibbs energies differ from the reference's by
    the same amount in both phases, so its saturation state at T is the
    reference's at T0, with densities D0/h and pressure p0 (R/R0) f/h.
    Offers the saturation and march methods of satstate.Equation."""

    def __init__(self, ref_text, c, ref):
        body = verify.sections(ref_text)[("#EOS", "FEQ")]
        eq = verify.read_feq(body)
        try:
            self.ref = satstate.TermEquation(eq["normal"], eq["critical"], eq["R"], eq["Tred"],
                                             eq["Dred"])
        except ValueError:
            self.ref = satstate.Equation(residual.alphar_feq(eq["normal"], eq["critical"]),
                                         eq["R"], eq["Tred"], eq["Dred"])
        v = [verify._nums(body[k])[0] for k in (6, 7, 8)]
        self.ref_tp = (v[0], v[1], v[2], v[1] / (eq["R"] * v[0]))
        self.R0, self.c = eq["R"], c
        self.dw = c["omega"] - ref["omega"]
        self.fscale, self.hscale = c["Tc"] / ref["Tc"], ref["Dc"] / c["Dc"] * ref["Zc"] / c["Zc"]

    def fh(self, T):
        lnTr = math.log(T / self.c["Tc"])
        f = self.fscale * (1.0 + self.dw * (SHAPE_F[0][0] + SHAPE_F[1][0] * lnTr))
        h = self.hscale * (1.0 + self.dw * (SHAPE_H[0][0] + SHAPE_H[1][0] * lnTr))
        return f, h

    def _back(self, T, f, h, state):
        p0, dl0, dv0 = state
        return p0 * (R_ECS / self.R0) * f / h, dl0 / h, dv0 / h

    def saturation(self, T, DL, DV):
        f, h = self.fh(T)
        return self._back(T, f, h, self.ref.saturation(T / f, DL * h, DV * h))

    def march(self, T_from, DL, DV, T_to):
        f0, h0 = self.fh(T_from)
        f, h = self.fh(T_to)
        return self._back(T_to, f, h, self.ref.march(T_from / f0, DL * h0, DV * h0, T_to / f))

    def triple_point(self, Tmin):
        """The estimate's saturation state at its lower limit, followed from
        the reference fluid's triple point."""
        T0, p0, dl0, dv0 = self.ref_tp
        _, dl0, dv0 = self.ref.saturation(T0, dl0, dv0)
        f, h = self.fh(Tmin)
        p, dl, dv = self._back(Tmin, f, h, self.ref.march(T0, dl0, dv0, Tmin / f))
        return Tmin, p, dl, dv


def conformal_refits(candidates, ref_text, c, ref):
    """Replacements of an estimate's ancillaries that miss its saturation
    states (ancfit); none when its saturation line cannot be followed."""
    try:
        eq = Conformal(ref_text, c, ref)
        tp = eq.triple_point(c["Tmin"])
    except satstate.NoSaturation:
        return {}
    return ancfit.refits(candidates, eq, tp, c["Tc"], c["pc"], c["Dc"])


def scaled_ancillaries(ref_sec, c, ref, ref_text, report):
    """The reference fluid's ancillary equations moved to the fluid's critical
    point (corresponding states); the vapour pressure gets the acentric-factor
    correction of Edmister, ln(p/pc) changing by -(7/3) ln(10) (w - w0) (1/Tr - 1).
    Where such an equation misses the estimate's own saturation states, a fit
    of the same form to those states is written instead."""
    scaled = []
    dw = c["omega"] - ref["omega"]
    for kind in ("PS", "DL", "DV"):
        key = [k for k in ref_sec if k[0] == "#" + kind]
        if not key:
            continue
        body = ref_sec[key[0]]
        code = key[0][1]
        Tr, Xr = verify._nums(body[4])[:2]
        n = int(verify._nums(body[5])[0])
        terms = [tuple(verify._nums(body[6 + i])[:2]) for i in range(n)]
        if kind == "PS":
            terms = terms + [(-7.0 / 3.0 * math.log(10.0) * dw, 1.0)]
            Xr_new = Xr * c["pc"] / ref["pc"]
        else:
            Xr_new = Xr * (c["Dc"] / ref["Dc"]) * (c["Zc"] / ref["Zc"])
        scaled.append(ancfit.Candidate(kind, code, c["Tc"] * Tr / ref["Tc"], Xr_new, terms,
                                       c["Tmin"], None))
    fitted = conformal_refits(scaled, ref_text, c, ref)
    out = []
    for s in scaled:
        kind = s.kind
        what = {"PS": "vapour pressure", "DL": "saturated liquid density",
                "DV": "saturated vapour density"}[kind]
        unit = "kPa" if kind == "PS" else "mol/L"
        if kind in fitted:
            r = fitted[kind]
            report.setdefault("ancillary", {})["%s %s" % (c["name"], kind)] = r
            para = fluid.refit_paragraphs(what, r, c["Tmin"], c["Tc"], "estimate")
            para[1] = ("It replaces the %s equation of %s moved to this fluid's critical point "
                       "by corresponding states, which deviates from this estimate by up to %s %% "
                       "(at %g K)." % (what, ref["name"], fluid.percent(abs(r.old[0])),
                                       r.old[1]))
            out += [""] + sections.opening("#", kind, r.code, what + " equation (estimate)",
                                           para)
            out += sections.ancillary_body(c["Tmin"], c["Tc"], r.Tr, r.Xr, unit, r.terms)
            continue
        para = ["Estimate: the %s equation of %s moved to this fluid's critical point by "
                "corresponding states%s." % (what, ref["name"],
                                             ", with an acentric-factor correction"
                                             if kind == "PS" else "")]
        out += [""] + sections.opening("#", kind, s.code, what + " equation (estimate)", para)
        out += sections.ancillary_body(c["Tmin"], c["Tc"], s.Tr, s.Xr, unit, s.terms)
    return out


def build(ds, name, ref_text, report):
    """Text of a corresponding-states estimate; ref_text: the lines of the
    reference fluid's written text."""
    c = constants(ds, name)
    refname = REFERENCE[name]
    ref = reference_constants(ref_text)
    ref["name"] = refname
    c["Zc"] = c["pc"] / (R_ECS * c["Tc"] * c["Dc"])
    scale_T, scale_p = c["Tc"] / ref["Tc"], c["pc"] / ref["pc"]
    Tmin = math.ceil(1.02 * ref["Tmin"] * scale_T * 100.0) / 100.0
    if c["Ttp"] is not None:
        Tmin = max(Tmin, c["Ttp"])
    c["Tmin"] = Tmin
    Tmax = float(math.floor(ref["Tmax"] * scale_T))
    pmax = float(math.floor(ref["pmax"] * scale_p))
    Dmax = math.ceil(ref["Dmax"] * (c["Dc"] / ref["Dc"]) * (c["Zc"] / ref["Zc"]) * 1000) / 1000
    pseudo = name == "propylen"
    if pseudo:
        d = ds.pure(name)
        eos = d["EOS"][0]
        e = fluid.eos_data(eos)
        e.update({"Tmin": Tmin, "Tmax": Tmax})
        cp_lines, _ = fluid.cp_section(ds, eos, e, "CPP", "#", Tmin, Tmax, report, name)
        cp_note = ("The ideal-gas heat capacity is the ideal-gas part of the unpublished "
                   "equation (the only one in the data).")
    else:
        terms, row = cp0_terms(ds, name)
        est = row["kind"].startswith("ESTIMATE")
        cp_para = ["Ideal-gas heat capacity, cp0/R as a sum of a constant and Planck-Einstein "
                   "terms (C_r = %r J/(mol K), the gas constant of the fit)." % R_FIT]
        if est:
            cp_para.append("Estimate: no measured or tabulated ideal-gas heat capacity was found; "
                           "the values combine the heat capacities of related fluids by a "
                           "bond-conserving scheme. Good to a few per cent above about 250 K, "
                           "rough below 200 K.")
        elif "JANAF" in row["source"]:
            cp_para.append("Fitted to the JANAF Thermochemical Tables (M.W. Chase, J. Phys. Chem. "
                           "Ref. Data Monograph 9, 1998), largest deviation 0.005 %.")
        else:
            cp_para.append("Fitted to the correlation of the TRC tables (Thermodynamics of Organic "
                           "Compounds in the Gas State, Thermodynamics Research Center, 1994); "
                           + row["notes"] + ".")
        cp_lines = sections.opening("#", "AUX", "CPP", "ideal-gas heat capacity", cp_para)
        cp_lines += sections.cpp_body(Tmin, max(Tmax, float(row["Tmax_K"])), R_FIT, terms)
        cp_note = ""
    refcode = "IIR" if (c["Tc"] > 280.0 and Tmin < 273.15 and
                        header.FAMILY.get(name, "") in ("HFO", "HFE", "HFC", "alkene")) else "NBP"
    h = {"name": name, "cas": c["cas"], "full_name": c["full_name"], "formula": c["formula"],
         "synonym": header.synonym(name, None) or c["full_name"], "M": c["M"], "Ttp": Tmin,
         "Tnbp": c["Tnbp"], "Tc": c["Tc"], "pc": c["pc"], "Dc": c["Dc"], "omega": c["omega"],
         "dipole": c["dipole"] if c["dipole"] is not None else 0.0, "refcode": refcode,
         "refvalues": None, "tags": []}
    if c["dipole"] is None:
        h["dipole_comment"] = "dipole moment [Debye] (no value available)"
    if name in header.FAMILY:
        h["tags"].append((header.FAMILY[name], "family"))
    if name in header.HEATING_VALUE:
        h["tags"].append((header.HEATING_VALUE[name], "heating value (gross) [kJ/mol], "
                          + header.HEATING_SOURCE))
    lines = header.header_lines(h)
    lines += ["!Fluid text written by the fluid-text converter (tools/fluidtexts).",
              "!CORRESPONDING-STATES ESTIMATE: no published equation of state of this fluid",
              "!was available; its properties are estimated from those of %s." % refname]
    if c["Ttp"] is None:
        lines.append("!No triple point is known; the lower limit is the reference fluid's, "
                     "scaled.")
    src = c["sources"]
    para = ["Corresponding-states estimate, not a fitted equation of state: the residual "
            "Helmholtz energy is that of %s at the conformal state, with the generalized shape "
            "factors of Huber and Ely (1994) and this fluid's critical point and acentric factor."
            % refname]
    if pseudo:
        para.append("The coefficient data set holds only an unpublished equation of state of "
                    "this fluid (given to its compilers by the authors); it is not used.")
    if src:
        para.append("Constants: critical point from %s; acentric factor from %s; triple point "
                    "from %s; normal boiling point from %s."
                    % (src.get("Tc", "?"), src.get("acentric", "?"),
                       src.get("Ttriple") or "(not known)", src.get("NBP", "?")))
    para.append(SHAPE_CITATION)
    body = {"Tmin": Tmin, "Tmax": Tmax, "pmax": pmax, "Dmax": Dmax, "cp_code": "CPP",
            "ref": refname, "ref_code": "FEQ", "omega0": ref["omega"], "Zc0": ref["Zc"],
            "omega": c["omega"], "Tc": c["Tc"], "pc": c["pc"], "Dc": c["Dc"],
            "fT": SHAPE_F, "fD": [], "hT": SHAPE_H, "hD": []}
    lines.append("")
    lines += sections.opening("#", "EOS", "ECS", "corresponding-states estimate on " + refname,
                              para)
    lines += sections.ecs_body(body)
    if cp_note:
        cp_lines[2:2] = info_lines([cp_note])
    lines += [""] + cp_lines
    lines += transport.sections(
        ds, name, {"Tred": c["Tc"], "Dred": c["Dc"], "M": c["M"], "R_lib": R_ECS, "Tmin": Tmin,
                   "Tmax": Tmax, "pmax": pmax, "Dmax": Dmax}, c,
        lambda keys: fluid.cite(ds, keys), header.FAMILY.get(name), report)
    if pseudo:
        d = ds.pure(name)
        lines += surface.sections_of(ds, name, d, Tmin, Tmax, lambda keys: fluid.cite(ds, keys))
        # (The melting line meets the estimate's own triple-point pressure.)
        try:
            ptp = Conformal(ref_text, c, ref).triple_point(Tmin)[1]
        except satstate.NoSaturation:
            ptp = float(ds.row[name]["ptriple_kPa"])
        lines += fluid.melting_section(ds, name, d, Tmin, ptp, report)
        fitted = conformal_refits(ancfit.data_candidates(d["ANCILLARIES"]), ref_text, c, ref)
        lines += fluid.ancillary_sections(ds, name, d, {"Tmin": Tmin}, c["Tc"], c["Dc"], report,
                                          fitted, "estimate")
    else:
        c["name"] = name
        lines += scaled_ancillaries(ref["sections"], c, ref, ref_text, report)
    lines += ["", "@END"]
    report.setdefault("ecs", {})[name] = refname
    return lines
