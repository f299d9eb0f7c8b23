"""GERG-2008 pure-fluid equations: the "@EOS FEK" / "@AUX PHK" alternatives of
its 21 components, and the equation of state of helium."""

import math

import hyperdual as hd
import residual
import satstate
import sections
from fluid import cite, max_density_of, rel, triple_point

GERG_KEY = "Kunz-JCED-2012"
TMAX, PMAX = 700.0, 70000.0  # extended range of the equation


def terms(c):
    r = c["residual"]
    return [(n, float(t), int(d), int(l), 1.0) for n, d, t, l in zip(r["n"], r["d"], r["t"], r["c"])]


def ph_terms(ds, c):
    """The ideal-gas part in Helmholtz form, the factor R*/R folded in."""
    f = ds.gerg["Rstar_J_molK"] / ds.gerg["R_J_molK"]
    n0, th = c["ideal_gas"]["n0"], c["ideal_gas"]["theta0"]
    power = [(f * n0[0], 0.0), (f * n0[1], 1.0)]
    sinh = [(f * n0[i], th[i - 3]) for i in (3, 5) if th[i - 3] != 0.0]
    cosh = [(-f * n0[i], th[i - 3]) for i in (4, 6) if th[i - 3] != 0.0]
    return {"log": [(f * n0[2], 1.0)], "power": power, "pe": [], "cosh": cosh, "sinh": sinh}


def alpha0_gerg(ds, c):
    """alpha0 as the paper writes it (check of ph_terms)."""
    f = ds.gerg["Rstar_J_molK"] / ds.gerg["R_J_molK"]
    n0, th = c["ideal_gas"]["n0"], c["ideal_gas"]["theta0"]

    def a(tau, delta):
        s = n0[0] + n0[1] * tau + n0[2] * hd.log(tau)
        if th[0] != 0:
            s = s + n0[3] * hd.log(hd.sinh(th[0] * tau))
        if th[1] != 0:
            s = s - n0[4] * hd.log(hd.cosh(th[1] * tau))
        if th[2] != 0:
            s = s + n0[5] * hd.log(hd.sinh(th[2] * tau))
        if th[3] != 0:
            s = s - n0[6] * hd.log(hd.cosh(th[3] * tau))
        return hd.log(delta) + f * s
    return a


def equation(ds, name, Ttp, Dtp, Tmax=TMAX, pmax=PMAX):
    c = ds.gerg_component[name]
    e = {"R": ds.gerg["R_J_molK"], "M": c["M_g_mol"], "Tred": c["Tc_K"], "Dred": c["Dc_mol_L"],
         "Tmin": Ttp, "Tmax": Tmax, "pmax": pmax, "Dtp": Dtp}
    normal = terms(c)
    e["Dmax"] = max_density_of(normal, [], e)
    return c, e, normal


def check_ph(ds, c, Tred, Tmin, Tmax):
    import idealgas
    import fluid
    fa, fb = idealgas.alpha0_ph(ph_terms(ds, c)), alpha0_gerg(ds, c)
    worst = 0.0
    for i in range(12 if fluid.CHECKS else 0):
        tau = Tred / (Tmin + (Tmax - Tmin) * i / 11.0)
        ra, rb = fa(hd.HD(tau, 1.0, 1.0), hd.HD(0.5)), fb(hd.HD(tau, 1.0, 1.0), hd.HD(0.5))
        for x, y in ((ra.a, rb.a), (ra.b, rb.b), (ra.d, rb.d)):
            worst = max(worst, rel(x, y, 1.0))
    return worst


def cp_terms(ds, c):
    """cp0/R of the GERG ideal part in the heat-capacity form (T_r = 1 K):
    d2/dtau2 of a ln sinh(th tau) gives -a th^2/sinh^2, of a ln cosh gives
    a th^2/cosh^2."""
    f = ds.gerg["Rstar_J_molK"] / ds.gerg["R_J_molK"]
    n0, th = c["ideal_gas"]["n0"], c["ideal_gas"]["theta0"]
    Tc = c["Tc_K"]
    sinh = [(f * n0[i] * (th[i - 3] * Tc) ** 2, th[i - 3] * Tc) for i in (3, 5) if th[i - 3] != 0]
    cosh = [(f * n0[i] * (th[i - 3] * Tc) ** 2, th[i - 3] * Tc) for i in (4, 6) if th[i - 3] != 0]
    return {"power": [(1.0 + f * n0[2], 0.0)], "pe": [], "cosh": cosh, "sinh": sinh, "notes": []}


def fek_sections(ds, name, consts, report, marker="@", code="FEK", cp_code="PHK",
                 Tmax=TMAX, pmax=PMAX):
    """consts: Ttp, Dtp, Dvtp (triple point of the fluid's default equation),
    Tnbp, omega, pc of the fluid.  The triple-point pressure and densities
    written are those of the GERG-2008 equation itself at Ttp."""
    c = ds.gerg_component[name]
    weq = satstate.Equation(residual.alphar_feq(terms(c), []), ds.gerg["R_J_molK"], c["Tc_K"],
                            c["Dc_mol_L"])
    Ttp, ptp, Dtp, _ = triple_point(weq, consts["Ttp"],
                                    (consts["Ttp"], consts["Dtp"], consts["Dvtp"]),
                                    "%s %s" % (name, code), report)
    c, e, normal = equation(ds, name, Ttp, Dtp, Tmax, pmax)
    para = ["Pure-fluid equation of the GERG-2008 mixture model (reducing values and "
            "coefficients of that equation)."] + cite(ds, GERG_KEY)
    eq = dict(e)
    eq.update({"cp_code": cp_code, "Ttp": Ttp, "ptp": ptp, "Tnbp": consts["Tnbp"],
               "omega": consts["omega"], "Tc": c["Tc_K"], "pc": consts["pc"],
               "Dc": c["Dc_mol_L"], "normal": normal, "critical": []})
    fek = sections.opening(marker, "EOS", code, "GERG-2008 equation for " + name, para)
    fek += sections.feq_body(eq)
    report.setdefault("ph0", {})[name + " PHK"] = check_ph(ds, c, e["Tred"], Ttp, Tmax)
    phk = sections.opening("@", "AUX", "PHK", "GERG-2008 ideal-gas part",
                           ["Ideal-gas part of GERG-2008, the factor R*/R (8.31451/8.314472) "
                            "included in the coefficients."] + cite(ds, GERG_KEY))
    phk += sections.ph0_body(Ttp, Tmax, ph_terms(ds, c))
    return fek, phk


def build_helium(ds, report):
    """Helium: the data set's own helium equations are unpublished, so the
    text's equation of state is the helium equation of GERG-2008."""
    import anc
    import fluid
    import header
    import idealgas
    name = "helium"
    d = ds.pure(name)
    row = ds.row[name]
    st = d["STATES"]
    c = ds.gerg_component[name]
    Tc, pc, Dc = float(row["Tc_K"]), float(row["pc_kPa"]), float(row["Dc_mol_L"])
    Ttp = float(row["Ttriple_K"])
    ptp = st["triple_liquid"]["p"] / 1000.0
    Dtp = st["triple_liquid"]["rhomolar"] / 1000.0
    Dvtp = st["triple_vapor"]["rhomolar"] / 1000.0
    Tnbp = float(row["NBP_K"])
    ps = d["ANCILLARIES"]["pS"]
    _, psterms = anc.anc_code("PS", ps)
    p07 = anc.anc_eval("PS5", ps["T_r"], ps["reducing_value"] / 1000.0, psterms, 0.7 * Tc)
    omega = float("%.4g" % (-math.log10(p07 / pc) - 1.0))
    R = ds.gerg["R_J_molK"]
    h0, s0 = _ideal_h_s_gerg(ds, c, fluid.T0_REF, fluid.P0_REF)
    h = {"name": name, "cas": row["CAS"], "full_name": "Helium", "formula": "He",
         "synonym": "R-704", "M": c["M_g_mol"], "Ttp": Ttp, "Tnbp": Tnbp, "Tc": Tc, "pc": pc,
         "Dc": Dc, "omega": omega, "dipole": 0.0, "refcode": "OT0",
         "refvalues": (fluid.T0_REF, fluid.P0_REF, h0, s0),
         "tags": fluid.tags(name, d.get("INFO"))}
    lines = header.header_lines(h)
    lines += ["!Fluid text written by the fluid-text converter (tools/fluidtexts) from public",
              "!coefficient data.  The acentric factor is computed from the vapour-pressure",
              "!equation below.", ""]
    consts = {"Ttp": Ttp, "Dtp": Dtp, "Dvtp": Dvtp, "Tnbp": Tnbp, "omega": omega, "pc": pc}
    tmax, pmax = 1500.0, 100000.0
    feq, phk = fek_sections(ds, name, consts, report, "#", "FEQ", "CPP", tmax, pmax)
    feq[2:2] = info_lines_for_helium()
    lines += feq
    fek, _ = fek_sections(ds, name, consts, report, "@", "FEK", "PHK", tmax, pmax)
    lines += [""] + fek
    cpt = cp_terms(ds, c)
    worst = 0.0
    for i in range(40):
        T = Ttp + (tmax - Ttp) * i / 39.0
        tau = c["Tc_K"] / T
        r = alpha0_gerg(ds, c)(hd.HD(tau, 1.0, 1.0), hd.HD(1.0))
        worst = max(worst, rel(idealgas.cp0_cpp(cpt, T), 1.0 - tau * tau * r.d))
    report.setdefault("cp0", {})[name] = worst
    cpp = sections.opening("#", "AUX", "CPP", "ideal-gas heat capacity",
                           ["Ideal-gas heat capacity of the GERG-2008 helium equation "
                            "(a constant, 1 + 1.5 R*/R)."] + cite(ds, GERG_KEY))
    cpp += sections.cpp_body(Ttp, tmax, R, cpt)
    lines += [""] + cpp + [""] + phk
    import transport
    lines += transport.sections(
        ds, name, {"Tred": c["Tc_K"], "Dred": c["Dc_mol_L"], "M": c["M_g_mol"], "R_lib": R,
                   "Tmin": Ttp, "Tmax": tmax, "pmax": pmax,
                   "Dmax": float([x for x in feq if "!maximum density" in x][0].split()[0])},
        {"Tc": Tc, "Dc": Dc}, lambda keys: cite(ds, keys), "noble gas", report)
    import surface
    lines += surface.sections_of(ds, name, d, Ttp, tmax, lambda keys: cite(ds, keys))
    lines += fluid.melting_section(ds, name, d, Ttp, ptp, report)
    lines += fluid.ancillary_sections(ds, name, d, {"Tmin": Ttp}, Tc, Dc, report)
    lines += ["", "@END"]
    return lines


def info_lines_for_helium():
    from textfmt import info_lines
    return info_lines(["The helium equations of the coefficient data set are unpublished and "
                       "are not used; this is the helium equation of GERG-2008. The paper "
                       "gives 60 to 700 K up to 70 MPa as its extended range; above 700 K the "
                       "equation is extrapolated (helium is nearly an ideal gas there)."])


def _ideal_h_s_gerg(ds, c, T0, p0):
    R = ds.gerg["R_J_molK"]
    tau = c["Tc_K"] / T0
    delta = p0 / (R * T0) / c["Dc_mol_L"]
    r = alpha0_gerg(ds, c)(hd.HD(tau, 1.0), hd.HD(delta))
    return R * T0 * (1.0 + tau * r.b), R * (tau * r.b - r.a)
