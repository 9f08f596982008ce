#!/usr/bin/env python3
"""Checks the one-way layering of the source tree: what each layer may include and link, and
that the host names the PT module's keys in one place.

Usage: check_layers.py SOURCE_DIR LINKS_FILE
LINKS_FILE holds lines "target: lib;lib;..." written by CMake at generation time.
Prints one line a broken rule, then a count; exits 1 when any rule is broken.
"""
import pathlib
import re
import sys

QUOTED = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.M)
MODULE_DIRS = ("plugin", "params", "codegen", "editor")


def sources(root, folder):
    base = root / folder
    return sorted(p for p in base.rglob("*") if p.suffix in (".cpp", ".h"))


def includes(path):
    return INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace"))


def main():
    root = pathlib.Path(sys.argv[1])
    links = {}
    for line in pathlib.Path(sys.argv[2]).read_text().splitlines():
        target, _, libs = line.partition(":")
        links[target.strip()] = [lib for lib in libs.strip().split(";") if lib]

    failures = []

    # trajectory/ depends on nothing of ours: what it includes in quotes is its own.
    own = {p.name for p in (root / "trajectory").glob("*.h")}
    for path in sources(root, "trajectory"):
        for name in QUOTED.findall(path.read_text(encoding="utf-8", errors="replace")):
            if name not in own:
                failures.append(f"{path.relative_to(root)} includes {name}, not of trajectory/")
    if links.get("trajectory"):
        failures.append(f"trajectory links {', '.join(links['trajectory'])}")

    # The host's file handling is plain POSIX: no MFC, no kernel, no other room.
    for path in sources(root, "platform/hostapp/files"):
        for name in includes(path):
            if name.startswith("afx") or ("/" in name and not name.startswith(("files/", "sys/"))):
                failures.append(f"{path.relative_to(root)} includes {name}")
    for lib in links.get("hostfiles", []):
        if lib in ("mfc", "kinecore", "kinecore_host", "trajectory"):
            failures.append(f"hostfiles links {lib}")

    # The platform never includes module code, but for the module's control ids.
    for path in sources(root, "platform"):
        for name in includes(path):
            top = name.split("/")[0]
            if top in MODULE_DIRS and name != "editor/resource.h":
                failures.append(f"{path.relative_to(root)} includes module code {name}")

    # The host application's rooms link one way: files <- pt <- preview <- commands.
    order = ["files", "pt", "preview", "commands"]
    for path in sources(root, "platform/hostapp"):
        room = path.relative_to(root / "platform/hostapp").parts[0]
        if room not in order:
            continue
        for name in includes(path):
            other = name.split("/")[0]
            if other in order and order.index(other) > order.index(room):
                failures.append(f"{path.relative_to(root)} ({room}/) includes {name}")

    # The host names the PT module's keys once, in pt/PtKeys.h. The kernel is not the host's
    # copy of the module: its catalog names TPOS and ATIME as data parameters of its own.
    module_keys = re.findall(r'=\s*"([^"]+)";', (root / "params/ParameterKeys.h").read_text())
    key_literal = re.compile('"(' + "|".join(map(re.escape, module_keys)) + ')"')
    for path in sources(root, "platform"):
        relative = path.relative_to(root).as_posix()
        if relative == "platform/hostapp/pt/PtKeys.h" or relative.startswith("platform/kinecore/"):
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            code = line.split("//")[0]
            for key in key_literal.findall(code):
                failures.append(f"{relative}:{number} names the PT key \"{key}\"")

    for failure in failures:
        print(failure)
    broken = {failure.split(" ")[0] for failure in failures}
    print(f"layering: {len(failures)} rule(s) broken in {len(broken)} file(s) or target(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
