"""Ancillary equations (vapour pressure, saturated densities) checked against
the saturation states of the written equation of state, and refitted to them
where the data set's equation misses them.

The saturation line is solved on the written equation (satstate) from its
triple point up to 0.999 Tc.  A data-set ancillary is judged over the states
from the equation's lower limit to 0.995 Tc (closer to the critical point the
relative deviation of a density is governed by the critical exponent and by
small differences of Tc, not by the fit).  It is replaced when

- its largest deviation there exceeds both 0.5 % and the largest deviation
  the data set states for it (with a tenth added: the data set measured it
  on another temperature grid), or
- it does not reach the equation's lower limit (the text would have to keep
  the data set's higher limit, leaving the lowest temperatures without an
  ancillary).

The replacement has the same form (text model code) and the text's critical
temperature as reducing temperature.  The reducing density is the text's
critical density; the reducing pressure is fitted with the coefficients (the
equation's own critical pressure may differ slightly from the text's pc).
The coefficients are a linear least-squares fit, in relative deviation, to
every second state of a dense saturation line, for the data set's exponents
and a few general exponent sets; of the sets whose largest deviation over all
states of the line is at most twice the smallest, the one with the fewest
terms is written (numbers rounded to 10 digits).  It is
used only when it is better than the data set's equation."""

import math

import anc
import satstate

T_FIT_TOP = 0.999  # fraction of Tc: highest state of the fit
T_JUDGE_TOP = 0.995  # fraction of Tc: highest state judged
LIMIT = 0.5  # %: deviation always accepted
STATED_MARGIN = 1.1
COARSE, DENSE = 24, 96  # intervals of the saturation line: judging, fitting

# General exponent sets tried besides the data set's own (theta = 1 - T/Tc).
EXPONENTS = {
    "PS": [(1.0, 1.5, 2.5, 5.0),
           (1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 7.5, 10.0),
           (1.0, 1.5, 2.5, 5.0, 8.0, 12.0, 16.0, 20.0),
           (1.0, 1.5, 2.0, 3.0, 4.0, 6.0, 9.0, 13.0, 18.0, 24.0),
           (1.0, 1.5, 2.0, 2.5, 3.5, 5.0, 7.0, 10.0, 14.0, 19.0, 25.0),
           (1.0, 1.25, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 5.0, 6.0, 8.0, 10.0, 14.0, 20.0)],
    "DL": [(0.33, 0.5, 0.67, 1.0, 1.33, 1.67, 2.33, 3.33),
           (0.35, 0.5, 0.8, 1.2, 2.0, 3.0, 5.0, 8.0, 12.0),
           (0.33, 0.5, 0.67, 1.0, 1.33, 2.0, 3.0, 5.0, 8.0, 12.0, 18.0),
           (0.33, 0.5, 0.67, 0.83, 1.0, 1.17, 1.33, 1.67, 2.0, 2.5, 3.0, 4.0, 6.0, 10.0, 15.0)],
    "DV": [(0.33, 0.5, 0.67, 1.0, 1.33, 1.67, 3.0, 6.0, 10.0),
           (0.4, 0.8, 1.5, 2.5, 4.0, 6.0, 9.0, 13.0),
           (0.33, 0.67, 1.0, 1.5, 2.5, 4.0, 6.0, 9.0, 13.0, 18.0, 24.0),
           (0.33, 0.5, 0.67, 1.0, 1.33, 2.0, 3.0, 5.0, 8.0, 12.0, 18.0),
           (0.33, 0.5, 0.67, 0.83, 1.0, 1.17, 1.33, 1.67, 2.0, 2.5, 3.0, 4.0, 6.0, 10.0, 15.0),
           (0.33, 0.5, 0.67, 1.0, 1.33, 2.0, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0, 12.0, 15.0, 18.0)],
}

KEYS = (("PS", "pS"), ("DL", "rhoL"), ("DV", "rhoV"))


class Refit:
    """A replacement: text code, reducing point, terms; the largest
    deviations (%, T) of the data set's equation and of the new one; why
    ("deviation" or "short": the data set's equation does not reach the
    equation's lower limit, from T_data on)."""

    def __init__(self, code, Tr, Xr, terms, old, new, why, T_data):
        self.code, self.Tr, self.Xr, self.terms = code, Tr, Xr, terms
        self.old, self.new, self.why, self.T_data = old, new, why, T_data


def saturation_line(eq, tp, Tc, n):
    """Saturation states (T, p, DL, DV) of the written equation eq from its
    triple point tp = (Tmin, ptp, DL, DV) up to T_FIT_TOP*Tc in n steps,
    spaced evenly in sqrt(1 - T/Tc) (denser towards the critical point).
    Each state is solved from densities extrapolated from the two before it
    (followed in small steps where that fails).  Stops early when the
    equation's own critical point lies below the top."""
    Tmin, ptp, DL, DV = tp
    hi, lo = math.sqrt(1.0 - Tmin / Tc), math.sqrt(1.0 - T_FIT_TOP)
    states = [(Tmin, ptp, DL, DV)]
    for i in range(1, n + 1):
        u = hi + (lo - hi) * i / n
        T = Tc * (1.0 - u * u)
        T1, _, l1, v1 = states[-1]
        gl, gv = l1, v1
        if len(states) > 1:
            T0, _, l0, v0 = states[-2]
            gl = l1 + (l1 - l0) * (T - T1) / (T1 - T0)
            gv = v1 * math.exp(math.log(v1 / v0) * (1.0 / T - 1.0 / T1) / (1.0 / T1 - 1.0 / T0))
        try:
            p, dl, dv = eq.saturation(T, gl, gv)
            if not (0.5 * l1 < dl < l1 and v1 < dv):
                raise satstate.NoSaturation("another root")
        except satstate.NoSaturation:
            try:
                p, dl, dv = eq.march(T1, l1, v1, T)
            except satstate.NoSaturation:
                break
        states.append((T, p, dl, dv))
    return states


def _column(kind):
    return {"PS": 1, "DL": 2, "DV": 3}[kind]


def worst_deviation(kind, code, Tr, Xr, terms, states, Tc, Tlow=0.0):
    """Largest deviation (%, signed; inf where the equation fails) of an
    ancillary from the states at or above Tlow up to T_JUDGE_TOP*Tc, and its
    temperature."""
    k = _column(kind)
    worst = (0.0, 0.0)
    for s in states:
        T = s[0]
        if T < Tlow or T > T_JUDGE_TOP * Tc * (1.0 + 1e-12):
            continue
        try:
            dev = 100.0 * (anc.anc_eval(code, Tr, Xr, terms, T) / s[k] - 1.0)
        except (OverflowError, ValueError, ZeroDivisionError):
            dev = math.inf
        if not math.isfinite(dev):
            dev = math.inf
        if abs(dev) > abs(worst[0]):
            worst = (dev, T)
    return worst


def _lstsq(rows, rhs):
    """Least-squares solution of rows * x = rhs by Householder QR."""
    m, n = len(rows), len(rows[0])
    a = [list(r) + [b] for r, b in zip(rows, rhs)]
    for j in range(n):
        norm = math.sqrt(sum(a[i][j] * a[i][j] for i in range(j, m)))
        if norm == 0.0:
            raise ValueError("singular fit")
        alpha = -norm if a[j][j] >= 0.0 else norm
        v = [0.0] * j + [a[j][j] - alpha] + [a[i][j] for i in range(j + 1, m)]
        vv = sum(x * x for x in v[j:])
        for c in range(j, n + 1):
            f = 2.0 * sum(v[i] * a[i][c] for i in range(j, m)) / vv
            for i in range(j, m):
                a[i][c] -= f * v[i]
    x = [0.0] * n
    for j in range(n - 1, -1, -1):
        x[j] = (a[j][n] - sum(a[j][c] * x[c] for c in range(j + 1, n))) / a[j][j]
    return x


def fit(kind, code, exponents, Tr, Xr, states):
    """Reducing value and coefficients of an ancillary of text form `code`
    with the given exponents and reducing temperature Tr, fitted to the
    states in relative deviation.  Xr None: the reducing value is a parameter
    of the fit.  Returns (Xr, terms), rounded to 10 digits."""
    k = _column(kind)
    d = int(code[2])
    free = Xr is None
    rows, rhs = [], []
    for s in states:
        T, y = s[0], s[k]
        theta = abs(1.0 - T / Tr)
        # rows and right-hand side scaled so that the residual is the
        # relative (or logarithmic) deviation of the value; the unknowns are
        # (Xr,) Xr n_i for the linear forms, (ln Xr,) n_i for the others
        if d in (1, 2):
            if free:
                rows.append([1.0 / y] + [theta ** t / y for t in exponents])
                rhs.append(1.0)
            else:
                rows.append([Xr * theta ** t / y for t in exponents])
                rhs.append(1.0 - Xr / y)
        else:
            f = 1.0 if d in (3, 4) else Tr / T
            rows.append(([1.0] if free else []) + [f * theta ** t for t in exponents])
            rhs.append(math.log(y) if free else math.log(y / Xr))
    x = _lstsq(rows, rhs)
    if free:
        Xr = x[0] if d in (1, 2) else math.exp(x[0])
        n = [c / x[0] for c in x[1:]] if d in (1, 2) else x[1:]
    else:
        n = x
    return float("%.10g" % Xr), [(float("%.10g" % c), t) for c, t in zip(n, exponents)]


def best_fit(kind, code, own, Tc, Xc, states):
    """(worst, Xr, terms) of the fit to every second state, judged over all
    states: of the exponent sets (the data set's own first) whose largest
    deviation is at most twice the smallest one, the one with the fewest
    terms."""
    fits = []
    for exps in [tuple(own)] + EXPONENTS[kind]:
        try:
            Xr, terms = fit(kind, code, exps, Tc, Xc, states[::2])
        except (ValueError, ZeroDivisionError, OverflowError):
            continue
        fits.append((worst_deviation(kind, code, Tc, Xr, terms, states, Tc), Xr, terms))
    if not fits:
        return None
    least = min(abs(f[0][0]) for f in fits)
    return min((f for f in fits if abs(f[0][0]) <= 2.0 * least), key=lambda f: len(f[2]))


def _limit(stated):
    if isinstance(stated, (int, float)) and math.isfinite(stated):
        return max(LIMIT, STATED_MARGIN * stated)
    return LIMIT


class Candidate:
    """An ancillary as it would be written: kind, text code, reducing point,
    terms, its own lower limit and its stated largest deviation (%, or
    None)."""

    def __init__(self, kind, code, Tr, Xr, terms, Tlow, stated):
        self.kind, self.code, self.Tr, self.Xr, self.terms = kind, code, Tr, Xr, terms
        self.Tlow, self.stated = Tlow, stated


def data_candidates(ancillaries):
    """The data set's saturation ancillaries of a pure fluid."""
    out = []
    for kind, key in KEYS:
        x = ancillaries.get(key)
        if x is not None:
            code, terms = anc.anc_code(kind, x)
            out.append(Candidate(kind, code, x["T_r"], x["reducing_value"] / 1000.0, terms,
                                 x["Tmin"], x.get("max_abserror_percentage")))
    return out


def refits(candidates, eq, tp, Tc, pc, Dc):
    """The replacements {kind: Refit} of the candidate ancillaries for the
    written equation eq (an object with the saturation and march methods of
    satstate.Equation) with triple point tp and the text's critical point
    (Tc, pc, Dc)."""
    Tmin = tp[0]
    todo = []
    coarse = None
    for c in candidates:
        short = c.Tlow > Tmin + 1e-9 and not anc.sane_extension(
            c.kind, c.code, c.Tr, c.Xr, c.terms, c.Tlow, Tmin, Dc)
        if not short:
            if coarse is None:
                coarse = saturation_line(eq, tp, Tc, COARSE)
            old = worst_deviation(c.kind, c.code, c.Tr, c.Xr, c.terms, coarse, Tc)
            if abs(old[0]) <= _limit(c.stated):
                continue
        todo.append((c, short))
    out = {}
    if not todo:
        return out
    dense = saturation_line(eq, tp, Tc, DENSE)
    if len(dense) < DENSE // 2:
        return out  # too short a line to fit
    for c, short in todo:
        old = worst_deviation(c.kind, c.code, c.Tr, c.Xr, c.terms, dense, Tc)
        best = best_fit(c.kind, c.code, [t for _, t in c.terms], Tc,
                        None if c.kind == "PS" else Dc, dense)
        if best is None:
            continue
        new, Xnew, tnew = best
        if short:
            own = worst_deviation(c.kind, c.code, c.Tr, c.Xr, c.terms, dense, Tc, c.Tlow)
            ok = abs(new[0]) <= max(abs(own[0]), _limit(c.stated))
        else:
            ok = abs(new[0]) < abs(old[0])
        if ok:
            out[c.kind] = Refit(c.code, Tc, Xnew, tnew, old, new,
                                "short" if short else "deviation", c.Tlow)
    return out
