// The end of an exercise and the start of an attempt in the real main window:
// tallies, result picture, summary line in the record box, the clock's ticks,
// the late emptying of the typing box, and what the start button resets.
#include "checking.h"

#include <QTest>

using namespace letro;
using namespace letro::test;

class TestCompletion : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        explicit Fixture(const QStringList &texts)
        {
            for (int i = 0; i < texts.size(); ++i)
                folder.addExercise(0, i + 1, exerciseBytes(texts.at(i)));
            harness = std::make_unique<Harness>(folder.path());
            w = std::make_unique<Window>(*harness);
        }
        ProgramFolder folder;
        std::unique_ptr<Harness> harness;
        std::unique_ptr<Window> w;
        Harness &h() { return *harness; }
    };

    // Types the current exercise with one wrong key at each of its first
    // `mistakes` positions; the last key finishes it.
    static void typeExercise(Window &w, int mistakes, int ticksBeforeLast = 0)
    {
        const QString text = w.h.form->expectedText();
        for (int i = 0; i < text.size(); ++i) {
            if (i < mistakes)
                typeKey(w.typing(), wrongFor(text.at(i)));
            if (i == text.size() - 1)
                w.tick(ticksBeforeLast);
            typeKey(w.typing(), text.at(i));
        }
    }

    // A text of exactly `length` characters, blanks and marks included.
    static QString textOfLength(int length)
    {
        const QString words =
            QStringLiteral("El perro de San Roque no tiene rabo, porque Ramón Rodríguez "
                           "se lo ha cortado. ");
        QString text;
        while (text.size() < length)
            text += words;
        text.truncate(length - 1);
        return text + u'.';
    }

private slots:
    void startUp()
    {
        Fixture f({QStringLiteral("casa")});
        Window &w = *f.w;
        QVERIFY(!w.timer(1)->isActive());
        QVERIFY(!w.timer(2)->isActive());
        QCOMPARE(w.seconds(), QString());
        QCOMPARE(w.h.form->elapsedSeconds(), 0);
        QCOMPARE(w.velantro(2)->gifPath(), QString());
        QCOMPARE(w.velantro(2)->left(), 8160.0);
        QCOMPARE(w.caption(QStringLiteral("Command9(0)")),
                 QStringLiteral("Sin faltas ortográficas"));
        QCOMPARE(w.caption(QStringLiteral("Command9(1)")),
                 QStringLiteral("Con faltas ortográficas"));
        QCOMPARE(w.h.form->cleanExercises(), 0);
        QCOMPARE(w.h.form->faultyExercises(), 0);
    }

    void verdict_data()
    {
        QTest::addColumn<int>("mistakes");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<double>("left");
        QTest::addColumn<QString>("cleanCaption");
        QTest::addColumn<QString>("faultyCaption");
        const QString clean0 = QStringLiteral("Sin faltas ortográficas");
        const QString faulty0 = QStringLiteral("Con faltas ortográficas");
        QTest::newRow("0") << 0 << QStringLiteral("ani.gif") << 8155.0
                           << QStringLiteral("1 SIN FALTAS") << faulty0;
        QTest::newRow("1") << 1 << QStringLiteral("2.gif") << 8675.0 << clean0
                           << QStringLiteral("1 CON FALTAS");
        QTest::newRow("2") << 2 << QStringLiteral("3.gif") << 8675.0 << clean0
                           << QStringLiteral("1 CON FALTAS");
        QTest::newRow("3") << 3 << QStringLiteral("4.gif") << 8675.0 << clean0
                           << QStringLiteral("1 CON FALTAS");
        QTest::newRow("4") << 4 << QStringLiteral("5.gif") << 8675.0 << clean0
                           << QStringLiteral("1 CON FALTAS");
        QTest::newRow("5") << 5 << QString() << 8675.0 << clean0 << QStringLiteral("1 CON FALTAS");
        QTest::newRow("12") << 12 << QString() << 8675.0 << clean0
                            << QStringLiteral("1 CON FALTAS");
    }

    void verdict()
    {
        QFETCH(int, mistakes);
        QFETCH(QString, picture);
        QFETCH(double, left);
        QFETCH(QString, cleanCaption);
        QFETCH(QString, faultyCaption);
        Fixture f({QStringLiteral("murciélago grande")});
        Window &w = *f.w;
        const QString path =
            picture.isEmpty() ? QString() : f.folder.path() + QStringLiteral("/gifs/") + picture;

        // Everything is on show while the message is up.
        QString shownPicture, shownClean, shownFaulty;
        double shownLeft = 0;
        bool resultActive = false;
        f.h().messages->onShow = [&](const QString &) {
            shownPicture = w.velantro(2)->gifPath();
            shownLeft = w.velantro(2)->left();
            shownClean = w.caption(QStringLiteral("Command9(0)"));
            shownFaulty = w.caption(QStringLiteral("Command9(1)"));
            resultActive = w.velantro(1)->isActive();
        };
        w.start();
        QVERIFY(w.velantro(1)->isActive());
        typeExercise(w, mistakes);
        QCOMPARE(w.mistakes(), QString::number(mistakes));
        QCOMPARE(shownPicture, path);
        QCOMPARE(shownLeft, left);
        QCOMPARE(shownClean, cleanCaption);
        QCOMPARE(shownFaulty, faultyCaption);
        QVERIFY(!resultActive);
        QCOMPARE(w.velantro(2)->gifPath(), path);
        QCOMPARE(w.velantro(2)->left(), left);
        QCOMPARE(w.h.form->cleanExercises(), mistakes == 0 ? 1 : 0);
        QCOMPARE(w.h.form->faultyExercises(), mistakes == 0 ? 0 : 1);
    }

    void talliesOverCleanFaultyClean()
    {
        Fixture f({QStringLiteral("sol")});
        Window &w = *f.w;
        const QString folder = f.folder.path();
        const int perFinish[] = {0, 2, 0};
        const char *clean[] = {"1 SIN FALTAS", "1 SIN FALTAS", "2 SIN FALTAS"};
        const char *faulty[] = {"Con faltas ortográficas", "1 CON FALTAS", "1 CON FALTAS"};
        const char *picture[] = {"/gifs/ani.gif", "/gifs/3.gif", "/gifs/ani.gif"};
        const double left[] = {8155, 8675, 8155};
        for (int i = 0; i < 3; ++i) {
            w.start();
            typeExercise(w, perFinish[i]);
            QCOMPARE(w.caption(QStringLiteral("Command9(0)")), QString::fromUtf8(clean[i]));
            QCOMPARE(w.caption(QStringLiteral("Command9(1)")), QString::fromUtf8(faulty[i]));
            QCOMPARE(w.velantro(2)->gifPath(), folder + QLatin1String(picture[i]));
            QCOMPARE(w.velantro(2)->left(), left[i]);
        }
        QCOMPARE(w.h.form->cleanExercises(), 2);
        QCOMPARE(w.h.form->faultyExercises(), 1);
        // Choosing nothing else in between, the tallies only grow; a new
        // start changes neither them nor the result picture.
        w.start();
        QCOMPARE(w.caption(QStringLiteral("Command9(0)")), QStringLiteral("2 SIN FALTAS"));
        QCOMPARE(w.velantro(2)->gifPath(), folder + QStringLiteral("/gifs/ani.gif"));
    }

    void workedExampleSummary()
    {
        // 150 characters, 2 mistakes, finished after 42 ticks.
        const QString text = textOfLength(150);
        QCOMPARE(text.size(), 150);
        Fixture f({text});
        Window &w = *f.w;
        w.start();
        typeExercise(w, 2, 42);
        QCOMPARE(w.seconds(), QStringLiteral("41 Seg."));
        QCOMPARE(w.h.form->elapsedSeconds(), 42);
        const QStringList lines = w.record()->text().split(u'\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0),
                 text + QStringLiteral(" ** 41 Seg. - 214(p/m) - 2 Errores - 150 Aciertos **"));
        QCOMPARE(lines.at(1), QString());
        // The summary is black and carries no accepted-character mark.
        for (int i = 150; i < lines.at(0).size(); ++i) {
            QCOMPARE(w.record()->colorAt(i), Black);
            QVERIFY(!w.record()->acceptedAt(i));
        }
        QCOMPARE(w.record()->colorAt(0), Magenta);
        QCOMPARE(w.record()->colorAt(1), Magenta);
        QCOMPARE(w.record()->colorAt(2), Blue);
        QCOMPARE(w.record()->colorAt(149), Blue);
        // No further tick comes: the clock is off.
        QVERIFY(!w.timer(1)->isActive());
    }

    void summaryWithoutMistakes_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QString>("summary");
        QTest::newRow("4 ticks") << 4
                                 << QStringLiteral(
                                        " ** 3 Seg. - 195(p/m) - 0 Errores - 13 Aciertos **");
        QTest::newRow("1 tick") << 1
                                << QStringLiteral(
                                       " ** 0 Seg. - 780(p/m) - 0 Errores - 13 Aciertos **");
        QTest::newRow("61 ticks") << 61
                                  << QStringLiteral(
                                         " ** 60 Seg. - 12(p/m) - 0 Errores - 13 Aciertos **");
        // Finished before the first tick: no display yet and a rate of 0.
        QTest::newRow("no tick") << 0
                                 << QStringLiteral(" **  - 0(p/m) - 0 Errores - 13 Aciertos **");
    }

    void summaryWithoutMistakes()
    {
        QFETCH(int, ticks);
        QFETCH(QString, summary);
        Fixture f({QStringLiteral("Hoy hace sol.")});
        Window &w = *f.w;
        w.start();
        typeExercise(w, 0, ticks);
        QCOMPARE(w.record()->text(), QStringLiteral("Hoy hace sol.") + summary + u'\n');
        QVERIFY(summary.contains(QStringLiteral("(p/m) - 0 Errores - ")));
    }

    void clockTicks()
    {
        Fixture f({QStringLiteral("casa")});
        Window &w = *f.w;
        w.start();
        QVERIFY(w.timer(1)->isActive());
        QCOMPARE(w.timer(1)->interval(), 1000);
        QCOMPARE(w.seconds(), QString());
        const char *shown[] = {"0 Seg.", "1 Seg.", "2 Seg."};
        for (int i = 0; i < 3; ++i) {
            w.tick();
            QCOMPARE(w.seconds(), QLatin1String(shown[i]));
            QCOMPARE(w.h.form->elapsedSeconds(), i + 1);
        }
        QCOMPARE(w.h.form->elapsedSeconds(), 3);

        // Choosing another exercise does not stop the clock.
        w.h.form->Command4_Click(1);
        QVERIFY(w.timer(1)->isActive());
        w.tick();
        QCOMPARE(w.seconds(), QStringLiteral("3 Seg."));

        // The next start sets the count to 0; the display keeps its last
        // text until the first tick.
        w.h.form->Command4_Click(0);
        w.start();
        QCOMPARE(w.h.form->elapsedSeconds(), 0);
        QCOMPARE(w.seconds(), QStringLiteral("3 Seg."));
        w.tick();
        QCOMPARE(w.seconds(), QStringLiteral("0 Seg."));
    }

    void finishStopsTheClockAt41()
    {
        Fixture f({QStringLiteral("casa")});
        Window &w = *f.w;
        w.start();
        QString shownSeconds;
        bool clockOn = true, lateOn = true;
        QString typingShown;
        f.h().messages->onShow = [&](const QString &) {
            shownSeconds = w.seconds();
            clockOn = w.timer(1)->isActive();
            lateOn = w.timer(2)->isActive();
            typingShown = w.typing()->text();
        };
        typeText(w.typing(), QStringLiteral("cas"));
        w.tick(42);
        typeKey(w.typing(), u'a');
        QCOMPARE(shownSeconds, QStringLiteral("41 Seg."));
        QVERIFY(!clockOn);
        QVERIFY(!lateOn);
        QCOMPARE(typingShown, QStringLiteral("casa"));
        QCOMPARE(w.seconds(), QStringLiteral("41 Seg."));
        QCOMPARE(w.h.form->elapsedSeconds(), 42);
        QVERIFY(!w.timer(1)->isActive());
        QCOMPARE(w.record()->text(),
                 QStringLiteral("casa ** 41 Seg. - 5(p/m) - 0 Errores - 4 Aciertos **\n"));
    }

    void typingBoxAfterTheFinish()
    {
        Fixture f({QStringLiteral("casa")});
        Window &w = *f.w;
        w.start();
        bool enabledDuring = false;
        f.h().messages->onShow = [&](const QString &) { enabledDuring = w.typing()->isEnabled(); };
        typeText(w.typing(), QStringLiteral("casa"));
        QVERIFY(enabledDuring);
        // The completing key's own insertion came after the box was emptied.
        QCOMPARE(w.typing()->text(), QStringLiteral("a"));
        QVERIFY(!w.typing()->isEnabled());
        QVERIFY(w.timer(2)->isActive());
        QCOMPARE(w.timer(2)->interval(), 10);
        QCOMPARE(w.h.form->textPos(), 1);
        QCOMPARE(w.h.form->recordPos(), w.h.form->recordStart() + 1);

        w.h.form->Timer2_Timer();
        QCOMPARE(w.typing()->text(), QString());
        QVERIFY(!w.timer(2)->isActive());
        QVERIFY(!w.typing()->isEnabled());
    }

    void lateEmptyingFiresByItself()
    {
        Fixture f({QStringLiteral("ab")});
        Window &w = *f.w;
        w.start();
        typeText(w.typing(), QStringLiteral("ab"));
        QCOMPARE(w.typing()->text(), QStringLiteral("b"));
        // The armed one-shot timer empties the box through the event loop.
        QTRY_COMPARE_WITH_TIMEOUT(w.typing()->text(), QString(), 2000);
        QVERIFY(!w.timer(2)->isActive());
        // It ticks once: nothing happens at a later time.
        QTest::qWait(50);
        QVERIFY(!w.timer(2)->isActive());
    }

    void startRightAfterStartUp()
    {
        Fixture f({QStringLiteral("casa")});
        Window &w = *f.w;
        w.start();
        QCOMPARE(w.record()->text(), QString());
        QCOMPARE(w.hits(), QStringLiteral("0"));
        QCOMPARE(w.mistakes(), QStringLiteral("0"));
        QCOMPARE(w.h.form->elapsedSeconds(), 0);
        QVERIFY(w.timer(1)->isActive());
        QVERIFY(w.typing()->isEnabled());
        QCOMPARE(w.h.form->focusWidget(), w.typing());
        QVERIFY(w.velantro(1)->isActive());
        QCOMPARE(w.h.form->textPos(), 1);
        QCOMPARE(w.h.form->recordPos(), 1);
        QCOMPARE(w.h.form->recordStart(), 1);
    }

    void startAfterFiveCharacters()
    {
        Fixture f({QStringLiteral("el perro")});
        Window &w = *f.w;
        w.start();
        typeText(w.typing(), QStringLiteral("ex"));
        typeText(w.typing(), QStringLiteral("l pe"));
        QCOMPARE(w.record()->text(), QStringLiteral("el pe"));
        QCOMPARE(w.h.form->recordPos(), 6);
        w.tick(2);
        w.start();
        QCOMPARE(w.record()->text(), QString());
        QCOMPARE(w.typing()->text(), QString());
        QCOMPARE(w.h.form->textPos(), 1);
        QCOMPARE(w.h.form->recordPos(), 1);
        QCOMPARE(w.hits(), QStringLiteral("0"));
        QCOMPARE(w.mistakes(), QStringLiteral("0"));
        QCOMPARE(w.h.form->elapsedSeconds(), 0);
        // The first character is expected again.
        typeKey(w.typing(), u'e');
        QCOMPARE(w.record()->text(), QStringLiteral("e"));
        QCOMPARE(w.record()->colorAt(0), Blue);
        QCOMPARE(w.hits(), QStringLiteral("1"));
    }

    void startAfterAFinish()
    {
        Fixture f({QStringLiteral("casa")});
        Window &w = *f.w;
        w.start();
        typeText(w.typing(), QStringLiteral("casa"));
        const QString finished = QStringLiteral("casa ** ") + w.seconds() +
                                 QStringLiteral(" - 0(p/m) - 0 Errores - 4 Aciertos **");
        QCOMPARE(w.record()->text(), finished + u'\n');
        const int length = w.record()->length();
        w.h.form->Timer2_Timer();

        w.start();
        QCOMPARE(w.record()->text(), finished + u'\n');
        QCOMPARE(w.h.form->recordPos(), length + 1);
        QCOMPARE(w.h.form->recordStart(), length + 1);
        typeText(w.typing(), QStringLiteral("ca"));
        QCOMPARE(w.record()->text(), finished + QStringLiteral("\nca"));
        // Started again mid-way: only the new line's characters go.
        w.start();
        QCOMPARE(w.record()->text(), finished + u'\n');
        w.tick(3);
        typeText(w.typing(), QStringLiteral("casa"));
        const QStringList lines = w.record()->text().split(u'\n');
        QCOMPARE(lines, (QStringList{
                            finished,
                            QStringLiteral("casa ** 2 Seg. - 80(p/m) - 0 Errores - 4 Aciertos **"),
                            QString()}));
    }

    void startWithAMistakePending_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<quint32>("firstColour");
        QTest::addColumn<QString>("mistakes");
        QTest::addColumn<QString>("tally");
        QTest::addColumn<QString>("caption");
        // The mistake was counted in the abandoned attempt only: this one is
        // judged on its own keys.
        QTest::newRow("finished clean")
            << QStringLiteral("casa") << Blue << QStringLiteral("0")
            << QStringLiteral("Command9(0)") << QStringLiteral("1 SIN FALTAS");
        QTest::newRow("a wrong first key counted")
            << QStringLiteral("xcasa") << Magenta << QStringLiteral("1")
            << QStringLiteral("Command9(1)") << QStringLiteral("1 CON FALTAS");
    }

    void startWithAMistakePending()
    {
        QFETCH(QString, typed);
        QFETCH(quint32, firstColour);
        QFETCH(QString, mistakes);
        QFETCH(QString, tally);
        QFETCH(QString, caption);
        Fixture f({QStringLiteral("casa")});
        Window &w = *f.w;
        w.start();
        typeText(w.typing(), QStringLiteral("cx"));
        QVERIFY(w.h.form->mistakePending());
        w.start();
        QVERIFY(!w.h.form->mistakePending());
        QCOMPARE(w.mistakes(), QStringLiteral("0"));
        QCOMPARE(w.record()->text(), QString());
        QCOMPARE(w.typing()->text(), QString());
        // The message of the last wrong key stays until the next key.
        QCOMPARE(w.message(), QStringLiteral("Te has confundido de letra"));
        typeText(w.typing(), typed);
        QCOMPARE(w.record()->colorAt(0), firstColour);
        QCOMPARE(w.record()->colorAt(1), Blue);
        QCOMPARE(w.mistakes(), mistakes);
        QCOMPARE(w.caption(tally), caption);
    }
};

QTEST_MAIN(TestCompletion)
#include "tst_completion.moc"
