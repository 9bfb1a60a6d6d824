#!/usr/bin/env python3
"""The Linux edition as a person uses it: started on a private display, driven with
xdotool (or wtype on Wayland), judged by its pictures against the line renderer's frames
and by its exit code.

    linux_test.py SORVEL FRAME_REFERENCE [--first-frame-only | --short] [--wayland] [--root DIR]
                  [--emulator COMMAND...]

Starts its own Xvfb (with openbox for the focus changes) and, with --wayland, weston:
headless for the first frame, then inside Xvfb for the keys. With --root, SORVEL is the
program's path inside that Debian root (mounted and ready), and everything the program
sees runs there (chroot): Xvfb, openbox, a session bus, and instead of weston sway at
scales 1 to 2, the window tiled and, at the fractional scales, floated to a few places
(swaymsg), with grim for its screenshots and wtype for its keys. Everything it
starts is stopped at the end, and the program's HOME is a throwaway folder.
--short checks the start picture, a poke, C and Esc alone. --emulator, given last, runs
SORVEL through the COMMAND that follows it (qemu for a program built for ARM), which
must exec it: the process id stays the program's.
"""

import contextlib
import json
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from screens import Grey, Reference, check, stop, verdict, wait_until, x_display, xdotool  # noqa: E402

ABOUT_CAPTION = "Sorvel\u306e\uff8a\uff9e\uff70\uff7c\uff9e\uff6e\uff9d\u60c5\u5831"
WIDTH, HEIGHT = 481, 330
ROOT = None  # the Debian root the programs run in, or None for this system
EMULATOR = []  # what SORVEL runs under, when it is built for another machine
started = []
work = None
session = {}  # what every program of a --root run gets: its session bus


def start(args, **kwargs):
    process = subprocess.Popen(args, stdin=subprocess.DEVNULL, **kwargs)
    started.append(process)
    return process


def inside(args):
    """A command of the programs under test: in the root, when there is one."""
    return ["chroot", ROOT, *args] if ROOT else list(args)


def seen(path):
    """A path of ours as the programs under test see it."""
    return "/" + os.path.relpath(path, ROOT) if ROOT else path


def tap(*keys):
    # Press and release within one step, so each tap counts once.
    subprocess.run(["xdotool", "key", "--delay", "0", *keys], check=True)


def reference(*steps, width=WIDTH, height=HEIGHT, scale=1):
    return REFERENCE(width, height, 100 * scale, *steps)


def program_env(**extra):
    home = os.path.join(work, "home")
    os.makedirs(home, exist_ok=True)
    home = seen(home)
    return dict(os.environ, HOME=home, XDG_CONFIG_HOME=home, XDG_CACHE_HOME=home, XDG_DATA_HOME=home,
                XDG_STATE_HOME=home, GTK_A11Y="none", GSETTINGS_BACKEND="memory", **session,
                **extra)  # the default renderer


def finish(process, log, seconds=10):
    """The exit code once the program has ended (None if it does not), and its output."""
    try:
        code = process.wait(seconds)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        code = None
    log.seek(0)
    return code, log.read()


class Sorvel:
    """One run of the program on the X display, its window and its output."""

    def __init__(self, **env):
        self.log = open(os.path.join(work, "sorvel-%d.log" % len(started)), "w+")
        self.process = start(inside([*EMULATOR, SORVEL]), env=program_env(GDK_BACKEND="x11", **env),
                             stdout=self.log, stderr=subprocess.STDOUT)
        # A first start in a fresh home builds fontconfig's cache first: give it time.
        ids = wait_until(lambda: xdotool("search", "--onlyvisible", "--pid", str(self.process.pid), "--name", "^Sorvel$"),
                         30)
        self.window = ids[0] if ids else None
        self.size = (WIDTH, HEIGHT)

    def area(self):
        return Grey.shot(["import", "-window", self.window, "ppm:-"]).crop(self.offset, self.size)

    def shows(self, picture, seconds=3):
        return wait_until(lambda: self.area().pixels == picture.pixels, seconds)

    def at(self, x, y):
        """A point of the drawing area in the window's coordinates."""
        return str(self.offset[0] + x), str(self.offset[1] + y)

    def resize(self, width, height):
        """Sizes the window so that its drawing area is width x height: the frame and the
        header bar around the area are taken at the first call, at the opening size."""
        if not hasattr(self, "extra"):
            geometry = dict(pair.split("=") for pair in xdotool("getwindowgeometry", "--shell", self.window))
            self.extra = (int(geometry["WIDTH"]) - self.size[0], int(geometry["HEIGHT"]) - self.size[1])
        self.size = (width, height)
        xdotool("windowsize", "--sync", self.window, str(width + self.extra[0]), str(height + self.extra[1]))

    def finish(self, keys=("Escape",)):
        tap(*keys)
        return finish(self.process, self.log)


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


def without_focus(sorvel):
    """The picture once another window has taken the focus and the sheet stands."""
    other = start(["xmessage", "-geometry", "+0+0", "taking the focus"])
    wait_until(lambda: xdotool("getactivewindow") != [sorvel.window], 5)
    picture = wait_until(lambda: still(sorvel), 3)
    other.kill()
    xdotool("windowactivate", "--sync", sorvel.window)
    return picture


def close_window(window):
    """What a window manager's close does: openbox sends WM_DELETE_WINDOW to the window."""
    subprocess.run(["wmctrl", "-i", "-c", window], check=True)


def open_about():
    tap("F10")
    time.sleep(0.3)
    tap("Up", "Return")  # the menu's last item
    return wait_until(lambda: xdotool("search", "--name", "^" + ABOUT_CAPTION + "$"), 5)


def short_session():
    """The start picture, one poke, C and Esc: what a run under an emulator checks."""
    sorvel = Sorvel()
    if not check(sorvel.window is not None and first_frame(sorvel), "its first frame is the renderer's"):
        return
    tap("space")
    time.sleep(0.2)
    poked = without_focus(sorvel)
    check(poked is not None and REFERENCE.steps_since_poke(poked) is not None,
          "Space pokes, a tap counts once, and the sheet stops without the focus")
    tap("c")
    check(sorvel.shows(reference()), "C lays the sheet flat")
    code, log = sorvel.finish()
    check(code == 0 and log == "", "Esc closes it with 0 and no warnings (%s, %r)" % (code, log[:300]))


def x11_session():
    sorvel = Sorvel()
    if not check(sorvel.window is not None, "the window titled Sorvel opens"):
        return
    check(first_frame(sorvel), "its first frame is the renderer's, pixel for pixel, at 481 x 330")

    tap("space")
    time.sleep(0.2)
    poked = without_focus(sorvel)
    check(poked is not None, "another window takes the focus: the sheet stops")
    check(poked is not None and REFERENCE.steps_since_poke(poked) is not None, "Space pokes, and a tap counts once")
    check(wait_until(lambda: still(sorvel) is None, 3), "back in front, the sheet moves on")
    tap("c")
    check(sorvel.shows(reference()), "C lays the sheet flat")
    tap("Left")
    tap("Up")
    turned = ("L", "U")
    check(sorvel.shows(reference(*turned)), "Left turns the view and Up tilts it, one step each")

    # The mouse on the sheet, by the touch rules: a click is a tap of Space, a drag turns.
    middle = sorvel.at(WIDTH // 2, HEIGHT // 2)
    xdotool("mousemove", "--window", sorvel.window, *middle, "click", "1")
    wait_until(lambda: still(sorvel) is None, 3)
    clicked = without_focus(sorvel)
    check(clicked is not None and REFERENCE.steps_since_poke(clicked, before=turned) is not None,
          "a click on the sheet pokes it as one tap of Space")
    tap("c")
    sorvel.shows(reference(*turned))
    x, y = map(int, middle)
    xdotool("mousemove", "--window", sorvel.window, str(x), str(y), "mousedown", "1",
            *[arg for dx in (12, 40, 70, 88) for arg in ("mousemove", "--window", sorvel.window, str(x + dx), str(y))],
            "mouseup", "1")
    turned += ("R",) * 5
    check(sorvel.shows(reference(*turned)), "a drag of 5 x 16 pixels to the right is five taps of Right, and no poke")

    # C where the layout has no Latin letter: the key where C lies on a US keyboard.
    tap("space")
    wait_until(lambda: still(sorvel) is None, 3)
    subprocess.run(["setxkbmap", "ru"], check=True)
    tap("Cyrillic_es")
    subprocess.run(["setxkbmap", "us"], check=True)
    check(sorvel.shows(reference(*turned)), "on a Russian layout, the key where C lies lays the sheet flat")

    # A new size: the frame is drawn anew around the middle of the new area.
    sorvel.resize(640, 400)
    check(sorvel.shows(reference(*turned, width=640, height=400)), "resized to 640 x 400, the frame is the renderer's")
    sorvel.resize(640, 0)
    time.sleep(0.3)
    sorvel.resize(640, 400)
    check(sorvel.shows(reference(*turned, width=640, height=400)), "... and again after no room at all for it")

    tap("space")
    wait_until(lambda: still(sorvel) is None, 3)
    tap("F10")
    check(wait_until(lambda: still(sorvel), 3), "F10 opens the menu, which holds the sheet")
    tap("Escape")
    check(wait_until(lambda: still(sorvel) is None, 3), "Esc closes the menu, and the sheet moves again")
    check(sorvel.process.poll() is None, "... with the window still open")

    about = open_about()
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

    # The window manager closes the main window while the About box is open: GTK lets
    # the modal box keep its owner, as Windows does; afterwards the close goes through.
    sorvel = Sorvel()
    about = sorvel.window is not None and open_about()
    if check(about, "the About box opens again"):
        close_window(sorvel.window)
        time.sleep(0.5)
        check(sorvel.process.poll() is None and xdotool("search", "--name", "^" + ABOUT_CAPTION + "$"),
              "closing the main window while the About box is open leaves both open")
        xdotool("windowactivate", "--sync", about[0])
        tap("Return")
        wait_until(lambda: not xdotool("search", "--name", "^" + ABOUT_CAPTION + "$"), 5)
        close_window(sorvel.window)
        code, log = finish(sorvel.process, sorvel.log)
        check(code == 0 and log == "", "once the About box is closed, the window manager's close ends the program, "
              "exit code 0 (%s), no warnings: %r" % (code, log[:300]))


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
    # The pointer out of weston's output, where weston would draw it over the sheet.
    xdotool("mousemove", "0", "0")
    # Headless: no keyboard, so the window is never active; its first frame is checked.
    env = weston("headless", "--debug", "--width=1024", "--height=640")
    sorvel = start([*EMULATOR, SORVEL], env=program_env(**env), stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    check(wait_until(lambda: (weston_screenshot(env) or Grey(b"P5 1 1 255 \xff")).find(reference()), 10),
          "on Wayland (weston, headless), the first frame is the renderer's, pixel for pixel")
    sorvel.terminate()
    log = sorvel.communicate()[0].decode()
    check(log == "", "no warnings on Wayland: %r" % log[:300])

    # Weston in a window of the X display passes xdotool's keys on to its clients.
    env = weston("x11", "--width=1024", "--height=768")
    compositor = wait_until(lambda: xdotool("search", "--onlyvisible", "--class", "^Weston Compositor$"), 10)
    sorvel = start([*EMULATOR, SORVEL], env=program_env(**env), stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    shot = ["import", "-window", compositor[0] if compositor else "root", "ppm:-"]
    offset = wait_until(lambda: Grey.shot(shot).find(reference()), 10)
    if check(offset, "on Wayland (weston in X), the first frame is the renderer's"):
        tap("Left")
        # Weston relays the press and the release as it gets to them: under load the
        # release arrives steps later, and the key counts in each step it was down in,
        # as a held key does. That a tap counts once is proven on X above.
        turns = wait_until(lambda: next((n for n in range(1, 9) if Grey.shot(shot).crop(
            offset, (WIDTH, HEIGHT)).pixels == reference(*"L" * n).pixels), None), 5)
        check(turns, "on Wayland, Left turns the view, %s step(s)" % turns)
    tap("Escape")
    try:
        code = sorvel.wait(10)
    except subprocess.TimeoutExpired:
        code = None
    check(code == 0, "on Wayland, Esc closes the window, exit code 0 (%s)" % code)


# wtype gives each key it types the next keycode of a keymap of its own, from evdev's 1
# on: 45 keys that do nothing here put the 46th, Cyrillic es, where C lies (KEY_C).
INERT_KEYS = [k for k in "abdefghijklmnopqrstuvwxyz0123456789"] + [
    "minus", "equal", "bracketleft", "bracketright", "semicolon", "apostrophe", "grave", "comma", "period", "slash"]


# Floating windows' corners whose surface, 14 and 12 pixels up and left for GTK's shadow,
# lies on whole device pixels at 1.25, 1.5 and 1.75 (elsewhere sway resamples it). The
# area then lies at (14, 59) on its surface, off the device grid, as under GNOME or KDE.
FLOATING = [(102, 100), (346, 208), (462, 4)]


def sway_session(scale, keys, positions=()):
    """The program under a headless sway whose one output has this scale: the area must
    show the renderer's frame at its device size and factor 100 x scale, 1:1, tiled, and
    then floating at each of the positions. The output's logical size, 960 x 600, is a
    whole number of device pixels at every scale tried."""
    size = (round(960 * scale), round(600 * scale))
    runtime = tempfile.mkdtemp(prefix="runtime-", dir=work)
    config = os.path.join(runtime, "config")
    with open(config, "w") as out:
        # No border of sway's: the window starts on a whole device pixel.
        out.write("output HEADLESS-1 resolution %dx%d scale %s\nxwayland disable\ndefault_border none\n"
                  "default_floating_border none\n" % (size[0], size[1], scale))
    compositor_env = dict(XDG_RUNTIME_DIR=seen(runtime), WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                          WLR_LIBINPUT_NO_DEVICES="1")
    compositor = start(inside(["sway", "-c", seen(config)]), env=dict(os.environ, **compositor_env),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    socket = wait_until(lambda: [n for n in os.listdir(runtime) if n.startswith("wayland-") and "." not in n], 10)
    if not check(socket, "sway starts at scale %s" % scale):
        return
    client = ["env", "XDG_RUNTIME_DIR=" + seen(runtime), "WAYLAND_DISPLAY=" + socket[0]]
    # A virtual keyboard that stays, so that the seat has a keyboard before the window
    # opens: each wtype below brings its own, whose keys would otherwise reach the
    # window before it has bound the seat's new keyboard.
    keyboard = start(inside([*client, "wtype", "-s", "3600000"]))
    log = open(os.path.join(runtime, "sorvel.log"), "w+")
    sorvel = start(inside([SORVEL]), env=program_env(XDG_RUNTIME_DIR=seen(runtime), WAYLAND_DISPLAY=socket[0],
                                                     GDK_BACKEND="wayland"), stdout=log, stderr=subprocess.STDOUT)

    def swaymsg(*args):
        ipc = seen(os.path.join(runtime, *[n for n in os.listdir(runtime) if n.startswith("sway-ipc.")][:1]))
        return subprocess.run(inside([*client, "swaymsg", "-s", ipc, *args]), capture_output=True, text=True).stdout

    def area():
        tree = []  # sway's containers, tiled and floating, and everything else of the tree
        json.loads(swaymsg("-t", "get_tree") or "{}", object_hook=lambda node: tree.append(node) or node)
        window = next((node["rect"] for node in tree if node.get("pid") == sorvel.pid), None)
        if window is None:
            return None
        shot = Grey.shot(inside([*client, "grim", "-t", "ppm", "-"]))
        # The whole device pixels of the window, whose sides and bottom the area shares;
        # the area begins at the first whole device row below the header bar, the first
        # white one down its left edge.
        left, right = math.ceil(window["x"] * scale), math.floor((window["x"] + window["width"]) * scale)
        top, bottom = math.ceil(window["y"] * scale), min(math.floor((window["y"] + window["height"]) * scale),
                                                          shot.height)
        while top < bottom and shot.row(top, left, 1) != b"\xff":
            top += 1
        return shot.crop((left, top), (right - left, bottom - top)) if top < bottom else None

    def matches(*steps):
        picture = area()
        return picture is not None and picture.pixels == reference(
            *steps, width=picture.width, height=picture.height, scale=scale).pixels

    def shows(*steps):
        return wait_until(lambda: matches(*steps), 10)

    def wtype(*args):
        subprocess.run(inside([*client, "wtype", *args]), check=True)

    def frame_shown(where, steps):
        ok = shows(*steps)
        picture = area() or Grey.of(1, 1, b"\0")
        expected = reference(*steps, width=picture.width, height=picture.height, scale=scale)
        ink = expected.pixels.count(0)
        black = sum(1 for a, b in zip(picture.pixels, expected.pixels) if a == b == 0)
        check(ok, "under sway at scale %s, %s, the area shows the renderer's frame at %d x %d, factor %g, 1:1 "
              "(%d pixels differ; %.1f %% of the ink black)" % (
                  scale, where, picture.width, picture.height, 100 * scale, picture.differing(expected),
                  100.0 * black / max(ink, 1)))

    frame_shown("tiled", ())
    steps = ()
    if keys:
        # wtype waits for sway between a key's press and its release, under load for some
        # steps, and a key counts at every step it was down in.
        wtype("-k", "Left")
        turns = wait_until(lambda: next((n for n in range(1, 9) if matches(*"L" * n)), None), 10)
        check(turns, "under sway, Left (a virtual keyboard's) turns the view, %s step(s)" % turns)
        wtype("-k", "space")
        wait_until(lambda: not matches(*"L" * (turns or 1)), 3)
        wtype(*[arg for key in INERT_KEYS + ["Cyrillic_es"] for arg in ("-k", key)])
        steps = "L" * (turns or 1)
        check(shows(*steps), "under sway, Cyrillic es on the key where C lies (keycode 54) lays the sheet flat")
    for x, y in positions:
        swaymsg("[pid=%d]" % sorvel.pid, "floating enable, move position %d %d" % (x, y))
        frame_shown("floating at (%d, %d)" % (x, y), steps)
    wtype("-k", "Escape")
    code, output = finish(sorvel, log)
    check(code == 0 and output == "", "under sway at scale %s Esc closes the window, exit code 0 (%s), "
          "and nothing was printed: %r" % (scale, code, output[:300]))
    for process in (keyboard, compositor):
        process.terminate()
        process.wait()


def start_session_bus():
    """A session bus in the root, as every desktop has: GTK 4.18 warns without one."""
    bus = start(inside(["dbus-daemon", "--session", "--nofork", "--print-address=1"]), env=program_env(),
                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    session["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()


@contextlib.contextmanager
def desktop(size="1280x1024"):
    """While inside: the private X display with its window manager, which gives the focus
    as a desktop does (xmessage takes it away), and in a root a session bus; at the end
    everything started is stopped, the display last."""
    with x_display(size, inside=inside, env=program_env()):
        try:
            if ROOT:
                start_session_bus()
            xdotool("mousemove", "0", "0")  # the pointer out of the pictures, weston's included
            yield
        finally:
            stop(started)


def main(argv):
    global SORVEL, REFERENCE, ROOT, EMULATOR, work
    if "--emulator" in argv:
        EMULATOR = argv[argv.index("--emulator") + 1:]
        argv = argv[:argv.index("--emulator")]
    if "--root" in argv:
        ROOT = os.path.abspath(argv[argv.index("--root") + 1])
    SORVEL, REFERENCE = argv[0] if ROOT else os.path.abspath(argv[0]), Reference(os.path.abspath(argv[1]))
    work = tempfile.mkdtemp(prefix="sorvel-linux-test-", dir=os.path.join(ROOT, "tmp") if ROOT else None)
    try:
        with desktop():
            if "--first-frame-only" in argv:
                sorvel = Sorvel()
                check(sorvel.window is not None and first_frame(sorvel), "its first frame is the renderer's")
                code, log = sorvel.finish()
                check(code == 0 and log == "", "Esc closes it with 0 and no warnings (%s, %r)" % (code, log[:300]))
            elif "--short" in argv:
                short_session()
            else:
                x11_session()
            if "--wayland" in argv:
                wayland_sessions()
            if ROOT:
                for scale in (1, 1.25, 1.5, 1.75, 2):
                    sway_session(scale, keys=scale == 1.5, positions=FLOATING if scale % 1 else ())
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return verdict()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
