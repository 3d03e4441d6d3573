#!/usr/bin/python3
"""What a screen reader reads while a player plays tarvonix with the keyboard alone.

Starts the program on a virtual screen of its own, with a private session bus and
accessibility bus, tells it a screen reader is running, presses keys as a player does
(xdotool), and reads through AT-SPI what a screen reader reads: window and control
names, descriptions, texts, states, where the focus is, and what the program announces.
Plays Level 1 from Start to completion, opens the other levels and leaves through the
About box.

Usage: screen_reader.py TARVONIX BANK_EXPORT
"""

import os
import shutil
import subprocess
import sys
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


def is_focused(accessible):
    return states(accessible).contains(pyatspi.STATE_FOCUSED)


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


class Announcements:
    """What the program announces: news about the control a screen reader has in focus."""

    def __init__(self):
        self.heard = []
        pyatspi.Registry.registerEventListener(self.on_event, "object:property-change:accessible-description")

    def on_event(self, event):
        # Qt's own description changes carry the object rather than text; those are not news.
        if isinstance(event.any_data, str):
            source = event.source
            self.heard.append((event.any_data, source.name, source.getRoleName(), is_focused(source)))

    def after(self, press):
        """Presses, then waits for the one announcement the press makes."""
        before = len(self.heard)
        press()
        wait_for("an announcement after the press", lambda: len(self.heard) > before)
        expect_equal(len(self.heard), before + 1, "announcements after one press")
        message, name, role, focused = self.heard[-1]
        expect(focused, "%r was announced on %s %r, which does not have the focus" % (message, role, name))
        return message, name


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

    def window(self, name):
        return wait_for("the window %r" % name, lambda: self.active_window_named(name))

    def active_window_named(self, name):
        for window in self.application:
            if window is not None and window.name == name and states(window).contains(pyatspi.STATE_ACTIVE):
                return window
        return None

    def active_window(self):
        return wait_for("an active window", lambda: self.active_window_named_any())

    def active_window_named_any(self):
        for window in self.application:
            if window is not None and states(window).contains(pyatspi.STATE_ACTIVE):
                return window
        return None

    def focused(self):
        def probe():
            for accessible in descendants(self.active_window()):
                if is_focused(accessible):
                    return accessible
            return None
        return wait_for("a control with the focus", probe)

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


def key(keys):
    subprocess.run(["xdotool", "key", keys], check=True)


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


def play_level_1(program, announcements, answers):
    window = program.window("Level 1")
    question_box = program.focused()
    expect_equal(question_box.getRoleName(), "text", "the role of the control in focus on opening")
    expect_equal(question_box.name, "Question", "the question box's name before Start")
    introduction = "Level 1 consists 200 Questions. Click on Start Button to start the Quiz"
    expect_equal(text_of(question_box), introduction, "the question box's text before Start")
    # A screen reader puts the line together from the text's attribute runs: every run
    # must reach the last character, or the reader drops it ("... the Qui").
    text = question_box.queryText()
    ends = [text.getAttributeRun(offset, True)[2] for offset in range(text.characterCount)]
    expect_equal(max(ends), text.characterCount, "where the question box's last attribute run ends")
    line = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)[0]
    expect_equal(line, introduction, "the question box's line")
    buttons = program.answer_buttons(window)
    for number, button in enumerate(buttons, 1):
        expect_equal(button.name, str(number), "answer button %d's name before Start" % number)
        expect_equal(button.description, "", "answer button %d's description before Start" % number)
        expect(not is_available(button), "answer button %d is available before Start" % number)

    marks = 0
    for position in range(1, 201):
        # Start, then Next: the question and its number, spoken at once.
        message, where = announcements.after(lambda: key("alt+s" if position == 1 else "alt+n"))
        question = text_of(question_box)
        expect_equal(message, "Question %d. %s" % (position, question), "what Next announces")
        expect_equal(where, "Question %d" % position, "the control Next's announcement is about")
        expect(is_focused(question_box), "the question box lost the focus to Next")
        options = tuple(button.description for button in buttons)
        for number, button in enumerate(buttons, 1):
            expect_equal(button.name, "%d, %s" % (number, options[number - 1]), "answer button %d's name" % number)
            expect(is_available(button), "answer button %d is unavailable with a question on show" % number)
        known = answers.get((1, question, options))
        expect(known is not None, "question %r with options %r is not in Level 1's table" % (question, options))
        expect_equal(len(known), 1, "the answers to %r" % question)
        correct = next(iter(known))

        # Answer: right on odd positions, wrong on even ones. A few answers walk to the
        # button with Tab and press Space, as a player who listens to the options does.
        chosen = correct if position % 2 else correct % 4 + 1
        if position in (3, 4):
            for _ in range(chosen):
                key("Tab")
            focus = wait_for("Tab to answer button %d" % chosen,
                             lambda: program.focused().name.startswith("%d, " % chosen) and program.focused())
            expect_equal(focus.name, "%d, %s" % (chosen, options[chosen - 1]), "the answer button Tab reached")
            press = lambda: key("space")  # noqa: E731
        else:
            press = lambda: key("alt+%d" % chosen)  # noqa: E731
        message, where = announcements.after(press)
        if chosen == correct:
            marks += 1
            expect_equal(message, "Right answer. Marks Obtained %d" % marks, "what a right answer announces")
        else:
            expect_equal(message, "Wrong answer. Correct Answer %d, %s" % (correct, options[correct - 1]),
                         "what a wrong answer announces")
        # Locked, the pressed button handed the focus back to the question box.
        expect_equal(where, "Question %d" % position, "the control an answer's announcement is about")
        for number, button in enumerate(buttons, 1):
            expect(not is_available(button), "answer button %d is available after the answer" % number)

    message, _ = announcements.after(lambda: key("alt+n"))
    expect_equal(message, "Level 1 completed", "what the last Next announces")
    next_button = program.control(window, pyatspi.ROLE_PUSH_BUTTON, "Next")
    expect(not is_available(next_button), "Next is available after the last question")
    # Tab finds only Exit now.
    key("Tab")
    wait_for("Tab to Exit", lambda: program.focused().name == "Exit")
    key("alt+x")


def main():
    binary, bank_export = sys.argv[1], sys.argv[2]
    answers = read_bank(bank_export)
    screen_reader_running()
    announcements = Announcements()
    program = Program(binary)
    try:
        menu = program.window("Tarvonix")
        names = [b.name for b in descendants(menu) if b.getRole() == pyatspi.ROLE_PUSH_BUTTON]
        expect_equal(names, ["Level  1", "Level  2", "Level  3", "Level  4", "Level  5", "Exit"],
                     "the menu's buttons")
        # Without a window manager the program's own window is where keys go once focused.
        subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Tarvonix$", "windowfocus"],
                       check=False, stderr=subprocess.DEVNULL)
        expect_equal(program.focused().name, "Level  1", "the menu's control in focus")

        key("alt+1")
        play_level_1(program, announcements, answers)
        program.window("Tarvonix")
        expect_equal(program.focused().name, "Level  1", "the menu's control in focus after leaving Level 1")

        for level, name in ((2, "Level 2"), (3, "Level 3"), (4, "Level  4"), (5, "Level  5")):
            key("alt+%d" % level)
            window = program.window(name)
            expect_equal(program.focused().name, "Question", "the control in focus on opening %s" % name)
            expect_equal(program.control(window, pyatspi.ROLE_PUSH_BUTTON, "Start").name, "Start", "Start")
            key("alt+x")
            program.window("Tarvonix")

        key("alt+x")
        about = program.window("About TARVONIX")
        expect_equal(program.focused().name, "Ok", "the About box's control in focus")
        labels = [a.name for a in descendants(about) if a.getRole() == pyatspi.ROLE_LABEL]
        for shown in ("TARVONIX", "Version 1.0.0"):
            expect(shown in labels, "the About box does not read %r: %r" % (shown, labels))
        key("alt+o")
        status = program.process.wait(TIMEOUT)
        expect_equal(status, 0, "the program's exit status")
        print("screen reader: %d announcements heard, all as expected" % len(announcements.heard))
        return 0
    except Failure as failure:
        print("screen reader: FAILED: %s" % failure, file=sys.stderr)
        return 1
    finally:
        if program.process.poll() is None:
            program.process.kill()
            program.process.wait()


if __name__ == "__main__":
    desktop = Desktop()
    try:
        sys.exit(main())
    finally:
        desktop.close()
