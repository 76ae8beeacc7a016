#!/usr/bin/env python3
"""firmupdater.exe's desktop interface under Wine, against virtual watches.

Runs the real program as a Windows user would see it: Wine on a private X server, the
watches on Wine's HID bus in a private mount namespace (the set-up of wine_hid.py), the
program's windows found by the texts they show and answered by win32_driver.exe. Each step
saves a screenshot to --screenshots. The program is started without FIRMUPDATER_UI: the
desktop interface must be its own choice.

* a second copy started while the first shows the confirmation dialog reports that the tool
  is busy (220; the named mutex and FindWindowW across two Wine processes) and ends with 1;
  the first, answered No, reports 212 and ends with 1;
* Yes: the update runs, 210 is shown, exit 0, the watch comes back at the image's version;
* a watch whose flash writes fail: 225 shows over both dialogs (disabled beneath it), and
  the run ends with 1 once it is answered.

Exits 77 (skipped) where wine_hid.py would, or without Xvfb.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_hid as hid  # noqa: E402

say = hid.say
ENGLISH = "/l:1033"
CONFIRM = "An updatable KORVELIN has been found."
PROGRESS = "The KORVELIN firmware is being updated."
BUSY = "is already running"
ABORTED = "KORVELIN update aborted."
COMPLETED = "When the charge icon is displayed"
FAILED = "Failed to update the KORVELIN."
RUN_SECONDS = 240

FONT_KEYS = r"""REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="Noto Sans CJK JP"
"SimSun"="Noto Sans CJK SC"
"PMingLiU"="Noto Sans CJK TC"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"""


def start_display():
    """Xvfb on a free display number; (process, display) or (None, None)."""
    for n in range(90, 141):
        if os.path.exists(f"/tmp/.X{n}-lock"):
            continue
        server = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1280x1024x24",
                                   "-nolisten", "tcp", "-noreset"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(50):
            if os.path.exists(f"/tmp/.X11-unix/X{n}") or server.poll() is not None:
                break
            time.sleep(0.1)
        if server.poll() is None and os.path.exists(f"/tmp/.X11-unix/X{n}"):
            return server, f":{n}"
        server.wait()
    return None, None


class Desktop:
    def __init__(self, args, wine, display):
        self.args = args
        self.wine = wine
        # Every Wine program of the prefix sees the display, the HID probe too: the first one
        # to start the prefix's desktop decides for all of them whether there is a display.
        wine.env["DISPLAY"] = display
        self.env = dict(wine.env, FIRMUPDATER_TEST_MAX_PAUSE_MS="50")
        self.env.pop("FIRMUPDATER_UI", None)
        reg = os.path.join(args.work, "desktop.reg")
        with open(reg, "w") as f:
            f.write(FONT_KEYS)
        subprocess.run(["wine", "regedit", "/S", reg], env=self.env, capture_output=True,
                       timeout=hid.WINE_STEP_SECONDS)
        os.makedirs(args.screenshots, exist_ok=True)

    def start(self, *arguments):
        return subprocess.Popen(["wine", self.args.firmupdater, ENGLISH] + list(arguments),
                                env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    def press(self, text, button, shot):
        """Waits for the window showing `text`, presses `button` (0: none); its report."""
        path = "Z:" + os.path.join(os.path.abspath(self.args.screenshots), f"e2e-{shot}.bmp")
        done = subprocess.run(["wine", self.args.driver, "press", text, str(button), path],
                              env=self.env, capture_output=True, text=True, timeout=120)
        report = done.stdout.replace("\r\n", "\n")
        return done.returncode == 0, report + done.stderr

    def finish(self, program):
        try:
            program.wait(timeout=RUN_SECONDS)
            return program.returncode
        except subprocess.TimeoutExpired:
            program.kill()
            program.wait()
            return "hung"

    def convert_screenshots(self):
        for name in os.listdir(self.args.screenshots):
            if name.startswith("e2e-") and name.endswith(".bmp"):
                bmp = os.path.join(self.args.screenshots, name)
                subprocess.run(["convert", bmp, bmp[:-4] + ".png"], capture_output=True)
                os.remove(bmp)


def showing(report, text, state):
    """Whether the driver's report lists a dialog with this text in this state."""
    return any(text in line and f"[{state}]" in line for line in report.splitlines())


def gui_steps(args, desktop, bus, watches, checks):
    wine = desktop.wine
    image = os.path.join(args.work, "update.img")
    shutil.copyfile(args.image, image)
    bus.want(1, False)
    hid.listed(wine, args.probe, 1)

    first = desktop.start(image)
    found, report = desktop.press(CONFIRM, 0, "confirm")
    checks.expect(found, "the confirmation dialog shows", report)
    second = desktop.start(image)
    found, report = desktop.press(BUSY, 1, "busy")
    checks.expect(found, "a second copy reports that the tool is busy (220)", report)
    code = desktop.finish(second)
    checks.expect(code == 1, "the second copy ends with 1", f"exit {code}")
    found, report = desktop.press(CONFIRM, 2, "confirm-no")
    found, report = desktop.press(ABORTED, 1, "aborted")
    checks.expect(found, "No: the update is aborted (212)", report)
    code = desktop.finish(first)
    checks.expect(code == 1, "after No the run ends with 1", f"exit {code}")

    program = desktop.start(image)
    found, report = desktop.press(CONFIRM, 1, "confirm-yes")
    checks.expect(found and showing(report, CONFIRM, "enabled"),
                  "Yes in the confirmation dialog", report)
    found, report = desktop.press(COMPLETED, 1, "completed")
    checks.expect(found, "the update completes (210)", report)
    code = desktop.finish(program)
    checks.expect(code == 0, "after 210 the run ends with 0", f"exit {code}")
    checks.expect(watches[0].version() == args.version,
                  f"the watch comes back at {args.version}", watches[0].version())

    bus.want(0, False)
    bus.want(1, True)
    hid.listed(wine, args.probe, 1)
    program = desktop.start(image)
    desktop.press(CONFIRM, 1, "failing-confirm-yes")
    found, report = desktop.press(FAILED, 0, "failed")
    checks.expect(found and showing(report, PROGRESS, "disabled") and
                  showing(report, CONFIRM, "disabled"),
                  "a failed update: 225 over both dialogs", report)
    time.sleep(0.5)
    checks.expect(program.poll() is None, "the run waits for 225 to be answered")
    desktop.press(FAILED, 1, "failed-ok")
    code = desktop.finish(program)
    checks.expect(code == 1, "after 225 the run ends with 1", f"exit {code}")


def inner(args):
    checks = hid.Checks()
    bus = None
    watches = []
    wine = None
    server = None
    desktop = None
    try:
        server, display = start_display()
        if server is None:
            raise RuntimeError("no X server could be started")
        bus = hid.Bus(args.work)
        watches.append(hid.Watch(args, args.work, "good", ["--reboot-delay-ms", "300"]))
        watches.append(hid.Watch(args, args.work, "failing", ["--fault", "write:error=0x0005"]))
        for index, watch in enumerate(watches):
            bus.add(watch.node, f"watch{index}")
        bus.start()
        wine = hid.Wine(args.prefix)
        desktop = Desktop(args, wine, display)
        gui_steps(args, desktop, bus, watches, checks)
    except (RuntimeError, OSError, subprocess.SubprocessError) as e:
        checks.expect(False, "harness set-up", str(e))
    finally:
        if wine:
            wine.stop()
        if bus:
            bus.stop()
        for watch in watches:
            watch.stop()
        if server:
            server.terminate()
            server.wait()
        if desktop:
            desktop.convert_screenshots()
    return 1 if checks.failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--probe", required=True, help="windows_hid_probe.exe")
    parser.add_argument("--driver", required=True, help="win32_driver.exe")
    parser.add_argument("--watchsim", required=True, help="the Linux watchsim program")
    parser.add_argument("--prefix", required=True, help="a Wine prefix of this test's own")
    parser.add_argument("--firmupdater", required=True, help="firmupdater.exe")
    parser.add_argument("--image", required=True, help="the image firmupdater.exe is given")
    parser.add_argument("--version", default="01.30", help="the image's firmware version")
    parser.add_argument("--screenshots", required=True, help="where the screenshots go")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    parser.add_argument("--work", help=argparse.SUPPRESS)
    args = parser.parse_args()
    if args.inner:
        return inner(args)
    reason = hid.reasons_to_skip(args) or (
        None if shutil.which("Xvfb") else "Xvfb is not installed")
    if reason:
        say(f"SKIPPED: the Wine desktop test {reason}")
        return hid.SKIP
    work = tempfile.mkdtemp(prefix="fu_winegui_")
    command = ["unshare", "--mount", "--propagation", "private", sys.executable,
               os.path.abspath(__file__), "--inner", "--work", work, "--version", args.version]
    for name in ("probe", "driver", "watchsim", "prefix", "firmupdater", "image",
                 "screenshots"):
        command += ["--" + name, os.path.abspath(getattr(args, name))]
    try:
        return subprocess.run(command).returncode
    finally:
        hid.remove_work(work)


if __name__ == "__main__":
    sys.exit(main())
