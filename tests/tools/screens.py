"""What the screen tests share: checks that report and go on, pictures as grey bytes, the
line renderer's reference frames (frame_reference), waiting for a condition with a limit,
xdotool, and a private X display with a window manager."""

import contextlib
import os
import subprocess
import time

failures = []


def check(condition, message):
    """Reports one check and goes on; the condition is returned."""
    print(("ok    " if condition else "FAIL  ") + message, flush=True)
    if not condition:
        failures.append(message)
    return condition


def verdict():
    """The summary line of the checks so far, and the exit code it means."""
    print("%d failed" % len(failures) if failures else "all passed")
    return 1 if failures else 0


def xdotool(*args):
    """xdotool's output as words (window ids, NAME=VALUE pairs)."""
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def stop(processes):
    """Ends the processes, the last started first: politely, then for good."""
    for process in reversed(processes):
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class Grey:
    """A picture as 8-bit grey rows: a screenshot, or frame_reference's PGM."""

    def __init__(self, data):
        header = data.split(maxsplit=4)  # P5, width, height, 255, pixels
        self.width, self.height, self.pixels = int(header[1]), int(header[2]), header[4]

    @staticmethod
    def of(width, height, pixels):
        return Grey(b"P5 %d %d 255\n" % (width, height) + pixels)

    @staticmethod
    def shot(args):
        """The picture that a command writes in any format ImageMagick reads."""
        image = subprocess.run(args, capture_output=True, check=True).stdout
        return Grey(subprocess.run(["convert", "-", "-colorspace", "gray", "-depth", "8", "pgm:-"], input=image,
                                   capture_output=True, check=True).stdout)

    def row(self, y, x=0, width=None):
        start = y * self.width + x
        return self.pixels[start:start + (width or self.width)]

    def crop(self, offset, size):
        return Grey.of(*size, b"".join(self.row(offset[1] + r, offset[0], size[0]) for r in range(size[1])))

    def differing(self, other):
        """How many pixels differ from another picture of the same size."""
        return sum(a != b for a, b in zip(self.pixels, other.pixels))

    def find(self, picture):
        """Where the picture lies in this one, as (x, y), or None."""
        ink = next(y for y in range(picture.height) if 0 in picture.row(y))
        needle = picture.row(ink)
        for y in range(ink, self.height - picture.height + ink + 1):
            x = self.row(y).find(needle)
            while x >= 0:
                if x + picture.width <= self.width and all(
                        self.row(y - ink + r, x, picture.width) == picture.row(r) for r in range(picture.height)):
                    return x, y - ink
                x = self.row(y).find(needle, x + 1)
        return None


class Reference:
    """frame_reference: the renderer's frame at a size and factor after some steps, each
    step naming the keys held in it (L, R, U, D, C, S; "-" for none)."""

    def __init__(self, program):
        self.program = program

    def __call__(self, width, height, pixels_per_unit=100, *steps):
        return Grey(subprocess.run([self.program, str(width), str(height), str(pixels_per_unit), *steps],
                                   capture_output=True, check=True).stdout)

    def steps_since_poke(self, picture, most=400, before=()):
        """How many steps after a single poke (after the steps `before`) show this
        picture, or None."""
        for n in range(most):
            if self(picture.width, picture.height, 100, *before, "S", *["-"] * n).pixels == picture.pixels:
                return n + 1
        return None


def wait_until(predicate, seconds=15.0, interval=0.05):
    """The predicate's first true value within the time, or None."""
    deadline = time.monotonic() + seconds
    while True:
        value = predicate()
        if value or time.monotonic() > deadline:
            return value or None
        time.sleep(interval)


@contextlib.contextmanager
def x_display(size="1280x1024", inside=list, env=None):
    """A private Xvfb with openbox, which gives the focus as a desktop does, as DISPLAY
    while inside; both are stopped at the end. `inside` wraps their command lines (a
    chroot), `env` is openbox's environment."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(inside(["Xvfb", "-displayfd", str(write), "-screen", "0", size + "x24", "-nolisten", "tcp"]),
                            pass_fds=(write,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    os.close(write)
    started = [xvfb]
    old = os.environ.get("DISPLAY")
    try:
        with os.fdopen(read) as pipe:
            os.environ["DISPLAY"] = ":" + pipe.readline().strip()
        started.append(subprocess.Popen(inside(["openbox", "--sm-disable"]),
                                        env=dict(env or os.environ, DISPLAY=os.environ["DISPLAY"]),
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_until(lambda: subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True,
                                          text=True).stdout.count("window id"), 10, 0.05)
        yield os.environ["DISPLAY"]
    finally:
        stop(started)
        if old is None:
            os.environ.pop("DISPLAY", None)
        else:
            os.environ["DISPLAY"] = old
