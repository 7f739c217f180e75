#!/usr/bin/python3
"""Checks gfxsetup.exe's resources against the dialog tables: both extended
dialog templates field by field, the icon, the language, and that the program
carries nothing else but its manifest and version (pe_manifest.py and
pe_version.py check those; the help topics are 8-bit text in its code, not a
string table).

usage: gfxsetup_resources.py GFXSETUP.EXE
"""
import struct
import sys

import pefile

from pe_report import report

LANG_EN_US = 0x0409
RT_ICON, RT_DIALOG, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 5, 14, 16, 24
BUTTON_CLASS = 0x0080

DIALOG_STYLE = 0x80C808C0  # WS_POPUP|WS_CAPTION|WS_SYSMENU|DS_MODALFRAME|DS_CENTER|DS_SETFONT
DIALOG_EXSTYLE = 0x00000400  # WS_EX_CONTEXTHELP
FONT = (8, 0, 0, 1, "MS Sans Serif")  # points, weight, italic, DEFAULT_CHARSET, face

RADIO, RADIO_TAB = 0x50000009, 0x50010009
CHECK_TAB, GROUP = 0x50010003, 0x50000007
DEFPUSH, PUSH = 0x50010001, 0x50010000

# Dialog id: (caption, width, height, its controls), each control (id, caption,
# x, y, width, height, style), in template (and tab) order.
DIALOGS = {
    101: ("Karnoth Velmire Graphics Setup", 227, 87, [
        (1001, "256 Colour Software Rendering", 5, 15, 120, 10, RADIO),
        (1002, "Use 3D Hardware Rendering", 5, 35, 115, 10, RADIO),
        (1, "OK", 5, 60, 50, 14, DEFPUSH),
        (2, "Cancel", 65, 60, 50, 14, PUSH),
        (1007, "Advanced Settings", 125, 40, 90, 15, PUSH),
        (1016, "Auto Detect", 125, 15, 90, 15, PUSH),
    ]),
    104: ("Advanced Settings", 152, 161, [
        (-1, "When using 3D hardware:", 0, 5, 150, 70, GROUP),
        (1001, "Use 3DFX Voodoo card ", 5, 15, 100, 10, RADIO_TAB),
        (1002, "Use ATI 3D Rage card", 5, 30, 115, 10, RADIO),
        (1003, "Use D3D through primary card", 5, 45, 140, 10, RADIO_TAB),
        (1004, "Use D3D through secondary card", 5, 60, 140, 10, RADIO),
        (-1, "Rendering options:", 0, 80, 150, 55, GROUP),
        (1008, "Always convert to 16bit textures", 5, 90, 130, 10, CHECK_TAB),
        (1009, "Disable mipmapping", 5, 105, 135, 10, CHECK_TAB),
        (1010, "Use subtractive shadows", 5, 120, 120, 10, CHECK_TAB),
        (1, "OK", 5, 140, 50, 14, DEFPUSH),
        (2, "Cancel", 95, 140, 50, 14, PUSH),
    ]),
}

class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def text(self):
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        value = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return value

    def name_or_ordinal(self):
        first = self.take("H")
        if first == 0:
            return None
        if first == 0xFFFF:
            return self.take("H")
        self.at -= 2
        return self.text()

    def align(self):
        self.at = (self.at + 3) & ~3


def check_dialog(fail, number, data):
    caption, width, height, controls = DIALOGS[number]
    r = Reader(data)
    where = f"dialog {number}"
    header = r.take("HHIIIH4h")
    want = (1, 0xFFFF, 0, DIALOG_EXSTYLE, DIALOG_STYLE, len(controls), 0, 0, width, height)
    names = ("version", "signature", "help id", "exstyle", "style", "control count",
             "x", "y", "width", "height")
    for name, got, expected in zip(names, header, want):
        if got != expected:
            fail(f"{where}: {name} {got:#x}, expected {expected:#x}")
    menu, window_class, title = r.name_or_ordinal(), r.name_or_ordinal(), r.text()
    if menu is not None or window_class is not None:
        fail(f"{where}: menu {menu!r} / class {window_class!r}, expected none")
    if title != caption:
        fail(f"{where}: caption {title!r}, expected {caption!r}")
    font = r.take("HHBB") + (r.text(),)
    if font != FONT:
        fail(f"{where}: font {font}, expected {FONT}")

    for index, (cid, ctext, x, y, cx, cy, style) in enumerate(controls):
        if header[5] <= index:
            break
        r.align()
        item = r.take("III4hI")
        got_class, got_text, extra = r.name_or_ordinal(), r.name_or_ordinal(), r.take("H")
        got = item + (got_class, got_text, extra)
        expected = (0, 0, style, x, y, cx, cy, cid & 0xFFFFFFFF, BUTTON_CLASS, ctext, 0)
        if got != expected:
            fail(f"{where} control {index}: (help, exstyle, style, x, y, w, h, id, class, "
                 f"caption, extra) {got}, expected {expected}")
    if len(data) - r.at > 3:
        fail(f"{where}: {len(data) - r.at} bytes after the last control")


def check_icon(fail, group, image):
    r = Reader(group)
    head = r.take("HHH")
    if head != (0, 1, 1):
        fail(f"icon group 106: header {head}, expected (0, 1, 1): one icon")
        return
    entry = r.take("BBBBHHIH")
    expected = (48, 48, 0, 0, 1, 8, len(image), 1)
    if entry != expected:
        fail(f"icon group 106: entry {entry}, expected {expected}")
    bitmap = struct.unpack_from("<IiiHHI", image)
    if bitmap != (40, 48, 96, 1, 8, 0):
        fail(f"icon 1: bitmap header {bitmap}, expected (40, 48, 96, 1, 8, 0)")
    size = 40 + 256 * 4 + 48 * 48 + 48 * 8  # header, palette, pixels, 1-bit mask
    if len(image) != size:
        fail(f"icon 1: {len(image)} bytes, expected {size}")


def main(argv):
    pe = pefile.PE(argv[1])
    failures = []
    fail = failures.append
    found = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            for lang in name.directory.entries:
                if lang.id != LANG_EN_US:
                    fail(f"resource {kind.id}/{name.id}: language {lang.id:#06x}, "
                         f"expected {LANG_EN_US:#06x}")
                rva, size = lang.data.struct.OffsetToData, lang.data.struct.Size
                found[(kind.id, name.id)] = pe.get_data(rva, size)
    expected = {(RT_DIALOG, 101), (RT_DIALOG, 104), (RT_ICON, 1), (RT_GROUP_ICON, 106),
                (RT_VERSION, 1), (RT_MANIFEST, 1)}
    if set(found) != expected:
        fail(f"resources {sorted(found, key=str)}, expected exactly {sorted(expected)}")
    for number in DIALOGS:
        if (RT_DIALOG, number) in found:
            check_dialog(fail, number, found[(RT_DIALOG, number)])
    if (RT_GROUP_ICON, 106) in found and (RT_ICON, 1) in found:
        check_icon(fail, found[(RT_GROUP_ICON, 106)], found[(RT_ICON, 1)])

    return report(argv[1], failures, "both dialog templates and the icon as expected, a manifest and a version, nothing else")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
