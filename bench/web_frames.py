#!/usr/bin/python3
"""The page's cost per frame in headless Chromium, at the opening size, 1920 x 1080,
2560 x 1440 and 3840 x 2160 CSS pixels (at a ratio of 1, so as many device pixels):

- frame: the main thread's time in one whole frame callback, putImageData included,
  while the sheet ripples after a poke: the median over 7 windows of 1.5 s of each
  window's median, and its ratio to the opening size's, measured in the same run;
- steps/s: the steps the page ran per second in those windows (median);
- rest: the CPU of the renderer's main thread (where the page's script, its module
  and the browser's frame work for it run) while the sheet lies still, before any poke,
  in % of a core (from /proc, in ticks of 10 ms): the median of 5 windows of 2 s, since
  the browser's own idle work lands in one window or another.

    bench/web_frames.py PAGE_DIR [REPETITIONS]

The page is served cross-origin isolated, which gives performance.now() its fine
resolution; the frame callbacks are timed by a wrapper around requestAnimationFrame
put in before the page's own script, so any version of the page can be measured.
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'web'))
from engines import Server, chromium  # noqa: E402

SIZES = [(481, 330), (1920, 1080), (2560, 1440), (3840, 2160)]
ISOLATED = [('Cross-Origin-Opener-Policy', 'same-origin'), ('Cross-Origin-Embedder-Policy', 'require-corp')]
TIMED_FRAMES = """
const real = window.requestAnimationFrame.bind(window);
window.frameTimes = [];
window.requestAnimationFrame = callback => real(now => {
    const start = performance.now();
    try { callback(now); } finally { frameTimes.push(performance.now() - start); }
});
"""
SPACE = "document.body.dispatchEvent(new KeyboardEvent(arguments[0], {key: ' ', code: 'Space', bubbles: true}))"


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


def measure(engine, url, size, repetitions):
    engine.viewport(*size)
    engine.get(url)
    start = time.monotonic()
    while not engine.run('return window.sorvel && sorvel.firstFrame && sorvel.width'):
        if time.monotonic() - start > 20:
            raise RuntimeError('no first frame')
        time.sleep(0.05)
    assert engine.run('return [sorvel.width, sorvel.height]') == list(size), 'the canvas is not the size asked for'
    time.sleep(1)

    root = engine.driver.service.process.pid
    rests = []
    for _ in range(5):
        cpu, wall = main_thread_seconds(root), time.monotonic()
        time.sleep(2)
        rests.append(100 * (main_thread_seconds(root) - cpu) / (time.monotonic() - wall))

    engine.run(SPACE, 'keydown')
    time.sleep(0.1)
    engine.run(SPACE, 'keyup')
    frames, rates = [], []
    for _ in range(repetitions):
        engine.run('frameTimes.length = 0; window.mark = [performance.now(), sorvel.steps]')
        time.sleep(1.5)
        times, rate = engine.run('return [frameTimes.slice(), (sorvel.steps - mark[1]) * 1000 / (performance.now() - mark[0])]')
        frames.append(statistics.median(times))
        rates.append(rate)
    return statistics.median(frames), statistics.median(rates), statistics.median(rests)


def main():
    page_dir = sys.argv[1]
    repetitions = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    results = {}
    with Server(page_dir, ISOLATED) as server, chromium() as engine:
        engine.cdp('Page.addScriptToEvaluateOnNewDocument', source=TIMED_FRAMES)
        for size in SIZES:
            results[size] = measure(engine, server.url, size, repetitions)
    opening = results[SIZES[0]][0]
    print(f'page frames in headless Chromium, {page_dir}: medians of {repetitions} windows of 1.5 s')
    print('  size          frame (ms)  vs opening  steps/s   at rest (% of a core)')
    for (width, height), (frame, rate, rest) in results.items():
        print(f'  {width:4} x {height:<4}   {frame:8.3f}   {frame / opening:8.2f}   {rate:7.1f}   {rest:8.2f}')


if __name__ == '__main__':
    main()
