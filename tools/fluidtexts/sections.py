"""Model sections of a fluid text: the opening lines (marker, model line,
information lines, "!end of info section") and the body of each model in
the layout its loader reads."""

from textfmt import info_lines, num, term_line, value_line

KIND_COMMENT = {
    "EOS": "equation of state", "AUX": "auxiliary model", "PS": "vapour pressure",
    "PL": "liquid (bubble-point) pressure", "DL": "saturated liquid density",
    "DV": "saturated vapour density", "MLT": "melting line", "STN": "surface tension",
}


def opening(marker, kind, code, description, paragraphs):
    lines = [(marker + kind).ljust(20) + "!" + KIND_COMMENT[kind],
             code.ljust(3) + "  " + description]
    lines += info_lines(paragraphs)
    lines.append("!end of info section")
    return lines


def feq_body(eq):
    """eq: dict with Tmin, Tmax, pmax, Dmax, cp_code, M, Ttp, ptp, Dtp, Tnbp,
    omega, Tc, pc, Dc, Tred, Dred, R, normal, critical."""
    normal, critical = eq["normal"], eq["critical"]
    five = any(l != 0 and g != 1.0 for (_, _, _, l, g) in normal)
    lines = [
        value_line([eq["Tmin"]], "lower temperature limit [K]"),
        value_line([eq["Tmax"]], "upper temperature limit [K]"),
        value_line([eq["pmax"]], "upper pressure limit [kPa]"),
        value_line([eq["Dmax"]], "maximum density [mol/L]"),
        value_line([eq["cp_code"]], "ideal-gas model"),
        value_line([eq["M"]], "molar mass [g/mol]"),
        value_line([eq["Ttp"]], "triple point temperature [K]"),
        value_line([eq["ptp"]], "pressure at triple point [kPa]"),
        value_line([eq["Dtp"]], "density at triple point [mol/L]"),
        value_line([eq["Tnbp"]], "normal boiling point temperature [K]"),
        value_line([eq["omega"]], "acentric factor"),
        value_line([eq["Tc"], eq["pc"], eq["Dc"]], "Tc [K], pc [kPa], Dc [mol/L]", 60),
        value_line([eq["Tred"], eq["Dred"]], "reducing parameters [K, mol/L]", 60),
        value_line([eq["R"]], "gas constant [J/(mol K)]"),
        value_line([len(normal), 5 if five else 4, len(critical), 12, 0, 0],
                   "terms and columns: normal, critical, spare"),
    ]
    for (n, t, d, l, g) in normal:
        vals = [n, float(t), int(d), int(l)]
        if five:
            vals.append(float(g))
        lines.append(term_line(vals))
    for c in critical:
        n, t, d, l, m, c6, c7, c8, c9, c10, c11, c12 = c
        lines.append(term_line([n, float(t), int(d), int(l), float(m), float(c6), float(c7),
                                float(c8), float(c9), float(c10), float(c11), float(c12)]))
    return lines


def cpp_body(Tmin, Tmax, Cr, terms):
    p, e, c, s = terms["power"], terms["pe"], terms["cosh"], terms["sinh"]
    if len(p) + len(e) + len(c) + len(s) > 20:
        raise ValueError("more than 20 heat-capacity terms")
    lines = [
        value_line([Tmin], "lower temperature limit [K]"),
        value_line([Tmax], "upper temperature limit [K]"),
        value_line([0.0], "upper pressure limit [kPa]"),
        value_line([0.0], "maximum density [mol/L]"),
        value_line([1.0, Cr], "reducing parameters for T [K] and cp0 [J/(mol K)]", 40),
        value_line([len(p), len(e), len(c), len(s), 0, 0, 0],
                   "terms: power, Planck-Einstein, cosh, sinh", 40),
    ]
    lines += [term_line([a, float(t)]) for a, t in p]
    lines += [term_line([v, float(th)]) for v, th in e]
    lines += [term_line([a1, -2.0, a3, -1.0, -2.0]) for a1, a3 in c]
    lines += [term_line([a1, -2.0, a3, -1.0, -2.0]) for a1, a3 in s]
    return lines


def ph0_body(Tmin, Tmax, terms):
    groups = [terms["log"], terms["power"], terms["pe"], terms["cosh"], terms["sinh"]]
    lines = [
        value_line([Tmin], "lower temperature limit [K]"),
        value_line([Tmax], "upper temperature limit [K]"),
        value_line([0.0], "upper pressure limit [kPa]"),
        value_line([0.0], "maximum density [mol/L]"),
        value_line([len(g) for g in groups] + [0, 0, 0],
                   "terms: log(tau), tau^t, ln(1-exp(b tau)), ln cosh, ln sinh", 40),
    ]
    for g in groups:
        lines += [term_line([a, float(t)]) for a, t in g]
    return lines


def ancillary_body(Tmin, Tmax, Tr, Xr, unit, terms):
    if len(terms) > 15:
        raise ValueError("more than 15 ancillary terms")
    lines = [
        value_line([Tmin], "lower temperature limit [K]"),
        value_line([Tmax], "upper temperature limit [K]"),
        value_line([0.0], "(not used)"),
        value_line([0.0], "(not used)"),
        value_line([Tr, Xr], "reducing parameters [K, %s]" % unit, 40),
        value_line([len(terms), 0, 0, 0, 0, 0], "number of terms"),
    ]
    lines += [term_line([n, float(t)]) for n, t in terms]
    return lines


def melting_body(Tmin, Tmax, segments):
    """segments: (Tstart, Tred, Pred, power, diff) in order of temperature;
    the first holds from Tmin, each further one (announced by the fourth
    count) from its Tstart on, with its own reducing values and counts."""
    terms = sum(len(power) + len(diff) for _, _, _, power, diff in segments)
    if terms > 8:
        raise ValueError("more than 8 melting-line terms")
    _, Tred, Pred, power, diff = segments[0]
    further = len(segments) - 1
    lines = [
        value_line([Tmin], "lower temperature limit [K]"),
        value_line([Tmax], "upper temperature limit [K]"),
        value_line([0.0], "(not used)"),
        value_line([0.0], "(not used)"),
        value_line([Tred, Pred], "reducing temperature [K] and pressure [kPa]", 40),
        value_line([len(power), len(diff), 0, further, 0, 0],
                   "terms: powers of Tr, of (Tr-1), of ln(Tr); further segments"
                   if further else "terms: powers of Tr, of (Tr-1), of ln(Tr)"),
    ]
    for g in (power, diff):
        lines += [term_line([a, float(t)]) for a, t in g]
    for Tstart, Tred, Pred, power, diff in segments[1:]:
        lines.append(value_line([Tstart, Tred, Pred, len(power), len(diff), 0],
                                "segment from T [K]: reducing T [K], P [kPa]; terms", 40))
        for g in (power, diff):
            lines += [term_line([a, float(t)]) for a, t in g]
    return lines


def surface_tension_body(Tmin, Tmax, Tc, terms):
    lines = [
        value_line([Tmin], "lower temperature limit [K]"),
        value_line([Tmax], "upper temperature limit [K]"),
        value_line([0.0], "(not used)"),
        value_line([0.0], "(not used)"),
        value_line([len(terms)], "number of terms"),
        value_line([Tc], "critical temperature of the fit [K]"),
    ]
    lines += [term_line([a, float(n)]) for a, n in terms]
    return lines


def ecs_body(e):
    lines = [
        value_line([e["Tmin"]], "lower temperature limit [K]"),
        value_line([e["Tmax"]], "upper temperature limit [K]"),
        value_line([e["pmax"]], "upper pressure limit [kPa]"),
        value_line([e["Dmax"]], "maximum density [mol/L]"),
        value_line([e["cp_code"]], "ideal-gas model"),
        value_line([e["ref"]], "reference fluid"),
        value_line([e["ref_code"]], "equation of state of the reference fluid"),
        value_line([e["omega0"]], "acentric factor of the reference fluid"),
        value_line([e["Zc0"]], "critical compressibility of the reference fluid"),
        value_line([e["omega"]], "acentric factor of the fluid"),
        value_line([e["Tc"]], "critical temperature [K]"),
        value_line([e["pc"]], "critical pressure [kPa]"),
        value_line([e["Dc"]], "critical density [mol/L]"),
    ]
    for key, what in (("fT", "temperature terms of f"), ("fD", "density terms of f"),
                      ("hT", "temperature terms of h"), ("hD", "density terms of h")):
        lines.append(value_line([len(e[key])], "number of " + what))
        lines += [term_line([a, float(t)]) for a, t in e[key]]
    return lines
