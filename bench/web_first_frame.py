#!/usr/bin/python3
"""Time from navigation to the page's first shown frame in Chromium, Firefox and WebKit:
the median of 10 loads in each, every load from the server (no-store, and no service
worker: its script is refused, so that no load comes from its cache). Any error in the
page fails the run.

    bench/web_first_frame.py PAGE_DIR [PUPPETEER_CORE_DIR]

Without PUPPETEER_CORE_DIR, Chromium and WebKit only. Firefox and WebKit show their
windows on a private X display with a window manager.
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'web'))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'tools'))
from engines import WATCH_ERRORS, Server, chromium, firefox, page_errors, webkit  # noqa: E402
from screens import x_display  # noqa: E402


def loads(engine, url, count=10):
    times = []
    for _ in range(count):
        engine.get('about:blank')
        engine.get(url)
        start = time.monotonic()
        while not engine.run('return window.sorvel ? sorvel.firstFrame : 0'):
            if time.monotonic() - start > 20:
                raise RuntimeError(f'{engine.name}: no first frame')
            time.sleep(0.01)
        times.append(engine.run('return sorvel.firstFrame'))
        errors = page_errors(engine)
        if errors:
            raise RuntimeError(f'{engine.name}: the page went wrong: {errors}')
    print(f'{engine.name:9} navigation to first frame: median {statistics.median(times):.0f} ms '
          f'(from {min(times):.0f} to {max(times):.0f} ms over {len(times)} loads)', flush=True)


def main():
    page_dir, puppeteer = sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else None
    with Server(page_dir, [('Cache-Control', 'no-store')], refused={'/sw.js'}, prelude=WATCH_ERRORS) as server:
        with chromium() as engine:
            loads(engine, server.url)
        with x_display():
            if puppeteer:
                with firefox(puppeteer) as engine:
                    loads(engine, server.url)
            with webkit() as engine:
                loads(engine, server.url)


if __name__ == '__main__':
    main()
