#!/usr/bin/env python3
"""The Win32 HID path under Wine, against virtual watches.

The watches sit on Wine's HID bus in a private mount namespace (wine_setup.py). In a Wine
prefix of the harness's own:

* the probe (windows_hid_probe.exe): two watches listed in the set-up interface's order;
  a handshake, a 512 KiB flash write (checked against the watch's flash file) and a short
  read back on the first; an unanswered read on the second, cancelled at its time-out, after
  which the same handle still carries a handshake;
* firmupdater.exe in terminal mode, when given: the update answered with Yes ends with the
  completion box and exit 0, the watch comes back at the image's version, and a second run
  finds nothing to do.

Exits 77 (skipped) with a message where the machine cannot do this: not root, no FUSE, no
mount namespaces, no Wine, no watchsim.

--measure runs only flash writes against a watch that spends 1 ms per report: 16 rounds of
a 128 KiB write, each through the tool's transport and through a minimal Win32 writer (one
handle, one event per direction; the same framing), in turns, and prints the time per report
of each, their ratio, and the ratio to that link bound.

--standins DIR (with --firmupdater and --console) checks where the HID and set-up libraries
come from: the stand-in hid.dll and setupapi.dll of DIR, which leave a mark when loaded, are
put beside a copy of each program; neither may be loaded, and each program must still find
the watch (it asks whether to update, and is told No). That the stand-in hid.dll is loaded
there by a plain LoadLibrary is shown first, beside the probe.
"""

import os
import shutil
import subprocess
import sys

sys.dont_write_bytecode = True  # no byte code beside the sources
# The set-up, under the names other scripts know it by here.
from wine_setup import (PRODUCT, SKIP, VENDOR, WINE_STEP_SECONDS, Bus, Checks,  # noqa: E402,F401
                        Setup, Watch, Wine, argument_parser, check_image_arguments, listed,
                        reasons_to_skip, remove_work, run_inside, say, update_image)

FLASH_ADDRESS = 0x80000
WRITE_KIB = 512
SILENT_TIMEOUT_MS = 500
# Many short writes in turns rather than a few long ones: on a shared machine the load
# drifts within seconds, and each pair of writes should meet the same load.
MEASURE_KIB = 128
MEASURE_ROUNDS = 16
STAND_INS = ("hid.dll", "setupapi.dll")


def expected_flash(length):
    return bytes(((i * 131) ^ (i >> 9)) & 0xFF for i in range(length))


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
    image = update_image(args, wine, checks)
    if not image:
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
    code, out, err = wine.run([args.probe, "measure", "0", str(MEASURE_KIB), str(MEASURE_ROUNDS)],
                              timeout=MEASURE_ROUNDS * 2 * 60)
    if not checks.expect(code == 0, f"{MEASURE_KIB} KiB flash write, 1 ms per report, "
                         f"{MEASURE_ROUNDS} rounds of the tool and the baseline",
                         f"exit {code}\n{out}{err}"):
        return
    times = {"tool": [], "baseline": []}
    for line in out.splitlines():
        name, _, value = line.partition(" ms: ")
        if name in times:
            times[name].append(float(value))
    tool, baseline = times["tool"], times["baseline"]
    # The request: a 5-byte header, address and length (4 bytes each), then the data, in
    # 65-byte reports (the probe's session checks that length).
    reports = -(-(MEASURE_KIB * 1024 + 13) // (65 - 3))
    for name, values in times.items():
        say(f"      {name:8}: " + " ".join(f"{t / reports:.3f}" for t in values) +
            f" ms a report; median {median(values) / reports:.3f}")
    ratios = [t / b for t, b in zip(tool, baseline)]
    say(f"      {reports} reports a write; tool/baseline: median of the rounds' ratios "
        f"{median(ratios):.3f}, ratio of the medians {median(tool) / median(baseline):.3f}, "
        f"of the sums {sum(tool) / sum(baseline):.3f}; against the 1 ms link bound: tool "
        f"{median(tool) / reports:.2f}, baseline {median(baseline) / reports:.2f}")


def median(values):
    ordered = sorted(values)
    middle = len(ordered) // 2
    return ordered[middle] if len(ordered) % 2 else (ordered[middle - 1] + ordered[middle]) / 2


def marks(folder):
    return sorted(name for name in os.listdir(folder) if name.endswith(".loaded"))


def beside_stand_ins(args, program, folder_name, companions=()):
    """A copy of `program` (and of the programs it starts) in a new folder of the work
    directory, beside the stand-ins."""
    folder = os.path.join(args.work, folder_name)
    os.makedirs(folder)
    for name in STAND_INS:
        shutil.copy(os.path.join(args.standins, name), folder)
    for companion in companions:
        shutil.copy(companion, folder)
    copy = os.path.join(folder, os.path.basename(program))
    shutil.copy(program, copy)
    return folder, copy


def dll_search_steps(args, wine, checks):
    lines = listed(wine, args.probe, 1)
    checks.expect(len(lines) == 1, "one watch listed", "\n".join(lines))
    # Wine loads its own setupapi.dll whatever lies beside a program; a stand-in hid.dll
    # there is loaded, as on Windows.
    folder, probe = beside_stand_ins(args, args.probe, "plain-search")
    code, out, err = wine.run([probe, "load", "hid.dll"])
    checks.expect(marks(folder) == ["hid.dll.loaded"],
                  "a plain LoadLibrary beside the probe loads the stand-in hid.dll",
                  f"exit {code}\n{out}{err}")
    image = update_image(args, wine, checks)
    if not image:
        return
    # The console twin starts firmupdater.exe from its own folder.
    for program, companions in ((args.firmupdater, ()), (args.console, (args.firmupdater,))):
        name = os.path.basename(program)
        folder, copy = beside_stand_ins(args, program, "beside-" + name, companions)
        code, out, err = wine.run([copy, image], stdin="n\n", timeout=300)
        checks.expect("Do you want to update the firmware?" in out and code == 1,
                      f"{name} beside stand-ins finds the watch, asks, and ends at No",
                      f"exit {code}\n{out}{err}")
        checks.expect(not marks(folder), f"{name} loads no stand-in", " ".join(marks(folder)))


def inner(args):
    checks = Checks()
    with Setup(args) as setup:
        try:
            if args.measure:
                setup.start([("paced", ["--latency-us", "1000"], True)])
                measure_steps(args, setup.wine, checks)
            elif args.standins:
                setup.start([("first", [], True)])
                dll_search_steps(args, setup.wine, checks)
            else:
                setup.start([("first", [], True),
                             ("second", ["--reboot-delay-ms", "300"], True)])
                probe_steps(args, setup.wine, setup.watches, checks)
                if args.firmupdater:
                    updater_steps(args, setup.wine, setup.bus, setup.watches, checks)
        except (RuntimeError, OSError, subprocess.SubprocessError) as e:
            checks.expect(False, "harness set-up", str(e))
    watches = setup.watches
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
    parser = argument_parser(__doc__.splitlines()[0])
    parser.add_argument("--measure", action="store_true",
                        help="only time a paced 512 KiB flash write, the tool's and a baseline")
    parser.add_argument("--standins", help="only check that the stand-in hid.dll and "
                        "setupapi.dll of this folder are never loaded by the programs")
    parser.add_argument("--console", help="firmupdater.com, checked with --standins")
    args = parser.parse_args()
    check_image_arguments(parser, args)
    if args.standins and not (args.firmupdater and args.console):
        parser.error("--standins needs --firmupdater and --console")
    if args.inner:
        return inner(args)
    reason = reasons_to_skip(args)
    if reason:
        say(f"SKIPPED: the Wine HID harness {reason}")
        return SKIP
    options = ["--version", args.version] + (["--measure"] if args.measure else [])
    return run_inside(__file__, args, ("probe", "watchsim", "prefix", "firmupdater", "image",
                                       "fwimage", "manifest", "standins", "console"), options)


if __name__ == "__main__":
    sys.exit(main())
