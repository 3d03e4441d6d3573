"""What the desktop tests share: a desktop of their own (a virtual screen, a session bus,
what they start on it), waiting for things to happen, X windows, and the bank export."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from gi.repository import GLib

TIMEOUT = 60.0  # seconds any one thing may take on a busy machine


class Skip(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


def output(*command, display=None):
    environment = dict(os.environ, DISPLAY=display) if display else None
    return subprocess.run(command, capture_output=True, text=True, env=environment).stdout


def wait_for(what, probe, limit=TIMEOUT):
    """Polls probe() until it gives something true, and returns that. A probe that raises
    anything but a failed check is asked again: what it reads is still changing."""
    deadline = time.monotonic() + limit
    while True:
        while GLib.MainContext.default().iteration(False):  # the AT-SPI client's news
            pass
        try:
            value = probe()
        except AssertionError:
            raise
        except Exception:
            value = None
        if value:
            return value
        expect(time.monotonic() < deadline, "waited %d s for %s" % (limit, what))
        time.sleep(0.02)


def settled(probe, quiet=1.5):
    """probe()'s value once it has not changed for `quiet` seconds."""
    value, since = probe(), time.monotonic()
    while time.monotonic() - since < quiet:
        time.sleep(0.05)
        if probe() != value:
            value, since = probe(), time.monotonic()
    return value


def run(test):
    """Runs test(*arguments) for CTest: exit 0, 1 on a failure, 77 where a component is missing."""
    try:
        test(*sys.argv[1:])
    except Skip as skip:
        print("skipped: %s" % skip)
        sys.exit(77)
    except AssertionError as failure:
        print("FAILED: %s" % failure, file=sys.stderr)
        sys.exit(1)
    print("passed")


class Desktop:
    """A virtual screen, with a home and runtime folder, and a session bus (and so an
    accessibility bus) if asked; every process started on it ends with it."""

    def __init__(self, size=(1024, 768), bus=False):
        self.home = tempfile.mkdtemp(prefix="tarvonix-desktop-")  # only its owner's
        self.processes, self.display = [], ":"
        # The X server takes the first free display number itself, and says which. It must
        # not reset when its last client leaves: a test's own xprop that ends while the window
        # manager or the program is still connecting would have their connection refused.
        read_end, write_end = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % size, "-nolisten", "tcp",
                    "-noreset"],
                   "Xvfb.log", pass_fds=[write_end])
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            self.display = ":" + pipe.readline().strip()
        expect(self.display != ":", "the virtual screen did not start")
        # The program and the services the bus starts belong to this desktop alone.
        os.environ.update(DISPLAY=self.display, HOME=self.home, XDG_RUNTIME_DIR=self.home, GSETTINGS_BACKEND="memory")
        for name in ("QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME", "QT_SCALE_FACTOR", "QT_ACCESSIBILITY",
                     "QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP"):
            os.environ.pop(name, None)
        if bus:
            daemon = self.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL)
            os.environ["DBUS_SESSION_BUS_ADDRESS"] = daemon.stdout.readline().decode().strip()
            expect(os.environ["DBUS_SESSION_BUS_ADDRESS"], "the session bus did not start")

    def start(self, command, log=None, **options):
        """Starts a process on this desktop, its output in the log file `log` if given."""
        file = open(os.path.join(self.home, log), "wb") if log else subprocess.DEVNULL
        options = {"stdout": file, "stderr": subprocess.STDOUT, **options}
        self.processes.append(subprocess.Popen(command, stdin=subprocess.DEVNULL, **options))
        if log:
            file.close()
        return self.processes[-1]

    def log(self, name):
        with open(os.path.join(self.home, name), errors="replace") as file:
            return file.read()

    def window_manager(self, *command):
        manager = self.start(list(command), command[0] + ".log")
        wait_for(command[0] + " to manage the screen", lambda: expect(manager.poll() is None, command[0] + " ended")
                 or "window id" in output("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"))

    def __enter__(self):
        return self

    def __exit__(self, kind, value, trace):
        if kind is not None and kind is not Skip:  # what the desktop's programs said last
            for log in sorted(f for f in os.listdir(self.home) if f.endswith(".log")):
                print("--- %s\n%s" % (log, "".join(self.log(log).splitlines(True)[-15:])), file=sys.stderr)
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(self.home, ignore_errors=True)


def windows(name=None, display=None):
    """The program's mapped top-level windows, or those with this title."""
    found = output("xdotool", "search", "--onlyvisible", "--classname", "^tarvonix$", display=display).split()
    return [int(w) for w in found
            if name is None or output("xdotool", "getwindowname", w, display=display).rstrip("\n") == name]


def geometry(window, display=None):
    """Absolute place and size of the window's client area."""
    info = output("xwininfo", "-id", str(window), display=display)
    return tuple(int(re.search(label + r":\s+(-?\d+)", info)[1])
                 for label in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))


def bank(bank_export, level):
    """The level's records from the bank export: (question, (option 1, ..., option 4), answer)."""
    fields = [line.split("\t") for line in output(os.path.abspath(bank_export)).split("\n")]
    return [(f[2], tuple(f[3:7]), int(f[7])) for f in fields if f[0] == str(level)]
