#!/usr/bin/python3
"""What a screen reader finds in Letro, read through AT-SPI as Orca reads it.

Runs the real program (the path in the first argument) on the X server and
D-Bus session that a11y.sh sets up, and checks:

  - every focusable control of the introduction window, the main window, the
    help window and the accent pad has a Spanish name that is not a bare
    number; the introduction's title is read once, as "Letro";
  - the typing box and the record box are text objects with their names and
    the text interface, the typing box editable and the record box not;
  - the figures carry their values, the font box keeps its name and the
    chosen type button is the checked one;
  - the accent pad's coming and going is announced;
  - a key typed outside the open typing box announces its hint, word for
    word, and choosing an exercise with Alt+arrows announces it;
  - a wrong key announces exactly the message the window shows in Label1,
    while the focus stays in the typing box;
  - a finished exercise announces its verdict and its summary line;
  - the record box is read through its text interface: the keys move its
    caret (caret-moved events follow), a screen reader moves it too, its
    lines are read at the caret, and no key changes its text;
  - the help text takes the focus and its caret moves with the arrows;
  - entering the number box with Tab selects its number once, after the
    box's focus is told (a screen reader reads it once, with the box), and
    a number typed over it is one deletion and one insertion;
  - F3 opens "Mi progreso": its controls are named, what it found is said
    as it opens, word for word; its tables are read cell by cell through
    the table interface (the exercise just finished, "Palabras 1", with its
    one capital-letter mistake in "sol"); its suggestion "Para practicar:
    mayúsculas" is shown and names the list of dictations to practise,
    which holds exactly the folder's dictations with a capital letter;
    Escape closes it.

Announcements count as Orca counts them: a notification that becomes
showing, or (Qt 6.8 and later) an announcement event.
"""
import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

PROGRAM = sys.argv[1]
TIMEOUT = 30.0
ENGLISH = {"ok", "cancel", "close", "apply", "yes", "no", "open", "save", "help", "reset"}

failures = []
announcements = []  # texts, as they arrive
caret_moves = []  # (object name, offset) as they arrive
focus_moves = []  # names of the objects that take the focus, as they arrive
number_box_events = []  # what the number box reports, in short, as it arrives

NUMBER_BOX = "Número de ejercicio"

# The balloon for a key typed while another control has the focus.
TYPING_BOX_HINT = "Para escribir, haz clic en el recuadro blanco o pulsa Tab hasta llegar a él"


def fail(message):
    failures.append(message)
    print("FAIL: " + message, flush=True)


def pump(seconds=0.0):
    """Lets AT-SPI events arrive for a moment (or only those waiting)."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.iteration(False):
            pass
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def wait_for(what, condition, timeout=TIMEOUT):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        pump()
        try:
            result = condition()
        except Exception:  # the object may be going away or not there yet
            result = None
        if result:
            return result
        time.sleep(0.05)
    raise SystemExit("FAIL: timed out waiting for " + what + " (applications: %r)\n" % application_debug() + "\n".join(failures))


def on_event(event):
    if os.environ.get("A11Y_DEBUG"):
        try:
            print("event %s %s %r %r" % (event.type, event.source.getRoleName(), event.source.name,
                                         event.detail1), flush=True)
        except Exception:  # noqa: BLE001
            pass
    try:
        told = number_box_event(event) if event.source.name == NUMBER_BOX else None
        if told:
            number_box_events.append(told)
        if event.type.startswith("object:state-changed:focused") and event.detail1 == 1:
            focus_moves.append(event.source.name)
        if event.type.startswith("object:text-caret-moved"):
            caret_moves.append((event.source.name, event.detail1))
        elif event.type.startswith("object:state-changed:showing"):
            if event.detail1 == 1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
                announcements.append(event.source.name)
        elif event.type.startswith("object:announcement"):
            announcements.append(str(event.any_data))
    except Exception as error:  # noqa: BLE001 - a vanished source is no announcement
        print("event not read: %s" % error, flush=True)


def number_box_event(event):
    """An event of the number box as a short text: "focused", "unfocused",
    "selection", or "delete"/"insert" with the offset and the text; None for
    the others (its caret moves)."""
    if event.type.startswith("object:state-changed:focused"):
        return "focused" if event.detail1 else "unfocused"
    if event.type.startswith("object:text-selection-changed"):
        return "selection"
    if event.type.startswith("object:text-changed:"):
        return "%s %d %r" % (event.type.split(":")[2], event.detail1, str(event.any_data))
    return None


def application_debug():
    desktop = pyatspi.Registry.getDesktop(0)
    return [a.name for a in desktop if a is not None]


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name in ("Letro", "letro"):
            return app
    return None


def frames():
    app = application()
    return [window for window in app if window is not None] if app else []


def frame(title_part):
    for window in frames():
        if title_part in window.name and states(window).contains(pyatspi.STATE_VISIBLE):
            return window
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def states(node):
    return node.getState()


def by_name(root, name, role=None):
    for node in walk(root):
        if node.name == name and (role is None or node.getRole() == role):
            return node
    return None


def focused_object():
    for window in frames():
        for node in walk(window):
            if states(node).contains(pyatspi.STATE_FOCUSED):
                return node
    return None


def check_names(root, where, role=None):
    """Every focusable control (or every control of `role`) is named."""
    count = 0
    for node in walk(root):
        if role is not None and node.getRole() != role:
            continue
        if role is None and not states(node).contains(pyatspi.STATE_FOCUSABLE):
            continue
        count += 1
        name = (node.name or "").strip()
        label = "%s: a focusable %s" % (where, node.getRoleName())
        if not name:
            fail(label + " has no name")
        elif name.isdigit():
            fail(label + " is named only by the number %r" % name)
        elif not any(c.isalpha() for c in name) or name.lower() in ENGLISH:
            fail(label + " has no Spanish name: %r" % name)
    if count == 0:
        fail(where + ": no control found")
    print("%s: %d focusable controls named" % (where, count), flush=True)


def check_text_box(root, name, editable):
    box = by_name(root, name)
    if box is None:
        fail("no object named %r" % name)
        return None
    if box.getRole() != pyatspi.ROLE_TEXT:
        fail("%r is a %s, not a text" % (name, box.getRoleName()))
    try:
        box.queryText()
    except NotImplementedError:
        fail("%r has no text interface" % name)
    if states(box).contains(pyatspi.STATE_EDITABLE) != editable:
        fail("%r should%s be editable" % (name, "" if editable else " not"))
    if box.childCount != 0:
        fail("%r shows %d children; its text is its own" % (name, box.childCount))
    return box


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def key(*keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=True)


def press(root, name):
    button = by_name(root, name)
    if button is None:
        raise SystemExit("FAIL: no button named %r" % name)
    action = button.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click"):
            action.doAction(i)
            return
    action.doAction(0)


def announced(prefix=None, exact=None, after=0):
    for text in announcements[after:]:
        if exact is not None and text == exact:
            return text
        if prefix is not None and text.startswith(prefix):
            return text
    return None


def main():
    for kind in ("object:state-changed:showing", "object:announcement", "object:text-caret-moved",
                 "object:state-changed:focused", "object:text-changed",
                 "object:text-selection-changed"):
        pyatspi.Registry.registerEventListener(on_event, kind)

    program = subprocess.Popen([PROGRAM], stdout=sys.stdout, stderr=sys.stderr)
    try:
        run()
    finally:
        program.terminate()
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()
    if failures:
        print("\n%d failures" % len(failures))
        sys.exit(1)
    print("all accessibility checks passed")


def run():
    intro = wait_for("the introduction window", lambda: frame("@EL"))
    wait_for("the introduction's controls", lambda: by_name(intro, "CONTINUAR"))
    check_names(intro, "introduction")
    showing_texts = [n.name for n in walk(intro)
                     if n.getRole() == pyatspi.ROLE_LABEL
                     and states(n).contains(pyatspi.STATE_SHOWING)]
    if showing_texts.count("Letro") != 1 or any(t in ("L", "e", "t", "r", "o") for t in showing_texts):
        fail("the introduction's title is not read once as 'Letro': %r" % showing_texts)

    press(intro, "CONTINUAR")
    main_window = wait_for("the main window", lambda: frame("letro@example.org"))
    typing = wait_for("the typing box", lambda: by_name(main_window, "Escribe aquí el dictado"))
    check_names(main_window, "main window")
    typing = check_text_box(main_window, "Escribe aquí el dictado", editable=True)
    record = check_text_box(main_window, "Lo escrito hasta ahora", editable=False)
    for name in ("Aciertos: 0", "Errores: 0", "Ejercicios sin faltas: 0", "Ejercicios con faltas: 0"):
        if by_name(main_window, name, pyatspi.ROLE_PUSH_BUTTON) is None and \
                by_name(main_window, name) is None:
            fail("no figure named %r" % name)
    combo = by_name(main_window, "Tipo de letra", pyatspi.ROLE_COMBO_BOX)
    if combo is None:
        fail("the font box is not a combo box named 'Tipo de letra'")
    checked = [n.name for n in walk(main_window)
               if n.name in ("Palabras", "Frase corta", "Frase larga")
               and states(n).contains(pyatspi.STATE_CHECKED)]
    if checked != ["Palabras"]:
        fail("the chosen type should be the one checked: %r" % checked)

    # The help window and the accent pad.
    key("F1")
    help_window = wait_for("the help window", lambda: frame("Ayuda de Letro"))
    wait_for("the help's buttons", lambda: by_name(help_window, "Cerrar"))
    check_names(help_window, "help window")
    help_text = by_name(help_window, "Texto de la ayuda")
    if help_text is None:
        fail("the help text has no name")
    else:
        read_help(help_text)
    opened = len(announcements)
    key("F2")
    pad = wait_for("the accent pad", lambda: frame("Acentos"))
    # The pad takes no focus: its coming and going is said.
    wait_for("the pad's opening announced", lambda: announced(exact="Acentos: abierto", after=opened))
    wait_for("the pad's keys", lambda: pad.childCount > 0)
    # The pad never takes the focus; its keys are read with the mouse or by
    # a screen reader's review.
    check_names(pad, "accent pad", pyatspi.ROLE_PUSH_BUTTON)
    mark = len(announcements)
    key("F2")
    wait_for("the pad's closing announced", lambda: announced(exact="Acentos: cerrado", after=mark))
    key("Escape")
    wait_for("the help window to close", lambda: frame("Ayuda de Letro") is None)

    # A key typed outside the typing box, which is open at start-up: the
    # balloon that points at the box is heard, word for word.
    wait_for("the main window to be active",
             lambda: states(main_window).contains(pyatspi.STATE_ACTIVE))
    mark = len(announcements)
    key("a")
    hint = wait_for("the hint %r" % TYPING_BOX_HINT,
                    lambda: announced(exact=TYPING_BOX_HINT, after=mark))
    print("hint heard: %r" % hint, flush=True)

    # Choosing an exercise from the keyboard is heard, with its type.
    for keys, said in (("alt+Right", "Palabras, ejercicio 2"), ("alt+Left", "Palabras, ejercicio 1")):
        mark = len(announcements)
        key(keys)
        heard = wait_for("the choice %r" % said, lambda: announced(exact=said, after=mark))
        print("choice heard: %r" % heard, flush=True)

    mark = type_into_number_box(main_window)

    # The pen: the typing box takes the focus.
    press(main_window, "Empezar a escribir")
    wait_for("the focus in the typing box",
             lambda: states(typing).contains(pyatspi.STATE_FOCUSED))
    check_number_box_events(mark)
    focused = focused_object()
    if focused is None or focused.name != "Escribe aquí el dictado" or \
            focused.getRole() != pyatspi.ROLE_TEXT:
        fail("the focused object is not the typing box as a text: %r" %
             (focused and (focused.name, focused.getRoleName())))

    # A wrong key: "S" where the text has "s".
    mark = len(announcements)
    key("shift+s")
    label1 = wait_for("the message in Label1",
                      lambda: next((n.name for n in walk(main_window)
                                    if n.getRole() == pyatspi.ROLE_LABEL and n.name.startswith("¡")),
                                   None))
    if label1 != "¡MAYÚSCULAS - MINÚSCULAS!":
        fail("Label1 shows %r" % label1)
    heard = wait_for("the mistake announced as Label1 shows it",
                     lambda: announced(exact=label1, after=mark))
    pump(0.3)
    if not states(typing).contains(pyatspi.STATE_FOCUSED):
        fail("the focus left the typing box at the announcement")
    if by_name(main_window, "Errores: 1") is None:
        fail("the mistakes figure is not named 'Errores: 1'")
    print("mistake heard: %r" % heard, flush=True)

    # Typing the exercise to its end; the end box is closed with Return.
    key("s", "o", "l")
    wait_for("the end box", lambda: any(
        "Fin del ejercicio" in n.name for w in frames() for n in walk(w)
        if n.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG, pyatspi.ROLE_LABEL)))
    mark = len(announcements)
    key("Return")
    heard = wait_for("the end announced", lambda: announced(prefix="Ejercicio terminado.", after=mark))
    lines = [line for line in text_of(record).split("\n") if line.strip()]
    # The last line is the attempt's keys followed by the summary " ** ... **".
    last = lines[-1] if lines else ""
    summary = last[last.find("**"):].strip("* ").lstrip("- ") if "**" in last else ""
    if not summary or summary not in heard or "1 falta" not in heard:
        fail("the end announced %r; the record box's summary is %r" % (heard, summary))
    if by_name(main_window, "Ejercicios con faltas: 1") is None:
        fail("the tally is not named 'Ejercicios con faltas: 1'")
    if by_name(main_window, "1 falta") is None:
        fail("the verdict picture is not named '1 falta'")
    print("end heard: %r" % heard, flush=True)

    read_record_box(main_window, record)
    read_progress(main_window)


def table_rows(table):
    """The cells of a table, read through its table interface, row by row."""
    cells = table.queryTable()
    rows = []
    for row in range(cells.nRows):
        rows.append([cells.getAccessibleAt(row, column).name
                     for column in range(cells.nColumns)])
    headers = [cells.getColumnHeader(column).name if cells.getColumnHeader(column) else ""
               for column in range(cells.nColumns)]
    return headers, rows


def read_progress(main_window):
    wait_for("the main window to be active",
             lambda: states(main_window).contains(pyatspi.STATE_ACTIVE))
    mark = len(announcements)
    key("F3")
    progress = wait_for("the progress window", lambda: frame("Mi progreso"))
    said = wait_for("the progress window's facts said", lambda: next(
        (text for text in announcements[mark:] if text.startswith("Has terminado")), None))
    print("progress heard: %r" % said, flush=True)
    # Its cells are named by what they hold (a count is a number): the
    # tables, the list and the buttons are what must carry Spanish names.
    for role in (pyatspi.ROLE_TABLE, pyatspi.ROLE_LIST, pyatspi.ROLE_PUSH_BUTTON):
        check_names(progress, "progress window", role)
    read_progress_tables(progress, said)
    key("Escape")
    wait_for("the progress window to close", lambda: frame("Mi progreso") is None)


def dictations_with_capitals():
    """The names of the dictations beside the program whose text has a
    capital letter, in the order of their types and numbers: what the
    suggestion "Para practicar: mayúsculas" offers."""
    folder = os.path.dirname(os.path.abspath(PROGRAM))
    names = []
    for kind in ("Palabras", "Frase corta", "Frase larga"):
        numbers = sorted(int(name) for name in os.listdir(os.path.join(folder, kind))
                         if name.isdigit())
        for number in numbers:
            with open(os.path.join(folder, kind, str(number)), "rb") as exercise:
                data = exercise.read()
            try:
                text = data.decode("utf-8-sig")
            except UnicodeDecodeError:
                text = data.decode("cp1252")
            lines = text.splitlines()
            if lines and any(c.isupper() for c in lines[0]):
                names.append("%s %d" % (kind, number))
    return names


def read_progress_tables(progress, said):
    """The exercise just finished, "Palabras 1" with its one capital-letter
    mistake, read through the tables, the suggestion and what was said."""
    table = wait_for("the table of each dictation's mistakes", lambda: by_name(
        progress, "Errores de cada dictado", pyatspi.ROLE_TABLE))
    headers, rows = table_rows(table)
    if headers != ["Fecha", "Dictado", "Errores"]:
        fail("the dictations' table has the headers %r" % headers)
    if len(rows) != 1 or rows[0][1:] != ["Palabras 1", "1"] or \
            not re.fullmatch(r"\d{1,2}/\d{1,2}/\d{4} \d\d:\d\d", rows[0][0]):
        fail("the dictations' table reads %r" % rows)
    else:
        print("dictations' table read: %r" % rows, flush=True)
    for name, expected_headers, expected_rows in (
            ("Errores de cada tipo", ["Tipo de error", "Veces"], [["mayúsculas", "1"]]),
            ("Palabras que más fallas", ["Palabra", "Veces"], [["sol", "1"]])):
        found = by_name(progress, name, pyatspi.ROLE_TABLE)
        if found is None:
            fail("no table named %r" % name)
            continue
        headers, rows = table_rows(found)
        if headers != expected_headers or rows != expected_rows:
            fail("the table %r reads %r %r" % (name, headers, rows))
        else:
            print("table %r read: %r" % (name, rows), flush=True)
    suggestion = "Para practicar: mayúsculas"
    practice = dictations_with_capitals()
    shown = [label.name for label in walk(progress) if label.getRole() == pyatspi.ROLE_LABEL
             and label.name == suggestion and states(label).contains(pyatspi.STATE_SHOWING)]
    if not shown:
        fail("the suggestion %r is not shown" % suggestion)
    offered = by_name(progress, suggestion, pyatspi.ROLE_LIST)
    if offered is None:
        fail("no list of dictations named %r" % suggestion)
    else:
        listed = [item.name for item in offered if item is not None]
        if listed != practice:
            fail("the suggestion offers %r; the folder's dictations with capitals are %r"
                 % (listed, practice))
        else:
            print("suggestion read: %r, %d dictations from %r" % (suggestion, len(listed), listed[0]),
                  flush=True)
    expected_said = ("Has terminado 1 dictado. El error que más repites: mayúsculas. "
                     "Para practicar: mayúsculas. Hay %d dictados para practicarlo." % len(practice))
    if said != expected_said:
        fail("the progress window said %r; expected %r" % (said, expected_said))


def type_into_number_box(main_window):
    """Tab into the number box, type 3 and 5 (exercise 35), Shift+Tab out
    and Tab in again, and type 1: exercise 1 again. Returns where its events
    start."""
    before = by_name(main_window, "Ejercicio anterior", pyatspi.ROLE_PUSH_BUTTON)
    before.queryComponent().grabFocus()
    wait_for("the focus on 'Ejercicio anterior'",
             lambda: states(before).contains(pyatspi.STATE_FOCUSED))
    box = by_name(main_window, NUMBER_BOX)
    mark = len(number_box_events)
    for keys, chosen in (("Tab", None), ("3", "3"), ("5", "35"), ("shift+Tab", None),
                         ("Tab", None), ("1", "1")):
        said = len(announcements)
        key(keys)
        if chosen is not None:
            wait_for("the choice of exercise " + chosen, lambda: announced(
                exact="Palabras, ejercicio " + chosen, after=said))
            if text_of(box) != chosen:
                fail("the number box holds %r after the choice of %s" % (text_of(box), chosen))
        elif keys == "Tab":
            wait_for("the number selected on entering the box",
                     lambda: box.queryText().getNSelections() == 1)
        else:
            wait_for("the focus out of the number box", lambda: focus_moves[-1] != NUMBER_BOX)
    return mark


def check_number_box_events(mark):
    """What the number box told of the typing of type_into_number_box, in
    order. The number is selected after the box's focus is told, once, so
    that a screen reader reads the box and its selected number once; a digit
    typed over it is the number deleted and the digit inserted; one typed
    after it, the digit inserted."""
    expected = ["focused", "selection",
                "delete 0 '1'", "insert 0 '3'", "selection",
                "insert 1 '5'",
                "unfocused",
                "focused", "selection",
                "delete 0 '35'", "insert 0 '1'", "selection",
                "unfocused"]
    # The pen's focus is told after the number box's focus is lost.
    wait_for("the typing box's focus told", lambda: focus_moves[-1] == "Escribe aquí el dictado")
    told = number_box_events[mark:]
    if told != expected:
        fail("the number box told %r; expected %r" % (told, expected))
    else:
        print("number box events: %r" % told, flush=True)


def caret(node):
    return node.queryText().caretOffset


def read_help(help_text):
    """The help is a text with a caret that the arrows move, a line at a time."""
    wait_for("the focus in the help text", lambda: states(help_text).contains(pyatspi.STATE_FOCUSED))
    text = help_text.queryText()
    key("ctrl+Home")
    wait_for("the help's caret at the start", lambda: caret(help_text) == 0)
    first = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)
    if first[0].strip() != "Ayuda de Letro":
        fail("the help's first line reads %r" % (first,))
    key("Down")
    offset = wait_for("the help's caret on the next line", lambda: caret(help_text) or None)
    line = text.getTextAtOffset(offset, pyatspi.TEXT_BOUNDARY_LINE_START)
    if not line[0].strip() or line[1] < first[2]:
        fail("the help's second line reads %r" % (line,))
    print("help read line by line: %r, %r" % (first[0], line[0]), flush=True)


def read_record_box(main_window, record):
    """The record box read as Orca reads it: its caret moved by the keys and
    by the screen reader, a line read at the caret, its text untouched."""
    press(main_window, "Mostrar u ocultar lo escrito")
    wait_for("the record box shown", lambda: states(record).contains(pyatspi.STATE_SHOWING))
    record.queryComponent().grabFocus()
    wait_for("the focus in the record box", lambda: states(record).contains(pyatspi.STATE_FOCUSED))
    text = record.queryText()
    whole = text.getText(0, -1)
    if "**" not in whole:
        fail("the record box holds %r" % whole)

    mark = len(caret_moves)
    key("ctrl+Home")
    wait_for("the record box's caret at the start (Ctrl+Home)", lambda: caret(record) == 0)
    first = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)
    if first[1] != 0 or not first[0].strip() or not whole.startswith(first[0]):
        fail("the record box's first line reads %r of %r" % (first, whole))
    key("Right")
    wait_for("the record box's caret one on (Right)", lambda: caret(record) == 1)
    key("ctrl+End")
    wait_for("the record box's caret at the end (Ctrl+End)", lambda: caret(record) == len(whole))
    key("Up")
    wait_for("the record box's caret a line up (Up)", lambda: caret(record) < len(whole))
    wait_for("the caret moves told", lambda: any(
        name == "Lo escrito hasta ahora" and offset == 0 for name, offset in caret_moves[mark:]))

    # The screen reader moves the caret as it reads on.
    text.setCaretOffset(3)
    wait_for("the caret set by the screen reader", lambda: caret(record) == 3)

    # Keys that would write are discarded.
    key("x", "BackSpace", "Delete", "Return", "ctrl+v")
    pump(0.5)
    if text.getText(0, -1) != whole:
        fail("a key changed the record box: %r" % text.getText(0, -1))
    print("record box read: %r" % first[0], flush=True)


if __name__ == "__main__":
    main()
