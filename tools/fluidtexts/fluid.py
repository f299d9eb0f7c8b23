"""Fluid texts of the fluids whose equation of state is in the data set
(pure fluids and the pseudo-pure blends)."""

import math

import anc
import ancfit
import header
import idealgas
import residual
import satstate
import sections
import surface
import transport
from textfmt import citation, info_lines

T0_REF, P0_REF = 298.15, 101.325  # ideal-gas reference point of "OT0"

# The numerical checks of the converted equations (they do not change the
# output; the determinism test switches them off to save time).
CHECKS = True

# The normal boiling point of carbon dioxide does not exist (its triple-point
# pressure is above one atmosphere); the header carries the sublimation
# temperature at 101.325 kPa instead.
CO2_SUBLIMATION_T = 194.686

# The range check takes a state for solid where the melting pressure lies
# below this share of its pressure.
MELTING_MARGIN = 0.9995

# Lower temperature limits of equations fitted above the data set's lowest
# temperature, where below that range they give no fluid: the limit (and
# the triple point written, the equation's lowest saturation state) is the
# fitted range's lower end, the data set's lowest saturation state.
FITTED_LOWER_LIMIT = {
    # Polt et al. (1992) fitted propyne from 273 K; below it the saturated
    # liquid has cv < 0 (-13.7 J/(mol K) at 210 K) and speeds of sound up
    # to 45 km/s (190.5 K).
    "propyne": (273.0, "The equation was fitted from 273 K up; below that it gives no fluid "
                "(negative heat capacities, speeds of sound of tens of km/s): its lower "
                "temperature limit, and the triple point given here, are those of 273 K "
                "(the fluid's triple point is 170.5 K)."),
}


def cite(ds, keys):
    out = []
    for k in [k.strip() for k in (keys or "").split(",") if k.strip()]:
        ref = ds.references.get(k)
        if ref is not None and ref.get("authors", "").strip():
            r = dict(ref)
            for f in ("published_in", "volume", "number", "pages"):
                if r.get(f, "").strip() == "(omitted)":
                    r[f] = ""
            out.append(citation(r))
    return out


def authors_year(ds, keys):
    k = [k.strip() for k in (keys or "").split(",") if k.strip()]
    ref = ds.references.get(k[0]) if k else None
    if not ref:
        return ""
    names = [a.strip() for a in ref["authors"].replace(" & ", " and ").split(" and ")]
    last = []
    for a in names:
        if "," in a:
            last.append(a.split(",")[0].strip())
        else:
            last.append(a.split()[-1] if a.split() else a)
    who = last[0] if len(last) == 1 else (last[0] + " and " + last[1] if len(last) == 2
                                          else last[0] + " et al.")
    return "%s (%s)" % (who, ref["year"].split(",")[0].strip())


def eos_data(eos):
    """Constants of a data-set equation.  "start" is the data set's lowest
    saturation state (T, liquid and vapour density); it lies above the
    equation's lower limit for some fluids and is only a start value for the
    triple point, which is solved on the written equation (triple_point)."""
    st = eos["STATES"]
    return {
        "R": eos["gas_constant"],
        "M": float("%.12g" % (eos["molar_mass"] * 1000.0)),
        "Tred": st["reducing"]["T"],
        "Dred": st["reducing"]["rhomolar"] / 1000.0,
        "Tmin": float(eos["Ttriple"]),
        "Tmax": float(eos["T_max"]),
        "pmax": eos["p_max"] / 1000.0,
        "Dtp": st["sat_min_liquid"]["rhomolar"] / 1000.0,
        "start": (st["sat_min_liquid"]["T"], st["sat_min_liquid"]["rhomolar"] / 1000.0,
                  st["sat_min_vapor"]["rhomolar"] / 1000.0),
    }


def written_equation(normal, critical, e):
    return satstate.Equation(residual.alphar_feq(normal, critical), e["R"], e["Tred"], e["Dred"])


def term_equation(weq, eos, e):
    """The written equation weq evaluated in plain floating point (for long
    saturation lines), or weq itself where it has non-analytic terms."""
    try:
        return satstate.TermEquation(*residual.map_terms(eos["alphar"]), e["R"], e["Tred"],
                                     e["Dred"])
    except ValueError:
        return weq


def triple_point(eq, Tmin, start, label, report, bubble=None):
    """Triple point of a written equation: the saturation state at its lower
    limit Tmin, followed from the start state (T, DL, DV) near the saturation
    boundary.  Returns (Tmin, ptp, Dtp, Dvtp); Tmin is raised (and reported)
    when the equation has no saturation state there.  bubble(T): for a
    pseudo-pure blend, the bubble-point pressure of its ancillary equation,
    which is the blend's triple-point pressure (Dtp is then the liquid root
    at that pressure)."""
    T0, DL0, DV0 = start
    try:
        _, DL, DV = eq.saturation(T0, DL0, DV0)
    except satstate.NoSaturation as why:
        raise ValueError("%s: no saturation state near the data set's lowest one (%s)"
                         % (label, why))
    try:
        p, DL, DV = eq.march(T0, DL, DV, Tmin)
    except satstate.NoSaturation:
        T, p, DL, DV = eq.lowest_saturation(Tmin, T0, DL, DV)
        report.setdefault("notes", []).append(
            "%s: no saturation state at %g K; lower limit and triple point raised to %g K"
            % (label, Tmin, T))
        report.setdefault("raised", {})[label] = (Tmin, T)
        Tmin = T
    if bubble is not None:
        p = bubble(Tmin)
        DL = eq.liquid_root(Tmin, p, DL)
    return Tmin, p, DL, DV


def boiling_point(eq, tp):
    """Normal boiling point of a written equation from its triple point
    (Tmin, ptp, Dtp, Dvtp), rounded to 12 digits; None when the triple-point
    pressure is not below 101.325 kPa."""
    Tmin, ptp, DL, DV = tp
    if ptp >= satstate.P_ATM:
        return None
    T, _, _, _ = eq.boiling_point(satstate.P_ATM, Tmin, DL, DV)
    return float("%.12g" % T)


def max_density_of(normal, critical, e):
    f = residual.alphar_feq(normal, critical)
    D = residual.max_density(f, e["R"], e["Tred"], e["Dred"], e["Tmin"], e["pmax"], e["Dtp"])
    if D is None or D < e["Dtp"] or D > 3.0 * e["Dtp"]:
        D = 1.1 * e["Dtp"]
    return math.ceil(D * 1000.0) / 1000.0


def check_points(e, Tc):
    """(tau, delta) states spread over the range of an equation."""
    Tmin, Tmax, Tred, Dred = e["Tmin"], e["Tmax"], e["Tred"], e["Dred"]
    temps = [Tmin * 1.02, 0.5 * (Tmin + Tc), 0.9 * Tc, Tc * 1.001, 1.5 * Tc, 0.95 * Tmax]
    dens = [1e-3, 0.2, 0.7, 1.0005, 1.8, min(2.8, 0.95 * e["Dtp"] / Dred)]
    return [(Tred / T, D) for T in temps if Tmin <= T <= Tmax for D in dens]


def rel(a, b, floor=1e-8):
    return abs(a - b) / max(abs(b), floor)


def verify_residual(normal, critical, blocks, pts):
    if not CHECKS:
        return 0.0
    fa = residual.alphar_feq(normal, critical)
    fb = residual.alphar_data(blocks)
    from hyperdual import derivatives
    worst = 0.0
    for tau, delta in pts:
        a, b = derivatives(fa, tau, delta), derivatives(fb, tau, delta)
        scale = max(abs(v) for v in b.values())
        for k in a:
            worst = max(worst, abs(a[k] - b[k]) / max(abs(b[k]), 1e-6 * scale, 1e-300))
    return worst


def cp_section(ds, eos, e, code, marker, Tmin, Tmax, report, label):
    terms = idealgas.cp_terms(eos["alpha0"], e["Tred"], Tmin, max(Tmax, 3000.0))
    worst = 0.0
    for i in range(60):
        T = Tmin + (Tmax - Tmin) * i / 59.0
        a = idealgas.cp0_cpp(terms, T)
        b = idealgas.cp0_over_R_data(eos["alpha0"], e["Tred"], T)
        worst = max(worst, rel(a, b))
    report.setdefault("cp0", {})[label] = worst
    para = []
    keys = eos.get("BibTeX_CP0") or eos.get("BibTeX_EOS")
    para.append("Ideal-gas heat capacity of the equation of state, converted exactly from its "
                "Helmholtz-energy ideal-gas part; C_r is the gas constant of the equation.")
    for n, t, c, d, k in terms["notes"]:
        para.append("The term %r ln(%r + %r exp(%r tau)) has no closed heat-capacity form; it "
                    "is written as its series expansion in %d Planck-Einstein terms (deviation "
                    "of cp0 over %g to %g K below %.0e relative)."
                    % (n, c, d, t, k, Tmin, Tmax, 10.0 ** math.ceil(math.log10(worst))))
    para += cite(ds, keys)
    lines = sections.opening(marker, "AUX", code, "ideal-gas heat capacity", para)
    lines += sections.cpp_body(Tmin, Tmax, e["R"], terms)
    return lines, terms


def ph_section(ds, eos, e, code, marker, Tmin, Tmax, report, label):
    try:
        terms = idealgas.ph_terms(eos["alpha0"], e["Tred"], Tmin, max(Tmax, 3000.0))
    except idealgas.NoHelmholtzForm as why:
        report.setdefault("notes", []).append("%s: no Helmholtz ideal-gas section (%s)"
                                              % (label, why))
        return []
    fa, fb = idealgas.alpha0_ph(terms), idealgas.alpha0_data(eos["alpha0"])
    worst = 0.0
    import hyperdual as hd
    for i in range(12 if CHECKS else 0):
        T = Tmin + (Tmax - Tmin) * i / 11.0
        tau = e["Tred"] / T
        ra, rb = fa(hd.HD(tau, 1.0, 1.0), hd.HD(0.5)), fb(hd.HD(tau, 1.0, 1.0), hd.HD(0.5))
        for x, y in ((ra.a, rb.a), (ra.b, rb.b), (ra.d, rb.d)):
            worst = max(worst, abs(x - y) / max(abs(y), 1.0))
    report.setdefault("ph0", {})[label] = worst
    para = ["Ideal-gas part of the equation of state in Helmholtz-energy form, including its "
            "integration constants."] + cite(ds, eos.get("BibTeX_CP0") or eos.get("BibTeX_EOS"))
    lines = sections.opening(marker, "AUX", code, "Helmholtz-energy ideal-gas part", para)
    lines += sections.ph0_body(Tmin, Tmax, terms)
    return lines


def feq_section(ds, name, eos, e, consts, code, marker, cp_code, report, label):
    normal, critical = residual.map_terms(eos["alphar"])
    e = dict(e)
    e.update(consts)
    e["Dmax"] = max_density_of(normal, critical, e)
    e["cp_code"] = cp_code
    e["normal"], e["critical"] = normal, critical
    worst = verify_residual(normal, critical, eos["alphar"], check_points(e, consts["Tc"]))
    report.setdefault("residual", {})[label] = worst
    para = ["Helmholtz-energy equation of state of %s." % authors_year(ds, eos["BibTeX_EOS"])]
    para += cite(ds, eos["BibTeX_EOS"])
    desc = "Helmholtz equation of state for %s of %s" % (consts["label"],
                                                         authors_year(ds, eos["BibTeX_EOS"]))
    lines = sections.opening(marker, "EOS", code, desc, para)
    lines += sections.feq_body(e)
    return lines, e


def ancillary_sections(ds, name, d, e, Tc, Dc, report, refits=None, model="equation of state"):
    """The saturation ancillaries: the data set's equations, or where
    refits (ancfit.refits) has one, the equation fitted to the written
    equation of state instead."""
    a = d["ANCILLARIES"]
    pure = "pS" in a
    refits = refits or {}
    out = []
    kinds = [("PS", "pS" if pure else "pV"), ("PL", None if pure else "pL"), ("DL", "rhoL"),
             ("DV", "rhoV")]
    for kind, key in kinds:
        if key is None or key not in a:
            continue
        x = a[key]
        what = {"PS": "vapour pressure" if pure else "dew-point pressure",
                "PL": "bubble-point pressure", "DL": "saturated liquid density",
                "DV": "saturated vapour density" if pure else "dew-point vapour density"}[kind]
        unit = "kPa" if kind in ("PS", "PL") else "mol/L"
        if kind in refits:
            r = refits[kind]
            out += [""] + sections.opening("#", kind, r.code, what + " equation",
                                           refit_paragraphs(what, r, e["Tmin"], Tc, model))
            out += sections.ancillary_body(e["Tmin"], Tc, r.Tr, r.Xr, unit, r.terms)
            report.setdefault("ancillary", {})["%s %s" % (name, kind)] = r
            continue
        code, terms = anc.anc_code(kind, x)
        Tr = x["T_r"]
        Xr = x["reducing_value"] / (1000.0 if kind in ("PS", "PL") else 1000.0)
        Tlow = x["Tmin"]
        if e["Tmin"] < Tlow and anc.sane_extension(kind, code, Tr, Xr, terms, Tlow, e["Tmin"], Dc):
            Tlow = e["Tmin"]
        elif e["Tmin"] < Tlow:
            report.setdefault("notes", []).append(
                "%s: %s equation kept at its lower limit %g K (it does not extend to %g K)"
                % (name, kind, Tlow, e["Tmin"]))
        stated = x.get("max_abserror_percentage")
        if isinstance(stated, (int, float)) and math.isfinite(stated):
            para = ["Ancillary equation for the %s, fitted to the equation of state (largest "
                    "deviation %.2g %%)." % (what, stated)]
        else:
            para = ["Ancillary equation for the %s, fitted to the equation of state." % what]
        out += [""] + sections.opening("#", kind, code, what + " equation", para)
        out += sections.ancillary_body(Tlow, x["Tmax"], Tr, Xr, unit, terms)
    return out


def percent(v):
    return "%.0f" % v if v >= 100.0 else "%.2g" % v


def refit_paragraphs(what, r, Tmin, Tc, model="equation of state"):
    """Information lines of an ancillary fitted by the converter to the
    saturation states of the text's model ("equation of state" or
    "estimate")."""
    first = ("Ancillary equation for the %s, fitted by the fluid-text converter to the "
             "saturation states of the %s of this text (largest deviation %s %% from %g K "
             "to %.5g K, 0.995 Tc)." % (what, model, percent(abs(r.new[0])), Tmin,
                                        0.995 * Tc))
    if r.why == "short":
        second = ("It replaces the equation of the coefficient data, which holds from %g K "
                  "only." % r.T_data)
    elif math.isinf(r.old[0]):
        second = ("It replaces the equation of the coefficient data, which has no finite "
                  "value at %g K." % r.old[1])
    else:
        second = ("It replaces the equation of the coefficient data, which deviates from this "
                  "%s by up to %s %% (at %g K)." % (model, percent(abs(r.old[0])), r.old[1]))
    return [first, second]


def through_triple_point(code, segs, Ttp, ptp, name, report):
    """The segments of a melting line starting at the triple point, with the
    first one's constant raised where the line lies below the written
    equation's triple-point pressure ptp there: the data set's lines end at
    its own, lower value (propylene 7.47e-7 kPa, the equation's 1.01e-6),
    and the range check took the saturated liquid at the triple point for a
    solid (it does where the melting pressure lies below MELTING_MARGIN
    times the pressure; lines within that band are kept as published)."""
    first = segs[0]
    if code != "ML1" or abs(first[0] - Ttp) > 1e-9:
        return segs
    Tstart, Tred, Pred, power, diff = first
    pm = anc.melting_eval(code, Tred, Pred, power, diff, Ttp)
    constant = [k for k, (_, t) in enumerate(power) if t == 0.0]
    if not (pm < MELTING_MARGIN * ptp) or not constant:
        return segs
    k = constant[0]
    power = list(power)
    power[k] = (power[k][0] + (ptp - pm) / Pred, 0.0)
    report.setdefault("notes", []).append(
        "%s: melting line raised by %g kPa to the triple-point pressure" % (name, ptp - pm))
    return [(Tstart, Tred, Pred, power, diff)] + list(segs[1:])


def melting_section(ds, name, d, Ttp, ptp, report):
    ml = d["ANCILLARIES"].get("melting_line")
    if not ml:
        return []
    para = []
    if name == "water":
        code, Tlow, Thigh = "MLW", 251.165, 715.0
        segs = [(Tlow, 273.16, 0.611657, [], [])]
        para.append("Melting pressure of the ice phases Ih, III, V, VI and VII after the IAPWS "
                    "release of 2011; the model carries its own constants.")
    else:
        code, Tlow, Thigh, segs, note = anc.melting_terms(ml, Ttp)
        segs = through_triple_point(code, segs, Ttp, ptp, name, report)
        if note:
            count, lo, hi = note
            if len(segs) == count:
                para.append("The published line has %d segments, each used in its own range "
                            "(from %g to %g K)." % (count, lo, hi))
            elif len(segs) > 1:
                para.append("The published line has %d segments; the %d above the triple point "
                            "are used, each in its own range (from %g to %g K)."
                            % (count, len(segs), lo, hi))
            else:
                para.append("The published line has %d segments; the one from %g to %g K is "
                            "the only one above the triple point." % (count, lo, hi))
            report.setdefault("notes", []).append(
                "%s: melting line of %d segments, %d used from %g to %g K" %
                (name, count, len(segs), lo, hi))
    para += cite(ds, ml.get("BibTeX"))
    out = [""] + sections.opening("#", "MLT", code, "melting line", para)
    out += sections.melting_body(Tlow, Thigh, segs)
    return out


def reference_state(ds, name, eos, e, has_nbp=True):
    """Default reference state; "NBP" only for a fluid that has a normal
    boiling point (otherwise the ideal-gas state "OT0")."""
    code = ds.row[name]["reference_state"]
    if code == "IIR" or (code == "NBP" and has_nbp):
        return code, None
    h0, s0 = idealgas.ideal_h_s(eos["alpha0"], e["R"], e["Tred"], e["Dred"], T0_REF, P0_REF)
    return "OT0", (T0_REF, P0_REF, h0, s0)


def blend_bubble(d):
    """Bubble-point pressure (kPa) of a blend's "PL" ancillary, as written."""
    x = d["ANCILLARIES"]["pL"]
    code, terms = anc.anc_code("PL", x)
    return lambda T: anc.anc_eval(code, x["T_r"], x["reducing_value"] / 1000.0, terms, T)


def normal_boiling_point(ds, name, weq, tp, report):
    """(value for the normal-boiling-point fields, note or None).  The data
    set's value where it has one; else the written equation's saturation
    temperature at 101.325 kPa; for a fluid whose triple-point pressure is
    above 101.325 kPa the published sublimation temperature (carbon dioxide)
    or the triple-point temperature.  The note is (kind, text)."""
    Tnbp = ds.number(name, "NBP_K")
    if Tnbp is not None:
        if tp[1] >= satstate.P_ATM:
            raise ValueError("%s: normal boiling point given, but the triple-point pressure "
                             "is %g kPa" % (name, tp[1]))
        if CHECKS and not ds.pure(name)["EOS"][0].get("pseudo_pure"):
            own = boiling_point(weq, tp)
            report.setdefault("nbp", {})[name] = (Tnbp, own)
        return Tnbp, None
    T = boiling_point(weq, tp)
    if T is not None:
        report.setdefault("notes", []).append("%s: normal boiling point %r K computed from the "
                                              "equation" % (name, T))
        return T, ("computed", "The normal boiling point is the saturation temperature of the "
                   "equation of state at 101.325 kPa (the coefficient data give none).")
    pressure = "The triple-point pressure (%.6g kPa) is above 101.325 kPa" % tp[1]
    if name == "co2":
        return CO2_SUBLIMATION_T, ("sublimation", pressure + "; the value given as normal "
                                   "boiling point is the sublimation temperature at 101.325 kPa.")
    report.setdefault("notes", []).append(
        "%s: no normal boiling point (triple-point pressure %g kPa); triple-point temperature "
        "written" % (name, tp[1]))
    return tp[0], ("none", pressure + ": the fluid has no normal boiling point, and the value "
                   "given for it is the triple-point temperature.")


def tags(name, info):
    out = []
    if name == "air":
        return out  # the air text carries no tagged lines
    if name in header.FAMILY:
        out.append((header.FAMILY[name], "family"))
    if name in header.HEATING_VALUE:
        out.append((header.HEATING_VALUE[name], "heating value (gross) [kJ/mol], "
                    + header.HEATING_SOURCE))
    elif name in header.NON_COMBUSTIBLE:
        out.append((0.0, "heating value (gross) [kJ/mol]"))
    env = (info or {}).get("ENVIRONMENTAL", {})
    if env.get("ASHRAE34") and env["ASHRAE34"] not in ("UNKNOWN", "-1"):
        out.append((env["ASHRAE34"], "safety group (ASHRAE Standard 34)"))
    if isinstance(env.get("GWP100"), (int, float)) and env["GWP100"] >= 0:
        out.append((env["GWP100"], "GWP (100 years)"))
    if isinstance(env.get("ODP"), (int, float)) and env["ODP"] >= 0:
        out.append((env["ODP"], "ODP"))
    return out


def gerg_sections(ds, name, consts, report):
    """"@EOS FEK" and "@AUX PHK": the fluid's equation of GERG-2008."""
    import gerg
    return gerg.fek_sections(ds, name, consts, report)


def transport_eos(e, e_used):
    """What the transport sections take from the written equation."""
    return {"Tred": e["Tred"], "Dred": e["Dred"], "M": e["M"], "R_lib": e["R"],
            "Tmin": e["Tmin"], "Tmax": e["Tmax"], "pmax": e["pmax"], "Dmax": e_used["Dmax"]}


def build(ds, name, report):
    """The complete text of a fluid whose equation is in the data set."""
    d = ds.pure(name)
    row = ds.row[name]
    usable = int(row["EOS_index"])
    eos = d["EOS"][usable]
    e = eos_data(eos)
    fitted = FITTED_LOWER_LIMIT.get(name)
    if fitted:
        e["Tmin"] = fitted[0]
    info = d.get("INFO", {})
    pseudo = bool(eos.get("pseudo_pure"))
    if usable == 0:
        Tc, pc, Dc = float(row["Tc_K"]), float(row["pc_kPa"]), float(row["Dc_mol_L"])
    else:
        r = eos["STATES"]["reducing"]
        Tc, pc, Dc = r["T"], r["p"] / 1000.0, r["rhomolar"] / 1000.0
    weq = written_equation(*residual.map_terms(eos["alphar"]), e)
    tp = triple_point(weq, e["Tmin"], e["start"], name, report,
                      blend_bubble(d) if pseudo else None)
    e["Tmin"], ptp, e["Dtp"], Dvtp = tp
    Tnbp, nbp_note = normal_boiling_point(ds, name, weq, tp, report)
    dip = ds.dipole[name]["dipole_debye"]
    refcode, refvalues = reference_state(ds, name, eos, e, nbp_note is None or
                                         nbp_note[0] == "computed")
    h = {
        "name": name, "cas": info["CAS"] if not pseudo else info["CAS"].split(".")[0],
        "full_name": info.get("NAME", name), "formula": header.formula(name, info.get("FORMULA")),
        "synonym": header.synonym(name, info) or info.get("NAME", name),
        "M": e["M"], "Ttp": e["Tmin"], "Tnbp": Tnbp, "Tc": Tc, "pc": pc, "Dc": Dc,
        "omega": eos["acentric"], "dipole": float(dip) if dip else 0.0,
        "refcode": refcode, "refvalues": refvalues, "tags": tags(name, info),
    }
    if not dip:
        h["dipole_comment"] = "dipole moment [Debye] (no value available)"
    lines = header.header_lines(h)
    lines += ["!Fluid text written by the fluid-text converter (tools/fluidtexts) from public",
              "!coefficient data; the equations are those of the publications cited below."]
    if nbp_note:
        lines += ["!" + ln[1:] for ln in info_lines([nbp_note[1]], 80)]
    if pseudo:
        lines.append("!Pseudo-pure fluid: the blend is treated as one component.")
    consts = {"M": e["M"], "Ttp": e["Tmin"], "ptp": ptp, "Dtp": e["Dtp"], "Dvtp": Dvtp,
              "Tnbp": Tnbp, "omega": eos["acentric"], "dipole": float(dip) if dip else None,
              "Tc": Tc, "pc": pc,
              "Dc": Dc, "label": info.get("NAME", name).lower()}
    lines.append("")
    feq, e_used = feq_section(ds, name, eos, e, consts, "FEQ", "#", "CPP", report, name)
    if nbp_note:
        feq[2:2] = info_lines([nbp_note[1]])
    if fitted:
        feq[2:2] = info_lines([fitted[1]])
    if usable != 0:
        first = d["EOS"][0]
        note = ("The first equation of the coefficient data set, of %s, has terms that this "
                "format cannot hold; the equation written here is the next one that fits."
                % authors_year(ds, first["BibTeX_EOS"]))
        feq[2:2] = info_lines([note])
        report.setdefault("notes", []).append("%s: written equation is EOS[%d], not EOS[0]"
                                              % (name, usable))
    lines += feq
    # heat-capacity sections written so far: (terms, C_r, code); an alternative
    # shares one only when both its terms and its gas constant (C_r) agree
    cp_done = [(idealgas.cp_terms(eos["alpha0"], e["Tred"], e["Tmin"], 3000.0), e["R"], "CPP")]
    aux = []
    alt = 0
    for k in d["_meta"]["EOS_indices_that_fit"]:
        if k == usable:
            continue
        alt += 1
        ek = d["EOS"][k]
        ee = eos_data(ek)
        label = "%s FE%d" % (name, alt)
        ee["Tmin"], ptp_k, ee["Dtp"], _ = triple_point(
            written_equation(*residual.map_terms(ek["alphar"]), ee), ee["Tmin"], ee["start"],
            label, report)
        r = ek["STATES"]["reducing"]
        c2 = dict(consts)
        c2.update({"M": ee["M"], "Ttp": ee["Tmin"], "ptp": ptp_k, "Dtp": ee["Dtp"],
                   "omega": ek["acentric"], "Tc": r["T"], "pc": r["p"] / 1000.0,
                   "Dc": r["rhomolar"] / 1000.0})
        cp_code = None
        t_k = idealgas.cp_terms(ek["alpha0"], ee["Tred"], ee["Tmin"], 3000.0)
        for t_0, cr, c in cp_done:
            if t_0["power"] == t_k["power"] and t_0["pe"] == t_k["pe"] and \
                    t_0["cosh"] == t_k["cosh"] and t_0["sinh"] == t_k["sinh"] and cr == ee["R"]:
                cp_code = c
        if cp_code is None:
            cp_code = "CP%d" % alt
            sec, _ = cp_section(ds, ek, ee, cp_code, "@", ee["Tmin"], ee["Tmax"], report, label)
            aux += [""] + sec
            cp_done.append((t_k, ee["R"], cp_code))
        lines.append("")
        sec, _ = feq_section(ds, name, ek, ee, c2, "FE%d" % alt, "@", cp_code, report, label)
        lines += sec
    if name in ds.gerg_component:
        fek, phk = gerg_sections(ds, name, consts, report)
        lines += [""] + fek
        aux = [""] + phk + aux
    sec, _ = cp_section(ds, eos, e, "CPP", "#", e["Tmin"], e["Tmax"], report, name)
    lines += [""] + sec + aux
    ph = ph_section(ds, eos, e, "PH0", "@", e["Tmin"], e["Tmax"], report, name)
    if ph:
        lines += [""] + ph
    lines += transport.sections(ds, name, transport_eos(e, e_used), consts,
                                lambda keys: cite(ds, keys), header.FAMILY.get(name), report)
    lines += surface.sections_of(ds, name, d, e["Tmin"], e["Tmax"], lambda keys: cite(ds, keys))
    lines += melting_section(ds, name, d, e["Tmin"], consts["ptp"], report)
    # the blends' pressures are dew and bubble lines, not saturation states of
    # their equation: their ancillaries are taken as they are
    fitted = {} if pseudo else ancfit.refits(ancfit.data_candidates(d["ANCILLARIES"]),
                                             term_equation(weq, eos, e), tp, Tc, pc, Dc)
    lines += ancillary_sections(ds, name, d, e, Tc, Dc, report, fitted)
    lines += ["", "@END"]
    return lines, e_used
