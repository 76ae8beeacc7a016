#!/usr/bin/env python3
"""firmupdater's windows answer other programs' messages under Wine.

A program that broadcasts with SendMessage (a setting change, DDE when the shell opens a
document) waits for every top-level window there is. windows_answer_probe.exe, a second
Windows process, finds the tool's window by its title and sends WM_NULL to every top-level
window of the tool's process with a bound of 2 s, as such a program does; each must answer.

* --at-prompt: firmupdater.exe in the terminal interface and its console twin firmupdater.com
  wait at a prompt (message 231: no image given), their input held open; both end with 1
  once the input closes. With --fwimage and --manifest, the console twin also waits at the
  prompt for a watch, holding the uploader lock, while firmupdater.exe started meanwhile
  finds its window and reports that the tool is busy (220). Needs only Wine, in the prefix
  of the build folder.
* otherwise: firmupdater.exe updates a watch on Wine's HID bus (wine_setup.py), paced at
  1 ms a report, and the probe sends from the confirmation dialog until the program's
  dialogs have gone: in the terminal interface, then (with --driver) once more forced (/f)
  in the desktop interface, its buttons pressed by win32_driver.exe on Wine's null display.
  Exits 77 (skipped) where that set-up cannot run (root, FUSE, namespaces, Wine, watchsim).
"""

import argparse
import os
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # no byte code beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_setup  # noqa: E402

TITLE = "KORVELIN firmware update tool"
ENGLISH = "/l:1033"
PROBE_SECONDS = 60
CONFIRM = "An updatable KORVELIN has been found."
COMPLETED = "When the charge icon is displayed"
BUSY = "is already running"


def summary(probe_output):
    """The probe's summary line, as a dict of its figures."""
    for line in probe_output.splitlines():
        words = line.split()
        if words[:1] == ["windows"] and len(words) >= 8:
            return {"windows": int(words[1]), "sent": int(words[3]),
                    "answered": int(words[5]), "slowest ms": float(words[7])}
    return None


def exit_status(process):
    """The process's exit status once it has ended, or "hung" (it is killed then)."""
    try:
        return process.wait(timeout=wine_setup.WINE_STEP_SECONDS)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        return "hung"


def run_beside(wine, program, arguments, env, probe, rounds, answers=None, meanwhile=None):
    """Starts `program`, and the probe beside it; (the program's exit status or "hung", its
    output, the probe's exit status, the probe's output). The program is given `answers` as
    its whole input at once; without, its input stays open until the probe and `meanwhile`
    have ended."""
    with tempfile.TemporaryFile() as out:
        # Output to files, not pipes: Wine's desktop process may start with a program's window
        # and keep its standard handles.
        tool = subprocess.Popen(wine + [program] + arguments, env=env, stdin=subprocess.PIPE,
                                stdout=out, stderr=out)
        if answers is not None:
            tool.stdin.write(answers.encode())
            tool.stdin.close()
        with tempfile.TemporaryFile("w+") as probed:
            probe_code = exit_status(subprocess.Popen(
                wine + [probe, TITLE, str(PROBE_SECONDS), str(rounds)], env=env,
                stdin=subprocess.DEVNULL, stdout=probed, stderr=probed))
            probed.seek(0)
            probe_out = probed.read()
        if meanwhile:
            meanwhile()
        if answers is None:
            tool.stdin.close()
        code = exit_status(tool)
        out.seek(0)
        shown = out.read().decode(errors="replace").replace("\r\n", "\n")
    return code, shown, probe_code, probe_out


def at_prompt(args):
    checks = wine_setup.Checks()
    env = dict(os.environ, WINEDEBUG="-all", FIRMUPDATER_UI="terminal", LANG="C", LC_ALL="")
    programs = [args.firmupdater] + ([args.console] if args.console else [])
    for program in programs:
        name = os.path.basename(program)
        code, shown, probe_code, probe_out = run_beside([args.wine_run], program, [ENGLISH],
                                                        env, args.answer_probe, 5)
        figures = summary(probe_out)
        wine_setup.say(f"      {name} at the prompt: {probe_out.strip()}")
        checks.expect(probe_code == 0 and figures and figures["sent"] >= 5,
                      f"{name}: every window answers while the program waits at a prompt",
                      probe_out + shown)
        checks.expect(code == 1, f"{name} ends with 1 once its input closes",
                      f"exit {code}\n{shown}")
    if args.fwimage and args.manifest:
        busy_at_prompt(args, env, checks)
    return 1 if checks.failures else 0


def busy_at_prompt(args, env, checks):
    """The first copy waits at the prompt for a watch, holding the uploader lock; a second
    copy finds its window by title and reports that the tool is busy."""
    with tempfile.TemporaryDirectory() as work:
        image = os.path.join(work, "update.img")
        done = subprocess.run([args.wine_run, args.fwimage, "build", args.manifest, image],
                              env=env, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                              timeout=wine_setup.WINE_STEP_SECONDS)
        if not checks.expect(done.returncode == 0, "fwimage.exe builds the image",
                             done.stdout + done.stderr):
            return
        second = {}
        argument = wine_setup.windows_path(image)

        def second_copy():
            with tempfile.TemporaryFile() as out:
                second["code"] = exit_status(subprocess.Popen(
                    [args.wine_run, args.firmupdater, ENGLISH, argument], env=env,
                    stdin=subprocess.DEVNULL, stdout=out, stderr=out))
                out.seek(0)
                second["shown"] = out.read().decode(errors="replace").replace("\r\n", "\n")

        first = args.console or args.firmupdater
        code, shown, probe_code, probe_out = run_beside(
            [args.wine_run], first, [ENGLISH, argument], env, args.answer_probe, 5,
            meanwhile=second_copy)
    wine_setup.say(f"      waiting for a watch: {probe_out.strip()}")
    checks.expect(probe_code == 0, "every window answers while the program waits for a watch",
                  probe_out + shown)
    checks.expect(second["code"] == 1 and BUSY in second["shown"],
                  "a second copy meanwhile reports that the tool is busy (220), exit 1",
                  f"exit {second['code']}\n{second['shown']}")
    checks.expect(code == 1, "the first copy ends with 1 once its input closes",
                  f"exit {code}\n{shown}")


def press(args, env, text, seconds):
    """win32_driver.exe presses button 1 (Yes, OK) of the dialog showing `text`."""
    # No picture: Wine's null display draws nothing, the buttons are checked through the window.
    shot = "-"
    # Output to a file: a pipe may stay open behind the driver in Wine's desktop process.
    with tempfile.TemporaryFile("w+") as out:
        try:
            done = subprocess.run(["wine", args.driver, "press", text, "1", shot, str(seconds)],
                                  env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                  timeout=seconds + 60)
            pressed = done.returncode == 0
        except subprocess.TimeoutExpired:
            pressed = False
            out.write(f"win32_driver.exe did not end within {seconds + 60} s\n")
        out.seek(0)
        return pressed, out.read()


def desktop_update(args, wine, image, checks):
    # The watch comes back from the first update; Wine's bus may miss it without a restart.
    wine.restart()
    lines = wine_setup.listed(wine, args.probe, 1)
    if not checks.expect(len(lines) == 1, "the updated watch back on the bus", "\n".join(lines)):
        return
    env = dict(wine.env)
    env.pop("FIRMUPDATER_UI", None)
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile("w+") as probed:
        tool = subprocess.Popen(["wine", args.firmupdater, ENGLISH, "/f", image], env=env,
                                stdin=subprocess.DEVNULL, stdout=out, stderr=out)
        probe = subprocess.Popen(["wine", args.answer_probe, TITLE, str(PROBE_SECONDS), "100000"],
                                 env=env, stdin=subprocess.DEVNULL, stdout=probed,
                                 stderr=probed)
        confirmed, report = press(args, env, CONFIRM, PROBE_SECONDS)
        checks.expect(confirmed, "desktop: Yes in the confirmation dialog", report)
        completed, report = press(args, env, COMPLETED, wine_setup.WINE_STEP_SECONDS)
        checks.expect(completed, "desktop: the update completes (210)", report)
        code = exit_status(tool)
        # The probe ends once the program's windows have gone.
        probe_code = exit_status(probe)
        probed.seek(0)
        probe_out = probed.read()
    figures = summary(probe_out)
    wine_setup.say(f"      desktop, during the update: {probe_out.strip()}")
    checks.expect(code == 0, "desktop: exit 0", f"exit {code}")
    checks.expect(probe_code == 0 and figures and figures["sent"] >= 20,
                  "desktop: every window answers from the confirmation to the last box",
                  probe_out)


def inner(args):
    checks = wine_setup.Checks()
    with wine_setup.Setup(args) as setup:
        try:
            setup.start([("paced", ["--latency-us", "1000"], True)])
            wine = setup.wine
            lines = wine_setup.listed(wine, args.probe, 1)
            checks.expect(len(lines) == 1, "one paced watch on the bus", "\n".join(lines))
            image = wine_setup.update_image(args, wine, checks)
            if image:
                # Probing until the program's last window has gone, 100 ms apart.
                code, shown, probe_code, probe_out = run_beside(
                    ["wine"], args.firmupdater, [ENGLISH, image], wine.env,
                    args.answer_probe, 100000, answers="y\n")
                figures = summary(probe_out)
                wine_setup.say(f"      during the update: {probe_out.strip()}")
                checks.expect(code == 0 and "the update is complete" in shown,
                              "the update completes, exit 0", f"exit {code}\n{shown}")
                checks.expect(probe_code == 0 and figures and figures["sent"] >= 20,
                              "every window answers from the confirmation to the last box",
                              probe_out)
                if args.driver:
                    desktop_update(args, wine, image, checks)
        except (RuntimeError, OSError, subprocess.SubprocessError) as e:
            checks.expect(False, "harness set-up", str(e))
    return 1 if checks.failures else 0


def main():
    if "--at-prompt" in sys.argv:
        parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
        parser.add_argument("--at-prompt", action="store_true")
        parser.add_argument("--wine-run", required=True, help="scripts/wine-run")
        parser.add_argument("--firmupdater", required=True, help="firmupdater.exe")
        parser.add_argument("--console", help="firmupdater.com")
        parser.add_argument("--answer-probe", required=True, help="windows_answer_probe.exe")
        parser.add_argument("--fwimage", help="fwimage.exe, for the prompt for a watch")
        parser.add_argument("--manifest", help="the manifest of the image it builds")
        return at_prompt(parser.parse_args())
    parser = wine_setup.argument_parser(__doc__.splitlines()[0])
    parser.add_argument("--answer-probe", "--answer_probe", dest="answer_probe", required=True,
                        help="windows_answer_probe.exe")
    parser.add_argument("--driver", help="win32_driver.exe, for the desktop interface")
    args = parser.parse_args()
    wine_setup.check_image_arguments(parser, args, program_needed=True)
    if args.inner:
        return inner(args)
    reason = wine_setup.reasons_to_skip(args)
    if reason:
        wine_setup.say(f"SKIPPED: the Wine answer test {reason}")
        return wine_setup.SKIP
    return wine_setup.run_inside(__file__, args, ("probe", "answer_probe", "driver", "watchsim",
                                                  "prefix", "firmupdater", "image", "fwimage",
                                                  "manifest"), ["--version", args.version])


if __name__ == "__main__":
    sys.exit(main())
