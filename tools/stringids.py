#!/usr/bin/env python3
"""Writes the header of named string ids from the string table.

  python3 tools/stringids.py resources/strings.tsv OUT.h

Every entry with a name (<id><TAB><Name><TAB><text>) becomes Str::Name = id.
A name given twice, or not a C++ identifier, stops the build.
"""
import re
import sys

source, target = sys.argv[1], sys.argv[2]
names = {}
for n, line in enumerate(open(source, encoding='utf-8'), 1):
    if line.startswith('#') or not line.strip():
        continue
    fields = line.rstrip('\n').split('\t')
    if len(fields) < 3:
        continue
    ident, name = fields[0], fields[1]
    if not re.fullmatch(r'[A-Z][A-Za-z0-9]*', name) or name in names:
        sys.exit(f'{source}:{n}: bad or repeated string name {name!r}')
    names[name] = int(ident)

text = ['#pragma once',
        '// Generated from resources/strings.tsv by tools/stringids.py: do not edit.',
        '// The string ids by name, as Session::GetString takes them; the English',
        '// text of an id is the same id + 1000.',
        '',
        'namespace Str {',
        '',
        'enum Id : int {']
text += [f'    {name} = {ident},' for name, ident in sorted(names.items(), key=lambda x: x[1])]
text += ['};', '', '} // namespace Str', '']
new = '\n'.join(text)
try:
    old = open(target, encoding='utf-8').read()
except OSError:
    old = None
if old != new:  # an unchanged header rebuilds nothing
    open(target, 'w', encoding='utf-8').write(new)
