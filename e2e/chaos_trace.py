"""The fault suite's own reading of what crossed the wire and of what the watch kept.

Trace: one line per report, `> ` host to watch or `< ` watch to host, the report in hex with
the report number first. A report: number, flags (0x80 start, 0x40 end, bit 0 the ninth bit
of the length), length, payload. A request or reply block: code, 32-bit little-endian body
length, body. Error replies are coded 0xF0 with a 16-bit code.

State folder: flash.bin, flash2.bin, data-XXXX.bin, version.
"""

import os

# Requests that change the watch: bare commands, flash writes and erases, and data sets of
# the settings blocks (the clock is set with a data set too, before the user is asked).
COMMANDS = {0x30, 0x31, 0x32, 0x41, 0x42, 0x44}
DATA_SET = 0x21
BLOCKS = {0x1600, 0x1601, 0x1604, 0x1611, 0x1614, 0x1620}
HANDSHAKE = 0x00
DATA_GET = 0x20
HARDWARE_RECORD = 0x1300


class Exchange:
    """One request the host sent and what the watch answered before the next one."""

    def __init__(self, request):
        self.request = request  # the whole request block
        self.replies = []  # reports from the watch, as bytes without the report number

    @property
    def code(self):
        return self.request[0] if self.request else None

    @property
    def update_step(self):
        return self.code in COMMANDS or (self.code == DATA_SET and
                                         self.data_identifier() in BLOCKS)

    def reply(self):
        """The reply block as the host reads it, or None when the host cannot have read a
        good one: nothing came, the first report lacks the start flag or has length 0, or
        the block is cut short."""
        if not self.replies:
            return None
        first = self.replies[0]
        if len(first) < 2 or not first[0] & 0x80 or payload_length(first) == 0:
            return None
        data = bytearray()
        for report in self.replies:
            length = payload_length(report)
            if length == 0:
                return None
            data += report[2:2 + length]
        if len(data) < 5:
            return None
        body_length = int.from_bytes(data[1:5], "little")
        if len(data) < 5 + body_length:
            return None
        return bytes(data[:5 + body_length])

    def succeeded(self):
        """Whether the host got a good reply: its own code, no error, data-class status 0."""
        block = self.reply()
        if block is None:
            return False
        code, body = block[0], block[5:]
        if code == 0xF0:
            return len(body) >= 2 and int.from_bytes(body[:2], "little") == 0
        if code != self.code:
            return False
        if code in (DATA_GET, 0x21) and body and body[0] != 0:
            return False
        return True

    def data_identifier(self):
        if self.code in (DATA_GET, 0x21) and len(self.request) >= 8:
            return int.from_bytes(self.request[5:7], "little")
        return None

    def hardware_text(self):
        """The hardware text of a good reply to a read of the hardware record."""
        if self.code != DATA_GET or self.data_identifier() != HARDWARE_RECORD:
            return None
        if len(self.request) < 8 or self.request[7] != 0x00 or not self.succeeded():
            return None
        body = self.reply()[5:]
        record = body[4 + 10:]
        if len(record) < 18:
            return None
        text = record[2:18].split(b"\0", 1)[0]
        return text.decode("latin-1")


def payload_length(report):
    return ((report[0] & 1) << 8) | report[1] if len(report) >= 2 else 0


def read_trace(path):
    """The exchanges of a trace, in order."""
    exchanges = []
    pending = None  # request reports being assembled
    try:
        with open(path) as trace:
            lines = trace.readlines()
    except FileNotFoundError:
        return exchanges
    for line in lines:
        if len(line) < 2 or line[0] not in "<>":
            continue
        report = bytes.fromhex(line[1:].strip())[1:]  # without the report number
        if len(report) < 2:
            continue
        if line[0] == ">":
            if report[0] & 0x80:
                pending = bytearray()
            if pending is None:
                continue
            pending += report[2:2 + payload_length(report)]
            if len(pending) >= 5 and len(pending) >= 5 + int.from_bytes(pending[1:5], "little"):
                exchanges.append(Exchange(bytes(pending)))
                pending = None
        elif exchanges:
            exchanges[-1].replies.append(report)
    return exchanges


def read_state(folder):
    """What the watch kept: flash, second area, data blocks by identifier, version."""

    def read(name):
        try:
            with open(os.path.join(folder, name), "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None

    blocks = {}
    for name in os.listdir(folder):
        if name.startswith("data-") and name.endswith(".bin"):
            blocks[int(name[5:9], 16)] = read(name)
    version = read("version")
    return {"flash": read("flash.bin"), "flash2": read("flash2.bin"), "blocks": blocks,
            "version": version.decode(errors="replace").split("\n")[0] if version else None}
