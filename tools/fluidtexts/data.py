"""Reading the public coefficient data set (the directory given on the
command line).  Everything is returned as plain dictionaries and lists; no
number is changed here."""

import csv
import json
import os


def _tsv(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f, delimiter="\t"))


class DataSet:
    def __init__(self, root):
        self.root = root
        self.names = _tsv(os.path.join(root, "names.tsv"))
        self.row = {r["name"]: r for r in self.names}
        self.references = {r["key"]: r for r in _tsv(os.path.join(root, "references.tsv"))}
        self.dipole = {r["name"]: r for r in _tsv(os.path.join(root, "extra", "dipole.tsv"))}
        self.missing = {}
        for r in _tsv(os.path.join(root, "extra", "missing_fluids_constants.tsv")):
            self.missing.setdefault(r["name"], {})[r["quantity"]] = r
        self.cp0_missing = {}
        for r in _tsv(os.path.join(root, "extra", "cp0_missing.tsv")):
            if r["role"] == "recommended":
                self.cp0_missing[r["name"]] = r
        with open(os.path.join(root, "extra", "gerg2008", "gerg2008.json"), encoding="utf-8") as f:
            self.gerg = json.load(f)
        self.gerg_component = {c["name"]: c for c in self.gerg["components"]}
        mix = os.path.join(root, "mixtures")
        with open(os.path.join(mix, "binary_pairs.json"), encoding="utf-8") as f:
            self.pairs = json.load(f)
        with open(os.path.join(mix, "departure_functions.json"), encoding="utf-8") as f:
            self.departures = json.load(f)
        self._pure = {}

    def pure(self, name):
        """The fluid's JSON object, or None for the fluids the data lacks."""
        if name not in self._pure:
            path = os.path.join(self.root, "pure", name + ".json")
            if os.path.exists(path):
                with open(path, encoding="utf-8") as f:
                    self._pure[name] = json.load(f)
            else:
                self._pure[name] = None
        return self._pure[name]

    def number(self, name, column):
        v = self.row[name].get(column, "")
        return float(v) if v not in ("", None) else None
