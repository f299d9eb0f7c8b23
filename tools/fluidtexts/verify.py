"""Reads written fluid texts back (as the library's loaders read them) and
compares the equations with the independent reference values: residual
Helmholtz derivatives and cp0/R of single-phase states."""

import csv
import math
import os

import hyperdual
import idealgas
import residual


def _nums(line, n=None):
    out = []
    for f in line.replace(",", " ").split():
        try:
            out.append(float(f.replace("d", "e").replace("D", "e")))
        except ValueError:
            break
    return out if n is None else out[:n]


def sections(lines):
    """{(marker+keyword, code): body lines} of a fluid text."""
    out = {}
    i = 0
    while i < len(lines):
        ln = lines[i]
        if ln.startswith("@END"):
            break
        if ln[:1] in "#@" and len(ln) > 1:
            key = ln[:4].rstrip()
            code = lines[i + 1][:3]
            j = i + 2
            while lines[j].startswith("?"):
                j += 1
            out[(key, code)] = lines[j + 1:]
            i = j + 1
            continue
        i += 1
    return out


def read_feq(body):
    v = [_nums(body[k]) for k in range(15)]
    eq = {"Tmin": v[0][0], "Tmax": v[1][0], "pmax": v[2][0], "Dmax": v[3][0],
          "Tred": v[12][0], "Dred": v[12][1], "R": v[13][0]}
    nn, cols, nc = int(v[14][0]), int(v[14][1]), int(v[14][2])
    normal, critical = [], []
    for k in range(nn):
        x = _nums(body[15 + k])
        g = x[4] if cols == 5 else 1.0
        normal.append((x[0], x[1], int(round(x[2])), int(round(x[3])), g))
    for k in range(nc):
        x = _nums(body[15 + nn + k])
        critical.append([x[0], x[1], int(round(x[2])), int(round(x[3]))] + x[4:12])
    eq["normal"], eq["critical"] = normal, critical
    return eq


def read_cpp(body):
    Tr, Cr = _nums(body[4])[:2]
    counts = [int(round(c)) for c in _nums(body[5])[:4]]
    k = 6
    t = {"power": [], "pe": [], "cosh": [], "sinh": []}
    for key, n in zip(("power", "pe", "cosh", "sinh"), counts):
        for _ in range(n):
            x = _nums(body[k])
            k += 1
            t[key].append((x[0], x[1]) if key in ("power", "pe") else (x[0], x[2]))
    assert Tr == 1.0
    return Cr, t


def compare(text_dir, reference_dir, names):
    """Worst relative deviation per fluid over the rows of single.csv."""
    path = os.path.join(reference_dir, "single.csv")
    rows = {}
    with open(path, newline="") as f:
        for r in csv.DictReader(f):
            rows.setdefault(r["name"], []).append(r)
    result = {}
    for name in names:
        if name not in rows:
            continue
        fn = os.path.join(text_dir, name + ".txt")
        if not os.path.exists(fn):
            continue
        with open(fn) as f:
            lines = f.read().split("\n")
        sec = sections(lines)
        if ("#EOS", "FEQ") not in sec:
            continue
        eq = read_feq(sec[("#EOS", "FEQ")])
        Cr, cpt = read_cpp(sec[("#AUX", "CPP")])
        fa = residual.alphar_feq(eq["normal"], eq["critical"])
        worst_r, worst_c, where = 0.0, 0.0, None
        for r in rows[name]:
            T, D = float(r["T"]), float(r["D"])
            d = hyperdual.derivatives(fa, eq["Tred"] / T, D / eq["Dred"])
            scale = max(abs(float(r[k])) for k in d)
            for k, v in d.items():
                ref = float(r[k])
                e = abs(v - ref) / max(abs(ref), 1e-9 * scale)
                if e > worst_r:
                    worst_r, where = e, (r["row"], k)
            cp = idealgas.cp0_cpp(cpt, T) * Cr / eq["R"]
            worst_c = max(worst_c, abs(cp - float(r["cp0_over_R"])) / float(r["cp0_over_R"]))
        result[name] = (worst_r, where, worst_c)
    return result
