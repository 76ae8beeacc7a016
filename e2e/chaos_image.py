"""Images of the fault suite: a compact description that fits on the plan line, the manifest
`fwimage build` turns it into, and what a stock watch must hold after the update.

Description: sections separated by ',', the identity first.

    f<flags>               identity with those end-of-update flags (model 612E)
    v1600:<text>           512 KiB firmware block for data 0x1600 with the version text
    v1601:<text>           the same for data 0x1601
    d1604:<length>         data block (also d1611, d1614, d1620)
    k201603:<length>       section the updater skips (also k201613)
    e<first>+<count>       sector erase
    w<address>+<length>    flash write (section 0x410000)
    x<address>+<length>    flash write of section type 0x440000 (same command as w)
    c30                    bare command entry (also c31, c32)
    u<type>                section of a type the updater does not know

Numbers are decimal or 0x-hex. Data bytes follow from the section's place and type alone,
so a description always builds the same image.
"""

import os

VERSION_OFFSET = 0x7FFFA  # model 612E
VERSION_BLOCK = 0x80000
FLASH_SIZE = 2 * 1024 * 1024
FLASH2_SIZE = 256 * 1024
SECTOR = 4096
STOCK_VERSION = "01.20"
BLOCKS = (0x1600, 0x1601, 0x1604, 0x1611, 0x1614, 0x1620)


def number(text):
    return int(text, 0)


class Section:
    def __init__(self, token):
        self.token = token
        head = token[0]
        body = token[1:]
        self.kind = head
        if head == "f":
            self.flags = number(body)
        elif head in "vdk":
            ident, value = body.split(":", 1)
            self.ident = int(ident, 16)
            if head == "v":
                if self.ident not in (0x1600, 0x1601) or len(value) != 5:
                    raise ValueError(f"bad version block {token}")
                self.version = value
                self.length = VERSION_BLOCK
            else:
                self.length = number(value)
        elif head in "ewx":
            first, count = body.split("+", 1)
            self.first, self.count = number(first), number(count)
        elif head == "c":
            self.command = int(body, 16)
            if self.command not in (0x30, 0x31, 0x32):
                raise ValueError(f"bad command {token}")
        elif head == "u":
            self.type = number(body)
        else:
            raise ValueError(f"unknown section {token}")

    def data(self, index):
        """The section's data bytes: a pattern seeded by its place and kind."""
        if self.kind in "vdkwxu":
            length = {"u": 16}.get(self.kind, self.count if self.kind in "wx" else
                                   getattr(self, "length", 0))
            seed = (index * 37 + ord(self.kind) * 11) & 0xFF
            data = bytearray((seed + i * 7 + (i >> 8)) & 0xFF for i in range(length))
            if self.kind == "v":
                data[VERSION_OFFSET:VERSION_OFFSET + 5] = self.version.encode()
            return bytes(data)
        return b""


class Image:
    def __init__(self, description):
        self.description = description
        self.sections = [Section(t) for t in description.split(",")]
        if not self.sections or self.sections[0].kind != "f":
            raise ValueError("an image starts with its identity (f<flags>)")

    @property
    def flags(self):
        return [s for s in self.sections if s.kind == "f"][-1].flags

    @property
    def version(self):
        """The image's version text, as the updater takes it: that of its version block,
        five spaces without one."""
        blocks = [s for s in self.sections if s.kind == "v"]
        return blocks[0].version if blocks else "     "

    def manifest(self, folder):
        """Writes the data files into folder and returns the manifest text."""
        lines = []
        names = {"v": "version-block-", "d": "data-", "k": "skipped-"}
        for index, s in enumerate(self.sections):
            if s.kind == "f":
                lines.append(f"identity vendor=0x3A7C product=0x0A51 model=612E "
                             f"flags=0x{s.flags:02X}")
                continue
            data_field = ""
            data = s.data(index)
            if data:
                path = os.path.join(folder, f"section{index}.bin")
                with open(path, "wb") as out:
                    out.write(data)
                data_field = f" data=file:{os.path.basename(path)}"
            if s.kind in "vdk":
                lines.append(f"section type={names[s.kind]}{s.ident:04x}{data_field}")
            elif s.kind == "e":
                lines.append(f"section type=sector-erase value1={s.first} value2={s.count}")
            elif s.kind in "wx":
                kind = "flash-write" if s.kind == "w" else "flash-write-44"
                lines.append(f"section type={kind} value1={s.first}{data_field}")
            elif s.kind == "c":
                lines.append(f"section type=command-{s.command:02x}")
            else:
                lines.append(f"section type=0x{s.type:X}{data_field}")
        return "\n".join(lines) + "\n"

    def operations(self):
        """The update's device operations in order, as (name, [request code, ...], detail),
        the end-of-update commands included; and whether the update can complete at all
        (no operation may follow a bare command, which ends the connection for good)."""
        ops = []
        for s in self.sections:
            if s.kind in "vd":
                ops.append(("set", [0x21], s.ident))
            elif s.kind == "e" and s.count > 0:
                ops.append(("erase", [0x42] * s.count, s.first))
            elif s.kind in "wx":
                ops.append(("write", [0x41], s.first))
            elif s.kind == "c":
                ops.append(("command", [s.command], s.command))
        for bit, command in ((2, 0x31), (1, 0x30), (4, 0x32)):
            if self.flags & bit:
                ops.append(("command", [command], command))
        commands = [i for i, op in enumerate(ops) if op[0] == "command"]
        feasible = not commands or commands[0] == len(ops) - 1
        return ops, feasible

    def expected_state(self):
        """What the watch holds after a completed update: flash, second flash area, data
        blocks and firmware version."""
        flash = bytearray(b"\xFF" * FLASH_SIZE)
        flash2 = bytes(b"\xFF" * FLASH2_SIZE)
        blocks = {}
        version = STOCK_VERSION
        last_version_block = None
        for index, s in enumerate(self.sections):
            if s.kind in "vd":
                blocks[s.ident] = s.data(index)
                if s.ident in (0x1600, 0x1601):
                    last_version_block = s.ident
            elif s.kind == "e":
                for sector in range(s.first, s.first + s.count):
                    flash[sector * SECTOR:(sector + 1) * SECTOR] = b"\xFF" * SECTOR
            elif s.kind in "wx":
                data = s.data(index)
                flash[s.first:s.first + len(data)] = data
        rebooted = any(op[0] == "command" for op in self.operations()[0])
        if rebooted and last_version_block is not None:
            text = blocks[last_version_block][VERSION_OFFSET:VERSION_OFFSET + 5]
            if len(text) == 5 and all(0x20 <= b <= 0x7E for b in text):
                version = text.decode()
        return {"flash": bytes(flash), "flash2": flash2, "blocks": blocks,
                "version": version}

    def update_needed(self):
        """Whether the stock watch (01.20) is older than the image."""
        return self.newer_than(STOCK_VERSION)

    def newer_than(self, version):
        """Whether the image's version orders after the watch's version text (compared on
        its first five characters; an empty text orders before any)."""
        return self.version > version[:5]

    def host_reports(self):
        """How many reports a fault-free update sends to the watch, roughly: the requests
        before the update, then each operation's requests cut into 61-byte payloads."""
        reports = 30
        for s in self.sections:
            if s.kind in "vd":
                reports += (5 + 13 + s.length) // 61 + 1
            elif s.kind in "wx":
                reports += (5 + 8 + s.count) // 61 + 1
            elif s.kind == "e":
                reports += s.count
        return reports + 3

    def request_counts(self):
        """How many requests of each fault kind a fault-free update sends, at least."""
        ops, _ = self.operations()
        counts = {"erase": 0, "write": 0, "set": 0, "cmd30": 0, "cmd31": 0, "cmd32": 0}
        for name, codes, detail in ops:
            if name == "command":
                counts[f"cmd{detail:02x}"] += 1
            else:
                counts[name] += len(codes)
        return counts
