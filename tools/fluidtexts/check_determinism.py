#!/usr/bin/env python3
"""Determinism test of the fluid-text converter (run by ctest).

    check_determinism.py <project dir>

Runs the converter twice into temporary directories and compares the
outputs byte for byte with each other and with the committed texts of
library/data/texts.  Exits 77 (skipped) when the data set is not found
(KVR2_SHARED or ../shared beside the project)."""

import filecmp
import os
import subprocess
import sys
import tempfile


def main():
    project = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else ".")
    shared = os.environ.get("KVR2_SHARED") or os.path.join(project, "..", "shared")
    data = os.path.join(shared, "fluid-data")
    if not os.path.isfile(os.path.join(data, "names.tsv")):
        print("no coefficient data set; skipped")
        return 77
    committed = os.path.join(project, "library", "data", "texts")
    conv = os.path.join(project, "tools", "fluidtexts", "convert.py")
    with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
        # the two runs side by side
        runs = [subprocess.Popen([sys.executable, "-B", conv, "--data", data, "--out", out,
                                  "--no-checks"]) for out in (a, b)]
        if any([r.wait() != 0 for r in runs]):
            print("the converter failed")
            return 1
        names = sorted(os.listdir(a))
        if names != sorted(os.listdir(b)):
            print("the two runs wrote different files")
            return 1
        bad = [n for n in names if not filecmp.cmp(os.path.join(a, n), os.path.join(b, n),
                                                   shallow=False)]
        if bad:
            print("the two runs differ in", bad)
            return 1
        mine = sorted(n for n in os.listdir(committed) if n.endswith(".txt"))
        if mine != names:
            print("committed texts differ in number or names:",
                  sorted(set(mine) ^ set(names)))
            return 1
        bad = [n for n in names if not filecmp.cmp(os.path.join(a, n), os.path.join(committed, n),
                                                   shallow=False)]
        if bad:
            print("committed texts differ from the converter's output:", bad)
            return 1
    print("%d texts reproduced byte for byte" % len(names))
    return 0


if __name__ == "__main__":
    sys.exit(main())
