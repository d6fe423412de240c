#!/usr/bin/python3
"""How the page copes with a plant: first paint and the delay of a change.

Usage: page_scale.py FLEET_SCALE CAMEXPERT [--nodes N] [--items M] [--loads L] [--changes K]

fleet_scale --hold (host/soak, release build) keeps a plant of N controllers
with M items each on a mosquitto of its own; `camexpert serve --broker`
reads it, and headless Chromium opens the page. Measured in the browser:
  - first paint: from the start of the navigation until the frame after the
    one that drew every item row (the median of L loads), with when the
    whole picture (the stream's first event) arrived;
  - change: from writing a change to fleet_scale (item cam3 of one
    controller gets another address) until the page's cell shows it and the
    next frame was drawn, with the controller's section on screen (median
    and maximum of K changes).
Times in ms. Not a test: run it by hand.
"""

import argparse
import json
import re
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.request
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from page_tests import start_browser, wait_for  # noqa: E402

# Runs in the page before its own script: notes when the stream's first event
# came, and the first frame that begins with every item row in the document
# (the one after the frame that drew them). Checked once a frame, so the
# probe adds nothing to the page's own work.
PROBE = """
window.scaleProbe = {};
const probe = window.scaleProbe;
const Stream = window.EventSource;
window.EventSource = function (url, settings) {
  const source = new Stream(url, settings);
  source.addEventListener('message', (message) => {
    if (probe.pictureMs === undefined) {
      probe.pictureMs = performance.now();
      probe.pictureBytes = message.data.length;
    }
  });
  return source;
};
Object.assign(window.EventSource, {CONNECTING: 0, OPEN: 1, CLOSED: 2});
window.EventSource.prototype = Stream.prototype;
const rows = document.getElementsByTagName('tr');
const check = () => {
  if (rows.length >= EXPECTED_ROWS) {
    probe.paintedMs = performance.now();
  } else {
    requestAnimationFrame(check);
  }
};
requestAnimationFrame(check);
"""

# Brings a node's section on screen and watches its cell until it shows a
# text: the epoch time in ms of the text and of the frame after it. Returns
# once the section is drawn.
WATCH = """
const [node, text, drawn] = arguments;
const section = [...document.querySelectorAll('#nodes section.node')]
    .find((shown) => shown.dataset.node === node);
section.scrollIntoView();
const cell = section.querySelector('tr[data-item="cam3"] td.address');
const probe = window.scaleProbe;
probe.changeMs = undefined;
probe.changePaintedMs = undefined;
new MutationObserver((records, observer) => {
  if (cell.textContent === text) {
    probe.changeMs = performance.timeOrigin + performance.now();
    observer.disconnect();
    requestAnimationFrame(() => setTimeout(() => {
      probe.changePaintedMs = performance.timeOrigin + performance.now();
    }, 0));
  }
}).observe(cell, {childList: true, characterData: true, subtree: true});
requestAnimationFrame(() => setTimeout(drawn, 0));
"""


def rss_mb(pid):
    status = Path('/proc/%d/status' % pid).read_text()
    return int(re.search(r'VmRSS:\s+(\d+)', status).group(1)) / 1024


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('fleet_scale')
    parser.add_argument('camexpert')
    parser.add_argument('--nodes', type=int, default=1000)
    parser.add_argument('--items', type=int, default=10)
    parser.add_argument('--loads', type=int, default=5)
    parser.add_argument('--changes', type=int, default=20)
    arguments = parser.parse_args()
    folder = Path(tempfile.mkdtemp(prefix='page_scale.'))

    plant = subprocess.Popen([arguments.fleet_scale, '--nodes', str(arguments.nodes), '--items',
                              str(arguments.items), '--hold'],
                             stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    server = browser = None
    try:
        line = plant.stdout.readline()
        port = re.search(r'127\.0\.0\.1:(\d+)', line).group(1)
        log = folder / 'serve.log'
        server = subprocess.Popen([arguments.camexpert, 'serve', '--broker', '127.0.0.1:' + port,
                                   '--listen', '127.0.0.1:0'],
                                  stdout=subprocess.DEVNULL, stderr=open(log, 'wb'))
        url = wait_for(lambda: re.search(r'Serving (http://\S+/)', log.read_text()), 60,
                       'the server').group(1)

        def whole():
            with urllib.request.urlopen(url + 'api/nodes') as answer:
                return len(json.load(answer)['nodes']) == arguments.nodes
        wait_for(whole, 60, 'the whole plant at the server')

        browser = start_browser(folder)
        rows = arguments.nodes * (arguments.items + 1)  # and each node's header row
        browser.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument',
                                {'source': PROBE.replace('EXPECTED_ROWS', str(rows))})

        loads = []
        for _ in range(arguments.loads):
            browser.get(url)
            loads.append(wait_for(
                lambda: browser.execute_script(
                    'return window.scaleProbe.paintedMs && window.scaleProbe'), 120,
                'every row'))
        memory = browser.execute_script(
            'return [performance.memory.usedJSHeapSize, document.getElementsByTagName("*").length]')

        changes = []
        for change in range(arguments.changes):
            node = 'ctl%05d' % ((change * 7919) % arguments.nodes)
            address = '10.9.%d.%d' % (change // 250, change % 250 + 2)
            browser.execute_async_script(WATCH, node, address)
            start = time.time() * 1000
            plant.stdin.write('%d %s\n' % ((change * 7919) % arguments.nodes, address))
            plant.stdin.flush()
            done = wait_for(lambda: browser.execute_script(
                'return window.scaleProbe.changePaintedMs && window.scaleProbe'), 30,
                'the change of %s' % node)
            changes.append((done['changeMs'] - start, done['changePaintedMs'] - start))

        print('%d nodes x %d items; times in ms from %d loads and %d changes' %
              (arguments.nodes, arguments.items, arguments.loads, arguments.changes))
        print('%-34s %7.0f median' % ('whole picture in (%.1f MB)' % (
            loads[-1]['pictureBytes'] / 1e6), statistics.median(
                load['pictureMs'] for load in loads)))
        painted = [load['paintedMs'] for load in loads]
        print('%-34s %7.0f median, %.0f to %.0f' % (
            'first paint of the whole list', statistics.median(painted), min(painted),
            max(painted)))
        for label, which in (('change in its cell', 0), ('change painted', 1)):
            delays = [change[which] for change in changes]
            print('%-34s %7.1f median, %.1f at most' % (label, statistics.median(delays),
                                                         max(delays)))
        print('page: %.0f MB of JavaScript heap, %d elements; server RSS %.0f MB' % (
            memory[0] / 2**20, memory[1], rss_mb(server.pid)))
    finally:
        if browser:
            browser.quit()
        if server:
            server.terminate()
            server.wait()
        plant.stdin.close()
        plant.wait()


if __name__ == '__main__':
    main()
