#!/usr/bin/python3
"""Checks the players' archive: exactly the three programs, as built, and the
players' text with Windows line ends; never an engine library.

usage: release_archive.py ZIP BIN_FOLDER
"""
import os
import sys
import zipfile

# The checks' one way of ending, beside the checks of the built files.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "pe"))
from pe_report import report  # noqa: E402

EXPECTED = ["PLAYERS.txt", "cdlaunch.exe", "gfxsetup.exe", "launch.exe"]


def main(argv):
    archive, bin_folder = argv[1], argv[2]
    failures = []
    with zipfile.ZipFile(archive) as packed:
        names = sorted(packed.namelist())
        if names != EXPECTED:
            failures.append(f"holds {names}, expected {EXPECTED}")
        for name in names:
            data = packed.read(name)
            if name.endswith(".exe"):
                with open(os.path.join(bin_folder, name), "rb") as built:
                    if data != built.read():
                        failures.append(f"{name} differs from the built {name}")
            elif name == "PLAYERS.txt":
                if b"\n" in data.replace(b"\r\n", b"") or not data.endswith(b"\r\n"):
                    failures.append("PLAYERS.txt has lines not ended by CR LF")
                if b"Velmire.dll" not in data:
                    failures.append("PLAYERS.txt does not say where the programs go")
    return report(archive, failures, " ".join(names))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
