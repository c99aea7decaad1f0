#!/usr/bin/env python3
"""Include cycles between the program's folders.

Every quoted #include of the program's sources (tests and benchmarks left
out) is resolved to the file it names, and each file belongs to its folder
(editor/rtf and the core's sub-folders count as folders of their own). Prints
the folder edges that lie on a cycle, with one include that makes each, and
exits 1 when there is any.

  python3 tools/includecycles.py
"""
import os
import re
import sys

os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
files = []
for root, dirs, names in os.walk('.'):
    dirs[:] = [d for d in dirs if not d.startswith(('.', 'build')) and not (root == '.' and d in ('tests', 'bench', 'tools'))]
    files += [os.path.normpath(os.path.join(root, n)) for n in names if n.endswith(('.cpp', '.h'))]


def folder(path):
    parts = path.split('/')
    if parts[0] in ('core', 'editor') and len(parts) > 2:
        return '/'.join(parts[:2])
    return parts[0] if len(parts) > 1 else '.'


by_name = {}
for f in files:
    by_name.setdefault(os.path.basename(f), []).append(f)
by_path = set(files)


def resolve(source, name):
    here = os.path.normpath(os.path.join(os.path.dirname(source), name))
    if here in by_path:
        return here
    if 'core/' + name in by_path:
        return 'core/' + name
    found = by_name.get(os.path.basename(name), [])
    return found[0] if len(found) == 1 else None


edges = {}
include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
for f in files:
    with open(f, encoding='utf-8') as text:
        for line in text:
            m = include.match(line)
            if not m:
                continue
            target = resolve(f, m.group(1))
            if target and folder(target) != folder(f):
                edges.setdefault((folder(f), folder(target)), f'{f} -> {target}')

graph = {}
for a, b in edges:
    graph.setdefault(a, set()).add(b)


def reaches(start, goal):
    seen, todo = set(), [start]
    while todo:
        n = todo.pop()
        if n == goal:
            return True
        if n not in seen:
            seen.add(n)
            todo.extend(graph.get(n, ()))
    return False


cyclic = sorted((a, b) for a, b in edges if reaches(b, a))
for a, b in cyclic:
    print(f'{a} -> {b}: {edges[(a, b)]}')
print(f'{len(cyclic)} folder edges on a cycle', file=sys.stderr)
sys.exit(1 if cyclic else 0)
