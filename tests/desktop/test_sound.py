#!/usr/bin/python3
"""The beep as a player hears it. Level 1 is played through the accessibility bus (no
keyboard reaches a window on a headless compositor) on these desktops:

  - a Wayland session, a headless weston with XWayland, with a sound server: a right answer
    is heard, a wrong one is not;
  - GNOME's window manager, mutter, on a virtual X screen: mutter turns an X bell into a
    sound of its own, and a right answer is still one sound, not two;
  - a virtual X screen with no sound server: one X bell per right answer, as a window
    manager there may turn it into a sound;
  - event sounds turned off by an X11 settings daemon (xsettingsd), then on again; and off
    in GNOME's settings: nothing is heard, and no X bell rings, until they are on.

The sound server is a private PulseAudio whose only sink is a null sink: its monitor is
recorded with parec and measured with sox, and each sound played shows as a new stream.
X bells are counted as the X server announces them (XKB bell notifications).

Usage: test_sound.py TARVONIX BANK_EXPORT. Exit 77 (skipped) where a component is missing.
"""

import ctypes
import os
import re
import shutil
import subprocess
import sys
import time

import atspi as a11y
from atspi import Failure, expect, expect_equal, pyatspi, wait_for

QUIET = 3.0  # seconds after an answer by which any sound it makes has begun and ended
RATE = 44100  # frames a second, two channels of 16-bit samples
PROGRAM = os.path.abspath(sys.argv[1])


class XBells:
    """Counts the bells an X server rings."""

    def __init__(self, display):
        self.x = ctypes.CDLL("libX11.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XkbQueryExtension.argtypes = [ctypes.c_void_p] + [ctypes.POINTER(ctypes.c_int)] * 5
        self.x.XkbSelectEvents.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
        self.x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        self.x.XPending.argtypes = self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.display = self.x.XOpenDisplay(display.encode())
        expect(self.display, "cannot open the X display %s" % display)
        codes = [ctypes.c_int(1 if i == 3 else 0) for i in range(5)]  # opcode, event, error, major 1, minor 0
        expect(self.x.XkbQueryExtension(self.display, *[ctypes.byref(c) for c in codes]), "no XKB on %s" % display)
        self.event_type = codes[1].value
        bell_notify = 1 << 8
        self.x.XkbSelectEvents(self.display, 0x100, bell_notify, bell_notify)  # the core keyboard
        self.x.XFlush(self.display)
        self.rung = 0

    def count(self):
        event = (ctypes.c_long * 24)()  # an XEvent
        while self.x.XPending(self.display):
            self.x.XNextEvent(self.display, event)
            fields = ctypes.cast(event, ctypes.POINTER(ctypes.c_int))
            if fields[0] == self.event_type and fields[10] == 8:  # XkbAnyEvent.xkb_type: XkbBellNotify
                self.rung += 1
        return self.rung


class SoundServer:
    """A private PulseAudio in the desktop's runtime folder, where its programs look for it."""

    def __init__(self, desktop):
        self.work = desktop.home
        start(desktop, ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes",
                        "-L", "module-native-protocol-unix auth-anonymous=1",
                        "-L", "module-null-sink sink_name=speakers"], "pulseaudio.log")
        wait_for("the sound server", lambda: subprocess.run(["pactl", "info"], capture_output=True).returncode == 0)
        self.events = os.path.join(self.work, "streams.log")
        start(desktop, ["stdbuf", "-oL", "pactl", "subscribe"], "streams.log")
        self.recording = os.path.join(self.work, "speakers.raw")
        start(desktop, ["parec", "-d", "speakers.monitor", "--raw", "--format=s16le", "--rate=%d" % RATE,
                        "--channels=2", "--latency-msec=20"], "speakers.raw", stderr=subprocess.DEVNULL)
        wait_for("the recording", lambda: os.path.getsize(self.recording) > 0)

    def streams(self):
        with open(self.events) as events:
            return len(re.findall(r"'new' on sink-input", events.read()))

    def position(self):
        return os.path.getsize(self.recording) // 4 * 4

    def peak(self, start, end):
        """The recording's peak amplitude between two positions, 0 to 1, as sox measures it."""
        with open(self.recording, "rb") as recording:
            recording.seek(start)
            samples = recording.read(end - start)
        stat = subprocess.run(["sox", "-t", "raw", "-r", str(RATE), "-e", "signed", "-b", "16", "-c", "2", "-",
                               "-n", "stat"], input=samples, capture_output=True).stderr.decode()
        amplitudes = re.findall(r"(?:Maximum|Minimum) amplitude:\s*(-?[\d.]+)", stat)
        expect(len(amplitudes) == 2, "sox: " + stat)
        return max(abs(float(a)) for a in amplitudes)


def start(desktop, command, log, stderr=subprocess.STDOUT):
    """Starts a process that ends with the desktop, its output in a file of the desktop's."""
    with open(os.path.join(desktop.home, log), "wb") as output:
        process = subprocess.Popen(command, stdout=output, stderr=stderr)
    desktop.processes.append(process)
    return process


def log_shows(desktop, log, pattern):
    with open(os.path.join(desktop.home, log), errors="replace") as text:
        return re.search(pattern, text.read())


class Quiz:
    """The program, started as the case has it, and Level 1 played through AT-SPI."""

    def __init__(self, desktop, answers, **variables):
        self.answers = answers
        self.program = a11y.Program(PROGRAM, **variables)
        desktop.processes.append(self.program.process)
        self.press(self.button(self.window("Tarvonix"), "Level  1"))
        self.level = self.window("Level 1")
        self.next = self.button(self.level, "Start")

    def window(self, name):
        return wait_for("the window %r" % name, lambda: next(
            (w for w in self.program.application if w is not None and w.name == name), None))

    def button(self, window, name):
        return self.program.control(window, pyatspi.ROLE_PUSH_BUTTON, name)

    @staticmethod
    def press(button):
        button.queryAction().doAction(0)

    def answer(self, right):
        """Shows the next question and answers it, right or wrong."""
        self.press(self.next)

        def shown():
            buttons = self.program.answer_buttons(self.level)
            return all(map(a11y.is_available, buttons)) and buttons
        buttons = wait_for("a question on show", shown)
        box = next(a for a in a11y.descendants(self.level) if a.getRole() == pyatspi.ROLE_TEXT)
        options = tuple(button.description for button in buttons)
        correct, = self.answers[(1, a11y.text_of(box), options)]
        self.press(buttons[(correct if right else correct % 4 + 1) - 1])
        wait_for("the answer taken", lambda: not a11y.is_available(buttons[0]))

    def leave(self):
        """Leaves through the level's and the menu's Exit and the About box's Ok."""
        self.press(self.button(self.level, "Exit"))
        self.press(self.button(self.window("Tarvonix"), "Exit"))
        self.press(self.button(self.window("About TARVONIX"), "Ok"))
        expect_equal(self.program.process.wait(a11y.TIMEOUT), 0, "the program's exit status")


def expect_after(case, quiz, right, server, bells, sounds, rings):
    """Answers a question; then checks that it was followed by `sounds` sounds on the sound
    server, heard in its recording, and `rings` X bells."""
    answer = "a right answer" if right else "a wrong answer"
    streams, start, rung = server.streams(), server.position(), bells.count()
    quiz.answer(right)
    wait_for("%d sound(s) after %s" % (sounds, answer), lambda: server.streams() - streams >= sounds)
    wait_for("%d X bell(s) after %s" % (rings, answer), lambda: bells.count() - rung >= rings)
    time.sleep(QUIET)
    expect_equal(server.streams() - streams, sounds, "%s: sounds after %s" % (case, answer))
    expect_equal(bells.count() - rung, rings, "%s: X bells after %s" % (case, answer))
    peak = server.peak(start, server.position())
    print("%s: %s: %d sound(s), %d X bell(s), peak amplitude %.3f" % (case, answer, sounds, rings, peak))
    if sounds:
        expect(peak > 0.05, "%s: %s was not heard: peak amplitude %.3f" % (case, answer, peak))
    else:
        expect(peak < 0.001, "%s: %s was heard: peak amplitude %.3f" % (case, answer, peak))


def main():
    bank_export = sys.argv[2]
    for tool in ("pulseaudio", "pactl", "parec", "sox", "weston", "Xwayland", "mutter", "xsettingsd", "xprop"):
        if not shutil.which(tool):
            print("skipped: %s is missing (scripts/setup installs it)" % tool)
            return 77
    answers = a11y.read_bank(bank_export)
    desktop = a11y.Desktop()
    try:
        a11y.screen_reader_running()
        server = SoundServer(desktop)
        display = os.environ["DISPLAY"]
        bells = XBells(display)
        # Leaks of the sound thread and the libraries it loads are found here, if anywhere.
        sanitizer = {"ASAN_OPTIONS": "detect_leaks=1:abort_on_error=1"}

        # No sound server where the program looks for one, and none started for it.
        elsewhere = os.path.join(desktop.home, "elsewhere")
        os.mkdir(elsewhere, 0o700)
        with open(os.path.join(elsewhere, "client.conf"), "w") as conf:
            conf.write("autospawn = no\n")
        quiz = Quiz(desktop, answers, XDG_RUNTIME_DIR=elsewhere,
                    PULSE_CLIENTCONFIG=os.path.join(elsewhere, "client.conf"), **sanitizer)
        expect_after("no sound server", quiz, True, server, bells, sounds=0, rings=1)
        expect_after("no sound server", quiz, False, server, bells, sounds=0, rings=0)
        quiz.leave()

        # An X11 settings daemon says event sounds are off; then it is gone, and they are on.
        with open(os.path.join(desktop.home, "xsettingsd.conf"), "w") as conf:
            conf.write("Net/EnableEventSounds 0\n")
        settings = start(desktop, ["xsettingsd", "-c", os.path.join(desktop.home, "xsettingsd.conf")],
                         "xsettingsd.log")
        wait_for("xsettingsd to publish", lambda: log_shows(desktop, "xsettingsd.log", "selection"))
        quiz = Quiz(desktop, answers, **sanitizer)
        expect_after("event sounds off", quiz, True, server, bells, sounds=0, rings=0)
        settings.terminate()
        settings.wait()
        expect_after("event sounds on", quiz, True, server, bells, sounds=1, rings=0)
        quiz.leave()

        # GNOME's own setting says they are off.
        config = os.path.join(desktop.home, "config")
        os.makedirs(os.path.join(config, "glib-2.0", "settings"))
        with open(os.path.join(config, "glib-2.0", "settings", "keyfile"), "w") as keyfile:
            keyfile.write("[org/gnome/desktop/sound]\nevent-sounds=false\n")
        quiz = Quiz(desktop, answers, XDG_CURRENT_DESKTOP="GNOME", GSETTINGS_BACKEND="keyfile",
                    XDG_CONFIG_HOME=config, **sanitizer)
        expect_after("GNOME's event sounds off", quiz, True, server, bells, sounds=0, rings=0)
        quiz.leave()

        # A Wayland session: weston with XWayland, and the variables such a session sets.
        socket = "tarvonix-sound-%d" % os.getpid()
        start(desktop, ["weston", "--backend=headless-backend.so", "--xwayland", "--width=1024", "--height=768",
                        "--socket=" + socket, "--no-config", "--idle-time=0"], "weston.log")
        xwayland = wait_for("weston with XWayland", lambda: log_shows(
            desktop, "weston.log", r"xserver listening on display (:\d+)")).group(1)
        quiz = Quiz(desktop, answers, WAYLAND_DISPLAY=socket, DISPLAY=xwayland, XDG_SESSION_TYPE="wayland",
                    QT_QPA_PLATFORM=None, **sanitizer)
        wayland_bells = XBells(xwayland)
        expect_after("Wayland session", quiz, False, server, wayland_bells, sounds=0, rings=0)
        expect_after("Wayland session", quiz, True, server, wayland_bells, sounds=1, rings=0)
        expect_after("Wayland session", quiz, True, server, wayland_bells, sounds=1, rings=0)
        quiz.leave()

        # GNOME's window manager, which plays the theme's bell for every X bell it sees.
        mutter = start(desktop, ["mutter", "--x11", "--replace", "--sm-disable"], "mutter.log")
        wait_for("mutter to manage the screen", lambda: mutter.poll() is None and "window id" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True, text=True).stdout)
        quiz = Quiz(desktop, answers, **sanitizer)
        expect_after("mutter", quiz, False, server, bells, sounds=0, rings=0)
        expect_after("mutter", quiz, True, server, bells, sounds=1, rings=0)
        expect_after("mutter", quiz, True, server, bells, sounds=1, rings=0)
        quiz.leave()
        print("sound: every case as expected")
        return 0
    except Failure as failure:
        print("sound: FAILED: %s" % failure, file=sys.stderr)
        for log in ("pulseaudio.log", "weston.log", "mutter.log", "xsettingsd.log"):
            path = os.path.join(desktop.home, log)
            if os.path.exists(path):
                with open(path, errors="replace") as text:
                    print("--- %s (last lines)\n%s" % (log, "".join(text.readlines()[-15:])), file=sys.stderr)
        return 1
    finally:
        desktop.close()


if __name__ == "__main__":
    sys.exit(main())
