#!/usr/bin/env python3
"""The Linux edition's start-up, CPU and pace, on a private X display with a window
manager (Xvfb and openbox), with the screen tests' means of starting it.

    linux_bench.py SORVEL [--root DIR]

Prints the median time from exec to the visible window over 10 starts. Then, with the
window active: the CPU the program uses (its own user and system time, in % of a core)
and the steps it runs per second (its SORVEL_STEP_LOG lines) while the sheet animates
after a poke, at the opening size, 1920 x 1080, 2560 x 1440 and 3840 x 2160 (the window
wholly on the display), each also as a ratio to the opening size; the CPU with the
sheet at rest, before a poke and after C; and the CPU with GTK's GL renderer at the
opening size. Each figure is the median of
3 spans of 3 s, all from one run. With --root, SORVEL runs in that Debian root, as
tests/tools/debian13.sh prepares it: exec to window, and the CPU at the opening size.
"""

import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "linux"))
import linux_test  # noqa: E402  (the display, the program and its window, as the test has them)

SIZES = [("opening size", None), ("1920 x 1080", (1920, 1080)), ("2560 x 1440", (2560, 1440)),
         ("3840 x 2160", (3840, 2160))]
STEP_LINE = re.compile(r"^steps (\d+) at ([\d.]+) ms$", re.M)


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def first_window_ms():
    begin = time.monotonic()
    sorvel = linux_test.start(linux_test.inside([linux_test.SORVEL]), env=linux_test.program_env(GDK_BACKEND="x11"),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = None
    while window is None and time.monotonic() - begin < 10:
        window = linux_test.xdotool("search", "--onlyvisible", "--pid", str(sorvel.pid), "--name", "^Sorvel$") or None
        time.sleep(0.005)
    elapsed = (time.monotonic() - begin) * 1000.0
    sorvel.terminate()
    sorvel.wait()
    return elapsed if window else float("nan")


def steps_per_second(log, begin, end):
    """From the program's step lines between two times of the monotonic clock it shares."""
    with open(log.name) as lines:
        marks = [(int(n), float(ms) / 1000.0) for n, ms in STEP_LINE.findall(lines.read())]
    marks = [(n, t) for n, t in marks if begin <= t <= end]
    if len(marks) < 2:
        return float("nan")
    return (marks[-1][0] - marks[0][0]) / (marks[-1][1] - marks[0][1])


def measure(size=None, poke=True, keys=(), **env):
    """CPU in % of a core and steps per second: medians over 3 spans of 3 s."""
    sorvel = linux_test.Sorvel(SORVEL_STEP_LOG="1", **env)
    if size:
        sorvel.resize(*size)
    # Wholly on the display, in the same place in every run.
    linux_test.xdotool("windowmove", "--sync", sorvel.window, "0", "0")
    linux_test.xdotool("windowactivate", "--sync", sorvel.window)
    time.sleep(0.5)
    for key in (("space",) if poke else ()) + tuple(keys):
        linux_test.tap(key)
        time.sleep(0.5)
    time.sleep(0.5)
    cpu, pace = [], []
    for _ in range(3):
        before, begin = cpu_seconds(sorvel.process.pid), time.monotonic()
        time.sleep(3.0)
        end = time.monotonic()
        cpu.append(100.0 * (cpu_seconds(sorvel.process.pid) - before) / (end - begin))
        pace.append(steps_per_second(sorvel.log, begin, end))
    sorvel.process.terminate()
    sorvel.process.wait()
    return statistics.median(cpu), statistics.median(pace)


def main(argv):
    root = argv[argv.index("--root") + 1] if "--root" in argv else None
    linux_test.ROOT = os.path.abspath(root) if root else None
    linux_test.SORVEL = argv[0] if root else os.path.abspath(argv[0])
    linux_test.work = tempfile.mkdtemp(prefix="sorvel-bench-",
                                       dir=os.path.join(linux_test.ROOT, "tmp") if root else None)
    try:
        with linux_test.desktop("4096x2304"):  # room for the window around a 3840 x 2160 area
            run(root)
    finally:
        shutil.rmtree(linux_test.work, ignore_errors=True)


def run(root):
    first_window_ms()  # the page cache warm
    starts = [first_window_ms() for _ in range(10)]
    print("exec to visible window: median %.0f ms (%.0f to %.0f) over 10 starts"
          % (statistics.median(starts), min(starts), max(starts)))
    sizes = SIZES[:1] if root else SIZES
    opening = None
    for label, size in sizes:
        cpu, pace = measure(size)
        opening = opening or (cpu, pace)
        print("animating, %-12s CPU %5.1f %% of a core (%.2f x the opening size), %5.1f steps/s (%.3f x)"
              % (label, cpu, cpu / opening[0], pace, pace / opening[1]))
    for label, keys, poke in (("before a poke", (), False), ("after C", ("c",), True)):
        cpu, _ = measure(poke=poke, keys=keys)
        print("at rest, %-14s CPU %5.2f %% of a core" % (label, cpu))
    if not root:
        cpu, pace = measure(GSK_RENDERER="gl")
        print("animating, opening size, GSK_RENDERER=gl: CPU %5.1f %% of a core, %5.1f steps/s" % (cpu, pace))


if __name__ == "__main__":
    main(sys.argv[1:])
