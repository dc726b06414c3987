#!/usr/bin/env python3
"""The WebHID port in Debian's headless Chromium, over a mocked unit.

For each unit (LINKBOX, LINKPUCK) and report layout (numbered or not),
tavio-mock-unit plugs a simulated unit in as a mocked hidraw node and runs
this script again inside (--inner), under umockdev's preload. There
tavio-cli --trace reads the block, then Chromium, granted the vendor by a
managed policy, loads a probe page that does the same through the WebHID
port; every report must equal the CLI's. Then the page holds the unit with a
read pending, the unit is pulled (SIGUSR1 to tavio-mock-unit), and the read
must fail at once and the disconnect reach the page as a removal notice.

Usage: webhid_browser_test.py --cli TAVIO_CLI --mock-unit TAVIO_MOCK_UNIT
                              --preload LIBUMOCKDEV_PRELOAD --probe PROBE_DIR [--site SITE]
PROBE_DIR holds webhid_probe.js and .wasm (target webhid_probe of the browser
build); scripts/test-webhid builds both and runs this.
"""

import argparse
import http.server
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
POLICY_DIR = '/etc/chromium/policies/managed'
POLICY_FILE = os.path.join(POLICY_DIR, 'tavio-webhid-test.json')
VENDOR = 0x7A3E
# Limits for the browser, each failing with its own message.
START_LIMIT_S = 30    # from starting Chromium to the page's first request
RESULT_LIMIT_S = int(os.environ.get('TAVIO_WEBHID_RESULT_LIMIT_S', '60'))   # from then to the page's last post
CASES = [('LINKBOX', True), ('LINKBOX', False), ('LINKPUCK', True), ('LINKPUCK', False)]
# While trying a change: TAVIO_WEBHID_CASES=1 runs the first case only.
CASES = CASES[:int(os.environ.get('TAVIO_WEBHID_CASES', len(CASES)))]


def remove_policy():
    try:
        os.remove(POLICY_FILE)
    except FileNotFoundError:
        pass


def outer(args):
    failures = []
    try:
        for unit, numbered in CASES:
            name = '%s, %s' % (unit, 'report IDs' if numbered else 'no report IDs')
            command = [args.mock_unit, '--sim-unit', unit] + ([] if numbered else ['--no-report-ids'])
            command += ['--', sys.executable, os.path.abspath(__file__), '--inner', '--cli', args.cli,
                        '--probe', args.probe, '--product', '0001' if unit == 'LINKPUCK' else '0002']
            if args.site:
                command += ['--site', args.site]
            env = dict(os.environ, LD_PRELOAD=args.preload, TMPDIR='/tmp')
            started = time.monotonic()
            try:
                run = subprocess.run(command, env=env, timeout=START_LIMIT_S + RESULT_LIMIT_S + 30,
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
                output, code = run.stdout, run.returncode
            except subprocess.TimeoutExpired as e:
                output, code = (e.stdout or b'').decode(errors='replace') if isinstance(e.stdout, bytes) else (e.stdout or ''), 'time-out'
            print('--- %s (%.1f s)' % (name, time.monotonic() - started))
            print(output.rstrip())
            if code != 0:
                failures.append('%s: exit %s' % (name, code))
    finally:
        remove_policy()
    if failures:
        print('FAILED: ' + '; '.join(failures))
        return 1
    print('PASSED: %d cases' % len(CASES))
    return 0


def trace_lines(text, path):
    """The trace without its time stamps, the device's path as PATH."""
    lines = []
    for line in text.splitlines():
        if line.startswith('#') or not line.strip():
            continue
        body = re.sub(r'^\s*\d+\.\d{3}  ', '', line)
        lines.append(body.replace(path, 'PATH'))
    return lines


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, files, on_unplug):
        super().__init__(('127.0.0.1', 0), Handler)
        self.files = files
        self.on_unplug = on_unplug
        self.posts = {}
        self.first_request = threading.Event()
        self.finished = threading.Event()


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *unused):
        pass

    def reply(self, code, body, kind='text/plain'):
        self.send_response(code)
        self.send_header('Content-Type', kind)
        self.send_header('Content-Length', str(len(body)))
        self.send_header('Cache-Control', 'no-store')
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        self.server.first_request.set()
        name = self.path.split('?')[0].lstrip('/')
        kinds = {'html': 'text/html', 'js': 'text/javascript', 'wasm': 'application/wasm', 'css': 'text/css',
                 'png': 'image/png', 'webmanifest': 'application/manifest+json'}
        if name not in self.server.files:
            self.reply(404, b'')
            return
        with open(self.server.files[name], 'rb') as f:
            kind = self.server.files[name].rsplit('.', 1)[-1]
            self.reply(200, f.read(), kinds.get(kind, 'application/octet-stream'))

    def do_POST(self):
        text = self.rfile.read(int(self.headers.get('Content-Length', '0'))).decode()
        what = self.path.lstrip('/')
        self.server.posts[what] = text
        if what == 'unplug':
            self.server.on_unplug()
        self.reply(200, b'ok')
        if what in ('done', 'error'):
            self.server.finished.set()


def start_browser(url, profile):
    chromium = shutil.which('chromium')
    if chromium is None:
        raise RuntimeError('chromium is not installed')
    command = [chromium, '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
               '--no-default-browser-check', '--disable-extensions', '--enable-logging=stderr',
               '--user-data-dir=' + profile, url]
    # Its own process group, so that every process it starts goes with it.
    return subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=open(os.path.join(profile, 'stderr'), 'w'),
                            start_new_session=True)


def kill_browser(browser):
    try:
        os.killpg(browser.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    browser.wait()


def inner(args):
    errors = []
    with tempfile.TemporaryDirectory(prefix='tavio-webhid-') as work:
        cli_trace = os.path.join(work, 'cli-trace.txt')
        cli = subprocess.run([args.cli, '--trace', cli_trace, 'read', os.path.join(work, 'cli.bin')],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=60)
        if cli.returncode != 0:
            print('tavio-cli read failed: ' + cli.stdout)
            return 1
        with open(cli_trace) as f:
            cli_text = f.read()
        node = re.search(r'open (\S+): ok', cli_text).group(1)

        files = {'webhid_probe.html': os.path.join(HERE, 'webhid_probe.html'),
                 'webhid_probe.js': os.path.join(args.probe, 'webhid_probe.js'),
                 'webhid_probe.wasm': os.path.join(args.probe, 'webhid_probe.wasm')}
        server = Server(files, lambda: os.kill(os.getppid(), signal.SIGUSR1))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        origin = 'http://localhost:%d' % server.server_address[1]
        browser = None
        try:
            write_policy(origin)
            profile = os.path.join(work, 'profile')
            os.mkdir(profile)
            browser = start_browser(origin + '/webhid_probe.html', profile)
            if not server.first_request.wait(START_LIMIT_S):
                errors.append('Chromium did not start: no request for the page within %d s' % START_LIMIT_S)
            elif not server.finished.wait(RESULT_LIMIT_S):
                errors.append('the page posted no result within %d s (posted: %s)'
                              % (RESULT_LIMIT_S, ', '.join(sorted(server.posts)) or 'nothing'))
        finally:
            if browser is not None:
                kill_browser(browser)
            remove_policy()
            server.shutdown()
        if errors:
            with open(os.path.join(work, 'profile', 'stderr')) as f:
                # Without the complaints of a machine with no D-Bus.
                tail = ''.join(line for line in f if 'dbus' not in line)[-3000:]
            print('\n'.join(errors) + '\nChromium said:\n' + tail)
            return 1

    posts = server.posts
    if 'error' in posts:
        print('the page failed: ' + posts['error'])
        return 1
    page_text = posts.get('trace', '')
    held = re.search(r'^held (.*)$', posts['done'], re.M).group(1)
    page_path = re.search(r'open (\S+): ok', page_text)
    if page_path is None:
        print('the page opened no unit:\n' + page_text)
        return 1
    expected = trace_lines(cli_text, node)
    seen = [line for line in trace_lines(page_text, page_path.group(1)) if not line.startswith('result ')]
    reports = [line for line in expected if re.match(r'#\d+ [<>] ', line)]
    if seen != expected:
        errors.append('the page traced other steps than tavio-cli:\n' + '\n'.join(
            '%s %-70.70s | %.70s' % ('  ' if a == b else '!!', a, b)
            for a, b in zip(expected + [''] * len(seen), seen + [''] * len(expected)) if a or b))
    if not re.search(r'^result 92 code 0$', page_text, re.M):
        errors.append('the page did not read the 92-byte block: ' + page_text.splitlines()[-1])
    product = ' 7A3E:%s' % args.product
    if not any(line.endswith(product) for line in seen):
        errors.append('the page did not list the unit as %s' % product.strip())
    done = posts['done']
    expected_done = ('held %s\nquiet timeout after 200 ms or more\nwait failed ENODEV\nnotice 8004 5 %s\n'
                     % (held, held))
    if not held or done != expected_done:
        errors.append('after the unplug the page saw:\n%sinstead of:\n%s' % (done, expected_done))
    if errors:
        print('\n'.join(errors))
        return 1
    print('%d reports equal tavio-cli --trace; the unplug failed the pending read and came as a removal of %s'
          % (len(reports), held))
    return 0


def write_policy(origin):
    os.makedirs(POLICY_DIR, exist_ok=True)
    with open(POLICY_FILE, 'w') as f:
        json.dump({'WebHidAllowDevicesForUrls': [{'devices': [{'vendor_id': VENDOR}], 'urls': [origin]}]}, f)


def cli_run(args, *command):
    done = subprocess.run([args.cli, *command], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          timeout=60)
    if done.returncode != 0:
        raise RuntimeError('tavio-cli %s failed: %s' % (' '.join(command), done.stdout))
    return done.stdout


def exchanges(text):
    """The reports of a trace, one list per time the unit was opened."""
    runs = []
    for line in trace_lines(text, 'PATH'):
        if line.startswith('open '):
            runs.append([])
        elif re.match(r'#\d+ [<>] ', line) and runs:
            runs[-1].append(line)
    return runs


def store_part(exchanged):
    """The reports from the first lock request on, without exchange numbers."""
    bare = [re.sub(r'^#\d+ ', '', line) for line in exchanged]
    first = next((i for i, line in enumerate(bare) if line.startswith('> 01 0B ')), len(bare))
    return bare[first:]


def inner_page(args):
    """The page itself: it connects, reads, and stores a typed hold time."""
    from selenium import webdriver
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys

    hold_time, store = 2033, 2055
    with tempfile.TemporaryDirectory(prefix='tavio-webhid-page-') as work:
        def path(name):
            return os.path.join(work, name)
        # What the CLI does from the same start: read, the same edit, store.
        cli_run(args, '--trace', path('cli-read.txt'), 'read', path('before.bin'))
        cli_run(args, 'set', path('before.bin'), path('expected.bin'), 'hold_time_ms=1500')

        files = {}
        for folder, _, names in os.walk(args.site):
            for name in names:
                full = os.path.join(folder, name)
                files[os.path.relpath(full, args.site)] = full
        files[''] = files['index.html']
        server = Server(files, lambda: None)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        origin = 'http://localhost:%d' % server.server_address[1]
        driver = None
        driver_process = None
        page_trace = title = None
        problem = None
        try:
            write_policy(origin)
            port = server.server_address[1] + 1
            driver_process = subprocess.Popen(['chromedriver', '--port=%d' % port], stdout=subprocess.DEVNULL,
                                              stderr=subprocess.DEVNULL, start_new_session=True)
            options = webdriver.ChromeOptions()
            for arg in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                        '--window-size=1300,900', '--user-data-dir=' + path('profile')):
                options.add_argument(arg)
            made = {}

            def start():
                deadline = time.monotonic() + START_LIMIT_S
                while 'driver' not in made and time.monotonic() < deadline:
                    try:
                        made['driver'] = webdriver.Remote('http://127.0.0.1:%d' % port, options=options)
                    except Exception as error:  # chromedriver not listening yet
                        made['error'] = error
                        time.sleep(0.2)
            starter = threading.Thread(target=start, daemon=True)
            starter.start()
            starter.join(START_LIMIT_S + 5)
            if 'driver' not in made:
                raise RuntimeError('Chromium did not start within %d s: %s' % (START_LIMIT_S, made.get('error')))
            driver = made['driver']

            def wait_for(what, script):
                deadline = time.monotonic() + RESULT_LIMIT_S
                while not driver.execute_script(script):
                    if time.monotonic() > deadline:
                        raise RuntimeError('the page: waited %d s for %s' % (RESULT_LIMIT_S, what))
                    time.sleep(0.05)

            driver.get(origin + '/?trace=/tmp/trace.txt')
            wait_for('the connection', 'return TavioPage.idle() || document.querySelector("dialog.box[open]")')
            title = driver.title
            field = driver.find_element(By.CSS_SELECTOR, '#window [data-id="%d"]' % hold_time)
            field.click()
            field.send_keys(Keys.CONTROL, 'a')
            field.send_keys('1500')
            field.send_keys(Keys.TAB)
            wait_for('the typed hold time', 'return TavioPage.idle()')
            driver.find_element(By.CSS_SELECTOR, '#window [data-id="%d"]' % store).click()
            wait_for('the box after the store', 'return document.querySelector("dialog.box[open]")')
            box = driver.execute_script('return document.querySelector("dialog.box[open] p").textContent')
            driver.find_element(By.CSS_SELECTOR, 'dialog.box[open] button').click()
            wait_for('the page to be idle', 'return TavioPage.idle()')
            page_trace = driver.execute_script("return Module.FS.readFile('/tmp/trace.txt', {encoding: 'utf8'})")
        except Exception as error:
            problem = str(error).splitlines()[0]
            if driver is not None:
                problem += '\nthe browser said:\n' + '\n'.join(e['message'] for e in driver.get_log('browser'))
                problem += '\nat %s:\n%s' % (driver.current_url, driver.page_source[:300])
        finally:
            if driver_process is not None:
                try:
                    os.killpg(driver_process.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                driver_process.wait()
            remove_policy()
            server.shutdown()
        if problem:
            print('the page: ' + problem)
            return 1

        cli_run(args, '--trace', path('cli-check.txt'), 'read', path('after.bin'))
        with open(path('cli-read.txt')) as f:
            cli_reads = exchanges(f.read())
        # The CLI's store of the same image, now that the unit holds it.
        cli_run(args, '--trace', path('cli-write.txt'), 'write', path('expected.bin'))
        with open(path('cli-write.txt')) as f:
            cli_writes = exchanges(f.read())
        with open(path('after.bin'), 'rb') as a, open(path('expected.bin'), 'rb') as b:
            stored, expected = a.read(), b.read()

    errors = []
    expected_title = 'TAVIO (Version 01.02.00): Connected with BRENTA 160'
    if title != expected_title:
        errors.append('the title was %r' % title)
    if stored != expected:
        errors.append('the ESC holds %s instead of %s' % (stored.hex(), expected.hex()))
    page_runs = exchanges(page_trace)
    if len(page_runs) != 1:
        errors.append('the page opened the unit %d times:\n%s' % (len(page_runs), page_trace))
    elif page_runs[0][:len(cli_reads[0])] != cli_reads[0]:
        errors.append('the page read otherwise than tavio-cli:\n' + '\n'.join(page_runs[0][:len(cli_reads[0])]))
    else:
        # The store, from the lock on, against the CLI's write of the same
        # image; the CLI reads the block once more before it (its backup), so
        # the exchanges are compared without their numbers.
        page_store = store_part(page_runs[0])
        cli_store = store_part(cli_writes[0])
        if not page_store:
            errors.append('the page stored nothing:\n' + page_trace)
        elif page_store != cli_store:
            errors.append('the page stored otherwise than tavio-cli:\n' + '\n'.join(
                '%s %-60.60s | %.60s' % ('  ' if a == b else '!!', a, b)
                for a, b in zip(cli_store + [''] * len(page_store), page_store + [''] * len(cli_store)) if a or b))
    if errors:
        print('\n'.join(errors))
        return 1
    print('the page: %d reports of the readout and %d of the store equal tavio-cli --trace; the ESC holds the'
          ' CLI\'s image; the page said "%s"' % (len(cli_reads[0]), len(page_store), box))
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--inner', action='store_true')
    parser.add_argument('--cli', required=True)
    parser.add_argument('--probe', required=True)
    parser.add_argument('--mock-unit')
    parser.add_argument('--preload')
    parser.add_argument('--product')
    parser.add_argument('--site')
    args = parser.parse_args()
    if args.inner:
        # The page first: the probe ends by pulling the unit out.
        return (inner_page(args) if args.site else 0) or inner(args)
    if os.geteuid() != 0:
        print('SKIPPED: the managed policy under %s needs root' % POLICY_DIR)
        return 77
    return outer(args)


if __name__ == '__main__':
    sys.exit(main())
