#!/usr/bin/python3
"""camexpert serve's page in headless Chromium, driven by Selenium.

Usage: page_tests.py CAMEXPERT FOLDER

Starts a mosquitto of its own on 127.0.0.1, publishers of the simulated
driver with scenarios in FOLDER (the default one, which cases edit, and one
of hostile texts; cases start more), and `camexpert serve --broker` on a
free port; every case uses one browser. A screenshot of each page a case
looks at is saved in FOLDER/screenshots. Exits 77 (a skip for CTest) when
Chromium, its WebDriver, Selenium or mosquitto is missing.
"""

import base64
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import time
import unittest
from pathlib import Path

SKIPPED = 77
CHROMIUM = '/usr/bin/chromium'
CHROMEDRIVER = '/usr/bin/chromedriver'
MOSQUITTO = '/usr/sbin/mosquitto'
SOURCE = Path(__file__).resolve().parents[3]
DEFAULT_SCENARIO = SOURCE / 'simdriver' / 'scenarios' / 'default.json'

# A publisher's picture, the server's and the page's follow a scenario edit
# within this.
LIVE_SECONDS = 3
# Starting a publisher and the server, and their first picture.
START_SECONDS = 60

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import Select
except ImportError:
    webdriver = None

# Cameras whose texts are markup, script and controls. The page must show
# them as list prints them, and run none of it.
HOSTILE_SCENARIO = {
    'cameras': [
        {'bus': 'USB3', 'interface': 'usb-img', 'serial': '1',
         'vendor': '<img src=x onerror="window.pwned=\'vendor\'">', 'model': 'M1'},
        {'bus': 'USB3', 'interface': 'usb-script', 'serial': '2', 'vendor': 'Acme',
         'model': '</script><script>window.pwned=\'model\'</script>'},
        {'bus': 'ipv4', 'interface': '<svg onload="window.pwned=\'name\'">', 'serial': '3',
         'vendor': '"quoted" & \'single\' \u001b[31m\u202eevil', 'model': 'x&amp;y',
         'ipAddress': '10.1.1.1', 'subnetMask': '255.0.0.0'},
        {'bus': 'UVC ', 'interface': 'usb/1 %41?#', 'serial': '4', 'vendor': 'Lumora',
         'model': 'a/b'},
    ]
}

# The page's filter fields and the list arguments that filter the same way.
FILTERS = [
    ({'filter-name': 'clfg0*', 'filter-kind': 'camera'}, ['clfg0*', '--kind', 'camera']),
    ({'filter-name': 'GEV* Uvc?'}, ['GEV*', 'Uvc?']),
    ({'filter-name': 'usb3-?.? CLFG0\\:*'}, ['usb3-?.?', 'CLFG0\\:*']),
    ({'filter-name': '[cs]*', 'filter-bus': 'PCIe'}, ['[cs]*', '--bus', 'PCIe']),
    ({'filter-bus': 'USB'}, ['--bus', 'USB']),
    ({'filter-kind': 'grabber'}, ['--kind', 'grabber']),
    ({'filter-name': 'nothing*'}, ['nothing*']),
]

# Items whose page is compared with show: (node, item).
ITEM_PAGES = [
    ('bench', 'usb3-1.2'),
    ('bench', 'clfg0'),
    ('bench', 'clfg0::1'),
    ('hostile', '<svg onload="window.pwned=\'name\'">'),
    ('hostile', 'usb/1 %41?#'),
]

# The rows of a node's section: the texts of every shown item row's cells.
ROWS_SCRIPT = """
const section = [...document.querySelectorAll('#nodes section.node')]
    .find((shown) => shown.dataset.node === arguments[0]);
if (!section || section.hidden) return null;
return [...section.querySelectorAll('tr[data-item]')].filter((row) => !row.hidden)
    .map((row) => [...row.cells].map((cell) => cell.textContent));
"""

HEAD_SCRIPT = """
const section = [...document.querySelectorAll('#nodes section.node')]
    .find((shown) => shown.dataset.node === arguments[0]);
if (!section) return null;
const state = section.querySelector('.state');
const reason = section.querySelector('.reason');
return {heading: section.querySelector('h2').textContent, state: state.textContent,
        stateClass: state.className, seen: section.querySelector('.seen').textContent,
        reason: reason.hidden ? '' : reason.textContent};
"""


def free_port():
    with socket.socket() as probe:
        probe.bind(('127.0.0.1', 0))
        return probe.getsockname()[1]


def wait_for(condition, seconds, what):
    """The condition's first true value, polled until the time is up."""
    end = time.monotonic() + seconds
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError('waited %g s for %s' % (seconds, what))
        time.sleep(0.05)


class Program:
    """A program with its output in a file of the bench's folder."""

    def __init__(self, folder, name, arguments):
        self.log = folder / (name + '.log')
        with open(self.log, 'wb') as log:
            self.process = subprocess.Popen(arguments, stdin=subprocess.DEVNULL, stdout=log,
                                            stderr=subprocess.STDOUT)

    def line(self, pattern, seconds):
        """The first match of pattern in the output, waiting for it."""
        def found():
            match = re.search(pattern, self.log.read_text(errors='replace'))
            if not match and self.process.poll() is not None:
                raise AssertionError('%s ended: %s' % (self.log.name, self.log.read_text()))
            return match
        return wait_for(found, seconds, '%s in %s' % (pattern, self.log.name))

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class Bench:
    """The broker, the publishers and the server, with their files in one folder."""

    def __init__(self, camexpert, folder):
        self.camexpert = camexpert
        self.folder = folder
        self.programs = []
        (folder / 'fast.ini').write_text('[VYREX]\nSystemapiExpertCameraListRefreshTimeInSec=1\n')
        self.broker_port = free_port()
        (folder / 'mosquitto.conf').write_text(
            'user root\nlistener %d 127.0.0.1\nallow_anonymous true\npersistence false\n'
            % self.broker_port)
        self.start('mosquitto', [MOSQUITTO, '-c', str(folder / 'mosquitto.conf')])
        wait_for(lambda: self.accepts(self.broker_port), START_SECONDS, 'mosquitto to listen')

    @staticmethod
    def accepts(port):
        with socket.socket() as probe:
            return probe.connect_ex(('127.0.0.1', port)) == 0

    def start(self, name, arguments):
        program = Program(self.folder, name, arguments)
        self.programs.append(program)
        return program

    def scenario(self, node):
        return self.folder / (node + '.json')

    def write_scenario(self, node, text):
        """Written beside and renamed over, so the driver never reads half of it."""
        draft = self.folder / (node + '.json.new')
        draft.write_text(text)
        os.replace(draft, self.scenario(node))

    def publish(self, node, scenario_text):
        self.write_scenario(node, scenario_text)
        return self.start('publish-' + node, [
            self.camexpert, '--ini', str(self.folder / 'fast.ini'), '--scenario',
            str(self.scenario(node)), 'publish', '--broker', '127.0.0.1:%d' % self.broker_port,
            '--node', node])

    def serve(self, name='serve', port=0):
        """The server and the address of its page."""
        server = self.start(name, [self.camexpert, 'serve', '--broker',
                                   '127.0.0.1:%d' % self.broker_port, '--listen',
                                   '127.0.0.1:%d' % port])
        match = server.line(r'camexpert: Serving (http://127\.0\.0\.1:\d+/)', START_SECONDS)
        return server, match.group(1)

    def camexpert_output(self, node, arguments):
        """camexpert's output for the scenario a node publishes."""
        return subprocess.run(
            [self.camexpert, '--ini', str(self.folder / 'fast.ini'), '--scenario',
             str(self.scenario(node))] + arguments, check=True, capture_output=True,
            text=True).stdout

    def list_rows(self, node, arguments=()):
        """The rows list prints, as lists of its column texts."""
        lines = self.camexpert_output(node, ['list', '--no-header'] + list(arguments))
        return [re.split(r'\s{2,}', line.rstrip(), maxsplit=6)
                for line in lines.split('\n\n')[0].splitlines() if line.strip()]

    def stop(self):
        for program in reversed(self.programs):
            program.stop()


def start_browser(folder):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
                     '--no-first-run', '--disable-background-networking',
                     '--disable-component-update', '--disable-sync', '--window-size=1280,1000',
                     '--user-data-dir=%s' % (folder / 'chromium-profile')]:
        options.add_argument(argument)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    service = Service(CHROMEDRIVER, log_path=str(folder / 'chromedriver.log'))
    return webdriver.Chrome(service=service, options=options)


class PageTests(unittest.TestCase):
    bench = None
    browser = None
    server = None
    url = None
    shots = None

    @classmethod
    def setUpClass(cls):
        folder = Path(sys.argv[2]).resolve()
        shutil.rmtree(folder, ignore_errors=True)
        cls.shots = folder / 'screenshots'
        cls.shots.mkdir(parents=True)
        cls.bench = Bench(sys.argv[1], folder)
        try:
            cls.bench.publish('bench', DEFAULT_SCENARIO.read_text())
            cls.bench.publish('hostile', json.dumps(HOSTILE_SCENARIO))
            cls.server, cls.url = cls.bench.serve()
            cls.browser = start_browser(folder)
        except BaseException:
            cls.bench.stop()
            raise

    @classmethod
    def tearDownClass(cls):
        if cls.browser:
            cls.browser.quit()
        cls.bench.stop()
        print('\nScreenshots of the pages: %s' % cls.shots, file=sys.stderr)

    # --- What the page shows ---------------------------------------------------

    def open(self, path='/'):
        self.browser.get(self.url.rstrip('/') + path)

    def rows(self, node):
        return self.browser.execute_script(ROWS_SCRIPT, node)

    def wait_for_rows(self, node, expected, seconds=START_SECONDS):
        try:
            wait_for(lambda: self.rows(node) == expected, seconds, 'the rows of %s' % node)
        except AssertionError:
            self.assertEqual(self.rows(node), expected)
            raise

    def bench_scenario(self):
        """The bench's scenario as it is now, without its comments."""
        return json.loads(re.sub(r'(?m)^\s*//.*$', '', self.bench.scenario('bench').read_text()))

    def wait_for_properties(self, node, name, seconds=START_SECONDS):
        """Until the item page's table is show's, as rows of tag, label, type and value."""
        table = self.bench.camexpert_output(node, ['show', name]).split('\n\n', 1)[1]
        lines = table.splitlines()
        self.assertTrue(lines[0].startswith('TAG'))
        expected = [re.split(r'\s{2,}', line.rstrip(), maxsplit=3) for line in lines[1:]]

        def properties():
            return self.browser.execute_script(
                "return [...document.querySelectorAll('#item tbody tr')]"
                ".map((row) => [...row.cells].map((cell) => cell.textContent))")
        try:
            wait_for(lambda: properties() == expected, seconds, 'the properties of ' + name)
        except AssertionError:
            self.assertEqual(properties(), expected)
            raise

    def screenshot(self, name):
        """The whole page, as tall as it is, for a person to look at."""
        width, height = self.browser.execute_script(
            'return [document.documentElement.scrollWidth, document.documentElement.scrollHeight]')
        shot = self.browser.execute_cdp_cmd('Page.captureScreenshot', {
            'format': 'png', 'captureBeyondViewport': True,
            'clip': {'x': 0, 'y': 0, 'width': width, 'height': height, 'scale': 1}})
        (self.shots / name).write_bytes(base64.b64decode(shot['data']))

    def policy_violations(self):
        return [entry['message'] for entry in self.browser.get_log('browser')
                if 'Content Security Policy' in entry['message']]

    # --- Cases ------------------------------------------------------------------

    def test_list_shows_the_default_scenario(self):
        self.open()
        expected = self.bench.list_rows('bench')
        self.assertEqual(len(expected), 11)
        self.wait_for_rows('bench', expected)
        head = self.browser.execute_script(HEAD_SCRIPT, 'bench')
        self.assertEqual(head['heading'], 'bench')
        self.assertEqual(head['state'], 'online')
        self.assertIn('state-online', head['stateClass'].split())
        self.assertRegex(head['seen'], r'^\d+ s ago$')
        self.assertEqual(self.browser.find_element(By.ID, 'connection').text, 'live')
        headers = [cell.text for cell in self.browser.find_elements(
            By.CSS_SELECTOR, 'section[data-node="bench"] thead th[scope="col"]')]
        self.assertEqual(headers, ['NAME', 'KIND', 'BUS', 'VENDOR', 'MODEL', 'SERIAL', 'ADDRESS'])
        link = self.browser.find_element(By.CSS_SELECTOR,
                                         'section[data-node="bench"] tr[data-item="clfg0::0"] a')
        self.assertEqual(link.get_attribute('href'), self.url + 'nodes/bench/items/clfg0%3A%3A0')
        self.screenshot('list.png')
        self.assertEqual(self.policy_violations(), [])

    def test_error_state_shows_its_reason(self):
        self.open()
        publisher = self.bench.publish('broken', '{"cameras": [')
        self.addCleanup(publisher.stop)

        def head(state):
            shown = self.browser.execute_script(HEAD_SCRIPT, 'broken')
            return shown if shown and shown['state'] == state else None
        shown = wait_for(lambda: head('error'), START_SECONDS, 'the node in error')
        self.assertIn('state-error', shown['stateClass'].split())
        self.assertIn(str(self.bench.scenario('broken')), shown['reason'])
        self.screenshot('list-error.png')
        self.bench.write_scenario('broken', DEFAULT_SCENARIO.read_text())
        shown = wait_for(lambda: head('online'), START_SECONDS, 'the node online once mended')
        self.assertEqual(shown['reason'], '')
        self.wait_for_rows('broken', self.bench.list_rows('broken'))

    def test_filters_narrow_as_list_does(self):
        for number, (fields, arguments) in enumerate(FILTERS):
            with self.subTest(arguments=arguments):
                self.open()
                self.wait_for_rows('bench', self.bench.list_rows('bench'))
                self.browser.find_element(By.ID, 'filter-node').send_keys('BEN?H')
                for field, value in fields.items():
                    element = self.browser.find_element(By.ID, field)
                    if element.tag_name == 'select':
                        Select(element).select_by_value(value)
                    else:
                        element.send_keys(value)
                expected = self.bench.list_rows('bench', arguments)
                self.wait_for_rows('bench', expected or None, 5)
                self.assertEqual(self.browser.find_element(By.ID, 'no-match').is_displayed(),
                                 not expected)
                self.screenshot('list-filtered-%d.png' % number)

    def test_scenario_edit_shows_without_reload(self):
        self.open()
        self.wait_for_rows('bench', self.bench.list_rows('bench'))
        self.browser.execute_script('window.sameDocument = true')
        self.addCleanup(self.bench.write_scenario, 'bench', DEFAULT_SCENARIO.read_text())
        scenario = self.bench_scenario()
        cameras = scenario['cameras']
        next(camera for camera in cameras
             if camera['interface'] == 'gev0-cam0')['ipAddress'] = '192.168.10.42'
        scenario['cameras'] = [camera for camera in cameras if camera['interface'] != 'uvc0']
        scenario['cameras'].append({'bus': 'USB3', 'interface': 'usb3-2.4', 'vendor': 'Kroneth',
                                    'model': 'KR U3-2048M', 'serial': '2E3F2004'})
        self.bench.write_scenario('bench', json.dumps(scenario))
        expected = self.bench.list_rows('bench')
        self.wait_for_rows('bench', expected, LIVE_SECONDS)
        changed = self.browser.find_element(
            By.CSS_SELECTOR, 'section[data-node="bench"] tr[data-item="gev0-cam0"] td.address')
        self.assertEqual(changed.text, '192.168.10.42')
        self.assertIn('changed', changed.get_attribute('class').split())
        self.assertTrue(self.browser.execute_script('return window.sameDocument === true'))
        self.screenshot('list-edited.png')

    def test_second_publisher_appears(self):
        self.open()
        self.wait_for_rows('bench', self.bench.list_rows('bench'))
        self.browser.execute_script('window.sameDocument = true')
        publisher = self.bench.publish('other', DEFAULT_SCENARIO.read_text())
        self.addCleanup(publisher.stop)
        self.wait_for_rows('other', self.bench.list_rows('other'))
        head = self.browser.execute_script(HEAD_SCRIPT, 'other')
        self.assertEqual(head['state'], 'online')
        names = self.browser.execute_script(
            "return [...document.querySelectorAll('#nodes section.node')]"
            ".map((section) => section.dataset.node)")
        self.assertEqual(names, sorted(names))
        self.assertTrue(self.browser.execute_script('return window.sameDocument === true'))
        self.screenshot('list-second-publisher.png')

    def test_page_reconciles_after_the_server_restarts(self):
        self.open()
        self.wait_for_rows('bench', self.bench.list_rows('bench'))
        self.browser.execute_script(
            "window.kept = document.querySelector('section[data-node=\"bench\"] tr[data-item]')")
        self.server.stop()
        wait_for(lambda: self.browser.find_element(By.ID, 'connection').text == 'lost',
                 START_SECONDS, 'the page to see the server gone')
        port = int(re.search(r':(\d+)/$', self.url).group(1))
        type(self).server, _ = self.bench.serve('serve-again', port)
        wait_for(lambda: self.browser.find_element(By.ID, 'connection').text == 'live',
                 START_SECONDS, 'the page to reconnect')
        self.wait_for_rows('bench', self.bench.list_rows('bench'))
        self.assertTrue(self.browser.execute_script(
            "return window.kept === document.querySelector("
            "'section[data-node=\"bench\"] tr[data-item]')"))

    def test_item_page_follows_its_item(self):
        self.open('/nodes/bench/items/sim0')
        self.wait_for_properties('bench', 'sim0')
        self.browser.execute_script('window.sameDocument = true')
        self.addCleanup(self.bench.write_scenario, 'bench', DEFAULT_SCENARIO.read_text())
        scenario = self.bench_scenario()
        next(camera for camera in scenario['cameras']
             if camera['interface'] == 'sim0')['model'] = 'KR SimCam 2'
        self.bench.write_scenario('bench', json.dumps(scenario))
        self.wait_for_properties('bench', 'sim0', LIVE_SECONDS)
        model = self.browser.find_element(By.CSS_SELECTOR, '#item tr[data-tag="0x01006000"] td.value')
        self.assertEqual(model.text, 'KR SimCam 2')
        self.assertIn('changed', model.get_attribute('class').split())
        scenario['cameras'] = [camera for camera in scenario['cameras']
                               if camera['interface'] != 'sim0']
        self.bench.write_scenario('bench', json.dumps(scenario))
        notice = self.browser.find_element(By.ID, 'item-notice')
        wait_for(notice.is_displayed, LIVE_SECONDS, 'the notice of the removal')
        self.assertIn('removed', notice.text)
        self.assertTrue(self.browser.execute_script('return window.sameDocument === true'))
        self.screenshot('item-removed.png')

    def test_hostile_texts_are_shown_as_text(self):
        self.open()
        expected = self.bench.list_rows('hostile')
        self.wait_for_rows('hostile', expected)
        cells = [cell for row in self.rows('hostile') for cell in row]
        for camera in HOSTILE_SCENARIO['cameras']:
            for field in ('interface', 'vendor', 'model'):
                with self.subTest(field=field, text=camera[field]):
                    shown = camera[field].replace('\u001b', '\\x1b').replace('\u202e', '\\u202e')
                    self.assertIn(shown, cells)
        self.assertIsNone(self.browser.execute_script('return window.pwned'))
        for tag in ('img', 'svg', 'script:not([src="/app.js"])'):
            self.assertEqual(self.browser.find_elements(By.CSS_SELECTOR, tag), [], tag)
        self.screenshot('list-hostile.png')
        self.assertEqual(self.policy_violations(), [])

    def test_item_page_shows_every_property_as_show_does(self):
        for node, name in ITEM_PAGES:
            with self.subTest(node=node, name=name):
                title = self.bench.camexpert_output(node, ['show', name]).split('\n', 1)[0]
                self.open('/nodes/%s/items/%s' % (node, re.sub(
                    r'[^A-Za-z0-9_.~-]', lambda c: '%%%02X' % ord(c.group()), name)))
                self.wait_for_properties(node, name)
                self.assertEqual(self.browser.find_element(By.ID, 'item-title').text, name)
                self.assertTrue(self.browser.find_element(By.ID, 'item-summary').text.startswith(
                    title.split(': ', 1)[1]))
                self.assertIsNone(self.browser.execute_script('return window.pwned'))
                self.screenshot('item-%s-%s.png' % (node, re.sub(r'[^A-Za-z0-9.-]', '_', name)))


def missing():
    if webdriver is None:
        return 'Selenium (python3-selenium)'
    for program, package in ((CHROMIUM, 'chromium'), (CHROMEDRIVER, 'chromium-driver'),
                             (MOSQUITTO, 'mosquitto')):
        if not os.access(program, os.X_OK):
            return '%s (%s)' % (program, package)
    return None


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    lacking = missing()
    if lacking:
        print('skipped: %s is not installed' % lacking)
        sys.exit(SKIPPED)
    result = unittest.main(argv=sys.argv[:1], exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
