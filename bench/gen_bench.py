#!/usr/bin/env python3
"""Writes the benchmark's model and option files.

The model has 25 attributes: a top aggregate over four aggregates (one of
which has an aggregate input of its own), 18 basic attributes and one more
top attribute without inputs; every scale has five values, so the six
decision tables have 625 or 125 rules. The option files hold N options with
one value per basic attribute, in base 1, tab-separated and comma-separated,
in normal and transposed orientation.

usage: gen_bench.py <folder> [options=1000000]

With --tree it writes instead one large model, tree.mvo, for the undo
benchmark of the desktop program (bench/ui_undo_bench): a full tree of
the given fan and number of levels (fan 4 and 7 levels: 5,461
attributes, 4,096 of them basic), three values on every scale, every
aggregate with the rounded mean of its inputs as its decision table, and
the given number of options with random basic values. As a script
exporting data would write it: elements not indented, lines ended by LF,
no aggregate values (the program evaluates them); 2,000 options give a
file of 149 MiB.

usage: gen_bench.py --tree <folder> [options=2000] [fan=4] [levels=7]
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


def write_tree_model(folder, n_options, fan, levels):
    """The undo benchmark's model: see the usage above."""
    values = ["low", "medium", "high"]
    rng = random.Random(5)
    rules = "".join(str(round(sum(r) / fan)) for r in itertools.product(range(len(values)), repeat=fan))
    scale = ["<SCALE>"]
    for i, v in enumerate(values):
        scale += ["<SCALEVALUE>", "<NAME>%s</NAME>" % v]
        if i == 0:
            scale.append("<GROUP>BAD</GROUP>")
        elif i == len(values) - 1:
            scale.append("<GROUP>GOOD</GROUP>")
        scale.append("</SCALEVALUE>")
    scale.append("</SCALE>")
    counter = itertools.count()

    def node(level, out):
        out += ["<ATTRIBUTE>", "<NAME>a%d</NAME>" % next(counter)] + scale
        if level == levels:
            out.extend("<OPTION>%d</OPTION>" % rng.randrange(len(values)) for _ in range(n_options))
        else:
            out += ["<FUNCTION>", "<LOW>%s</LOW>" % rules, "</FUNCTION>"]
            for _ in range(fan):
                node(level + 1, out)
        out.append("</ATTRIBUTE>")

    out = ['<?xml version="1.0" encoding="UTF-8"?>', "<Mivo>", "<NAME>Undo benchmark</NAME>"]
    out.extend("<OPTION>option %d</OPTION>" % o for o in range(n_options))
    out.append("<SETTINGS/>")
    node(1, out)
    out.append("</Mivo>")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "tree.mvo"), "w", newline="") as f:
        f.write("\n".join(out) + "\n")


def main():
    if sys.argv[1] == "--tree":
        args = [int(a) for a in sys.argv[3:]]
        write_tree_model(sys.argv[2], *(args + [2000, 4, 7][len(args):]))
        return
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
