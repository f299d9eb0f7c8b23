"""Check values of the GERG-2008 equation for a gas mixture, computed
independently of the library from the data set's GERG-2008 tables
(extra/gerg2008/gerg2008.json, equations of its SOURCE.md), in temperature
and density with exact derivatives (hyper-dual numbers).

    python3 gerg_check.py --data ../shared/fluid-data [--drop argon]

prints, for the 21-component test gas of the GERG-2008 reference program
(or the gas without the named components, renormalised) at 400 K and
50000 kPa: the density and the properties the library's GERG-2008 mode test
compares.  For the full gas it reproduces the values its SOURCE.md lists,
which checks this evaluation itself.
"""

import argparse
import json
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from hyperdual import HD, exp, log  # noqa: E402

GAS = [("methane", 0.77824), ("nitrogen", 0.02), ("co2", 0.06), ("ethane", 0.08),
       ("propane", 0.03), ("isobutane", 0.0015), ("butane", 0.003), ("ipentane", 0.0005),
       ("pentane", 0.00165), ("hexane", 0.00215), ("heptane", 0.00088), ("octane", 0.00024),
       ("nonane", 0.00015), ("decane", 0.00009), ("hydrogen", 0.004), ("oxygen", 0.005),
       ("co", 0.002), ("water", 0.0001), ("h2s", 0.0025), ("helium", 0.007), ("argon", 0.001)]


def lncosh(x):
    return log((exp(x) + exp(-x)) * 0.5)


def lnsinh(x):
    return log((exp(x) - exp(-x)) * 0.5)


class Gerg:
    def __init__(self, data, names, x):
        with open(os.path.join(data, "extra", "gerg2008", "gerg2008.json"), encoding="utf-8") as f:
            g = json.load(f)
        self.R, self.Rs = g["R_J_molK"], g["Rstar_J_molK"]
        comp = {c["name"]: c for c in g["components"]}
        self.c = [comp[n] for n in names]
        self.x = x
        self.dep = {d["name"]: d for d in g["departure_functions"]}
        self.pair = {}
        for p in g["binary_parameters"]:
            self.pair[(p["name1"], p["name2"])] = (p, False)
            self.pair[(p["name2"], p["name1"])] = (p, True)
        self.names = names

    def reducing(self):
        x, c = self.x, self.c
        T = sum(x[i] ** 2 * c[i]["Tc_K"] for i in range(len(x)))
        V = sum(x[i] ** 2 / c[i]["Dc_mol_L"] for i in range(len(x)))
        for i in range(len(x)):
            for j in range(i + 1, len(x)):
                p, rev = self.pair[(self.names[i], self.names[j])]
                bT, bV = p["betaT"], p["betaV"]
                if rev:
                    bT, bV = 1.0 / bT, 1.0 / bV
                Ti, Tj = c[i]["Tc_K"], c[j]["Tc_K"]
                Vij = (c[i]["Dc_mol_L"] ** (-1 / 3) + c[j]["Dc_mol_L"] ** (-1 / 3)) ** 3 / 8
                f = x[i] * x[j] * (x[i] + x[j])
                T += 2 * bT * p["gammaT"] * f / (bT ** 2 * x[i] + x[j]) * math.sqrt(Ti * Tj)
                V += 2 * bV * p["gammaV"] * f / (bV ** 2 * x[i] + x[j]) * Vij
        return T, 1.0 / V

    def alphar(self, tau, dl):
        x, c, tot = self.x, self.c, HD(0.0)
        for i, ci in enumerate(c):
            r = ci["residual"]
            s = HD(0.0)
            for n, d, t, cc in zip(r["n"], r["d"], r["t"], r["c"]):
                v = n * dl ** d * exp(t * log(tau))
                if cc > 0:
                    v = v * exp(-(dl ** cc))
                s = s + v
            tot = tot + x[i] * s
        for i in range(len(x)):
            for j in range(i + 1, len(x)):
                p, _ = self.pair[(self.names[i], self.names[j])]
                if p["F"] == 0 or not p["departure_function"]:
                    continue
                d = self.dep[p["departure_function"]]
                s = HD(0.0)
                for k in range(d["n_terms"]):
                    v = d["n"][k] * dl ** d["d"][k] * exp(d["t"][k] * log(tau))
                    if k >= d["n_polynomial_terms"]:
                        v = v * exp(-d["eta"][k] * (dl - d["epsilon"][k]) ** 2 -
                                    d["beta"][k] * (dl - d["gamma"][k]))
                    s = s + v
                tot = tot + x[i] * x[j] * p["F"] * s
        return tot

    def alpha0(self, T, rho):
        f, tot = self.Rs / self.R, HD(0.0)
        for i, ci in enumerate(self.c):
            n0, th = ci["ideal_gas"]["n0"], ci["ideal_gas"]["theta0"]
            tau = ci["Tc_K"] / T
            s = n0[0] + n0[1] * tau + n0[2] * log(tau)
            for k, sign in ((0, 1), (1, -1), (2, 1), (3, -1)):
                if th[k] == 0:
                    continue
                s = s + (n0[3 + k] * lnsinh(th[k] * tau) if sign > 0
                         else -n0[3 + k] * lncosh(th[k] * tau))
            tot = tot + self.x[i] * (log(rho / ci["Dc_mol_L"]) + f * s + math.log(self.x[i]))
        return tot

    def alpha(self, T, rho):
        Tr, Dr = self.reducing()
        return self.alpha0(T, rho) + self.alphar(Tr / T, rho / Dr)

    def props(self, T, rho):
        R = self.R
        a = self.alpha(HD(T, 1, 0, 0), HD(rho, 0, 1, 0))
        aT, ar, aTr = a.b, a.c, a.d
        aTT = self.alpha(HD(T, 1, 1, 0), HD(rho)).d
        arr = self.alpha(HD(T), HD(rho, 1, 1, 0)).d
        p = rho * rho * R * T * ar
        dpdr = R * T * (2 * rho * ar + rho * rho * arr)
        dpdT = rho * rho * R * (ar + T * aTr)
        A = R * T * a.a
        s = -R * a.a - R * T * aT
        u = A + T * s
        h = u + p / rho
        cv = -R * (2 * T * aT + T * T * aTT)
        cp = cv + T * dpdT ** 2 / (rho ** 2 * dpdr)
        M = sum(xi * ci["M_g_mol"] for xi, ci in zip(self.x, self.c))
        w = math.sqrt(1000.0 * cp / cv * dpdr / M)
        return dict(p=p, Z=p / (rho * R * T), dpdrho=dpdr, dpdT=dpdT, u=u, h=h, s=s, cv=cv,
                    cp=cp, w=w, g=h - T * s, M=M)

    def density(self, T, p, rho):
        for _ in range(100):
            q = self.props(T, rho)
            step = (q["p"] - p) / q["dpdrho"]
            rho -= step
            if abs(step) < 1e-15 * rho:
                break
        return rho


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--data", required=True)
    ap.add_argument("--drop", nargs="*", default=[])
    ap.add_argument("--T", type=float, default=400.0)
    ap.add_argument("--p", type=float, default=50000.0)
    args = ap.parse_args(argv)
    gas = [(n, v) for n, v in GAS if n not in args.drop]
    total = sum(v for _, v in gas)
    names, x = [n for n, _ in gas], [v / total for _, v in gas]
    g = Gerg(args.data, names, x)
    rho = g.density(args.T, args.p, 12.0)
    print("components", "|".join(names))
    print("x", " ".join(repr(v) for v in x))
    print("rho", repr(rho))
    for k, v in g.props(args.T, rho).items():
        print(k, repr(v))


if __name__ == "__main__":
    main()
