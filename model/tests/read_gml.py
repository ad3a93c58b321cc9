#!/usr/bin/python3
# Reads a GML file with a real GML reader and prints its nodes (id and
# label) and edges, one per line, for the tree-export tests.
import sys
import networkx

graph = networkx.read_gml(sys.argv[1], label="id")
for node, data in graph.nodes(data=True):
    print("node", node, data.get("label"))
for source, target in graph.edges():
    print("edge", source, target)
