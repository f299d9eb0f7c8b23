"""Saturation states of a written equation of state: the triple-point
pressure and liquid density at the lower temperature limit, the normal
boiling point, and the liquid root at a given pressure.

An equation is given as (alphar, R, Tred, Dred): alphar(tau, delta) is the
residual Helmholtz function as the library evaluates it (residual.alphar_feq),
R in J/(mol K), Tred in K, Dred in mol/L.  Pressures are in kPa, densities in
mol/L.  The saturation condition is equal pressure and equal Gibbs energy of
the two roots, solved by Newton's method in (delta_L, ln delta_V):

    J(delta) = delta (1 + delta ar_d)             (p / (Dred R T))
    K(delta) = delta ar_d + ar + ln delta         (g / (R T) up to a constant)
"""

import math

from hyperdual import HD

P_ATM = 101.325


class NoSaturation(Exception):
    pass


class Equation:
    def __init__(self, alphar, R, Tred, Dred):
        self.alphar, self.R, self.Tred, self.Dred = alphar, R, Tred, Dred

    def _d(self, T, delta):
        """ar, delta ar_d, delta^2 ar_dd at T and delta."""
        r = self.alphar(HD(self.Tred / T), HD(delta, 1.0, 1.0))
        return r.a, delta * r.b, delta * delta * r.d

    def jk(self, T, delta):
        """J, K and their derivatives with respect to delta."""
        a, ad, add = self._d(T, delta)
        J = delta * (1.0 + ad)
        Jd = 1.0 + 2.0 * ad + add
        K = ad + a + math.log(delta)
        Kd = (2.0 * ad + add + 1.0) / delta
        return J, Jd, K, Kd

    def pressure(self, T, D):
        _, ad, _ = self._d(T, D / self.Dred)
        return D * self.R * T * (1.0 + ad)

    def dpdd(self, T, D):
        _, ad, add = self._d(T, D / self.Dred)
        return self.R * T * (1.0 + 2.0 * ad + add)

    def liquid_root(self, T, p, D0):
        """Density of the liquid at T and p by Newton's method from D0 (which
        must lie on the liquid branch)."""
        D = D0
        for _ in range(100):
            dp = self.dpdd(T, D)
            if not dp > 0.0:
                raise NoSaturation("no liquid root at %g K, %g kPa" % (T, p))
            step = (p - self.pressure(T, D)) / dp
            step = max(min(step, 0.05 * D), -0.05 * D)
            D += step
            if abs(step) <= 1e-15 * D:
                return D
        raise NoSaturation("liquid root at %g K, %g kPa did not converge" % (T, p))

    def saturation(self, T, DL, DV):
        """(p, DL, DV) of the saturation state at T from start densities near
        it; raises NoSaturation when Newton's method leaves the two branches."""
        dl, lv = DL / self.Dred, math.log(DV / self.Dred)
        for _ in range(60):
            dv = math.exp(lv)
            JL, JdL, KL, KdL = self.jk(T, dl)
            JV, JdV, KV, KdV = self.jk(T, dv)
            if not (JdL > 0.0 and JdV > 0.0 and dl > dv):
                raise NoSaturation("left the liquid or vapour branch at %g K" % T)
            f1, f2 = JL - JV, KL - KV
            # columns: d/d(delta_L), d/d(ln delta_V)
            a11, a12 = JdL, -JdV * dv
            a21, a22 = KdL, -KdV * dv
            det = a11 * a22 - a12 * a21
            if det == 0.0:
                raise NoSaturation("singular saturation system at %g K" % T)
            s1 = (f1 * a22 - f2 * a12) / det
            s2 = (a11 * f2 - a21 * f1) / det
            s1 = max(min(s1, 0.1 * dl), -0.1 * dl)
            s2 = max(min(s2, 1.0), -1.0)
            dl -= s1
            lv -= s2
            if abs(s1) <= 1e-12 * dl and abs(s2) <= 1e-11:
                break
        else:
            raise NoSaturation("saturation at %g K did not converge" % T)
        dv = math.exp(lv)
        if abs(dl - dv) < 1e-6 * dl:
            raise NoSaturation("trivial solution at %g K" % T)
        DV = dv * self.Dred
        return self.pressure(T, DV), dl * self.Dred, DV

    def march(self, T_from, DL, DV, T_to, steps=None):
        """Saturation at T_to, followed along the boundary from a known state
        (T_from, DL, DV); the start densities of each step are extrapolated
        (DL linearly, ln DV linearly in 1/T)."""
        n = steps or max(1, int(math.ceil(abs(T_to - T_from) / 4.0)))
        prev = None
        cur = (T_from, DL, DV)
        for i in range(1, n + 1):
            T = T_from + (T_to - T_from) * i / n
            if prev is None:
                gl, gv = cur[1], cur[2]
            else:
                w = (1.0 / T - 1.0 / cur[0]) / (1.0 / cur[0] - 1.0 / prev[0])
                gl = cur[1] + (cur[1] - prev[1]) * (T - cur[0]) / (cur[0] - prev[0])
                gv = cur[2] * math.exp(w * math.log(cur[2] / prev[2]))
            p, dl, dv = self.saturation(T, gl, gv)
            prev, cur = cur, (T, dl, dv)
        return p, cur[1], cur[2]

    def lowest_saturation(self, T_low, T_from, DL, DV, tol=0.01):
        """The lowest temperature between T_low and T_from (a saturation state
        (T_from, DL, DV) known) at which the equation has a saturation state,
        rounded up to a multiple of tol: (T, p, DL, DV)."""
        lo, hi, state = T_low, T_from, (DL, DV)
        while hi - lo > 0.2 * tol:
            mid = 0.5 * (lo + hi)
            try:
                _, dl, dv = self.march(hi, state[0], state[1], mid)
                hi, state = mid, (dl, dv)
            except NoSaturation:
                lo = mid
        T = math.ceil(hi / tol - 1e-9) * tol
        T = float("%.10g" % T)
        p, dl, dv = self.march(hi, state[0], state[1], T)
        return T, p, dl, dv

    def boiling_point(self, p_target, T0, DL0, DV0):
        """Temperature at which the saturation pressure is p_target, from a
        saturation state (T0, DL0, DV0): secant steps in ln p against 1/T."""
        T, (p, dl, dv) = T0, self.saturation(T0, DL0, DV0)
        pts = [(1.0 / T, math.log(p), dl, dv)]
        # first step from the Clausius-Clapeyron slope estimated along the line
        T1 = T * 1.02 if p < p_target else T * 0.98
        p1, dl1, dv1 = self.march(T, dl, dv, T1)
        pts.append((1.0 / T1, math.log(p1), dl1, dv1))
        for _ in range(50):
            (x0, y0, _, _), (x1, y1, l1, v1) = pts[-2], pts[-1]
            x = x1 + (math.log(p_target) - y1) * (x1 - x0) / (y1 - y0)
            Tn = 1.0 / x
            pn, ln_, vn = self.march(1.0 / x1, l1, v1, Tn)
            pts.append((x, math.log(pn), ln_, vn))
            if abs(pn - p_target) <= 1e-13 * p_target or abs(Tn - 1.0 / x1) < 1e-12 * Tn:
                return Tn, pn, ln_, vn
        raise NoSaturation("boiling point at %g kPa did not converge" % p_target)


class TermEquation(Equation):
    """The same equation evaluated from its fluid-text term lists in plain
    floating point (the delta derivatives in closed form, the temperature
    factors kept per temperature): much faster than the hyper-dual
    evaluation, for long saturation lines.  Equations with non-analytic
    terms are not accepted (ValueError)."""

    def __init__(self, normal, critical, R, Tred, Dred):
        if any(abs(c[9]) >= 1e-12 for c in critical):
            raise ValueError("non-analytic terms")
        super().__init__(None, R, Tred, Dred)
        self.normal, self.critical = normal, critical
        self._T, self._factors = None, None

    def _tau_factors(self, T):
        if T != self._T:
            tau = self.Tred / T
            f = [n * tau ** t for (n, t, _, _, _) in self.normal]
            for (n, t, _, _, m, _, c7, c8, _, _, _, _) in self.critical:
                dt = tau - c8
                f.append(n * tau ** t * math.exp(c7 * (dt * dt if m == 2 else dt ** m)))
            self._T, self._factors = T, f
        return self._factors

    def _d(self, T, delta):
        """ar, delta ar_d, delta^2 ar_dd at T and delta: each term is
        v = F(tau) delta^d exp(E(delta)); with u = delta dlnv/ddelta,
        delta dv/ddelta = v u and delta^2 d2v/ddelta2 = v (u^2 + delta du/ddelta - u)."""
        f = self._tau_factors(T)
        a = ad = add = 0.0
        k = 0
        for (_, _, d, l, g) in self.normal:
            v = f[k] * delta ** d
            k += 1
            if l != 0:
                dl = delta ** l
                v *= math.exp(-g * dl)
                u, du = d - g * l * dl, -g * l * l * dl
            else:
                u, du = float(d), 0.0
            a += v
            ad += v * u
            add += v * (u * u + du - u)
        for (_, _, d, l, _, c6, _, _, c9, _, _, _) in self.critical:
            w = delta - c9
            v = f[k] * delta ** d
            k += 1
            u, du = float(d), 0.0
            if l != 0 and c6 != 0.0:
                v *= math.exp(c6 * w ** l)
                g1 = c6 * l * delta * w ** (l - 1)
                u += g1
                du = g1 + (c6 * l * (l - 1) * delta * delta * w ** (l - 2) if l >= 2 else 0.0)
            a += v
            ad += v * u
            add += v * (u * u + du - u)
        return a, ad, add

