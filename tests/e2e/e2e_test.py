#!/usr/bin/env python3
"""Sorvel.exe end to end: started under Wine on the current X display, driven with
xdotool the way a person would, judged by screenshots and exit codes.

    e2e_test.py SORVEL_EXE [SCREENSHOT_DIR]

Needs DISPLAY (a private one: the test presses keys) and WINEPREFIX set, as the
test command does.
"""

import os
import subprocess
import sys
import time

ABOUT_CAPTION = "Sorvel\u306e\uff8a\uff9e\uff70\uff7c\uff9e\uff6e\uff9d\u60c5\u5831"
failures = []


def check(condition, message):
    print(("ok    " if condition else "FAIL  ") + message, flush=True)
    if not condition:
        failures.append(message)
    return condition


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout


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


class Sorvel:
    """One run of the program."""

    def __init__(self, exe):
        env = dict(os.environ, WINEDEBUG="-all")
        self.process = subprocess.Popen(["wine", exe], env=env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window = wait_for_window("^Sorvel$")

    def geometry(self):
        values = dict(line.split("=", 1) for line in xdotool("getwindowgeometry", "--shell", self.window).split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def client_rect(self, image):
        """The client area: the black-and-white rectangle around the window's middle,
        bounded by the grey of the frame and the caption."""
        x, y, w, h = self.geometry()
        # A maximised window's frame lies partly off the screen.
        x0, y0 = max(x, 0), max(y, 0)
        x1, y1 = min(x + w, image.width), min(y + h, image.height)
        cx, cy = x + w // 2, y + h // 2
        left = cx
        while left > x0 and black_or_white(image.at(left - 1, cy)):
            left -= 1
        right = cx
        while right < x1 and black_or_white(image.at(right, cy)):
            right += 1
        top = cy
        while top > y0 and black_or_white(image.at(cx, top - 1)):
            top -= 1
        bottom = cy
        while bottom < y1 and black_or_white(image.at(cx, bottom)):
            bottom += 1
        return left, top, right, bottom

    def picture(self):
        image = Image()
        rect = self.client_rect(image)
        return image, rect, image.crop(rect)

    def exit_code(self, timeout=15):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            return None


def wait_for_window(pattern, timeout=30):
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = xdotool("search", "--name", pattern).split()
        if found:
            time.sleep(0.5)  # let the first frames arrive
            return found[0]
        time.sleep(0.2)
    raise SystemExit("no window named " + pattern)


def window_exists(pattern):
    return bool(xdotool("search", "--name", pattern).split())


def save(image, rect, directory, name):
    if directory:
        left, top, right, bottom = rect
        ppm = b"P6 %d %d 255\n" % (right - left, bottom - top) + image.crop(rect)
        subprocess.run(["convert", "ppm:-", os.path.join(directory, name + ".png")], input=ppm, check=True)


def main():
    exe = sys.argv[1]
    shots = sys.argv[2] if len(sys.argv) > 2 else None
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
    _, _, away1 = run.picture()
    time.sleep(0.5)
    _, _, away2 = run.picture()
    check(away1 == away2, "without the focus the picture stands still")
    xdotool("windowclose", notepad)
    other.kill()
    other.wait()
    xdotool("mousemove", str(x + w // 2), str(y + 8), "click", "1")  # the caption
    time.sleep(0.5)
    _, _, back1 = run.picture()
    time.sleep(0.3)
    _, _, back2 = run.picture()
    check(back1 != back2, "with the focus back the sheet moves again")

    # The About box, from the system menu: Alt+Space, the last item, Enter.
    key("alt+space")
    time.sleep(0.4)
    key("Up", "Return")
    try:
        about = wait_for_window("^" + ABOUT_CAPTION + "$", timeout=10)
    except SystemExit:
        about = None
    if check(about is not None, "the system menu's last item opens the About box"):
        image = Image()
        ax, ay, aw, ah = (int(v.split("=")[1]) for v in xdotool("getwindowgeometry", "--shell", about).split()[1:5])
        save(image, (ax, ay, ax + aw, ay + ah), shots, "about")
        check(abs((2 * ax + aw) - (2 * x + w)) <= 2 and abs((2 * ay + ah) - (2 * y + h)) <= 2,
              "the About box is centred over the main window")
        _, _, open1 = run.picture()
        time.sleep(0.4)
        _, _, open2 = run.picture()
        check(open1 == open2, "while the About box is open the sheet stands still")
        key("Return")  # its default button, OK
        time.sleep(0.5)
        check(not window_exists("^" + ABOUT_CAPTION + "$"), "OK closes the About box")
        _, _, after1 = run.picture()
        time.sleep(0.3)
        _, _, after2 = run.picture()
        check(after1 != after2, "after the About box the animation goes on")

    # A bigger window: the picture is centred in the new client area. (The Space of
    # Alt+Space counts as a poke once the menu has gone; C lays the sheet flat again.)
    key("alt+space")
    time.sleep(0.4)
    key("x")  # Maximize
    time.sleep(0.5)
    key("c")
    time.sleep(0.5)
    image, client, _ = run.picture()
    save(image, client, shots, "maximised")
    left, top, right, bottom = client
    check(right - left > w and bottom - top > h, "the window grew: client area %r" % (client,))
    check(image.at(left + (right - left) // 2, top + (bottom - top) // 2) == (0, 0, 0),
          "the sheet is centred in the new client area")

    key("Escape")
    check(run.exit_code() == 0, "Esc ends the program with exit code 0")

    # The close command, by keyboard and from the system menu.
    run = Sorvel(exe)
    key("alt+F4")
    check(run.exit_code() == 0, "Alt+F4 ends the program with exit code 0")
    run = Sorvel(exe)
    key("alt+space")
    time.sleep(0.4)
    key("c")  # Close
    check(run.exit_code() == 0, "the system menu's Close ends the program with exit code 0")

    print("%d failed" % len(failures) if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
