#!/usr/bin/python3
"""What the end-to-end editor test reads of the programs' windows, through
AT-SPI as a screen reader reads them. Each command waits (up to 30 s) for
its condition and fails with what it found instead.

  e2e-read.py box TITLE TEXT      a visible message box titled TITLE whose
                                  text is TEXT exactly
  e2e-read.py text NAME TEXT      an object named NAME whose text is TEXT
"""
import re
import sys
import time

import pyatspi

TIMEOUT = 30.0
BOX_ROLES = (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)


def walk(node, depth=0):
    yield node
    if depth > 30:
        return
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def windows():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None:
            continue
        for window in app:
            if window is not None and window.getState().contains(pyatspi.STATE_VISIBLE):
                yield window


def box_texts(title):
    """The texts of the visible message boxes titled `title`."""
    found = []
    for window in windows():
        if window.name != title or window.getRole() not in BOX_ROLES:
            continue
        labels = [node.name for node in walk(window)
                  if node.getRole() == pyatspi.ROLE_LABEL and node.name]
        found.append("\n".join(labels))
    return found


def object_texts(name):
    found = []
    for window in windows():
        for node in walk(window):
            if node.name == name:
                try:
                    text = node.queryText()
                    found.append(text.getText(0, text.characterCount))
                except NotImplementedError:
                    pass
    return found


def wait(what, read, expected):
    end = time.monotonic() + TIMEOUT
    seen = []
    while time.monotonic() < end:
        try:
            seen = read()
        except Exception:  # noqa: BLE001 - a window going away or not there yet
            seen = []
        if expected in seen:
            return
        time.sleep(0.1)
    sys.exit("FAIL: %s: expected %r, found %r" % (what, expected, seen))


def main():
    command, name, expected = sys.argv[1:4]
    if command == "box":
        wait("the message box %r" % name, lambda: box_texts(name), expected)
    elif command == "text":
        wait("the text of %r" % name, lambda: object_texts(name), expected)
    else:
        sys.exit("usage: e2e-read.py box|text NAME TEXT")


main()
