"""The properties every run of the fault suite must keep, whatever the faults.

Each check takes what a run left (exit, output, trace exchanges, watch state, leftovers) and
returns a list of broken properties, each a short sentence; an empty list means the run kept
them all.
"""

from chaos_trace import HANDSHAKE
from harness import CONFIRMATION, boxes, is_dialog, message_id

REPORT_TIMEOUT = 10.0
# Start-up, connection and transfer of the suite's largest images on a loaded machine.
BASE_SECONDS = 30.0
PROMPTS = {222, 223}
CURRENT_VERSION = "Current firmware version: "
FAILED = 225
REFUSED = 231  # the image could not be read or was refused


class Run:
    """What one run left behind."""

    def __init__(self, exit_code, output, errors, seconds, exchanges, state=None,
                 leftovers=(), killed=False):
        self.killed = killed  # the suite killed the program on purpose
        self.exit_code = exit_code
        self.output = output
        self.errors = errors
        self.seconds = seconds
        self.exchanges = exchanges
        self.state = state
        self.leftovers = list(leftovers)

    @property
    def messages(self):
        return [message_id(text) for text in boxes(self.output) if not is_dialog(text)]

    @property
    def current_version(self):
        """The watch's version as the confirmation dialog or box 206 showed it."""
        for line in self.output.splitlines():
            if CURRENT_VERSION in line:  # a box's line may start with its icon
                return line.split(CURRENT_VERSION, 1)[1]
        return None

    @property
    def confirmed(self):
        return CONFIRMATION in self.output

    @property
    def completed(self):
        return self.exit_code == 0 and self.messages[-1:] == [210]


def time_bound(run, cap_ms, latency_us):
    """The longest the run may take: a report time-out for every request left without a
    whole reply, the capped pauses around every handshake, the watch's latency per report."""
    unanswered = sum(1 for e in run.exchanges if e.reply() is None)
    handshakes = sum(1 for e in run.exchanges if e.code == HANDSHAKE)
    reports = sum(1 + len(e.replies) + len(e.request) // 61 for e in run.exchanges)
    pause = 3.0 if cap_ms is None else cap_ms / 1000.0
    return (BASE_SECONDS + REPORT_TIMEOUT * (unanswered + 1) + pause * (2 * handshakes + 4) +
            latency_us * reports / 1e6)


def check_exit(run, bound):
    if run.exit_code == "hung":
        return [f"did not end within {bound:.0f} s and was killed"]
    if run.exit_code not in (0, 1):
        return [f"ended with {run.exit_code} (a negative value is a signal)"]
    if run.seconds > bound:
        return [f"took {run.seconds:.1f} s, its waits allow {bound:.0f} s"]
    return []


def check_messages(run, image):
    """The boxes are those the flow allows for the path the run took."""
    problems = []
    shown = run.messages
    if None in shown:
        problems.append("a box the flow does not show")
    last = shown[-1] if shown else None
    if any(m not in PROMPTS for m in shown[:-1]):
        problems.append(f"boxes {shown}: only prompts may come before the last one")
    if run.exit_code == 0:
        if last not in (210, 206):
            problems.append(f"exit 0 after message {last}")
        elif last == 206 and image.newer_than(run.current_version or ""):
            problems.append("206 (no need to update) for an image newer than the watch")
        elif last == 210 and not image.newer_than(run.current_version or ""):
            problems.append("210 (completed) for an image that needs no update")
    elif run.exit_code == 1 and last not in PROMPTS | {FAILED, REFUSED}:
        problems.append(f"exit 1 after message {last}")
    if last == REFUSED:
        # Only an image whose steps cannot all reach the watch may be refused, before any
        # request goes out.
        if image.operations()[1]:
            problems.append("refused an image whose steps can all reach the watch")
        if run.exchanges:
            problems.append("refused the image after talking to the watch")
    shown = run.current_version
    if run.confirmed and shown is not None and not image.newer_than(shown):
        problems.append(f"asked to update although the watch shows {shown}, not older than "
                        f"the image's {image.version}")
    if last == 210 and not run.confirmed:
        problems.append("completed without asking the user")
    if not run.confirmed and any(e.update_step for e in run.exchanges):
        problems.append("an update step went out before the user was asked")
    if run.errors.strip():
        problems.append("standard error: " + run.errors.strip().splitlines()[0])
    return problems


def check_steps(run, image):
    """The update steps follow the image's operations in order; a failed attempt is retried
    at most twice, each time after a new handshake and with the same bytes from the
    operation's first request on; after the last attempt failed, no step follows."""
    operations, _ = image.operations()
    k, position, attempt = -1, 0, 1
    first_bytes = []
    failed_at = None  # exchange index of the failed step ending the current attempt
    previous = -1  # exchange index of the previous step
    for index, exchange in enumerate(run.exchanges):
        if not exchange.update_step:
            continue
        where = f"request 0x{exchange.code:02X} (exchange {index})"
        reconnected = any(e.code == HANDSHAKE for e in run.exchanges[previous + 1:index])
        previous = index
        if failed_at is not None or (reconnected and 0 < position < len(operations[k][1])):
            # A retry. A request that could not reach the watch (gone from the bus) leaves
            # no trace, so an attempt may also have failed after a step that succeeded.
            if attempt == 3:
                return [f"{where} after the operation failed three times"]
            if not reconnected:
                return [f"{where} retried without a handshake first"]
            attempt += 1
            position = 0
        elif k < 0 or position == len(operations[k][1]):
            k, position, attempt, first_bytes = k + 1, 0, 1, []
            if k == len(operations):
                return [f"{where} after the image's last operation"]
        name, codes, _ = operations[k]
        if exchange.code != codes[position]:
            return [f"{where} where the {name} operation {k} sends 0x{codes[position]:02X}"]
        if position == len(first_bytes):  # further than any attempt before
            first_bytes.append(exchange.request)
        elif exchange.request != first_bytes[position]:
            return [f"{where}: attempt {attempt} of the {name} operation {k} sends other "
                    f"bytes than the first"]
        position += 1
        failed_at = None if exchange.succeeded() else index
    return agree_with_outcome(run, image, k, position, failed_at)


def agree_with_outcome(run, image, k, position, failed_at):
    """Once the last operation's last request had its good reply the update has succeeded
    (only closing follows); a run that completed must have got that far."""
    operations, feasible = image.operations()
    done = not operations or (k == len(operations) - 1 and
                              position == len(operations[k][1]) and failed_at is None)
    if run.completed and not done:
        return ["completed although not every operation of the image succeeded on the watch"]
    if done and feasible and run.confirmed and run.messages[-1:] == [FAILED]:
        return ["reported a failure although every operation of the image succeeded"]
    return []


def check_identity(run, strict=False):
    """Every update step goes to the watch that was probed: on each connection (from its
    handshake on) the hardware record read last carries the probed watch's text.

    A retry may meet another watch, refuse it and go on with the probed one at its next
    reconnection, as the retry policy asks; `strict` also counts a completed run in which
    any hardware record came from another watch as broken."""
    probed, current = None, None
    texts = set()
    for index, exchange in enumerate(run.exchanges):
        if exchange.code == HANDSHAKE:
            current = None
        text = exchange.hardware_text()
        if text is not None:
            probed = text if probed is None else probed
            current = text
            texts.add(text)
        if exchange.update_step and current != probed:
            seen = "no hardware record" if current is None else f"'{current}'"
            return [f"request 0x{exchange.code:02X} (exchange {index}) went to a watch "
                    f"showing {seen}, the probed one shows '{probed}'"]
    if strict and run.completed and len(texts) > 1:
        return [f"completed although hardware records {sorted(texts)} were read"]
    return []


def check_state(run, image):
    """A completed update left exactly the image's contents on the watch."""
    if not run.completed:
        return []
    _, feasible = image.operations()
    if not feasible:
        return ["completed an image whose operations cannot all reach the watch"]
    if run.state is None:
        return ["completed but the watch kept no state"]
    return compare_state(run.state, image)


def compare_state(state, image):
    """Where the watch's flash, second flash area, data blocks and version differ from what
    a whole update with the image leaves."""
    expected = image.expected_state()
    problems = []
    for area in ("flash", "flash2"):
        held = state[area]
        if held != expected[area]:
            at = next((i for i, (a, b) in enumerate(zip(held or b"", expected[area]))
                       if a != b), None)
            problems.append(f"{area} differs from the image" +
                            (f" from offset 0x{at:X}" if at is not None else ""))
    for ident, data in expected["blocks"].items():
        if state["blocks"].get(ident) != data:
            problems.append(f"data block 0x{ident:04X} differs from the image")
    for ident in set(state["blocks"]) - set(expected["blocks"]):
        problems.append(f"data block 0x{ident:04X} written but not in the image")
    if state["version"] != expected["version"]:
        problems.append(f"version {state['version']}, the image gives {expected['version']}")
    return problems


def needs_second_run(run, image):
    """Whether a run left an update to finish: it did not complete, and it was not one
    refused before anything was sent, nor one that found no need to update."""
    if run.exit_code not in (0, 1) and not run.killed:
        return False  # hung or crashed: broken already
    last = run.messages[-1:]
    if run.exit_code == 0 and last in ([210], [206]):
        return False
    return not (last == [REFUSED] and not run.exchanges)


def check_convergence(run, image):
    """The run after a cut-off one, on the same watch with the faults gone, finishes the
    update: it completes (or, where the cut-off run already got the whole image across, finds
    no need to update) and the watch holds the image byte for byte."""
    last = run.messages[-1:]
    if run.exit_code != 0 or last not in ([210], [206]):
        return [f"the run after it ended {run.exit_code} after message "
                f"{last[0] if last else None}, not 0 after 210 or 206"]
    if not image.update_needed():
        return []  # the watch keeps its own firmware; check_messages covers 206
    if run.state is None:
        return ["the watch kept no state"]
    return [f"after the run after it: {p}" for p in compare_state(run.state, image)]


def check(run, image, cap_ms, latency_us, strict_identity=False):
    """Every property; the list of those broken. A killed run is held to those that do not
    depend on how the program ends: its time, its steps, and nothing left behind."""
    bound = time_bound(run, cap_ms, latency_us)
    if run.killed:
        asked = check_messages(run, image)
        return ((["took longer than its waits allow"] if run.seconds > bound else []) +
                [p for p in asked if p.startswith("an update step went out")] +
                check_steps(run, image) + check_identity(run) +
                run.leftovers)
    return (check_exit(run, bound) + check_messages(run, image) +
            check_steps(run, image) +
            check_identity(run, strict_identity) + check_state(run, image) + run.leftovers)
