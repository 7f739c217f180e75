#!/usr/bin/python3
"""Records, with Wine's relay trace limited to a few functions, the system
calls that a program makes for Windows' sake, and checks their order: Wine
itself neither loses unflushed data in a power cut nor asks for a disc, so
only the calls show that the program would behave on Windows.

  save       gfxsetup saves as a player leaves it with OK, first into a
             fresh game folder, then onto the file that run left: for each of
             the four stores of a save, the new file "tamsel\\config.new" is
             flushed (FlushFileBuffers, which msvcrt's _commit calls) before
             ReplaceFile or MoveFileEx puts it in place.
  cd-search  cdlaunch looks for its CD, run by the launchers' CD tests: each
             open of the marker "X:\\Tamsel\\KV_CD.EXE" is made with
             critical-error boxes off (SetErrorMode(SEM_FAILCRITICALERRORS)),
             and the mode from before is put back after it.

usage: relay_order.py save WINE_ENV WORK
       relay_order.py cd-search WINE_ENV WORK OPENS GTEST_FILTER
WINE_ENV is tests/wine/wine-env.sh; WORK a folder of this test's own, emptied
first; OPENS how many marker opens the filtered CD tests make in all.
"""
import os
import re
import shutil
import signal
import subprocess
import sys

# The relayed functions, by name in whichever DLL exports them. The value is
# read from the prefix's registry when a process starts; it is inert unless
# WINEDEBUG asks for +relay.
DEBUG_KEY = r"HKCU\Software\Wine\Debug"
TRACED = ["CreateFileA", "CreateFileW", "CloseHandle", "FlushFileBuffers",
          "ReplaceFileA", "ReplaceFileW", "MoveFileA", "MoveFileW", "MoveFileExA", "MoveFileExW",
          "MoveFileWithProgressA", "MoveFileWithProgressW", "SetErrorMode", "SetThreadErrorMode"]
RELAY = "-all,+pid,+relay"

# "pid:tid:Call DLL.Function(args) ret=..." and "pid:tid:Ret  DLL.Function() retval=..."
LINE = re.compile(r"^([0-9a-f]+):([0-9a-f]+):(Call|Ret)\s+[\w-]+\.(\w+)\((.*)\)"
                  r"(?:\s+retval=([0-9a-f]+))?\s+ret=[0-9a-f]+$")
NEW_FILE = re.compile(r'"[^"]*\\\\tamsel\\\\config\.new"', re.IGNORECASE)
CD_MARKER = re.compile(r'"[A-Za-z]:\\\\Tamsel\\\\KV_CD\.EXE"')
REPLACES = {"ReplaceFileA", "ReplaceFileW", "MoveFileA", "MoveFileW", "MoveFileExA",
            "MoveFileExW", "MoveFileWithProgressA", "MoveFileWithProgressW"}
MAIN_TITLE = "Karnoth Velmire Graphics Setup"
DETECT_TITLE = "Auto Detection"
SEM_FAILCRITICALERRORS = 0x1
INVALID_HANDLE_VALUE = 0xFFFFFFFF


class Event:
    """One relayed call with its result: outermost only, nested ones (a DLL's
    export calling another's) dropped, as they repeat the call they are in."""

    def __init__(self, pid, name, args):
        self.pid, self.name, self.args, self.result = pid, name, args, None

    def first_arg(self):
        return int(self.args.split(",")[0].split()[0], 16)


def parse(lines):
    """The outermost relayed calls in the order they were made, per process."""
    events, pending = [], {}
    for line in lines:
        m = LINE.match(line.strip())
        if not m:
            continue
        pid, tid, kind, name, args, retval = m.groups()
        stack = pending.setdefault((pid, tid), [])
        if kind == "Call":
            event = Event(pid, name, args)
            if not stack:
                events.append(event)
            stack.append(event)
        elif stack and stack[-1].name == name:
            stack.pop().result = int(retval, 16) if retval else None
    return events


def by_process(events):
    processes = {}
    for event in events:
        processes.setdefault(event.pid, []).append(event)
    return processes.values()


def check_stores(events):
    """Per process: each put in place of config.new follows a flush of the
    open file. The calls that put it in place, and the failures."""
    failures, stores = [], []
    for calls in by_process(events):
        handle, flushed = None, False
        for call in calls:
            if call.name.startswith("CreateFile") and NEW_FILE.search(call.args):
                if call.result not in (None, INVALID_HANDLE_VALUE):
                    handle, flushed = call.result, False
            elif call.name == "FlushFileBuffers" and handle is not None \
                    and call.first_arg() == handle:
                flushed = True
            elif call.name == "CloseHandle" and handle is not None and call.first_arg() == handle:
                handle = None
            elif call.name in REPLACES and NEW_FILE.search(call.args):
                stores.append(call.name)
                if not flushed:
                    failures.append(f"store {len(stores)}: {call.name} of tamsel\\config.new"
                                    " before any FlushFileBuffers of it")
                handle, flushed = None, False
    return stores, failures


def check_marker_opens(events):
    """Per process: each open of the CD marker is made in an error mode with
    SEM_FAILCRITICALERRORS, set by a SetErrorMode whose previous mode is put
    back before the next marker open and before the process ends. The number
    of opens, and the failures."""
    failures, opens = [], 0
    for calls in by_process(events):
        mode, previous, restore = None, None, None
        for call in calls:
            if call.name == "SetErrorMode":
                asked = call.first_arg()
                if restore is not None and asked == restore:
                    restore = None
                mode, previous = asked, call.result
            elif call.name.startswith("CreateFile") and CD_MARKER.search(call.args):
                opens += 1
                what = CD_MARKER.search(call.args).group(0)
                if restore is not None:
                    failures.append(f"open {opens} ({what}): the mode from before the previous"
                                    f" open, {restore:#x}, was not put back")
                if mode is None or not mode & SEM_FAILCRITICALERRORS:
                    last = "none" if mode is None else hex(mode)
                    failures.append(f"open {opens} ({what}): critical-error boxes on"
                                    f" (last SetErrorMode: {last})")
                    restore = None
                else:
                    restore = previous
        if restore is not None:
            failures.append(f"after open {opens}: the mode from before it, {restore:#x},"
                            " was never put back")
    return opens, failures


def wine(wine_env, args, cwd, relay=False, **kwargs):
    env = dict(os.environ, WINEDEBUG=RELAY if relay else "-all")
    return subprocess.Popen([wine_env, "run", *args], cwd=cwd, env=env, **kwargs)


def set_relay_list(wine_env, work, on):
    args = ["reg", "add", DEBUG_KEY, "/v", "RelayInclude", "/d", ";".join(TRACED), "/f"] if on \
        else ["reg", "delete", DEBUG_KEY, "/v", "RelayInclude", "/f"]
    wine(wine_env, args, work, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).wait()


def save_run(wine_env, bin_dir, game, detects, trace):
    """gfxsetup in GAME, left with OK (after the detection's message where it
    detects); its relay trace and the failures of driving it. A message box
    after OK (the settings not saved) is read, reported and closed."""
    failures = []

    def player(*step):
        run = wine(wine_env, [os.path.join(bin_dir, "player.exe"), *step], game,
                   stdout=subprocess.PIPE, text=True, errors="replace")
        out = run.communicate()[0]
        return run.returncode == 0, out.strip()

    with open(trace, "w") as log:
        # A group of its own: Wine's process outlives its starter when killed.
        gfxsetup = wine(wine_env, ["gfxsetup.exe"], game, relay=True,
                        stdout=subprocess.DEVNULL, stderr=log, start_new_session=True)
        steps = [["ok", DETECT_TITLE]] if detects else []
        steps.append(["click", MAIN_TITLE, "1"])
        for step in steps:
            if not player(*step)[0]:
                failures.append(f"player {' '.join(step)} failed")
                break
        for attempt in range(2):
            try:
                gfxsetup.wait(timeout=60)
                break
            except subprocess.TimeoutExpired:
                if attempt == 0:
                    text = player("msgbox", MAIN_TITLE)[1]
                    failures.append("gfxsetup did not end after OK"
                                    + (f": it says {text!r}" if text else ""))
                    player("ok", MAIN_TITLE)
                else:
                    failures.append("gfxsetup still ran after its message was closed")
                    os.killpg(gfxsetup.pid, signal.SIGKILL)
                    gfxsetup.wait()
    with open(trace, errors="replace") as log:
        return log.read().splitlines(), failures


def save(wine_env, work):
    bin_dir = subprocess.run([wine_env, "bin"], capture_output=True, text=True,
                             check=True).stdout.strip()
    game = os.path.join(work, "game")
    os.makedirs(os.path.join(game, "tamsel"))
    for name in ("gfxsetup.exe", "Velmire.dll"):
        shutil.copy(os.path.join(bin_dir, name), game)
    os.environ["VELMIRE_STANDIN_DETECT"] = "2"
    failures = []
    # A first save creates the file; a save onto a file with a platform
    # chosen (no detection) replaces it.
    runs = (("a first save", None, "first-save.log"),
            ("a save onto the file", b"RENDERING_PLATFORM 13\r\nSOUND 1\r\n", "save.log"))
    for what, before, trace in runs:
        settings = os.path.join(game, "tamsel", "config.dat")
        if os.path.exists(settings):
            os.remove(settings)
        if before is not None:
            with open(settings, "wb") as file:
                file.write(before)
        detects = before is None
        lines, run_failures = save_run(wine_env, bin_dir, game, detects, os.path.join(work, trace))
        stores, order_failures = check_stores(parse(lines))
        failures += [f"{what}: {f}" for f in run_failures + order_failures]
        if len(stores) != 4:
            failures.append(f"{what}: {len(stores)} stores replaced the file with"
                            " tamsel\\config.new, expected 4")
        elif not order_failures:
            print(f"{what}: 4 stores ({', '.join(stores)}), each after a FlushFileBuffers"
                  " of tamsel\\config.new")
    return failures


def cd_search(wine_env, work, opens_expected, gtest_filter):
    run = subprocess.run([wine_env, "run-test", os.path.join(work, "tests"),
                          "launchers_wine_tests.exe", f"--gtest_filter={gtest_filter}"],
                         cwd=work, env=dict(os.environ, WINEDEBUG=RELAY),
                         stdout=None, stderr=subprocess.PIPE, text=True, errors="replace")
    with open(os.path.join(work, "relay.log"), "w") as log:
        log.write(run.stderr)
    opens, failures = check_marker_opens(parse(run.stderr.splitlines()))
    if run.returncode != 0:
        failures.append(f"the CD tests exited with {run.returncode}")
    if opens != opens_expected:
        failures.append(f"{opens} opens of the CD marker, expected {opens_expected}")
    elif not failures:
        print(f"{opens} opens of the CD marker, each with critical-error boxes off"
              " and the mode from before put back after it")
    return failures


def main(argv):
    if len(argv) < 4 or argv[1] not in ("save", "cd-search"):
        print(__doc__, file=sys.stderr)
        return 2
    wine_env, work = os.path.abspath(argv[2]), os.path.abspath(argv[3])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    sys.stdout.flush()
    subprocess.run([os.path.join(os.path.dirname(wine_env), "wine-tier.sh")], check=True)
    set_relay_list(wine_env, work, True)
    try:
        if argv[1] == "save":
            failures = save(wine_env, work)
        else:
            failures = cd_search(wine_env, work, int(argv[4]), argv[5])
    finally:
        set_relay_list(wine_env, work, False)
    for failure in failures:
        print(f"FAIL {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
