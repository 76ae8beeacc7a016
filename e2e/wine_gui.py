#!/usr/bin/env python3
"""firmupdater.exe's desktop interface under Wine, against virtual watches.

Runs the real program as a Windows user would see it: Wine on a private X server, the
watches on Wine's HID bus in a private mount namespace (wine_setup.py), the program's
windows found by the texts they show and answered by win32_driver.exe. Each step saves a
screenshot to --screenshots. The program is started without FIRMUPDATER_UI: the desktop
interface must be its own choice.

* a second copy started while the first shows the confirmation dialog reports that the tool
  is busy (220; the named mutex and FindWindowW across two Wine processes) and ends with 1;
  the first, answered No, reports 212 and ends with 1;
* Yes: the update runs, 210 is shown, exit 0, the watch comes back at the image's version;
* a watch whose flash writes fail: 225 shows over the progress dialog (disabled beneath it;
  the confirmation dialog hidden while the progress dialog is up), and
  the run ends with 1 once it is answered.

Exits 77 (skipped) where the set-up cannot run (root, FUSE, namespaces, Wine, watchsim), or
without Xvfb.
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # no byte code beside the sources
import wine_setup  # noqa: E402

say = wine_setup.say
ENGLISH = "/l:1033"
CONFIRM = "An updatable KORVELIN has been found."
PROGRESS = "The KORVELIN firmware is being updated."
BUSY = "is already running"
ABORTED = "KORVELIN update aborted."
COMPLETED = "When the charge icon is displayed"
FAILED = "Failed to update the KORVELIN."
# How long a run may take, and a dialog that follows an update (on a loaded machine); how
# long any other dialog may take to come.
RUN_SECONDS = 120
SHOW_SECONDS = 60

FONT_KEYS = r"""REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="Noto Sans CJK JP"
"SimSun"="Noto Sans CJK SC"
"PMingLiU"="Noto Sans CJK TC"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"""


def start_display():
    """Xvfb on a display number it picks itself; (process, display) or (None, None)."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                               "1280x1024x24", "-nolisten", "tcp", "-noreset"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              pass_fds=[write_end])
    os.close(write_end)
    # The server writes its number once it takes connections; nothing if it fails.
    with os.fdopen(read_end) as numbers:
        number = numbers.readline().strip()
    if not number:
        server.wait()
        return None, None
    return server, f":{number}"


class Desktop:
    def __init__(self, args, wine):
        self.args = args
        self.wine = wine
        self.env = dict(wine.env, FIRMUPDATER_TEST_MAX_PAUSE_MS="50")
        self.env.pop("FIRMUPDATER_UI", None)
        reg = os.path.join(args.work, "desktop.reg")
        with open(reg, "w") as f:
            f.write(FONT_KEYS)
        # Windows programs here get no pipe: the prefix's desktop process starts with the
        # first window after a quiet spell and keeps that program's standard handles, so a
        # pipe would stay open behind it. Output goes to files, and a run ends when its
        # program does.
        subprocess.run(["wine", "regedit", "/S", reg], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=wine_setup.WINE_STEP_SECONDS)
        os.makedirs(args.screenshots, exist_ok=True)

    def start(self, *arguments):
        return subprocess.Popen(["wine", self.args.firmupdater, ENGLISH] + list(arguments),
                                env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def press(self, text, button, shot, seconds=SHOW_SECONDS):
        """Waits for the window showing `text`, presses `button` (0: none); whether it came,
        and the driver's report."""
        path = "Z:" + os.path.join(os.path.abspath(self.args.screenshots), f"e2e-{shot}.bmp")
        bound = seconds + 30  # the driver's own bound, and its start
        with tempfile.TemporaryFile("w+") as out:
            try:
                done = subprocess.run(["wine", self.args.driver, "press", text, str(button),
                                       path, str(seconds)], env=self.env,
                                      stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                      timeout=bound)
                found = done.returncode == 0
            except subprocess.TimeoutExpired:
                found = False
                out.write(f"win32_driver.exe did not end within {bound} s\n")
            out.seek(0)
            return found, out.read().replace("\r\n", "\n")

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


def trace_tail(args, lines=6):
    """The last reports between the program and the first watch."""
    try:
        with open(os.path.join(args.work, "good", "trace.txt")) as f:
            return "\nlast reports:\n" + "".join(f.readlines()[-lines:])
    except OSError:
        return ""


def gui_steps(args, desktop, setup, checks):
    wine, bus, watches = setup.wine, setup.bus, setup.watches
    image = wine_setup.update_image(args, wine, checks)
    if not image:
        return
    lines = wine_setup.listed(wine, args.probe, 1, showing=["watch0"])
    checks.expect(len(lines) == 1, "one watch on the bus", "\n".join(lines))

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
    found, report = desktop.press(COMPLETED, 1, "completed", RUN_SECONDS)
    if not found:
        # What shows instead (a failure box, or nothing: a program that does not end), for
        # the report; then the program is ended so that the rest still runs and reports.
        _, instead = desktop.press(FAILED, 0, "completed-missing", 5)
        report += "\ninstead of 210:\n" + instead
        program.kill()
    checks.expect(found, "the update completes (210)", report + trace_tail(args))
    code = desktop.finish(program)
    checks.expect(code == 0, "after 210 the run ends with 0", f"exit {code}")
    # The watch takes the new version when it comes back from its reboot, which may be
    # after the program has ended.
    version = wine_setup.wait_for(lambda: watches[0].version() == args.version, 10,
                                  lambda: watches[0].version())
    checks.expect(version == args.version, f"the watch comes back at {args.version}", version)

    # The failing watch takes the place of the first. Wine's bus may miss a node that comes
    # while another leaves: the prefix restarts and lists the bus afresh.
    bus.want(0, False)
    bus.want(1, True)
    wine.restart()
    lines = wine_setup.listed(wine, args.probe, 1, showing=["watch1"])
    if not checks.expect(len(lines) == 1 and "&watch1&" in lines[0],
                         "the failing watch alone on the bus", "\n".join(lines)):
        return
    program = desktop.start(image)
    found, report = desktop.press(CONFIRM, 1, "failing-confirm-yes")
    checks.expect(found, "Yes in the confirmation dialog of the failing watch", report)
    found, report = desktop.press(FAILED, 0, "failed", RUN_SECONDS)
    checks.expect(found and showing(report, PROGRESS, "disabled") and CONFIRM not in report,
                  "a failed update: 225 over the progress dialog, the confirmation hidden",
                  report)
    checks.expect(program.poll() is None, "the run waits for 225 to be answered")
    found, report = desktop.press(FAILED, 1, "failed-ok")
    code = desktop.finish(program)
    checks.expect(found and code == 1, "after 225 the run ends with 1", f"exit {code}")


def inner(args):
    checks = wine_setup.Checks()
    server = None
    desktop = None
    try:
        with wine_setup.Setup(args) as setup:
            try:
                server, display = start_display()
                if server is None:
                    raise RuntimeError("no X server could be started")
                trace = os.path.join(args.work, "good", "trace.txt")
                setup.start([("good", ["--reboot-delay-ms", "300", "--trace", trace], True),
                             ("failing", ["--fault", "write:error=0x0005"], False)], display)
                desktop = Desktop(args, setup.wine)
                gui_steps(args, desktop, setup, checks)
            except (RuntimeError, OSError, subprocess.SubprocessError) as e:
                checks.expect(False, "harness set-up", str(e))
    finally:
        if server:
            server.terminate()
            server.wait()
        if desktop:
            desktop.convert_screenshots()
    return 1 if checks.failures else 0


def main():
    parser = wine_setup.argument_parser(__doc__.splitlines()[0])
    parser.add_argument("--driver", required=True, help="win32_driver.exe")
    parser.add_argument("--screenshots", required=True, help="where the screenshots go")
    args = parser.parse_args()
    wine_setup.check_image_arguments(parser, args, program_needed=True)
    if args.inner:
        return inner(args)
    reason = wine_setup.reasons_to_skip(args) or (
        None if shutil.which("Xvfb") else "Xvfb is not installed")
    if reason:
        say(f"SKIPPED: the Wine desktop test {reason}")
        return wine_setup.SKIP
    return wine_setup.run_inside(__file__, args, ("probe", "driver", "watchsim", "prefix",
                                           "firmupdater", "image", "fwimage", "manifest",
                                           "screenshots"),
                          ["--version", args.version])


if __name__ == "__main__":
    sys.exit(main())
