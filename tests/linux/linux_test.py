#!/usr/bin/env python3
"""The Linux edition as a person uses it: started on a private display, driven with
xdotool, judged by its pictures against the line renderer's frames and by its exit code.

    linux_test.py SORVEL FRAME_REFERENCE [--first-frame-only] [--wayland]

Starts its own Xvfb (with openbox for the focus changes) and, with --wayland, weston:
headless for the first frame, then inside Xvfb for the keys. Everything it starts is
stopped at the end, and the program's HOME is a throwaway folder.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from screens import Grey, Reference, wait_until  # noqa: E402

ABOUT_CAPTION = "Sorvel\u306e\uff8a\uff9e\uff70\uff7c\uff9e\uff6e\uff9d\u60c5\u5831"
WIDTH, HEIGHT = 481, 330
failures = []
started = []
work = tempfile.mkdtemp(prefix="sorvel-linux-test-")


def check(condition, message):
    print(("ok    " if condition else "FAIL  ") + message, flush=True)
    if not condition:
        failures.append(message)
    return condition


def start(args, **kwargs):
    process = subprocess.Popen(args, stdin=subprocess.DEVNULL, **kwargs)
    started.append(process)
    return process


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def tap(*keys):
    # Press and release within one step, so each tap counts once.
    subprocess.run(["xdotool", "key", "--delay", "0", *keys], check=True)


def reference(*steps, width=WIDTH, height=HEIGHT, scale=1):
    return REFERENCE(width, height, 100 * scale, *steps)


def program_env(**extra):
    home = os.path.join(work, "home")
    os.makedirs(home, exist_ok=True)
    return dict(os.environ, HOME=home, XDG_CONFIG_HOME=home, XDG_CACHE_HOME=home, XDG_DATA_HOME=home,
                GTK_A11Y="none", GSETTINGS_BACKEND="memory", **extra)  # the default renderer: cairo


class Sorvel:
    """One run of the program on the X display, its window and its output."""

    def __init__(self, **env):
        self.log = open(os.path.join(work, "sorvel-%d.log" % len(started)), "w+")
        self.process = start([SORVEL], env=program_env(GDK_BACKEND="x11", **env), stdout=self.log,
                             stderr=subprocess.STDOUT)
        ids = wait_until(lambda: xdotool("search", "--onlyvisible", "--pid", str(self.process.pid), "--name", "^Sorvel$"))
        self.window = ids[0] if ids else None

    def area(self, size=(WIDTH, HEIGHT)):
        return Grey.shot(["import", "-window", self.window, "ppm:-"]).crop(self.offset, size)

    def finish(self, keys=("Escape",)):
        tap(*keys)
        try:
            code = self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            code = self.process.wait()
        self.log.seek(0)
        return code, self.log.read()


def first_frame(sorvel, size=(WIDTH, HEIGHT), scale=1):
    """Finds the drawing area by its first frame; True when it matches exactly."""
    expected = reference(width=size[0], height=size[1], scale=scale)
    sorvel.offset = wait_until(lambda: Grey.shot(["import", "-window", sorvel.window, "ppm:-"]).find(expected), 5)
    return sorvel.offset is not None


def still(sorvel):
    """The picture, once two screenshots 0.3 s apart agree; None if it keeps moving."""
    before = sorvel.area()
    time.sleep(0.3)
    after = sorvel.area()
    return after if after.pixels == before.pixels else None


def x11_session():
    sorvel = Sorvel()
    if not check(sorvel.window is not None, "the window titled Sorvel opens"):
        return
    check(first_frame(sorvel), "its first frame is the renderer's, pixel for pixel, at 481 x 330")

    tap("space")
    time.sleep(0.2)
    other = start(["xmessage", "-geometry", "+0+0", "taking the focus"])
    wait_until(lambda: xdotool("getactivewindow") != [sorvel.window], 5)
    poked = still(sorvel)
    check(poked is not None, "another window takes the focus: the sheet stops")
    check(poked is not None and REFERENCE.steps_since_poke(poked) is not None, "Space pokes, and a tap counts once")
    other.kill()

    xdotool("windowactivate", "--sync", sorvel.window)
    check(wait_until(lambda: still(sorvel) is None, 3), "back in front, the sheet moves on")
    tap("c")
    time.sleep(0.3)
    check(sorvel.area().pixels == reference().pixels, "C lays the sheet flat")
    tap("Left")
    tap("Up")
    time.sleep(0.3)
    check(sorvel.area().pixels == reference("L", "U").pixels, "Left turns the view and Up tilts it, one step each")

    tap("space")
    time.sleep(0.2)  # a step takes the tap before the menu holds the keys
    tap("F10")
    time.sleep(0.3)
    tap("Up", "Return")  # the menu's last item
    about = wait_until(lambda: xdotool("search", "--name", "^" + ABOUT_CAPTION + "$"), 5)
    check(about, "F10 opens the menu, whose last item opens the About box")
    xdotool("windowactivate", sorvel.window)
    check(still(sorvel) is not None, "the sheet waits while the About box is open, even with the focus on the window")
    if about:
        xdotool("windowactivate", "--sync", about[0])
        tap("Return")
    check(wait_until(lambda: not xdotool("search", "--name", "^" + ABOUT_CAPTION + "$"), 5), "Enter presses OK")
    check(wait_until(lambda: still(sorvel) is None, 3), "... and the sheet moves on")
    code, log = sorvel.finish()
    check(code == 0, "Esc closes the window, exit code 0 (%s)" % code)
    check(log == "", "no warnings: %r" % log[:300])

    sorvel = Sorvel(GDK_SCALE="2")
    check(sorvel.window is not None and first_frame(sorvel, (2 * WIDTH, 2 * HEIGHT), 2),
          "at scale 2 the first frame is the renderer's at 962 x 660 device pixels, factor 200")
    code, _ = sorvel.finish(("ctrl+q",))
    check(code == 0, "Ctrl+Q closes the window, exit code 0 (%s)" % code)


WESTON_INI = """[core]
idle-time=0
[shell]
panel-position=none
locking=false
animation=none
close-animation=none
startup-animation=none
focus-animation=none
"""


def weston(backend, *args):
    """A weston of our own; returns the environment of a Wayland client of it."""
    runtime = os.path.join(work, "runtime")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    with open(os.path.join(work, "weston.ini"), "w") as ini:
        ini.write(WESTON_INI)
    socket = "sorvel-%s" % backend
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime)
    start(["weston", "--config=" + os.path.join(work, "weston.ini"), "--backend=%s-backend.so" % backend,
           "--use-pixman", "--socket=" + socket, *args], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_until(lambda: os.path.exists(os.path.join(runtime, socket)), 10)
    return dict(XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY=socket, GDK_BACKEND="wayland")


def weston_screenshot(env):
    shots = os.path.join(work, "shots")
    shutil.rmtree(shots, ignore_errors=True)
    os.makedirs(shots)
    subprocess.run(["weston-screenshooter"], cwd=shots, env=dict(os.environ, **env), capture_output=True)
    names = os.listdir(shots)
    return Grey.shot(["cat", os.path.join(shots, names[0])]) if names else None


def wayland_sessions():
    # Headless: no keyboard, so the window is never active; its first frame is checked.
    env = weston("headless", "--debug", "--width=1024", "--height=640")
    sorvel = start([SORVEL], env=program_env(**env), stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    check(wait_until(lambda: (weston_screenshot(env) or Grey(b"P5 1 1 255 \xff")).find(reference()), 10),
          "on Wayland (weston, headless), the first frame is the renderer's, pixel for pixel")
    sorvel.terminate()
    log = sorvel.communicate()[0].decode()
    check(log == "", "no warnings on Wayland: %r" % log[:300])

    # Weston in a window of the X display passes xdotool's keys on to its clients.
    env = weston("x11", "--width=1024", "--height=768")
    compositor = wait_until(lambda: xdotool("search", "--onlyvisible", "--class", "^Weston Compositor$"), 10)
    sorvel = start([SORVEL], env=program_env(**env), stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    shot = ["import", "-window", compositor[0] if compositor else "root", "ppm:-"]
    offset = wait_until(lambda: Grey.shot(shot).find(reference()), 10)
    if check(offset, "on Wayland (weston in X), the first frame is the renderer's"):
        tap("Left")
        time.sleep(0.3)
        check(Grey.shot(shot).crop(offset, (WIDTH, HEIGHT)).pixels == reference("L").pixels,
              "on Wayland, Left turns the view by one step")
    tap("Escape")
    try:
        code = sorvel.wait(10)
    except subprocess.TimeoutExpired:
        code = None
    check(code == 0, "on Wayland, Esc closes the window, exit code 0 (%s)" % code)


def start_x():
    read, write = os.pipe()
    start(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
          pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as pipe:
        os.environ["DISPLAY"] = ":" + pipe.readline().strip()
    # A window manager gives the focus as a desktop does (xmessage takes it away later).
    start(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(0.5)
    xdotool("mousemove", "0", "0")  # the pointer out of the pictures, weston's included


def main(argv):
    global SORVEL, REFERENCE
    SORVEL, REFERENCE = os.path.abspath(argv[0]), Reference(os.path.abspath(argv[1]))
    try:
        start_x()
        if "--first-frame-only" in argv:
            sorvel = Sorvel()
            check(sorvel.window is not None and first_frame(sorvel), "its first frame is the renderer's")
            code, log = sorvel.finish()
            check(code == 0 and log == "", "Esc closes it with 0 and no warnings (%s, %r)" % (code, log[:300]))
        else:
            x11_session()
        if "--wayland" in argv:
            wayland_sessions()
    finally:
        for process in reversed(started):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(work, ignore_errors=True)
    print("all passed" if not failures else "%d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
