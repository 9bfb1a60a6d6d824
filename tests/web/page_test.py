#!/usr/bin/python3
"""The web page in headless Chromium, driven through chromium-driver, against the line
renderer's own frames (frame_reference): the first frame, the keys, the focus rule,
the About box, a resize and a display with two device pixels per CSS pixel.

    page_test.py PAGE_DIR FRAME_REFERENCE

The page is served from this process on 127.0.0.1; Chromium runs with a new, empty
profile and fetches nothing else.
"""

import base64
import contextlib
import functools
import http.server
import os
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tools'))
from screens import Reference, wait_until  # noqa: E402

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

PAGE_DIR = ''  # from the command line
REFERENCE = None

# The canvas as grey bytes (0 or 255 for pure black or white with full alpha, 128 for
# anything else), with its size and the steps run so far, read in one go.
READ_CANVAS = """
const canvas = document.getElementById('sheet');
const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
const grey = new Uint8Array(data.length / 4);
for (let n = 0; n < grey.length; ++n) {
    const [r, g, b, a] = data.subarray(4 * n, 4 * n + 4);
    grey[n] = a === 255 && r === g && g === b && (r === 0 || r === 255) ? r : 128;
}
let text = '';
for (let n = 0; n < grey.length; n += 8192) text += String.fromCharCode(...grey.subarray(n, n + 8192));
return [canvas.width, canvas.height, sorvel.steps, btoa(text)];
"""


@contextlib.contextmanager
def serve(directory, requested):
    class Handler(http.server.SimpleHTTPRequestHandler):
        extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, '.wasm': 'application/wasm'}

        def log_message(self, *args):
            requested.add(self.path)

    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=directory))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        yield f'http://127.0.0.1:{server.server_port}/'
    finally:
        server.shutdown()
        server.server_close()


@contextlib.contextmanager
def chromium(*extra):
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    with tempfile.TemporaryDirectory() as profile:
        for arg in ('--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                    '--disable-background-networking', '--disable-component-update', '--disable-sync',
                    f'--user-data-dir={profile}', '--window-size=800,600', *extra):
            options.add_argument(arg)
        driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        try:
            yield driver
        finally:
            driver.quit()


def wait_for(condition, what, seconds=10):
    if not wait_until(condition, seconds, 0.02):
        raise AssertionError(f'timed out waiting for {what}')


def open_page(driver, url):
    driver.get(url)
    wait_for(lambda: driver.execute_script('return window.sorvel ? sorvel.firstFrame : 0'), 'the first frame')


def steps(driver):
    return driver.execute_script('return sorvel.steps')


def canvas(driver):
    width, height, _, grey = driver.execute_script(READ_CANVAS)
    return width, height, base64.b64decode(grey)


def reference(width, height, pixels_per_unit=100, *key_steps):
    return REFERENCE(width, height, pixels_per_unit, *key_steps).pixels


def check_frame(driver, what, pixels_per_unit=100, *key_steps):
    """The canvas must show the renderer's frame after the given steps; a busy machine
    may take a while to get there."""
    deadline = time.monotonic() + 5
    while True:
        width, height, pixels = canvas(driver)
        expected = reference(width, height, pixels_per_unit, *key_steps)
        if pixels == expected:
            break
        if time.monotonic() > deadline:
            differing = sum(a != b for a, b in zip(pixels, expected))
            raise AssertionError(f'{what}: {differing} of {width}x{height} pixels differ from the renderer')
        time.sleep(0.1)
    print(f'ok  {what} ({width}x{height})')


# A tap: press and release in one task, so that no frame runs between them and the page
# sees a key pressed and released between two steps. (The driver's own key presses
# arrive as separate messages, often a frame apart: a key down across two steps, which
# rightly counts twice.) Returns whether the page swallowed the key's default action.
TAP = """
const [key, code] = arguments;
const down = new KeyboardEvent('keydown', {key, code, bubbles: true, cancelable: true});
document.body.dispatchEvent(down);
document.body.dispatchEvent(new KeyboardEvent('keyup', {key, code, bubbles: true, cancelable: true}));
return down.defaultPrevented;
"""
KEYS = {'Left': ('ArrowLeft', 'ArrowLeft'), 'Up': ('ArrowUp', 'ArrowUp'), 'C': ('c', 'KeyC'), 'Space': (' ', 'Space')}


def tap(driver, name):
    assert driver.execute_script(TAP, *KEYS[name]), f'the page let {name} do its default action'


def test_one_display(driver, url, requested):
    open_page(driver, url)
    assert driver.title == 'Sorvel', driver.title
    shown = driver.execute_script(
        'const r = sheet.getBoundingClientRect(); return [r.width * devicePixelRatio, r.height * devicePixelRatio]')
    size = canvas(driver)[:2]
    assert tuple(shown) == size, f'the canvas is shown at {shown}, not 1:1 at {size}'
    check_frame(driver, 'first frame')

    # Arrows turn the view; taps, each counted once (the flat sheet stays flat).
    tap(driver, 'Left')
    tap(driver, 'Up')
    time.sleep(0.2)
    check_frame(driver, 'Left and Up tapped once each', 100, 'L', 'U')

    # One tap of Space pokes once. The About box stops the sheet; the frame it stopped at
    # must be the renderer's frame some steps after a single poke.
    before = steps(driver)
    tap(driver, 'Space')
    time.sleep(0.4)
    driver.find_element(By.ID, 'about-button').click()
    assert driver.execute_script('return about.open'), 'the About box did not open'
    width, height, poked = canvas(driver)
    ran = steps(driver) - before
    assert poked != reference(width, height, 100, 'LU'), 'Space did not poke'
    after = next((k for k in range(ran + 1) if reference(width, height, 100, 'LU', 'S', *['-'] * k) == poked), None)
    assert after is not None, f'the frame after a Space tap is no single poke within {ran} steps'
    print(f'ok  a Space tap poked once ({after} steps before the About box opened)')

    # The About box: the program's texts; the sheet waits; Esc closes it.
    texts = driver.execute_script(
        'return [...document.querySelectorAll("#about-caption, #about-version, #about-author, #about-ok")]'
        '.map(e => e.textContent)')
    assert texts == ['Sorvel\u306e\uff8a\uff9e\uff70\uff7c\uff9e\uff6e\uff9d\u60c5\u5831', 'Sorvel Version 0.1',
                     'Copyright (C) 2026 Sorvel', 'OK'], texts
    time.sleep(0.3)
    assert canvas(driver)[2] == poked and steps(driver) == before + ran, 'the sheet moved behind the About box'
    ActionChains(driver).send_keys(Keys.ESCAPE).perform()
    wait_for(lambda: not driver.execute_script('return about.open'), 'Esc to close the About box')
    wait_for(lambda: steps(driver) > before + ran, 'the sheet to move on after the About box')
    print('ok  the About box shows the texts, stops the sheet, and Esc closes it')

    # C lays the moving sheet flat at the turned view.
    tap(driver, 'C')
    time.sleep(0.2)
    check_frame(driver, 'C laid the sheet flat', 100, 'LU')

    # Another tab in front takes the focus: nothing moves until the page has it back.
    page = driver.current_window_handle
    driver.execute_script("window.open('about:blank')")
    driver.switch_to.window([handle for handle in driver.window_handles if handle != page][0])
    time.sleep(0.1)
    frozen = driver.execute_script('return [opener.document.hasFocus(), opener.sorvel.steps]')
    time.sleep(0.4)
    assert not frozen[0], 'the page kept the focus behind another tab'
    assert driver.execute_script('return opener.sorvel.steps') == frozen[1], 'the sheet moved without the focus'
    driver.close()
    driver.switch_to.window(page)
    wait_for(lambda: steps(driver) > frozen[1], 'the sheet to move on with the focus back')
    print('ok  nothing moves while another tab has the focus')

    # A resize redraws at the new size.
    tap(driver, 'C')
    old = canvas(driver)[:2]
    driver.set_window_size(640, 480)
    wait_for(lambda: canvas(driver)[:2] != old, 'the canvas to follow the window')
    time.sleep(0.1)
    check_frame(driver, 'frame after a resize', 100, 'LU')

    mine = {'/' + name for name in os.listdir(PAGE_DIR)} | {'/'}
    assert requested <= mine, f'the page asked for more than its own files: {sorted(requested - mine)}'


def test_two_device_pixels_per_pixel(url):
    with chromium('--force-device-scale-factor=2') as driver:
        open_page(driver, url)
        width, height = canvas(driver)[:2]
        css = driver.execute_script('return [sheet.clientWidth, sheet.clientHeight]')
        assert [width, height] == [2 * css[0], 2 * css[1]], f'{width}x{height} device pixels for {css} CSS pixels'
        check_frame(driver, 'first frame at a device-pixel ratio of 2', 200)


def main():
    global PAGE_DIR, REFERENCE
    PAGE_DIR, frame_reference = sys.argv[1:3]
    if not os.access(frame_reference, os.X_OK):
        sys.exit(f'no {frame_reference}: build the native preset first')
    REFERENCE = Reference(frame_reference)
    requested = set()
    with serve(PAGE_DIR, requested) as url:
        with chromium() as driver:
            test_one_display(driver, url, requested)
        test_two_device_pixels_per_pixel(url)
    print('all page tests passed')


if __name__ == '__main__':
    main()
