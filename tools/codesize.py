#!/usr/bin/env python3
"""The largest classes and the longest functions of the program.

A class's size is the lines of its member functions defined outside the class
body (Class::name ... up to the closing brace in column 0); the lines of its
declaration in the header are shown beside. Tests, benchmarks and tools are left out.

  python3 tools/codesize.py [N]     the N largest of each (10 by default)
"""
import os
import re
import sys

os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
files = []
for root, dirs, names in os.walk('.'):
    dirs[:] = [d for d in dirs if not d.startswith(('.', 'build')) and not (root == '.' and d in ('tests', 'bench', 'tools'))]
    files += [os.path.normpath(os.path.join(root, n)) for n in names if n.endswith(('.cpp', '.h'))]

definition = re.compile(r'^[A-Za-z].*?\b(\w+)::~?\w+\s*\(')
free = re.compile(r'^[A-Za-z][\w:<>,*& ]*\s[*&]?(\w+)\s*\([^;]*$')
declaration = re.compile(r'^class (\w+)(?: final)?\b[^;]*$')
classes, declared, functions = {}, {}, []
for f in sorted(files):
    lines = open(f, encoding='utf-8').read().split('\n')
    start, owner, name = None, None, None
    for i, line in enumerate(lines):
        if start is None:
            m = declaration.match(line)
            if m and f.endswith('.h'):
                start, owner, name = i, m.group(1), None
                continue
            m = definition.match(line) or (free.match(line) if not line.startswith(('namespace', 'class', 'struct', 'enum', 'return')) else None)
            if m:
                start, owner, name = i, m.group(1) if '::' in line.split('(')[0] else None, line.split('(')[0].split()[-1]
        elif line in ('}', '};'):
            n = i - start + 1
            if owner and name is None:
                declared[owner] = declared.get(owner, 0) + n
            elif owner:
                classes[owner] = classes.get(owner, 0) + n
            if name:
                functions.append((n, f'{f}: {name}'))
            start = None

count = int(sys.argv[1]) if len(sys.argv) > 1 else 10
print('classes (lines of member definitions, and of the declaration)')
for c, n in sorted(classes.items(), key=lambda x: -x[1])[:count]:
    print(f'  {n:5d} {declared.get(c, 0):5d}  {c}')
print('functions (lines)')
for n, where in sorted(functions, reverse=True)[:count]:
    print(f'  {n:5d}  {where}')
