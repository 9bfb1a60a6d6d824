#!/usr/bin/env python3
"""Sorvel.exe end to end: started under Wine on the current X display, driven with
xdotool the way a person would, judged by screenshots and exit codes.

    e2e_test.py SORVEL_EXE [SCREENSHOT_DIR]

Needs DISPLAY (a private one: the test presses keys) and WINEPREFIX set, as the
test command does. Where the prefix WINEPREFIX-managed (one with a desktop's settings)
is there too, one more run follows under openbox, which the test starts and stops itself.

A run ends cleanly only with exit code 0 and no crash on stderr: a Wine process ended
from outside may leave 0 whatever happened to it.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from screens import check, verdict, wait_until, xdotool  # noqa: E402

ABOUT_CAPTION = "Sorvel\u306e\uff8a\uff9e\uff70\uff7c\uff9e\uff6e\uff9d\u60c5\u5831"


def key(*names):
    xdotool("key", "--delay", "30", *names)


class Image:
    """A screenshot of the whole screen, as rows of RGB triples."""

    def __init__(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], capture_output=True,
                              check=True).stdout
        fields = []
        pos = 0
        while len(fields) < 4:  # P6, width, height, maximum value
            while data[pos:pos + 1].isspace():
                pos += 1
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(data[start:pos])
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[pos + 1:]

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def crop(self, rect):
        left, top, right, bottom = rect
        return b"".join(self.pixels[3 * (y * self.width + left):3 * (y * self.width + right)] for y in range(top, bottom))


def black_or_white(p):
    return p in ((0, 0, 0), (255, 255, 255))


# What Wine writes on stderr when a program crashes: the fault ("wine: Unhandled page
# fault on ..."), and a debugger's report and backtrace where one is started.
CRASH_REPORTS = ("wine: Unhandled", "Unhandled exception", "Backtrace:")


class WindowsProgram:
    """A Windows program under Wine, its stderr kept to tell a crash from a clean end."""

    def __init__(self, exe, prefix=None):
        env = dict(os.environ, WINEDEBUG="-all")
        if prefix:
            env["WINEPREFIX"] = prefix
        self.errors = tempfile.TemporaryFile()
        self.process = subprocess.Popen(["wine", exe], env=env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=self.errors)

    def end(self, timeout=15):
        """Waits for the end: the exit code (None when the program was still running
        after the timeout, and was killed) and the crash reported on stderr ('' for none)."""
        try:
            code = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            code = None
        self.errors.seek(0)
        lines = self.errors.read().decode(errors="replace").splitlines()
        return code, "\n".join(line for line in lines if any(report in line for report in CRASH_REPORTS))

    def ended_cleanly(self, what):
        """Checks that the program ends with exit code 0 and without a crash."""
        code, crash = self.end()
        return check(code == 0 and not crash, "%s ends the program with exit code 0 (%s)"
                     % (what, "crashed: " + crash if crash else "exit code %s" % code))


class Sorvel(WindowsProgram):
    """One run of the program, its window measured once it is up."""

    def __init__(self, exe, prefix=None):
        super().__init__(exe, prefix)
        self.window = wait_for_window("^Sorvel$")
        self.insets = self.frame_insets(Image())

    def geometry(self):
        return geometry(self.window)

    def frame_insets(self, image):
        """How far the client area lies inside the window on each side (frame and
        caption, as this Wine draws them): measured on the window as it opens, whole on
        the screen, where the black-and-white client area around its middle meets the
        grey of the frame and the caption."""
        x, y, w, h = self.geometry()
        cx, cy = x + w // 2, y + h // 2
        left = cx
        while left > x and black_or_white(image.at(left - 1, cy)):
            left -= 1
        right = cx
        while right < x + w and black_or_white(image.at(right, cy)):
            right += 1
        top = cy
        while top > y and black_or_white(image.at(cx, top - 1)):
            top -= 1
        bottom = cy
        while bottom < y + h and black_or_white(image.at(cx, bottom)):
            bottom += 1
        return left - x, top - y, x + w - right, y + h - bottom

    def client_rect(self):
        """The client area on the screen's coordinates, from the window's geometry now:
        a maximised window may reach past the screen's edges."""
        x, y, w, h = self.geometry()
        left, top, right, bottom = self.insets
        return x + left, y + top, x + w - right, y + h - bottom

    def picture(self):
        """A screenshot, the client area, and the pixels of the part of it on the screen."""
        image = Image()
        left, top, right, bottom = rect = self.client_rect()
        return image, rect, image.crop((max(left, 0), max(top, 0), min(right, image.width), min(bottom, image.height)))

    def frames(self, gap=0.3):
        """Two pictures of the client area, the gap apart in seconds."""
        _, _, first = self.picture()
        time.sleep(gap)
        _, _, second = self.picture()
        return first, second


def window_exists(pattern, timeout=0):
    """The first window on the screen whose name matches, waiting up to timeout seconds;
    None if none. (Wine may make a window's X window before it places and maps it.)"""
    found = wait_until(lambda: xdotool("search", "--onlyvisible", "--name", pattern), timeout, 0.2)
    return found[0] if found else None


def geometry(window):
    """Where the X window is: x, y, width, height."""
    values = dict(line.split("=", 1) for line in xdotool("getwindowgeometry", "--shell", window))
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def wait_for_window(pattern, timeout=30):
    window = window_exists(pattern, timeout)
    if not window:
        raise SystemExit("no window named " + pattern)
    time.sleep(0.5)  # let the first frames arrive
    return window


def flat_sheet(run, shots=None, name=None):
    """Lays the sheet flat; returns the client area and whether the sheet is centred in
    it, within a few seconds (after a resize the window manager may give the focus
    back, and so the frames, a moment later)."""
    key("c")
    time.sleep(0.4)

    def centred():
        image, (left, top, right, bottom), _ = shot = run.picture()
        return shot if image.at((left + right) // 2, (top + bottom) // 2) == (0, 0, 0) else None

    image, client, _ = wait_until(centred, 5, 0.2) or run.picture()
    save(image, client, shots, name)
    left, top, right, bottom = client
    return client, image.at((left + right) // 2, (top + bottom) // 2) == (0, 0, 0)


def caption_colour(geometry, image=None):
    """The colour halfway along a window's caption, clear of its text and buttons."""
    x, y, w, _ = geometry
    return (image or Image()).at(x + w // 2, y + 12)


def system_menu(run, *keys):
    """Opens the system menu by clicking the caption's icon, then presses the keys."""
    x, y, _, _ = run.geometry()
    left, top, _, _ = run.insets  # the icon: just inside the frame, halfway down the caption
    xdotool("mousemove", str(x + left + 8), str(y + top // 2), "click", "1")
    time.sleep(0.4)
    key(*keys)


def about_box_from_menu(run, shots, name, open_menu):
    """Opens the About box with open_menu(), checks it and closes it with Enter. Returns
    where it stood and the colours of its caption and the main window's, or None."""
    open_menu()
    about = window_exists("^" + ABOUT_CAPTION + "$", timeout=10)
    if not check(about, "the system menu's last item opens the About box"):
        return None
    ax, ay, aw, ah = geometry(about)

    def drawn():  # mapped, its caption may still be blank a moment (Wine 10)
        shot = Image()
        return None if black_or_white(caption_colour((ax, ay, aw, ah), shot)) else shot

    image = wait_until(drawn, 5, 0.1)
    if not check(image, "the About box is drawn"):
        return None
    save(image, (ax, ay, ax + aw, ay + ah), shots, name)
    captions = caption_colour((ax, ay, aw, ah), image), caption_colour(run.geometry(), image)
    open1, open2 = run.frames(0.4)
    check(open1 == open2, "while the About box is open the sheet stands still")
    key("Return")  # its default button, OK
    time.sleep(0.5)
    check(not window_exists("^" + ABOUT_CAPTION + "$"), "Enter closes the About box")
    return (ax, ay, aw, ah), captions


def save(image, rect, directory, name):
    if directory and name:
        left, top, right, bottom = max(rect[0], 0), max(rect[1], 0), min(rect[2], image.width), min(rect[3], image.height)
        ppm = b"P6 %d %d 255\n" % (right - left, bottom - top) + image.crop(rect)
        subprocess.run(["convert", "ppm:-", os.path.join(directory, name + ".png")], input=ppm, check=True)


def main():
    exe = sys.argv[1]
    # The screenshots of each Wine in a folder of its own (wine-8.0, wine-10.0).
    shots = os.path.join(sys.argv[2], subprocess.run(["wine", "--version"], capture_output=True, text=True)
                         .stdout.split()[0]) if len(sys.argv) > 2 else None
    if shots:
        os.makedirs(shots, exist_ok=True)

    # First run: the picture, the keys, the focus, the About box; Esc ends it.
    run = Sorvel(exe)
    image, client, first = run.picture()
    save(image, client, shots, "start")
    x, y, w, h = run.geometry()
    check(abs((2 * x + w) - image.width) <= 2 and abs((2 * y + h) - image.height) <= 2,
          "the window opens centred on the screen")
    left, top, right, bottom = client
    opening_caption = caption_colour(run.geometry())
    check(right - left > 300 and bottom - top > 200, "the client area is found: %r" % (client,))
    check(image.at(left, top) == (255, 255, 255) and image.at(right - 1, top) == (255, 255, 255),
          "the client area around the sheet is white")
    check(sum(1 for i in range(0, len(first), 3) if first[i] == 0) > 5000, "the sheet is drawn in black lines")

    # The key state is shared by every program on the display, so a key pressed
    # before this one started may still count as "pressed since the last query":
    # start from a known sheet.
    key("c")
    time.sleep(0.4)
    image, _, start = run.picture()
    hx, hy = left + (right - left) // 2, top + (bottom - top) // 2
    check(image.at(hx, hy) == (0, 0, 0), "the grid lines cross at the centre of the client area")

    key("space")
    time.sleep(0.3)
    _, _, poked1 = run.picture()
    time.sleep(0.3)
    image, _, poked2 = run.picture()
    save(image, client, shots, "poked")
    check(poked1 != start and poked2 != poked1, "Space starts a wave that moves from frame to frame")

    key("c")
    time.sleep(0.4)
    _, _, reset = run.picture()
    check(reset == start, "C brings back the start picture exactly")

    key("Left", "Left", "Left")
    time.sleep(0.3)
    _, _, turned = run.picture()
    check(turned != start, "the arrows turn the view")
    key("Up", "Up")
    time.sleep(0.3)
    image, _, tilted = run.picture()
    save(image, client, shots, "turned")
    check(tilted != turned, "Up tilts the view")

    # Another window takes the focus: the sheet stands still until it comes back.
    key("space")
    other = subprocess.Popen(["wine", "notepad.exe"], stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    notepad = wait_for_window("Notepad")
    time.sleep(0.3)
    away1, away2 = run.frames(0.5)
    check(away1 == away2, "without the focus the picture stands still")
    xdotool("windowclose", notepad)
    other.kill()
    other.wait()
    xdotool("mousemove", str(x + w // 2), str(y + 8), "click", "1")  # the caption
    time.sleep(0.5)
    back1, back2 = run.frames()
    check(back1 != back2, "with the focus back the sheet moves again")

    # The About box, from the system menu: Alt+Space, the last item, Enter.
    about = about_box_from_menu(run, shots, "about", lambda: (key("alt+space"), time.sleep(0.4), key("Up", "Return")))
    active = opening_caption
    if about is not None:
        (ax, ay, aw, ah), (about_caption, inactive) = about
        active = about_caption  # an active caption looks like the About box's while it has the focus
        check(opening_caption == active != inactive,
              "the caption looks active from the start (%r, as the About box's when it has the focus: "
              "%r), and not while the About box has it (%r)" % (opening_caption, active, inactive))
        check(abs((2 * ax + aw) - (2 * x + w)) <= 2 and abs((2 * ay + ah) - (2 * y + h)) <= 2,
              "the About box is centred over the main window")
        after1, after2 = run.frames()
        check(after1 != after2, "after the About box the animation goes on")

    # A bigger window is tried under the window manager below, which places it: on a
    # bare display where a maximised window lands is Wine's own choice (Wine 10 keeps
    # its frame on the screen and the client's far edges off it).
    key("Escape")
    run.ended_cleanly("Esc")

    # The close command, by keyboard and from the system menu.
    run = Sorvel(exe)
    key("alt+F4")
    run.ended_cleanly("Alt+F4")
    run = Sorvel(exe)
    key("alt+space")
    time.sleep(0.4)
    key("c")  # Close
    run.ended_cleanly("the system menu's Close")

    managed = os.environ["WINEPREFIX"] + "-managed"
    if check(os.path.isdir(managed), "a prefix for the window manager's run: " + managed):
        managed_desktop(exe, shots, managed, active)

    return verdict()


def managed_desktop(exe, shots, prefix, active):
    """One run under a window manager, whose caption Wine draws, as on a person's desktop."""
    # Whatever openbox keeps goes into a folder of the test's, not the home folder.
    home = tempfile.mkdtemp(prefix="sorvel-openbox-")
    wm_env = dict(os.environ, XDG_CACHE_HOME=home, XDG_CONFIG_HOME=home, XDG_DATA_HOME=home, XDG_STATE_HOME=home)
    wm = subprocess.Popen(["openbox", "--sm-disable"], env=wm_env, stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(1)
        run = Sorvel(exe, prefix)
        check(caption_colour(run.geometry()) == active, "under openbox Sorvel opens with the focus, its caption active")
        key("c", "space")
        poked1, poked2 = run.frames()
        check(poked1 != poked2, "Space pokes the sheet")

        about_box_from_menu(run, shots, "managed-about", lambda: system_menu(run, "Up", "Return"))

        _, _, w, h = run.geometry()
        system_menu(run, "x")  # Maximize
        time.sleep(0.8)
        (left, top, right, bottom), centred = flat_sheet(run, shots, "managed-maximised")
        check(right - left > w and bottom - top > h,
              "maximised, the client area grew: %r" % ((left, top, right, bottom),))
        check(centred, "the sheet is centred in it")

        system_menu(run, "r")  # Restore
        time.sleep(0.8)
        _, centred = flat_sheet(run)
        check(run.geometry()[2:] == (w, h) and centred, "restored, the window has its size back, the sheet centred")
        key("space")
        moving1, moving2 = run.frames()
        check(moving1 != moving2, "and it animates")

        key("Escape")
        run.ended_cleanly("under the window manager Esc")
    finally:
        wm.terminate()
        wm.wait()
        shutil.rmtree(home, ignore_errors=True)
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=prefix))


if __name__ == "__main__":
    sys.exit(main())
