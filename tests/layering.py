#!/usr/bin/env python3
"""The tree keeps its layering: shell -> online -> board, records, graphics,
sound, log -> platform -> SDL2, with no include circle, only the platform seeing SDL, and
only platform/<system>/ folders asking which system they are built for.

Usage: layering.py SOURCE_DIR (exits 1 and names every break)."""
import pathlib
import re
import sys

# What each game module may include besides itself.
MAY_INCLUDE = {
    'shell': {'online', 'board', 'records', 'graphics', 'sound', 'log', 'platform'},
    'online': {'board', 'log', 'platform'},
    'board': {'graphics', 'log', 'platform'},
    'records': {'graphics', 'log', 'platform'},
    'graphics': {'log', 'platform'},
    'sound': {'log', 'platform'},
    'log': {'platform'},
    'platform': set(),
}
SYSTEMS = ('posix', 'browser', 'windows')
SYSTEM_TEST = re.compile(r'\b(__EMSCRIPTEN__|_WIN32|_WIN64|__linux__|__APPLE__|__unix__)\b')
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
SOURCE_FOLDERS = list(MAY_INCLUDE) + ['tests', 'bench', 'fuzz', 'tools']


def system_folder(rel):
    parts = rel.parts
    return parts[1] if len(parts) > 2 and parts[0] == 'platform' and parts[1] in SYSTEMS else None


def resolve(root, including, name):
    """The project file an include names, relative to root; None for a system header."""
    for base in (including.parent, root):
        candidate = (base / name).resolve()
        if candidate.is_file() and root in candidate.parents:
            return candidate.relative_to(root)
    return None


def find_circle(graph):
    """One include circle among the units (a header and its source are one unit), or None."""
    state = {}
    stack = []

    def visit(unit):
        state[unit] = 'open'
        stack.append(unit)
        for nxt in sorted(graph.get(unit, ())):
            if state.get(nxt) == 'open':
                return stack[stack.index(nxt):] + [nxt]
            if nxt not in state:
                circle = visit(nxt)
                if circle:
                    return circle
        stack.pop()
        state[unit] = 'done'
        return None

    for unit in sorted(graph):
        if unit not in state:
            circle = visit(unit)
            if circle:
                return circle
    return None


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    breaks = []
    graph = {}
    files = [p for folder in SOURCE_FOLDERS for p in (root / folder).rglob('*')
             if p.suffix in ('.cpp', '.h') and p.is_file()]
    includes = 0
    for path in sorted(files):
        rel = path.relative_to(root)
        module = rel.parts[0]
        system = system_folder(rel)
        text = path.read_text(encoding='utf-8', errors='replace')
        if not system and SYSTEM_TEST.search(text):
            breaks.append(f'{rel}: asks which system it is built for (only platform/<system>/ may)')
        unit = rel.with_suffix('')
        for kind, name in INCLUDE.findall(text):
            includes += 1
            target = resolve(root, path, name) if kind == '"' else None
            if target is None:
                if module in MAY_INCLUDE and module != 'platform' and re.match(r'SDL', name):
                    breaks.append(f'{rel}: includes <{name}> (only the platform sees SDL)')
                if name.lower() == 'windows.h' and system != 'windows':
                    breaks.append(f'{rel}: includes <{name}> (only platform/windows/ may)')
                continue
            tmodule = target.parts[0]
            tsystem = system_folder(target)
            if tsystem and tsystem != system:
                breaks.append(f'{rel}: includes {target} (a system folder is reached only through System.h)')
            if system and not tsystem and target.as_posix() != 'platform/System.h':
                breaks.append(f'{rel}: includes {target} (a system folder implements System.h only)')
            if module in MAY_INCLUDE and tmodule != module and tmodule not in MAY_INCLUDE[module]:
                breaks.append(f'{rel}: includes {target} ({module} may not depend on {tmodule})')
            tunit = target.with_suffix('')
            if tunit != unit:
                graph.setdefault(unit, set()).add(tunit)
    circle = find_circle(graph)
    if circle:
        breaks.append('include circle: ' + ' -> '.join(str(u) for u in circle))
    for line in breaks:
        print('layering:', line)
    print(f'layering: {len(files)} files, {includes} includes: {"passed" if not breaks else "FAILED"}')
    return 1 if breaks else 0


if __name__ == '__main__':
    sys.exit(main())
