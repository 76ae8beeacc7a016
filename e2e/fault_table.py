#!/usr/bin/env python3
"""Faults injected by the virtual watch, against the real firmupdater binary.

Each case mounts its own `watchsim serve` node directory with one fault, runs firmupdater in
terminal mode on the sample image with the answers piped in, and checks: the exit code is 0
or 1 (no signal, no crash), the run ends within the bound its waits allow, the last box
is the expected one, and the trace shows no step of the update after the request that
failed. Every case stops its server and removes its mount, whatever happens. The cases
run in parallel; the table of outcomes is written as Markdown to --out.

All waits are the tool's real ones: 10 s per report time-out, 3 s retry pauses.
"""

import argparse
import concurrent.futures
import os
import shutil
import subprocess
import sys
import tempfile
import time

from harness import (SERVE_START_SECONDS, final_box, message_id, run_program, stop_server,
                     updater_environment, wait_for_node)

REPORT_TIMEOUT = 10.0
RETRY_PAUSE = 3.0
# Connection, queries and the transfer of the sample image through FUSE, with room for a
# loaded machine running the cases side by side.
BASE_SECONDS = 20.0
# Far beyond any case's run: the watch that drops off the bus stays away.
NEVER_MS = "600000"

# Request codes as they appear in the first report of a request (after the report number,
# the flags and the length bytes).
UPDATE_STEPS = {0x21, 0x30, 0x31, 0x32, 0x41, 0x42, 0x44}
CODES = {"erase": 0x42, "write": 0x41, "set": 0x21, "cmd30": 0x30, "get": 0x20}

# name, fault plan, extra serve options, expected exit, expected message,
# failing request kind (None: the update goes through), silent attempts, retry pauses
CASES = [
    ("no fault", None, [], 0, 210, None, 0, 0),
    ("silence on sector erase", "erase:silent", [], 1, 225, "erase", 3, 2),
    ("silence on flash write", "write:silent", [], 1, 225, "write", 3, 2),
    ("silence on the 0x1600 block", "set@0x1600:silent", [], 1, 225, "set", 3, 2),
    ("silence on command 0x30", "cmd30:silent", [], 1, 225, "cmd30", 3, 2),
    ("error reply to flash write", "write:error=0x0013", [], 1, 225, "write", 0, 2),
    ("wrong reply code to sector erase", "erase:code=0x55", [], 1, 225, "erase", 0, 2),
    ("zero-length reply to flash write", "write:zerolen", [], 1, 225, "write", 0, 2),
    ("reply without start flag to erase", "erase:nostart", [], 1, 225, "erase", 0, 2),
    ("non-zero status on the 0x1600 block", "set@0x1600:status=1", [], 1, 225, "set", 0, 2),
    ("unplug as the 0x1600 block goes out", "set@0x1600:drop=0", [], 1, 225, "set", 0, 2),
    ("unplug in the middle of a two-report reply", "get@0x1100:drop=1", [], 1, 222, "get",
     0, 2),
    ("another watch after a reconnection",
     "set@0x1600:drop=0,open#3-:hwtext=ORNA-HWREV1-712E",
     [], 1, 225, "set", 0, 2),
    ("watch never comes back", "write:drop=0", ["--reboot-delay-ms", NEVER_MS], 1, 225,
     "write", 0, 2),
]


def bound(silent, pauses):
    return BASE_SECONDS + silent * REPORT_TIMEOUT + pauses * RETRY_PAUSE


def request_codes(trace_path):
    """Command codes of the requests the host sent, in order (first report of each)."""
    codes = []
    try:
        with open(trace_path) as trace:
            for line in trace:
                if not line.startswith("> "):
                    continue
                report = bytes.fromhex(line[2:].strip().replace(" ", ""))
                if len(report) > 3 and report[1] & 0x80:
                    codes.append(report[3])
    except FileNotFoundError:
        pass
    return codes


def run_updater(args, mount, work, timeout):
    env = updater_environment(work, {"FIRMUPDATER_HIDRAW_DIR": mount})
    code, output, errors, _ = run_program([args.firmupdater, args.image], env, "y\n",
                                          timeout)
    return code, output, errors


def run_case(case, args):
    name, fault, extra, want_exit, want_message, failing, silent, pauses = case
    row = {"name": name, "fault": fault or "-", "bound": bound(silent, pauses),
           "seconds": 0.0, "exit": "-", "message": "-", "last_request": "-"}
    problems = []
    work = tempfile.mkdtemp(prefix="fu_fault_")
    mount = os.path.join(work, "dev")
    os.mkdir(mount)
    trace = os.path.join(work, "trace.txt")
    serve_cmd = [args.watchsim, "serve", "--dir", mount, "--trace", trace] + extra
    if fault:
        serve_cmd += ["--fault", fault]
    serve = subprocess.Popen(serve_cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                             text=True, start_new_session=True)
    try:
        wait_for_node(serve, SERVE_START_SECONDS)
        start = time.monotonic()
        code, output, errors = run_updater(args, mount, work, row["bound"] + 30)
        row["seconds"] = time.monotonic() - start
        row["exit"] = code
        number = message_id(final_box(output))
        row["message"] = str(number) if number else "?"
        if code not in (0, 1):
            problems.append(f"exit {code}")
        elif code != want_exit:
            problems.append(f"exit {code}, expected {want_exit}")
        if number != want_message:
            problems.append(f"message {row['message']}, expected {want_message}")
        if row["seconds"] > row["bound"]:
            problems.append(f"took {row['seconds']:.1f} s, bound {row['bound']:.0f} s")
        if errors.strip():
            problems.append("standard error: " + errors.strip().splitlines()[0])
    except RuntimeError as e:
        problems.append(str(e))
    finally:
        serve_errors, _ = stop_server(serve, mount)
    if serve_errors.strip():
        problems.append("watchsim: " + serve_errors.strip().splitlines()[0])
    # After a failure the program may close (0x01) or reconnect and ask the watch who it is
    # (0x00, 0x20); no step of the update may follow the request that failed.
    codes = request_codes(trace)
    row["last_request"] = f"0x{codes[-1]:02X}" if codes else "-"
    if failing is not None:
        if CODES[failing] not in codes:
            problems.append(f"the failing request 0x{CODES[failing]:02X} was never sent")
        else:
            last = len(codes) - 1 - codes[::-1].index(CODES[failing])
            later = [c for c in codes[last + 1:] if c in UPDATE_STEPS]
            if later:
                problems.append(f"request 0x{later[0]:02X} sent after the failing "
                                f"0x{CODES[failing]:02X}")
    if not codes:
        problems.append("the watch saw no request")
    row["problems"] = problems
    shutil.rmtree(work, ignore_errors=True)
    return row


def write_table(rows, path):
    with open(path, "w") as out:
        out.write("# Fault tolerance\n\n")
        out.write("Generated by the `fault_table` test (e2e/fault_table.py): the real "
                  "`firmupdater` in terminal mode against `watchsim serve --fault PLAN`, "
                  "answers piped in (`y`, then the end of the input, which cancels any "
                  "Retry/Cancel prompt). Every row runs with the program's real waits "
                  "(10 s report time-out, 3 s retry pauses); "
                  "`FIRMUPDATER_TEST_MAX_PAUSE_MS` is not used. Bound: 20 s for the "
                  "connection and the transfer, plus 10 s per silent attempt and 3 s per "
                  "retry pause. Message: the number of the last box shown (210 completed, "
                  "222 not connected, 225 update failed). Last request: the command code of "
                  "the last request the host sent, from the watch's trace; after a failure "
                  "the program closes (0x01) or reconnects (0x00, 0x20), and no step of the "
                  "update follows the request that failed.\n\n")
        out.write("| Fault | `--fault` | Exit | Message | Time (s) | Bound (s) | "
                  "Last request | Result |\n")
        out.write("|---|---|---|---|---|---|---|---|\n")
        for r in rows:
            result = "ok" if not r["problems"] else "; ".join(r["problems"])
            message = r["message"].replace("|", "\\|")
            out.write(f"| {r['name']} | `{r['fault']}` | {r['exit']} | {message} | "
                      f"{r['seconds']:.1f} | {r['bound']:.0f} | {r['last_request']} | "
                      f"{result} |\n")


def main():
    parser = argparse.ArgumentParser()
    for option in ("--firmupdater", "--watchsim", "--image", "--manifest", "--fwimage",
                   "--out"):
        parser.add_argument(option, required=True)
    parser.add_argument("--only", help="run only the cases whose name contains this")
    args = parser.parse_args()
    subprocess.run([args.fwimage, "build", args.manifest, args.image], check=True,
                   capture_output=True, timeout=60)
    cases = [c for c in CASES if not args.only or args.only in c[0]]
    with concurrent.futures.ThreadPoolExecutor(max_workers=len(cases)) as pool:
        rows = list(pool.map(lambda c: run_case(c, args), cases))
    write_table(rows, args.out)
    failed = [r for r in rows if r["problems"]]
    for r in rows:
        print(f"{r['name']}: exit {r['exit']} in {r['seconds']:.1f} s, "
              f"message {r['message']}, last request {r['last_request']} "
              f"{'; '.join(r['problems'])}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
