#!/usr/bin/python3
"""The program in the sessions a player's desktop gives it, each with its real component:
a Wayland session (a headless weston with XWayland), where it runs on X11 and the menu keeps
its place, or on Wayland where the player or the session has it so; and the beep, through
a private PulseAudio whose only sink, a null sink, is recorded (each sound a new stream), or
as an X bell (counted as the X server announces them). Level 1 is played through the
accessibility bus: no keyboard reaches a window on a headless compositor.

Usage: test_sessions.py TARVONIX BANK_EXPORT. Exit 77 (skipped) where a component is missing.
"""

import array
import ctypes
import os
import re
import shutil
import subprocess

# The AT-SPI client finds the accessibility bus when it is first used, not when imported.
import pyatspi
from desktop import TIMEOUT, Desktop, Skip, bank, expect, geometry, output, run, settled, wait_for, windows


class XBells:
    """Counts the bells an X server rings (XKB bell notifications)."""

    def __init__(self, display):
        self.x = x = ctypes.CDLL("libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XkbQueryExtension.argtypes = [ctypes.c_void_p] + [ctypes.POINTER(ctypes.c_int)] * 5
        x.XkbSelectEvents.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x.XPending.argtypes = x.XFlush.argtypes = [ctypes.c_void_p]
        self.display = x.XOpenDisplay(display.encode())
        codes = [ctypes.c_int(1 if i == 3 else 0) for i in range(5)]  # opcode, event, error, major 1, minor 0
        expect(self.display and x.XkbQueryExtension(self.display, *map(ctypes.byref, codes)), "no XKB on " + display)
        self.event_type = codes[1].value
        x.XkbSelectEvents(self.display, 0x100, 1 << 8, 1 << 8)  # the core keyboard's bell notifications
        x.XFlush(self.display)
        self.rung = 0

    def count(self):
        event = (ctypes.c_long * 24)()
        while self.x.XPending(self.display):
            self.x.XNextEvent(self.display, event)
            fields = ctypes.cast(event, ctypes.POINTER(ctypes.c_int))
            self.rung += fields[0] == self.event_type and fields[10] == 8  # xkb_type: XkbBellNotify
        return self.rung


class SoundServer:
    """A private PulseAudio in the desktop's runtime folder, where its programs look for it."""

    def __init__(self, desktop):
        self.desktop, self.recording = desktop, os.path.join(desktop.home, "speakers.raw")
        desktop.start(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes",
                       "-L", "module-native-protocol-unix auth-anonymous=1",
                       "-L", "module-null-sink sink_name=speakers"], "pulseaudio.log")
        wait_for("the sound server", lambda: "Server Name" in output("pactl", "info"))
        desktop.start(["stdbuf", "-oL", "pactl", "subscribe"], "streams.txt")
        with open(self.recording, "wb") as file:  # the recorder's own messages stay out of it
            desktop.start(["parec", "-d", "speakers.monitor", "--raw", "--format=s16le", "--rate=44100",
                           "--channels=2", "--latency-msec=20"], stdout=file, stderr=subprocess.DEVNULL)
        wait_for("the recording", lambda: os.path.getsize(self.recording) > 0)

    def streams(self):
        return len(re.findall(r"'new' on sink-input", self.desktop.log("streams.txt")))

    def position(self):
        return os.path.getsize(self.recording) // 4 * 4

    def peak(self, start):
        """The recording's peak amplitude since `start`, 0 to 1."""
        with open(self.recording, "rb") as file:
            file.seek(start)
            data = file.read()
        return max(map(abs, array.array("h", data[:len(data) // 2 * 2])), default=0) / 32768


def controls(window, role):
    for child in window:
        if child is not None:
            if child.getRole() == role:
                yield child
            yield from controls(child, role)


class Quiz:
    """The program started with `variables` added (None: unset), and Level 1 played
    through the accessibility bus, its answers found in the bank."""

    def __init__(self, desktop, binary, answers, **variables):
        variables = {**os.environ, "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", **variables}
        environment = {k: v for k, v in variables.items() if v is not None}
        self.process = desktop.start([binary], "tarvonix.log", env=environment)
        self.application = wait_for("the program on the accessibility bus", lambda: expect(
            self.process.poll() is None, "the program ended with status %s" % self.process.returncode) or next(
            a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "TARVONIX" and a.childCount))
        self.answers, self.next = answers, "Start"
        self.press(self.window("Tarvonix"), "Level  1")
        self.level = self.window("Level 1")

    def window(self, name):
        return wait_for("the window %r" % name, lambda: next(w for w in self.application if w and w.name == name))

    @staticmethod
    def press(window, name):
        next(b for b in controls(window, pyatspi.ROLE_PUSH_BUTTON) if b.name == name).queryAction().doAction(0)

    def buttons(self):
        found = sorted((b for b in controls(self.level, pyatspi.ROLE_PUSH_BUTTON)
                        if re.fullmatch(r"[1-4](, .*)?", b.name, re.S)), key=lambda b: b.name)
        available = all(b.getState().contains(pyatspi.STATE_SENSITIVE) for b in found)
        return [b.name[0] for b in found] == list("1234") and available and found

    def answer(self, right):
        """Shows the next question and answers it, right or wrong."""
        self.press(self.level, self.next)
        self.next = "Next"
        buttons = wait_for("a question on show", self.buttons)
        text = next(controls(self.level, pyatspi.ROLE_TEXT)).queryText().getText(0, -1)
        correct = self.answers[(text, tuple(b.description for b in buttons))]
        buttons[(correct if right else correct % 4 + 1) - 1].queryAction().doAction(0)
        wait_for("the answer taken", lambda: not buttons[0].getState().contains(pyatspi.STATE_SENSITIVE))

    def play(self, answers, sounds=None, bells=None, server=None):
        """Answers right (True) or wrong (False) in turn; after each right one waits for
        the next sound, heard, or the next X bell."""
        for right in answers:
            start = server.position() if server else 0
            self.answer(right)
            if right and sounds is not None:
                sounds[0] += 1
                wait_for("sound %d" % sounds[0], lambda: server.streams() >= sounds[0])
                wait_for("the sound heard", lambda: server.peak(start) > 0.05)
            if right and bells is not None:
                bells[0] += 1
                wait_for("X bell %d" % bells[0], lambda: bells[1].count() >= bells[0])

    def leave(self):
        """Leaves through the level's and the menu's Exit and the About box's Ok."""
        self.press(self.level, "Exit")
        self.press(self.window("Tarvonix"), "Exit")
        self.press(self.window("About TARVONIX"), "Ok")
        status = self.process.wait(TIMEOUT)
        expect(status == 0, "the program ended with status %d" % status)


def test(binary, bank_export):
    for tool in ("pulseaudio", "pactl", "parec", "weston", "Xwayland", "xsettingsd", "xdotool", "xwininfo"):
        if not shutil.which(tool):
            raise Skip("%s is missing (scripts/setup installs it)" % tool)
    binary = os.path.abspath(binary)
    answers = {(question, options): answer for question, options, answer in bank(bank_export, 1)}
    with Desktop(bus=True) as desktop:
        server, home = SoundServer(desktop), desktop.home
        sounds, bells = [0], [0, XBells(desktop.display)]  # each wanted so far; the bells' counter

        # No sound server where the program looks for one.
        quiz = Quiz(desktop, binary, answers, PULSE_SERVER="unix:" + os.path.join(home, "no-sound-server"))
        quiz.play([True, False, True], bells=bells)
        quiz.leave()

        # Event sounds on; an X11 settings daemon turns them off; then it is gone, and they
        # are on again. Where nothing is to sound, the bell's thread is given time to fail.
        quiz = Quiz(desktop, binary, answers)
        quiz.play([True], sounds, server=server)
        with open(os.path.join(home, "xsettingsd.conf"), "w") as conf:
            conf.write("Net/EnableEventSounds 0\n")
        settings = desktop.start(["xsettingsd", "-c", os.path.join(home, "xsettingsd.conf")], "xsettingsd.log")
        wait_for("xsettingsd to publish", lambda: "selection" in desktop.log("xsettingsd.log"))
        quiz.play([True])
        settled(server.streams)
        settings.terminate()
        settings.wait()
        quiz.play([True], sounds, server=server)
        quiz.leave()

        # GNOME's own setting says they are off.
        config = os.path.join(home, "config", "glib-2.0", "settings")
        os.makedirs(config)
        with open(os.path.join(config, "keyfile"), "w") as keyfile:
            keyfile.write("[org/gnome/desktop/sound]\nevent-sounds=false\n")
        quiz = Quiz(desktop, binary, answers, XDG_CURRENT_DESKTOP="GNOME", GSETTINGS_BACKEND="keyfile",
                    XDG_CONFIG_HOME=os.path.join(home, "config"))
        quiz.play([True])
        settled(server.streams)
        quiz.leave()

        # A Wayland session: weston with XWayland, and the variables such a session sets.
        socket = "tarvonix-%d" % os.getpid()
        desktop.start(["weston", "--backend=headless-backend.so", "--xwayland", "--width=1024", "--height=768",
                       "--socket=" + socket, "--no-config", "--idle-time=0"], "weston.log")
        x = wait_for("weston with XWayland", lambda: re.search(r"xserver listening on display (:\d+)",
                                                               desktop.log("weston.log")))[1]
        wait_for("XWayland to answer", lambda: "the root window" in output("xwininfo", "-root", display=x))
        wayland_bells = XBells(x)
        session = dict(WAYLAND_DISPLAY=socket, XDG_SESSION_TYPE="wayland")
        quiz = Quiz(desktop, binary, answers, DISPLAY=x, **session)
        # The program runs on X11 there, its menu at its place. Weston's shell tells XWayland
        # where it put a window only when its surface changes after it was first drawn, as
        # its first focus does on a desktop; with no seat to focus, its title is set again.
        menu = wait_for("the menu on X11", lambda: windows("Tarvonix", display=x)[0])
        output("xdotool", "set_window", "--name", "Tarvonix", str(menu), display=x)
        wait_for("the menu at (192, 144), 640 by 480", lambda: geometry(menu, display=x) == (192, 144, 640, 480))
        quiz.play([True, False, True], sounds, server=server)
        quiz.leave()

        # Where the player names Wayland, or DISPLAY names no X server, it starts on Wayland.
        no_x = next(":%d" % n for n in range(990, 900, -1)
                    if not os.path.exists("/tmp/.X11-unix/X%d" % n) and not os.path.exists("/tmp/.X%d-lock" % n))
        for case, variables in (("wayland", dict(QT_QPA_PLATFORM="wayland", DISPLAY=x)), ("no-x", dict(DISPLAY=no_x))):
            log = case + ".log"
            program = desktop.start([binary], log, env=dict(os.environ, WAYLAND_DEBUG="client", **session, **variables))
            wait_for("the menu on Wayland (%s)" % case, lambda: expect(program.poll() is None, "it ended") or re.search(
                r'xdg_toplevel@\d+\.set_title\("Tarvonix"\)', desktop.log(log)))
            expect(program.poll() is None and not windows(display=x), "%s: it ended, or shows X11 windows" % case)
            program.terminate()
            program.wait()

        # Nothing more sounded nor rang than was waited for.
        heard = settled(lambda: (server.streams(), bells[1].count(), wayland_bells.count()))
        expect(heard == (sounds[0], bells[0], 0), "sounds, X bells, X bells on XWayland: %s, wanted %s"
               % (heard, (sounds[0], bells[0], 0)))


run(test)
