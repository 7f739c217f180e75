#!/usr/bin/python3
"""Checks a launcher's resources: exactly one icon group, 101, holding one
48 x 48 image of 256 colours, and the version (pe_version.py checks it), all
in English (United Kingdom), and no other resource at all (no manifest, no
strings).

usage: launchers_resources.py EXE
"""
import struct
import sys

import pefile

from pe_report import report

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
LANG_ENGLISH_UK = 0x0809
ICON_GROUP = 101


def entries(pe):
    """(type, name, language, data) for every resource of the file."""
    found = []
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in root.entries if root else []:
        for name in kind.directory.entries:
            for lang in name.directory.entries:
                rva, size = lang.data.struct.OffsetToData, lang.data.struct.Size
                found.append((kind.id, name.id if name.id is not None else str(name.name),
                              lang.id, pe.get_data(rva, size)))
    return found


def check(pe):
    failures = []
    found = entries(pe)
    kinds = sorted({kind for kind, _, _, _ in found})
    if kinds != [RT_ICON, RT_GROUP_ICON, RT_VERSION]:
        failures.append(f"resource types {kinds}, expected only icon, icon group and version "
                        f"{[RT_ICON, RT_GROUP_ICON, RT_VERSION]}")
    for kind, name, lang, _ in found:
        if lang != LANG_ENGLISH_UK:
            failures.append(f"resource {kind}/{name} in language {lang:#06x}, "
                            f"expected {LANG_ENGLISH_UK:#06x}")

    groups = [(name, data) for kind, name, _, data in found if kind == RT_GROUP_ICON]
    images = {name: data for kind, name, _, data in found if kind == RT_ICON}
    if [name for name, _ in groups] != [ICON_GROUP]:
        failures.append(f"icon groups {[name for name, _ in groups]}, expected [{ICON_GROUP}]")
    if len(images) != 1:
        failures.append(f"{len(images)} icon images, expected 1")
    for _, data in groups:
        _, kind, count = struct.unpack_from("<HHH", data)
        if kind != 1 or count != 1:
            failures.append(f"icon group of type {kind} with {count} images, expected 1 icon")
            continue
        width, height, colours, _, planes, bits, size, image_id = struct.unpack_from(
            "<BBBBHHIH", data, 6)
        if (width, height, colours, bits) != (48, 48, 0, 8):
            failures.append(f"icon group entry {width}x{height}, {colours} colours, {bits} bits;"
                            " expected 48x48, 256 colours (0), 8 bits")
        image = images.get(image_id)
        if image is None:
            failures.append(f"icon group names image {image_id}, which is missing")
            continue
        header = struct.unpack_from("<IiiHH", image)
        if header != (40, 48, 96, 1, 8):
            failures.append(f"image header {header}, expected (40, 48, 96, 1, 8): "
                            "a 48x48 8-bit bitmap with its mask")
        # header, 256-colour palette, 48 rows of 48 bytes, 48 mask rows of 8 bytes
        expected_size = 40 + 256 * 4 + 48 * 48 + 48 * 8
        if len(image) != expected_size or size != expected_size:
            failures.append(f"image of {len(image)} bytes (group says {size}), "
                            f"expected {expected_size}")
    return failures


def main(argv):
    path = argv[1]
    return report(path, check(pefile.PE(path)),
                  f"icon group {ICON_GROUP}, one 48x48 256-colour image, a version, English (UK)")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
