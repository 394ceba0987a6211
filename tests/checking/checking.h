// Small helpers shared by the tests of the checker and the exercise's end:
// reaching the main window's controls by name and reading what they show.
#pragma once

#include "testsupport.h"
#include "ui/richtextbox.h"
#include "ui/velantro.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace letro::test {

struct Window
{
    explicit Window(Harness &h) : h(h) {}
    Harness &h;

    RichTextBox *typing() const { return h.child<RichTextBox>(QStringLiteral("RichTextBox1")); }
    RichTextBox *record() const { return h.child<RichTextBox>(QStringLiteral("RichTextBox2")); }
    QPushButton *button(const QString &name) const { return h.child<QPushButton>(name); }
    QString caption(const QString &name) const { return button(name)->text(); }
    QString hits() const { return caption(QStringLiteral("Command8(0)")); }
    QString mistakes() const { return caption(QStringLiteral("Command8(1)")); }
    QString message() const { return h.child<QLabel>(QStringLiteral("Label1"))->text(); }
    QString seconds() const { return h.child<QLabel>(QStringLiteral("Label2"))->text(); }
    Velantro *velantro(int n) const
    {
        return h.child<Velantro>(QStringLiteral("Velantro%1").arg(n));
    }
    QTimer *timer(int n) const { return h.child<QTimer>(QStringLiteral("Timer%1").arg(n)); }

    void start() const { button(QStringLiteral("Command5"))->click(); }
    void tick(int times = 1) const
    {
        for (int i = 0; i < times; ++i)
            h.form->Timer1_Timer();
    }
};

// The summary line worked out by hand from what the test did: `ticks` clock
// ticks, `label2` the clock display at the end, `hits` and `mistakes`.
inline QString expectedSummary(const QString &label2, qint64 ticks, qint64 hits, qint64 mistakes)
{
    const qint64 rate = ticks == 0 ? 0 : (hits * 60) / ticks;
    return QStringLiteral(" ** %1 - %2(p/m) - %3 Errores - %4 Aciertos **")
        .arg(label2)
        .arg(rate)
        .arg(mistakes)
        .arg(hits);
}

// Exercise bytes as written for the program (Windows-1252; every character the
// tests use lies in Latin-1).
inline QByteArray exerciseBytes(const QString &text)
{
    return text.toLatin1() + "\r\n";
}

// A key that is surely wrong where `expected` is the character to type.
inline QChar wrongFor(QChar expected)
{
    return expected == u'#' ? QChar(u'%') : QChar(u'#');
}

} // namespace letro::test
