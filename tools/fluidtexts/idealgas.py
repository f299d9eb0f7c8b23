"""Ideal-gas part: the data set's alpha0 blocks, their conversion to the
heat-capacity form (cp0 = C_r * sum, T_r = 1 K) and to the Helmholtz form
(alpha0 = ln delta + sum of terms), and evaluators of all three."""

import math

import hyperdual as hd


class NoHelmholtzForm(Exception):
    pass


def _generalized_weights(n, c, tmax_x, tmin_x):
    """n ln(c + e^x) with c != 1: its cv0/R equals an infinite sum of
    Planck-Einstein terms with characteristic values m*theta, m = 1, 2, ...
    Returns the weights W_m of as many terms as needed for the remainder to
    stay below 1e-14 of cp0 (x = theta/T runs from tmin_x to tmax_x)."""
    weights = []
    for k in range(1, 25):
        s = -n * (-1.0) ** (k - 1) * c ** k
        for m in range(1, k):
            if k % m == 0:
                s -= m * weights[m - 1]
        weights.append(s / k)
        # remainder of the series beyond k, bounded at the smallest x
        x = tmin_x
        rem = abs(n) * x * x * sum(j * c ** j * math.exp(-j * x) for j in range(k + 1, k + 40))
        if rem < 1e-14:
            break
    return weights


def cp_terms(alpha0, Tred, Tmin, Tmax):
    """Heat-capacity form: dict with 'power' [(c, t)], 'pe' [(v, theta)],
    'cosh' [(a1, a3)], 'sinh' [(a1, a3)] of cp0/R (T in K, T_r = 1), and a
    list of notes on terms that are series expansions."""
    power, pe, cosh, sinh, notes = {}, [], [], [], []

    def add_power(c, t):
        t = float(t)
        power[t] = power.get(t, 0.0) + c

    add_power(1.0, 0.0)
    for b in alpha0:
        k = b["type"]
        if k in ("IdealGasHelmholtzLead", "IdealGasHelmholtzEnthalpyEntropyOffset"):
            continue
        if k == "IdealGasHelmholtzLogTau":
            add_power(b["a"], 0.0)
        elif k == "IdealGasHelmholtzPower":
            for n, t in zip(b["n"], b["t"]):
                if t not in (0, 1):
                    add_power(-n * t * (t - 1) * Tred ** t, -t)
        elif k == "IdealGasHelmholtzPlanckEinstein":
            for n, t in zip(b["n"], b["t"]):
                pe.append((n, t * Tred))
        elif k == "IdealGasHelmholtzPlanckEinsteinFunctionT":
            for n, v in zip(b["n"], b["v"]):
                pe.append((n, v))
        elif k == "IdealGasHelmholtzPlanckEinsteinGeneralized":
            for n, t, c, d in zip(b["n"], b["t"], b["c"], b["d"]):
                if c == 1 and d == -1:
                    pe.append((n, -t * Tred))
                elif c == 1 and d == 1:
                    a3 = t * Tred / 2.0
                    cosh.append((-n * a3 * a3, a3))
                elif d > 0 and t > 0:
                    theta = t * Tred
                    w = _generalized_weights(n, c / d, theta / Tmin, theta / Tmax)
                    for m, wm in enumerate(w, start=1):
                        pe.append((wm, m * theta))
                    notes.append((n, t, c, d, len(w)))
                else:
                    raise ValueError("generalized Planck-Einstein term c=%r d=%r" % (c, d))
        elif k == "IdealGasHelmholtzCP0Constant":
            add_power(b["cp_over_R"], 0.0)
        elif k == "IdealGasHelmholtzCP0PolyT":
            for c, t in zip(b["c"], b["t"]):
                add_power(c, t)
        elif k == "IdealGasHelmholtzCP0AlyLee":
            A, B, C, D, E = b["c"]
            if A != 0:
                add_power(A, 0.0)
            if B != 0:
                sinh.append((B * C * C, C))
            if D != 0:
                cosh.append((D * E * E, E))
        else:
            raise ValueError("ideal-gas block %s" % k)
    plist = [(c, t) for t, c in power.items() if c != 0.0]
    return {"power": plist, "pe": pe, "cosh": cosh, "sinh": sinh, "notes": notes}


def ph_terms(alpha0, Tred, Tmin, Tmax):
    """Helmholtz form: dict with 'log' [(a, 1)], 'power' [(a, t)], 'pe'
    [(a, b)] (a ln(1 - e^(b tau))), 'cosh' [(a, t)], 'sinh' [(a, t)].
    Raises NoHelmholtzForm for a term without such a form."""
    logc = 0.0
    power, pe, cosh, sinh = {}, [], [], []

    def add_power(a, t):
        t = float(t)
        power[t] = power.get(t, 0.0) + a

    for b in alpha0:
        k = b["type"]
        if k in ("IdealGasHelmholtzLead", "IdealGasHelmholtzEnthalpyEntropyOffset"):
            add_power(b["a1"], 0.0)
            add_power(b["a2"], 1.0)
        elif k == "IdealGasHelmholtzLogTau":
            logc += b["a"]
        elif k == "IdealGasHelmholtzPower":
            for n, t in zip(b["n"], b["t"]):
                add_power(n, t)
        elif k == "IdealGasHelmholtzPlanckEinstein":
            for n, t in zip(b["n"], b["t"]):
                pe.append((n, -t))
        elif k == "IdealGasHelmholtzPlanckEinsteinFunctionT":
            for n, v in zip(b["n"], b["v"]):
                pe.append((n, -v / b["Tcrit"]))
        elif k == "IdealGasHelmholtzPlanckEinsteinGeneralized":
            for n, t, c, d in zip(b["n"], b["t"], b["c"], b["d"]):
                if c == 1 and d == -1:
                    pe.append((n, t))
                elif c == 1 and d == 1:
                    add_power(n * math.log(2.0), 0.0)
                    add_power(n * t / 2.0, 1.0)
                    cosh.append((n, t / 2.0))
                elif d > 0 and t > 0:
                    theta = t * Tred
                    w = _generalized_weights(n, c / d, theta / Tmin, theta / Tmax)
                    add_power(n * math.log(d), 0.0)
                    add_power(n * t, 1.0)
                    for m, wm in enumerate(w, start=1):
                        pe.append((wm, -m * t))
                else:
                    raise NoHelmholtzForm("generalized Planck-Einstein term")
        elif k == "IdealGasHelmholtzCP0Constant":
            c, tau0 = b["cp_over_R"], b["Tc"] / b["T0"]
            logc += c
            add_power(c - c * math.log(tau0), 0.0)
            add_power(-c / tau0, 1.0)
        elif k == "IdealGasHelmholtzCP0PolyT":
            Tc, T0 = b["Tc"], b["T0"]
            for c, t in zip(b["c"], b["t"]):
                if t == 0:
                    tau0 = Tc / T0
                    logc += c
                    add_power(c - c * math.log(tau0), 0.0)
                    add_power(-c / tau0, 1.0)
                elif t == -1:
                    raise NoHelmholtzForm("a cp0 term in 1/T gives tau ln(tau)")
                else:
                    add_power(-c * Tc ** t / (t * (t + 1)), -t)
                    add_power(-c * T0 ** (t + 1) / (Tc * (t + 1)), 1.0)
                    add_power(c * T0 ** t / t, 0.0)
        elif k == "IdealGasHelmholtzCP0AlyLee":
            A, B, C, D, E = b["c"]
            Tc, T0 = b["Tc"], b["T0"]
            if A != 0:
                tau0 = Tc / T0
                logc += A
                add_power(A - A * math.log(tau0), 0.0)
                add_power(-A / tau0, 1.0)
            if B != 0:
                sinh.append((B, C / Tc))
                add_power(B * math.log(2.0), 0.0)
                add_power(-B * C / Tc, 1.0)
            if D != 0:
                cosh.append((-D, E / Tc))
                add_power(-D * math.log(2.0), 0.0)
                add_power(D * E / Tc, 1.0)
        else:
            raise ValueError("ideal-gas block %s" % k)
    plist = [(a, t) for t, a in power.items() if a != 0.0]
    terms = {"log": [(logc, 1.0)] if logc != 0.0 else [], "power": plist, "pe": pe,
             "cosh": cosh, "sinh": sinh}
    if sum(len(v) for v in terms.values()) > 10:
        raise NoHelmholtzForm("more than 10 terms")
    return terms


# --- evaluators --------------------------------------------------------------

def alpha0_data(alpha0):
    """alpha0(tau, delta) of the data set's blocks (README 4.3)."""
    def f(tau, delta):
        s = 0.0
        for b in alpha0:
            k = b["type"]
            if k == "IdealGasHelmholtzLead":
                s = s + hd.log(delta) + b["a1"] + b["a2"] * tau
            elif k == "IdealGasHelmholtzEnthalpyEntropyOffset":
                s = s + b["a1"] + b["a2"] * tau
            elif k == "IdealGasHelmholtzLogTau":
                s = s + b["a"] * hd.log(tau)
            elif k == "IdealGasHelmholtzPower":
                for n, t in zip(b["n"], b["t"]):
                    s = s + n * tau ** t
            elif k == "IdealGasHelmholtzPlanckEinstein":
                for n, t in zip(b["n"], b["t"]):
                    s = s + n * hd.log(1.0 - hd.exp(-t * tau))
            elif k == "IdealGasHelmholtzPlanckEinsteinFunctionT":
                for n, v in zip(b["n"], b["v"]):
                    s = s + n * hd.log(1.0 - hd.exp(-v * tau / b["Tcrit"]))
            elif k == "IdealGasHelmholtzPlanckEinsteinGeneralized":
                for n, t, c, d in zip(b["n"], b["t"], b["c"], b["d"]):
                    s = s + n * hd.log(c + d * hd.exp(t * tau))
            elif k == "IdealGasHelmholtzCP0Constant":
                c, tau0 = b["cp_over_R"], b["Tc"] / b["T0"]
                s = s + c - c * tau / tau0 + c * hd.log(tau / tau0)
            elif k == "IdealGasHelmholtzCP0PolyT":
                Tc, T0 = b["Tc"], b["T0"]
                tau0 = Tc / T0
                for c, t in zip(b["c"], b["t"]):
                    if t == 0:
                        s = s + c - c * tau / tau0 + c * hd.log(tau / tau0)
                    elif t == -1:
                        s = s + (c * tau / Tc) * hd.log(tau0 / tau) + (c / Tc) * (tau - tau0)
                    else:
                        s = s + (-c * Tc ** t * tau ** (-t) / (t * (t + 1))
                                 - c * T0 ** (t + 1) * tau / (Tc * (t + 1)) + c * T0 ** t / t)
            elif k == "IdealGasHelmholtzCP0AlyLee":
                A, B, C, D, E = b["c"]
                Tc, T0 = b["Tc"], b["T0"]
                tau0 = Tc / T0
                if A != 0:
                    s = s + A - A * tau / tau0 + A * hd.log(tau / tau0)
                if B != 0:
                    s = s + B * hd.log(1.0 - hd.exp(-2.0 * C * tau / Tc))
                if D != 0:
                    s = s - D * hd.log(1.0 + hd.exp(-2.0 * E * tau / Tc))
            else:
                raise ValueError(k)
        return s
    return f


def cp0_over_R_data(alpha0, Tred, T):
    r = alpha0_data(alpha0)(hd.HD(Tred / T, 1.0, 1.0), hd.HD(1.0))
    tau = Tred / T
    return 1.0 - tau * tau * r.d


def cp0_cpp(terms, T):
    """cp0 / C_r of the heat-capacity form as the library sums it (T_r = 1)."""
    s = 0.0
    for c, t in terms["power"]:
        s += c * T ** t
    for v, theta in terms["pe"]:
        u = theta / T
        if u < 200:
            e = math.exp(u)
            s += v * u * u * e / (1.0 - e) ** 2
    for a1, a3 in terms["cosh"]:
        y = a3 / T
        s += a1 * T ** -2 * math.cosh(y) ** -2
    for a1, a3 in terms["sinh"]:
        y = a3 / T
        s += a1 * T ** -2 * math.sinh(y) ** -2
    return s


def alpha0_ph(terms):
    """alpha0(tau, delta) of the Helmholtz form as the library sums it."""
    def f(tau, delta):
        s = hd.log(delta)
        for a, t in terms["log"]:
            s = s + a * hd.log(tau ** t)
        for a, t in terms["power"]:
            s = s + a * tau ** t
        for a, t in terms["pe"]:
            s = s + a * hd.log(1.0 - hd.exp(t * tau))
        for a, t in terms["cosh"]:
            s = s + a * hd.log(hd.cosh(t * tau))
        for a, t in terms["sinh"]:
            s = s + a * hd.log(hd.sinh(t * tau))
        return s
    return f


def ideal_h_s(alpha0, R, Tred, Dred, T0, p0):
    """Ideal-gas enthalpy (J/mol) and entropy (J/(mol K)) at T0 (K) and p0
    (kPa) from the data set's alpha0, its integration constants included."""
    tau = Tred / T0
    delta = p0 / (R * T0) / Dred
    r = alpha0_data(alpha0)(hd.HD(tau, 1.0), hd.HD(delta))
    a, at = r.a, tau * r.b
    return R * T0 * (1.0 + at), R * (at - a)
