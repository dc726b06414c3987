#!/usr/bin/python3
"""The page in headless Chromium over chromedriver, on the simulated unit.

    tests/web/page_test.py [SITE [TAVIO_CLI]]

SITE is the built site (build-web/site), TAVIO_CLI the native command-line
tool the simulated memory is read back with (build/tavio-cli). One browser
serves all cases; it runs in its own process group, which is always killed
whole, and a start that hangs fails with its own message.
"""

import base64
import functools
import http.server
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from selenium import webdriver
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
SITE = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, 'build-web', 'site'))
CLI = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, 'build', 'tavio-cli'))
del sys.argv[1:]

BROWSER_START_S = 60
WAIT_S = 20

# Control IDs of the window, as the core numbers them.
HOLD_TIME = 2033
POLE_COUNT = 2014
STORE = 2055
LOAD_FILE = 2050
SAVE_FILE = 2051
LOAD_DEFAULTS = 2053
HELP = 242
CUTOFF = 2007
LABEL_HOLD_TIME = 233

BRENTA = 'BRENTA:160:0x0401'


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map, **{'.wasm': 'application/wasm'})

    def log_message(self, *args):
        pass


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


class Browser:
    """chromedriver and its Chromium in one process group of their own."""

    def __init__(self, downloads, language='en-US'):
        self.profile = tempfile.mkdtemp(prefix='tavio-chromium-')
        port = free_port()
        self.process = subprocess.Popen(['chromedriver', '--port=%d' % port], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        deadline = time.monotonic() + BROWSER_START_S
        while True:
            try:
                socket.create_connection(('127.0.0.1', port), timeout=1).close()
                break
            except OSError:
                if time.monotonic() > deadline:
                    self.kill()
                    raise RuntimeError('chromedriver did not listen within %d s' % BROWSER_START_S)
                time.sleep(0.1)
        options = webdriver.ChromeOptions()
        for arg in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                    '--window-size=1300,900', '--user-data-dir=' + self.profile, '--lang=' + language):
            options.add_argument(arg)
        options.add_experimental_option('prefs', {'download.default_directory': downloads,
                                                  'download.prompt_for_download': False,
                                                  'intl.accept_languages': language})
        made = {}

        def start():
            try:
                made['driver'] = webdriver.Remote('http://127.0.0.1:%d' % port, options=options)
            except Exception as error:  # reported below with the start's own message
                made['error'] = error
        starter = threading.Thread(target=start, daemon=True)
        starter.start()
        starter.join(BROWSER_START_S)
        if 'driver' not in made:
            self.kill()
            raise RuntimeError('Chromium did not start within %d s: %s' % (BROWSER_START_S, made.get('error', 'hung')))
        self.driver = made['driver']

    def kill(self):
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.path.exists(os.path.join(SITE, 'tavio.wasm')):
            raise unittest.SkipTest('no site at ' + SITE + ' (./scripts/build-web)')
        cls.work = tempfile.mkdtemp(prefix='tavio-page-')
        cls.downloads = os.path.join(cls.work, 'downloads')
        os.mkdir(cls.downloads)
        handler = functools.partial(QuietHandler, directory=SITE)
        cls.server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.base = 'http://localhost:%d/' % cls.server.server_address[1]
        cls.browser = Browser(cls.downloads)
        cls.driver = cls.browser.driver

    @classmethod
    def tearDownClass(cls):
        cls.browser.kill()
        cls.server.shutdown()
        shutil.rmtree(cls.work, ignore_errors=True)

    # --- helpers ---------------------------------------------------------------
    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait_for(self, what, check, timeout=WAIT_S):
        deadline = time.monotonic() + timeout
        while True:
            value = check()
            if value:
                return value
            if time.monotonic() > deadline:
                self.fail('waited %d s for %s' % (timeout, what))
            time.sleep(0.05)

    def open(self, query):
        self.driver.get(self.base + '?' + query)
        self.wait_for('the page to start', lambda: self.js(
            "return document.body.classList.contains('ready') || document.getElementById('status').textContent"))
        self.idle()

    def idle(self):
        self.wait_for('the page to be idle', lambda: self.js('return TavioPage.idle()'))

    def control(self, control_id):
        return self.driver.find_element(By.CSS_SELECTOR, '#window [data-id="%d"]' % control_id)

    def box(self):
        """The open message box: (caption, text, [button words])."""
        box = self.wait_for('a message box', lambda: self.js("return document.querySelector('dialog.box[open]')"))
        return (box.find_element(By.TAG_NAME, 'h2').text, box.find_element(By.TAG_NAME, 'p').text,
                [b.get_attribute('data-answer') for b in box.find_elements(By.TAG_NAME, 'button')])

    def answer(self, word):
        self.driver.find_element(By.CSS_SELECTOR, 'dialog.box[open] button[data-answer="%s"]' % word).click()

    def type_into(self, control_id, text):
        field = self.control(control_id)
        field.click()
        field.send_keys(Keys.CONTROL, 'a')
        field.send_keys(text)
        field.send_keys(Keys.TAB)
        self.idle()

    def memory(self, name):
        """The simulated memory the page keeps in browser storage, as a file here."""
        data = self.js("return btoa(String.fromCharCode(...Module.FS.readFile('/home/web/' + arguments[0])))", name)
        path = os.path.join(self.work, name)
        with open(path, 'wb') as out:
            out.write(base64.b64decode(data))
        return path

    def cli(self, *args):
        # Its own backups stay in the test's folder.
        env = dict(os.environ, XDG_DATA_HOME=self.work)
        done = subprocess.run([CLI, *args], capture_output=True, text=True, timeout=60, env=env)
        self.assertEqual(done.returncode, 0, done.stderr)
        return done.stdout

    # --- cases -----------------------------------------------------------------
    def test_title_on_connecting_to_each_family(self):
        for spec, title in [('ALDER', 'ALDER 160'), (BRENTA, 'BRENTA 160'), ('CORVAN:120', 'CORVAN 120'),
                            ('DELMAR-Z', 'DELMAR-Z 160')]:
            with self.subTest(spec=spec):
                self.open('simulate=' + spec)
                expected = 'TAVIO (Version 01.02.00): Connected with ' + title
                self.assertEqual(self.driver.title, expected)
                self.assertEqual(self.driver.find_element(By.ID, 'title').text, expected)

    def test_typed_hold_time_reaches_the_simulated_esc_exactly(self):
        if not os.access(CLI, os.X_OK):
            self.skipTest('no tavio-cli at ' + CLI)
        self.open('simulate=%s&sim-eeprom=hold.bin' % BRENTA)
        self.type_into(HOLD_TIME, '1500')
        self.assertEqual(self.control(HOLD_TIME).get_attribute('value'), '1500ms')
        self.assertTrue(self.js("return !document.querySelector('.mark').hidden"), 'no unstored mark')
        self.control(STORE).click()
        caption, text, buttons = self.box()
        self.assertEqual(buttons, ['ok'])
        self.answer('ok')
        self.idle()
        self.assertTrue(self.js("return document.querySelector('.mark').hidden"), 'unstored mark after the store')
        stored = self.memory('hold.bin')

        # The same edit through tavio-cli on a fresh simulated ESC of the same kind.
        fresh = os.path.join(self.work, 'fresh.bin')
        before = os.path.join(self.work, 'before.bin')
        expected = os.path.join(self.work, 'expected.bin')
        self.cli('--simulate', BRENTA, '--sim-eeprom', fresh, 'read', before)
        self.cli('set', before, expected, 'hold_time_ms=1500')
        self.cli('--simulate', BRENTA, '--sim-eeprom', fresh, 'write', expected)
        with open(stored, 'rb') as a, open(fresh, 'rb') as b:
            self.assertEqual(a.read().hex(), b.read().hex())
        got = os.path.join(self.work, 'got.bin')
        self.cli('--simulate', BRENTA, '--sim-eeprom', stored, 'read', got)
        with open(got, 'rb') as a, open(expected, 'rb') as b:
            self.assertEqual(a.read().hex(), b.read().hex())


if __name__ == '__main__':
    unittest.main(verbosity=2)
