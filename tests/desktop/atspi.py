"""A desktop of the tests' own, and the program seen through AT-SPI as assistive tools see it.

Desktop starts a virtual screen with a session bus, and so an accessibility bus, of its
own; Program starts tarvonix on it and finds its windows and controls on that bus.
"""

import os
import shutil
import subprocess
import tempfile
import time

# The AT-SPI client finds the accessibility bus when it is first used, not when imported.
import pyatspi
from gi.repository import Gio, GLib

TIMEOUT = 60.0  # seconds any one thing may take on a busy machine


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


def expect_equal(actual, wanted, what):
    if actual != wanted:
        raise Failure("%s: %r, wanted %r" % (what, actual, wanted))


class Desktop:
    """A virtual screen with a session bus of its own: the accessibility bus comes with it."""

    def __init__(self):
        self.home = tempfile.mkdtemp(prefix="tarvonix-a11y-")
        os.chmod(self.home, 0o700)
        self.processes = []
        read_end, write_end = os.pipe()
        self.processes.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        os.close(write_end)
        with os.fdopen(read_end) as display:
            number = display.readline().strip()
        expect(number, "the virtual screen did not start")
        # The services the bus starts, the accessibility bus among them, belong to this
        # desktop: its screen, and its runtime folder for their sockets, not the user's,
        # where another desktop's may be.
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                               env=dict(os.environ, DISPLAY=":" + number, HOME=self.home, XDG_RUNTIME_DIR=self.home))
        self.processes.append(bus)
        address = bus.stdout.readline().strip()
        expect(address, "the session bus did not start")
        os.environ.update({
            "DISPLAY": ":" + number,
            "DBUS_SESSION_BUS_ADDRESS": address,
            "XDG_RUNTIME_DIR": self.home,
            "HOME": self.home,
            "GSETTINGS_BACKEND": "memory",
            "QT_QPA_PLATFORM": "xcb",
        })
        for name in ("QT_QPA_PLATFORMTHEME", "QT_ACCESSIBILITY", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON"):
            os.environ.pop(name, None)

    def close(self):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(self.home, ignore_errors=True)


def screen_reader_running():
    """Says on the session bus what a screen reader says when it starts."""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled", GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, -1, None)


def pump():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, probe, timeout=TIMEOUT):
    """Waits until probe() gives something true, and returns it."""
    deadline = time.monotonic() + timeout
    while True:
        pump()
        try:
            value = probe()
        except Exception:  # the tree is changing under us: look again
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("waited %d s for %s" % (timeout, what))
        time.sleep(0.01)


def states(accessible):
    return accessible.getState()


def is_available(accessible):
    return states(accessible).contains(pyatspi.STATE_SENSITIVE)


def descendants(accessible):
    for child in accessible:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, -1)


def described(accessible):
    return "%s %r" % (accessible.getRoleName(), accessible.name)


class Program:
    def __init__(self, binary, **variables):
        """Starts the program with the desktop's variables and `variables` (None: unset)."""
        environment = dict(os.environ)
        # Leaks are the in-process suites' to find; here the program must only run.
        environment["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=1"
        environment.update(variables)
        environment = {name: value for name, value in environment.items() if value is not None}
        self.process = subprocess.Popen([binary], env=environment)
        self.application = wait_for("the program on the accessibility bus", self.find)

    def find(self):
        desktop_root = pyatspi.Registry.getDesktop(0)
        for application in desktop_root:
            if application is not None and application.name == "TARVONIX" and application.childCount:
                return application
        return None

    def control(self, window, role, name):
        for accessible in descendants(window):
            if accessible.getRole() == role and accessible.name == name:
                return accessible
        raise Failure("no %s named %r in %s" % (role, name, described(window)))

    def answer_buttons(self, window):
        buttons = [a for a in descendants(window) if a.getRole() == pyatspi.ROLE_PUSH_BUTTON
                   and a.name[:1] in "1234" and (len(a.name) == 1 or a.name[1:3] == ", ")]
        buttons.sort(key=lambda b: b.name[:1])
        expect_equal([b.name[:1] for b in buttons], ["1", "2", "3", "4"], "the answer buttons")
        return buttons


def read_bank(bank_export):
    """The answer to each question, by what a player sees of it: its text and four options."""
    answers = {}
    lines = subprocess.run([bank_export], check=True, capture_output=True, text=True).stdout
    for line in lines.split("\n"):
        if not line:
            continue
        level, _, question, o1, o2, o3, o4, answer = line.split("\t")
        answers.setdefault((int(level), question, (o1, o2, o3, o4)), set()).add(int(answer))
    return answers
