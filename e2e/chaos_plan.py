"""Fault plans: what one run of the fault suite does, generated from a seed and written as one
line that reproduces the run.

    seed=7:12 cap=100 reboot=20 image=f1,v1600:01.30,e1+4,w0x1000+0x4000 fault=write#2:silent

`seed` says where the plan came from (run seed and plan number); the other fields are the plan
itself, so a line replays the same run however the generator changes later. `cap` is the
longest deliberate pause of the program in milliseconds (`-`: its real pauses), `reboot` the
watch's reboot delay in milliseconds, `image` the image (chaos_image.py), `fault` the
`watchsim --fault` plan (`-`: none). An optional `cut=kill@R` kills the program (SIGKILL)
once R reports have gone from it to the watch.

Cuts model the way a real update is cut off: the cable taken out (`unplug`: the watch leaves
the bus for longer than every retry waits), the watch resetting in the middle of a write
(`reboot`), the program killed. They are drawn from a random stream of their own, so the rest
of a plan stays what it was before cuts were added.
"""

import random

from chaos_image import BLOCKS, FLASH_SIZE, Image

# Reboot delays well inside and well beyond the retry window of a capped run.
SHORT_REBOOTS = (0, 10, 40)
LONG_REBOOTS = (1000, 2500)

OTHER_WATCHES = ("ORNA-HWREV1-712E", "ORNA-HWREV2-612E", "ORNA-HWREV1-612e", "612E")
RECORDS = (0x1200, 0x1100, 0x1300, 0x2010)
ERROR_CODES = (0x0005, 0x0010, 0x0011, 0x0012, 0x0013, 0x0015, 0x0017, 0x00FF, 0x7FFF,
               0xFFFF)
WRONG_CODES = (0x00, 0x20, 0x41, 0x55, 0x7F, 0xFF)

# Kinds of request, weighted towards those an update sends.
KINDS = [("set", 5), ("write", 4), ("erase", 4), ("get", 4), ("version", 3),
         ("disconnect", 2), ("cmd30", 2), ("cmd31", 1), ("cmd32", 1), ("open", 3),
         ("size", 1), ("any", 1), ("other", 0.3), ("read", 0.2), ("write2", 0.2),
         ("index", 0.2), ("flag", 0.2)]
DATA_CLASS = {"get", "set", "size", "index", "meta", "flag"}


class Plan:
    FIELDS = ("seed", "cap", "reboot", "image", "fault")

    def __init__(self, seed, cap, reboot, image, fault, kill_at=None):
        self.seed = seed
        self.cap = cap  # None: the program's real pauses
        self.reboot = reboot
        self.image = image
        self.fault = fault  # "" when none
        self.kill_at = kill_at  # host reports after which the program is killed, or None

    def line(self):
        cap = "-" if self.cap is None else str(self.cap)
        cut = "" if self.kill_at is None else f" cut=kill@{self.kill_at}"
        return (f"seed={self.seed} cap={cap} reboot={self.reboot} image={self.image} "
                f"fault={self.fault or '-'}{cut}")

    @staticmethod
    def parse(line):
        fields = dict(item.split("=", 1) for item in line.split())
        missing = [f for f in Plan.FIELDS if f not in fields]
        if missing:
            raise ValueError(f"plan line lacks {', '.join(missing)}: {line}")
        Image(fields["image"])  # refuses a broken description now, not in a run
        cut = fields.get("cut", "-")
        if cut != "-" and not cut.startswith("kill@"):
            raise ValueError(f"unknown cut {cut}: {line}")
        return Plan(fields["seed"], None if fields["cap"] == "-" else int(fields["cap"]),
                    int(fields["reboot"]), fields["image"],
                    "" if fields["fault"] == "-" else fields["fault"],
                    int(cut[5:], 0) if cut != "-" else None)

    def serve_options(self):
        options = ["--reboot-delay-ms", str(self.reboot)]
        if self.fault:
            options += ["--fault", self.fault]
        return options


def weighted(rng, pairs):
    items, weights = zip(*pairs)
    return rng.choices(items, weights=weights)[0]


def hex_or_dec(rng, value):
    return f"0x{value:X}" if rng.random() < 0.5 else str(value)


def generate_image(rng):
    flags = weighted(rng, [(1, 6), (2, 2), (4, 2), (0, 2), (3, 0.5), (5, 0.5), (6, 0.5)])
    sections = []
    block = weighted(rng, [("1600", 7), ("1601", 2.5), (None, 0.5)])
    if block:
        version = weighted(rng, [("01.30", 8), ("02.05", 1), ("01.20", 0.4), ("01.10", 0.3)])
        sections.append(f"v{block}:{version}")
    for _ in range(rng.choice((0, 1, 1, 2))):
        first = rng.randint(1, 64)
        sections.append(f"e{first}+{rng.choice((0, 1, 2, 4, 6))}")
    for _ in range(rng.choice((0, 1, 1, 2, 3))):
        length = rng.choice((1, 61, 62, 300, 4096, 0x4000, rng.randint(1, 0x8000)))
        address = rng.randint(0, (FLASH_SIZE - length) // 16) * 16
        kind = "x" if rng.random() < 0.2 else "w"
        sections.append(f"{kind}{hex_or_dec(rng, address)}+{hex_or_dec(rng, length)}")
    for ident in rng.sample(BLOCKS[2:], rng.choice((0, 0, 1, 2))):
        sections.append(f"d{ident:04x}:{rng.choice((1, 62, 1000, rng.randint(1, 4096)))}")
    if rng.random() < 0.15:
        sections.append(f"k{rng.choice(('201603', '201613'))}:{rng.randint(1, 64)}")
    if rng.random() < 0.1:
        sections.append(f"u0x{rng.choice((0x123456, 0x430000, 0x7FFFFFFF)):X}")
    rng.shuffle(sections)
    if rng.random() < 0.12:
        command = f"c{rng.choice(('30', '31', '32'))}"
        sections.insert(rng.randint(max(0, len(sections) - 1), len(sections)), command)
    if rng.random() < 0.05:
        sections.insert(rng.randint(0, len(sections)), f"f{rng.choice((0, 1, 2, 4))}")
    return ",".join([f"f{flags}"] + sections)


def typical_count(kind, image):
    """How many requests of a kind an update of this image sends, roughly."""
    counts = image.request_counts()
    # The connection opens the watch to list it, to probe it and for good; every
    # reconnection opens it again.
    return max(1, {"get": 10, "version": 3, "disconnect": 3, "open": 4, "size": 4,
                   "any": 30}.get(kind, counts.get(kind, 1)))


def generate_range(rng, kind, image):
    top = typical_count(kind, image)
    n = rng.randint(1, top)
    shape = weighted(rng, [("one", 5), ("span", 2.5), ("from", 1), ("always", 1.5)])
    if shape == "one":
        return f"#{n}"
    if shape == "span":
        return f"#{n}-{n + rng.randint(0, 2)}"
    if shape == "from":
        return f"#{n}-"
    return ""


def generate_action(rng, kind):
    if kind == "open":
        if rng.random() < 0.3:
            return "busy"
        return f"hwtext={rng.choice(OTHER_WATCHES)}"
    actions = [("silent", 2), ("error", 3), ("code", 1.5), ("zerolen", 1), ("nostart", 1),
               ("drop", 2.5)]
    if kind in DATA_CLASS:
        actions.append(("status", 1.5))
    if kind in ("get", "size"):
        actions.append(("short", 1.5))
    action = weighted(rng, actions)
    if action == "error":
        return f"error=0x{rng.choice(ERROR_CODES):04X}"
    if action == "code":
        return f"code=0x{rng.choice(WRONG_CODES):02X}"
    if action == "status":
        return f"status={rng.randint(1, 255)}"
    if action == "drop":
        return f"drop={rng.choice((0, 0, 1, 2))}"
    return action


def generate_rule(rng, image):
    kind = weighted(rng, KINDS)
    ident = ""
    if kind == "set" and rng.random() < 0.6:
        written = [s.ident for s in image.sections if s.kind in "vd"]
        ident = f"@0x{rng.choice(written or list(BLOCKS)):04X}"
    elif kind in ("get", "size") and rng.random() < 0.6:
        ident = f"@0x{rng.choice(RECORDS):04X}"
    return f"{kind}{ident}{generate_range(rng, kind, image)}:{generate_action(rng, kind)}"


def generate_cut(rng, image):
    """A cut for the plan, or None: (rule for the watch or None, host report to kill at)."""
    what = weighted(rng, [(None, 6), ("kill", 2), ("unplug", 1), ("reboot", 1)])
    if what is None:
        return None, None
    if what == "kill":
        # Anywhere from the first requests to the end of the transfer.
        return None, rng.randint(1, image.host_reports())
    counts = image.request_counts()
    kinds = [(k, counts[k]) for k in ("write", "set", "erase") if counts[k]]
    if what == "unplug":
        kinds += [("any", 2), ("cmd30", 0.5)]
    if not kinds:
        return None, rng.randint(1, image.host_reports())
    kind = weighted(rng, kinds)
    if what == "reboot" and kind == "erase":
        kind = "any"
    return f"{kind}#{rng.randint(1, typical_count(kind, image))}:{what}", None


def generate(run_seed, number, cap):
    """The plan number `number` of the run seeded with `run_seed`."""
    rng = random.Random(f"{run_seed}:{number}")
    image = generate_image(rng)
    rules = [generate_rule(rng, Image(image)) for _ in range(rng.choice((1, 1, 2, 2, 3)))]
    if rng.random() < 0.15:
        rules.append(f"latency={rng.choice((50, 100, 200))}")
    reboot = rng.choice(SHORT_REBOOTS) if rng.random() < 0.5 else rng.choice(LONG_REBOOTS)
    # Cuts come first, so that they act even where another rule fires on the same request.
    cut_rule, kill_at = generate_cut(random.Random(f"{run_seed}:{number}:cut"), Image(image))
    rules = ([cut_rule] if cut_rule else []) + rules
    return Plan(f"{run_seed}:{number}", cap, reboot, image, ",".join(rules), kill_at)
