"""Residual Helmholtz energy: the data set's term blocks, their mapping onto
the fluid-text term format, and evaluators of both forms (used to check the
mapping and to find the maximum density of an equation)."""

from hyperdual import HD, exp, value


class NotExpressible(Exception):
    pass


def _ints(values, what):
    out = []
    for v in values:
        if float(v) != int(v):
            raise NotExpressible("%s exponent %r is not an integer" % (what, v))
        out.append(int(v))
    return out


def map_terms(blocks):
    """Maps the blocks of one equation onto (normal, critical) term lists.

    A normal term is (n, t, d, l, gamma); a critical term the twelve values
    n, t, d, l, m, c6, c7, c8, c9, c10, c11, c12."""
    normal, critical = [], []
    for b in blocks:
        kind = b["type"]
        n, t = b.get("n", []), b.get("t", [])
        if kind == "ResidualHelmholtzPower":
            for ni, ti, di, li in zip(n, t, _ints(b["d"], "d"), _ints(b["l"], "l")):
                normal.append((ni, ti, di, li, 1.0))
        elif kind == "ResidualHelmholtzExponential":
            for ni, ti, di, li, gi in zip(n, t, _ints(b["d"], "d"), _ints(b["l"], "l"), b["g"]):
                normal.append((ni, ti, di, li, float(gi) if li != 0 else 1.0))
        elif kind == "ResidualHelmholtzGaussian":
            for i in range(len(n)):
                d = _ints([b["d"][i]], "d")[0]
                critical.append([n[i], t[i], d, 2, 2.0, -b["eta"][i], -b["beta"][i],
                                 b["gamma"][i], b["epsilon"][i], 0.0, 0.0, 0.0])
        elif kind == "ResidualHelmholtzNonAnalytic":
            for i in range(len(n)):
                critical.append([n[i], 0.0, 1, 2, 2.0, b["b"][i], b["beta"][i], b["A"][i],
                                 b["C"][i], b["D"][i], b["B"][i], b["a"][i]])
        elif kind == "ResidualHelmholtzLemmon2005":
            for ni, ti, di, li, mi in zip(n, t, _ints(b["d"], "d"), _ints(b["l"], "l"), b["m"]):
                if mi == 0:
                    normal.append((ni, ti, di, li, 1.0))
                else:
                    critical.append([ni, ti, di, li, float(mi), -1.0 if li > 0 else 0.0, -1.0,
                                     0.0, 0.0, 0.0, 0.0, 0.0])
        elif kind == "ResidualHelmholtzDoubleExponential":
            ld = _ints(b["ld"], "ld")
            for i in range(len(n)):
                lt = b["lt"][i]
                critical.append([n[i], t[i], _ints([b["d"][i]], "d")[0], ld[i], float(lt),
                                 -b["gd"][i] if ld[i] > 0 else 0.0,
                                 -b["gt"][i] if lt != 0 else 0.0, 0.0, 0.0, 0.0, 0.0, 0.0])
        else:
            raise NotExpressible("term type %s" % kind)
    if len(normal) + len(critical) > 56 or len(critical) > 20:
        raise NotExpressible("%d normal and %d critical terms" % (len(normal), len(critical)))
    return normal, critical


def five_columns(normal):
    return any(l != 0 and g != 1.0 for (_, _, _, l, g) in normal)


# --- the data set's own form (README of the data set, section 4.2) ---------

def alphar_data(blocks):
    def f(tau, delta):
        s = 0.0
        for b in blocks:
            kind = b["type"]
            n, t = b.get("n", []), b.get("t", [])
            if kind == "ResidualHelmholtzPower":
                for ni, ti, di, li in zip(n, t, b["d"], b["l"]):
                    v = ni * delta ** di * tau ** ti
                    s = s + (v * exp(-(delta ** li)) if li > 0 else v)
            elif kind == "ResidualHelmholtzExponential":
                for ni, ti, di, li, gi in zip(n, t, b["d"], b["l"], b["g"]):
                    v = ni * delta ** di * tau ** ti
                    s = s + (v * exp(-gi * delta ** li) if li > 0 else v)
            elif kind == "ResidualHelmholtzGaussian":
                for i in range(len(n)):
                    s = s + n[i] * delta ** b["d"][i] * tau ** t[i] * exp(
                        -b["eta"][i] * (delta - b["epsilon"][i]) ** 2
                        - b["beta"][i] * (tau - b["gamma"][i]) ** 2)
            elif kind == "ResidualHelmholtzNonAnalytic":
                for i in range(len(n)):
                    dd = (delta - 1.0) ** 2
                    theta = (1.0 - tau) + b["A"][i] * dd ** (1.0 / (2.0 * b["beta"][i]))
                    big = theta ** 2 + b["B"][i] * dd ** b["a"][i]
                    psi = exp(-b["C"][i] * dd - b["D"][i] * (tau - 1.0) ** 2)
                    s = s + n[i] * big ** b["b"][i] * delta * psi
            elif kind == "ResidualHelmholtzLemmon2005":
                for ni, ti, di, li, mi in zip(n, t, b["d"], b["l"], b["m"]):
                    v = ni * delta ** di * tau ** ti
                    if li > 0:
                        v = v * exp(-(delta ** li))
                    if mi != 0:
                        v = v * exp(-(tau ** mi))
                    s = s + v
            elif kind == "ResidualHelmholtzDoubleExponential":
                for i in range(len(n)):
                    v = n[i] * delta ** b["d"][i] * tau ** t[i]
                    arg = 0.0
                    if b["ld"][i] > 0:
                        arg = arg - b["gd"][i] * delta ** b["ld"][i]
                    if b["lt"][i] != 0:
                        arg = arg - b["gt"][i] * tau ** b["lt"][i]
                    s = s + v * exp(arg)
            else:
                raise NotExpressible(kind)
        return s
    return f


# --- the fluid-text form, as the library evaluates it ----------------------

def _floor(x):
    if abs(value(x)) < 1e-10:
        return HD(1e-10) if isinstance(x, HD) else 1e-10
    return x


def _ipow(x, n):
    return x ** int(n)


def alphar_feq(normal, critical):
    def f(tau, delta):
        s = 0.0
        for (n, t, d, l, g) in normal:
            v = n * tau ** t * _ipow(delta, d)
            if l != 0:
                v = v * exp(-g * _ipow(delta, l))
            s = s + v
        for c in critical:
            n, t, d, l, m, c6, c7, c8, c9, c10, c11, c12 = c
            v = n * tau ** t * _ipow(delta, d)
            if abs(c10) < 1e-12:
                dt = tau - c8
                tpart = dt * dt if m == 2 else dt ** m
                v = v * exp(c6 * _ipow(delta - c9, l) + c7 * tpart)
            else:
                dm1 = delta - 1.0
                omt = 1.0 - tau
                if abs(value(dm1)) < 1e-10:
                    dm1 = dm1 * 0.0 + (1e-10 if value(dm1) >= 0 else -1e-10)
                if abs(value(omt)) < 1e-10:
                    omt = omt * 0.0 + (1e-10 if value(omt) >= 0 else -1e-10)
                dd = dm1 * dm1
                theta = omt + c8 * dd ** (1.0 / (2.0 * c7))
                big = theta * theta + c11 * dd ** c12
                psi = exp(-c9 * _ipow(dm1, l) - c10 * omt ** m)
                v = v * psi * big ** c6
            s = s + v
        return s
    return f


def pressure(alphar, R, Tred, Dred, T, D):
    """Pressure in kPa from a residual function at T (K) and D (mol/L)."""
    r = alphar(HD(Tred / T), HD(D / Dred, 1.0))
    return D * R * T * (1.0 + (D / Dred) * r.b)


def max_density(alphar, R, Tred, Dred, T, pmax, d_liquid):
    """Density at T and pmax on the liquid branch (Newton from the triple-
    point liquid density); None when the equation does not reach pmax
    monotonically there."""
    D = d_liquid
    for _ in range(200):
        r = alphar(HD(Tred / T), HD(D / Dred, 1.0, 1.0))
        delta = D / Dred
        p = D * R * T * (1.0 + delta * r.b)
        dpdD = R * T * (1.0 + 2.0 * delta * r.b + delta * delta * r.d)
        if dpdD <= 0:
            return None
        step = (pmax - p) / dpdD
        step = max(min(step, 0.2 * D), -0.2 * D)
        D += step
        if abs(step) < 1e-12 * D:
            return D
    return None
