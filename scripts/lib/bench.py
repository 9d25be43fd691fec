#!/usr/bin/env python3
"""The figures of scripts/bench: the real program against rds-encoder-sim on a pseudo-terminal.

A PIRA32 station with RT+ off, so that a new title costs exactly "RT1=" and the RadioText query.
Times on the wire are the emulator's --log stamps (wall clock, milliseconds) of each command it
received; the program writes a command whole, so the stamp is that of its first byte too.
The web figures come from a third run with the web server on loopback and MetadataSource=push.
"""

import argparse
import http.client
import os
import random
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

# PIRA32, RT+ off: "TA=0" (200 ms) and the start-up synchronisation (4050 ms).
STARTUP_WAITS_MS = 4250
TARGETS = {
    "latency_median_s": 0.55,
    "latency_max_s": 1.05,
    "startup_over_ms": 150,
    "idle_cpu_percent": 0.2,
    "memory_headless_mb": 20,
    "memory_window_mb": 80,
    "push_median_s": 0.12,
    "status_p99_ms": 50,
}
DEFAULT_TEXT = "Radio Morvane"
FIRST_TITLE = "Bench - Start"
SECONDS_PER_DAY = 86400
WEB_TOKEN = "bench"
# The last command of the start-up synchronisation.
LAST_STARTUP_COMMAND = "PILOT"


def seconds_of_day(stamp=None):
    """Local wall-clock time as seconds since midnight, like the emulator's stamps."""
    now = time.time() if stamp is None else stamp
    local = time.localtime(now)
    return local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + (now - int(now))


def elapsed(later, earlier):
    """Seconds from earlier to later, both seconds of the day, across midnight too."""
    return (later - earlier + SECONDS_PER_DAY / 2) % SECONDS_PER_DAY - SECONDS_PER_DAY / 2


class Emulator:
    """rds-encoder-sim with --log: every command it receives, with the time it came."""

    def __init__(self, program, work):
        self.link = os.path.join(work, "encoder")
        self.commands = []  # (seconds of day, command text)
        self.changed = threading.Condition()
        self.process = subprocess.Popen(
            [program, "--dialect", "ascii", "--link", self.link, "--log"],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        deadline = time.monotonic() + 5
        while not os.path.exists(self.link):
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise RuntimeError("the emulator did not come up")
            time.sleep(0.01)

    def _read(self):
        for raw in self.process.stderr:
            line = raw.decode("latin-1").rstrip("\n")
            stamp, sep, text = line.partition(" < ")
            if not sep:
                continue
            hours, minutes, seconds = stamp.split(":")
            at = int(hours) * 3600 + int(minutes) * 60 + float(seconds)
            with self.changed:
                self.commands.append((at, text))
                self.changed.notify_all()

    def count(self):
        with self.changed:
            return len(self.commands)

    def wait_for(self, text, start=0, timeout=15.0):
        """Index and time of the first command equal to text at or after index start."""
        deadline = time.monotonic() + timeout
        with self.changed:
            while True:
                for index in range(start, len(self.commands)):
                    if self.commands[index][1] == text:
                        return index, self.commands[index][0]
                left = deadline - time.monotonic()
                if left <= 0:
                    raise RuntimeError(f"the encoder never received {text!r}")
                self.changed.wait(left)

    def stop(self):
        stop_process(self.process)


def stop_process(process):
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def write_atomically(path, text):
    """As a careful playout system does: written aside, then renamed into place."""
    aside = path + ".new"
    with open(aside, "w", encoding="latin-1", newline="") as out:
        out.write(text)
    os.replace(aside, path)


def station_ini(link, extra):
    return "\r\n".join([
        "[RDSmorvane]", "COMsettings=9600,N,8,1", f"COMport={link}", "EncoderType=PIRA32",
        f"DefaultRadioText={DEFAULT_TEXT}", "TrafficRadioText=Traffic news", "TAMaxTimeout=2",
        "TrafficMeta=TRAFFIC", "RTplus=0", "RTplusSwap=0", "MetadataFile=metadata.txt", *extra,
        ""])


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def http_request(port, method, path, body=None, token=None):
    """Status and seconds taken by one request on a connection of its own."""
    began = time.perf_counter()
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=5)
    try:
        headers = {"Authorization": f"Bearer {token}"} if token else {}
        connection.request(method, path, body=body, headers=headers)
        answer = connection.getresponse()
        answer.read()
        return answer.status, time.perf_counter() - began
    finally:
        connection.close()


class StatusPoller:
    """GET /api/status back to back from the program's start: (seconds of day, seconds taken)."""

    def __init__(self, port):
        self.port = port
        self.times = []
        self.running = True
        self.thread = threading.Thread(target=self._poll, daemon=True)
        self.thread.start()

    def _poll(self):
        while self.running:
            began = seconds_of_day()
            try:
                status, took = http_request(self.port, "GET", "/api/status")
            except OSError:
                time.sleep(0.005)  # not listening yet
                continue
            if status == 200:
                self.times.append((began, took))

    def stop(self):
        self.running = False
        self.thread.join()


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as stat:
        # The command name may hold blanks; the fields after it are fixed.
        fields = stat.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime


def peak_memory_mb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) * 1024 / 1e6
    raise RuntimeError("no VmHWM")


class Run:
    """One run of the program in a fresh working directory against a fresh emulator."""

    def __init__(self, args, headless, web_port=None):
        self.work = tempfile.mkdtemp(prefix="rdsmorvane-bench-")
        self.emulator = Emulator(args.emulator, self.work)
        extra = []
        if web_port:
            extra = [f"WebListen=127.0.0.1:{web_port}", f"WebToken={WEB_TOKEN}",
                     "MetadataSource=push"]
        write_atomically(os.path.join(self.work, "RDSmorvane.ini"),
                         station_ini(self.emulator.link, extra))
        self.metadata = os.path.join(self.work, "metadata.txt")
        write_atomically(self.metadata, FIRST_TITLE + "\r\n")
        env = dict(os.environ)
        command = [os.path.abspath(args.program)]
        if headless:
            command.append("--headless")
            env.pop("QT_QPA_PLATFORM", None)
        else:
            env["QT_QPA_PLATFORM"] = "offscreen"
        self.output = open(os.path.join(self.work, "controller.out"), "wb")
        self.started_at = seconds_of_day()
        self.process = subprocess.Popen(command, cwd=self.work, env=env, stdin=subprocess.DEVNULL,
                                        stdout=self.output, stderr=subprocess.STDOUT)

    def startup_ms(self):
        """From the start of the process to the first metadata check's RadioText on the line."""
        index, first_tick = self.emulator.wait_for("RT1=" + FIRST_TITLE, timeout=20)
        self.emulator.wait_for("RT1", start=index + 1)
        time.sleep(0.6)
        return elapsed(first_tick, self.started_at) * 1000

    def title_latencies(self, changes, rng):
        latencies = []
        for number in range(1, changes + 1):
            seen = self.emulator.count()
            # Written at a random moment of the one-second metadata check.
            time.sleep(rng.uniform(0.0, 1.0))
            title = f"Artist {number:02d} - Title {number:02d}"
            write_atomically(self.metadata, title + "\r\n")
            written = seconds_of_day()
            index, sent = self.emulator.wait_for("RT1=" + title, start=seen)
            latencies.append(elapsed(sent, written))
            # The RadioText query follows the new text; its wait ends the handler.
            self.emulator.wait_for("RT1", start=index + 1)
            time.sleep(0.6)
        return latencies

    def push_latencies(self, port, pushes, rng):
        latencies = []
        for number in range(1, pushes + 1):
            seen = self.emulator.count()
            # Pushed at a random moment of the one-second metadata check.
            time.sleep(rng.uniform(0.0, 1.0))
            title = f"Pushed {number:02d} - Title {number:02d}"
            pushed = seconds_of_day()
            status, _ = http_request(port, "POST", "/api/nowplaying", title.encode(), WEB_TOKEN)
            if status != 204:
                raise RuntimeError(f"the push was answered {status}")
            index, sent = self.emulator.wait_for("RT1=" + title, start=seen)
            latencies.append(elapsed(sent, pushed))
            self.emulator.wait_for("RT1", start=index + 1)
            time.sleep(0.6)
        return latencies

    def startup_window(self):
        """Seconds of day from the first command of start-up to the last."""
        _, first = self.emulator.wait_for("TA=0", timeout=20)
        _, last = self.emulator.wait_for(LAST_STARTUP_COMMAND, timeout=20)
        return first, last

    def idle_cpu_percent(self, seconds):
        ticks_before = cpu_ticks(self.process.pid)
        began = time.monotonic()
        time.sleep(seconds)
        ticks = cpu_ticks(self.process.pid) - ticks_before
        return 100.0 * ticks / os.sysconf("SC_CLK_TCK") / (time.monotonic() - began)

    def peak_memory_mb(self):
        return peak_memory_mb(self.process.pid)

    def close(self):
        alive = self.process.poll() is None
        stop_process(self.process)
        self.emulator.stop()
        self.output.close()
        if not alive:
            with open(os.path.join(self.work, "controller.out"), "rb") as out:
                sys.stderr.write(out.read().decode("latin-1"))
        shutil.rmtree(self.work, ignore_errors=True)
        if not alive:
            raise RuntimeError("the program ended by itself during the benchmark")


def verdict(ok):
    return "ok" if ok else "MISSED"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--program", required=True)
    parser.add_argument("--emulator", required=True)
    parser.add_argument("--changes", type=int, default=40, help="titles to time (default 40)")
    parser.add_argument("--idle", type=float, default=60, help="seconds of idle CPU (default 60)")
    parser.add_argument("--pushes", type=int, default=40, help="pushed titles to time (default 40)")
    parser.add_argument("--seed", type=int, default=None, help="for the moments of the writes")
    args = parser.parse_args()
    rng = random.Random(args.seed)

    print(f"Headless: start-up, {args.changes} titles, {args.idle:.0f} s idle ...", flush=True)
    run = Run(args, headless=True)
    try:
        startup_headless = run.startup_ms()
        latencies = run.title_latencies(args.changes, rng)
        time.sleep(1.0)
        idle = run.idle_cpu_percent(args.idle)
        memory_headless = run.peak_memory_mb()
    finally:
        run.close()

    print("Window (offscreen): start-up, 5 titles ...", flush=True)
    run = Run(args, headless=False)
    try:
        startup_window = run.startup_ms()
        run.title_latencies(5, rng)
        memory_window = run.peak_memory_mb()
    finally:
        run.close()

    print(f"Web server, MetadataSource=push: start-up, {args.pushes} pushed titles ...", flush=True)
    port = free_port()
    poller = StatusPoller(port)
    run = Run(args, headless=True, web_port=port)
    try:
        first, last = run.startup_window()
        poller.stop()
        during = [took for began, took in poller.times if first <= began <= last]
        if len(during) < 20:
            raise RuntimeError(f"only {len(during)} status requests during start-up")
        push = run.push_latencies(port, args.pushes, rng)
    finally:
        poller.stop()
        run.close()
    status_p99_ms = statistics.quantiles(during, n=100, method="inclusive")[98] * 1000
    push_median = statistics.median(push)

    median = statistics.median(latencies)
    p95 = statistics.quantiles(latencies, n=20, method="inclusive")[18]
    worst = max(latencies)
    over_headless = startup_headless - STARTUP_WAITS_MS
    over_window = startup_window - STARTUP_WAITS_MS
    rows = [
        (f"Title to RadioText on the line, median ({len(latencies)} changes)", f"{median:.3f} s",
         f"<= {TARGETS['latency_median_s']} s", median <= TARGETS["latency_median_s"]),
        ("Title to RadioText on the line, 95th percentile", f"{p95:.3f} s", "", None),
        ("Title to RadioText on the line, maximum", f"{worst:.3f} s",
         f"<= {TARGETS['latency_max_s']} s", worst <= TARGETS["latency_max_s"]),
        ("Start-up to first metadata check, headless",
         f"{startup_headless / 1000:.3f} s = waits {STARTUP_WAITS_MS / 1000:.2f} s "
         f"+ {over_headless:.0f} ms", f"<= waits + {TARGETS['startup_over_ms']} ms",
         over_headless <= TARGETS["startup_over_ms"]),
        ("Start-up to first metadata check, window",
         f"{startup_window / 1000:.3f} s = waits {STARTUP_WAITS_MS / 1000:.2f} s "
         f"+ {over_window:.0f} ms", f"<= waits + {TARGETS['startup_over_ms']} ms",
         over_window <= TARGETS["startup_over_ms"]),
        (f"CPU while idle, {args.idle:.0f} s, headless", f"{idle:.3f} % of a core",
         f"<= {TARGETS['idle_cpu_percent']} %", idle <= TARGETS["idle_cpu_percent"]),
        ("Peak memory (VmHWM), headless", f"{memory_headless:.1f} MB",
         f"<= {TARGETS['memory_headless_mb']} MB",
         memory_headless <= TARGETS["memory_headless_mb"]),
        ("Peak memory (VmHWM), window, offscreen", f"{memory_window:.1f} MB",
         f"<= {TARGETS['memory_window_mb']} MB", memory_window <= TARGETS["memory_window_mb"]),
        (f"Pushed title to RadioText on the line, median ({len(push)} pushes)",
         f"{push_median:.3f} s", f"<= {TARGETS['push_median_s']} s",
         push_median <= TARGETS["push_median_s"]),
        ("Pushed title to RadioText on the line, maximum", f"{max(push):.3f} s", "", None),
        (f"GET /api/status during start-up, 99th percentile ({len(during)} requests)",
         f"{status_p99_ms:.1f} ms", f"<= {TARGETS['status_p99_ms']} ms",
         status_p99_ms <= TARGETS["status_p99_ms"]),
    ]
    width = [max(len(row[i]) for row in rows) for i in range(3)]
    print()
    print("PIRA32, RT+ off, rds-encoder-sim on a pseudo-terminal")
    for measure, measured, target, ok in rows:
        mark = "" if ok is None else verdict(ok)
        print(f"{measure:<{width[0]}}  {measured:<{width[1]}}  {target:<{width[2]}}  {mark}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
