#!/usr/bin/python3
"""Checks a built program's import table: it may import only system DLLs (and,
where allowed, the engine library), never the C++ runtime's DLLs. The calls
made for Windows' sake alone (the settings file flushed before it replaces the
old one, critical-error boxes off around the CD marker's open) are checked in
their order as the programs run, by tests/wine/relay_order.py.

usage: pe_imports.py EXE [--engine NAME ...]
  --engine NAME   the program imports Velmire.dll, exactly these names.
"""
import sys

import pefile

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll",
               "comctl32.dll", "shell32.dll"}


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

    for dll, names in sorted(imported.items()):
        print(f"{path}: {dll}: {' '.join(names)}")
    for failure in failures:
        print(f"FAIL {path}: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
