#!/usr/bin/python3
"""The web page in Chromium, Firefox and WebKit, driven like a person would, against the
line renderer's own frames (frame_reference): the first frame, keys, the mouse, the
focus rule, the faults of keys held through a shortcut or a page going away, and the
module's memory growing between two frames, in every engine; touch, the About box, what
the page puts on its canvas frame by frame, a failing frame, today's monitors (opened at
their size and grown to it), canvases from 1 x 1 to the longest side the module draws, a
fractional ratio without devicePixelContentBoxSize, a phone held either way, and the
page installed and opened offline, in Chromium; a real zoom in Firefox. Any error in the
page that a test did not provoke fails it, in every engine.

    page_test.py PAGE_DIR FRAME_REFERENCE PUPPETEER_CORE_DIR [chromium] [firefox] [webkit]

Firefox and WebKit show their windows on a private X display with a window manager.
"""

import contextlib
import os
import shutil
import signal
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tools'))
from screens import Reference, wait_until, x_display, xdotool  # noqa: E402
from engines import WATCH_ERRORS, Server, chromium, firefox, page_errors, webkit  # noqa: E402

REFERENCE = None
# Today's monitors, in CSS pixels.
MONITORS = [(1920, 1080), (2560, 1440), (3840, 2160)]

# The canvas as grey bytes (0 or 255 for pure black or white with full alpha, 128 for
# anything else) in runs of one value (value, length, value, length, ...), with its size,
# the steps run so far and the factor it was drawn at.
READ_CANVAS = """
const canvas = document.getElementById('sheet');
const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
const runs = [];
let value = -1, length = 0;
for (const word of new Uint32Array(data.buffer)) {  // bytes R, G, B, A
    const grey = word === 0xFFFFFFFF ? 255 : word === 0xFF000000 ? 0 : 128;
    if (grey === value) {
        ++length;
    } else {
        if (length) runs.push(value, length);
        [value, length] = [grey, 1];
    }
}
runs.push(value, length);
return [canvas.width, canvas.height, sorvel.steps, sorvel.factor, runs];
"""

# The module's exports as window.pageModule, and an error whenever the memory grows in a
# frame: it may grow only when the canvas is fitted.
WATCH_MODULE = """{
    const instantiate = WebAssembly.instantiate;
    WebAssembly.instantiate = async (...args) => {
        const {module, instance} = await instantiate.apply(WebAssembly, args);
        const exports = window.pageModule = instance.exports;
        const sorvel_frame = (...frame) => {
            const before = exports.memory.buffer, steps = exports.sorvel_frame(...frame);
            if (exports.memory.buffer !== before) window.pageErrors.push('the memory grew in a frame');
            return steps;
        };
        return {module, instance: {exports: {...exports, sorvel_frame}}};
    };
}"""

# From now on frames run only when the test asks: each one 10 ms after the last, and far
# ahead of the engine's own clock, so that it runs exactly one step, to which all input
# since the previous frame applies. (The first runs up to four: the backlog since the
# engine's last frame.)
HOLD_CLOCK = """
const clock = window.testClock = {frames: new Map(), last: 0, now: performance.now() + 1e7, errors: []};
window.requestAnimationFrame = callback => (clock.frames.set(++clock.last, callback), clock.last);
window.cancelAnimationFrame = id => clock.frames.delete(id);
"""
TICK = """
const clock = window.testClock, before = sorvel.steps, due = [...clock.frames.values()];
clock.now += 10;
clock.frames.clear();
for (const frame of due) {
    try { frame(clock.now); } catch (error) { clock.errors.push(String(error)); }
}
return sorvel.steps - before;
"""

# A key event as macOS gives it, with the Command key's flag; no keyup follows.
KEY_EVENT = """
const [type, key, metaKey] = arguments;
document.body.dispatchEvent(new KeyboardEvent(type, {key, metaKey, bubbles: true, cancelable: true}));
"""


def wait_for(condition, what, seconds=10):
    value = wait_until(condition, seconds, 0.02)
    if not value:
        raise AssertionError(f'timed out waiting for {what}')
    return value


class Page:
    """The page open in one engine, its canvas compared with the renderer's frames after
    the steps it ran, each step naming the keys it applied (frame_reference's letters)."""

    def __init__(self, engine, url):
        self.engine = engine
        self.history = []  # the steps since the first input; steps before it leave the sheet as it was
        engine.get(url)
        wait_for(lambda: engine.run('return window.sorvel ? sorvel.firstFrame : 0'), 'the first frame')

    def run(self, script, *args):
        return self.engine.run(script, *args)

    def no_errors(self, *expected):
        """Nothing went wrong in the page since the last look, uncaught or in a frame the
        test ran, but what the test provoked on purpose: one error naming each of `expected`."""
        errors = page_errors(self.engine) + self.run('return window.testClock ? testClock.errors.splice(0) : []')
        assert len(errors) == len(expected) and all(e in error for e, error in zip(expected, errors)), \
            f'{self.engine.name}: the page went wrong: {errors}'

    def canvas(self):
        width, height, steps, factor, runs = self.run(READ_CANVAS)
        return width, height, factor, b''.join(bytes([value]) * length for value, length in zip(runs[::2], runs[1::2]))

    def expect(self, what, wait=0, size=None):
        """The canvas must show the renderer's frame after the steps so far, at the
        page's factor, within `wait` seconds, at `size` (width, height) if given."""
        deadline = time.monotonic() + wait
        while True:
            width, height, factor, pixels = self.canvas()
            expected = REFERENCE(width, height, '%.17g' % factor, *self.history).pixels
            if (pixels == expected and size in (None, (width, height))) or time.monotonic() > deadline:
                break
            time.sleep(0.05)
        assert size in (None, (width, height)), f'{what}: the canvas is {width}x{height}, not {size[0]}x{size[1]}'
        if pixels != expected:
            differing = sum(a != b for a, b in zip(pixels, expected)) + abs(len(pixels) - len(expected))
            raise AssertionError(f'{what}: {differing} of {width}x{height} pixels differ from the renderer')
        self.no_errors()
        print(f'ok  {self.engine.name}: {what} ({width}x{height}, factor {factor:.17g})', flush=True)

    def hold_clock(self):
        self.run(HOLD_CLOCK)
        # The engine's last frame hands over to the clock, unless the page sleeps.
        wait_for(lambda: self.run('return testClock.frames.size || !sorvel.awake'), "the page's next frame")
        self.tick()  # the backlog since the engine's last frame

    def tick(self, keys='-', count=1):
        """Runs frames; the first step applies `keys`. Returns the steps run."""
        ran = 0
        for _ in range(count):
            steps = self.run(TICK)
            if steps:
                self.history += [keys if not ran else '-'] + ['-'] * (steps - 1)
            ran += steps
        return ran

    @contextlib.contextmanager
    def away(self):
        """Another window or tab in front while inside; the page has lost the focus on
        entering, and has it back on leaving."""
        focused = 'return document.hasFocus() && document.visibilityState === "visible"'
        with self.engine.away():
            wait_for(lambda: not self.run(focused), 'the page to lose the focus')
            yield
        wait_for(lambda: self.run(focused), 'the page to have the focus back')

    def centre_of(self, element):
        return self.run(f'const r = {element}.getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]')


def check(condition, message):
    assert condition, message
    print(f'ok  {message}', flush=True)


def every_engine(engine, url):
    """What holds in each engine: the first frame, the focus rule, keys, the mouse, and
    the faults of keys that stay down."""
    page = Page(engine, url)
    width, height, ratio, css = page.run(
        'const r = sheet.getBoundingClientRect(); return [sheet.width, sheet.height, devicePixelRatio, [r.width, r.height]]')
    check([width, height] == [round(css[0] * ratio), round(css[1] * ratio)] and
          page.run('return sorvel.factor') == 100 * ratio,
          f'{engine.name}: the canvas ({width}x{height}) is the display\'s pixels of its CSS box {css} at {ratio}, '
          'and at 481 x 330 CSS pixels or more the factor is 100 x the ratio')
    page.expect('the first frame')

    page.hold_clock()
    engine.keys(('down', ' '), ('up', ' '))
    page.tick('S')
    page.expect('a Space tap pokes once: frame 1')
    with page.away():
        check(page.tick(count=3) == 0, f'{engine.name}: nothing moves while another window is in front')
    check(page.tick() == 1, f'{engine.name}: the sheet moves on when the page is back in front')
    page.expect('a Space tap pokes once: frame 2')
    engine.keys(('down', 'ArrowLeft'), ('up', 'ArrowLeft'), ('down', 'ArrowUp'), ('up', 'ArrowUp'))
    page.tick('LU')
    page.expect('← and ↑ tapped once each')
    # The module's memory grows between two frames, from outside, then for a canvas grown
    # to a 4K monitor's pixels (inside the smaller window): the page's views of the old
    # memory come away empty, and it must make them anew.
    page.run('pageModule.memory.grow(16)')
    page.tick()
    page.expect('a frame after the memory grew')
    for size in [(3840, 2160), (width, height)]:
        page.run('sheet.style.cssText = arguments[0]', f'width: {size[0] / ratio}px; height: {size[1] / ratio}px')
        page.expect(f'the frame at once on a canvas of {size[0]} x {size[1]}', wait=5, size=size)
        page.tick()
        page.expect('the next frame')
    page.run('sheet.style.cssText = ""')
    engine.keys(('down', 'c'), ('up', 'c'))
    page.tick('C')
    page.expect('C lays the sheet flat')

    # Shortcuts count for nothing: Ctrl+↑, and ⌘+← without its keyup, as macOS sends it.
    # A key held when ⌘ goes down may lose its keyup too: ⌘'s own keyup lets it go.
    engine.keys(('down', 'Control'), ('down', 'ArrowUp'), ('up', 'ArrowUp'), ('up', 'Control'))
    page.run(KEY_EVENT, 'keydown', 'ArrowLeft', True)
    page.tick(count=2)
    page.run(KEY_EVENT, 'keydown', 'ArrowDown', False)
    page.run(KEY_EVENT, 'keydown', 'Meta', True)
    page.run(KEY_EVENT, 'keyup', 'Meta', False)
    page.tick('D', count=3)
    page.expect('keys with Ctrl or ⌘ do nothing, and ⌘ going up lets every key go')

    # A key held while another window comes to the front: its keyup goes there, and
    # frames may stop meanwhile (a hidden page gets none).
    engine.keys(('down', 'ArrowRight'))
    page.tick('R')
    with page.away():
        pass
    page.tick(count=2)
    engine.keys(('up', 'ArrowRight'))
    page.expect('a key held while the page went away is let go')

    # The mouse: a click is a Space tap; a drag of 5 x 16 pixels five turns and no poke;
    # the reset control lays the sheet flat.
    x, y = width / ratio / 2, height / ratio / 2
    engine.mouse(('move', x, y), ('down',), ('up',))
    for n in range(2):
        page.tick('S' if n == 0 else '-')
        page.expect(f'a click pokes once: frame {n + 1}')
    engine.mouse(('move', *page.centre_of('document.getElementById("reset-button")')), ('down',), ('up',))
    page.tick('C')
    page.expect('the reset control lays the sheet flat')
    engine.mouse(('move', x, y), ('down',), ('move', x + 40, y + 3), ('move', x + 81, y + 5), ('up',))
    page.tick()
    page.history += ['R'] * 5  # five taps in one step: on a sheet at rest, as five steps
    page.expect('a drag of 5 x 16 pixels to the right turns five times and never pokes')
    return page


def touch(engine, *points, kind='touchMove'):
    engine.cdp('Input.dispatchTouchEvent', type=kind,
               touchPoints=[{'x': x, 'y': y, 'id': n} for n, (x, y) in enumerate(points)])


def chromium_only(engine, page, server):
    """Touch, the About box, the frames put on the canvas, a failing frame, a resize."""
    engine.cdp('Emulation.setTouchEmulationEnabled', enabled=True, maxTouchPoints=5)
    x, y = page.run('return [innerWidth / 2, innerHeight / 2]')
    touch(engine, (x, y), kind='touchStart')
    touch(engine, kind='touchEnd')
    page.tick('S')
    page.expect('a finger\'s tap pokes once')
    buttons = page.run('return [...document.querySelectorAll("#controls button")].map(b => b.getBoundingClientRect())')
    check(all(b['width'] >= 44 and b['height'] >= 44 for b in buttons), 'under a finger the controls are 44 x 44 or more')
    opening = REFERENCE(481, 330)
    covered = [(x0, y0) for b in buttons for y0 in range(int(b['top']), int(b['bottom']) + 1)
               for x0 in range(int(b['left']), int(b['right']) + 1) if opening.pixels[y0 * 481 + x0] == 0]
    check(not covered, 'neither control covers the sheet at the opening size')
    touch(engine, page.centre_of('document.getElementById("reset-button")'), kind='touchStart')
    touch(engine, kind='touchEnd')
    page.tick('C')
    for n in range(6):
        touch(engine, (x - 16.5 * n, y + n), kind='touchStart' if n == 0 else 'touchMove')
    touch(engine, kind='touchEnd')
    touch(engine, (x, y), kind='touchStart')
    touch(engine, (x + 2, y + 33))
    touch(engine, (x + 2, y + 33), (x + 100, y))  # a second finger: the drag ends
    touch(engine, (x + 2, y + 99), (x + 150, y))
    touch(engine, kind='touchEnd')
    page.tick()
    page.history += ['L'] * 5 + ['U'] * 2
    page.expect('a finger\'s drag turns per 16 pixels, and a second finger ends it')
    for _ in range(2):  # a double tap, then a pinch
        touch(engine, (x, y), kind='touchStart')
        touch(engine, kind='touchEnd')
    touch(engine, (x - 20, y), (x + 20, y), kind='touchStart')
    for k in range(1, 11):  # fingers spreading, which zooms a page that lets them (to 4 x)
        touch(engine, (x - 20 - 13 * k, y - 10 * k), (x + 20 + 13 * k, y + 10 * k))
    touch(engine, kind='touchEnd')
    check(page.run('return [scrollX, scrollY, visualViewport.scale]') == [0, 0, 1], 'the page neither scrolls nor zooms')
    engine.cdp('Emulation.setTouchEmulationEnabled', enabled=False)
    page.tick('S')
    engine.keys(('down', 'c'), ('up', 'c'))
    page.tick('C')

    # The About box: the program's texts; the sheet waits; Esc closes it.
    engine.keys(('down', ' '), ('up', ' '))
    page.tick('S')
    engine.mouse(('move', *page.centre_of('document.getElementById("about-button")')), ('down',), ('up',))
    texts = page.run('return [...document.querySelectorAll("#about-caption, #about-version, #about-author, #about-ok")]'
                     '.map(e => e.textContent)')
    check(texts == ['Sorvel\u306e\uff8a\uff9e\uff70\uff7c\uff9e\uff6e\uff9d\u60c5\u5831', 'Sorvel Version 0.1',
                    'Copyright (C) 2026 Sorvel', 'OK'], 'the About box shows the program\'s texts')
    check(page.tick(count=3) == 0, 'the sheet waits behind the About box')
    engine.keys(('down', 'Escape'), ('up', 'Escape'))
    check(not page.run('return about.open') and page.tick() == 1, 'Esc closes the About box, and the sheet moves on')

    # Frame by frame, what the page puts is exactly the renderer's frame: only the box
    # that changed, and nothing at all for a frame that repeats the last.
    page.run("""
        const real = CanvasRenderingContext2D.prototype.putImageData, puts = window.puts = [];
        CanvasRenderingContext2D.prototype.putImageData = function (image, ...box) { puts.push(box); real.call(this, image, ...box); };""")
    engine.keys(('down', ' '), ('up', ' '))
    for n, keys in enumerate(['S', '-', '-', 'L', 'U', '-']):
        if keys in 'LU':
            engine.keys(('down', {'L': 'ArrowLeft', 'U': 'ArrowUp'}[keys]), ('up', {'L': 'ArrowLeft', 'U': 'ArrowUp'}[keys]))
        page.tick(keys)
        page.expect(f'frame {n + 1} of a poke and two turns, as the renderer draws it whole')
    # Grown from a small window to today's monitors, each larger than the last, so that
    # the canvas's pixels grow the memory; then back to a small one.
    for size in MONITORS + [(640, 480)]:
        engine.viewport(*size)
        page.expect(f'the frame at once after a resize to {size[0]} x {size[1]}', wait=5, size=size)
        page.tick(count=3)
        page.expect('three frames more after the resize')
    engine.keys(('down', 'c'), ('up', 'c'))
    page.tick('C', count=2)
    page.run('puts.length = 0')
    page.tick(count=5)
    puts = page.run('return puts')
    check(page.run('return sorvel.steps') and not puts, 'a sheet at rest puts nothing on the canvas')
    engine.keys(('down', ' '), ('up', ' '))
    page.tick('S', count=3)
    page.expect('the ripple after the resize')
    puts = page.run('return puts')
    check(len(puts) == 3 and all(0 < w * h < 640 * 480 * 3 // 4 for *_, w, h in puts),
          f'each frame puts only the box that changed: {puts}')

    # A frame that throws (here the browser refusing a put) does not stop the sheet.
    page.run("""
        const real = CanvasRenderingContext2D.prototype.putImageData;
        CanvasRenderingContext2D.prototype.putImageData = function () {
            CanvasRenderingContext2D.prototype.putImageData = real;
            throw new Error('refused');
        };""")
    page.tick(count=3)
    page.no_errors('refused')
    page.expect('frames go on after one that threw')

    mine = {'/' + name for name in os.listdir(server.directory)} | {'/'}
    check(server.requested <= mine, f'the page asks for its own files only ({sorted(server.requested - mine)})')


def monitors(engine, url):
    """The page opened at the sizes of today's monitors: a Space tap, and the frames after
    it exactly as the renderer draws them."""
    for width, height in MONITORS:
        engine.viewport(width, height)
        page = Page(engine, url)
        page.hold_clock()
        engine.keys(('down', ' '), ('up', ' '))
        page.tick('S')
        page.expect(f'opened at {width} x {height}: a Space tap pokes')
        page.tick(count=2)
        page.expect(f'opened at {width} x {height}: the ripple goes on')
    engine.viewport(800, 600)


def refused_size(engine, url):
    """A canvas too large to draw (17000 device pixels wide) from the start: the page says
    why, keeps going, and draws once the canvas is back to a size it can draw, from the
    largest to the smallest."""
    script = engine.cdp('Page.addScriptToEvaluateOnNewDocument', source="""
        addEventListener('DOMContentLoaded', () => {
            const style = document.head.appendChild(document.createElement('style'));
            style.id = 'huge';
            style.textContent = '#sheet { width: 17000px !important; }';
        });""")['identifier']
    page = Page(engine, url)
    engine.cdp('Page.removeScriptToEvaluateOnNewDocument', identifier=script)
    log = ' '.join(entry['message'] for entry in engine.driver.get_log('browser'))
    check('cannot draw a canvas of 17000' in log, 'the console says why nothing is drawn')
    for key in ' c':  # a poke, and the sheet moving on; then laid flat, and asleep
        page.run(KEY_EVENT, 'keydown', key, False)
        page.run(KEY_EVENT, 'keyup', key, False)
        steps = page.run('return sorvel.steps')
        wait_for(lambda: page.run('return sorvel.steps') > steps + 3 if key == ' ' else not page.run('return sorvel.awake'),
                 'the sheet to go on')
    # The longest side the module draws, then the smallest canvas: each drawn at once,
    # and a poke shown exactly.
    page.hold_clock()
    for width, height in [(16384, 600), (1, 1)]:
        page.run('document.getElementById("huge").textContent = arguments[0]',
                 f'#sheet {{ width: {width}px !important; height: {height}px !important; }}')
        page.expect(f'the frame at once on a canvas of {width} x {height}', wait=5, size=(width, height))
        engine.keys(('down', ' '), ('up', ' '))
        page.tick('S', count=2)
        page.expect(f'a poke on a canvas of {width} x {height}')
    page.run('document.getElementById("huge").remove()')
    page.expect('the frame at the window\'s size again', wait=5, size=(800, 600))


def fractional_ratio(url):
    """At a ratio of 1.25 and a fractional CSS width, without devicePixelContentBoxSize
    (as in WebKit), the canvas still has exactly the device pixels it covers."""
    with chromium('--force-device-scale-factor=1.25', size=(643, 500)) as engine:
        engine.cdp('Page.addScriptToEvaluateOnNewDocument', source="""
            const real = Object.getOwnPropertyDescriptor(ResizeObserverEntry.prototype, 'devicePixelContentBoxSize').get;
            window.deviceBox = entry => real.call(entry)[0];
            Object.defineProperty(ResizeObserverEntry.prototype, 'devicePixelContentBoxSize', {get: () => undefined});""")
        page = Page(engine, url)
        box = page.run("""
            return new Promise(resolve => new ResizeObserver(entries => {
                const box = deviceBox(entries[0]);
                resolve([box.inlineSize, box.blockSize, sheet.getBoundingClientRect().width]);
            }).observe(sheet, {box: 'device-pixel-content-box'}));""")
        check(page.canvas()[:2] == tuple(box[:2]), f'the canvas covers its device pixels {box[:2]} (CSS width {box[2]})')
        page.expect('the first frame at a ratio of 1.25')


def phone(url):
    """A phone held upright, then turned while the sheet ripples: the whole sheet at the
    factor of the smaller screen, and no step lost or added by the turn."""
    with chromium('--force-device-scale-factor=3') as engine:
        engine.viewport(390, 844)
        page = Page(engine, url)
        check(page.canvas()[:3] == (1170, 2532, 243.24324324324326), 'upright: 1170 x 2532, factor 300 x 390 / 481')
        page.expect('upright')
        page.hold_clock()
        engine.keys(('down', ' '), ('up', ' '))
        page.tick('S', count=3)
        steps = page.run('return sorvel.steps')
        engine.viewport(844, 390)
        page.expect('the same step at once when turned', wait=5)
        check(page.canvas()[:3] == (2532, 1170, 300) and page.run('return sorvel.steps') == steps,
              'turned: 2532 x 1170 at its factor, the step count kept')
        page.tick(count=2)
        page.expect('the ripple goes on turned')


def installed_and_offline(engine, server):
    """Installable, and once visited, opened with no network."""
    engine.get(server.url)
    wait_for(lambda: engine.run('return !!navigator.serviceWorker.controller'), 'the service worker')
    errors = engine.cdp('Page.getInstallabilityErrors')['installabilityErrors']
    check(errors == [], f'Chromium can install the page ({errors})')
    server.stop()
    page = Page(engine, server.url)
    page.expect('the page opens with the server gone', wait=5)


def zoomed(engine, page):
    """Firefox's own zoom changes the ratio but not the canvas's device pixels: the sheet
    follows it at once."""
    window = engine.window()
    xdotool('key', '--window', window, 'ctrl+plus')
    wait_for(lambda: page.run('return sorvel.ratio') > 1, 'the zoom')
    ratio = page.run('return devicePixelRatio')
    check(page.run('return sorvel.factor') == 100 * ratio, f'Firefox: the factor at a zoom of {ratio}')
    page.expect('the sheet at once at the zoomed factor')
    xdotool('key', '--window', window, 'ctrl+0')
    wait_for(lambda: page.run('return sorvel.ratio') == 1, 'the zoom back')
    page.no_errors()


def main():
    global REFERENCE
    page_dir, frame_reference, puppeteer, *wanted = sys.argv[1:]
    wanted = wanted or ['chromium', 'firefox', 'webkit']
    if not os.access(frame_reference, os.X_OK):
        sys.exit(f'no {frame_reference}: build the native preset first')
    if 'firefox' in wanted and not os.path.isdir(puppeteer):
        sys.exit(f'no {puppeteer}: npm install --no-save --no-package-lock puppeteer-core@24 (scripts/test does)')
    REFERENCE = Reference(frame_reference)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit('stopped'))  # still closing the browsers and the display
    # What the browsers keep of their own goes into a throwaway home.
    home = tempfile.mkdtemp(prefix='sorvel-page-test-')
    os.environ.update(HOME=home, XDG_CONFIG_HOME=home, XDG_CACHE_HOME=home, XDG_DATA_HOME=home)
    try:
        run_engines(page_dir, puppeteer, wanted)
    finally:
        shutil.rmtree(home, ignore_errors=True)
    print('all page tests passed')


def run_engines(page_dir, puppeteer, wanted):
    with Server(page_dir, prelude=WATCH_ERRORS + WATCH_MODULE) as server:
        if 'firefox' in wanted or 'webkit' in wanted:
            with x_display('1280x1024'):
                if 'firefox' in wanted:
                    with firefox(puppeteer) as engine:
                        zoomed(engine, every_engine(engine, server.url))
                if 'webkit' in wanted:
                    with webkit() as engine:
                        every_engine(engine, server.url)
        if 'chromium' in wanted:
            fractional_ratio(server.url)
            phone(server.url)
            with chromium() as engine:  # last: it stops the server
                engine.viewport(800, 600)
                page = every_engine(engine, server.url)
                chromium_only(engine, page, server)
                monitors(engine, server.url)
                refused_size(engine, server.url)
                installed_and_offline(engine, server)


if __name__ == '__main__':
    main()
