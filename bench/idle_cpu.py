#!/usr/bin/env python3
"""CPU that Sorvel.exe (and the Wine server working for it) uses with the keyboard
focus and while another window has it, over a few seconds each. Needs DISPLAY and
WINEPREFIX, as scripts/bench sets them.

    idle_cpu.py SORVEL_EXE [SECONDS]
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import e2e_test as e2e  # noqa: E402  (window finding and keys)

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime, stime


def wineserver_pid():
    out = subprocess.run(["pgrep", "-n", "wineserver"], capture_output=True, text=True).stdout.split()
    return int(out[0]) if out else None


def measure(pid, seconds):
    server = wineserver_pid()
    start, server_start, t0 = cpu_seconds(pid), cpu_seconds(server) if server else 0.0, time.time()
    time.sleep(seconds)
    elapsed = time.time() - t0
    program = (cpu_seconds(pid) - start) / elapsed
    wine = (cpu_seconds(server) - server_start) / elapsed if server else 0.0
    return program, wine


def main():
    exe = sys.argv[1]
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 5.0
    run = e2e.Sorvel(exe)
    pid = run.process.pid
    focused = measure(pid, seconds)
    other = subprocess.Popen(["wine", "notepad.exe"], stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    e2e.wait_for_window("Notepad")
    time.sleep(0.5)
    unfocused = measure(pid, seconds)
    other.kill()
    other.wait()
    run.process.kill()
    run.process.wait()
    for name, (program, wine) in (("with the focus", focused), ("without the focus", unfocused)):
        print("%-18s Sorvel.exe %5.1f %% of a core, wineserver %5.1f %%" % (name, 100 * program, 100 * wine))


if __name__ == "__main__":
    main()
