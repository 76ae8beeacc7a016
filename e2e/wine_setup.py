"""Virtual watches on Wine's HID bus, in a private mount namespace: the set-up the Wine
end-to-end tests share (wine_hid.py, wine_gui.py).

Wine's HID bus reads Linux hidraw nodes when udevd is out of the picture: it lists /dev for
hidraw names, follows /sys/class/hidraw/<name> to a parent whose uevent carries HID_ID, and
watches /dev for nodes that come and go. In a private mount namespace `Bus` lays a tmpfs over
/dev (every entry linked back, no hidraw node of the machine) and over /sys/class/hidraw, and
links the nodes of `watchsim serve` in as hidraw0, hidraw1, ...; `Wine` runs programs in a
prefix of the caller's own whose HID bus is told to work that way.

A watch leaves the bus while it reboots (its node goes away); a mirror thread removes its
link in /dev and links it again, under a new name, when it comes back, so that Wine sees it
leave and come back. Wine's bus does not always see a node that comes while another one
leaves: a test that changes which watches are on the bus restarts Wine (`Wine.restart`),
which lists /dev afresh.

A script runs its steps as `script --inner` under `run_inside`, in mount and PID namespaces
of its own: whatever way it ends, the kernel ends every process it started (watch servers,
Wine's server and services, an X server) with it, and every mount goes with the namespace.
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
WINE_STEP_SECONDS = 240


def say(text):
    print(text, flush=True)


def reasons_to_skip(args):
    """Why this machine cannot run the set-up (None when it can)."""
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


class Bus:
    """The /dev and /sys/class/hidraw that Wine sees: each watch on the bus under a hidraw
    name, a new one each time it comes back (as the kernel may give a device it enumerates
    again): Wine's bus now and then missed a watch that came back from a reboot under the
    name it had left with while the updater still held that device open."""

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
        self.watches = []  # [node path, wanted on the bus, unique name, its link in /dev]
        self.names = 0
        self.lock = threading.Lock()
        self.stopping = threading.Event()
        self.mirror = threading.Thread(target=self._mirror, daemon=True)

    def add(self, node, unique, on_bus=True):
        """Registers a watch's node (not linked until start); its index."""
        with self.lock:
            self.watches.append([node, on_bus, unique, None])
            return len(self.watches) - 1

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

    def _new_name(self, unique):
        """The next hidraw name, with its device in sysfs; the path of its node in /dev."""
        number = self.names
        self.names += 1
        name = f"hidraw{number}"
        sys_root = "/sys/class/hidraw"
        parent = os.path.join(sys_root, "devices", f"hid{number}")
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
            f.write(f"MAJOR=240\nMINOR={number}\nDEVNAME={name}\n")
        os.symlink(os.path.join("devices", f"hid{number}", "hidraw", name),
                   os.path.join(sys_root, name))
        return os.path.join("/dev", name)

    def _sync(self):
        with self.lock:
            for watch in self.watches:
                node, wanted, unique, link = watch
                present = wanted and os.path.exists(node)
                if present and link is None:
                    watch[3] = self._new_name(unique)
                    os.symlink(node, watch[3])
                elif link is not None and not present:
                    os.unlink(link)
                    watch[3] = None

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
    """A prefix of the caller's own, its server kept running while the steps run.

    Without a display the programs' windows go to Wine's null display driver; with one
    (an X display name) every program of the prefix shows them there."""

    def __init__(self, prefix, display=None):
        self.env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", SYSTEMD_DEVICE_VERIFY_SYSFS="0",
                        LANG="C", LC_ALL="", FIRMUPDATER_UI="terminal")
        self.env.pop("DISPLAY", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        if display:
            self.env["DISPLAY"] = display
        graphics = "x11" if display else "null"
        ready = os.path.join(prefix, ".fu-hid-ready")
        if not os.path.exists(ready) or (_read(ready) or "null") != graphics:
            shutil.rmtree(prefix, ignore_errors=True)
            self._run(["wineboot", "-i"])
            key = r"HKLM\System\CurrentControlSet\Services\winebus"
            self._run(["wine", "reg", "add", key, "/v", "Enable SDL", "/t", "REG_DWORD",
                       "/d", "0", "/f"])
            self._run(["wine", "reg", "add", key, "/v", "DisableUdevd", "/t", "REG_DWORD",
                       "/d", "1", "/f"])
            self._run(["wine", "reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Graphics",
                       "/d", graphics, "/f"])
            self._run(["wineserver", "-w"])
            with open(ready, "w") as f:
                f.write(graphics)
        self._start()

    def _start(self):
        # The bus reads its settings when it starts: after this, inside the namespace.
        subprocess.run(["wineserver", "-p"], env=self.env, check=True)
        # The prefix's services and its desktop process start with the first program that
        # needs them and keep its standard streams: started here with none, they hold no later
        # program's output pipe open. (The desktop process ends a moment after the last window
        # of the display has gone and comes back with the next one, keeping that program's
        # streams: a program with windows is given files, not pipes.)
        subprocess.run(["wine", "rundll32.exe", "user32.dll,GetDesktopWindow"], env=self.env,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=WINE_STEP_SECONDS)

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

    def restart(self):
        """Ends every program of the prefix and starts its services again: the HID bus then
        lists the watches now on the bus."""
        self.stop()
        self._start()

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
        subprocess.run(["wineserver", "-w"], env=self.env, capture_output=True, timeout=60)


def _read(path):
    with open(path) as f:
        return f.read().strip()


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


def listed(wine, probe, count, seconds=60, showing=()):
    """The probe's list once it shows `count` watches, among them those whose unique names are
    in `showing` (the bus adds and removes watches as it sees them come and go)."""
    deadline = time.monotonic() + seconds
    while True:
        code, out, err = wine.run([probe, "list"], timeout=60)
        lines = [line for line in out.splitlines() if line.strip()]
        seen = all(any(f"&{name}&" in line for line in lines) for name in showing)
        if (len(lines) == count and seen) or time.monotonic() > deadline:
            return lines
        time.sleep(0.5)


def wait_for(condition, seconds, value):
    """`value()` once `condition()` holds, or when `seconds` have passed without it."""
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.05)
    return value()


def update_image(args, wine, checks):
    """The image the program is given (its Windows path), in the work directory: a copy of
    --image, or built from --manifest by fwimage.exe. None when it could not be built."""
    image = os.path.join(args.work, "update.img")
    if args.image:
        shutil.copyfile(args.image, image)
        return windows_path(image)
    code, out, err = wine.run([args.fwimage, "build", args.manifest, image])
    ok = checks.expect(code == 0, "fwimage.exe builds the image", out + err)
    return windows_path(image) if ok else None


def windows_path(path):
    """A host path as a Windows program under Wine takes it: on Windows an argument that
    starts with "/" is an option, never a file."""
    return "Z:" + os.path.abspath(path)


class Setup:
    """What a script starts inside its namespace: the watches, the bus and Wine, ended in
    reverse order on leaving the `with` block."""

    def __init__(self, args):
        self.args = args
        self.bus = None
        self.watches = []
        self.wine = None
        # The first process of a PID namespace ignores signals it has no handler for.
        for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            signal.signal(number, lambda n, _f: sys.exit(128 + n))

    def __enter__(self):
        return self

    def __exit__(self, *_):
        if self.wine:
            self.wine.stop()
        if self.bus:
            self.bus.stop()
        for watch in self.watches:
            watch.stop()
        return False

    def start(self, watches, display=None):
        """Starts the watches, each (name, serve options, on the bus at first), as watch0,
        watch1, ..., then Wine in the prefix of --prefix."""
        # Nothing is removed in the work directory: it holds a bind mount of the machine's
        # /dev, and a recursive removal would go through it. `run_inside` removes it once
        # the namespace, and with it every mount, is gone.
        self.bus = Bus(self.args.work)
        for name, options, _ in watches:
            self.watches.append(Watch(self.args, self.args.work, name, options))
        for index, (watch, (_, _, on_bus)) in enumerate(zip(self.watches, watches)):
            self.bus.add(watch.node, f"watch{index}", on_bus)
        self.bus.start()
        self.wine = Wine(self.args.prefix, display)


def argument_parser(description):
    """The arguments of the scripts on this set-up; each adds its own."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--probe", required=True, help="windows_hid_probe.exe")
    parser.add_argument("--watchsim", required=True, help="the Linux watchsim program")
    parser.add_argument("--prefix", required=True, help="a Wine prefix of the script's own")
    parser.add_argument("--firmupdater", help="firmupdater.exe")
    parser.add_argument("--image", help="the image firmupdater.exe is given")
    parser.add_argument("--fwimage", help="fwimage.exe, to build the image from --manifest")
    parser.add_argument("--manifest", help="the manifest of the image fwimage.exe builds")
    parser.add_argument("--version", default="01.30", help="the image's firmware version")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    parser.add_argument("--work", help=argparse.SUPPRESS)
    return parser


def check_image_arguments(parser, args, program_needed=False):
    if program_needed and not args.firmupdater:
        parser.error("--firmupdater is needed")
    if args.firmupdater and not (args.image or (args.fwimage and args.manifest)):
        parser.error("--firmupdater needs --image, or --fwimage and --manifest")


def run_inside(script, args, paths, options=()):
    """Runs `script --inner --work DIR` in mount and PID namespaces of its own, with the
    arguments named in `paths` (made absolute) and `options`; its exit status. DIR is a new
    work directory, removed afterwards."""
    work = tempfile.mkdtemp(prefix="fu_wine_")
    command = ["unshare", "--mount", "--propagation", "private", "--pid", "--fork",
               "--kill-child", "--mount-proc", sys.executable, os.path.abspath(script),
               "--inner", "--work", work] + list(options)
    for name in paths:
        if getattr(args, name):
            command += ["--" + name, os.path.abspath(getattr(args, name))]
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
