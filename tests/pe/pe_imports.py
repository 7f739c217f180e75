#!/usr/bin/python3
"""Checks a built program's import table: it may import only system DLLs (and,
where allowed, the engine library), never the C++ runtime's DLLs; and it
imports what its row in NEEDS says it needs on Windows, where Wine behaves
otherwise and the Wine tests cannot see it missing.

usage: pe_imports.py EXE [--engine NAME ...]
  --engine NAME   the program imports Velmire.dll, exactly these names.
"""
import os
import sys

import pefile

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll",
               "comctl32.dll", "shell32.dll"}

# Program: (what it needs on Windows, the imports that give it, any one of them).
NEEDS = {
    # settings/config_replace_win32.cpp: the new settings file reaches the disk
    # before it replaces the old one (Wine's file cache hides a missing flush).
    "gfxsetup.exe": [
        ("the new settings file flushed to the disk before the replace",
         [("msvcrt.dll", "_commit"), ("kernel32.dll", "FlushFileBuffers")]),
    ],
    # launchers/cdlaunch/cd_search.cpp: Windows shows an "insert a disc" box for
    # an empty drive unless the open of the CD marker turns critical errors off;
    # Wine never does.
    "cdlaunch.exe": [
        ("critical-error boxes off around the CD marker's open",
         [("kernel32.dll", "SetErrorMode"), ("kernel32.dll", "SetThreadErrorMode")]),
    ],
    # Reads the installer's registry key and starts the engine: nothing that
    # only Windows would show.
    "launch.exe": [],
}


def main(argv):
    path = argv[1]
    engine_names = []
    if "--engine" in argv:
        engine_names = argv[argv.index("--engine") + 1:]
    pe = pefile.PE(path)
    failures = []
    if pe.FILE_HEADER.Machine != pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"]:
        failures.append("not a 32-bit x86 program")

    imported = {}
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        dll = entry.dll.decode()
        imported[dll] = sorted(i.name.decode() for i in entry.imports if i.name)

    for dll in imported:
        if dll.lower() in SYSTEM_DLLS:
            continue
        if engine_names and dll == "Velmire.dll":
            continue
        failures.append(f"imports {dll}: only system DLLs are allowed")

    if engine_names:
        got = imported.get("Velmire.dll")
        if got is None:
            failures.append("does not import Velmire.dll")
        elif got != sorted(engine_names):
            failures.append(f"Velmire.dll imports {got}, expected {sorted(engine_names)}")
    elif any(dll.lower() == "velmire.dll" for dll in imported):
        failures.append("imports the engine library, which it must load at run time")

    program = os.path.basename(path).lower()
    if program not in NEEDS:
        failures.append(f"no row in NEEDS for {program}")
    by_dll = {dll.lower(): set(names) for dll, names in imported.items()}
    for what, imports in NEEDS.get(program, []):
        if not any(name in by_dll.get(dll, ()) for dll, name in imports):
            failures.append(f"imports none of {', '.join(f'{dll}!{name}' for dll, name in imports)}:"
                            f" needed for {what}")

    for dll, names in sorted(imported.items()):
        print(f"{path}: {dll}: {' '.join(names)}")
    for failure in failures:
        print(f"FAIL {path}: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
