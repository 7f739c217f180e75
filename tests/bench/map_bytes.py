#!/usr/bin/python3
"""Prints how many bytes of code (.text) and data (.rdata, .data) a link map
places from the input files whose names contain PART, e.g. the settings
store's share of gfxsetup.exe. Imports and resources are not counted.

usage: map_bytes.py MAP PART
"""
import re
import sys

KINDS = (".text", ".rdata", ".data")


def main(argv):
    path, part = argv[1], argv[2]
    total = dict.fromkeys(KINDS, 0)
    section = None
    in_memory_map = False
    with open(path) as lines:
        for line in lines:
            line = line.rstrip("\n")
            if line.startswith("Linker script and memory map"):
                in_memory_map = True
            if not in_memory_map:
                continue
            # " .text$name  0xADDR  0xSIZE  file", or the name alone on its line
            # and the rest on the next one.
            named = re.match(r"^ (\.[^ ]+)(?:\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*))?$", line)
            if named:
                section, size, source = named.groups()
                if size is None:
                    continue
            else:
                rest = re.match(r"^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$", line)
                if not rest or section is None:
                    continue
                size, source = rest.groups()
            kind = "." + section[1:].split("$")[0].split(".")[0]
            if kind in total and part in source:
                total[kind] += int(size, 16)
    print(f"{sum(total.values())} bytes (" +
          ", ".join(f"{kind} {total[kind]}" for kind in KINDS) + ")")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
