#!/usr/bin/env python3
"""The fault suite: random fault plans through the real updater, each run checked against
the properties that must never break (chaos_invariants.py).

    chaos.py --n 60 --seed 1 ...          generated plans 0..59 of seed 1
    chaos.py --corpus DIR ...             every plan kept in DIR (*.plan), as fixed cases
    chaos.py --plan 'seed=... fault=...'  one plan line

Each plan gets its own folder: the image built from the plan, the watch presented with the
plan's faults, its state files and report trace, and the updater run in terminal mode with
`y` piped in (end of input then answers every later box). A plan that breaks a property is
written to --keep as `<seed>.plan` with the broken properties as comments.
"""

import argparse
import collections
import concurrent.futures
import fcntl
import os
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from chaos_image import Image
from chaos_invariants import Run, check, check_convergence, needs_second_run
from chaos_plan import Plan, generate
from chaos_trace import read_state, read_trace
from harness import (Unavailable, final_box, group_alive, message_id,
                     run_program, updater_environment)
from presenters import PRESENTERS

# Far beyond any run's waits; a run still going then has hung.
KILL_SECONDS = 300
SKIP = 77
NOT_RUN = "not run"
DEFAULT_CAP_MS = 100


def latency_of(fault):
    for item in fault.split(","):
        if item.startswith("latency="):
            return int(item.split("=", 1)[1], 0)
    return 0


def build_image(args, plan, work):
    folder = os.path.join(work, "image")
    os.mkdir(folder)
    manifest = os.path.join(folder, "image.manifest")
    with open(manifest, "w") as out:
        out.write(Image(plan.image).manifest(folder))
    path = os.path.join(folder, "image.bin")
    # Written even when the loader refuses it (a step after a bare command): refusing it is
    # then what the program must do.
    subprocess.run([args.fwimage, "build", "--allow-invalid", manifest, path], check=True,
                   capture_output=True, timeout=120)
    return path


def held_locks(folder):
    """Files under folder that some process still holds a lock on."""
    held = []
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            try:
                fd = os.open(path, os.O_RDONLY | os.O_NOFOLLOW)
            except OSError:
                continue
            try:
                fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
            except OSError:
                held.append(os.path.relpath(path, folder))
            finally:
                os.close(fd)
    return held


def outcome(exit_code, output, killed=False):
    if killed:
        return "killed"
    number = message_id(final_box(output))
    return f"{exit_code}/{number if number else '-'}"


def start_presenter(presenter, work, options):
    """Presents the watch; a second try after a moment, as a mount can fail for a moment on
    a busy machine."""
    try:
        presenter.start(work, options)
    except RuntimeError:
        presenter.stop()
        shutil.rmtree(os.path.join(work, "dev"), ignore_errors=True)
        time.sleep(1.0)
        presenter.start(work, options)


class TraceCount:
    """Counts the reports the program has sent to the watch so far, from the trace the
    watch writes line by line; reads only what was added since it last looked."""

    def __init__(self, path, reports):
        self.path = path
        self.reports = reports
        self.seen = 0
        self.offset = 0
        self.partial = b""

    def reached(self):
        try:
            with open(self.path, "rb") as trace:
                trace.seek(self.offset)
                data = trace.read()
        except FileNotFoundError:
            return False
        self.offset += len(data)
        lines = (self.partial + data).split(b"\n")
        self.partial = lines.pop()
        self.seen += sum(1 for line in lines if line.startswith(b">"))
        return self.seen >= self.reports


# What one run of the program left: exit code ("-": it could not be run, "hung"), output,
# standard error, seconds, the leftovers found (processes, locks, mounts), whether the suite
# killed it on purpose.
Ran = collections.namedtuple("Ran", "code output errors seconds leftovers killed")


def run_once(args, plan, presenter, work, trace, serve_options, kill_at=None):
    """One run of the program on the watch presented with serve_options; the watch's state
    folder is the plan's, kept from run to run. Returns a Ran, or raises RuntimeError when
    the watch could not be presented."""
    runtime = os.path.join(work, "run")
    os.makedirs(runtime, exist_ok=True)
    start_presenter(presenter, work, ["--state", os.path.join(work, "state"),
                                      "--trace", trace] + serve_options)
    problems = []
    result = ("-", "", "", 0.0)
    killed = False
    try:
        extra = dict(presenter.environment())
        if plan.cap is not None:
            extra["FIRMUPDATER_TEST_MAX_PAUSE_MS"] = str(plan.cap)
        env = updater_environment(runtime, extra)
        kill_when = TraceCount(trace, kill_at).reached if kill_at is not None else None
        start = time.monotonic()
        command = args.program + [presenter.argument(args.image_path)]
        code, output, errors, pgid = run_program(command, env, "y\n", KILL_SECONDS, kill_when)
        seconds = time.monotonic() - start
        if hasattr(presenter, "note"):  # a presenter that tells where the time goes
            presenter.note("the program's run", seconds)
        killed = kill_at is not None and code == -signal.SIGKILL
        result = (code, presenter.output(output), errors, seconds)
        if group_alive(pgid):
            problems.append("a process of the program outlived it")
        problems += [f"lock still held: {name}" for name in held_locks(runtime)]
        if message_id(final_box(output)) not in (206, 231):
            # The watch takes its new version when it is back from its reboot, and a watch
            # that dropped off comes back then too.
            presenter.settle(plan.reboot / 1000.0 + 0.3)
    except (subprocess.SubprocessError, OSError) as error:
        problems.append(f"the program could not be run: {error}")
    finally:
        serve_errors = presenter.stop()
    if presenter.stale_mount:
        problems.append("the watch's mount outlived its server")
    if serve_errors.strip():
        problems.append("watchsim: " + serve_errors.strip().splitlines()[0])
    return Ran(*result, problems, killed)


def checked_run(args, plan, presenter, result, trace, state):
    """The run as the properties see it, and the properties it broke."""
    try:
        state_files = read_state(state) if os.path.isdir(state) else None
        run = Run(result.code, result.output, result.errors, result.seconds, read_trace(trace),
                  state_files, result.leftovers, result.killed)
        return run, check(run, Image(plan.image), plan.cap,
                          latency_of(plan.fault) + presenter.report_us, args.strict_identity)
    except Exception as error:  # a fault of the suite must not end the whole run
        return None, result.leftovers + [f"the suite could not check the run: {error!r}"]


def run_plan(args, plan, presenters):
    """Runs one plan, and once more on the same watch without faults when the first run did
    not finish the update; returns (plan, outcome, seconds, broken properties)."""
    work = tempfile.mkdtemp(prefix="fu_chaos_")
    state = os.path.join(work, "state")
    presenter = presenters.make()
    image = Image(plan.image)
    try:
        args_image = build_image(args, plan, work)
        run_args = argparse.Namespace(**vars(args), image_path=args_image)
        trace = os.path.join(work, "trace.txt")
        first = run_once(run_args, plan, presenter, work, trace, plan.serve_options(),
                         plan.kill_at)
        run, problems = (None, first.leftovers) if first.code == "-" else checked_run(
            args, plan, presenter, first, trace, state)
        result = outcome(first.code, first.output, first.killed)
        seconds = first.seconds
        output = first.output + "\n--- standard error\n" + first.errors
        if run is not None and not problems and needs_second_run(run, image):
            # The user runs the program again, the watch back in its cradle, nothing amiss.
            trace = os.path.join(work, "trace-again.txt")
            second = run_once(run_args, plan, presenter, work, trace,
                              ["--reboot-delay-ms", str(plan.reboot)])
            again, broken = checked_run(args, plan, presenter, second, trace, state)
            if again is not None:
                broken += check_convergence(again, image)
            problems += [f"run again: {problem}" for problem in broken]
            result += " > " + outcome(second.code, second.output, second.killed)
            seconds += second.seconds
            output += ("\n--- run again\n" + second.output + "\n--- standard error\n" +
                       second.errors)
    except (RuntimeError, subprocess.SubprocessError, OSError) as error:
        # The machine, not the program: no FUSE, no image tool, no room.
        presenter.stop()
        shutil.rmtree(work, ignore_errors=True)
        return plan, NOT_RUN, 0.0, [f"could not be run: {error}"]
    if args.keep_work and problems:
        with open(os.path.join(work, "output.txt"), "w") as out:
            out.write(output)
        print(f"  kept {work}", flush=True)
    else:
        shutil.rmtree(work, ignore_errors=True)
    return plan, result, seconds, problems


def keep_plan(folder, plan, problems):
    os.makedirs(folder, exist_ok=True)
    name = plan.seed.replace(":", "-") + ".plan"
    with open(os.path.join(folder, name), "w") as out:
        for problem in problems:
            out.write(f"# {problem}\n")
        out.write(plan.line() + "\n")
    return os.path.join(folder, name)


def corpus_plans(folder):
    plans = []
    for name in sorted(os.listdir(folder)):
        if name.endswith(".plan"):
            with open(os.path.join(folder, name)) as f:
                lines = [l.strip() for l in f if l.strip() and not l.startswith("#")]
            plans += [Plan.parse(l) for l in lines]
    return plans


def interrupt(number, frame):
    raise KeyboardInterrupt


def main():
    signal.signal(signal.SIGTERM, interrupt)
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True,
                        help="the updater's command line before the image path")
    parser.add_argument("--present", choices=sorted(PRESENTERS), default="hidraw",
                        help="how the watch is presented to the program")
    parser.add_argument("--watchsim", required=True)
    parser.add_argument("--probe", help="windows_hid_probe.exe, for --present wine")
    parser.add_argument("--wine-prefix",
                        help="Wine prefix for --present wine; workers after the first add -N")
    parser.add_argument("--fwimage", required=True)
    parser.add_argument("--n", type=int, default=0, help="number of generated plans")
    parser.add_argument("--seed", default="1")
    parser.add_argument("--first", type=int, default=0, help="number of the first plan")
    parser.add_argument("--cap-ms", default=str(DEFAULT_CAP_MS),
                        help="longest deliberate pause of the program; '-': real pauses")
    parser.add_argument("--corpus", help="replay every plan kept in this folder")
    parser.add_argument("--plan", action="append", default=[], help="one plan line")
    parser.add_argument("--keep", help="folder for the plans that break a property")
    parser.add_argument("--keep-work", action="store_true",
                        help="keep the folder of a failing run (trace, state, image)")
    parser.add_argument("--strict-identity", action="store_true",
                        help="a completed run may not have read any other watch's hardware "
                        "record, not even one a retry refused")
    parser.add_argument("--jobs", type=int, default=6)
    parser.add_argument("--summary", help="write the distribution of outcomes here")
    args = parser.parse_args()
    args.program = shlex.split(args.program)
    cap = None if args.cap_ms == "-" else int(args.cap_ms)

    plans = [Plan.parse(line) for line in args.plan]
    if args.corpus:
        plans += corpus_plans(args.corpus)
    plans += [generate(args.seed, i, cap) for i in range(args.first, args.first + args.n)]
    if not plans:
        print("no plans")
        return 0

    try:
        presenters = PRESENTERS[args.present](args)
    except Unavailable as reason:
        print(f"SKIPPED: {reason}")
        return SKIP
    try:
        return run_plans(args, plans, presenters)
    finally:
        presenters.close()


def run_plans(args, plans, presenters):
    start = time.monotonic()
    outcomes = collections.Counter()
    failures = []
    not_run = 0
    interrupted = False
    pool = concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs)
    futures = [pool.submit(run_plan, args, plan, presenters) for plan in plans]
    try:
        results = (future.result() for future in futures)
        for plan, result, seconds, problems in results:
            if result == NOT_RUN:
                not_run += 1
                print(f"---- {result} {plan.line()}\n       {problems[0]}", flush=True)
                continue
            outcomes[result] += 1
            mark = "FAIL" if problems else "ok  "
            print(f"{mark} {result:7} {seconds:6.1f} s  {plan.line()}", flush=True)
            for problem in problems:
                print(f"       {problem}", flush=True)
            if problems:
                failures.append(plan)
                if args.keep:
                    print(f"       kept as {keep_plan(args.keep, plan, problems)}", flush=True)
    except KeyboardInterrupt:
        # The runs under way finish and clean up after themselves; no new one starts. What
        # ran is summed up all the same (a long run stopped early still counts).
        print("interrupted: waiting for the runs under way", flush=True)
        pool.shutdown(wait=True, cancel_futures=True)
        interrupted = True
    pool.shutdown()
    ran = sum(outcomes.values())
    elapsed = time.monotonic() - start
    print(f"{ran} plans in {elapsed:.0f} s, {len(failures)} broke a property, "
          f"{not_run} could not be run")
    for result, count in sorted(outcomes.items(), key=lambda item: -item[1]):
        print(f"  {result:7} {count}")
    if hasattr(presenters, "phase_report"):
        print("where a run's time goes:")
        for line in presenters.phase_report():
            print("  " + line)
    if args.summary:
        with open(args.summary, "w") as out:
            out.write(f"plans: {ran}\nseconds: {elapsed:.0f}\n"
                      f"broken: {len(failures)}\nnot run: {not_run}\n")
            for result, count in sorted(outcomes.items(), key=lambda item: -item[1]):
                out.write(f"outcome {result}: {count}\n")
    return 1 if failures or not_run or interrupted else 0


if __name__ == "__main__":
    sys.exit(main())
