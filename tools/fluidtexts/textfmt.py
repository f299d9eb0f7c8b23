"""Formatting helpers for fluid texts: numbers in round-trip form, value
lines with comments, and wrapped information lines."""

import math


def num(x):
    """A number in the shortest form that reads back to the same double."""
    if isinstance(x, bool):
        raise TypeError("bool")
    if isinstance(x, int):
        return str(x)
    x = float(x)
    if not math.isfinite(x):
        raise ValueError("non-finite number in a fluid text")
    if x == 0.0:
        return "0.0"
    return repr(x)


def value_line(values, comment, width=36):
    """Values separated by blanks, the comment after column `width`."""
    text = "  ".join(v if isinstance(v, str) else num(v) for v in values)
    return text.ljust(width) + " !" + comment if comment else text


def term_line(values):
    return " ".join(v if isinstance(v, str) else num(v) for v in values)


def info_lines(paragraphs, width=96):
    """Information lines: each paragraph starts a line "?text", further lines
    of the paragraph are indented by one blank ("? text")."""
    out = []
    for p in paragraphs:
        words = p.split()
        line = "?"
        first = True
        for w in words:
            candidate = (line + w) if first else (line + " " + w)
            if len(candidate) > width and not first:
                out.append(line)
                line = "? " + w
            else:
                line = candidate
            first = False
        out.append(line)
    return out


def citation(ref):
    """One bibliography entry as text: authors (year): title. Journal
    volume(number), pages. doi."""
    if ref is None:
        return None
    parts = []
    authors = " ".join(ref.get("authors", "").split())
    year = ref.get("year", "").strip()
    title = " ".join(ref.get("title", "").split())
    s = authors
    if year:
        s += " (%s)" % year
    if title:
        s += ": " + title.rstrip(".") + "."
    parts.append(s)
    journal = ref.get("published_in", "").strip()
    vol, nr, pages = ref.get("volume", "").strip(), ref.get("number", "").strip(), \
        ref.get("pages", "").strip()
    if journal:
        j = journal
        if vol:
            j += " " + vol
            if nr:
                j += "(%s)" % nr
        if pages:
            j += ", " + pages
        parts.append(j + ".")
    doi = ref.get("doi", "").strip()
    if doi:
        parts.append("doi:" + doi)
    return " ".join(parts)
