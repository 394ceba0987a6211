// A whole session through the real main window: several exercises chosen with
// the buttons, finished, started again half-way, abandoned for another one,
// with and without mistakes. After every step the record box is compared,
// line by line and colour by colour, with what a simple model of the pupil's
// keys says it must hold.
#include "checking.h"

#include <QTest>

using namespace letro;
using namespace letro::test;

namespace {

// What the record box must hold, worked out from the keys alone.
struct Model
{
    QStringList lines;       // finished lines: characters + summary
    QStringList lineColours; // one letter per character: b, m or k (black)
    QString partial;         // accepted characters of the attempt under way
    QString partialColours;
    QString expected; // text of the exercise loaded
    QString label2;   // the clock display
    int ticks = 0, hits = 0, mistakes = 0, pos = 0;
    bool pending = false, enabled = false, justFinished = false;
    int finished = 0, clean = 0, faulty = 0;

    void start()
    {
        partial.clear();
        partialColours.clear();
        ticks = hits = mistakes = pos = 0;
        pending = false;
        enabled = true;
        justFinished = false;
    }
    void choose(const QString &text)
    {
        expected = text;
        enabled = false;
    }
    void tick()
    {
        label2 = QStringLiteral("%1 Seg.").arg(ticks);
        ++ticks;
    }
    void key(QChar c)
    {
        if (!enabled)
            return;
        if (c != expected.at(pos)) {
            if (!pending)
                ++mistakes;
            pending = true;
            return;
        }
        ++hits;
        partial += c;
        partialColours += pending ? u'm' : u'b';
        pending = false;
        if (++pos < expected.size())
            return;
        const QString summary = expectedSummary(label2, ticks, hits, mistakes);
        lines.append(partial + summary);
        lineColours.append(partialColours + QString(summary.size(), u'k'));
        partial.clear();
        partialColours.clear();
        enabled = false;
        justFinished = true;
        ++finished;
        ++(mistakes == 0 ? clean : faulty);
    }
};

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<Harness> m_harness;
    std::unique_ptr<Window> m_w;
    Model m_model;

    const QStringList palabras = {QStringLiteral("casa"), QStringLiteral("hoy llueve"),
                                  QStringLiteral("árbol, búho")};
    const QString corta = QStringLiteral("El niño come.");
    const QString larga = QStringLiteral("¿Vienes mañana? ¡Sí, a las 5!");

    Window &w() { return *m_w; }

    void click(const QString &button, const QString &loads = QString())
    {
        w().button(button)->click();
        if (button == QLatin1String("Command5"))
            m_model.start();
        else
            m_model.choose(loads);
        QCOMPARE(m_harness->form->expectedText(), m_model.expected);
    }
    void tick(int n)
    {
        for (int i = 0; i < n; ++i) {
            w().tick();
            m_model.tick();
        }
    }
    void type(const QString &keys)
    {
        for (QChar c : keys) {
            typeKey(w().typing(), c);
            m_model.key(c);
            if (!w().typing()->isEnabled())
                m_harness->form->Timer2_Timer();
        }
    }

    // The record box against the model: text line by line, then every
    // character's colour and accepted-character mark.
    void verify(const char *where)
    {
        const QByteArray at(where);
        QStringList wanted = m_model.lines;
        wanted.append(m_model.partial);
        const QStringList lines = w().record()->text().split(u'\n');
        if (lines != wanted) {
            qWarning().noquote() << "record box:" << lines;
            qWarning().noquote() << "expected:  " << wanted;
        }
        QVERIFY2(lines == wanted, at);

        QStringList colours = m_model.lineColours;
        colours.append(m_model.partialColours);
        int offset = 0;
        for (int l = 0; l < colours.size(); ++l) {
            const QString &line = colours.at(l);
            for (int i = 0; i < line.size(); ++i) {
                const quint32 colour = w().record()->colorAt(offset + i);
                const QChar want = line.at(i);
                const quint32 wantColour = want == u'b' ? Blue : want == u'm' ? Magenta : Black;
                const QByteArray msg =
                    at + QStringLiteral(": line %1, character %2").arg(l + 1).arg(i + 1).toUtf8();
                QVERIFY2(colour == wantColour, msg);
                QVERIFY2(w().record()->acceptedAt(offset + i) == (want != u'k'), msg);
            }
            offset += line.size() + 1;
        }
        QCOMPARE(w().hits(), QString::number(m_model.hits));
        QCOMPARE(w().mistakes(), QString::number(m_model.mistakes));
        QCOMPARE(m_harness->form->mistakePending(), m_model.pending);
        QCOMPARE(w().typing()->isEnabled(), m_model.enabled);
        QCOMPARE(m_harness->form->cleanExercises(), m_model.clean);
        QCOMPARE(m_harness->form->faultyExercises(), m_model.faulty);
        QCOMPARE(m_harness->messages->shown.count(QStringLiteral("Fin del ejercicio")),
                 m_model.finished);
        // The attempt's characters are the last ones in the box; right after a
        // finish the range is the one position past the line break.
        const int recorded = m_harness->form->recordPos() - m_harness->form->recordStart();
        QVERIFY2(recorded == m_model.partial.size() + (m_model.justFinished ? 1 : 0), at);
        QVERIFY2(m_harness->form->recordStart() - 1 ==
                     w().record()->length() - m_model.partial.size(),
                 at);
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        for (int i = 0; i < palabras.size(); ++i)
            m_folder->addExercise(0, i + 1, exerciseBytes(palabras.at(i)));
        m_folder->addExercise(1, 1, exerciseBytes(corta));
        m_folder->addExercise(2, 1, exerciseBytes(larga));
        m_harness = std::make_unique<Harness>(m_folder->path());
        m_w = std::make_unique<Window>(*m_harness);
        m_model = Model();
        m_model.expected = palabras.at(0);
        m_model.enabled = true; // the typing box is open from start-up on
    }

    void cleanup()
    {
        m_w.reset();
        m_harness.reset();
        m_folder.reset();
    }

    void wholeSession()
    {
        verify("start-up");

        // Exercise 1, one mistake, three seconds.
        click(QStringLiteral("Command5"));
        tick(3);
        type(QStringLiteral("cAasa"));
        verify("casa finished");

        // Exercise 2: started, a mistake, started again, finished clean.
        click(QStringLiteral("Command3(0)"), palabras.at(1));
        verify("exercise 2 chosen");
        click(QStringLiteral("Command5"));
        type(QStringLiteral("ohoy"));
        verify("hoy typed after a wrong o");
        click(QStringLiteral("Command5"));
        verify("hoy thrown away");
        tick(2);
        type(QStringLiteral("hoy llueve"));
        verify("hoy llueve finished");

        // Again, abandoned with a mistake pending for the short sentence.
        click(QStringLiteral("Command5"));
        type(QStringLiteral("hoi"));
        verify("hoi pending");
        click(QStringLiteral("Command4(1)"), corta);
        verify("short sentence chosen, old characters still there");
        type(QStringLiteral("El"));
        verify("keys while the box is disabled");
        click(QStringLiteral("Command5"));
        verify("old characters gone");
        // No tick in this attempt: the display keeps the last attempt's text.
        type(QStringLiteral("El nino niño cóme come."));
        verify("short sentence finished");

        // The long sentence, many mistakes.
        click(QStringLiteral("Command4(2)"), larga);
        click(QStringLiteral("Command5"));
        tick(5);
        type(QStringLiteral("?¿vVienes mañana, mañana? !¡si Sí. , a la las 55!"));
        verify("long sentence finished");

        // Back to the words: exercise 2 is still chosen there. Exercise 3
        // half typed, then back to 2 and start.
        click(QStringLiteral("Command4(0)"), palabras.at(1));
        click(QStringLiteral("Command3(0)"), palabras.at(2));
        click(QStringLiteral("Command5"));
        tick(1);
        type(QStringLiteral("árbol,"));
        click(QStringLiteral("Command3(1)"), palabras.at(1));
        verify("exercise 3 abandoned");
        click(QStringLiteral("Command5"));
        tick(7);
        type(QStringLiteral("hoy llueve"));
        verify("hoy llueve finished again");

        // Exercise 3 with mistakes on every accent.
        click(QStringLiteral("Command3(0)"), palabras.at(2));
        click(QStringLiteral("Command5"));
        tick(2);
        type(QStringLiteral("arbol, buho"));
        verify("accents missing");
        type(QStringLiteral("\u00e1rbol, b\u00fah\u00faho"));
        verify("exercise 3 typed over after the mistakes");

        // Starting twice with nothing typed changes nothing.
        click(QStringLiteral("Command5"));
        click(QStringLiteral("Command5"));
        verify("two idle starts");
        QCOMPARE(m_model.lines.size(), 6);
        QCOMPARE(m_harness->form->recordPos() - 1, w().record()->length());
    }

    void restartsOnly()
    {
        // Many starts at every stage of the same exercise; only the finished
        // attempts remain, one line each.
        for (int round = 0; round < 5; ++round) {
            click(QStringLiteral("Command5"));
            type(QStringLiteral("ca").left(round % 3));
            click(QStringLiteral("Command5"));
            tick(round);
            type(QStringLiteral("casa"));
            verify("round finished");
        }
        QCOMPARE(m_model.lines.size(), 5);
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
