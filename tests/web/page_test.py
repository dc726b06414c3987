#!/usr/bin/python3
"""The page in headless Chromium over chromedriver, on the simulated unit.

    tests/web/page_test.py [--site SITE] [--cli TAVIO_CLI] [unittest arguments]

SITE is the built site (build-web/site), TAVIO_CLI the native command-line
tool the simulated memory is read back with (build/tavio-cli). One browser
serves all cases; it runs in its own process group, which is always killed
whole, and a start that hangs fails with its own message.
"""

import argparse
import base64
import functools
import http.server
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

import urllib3
from selenium import webdriver
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.remote.file_detector import UselessFileDetector
from selenium.webdriver.remote.remote_connection import RemoteConnection

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
_parser = argparse.ArgumentParser(add_help=False)
_parser.add_argument('--site', default=os.path.join(ROOT, 'build-web', 'site'))
_parser.add_argument('--cli', default=os.path.join(ROOT, 'build', 'tavio-cli'))
_known, _rest = _parser.parse_known_args()
SITE = os.path.abspath(_known.site)
CLI = os.path.abspath(_known.cli)
sys.argv[1:] = _rest

BROWSER_START_S = 60
WAIT_S = 20
# A page load or a script in the browser: without a limit a command to a
# browser that hangs waits for ever.
COMMAND_S = 30
# Boxes one action may raise before it counts as a loop (Retry, Retry, ...).
MOST_BOXES = 6

# Control IDs of the window, as the core numbers them.
HOLD_TIME = 2033
POLE_COUNT = 2014
POLE_ARROWS = 2054
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

    def end_headers(self):
        # Nothing in the browser's HTTP cache: offline, only the service worker serves.
        self.send_header('Cache-Control', 'no-store')
        super().end_headers()


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


LIVE_BROWSERS = []


def killed_from_outside(signum, frame):
    # An outer limit that ends the test leaves no browser behind.
    for browser in list(LIVE_BROWSERS):
        browser.kill()
    shutil.rmtree(getattr(PageTest, 'work', ''), ignore_errors=True)
    os._exit(128 + signum)


class Browser:
    """chromedriver and its Chromium in one process group of their own."""

    def __init__(self, downloads, language='en-US'):
        self.profile = tempfile.mkdtemp(prefix='tavio-chromium-')
        port = free_port()
        self.process = subprocess.Popen(['chromedriver', '--port=%d' % port], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        LIVE_BROWSERS.append(self)
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
        # Every later command too ends in time, with its own message below.
        RemoteConnection.set_timeout(BROWSER_START_S)

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
        self.driver.set_page_load_timeout(COMMAND_S)
        self.driver.set_script_timeout(COMMAND_S)
        # A command the browser did not answer is not sent again, three times.
        connection = self.driver.command_executor._conn
        request = connection.request
        connection.request = lambda *args, **kwargs: request(*args, retries=False, **kwargs)
        execute = self.driver.execute

        def bounded(command, params=None):
            try:
                return execute(command, params)
            except (TimeoutException, urllib3.exceptions.HTTPError) as error:
                raise AssertionError('the browser did not finish %s in time: %s'
                                     % (command, str(error).strip())) from None
        self.driver.execute = bounded
        # Paths typed into a file chooser are this machine's.
        self.driver.file_detector = UselessFileDetector()
        # chromedriver's own command for the browser's DevTools calls.
        self.driver.command_executor._commands['cdp'] = ('POST', '/session/$sessionId/goog/cdp/execute')

    def cdp(self, command, **params):
        return self.driver.execute('cdp', {'cmd': command, 'params': params})['value']

    def kill(self):
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)
        if self in LIVE_BROWSERS:
            LIVE_BROWSERS.remove(self)


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

    def setUp(self):
        # A download a failed case left is not taken for this case's.
        for name in os.listdir(self.downloads):
            os.remove(os.path.join(self.downloads, name))

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
        # A box may come before the page is ready: it is the start-up's.
        self.wait_for('the page to start', lambda: self.js(
            "return document.body.classList.contains('ready') || document.getElementById('status').textContent"
            " || document.querySelector('dialog.box[open]')"))
        self.idle_or_box()

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

    def answer_all(self, what='the last action'):
        """Answers every box with its first button; their captions and texts."""
        seen = []
        while True:
            self.idle_or_box(what)
            if not self.js("return document.querySelector('dialog.box[open]')"):
                return seen
            if len(seen) == MOST_BOXES:
                self.fail('%s raised box after box, still one after %d: %s' % (what, MOST_BOXES, seen))
            caption, text, buttons = self.box()
            seen.append((caption, text))
            self.answer(buttons[0])

    def idle_or_box(self, what='the last action'):
        self.wait_for('the page to be idle or to show a box after ' + what, lambda: self.js(
            "return TavioPage.idle() || document.querySelector('dialog.box[open]')"))

    def count_choosers(self):
        """From now on window.choosers counts the times the page opens its file chooser."""
        self.js("window.choosers = 0;"
                "document.getElementById('open-file').addEventListener('click', () => ++window.choosers)")

    def chooser_opened(self, what):
        def check():
            opened, box = self.js("const box = document.querySelector('dialog.box[open] p');"
                                  "return [window.choosers, box && box.textContent]")
            if box:
                self.fail('%s showed a box instead of its file chooser: %s' % (what, box))
            return opened
        self.wait_for(what + ' to open its file chooser', check)

    def downloaded(self, name):
        path = os.path.join(self.downloads, name)
        self.wait_for('the download of ' + name, lambda: os.path.exists(path))
        with open(path, 'rb') as f:
            data = f.read()
        os.remove(path)
        return data

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
        try:
            done = subprocess.run([CLI, *args], capture_output=True, text=True, timeout=COMMAND_S, env=env)
        except subprocess.TimeoutExpired:
            self.fail('tavio-cli %s did not end within %d s' % (' '.join(args), COMMAND_S))
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
            self.fail('no tavio-cli at ' + CLI)
        self.open('simulate=%s&sim-eeprom=hold.bin' % BRENTA)
        self.type_into(HOLD_TIME, '1500')
        self.assertEqual(self.control(HOLD_TIME).get_attribute('value'), '1500ms')
        self.assertTrue(self.js("return !document.querySelector('.mark').hidden"), 'no unstored mark')
        self.control(STORE).click()
        # Input during the store is dropped, not played back after it.
        self.assertTrue(self.js("return document.body.classList.contains('busy')"), 'no wait cursor')
        self.control(LOAD_DEFAULTS).click()
        caption, text, buttons = self.box()
        self.assertEqual(buttons, ['ok'])
        self.answer('ok')
        self.idle()
        self.assertFalse(self.js("return document.querySelector('dialog.defaults[open]')"), 'input of the store ran')
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

    def test_hover_and_focus_help(self):
        self.open('simulate=' + BRENTA)
        help_field = self.control(HELP)
        ActionChains(self.driver).move_to_element(self.control(LABEL_HOLD_TIME)).perform()
        self.wait_for('the hover help', lambda: help_field.text.startswith('-Hold time-'))
        self.assertIn('the last throttle data is fixed', help_field.text)
        self.control(CUTOFF).click()
        self.wait_for('the focus help', lambda: help_field.text.startswith('-Cut off voltage/cell-'))
        # While a field has the focus the mouse shows no help: it starts no
        # rest, rather than one that may not have run out yet.
        self.js("window.rests = 0; const start = TavioPage.restStart;"
                "TavioPage.restStart = (ms) => { ++window.rests; start(ms); }")
        ActionChains(self.driver).move_to_element(self.control(LABEL_HOLD_TIME)).perform()
        self.idle()
        self.assertEqual(self.js('return window.rests'), 0, 'the mouse started the hover rest over a focused field')
        self.assertTrue(help_field.text.startswith('-Cut off voltage/cell-'), help_field.text)

    def test_pole_count_arrows(self):
        self.open('simulate=' + BRENTA)
        field = self.control(POLE_COUNT)
        self.assertEqual(field.get_attribute('value'), '2')
        # The value shows left of the arrows that sit over the field's right end.
        text_right = self.js("const f = arguments[0], r = f.getBoundingClientRect();"
                             "return r.right - parseFloat(getComputedStyle(f).paddingRight)", field)
        arrows_left = self.control(POLE_ARROWS).rect['x']
        self.assertLessEqual(text_right, arrows_left, 'the value is hidden under the arrows')
        up, down = self.control(POLE_ARROWS).find_elements(By.TAG_NAME, 'button')
        up.click()
        up.click()
        self.idle()
        self.assertEqual(field.get_attribute('value'), '6')
        self.assertTrue(self.js("return !document.querySelector('.mark').hidden"), 'no unstored mark')
        for _ in range(4):
            down.click()
        self.idle()
        self.assertEqual(field.get_attribute('value'), '2')
        self.assertTrue(self.js("return document.querySelector('.mark').hidden"), 'mark on the stored value')

    def test_pauses_are_never_shorter_than_asked(self):
        # The unit needs each pause whole: one may end a little late, never early.
        self.open('simulate=' + BRENTA)
        took = self.driver.execute_async_script("""
            const done = arguments[arguments.length - 1], took = [];
            (async () => {
              for (const ms of [0, 1, 2, 3, 5, 20, 20, 20, 20, 20]) {
                const start = performance.now();
                await TavioPage.sleep(ms);
                took.push([ms, performance.now() - start]);
              }
              done(took);
            })();""")
        self.assertEqual(len(took), 10)
        for ms, elapsed in took:
            self.assertGreaterEqual(elapsed, ms, 'a pause of %d ms ended after %.2f ms' % (ms, elapsed))

    def test_every_kind_of_file_change_is_synced_before_the_next_report(self):
        self.open('simulate=' + BRENTA)
        persisted = "const done = arguments[arguments.length - 1];" \
                    "TavioPage.persist().then((ok) => done([ok, TavioPage.storageDirty()]));"
        home = '/home/web/'
        for what, before, change in [
                ('a new file', '', "Module.FS.writeFile('%st.bin', new Uint8Array([1]))" % home),
                ('a write to a file opened before', "window.s = Module.FS.open('%st.bin', 'a')" % home,
                 "Module.FS.write(window.s, new Uint8Array([2]), 0, 1); Module.FS.close(window.s)"),
                ('a rename', '', "Module.FS.rename('%st.bin', '%su.bin')" % (home, home)),
                ('a truncation', '', "Module.FS.truncate('%su.bin', 0)" % home),
                ('a new folder', '', "Module.FS.mkdir('%sd')" % home),
                ('a removal', '', "Module.FS.unlink('%su.bin')" % home),
                ('a removed folder', '', "Module.FS.rmdir('%sd')" % home)]:
            self.js(before)
            self.assertEqual(self.driver.execute_async_script(persisted), [True, False], 'before ' + what)
            self.js(change)
            self.assertTrue(self.js('return TavioPage.storageDirty()'), what + ' is not synced')

    def test_leaving_with_unstored_settings_asks(self):
        # WebDriver answers the browser's own question itself: the page's
        # answer to beforeunload is what is looked at.
        leave = ("const e = new Event('beforeunload', {cancelable: true});"
                 "window.dispatchEvent(e); return e.defaultPrevented")
        self.open('simulate=' + BRENTA)
        self.assertFalse(self.js(leave), 'asks with nothing unstored')
        self.type_into(HOLD_TIME, '900')
        self.assertTrue(self.js(leave), 'leaves unstored settings without asking')
        self.control(STORE).click()
        self.answer_all()
        self.assertFalse(self.js(leave), 'asks after the store')

    def test_german(self):
        browser = Browser(self.downloads, 'de-DE')
        try:
            driver = browser.driver
            driver.get(self.base + '?simulate=' + BRENTA)
            deadline = time.monotonic() + WAIT_S
            while not driver.execute_script("return TavioPage.idle && TavioPage.idle()"):
                self.assertLess(time.monotonic(), deadline, 'the German page did not start')
                time.sleep(0.05)
            self.assertEqual(driver.title, 'TAVIO (Version 01.02.00): Verbunden mit BRENTA 160')
            label = driver.find_element(By.CSS_SELECTOR, '#window [data-id="%d"]' % LABEL_HOLD_TIME)
            self.assertEqual(label.text, 'Hold Zeit')
            # The page's own words follow the module's choice of language.
            self.assertEqual([driver.find_element(By.ID, name).text for name in ('choose', 'backups')],
                             ['Ger\u00e4t w\u00e4hlen\u2026', 'Sicherungen'])
            self.assertEqual(driver.execute_script('return document.documentElement.lang'), 'de')
        finally:
            browser.kill()

    def test_save_and_load_file(self):
        if not os.access(CLI, os.X_OK):
            self.fail('no tavio-cli at ' + CLI)
        self.open('simulate=' + BRENTA)
        self.js('TavioPage.usePickers = false')
        self.count_choosers()
        self.control(SAVE_FILE).click()
        self.assertEqual(self.answer_all('Save file'), [('', 'Settings saved successfully!')],
                         'the boxes of Save file')
        self.assertEqual(self.js('return window.choosers'), 0, 'Save file opened the file chooser')
        saved = self.downloaded('tavio.bin')
        read = os.path.join(self.work, 'read.bin')
        self.cli('--simulate', BRENTA, 'read', read)
        with open(read, 'rb') as f:
            self.assertEqual(saved.hex(), f.read().hex())

        changed = os.path.join(self.work, 'changed.bin')
        self.cli('set', read, changed, 'hold_time_ms=700')
        self.browser.cdp('Page.setInterceptFileChooserDialog', enabled=True)
        try:
            self.control(LOAD_FILE).click()
            self.chooser_opened('Load file')
            self.driver.find_element(By.ID, 'open-file').send_keys(changed)
            self.assertEqual(self.answer_all('Load file'), [], 'the boxes of Load file')
        finally:
            self.browser.cdp('Page.setInterceptFileChooserDialog', enabled=False)
        self.assertEqual(self.control(HOLD_TIME).get_attribute('value'), '700ms')
        self.assertTrue(self.js("return !document.querySelector('.mark').hidden"), 'no unstored mark')

    def test_default_set(self):
        if not os.access(CLI, os.X_OK):
            self.fail('no tavio-cli at ' + CLI)
        # ALDER has no RC car set: its OK stays off.
        self.open('simulate=ALDER')
        self.control(LOAD_DEFAULTS).click()
        dialog = self.wait_for('the defaults dialog', lambda: self.js(
            "return document.querySelector('dialog.defaults[open]')"))
        dialog.find_element(By.CSS_SELECTOR, '[data-id="40005"] input').click()
        self.assertFalse(dialog.find_element(By.CSS_SELECTOR, '[data-id="1"]').is_enabled(), 'OK for RC car on ALDER')
        dialog.find_element(By.CSS_SELECTOR, '[data-id="2"]').click()
        self.idle()

        self.open('simulate=' + BRENTA)
        self.control(LOAD_DEFAULTS).click()
        dialog = self.wait_for('the defaults dialog', lambda: self.js(
            "return document.querySelector('dialog.defaults[open]')"))
        ok = dialog.find_element(By.CSS_SELECTOR, '[data-id="1"]')
        self.assertFalse(ok.is_enabled(), 'OK before a model type is chosen')
        # Each model type's text is one line inside its place, as on the desktop.
        lines = self.js("return Array.from(arguments[0].querySelectorAll('label.item')).map((item) => {"
                        "  const text = document.createRange(); text.selectNodeContents(item.lastChild);"
                        "  return [item.textContent, text.getClientRects().length,"
                        "          text.getBoundingClientRect().right <= item.getBoundingClientRect().right];})",
                        dialog)
        self.assertEqual(len(lines), 5)
        self.assertEqual([line for line in lines if line[1:] != [1, True]], [], 'texts wrapped or cut')
        dialog.find_element(By.CSS_SELECTOR, '[data-id="40004"] input').click()
        self.assertTrue(ok.is_enabled(), 'OK after a model type is chosen')
        ok.click()
        self.answer_all()
        self.js('TavioPage.usePickers = false')
        self.control(SAVE_FILE).click()
        self.answer_all()
        saved = self.downloaded('tavio.bin')
        heli = os.path.join(self.work, 'heli.bin')
        self.cli('--simulate', BRENTA, 'defaults', '3', heli)
        with open(heli, 'rb') as f:
            self.assertEqual(saved.hex(), f.read().hex())

    def test_unplug_during_a_store(self):
        # The readout takes six exchanges; the unit goes in the store's fourth.
        self.open('simulate=%s&sim-unplug-after=9' % BRENTA)
        self.type_into(HOLD_TIME, '1200')
        self.control(STORE).click()
        seen = self.answer_all()
        self.assertTrue(seen, 'no box after the unit went')
        self.assertEqual(seen[0][0], 'Communication error')
        self.assertEqual(self.driver.title, 'TAVIO (Version 01.02.00): Not connected')
        self.assertNotIn('successfully', ' '.join(text for _, text in seen))
        # The image outlives the link; the fields are only disabled.
        self.assertEqual(self.control(HOLD_TIME).get_attribute('value'), '1200ms')
        self.assertFalse(self.control(HOLD_TIME).is_enabled())
        self.assertFalse(self.js("return document.body.classList.contains('busy')"), 'still busy')

    def test_a_store_waits_for_its_backup_in_browser_storage(self):
        self.open('simulate=%s&sim-eeprom=sync.bin' % BRENTA)
        self.type_into(HOLD_TIME, '1100')
        # From now on browser storage refuses every write.
        self.js("Module.IDBFS.dbs = {}; indexedDB.open = () => { throw new Error('storage refused'); };")
        self.control(STORE).click()
        seen = self.answer_all()
        self.assertTrue(seen, 'no box after a store without its backup')
        self.assertNotIn('successfully', ' '.join(text for _, text in seen))
        self.assertFalse(self.js("return Module.FS.analyzePath('/home/web/sync.bin').exists"),
                         'the simulated ESC was written without its backup in storage')

    def test_recovery_box_on_an_erased_esc_and_the_backups_list(self):
        # A store leaves a backup of what the ESC held: hold time 2000ms.
        self.open('simulate=%s&sim-eeprom=recover.bin' % BRENTA)
        self.type_into(HOLD_TIME, '1800')
        self.control(STORE).click()
        self.answer_all()
        self.js("Module.FS.writeFile('/home/web/erased.bin', new Uint8Array(256).fill(255));"
                "return TavioPage.persist()")
        self.open('simulate=%s&sim-eeprom=erased.bin' % BRENTA)
        caption, text, buttons = self.box()
        self.assertIn('BRENTA_160_0x0401_', text)
        self.assertEqual(buttons, ['yes', 'no'])
        self.answer('yes')
        self.answer_all()
        self.assertEqual(self.control(HOLD_TIME).get_attribute('value'), '2000ms')

        self.driver.find_element(By.ID, 'backups').click()
        rows = self.driver.find_elements(By.CSS_SELECTOR, '#backup-list li')
        self.assertTrue(rows)
        name = rows[0].text.split(' \u2014 ')[1].split(' ')[0]
        rows[0].find_element(By.TAG_NAME, 'button').click()
        data = self.downloaded(name)
        stored = self.js("return Array.from(Module.FS.readFile("
                         "'/home/web/.local/share/tavio/backups/' + arguments[0]))", name)
        self.assertEqual(data, bytes(stored))
        self.driver.find_element(By.ID, 'backups-close').click()

    def test_boxes_focus_the_core_s_default_button_and_escape_gives_its_closed_answer(self):
        focused = ("const e = document.activeElement;"
                   "return e.closest('dialog.box[open]') ? e.dataset.answer : e.tagName + ' outside the box'")

        def escape():
            ActionChains(self.driver).send_keys(Keys.ESCAPE).perform()

        # Yes/No, the backup offered to an erased ESC: Yes has the focus, Escape declines.
        self.open('simulate=%s&sim-eeprom=declining.bin' % BRENTA)
        self.type_into(HOLD_TIME, '1700')
        self.control(STORE).click()
        self.answer_all('the store')
        self.js("Module.FS.writeFile('/home/web/declined.bin', new Uint8Array(256).fill(255));"
                "return TavioPage.persist()")
        self.open('simulate=%s&sim-eeprom=declined.bin' % BRENTA)
        caption, text, buttons = self.box()
        self.assertIn('BRENTA_160_0x0401_', text)
        self.assertEqual(buttons, ['yes', 'no'])
        self.assertEqual(self.js(focused), 'yes', 'the focus of the backup offer')
        # A box without Cancel refuses Escape only while the browser lets it:
        # the second Escape, or the first without a click before, closes it,
        # without a button. The page must then go on with the closed answer.
        for _ in range(2):
            if self.js("return document.querySelector('dialog.box[open]')"):
                escape()
            self.idle_or_box('Escape on the backup offer')
        self.assertFalse(self.js("return document.querySelector('dialog.box[open]')"), 'a box after two Escapes')
        with open(self.memory('declined.bin'), 'rb') as f:
            self.assertEqual(f.read().hex(), 'ff' * 256, 'Escape restored the backup')

        # Retry/Cancel, a file that is refused: Retry has the focus, Escape chooses no other file.
        refused = os.path.join(self.work, 'refused.bin')
        with open(refused, 'wb') as f:
            f.write(b'no settings')
        self.open('simulate=' + BRENTA)
        self.js('TavioPage.usePickers = false')
        self.count_choosers()
        self.browser.cdp('Page.setInterceptFileChooserDialog', enabled=True)
        try:
            self.control(LOAD_FILE).click()
            self.chooser_opened('Load file')
            self.driver.find_element(By.ID, 'open-file').send_keys(refused)
            caption, text, buttons = self.box()
            self.assertEqual(buttons, ['retry', 'cancel'])
            self.assertEqual(self.js(focused), 'retry', 'the focus of the refused file\'s box')
            escape()
            self.wait_for('the page to settle after Escape on the refused file', lambda: self.js(
                "return TavioPage.idle() || window.choosers > 1 || document.querySelector('dialog.box[open]')"))
            self.assertEqual(self.js('return window.choosers'), 1, 'Escape opened the file chooser again')
            self.assertFalse(self.js("return document.querySelector('dialog.box[open]')"), 'Escape left the box open')
        finally:
            self.browser.cdp('Page.setInterceptFileChooserDialog', enabled=False)
        self.assertEqual(self.control(HOLD_TIME).get_attribute('value'), '2000ms')

        # Yes/No/Cancel comes only from closing, which a page leaves to the
        # browser's own question: the page's box is given it as the core asks
        # for it, Cancel the default, and Escape must end it without a button
        # (the core then answers Cancel), not with No.
        yes_no_cancel, cancel = 3, 4  # as the core numbers them
        self.js("window.answered = undefined;"
                "TavioPage.showBox('Store?', '', 2, arguments[0], arguments[1]).then((a) => { window.answered = a; })",
                yes_no_cancel, cancel)
        caption, text, buttons = self.box()
        self.assertEqual(buttons, ['yes', 'no', 'cancel'])
        self.assertEqual(self.js(focused), 'cancel', 'the focus of the three-way question')
        escape()
        answered = self.wait_for('the three-way question to end on Escape', lambda: self.js(
            "return window.answered !== undefined && [window.answered]"))
        self.assertEqual(answered, [-1], 'Escape on the three-way question answered with a button')

    def test_box_icons_are_drawn_not_missing_glyphs(self):
        # The icon's characters, drawn in its font, against a character no font has.
        missing = ("const before = getComputedStyle(arguments[0], '::before');"
                   "const text = JSON.parse(before.content).replace(/[\\s\\uFE0F]/g, '');"
                   "const canvas = document.createElement('canvas'); canvas.width = canvas.height = 48;"
                   "const g = canvas.getContext('2d');"
                   "g.font = before.fontWeight + ' ' + before.fontSize + ' ' + before.fontFamily;"
                   "const draw = (s) => { g.clearRect(0, 0, 48, 48); g.fillText(s, 8, 36);"
                   "                      return g.getImageData(0, 0, 48, 48).data.join(); };"
                   "const none = draw('\\u{10FFFD}');"
                   "return [text, [...text].filter((c) => draw(c) === none)]")
        self.open('simulate=' + BRENTA)
        # The error icon as a user meets it: a refused pole count.
        field = self.control(POLE_COUNT)
        field.click()
        field.send_keys(Keys.CONTROL, 'a')
        field.send_keys('3', Keys.TAB)
        caption, text, buttons = self.box()
        self.assertEqual(caption, 'Invalid data')
        boxes = {'error': self.js(missing, self.driver.find_element(By.CSS_SELECTOR, 'dialog.box[open] p'))}
        self.answer('ok')
        self.idle()
        for icon, name in [(1, 'information'), (2, 'warning')]:
            self.js("TavioPage.showBox('-', '', arguments[0], 0, 0)", icon)
            self.box()
            boxes[name] = self.js(missing, self.driver.find_element(By.CSS_SELECTOR, 'dialog.box[open] p'))
            self.answer('ok')
        for name, (icon_text, unseen) in boxes.items():
            with self.subTest(icon=name):
                self.assertTrue(icon_text, 'no icon')
                self.assertEqual(unseen, [], 'drawn as a missing glyph')

    def test_offline_reload(self):
        handler = functools.partial(QuietHandler, directory=SITE)
        server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        base = 'http://localhost:%d/' % server.server_address[1]
        try:
            self.driver.get(base + '?simulate=' + BRENTA)
            self.driver.set_script_timeout(WAIT_S)
            self.driver.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
            # The first visit installed the worker; the next one is served by it.
            self.driver.get(base + '?simulate=' + BRENTA)
            self.wait_for('the page to start', lambda: self.js("return typeof TavioPage !== 'undefined' && TavioPage.idle()"))  # online
            self.assertTrue(self.js("return navigator.serviceWorker.controller !== null"), 'no service worker')
        finally:
            server.shutdown()
            server.server_close()
        self.driver.get(base + '?simulate=' + BRENTA)
        self.wait_for('the page offline', lambda: self.js("return typeof TavioPage !== 'undefined' && TavioPage.idle()"))
        self.assertEqual(self.driver.title, 'TAVIO (Version 01.02.00): Connected with BRENTA 160')
        # Every file came from the worker's cache, none from the browser's own.
        served = self.js("return performance.getEntriesByType('resource').map(e => [e.name, e.deliveryType])")
        self.assertIn(base + 'tavio.wasm', [name for name, _ in served])
        self.assertEqual([name for name, how in served if how != 'cache-storage'], [])

    # --- the unit through WebHID, with a fake navigator.hid --------------------
    def with_fake_hid(self, config, run):
        """Runs `run` on pages that find a fake navigator.hid before any script of theirs."""
        source = FAKE_HID.replace('CONFIG', json.dumps(config))
        added = self.browser.cdp('Page.addScriptToEvaluateOnNewDocument', source=source)
        try:
            run()
        finally:
            self.browser.cdp('Page.removeScriptToEvaluateOnNewDocument', identifier=added['identifier'])

    def clear_box(self, why):
        """Caption and text of the box that must come, as the core gave them."""
        box = self.wait_for('the box for %s (the page hung or said nothing)' % why, lambda: self.js(
            "return document.querySelector('dialog.box[open]')"), timeout=WAIT_S)
        return (self.js("return arguments[0].querySelector('h2').textContent", box),
                self.js("return arguments[0].querySelector('p').textContent", box),
                [b.get_attribute('data-answer') for b in box.find_elements(By.TAG_NAME, 'button')])

    def test_a_unit_that_cannot_be_opened_gives_a_clear_box_at_start_and_when_chosen(self):
        no_unit = core_text(20005) + '\n\n\n\n' + core_text(20111)
        denied = no_unit + '\n\n' + core_text(20156)
        self.assertIn('was found, but the browser could not open it', denied)
        cases = [
            ('a refused permission', {'open': 'NotAllowedError', 'message': 'Failed to open the device.'}, denied),
            ('an insecure page', {'open': 'SecurityError', 'message': 'Access denied.'}, denied),
            ('a unit opened elsewhere', {'open': 'InvalidStateError', 'message': 'The device is busy.'}, no_unit),
            ('an open that never answers', {'open': 'never'}, no_unit),
        ]
        for why, config, text in cases:
            for chosen in (False, True):
                with self.subTest(why=why, chosen=chosen):
                    def run():
                        self.open('')
                        if chosen:
                            # Nothing granted yet: the start says so; then the user chooses the unit.
                            self.assertEqual(self.clear_box('no unit at start')[:2], ('', no_unit))
                            self.answer('ok')
                            self.idle()
                            self.assertEqual(self.js('return fakeHid.log'), ['getDevices'])
                            self.driver.find_element(By.ID, 'choose').click()
                        self.assertEqual(self.clear_box(why), ('', text, ['ok']))
                        self.assertEqual(self.js('return fakeHid.log').count('open'), 1, 'opened more than once')
                        self.answer('ok')
                        self.idle()
                        self.assertEqual(self.driver.title, 'TAVIO (Version 01.02.00): Not connected')
                    self.with_fake_hid(dict(config, granted=not chosen, choose=chosen), run)

    def test_a_dismissed_chooser_gives_the_no_unit_box_again(self):
        no_unit = core_text(20005) + '\n\n\n\n' + core_text(20111)

        def run():
            self.open('')
            self.assertEqual(self.clear_box('no unit at start'), ('', no_unit, ['ok']))
            self.answer('ok')
            self.idle()
            self.driver.find_element(By.ID, 'choose').click()
            self.assertEqual(self.clear_box('a dismissed chooser'), ('', no_unit, ['ok']))
            self.assertEqual(self.js('return fakeHid.log'), ['getDevices', 'requestDevice', 'getDevices'])
            self.assertEqual(self.js('return fakeHid.filters'),
                             [{'vendorId': 0x7A3E, 'productId': 1}, {'vendorId': 0x7A3E, 'productId': 2}])
            self.answer('ok')
            self.idle()
        self.with_fake_hid({'granted': False, 'choose': False}, run)

    def test_device_notices_reach_the_core(self):
        simulated = '/dev/hidraw-simulated'
        connected = 'TAVIO (Version 01.02.00): Connected with BRENTA 160'
        self.open('simulate=' + BRENTA)
        self.assertEqual(self.driver.title, connected)
        # The open unit's removal is the lost connection, as on the desktop.
        self.js("TavioPage.deviceNotice('disconnect', arguments[0])", simulated)
        self.assertEqual(self.clear_box('the removal of the open unit'),
                         ('', core_text(20006) + '\n\n' + core_text(20111), ['ok']))
        self.answer('ok')
        self.idle()
        self.assertEqual(self.driver.title, 'TAVIO (Version 01.02.00): Not connected')
        # A WebHID device's arrival means nothing to the simulated unit.
        self.js("TavioPage.deviceNotice('connect', 'webhid:1')")
        self.idle_or_box()
        self.assertEqual(self.driver.title, 'TAVIO (Version 01.02.00): Not connected')
        # Its own arrival connects again without a word.
        self.js("TavioPage.deviceNotice('connect', arguments[0])", simulated)
        self.idle_or_box()
        self.assertFalse(self.js("return document.querySelector('dialog.box[open]')"), 'a box on arrival')
        self.assertEqual(self.driver.title, connected)

    def test_the_unit_sees_no_report_of_a_store_before_its_backup_is_in_browser_storage(self):
        trace = '/tmp/store-order.txt'
        self.open('simulate=%s&sim-eeprom=order.bin&trace=%s' % (BRENTA, trace))
        self.type_into(HOLD_TIME, '1300')

        def written():
            text = self.js("return Module.FS.readFile(arguments[0], {encoding: 'utf8'})", trace)
            return [line.split(' > ', 1)[1] for line in text.splitlines() if ' > ' in line]
        before = written()
        self.js("Module.IDBFS.dbs = {}; indexedDB.open = () => { throw new Error('storage refused'); };")
        self.control(STORE).click()
        seen = self.answer_all()
        self.assertTrue(seen, 'no box after a store without its backup')
        # The backup's read-back went out, and nothing after it: no lock, no write.
        store = written()[len(before):]
        self.assertTrue(store, 'the store read nothing for its backup')
        self.assertEqual([report[:6] for report in store], ['01 1D '] * len(store),
                         'the unit saw the store before its backup was in storage')


def core_text(number):
    """The English text of the core's string table under `number`, escapes resolved."""
    with open(os.path.join(ROOT, 'src', 'core', 'text', 'string_table.cpp'), encoding='utf-8') as f:
        source = f.read()
    start = re.search(r'\{%d,' % number, source)
    parts = []
    for token in re.finditer(r'u"((?:[^"\\]|\\.)*)"|(,)', source[start.end():]):
        if token.group(2):
            if parts:
                break
            continue
        parts.append(token.group(1))
    escapes = {'r': '\r', 'n': '\n', '"': '"', '\\': '\\'}
    text = re.sub(r'\\(u[0-9A-Fa-f]{4}|.)',
                  lambda m: chr(int(m.group(1)[1:], 16)) if len(m.group(1)) == 5 else escapes[m.group(1)],
                  ''.join(parts))
    # The page shows CR LF as a line break.
    return text.replace('\r\n', '\n')


# A navigator.hid of one LINKBOX whose open() fails as CONFIG says: granted at
# start or given by the chooser, which may also be dismissed.
FAKE_HID = r"""(() => {
  const config = CONFIG;
  const log = [];
  const report = (reportId, bytes) => ({reportId, items: [{reportSize: 8, reportCount: bytes}]});
  class FakeDevice extends EventTarget {
    constructor() {
      super();
      Object.assign(this, {vendorId: 0x7A3E, productId: 2, productName: 'LINKBOX', opened: false,
                           collections: [{inputReports: [report(2, 63)], outputReports: [report(1, 63)]}]});
    }
    open() {
      log.push('open');
      if (config.open === 'never') return new Promise(() => {});
      if (config.open) return Promise.reject(new DOMException(config.message, config.open));
      this.opened = true;
      return Promise.resolve();
    }
    close() { this.opened = false; return Promise.resolve(); }
    sendReport() { return Promise.reject(new DOMException('Failed to write the report.', 'NotAllowedError')); }
  }
  const unit = new FakeDevice();
  let granted = config.granted ? [unit] : [];
  const hid = new EventTarget();
  hid.getDevices = () => { log.push('getDevices'); return Promise.resolve(granted.slice()); };
  hid.requestDevice = (options) => {
    log.push('requestDevice');
    window.fakeHid.filters = options.filters;
    if (config.choose) granted = [unit];
    return Promise.resolve(config.choose ? [unit] : []);
  };
  window.fakeHid = {log, unit, filters: null};
  Object.defineProperty(navigator, 'hid', {value: hid, configurable: true});
})();"""


if __name__ == '__main__':
    signal.signal(signal.SIGTERM, killed_from_outside)
    unittest.main(verbosity=2)
