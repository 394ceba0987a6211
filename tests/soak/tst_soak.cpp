// A seeded random-use soak of the main window: keys of every kind into the
// typing box and the record box, input-method commits, every button, the font
// list, the number box, clock ticks and message boxes, and after every single
// event the checks below.
//
// What must hold after every event:
// - While the typing box is open (an attempt is under way, or the first one
//   after start-up), it shows the accepted part of the exercise,
//   ExpectedText.left(TextPos - 1), followed by at most one wrong (red)
//   character, and that character only while a mistake is pending; the record
//   box ends with exactly that accepted part, from RecordStart, and
//   RecordPos - 1 is the record box's length.
// - While the typing box is shut (after a choice or a finish) it is empty, but
//   for the last key of a finish, which stays until Timer2 empties the box.
//   After a finish RecordPos is one past the record's end until the next start.
// - 1 <= RecordStart <= RecordPos.
// - Every finished line of the record box is a whole exercise text followed by
//   a summary line whose hits are that text's length; the last line is a
//   prefix of an exercise text.
// - Counters are decimal numbers; tallies count the finishes seen; the message
//   line shows nothing or one of the ten messages; the only message boxes are
//   "No encuentro el archivo" and "Fin del ejercicio".
#include "testsupport.h"

#include "exercise/form1.h"
#include "ui/richtextbox.h"
#include "ui/richtextview.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <random>

using namespace letro;
using namespace letro::test;

namespace {

struct Exercise
{
    int type;
    int number;
    QString text;
    QByteArray bytes; // as written on disk
};

QByteArray windows1252(const QString &text)
{
    QStringEncoder encoder("windows-1252");
    return encoder.encode(text);
}

// The exercises of the soak's program folder: every encoding and line ending
// the reader meets, an exercise with an empty first line, and gaps (Palabras 4,
// Frase larga 2) that send loads down to lower numbers.
QList<Exercise> exercises()
{
    return {
        {0, 1, QStringLiteral("casa"), windows1252(QStringLiteral("casa\r\n"))},
        {0, 2, QStringLiteral("¡Hola, niño!"), windows1252(QStringLiteral("¡Hola, niño!\r\notra"))},
        {0, 3, QStringLiteral("árbol y vaca"),
         QByteArray("\xEF\xBB\xBF") + QStringLiteral("árbol y vaca\n").toUtf8()},
        {0, 5, QString(), QByteArray("\r\nla primera línea está vacía\r\n")},
        {1, 1, QStringLiteral("¿Dónde está el pingüino?"),
         QStringLiteral("¿Dónde está el pingüino?\n").toUtf8()},
        {1, 2, QStringLiteral("El búho vio 3 hojas."),
         windows1252(QStringLiteral("El búho vio 3 hojas."))},
        {2, 1, QStringLiteral("Había una vez un barco muy pequeño; ¡qué sorpresa!"),
         windows1252(QStringLiteral("Había una vez un barco muy pequeño; ¡qué sorpresa!\r\n"))},
        {2, 3, QStringLiteral("x"), QByteArray("x\n")},
    };
}

const QStringList &mistakeMessages()
{
    static const QStringList all = {
        QString(),
        QStringLiteral("¡MAYÚSCULAS - MINÚSCULAS!"),
        QStringLiteral("¡Confundes 'y' y 'i'!"),
        QStringLiteral("¡Confundes 'b' y 'v'!"),
        QStringLiteral("No lleva 'h'"),
        QStringLiteral("Esta palabra lleva 'h'"),
        QStringLiteral("Esta vocal lleva acento"),
        QStringLiteral("Esta vocal NO lleva acento"),
        QStringLiteral("Después de una palabra viene un espacio"),
        QStringLiteral("Se necesita un signo de puntuación   ,  .  :  ;"),
        QStringLiteral("Te has confundido de letra"),
    };
    return all;
}

// The boxes' characters exactly as held: plain text would show a no-break
// space as a blank.
QString rawText(const RichTextBox *box)
{
    QString text = box->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

const QString NotFound = QStringLiteral("No encuentro el archivo");
const QString Finished = QStringLiteral("Fin del ejercicio");

// Characters of every kind a pupil's keyboard (or a stray paste) can produce.
const QString &keyPool()
{
    static const QString pool =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCHIVYZ áéíóúüÁÉÍÓÚÜñÑ¿¡?!.,;:-'\"0123456789"
                       "€ŒœŠ\u00A0ÀÇ") +
        QChar(0x0151) + QChar(0x03A9) + QChar(0x2192) + QChar(0x4E2D) // outside Windows-1252
        + QChar(0x01) + QChar(0x1B) + QChar(0x7F) + QChar(0x09) + QChar(0x81) + QChar(0x8D);
    return pool;
}

class Soak : public QObject
{
    Q_OBJECT

private slots:
    void randomUse();

private:
    QString checkState();
    QString checkRecord(bool whole);
    QString checkFinish(int cleanBefore) const;
    QString checkLine(qsizetype number, const QString &line) const;
    void step(int index);
    void startAttempt();
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_rng) < p; }
    QChar randomKey() { return keyPool().at(pick(int(keyPool().size()))); }
    void note(const QString &what);

    std::mt19937_64 m_rng;
    Harness *m_h = nullptr;
    Form1 *m_form = nullptr;
    RichTextBox *m_typing = nullptr;
    RichTextBox *m_record = nullptr;
    QLineEdit *m_text1 = nullptr;
    QComboBox *m_combo = nullptr;
    QLabel *m_label1 = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;
    QHash<QString, QPushButton *> m_buttons;
    QStringList m_buttonNames;
    QSet<QString> m_texts;
    QStringList m_history;
    qint64 m_finishes = 0;
    qint64 m_notFound = 0;
    qint64 m_correctKeys = 0;
};

void Soak::note(const QString &what)
{
    // Each event with the state it met: box open or shut, positions, timers.
    m_history.append(
        QStringLiteral("%1   [%2 TextPos %3 RecordPos %4 RecordStart %5%6%7]")
            .arg(what, m_typing->isEnabled() ? QStringLiteral("open") : QStringLiteral("shut"))
            .arg(m_form->textPos())
            .arg(m_form->recordPos())
            .arg(m_form->recordStart())
            .arg(m_form->mistakePending() ? QStringLiteral(" pending") : QString())
            .arg(m_timer2->isActive() ? QStringLiteral(" Timer2") : QString()));
    if (m_history.size() > 12)
        m_history.removeFirst();
}

void Soak::startAttempt()
{
    // Events here follow each other at once, but a pupil needs far longer
    // than Timer2's 10 ms to close "Fin del ejercicio" and press the start
    // button: a pending Timer2 tick has come by then.
    if (m_timer2->isActive()) {
        note(QStringLiteral("   Timer2 tick (10 ms after the finish)"));
        m_form->Timer2_Timer();
    }
    m_buttons.value(QStringLiteral("Command5"))->click();
}

void Soak::step(int index)
{
    const bool open = m_typing->isEnabled();
    const QString expected = m_form->expectedText();
    const int textPos = m_form->textPos();
    const int roll = pick(1000);

    if (!open && roll < 200) {
        note(QStringLiteral("%1: Command5 (box shut)").arg(index));
        startAttempt();
    } else if (roll < 700) {
        // A character key into the typing box: often the right one.
        QChar c;
        if (open && textPos >= 1 && textPos <= expected.size() && chance(0.6)) {
            c = expected.at(textPos - 1);
            ++m_correctKeys;
        } else {
            c = randomKey();
        }
        note(QStringLiteral("%1: key U+%2").arg(index).arg(c.unicode(), 4, 16, QLatin1Char('0')));
        typeKey(m_typing, c);
    } else if (roll < 730) {
        // Dead-key accents arrive as input-method commits, only to the open box
        // (a shut box cannot hold the focus the input method writes to).
        QString commit;
        const int n = 1 + pick(2);
        for (int k = 0; k < n; ++k) {
            if (open && textPos + k <= expected.size() && chance(0.5))
                commit += expected.at(textPos + k - 1);
            else
                commit += QStringLiteral("áéíóúÁÉ´¨").at(pick(9));
        }
        note(QStringLiteral("%1: commit \"%2\"").arg(index).arg(commit));
        if (open)
            commitText(m_typing, commit);
    } else if (roll < 750) {
        static const Qt::Key keys[] = {Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Delete,
                                       Qt::Key_Escape,    Qt::Key_Left,   Qt::Key_Home,
                                       Qt::Key_End};
        static const char *const texts[] = {"\b", "\r", "\x7f", "\x1b", "", "", ""};
        const int k = pick(7);
        note(QStringLiteral("%1: editing key %2").arg(index).arg(k));
        pressKey(m_typing, keys[k], Qt::NoModifier, QString::fromLatin1(texts[k]));
    } else if (roll < 755) {
        // A character outside the Basic Multilingual Plane: two UTF-16 units.
        note(QStringLiteral("%1: non-BMP key").arg(index));
        pressKey(m_typing, Qt::Key_unknown, Qt::NoModifier, QString::fromUcs4(U"\U0001F600"));
    } else if (roll < 770) {
        const QChar c = randomKey();
        note(QStringLiteral("%1: key U+%2 into the record box")
                 .arg(index)
                 .arg(c.unicode(), 4, 16, QLatin1Char('0')));
        typeKey(m_record, c);
        if (chance(0.2))
            pressKey(m_record, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    } else if (roll < 775) {
        note(QStringLiteral("%1: click in the typing box").arg(index));
        QTest::mouseClick(shownText(m_typing)->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(pick(200), pick(60)));
    } else if (roll < 835) {
        // Ticks come only from running timers, as the real ones do.
        if (m_timer1->isActive()) {
            note(QStringLiteral("%1: Timer1 tick").arg(index));
            m_form->Timer1_Timer();
        }
    } else if (roll < 850) {
        if (m_timer2->isActive()) {
            note(QStringLiteral("%1: Timer2 tick").arg(index));
            m_form->Timer2_Timer();
        }
    } else if (roll < 870) {
        note(QStringLiteral("%1: Command5").arg(index));
        startAttempt();
    } else if (roll < 900) {
        // Number box: mostly small numbers, so that loads find the exercises.
        const QString now = m_text1->text();
        if (!now.isEmpty() && (now.size() >= 2 || chance(0.5))) {
            note(QStringLiteral("%1: Backspace in Text1 (\"%2\")").arg(index).arg(now));
            m_text1->end(false);
            pressKey(m_text1, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
        } else {
            static const QString digits = QStringLiteral("1112223330456789a-");
            const QChar d = digits.at(pick(int(digits.size())));
            note(QStringLiteral("%1: '%2' into Text1 (\"%3\")").arg(index).arg(d).arg(now));
            m_text1->end(false);
            typeKey(m_text1, d);
        }
    } else if (roll < 980) {
        const QString name = m_buttonNames.at(pick(int(m_buttonNames.size())));
        // Keep the numbers small: "next" is taken only from low numbers.
        if (name == QLatin1String("Command3(0)") && m_text1->text().size() > 1) {
            note(QStringLiteral("%1: Command3(1)").arg(index));
            m_buttons.value(QStringLiteral("Command3(1)"))->click();
        } else if (name == QLatin1String("Command5")) {
            note(QStringLiteral("%1: Command5").arg(index));
            startAttempt();
        } else {
            note(QStringLiteral("%1: %2").arg(index).arg(name));
            m_buttons.value(name)->click();
        }
    } else {
        // Choosing a font from the list the font button filled.
        const int count = m_combo->count();
        if (count == 0) {
            note(QStringLiteral("%1: Command6").arg(index));
            m_buttons.value(QStringLiteral("Command6"))->click();
        } else {
            const int i = pick(count);
            note(QStringLiteral("%1: Combo1 item %2 of %3").arg(index).arg(i).arg(count));
            m_combo->setCurrentIndex(i);
            emit m_combo->activated(i);
        }
    }
}

QString Soak::checkState()
{
    const QString expected = m_form->expectedText();
    const int textPos = m_form->textPos();
    const int recordPos = m_form->recordPos();
    const int recordStart = m_form->recordStart();
    const bool pending = m_form->mistakePending();
    const QString typed = rawText(m_typing);
    const int recordLength = m_record->length();

    // Message boxes since the last event.
    for (const QString &shown : std::as_const(m_h->messages->shown)) {
        if (shown == Finished)
            ++m_finishes;
        else if (shown == NotFound)
            ++m_notFound;
        else
            return QStringLiteral("unexpected message box \"%1\"").arg(shown);
    }
    m_h->messages->shown.clear();

    if (recordStart < 1 || recordStart > recordPos)
        return QStringLiteral("RecordStart %1, RecordPos %2").arg(recordStart).arg(recordPos);

    if (m_typing->isEnabled()) {
        if (textPos < 1 || textPos > qMax<qsizetype>(expected.size(), 1))
            return QStringLiteral("TextPos %1 outside \"%2\"").arg(textPos).arg(expected);
        const QString accepted = expected.left(textPos - 1);
        if (!typed.startsWith(accepted) || typed.size() > textPos || typed.size() < textPos - 1)
            return QStringLiteral("typing box \"%1\" for accepted \"%2\"").arg(typed, accepted);
        if (typed.size() == textPos) {
            if (!pending)
                return QStringLiteral("extra character in \"%1\" with no mistake pending")
                    .arg(typed);
            if (textPos <= expected.size() && typed.at(textPos - 1) == expected.at(textPos - 1))
                return QStringLiteral("right character left as a mistake in \"%1\"").arg(typed);
            if (m_typing->colorAt(textPos - 1) != 0x000000FF)
                return QStringLiteral("wrong character not red in \"%1\"").arg(typed);
        }
        // Counters of the attempt: one hit per accepted character, at most one
        // mistake per position.
        const qint64 hits = m_buttons.value(QStringLiteral("Command8(0)"))->text().toLongLong();
        const qint64 mistakes = m_buttons.value(QStringLiteral("Command8(1)"))->text().toLongLong();
        if (hits != textPos - 1 || mistakes > textPos)
            return QStringLiteral("counters %1 hits, %2 mistakes at TextPos %3")
                .arg(hits)
                .arg(mistakes)
                .arg(textPos);
        if (recordPos - 1 != recordLength)
            return QStringLiteral("RecordPos %1 with record length %2 during an attempt")
                .arg(recordPos)
                .arg(recordLength);
        QTextCursor tail(shownText(m_record)->document());
        tail.setPosition(recordStart - 1);
        tail.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        if (tail.selectedText() != accepted)
            return QStringLiteral("record ends with \"%1\", accepted \"%2\"")
                .arg(tail.selectedText(), accepted);
        if (recordStart > 1 &&
            m_record->document()->characterAt(recordStart - 2) != QChar::ParagraphSeparator)
            return QStringLiteral("attempt recorded from %1, not at a line start").arg(recordStart);
    } else {
        if (!typed.isEmpty() && !(m_timer2->isActive() && typed.size() == 1))
            return QStringLiteral("shut typing box holds \"%1\"").arg(typed);
        const bool justFinished = recordPos - 1 == recordLength + 1 && recordStart == recordPos - 1;
        if (recordPos - 1 != recordLength && !justFinished)
            return QStringLiteral("RecordPos %1, RecordStart %2 with record length %3")
                .arg(recordPos)
                .arg(recordStart)
                .arg(recordLength);
    }

    static const QRegularExpression number(QStringLiteral("^\\d+$"));
    for (const char *name : {"Command8(0)", "Command8(1)"}) {
        const QString caption = m_buttons.value(QLatin1String(name))->text();
        if (!number.match(caption).hasMatch())
            return QStringLiteral("%1 shows \"%2\"").arg(QLatin1String(name), caption);
    }
    const QString clean = m_buttons.value(QStringLiteral("Command9(0)"))->text();
    const QString faulty = m_buttons.value(QStringLiteral("Command9(1)"))->text();
    const int cleanCount = m_form->cleanExercises();
    const int faultyCount = m_form->faultyExercises();
    if (cleanCount + faultyCount != m_finishes)
        return QStringLiteral("tallies %1 + %2 after %3 finishes")
            .arg(cleanCount)
            .arg(faultyCount)
            .arg(m_finishes);
    if (cleanCount > 0 && clean != QStringLiteral("%1 SIN FALTAS").arg(cleanCount))
        return QStringLiteral("Command9(0) shows \"%1\" for %2").arg(clean).arg(cleanCount);
    if (faultyCount > 0 && faulty != QStringLiteral("%1 CON FALTAS").arg(faultyCount))
        return QStringLiteral("Command9(1) shows \"%1\" for %2").arg(faulty).arg(faultyCount);
    if (!mistakeMessages().contains(m_label1->text()))
        return QStringLiteral("Label1 shows \"%1\"").arg(m_label1->text());
    return QString();
}

// Right after a finish: the summary line shows the attempt's counters, and
// the verdict went to the right tally.
QString Soak::checkFinish(int cleanBefore) const
{
    const QString hits = m_buttons.value(QStringLiteral("Command8(0)"))->text();
    const QString mistakes = m_buttons.value(QStringLiteral("Command8(1)"))->text();
    const QString line = m_record->document()->lastBlock().previous().text();
    const QString tail = QStringLiteral(" - %1 Errores - %2 Aciertos **").arg(mistakes, hits);
    if (!line.endsWith(tail))
        return QStringLiteral("summary \"%1\" after %2 hits, %3 mistakes")
            .arg(line, hits, mistakes);
    const bool clean = m_form->cleanExercises() == cleanBefore + 1;
    if (clean != (mistakes == QLatin1String("0")))
        return QStringLiteral("finish with %1 mistakes counted %2")
            .arg(mistakes, clean ? QStringLiteral("clean") : QStringLiteral("faulty"));
    return QString();
}

QString Soak::checkLine(qsizetype number, const QString &line) const
{
    static const QRegularExpression summary(QStringLiteral(
        "^(.*) \\*\\* (?:\\d+ Seg\\.)? - \\d+\\(p/m\\) - \\d+ Errores - (\\d+) Aciertos \\*\\*$"));
    const QRegularExpressionMatch m = summary.match(line);
    if (!m.hasMatch())
        return QStringLiteral("record line %1 \"%2\" has no summary").arg(number).arg(line);
    if (!m_texts.contains(m.captured(1)))
        return QStringLiteral("record line %1 \"%2\" is no exercise text").arg(number).arg(line);
    if (m.captured(2).toLongLong() != m.captured(1).size())
        return QStringLiteral("record line %1 \"%2\": hits differ from the text's length")
            .arg(number)
            .arg(line);
    return QString();
}

QString Soak::checkRecord(bool whole)
{
    // The whole record now and then; after a finish only its newest line, since
    // finished lines never change again (the whole check sees to that).
    QStringList lines;
    qsizetype first = 0;
    if (whole) {
        lines = rawText(m_record).split(QLatin1Char('\n'));
    } else {
        const QTextDocument *doc = m_record->document();
        const QTextBlock last = doc->lastBlock();
        if (last.previous().isValid())
            lines.append(last.previous().text());
        lines.append(last.text());
        first = doc->blockCount() - lines.size();
    }
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QString problem = checkLine(first + i + 1, lines.at(i));
        if (!problem.isEmpty())
            return problem;
    }
    const QString last = lines.last();
    for (const QString &text : std::as_const(m_texts)) {
        if (text.startsWith(last))
            return QString();
    }
    return QStringLiteral("last record line \"%1\" is no exercise's beginning").arg(last);
}

void Soak::randomUse()
{
    const quint64 seed = qEnvironmentVariableIsSet("LETRO_SOAK_SEED")
                             ? qEnvironmentVariable("LETRO_SOAK_SEED").toULongLong()
                             : 20240611;
    const int events = qEnvironmentVariableIsSet("LETRO_SOAK_EVENTS")
                           ? qEnvironmentVariableIntValue("LETRO_SOAK_EVENTS")
                           : 100000;
    m_rng.seed(seed);
    qInfo("soak: seed %llu, %d events (LETRO_SOAK_SEED, LETRO_SOAK_EVENTS)",
          static_cast<unsigned long long>(seed), events);

    ProgramFolder folder;
    for (const Exercise &e : exercises()) {
        folder.addExercise(e.type, e.number, e.bytes);
        m_texts.insert(e.text);
    }
    Harness h(folder.path());
    h.fonts = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Serif"),
               QStringLiteral("Ninguna Fuente")};
    m_h = &h;
    m_form = h.form;
    m_typing = h.child<RichTextBox>(QStringLiteral("RichTextBox1"));
    m_record = h.child<RichTextBox>(QStringLiteral("RichTextBox2"));
    m_text1 = h.child<QLineEdit>(QStringLiteral("Text1"));
    m_combo = h.child<QComboBox>(QStringLiteral("Combo1"));
    m_label1 = h.child<QLabel>(QStringLiteral("Label1"));
    m_timer1 = h.child<QTimer>(QStringLiteral("Timer1"));
    m_timer2 = h.child<QTimer>(QStringLiteral("Timer2"));
    m_buttonNames = {
        QStringLiteral("Command1"),    QStringLiteral("Command2"),    QStringLiteral("Command3(0)"),
        QStringLiteral("Command3(1)"), QStringLiteral("Command4(0)"), QStringLiteral("Command4(1)"),
        QStringLiteral("Command4(2)"), QStringLiteral("Command5"),    QStringLiteral("Command6"),
        QStringLiteral("Command7"),    QStringLiteral("Command8(0)"), QStringLiteral("Command8(1)"),
        QStringLiteral("Command9(0)"), QStringLiteral("Command9(1)")};
    for (const QString &name : std::as_const(m_buttonNames)) {
        auto *button = h.child<QPushButton>(name);
        QVERIFY2(button, qPrintable(name));
        m_buttons.insert(name, button);
    }
    QVERIFY(m_typing && m_record && m_text1 && m_combo && m_label1 && m_timer1 && m_timer2);
    h.form->show();

    QElapsedTimer clock;
    clock.start();
    // The whole report goes to the log (test messages are cut at 1 kB).
    const auto fail = [&](int index, const QString &what) {
        const QString report =
            QStringLiteral("soak: seed %1, event %2: %3\nreplay: LETRO_SOAK_SEED=%1 "
                           "LETRO_SOAK_EVENTS=%4\nlast events:\n  %5")
                .arg(seed)
                .arg(index)
                .arg(what)
                .arg(index + 1)
                .arg(m_history.join(QStringLiteral("\n  ")));
        qWarning().noquote() << report;
        return QStringLiteral("soak: seed %1, event %2: %3").arg(seed).arg(index).arg(what);
    };
    QString problem = checkState();
    if (!problem.isEmpty())
        QFAIL(qPrintable(fail(-1, problem)));
    int cleanBefore = 0;
    for (int i = 0; i < events; ++i) {
        step(i);
        const qint64 finishesBefore = m_finishes;
        problem = checkState();
        const bool whole = i % 5000 == 0 || i + 1 == events;
        if (problem.isEmpty() && (whole || m_finishes != finishesBefore))
            problem = checkRecord(whole);
        if (problem.isEmpty() && m_finishes != finishesBefore)
            problem = checkFinish(cleanBefore);
        cleanBefore = m_form->cleanExercises();
        if (!problem.isEmpty())
            QFAIL(qPrintable(fail(i, problem)));
        // Let the window paint and its real timers run now and then.
        if (i % 64 == 0)
            QCoreApplication::processEvents();
    }
    const qint64 ms = clock.elapsed();
    qInfo("soak: %d events in %lld ms; %lld finished exercises, %lld \"No encuentro el "
          "archivo\", %lld right keys sent, record box %d characters",
          events, ms, m_finishes, m_notFound, m_correctKeys, m_record->length());
    // The run must really have exercised finishes and fall-backs.
    QVERIFY2(m_finishes >= events / 2000, "too few finished exercises for a meaningful soak");
    QVERIFY2(m_notFound > 0, "no load ever fell back");
    h.form->close();
}

} // namespace

QTEST_MAIN(Soak)
#include "tst_soak.moc"
