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
mount namespaces, no Wine, no watchsim. --measure runs only the 512 KiB write against a
watch that spends 1 ms per report and prints the time as a ratio to that link bound.
"""

import os
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
    checks = Checks()
    with Setup(args) as setup:
        try:
            if args.measure:
                setup.start([("paced", ["--latency-us", "1000"], True)])
                measure_steps(args, setup.wine, checks)
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
                        help="only time a paced 512 KiB flash write")
    args = parser.parse_args()
    check_image_arguments(parser, args)
    if args.inner:
        return inner(args)
    reason = reasons_to_skip(args)
    if reason:
        say(f"SKIPPED: the Wine HID harness {reason}")
        return SKIP
    options = ["--version", args.version] + (["--measure"] if args.measure else [])
    return run_inside(__file__, args, ("probe", "watchsim", "prefix", "firmupdater", "image",
                                       "fwimage", "manifest"), options)


if __name__ == "__main__":
    sys.exit(main())
