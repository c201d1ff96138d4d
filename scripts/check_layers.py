#!/usr/bin/python3
"""Checks that every include follows the layers.

Each layer is a folder; a file may include headers of its own layer and of
the layers it builds on, nothing above. The platform backends' headers
(toolkit/window/platform/...) belong to the window layer alone: everything
else reaches the desktop through the window layer's own functions.
Tests and benchmarks sit on top of everything and may include anything,
the backends' headers too (they drive the in-memory screen).

Prints one line per wrong include and exits 1 when there is any.
    scripts/check_layers.py [SOURCE_DIR]
"""
import os
import re
import sys

# Layer folder -> the layers its files may include (itself first).
LAYERS = {
    "toolkit/core": ["toolkit/core"],
    "toolkit/xbase": ["toolkit/xbase", "toolkit/core"],
    "toolkit/graphics": ["toolkit/graphics", "toolkit/xbase", "toolkit/core"],
    "toolkit/window": ["toolkit/window", "toolkit/graphics", "toolkit/xbase", "toolkit/core"],
    "toolkit/controls": ["toolkit/controls", "toolkit/window", "toolkit/graphics", "toolkit/xbase",
                         "toolkit/core"],
    "toolkit/markup": ["toolkit/markup", "toolkit/controls", "toolkit/window", "toolkit/graphics",
                       "toolkit/xbase", "toolkit/core"],
}
TOOLKIT = LAYERS["toolkit/markup"]
# Programs on top of the toolkit: everything public, nothing private.
TOPS = {"app": ["app"] + TOOLKIT, "tools": ["tools", "app"] + TOOLKIT}
PRIVATE = "toolkit/window/platform"
SOURCE = (".cpp", ".c", ".h", ".inc")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def files_under(root, folder):
    for base, dirs, names in os.walk(os.path.join(root, folder)):
        dirs.sort()
        for name in sorted(names):
            if name.endswith(SOURCE):
                yield os.path.relpath(os.path.join(base, name), root)


def layer_of(path):
    """The layer folder a file belongs to (its subfolders included)."""
    for layer in list(LAYERS) + list(TOPS):
        if path == layer or path.startswith(layer + "/"):
            return layer
    return None


def header_index(root):
    """Bare header name -> the paths that hold it, across every layer."""
    index = {}
    for layer in list(LAYERS) + list(TOPS):
        for path in files_under(root, layer):
            index.setdefault(os.path.basename(path), []).append(path)
    return index


def resolve(root, index, path, name):
    """Where an include lands: beside the file first, then by bare name."""
    beside = os.path.normpath(os.path.join(os.path.dirname(path), name))
    if os.path.exists(os.path.join(root, beside)):
        return [beside]
    if "/" in name:
        hits = [p for p in index.get(os.path.basename(name), []) if p.endswith("/" + name)]
        return hits
    return index.get(name, [])


def check_file(root, index, path, allowed, layer):
    errors = []
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            for target in resolve(root, index, path, m.group(1)):
                where = layer_of(target)
                if where is None:
                    continue  # data files, generated tables
                if target.startswith(PRIVATE + "/") and layer != "toolkit/window":
                    errors.append(f"{path}:{number}: {m.group(1)} is private to the window layer")
                elif where not in allowed:
                    errors.append(f"{path}:{number}: {m.group(1)} is in {where}, above {layer}")
    return errors


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    index = header_index(root)
    errors = []
    for layer, allowed in list(LAYERS.items()) + list(TOPS.items()):
        for path in files_under(root, layer):
            errors += check_file(root, index, path, allowed, layer)
    for e in errors:
        print(e)
    if errors:
        print(f"check_layers: {len(errors)} include(s) against the layers")
        return 1
    print("check_layers: includes follow the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
