"""The checks' one way of ending: each failure on a line of its own, or one
line that says what was proven; the exit code for ctest."""


def report(path, failures, proven):
    for failure in failures:
        print(f"FAIL {path}: {failure}")
    if not failures:
        print(f"{path}: {proven}")
    return 1 if failures else 0
