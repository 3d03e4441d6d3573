#!/usr/bin/python3
"""What Orca, Debian's screen reader, says while a player plays Level 1 with the keys.

Runs the program on a virtual screen with a window manager, a session bus and an
accessibility bus of its own, with Orca listening: speech on but no speech server, so
Orca logs every utterance and makes no sound. Reads Orca's debug log as it is written,
presses keys as a player does (xdotool) and checks what Orca said after each key: the
verdict or the question first, the question never twice, and nothing ever "selected".

Usage: screen_reader.py TARVONIX            the check (exit 77 where Orca cannot start)
       screen_reader.py --transcript TARVONIX   prints each key and what Orca said after it
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

TIMEOUT = 120.0  # seconds any one thing may take on a busy machine
SKIP = 77

ECHOES = {"Tab": "tab", "space": "space"}  # Orca's echo of a key; "left alt" for an access key

QUESTION = r"Question {}\. (?P<question>.+)"  # Start and Next: the question with its number
VERDICT = r"(Right answer\. Marks Obtained \d+|Wrong answer\. Correct Answer [1-4], .+)"
OPTION = r"{}, .+ push button\."
NEXT = r"Next push button\."

# Level 1 played with the keys: each key, what Orca says first after its echo, in order,
# and, where a window opens or closes (which Orca presents as it sees fit), what Orca says
# at last.
PLAY = [
    (None, [], r"Level  1 push button\."),
    # Opening on the question box, read whole, to its last character.
    ("alt+1", [], r"Level 1 consists 200 Questions\. Click on Start Button to start the Quiz\."),
    # Access keys from the question box: the focus stays there and only the news is told.
    ("alt+s", [QUESTION.format(1)]),
    ("alt+2", [VERDICT]),
    ("alt+n", [QUESTION.format(2)]),
    # Tab to an answer and press it: the verdict, and then the focus on Next.
    ("Tab", [OPTION.format(1)]),
    ("Tab", [OPTION.format(2)]),
    ("Tab", [OPTION.format(3)]),
    ("space", [VERDICT, NEXT]),
    # Next pressed where the focus is on it: the question, then the first answer.
    ("space", [QUESTION.format(3), OPTION.format(1)]),
    ("alt+4", [VERDICT, NEXT]),
    # Tab round to the question box: it is read with nothing selected, and left so.
    ("Tab", [r"Exit push button\."]),
    ("Tab", [r"Question 3 read only text\.", r"(?P<question>.+)\."]),
    ("Tab", [NEXT]),
    ("alt+n", [QUESTION.format(4), OPTION.format(1)]),
    ("alt+1", [VERDICT, NEXT]),
    ("alt+x", [], r"Level  1 push button\."),
    ("alt+x", [], r"Ok push button\."),
    ("alt+o", []),
]


class Failure(Exception):
    pass


class Skip(Exception):
    pass


class OrcaDesktop:
    """A virtual screen, a session bus, openbox and Orca, all of their own."""

    def __init__(self):
        if not shutil.which("orca"):
            raise Skip("Orca is not installed")
        self.home = tempfile.mkdtemp(prefix="tarvonix-orca-")
        os.chmod(self.home, 0o700)
        self.processes = []
        self.log = os.path.join(self.home, "orca.log")
        try:
            self.start_all()
        except BaseException:
            self.close()
            raise

    def start_all(self):
        read_end, write_end = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                   pass_fds=[write_end])
        os.close(write_end)
        with os.fdopen(read_end) as display:
            number = display.readline().strip()
        if not number:
            raise Failure("the virtual screen did not start")
        bus = self.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE)
        address = bus.stdout.readline().decode().strip()
        if not address:
            raise Failure("the session bus did not start")
        os.environ.update({"DISPLAY": ":" + number, "DBUS_SESSION_BUS_ADDRESS": address, "HOME": self.home,
                           "XDG_RUNTIME_DIR": self.home, "GSETTINGS_BACKEND": "memory", "QT_QPA_PLATFORM": "xcb",
                           "SPEECHD_ADDRESS": "unix_socket:" + os.path.join(self.home, "no-speech-server")})
        for name in ("QT_QPA_PLATFORMTHEME", "QT_ACCESSIBILITY", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON"):
            os.environ.pop(name, None)
        self.start(["openbox"])
        # Orca writes its debug log in blocks; line by line, it can be followed as it goes.
        settings = os.path.join(self.home, "orca")
        os.mkdir(settings)
        with open(os.path.join(settings, "orca-customizations.py"), "w") as customizations:
            customizations.write("import orca.debug\nif orca.debug.debugFile:\n"
                                 "    orca.debug.debugFile.reconfigure(line_buffering=True)\n")
        orca = self.start(["orca", "-d", "braille", "-u", settings, "--debug-file=" + self.log])
        self.speech = Speech(self.log)
        self.speech.wait("Orca to start", lambda said: "Screen reader on." in said, alive=orca, skip=True)

    def start(self, command, **options):
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   stdout=options.pop("stdout", subprocess.DEVNULL), **options)
        self.processes.append(process)
        return process

    def close(self):
        if os.environ.get("TARVONIX_SCREEN_READER_KEEP_LOG") and os.path.exists(self.log):
            shutil.copy(self.log, os.environ["TARVONIX_SCREEN_READER_KEEP_LOG"])
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(self.home, ignore_errors=True)


class Speech:
    """Orca's utterances, in order, read from its debug log as it writes them."""

    LINE = re.compile(r"SPEECH OUTPUT: '(.*)'(?: voice=\S+)? *\{[^{}]*\}$")

    def __init__(self, log):
        self.log = log
        self.said = []
        self.unread = b""
        self.offset = 0

    def read(self):
        try:
            with open(self.log, "rb") as log:
                log.seek(self.offset)
                data = log.read()
        except FileNotFoundError:
            return self.said
        self.offset += len(data)
        lines = (self.unread + data).split(b"\n")
        self.unread = lines.pop()
        for line in lines:
            match = self.LINE.search(line.decode("utf-8", "replace"))
            if match:
                self.said.append(match.group(1).rstrip())
        return self.said

    def wait(self, what, condition, alive=None, skip=False):
        deadline = time.monotonic() + TIMEOUT
        while not condition(self.read()):
            if alive is not None and alive.poll() is not None:
                raise (Skip if skip else Failure)("%s: it ended with status %s" % (what, alive.returncode))
            if time.monotonic() > deadline:
                raise Failure("waited %d s for %s; Orca said last: %r" % (TIMEOUT, what, self.said[-5:]))
            time.sleep(0.05)

    def settle(self, count):
        """Waits until Orca has said more than `count` things, then nothing for two seconds."""
        self.wait("Orca to speak", lambda said: len(said) > count)
        heard, quiet_since = len(self.said), time.monotonic()
        while time.monotonic() - quiet_since < 2.0:
            time.sleep(0.1)
            if len(self.read()) != heard:
                heard, quiet_since = len(self.said), time.monotonic()


def echo(key):
    return "left alt" if key.startswith("alt+") else ECHOES[key]


def after_echo(said, start, key):
    """What Orca said after the echo of `key`, which comes at or after `start`."""
    if key is None:
        return said[start:]
    for index in range(start, len(said)):
        if said[index] == echo(key):
            return said[index + 1:]
    return None


def matches(patterns, utterances):
    """Each utterance matched whole against the pattern in its place, as far as both go."""
    return [re.fullmatch(pattern, utterance) for pattern, utterance in zip(patterns, utterances)]


def play(program_path, transcript):
    desktop = OrcaDesktop()
    speech = desktop.speech
    environment = dict(os.environ, ASAN_OPTIONS="detect_leaks=0:abort_on_error=1")
    program = None
    readings = {}  # each question's text: how often PLAY has Orca say it
    try:
        for key, wanted, *last in PLAY:
            start = len(speech.read())
            if key is None:
                program = subprocess.Popen([program_path], env=environment)
            else:
                subprocess.run(["xdotool", "key", key], check=True)
            if transcript:
                speech.settle(start)
                print("[%s]\n%s" % (key or "start tarvonix", "".join("    %s\n" % s for s in speech.said[start:])),
                      end="", flush=True)
                continue
            def after(said):
                return after_echo(said, start, key) or []

            def done(said):
                first = matches(wanted, after(said))
                if not all(first):
                    return True  # something else was said first
                said_last = all(any(re.fullmatch(pattern, u) for u in after(said)) for pattern in last)
                return len(first) == len(wanted) and said_last
            speech.wait("what Orca says after %s: %r" % (key or "the start", wanted + last), done, alive=program)
            first = matches(wanted, after(speech.said))
            if not all(first):
                raise Failure("after %s Orca said first %r where %r was wanted"
                              % (key, after(speech.said)[:len(wanted)], wanted))
            for match in first:
                if "question" in match.groupdict():
                    readings[match["question"]] = readings.get(match["question"], 0) + 1
        status = program.wait(TIMEOUT)
        if status != 0:
            raise Failure("the program ended with status %d" % status)
        if transcript:
            return 0
        # Nothing more was said of a question than PLAY has it say, and nothing of a selection.
        said = speech.read()
        for question, wanted in readings.items():
            if sum(question in utterance for utterance in said) != wanted:
                raise Failure("%r was said %d times, wanted %d: %r"
                              % (question, sum(question in u for u in said), wanted, said))
        selections = [utterance for utterance in said if re.search(r"\bselected\b", utterance, re.IGNORECASE)]
        if selections:
            raise Failure("Orca spoke of a selection: %r" % selections)
        return 0
    finally:
        if program is not None and program.poll() is None:
            program.kill()
            program.wait()
        desktop.close()


def main():
    transcript = sys.argv[1] == "--transcript"
    try:
        status = play(sys.argv[-1], transcript)
        if not transcript:
            print("screen reader: Orca said what it should after each of %d keys" % (len(PLAY) - 1))
        return status
    except Skip as skip:
        print("screen reader: SKIPPED: %s" % skip)
        return SKIP
    except Failure as failure:
        print("screen reader: FAILED: %s" % failure, file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
