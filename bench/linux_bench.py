#!/usr/bin/env python3
"""The Linux edition's start-up and CPU, on a private X display with a window manager.

    linux_bench.py SORVEL

Prints the median time from exec to the visible window over 10 starts, and the CPU
the program uses while it animates (window active) at its opening size and with a
1920 x 1080 drawing area: with its default settings, then with GTK's GL renderer.
CPU is the program's own user and system time over 3 s, median of 3, in % of a core.
"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

started = []


def start(args, **kwargs):
    process = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, **kwargs)
    started.append(process)
    return process


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def window_of(pid, seconds=10.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        ids = xdotool("search", "--onlyvisible", "--pid", str(pid), "--name", "^Sorvel$")
        if ids:
            return ids[0]
        time.sleep(0.005)
    return None


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def program_env(home, **extra):
    return dict(os.environ, HOME=home, XDG_CONFIG_HOME=home, XDG_CACHE_HOME=home, XDG_DATA_HOME=home,
                GDK_BACKEND="x11", GTK_A11Y="none", GSETTINGS_BACKEND="memory", **extra)


def first_window_ms(sorvel, env):
    begin = time.monotonic()
    process = start([sorvel], env=env)
    window = window_of(process.pid)
    elapsed = (time.monotonic() - begin) * 1000.0
    process.terminate()
    process.wait()
    return elapsed if window else float("nan")


def animating_cpu(sorvel, env, size):
    process = start([sorvel], env=env)
    window = window_of(process.pid)
    if size:
        # The window's frame and header bar come on top of the drawing area.
        xdotool("windowsize", "--sync", window, str(size[0]), str(size[1] + 47))
    xdotool("windowactivate", "--sync", window)
    time.sleep(1.0)
    samples = []
    for _ in range(3):
        before, begin = cpu_seconds(process.pid), time.monotonic()
        time.sleep(3.0)
        samples.append(100.0 * (cpu_seconds(process.pid) - before) / (time.monotonic() - begin))
    process.terminate()
    process.wait()
    return statistics.median(samples)


def main(sorvel):
    home = tempfile.mkdtemp(prefix="sorvel-bench-")
    read, write = os.pipe()
    start(["Xvfb", "-displayfd", str(write), "-screen", "0", "2560x1440x24", "-nolisten", "tcp"], pass_fds=(write,))
    os.close(write)
    with os.fdopen(read) as pipe:
        os.environ["DISPLAY"] = ":" + pipe.readline().strip()
    start(["openbox", "--sm-disable"], env=dict(os.environ, XDG_CACHE_HOME=home, XDG_CONFIG_HOME=home))
    time.sleep(0.5)
    try:
        env = program_env(home)
        first_window_ms(sorvel, env)  # warm the page cache
        starts = [first_window_ms(sorvel, env) for _ in range(10)]
        print("exec to visible window: median %.0f ms (%.0f to %.0f) over 10 starts"
              % (statistics.median(starts), min(starts), max(starts)))
        for name, extra in (("default settings", {}), ("GSK_RENDERER=gl", {"GSK_RENDERER": "gl"})):
            for label, size in (("opening size", None), ("1920 x 1080", (1920, 1080))):
                cpu = animating_cpu(sorvel, program_env(home, **extra), size)
                print("CPU while animating, %s, %s: %.0f %% of a core" % (name, label, cpu))
    finally:
        for process in reversed(started):
            process.terminate()
            process.wait()
        subprocess.run(["rm", "-rf", home])


if __name__ == "__main__":
    main(os.path.abspath(sys.argv[1]))
