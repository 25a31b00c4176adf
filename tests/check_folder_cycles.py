#!/usr/bin/env python3
"""Fails when folders of src/ include each other in a cycle, printing each
include edge between folders that lies on one.
usage: check_folder_cycles.py SRC_DIR"""
import os
import re
import sys

src = sys.argv[1]
folders = {d for d in os.listdir(src) if os.path.isdir(os.path.join(src, d))}
include = re.compile(r'^\s*#\s*include\s*["<]([^/">]+)/', re.M)
edges = {}  # (folder, included folder) -> the first file seen including it
for folder in sorted(folders):
    for root, _, files in os.walk(os.path.join(src, folder)):
        for name in sorted(files):
            path = os.path.join(root, name)
            with open(path, encoding='utf-8', errors='replace') as text:
                for target in include.findall(text.read()):
                    if target in folders and target != folder:
                        edges.setdefault((folder, target), os.path.relpath(path, src))


def reaches(start, goal):
    seen, todo = set(), [start]
    while todo:
        node = todo.pop()
        if node == goal:
            return True
        if node not in seen:
            seen.add(node)
            todo.extend(b for (a, b) in edges if a == node)
    return False


on_cycle = sorted(edge for edge in edges if reaches(edge[1], edge[0]))
for a, b in on_cycle:
    print(f'{a} -> {b}: {edges[(a, b)]}')
print(f'folder include edges on a cycle: {len(on_cycle)}')
sys.exit(1 if on_cycle else 0)
