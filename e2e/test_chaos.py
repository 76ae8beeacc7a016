#!/usr/bin/env python3
"""The fault suite's own parts: that its reading of traces and its properties catch the faults
they are there for, on small hand-made runs."""

import os
import tempfile
import unittest

from chaos_image import Image
from chaos import TraceCount
from chaos_invariants import (Run, check, check_convergence, check_exit, check_identity,
                              check_messages, check_state, check_steps, needs_second_run)
from chaos_plan import Plan, generate
from chaos_trace import Exchange, read_trace
from harness import CONFIRMATION

PAYLOAD = 61  # 64-byte reports without the number byte: flags, length, 61 bytes


def block(code, body=b""):
    return bytes([code]) + len(body).to_bytes(4, "little") + body


def reports(data, first_flags=None):
    """data framed into reports as the watch sends them (without the report number)."""
    chunks = [data[i:i + PAYLOAD] for i in range(0, len(data), PAYLOAD)] or [b""]
    out = []
    for i, chunk in enumerate(chunks):
        flags = (0x80 if i == 0 else 0) | (0x40 if i == len(chunks) - 1 else 0)
        if i == 0 and first_flags is not None:
            flags = first_flags
        out.append(bytes([flags | (len(chunk) >> 8), len(chunk) & 0xFF]) + chunk)
    return out


def exchange(request, reply=None, first_flags=None):
    e = Exchange(request)
    if reply is not None:
        e.replies = reports(reply, first_flags)
    return e


def handshake():
    return exchange(block(0x00), block(0x00, bytes(8)))


def hardware(text):
    request = block(0x20, bytes([0x00, 0x13, 0x00]) + bytes(10))
    record = bytes(2) + text.encode().ljust(16, b"\0") + bytes(14)
    return exchange(request, block(0x20, bytes([0, 0x00, 0x13, 0x00]) + bytes(10) + record))


def step(code, payload=b"\x01", ok=True):
    request = block(code, payload)
    if code == 0x21:
        return exchange(request, block(0x21, bytes(14)) if ok else None)
    return exchange(request, block(code) if ok else block(0xF0, b"\x13\x00"))


# Erase sectors 1 and 2, write 4 bytes, then the firmware block.
IMAGE = Image("f0,e1+2,w0x1000+4,v1600:01.30")


def connect(text="ORNA-HWREV1-612E"):
    return [handshake(), hardware(text)]


def erase(sector, ok=True):
    return step(0x42, sector.to_bytes(2, "little"), ok)


def write(ok=True, payload=b"\x00\x10\x00\x00\x04\x00\x00\x00abcd"):
    return step(0x41, payload, ok)


def set_block(ident):
    return step(0x21, ident.to_bytes(2, "little") + bytes(11))


def confirmed_run(exchanges, exit_code=0, last="the update is complete", state=None):
    output = f"\n== x\n{CONFIRMATION}\n== KORVELIN\n{last}\n"
    return Run(exit_code, output, "", 5.0, exchanges, state)


class ReplyReading(unittest.TestCase):
    def test_what_the_host_reads_as_success(self):
        request = block(0x42, b"\x01\x00")
        cases = [
            ("matching reply", block(0x42), None, True),
            ("error reply", block(0xF0, b"\x13\x00"), None, False),
            ("error code 0 reads as success", block(0xF0, b"\x00\x00"), None, True),
            ("other code", block(0x55), None, False),
            ("no start flag", block(0x42), 0x40, False),
            ("no reply", None, None, False),
        ]
        for name, reply, flags, ok in cases:
            with self.subTest(name):
                self.assertEqual(exchange(request, reply, flags).succeeded(), ok)

    def test_cut_and_empty_replies_and_data_class_status(self):
        long_reply = block(0x41, bytes(200))
        cut = exchange(block(0x41), long_reply)
        cut.replies = cut.replies[:2]
        self.assertFalse(cut.succeeded())
        zero = exchange(block(0x41), block(0x41))
        zero.replies = [b"\xC0\x00" + bytes(61)]
        self.assertFalse(zero.succeeded())
        refused = exchange(block(0x21, bytes(14)), block(0x21, b"\x05" + bytes(13)))
        self.assertFalse(refused.succeeded())

    def test_trace_file_with_multi_report_request(self):
        request = block(0x41, bytes(100))
        lines = []
        for report in reports(request):
            lines.append("> 00 " + report.hex(" ").upper())
        lines.append("< 00 " + reports(block(0x41))[0].hex(" ").upper())
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "trace")
            with open(path, "w") as f:
                f.write("\n".join(lines) + "\n")
            exchanges = read_trace(path)
        self.assertEqual(len(exchanges), 1)
        self.assertEqual(exchanges[0].request, request)
        self.assertTrue(exchanges[0].succeeded())


class Steps(unittest.TestCase):
    def test_retries(self):
        ok = connect() + [erase(1), erase(2), write()]
        cases = [
            ("in order, first time", ok, None),
            ("retried from the operation's first request after a handshake",
             connect() + [erase(1), erase(2, ok=False)] + connect() +
             [erase(1), erase(2), write()], None),
            ("retried after a request that left no trace",
             connect() + [erase(1)] + connect() + [erase(1), erase(2), write()], None),
            ("retried without a handshake",
             connect() + [erase(1), erase(2, ok=False), erase(1), erase(2), write()],
             "without a handshake"),
            ("retried with other bytes",
             connect() + [erase(1), erase(2), write(ok=False)] + connect() +
             [write(payload=b"\x00\x10\x00\x00\x04\x00\x00\x00abce")], "other bytes"),
            ("going on after three failed attempts",
             connect() + [erase(1, ok=False)] + connect() + [erase(1, ok=False)] +
             connect() + [erase(1, ok=False)] + connect() + [erase(1)],
             "failed three times"),
            ("skipping on after a failure", connect() + [erase(1), erase(2, ok=False)] +
             connect() + [write()], "sends 0x42"),
            ("a step the image does not have", ok + [set_block(0x1600), write()],
             "last operation"),
        ]
        for name, exchanges, problem in cases:
            with self.subTest(name):
                run = confirmed_run(exchanges, 1, "Failed to update the KORVELIN")
                problems = check_steps(run, IMAGE)
                if problem is None:
                    self.assertEqual(problems, [])
                else:
                    self.assertEqual(len(problems), 1)
                    self.assertIn(problem, problems[0])

    def test_outcome_agrees_with_the_steps(self):
        all_done = connect() + [erase(1), erase(2), write(), set_block(0x1600)]
        self.assertEqual(check_steps(confirmed_run(all_done), IMAGE), [])
        failed = confirmed_run(all_done, 1, "Failed to update the KORVELIN")
        self.assertIn("reported a failure", check_steps(failed, IMAGE)[0])
        missing = confirmed_run(all_done[:-1])
        self.assertIn("not every operation", check_steps(missing, IMAGE)[0])

    def test_reply_to_the_last_bare_command_counts(self):
        # The watch leaves the bus right after replying to the final bare command; the reply
        # is read all the same, on Windows too: neither a failure nor the command sent again.
        image = Image("f0,e1+2,c31")
        sent = connect() + [erase(1), erase(2), step(0x31, b"")]
        cases = [
            ("failure reported", sent, "Failed to update the KORVELIN", "reported a failure"),
            ("sent again", sent + connect() + [step(0x31, b"")], "the update is complete",
             "after the image's last operation"),
        ]
        for name, exchanges, last, problem in cases:
            with self.subTest(name):
                run = confirmed_run(exchanges, 0 if "complete" in last else 1, last)
                self.assertIn(problem, check_steps(run, image)[0])

    def test_update_steps_only_to_the_probed_watch(self):
        probe = connect() + [exchange(block(0x01), block(0x01))]
        good = probe + connect() + [erase(1)]
        self.assertEqual(check_identity(confirmed_run(good, exit_code=1)), [])
        other = probe + connect("ORNA-HWREV2-612E") + [erase(1)]
        self.assertIn("went to a watch", check_identity(confirmed_run(other, 1))[0])
        unchecked = probe + [handshake(), erase(1)]
        self.assertIn("no hardware record", check_identity(confirmed_run(unchecked, 1))[0])
        # Another watch looked at after a reconnection, no step sent to it, then completed.
        looked = probe + connect() + [erase(1, ok=False)] + connect("ORNA-HWREV1-712E")
        self.assertEqual(check_identity(confirmed_run(looked)), [])
        self.assertIn("completed although", check_identity(confirmed_run(looked), True)[0])


class Outcome(unittest.TestCase):
    def test_messages_the_flow_allows(self):
        cases = [
            ("completed", 0, "the update is complete", True, None),
            ("failed", 1, "Failed to update the KORVELIN", True, None),
            ("exit 0 after a failure", 0, "Failed to update the KORVELIN", True, "exit 0"),
            ("exit 1 after completion", 1, "the update is complete", True, "exit 1"),
            ("completed without asking", 0, "the update is complete", False, "without asking"),
            ("a box nobody knows", 1, "Segmentation", True, "does not show"),
            ("a good image refused", 1, "Failed to read the file.", False, "can all reach"),
        ]
        for name, code, text, asked, problem in cases:
            with self.subTest(name):
                output = (f"\n== x\n{CONFIRMATION}" if asked else "") + f"\n== y\n{text}\n"
                problems = check_messages(Run(code, output, "", 1.0, []), IMAGE)
                if problem is None:
                    self.assertEqual(problems, [])
                else:
                    self.assertTrue(any(problem in p for p in problems), problems)

    def test_steps_before_the_question(self):
        run = Run(1, "\n== y\nConnect one KORVELIN\n", "", 1.0, connect() + [erase(1)])
        self.assertIn("before the user was asked", check_messages(run, IMAGE)[0])

    def test_exit_and_time(self):
        self.assertEqual(check_exit(Run(1, "", "", 9.0, []), 10.0), [])
        self.assertIn("signal", check_exit(Run(-11, "", "", 1.0, []), 10.0)[0])
        self.assertIn("killed", check_exit(Run("hung", "", "", 1.0, []), 10.0)[0])
        self.assertIn("allow", check_exit(Run(0, "", "", 11.0, []), 10.0)[0])

    def test_completed_update_left_the_image_on_the_watch(self):
        image = Image("f1,v1600:01.30,e1+1,w0x1000+8,d1604:10")
        state = image.expected_state()
        self.assertEqual(state["version"], "01.30")
        run = confirmed_run([], state=dict(state))
        self.assertEqual(check_state(run, image), [])
        flash = bytearray(state["flash"])
        flash[0x1003] ^= 1
        for name, change, problem in [
            ("a flash byte", {"flash": bytes(flash)}, "flash differs"),
            ("the version", {"version": "01.20"}, "version 01.20"),
            ("a data block", {"blocks": {0x1600: state["blocks"][0x1600]}}, "0x1604"),
        ]:
            with self.subTest(name):
                run = confirmed_run([], state=dict(state, **change))
                self.assertIn(problem, " ".join(check_state(run, image)))
        impossible = Image("f3,w0+4")  # command 0x31 ends the connection before 0x30
        self.assertIn("cannot all reach", check_state(confirmed_run([], state=state),
                                                      impossible)[0])


class RunAgain(unittest.TestCase):
    """A run that did not finish the update is followed by one on the same watch."""

    def test_which_runs_are_run_again(self):
        refused = "Failed to read the file."
        for name, run, again in [
            ("completed", confirmed_run([]), False),
            ("no need", confirmed_run([], last="There is no need to update"), False),
            ("refused before a request", Run(1, f"\n== x\n{refused}\n", "", 1.0, []), False),
            ("failed", confirmed_run(connect(), 1, "Failed to update the"), True),
            ("not connected", Run(1, "\n== x\nConnect one KORVELIN\n", "", 1.0, []), True),
            ("killed", Run(-9, "", "", 1.0, connect(), killed=True), True),
            ("hung", Run("hung", "", "", 1.0, connect()), False),
        ]:
            with self.subTest(name):
                self.assertEqual(needs_second_run(run, IMAGE), again)

    def test_the_run_again_leaves_the_image_on_the_watch(self):
        image = Image("f1,v1600:01.30,e1+1,w0x1000+8")
        whole = image.expected_state()
        flash = bytearray(whole["flash"])
        flash[0x1000:0x1004] = b"\xFF" * 4  # half a write, as a reset in its middle leaves
        half = dict(whole, flash=bytes(flash))
        stock = dict(whole, version="01.20")
        for name, run, problem in [
            ("completed", confirmed_run([], state=whole), None),
            ("no need, the first run got it all across",
             confirmed_run([], last="There is no need to update", state=whole), None),
            ("no need, but half a write", confirmed_run([], last="There is no need to update",
                                                        state=half), "flash differs"),
            ("failed again", confirmed_run([], 1, "Failed to update the", whole), "ended 1"),
            ("completed, old version", confirmed_run([], state=stock), "version 01.20"),
        ]:
            with self.subTest(name):
                problems = " ".join(check_convergence(run, image))
                if problem is None:
                    self.assertEqual(problems, "")
                else:
                    self.assertIn(problem, problems)
        lost = confirmed_run(connect() + [step(0x30)], 1, "Failed to update the", whole)
        self.assertIn("ended 1", " ".join(check_convergence(lost, image)))
        older = Image("f1,v1600:01.10")
        self.assertEqual(check_convergence(
            confirmed_run([], last="There is no need to update", state=stock), older), [])

    def test_a_killed_run_is_held_to_its_steps_not_its_end(self):
        steps = connect() + [erase(1), erase(2)]
        killed = Run(-9, f"\n== x\n{CONFIRMATION}\n", "", 1.0, steps, killed=True)
        self.assertEqual(check(killed, IMAGE, 100, 0), [])
        killed.exchanges = connect() + [write()]
        self.assertIn("operation 0 sends", " ".join(check(killed, IMAGE, 100, 0)))
        self.assertIn("signal", " ".join(check(Run(-9, "", "", 1.0, []), IMAGE, 100, 0)))

    def test_the_kill_waits_for_the_reports_sent(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "trace.txt")
            count = TraceCount(path, 3)
            self.assertFalse(count.reached())  # no trace yet
            with open(path, "w") as trace:
                trace.write("> 00c0\n< 00c0\n> 00")
                trace.flush()
                self.assertFalse(count.reached())
                trace.write("c0\n")
                trace.flush()
                self.assertFalse(count.reached())
                trace.write("> 0040\n")
                trace.flush()
                self.assertTrue(count.reached())


class Plans(unittest.TestCase):
    def test_a_plan_line_reproduces_the_plan(self):
        for number in range(50):
            plan = generate("3", number, 100)
            again = Plan.parse(plan.line())
            self.assertEqual(again.line(), plan.line())
            self.assertEqual(generate("3", number, 100).line(), plan.line())

    def test_cuts(self):
        """Every kind of cut is drawn, a watch's cut before the plan's other rules, a kill
        within the update's reports."""
        seen = set()
        for number in range(300):
            plan = generate("5", number, 100)
            first = plan.fault.split(",")[0]
            for kind in ("unplug", "reboot"):
                if first.endswith(":" + kind):
                    seen.add(kind)
            if plan.kill_at is not None:
                seen.add("kill")
                self.assertLessEqual(plan.kill_at, Image(plan.image).host_reports())
            cuts = (plan.fault.count(":unplug") + plan.fault.count(":reboot") +
                    (plan.kill_at is not None))
            self.assertLessEqual(cuts, 1, plan.line())
        self.assertEqual(seen, {"unplug", "reboot", "kill"})

    def test_error_replies_carry_non_zero_codes(self):
        for number in range(300):
            for item in generate("5", number, 100).fault.split(","):
                if ":error=" in item:
                    self.assertNotEqual(int(item.split("=")[1], 0), 0, item)


if __name__ == "__main__":
    unittest.main()
