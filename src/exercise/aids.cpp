#include "aids.h"

#include "checker/accentkeys.h"
#include "checker/characterkeys.h"
#include "exercise/exercisefile.h"
#include "exercise/exercisenumber.h"
#include "exercise/form1.h"
#include "scoring/spoken.h"
#include "ui/accentkeyfilter.h"
#include "ui/accessibility.h"
#include "ui/buttonkeys.h"
#include "ui/messageplacement.h"
#include "ui/platform.h"
#include "ui/windowplacement.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QToolTip>

namespace letro {

namespace {

QWidget *control(Form1 *form, const char *name)
{
    return form->findChild<QWidget *>(QLatin1String(name));
}

bool isInside(const QObject *object, const QWidget *widget)
{
    for (; object; object = object->parent()) {
        if (object == widget)
            return true;
    }
    return false;
}

bool related(const QObject *a, const QObject *b)
{
    const auto *wa = qobject_cast<const QWidget *>(a);
    const auto *wb = qobject_cast<const QWidget *>(b);
    return wa && wb && (isInside(wa, wb) || isInside(wb, wa));
}

// Shift, Ctrl, Alt and the like pressed alone come before the key they
// change; they are not the next key. Caps Lock is.
bool isLoneModifier(int key)
{
    return key != Qt::Key_CapsLock && isModifierKey(key);
}

// A letter that has two cases and came in the case Shift does not give:
// capital without Shift, small with Shift. That is what Caps Lock does.
bool looksLikeCapsLock(QChar c, bool shift)
{
    return c.toUpper() != c.toLower() && c.isUpper() != shift;
}

// A letter in the case Shift gives: Caps Lock is off.
bool looksLikeNoCapsLock(QChar c, bool shift)
{
    return c.toUpper() != c.toLower() && c.isUpper() == shift;
}

// Space (and Return, which presses a button as Space does) on a focused
// button press it: the key is meant there.
bool pressesButton(const QWidget *receiver, const QString &characters)
{
    return qobject_cast<const QAbstractButton *>(receiver) && characters == QLatin1String(" ");
}

// Places `window` beside the main window `form` as its message boxes go,
// leaving in view what the pupil still needs to see: the help is read
// while typing. Lowered to fit the screen's room, not under HelpLeastHeight.
// A Wayland compositor places windows itself.
void placeBesideKeptArea(QWidget *window, const Form1 *form)
{
    if (onWayland())
        return;
    constexpr int HelpLeastHeight = 240;
    const QRect kept = form->keptInView();
    const QRect keep(form->mapToGlobal(kept.topLeft()), kept.size());
    // The window's own frame is known only once it is mapped: the main
    // window's, from the same window manager, stands in for it.
    const QMargins frame = windowFrame(form->window());
    const QScreen *screen = form->screen();
    const QRect room = screen ? screen->availableGeometry() : keep;
    const QRect outer =
        besideKeptAreaShortened(keep, window->size().grownBy(frame), HelpLeastHeight, room);
    window->setGeometry(outer.marginsRemoved(frame));
}

// The dictations of the three type folders of `programFolder`, in the order
// of their types and numbers, each with its text; those that cannot be read
// are left out. Reads files only: called on the store's thread.
QList<progressview::Dictation> dictationsIn(const QString &programFolder)
{
    QList<progressview::Dictation> dictations;
    for (int type = 0; type < 3; ++type) {
        const QString typeName = Form1::typeName(type);
        const QDir folder(programFolder + QLatin1Char('/') + typeName);
        QList<int> numbers;
        for (const QString &name : folder.entryList(QDir::Files)) {
            if (isExerciseName(name) && name.toInt() <= MaxExerciseNumber)
                numbers.append(name.toInt());
        }
        std::sort(numbers.begin(), numbers.end());
        for (int number : std::as_const(numbers)) {
            const ExerciseText read = readExerciseFile(folder.filePath(QString::number(number)));
            if (read.status == ReadStatus::Ok)
                dictations.append({type, typeName, number, read.text});
        }
    }
    return dictations;
}

} // namespace

Aids::Aids(Form1 *form)
    : QObject(form), m_form(form), m_typingBox(control(form, "RichTextBox1")),
      m_pen(control(form, "Command5")), m_numberBox(control(form, "Text1")),
      m_fontBox(control(form, "Combo1")), m_hintTimer(new QTimer(this))
{
    m_hintTimer->setObjectName(QStringLiteral("HintTimer"));
    m_hintTimer->setSingleShot(true);
    m_hintTimer->setInterval(HintMilliseconds);
    connect(m_hintTimer, &QTimer::timeout, this, &Aids::hintTimeUp);

    const auto key = [form](QKeySequence keys) {
        auto *shortcut = new QShortcut(keys, form);
        shortcut->setContext(Qt::WindowShortcut);
        return shortcut;
    };
    connect(key(Qt::Key_F1), &QShortcut::activated, this, &Aids::showHelp);
    connect(key(Qt::Key_F2), &QShortcut::activated, this, &Aids::toggleAccentPad);
    connect(key(Qt::Key_F3), &QShortcut::activated, this, &Aids::showProgress);
    connect(key(Qt::Key_F5), &QShortcut::activated, form, &Form1::Command1_Click);
    connect(key(QKeySequence(Qt::SHIFT | Qt::Key_F5)), &QShortcut::activated, form,
            &Form1::replaySlowly);
    if (QWidget *loudspeaker = control(form, "Command1"))
        loudspeaker->setToolTip(QStringLiteral("Escuchar el dictado (F5; más despacio: Mayús+F5)"));

    // Keys for the buttons a pupil uses at every exercise. None types a
    // character: Ctrl and Alt keys are never typing, in the boxes or out.
    for (const ButtonKey &button : buttonKeys()) {
        auto *target = qobject_cast<QAbstractButton *>(control(form, button.name));
        if (!target)
            continue;
        target->setToolTip(button.toolTip);
        for (const QKeySequence &keys : button.keys)
            connect(key(keys), &QShortcut::activated, target, &QAbstractButton::click);
    }
    if (m_typingBox)
        new AccentKeyFilter(m_typingBox);
    letReturnPressButtons();

    qApp->installEventFilter(this);
}

QList<Aids::ButtonKey> Aids::buttonKeys()
{
    const auto alt = [](Qt::Key key) { return QKeySequence(Qt::ALT | key); };
    return {
        {"Command5",
         QStringLiteral("Empezar a escribir (Ctrl+Intro)"),
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}},
        {"Command3(0)",
         QStringLiteral("Ejercicio siguiente (Alt+Flecha derecha)"),
         {alt(Qt::Key_Right)}},
        {"Command3(1)",
         QStringLiteral("Ejercicio anterior (Alt+Flecha izquierda)"),
         {alt(Qt::Key_Left)}},
        {"Command4(0)", Form1::typeName(0) + QStringLiteral(" (Alt+1)"), {alt(Qt::Key_1)}},
        {"Command4(1)", Form1::typeName(1) + QStringLiteral(" (Alt+2)"), {alt(Qt::Key_2)}},
        {"Command4(2)", Form1::typeName(2) + QStringLiteral(" (Alt+3)"), {alt(Qt::Key_3)}},
    };
}

Aids::~Aids()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void Aids::showHelp()
{
    if (!m_help) {
        m_help = new HelpWindow(m_form);
        connect(m_help, &HelpWindow::accentPadToggled, this, &Aids::toggleAccentPad);
        connect(m_help, &HelpWindow::progressRequested, this, &Aids::showProgress);
    }
    if (!m_help->isVisible())
        placeBesideKeptArea(m_help, m_form);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void Aids::showProgress()
{
    if (!m_progress) {
        const QString folder = m_form->appFolder();
        m_progress = new progressview::ProgressWindow(
            m_form, {m_form->progressSession(), [folder] { return dictationsIn(folder); }});
        connect(m_progress, &progressview::ProgressWindow::dictationChosen, m_form,
                [form = m_form](int type, int number) {
                    form->chooseExercise(type, number);
                    form->show();
                    form->raise();
                    form->activateWindow();
                });
    }
    m_progress->reload();
    m_progress->show();
    m_progress->raise();
    m_progress->activateWindow();
}

void Aids::toggleAccentPad()
{
    if (!m_pad)
        m_pad = new AccentPad(m_form);
    if (m_pad->isVisible()) {
        m_pad->hide();
    } else {
        m_pad->placeBesideMainWindow();
        m_pad->show();
    }
    // The pad never takes the focus, so a screen reader would not notice it.
    announce(m_form, shownAnnouncement(m_pad->windowTitle(), !m_pad->isHidden()));
}

bool Aids::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_CapsLock)
            hideHintIf(CapsLock); // most likely turning it off
        if (!isLoneModifier(key->key()) && isNewKey(watched, event))
            keyArrived(static_cast<QWidget *>(watched),
                       characterKeys(key->text(), key->modifiers()), key->modifiers());
        break;
    }
    case QEvent::InputMethod: {
        // An accent typed with a dead key comes as a commit, with no key
        // event; Shift is as it was at the key that completed it.
        const auto *input = static_cast<QInputMethodEvent *>(event);
        if (!input->commitString().isEmpty() && isNewKey(watched, event))
            keyArrived(static_cast<QWidget *>(watched), characterKeys(input->commitString()),
                       QGuiApplication::keyboardModifiers());
        break;
    }
    case QEvent::KeyRelease:
        m_lastKey = nullptr;
        m_lastReceiver = nullptr;
        break;
    case QEvent::EnabledChange:
        // The typing box opens at the start of an attempt and shuts at its
        // end: each hint may show once again, and none up still holds.
        if (watched == m_typingBox) {
            m_shown.fill(false);
            hideHint();
        }
        break;
    case QEvent::FocusIn:
        if (watched == m_typingBox)
            hideHintIf(TypingBox);
        break;
    default:
        break;
    }
    return false;
}

bool Aids::isNewKey(QObject *receiver, QEvent *event)
{
    const auto *widget = qobject_cast<QWidget *>(receiver);
    if (!widget || widget->window() != m_form)
        return false;
    const QString text = event->type() == QEvent::KeyPress
                             ? static_cast<QKeyEvent *>(event)->text()
                             : static_cast<QInputMethodEvent *>(event)->commitString();
    const bool seen =
        m_lastReceiver && ((event == m_lastKey && related(receiver, m_lastReceiver)) ||
                           (isInside(receiver, m_typingBox) &&
                            isInside(m_lastReceiver, m_typingBox) && text == m_lastText));
    m_lastKey = event;
    m_lastReceiver = receiver;
    m_lastText = text;
    return !seen;
}

bool Aids::isOwnInput(const QWidget *receiver, const QString &characters) const
{
    // Digits typed into the number box choose an exercise, and the font box
    // takes any text: that typing is meant where it goes.
    if (isInside(receiver, m_fontBox))
        return true;
    if (!isInside(receiver, m_numberBox))
        return false;
    for (QChar c : characters) {
        if (!c.isDigit())
            return false;
    }
    return true;
}

void Aids::keyArrived(QWidget *receiver, const QString &characters, Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    for (QChar c : characters) {
        if (looksLikeNoCapsLock(c, shift))
            hideHintIf(CapsLock);
    }
    if (!m_typingBox || characters.isEmpty() || isOwnInput(receiver, characters) ||
        pressesButton(receiver, characters))
        return;
    if (!m_typingBox->isEnabled()) {
        showHint(Pen, m_pen);
        return;
    }
    if (!isInside(receiver, m_typingBox)) {
        showHint(TypingBox, m_typingBox);
        return;
    }
    for (QChar c : characters) {
        if (looksLikeCapsLock(c, shift)) {
            showHint(CapsLock, m_typingBox);
            return;
        }
    }
}

void Aids::showHint(Hint hint, QWidget *at)
{
    if (!at || m_shown[hint])
        return;
    m_shown[hint] = true;
    const QString texts[HintCount] = {penHint(), typingBoxHint(), capsLockHint()};
    m_balloon = texts[hint];
    m_up = hint;
    // Qt's own expiry is left beyond ours, which the pupil's situation may cut short.
    QToolTip::showText(at->mapToGlobal(at->rect().center()), m_balloon, at, QRect(),
                       2 * HintMilliseconds);
    m_hintTimer->start();
    announce(at, m_balloon); // screen readers do not read tooltips
}

void Aids::hideHint()
{
    // Only a balloon of ours: a tooltip the mouse brought up is not a hint.
    if (!m_balloon.isEmpty() && QToolTip::isVisible() && QToolTip::text() == m_balloon)
        QToolTip::hideText();
    m_balloon.clear();
    m_up = HintCount;
    m_hintTimer->stop();
}

void Aids::hideHintIf(Hint hint)
{
    if (m_up == hint)
        hideHint();
}

void Aids::hintTimeUp()
{
    hideHint();
}

} // namespace letro
