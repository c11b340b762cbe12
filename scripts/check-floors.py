#!/usr/bin/env python3
"""Fails when a file under src/ includes a floor above its own (the rules: ARCHITECTURE.md).

A file is a window file when it includes a Qt header or something from gui/, or names a Qt class
ahead (`class QWidget;`), or when its .h or .cpp partner is a window file; every other file is
core, and so may include no window file. A file's room is its folder under src/.

- A core file includes core files only, of its own room or of a room below it in CORE.
- A gui/ file includes the core and gui/.
- A window file includes the core, gui/, and the window files of its own room or of a window
  room below it in WINDOWS.
- cli/ includes the core only. app/ may include anything, and nothing outside app/ includes it.

Usage: check-floors.py [SRC]   (SRC defaults to the src/ beside this script's folder)
"""
import pathlib
import re
import sys

# Lowest first.
CORE = ["platform", "settings", "data", "pdb", "quiz", "import", "history", "hotsync", "decks", "datalist"]
WINDOWS = ["import", "quiz", "hotsync", "editor"]
# Shell open and detached starts go through Qt outside Windows; this one platform file may use Qt.
QT_IN_PLATFORM = {"platform/Shell.cpp"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
QT_AHEAD = re.compile(r'^\s*class\s+Q[A-Z]\w*\s*;', re.M)


class Floors:
    def __init__(self, src):
        self.src = src
        self.includes = {}
        self.qt_ahead = {}
        self.window = {}

    def includes_of(self, name):
        if name not in self.includes:
            path = self.src / name
            text = path.read_text(encoding="utf-8") if path.is_file() else ""
            self.includes[name] = INCLUDE.findall(text)
            self.qt_ahead[name] = bool(QT_AHEAD.search(text))
        return self.includes[name]

    def is_window(self, name):
        if not self.window:
            self.find_windows()
        return self.window.get(name, False)

    def find_windows(self):
        names = [p.relative_to(self.src).as_posix() for p in self.src.rglob("*") if p.is_file()]
        for name in names:
            self.includes_of(name)
            self.window[name] = name not in QT_IN_PLATFORM and (
                name.startswith("gui/") or self.qt_ahead[name] or any(
                    (kind == "<" and re.match(r"Q[A-Za-z]", inc)) or (kind == '"' and inc.startswith("gui/"))
                    for kind, inc in self.includes[name]))
        for name in names:  # a window .cpp's header, and a window header's .cpp
            other = name[:-2] + ".cpp" if name.endswith(".h") else name[:-4] + ".h"
            if name.endswith((".h", ".cpp")) and self.window.get(other) and name not in QT_IN_PLATFORM:
                self.window[name] = True

    def fault(self, name, target):
        """Why `name` may not include `target` (both relative to src/), or None."""
        room, to = name.split("/")[0], target.split("/")[0]
        if to == "app":
            return None if room == "app" else "app/ is the top floor: nothing includes it"
        if room == "app":
            return None
        to_window = self.is_window(target)
        if room == "cli":
            return "rovik-cli uses the core only" if to_window else None
        if to not in CORE and to not in WINDOWS and to != "gui":
            return f"{to}/ is above {room}/" if to == "cli" else f"{to}/ is no floor"
        if room == "gui":
            return "gui/ uses the core and itself only" if to_window and to != "gui" else None
        if self.is_window(name):
            if not to_window or to == "gui":
                return None
            if room in WINDOWS and to in WINDOWS and WINDOWS.index(to) <= WINDOWS.index(room):
                return None
            return f"the windows of {to}/ are above those of {room}/"
        if to_window:
            return "a core file includes no window file"
        if room not in CORE:
            return None  # a core file in a window room: said once for the file
        if to not in CORE or CORE.index(to) > CORE.index(room):
            return f"{to}/ is above {room}/"
        return None

    def faults(self, name):
        """Everything wrong with one file (relative to src/)."""
        room = name.split("/")[0]
        found = []
        window = self.is_window(name)
        if window and room in CORE and room not in WINDOWS:
            found.append(f"{room}/ holds no windows")
        if not window and room in WINDOWS and room not in CORE:
            found.append(f"{room}/ holds windows only")
        for kind, target in self.includes_of(name):
            if kind == '"' and "/" in target:
                why = self.fault(name, target)
                if why:
                    found.append(f'#include "{target}": {why}')
        return found


def main(src):
    floors = Floors(src)
    names = sorted(p.relative_to(src).as_posix() for p in src.rglob("*")
                   if p.suffix in (".h", ".cpp", ".inc", ".in"))
    faults = [f"src/{name}: {why}" for name in names for why in floors.faults(name)]
    for f in faults:
        print(f)
    if not faults:
        print(f"floors hold: {len(names)} files checked")
    return 1 if faults else 0


if __name__ == "__main__":
    default = pathlib.Path(__file__).resolve().parent.parent / "src"
    sys.exit(main(pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default))
