// A long session: two thousand finished exercises of one short text, so that
// the record box grows past a hundred thousand positions. The record box must
// stay exactly right, and the cost of a key is measured (and printed) with
// the record box nearly empty, at about ten thousand and at about a hundred
// thousand characters.
#include "checking.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>

using namespace letro;
using namespace letro::test;

namespace {

const QString Text = QStringLiteral("Hoy hace sol.");
constexpr int Exercises = 2000;
constexpr int SampleKeys = 200;

// Exercise i gets i % 5 clock ticks before its last key, and a wrong key at
// one place every seventh time.
int ticksFor(int i)
{
    return i % 5;
}
int wrongAt(int i)
{
    return i % 7 == 3 ? i % Text.size() : -1;
}

double median(QList<qint64> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0.0 : double(v.at(v.size() / 2));
}

} // namespace

class TestLongSession : public QObject
{
    Q_OBJECT

private slots:
    void twoThousandExercises()
    {
        ProgramFolder folder;
        folder.addExercise(0, 1, exerciseBytes(Text));
        Harness h(folder.path());
        Window w(h);

        QStringList lines;      // expected finished lines
        QList<QString> colours; // per line: b, m or k
        QString label2;         // the clock display as the model keeps it

        // Key timings, in nanoseconds, for the first keys typed once the record
        // box has reached each size.
        const int sizes[] = {0, 10000, 100000};
        QList<qint64> samples[3];
        QList<qint64> finishSamples[3];

        QElapsedTimer total;
        total.start();
        for (int i = 0; i < Exercises; ++i) {
            w.start();
            QVERIFY(h.form->recordPos() - 1 == w.record()->length());
            int bucket = -1;
            for (int b = 2; b >= 0; --b) {
                if (w.record()->length() >= sizes[b] && samples[b].size() < SampleKeys) {
                    bucket = b;
                    break;
                }
            }
            QString lineColours;
            int ticks = 0;
            bool pending = false;
            int mistakes = 0;
            for (int p = 0; p < Text.size(); ++p) {
                if (p == Text.size() - 1) {
                    for (int t = 0; t < ticksFor(i); ++t) {
                        w.tick();
                        label2 = QStringLiteral("%1 Seg.").arg(ticks++);
                    }
                }
                if (p == wrongAt(i)) {
                    typeKey(w.typing(), wrongFor(Text.at(p)));
                    pending = true;
                    ++mistakes;
                }
                QElapsedTimer key;
                key.start();
                typeKey(w.typing(), Text.at(p));
                const qint64 ns = key.nsecsElapsed();
                if (bucket >= 0) {
                    if (p == Text.size() - 1)
                        finishSamples[bucket].append(ns);
                    else if (samples[bucket].size() < SampleKeys)
                        samples[bucket].append(ns);
                }
                lineColours += pending ? u'm' : u'b';
                pending = false;
            }
            h.form->Timer2_Timer();
            const QString summary = expectedSummary(label2, ticks, Text.size(), mistakes);
            lines.append(Text + summary);
            colours.append(lineColours + QString(summary.size(), u'k'));
        }
        const qint64 typingMs = total.elapsed();

        // The whole record box: one line per exercise, then the empty rest.
        const QString record = w.record()->text();
        QVERIFY(record.size() > 100000);
        const QStringList got = record.split(u'\n');
        QCOMPARE(got.size(), Exercises + 1);
        QCOMPARE(got.last(), QString());
        for (int i = 0; i < Exercises; ++i) {
            if (got.at(i) != lines.at(i))
                QFAIL(qPrintable(QStringLiteral("line %1: \"%2\", expected \"%3\"")
                                     .arg(i + 1)
                                     .arg(got.at(i), lines.at(i))));
        }
        // Colours and marks of a sample of lines, the last one included.
        int offset = 0;
        for (int i = 0; i < Exercises; ++i) {
            if (i % 97 == 0 || i >= Exercises - 3) {
                for (int c = 0; c < colours.at(i).size(); ++c) {
                    const QChar want = colours.at(i).at(c);
                    const quint32 wantColour = want == u'b' ? Blue : want == u'm' ? Magenta : Black;
                    const QByteArray at =
                        QStringLiteral("line %1, character %2").arg(i + 1).arg(c + 1).toUtf8();
                    QVERIFY2(w.record()->colorAt(offset + c) == wantColour, at);
                    QVERIFY2(w.record()->acceptedAt(offset + c) == (want != u'k'), at);
                }
            }
            offset += lines.at(i).size() + 1;
        }
        QCOMPARE(offset, w.record()->length());
        QCOMPARE(h.form->cleanExercises(), Exercises - Exercises / 7 - (Exercises % 7 > 3 ? 1 : 0));
        QCOMPARE(h.form->cleanExercises() + h.form->faultyExercises(), Exercises);

        // Positions past 32767 are kept exactly.
        w.start();
        QCOMPARE(h.form->recordPos() - 1, w.record()->length());
        QCOMPARE(h.form->recordStart(), h.form->recordPos());
        typeText(w.typing(), QStringLiteral("Hoy"));
        QVERIFY(w.record()->text().endsWith(QStringLiteral("**\nHoy")));
        w.start();
        QVERIFY(w.record()->text().endsWith(QStringLiteral("**\n")));
        QCOMPARE(h.form->recordPos() - 1, w.record()->length());

        // The same with the window on screen and the record box shown, so
        // that the box lays out and paints what it holds.
        w.button(QStringLiteral("Command2"))->click();
        h.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.form));
        QVERIFY(w.record()->isVisible());
        w.start();
        QList<qint64> shownSamples;
        while (shownSamples.size() < SampleKeys) {
            for (int p = 0; p < Text.size(); ++p) {
                QElapsedTimer key;
                key.start();
                typeKey(w.typing(), Text.at(p));
                if (p < Text.size() - 1)
                    shownSamples.append(key.nsecsElapsed());
            }
            h.form->Timer2_Timer();
            w.start();
            QCoreApplication::processEvents(); // let the boxes repaint
        }
        QVERIFY(w.record()->text().endsWith(Text + expectedSummary(label2, 0, Text.size(), 0) +
                                            QStringLiteral("\n")));

        // The cost of a key.
        qInfo("%d exercises (%d keys) typed in %lld ms; record box %d characters", Exercises,
              Exercises * int(Text.size()), typingMs, int(w.record()->length()));
        for (int b = 0; b < 3; ++b) {
            const double us = median(samples[b]) / 1000.0;
            const double finishUs = median(finishSamples[b]) / 1000.0;
            qInfo("record box >= %6d characters: median %.1f us per key (%d keys), "
                  "median %.1f us for a finishing key (%d)",
                  sizes[b], us, int(samples[b].size()), finishUs, int(finishSamples[b].size()));
            QCOMPARE(samples[b].size(), SampleKeys);
            // Only a sanity bound: this is a measurement, not a race.
            QVERIFY2(us < 20000.0, "a key takes longer than 20 ms");
        }
        const double shownUs = median(shownSamples) / 1000.0;
        qInfo("record box shown, %d characters: median %.1f us per key (%d keys)",
              int(w.record()->length()), shownUs, int(shownSamples.size()));
        QVERIFY2(shownUs < 20000.0, "a key takes longer than 20 ms");
        h.form->close();
    }
};

QTEST_MAIN(TestLongSession)
#include "tst_longsession.moc"
