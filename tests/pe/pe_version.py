#!/usr/bin/python3
"""Checks a program's version resource: file and product version (numbers and
strings) the project's, the product name, the original file name, a file
description; for a program without a manifest, no word that makes Windows
take it for an installer in any string.

usage: pe_version.py EXE VERSION [--no-installer-words]
"""
import os
import sys

import pefile

from pe_report import report

INSTALLER_WORDS = ("install", "setup", "update", "patch")


def strings_of(pe):
    found = {}
    for info in getattr(pe, "FileInfo", None) or []:
        for entry in info:
            for table in getattr(entry, "StringTable", []):
                for key, value in table.entries.items():
                    found[key.decode()] = value.decode()
    return found


def check(pe, path, version, no_installer_words):
    failures = []
    fixed = getattr(pe, "VS_FIXEDFILEINFO", None)
    if not fixed:
        return ["no version resource"]
    numbers = [int(part) for part in version.split(".")] + [0]
    want = ((numbers[0] << 16) | numbers[1], (numbers[2] << 16) | numbers[3])
    for what in ("File", "Product"):
        got = (getattr(fixed[0], f"{what}VersionMS"), getattr(fixed[0], f"{what}VersionLS"))
        if got != want:
            failures.append(f"{what.lower()} version numbers {got}, expected {want}")
    strings = strings_of(pe)
    expected = {"FileVersion": version, "ProductVersion": version,
                "ProductName": "Karnoth Velmire", "OriginalFilename": os.path.basename(path)}
    for key, value in expected.items():
        if strings.get(key) != value:
            failures.append(f"{key} {strings.get(key)!r}, expected {value!r}")
    if not strings.get("FileDescription"):
        failures.append("no FileDescription")
    if no_installer_words:
        for key, value in strings.items():
            for word in INSTALLER_WORDS:
                if word in value.lower() or word in key.lower():
                    failures.append(f"{key} {value!r} holds {word!r}: taken for an installer")
    return failures


def main(argv):
    path, version = argv[1], argv[2]
    failures = check(pefile.PE(path), path, version, "--no-installer-words" in argv)
    return report(path, failures, f"version {version}, Karnoth Velmire, "
                  f"{os.path.basename(path)}")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
