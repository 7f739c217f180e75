#!/usr/bin/python3
"""Runs one store test program under strace and checks, for every store,
that the new settings file is fsync'ed before it is renamed over the old
one, and the folder after the rename: a power cut must not leave a renamed
but empty file.

usage: flush_trace.py STRACE STORE_TESTS GTEST_FILTER STORES
"""
import re
import subprocess
import sys
import tempfile

CALL = re.compile(r'^\d+\s+(\w+)\((.*)\)\s+=\s+(-?\d+)')
NEW, FILE, FOLDER = '"tamsel/config.new"', '"tamsel/config.dat"', '"tamsel"'


def check(lines, stores):
    failures = []
    new_fd = folder_fd = None
    flushed = renamed = False
    done = 0
    for line in lines:
        m = CALL.match(line)
        if not m:
            continue
        name, args, result = m.group(1), m.group(2), int(m.group(3))
        first = args.split(", ")
        if name == "openat" and len(first) > 1 and result >= 0:
            if first[1] == NEW:
                new_fd, flushed = result, False
            elif first[1] == FOLDER and renamed:
                folder_fd = result
        elif name == "fsync" and result == 0:
            fd = int(first[0])
            if fd == new_fd and not renamed:
                flushed = True
            elif fd == folder_fd and renamed:
                done, renamed, new_fd, folder_fd = done + 1, False, None, None
        elif name == "close" and first[0] == str(new_fd) and not flushed:
            failures.append(f"store {done + 1}: the new file was closed before any fsync")
        elif name.startswith("rename") and NEW in args and FILE in args and result == 0:
            if not flushed:
                failures.append(f"store {done + 1}: renamed without an fsync of the new file")
            renamed = True
    if renamed:
        failures.append(f"store {done + 1}: no fsync of the folder after the rename")
    if done != stores:
        failures.append(f"{done} stores flushed file and folder, expected {stores}")
    return failures


def main(argv):
    strace, program, test_filter, stores = argv[1], argv[2], argv[3], int(argv[4])
    with tempfile.NamedTemporaryFile("r", suffix=".strace") as log:
        run = subprocess.run([strace, "-f", "-o", log.name, "-e",
                              "trace=openat,fsync,fdatasync,close,rename,renameat,renameat2",
                              program, f"--gtest_filter={test_filter}"])
        lines = log.read().splitlines()
    failures = check(lines, stores)
    if run.returncode != 0:
        failures.append(f"{program} exited with {run.returncode}")
    for failure in failures:
        print(f"FAIL {failure}")
    if not failures:
        print(f"{stores} stores: the new file fsync'ed before the rename, the folder after it")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
