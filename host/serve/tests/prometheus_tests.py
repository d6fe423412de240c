#!/usr/bin/python3
"""camexpert serve's /metrics as Prometheus reads it.

Usage: prometheus_tests.py CAMEXPERT FOLDER [unittest arguments]

Each case has a bench of its own in FOLDER/<case> (the browser tests' Bench:
a mosquitto on 127.0.0.1, a publisher of the simulated driver's default
scenario, `camexpert serve --broker` on a free port), where the logs stay.
The first adds a Prometheus of its own scraping serve every second; nothing
here asks a Prometheus or broker the machine may run as a service. Exits 77
(a skip for CTest) when mosquitto, Prometheus or promtool is missing.
"""

import json
import os
import shutil
import signal
import subprocess
import sys
import unittest
import urllib.parse
import urllib.request
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from page_tests import (DEFAULT_SCENARIO, MOSQUITTO, SKIPPED, START_SECONDS, Bench,  # noqa: E402
                        free_port, wait_for)

PROMETHEUS = '/usr/bin/prometheus'
PROMTOOL = '/usr/bin/promtool'

# Only the loopback: no proxy from the environment is ever asked.
LOOPBACK = urllib.request.build_opener(urllib.request.ProxyHandler({}))


def fetch(url):
    with LOOPBACK.open(url, timeout=5) as answer:
        return answer.read().decode()


class FleetCase(unittest.TestCase):
    """A bench with one publisher and serve, in the case's own folder."""

    def setUp(self):
        self.folder = Path(sys.argv[2]).resolve() / self._testMethodName
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir(parents=True)
        self.bench = Bench(sys.argv[1], self.folder)
        self.addCleanup(self.bench.stop)

    def start_fleet(self, node):
        """The publisher of NODE and serve's address."""
        self.publisher = self.bench.publish(node, DEFAULT_SCENARIO.read_text())
        return self.bench.serve()[1]

    def kill_publisher(self):
        self.publisher.process.send_signal(signal.SIGKILL)
        self.publisher.process.wait()

    def logs(self):
        """The end of every log of the case, for a failure's message."""
        return '\n'.join('--- %s\n%s' % (log.name, ''.join(
            log.read_text(errors='replace').splitlines(True)[-20:]))
            for log in sorted(self.folder.glob('*.log')))


class PrometheusTests(FleetCase):

    def start_prometheus(self, target):
        """A Prometheus scraping TARGET (host:port) every second."""
        config = self.folder / 'prometheus.yml'
        config.write_text('global:\n'
                          '  scrape_interval: 1s\n'
                          '  evaluation_interval: 1s\n'
                          'scrape_configs:\n'
                          '  - job_name: camexpert\n'
                          '    static_configs:\n'
                          "      - targets: ['%s']\n" % target)
        port = free_port()
        self.bench.start('prometheus', [
            PROMETHEUS, '--config.file=%s' % config,
            '--storage.tsdb.path=%s' % (self.folder / 'prometheus-data'),
            '--web.listen-address=127.0.0.1:%d' % port])
        self.prometheus = 'http://127.0.0.1:%d' % port
        self.wait(self.prometheus_ready, 'Prometheus to be ready')

    def prometheus_ready(self):
        try:
            fetch(self.prometheus + '/-/ready')
            return True
        except OSError:
            return False

    def wait(self, condition, what):
        try:
            return wait_for(condition, START_SECONDS, what)
        except AssertionError as failure:
            raise AssertionError('%s\n%s' % (failure, self.logs())) from None

    def query(self, promql):
        """The instant vector PROMQL gives now, as {((label, value)...): number}."""
        answer = json.loads(fetch(self.prometheus + '/api/v1/query?' +
                                  urllib.parse.urlencode({'query': promql})))
        self.assertEqual(answer['status'], 'success', answer)
        return {tuple(sorted(series['metric'].items())): float(series['value'][1])
                for series in answer['data']['result']}

    def wait_for_query(self, promql, expected):
        answers = []
        try:
            self.wait(lambda: answers.append(self.query(promql)) or answers[-1] == expected,
                      '%s = %s' % (promql, expected))
        except AssertionError as failure:
            raise AssertionError('%s\nlast answer: %s\ntargets: %s' % (
                failure, answers[-1:], fetch(self.prometheus + '/api/v1/targets'))) from None

    def test_fleet_counts_and_a_killed_publisher(self):
        serve = self.start_fleet('cell1')
        self.start_prometheus(urllib.parse.urlsplit(serve).netloc)

        self.wait_for_query('sum(camexpert_node_items)', {(): 11.0})
        self.assertEqual(self.query('sum by (kind) (camexpert_node_items)'),
                         {(('kind', 'camera'),): 9.0, (('kind', 'grabber'),): 2.0})
        self.wait_for_query('sum by (node) (camexpert_node_up)', {(('node', 'cell1'),): 1.0})

        self.kill_publisher()
        self.wait_for_query('sum by (node) (camexpert_node_up)', {(('node', 'cell1'),): 0.0})


class MetricsTextTests(FleetCase):

    def check_metrics(self, text):
        checked = subprocess.run([PROMTOOL, 'check', 'metrics'], input=text, text=True,
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.assertEqual((checked.returncode, checked.stdout), (0, ''),
                         'promtool check metrics on:\n' + text)

    def test_promtool_finds_nothing(self):
        # Quotes and a backslash in the node name: label values the text
        # format must escape.
        node = 'cell "2" \\ east'
        escaped = node.replace('\\', '\\\\').replace('"', '\\"')
        metrics = self.start_fleet(node) + 'metrics'

        def text_with_up(value):
            text = fetch(metrics)
            return 'camexpert_node_up{node="%s"} %d\n' % (escaped, value) in text and text

        self.check_metrics(wait_for(lambda: text_with_up(1), START_SECONDS, 'the node up'))
        self.kill_publisher()
        self.check_metrics(wait_for(lambda: text_with_up(0), START_SECONDS, 'the node down'))


if __name__ == '__main__':
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    lacking = [program for program in (MOSQUITTO, PROMETHEUS, PROMTOOL)
               if not os.access(program, os.X_OK)]
    if lacking:
        print('skipped: %s is not installed (Debian packages mosquitto, prometheus)'
              % ', '.join(lacking))
        sys.exit(SKIPPED)
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)
