#!/usr/bin/python3
"""What the end-to-end progress run reads of the window "Mi progreso",
through AT-SPI as a screen reader reads it: the pupil's name, the tables
the charts shown (by their names), the tables cell by cell through their
table interface, and the suggestion with its list of dictations.

  progress-read.py EXPECTED SINCE UNTIL

waits (up to 30 s) until what the window reads is EXPECTED exactly, and
fails with what it read instead. Every date of the table of dictations must
read "d/M/yyyy HH:mm", lie between the times SINCE and UNTIL (seconds since
the epoch; the minute counts) and be no newer than the row above it; the
dates themselves are left out of the reading compared, the other cells are
all in it:

  Progreso de Bruno
  Gráfico de errores de cada dictado
  Gráfico de errores de cada tipo
  Errores de cada dictado: Fecha | Dictado | Errores
  Palabras 3 | 2
  ...
  Errores de cada tipo: Tipo de error | Veces
  ...
  Palabras que más fallas: Palabra | Veces
  ...
  Para practicar: b/v: Palabras 1
"""
import datetime
import sys
import time

import pyatspi

TIMEOUT = 30.0
TABLES = ("Errores de cada dictado", "Errores de cada tipo", "Palabras que más fallas")


def walk(node, depth=0):
    yield node
    if depth > 30:
        return
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def progress_window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None:
            continue
        for window in app:
            if window is not None and window.name == "Mi progreso" and \
                    window.getState().contains(pyatspi.STATE_VISIBLE):
                return window
    return None


def by_role(root, role, name=None):
    return [node for node in walk(root)
            if node.getRole() == role and (name is None or node.name == name)
            and node.getState().contains(pyatspi.STATE_SHOWING)]


def table_lines(table):
    cells = table.queryTable()
    headers = [cells.getColumnHeader(column).name if cells.getColumnHeader(column) else ""
               for column in range(cells.nColumns)]
    rows = [[cells.getAccessibleAt(row, column).name for column in range(cells.nColumns)]
            for row in range(cells.nRows)]
    return headers, rows


def check_dates(dates, since, until):
    """What is wrong with the dates of the table of dictations, or None."""
    low = datetime.datetime.fromtimestamp(since).replace(second=0, microsecond=0)
    high = datetime.datetime.fromtimestamp(until)
    last = None
    for text in dates:
        try:
            when = datetime.datetime.strptime(text, "%d/%m/%Y %H:%M")
        except ValueError:
            return "the date %r is not d/M/yyyy HH:mm" % text
        # strptime takes 08 for 8: the window writes no leading zero.
        if text != "%d/%d/%d %02d:%02d" % (when.day, when.month, when.year, when.hour, when.minute):
            return "the date %r is not written d/M/yyyy HH:mm" % text
        if not low <= when <= high:
            return "the date %r is not within the run (%s to %s)" % (text, low, high)
        if last is not None and when > last:
            return "the date %r is newer than the row above it" % text
        last = when
    return None


def reading(since, until):
    """The window's reading, as the module's docstring shows it."""
    window = progress_window()
    if window is None:
        return "(no visible window \"Mi progreso\")"
    lines = [label.name for label in by_role(window, pyatspi.ROLE_LABEL)
             if label.name.startswith("Progreso de ")]
    lines.extend(node.name for node in walk(window) if node.name.startswith("Gráfico ")
                 and node.getState().contains(pyatspi.STATE_SHOWING))
    for name in TABLES:
        tables = by_role(window, pyatspi.ROLE_TABLE, name)
        if len(tables) != 1:
            lines.append("%s: %d tables showing" % (name, len(tables)))
            continue
        headers, rows = table_lines(tables[0])
        lines.append("%s: %s" % (name, " | ".join(headers)))
        if name == TABLES[0]:
            wrong = check_dates([row[0] for row in rows], since, until)
            if wrong:
                lines.append(wrong)
            rows = [row[1:] for row in rows]
        lines.extend(" | ".join(row) for row in rows)
    for offered in by_role(window, pyatspi.ROLE_LIST):
        if offered.name.startswith("Para practicar: "):
            lines.append("%s: %s" % (offered.name, ", ".join(
                item.name for item in offered if item is not None)))
    return "\n".join(lines)


def main():
    expected, since, until = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
    end = time.monotonic() + TIMEOUT
    seen = ""
    while time.monotonic() < end:
        try:
            seen = reading(since, until)
        except Exception as error:  # noqa: BLE001 - the window still being filled
            seen = "(not read: %s)" % error
        if seen == expected:
            print(seen)
            return
        time.sleep(0.2)
    sys.exit("FAIL: \"Mi progreso\" reads:\n%s\n\nexpected:\n%s" % (seen, expected))


if __name__ == "__main__":
    main()
