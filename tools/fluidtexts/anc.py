"""Ancillary equations (vapour pressure, saturated densities), melting lines
and surface tension: mapping of the data set's forms onto the text forms."""

import math


def anc_code(kind, a):
    """Text model code and term list (N, t) of a data-set ancillary."""
    terms = list(zip(a["n"], a["t"]))
    if kind in ("PS", "PL"):
        if not a["using_tau_r"]:
            raise ValueError("pressure ancillary without T_r/T factor")
        return kind + "5", terms
    if kind == "DL":
        if a["type"] == "rhoLnoexp":
            return "DL1", terms
        return ("DL5" if a["using_tau_r"] else "DL3"), terms
    if a["type"] == "rhoLnoexp":
        return "DV1", terms
    return ("DV5" if a["using_tau_r"] else "DV3"), terms


def anc_eval(code, Tr, Xr, terms, T):
    """The value of a text-form ancillary (odd codes only)."""
    d = int(code[2])
    theta = abs(1.0 - T / Tr)
    s = sum(n * theta ** t for n, t in terms)
    if d in (1, 2):
        return Xr * (1.0 + s)
    if d in (3, 4):
        return Xr * math.exp(s)
    return Xr * math.exp(Tr / T * s)


def sane_extension(kind, code, Tr, Xr, terms, T_from, T_to, Dc):
    """True when the equation, taken from T_from down to T_to, stays positive
    and plausible (pressure and vapour density falling as T falls, liquid
    density above the critical density and within
    -10 % and +50 % of its value at T_from)."""
    if T_to >= T_from - 1e-6:
        return True
    prev = first = anc_eval(code, Tr, Xr, terms, T_from)
    steps = 200
    for i in range(1, steps + 1):
        T = T_from - (T_from - T_to) * i / steps
        try:
            v = anc_eval(code, Tr, Xr, terms, T)
        except (OverflowError, ValueError):
            return False
        if not (v > 0 and math.isfinite(v)):
            return False
        if kind == "DL":
            # liquid densities may pass a maximum (water-like fluids)
            if v < Dc or not 0.9 * first < v < 1.5 * first:
                return False
        elif v > prev * (1.0 + 1e-12):
            return False
        prev = v
    return True


def melting_terms(ml, Ttp):
    """ML1 form of a melting line, or the two-branch MLP form of a
    two-segment Simon line split at 22 K.  Returns (code, Tlow, Thigh,
    segments, note): each segment is (Tstart, Tred, Pred, power, diff), the
    first from Tlow, each further one from its own lower limit on; note is
    the number of published segments and the range written where that is
    not the whole line, else None."""
    parts = ml["parts"]
    kind = ml["type"]

    def segment_terms(p):
        T0, p0 = p["T_0"], p["p_0"] / 1000.0
        if kind == "Simon":
            a, c = p["a"] / 1000.0, p["c"]
            return T0, 1.0, [(p0 - a, 0.0), (a, c)], []
        if kind == "polynomial_in_Tr":
            return T0, p0, [(1.0 - sum(p["a"]), 0.0)] + list(zip(p["a"], p["t"])), []
        if kind == "polynomial_in_Theta":
            return T0, p0, [(1.0, 0.0)], list(zip(p["a"], p["t"]))
        raise ValueError(kind)

    def span(p):
        return min(p["T_min"], p["T_max"]), max(p["T_min"], p["T_max"])

    if kind == "Simon" and len(parts) == 2 and parts[0]["T_max"] == 22 and \
            parts[0]["T_0"] == 1 and parts[1]["T_0"] == 1:
        # two branches on one reducing point: terms 1, 2 above 22 K, 3, 4 below
        _, _, low, _ = segment_terms(parts[0])
        _, _, high, _ = segment_terms(parts[1])
        return "MLP", Ttp, parts[1]["T_max"], [(Ttp, 1.0, 1.0, high + low, [])], None
    # The segments that reach above the triple point, in order of temperature:
    # the others describe solid phases below the triple-point temperature,
    # outside the range of the equation.  Each is written with its own range;
    # a line whose lowest segment starts above the triple point starts there.
    used = sorted((p for p in parts if span(p)[1] > Ttp + 1e-9), key=lambda p: span(p)[0])
    if not used:
        raise ValueError("no melting segment above the triple point")
    segs = []
    for p in used:
        Tred, Pred, power, diff = segment_terms(p)
        segs.append((max(span(p)[0], Ttp), Tred, Pred, power, diff))
    Thigh = span(used[-1])[1]
    note = None
    if len(parts) > 1:
        note = (len(parts), segs[0][0], Thigh)
    return "ML1", segs[0][0], Thigh, segs, note


def melting_eval(code, Tred, Pred, power, diff, T):
    Tr = T / Tred
    if code == "MLP":
        (a1, _), (a2, t2), (a3, _), (a4, t4) = power
        return Pred * (a1 + a2 * Tr ** t2) if T > 22 else Pred * (a3 + a4 * Tr ** t4)
    s = sum(a * Tr ** t for a, t in power) + sum(a * (Tr - 1.0) ** t for a, t in diff)
    return Pred * s

