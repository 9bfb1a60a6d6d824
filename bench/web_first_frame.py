#!/usr/bin/python3
"""Time from navigation to the page's first shown frame in headless Chromium, with the
browser's cache off: the median of 10 loads.

    bench/web_first_frame.py PAGE_DIR
"""

import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'web'))
from page_test import chromium, open_page, serve  # noqa: E402


def main():
    with serve(sys.argv[1], set()) as url, chromium() as driver:
        driver.execute_cdp_cmd('Network.setCacheDisabled', {'cacheDisabled': True})
        times = []
        for _ in range(10):
            driver.get('about:blank')
            open_page(driver, url)
            times.append(driver.execute_script('return sorvel.firstFrame'))
    print(f'navigation to first frame: median {statistics.median(times):.0f} ms '
          f'(from {min(times):.0f} to {max(times):.0f} ms over {len(times)} loads)')


if __name__ == '__main__':
    main()
