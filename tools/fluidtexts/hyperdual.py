"""Hyper-dual numbers: exact first and second derivatives of an expression.

A value a + b e1 + c e2 + d e1 e2 with e1^2 = e2^2 = 0.  Evaluating f at
x0 + e1 + e2 gives f, f', f', f'' in the four parts; at x = x0 + e1 and
y = y0 + e2 the last part of f(x, y) is the mixed derivative.  Used only to
check the converted equations numerically.
"""

import math


class HD:
    __slots__ = ("a", "b", "c", "d")

    def __init__(self, a, b=0.0, c=0.0, d=0.0):
        self.a, self.b, self.c, self.d = float(a), float(b), float(c), float(d)

    @staticmethod
    def lift(x):
        return x if isinstance(x, HD) else HD(x)

    def _chain(self, f0, f1, f2):
        return HD(f0, f1 * self.b, f1 * self.c, f1 * self.d + f2 * self.b * self.c)

    def __add__(self, o):
        o = HD.lift(o)
        return HD(self.a + o.a, self.b + o.b, self.c + o.c, self.d + o.d)

    __radd__ = __add__

    def __neg__(self):
        return HD(-self.a, -self.b, -self.c, -self.d)

    def __sub__(self, o):
        return self + (-HD.lift(o))

    def __rsub__(self, o):
        return HD.lift(o) - self

    def __mul__(self, o):
        o = HD.lift(o)
        return HD(self.a * o.a, self.a * o.b + self.b * o.a, self.a * o.c + self.c * o.a,
                  self.a * o.d + self.b * o.c + self.c * o.b + self.d * o.a)

    __rmul__ = __mul__

    def inv(self):
        a = self.a
        return self._chain(1.0 / a, -1.0 / (a * a), 2.0 / (a * a * a))

    def __truediv__(self, o):
        return self * HD.lift(o).inv()

    def __rtruediv__(self, o):
        return HD.lift(o) * self.inv()

    def __pow__(self, p):
        if isinstance(p, HD):
            return exp(p * log(self))
        if float(p) == int(p) and abs(p) < 64:
            n = int(p)
            if n == 0:
                return HD(1.0)
            r = HD(1.0)
            base = self if n > 0 else self.inv()
            for _ in range(abs(n)):
                r = r * base
            return r
        a = self.a
        return self._chain(a ** p, p * a ** (p - 1), p * (p - 1) * a ** (p - 2))


def exp(x):
    if not isinstance(x, HD):
        return math.exp(x)
    e = math.exp(x.a)
    return x._chain(e, e, e)


def log(x):
    if not isinstance(x, HD):
        return math.log(x)
    return x._chain(math.log(x.a), 1.0 / x.a, -1.0 / (x.a * x.a))


def sinh(x):
    if not isinstance(x, HD):
        return math.sinh(x)
    return x._chain(math.sinh(x.a), math.cosh(x.a), math.sinh(x.a))


def cosh(x):
    if not isinstance(x, HD):
        return math.cosh(x)
    return x._chain(math.cosh(x.a), math.sinh(x.a), math.cosh(x.a))


def sqrt(x):
    return x ** 0.5


def value(x):
    return x.a if isinstance(x, HD) else float(x)


def derivatives(f, tau, delta):
    """The six reduced derivatives of f(tau, delta) used by the property
    routines: f, delta f_d, tau f_t, delta^2 f_dd, tau^2 f_tt, tau delta f_td."""
    r = f(HD(tau, 1.0, 1.0), HD(delta))
    f0, ft, ftt = r.a, r.b, r.d
    r = f(HD(tau), HD(delta, 1.0, 1.0))
    fd, fdd = r.b, r.d
    r = f(HD(tau, 1.0, 0.0), HD(delta, 0.0, 1.0))
    ftd = r.d
    return {
        "alphar": f0,
        "delta_dalphar_ddelta": delta * fd,
        "tau_dalphar_dtau": tau * ft,
        "delta2_d2alphar_ddelta2": delta * delta * fdd,
        "tau2_d2alphar_dtau2": tau * tau * ftt,
        "tau_delta_d2alphar_dtau_ddelta": tau * delta * ftd,
    }
