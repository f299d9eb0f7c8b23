"""Transport sections of the fluid texts: the viscosity block "#ETA VS1"
(with its collision-integral block "#AUX CI1" or "CI2"), the conductivity
block "#TCX TC1" (with its crossover block "#AUX TK3"), and the
corresponding-states block "#TRN ECS" (with "#AUX TK6"), written from the
data set's TRANSPORT entries and, for the parts the data set marks
"hardcoded", from extra/transport where they fit these forms exactly.

Forms the blocks hold (T_r = T/T_red, D_r = D/D_red, as the library reads
them):
  VS1 dilute     c1 sqrt(T_r)/(sigma^2 Omega) + sum c_k T_r^t_k, times eta_red
  VS1 initial    B = B_scale sum c_k (T/T_B)^t_k,  eta = eta0 (1 + B D) + eta_r
  VS1 residual   polynomial + N/Dn + exp(E/F) of terms c T_r^t D_r^d d0^e exp(-D_r^l)
  TC1 dilute     sum A T_r^n / sum B T_r^m with special rows (-97: A eta0, ...)
  TC1 background sum c T_r^t D_r^d exp(-D_r^l)
  TK3/TK6        nu, gamma, R0, -, -, xi0, Gamma0, 1/qD, T_ref
Correlations whose parts do not fit these forms are left to the
fluid-specific models (reported as pending)."""

import math
import os
import json
from fractions import Fraction

from textfmt import info_lines, num, term_line, value_line

N_A = 6.02214129e23  # the data set's Avogadro constant (Rainwater-Friend scale)

KIND_COMMENT = {"ETA": "viscosity", "TCX": "thermal conductivity",
                "TRN": "corresponding-states transport model", "AUX": "auxiliary model"}

# Reference fluid "of the kind" of a fluid with correlations of its own, for
# its "@TRN ECS" block; and the models each reference fluid's text selects.
REFERENCE_CODES = {"nitrogen": ("VS1", "TC1"), "propane": ("VS1", "TC1"),
                   "r134a": ("VS1", "TC1")}
HALOCARBON_FAMILIES = {"CFC", "HCFC", "HCFO", "HFC", "HFO", "PFC", "halocarbon", "HFE",
                       "fluoroketone", "blend"}
LIGHT_FAMILIES = {"noble gas", "cryogen", "inorganic"}

# Fluids whose first viscosity entry is the residual-entropy form, which no
# block holds: the data set's alternative is written.
ENTROPY_SCALING = ("r1234yf", "r1234ze", "r124", "r22", "r245fa", "r32", "r152a")

# Correlations used from a temperature above the equation's lower limit;
# below it the fluid's corresponding-states block answers.  R152a's
# alternative (Krauss et al. 1996) depends on temperature almost only
# through the density, with its close-packed density at 16.25 mol/L: on the
# saturated liquid it meets the corresponding-states estimate at 235 K and
# below rises to several times the residual-entropy values (2.4 times at
# 224 K); from 240 K down the estimate is the lower and smoother one.
LOWER_LIMITS = {"r152a": (240.0, "The correlation is used from 240 K; below, on the saturated "
                                 "liquid at 235 K, it rises above the corresponding-states "
                                 "block, which answers there.")}


AMMONIA_NOTE = (
    "Dilute gas: the constant C of C sqrt(M T)/(sigma^2 S*) is 2.1357e-6 Pa s (M in g/mol, T in "
    "K, sigma in nm), 100 times the value printed with the published equation, which misses "
    "that factor: with it the dilute gas has 10.19 uPa s at 300 K, as measured (about 10.2 "
    "uPa s); the printed constant would give 0.10 uPa s.")


class NoFit(Exception):
    """A part of a correlation that no block form holds exactly."""


def kind_reference(name, family):
    if name == "air":
        return "nitrogen"
    if family in HALOCARBON_FAMILIES:
        return "r134a"
    if family in LIGHT_FAMILIES:
        return "nitrogen"
    return "propane"


def opening(marker, kind, code, description, paragraphs):
    lines = [(marker + kind).ljust(20) + "!" + KIND_COMMENT[kind],
             code.ljust(3) + "  " + description]
    lines += info_lines(paragraphs)
    lines.append("!end of info section")
    return lines


def limit_lines(lim):
    return [value_line([lim["Tmin"]], "lower temperature limit [K]"),
            value_line([lim["Tmax"]], "upper temperature limit [K]"),
            value_line([lim["pmax"]], "upper pressure limit [kPa]"),
            value_line([lim["Dmax"]], "maximum density [mol/L]")]


def _extra(ds, fname):
    with open(os.path.join(ds.root, "extra", "transport", "json", fname), encoding="utf-8") as f:
        return json.load(f)["coefficients"]


# ---------------------------------------------------------------------------
# Dilute gases of the form P sqrt(T) / S(T) with an S no block holds exactly
# (ln S = A + B/T + C/T^2 of the Vesovic group's correlations of cyclohexane
# and the xylenes; carbon dioxide's sum of powers of T^(1/6) and
# exponentials of T^(1/3)): the collision integral "CI1", exp(sum b_k L^k)
# with L = ln(T/T0), holds a polynomial in L fitted to ln S.
# ---------------------------------------------------------------------------

def _solve(a, b):
    """Gaussian elimination with partial pivoting (a square, b a vector)."""
    n = len(b)
    m = [row[:] + [b[i]] for i, row in enumerate(a)]
    for c in range(n):
        piv = max(range(c, n), key=lambda r: abs(m[r][c]))
        m[c], m[piv] = m[piv], m[c]
        for r in range(n):
            if r != c:
                f = m[r][c] / m[c][c]
                m[r] = [x - f * y for x, y in zip(m[r], m[c])]
    return [m[i][n] / m[i][i] for i in range(n)]


def ln_s_fit(ln_s, tlow, thigh):
    """(T0, [(b_k, k)], largest relative deviation of exp(-ln S)) of the
    lowest-degree polynomial in L = ln(T/T0), T0 the geometric middle of
    [tlow, thigh], through ln_s(T) at Chebyshev points that follows it there
    within 1e-12 (degree at most 20)."""
    t0 = math.sqrt(tlow * thigh)
    half = 0.5 * math.log(thigh / tlow)
    best = None
    for deg in range(4, 21):
        us = [math.cos(math.pi * (j + 0.5) / (deg + 1)) for j in range(deg + 1)]
        a = [[u ** k for k in range(deg + 1)] for u in us]
        coef = _solve(a, [ln_s(t0 * math.exp(half * u)) for u in us])
        terms = [(c / half ** k, k) for k, c in enumerate(coef)]
        worst = 0.0
        for j in range(2001):
            L = half * (-1.0 + j / 1000.0)
            got = sum(b * L ** k for b, k in terms)
            worst = max(worst, abs(math.expm1(ln_s(t0 * math.exp(L)) - got)))
        best = (t0, terms, worst)
        if worst < 1e-12:
            break
    return best


def fitted_dilute(x, prefactor, A, B, C, eos, sigma, who):
    """The VS1 dilute part P sqrt(T)/S(T), ln S = A + B/T + C/T^2."""
    fitted_dilute_of(x, prefactor, lambda T: A + B / T + C / (T * T), eos, sigma, who,
                     "ln S = %g + %g/T %+g/T^2; no block holds exp(1/T) exactly" % (A, B, C))


def fitted_dilute_of(x, prefactor, ln_s, eos, sigma, who, form):
    """The VS1 dilute part P sqrt(T)/S(T) through a fitted "CI1" block over
    the equation's temperature range (2 % beyond it each way); `form` says
    what S is and why no block holds it."""
    tlow, thigh = 0.98 * eos["Tmin"], 1.02 * eos["Tmax"]
    t0, terms, worst = ln_s_fit(ln_s, tlow, thigh)
    x.omega, x.sigma, x.epsk = "CI1", sigma, t0
    x.dil_red = (1.0, 1.0)
    x.dil = [(prefactor * sigma ** 2, 0.5)]
    x.ci = ("CI1", terms)
    x.notes.append("Dilute gas of %s: %g sqrt(T)/S(T) uPa s, %s, so the collision-integral "
                   "block holds ln S as a polynomial of degree %d in ln(T/T0), T0 = %.6g K, "
                   "fitted between %.5g and %.5g K: largest deviation %.1e of the dilute-gas "
                   "viscosity there; the block's sigma and eps/k (T0) take no other part."
                   % (who, prefactor, form, len(terms) - 1, t0, tlow, thigh, worst))


# ---------------------------------------------------------------------------
# Terms as dictionaries {(t, d): c} of c T_r^t D_r^d (exponents as Fractions
# where they are rational) for the algebra of the rational groups.
# ---------------------------------------------------------------------------

def _frac(x):
    f = Fraction(x).limit_denominator(1000)
    return f if abs(float(f) - x) < 1e-12 else x


def poly(*terms):
    out = {}
    for c, t, d in terms:
        key = (_frac(t), _frac(d))
        out[key] = out.get(key, 0.0) + c
    return out


def pmul(a, b):
    out = {}
    for (ta, da), ca in a.items():
        for (tb, db), cb in b.items():
            key = (ta + tb, da + db)
            out[key] = out.get(key, 0.0) + ca * cb
    return out


def padd(*ps):
    out = {}
    for p in ps:
        for k, c in p.items():
            out[k] = out.get(k, 0.0) + c
    return {k: c for k, c in out.items() if c != 0.0}


def rows_of(p):
    """(c, t, d) rows in a fixed order."""
    return [(c, float(t), float(d)) for (t, d), c in sorted(p.items(), key=lambda kv: (
        float(kv[0][1]), float(kv[0][0])))]


def peval(p, tr, dr):
    return sum(c * tr ** float(t) * dr ** float(d) for (t, d), c in p.items())


# ---------------------------------------------------------------------------
# Viscosity (VS1)
# ---------------------------------------------------------------------------

class Vs1:
    """The pieces of a VS1 block; every viscosity in uPa s."""

    def __init__(self):
        self.omega = "NUL"
        self.sigma = 1.0
        self.epsk = 1.0
        self.dil_red = (1.0, 1.0)
        self.dil = []             # (c, t); row 1 the kinetic-theory term
        self.init_red = (1.0, 1.0)
        self.init = []            # (c, t)
        self.res_red = None       # (T_red, D_red, eta_red)
        self.cp = []              # signed count by sign of ncp: (c, t)
        self.ncp_sign = 1
        self.poly = []            # (c, t, d, e, l)
        self.num = []
        self.den = []
        self.expnum = []          # (c, t, d)
        self.expden = []
        self.ci = None            # (code, terms) of the collision-integral block
        self.notes = []

    def rows(self):
        return len(self.dil) + len(self.init) + len(self.cp) + len(self.poly) + \
            len(self.num) + len(self.den) + len(self.expnum) + len(self.expden)

    def body(self, lim):
        if self.rows() > 40:
            raise ValueError("more than 40 viscosity term rows")
        out = limit_lines(lim)
        out.append(value_line([len(self.dil)], "number of dilute-gas terms"))
        if self.dil:
            out.append(value_line([self.omega], "collision-integral model"))
            out.append(value_line([self.sigma], "Lennard-Jones sigma [nm]"))
            out.append(value_line([self.epsk], "Lennard-Jones epsilon/k [K]"))
            out.append(value_line(list(self.dil_red), "reducing T [K] and eta [uPa s]", 40))
            out += [term_line([c, float(t)]) for c, t in self.dil]
        out.append(value_line([len(self.init)], "number of initial-density terms"))
        if self.init:
            out.append(value_line(list(self.init_red), "reducing T [K] and B-scale [L/mol]", 40))
            out += [term_line([c, float(t)]) for c, t in self.init]
        counts = [self.ncp_sign * len(self.cp), len(self.poly), len(self.num), len(self.den),
                  len(self.expnum), len(self.expden)]
        out.append(value_line(counts, "residual terms: close-packed, polynomial, numerator, "
                              "denominator, exponential numerator and denominator", 40))
        if any(counts):
            out.append(value_line(list(self.res_red), "reducing T [K], D [mol/L], eta [uPa s]",
                                  60))
            out += [term_line([c, float(t)]) for c, t in self.cp]
            for grp in (self.poly, self.num, self.den):
                out += [term_line([c, float(t), float(d), float(e), int(l)])
                        for c, t, d, e, l in grp]
            for grp in (self.expnum, self.expden):
                out += [term_line([c, float(t), float(d), 0]) for c, t, d in grp]
        out.append(value_line(["NUL"], "critical-enhancement model"))
        return out


def lj_of(v, eos):
    """sigma (nm) and eps/k (K) of a viscosity entry; the data set's own
    estimate where it gives none."""
    s, e = v.get("sigma_eta"), v.get("epsilon_over_k")
    if s is None or e is None:
        return 0.809 / eos["Dred"] ** (1.0 / 3.0), eos["Tred"] / 1.2593, True
    return float("%.12g" % (s * 1e9)), e, False


def dilute_part(ds, name, v, x, eos):
    dil = v["dilute"]
    kind = dil.get("type") or ("hardcoded:" + dil["hardcoded"])
    M = eos["M"]
    if kind == "collision_integral":
        if any(t != int(t) for t in dil["t"]):
            raise NoFit("collision integral with non-integer powers")
        x.omega = "CI1"
        Mg = dil["molar_mass"] * 1000.0
        x.dil = [(dil["C"] * 1e6 * math.sqrt(Mg), 0.5)]
        x.ci = ("CI1", [(a, int(t)) for a, t in zip(dil["a"], dil["t"])])
        if name == "ammonia":
            x.notes.append(AMMONIA_NOTE)
    elif kind == "kinetic_theory":
        x.omega = "CI0"
        x.dil = [(0.026692 * math.sqrt(M), 0.5)]
    elif kind in ("powers_of_T", "powers_of_Tr"):
        x.omega = "NUL"
        x.dil_red = (dil.get("T_reducing", 1.0), 1e6)
        x.dil = [(0.0, 0.5)] + [(a, t) for a, t in zip(dil["a"], dil["t"])]
    elif kind == "hardcoded:Ethane":
        c = _extra(ds, "ethane_viscosity_Friend1991.json")
        x.omega, x.sigma, x.epsk = "CI2", 1.0, c["eps_over_k_K"]
        x.dil_red = (x.epsk, 1.0)
        x.dil = [(c["eta0_factor"], 0.5)]
        x.ci = ("CI2", [(ci, 0) for ci in c["omega_C"]])
        x.notes.append("Dilute gas of Friend et al. (1991): 12.0085 sqrt(T*)/Omega(T*), 1/Omega "
                       "a series in T*^(1/3) (collision-integral block CI2), T* = T/(245 K).")
    elif kind == "hardcoded:CarbonDioxideLaeseckeJPCRD2017":
        c = _extra(ds, "co2_viscosity_Laesecke2017.json")
        a = c["a"]

        def ln_s(T):
            r = T ** (1.0 / 3.0)
            return math.log(a[0] + a[1] * T ** (1.0 / 6.0) + a[2] * math.exp(a[3] * r)
                            + (a[4] + a[5] * r) / math.exp(r) + a[6] * math.sqrt(T))

        fitted_dilute_of(x, 1000.0 * c["eta0_constant_mPa_s"], ln_s, eos, x.sigma,
                         "Laesecke and Muzny (2017)",
                         "S = a0 + a1 T^(1/6) + a2 exp(a3 T^(1/3)) + (a4 + a5 T^(1/3))/exp(T^(1/3)) "
                         "+ a6 sqrt(T); no block holds it exactly")
    elif kind == "hardcoded:Cyclohexane":
        c = _extra(ds, "cyclohexane_viscosity_dilute_Tariq2014.json")
        fitted_dilute(x, c["prefactor"], c["A"], c["B"], c["C"], eos, x.sigma,
                      "Tariq et al. (2014)")
    else:
        raise NoFit("dilute gas " + kind)


def initial_part(v, x, sigma_nm, epsk):
    ini = v.get("initial_density")
    if not ini or ini["type"] == "empirical":
        return  # empirical_initial, after the residual's reducing values
    if ini["type"] != "Rainwater-Friend":
        raise NoFit("initial density " + ini["type"])
    x.init_red = (epsk, N_A * (sigma_nm * 1e-9) ** 3 * 1000.0)
    x.init = list(zip(ini["b"], ini["t"]))


def empirical_initial(v, x):
    """The "empirical" initial-density term sum n delta^d tau^t (Pa s;
    delta = rho/rho_red, tau = T_red/T of its own) as residual polynomial
    rows in the residual's reducing values."""
    ini = v.get("initial_density")
    if not ini or ini["type"] != "empirical":
        return
    if x.res_red is None:
        x.res_red = (ini["T_reducing"], ini["rhomolar_reducing"] / 1000.0, 1e6)
    tr, dr, er = x.res_red
    t1, d1 = ini["T_reducing"], ini["rhomolar_reducing"] / 1000.0
    for n, d, t in zip(ini["n"], ini["d"], ini["t"]):
        # n (D/d1)^d (t1/T)^t Pa s = n 1e6/er (dr/d1)^d (t1/tr)^t (T/tr)^-t (D/dr)^d  x er
        x.poly.append((n * 1e6 / er * (dr / d1) ** d * (t1 / tr) ** t, -float(t), float(d), 0.0,
                       0))
    x.notes.append("Initial density: the empirical term of the data, sum n delta^d tau^t, as "
                   "residual terms.")


def _res_red(x, T_red, D_red, eta_red):
    if x.res_red is None:
        x.res_red = (T_red, D_red, eta_red)
    elif x.res_red != (T_red, D_red, eta_red):
        raise NoFit("residual groups with different reducing values")


def batschinski_hildebrand(h, x):
    Tr = h["T_reduce"]
    Dr = h["rhomolar_reduce"] / 1000.0
    if abs(Dr - 1.0) < 0.001:
        raise NoFit("reducing density within 0.001 of 1 mol/L")
    _res_red(x, Tr, Dr, 1e6)
    for a, t, d, g, l in zip(h["a"], h["t1"], h["d1"], h["gamma"], h["l"]):
        if g not in (0, -1, 0.0, -1.0):
            raise NoFit("exponential factor exp(%g delta^l)" % g)
        if l != int(l):
            raise NoFit("non-integer exponential power")
        x.poly.append((a, -t, d, 0.0, int(l) if g == -1 else 0))
    if not any(f != 0.0 for f in h["f"]):
        return
    # free-volume term (sum f delta^d2 tau^t2) (1/(d0 - delta) - 1/d0)
    #   = (sum f tau^t2 delta^(d2+1)) / (d0^2 - delta d0)
    g, hh, p, q = h["g"], h["h"], h["p"], h["q"]
    if len(p) == 1 and q[0] == 0:
        x.ncp_sign = 1
        x.cp = [(gi / p[0], -hi) for gi, hi in zip(g, hh)]
    elif len(g) == 1 and hh[0] == 0 and q[0] == 0:
        x.ncp_sign = -1
        x.cp = [(g[0] / p[0], 0.0)] + [(pk / p[0], -qk) for pk, qk in zip(p[1:], q[1:])]
    else:
        raise NoFit("close-packed density of this form")
    x.num += [(f, -t, d + 1, 0.0, 0) for f, t, d in zip(h["f"], h["t2"], h["d2"])]
    x.den += [(1.0, 0.0, 0.0, 2.0, 0), (-1.0, 0.0, 1.0, 1.0, 0)]


def _rational(x, pre, polys, num, den):
    """Polynomial terms pre*polys and one rational group pre*num/den."""
    for c, t, d in rows_of(pmul(pre, polys)):
        x.poly.append((c, t, d, 0.0, 0))
    for c, t, d in rows_of(pmul(pre, num)):
        x.num.append((c, t, d, 0.0, 0))
    for c, t, d in rows_of(den):
        x.den.append((c, t, d, 0.0, 0))


def hardcoded_residual(ds, kind, x, eos):
    M = eos["M"]
    pre = poly((1.0, 0.5, Fraction(2, 3)))  # rho_r^(2/3) Tr^(1/2)
    if kind == "CarbonDioxideLaeseckeJPCRD2017":
        c = _extra(ds, "co2_viscosity_Laesecke2017.json")
        R, Mk, NA = c["R_J_molK"], c["M_kg_mol"], c["N_A"]
        eta_tl = c["rho_tL_kg_m3"] ** (2.0 / 3.0) * math.sqrt(R * c["Tt_K"]) / \
            (Mk ** (1.0 / 6.0) * NA ** (1.0 / 3.0)) * 1e6
        _res_red(x, c["Tt_K"], c["rho_tL_kg_m3"] / M, eta_tl)
        x.poly.append((c["c1"], 1.0, 3.0, 0.0, 0))
        x.num += [(1.0, 0.0, 2.0, 0.0, 0), (1.0, 0.0, c["gamma"], 0.0, 0)]
        x.den += [(1.0, 1.0, 0.0, 0.0, 0), (-c["c2"], 0.0, 0.0, 0.0, 0)]
        x.notes.append("Residual part of Laesecke and Muzny (2017): eta_tL [c1 Tr rho_r^3 + "
                       "(rho_r^2 + rho_r^gamma)/(Tr - c2)], Tr = T/Tt, rho_r = rho/rho_tL, "
                       "eta_tL = %.8g uPa s." % eta_tl)
        return
    if kind == "Ethane":
        c = _extra(ds, "ethane_viscosity_Friend1991.json")
        res = c["eta_res"]
        g, r, s = res["g"], res["r"], res["s"]
        _res_red(x, c["Tc_K"], c["rhoc_mol_L"], res["factor"])
        x.num += [(g[i], -s[i], r[i], 0.0, 0) for i in range(9)]
        x.den += [(1.0, 0.0, 0.0, 0.0, 0)] + [(g[i], -s[i], r[i], 0.0, 0) for i in (9, 10)]
        return
    table = {"n-Hexane": ("hexane_viscosity_higher_Michailidou2013.json",),
             "n-Heptane": ("heptane_viscosity_higher_Michailidou2014.json",),
             "Toluene": ("toluene_viscosity_higher_Avgeri2015.json",),
             "Benzene": ("benzene_viscosity_higher_Avgeri2014.json",)}
    if kind not in table:
        raise NoFit("residual viscosity " + kind)
    c = _extra(ds, table[kind][0])
    Tc, rhoc, cc = c["Tc_K"], c["rhoc_kg_m3"], c["c"]
    _res_red(x, Tc, rhoc / M, 1.0)
    if kind == "n-Hexane":
        c1, c2, c3, c4, c5, c6, c7, c8, c9 = cc
        d1 = poly((c3, 0, 0), (1.0, 1, 0), (c4, 0, 2))
        d2 = poly((c6, 0, 0), (c7, 1, 0), (c8, 0, 1), (1.0, 0, 2), (c9, 1, 1))
        num = padd(pmul(poly((c2, 0, 0)), d2), pmul(poly((c5, 0, 0), (c5, 0, 1)), d1))
        _rational(x, pre, poly((c1, -1, 0)), num, pmul(d1, d2))
    elif kind == "n-Heptane":
        c1, c2, c3, c4, c5, c6, c7, c8 = cc
        _rational(x, pre, poly((c1, 0, 1), (c2, 0, 2), (c3, 0, 3)), poly((c4, 0, 1)),
                  poly((c5, 0, 0), (c6, 1, 0), (c7, 0, 1), (1.0, 0, 2), (c8, 1, 1)))
    elif kind == "Toluene":
        c0, c1, c2, c3, c4, c5 = cc
        _rational(x, pre, poly((c0, -1, 1), (c1, -1, 4), (c5, 0, 1)), poly((c2, 0, 3)),
                  poly((1.0, 0, 2), (c3, 0, 0), (c4, 1, 0)))
    else:
        c1, c2, c3, c4, c5, c6, c7, c8, c9 = cc
        d1 = poly((c3, 0, 0), (c4, 1, 0), (c5, 0, 1))
        d2 = poly((c8, 0, 0), (c9, 0, 2))
        num = padd(pmul(poly((c2, 0, 1)), d2), pmul(poly((c6, 0, 1), (c7, 0, 2)), d1))
        _rational(x, pre, poly((c1, 0, 2)), num, pmul(d1, d2))
    x.notes.append("Residual part: the published form with its fractions brought to one common "
                   "denominator (the same function; terms in T/Tc and rho/rhoc, Tc = %g K, "
                   "rhoc = %g kg/m3)." % (Tc, rhoc))


def viscosity_vs1(ds, name, v, eos):
    """The VS1 pieces of a composite viscosity entry, or NoFit."""
    if "hardcoded" in v or v.get("type"):
        raise NoFit("viscosity " + str(v.get("hardcoded") or v.get("type")))
    x = Vs1()
    sigma, epsk, estimated = lj_of(v, eos)
    x.sigma, x.epsk = sigma, epsk
    if "dilute" in v:
        dilute_part(ds, name, v, x, eos)
    initial_part(v, x, sigma, epsk)
    ho = v.get("higher_order")
    if ho:
        kind = ho.get("type") or ho.get("hardcoded")
        if "hardcoded" in ho:
            hardcoded_residual(ds, ho["hardcoded"], x, eos)
        elif kind == "modified_Batschinski_Hildebrand":
            batschinski_hildebrand(ho, x)
        else:
            raise NoFit("residual viscosity " + str(kind))
    empirical_initial(v, x)
    if x.res_red is None:
        x.res_red = (1.0, 1.0, 1.0)
    if estimated:
        x.notes.append("Lennard-Jones sigma and eps/k estimated from the reducing point "
                       "(0.809/D_red^(1/3) nm, T_red/1.2593).")
    return x


# ---------------------------------------------------------------------------
# Thermal conductivity (TC1) and its crossover enhancement (TK3)
# ---------------------------------------------------------------------------

class Tc1:
    def __init__(self):
        self.dil_red = (1.0, 1.0)
        self.num = []   # (c, e)
        self.den = []
        self.bk_red = (1.0, 1.0, 1.0)
        self.bnum = []  # (c, t, d, l)
        self.bden = []
        self.enhancement = "NUL"
        self.crossover = None  # nine values
        self.notes = []

    def body(self, lim):
        if len(self.num) + len(self.den) + len(self.bnum) + len(self.bden) > 40:
            raise ValueError("more than 40 conductivity term rows")
        out = limit_lines(lim)
        out.append(value_line([len(self.num), len(self.den)], "dilute-gas terms: numerator, "
                              "denominator"))
        if self.num:
            out.append(value_line(list(self.dil_red), "reducing T [K] and lambda [W/(m K)]", 40))
            out += [term_line([c, float(e)]) for c, e in self.num]
        out += [term_line([c, float(e)]) for c, e in self.den]
        out.append(value_line([len(self.bnum), len(self.bden)], "background terms: numerator, "
                              "denominator"))
        if self.bnum or self.bden:
            out.append(value_line(list(self.bk_red), "reducing T [K], D [mol/L], lambda "
                                  "[W/(m K)]", 60))
            out += [term_line([c, float(t), float(d), float(l)]) for c, t, d, l in self.bnum]
            out += [term_line([c, float(t), float(d), float(l)]) for c, t, d, l in self.bden]
        out.append(value_line([self.enhancement], "critical-enhancement model"))
        return out


def crossover_terms(cr, Tred):
    """The nine crossover values of a simplified Olchowy-Sengers entry (the
    data set's defaults where a key is absent; nu is 0.63 throughout)."""
    qd = cr.get("qD", 2e9)
    return [0.63, cr.get("gamma", 1.239), cr.get("R0", 1.03), 0.0, 0.0, cr.get("zeta0", 1.94e-10),
            cr.get("GAMMA", 0.0496), 1.0 / qd, cr.get("T_ref", 1.5 * Tred)]


def crossover_body(lim, terms, Tc, Dc):
    out = limit_lines(lim)
    out.append(value_line([9, 0, 0, 0], "number of terms"))
    out.append(value_line([Tc, Dc, 1.0], "reducing T [K], D [mol/L], lambda [W/(m K)]", 60))
    names = ["nu (universal exponent)", "gamma (universal exponent)", "R0 (universal amplitude)",
             "(not used)", "(not used)", "xi0 (amplitude) [m]", "Gamma0 (amplitude)",
             "1/qD (cutoff length) [m]", "T_ref (reference temperature) [K]"]
    out += [value_line([v], what) for v, what in zip(terms, names)]
    return out


def conductivity_tc1(ds, name, k, eos):
    if "hardcoded" in k or k.get("type"):
        raise NoFit("conductivity " + str(k.get("hardcoded") or k.get("type")))
    x = Tc1()
    dil, res, crit = k.get("dilute"), k.get("residual"), k.get("critical")
    M, Tred, Dred = eos["M"], eos["Tred"], eos["Dred"]
    kind = dil.get("type") or ("hardcoded:" + dil["hardcoded"])
    if kind == "ratio_of_polynomials":
        x.dil_red = (dil["T_reducing"], 1.0)
        x.num = list(zip(dil["A"], dil["n"]))
        x.den = list(zip(dil["B"], dil["m"]))
    elif kind == "eta0_and_poly":
        x.dil_red = (Tred, 1.0)
        x.num = [(dil["A"][0], -97.0)] + [(a, -t) for a, t in zip(dil["A"][1:], dil["t"][1:])]
    elif kind == "hardcoded:CarbonDioxideHuberJPCRD2016":
        c = _extra(ds, "co2_conductivity_dilute_Huber2016.json")
        L, Tr = c["L"], c["Tc_K"]
        x.dil_red = (Tr, 1e-3)
        x.num = [(1.0, 0.5)]
        x.den = [(Lk, -float(i)) for i, Lk in enumerate(L)]
        x.notes.append("Dilute gas of Huber et al. (2016): sqrt(Tr)/sum L_k Tr^-k mW/(m K), "
                       "Tr = T/%g K." % Tr)
    elif kind == "hardcoded:Ethane":
        # lambda0 = 0.276505 eta0 [3.75 - f_int (2.5 - cp0/R)], f_int = 1.7104147 - 0.6936482/T*
        #   = (R/M) eta0 ((cp0/R - 2.5) f_int + 3.75)  (the -96 row acts on f_int)
        c = _extra(ds, "ethane_conductivity_dilute_Friend1991.json")
        x.dil_red = (c["eps_over_k_K"], 1e-3 * c["factor"] * M / eos["R_lib"])
        x.num = [(c["fint"][0], 0.0), (c["fint"][1], -1.0), (0.0, -96.0)]
        x.notes.append("Dilute gas of Friend et al. (1991): 0.276505 eta0 [3.75 - f_int (2.5 - "
                       "cp0/R)] mW/(m K), f_int = 1.7104147 - 0.6936482/T*, T* = T/(245 K).")
    else:
        raise NoFit("dilute conductivity " + kind)
    rkind = res.get("type")
    if rkind == "polynomial":
        x.bk_red = (res["T_reducing"], res["rhomass_reducing"] / M, 1.0)
        x.bnum = [(b, -t, d, 0.0) for b, t, d in zip(res["B"], res["t"], res["d"])]
    elif rkind == "polynomial_and_exponential":
        x.bk_red = (Tred, Dred, 1.0)
        for a, t, d, g, l in zip(res["A"], res["t"], res["d"], res["gamma"], res["l"]):
            if g not in (0, 1, 0.0, 1.0):
                raise NoFit("background factor exp(-%g delta^l)" % g)
            x.bnum.append((a, -t, d, float(l) if g == 1 else 0.0))
    else:
        raise NoFit("background conductivity " + str(rkind))
    if crit is None or crit.get("hardcoded") == "None":
        x.enhancement = "NUL"
    elif crit.get("type") == "simplified_Olchowy_Sengers":
        x.enhancement = "TK3"
        x.crossover = crossover_terms(crit, Tred)
    elif crit.get("hardcoded") == "Ammonia":
        x.enhancement = "NH3"
        x.notes.append("Critical enhancement of Tufeu et al. (1984), a model of its own (NH3).")
    elif crit.get("hardcoded") == "R123":
        x.enhancement = "TK1"
        x.notes.append("Critical term of Laesecke et al. (1996), an empirical enhancement (TK1).")
    else:
        raise NoFit("critical enhancement " + str(crit))
    return x


# ---------------------------------------------------------------------------
# Corresponding states (ECS) and the blocks of a text
# ---------------------------------------------------------------------------

def shape_rows(psi, Dc):
    """sum a_i (rho/rho_r)^t_i as rows (c, 0, t) in rho/Dc."""
    rr = psi["rhomolar_reducing"] / 1000.0
    return [(a * (Dc / rr) ** t, 0.0, float(t)) for a, t in zip(psi["a"], psi["t"])]


def ecs_body(lim, ref, ref_codes, sigma, epsk, fint, psi, chi, enhancement):
    out = limit_lines(lim)
    out.append(value_line(["FEQ " + ref], "reference fluid"))
    out.append(value_line([ref_codes[0]], "viscosity model of the reference fluid"))
    out.append(value_line([ref_codes[1]], "conductivity model of the reference fluid"))
    out.append(value_line([1], "Lennard-Jones flag (1: the values given)"))
    out.append(value_line([sigma], "Lennard-Jones sigma [nm]"))
    out.append(value_line([epsk], "Lennard-Jones epsilon/k [K]"))
    out.append(value_line([len(fint)], "number of f_int terms"))
    out += [term_line([a, float(t), 0.0, 0.0]) for a, t in fint]
    for rows, what in ((psi, "viscosity shape function psi"),
                       (chi, "conductivity shape function chi")):
        out.append(value_line([len(rows), 0, 0], "terms of the " + what))
        out += [term_line([c, float(t), float(d), 0.0]) for c, t, d in rows]
    out.append(value_line([enhancement], "critical-enhancement model"))
    return out


_REFERENCE_RANGE = {}


def reference_range(ds, ref):
    """Upper temperature limit of a reference fluid's equation of state, K;
    None while that text itself is being written."""
    if ref not in _REFERENCE_RANGE:
        import fluid
        import verify
        _REFERENCE_RANGE[ref] = None
        sec = verify.sections(fluid.build(ds, ref, {})[0])
        _REFERENCE_RANGE[ref] = verify._nums(sec[("#EOS", "FEQ")][1])[0]
    return _REFERENCE_RANGE[ref]


def ecs_limits(ds, name, ref, lim, Tc):
    """The temperature range of a corresponding-states block: the equation
    of state's, held below 2.2 times the reference equation's upper
    temperature mapped by the critical temperatures (as far as the conformal
    solver goes).  Down to the equation's lower limit the reference fluid's
    correlation is evaluated at the conformal state, also below its own
    range, as the data's source does (the library continues a correlation
    beyond the density where it stops being sound).  Also a note, or None
    when nothing changed."""
    got = None if ref == name else reference_range(ds, ref)
    if got is None:
        return lim, None
    tmax = float(math.floor(2.2 * got * Tc / ds.number(ref, "Tc_K")))
    if tmax >= lim["Tmax"]:
        return lim, None
    new = dict(lim, Tmax=tmax)
    return new, ("Range held to the states the reference fluid answers for, mapped by the "
                 "critical temperatures: upper temperature %s K (the equation of state's %s K)."
                 % (num(tmax), num(lim["Tmax"])))


def _citations(cite, keys):
    return cite(keys) if keys else []


def _vs1_block(x, v, note_alt, cite, lim):
    import transport_fluids as tf
    para = ([note_alt] if note_alt else []) + x.notes + _citations(cite, v.get("BibTeX"))
    aux = []
    if x.ci is not None:
        code, terms = x.ci
        what = ("Reduced effective collision cross-section, exp(sum b_k (ln T*)^e_k)."
                if code == "CI1" else "Collision integral, 1/sum c_k (eps/kT)^((4-k)/3).")
        body = limit_lines(lim) + [value_line([len(terms)], "number of terms")]
        body += [term_line([c, e] if code == "CI1" else [c]) for c, e in terms]
        aux.append((code, "collision integral", [what], body))
    return tf.Block("VS1", "viscosity model", para, x.body(lim), aux)


def _tc1_block(x, k, cite, lim, Tc, Dc):
    import transport_fluids as tf
    aux = []
    if x.crossover is not None:
        aux.append(("TK3", "simplified crossover critical enhancement",
                    ["Critical enhancement of the simplified crossover model (Olchowy and "
                     "Sengers), the values of the conductivity correlation."],
                    crossover_body(lim, x.crossover, Tc, Dc)))
    return tf.Block("TC1", "thermal conductivity model",
                    x.notes + _citations(cite, k.get("BibTeX")), x.body(lim), aux)


def _write(out, marker, kind, block):
    out += [""] + opening(marker, kind, block.code, block.description, block.paragraphs)
    out += block.body
    for code, desc, para, body in block.aux:
        out += [""] + opening("#", "AUX", code, desc, para) + body


ECS_ESTIMATE = ("The viscosity correlation of the coefficient data is not written (%s); the "
                "viscosity is a corresponding-states estimate on %s (shape function 1, "
                "sigma and eps/k of the correlation), not the published correlation.")


def sections(ds, name, eos, consts, cite, family, report):
    """The transport sections of a fluid text (a list of lines, each section
    opened by a blank line).  eos: Tred, Dred, M, R_lib, Tmin, Tmax, pmax,
    Dmax of the written equation; consts: its Tc, Dc."""
    import transport_fluids as tf
    import transport_estimate
    d = ds.pure(name) or {}
    t = d.get("TRANSPORT") or {}
    v, k = t.get("viscosity"), t.get("conductivity")
    as_estimate = name in transport_estimate.AS_ESTIMATE
    if as_estimate:
        v = k = None
    lim = {key: eos[key] for key in ("Tmin", "Tmax", "pmax", "Dmax")}
    Tc, Dc = consts["Tc"], consts["Dc"]
    pending = report.setdefault("transport_pending", {})
    note_alt = None
    if isinstance(v, list):
        note_alt = ("The first viscosity correlation of the coefficient data (residual-entropy "
                    "scaling) has no form in this format; written is the alternative the data "
                    "give (%s)." % ("corresponding states" if v[1].get("type") == "ECS"
                                    else "collision integral and free-volume terms"))
        v = v[1]
    eta_ecs = v is not None and v.get("type") == "ECS"
    tcx_ecs = k is not None and k.get("type") == "ECS"
    eta_block = tcx_block = None
    estimate = False  # viscosity by a corresponding-states estimate
    special_eta, special_tcx = (None, None) if as_estimate else tf.specific(
        ds, name, v, k, lim, eos, consts, cite, lambda vv: lj_of(vv, eos))
    if special_eta == "ECS":
        estimate = True
    elif special_eta is not None:
        eta_block = special_eta
    elif v is not None and not eta_ecs:
        try:
            x = viscosity_vs1(ds, name, v, eos)
            eta_lim = lim
            if name in LOWER_LIMITS:
                eta_lim = dict(lim, Tmin=LOWER_LIMITS[name][0])
                x.notes.append(LOWER_LIMITS[name][1])
            eta_block = _vs1_block(x, v, note_alt, cite, eta_lim)
        except NoFit as why:
            pending[name + " viscosity"] = str(why)
    if special_tcx is not None:
        tcx_block = special_tcx
    elif k is not None and not tcx_ecs:
        try:
            x = conductivity_tc1(ds, name, k, eos)
            if x.enhancement == "TK1" and name == "r123":
                x.notes.append("Critical term of Laesecke et al. (1996) in the TK1 block below.")
            tcx_block = _tc1_block(x, k, cite, lim, Tc, Dc)
            if name == "r123":
                tcx_block.aux.append(tf.r123_enhancement(ds, lim, eos))
        except NoFit as why:
            pending[name + " conductivity"] = str(why)
    out = []
    if tcx_block is not None:
        _write(out, "#", "TCX", tcx_block)
    if eta_block is not None:
        _write(out, "#", "ETA", eta_block)
    if eta_ecs or tcx_ecs or estimate:
        ev = v if eta_ecs else None
        ek = k if tcx_ecs else None
        ref = (ev or ek)["reference_fluid_ours"] if (ev or ek) else kind_reference(name, family)
        if ek is not None and ev is not None and ek["reference_fluid_ours"] != ref:
            raise ValueError("%s: viscosity and conductivity on different reference fluids" % name)
        if ev is not None:
            sigma, epsk, _ = lj_of(ev, eos)
            psi = shape_rows(ev["psi"], Dc)
        else:
            sigma, epsk, _ = lj_of(v or {}, eos)
            psi = [(1.0, 0.0, 0.0)]
        if ek is not None:
            chi = shape_rows(ek["psi"], Dc)
            fi = ek["f_int"]
            fint = [(a * fi["T_reducing"] ** (-t), t) for a, t in zip(fi["a"], fi["t"])]
            qd = ek.get("q_D", 2e9)
        else:
            chi, fint, qd = [(1.0, 0.0, 0.0)], [], 2e9
        para = ([note_alt] if note_alt and eta_ecs else [])
        if estimate:
            para.append(ECS_ESTIMATE % (tf.ESTIMATE[name], ref))
            report.setdefault("transport_estimates", {})[name] = (ref, "viscosity")
        para.append("Extended corresponding states on %s: the fluid's state is mapped onto the "
                    "conformal state of the reference fluid; dilute gas by kinetic theory." % ref)
        if ev is None and not estimate:
            para.append("The coefficient data give this fluid's viscosity by a correlation of "
                        "its own; this block's viscosity shape function is 1.")
        if ek is None and tcx_block is not None:
            para.append("The thermal conductivity comes from the correlation of its own "
                        "above; this block's conductivity shape function is 1.")
        elif ek is None:
            para.append("The coefficient data give no thermal conductivity of this fluid: "
                        "the block's (shape function 1, default f_int) is an estimate.")
        elim, note = ecs_limits(ds, name, ref, lim, Tc)
        para += ([note] if note else []) + _citations(cite, (ev or ek or v or {}).get("BibTeX"))
        out += [""] + opening("#", "TRN", "ECS", "extended corresponding states model", para)
        out += ecs_body(elim, ref, REFERENCE_CODES[ref], sigma, epsk, fint, psi, chi, "TK6")
        out += [""] + opening("#", "AUX", "TK6", "crossover enhancement of the ECS model",
                              ["Critical enhancement of the corresponding-states model: the "
                               "simplified crossover model with its generalized values and the "
                               "cutoff of the data."])
        out += crossover_body(elim, [0.63, 1.239, 1.03, 0.0, 0.0, 1.94e-10, 0.0496, 1.0 / qd,
                                     1.5 * eos["Tred"]], Tc, Dc)
    elif eta_block is not None and tcx_block is not None:
        ref = kind_reference(name, family)
        para = ["Corresponding-states alternative on %s (shape functions 1) for mixtures and "
                "for states outside the ranges of the fluid's own correlations; sigma and "
                "eps/k of its viscosity correlation (or estimated from the reducing point "
                "where it gives none)." % ref]
        elim, note = ecs_limits(ds, name, ref, lim, Tc)
        para += [note] if note else []
        out += [""] + opening("@", "TRN", "ECS", "extended corresponding states model", para)
        sigma, epsk, _ = lj_of(v or {}, eos)
        out += ecs_body(elim, ref, REFERENCE_CODES[ref], sigma, epsk, [],
                        [(1.0, 0.0, 0.0)], [(1.0, 0.0, 0.0)], "NUL")
    elif tcx_block is None:
        # No correlation, or a viscosity only: a corresponding-states estimate.
        out += transport_estimate.block(ds, name, v, eos, consts, lim, family,
                                        eta_block is not None, report)
    else:
        raise ValueError("%s: a conductivity correlation without any viscosity" % name)
    return out
