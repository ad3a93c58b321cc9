#!/usr/bin/env python3
"""Writes the benchmark's model and option files.

The model has 25 attributes: a top aggregate over four aggregates (one of
which has an aggregate input of its own), 18 basic attributes and one more
top attribute without inputs; every scale has five values, so the six
decision tables have 625 or 125 rules. The option files hold N options with
one value per basic attribute, in base 1, tab-separated and comma-separated,
in normal and transposed orientation.

usage: gen_bench.py <folder> [options=1000000]
"""
import itertools
import os
import random
import sys

VALUES = ["v1", "v2", "v3", "v4", "v5"]


def tree():
    """(name, inputs) nested tuples; basic attributes have no inputs."""
    basic = lambda i: ("b%02d" % i, [])
    a5 = ("Agg5", [basic(i) for i in range(14, 18)])
    a1 = ("Agg1", [basic(i) for i in range(1, 5)])
    a2 = ("Agg2", [basic(i) for i in range(5, 9)])
    a3 = ("Agg3", [basic(i) for i in range(9, 12)])
    a4 = ("Agg4", [a5, basic(12), basic(13), basic(18)])
    return [("Top", [a1, a2, a3, a4]), ("Extra", [])]


def scale(lines, indent):
    pad = " " * indent
    lines.append(pad + "<SCALE>")
    for i, name in enumerate(VALUES):
        lines.append(pad + "  <SCALEVALUE>")
        lines.append(pad + "    <NAME>%s</NAME>" % name)
        if i == 0:
            lines.append(pad + "    <GROUP>BAD</GROUP>")
        elif i == len(VALUES) - 1:
            lines.append(pad + "    <GROUP>GOOD</GROUP>")
        lines.append(pad + "  </SCALEVALUE>")
    lines.append(pad + "</SCALE>")


def function(lines, indent, n_inputs):
    # Canonical order: the last input varies fastest; the result is the
    # rounded mean of the inputs.
    low = "".join(str(round(sum(r) / n_inputs))
                  for r in itertools.product(range(len(VALUES)), repeat=n_inputs))
    pad = " " * indent
    lines += [pad + "<FUNCTION>", pad + "  <LOW>%s</LOW>" % low, pad + "</FUNCTION>"]


def attribute(lines, node, indent):
    name, inputs = node
    pad = " " * indent
    lines.append(pad + "<ATTRIBUTE>")
    lines.append(pad + "  <NAME>%s</NAME>" % name)
    scale(lines, indent + 2)
    if inputs:
        function(lines, indent + 2, len(inputs))
    for child in inputs:
        attribute(lines, child, indent + 2)
    lines.append(pad + "</ATTRIBUTE>")


def basics(node):
    name, inputs = node
    if not inputs:
        return [name]
    return [b for child in inputs for b in basics(child)]


def main():
    folder = sys.argv[1]
    n = int(sys.argv[2]) if len(sys.argv) > 2 else 1000000
    os.makedirs(folder, exist_ok=True)
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<Mivo>", "  <NAME>Benchmark</NAME>",
             "  <SETTINGS/>"]
    for top in tree():
        attribute(lines, top, 2)
    lines.append("</Mivo>")
    with open(os.path.join(folder, "bench.mvo"), "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")

    rows = basics(tree()[0]) + ["Extra"]
    rng = random.Random(1)
    names = ["opt%d" % i for i in range(n)]
    values = [[str(rng.randint(1, 5)) for _ in range(n)] for _ in rows]

    with open(os.path.join(folder, "normal.tab"), "w") as f:
        f.write("\t" + "\t".join(names) + "\n")
        for row, vals in zip(rows, values):
            f.write(row + "\t" + "\t".join(vals) + "\n")
    with open(os.path.join(folder, "transposed.tab"), "w") as f:
        f.write("\t" + "\t".join(rows) + "\n")
        for i, name in enumerate(names):
            f.write(name + "\t" + "\t".join(v[i] for v in values) + "\n")
    q = lambda t: '"' + t + '"'
    with open(os.path.join(folder, "normal.csv"), "w") as f:
        f.write('""' + "".join("," + q(t) for t in names) + "\n")
        for row, vals in zip(rows, values):
            f.write(q(row) + "".join("," + q(v) for v in vals) + "\n")
    with open(os.path.join(folder, "transposed.csv"), "w") as f:
        f.write('""' + "".join("," + q(t) for t in rows) + "\n")
        for i, name in enumerate(names):
            f.write(q(name) + "".join("," + q(v[i]) for v in values) + "\n")


if __name__ == "__main__":
    main()
