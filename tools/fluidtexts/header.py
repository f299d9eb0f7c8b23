"""Header of a fluid text: names, formula, constants, reference state and the
tagged lines (chemical family, heating value, safety group)."""

import re

from textfmt import num, value_line

VERSION = "10.0"

# Chemical family of each fluid (a classification, written on the "!fa" line).
FAMILY = {}
for _fam, _names in {
    "n-alkane": "methane ethane propane butane pentane hexane heptane octane nonane decane c11 c12",
    "br-alkane": "isobutane ipentane neopentn ihexane ioctane",
    "cycloalkane": "cyclopro cyclopen cyclohex c1cc6 c3cc6",
    "alkene": "ethylene propylen 1butene c2butene t2butene ibutene",
    "alkyne": "propyne",
    "aromatic": "benzene toluene ebenzene mxylene oxylene pxylene",
    "alcohol": "methanol ethanol",
    "ether": "dme dee",
    "ketone": "acetone",
    "carbonate": "dmc",
    "methyl ester": "mlinolea mlinolen moleate mpalmita mstearat",
    "siloxane": "d4 d5 d6 mm mdm md2m md3m md4m",
    "noble gas": "argon helium neon krypton xenon",
    "cryogen": "hydrogen parahyd orthohyd d2 nitrogen oxygen fluorine co",
    "inorganic": "water d2o co2 ammonia h2s so2 n2o cos hcl nf3 sf6",
    "CFC": "r11 r12 r13 r113 r114 r115",
    "HCFC": "r21 r22 r123 r124 r141b r142b",
    "HCFO": "r1233zd",
    "HFC": "r23 r32 r41 r125 r134a r143a r152a r161 r227ea r236ea r236fa r245ca r245fa r365mfc",
    "HFO": "r1234yf r1234ze r1216",
    "PFC": "r14 r116 r218 rc318 c4f10 c5f12",
    "halocarbon": "r40 cf3i",
    "HFE": "re143a re245cb2 re245fa2 re347mcc",
    "fluoroketone": "novec649",
    "blend": "r404a r407c r410a r507a",
}.items():
    for _n in _names.split():
        FAMILY[_n] = _fam

# Superior (gross) heating values at 25 C and 101.325 kPa, kJ/mol, of the
# combustible fuels (ISO 6976:1995, table of ideal-gas calorific values).
HEATING_VALUE = {
    "methane": 890.63, "ethane": 1560.69, "propane": 2219.17, "butane": 2877.40,
    "isobutane": 2868.20, "pentane": 3535.77, "ipentane": 3528.83, "neopentn": 3514.61,
    "hexane": 4194.95, "heptane": 4853.43, "octane": 5511.80, "nonane": 6171.15,
    "decane": 6829.77, "hydrogen": 285.83, "co": 282.98, "h2s": 562.01,
    "ethylene": 1411.18, "propylen": 2058.02,
}
# Fluids that do not burn: heating value 0.
NON_COMBUSTIBLE = "water co2 nitrogen oxygen argon helium neon krypton xenon d2o sf6".split()
HEATING_SOURCE = "ISO 6976:1995, superior calorific value at 25 C"

# Sum formulas for entries whose formula is missing or not in sum form.
FORMULA_OVERRIDE = {
    "orthohyd": "H2", "parahyd": "H2", "r1233zd": "C3H2ClF3", "c4f10": "C4F10",
    "c5f12": "C5F12",
}
BLEND_FORMULA = {
    "air": "N2+O2+Ar (air)",
    "r404a": "R125/R143a/R134a (44/52/4)",
    "r407c": "R32/R125/R134a (23/25/52)",
    "r410a": "R32/R125 (50/50)",
    "r507a": "R125/R143a (50/50)",
}


def formula(name, info_formula):
    """Sum formula in Hill order (C, H, then alphabetical)."""
    if name in FORMULA_OVERRIDE:
        return FORMULA_OVERRIDE[name]
    if name in BLEND_FORMULA:
        return BLEND_FORMULA[name]
    if not info_formula:
        return ""
    counts = {}
    for el, k in re.findall(r"([A-Z][a-z]?)_\{(\d+)\}", info_formula):
        counts[el] = counts.get(el, 0) + int(k)
    if not counts:
        return info_formula

    def part(el):
        k = counts[el]
        return el + (str(k) if k != 1 else "")
    order = [e for e in ("C", "H") if e in counts] if "C" in counts else []
    order += sorted(e for e in counts if e not in order)
    return "".join(part(e) for e in order)


def synonym(name, info):
    """Refrigerant number where the fluid has one ("R-134a"), else ""."""
    m = re.fullmatch(r"r(e|c)?(\d+)([a-z]*)", name)
    if m:
        suffix = m.group(3).upper() if name in BLEND_FORMULA else m.group(3)
        return "R-" + (m.group(1) or "").upper() + m.group(2) + suffix
    for a in (info or {}).get("ALIASES", []):
        m = re.fullmatch(r"R(E|C)?(\d+)([A-Za-z]*)", a)
        if m:
            return "R-" + (m.group(1) or "") + m.group(2) + m.group(3).lower()
    return ""


def header_lines(h):
    """h: dict with name, cas, full_name, formula, synonym, M, Ttp, Tnbp, Tc, pc,
    Dc, omega, dipole, refcode, refvalues (T, p, h, s) or None, tags [(value, tag)]."""
    lines = [
        value_line([h["name"]], "short name"),
        value_line([h["cas"]], "CAS number"),
        h["full_name"],
        value_line([h["formula"]], "chemical formula") if h["formula"] else "",
        h["synonym"],
        value_line([h["M"]], "molar mass [g/mol]"),
        value_line([h["Ttp"]], "triple point temperature [K]"),
        value_line([h["Tnbp"]], "normal boiling point [K]"),
        value_line([h["Tc"]], "critical temperature [K]"),
        value_line([h["pc"]], "critical pressure [kPa]"),
        value_line([h["Dc"]], "critical density [mol/L]"),
        value_line([h["omega"]], "acentric factor"),
        value_line([h["dipole"]], h.get("dipole_comment", "dipole moment [Debye]")),
        value_line([h["refcode"]], "default reference state"),
    ]
    if h["refcode"].startswith("OT"):
        vals = [0.0 if abs(v) < 1e-6 else float("%.15g" % v) for v in h["refvalues"]]
        lines.append(value_line(vals,
                                "reference T [K], p [kPa], h [J/mol], s [J/(mol K)]"))
    lines.append(value_line([VERSION], "version number"))
    for value, tag in h["tags"]:
        lines.append(value_line([value], tag))
    lines.append("")
    return lines
