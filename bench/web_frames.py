#!/usr/bin/python3
"""The page's cost per frame in headless Chromium, at the opening size, 1920 x 1080,
2560 x 1440 and 3840 x 2160 CSS pixels (at a ratio of 1, so as many device pixels),
while the sheet ripples after a poke, in 7 windows of 1.5 s:

- shown: the frames that put pixels on the canvas, of all frames; only they are timed;
- frame: the main thread's time in one whole frame callback, putImageData included: the
  median over the windows of each window's median, and its ratio to the opening size's;
  of it, the module's sorvel_frame and putImageData, as medians the same way;
- steps/s: the steps the page ran per second in those windows (median);
- floor: a minimal page, in the same run and the same browser, that puts a box of the
  same size (the median box the page put) on a canvas of the same size every frame,
  timed the same way; and the page's frame over it;
- rest: the CPU of the renderer's main thread (where the page's script, its module
  and the browser's frame work for it run) while the sheet lies still, before any poke,
  in % of a core (from /proc, in ticks of 10 ms): the median of 5 windows of 2 s, since
  the browser's own idle work lands in one window or another.

    bench/web_frames.py PAGE_DIR [REPETITIONS]

A run counts only if the canvas really changed from each window to the next and no
frame threw and nothing went wrong in the page (engines.WATCH_ERRORS); otherwise the
script says why and exits with 1. The pages are served cross-origin isolated, which
gives performance.now() its fine resolution; the frame callbacks, the puts and the
module's frames are timed by wrappers put in before the page's own script, so any
version of the page can be measured.
"""

import os
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'web'))
from engines import WATCH_ERRORS, Server, chromium, page_errors  # noqa: E402

SIZES = [(481, 330), (1920, 1080), (2560, 1440), (3840, 2160)]
ISOLATED = [('Cross-Origin-Opener-Policy', 'same-origin'), ('Cross-Origin-Embedder-Policy', 'require-corp')]
# Each frame callback as [its time, the module's sorvel_frame in it, putImageData in it,
# the width and height of the box it put], in window.timing.frames; the callbacks that
# threw in timing.thrown.
TIMED_FRAMES = """{
    const timing = window.timing = {frames: [], thrown: 0, module: 0, put: 0, box: [0, 0]};
    const put = CanvasRenderingContext2D.prototype.putImageData;
    CanvasRenderingContext2D.prototype.putImageData = function (image, ...box) {
        const start = performance.now();
        try {
            return put.call(this, image, ...box);
        } finally {
            timing.put += performance.now() - start;
            timing.box = box.length === 6 ? box.slice(4) : [image.width, image.height];
        }
    };
    const instantiate = WebAssembly.instantiate;
    WebAssembly.instantiate = async (...args) => {
        const {module, instance} = await instantiate.apply(WebAssembly, args);
        const exports = instance.exports;
        const sorvel_frame = (...frame) => {
            const start = performance.now();
            try {
                return exports.sorvel_frame(...frame);
            } finally {
                timing.module += performance.now() - start;
            }
        };
        return {module, instance: {exports: {...exports, sorvel_frame}}};
    };
    const real = window.requestAnimationFrame.bind(window);
    window.requestAnimationFrame = callback => real(now => {
        [timing.module, timing.put, timing.box] = [0, 0, [0, 0]];
        const start = performance.now();
        try {
            callback(now);
        } catch (error) {
            ++timing.thrown;
            throw error;
        } finally {
            timing.frames.push([performance.now() - start, timing.module, timing.put, ...timing.box]);
        }
    });
}"""
# The floor: a canvas over the whole window at its device pixels, onto which every frame
# puts a box of ?box=WIDTHxHEIGHT pixels in its middle, from one of two canvas-sized
# images in turn (paper, and ink), so that every put changes what the canvas shows.
FLOOR_PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>floor</title>
<style>html, body { margin: 0; height: 100%; overflow: hidden; }
canvas { position: fixed; inset: 0; width: 100%; height: 100%; display: block; }</style>
</head><body><canvas></canvas><script>
const [w, h] = new URLSearchParams(location.search).get('box').split('x').map(Number);
const canvas = document.querySelector('canvas'), context = canvas.getContext('2d', {alpha: false});
canvas.width = Math.round(innerWidth * devicePixelRatio);
canvas.height = Math.round(innerHeight * devicePixelRatio);
const images = [0xFFFFFFFF, 0xFF000000].map(colour => {
    const image = new ImageData(canvas.width, canvas.height);
    new Uint32Array(image.data.buffer).fill(colour);
    return image;
});
const [x, y] = [(canvas.width - w) >> 1, (canvas.height - h) >> 1];
window.floor = {frames: 0};
function frame() {
    requestAnimationFrame(frame);
    context.putImageData(images[++floor.frames % 2], 0, 0, x, y, w, h);
}
requestAnimationFrame(frame);
</script></body></html>
"""
SPACE = "document.body.dispatchEvent(new KeyboardEvent(arguments[0], {key: ' ', code: 'Space', bubbles: true}))"
# A digest of every pixel of the canvas: whether it changed between two windows.
CANVAS_DIGEST = """
const canvas = document.querySelector('canvas');
const words = new Uint32Array(canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data.buffer);
let digest = 0;
for (let n = 0; n < words.length; ++n) digest = (Math.imul(digest, 31) + words[n]) | 0;
return digest;
"""


class Refused(Exception):
    """A run that does not count: what went wrong."""


def main_thread_seconds(root):
    """CPU seconds of the main threads of the renderers below the process root."""
    children = {}
    for entry in os.listdir('/proc'):
        try:
            children.setdefault(int(open(f'/proc/{entry}/stat').read().rsplit(')', 1)[1].split()[1]), []).append(entry)
        except (OSError, ValueError):
            pass
    total, todo = 0.0, list(children.get(root, []))
    while todo:
        pid = todo.pop()
        todo += children.get(int(pid), [])
        try:
            if '--type=renderer' in open(f'/proc/{pid}/cmdline').read():
                fields = open(f'/proc/{pid}/task/{pid}/stat').read().rsplit(')', 1)[1].split()
                total += (int(fields[11]) + int(fields[12])) / os.sysconf('SC_CLK_TCK')
        except OSError:
            pass
    return total


def open_page(engine, url, ready):
    engine.get(url)
    start = time.monotonic()
    while not engine.run(f'return {ready}'):
        if time.monotonic() - start > 20:
            raise Refused(f'{url}: no first frame')
        time.sleep(0.05)
    time.sleep(1)


def frame_windows(engine, what, repetitions, steps=None):
    """Frame windows of 1.5 s: per window the medians of the frames that put pixels
    (callback, module, put, box width and height), how many did of how many, and the
    steps per second. With steps (the page's count), the canvas must change from one
    window to the next."""
    windows, last = [], engine.run(CANVAS_DIGEST) if steps else None
    for _ in range(repetitions):
        engine.run(f'timing.frames.length = 0; window.mark = [performance.now(), {steps or 0}]')
        time.sleep(1.5)
        frames, rate, thrown = engine.run(
            f'return [timing.frames.splice(0), ({steps or 0} - mark[1]) * 1000 / (performance.now() - mark[0]), timing.thrown]')
        digest, errors = engine.run(CANVAS_DIGEST) if steps else None, page_errors(engine)
        if thrown or errors:
            raise Refused(f'{what}: {thrown} frames threw; the page reported {len(errors)} errors: {sorted(set(errors))}')
        shown = [frame for frame in frames if frame[3] * frame[4] > 0]
        if not shown or (steps and digest == last):
            raise Refused(f'{what}: the canvas did not change in 1.5 s ({len(shown)} of {len(frames)} frames put pixels)')
        last = digest
        windows.append([statistics.median(column) for column in zip(*shown)] + [len(shown), len(frames), rate])
    return windows


def measure(engine, url, floor_url, size, repetitions):
    width, height = size
    engine.viewport(width, height)
    open_page(engine, url, 'window.sorvel && sorvel.firstFrame && sorvel.width')
    if engine.run('return [sorvel.width, sorvel.height]') != list(size):
        raise Refused(f'{width} x {height}: the canvas is not the size asked for')
    root = engine.driver.service.process.pid
    rests = []
    for _ in range(5):
        cpu, wall = main_thread_seconds(root), time.monotonic()
        time.sleep(2)
        rests.append(100 * (main_thread_seconds(root) - cpu) / (time.monotonic() - wall))

    engine.run(SPACE, 'keydown')
    time.sleep(0.1)
    engine.run(SPACE, 'keyup')
    page = frame_windows(engine, f'the page at {width} x {height}', repetitions, 'sorvel.steps')
    result = {name: statistics.median(window[n] for window in page)
              for n, name in enumerate(['frame', 'module', 'put', 'width', 'height', 'shown', 'frames', 'rate'])}
    result['shown'], result['frames'] = sum(w[5] for w in page), sum(w[6] for w in page)
    result['rest'] = statistics.median(rests)

    box = f'{round(result["width"])}x{round(result["height"])}'  # the page's median box
    open_page(engine, f'{floor_url}floor.html?box={box}', 'window.floor && floor.frames')
    floor = frame_windows(engine, f'the floor page at {width} x {height}', repetitions)
    result['floor'] = statistics.median(window[0] for window in floor)
    return result


def main():
    page_dir = sys.argv[1]
    repetitions = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    results = {}
    with tempfile.TemporaryDirectory() as floor_dir:
        with open(os.path.join(floor_dir, 'floor.html'), 'w') as file:
            file.write(FLOOR_PAGE)
        with Server(page_dir, ISOLATED, prelude=WATCH_ERRORS) as server, \
                Server(floor_dir, ISOLATED, prelude=WATCH_ERRORS) as floor_server, chromium() as engine:
            engine.cdp('Page.addScriptToEvaluateOnNewDocument', source=TIMED_FRAMES)
            try:
                for size in SIZES:
                    results[size] = measure(engine, server.url, floor_server.url, size, repetitions)
            except Refused as refused:
                sys.exit(f'refused: {refused}')
    opening = results[SIZES[0]]['frame']
    print(f'page frames in headless Chromium, {page_dir}: medians of {repetitions} windows of 1.5 s while the sheet '
          'ripples, of the frames that put pixels')
    print('  size          shown       frame (ms)  vs opening  sorvel_frame  putImageData  steps/s  '
          'floor (ms)  vs floor  at rest (% of a core)')
    for (width, height), r in results.items():
        print(f'  {width:4} x {height:<4}  {r["shown"]:4}/{r["frames"]:<4}   {r["frame"]:8.3f}   {r["frame"] / opening:8.2f}'
              f'   {r["module"]:10.3f}   {r["put"]:11.3f}   {r["rate"]:7.1f}   {r["floor"]:8.3f}   '
              f'{r["frame"] / r["floor"]:6.2f}   {r["rest"]:8.2f}')


if __name__ == '__main__':
    main()
