#!/usr/bin/env python3
"""The Win32 HID path under Wine, against virtual watches.

Wine's HID bus reads Linux hidraw nodes when udevd is out of the picture: it lists /dev for
hidraw names, follows /sys/class/hidraw/<name> to a parent whose uevent carries HID_ID, and
watches /dev for nodes that come and go. In a private mount namespace this script lays a
tmpfs over /dev (every entry linked back, no hidraw node of the machine) and over
/sys/class/hidraw, links the nodes of `watchsim serve` in as hidraw0, hidraw1, ..., and runs
Windows programs in a Wine prefix of its own whose HID bus is told to work that way:

* the probe (windows_hid_probe.exe): two watches listed in the set-up interface's order;
  a handshake, a 512 KiB flash write (checked against the watch's flash file) and a short
  read back on the first; an unanswered read on the second, cancelled at its time-out, after
  which the same handle still carries a handshake;
* firmupdater.exe in terminal mode, when given: the update answered with Yes ends with the
  completion box and exit 0, the watch comes back at the image's version, and a second run
  finds nothing to do.

A watch leaves the bus while it reboots (its node goes away); a mirror thread removes and
recreates its link in /dev so that Wine sees it leave and come back.

Exits 77 (skipped) with a message where the machine cannot do this: not root, no FUSE, no
mount namespaces, no Wine, no watchsim. --measure runs only the 512 KiB write against a
watch that spends 1 ms per report and prints the time as a ratio to that link bound.
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77
VENDOR, PRODUCT = 0x3A7C, 0x0A51
FLASH_ADDRESS = 0x80000
WRITE_KIB = 512
SILENT_TIMEOUT_MS = 500
WINE_STEP_SECONDS = 240
SERVE_START_SECONDS = 20


def say(text):
    print(text, flush=True)


def reasons_to_skip(args):
    if os.geteuid() != 0:
        return "needs root (for a private mount namespace)"
    if not os.path.exists("/dev/fuse"):
        return "no /dev/fuse"
    for tool in ("unshare", "fusermount3", "wine", "wineserver", "wineboot"):
        if shutil.which(tool) is None:
            return f"{tool} is not installed"
    if not os.access(args.watchsim, os.X_OK):
        return f"no watchsim at {args.watchsim} (build the default preset first)"
    try:
        subprocess.run(["unshare", "--mount", "--pid", "--fork", "--mount-proc", "true"],
                       check=True, capture_output=True, timeout=30)
    except (subprocess.SubprocessError, OSError):
        return "mount and PID namespaces are not available"
    return None


def expected_flash(length):
    return bytes(((i * 131) ^ (i >> 9)) & 0xFF for i in range(length))


class Bus:
    """The /dev and /sys/class/hidraw that Wine sees, with one watch per hidraw name."""

    def __init__(self, work):
        self.work = work
        self.old_dev = os.path.join(work, "olddev")
        os.mkdir(self.old_dev)
        subprocess.run(["mount", "--make-rprivate", "/"], check=True)
        subprocess.run(["mount", "--bind", "/dev", self.old_dev], check=True)
        subprocess.run(["mount", "-t", "tmpfs", "tmpfs", "/dev"], check=True)
        for name in os.listdir(self.old_dev):
            if not name.startswith("hidraw"):
                os.symlink(os.path.join(self.old_dev, name), os.path.join("/dev", name))
        subprocess.run(["mount", "-t", "tmpfs", "tmpfs", "/sys/class/hidraw"], check=True)
        self.watches = []  # (node path, wanted on the bus)
        self.lock = threading.Lock()
        self.stopping = threading.Event()
        self.mirror = threading.Thread(target=self._mirror, daemon=True)

    def add(self, node, unique):
        """Registers a watch's node as the next hidraw name (not linked until start)."""
        index = len(self.watches)
        name = f"hidraw{index}"
        sys_root = "/sys/class/hidraw"
        parent = os.path.join(sys_root, "devices", f"hid{index}")
        device = os.path.join(parent, "hidraw", name)
        os.makedirs(device)
        os.makedirs(os.path.join(sys_root, "bus", "hid"), exist_ok=True)
        os.makedirs(os.path.join(sys_root, "class", "hidraw"), exist_ok=True)
        os.symlink("../../bus/hid", os.path.join(parent, "subsystem"))
        with open(os.path.join(parent, "uevent"), "w") as f:
            f.write(f"HID_ID=0003:{VENDOR:08X}:{PRODUCT:08X}\nHID_NAME=ORNA Running Watch\n"
                    f"HID_UNIQ={unique}\n")
        os.symlink("../../../../class/hidraw", os.path.join(device, "subsystem"))
        with open(os.path.join(device, "uevent"), "w") as f:
            f.write(f"MAJOR=240\nMINOR={index}\nDEVNAME={name}\n")
        os.symlink(os.path.join("devices", f"hid{index}", "hidraw", name),
                   os.path.join(sys_root, name))
        with self.lock:
            self.watches.append([node, True])
        return index

    def want(self, index, on_bus):
        with self.lock:
            self.watches[index][1] = on_bus

    def start(self):
        self._sync()
        self.mirror.start()

    def stop(self):
        self.stopping.set()
        if self.mirror.is_alive():
            self.mirror.join()

    def _sync(self):
        with self.lock:
            for index, (node, wanted) in enumerate(self.watches):
                link = f"/dev/hidraw{index}"
                present = wanted and os.path.exists(node)
                linked = os.path.lexists(link)
                if present and not linked:
                    os.symlink(node, link)
                elif linked and not present:
                    os.unlink(link)

    def _mirror(self):
        while not self.stopping.wait(0.02):
            self._sync()


class Watch:
    """One `watchsim serve` with a node directory and a state directory of its own."""

    def __init__(self, args, work, name, extra):
        self.mount = os.path.join(work, name, "nodes")
        self.state = os.path.join(work, name, "state")
        os.makedirs(self.mount)
        command = [args.watchsim, "serve", "--dir", self.mount, "--state", self.state] + extra
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, text=True,
                                        start_new_session=True)
        self.node = self.process.stdout.readline().strip()
        if not self.node:
            raise RuntimeError(f"watchsim serve did not start: {self.process.stderr.read()}")

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        if os.path.ismount(self.mount):
            subprocess.run(["fusermount3", "-u", "-z", self.mount], capture_output=True)

    def flash(self, address, length):
        with open(os.path.join(self.state, "flash.bin"), "rb") as f:
            f.seek(address)
            return f.read(length)

    def version(self):
        with open(os.path.join(self.state, "version")) as f:
            return f.read().strip()


class Wine:
    """A prefix of the harness's own, its server kept running while the steps run."""

    def __init__(self, prefix):
        self.env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", SYSTEMD_DEVICE_VERIFY_SYSFS="0",
                        LANG="C", LC_ALL="", FIRMUPDATER_UI="terminal")
        self.env.pop("DISPLAY", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        ready = os.path.join(prefix, ".fu-hid-ready")
        if not os.path.exists(ready):
            shutil.rmtree(prefix, ignore_errors=True)
            self._run(["wineboot", "-i"])
            key = r"HKLM\System\CurrentControlSet\Services\winebus"
            self._run(["wine", "reg", "add", key, "/v", "Enable SDL", "/t", "REG_DWORD",
                       "/d", "0", "/f"])
            self._run(["wine", "reg", "add", key, "/v", "DisableUdevd", "/t", "REG_DWORD",
                       "/d", "1", "/f"])
            # No display: the program's hidden windows go to Wine's null display driver.
            self._run(["wine", "reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Graphics",
                       "/d", "null", "/f"])
            self._run(["wineserver", "-w"])
            open(ready, "w").close()
        # The bus reads its settings when it starts: after this, inside the namespace.
        subprocess.run(["wineserver", "-p"], env=self.env, check=True)
        # The prefix's services start with the first program and keep its standard streams:
        # they get none, so that no later program's output pipe stays open behind them.
        subprocess.run(["wine", "cmd", "/c", "exit"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=WINE_STEP_SECONDS)

    def _run(self, command):
        subprocess.run(command, env=self.env, check=True, capture_output=True,
                       timeout=WINE_STEP_SECONDS)

    def run(self, command, stdin="", timeout=WINE_STEP_SECONDS):
        try:
            done = subprocess.run(["wine"] + command, env=self.env, input=stdin,
                                  capture_output=True, text=True, timeout=timeout)
            return done.returncode, done.stdout.replace("\r\n", "\n"), done.stderr
        except subprocess.TimeoutExpired as e:
            out = e.stdout.decode(errors="replace") if isinstance(e.stdout, bytes) else ""
            return "hung", out or "", ""

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
        subprocess.run(["wineserver", "-w"], env=self.env, capture_output=True, timeout=60)


class Checks:
    def __init__(self):
        self.failures = []

    def expect(self, condition, what, detail=""):
        say(("ok    " if condition else "FAIL  ") + what)
        if not condition:
            if detail:
                say("      " + detail.strip().replace("\n", "\n      "))
            self.failures.append(what)
        return condition


def listed(wine, probe, count, seconds=60):
    """The probe's list once it shows `count` watches (the bus adds them as it finds them)."""
    deadline = time.monotonic() + seconds
    while True:
        code, out, err = wine.run([probe, "list"], timeout=60)
        lines = [line for line in out.splitlines() if line.strip()]
        if len(lines) == count or time.monotonic() > deadline:
            return lines
        time.sleep(0.5)


def field(output, name):
    for line in output.splitlines():
        if line.startswith(name + ":"):
            return line.split(":", 1)[1].strip()
    return None


def probe_steps(args, wine, watches, checks):
    lines = listed(wine, args.probe, 2)
    checks.expect(len(lines) == 2 and all("vid_3a7c&pid_0a51" in l.lower() for l in lines),
                  "two watches listed with their interface paths", "\n".join(lines))
    code, out, err = wine.run([args.probe, "order"])
    checks.expect(code == 0 and out.startswith("same 2"),
                  "the watches come in the set-up interface's order", out + err)

    code, out, err = wine.run([args.probe, "session", "0", str(WRITE_KIB)])
    checks.expect(code == 0 and field(out, "handshake") == "ok (0x00000000)" and
                  field(out, "read back") == "same",
                  f"handshake, {WRITE_KIB} KiB flash write, read back", out + err)
    checks.expect(field(out, "report lengths") == "65 65", "report lengths 65 and 65", out)
    say(f"      flash write of {WRITE_KIB} KiB: {field(out, 'write ms')} ms")

    code, out, err = wine.run([args.probe, "silent", "1", str(SILENT_TIMEOUT_MS)])
    waited = int(field(out, "waited ms") or -1)
    checks.expect(code == 0 and field(out, "unanswered read", ) == "failed (0x7FFF0001)" and
                  SILENT_TIMEOUT_MS - 50 <= waited < SILENT_TIMEOUT_MS + 5000,
                  "a silent watch: the read ends at its time-out, cancelled, and the handle "
                  "still carries a handshake", out + err)


def final_box(output):
    boxes = output.split("\n== ")
    return boxes[-1] if len(boxes) > 1 else ""


def updater_steps(args, wine, bus, watches, checks):
    # One watch on the bus: the second.
    bus.want(0, False)
    lines = listed(wine, args.probe, 1)
    checks.expect(len(lines) == 1, "the first watch left the bus", "\n".join(lines))
    image = os.path.join(args.work, "update.img")
    if args.image:
        shutil.copyfile(args.image, image)
    else:
        code, out, err = wine.run([args.fwimage, "build", args.manifest, image])
        if not checks.expect(code == 0, "fwimage.exe builds the image", out + err):
            return
    code, out, err = wine.run([args.firmupdater, image], stdin="y\n", timeout=300)
    checks.expect(code == 0 and "the update is complete" in final_box(out),
                  "firmupdater.exe: Yes, the update completes, exit 0", f"exit {code}\n{out}{err}")
    # The watch reboots into the new version; let it come back before the second run.
    lines = listed(wine, args.probe, 1)
    code, out, err = wine.run([args.firmupdater, image], stdin="y\n", timeout=300)
    checks.expect(code == 0 and "There is no need to update" in final_box(out),
                  "firmupdater.exe again: nothing to update, exit 0", f"exit {code}\n{out}{err}")


def measure_steps(args, wine, checks):
    lines = listed(wine, args.probe, 1)
    checks.expect(len(lines) == 1, "one paced watch listed", "\n".join(lines))
    code, out, err = wine.run([args.probe, "session", "0", str(WRITE_KIB)])
    if not checks.expect(code == 0, f"{WRITE_KIB} KiB flash write, 1 ms per report", out + err):
        return
    written_ms = int(field(out, "write ms"))
    output_length = int(field(out, "report lengths").split()[1])
    # The request: a 5-byte header, address and length (4 bytes each), then the data.
    request = WRITE_KIB * 1024 + 13
    reports = -(-request // (output_length - 3))
    bound_ms = reports * 1.0
    say(f"      {reports} reports in {written_ms} ms; link bound {bound_ms:.0f} ms; "
        f"ratio {written_ms / bound_ms:.2f}")


def inner(args):
    # Nothing is removed in here: the work directory holds a bind mount of the machine's
    # /dev, and a recursive removal would go through it. The outer process removes the
    # directory once the namespace, and with it every mount, is gone.
    work = args.work
    # The first process of a PID namespace ignores signals it has no handler for.
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(number, lambda n, _f: sys.exit(128 + n))
    checks = Checks()
    bus = None
    watches = []
    wine = None
    try:
        bus = Bus(work)
        if args.measure:
            watches.append(Watch(args, work, "paced", ["--latency-us", "1000"]))
        else:
            watches.append(Watch(args, work, "first", []))
            watches.append(Watch(args, work, "second", ["--reboot-delay-ms", "300"]))
        for index, watch in enumerate(watches):
            bus.add(watch.node, f"watch{index}")
        bus.start()
        wine = Wine(args.prefix)
        if args.measure:
            measure_steps(args, wine, checks)
        else:
            probe_steps(args, wine, watches, checks)
            if args.firmupdater:
                updater_steps(args, wine, bus, watches, checks)
    except (RuntimeError, OSError, subprocess.SubprocessError) as e:
        checks.expect(False, "harness set-up", str(e))
    finally:
        if wine:
            wine.stop()
        if bus:
            bus.stop()
        for watch in watches:
            watch.stop()
    if not args.measure and len(watches) == 2 and not checks.failures[:1] == ["harness set-up"]:
        try:
            length = WRITE_KIB * 1024
            checks.expect(watches[0].flash(FLASH_ADDRESS, length) == expected_flash(length),
                          "the watch's flash holds the 512 KiB written through Wine")
            if args.firmupdater:
                checks.expect(watches[1].version() == args.version,
                              f"the updated watch reports {args.version}", watches[1].version())
        except OSError as e:
            checks.expect(False, "the watches' state files", str(e))
    return 1 if checks.failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--probe", required=True, help="windows_hid_probe.exe")
    parser.add_argument("--watchsim", required=True, help="the Linux watchsim program")
    parser.add_argument("--prefix", required=True, help="the harness's own Wine prefix")
    parser.add_argument("--firmupdater", help="firmupdater.exe, for the end-to-end update")
    parser.add_argument("--image", help="the image firmupdater.exe is given")
    parser.add_argument("--fwimage", help="fwimage.exe, to build the image from --manifest")
    parser.add_argument("--manifest", help="the manifest of the image fwimage.exe builds")
    parser.add_argument("--version", default="01.30", help="the image's firmware version")
    parser.add_argument("--measure", action="store_true",
                        help="only time a paced 512 KiB flash write")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    parser.add_argument("--work", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.firmupdater and not (args.image or (args.fwimage and args.manifest)):
        parser.error("--firmupdater needs --image, or --fwimage and --manifest")
    if args.inner:
        return inner(args)
    reason = reasons_to_skip(args)
    if reason:
        say(f"SKIPPED: the Wine HID harness {reason}")
        return SKIP
    work = tempfile.mkdtemp(prefix="fu_winehid_")
    # A PID namespace as well: whatever way the harness ends, the kernel ends every process
    # it started (watch servers, Wine's server and services) with it.
    command = ["unshare", "--mount", "--propagation", "private", "--pid", "--fork",
               "--kill-child", "--mount-proc", sys.executable,
               os.path.abspath(__file__), "--inner", "--work", work, "--version", args.version]
    for name in ("probe", "watchsim", "prefix", "firmupdater", "image", "fwimage", "manifest"):
        if getattr(args, name):
            command += ["--" + name, os.path.abspath(getattr(args, name))]
    if args.measure:
        command.append("--measure")
    inner_process = subprocess.Popen(command)

    def end_inner(number, _frame):
        inner_process.send_signal(number)  # unshare passes it on to the namespace's first

    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(number, end_inner)
    try:
        return inner_process.wait()
    finally:
        remove_work(work)


def remove_work(work):
    """Removes the work directory, never through a mount (the namespace's are gone here)."""
    for root, dirs, _ in os.walk(work):
        for name in dirs:
            if os.path.ismount(os.path.join(root, name)):
                say(f"left {work} in place: {os.path.join(root, name)} is still mounted")
                return
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
