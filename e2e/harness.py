"""What the end-to-end suites share: presenting a virtual watch through `watchsim serve`,
running the updater on it in terminal mode, and reading the boxes the updater showed.

The program and the way the watch is presented are parameters: `HidrawPresenter` mounts the
watch as hidraw nodes for the Linux build; `WinePresenter` (wine_presenter.py) puts it on
Wine's HID bus for the Windows build. Both offer the same `start`/`stop`/`environment`/
`settle`/`output` and run under the same suites; presenters.py names them for the suites.
"""

import os
import select
import signal
import subprocess
import threading
import time

SERVE_START_SECONDS = 20.0

# The boxes the program can show, by a phrase of their English text (checked in this order:
# some texts contain the phrase of another).
MESSAGES = [
    (210, "the update is complete"),
    (206, "There is no need to update"),
    (212, "update aborted"),
    (227, "(Memory allocation error)"),
    (228, "(Error in communication with device)"),
    (229, "A device other than the"),
    (226, "something is wrong with the USB port"),
    (230, "cannot be updated."),
    (225, "Failed to update the"),
    (224, "Multiple"),
    (223, "Connect only one"),
    (222, "Connect one"),
    (220, "is uploading or the firmware update tool is already running"),
    (231, "Failed to read the file."),
]


# The two dialogs, by their first lines: the user is asked before anything is written, and
# the progress dialog stands while the update runs.
CONFIRMATION = "An updatable KORVELIN has been found."
PROGRESS = "firmware is being updated."


def is_dialog(text):
    return CONFIRMATION in text or PROGRESS in text


def message_id(text):
    for number, phrase in MESSAGES:
        if phrase in text:
            return number
    return None


def boxes(output):
    """The texts the program showed, one per caption line, in order."""
    return output.split("\n== ")[1:]


def final_box(output):
    """The text of the last box the program showed (after its last caption line)."""
    shown = boxes(output)
    return shown[-1] if shown else ""


def wait_for_node(serve, timeout):
    """The first line watchsim serve prints: the node's path, once the mount is ready."""
    ready, _, _ = select.select([serve.stdout], [], [], timeout)
    line = serve.stdout.readline() if ready else ""
    if not line.strip():
        raise RuntimeError("watchsim serve did not come up")
    return line.strip()


def stop_server(serve, mount):
    """Ends watchsim serve and makes sure its mount is gone, whatever state it is in.
    Returns what the server wrote on standard error and whether the mount outlived it."""
    if serve.poll() is None:
        os.killpg(serve.pid, signal.SIGTERM)
        try:
            serve.wait(timeout=15)
        except subprocess.TimeoutExpired:
            os.killpg(serve.pid, signal.SIGKILL)
            serve.wait()
    stale = os.path.ismount(mount)
    if stale:
        subprocess.run(["fusermount3", "-u", "-z", mount], capture_output=True)
    return serve.stderr.read(), stale


class HidrawPresenter:
    """The watch as hidraw nodes of a FUSE mount, for the Linux build of the program."""

    # What a report costs on the way between program and watch beyond the watch's own
    # latency, in microseconds, for the time a run may take: nothing worth counting here.
    report_us = 0

    def __init__(self, watchsim):
        self.watchsim = watchsim
        self.serve = None
        self.mount = None
        self.stale_mount = False

    def start(self, work, serve_options):
        self.mount = os.path.join(work, "dev")
        os.makedirs(self.mount, exist_ok=True)  # a second run on the same watch has it
        self.serve = subprocess.Popen(
            [self.watchsim, "serve", "--dir", self.mount] + serve_options,
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
            start_new_session=True)
        wait_for_node(self.serve, SERVE_START_SECONDS)

    def environment(self):
        return {"FIRMUPDATER_HIDRAW_DIR": self.mount}

    def argument(self, path):
        """A host path as the program takes it."""
        return path

    def settle(self, seconds=0.0):
        """Lets a watch that is due back rejoin the bus (it does so when it is looked for);
        waits up to `seconds` for it to be there."""
        deadline = time.monotonic() + seconds
        while True:
            try:
                if os.listdir(self.mount):
                    return
            except OSError:
                pass
            if time.monotonic() >= deadline:
                return
            time.sleep(0.02)

    def output(self, text):
        """The program's output as the suites read it."""
        return text

    def stop(self):
        """Stops the server; returns its standard error."""
        if self.serve is None:
            return ""
        errors, self.stale_mount = stop_server(self.serve, self.mount)
        self.serve = None
        return errors


class Unavailable(Exception):
    """The machine cannot present the watch this way (no root, FUSE, namespaces, ...)."""


def updater_environment(work, extra):
    """Terminal mode, English, the lock file and window registry in the run's own folder."""
    env = dict(os.environ, FIRMUPDATER_UI="terminal", LANG="C", LC_ALL="", LC_MESSAGES="",
               XDG_RUNTIME_DIR=work)
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "FIRMUPDATER_TEST_MAX_PAUSE_MS"):
        env.pop(name, None)
    env.update(extra)
    return env


def run_program(command, env, answers, timeout, kill_when=None):
    """Runs the program in a session of its own. Returns (exit code or "hung", standard
    output, standard error, process group id); a hung program is killed with its group.
    `kill_when`, asked every few milliseconds while the program runs, kills the program
    (SIGKILL, its process alone) once it says so, as a user or the system may."""

    def text(data):
        return data.decode(errors="replace") if isinstance(data, bytes) else (data or "")

    program = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, env=env, text=True,
                               start_new_session=True)
    if kill_when is not None:
        threading.Thread(target=kill_once, args=(program, kill_when), daemon=True).start()
    try:
        output, errors = program.communicate(answers, timeout=timeout)
        return program.returncode, output, errors, program.pid
    except subprocess.TimeoutExpired:
        os.killpg(program.pid, signal.SIGKILL)
        output, errors = program.communicate()
        return "hung", text(output), text(errors), program.pid


def kill_once(program, kill_when):
    while program.poll() is None:
        if kill_when():
            program.send_signal(signal.SIGKILL)  # not once the program has been waited for
            return
        threading.Event().wait(0.005)


def group_alive(pgid):
    """Whether any process of the given process group is still running."""
    try:
        os.killpg(pgid, 0)
        return True
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
