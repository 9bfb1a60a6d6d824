"""The three browser engines behind one small interface, for the page tests and the page
benchmark: headless Chromium (selenium and chromium-driver), Firefox (puppeteer-core
over WebDriver BiDi, through firefox_bridge.mjs) and WebKit (selenium and WebKitGTK's
MiniBrowser). Firefox and WebKit show real windows: they need a display with a window
manager (screens.x_display). Each one runs with a new, empty profile and is closed at
the end; the page is served from this process on 127.0.0.1.

Every engine has: get(url), run(script, *args) (a function body that sees `arguments`),
keys(*(kind, key)) with kind 'down' or 'up' and the key as KeyboardEvent.key names it,
mouse(*steps) with ('move', x, y), ('down',) and ('up',) in CSS pixels of the viewport,
and away(), a context in which another window or tab is in front of the page's.

The server can put a script before everything else in the page's HTML, in every engine
alike: WATCH_ERRORS, which keeps what went wrong in the page for page_errors.
"""

import contextlib
import functools
import http.server
import io
import json
import os
import subprocess
import tempfile
import sys
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tools'))
from screens import wait_until, xdotool  # noqa: E402
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.keys import Keys

HERE = os.path.dirname(os.path.abspath(__file__))
SELENIUM_KEYS = {'ArrowLeft': Keys.ARROW_LEFT, 'ArrowRight': Keys.ARROW_RIGHT, 'ArrowUp': Keys.ARROW_UP,
                 'ArrowDown': Keys.ARROW_DOWN, 'Control': Keys.CONTROL, 'Escape': Keys.ESCAPE}

# Every uncaught exception, unhandled rejection, resource that failed to load and
# console.error of the page, in window.pageErrors.
WATCH_ERRORS = """{
    const pageErrors = window.pageErrors = [];
    addEventListener('error', event => pageErrors.push(event instanceof ErrorEvent
        ? `uncaught: ${event.message} (${event.filename}:${event.lineno})`
        : `failed to load: ${event.target.src || event.target.href || event.target}`), true);
    addEventListener('unhandledrejection', event => pageErrors.push(`unhandled rejection: ${event.reason}`));
    const consoleError = console.error;
    console.error = (...args) => {
        pageErrors.push(`console.error: ${args.join(' ')}`);
        consoleError.apply(console, args);
    };
}"""


def page_errors(engine):
    """The errors that WATCH_ERRORS kept in the page open now since the last call."""
    return engine.run('return window.pageErrors ? pageErrors.splice(0) : ["the page has no error watch"]')


class Server:
    """The page's folder on 127.0.0.1, with the paths asked for, extra headers on every
    answer, 404 for the paths refused, and a prelude script first in every HTML page's
    head; stop() takes it down."""

    def __init__(self, directory, headers=(), refused=(), prelude=''):
        self.directory = directory
        requested = self.requested = set()
        inserted = f'<head>\n<script>{prelude}</script>'.encode()

        class Handler(http.server.SimpleHTTPRequestHandler):
            extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, '.wasm': 'application/wasm',
                              '.webmanifest': 'application/manifest+json'}

            def send_head(self):
                if self.path in refused:
                    self.send_error(404)
                    return None
                path = self.translate_path(self.path)
                if os.path.isdir(path):
                    path = os.path.join(path, 'index.html')
                if not prelude or not path.endswith('.html') or not os.path.isfile(path):
                    return super().send_head()
                with open(path, 'rb') as file:
                    body = file.read().replace(b'<head>', inserted, 1)
                self.send_response(200)
                self.send_header('Content-Type', 'text/html; charset=utf-8')
                self.send_header('Content-Length', str(len(body)))
                self.end_headers()
                return io.BytesIO(body)

            def end_headers(self):
                for header in headers:
                    self.send_header(*header)
                super().end_headers()

            def log_message(self, *args):
                requested.add(self.path)

        class Quiet(http.server.ThreadingHTTPServer):
            def handle_error(self, request, address):
                if not isinstance(sys.exc_info()[1], ConnectionError):  # a browser leaving early
                    super().handle_error(request, address)

        self.server = Quiet(('127.0.0.1', 0), functools.partial(Handler, directory=directory))
        self.url = f'http://127.0.0.1:{self.server.server_port}/'
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        if self.server:
            self.server.shutdown()
            self.server.server_close()
            self.server = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


class Selenium:
    name = ''

    def __init__(self, driver):
        self.driver = driver

    def get(self, url):
        self.driver.get(url)

    def run(self, script, *args):
        return self.driver.execute_script(script, *args)

    def keys(self, *events):
        chain = ActionChains(self.driver)
        for kind, key in events:
            (chain.key_down if kind == 'down' else chain.key_up)(SELENIUM_KEYS.get(key, key))
        chain.perform()

    def mouse(self, *steps):
        builder = ActionBuilder(self.driver, duration=0)
        for kind, *where in steps:
            if kind == 'move':
                builder.pointer_action.move_to_location(*(round(v) for v in where))
            else:
                getattr(builder.pointer_action, 'pointer_' + kind)()
        builder.perform()

    def quit(self):
        self.driver.quit()


class Chromium(Selenium):
    name = 'Chromium'

    def cdp(self, command, **params):
        return self.driver.execute_cdp_cmd(command, params)

    def viewport(self, width, height):
        """The page's viewport at exactly width x height CSS pixels."""
        window = self.cdp('Browser.getWindowForTarget')['windowId']
        self.cdp('Browser.setContentsSize', windowId=window, width=width, height=height)

    @contextlib.contextmanager
    def away(self):
        page = self.cdp('Target.getTargetInfo')['targetInfo']['targetId']
        other = self.cdp('Target.createTarget', url='about:blank')['targetId']
        try:
            yield
        finally:
            self.cdp('Target.closeTarget', targetId=other)
            self.cdp('Target.activateTarget', targetId=page)


@contextlib.contextmanager
def chromium(*extra, size=(800, 600)):
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    with tempfile.TemporaryDirectory() as profile:
        for arg in ('--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                    '--disable-background-networking', '--disable-component-update', '--disable-sync',
                    f'--user-data-dir={profile}', '--window-size=%d,%d' % size, *extra):
            options.add_argument(arg)
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
        engine = Chromium(webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options))
        try:
            yield engine
        finally:
            engine.quit()


class Windowed:
    """What Firefox and WebKit share on the X display: their window, and another
    window (xmessage) taking the focus from it."""

    window_class = ''

    def window(self, window_class=None):
        found = wait_until(lambda: xdotool('search', '--onlyvisible', '--class', window_class or self.window_class), 20)
        if not found:
            raise RuntimeError(f'no window of {window_class or self.window_class}')
        return found[-1]

    @contextlib.contextmanager
    def away(self):
        other = subprocess.Popen(['xmessage', '-geometry', '+0+0', 'another window'], stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        try:
            other_window = self.window('xmessage')
            xdotool('windowactivate', '--sync', other_window, 'windowfocus', '--sync', other_window)
            yield
        finally:
            other.terminate()
            other.wait()
            xdotool('windowactivate', '--sync', self.window())


class WebKit(Windowed, Selenium):
    name = 'WebKit'
    window_class = 'MiniBrowser'


@contextlib.contextmanager
def webkit(size=(800, 600)):
    options = webdriver.WebKitGTKOptions()
    options.binary_location = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser'
    options.add_argument('--automation')
    engine = WebKit(webdriver.WebKitGTK(options=options))
    try:
        engine.driver.set_window_size(*size)
        yield engine
    finally:
        engine.quit()


class Firefox(Windowed):
    name = 'Firefox'
    window_class = 'firefox'

    def __init__(self, puppeteer, profile):
        self.bridge = subprocess.Popen(['node', os.path.join(HERE, 'firefox_bridge.mjs'), puppeteer, profile],
                                       stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        if json.loads(self.bridge.stdout.readline() or '{}').get('ready') is not True:
            raise RuntimeError('Firefox did not start')
        # Firefox gives its page the focus only once a person has clicked into it.
        xdotool('windowactivate', '--sync', self.window(), 'mousemove', '--window', self.window(), '400', '300',
                'click', '1')

    def send(self, op, **args):
        self.bridge.stdin.write(json.dumps({'op': op, **args}) + '\n')
        self.bridge.stdin.flush()
        answer = json.loads(self.bridge.stdout.readline() or '{"error": "the bridge ended"}')
        if 'error' in answer:
            raise RuntimeError(f'Firefox {op}: {answer["error"]}')
        return answer['value']

    def get(self, url):
        self.send('goto', url=url)

    def run(self, script, *args):
        return self.send('run', script=script, args=list(args))

    def keys(self, *events):
        self.send('keys', keys=[list(event) for event in events])

    def mouse(self, *steps):
        self.send('mouse', steps=[list(step) for step in steps])

    def quit(self):
        try:
            self.send('quit')
        finally:
            try:
                self.bridge.wait(20)
            except subprocess.TimeoutExpired:
                self.bridge.kill()
                self.bridge.wait()


@contextlib.contextmanager
def firefox(puppeteer):
    with tempfile.TemporaryDirectory() as profile:
        engine = Firefox(puppeteer, profile)
        try:
            yield engine
        finally:
            engine.quit()
