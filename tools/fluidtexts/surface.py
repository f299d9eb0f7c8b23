"""Surface-tension ("#STN ST1") and dielectric-constant ("#DE") sections of
the fluid texts.

Surface tension is the data set's correlation (a sum of powers of 1 - T/Tc,
Tc the one of the fit), except water, which has the IAPWS 2014 form.
Dielectric constants come from extra/dielectric/ for the fluids whose
published correlation maps exactly onto a "#DE" form: water "DE2" (IAPWS
R8-97), the others "DE3" (Clausius-Mossotti) or "DE4" (Kirkwood) with
T_red = 273.16 K and rho_red = 1000 mol/L (rho in mol/cm3)."""

import csv
import os

import sections
from textfmt import info_lines, term_line, value_line

# IAPWS R1-76(2014): sigma = B tau^mu (1 + b tau), B = 235.8 mN/m, b = -0.625,
# mu = 1.256, tau = 1 - T/Tc, Tc = 647.096 K.
WATER_TC = 647.096
WATER_TERMS = [(0.2358, 1.256), (0.2358 * -0.625, 2.256)]
WATER_CITATION = ("IAPWS (2014): Revised Release on Surface Tension of Ordinary Water "
                  "Substance, IAPWS R1-76(2014).")

DIELECTRIC_CITATIONS = {
    "IAPWS-R8-97": "IAPWS (1997): Release on the Static Dielectric Constant of Ordinary Water "
                   "Substance for Temperatures from 238 K to 873 K and Pressures up to 1000 MPa, "
                   "IAPWS R8-97.",
    "HarveyLemmon-IJT-2005": "A. H. Harvey and E. W. Lemmon (2005): Method for Estimating the "
                             "Dielectric Constant of Natural Gas Mixtures. Int. J. Thermophys. "
                             "26(1), 31-46. doi:10.1007/s10765-005-2351-5",
    "HarveyMountain-IJT-2017": "A. H. Harvey and R. D. Mountain (2017): Correlations for the "
                               "Dielectric Constants of H2S, SO2, and SF6. Int. J. Thermophys. "
                               "38, 147. doi:10.1007/s10765-017-2279-6",
}
# Water's formulation is valid from 238 K (the g-factor's last term needs
# T > 228 K) to 873 K.
WATER_DE_RANGE = (238.0, 873.0)
# Sets whose attribution to Harvey and Lemmon (2005) the compilers of the
# data could not confirm.
UNCONFIRMED = ("neon", "krypton", "xenon", "parahyd", "ethylene")

FORM_TEXT = {
    "DE2": "Water's formulation: Kirkwood-type expression with the g-factor g(T, rho); the "
           "t field of the group-2 term holds a temperature in K.",
    "DE3": "Clausius-Mossotti function (eps - 1)/(eps + 2) = A, A = rho (A_eps + A_mu/T + "
           "B_eps rho + C rho^D) with A_eps = a0 + a1 (T/T0 - 1), B_eps = b0 + b1 (T0/T - 1), "
           "C = c0 + c1 (T0/T - 1), T0 = 273.16 K, rho in mol/cm3 (reducing density 1000 "
           "mol/L).",
    "DE4": "Kirkwood function (eps - 1)(2 eps + 1)/(9 eps) = A, A = rho (A_eps + A_mu/T + "
           "B_eps rho + C rho^D) with A_eps = a0 + a1 (T/T0 - 1), B_eps = b0 + b1 (T0/T - 1), "
           "C = c0 + c1 (T0/T - 1), T0 = 273.16 K, rho in mol/cm3 (reducing density 1000 "
           "mol/L).",
}


def surface_tension(ds, name, d, Tmin, cite):
    """The "#STN ST1" section, or nothing when the data set has none."""
    st = (d or {}).get("ANCILLARIES", {}).get("surface_tension")
    if name == "water":
        para = ["Surface tension, sigma = sum a_k (1 - T/Tc)^n_k (N/m): the IAPWS 2014 form "
                "B tau^mu (1 + b tau) with B = 0.2358 N/m, b = -0.625, mu = 1.256.",
                WATER_CITATION]
        Tc, terms = WATER_TC, WATER_TERMS
    elif st:
        para = ["Surface tension, sigma = sum a_k (1 - T/Tc)^n_k (N/m)."] + cite(st.get("BibTeX"))
        Tc, terms = st["Tc"], list(zip(st["a"], st["n"]))
    else:
        return []
    out = [""] + sections.opening("#", "STN", "ST1", "surface tension model", para)
    out += sections.surface_tension_body(Tmin, Tc, Tc, terms)
    return out


def _dielectric_rows(ds):
    if not hasattr(ds, "_dielectric"):
        path = os.path.join(ds.root, "extra", "dielectric", "dielectric.tsv")
        with open(path, newline="", encoding="utf-8") as f:
            ds._dielectric = {r["name"]: r for r in csv.DictReader(f, delimiter="\t")}
    return ds._dielectric


def _groups(text):
    """The term list "c t d p; ... | ... | ..." as three lists of 4 floats."""
    groups = []
    for g in text.split("|"):
        groups.append([[float(v) for v in t.split()] for t in g.split(";") if t.strip()])
    while len(groups) < 3:
        groups.append([])
    return groups


def dielectric(ds, name, Tmin, Tmax):
    """The "#DE" section of a fluid whose correlation has a "#DE" form."""
    r = _dielectric_rows(ds).get(name)
    if r is None or r["DE_form"] not in FORM_TEXT:
        return []
    code = r["DE_form"]
    groups = _groups(r["terms_c_t_d_p_by_group"])
    counts = [int(c) for c in r["counts"].split()]
    if counts[:3] != [len(g) for g in groups[:3]]:
        raise ValueError("%s: dielectric term counts do not match the terms" % name)
    para = [FORM_TEXT[code]]
    if code != "DE2":
        para.append("Coefficients of the molar-polarization form of Harvey and Lemmon (2005) "
                    "as compiled for this fluid: %s." % r["published_coefficients"])
    if name in UNCONFIRMED:
        para.append("The attribution of this set to the publication below could not be "
                    "confirmed against the paper.")
    para.append(DIELECTRIC_CITATIONS[r["citation_key"]])
    if name == "water":
        Tmin, Tmax = WATER_DE_RANGE
    Tred, Dred = float(r["T_red_K"]), float(r["rho_red_mol_L"])
    pred = float(r["p_red_MPa"]) if r["p_red_MPa"].strip() else 0.0
    out = [""] + [("#DE").ljust(20) + "!dielectric constant", code + "  dielectric constant model"]
    out += info_lines(para)
    out.append("!end of info section")
    out += [value_line([Tmin], "lower temperature limit [K]"),
            value_line([Tmax], "upper temperature limit [K]"),
            value_line([0.0], "(not used)"),
            value_line([0.0], "(not used)"),
            value_line([Tred, Dred, pred], "reducing T [K], D [mol/L], p [MPa]", 60),
            value_line(counts, "term counts (groups 1, 2, 3 and three unused)")]
    for g in groups[:3]:
        out += [term_line(t) for t in g]
    return out


def sections_of(ds, name, d, Tmin, Tmax, cite):
    """Surface tension and dielectric constant of a fluid text."""
    return surface_tension(ds, name, d, Tmin, cite) + dielectric(ds, name, Tmin, Tmax)
