#!/usr/bin/python3
"""Checks a shipped program's PE header: it does not opt in to DEP (no
NX_COMPAT: the engine that runs inside may execute code it writes into data
pages), it is relocatable (DYNAMIC_BASE, with its base relocations kept), and
it carries nothing that its own start-up code does not serve (no TLS
directory).

usage: pe_flags.py EXE
"""
import sys

import pefile

from pe_report import report

NX_COMPAT = pefile.DLL_CHARACTERISTICS["IMAGE_DLLCHARACTERISTICS_NX_COMPAT"]
DYNAMIC_BASE = pefile.DLL_CHARACTERISTICS["IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE"]
RELOCS_STRIPPED = pefile.IMAGE_CHARACTERISTICS["IMAGE_FILE_RELOCS_STRIPPED"]


def directory(pe, name):
    return pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY[name]]


def check(pe):
    failures = []
    flags = pe.OPTIONAL_HEADER.DllCharacteristics
    if flags & NX_COMPAT:
        failures.append(f"DllCharacteristics {flags:#06x} has NX_COMPAT: it opts in to DEP")
    if not flags & DYNAMIC_BASE:
        failures.append(f"DllCharacteristics {flags:#06x} lacks DYNAMIC_BASE: not relocatable")
    if pe.FILE_HEADER.Characteristics & RELOCS_STRIPPED:
        failures.append("its base relocations are stripped: it cannot be moved")
    if directory(pe, "IMAGE_DIRECTORY_ENTRY_BASERELOC").Size == 0:
        failures.append("no base relocation directory: it cannot be moved")
    if directory(pe, "IMAGE_DIRECTORY_ENTRY_TLS").Size != 0:
        failures.append("a TLS directory, which its own start-up code does not serve")
    return failures


def main(argv):
    path = argv[1]
    return report(path, check(pefile.PE(path)),
                  "no NX_COMPAT, DYNAMIC_BASE with relocations, no TLS directory")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
