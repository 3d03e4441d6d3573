#!/usr/bin/python3
"""The program on a desktop with a window manager: Debian's openbox on a virtual screen.

The borderless menu and level windows stay undecorated and unmovable at their centred
places; the keyboard alone reaches whichever window is in front, with no help from the
test; and the About box is a fixed dialog with a title bar, centred by its outer size
from the moment it is mapped. The same session runs at 100 % and on a screen scaled 200 %.

Usage: test_openbox.py PROGRAM
"""

import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

PROGRAM = os.path.abspath(sys.argv.pop(1))
DESKTOP = (1024, 768)  # the desktop's size in the program's own pixels

# _MOTIF_WM_HINTS bits
MWM_FUNC_RESIZE, MWM_FUNC_MINIMIZE, MWM_FUNC_MAXIMIZE = 1 << 1, 1 << 3, 1 << 4
MWM_DECOR_RESIZEH, MWM_DECOR_MINIMIZE, MWM_DECOR_MAXIMIZE = 1 << 2, 1 << 5, 1 << 6


def output(*command):
    return subprocess.run(command, capture_output=True, text=True).stdout


def wait_for(what, condition, limit=60.0):
    """Waits until condition() gives something true and returns it; fails after `limit`
    seconds, which only a program that never gets there takes."""
    deadline = time.monotonic() + limit
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("never happened: " + what)
        time.sleep(0.05)


def prop(window, name):
    """The value of a window property as xprop prints it after "=", or None."""
    text = output("xprop", "-id", str(window), name)
    return text.split("=", 1)[1].strip() if "=" in text else None


def cardinals(window, name):
    value = prop(window, name)
    return [int(v, 0) for v in value.split(",")] if value else None


def atoms(window, name):
    value = prop(window, name)
    return {a.strip() for a in value.split(",")} if value else set()


def client_rect(window):
    """Absolute position and size of the window's client area."""
    info = output("xwininfo", "-id", str(window))
    get = lambda label: int(re.search(label + r":\s+(-?\d+)", info).group(1))
    return (get("Absolute upper-left X"), get("Absolute upper-left Y"), get("Width"), get("Height"))


def size_hints(window):
    return output("xprop", "-id", str(window), "WM_NORMAL_HINTS")


def visible_windows():
    """The program's mapped top-level windows, by WM_CLASS."""
    ids = output("xdotool", "search", "--onlyvisible", "--classname", "^tarvonix$").split()
    return [int(i) for i in ids]


def named(name):
    for w in visible_windows():
        if output("xdotool", "getwindowname", str(w)).rstrip("\n") == name:
            return w
    return None


def active_window():
    value = output("xprop", "-root", "_NET_ACTIVE_WINDOW")
    m = re.search(r"window id # (0x[0-9a-f]+)", value)
    return int(m.group(1), 16) if m else None


def key(keys):
    """Keys as a player presses them: to whatever window has the focus."""
    subprocess.run(["xdotool", "key", keys], check=True)


def half_up(x):
    return int(x + 0.5)


class OnOpenbox(unittest.TestCase):
    SCALE = 1

    @classmethod
    def setUpClass(cls):
        cls.screen = (DESKTOP[0] * cls.SCALE, DESKTOP[1] * cls.SCALE)
        cls.home = tempfile.mkdtemp(prefix="tarvonix-openbox-")
        cls.addClassCleanup(shutil.rmtree, cls.home, ignore_errors=True)
        read, write = os.pipe()
        xvfb = cls.start(["Xvfb", "-displayfd", str(write), "-screen", "0", "%dx%dx24" % cls.screen, "-nolisten", "tcp"],
                         pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            display = pipe.readline().strip()
        if not display:
            raise RuntimeError("Xvfb did not start: %s" % xvfb.wait())
        os.environ["DISPLAY"] = ":" + display
        os.environ["HOME"] = cls.home  # openbox's and Qt's settings of this run only
        os.environ.pop("QT_QPA_PLATFORM", None)
        if cls.SCALE == 1:
            os.environ.pop("QT_SCALE_FACTOR", None)
        else:
            os.environ["QT_SCALE_FACTOR"] = str(cls.SCALE)
        wm_log = os.path.join(cls.home, "openbox.log")
        with open(wm_log, "w") as log:
            wm = cls.start(["openbox", "--sm-disable"], stdout=log, stderr=subprocess.STDOUT)
        try:
            wait_for("openbox manages the screen",
                     lambda: wm.poll() is not None or "window id" in output("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"))
        finally:
            if wm.poll() is not None:
                raise RuntimeError("openbox ended: " + pathlib.Path(wm_log).read_text())
        cls.program = cls.start([PROGRAM], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)

    @classmethod
    def start(cls, command, **options):
        """Starts a process that is ended when the class is done, however it ends."""
        process = subprocess.Popen(command, **options)

        def end():
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        cls.addClassCleanup(end)
        return process

    def assertBorderlessAndCentred(self, window):
        self.assertEqual(cardinals(window, "_NET_FRAME_EXTENTS"), [0, 0, 0, 0], "no frame")
        k = self.SCALE
        self.assertEqual(client_rect(window), (192 * k, 144 * k, 640 * k, 480 * k), "centred on the screen")
        allowed = atoms(window, "_NET_WM_ALLOWED_ACTIONS")
        self.assertTrue(allowed, "managed by the window manager")
        self.assertNotIn("_NET_WM_ACTION_MOVE", allowed)
        self.assertNotIn("_NET_WM_ACTION_RESIZE", allowed)

    def program_state(self):
        """What became of the program, for a failure's message: how it ended and what it
        wrote, or where each of its threads waits."""
        if self.program.poll() is not None:
            return "the program ended with %s: %s" % (self.program.returncode, self.program.stderr.read())
        threads = []
        for task in sorted(pathlib.Path("/proc", str(self.program.pid), "task").glob("*")):
            try:
                threads.append("%s in %s" % ((task / "comm").read_text().strip(), (task / "wchan").read_text().strip()))
            except OSError:
                pass
        return "the program is running; its threads wait: " + ", ".join(threads)

    def test_a_session_with_the_keyboard_alone(self):
        try:
            self.play_a_session_with_the_keyboard_alone()
        except AssertionError as failure:
            raise AssertionError("%s (%s)" % (failure, self.program_state())) from None

    def play_a_session_with_the_keyboard_alone(self):
        menu = wait_for("the menu is shown", lambda: named("Tarvonix"))
        wait_for("the menu has the keyboard", lambda: active_window() == menu)
        self.assertBorderlessAndCentred(menu)

        # A level opens in front of the menu and takes the keyboard.
        key("alt+1")
        level = wait_for("the Level 1 window is shown", lambda: ([w for w in visible_windows() if w != menu] or [None])[0])
        wait_for("the level window has the keyboard", lambda: active_window() == level)
        self.assertBorderlessAndCentred(level)
        key("alt+s")
        key("alt+1")

        # Its Exit gives the menu back the keyboard.
        key("alt+x")
        wait_for("the level window is gone", lambda: level not in visible_windows())
        wait_for("the menu has the keyboard again", lambda: active_window() == menu)

        # The menu's Exit: the About box, a fixed dialog.
        key("alt+x")
        about = wait_for("the About box is shown", lambda: named("About TARVONIX"))
        self.assertNotIn(menu, visible_windows())
        wait_for("the About box has the keyboard", lambda: active_window() == about)
        left, right, top, bottom = wait_for("the frame is drawn", lambda: cardinals(about, "_NET_FRAME_EXTENTS"))
        self.assertGreater(top, max(left, right, bottom), "a title bar")
        x, y, width, height = client_rect(about)
        k = self.SCALE
        self.assertEqual((width, height), (398 * k, 255 * k))
        outer_w, outer_h = width + left + right, height + top + bottom
        # Centred by its outer size, title bar included; on a scaled screen the program
        # places it to within one of its own pixels.
        for frame_edge, screen, outer in ((x - left, self.screen[0], outer_w), (y - top, self.screen[1], outer_h)):
            self.assertLessEqual(abs(frame_edge - half_up(screen / 2 - outer / 2)), k - 1,
                                 (frame_edge, screen, outer))
        # It was mapped where it now is: it asked for this place from the start, with no jump.
        asked = re.search(r"user specified location: (-?\d+), (-?\d+)", size_hints(about))
        self.assertEqual((int(asked.group(1)), int(asked.group(2))), (x, y))
        # Neither resizable nor maximisable; it moves and closes.
        self.assertIn("minimum size: %d by %d" % (width, height), size_hints(about))
        self.assertIn("maximum size: %d by %d" % (width, height), size_hints(about))
        allowed = atoms(about, "_NET_WM_ALLOWED_ACTIONS")
        self.assertTrue({"_NET_WM_ACTION_CLOSE", "_NET_WM_ACTION_MOVE"} <= allowed, allowed)
        self.assertFalse({"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ",
                          "_NET_WM_ACTION_MAXIMIZE_VERT"} & allowed, allowed)
        # It asks for no minimise box either. Openbox grants a dialog minimising whatever
        # the window asks ("dont let mwm hints kill any buttons"), so the request is what
        # can be checked here; window managers that honour it draw no such box.
        flags, functions, decorations = cardinals(about, "_MOTIF_WM_HINTS")[:3]
        self.assertEqual(flags & 3, 3, "functions and decorations both given")
        self.assertEqual(functions & (MWM_FUNC_RESIZE | MWM_FUNC_MINIMIZE | MWM_FUNC_MAXIMIZE), 0)
        self.assertEqual(decorations & (MWM_DECOR_RESIZEH | MWM_DECOR_MINIMIZE | MWM_DECOR_MAXIMIZE), 0)

        # Where openbox minimises it all the same, it comes straight back with the keyboard.
        subprocess.run(["xdotool", "windowminimize", str(about)], check=True)
        wait_for("the About box comes back", lambda: about in visible_windows() and active_window() == about)
        self.assertNotIn("_NET_WM_STATE_HIDDEN", atoms(about, "_NET_WM_STATE"))

        # Enter presses OK, which ends the program.
        key("Return")
        status = wait_for("the program ends", lambda: self.program.poll() is not None and [self.program.returncode])
        self.assertEqual(status, [0], self.program.stderr.read())


class OnOpenboxAt200(OnOpenbox):
    SCALE = 2


if __name__ == "__main__":
    unittest.main(verbosity=2)
