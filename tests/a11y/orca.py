#!/usr/bin/python3
"""Letro heard through the screen reader itself: Orca, silent, its debug log
read.

Runs on the X server and D-Bus session that a11y.sh sets up. Starts Orca with
braille off and no speech server: nothing is heard, and every utterance
lands in the log as "SPEECH OUTPUT: '...'". (With speech switched off, later
versions of Orca log only what they read of objects, not the messages they
present.) Then starts the program (the first argument), and checks that when the
pupil types a wrong key Orca speaks exactly the message the window shows in
Label1, while the focus stays in the typing box; and that the end of the
exercise is spoken with its summary.
"""
import os
import re
import subprocess
import sys
import time

import pyatspi

import a11y
from a11y import by_name, frame, key, press, states, wait_for, walk

PROGRAM = sys.argv[1]
LOG = os.path.join(os.environ["E2E_TMP"], "orca-debug.log")
OUTPUT = os.path.join(os.environ["E2E_TMP"], "orca-output.log")
# SPEECH OUTPUT: 'the text', then the voice it would be spoken in, if any
# (Orca 43 writes it right after the text, later versions after a blank).
UTTERANCE = re.compile(r"SPEECH OUTPUT: '(.*)'(?: ?(?:\{.*\}|None))?\s*$")
# Orca listens to the accessibility bus once its log says so (Orca 43,
# then later versions).
# The balloon shown when a letter comes in the case Caps Lock gives.
CAPS_LOCK_HINT = "Bloq Mayús está activado"

LISTENING = ("ORCA: Starting ATSPI registry.", "ORCA: Starting Atspi main event loop")

# Orca writes its debug log through Python's default block buffering; a
# launcher opens it line-buffered so that each utterance is readable at once.
LAUNCHER = """
import builtins, runpy, sys
log = sys.argv[1]
plain_open = builtins.open
def line_buffered_open(file, mode="r", *args, **kwargs):
    if file == log and "w" in mode:
        kwargs["buffering"] = 1
    return plain_open(file, mode, *args, **kwargs)
builtins.open = line_buffered_open
# No speech server: a module that does not exist, and no other to fall back on.
import orca.settings
orca.settings.speechServerFactory = "letro_no_speech_server"
orca.settings.speechFactoryModules = []
sys.argv = ["orca", "--disable", "braille", "--debug-file", log]
# Orca refuses to start beside any other Orca of the same user, and its
# --replace kills them all: another test's, or the user's own screen reader.
# This one has a private X server and bus of its own; the check is skipped.
launcher = runpy.run_path("/usr/bin/orca", run_name="orca_launcher")
launcher["main"].__globals__["otherOrcas"] = lambda: []
sys.exit(launcher["main"]())
"""


def spoken():
    """Every utterance Orca has logged so far, in order."""
    said = []
    for line in log_text().splitlines():
        match = UTTERANCE.search(line)
        if match:
            said.append(match.group(1))
    return said


def notification(text):
    """The text of what Orca says of a notification (its role, then its
    text) or of an announcement (the text alone)."""
    return text[len("notification "):] if text.startswith("notification ") else text


def spoken_after(mark, condition):
    return next((text for text in spoken()[mark:] if condition(text)), None)


def log_text():
    try:
        with open(LOG, encoding="utf-8", errors="replace") as log:
            return log.read()
    except FileNotFoundError:
        return ""


def log_tail():
    try:
        with open(OUTPUT, encoding="utf-8", errors="replace") as output:
            printed = output.read().splitlines()[-15:]
    except FileNotFoundError:
        printed = []
    return ("\n".join(log_text().splitlines()[-40:]) or "(no log)") + \
        "\nOrca's output, last lines:\n" + ("\n".join(printed) or "(none)")


def main():
    # -P: Orca's package, not this folder's orca.py, whatever the working
    # folder.
    with open(OUTPUT, "w") as output:
        orca = subprocess.Popen([sys.executable, "-P", "-c", LAUNCHER, LOG],
                                stdout=output, stderr=subprocess.STDOUT)
    program = None
    try:
        wait_for("Orca to listen to the accessibility bus",
                 lambda: any(line in log_text() for line in LISTENING))
        program = subprocess.Popen([PROGRAM], stdout=sys.stdout, stderr=sys.stderr)
        run()
    except SystemExit:
        print("Orca's log, last lines:\n" + log_tail(), flush=True)
        raise
    finally:
        for process in (program, orca):
            if process is None:
                continue
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
    if a11y.failures:
        print("Orca's log, last lines:\n" + log_tail(), flush=True)
        print("\n%d failures" % len(a11y.failures))
        sys.exit(1)
    print("all checks with Orca passed")


def run():
    intro = wait_for("the introduction window", lambda: frame("@EL"))
    wait_for("the introduction's button", lambda: by_name(intro, "CONTINUAR"))
    # Orca reads the window it finds active.
    mark = len(spoken())
    key("Return")
    main_window = wait_for("the main window", lambda: frame("letro@example.org"))
    typing = wait_for("the typing box", lambda: by_name(main_window, "Escribe aquí el dictado"))
    # Its title or its focused button, as the version of Orca chooses; not
    # just the echo of the key.
    wait_for("Orca to read the main window",
             lambda: spoken_after(mark, lambda t: t.strip().lower() != "return"))

    # The pen; Orca follows the focus into the typing box.
    mark = len(spoken())
    key("ctrl+Return")
    wait_for("the focus in the typing box",
             lambda: states(typing).contains(pyatspi.STATE_FOCUSED))
    heard = wait_for("Orca to announce the typing box",
                     lambda: spoken_after(mark, lambda t: "Escribe aquí el dictado" in t))
    print("Orca said at the pen: %r" % heard, flush=True)

    # A wrong key: "S" where the text has "s", typed with Caps Lock on, so
    # that the Caps Lock hint and the mistake come from one key: both are
    # heard, the hint first.
    mark = len(spoken())
    # Without --clearmodifiers, which would lift Caps Lock for the letter.
    subprocess.run(["xdotool", "key", "Caps_Lock", "s", "Caps_Lock"], check=True)
    label1 = wait_for("the message in Label1",
                      lambda: next((n.name for n in walk(main_window)
                                    if n.getRole() == pyatspi.ROLE_LABEL and n.name.startswith("¡")),
                                   None))
    heard = wait_for("Orca to speak %r" % label1,
                     lambda: spoken_after(mark, lambda t: notification(t) == label1))
    print("Orca said at the wrong key: %r" % heard, flush=True)
    # Orca ends a sentence it reads with a full stop.
    said = [notification(t).rstrip(".") for t in spoken()[mark:]]
    if CAPS_LOCK_HINT not in said:
        a11y.fail("Orca never spoke the Caps Lock hint; it said %r" % said)
    elif said.index(CAPS_LOCK_HINT) > said.index(label1):
        a11y.fail("Orca spoke the mistake before the Caps Lock hint: %r" % said)
    if not states(typing).contains(pyatspi.STATE_FOCUSED):
        a11y.fail("the focus left the typing box when Orca spoke")

    # The rest of the word; the end box is closed with Return and the
    # summary is spoken.
    mark = len(spoken())
    key("s", "o", "l")
    wait_for("Orca to read the end box",
             lambda: spoken_after(mark, lambda t: "Fin del ejercicio" in t))
    mark = len(spoken())
    key("Return")
    heard = wait_for("Orca to speak the end of the exercise",
                     lambda: spoken_after(mark, lambda t: notification(t).startswith(
                         "Ejercicio terminado.")))
    if "1 falta" not in heard:
        a11y.fail("Orca said at the end %r, without the mistake" % heard)
    print("Orca said at the end: %r" % heard, flush=True)


if __name__ == "__main__":
    main()
