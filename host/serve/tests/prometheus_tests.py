"""camexpert serve's /metrics as Prometheus reads it.

Each test starts its own mosquitto, a `camexpert publish` of the simulated
driver's default devices and a `camexpert serve --broker` on 127.0.0.1, with
ports and a folder of its own; the first adds a Prometheus of its own that
scrapes serve every second. Nothing here asks a Prometheus or broker the
machine may run as a service.

Usage: prometheus_tests.py --camexpert PROGRAM --folder DIR [unittest arguments]
Exit status 77 (skipped) where mosquitto, Prometheus or promtool is missing.
"""

import argparse
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import time
import unittest
import urllib.parse
import urllib.request

MOSQUITTO = "/usr/sbin/mosquitto"
PROMETHEUS = "/usr/bin/prometheus"
PROMTOOL = "/usr/bin/promtool"
# Generous for the sanitizer builds; every wait ends as soon as its
# condition holds.
DEADLINE_SECONDS = 60
SERVING_LINE = re.compile(r"camexpert: Serving http://127\.0\.0\.1:(\d+)/")

# Set from the command line in main().
CAMEXPERT = ""
FOLDER = ""

# Only the loopback: no proxy from the environment is ever asked.
LOOPBACK = urllib.request.build_opener(urllib.request.ProxyHandler({}))


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def accepts_connections(port):
    with socket.socket() as probe:
        return probe.connect_ex(("127.0.0.1", port)) == 0


def fetch(url):
    with LOOPBACK.open(url, timeout=5) as answer:
        return answer.read().decode()


class ServeTestCase(unittest.TestCase):
    """The test's folder, its processes and waiting with a deadline."""

    def setUp(self):
        self.folder = os.path.join(FOLDER, self._testMethodName)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.processes = {}
        self.killed = set()

    def start(self, name, argv):
        """Starts a process whose output goes to NAME.log in the test's folder."""
        with open(self.path(name + ".log"), "wb") as log:
            process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=log,
                                       stderr=subprocess.STDOUT, cwd=self.folder)
        self.processes[name] = process
        self.addCleanup(self.stop, name)
        return process

    def stop(self, name):
        process = self.processes[name]
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout=DEADLINE_SECONDS)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def path(self, name):
        return os.path.join(self.folder, name)

    def logs(self):
        """The end of every log of the test, for a failure's message."""
        texts = []
        for name in sorted(self.processes):
            with open(self.path(name + ".log"), errors="replace") as log:
                texts.append("--- %s.log\n%s" % (name, "".join(log.readlines()[-20:])))
        return "\n".join(texts)

    def wait_for(self, what, condition):
        """Polls CONDITION until it gives something true, and returns that."""
        deadline = time.monotonic() + DEADLINE_SECONDS
        while True:
            result = condition()
            if result:
                return result
            for name, process in self.processes.items():
                if process.poll() is not None and name not in self.killed:
                    self.fail("%s ended (%s) while waiting for %s\n%s"
                              % (name, process.returncode, what, self.logs()))
            if time.monotonic() > deadline:
                self.fail("no %s within %d s\n%s" % (what, DEADLINE_SECONDS, self.logs()))
            time.sleep(0.1)

    def start_fleet(self, node):
        """A broker, one publisher as NODE, and serve reading that broker;
        returns serve's port."""
        broker_port = free_port()
        # Started by root, mosquitto would read the test's files as the user
        # mosquitto, who may not.
        with open(self.path("mosquitto.conf"), "w") as config:
            config.write("user root\nlistener %d 127.0.0.1\nallow_anonymous true\n"
                         "persistence false\n" % broker_port)
        self.start("mosquitto", [MOSQUITTO, "-c", self.path("mosquitto.conf")])
        self.wait_for("mosquitto on port %d" % broker_port,
                      lambda: accepts_connections(broker_port))
        broker = "127.0.0.1:%d" % broker_port
        self.start("publish", [CAMEXPERT, "publish", "--broker", broker, "--node", node])
        self.start("serve", [CAMEXPERT, "serve", "--broker", broker, "--listen", "127.0.0.1:0"])
        return int(self.wait_for("serve's 'Serving' line", self.serving_port))

    def serving_port(self):
        with open(self.path("serve.log"), errors="replace") as log:
            found = SERVING_LINE.search(log.read())
        return found and found.group(1)

    def kill_publisher(self):
        publisher = self.processes["publish"]
        self.killed.add("publish")
        publisher.send_signal(signal.SIGKILL)
        publisher.wait()


class PrometheusTests(ServeTestCase):

    def start_prometheus(self, target_port):
        """A Prometheus scraping 127.0.0.1:TARGET_PORT every second; returns its port."""
        port = free_port()
        with open(self.path("prometheus.yml"), "w") as config:
            config.write("global:\n"
                         "  scrape_interval: 1s\n"
                         "  evaluation_interval: 1s\n"
                         "scrape_configs:\n"
                         "  - job_name: camexpert\n"
                         "    static_configs:\n"
                         "      - targets: ['127.0.0.1:%d']\n" % target_port)
        self.start("prometheus", [PROMETHEUS, "--config.file=" + self.path("prometheus.yml"),
                                  "--storage.tsdb.path=" + self.path("prometheus-data"),
                                  "--web.listen-address=127.0.0.1:%d" % port])
        self.prometheus = "http://127.0.0.1:%d" % port
        self.wait_for("Prometheus ready", self.prometheus_ready)
        return port

    def prometheus_ready(self):
        try:
            fetch(self.prometheus + "/-/ready")
            return True
        except OSError:
            return False

    def query(self, promql):
        """The instant vector PROMQL gives now, as {((label, value)...): number}."""
        answer = json.loads(fetch(self.prometheus + "/api/v1/query?" +
                                  urllib.parse.urlencode({"query": promql})))
        self.assertEqual(answer["status"], "success", answer)
        return {tuple(sorted(series["metric"].items())): float(series["value"][1])
                for series in answer["data"]["result"]}

    def wait_for_query(self, promql, expected):
        last = {}

        def answers():
            last["result"] = self.query(promql)
            return last["result"] == expected

        try:
            self.wait_for("%s = %s" % (promql, expected), answers)
        except AssertionError as failure:
            targets = fetch(self.prometheus + "/api/v1/targets")
            raise AssertionError("%s\nlast answer: %s\ntargets: %s"
                                 % (failure, last.get("result"), targets)) from None

    def test_fleet_counts_and_a_killed_publisher(self):
        serve_port = self.start_fleet("cell1")
        self.start_prometheus(serve_port)

        self.wait_for_query("sum(camexpert_node_items)", {(): 11.0})
        self.assertEqual(self.query("sum by (kind) (camexpert_node_items)"),
                         {(("kind", "camera"),): 9.0, (("kind", "grabber"),): 2.0})
        self.wait_for_query("sum by (node) (camexpert_node_up)", {(("node", "cell1"),): 1.0})

        self.kill_publisher()
        self.wait_for_query("sum by (node) (camexpert_node_up)", {(("node", "cell1"),): 0.0})


class MetricsTextTests(ServeTestCase):

    def check_metrics(self, text):
        checked = subprocess.run([PROMTOOL, "check", "metrics"], input=text, text=True,
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.assertEqual((checked.returncode, checked.stdout), (0, ""),
                         "promtool check metrics on:\n" + text)

    def test_promtool_finds_nothing(self):
        # Quotes and a backslash in the node name: label values the text
        # format must escape.
        node = 'cell "2" \\ east'
        escaped = node.replace("\\", "\\\\").replace('"', '\\"')
        metrics = "http://127.0.0.1:%d/metrics" % self.start_fleet(node)

        def up_is(value):
            line = 'camexpert_node_up{node="%s"} %d\n' % (escaped, value)
            text = fetch(metrics)
            return line in text and text

        self.check_metrics(self.wait_for("node up in /metrics", lambda: up_is(1)))
        self.kill_publisher()
        self.check_metrics(self.wait_for("node down in /metrics", lambda: up_is(0)))


def main():
    global CAMEXPERT, FOLDER
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--camexpert", required=True)
    parser.add_argument("--folder", required=True)
    ours, rest = parser.parse_known_args()
    CAMEXPERT = os.path.abspath(ours.camexpert)
    FOLDER = os.path.abspath(ours.folder)
    missing = [program for program in (MOSQUITTO, PROMETHEUS, PROMTOOL)
               if not os.access(program, os.X_OK)]
    if missing:
        print("skipped: no %s (Debian packages mosquitto, prometheus)" % ", ".join(missing))
        sys.exit(77)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
