#!/usr/bin/python3
"""What Orca, Debian's screen reader, says while a player plays Level 1 with the keys.

Runs the program on a virtual screen with openbox, a session bus and an accessibility bus
of its own, with Orca listening: speech on but no speech server, so Orca logs every
utterance and makes no sound. Presses keys as a player does (xdotool) and checks what Orca
said after each, word for word, the questions, options and verdicts as the bank has them:
the verdict or the question first, the question never twice, and nothing ever "selected".

Usage: test_screen_reader.py TARVONIX BANK_EXPORT   the check (exit 77 where Orca cannot start)
       test_screen_reader.py --transcript TARVONIX  prints each key and what Orca said after it
"""

import os
import re
import shutil
import subprocess
import sys

from desktop import Desktop, Skip, bank, expect, output, run, settled, wait_for

ECHOES = {"Tab": "tab", "space": "space"}  # Orca's echo of a key; "left alt" for an access key

# Level 1 played with the keys: each key, what Orca says first after its echo, in order,
# and, where a window opens or closes (which Orca presents as it sees fit), what it says at
# last. "Q": the next question, with its number; "T": its text alone; "1" to "4": that
# answer button; "V1" to "V4": the verdict on that answer; anything else word for word.
PLAY = [
    (None, [], "Level  1 push button."),
    # Opening on the question box, read whole, to its last character.
    ("alt+1", [], "Level 1 consists 200 Questions. Click on Start Button to start the Quiz."),
    # Access keys from the question box: the focus stays there and only the news is told.
    ("alt+s", ["Q"]),
    ("alt+2", ["V2"]),
    ("alt+n", ["Q"]),
    # Tab to an answer and press it: the verdict, and then the focus on Next.
    ("Tab", ["1"]),
    ("Tab", ["2"]),
    ("Tab", ["3"]),
    ("space", ["V3", "Next push button."]),
    # Next pressed where the focus is on it: the question, then the first answer.
    ("space", ["Q", "1"]),
    ("alt+4", ["V4", "Next push button."]),
    # Tab round to the question box: it is read with nothing selected, and left so.
    ("Tab", ["Exit push button."]),
    ("Tab", ["Question 3 read only text.", "T"]),
    ("Tab", ["Next push button."]),
    ("alt+n", ["Q", "1"]),
    ("alt+1", ["V1", "Next push button."]),
    ("alt+x", [], "Level  1 push button."),
    ("alt+x", [], "Ok push button."),
    ("alt+o", []),
]


class Speech:
    """Orca's utterances, in order, read from its debug log as it writes them."""

    LINE = re.compile(r"SPEECH OUTPUT: '(.*)'(?: voice=\S+)? *\{[^{}]*\}$")

    def __init__(self, log):
        self.log, self.said, self.unread, self.offset = log, [], b"", 0

    def read(self):
        if os.path.exists(self.log):
            with open(self.log, "rb") as log:
                log.seek(self.offset)
                data = log.read()
            self.offset += len(data)
            *lines, self.unread = (self.unread + data).split(b"\n")
            for line in lines:
                match = self.LINE.search(line.decode("utf-8", "replace"))
                if match:
                    self.said.append(match[1].rstrip())
        return self.said


def words(text):
    return " ".join(text.split())


def heard(token, said, state, records):
    """The state after Orca said `said` where `token` was wanted in `state`, or None."""
    state = dict(state)
    if token == "Q":
        match = re.fullmatch(r"Question (\d+)\. (.+)", said)
        state["records"] = match and [r for r in records if words(r[0]) == words(match[2])]
        state.update(number=state["number"] + 1, text=match and match[2])
        return state if state["records"] and int(match[1]) == state["number"] else None
    if token == "T":
        return state if words(said) == words(state["text"] + ".") else None
    if token in ("1", "2", "3", "4"):
        state["records"] = [r for r in state["records"] if words(said) == words("%s, %s push button." % (token, r[1][int(token) - 1]))]
        return state if state["records"] else None
    if token.startswith("V"):
        def verdict(record):
            right = record[2] == int(token[1])
            return words("Right answer. Marks Obtained %d" % (state["marks"] + 1) if right else
                         "Wrong answer. Correct Answer %d, %s" % (record[2], record[1][record[2] - 1]))
        state["records"] = [r for r in state["records"] if words(said) == verdict(r)]
        state["marks"] += said.startswith("Right")
        return state if state["records"] else None
    return state if words(said) == words(token) else None


def play(binary, records=None):
    """Plays PLAY; with the bank's `records`, checks it, else prints what Orca said."""
    if not shutil.which("orca"):
        raise Skip("Orca is not installed")
    with Desktop(bus=True) as desktop:
        os.environ["SPEECHD_ADDRESS"] = "unix_socket:" + os.path.join(desktop.home, "no-speech-server")
        desktop.window_manager("openbox", "--sm-disable")
        # Orca writes its debug log in blocks; line by line, it can be followed as it goes.
        settings, log = os.path.join(desktop.home, "orca"), os.path.join(desktop.home, "orca-debug.txt")
        os.mkdir(settings)
        with open(os.path.join(settings, "orca-customizations.py"), "w") as customizations:
            customizations.write("import orca.debug\nif orca.debug.debugFile:\n"
                                 "    orca.debug.debugFile.reconfigure(line_buffering=True)\n")
        # Orca does not start while another Orca of this user runs, on any screen: another
        # test's ends soon, a player's own does not.
        try:
            wait_for("the other Orca to end", lambda: not output("pgrep", "-u", str(os.getuid()), "-x", "orca"), 120)
        except AssertionError:
            raise Skip("another Orca of this user runs on this machine")
        orca = desktop.start(["orca", "-d", "braille", "-u", settings, "--debug-file=" + log], "orca.log")
        speech = Speech(log)
        try:
            wait_for("Orca to start", lambda: "Screen reader on." in speech.read() or orca.poll() is not None)
            if orca.poll() is not None:
                raise Skip("Orca ended at its start with status %d: %s" % (orca.returncode, desktop.log("orca.log")))
            state, readings, program = dict(number=0, marks=0, records=[], text=""), {}, None
            for key, wanted, *last in PLAY:
                start = len(speech.read())
                if key is None:
                    environment = dict(os.environ, ASAN_OPTIONS="detect_leaks=0:abort_on_error=1")
                    program = desktop.start([os.path.abspath(binary)], "tarvonix.log", env=environment)
                else:
                    subprocess.run(["xdotool", "key", key], check=True)
                if records is None:
                    settled(lambda: len(speech.read()), quiet=2.0)
                    print("[%s]\n%s" % (key or "start tarvonix", "".join("    %s\n" % s for s in speech.said[start:])),
                          end="", flush=True)
                    continue

                def after():
                    """What Orca said after the echo of the key; the states after each of `wanted`."""
                    said = speech.read()[start:]
                    echo = key and ("left alt" if key.startswith("alt+") else ECHOES[key])
                    said = said if echo is None else said[said.index(echo) + 1:] if echo in said else []
                    states = [state]
                    for token, utterance in zip(wanted, said):
                        states.append(states[-1] and heard(token, utterance, states[-1], records))
                    return said, states

                def done():
                    expect(program.poll() is None or key == "alt+o", "the program ended with %s" % program.returncode)
                    said, states = after()
                    return not all(states) or (len(states) > len(wanted) and
                                               all(s in said for s in last))
                wait_for("what Orca says after %s: %r" % (key or "the start", wanted + last), done, limit=120)
                said, states = after()
                expect(all(states), "after %s Orca said first %r where %r was wanted (the bank: %r)"
                       % (key, said[:len(wanted)], wanted, state["records"]))
                state = states[-1]
                for token in wanted:
                    if token in ("Q", "T"):
                        readings[state["text"]] = readings.get(state["text"], 0) + 1
            status = program.wait(60)
            expect(status == 0, "the program ended with status %d" % status)
            # Nothing more was said of a question than PLAY has it say, and nothing of a selection.
            said = speech.read()
            for question, times in readings.items():
                expect(sum(question in utterance for utterance in said) == times,
                       "%r was said other than %d times: %r" % (question, times, said))
            selections = [utterance for utterance in said if re.search(r"\bselected\b", utterance, re.IGNORECASE)]
            expect(not selections, "Orca spoke of a selection: %r" % selections)
        finally:
            if os.environ.get("TARVONIX_SCREEN_READER_KEEP_LOG") and os.path.exists(log):
                shutil.copy(log, os.environ["TARVONIX_SCREEN_READER_KEEP_LOG"])


if sys.argv[1] == "--transcript":
    play(sys.argv[2])
else:
    run(lambda binary, bank_export: play(binary, bank(bank_export, 1)))
