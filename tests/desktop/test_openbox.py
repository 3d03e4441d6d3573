#!/usr/bin/python3
"""The program on a desktop with a window manager: Debian's openbox on a virtual screen,
at 100 % and on a screen scaled 200 %.

The borderless menu and level windows stay undecorated and unmovable at their centred
places; the keyboard alone reaches whichever window is in front, with no help from the
test; and the About box is a fixed dialog with a title bar, centred by its outer size
from the moment it is mapped.

Usage: test_openbox.py PROGRAM
"""

import os
import re
import subprocess

from desktop import Desktop, geometry, output, run, wait_for, windows

# _MOTIF_WM_HINTS bits: functions resize, minimise, maximise; decorations likewise
MWM_FUNCTIONS, MWM_DECORATIONS = (1 << 1) | (1 << 3) | (1 << 4), (1 << 2) | (1 << 5) | (1 << 6)


def prop(window, name):
    """A window property as xprop prints it after "=", or None."""
    text = output("xprop", "-id", str(window), name)
    return text.split("=", 1)[1].strip() if "=" in text else None


def atoms(window, name):
    value = prop(window, name)
    return {a.strip() for a in value.split(",")} if value else set()


def cardinals_of(window, name):
    value = prop(window, name)
    return [int(v, 0) for v in value.split(",")] if value else None


def active_window():
    found = re.search(r"window id # (0x[0-9a-f]+)", output("xprop", "-root", "_NET_ACTIVE_WINDOW"))
    return int(found[1], 16) if found else None


def key(keys):
    """Keys as a player presses them: to whatever window has the focus."""
    subprocess.run(["xdotool", "key", keys], check=True)


def shown(name, besides=None):
    """The window shown with this title, or if none, the one besides that window."""
    return wait_for("the window %r" % (name or "besides the menu"),
                    lambda: [w for w in windows(name) if w != besides][0])


def has_keyboard(window, what):
    wait_for(what + " has the keyboard", lambda: active_window() == window)


def borderless_and_centred(window, k):
    assert cardinals_of(window, "_NET_FRAME_EXTENTS") == [0, 0, 0, 0], "a frame"
    assert geometry(window) == (192 * k, 144 * k, 640 * k, 480 * k), geometry(window)
    allowed = wait_for("the window managed", lambda: atoms(window, "_NET_WM_ALLOWED_ACTIONS"))
    assert not {"_NET_WM_ACTION_MOVE", "_NET_WM_ACTION_RESIZE"} & allowed, allowed


def session(program, k):
    with Desktop(size=(1024 * k, 768 * k)) as desktop:
        if k != 1:
            os.environ["QT_SCALE_FACTOR"] = str(k)
        desktop.window_manager("openbox", "--sm-disable")
        quiz = desktop.start([program], "tarvonix.log")
        menu = shown("Tarvonix")
        has_keyboard(menu, "the menu")
        borderless_and_centred(menu, k)

        # A level opens in front of the menu and takes the keyboard; its Exit gives the
        # menu back the keyboard.
        key("alt+1")
        level = shown(None, besides=menu)
        has_keyboard(level, "the level window")
        borderless_and_centred(level, k)
        for keys in ("alt+s", "alt+1", "alt+x"):
            key(keys)
        wait_for("the level window gone", lambda: level not in windows())
        has_keyboard(menu, "the menu again")

        # The menu's Exit: the About box, a fixed dialog with a title bar.
        key("alt+x")
        about = shown("About TARVONIX")
        assert menu not in windows(), "the menu is still shown"
        has_keyboard(about, "the About box")
        left, right, top, bottom = wait_for("the frame drawn", lambda: cardinals_of(about, "_NET_FRAME_EXTENTS"))
        assert top > max(left, right, bottom), "no title bar"
        x, y, width, height = geometry(about)
        assert (width, height) == (398 * k, 255 * k), (width, height)
        # Centred by its outer size, title bar included; on a scaled screen to within one
        # of the program's own pixels.
        for edge, screen, outer in ((x - left, 1024 * k, width + left + right), (y - top, 768 * k, height + top + bottom)):
            assert abs(edge - int(screen / 2 - outer / 2 + 0.5)) <= k - 1, (edge, screen, outer)
        # Mapped where it now is: it asked for this place from the start, with no jump.
        hints = output("xprop", "-id", str(about), "WM_NORMAL_HINTS")
        assert re.search(r"user specified location: %d, %d\b" % (x, y), hints), hints
        # Neither resizable nor maximisable, and it asks for no minimise box; it moves and closes.
        assert "minimum size: %d by %d" % (width, height) in hints, hints
        assert "maximum size: %d by %d" % (width, height) in hints, hints
        allowed = atoms(about, "_NET_WM_ALLOWED_ACTIONS")
        assert {"_NET_WM_ACTION_CLOSE", "_NET_WM_ACTION_MOVE"} <= allowed, allowed
        assert not {"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT"} & allowed
        flags, functions, decorations = cardinals_of(about, "_MOTIF_WM_HINTS")[:3]
        assert (flags & 3, functions & MWM_FUNCTIONS, decorations & MWM_DECORATIONS) == (3, 0, 0), \
            cardinals_of(about, "_MOTIF_WM_HINTS")

        # Openbox minimises a dialog all the same; it comes straight back with the keyboard.
        subprocess.run(["xdotool", "windowminimize", str(about)], check=True)
        wait_for("the About box back", lambda: windows("About TARVONIX") == [about] and active_window() == about)
        assert "_NET_WM_STATE_HIDDEN" not in atoms(about, "_NET_WM_STATE")

        # Enter presses OK, which ends the program.
        key("Return")
        status = wait_for("the program to end", lambda: quiz.poll() is not None and [quiz.returncode])
        assert status == [0], "the program ended with status %d" % status[0]


def test(program):
    for k in (1, 2):
        session(os.path.abspath(program), k)


run(test)
