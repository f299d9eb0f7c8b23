#!/usr/bin/env python3
"""Writes the built-in fluid texts from the public coefficient data set.

    python3 tools/fluidtexts/convert.py --data <data set> --out library/data/texts

The same input always gives byte-identical texts.  --report prints the
numerical checks (converted equations against the data set's own forms)."""

import argparse
import hashlib
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import data  # noqa: E402
import ecs  # noqa: E402
import fluid  # noqa: E402
import gerg  # noqa: E402
import hmx  # noqa: E402
import mbwr  # noqa: E402
import sublimation  # noqa: E402
import transport_estimate  # noqa: E402
import verify  # noqa: E402

SLOTS = """1butene acetone ammonia argon benzene butane c11 c12 c1cc6 c2butene c3cc6 c4f10 c5f12 cf3i
co2 co cos cyclohex cyclopen cyclopro d2 d2o d4 d5 d6 decane dee dmc dme ebenzene ethane ethanol
ethylene fluorine h2s hcl helium heptane hexane hydrogen ibutene ihexane ioctane ipentane isobutane
krypton md2m md3m md4m mdm methane methanol mlinolea mlinolen mm moleate mpalmita mstearat mxylene
n2o neon neopentn nf3 nitrogen nonane novec649 octane orthohyd oxygen oxylene parahyd pentane
propane propylen propyne pxylene r113 r114 r115 r116 r11 r1216 r1233zd r1234yf r1234ze r123 r124
r125 r12 r134a r13 r141b r142b r143a r14 r152a r161 r218 r21 r227ea r22 r236ea r236fa r23 r245ca
r245fa r32 r365mfc r40 r41 rc318 re143a re245cb2 re245fa2 re347mcc sf6 so2 t2butene toluene water
xenon air r404a r407c r410a r507a hmx""".split()

# Words that must never appear in a text (stored as digests).
_BANNED = {
    "51562ddf97b21b06b77628f3014015be8d49da120183dd2ba0eabe177cfaf589",
    "402724c840de66d0ca56bb9c890bc90a817bd42d9dbc7718bf81c58990777c83",
}


def _digest(word):
    return hashlib.sha256(word.lower().encode()).hexdigest()


def banned_words(lines):
    bad = set()
    for ln in lines:
        for w in re.findall(r"[A-Za-z]+", ln):
            if _digest(w) in _BANNED:
                bad.add(w)
    return bad


def write_text(out_dir, name, lines):
    text = "\n".join(lines) + "\n"
    for i, ln in enumerate(lines):
        if len(ln) > 255:
            raise ValueError("%s line %d longer than 255 characters" % (name, i + 1))
        if not all(32 <= ord(ch) < 127 for ch in ln):
            raise ValueError("%s line %d: non-ASCII character" % (name, i + 1))
    bad = banned_words(lines)
    if bad:
        raise ValueError("%s: text names another program" % name)
    with open(os.path.join(out_dir, name + ".txt"), "w", encoding="ascii", newline="\n") as f:
        f.write(text)


def _with_mbwr(ds, name, lines, report):
    """The published MBWR equation of the fluid, if the data set has one: an
    alternative equation of state, or nf3's default (see mbwr.py)."""
    fluids = mbwr.load(ds.root)
    if name == "nf3":
        return mbwr.build_nf3(ds, fluids, lines, report)
    if name in fluids:
        return mbwr.alternative(lines, fluids[name])
    return lines


def _build_one(ds, name, texts, report, allow_unpublished):
    lines = _build_plain(ds, name, texts, report, allow_unpublished)
    return sublimation.add(name, _with_mbwr(ds, name, lines, report))


def _build_plain(ds, name, texts, report, allow_unpublished):
    if name == "helium":
        return gerg.build_helium(ds, report)
    if name in ecs.REFERENCE and (name != "propylen" or not allow_unpublished):
        ref = ecs.REFERENCE[name]
        if ref not in texts:
            texts[ref] = _build_one(ds, ref, texts, report, allow_unpublished)
        return ecs.build(ds, name, texts[ref], report)
    return fluid.build(ds, name, report)[0]


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--data", required=True, help="directory of the coefficient data set")
    ap.add_argument("--out", required=True, help="output directory for the texts")
    ap.add_argument("--only", nargs="*", help="write only these texts")
    ap.add_argument("--report", action="store_true", help="print the numerical checks")
    ap.add_argument("--allow-unpublished", action="store_true",
                    help="use the unpublished propylene equation of the data set instead of a "
                         "corresponding-states estimate")
    ap.add_argument("--no-checks", action="store_true",
                    help="skip the numerical checks (the texts are the same)")
    ap.add_argument("--transport-estimate", nargs="*", default=[],
                    help="write these texts with corresponding-states transport estimates in "
                         "place of their own correlations (to judge the estimates)")
    args = ap.parse_args(argv)
    fluid.CHECKS = not args.no_checks
    transport_estimate.AS_ESTIMATE.update(args.transport_estimate)
    ds = data.DataSet(args.data)
    os.makedirs(args.out, exist_ok=True)
    report = {}
    texts = {}
    wanted = set(args.only or SLOTS)
    # the mixture text needs every fluid's CAS number and reducing values
    for name in SLOTS[:-1] if "hmx" in wanted else [n for n in SLOTS if n in wanted]:
        if name not in texts:
            texts[name] = _build_one(ds, name, texts, report, args.allow_unpublished)
    if "hmx" in wanted:
        cas_of, zred = {}, {}
        for name, lines in texts.items():
            cas_of[name] = lines[1][:12].strip()
            sec = verify.sections(lines)
            body = [b for k, b in sec.items() if k[0] == "#EOS"][0]
            if ("#EOS", "ECS") in sec:
                zred[name] = (verify._nums(body[10])[0], verify._nums(body[12])[0])
            else:
                zred[name] = tuple(verify._nums(body[12])[:2])
        texts["hmx"] = hmx.build(ds, cas_of, zred, report)
    for name in SLOTS:
        if name in wanted and name in texts:
            write_text(args.out, name, texts[name])
    if args.report:
        for kind in ("residual", "cp0", "ph0"):
            for k, v in sorted(report.get(kind, {}).items(), key=lambda kv: -kv[1]):
                print("%-8s %-16s %.2e" % (kind, k, v))
        for k, (given, own) in sorted(report.get("nbp", {}).items()):
            print("nbp      %-16s %.6f K given, %.6f K by the written equation (%+.1e K)"
                  % (k, given, own, own - given))
        for k, r in sorted(report.get("ancillary", {}).items()):
            print("anc      %-16s %s %s: equation replaced %+.3g %% at %g K, refitted %+.3g %% "
                  "at %g K" % (k, r.code, r.why, r.old[0], r.old[1], r.new[0], r.new[1]))
        for k, (ref, what) in sorted(report.get("transport_estimates", {}).items()):
            print("estimate %-16s %s by corresponding states on %s" % (k, what, ref))
        for k, why in sorted(report.get("transport_pending", {}).items()):
            print("pending  %-24s %s (fluid-specific transport models)" % (k, why))
        for n in report.get("notes", []):
            print("note    ", n)
    return 0


if __name__ == "__main__":
    sys.exit(main())
