"""Sublimation-line sections ("#SBL", model SB3: p = pt exp(S Tt/T)) of the
fluids whose publications give one; the data set has none.

- co2: R. Span and W. Wagner (1996), J. Phys. Chem. Ref. Data 25, 1509-1596,
  their sublimation-pressure equation ln(p/pt) = (Tt/T) sum a_i (1 - T/Tt)^t_i
  with a = -14.740846, 2.4327015, -5.3061778 and t = 1, 1.9, 2.9, Tt =
  216.592 K, pt = 517.95 kPa: the difference terms of SB3.
- water: IAPWS R14-08(2011), Revised Release on the Pressure along the
  Melting and Sublimation Curves of Ordinary Water Substance, ln(p/pt) =
  theta^-1 sum a_i theta^b_i, theta = T/Tt, Tt = 273.16 K, pt = 611.657 Pa,
  valid from 50 K: the power terms of SB3."""

import sections
from textfmt import info_lines

LINES = {
    "co2": {
        "Tmin": 150.0, "Tmax": 216.592, "Tred": 216.592, "Pred": 517.95,
        "power": [], "diff": [(-14.740846, 1.0), (2.4327015, 1.9), (-5.3061778, 2.9)],
        "cite": "R. Span and W. Wagner (1996): A New Equation of State for Carbon Dioxide "
                "Covering the Fluid Region from the Triple Point Temperature to 1100 K at "
                "Pressures up to 800 MPa. J. Phys. Chem. Ref. Data 25, 1509-1596, their "
                "sublimation-pressure equation. The lower limit, 150 K, is the converter's "
                "choice.",
    },
    "water": {
        "Tmin": 50.0, "Tmax": 273.16, "Tred": 273.16, "Pred": 0.611657,
        "power": [(-21.2144006, 0.00333333333), (27.3203819, 1.20666667),
                  (-6.10598130, 1.70333333)],
        "diff": [],
        "cite": "IAPWS R14-08(2011): Revised Release on the Pressure along the Melting and "
                "Sublimation Curves of Ordinary Water Substance, the sublimation pressure of "
                "ice Ih (valid from 50 K to the triple point).",
    },
}


def add(name, lines):
    """The text with its sublimation section (before the first ancillary),
    where a published line is known.  The reducing pressure is the text's
    own triple-point pressure (the saturation pressure of its equation at the
    triple point), so that the sublimation and vapour-pressure lines meet
    there; the published pt differs from it by a few parts per million."""
    d = LINES.get(name)
    if d is None:
        return lines
    ptp = next(float(ln.split()[0]) for ln in lines if "!pressure at triple point" in ln)
    sec = [(("#SBL").ljust(20) + "!sublimation line"), "SB3  sublimation line"]
    sec += info_lines([d["cite"], "Reducing pressure: the triple-point pressure of the equation "
                       "of state of this text, %r kPa (published: %r kPa)." % (ptp, d["Pred"])])
    sec.append("!end of info section")
    body = sections.melting_body(d["Tmin"], d["Tmax"],
                                 [(d["Tmin"], d["Tred"], ptp, d["power"], d["diff"])])
    body[5] = body[5].replace("of (Tr-1)", "of (1-Tr)")
    at = next(i for i, ln in enumerate(lines) if ln.startswith("#PS"))
    return lines[:at] + sec + body + [""] + lines[at:]
