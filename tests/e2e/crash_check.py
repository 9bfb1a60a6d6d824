#!/usr/bin/env python3
"""A crash never passes for a clean end: a program that crashes on purpose, started ten
times through the runner that the end-to-end test starts Sorvel.exe with, must fail
each time, by its exit code and by what Wine reports on stderr, each on its own.

    crash_check.py CRASHING_EXE
"""

import sys

from e2e_test import WindowsProgram, check, verdict


def main():
    for run in range(1, 11):
        program = WindowsProgram(sys.argv[1])
        code, crash = program.end()
        check(code not in (0, None) and crash, "run %d: the crash is no clean end (exit code %s, reported: %r)"
              % (run, code, crash.splitlines()[0] if crash else ""))
    return verdict()


if __name__ == "__main__":
    sys.exit(main())
