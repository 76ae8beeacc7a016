#!/usr/bin/env python3
"""The watch on Wine's HID bus, for firmupdater.exe under Wine: the presenter of the suites
for the Windows build.

Wine's HID bus sees a watch only in a mount namespace whose /dev and /sys/class/hidraw are
laid out for it (wine_setup.py). Each worker of a suite gets a host: this script run in a
namespace of its own, with a Wine prefix whose server stays up from plan to plan. For each
run the host starts `watchsim serve` in the namespace and puts its node on the bus under a
name of its own; Wine sees the watch arrive, and sees it leave when the run ends. A watcher
kept up in the prefix (windows_bus_watch.exe) tells when Wine lists it.

The program runs outside the namespace as a client of the same Wine server. It reaches the
watch only through Wine's HID stack, as it would on Windows, and the suite sees its exit,
its output and its process group as it does on Linux. The host speaks JSON lines: requests
on its standard input, replies on the descriptor given with --reply-fd.
"""

import argparse
import fcntl
import json
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time

import wine_setup as setup  # noqa: E402
from harness import HidrawPresenter, Unavailable  # noqa: E402

# Wine adds a watch some time after its node appears, and drops it some time after the node
# went away; a host waits this long for either before it calls the run off.
BUS_SECONDS = 30
# Wine lists a watch within a second or two even on a loaded machine; one it has not listed
# by then it has missed, and a restart is quicker than the rest of the wait.
MISSED_SECONDS = 8


class WinePresenters:
    """One host per worker, kept between runs; each run's presenter borrows a free one."""

    def __init__(self, args):
        if not args.probe or not args.wine_prefix:
            raise SystemExit("--present wine needs --probe and --wine-prefix")
        reason = setup.reasons_to_skip(args)
        for tool in ("probe", "fwimage"):
            if not reason and not os.access(getattr(args, tool), os.X_OK):
                reason = f"no {tool} at {getattr(args, tool)} (build it first)"
        if reason:
            raise Unavailable(f"the watch cannot be put on Wine's HID bus: {reason}")
        self.args = args
        self.lock = threading.Lock()
        self.free = []
        self.made = 0
        self.hosts = []
        self.phases = {}  # phase name: [total seconds, times]

    def count(self, seconds):
        """Adds the host's phase times of one call to the totals."""
        with self.lock:
            for name, value in seconds.items():
                total = self.phases.setdefault(name, [0.0, 0])
                total[0] += value
                total[1] += 1

    def phase_report(self):
        """One line per phase: its mean and how often it came."""
        with self.lock:
            return [f"{name:28} {total / times:6.2f} s mean, {times} times"
                    for name, (total, times) in sorted(self.phases.items())]

    def make(self):
        return WinePresenter(self)

    def acquire(self):
        with self.lock:
            if self.free:
                return self.free.pop()
            number = self.made
            self.made += 1
        prefix = os.path.abspath(self.args.wine_prefix + ("" if number == 0 else f"-{number}"))
        host = Host(self.args, prefix)
        with self.lock:
            self.hosts.append(host)
        return host

    def release(self, host):
        with self.lock:
            if host.alive():
                self.free.append(host)

    def close(self):
        with self.lock:
            hosts, self.hosts, self.free = self.hosts, [], []
        for host in hosts:
            host.close()


class Host:
    """This script in a mount namespace of its own, holding one Wine prefix and its bus."""

    def __init__(self, args, prefix):
        # One host to a prefix: a second would share its Wine server, and with it the bus of
        # the first one's namespace.
        self.claim = open(prefix + ".lock", "w")
        try:
            fcntl.flock(self.claim, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except OSError:
            self.claim.close()
            raise RuntimeError(f"the Wine prefix {prefix} is in use by another run")
        self.work = tempfile.mkdtemp(prefix="fu_winebus_")
        self.log_path = os.path.join(self.work, "host.log")
        reply_read, reply_write = os.pipe()
        command = ["unshare", "--mount", "--propagation", "private", "--fork", "--kill-child",
                   sys.executable, os.path.abspath(__file__), "--work", self.work,
                   "--prefix", prefix, "--watchsim",
                   os.path.abspath(args.watchsim), "--probe", os.path.abspath(args.probe),
                   "--reply-fd", str(reply_write)]
        # A session of its own: the suite ends it by closing its input, after the runs under
        # way, not by a signal to the suite's process group.
        with open(self.log_path, "w") as log:
            self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=log,
                                            stderr=log, text=True, pass_fds=[reply_write],
                                            start_new_session=True)
        os.close(reply_write)
        self.replies = os.fdopen(reply_read)
        try:
            self.env = self._receive()["env"]
        except (RuntimeError, ValueError):
            self.close()
            raise

    def alive(self):
        return self.process.poll() is None

    def call(self, request):
        try:
            self.process.stdin.write(json.dumps(request) + "\n")
            self.process.stdin.flush()
        except OSError as error:
            raise RuntimeError(f"the Wine bus host has gone: {error}") from error
        return self._receive()

    def _receive(self):
        line = self.replies.readline()
        if not line:
            self.process.wait()
            raise RuntimeError("the Wine bus host ended: " + self._log_tail())
        reply = json.loads(line)
        if "error" in reply:
            raise RuntimeError(reply["error"])
        return reply

    def _log_tail(self):
        try:
            with open(self.log_path) as log:
                return " | ".join(log.read().strip().splitlines()[-5:]) or "no output"
        except OSError:
            return "no output"

    def close(self):
        if self.process.stdin:
            try:
                self.process.stdin.close()
            except OSError:
                pass
        try:
            self.process.wait(timeout=120)
        except subprocess.TimeoutExpired:
            self.process.terminate()
            self.process.wait()
        self.replies.close()
        setup.remove_work(self.work)
        self.claim.close()


class WinePresenter:
    """The watch of one run on a host's bus; the host goes back to the pool when it stops."""

    # Every report crosses Wine's server and its HID bus process: about 2 ms on a loaded
    # 2-core machine, where the kernel's hidraw takes a few microseconds.
    report_us = 5000

    def __init__(self, pool):
        self.pool = pool
        self.host = None
        self.stale_mount = False

    def start(self, work, serve_options):
        if self.host is None:
            self.host = self.pool.acquire()
        self.pool.count(self.host.call({"start": work, "options": serve_options})["seconds"])

    def environment(self):
        return dict(self.host.env)

    def argument(self, path):
        """A host path as the program under Wine takes it."""
        return setup.windows_path(path)

    def note(self, phase, seconds):
        self.pool.count({phase: seconds})

    def settle(self, seconds=0.0):
        self.host.call({"settle": seconds})

    def output(self, text):
        """The program's output as the suites read it: Windows ends its lines with CR LF."""
        return text.replace("\r\n", "\n")

    def stop(self):
        if self.host is None:
            return ""
        host, self.host = self.host, None
        try:
            reply = host.call({"stop": True})
        finally:
            self.pool.release(host)
        self.pool.count(reply["seconds"])
        self.stale_mount = reply["stale"]
        return reply["errors"]


class Served:
    """Inside the namespace: the watch of the current run on the bus.

    Each run's watch comes under a name of its own. A run's watch is taken off the bus when
    the run stops, and the host answers at once: Wine drops it while the suite checks the
    run and makes the next plan's image, and the next run's watch server starts meanwhile;
    its node goes on the bus once Wine has dropped the last one, and the run starts once
    Wine lists exactly its own watch."""

    def __init__(self, args, wine, bus):
        self.args = args
        self.wine = wine
        self.bus = bus
        self.holder = keep_desktop(wine)
        self.watcher = BusWatcher(args, wine)
        self.presenter = None
        self.index = None  # the current watch's place on the bus
        self.runs = 0

    def start(self, work, options):
        seconds = {}
        if self.presenter is not None:
            seconds.update(self.stop()["seconds"])
        began = time.monotonic()
        presenter = HidrawPresenter(self.args.watchsim)
        try:
            presenter.start(work, options)
        except (RuntimeError, OSError):
            presenter.stop()
            raise
        self.presenter = presenter
        seconds["start: watchsim serve"] = time.monotonic() - began
        began = time.monotonic()
        # Wine misses a node now and then that comes while another one leaves.
        if not self.bus_shows(0, "-", seconds):
            raise RuntimeError("Wine's HID bus still shows a watch that has gone")
        seconds["start: Wine drops the last watch"] = time.monotonic() - began
        began = time.monotonic()
        self.runs += 1
        name = f"run{self.runs}"
        self.index = self.bus.add(os.path.join(self.presenter.mount, "hidraw0"), name)
        if not self.bus_shows(1, name, seconds):
            raise RuntimeError("Wine's HID bus did not show the watch")
        seconds["start: Wine lists the watch"] = time.monotonic() - began
        return seconds

    def bus_shows(self, count, name, seconds):
        """Whether Wine's bus lists `count` watches, one of them `name`, now or soon. It may
        miss a node that comes soon after another left; started again, it lists /dev afresh
        (the time that takes goes into `seconds`)."""
        if self.watcher.shows(count, name, MISSED_SECONDS):
            return True
        began = time.monotonic()
        self.watcher.close()
        self.wine.restart()
        self.holder = keep_desktop(self.wine)
        self.watcher = BusWatcher(self.args, self.wine)
        shown = self.watcher.shows(count, name, BUS_SECONDS)
        seconds["start: Wine restarted, as it missed the watch"] = time.monotonic() - began
        return shown

    def settle(self, seconds):
        if self.presenter:
            self.presenter.settle(seconds)

    def stop(self):
        """Takes the watch off the bus (the next run's start waits until Wine has dropped
        it)."""
        presenter, self.presenter = self.presenter, None
        if presenter is None:
            return {"errors": "", "stale": False, "seconds": {}}
        began = time.monotonic()
        errors = presenter.stop()
        self.bus.want(self.index, False)
        seconds = {"stop: watchsim serve": time.monotonic() - began}
        return {"errors": errors, "stale": presenter.stale_mount, "seconds": seconds}

    def close(self):
        self.stop()
        self.watcher.close()


class BusWatcher:
    """windows_bus_watch.exe, up for the host's life: asked whether Wine lists a watch, it
    answers from its own enumeration without a Wine process started for each look. Without
    it (an older build), each look starts the probe."""

    def __init__(self, args, wine):
        self.args = args
        self.wine = wine
        path = os.path.join(os.path.dirname(args.probe), "windows_bus_watch.exe")
        self.process = None
        if os.path.exists(path):
            self.process = subprocess.Popen(["wine", path], env=wine.env, text=True,
                                            stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                            stderr=subprocess.DEVNULL)

    def shows(self, count, name, seconds):
        if self.process is None:
            showing = () if name == "-" else (name,)
            return len(setup.listed(self.wine, self.args.probe, count, seconds,
                                    showing)) == count
        try:
            self.process.stdin.write(f"{count} {name} {int(seconds * 1000)}\n")
            self.process.stdin.flush()
            return self.process.stdout.readline().startswith("yes")
        except OSError:
            return False

    def close(self):
        if self.process is not None:
            try:
                self.process.stdin.close()
            except OSError:
                pass
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def desktop_running(prefix):
    """Whether the desktop process of this prefix is running."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                if b"explorer.exe" not in f.read():
                    continue
            with open(f"/proc/{pid}/environ", "rb") as f:
                if f"WINEPREFIX={prefix}".encode() in f.read().split(b"\0"):
                    return True
        except OSError:
            pass
    return False


def keep_desktop(wine):
    """Starts Wine's desktop process and a window that keeps it; returns the window's program.

    The desktop process ends a second after the last program using it, and the next program
    to look for a window starts it again as its own child: in the run's process group, and
    holding the run's output open. The window keeps it from ending as long as the host runs;
    the desktop outliving that second shows the window is in place."""
    holder = subprocess.Popen(["wine", "notepad.exe"], env=wine.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + setup.WINE_STEP_SECONDS
    while time.monotonic() < deadline:
        subprocess.run(["wine", "rundll32.exe", "user32.dll,GetDesktopWindow"], env=wine.env,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=setup.WINE_STEP_SECONDS)
        time.sleep(2.0)
        if desktop_running(wine.env["WINEPREFIX"]):
            return holder
    raise RuntimeError("Wine's desktop process does not stay up")


def host(args):
    """Runs in the namespace: sets up the bus and the prefix, then serves requests."""
    replies = os.fdopen(args.reply_fd, "w")
    # Ended by a signal, the host still stops its Wine server and its watch on the way out.
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(number, lambda n, _f: sys.exit(128 + n))

    def send(reply):
        replies.write(json.dumps(reply) + "\n")
        replies.flush()

    bus = wine = served = None
    try:
        bus = setup.Bus(args.work)
        bus.start()
        wine = setup.Wine(args.prefix)
        served = Served(args, wine, bus)
        send({"env": {k: v for k, v in wine.env.items() if k.startswith("WINE")}})
        for line in sys.stdin:
            request = json.loads(line)
            try:
                if "start" in request:
                    send({"seconds": served.start(request["start"], request["options"])})
                elif "settle" in request:
                    served.settle(request["settle"])
                    send({"ok": True})
                else:
                    send(served.stop())
            except Exception as error:  # the run fails, the host serves on
                send({"error": f"{error!r}"})
    except (RuntimeError, OSError, subprocess.SubprocessError) as error:
        send({"error": f"the Wine bus could not be set up: {error}"})
        return 1
    finally:
        if served:
            served.close()
        if wine:
            wine.stop()
        if served:
            try:
                served.holder.wait(timeout=60)
            except subprocess.TimeoutExpired:
                served.holder.kill()
                served.holder.wait()
        if bus:
            bus.stop()
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--work", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--watchsim", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--reply-fd", type=int, required=True)
    return host(parser.parse_args())


if __name__ == "__main__":
    sys.exit(main())
