#!/usr/bin/env python3
"""Fails when an include in src/ runs against the order of the modules.

The program reads top-down: app -> the views (tray, panel, report) -> display -> statusline ->
limits -> history (the usage ledger, written by the refresh worker in limits) -> sources (the
places logs come from) -> the scanners (claude_logs, codex) -> core -> platform. A file may include its own module
and any module below it; a view never includes another view.
"""
import pathlib
import re
import sys

LEVELS = {
    "app": 9,
    "tray": 8, "panel": 8, "report": 8,
    "display": 7,
    "statusline": 6,
    "limits": 5,
    "history": 4,
    "sources": 3,
    "claude_logs": 2, "codex": 2,
    "core": 1,
    "platform": 0,
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"', re.M)


def main(root):
    src = pathlib.Path(root) / "src"
    faults = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        module = path.relative_to(src).parts[0]
        if module not in LEVELS:
            faults.append(f"{path}: module '{module}' has no place in the order")
            continue
        for target in INCLUDE.findall(path.read_text(encoding="utf-8")):
            if target == module:
                continue
            if target not in LEVELS:
                faults.append(f"{path}: includes unknown module '{target}'")
            elif LEVELS[target] >= LEVELS[module]:
                faults.append(f"{path}: {module} includes {target}")
    for fault in faults:
        print(fault)
    print(f"include order: {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent))
