#!/usr/bin/python3
"""Checks a program's application manifest (resource type 24, id 1), parsed as
XML with its namespaces, as strictly as Windows, which refuses to start a
program whose manifest is malformed: one asm.v1 assembly (manifestVersion 1.0)
that holds only the asm.v3 trustInfo, whose security holds only
requestedPrivileges with one requestedExecutionLevel, level highestAvailable,
uiAccess false, no other attribute, element or text anywhere.

usage: pe_manifest.py EXE           the program carries exactly that manifest
       pe_manifest.py EXE --none    the program carries no manifest at all
       pe_manifest.py --rows        the check itself against good and bad manifests
"""
import sys
import xml.etree.ElementTree as ET

from pe_report import report

RT_MANIFEST = 24
ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"

# (element, its attributes), from the root down: each element holds only the
# next one, the last nothing.
EXPECTED = [
    (f"{{{ASM_V1}}}assembly", {"manifestVersion": "1.0"}),
    (f"{{{ASM_V3}}}trustInfo", {}),
    (f"{{{ASM_V3}}}security", {}),
    (f"{{{ASM_V3}}}requestedPrivileges", {}),
    (f"{{{ASM_V3}}}requestedExecutionLevel", {"level": "highestAvailable", "uiAccess": "false"}),
]


def check_manifest(data):
    failures = []
    try:
        element = ET.fromstring(data)
    except ET.ParseError as error:
        return [f"manifest is not well-formed XML: {error}"]
    for depth, (tag, attributes) in enumerate(EXPECTED):
        if element.tag != tag:
            failures.append(f"element {element.tag}, expected {tag}")
            break
        if dict(element.attrib) != attributes:
            failures.append(f"{tag} has attributes {dict(element.attrib)}, expected {attributes}")
        if (element.text or "").strip() or (element.tail or "").strip():
            failures.append(f"{tag} holds text")
        children = list(element)
        last = depth == len(EXPECTED) - 1
        if len(children) != (0 if last else 1):
            failures.append(f"{tag} holds {[c.tag for c in children]}, expected "
                            f"{'nothing' if last else 'only ' + EXPECTED[depth + 1][0]}")
            break
        if not last:
            element = children[0]
    return failures


def manifests(pe):
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    found = []
    for kind in root.entries if root else []:
        if kind.id != RT_MANIFEST:
            continue
        for name in kind.directory.entries:
            for lang in name.directory.entries:
                found.append((name.id, pe.get_data(lang.data.struct.OffsetToData,
                                                   lang.data.struct.Size)))
    return found


GOOD = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?><assembly xmlns="{ASM_V1}" '
        f'manifestVersion="1.0"><trustInfo xmlns="{ASM_V3}"><security><requestedPrivileges>'
        '<requestedExecutionLevel level="highestAvailable" uiAccess="false"/>'
        '</requestedPrivileges></security></trustInfo></assembly>')
# (what, manifest, whether the check must pass)
ROWS = [
    ("as built", GOOD, True),
    ("asInvoker", GOOD.replace("highestAvailable", "asInvoker"), False),
    ("requireAdministrator", GOOD.replace("highestAvailable", "requireAdministrator"), False),
    ("uiAccess true", GOOD.replace('uiAccess="false"', 'uiAccess="true"'), False),
    ("no uiAccess", GOOD.replace(' uiAccess="false"', ""), False),
    ("trustInfo in asm.v1", GOOD.replace(f'<trustInfo xmlns="{ASM_V3}">', "<trustInfo>"), False),
    ("extra compatibility element", GOOD.replace(
        "</trustInfo>", '</trustInfo><compatibility xmlns="urn:schemas-microsoft-com:'
        'compatibility.v1"/>'), False),
    ("extra element in security", GOOD.replace("</requestedPrivileges>",
                                               "</requestedPrivileges><x/>"), False),
    ("malformed", GOOD.replace("</security>", ""), False),
    ("empty", "", False),
]


def rows():
    failures = []
    for what, manifest, passes in ROWS:
        got = check_manifest(manifest.encode())
        if passes and got:
            failures.append(f"{what}: refused: {got}")
        if not passes and not got:
            failures.append(f"{what}: accepted")
    return report("pe_manifest.py", failures, f"{len(ROWS)} manifests judged as expected")


def main(argv):
    if argv[1:] == ["--rows"]:
        return rows()
    import pefile
    path = argv[1]
    found = manifests(pefile.PE(path))
    if "--none" in argv:
        failures = [f"carries a manifest (id {name})" for name, _ in found]
        return report(path, failures, "no manifest")
    if [name for name, _ in found] != [1]:
        return report(path, [f"manifests {[name for name, _ in found]}, expected one, id 1"], "")
    return report(path, check_manifest(found[0][1]),
                  "one manifest: highestAvailable, uiAccess false, nothing else")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
