"""Published 32-term modified Benedict-Webb-Rubin (MBWR) equations of state
(extra/mbwr of the data set) as BWR sections of the fluid texts: an
alternative equation ("@EOS BWR", chosen with the model selection) for 14
fluids, and the default equation of nf3, which has no Helmholtz equation.

The equation is pressure-explicit (rho in mol/L, p in bar inside, R' in
L bar/(mol K)):

    p = sum_{n=1..9} a_n rho^n + F sum_{n=10..15} a_n rho^(2n-17),
    F = exp(-(rho/gamma)^2).

gamma is the density of the exponential term.  Younglove and Ely (1987) and
the refrigerant papers use gamma = rho_c; Younglove (1982) and McCarty and
Jacobsen (1981) write exp(gamma_Y rho^2) with their own constant, so there
gamma = 1/sqrt(-gamma_Y), which is what the data set's gamma_mol_L holds and
what the section's line 14 carries (never rho_c for those six fluids)."""

import json
import math
import os

import ancfit
import header
import satstate
import sections
from textfmt import info_lines, num, term_line, value_line

# b_k (k = index + 1) belongs to a_n as b_k T^e.
TERMS = [(2, 1), (2, 0.5), (2, 0), (2, -1), (2, -2), (3, 1), (3, 0), (3, -1), (3, -2), (4, 1),
         (4, 0), (4, -1), (5, 0), (6, -1), (6, -2), (7, -1), (8, -1), (8, -2), (9, -2), (10, -2),
         (10, -3), (11, -2), (11, -4), (12, -2), (12, -3), (13, -2), (13, -4), (14, -2),
         (14, -3), (15, -2), (15, -3), (15, -4)]

CP0_CODE = "CPB"  # the ideal-gas section of the paper, beside the text's own


def load(data_dir):
    with open(os.path.join(data_dir, "extra", "mbwr", "mbwr.json"), encoding="utf-8") as f:
        return json.load(f)["fluids"]


class Equation(satstate.Equation):
    """An MBWR equation as a satstate equation (reduced with Tc, rho_c and the
    equation's own gas constant)."""

    def __init__(self, f):
        super().__init__(None, 100.0 * f["R_L_bar_molK"], f["Tc_K"], f["rhoc_mol_L"])
        self.b, self.Rp, self.gamma = f["b"], f["R_L_bar_molK"], f["gamma_mol_L"]

    def _a(self, T):
        a = [0.0] * 16
        for b, (n, e) in zip(self.b, TERMS):
            a[n] += b * T ** e
        return a

    def _d(self, T, delta):
        """ar, delta ar_d, delta^2 ar_dd (the density derivatives from the
        pressure sum; ar from the closed-form integrals)."""
        rho = delta * self.Dred
        a = self._a(T)
        x = (rho / self.gamma) ** 2
        F = math.exp(-x)
        g = self.gamma ** 2
        ar = ad = add = 0.0
        for n in range(2, 10):
            p = rho ** (n - 1)
            ar += a[n] * p / (n - 1)
            ad += a[n] * p
            add += a[n] * (n - 2) * p
        for m in range(6):
            n = m + 10
            s = sum(x ** j / math.factorial(j) for j in range(m + 1))
            ar += a[n] * 0.5 * g ** (m + 1) * math.factorial(m) * (1.0 - F * s)
            p = rho ** (2 * m + 2) * F
            ad += a[n] * p
            add += a[n] * p * (2 * m + 1 - 2 * x)
        k = 1.0 / (self.Rp * T)
        return ar * k, ad * k, add * k


def _citation(f):
    return f["citation"]


def _gamma_paragraph(f):
    if f.get("gamma_published") is not None:
        return ("The exponential term is published as exp(%s rho^2) with rho in mol/L; line 14 "
                "holds the density of that term, 1/sqrt(%s) = %s mol/L (not the critical "
                "density)." % (num(f["gamma_published"]), num(-f["gamma_published"]),
                               num(f["gamma_mol_L"])))
    return "The density of the exponential term is the critical density."


def _pc(f):
    listed = f.get("pc_kPa_listed")
    return listed if listed is not None else f["computed_from_this_MBWR"]["p_at_Tc_rhoc_kPa"]


def _liquid_at(eq, T, p, D):
    """Density at (T, p) by Newton's method from D on the liquid branch, or
    None where the branch is left."""
    for _ in range(200):
        d = eq.dpdd(T, D)
        if not d > 0.0:
            return None
        step = (p - eq.pressure(T, D)) / d
        step = max(min(step, 0.02 * D), -0.02 * D)
        D += step
        if abs(step) < 1e-12 * D:
            return D
    return None


def max_density(f):
    """The source's maximum density, or the equation's density at its upper
    pressure limit on the isotherms from the lower limit to Tc where that is
    higher (rounded up to 0.001 mol/L): the range checks must not refuse
    states inside the pressure range (nitrogen: 32 mol/L listed, about 40 at
    1013 MPa)."""
    r = f["range"]
    eq = Equation(f)
    top = float(r["rhomax_mol_L"])
    for k in range(11):
        T = r["Tmin_K"] + (f["Tc_K"] - r["Tmin_K"]) * k / 10.0
        D = _liquid_at(eq, T, float(r["pmax_kPa"]), 0.9 * top)
        if D is not None and D > top:
            top = math.ceil(D * 1000.0) / 1000.0
    return top


def bwr_body(f, cp_code):
    c = f["computed_from_this_MBWR"]
    r = f["range"]
    lines = [
        value_line([float(r["Tmin_K"])], "lower temperature limit [K]"),
        value_line([float(r["Tmax_K"])], "upper temperature limit [K]"),
        value_line([float(r["pmax_kPa"])], "upper pressure limit [kPa]"),
        value_line([max_density(f)], "maximum density [mol/L]"),
        value_line([cp_code], "ideal-gas model"),
        value_line([float(f["molar_mass_g_mol"])], "molar mass [g/mol]"),
        value_line([float(f["Ttriple_K_listed"])], "triple point temperature [K]"),
        value_line([float("%.10g" % c["ptriple_kPa"])], "pressure at triple point [kPa]"),
        value_line([float("%.10g" % c["rho_liq_triple_mol_L"])],
                   "density at triple point [mol/L]"),
        value_line([round(c["NBP_K"], 4)], "normal boiling point temperature [K]"),
        value_line([round(c["acentric"], 5)], "acentric factor"),
        value_line([float(f["Tc_K"]), float("%.10g" % _pc(f)), float(f["rhoc_mol_L"])],
                   "Tc [K], pc [kPa], Dc [mol/L]", 60),
        value_line([float(f["Tc_K"]), float(f["rhoc_mol_L"])], "reducing parameters [K, mol/L]",
                   60),
        value_line([float(f["gamma_mol_L"])], "gamma, density of the exponential term [mol/L]"),
        value_line([float(f["R_L_bar_molK"])], "gas constant [L-bar/mol-K]"),
        value_line([32, 1], "Nterm, Ncoeff"),
    ]
    b = f["b_as_printed"]
    for i in range(0, 32, 3):
        lines.append(" ".join(b[i:i + 3]))
    return lines


def cp0_section(f, marker, code, Tmin, Tmax):
    cp = f["cp0_of_the_paper"]
    terms = {"power": [(cp["c0"], 0.0)] + [(c, float(t)) for c, t in cp["power"]],
             "pe": [(v, float(th)) for v, th in cp.get("PE", [])], "cosh": [], "sinh": []}
    para = ["Ideal-gas heat capacity of the publication of the MBWR equation, cp0/R with R = "
            "%s J/(mol K), the gas constant of that equation." % num(f["R_J_molK"]),
            _citation(f)]
    lines = sections.opening(marker, "AUX", code, "ideal-gas heat capacity of the MBWR "
                             "publication", para)
    return lines + sections.cpp_body(Tmin, Tmax, f["R_J_molK"], terms)


def eos_section(f, marker, cp_code, extra=()):
    para = ["Modified Benedict-Webb-Rubin equation of state (32 terms), pressure-explicit.",
            _citation(f), _gamma_paragraph(f)]
    para += list(extra)
    top = max_density(f)
    if top > float(f["range"]["rhomax_mol_L"]):
        para.append("The maximum density is the equation's density at its upper pressure limit "
                    "(%s mol/L); the source lists %s mol/L." % (num(top),
                                                                num(float(f["range"]["rhomax_mol_L"]))))
    para.append("Triple-point pressure and liquid density, normal boiling point and acentric "
                "factor are values of this equation (computed from it, not published).")
    lines = sections.opening(marker, "EOS", "BWR", "MBWR equation of state", para)
    return lines + bwr_body(f, cp_code)


def alternative(lines, f):
    """The text `lines` with the MBWR equation f added as an alternative
    equation of state (and the paper's ideal-gas section where it has one),
    placed before the first ideal-gas section."""
    at = next(i for i, ln in enumerate(lines) if ln.startswith("#AUX"))
    r = f["range"]
    cp_code = "CPP"
    add = eos_section(f, "@", cp_code if not f.get("cp0_of_the_paper") else CP0_CODE) + [""]
    if f.get("cp0_of_the_paper"):
        add += cp0_section(f, "@", CP0_CODE, float(r["Tmin_K"]), float(r["Tmax_K"])) + [""]
    return lines[:at] + add + lines[at:]


def _fit_ancillaries(eq, f, old_lines, report):
    """Vapour-pressure and saturated-density equations of the same forms as
    the text had, fitted to this equation's saturation states."""
    c = f["computed_from_this_MBWR"]
    Tmin, Tc, Dc = float(f["Ttriple_K_listed"]), float(f["Tc_K"]), float(f["rhoc_mol_L"])
    tp = (Tmin, c["ptriple_kPa"], c["rho_liq_triple_mol_L"], c["rho_vap_triple_mol_L"])
    states = ancfit.saturation_line(eq, tp, Tc, ancfit.DENSE)
    out = []
    for kind, what, unit in (("PS", "vapour pressure", "kPa"),
                             ("DL", "saturated liquid density", "mol/L"),
                             ("DV", "saturated vapour density", "mol/L")):
        code = next(old_lines[i + 1][:3] for i, ln in enumerate(old_lines)
                    if ln.startswith("#" + kind))
        best = ancfit.best_fit(kind, code, ancfit.EXPONENTS[kind][0], Tc,
                               None if kind == "PS" else Dc, states)
        worst, Xr, terms = best
        para = ["Ancillary equation for the %s, fitted by the fluid-text converter to the "
                "saturation states of the MBWR equation of this text (largest deviation %.2g %% "
                "from %g K to %.5g K, 0.995 Tc)." % (what, abs(worst[0]), Tmin, 0.995 * Tc)]
        out += [""] + sections.opening("#", kind, code, what + " equation", para)
        out += sections.ancillary_body(Tmin, Tc, Tc, Xr, unit, terms)
        report.setdefault("notes", []).append("nf3 %s fitted to the MBWR equation: %.2g %%"
                                              % (kind, abs(worst[0])))
    return out


def build_nf3(ds, fluids, old_lines, report):
    """The text of nf3 with its published MBWR equation (Younglove 1982) as
    the default equation of state and the publication's ideal-gas heat
    capacity; old_lines: the corresponding-states text it replaces (its
    ancillary forms are kept, refitted)."""
    f = fluids["nf3"]
    c = f["computed_from_this_MBWR"]
    eq = Equation(f)
    Tnbp = round(c["NBP_K"], 4)
    h = {"name": "nf3", "cas": f["CAS"], "full_name": "nitrogen trifluoride", "formula": "NF3",
         "synonym": "nitrogen trifluoride", "M": float(f["molar_mass_g_mol"]),
         "Ttp": float(f["Ttriple_K_listed"]), "Tnbp": Tnbp, "Tc": float(f["Tc_K"]),
         "pc": float("%.10g" % _pc(f)), "Dc": float(f["rhoc_mol_L"]),
         "omega": round(c["acentric"], 5), "dipole": float(ds.dipole["nf3"]["dipole_debye"]),
         "refcode": "NBP", "refvalues": None, "tags": [(header.FAMILY["nf3"], "family")]}
    lines = header.header_lines(h)
    lines += ["!Fluid text written by the fluid-text converter (tools/fluidtexts) from public",
              "!coefficient data; the equations are those of the publications cited below.",
              "!Constants are those of the MBWR equation (its critical point, and its own",
              "!triple-point pressure, normal boiling point and acentric factor)."]
    r = f["range"]
    lines.append("")
    lines += eos_section(f, "#", "CPP", [
        "It replaces the corresponding-states estimate on r14 that earlier texts carried."])
    lines.append("")
    lines += cp0_section(f, "#", "CPP", float(r["Tmin_K"]), float(r["Tmax_K"]))
    import transport
    Tc, Dc = float(f["Tc_K"]), float(f["rhoc_mol_L"])
    lines += transport.sections(
        ds, "nf3", {"Tred": Tc, "Dred": Dc, "M": float(f["molar_mass_g_mol"]),
                    "R_lib": float(f["R_J_molK"]), "Tmin": float(r["Tmin_K"]),
                    "Tmax": float(r["Tmax_K"]), "pmax": float(r["pmax_kPa"]),
                    "Dmax": max_density(f)},
        {"Tc": Tc, "Dc": Dc}, lambda keys: [], header.FAMILY["nf3"], report)
    lines += _fit_ancillaries(eq, f, old_lines, report)
    lines += ["", "@END"]
    return lines
