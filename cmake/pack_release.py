#!/usr/bin/python3
"""Packs the players' archive so that the same files give the same bytes on
every machine: entries in the order given, each dated SOURCE_DATE_EPOCH (UTC),
with one fixed mode and no owner, deflated at level 9.

usage: pack_release.py EPOCH ARCHIVE FILE...
"""
import os
import sys
import time
import zipfile

ZIP_EARLIEST = (1980, 1, 1, 0, 0, 0)  # a ZIP date cannot say less


def main(argv):
    epoch, archive, files = int(argv[1]), argv[2], argv[3:]
    stamp = max(time.gmtime(epoch)[:6], ZIP_EARLIEST)
    temporary = archive + ".part"
    with zipfile.ZipFile(temporary, "w") as packed:
        for path in files:
            entry = zipfile.ZipInfo(os.path.basename(path), date_time=stamp)
            entry.create_system = 3  # Unix, for the mode below
            entry.external_attr = 0o100644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as source:
                packed.writestr(entry, source.read(), compresslevel=9)
    os.replace(temporary, archive)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
